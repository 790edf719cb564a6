// Writing follow-ups and being reminded: a listing's follow-ups loaded on a
// worker into two grids, the write-follow-up dialog driven from a second
// thread, and the frame's periodic check showing the reminder box.
#include "tests/listings_follow/follow_fixture.h"
#include "tests/data_listings/listings_support.h"
#include "tests/startup/startup_support.h"
#include "app/listings/follow_dialog.h"
#include "app/listings/follow_ids.h"
#include "app/listings/follow_list.h"
#include "app/listings/remind.h"
#include "app/shell/frame.h"
#include "app/resources/resource.h"
#include "outside/popedom/ZTPopedom.h"

#include <cstring>

namespace {

class FollowEntryTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Shell_Setup();
        FollowDb_Open();
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    void SetUp() override
    {
        Shell_Setup();
        TestBoxes_Reset();
        TestDb_Exec("drop trigger if exists refuse_remind;"
                    "delete from t_remind; delete from t_reminddated; delete from t_follow where iOrdinal > 6");
    }
    static std::string Today() { return TestDb_Scalar("select curdate()"); }
    static size_t Boxes(const char* text)
    {
        size_t n = 0;
        for (const TestBox& b : TestBoxes_Taken())
            n += b.text == text;
        return n;
    }
    // Runs the dialog for a listing while driver(dialog) works it from another thread.
    static INT_PTR Write(FOLLOW_ENTRY* e, const char* caption, const std::function<void(HWND)>& driver)
    {
        return St_WithDriver([&] { return FollowDialog_Run(nullptr, &g_ZTMain, e); }, [&](DWORD tid) {
            HWND dlg = St_WaitWindow(tid, "#32770", caption);
            ASSERT_NE(dlg, nullptr);
            driver(dlg);
            EXPECT_TRUE(St_WaitGone(dlg));
        });
    }
};

TEST_F(FollowEntryTest, AListingsFollowUpsLoadOnAWorkerIntoBothGridsAndTakeNewOnes)
{
    HWND host = Ui_CreateHost(40, 40, 600, 400);
    FOLLOW_LIST l;
    memset(&l, 0, sizeof(l));
    l.p = &g_ZTMain;
    l.hGrid = FollowList_CreateGrid(host, 1266, &g_ZTMain);
    l.hGrid2 = FollowList_CreateGrid(host, 1267, &g_ZTMain);
    ASSERT_EQ(GetDlgCtrlID(l.hGrid), 1266);

    // The worker cannot finish before this thread answers the grids.
    ASSERT_TRUE(FollowList_StartReload(&l, H1, 0));
    EXPECT_TRUE(Follow_IsLoading(&g_ZTMain));
    FollowList_Wait(&l);
    EXPECT_FALSE(Follow_IsLoading(&g_ZTMain));
    ASSERT_EQ(l.nFol, 2);
    EXPECT_EQ(l.pFol[0].iOrdinal * 10 + l.pFol[1].iOrdinal, F_H1 * 10 + F_H1_OLD);     // newest first
    for (HWND g : {l.hGrid, l.hGrid2}) {
        EXPECT_EQ(Follow_GridKeys(g), (std::set<int>{F_H1, F_H1_OLD}));
        EXPECT_EQ(Follow_GridCell(g, F_H1, 1) + Follow_GridCell(g, F_H1, 2), "业主同意降价两万张三");
    }

    // A written follow-up takes the first free slot and shows in both grids;
    // with every slot taken the user hears of it.
    tagFOLLOW f = {};
    f.iOrdinal = 9001;
    strcpy(f.szContent, "新写的跟进");
    EXPECT_EQ(FollowList_Add(&l, &f, host), &l.pFol[2]);
    EXPECT_EQ(Follow_GridCell(l.hGrid2, 9001, 1), "新写的跟进");
    for (int i = 3; i < 2 + 101; i++)
        l.pFol[i].iOrdinal = 1;
    EXPECT_EQ(FollowList_Add(&l, &f, host), nullptr);
    EXPECT_EQ(Boxes("写跟进成功, 本地内存出错"), 1u);

    FollowList_Reload(&l, 0, C2);                  // a client's list replaces it
    EXPECT_EQ(Follow_GridKeys(l.hGrid2), (std::set<int>{F_C2, F_C2_OLD}));
    FollowList_Free(&l);
    EXPECT_TRUE(l.pFol == nullptr && Follow_GridKeys(l.hGrid).empty());
    DestroyWindow(host);
}

TEST_F(FollowEntryTest, AnOwedFollowUpCannotBeSkippedAndABadOrRefusedReminderWritesNothing)
{
    FOLLOW_ENTRY e = {};
    e.iHou = H2;
    e.bMustWrite = TRUE;
    INT_PTR r = Write(&e, "房源跟进", [&](HWND dlg) {
        auto item = [&](int id) { return GetDlgItem(dlg, id); };
        EXPECT_EQ(Ui_Text(item(IDC_FW_WAY)) + Ui_Text(item(IDC_FW_BR)) + Ui_Text(item(IDC_FW_EMP)), "电话总店管理员");
        EXPECT_FALSE(IsWindowEnabled(item(IDC_FW_REMIND_DAY)));
        // It says why it came.
        EXPECT_EQ(Ui_Text(item(IDC_FW_WHY)), "您查看了这条房源的电话, 请写下这次联系的跟进");
        EXPECT_TRUE(IsWindowVisible(item(IDC_FW_WHY)));
        // Neither cancelling, nor closing, nor saving empty leaves the dialog;
        // leaving is told why it may not, saving what it lacks.
        St_Click(item(IDCANCEL));
        PostMessageA(dlg, WM_CLOSE, 0, 0);
        SetWindowTextA(item(IDC_FW_CONTENT), "  ");
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("您查看了电话, 须写跟进后才能离开") == 2; }));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("必须写跟进,才能保存") == 1; }));
        // Another branch: its first employee.
        SendMessageA(item(IDC_FW_BR), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("二部"));
        EXPECT_EQ(Ui_Text(item(IDC_FW_EMP)), "王五");
        // A reminder day that is no day, or a past one, is named; nothing is written.
        SetWindowTextA(item(IDC_FW_CONTENT), "业主要求下周再联系");
        St_Click(item(IDC_FW_REMIND));
        EXPECT_TRUE(St_WaitFor([&] { return IsWindowEnabled(item(IDC_FW_REMIND_DAY)) != FALSE; }));
        EXPECT_EQ(Ui_Text(item(IDC_FW_REMIND_DAY)), Today());
        const std::string bad[] = {"2020-01-01", "2024-02-30", HostileText(), std::string(300, '9')};
        for (const std::string& day : bad) {
            SetWindowTextA(item(IDC_FW_REMIND_DAY), day.c_str());
            St_Click(item(IDOK));
        }
        EXPECT_TRUE(St_WaitFor([] { return Boxes("提醒时间必须是今天或以后的日期,格式为 YYYY-MM-DD") == 4; }));
        EXPECT_EQ(TestDb_Count("t_follow") + TestDb_Count("t_remind"), 6);
        // Today, for the branch.
        SetWindowTextA(item(IDC_FW_REMIND_DAY), Today().c_str());
        SetWindowTextA(item(IDC_FW_REMIND_TEXT), "约业主看房");
        SendMessageA(item(IDC_FW_REMIND_RANGE), CB_SETCURSEL, 1, 0);
        Ui_Screenshot("follow-write");
        // The server refusing the reminder: the follow-up is not stored
        // either, the user is told so and the dialog stays to save again.
        TestDb_Exec("create trigger refuse_remind before insert on t_remind for each row "
                    "signal sqlstate '45000' set message_text = 'refused'");
        TestDb_AllowTriggers("t_remind");
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("保存失败,跟进和提醒都没有保存,可以再次保存.") == 1; }));
        EXPECT_EQ(TestDb_Count("t_follow") + TestDb_Count("t_remind"), 6);
        EXPECT_TRUE(IsWindowVisible(dlg));
        TestDb_Exec("drop trigger refuse_remind");
        St_Click(item(IDOK));
    });
    ASSERT_EQ(r, IDOK);
    // The follow-up as written, with its key and server time; the reminder
    // with range 2 for "本部", the follow-up's listing and writer.
    EXPECT_EQ(TestDb_Query("select iHou, iEmp, iBr, szWay, szContent from t_follow where iOrdinal = " +
                           std::to_string(e.fol.iOrdinal)),
              (std::vector<std::vector<std::string>>{{"2", "3", "2", "电话", "业主要求下周再联系"}}));
    EXPECT_EQ(std::string(e.fol.dtFollow).substr(0, 10), Today());
    EXPECT_EQ(TestDb_Query("select iOrdinal, iRange, iHou, iCli, iEmp, iBr, dRemind, szContent from t_remind"),
              (std::vector<std::vector<std::string>>{
                  {std::to_string(e.rem.iOrdinal), "2", "2", "0", "3", "2", Today(), "约业主看房"}}));
}

TEST_F(FollowEntryTest, WithoutTheTickNoReminderAndCancelWritesNothing)
{
    FOLLOW_ENTRY e = {};
    e.iCli = C1;
    std::string why = "<none>";
    EXPECT_EQ(Write(&e, "客源跟进", [&](HWND dlg) {
                  why = Ui_Text(GetDlgItem(dlg, IDC_FW_WHY));       // none owed: nothing to say
                  St_Click(GetDlgItem(dlg, IDCANCEL));
              }),
              IDCANCEL);
    EXPECT_EQ(why, "");
    EXPECT_EQ(TestDb_Count("t_follow"), 6);
    // A content longer than the record's field is cut on a whole character.
    std::string text;
    for (int i = 0; i < 60; i++)
        text += "跟";
    // The table is held by another connection while saving: the insert
    // waits on a worker behind the busy dialog, the dialog's thread does not.
    TestDb_Exec("lock tables t_follow write");
    bool busyShown = false;
    EXPECT_EQ(Write(&e, "客源跟进", [&](HWND dlg) {
                  SetWindowTextA(GetDlgItem(dlg, IDC_FW_CONTENT), text.c_str());
                  SetWindowTextA(GetDlgItem(dlg, IDC_FW_REMIND_TEXT), "不会写入");
                  St_Click(GetDlgItem(dlg, IDOK));
                  for (int i = 0; i < 100 && !busyShown; i++) {
                      HWND busy = g_ZTMain.hBusyDlg;
                      busyShown = busy && IsWindowVisible(busy) &&
                                  SendMessageTimeoutA(busy, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, nullptr);
                      if (!busyShown)
                          Sleep(20);
                  }
                  TestDb_Exec("unlock tables");
              }),
              IDOK);
    EXPECT_TRUE(busyShown);
    EXPECT_EQ(e.fol.iCli * 100 + e.fol.iEmp, C1 * 100 + 1);
    EXPECT_EQ(std::string(e.fol.szContent), text.substr(0, 100));
    EXPECT_EQ(TestDb_Count("t_follow") * 10 + TestDb_Count("t_remind"), 70);
    EXPECT_EQ(e.rem.iOrdinal, 0);
}

TEST_F(FollowEntryTest, TheCalendarLeavesSaveFreeAndLeavingWithTypedTextAsksFirst)
{
    FOLLOW_ENTRY e = {};
    e.iHou = H1;
    INT_PTR r = Write(&e, "房源跟进", [&](HWND dlg) {
        auto item = [&](int id) { return GetDlgItem(dlg, id); };
        // The reminder's day box opens its calendar: "保存" and "取消" stay clear of it.
        St_Click(item(IDC_FW_REMIND));
        EXPECT_TRUE(St_WaitFor([&] { return IsWindowEnabled(item(IDC_FW_REMIND_DAY)) != FALSE; }));
        RECT day = Ui_WindowRect(item(IDC_FW_REMIND_DAY));
        Ui_Click(day.left + 20, (day.top + day.bottom) / 2);
        HWND cal = InputControls_Calendar();
        EXPECT_TRUE(St_WaitFor([&] { return cal && IsWindowVisible(cal); }));
        RECT rc = Ui_WindowRect(cal), hit;
        for (int id : {IDOK, IDCANCEL}) {
            RECT button = Ui_WindowRect(item(id));
            EXPECT_FALSE(IntersectRect(&hit, &rc, &button)) << id;
        }
        // Esc closes the calendar only.
        Ui_RealKey(VK_ESCAPE);
        EXPECT_TRUE(St_WaitFor([&] { return !IsWindowVisible(cal); }));
        EXPECT_TRUE(IsWindow(dlg));
        // With text typed, Esc asks: "取消" stays, "否" leaves without writing.
        HWND content = item(IDC_FW_CONTENT);
        RECT rcContent = Ui_WindowRect(content);
        Ui_Click(rcContent.left + 10, rcContent.top + 10);
        Ui_RealType("kan fang");
        EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(content) == "kan fang"; }));
        TestBoxes_Answer(IDCANCEL);
        Ui_RealKey(VK_ESCAPE);
        EXPECT_TRUE(St_WaitFor([] { return Boxes("数据已修改, 是否保存?") == 1; }));
        Sleep(200);
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_EQ(Ui_Text(content), "kan fang");
        TestBoxes_Answer(IDNO);
        St_Click(item(IDCANCEL));
    });
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(Boxes("数据已修改, 是否保存?"), 2u);
    EXPECT_EQ(TestDb_Count("t_follow"), 6);

    // Closing with typed text and answering "是" writes it.
    r = Write(&e, "房源跟进", [&](HWND dlg) {
        SetWindowTextA(GetDlgItem(dlg, IDC_FW_CONTENT), "业主在外地, 下月回来");
        TestBoxes_Answer(IDYES);
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(TestDb_Count("t_follow where szContent = '业主在外地, 下月回来'"), 1);
}

TEST_F(FollowEntryTest, AFollowUpAndItsReminderAreStoredTogetherOrNeitherAndTheFormKeepsThem)
{
    FOLLOW_ENTRY e = {};
    e.iCli = C2;
    INT_PTR r = Write(&e, "客源跟进", [&](HWND dlg) {
        auto item = [&](int id) { return GetDlgItem(dlg, id); };
        SetWindowTextA(item(IDC_FW_CONTENT), "客户预算提高到 4000");
        St_Click(item(IDC_FW_REMIND));
        SetWindowTextA(item(IDC_FW_REMIND_TEXT), "带看翠苑一区");
        // The reminder, the change's last statement, is cut off: nothing is
        // stored, one box says so, the form keeps what was typed.
        {
            Gate gate("t_remind", "insert");
            Worker click;
            click.call = [&] { St_Click(item(IDOK)); return 0; };
            Worker_Start(click);
            std::string id = gate.Reached();
            ASSERT_NE(id, "");
            EXPECT_EQ(TestDb_Count("t_follow"), 6) << "not yet visible to others";
            TestDb_Exec("kill connection " + id);
            Worker_Join(click);
        }
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 1; }));
        Sleep(300);
        EXPECT_EQ(TestBoxes_Count(), 1u);
        EXPECT_EQ(Boxes("保存失败,跟进和提醒都没有保存,可以再次保存."), 1u);
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_EQ(Ui_Text(item(IDC_FW_CONTENT)) + "/" + Ui_Text(item(IDC_FW_REMIND_TEXT)), "客户预算提高到 4000/带看翠苑一区");
        EXPECT_EQ(TestDb_Count("t_follow") * 10 + TestDb_Count("t_remind"), 60);
        // Saving again stores both, once.
        St_Click(item(IDOK));
    });
    ASSERT_EQ(r, IDOK);
    EXPECT_EQ(TestDb_Count("t_follow where iCli = 2 and szContent = '客户预算提高到 4000'"), 1);
    EXPECT_EQ(TestDb_Count("t_remind where iCli = 2 and szContent = '带看翠苑一区' and iOrdinal = " +
                           std::to_string(e.rem.iOrdinal)), 1);
    EXPECT_GT(e.fol.iOrdinal, 6);
}

TEST_F(FollowEntryTest, WritingNeedsTheRightWhenSavingAndAnOwedFollowUpThenLetsTheUserGo)
{
    // The follow-up add right withheld (view, modify and delete kept).
    Wd_Grant("04" "1G" "0H" "0T" "0P");
    FOLLOW_ENTRY e = {};
    e.iHou = H1;
    e.bMustWrite = TRUE;
    INT_PTR r = Write(&e, "房源跟进", [&](HWND dlg) {
        SetWindowTextA(GetDlgItem(dlg, IDC_FW_CONTENT), "看了电话");
        St_Click(GetDlgItem(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("您没有写跟进的权限") == 1; }));
        EXPECT_TRUE(IsWindow(dlg));
        // It could not be stored: the owed follow-up lets the user go.
        TestBoxes_Answer(IDNO);
        St_Click(GetDlgItem(dlg, IDCANCEL));
    });
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_EQ(Boxes("必须写跟进,才能保存"), 0u);
    EXPECT_EQ(Boxes("您查看了电话, 须写跟进后才能离开"), 0u);
    EXPECT_EQ(TestDb_Count("t_follow"), 6);
}

// ---- The reminder check ---------------------------------------------------------------------

HWND WaitBox(int ms)
{
    for (DWORD end = GetTickCount() + ms; !Remind_Box() && static_cast<int>(end - GetTickCount()) > 0;)
        Ui_Pump(20);
    for (int i = 0; i < 50 && Remind_Box() && !IsWindowVisible(Remind_Box()); i++)
        Ui_Pump(20);
    return Remind_Box();
}

void Click(HWND box, int id)
{
    PostMessageA(GetDlgItem(box, id), BM_CLICK, 0, 0);
    for (int i = 0; i < 100 && Remind_Box() && id == IDC_RB_CLOSE; i++)
        Ui_Pump(20);
}

// What the box shows: its entries, then kind, range and text.
std::string Shown(HWND box)
{
    std::string s;
    char buf[256];
    HWND list = GetDlgItem(box, IDC_RB_OBJECT);
    for (int i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); i++)
        if (SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf)) >= 0)
            s += std::string(buf) + ",";
    for (int id : {IDC_RB_KIND, IDC_RB_RANGE, IDC_RB_TEXT}) {
        GetDlgItemTextA(box, id, buf, sizeof(buf));
        s += std::string(" ") + buf;
    }
    return s;
}

std::string Acknowledged()
{
    std::string s;
    for (auto& row : TestDb_Query("select iRemind from t_reminddated where iEmp = 1 order by iRemind"))
        s += row[0] + ",";
    return s;
}

TEST_F(FollowEntryTest, TheFramesCheckShowsTodaysRemindersLastFirstAcknowledgingWhatIsShown)
{
    // Due today for 总店: 1 (house 1, 本部) and 2 (client 2, 本人); not due:
    // 3 (tomorrow) and 4 (二部's).
    TestDb_Exec("insert into t_remind (iOrdinal, dRemind, szContent, iRange, iHou, iCli, iBr, iEmp) values"
                " (1, curdate(), '带客户看嘉绿苑', 2, 1, 0, 1, 0), (2, curdate(), '回访刘女士', 1, 0, 2, 1, 1),"
                " (3, curdate() + interval 1 day, '明天的', 1, 1, 0, 1, 0), (4, curdate(), '二部的', 1, 2, 0, 2, 0)");
    Frame_SetReminderCheck(Remind_Check);
    Frame_SetReminderIntervals(300, 1500);
    HWND frame = Shell_CreateFrame();
    HMENU menu = GetMenu(frame);
    EXPECT_TRUE(GetMenuState(menu, IDM_AUTO_REMIND, MF_BYCOMMAND) & MF_CHECKED);

    // The last first, by client key (house key for a house); only the one
    // shown is acknowledged.
    HWND box = WaitBox(3000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetCurrentThreadId());
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_EQ(Shown(box), "2,1, 客源 本人 回访刘女士");
    EXPECT_EQ(Acknowledged(), "2,");
    Ui_Screenshot("follow-reminder");
    Click(box, IDC_RB_CLOSE);

    // The next check brings back only the one never shown.
    box = WaitBox(3000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Shown(box), "1, 房源 本部 带客户看嘉绿苑");
    EXPECT_EQ(Acknowledged(), "1,2,");

    // "软件重启前,不再提醒": no more checks, and "自动提醒" loses its mark.
    EXPECT_EQ(Ui_Text(GetDlgItem(box, IDC_RB_STOP)), "软件重启前,不再提醒");
    TestDb_Exec("insert into t_remind (iOrdinal, dRemind, szContent, iRange, iHou, iBr) values (5, curdate(), '跨部的', 0, 1, 1)");
    Click(box, IDC_RB_STOP);
    EXPECT_TRUE(St_WaitFor([] { return g_ZTMain.bRemindOff == 1; }));
    Click(box, IDC_RB_CLOSE);
    EXPECT_EQ(WaitBox(3500), nullptr);
    EXPECT_FALSE(GetMenuState(menu, IDM_AUTO_REMIND, MF_BYCOMMAND) & MF_CHECKED);

    // "自动提醒" on again: the checks resume.
    Shell_Command(frame, IDM_AUTO_REMIND);
    EXPECT_TRUE(GetMenuState(menu, IDM_AUTO_REMIND, MF_BYCOMMAND) & MF_CHECKED);
    box = WaitBox(3000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Shown(box), "1, 房源 跨部 跨部的");
    Click(box, IDC_RB_CLOSE);

    // And off: nothing comes, whatever is due.
    TestDb_Exec("insert into t_remind (iOrdinal, dRemind, szContent, iRange, iHou, iBr) values (6, curdate(), '关掉之后', 1, 1, 1)");
    Shell_Command(frame, IDM_AUTO_REMIND);
    EXPECT_FALSE(GetMenuState(menu, IDM_AUTO_REMIND, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(WaitBox(2500), nullptr);

    Shell_DestroyFrame(frame);
    Frame_SetReminderCheck(nullptr);
    Frame_SetReminderIntervals(0, 0);
    EXPECT_STREQ(Remind_RangeName(3), "ERROR");
}

TEST_F(FollowEntryTest, ARemindersAudienceIsItsWriterOrTheirBranchForListingsTheUserMaySee)
{
    // 张三 (总店) with the salesman preset: her own houses and clients.
    Wd_Grant("01" "05" "09" "0H" "0L" "0T" "1B" "1C" "1H" "1L" "45" "3E" "3F" "37");
    tagZT_Main_Param* p = &g_ZTMain;
    const tagEMPLIST* zhang = nullptr;
    for (int i = 0; i < p->nEmp; i++)
        if (p->pEmpList[i].iOrdinal == ZHANG)
            zhang = &p->pEmpList[i];
    ASSERT_NE(zhang, nullptr);
    p->pLoginEmp = const_cast<tagEMPLIST*>(zhang);
    // Due today, every one addressed to 总店 as the library sees it.
    TestDb_Exec("insert into t_remind (iOrdinal, dRemind, szContent, iRange, iHou, iCli, iBr, iEmp) values"
                " (1, curdate(), '她自己的', 1, 1, 0, 1, 2),"          // 本人, hers, her house
                " (2, curdate(), '管理员自己的', 1, 1, 0, 1, 1),"      // 本人, the administrator's
                " (3, curdate(), '本部客户', 2, 0, 1, 1, 1),"          // 本部, her client
                " (4, curdate(), '本部别人的房', 2, 2, 0, 1, 1)");     // 本部, 王五's house
    Frame_SetReminderCheck(Remind_Check);
    Frame_SetReminderIntervals(300, 60000);
    HWND frame = Shell_CreateFrame();
    HWND box = WaitBox(3000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Shown(box), "1,1, 客源 本部 本部客户");
    Click(box, IDC_RB_CLOSE);
    Shell_DestroyFrame(frame);
    Frame_SetReminderCheck(nullptr);
    Frame_SetReminderIntervals(0, 0);
    p->pLoginEmp = p->pEmpList;
    TestDb_Exec("delete from t_reminddated");

    // The rule itself: writer for "本人", branch for "本部", the listing seen.
    tagREMIND r[4] = {};
    // key, range, writer, writer's branch, house, client
    const int rows[4][6] = {{1, 1, 9, 1, 5, 0}, {2, 2, 9, 1, 5, 0}, {3, 1, 7, 2, 0, 5}, {4, 2, 7, 1, 6, 0}};
    for (int i = 0; i < 4; i++) {
        r[i].iOrdinal = rows[i][0];
        r[i].iRange = rows[i][1];
        r[i].iEmp = rows[i][2];
        r[i].iBr = rows[i][3];
        r[i].iHou = rows[i][4];
        r[i].iCli = rows[i][5];
    }
    // Employee 7 of branch 1, who sees house 5 and client 5: not 1 (another
    // writer's own), not 4 (a house not seen).
    EXPECT_EQ(Remind_KeepVisible(r, 4, 7, 1, {5}, {5}), 2);
    EXPECT_EQ(r[0].iOrdinal * 10 + r[1].iOrdinal, 23);
    EXPECT_EQ(r[2].iOrdinal + r[3].iOrdinal, 0);
    // Employee 8 of branch 2: neither branch 1's nor employee 7's own.
    EXPECT_EQ(Remind_KeepVisible(r, 2, 8, 2, {5}, {5}), 0);
}

}  // namespace
