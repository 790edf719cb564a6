// The operation log window on the demo data set with 200,000 log rows:
// the server time of the list statement for typical filters, then opening
// the window (every row) and filtering it through the panel, each timed
// against the bare data call, with the longest stretch in which the window
// thread handled no message (a 10 ms timer measures it) and the memory the
// list takes.
#include "tests/frame/shell_fixture.h"
#include "app/admin/log_filter.h"
#include "app/admin/log_ids.h"
#include "app/listings/listing_window.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"
#include "db/dbtool.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRows = 200000;

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double MedianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The window thread's pulse: the longest gap between two ticks of a 10 ms
// timer since the last reset.
double g_lastTick = 0, g_worstGap = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    double t = Now();
    if (g_lastTick > 0)
        g_worstGap = std::max(g_worstGap, t - g_lastTick);
    g_lastTick = t;
}
void ResetPulse()
{
    g_lastTick = Now();
    g_worstGap = 0;
}

void MakeLog()
{
    TestDb_Exec("insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue, dtAdd) "
                "select 1 + seq % 3, seq % 11, seq, 1 + seq % 6, "
                "concat(seq % 97, '@,@', seq % 30, '@,@', 100 + seq % 900, '@,@89.50@,@出售@,@张先生@,@',"
                " md5(seq), '@,@王女士@,@', md5(seq + 1)), now() - interval seq * 13 second "
                "from seq_1_to_" + std::to_string(kRows));
    TestDb_Exec("analyze table t_log");
}

struct Case {
    const char* name;
    LogFilterPanel v;
};

std::vector<Case> Cases()
{
    std::string today = TestDb_Scalar("select curdate()");
    std::string week = TestDb_Scalar("select curdate() - interval 6 day");
    std::vector<Case> c(5);
    c[0].name = "every row (the window opening)";
    c[1].name = "one employee, today";
    c[1].v.emp = "管理员";
    c[1].v.from = c[1].v.to = today;
    c[2].name = "one branch, the last seven days";
    c[2].v.br = "文三路店";
    c[2].v.from = week;
    c[2].v.to = today;
    c[3].name = "houses (one kind), every day";
    c[3].v.kind = "房源";
    c[4].name = "one employee, one kind, the last seven days";
    c[4].v.emp = "王强";
    c[4].v.kind = "客源";
    c[4].v.from = week;
    return c;
}

std::string Select(const std::string& where)
{
    // (As the data library reads the whole log: off the time index.)
    return "select iOrdinal, iAct, iObjType, iObjID, iOpEmp, szValue, dtAdd from t_log" +
           std::string(where.empty() ? " force index (ix_log_time)" : "") +
           (where.empty() ? std::string() : " where " + where) + " order by dtAdd desc, iOrdinal desc limit 0, 5000";
}

// The plan of a statement: table, access, index, rows estimated, extra.
void PrintPlan(const std::string& sql)
{
    for (auto& r : TestDb_Query("explain " + sql))
        printf("      %-12s %-8s %-6s key=%-14s rows=%-8s %s\n", r[1].c_str(), r[2].c_str(), r[3].c_str(),
               r[5].c_str(), r[8].c_str(), r.size() > 9 ? r[9].c_str() : "");
}

double ServerTime(const std::string& sql, long* rows)
{
    std::vector<double> t;
    TestDb_Exec("set profiling = 1, profiling_history_size = 1");
    for (int i = 0; i <= 3; ++i) {
        MYSQL* c = TestDb_Conn();
        if (mysql_query(c, sql.c_str()) != 0)
            return -1;
        MYSQL_RES* r = mysql_store_result(c);
        *rows = r ? static_cast<long>(mysql_num_rows(r)) : 0;
        if (r)
            mysql_free_result(r);
        auto prof = TestDb_Query("show profiles");
        if (i && !prof.empty())
            t.push_back(atof(prof.back()[1].c_str()));
    }
    TestDb_Exec("set profiling = 0");
    return MedianOf(t);
}

long long PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS pmc;
    pmc.cb = sizeof(pmc);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc)))
        return -1;
    return static_cast<long long>(pmc.PagefileUsage);
}

int Run()
{
    tagZT_Main_Param* p = &g_ZTMain;
    Shell_Setup();
    Startup_LoadLists(p);
    p->pLoginEmp = p->pEmpList;
    Module_RegisterClasses(p->hInst);
    std::vector<Case> cases = Cases();

    printf("\nserver time of the list statement (SHOW PROFILES, median of 3, rows sent included)\n");
    for (const Case& c : cases) {
        std::string where;
        int bad = 0;
        LogFilter_Build(p, c.v, &where, &bad);
        long rows = 0;
        double t = ServerTime(Select(where), &rows);
        printf("  %-46s %8.1f ms  %7ld rows\n", c.name, t * 1e3, rows);
        PrintPlan(Select(where));
    }

    HWND frame = Shell_CreateFrame();
    SetTimer(nullptr, 0, 10, Tick);
    long long before = PrivateBytes();
    ResetPulse();
    double a = Now();
    HWND hwnd = Frame_OpenModule(p, IDM_LOG);
    ZT_MODWIN* w = Module_Of(hwnd);
    while (w && (!w->bLoaded || w->bBusy || p->hBusyDlg) && Now() - a < 600)
        Ui_Pump(5);
    double open = Now() - a;
    double openGap = g_worstGap;
    // The window lists the newest ZT_LIST_ROWS of the log.
    if (!w || w->nListed < (kRows < ZT_LIST_ROWS ? kRows : ZT_LIST_ROWS)) {
        fprintf(stderr, "the window listed %d rows\n", w ? w->nListed : -1);
        return 1;
    }
    long long after = PrivateBytes();
    printf("\nopening the window: %d rows listed in %.2f s; the window thread went at most %.0f ms without a "
           "message\n", w->nListed, open, openGap * 1e3);
    printf("memory of the list: %.0f MB (records of %u bytes: %.0f MB)\n", (after - before) / 1048576.0,
           static_cast<unsigned>(sizeof(tagLOG)), (w->rs.nSlots * sizeof(tagLOG)) / 1048576.0);

    HWND panel = ListingWindow_Panel(hwnd);
    printf("\nthrough the window (find on the panel) and the bare data call, median of 3\n");
    for (const Case& c : cases) {
        std::vector<double> win, bare;
        double gap = 0;
        for (int i = 0; i < 3; i++) {
            SetDlgItemTextA(panel, IDC_LOG_EMP, c.v.emp.c_str());
            SetDlgItemTextA(panel, IDC_LOG_BR, c.v.br.c_str());
            SetDlgItemTextA(panel, IDC_LOG_KIND, c.v.kind.c_str());
            SetDlgItemTextA(panel, IDC_LOG_FROM, c.v.from.c_str());
            SetDlgItemTextA(panel, IDC_LOG_TO, c.v.to.c_str());
            ResetPulse();
            double t0 = Now();
            Module_Refresh(w);
            double t1 = Now();
            gap = std::max(gap, g_worstGap);
            tagLOG* list = nullptr;
            int n = 0;
            long long matched = 0;      // bounded, as the window reads it
            FD_Sct_Log(&list, &n, w->filter.c_str(), &matched);
            double t2 = Now();
            Mem_Free_Log(list);
            if (n != w->nListed) {
                fprintf(stderr, "%s: %d rows and %d (loaded %d)\n", c.name, n, w->nListed, w->bLoaded);
                for (const TestBox& b : TestBoxes_Taken())
                    fprintf(stderr, "  box: %s\n", b.text.c_str());
                return 1;
            }
            win.push_back(t1 - t0);
            bare.push_back(t2 - t1);
        }
        printf("  %-46s %7d rows  window %8.1f ms  bare %8.1f ms  ratio %5.2f  longest without a message %4.0f ms\n",
               c.name, w->nListed, MedianOf(win) * 1e3, MedianOf(bare) * 1e3, MedianOf(win) / MedianOf(bare),
               gap * 1e3);
    }
    Shell_DestroyFrame(frame);
    return 0;
}

}  // namespace

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    ZT_SetMessageBoxHookLocal(TestBoxes_Hook());
    if (!TestDb_Open("kelmora_b_log")) {
        fprintf(stderr, "no database\n");
        return 1;
    }
    std::string err;
    if (!DbTool_Demo(TestDb_Conn(), &err)) {
        fprintf(stderr, "demo data: %s\n", err.c_str());
        return 1;
    }
    double t0 = Now();
    MakeLog();
    printf("demo data with %lld log rows made in %.1f s\n", TestDb_Count("t_log"), Now() - t0);
    int rc = Run();
    TestDb_Close();
    return rc;
}
