// The house edit dialog's rules as plain functions: the floor of a room,
// the averages, the listing number and its prefix, the certificate prefix,
// the trade picture, the room layout and rooms of a floor, and the order
// in which the save checks name their boxes.
#include "tests/support/gtest_api.h"
#include "app/listings/house_rules.h"

#include <string>

namespace {

std::string Floor(const char* room)
{
    char f[8] = "?";
    return House_FloorOfRoom(room, f, 5) ? f : "-";
}

TEST(HouseRules, TheFloorFollowsTheRoomNumber)
{
    EXPECT_EQ(Floor("1203"), "12");
    EXPECT_EQ(Floor("502"), "05");
    EXPECT_EQ(Floor("0301"), "03");
    EXPECT_EQ(Floor("3A"), "3");
    EXPECT_EQ(Floor("A1203"), "A1");
    EXPECT_EQ(Floor("12"), "1");
    EXPECT_EQ(Floor("12345"), "1");
    EXPECT_EQ(Floor("5"), "-");
    EXPECT_EQ(Floor(""), "-");
    // Never half a double-byte character.
    EXPECT_EQ(Floor("\xB6\xFE" "0102"), "-");
    EXPECT_EQ(Floor("\xB6\xFE" "A"), "\xB6\xFE");    // a whole character
}

TEST(HouseRules, AveragesFollowAreaPricesAndTrade)
{
    HOUSE_AVERAGES a = House_Averages("出售", 80, 200, 3000);
    EXPECT_TRUE(a.bChanged && a.bSale && a.bClearRent && !a.bRent && !a.bClearSale);
    EXPECT_EQ(a.iSalesAve, 25000);
    a = House_Averages("出租", 80, 200, 2400);
    EXPECT_TRUE(a.bRent && a.bClearSale && !a.bSale && !a.bClearRent);
    EXPECT_DOUBLE_EQ(a.dbRentAve, 1.0);
    a = House_Averages("已租", 80, 0, 2400);
    EXPECT_TRUE(a.bClearSale);
    a = House_Averages("租售", 70, 150, 2100);
    EXPECT_TRUE(a.bSale && a.bRent && !a.bClearSale && !a.bClearRent);
    EXPECT_EQ(a.iSalesAve, 21428);    // the whole part
    EXPECT_FALSE(House_Averages("出售", 0, 200, 0).bChanged);
    // A price too large for an average caps rather than wrapping.
    EXPECT_EQ(House_Averages("出售", 0.01, 2147483647, 0).iSalesAve, 2147483647);
}

TEST(HouseRules, TheListingNumberIsShownWithItsPrefixAndSavedWithout)
{
    EXPECT_EQ(House_NumberShown("ZD", "12"), "ZD00000012");
    EXPECT_EQ(House_NumberShown("ZD", "00000012"), "ZD00000012");
    EXPECT_EQ(House_NumberShown("", "A12"), "00000A12");
    EXPECT_EQ(House_NumberTyped("ZD", "ZD00000012"), "00000012");
    EXPECT_EQ(House_NumberTyped("ZD", "A123"), "A123");
    EXPECT_EQ(House_NumberTyped("", "ZD1"), "ZD1");
    EXPECT_EQ(House_CertPrefix("西湖"), "西0000000000");
    EXPECT_EQ(House_CertPrefix("A"), "");
    EXPECT_EQ(House_TradeBitmap("出租"), 190);
    EXPECT_EQ(House_TradeBitmap("租售"), 189);
    EXPECT_EQ(House_TradeBitmap("出售"), 191);
    EXPECT_EQ(House_TradeBitmap("已售"), 199);
    EXPECT_EQ(House_TradeBitmap(""), 0);
    int32_t b = -1, l = -1, t = -1;
    House_RoomLayout("3/2/1", &b, &l, &t);
    EXPECT_EQ(b * 100 + l * 10 + t, 321);
    House_RoomLayout("4/2", &b, &l, &t);
    EXPECT_EQ(b * 100 + l * 10 + t, 420);
    House_RoomLayout("", &b, &l, &t);
    EXPECT_EQ(b + l + t, 0);
    // Every household of the floor, the last one included.
    std::vector<std::string> rooms = House_RoomNumbers(4);
    ASSERT_EQ(rooms.size(), 4u);
    EXPECT_EQ(rooms.front() + rooms.back(), "01010104");
}

TEST(HouseRules, SaveChecksNameTheirBoxesInOrder)
{
    const HOUSE_CHECK_IDS ids = {1, 2, 3, 4, 5, 6, 7, 8};
    HOUSE_CHECK c = {};
    c.pszTrade = "";
    c.bHouArea = c.bHouPrice = c.bHouOwner = 1;
    c.bOwnerRead = c.bOwnerTelEmpty = c.bLinkTelEmpty = TRUE;
    const char* text = nullptr;
    // Each check fails in turn once the ones before it pass.
    EXPECT_EQ(House_Check(c, ids, &text), 1);
    EXPECT_STREQ(text, "请选择楼盘");
    c.bEstate = TRUE;
    EXPECT_EQ(House_Check(c, ids, &text), 2);
    EXPECT_STREQ(text, "请填写面积");
    c.dbArea = 80;
    EXPECT_EQ(House_Check(c, ids, &text), 3);
    EXPECT_STREQ(text, "请选择交易状态");
    c.pszTrade = "出售";
    EXPECT_EQ(House_Check(c, ids, &text), 4);
    EXPECT_STREQ(text, "请填写售价");
    c.pszTrade = "出租";
    EXPECT_EQ(House_Check(c, ids, &text), 5);
    EXPECT_STREQ(text, "请填写租价");
    c.pszTrade = "租售";
    EXPECT_EQ(House_Check(c, ids, &text), 4);
    c.iRent = 2000;    // a rent alone passes for "租售"
    EXPECT_EQ(House_Check(c, ids, &text), 6);
    EXPECT_STREQ(text, "业主电话和联系电话不能同时为空");
    c.bOwnerRead = FALSE;    // masked telephones are not checked
    EXPECT_EQ(House_Check(c, ids, &text), 8);
    c.bBrKnown = TRUE;
    EXPECT_EQ(House_Check(c, ids, &text), 7);
    c.bEmpKnown = TRUE;
    EXPECT_EQ(House_Check(c, ids, &text), 0);
    EXPECT_EQ(text, nullptr);
    // Without the options nothing but the estate, trade and agent is required.
    HOUSE_CHECK o = {};
    o.bEstate = o.bEmpKnown = o.bBrKnown = TRUE;
    o.pszTrade = "出售";
    o.bOwnerRead = o.bOwnerTelEmpty = o.bLinkTelEmpty = TRUE;
    EXPECT_EQ(House_Check(o, ids, &text), 0);
}

}  // namespace
