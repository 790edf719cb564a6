// The system options dialog from the main menu, on the demo data: what it
// shows, saving nothing when nothing changed, a changed rule stored and
// followed at once by the house dialog, and the save button of a user who
// may only look.
#include "tests/admin_org/org_support.h"
#include "app/admin/sysopt_dialog.h"
#include "app/listings/house_dialog_ids.h"
#include "app/shell/frame.h"
#include "app/resources/resource.h"

#include <commctrl.h>
#include <cstring>

namespace {

class SysOptDialog : public testing::Test {
protected:
    HWND frame = nullptr;
    void SetUp() override
    {
        Org_OpenDemo("kelmora_sysopt");
        Frame_SetOptionsDialog(SysOpt_Run);      // as the program's entry does
        frame = Org_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        Shell_DestroyFrame(frame);
        Frame_SetOptionsDialog(nullptr);
    }
    // Runs the dialog from the menu command; driver works it.
    void Options(const std::function<void(HWND)>& driver)
    {
        Wd_Drive([&] { PostMessageA(frame, WM_COMMAND, IDM_SYSOPT, 0); }, [&](DWORD tid) {
            HWND d = Org_Dialog(tid, "系统选项");
            ASSERT_NE(d, nullptr);
            driver(d);
        });
    }
    // The pages by a box only each has (1293 and 1294 are on both).
    static HWND Rules(HWND d) { return Org_PageWith(d, IDC_SYS_NUM_MANUAL); }
    static HWND Show(HWND d) { return Org_PageWith(d, IDC_SYS_INTEGRITY); }
    static bool Ticked(HWND page, int id)
    {
        return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    // The house number box of the add form: its text and whether it takes typing.
    std::pair<std::string, bool> HouseNumberBox(HWND house)
    {
        std::pair<std::string, bool> seen;
        Wd_Drive([&] { Shell_ClickButton(house, ID_HOUSE_ADD); }, [&](DWORD tid) {
            HWND d = Org_Dialog(tid, "增加房源");
            ASSERT_NE(d, nullptr);
            Sleep(300);
            seen = {Ui_Text(GetDlgItem(d, IDC_HD_NUM)), IsWindowEnabled(GetDlgItem(d, IDC_HD_NUM)) != FALSE};
            St_Click(GetDlgItem(d, IDCANCEL));
            EXPECT_TRUE(St_WaitGone(d));
        });
        return seen;
    }
};

TEST_F(SysOptDialog, AChangedRuleIsStoredAndTheHouseDialogFollowsIt)
{
    Shell_Command(frame, IDM_HOUSE);
    HWND house = nullptr;
    for (int i = 0; i < 200 && !house; i++) {
        house = Frame_FindChild("ZT_CHILD_HOU");
        Ui_Pump(20);
    }
    ASSERT_NE(house, nullptr);
    for (int i = 0; i < 200 && (g_ZTMain.hBusyDlg || Shell_CountBox(house) == "-1"); i++)
        Ui_Pump(20);
    auto before = HouseNumberBox(house);
    EXPECT_EQ(before.first, "自动生成");
    EXPECT_FALSE(before.second);

    // Opened and saved unchanged: the options as loaded, nothing stored.
    long long rows = TestDb_Count("t_sys");
    bool shown = false, saveOn = false;
    Options([&](HWND d) {
        shown = !Ticked(Rules(d), IDC_SYS_NUM_MANUAL) && Ticked(Rules(d), IDC_SYS_HOU_AREA) &&
                Ticked(Rules(d), IDC_SYS_CLI_CIPHER) && !Ticked(Show(d), IDC_SYS_ATTENDANCE) &&
                Ui_Text(GetDlgItem(Show(d), IDC_SYS_BMP_SIZE)) == "512" && !Ticked(Show(d), IDC_SYS_INTEGRITY);
        saveOn = IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE;
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(saveOn);
    EXPECT_EQ(TestDb_Count("t_sys"), rows);

    // Record numbers typed by hand, the complete rule set on the second page,
    // the picture size emptied.
    Options([&](HWND d) {
        Wd_ClickControl(GetDlgItem(Rules(d), IDC_SYS_NUM_MANUAL));
        HWND tab = GetDlgItem(d, IDC_SYS_TAB);
        RECT r;
        SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
        POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tab, &pt);
        Ui_Click(pt.x, pt.y);
        HWND page = Show(d);
        EXPECT_TRUE(St_WaitFor([&] { return IsWindowVisible(page) != FALSE; }));
        Wd_ClickControl(GetDlgItem(page, IDC_SYS_INTEGRITY));
        SendMessageA(GetDlgItem(page, IDC_SYS_BMP_SIZE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        Ui_Screenshot("sysopt-dialog");
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_EQ(TestDb_Count("t_sys"), rows + 1);
    auto active = TestDb_Query("select iOrdinal, bNumManualWrite, bIntegrityRule, dwBmpMaxSize, bHouArea from t_sys"
                               " where bActive = 1");
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0][1], "1");
    EXPECT_EQ(active[0][2], "1");
    EXPECT_EQ(active[0][3], "1024");
    EXPECT_EQ(active[0][4], "1");
    EXPECT_EQ(g_ZTMain.sys.iOrdinal, atoi(active[0][0].c_str()));
    EXPECT_EQ(g_ZTMain.sys.bNumManualWrite, 1);
    EXPECT_EQ(g_ZTMain.sys.bIntegrityRule, 1);
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // The house dialog follows at once: the number is typed by hand.
    auto after = HouseNumberBox(house);
    EXPECT_EQ(after.first, "");
    EXPECT_TRUE(after.second);

    // Opened again, the complete rule set shows as stored.
    bool integrity = false;
    Options([&](HWND d) {
        integrity = Ticked(Show(d), IDC_SYS_INTEGRITY);
        St_Click(GetDlgItem(d, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_TRUE(integrity);
}

TEST_F(SysOptDialog, AUserWhoMayOnlyLookCannotSave)
{
    g_ZTMain.W11 = 4;                                 // "查看系统选项" only
    bool saveOn = true;
    Options([&](HWND d) {
        saveOn = IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE;
        Wd_ClickControl(GetDlgItem(Rules(d), IDC_SYS_HOU_AREA));
        PostMessageA(d, WM_COMMAND, IDOK, 0);           // the command, not the greyed button
        Sleep(300);
        St_Click(GetDlgItem(d, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_FALSE(saveOn);
    EXPECT_EQ(TestDb_Count("t_sys"), 1);
    EXPECT_EQ(g_ZTMain.sys.bHouArea, 1);
}

}  // namespace
