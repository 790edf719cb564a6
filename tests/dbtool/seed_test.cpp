// The administrator's published first password: the seed keeps it only as a
// hash, marked to be changed at his first login; an upgrade marks every
// employee of an older database who still has it (earlier resets handed it
// out too).
#include "tests/support/test_support.h"
#include "cipher/cipher.h"
#include "cipher/password.h"
#include "db/dbtool.h"

#include <cstring>

namespace {

std::string Enciphered(const char* plain)
{
    char buf[300] = {0};
    strncpy(buf, plain, 120);
    CipherPwd(".", buf, CIPHER_ENCODE);
    return buf;
}

TEST(SeedTest, TheFirstPasswordIsAHashToBeChangedAndAnUpgradeMarksOldCopiesOfIt)
{
    ASSERT_TRUE(TestDb_Open("dbtool_seed", false));
    std::string err;
    ASSERT_TRUE(DbTool_Seed(TestDb_Conn(), &err)) << err;
    auto admin = TestDb_Query("select szPwd, bPwdChange from t_employee where iOrdinal = 1");
    ASSERT_EQ(admin.size(), 1u);
    EXPECT_EQ(Pwd_Verify("482913", admin[0][0].c_str()), 1) << admin[0][0];
    EXPECT_EQ(admin[0][1], "1");

    // As an older database holds them: the administrator and an employee
    // reset to the first password, and one with a password of his own.
    TestDb_Exec("update t_employee set szPwd = '" + Enciphered("482913") + "', bPwdChange = 0 where iOrdinal = 1");
    TestDb_Exec("insert into t_employee (szNum, szEmp, szPwd, iBr, iPst) values ('0002', 'reset', '" +
                Enciphered("482913") + "', 1, 3), ('0003', 'own', '" + Enciphered("own2024") + "', 1, 3)");
    ASSERT_TRUE(DbTool_Upgrade(TestDb_Conn(), &err)) << err;
    EXPECT_EQ(TestDb_Scalar("select group_concat(szEmp order by iOrdinal) from t_employee where bPwdChange = 1"),
              "管理员,reset");
    TestDb_Close();
}

}  // namespace
