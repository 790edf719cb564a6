// "看电话" in the house dialog as the salesman 李娜 drives it, with the real
// server: every view is counted on the server against her daily limit
// before anything is shown; past the limit, or when the view cannot be
// recorded, a box says so and the telephones stay masked; a dialog closed
// while the server is asked drops the answer.
#include "tests/support/window_driver.h"
#include "tests/data_listings/listings_support.h"
#include "tests/startup/startup_support.h"
#include "app/admin/log_names.h"
#include "app/listings/follow_ids.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/listing_phones.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"
#include "outside/popedom/ZTPopedom.h"

#include <functional>
#include <string>

namespace {

const char kMask[] = "******";

class TelViewDialog : public DemoWindowTest {
protected:
    HWND hwnd = nullptr;
    ZT_MODWIN* w = nullptr;
    int lina = 0;
    static void SetUpTestSuite() { DbFix_OpenDemo("kelmora_telview_dlg"); }
    static void TearDownTestSuite()
    {
        Shell_LoginAdministrator();
        TestDb_Close();
    }
    // 李娜 with a house limit of iMax views a day, logged in afresh, the
    // house window open on her houses.
    void LoginLina(int iMax)
    {
        lina = atoi(TestDb_Scalar("select iOrdinal from t_employee where szEmp = '李娜'").c_str());
        ASSERT_GT(lina, 0);
        TestDb_Exec("update t_popedom set iHouReadRecordMax = " + std::to_string(iMax) + " where iEmp = " +
                    std::to_string(lina));
        Shell_LoginAs("李娜");
        ASSERT_EQ(g_ZTMain.iHouReadMax, iMax);
        ASSERT_EQ(g_ZTMain.sys.bHouCipher, 1);
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
        hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
        ASSERT_NE(hwnd, nullptr);
        w = Module_Of(hwnd);
        ASSERT_TRUE(w->bLoaded);
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
        Ui_Pump(100);
        ASSERT_NE(Module_Selected(w), nullptr);
    }
    void SetUp() override { TestDb_Exec("truncate table t_telview; truncate table t_log"); }
    void Settle() { Wd_Settle(w); }
    // Opens the selected house (a double click) while driver works the dialog.
    void Drive(const std::function<void(HWND)>& driver)
    {
        Wd_DriveDialog([&] { Wd_GridDoubleClick(w); }, "修改房源", driver);
        Settle();
    }
    long long Views() { return TestDb_Count("t_telview where dDay = curdate() and iObjType = 0 and iEmp = " + std::to_string(lina)); }
    long long Logged()
    {
        return TestDb_Count("t_log where iAct = 10 and iObjType = 0 and iOpEmp = " + std::to_string(lina));
    }
    static size_t Boxes(const std::string& text) { return Wd_Boxes(text); }
};

std::string Text(HWND dlg, int id)
{
    return Ui_Text(GetDlgItem(dlg, id));
}

bool AllMasked(HWND dlg)
{
    for (int id : {IDC_HD_OWNER, IDC_HD_OWNERTEL, IDC_HD_LINKMAN, IDC_HD_LINKTEL})
        if (Text(dlg, id) != kMask)
            return false;
    return true;
}

// Leaves a revealed house: the follow-up it owes is written.
void LeaveWithFollowUp(HWND dlg, const char* text)
{
    St_Click(GetDlgItem(dlg, IDCANCEL));
    HWND fol = St_WaitWindow(GetWindowThreadProcessId(dlg, nullptr), "#32770", "房源跟进");
    ASSERT_NE(fol, nullptr);
    SetWindowTextA(GetDlgItem(fol, IDC_FW_CONTENT), text);
    St_Click(GetDlgItem(fol, IDOK));
    EXPECT_TRUE(St_WaitGone(fol));
    EXPECT_TRUE(St_WaitGone(dlg));
}

} // namespace

TEST_F(TelViewDialog, EveryViewIsCountedAndPastTheLimitTheTelephonesStayMasked)
{
    LoginLina(2);
    // One view made today on another PC.
    TestDb_Exec("insert into t_telview (iEmp, iObjType, iObjID, dDay, iSeq) values (" + std::to_string(lina) +
                ", 0, 1, curdate(), 1)");
    Drive([&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return AllMasked(dlg) && !Text(dlg, IDC_HD_ESTATE).empty(); }));
        St_Click(GetDlgItem(dlg, IDC_HD_SHOWTEL));
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) != kMask; }));
        EXPECT_EQ(Views(), 2);
        // Shown already: a second press costs nothing.
        St_Click(GetDlgItem(dlg, IDC_HD_SHOWTEL));
        Sleep(400);
        EXPECT_EQ(Views(), 2);
        LeaveWithFollowUp(dlg, "看了电话, 约业主周末看房");
    });
    EXPECT_EQ(Logged(), 1);
    EXPECT_STREQ(Log_OperationName(10, 0), "看房源电话");
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // The third view of the day: refused, said with the count and the limit.
    Drive([&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return AllMasked(dlg) && !Text(dlg, IDC_HD_ESTATE).empty(); }));
        St_Click(GetDlgItem(dlg, IDC_HD_SHOWTEL));
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 1; }));
        Sleep(200);
        EXPECT_TRUE(AllMasked(dlg));
        // Leaving owes nothing: nothing was shown.
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "今天已看房源电话 2 次, 已到每天 2 次的上限, 不能再看");
    EXPECT_EQ(boxes[0].caption, "看电话");
    EXPECT_EQ(boxes[0].flags & 0xF, static_cast<UINT>(MB_OK));
    EXPECT_EQ(Views(), 2);
    EXPECT_EQ(Logged(), 1);
}

TEST_F(TelViewDialog, AViewThatCannotBeRecordedShowsNothingAndTheDialogStaysUsable)
{
    LoginLina(5);
    Drive([&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return AllMasked(dlg) && !Text(dlg, IDC_HD_ESTATE).empty(); }));
        TestDb_ServerStop();
        TestBoxes_Reset();
        St_Click(GetDlgItem(dlg, IDC_HD_SHOWTEL));
        EXPECT_TRUE(St_WaitFor([] { return Boxes(kPhonesNotRecorded) == 1; }, 20000));
        EXPECT_TRUE(AllMasked(dlg));
        TestDb_ServerStart();
        // The dialog still works: once the server is back the view is made.
        St_Click(GetDlgItem(dlg, IDC_HD_SHOWTEL));
        EXPECT_TRUE(St_WaitFor([&] { return Text(dlg, IDC_HD_OWNERTEL) != kMask; }, 10000));
        LeaveWithFollowUp(dlg, "服务器恢复后看了电话");
    });
    EXPECT_EQ(Boxes(kPhonesNotRecorded), 1u);
    EXPECT_EQ(Views(), 1);
    EXPECT_EQ(Logged(), 1);

    // Closed while the server is asked: the answer is dropped unseen.
    TestBoxes_Reset();
    Drive([&](HWND dlg) {
        EXPECT_TRUE(St_WaitFor([&] { return AllMasked(dlg) && !Text(dlg, IDC_HD_ESTATE).empty(); }));
        PauseServer();
        St_Click(GetDlgItem(dlg, IDC_HD_SHOWTEL));
        Sleep(200);
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
        ResumeServer();
    });
    Ui_Pump(1500);
    EXPECT_EQ(Views(), 2) << "the server was asked and answered";
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_TRUE(IsWindow(hwnd));
}
