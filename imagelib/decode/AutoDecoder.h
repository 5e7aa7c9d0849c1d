#pragma once

// CAutoDecoder: recognises the format of a file or memory block and hands it to the decoder
// of that format. It owns one decoder per format for its whole life.
//
// Recognition (SniffFormat): first the name — a name containing ".WMF" or ".EMF" (any case)
// is a metafile whatever its bytes — then the bytes, in this order: BMP, TGA, GIF, TIFF,
// PICT (only for sources larger than 540 bytes), JPEG, PNG, TIFF preview in a DOS EPS file,
// PCX, PGM. Unknown data throws "Decoder error: Unknown file type.\n" (code 8); a recognised
// format whose decoder is not part of this build throws
// "Decoder error: Library not compiled for this file type.\n" (code 6).
//
// The library-backed decoders (CJPEGDecoder, CPNGDecoder, CTIFFDecoder, CGIFDecoder) join the
// build through the LUMATRE_LIBRARY_DECODERS list in imagelib/decode/CMakeLists.txt, which
// defines LUMATRE_HAVE_<FORMAT>_DECODER for this file. Each must be default-constructible.

#include <memory>

#include "decode/ImageDecoder.h"

enum class PLImageFormat {
    Unknown,
    BMP,
    TGA,
    GIF,
    TIFF,
    PICT,
    JPEG,
    PNG,
    EPSTIFF,  // TIFF preview inside a DOS EPS file
    PCX,
    PGM,
    WMF,
    EMF,
};

class CAutoDecoder : public CImageDecoder {
public:
    CAutoDecoder();
    ~CAutoDecoder() override;

    // Sniffs the format and calls the chosen decoder's MakeBmp. Each recognised format traces
    // its "... recognized.\n" line at level 2.
    void MakeBmp(CByteSource& source, CDibBitmap& bitmap, int wantedDepth = 0) override;

    // The format of data by the rules above: size bytes at data are readable (the first 526
    // are enough), totalSize is the size of the whole source (for the PICT rule; 0: size).
    // name may be null.
    static PLImageFormat SniffFormat(const char* name, const uint8_t* data, size_t size, size_t totalSize = 0);

    // The trace line of a format ("Windows bitmap recognized.\n" ...), null for Unknown.
    static const char* RecognizedText(PLImageFormat format);

    // Whether this build decodes the format.
    bool CanDecode(PLImageFormat format) const { return DecoderFor(format) != nullptr; }

protected:
    // Not used: MakeBmp hands the source to the chosen decoder.
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;

private:
    CImageDecoder* DecoderFor(PLImageFormat format) const;

    // In order of creation; null when the format is not part of this build.
    std::unique_ptr<CImageDecoder> m_bmpDecoder;
    std::unique_ptr<CImageDecoder> m_tgaDecoder;
    std::unique_ptr<CImageDecoder> m_tiffDecoder;
    std::unique_ptr<CImageDecoder> m_jpegDecoder;
    std::unique_ptr<CImageDecoder> m_pictDecoder;
    std::unique_ptr<CImageDecoder> m_pngDecoder;
    std::unique_ptr<CImageDecoder> m_metafileDecoder;
    std::unique_ptr<CImageDecoder> m_pcxDecoder;
    std::unique_ptr<CImageDecoder> m_pgmDecoder;
    std::unique_ptr<CImageDecoder> m_gifDecoder;
};
