// Several desks on one server at the same moment, each its own program
// process with its own connection (the stories are shared with the cluster
// tests, which run them through different nodes).
#include "tests/data_listings/listings_support.h"
#include "tests/support/desks.h"

namespace {

DeskPlace OneServer()
{
    DeskPlace p;
    p.child = "DeskChild.DISABLED_Desk";
    p.tag = "1";
    p.scalar = [](const std::string& sql) { return TestDb_Scalar(sql); };
    p.exec = [](const std::string& sql) { TestDb_Exec(sql); };
    p.label = "[desks]";
    return p;
}

class Desks : public testing::Test {
protected:
    void SetUp() override { Listings_Reset(); }
};

TEST_F(Desks, TwoFormsOfOneHouseSavedTogetherLoseNoChangeAndTheLaterIsTold)
{
    Desks_OneHouseTwoForms(OneServer());
}

TEST_F(Desks, ThreeDesksAddingTheSameRoomAtOnceStoreItOnce)
{
    Desks_OneRoomThreeDesks(OneServer());
}

TEST_F(Desks, ThreeDesksAddingClientsWithTheSameTelephoneAtOnceStoreOne)
{
    Desks_OneTelephoneThreeDesks(OneServer());
}

TEST_F(Desks, AnEmployeeDeletedWhileGivenAHouseEndsWithOneOfTheTwo)
{
    Desks_EmployeeDeletedWhileGivenAHouse(OneServer());
}

// One desk of the tests above, on the test server.
TEST(DeskChild, DISABLED_Desk)
{
    ASSERT_NE(nullptr, TestDb_Attach("kelmora_t_listings"));
    Desks_Child();
    TestDb_Close();
}

} // namespace
