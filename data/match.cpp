// Matching houses and clients: the one statement of a match and its rows.
// The rules are written once over the two sides' values, each an SQL
// expression: the listed table's columns on one side and the given record's
// values, escaped, on the other.  So both directions apply the same rules.
#include "data/listing_rows.h"
#include "data/match.h"

#include <cstdio>
#include <cstdlib>

namespace {

// A client's demand: column names, or the values of one client.
struct Demand {
    std::string trade, minBuy, maxBuy, minRent, maxRent, minArea, maxArea, minRoom, maxRoom;
    std::string type, floor, toward, decoration, layout;
};
// A house's offer, likewise.
struct Offer {
    std::string trade, sales, rent, area, bed, floorNo, floorT;
    std::string type, toward, decoration, layout;
};

std::string Int(long long v)
{
    return std::to_string(v);
}

template <size_t N> std::string Text(const char (&f)[N])
{
    return SqlQuote(FieldText(f).c_str());
}

std::string Column(const char* name)
{
    return std::string("coalesce(") + name + ",'')";
}

// The leading whole number of a text as the server's CONVERT(.., SIGNED)
// reads it: blanks, a sign, digits; 0 without.
template <size_t N> long long Leading(const char (&f)[N])
{
    std::string s = FieldText(f);
    return strtoll(s.c_str(), nullptr, 10);
}

std::string InRange(const std::string& v, const std::string& lo, const std::string& hi)
{
    return "(" + lo + " <= 0 or " + v + " >= " + lo + ") and (" + hi + " <= 0 or " + v + " <= " + hi + ")";
}

std::string HasBudget(const std::string& lo, const std::string& hi)
{
    return "(" + lo + " > 0 or " + hi + " > 0)";
}

std::string Budget(const std::string& p, const std::string& lo, const std::string& hi)
{
    return "(not " + HasBudget(lo, hi) + " or (" + p + " > 0 and " + InRange(p, lo, hi) + "))";
}

// One side of the trade: the client's trades and the house's trades that
// meet on it, the price and its budget, and the other side's budget.
std::string Side(const Demand& d, const Offer& o, const char* wants, const char* offers, const std::string& price,
                 const std::string& lo, const std::string& hi, const std::string& otherLo, const std::string& otherHi)
{
    return "(" + d.trade + " in (" + wants + ") and " + o.trade + " in (" + offers + ") and " + Budget(price, lo, hi) +
           " and (" + d.trade + " <> '租购' or " + HasBudget(lo, hi) + " or not " + HasBudget(otherLo, otherHi) + "))";
}

std::string BuySide(const Demand& d, const Offer& o)
{
    return Side(d, o, "'求购','租购'", "'出售','租售'", o.sales, d.minBuy, d.maxBuy, d.minRent, d.maxRent);
}

std::string RentSide(const Demand& d, const Offer& o)
{
    return Side(d, o, "'求租','租购'", "'出租','租售'", o.rent, d.minRent, d.maxRent, d.minBuy, d.maxBuy);
}

std::string Fits(const Demand& d, const Offer& o)
{
    return "(" + BuySide(d, o) + " or " + RentSide(d, o) + ") and " + InRange(o.area, d.minArea, d.maxArea) +
           " and " + InRange(o.bed, d.minRoom, d.maxRoom);
}

std::string Wish(const std::string& want, const std::string& have)
{
    return "(" + want + " not in ('', '不限') and " + want + " = " + have + ")";
}

std::string FloorWish(const std::string& want, const std::string& f, const std::string& t)
{
    return "coalesce(case " + want + " when '一楼' then " + f + " = 1" +
           " when '顶楼' then " + t + " >= 2 and " + f + " = " + t +
           " when '低层' then " + t + " >= 3 and " + f + " >= 1 and " + f + " * 3 <= " + t +
           " when '中层' then " + t + " >= 3 and " + f + " * 3 > " + t + " and " + f + " * 3 <= " + t + " * 2" +
           " when '高层' then " + t + " >= 3 and " + f + " * 3 > " + t + " * 2 and " + f + " <= " + t +
           " else 0 end, 0)";
}

std::string Fit(const Demand& d, const Offer& o)
{
    return Wish(d.type, o.type) + " + " + Wish(d.toward, o.toward) + " + " + Wish(d.decoration, o.decoration) + " + " +
           Wish(d.layout, o.layout) + " + " + FloorWish(d.floor, o.floorNo, o.floorT);
}

std::string Gap(const std::string& p, const std::string& lo, const std::string& hi)
{
    return "case when " + lo + " > 0 and " + hi + " > 0 then abs(" + p + " * 2 - " + lo + " - " + hi + ") * 1000 div (" +
           lo + " + " + hi + ") when " + hi + " > 0 then abs(" + p + " - " + hi + ") * 1000 div " + hi + " when " + lo +
           " > 0 then abs(" + p + " - " + lo + ") * 1000 div " + lo + " else 0 end";
}

std::string GapOf(const Demand& d, const Offer& o)
{
    return "least(if(" + BuySide(d, o) + ", " + Gap(o.sales, d.minBuy, d.maxBuy) + ", 1000000000), if(" +
           RentSide(d, o) + ", " + Gap(o.rent, d.minRent, d.maxRent) + ", 1000000000))";
}

// The client's urban wish names nothing when empty or "不限".
bool NamesPlace(const std::string& urban)
{
    return !urban.empty() && urban != "不限";
}

const char kEstateUrban[] = "select e.iOrdinal from t_estate e join t_urban u on u.iOrdinal = e.iUrban";

void Finish(ZDSql& sql, const std::string& fit, const std::string& gap, const char* table, const std::string& where,
            const char* pszScope)
{
    SqlAddRaw(sql, ", (%s) as iMatchFit, (%s) as iMatchGap from %s where bRecyle = 0 and %s", fit.c_str(), gap.c_str(),
              table, where.c_str());
    if (pszScope && pszScope[0])
        SqlAddRaw(sql, " and (%s)", pszScope);
}

int Limit(int nMax)
{
    return nMax > 0 ? nMax : (int)FD_MATCH_MAX;
}

}  // namespace

std::string FD_Match_HouSql(const tagCLIENT* c, const char* pszScope, int nMax)
{
    Demand d = {Text(c->szTrade), Int(c->iMinBuy), Int(c->iMaxBuy), Int(c->iMinRent), Int(c->iMaxRent),
                Int(c->iMinArea), Int(c->iMaxArea), Int(c->iMinRoom), Int(c->iMaxRoom),
                Text(c->szHouseType), Text(c->szFloor), Text(c->szToward), Text(c->szDecoration), Text(c->szLayout)};
    Offer o = {"szTrade", "iSales", "iRent", "dbBuildArea", "iBed", "convert(szFloor, SIGNED)", "iFloorT",
               Column("szHouseType"), Column("szToward"), Column("szDecoration"), Column("szLayout")};
    // A client deleted meanwhile (or never stored) wants nothing.
    std::string where = "exists (select 1 from t_client where iOrdinal = " + Int(c->iOrdinal) + " and bRecyle = 0) and " +
                        Fits(d, o);
    std::string urban = FieldText(c->szUrban);
    if (NamesPlace(urban)) {
        std::string q = SqlQuote(urban.c_str());
        where += " and (szDist = " + q + " or iEst in (" + kEstateUrban + " where u.szUrban = " + q + "))";
    }
    ZDSql sql;
    AddHouseColumns(sql);
    Finish(sql, Fit(d, o), GapOf(d, o), "t_house", where, pszScope);
    SqlAdd(sql, " order by iMatchFit desc, iMatchGap, dDelegate desc, iOrdinal desc limit %d", Limit(nMax));
    return sql.text;
}

std::string FD_Match_CliSql(const tagHOUSE* h, const char* pszScope, int nMax)
{
    long long bed = h->iBed > 0 ? h->iBed : Leading(h->szRoomType);
    char area[32];
    snprintf(area, sizeof area, "%.2f", h->dbBuildArea);
    Demand d = {"szTrade", "iMinBuy", "iMaxBuy", "iMinRent", "iMaxRent", "iMinArea", "iMaxArea", "iMinRoom",
                "iMaxRoom", Column("szHouseType"), Column("szFloor"), Column("szToward"), Column("szDecoration"),
                Column("szLayout")};
    Offer o = {Text(h->szTrade), Int(h->iSales), Int(h->iRent), area, Int(bed), Int(Leading(h->szFloor)),
               Int(h->iFloorT), Text(h->szHouseType), Text(h->szToward), Text(h->szDecoration), Text(h->szLayout)};
    // A house deleted meanwhile (or never stored) offers nothing.
    std::string where = "exists (select 1 from t_house where iOrdinal = " + Int(h->iOrdinal) + " and bRecyle = 0) and " +
                        Fits(d, o);
    // The house's places: its district and the urban area of its estate.
    where += " and (" + Column("szUrban") + " in ('', '不限') or szUrban = " + Text(h->szDist) +
             " or szUrban = (select u.szUrban from t_estate e join t_urban u on u.iOrdinal = e.iUrban where e.iOrdinal = " +
             Int(h->iEst) + "))";
    ZDSql sql;
    AddClientColumns(sql);
    Finish(sql, Fit(d, o), GapOf(d, o), "t_client", where, pszScope);
    SqlAdd(sql, " order by iMatchFit desc, iMatchGap, dtFollow desc, iOrdinal desc limit %d", Limit(nMax));
    return sql.text;
}

tagHOUSE_MATCH* FD_Match_Hou(const tagCLIENT* c, const char* pszScope, int nMax, int* piCount)
{
    if (piCount)
        *piCount = 0;
    if (!c)
        return nullptr;
    ZDSql sql;
    sql.text = FD_Match_HouSql(c, pszScope, nMax);
    return LoadList<tagHOUSE_MATCH>(sql, nullptr, piCount, [](tagHOUSE_MATCH& m, const ZDRow& row) {
        ReadHouse(row, m.h, false);
        m.iFit = GetInt(row, HOUSE_COLUMNS);
        m.iGap = GetInt(row, HOUSE_COLUMNS + 1);
    });
}

tagCLIENT_MATCH* FD_Match_Cli(const tagHOUSE* h, const char* pszScope, int nMax, int* piCount)
{
    if (piCount)
        *piCount = 0;
    if (!h)
        return nullptr;
    ZDSql sql;
    sql.text = FD_Match_CliSql(h, pszScope, nMax);
    return LoadList<tagCLIENT_MATCH>(sql, nullptr, piCount, [](tagCLIENT_MATCH& m, const ZDRow& row) {
        ReadClient(row, m.c);
        m.iFit = GetInt(row, CLIENT_COLUMNS);
        m.iGap = GetInt(row, CLIENT_COLUMNS + 1);
    });
}

void Mem_Free_Match(void* pMatch)
{
    FreeBlock(pMatch);
}
