#include "CaptureClipboard.h"

#include "TextException.h"
#include "win/DibGdi.h"
#include "win/DisplayBitmap.h"

bool CopyCaptureToClipboard(HBITMAP captured) {
  // The import reports nothing either: a handle it cannot read would leave the new bitmap's
  // initial picture in place, so the handle is checked first and the size afterwards.
  dibgdi::DeviceBitmapInfo info;
  if (!captured || !dibgdi::QueryDeviceBitmap(captured, info)) return false;
  try {
    CDisplayBitmap picture;
    picture.CreateFromHBitmap(captured);
    if (picture.GetWidth() != info.width || picture.GetHeight() != info.height) return false;
    // The library's clipboard call reports nothing; whether the clipboard changed tells.
    const DWORD before = ::GetClipboardSequenceNumber();
    picture.CopyToClipboard();
    return ::GetClipboardSequenceNumber() != before && ::IsClipboardFormatAvailable(CF_DIB);
  } catch (const CTextException&) {
    return false;
  }
}
