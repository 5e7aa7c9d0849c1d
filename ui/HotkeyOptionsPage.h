// CHotkeyOptionsPage: "Hotkey Options" (dialog 165): a row of Ctrl+, Alt+, Shift+ and a key per
// capture mode. The rows start from the hook library's table; leaving with two rows on the
// same key is refused (message 1234). OK puts the new keys in force at once: the library gets
// the new table and the system hotkeys are registered again.
#pragma once

#include "ui/OptionsHost.h"
#include "ui/OptionsLogic.h"
#include "ui/PrefsSubDlg.h"

class CHotkeyOptionsPage : public CSAPrefsSubDlg {
 public:
  explicit CHotkeyOptionsPage(IOptionsHost& host);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  bool LeaveCheck() override;
  void OnOK() override;

  // The codes the rows build now, in row order.
  void BuildRowCodes(WORD (&codes)[kHotkeyRowCount]) const;

 protected:
  void OnReset();

  DECLARE_MESSAGE_MAP()

 private:
  // Shows the codes of a 36-entry table in the rows.
  void ShowCodes(const WORD* table);

  IOptionsHost& m_host;
  WORD m_codes[kHotkeyRowCount] = {};
};
