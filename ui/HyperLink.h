// CHyperLink: a static text control that looks and behaves like a web link. It shows its text
// underlined in the link colours, changes the pointer to a hand, shows the link target in a
// tooltip and opens the target through OpenLink when clicked (or when Space is pressed while it
// has the focus).
//
// The control is an ordinary "STATIC" window bound to the object: either a control of a dialog
// template (SubclassDlgItem or DDX_Control; the object takes over the control's text and font)
// or one made by Create. Its text colour is answered through the parent's WM_CTLCOLORSTATIC,
// which the framework hands to the control first, with a transparent background. The parent
// must therefore be a framework window (a CDialog, for example).
//
// A link whose target is empty takes its window text as target; one whose text is empty shows
// the target. SetURL, SetLinkFont and ModifyLinkStyle may be called before or after the control
// is attached.
#pragma once

#include "framework/Framework.h"
#include "framework/Static.h"

#include <string>

class CHyperLink : public CStatic {
 public:
  // Style flags (GetLinkStyle / ModifyLinkStyle).
  static constexpr DWORD StyleUnderline = 0x01;         // underline the text
  static constexpr DWORD StyleUseHover = 0x02;          // hover colour while the mouse is over it
  static constexpr DWORD StyleAutoSize = 0x04;          // fit the control to its text
  static constexpr DWORD StyleDownClick = 0x08;         // follow on button down (else on button up)
  static constexpr DWORD StyleGetFocusOnClick = 0x10;   // take the focus when clicked
  static constexpr DWORD StyleNoHandCursor = 0x20;      // keep the ordinary pointer
  static constexpr DWORD StyleNoActiveColor = 0x40;     // never show the focus colour
  static constexpr DWORD DefaultStyle = StyleUnderline | StyleAutoSize | StyleGetFocusOnClick;  // 0x15

  // Text colours.
  static constexpr COLORREF LinkColor = RGB(0, 0, 255);
  static constexpr COLORREF VisitedColor = RGB(128, 0, 128);
  static constexpr COLORREF HoverColor = RGB(255, 0, 0);
  static constexpr COLORREF FocusedColor = RGB(0, 128, 128);

  CHyperLink();
  ~CHyperLink() override;
  CHyperLink(const CHyperLink&) = delete;
  CHyperLink& operator=(const CHyperLink&) = delete;

  // Makes a static control (WS_CHILD | WS_VISIBLE | dwStyle, for example SS_LEFT) showing text
  // and attaches it.
  BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // The link target. With a window: the control is fitted again and the tooltip shows the new
  // target (the shown text stays).
  void SetURL(const std::string& url);
  const std::string& GetURL() const { return m_strURL; }
  // The font the text is drawn with (an underlined copy of it when StyleUnderline is set). The
  // caller keeps the font alive while the control uses it.
  void SetLinkFont(HFONT hFont);
  HFONT GetLinkFont() const { return m_hBaseFont; }
  // Removes and adds style flags; FALSE (and nothing changes) when both name the same flag.
  BOOL ModifyLinkStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw = TRUE);
  DWORD GetLinkStyle() const { return m_dwStyle; }
  // Opens the target. A failure beeps and says why; a success marks the link visited.
  void FollowLink();

  bool IsVisited() const { return m_bVisited; }
  bool IsHovering() const { return m_bOverControl; }
  bool IsLinkFocused() const { return m_bFocused; }
  // The colour the text is drawn in now.
  COLORREF GetTextColor() const;
  HWND GetToolTip() const { return m_toolTip.get(); }

  // The hand pointer every link shares, loaded on first use and freed when the program ends:
  // cursor 106 of the Windows folder's winhlp32.exe, or the system's hand when that is missing.
  static HCURSOR GetLinkCursor();
  // A copy of cursor 106 of the module at path (loaded as a data file and freed again), or
  // nothing when the module or the cursor is missing.
  static UniqueCursor LoadCursorFromModule(const std::string& modulePath);

 protected:
  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  LRESULT OnNcHitTest(CPoint point);
  BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);
  void OnMouseMove(UINT nFlags, CPoint point);
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  void OnCaptureChanged(HWND hWndNew);
  void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnSetFocus(HWND hWndOld);
  void OnKillFocus(HWND hWndNew);
  void OnSize(UINT nType, int cx, int cy);
  void OnDestroy();

  DECLARE_MESSAGE_MAP()

 private:
  void InitLink();
  void ApplyFont();
  void PositionWindow();
  void CreateToolTip();
  void UpdateToolTip();
  void RedrawLink();
  SIZE MeasureText() const;

  bool m_bFocused = false;
  bool m_bOverControl = false;
  bool m_bVisited = false;
  DWORD m_dwStyle = DefaultStyle;
  std::string m_strURL;
  UniqueFont m_font;             // the underlined copy, while StyleUnderline is set
  UniqueWindow m_toolTip;
  HFONT m_hBaseFont = nullptr;   // the control's own font (not owned)
};

// The text colour for a state: the hover colour while hovering with StyleUseHover; otherwise,
// unless focused (and StyleNoActiveColor clear), the visited or the link colour; else the
// focus colour.
COLORREF HyperLinkTextColor(DWORD linkStyle, bool hovering, bool focused, bool visited);

// Where an auto-sized link goes: window is its rectangle in the parent, extent the text size
// plus the window's borders, staticStyle its window style. Horizontally centred text (SS_CENTER)
// keeps the middle, right-aligned text (SS_RIGHT) the right edge, any other the left edge; with
// SS_CENTERIMAGE the height is centred on the old middle, otherwise the top stays.
RECT HyperLinkFitRect(const RECT& window, SIZE extent, DWORD staticStyle);
