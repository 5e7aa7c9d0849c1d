#include "ClipboardOffer.h"

#include <cstring>
#include <utility>

namespace {

constexpr char kOwnerClass[] = "LumatreClipboardOffer";
// Another program may hold the clipboard for a moment (a clipboard viewer reading it).
constexpr DWORD kOpenRetryMs = 500;

// A movable global block with a copy of dib, as the clipboard takes it; null without memory.
UniqueGlobal MakeGlobalCopy(const CPixelMemoryBlock& dib) {
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, dib.size()));
    if (!block) return block;
    GlobalLockGuard lock(block.get());
    if (!lock) return UniqueGlobal();
    std::memcpy(lock.get(), dib.data(), dib.size());
    return block;
}

// Sets dib as the clipboard's CF_DIB on the clipboard opened by the caller.
void SetDibData(const CPixelMemoryBlock& dib) {
    UniqueGlobal block = MakeGlobalCopy(dib);
    if (block && ::SetClipboardData(CF_DIB, block.get()) != nullptr) (void)block.release();
}

// Puts dib and palette on the clipboard as they are.
bool PutNow(const CPixelMemoryBlock& dib, UniquePalette palette) {
    ClipboardGuard clipboard(nullptr, kOpenRetryMs);
    if (!clipboard || !::EmptyClipboard()) return false;
    SetDibData(dib);
    if (palette && ::SetClipboardData(CF_PALETTE, palette.get()) != nullptr) (void)palette.release();
    return true;
}

}  // namespace

CClipboardOffer& CClipboardOffer::Instance() {
    static CClipboardOffer offer;
    return offer;
}

CClipboardOffer::~CClipboardOffer() {
    // The process is ending through its static destructors; destroying the owner sends it
    // WM_RENDERALLFORMATS, which hands over a picture still waiting.
    if (m_window && m_thread == ::GetCurrentThreadId())
        m_window.reset();
    else
        (void)m_window.release();  // another thread's window cannot be destroyed from here
}

bool CClipboardOffer::EnsureWindow() {
    if (m_window) return m_thread == ::GetCurrentThreadId();
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kOwnerClass;
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    m_window.reset(::CreateWindowA(kOwnerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
    if (!m_window) return false;
    m_thread = ::GetCurrentThreadId();
    return true;
}

bool CClipboardOffer::Offer(CPixelMemoryBlock dib, UniquePalette palette) {
    if (!dib) return false;
    if (!EnsureWindow()) return PutNow(dib, std::move(palette));
    ClipboardGuard clipboard(m_window.get(), kOpenRetryMs);
    if (!clipboard) return false;
    // Emptying sends WM_DESTROYCLIPBOARD to the previous owner: when that is us, the picture
    // offered before is freed there.
    if (!::EmptyClipboard()) return false;
    m_dib = std::move(dib);
    ::SetClipboardData(CF_DIB, nullptr);
    if (!::IsClipboardFormatAvailable(CF_DIB)) {
        // No delayed rendering here: hand the picture over at once.
        SetDibData(m_dib);
        m_dib.reset();
    }
    if (palette && ::SetClipboardData(CF_PALETTE, palette.get()) != nullptr) (void)palette.release();
    return true;
}

void CClipboardOffer::RenderNow() {
    if (!m_dib || !m_window || m_thread != ::GetCurrentThreadId()) return;
    OnRenderAllFormats();
}

LRESULT CALLBACK CClipboardOffer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CClipboardOffer& offer = Instance();
    if (window == offer.m_window.get()) {
        switch (message) {
        case WM_RENDERFORMAT:
            offer.OnRenderFormat(static_cast<UINT>(wParam));
            return 0;
        case WM_RENDERALLFORMATS:
            offer.OnRenderAllFormats();
            return 0;
        case WM_DESTROYCLIPBOARD:
            offer.OnDestroyClipboard();
            return 0;
        default:
            break;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void CClipboardOffer::OnRenderFormat(UINT format) {
    // The reader has the clipboard open; only its data is set here.
    if (format != CF_DIB || !m_dib) return;
    SetDibData(m_dib);
    m_dib.reset();
}

void CClipboardOffer::OnRenderAllFormats() {
    if (!m_dib) return;
    ClipboardGuard clipboard(m_window.get(), kOpenRetryMs);
    // Somebody else may have filled the clipboard meanwhile: then ours is no longer wanted.
    if (clipboard && ::GetClipboardOwner() == m_window.get()) OnRenderFormat(CF_DIB);
    m_dib.reset();
}

void CClipboardOffer::OnDestroyClipboard() { m_dib.reset(); }
