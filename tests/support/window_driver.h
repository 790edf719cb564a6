// Driving the program's windows as a user drives them, inside a main frame:
// a module opened from the main menu and waited for, rows of its grid picked
// and clicked, boxes typed into, a tree clicked, a modal dialog worked from
// a thread of its own while the window thread sits in it, the message boxes
// answered through the recorder, and a fixture for the tests that run on
// the demo data set logged in as the administrator.  (The input itself is
// tests/controls/ui_driver.h: mouse, keys, pictures of the screen.)
#pragma once
#include "tests/frame/shell_fixture.h"
#include "tests/support/db_fixture.h"
#include "tests/support/grid_rows.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/resources/resource.h"

#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

// ---- Waiting -------------------------------------------------------------------------

// Waits until the window's workers and the busy dialog are done.
void Wd_Settle(ZT_MODWIN* w);

// ---- Module windows --------------------------------------------------------------------

// Opens a module window with its main-menu command and waits until its
// first load is done; the window (null: none came).
HWND Wd_Open(HWND hFrame, int cmd, const char* cls);
// Chooses an item of the main menu's popup at pos with the mouse (a
// maximised child puts its window menu first in the bar); whether the
// item was clicked.
bool Wd_ChooseMenu(HWND hFrame, int pos, int cmd);
// The position in the frame's menu bar of the popup that holds a command
// (-1: none), and a mouse click on the item cmd of the popup at that
// position of the bar; whether the item was clicked.
int Wd_MenuPos(HWND hFrame, UINT holding);
bool Wd_ClickMenuAt(HWND hFrame, int barPos, UINT cmd);

// Expects the window's grid to list n rows and its count box to say so.
void Wd_ExpectListed(ZT_MODWIN* w, long long n);
// Chooses cmd from the drop-down menu (the popup of the context menus at
// popupPos) of a toolbar button of the window, clicked on its arrow, and
// waits for what it starts; whether the item was clicked.
bool Wd_ChooseDropDown(ZT_MODWIN* w, int button, int popupPos, int cmd);
// Sends the window a command (as its menu does) with the answer queued for
// the question it asks, and lets it run.
void Wd_CommandAnswered(HWND hwnd, int cmd, int answer);
// The same, the recorder reset first, waiting for what the command starts.
void Wd_RunAnswered(ZT_MODWIN* w, int cmd, int answer);
// Clicks a toolbar button of the window with the answer queued for the
// question it asks, and waits for what it starts.
void Wd_ButtonAnswered(ZT_MODWIN* w, int button, int answer);

// ---- The mouse -------------------------------------------------------------------------

// A click (twice: a double click) whose button goes down and up in one
// go, at a point of the screen: a tree follows the button in a loop of
// its own, and what a click starts may run a busy dialog inside it.
void Wd_Click(POINT pt, bool twice = false, bool right = false);
// A click at the centre of a control.
void Wd_ClickControl(HWND h);

// ---- The grid --------------------------------------------------------------------------

// The screen point of the grid's row (0 is the top row on screen).
POINT Wd_RowPoint(HWND hGrid, int row);
// Clicks the grid's row with the mouse, twice for a double click.
void Wd_ClickRow(HWND hGrid, int row, bool twice = false);
// Moves the selection from the first row down, as the arrow keys do,
// until the selected record is one pred accepts; that record, or null.
const void* Wd_SelectWhere(HWND hGrid, const std::function<bool(const void*)>& pred);
template <class T, class Pred> T* Wd_Select(HWND hGrid, Pred pred)
{
    return static_cast<T*>(const_cast<void*>(
        Wd_SelectWhere(hGrid, [&](const void* r) { return pred(static_cast<const T*>(r)); })));
}
// The text a cell shows (column c, 0-based, of the table's columns);
// "<no row>" when the grid does not list the record.
std::string Wd_Cell(HWND hGrid, const void* rec, int c);

// ---- The tree --------------------------------------------------------------------------

std::string Wd_TreeText(HWND hTree, HTREEITEM h);
// The item with that text (depth first), or null.
HTREEITEM Wd_TreeItem(HWND hTree, const char* text);
// Clicks an item with the mouse (left or right button).
void Wd_ClickTree(HWND hTree, HTREEITEM h, bool right = false);

// Waits (up to ms) until a grid lists n rows; whether it does.
bool Wd_WaitRows(HWND hGrid, long long n, int ms = 2000);

// ---- Boxes and dialogs -------------------------------------------------------------------

// Expects exactly one message box since the reset, whose text names part
// (a box's name in a refusal), and resets the recorder.
void Wd_ExpectBoxNaming(const std::string& part);

// A double click on the selected row of a module window's grid, as the
// grid reports it to the window.
void Wd_GridDoubleClick(ZT_MODWIN* w);

// Replaces the text of an edit of another thread as typed (a double-byte
// character as the input method hands it over) and waits until it arrived.
void Wd_Type(HWND hEdit, const std::string& text);
// How many message boxes with that text were shown since the last reset.
size_t Wd_Boxes(const std::string& text);
// Runs start() on this thread (a click or a command that opens a modal
// dialog) while driver(tid of this thread) works the dialog from a thread
// of its own.  Returns once the driver is done and this thread is back
// from the dialog; a driver that stopped early leaves no dialog open.
void Wd_Drive(const std::function<void()>& start, const std::function<void(DWORD tid)>& driver);

// Runs start() on this thread (a command that opens a modal dialog) while
// driver works the dialog of that caption from a thread of its own; a
// driver that stopped early leaves no dialog behind.
void Wd_DriveDialog(const std::function<void()>& start, const char* caption, const std::function<void(HWND)>& driver);

// Counts the dialogs ("#32770") this thread creates while it lives.
class DialogCounter {
public:
    DialogCounter();
    ~DialogCounter();
    int Made() const;
};

// The logged-in user's rights as the grant page's permission text gives
// them (two characters a right).
void Wd_Grant(const char* codes);

// ---- The fixture -------------------------------------------------------------------------

// Tests of the windows on the demo data set: the suite's own database with
// the demo data, the shell as start-up leaves it after the administrator's
// login (every right, the grid's boxes through the recorder), and a main
// frame for each test.  A suite names its database:
//   static void SetUpTestSuite() { OpenDemo("kelmora_..."); }
// (or OpenWithModule for a module of its own).
class DemoWindowTest : public testing::Test {
protected:
    HWND frame = nullptr;
    static void OpenDemo(const char* dbName)
    {
        DbFix_OpenDemo(dbName);
        Shell_LoginAdministrator();
    }
    // A suite of a module of the test's own, on a database with the schema
    // and its seed rows only.
    static void OpenWithModule(const char* dbName, const ZT_MODULE_DESC* d)
    {
        ASSERT_NE(TestDb_Open(dbName), nullptr);
        Module_Register(d);
        Shell_Setup();
        ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override
    {
        Shell_Setup();
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override { Shell_DestroyFrame(frame); }
    HWND Open(int cmd, const char* cls) const { return Wd_Open(frame, cmd, cls); }
};

// Tests of a module of their own (OpenWithModule) with the administrator
// (key 1 of 总店) logged in for each test and logged out after it.
class ModuleWindowTest : public DemoWindowTest {
protected:
    void SetUp() override
    {
        static tagEMPLIST admin = {1, 1, "管理员"};
        g_ZTMain.pLoginEmp = &admin;
        DemoWindowTest::SetUp();
    }
    void TearDown() override
    {
        DemoWindowTest::TearDown();
        g_ZTMain.pLoginEmp = nullptr;
    }
};

// Tests of controls on a host window of their own (Ui_CreateHost), made
// afresh for each test at the place and size the suite names, its
// recorded events cleared.
class ControlHostTest : public testing::Test {
protected:
    HWND host = nullptr;
    ControlHostTest(int x, int y, int w, int h) : x_(x), y_(y), w_(w), h_(h) {}
    void SetUp() override
    {
        Ui_Init();
        host = Ui_CreateHost(x_, y_, w_, h_);
        Ui_ClearEvents();
    }
    void TearDown() override
    {
        DestroyWindow(host);
        Ui_Pump(30);
    }
    // A child's rectangle in the host's client coordinates.
    RECT InHost(HWND child) const
    {
        RECT rc = Ui_WindowRect(child);
        MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

private:
    int x_, y_, w_, h_;
};
