// Matching houses and clients: the one statement of a match and its rows.
// The rules are written once over the two sides' values: the listed
// table's columns on one side, the given record's values on the other.  So
// both directions apply the same rules.  What the record's values already
// decide is decided here, so that the server is left with plain conditions
// on the listed table's columns that its indexes serve.
#include "data/listing_rows.h"
#include "data/match.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A value: a column of the listed table (an SQL expression), or a known
// number or text of the record (sql is then its escaped literal).
struct V {
    std::string sql;
    bool known;
    long long n;
    std::string text;
};

V Col(const char* name)
{
    return {name, false, 0, ""};
}

V TextCol(const char* name)
{
    return {std::string("coalesce(") + name + ",'')", false, 0, ""};
}

V Num(long long n)
{
    return {std::to_string(n), true, n, ""};
}

template <size_t N> V Text(const char (&f)[N])
{
    std::string t = FieldText(f);
    return {SqlQuote(t.c_str()), true, 0, t};
}

// A condition: known true or false, or an SQL expression.
struct C {
    int k;    // 1 true, 0 false, -1 the expression
    std::string sql;
};
const C kTrue = {1, "1"}, kFalse = {0, "0"};

C Expr(const std::string& sql)
{
    return {-1, "(" + sql + ")"};
}

C Known(bool b)
{
    return b ? kTrue : kFalse;
}

C And(const std::vector<C>& cs)
{
    std::string s;
    for (const C& c : cs) {
        if (c.k == 0)
            return kFalse;
        if (c.k < 0)
            s += (s.empty() ? "" : " and ") + c.sql;
    }
    return s.empty() ? kTrue : Expr(s);
}

C Or(const C& a, const C& b)
{
    if (a.k == 1 || b.k == 1)
        return kTrue;
    if (a.k == 0)
        return b;
    if (b.k == 0)
        return a;
    return Expr(a.sql + " or " + b.sql);
}

C Not(const C& a)
{
    return a.k >= 0 ? Known(a.k == 0) : Expr("not " + a.sql);
}

// One bound of a range: a bound of 0 (or less) is none.
C Lower(const V& v, const V& lo)
{
    if (lo.known)
        return lo.n > 0 ? (v.known ? Known(v.n >= lo.n) : Expr(v.sql + " >= " + lo.sql)) : kTrue;
    // Against a known positive value a bound of 0 or less holds anyway: the
    // plain comparison is a range the server can seek.
    if (v.known && v.n > 0)
        return Expr(lo.sql + " <= " + v.sql);
    return Expr(lo.sql + " <= 0 or " + lo.sql + " <= " + v.sql);
}

C Upper(const V& v, const V& hi)
{
    if (hi.known)
        return hi.n > 0 ? (v.known ? Known(v.n <= hi.n) : Expr(v.sql + " <= " + hi.sql)) : kTrue;
    return Expr(hi.sql + " <= 0 or " + hi.sql + " >= " + v.sql);
}

C InRange(const V& v, const V& lo, const V& hi)
{
    return And({Lower(v, lo), Upper(v, hi)});
}

C Positive(const V& v)
{
    return v.known ? Known(v.n > 0) : Expr(v.sql + " > 0");
}

C HasBudget(const V& lo, const V& hi)
{
    return Or(Positive(lo), Positive(hi));
}

// A side with a budget needs a price within it.
C Budget(const V& p, const V& lo, const V& hi)
{
    return Or(Not(HasBudget(lo, hi)), And({Positive(p), InRange(p, lo, hi)}));
}

C OneOf(const V& v, const std::vector<const char*>& texts)
{
    if (v.known) {
        for (const char* t : texts)
            if (v.text == t)
                return kTrue;
        return kFalse;
    }
    std::string s = v.sql + " in (";
    for (size_t i = 0; i < texts.size(); i++)
        s += std::string(i ? "," : "") + "'" + texts[i] + "'";
    return Expr(s + ")");
}

// A client's demand and a house's offer.
struct Demand {
    V trade, minBuy, maxBuy, minRent, maxRent, minArea, maxArea, minRoom, maxRoom;
    V type, floor, toward, decoration, layout;
};
struct Offer {
    V trade, sales, rent, area, bed, floorNo, floorT;
    V type, toward, decoration, layout;
};

// One side of the trade: the client's trades and the house's trades that
// meet on it, the price within its budget, and for "租购" a budget of this
// side, or none on the other.
C Side(const Demand& d, const Offer& o, const std::vector<const char*>& wants, const std::vector<const char*>& offers,
       const V& price, const V& lo, const V& hi, const V& otherLo, const V& otherHi)
{
    C both = Or(Not(OneOf(d.trade, {"租购"})), Or(HasBudget(lo, hi), Not(HasBudget(otherLo, otherHi))));
    return And({OneOf(d.trade, wants), OneOf(o.trade, offers), Budget(price, lo, hi), both});
}

C BuySide(const Demand& d, const Offer& o)
{
    return Side(d, o, {"求购", "租购"}, {"出售", "租售"}, o.sales, d.minBuy, d.maxBuy, d.minRent, d.maxRent);
}

C RentSide(const Demand& d, const Offer& o)
{
    return Side(d, o, {"求租", "租购"}, {"出租", "租售"}, o.rent, d.minRent, d.maxRent, d.minBuy, d.maxBuy);
}

C Fits(const Demand& d, const Offer& o)
{
    return And({Or(BuySide(d, o), RentSide(d, o)), InRange(o.area, d.minArea, d.maxArea),
                InRange(o.bed, d.minRoom, d.maxRoom)});
}

// A wish names nothing when empty or "不限".
bool NoWish(const V& v)
{
    return v.known && (v.text.empty() || v.text == "不限");
}

std::string Wish(const V& want, const V& have)
{
    if (NoWish(want) || NoWish(have))
        return "0";
    if (want.known)
        return "(" + have.sql + " = " + want.sql + ")";
    return "(" + want.sql + " not in ('', '不限') and " + want.sql + " = " + have.sql + ")";
}

// The floor wishes, each a condition on the floor f of t floors.
struct FloorRule {
    const char* wish;
    std::string (*cond)(const std::string& f, const std::string& t);
};
const FloorRule kFloors[] = {
    {"一楼", [](const std::string& f, const std::string&) { return f + " = 1"; }},
    {"顶楼", [](const std::string& f, const std::string& t) { return t + " >= 2 and " + f + " = " + t; }},
    {"低层", [](const std::string& f, const std::string& t) { return t + " >= 3 and " + f + " >= 1 and " + f + " * 3 <= " + t; }},
    {"中层", [](const std::string& f, const std::string& t) { return t + " >= 3 and " + f + " * 3 > " + t + " and " + f + " * 3 <= " + t + " * 2"; }},
    {"高层", [](const std::string& f, const std::string& t) { return t + " >= 3 and " + f + " * 3 > " + t + " * 2 and " + f + " <= " + t; }},
};

std::string FloorWish(const V& want, const V& f, const V& t)
{
    if (want.known) {
        for (const FloorRule& r : kFloors)
            if (want.text == r.wish)
                return "coalesce(" + r.cond(f.sql, t.sql) + ", 0)";
        return "0";
    }
    std::string s = "coalesce(case " + want.sql;
    for (const FloorRule& r : kFloors)
        s += std::string(" when '") + r.wish + "' then " + r.cond(f.sql, t.sql);
    return s + " else 0 end, 0)";
}

std::string Fit(const Demand& d, const Offer& o)
{
    return Wish(d.type, o.type) + " + " + Wish(d.toward, o.toward) + " + " + Wish(d.decoration, o.decoration) + " + " +
           Wish(d.layout, o.layout) + " + " + FloorWish(d.floor, o.floorNo, o.floorT);
}

// The price's distance from the middle of the budget (or its one bound), in
// thousandths of it.
std::string Gap(const V& p, const V& lo, const V& hi)
{
    std::string both = "abs(" + p.sql + " * 2 - " + lo.sql + " - " + hi.sql + ") * 1000 div (" + lo.sql + " + " + hi.sql + ")";
    std::string upper = "abs(" + p.sql + " - " + hi.sql + ") * 1000 div " + hi.sql;
    std::string lower = "abs(" + p.sql + " - " + lo.sql + ") * 1000 div " + lo.sql;
    if (lo.known && hi.known)
        return lo.n > 0 && hi.n > 0 ? both : hi.n > 0 ? upper : lo.n > 0 ? lower : "0";
    return "case when " + lo.sql + " > 0 and " + hi.sql + " > 0 then " + both + " when " + hi.sql + " > 0 then " + upper +
           " when " + lo.sql + " > 0 then " + lower + " else 0 end";
}

std::string GapOf(const Demand& d, const Offer& o)
{
    C buy = BuySide(d, o), rent = RentSide(d, o);
    std::string gb = Gap(o.sales, d.minBuy, d.maxBuy), gr = Gap(o.rent, d.minRent, d.maxRent);
    if (rent.k == 0)
        return gb;
    if (buy.k == 0)
        return gr;
    return "least(if(" + buy.sql + ", " + gb + ", 1000000000), if(" + rent.sql + ", " + gr + ", 1000000000))";
}

// The client's urban wish names no place when empty or "不限".
bool NamesPlace(const std::string& urban)
{
    return !urban.empty() && urban != "不限";
}

const char kEstateUrban[] = "select e.iOrdinal from t_estate e join t_urban u on u.iOrdinal = e.iUrban";

// The rows are found by key first, in a subquery whose conditions are all
// on columns of the table's match index (which then answers it alone); the
// score and the columns are read for the rows found only.
// The clients' index is named: the server would otherwise read every live
// client's row (it weighs the index entries it can skip too lightly).
void Finish(ZDSql& sql, const std::string& fit, const std::string& gap, const char* table, const char* hint,
            const std::string& where, const char* pszScope)
{
    SqlAddRaw(sql, ", (%s) as iMatchFit, (%s) as iMatchGap from (select iOrdinal as iMatchKey from %s%s"
                   " where bRecyle = 0 and %s", fit.c_str(), gap.c_str(), table, hint, where.c_str());
    if (pszScope && pszScope[0])
        SqlAddRaw(sql, " and (%s)", pszScope);
    SqlAddRaw(sql, ") m straight_join %s on %s.iOrdinal = m.iMatchKey", table, table);
}

int Limit(int nMax)
{
    return nMax > 0 ? nMax : (int)FD_MATCH_MAX;
}

// The leading whole number of a text as the server's CONVERT(.., SIGNED)
// reads it: blanks, a sign, digits; 0 without.
template <size_t N> long long Leading(const char (&f)[N])
{
    std::string s = FieldText(f);
    return strtoll(s.c_str(), nullptr, 10);
}

}  // namespace

std::string FD_Match_HouSql(const tagCLIENT* c, const char* pszScope, int nMax)
{
    Demand d = {Text(c->szTrade), Num(c->iMinBuy), Num(c->iMaxBuy), Num(c->iMinRent), Num(c->iMaxRent),
                Num(c->iMinArea), Num(c->iMaxArea), Num(c->iMinRoom), Num(c->iMaxRoom),
                Text(c->szHouseType), Text(c->szFloor), Text(c->szToward), Text(c->szDecoration), Text(c->szLayout)};
    Offer o = {Col("szTrade"), Col("iSales"), Col("iRent"), Col("dbBuildArea"), Col("iBed"),
               Col("convert(szFloor, SIGNED)"), Col("iFloorT"),
               TextCol("szHouseType"), TextCol("szToward"), TextCol("szDecoration"), TextCol("szLayout")};
    // A client deleted meanwhile (or never stored) wants nothing.
    std::string where = "exists (select 1 from t_client where iOrdinal = " + std::to_string(c->iOrdinal) +
                        " and bRecyle = 0) and " + Fits(d, o).sql;
    std::string urban = FieldText(c->szUrban);
    if (NamesPlace(urban)) {
        std::string q = SqlQuote(urban.c_str());
        where += " and (szDist = " + q + " or iEst in (" + kEstateUrban + " where u.szUrban = " + q + "))";
    }
    ZDSql sql;
    AddHouseColumns(sql);
    Finish(sql, Fit(d, o), GapOf(d, o), "t_house", "", where, pszScope);
    SqlAdd(sql, " order by iMatchFit desc, iMatchGap, dDelegate desc, iOrdinal desc limit %d", Limit(nMax));
    return sql.text;
}

std::string FD_Match_CliSql(const tagHOUSE* h, const char* pszScope, int nMax)
{
    long long bed = h->iBed > 0 ? h->iBed : Leading(h->szRoomType);
    char area[32];
    snprintf(area, sizeof area, "%.2f", h->dbBuildArea);
    Demand d = {Col("szTrade"), Col("iMinBuy"), Col("iMaxBuy"), Col("iMinRent"), Col("iMaxRent"), Col("iMinArea"),
                Col("iMaxArea"), Col("iMinRoom"), Col("iMaxRoom"), TextCol("szHouseType"), TextCol("szFloor"),
                TextCol("szToward"), TextCol("szDecoration"), TextCol("szLayout")};
    // The area is compared as the server compares the stored decimal.
    V a = {area, false, 0, ""};
    Offer o = {Text(h->szTrade), Num(h->iSales), Num(h->iRent), a, Num(bed), Num(Leading(h->szFloor)),
               Num(h->iFloorT), Text(h->szHouseType), Text(h->szToward), Text(h->szDecoration), Text(h->szLayout)};
    // A house deleted meanwhile (or never stored) offers nothing.
    std::string where = "exists (select 1 from t_house where iOrdinal = " + std::to_string(h->iOrdinal) +
                        " and bRecyle = 0) and " + Fits(d, o).sql;
    // The house's places: its district and the urban area of its estate.
    where += " and (coalesce(szUrban,'') in ('', '不限') or szUrban = " + Text(h->szDist).sql +
             " or szUrban = (select u.szUrban from t_estate e join t_urban u on u.iOrdinal = e.iUrban where e.iOrdinal = " +
             std::to_string(h->iEst) + "))";
    ZDSql sql;
    AddClientColumns(sql);
    Finish(sql, Fit(d, o), GapOf(d, o), "t_client", " force index (ix_client_match)", where, pszScope);
    SqlAdd(sql, " order by iMatchFit desc, iMatchGap, dtFollow desc, iOrdinal desc limit %d", Limit(nMax));
    return sql.text;
}

// Loads the rows of a match statement: each the record (read(row, record)
// returns the index of the column after it), then its fit and gap.
template <class M, class R> static M* LoadMatches(const std::string& text, int* piCount, R read)
{
    ZDSql sql;
    sql.text = text;
    return LoadList<M>(sql, nullptr, piCount, [read](M& m, const ZDRow& row) {
        unsigned int score = read(row, m);
        m.iFit = GetInt(row, score);
        m.iGap = GetInt(row, score + 1);
    });
}

tagHOUSE_MATCH* FD_Match_Hou(const tagCLIENT* c, const char* pszScope, int nMax, int* piCount)
{
    if (piCount)
        *piCount = 0;
    if (!c)
        return nullptr;
    return LoadMatches<tagHOUSE_MATCH>(FD_Match_HouSql(c, pszScope, nMax), piCount,
                                       [](const ZDRow& row, tagHOUSE_MATCH& m) { return ReadHouse(row, m.h, false); });
}

tagCLIENT_MATCH* FD_Match_Cli(const tagHOUSE* h, const char* pszScope, int nMax, int* piCount)
{
    if (piCount)
        *piCount = 0;
    if (!h)
        return nullptr;
    return LoadMatches<tagCLIENT_MATCH>(FD_Match_CliSql(h, pszScope, nMax), piCount,
                                        [](const ZDRow& row, tagCLIENT_MATCH& m) { return ReadClient(row, m.c); });
}

void Mem_Free_Match(void* pMatch)
{
    FreeBlock(pMatch);
}
