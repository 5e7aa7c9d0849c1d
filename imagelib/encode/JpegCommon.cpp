#include "encode/JpegCommon.h"

#include "decode/Trace.h"

namespace {

void ErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<PLJpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    auto* manager = reinterpret_cast<PLJpegErrorManager*>(cinfo->err);
    if (level < 0) {
        ++manager->warnings;
        ++cinfo->err->num_warnings;
        if (PLTraceGetLevel() >= 2) {
            char text[JMSG_LENGTH_MAX];
            (*cinfo->err->format_message)(cinfo, text);
            PLTraceF(2, "libjpeg warning: %s\n", text);
        }
    }
}

void OutputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* PLJpegInitErrorManager(PLJpegErrorManager* manager) {
    jpeg_std_error(&manager->pub);
    manager->pub.error_exit = ErrorExit;
    manager->pub.emit_message = EmitMessage;
    manager->pub.output_message = OutputMessage;
    manager->message[0] = '\0';
    manager->warnings = 0;
    return &manager->pub;
}
