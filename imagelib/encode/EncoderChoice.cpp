#include "encode/EncoderChoice.h"

#include <cctype>

#include "encode/BMPEncoder.h"
#include "encode/GIFEncoder.h"
#include "encode/JPEGEncoder.h"
#include "encode/PNGEncoder.h"
#include "encode/TIFFEncoder.h"

std::string PLFileExtension(const std::string& path) {
    size_t nameStart = path.find_last_of("/\\:");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

PLImageType PLImageTypeFromPath(const std::string& path) {
    std::string ext = PLFileExtension(path);
    if (ext == "jpg") return PLImageJPEG;
    if (ext == "tif") return PLImageTIFF;
    if (ext == "png") return PLImagePNG;
    if (ext == "bmp") return PLImageBMP;
    if (ext == "gif") return PLImageGIF;
    return PLImageUnknown;
}

const char* PLImageTypeExtension(int type) {
    switch (type) {
    case PLImageBMP: return ".BMP";
    case PLImageJPEG: return ".JPG";
    case PLImagePNG: return ".PNG";
    case PLImageGIF: return ".GIF";
    case PLImageTIFF: return ".TIF";
    default: return "";
    }
}

std::unique_ptr<CImageEncoder> PLCreateEncoder(int type, const PLJpegOptions& jpeg) {
    switch (type) {
    case PLImageBMP: return std::make_unique<CBMPEncoder>();
    case PLImageJPEG: {
        auto encoder = std::make_unique<CJPEGEncoder>();
        encoder->SetQuality(jpeg.quality);
        encoder->SetOptimizeCoding(jpeg.optimizeCoding);
        encoder->SetSmoothingFactor(jpeg.smoothingFactor);
        encoder->SetDensity(jpeg.dpiX, jpeg.dpiY);
        return encoder;
    }
    case PLImagePNG: return std::make_unique<CPNGEncoder>();
    case PLImageGIF: return std::make_unique<CGIFEncoder>();
    case PLImageTIFF: return std::make_unique<CTIFFEncoder>();
    default: return nullptr;
    }
}

void PLSaveImageFile(const std::string& path, const CDibBitmap& bitmap, const PLJpegOptions& jpeg) {
    PLImageType type = PLImageTypeFromPath(path);
    std::unique_ptr<CImageEncoder> encoder = PLCreateEncoder(type, jpeg);
    if (!encoder) {
        std::string ext = PLFileExtension(path);
        if (ext.empty())
            throw CTextException(PLErr::UnknownFileType,
                                 "Can't save a file without an extension: use .bmp, .jpg, .png, .tif or .gif.");
        throw CTextException::Format(PLErr::UnknownFileType,
                                     "Can't save files of type \".%s\": use .bmp, .jpg, .png, .tif or .gif.",
                                     ext.c_str());
    }
    if (bitmap.GetBitsPerPixel() != 32 && (type == PLImageJPEG || type == PLImagePNG || type == PLImageGIF)) {
        CHeapBitmap copy;
        copy.CreateCopy(bitmap, 32);
        encoder->MakeFileFromBmp(path.c_str(), copy);
        return;
    }
    encoder->MakeFileFromBmp(path.c_str(), bitmap);
}
