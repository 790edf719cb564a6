// Cost of the connection check plus one trivial select, per call, through
// the data library and with the bare client library on its own connection.
#include "data/db_core.h"
#include "tests/support/test_support.h"

#include <cstdio>

static double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    if (!TestDb_Open("kelmora_b_core")) {
        fprintf(stderr, "no database\n");
        return 1;
    }
    const int n = 5000;
    // Warm up.
    for (int i = 0; i < 100; ++i) {
        CheckConnection();
        DbRun("select 1");
    }
    double t0 = Now();
    for (int i = 0; i < n; ++i) {
        if (!CheckConnection() || !DbRun("select 1").ok)
            return 1;
    }
    double lib = (Now() - t0) / n;

    MYSQL* c = TestDb_Conn();
    t0 = Now();
    for (int i = 0; i < n; ++i) {
        mysql_ping(c);
        mysql_query(c, "select 1");
        mysql_free_result(mysql_store_result(c));
    }
    double bare = (Now() - t0) / n;

    t0 = Now();
    for (int i = 0; i < n; ++i)
        DbRun("select 1");
    double run = (Now() - t0) / n;

    printf("connection check + select 1 (ZTData):      %8.1f us per call\n", lib * 1e6);
    printf("statement only, no check (ZTData):         %8.1f us per call\n", run * 1e6);
    printf("ping + select 1 (bare client library):     %8.1f us per call\n", bare * 1e6);
    printf("ratio ZTData / bare:                       %8.2f\n", lib / bare);
    TestDb_Close();
    return 0;
}
