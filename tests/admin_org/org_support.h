// Shared pieces of the organisation tests: the demo database with the
// administrator logged in, the frame and the organisation window, a driver
// thread that works the modal dialogs a click opens, and readers of the
// tree, the grid and the grant page.
#pragma once
#include "tests/support/window_driver.h"
#include "tests/startup/startup_support.h"
#include "app/admin/org_window.h"

#include <functional>
#include <string>

// A fresh database of that name with the demo data, the caches and the
// administrator's rights as start-up leaves them after his login, the box
// recorder installed everywhere.
void Org_OpenDemo(const char* dbName);
// The main frame, large enough for the whole grant page.
HWND Org_CreateFrame();
// Opens the organisation window with the main-menu command and waits until
// its tree and first branch are loaded.
HWND Org_Open(HWND hFrame);
// Waits until the window's worker is done and its count box is set.
void Org_WaitIdle(HWND hOrg);
ORG_WINDOW* Org_State(HWND hOrg);

// The visible dialog of thread tid with that caption (waited for).
HWND Org_Dialog(DWORD tid, const char* caption);
// The child dialog of hDlg that holds control id (a page), or hDlg.
HWND Org_PageWith(HWND hDlg, int id);
// Sets a box's text as a paste would (the box gets WM_SETTEXT).
void Org_SetText(HWND hDlg, int id, const char* text);
// Chooses the item of a drop-down box with that text; FALSE when absent.
BOOL Org_Choose(HWND hDlg, int id, const char* text);

// A mouse click on a tree item; the window has followed on return.
void Org_ClickTreeItem(HWND hTree, HTREEITEM h);
// Selects the grid row of the employee with that name by clicking it;
// FALSE when no row shows that name.
BOOL Org_ClickEmployee(HWND hOrg, const char* name);

// The grant page's box of a right, and whether it is ticked.
HWND Org_Box(HWND hOrg, int id);
bool Org_Ticked(HWND hOrg, int id);

// The deciphered permission value stored for an employee.
std::string Org_StoredValue(int iEmp);
// Nothing of the plain text is in the error log, the operation log or a box
// shown since the last reset.
void Org_ExpectNowhere(const std::string& plain);
