// Generated dictionaries for benchmarks: cities, urban areas and districts,
// nEstates estates spread over the urban areas, each with one to four
// buildings, and nParamValues parameter values spread over the parameter
// names of the (seeded) database.  Deterministic.
#include "db/dbtool.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int kCities = 3;
const int kUrbanPerCity = 10;
const int kDistrictsPerUrban = 4;
const size_t kRowsPerInsert = 1000;

// Inserts rows ("(...)" texts) in multi-row statements.
bool InsertRows(MYSQL* conn, const std::string& head, const std::vector<std::string>& rows, std::string* err)
{
    for (size_t i = 0; i < rows.size(); i += kRowsPerInsert) {
        std::string sql = head;
        for (size_t k = i; k < rows.size() && k < i + kRowsPerInsert; ++k) {
            if (k > i)
                sql += ',';
            sql += rows[k];
        }
        if (!DbTool_Exec(conn, sql, err))
            return false;
    }
    return true;
}

bool Ids(MYSQL* conn, const std::string& sql, std::vector<int>* out, std::string* err)
{
    if (mysql_real_query(conn, sql.data(), (unsigned long)sql.size()) != 0) {
        if (err)
            *err = mysql_error(conn);
        return false;
    }
    MYSQL_RES* res = mysql_store_result(conn);
    if (!res) {
        if (err)
            *err = mysql_error(conn);
        return false;
    }
    while (MYSQL_ROW row = mysql_fetch_row(res))
        out->push_back(row[0] ? atoi(row[0]) : 0);
    mysql_free_result(res);
    return true;
}

}  // namespace

bool DbTool_BenchDictionaries(MYSQL* conn, int nEstates, int nParamValues, std::string* err)
{
    auto q = [&](const std::string& v) { return DbTool_Quote(conn, v); };
    char buf[256];

    // Areas.
    std::vector<int> urbans;
    for (int c = 0; c < kCities; ++c) {
        snprintf(buf, sizeof buf, "测试城市%d", c + 1);
        if (!DbTool_Exec(conn, "insert into t_urban (iParentIndex, szUrban, iPriority) values (0, " + q(buf) + ", " +
                                   std::to_string(c + 1) + ")", err))
            return false;
        int city = (int)mysql_insert_id(conn);
        for (int u = 0; u < kUrbanPerCity; ++u) {
            snprintf(buf, sizeof buf, "城区%d-%d", c + 1, u + 1);
            if (!DbTool_Exec(conn, "insert into t_urban (iParentIndex, szUrban, iPriority) values (" + std::to_string(city) +
                                       ", " + q(buf) + ", " + std::to_string(u + 1) + ")", err))
                return false;
            urbans.push_back((int)mysql_insert_id(conn));
        }
    }
    std::vector<std::string> rows;
    for (size_t u = 0; u < urbans.size(); ++u)
        for (int d = 0; d < kDistrictsPerUrban; ++d) {
            snprintf(buf, sizeof buf, "片区%d-%d", (int)u + 1, d + 1);
            rows.push_back("(" + std::to_string(urbans[u]) + ", " + q(buf) + ", " + std::to_string(d + 1) + ")");
        }
    if (!InsertRows(conn, "insert into t_district (iParentIndex, szDistrict, iPriority) values ", rows, err))
        return false;

    // Estates, then their buildings.
    static const char* const kRing[] = {"一环内", "一至二环", "二至三环", "三至四环", "四环外"};
    static const char* const kType[] = {"住宅", "公寓", "别墅", "商铺"};
    static const char* const kStruct[] = {"平层", "复式", "跃层"};
    rows.clear();
    for (int e = 0; e < nEstates; ++e) {
        int urban = urbans[(size_t)e % urbans.size()];
        snprintf(buf, sizeof buf, "测试花园%05d", e + 1);
        std::string name = buf;
        snprintf(buf, sizeof buf, "CSHY%05d", e + 1);
        std::string spell = buf;
        snprintf(buf, sizeof buf, "测试路%d号", e + 1);
        std::string address = buf;
        snprintf(buf, sizeof buf, "片区%d-%d", (int)((size_t)e % urbans.size()) + 1, e % kDistrictsPerUrban + 1);
        rows.push_back("(" + std::to_string(urban) + ", " + std::to_string(e + 1) + ", " + q(name) + ", " + q(spell) +
                       ", " + q(address) + ", " + q(buf) + ", " + q(kRing[e % 5]) + ", " + q(kType[e % 4]) + ", " +
                       q(kStruct[e % 3]) + ", " + std::to_string(1 + e % 4) + ")");
    }
    if (!InsertRows(conn, "insert into t_estate (iUrban, iPriority, szEstate, szSpell, szAddress, szDist, szRingArea,"
                          " szHouseType, szHouseStruct, iBuild) values ", rows, err))
        return false;
    std::vector<int> estates;
    if (!Ids(conn, "select iOrdinal from t_estate order by iOrdinal", &estates, err))
        return false;
    rows.clear();
    for (size_t e = 0; e < estates.size(); ++e)
        for (int b = 0; b < 1 + (int)(e % 4); ++b)
            rows.push_back("(" + std::to_string(estates[e]) + ", " + std::to_string(b + 1) + ", " + std::to_string(1 + b % 3) +
                           ", " + std::to_string(2 + b % 4) + ", " + std::to_string(6 + (int)(e % 28)) + ", " +
                           q(e % 2 ? "框架" : "砖混") + ", " + q(e % 3 ? "高层" : "多层") + ")");
    if (!InsertRows(conn, "insert into t_buildno (iEst, iBuildNO, iLift, iHouse, iFloort, szBuildStruct, szBuildType) values ",
                    rows, err))
        return false;

    // Parameter values under the existing names.
    std::vector<int> names;
    if (!Ids(conn, "select iOrdinal from t_param where szTags is null and szValue is null order by iOrdinal", &names, err))
        return false;
    if (names.empty() && nParamValues > 0) {
        if (err)
            *err = "no parameter names: seed the database first";
        return false;
    }
    rows.clear();
    for (int v = 0; v < nParamValues; ++v) {
        snprintf(buf, sizeof buf, "参数值%05d", v + 1);
        rows.push_back("(" + std::to_string(names[(size_t)v % names.size()]) + ", " + q(buf) + ", " +
                       std::to_string(100 + v) + ")");
    }
    return InsertRows(conn, "insert into t_param (iParentIndex, szValue, iPriority) values ", rows, err);
}
