#include "tests/startup/startup_support.h"
#include "app/shell/input_controls.h"
#include "cipher/cipher.h"
#include "cipher/password.h"
#include "common/zt_box.h"

#include <cstring>

StaffDb Staff_Open(const char* dbName)
{
    StaffDb s;
    memset(&s, 0, sizeof s);
    tagZT_SQL_MATION* m = TestDb_Open(dbName);
    if (!m)
        return s;
    TestDb_Exec("insert into t_branch (szNum, szBr, szHou_PF, szCli_PF) values ('002', '二部', 'EF', 'EK')");
    s.iBr2 = atoi(TestDb_Scalar("select iOrdinal from t_branch where szBr = '二部'").c_str());
    auto add = [&](const char* num, const char* name, const char* pwd, int br) {
        TestDb_Exec(std::string("insert into t_employee (szNum, szEmp, szPwd, iBr, iPst) values ('") + num + "', '" + name +
                    "', '" + St_Stored(pwd) + "', " + std::to_string(br) + ", 3)");
        return atoi(TestDb_Scalar("select max(iOrdinal) from t_employee").c_str());
    };
    // Inserted out of list order on purpose.
    s.iZhang = add("0003", "张三", "zhangsan", 1);
    s.iWang = add("0002", "王五", "wangwu88", s.iBr2);
    s.iLisi = add("0002", "李四", "lisi2024", 1);
    s.iZhao = add("0001", "赵六", "zhaoliu1", s.iBr2);
    for (int key : {s.iWang, s.iLisi, s.iZhao})
        TestDb_Exec("insert into t_popedom (iEmp, iPst, szValue, iCliReadRecordMax, iHouReadRecordMax) values (" +
                    std::to_string(key) + ", 0, '', 7, 9)");
    return s;
}

void St_Init()
{
    Ui_Init();
    ZT_SetMessageBoxHookLocal(TestBoxes_Hook());
    g_ZTMain.hInst = GetModuleHandleA(nullptr);
}

void St_LoadLists(tagZT_Main_Param* p)
{
    p->hInst = GetModuleHandleA(nullptr);
    p->pBrList = nullptr;
    p->pEmpList = nullptr;
    int n = 0;
    p->pBrList = FD_Sct_BrList(&p->pBrList, &n, 0);
    p->nBr = n;
    p->pEmpList = FD_Sct_EmpList(&p->pEmpList, &n, 0);
    p->nEmp = n;
    // The spare slots start-up leaves behind the rows.
    p->nBrSpare = p->pBrList ? ZT_SPARE_SLOTS : 0;
    p->nEmpSpare = p->pEmpList ? ZT_SPARE_SLOTS : 0;
}

namespace {

struct DriverArg {
    const std::function<void(DWORD)>* fn;
    DWORD tid;
};

DWORD WINAPI DriverMain(LPVOID pv)
{
    DriverArg* a = static_cast<DriverArg*>(pv);
    (*a->fn)(a->tid);
    return 0;
}

}  // namespace

INT_PTR St_WithDriver(const std::function<INT_PTR()>& modal, const std::function<void(DWORD)>& driver)
{
    DriverArg a = {&driver, GetCurrentThreadId()};
    HANDLE h = CreateThread(nullptr, 0, DriverMain, &a, 0, nullptr);
    EXPECT_NE(h, nullptr);
    INT_PTR r = modal();
    if (h) {
        // The driver ends on its own once the dialog is gone.
        while (MsgWaitForMultipleObjects(1, &h, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
        CloseHandle(h);
    }
    return r;
}

HWND St_WaitWindow(DWORD tid, const char* cls, const char* caption, int ms)
{
    DWORD end = GetTickCount() + ms;
    do {
        if (HWND found = Ui_ThreadWindow(cls, caption, tid))
            return found;
        Sleep(20);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return nullptr;
}

bool St_WaitGone(HWND hwnd, int ms)
{
    return St_WaitFor([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, ms);
}

bool St_WaitFor(const std::function<bool()>& pred, int ms)
{
    DWORD end = GetTickCount() + ms;
    do {
        if (pred())
            return true;
        Sleep(20);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return pred();
}

HWND St_Focus(DWORD tid)
{
    GUITHREADINFO gi;
    memset(&gi, 0, sizeof gi);
    gi.cbSize = sizeof gi;
    GetGUIThreadInfo(tid, &gi);
    return gi.hwndFocus;
}

void St_Type(HWND target, const char* s)
{
    std::string want = Ui_Text(target) + s;
    Ui_Type(target, s);
    EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(target) == want; })) << "typed \"" << s << "\" did not arrive";
}

void St_Click(HWND hButton)
{
    PostMessageA(hButton, BM_CLICK, 0, 0);
    Sleep(150);
}

std::string St_Stored(const char* plain)
{
    char buf[256];
    memset(buf, 0, sizeof buf);
    strncpy(buf, plain, 120);
    CipherPwd(".", buf, CIPHER_ENCODE);
    return buf;
}

bool St_StoredIs(const std::string& stored, const char* plain)
{
    return stored == St_Stored(plain) || Pwd_Verify(plain, stored.c_str()) == 1;
}

void St_WriteConfig(bool initialize, int port)
{
    tagZT_SQL_MATION* s = TestDb_Settings();
    if (port == 0)
        port = s->iPort;
    std::string text = "[SOFT]\r\n";
    if (initialize)
        text += "INITIALIZE=1\r\n";
    text += "REMIND1=3\r\nREMIND2=7\r\n[SERVER]\r\nUID=" + std::string(s->szUser) + "\r\nPWD=" + s->szPwd +
            "\r\nDATABASE=" + s->szDatabase + "\r\nCHARSET=gbk\r\nPORT=" + std::to_string(port) +
            "\r\nREAD_TIMEOUT=30\r\nWRITE_TIMEOUT=30\r\nCONNECT_TIMEOUT=3\r\n";
    HANDLE h = CreateFileA("config.ini", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(h);
}
