// The area management window driven as a user drives it under the virtual
// display, against the test server: the tree of cities and urban areas, the
// district grid, the area and merge dialogs, and the shared area cache every
// form reads, kept in step with the database.
#include "tests/admin_areas/dict_driver.h"
#include "app/admin/area_window.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/house_ids.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"
#include "app/shell/rights.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/gbk.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

using Texts = std::vector<std::string>;

tagEMPLIST g_admin = {1, 1, "管理员"};

// 苏州 (1): 姑苏区 (11: 平江, 沧浪; an estate), 工业园区 (12: 湖东; an estate),
// the empty 吴中区 (13); 常熟 (2) without urban areas; 无锡 (3): 滨湖区 (21).
const char kAreas[] =
    "delete from t_log; delete from t_recyle; delete from t_estate; delete from t_district; delete from t_urban;"
    "insert into t_urban (iOrdinal, iParentIndex, szUrban, iPriority) values (1, 0, '苏州', 1), (2, 0, '常熟', 2),"
    " (3, 0, '无锡', 3), (11, 1, '姑苏区', 1), (12, 1, '工业园区', 2), (13, 1, '吴中区', 3), (21, 3, '滨湖区', 1);"
    "insert into t_district (iOrdinal, iParentIndex, szDistrict, iPriority) values"
    " (101, 11, '平江', 1), (102, 11, '沧浪', 2), (103, 12, '湖东', 1);"
    "insert into t_estate (iOrdinal, iUrban, szEstate) values (201, 11, '平江新城'), (203, 12, '湖东邻里'), (204, 21, '蠡湖')";

int Key(const std::string& where)
{
    return atoi(TestDb_Scalar("select iOrdinal from " + where).c_str());
}

// Every row of the area tables, to see that nothing else changed.
std::vector<Texts> Areas()
{
    auto rows = TestDb_Query("select iOrdinal, iParentIndex, szUrban, iPriority, bRecyle from t_urban order by 1");
    auto dist = TestDb_Query("select iOrdinal, iParentIndex, szDistrict, iPriority, bRecyle from t_district order by 1");
    rows.insert(rows.end(), dist.begin(), dist.end());
    return rows;
}

Texts Sorted(Texts t)
{
    std::sort(t.begin(), t.end());
    return t;
}

Texts ListItems(HWND hList)
{
    LRESULT n = SendMessageA(hList, CB_GETCOUNT, 0, 0);
    Texts out(n > 0 ? static_cast<size_t>(n) : 0);
    for (size_t i = 0; i < out.size(); i++) {
        char buf[128] = "";
        SendMessageA(hList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        out[i] = buf;
    }
    return out;
}

class AreaWindowTest : public testing::Test, public DictWindow {
protected:
    tagZT_Main_Param* p = &g_ZTMain;

    static void SetUpTestSuite()
    {
        TestDb_Open("kelmora_areas");
        Shell_Setup();
        ASSERT_TRUE(Module_RegisterClasses(g_ZTMain.hInst));
    }
    static void TearDownTestSuite() { TestDb_Close(); }
    void SetUp() override
    {
        Shell_Setup();
        TestDb_Exec(kAreas);
        g_ZTMain.pLoginEmp = &g_admin;      // the caches as start-up leaves them after the login
        ASSERT_EQ(Startup_Phase2(&g_ZTMain, nullptr), 1);
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
    }
    void TearDown() override
    {
        Shell_DestroyFrame(frame);
        g_ZTMain.pLoginEmp = nullptr;
    }
    AREA_WINDOW* State() { return static_cast<AREA_WINDOW*>(w->pState); }
    void Click(const char* text)
    {
        ASSERT_NE(Item(text), nullptr) << text;
        Dict_ClickTree(w, Item(text));
    }
    Texts Listed()
    {
        Texts out;
        for (void* r : Dict_GridRecords(w->hGrid))
            out.push_back(static_cast<tagDISTRICT*>(r)->szDistrict);
        return Sorted(out);
    }
    void ClickRecord(const void* rec)
    {
        std::vector<void*> rows = Dict_GridRecords(w->hGrid);
        Wd_ClickRow(w->hGrid, static_cast<int>(std::find(rows.begin(), rows.end(), rec) - rows.begin()));
        ASSERT_EQ(Module_Selected(w), rec);
    }
    tagDISTRICT* District(const char* name)
    {
        for (int i = 0; i < Cache_DistrictSlots(p); i++)
            if (p->pDist[i].iOrdinal && strcmp(p->pDist[i].szDistrict, name) == 0)
                return &p->pDist[i];
        return nullptr;
    }
    // One of the area dialogs opened by a toolbar button (or, with
    // bPost, by the command a menu sends): the name and priority typed (the
    // name set as pasted when bPaste), then "保存(&S)".  Whether it closed.
    bool Dialog(int cmd, const char* caption, const std::string& name, const char* priority = nullptr,
                bool bPost = false, bool bPaste = false, std::string* pShown = nullptr)
    {
        bool closed = false;
        auto start = [&] { bPost ? (void)PostMessageA(hwnd, WM_COMMAND, cmd, 0) : Shell_ClickButton(hwnd, cmd); };
        Dict_DriveDialog(w, start, caption, [&](HWND d) {
            if (pShown)
                *pShown = Ui_Text(GetDlgItem(d, IDC_AREA_PARENT)) + "|" + Ui_Text(GetDlgItem(d, IDC_AREA_NAME)) + "|" +
                          Ui_Text(GetDlgItem(d, IDC_AREA_PRIORITY));
            if (bPaste)
                SetWindowTextA(GetDlgItem(d, IDC_AREA_NAME), name.c_str());
            else
                Wd_Type(GetDlgItem(d, IDC_AREA_NAME), name);
            if (priority)
                SetWindowTextA(GetDlgItem(d, IDC_AREA_PRIORITY), priority);
            closed = Dict_Press(d, IDOK, 2000);
        });
        return closed;
    }
};

TEST_F(AreaWindowTest, AUserAddsACityAnUrbanAreaAndDistrictsRenamesMergesAndDeletes)
{
    // Opened from the menu bar with the mouse: 系统管理(&S), 城区管理.
    Wd_ChooseMenu(frame, MAINPOS_ADMIN, IDM_AREA);
    ASSERT_TRUE(Wait(ZT_CLASS_CHILD_URBAN));
    AREA_WINDOW* st = State();
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "常熟", "无锡"}));
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("苏州")), (Texts{"姑苏区", "工业园区", "吴中区"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "姑苏区");            // the first city's first urban area
    EXPECT_EQ(Listed(), Sorted({"平江", "沧浪"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "2");

    // A city: listed at once, the selection stays.  Picked, it has no urban
    // areas: an empty grid showing 0.
    ASSERT_TRUE(Dialog(ID_AREA_CITY_ADD, "增加城市", "常州"));
    int city = Key("t_urban where iParentIndex = 0 and szUrban = '常州'");
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "常熟", "无锡", "常州"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "姑苏区");
    EXPECT_EQ(Cache_City(p, city), &p->pCity[3]);
    Click("常州");
    EXPECT_EQ(st->pUrban, nullptr);
    EXPECT_EQ(Shell_CountBox(hwnd), "0");

    // An urban area of it with priority 2, selected at once; two districts.
    std::string shown;
    ASSERT_TRUE(Dialog(ID_AREA_URBAN_ADD, "增加城区", "天宁区", "2", false, false, &shown));
    EXPECT_EQ(shown, "常州||0");
    int tianning = Key("t_urban where iPriority = 2 and szUrban = '天宁区' and iParentIndex = " + std::to_string(city));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "天宁区");
    ASSERT_EQ(st->pUrban, Cache_Urban(p, tianning));
    EXPECT_EQ(p->nUrban, 5);
    EXPECT_EQ(p->nUrbanSpare, 100);
    ASSERT_TRUE(Dialog(ID_AREA_DIST_ADD, "增加片区", "红梅", "1", false, false, &shown));
    EXPECT_EQ(shown, "天宁区||0");
    ASSERT_TRUE(Dialog(ID_AREA_DIST_ADD, "增加片区", "兰陵"));
    EXPECT_EQ(Listed(), Sorted({"红梅", "兰陵"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "2");
    tagDISTRICT* hongmei = District("红梅");
    tagDISTRICT* lanling = District("兰陵");
    ASSERT_TRUE(hongmei && lanling);
    EXPECT_EQ(TestDb_Count("t_district where iPriority = 1 and iParentIndex = " + std::to_string(tianning)), 1);

    // 红梅's row clicked, "修改片区": renamed; the row is the cache record.
    ClickRecord(hongmei);
    ASSERT_TRUE(Dialog(ID_AREA_DIST_MODIFY, "修改片区", "红梅新村", nullptr, false, false, &shown));
    EXPECT_EQ(shown, "天宁区|红梅|1");
    EXPECT_EQ(Key("t_district where szDistrict = '红梅新村'"), hongmei->iOrdinal);
    EXPECT_STREQ(hongmei->szDistrict, "红梅新村");

    // A second urban area; then 天宁区 merged into it from the menu of a
    // right click: "新城区" offers the city's other urban areas only, and
    // stays open until one is chosen.
    ASSERT_TRUE(Dialog(ID_AREA_URBAN_ADD, "增加城区", "钟楼区"));
    int zhonglou = Key("t_urban where szUrban = '钟楼区'");
    Click("天宁区");
    TestBoxes_Reset();
    Texts offered;
    bool stayed = false;
    Wd_Drive(
        [&] {
            Ui_ClickMenuItemSoon(GetSubMenu(p->hContextMenus, CTXPOS_URBAN), ID_AREA_URBAN_MERGE);
            Dict_ClickTree(w, Item("天宁区"), true);
        },
        [&](DWORD tid) {
            HWND d = Dict_Dialog(tid, "城区数据转移");
            ASSERT_NE(d, nullptr);
            offered = ListItems(GetDlgItem(d, IDC_AREA_TARGET));
            offered.push_back(Ui_Text(GetDlgItem(d, IDC_AREA_NAME)));
            stayed = !Dict_Press(d, IDOK, 600);
            SendMessageA(GetDlgItem(d, IDC_AREA_TARGET), CB_SETCURSEL, 0, 0);
            // Asked first: "no" keeps the dialog and moves nothing.
            TestBoxes_Answer(IDCANCEL);
            stayed = stayed && !Dict_Press(d, IDOK, 600);
            TestBoxes_Answer(IDOK);
            EXPECT_TRUE(Dict_Press(d, IDOK));
        });
    Wd_Settle(w);
    EXPECT_EQ(offered, (Texts{"钟楼区", "天宁区"}));
    EXPECT_TRUE(stayed);
    ASSERT_EQ(TestBoxes_Count(), 3u);
    for (int i : {0, 1}) {
        EXPECT_EQ(TestBoxes_Taken()[i].text, "「天宁区」的片区和楼盘将全部转到「钟楼区」, 「天宁区」移到回收站, 是否合并?");
        EXPECT_EQ(TestBoxes_Taken()[i].caption, "合并确认");
    }
    EXPECT_EQ(TestBoxes_Taken()[2].text, "转移片区   2条.转移楼盘字典   0条.");
    EXPECT_EQ(TestBoxes_Taken()[2].caption, "合并成功");
    EXPECT_EQ(TestDb_Count("t_district where iParentIndex = " + std::to_string(zhonglou)), 2);
    EXPECT_EQ(hongmei->iParentIndex, zhonglou);
    // The emptied source is in the recycle bin, gone from the tree and the
    // cache; the target is shown with what it now holds.
    EXPECT_EQ(TestDb_Count("t_urban where bRecyle = 1 and iOrdinal = " + std::to_string(tianning)), 1);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 6 and iObjOrdinal = " + std::to_string(tianning)), 1);
    EXPECT_EQ(Item("天宁区"), nullptr);
    EXPECT_EQ(Cache_Urban(p, tianning), nullptr);
    EXPECT_EQ(p->nUrban + p->nUrbanSpare, 4 + 101);
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "钟楼区");
    EXPECT_EQ(Listed(), Sorted({"兰陵", "红梅新村"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "2");

    // 兰陵 deleted after the question: its slot is freed, and the next
    // district takes it.
    int nDist = p->nDist;
    std::string lk = std::to_string(lanling->iOrdinal);
    ClickRecord(lanling);
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_AREA_DIST_DELETE, IDOK);
    EXPECT_EQ(TestBoxes_Taken().at(0).text, "删除后可以在回收站中还原,是否继续");
    EXPECT_EQ(TestDb_Count("t_district where bRecyle = 1 and iOrdinal = " + lk), 1);
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 11 and iObjOrdinal = " + lk), 1);
    EXPECT_EQ(Listed(), Sorted({"红梅新村"}));
    EXPECT_EQ(Shell_CountBox(hwnd), "1");
    EXPECT_EQ(p->nDist, nDist - 1);
    ASSERT_TRUE(Dialog(ID_AREA_DIST_ADD, "增加片区", "新坊"));
    EXPECT_EQ(District("新坊"), lanling);
}

// The box a merge ends with is a real one over the merge dialog: it has
// the keyboard focus, and Enter closes it.
const char kMerged[] = "合并成功";
std::atomic<HWND> g_mergedOwner{nullptr};
std::string g_mergedText;

int RealMergeBox(HWND owner, const char* text, const char* caption, UINT flags)
{
    if (strcmp(caption, kMerged) != 0)
        return TestBoxes_Hook()(owner, text, caption, flags);
    g_mergedOwner = owner;
    g_mergedText = text;
    return MessageBoxA(owner, text, caption, flags);
}

TEST_F(AreaWindowTest, AMergeAsksFirstAndItsResultBoxTakesTheKeys)
{
    ASSERT_TRUE(Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
    Click("吴中区");
    ZT_MSGBOX_HOOK was = ZT_SetMessageBoxHookLocal(RealMergeBox);
    bool focused = false, active = false, closed = false;
    Wd_Drive([&] { Command(ID_AREA_URBAN_MERGE); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "城区数据转移");
        ASSERT_NE(d, nullptr);
        HWND list = GetDlgItem(d, IDC_AREA_TARGET);
        SendMessageA(list, CB_SETCURSEL, SendMessageA(list, CB_FINDSTRINGEXACT, -1, (LPARAM) "姑苏区"), 0);
        TestBoxes_Answer(IDOK);
        PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
        HWND box = St_WaitWindow(tid, "#32770", kMerged, 20000);
        ASSERT_NE(box, nullptr);
        GUITHREADINFO gi;
        memset(&gi, 0, sizeof(gi));
        gi.cbSize = sizeof(gi);
        St_WaitFor([&] { return GetGUIThreadInfo(tid, &gi) && gi.hwndActive == box; });
        active = gi.hwndActive == box;
        focused = gi.hwndFocus && IsChild(box, gi.hwndFocus);
        Ui_RealKey(VK_RETURN);
        closed = St_WaitGone(box, 5000);
        EXPECT_TRUE(St_WaitGone(d, 5000));
    });
    Wd_Settle(w);
    ZT_SetMessageBoxHookLocal(was);
    EXPECT_TRUE(active);
    EXPECT_TRUE(focused);
    EXPECT_TRUE(closed);
    EXPECT_EQ(g_mergedText, "转移片区   0条.转移楼盘字典   0条.");
    EXPECT_NE(g_mergedOwner.load(), nullptr);
    TestBoxes_ExpectOnly("「吴中区」的片区和楼盘将全部转到「姑苏区」, 「吴中区」移到回收站, 是否合并?");
    EXPECT_EQ(Item("吴中区"), nullptr);
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "姑苏区");
    EXPECT_EQ(TestDb_Count("t_urban where bRecyle = 1 and iOrdinal = 13"), 1);
}

TEST_F(AreaWindowTest, SelectionsGuardedDeletesFullCachesAndTheRedrawnTree)
{
    ASSERT_TRUE(Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
    AREA_WINDOW* st = State();
    Click("无锡");                                              // passes the selection on
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "滨湖区");
    EXPECT_EQ(Shell_CountBox(hwnd), "0");
    Click("常熟");                                              // no urban areas
    EXPECT_EQ(st->pUrban, nullptr);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);

    // Nothing selected to act on: each command says so and changes nothing.
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

    // Guarded deletes: refused with the data library's message, the tree
    // and the cache keep the item.
    Click("工业园区");
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    TestBoxes_Answer(IDOK);
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_URBAN_DELETE);
    Command(ID_AREA_CITY_DELETE);
    ASSERT_EQ(TestBoxes_Count(), 4u);
    EXPECT_EQ(TestBoxes_Taken()[1].text, "错误原因:\n\n1.该数据被楼盘占用,不能直接删除\n\n2.已被其它用户删除");
    EXPECT_EQ(TestBoxes_Taken()[3].text, "错误原因:\n\n1.该数据被城区占用,不能直接删除\n\n2.已被其它用户删除");
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "工业园区");
    EXPECT_NE(Cache_Urban(p, 12), nullptr);
    EXPECT_EQ(Listed(), Sorted({"湖东"}));
    EXPECT_EQ(Areas(), before);

    // The empty ones go: 吴中区, and 常熟, whose slot 无锡 closes up.
    Click("吴中区");
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_URBAN_DELETE);
    Click("常熟");
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_CITY_DELETE);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "无锡"}));
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("苏州")), (Texts{"姑苏区", "工业园区"}));
    EXPECT_EQ(p->nCity, 2);
    // One slot rule for every cache: the deleted city's slot is free, the
    // others stay where they were.
    EXPECT_EQ(p->pCity[1].iOrdinal, 0);
    EXPECT_STREQ(p->pCity[2].szUrban, "无锡");
    EXPECT_EQ(p->nUrban, 3);
    EXPECT_EQ(TestDb_Scalar("select group_concat(iOrdinal order by iOrdinal) from t_urban where bRecyle = 1"), "2,13");

    // "刷新城区" draws the tree again from the cache, the selection kept.
    Click("工业园区");
    strcpy(const_cast<tagURBAN*>(Cache_Urban(p, 12))->szUrban, "园区");
    Command(ID_AREA_URBAN_REFRESH);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("苏州")), (Texts{"姑苏区", "园区"}));
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "园区");
    EXPECT_EQ(Listed(), Sorted({"湖东"}));

    // No spare slot left (as after 101 additions in one run): stored, and
    // the user told to restart; the tree and the grid stay as they were.
    for (int i = 0; i < Cache_UrbanSlots(p); i++)
        if (!p->pUrban[i].iOrdinal)
            p->pUrban[i] = {900000 + i, 0, "占位", 999};
    for (int i = 0; i < Cache_DistrictSlots(p); i++)
        if (!p->pDist[i].iOrdinal)
            p->pDist[i] = {900000 + i, 0, 999, "占位", nullptr};
    p->nUrban += p->nUrbanSpare;
    p->nDist += p->nDistSpare;
    p->nUrbanSpare = p->nDistSpare = p->nCitySpare = 0;
    TestBoxes_Reset();
    ASSERT_TRUE(Dialog(ID_AREA_URBAN_ADD, "增加城区", "相城区"));
    ASSERT_TRUE(Dialog(ID_AREA_DIST_ADD, "增加片区", "山塘"));
    ASSERT_TRUE(Dialog(ID_AREA_CITY_ADD, "增加城市", "昆山"));
    EXPECT_EQ(Wd_Boxes("预留缓存区不足.请重启软件"), 3u);
    EXPECT_EQ(TestDb_Count("t_urban where szUrban in ('相城区', '昆山')"), 2);
    EXPECT_EQ(TestDb_Count("t_district where szDistrict = '山塘' and iParentIndex = 12"), 1);
    EXPECT_EQ(Dict_TreeChildren(w->hTree, nullptr), (Texts{"苏州", "无锡"}));
    EXPECT_EQ(Dict_TreeChildren(w->hTree, Item("苏州")), (Texts{"姑苏区", "园区"}));
    EXPECT_EQ(Listed(), Sorted({"湖东"}));
}

TEST_F(AreaWindowTest, TheFormsOfferWhatTheWindowChangedAtOnce)
{
    // A house list open before the changes, an urban area chosen in its panel.
    DictWindow house{frame};
    ASSERT_TRUE(house.Open(IDM_HOUSE, ZT_CLASS_CHILD_HOU));
    HWND hUrban = Rights_FindControl(house.hwnd, IDC_HF_URBAN);
    SetWindowTextA(hUrban, "姑苏区");
    ASSERT_TRUE(Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
    ASSERT_TRUE(Dialog(ID_AREA_URBAN_ADD, "增加城区", "新区"));       // under 苏州, selected
    ASSERT_TRUE(Dialog(ID_AREA_DIST_ADD, "增加片区", "新片"));
    // 吴中区 deleted: 滨湖区, the last urban area loaded, now lies behind the
    // urban count and is still offered.
    Click("吴中区");
    TestBoxes_Answer(IDOK);
    Command(ID_AREA_URBAN_DELETE);

    // The open list offers them at once and keeps its choice.
    EXPECT_EQ(Sorted(ListItems(hUrban)), Sorted({"姑苏区", "工业园区", "新区", "滨湖区"}));
    EXPECT_EQ(Ui_Text(hUrban), "姑苏区");

    // The house dialog offers the new district once its urban area is chosen.
    Texts districts;
    Wd_Drive([&] { PostMessageA(house.hwnd, WM_COMMAND, ID_HOUSE_ADD, 0); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "增加房源");
        ASSERT_NE(d, nullptr);
        SendMessageA(GetDlgItem(d, IDC_HD_URBAN), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("新区"));
        St_WaitFor([&] { return SendMessageA(GetDlgItem(d, IDC_HD_DIST), CB_GETCOUNT, 0, 0) > 0; });
        districts = ListItems(GetDlgItem(d, IDC_HD_DIST));
    });
    EXPECT_EQ(districts, (Texts{"新片"}));
}

TEST_F(AreaWindowTest, AStoppedServerKeepsTheDialogWithWhatWasTyped)
{
    ASSERT_TRUE(Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
    std::string kept;
    bool stayed = false, saved = false;
    Wd_Drive([&] { Shell_ClickButton(hwnd, ID_AREA_DIST_ADD); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "增加片区");
        ASSERT_NE(d, nullptr);
        Wd_Type(GetDlgItem(d, IDC_AREA_NAME), "枫桥");
        TestDb_ServerStop();
        stayed = !Dict_Press(d, IDOK, 3000);
        kept = Ui_Text(GetDlgItem(d, IDC_AREA_NAME));
        TestDb_ServerStart();
        saved = Dict_Press(d, IDOK);                              // once the server is back
    });
    Wd_Settle(w);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(kept, "枫桥");
    EXPECT_TRUE(saved);
    EXPECT_EQ(Listed(), Sorted({"平江", "沧浪", "枫桥"}));
}

// An urban area renamed "苏州工业园区" (twelve bytes): the box takes it, the
// field holds ten bytes.  The save is refused naming the box and its limit,
// nothing is stored, the dialog keeps what was typed; five characters are
// stored whole.  The same for the city and district boxes, adding and
// renaming, counted in GBK bytes (a letter is one, a character two).
TEST_F(AreaWindowTest, ANameLongerThanItsFieldIsRefusedNamingTheBoxAndItsLimit)
{
    ASSERT_TRUE(Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
    auto before = Areas();
    Click("工业园区");
    std::string kept;
    bool stayed = false;
    Dict_DriveDialog(w, [&] { PostMessageA(hwnd, WM_COMMAND, ID_AREA_URBAN_MODIFY, 0); }, "修改城区", [&](HWND d) {
        Wd_Type(GetDlgItem(d, IDC_AREA_NAME), "苏州工业园区");
        stayed = !Dict_Press(d, IDOK, 1500);
        kept = Ui_Text(GetDlgItem(d, IDC_AREA_NAME));
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(kept, "苏州工业园区");
    TestBoxes_ExpectOnly("「城区名称」最多5个汉字(10个字节)");
    EXPECT_EQ(TestBoxes_Taken()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(Areas(), before);
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "工业园区");
    EXPECT_STREQ(Cache_Urban(p, 12)->szUrban, "工业园区");

    // Ten bytes are taken whole: five characters, or letters and characters.
    ASSERT_TRUE(Dialog(ID_AREA_URBAN_MODIFY, "修改城区", "苏州工业园", nullptr, true));
    EXPECT_EQ(TestDb_Scalar("select szUrban from t_urban where iOrdinal = 12"), "苏州工业园");
    EXPECT_EQ(Dict_TreeSelected(w->hTree), "苏州工业园");
    ASSERT_TRUE(Dialog(ID_AREA_DIST_ADD, "增加片区", "SIP湖西CBD", nullptr, false, true));
    EXPECT_EQ(TestDb_Count("t_district where szDistrict = 'SIP湖西CBD' and iParentIndex = 12"), 1);

    // Eleven bytes, in every box: refused, named, nothing stored.
    before = Areas();
    TestBoxes_Reset();
    EXPECT_FALSE(Dialog(ID_AREA_DIST_ADD, "增加片区", "A金鸡湖东岸"));
    EXPECT_FALSE(Dialog(ID_AREA_CITY_ADD, "增加城市", "张家港保税区"));
    EXPECT_FALSE(Dialog(ID_AREA_URBAN_ADD, "增加城区", "SuzhouNew区"));
    ClickRecord(District("湖东"));
    EXPECT_FALSE(Dialog(ID_AREA_DIST_MODIFY, "修改片区", "湖东CBD片区", nullptr, false, true));
    Texts said;
    for (const TestBox& b : TestBoxes_Taken())
        said.push_back(b.text);
    EXPECT_EQ(said, (Texts{"「片区名称」最多5个汉字(10个字节)", "「城市」最多5个汉字(10个字节)",
                           "「城区名称」最多5个汉字(10个字节)", "「片区名称」最多5个汉字(10个字节)"}));
    EXPECT_EQ(Areas(), before);
    EXPECT_STREQ(District("湖东")->szDistrict, "湖东");
}

TEST_F(AreaWindowTest, AHostileNameIsStoredWholeOrRefusedAndChangesNoOtherRow)
{
    ASSERT_TRUE(Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
    std::string hostile;
    while (hostile.size() < 300)
        hostile += HostileText();
    std::vector<char> cut(11);
    Gbk_CopyCut(cut.data(), cut.size(), hostile.c_str());
    // Eight bytes, then a character whose trail byte is a backslash: ten
    // bytes, stored as they are.
    std::string split = "a'b\\%_\"c\xD5\x5C";
    auto before = Areas();
    // Pasted over the field's width (a lone lead byte at its end): refused.
    TestBoxes_Reset();
    EXPECT_FALSE(Dialog(ID_AREA_CITY_ADD, "增加城市", hostile + "\xD5", nullptr, true, true));
    EXPECT_EQ(Wd_Boxes("「城市」最多5个汉字(10个字节)"), 1u);
    EXPECT_EQ(Areas(), before);
    ASSERT_TRUE(Dialog(ID_AREA_CITY_ADD, "增加城市", cut.data(), nullptr, true, true));
    // A priority that is no number is refused naming its box, the dialog
    // kept with the name; emptied, it saves as 0.
    bool refused = false, saved = false;
    Wd_Drive([&] { PostMessageA(hwnd, WM_COMMAND, ID_AREA_URBAN_ADD, 0); }, [&](DWORD tid) {
        HWND d = Dict_Dialog(tid, "增加城区");
        ASSERT_NE(d, nullptr);
        SetWindowTextA(GetDlgItem(d, IDC_AREA_NAME), split.c_str());
        SetWindowTextA(GetDlgItem(d, IDC_AREA_PRIORITY), hostile.c_str());
        refused = !Dict_Press(d, IDOK, 1500);
        SetWindowTextA(GetDlgItem(d, IDC_AREA_PRIORITY), "");
        saved = Dict_Press(d, IDOK);
    });
    Wd_Settle(w);
    EXPECT_TRUE(refused);
    EXPECT_TRUE(saved);
    EXPECT_EQ(Wd_Boxes("「优先级」须是整数(可带负号), 或不填"), 1u);
    TestBoxes_Reset();
    EXPECT_FALSE(Dialog(ID_AREA_DIST_ADD, "增加片区", hostile, nullptr, true, true));
    ASSERT_TRUE(Dialog(ID_AREA_DIST_ADD, "增加片区", cut.data(), nullptr, true, true));
    EXPECT_EQ(Wd_Boxes("「片区名称」最多5个汉字(10个字节)"), 1u);
    EXPECT_EQ(TestBoxes_Count(), 1u);
    auto added = TestDb_Query("select szUrban, iPriority from t_urban where iOrdinal > 21 order by iOrdinal");
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0], (Texts{cut.data(), "0"}));
    EXPECT_EQ(added[1], (Texts{split, "0"}));
    EXPECT_EQ(TestDb_Scalar("select szDistrict from t_district where iOrdinal > 103"), cut.data());
    auto after = Areas();
    for (const Texts& row : before)
        EXPECT_NE(std::find(after.begin(), after.end(), row), after.end()) << row[0];
    EXPECT_NE(Item(cut.data()), nullptr);

    // A rename onto a name the urban area already has: the server's guard
    // refuses it, the window says so and keeps the dialog with what was typed.
    Click("姑苏区");
    tagDISTRICT* pingjiang = District("平江");
    ClickRecord(pingjiang);
    EXPECT_FALSE(Dialog(ID_AREA_DIST_MODIFY, "修改片区", "沧浪"));
    EXPECT_EQ(Wd_Boxes("目标数据重复,操作失败,或源数据被删除"), 1u);
    EXPECT_STREQ(pingjiang->szDistrict, "平江");
    EXPECT_EQ(TestDb_Scalar("select szDistrict from t_district where iOrdinal = 101"), "平江");
}

}  // namespace
