// Start-up phases: the loads after login, the user's rights, the progress
// dialog and its worker, leaving during start-up.
#include "tests/startup/startup_support.h"
#include "app/shell/startup.h"
#include "common/zt_box.h"
#include "db/dbtool.h"

#include <atomic>
#include <functional>
#include <cstring>
#include <memory>

namespace {

// Blocks are kept for the whole run: the data library keeps the address of
// the settings record of the last connection opened from one.
tagZT_Main_Param* NewBlock()
{
    tagZT_Main_Param* p = new tagZT_Main_Param();
    p->hInst = GetModuleHandleA(nullptr);
    return p;
}

struct PhaseTest : StaffTest {
    void SetUp() override
    {
        OpenStaff("st_phase");
        std::string err;
        ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
        TestBoxes_Reset();
    }
    tagZT_Main_Param* LoggedIn(int iEmp)
    {
        tagZT_Main_Param* p = NewBlock();
        St_LoadLists(p);
        p->pLoginEmp = static_cast<tagEMPLIST*>(FindEmp(p->pEmpList, nullptr, iEmp, nullptr, p->nEmp, sizeof(tagEMPLIST), 0));
        p->pLoginBr = static_cast<tagBRLIST*>(FindBr(p->pBrList, nullptr, p->pLoginEmp ? p->pLoginEmp->iBr : 0, nullptr,
                                                     p->nBr, sizeof(tagBRLIST)));
        return p;
    }
};

TEST_F(PhaseTest, AfterLoginTheCachesAreFilledWithRoomBehindEveryArea)
{
    tagZT_Main_Param* p = LoggedIn(1);
    ASSERT_NE(p->pLoginBr, nullptr);
    p->iCliReadMax = p->iHouReadMax = -5;
    EXPECT_EQ(Startup_Phase2(p, nullptr), 1);

    EXPECT_EQ(p->sys.iOrdinal, atoi(TestDb_Scalar("select iOrdinal from t_sys order by iOrdinal limit 1").c_str()));
    EXPECT_EQ(p->iCliReadMax, 999);
    EXPECT_EQ(p->iHouReadMax, 999);
    EXPECT_NE(p->W1, 0u) << "the administrator may see houses";

    EXPECT_GT(p->nArgcTag, 0);
    EXPECT_GT(p->nArgcName, 0);
    EXPECT_GT(p->nArgcValue, 0);

    ASSERT_NE(p->pCity, nullptr);
    EXPECT_EQ(p->pCityList, p->pCity);
    EXPECT_GT(p->nCity, 0);
    ASSERT_NE(p->pUrban, nullptr);
    ASSERT_NE(p->pDist, nullptr);
    ASSERT_NE(p->pEstList, nullptr);
    EXPECT_GT(p->nUrban, 0);
    EXPECT_GT(p->nDist, 0);
    EXPECT_GT(p->nEst, 0);
    EXPECT_EQ(p->nUrbanSpare, 101);
    EXPECT_EQ(p->nDistSpare, 101);
    EXPECT_EQ(p->nEstSpare, 101);
    // The spare records behind the rows are free slots.
    EXPECT_EQ(p->pUrban[p->nUrban].iOrdinal, 0);
    EXPECT_EQ(p->pUrban[p->nUrban + 100].iOrdinal, 0);
    EXPECT_EQ(p->pDist[p->nDist + 100].iOrdinal, 0);
    EXPECT_EQ(p->pEstList[p->nEst + 100].iOrdinal, 0);
}

TEST_F(PhaseTest, TheSpareCountersAre101AlsoWithoutAnyRows)
{
    TestDb_Exec("delete from t_district; delete from t_estate; delete from t_urban");
    tagZT_Main_Param* p = LoggedIn(1);
    EXPECT_EQ(Startup_Phase2(p, nullptr), 1);
    EXPECT_EQ(p->nCity, 0);
    EXPECT_EQ(p->nUrban, 0);
    EXPECT_EQ(p->nDist, 0);
    EXPECT_EQ(p->nEst, 0);
    EXPECT_EQ(p->nUrbanSpare, 101);
    EXPECT_EQ(p->nDistSpare, 101);
    EXPECT_EQ(p->nEstSpare, 101);
}

TEST_F(PhaseTest, RightsComeFromTheUsersOwnRowOnly)
{
    tagPOPEDOM text;
    tagZT_Main_Param* admin = LoggedIn(1);
    Startup_LoadRights(admin, &text);
    EXPECT_STREQ(text.szValue, kAllRightCodes);

    tagZT_Main_Param* wang = LoggedIn(staff.iWang);
    Startup_LoadRights(wang, &text);
    EXPECT_STREQ(text.szValue, "");
    EXPECT_EQ(wang->iCliReadMax, 7);
    EXPECT_EQ(wang->iHouReadMax, 9);

    // 张三 has no row of his own: not even the default row is taken.
    tagZT_Main_Param* zhang = LoggedIn(staff.iZhang);
    zhang->iCliReadMax = zhang->iHouReadMax = 55;
    memset(&text, 'x', sizeof text);
    Startup_LoadRights(zhang, &text);
    EXPECT_EQ(text.szValue[0], 0);
    EXPECT_EQ(zhang->iCliReadMax, 0);
    EXPECT_EQ(zhang->iHouReadMax, 0);
}

TEST_F(PhaseTest, TheProgressDialogEndsWithOneWhenTheWorkerIsDone)
{
    tagZT_Main_Param* p = LoggedIn(1);
    EXPECT_EQ(Startup_RunPhase(p), 1);
    EXPECT_EQ(p->nEstSpare, 101);
    EXPECT_EQ(p->hOwner, nullptr) << "the dialog is gone and owns nothing any more";
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(PhaseTest, PhaseOneConnectsFromConfigIniAndLoadsTheLists)
{
    St_WriteConfig(true);
    TestDb_Close();
    tagZT_Main_Param* p = NewBlock();
    EXPECT_EQ(Startup_RunPhase(p), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, cwd);
    EXPECT_STREQ(p->szAppDir, cwd);
    EXPECT_EQ(p->sql.pszAppDir, p->szAppDir);
    EXPECT_STREQ(p->sql.szHost, "127.0.0.1");
    EXPECT_EQ(p->bRemind1, 3);
    EXPECT_EQ(p->bRemind2, 7);
    EXPECT_NE(p->hMainMenu, nullptr);
    EXPECT_EQ(p->bLockReady, 1);
    EXPECT_GT(p->si.dwPageSize, 0u);
    ASSERT_EQ(p->nBr, TestDb_Count("t_branch where bRecyle = 0"));
    ASSERT_EQ(p->nEmp, TestDb_Count("t_employee where bRecyle = 0"));
    ASSERT_GE(p->nEmp, 5);
    EXPECT_STREQ(p->pBrList[0].szBr, "总店");
    EXPECT_STREQ(p->pEmpList[0].szEmp, "管理员");
    EXPECT_EQ(p->pLoginBr, nullptr);
    Startup_Release(p);
    EXPECT_EQ(p->bLockReady, 0);
    EXPECT_EQ(p->hMainMenu, nullptr);
}

// config.ini for the test database with some keys given other values, or
// left out (value null).
void WriteConfigWith(std::initializer_list<std::pair<const char*, const char*>> changes)
{
    tagZT_SQL_MATION* s = TestDb_Settings();
    std::string port = std::to_string(s->iPort);
    std::pair<const char*, std::string> keys[] = {
        {"UID", s->szUser}, {"PWD", s->szPwd}, {"DATABASE", s->szDatabase}, {"CHARSET", "gbk"},
        {"PORT", port},     {"CONNECT_TIMEOUT", "3"}};
    std::string text = "[SOFT]\r\nINITIALIZE=1\r\n[SERVER]\r\n";
    for (auto& k : keys) {
        const char* value = k.second.c_str();
        for (auto& c : changes)
            if (strcmp(c.first, k.first) == 0)
                value = c.second;
        if (value)
            text += std::string(k.first) + "=" + value + "\r\n";
    }
    HANDLE h = CreateFileA("config.ini", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(h);
}

TEST_F(PhaseTest, WithoutACharsetTheNamesStillReadRight)
{
    WriteConfigWith({{"CHARSET", nullptr}});
    TestDb_Close();
    tagZT_Main_Param* p = NewBlock();
    EXPECT_EQ(Startup_RunPhase(p), 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    ASSERT_GT(p->nBr, 0);
    EXPECT_STREQ(p->pBrList[0].szBr, "总店");
    EXPECT_STREQ(p->pEmpList[0].szEmp, "管理员");
}

TEST_F(PhaseTest, EveryStartUpFailureNamesItsCause)
{
    std::string wrongPwd = St_Stored("not-the-password");
    struct Case {
        std::function<void()> arrange;
        const char* cause;
    } cases[] = {
        {[] { WriteConfigWith({{"PORT", "9"}}); }, "无法连接数据服务器"},
        {[&] { WriteConfigWith({{"PWD", wrongPwd.c_str()}}); }, "拒绝"},
        {[] { WriteConfigWith({{"DATABASE", "no_such_db"}}); }, "no_such_db"},
        {[] { WriteConfigWith({{"PORT", "70000"}}); }, "PORT"},
        {[] { WriteConfigWith({{"CHARSET", "latin1"}}); }, "CHARSET"},
        {[] { DeleteFileA("config.ini"); }, "找不到配置文件"},
    };
    for (const Case& c : cases) {
        c.arrange();
        TestDb_Close();
        TestBoxes_Reset();
        tagZT_Main_Param* p = NewBlock();
        EXPECT_EQ(Startup_RunPhase(p), 0) << c.cause;
        auto boxes = TestBoxes_Taken();
        ASSERT_EQ(boxes.size(), 1u) << c.cause;
        EXPECT_NE(boxes[0].text.find(c.cause), std::string::npos) << boxes[0].text;
        EXPECT_EQ(boxes[0].caption, "错误");
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
        EXPECT_EQ(p->nBr, 0);
    }
    // A connection that fails still leads with the program's own words.
    WriteConfigWith({{"PORT", "9"}});
    TestDb_Close();
    TestBoxes_Reset();
    EXPECT_EQ(Startup_RunPhase(NewBlock()), 0);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text.rfind("数据库连接出错\n", 0), 0u);
}

// ---- Leaving during start-up ----------------------------------------------------------

// Holds the worker inside the first-run notice until released, and answers
// the leave question from a queue.
HANDLE g_release;
std::atomic<int> g_inNotice;
std::atomic<int> g_questions;
std::atomic<int> g_answer;
std::string g_questionCaption;
UINT g_questionFlags;

int HoldingHook(HWND, const char* text, const char* caption, UINT flags)
{
    if (strcmp(caption, "登录后请修改密码") == 0) {
        g_inNotice = 1;
        WaitForSingleObject(g_release, 20000);
        g_inNotice = 2;
        return IDOK;
    }
    if (strcmp(text, "确认退出软件") == 0) {
        g_questionCaption = caption;
        g_questionFlags = flags;
        ++g_questions;
        return g_answer;
    }
    return IDOK;
}

struct LeaveTest : PhaseTest {
    ZT_MSGBOX_HOOK old = nullptr;
    void SetUp() override
    {
        PhaseTest::SetUp();
        g_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        g_inNotice = 0;
        g_questions = 0;
        St_WriteConfig(false);
        TestDb_Close();
        old = ZT_SetMessageBoxHookLocal(HoldingHook);
    }
    void TearDown() override
    {
        SetEvent(g_release);
        ZT_SetMessageBoxHookLocal(old);
        Sleep(100);
        CloseHandle(g_release);
    }
};

TEST_F(LeaveTest, NoLetsTheWorkerGoOn)
{
    g_answer = IDNO;
    tagZT_Main_Param* p = NewBlock();
    INT_PTR r = St_WithDriver([&] { return Startup_RunPhase(p); }, [&](DWORD tid) {
        ASSERT_TRUE(St_WaitFor([] { return g_inNotice == 1; }, 10000));
        HWND dlg = St_WaitWindow(tid, "#32770", "Kelmora");
        ASSERT_NE(dlg, nullptr);
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitFor([] { return g_questions == 1; }));
        EXPECT_TRUE(IsWindowVisible(dlg));
        SetEvent(g_release);
        EXPECT_TRUE(St_WaitGone(dlg, 10000));
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g_questionCaption, "");
    EXPECT_EQ(g_questionFlags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(p->nBr, TestDb_Count("t_branch where bRecyle = 0")) << "the worker finished its phase";
}

TEST_F(LeaveTest, YesLetsTheWorkerEndItsStepAndStartNoOther)
{
    g_answer = IDYES;
    tagZT_Main_Param* p = NewBlock();
    INT_PTR r = St_WithDriver([&] { return Startup_RunPhase(p); }, [&](DWORD tid) {
        ASSERT_TRUE(St_WaitFor([] { return g_inNotice == 1; }, 10000));
        HWND dlg = St_WaitWindow(tid, "#32770", "Kelmora");
        ASSERT_NE(dlg, nullptr);
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitFor([] { return g_questions == 1; }));
        // The worker is not cut off in the middle of a step: the dialog
        // says it is leaving until the step is over.
        Sleep(300);
        EXPECT_TRUE(IsWindowVisible(dlg));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDCANCEL)));
        SetEvent(g_release);
        EXPECT_TRUE(St_WaitGone(dlg, 5000));
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g_questions, 1);
    EXPECT_EQ(g_inNotice, 2) << "the worker came back from its step";
    EXPECT_EQ(p->nBr, 0) << "the lists were not loaded";
    EXPECT_NE(FD_LG_Check(1, St_Stored("482913").c_str()), 1) << "the worker did not connect";
}

}  // namespace
