// The house edit dialog driven as an agent drives it, on the demo data set
// with the real server: a house added from the house list (estate typed,
// building and room picked, prices giving the averages, a hostile text in
// every box), a refused duplicate that keeps what was typed, then the
// house modified (telephones revealed with and without the right that
// spares the follow-up, the price changed) and the navigator walked.
#include "tests/support/window_driver.h"
#include "common/date.h"
#include "tests/data_listings/listings_support.h"
#include "tests/startup/startup_support.h"
#include "app/listings/house_dialog.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/follow_ids.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "cipher/cipher.h"
#include "common/gbk.h"
#include "db/dbtool.h"
#include "outside/popedom/ZTPopedom.h"

#include <commctrl.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kReconnectPrompt[] = "选择\"是\"重新连接\n选择\"否\"1分钟后重新连接\r建议确认服务器正常运行下,请选择\"是\"";

// A text as a field of cb bytes keeps it.
std::string Cut(const std::string& s, size_t cb)
{
    return s.substr(0, Gbk_CutLen(s.c_str(), s.size(), cb - 1));
}

std::string Stored(const char* plain)
{
    char buf[300] = "";
    strcpy(buf, plain);
    CipherText("", buf, CIPHER_ENCODE);
    return buf;
}

class HouseDialogTest : public DemoWindowTest {
protected:
    HWND hwnd = nullptr;
    ZT_MODWIN* w = nullptr;
    static void SetUpTestSuite() { OpenDemo("kelmora_house_dlg"); }
    void SetUp() override
    {
        DemoWindowTest::SetUp();
        hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
        ASSERT_NE(hwnd, nullptr);
        w = Module_Of(hwnd);
        ASSERT_TRUE(w->bLoaded);
    }
    void Settle() { Wd_Settle(w); }
    static size_t Boxes(const std::string& text) { return Wd_Boxes(text); }
    // Runs a command of the house window (0: a double click on the
    // selected row) while driver works the dialog.
    void Drive(int cmd, const char* caption, const std::function<void(HWND)>& driver)
    {
        Wd_DriveDialog([&] { cmd ? (void)SendMessageA(hwnd, WM_COMMAND, cmd, 0) : Wd_GridDoubleClick(w); }, caption,
                       driver);
        Settle();
    }
    const tagHOUSE* Selected() { return static_cast<const tagHOUSE*>(Module_Selected(w)); }
};

HWND Item(HWND dlg, int id)
{
    return GetDlgItem(dlg, id);
}

void Set(HWND dlg, int id, const std::string& text)
{
    SendMessageA(Item(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string Text(HWND dlg, int id)
{
    return Ui_Text(Item(dlg, id));
}

// Clicks into a box with the mouse (the focus moves there).
void ClickInto(HWND dlg, int id)
{
    RECT r = Ui_WindowRect(Item(dlg, id));
    Ui_Click(r.left + 8, (r.top + r.bottom) / 2);
    Sleep(120);
}

void ClickNav(HWND dlg, int cmd)
{
    HWND tb = Item(dlg, IDC_HD_NAV);
    RECT r;
    ASSERT_TRUE(SendMessageA(tb, TB_GETRECT, cmd, reinterpret_cast<LPARAM>(&r)));
    MapWindowPoints(tb, nullptr, reinterpret_cast<POINT*>(&r), 2);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(150);
}

int Count(HWND box)
{
    return static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
}

// The estate, building and room of the add scenario.
const char kEstate[] = "嘉绿苑";

TEST_F(HouseDialogTest, AnAgentAddsAHouseWithHostileTextsAndADuplicateKeepsWhatWasTyped)
{
    tagZT_Main_Param* p = &g_ZTMain;
    const tagESTLIST* est = FindEstList(p->pEstList, nullptr, 0, kEstate, p->nEst);
    ASSERT_NE(est, nullptr);
    int rows = Shell_GridRows(w->hGrid);
    long long houses = TestDb_Count("t_house");
    const std::string hostile = HostileText() + std::string(300, 'x');
    const int kTexts[] = {IDC_HD_TOWARD, IDC_HD_DECORATION, IDC_HD_LAYOUT, IDC_HD_STATUSQUO, IDC_HD_LOOK,
                          IDC_HD_SIGN,   IDC_HD_MORTGAGE,   IDC_HD_PARK,   IDC_HD_PPTSOURCE, IDC_HD_CITIZEN,
                          IDC_HD_REMARK, IDC_HD_OWNER,      IDC_HD_LINKMAN, IDC_HD_ROOMTYPE};
    char today[16];
    Date_Today(today, sizeof(today));

    Drive(ID_HOUSE_ADD, "增加房源", [&](HWND dlg) {
        // The fill threads: the lists and the add form's defaults.
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_EMP) == "管理员" && Count(Item(dlg, IDC_HD_TRADE)) > 0; }));
        EXPECT_EQ(Text(dlg, IDC_HD_BR), "总店");
        EXPECT_EQ(Text(dlg, IDC_HD_NUM), "自动生成");
        EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_HD_NUM)));
        EXPECT_EQ(Text(dlg, IDC_HD_DELEGATE), today);
        EXPECT_FALSE(Ui_Visible(Item(dlg, IDC_HD_SHOWTEL)));
        EXPECT_TRUE(Ui_Visible(Item(dlg, IDC_HD_ADDMORE)));
        EXPECT_EQ(Text(dlg, IDOK), "增加(&S)");

        for (int id : kTexts)
            Set(dlg, id, hostile);
        // A number too large for its field, a date that is none, then the
        // checks in their order: each names its box and the dialog stays.
        Set(dlg, IDC_HD_SALES, "99999999999");
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("「售价」的数值太大, 最大 2147483647") == 1; }));
        EXPECT_EQ(St_Focus(GetWindowThreadProcessId(dlg, nullptr)), Item(dlg, IDC_HD_SALES));
        Set(dlg, IDC_HD_SALES, "");
        Set(dlg, IDC_HD_BUY, hostile);
        St_Click(Item(dlg, IDOK));
        // One wording for every date box, its example today's date.
        EXPECT_TRUE(St_WaitFor([&] {
            return Boxes(std::string("「购房日期」不是有效的日期, 请按 年-月-日 输入, 如 ") + today) == 1;
        }));
        Set(dlg, IDC_HD_BUY, "");
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("请选择楼盘") == 1; }));

        // The estate typed: its address, urban area, ring zone, district and buildings.
        Set(dlg, IDC_HD_ESTATE, kEstate);
        EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_BUILDNO)) == 4; }));
        EXPECT_EQ(Text(dlg, IDC_HD_ADDRESS), est->szAddress);
        EXPECT_EQ(Text(dlg, IDC_HD_URBAN), "西湖区");
        EXPECT_EQ(Text(dlg, IDC_HD_RING), est->szRingArea);
        EXPECT_EQ(Text(dlg, IDC_HD_DIST), est->szDist);
        EXPECT_EQ(Text(dlg, IDC_HD_HPC), "西0000000000");
        EXPECT_EQ(Count(Item(dlg, IDC_HD_DIST)), 3);
        // Building 4 (the last one listed) and its rooms; room 0102 gives floor 01.
        Set(dlg, IDC_HD_BUILDNO, "4");
        ClickInto(dlg, IDC_HD_BUILDNO);
        ClickInto(dlg, IDC_HD_HOUSENO);
        EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_HOUSENO)) > 0; }));
        const std::string floors = Text(dlg, IDC_HD_FLOORT);
        EXPECT_TRUE(floors == "6" || floors == "11" || floors == "28") << floors;
        EXPECT_EQ(Count(Item(dlg, IDC_HD_HOUSENO)), std::min(99, atoi(floors.c_str()) * 4));
        // (The open room list covers the boxes below it: the click goes to the left column.)
        Set(dlg, IDC_HD_HOUSENO, "0102");
        ClickInto(dlg, IDC_HD_FLOORT);
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_FLOOR) == "01"; }));
        EXPECT_EQ(Text(dlg, IDC_HD_HOUSENO), "0102");
        // Area 80 and 200 万元 for sale: 25,000 yuan per square metre.
        Set(dlg, IDC_HD_TRADE, "出售");
        EXPECT_NE(SendMessageA(Item(dlg, IDC_HD_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        Set(dlg, IDC_HD_AREA, "80");
        Set(dlg, IDC_HD_SALES, "200");
        ClickInto(dlg, IDC_HD_SALES);
        ClickInto(dlg, IDC_HD_RENT);
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_SALESAVE) == "25000"; }));
        // The owner's telephone is required (option), then given.
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("业主电话和联系电话不能同时为空") == 1; }));
        Set(dlg, IDC_HD_OWNERTEL, "13900001111");
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    // The new row is in the grid, selected, and stored as typed (cut to its fields).
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows + 1);
    EXPECT_EQ(TestDb_Count("t_house"), houses + 1);
    const tagHOUSE* h = Selected();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->iEst, est->iOrdinal);
    EXPECT_STREQ(h->szHouseNO, "0102");
    EXPECT_STREQ(h->szFloor, "01");
    EXPECT_EQ(h->iSalesAve, 25000);
    const int key = h->iOrdinal;
    auto row = TestDb_Query("select szRemark, szOwnerMan, szLinkMan, szToward, szCitizen, szRoomType, szOwnerTel,"
                            " szHouseNum, iEmp, iBr, szBuildNO, dDelegate, iSales, szTrade, szHPC from t_house"
                            " where iOrdinal = " + std::to_string(key));
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0][0], Cut(hostile, 257));
    EXPECT_EQ(row[0][1], Cut(hostile, 257));
    EXPECT_EQ(row[0][2], Cut(hostile, 26));
    EXPECT_EQ(row[0][3], Cut(hostile, 17));
    EXPECT_EQ(row[0][4], Cut(hostile, 17));
    EXPECT_EQ(row[0][5], Cut(hostile, 12));
    EXPECT_EQ(row[0][6], Stored("13900001111"));
    EXPECT_EQ(row[0][7], std::string(8 - std::to_string(key).size(), '0') + std::to_string(key));
    EXPECT_EQ(row[0][8] + "/" + row[0][9], "1/" + std::to_string(p->pLoginBr->iOrdinal));
    EXPECT_EQ(row[0][10] + "/" + row[0][11] + "/" + row[0][12] + "/" + row[0][13] + "/" + row[0][14],
              "4/" + std::string(today) + "/200/出售/西0000000000");
    // No other row took any of it.
    int same = 0;
    for (const auto& r : TestDb_Query("select szRemark, szOwnerMan from t_house"))
        same += r[0] == Cut(hostile, 257) || r[1] == Cut(hostile, 257);
    EXPECT_EQ(same, 1);

    // Adding the same room again: the library refuses, the form keeps what was typed.
    TestBoxes_Reset();
    Drive(ID_HOUSE_ADD, "增加房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_EMP) == "管理员"; }));
        // "增加楼盘" needs a known urban area.
        St_Click(Item(dlg, IDC_HD_ADDESTATE));
        Set(dlg, IDC_HD_URBAN, "无此城区");
        St_Click(Item(dlg, IDC_HD_ADDESTATE));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("请选择城区") == 1 && Boxes("城区错误") == 1; }));
        Set(dlg, IDC_HD_ESTATE, kEstate);
        EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_BUILDNO)) == 4; }));
        Set(dlg, IDC_HD_BUILDNO, "4");
        Set(dlg, IDC_HD_HOUSENO, "0102");
        Set(dlg, IDC_HD_TRADE, "出租");
        Set(dlg, IDC_HD_AREA, "80");
        Set(dlg, IDC_HD_RENT, "2400");
        Set(dlg, IDC_HD_LINKTEL, "0571-88886666");
        Set(dlg, IDC_HD_REMARK, "second try");
        Set(dlg, IDC_HD_OWNER, "王先生");
        Set(dlg, IDC_HD_ROOMTYPE, "2/1/1");
        Set(dlg, IDC_HD_TOWARD, "南北");
        // The registering branch and employee must be known ones.
        Set(dlg, IDC_HD_BR, HostileText());
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("「登记员工」的部门不存在, 请选择部门") == 1; }));
        Set(dlg, IDC_HD_BR, "总店");
        Set(dlg, IDC_HD_EMP, "刘洋");    // of the other branch
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("「登记员工」不是该部门的员工, 请选择员工") == 1; }));
        Set(dlg, IDC_HD_EMP, "管理员");
        TestBoxes_Reset();
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() >= 1; }));
        Sleep(300);
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_EQ(Text(dlg, IDC_HD_REMARK) + Text(dlg, IDC_HD_RENT) + Text(dlg, IDC_HD_HOUSENO), "second try24000102");
        // Leaving with unsaved changes asks first: "是" tries the save again,
        // which the library refuses again, so the form stays; "否" drops them.
        TestBoxes_Answer(IDYES);
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("数据已修改, 是否保存?") == 1 && TestBoxes_Count() >= 2; }));
        Sleep(300);
        EXPECT_TRUE(IsWindow(dlg));
        TestBoxes_Answer(IDNO);
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
        EXPECT_EQ(Boxes("数据已修改, 是否保存?"), 2u);
    });
    EXPECT_EQ(TestDb_Count("t_house"), houses + 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows + 1);
}

TEST_F(HouseDialogTest, RevealingTelephonesOwesAFollowUpUnlessTheRightSparesIt)
{
    tagZT_Main_Param* p = &g_ZTMain;
    ASSERT_EQ(p->sys.bHouCipher, 1);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    Ui_Pump(100);
    const tagHOUSE* h = Selected();
    ASSERT_NE(h, nullptr);
    const int key = h->iOrdinal;
    const std::string ownerTel = h->szOwnerTel, linkTel = h->szLinkTel;
    char plain[300];
    strcpy(plain, ownerTel.c_str());
    CipherText("", plain, CIPHER_DECODE);
    long long follows = TestDb_Count("t_follow where iHou = " + std::to_string(key));

    // With right 14: revealing owes nothing; the stored telephones stay as they were.
    Drive(0, "修改房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) == "******" && !Text(dlg, IDC_HD_ESTATE).empty(); }));
        EXPECT_EQ(Text(dlg, IDC_HD_LINKMAN), "******");
        EXPECT_TRUE(Ui_Visible(Item(dlg, IDC_HD_SHOWTEL)));
        EXPECT_FALSE(Ui_Visible(Item(dlg, IDC_HD_ADDMORE)));
        St_Click(Item(dlg, IDC_HD_SHOWTEL));
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) == plain; }));
        Ui_Screenshot("house-modify");
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Count("t_follow where iHou = " + std::to_string(key)), follows);

    // Without it: the price changed and saved, then the follow-up that
    // cannot be skipped; the telephones stored are untouched.
    p->W16 &= ~(1u << 14);
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) == "******" && !Text(dlg, IDC_HD_ESTATE).empty(); }));
        St_Click(Item(dlg, IDC_HD_SHOWTEL));
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) == plain; }));
        Set(dlg, IDC_HD_TRADE, "出售");
        Set(dlg, IDC_HD_SALES, "321");
        St_Click(Item(dlg, IDOK));
        HWND fol = St_WaitWindow(GetWindowThreadProcessId(dlg, nullptr), "#32770", "房源跟进");
        ASSERT_NE(fol, nullptr);
        EXPECT_EQ(Text(fol, IDC_FW_WHY), "您查看了这条房源的电话, 请写下这次联系的跟进");
        St_Click(GetDlgItem(fol, IDCANCEL));    // refused, saying why
        EXPECT_TRUE(IsWindow(fol));
        SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), "看了电话, 约周六看房");
        St_Click(GetDlgItem(fol, IDOK));
        EXPECT_TRUE(St_WaitGone(fol));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Scalar("select concat(iSales, '/', szTrade, '/', szOwnerTel = '" + ownerTel + "', '/', szLinkTel = '" +
                            linkTel + "') from t_house where iOrdinal = " + std::to_string(key)),
              "321/出售/1/1");
    EXPECT_EQ(TestDb_Count("t_follow where iHou = " + std::to_string(key)), follows + 1);
    h = Selected();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->iOrdinal, key);
    EXPECT_EQ(h->iSales, 321);
    EXPECT_EQ(std::string(h->dtFollow), TestDb_Scalar("select max(dtFollow) from t_follow where iHou = " + std::to_string(key)));
    EXPECT_EQ(Boxes("您查看了电话, 须写跟进后才能离开"), 1u);
    EXPECT_EQ(Boxes("必须写跟进,才能保存"), 0u);
}

// Masked, a name or telephone that is stored reads "******"; one that is
// not reads empty, and what is typed there is stored (nothing was hidden).
TEST_F(HouseDialogTest, AnEmptyContactShowsEmptyWhereAStoredOneKeepsItsMask)
{
    ASSERT_EQ(g_ZTMain.sys.bHouCipher, 1);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    Ui_Pump(100);
    tagHOUSE* h = const_cast<tagHOUSE*>(Selected());
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(h->szOwnerMan[0] && h->szOwnerTel[0]);
    const std::string k = std::to_string(h->iOrdinal), ownerTel = h->szOwnerTel;
    const std::string man = h->szLinkMan, tel = h->szLinkTel;
    TestDb_Exec("update t_house set szLinkMan = '', szLinkTel = '' where iOrdinal = " + k);
    h->szLinkMan[0] = 0;
    h->szLinkTel[0] = 0;
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) == "******" && !Text(dlg, IDC_HD_ESTATE).empty(); }));
        EXPECT_EQ(Text(dlg, IDC_HD_OWNER), "******");
        EXPECT_EQ(Text(dlg, IDC_HD_LINKMAN), "");
        EXPECT_EQ(Text(dlg, IDC_HD_LINKTEL), "");
        SetWindowTextA(Item(dlg, IDC_HD_LINKMAN), "李四");
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Scalar("select concat(szLinkMan, '/', szLinkTel, '/', szOwnerTel = '" + ownerTel +
                            "') from t_house where iOrdinal = " + k),
              "李四//1");
    EXPECT_EQ(TestBoxes_Count(), 0u);
    // The demo house as it was, for the tests after this one.
    TestDb_Exec("update t_house set szLinkMan = '" + man + "', szLinkTel = '" + tel + "' where iOrdinal = " + k);
}

TEST_F(HouseDialogTest, TheNavigatorWalksTheListAndAnUnchangedFormSavesNothing)
{
    // A house with a follow-up time (which the form does not edit).
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    for (int i = 0; i < 20 && Selected() && !Selected()->dtFollow[0]; i++)
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    Ui_Pump(100);
    const tagHOUSE* first = Selected();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->dtFollow[0], '\0');
    tagHOUSE before = *first;
    std::string update = TestDb_Scalar("select dtUpdate from t_house where iOrdinal = " + std::to_string(first->iOrdinal));
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return !Text(dlg, IDC_HD_ESTATE).empty(); }));
        EXPECT_EQ(Text(dlg, IDC_HD_HOUSENO), before.szHouseNO);
        // Next: the selection and the form move together.
        ClickNav(dlg, ID_HOUSE_NAV_NEXT);
        EXPECT_TRUE(St_WaitFor([&] { return Selected() != nullptr && Selected()->iOrdinal != before.iOrdinal; }));
        const tagHOUSE* second = Selected();
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_HOUSENO) == second->szHouseNO &&
                                            Text(dlg, IDC_HD_BUILDNO) == second->szBuildNO; }));
        // Unsaved changes: "取消" stays on the record, "否" moves on.
        TestBoxes_Reset();
        Set(dlg, IDC_HD_REMARK, "changed but not kept");
        TestBoxes_Answer(IDCANCEL);
        ClickNav(dlg, ID_HOUSE_NAV_FIRST);
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 1; }));
        EXPECT_EQ(Selected(), second);
        TestBoxes_Answer(IDNO);
        ClickNav(dlg, ID_HOUSE_NAV_FIRST);
        EXPECT_TRUE(St_WaitFor([&] { return Selected() && Selected()->iOrdinal == before.iOrdinal; }));
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_REMARK) == before.szRemark; }));
        // Unchanged (the follow-up time is kept, not cleared): nothing to save.
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(Boxes("未做修改"), 1u);
    EXPECT_EQ(TestDb_Scalar("select dtUpdate from t_house where iOrdinal = " + std::to_string(before.iOrdinal)), update);
    EXPECT_EQ(memcmp(Selected(), &before, sizeof(before)), 0);
}

}  // namespace

namespace {

// The boxes show a house at once, from the list's record, before the form
// takes any input; only its estate's buildings wait for the server, and
// their arrival replaces no box the user has typed into.
TEST_F(HouseDialogTest, TheFormShowsItsHouseAtOnceAndWhatIsTypedIsNeverOverwritten)
{
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    Ui_Pump(100);
    ASSERT_NE(Selected(), nullptr);
    const tagHOUSE first = *Selected();
    const std::string remark =
        TestDb_Scalar("select szRemark from t_house where iOrdinal = " + std::to_string(first.iOrdinal));
    tagHOUSE second = {};
    // The buildings cannot be read while another connection holds their table.
    TestDb_Exec("lock tables t_buildno write");
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        EXPECT_EQ(Text(dlg, IDC_HD_HOUSENO) + "/" + Text(dlg, IDC_HD_BUILDNO), std::string(first.szHouseNO) + "/" +
                                                                             first.szBuildNO);
        EXPECT_EQ(Count(Item(dlg, IDC_HD_BUILDNO)), 0);
        // The navigator's next house, the same way.
        ClickNav(dlg, ID_HOUSE_NAV_NEXT);
        EXPECT_TRUE(St_WaitFor([&] { return Selected() && Selected()->iOrdinal != first.iOrdinal; }));
        second = *Selected();
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_HOUSENO) == second.szHouseNO; }, 1000));
        // Typed while the buildings still load; the server then answers.
        ClickInto(dlg, IDC_HD_REMARK);
        SendMessageA(Item(dlg, IDC_HD_REMARK), EM_SETSEL, 0, -1);
        Ui_RealType("typed while loading");
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_REMARK) == "typed while loading"; }));
        TestDb_Exec("unlock tables");
        EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_BUILDNO)) > 0; }));
        Sleep(200);
        EXPECT_EQ(Text(dlg, IDC_HD_REMARK), "typed while loading");
        EXPECT_EQ(Text(dlg, IDC_HD_HOUSENO), second.szHouseNO);
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    TestDb_Exec("unlock tables");
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Scalar("select szRemark from t_house where iOrdinal = " + std::to_string(first.iOrdinal)), remark);
    EXPECT_EQ(TestDb_Scalar("select szRemark from t_house where iOrdinal = " + std::to_string(second.iOrdinal)),
              "typed while loading");
    ASSERT_NE(Selected(), nullptr);
    EXPECT_EQ(Selected()->iOrdinal, second.iOrdinal);
    EXPECT_STREQ(Selected()->szRemark, "typed while loading");
}

TEST_F(HouseDialogTest, TheFormTakesTypingWhileAnEstatesBuildingsWaitForTheServer)
{
    // Two estates with buildings: the one typed first and the one typed last.
    tagZT_Main_Param* p = &g_ZTMain;
    std::string last;
    for (int i = 0; i < p->nEst && last.empty(); i++) {
        const tagESTLIST& e = p->pEstList[i];
        if (e.iOrdinal && strcmp(e.szEstate, kEstate) != 0 &&
            TestDb_Count("t_buildno where iEst = " + std::to_string(e.iOrdinal)) > 0)
            last = e.szEstate;
    }
    ASSERT_FALSE(last.empty());
    Drive(ID_HOUSE_ADD, "增加房源", [&](HWND dlg) {
        ASSERT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_EMP) == "管理员"; }));
        // Buildings cannot be read while another connection holds their
        // table: the first estate's load waits, and so does the second's.
        TestDb_Exec("lock tables t_buildno write");
        Set(dlg, IDC_HD_ESTATE, kEstate);
        DWORD_PTR r = 0;
        BOOL answered = SendMessageTimeoutA(Item(dlg, IDC_HD_ESTATE), WM_SETTEXT, 0,
                                            reinterpret_cast<LPARAM>(last.c_str()), SMTO_NORMAL, 1500, &r) != 0;
        // The form still takes what is typed.
        PostMessageA(Item(dlg, IDC_HD_REMARK), WM_CHAR, 'x', 0);
        bool typed = St_WaitFor([&] { return Text(dlg, IDC_HD_REMARK) == "x"; }, 1500);
        TestDb_Exec("unlock tables");
        EXPECT_TRUE(answered);
        EXPECT_TRUE(typed);
        // Once the server answers, the building box lists the last estate's.
        EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_BUILDNO)) > 0; }));
        EXPECT_EQ(Text(dlg, IDC_HD_ESTATE), last);
        TestBoxes_Answer(IDNO);
    });
}

TEST_F(HouseDialogTest, MovingAHouseToAnotherBranchKeepsItsListingNumber)
{
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    for (int i = 0; i < 20 && Selected() && Selected()->iBr != 1; i++)
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    Ui_Pump(100);
    ASSERT_TRUE(Selected() && Selected()->iBr == 1);
    const std::string key = std::to_string(Selected()->iOrdinal);
    const std::string number = TestDb_Scalar("select szHouseNum from t_house where iOrdinal = " + key);
    ASSERT_FALSE(number.empty());
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        // Shown with the head office's prefix; the box is not editable.
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_NUM).compare(0, 2, "ZF") == 0; }));
        EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_HD_NUM)));
        Set(dlg, IDC_HD_BR, "文三路店");
        Set(dlg, IDC_HD_EMP, "刘洋");
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Scalar("select concat(b.szBr, '/', e.szEmp) from t_house h join t_branch b on b.iOrdinal = h.iBr "
                            "join t_employee e on e.iOrdinal = h.iEmp where h.iOrdinal = " + key),
              "文三路店/刘洋");
    EXPECT_EQ(TestDb_Scalar("select szHouseNum from t_house where iOrdinal = " + key), number)
        << "the shown number with the old branch's prefix is the stored number";
    EXPECT_EQ(std::string(Selected()->szHouseNum), number);
}

TEST_F(HouseDialogTest, AddAndContinueStaysOpenAndAFollowUpIsWrittenFromTheModifyForm)
{
    int rows = Shell_GridRows(w->hGrid);
    Drive(ID_HOUSE_ADD, "增加房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_EMP) == "管理员"; }));
        Set(dlg, IDC_HD_ESTATE, kEstate);
        EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_BUILDNO)) == 4; }));
        Set(dlg, IDC_HD_BUILDNO, "2");
        Set(dlg, IDC_HD_HOUSENO, "0303");
        Set(dlg, IDC_HD_TRADE, "出租");
        Set(dlg, IDC_HD_AREA, "60");
        Set(dlg, IDC_HD_RENT, "1800");
        Set(dlg, IDC_HD_LINKTEL, "13700002222");
        Set(dlg, IDC_HD_DELEGATE, "2026-01-02");
        Set(dlg, IDC_HD_ROOMTYPE, "1/1/1");
        Set(dlg, IDC_HD_TOWARD, "南");
        Set(dlg, IDC_HD_OWNER, "王先生");
        Set(dlg, IDC_HD_REMARK, "拎包入住, 近地铁");
        Ui_Screenshot("house-add");
        // Saved, and the form stays with its values and fresh defaults.
        St_Click(Item(dlg, IDC_HD_ADDMORE));
        EXPECT_TRUE(St_WaitFor([&] { return Shell_GridRows(w->hGrid) == rows + 1; }));
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_DELEGATE) != "2026-01-02"; }));
        EXPECT_EQ(Text(dlg, IDC_HD_ESTATE) + Text(dlg, IDC_HD_HOUSENO) + Text(dlg, IDC_HD_RENT), std::string(kEstate) + "03031800");
        Set(dlg, IDC_HD_HOUSENO, "0304");
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows + 2);
    EXPECT_EQ(TestDb_Count("t_house where szHouseNO in ('0303', '0304') and szBuildNO = '2'"), 2);
    const tagHOUSE* h = Selected();
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(h->szHouseNO, "0304");
    const int key = h->iOrdinal;

    // "写跟进" in the modify form saves changes first (here there are none:
    // nothing is saved and nothing said), then this follow-up may be
    // cancelled; a written one shows in the form's list and becomes the
    // house's follow-up time.
    const std::string updated = TestDb_Scalar("select dtUpdate from t_house where iOrdinal = " + std::to_string(key));
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_HOUSENO) == "0304"; }));
        DWORD tid = GetWindowThreadProcessId(dlg, nullptr);
        Sleep(1000);    // a save now would change the update time
        St_Click(Item(dlg, IDC_HD_WRITEFOLLOW));
        HWND fol = St_WaitWindow(tid, "#32770", "房源跟进");
        ASSERT_NE(fol, nullptr);
        St_Click(GetDlgItem(fol, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(fol));
        St_Click(Item(dlg, IDC_HD_WRITEFOLLOW));
        fol = St_WaitWindow(tid, "#32770", "房源跟进");
        ASSERT_NE(fol, nullptr);
        SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), "业主同意周末看房");
        St_Click(GetDlgItem(fol, IDOK));
        EXPECT_TRUE(St_WaitGone(fol));
        EXPECT_TRUE(St_WaitFor([&] { return Shell_GridRows(Item(dlg, IDC_HD_FOLLOWS)) == 1; }));
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Count("t_follow where iHou = " + std::to_string(key)), 1);
    EXPECT_EQ(std::string(Selected()->dtFollow), TestDb_Scalar("select dtFollow from t_follow where iHou = " + std::to_string(key)));
    EXPECT_EQ(TestDb_Scalar("select dtUpdate from t_house where iOrdinal = " + std::to_string(key)), updated);
    EXPECT_EQ(TestBoxes_Count(), 0u) << "no \"未做修改\" before a follow-up";
}

// Fills the add form with a house in building 2 of the demo estate.
void FillNewHouse(HWND dlg, const char* room)
{
    EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_EMP) == "管理员"; }));
    Set(dlg, IDC_HD_ESTATE, kEstate);
    EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_BUILDNO)) == 4; }));
    Set(dlg, IDC_HD_BUILDNO, "2");
    Set(dlg, IDC_HD_HOUSENO, room);
    Set(dlg, IDC_HD_TRADE, "出售");
    Set(dlg, IDC_HD_AREA, "89");
    Set(dlg, IDC_HD_SALES, "268");
    Set(dlg, IDC_HD_OWNERTEL, "13588886666");
    Set(dlg, IDC_HD_REMARK, "南北通透, 满五唯一");
}

TEST_F(HouseDialogTest, ASaveCutOffStoresNothingTheLibrarySaysSoOnceAndTheFormKeepsWhatWasTyped)
{
    const std::string room = "t_house where szBuildNO = '2' and szHouseNO = '0908'";
    int rows = Shell_GridRows(w->hGrid);
    Drive(ID_HOUSE_ADD, "增加房源", [&](HWND dlg) {
        FillNewHouse(dlg, "0908");
        TestBoxes_Reset();
        {
            // The server dies between the house's key row and its values.
            Gate gate("t_house", "update");
            St_Click(Item(dlg, IDOK));
            ASSERT_NE(gate.Reached(), "");
            KillServer();
            TestDb_ServerStart();
        }
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() >= 1; }, 8000));
        Sleep(300);
        TestBoxes_ExpectOnly("保存失败,房源没有保存,可以再次保存.");
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_EQ(Text(dlg, IDC_HD_HOUSENO) + "/" + Text(dlg, IDC_HD_SALES) + "/" + Text(dlg, IDC_HD_REMARK),
                  "0908/268/南北通透, 满五唯一");
        EXPECT_EQ(TestDb_Count(room), 0);
        // Saving again is a new insert, not refused as a duplicate.
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestDb_Count(room), 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows + 1);

    // A change whose log row is cut off: one box (the library's), the form
    // keeps the change, the stored house is as it was.
    ASSERT_TRUE(Selected() && std::string(Selected()->szHouseNO) == "0908");
    const std::string key = std::to_string(Selected()->iOrdinal);
    TestBoxes_Reset();
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        Set(dlg, IDC_HD_REMARK, "降价急售");
        {
            Gate gate("t_log", "insert");
            St_Click(Item(dlg, IDOK));
            std::string id = gate.Reached();
            ASSERT_NE(id, "");
            TestDb_Exec("kill connection " + id);
        }
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() >= 1; }));
        Sleep(300);
        EXPECT_EQ(TestBoxes_Count(), 1u) << "no second box of the dialog's own";
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_EQ(Text(dlg, IDC_HD_REMARK), "降价急售");
        EXPECT_EQ(TestDb_Scalar("select szRemark from t_house where iOrdinal = " + key), "南北通透, 满五唯一");
        TestBoxes_Answer(IDNO);
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 0 and iAct = 2 and iObjID = " + key), 0);
    EXPECT_STREQ(Selected()->szRemark, "南北通透, 满五唯一");
}

TEST_F(HouseDialogTest, WithTheServerDownTheForcedFollowUpLetsTheUserGoAndIsAskedForAgain)
{
    g_ZTMain.W16 &= ~(1u << 14);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    Ui_Pump(100);
    ASSERT_NE(Selected(), nullptr);
    const std::string key = std::to_string(Selected()->iOrdinal);
    // Masked: the mask for a telephone stored, nothing for none.
    const std::string masked = Selected()->szOwnerTel[0] ? "******" : "";
    long long follows = TestDb_Count("t_follow where iHou = " + key);
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        DWORD tid = GetWindowThreadProcessId(dlg, nullptr);
        St_Click(Item(dlg, IDC_HD_SHOWTEL));
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) != "******"; }));
        TestDb_ServerStop();
        St_Click(Item(dlg, IDCANCEL));
        HWND fol = St_WaitWindow(tid, "#32770", "房源跟进");
        ASSERT_NE(fol, nullptr);
        SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), "看了电话, 服务器停了");
        TestBoxes_Reset();
        St_Click(GetDlgItem(fol, IDOK));
        // One box: the reconnection prompt, answered "No".
        EXPECT_TRUE(St_WaitFor([] { return Boxes(kReconnectPrompt) == 1; }, 15000));
        Sleep(300);
        EXPECT_EQ(Boxes("未连接到数据服务器,操作没有完成"), 0u);
        EXPECT_TRUE(IsWindow(fol));
        // Nothing could be stored: the user may go (the text is asked about).
        TestBoxes_Answer(IDNO);
        St_Click(GetDlgItem(fol, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(fol));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    TestDb_ServerStart();
    EXPECT_EQ(TestDb_Count("t_follow where iHou = " + key), follows);
    // The next opening of that house asks for the follow-up at once.
    TestBoxes_Reset();
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        HWND fol = St_WaitWindow(GetWindowThreadProcessId(dlg, nullptr), "#32770", "房源跟进");
        ASSERT_NE(fol, nullptr);
        EXPECT_EQ(Text(dlg, IDC_HD_OWNERTEL), masked);
        St_Click(GetDlgItem(fol, IDCANCEL));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("您查看了电话, 须写跟进后才能离开") == 1; }));
        SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), "补写: 已电话联系业主");
        St_Click(GetDlgItem(fol, IDOK));
        EXPECT_TRUE(St_WaitGone(fol));
        // Paid: leaving asks nothing more.
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Count("t_follow where iHou = " + key + " and szContent = '补写: 已电话联系业主'"), 1);
    EXPECT_EQ(TestDb_Count("t_follow where iHou = " + key), follows + 1);
    TestBoxes_Reset();
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        Sleep(400);
        EXPECT_EQ(St_WaitWindow(GetWindowThreadProcessId(dlg, nullptr), "#32770", "房源跟进", 300), nullptr);
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
}

TEST_F(HouseDialogTest, EveryCommandOfTheDialogAsksItsRightWhenItRuns)
{
    // Houses of every branch to view and add, but modify only the own; no
    // estate add, no follow-up add, no telephones to view.
    Wd_Grant("04" "08" "09" "0H" "3E");
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    for (int i = 0; i < 200 && Selected() && Selected()->iEmp == g_ZTMain.pLoginEmp->iOrdinal; i++)
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    Ui_Pump(100);
    ASSERT_TRUE(Selected() && Selected()->iEmp != g_ZTMain.pLoginEmp->iOrdinal);
    const tagHOUSE other = *Selected();
    const std::string key = std::to_string(other.iOrdinal);
    const std::string update = TestDb_Scalar("select dtUpdate from t_house where iOrdinal = " + key);
    Drive(ID_HOUSE_MODIFY, "修改房源", [&](HWND dlg) {
        DWORD tid = GetWindowThreadProcessId(dlg, nullptr);
        for (int id : {IDOK, IDC_HD_SHOWTEL, IDC_HD_WRITEFOLLOW, IDC_HD_ADDESTATE})
            EXPECT_FALSE(IsWindowEnabled(Item(dlg, id))) << id;
        // The commands arrive anyway (an accelerator, a posted command).
        Set(dlg, IDC_HD_REMARK, "no right to save this");
        for (int id : {IDOK, IDC_HD_SHOWTEL, IDC_HD_WRITEFOLLOW, IDC_HD_ADDESTATE})
            PostMessageA(dlg, WM_COMMAND, id, 0);
        EXPECT_TRUE(St_WaitFor([] { return Boxes("您没有写跟进的权限") == 1 && Boxes("您没有增加楼盘的权限") == 1; }));
        Sleep(300);
        EXPECT_EQ(St_WaitWindow(tid, "#32770", "房源跟进", 200), nullptr);
        EXPECT_EQ(St_WaitWindow(tid, "#32770", "增加楼盘", 200), nullptr);
        EXPECT_EQ(Text(dlg, IDC_HD_OWNERTEL), "******");
        EXPECT_TRUE(IsWindow(dlg));
        St_Click(Item(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestBoxes_Count(), 2u) << "leaving asked nothing: the user may not save those changes";
    EXPECT_EQ(TestDb_Scalar("select dtUpdate from t_house where iOrdinal = " + key), update);
}

// An agent whose add right is "本人" registers houses to herself only:
// the agent boxes of the add form show her and cannot be changed (though
// her modify field rights would let her change them on a house of hers),
// and a form that names another employee all the same is refused at save.
TEST_F(HouseDialogTest, ANewHouseGoesOnlyToAnAgentWithinTheAddersScope)
{
    Wd_Grant("04" "05" "0C" "0Y" "17" "15" "3E");
    long long houses = TestDb_Count("t_house");
    std::string other = TestDb_Scalar("select szEmp from t_employee where iBr <> " +
                                      std::to_string(g_ZTMain.pLoginEmp->iBr) + " order by iOrdinal limit 1");
    ASSERT_NE(other, "");
    Drive(ID_HOUSE_ADD, "增加房源", [&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_EMP) == "管理员" && Count(Item(dlg, IDC_HD_TRADE)) > 0; }));
        EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_HD_EMP)));
        EXPECT_FALSE(IsWindowEnabled(Item(dlg, IDC_HD_BR)));
        Set(dlg, IDC_HD_ESTATE, kEstate);
        EXPECT_TRUE(St_WaitFor([&] { return Count(Item(dlg, IDC_HD_BUILDNO)) == 4; }));
        Set(dlg, IDC_HD_BUILDNO, "3");
        Set(dlg, IDC_HD_HOUSENO, "0909");
        Set(dlg, IDC_HD_TRADE, "出售");
        Set(dlg, IDC_HD_AREA, "90");
        Set(dlg, IDC_HD_SALES, "150");
        Set(dlg, IDC_HD_OWNERTEL, "13900002222");
        // The boxes changed behind the form's back: another branch's agent.
        EnableWindow(Item(dlg, IDC_HD_EMP), TRUE);
        EnableWindow(Item(dlg, IDC_HD_BR), TRUE);
        Set(dlg, IDC_HD_BR, TestDb_Scalar("select b.szBr from t_branch b join t_employee e on e.iBr = b.iOrdinal "
                                          "where e.szEmp = '" + other + "'"));
        Set(dlg, IDC_HD_EMP, other);
        St_Click(Item(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("您只能登记到自己名下") == 1; }));
        EXPECT_TRUE(IsWindow(dlg));
        St_Click(Item(dlg, IDCANCEL));
    });
    EXPECT_EQ(TestDb_Count("t_house"), houses);
}

}  // namespace
