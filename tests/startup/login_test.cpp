// The login dialog and the change-password dialog, driven as a user.
#include "cipher/password.h"
#include "tests/startup/startup_support.h"
#include "app/shell/login.h"
#include "app/resources/resource.h"

#include <cstring>

namespace {

struct LoginTest : StaffTest {
    void SetUp() override
    {
        OpenStaff("st_login");
        St_LoadLists(&g_ZTMain);
        g_ZTMain.pLoginBr = nullptr;
        g_ZTMain.pLoginEmp = nullptr;
        g_ZTMain.sql.iLoginEmp = 0;
        TestBoxes_Reset();
    }
    void TearDown() override
    {
        g_ZTMain.pLoginBr = nullptr;
        g_ZTMain.pLoginEmp = nullptr;
    }
};

std::vector<std::string> Items(HWND box)
{
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buf[128] = "";
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
    }
    return out;
}

size_t BoxesWithText(const char* text)
{
    size_t n = 0;
    for (const TestBox& b : TestBoxes_Taken())
        if (b.text == text)
            ++n;
    return n;
}

TEST_F(LoginTest, TheDialogFollowsTheUserUntilTheRightPasswordLogsIn)
{
    INT_PTR r = St_WithDriver([] { return Login_Run(&g_ZTMain); }, [&](DWORD tid) {
        HWND dlg = St_WaitWindow(tid, "#32770", "Kelmora中介管理");
        ASSERT_NE(dlg, nullptr) << "the login dialog did not appear";
        HWND hBr = GetDlgItem(dlg, IDC_BR_BOX), hEmp = GetDlgItem(dlg, IDC_EMP_BOX);
        HWND hPwd = GetDlgItem(dlg, IDC_LOGIN_PWD), hOk = GetDlgItem(dlg, IDOK);
        char cls[64] = "";
        GetClassNameA(hBr, cls, sizeof cls);
        EXPECT_STREQ(cls, "ZT_CTL_COMBOBOX");

        // The first branch and its employees in list order.
        EXPECT_EQ(Ui_Text(hBr), "总店");
        EXPECT_EQ(Items(hBr), (std::vector<std::string>{"总店", "二部"}));
        EXPECT_EQ(Items(hEmp), (std::vector<std::string>{"管理员", "李四", "张三"}));
        EXPECT_EQ(Ui_Text(hEmp), "管理员");
        EXPECT_TRUE(IsWindowEnabled(hPwd));
        EXPECT_FALSE(IsWindowEnabled(hOk));

        // Three characters keep the button disabled, the fourth enables it.
        St_Type(hPwd, "482");
        EXPECT_FALSE(IsWindowEnabled(hOk));
        St_Type(hPwd, "9");
        EXPECT_TRUE(St_WaitFor([&] { return IsWindowEnabled(hOk) != FALSE; }));

        // Another branch refills the employees.
        SendMessageA(hBr, CB_SETCURSEL, 1, 0);
        EXPECT_EQ(Items(hEmp), (std::vector<std::string>{"赵六", "王五"}));
        EXPECT_EQ(Ui_Text(hEmp), "赵六");

        // No employee, no password.
        SendMessageA(hEmp, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        EXPECT_FALSE(IsWindowEnabled(hPwd));
        SendMessageA(hEmp, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("王五"));
        EXPECT_TRUE(IsWindowEnabled(hPwd));

        // "4829" is not 王五's password: the dialog stays.
        St_Click(hOk);
        EXPECT_TRUE(St_WaitFor([] { return BoxesWithText("密码错误") == 1; }));
        EXPECT_TRUE(IsWindowVisible(dlg));
        // The wrong password is selected in its box: typing replaces it.
        EXPECT_TRUE(St_WaitFor([&] {
            DWORD from = 1, to = 0;
            SendMessageA(hPwd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            return from == 0 && to == static_cast<DWORD>(GetWindowTextLengthA(hPwd)) && to > 0;
        }));

        // A name typed into the box that matches nobody is refused the same way.
        SendMessageA(hEmp, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("无名氏"));
        St_Click(hOk);
        EXPECT_TRUE(St_WaitFor([] { return BoxesWithText("密码错误") == 2; }));
        EXPECT_TRUE(IsWindowVisible(dlg));

        SendMessageA(hEmp, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("王五"));
        SetWindowTextA(hPwd, "");
        EXPECT_FALSE(IsWindowEnabled(hOk));
        St_Type(hPwd, "wangwu88");
        EXPECT_TRUE(St_WaitFor([&] { return IsWindowEnabled(hOk) != FALSE; }));
        Ui_Screenshot("startup_login");
        // The login background fills the dialog: sky at the top, water at
        // the bottom, not the plain dialog colour.
        Shot shot = Ui_Capture(dlg);
        ASSERT_GT(shot.w, 20);
        uint32_t face = GetSysColor(COLOR_BTNFACE);
        uint32_t faceRgb = ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
        uint32_t sky = shot.at(5, 5);
        uint32_t water = shot.at(5, shot.h - 5);
        EXPECT_NE(sky, faceRgb);
        EXPECT_GT(Blue(sky), Red(sky) + 10);
        EXPECT_GT(Blue(water), Red(water) + 10);
        EXPECT_EQ(Ui_Text(dlg), "Kelmora中介管理");
        St_Click(hOk);
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(r, 1);
    for (const TestBox& b : TestBoxes_Taken()) {
        EXPECT_EQ(b.text, "密码错误");
        EXPECT_EQ(b.caption, "登录");
        EXPECT_EQ(b.flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    }
    ASSERT_NE(g_ZTMain.pLoginEmp, nullptr);
    ASSERT_NE(g_ZTMain.pLoginBr, nullptr);
    EXPECT_EQ(g_ZTMain.pLoginEmp->iOrdinal, staff.iWang);
    EXPECT_EQ(g_ZTMain.pLoginBr->iOrdinal, staff.iBr2);
    EXPECT_EQ(g_ZTMain.sql.iLoginEmp, staff.iWang);
    // The wrong and the right attempt both reached the server, logged as a
    // failed login and a login; the unknown name did not.
    EXPECT_EQ(TestDb_Count("t_log where iAct = 4 and iObjType = 12 and iObjID = " + std::to_string(staff.iWang)), 1);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 12 and iObjType = 12 and iObjID = " + std::to_string(staff.iWang)), 1);
}

TEST_F(LoginTest, CancelEndsWithZeroAndLogsNobodyIn)
{
    INT_PTR r = St_WithDriver([] { return Login_Run(&g_ZTMain); }, [&](DWORD tid) {
        HWND dlg = St_WaitWindow(tid, "#32770", "Kelmora中介管理");
        ASSERT_NE(dlg, nullptr);
        St_Click(GetDlgItem(dlg, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g_ZTMain.pLoginBr, nullptr);
    EXPECT_EQ(g_ZTMain.pLoginEmp, nullptr);
}

TEST_F(LoginTest, TheCheckFindsTheEmployeeOnlyWithinTheBranch)
{
    tagZT_Main_Param* p = &g_ZTMain;
    long long before = TestDb_Count("t_log where iAct = 4");
    EXPECT_EQ(Login_Check(p, "不存在", "王五", "wangwu88"), 0);
    EXPECT_EQ(Login_Check(p, "总店", "王五", "wangwu88"), 0) << "王五 works in 二部";
    EXPECT_EQ(Login_Check(p, "", "", "wangwu88"), 0);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 4"), before) << "unknown names never reach the server";
    EXPECT_EQ(p->pLoginBr, nullptr);

    // A 16-character password is compared in full; more is never read.
    TestDb_Exec("update t_employee set szPwd = '" + St_Stored("abcdefghijklmnop") + "' where iOrdinal = " +
                std::to_string(staff.iLisi));
    EXPECT_EQ(Login_Check(p, "总店", "李四", "abcdefghijklmno"), 0);
    EXPECT_EQ(p->pLoginBr, nullptr);
    EXPECT_EQ(Login_Check(p, "总店", "李四", "abcdefghijklmnoq"), 0);
    EXPECT_EQ(Login_Check(p, "总店", "李四", "abcdefghijklmnopXYZ"), 1);
    ASSERT_NE(p->pLoginEmp, nullptr);
    EXPECT_EQ(p->pLoginEmp->iOrdinal, staff.iLisi);
    EXPECT_EQ(p->pLoginBr->iOrdinal, 1);
}

TEST_F(LoginTest, ServerTroubleIsToldApartFromAWrongPasswordByTheDialog)
{
    const char* serverTrouble = "数据服务器出错,无法验证密码";
    HWND seen = nullptr;
    INT_PTR r = St_WithDriver([] { return Login_Run(&g_ZTMain); }, [&](DWORD tid) {
        HWND dlg = St_WaitWindow(tid, "#32770", "Kelmora中介管理");
        ASSERT_NE(dlg, nullptr);
        seen = dlg;
        HWND hPwd = GetDlgItem(dlg, IDC_LOGIN_PWD), hOk = GetDlgItem(dlg, IDOK);
        St_Type(hPwd, "48291");
        St_Click(hOk);
        EXPECT_TRUE(St_WaitFor([] { return BoxesWithText("密码错误") == 1; }));
        // The wrong password is selected: typed again, it replaces it.
        EXPECT_TRUE(St_WaitFor([&] {
            DWORD from = 1, to = 0;
            SendMessageA(hPwd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            return from == 0 && to == 5;
        }));
        Ui_Type(hPwd, "48291");
        EXPECT_TRUE(St_WaitFor([&] { return Ui_Text(hPwd) == "48291"; })) << Ui_Text(hPwd);

        TestDb_Exec("rename table t_employee to t_employee_away");
        St_Click(hOk);
        EXPECT_TRUE(St_WaitFor([&] { return BoxesWithText(serverTrouble) == 1; }));
        TestDb_Exec("rename table t_employee_away to t_employee");

        // The server is down and the user does not reconnect now: the
        // prompt that said so is the one box of this login.
        TestDb_ServerStop();
        St_Click(hOk);
        EXPECT_TRUE(St_WaitFor([&] { return TestBoxes_Count() == 3; }, 10000));
        TestDb_ServerStart();
        EXPECT_EQ(BoxesWithText(serverTrouble), 1u);
        EXPECT_TRUE(IsWindowVisible(dlg));
        EXPECT_EQ(BoxesWithText("密码错误"), 1u);

        // The server is back: the right password logs in at the first try.
        SetWindowTextA(hPwd, "");
        St_Type(hPwd, "482913");
        St_Click(hOk);
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(r, 1);
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].caption, "与数据服务器断开连接");
    for (const TestBox& b : boxes)
        EXPECT_EQ(b.owner, seen) << b.text;
}

TEST_F(LoginTest, AGivenPasswordOpensOnlyTheChangeOfItAndCancellingStartsTheLoginOver)
{
    // The administrator as the seed leaves him: his first password is marked.
    TestDb_Exec("update t_employee set bPwdChange = 1 where iOrdinal = 1");
    INT_PTR r = St_WithDriver([] { return Login_Run(&g_ZTMain); }, [&](DWORD tid) {
        HWND dlg = St_WaitWindow(tid, "#32770", "Kelmora中介管理");
        ASSERT_NE(dlg, nullptr);
        HWND hPwd = GetDlgItem(dlg, IDC_LOGIN_PWD), hOk = GetDlgItem(dlg, IDOK);
        St_Type(hPwd, "482913");
        St_Click(hOk);
        HWND change = St_WaitWindow(tid, "#32770", "请设置您自己的密码");
        ASSERT_NE(change, nullptr);
        EXPECT_EQ(Ui_Text(GetDlgItem(change, IDC_EMP_BOX)), "管理员");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(change, IDC_OLD_PWD)));
        // Cancelled: no login; the login dialog waits for the password again.
        St_Click(GetDlgItem(change, IDCANCEL));
        EXPECT_TRUE(St_WaitGone(change));
        EXPECT_TRUE(IsWindowVisible(dlg));
        EXPECT_EQ(Ui_Text(hPwd), "");
        EXPECT_EQ(g_ZTMain.pLoginEmp, nullptr);

        St_Type(hPwd, "482913");
        St_Click(hOk);
        change = St_WaitWindow(tid, "#32770", "请设置您自己的密码");
        ASSERT_NE(change, nullptr);
        St_Type(GetDlgItem(change, IDC_NEW_PWD), "482913");
        St_Type(GetDlgItem(change, IDC_NEW_PWD2), "482913");
        St_Click(GetDlgItem(change, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return BoxesWithText("新密码不能与原来的密码相同,请输入您自己的新密码") == 1; }));
        EXPECT_TRUE(IsWindow(change));
        SetWindowTextA(GetDlgItem(change, IDC_NEW_PWD), "");
        SetWindowTextA(GetDlgItem(change, IDC_NEW_PWD2), "");
        St_Type(GetDlgItem(change, IDC_NEW_PWD), "mine2026");
        St_Type(GetDlgItem(change, IDC_NEW_PWD2), "mine2026");
        Ui_Screenshot("startup_first_password");
        St_Click(GetDlgItem(change, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(r, 1);
    ASSERT_NE(g_ZTMain.pLoginEmp, nullptr);
    EXPECT_EQ(g_ZTMain.pLoginEmp->iOrdinal, 1);
    EXPECT_EQ(BoxesWithText("修改成功"), 1u);
    EXPECT_EQ(TestBoxes_Count(), 2u);
    auto row = TestDb_Query("select szPwd, bPwdChange from t_employee where iOrdinal = 1");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(Pwd_Verify("mine2026", row[0][0].c_str()), 1);
    EXPECT_EQ(row[0][1], "0");
}

struct ChangePwdTest : LoginTest {
    void SetUp() override
    {
        LoginTest::SetUp();
        ASSERT_EQ(Login_Check(&g_ZTMain, "总店", "李四", "lisi2024"), 1);
        TestBoxes_Reset();
    }
    std::string Stored()
    {
        return TestDb_Scalar("select szPwd from t_employee where iOrdinal = " + std::to_string(staff.iLisi));
    }
};

TEST_F(ChangePwdTest, FourChecksInOrderThenTheNewPasswordIsStored)
{
    std::string before = Stored();
    INT_PTR r = St_WithDriver([] { return Login_RunChangePwd(nullptr, &g_ZTMain); }, [&](DWORD tid) {
        HWND dlg = St_WaitWindow(tid, "#32770", "密码修改");
        ASSERT_NE(dlg, nullptr);
        HWND hOld = GetDlgItem(dlg, IDC_OLD_PWD), hNew = GetDlgItem(dlg, IDC_NEW_PWD);
        HWND hAgain = GetDlgItem(dlg, IDC_NEW_PWD2), hOk = GetDlgItem(dlg, IDOK);
        EXPECT_EQ(Ui_Text(GetDlgItem(dlg, IDC_BR_BOX)), "总店");
        EXPECT_EQ(Ui_Text(GetDlgItem(dlg, IDC_EMP_BOX)), "李四");

        auto refusedWith = [&](const char* text, HWND focus) {
            EXPECT_TRUE(St_WaitFor([&] { return !TestBoxes_Taken().empty(); }));
            auto boxes = TestBoxes_Taken();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, text);
            EXPECT_EQ(boxes[0].caption, "");
            EXPECT_EQ(boxes[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
            EXPECT_TRUE(St_WaitFor([&] { return St_Focus(tid) == focus; })) << text;
            EXPECT_TRUE(IsWindowVisible(dlg));
            TestBoxes_Reset();
        };

        St_Click(hOk);
        refusedWith("请输入旧密码", hOld);
        St_Type(hOld, "lisi2024");
        St_Click(hOk);
        refusedWith("请输入新密码", hNew);
        St_Type(hNew, "abcde");
        St_Type(hAgain, "abcde");
        St_Click(hOk);
        refusedWith("密码必须大于6位", hNew);
        EXPECT_EQ(Stored(), before);

        St_Type(hNew, "f");
        St_Type(hAgain, "g");
        St_Click(hOk);
        refusedWith("两次新密码不同,请重新输入确认密码", hAgain);
        EXPECT_EQ(Stored(), before);

        SetWindowTextA(hAgain, "");
        St_Type(hAgain, "abcdef");
        Ui_Screenshot("startup_change_pwd");
        St_Click(hOk);
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(r, 0);
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "修改成功");
    EXPECT_TRUE(St_StoredIs(Stored(), "abcdef"));
    EXPECT_EQ(Login_Check(&g_ZTMain, "总店", "李四", "abcdef"), 1);
}

TEST_F(ChangePwdTest, AWrongOldPasswordChangesNothingAndCloses)
{
    std::string before = Stored();
    HWND seen = nullptr;
    INT_PTR r = St_WithDriver([] { return Login_RunChangePwd(nullptr, &g_ZTMain); }, [&](DWORD tid) {
        HWND dlg = St_WaitWindow(tid, "#32770", "密码修改");
        ASSERT_NE(dlg, nullptr);
        seen = dlg;
        St_Type(GetDlgItem(dlg, IDC_OLD_PWD), "wrong1");
        St_Type(GetDlgItem(dlg, IDC_NEW_PWD), "newpass1");
        St_Type(GetDlgItem(dlg, IDC_NEW_PWD2), "newpass1");
        St_Click(GetDlgItem(dlg, IDOK));
        EXPECT_TRUE(St_WaitGone(dlg));
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(BoxesWithText("修改成功"), 0u);
    EXPECT_EQ(BoxesWithText("原始密码错误"), 1u) << "the data library reports the refusal itself";
    // ... in a box of the dialog, which cannot be pressed again meanwhile.
    for (const TestBox& b : TestBoxes_Taken())
        EXPECT_EQ(b.owner, seen) << b.text;
}

TEST_F(ChangePwdTest, AfterTheServerCameBackTheNewPasswordIsStored)
{
    auto change = [&](const char* newPwd) {
        return St_WithDriver([] { return Login_RunChangePwd(nullptr, &g_ZTMain); }, [&](DWORD tid) {
            HWND dlg = St_WaitWindow(tid, "#32770", "密码修改");
            ASSERT_NE(dlg, nullptr);
            St_Type(GetDlgItem(dlg, IDC_OLD_PWD), "lisi2024");
            St_Type(GetDlgItem(dlg, IDC_NEW_PWD), newPwd);
            St_Type(GetDlgItem(dlg, IDC_NEW_PWD2), newPwd);
            St_Click(GetDlgItem(dlg, IDOK));
            EXPECT_TRUE(St_WaitGone(dlg, 10000));
        });
    };
    // Down, and the user does not reconnect: the prompt, answered "No", is
    // the change's one box.
    TestDb_ServerStop();
    change("abcdef");
    TestDb_ServerStart();
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "与数据服务器断开连接");
    EXPECT_TRUE(St_StoredIs(Stored(), "lisi2024"));

    // Back again after a restart: the change goes through at once.
    TestDb_ServerStop();
    TestDb_ServerStart();
    TestBoxes_Reset();
    change("ghijkl");
    EXPECT_EQ(BoxesWithText("修改成功"), 1u);
    EXPECT_EQ(TestBoxes_Count(), 1u);
    EXPECT_TRUE(St_StoredIs(Stored(), "ghijkl"));
}

}  // namespace
