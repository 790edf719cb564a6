// The program's database account holds only what the program does: it
// reads, adds and changes rows and deletes them only where the program
// deletes; a statement that would change the schema, remove houses or hand
// out rights is refused by the server.  An account from an earlier set-up
// with every right on the database is narrowed by the upgrade.
#include "tests/support/test_support.h"
#include "db/dbtool.h"

namespace {

// Runs a statement on a connection; its server error number (0: done).
unsigned int Try(MYSQL* c, const std::string& sql)
{
    if (mysql_query(c, sql.c_str()) != 0)
        return mysql_errno(c);
    while (MYSQL_RES* r = mysql_store_result(c)) {
        mysql_free_result(r);
        if (mysql_next_result(c) != 0)
            break;
    }
    return 0;
}

class AccountTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(TestDb_Open("dbtool_account")); }
    void TearDown() override { TestDb_Close(); }
};

TEST_F(AccountTest, TheProgramsAccountCannotChangeTheSchemaRemoveHousesOrGrant)
{
    MYSQL* c = TestDb_BareConnection();
    ASSERT_NE(c, nullptr);
    // What the program does.
    EXPECT_EQ(Try(c, "select count(*) from t_house"), 0u);
    EXPECT_EQ(Try(c, "insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue) values (1, 1, 1, 1, 'x')"), 0u);
    EXPECT_EQ(Try(c, "update t_sys set dwBmpMaxSize = dwBmpMaxSize"), 0u);
    EXPECT_EQ(Try(c, "delete from t_log where szValue = 'x'"), 0u);
    EXPECT_EQ(Try(c, "delete from t_recyle where iOrdinal = 0"), 0u);

    // What it never does.
    const char* const refused[] = {
        "delete from t_house",
        "delete from t_client",
        "delete from t_sys",
        "alter table t_house add column x int",
        "drop table t_log",
        "drop database dbtool_account",
        "create table t_x (i int)",
        "truncate table t_log",
        "grant all privileges on dbtool_account.* to 'kelmora'@'127.0.0.1'",
        "create user 'intruder'@'127.0.0.1'",
        "select * from mysql.user",
    };
    for (const char* sql : refused)
        EXPECT_NE(Try(c, sql), 0u) << sql << " was let through";
    EXPECT_EQ(TestDb_Count("information_schema.columns where table_schema = 'dbtool_account' and column_name = 'x'"),
              0);
    mysql_close(c);
}

TEST_F(AccountTest, AnUpgradeNarrowsAnAccountThatHadEveryRightOnTheDatabase)
{
    std::string err;
    MYSQL* root = TestDb_Conn();
    // As an earlier set-up left it.
    TestDb_Exec("CREATE USER IF NOT EXISTS 'oldapp'@'127.0.0.1' IDENTIFIED BY 'Old#2026';"
                "GRANT ALL PRIVILEGES ON dbtool_account.* TO 'oldapp'@'127.0.0.1'");
    int narrowed = -1;
    ASSERT_TRUE(DbTool_NarrowAccounts(root, "dbtool_account", &narrowed, &err)) << err;
    EXPECT_GE(narrowed, 1);
    auto grants = TestDb_Query("show grants for 'oldapp'@'127.0.0.1'");
    std::string all;
    for (auto& g : grants)
        all += g[0] + "\n";
    EXPECT_EQ(all.find("ALL PRIVILEGES"), std::string::npos) << all;
    EXPECT_NE(all.find("GRANT SELECT, INSERT, UPDATE ON `dbtool_account`.*"), std::string::npos) << all;
    EXPECT_NE(all.find("GRANT DELETE ON `dbtool_account`.`t_log`"), std::string::npos) << all;
    EXPECT_EQ(all.find("`t_house`"), std::string::npos) << all;
    // The account running the upgrade keeps its rights; a second run has
    // nothing left to narrow.
    ASSERT_TRUE(DbTool_NarrowAccounts(root, "dbtool_account", &narrowed, &err)) << err;
    EXPECT_EQ(narrowed, 0);
    TestDb_Exec("DROP USER 'oldapp'@'127.0.0.1'");
}

} // namespace
