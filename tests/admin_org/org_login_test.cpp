// The organisation window as an administrator uses it on the demo data: a
// new branch, a new employee in it, the salesman preset and one more right,
// granting, resetting the password; then the new employee starts the
// program, logs in with the reset password and finds the menus and the
// house list's toolbar cut to those rights.
#include "tests/admin_org/org_support.h"
#include "app/entry.h"
#include "app/shell/blocks.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/resources/resource.h"
#include "outside/popedom/ZTPopedom.h"

#include <commctrl.h>
#include <cstring>

namespace {

// Salesman preset and "查看参数", in the order the page composes them.
const char kGranted[] = "01" "05" "09" "0H" "0L" "0T" "1B" "1C" "1H" "1L" "45" "3E" "3F" "37" "40";

bool Greyed(HMENU m, UINT id)
{
    return (GetMenuState(m, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}

std::string Text(HWND h)
{
    return Ui_Text(h);
}

TEST(OrgLogin, AnEmployeeAddedAndGrantedHereLogsInWithThoseRights)
{
    Org_OpenDemo("kelmora_org_login");
    HWND frame = Org_CreateFrame();
    ASSERT_NE(frame, nullptr);

    // "部门管理" from the menu bar with the mouse.
    int pos = Wd_MenuPos(frame, IDM_BRANCH);
    ASSERT_GE(pos, 0);
    bool clicked = Wd_ClickMenuAt(frame, pos, IDM_BRANCH);
    Ui_Pump(300);
    EXPECT_TRUE(clicked);
    HWND hwnd = nullptr;
    for (int i = 0; i < 200 && !hwnd; i++) {
        hwnd = Frame_FindChild("ZT_CHILD_EMP");
        Ui_Pump(20);
    }
    ASSERT_NE(hwnd, nullptr);
    Org_WaitIdle(hwnd);
    ZT_MODWIN* w = Module_Of(hwnd);
    ORG_WINDOW* st = Org_State(hwnd);

    // The tree: every branch under "所有部门", the first one chosen with
    // its employees listed.
    HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_EQ(Wd_TreeText(w->hTree, root), "所有部门");
    ASSERT_NE(Wd_TreeItem(w->hTree, "文三路店"), nullptr);
    EXPECT_EQ(st->iBr, 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
    EXPECT_EQ(Shell_CountBox(hwnd), "3");

    // "增加部门": a name, a number and the prefixes typed.
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_BRANCH_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "增加部门");
        ASSERT_NE(d, nullptr);
        Org_SetText(d, IDC_BRD_NAME, "西溪店");
        HWND page = Org_PageWith(d, IDC_BRD_NUM);
        St_Type(GetDlgItem(page, IDC_BRD_NUM), "003");
        // The prefixes come out in capitals.
        Ui_Type(GetDlgItem(page, IDC_BRD_HOUPF), "xx");
        Ui_Type(GetDlgItem(page, IDC_BRD_CLIPF), "xk");
        EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(GetDlgItem(page, IDC_BRD_CLIPF)) == "XK"; }));
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    auto br = TestDb_Query("select iOrdinal, szNum, szHou_PF, szCli_PF from t_branch where szBr = '西溪店'");
    ASSERT_EQ(br.size(), 1u);
    EXPECT_EQ(br[0][1], "003");
    EXPECT_EQ(br[0][2], "XX");
    EXPECT_EQ(br[0][3], "XK");
    int brKey = atoi(br[0][0].c_str());
    HTREEITEM item = Wd_TreeItem(w->hTree, "西溪店");
    ASSERT_NE(item, nullptr);

    // The new branch chosen: nobody works there yet.
    Org_ClickTreeItem(w->hTree, item);
    EXPECT_EQ(st->iBr, brKey);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");

    // "增加员工": position, name, number and the password twice.
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_EMP_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "员工增加");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Text(GetDlgItem(d, IDC_EMPD_BRANCH)), "西溪店");
        EXPECT_EQ(SendMessageA(GetDlgItem(d, IDC_EMPD_SALESMAN), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_TRUE(Org_Choose(d, IDC_EMPD_POSITION, "业务员"));
        Org_SetText(d, IDC_EMPD_NAME, "周敏");
        St_Type(GetDlgItem(d, IDC_EMPD_NUM), "0301");
        St_Type(GetDlgItem(d, IDC_EMPD_PWD), "zm2024");
        St_Type(GetDlgItem(d, IDC_EMPD_PWD2), "zm2024");
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    auto emp = TestDb_Query("select iOrdinal, iBr, szPwd, bSalesMan, szNum from t_employee where szEmp = '周敏'");
    ASSERT_EQ(emp.size(), 1u);
    int key = atoi(emp[0][0].c_str());
    EXPECT_EQ(atoi(emp[0][1].c_str()), brKey);
    EXPECT_EQ(emp[0][2].compare(0, 15, "$pbkdf2-sha256$"), 0) << "stored only as a hash: " << emp[0][2];
    EXPECT_EQ(emp[0][3], "1");
    EXPECT_EQ(emp[0][4], "0301");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 1);
    EXPECT_EQ(Shell_CountBox(hwnd), "1");
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // Chosen in the grid: nothing granted yet.  "业务员权限" fills the page,
    // one more box is ticked, and "授权".
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "周敏"));
    EXPECT_FALSE(Org_Ticked(hwnd, 1162));
    HWND panel = OrgPanel_Window(st->panel);
    Wd_ClickControl(GetDlgItem(panel, IDC_PD_SALESMAN));
    EXPECT_TRUE(Org_Ticked(hwnd, 1162));
    EXPECT_EQ(Text(Org_Box(hwnd, 1162 + IDC_PD_SCOPE_OFFSET)), "本人");
    EXPECT_TRUE(Org_Ticked(hwnd, 1309));
    EXPECT_EQ(Text(Org_Box(hwnd, IDC_PD_HOU_COUNT)), "20");
    EXPECT_FALSE(Org_Ticked(hwnd, 1165));
    EXPECT_FALSE(Org_Ticked(hwnd, 1296));
    Wd_ClickControl(Org_Box(hwnd, 1296));          // "查看参数"
    EXPECT_TRUE(Org_Ticked(hwnd, 1296));
    Ui_Screenshot("org-window");
    TestBoxes_Reset();
    Wd_ClickControl(GetDlgItem(panel, IDC_PD_GRANT));
    Org_WaitIdle(hwnd);
    TestBoxes_ExpectOnly("授权成功, 授权用户在下次登录时生效");
    EXPECT_EQ(Org_StoredValue(key), kGranted);
    EXPECT_EQ(TestDb_Scalar("select concat(iHouReadRecordMax, ',', iCliReadRecordMax) from t_popedom where iEmp = " +
                            std::to_string(key)),
              "20,20");
    EXPECT_EQ(TestDb_Count("t_popedom where szValue like '%0105%'"), 0) << "stored only enciphered";

    // "重置密码": asked first (a "no" changes nothing), then a new one-time
    // password shown once; what is stored is a hash of it, nothing that
    // deciphers to a password.
    std::string before = TestDb_Scalar("select szPwd from t_employee where iOrdinal = " + std::to_string(key));
    TestBoxes_Reset();
    Shell_ClickButton(hwnd, ID_ORG_PWD_RESET);
    Org_WaitIdle(hwnd);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "重置周敏的密码?\n\n将给周敏一个新的一次性密码,周敏下次登录时必须修改它.");
    EXPECT_EQ(TestBoxes_Taken()[0].flags & MB_TYPEMASK, (UINT)MB_YESNO);
    EXPECT_EQ(TestDb_Scalar("select szPwd from t_employee where iOrdinal = " + std::to_string(key)), before);
    TestBoxes_Reset();
    TestBoxes_Answer(IDYES);
    Shell_ClickButton(hwnd, ID_ORG_PWD_RESET);
    Org_WaitIdle(hwnd);
    ASSERT_EQ(TestBoxes_Count(), 2u);
    std::string shown = TestBoxes_Taken()[1].text;
    const std::string lead = "密码重置成功.周敏当前密码:";
    ASSERT_EQ(shown.compare(0, lead.size(), lead), 0) << shown;
    std::string once = shown.substr(lead.size(), 8);
    EXPECT_EQ(once.find_first_not_of("23456789abcdefghjkmnpqrstuvwxyz"), std::string::npos) << once;
    EXPECT_NE(once, "482913");
    auto stored = TestDb_Query("select szPwd, bPwdChange from t_employee where iOrdinal = " + std::to_string(key));
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][0].compare(0, 15, "$pbkdf2-sha256$"), 0) << stored[0][0];
    EXPECT_EQ(stored[0][0].find(once), std::string::npos);
    EXPECT_EQ(stored[0][1], "1");
    TestBoxes_Reset();
    Org_ExpectNowhere("zm2024");
    Shell_DestroyFrame(frame);

    // ---- The next login: a new run of the program ----
    St_Init();
    St_WriteConfig(true);
    TestDb_Close();
    TestBoxes_Reset();
    memset(&g_ZTMain, 0, sizeof g_ZTMain);
    std::vector<std::string> boxTexts;
    bool paramOpen = false, branchGreyed = false, optionsGreyed = false, areaOpen = false;
    bool addOn = false, modifyOn = false, deleteOff = false;
    int rc = static_cast<int>(St_WithDriver([] { return static_cast<INT_PTR>(Kelmora_Main(GetModuleHandleA(nullptr))); },
                                           [&](DWORD tid) {
        HWND login = St_WaitWindow(tid, "#32770", "Kelmora中介管理", 20000);
        ASSERT_NE(login, nullptr);
        HWND hBr = GetDlgItem(login, IDC_BR_BOX), hEmp = GetDlgItem(login, IDC_EMP_BOX);
        HWND hPwd = GetDlgItem(login, IDC_LOGIN_PWD), hOk = GetDlgItem(login, IDOK);
        ASSERT_TRUE(Org_Choose(login, IDC_BR_BOX, "西溪店"));
        EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(hEmp) == "周敏"; }));
        EXPECT_EQ(Ui_Text(hBr), "西溪店");
        // The password given when the employee was added is no more, nor
        // the published first password.
        St_Type(hPwd, "zm2024");
        St_Click(hOk);
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 1; }));
        SetWindowTextA(hPwd, "");
        St_Type(hPwd, "482913");
        St_Click(hOk);
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 2; }));
        // The one-time password opens the change of password, and nothing
        // else until he has chosen his own: not the same one again.
        SetWindowTextA(hPwd, "");
        St_Type(hPwd, once.c_str());
        St_Click(hOk);
        HWND change = St_WaitWindow(tid, "#32770", "请设置您自己的密码", 20000);
        ASSERT_NE(change, nullptr);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(change, IDC_OLD_PWD)));
        EXPECT_EQ(Frame_FindChild("ZT_CHILD_HOU"), nullptr);
        St_Type(GetDlgItem(change, IDC_NEW_PWD), once.c_str());
        St_Type(GetDlgItem(change, IDC_NEW_PWD2), once.c_str());
        St_Click(GetDlgItem(change, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 3; }));
        EXPECT_TRUE(IsWindow(change));
        SetWindowTextA(GetDlgItem(change, IDC_NEW_PWD), "");
        SetWindowTextA(GetDlgItem(change, IDC_NEW_PWD2), "");
        St_Type(GetDlgItem(change, IDC_NEW_PWD), "zhoumin9");
        St_Type(GetDlgItem(change, IDC_NEW_PWD2), "zhoumin9");
        St_Click(GetDlgItem(change, IDOK));
        HWND f = St_WaitWindow(tid, "ZT_MDIMAIN", nullptr, 20000);
        ASSERT_NE(f, nullptr);
        HWND house = nullptr;
        EXPECT_TRUE(St_WaitFor([&] { return (house = Frame_FindChild("ZT_CHILD_HOU")) != nullptr; }, 10000));
        Sleep(800);
        HMENU m = GetMenu(f);
        paramOpen = !Greyed(m, IDM_PARAM);
        areaOpen = !Greyed(m, IDM_AREA);
        branchGreyed = Greyed(m, IDM_BRANCH);
        optionsGreyed = Greyed(m, IDM_SYSOPT);
        HWND tb = house ? Block_GetToolbar(house) : nullptr;
        addOn = tb && SendMessageA(tb, TB_ISBUTTONENABLED, ID_HOUSE_ADD, 0);
        modifyOn = tb && SendMessageA(tb, TB_ISBUTTONENABLED, ID_HOUSE_MODIFY, 0);
        deleteOff = tb && !SendMessageA(tb, TB_ISBUTTONENABLED, ID_HOUSE_DELETE, 0);
        Ui_Screenshot("org-login-salesman");
        PostMessageA(f, WM_COMMAND, IDM_EXIT, 0);
        EXPECT_TRUE(St_WaitFor([&] { return !IsWindow(f); }, 10000));
    }));
    EXPECT_EQ(rc, 0);
    ASSERT_NE(g_ZTMain.pLoginEmp, nullptr);
    EXPECT_EQ(g_ZTMain.pLoginEmp->iOrdinal, key);
    for (const TestBox& b : TestBoxes_Taken())
        boxTexts.push_back(b.text);
    EXPECT_EQ(boxTexts, (std::vector<std::string>{"密码错误", "密码错误", "新密码不能与原来的密码相同,请输入您自己的新密码",
                                                  "修改成功"}));
    auto after = TestDb_Query("select szPwd, bPwdChange from t_employee where iOrdinal = " + std::to_string(key));
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0][1], "0") << "his own password is not to be changed again";
    EXPECT_NE(after[0][0], stored[0][0]);
    // The extra right opens the parameters; the preset's the areas.
    EXPECT_TRUE(paramOpen);
    EXPECT_TRUE(areaOpen);
    // No organisation, no options.
    EXPECT_TRUE(branchGreyed);
    EXPECT_TRUE(optionsGreyed);
    // Own houses: add and modify, no delete.
    EXPECT_TRUE(addOn);
    EXPECT_TRUE(modifyOn);
    EXPECT_TRUE(deleteOff);
    EXPECT_EQ(PD_Akst(g_ZTMain.W1, 0, 0, 0), 1u);
    EXPECT_EQ(g_ZTMain.iHouReadMax, 20);
}

}  // namespace
