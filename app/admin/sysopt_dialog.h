// The system options dialog (170): the agency's data-entry rules on the page
// "权限管理" (171) and the display rules on "显示规则" (172), shown from the
// options loaded at login (tagZT_Main_Param::sys).  Saving stores them as a
// new active row on a worker behind the busy dialog and takes them at once
// on this workstation (the house and client dialogs read them when they
// open); others see them at their next login.  Unchanged options store
// nothing.  Run by the frame's command 40189 (Frame_SetOptionsDialog).
#pragma once
#include "app/shell/main_param.h"

// Runs the dialog over hOwner: IDOK when options were saved, IDCANCEL
// otherwise.
INT_PTR SysOpt_Run(HWND hOwner, tagZT_Main_Param* p);
