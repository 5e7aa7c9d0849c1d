#include "CaptureClipboard.h"

#include "TextException.h"
#include "win/DisplayBitmap.h"

bool CopyCaptureToClipboard(HBITMAP captured) {
  if (!captured) return false;
  try {
    CDisplayBitmap picture;
    picture.CreateFromHBitmap(captured);
    if (picture.GetWidth() <= 0 || picture.GetHeight() <= 0) return false;
    // The library's clipboard call reports nothing; whether the clipboard changed tells.
    const DWORD before = ::GetClipboardSequenceNumber();
    picture.CopyToClipboard();
    return ::GetClipboardSequenceNumber() != before && ::IsClipboardFormatAvailable(CF_DIB);
  } catch (const CTextException&) {
    return false;
  }
}
