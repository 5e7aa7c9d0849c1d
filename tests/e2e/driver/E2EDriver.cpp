#include "E2EDriver.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>

#include "GdiTestUtil.h"

namespace lumatre::e2e {
namespace {

// ---------------------------------------------------------------------------------------------
// Small owners for the handles used here

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() {
    if (dc) ReleaseDC(nullptr, dc);
  }
};

struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC ref) : dc(CreateCompatibleDC(ref)) {}
  ~MemoryDc() {
    if (dc) DeleteDC(dc);
  }
};

struct GdiObject {
  HGDIOBJ obj;
  explicit GdiObject(HGDIOBJ o) : obj(o) {}
  ~GdiObject() {
    if (obj) DeleteObject(obj);
  }
};

struct Selection {
  HDC dc;
  HGDIOBJ old;
  Selection(HDC d, HGDIOBJ o) : dc(d), old(SelectObject(d, o)) {}
  ~Selection() {
    if (old) SelectObject(dc, old);
  }
};

struct RegKey {
  HKEY key = nullptr;
  ~RegKey() {
    if (key) RegCloseKey(key);
  }
};

struct FileHandle {
  HANDLE h;
  explicit FileHandle(HANDLE x) : h(x) {}
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

struct FindHandle {
  HANDLE h;
  explicit FindHandle(HANDLE x) : h(x) {}
  ~FindHandle() {
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};

// Opens the clipboard for the lifetime of the object, retrying while another program holds it.
class ClipboardLock {
 public:
  explicit ClipboardLock(HWND owner) {
    for (int i = 0; i < 100; ++i) {
      if (OpenClipboard(owner)) {
        m_open = true;
        return;
      }
      Sleep(20);
    }
  }
  ~ClipboardLock() {
    if (m_open) CloseClipboard();
  }
  bool Open() const { return m_open; }

 private:
  bool m_open = false;
};

// A hidden message-only window that owns what we put on the clipboard (SetClipboardData fails
// after EmptyClipboard when the clipboard was opened without an owner).
HWND ClipboardOwner() {
  static HWND hwnd = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LumatreE2EClipboardOwner";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         wc.hInstance, nullptr);
  }();
  return hwnd;
}

DWORD g_inputDelay = 15;

void Send(INPUT& in) {
  SendInput(1, &in, sizeof(INPUT));
  Sleep(g_inputDelay);
}

bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_RCONTROL: case VK_RMENU:
    case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_DIVIDE: case VK_NUMLOCK:
    case VK_SNAPSHOT: case VK_CANCEL:
      return true;
    default:
      return false;
  }
}

void SendKey(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0 /* MAPVK_VK_TO_VSC */));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  Send(in);
}

void SendUnicode(wchar_t ch, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wScan = ch;
  in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  Send(in);
}

DWORD ButtonFlag(MouseButton b, bool up) {
  switch (b) {
    case MouseButton::Right: return up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    case MouseButton::Middle: return up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
    default: return up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
}

// Where MouseMove last put the pointer. Wine can still hand a button event the position from
// before the move (a late pointer event of the display resets it), so button events carry this
// position with them.
POINT g_pointer = {0, 0};
bool g_pointerKnown = false;

// The normalised coordinate that the system maps back onto pixel p of a screen of n pixels
// (the system computes pixel = value * n / 65536, rounding down).
LONG Normalise(int p, int n) {
  if (n <= 0) return 0;
  long long v = (static_cast<long long>(p) * 65536 + n - 1) / n;
  return static_cast<LONG>(std::clamp<long long>(v, 0, 65535));
}

void SendButton(MouseButton button, bool up) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = ButtonFlag(button, up);
  if (g_pointerKnown) {
    in.mi.dx = Normalise(g_pointer.x, GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = Normalise(g_pointer.y, GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags |= MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  Send(in);
}

std::string Win32ErrorText(DWORD code) {
  char buf[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                 buf, sizeof buf, nullptr);
  std::string s = buf;
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return "error " + std::to_string(code) + (s.empty() ? "" : " (" + s + ")");
}

Image FromDibSection(HDC source, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return {};
  ScreenDc screen;
  MemoryDc mem(screen.dc);
  BITMAPINFO bi = TopDown32BitmapInfo(w, h);
  void* bits = nullptr;
  GdiObject section(CreateDIBSection(screen.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section.obj || !bits || !mem.dc) return {};
  {
    Selection sel(mem.dc, section.obj);
    if (!BitBlt(mem.dc, 0, 0, w, h, source, x, y, SRCCOPY | CAPTUREBLT)) return {};
    GdiFlush();
  }
  Image img(w, h);
  const auto* p = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < img.pixels.size(); ++i) img.pixels[i] = p[i] | 0xFF000000u;
  return img;
}

int ComponentDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int ca = static_cast<int>((a >> shift) & 0xFF);
    int cb = static_cast<int>((b >> shift) & 0xFF);
    d = std::max(d, std::abs(ca - cb));
  }
  return d;
}

RECT Intersect(const RECT& r, int w, int h) {
  RECT out;
  out.left = std::max<LONG>(r.left, 0);
  out.top = std::max<LONG>(r.top, 0);
  out.right = std::min<LONG>(r.right, w);
  out.bottom = std::min<LONG>(r.bottom, h);
  if (out.right < out.left) out.right = out.left;
  if (out.bottom < out.top) out.bottom = out.top;
  return out;
}

// Expands a masked channel value to 8 bits.
uint32_t MaskChannel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  uint32_t m = mask >> shift;
  uint32_t v = (value & mask) >> shift;
  return static_cast<uint32_t>((static_cast<uint64_t>(v) * 255 + m / 2) / m);
}

bool ContiguousMask(uint32_t mask) {
  if (mask == 0) return true;
  while (!(mask & 1)) mask >>= 1;
  return (mask & (mask + 1)) == 0;
}

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t ReadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

std::atomic<unsigned> g_copyCounter{0};

bool OpenKey(HKEY root, const std::string& path, REGSAM access, RegKey& out) {
  return RegOpenKeyExA(root, path.c_str(), 0, access, &out.key) == ERROR_SUCCESS;
}

bool CreateKey(HKEY root, const std::string& path, RegKey& out) {
  return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                         &out.key, nullptr) == ERROR_SUCCESS;
}

bool DeleteKeyTreeAt(HKEY parent, const std::string& name) {
  {
    RegKey key;
    LONG rc = RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key.key);
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (rc != ERROR_SUCCESS) return false;
    // Collect the sub-key names first: deleting while enumerating shifts the indices.
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
      char child[256];
      DWORD len = sizeof child;
      LONG e = RegEnumKeyExA(key.key, i, child, &len, nullptr, nullptr, nullptr, nullptr);
      if (e != ERROR_SUCCESS) break;
      children.emplace_back(child, len);
    }
    for (const auto& c : children) {
      if (!DeleteKeyTreeAt(key.key, c)) return false;
    }
  }
  LONG rc = RegDeleteKeyA(parent, name.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Pictures

Image::Image(int w, int h, uint32_t fill) : width(std::max(w, 0)), height(std::max(h, 0)) {
  pixels.assign(static_cast<size_t>(width) * height, fill);
}

Image Image::Crop(const RECT& r) const {
  RECT c = Intersect(r, width, height);
  Image out(c.right - c.left, c.bottom - c.top);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.At(x, y) = At(c.left + x, c.top + y);
  return out;
}

Image CaptureScreenRect(const RECT& r) {
  ScreenDc screen;
  if (!screen.dc) return {};
  return FromDibSection(screen.dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Image CaptureScreen() {
  RECT r;
  r.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  r.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  r.right = r.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  r.bottom = r.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (r.right <= r.left || r.bottom <= r.top) {
    r.left = r.top = 0;
    r.right = GetSystemMetrics(SM_CXSCREEN);
    r.bottom = GetSystemMetrics(SM_CYSCREEN);
  }
  return CaptureScreenRect(r);
}

Image CaptureWindow(HWND hwnd, bool clientOnly) {
  RECT r;
  if (!IsWindow(hwnd)) return {};
  if (clientOnly) {
    if (!GetClientRect(hwnd, &r)) return {};
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  } else if (!GetWindowRect(hwnd, &r)) {
    return {};
  }
  return CaptureScreenRect(r);
}

bool SaveBmp(const Image& image, const std::string& path) {
  if (image.Empty()) return false;
  const uint64_t rowBytes = static_cast<uint64_t>(image.width) * 4;
  const uint64_t dataBytes = rowBytes * image.height;
  if (dataBytes > 0x7FFFFFFFu - 54) return false;
  std::vector<uint8_t> out(54 + dataBytes);
  BITMAPFILEHEADER fh = {};
  fh.bfType = 0x4D42;
  fh.bfSize = static_cast<DWORD>(out.size());
  fh.bfOffBits = 54;
  BITMAPINFOHEADER ih = {};
  ih.biSize = sizeof ih;
  ih.biWidth = image.width;
  ih.biHeight = image.height;  // bottom-up
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  ih.biCompression = BI_RGB;
  ih.biSizeImage = static_cast<DWORD>(dataBytes);
  std::memcpy(out.data(), &fh, sizeof fh);
  std::memcpy(out.data() + sizeof fh, &ih, sizeof ih);
  for (int y = 0; y < image.height; ++y) {
    const uint32_t* src = &image.pixels[static_cast<size_t>(image.height - 1 - y) * image.width];
    std::memcpy(out.data() + 54 + rowBytes * y, src, rowBytes);
  }
  return WriteFileBytes(path, out.data(), out.size());
}

int CountDifferentPixels(const Image& a, const Image& b, const RECT& r, int tolerance) {
  int count = 0;
  for (LONG y = r.top; y < r.bottom; ++y) {
    for (LONG x = r.left; x < r.right; ++x) {
      if (!a.Contains(x, y) || !b.Contains(x, y) ||
          ComponentDistance(a.At(x, y), b.At(x, y)) > tolerance)
        ++count;
    }
  }
  return count;
}

int CountPixelsNotMatching(const Image& image, const RECT& r,
                           const std::function<uint32_t(int x, int y)>& expected,
                           int tolerance) {
  int count = 0;
  for (LONG y = r.top; y < r.bottom; ++y) {
    for (LONG x = r.left; x < r.right; ++x) {
      if (!image.Contains(x, y) ||
          ComponentDistance(image.At(x, y), expected(x, y)) > tolerance)
        ++count;
    }
  }
  return count;
}

// ---------------------------------------------------------------------------------------------
// Files

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
  FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.h == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.h, &size) || size.QuadPart > 0x40000000) return std::nullopt;
  std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 20));
    if (!ReadFile(f.h, data.data() + done, want, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  data.resize(done);
  return data;
}

bool WriteFileBytes(const std::string& path, const void* data, size_t size) {
  FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.h == INVALID_HANDLE_VALUE) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    DWORD put = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, 1 << 20));
    if (!WriteFile(f.h, p + done, want, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  FindHandle find(FindFirstFileA(JoinPath(folder, pattern).c_str(), &fd));
  if (find.h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(fd.cFileName);
  } while (FindNextFileA(find.h, &fd));
  std::sort(names.begin(), names.end());
  return names;
}

bool RemoveDirectoryTree(const std::string& path) {
  if (!DirectoryExists(path)) return !FileExists(path);
  std::vector<std::string> subfolders;
  {
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA(JoinPath(path, "*").c_str(), &fd));
    if (find.h != INVALID_HANDLE_VALUE) {
      do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        std::string full = JoinPath(path, name);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          subfolders.push_back(full);
        } else {
          SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA(full.c_str());
        }
      } while (FindNextFileA(find.h, &fd));
    }
  }
  for (const auto& s : subfolders) RemoveDirectoryTree(s);
  RemoveDirectoryA(path.c_str());
  return !DirectoryExists(path);
}

std::string ExecutableFolder() {
  char buf[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string s(buf, n);
  size_t slash = s.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

std::string JoinPath(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (a.back() == '\\' || a.back() == '/') return a + b;
  return a + "\\" + b;
}

std::string HelperPath(const char* exe) { return JoinPath(ExecutableFolder(), exe); }

// ---------------------------------------------------------------------------------------------
// Program copies

AppCopy::AppCopy(const std::vector<std::string>& extraFiles, bool includeProgram) {
  char temp[MAX_PATH] = {};
  DWORD n = GetTempPathA(MAX_PATH, temp);
  if (n == 0 || n >= MAX_PATH) {
    m_error = "no temporary folder: " + Win32ErrorText(GetLastError());
    return;
  }
  // A name no earlier run can hold: process id, tick count and a counter.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "lumatre-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(GetTickCount()) + "-" + std::to_string(++g_copyCounter);
    std::string candidate = JoinPath(temp, name);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      m_folder = candidate;
      break;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      m_error = "cannot create " + candidate + ": " + Win32ErrorText(GetLastError());
      return;
    }
  }
  if (m_folder.empty()) {
    m_error = "cannot find a free folder name under " + std::string(temp);
    return;
  }
  std::vector<std::string> files;
  if (includeProgram) {
    files.push_back("Lumatre.exe");
    files.push_back("QuorvaHook.dll");
  }
  files.insert(files.end(), extraFiles.begin(), extraFiles.end());
  for (const auto& f : files) {
    if (!CopyIn(f)) return;
  }
}

AppCopy::~AppCopy() {
  if (m_folder.empty()) return;
  // A program that has just ended may hold its files a moment longer.
  for (int i = 0; i < 50 && !RemoveDirectoryTree(m_folder); ++i) Sleep(100);
}

std::string AppCopy::ExePath() const { return JoinPath(m_folder, "Lumatre.exe"); }
std::string AppCopy::OutputFolder() const { return JoinPath(m_folder, "Output"); }

bool AppCopy::CopyIn(const std::string& fileName) {
  if (m_folder.empty()) return false;
  std::string from = JoinPath(ExecutableFolder(), fileName);
  std::string to = JoinPath(m_folder, fileName);
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
    m_error = "cannot copy " + from + " to " + to + ": " + Win32ErrorText(GetLastError());
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Processes and windows

std::string WindowClassName(HWND hwnd) {
  char buf[256] = {};
  int n = GetClassNameA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

std::string WindowText(HWND hwnd) {
  int len = GetWindowTextLengthA(hwnd);
  if (len <= 0) return {};
  std::string s(static_cast<size_t>(len) + 1, '\0');
  int n = GetWindowTextA(hwnd, s.data(), len + 1);
  s.resize(n > 0 ? n : 0);
  return s;
}

RECT ClientOnScreen(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<HWND> FindTopLevelWindows(DWORD pid, const std::string& className) {
  struct Ctx {
    DWORD pid;
    const std::string* cls;
    std::vector<HWND> found;
  } ctx{pid, &className, {}};
  struct Enum {
    static BOOL CALLBACK Proc(HWND hwnd, LPARAM lp) {
      auto* c = reinterpret_cast<Ctx*>(lp);
      DWORD owner = 0;
      GetWindowThreadProcessId(hwnd, &owner);
      if (owner == c->pid && (c->cls->empty() || WindowClassName(hwnd) == *c->cls))
        c->found.push_back(hwnd);
      return TRUE;
    }
  };
  EnumWindows(Enum::Proc, reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

namespace {
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}
}  // namespace

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> ThreadWindows(DWORD threadId) {
  std::vector<HWND> found;
  EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<RECT> TrayIconRects() {
  std::vector<RECT> rects;
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  if (!tray) return rects;
  for (HWND w : ChildWindows(tray)) {
    RECT r;
    if (IsWindowVisible(w) && GetWindowRect(w, &r) && r.right - r.left <= 32 && r.bottom - r.top <= 32)
      rects.push_back(r);
  }
  RECT bar;
  if (rects.empty() && GetWindowRect(tray, &bar)) {
    const int side = bar.bottom - bar.top;
    rects.push_back(RECT{bar.right - side - 2, bar.top, bar.right - 2, bar.bottom});
  }
  return rects;
}

AppProcess::~AppProcess() {
  if (IsRunning()) Terminate();
  Close();
}

void AppProcess::Close() {
  if (m_process) CloseHandle(m_process);
  m_process = nullptr;
  m_pid = 0;
}

bool AppProcess::Start(const std::string& exe, const std::string& args,
                       const std::string& workDir) {
  if (IsRunning()) Terminate();
  Close();
  m_error.clear();
  std::string dir = workDir;
  if (dir.empty()) {
    size_t slash = exe.find_last_of("\\/");
    if (slash != std::string::npos) dir = exe.substr(0, slash);
  }
  std::string cmd = "\"" + exe + "\"";
  if (!args.empty()) cmd += " " + args;
  std::vector<char> cmdBuf(cmd.begin(), cmd.end());
  cmdBuf.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(exe.c_str(), cmdBuf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
    m_error = "cannot start " + exe + ": " + Win32ErrorText(GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  m_process = pi.hProcess;
  m_pid = pi.dwProcessId;
  return true;
}

std::vector<HWND> AppProcess::TopLevelWindows(const std::string& className) const {
  if (!m_pid) return {};
  return FindTopLevelWindows(m_pid, className);
}

HWND AppProcess::WaitForWindow(const std::string& className, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        auto w = TopLevelWindows(className);
        if (!w.empty()) found = w.front();
        return found != nullptr || !IsRunning();
      },
      timeoutMs);
  return found;
}

HWND AppProcess::WaitForVisibleWindow(const std::string& className, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : TopLevelWindows(className)) {
          if (IsWindowVisible(w)) {
            found = w;
            break;
          }
        }
        return found != nullptr || !IsRunning();
      },
      timeoutMs);
  return found;
}

std::optional<DWORD> AppProcess::WaitForExit(DWORD timeoutMs) {
  if (!m_process) return std::nullopt;
  DWORD start = GetTickCount();
  for (;;) {
    if (WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0) break;
    if (GetTickCount() - start >= timeoutMs) return std::nullopt;
    PumpFor(std::min<DWORD>(20, timeoutMs - (GetTickCount() - start)));
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(m_process, &code)) return std::nullopt;
  return code;
}

void AppProcess::Terminate(UINT exitCode) {
  if (!m_process) return;
  if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_process, exitCode);
    WaitForSingleObject(m_process, 10000);
  }
}

bool AppProcess::IsRunning() const {
  return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

// ---------------------------------------------------------------------------------------------
// Waiting

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - elapsed, 10),
                              QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs, DWORD pollMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (predicate()) return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return predicate();
    PumpFor(std::min<DWORD>(std::max<DWORD>(pollMs, 1), timeoutMs - elapsed));
  }
}

// ---------------------------------------------------------------------------------------------
// Input

void SetInputDelay(DWORD ms) { g_inputDelay = ms; }

void KeyDown(WORD vk) { SendKey(vk, false); }
void KeyUp(WORD vk) { SendKey(vk, true); }
void KeyPress(WORD vk) {
  KeyDown(vk);
  KeyUp(vk);
}

void KeyChord(const std::vector<WORD>& keys) {
  for (WORD k : keys) KeyDown(k);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) KeyUp(*it);
}

void KeyChord(std::initializer_list<WORD> keys) { KeyChord(std::vector<WORD>(keys)); }

void TypeText(const std::string& text) {
  for (char c : text) {
    if (c == '\n') {
      KeyPress(VK_RETURN);
      continue;
    }
    if (c == '\t') {
      KeyPress(VK_TAB);
      continue;
    }
    SHORT scan = VkKeyScanA(c);
    if (scan == -1 || (HIBYTE(scan) & 0x06)) {
      // No plain key for it (or it needs Ctrl/Alt): send the character itself.
      wchar_t wc = 0;
      MultiByteToWideChar(CP_ACP, 0, &c, 1, &wc, 1);
      SendUnicode(wc, false);
      SendUnicode(wc, true);
      continue;
    }
    bool shift = HIBYTE(scan) & 0x01;
    if (shift) KeyDown(VK_SHIFT);
    KeyPress(LOBYTE(scan));
    if (shift) KeyUp(VK_SHIFT);
  }
}

void MouseMove(int x, int y) {
  g_pointer = POINT{x, y};
  g_pointerKnown = true;
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = Normalise(x, GetSystemMetrics(SM_CXSCREEN));
  in.mi.dy = Normalise(y, GetSystemMetrics(SM_CYSCREEN));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(in);
  // Wine applies the move a moment later; a button event sent before that would land at the
  // old position. Wait (briefly) until the pointer is really there.
  DWORD start = GetTickCount();
  POINT at;
  while (GetCursorPos(&at) && (at.x != x || at.y != y) && GetTickCount() - start < 500) Sleep(5);
}

void MouseDown(MouseButton button) { SendButton(button, false); }
void MouseUp(MouseButton button) { SendButton(button, true); }

void MouseClick(int x, int y, MouseButton button) {
  MouseMove(x, y);
  MouseDown(button);
  MouseUp(button);
}

void MouseDoubleClick(int x, int y, MouseButton button) {
  MouseMove(x, y);
  MouseDown(button);
  MouseUp(button);
  MouseDown(button);
  MouseUp(button);
}

void MouseDrag(int x0, int y0, int x1, int y1, MouseButton button, int steps) {
  if (steps < 1) steps = 1;
  MouseMove(x0, y0);
  MouseDown(button);
  for (int i = 1; i <= steps; ++i)
    MouseMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
  MouseUp(button);
}

bool ForceForeground(HWND hwnd, DWORD timeoutMs) {
  if (!IsWindow(hwnd)) return false;
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  auto attempt = [hwnd] {
    if (GetForegroundWindow() == hwnd) return true;
    HWND fg = GetForegroundWindow();
    DWORD fgThread = fg ? GetWindowThreadProcessId(fg, nullptr) : 0;
    DWORD me = GetCurrentThreadId();
    bool attached = fgThread && fgThread != me && AttachThreadInput(me, fgThread, TRUE);
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
    if (attached) AttachThreadInput(me, fgThread, FALSE);
    return GetForegroundWindow() == hwnd;
  };
  if (!WaitUntil(attempt, timeoutMs, 50)) return false;
  // Being the foreground window is not enough for keys: the window's thread must have taken
  // the activation and the focus too, or the first keys still go to the previous window.
  DWORD tid = GetWindowThreadProcessId(hwnd, nullptr);
  bool focused = WaitUntil(
      [&] {
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        return GetGUIThreadInfo(tid, &gti) && gti.hwndActive == hwnd &&
               (gti.hwndFocus == hwnd || (gti.hwndFocus && IsChild(hwnd, gti.hwndFocus)));
      },
      timeoutMs, 10);
  PumpFor(50);
  return focused && GetForegroundWindow() == hwnd;
}

// ---------------------------------------------------------------------------------------------
// Registry

bool DeleteKeyTree(HKEY root, const std::string& path) {
  if (path.empty()) return false;  // never the whole hive
  return DeleteKeyTreeAt(root, path);
}

bool KeyExists(HKEY root, const std::string& path) {
  RegKey key;
  return OpenKey(root, path, KEY_READ, key);
}

long ValueType(HKEY root, const std::string& path, const std::string& name) {
  RegKey key;
  if (!OpenKey(root, path, KEY_READ, key)) return -1;
  DWORD type = 0;
  if (RegQueryValueExA(key.key, name.c_str(), nullptr, &type, nullptr, nullptr) !=
      ERROR_SUCCESS)
    return -1;
  return static_cast<long>(type);
}

std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const std::string& name) {
  RegKey key;
  if (!OpenKey(root, path, KEY_READ, key)) return std::nullopt;
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key.key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return std::nullopt;
  return value;
}

std::optional<std::vector<uint8_t>> ReadBinary(HKEY root, const std::string& path,
                                               const std::string& name) {
  RegKey key;
  if (!OpenKey(root, path, KEY_READ, key)) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<uint8_t> data(size);
  if (RegQueryValueExA(key.key, name.c_str(), nullptr, &type, data.data(), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size);
  return data;
}

std::optional<std::string> ReadString(HKEY root, const std::string& path,
                                      const std::string& name) {
  if (ValueType(root, path, name) != REG_SZ && ValueType(root, path, name) != REG_EXPAND_SZ)
    return std::nullopt;
  auto data = ReadBinary(root, path, name);
  if (!data) return std::nullopt;
  std::string s(data->begin(), data->end());
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

bool WriteRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const void* data, size_t size) {
  RegKey key;
  if (!CreateKey(root, path, key)) return false;
  return RegSetValueExA(key.key, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                        static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  return WriteRaw(root, path, name, REG_DWORD, &value, sizeof value);
}

bool WriteString(HKEY root, const std::string& path, const std::string& name,
                 const std::string& value) {
  return WriteRaw(root, path, name, REG_SZ, value.c_str(), value.size() + 1);
}

bool WriteBinary(HKEY root, const std::string& path, const std::string& name, const void* data,
                 size_t size) {
  return WriteRaw(root, path, name, REG_BINARY, data, size);
}

bool DeleteValue(HKEY root, const std::string& path, const std::string& name) {
  RegKey key;
  if (!OpenKey(root, path, KEY_READ | KEY_WRITE, key)) return false;
  LONG rc = RegDeleteValueA(key.key, name.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

// ---------------------------------------------------------------------------------------------
// Clipboard

bool ClipboardHasFormat(UINT format) {
  // IsClipboardFormatAvailable needs no open clipboard.
  return IsClipboardFormatAvailable(format) != FALSE;
}

std::optional<std::string> ReadClipboardText() {
  ClipboardLock lock(ClipboardOwner());
  if (!lock.Open()) return std::nullopt;
  HANDLE h = GetClipboardData(CF_TEXT);
  if (!h) return std::nullopt;
  SIZE_T size = GlobalSize(h);
  const char* p = static_cast<const char*>(GlobalLock(h));
  if (!p) return std::nullopt;
  std::string s(p, strnlen(p, size));
  GlobalUnlock(h);
  return s;
}

bool WriteClipboardText(const std::string& text) {
  ClipboardLock lock(ClipboardOwner());
  if (!lock.Open() || !EmptyClipboard()) return false;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!mem) return false;
  char* p = static_cast<char*>(GlobalLock(mem));
  if (!p) {
    GlobalFree(mem);
    return false;
  }
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  if (!SetClipboardData(CF_TEXT, mem)) {
    GlobalFree(mem);
    return false;
  }
  return true;  // the clipboard owns the block now
}

std::optional<Image> ReadClipboardDib() {
  ClipboardLock lock(ClipboardOwner());
  if (!lock.Open()) return std::nullopt;
  HANDLE h = GetClipboardData(CF_DIB);
  if (!h) return std::nullopt;
  SIZE_T size = GlobalSize(h);
  const auto* p = static_cast<const uint8_t*>(GlobalLock(h));
  if (!p) return std::nullopt;
  auto img = DecodePackedDib(p, size);
  GlobalUnlock(h);
  return img;
}

bool WriteClipboardDib(const Image& image) {
  if (image.Empty()) return false;
  const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~static_cast<size_t>(3);
  const size_t bytes = sizeof(BITMAPINFOHEADER) + stride * image.height;
  ClipboardLock lock(ClipboardOwner());
  if (!lock.Open() || !EmptyClipboard()) return false;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!mem) return false;
  auto* p = static_cast<uint8_t*>(GlobalLock(mem));
  if (!p) {
    GlobalFree(mem);
    return false;
  }
  BITMAPINFOHEADER ih = {};
  ih.biSize = sizeof ih;
  ih.biWidth = image.width;
  ih.biHeight = image.height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biCompression = BI_RGB;
  ih.biSizeImage = static_cast<DWORD>(stride * image.height);
  std::memcpy(p, &ih, sizeof ih);
  uint8_t* bits = p + sizeof ih;
  for (int y = 0; y < image.height; ++y) {
    uint8_t* row = bits + stride * (image.height - 1 - y);
    for (int x = 0; x < image.width; ++x) {
      uint32_t c = image.At(x, y);
      row[x * 3 + 0] = static_cast<uint8_t>(c);
      row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(c >> 16);
    }
  }
  GlobalUnlock(mem);
  if (!SetClipboardData(CF_DIB, mem)) {
    GlobalFree(mem);
    return false;
  }
  return true;
}

bool ClearClipboard() {
  ClipboardLock lock(ClipboardOwner());
  return lock.Open() && EmptyClipboard();
}

std::optional<Image> DecodePackedDib(const uint8_t* data, size_t size) {
  if (!data || size < 12) return std::nullopt;
  const uint32_t headerSize = ReadLe32(data);
  int64_t width = 0, height = 0;
  unsigned bpp = 0;
  uint32_t compression = BI_RGB, clrUsed = 0;
  size_t paletteEntrySize = 4;
  bool hasMasksInHeader = false;
  if (headerSize == 12) {  // BITMAPCOREHEADER
    width = ReadLe16(data + 4);
    height = static_cast<int16_t>(ReadLe16(data + 6));
    if (ReadLe16(data + 8) != 1) return std::nullopt;
    bpp = ReadLe16(data + 10);
    paletteEntrySize = 3;
  } else if (headerSize >= 40 && headerSize <= size) {
    width = static_cast<int32_t>(ReadLe32(data + 4));
    height = static_cast<int32_t>(ReadLe32(data + 8));
    if (ReadLe16(data + 12) != 1) return std::nullopt;
    bpp = ReadLe16(data + 14);
    compression = ReadLe32(data + 16);
    clrUsed = ReadLe32(data + 32);
    hasMasksInHeader = headerSize >= 52;
  } else {
    return std::nullopt;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > 32768 || height > 32768 ||
      width * height > (int64_t{1} << 26))
    return std::nullopt;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return std::nullopt;
  if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
    return std::nullopt;

  size_t pos = headerSize;
  uint32_t masks[3] = {0, 0, 0};
  if (compression == BI_BITFIELDS) {
    const uint8_t* m = nullptr;
    if (hasMasksInHeader) {
      m = data + 40;
    } else {
      if (size < pos + 12) return std::nullopt;
      m = data + pos;
      pos += 12;
    }
    for (int i = 0; i < 3; ++i) {
      masks[i] = ReadLe32(m + 4 * i);
      if (!ContiguousMask(masks[i])) return std::nullopt;
    }
  } else if (bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }

  std::vector<uint32_t> palette;
  if (bpp <= 8) {
    uint32_t count = clrUsed ? clrUsed : (1u << bpp);
    if (count > 256) return std::nullopt;
    if (size < pos || (size - pos) / paletteEntrySize < count) return std::nullopt;
    palette.resize(1u << bpp, 0xFF000000u);  // indices past the table read as black
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = data + pos + i * paletteEntrySize;
      palette[i] = 0xFF000000u | (static_cast<uint32_t>(e[2]) << 16) |
                   (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }
    pos += static_cast<size_t>(count) * paletteEntrySize;
  } else if (compression == BI_RGB && clrUsed) {
    // An optional colour table before true-colour bits: skip it.
    if (clrUsed > 65536 || size < pos || (size - pos) / 4 < clrUsed) return std::nullopt;
    pos += static_cast<size_t>(clrUsed) * 4;
  }

  const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
  const uint64_t needed = stride * static_cast<uint64_t>(height);
  if (pos > size || size - pos < needed) return std::nullopt;
  const uint8_t* bits = data + pos;

  Image img(static_cast<int>(width), static_cast<int>(height));
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* row = bits + stride * (topDown ? y : img.height - 1 - y);
    for (int x = 0; x < img.width; ++x) {
      uint32_t c = 0;
      switch (bpp) {
        case 1: c = palette[(row[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: c = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
        case 8: c = palette[row[x]]; break;
        case 16: {
          uint32_t v = ReadLe16(row + 2 * x);
          c = 0xFF000000u | (MaskChannel(v, masks[0]) << 16) | (MaskChannel(v, masks[1]) << 8) |
              MaskChannel(v, masks[2]);
          break;
        }
        case 24:
          c = 0xFF000000u | (static_cast<uint32_t>(row[3 * x + 2]) << 16) |
              (static_cast<uint32_t>(row[3 * x + 1]) << 8) | row[3 * x];
          break;
        case 32: {
          uint32_t v = ReadLe32(row + 4 * x);
          if (compression == BI_BITFIELDS)
            c = 0xFF000000u | (MaskChannel(v, masks[0]) << 16) |
                (MaskChannel(v, masks[1]) << 8) | MaskChannel(v, masks[2]);
          else
            c = v | 0xFF000000u;
          break;
        }
      }
      img.At(x, y) = c;
    }
  }
  return img;
}

// ---------------------------------------------------------------------------------------------
// Helper programs

uint32_t PatternPixel(int variant, int x, int y) {
  // Red steps by 5 across and 3 down, so every pixel differs from its four neighbours; green
  // gives 16-pixel colour bands, blue an 8-pixel checkerboard. Each variant shifts red by an
  // odd amount, so two variants (0..255) differ at every pixel.
  const unsigned ux = static_cast<unsigned>(x), uy = static_cast<unsigned>(y);
  const unsigned uv = static_cast<unsigned>(variant);
  const unsigned r = (ux * 5 + uy * 3 + uv * 97) & 0xFF;
  const unsigned band = (uy / 16) % 6;
  const unsigned g = (band * 42 + ux / 2 + uv * 29) & 0xFF;
  const unsigned checker = ((ux / 8) + (uy / 8)) & 1;
  const unsigned b = (checker ? 0xE0 : 0x20) ^ ((uv * 57) & 0x1F) ^ (uy & 0x0F);
  return (r << 16) | (g << 8) | (b & 0xFF);
}

std::string PatternArgs(const std::string& title, int x, int y, int w, int h, int variant,
                        const std::string& className) {
  return "--class \"" + className + "\" --title \"" + title + "\" --x " + std::to_string(x) +
         " --y " + std::to_string(y) + " --w " + std::to_string(w) + " --h " +
         std::to_string(h) + " --variant " + std::to_string(variant);
}

}  // namespace lumatre::e2e
