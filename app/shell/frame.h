// The main frame "ZT_MDIMAIN": an MDI frame whose client holds at most one
// child window of each module, its command table, and the shared building
// blocks every module window uses (toolbar, grid, tree, splitters, context
// menus, delete confirmation, the "数据查询...." busy dialog).
#pragma once
#include "app/shell/main_param.h"

#define ZT_CLASS_MAINFRAME "ZT_MDIMAIN"

// Module window classes.
#define ZT_CLASS_CHILD_URBAN    "ZT_CHILD_URBAN"    // area management
#define ZT_CLASS_CHILD_ARGC     "ZT_CHILD_ARGC"     // parameter dictionary
#define ZT_CLASS_CHILD_EST      "ZT_CHILD_EST"      // estate dictionary
#define ZT_CLASS_CHILD_HOU      "ZT_CHILD_HOU"      // house list
#define ZT_CLASS_CHILD_HOU_F    "ZT_CHILD_HOU_F"    // house follow-ups
#define ZT_CLASS_CHILD_CLI      "ZT_CHILD_CLI"      // client list
#define ZT_CLASS_CHILD_CLI_F    "ZT_CHILD_CLI_F"    // client follow-ups
#define ZT_CLASS_CHILD_EMP      "ZT_CHILD_EMP"      // organisation
#define ZT_CLASS_CHILD_LOG      "ZT_CHILD_LOG"      // operation log
#define ZT_CLASS_CHILD_RECY     "ZT_CHILD_RECY"     // recycle bin

// Control id of the MDI client and the id of the first MDI child (the
// window menu lists the children from there).
#define ZT_FRAME_CLIENT_ID      2
#define ZT_FRAME_FIRST_CHILD    10000
// The frame's timer: the reminder check, first after a second, then every
// five minutes (Frame_SetReminderIntervals changes both).  Main-menu
// "自动提醒" (40228) is checked while the checks run and toggles them.
#define ZT_FRAME_TIMER          1
#define ZT_REMIND_FIRST_MS      1000
#define ZT_REMIND_EVERY_MS      300000
// Smallest client area; a smaller one snaps the frame to this size.
#define ZT_FRAME_MIN_SIZE       400

// Registers the frame's class and the module child classes ("ZT_CHILD_...").
BOOL RegisterShellClasses(HINSTANCE hInst);

// The frame and its MDI client (null before creation / after destruction).
HWND Frame_Window();
HWND Frame_MDIClient();

// Opens or activates the module window of a main-menu command (40006,
// 40045, 40067, ...).  Returns the child, or null when none opened.
HWND Frame_OpenModule(tagZT_Main_Param* p, int iCommand);

// Creates a module window: an MDI child of the class over the MDI client,
// captioned with string iCaptionId, maximised, with the parameter block as
// its creation parameter (MDICREATESTRUCT lParam).  cx / cy give the
// restored size (CW_USEDEFAULT for the default).  Null when the frame is
// not there or creation failed.
HWND Frame_CreateChild(tagZT_Main_Param* p, const char* pszClass, int iCaptionId, int cx, int cy);

// Called by a module window when it is activated or destroyed: the
// frame's caption follows the active child.
void Frame_ChildChanged();

// The module window of a class among the MDI client's children, or null.
HWND Frame_FindChild(const char* pszClass);

// The reminder check the timer starts on a thread of its own with the
// parameter block.  Null (the default) runs none.  Returns the previous one.
ZT_BUSY_PROC Frame_SetReminderCheck(ZT_BUSY_PROC pfnCheck);

// The reminder timer's intervals: the first check after firstMs, then one
// every everyMs (0 restores the default, 1 s and 5 min).  Read when the
// frame is created and whenever the timer is set again.
void Frame_SetReminderIntervals(UINT firstMs, UINT everyMs);

// The system options dialog (170): command 40189 runs it over the MDI
// client, for a user who may open it, only when it is set and the template
// exists.  Returns the previous one.
typedef INT_PTR (*ZT_DIALOG_RUNNER)(HWND hOwner, tagZT_Main_Param* p);
ZT_DIALOG_RUNNER Frame_SetOptionsDialog(ZT_DIALOG_RUNNER pfnRun);
