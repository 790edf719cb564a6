// Grid benchmark: fill, sort and first paint of 5,000, 100,000 and
// 1,000,000 house-like records of 32 columns in the grid, against the
// platform's list view in virtual mode (LVS_OWNERDATA) over the same records
// in the same run: its owner keeps an index array, sorts it by the records'
// key and hands out each cell's text when it is drawn (LVN_GETDISPINFO).
// Then a re-sort by a text column and its paint.  Memory is the working set
// the control adds to the records, read after the first paint.  Each figure
// is printed as a ratio to the list view's, with the load average beside it.
#include "grid/ZTListview.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

const int kCols = 32;
const Field kFields[kCols] = {
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

double WorkingSetMb(bool peak = false)
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc))
        return 0;
    return (double)(peak ? pmc.PeakWorkingSetSize : pmc.WorkingSetSize) / (1024.0 * 1024.0);
}

// The machine's load average ("1.23 1.10 0.98"), or "n/a" where there is none.
std::string LoadAverage()
{
    FILE* f = fopen("/proc/loadavg", "r");
    if (!f)
        return "n/a";
    char buf[64] = "";
    double a = 0, b = 0, c = 0;
    std::string out = "n/a";
    if (fgets(buf, sizeof buf, f) && sscanf(buf, "%lf %lf %lf", &a, &b, &c) == 3) {
        char text[64];
        snprintf(text, sizeof text, "%.2f %.2f %.2f", a, b, c);
        out = text;
    }
    fclose(f);
    return out;
}

void Pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

int QuietBox(HWND, const char* text, const char* caption, UINT)
{
    fprintf(stderr, "bench_grid: message box \"%s\" / \"%s\"\n", caption, text);
    return IDOK;
}

struct Times {
    double fill = 0, sort = 0, paint = 0, resort = 0;
    double memMb = 0, peakMb = 0;   // added to the records: after the first paint, and at the peak
    bool ok = true;
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

void Paint(HWND hWnd)
{
    InvalidateRect(hWnd, nullptr, TRUE);
    UpdateWindow(hWnd);
    GdiFlush();
}

// ---- The grid ---------------------------------------------------------------------------------

HWND MakeGrid(HWND host)
{
    RECT rc;
    GetClientRect(host, &rc);
    HWND grid = CreateWindowExA(WS_EX_STATICEDGE, "ZT_CTL_LISTVIEW", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER,
                                0, 0, rc.right, rc.bottom, host, (HMENU)10, GetModuleHandleA(nullptr), nullptr);
    for (int c = 0; c < kCols; c++) {
        tagLV_COLUMN col = {};
        col.iId = (int16_t)(c + 1);
        col.iWidth = 80;
        strncpy(col.szName, kFields[c].caption, sizeof col.szName - 1);
        strncpy(col.szCaption, kFields[c].caption, sizeof col.szCaption - 1);
        col.iType = kFields[c].type;
        col.iAlign = kFields[c].type == LVT_TEXT ? DT_LEFT : DT_RIGHT;
        col.iShown = 1;
        col.iOffset = (int32_t)kFields[c].offset;
        SendMessageA(grid, GRM_ADDCOLUMN, 0, (LPARAM)&col);
    }
    return grid;
}

// The fill protocol of every list: every record listed.
bool FillGrid(HWND grid, std::vector<BenchHouse>& recs)
{
    SendMessageA(grid, GRM_CLEAR, 0, 0);
    tagLV_FILL f = {};
    f.pRecords = recs.data();
    f.cbRecord = (int32_t)sizeof(BenchHouse);
    f.nRecords = (int32_t)recs.size();
    return SendMessageA(grid, GRM_BEGINFILL, recs.size(), (LPARAM)&f) != 0;
}

Times RunGrid(HWND host, std::vector<BenchHouse>& recs)
{
    HWND grid = MakeGrid(host);
    UpdateWindow(host);
    Pump();
    Times t;
    double mem0 = WorkingSetMb();
    double t0 = Now();
    t.ok = FillGrid(grid, recs);
    double t1 = Now();
    SendMessageA(grid, GRM_SORT, 1, kPriceCol + 1);
    double t2 = Now();
    Paint(grid);
    double t3 = Now();
    t.memMb = WorkingSetMb() - mem0;
    t.peakMb = WorkingSetMb(true) - mem0;
    SendMessageA(grid, GRM_SORT, 1, kEstateCol + 1);
    Paint(grid);
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

// ---- The platform's list view in virtual mode ---------------------------------------------------

// What the list view's owner keeps: the records and their order.
struct Owner {
    const std::vector<BenchHouse>* recs = nullptr;
    std::vector<int32_t> order;
    char text[128];
};
Owner g_owner;

LRESULT CALLBACK HostProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY) {
        NMHDR* nm = (NMHDR*)lp;
        if (nm->code == LVN_GETDISPINFOA) {
            NMLVDISPINFOA* di = (NMLVDISPINFOA*)lp;
            if ((di->item.mask & LVIF_TEXT) && g_owner.recs && di->item.iItem >= 0 &&
                (size_t)di->item.iItem < g_owner.order.size() && di->item.iSubItem >= 0 && di->item.iSubItem < kCols) {
                const BenchHouse& h = (*g_owner.recs)[(size_t)g_owner.order[(size_t)di->item.iItem]];
                FormatField(h, di->item.iSubItem, g_owner.text, sizeof g_owner.text);
                di->item.pszText = g_owner.text;
            }
            return 0;
        }
    }
    return DefWindowProcA(hWnd, msg, wp, lp);
}

// Stable, as the grid's sort is: equal keys keep their order.
void SortByPrice(std::vector<int32_t>& order, const std::vector<BenchHouse>& recs)
{
    std::stable_sort(order.begin(), order.end(),
                     [&recs](int32_t a, int32_t b) { return recs[(size_t)a].iSales < recs[(size_t)b].iSales; });
}

void SortByEstate(std::vector<int32_t>& order, const std::vector<BenchHouse>& recs)
{
    std::stable_sort(order.begin(), order.end(), [&recs](int32_t a, int32_t b) {
        const unsigned char* x = (const unsigned char*)recs[(size_t)a].szEstate;
        const unsigned char* y = (const unsigned char*)recs[(size_t)b].szEstate;
        while (*x && *x == *y) {
            x++;
            y++;
        }
        return *x < *y;
    });
}

Times RunListView(HWND host, std::vector<BenchHouse>& recs)
{
    RECT rc;
    GetClientRect(host, &rc);
    HWND lv = CreateWindowExA(WS_EX_STATICEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | LVS_REPORT | LVS_OWNERDATA |
                                  LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                              0, 0, rc.right, rc.bottom, host, (HMENU)11, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int c = 0; c < kCols; c++) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.fmt = kFields[c].type == LVT_TEXT || c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        col.cx = 80;
        col.pszText = (LPSTR)kFields[c].caption;
        SendMessageA(lv, LVM_INSERTCOLUMNA, c, (LPARAM)&col);
    }
    UpdateWindow(host);
    Pump();
    Times t;
    double mem0 = WorkingSetMb();
    double t0 = Now();
    g_owner.recs = &recs;
    g_owner.order.resize(recs.size());
    for (size_t i = 0; i < recs.size(); i++)
        g_owner.order[i] = (int32_t)i;
    SendMessageA(lv, LVM_SETITEMCOUNT, recs.size(), LVSICF_NOINVALIDATEALL);
    double t1 = Now();
    SortByPrice(g_owner.order, recs);
    double t2 = Now();
    Paint(lv);
    double t3 = Now();
    t.memMb = WorkingSetMb() - mem0;
    t.peakMb = WorkingSetMb(true) - mem0;
    SortByEstate(g_owner.order, recs);
    Paint(lv);
    double t4 = Now();
    t.fill = t1 - t0;
    t.sort = t2 - t1;
    t.paint = t3 - t2;
    t.resort = t4 - t3;
    DestroyWindow(lv);
    g_owner.recs = nullptr;
    std::vector<int32_t>().swap(g_owner.order);
    Pump();
    return t;
}

void Report(const char* what, int n, const Times& t)
{
    printf("  %-26s %8d rows: fill %8.1f  sort %8.1f  first paint %6.1f  = %8.1f ms;  re-sort by text + paint %8.1f ms;"
           "  memory +%.1f MB (%.0f bytes a row), at the peak +%.1f MB%s\n",
           what, n, t.fill, t.sort, t.paint, t.Total(), t.resort, t.memMb, t.memMb * 1048576.0 / n, t.peakMb,
           t.ok ? "" : "  (the fill failed)");
}

double Ratio(double a, double b)
{
    return a / std::max(b, 0.001);
}

// The median run of each side by its total time.
Times Median(std::vector<Times> v)
{
    std::sort(v.begin(), v.end(), [](const Times& a, const Times& b) { return a.Total() < b.Total(); });
    return v[v.size() / 2];
}

HWND MakeHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "GridBenchHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, "GridBenchHost", "grid bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1200,
                                700, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Pump();
    return host;
}

std::string Image()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
#if defined(__WINE__)
    return std::string(exe) + ".so";   // the Winelib program's image
#else
    return exe;
#endif
}

// Memory is measured in a process of its own for each side and size: in one
// process the memory a run frees is taken again by the next, which then
// seems to need none.  The child warms up with 2,000 rows of the same side
// first, and writes "steady peak" (MB) to its file.
bool MeasureMemory(bool grid, int n, Times* t)
{
    const char* file = "bench_grid_memory.txt";
    DeleteFileA(file);
    std::string cmd = "\"" + Image() + "\" --memory " + (grid ? "grid " : "listview ") + std::to_string(n) + " " + file;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 600000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    FILE* f = fopen(file, "r");
    if (!f)
        return false;
    bool ok = fscanf(f, "%lf %lf", &t->memMb, &t->peakMb) == 2;
    fclose(f);
    return ok;
}

int MemoryChild(bool grid, int n, const char* file)
{
    HWND host = MakeHost();
    {
        // The first fill and paint of a process make its scroll bars and
        // load fonts and drawing caches: not what the rows cost.
        auto warm = MakeHouses(2000);
        grid ? RunGrid(host, warm) : RunListView(host, warm);
    }
    auto recs = MakeHouses(n);
    Times t = grid ? RunGrid(host, recs) : RunListView(host, recs);
    FILE* f = fopen(file, "w");
    if (!f)
        return 1;
    fprintf(f, "%.3f %.3f\n", t.memMb, t.peakMb);
    fclose(f);
    DestroyWindow(host);
    return t.ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    RegListView();
    ZTListview_SetMessageBoxHook(QuietBox);
    if (argc == 5 && strcmp(argv[1], "--memory") == 0)
        return MemoryChild(strcmp(argv[2], "grid") == 0, atoi(argv[3]), argv[4]);
    HWND host = MakeHost();
    if (!host) {
        fprintf(stderr, "bench_grid: no window\n");
        return 1;
    }
    printf("grid: 32 columns of house-like records (%d bytes each); fill + sort by price + first paint, then a\n"
           "re-sort by estate name, against SysListView32 in virtual mode (LVS_OWNERDATA) over the same records;\n"
           "times in ms (median of 3 alternating runs, one at 1,000,000 rows); memory: the working set added to\n"
           "the records after the first paint and at its peak, each side measured in a process of its own\n",
           (int)sizeof(BenchHouse));
    {
        auto warm = MakeHouses(2000);   // first use of fonts and code
        RunGrid(host, warm);
        RunListView(host, warm);
    }
    const int sizes[] = {5000, 100000, 1000000};
    std::vector<Times> grids, views;
    for (int n : sizes) {
        std::string loadBefore = LoadAverage();
        Times g, l;
        {
            auto recs = MakeHouses(n);
            int reps = n >= 1000000 ? 1 : 3;
            std::vector<Times> gv, lv;
            for (int r = 0; r < reps; r++) {   // alternating, so that both see the same load
                gv.push_back(RunGrid(host, recs));
                lv.push_back(RunListView(host, recs));
            }
            g = Median(gv);
            l = Median(lv);
        }
        bool mem = MeasureMemory(true, n, &g) && MeasureMemory(false, n, &l);
        Report("ZTListview", n, g);
        Report("SysListView32 (virtual)", n, l);
        // The list view's owner holds at least its index array: where the
        // list view measures less (a few pages), the ratio is taken to that.
        double floorMb = std::max(l.memMb, n * 4.0 / 1048576.0);
        char memText[64] = "not measured";
        if (mem)
            snprintf(memText, sizeof memText, "%.2fx (at the peak %.2fx)", Ratio(g.memMb, floorMb),
                     Ratio(g.peakMb, std::max(l.peakMb, floorMb)));
        printf("  ratio grid / list view at %d rows: time %.2fx (fill %.2fx, sort %.2fx, paint %.2fx), re-sort %.2fx, "
               "memory %s;  load average %s before, %s after\n",
               n, Ratio(g.Total(), l.Total()), Ratio(g.fill, l.fill), Ratio(g.sort, l.sort), Ratio(g.paint, l.paint),
               Ratio(g.resort, l.resort), memText, loadBefore.c_str(), LoadAverage().c_str());
        fflush(stdout);
        grids.push_back(g);
        views.push_back(l);
    }
    // What one more row costs, from the smallest list to the largest.
    double rows = sizes[2] - sizes[0];
    double gRow = (grids[2].memMb - grids[0].memMb) * 1048576.0 / rows;
    double lRow = (views[2].memMb - views[0].memMb) * 1048576.0 / rows;
    printf("  memory a row (from %d to %d rows): grid %.2f bytes, list view %.2f bytes, ratio %.2fx;  load average %s\n",
           sizes[0], sizes[2], gRow, lRow, Ratio(gRow, std::max(lRow, 4.0)), LoadAverage().c_str());
    DestroyWindow(host);
    return 0;
}
