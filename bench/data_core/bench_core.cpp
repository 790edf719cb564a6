// Cost of the connection check plus one trivial select, per call, through
// the data library and with the bare client library, both on connections
// made the same way (TCP to the settings' host and port, the same account,
// charset, time-outs and client flags), so that only the library's own work
// differs.  The two ways alternate in rounds; the medians are compared.
#include "data/db_core.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <cstdio>
#include <vector>

static double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

static bool Bare(MYSQL* c, bool bPing)
{
    if (bPing && mysql_ping(c) != 0)
        return false;
    if (mysql_query(c, "select 1") != 0)
        return false;
    MYSQL_RES* r = mysql_store_result(c);
    if (!r)
        return false;
    mysql_free_result(r);
    return true;
}

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    if (!TestDb_Open("kelmora_b_core")) {
        fprintf(stderr, "no database\n");
        return 1;
    }
    MYSQL* c = TestDb_BareConnection();
    if (!c)
        return 1;
    const int rounds = 9, n = 1000;
    std::vector<double> lib, bare, run, bareRun;
    for (int k = 0; k <= rounds; ++k) {            // round 0 warms up
        double t0 = Now();
        for (int i = 0; i < n; ++i)
            if (!CheckConnection() || !DbRun("select 1").ok)
                return 1;
        double t1 = Now();
        for (int i = 0; i < n; ++i)
            if (!Bare(c, true))
                return 1;
        double t2 = Now();
        for (int i = 0; i < n; ++i)
            if (!DbRun("select 1").ok)
                return 1;
        double t3 = Now();
        for (int i = 0; i < n; ++i)
            if (!Bare(c, false))
                return 1;
        double t4 = Now();
        if (k) {
            lib.push_back((t1 - t0) / n);
            bare.push_back((t2 - t1) / n);
            run.push_back((t3 - t2) / n);
            bareRun.push_back((t4 - t3) / n);
        }
    }
    double l = Median(lib), b = Median(bare), r = Median(run), br = Median(bareRun);
    printf("both over TCP to %s:%d, the same options; median of %d rounds of %d calls\n", TestDb_Settings()->szHost,
           TestDb_Settings()->iPort, rounds, n);
    printf("connection check + select 1 (ZTData):      %8.1f us per call\n", l * 1e6);
    printf("ping + select 1 (bare client library):     %8.1f us per call\n", b * 1e6);
    printf("statement only, no check (ZTData):         %8.1f us per call\n", r * 1e6);
    printf("select 1 only (bare client library):       %8.1f us per call\n", br * 1e6);
    printf("ratio ZTData / bare, with the check:       %8.3f (target at most 1.05)\n", l / b);
    printf("ratio ZTData / bare, statement only:       %8.3f\n", r / br);
    mysql_close(c);
    TestDb_Close();
    return 0;
}
