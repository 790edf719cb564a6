// The parameter dictionary window driven as a user drives it under the
// virtual display, against the test server with the seeded vocabulary: the
// category and name tree, the value grid and the value dialog.
#include "tests/admin_areas/dict_driver.h"
#include "app/admin/param_window.h"
#include "app/shell/frame.h"
#include "app/resources/resource.h"
#include "common/gbk.h"

#include <algorithm>
#include <cstring>

namespace {

using Texts = std::vector<std::string>;

tagEMPLIST g_admin = {1, 1, "管理员"};

class ParamWindowTest : public testing::Test, public DictWindow {
protected:
    void SetUp() override
    {
        // A fresh seeded database each time, plus a category without names.
        TestDb_Open("kelmora_params");
        TestDb_Exec("insert into t_param (iParentIndex, szTags) values (0, '空类别')");
        Shell_Setup();
        ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
        g_ZTMain.pLoginEmp = &g_admin;
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
    }
    void TearDown() override
    {
        Shell_DestroyFrame(frame);
        g_ZTMain.pLoginEmp = nullptr;
        TestDb_Close();
    }
    PARAM_WINDOW* State() { return static_cast<PARAM_WINDOW*>(w->pState); }
    bool Expanded(const char* text)
    {
        return SendMessageA(w->hTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(Item(text)), TVIS_EXPANDED) != 0;
    }
    tagARGC* Value(const char* text)
    {
        tagARGC* v = static_cast<tagARGC*>(w->rs.pBlock);
        for (int i = 0; v && i < w->rs.nSlots; i++)
            if (v[i].iOrdinal && strcmp(v[i].szValue, text) == 0)
                return &v[i];
        return nullptr;
    }
    int Row(const void* rec)
    {
        std::vector<void*> rows = Dict_GridRecords(w->hGrid);
        return static_cast<int>(std::find(rows.begin(), rows.end(), rec) - rows.begin());
    }
    // The value dialog opened by start(): what it shows ("name|value|
    // priority"), then the value typed and the priority set (null: left as
    // they are) and saved.  Whether it closed; a dialog that stays is
    // cancelled.
    bool ValueDialog(const std::function<void()>& start, const char* caption, const char* value,
                     const char* priority, std::string* pShown = nullptr)
    {
        bool closed = false;
        Dict_DriveDialog(w, start, caption, [&](HWND d) {
            if (pShown)
                *pShown = Ui_Text(GetDlgItem(d, IDC_PARAM_NAME)) + "|" + Ui_Text(GetDlgItem(d, IDC_PARAM_VALUE)) +
                          "|" + Ui_Text(GetDlgItem(d, IDC_PARAM_PRIORITY));
            if (value)
                Wd_Type(GetDlgItem(d, IDC_PARAM_VALUE), value);
            if (priority)
                Wd_Type(GetDlgItem(d, IDC_PARAM_PRIORITY), priority);
            closed = Dict_Press(d, IDOK, 2000);
        });
        return closed;
    }
    void Post(int cmd) { PostMessageA(hwnd, WM_COMMAND, cmd, 0); }
};

TEST_F(ParamWindowTest, AUserAddsModifiesReordersAndDeletesAValue)
{
    // Opened from the menu bar with the mouse: 系统管理(&S), 参数管理.
    Wd_ChooseMenu(frame, MAINPOS_ADMIN, IDM_PARAM);
    ASSERT_TRUE(Wait(ZT_CLASS_CHILD_ARGC));
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("所有参数")), (Texts{"房源参数(住宅)", "客源参数", "楼盘字典", "空类别"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "交易");              // the first category's first name
    EXPECT_EQ(State()->pName->iOrdinal, 880);
    EXPECT_EQ(Shell_CountBox(hwnd), "5");

    // "朝向" picked; "增加参数": 东偏南 with priority 3, listed on top.
    Dict_ClickTree(w, Item("朝向"));
    EXPECT_EQ(Shell_CountBox(hwnd), "10");
    std::string shown;
    ASSERT_TRUE(ValueDialog([&] { Shell_ClickButton(hwnd, ID_PARAM_ADD); }, "增加参数", "东偏南", "3", &shown));
    EXPECT_EQ(shown, "朝向||0");
    std::string key = TestDb_Scalar("select iOrdinal from t_param where szValue = '东偏南' and iPriority = 3 and "
                                    "iParentIndex = (select iOrdinal from t_param where szName = '朝向')");
    ASSERT_NE(key, "");
    tagARGC* rec = Value("东偏南");
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(Row(rec), 0);
    EXPECT_EQ(Shell_CountBox(hwnd), "11");

    // A double click on its row: text and priority changed.
    Wd_ClickRow(w->hGrid, Row(rec));
    TestBoxes_Reset();
    ASSERT_TRUE(ValueDialog([&] { Wd_ClickRow(w->hGrid, Row(rec), true); }, "修改参数", "东南偏东", "7", &shown));
    EXPECT_EQ(shown, "朝向|东偏南|3");
    EXPECT_EQ(TestBoxes_Taken().at(0).text, "修改数据 1.行");
    EXPECT_EQ(TestDb_Query("select szValue, iPriority from t_param where iOrdinal = " + key),
              (std::vector<Texts>{{"东南偏东", "7"}}));
    EXPECT_STREQ(rec->szValue, "东南偏东");

    // "南" moved to the top: only its priority changes, and "刷新" lists it first.
    tagARGC* south = Value("南");
    ASSERT_NE(south, nullptr);
    std::string sk = std::to_string(south->iOrdinal);
    Wd_ClickRow(w->hGrid, Row(south));
    ASSERT_TRUE(ValueDialog([&] { Shell_ClickButton(hwnd, ID_PARAM_MODIFY); }, "修改参数", nullptr, "-1"));
    EXPECT_EQ(TestDb_Query("select szValue, iPriority from t_param where iOrdinal = " + sk),
              (std::vector<Texts>{{"南", "-1"}}));
    Shell_ClickButton(hwnd, ID_MODULE_REFRESH);
    Wd_Settle(w);
    EXPECT_STREQ(static_cast<tagARGC*>(Dict_GridRecords(w->hGrid).at(0))->szValue, "南");

    // The added value deleted after the question, with its log row.
    rec = Value("东南偏东");
    ASSERT_NE(rec, nullptr);
    Wd_ClickRow(w->hGrid, Row(rec));
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_PARAM_DELETE, IDOK);
    EXPECT_EQ(TestBoxes_Taken().at(0).caption, "删除确认");
    EXPECT_EQ(TestDb_Count("t_param where iOrdinal = " + key), 0);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 10 and iAct = 1 and iObjID = " + key), 1);
    EXPECT_EQ(Shell_CountBox(hwnd), "10");
}

TEST_F(ParamWindowTest, SelectionsRefusalsAndAFullBuffer)
{
    ASSERT_TRUE(Open(IDM_PARAM, ZT_CLASS_CHILD_ARGC));
    PARAM_WINDOW* st = State();
    // A category without names: no name, an empty grid, nothing to act on.
    Dict_ClickTree(w, Item("空类别"));
    EXPECT_EQ(st->pName, nullptr);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");
    for (int cmd : {ID_PARAM_ADD, ID_PARAM_MODIFY, ID_PARAM_DELETE})
        Command(cmd);
    Texts said;
    for (const TestBox& b : TestBoxes_Taken())
        said.push_back(b.text);
    EXPECT_EQ(said, (Texts{"选择参数", "选择参数值", "选择参数"}));
    // The root passes the selection to the first category's first name;
    // another category opens (the one before closes) and lists its first.
    Dict_ClickTree(w, Item("所有参数"));
    EXPECT_EQ(st->pName->iOrdinal, 880);
    Dict_ClickTree(w, Item("客源参数"));
    EXPECT_EQ(st->pName->iOrdinal, 866);
    EXPECT_TRUE(Expanded("客源参数"));
    EXPECT_FALSE(Expanded("房源参数(住宅)"));

    // A text the name has is refused; so is a rename onto it (no row
    // changes); both keep the dialog open.  Unchanged values send nothing.
    DbRows before = DbFix_Rows("t_param");
    TestBoxes_Reset();
    EXPECT_FALSE(ValueDialog([&] { Post(ID_PARAM_ADD); }, "增加参数", "求购", "1"));
    Wd_ClickRow(w->hGrid, Row(Value("求租")));
    EXPECT_FALSE(ValueDialog([&] { Post(ID_PARAM_MODIFY); }, "修改参数", "求购", nullptr));
    EXPECT_TRUE(ValueDialog([&] { Post(ID_PARAM_MODIFY); }, "修改参数", nullptr, nullptr));
    said.clear();
    for (const TestBox& b : TestBoxes_Taken())
        said.push_back(b.text);
    EXPECT_EQ(said, (Texts{"已存在相同数据,增加失败", "已存在相同数据, 或该数据已被其他用户删除, 修改失败"}));
    EXPECT_STREQ(Value("求租")->szValue, "求租");
    EXPECT_EQ(DbFix_Diff(before, DbFix_Rows("t_param")), std::vector<std::string>()) << "nothing changed";

    // Every free slot taken, as after 101 additions: the next value is
    // stored, the user told to refresh, and "刷新" lists it.
    tagARGC* v = static_cast<tagARGC*>(w->rs.pBlock);
    for (int i = 0; i < w->rs.nSlots; i++)
        if (!v[i].iOrdinal)
            v[i].iOrdinal = 900000 + i;
    EXPECT_TRUE(ValueDialog([&] { Post(ID_PARAM_ADD); }, "增加参数", "转租", "6"));
    EXPECT_EQ(Wd_Boxes("增加数据超过缓存区,请刷新数据后再操作."), 1u);
    EXPECT_EQ(TestDb_Count("t_param where szValue = '转租' and iParentIndex = 866"), 1);
    Command(ID_MODULE_REFRESH);
    EXPECT_NE(Value("转租"), nullptr);
    EXPECT_EQ(Shell_CountBox(hwnd), "6");

    // A hostile value pasted: stored cut to 16 bytes on a whole character,
    // an impossible priority refused naming its box (then left empty: 0),
    // no other row changed.
    std::string hostile = "\xD5\x5C%_'";
    while (hostile.size() < 300)
        hostile += HostileText();
    before = DbFix_Rows("t_param");
    Wd_Drive([&] { Post(ID_PARAM_ADD); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "增加参数");
        ASSERT_NE(d, nullptr);
        SetWindowTextA(GetDlgItem(d, IDC_PARAM_VALUE), hostile.c_str());
        SetWindowTextA(GetDlgItem(d, IDC_PARAM_PRIORITY), "9999999999");
        EXPECT_FALSE(Dict_Press(d, IDOK, 1500));
        SetWindowTextA(GetDlgItem(d, IDC_PARAM_PRIORITY), "");
        EXPECT_TRUE(Dict_Press(d, IDOK));
    });
    EXPECT_EQ(Wd_Boxes("「优先级」须是整数(可带负号), 或不填"), 1u);
    std::vector<char> cut(17);
    Gbk_CopyCut(cut.data(), cut.size(), hostile.c_str());
    DbRows after = DbFix_Rows("t_param");
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(TestDb_Query("select szValue, iPriority from t_param order by iOrdinal desc limit 1"),
              (std::vector<Texts>{{cut.data(), "0"}}));
    after.pop_back();
    EXPECT_EQ(after, before);
}

}  // namespace
