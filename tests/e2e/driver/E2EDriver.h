// End-to-end test driver: runs copies of the program (and small helper programs) inside the
// same Wine virtual desktop as the test, feeds them real input through SendInput, and reads
// back what they did through the screen, the clipboard, the registry and the file system.
//
// All functions run on the calling (test) thread. Texts are ANSI, like the program's own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace lumatre::e2e {

// ---------------------------------------------------------------------------------------------
// Pictures

// A 32-bit picture, top-down, pixels stored as blue, green, red, alpha bytes (so a pixel read
// as a 32-bit number is 0xAARRGGBB). Alpha is 0xFF for everything read from the screen or a DIB.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height, row 0 at the top

  Image() = default;
  Image(int w, int h, uint32_t fill = 0xFF000000u);
  bool Empty() const { return width <= 0 || height <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  // Colour without alpha as 0x00RRGGBB (what the tests usually compare).
  uint32_t Rgb(int x, int y) const { return At(x, y) & 0x00FFFFFFu; }
  // The part inside r (clipped to the picture).
  Image Crop(const RECT& r) const;
};

// 0x00RRGGBB from components, and a COLORREF (0x00BBGGRR) to 0x00RRGGBB.
constexpr uint32_t Rgb(int r, int g, int b) {
  return (static_cast<uint32_t>(r & 0xFF) << 16) | (static_cast<uint32_t>(g & 0xFF) << 8) |
         static_cast<uint32_t>(b & 0xFF);
}
constexpr uint32_t FromColorref(COLORREF c) {
  return Rgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The whole virtual screen (its top-left pixel at Image(0, 0) = screen (left, top) of the
// virtual screen, which is (0, 0) with one monitor).
Image CaptureScreen();
// The screen pixels inside r (screen coordinates).
Image CaptureScreenRect(const RECT& r);
// The screen pixels of a window's rectangle (what the user sees there, including anything
// covering it), or of its client area when clientOnly is true.
Image CaptureWindow(HWND hwnd, bool clientOnly = false);
// Writes a 32-bit bottom-up BMP file (for looking at failures). Returns false on any error.
bool SaveBmp(const Image& image, const std::string& path);
// Number of pixels inside r (coordinates of both pictures, clipped to the smaller one) whose
// red, green or blue differ by more than tolerance. Pixels outside either picture count as
// differing.
int CountDifferentPixels(const Image& a, const Image& b, const RECT& r, int tolerance = 0);
// Number of pixels inside r of image whose colour (0x00RRGGBB) differs from expected(x, y)
// by more than tolerance in any component; x and y are picture coordinates.
int CountPixelsNotMatching(const Image& image, const RECT& r,
                           const std::function<uint32_t(int x, int y)>& expected,
                           int tolerance = 0);

// ---------------------------------------------------------------------------------------------
// Files

bool FileExists(const std::string& path);  // an existing file, not a folder
bool DirectoryExists(const std::string& path);
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const void* data, size_t size);
// Names (not paths) of the files in folder that match pattern (e.g. "*.bmp"), sorted.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern = "*");
// Removes a folder with everything in it; true when it is gone afterwards.
bool RemoveDirectoryTree(const std::string& path);
// The folder of the running test executable (where every built binary lands), no trailing
// backslash.
std::string ExecutableFolder();
// a + "\\" + b, without doubling a trailing backslash of a.
std::string JoinPath(const std::string& a, const std::string& b);
// The path of a helper program built beside the running test.
std::string HelperPath(const char* exe);

// ---------------------------------------------------------------------------------------------
// Program copies and processes

// A fresh folder under the temporary folder with copies of Lumatre.exe and QuorvaHook.dll from
// the test executable's folder, so that each test has its own program folder (and so its own
// "Output" folder beside the program). The folder is removed when the object goes away.
class AppCopy {
 public:
  // Copies Lumatre.exe and QuorvaHook.dll (unless includeProgram is false) plus any extra files
  // named, all taken from the test executable's folder.
  explicit AppCopy(const std::vector<std::string>& extraFiles = {}, bool includeProgram = true);
  ~AppCopy();
  AppCopy(const AppCopy&) = delete;
  AppCopy& operator=(const AppCopy&) = delete;

  bool Ok() const { return m_error.empty(); }
  const std::string& Error() const { return m_error; }  // what went wrong, empty when Ok
  const std::string& Folder() const { return m_folder; }  // no trailing backslash
  std::string ExePath() const;       // Folder\Lumatre.exe
  std::string OutputFolder() const;  // Folder\Output
  // Copies another file from the test executable's folder into the copy's folder.
  bool CopyIn(const std::string& fileName);

 private:
  std::string m_folder;
  std::string m_error;
};

// Top-level windows of a process, optionally only those of one window class; visible or not.
std::vector<HWND> FindTopLevelWindows(DWORD pid, const std::string& className = "");
// Every descendant window of `parent`, and the top-level windows of one thread.
std::vector<HWND> ChildWindows(HWND parent);
std::vector<HWND> ThreadWindows(DWORD threadId);
// The icon squares of the desktop's tray: the taskbar's small child windows where the taskbar
// makes them, otherwise the square at the taskbar's right end, where it draws its only icon.
std::vector<RECT> TrayIconRects();
std::string WindowClassName(HWND hwnd);
std::string WindowText(HWND hwnd);
// The client rectangle of a window in screen coordinates.
RECT ClientOnScreen(HWND hwnd);

// One started program. The destructor ends it if it is still running.
class AppProcess {
 public:
  AppProcess() = default;
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  // Starts exe with the argument text (not including the program name); the working folder is
  // the exe's own folder unless workDir is given. False (with LastError()) on failure.
  bool Start(const std::string& exe, const std::string& args = "",
             const std::string& workDir = "");
  // Waits for a top-level window of this process with this class (visible or not; any class
  // when className is empty). nullptr on time-out or when the process ends first.
  HWND WaitForWindow(const std::string& className, DWORD timeoutMs);
  // Waits for a visible one.
  HWND WaitForVisibleWindow(const std::string& className, DWORD timeoutMs);
  // The exit code, or nothing when the process is still running after timeoutMs.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);
  // Ends the process at once and waits for it to go away.
  void Terminate(UINT exitCode = 1);
  bool IsRunning() const;
  bool Started() const { return m_process != nullptr; }
  DWORD Pid() const { return m_pid; }
  HANDLE Handle() const { return m_process; }
  std::vector<HWND> TopLevelWindows(const std::string& className = "") const;
  const std::string& LastError() const { return m_error; }

 private:
  void Close();
  HANDLE m_process = nullptr;
  DWORD m_pid = 0;
  std::string m_error;
};

// ---------------------------------------------------------------------------------------------
// Waiting

// Calls predicate until it returns true or timeoutMs has passed, pumping this thread's messages
// between calls every pollMs. True when the predicate became true.
bool WaitUntil(const std::function<bool()>& predicate, DWORD timeoutMs, DWORD pollMs = 20);
// Pumps this thread's messages for ms milliseconds.
void PumpFor(DWORD ms);

// ---------------------------------------------------------------------------------------------
// Input (SendInput; reaches whatever window has the focus, hooks and hotkeys of other programs)

// Pause after each injected event so that Wine delivers them in order; default 15 ms.
void SetInputDelay(DWORD ms);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void KeyPress(WORD vk);  // down then up
// Presses the keys in order and releases them in reverse order, e.g. {VK_CONTROL, VK_MENU, 'D'}.
void KeyChord(std::initializer_list<WORD> keys);
void KeyChord(const std::vector<WORD>& keys);
// Types printable text (characters with a key on the current layout through their key and
// Shift; others as Unicode characters). '\n' presses Enter, '\t' Tab.
void TypeText(const std::string& text);

enum class MouseButton { Left, Right, Middle };
// Absolute move to screen pixel (x, y) of the primary screen.
void MouseMove(int x, int y);
// Button events happen at the position of the last MouseMove (the current position before any).
void MouseDown(MouseButton button = MouseButton::Left);
void MouseUp(MouseButton button = MouseButton::Left);
void MouseClick(int x, int y, MouseButton button = MouseButton::Left);
void MouseDoubleClick(int x, int y, MouseButton button = MouseButton::Left);
// Press at (x0, y0), move in steps to (x1, y1), release there.
void MouseDrag(int x0, int y0, int x1, int y1, MouseButton button = MouseButton::Left,
               int steps = 8);
// Brings a window to the foreground (with the usual tricks Windows needs) and waits until its
// thread has the activation and the keyboard focus; true when it has.
bool ForceForeground(HWND hwnd, DWORD timeoutMs = 2000);

// ---------------------------------------------------------------------------------------------
// Registry (paths are relative to root, e.g. "Software\\Lumatre\\Lumatre\\Hotkey")

bool DeleteKeyTree(HKEY root, const std::string& path);  // true also when it did not exist
bool KeyExists(HKEY root, const std::string& path);
// Type of a value (REG_DWORD, REG_SZ, ...) or -1 when the key or value is missing.
long ValueType(HKEY root, const std::string& path, const std::string& name);
std::optional<DWORD> ReadDword(HKEY root, const std::string& path, const std::string& name);
std::optional<std::string> ReadString(HKEY root, const std::string& path, const std::string& name);
std::optional<std::vector<uint8_t>> ReadBinary(HKEY root, const std::string& path,
                                               const std::string& name);
// The writers create the key path when it is missing.
bool WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
bool WriteString(HKEY root, const std::string& path, const std::string& name,
                 const std::string& value);
bool WriteBinary(HKEY root, const std::string& path, const std::string& name, const void* data,
                 size_t size);
// Writes a value of any type with raw data (for "wrong type" cases).
bool WriteRaw(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const void* data, size_t size);
bool DeleteValue(HKEY root, const std::string& path, const std::string& name);

// ---------------------------------------------------------------------------------------------
// Clipboard (each call opens and closes it, retrying while another program holds it)

bool ClipboardHasFormat(UINT format);
std::optional<std::string> ReadClipboardText();  // CF_TEXT
bool WriteClipboardText(const std::string& text);
// CF_DIB as a 32-bit picture: 1, 4, 8 bits with palette, 16 bits (5-5-5 or bit fields), 24, 32
// bits (BI_RGB or BI_BITFIELDS), bottom-up or top-down. Nothing when missing or malformed.
std::optional<Image> ReadClipboardDib();
// Puts the picture on the clipboard as a 24-bit CF_DIB (as a paint program would).
bool WriteClipboardDib(const Image& image);
bool ClearClipboard();
// Decodes a packed DIB (BITMAPINFOHEADER, colour table or masks, bits) the way
// ReadClipboardDib does; exposed for tests of files and memory blocks.
std::optional<Image> DecodePackedDib(const uint8_t* data, size_t size);

// ---------------------------------------------------------------------------------------------
// Helper programs built beside the tests

// e2e_pattern.exe: a window painting PatternPixel(variant, x, y) over its whole client area.
//   e2e_pattern.exe [--class NAME] [--title TEXT] [--x N --y N] [--w N --h N] (client size)
//                   [--variant N] [--switch-after MS:VARIANT] [--popup] [--topmost]
// Its title is "<title>" followed by " | key=<last chord> #<key-downs>" once keys arrive and
// " | click=<L|R|M>(x,y) #<clicks>" once mouse buttons are pressed (client coordinates).
// Sending it kPatternSetVariant (wParam = variant) repaints it with another pattern;
// kPatternGetVariant returns the current one.
inline constexpr const char* kPatternExe = "e2e_pattern.exe";
inline constexpr const char* kPatternDefaultClass = "LumatreE2EPattern";
inline constexpr UINT kPatternSetVariant = WM_APP + 1;
inline constexpr UINT kPatternGetVariant = WM_APP + 2;
// The colour (0x00RRGGBB) of client pixel (x, y) for a pattern variant: colour bands with a
// checkerboard and a gradient, so that neighbouring pixels differ. Variants differ everywhere.
uint32_t PatternPixel(int variant, int x, int y);
// Builds the argument text for e2e_pattern.exe.
std::string PatternArgs(const std::string& title, int x, int y, int w, int h, int variant = 0,
                        const std::string& className = kPatternDefaultClass);

// e2e_hotkey_holder.exe CODE...: registers each hotkey (in the program's hotkey code format:
// low byte the virtual key, 0x8000 Ctrl, 0x4000 Shift, 0x2000 Alt; decimal or 0x hex) on a
// hidden window of class kHotkeyHolderClass and holds them until it is ended. Its title reads
// "HotkeyHolder ok=<registered> failed=<refused> hits=<WM_HOTKEY count>".
inline constexpr const char* kHotkeyHolderExe = "e2e_hotkey_holder.exe";
inline constexpr const char* kHotkeyHolderClass = "LumatreE2EHotkeyHolder";

}  // namespace lumatre::e2e
