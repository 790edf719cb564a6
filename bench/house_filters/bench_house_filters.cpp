// The house list's typical filters, as the window builds them, on the demo
// data set grown to 100,000 houses: for each the statement the load sends,
// its plan (EXPLAIN), its server time (wall and CPU), how many rows and
// index entries the server read for it, and a check that it lists the same
// rows in the same order as the statement read without the list's indexes
// (the whole table, sorted).  The first line is the floor every list of
// 5000 houses pays: the newest 5000 houses without a filter.
#include "app/listings/house_filter.h"
#include "cipher/cipher.h"
#include "data/ZTData.h"
#include "db/dbtool.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

static const char kColumns[] =
    "select iOrdinal, dtFollow, dtUpdate, dDelegate, dBuy, dRent, szRingArea, szDist, szBuildNO, szHouseNO, szFloor, iFloorT, "
    "dbBuildArea, szRoomType,szToward, szDecoration, szLayout, szStatusquo, szLook, szMortgage, szPark, szSign, szBuildType, "
    "szBuildStruct, szHouseNum, szTrade, iSales, iSalesAve, iSalesBase,  iRent, dbRentAve, iRentBase,  szLinkMan, szLinkTel, "
    "szOwnerMan,  szOwnerTel, szRemark, szCitizen,  szPPTSource, szHPC, iEmp,  iVersion, iBr, iEst ,szHouseType, szHouseStruct";

// The statement FD_Sct_Hou sends for a filter; `hint` after the table name.
static std::string Load(const std::string& where, const char* hint = "")
{
    return std::string(kColumns) + " from t_house" + hint + " where  bRecyle = 0 and (" + where +
           ") order by dDelegate desc, dtFollow desc, dtUpdate desc limit 0, 5000";
}

// Runs a statement and reads every row; the rows, or -1 on an error.
static long Fetch(const std::string& sql)
{
    MYSQL* c = TestDb_Conn();
    if (mysql_query(c, sql.c_str()) != 0) {
        fprintf(stderr, "%s\n  %s\n", mysql_error(c), sql.c_str());
        return -1;
    }
    MYSQL_RES* r = mysql_store_result(c);
    long rows = 0;
    while (r && mysql_fetch_row(r))
        ++rows;
    if (r)
        mysql_free_result(r);
    return rows;
}

struct Timing {
    double wall, cpu;    // medians, seconds
};

// Median server time of a statement (the server's own profile of it, rows
// sent included), wall and CPU, over reps runs after one warming run.
static Timing Median(const std::string& sql, int reps, long* rows)
{
    std::vector<double> wall, cpu;
    TestDb_Exec("set profiling = 1, profiling_history_size = 1");
    for (int i = 0; i <= reps; ++i) {
        *rows = Fetch(sql);
        auto prof = TestDb_Query("select sum(duration), sum(cpu_user + cpu_system) from information_schema.profiling"
                                 " where query_id = (select max(query_id) from information_schema.profiling)");
        if (i && !prof.empty()) {
            wall.push_back(atof(prof[0][0].c_str()));
            cpu.push_back(atof(prof[0][1].c_str()));
        }
    }
    TestDb_Exec("set profiling = 0");
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    if (wall.empty())
        return Timing{0, 0};
    return Timing{wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// What the server read for one run: rows fetched through an index or the
// table, and index entries it tested against the filter before reading
// their rows (index condition pushdown).
static void Reads(const std::string& sql, long long* rows, long long* tested)
{
    TestDb_Exec("flush status");
    Fetch(sql);
    *rows = *tested = 0;
    for (auto& r : TestDb_Query("show session status where variable_name in ('Handler_read_key', 'Handler_read_next',"
                                " 'Handler_read_prev', 'Handler_read_rnd', 'Handler_read_rnd_next',"
                                " 'Handler_icp_attempts')")) {
        if (r[0] == "Handler_icp_attempts")
            *tested = atoll(r[1].c_str());
        else
            *rows += atoll(r[1].c_str());
    }
}

// Whether two list statements list the same houses in the same order.
// Houses of equal commission, follow-up and update times may come in any
// order, so the order is compared by those times and the houses by group
// of equal times (the last group, cut by the limit, by its size only).
static bool SameList(const std::string& a, const std::string& b)
{
    auto ra = TestDb_Query(a), rb = TestDb_Query(b);
    if (ra.size() != rb.size())
        return false;
    auto when = [](const std::vector<std::string>& r) { return r[3] + "|" + r[1] + "|" + r[2]; };
    std::vector<std::string> ga, gb;
    for (size_t i = 0; i < ra.size(); ++i) {
        if (when(ra[i]) != when(rb[i]))
            return false;
        ga.push_back(ra[i][0]);
        gb.push_back(rb[i][0]);
        bool last = i + 1 == ra.size();
        if (last || when(ra[i + 1]) != when(ra[i])) {
            std::sort(ga.begin(), ga.end());
            std::sort(gb.begin(), gb.end());
            if (!last && ga != gb)
                return false;
            ga.clear();
            gb.clear();
        }
    }
    return true;
}

static const char kNoListIndexes[] =
    " ignore index (ix_house_list, ix_house_est_list, ix_house_emp_list, ix_house_br_list, ix_house_trade,"
    " ix_house_urban_list)";

static void Explain(const std::string& sql)
{
    auto rows = TestDb_Query("explain " + sql);
    for (auto& r : rows) {
        // id, select_type, table, type, possible_keys, key, key_len, ref, rows, Extra
        printf("    %-3s %-12s %-8s %-12s key=%-22s rows=%-7s %s\n", r[0].c_str(), r[1].c_str(), r[2].c_str(),
               r[3].c_str(), r[5].c_str(), r[8].c_str(), r.size() > 9 ? r[9].c_str() : "");
    }
}

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    if (!TestDb_Open("kelmora_b_hfilters")) {
        fprintf(stderr, "no database\n");
        return 1;
    }
    std::string err;
    double t0 = Now();
    if (!DbTool_DemoAtScale(TestDb_Conn(), 100000, &err)) {
        fprintf(stderr, "demo data: %s\n", err.c_str());
        return 1;
    }
    TestDb_Exec("analyze table t_house, t_estate, t_urban, t_follow");
    printf("demo data with %lld houses made in %.1f s; innodb_adaptive_hash_index %s\n", TestDb_Count("t_house"),
           Now() - t0, TestDb_Scalar("select if(@@innodb_adaptive_hash_index, 'ON', 'OFF')").c_str());

    // The lists the window looks names up in.
    std::vector<tagESTLIST> est;
    for (auto& r : TestDb_Query("select iOrdinal, szEstate from t_estate where bRecyle = 0")) {
        tagESTLIST e;
        memset(&e, 0, sizeof(e));
        e.iOrdinal = atoi(r[0].c_str());
        snprintf(e.szEstate, sizeof(e.szEstate), "%s", r[1].c_str());
        est.push_back(e);
    }
    std::vector<tagURBAN> urb;
    for (auto& r : TestDb_Query("select iOrdinal, iParentIndex, szUrban from t_urban where bRecyle = 0")) {
        tagURBAN u;
        memset(&u, 0, sizeof(u));
        u.iOrdinal = atoi(r[0].c_str());
        u.iParentIndex = atoi(r[1].c_str());
        snprintf(u.szUrban, sizeof(u.szUrban), "%s", r[2].c_str());
        urb.push_back(u);
    }
    std::string estate = TestDb_Scalar("select szEstate from t_estate where bRecyle = 0 order by iOrdinal limit 1");
    std::string urban = TestDb_Scalar("select u.szUrban from t_urban u join t_estate e on e.iUrban = u.iOrdinal join "
                                      "t_house h on h.iEst = e.iOrdinal group by u.iOrdinal order by count(*) limit 1");
    char tel[300];
    snprintf(tel, sizeof(tel), "%s", TestDb_Scalar("select szOwnerTel from t_house order by iOrdinal desc limit 1").c_str());
    CipherText(".", tel, CIPHER_DECODE);
    std::string today = TestDb_Scalar("select curdate()");
    std::string monthAgo = TestDb_Scalar("select date_sub(curdate(), interval 30 day)");

    struct Case {
        const char* name;
        HouseFilterPanel v;
        const char* scope;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, const char* scope, auto fill) {
        Case c{name, HouseFilterPanel(), scope};
        fill(c.v);
        cases.push_back(c);
    };
    add("trade 出售, price 100-300 (万元)", "", [](HouseFilterPanel& v) { v.trade = "出售"; v.priceMin = "100"; v.priceMax = "300"; });
    add("trade 出租, rent 2000-5000", "", [](HouseFilterPanel& v) { v.trade = "出租"; v.priceMin = "2000"; v.priceMax = "5000"; });
    add("no trade, price up to 300", "", [](HouseFilterPanel& v) { v.priceMax = "300"; });
    add("urban area", "", [&](HouseFilterPanel& v) { v.urban = urban + ","; });
    add("one estate (chosen from the list)", "", [&](HouseFilterPanel& v) { v.estate = estate; });
    add("telephone (whole number)", "", [&](HouseFilterPanel& v) { v.estate = tel; });
    add("commissioned in the last 30 days", "", [&](HouseFilterPanel& v) { v.delegateFrom = monthAgo; v.delegateTo = today; });
    add("今日跟进房 (followed up today)", "", [&](HouseFilterPanel& v) { v.followFrom = today; v.followTo = today; });
    add("出租 今日到期房 (lease date today)", "", [&](HouseFilterPanel& v) { v.trade = "出租"; v.rentFrom = today; v.rentTo = today; });
    add("own branch, empty panel", "iBr = 2", [](HouseFilterPanel&) {});
    add("own houses, trade 出售", "iEmp = 3", [](HouseFilterPanel& v) { v.trade = "出售"; });
    add("出售, 2-3 bedrooms, 80-120 m2", "", [](HouseFilterPanel& v) { v.trade = "出售"; v.bedMin = "2"; v.bedMax = "3"; v.areaMin = "80"; v.areaMax = "120"; });

    const int reps = 7;
    long rows = 0;
    Timing full = Median(Load("1 = 1", " use index ()"), reps, &rows);
    Timing floor = Median(Load("1 = 1"), reps, &rows);
    printf("\nserver time (profile of the statement, rows sent included), 5000 rows at most per statement,"
           " median of %d\n", reps);
    printf("whole table read and sorted (no index):   %7.1f ms (CPU %5.1f ms), %ld rows\n", full.wall * 1e3,
           full.cpu * 1e3, rows);
    printf("floor, the newest 5000 without a filter:  %7.1f ms (CPU %5.1f ms), %ld rows\n", floor.wall * 1e3,
           floor.cpu * 1e3, rows);
    double worst = 0;
    int differ = 0;
    for (const Case& c : cases) {
        std::string where;
        int bad = 0;
        if (!HouseFilter_Build(c.v, c.scope, est.data(), (int)est.size(), &where, &bad, urb.data(), (int)urb.size())) {
            fprintf(stderr, "%s: no filter\n", c.name);
            return 1;
        }
        // The index the window names for this filter, as FD_Sct_Hou places it.
        std::string named = HouseFilter_Index(c.v, c.scope);
        std::string sql = Load(where, named.empty() ? "" : (" force index (" + named + ")").c_str());
        Timing t = Median(sql, reps, &rows);
        long scanRows = 0;
        Timing scan = Median(Load(where, " use index ()"), 3, &scanRows);
        long long read = 0, tested = 0;
        Reads(sql, &read, &tested);
        bool same = SameList(sql, Load(where, kNoListIndexes));
        differ += !same;
        worst = std::max(worst, t.wall);
        printf("\n%s\n  filter:%s\n  %7.1f ms (CPU %5.1f ms), %ld rows; the server read %lld rows and tested %lld"
               " index entries; %s\n  (reading the whole table instead: %7.1f ms)\n",
               c.name, where.c_str(), t.wall * 1e3, t.cpu * 1e3, rows, read, tested,
               same ? "same rows and order as without the list indexes" : "ROWS DIFFER from the plain statement",
               scan.wall * 1e3);
        Explain(sql);
    }
    printf("\nslowest typical filter: %.1f ms of server time (median of %d); floor of 5000 rows %.1f ms\n",
           worst * 1e3, reps, floor.wall * 1e3);
    if (differ) {
        printf("%d filters list other rows than the plain statement\n", differ);
        return 1;
    }
    return 0;
}
