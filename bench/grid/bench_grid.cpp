// Grid benchmark: fill, sort and first paint of 5,000 and 50,000 house-like
// records with 32 columns, and a re-sort by a text column, in the grid and,
// for comparison, in the platform's list view (report style, same columns,
// texts set per cell, sorted with LVM_SORTITEMS over the same records).
#include "grid/ZTListview.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A house-like record: 16 integers, 4 decimals and 12 texts.
struct BenchHouse {
    int32_t iHou, iEst, iBr, iEmp, iArea, iDistrict, iFloor, iFloors;
    int32_t iRooms, iHalls, iToilets, iYear, iSales, iRent, iState, iTrade;
    double dbArea, dbUnitPrice, dbRentPrice, dbUseArea;
    char szEstate[52], szBuildNO[12], szHouseNO[12], szAddress[102], szOwner[22], szDirection[10];
    char szDecoration[12], szStructure[12], szUse[12], szSource[12], szEmp[22], szBr[32];
};

struct Field {
    const char* caption;
    int type;
    size_t offset;
};

#define INT_FIELD(cap, f) {cap, LVT_INT, offsetof(BenchHouse, f)}
#define DBL_FIELD(cap, f) {cap, LVT_DOUBLE, offsetof(BenchHouse, f)}
#define TXT_FIELD(cap, f) {cap, LVT_TEXT, offsetof(BenchHouse, f)}

const Field kFields[32] = {
    INT_FIELD("编号", iHou),       TXT_FIELD("楼盘", szEstate),     TXT_FIELD("栋座", szBuildNO),
    TXT_FIELD("房号", szHouseNO),  INT_FIELD("售价", iSales),       DBL_FIELD("面积", dbArea),
    DBL_FIELD("单价", dbUnitPrice), INT_FIELD("租价", iRent),       DBL_FIELD("租金", dbRentPrice),
    INT_FIELD("室", iRooms),       INT_FIELD("厅", iHalls),         INT_FIELD("卫", iToilets),
    INT_FIELD("楼层", iFloor),     INT_FIELD("总层", iFloors),      INT_FIELD("年代", iYear),
    TXT_FIELD("朝向", szDirection), TXT_FIELD("装修", szDecoration), TXT_FIELD("结构", szStructure),
    TXT_FIELD("用途", szUse),      TXT_FIELD("来源", szSource),     TXT_FIELD("业主", szOwner),
    TXT_FIELD("地址", szAddress),  TXT_FIELD("员工", szEmp),        TXT_FIELD("部门", szBr),
    INT_FIELD("楼盘号", iEst),     INT_FIELD("部门号", iBr),        INT_FIELD("员工号", iEmp),
    INT_FIELD("城区", iArea),      INT_FIELD("片区", iDistrict),    INT_FIELD("状态", iState),
    INT_FIELD("交易", iTrade),     DBL_FIELD("使用面积", dbUseArea),
};
const int kPriceCol = 4;    // sorted after the fill
const int kEstateCol = 1;   // re-sorted by text

uint32_t g_seed = 12345;
uint32_t Rand()
{
    g_seed = g_seed * 1103515245u + 12345u;
    return (g_seed >> 8) & 0xFFFFFF;
}

const char* Pick(const char* const* list, size_t n)
{
    return list[Rand() % n];
}

std::vector<BenchHouse> MakeHouses(int n)
{
    static const char* a[] = {"阳光", "碧水", "东湖", "金色", "翠苑", "江南", "丽景", "世纪", "华府", "锦绣", "香樟", "紫荆"};
    static const char* b[] = {"花园", "家园", "名居", "新城", "小区", "公寓", "雅苑", "广场"};
    static const char* dir[] = {"南北", "东西", "朝南", "朝东"};
    static const char* dec[] = {"精装", "简装", "毛坯", "豪装"};
    static const char* str[] = {"框架", "砖混", "钢混"};
    static const char* use[] = {"住宅", "商铺", "写字楼"};
    static const char* src[] = {"来电", "上门", "网络", "介绍"};
    static const char* fam[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄"};
    std::vector<BenchHouse> v(n);
    memset(v.data(), 0, v.size() * sizeof(BenchHouse));
    for (int i = 0; i < n; i++) {
        BenchHouse& h = v[i];
        h.iHou = i + 1;
        h.iEst = 1 + Rand() % 3000;
        h.iBr = 1 + Rand() % 12;
        h.iEmp = 1 + Rand() % 200;
        h.iArea = 1 + Rand() % 20;
        h.iDistrict = 1 + Rand() % 150;
        h.iFloors = 6 + Rand() % 30;
        h.iFloor = 1 + Rand() % h.iFloors;
        h.iRooms = 1 + Rand() % 5;
        h.iHalls = 1 + Rand() % 3;
        h.iToilets = 1 + Rand() % 3;
        h.iYear = 1985 + Rand() % 38;
        h.iSales = 30 + Rand() % 900;
        h.iRent = 500 + Rand() % 9000;
        h.iState = Rand() % 4;
        h.iTrade = 1 + Rand() % 2;
        h.dbArea = 30.0 + (Rand() % 20000) / 100.0;
        h.dbUnitPrice = h.iSales * 10000.0 / h.dbArea;
        h.dbRentPrice = h.iRent / h.dbArea;
        h.dbUseArea = h.dbArea * 0.8;
        snprintf(h.szEstate, sizeof h.szEstate, "%s%s%d期", Pick(a, 12), Pick(b, 8), 1 + (int)(Rand() % 5));
        snprintf(h.szBuildNO, sizeof h.szBuildNO, "%d栋", 1 + (int)(Rand() % 40));
        snprintf(h.szHouseNO, sizeof h.szHouseNO, "%d%02d", h.iFloor, 1 + (int)(Rand() % 8));
        snprintf(h.szAddress, sizeof h.szAddress, "%s路%d号%s", Pick(a, 12), 1 + (int)(Rand() % 999), h.szEstate);
        snprintf(h.szOwner, sizeof h.szOwner, "%s先生", Pick(fam, 8));
        snprintf(h.szDirection, sizeof h.szDirection, "%s", Pick(dir, 4));
        snprintf(h.szDecoration, sizeof h.szDecoration, "%s", Pick(dec, 4));
        snprintf(h.szStructure, sizeof h.szStructure, "%s", Pick(str, 3));
        snprintf(h.szUse, sizeof h.szUse, "%s", Pick(use, 3));
        snprintf(h.szSource, sizeof h.szSource, "%s", Pick(src, 4));
        snprintf(h.szEmp, sizeof h.szEmp, "%s%s", Pick(fam, 8), Pick(b, 8));
        snprintf(h.szBr, sizeof h.szBr, "第%d分店", h.iBr);
    }
    return v;
}

double Now()
{
    static LARGE_INTEGER freq = {};
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

double WorkingSetMb()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc))
        return 0;
    return (double)pmc.WorkingSetSize / (1024.0 * 1024.0);
}

void Pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

struct Times {
    double fill, sort, paint, resort, memMb;
    double Total() const { return fill + sort + paint; }
};

const void* FieldPtr(const BenchHouse& h, int c)
{
    return (const char*)&h + kFields[c].offset;
}

void FormatField(const BenchHouse& h, int c, char* out, size_t size)
{
    const void* p = FieldPtr(h, c);
    switch (kFields[c].type) {
    case LVT_INT: snprintf(out, size, "%d", *(const int32_t*)p); break;
    case LVT_DOUBLE: snprintf(out, size, "%.2f", *(const double*)p); break;
    default: snprintf(out, size, "%s", (const char*)p); break;
    }
}

// ---- The grid ---------------------------------------------------------------------------------

Times RunGrid(HWND host, std::vector<BenchHouse>& recs)
{
    RECT rc;
    GetClientRect(host, &rc);
    HWND grid = CreateWindowExA(WS_EX_STATICEDGE, "ZT_CTL_LISTVIEW", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER,
                                0, 0, rc.right, rc.bottom, host, (HMENU)10, GetModuleHandleA(nullptr), nullptr);
    for (int c = 0; c < 32; c++) {
        tagLV_COLUMN col = {};
        col.iId = (int16_t)(c + 1);
        col.iWidth = 80;
        strncpy(col.szName, kFields[c].caption, sizeof col.szName - 1);
        strncpy(col.szCaption, kFields[c].caption, sizeof col.szCaption - 1);
        col.iType = kFields[c].type;
        col.iAlign = kFields[c].type == LVT_TEXT ? DT_LEFT : DT_RIGHT;
        col.iShown = 1;
        SendMessageA(grid, GRM_ADDCOLUMN, 0, (LPARAM)&col);
    }
    UpdateWindow(host);
    Pump();
    Times t = {};
    double mem0 = WorkingSetMb();
    double t0 = Now();
    SendMessageA(grid, GRM_CLEAR, 0, 0);
    tagLV_DATA* d = nullptr;
    SendMessageA(grid, GRM_BEGINFILL, recs.size(), (LPARAM)&d);
    for (size_t i = 0; i < recs.size(); i++) {
        tagLV_CELL* cells = d->pfnAllocCells(grid, &d->pRows[i].pCells);
        d->pRows[i].pRecord = &recs[i];
        for (int c = 0; c < 32; c++)
            cells[c].pValue = (void*)FieldPtr(recs[i], c);
        d->pRowPresent[i] = 1;
    }
    double t1 = Now();
    SendMessageA(grid, GRM_SORT, 1, kPriceCol + 1);
    double t2 = Now();
    InvalidateRect(grid, nullptr, TRUE);
    UpdateWindow(grid);
    GdiFlush();
    double t3 = Now();
    t.memMb = WorkingSetMb() - mem0;
    SendMessageA(grid, GRM_SORT, 1, kEstateCol + 1);
    UpdateWindow(grid);
    GdiFlush();
    double t4 = Now();
    t.fill = t1 - t0;
    t.sort = t2 - t1;
    t.paint = t3 - t2;
    t.resort = t4 - t3;
    SendMessageA(grid, GRM_CLEAR, 0, 0);
    DestroyWindow(grid);
    Pump();
    return t;
}

// ---- The platform's list view -----------------------------------------------------------------

int CALLBACK ByPrice(LPARAM a, LPARAM b, LPARAM)
{
    const BenchHouse* x = (const BenchHouse*)a;
    const BenchHouse* y = (const BenchHouse*)b;
    return x->iSales < y->iSales ? -1 : x->iSales > y->iSales ? 1 : 0;
}

int CALLBACK ByEstate(LPARAM a, LPARAM b, LPARAM)
{
    const unsigned char* x = (const unsigned char*)((const BenchHouse*)a)->szEstate;
    const unsigned char* y = (const unsigned char*)((const BenchHouse*)b)->szEstate;
    while (*x && *x == *y) {
        x++;
        y++;
    }
    return (int)*x - (int)*y;
}

Times RunListView(HWND host, std::vector<BenchHouse>& recs)
{
    RECT rc;
    GetClientRect(host, &rc);
    HWND lv = CreateWindowExA(WS_EX_STATICEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER |
                              LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                              0, 0, rc.right, rc.bottom, host, (HMENU)11, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int c = 0; c < 32; c++) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = kFields[c].type == LVT_TEXT || c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        col.cx = 80;
        col.pszText = (LPSTR)kFields[c].caption;
        SendMessageA(lv, LVM_INSERTCOLUMNA, c, (LPARAM)&col);
    }
    UpdateWindow(host);
    Pump();
    Times t = {};
    double mem0 = WorkingSetMb();
    double t0 = Now();
    SendMessageA(lv, WM_SETREDRAW, FALSE, 0);
    SendMessageA(lv, LVM_SETITEMCOUNT, recs.size(), 0);
    char text[128];
    for (size_t i = 0; i < recs.size(); i++) {
        LVITEMA it = {};
        it.mask = LVIF_TEXT | LVIF_PARAM;
        it.iItem = (int)i;
        FormatField(recs[i], 0, text, sizeof text);
        it.pszText = text;
        it.lParam = (LPARAM)&recs[i];
        int at = (int)SendMessageA(lv, LVM_INSERTITEMA, 0, (LPARAM)&it);
        for (int c = 1; c < 32; c++) {
            LVITEMA sub = {};
            sub.iSubItem = c;
            FormatField(recs[i], c, text, sizeof text);
            sub.pszText = text;
            SendMessageA(lv, LVM_SETITEMTEXTA, at, (LPARAM)&sub);
        }
    }
    SendMessageA(lv, WM_SETREDRAW, TRUE, 0);
    double t1 = Now();
    SendMessageA(lv, LVM_SORTITEMS, 0, (LPARAM)ByPrice);
    double t2 = Now();
    InvalidateRect(lv, nullptr, TRUE);
    UpdateWindow(lv);
    GdiFlush();
    double t3 = Now();
    t.memMb = WorkingSetMb() - mem0;
    SendMessageA(lv, LVM_SORTITEMS, 0, (LPARAM)ByEstate);
    InvalidateRect(lv, nullptr, TRUE);
    UpdateWindow(lv);
    GdiFlush();
    double t4 = Now();
    t.fill = t1 - t0;
    t.sort = t2 - t1;
    t.paint = t3 - t2;
    t.resort = t4 - t3;
    DestroyWindow(lv);
    Pump();
    return t;
}

void Report(const char* what, int n, const Times& t)
{
    printf("  %-22s %6d rows: fill %8.1f ms  sort %7.1f ms  first paint %6.1f ms  = %8.1f ms;"
           "  re-sort by text + paint %7.1f ms;  working set +%.0f MB\n",
           what, n, t.fill, t.sort, t.paint, t.Total(), t.resort, t.memMb);
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    RegListView();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "GridBenchHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "GridBenchHost", "grid bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, 1200, 700, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!host) {
        fprintf(stderr, "bench_grid: no window\n");
        return 1;
    }
    Pump();
    printf("grid: 32 columns, house-like records; fill + sort by price + first paint, then re-sort by estate name\n");
    {
        auto warm = MakeHouses(2000);   // first use of fonts and code
        RunGrid(host, warm);
        RunListView(host, warm);
    }
    const int sizes[] = {5000, 50000};
    for (int n : sizes) {
        auto recs = MakeHouses(n);
        Times g = RunGrid(host, recs);
        Report("ZTListview", n, g);
        Times l = RunListView(host, recs);
        Report("SysListView32", n, l);
        printf("  ratio list view / grid at %d rows: fill+sort+paint %.1fx, re-sort %.1fx\n", n,
               l.Total() / std::max(g.Total(), 0.001), l.resort / std::max(g.resort, 0.001));
        fflush(stdout);
    }
    DestroyWindow(host);
    return 0;
}
