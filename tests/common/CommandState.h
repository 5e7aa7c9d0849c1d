#pragma once
// The enabled and checked states a command's update handlers give it, as a menu or a toolbar
// would receive them: -1 where a handler said nothing.

#include "framework/CmdTarget.h"

struct CommandState : CCmdUI {
  int enabled = -1;
  int checked = -1;
  void Enable(BOOL bOn) override {
    enabled = bOn ? 1 : 0;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int nCheck) override { checked = nCheck; }
};
