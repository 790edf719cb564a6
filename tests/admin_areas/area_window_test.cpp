// The area management window driven as a user drives it under the virtual
// display, against the test server: the tree of cities and urban areas, the
// district grid, the city, urban-area, district and merge dialogs, and the
// shared area cache every form reads, kept in step with the database.
#include "tests/admin_areas/dict_driver.h"
#include "app/admin/area_cache.h"
#include "app/admin/area_window.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/house_ids.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"
#include "app/shell/rights.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/gbk.h"
#include "outside/popedom/ZTPopedom.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

tagEMPLIST g_admin = {1, 1, "管理员"};

// Three cities: 苏州 (1) with 姑苏区 (11: districts 平江, 沧浪; an estate),
// 工业园区 (12: district 湖东, an estate) and the empty 吴中区 (13); 无锡 (2)
// with 滨湖区 (21: an estate); 常熟 (3) without urban areas.
const char kAreas[] =
    "delete from t_log; delete from t_recyle; delete from t_buildno; delete from t_estate;"
    "delete from t_district; delete from t_urban;"
    "insert into t_urban (iOrdinal, iParentIndex, szUrban, iPriority) values"
    " (1, 0, '苏州', 1), (2, 0, '无锡', 2), (3, 0, '常熟', 3),"
    " (11, 1, '姑苏区', 1), (12, 1, '工业园区', 2), (13, 1, '吴中区', 3), (21, 2, '滨湖区', 1);"
    "insert into t_district (iOrdinal, iParentIndex, szDistrict, iPriority) values"
    " (101, 11, '平江', 1), (102, 11, '沧浪', 2), (103, 12, '湖东', 1);"
    "insert into t_estate (iOrdinal, iUrban, szEstate, szSpell) values"
    " (201, 11, '平江新城', 'PJXC'), (203, 12, '湖东邻里', 'HDLL'), (204, 21, '蠡湖人家', 'LHRJ')";

int Key(const std::string& sql)
{
    return atoi(TestDb_Scalar(sql).c_str());
}

// Every row of the area tables, to see that nothing else changed.
std::vector<std::vector<std::string>> Areas()
{
    auto rows = TestDb_Query("select 'u', iOrdinal, iParentIndex, szUrban, iPriority, bRecyle from t_urban"
                             " order by iOrdinal");
    auto dist = TestDb_Query("select 'd', iOrdinal, iParentIndex, szDistrict, iPriority, bRecyle from t_district"
                             " order by iOrdinal");
    rows.insert(rows.end(), dist.begin(), dist.end());
    return rows;
}

std::string Cut(const std::string& s, size_t cb)
{
    std::vector<char> out(cb);
    Gbk_CopyCut(out.data(), cb, s.c_str());
    return out.data();
}

std::vector<std::string> ListItems(HWND hList)
{
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(hList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; i++) {
        char buf[128] = "";
        SendMessageA(hList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
    }
    return out;
}

// The same texts in the order the grid's names are compared in.
Texts Sorted(Texts t)
{
    std::sort(t.begin(), t.end());
    return t;
}

bool Has(const Texts& list, const char* text)
{
    return std::find(list.begin(), list.end(), text) != list.end();
}

class AreaWindowTest : public testing::Test, public DictWindow {
protected:
    tagZT_Main_Param* p = &g_ZTMain;

    static void SetUpTestSuite()
    {
        TestDb_Open("kelmora_areas");
        Shell_Setup();
        ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override
    {
        Shell_Setup();
        TestDb_Exec(kAreas);
        // The caches as start-up leaves them after the administrator's login.
        g_ZTMain.pLoginEmp = &g_admin;
        ASSERT_EQ(Startup_Phase2(&g_ZTMain, nullptr), 1);
        ASSERT_EQ(p->nUrban, 4);
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        Shell_DestroyFrame(frame);
        g_ZTMain.pLoginEmp = nullptr;
    }

    void WaitLoaded()
    {
        ASSERT_TRUE(Wait(ZT_CLASS_CHILD_URBAN));
        ASSERT_TRUE(State()->bTreeFilled);
    }
    void Open()
    {
        ASSERT_TRUE(DictWindow::Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
        ASSERT_TRUE(State()->bTreeFilled);
    }
    AREA_WINDOW* State() { return static_cast<AREA_WINDOW*>(w->pState); }
    void Click(const char* text)
    {
        HTREEITEM h = Item(text);
        ASSERT_NE(h, nullptr) << text;
        Dict_ClickTree(w, h);
    }
    // The names of the districts the grid lists, sorted.
    Texts Listed()
    {
        Texts out;
        for (void* r : Dict_GridRecords(w->hGrid))
            out.push_back(static_cast<tagDISTRICT*>(r)->szDistrict);
        std::sort(out.begin(), out.end());
        return out;
    }
    tagDISTRICT* District(const char* name)
    {
        for (int i = 0; i < Cache_DistrictSlots(p); i++)
            if (p->pDist[i].iOrdinal && strcmp(p->pDist[i].szDistrict, name) == 0)
                return &p->pDist[i];
        return nullptr;
    }
    // A toolbar button that opens one of the area dialogs, worked by the
    // driver: the name (and priority) typed, then "保存(&S)".
    void AddByDialog(int cmd, const char* caption, const std::string& name, const char* priority = nullptr,
                     std::string* parentShown = nullptr)
    {
        Dict_Drive([&] { Shell_ClickButton(hwnd, cmd); }, [&](DWORD tid) {
            HWND d = Dict_Dialog(tid, caption);
            ASSERT_NE(d, nullptr) << caption;
            if (parentShown)
                *parentShown = Ui_Text(GetDlgItem(d, IDC_AREA_PARENT));
            Dict_Type(GetDlgItem(d, IDC_AREA_NAME), name);
            if (priority)
                Dict_Type(GetDlgItem(d, IDC_AREA_PRIORITY), priority);
            EXPECT_TRUE(Dict_Press(d, IDOK)) << caption;
        });
        Dict_Settle(w);
    }
};

// ---- A user's round -----------------------------------------------------------------------

TEST_F(AreaWindowTest, AUserAddsACityAnUrbanAreaAndDistrictsRenamesMergesAndDeletes)
{
    // Opened from the menu bar with the mouse: 系统管理(&S), 城区管理.
    HMENU bar = GetMenu(frame);
    RECT r;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, MAINPOS_ADMIN, &r));
    Ui_ClickMenuItemSoon(GetSubMenu(bar, MAINPOS_ADMIN), IDM_AREA);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Ui_Pump(600);
    EXPECT_TRUE(Ui_MenuClicked());
    WaitLoaded();
    AREA_WINDOW* st = State();

    // Every city with its urban areas; the first city open, its first urban
    // area selected and its districts listed.
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "无锡", "常熟"}));
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("苏州")), (Texts{"姑苏区", "工业园区", "吴中区"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "姑苏区");
    EXPECT_EQ(Listed(), Sorted({"平江", "沧浪"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "2");

    // "城市管理": 常州, listed at once; the selection stays.
    AddByDialog(ID_AREA_CITY_ADD, "城市管理", "常州");
    int city = Key("select iOrdinal from t_urban where iParentIndex = 0 and szUrban = '常州'");
    ASSERT_GT(city, 0);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "无锡", "常熟", "常州"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "姑苏区");
    ASSERT_NE(AreaCache_City(p, city), nullptr);
    EXPECT_EQ(p->nCity, 4);
    EXPECT_EQ(p->nCitySpare, 100);

    // Picked, it has no urban areas: an empty grid showing 0.
    Click("常州");
    EXPECT_EQ(st->iCity, city);
    EXPECT_EQ(st->pUrban, nullptr);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");

    // "城区管理": 天宁区 with priority 2, selected at once.
    std::string shown;
    AddByDialog(ID_AREA_URBAN_ADD, "城区管理", "天宁区", "2", &shown);
    EXPECT_EQ(shown, "常州");
    int tianning = Key("select iOrdinal from t_urban where szUrban = '天宁区' and iParentIndex = " +
                       std::to_string(city));
    ASSERT_GT(tianning, 0);
    EXPECT_EQ(TestDb_Scalar("select iPriority from t_urban where iOrdinal = " + std::to_string(tianning)), "2");
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("常州")), (Texts{"天宁区"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "天宁区");
    ASSERT_NE(st->pUrban, nullptr);
    EXPECT_EQ(st->pUrban, Cache_Urban(p, tianning));
    EXPECT_EQ(st->pUrban->iPriority, 2);
    EXPECT_EQ(p->nUrban, 5);
    EXPECT_EQ(p->nUrbanSpare, 100);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");

    // Two districts.
    AddByDialog(ID_AREA_DIST_ADD, "增加片区", "红梅", "1", &shown);
    EXPECT_EQ(shown, "天宁区");
    AddByDialog(ID_AREA_DIST_ADD, "增加片区", "兰陵");
    EXPECT_EQ(Listed(), Sorted({"兰陵", "红梅"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "2");
    EXPECT_EQ(TestDb_Count("t_district where iParentIndex = " + std::to_string(tianning)), 2);
    tagDISTRICT* hongmei = District("红梅");
    tagDISTRICT* lanling = District("兰陵");
    ASSERT_NE(hongmei, nullptr);
    ASSERT_NE(lanling, nullptr);
    EXPECT_EQ(hongmei->iParentIndex, tianning);
    EXPECT_EQ(hongmei->iPriority, 1);

    // 红梅 renamed: its row clicked, "修改片区".
    std::vector<void*> rows = Dict_GridRecords(w->hGrid);
    int row = static_cast<int>(std::find(rows.begin(), rows.end(), hongmei) - rows.begin());
    Dict_ClickRow(w, row);
    ASSERT_EQ(Module_Selected(w), hongmei);
    std::string oldName, oldPriority;
    Dict_Drive([&] { Shell_ClickButton(hwnd, ID_AREA_DIST_MODIFY); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "修改片区");
        ASSERT_NE(d, nullptr);
        oldName = Ui_Text(GetDlgItem(d, IDC_AREA_NAME));
        oldPriority = Ui_Text(GetDlgItem(d, IDC_AREA_PRIORITY));
        Dict_Type(GetDlgItem(d, IDC_AREA_NAME), "红梅新村");
        EXPECT_TRUE(Dict_Press(d, IDOK));
    });
    Dict_Settle(w);
    EXPECT_EQ(oldName, "红梅");
    EXPECT_EQ(oldPriority, "1");
    std::string k = std::to_string(hongmei->iOrdinal);
    EXPECT_EQ(TestDb_Scalar("select szDistrict from t_district where iOrdinal = " + k), "红梅新村");
    EXPECT_STREQ(hongmei->szDistrict, "红梅新村");         // the row is bound to the cache record
    EXPECT_EQ(Listed(), Sorted({"兰陵", "红梅新村"}));

    // A second urban area of 常州, then 天宁区 merged into it from the menu a
    // right click on 天宁区 opens.
    AddByDialog(ID_AREA_URBAN_ADD, "城区管理", "钟楼区");
    int zhonglou = Key("select iOrdinal from t_urban where szUrban = '钟楼区'");
    ASSERT_GT(zhonglou, 0);
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "钟楼区");
    Click("天宁区");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 2);
    TestBoxes_Reset();
    Texts offered;
    std::string source;
    bool stayedOpen = false;
    Dict_Drive(
        [&] {
            Ui_ClickMenuItemSoon(GetSubMenu(p->hContextMenus, CTXPOS_URBAN), ID_AREA_URBAN_MERGE);
            Dict_ClickTree(w, Item("天宁区"), true);
        },
        [&](DWORD tid) {
            HWND d = Dict_Dialog(tid, "城区数据转移");
            ASSERT_NE(d, nullptr);
            source = Ui_Text(GetDlgItem(d, IDC_AREA_NAME));
            offered = ListItems(GetDlgItem(d, IDC_AREA_TARGET));
            stayedOpen = !Dict_Press(d, IDOK, 600);               // nothing chosen yet
            SendMessageA(GetDlgItem(d, IDC_AREA_TARGET), CB_SETCURSEL, 0, 0);
            EXPECT_TRUE(Dict_Press(d, IDOK));
        });
    Dict_Settle(w);
    EXPECT_TRUE(Ui_MenuClicked());
    EXPECT_EQ(source, "天宁区");
    EXPECT_EQ(offered, (Texts{"钟楼区"}));                        // never itself, never another city's
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "转移片区   2条.转移楼盘字典   0条.");
    EXPECT_EQ(TestBoxes_Taken()[0].caption, "合并成功");
    EXPECT_EQ(TestDb_Count("t_district where iParentIndex = " + std::to_string(zhonglou)), 2);
    EXPECT_EQ(TestDb_Count("t_district where iParentIndex = " + std::to_string(tianning)), 0);
    EXPECT_EQ(hongmei->iParentIndex, zhonglou);
    // The source stays, selected, now without districts.
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "天宁区");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");
    Click("钟楼区");
    EXPECT_EQ(Listed(), Sorted({"兰陵", "红梅新村"}));

    // 兰陵 deleted after the question: its slot is freed, and the next
    // district takes it.
    int nDist = p->nDist, nSpare = p->nDistSpare;
    std::string lk = std::to_string(lanling->iOrdinal);
    ASSERT_TRUE(Dict_SelectRecord(w->hGrid, lanling));
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    Shell_ClickButton(hwnd, ID_AREA_DIST_DELETE);
    Dict_Settle(w);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "删除后将无法恢复,是否继续");
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_district where iOrdinal = " + lk), "1");
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 11 and iObjOrdinal = " + lk), 1);
    EXPECT_EQ(lanling->iOrdinal, 0);
    EXPECT_EQ(Listed(), Sorted({"红梅新村"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "1");
    EXPECT_EQ(p->nDist, nDist - 1);
    EXPECT_EQ(p->nDistSpare, nSpare + 1);
    AddByDialog(ID_AREA_DIST_ADD, "增加片区", "新坊");
    EXPECT_EQ(District("新坊"), lanling);
    EXPECT_EQ(Shell_CountBox(hwnd), "2");

    // The emptied 天宁区 deleted: the tree drops it and a neighbour is selected.
    Click("天宁区");
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_URBAN_DELETE);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_urban where iOrdinal = " + std::to_string(tianning)), "1");
    EXPECT_EQ(Item("天宁区"), nullptr);
    EXPECT_EQ(Cache_Urban(p, tianning), nullptr);
    EXPECT_EQ(p->nUrban, 5);
    EXPECT_EQ(p->nUrbanSpare, 100);
    std::string selected = Dict_TreeSelected(w->hTree);
    EXPECT_EQ(selected, st->pUrban ? st->pUrban->szUrban : "常州");
}

// ---- Selections, missing selections, guarded deletes, the tree redrawn ----------------------------

TEST_F(AreaWindowTest, SelectionsMissingSelectionsAndRefusedDeletesChangeNothingElse)
{
    Open();
    AREA_WINDOW* st = State();

    // A city with urban areas passes the selection on to its first one.
    Click("无锡");
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "滨湖区");
    EXPECT_EQ(Shell_CountBox(hwnd), "0");
    Click("苏州");
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "姑苏区");
    EXPECT_EQ(Shell_CountBox(hwnd), "2");

    // A city without urban areas: an empty grid, 0, and nothing to act on.
    Click("常熟");
    EXPECT_EQ(st->iCity, 3);
    EXPECT_EQ(st->pUrban, nullptr);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");
    auto before = Areas();
    TestBoxes_Reset();
    for (int cmd : {ID_AREA_URBAN_MODIFY, ID_AREA_URBAN_DELETE, ID_AREA_URBAN_MERGE, ID_AREA_DIST_ADD,
                    ID_AREA_DIST_MODIFY, ID_AREA_DIST_DELETE})
        Command(cmd);
    Texts said;
    for (const TestBox& b : TestBoxes_Taken())
        said.push_back(b.text);
    EXPECT_EQ(said, (Texts{"请选择城区", "请选择数据", "请选择城区", "请选择城区", " 请选择要修改的数据行",
                           " 请选择要删除的数据行"}));
    EXPECT_EQ(Areas(), before);

    // Guarded deletes are refused with the data library's message; the tree
    // keeps the item and the cache its record.
    Click("工业园区");
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_URBAN_DELETE);
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[1].text, "错误原因:\n\n1.该数据被楼盘占用,不能直接删除\n\n2.已被其它用户删除");
    EXPECT_EQ(TestBoxes_Taken()[1].caption, "操作失败");
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "工业园区");
    EXPECT_NE(Cache_Urban(p, 12), nullptr);
    EXPECT_EQ(Listed(), Sorted({"湖东"}));
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_CITY_DELETE);                     // 苏州, which has urban areas
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[1].text, "错误原因:\n\n1.该数据被城区占用,不能直接删除\n\n2.已被其它用户删除");
    EXPECT_NE(Item("苏州"), nullptr);
    EXPECT_EQ(Areas(), before);

    // The empty ones go: 吴中区 and the city 常熟.
    Click("吴中区");
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_URBAN_DELETE);
    EXPECT_EQ(Item("吴中区"), nullptr);
    EXPECT_EQ(Cache_Urban(p, 13), nullptr);
    EXPECT_EQ(p->nUrban, 3);
    EXPECT_EQ(p->nUrbanSpare, 102);
    Click("常熟");
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_CITY_DELETE);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "无锡"}));
    EXPECT_EQ(p->nCity, 2);
    EXPECT_EQ(p->nCitySpare, 102);
    EXPECT_EQ(AreaCache_City(p, 3), nullptr);
    EXPECT_EQ(TestDb_Scalar("select group_concat(iOrdinal order by iOrdinal) from t_urban where bRecyle = 1"), "3,13");

    // "刷新城区" draws the tree again from the cache: a name changed there
    // shows, the free slot 吴中区 left is skipped, the selection stays.
    Click("工业园区");
    tagURBAN* park = AreaCache_Urban(p, 12);
    ASSERT_NE(park, nullptr);
    strcpy(park->szUrban, "园区新名");
    Command(ID_AREA_URBAN_REFRESH);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("苏州")), (Texts{"姑苏区", "园区新名"}));
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("无锡")), (Texts{"滨湖区"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "园区新名");
    EXPECT_EQ(Listed(), Sorted({"湖东"}));
}

// ---- The cache full: stored, and the user told to restart ----------------------------------

TEST_F(AreaWindowTest, AFullCacheStoresTheAreaAndAsksForARestart)
{
    Open();
    // Every spare slot taken, as after 101 additions in one run.
    for (int i = 0; i < Cache_UrbanSlots(p); i++)
        if (!p->pUrban[i].iOrdinal)
            p->pUrban[i] = {900000 + i, 0, "占位", 999};
    for (int i = 0; i < Cache_DistrictSlots(p); i++)
        if (!p->pDist[i].iOrdinal)
            p->pDist[i] = {900000 + i, 0, 999, "占位", nullptr};
    p->nUrban += p->nUrbanSpare;
    p->nUrbanSpare = 0;
    p->nDist += p->nDistSpare;
    p->nDistSpare = 0;
    p->nCitySpare = 0;

    AddByDialog(ID_AREA_URBAN_ADD, "城区管理", "相城区");
    EXPECT_EQ(Dict_Boxes("预留缓存区不足.请重启软件"), 1u);
    EXPECT_EQ(TestDb_Count("t_urban where szUrban = '相城区' and iParentIndex = 1"), 1);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("苏州")), (Texts{"姑苏区", "工业园区", "吴中区"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "姑苏区");

    AddByDialog(ID_AREA_DIST_ADD, "增加片区", "山塘");
    EXPECT_EQ(Dict_Boxes("预留缓存区不足.请重启软件"), 2u);
    EXPECT_EQ(TestDb_Count("t_district where szDistrict = '山塘' and iParentIndex = 11"), 1);
    EXPECT_EQ(Listed(), Sorted({"平江", "沧浪"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "2");
    EXPECT_EQ(District("山塘"), nullptr);

    AddByDialog(ID_AREA_CITY_ADD, "城市管理", "昆山");
    EXPECT_EQ(Dict_Boxes("预留缓存区不足.请重启软件"), 3u);
    EXPECT_EQ(TestDb_Count("t_urban where szUrban = '昆山' and iParentIndex = 0"), 1);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "无锡", "常熟"}));
}

// ---- Every form sees the cache at once ------------------------------------------------------

TEST_F(AreaWindowTest, TheFormsOfferWhatTheWindowChangedAtOnce)
{
    Open();
    AddByDialog(ID_AREA_URBAN_ADD, "城区管理", "新区");          // under 苏州, selected
    AddByDialog(ID_AREA_DIST_ADD, "增加片区", "新片");
    // 吴中区 deleted: 滨湖区, the last urban area loaded, now lies behind the
    // urban count and must still be offered.
    Click("吴中区");
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_URBAN_DELETE);
    ASSERT_EQ(Item("吴中区"), nullptr);

    // The house list's filter panel, opened now.
    Shell_Command(frame, IDM_HOUSE);
    Ui_Pump(200);
    HWND house = Frame_FindChild(ZT_CLASS_CHILD_HOU);
    ASSERT_NE(house, nullptr);
    ZT_MODWIN* hw = Module_Of(house);
    ASSERT_NE(hw, nullptr);
    Dict_Settle(hw);
    Texts urban = ListItems(Rights_FindControl(house, IDC_HF_URBAN));
    EXPECT_TRUE(Has(urban, "新区"));
    EXPECT_TRUE(Has(urban, "滨湖区"));
    EXPECT_TRUE(Has(urban, "姑苏区"));
    EXPECT_FALSE(Has(urban, "吴中区"));

    // The house dialog offers the new district once its urban area is chosen.
    Texts districts;
    Dict_Drive([&] { PostMessageA(house, WM_COMMAND, ID_HOUSE_ADD, 0); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "增加房源");
        ASSERT_NE(d, nullptr);
        HWND box = GetDlgItem(d, IDC_HD_URBAN);
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("新区"));
        St_WaitFor([&] { return SendMessageA(GetDlgItem(d, IDC_HD_DIST), CB_GETCOUNT, 0, 0) > 0; });
        districts = ListItems(GetDlgItem(d, IDC_HD_DIST));
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        St_WaitGone(d);
    });
    EXPECT_TRUE(Has(districts, "新片"));
    EXPECT_FALSE(Has(districts, "平江"));
}

// ---- Rights ----------------------------------------------------------------------------------

TEST_F(AreaWindowTest, AUserWhoMayOnlyDeleteSeesTheOtherButtonsGreyedAndTheirCommandsRefused)
{
    tagPOPEDOM pd;
    memset(&pd, 0, sizeof(pd));
    strcpy(pd.szValue, "37" "39");                  // areas: open and delete
    PD_Calc(p, &pd);
    Open();
    HWND tb = Block_GetToolbar(hwnd);
    auto enabled = [&](int id) { return SendMessageA(tb, TB_ISBUTTONENABLED, id, 0) != 0; };
    EXPECT_TRUE(enabled(ID_AREA_CITY_ADD));            // its menu offers the delete
    EXPECT_TRUE(enabled(ID_AREA_URBAN_ADD));
    EXPECT_FALSE(enabled(ID_AREA_DIST_ADD));
    EXPECT_FALSE(enabled(ID_AREA_DIST_MODIFY));
    EXPECT_TRUE(enabled(ID_AREA_DIST_DELETE));

    // The commands themselves, as a menu or an accelerator would send them.
    auto before = Areas();
    ASSERT_TRUE(Dict_SelectRecord(w->hGrid, District("平江")));
    for (int cmd : {ID_AREA_CITY_ADD, ID_AREA_CITY_MODIFY, ID_AREA_URBAN_ADD, ID_AREA_URBAN_MODIFY,
                    ID_AREA_URBAN_MERGE, ID_AREA_DIST_ADD, ID_AREA_DIST_MODIFY}) {
        bool opened = false;
        Dict_Drive([&] { PostMessageA(hwnd, WM_COMMAND, cmd, 0); },
                   [&](DWORD tid) { opened = St_WaitWindow(tid, "#32770", nullptr, 500) != nullptr; });
        EXPECT_FALSE(opened) << cmd;
    }
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(Areas(), before);
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_DIST_DELETE);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_district where iOrdinal = 101"), "1");
}

// ---- A stopped server ---------------------------------------------------------------------------

TEST_F(AreaWindowTest, AStoppedServerKeepsTheDialogWithWhatWasTypedAndTheCacheAsItWas)
{
    Open();
    int nDist = p->nDist;
    std::string kept;
    bool stayed = false, saved = false;
    Dict_Drive([&] { Shell_ClickButton(hwnd, ID_AREA_DIST_ADD); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "增加片区");
        ASSERT_NE(d, nullptr);
        Dict_Type(GetDlgItem(d, IDC_AREA_NAME), "枫桥");
        TestDb_ServerStop();
        stayed = !Dict_Press(d, IDOK, 3000);
        kept = Ui_Text(GetDlgItem(d, IDC_AREA_NAME));
        TestDb_ServerStart();
        saved = Dict_Press(d, IDOK);               // the same dialog, once the server is back
    });
    Dict_Settle(w);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(kept, "枫桥");
    EXPECT_TRUE(saved);
    EXPECT_EQ(TestDb_Count("t_district where szDistrict = '枫桥' and iParentIndex = 11"), 1);
    EXPECT_EQ(p->nDist, nDist + 1);
    EXPECT_EQ(Listed(), Sorted({"平江", "沧浪", "枫桥"}));
}

// ---- Hostile names ----------------------------------------------------------------------------

TEST_F(AreaWindowTest, AHostileNameIsStoredCutToItsFieldAndChangesNoOtherRow)
{
    Open();
    std::string hostile;
    while (hostile.size() < 300)
        hostile += HostileText();
    // Nine bytes, then a character whose trail byte is the backslash: the
    // tenth byte would split it, so the whole character is left out.
    std::string split = "a'b\\%_\"cd\xD5\x5C";
    ASSERT_EQ(split.size(), 11u);
    auto before = Areas();

    // Set as pasted: the boxes hold more than they take, the save cuts.
    std::vector<std::string> shown;
    auto add = [&](int cmd, const char* caption, const std::string& text) {
        Dict_Drive([&] { PostMessageA(hwnd, WM_COMMAND, cmd, 0); }, [&](DWORD tid) {
            HWND d = Dict_Dialog(tid, caption);
            ASSERT_NE(d, nullptr);
            SetWindowTextA(GetDlgItem(d, IDC_AREA_NAME), text.c_str());
            shown.push_back(Ui_Text(GetDlgItem(d, IDC_AREA_NAME)));
            if (GetDlgItem(d, IDC_AREA_PRIORITY))
                SetWindowTextA(GetDlgItem(d, IDC_AREA_PRIORITY), hostile.c_str());
            EXPECT_TRUE(Dict_Press(d, IDOK)) << caption;
        });
        Dict_Settle(w);
    };
    add(ID_AREA_CITY_ADD, "城市管理", hostile + "\xD5");          // ends in half a character
    add(ID_AREA_URBAN_ADD, "城区管理", split);
    add(ID_AREA_DIST_ADD, "增加片区", hostile);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1], split);

    auto after = Areas();
    ASSERT_EQ(after.size(), before.size() + 3);
    auto added = TestDb_Query("select szUrban, iPriority from t_urban where iOrdinal > 21 order by iOrdinal");
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0][0], Cut(shown[0], 11));
    EXPECT_EQ(added[1][0], "a'b\\%_\"cd");
    EXPECT_EQ(added[1][1], "0");                       // a priority that is no number counts 0
    auto dist = TestDb_Query("select szDistrict, iParentIndex from t_district where iOrdinal > 103");
    ASSERT_EQ(dist.size(), 1u);
    EXPECT_EQ(dist[0][0], Cut(shown[2], 11));
    // Every row that was there is as it was.
    for (const auto& row : before)
        EXPECT_TRUE(std::find(after.begin(), after.end(), row) != after.end()) << row[1];
    // The cache and the tree hold what the database holds.
    int urbanKey = Key("select max(iOrdinal) from t_urban");
    ASSERT_NE(Cache_Urban(p, urbanKey), nullptr);
    EXPECT_EQ(std::string(Cache_Urban(p, urbanKey)->szUrban), added[1][0]);
    EXPECT_NE(Item(added[0][0].c_str()), nullptr);

    // A rename onto a name its urban area already has: the server's guard
    // refuses it, the window says so and keeps the dialog with what was typed.
    Click("姑苏区");
    tagDISTRICT* pingjiang = District("平江");
    ASSERT_TRUE(Dict_SelectRecord(w->hGrid, pingjiang));
    TestBoxes_Reset();
    std::string kept;
    Dict_Drive([&] { PostMessageA(hwnd, WM_COMMAND, ID_AREA_DIST_MODIFY, 0); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "修改片区");
        ASSERT_NE(d, nullptr);
        Dict_Type(GetDlgItem(d, IDC_AREA_NAME), "沧浪");
        EXPECT_FALSE(Dict_Press(d, IDOK, 1500));
        kept = Ui_Text(GetDlgItem(d, IDC_AREA_NAME));
        EXPECT_TRUE(Dict_Press(d, IDCANCEL));
    });
    EXPECT_EQ(kept, "沧浪");
    EXPECT_EQ(Dict_Boxes("目标数据重复,操作失败,或源数据被删除"), 1u);
    EXPECT_STREQ(pingjiang->szDistrict, "平江");
    EXPECT_EQ(TestDb_Scalar("select szDistrict from t_district where iOrdinal = 101"), "平江");
}

}  // namespace
