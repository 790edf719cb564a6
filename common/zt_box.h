// Every message box a module shows goes through ZT_MessageBox.  A test (or
// any host) can install a hook that sees the owner, text, caption and flags
// and returns the answer (IDOK, IDYES, ...) instead of a box appearing.
// Each module carries its own copy of this seam and exports a setter for it
// (ZTData_SetMessageBoxHook, ZTListview_SetMessageBoxHook, ...).
#pragma once
#include "common/platform.h"

typedef int (*ZT_MSGBOX_HOOK)(HWND hOwner, const char* pszText, const char* pszCaption, UINT uFlags);

// Shows a message box, or asks the installed hook; returns the button chosen.
int ZT_MessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uFlags);

// How many boxes this module's seam has shown (or its hook answered) on the
// calling thread so far.
long ZT_BoxesShown();

// Installs a hook (null restores real boxes); returns the previous one.
ZT_MSGBOX_HOOK ZT_SetMessageBoxHookLocal(ZT_MSGBOX_HOOK hook);
