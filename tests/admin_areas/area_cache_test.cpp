// The shared area cache as the area window edits it: free slots taken and
// given back, cities kept packed, a merge moving districts and estates, and
// the priority the small dictionary dialogs read.
#include "tests/support/test_support.h"
#include "app/admin/area_cache.h"
#include "app/admin/name_dialog.h"
#include "app/shell/caches.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A parameter block with the caches as start-up leaves them: the rows
// loaded, then 101 zeroed spare records each.
struct Caches {
    tagZT_Main_Param p;
    std::vector<tagCITY> city;
    std::vector<tagURBAN> urban;
    std::vector<tagDISTRICT> dist;
    std::vector<tagESTLIST> est;
    Caches(int nCity, int nUrban, int nDist)
        : city(nCity + 101), urban(nUrban + 101), dist(nDist + 101), est(2 + 101)
    {
        memset(&p, 0, sizeof(p));
        for (int i = 0; i < nCity; i++)
            city[i] = {i + 1, "城"};
        for (int i = 0; i < nUrban; i++)
            urban[i] = {10 + i, i, "区", 1};
        for (int i = 0; i < nDist; i++)
            dist[i] = {100 + i, i, 10 + i % 2, "片", nullptr};
        est[0].iOrdinal = 201;
        est[0].iUrban = 10;
        est[1].iOrdinal = 202;
        est[1].iUrban = 11;
        p.pCity = city.data();
        p.nCity = nCity;
        p.nCitySpare = 101;
        p.pUrban = urban.data();
        p.nUrban = nUrban;
        p.nUrbanSpare = 101;
        p.pDist = dist.data();
        p.nDist = nDist;
        p.nDistSpare = 101;
        p.pEstList = est.data();
        p.nEst = 2;
        p.nEstSpare = 101;
    }
};

TEST(AreaCache, AFreedSlotIsTakenByTheNextAdditionAndCountPlusSpareStays)
{
    Caches c(1, 3, 4);
    tagZT_Main_Param* p = &c.p;
    tagDISTRICT* second = AreaCache_District(p, 101);
    ASSERT_EQ(second, &c.dist[1]);
    ASSERT_TRUE(AreaCache_RemoveDistrict(p, 101));
    EXPECT_EQ(c.dist[1].iOrdinal, 0);
    EXPECT_EQ(p->nDist, 3);
    EXPECT_EQ(p->nDistSpare, 102);
    EXPECT_EQ(AreaCache_District(p, 101), nullptr);
    EXPECT_FALSE(AreaCache_RemoveDistrict(p, 101));
    // The last loaded district now lies behind the count: still found.
    EXPECT_EQ(AreaCache_District(p, 103), &c.dist[3]);

    tagDISTRICT d = {555, 7, 11, "新坊", nullptr};
    EXPECT_EQ(AreaCache_AddDistrict(p, &d), second);
    EXPECT_STREQ(second->szDistrict, "新坊");
    EXPECT_EQ(p->nDist + p->nDistSpare, 4 + 101);

    // Urban areas: the same, and a record without a key is never listed.
    tagURBAN none = {0, 0, "无", 1};
    EXPECT_EQ(AreaCache_AddUrban(p, &none), nullptr);
    ASSERT_TRUE(AreaCache_RemoveUrban(p, 10));
    tagURBAN u = {77, 0, "新区", 1};
    EXPECT_EQ(AreaCache_AddUrban(p, &u), &c.urban[0]);
    EXPECT_EQ(Cache_Urban(p, 77), &c.urban[0]);
    EXPECT_EQ(p->nUrban, 3);
    EXPECT_EQ(p->nUrbanSpare, 101);
}

TEST(AreaCache, AFullArrayTakesNothingAndStaysAsItWas)
{
    Caches c(1, 1, 1);
    tagZT_Main_Param* p = &c.p;
    for (int i = 0; i < 101; i++) {
        tagDISTRICT d = {1000 + i, 0, 10, "满", nullptr};
        ASSERT_NE(AreaCache_AddDistrict(p, &d), nullptr) << i;
    }
    EXPECT_EQ(p->nDistSpare, 0);
    tagDISTRICT more = {2000, 0, 10, "溢", nullptr};
    EXPECT_EQ(AreaCache_AddDistrict(p, &more), nullptr);
    EXPECT_EQ(p->nDist, 102);
    EXPECT_EQ(AreaCache_District(p, 2000), nullptr);
    // One freed: the next addition fits again, into that slot.
    ASSERT_TRUE(AreaCache_RemoveDistrict(p, 1050));
    EXPECT_EQ(AreaCache_AddDistrict(p, &more), &c.dist[51]);
}

TEST(AreaCache, CitiesStayPackedWhenOneIsRemoved)
{
    Caches c(3, 0, 0);
    tagZT_Main_Param* p = &c.p;
    strcpy(c.city[0].szUrban, "苏州");
    strcpy(c.city[1].szUrban, "无锡");
    strcpy(c.city[2].szUrban, "常熟");
    ASSERT_TRUE(AreaCache_RemoveCity(p, 2));
    EXPECT_EQ(p->nCity, 2);
    EXPECT_EQ(p->nCitySpare, 102);
    EXPECT_STREQ(c.city[0].szUrban, "苏州");
    EXPECT_STREQ(c.city[1].szUrban, "常熟");
    EXPECT_EQ(c.city[1].iOrdinal, 3);
    EXPECT_EQ(c.city[2].iOrdinal, 0);
    // Every live city lies within the count (the forms read only those).
    tagCITY added = {9, "常州"};
    EXPECT_EQ(AreaCache_AddCity(p, &added), &c.city[2]);
    EXPECT_EQ(AreaCache_City(p, 9), &c.city[2]);
    EXPECT_EQ(p->nCity, 3);
    // A city array that could not be loaded offers no room.
    p->pCity = nullptr;
    p->nCitySpare = 0;
    EXPECT_EQ(AreaCache_AddCity(p, &added), nullptr);
}

TEST(AreaCache, AMergeMovesTheDistrictsAndEstatesOfTheSourceOnly)
{
    Caches c(1, 3, 6);                    // districts 100..105 under 10 and 11 in turn
    tagZT_Main_Param* p = &c.p;
    AreaCache_RemoveDistrict(p, 102);     // a free slot in between
    EXPECT_EQ(AreaCache_MoveUrban(p, 10, 12), 2);
    for (const tagDISTRICT& d : c.dist) {
        if (d.iOrdinal) {
            EXPECT_NE(d.iParentIndex, 10) << d.iOrdinal;
        }
    }
    EXPECT_EQ(AreaCache_District(p, 100)->iParentIndex, 12);
    EXPECT_EQ(AreaCache_District(p, 101)->iParentIndex, 11);
    EXPECT_EQ(c.est[0].iUrban, 12);
    EXPECT_EQ(c.est[1].iUrban, 11);
    EXPECT_EQ(c.dist[2].iParentIndex, 0);             // the free slot is left alone
    // Into itself: nothing moves.
    EXPECT_EQ(AreaCache_MoveUrban(p, 11, 11), 0);
    EXPECT_EQ(AreaCache_District(p, 101)->iParentIndex, 11);
}

TEST(NameDialog, APriorityIsASignedNumberAndAnythingElseCountsZero)
{
    EXPECT_EQ(NameDialog_Priority("12"), 12);
    EXPECT_EQ(NameDialog_Priority(" -3 "), -3);
    EXPECT_EQ(NameDialog_Priority("+4"), 4);
    EXPECT_EQ(NameDialog_Priority("2147483647"), 2147483647);
    EXPECT_EQ(NameDialog_Priority("-2147483648"), INT32_MIN);
    EXPECT_EQ(NameDialog_Priority("2147483648"), 0);
    EXPECT_EQ(NameDialog_Priority("99999999999999999999"), 0);
    EXPECT_EQ(NameDialog_Priority(""), 0);
    EXPECT_EQ(NameDialog_Priority("-"), 0);
    EXPECT_EQ(NameDialog_Priority("3a"), 0);
    EXPECT_EQ(NameDialog_Priority("1 2"), 0);
    EXPECT_EQ(NameDialog_Priority("'; drop table t_urban; --"), 0);
    EXPECT_EQ(NameDialog_Priority("\xD5"), 0);
    EXPECT_EQ(NameDialog_Priority(nullptr), 0);
}

}  // namespace
