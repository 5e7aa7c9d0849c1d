// Command targets and their message maps.
//
// Every class that answers messages or commands has its own map, declared with
// DECLARE_MESSAGE_MAP() in the class and defined with BEGIN_MESSAGE_MAP(Class, Base) ...
// END_MESSAGE_MAP() in its source file. A map lists entries (ON_WM_SIZE(), ON_COMMAND(id, fn),
// ON_UPDATE_COMMAND_UI(id, fn), ON_MESSAGE(msg, fn), ON_REGISTERED_MESSAGE(var, fn), ...) and chains
// to the base class's map, so a lookup walks from the most derived class to CCmdTarget.
//
// Each entry holds a small non-capturing lambda ("thunk") made inside the class's own map
// function, which casts the target to the class and calls the typed handler; handlers can
// therefore be private. The window message entries (ON_WM_xxx) are in MessageMap.h.
#pragma once

#include <windows.h>

class CCmdTarget;
class CCmdUI;
class CMenu;
class CWnd;

// Codes passed to OnCmdMsg besides control notification codes.
constexpr int CN_COMMAND = 0;              // run the command (menu, accelerator, button click)
constexpr int CN_UPDATE_COMMAND_UI = -1;   // pExtra is a CCmdUI*: update the command's state
constexpr int CN_QUERY_HANDLER = -2;       // only ask whether a handler exists; nothing runs
// Notifications (WM_NOTIFY) reach OnCmdMsg with code MAKELONG(notifyCode, WM_NOTIFY) and an
// AFX_NOTIFY* as pExtra.
inline int AfxNotifyCode(int notifyCode) { return static_cast<int>(MAKELONG(static_cast<WORD>(notifyCode), WM_NOTIFY)); }

struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

// What a thunk receives.
struct AFX_MSG_CALL {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT nID = 0;           // command or control id
  void* extra = nullptr;  // CCmdUI* for update-UI entries, AFX_NOTIFY* for notifications
};

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, const AFX_MSG_CALL& call);

enum AfxEntryKind : UINT {
  AfxEntry_End = 0,
  AfxEntry_Message,     // window message nMessage
  AfxEntry_Registered,  // registered window message, id read through pnMessage when dispatched
  AfxEntry_Command,     // WM_COMMAND: code nCode, ids nID..nLastID
  AfxEntry_CommandEx,   // same; the handler returns FALSE to let routing continue
  AfxEntry_UpdateUI,    // update-UI for ids nID..nLastID
  AfxEntry_Notify,      // WM_NOTIFY: notification nCode, ids nID..nLastID
  AfxEntry_NotifyEx,    // same; the handler returns FALSE to let routing continue
};

struct AFX_MSGMAP_ENTRY {
  AfxEntryKind nKind;
  UINT nMessage;
  int nCode;
  UINT nID;
  UINT nLastID;
  const UINT* pnMessage;
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Declares the map of a class. Leaves the access at protected.
#define DECLARE_MESSAGE_MAP()                         \
 protected:                                           \
  static const AFX_MSGMAP* GetThisMessageMap();       \
  const AFX_MSGMAP* GetMessageMap() const override;   \
                                                      \
 protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }  \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                  \
    using ThisClass = theClass;                                                       \
    using TheBaseClass = baseClass;                                                   \
    static_assert(sizeof(ThisClass) > 0 && sizeof(TheBaseClass) > 0);                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                 \
  { AfxEntry_End, 0, 0, 0, 0, nullptr, nullptr }                                         \
  };                                                                                      \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                     \
  }

// A thunk body with `self` (the target as ThisClass*) and `call` (AFX_MSG_CALL) in scope.
#define AFX_THUNK(...)                                                                    \
  [](CCmdTarget* afxTarget, const AFX_MSG_CALL& call) -> LRESULT {                        \
    ThisClass* self = static_cast<ThisClass*>(afxTarget);                                 \
    (void)self;                                                                           \
    (void)call;                                                                           \
    __VA_ARGS__                                                                           \
  }

// --- Commands --------------------------------------------------------------------------------

// void fn()
#define ON_COMMAND(id, fn) \
  {AfxEntry_Command, WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(self->fn(); return TRUE;)},
// BOOL fn(UINT id): FALSE lets the command go on to the next target.
#define ON_COMMAND_EX(id, fn) \
  {AfxEntry_CommandEx, WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(return self->fn(call.nID);)},
// void fn(UINT id) for every id in first..last.
#define ON_COMMAND_RANGE(first, last, fn) \
  {AfxEntry_Command, WM_COMMAND, CN_COMMAND, (UINT)(first), (UINT)(last), nullptr, AFX_THUNK(self->fn(call.nID); return TRUE;)},
// BOOL fn(UINT id) for every id in first..last; FALSE lets the command go on.
#define ON_COMMAND_EX_RANGE(first, last, fn) \
  {AfxEntry_CommandEx, WM_COMMAND, CN_COMMAND, (UINT)(first), (UINT)(last), nullptr, AFX_THUNK(return self->fn(call.nID);)},
// void fn(CCmdUI* ui)
#define ON_UPDATE_COMMAND_UI(id, fn) \
  {AfxEntry_UpdateUI, WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(self->fn(static_cast<CCmdUI*>(call.extra)); return TRUE;)},
// void fn(CCmdUI* ui) for every id in first..last (ui->m_nID tells which).
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn) \
  {AfxEntry_UpdateUI, WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(first), (UINT)(last), nullptr, AFX_THUNK(self->fn(static_cast<CCmdUI*>(call.extra)); return TRUE;)},

// Control notifications through WM_COMMAND: void fn()
#define ON_CONTROL(code, id, fn) \
  {AfxEntry_Command, WM_COMMAND, (int)(code), (UINT)(id), (UINT)(id), nullptr, AFX_THUNK(self->fn(); return TRUE;)},
// void fn(UINT id)
#define ON_CONTROL_RANGE(code, first, last, fn) \
  {AfxEntry_Command, WM_COMMAND, (int)(code), (UINT)(first), (UINT)(last), nullptr, AFX_THUNK(self->fn(call.nID); return TRUE;)},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_SELENDOK(id, fn) ON_CONTROL(CBN_SELENDOK, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)

// Notifications through WM_NOTIFY: void fn(NMHDR* nmhdr, LRESULT* result)
#define ON_NOTIFY(code, id, fn)                                                          \
  {AfxEntry_Notify, WM_NOTIFY, (int)(code), (UINT)(id), (UINT)(id), nullptr,                   \
   AFX_THUNK(AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(call.extra); self->fn(n->pNMHDR, n->pResult); return TRUE;)},
// void fn(UINT id, NMHDR* nmhdr, LRESULT* result)
#define ON_NOTIFY_RANGE(code, first, last, fn)                                           \
  {AfxEntry_Notify, WM_NOTIFY, (int)(code), (UINT)(first), (UINT)(last), nullptr,              \
   AFX_THUNK(AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(call.extra); self->fn(call.nID, n->pNMHDR, n->pResult); return TRUE;)},
// BOOL fn(UINT id, NMHDR* nmhdr, LRESULT* result): FALSE lets the notification go on.
#define ON_NOTIFY_EX(code, id, fn)                                                       \
  {AfxEntry_NotifyEx, WM_NOTIFY, (int)(code), (UINT)(id), (UINT)(id), nullptr,                 \
   AFX_THUNK(AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(call.extra); return self->fn(call.nID, n->pNMHDR, n->pResult);)},

// --- Plain and registered messages -------------------------------------------------------------

// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(message, fn) \
  {AfxEntry_Message, (UINT)(message), 0, 0, 0, nullptr, AFX_THUNK(return self->fn(call.wParam, call.lParam);)},
// LRESULT fn(WPARAM, LPARAM) for the message whose id is held in the UINT variable idVariable;
// the variable is read each time a message is dispatched (it may be set after start-up).
#define ON_REGISTERED_MESSAGE(idVariable, fn) \
  {AfxEntry_Registered, 0, 0, 0, 0, &(idVariable), AFX_THUNK(return self->fn(call.wParam, call.lParam);)},

// Filled by CCmdTarget::OnCmdMsg for CN_QUERY_HANDLER.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget = nullptr;
};

// The root of everything that receives commands: windows, documents, the application.
class CCmdTarget {
 public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // Routes a command (CN_COMMAND or a control notification), an update-UI request
  // (CN_UPDATE_COMMAND_UI, pExtra = CCmdUI*), a handler query (CN_QUERY_HANDLER,
  // pExtra = AFX_CMDHANDLERINFO* or null) or a notification (AfxNotifyCode(code),
  // pExtra = AFX_NOTIFY*) to this target's map. Windows, frames and views extend the route
  // (view -> document -> frame -> application). Returns TRUE when handled.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra);

  // Finds the entry for a window message (plain or registered) in this target's map chain.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;

  // Wait cursor while a long operation runs (nested calls count).
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

  // Looks for a command-type entry in this target's own map chain and runs it.
  BOOL DispatchCmdMsg(UINT nID, int nCode, void* pExtra);
};

// How many wait cursors are open on this thread (BeginWaitCursor and CWaitCursor count
// together); 0 when none is. Windows that set their own pointer keep the wait cursor while it is
// above 0.
LONG AfxGetWaitCursorCount();

// Shows the wait cursor for its lifetime.
class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore();
};

// The state of one command's user interface (a menu item, a toolbar button, a control) while
// its update handler runs. Control bars derive their own kinds later.
class CCmdUI {
 public:
  CCmdUI() = default;
  virtual ~CCmdUI() = default;

  UINT m_nID = 0;
  UINT m_nIndex = 0;          // position of the item in m_pMenu
  CMenu* m_pMenu = nullptr;   // the popup holding the item (menu items only)
  CMenu* m_pSubMenu = nullptr;  // the popup opened by the item (popup items only)
  CWnd* m_pOther = nullptr;   // the control showing the command (controls, bars)
  UINT m_nIndexMax = 0;       // number of items in m_pMenu; update handlers that insert or
                              // delete items (the recent-file list) keep it current
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);  // 0 clear, 1 checked, 2 indeterminate
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCSTR lpszText);

  // Lets the update request go on to the next target in the route.
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Asks target for the command's state. With bDisableIfNoHandler, a command that no target
  // handles is disabled. Returns TRUE when an update handler ran.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler = FALSE);
};
