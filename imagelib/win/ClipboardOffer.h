#pragma once
// A picture offered on the clipboard and handed over only when somebody reads it.
//
// Giving the clipboard a screen-sized DIB costs as much as encoding it (the system copies every
// byte into its own memory), so a capture that is also saved would wait for the clipboard. An
// offer takes ownership of the clipboard at once with an empty CF_DIB (delayed rendering) and
// keeps the copied DIB in pixel memory whose pages are already mapped; the first paste, in this
// program or any other, sends the owner window WM_RENDERFORMAT and gets a global block made
// from it then. The copy is freed when somebody else fills the clipboard. Before the program ends, RenderNow hands over a block still waiting, so that a
// picture captured just before leaving can still be pasted afterwards.
//
// The owner is a message-only window of the thread that made the first offer; that thread must
// keep handling messages (any message loop or modal dialog does). Offers from other threads
// are put on the clipboard directly.

#include <windows.h>

#include "PixelMemory.h"
#include "framework/Handles.h"

class CClipboardOffer {
public:
    // The offer of this process.
    static CClipboardOffer& Instance();

    // Replaces the clipboard's content with dib (a packed DIB: header, colour table, rows) and
    // palette (may be null), both announced now and dib handed over when it is read. Returns
    // false when the clipboard cannot be opened; puts directly when no owner window can be made
    // on this thread.
    bool Offer(CPixelMemoryBlock dib, UniquePalette palette);

    // Hands a block still waiting to the clipboard now (nothing when none waits).
    void RenderNow();

    // A block is waiting for its first reader.
    bool IsWaiting() const { return static_cast<bool>(m_dib); }

    ~CClipboardOffer();
    CClipboardOffer(const CClipboardOffer&) = delete;
    CClipboardOffer& operator=(const CClipboardOffer&) = delete;

private:
    CClipboardOffer() = default;

    bool EnsureWindow();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnRenderFormat(UINT format);
    void OnRenderAllFormats();
    void OnDestroyClipboard();

    UniqueWindow m_window;
    DWORD m_thread = 0;
    CPixelMemoryBlock m_dib;
};
