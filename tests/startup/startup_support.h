// Shared pieces of the start-up tests: a test database with two branches
// and their staff, a driver thread that works a modal dialog of the test's
// own thread, and finding this process's dialogs.
#pragma once
#include "tests/controls/ui_driver.h"
#include "app/shell/main_param.h"

#include <functional>
#include <string>

// Employees of the fixture database, in the order of the employee list.
//   总店 (key 1): 管理员 (key 1, "482913"), 李四 ("lisi2024"), 张三 (no row of rights)
//   二部:          赵六, 王五 ("wangwu88")
struct StaffDb {
    int iBr2;       // key of 二部
    int iLisi, iZhang, iZhao, iWang;
};
// Opens (re-creates) the database and adds the staff above.
StaffDb Staff_Open(const char* dbName);

// Box hooks of the program, the registered controls, g_ZTMain.hInst.
void St_Init();
// Tests on that database: St_Init() and the staff above for each test.
class StaffTest : public testing::Test {
protected:
    StaffDb staff;
    void OpenStaff(const char* dbName)
    {
        St_Init();
        staff = Staff_Open(dbName);
        ASSERT_GT(staff.iBr2, 0);
    }
};
// A block with the branch and employee lists loaded from the database.
void St_LoadLists(tagZT_Main_Param* p);

// Runs modal() on this thread while driver(tid of this thread) runs on a
// thread of its own (CreateThread).  Returns modal()'s result.
INT_PTR St_WithDriver(const std::function<INT_PTR()>& modal, const std::function<void(DWORD)>& driver);

// A visible window of thread tid whose caption is caption (class any,
// caption null: any dialog), waited for up to ms milliseconds.
HWND St_WaitWindow(DWORD tid, const char* cls, const char* caption, int ms = 5000);
// Waits until the window is gone (up to ms).
bool St_WaitGone(HWND hwnd, int ms = 5000);
// Waits until pred() holds (up to ms).
bool St_WaitFor(const std::function<bool()>& pred, int ms = 3000);
// The window with the keyboard focus on thread tid.
HWND St_Focus(DWORD tid);
// Types letters and digits into a control of another thread and waits
// until they have all arrived (the keys are posted: a button clicked
// before would act on a shorter text).
void St_Type(HWND target, const char* lowerCaseLettersOrDigits);
// Clicks a button as the dialog manager would on a mouse click.
void St_Click(HWND hButton);
// The enciphered form of a password as stored.
std::string St_Stored(const char* plain);
// Whether a stored password (a hash, or enciphered the older way) is plain.
bool St_StoredIs(const std::string& stored, const char* plain);

// Writes config.ini into the current directory for the current test
// database; initialize false leaves out the first-run flag, port 0 takes
// the test server's port.
void St_WriteConfig(bool initialize, int port = 0);
