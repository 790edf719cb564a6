// The life of the process: start-up phase 1, login, phase 2, the main frame
// and its message loop, and the release of what start-up acquired.
#pragma once
#include "app/shell/main_param.h"

// The whole process entry and exit over the one parameter block g_ZTMain.
// Returns 0 after a normal end or when the user left; 1 when start-up
// failed (its box named the cause) or the main frame could not be made.
int Kelmora_Main(HINSTANCE hInst);

// Starts "自动更新.exe" from the folder of the running program; its result
// is not examined.  TRUE when a process was started.
BOOL Entry_StartUpdater();

// The updater's file name beside the program.
#define ZT_UPDATER_NAME "自动更新.exe"
