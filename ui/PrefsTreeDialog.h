// CPrefsTreeDialog: a property dialog navigated by a tree of page names (dialog 129). A caption
// band above the page area shows the current page's caption and a constant title; the page
// area is the hidden frame 1004. Pages (CSAPrefsSubDlg) are added before the dialog runs and
// made the first time they are shown.
//
// OK fetches and checks every page made so far, in page order, and shows the first page that
// refuses; when all agree each page's OnOK writes its values. Cancel calls each made page's
// OnCancel. Pages never shown are neither checked nor applied.
//
//   CPrefsTreeDialog dlg(this);
//   dlg.AddPage(generalPage, "General Options");
//   dlg.SetTitle("Options");
//   dlg.SetConstantText("Lumatre");
//   dlg.DoModal();
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "framework/Framework.h"
#include "ui/PrefsCaption.h"
#include "ui/PrefsSubDlg.h"

// Posted to the dialog when a tree item is selected; wParam: the page index.
constexpr UINT WM_PREFS_SHOWPAGE = WM_APP + 100;
// The property-sheet help notification sent to the current page by Help.
constexpr int kPrefsHelpCode = -205;  // PSN_HELP
// The help topic Help opens.
constexpr int kPrefsHelpTopic = 1;

class CPrefsTreeDialog : public CDialog {
 public:
  explicit CPrefsTreeDialog(CWnd* pParent = nullptr);

  // Appends a page record; false once the dialog window exists (or for a null page).
  bool AddPage(CSAPrefsSubDlg& page, const std::string& caption, CSAPrefsSubDlg* parent = nullptr);
  void SetTitle(const std::string& title) { m_title = title; }
  void SetConstantText(const std::string& text) { m_constantText = text; }
  // The page shown first (the first page when none is set).
  void SetStartPage(CSAPrefsSubDlg* page) { m_startPage = page; }
  // What Help does after telling the page (opens the help topic); tests replace it.
  void SetHelpHandler(void (*handler)(int topic, void* context), void* context) {
    m_helpHandler = handler;
    m_helpContext = context;
  }

  // Shows page index: hides the current one, makes the page when needed, moves it into the page
  // area, shows and focuses it and selects its tree item. False for an index without a page.
  bool ShowPage(int index);
  int GetCurrentPage() const { return m_currentPage; }
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CRect GetPageRect() const { return m_pageRect; }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 protected:
  void OnHelp();
  LRESULT OnShowPageMessage(WPARAM wParam, LPARAM lParam);
  void OnTreeSelChanged(NMHDR* nmhdr, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  struct PageRecord {
    CSAPrefsSubDlg* page;
    UINT id;
    std::string caption;
    CSAPrefsSubDlg* parent;
  };

  HWND Tree() const { return GetDlgItemHwnd(1010); }
  int IndexOf(const CSAPrefsSubDlg* page) const;

  std::vector<PageRecord> m_pages;
  std::map<const CSAPrefsSubDlg*, HTREEITEM> m_itemOfPage;
  int m_currentPage = -1;
  std::string m_title;
  std::string m_constantText;
  CSAPrefsSubDlg* m_startPage = nullptr;
  CRect m_pageRect;
  CPrefsCaption m_caption;
  void (*m_helpHandler)(int, void*) = nullptr;
  void* m_helpContext = nullptr;
};
