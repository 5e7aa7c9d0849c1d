#include "encode/ImageEncoder.h"

#include "decode/Trace.h"
#include "encode/EncoderError.h"
#include "encode/FileByteSink.h"

CImageEncoder::CImageEncoder() = default;
CImageEncoder::~CImageEncoder() = default;

size_t CImageEncoder::EstimateFileSize(const CDibBitmap& bitmap) {
    size_t used = bitmap.GetMemUsed();
    if (used >= 20000) {
        if (used > CByteSink::MaxBytes) return CByteSink::MaxBytes;
        return static_cast<size_t>(static_cast<double>(used) * 1.2);
    }
    return used + 4096;
}

void CImageEncoder::MakeFileFromBmp(const char* path, const CDibBitmap& bitmap) {
    PLTraceF(1, "--- Encoding file %s. ---\n", path ? path : "");
    CFileByteSink sink;
    if (sink.Open(path, EstimateFileSize(bitmap)) != 0)
        throw PLEncoderError(PLErr::OpenFailed, "Opening %s failed", path ? path : "");
    SaveBmp(bitmap, sink);  // on an exception the sink's destructor discards everything
    sink.Close();
}

void CImageEncoder::SaveBmp(const CDibBitmap& bitmap, CByteSink& sink) {
    if (bitmap.IsEmpty()) throw CTextException(PLErr::UnknownVariant, "Cannot encode an empty bitmap.");
    CPLBitmapLock lock(bitmap, true, false);
    DoEncode(bitmap, sink);
}

CPLEncoderInput::CPLEncoderInput(const CDibBitmap& bitmap) : m_use(&bitmap) {
    if (bitmap.GetBitsPerPixel() == 32) return;
    m_copy = std::make_unique<CHeapBitmap>();
    m_copy->CreateCopy(bitmap, 32);
    m_use = m_copy.get();
}

CPLEncoderInput::~CPLEncoderInput() = default;
