// The workspace's values in the "Settings" section: whether new image windows open maximised,
// the logo's font and colour, the background colour and the background picture. They are read
// once when the main frame is made and written back when its workspace goes (the child-window
// state also when the last image window closes). There is no dialog for them: they are changed
// in the registry only, so every value is checked and anything odd gives the default.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Where the values live: the application's profile functions, or a map in tests.
class IWorkspaceProfile {
 public:
  // A REG_DWORD value, or nDefault when it is missing or of another type.
  virtual UINT GetInt(LPCSTR entry, int nDefault) = 0;
  // A REG_BINARY value; false when it is missing or of another type.
  virtual bool GetBinary(LPCSTR entry, std::vector<BYTE>& out) = 0;
  // A REG_SZ value, or empty.
  virtual std::string GetString(LPCSTR entry) = 0;
  virtual void WriteInt(LPCSTR entry, int value) = 0;
  virtual void WriteBinary(LPCSTR entry, const void* data, UINT size) = 0;
  virtual void WriteString(LPCSTR entry, LPCSTR value) = 0;

 protected:
  ~IWorkspaceProfile() = default;
};

// IWorkspaceProfile over the application object's profile functions, section "Settings".
class CAppWorkspaceProfile final : public IWorkspaceProfile {
 public:
  UINT GetInt(LPCSTR entry, int nDefault) override;
  bool GetBinary(LPCSTR entry, std::vector<BYTE>& out) override;
  std::string GetString(LPCSTR entry) override;
  void WriteInt(LPCSTR entry, int value) override;
  void WriteBinary(LPCSTR entry, const void* data, UINT size) override;
  void WriteString(LPCSTR entry, LPCSTR value) override;
};

// How the background picture covers the workspace ("TVDispType").
enum WorkspaceDisplayType { kDisplayTiled = 0, kDisplayCentred = 1, kDisplayStretched = 2 };

struct WorkspaceSettings {
  static constexpr const char* kSection = "Settings";
  static constexpr const char* kChildWinState = "TVChildWinState";
  static constexpr const char* kLogoFont = "TVLogoFont";
  static constexpr const char* kLogoColor = "TVLogoColor";
  static constexpr const char* kBackColor = "TVBackColor";
  static constexpr const char* kDispType = "TVDispType";
  static constexpr const char* kBkBitmap = "TVBkBitmap";
  static constexpr const char* kFileName = "TVFileName";
  // Size of "TVLogoFont": the platform's 60-byte font description.
  static constexpr UINT kLogoFontBytes = sizeof(LOGFONTA);

  int childWinState = 1;  // 1: new image windows open maximised, 0: restored
  LOGFONTA logoFont{};
  COLORREF logoColor = 0;
  COLORREF backColor = 0;
  int dispType = kDisplayCentred;
  int bkBitmap = 1;  // kept and written back; nothing else reads it
  std::string fileName;

  // The defaults: the logo in bold 18-point "Times New Roman" at the screen's vertical dots per
  // inch, the logo in logoDefault and the workspace in backDefault (the system's button-face
  // and application-workspace colours).
  static WorkspaceSettings Defaults(int dotsPerInchY, COLORREF logoDefault, COLORREF backDefault);
  static LOGFONTA DefaultLogoFont(int dotsPerInchY);
  // True when a stored font description can be used: sizes and weight in range and a face
  // name that ends inside its field.
  static bool IsUsableLogoFont(const LOGFONTA& font);

  // Reads every value over the defaults held now; odd values keep the default.
  void Load(IWorkspaceProfile& profile);
  // Writes every value.
  void Save(IWorkspaceProfile& profile) const;
  void SaveChildWinState(IWorkspaceProfile& profile) const;
};
