// House list loads: FD_Sct_Hou reading 5000 houses (46 columns) from a table
// of 100,000, against the same statement fetched with the bare client
// library in the same run; then a typical filtered load.
#include "data/ZTData.h"
#include "db/dbtool.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <cstdio>
#include <string>
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

// The house columns as the library selects them, and its unfiltered live load.
static const char kLoad45[] =
    "select iOrdinal, dtFollow, dtUpdate, dDelegate, dBuy, dRent, szRingArea, szDist, szBuildNO, szHouseNO, szFloor, iFloorT, "
    "dbBuildArea, szRoomType,szToward, szDecoration, szLayout, szStatusquo, szLook, szMortgage, szPark, szSign, szBuildType, "
    "szBuildStruct, szHouseNum, szTrade, iSales, iSalesAve, iSalesBase,  iRent, dbRentAve, iRentBase,  szLinkMan, szLinkTel, "
    "szOwnerMan,  szOwnerTel, szRemark, szCitizen,  szPPTSource, szHPC, iEmp,  iVersion, iBr, iEst ,szHouseType, szHouseStruct";
static const std::string kLoad = std::string(kLoad45) +
    ", DATEDIFF(CURDATE() ,dtFollow) from t_house where  bRecyle = 0 order by dDelegate desc, dtFollow desc, dtUpdate desc"
    " limit 0, 5000";

// Fetches every row and touches every column, as a minimal client would.
static size_t BareFetch(MYSQL* c, const char* sql)
{
    if (mysql_query(c, sql) != 0)
        return 0;
    MYSQL_RES* r = mysql_store_result(c);
    size_t rows = 0, bytes = 0;
    unsigned int n = mysql_num_fields(r);
    while (MYSQL_ROW row = mysql_fetch_row(r)) {
        unsigned long* len = mysql_fetch_lengths(r);
        for (unsigned int i = 0; i < n; ++i)
            bytes += row[i] ? len[i] : 0;
        ++rows;
    }
    mysql_free_result(r);
    return bytes ? rows : 0;
}

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    if (!TestDb_Open("kelmora_b_houses")) {
        fprintf(stderr, "no database\n");
        return 1;
    }
    const int nHouses = 100000;
    std::string err;
    double t0 = Now();
    if (!DbTool_BenchHouses(TestDb_Conn(), nHouses, &err)) {
        fprintf(stderr, "bench data: %s\n", err.c_str());
        return 1;
    }
    double gen = Now() - t0;
    TestDb_Exec("analyze table t_house, t_client, t_follow");
    printf("generated %d houses, %lld clients, %lld follow-ups in %.1f s\n", nHouses, TestDb_Count("t_client"),
           TestDb_Count("t_follow"), gen);

    unsigned char remind[2] = {7, 30};
    const int reps = 15;
    MYSQL* c = TestDb_BareConnection();   // the library's transport and options
    if (!c)
        return 1;
    int n = 0, expiring = 0;
    // Alternate the two ways so that both see the same server state; the
    // first round warms the caches and is not counted.
    std::vector<double> lib, bare, probe;
    for (int i = 0; i <= reps; ++i) {
        tagHOUSE* p = nullptr;
        double a = Now();
        p = FD_Sct_Hou(1, &p, &n, "", 0, nullptr, nullptr);
        double b = Now();
        if (!p || n != 5000) {
            fprintf(stderr, "load returned %d rows\n", n);
            return 1;
        }
        Mem_Free_Hou(p);
        double d = Now();
        size_t rows = BareFetch(c, kLoad.c_str());
        double e = Now();
        if (rows != 5000) {
            fprintf(stderr, "bare fetch returned %zu rows\n", rows);
            return 1;
        }
        double f = Now();
        Mem_Free_Hou(FD_Sct_Hou(1, nullptr, &n, "", 0, &expiring, remind));
        double g = Now();
        if (i) {
            lib.push_back(b - a);
            bare.push_back(e - d);
            probe.push_back(g - f);
        }
    }
    double l = Median(lib), b = Median(bare);
    printf("FD_Sct_Hou, 5000 of 100000 houses, 46 columns:       %8.1f ms (median of %d)\n", l * 1e3, reps);
    printf("same select, bare client library (fetch only):       %8.1f ms\n", b * 1e3);
    printf("ratio ZTData / bare:                                 %8.2f\n", l / b);
    printf("FD_Sct_Hou as the house window calls it (+ probe):   %8.1f ms\n", Median(probe) * 1e3);
    printf("record block: %zu bytes per house, %.1f MB for 5000 + 101\n", sizeof(tagHOUSE),
           sizeof(tagHOUSE) * 5101 / 1048576.0);

    // A typical query of the house window: trade, price, area and bedroom
    // bounds and a commission date.
    const char* filter = " szTrade = '出售' and iSales >= 100 and iSales <= 300 and dbBuildArea >= 80 and iBed >= 2"
                         " and dDelegate >= '2024-01-01'";
    std::string filtered = std::string(kLoad45) + " from t_house where  bRecyle = 0 and (" + filter +
                           ") order by dDelegate desc, dtFollow desc, dtUpdate desc limit 0, 5000";
    std::vector<double> flib, fbare;
    int fn = 0;
    size_t frows = 0;
    for (int i = 0; i <= reps; ++i) {
        tagHOUSE* p = nullptr;
        double a = Now();
        p = FD_Sct_Hou(1, &p, &fn, filter, 0, &expiring, remind);
        double b2 = Now();
        Mem_Free_Hou(p);
        double d = Now();
        frows = BareFetch(c, filtered.c_str());
        double e = Now();
        if (i) {
            flib.push_back(b2 - a);
            fbare.push_back(e - d);
        }
    }
    printf("FD_Sct_Hou, typical filter (%d rows, 45 columns):     %8.1f ms\n", fn, Median(flib) * 1e3);
    printf("same select, bare client library (%zu rows):         %8.1f ms\n", frows, Median(fbare) * 1e3);
    mysql_close(c);
    TestDb_Close();
    return 0;
}
