// The client edit dialog driven as an agent drives it: a client opened by a
// double click with masked telephones, revealed without the right that
// spares a follow-up, changed and saved only after the owed follow-up; a
// client added with only a contact person and telephone after the checks
// in their order, a refused insert that keeps the input, hostile texts
// stored as typed (cut to the field) and no other row changed.
#include "tests/listings_client/client_fixture.h"
#include "tests/data_listings/listings_support.h"
#include "tests/startup/startup_support.h"
#include "app/listings/client_dialog.h"
#include "app/listings/client_dialog_ids.h"
#include "app/listings/client_ids.h"
#include "app/listings/client_window.h"
#include "app/listings/follow_ids.h"
#include "app/listings/listing_window.h"
#include "cipher/cipher.h"
#include "common/gbk.h"
#include "tests/support/grid_rows.h"

#include <string>

namespace {

const char kReconnectPrompt[] = "选择\"是\"重新连接\n选择\"否\"1分钟后重新连接\r建议确认服务器正常运行下,请选择\"是\"";

std::string Plain(const std::string& stored)
{
    char b[300] = "";
    Gbk_CopyCut(b, sizeof(b), stored.c_str());
    CipherText("", b, CIPHER_DECODE);
    return b;
}

std::string Stored(const char* plain)
{
    char b[300] = "";
    Gbk_CopyCut(b, sizeof(b), plain);
    CipherText("", b, CIPHER_ENCODE);
    return b;
}

size_t Boxes(const char* text)
{
    size_t n = 0;
    for (const TestBox& b : TestBoxes_Taken())
        n += b.text == text;
    return n;
}

// Every client but one, as a text: what "no other row changed" compares.
std::string OtherRows(const std::string& key)
{
    return TestDb_Scalar("select md5(group_concat(concat_ws('|', iOrdinal, szTrade, szCliMan, szCliTel, szLinkMan, "
                         "szLinkTel, szRemark, iMinBuy, dDelegate, iEmp, bRecyle) order by iOrdinal)) from t_client "
                         "where iOrdinal <> " + key);
}

class ClientDialogTest : public ClientWindowTest {
protected:
    void TearDown() override
    {
        g_ZTMain.sys.bCliCipher = 0;
        g_ZTMain.sys.bNumManualWrite = 0;
        ClientWindowTest::TearDown();
    }
    static void DoubleClickFirstRow(ZT_MODWIN* w)
    {
        RECT rg = Ui_WindowRect(w->hGrid);
        int x = rg.left + 30, y = rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2 + 2;
        Ui_Press(x, y);
        Ui_Release();
        Ui_Press(x, y);
        Ui_Release();
        Ui_Pump(100);
    }
};

TEST_F(ClientDialogTest, RevealedTelephonesOweAFollowUpAndAreStoredUnchanged)
{
    g_ZTMain.sys.bCliCipher = 1;
    UseSalesmanRights();     // may look at telephones, but every look owes a follow-up
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_TRUE(d && d->iLoaded > 1);
    tagCLIENT* first = static_cast<tagCLIENT*>(TestGrid_Loaded(d, 0));
    std::string k = std::to_string(first->iOrdinal);
    std::string cliTel = TestDb_Scalar("select szCliTel from t_client where iOrdinal = " + k);
    std::string linkTel = TestDb_Scalar("select szLinkTel from t_client where iOrdinal = " + k);
    ASSERT_FALSE(cliTel.empty());
    std::string others = OtherRows(k);
    std::string number = TestDb_Scalar("select szClientNum from t_client where iOrdinal = " + k);
    ASSERT_FALSE(number.empty());
    long long follows = TestDb_Count("t_follow where bRecyle = 0 and iCli = " + k);

    St_WithDriver(
        [&] {
            DoubleClickFirstRow(w);
            return 0;
        },
        [&](DWORD tid) {
            HWND dlg = St_WaitWindow(tid, "#32770", "修改客源");
            ASSERT_NE(dlg, nullptr);
            auto item = [&](int id) { return GetDlgItem(dlg, id); };
            EXPECT_EQ(Ui_Text(item(IDOK)), "修改(&U)");
            EXPECT_EQ(Ui_Text(item(IDC_CD_CLITEL)), "******");
            EXPECT_EQ(Ui_Text(item(IDC_CD_LINKTEL)), "******");
            EXPECT_EQ(Ui_Text(item(IDC_CD_CLIMAN)), first->szCliMan) << "names are never masked";
            St_Click(item(IDC_CD_VIEWTEL));
            EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(item(IDC_CD_CLITEL)) == Plain(cliTel); }));
            EXPECT_EQ(Ui_Text(item(IDC_CD_LINKTEL)), Plain(linkTel));
            Ui_Screenshot("client-modify");
            SetWindowTextA(item(IDC_CD_REMARK), "看过电话后改的备注");
            St_Click(item(IDOK));
            // The owed follow-up first: it cannot be cancelled.
            HWND fol = St_WaitWindow(tid, "#32770", "客源跟进");
            ASSERT_NE(fol, nullptr);
            St_Click(GetDlgItem(fol, IDCANCEL));
            EXPECT_TRUE(IsWindow(fol));
            SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), "客户来电询问");
            St_Click(GetDlgItem(fol, IDOK));
            EXPECT_TRUE(St_WaitGone(fol));
            EXPECT_TRUE(St_WaitGone(dlg)) << "saved once the follow-up was written";
        });
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0 and iCli = " + k + " and szContent = '客户来电询问'"), 1);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0 and iCli = " + k), follows + 1);
    EXPECT_EQ(TestDb_Scalar("select szRemark from t_client where iOrdinal = " + k), "看过电话后改的备注");
    // The deciphered values went back through the field cipher exactly.
    EXPECT_EQ(TestDb_Scalar("select szCliTel from t_client where iOrdinal = " + k), cliTel);
    EXPECT_EQ(TestDb_Scalar("select szLinkTel from t_client where iOrdinal = " + k), linkTel);
    EXPECT_EQ(std::string(first->szRemark), "看过电话后改的备注");
    EXPECT_EQ(std::string(first->dtFollow).substr(0, 10), TestDb_Scalar("select curdate()"));
    EXPECT_EQ(OtherRows(k), others);
    EXPECT_EQ(TestDb_Scalar("select szClientNum from t_client where iOrdinal = " + k), number)
        << "the number the dialog does not edit is carried over";
    // The list's follow-up pane shows the follow-up just written.
    HWND paneGrid = GetDlgItem(ListingWindow_Pane(hwnd), IDC_CP_FOLLOWS);
    ASSERT_NE(paneGrid, nullptr);
    for (int i = 0; i < 100 && Shell_GridRows(paneGrid) != static_cast<int>(follows + 1); i++)
        Ui_Pump(20);
    EXPECT_EQ(Shell_GridRows(paneGrid), static_cast<int>(follows + 1));

    // Masked and not revealed: a change keeps the stored telephones, and
    // leaving owes nothing.
    TestBoxes_Reset();
    Wd_DriveDialog([&] { DoubleClickFirstRow(w); }, "修改客源", [&](HWND dlg) {
        SetWindowTextA(GetDlgItem(dlg, IDC_CD_REMARK), "未看电话");
        St_Click(GetDlgItem(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Scalar("select concat(szRemark, szCliTel, szLinkTel) from t_client where iOrdinal = " + k),
              "未看电话" + cliTel + linkTel);
    EXPECT_EQ(TestDb_Count("t_follow where bRecyle = 0 and iCli = " + k), follows + 1);
}

TEST_F(ClientDialogTest, AContactPersonAndTelephoneAreEnoughAndHostileTextIsStoredAsTyped)
{
    g_ZTMain.sys.bNumManualWrite = 1;
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    int rows = Shell_GridRows(w->hGrid);
    std::string taken = Plain(TestDb_Scalar("select szCliTel from t_client where bRecyle = 0 order by iOrdinal "
                                            "limit 1"));
    std::string others = OtherRows("0");
    std::string hostile = HostileText() + "%_\\'" + std::string(300, 'x');
    char cut[257];
    Gbk_CopyCut(cut, sizeof(cut), hostile.c_str());

    Wd_DriveDialog([&] { Shell_ClickButton(hwnd, ID_CLIENT_ADD); }, "增加客源", [&](HWND dlg) {
        auto item = [&](int id) { return GetDlgItem(dlg, id); };
        EXPECT_FALSE(Ui_Visible(item(IDC_CD_VIEWTEL)));
        EXPECT_EQ(Ui_Text(item(IDC_CD_EMPLOYEE)), g_ZTMain.pLoginEmp->szEmp);
        // The checks in their order, each keeping the dialog open.
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("请选择交易") == 1; }));
        SendMessageA(item(IDC_CD_TRADE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("求购"));
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("客源姓名或联系人必须填一项") == 1; }));
        SetWindowTextA(item(IDC_CD_LINKMAN), "王先生");
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("客源电话或联系电话必须填一项") == 1; }));
        // A telephone another client has: the library refuses, the input stays.
        SetWindowTextA(item(IDC_CD_LINKTEL), taken.c_str());
        size_t before = TestBoxes_Count();
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitFor([&] { return TestBoxes_Count() > before; }));
        Sleep(200);
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_EQ(Ui_Text(item(IDC_CD_LINKMAN)), "王先生");
        // A number too large for the field is named.
        SetWindowTextA(item(IDC_CD_LINKTEL), "13912345678");
        SetWindowTextA(item(IDC_CD_AREA_MAX), "99999999999");
        before = TestBoxes_Count();
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitFor([&] { return TestBoxes_Count() > before; }));
        EXPECT_NE(TestBoxes_Taken().back().text.find("面积(止)"), std::string::npos);
        SetWindowTextA(item(IDC_CD_AREA_MAX), "120");
        Ui_Screenshot("client-add");
        SendMessageA(item(IDC_CD_REMARK), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hostile.c_str()));
        SendMessageA(item(IDC_CD_URBAN), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("' or 1=1 -- "));
        SetWindowTextA(item(IDC_CD_NUMBER), "12345");
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    std::string k = TestDb_Scalar("select max(iOrdinal) from t_client");
    EXPECT_EQ(TestDb_Scalar("select concat_ws('|', szTrade, szLinkMan, szCliMan, szUrban, iMaxArea, szClientNum) from "
                            "t_client where iOrdinal = " + k),
              "求购|王先生||' or 1=1 -- |120|" + std::string(8 - k.size(), '0') + k);
    EXPECT_EQ(TestDb_Scalar("select szLinkTel from t_client where iOrdinal = " + k), Stored("13912345678"));
    EXPECT_EQ(TestDb_Scalar("select szRemark from t_client where iOrdinal = " + k), std::string(cut));
    EXPECT_EQ(OtherRows(k), others) << "no other row changed";
    Wd_ExpectListed(w, rows + 1);
}

TEST_F(ClientDialogTest, UnsavedChangesAreNotDroppedWithoutAsking)
{
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    const tagCLIENT* first = static_cast<const tagCLIENT*>(Module_Selected(w));
    if (!first) {
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
        first = static_cast<const tagCLIENT*>(Module_Selected(w));
    }
    ASSERT_NE(first, nullptr);
    std::string k = std::to_string(first->iOrdinal);
    std::string remark = TestDb_Scalar("select szRemark from t_client where iOrdinal = " + k);
    Wd_DriveDialog([&] { SendMessageA(hwnd, WM_COMMAND, ID_CLIENT_MODIFY, 0); }, "修改客源", [&](HWND dlg) {
        // Nothing changed: "未做修改" and the dialog stays.
        St_Click(GetDlgItem(dlg, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("未做修改") == 1; }));
        EXPECT_TRUE(IsWindow(dlg));
        SetWindowTextA(GetDlgItem(dlg, IDC_CD_REMARK), "改了没保存");
        TestBoxes_Answer(IDCANCEL);
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitFor([] { return Boxes("数据已修改, 是否保存?") == 1; }));
        Sleep(150);
        EXPECT_TRUE(IsWindow(dlg)) << "cancelled: the changes stay";
        TestBoxes_Answer(IDNO);
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Scalar("select szRemark from t_client where iOrdinal = " + k), remark);
}

TEST_F(ClientDialogTest, TheNavigatorWalksTheListAndSavesAChangeWhenAskedTo)
{
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_TRUE(d && d->iLoaded > 2);
    const tagCLIENT* first = static_cast<const tagCLIENT*>(TestGrid_Loaded(d, 0));
    const tagCLIENT* second = static_cast<const tagCLIENT*>(TestGrid_Loaded(d, 1));
    std::string k2 = std::to_string(second->iOrdinal);
    Wd_DriveDialog([&] { DoubleClickFirstRow(w); }, "修改客源", [&](HWND dlg) {
        auto item = [&](int id) { return GetDlgItem(dlg, id); };
        EXPECT_EQ(Ui_Text(item(IDC_CD_CLIMAN)), first->szCliMan);
        PostMessageA(dlg, WM_COMMAND, IDC_CD_NAV_NEXT, 0);
        EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(item(IDC_CD_CLIMAN)) == second->szCliMan; }));
        SetWindowTextA(item(IDC_CD_REMARK), "翻页前改的备注");
        TestBoxes_Answer(IDYES);
        PostMessageA(dlg, WM_COMMAND, IDC_CD_NAV_FIRST, 0);
        EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(item(IDC_CD_CLIMAN)) == first->szCliMan; }));
        EXPECT_EQ(Boxes("数据已修改, 是否保存?"), 1u);
        St_Click(item(IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg)) << "nothing changed on the first: no question";
    });
    EXPECT_EQ(TestDb_Scalar("select szRemark from t_client where iOrdinal = " + k2), "翻页前改的备注");
    EXPECT_EQ(std::string(second->szRemark), "翻页前改的备注");
    EXPECT_EQ(Module_Selected(w), first);
}

TEST_F(ClientDialogTest, AClientTheUserMayNotModifyIsNotSavedByTheFollowUpStepOrWhenLeaving)
{
    UseSalesmanRights();    // modifies own clients only
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    tagCLIENT* c = static_cast<tagCLIENT*>(Module_Selected(w));
    ASSERT_NE(c, nullptr);
    const std::string k = std::to_string(c->iOrdinal);
    // The client passes to a salesman of the other branch, as a refresh would show it.
    const auto other = TestDb_Query("select iOrdinal, iBr from t_employee where szEmp = '刘洋'");
    ASSERT_EQ(other.size(), 1u);
    TestDb_Exec("update t_client set iEmp = " + other[0][0] + ", iBr = " + other[0][1] + " where iOrdinal = " + k);
    c->iEmp = std::stoi(other[0][0]);
    c->iBr = std::stoi(other[0][1]);
    const std::string row = TestDb_Scalar("select concat_ws('|', szRemark, iMinBuy, iEmp) from t_client where "
                                          "iOrdinal = " + k);
    const std::string remark = c->szRemark;
    St_WithDriver(
        [&] {
            Wd_GridDoubleClick(w);
            return 0;
        },
        [&](DWORD tid) {
            HWND dlg = St_WaitWindow(tid, "#32770", "修改客源");
            ASSERT_NE(dlg, nullptr);
            auto item = [&](int id) { return GetDlgItem(dlg, id); };
            EXPECT_FALSE(IsWindowEnabled(item(IDOK)));
            SetWindowTextA(item(IDC_CD_REMARK), "无权修改的备注");
            SetWindowTextA(item(IDC_CD_BUY_MIN), "7");
            // The follow-up step (its dialog cancelled) saves nothing.
            St_Click(item(IDC_CD_WRITEFOLLOW));
            HWND fol = St_WaitWindow(tid, "#32770", "客源跟进");
            ASSERT_NE(fol, nullptr);
            St_Click(GetDlgItem(fol, IDCANCEL));
            EXPECT_TRUE(St_WaitGone(fol));
            Sleep(300);
            // Leaving: there is nothing the user could save, so no question.
            TestBoxes_Reset();
            TestBoxes_Answer(IDYES);
            St_Click(item(IDCANCEL));
            EXPECT_TRUE(St_WaitGone(dlg));
            for (int i = 0; i < 3 && IsWindow(dlg); i++) {
                TestBoxes_Answer(IDNO);
                PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
                St_WaitGone(dlg, 1000);
            }
        });
    EXPECT_EQ(Boxes("数据已修改, 是否保存?"), 0u);
    EXPECT_EQ(TestDb_Scalar("select concat_ws('|', szRemark, iMinBuy, iEmp) from t_client where iOrdinal = " + k), row);
    EXPECT_EQ(std::string(c->szRemark), remark);
}

TEST_F(ClientDialogTest, AClientAddedWithoutAFreeSlotIsStoredOnceAndTheDialogCloses)
{
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    tagCLIENT* recs = static_cast<tagCLIENT*>(w->rs.pBlock);
    for (int i = 0; i < w->rs.nSlots; i++)
        if (!recs[i].iOrdinal)
            recs[i].iOrdinal = -1;
    long long clients = TestDb_Count("t_client");
    TestBoxes_Reset();
    Wd_DriveDialog([&] { Shell_ClickButton(hwnd, ID_CLIENT_ADD); }, "增加客源", [&](HWND dlg) {
        auto item = [&](int id) { return GetDlgItem(dlg, id); };
        SendMessageA(item(IDC_CD_TRADE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("求租"));
        SetWindowTextA(item(IDC_CD_LINKMAN), "无空位的客户");
        SetWindowTextA(item(IDC_CD_LINKTEL), "13811112222");
        St_Click(item(IDOK));
        // Stored: the dialog must not stay open for a second insert.
        EXPECT_TRUE(St_WaitGone(dlg));
        for (int i = 0; i < 3 && IsWindow(dlg); i++) {
            TestBoxes_Answer(IDNO);
            PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
            St_WaitGone(dlg, 1000);
        }
    });
    for (int i = 0; i < w->rs.nSlots; i++)
        if (recs[i].iOrdinal == -1)
            recs[i].iOrdinal = 0;
    EXPECT_EQ(Boxes("增加成功,本地内存错误刷新数据显示."), 1u);
    EXPECT_EQ(TestDb_Count("t_client"), clients + 1);
    EXPECT_EQ(TestDb_Count("t_client where szLinkMan = '无空位的客户'"), 1);
}

TEST_F(ClientDialogTest, AClientWithoutACommissionDateCanBeChangedAndKeepsNoDate)
{
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    tagCLIENT* c = static_cast<tagCLIENT*>(Module_Selected(w));
    ASSERT_NE(c, nullptr);
    const std::string k = std::to_string(c->iOrdinal);
    // Stored without a date, as a load gives it.
    TestDb_Exec("update t_client set dDelegate = null where iOrdinal = " + k);
    memset(c->dDelegate, 0, sizeof(c->dDelegate));
    TestBoxes_Reset();
    Wd_DriveDialog([&] { Wd_GridDoubleClick(w); }, "修改客源", [&](HWND dlg) {
        EXPECT_EQ(Ui_Text(GetDlgItem(dlg, IDC_CD_DELEGATE)), "");
        SetWindowTextA(GetDlgItem(dlg, IDC_CD_REMARK), "没有委托日期的客户");
        St_Click(GetDlgItem(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
        for (int i = 0; i < 3 && IsWindow(dlg); i++) {
            TestBoxes_Answer(IDNO);
            PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
            St_WaitGone(dlg, 1000);
        }
    });
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Scalar("select concat(szRemark, '|', dDelegate is null) from t_client where iOrdinal = " + k),
              "没有委托日期的客户|1");
}

TEST_F(ClientDialogTest, ARangeTypedBackwardsIsRefusedNamingItsBoxesAndTheFormOpensCentred)
{
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    long long clients = TestDb_Count("t_client");
    St_WithDriver(
        [&] {
            Shell_ClickButton(hwnd, ID_CLIENT_ADD);
            return 0;
        },
        [&](DWORD tid) {
            HWND dlg = St_WaitWindow(tid, "#32770", "增加客源");
            ASSERT_NE(dlg, nullptr);
            auto item = [&](int id) { return GetDlgItem(dlg, id); };
            // Over the middle of the frame.
            RECT rd = Ui_WindowRect(dlg), rf = Ui_WindowRect(frame);
            EXPECT_LE(abs((rd.left + rd.right) - (rf.left + rf.right)), 4);
            EXPECT_LE(abs((rd.top + rd.bottom) - (rf.top + rf.bottom)), 4);
            // Number boxes start empty, and take the number typed.
            for (int id : {IDC_CD_BUY_MIN, IDC_CD_BUY_MAX, IDC_CD_RENT_MIN, IDC_CD_AREA_MIN, IDC_CD_ROOM_MAX})
                EXPECT_EQ(Ui_Text(item(id)), "") << id;
            RECT rb = Ui_WindowRect(item(IDC_CD_BUY_MIN));
            Ui_Click(rb.right - 4, (rb.top + rb.bottom) / 2);
            Ui_RealType("300");
            EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(item(IDC_CD_BUY_MIN)) == "300"; }));
            rb = Ui_WindowRect(item(IDC_CD_BUY_MAX));
            Ui_Click(rb.right - 4, (rb.top + rb.bottom) / 2);
            Ui_RealType("150");
            EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(item(IDC_CD_BUY_MAX)) == "150"; }));
            SendMessageA(item(IDC_CD_TRADE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("求购"));
            SetWindowTextA(item(IDC_CD_CLIMAN), "周女士");
            SetWindowTextA(item(IDC_CD_CLITEL), "13757112233");
            // 300 to 150: refused, naming both boxes; the focus on the first.
            St_Click(item(IDOK));
            EXPECT_TRUE(St_WaitFor([] { return Boxes("「购价(起)」不能大于「购价(止)」") == 1; }));
            EXPECT_EQ(St_Focus(tid), item(IDC_CD_BUY_MIN));
            EXPECT_TRUE(IsWindow(dlg));
            SetWindowTextA(item(IDC_CD_BUY_MAX), "350");
            SetWindowTextA(item(IDC_CD_AREA_MIN), "120");
            SetWindowTextA(item(IDC_CD_AREA_MAX), "90");
            St_Click(item(IDOK));
            EXPECT_TRUE(St_WaitFor([] { return Boxes("「面积(起)」不能大于「面积(止)」") == 1; }));
            SetWindowTextA(item(IDC_CD_AREA_MIN), "90");
            SetWindowTextA(item(IDC_CD_AREA_MAX), "120");
            St_Click(item(IDOK));
            EXPECT_TRUE(St_WaitGone(dlg));
        });
    EXPECT_EQ(TestDb_Count("t_client"), clients + 1);
    EXPECT_EQ(TestDb_Scalar("select concat_ws('|', iMinBuy, iMaxBuy, iMinArea, iMaxArea, iMinRent, iMaxRent) from "
                            "t_client where szCliMan = '周女士'"),
              "300|350|90|120|0|0");
    tagCLIENT c = {};
    c.iMinRent = 5000;
    c.iMaxRent = 3000;
    std::string msg;
    EXPECT_EQ(ClientDialog_CheckRanges(&c, &msg), IDC_CD_RENT_MIN);
    EXPECT_EQ(msg, "「租价(起)」不能大于「租价(止)」");
    c.iMaxRent = 0;    // no upper end given
    c.iMinRoom = 3;
    c.iMaxRoom = 2;
    EXPECT_EQ(ClientDialog_CheckRanges(&c, &msg), IDC_CD_ROOM_MIN);
    c.iMaxRoom = 3;
    EXPECT_EQ(ClientDialog_CheckRanges(&c, &msg), 0);
}

TEST_F(ClientDialogTest, ASaveCutOffStoresNothingAndTheFormKeepsItsInput)
{
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    int rows = Shell_GridRows(w->hGrid);
    Wd_DriveDialog([&] { Shell_ClickButton(hwnd, ID_CLIENT_ADD); }, "增加客源", [&](HWND dlg) {
        auto item = [&](int id) { return GetDlgItem(dlg, id); };
        SendMessageA(item(IDC_CD_TRADE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("求租"));
        SetWindowTextA(item(IDC_CD_CLIMAN), "孙先生");
        SetWindowTextA(item(IDC_CD_CLITEL), "13600571234");
        SetWindowTextA(item(IDC_CD_RENT_MIN), "3000");
        SetWindowTextA(item(IDC_CD_RENT_MAX), "4500");
        TestBoxes_Reset();
        {
            // The connection is cut between the client's key row and its values.
            Gate gate("t_client", "update");
            St_Click(item(IDOK));
            std::string id = gate.Reached();
            ASSERT_NE(id, "");
            TestDb_Exec("kill connection " + id);
        }
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() >= 1; }));
        Sleep(300);
        TestBoxes_ExpectOnly("保存失败,客源没有保存,可以再次保存.");
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_EQ(Ui_Text(item(IDC_CD_CLIMAN)) + Ui_Text(item(IDC_CD_CLITEL)) + Ui_Text(item(IDC_CD_RENT_MAX)),
                  "孙先生136005712344500");
        EXPECT_EQ(TestDb_Count("t_client where szCliMan = '孙先生'"), 0);
        St_Click(item(IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestDb_Count("t_client where szCliMan = '孙先生'"), 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows + 1);
}

TEST_F(ClientDialogTest, CommandsAskTheirRightsAndAnOwedFollowUpThatCannotBeStoredIsAskedForAgain)
{
    g_ZTMain.sys.bCliCipher = 1;
    // Own clients; no telephones to view, no follow-ups to write.
    Wd_Grant("1C" "1H" "1L" "0H");
    HWND hwnd = Open(IDM_CLIENT, "ZT_CHILD_CLI");
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    tagCLIENT* c = static_cast<tagCLIENT*>(Module_Selected(w));
    ASSERT_NE(c, nullptr);
    const std::string k = std::to_string(c->iOrdinal);
    auto open = [&](const std::function<void(HWND, DWORD)>& driver) {
        St_WithDriver(
            [&] {
                SendMessageA(hwnd, WM_COMMAND, ID_CLIENT_MODIFY, 0);
                return 0;
            },
            [&](DWORD tid) {
                HWND dlg = St_WaitWindow(tid, "#32770", "修改客源");
                ASSERT_NE(dlg, nullptr);
                driver(dlg, tid);
                for (int i = 0; i < 3 && IsWindow(dlg); i++) {
                    TestBoxes_Answer(IDNO);
                    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
                    St_WaitGone(dlg, 1000);
                }
            });
    };
    open([&](HWND dlg, DWORD tid) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_CD_VIEWTEL)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_CD_WRITEFOLLOW)));
        PostMessageA(dlg, WM_COMMAND, IDC_CD_VIEWTEL, 0);
        PostMessageA(dlg, WM_COMMAND, IDC_CD_WRITEFOLLOW, 0);
        EXPECT_TRUE(St_WaitFor([] { return Boxes("您没有写跟进的权限") == 1; }));
        EXPECT_EQ(St_WaitWindow(tid, "#32770", "客源跟进", 300), nullptr);
        EXPECT_EQ(Ui_Text(GetDlgItem(dlg, IDC_CD_CLITEL)), "******");
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });

    // The salesman's rights: each look owes a follow-up.  The server stops
    // before it is written: the user may go, and is asked again next time.
    UseSalesmanRights();
    long long follows = TestDb_Count("t_follow where iCli = " + k);
    TestBoxes_Reset();
    open([&](HWND dlg, DWORD tid) {
        St_Click(GetDlgItem(dlg, IDC_CD_VIEWTEL));
        EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(GetDlgItem(dlg, IDC_CD_CLITEL)) != "******"; }));
        TestDb_ServerStop();
        St_Click(GetDlgItem(dlg, IDCANCEL));
        HWND fol = St_WaitWindow(tid, "#32770", "客源跟进");
        ASSERT_NE(fol, nullptr);
        SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), "看了电话");
        St_Click(GetDlgItem(fol, IDOK));
        // One box: the reconnection prompt, answered "No".
        EXPECT_TRUE(St_WaitFor([] { return Boxes(kReconnectPrompt) == 1; }, 15000));
        Sleep(300);
        EXPECT_EQ(Boxes("未连接到数据服务器,操作没有完成"), 0u);
        TestBoxes_Answer(IDNO);
        St_Click(GetDlgItem(fol, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(fol));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    TestDb_ServerStart();
    TestBoxes_Reset();
    open([&](HWND dlg, DWORD tid) {
        HWND fol = St_WaitWindow(tid, "#32770", "客源跟进");
        ASSERT_NE(fol, nullptr);
        EXPECT_TRUE(IsWindowVisible(dlg));
        SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), "补写: 客户说下周看房");
        St_Click(GetDlgItem(fol, IDOK));
        EXPECT_TRUE(St_WaitGone(fol));
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(TestDb_Count("t_follow where iCli = " + k), follows + 1);
    EXPECT_EQ(TestDb_Count("t_follow where iCli = " + k + " and szContent = '补写: 客户说下周看房'"), 1);
}

}  // namespace
