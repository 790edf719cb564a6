// The parameter dictionary window driven as a user drives it under the
// virtual display, against the test server with the seeded vocabulary: the
// category and name tree, the value grid, the value dialog adding,
// modifying and (after the question) deleting values.
#include "tests/admin_areas/dict_driver.h"
#include "app/admin/param_window.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/gbk.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

tagEMPLIST g_admin = {1, 1, "管理员"};

std::string Cut(const std::string& s, size_t cb)
{
    std::vector<char> out(cb);
    Gbk_CopyCut(out.data(), cb, s.c_str());
    return out.data();
}

class ParamWindowTest : public testing::Test, public DictWindow {
protected:

    void SetUp() override
    {
        // A fresh seeded database each time, plus a category without names.
        TestDb_Open("kelmora_params");
        TestDb_Exec("insert into t_param (iParentIndex, szTags) values (0, '空类别')");
        Shell_Setup();
        ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
        g_ZTMain.pLoginEmp = &g_admin;
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        Shell_DestroyFrame(frame);
        g_ZTMain.pLoginEmp = nullptr;
        TestDb_Close();
    }

    void WaitLoaded()
    {
        ASSERT_TRUE(Wait(ZT_CLASS_CHILD_ARGC));
        ASSERT_TRUE(State()->bTreeLoaded);
    }
    void Open()
    {
        ASSERT_TRUE(DictWindow::Open(IDM_PARAM, ZT_CLASS_CHILD_ARGC));
        ASSERT_TRUE(State()->bTreeLoaded);
    }
    PARAM_WINDOW* State() { return static_cast<PARAM_WINDOW*>(w->pState); }
    // The name item under a category (a name text may occur in two).
    HTREEITEM NameItem(const char* category, const char* name)
    {
        HTREEITEM c = Item(category);
        for (HTREEITEM h = TreeView_GetChild(w->hTree, c); h; h = TreeView_GetNextSibling(w->hTree, h))
            if (Dict_TreeText(w->hTree, h) == name)
                return h;
        return nullptr;
    }
    bool Expanded(HTREEITEM h)
    {
        return (SendMessageA(w->hTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(h), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
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
    std::string NameKey(const char* category, const char* name)
    {
        return TestDb_Scalar(std::string("select n.iOrdinal from t_param n join t_param c on n.iParentIndex = c.iOrdinal"
                                         " where c.szTags = '") + category + "' and n.szName = '" + name + "'");
    }
    // Works the value dialog: the value and priority typed, then saved;
    // whether it closed.
    bool ValueDialog(const std::function<void()>& start, const char* caption, const char* value, const char* priority,
                     std::string* shownName = nullptr, std::string* shownValue = nullptr,
                     std::string* shownPriority = nullptr)
    {
        bool closed = false;
        Dict_Drive(start, [&](DWORD tid) {
            HWND d = Dict_Dialog(tid, caption);
            ASSERT_NE(d, nullptr) << caption;
            if (shownName)
                *shownName = Ui_Text(GetDlgItem(d, IDC_PARAM_NAME));
            if (shownValue)
                *shownValue = Ui_Text(GetDlgItem(d, IDC_PARAM_VALUE));
            if (shownPriority)
                *shownPriority = Ui_Text(GetDlgItem(d, IDC_PARAM_PRIORITY));
            if (value)
                Dict_Type(GetDlgItem(d, IDC_PARAM_VALUE), value);
            if (priority)
                Dict_Type(GetDlgItem(d, IDC_PARAM_PRIORITY), priority);
            closed = Dict_Press(d, IDOK, 2000);
            if (!closed)
                Dict_Press(d, IDCANCEL);
        });
        Dict_Settle(w);
        return closed;
    }
};

// ---- A user's round -----------------------------------------------------------------------

TEST_F(ParamWindowTest, AUserAddsModifiesReordersAndDeletesAValue)
{
    // Opened from the menu bar with the mouse: 系统管理(&S), 参数管理.
    HMENU bar = GetMenu(frame);
    RECT r;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, MAINPOS_ADMIN, &r));
    Ui_ClickMenuItemSoon(GetSubMenu(bar, MAINPOS_ADMIN), IDM_PARAM);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Ui_Pump(600);
    EXPECT_TRUE(Ui_MenuClicked());
    WaitLoaded();

    // Every category under "所有参数"; the first opened, its first name
    // selected and its values listed.
    HTREEITEM root = Item("所有参数");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, root), (Texts{"房源参数(住宅)", "客源参数", "楼盘字典", "空类别"}));
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("客源参数")),
              (Texts{"交易", "等级", "性质", "来源", "楼层", "委托权限"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "交易");
    EXPECT_EQ(State()->pName->iOrdinal, 880);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 5);
    EXPECT_EQ(Shell_CountBox(hwnd), "5");

    // "朝向" picked: its ten values.
    Dict_ClickTree(w, NameItem("房源参数(住宅)", "朝向"));
    std::string key = NameKey("房源参数(住宅)", "朝向");
    ASSERT_NE(key, "");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 10);
    EXPECT_EQ(Shell_CountBox(hwnd), "10");

    // "增加参数": 东偏南 with priority 3, listed on top.
    std::string shownName, shownPriority;
    ASSERT_TRUE(ValueDialog([&] { Shell_ClickButton(hwnd, ID_PARAM_ADD); }, "增加参数", "东偏南", "3", &shownName,
                            nullptr, &shownPriority));
    EXPECT_EQ(shownName, "朝向");
    EXPECT_EQ(shownPriority, "0");
    auto row = TestDb_Query("select iOrdinal, iPriority, bRecyle from t_param where szValue = '东偏南' and iParentIndex = " +
                            key);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0][1], "3");
    std::string added = row[0][0];
    EXPECT_EQ(Shell_GridRows(w->hGrid), 11);
    EXPECT_EQ(Shell_CountBox(hwnd), "11");
    tagARGC* rec = Value("东偏南");
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(Row(rec), 0);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 10 and iAct = 2 and iObjID = " + added), 1);

    // A double click on its row: text and priority changed.
    Dict_ClickRow(w, Row(rec));
    std::string shownValue;
    TestBoxes_Reset();
    ASSERT_TRUE(ValueDialog([&] { Dict_ClickRow(w, Row(rec), true); }, "修改参数", "东南偏东", "7", nullptr,
                            &shownValue, &shownPriority));
    EXPECT_EQ(shownValue, "东偏南");
    EXPECT_EQ(shownPriority, "3");
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "修改数据 1.行");
    EXPECT_EQ(TestBoxes_Taken()[0].caption, "操作成功");
    EXPECT_EQ(TestDb_Query("select szValue, iPriority from t_param where iOrdinal = " + added),
              (std::vector<Texts>{{"东南偏东", "7"}}));
    EXPECT_STREQ(rec->szValue, "东南偏东");
    EXPECT_EQ(rec->iPriority, 7);

    // "南" moved up: only its priority changes.
    tagARGC* south = Value("南");
    ASSERT_NE(south, nullptr);
    std::string sk = std::to_string(south->iOrdinal);
    Dict_ClickRow(w, Row(south));
    ASSERT_TRUE(ValueDialog([&] { Shell_ClickButton(hwnd, ID_PARAM_MODIFY); }, "修改参数", nullptr, "-1"));
    EXPECT_EQ(TestDb_Query("select szValue, iPriority from t_param where iOrdinal = " + sk),
              (std::vector<Texts>{{"南", "-1"}}));
    EXPECT_EQ(south->iPriority, -1);
    // "刷新" lists it first now.
    Shell_ClickButton(hwnd, ID_MODULE_REFRESH);
    Dict_Settle(w);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    const tagARGC* first = static_cast<const tagARGC*>(Module_Selected(w));
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->szValue, "南");

    // The added value deleted after the question.
    rec = Value("东南偏东");
    ASSERT_NE(rec, nullptr);
    Dict_ClickRow(w, Row(rec));
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    Shell_ClickButton(hwnd, ID_PARAM_DELETE);
    Dict_Settle(w);
    ASSERT_GE(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "删除后将无法恢复,是否继续");
    EXPECT_EQ(TestBoxes_Taken()[0].caption, "删除确认");
    EXPECT_EQ(TestDb_Count("t_param where iOrdinal = " + added), 0);
    EXPECT_EQ(TestDb_Count("t_log where iObjType = 10 and iAct = 1 and iObjID = " + added), 1);
    EXPECT_EQ(rec->iOrdinal, 0);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 10);
    EXPECT_EQ(Shell_CountBox(hwnd), "10");
}

// ---- The tree's selections, refusals, the full buffer ------------------------------------------

TEST_F(ParamWindowTest, SelectionsRefusalsAndAFullBufferKeepTheWindowTrue)
{
    Open();
    PARAM_WINDOW* st = State();

    // A category without names: no name, an empty grid, nothing to act on.
    Dict_ClickTree(w, Item("空类别"));
    EXPECT_EQ(st->pName, nullptr);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");
    TestBoxes_Reset();
    for (int cmd : {ID_PARAM_ADD, ID_PARAM_MODIFY, ID_PARAM_DELETE})
        Command(cmd);
    ASSERT_EQ(TestBoxes_Count(), 3u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "选择参数");
    EXPECT_EQ(TestBoxes_Taken()[1].text, "选择参数值");
    EXPECT_EQ(TestBoxes_Taken()[2].text, "选择参数");

    // The root passes the selection to the first category, which passes it
    // to its first name.
    Dict_ClickTree(w, Item("所有参数"));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "交易");
    ASSERT_NE(st->pName, nullptr);
    EXPECT_EQ(st->pName->iOrdinal, 880);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 5);

    // Another category: it opens, the one opened before closes, and its
    // first name (the client "交易") is listed.
    Dict_ClickTree(w, Item("客源参数"));
    EXPECT_EQ(st->pName->iOrdinal, 866);
    EXPECT_TRUE(Expanded(Item("客源参数")));
    EXPECT_FALSE(Expanded(Item("房源参数(住宅)")));
    EXPECT_EQ(Shell_GridRows(w->hGrid), 5);

    // A text the name has (or had: the recycle bin counts) is refused, and
    // the dialog keeps what was typed.
    auto before = TestDb_Query("select * from t_param order by iOrdinal");
    TestBoxes_Reset();
    EXPECT_FALSE(ValueDialog([&] { Command(ID_PARAM_ADD); }, "增加参数", "求购", "1"));
    EXPECT_EQ(Dict_Boxes("已存在相同数据,增加失败"), 1u);
    // A rename onto such a text: the server changes no row, the dialog stays.
    tagARGC* rent = Value("求租");
    ASSERT_NE(rent, nullptr);
    Dict_ClickRow(w, Row(rent));
    TestBoxes_Reset();
    EXPECT_FALSE(ValueDialog([&] { Command(ID_PARAM_MODIFY); }, "修改参数", "求购", nullptr));
    EXPECT_EQ(Dict_Boxes("修改数据 0.行"), 1u);
    EXPECT_STREQ(rent->szValue, "求租");
    // Unchanged text and priority close the dialog and send nothing.
    TestBoxes_Reset();
    ValueDialog([&] { Command(ID_PARAM_MODIFY); }, "修改参数", nullptr, nullptr);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Query("select * from t_param order by iOrdinal"), before);

    // Every free slot of the window's values taken, as after 101 additions:
    // the next is stored, the user told to refresh, and "刷新" lists it.
    tagARGC* v = static_cast<tagARGC*>(w->rs.pBlock);
    for (int i = 0; i < w->rs.nSlots; i++)
        if (!v[i].iOrdinal)
            v[i].iOrdinal = 900000 + i;
    TestBoxes_Reset();
    EXPECT_TRUE(ValueDialog([&] { Command(ID_PARAM_ADD); }, "增加参数", "转租", "6"));
    EXPECT_EQ(Dict_Boxes("增加数据超过缓存区,请刷新数据后再操作."), 1u);
    EXPECT_EQ(TestDb_Count("t_param where szValue = '转租' and iParentIndex = 866"), 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 5);
    Command(ID_MODULE_REFRESH);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 6);
    EXPECT_NE(Value("转租"), nullptr);
    EXPECT_EQ(Shell_CountBox(hwnd), "6");
}

// ---- Hostile values -------------------------------------------------------------------------

TEST_F(ParamWindowTest, AHostileValueIsStoredCutToItsFieldAndChangesNoOtherRow)
{
    Open();
    std::string hostile;
    while (hostile.size() < 300)
        hostile += HostileText();
    hostile = "\xD5\x5C" "%_'" + hostile;
    auto before = TestDb_Query("select * from t_param order by iOrdinal");
    Dict_Drive([&] { SendMessageA(hwnd, WM_COMMAND, ID_PARAM_ADD, 0); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "增加参数");
        ASSERT_NE(d, nullptr);
        SetWindowTextA(GetDlgItem(d, IDC_PARAM_VALUE), hostile.c_str());
        SetWindowTextA(GetDlgItem(d, IDC_PARAM_PRIORITY), "9999999999");
        EXPECT_TRUE(Dict_Press(d, IDOK));
    });
    Dict_Settle(w);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    auto after = TestDb_Query("select * from t_param order by iOrdinal");
    ASSERT_EQ(after.size(), before.size() + 1);
    after.pop_back();
    EXPECT_EQ(after, before);
    auto row = TestDb_Query("select szValue, iPriority, iParentIndex from t_param order by iOrdinal desc limit 1");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0], (Texts{Cut(hostile, 17), "0", "880"}));
    ASSERT_NE(Value(Cut(hostile, 17).c_str()), nullptr);
}

}  // namespace
