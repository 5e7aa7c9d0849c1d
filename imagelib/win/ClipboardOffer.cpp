#include "ClipboardOffer.h"

#include <utility>

namespace {

constexpr char kOwnerClass[] = "LumatreClipboardOffer";
// Another program may hold the clipboard for a moment (a clipboard viewer reading it).
constexpr DWORD kOpenRetryMs = 500;

// Puts block and palette on the clipboard as they are; what it does not take is freed.
bool PutNow(UniqueGlobal block, UniquePalette palette) {
    ClipboardGuard clipboard(nullptr, kOpenRetryMs);
    if (!clipboard || !::EmptyClipboard()) return false;
    if (::SetClipboardData(CF_DIB, block.get()) != nullptr) (void)block.release();
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
    // WM_RENDERALLFORMATS, which hands over a block still waiting.
    if (m_window && m_thread == ::GetCurrentThreadId()) m_window.reset();
    else (void)m_window.release();  // another thread's window cannot be destroyed from here
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

bool CClipboardOffer::Offer(UniqueGlobal block, UniquePalette palette) {
    if (!block) return false;
    if (!EnsureWindow()) return PutNow(std::move(block), std::move(palette));
    ClipboardGuard clipboard(m_window.get(), kOpenRetryMs);
    if (!clipboard) return false;
    // Emptying sends WM_DESTROYCLIPBOARD to the previous owner: when that is us, the picture
    // offered before is freed there.
    if (!::EmptyClipboard()) return false;
    m_block = std::move(block);
    ::SetClipboardData(CF_DIB, nullptr);
    if (!::IsClipboardFormatAvailable(CF_DIB)) {
        // No delayed rendering here: hand the block over at once.
        if (::SetClipboardData(CF_DIB, m_block.get()) != nullptr) (void)m_block.release();
        m_block.reset();
    }
    if (palette && ::SetClipboardData(CF_PALETTE, palette.get()) != nullptr) (void)palette.release();
    return true;
}

void CClipboardOffer::RenderNow() {
    if (!m_block || !m_window || m_thread != ::GetCurrentThreadId()) return;
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
    if (format != CF_DIB || !m_block) return;
    if (::SetClipboardData(CF_DIB, m_block.get()) != nullptr) (void)m_block.release();
    m_block.reset();
}

void CClipboardOffer::OnRenderAllFormats() {
    if (!m_block) return;
    ClipboardGuard clipboard(m_window.get(), kOpenRetryMs);
    // Somebody else may have filled the clipboard meanwhile: then ours is no longer wanted.
    if (clipboard && ::GetClipboardOwner() == m_window.get()) OnRenderFormat(CF_DIB);
    m_block.reset();
}

void CClipboardOffer::OnDestroyClipboard() { m_block.reset(); }
