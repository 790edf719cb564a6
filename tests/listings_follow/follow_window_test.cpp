// The two follow-up windows driven as a user drives them: opened from the
// main menu on today's follow-ups, the panel changed and "查找" clicked, an
// estate typed and chosen, "清空", a follow-up deleted after the question,
// hostile texts in the boxes, the right that greys "删除跟进", the writer's
// branch and name as conditions, and the scope of the user's lists.
#include "tests/listings_follow/follow_fixture.h"
#include "common/date.h"
#include "app/listings/estate_box.h"
#include "app/listings/follow_ids.h"
#include "app/listings/follow_window.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "db/dbtool.h"
#include "app/resources/resource.h"
#include "grid/ZTListview.h"
#include "outside/popedom/ZTPopedom.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <vector>

namespace {

using Keys = std::set<int>;
using Texts = std::vector<std::string>;

class FollowWindowTest : public testing::Test {
protected:
    HWND frame = nullptr, hwnd = nullptr;
    ZT_MODWIN* w = nullptr;
    static void SetUpTestSuite()
    {
        Shell_Setup();
        FollowDb_Open();
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    void SetUp() override
    {
        Shell_Setup();    // every right, the administrator logged in
        g_ZTMain.pLoginEmp = g_ZTMain.pEmpList;
        TestBoxes_Reset();
        TestDb_Exec("update t_follow set bRecyle = 0; delete from t_follow where iOrdinal > 6");
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override { Shell_DestroyFrame(frame); }

    // Opens a window with the mouse from the main menu and waits for its load.
    void Open(int menuPos, int cmd, const char* cls)
    {
        bool clicked = Wd_ChooseMenu(frame, menuPos, cmd);
        Settle();
        EXPECT_TRUE(clicked);
        w = Module_Of(hwnd = Frame_FindChild(cls));
        ASSERT_NE(w, nullptr);
    }
    void Settle()
    {
        Ui_Pump(150);
        for (int i = 0; i < 200 && g_ZTMain.hBusyDlg; i++)
            Ui_Pump(20);
        Ui_Pump(60);
    }
    HWND Box(int id) { return GetDlgItem(GetDlgItem(hwnd, IDC_FOLLOW_PANEL), id); }
    void Set(int id, const std::string& s) { SendMessageA(Box(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str())); }
    void Click(int id)
    {
        Wd_ClickControl(Box(id));
        Settle();
    }
    void ClickToolbar(int cmd)
    {
        RECT r = {0, 0, 0, 0};
        HWND tb = Block_GetToolbar(hwnd);
        SendMessageA(tb, TB_GETRECT, cmd, reinterpret_cast<LPARAM>(&r));
        POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tb, &pt);
        Ui_Click(pt.x, pt.y);
        Settle();
    }
    Keys Listed() { return Follow_GridKeys(w->hGrid); }
    std::string Count() { return Ui_Text(GetDlgItem(Block_GetToolbar(hwnd), IDC_RECORD_COUNT)); }
    Texts Items(int id)
    {
        Texts out;
        char buf[256];
        for (int i = 0; i < SendMessageA(Box(id), CB_GETCOUNT, 0, 0); i++)
            if (SendMessageA(Box(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf)) >= 0)
                out.push_back(buf);
        return out;
    }
};

TEST_F(FollowWindowTest, HouseFollowUpsFilteredFoundAndDeleted)
{
    Open(MAINPOS_HOUSE, IDM_HOUSE_FOLLOW, "ZT_CHILD_HOU_F");
    EXPECT_EQ(Ui_Text(hwnd), "房源跟进");
    // Today's house follow-ups: writer's branch and name, estate, building.
    EXPECT_EQ(Listed(), (Keys{F_H1, F_H2}));
    EXPECT_EQ(Count(), "2");
    Texts row;
    for (int c = 1; c <= 5; c++)
        row.push_back(Follow_GridCell(w->hGrid, F_H2, c));
    EXPECT_EQ(row, (Texts{"二部", "王五", "出租", "翠苑一区", "2"}));
    EXPECT_EQ(Ui_WindowRect(GetDlgItem(hwnd, IDC_FOLLOW_PANEL)).bottom -
                  Ui_WindowRect(GetDlgItem(hwnd, IDC_FOLLOW_PANEL)).top, FOLLOW_PANEL_HEIGHT);

    // Every employee may be chosen; a branch lists its own and narrows the
    // list to what its employees wrote; an employee further.
    EXPECT_EQ(Items(IDC_FOLLOW_EMP), (Texts{"管理员", "张三", "王五", "赵六"}));
    SendMessageA(Box(IDC_FOLLOW_BR), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Items(IDC_FOLLOW_EMP), (Texts{"王五", "赵六"}));
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Listed(), Keys{F_H2});
    EXPECT_EQ(Count(), "1");
    SendMessageA(Box(IDC_FOLLOW_EMP), CB_SETCURSEL, 1, 0);
    Click(IDC_FOLLOW_FIND);
    EXPECT_TRUE(Listed().empty());

    // "清空" empties the dates as well, and lists what the empty panel
    // finds: every house follow-up.
    Click(IDC_FOLLOW_CLEAR);
    EXPECT_EQ(Ui_Text(Box(IDC_FOLLOW_FROM)) + Ui_Text(Box(IDC_FOLLOW_BR)), "");
    EXPECT_EQ(Listed(), (Keys{F_H1, F_H2, F_H1_OLD}));
    EXPECT_EQ(Count(), "3");

    // The estate typed as its abbreviation, chosen from the list that follows.
    HWND est = Box(IDC_FOLLOW_ESTATE);
    POINT pt = Ui_Centre(est);
    Ui_Click(pt.x, pt.y);
    HWND edit = GetFocus();
    ASSERT_TRUE(edit && IsChild(est, edit));
    Ui_Type(edit, "jly");
    for (int i = 0; i < 50 && Ui_Text(est) != "jly"; i++)
        Ui_Pump(20);
    EstateBox_Settle(est);
    EXPECT_EQ(Items(IDC_FOLLOW_ESTATE), (Texts{"嘉绿苑", "嘉绿苑二期"}));
    EXPECT_TRUE(SendMessageA(est, CB_GETDROPPEDSTATE, 0, 0));
    Ui_Key(edit, VK_DOWN);
    Ui_Key(edit, VK_RETURN);
    Ui_Pump(100);
    EstateBox_Settle(est);
    EXPECT_EQ(Ui_Text(est), "嘉绿苑");
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Listed(), (Keys{F_H1, F_H1_OLD}));

    // Deleting: asked first, then gone from the list, the count and the
    // database, its slot free again.
    ASSERT_TRUE(Follow_SelectKey(w->hGrid, F_H1_OLD));
    tagFOLLOW* rec = static_cast<tagFOLLOW*>(Module_Selected(w));
    TestBoxes_Answer(IDOK);
    ClickToolbar(ID_FOLLOW_DELETE);
    TestBoxes_ExpectOnly("删除后可以在回收站中还原,是否继续");
    EXPECT_EQ(Listed(), Keys{F_H1});
    EXPECT_EQ(Count(), "1");
    EXPECT_EQ(rec->iOrdinal, 0);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_follow where iOrdinal = 3"), "1");
}

TEST_F(FollowWindowTest, ClientFollowUpsByGradeAndTradeAndDeleted)
{
    Open(MAINPOS_CLIENT, IDM_CLIENT_FOLLOW, "ZT_CHILD_CLI_F");
    EXPECT_EQ(Listed(), (Keys{F_C1, F_C2}));
    EXPECT_EQ(Follow_GridCell(w->hGrid, F_C2, 4) + Follow_GridCell(w->hGrid, F_C2, 5), "刘女士B级(一般)");
    EXPECT_EQ(Box(IDC_FOLLOW_ESTATE), nullptr);
    EXPECT_EQ(Items(IDC_FOLLOW_TRADE).at(1), "求租");          // client parameters
    EXPECT_EQ(Items(IDC_FOLLOW_LEVEL).at(0), "A级(急需)");

    SendMessageA(Box(IDC_FOLLOW_LEVEL), CB_SETCURSEL, 0, 0);
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Listed(), Keys{F_C1});
    Click(IDC_FOLLOW_CLEAR);
    Set(IDC_FOLLOW_TRADE, "求租");
    ClickToolbar(ID_MODULE_REFRESH);                              // "刷新" reads the panel too
    EXPECT_EQ(Listed(), (Keys{F_C2, F_C2_OLD}));

    // Without a selection the user is told; with one, asked, then it goes.
    SendMessageA(hwnd, WM_COMMAND, ID_FOLLOW_DELETE, 0);
    TestBoxes_ExpectOnly("请选择数据");
    ASSERT_TRUE(Follow_SelectKey(w->hGrid, F_C2_OLD));
    TestBoxes_Answer(IDOK);
    ClickToolbar(ID_FOLLOW_DELETE);
    EXPECT_EQ(Listed(), Keys{F_C2});
    EXPECT_EQ(Count(), "1");
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 1"), 1);
}

TEST_F(FollowWindowTest, HostileTextsFindNothingAndChangeNothing)
{
    Shell_Command(frame, IDM_CLIENT_FOLLOW);
    w = Module_Of(hwnd = Frame_FindChild("ZT_CHILD_CLI_F"));
    Settle();
    ASSERT_NE(w, nullptr);
    std::string log = TestReadFile("errlog.log");
    const std::string hostile[] = {HostileText(), "%", "_", "求\xC7", std::string(300, 'x'), "求租' or '1'='1", "\\"};
    for (int id : {IDC_FOLLOW_TRADE, IDC_FOLLOW_LEVEL, IDC_FOLLOW_BR, IDC_FOLLOW_EMP})
        for (const std::string& text : hostile) {
            Click(IDC_FOLLOW_CLEAR);
            Set(id, text);
            Click(IDC_FOLLOW_FIND);
            // A quoted text finds nothing, and so does a name the lists do not know.
            EXPECT_EQ(Listed(), Keys{}) << id << " " << text;
            EXPECT_TRUE(w->bLoaded);
        }
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestReadFile("errlog.log"), log);                   // no statement was refused

    // A date that is no day is named and nothing is loaded.
    Click(IDC_FOLLOW_CLEAR);
    for (const std::string& text : hostile) {
        TestBoxes_Reset();
        Set(IDC_FOLLOW_TO, text);
        Click(IDC_FOLLOW_FIND);
        ASSERT_EQ(TestBoxes_Count(), 1u) << text;
        char want[160];
        Date_Refusal("跟进日期(止)", want, sizeof(want));
        EXPECT_EQ(TestBoxes_Taken()[0].text, want);
        EXPECT_EQ(Listed(), (Keys{F_C1, F_C2, F_C2_OLD}));
    }
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0"), 6);
    EXPECT_EQ(TestDb_Count("t_client"), 2);

    // Without the follow-up delete right the button is grey and the command idle.
    Shell_DestroyFrame(frame);
    g_ZTMain.W3 = 0;
    frame = Shell_CreateFrame();
    Shell_Command(frame, IDM_HOUSE_FOLLOW);
    w = Module_Of(hwnd = Frame_FindChild("ZT_CHILD_HOU_F"));
    Settle();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(SendMessageA(Block_GetToolbar(hwnd), TB_ISBUTTONENABLED, ID_FOLLOW_DELETE, 0));
    ASSERT_TRUE(Follow_SelectKey(w->hGrid, F_H1));
    TestBoxes_Reset();
    Shell_Command(frame, ID_FOLLOW_DELETE);
    Settle();
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 1"), 0);
}

TEST_F(FollowWindowTest, TheBranchAndEmployeeAreTheWritersAndAnUnknownNameFindsNothing)
{
    // 王五 of 二部 also followed up 总店's house h1.
    TestDb_Exec("insert into t_follow (iOrdinal, iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) values"
                " (7, 1, 0, 3, 2, '电话', '替同事回访业主', now())");
    Open(MAINPOS_HOUSE, IDM_HOUSE_FOLLOW, "ZT_CHILD_HOU_F");
    EXPECT_EQ(Listed(), (Keys{F_H1, F_H2, 7}));
    // The employee alone, chosen from the list of every employee.
    SendMessageA(Box(IDC_FOLLOW_EMP), CB_SETCURSEL, 2, 0);
    ASSERT_EQ(Ui_Text(Box(IDC_FOLLOW_EMP)), "王五");
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Listed(), (Keys{F_H2, 7}));
    // The branch: what its employees wrote, on any branch's houses.
    SendMessageA(Box(IDC_FOLLOW_BR), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Ui_Text(Box(IDC_FOLLOW_EMP)), "");
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Listed(), (Keys{F_H2, 7}));
    EXPECT_EQ(Follow_GridCell(w->hGrid, 7, 1) + Follow_GridCell(w->hGrid, 7, 4), "二部嘉绿苑");
    SendMessageA(Box(IDC_FOLLOW_BR), CB_SETCURSEL, 0, 0);
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Listed(), Keys{F_H1});
    // Names that match nothing find nothing: a branch, an employee, an estate.
    const std::pair<int, const char*> unknown[] = {
        {IDC_FOLLOW_BR, "三部"}, {IDC_FOLLOW_EMP, "王"}, {IDC_FOLLOW_ESTATE, "无此楼盘"}, {IDC_FOLLOW_ESTATE, "嘉绿"}};
    for (const auto& u : unknown) {
        Click(IDC_FOLLOW_CLEAR);
        ASSERT_EQ(Listed().size(), 4u);
        Set(u.first, u.second);
        Click(IDC_FOLLOW_FIND);
        EXPECT_EQ(Listed(), Keys{}) << u.second;
        EXPECT_EQ(Count(), "0");
    }
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(FollowWindowTest, ASalesmanReadsOnlyTheFollowUpsOfHerOwnListings)
{
    // 张三 (总店) with the salesman preset: her own houses and clients.
    Wd_Grant("01" "05" "09" "0H" "0L" "0T" "1B" "1C" "1H" "1L" "45" "3E" "3F" "37");
    tagZT_Main_Param* p = &g_ZTMain;
    for (int i = 0; i < p->nEmp; i++)
        if (p->pEmpList[i].iOrdinal == ZHANG)
            p->pLoginEmp = &p->pEmpList[i];
    ASSERT_EQ(p->pLoginEmp->iOrdinal, ZHANG);
    Open(MAINPOS_HOUSE, IDM_HOUSE_FOLLOW, "ZT_CHILD_HOU_F");
    EXPECT_EQ(Listed(), Keys{F_H1});                        // h1 is hers, h2 王五's
    Click(IDC_FOLLOW_CLEAR);
    EXPECT_EQ(Listed(), (Keys{F_H1, F_H1_OLD}));
    SendMessageA(Box(IDC_FOLLOW_BR), CB_SETCURSEL, 1, 0);   // 二部 wrote nothing on her houses
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Listed(), Keys{});
    Shell_Command(frame, IDM_CLIENT_FOLLOW);
    w = Module_Of(hwnd = Frame_FindChild("ZT_CHILD_CLI_F"));
    Settle();
    ASSERT_NE(w, nullptr);
    Click(IDC_FOLLOW_CLEAR);
    EXPECT_EQ(Listed(), Keys{F_C1});                        // c1 is hers, c2 王五's
    // Without the house list at all, no house follow-up.
    Shell_DestroyFrame(frame);
    Wd_Grant("1C" "0H");
    frame = Shell_CreateFrame();
    Shell_Command(frame, IDM_HOUSE_FOLLOW);
    w = Module_Of(hwnd = Frame_FindChild("ZT_CHILD_HOU_F"));
    Settle();
    ASSERT_NE(w, nullptr);
    Click(IDC_FOLLOW_CLEAR);
    EXPECT_EQ(Listed(), Keys{});
}

// ---- On the demo data a newcomer sees -----------------------------------------------------

class FollowDemoTest : public FollowWindowTest {
protected:
    static void SetUpTestSuite()
    {
        DbFix_OpenDemo("kelmora_follow_demo");
        Shell_Setup();
        tagZT_Main_Param* p = &g_ZTMain;
        p->hInst = GetModuleHandleA(nullptr);
        Startup_LoadLists(p);
        LogInAdministrator();
        ASSERT_EQ(Startup_Phase2(p, nullptr), 1);
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    static void LogInAdministrator()
    {
        tagZT_Main_Param* p = &g_ZTMain;
        p->pLoginEmp = static_cast<tagEMPLIST*>(FindEmp(p->pEmpList, nullptr, 1, nullptr, p->nEmp, sizeof(tagEMPLIST), 0));
        ASSERT_NE(p->pLoginEmp, nullptr);
        p->pLoginBr = static_cast<tagBRLIST*>(FindBr(p->pBrList, nullptr, p->pLoginEmp->iBr, nullptr, p->nBr,
                                                     sizeof(tagBRLIST)));
    }
    void SetUp() override
    {
        Shell_Setup();    // every right
        LogInAdministrator();
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    // Chooses an item of the open list with the keys, as a user does.
    void ChooseWithKeys(HWND edit, int item)
    {
        for (int i = 0; i <= item; i++)
            Ui_Key(edit, VK_DOWN);
        Ui_Key(edit, VK_RETURN);
        Ui_Pump(100);
    }
};

TEST_F(FollowDemoTest, AnEstateTypedByItsInitialsListsItsHousesFollowUps)
{
    const auto top = TestDb_Query(
        "select e.szEstate, e.szSpell, count(*) from t_follow f join t_house h on h.iOrdinal = f.iHou"
        " join t_estate e on e.iOrdinal = h.iEst where f.bRecyle = 0 and h.bRecyle = 0"
        " group by e.iOrdinal order by count(*) desc, e.iOrdinal limit 1");
    ASSERT_EQ(top.size(), 1u);
    const std::string name = top[0][0], all = TestDb_Scalar(
        "select count(*) from t_follow f join t_house h on h.iOrdinal = f.iHou where f.bRecyle = 0 and h.bRecyle = 0");
    std::string initials = top[0][1];
    for (char& c : initials)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));

    Open(MAINPOS_HOUSE, IDM_HOUSE_FOLLOW, "ZT_CHILD_HOU_F");
    Click(IDC_FOLLOW_CLEAR);
    EXPECT_EQ(Count(), all);
    HWND est = Box(IDC_FOLLOW_ESTATE);
    POINT pt = Ui_Centre(est);
    Ui_Click(pt.x, pt.y);
    HWND edit = GetFocus();
    ASSERT_TRUE(edit && IsChild(est, edit));
    Ui_Type(edit, initials.c_str());
    for (int i = 0; i < 50 && Ui_Text(est) != initials; i++)
        Ui_Pump(20);
    EstateBox_Settle(est);
    Texts items = Items(IDC_FOLLOW_ESTATE);
    auto at = std::find(items.begin(), items.end(), name);
    ASSERT_NE(at, items.end()) << initials;
    Ui_Screenshot("follow-house");
    ChooseWithKeys(edit, static_cast<int>(at - items.begin()));
    EXPECT_EQ(Ui_Text(est), name);
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Count(), top[0][2]);
    for (int key : Listed())
        EXPECT_EQ(Follow_GridCell(w->hGrid, key, 4), name) << key;
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

TEST_F(FollowDemoTest, TheDemoClientsGradesAreTheListedOnes)
{
    const std::string urgent = TestDb_Scalar(
        "select count(*) from t_follow f join t_client c on c.iOrdinal = f.iCli where f.bRecyle = 0 and c.bRecyle = 0"
        " and c.szLevel = 'A级(急需)'");
    ASSERT_NE(urgent, "0");
    Open(MAINPOS_CLIENT, IDM_CLIENT_FOLLOW, "ZT_CHILD_CLI_F");
    Click(IDC_FOLLOW_CLEAR);
    ASSERT_EQ(Items(IDC_FOLLOW_LEVEL).at(0), "A级(急需)");
    SendMessageA(Box(IDC_FOLLOW_LEVEL), CB_SETCURSEL, 0, 0);
    Click(IDC_FOLLOW_FIND);
    EXPECT_EQ(Count(), urgent);
    for (int key : Listed())
        EXPECT_EQ(Follow_GridCell(w->hGrid, key, 5), "A级(急需)") << key;
    Ui_Screenshot("follow-client");
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

}  // namespace
