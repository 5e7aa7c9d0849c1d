// The application framework of Lumatre: a thin layer over Win32 with message maps, command
// routing, frames (also MDI) with docking control bars, dialogs with data exchange, common-control
// wrappers, profile settings and the recent-file list. Include this one header.
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
#include "ImageList.h"
#include "ControlBar.h"
#include "MiniDockFrameWnd.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "TabCtrl.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "MessageBox.h"
#include "RecentFileList.h"
