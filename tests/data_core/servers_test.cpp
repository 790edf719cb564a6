// Several servers in HOST, and changes refused because another session
// held or changed the same rows: run again where that is safe, reported
// where it is not.
#include "cipher/cipher.h"
#include "tests/support/test_support.h"
#include "common/servers.h"
#include "data/ZTData.h"


namespace {

const char kConflict[] = "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.";

std::string Names(const char* list, int defaultPort, int* pFault = nullptr, int* pEntry = nullptr)
{
    ZT_SERVER s[ZT_MAX_SERVERS];
    int n = ZT_ParseServers(list, defaultPort, s, pFault, pEntry);
    std::string out;
    for (int i = 0; i < n; ++i) {
        char name[64];
        ZT_ServerName(s[i], name, sizeof name);
        out += (i ? " " : "") + std::string(name);
    }
    return out;
}

// A port on loopback nobody listens on.
int ClosedPort()
{
    return 1;
}

// Ends the test connection's transaction after a while, on a thread of its own.
DWORD WINAPI RollbackLater(LPVOID ms)
{
    Sleep((DWORD)(DWORD_PTR)ms);
    TestDb_Exec("rollback");
    return 0;
}

} // namespace

TEST(ServerList, EntriesPortsAndFaults)
{
    EXPECT_EQ("db1:3306", Names("db1", 3306));
    EXPECT_EQ("127.0.0.1:3306", Names("127.0.0.1", 0)) << "no port: the client's default";
    EXPECT_EQ("10.0.0.1:3307 10.0.0.2:3306 db3:4000", Names(" 10.0.0.1:3307 ,10.0.0.2,\tdb3:4000 ", 3306));
    EXPECT_EQ("[::1]:3306 [fe80::2]:3310", Names("::1,[fe80::2]:3310", 3306));
    std::string h37(37, 'h');
    EXPECT_EQ(h37 + ":1", Names((h37 + ":1").c_str(), 3306));

    struct Bad {
        const char* list;
        int fault, entry;
    } bad[] = {
        {"", ZT_SERVERS_EMPTY_ENTRY, 1},
        {"db1,,db3", ZT_SERVERS_EMPTY_ENTRY, 2},
        {"db1, ", ZT_SERVERS_EMPTY_ENTRY, 2},
        {"db1:", ZT_SERVERS_BAD_PORT, 1},
        {"db1,db2:0", ZT_SERVERS_BAD_PORT, 2},
        {"db1:65536", ZT_SERVERS_BAD_PORT, 1},
        {"db1:33o6", ZT_SERVERS_BAD_PORT, 1},
        {":3306", ZT_SERVERS_EMPTY_ENTRY, 1},
        {"[::1]x", ZT_SERVERS_BAD_PORT, 1},
        {"a,b,c,d,e,f,g,h,i", ZT_SERVERS_TOO_MANY, 9},
    };
    for (const Bad& b : bad) {
        int fault = -1, entry = -1;
        EXPECT_EQ("", Names(b.list, 3306, &fault, &entry)) << b.list;
        EXPECT_EQ(b.fault, fault) << b.list;
        EXPECT_EQ(b.entry, entry) << b.list;
    }
    int fault = 0;
    EXPECT_EQ("", Names((std::string(38, 'h') + ":1").c_str(), 3306, &fault));
    EXPECT_EQ(ZT_SERVERS_HOST_LONG, fault);
    EXPECT_EQ("", Names(std::string(256, 'a').c_str(), 3306, &fault));
    EXPECT_EQ(ZT_SERVERS_LIST_LONG, fault);
}

// The first server that answers is used: one nobody listens on is passed
// over; with none answering, the failure names the last server tried.
TEST(ServerList, TheFirstServerThatAnswersIsUsed)
{
    ASSERT_NE(nullptr, TestDb_Open("kelmora_t_servers"));
    TestDb_Close();
    static tagZT_SQL_MATION m;
    m = *TestDb_Settings();
    std::string good = "127.0.0.1:" + TestEnv("ZT_TEST_DB_PORT", "3306");
    std::string closed = "127.0.0.1:" + std::to_string(ClosedPort());
    snprintf(m.szServers, sizeof m.szServers, "%s, %s", closed.c_str(), good.c_str());
    m.iConnectTimeout = 2;
    ASSERT_EQ(1, MYSQL_Init(&m));
    char server[64] = "";
    ZTData_ServerName(server, sizeof server);
    EXPECT_EQ(good, server);
    char pwd[300] = "482913";
    CipherPwd(".", pwd, CIPHER_ENCODE);
    EXPECT_EQ(1, FD_LG_Check(1, pwd));
    MYSQL_Terminal();

    snprintf(m.szServers, sizeof m.szServers, "%s,127.0.0.2:%d", closed.c_str(), ClosedPort());
    EXPECT_EQ(0, MYSQL_Init(&m));
    unsigned int code = MYSQL_ErrorNumber();
    EXPECT_TRUE(code == 2002 || code == 2003) << code;
    ZTData_ServerName(server, sizeof server);
    EXPECT_EQ("127.0.0.2:" + std::to_string(ClosedPort()), server);
    MYSQL_Terminal();
    EXPECT_EQ(0u, TestBoxes_Count());
}

// Another session holds a house's row.  A follow-up on that house adds rows
// only: when the lock is not granted in time it runs again and is stored
// once.  A save of the house writes a form's values: it is refused with its
// own message and nothing of it is stored.
TEST(ServerList, AChangeRefusedForAnotherSessionsLockRunsAgainOnlyWhenSafe)
{
    TestBoxes_Reset();
    ASSERT_NE(nullptr, TestDb_Open("kelmora_t_conflict"));
    TestDb_Exec("set global innodb_lock_wait_timeout = 1");
    TestDb_Close();
    ASSERT_EQ(1, MYSQL_Init(TestDb_Settings()));   // a session with the short wait
    TestDb_Exec("insert into t_house (iEst, szBuildNO, szHouseNO, szTrade, szRemark, iEmp, iBr)"
                " values (1, '1', '101', '出售', 'before', 1, 1)");
    int key = atoi(TestDb_Scalar("select max(iOrdinal) from t_house").c_str());
    tagHOUSE* list = nullptr;
    int n = 0;
    ASSERT_NE(nullptr, FD_Sct_Hou(0, &list, &n, ("iOrdinal = " + std::to_string(key)).c_str(), 0, nullptr, nullptr));
    ASSERT_EQ(1, n);
    tagHOUSE house = list[0];
    Mem_Free_Hou(list);

    long retried0 = 0, reported0 = 0, retried = 0, reported = 0;
    ZTData_ConflictCounts(&retried0, &reported0);
    auto hold = [&](DWORD ms) {
        TestDb_Exec("start transaction");
        TestDb_Query("select iOrdinal from t_house where iOrdinal = " + std::to_string(key) + " for update");
        return CreateThread(nullptr, 0, RollbackLater, (LPVOID)(DWORD_PTR)ms, 0, nullptr);
    };
    auto join = [](HANDLE h) {
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
    };

    // Held for 1.6 s: the first attempt waits 1 s in vain, the second gets it.
    HANDLE release = hold(1600);
    tagFOLLOW f = {};
    f.iHou = key;
    f.iEmp = 1;
    f.iBr = 1;
    strcpy(f.szWay, "电话");
    strcpy(f.szContent, "held house");
    EXPECT_EQ(1, FD_Ist_Follow(1, &f));
    join(release);
    EXPECT_EQ(1, TestDb_Count("t_follow where szContent = 'held house'")) << "stored once";
    EXPECT_EQ(std::to_string(f.iOrdinal), TestDb_Scalar("select iOrdinal from t_follow where szContent = 'held house'"));
    EXPECT_EQ(1, TestDb_Count("t_log where iObjType = 7 and iAct = 3 and iObjID = " + std::to_string(f.iOrdinal)));
    ZTData_ConflictCounts(&retried, &reported);
    EXPECT_GE(retried - retried0, 1);
    EXPECT_EQ(reported0, reported);
    EXPECT_EQ(0u, TestBoxes_Count());

    // Held for 1.6 s again: the save is not tried a second time.
    release = hold(1600);
    tagHOUSE edited = house;
    strcpy(edited.szRemark, "after");
    EXPECT_EQ(0, FD_Upd_Hou(1, &house, &edited));
    join(release);
    EXPECT_EQ("before", TestDb_Scalar("select szRemark from t_house where iOrdinal = " + std::to_string(key)));
    EXPECT_EQ(0, TestDb_Count("t_log where iObjType = 0 and iAct = 2 and iObjID = " + std::to_string(key)));
    ZTData_ConflictCounts(nullptr, &reported);
    EXPECT_EQ(reported0 + 1, reported);
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kConflict, boxes[0].text);
    EXPECT_EQ("操作失败", boxes[0].caption);
    // Saved again once the other session is done, it is stored.
    EXPECT_EQ(1, FD_Upd_Hou(1, &house, &edited));
    EXPECT_EQ("after", TestDb_Scalar("select szRemark from t_house where iOrdinal = " + std::to_string(key)));

    TestDb_Exec("set global innodb_lock_wait_timeout = 50");
    TestDb_Close();
}
