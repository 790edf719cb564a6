// Generated listings for benchmarks: houses spread over the estates, with
// clients and follow-ups in proportion, written with multi-row inserts.
#include "db/dbtool.h"
#include "cipher/cipher.h"
#include "db/demo_words.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Gen {
    unsigned int seed = 4242;
    unsigned int Next()
    {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    }
    int Range(int lo, int hi) { return lo + (int)(Next() % (unsigned)(hi - lo + 1)); }
    template <size_t N> const char* Pick(const char* const (&a)[N]) { return a[Next() % N]; }
};

using namespace demo_words;
const char* const kTrades[] = {"出售", "出售", "出售", "出租", "出租", "租售", "已售"};
const char* const kWants[] = {"求购", "求购", "求租", "租购"};
const char* const kDists[] = {"文三路", "古荡", "翠苑", "湖墅", "大关", "江南", "浦沿"};
const char* const kRemarks[] = {"业主诚心出售", "近地铁", "学区房", "满五唯一", "拎包入住", ""};
const char* const kNotes[] = {"业主同意降价两万", "已带客户看房", "电话回访,房源仍有效", "约周末看房"};
const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
const char* const kGiven[] = {"伟", "芳", "娜", "敏", "静", "磊", "洋", "勇", "艳", "杰"};
const char* const kUrbans[] = {"西湖区", "拱墅区", "滨江区", "上城区"};

std::string Fmt(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* fmt, ...)
{
    char buf[2048];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

// Enciphered mobile numbers.  Enciphering costs about 0.1 ms a number, so
// a pool of distinct numbers is made once and drawn from: telephones then
// repeat across listings (as an owner's do) but the generation stays quick.
struct Phones {
    std::vector<std::string> pool;
    Phones(Gen& g, size_t n)
    {
        for (size_t i = 0; i < n; ++i) {
            char buf[300] = {0};
            snprintf(buf, sizeof buf, "13%d%08d", g.Range(0, 9), g.Range(0, 99999999));
            CipherText(".", buf, CIPHER_ENCODE);
            pool.push_back(buf);
        }
    }
    const char* operator()(Gen& g) const { return pool[g.Next() % pool.size()].c_str(); }
};

std::string Person(Gen& g) { return std::string(g.Pick(kSurnames)) + g.Pick(kGiven) + (g.Range(0, 1) ? g.Pick(kGiven) : ""); }

// Collects value tuples and sends them as multi-row inserts.
struct Batch {
    MYSQL* conn;
    std::string head;
    std::string* err;
    std::string sql;
    int rows = 0;
    Batch(MYSQL* c, const char* h, std::string* e) : conn(c), head(h), err(e) {}
    bool Add(const std::string& tuple)
    {
        sql += rows ? "," : head;
        sql += tuple;
        return ++rows < 1000 || Flush();
    }
    bool Flush()
    {
        if (!rows)
            return true;
        bool ok = DbTool_Exec(conn, sql, err);
        sql.clear();
        rows = 0;
        return ok;
    }
};

std::vector<std::vector<std::string>> Select(MYSQL* conn, const char* sql)
{
    std::vector<std::vector<std::string>> out;
    if (mysql_query(conn, sql) != 0)
        return out;
    MYSQL_RES* r = mysql_store_result(conn);
    if (!r)
        return out;
    unsigned int n = mysql_num_fields(r);
    while (MYSQL_ROW row = mysql_fetch_row(r)) {
        std::vector<std::string> v;
        for (unsigned int i = 0; i < n; ++i)
            v.push_back(row[i] ? row[i] : "");
        out.push_back(v);
    }
    mysql_free_result(r);
    return out;
}

// nClients generated clients over the staff, each with a follow-up on
// every second one.
bool AddClients(MYSQL* conn, Gen& g, const std::vector<std::pair<int, int>>& staff, const Phones& Phone, int nClients,
                std::string* err)
{
    auto q = [&](const char* v) { return DbTool_Quote(conn, v); };
    Batch follows{conn, "insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) values ", err};
    int firstClient = atoi(Select(conn, "select coalesce(max(iOrdinal), 0) + 1 from t_client")[0][0].c_str());
    Batch clients{conn,
                  "insert into t_client (iOrdinal, szClientNum, szTrade, iMinBuy, iMaxBuy, iMinRent, iMaxRent, iMinArea, iMaxArea, iMinRoom,"
                  " iMaxRoom, szUrban, szHouseType, szToward, szDecoration, szLevel, szCliMan, szCliTel, szLinkMan, szLinkTel,"
                  " dDelegate, iBr, iEmp, dtFollow) values ",
                  err};
    for (int i = 0; i < nClients; ++i) {
        const std::pair<int, int>& who = staff[g.Next() % staff.size()];
        std::string want = g.Pick(kWants);
        int minBuy = want == "求租" ? 0 : g.Range(80, 300), minRent = want == "求购" ? 0 : g.Range(15, 60) * 100;
        int minArea = g.Range(40, 110), minRoom = g.Range(1, 3);
        bool followed = i % 2 == 0;
        std::string followAt = followed ? Fmt("date_sub(now(), interval %d hour)", g.Range(1, 24 * 60)) : "NULL";
        int key = firstClient + i;
        if (!clients.Add(Fmt("(%d, '%08d', %s, %d, %d, %d, %d, %d, %d, %d, %d, %s, %s, %s, %s, %s, %s, '%s', %s, '%s',"
                             " date_sub(curdate(), interval %d day), %d, %d, %s)",
                             key, key, q(want.c_str()).c_str(), minBuy, minBuy ? minBuy + g.Range(20, 150) : 0, minRent,
                             minRent ? minRent + g.Range(5, 30) * 100 : 0, minArea, minArea + g.Range(10, 60), minRoom,
                             minRoom + g.Range(0, 2), q(g.Pick(kUrbans)).c_str(), q(g.Pick(kHouseTypes)).c_str(),
                             q(g.Pick(kTowards)).c_str(), q(g.Pick(kDecorations)).c_str(), q(g.Pick(kLevels)).c_str(),
                             q(Person(g).c_str()).c_str(), Phone(g), q(Person(g).c_str()).c_str(), Phone(g),
                             g.Range(0, 400), who.second, who.first, followAt.c_str())))
            return false;
        if (followed && !follows.Add(Fmt("(0, %d, %d, %d, %s, %s, %s)", key, who.first, who.second, q(g.Pick(kWays)).c_str(),
                                         q("客户预算可再提高").c_str(), followAt.c_str())))
            return false;
    }
    return clients.Flush() && follows.Flush();
}

} // namespace

bool DbTool_BenchHouses(MYSQL* conn, int nHouses, std::string* err)
{
    Gen g;
    // Staff and estates already present are used; without estates a set of
    // plain ones is made.
    std::vector<std::pair<int, int>> staff;
    for (auto& r : Select(conn, "select iOrdinal, iBr from t_employee where bRecyle = 0"))
        staff.push_back({atoi(r[0].c_str()), atoi(r[1].c_str())});
    if (staff.empty())
        staff.push_back({1, 1});
    std::vector<int> estates;
    for (auto& r : Select(conn, "select iOrdinal from t_estate where bRecyle = 0"))
        estates.push_back(atoi(r[0].c_str()));
    if (estates.empty()) {
        Batch est{conn, "insert into t_estate (iUrban, iPriority, szEstate, szDist, szRingArea, szHouseType, szBuildType) values ", err};
        for (int i = 0; i < 120; ++i)
            if (!est.Add(Fmt("(0, %d, %s, %s, %s, %s, %s)", i + 1, DbTool_Quote(conn, Fmt("测试花园%d期", i + 1)).c_str(),
                             DbTool_Quote(conn, g.Pick(kDists)).c_str(), DbTool_Quote(conn, g.Pick(kRings)).c_str(),
                             DbTool_Quote(conn, g.Pick(kHouseTypes)).c_str(), DbTool_Quote(conn, g.Pick(kBuildTypes)).c_str())))
                return false;
        if (!est.Flush())
            return false;
        for (auto& r : Select(conn, "select iOrdinal from t_estate where bRecyle = 0"))
            estates.push_back(atoi(r[0].c_str()));
        if (estates.empty()) {
            if (err)
                *err = "no estates";
            return false;
        }
    }

    auto q = [&](const char* v) { return DbTool_Quote(conn, v); };
    size_t nPhones = (size_t)nHouses * 5 / 2;
    Phones Phone(g, nPhones < 100 ? 100 : (nPhones > 16384 ? 16384 : nPhones));
    int firstHouse = atoi(Select(conn, "select coalesce(max(iOrdinal), 0) + 1 from t_house")[0][0].c_str());
    Batch houses{conn,
                 "insert into t_house (iOrdinal, iEst, szBuildNO, szHouseNO, szHouseNum, iEmp, iBr, szTrade, dDelegate, dtFollow, dtUpdate,"
                 " szRingArea, szDist, szFloor, iFloorT, dbBuildArea, szRoomType, iBed, iLiving, iBath, szToward, szDecoration,"
                 " szLayout, szStatusquo, szLook, szMortgage, szPark, szSign, szBuildType, szBuildStruct, szHouseType, szHouseStruct,"
                 " iSales, iSalesAve, iSalesBase, iRent, iRentBase, dbRentAve, szLinkMan, szLinkTel, szOwnerMan, szOwnerTel,"
                 " szCitizen, szPPTSource, szHPC, szRemark) values ",
                 err};
    Batch follows{conn, "insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) values ", err};
    size_t nEst = estates.size();
    for (int i = 0; i < nHouses; ++i) {
        // Keys are given so that follow-ups can name their listing; estate,
    // building and room are unique by construction.
        int est = estates[(size_t)i % nEst];
        int j = i / (int)nEst;
        int build = j % 12 + 21, k = j / 12;
        int floor = k % 30 + 1, room = floor * 100 + k / 30 + 1;
        const std::pair<int, int>& who = staff[g.Next() % staff.size()];
        int bed = g.Range(1, 4), living = g.Range(1, 2), bath = g.Range(1, 2);
        double area = 35 + bed * 22 + g.Range(0, 3000) / 100.0;
        std::string trade = g.Pick(kTrades);
        int sales = trade == "出租" ? 0 : (int)(area * g.Range(180, 650) / 100);
        int rent = trade == "出售" || trade == "已售" ? 0 : (int)(area * g.Range(35, 90));
        int delegateDays = g.Range(0, 1500);
        int followHours = g.Range(0, 9) == 0 ? -1 : g.Range(1, 24 * 120);
        std::string followAt = followHours < 0 ? "NULL" : Fmt("date_sub(now(), interval %d hour)", followHours);
        int key = firstHouse + i;
        if (!houses.Add(Fmt(
                "(%d, %d, '%d', '%d', '%08d', %d, %d, %s, date_sub(curdate(), interval %d day), %s, date_sub(now(), interval %d minute),"
                " %s, %s, '%d', %d, %.2f, '%d/%d/%d', %d, %d, %d, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s,"
                " %d, %d, %d, %d, %d, %.2f, %s, '%s', %s, '%s', %s, %s, 'HZ%07d', %s)",
                key, est, build, room, key, who.first, who.second, q(trade.c_str()).c_str(), delegateDays, followAt.c_str(),
                g.Range(0, 60 * 24 * 90), q(g.Pick(kRings)).c_str(), q(g.Pick(kDists)).c_str(), floor, 30, area, bed, living,
                bath, bed, living, bath, q(g.Pick(kTowards)).c_str(), q(g.Pick(kDecorations)).c_str(),
                q(g.Pick(kLayouts)).c_str(), q(g.Pick(kStatus)).c_str(), q(g.Pick(kLooks)).c_str(),
                q(g.Pick(kMortgage)).c_str(), q(g.Pick(kParks)).c_str(), q(g.Pick(kSign)).c_str(),
                q(g.Pick(kBuildTypes)).c_str(), q(g.Pick(kBuildStructs)).c_str(), q(g.Pick(kHouseTypes)).c_str(),
                q(g.Pick(kHouseStructs)).c_str(), sales, sales ? (int)(sales * 10000 / area) : 0, sales * 95 / 100, rent,
                rent * 9 / 10, rent ? rent / (area * 30.0) : 0.0, q(Person(g).c_str()).c_str(), Phone(g),
                q(Person(g).c_str()).c_str(), Phone(g), q("中国").c_str(), q(g.Pick(kTitleSources)).c_str(),
                g.Range(0, 9999999), q(g.Pick(kRemarks)).c_str())))
            return false;
        // About one follow-up per two houses, the latest at the house's time.
        if (followHours >= 0 && (i % 2 == 0))
            if (!follows.Add(Fmt("(%d, 0, %d, %d, %s, %s, %s)", key, who.first, who.second, q(g.Pick(kWays)).c_str(),
                                 q(g.Pick(kNotes)).c_str(), followAt.c_str())))
                return false;
    }

    // One client per four houses, with a follow-up on half of them.
    return houses.Flush() && follows.Flush() && AddClients(conn, g, staff, Phone, nHouses / 4, err);
}

bool DbTool_BenchClients(MYSQL* conn, int nClients, std::string* err)
{
    Gen g;
    std::vector<std::pair<int, int>> staff;
    for (auto& r : Select(conn, "select iOrdinal, iBr from t_employee where bRecyle = 0"))
        staff.push_back({atoi(r[0].c_str()), atoi(r[1].c_str())});
    if (staff.empty())
        staff.push_back({1, 1});
    size_t nPhones = (size_t)nClients * 2;
    Phones Phone(g, nPhones < 100 ? 100 : (nPhones > 16384 ? 16384 : nPhones));
    return AddClients(conn, g, staff, Phone, nClients, err);
}
