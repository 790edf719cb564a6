// Driving the dictionary windows (areas, parameters) as a user drives them:
// a modal dialog worked from a thread of its own while the window thread
// sits in it, typing, clicks on the tree and the grid, and reading back.
#pragma once
#include "tests/support/window_driver.h"
#include "tests/startup/startup_support.h"
#include "app/shell/module.h"

#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

// The visible dialog of thread tid with that caption, waited for (null: none came).
HWND Dict_Dialog(DWORD tid, const char* caption);
// Runs start() on this thread while driver works the dialog of that
// caption (a failed check when none comes) from a thread of its own; then
// waits until the window is done.
void Dict_DriveDialog(ZT_MODWIN* w, const std::function<void()>& start, const char* caption,
                      const std::function<void(HWND)>& driver);
// Clicks a button of a dialog; whether the dialog was gone within ms.
bool Dict_Press(HWND hDlg, int id, int ms = 5000);

// The texts of the children of h (null: the top level); the selected
// item's text.
std::vector<std::string> Dict_TreeChildren(HWND hTree, HTREEITEM h);
std::string Dict_TreeSelected(HWND hTree);
// Clicks an item with the mouse (left or right button) and waits until the
// window has followed.
void Dict_ClickTree(ZT_MODWIN* w, HTREEITEM h, bool right = false);
// The records the grid lists, top to bottom (the selection ends on the last).
std::vector<void*> Dict_GridRecords(HWND hGrid);
// A frame and a module window a test drives in it: found by its class once
// its first load is done, its tree items by text, its commands sent as a
// menu sends them.
struct DictWindow {
    HWND frame = nullptr;
    HWND hwnd = nullptr;
    ZT_MODWIN* w = nullptr;
    bool Wait(const char* cls);                 // opened by the test (a menu clicked)
    bool Open(int cmd, const char* cls);        // opened from its main-menu command
    HTREEITEM Item(const char* text) const { return Wd_TreeItem(w->hTree, text); }
    void Command(int cmd) const;
};
