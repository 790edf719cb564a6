// The client window and dialog tests: the demo data set, the shell as
// start-up leaves it (logged in as the administrator, every right) and a
// main frame for each test.
#pragma once
#include "tests/frame/shell_fixture.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"
#include "outside/popedom/ZTPopedom.h"

#include <cstring>
#include <string>

class ClientWindowTest : public testing::Test {
protected:
    HWND frame = nullptr;
    static void SetUpTestSuite()
    {
        TestDb_Open("kelmora_client_win");
        std::string err;
        ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
        Shell_Setup();
        tagZT_Main_Param* p = &g_ZTMain;
        Startup_LoadLists(p);
        p->pLoginEmp = static_cast<tagEMPLIST*>(FindEmp(p->pEmpList, nullptr, 1, nullptr, p->nEmp, sizeof(tagEMPLIST), 0));
        ASSERT_NE(p->pLoginEmp, nullptr);
        p->pLoginBr = static_cast<tagBRLIST*>(FindBr(p->pBrList, nullptr, p->pLoginEmp->iBr, nullptr, p->nBr,
                                                     sizeof(tagBRLIST)));
        ASSERT_EQ(Startup_Phase2(p, nullptr), 1);
        Shell_Setup();    // every right again
        ASSERT_TRUE(Module_RegisterClasses(p->hInst));
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

    static void ClickControl(HWND h)
    {
        POINT c = Ui_Centre(h);
        Ui_Click(c.x, c.y);
    }
    // Waits until the window's worker has finished a load.
    static void Settle(ZT_MODWIN* w)
    {
        Ui_Pump(100);
        for (int i = 0; i < 300 && (w->bBusy || g_ZTMain.hBusyDlg); i++)
            Ui_Pump(20);
        Ui_Pump(60);
    }
    // Live clients matching a condition.
    static long long Live(const std::string& where)
    {
        return TestDb_Count("t_client where bRecyle = 0" + (where.empty() ? "" : " and (" + where + ")"));
    }
    // Opens the client list from its main-menu command and waits for its load.
    static HWND OpenClient(HWND frame)
    {
        Shell_Command(frame, IDM_CLIENT);
        HWND hwnd = Frame_FindChild("ZT_CHILD_CLI");
        ZT_MODWIN* w = Module_Of(hwnd);
        Ui_Pump(100);
        for (int i = 0; w && i < 300 && (!w->bLoaded || w->bBusy || g_ZTMain.hBusyDlg); i++)
            Ui_Pump(20);
        Ui_Pump(60);
        return hwnd;
    }
    // The rights of the seeded salesman preset (own clients; telephones
    // viewable, but each look owes a follow-up) for the logged-in user.
    static void UseSalesmanRights()
    {
        char manager[512], salesman[512];
        memset(manager, 0, sizeof manager);
        memset(salesman, 0, sizeof salesman);
        ASSERT_EQ(1, FD_Sct_DefPD(manager, salesman, nullptr, nullptr, nullptr, nullptr, -1));
        tagPOPEDOM pd;
        memset(&pd, 0, sizeof pd);
        memcpy(pd.szValue, salesman, sizeof pd.szValue - 1);
        PD_Calc(&g_ZTMain, &pd);
    }
};
