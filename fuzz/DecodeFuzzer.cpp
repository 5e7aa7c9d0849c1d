// libFuzzer target: decodes arbitrary bytes from memory through one decoder (chosen at compile
// time) into a packed DIB. Anything but a CTextException, a crash or a sanitizer report is a
// finding. Built by tools/fuzz.sh; the corpus and the crashes are replayed by the test suite.

#include <cstddef>
#include <cstdint>

#include "PackedDibBitmap.h"
#include "decode/AutoDecoder.h"
#include "decode/BMPDecoder.h"
#include "decode/GIFDecoder.h"
#include "decode/PCXDecoder.h"
#include "decode/PGMDecoder.h"
#include "decode/PICTDecoder.h"
#include "decode/TGADecoder.h"
#include "decode/TIFFDecoder.h"

#if defined(LUMATRE_FUZZ_BMP)
using FuzzedDecoder = CBMPDecoder;
#elif defined(LUMATRE_FUZZ_TGA)
using FuzzedDecoder = CTGADecoder;
#elif defined(LUMATRE_FUZZ_PCX)
using FuzzedDecoder = CPCXDecoder;
#elif defined(LUMATRE_FUZZ_PGM)
using FuzzedDecoder = CPGMDecoder;
#elif defined(LUMATRE_FUZZ_PICT)
using FuzzedDecoder = CPICTDecoder;
#elif defined(LUMATRE_FUZZ_GIF)
using FuzzedDecoder = CGIFDecoder;
#elif defined(LUMATRE_FUZZ_TIFF)
using FuzzedDecoder = CTIFFDecoder;
#else
using FuzzedDecoder = CAutoDecoder;
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Keep single inputs small enough for the fuzzer's memory limit.
    static const bool limited = [] {
        CImageDecoder::SetMaxPixelBytes(4u << 20);
        return true;
    }();
    (void)limited;
    static FuzzedDecoder decoder;
    CPackedDibBitmap bitmap;
    // Both depth wishes, chosen by the input so that a finding replays the same way.
    int wanted = (size & 1) ? 32 : 0;
    try {
        decoder.MakeBmpFromMemory(data, size, bitmap, wanted);
    } catch (const CTextException&) {
    }
    return 0;
}
