// Refreshing a module window of 100,000 clients: through the framework
// (filter, busy dialog, worker, load, Block_FillGrid, count box) against the
// same data call followed by a hand-written grid fill on the window thread,
// into a second grid of the same size and place; each grid is shown while
// it is filled and both are painted before the clock stops.
#include "tests/frame/shell_fixture.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRows = 100000;

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

BOOL LoadClients(ZT_MODWIN*, ZT_RECSET* rs)
{
    int n = 0;
    tagCLIENT* p = FD_Sct_Cli(1, nullptr, &n, "", 0);
    if (!p)
        return FALSE;
    rs->pBlock = p;
    rs->nRows = n;
    rs->nSlots = n + 101;
    return TRUE;
}

void FreeClients(void* p) { Mem_Free_Cli(static_cast<tagCLIENT*>(p)); }

#define COL_TEXT(cap, w, f) {cap, w, LVT_TEXT, nullptr, LVU_NONE, 0, offsetof(tagCLIENT, f), nullptr}
#define COL_INT(cap, w, f) {cap, w, LVT_INT, nullptr, LVU_NONE, 2, offsetof(tagCLIENT, f), nullptr}
const ZT_COLDEF kCols[] = {
    COL_TEXT("编号", 70, szClientNum), COL_TEXT("委托", 80, dDelegate), COL_TEXT("交易", 50, szTrade),
    COL_TEXT("价格", 80, szPurchaseRange), COL_TEXT("租金", 80, szRentRange), COL_TEXT("面积", 80, szAreaRange),
    COL_TEXT("城区", 120, szUrban), COL_TEXT("房型", 60, szHouseType), COL_TEXT("装修", 60, szDecoration),
    COL_TEXT("客户", 80, szCliMan), COL_INT("员工", 50, iEmp), COL_INT("部门", 50, iBr),
};
const int kNCols = sizeof(kCols) / sizeof(kCols[0]);

const ZT_TBDEF kTb[] = {
    {ID_MODULE_REFRESH, ZTIMG_REFRESH, "刷新", 0, ZT_NO_RIGHT},
    {ID_MODULE_EXIT, ZTIMG_EXIT, "退出", 0, ZT_NO_RIGHT},
    {ZT_TB_COUNT, 60, nullptr, 0, ZT_NO_RIGHT},
};

const ZT_MODULE_DESC kBenchModule = {
    "ZT_CHILD_BENCH_CLI", 40991, ZTM_CLIENT, IDS_CLIENT, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagCLIENT), offsetof(tagCLIENT, iOrdinal), 0,
    kTb, 3, kCols, kNCols, nullptr, 0, -1, 0,
    nullptr, nullptr, nullptr, nullptr, LoadClients, nullptr, nullptr, FreeClients, nullptr, nullptr,
};

// The same work written out by hand: the call, then the grid protocol
// (the twin grid's columns read the records as the module's do).
void DirectRefresh(HWND hGrid, tagCLIENT** ppBlock, int* pn)
{
    SendMessageA(hGrid, GRM_CLEAR, 0, 0);
    Mem_Free_Cli(*ppBlock);
    *ppBlock = FD_Sct_Cli(1, nullptr, pn, "", 0);
    tagLV_FILL f = {};
    f.pRecords = *ppBlock;
    f.cbRecord = sizeof(tagCLIENT);
    f.nRecords = *pn;
    SendMessageA(hGrid, GRM_BEGINFILL, *pn, reinterpret_cast<LPARAM>(&f));
    SendMessageA(hGrid, GRM_SORT, 0, 0);
}

// 100,000 clients: generated bench data, doubled with insert ... select.
bool MakeClients()
{
    std::string err;
    if (!DbTool_BenchHouses(TestDb_Conn(), 40000, &err)) {
        fprintf(stderr, "bench data: %s\n", err.c_str());
        return false;
    }
    auto cols = TestDb_Query("select group_concat(column_name order by ordinal_position) from "
                             "information_schema.columns where table_schema = database() and "
                             "table_name = 't_client' and column_name <> 'iOrdinal'");
    std::string list = cols.empty() ? "" : cols[0][0];
    while (TestDb_Count("t_client") < kRows)
        TestDb_Exec("insert into t_client (" + list + ") select " + list + " from t_client");
    long long extra = TestDb_Count("t_client") - kRows;
    if (extra > 0)
        TestDb_Exec("delete from t_client order by iOrdinal desc limit " + std::to_string(extra));
    TestDb_Exec("update t_client set bRecyle = 0");
    TestDb_Exec("analyze table t_client");
    return TestDb_Count("t_client where bRecyle = 0") == kRows;
}

}  // namespace

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    if (!TestDb_Open("kelmora_b_module") || !MakeClients())
        return 1;
    Module_Register(&kBenchModule);
    Shell_Setup();
    Module_RegisterClasses(g_ZTMain.hInst);
    HWND frame = Shell_CreateFrame();
    HWND hwnd = Frame_OpenModule(&g_ZTMain, 40991);
    Ui_Pump(200);                                  // the first load
    ZT_MODWIN* w = Module_Of(hwnd);
    if (!w || w->nListed != kRows) {
        fprintf(stderr, "the module listed %d rows\n", w ? w->nListed : -1);
        return 1;
    }
    // A second grid of the same columns, size and place for the hand-written fill.
    HWND grid2 = Shell_TwinGrid(hwnd, w->hGrid);
    Block_AddColumns(grid2, kCols, kNCols);
    tagCLIENT* block = nullptr;
    int n = 0;

    const int reps = 7;
    std::vector<double> frame_t, direct_t;
    for (int i = 0; i <= reps; i++) {
        Shell_ShowOnly(w->hGrid, grid2);
        double a = Now();
        Module_Refresh(w);
        UpdateWindow(w->hGrid);
        double b = Now();
        Shell_ShowOnly(grid2, w->hGrid);
        double c = Now();
        DirectRefresh(grid2, &block, &n);
        UpdateWindow(grid2);
        double d = Now();
        if (w->nListed != kRows || n != kRows) {
            fprintf(stderr, "rows: %d and %d\n", w->nListed, n);
            return 1;
        }
        if (i) {                                   // the first round warms up
            frame_t.push_back(b - a);
            direct_t.push_back(d - c);
        }
    }
    double f = Median(frame_t), d = Median(direct_t);
    printf("refresh of %d clients (%d columns) through the module window: %8.1f ms (median of %d)\n", kRows, kNCols,
           f * 1e3, reps);
    printf("the same data call + a hand-written grid fill:                  %8.1f ms\n", d * 1e3);
    printf("ratio module window / direct:                                   %8.3f\n", f / d);
    SendMessageA(grid2, GRM_CLEAR, 0, 0);
    Mem_Free_Cli(block);
    Shell_DestroyFrame(frame);
    TestDb_Close();
    return 0;
}
