// Driving the dictionary windows (areas, parameters) as a user drives them:
// a modal dialog worked from a thread of its own while the window thread
// sits in it, typing, clicks on the tree and the grid, and reading back.
#pragma once
#include "tests/frame/shell_fixture.h"
#include "tests/startup/startup_support.h"
#include "app/shell/module.h"

#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

// Runs start() on this thread (a click or a command that opens a modal
// dialog) while driver(tid of this thread) works the dialog from a thread
// of its own.  Returns once the driver is done and this thread is back
// from the dialog; a driver that stopped early leaves no dialog open.
void Dict_Drive(const std::function<void()>& start, const std::function<void(DWORD tid)>& driver);
// The visible dialog of thread tid with that caption, waited for (null: none came).
HWND Dict_Dialog(DWORD tid, const char* caption);
// Replaces the text of an edit of another thread as typed (a double-byte
// character as the input method hands it over) and waits until it arrived.
void Dict_Type(HWND hEdit, const std::string& text);
// Clicks a button of a dialog; whether the dialog was gone within ms.
bool Dict_Press(HWND hDlg, int id, int ms = 5000);

// The tree item with that text (depth first), or null; the texts of the
// children of h (null: the top level); the selected item's text.
HTREEITEM Dict_TreeItem(HWND hTree, const char* text);
std::vector<std::string> Dict_TreeChildren(HWND hTree, HTREEITEM h);
std::string Dict_TreeSelected(HWND hTree);
// Clicks an item with the mouse (left or right button); the window follows.
void Dict_ClickTree(ZT_MODWIN* w, HTREEITEM h, bool right = false);
// Clicks the grid's row (0 is the top row), twice for a double click.
void Dict_ClickRow(ZT_MODWIN* w, int row, bool twice = false);
// The records the grid lists, top to bottom (the selection ends on the last).
std::vector<void*> Dict_GridRecords(HWND hGrid);
// Waits until the window's worker and the busy dialog are done.
void Dict_Settle(ZT_MODWIN* w);
// How many boxes with that text were shown since the last reset.
size_t Dict_Boxes(const std::string& text);

// A frame and a module window a test drives in it: found by its class once
// its first load is done, its tree items by text, its commands sent as a
// menu sends them.
struct DictWindow {
    HWND frame = nullptr;
    HWND hwnd = nullptr;
    ZT_MODWIN* w = nullptr;
    bool Wait(const char* cls);                 // opened by the test (a menu clicked)
    bool Open(int cmd, const char* cls);        // opened from its main-menu command
    HTREEITEM Item(const char* text) const { return Dict_TreeItem(w->hTree, text); }
    void Command(int cmd) const;
};
