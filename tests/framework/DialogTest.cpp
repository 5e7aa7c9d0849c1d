// Modal dialogs from the test template, driven by a timer inside the dialog's own modal loop:
// data exchange both ways, validation that keeps the dialog open with the standard message and
// the failing control focused and selected, Cancel, and the parsing rules.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace {

class CTestDialog : public CDialog {
 public:
  CTestDialog() : CDialog(IDD_TEST) {}

  int value = 10;
  std::string name = "abc";
  UINT count = 3;
  double real = 1.5;
  char buffer[6] = "xy";
  int check = 1;
  int radio = 2;
  int combo = 1;
  int editChanges = 0;

  // Steps run one per timer tick while the dialog is up; each gets the dialog.
  std::vector<std::function<void(CTestDialog&)>> steps;
  size_t nextStep = 0;
  bool initialTextsSeen = false;
  std::string initialValueText, initialNameText;

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_VALUE, value);
    DDV_MinMaxInt(pDX, value, 1, 100);
    DDX_Text(pDX, IDC_NAME, name);
    DDV_MaxChars(pDX, name, 8);
    DDX_Text(pDX, IDC_COUNT, count);
    DDX_Text(pDX, IDC_REAL, real);
    DDV_MinMaxDouble(pDX, real, 0.0, 10.0);
    DDX_Text(pDX, IDC_BUFFER, buffer, sizeof(buffer));
    DDX_Check(pDX, IDC_CHECK, check);
    DDX_Radio(pDX, IDC_RADIO1, radio);
    DDX_CBIndex(pDX, IDC_COMBO, combo);
  }

  BOOL OnInitDialog() override {
    HWND cb = GetDlgItemHwnd(IDC_COMBO);
    for (const char* s : {"Zero", "One", "Two"}) ::SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    CDialog::OnInitDialog();
    initialValueText = GetDlgItemText(IDC_VALUE);
    initialNameText = GetDlgItemText(IDC_NAME);
    SetTimer(1, 20);
    return TRUE;
  }

  void SetText(int id, const char* text) { SetDlgItemText(id, text); }
  void PressOk() { SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItemHwnd(IDOK))); }
  void PressCancel() {
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItemHwnd(IDCANCEL)));
  }

 private:
  void OnTimer(UINT_PTR) {
    if (nextStep < steps.size()) {
      steps[nextStep++](*this);
    } else {
      KillTimer(1);
      EndDialog(-2);  // the script ran out: never hang the test
    }
  }
  void OnValueChange() { ++editChanges; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
  ON_WM_TIMER()
  ON_EN_CHANGE(IDC_VALUE, OnValueChange)
END_MESSAGE_MAP()

// The selection of an edit control as (start, end).
std::pair<int, int> Selection(HWND edit) {
  DWORD start = 0, end = 0;
  ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

}  // namespace

TEST(Dialog, ValuesAreLoadedIntoTheControlsAndReadBackOnOk) {
  MessageBoxRecorder boxes;
  CTestDialog dlg;
  std::string checkText, radioState, comboText;
  dlg.steps.push_back([&](CTestDialog& d) {
    checkText = std::to_string(d.IsDlgButtonChecked(IDC_CHECK));
    radioState = std::to_string(d.IsDlgButtonChecked(IDC_RADIO1)) + std::to_string(d.IsDlgButtonChecked(IDC_RADIO2)) +
                 std::to_string(d.IsDlgButtonChecked(IDC_RADIO3));
    comboText = std::to_string(d.SendDlgItemMessage(IDC_COMBO, CB_GETCURSEL));
    d.SetText(IDC_VALUE, " 77 ");
    d.SetText(IDC_NAME, "new name");
    d.SetText(IDC_COUNT, "4000000000");
    d.SetText(IDC_REAL, "2.25e0");
    d.SetText(IDC_BUFFER, "hello");
    d.CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
    d.CheckRadioButton(IDC_RADIO1, IDC_RADIO3, IDC_RADIO1);
    d.SendDlgItemMessage(IDC_COMBO, CB_SETCURSEL, 2);
    d.PressOk();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_TRUE(boxes.boxes().empty());
  // Loaded.
  EXPECT_EQ(dlg.initialValueText, "10");
  EXPECT_EQ(dlg.initialNameText, "abc");
  EXPECT_EQ(checkText, "1");
  EXPECT_EQ(radioState, "001");
  EXPECT_EQ(comboText, "1");
  // Read back.
  EXPECT_EQ(dlg.value, 77);
  EXPECT_EQ(dlg.name, "new name");
  EXPECT_EQ(dlg.count, 4000000000u);
  EXPECT_DOUBLE_EQ(dlg.real, 2.25);
  EXPECT_STREQ(dlg.buffer, "hello");
  EXPECT_EQ(dlg.check, 0);
  EXPECT_EQ(dlg.radio, 0);
  EXPECT_EQ(dlg.combo, 2);
  // Loading the controls sent no notifications to the dialog's handlers.
  EXPECT_EQ(dlg.editChanges, 1);  // only the test's own change
}

TEST(Dialog, OutOfRangeValueKeepsTheDialogOpenUntilCorrected) {
  MessageBoxRecorder boxes;
  CTestDialog dlg;
  bool stillOpen = false;
  int focusAfterFailure = 0;
  std::pair<int, int> selection;
  dlg.steps.push_back([&](CTestDialog& d) {
    d.SetText(IDC_VALUE, "500");
    d.PressOk();
    stillOpen = ::IsWindow(d.m_hWnd) != FALSE;
    focusAfterFailure = ::GetDlgCtrlID(::GetFocus());
    selection = Selection(d.GetDlgItemHwnd(IDC_VALUE));
  });
  dlg.steps.push_back([&](CTestDialog& d) {
    d.SetText(IDC_VALUE, "42");
    d.PressOk();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Please enter an integer between 1 and 100.");
  EXPECT_TRUE(boxes.boxes()[0].type & MB_ICONEXCLAMATION);
  EXPECT_EQ(focusAfterFailure, IDC_VALUE);
  EXPECT_EQ(selection, std::make_pair(0, 3));  // the whole "500" selected
  EXPECT_EQ(dlg.value, 42);
}

TEST(Dialog, EachKindOfBadInputHasItsMessage) {
  struct Case {
    int control;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {IDC_VALUE, "abc", "Please enter an integer."},
      {IDC_VALUE, "12x", "Please enter an integer."},
      {IDC_VALUE, "", "Please enter an integer."},
      {IDC_VALUE, "99999999999", "Please enter an integer between -2147483648 and 2147483647."},
      {IDC_COUNT, "-5", "Please enter a positive integer."},
      {IDC_COUNT, "4294967296", "Please enter an integer between 0 and 4294967295."},
      {IDC_NAME, "nine char", "Please enter no more than 8 characters."},
      {IDC_REAL, "1.2.3", "Please enter a number."},
      {IDC_REAL, "inf", "Please enter a number."},
      {IDC_REAL, "11", "Please enter a number between 0 and 10."},
      {IDC_BUFFER, "sixsix", "Please enter no more than 5 characters."},
  };
  for (const Case& c : cases) {
    MessageBoxRecorder boxes;
    CTestDialog dlg;
    int focusId = 0;
    dlg.steps.push_back([&](CTestDialog& d) {
      d.SetText(c.control, c.text);
      d.PressOk();
      focusId = ::GetDlgCtrlID(::GetFocus());
      d.PressCancel();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.text;
    ASSERT_EQ(boxes.boxes().size(), 1u) << c.text;
    EXPECT_EQ(boxes.boxes()[0].text, c.message) << c.text;
    EXPECT_EQ(focusId, c.control) << c.text;
    // Nothing was taken from a refused exchange... except values exchanged before it.
    EXPECT_STREQ(dlg.buffer, "xy") << c.text;
  }
}

TEST(Dialog, CancelLeavesTheMembersAlone) {
  MessageBoxRecorder boxes;
  CTestDialog dlg;
  dlg.steps.push_back([](CTestDialog& d) {
    d.SetText(IDC_VALUE, "55");
    d.SetText(IDC_NAME, "changed");
    d.PressCancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.value, 10);
  EXPECT_EQ(dlg.name, "abc");
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST(Dialog, TheOwnerIsDisabledWhileTheDialogRuns) {
  CWinApp app("Dialog Owner");
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
  app.m_pMainWnd = frame;
  CTestDialog dlg;
  bool ownerEnabledDuring = true;
  HWND ownerOfDialog = nullptr;
  dlg.steps.push_back([&](CTestDialog& d) {
    ownerEnabledDuring = frame->IsWindowEnabled() != FALSE;
    ownerOfDialog = ::GetWindow(d.m_hWnd, GW_OWNER);
    d.PressCancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_EQ(ownerOfDialog, frame->m_hWnd);
  EXPECT_TRUE(frame->IsWindowEnabled());
  app.m_pMainWnd = nullptr;
  frame->DestroyWindow();
}

namespace {

class CCollidingApp : public CWinApp {
 public:
  CCollidingApp() : CWinApp("Colliding Ids") {}
  int commands = 0;

 private:
  void OnCommandWithTheCheckBoxId() { ++commands; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCollidingApp, CWinApp)
  ON_COMMAND(IDC_CHECK, OnCommandWithTheCheckBoxId)
END_MESSAGE_MAP()

}  // namespace

TEST(Dialog, ClicksOnControlsDoNotRunProgramCommandsWithTheSameId) {
  CCollidingApp app;
  CTestDialog dlg;
  int afterClick = -1, afterMenuCommand = -1;
  dlg.steps.push_back([&](CTestDialog& d) {
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHECK, BN_CLICKED), reinterpret_cast<LPARAM>(d.GetDlgItemHwnd(IDC_CHECK)));
    afterClick = app.commands;
    d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHECK, 0), 0);  // a menu or accelerator command
    afterMenuCommand = app.commands;
    d.PressCancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(afterClick, 0);
  EXPECT_EQ(afterMenuCommand, 1);
}

TEST(Dialog, AMissingTemplateFailsCleanly) {
  CDialog dlg(9999);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, ModelessDialogsAreDestroyedByTheirOwner) {
  CTestDialog dlg;
  ASSERT_TRUE(dlg.Create(IDD_TEST));
  EXPECT_EQ(dlg.GetDlgItemText(IDC_VALUE), "10");
  dlg.SetText(IDC_VALUE, "20");
  EXPECT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.value, 20);
  dlg.KillTimer(1);
  dlg.EndDialog(IDOK);  // hides a modeless dialog
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(DataExchangeParsing, IntegersAndReals) {
  long long s = 0;
  EXPECT_TRUE(AfxParseSigned("  -12  ", -100, 100, s));
  EXPECT_EQ(s, -12);
  EXPECT_TRUE(AfxParseSigned("+7", -100, 100, s));
  EXPECT_EQ(s, 7);
  EXPECT_TRUE(AfxParseSigned("-2147483648", INT_MIN, INT_MAX, s));
  EXPECT_EQ(s, INT_MIN);
  EXPECT_FALSE(AfxParseSigned("2147483648", INT_MIN, INT_MAX, s));
  EXPECT_FALSE(AfxParseSigned("99999999999999999999999", INT_MIN, INT_MAX, s));
  EXPECT_FALSE(AfxParseSigned("1 2", -100, 100, s));
  EXPECT_FALSE(AfxParseSigned("-", -100, 100, s));
  EXPECT_FALSE(AfxParseSigned("0x10", -100, 100, s));
  unsigned long long u = 0;
  EXPECT_TRUE(AfxParseUnsigned("4294967295", 4294967295ull, u));
  EXPECT_FALSE(AfxParseUnsigned("4294967296", 4294967295ull, u));
  EXPECT_FALSE(AfxParseUnsigned("-1", 4294967295ull, u));
  EXPECT_TRUE(AfxParseUnsigned("-0", 10, u));
  double d = 0;
  EXPECT_TRUE(AfxParseReal(" 3.5 ", d));
  EXPECT_DOUBLE_EQ(d, 3.5);
  EXPECT_TRUE(AfxParseReal("-1e3", d));
  EXPECT_DOUBLE_EQ(d, -1000);
  EXPECT_FALSE(AfxParseReal("nan", d));
  EXPECT_FALSE(AfxParseReal("1e999", d));
  EXPECT_FALSE(AfxParseReal("0x1p3", d));
  EXPECT_FALSE(AfxParseReal("", d));
  EXPECT_FALSE(AfxParseReal("1,5", d));
}
