#pragma once

// CImageEncoder: writes a CDibBitmap as an image file. Every encoder writes to a CByteSink; the
// file sink fills a temporary file beside the target and puts it in the target's place only
// when it is complete, so a failed save leaves neither a truncated file nor a damaged older
// file of the same name.
//
// Kinds: CBMPEncoder, CJPEGEncoder, CPNGEncoder, CTIFFEncoder, CGIFEncoder. An encoder is made
// for one save, configured, used and destroyed. Failures throw CTextException.

#include <cstddef>
#include <memory>

#include "DibBitmap.h"
#include "PLObject.h"
#include "encode/ByteSink.h"

class CImageEncoder : public CPLObject {
public:
    ~CImageEncoder() override;
    CImageEncoder(const CImageEncoder&) = delete;
    CImageEncoder& operator=(const CImageEncoder&) = delete;

    // Encodes bitmap into the file path. Throws "Opening %s failed" (code -1) before anything
    // is encoded when the file cannot be written, and the encoder's own errors otherwise.
    virtual void MakeFileFromBmp(const char* path, const CDibBitmap& bitmap);

    // Encodes bitmap into sink (locked for reading meanwhile).
    virtual void SaveBmp(const CDibBitmap& bitmap, CByteSink& sink);

    // The block size a file sink starts with for bitmap: its memory use, plus a fifth when that
    // is 20000 bytes or more, else plus 4096.
    static size_t EstimateFileSize(const CDibBitmap& bitmap);

protected:
    CImageEncoder();
    virtual void DoEncode(const CDibBitmap& bitmap, CByteSink& sink) = 0;
};

// A 32-bit copy of a bitmap of another depth, for the encoders that take only 32 bits.
// Returns bitmap itself when it has 32 bits already.
class CPLEncoderInput {
public:
    explicit CPLEncoderInput(const CDibBitmap& bitmap);
    ~CPLEncoderInput();
    CPLEncoderInput(const CPLEncoderInput&) = delete;
    CPLEncoderInput& operator=(const CPLEncoderInput&) = delete;
    const CDibBitmap& Get() const { return *m_use; }

private:
    std::unique_ptr<CHeapBitmap> m_copy;
    const CDibBitmap* m_use;
};
