// Start-up loading cost of the shared dictionary caches on a database with
// 20,000 estates and 2,000 parameter values: the parameter tree and values,
// the three area loaders and the estate list, per call.
#include "data/ZTData.h"
#include "db/dbtool.h"
#include "tests/support/test_support.h"

#include <cstdio>

static double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

template <class F>
static void Measure(const char* what, int runs, F call)
{
    call();  // warm up
    double t0 = Now();
    int rows = 0;
    for (int i = 0; i < runs; ++i)
        rows = call();
    double per = (Now() - t0) / runs;
    printf("%-44s %8.2f ms per call  (%d rows)\n", what, per * 1e3, rows);
}

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    const int nEstates = 20000, nValues = 2000;
    if (!TestDb_Open("kelmora_b_dicts")) {
        fprintf(stderr, "no database\n");
        return 1;
    }
    std::string err;
    double t0 = Now();
    if (!DbTool_BenchDictionaries(TestDb_Conn(), nEstates, nValues, &err)) {
        fprintf(stderr, "bench data: %s\n", err.c_str());
        return 1;
    }
    printf("generated %d estates (%lld buildings), %d parameter values in %.1f s\n", nEstates,
           TestDb_Count("t_buildno"), nValues, Now() - t0);

    const int runs = 20;
    tagARGC *tags = nullptr, *names = nullptr, *values = nullptr;
    int nTags = 0, nNames = 0, nVal = 0;
    Measure("FD_sct_Argc_Name (categories + names)", runs, [&] {
        FD_sct_Argc_Name(&tags, &names, &nTags, &nNames);
        return nTags + nNames;
    });
    Measure("_FD_sct_Argc_Value (every live value)", runs, [&] {
        _FD_sct_Argc_Value(nullptr, &values, &nVal, 1, 0);
        return nVal;
    });
    Measure("FD_SCT_CITY (active cities)", runs, [&] {
        int n = 0;
        tagCITY* p = nullptr;
        FD_SCT_CITY(&p, &n, 1);
        Mem_Free_City(p);
        return n;
    });
    Measure("FD_SCT_URBAN (all cities)", runs, [&] {
        int n = 0;
        tagURBAN* p = nullptr;
        FD_SCT_URBAN(nullptr, &p, &n, 1, 0);
        Mem_Free_Urban(p);
        return n;
    });
    Measure("FD_SCT_DISTRICT (all)", runs, [&] {
        int n = 0;
        tagDISTRICT* p = nullptr;
        FD_SCT_DISTRICT(nullptr, &p, &n, 1, 0);
        Mem_Free_Dist(p);
        return n;
    });
    tagESTLIST* est = nullptr;
    int nEst = 0;
    Measure("FD_Sct_EstList (every live estate)", runs, [&] {
        FD_Sct_EstList(nullptr, &est, &nEst, 1, 0);
        return nEst;
    });
    printf("estate list block: %.1f KB (%d + 101 records of %u bytes)\n",
           (nEst + 101) * sizeof(tagESTLIST) / 1024.0, nEst, (unsigned)sizeof(tagESTLIST));

    // The whole start-up sequence once more, as the program runs it.
    t0 = Now();
    tagCITY* cities = nullptr;
    tagURBAN* urbans = nullptr;
    tagDISTRICT* dists = nullptr;
    int nc = 0, nu = 0, nd = 0;
    FD_sct_Argc_Name(&tags, &names, &nTags, &nNames);
    _FD_sct_Argc_Value(nullptr, &values, &nVal, 1, 0);
    FD_SCT_CITY(&cities, &nc, 1);
    FD_SCT_URBAN(nullptr, &urbans, &nu, 1, 0);
    FD_SCT_DISTRICT(nullptr, &dists, &nd, 1, 0);
    FD_Sct_EstList(nullptr, &est, &nEst, 1, 0);
    printf("%-44s %8.2f ms\n", "whole dictionary start-up load", (Now() - t0) * 1e3);

    Mem_Free_Argc(tags);
    Mem_Free_Argc(names);
    Mem_Free_Argc(values);
    Mem_Free_City(cities);
    Mem_Free_Urban(urbans);
    Mem_Free_Dist(dists);
    Mem_Free_EstList(est);
    TestDb_Close();
    return 0;
}
