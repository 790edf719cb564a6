// The main frame "ZT_MDIMAIN": an MDI frame whose client holds at most one
// child window of each module, its command table, and the shared building
// blocks every module window uses (toolbar, grid, tree, splitters, context
// menus, delete confirmation, the "数据查询...." busy dialog).
#pragma once
#include "app/shell/main_param.h"

#define ZT_CLASS_MAINFRAME "ZT_MDIMAIN"

// Registers the frame's class and the module child classes ("ZT_CHILD_...").
BOOL RegisterShellClasses(HINSTANCE hInst);

// The frame and its MDI client (null before creation / after destruction).
HWND Frame_Window();
HWND Frame_MDIClient();

// Opens or activates the module window of a main-menu command (40006,
// 40045, 40067, ...).  Returns the child, or null when none opened.
HWND Frame_OpenModule(tagZT_Main_Param* p, int iCommand);
