// The program shell as start-up leaves it: the parameter block filled from
// the test program's resources, every window class registered, and a main
// frame created the way the entry creates it.
#pragma once
#include "tests/controls/ui_driver.h"
#include "app/shell/main_param.h"

#include <string>

// Fills g_ZTMain (instance, menus 107 and 120, toolbar bitmap, icon, grid
// cursor, product name and version, every permission word set) and
// registers the classes, once.  Menus are reloaded on every call: a frame
// destroys its menu with it.
void Shell_Setup();
// Logs the shell in as the administrator (key 1) of the database ZTData is
// connected to, the way start-up does: the branch and employee lists, the
// caches of phase 2, every right, the module classes, and the grid's
// message boxes through the test recorder.
void Shell_LoginAdministrator();
// Logs the shell in as the demo employee of that name with his own rights,
// as start-up does after his login (phase 2 reads his permission row); the
// context menus loaded afresh, so that their greying is his.
void Shell_LoginAs(const char* pszEmp);
// The main frame: class "ZT_MDIMAIN", the product name as caption, the
// main menu, shown normal at (20, 20) 900 x 640.
HWND Shell_CreateFrame();
// Destroys the frame when it still exists and swallows its WM_QUIT.
void Shell_DestroyFrame(HWND hFrame);

// MDI children of the frame's client, optionally only those of one class.
int Shell_ChildCount(const char* cls = nullptr);
std::string Shell_Class(HWND hwnd);
void Shell_Command(HWND hFrame, int id, WPARAM hiword = 0, LPARAM lParam = 0);

// ---- Module windows ----------------------------------------------------------------

// Rows a grid shows (loaded and appended, deleted ones not counted).
int Shell_GridRows(HWND hGrid);
// The text of the record count box of a module window's toolbar.
std::string Shell_CountBox(HWND hModule);
// Screen rectangle of a toolbar button of a module window, by command.
RECT Shell_ButtonRect(HWND hModule, int cmd);
// Clicks that button with the mouse.
void Shell_ClickButton(HWND hModule, int cmd);

// A second grid of a module window lying exactly over the window's own
// (same size and place), hidden: a benchmark fills it by hand, so that both
// fills end with the same grid painted on the same screen area.
HWND Shell_TwinGrid(HWND hModule, HWND hGrid);
// Shows one of two grids lying on each other, hides the other and lets the
// window paint, so that the next fill paints a visible grid.
void Shell_ShowOnly(HWND hOn, HWND hOff);
