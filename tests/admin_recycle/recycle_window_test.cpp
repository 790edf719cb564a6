// The recycle bin and the operation log driven as a user drives them, on the
// demo data set: a house and a client deleted from their windows, the house
// restored and the client purged in the recycle bin, the house back in the
// house list, and every one of those actions found in the log by the
// operator and today's date; restored estates, branches, employees and
// urban areas back in the shared caches; a kind cleared; look-ups that
// cannot be loaded, and look-ups released at close.
#include "tests/admin_recycle/recycle_fixture.h"
#include "app/admin/admin_lookups.h"
#include "app/admin/log_ids.h"
#include "app/admin/recycle_window.h"
#include "app/listings/listing_window.h"
#include "app/shell/caches.h"
#include "common/date.h"

#include <commctrl.h>
#include <cstring>
#include <string>

namespace {

std::string Str(int n)
{
    return std::to_string(n);
}

const RECY_ROW* Recy(const void* rec)
{
    return static_cast<const RECY_ROW*>(rec);
}

// Chooses a kind in the recycle bin's tree with the mouse.
void ChooseKind(ZT_MODWIN* w, int iType)
{
    HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; i < iType && h; i++)
        h = reinterpret_cast<HTREEITEM>(SendMessageA(w->hTree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(h)));
    ASSERT_NE(h, nullptr);
    Wd_ClickTree(w->hTree, h);
    Ui_Pump(100);
}

// The record of the selected row after the listing's follow-ups are retired
// and the listing deleted from its window, as an agent does it.
int DeleteFirstListing(HWND hwnd, int cmdFollows, int cmdDelete, const char* table)
{
    ZT_MODWIN* w = Module_Of(hwnd);
    RECT rg = Ui_WindowRect(w->hGrid);
    Ui_Click(rg.left + 30, rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2 + 2);
    Ui_Pump(100);
    const int32_t* sel = static_cast<const int32_t*>(Module_Selected(w));    // the key comes first
    if (!sel)
        return 0;
    int key = *sel;
    TestBoxes_Answer(IDOK);
    SendMessageA(hwnd, WM_COMMAND, cmdFollows, 0);
    Wd_Settle(w);
    Wd_ButtonAnswered(w, cmdDelete, IDOK);
    EXPECT_EQ(TestDb_Scalar(std::string("select bRecyle from ") + table + " where iOrdinal = " + Str(key)), "1");
    return key;
}

TEST_F(RecycleTest, DeletedListingsComeBackOrGoForGoodAndTheLogTellsIt)
{
    // A house and a client deleted from their windows.
    HWND house = Open(IDM_HOUSE, ZT_CLASS_CHILD_HOU);
    ASSERT_NE(house, nullptr);
    int hk = DeleteFirstListing(house, ID_HOUSE_DELETE_FOLLOWS, ID_HOUSE_DELETE, "t_house");
    HWND client = Open(IDM_CLIENT, ZT_CLASS_CHILD_CLI);
    ASSERT_NE(client, nullptr);
    int ck = DeleteFirstListing(client, ID_CLIENT_DELETE_FOLLOWS, ID_CLIENT_DELETE, "t_client");
    ASSERT_GT(hk, 0);
    ASSERT_GT(ck, 0);
    TestBoxes_Reset();

    // The recycle bin from the user menu: houses first, the house listed
    // with its estate, building, room and the one who deleted it.
    EXPECT_TRUE(Wd_ChooseMenu(frame, MAINPOS_USER, IDM_RECYCLE));
    HWND bin = Frame_FindChild(ZT_CLASS_CHILD_RECY);
    ASSERT_NE(bin, nullptr);
    ZT_MODWIN* w = Module_Of(bin);
    Wd_Settle(w);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(RecycleWindow_Type(bin), 0);
    long long binned = TestDb_Count("t_recyle r join t_house h on h.iOrdinal = r.iObjOrdinal where r.iObjType = 0 "
                                    "and h.bRecyle = 1 and h.bDeleted = 0");
    EXPECT_EQ(Shell_GridRows(w->hGrid), binned);
    EXPECT_EQ(Shell_CountBox(bin), Str(binned));
    const void* row = Wd_SelectWhere(w->hGrid, [&](const void* r) { return Recy(r)->e.iObjOrdinal == hk; });
    ASSERT_NE(row, nullptr);
    auto dbHouse = TestDb_Query("select e.szEstate, h.szBuildNO, h.szHouseNO, u.szUrban from t_house h "
                                "join t_estate e on e.iOrdinal = h.iEst join t_urban u on u.iOrdinal = e.iUrban "
                                "where h.iOrdinal = " + Str(hk))[0];
    EXPECT_EQ(Wd_Cell(w->hGrid, row, 1), "管理员");
    EXPECT_EQ(Wd_Cell(w->hGrid, row, 2), dbHouse[3]);
    EXPECT_EQ(Wd_Cell(w->hGrid, row, 3), dbHouse[0]);
    EXPECT_EQ(Wd_Cell(w->hGrid, row, 5), dbHouse[2]);
    EXPECT_EQ(Wd_Cell(w->hGrid, row, 0).substr(0, 10), TestDb_Scalar("select curdate()"));

    // Restore: asked first; "no" keeps it in the bin, "yes" puts it back.
    Wd_ButtonAnswered(w, ID_RECYCLE_RESTORE, IDCANCEL);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_EQ(TestBoxes_Taken()[0].caption, "还原确认");
    EXPECT_NE(TestBoxes_Taken()[0].text.find("还原"), std::string::npos);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + Str(hk)), "1");
    Wd_ButtonAnswered(w, ID_RECYCLE_RESTORE, IDOK);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + Str(hk)), "0");
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 0 and iObjOrdinal = " + Str(hk)), 0);
    EXPECT_EQ(Shell_GridRows(w->hGrid), binned - 1);
    EXPECT_EQ(Shell_CountBox(bin), Str(binned - 1));

    // The clients: the deleted one, purged after the deletion warning.
    ChooseKind(w, 1);
    Wd_Settle(w);
    EXPECT_EQ(RecycleWindow_Type(bin), 1);
    long long clients = Shell_GridRows(w->hGrid);
    row = Wd_SelectWhere(w->hGrid, [&](const void* r) { return Recy(r)->e.iObjOrdinal == ck; });
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(Wd_Cell(w->hGrid, row, 3), TestDb_Scalar("select szCliMan from t_client where iOrdinal = " + Str(ck)));
    Ui_Screenshot("recycle-bin");
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_RECYCLE_DELETE, IDCANCEL);
    TestBoxes_ExpectOnly("删除后将无法恢复,是否继续");
    EXPECT_EQ(TestBoxes_Taken().at(0).caption, "删除确认");
    EXPECT_EQ(Shell_GridRows(w->hGrid), clients);
    Wd_ButtonAnswered(w, ID_RECYCLE_DELETE, IDOK);
    EXPECT_EQ(TestDb_Query("select bRecyle, bDeleted from t_client where iOrdinal = " + Str(ck))[0],
              (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(Shell_GridRows(w->hGrid), clients - 1);

    // The restored house is in the house list again after its refresh.
    SendMessageA(Frame_MDIClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(house), 0);
    Shell_ClickButton(house, ID_MODULE_REFRESH);
    Wd_Settle(Module_Of(house));
    bool listed = false;
    EachRecord(Module_Of(house)->hGrid, [&](const void* r) { listed = listed || *static_cast<const int32_t*>(r) == hk; });
    EXPECT_TRUE(listed);

    // The log from the user menu, filtered on the operator and today.
    EXPECT_TRUE(Wd_ChooseMenu(frame, MAINPOS_USER, IDM_LOG));
    HWND log = Frame_FindChild(ZT_CLASS_CHILD_LOG);
    ASSERT_NE(log, nullptr);
    ZT_MODWIN* lw = Module_Of(log);
    Wd_Settle(lw);
    EXPECT_EQ(Shell_GridRows(lw->hGrid), TestDb_Count("t_log"));
    HWND panel = ListingWindow_Panel(log);
    char today[16];
    Date_Today(today, sizeof(today));
    SetDlgItemTextA(panel, IDC_LOG_EMP, "管理员");
    SetDlgItemTextA(panel, IDC_LOG_FROM, today);
    SetDlgItemTextA(panel, IDC_LOG_TO, today);
    Wd_ClickControl(GetDlgItem(panel, IDC_LOG_FIND));
    Wd_Settle(lw);
    long long mine = TestDb_Count("t_log where iOpEmp = 1 and dtAdd >= curdate()");
    EXPECT_EQ(Shell_GridRows(lw->hGrid), mine);
    struct Want {
        int act, type, key;
        const char* op;
        bool found;
    } want[] = {
        {1, 0, hk, "房源删除", false}, {1, 1, ck, "客源删除", false},
        {5, 0, hk, "回收站还原", false}, {6, 1, ck, "回收站删除", false},
    };
    EachRecord(lw->hGrid, [&](const void* r) {
        const tagLOG* l = static_cast<const tagLOG*>(r);
        for (Want& x : want)
            if (l->iAct == x.act && l->iObjType == x.type && l->iObjID == x.key) {
                x.found = true;
                EXPECT_EQ(Wd_Cell(lw->hGrid, r, 0), x.op);
                EXPECT_EQ(Wd_Cell(lw->hGrid, r, 6), "管理员");
                EXPECT_EQ(Wd_Cell(lw->hGrid, r, 5), "总店");
                EXPECT_EQ(std::string(l->szTime).substr(0, 10), today);
            }
    });
    for (const Want& x : want)
        EXPECT_TRUE(x.found) << x.op;
    Ui_Screenshot("log-window");
}

TEST_F(RecycleTest, RestoredRecordsReturnToTheSharedCaches)
{
    tagZT_Main_Param* p = &g_ZTMain;
    // Objects deleted in an earlier run: in the bin, in no shared cache.
    int city = atoi(TestDb_Scalar("select iOrdinal from t_urban where iParentIndex = 0 order by iOrdinal limit 1").c_str());
    TestDb_Exec("insert into t_urban (iParentIndex, szUrban, iPriority, bRecyle) values (" + Str(city) + ", '新城区', 9, 1)");
    int urban = atoi(TestDb_Scalar("select last_insert_id()").c_str());
    TestDb_Exec("insert into t_estate (iUrban, szEstate, szSpell, szAddress, bRecyle) values (" + Str(urban) +
                ", '回春苑', 'HCY', '回春路 1 号', 1)");
    int est = atoi(TestDb_Scalar("select last_insert_id()").c_str());
    TestDb_Exec("insert into t_branch (szNum, szBr, szHou_PF, szCli_PF, bRecyle) values ('09', '回春店', 'HC', 'KC', 1)");
    int br = atoi(TestDb_Scalar("select last_insert_id()").c_str());
    TestDb_Exec("insert into t_employee (iBr, szEmp, szNum, bRecyle) values (1, '回春', '099', 1)");
    int emp = atoi(TestDb_Scalar("select last_insert_id()").c_str());
    TestDb_Exec("insert into t_recyle (iObjType, iObjOrdinal, iEmp) values (6, " + Str(urban) + ", 1), (2, " +
                Str(est) + ", 1), (3, " + Str(br) + ", 1), (4, " + Str(emp) + ", 1)");
    ASSERT_EQ(Cache_Urban(p, urban), nullptr);
    ASSERT_EQ(Cache_Estate(p, est), nullptr);
    ASSERT_EQ(Cache_Branch(p, br), nullptr);
    ASSERT_EQ(Cache_Employee(p, emp), nullptr);

    HWND bin = Open(IDM_RECYCLE, ZT_CLASS_CHILD_RECY);
    ZT_MODWIN* w = Module_Of(bin);
    ASSERT_NE(w, nullptr);
    struct {
        int type, key;
        int col;
        const char* shown;
    } kinds[] = {{6, urban, 2, "新城区"}, {2, est, 3, "回春苑"}, {3, br, 2, "回春店"}, {4, emp, 3, "回春"}};
    for (auto& k : kinds) {
        ChooseKind(w, k.type);
        Wd_Settle(w);
        ASSERT_EQ(RecycleWindow_Type(bin), k.type);
        const void* row = Wd_SelectWhere(w->hGrid, [&](const void* r) { return Recy(r)->e.iObjOrdinal == k.key; });
        ASSERT_NE(row, nullptr) << k.shown;
        EXPECT_EQ(Wd_Cell(w->hGrid, row, k.col), k.shown);
        Wd_ButtonAnswered(w, ID_RECYCLE_RESTORE, IDOK);
    }
    EXPECT_EQ(TestBoxes_Count(), 4u) << "one question each, nothing else";
    const tagURBAN* u = Cache_Urban(p, urban);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->iParentIndex, city);
    EXPECT_EQ(u->iPriority, 9);
    const tagESTLIST* e = Cache_Estate(p, est);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->szSpell, "HCY");
    EXPECT_STREQ(e->szAddress, "回春路 1 号");
    EXPECT_EQ(Cache_EstateKey(p, "回春苑"), est) << "the estate boxes find it by name";
    const tagBRLIST* b = Cache_Branch(p, br);
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b->szHou_PF, "HC") << "its number prefixes too";
    EXPECT_EQ(Cache_EmployeeKey(p, 1, "回春"), emp);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 5 and iOpEmp = 1 and iObjType in (2, 3, 4, 6)"), 4);
}

TEST_F(RecycleTest, ClearingAKindPurgesItAfterTheWarningAndKeepsListingsMarked)
{
    TestDb_Exec("update t_house set bRecyle = 1 where iOrdinal in (select * from (select iOrdinal from t_house "
                "where bRecyle = 0 order by iOrdinal desc limit 3) x)");
    TestDb_Exec("insert into t_recyle (iObjType, iObjOrdinal, iEmp) select 0, iOrdinal, 1 from t_house "
                "where bRecyle = 1 and bDeleted = 0 and iOrdinal not in (select iObjOrdinal from t_recyle where iObjType = 0)");
    long long binned = TestDb_Count("t_house where bRecyle = 1 and bDeleted = 0");
    ASSERT_GE(binned, 3);
    HWND bin = Open(IDM_RECYCLE, ZT_CLASS_CHILD_RECY);
    ZT_MODWIN* w = Module_Of(bin);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Shell_GridRows(w->hGrid), binned);

    Wd_ButtonAnswered(w, ID_RECYCLE_CLEAR, IDCANCEL);
    TestBoxes_ExpectOnly("删除后将无法恢复,是否继续");
    EXPECT_EQ(TestDb_Count("t_house where bRecyle = 1 and bDeleted = 0"), binned);
    Wd_ButtonAnswered(w, ID_RECYCLE_CLEAR, IDOK);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Shell_CountBox(bin), "0");
    EXPECT_EQ(TestDb_Count("t_house where bRecyle = 1 and bDeleted = 0"), 0);
    EXPECT_GE(TestDb_Count("t_house where bRecyle = 1 and bDeleted = 1"), binned) << "purged houses stay in the table";
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 0"), 0);
}

TEST_F(RecycleTest, LookupsThatCannotBeLoadedShowTheMessageAndNoListAndAreReleasedAtClose)
{
    TestDb_Exec("rename table t_branch to t_branch_away");
    HWND bin = Open(IDM_RECYCLE, ZT_CLASS_CHILD_RECY);
    TestDb_Exec("rename table t_branch_away to t_branch");
    ZT_MODWIN* w = Module_Of(bin);
    ASSERT_NE(w, nullptr);
    TestBoxes_ExpectOnly("初始化回收站参数错误");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_FALSE(w->bLoaded);
    EXPECT_EQ(Lookups_Alive(), 0);

    // With the server whole again, "刷新" loads them and the list.
    TestDb_Exec("update t_house set bRecyle = 1 where iOrdinal = (select * from (select max(iOrdinal) from t_house "
                "where bRecyle = 0) x)");
    TestDb_Exec("insert into t_recyle (iObjType, iObjOrdinal, iEmp) select 0, max(iOrdinal), 2 from t_house "
                "where bRecyle = 1 and bDeleted = 0");
    Shell_ClickButton(bin, ID_MODULE_REFRESH);
    Wd_Settle(w);
    EXPECT_EQ(TestBoxes_Count(), 1u);
    EXPECT_TRUE(w->bLoaded);
    EXPECT_GT(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Lookups_Alive(), 1);

    // "退出" closes the window and releases them.
    Shell_ClickButton(bin, ID_MODULE_EXIT);
    Ui_Pump(100);
    EXPECT_EQ(Frame_FindChild(ZT_CLASS_CHILD_RECY), nullptr);
    EXPECT_EQ(Lookups_Alive(), 0);
}

}  // namespace
