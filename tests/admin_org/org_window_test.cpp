// The organisation window on the demo data, driven with the mouse and the
// keyboard: its edge cases, hostile text in its boxes, a block whose spare
// slots are used up, the transfer of an employee's listings and positions.
#include "tests/admin_org/org_support.h"
#include "common/date.h"
#include "app/shell/blocks.h"
#include "app/shell/module.h"
#include "app/resources/resource.h"
#include "common/gbk.h"

#include <commctrl.h>
#include <cstring>

namespace {

class OrgWindow : public testing::Test {
protected:
    HWND frame = nullptr, hwnd = nullptr;
    ZT_MODWIN* w = nullptr;
    ORG_WINDOW* st = nullptr;
    void SetUp() override
    {
        Org_OpenDemo("kelmora_org");
        frame = Org_CreateFrame();
        ASSERT_NE(frame, nullptr);
        hwnd = Org_Open(frame);
        ASSERT_NE(hwnd, nullptr);
        w = Module_Of(hwnd);
        st = Org_State(hwnd);
        ASSERT_EQ(st->iBr, 1);
        TestBoxes_Reset();
    }
    void TearDown() override { Shell_DestroyFrame(frame); }

    int Key(const char* name)
    {
        return atoi(TestDb_Scalar(std::string("select iOrdinal from t_employee where szEmp = '") + name + "'").c_str());
    }
    HWND Panel() { return OrgPanel_Window(st->panel); }
    void Click(int id) { Wd_ClickControl(GetDlgItem(Panel(), id)); }
    void Grant()
    {
        TestBoxes_Reset();
        Click(IDC_PD_GRANT);
        Org_WaitIdle(hwnd);
    }
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> out;
        for (const TestBox& b : TestBoxes_Taken())
            out.push_back(b.text);
        return out;
    }
    // Everything of the rows of a table but those added after key.
    std::vector<std::vector<std::string>> Rows(const char* table, int upTo = 1 << 30)
    {
        return DbFix_Rows(table, "iOrdinal <= " + std::to_string(upTo));
    }
    // Pastes a text into a box as a user does: a click into it, Ctrl+V.
    static void Paste(HWND hBox, const std::string& text)
    {
        SendMessageA(hBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        Ui_SetClipboard(text.c_str());
        Wd_ClickControl(hBox);
        Ui_RealCtrlKey('V');
        St_WaitFor([&] { return !Ui_Text(hBox).empty(); });
    }
};

TEST_F(OrgWindow, TheEdgeCasesOfPasswordsEmployeesGrantsAndPositions)
{
    long long logs = TestDb_Count("t_log");

    // The administrator's password cannot be reset.
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "管理员"));
    Shell_ClickButton(hwnd, ID_ORG_PWD_RESET);
    Org_WaitIdle(hwnd);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"管理员密码不能重置"});

    // One's own reset does nothing (张伟 logged in).
    int zhang = Key("张伟");
    static tagEMPLIST self = {zhang, 1, "张伟"};
    const tagEMPLIST* admin = g_ZTMain.pLoginEmp;
    g_ZTMain.pLoginEmp = &self;
    std::string pwd = TestDb_Scalar("select szPwd from t_employee where iOrdinal = " + std::to_string(zhang));
    TestBoxes_Reset();
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "张伟"));
    Shell_ClickButton(hwnd, ID_ORG_PWD_RESET);
    Org_WaitIdle(hwnd);
    g_ZTMain.pLoginEmp = const_cast<tagEMPLIST*>(admin);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Scalar("select szPwd from t_employee where iOrdinal = " + std::to_string(zhang)), pwd);
    EXPECT_EQ(TestDb_Count("t_log"), logs);

    // An employee saved unchanged: "未做修改", nothing written.
    auto before = Rows("t_employee");
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "李娜"));
    bool pwdOff = false;
    std::string shownName;
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_EMP_MODIFY); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "员工修改");
        ASSERT_NE(d, nullptr);
        pwdOff = !IsWindowEnabled(GetDlgItem(d, IDC_EMPD_PWD)) && !IsWindowEnabled(GetDlgItem(d, IDC_EMPD_PWD2));
        shownName = Ui_Text(GetDlgItem(d, IDC_EMPD_NAME));
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_TRUE(pwdOff);
    EXPECT_EQ(shownName, "李娜");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"未做修改"});
    EXPECT_EQ(Rows("t_employee"), before);
    EXPECT_EQ(TestDb_Count("t_log"), logs);

    // Granting without "看电话" stores a house limit of 0; a scoped right
    // without a scope and a sub-right under an unticked parent add nothing.
    int li = Key("李娜");
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "李娜"));
    Click(IDC_PD_SALESMAN);
    ASSERT_TRUE(Org_Ticked(hwnd, 1309));
    Wd_ClickControl(Org_Box(hwnd, 1309));           // 看电话 off: its count greys
    EXPECT_FALSE(IsWindowEnabled(Org_Box(hwnd, IDC_PD_HOU_COUNT)));
    Wd_ClickControl(Org_Box(hwnd, 1165));           // 删除: starts at 本人
    EXPECT_EQ(Ui_Text(Org_Box(hwnd, 1165 + IDC_PD_SCOPE_OFFSET)), "本人");
    ASSERT_TRUE(Org_Choose(OrgPanel_Page(st->panel), 1165 + IDC_PD_SCOPE_OFFSET, ""));
    EXPECT_FALSE(IsWindowEnabled(Org_Box(hwnd, 1181)));
    Wd_ClickControl(Org_Box(hwnd, 1178));           // 房源部分修改 on, 备注 under it
    ASSERT_TRUE(IsWindowEnabled(Org_Box(hwnd, 1181)));
    Wd_ClickControl(Org_Box(hwnd, 1181));
    Wd_ClickControl(Org_Box(hwnd, 1178));           // and off again
    EXPECT_TRUE(Org_Ticked(hwnd, 1181));
    EXPECT_FALSE(IsWindowEnabled(Org_Box(hwnd, 1181)));
    Grant();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"授权成功, 授权用户在下次登录时生效"});
    EXPECT_EQ(Org_StoredValue(li), "01" "05" "09" "0H" "0L" "0T" "1C" "1H" "1L" "45" "3E" "3F" "37");
    EXPECT_EQ(TestDb_Scalar("select concat(iHouReadRecordMax, ',', iCliReadRecordMax) from t_popedom where iEmp = " +
                            std::to_string(li)),
              "0,20");

    // The grant page of the list shows what was stored.
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "张伟"));
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "李娜"));
    EXPECT_FALSE(Org_Ticked(hwnd, 1309));
    EXPECT_FALSE(Org_Ticked(hwnd, 1165));
    EXPECT_TRUE(Org_Ticked(hwnd, 1162));
    Ui_Screenshot("org-permission-page");

    // A position without a name is refused before any statement.
    TestBoxes_Reset();
    long long positions = TestDb_Count("t_position");
    std::vector<std::string> seen;
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_POSITIONS); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "职位管理");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Shell_GridRows(GetDlgItem(d, IDC_PST_GRID)), 3);
        St_Click(GetDlgItem(d, IDC_PST_ADD));
        HWND f = Org_Dialog(tid, "增加职位");
        ASSERT_NE(f, nullptr);
        St_Type(GetDlgItem(f, IDC_PSTD_PAY), "3000");
        St_Click(GetDlgItem(f, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 1; }));
        EXPECT_TRUE(IsWindowVisible(f));
        // Then named: it is listed.
        Org_SetText(f, IDC_PSTD_NAME, "店助");
        St_Click(GetDlgItem(f, IDOK));
        EXPECT_TRUE(St_WaitGone(f));
        EXPECT_TRUE(St_WaitFor([&] { return Shell_GridRows(GetDlgItem(d, IDC_PST_GRID)) == 4; }));
        St_Click(GetDlgItem(d, IDC_PST_CLOSE));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_EQ(Boxes(), std::vector<std::string>{"职位名字必须填"});
    EXPECT_EQ(TestDb_Count("t_position"), positions + 1);
    EXPECT_EQ(TestDb_Scalar("select iBasePay from t_position where szPST = '店助'"), "3000");
    ASSERT_NE(OrgWindow_Position(w, atoi(TestDb_Scalar("select iOrdinal from t_position where szPST = '店助'").c_str())),
              nullptr);

    // "合并数据" is offered to nobody: its command, posted all the same, is
    // refused in words and changes nothing.
    EXPECT_FALSE(SendMessageA(Block_GetToolbar(hwnd), TB_ISBUTTONENABLED, ID_ORG_MERGE, 0));
    TestBoxes_Reset();
    logs = TestDb_Count("t_log");
    SendMessageA(hwnd, WM_COMMAND, ID_ORG_MERGE, 0);
    Ui_Pump(100);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text.rfind("没有", 0), 0u) << TestBoxes_Taken()[0].text;
    EXPECT_NE(TestBoxes_Taken()[0].text.find("的权限"), std::string::npos);
    EXPECT_EQ(TestDb_Count("t_log"), logs);
}

TEST_F(OrgWindow, HostileTextIsStoredAsTypedOrRefusedAndTouchesNoOtherRow)
{
    auto branches = Rows("t_branch");
    auto employees = Rows("t_employee");
    std::string hostile = HostileText();

    // A branch named with every troublesome byte, pasted.
    std::string typedBranch;
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_BRANCH_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "增加部门");
        ASSERT_NE(d, nullptr);
        HWND name = GetDlgItem(Org_PageWith(d, IDC_BRD_NAME), IDC_BRD_NAME);
        Paste(name, hostile);
        typedBranch = Ui_Text(name);
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    ASSERT_FALSE(typedBranch.empty());
    // The box takes 49 characters; the field keeps what fits its 50 bytes,
    // cut on a whole character.
    char cut[sizeof(tagBRANCH::szBr)];
    Gbk_CopyCut(cut, sizeof(cut), typedBranch.c_str());
    EXPECT_EQ(hostile.compare(0, strlen(cut), cut), 0);
    auto stored = TestDb_Query("select szBr from t_branch where iOrdinal > " + std::to_string(branches.size()));
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][0], cut);
    ASSERT_NE(Wd_TreeItem(w->hTree, cut), nullptr);
    EXPECT_EQ(Rows("t_branch", static_cast<int>(branches.size())), branches);

    // An employee of 总店: the name and remarks pasted, a wrong date refused
    // first (naming the box), 300 characters of remarks cut.
    std::string typedName, typedRemark;
    std::vector<std::string> first;
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_EMP_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "员工增加");
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(Org_Choose(d, IDC_EMPD_POSITION, "店长"));
        Paste(GetDlgItem(d, IDC_EMPD_NAME), hostile);
        typedName = Ui_Text(GetDlgItem(d, IDC_EMPD_NAME));
        Paste(GetDlgItem(d, IDC_EMPD_REMARK), std::string(300, 'r'));
        typedRemark = Ui_Text(GetDlgItem(d, IDC_EMPD_REMARK));
        SendMessageA(GetDlgItem(d, IDC_EMPD_BIRTHDAY), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("2026-13-45"));
        St_Type(GetDlgItem(d, IDC_EMPD_PWD), "pw1");
        St_Type(GetDlgItem(d, IDC_EMPD_PWD2), "pw1");
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitFor([] { return TestBoxes_Count() == 1; }));
        first = {TestBoxes_Taken()[0].text};
        EXPECT_TRUE(IsWindowVisible(d));
        SendMessageA(GetDlgItem(d, IDC_EMPD_BIRTHDAY), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1990-02-03"));
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    char want[160];
    Date_Refusal("生日", want, sizeof(want));
    EXPECT_EQ(first, std::vector<std::string>{want});
    char name[sizeof(tagEMPLOYEE::szEmp)];
    Gbk_CopyCut(name, sizeof(name), typedName.c_str());
    EXPECT_EQ(hostile.compare(0, strlen(name), name), 0);
    EXPECT_EQ(typedRemark, std::string(256, 'r'));
    auto emp = TestDb_Query("select szEmp, szRemark, szBirthday from t_employee where iOrdinal > " +
                            employees.back()[0]);
    ASSERT_EQ(emp.size(), 1u);
    EXPECT_EQ(emp[0][0], name);
    EXPECT_EQ(emp[0][1], typedRemark);
    EXPECT_EQ(emp[0][2], "1990-02-03");
    EXPECT_EQ(Rows("t_employee", atoi(employees.back()[0].c_str())), employees);
    Org_ExpectNowhere("pw1");

    // A daily count that is no number, or too large, is refused naming its
    // box; nothing is granted.
    ASSERT_TRUE(Org_ClickEmployee(hwnd, name));
    Click(IDC_PD_SALESMAN);
    std::string value = TestDb_Scalar("select szValue from t_popedom where iEmp = " +
                                      TestDb_Scalar("select max(iOrdinal) from t_employee"));
    for (const char* count : {"1e9x", "99999999999", "12'3"}) {
        SendMessageA(Org_Box(hwnd, IDC_PD_HOU_COUNT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(count));
        Grant();
        ASSERT_EQ(TestBoxes_Count(), 1u) << count;
        EXPECT_NE(TestBoxes_Taken()[0].text.find("「房源看电话次/天」"), std::string::npos) << TestBoxes_Taken()[0].text;
    }
    EXPECT_EQ(TestDb_Scalar("select szValue from t_popedom where iEmp = " +
                            TestDb_Scalar("select max(iOrdinal) from t_employee")),
              value);
}

// The spare slots of a block used up while the window is open: the next
// branch and employee are stored, and the user is asked to refresh.
TEST_F(OrgWindow, AFullBlockStillStoresTheNewRecordAndAsksForARefresh)
{
    int rows = Shell_GridRows(w->hGrid);
    w->rs.nSlots = w->rs.nRows;                       // no free slot left
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_EMP_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "员工增加");
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(Org_Choose(d, IDC_EMPD_POSITION, "业务员"));
        St_Type(GetDlgItem(d, IDC_EMPD_NAME), "zhao");
        St_Type(GetDlgItem(d, IDC_EMPD_PWD), "abc123");
        St_Type(GetDlgItem(d, IDC_EMPD_PWD2), "abc123");
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_EQ(TestDb_Count("t_employee where szEmp = 'zhao' and iBr = 1"), 1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"员工已保存, 但本窗口的空位已用完, 不能显示它.\n请点「刷新」后查看."});
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows);
    Shell_ClickButton(hwnd, ID_MODULE_REFRESH);
    Org_WaitIdle(hwnd);
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows + 1);

    TestBoxes_Reset();
    st->nBrSlots = 2;                                  // the two demo branches fill the block
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_BRANCH_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "增加部门");
        ASSERT_NE(d, nullptr);
        St_Type(GetDlgItem(Org_PageWith(d, IDC_BRD_NAME), IDC_BRD_NAME), "east");
        St_Type(GetDlgItem(Org_PageWith(d, IDC_BRD_NUM), IDC_BRD_NUM), "009");
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    EXPECT_EQ(TestDb_Count("t_branch where szBr = 'east'"), 1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"部门已保存, 但本窗口的空位已用完, 不能显示它.\n请点「刷新部门」后查看."});
    EXPECT_EQ(Wd_TreeItem(w->hTree, "east"), nullptr);
    Shell_ClickButton(hwnd, ID_ORG_BRANCH_REFRESH);
    Org_WaitIdle(hwnd);
    EXPECT_NE(Wd_TreeItem(w->hTree, "east"), nullptr);
    EXPECT_EQ(st->iBr, 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), rows + 1);
}

TEST_F(OrgWindow, AnEmployeeWhoLeavesHandsHisListingsToAnotherBranch)
{
    int li = Key("李娜"), wang = Key("王强");
    long long houses = TestDb_Count("t_house where bRecyle = 0 and iEmp = " + std::to_string(li));
    long long clients = TestDb_Count("t_client where bRecyle = 0 and iEmp = " + std::to_string(li));
    long long wangHouses = TestDb_Count("t_house where bRecyle = 0 and iEmp = " + std::to_string(wang));
    ASSERT_GT(houses, 0);
    ASSERT_TRUE(Org_ClickEmployee(hwnd, "李娜"));
    TestBoxes_Answer(IDOK);                          // "是否继续?"
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_ORG_EMP_TRANSFER); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "员工转移");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(Ui_Text(GetDlgItem(d, IDC_TRF_BRANCH)), "总店");
        ASSERT_TRUE(Org_Choose(d, IDC_TRF_BRANCH, "文三路店"));
        EXPECT_TRUE(St_WaitFor([&] { return SendMessageA(GetDlgItem(d, IDC_TRF_EMP), CB_GETCOUNT, 0, 0) == 3; }));
        ASSERT_TRUE(Org_Choose(d, IDC_TRF_EMP, "王强"));
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << (boxes.empty() ? "" : boxes[0]);
    EXPECT_EQ(boxes[0], "把「李娜」的全部房源、客源和跟进转给「王强」(文三路店), 是否继续?");
    EXPECT_EQ(boxes[1].find("员工转移完成: 房源 " + std::to_string(houses) + " 条, 客源 " + std::to_string(clients) + " 条"), 0u)
        << boxes[1];
    EXPECT_EQ(TestDb_Count("t_house where bRecyle = 0 and iEmp = " + std::to_string(li)), 0);
    EXPECT_EQ(TestDb_Count("t_house where bRecyle = 0 and iBr = 2 and iEmp = " + std::to_string(wang)),
              wangHouses + houses);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 2 and iObjType = 0 and iOpEmp = 1"), houses);
}

}  // namespace
