// Start-up behind the progress dialog (111): a worker thread runs phase 1
// (resources, skin, config.ini, the connection, branch and employee lists)
// before login and phase 2 (system options, permissions, shared caches)
// after it.  The logged-in branch of the block selects the phase.
#pragma once
#include "app/shell/main_param.h"
#include "outside/popedom/ZTPopedom.h"

// Runs the progress dialog over the block for the phase the block is in.
// 1 when the phase succeeded, 0 when it failed or the user gave up.
INT_PTR Startup_RunPhase(tagZT_Main_Param* p);
// The process's exit code after the last phase ended with 0: 1 when it
// failed (its box named the cause), 0 when the user chose to leave.
int Startup_ExitCode();

// Progress dialog procedure; lParam of WM_INITDIALOG is the block.
INT_PTR CALLBACK ProgressDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- The steps of the worker (hDlg may be null: no progress texts) ---------------

// Phase 1 in full.  1 connected and lists loaded; 0 when config.ini cannot
// be used or the connection failed (a box captioned "错误" has named the
// cause: "数据库连接出错" followed by why the server named by host and port
// could not be reached or refused, and where the error log lies), or the
// user chose to leave.  The
// phases run as steps; leaving (Cancel, then Yes) is honoured between them,
// so a step in flight, a connection attempt included, ends or times out
// first, and the progress dialog ends with 0 once the worker reports back.
int Startup_Phase1(tagZT_Main_Param* p, HWND hDlg);
// Loads the resources of the block: lock, icon, menus, cursor, toolbar
// bitmap, program folder, product name and version.
void Startup_LoadResources(tagZT_Main_Param* p);
// The branch and employee lists (live records).  A list that could not be
// loaded is left null with count 0.
void Startup_LoadLists(tagZT_Main_Param* p);
// Phase 2 in full; 1, or 0 when the user chose to leave.
int Startup_Phase2(tagZT_Main_Param* p, HWND hDlg);
// The user's permission row: text into *pText (zeroed first), read limits
// into the block (0 when there is no own row), then the permission words.
void Startup_LoadRights(tagZT_Main_Param* p, tagPOPEDOM* pText);

// The skin library, loaded by name; nothing it returns is relied on.
void Skin_Start(HINSTANCE hInst);
void Skin_End();

// Releases what phase 1 acquired (icon, cursor, menus, bitmap, lock).
void Startup_Release(tagZT_Main_Param* p);
