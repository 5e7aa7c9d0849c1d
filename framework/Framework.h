// The application framework of Lumatre: a thin layer over Win32 with message maps, command
// routing, frames (also MDI), dialogs with data exchange, profile settings and the recent-file
// list. Include this one header.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "FrameworkRes.h"
#include "Handles.h"
#include "Geometry.h"
#include "Registry.h"
#include "CmdTarget.h"
#include "MessageMap.h"
#include "Menu.h"
#include "Wnd.h"
#include "WinApp.h"
#include "CommandLineInfo.h"
#include "FrameWnd.h"
#include "MDIChildWnd.h"
#include "MDIFrameWnd.h"
#include "Document.h"
#include "View.h"
#include "ScrollView.h"
#include "DocTemplate.h"
#include "DocManager.h"
#include "StatusBar.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "MessageBox.h"
#include "RecentFileList.h"
