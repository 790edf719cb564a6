// Matching houses and clients against the real server: which trades meet,
// the ranges and places, the order of the best matches, the scope and the
// recycle bin, hostile texts; and that a house lists a client exactly when
// the client lists the house.
#include "tests/data_listings/listings_support.h"

#include <cstdio>
#include <cstring>
#include <set>

namespace {

struct HouseRow {
    const char* trade = "出售";
    int sales = 150, rent = 0;
    double area = 90;
    const char* room = "3/2/1";
    int bed = 3;
    const char* floor = "5";
    int floorT = 18;
    const char* type = "住宅";
    const char* toward = "南";
    const char* dist = "";
    int est = 0, emp = 1, br = 1, recycled = 0;
};

struct ClientRow {
    const char* trade = "求购";
    int minBuy = 100, maxBuy = 200, minRent = 0, maxRent = 0;
    int minArea = 0, maxArea = 0, minRoom = 0, maxRoom = 0;
    const char* urban = "";
    const char* type = "";
    const char* toward = "";
    const char* floor = "";
    int emp = 1, br = 1, recycled = 0;
};

std::string Q(const char* s)
{
    std::string out(strlen(s) * 2 + 1, '\0');
    out.resize(mysql_real_escape_string(TestDb_Conn(), &out[0], s, strlen(s)));
    return "'" + out + "'";
}

int AddHouse(const HouseRow& h)
{
    char sql[2048];
    snprintf(sql, sizeof sql,
             "insert into t_house (szTrade, iSales, iRent, dbBuildArea, szRoomType, iBed, szFloor, iFloorT, szHouseType,"
             " szToward, szDist, iEst, iEmp, iBr, bRecyle, dDelegate) values (%s, %d, %d, %.2f, %s, %d, %s, %d, %s, %s,"
             " %s, %d, %d, %d, %d, curdate())",
             Q(h.trade).c_str(), h.sales, h.rent, h.area, Q(h.room).c_str(), h.bed, Q(h.floor).c_str(), h.floorT,
             Q(h.type).c_str(), Q(h.toward).c_str(), Q(h.dist).c_str(), h.est, h.emp, h.br, h.recycled);
    TestDb_Exec(sql);
    return atoi(TestDb_Scalar("select max(iOrdinal) from t_house").c_str());
}

int AddClient(const ClientRow& c)
{
    char sql[2048];
    snprintf(sql, sizeof sql,
             "insert into t_client (szTrade, iMinBuy, iMaxBuy, iMinRent, iMaxRent, iMinArea, iMaxArea, iMinRoom, iMaxRoom,"
             " szUrban, szHouseType, szToward, szFloor, iEmp, iBr, bRecyle) values (%s, %d, %d, %d, %d, %d, %d, %d, %d,"
             " %s, %s, %s, %s, %d, %d, %d)",
             Q(c.trade).c_str(), c.minBuy, c.maxBuy, c.minRent, c.maxRent, c.minArea, c.maxArea, c.minRoom, c.maxRoom,
             Q(c.urban).c_str(), Q(c.type).c_str(), Q(c.toward).c_str(), Q(c.floor).c_str(), c.emp, c.br, c.recycled);
    TestDb_Exec(sql);
    return atoi(TestDb_Scalar("select max(iOrdinal) from t_client").c_str());
}

// The records as the list windows hold them (a loaded house has no iBed).
tagCLIENT LoadClient(int key)
{
    int n = 0;
    tagCLIENT* list = FD_Sct_Cli(1, nullptr, &n, ("iOrdinal = " + std::to_string(key)).c_str(), 0);
    tagCLIENT c;
    memset(&c, 0, sizeof c);
    if (list && n == 1)
        c = list[0];
    Mem_Free_Cli(list);
    return c;
}

tagHOUSE LoadHouse(int key, int recycled = 0)
{
    int n = 0;
    tagHOUSE* list = FD_Sct_Hou(1, nullptr, &n, ("iOrdinal = " + std::to_string(key)).c_str(), recycled, nullptr, nullptr);
    tagHOUSE h;
    memset(&h, 0, sizeof h);
    if (list && n == 1)
        h = list[0];
    Mem_Free_Hou(list);
    return h;
}

struct Hit {
    int key, fit, gap;
};

std::vector<Hit> HousesFor(const tagCLIENT& c, const char* scope = "")
{
    int n = -1;
    tagHOUSE_MATCH* m = FD_Match_Hou(&c, scope, 0, &n);
    EXPECT_NE(nullptr, m);
    std::vector<Hit> out;
    for (int i = 0; m && i < n; ++i)
        out.push_back({m[i].h.iOrdinal, m[i].iFit, m[i].iGap});
    Mem_Free_Match(m);
    return out;
}

std::vector<Hit> ClientsFor(const tagHOUSE& h, const char* scope = "")
{
    int n = -1;
    tagCLIENT_MATCH* m = FD_Match_Cli(&h, scope, 0, &n);
    EXPECT_NE(nullptr, m);
    std::vector<Hit> out;
    for (int i = 0; m && i < n; ++i)
        out.push_back({m[i].c.iOrdinal, m[i].iFit, m[i].iGap});
    Mem_Free_Match(m);
    return out;
}

std::set<int> Keys(const std::vector<Hit>& hits)
{
    std::set<int> s;
    for (const Hit& h : hits)
        s.insert(h.key);
    return s;
}

class Match : public testing::Test {
protected:
    void SetUp() override
    {
        Listings_Reset();
        TestDb_Exec("delete from t_estate where szEstate like '匹配测试%'; delete from t_urban where szUrban like '匹配%'");
        TestDb_Exec("insert into t_urban (iParentIndex, szUrban) values (0, '匹配西区')");
        int urban = atoi(TestDb_Scalar("select max(iOrdinal) from t_urban").c_str());
        TestDb_Exec("insert into t_estate (iUrban, szEstate) values (" + std::to_string(urban) + ", '匹配测试花园')");
        estate = atoi(TestDb_Scalar("select max(iOrdinal) from t_estate").c_str());
        errors = ErrLogCount();
    }
    void TearDown() override
    {
        EXPECT_EQ(errors, ErrLogCount());
        EXPECT_EQ(0u, TestBoxes_Count());
    }
    // Every client lists exactly the houses that list it, with the same score.
    void ExpectSymmetric(const std::vector<int>& houses, const std::vector<int>& clients)
    {
        for (int c : clients) {
            std::vector<Hit> hs = HousesFor(LoadClient(c));
            for (int h : houses) {
                std::vector<Hit> cs = ClientsFor(LoadHouse(h));
                const Hit* a = nullptr;
                const Hit* b = nullptr;
                for (const Hit& x : hs)
                    if (x.key == h)
                        a = &x;
                for (const Hit& x : cs)
                    if (x.key == c)
                        b = &x;
                ASSERT_EQ(a != nullptr, b != nullptr) << "house " << h << " client " << c;
                if (a) {
                    EXPECT_EQ(a->fit, b->fit) << "house " << h << " client " << c;
                    EXPECT_EQ(a->gap, b->gap) << "house " << h << " client " << c;
                }
            }
        }
    }
    int estate = 0;
    size_t errors = 0;
};

}  // namespace

TEST_F(Match, TradesMeetOnTheirSidesWithinTheBudgets)
{
    HouseRow r;
    int sale = AddHouse(r);
    r.trade = "出租", r.sales = 0, r.rent = 3000;
    int rent = AddHouse(r);
    r.trade = "租售", r.sales = 150, r.rent = 3000;
    int both = AddHouse(r);
    r.trade = "已售";
    int sold = AddHouse(r);
    r.trade = "出售", r.sales = 0, r.rent = 0;
    int unpriced = AddHouse(r);
    r.sales = 260;
    int dear = AddHouse(r);

    ClientRow c;
    int buyer = AddClient(c);
    c.trade = "求租", c.minBuy = c.maxBuy = 0, c.minRent = 2000, c.maxRent = 4000;
    int renter = AddClient(c);
    c.trade = "租购", c.minBuy = 100, c.maxBuy = 200, c.minRent = c.maxRent = 0;
    int buyOnly = AddClient(c);
    c.minRent = 2000, c.maxRent = 4000;
    int either = AddClient(c);
    c.trade = "已购";
    int done = AddClient(c);
    c.trade = "求购", c.minBuy = 0, c.maxBuy = 0;
    int anyPrice = AddClient(c);
    c.minBuy = 300, c.maxBuy = 100;
    int inverted = AddClient(c);

    EXPECT_EQ((std::set<int>{sale, both}), Keys(HousesFor(LoadClient(buyer))));
    EXPECT_EQ((std::set<int>{rent, both}), Keys(HousesFor(LoadClient(renter))));
    EXPECT_EQ((std::set<int>{sale, both}), Keys(HousesFor(LoadClient(buyOnly))));
    EXPECT_EQ((std::set<int>{sale, rent, both}), Keys(HousesFor(LoadClient(either))));
    EXPECT_TRUE(HousesFor(LoadClient(done)).empty());
    EXPECT_EQ((std::set<int>{sale, both, unpriced, dear}), Keys(HousesFor(LoadClient(anyPrice))));
    EXPECT_TRUE(HousesFor(LoadClient(inverted)).empty());
    EXPECT_TRUE(ClientsFor(LoadHouse(sold)).empty());
    EXPECT_EQ((std::set<int>{buyer, buyOnly, either, anyPrice}), Keys(ClientsFor(LoadHouse(sale))));

    ExpectSymmetric({sale, rent, both, sold, unpriced, dear}, {buyer, renter, buyOnly, either, done, anyPrice, inverted});
}

TEST_F(Match, RangesPlacesAndTheBestFirst)
{
    HouseRow r;
    r.est = estate;
    r.area = 60, r.room = "1/1/1", r.bed = 1;
    int small = AddHouse(r);
    r.area = 90, r.room = "2/1/1", r.bed = 2, r.sales = 180;
    int plain = AddHouse(r);
    r.sales = 150, r.toward = "南北";
    int middle = AddHouse(r);
    r.type = "公寓", r.toward = "南", r.floor = "17", r.sales = 195;
    int wished = AddHouse(r);
    r.est = 0, r.dist = "匹配西区", r.type = "住宅", r.floor = "5", r.sales = 150;
    int inDistrict = AddHouse(r);
    r.dist = "别处";
    int elsewhere = AddHouse(r);

    ClientRow c;
    c.minArea = 80, c.maxArea = 0, c.minRoom = 2, c.maxRoom = 3;
    c.urban = "匹配西区", c.type = "公寓", c.toward = "南", c.floor = "高层";
    int client = AddClient(c);

    std::vector<Hit> hits = HousesFor(LoadClient(client));
    ASSERT_EQ(4u, hits.size());
    // Three wishes met first; then the nearer price (the budget's middle is 150).
    EXPECT_EQ(wished, hits[0].key);
    EXPECT_EQ(3, hits[0].fit);
    EXPECT_EQ(300, hits[0].gap);
    EXPECT_EQ(inDistrict, hits[1].key);
    EXPECT_EQ(1, hits[1].fit);
    EXPECT_EQ(0, hits[1].gap);
    EXPECT_EQ(plain, hits[2].key);
    EXPECT_EQ(1, hits[2].fit);
    EXPECT_EQ(200, hits[2].gap);
    EXPECT_EQ(middle, hits[3].key);
    EXPECT_EQ(0, hits[3].fit);

    // "不限" names no place and no wish.
    TestDb_Exec("update t_client set szUrban = '不限', szToward = '不限', szHouseType = '', szFloor = '不限'");
    std::vector<Hit> all = HousesFor(LoadClient(client));
    EXPECT_EQ((std::set<int>{plain, middle, wished, inDistrict, elsewhere}), Keys(all));
    for (const Hit& h : all)
        EXPECT_EQ(0, h.fit);
    TestDb_Exec("update t_client set szUrban = '匹配西区', szToward = '南', szHouseType = '公寓', szFloor = '高层'");

    ExpectSymmetric({small, plain, middle, wished, inDistrict, elsewhere}, {client});
}

TEST_F(Match, TheScopeAndTheRecycleBinHideAsTheListsDo)
{
    HouseRow r;
    int mine = AddHouse(r);
    r.emp = 2;
    int colleague = AddHouse(r);
    r.emp = 3, r.br = 2;
    int otherBranch = AddHouse(r);
    r.emp = 1, r.br = 1, r.recycled = 1;
    int recycled = AddHouse(r);

    ClientRow c;
    int myClient = AddClient(c);
    c.emp = 3, c.br = 2;
    int theirClient = AddClient(c);
    c.emp = 1, c.br = 1, c.recycled = 1;
    AddClient(c);

    tagCLIENT me = LoadClient(myClient);
    EXPECT_EQ((std::set<int>{mine, colleague, otherBranch}), Keys(HousesFor(me)));
    EXPECT_EQ((std::set<int>{mine}), Keys(HousesFor(me, "iEmp = 1")));
    EXPECT_EQ((std::set<int>{mine, colleague}), Keys(HousesFor(me, "iBr = 1")));
    EXPECT_EQ((std::set<int>{myClient, theirClient}), Keys(ClientsFor(LoadHouse(mine))));
    EXPECT_EQ((std::set<int>{myClient}), Keys(ClientsFor(LoadHouse(mine), "iBr = 1")));
    // A recycled house is listed by no client, and lists no client.
    EXPECT_TRUE(ClientsFor(LoadHouse(recycled, 1)).empty());
    for (const Hit& h : HousesFor(me))
        EXPECT_NE(recycled, h.key);
}

TEST_F(Match, HostileTextsAreValuesToCompareNotStatements)
{
    // A house whose texts are hostile: a client wishing for exactly those
    // texts finds it, with the wishes met; nothing else changes.
    std::string hostile = HostileText();
    char type[17], toward[17];
    FillHostile(type);
    FillHostile(toward);
    HouseRow r;
    r.type = type, r.toward = toward;
    int house = AddHouse(r);
    ClientRow c;
    c.type = type, c.toward = toward;
    int client = AddClient(c);
    std::vector<Hit> hits = HousesFor(LoadClient(client));
    ASSERT_EQ(1u, hits.size());
    EXPECT_EQ(house, hits[0].key);
    EXPECT_EQ(2, hits[0].fit);
    ExpectSymmetric({house}, {client});

    // Hostile texts in every compared field of either record find nothing
    // unexpected and change nothing.
    tagCLIENT x = LoadClient(client);
    FillHostile(x.szTrade);
    EXPECT_TRUE(HousesFor(x).empty());
    x = LoadClient(client);
    FillHostile(x.szUrban);
    FillHostile(x.szFloor);
    FillHostile(x.szDecoration);
    FillHostile(x.szLayout);
    EXPECT_TRUE(HousesFor(x).empty());
    tagHOUSE y = LoadHouse(house);
    FillHostile(y.szTrade);
    EXPECT_TRUE(ClientsFor(y).empty());
    y = LoadHouse(house);
    FillHostile(y.szDist);
    FillHostile(y.szFloor);
    FillHostile(y.szRoomType);
    FillHostile(y.szDecoration);
    y.iSales = 2147483647;
    y.dbBuildArea = 1e12;
    EXPECT_TRUE(ClientsFor(y).empty());
    EXPECT_EQ(1, TestDb_Count("t_house"));
    EXPECT_EQ(1, TestDb_Count("t_client"));
    EXPECT_EQ(std::string(type), TestDb_Scalar("select szHouseType from t_house"));
}
