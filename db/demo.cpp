// The demo data set: two cities with urban areas and districts, estates with
// their buildings, a second branch with staff, houses, clients, follow-ups
// and today's reminders.  Deterministic: the same rows on every machine.
#include "db/dbtool.h"
#include "cipher/cipher.h"
#include "cipher/password.h"
#include "db/demo_words.h"
#include "app/admin/pinyin.h"

#include <cstdarg>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Demo {
    MYSQL* conn;
    std::string* err;
    unsigned int seed = 20261208;

    unsigned int Next()
    {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    }
    int Range(int lo, int hi) { return lo + (int)(Next() % (unsigned)(hi - lo + 1)); }
    template <size_t N> const char* Pick(const char* const (&a)[N]) { return a[Next() % N]; }

    std::string Q(const std::string& v) { return DbTool_Quote(conn, v); }

    bool Exec(const std::string& sql) { return DbTool_Exec(conn, sql, err); }

    int Insert(const std::string& sql)
    {
        if (!Exec(sql))
            return 0;
        return (int)mysql_insert_id(conn);
    }
};

std::string Cipher(int (*f)(const char*, char*, int), const std::string& plain)
{
    char buf[600] = {0};
    strncpy(buf, plain.c_str(), 120);
    f(".", buf, CIPHER_ENCODE);
    return buf;
}

std::string Fmt(const char* fmt, ...)
{
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

struct DemoUrban {
    const char* name;
    const char* districts[3];
    const char* estates[3];
};

struct DemoCity {
    const char* name;
    DemoUrban urbans[3];
};

const DemoCity kCities[] = {
    {"杭州", {{"西湖区", {"文三路", "古荡", "翠苑"}, {"嘉绿苑", "翠苑一区", "文鼎苑"}},
              {"拱墅区", {"湖墅", "大关", "和睦"}, {"大关西苑", "和睦新村", "湖墅嘉园"}},
              {"滨江区", {"江南", "浦沿", "长河"}, {"江南春城", "东方郡", "钱江湾花园"}}}},
    {"上海", {{"浦东新区", {"陆家嘴", "张江", "花木"}, {"仁恒滨江园", "张江汤臣", "世纪花园"}},
              {"徐汇区", {"田林", "徐家汇", "龙华"}, {"田林十二村", "汇翠花园", "龙华苑"}},
              {"静安区", {"静安寺", "曹家渡", "南京西路"}, {"静安豪景苑", "曹家渡花苑", "嘉里华庭"}}}},
};

using namespace demo_words;
const char* const kHouseRemarks[] = {"业主诚心出售", "近地铁", "学区房", "满五唯一", "拎包入住", ""};
const char* const kHouseNotes[] = {"业主同意降价两万", "已带客户看房", "业主暂不考虑出租", "电话回访,房源仍有效", "约周末看房"};
const char* const kClientRemarks[] = {"急需", "首套房", "改善型", "要求近学校", ""};
const char* const kClientNotes[] = {"客户看中嘉绿苑三室", "预算可再提高", "暂缓,下月再联系", "已推荐三套房源"};
const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴", "徐", "孙"};
const char* const kGiven[] = {"伟", "芳", "娜", "敏", "静", "磊", "洋", "勇", "艳", "杰", "军", "强"};

std::string Person(Demo& d) { return std::string(d.Pick(kSurnames)) + d.Pick(kGiven) + (d.Range(0, 1) ? d.Pick(kGiven) : ""); }
std::string Mobile(Demo& d) { return Fmt("13%d%08d", d.Range(0, 9), d.Range(0, 99999999)); }

} // namespace

bool DbTool_Demo(MYSQL* conn, std::string* err)
{
    Demo d{conn, err};

    // A second branch with a manager and two salesmen; one more salesman at
    // the head office.  Their password is "123456".
    int br2 = d.Insert("insert into t_branch (szNum, szBr, szBLN, szHou_PF, szCli_PF, szCTCT_PF, szCMSS_PF, szTel, szEmail, szAdd) values "
                       "('002', " + d.Q("文三路店") + ", 'HZ330106', 'WS', 'WK', 'WH', 'WY', '0571-88001122', 'wensan@kelmora.cn', " +
                       d.Q("杭州市西湖区文三路100号") + ")");
    if (!br2 || !d.Exec("update t_branch set szTel = '0571-88000001', szAdd = " + d.Q("杭州市西湖区天目山路1号") + " where iOrdinal = 1"))
        return false;
    // A sample agency to try the program with, its passwords published: its
    // administrator is not asked to replace the first one.
    if (!d.Exec("update t_employee set bPwdChange = 0 where iOrdinal = 1"))
        return false;
    std::string pwd = Pwd_Hash("123456");
    if (pwd.empty()) {
        *err = "the password hash could not be made (bcrypt.dll)";
        return false;
    }
    struct Staff { const char* num; const char* name; int br; int pst; int sales; const char* sex; };
    const Staff staff[] = {
        {"0002", "张伟", 1, 2, 0, "男"}, {"0003", "李娜", 1, 3, 1, "女"},
        {"0101", "刘洋", 0, 2, 0, "男"}, {"0102", "王强", 0, 3, 1, "男"}, {"0103", "陈静", 0, 3, 1, "女"},
    };
    std::vector<int> emps = {1};
    std::vector<int> empBr = {1};
    for (const Staff& s : staff) {
        int br = s.br ? s.br : br2;
        int key = d.Insert(Fmt("insert into t_employee (szNum, szEmp, szPwd, iBr, iPst, szSex, szStatus, szEdu, bSalesMan, szTel, szEnrollment) values "
                               "('%s', %s, '%s', %d, %d, %s, %s, %s, %d, '%s', '2025-03-01')",
                               s.num, d.Q(s.name).c_str(), pwd.c_str(), br, s.pst, d.Q(s.sex).c_str(), d.Q("在职").c_str(),
                               d.Q("本科").c_str(), s.sales, Mobile(d).c_str()));
        if (!key)
            return false;
        // Managers get the manager preset's value, salesmen the default row's.
        if (!d.Exec(Fmt("insert into t_popedom (iEmp, iPst, szValue, iCliReadRecordMax, iHouReadRecordMax) "
                        "select %d, 0, szValue, iCliReadRecordMax, iHouReadRecordMax from t_popedom where %s",
                        key, s.sales ? "iPst = -1" : "iEmp = -1")))
            return false;
        emps.push_back(key);
        empBr.push_back(br);
    }

    // Cities, urban areas, districts, estates and their buildings.
    struct EstateRef { int key; std::string dist; std::string ring; int floors; };
    std::vector<EstateRef> estates;
    int cityPriority = 1;
    for (const DemoCity& c : kCities) {
        int city = d.Insert("insert into t_urban (iParentIndex, szUrban, iPriority) values (0, " + d.Q(c.name) + ", " + std::to_string(cityPriority++) + ")");
        if (!city)
            return false;
        int up = 1;
        for (const DemoUrban& u : c.urbans) {
            int urban = d.Insert(Fmt("insert into t_urban (iParentIndex, szUrban, iPriority) values (%d, %s, %d)", city, d.Q(u.name).c_str(), up++));
            if (!urban)
                return false;
            for (int k = 0; k < 3; ++k)
                if (!d.Insert(Fmt("insert into t_district (iParentIndex, szDistrict, iPriority) values (%d, %s, %d)", urban, d.Q(u.districts[k]).c_str(), k + 1)))
                    return false;
            for (int k = 0; k < 3; ++k) {
                std::string ring = d.Pick(kRings);
                const char* btype = d.Pick(kBuildTypes);
                int floors = std::string(btype) == "多层" ? 6 : (std::string(btype) == "小高层" ? 11 : 28);
                // The abbreviation the estate dialog gives the name.
                char spell[26];
                Pinyin_Abbrev(u.estates[k], spell, sizeof(spell));
                int est = d.Insert(Fmt(
                    "insert into t_estate (iUrban, iPriority, szEstate, szSpell, szAddress, szDist, szRingArea, szIntersection,"
                    " szHouseType, szHouseStruct, szHouseUsage, szBuildType, szBuildStruct, szBuildYear, iCoversArea, iBuildArea,"
                    " iRoom, iVolume, iVacancy, iAfforest, iBuild, iHouse, iPark, szDevCom, szMgCom, szMgTel, dMgPrice, dParkRentPrice)"
                    " values (%d, %d, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, '%d', %d, %d, 80, 2, 5, 35, %d, %d, %d, %s, %s, '%s', %.2f, %.2f)",
                    urban, k + 1, d.Q(u.estates[k]).c_str(),
                    // The two draws that once made up an abbreviation stay,
                    // so the rest of the data is what it was.
                    (d.Next(), d.Next(), d.Q(spell).c_str()),
                    d.Q(std::string(c.name) + "市" + u.name + u.districts[k] + "路" + std::to_string(d.Range(1, 300)) + "号").c_str(),
                    d.Q(u.districts[k]).c_str(), d.Q(ring).c_str(), d.Q(std::string(u.districts[k]) + "附近").c_str(),
                    d.Q(d.Pick(kHouseTypes)).c_str(), d.Q(d.Pick(kHouseStructs)).c_str(), d.Q("住宅").c_str(), d.Q(btype).c_str(),
                    d.Q(d.Pick(kBuildStructs)).c_str(), d.Range(1995, 2022), d.Range(20000, 90000), d.Range(50000, 250000),
                    d.Range(6, 30), d.Range(400, 2400), d.Range(100, 1200), d.Q(std::string(c.name) + "置业有限公司").c_str(),
                    d.Q("物业服务中心").c_str(), Fmt("0571-8%07d", d.Range(0, 9999999)).c_str(), d.Range(100, 450) / 100.0,
                    (double)d.Range(150, 600)));
                if (!est)
                    return false;
                for (int b = 1; b <= 4; ++b)
                    if (!d.Insert(Fmt("insert into t_buildno (iEst, iBuildNO, iLift, iHouse, iFloort, szBuildStruct, szBuildType) values (%d, %d, %d, %d, %d, %s, %s)",
                                      est, b, floors > 6 ? 2 : 0, floors * 4, floors, d.Q(d.Pick(kBuildStructs)).c_str(), d.Q(btype).c_str())))
                        return false;
                estates.push_back({est, u.districts[k], ring, floors});
            }
        }
    }

    // Houses, with a follow-up or two on most of them.
    const char* const trades[] = {"出售", "出售", "出租", "租售"};
    for (int i = 0; i < 72; ++i) {
        const EstateRef& e = estates[(size_t)i % estates.size()];
        size_t who = (size_t)d.Range(0, (int)emps.size() - 1);
        int bed = d.Range(1, 4), living = d.Range(1, 2), bath = d.Range(1, 2);
        int area = 35 + bed * 22 + d.Range(0, 30);
        std::string trade = trades[i % 4];
        int sales = trade == "出租" ? 0 : area * d.Range(180, 650) / 100;
        int rent = trade == "出售" ? 0 : area * d.Range(35, 90);
        int floor = d.Range(1, e.floors);
        int house = d.Insert(Fmt(
            "insert into t_house (iEst, szBuildNO, szHouseNO, iEmp, iBr, szTrade, dDelegate, dtFollow, szRingArea, szDist, szFloor, iFloorT,"
            " dbBuildArea, szRoomType, iBed, iLiving, iBath, szToward, szDecoration, szLayout, szStatusquo, szLook, szMortgage, szPark, szSign,"
            " szBuildType, szBuildStruct, szHouseType, szHouseStruct, iSales, iSalesAve, iSalesBase, iRent, iRentBase, dbRentAve,"
            " szLinkMan, szLinkTel, szOwnerMan, szOwnerTel, szCitizen, szPPTSource, szHPC, szRemark)"
            " values (%d, '%d', '%d%02d', %d, %d, %s, date_sub(curdate(), interval %d day), %s, %s, %s, '%d', %d,"
            " %.2f, '%d/%d/%d', %d, %d, %d, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %d, %d, %d, %d, %d, %.2f,"
            " %s, '%s', %s, '%s', %s, %s, '%s', %s)",
            e.key, d.Range(1, 4), floor, d.Range(1, 4), emps[who], empBr[who], d.Q(trade).c_str(), d.Range(0, 120),
            i % 5 == 0 ? "NULL" : Fmt("date_sub(now(), interval %d hour)", d.Range(1, 24 * 40)).c_str(),
            d.Q(e.ring).c_str(), d.Q(e.dist).c_str(), floor, e.floors, (double)area + d.Range(0, 99) / 100.0, bed, living, bath,
            bed, living, bath, d.Q(d.Pick(kTowards)).c_str(), d.Q(d.Pick(kDecorations)).c_str(), d.Q(d.Pick(kLayouts)).c_str(),
            d.Q(d.Pick(kStatus)).c_str(), d.Q(d.Pick(kLooks)).c_str(), d.Q(d.Pick(kMortgage)).c_str(), d.Q(d.Pick(kParks)).c_str(),
            d.Q(d.Pick(kSign)).c_str(), d.Q(d.Pick(kBuildTypes)).c_str(), d.Q(d.Pick(kBuildStructs)).c_str(),
            d.Q(d.Pick(kHouseTypes)).c_str(), d.Q(d.Pick(kHouseStructs)).c_str(), sales, sales ? sales * 10000 / area : 0,
            sales * 95 / 100, rent, rent * 9 / 10, rent ? rent / (area * 30.0) : 0.0, d.Q(Person(d)).c_str(),
            Cipher(CipherText, Mobile(d)).c_str(), d.Q(Person(d)).c_str(), Cipher(CipherText, Mobile(d)).c_str(), d.Q("中国").c_str(),
            d.Q(d.Pick(kTitleSources)).c_str(), Fmt("HZ%07d", d.Range(0, 9999999)).c_str(),
            d.Q(d.Pick(kHouseRemarks)).c_str()));
        if (!house || !d.Exec(Fmt("update t_house set szHouseNum = '%08d' where iOrdinal = %d", house, house)))
            return false;
        int follows = i % 5 == 0 ? 0 : d.Range(1, 2);
        for (int f = 0; f < follows; ++f) {
            size_t fw = (size_t)d.Range(0, (int)emps.size() - 1);
            if (!d.Insert(Fmt("insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) "
                              "select %d, 0, %d, %d, %s, %s, dtFollow from t_house where iOrdinal = %d",
                              house, emps[fw], empBr[fw], d.Q(d.Pick(kWays)).c_str(),
                              d.Q(d.Pick(kHouseNotes)).c_str(),
                              house)))
                return false;
        }
    }

    // Clients.
    const char* const wants[] = {"求购", "求购", "求租", "租购"};
    std::vector<std::string> urbanNames;
    for (const DemoCity& c : kCities)
        for (const DemoUrban& u : c.urbans)
            urbanNames.push_back(u.name);
    for (int i = 0; i < 36; ++i) {
        size_t who = (size_t)d.Range(0, (int)emps.size() - 1);
        std::string want = wants[i % 4];
        int minBuy = want == "求租" ? 0 : d.Range(80, 300), minRent = want == "求购" ? 0 : d.Range(15, 60) * 100;
        int minArea = d.Range(40, 110), minRoom = d.Range(1, 3);
        int client = d.Insert(Fmt(
            "insert into t_client (szTrade, iMinBuy, iMaxBuy, iMinRent, iMaxRent, iMinArea, iMaxArea, iMinRoom, iMaxRoom, szUrban,"
            " szHouseType, szFloor, szToward, szDecoration, szLayout, szUsage, szLevel, szSource, szPayment, szAgencyFee,"
            " szCliMan, szCliTel, szLinkMan, szLinkTel, szCitizen, szDelegatePD, dDelegate, iBr, iEmp, szRemark, dtFollow)"
            " values (%s, %d, %d, %d, %d, %d, %d, %d, %d, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, %s, '%s', %s, '%s', %s, %s,"
            " date_sub(curdate(), interval %d day), %d, %d, %s, %s)",
            d.Q(want).c_str(), minBuy, minBuy ? minBuy + d.Range(20, 150) : 0, minRent, minRent ? minRent + d.Range(5, 30) * 100 : 0,
            minArea, minArea + d.Range(10, 60), minRoom, minRoom + d.Range(0, 2), d.Q(urbanNames[(size_t)i % urbanNames.size()]).c_str(),
            d.Q(d.Pick(kHouseTypes)).c_str(), d.Q(d.Pick(kFloorWishes)).c_str(),
            d.Q(d.Pick(kTowards)).c_str(), d.Q(d.Pick(kDecorations)).c_str(), d.Q(d.Pick(kLayouts)).c_str(), d.Q("自住").c_str(),
            d.Q(d.Pick(kLevels)).c_str(), d.Q(d.Pick(kClientSources)).c_str(), d.Q(d.Pick(kPayments)).c_str(), d.Q("成交后付").c_str(),
            d.Q(Person(d)).c_str(), Cipher(CipherText, Mobile(d)).c_str(), d.Q(Person(d)).c_str(), Cipher(CipherText, Mobile(d)).c_str(),
            d.Q("中国").c_str(), d.Q("独家委托").c_str(), d.Range(0, 90), empBr[who], emps[who],
            d.Q(d.Pick(kClientRemarks)).c_str(),
            i % 4 == 0 ? "NULL" : Fmt("date_sub(now(), interval %d hour)", d.Range(1, 24 * 30)).c_str()));
        if (!client || !d.Exec(Fmt("update t_client set szClientNum = '%08d' where iOrdinal = %d", client, client)))
            return false;
        if (i % 4 != 0 &&
            !d.Insert(Fmt("insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) "
                          "select 0, %d, iEmp, iBr, %s, %s, dtFollow from t_client where iOrdinal = %d",
                          client, d.Q(d.Pick(kWays)).c_str(),
                          d.Q(d.Pick(kClientNotes)).c_str(), client)))
            return false;
    }

    // Two reminders for today: one for the head office, one for the second branch.
    if (!d.Exec(Fmt("insert into t_remind (dRemind, szContent, iRange, iHou, iCli, iBr, iEmp) values "
                    "(curdate(), %s, 1, 1, 0, 1, 1), (curdate(), %s, 1, 0, 1, %d, 0)",
                    d.Q("回访嘉绿苑业主,确认报价").c_str(), d.Q("联系客户安排周末看房").c_str(), br2)))
        return false;
    return true;
}

bool DbTool_DemoAtScale(MYSQL* conn, int nHouses, std::string* err)
{
    if (!DbTool_Demo(conn, err))
        return false;
    if (mysql_query(conn, "select count(*) from t_house") != 0) {
        if (err)
            *err = mysql_error(conn);
        return false;
    }
    MYSQL_RES* r = mysql_store_result(conn);
    MYSQL_ROW row = r ? mysql_fetch_row(r) : nullptr;
    int have = row && row[0] ? atoi(row[0]) : 0;
    if (r)
        mysql_free_result(r);
    return nHouses <= have || DbTool_BenchHouses(conn, nHouses - have, err);
}

bool DbTool_DemoClientsAtScale(MYSQL* conn, int nClients, std::string* err)
{
    if (!DbTool_Demo(conn, err))
        return false;
    if (mysql_query(conn, "select count(*) from t_client") != 0) {
        if (err)
            *err = mysql_error(conn);
        return false;
    }
    MYSQL_RES* r = mysql_store_result(conn);
    MYSQL_ROW row = r ? mysql_fetch_row(r) : nullptr;
    int have = row && row[0] ? atoi(row[0]) : 0;
    if (r)
        mysql_free_result(r);
    return nClients <= have || DbTool_BenchClients(conn, nClients - have, err);
}
