#include "tests/support/test_support.h"
#include "cipher/cipher.h"
#include "db/dbtool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

// ---- Message boxes -----------------------------------------------------------

static std::mutex g_boxLock;
static std::vector<TestBox> g_boxes;
static std::deque<int> g_answers;

static int RecordBox(HWND owner, const char* text, const char* caption, UINT flags)
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_boxes.push_back(TestBox{owner, text, caption, flags});
    if (!g_answers.empty()) {
        int a = g_answers.front();
        g_answers.pop_front();
        return a;
    }
    UINT kind = flags & MB_TYPEMASK;
    if (kind == MB_YESNO || kind == MB_YESNOCANCEL)
        return IDNO;
    if (kind == MB_OKCANCEL)
        return IDCANCEL;
    return IDOK;
}

ZT_MSGBOX_HOOK TestBoxes_Hook() { return RecordBox; }

void TestBoxes_Reset()
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_boxes.clear();
    g_answers.clear();
}

void TestBoxes_Answer(int answer)
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    g_answers.push_back(answer);
}

std::vector<TestBox> TestBoxes_Taken()
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    return g_boxes;
}

size_t TestBoxes_Count()
{
    std::lock_guard<std::mutex> lock(g_boxLock);
    return g_boxes.size();
}

void TestBoxes_ExpectOnly(const std::string& text)
{
    std::vector<TestBox> boxes = TestBoxes_Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text);
}

void TestBoxes_ExpectOne(const char* text, const char* caption, UINT flags, UINT mask)
{
    std::vector<TestBox> boxes = TestBoxes_Taken();
    std::vector<std::string> shown;
    for (const TestBox& b : boxes)
        shown.push_back(b.text + "|" + b.caption);
    ASSERT_EQ(boxes.size(), 1u) << "boxes: " << ::testing::PrintToString(shown);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].flags & mask, flags & mask);
    TestBoxes_Reset();
}

// ---- Environment ---------------------------------------------------------------

std::string TestEnv(const char* name, const char* def)
{
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf)
        return def;
    return std::string(buf, n);
}

// ---- The test database ---------------------------------------------------------

static const char kTestUser[] = "kelmora";
static const char kTestPassword[] = "Kel#mora7";

static tagZT_SQL_MATION g_settings;
static std::string g_dbName;
static MYSQL* g_direct = nullptr;

static MYSQL* ConnectDirect(const char* db)
{
    MYSQL* c = mysql_init(nullptr);
    mysql_options(c, MYSQL_SET_CHARSET_NAME, "gbk");
#if defined(__WINE__)
    std::string sock = TestEnv("ZT_TEST_DB_SOCKET");
    const char* host = "localhost";
    unsigned int port = 0;
#else
    // A Windows program reaches the test server over TCP only.
    std::string sock;
    const char* host = "127.0.0.1";
    unsigned int port = (unsigned int)atoi(TestEnv("ZT_TEST_DB_PORT", "3306").c_str());
#endif
    if (!mysql_real_connect(c, host, "root", "", db, port, sock.empty() ? nullptr : sock.c_str(),
                            CLIENT_MULTI_STATEMENTS | CLIENT_FOUND_ROWS)) {
        ADD_FAILURE() << "direct connection to the test server failed: " << mysql_error(c);
        mysql_close(c);
        return nullptr;
    }
    return c;
}

static void DrainResults(MYSQL* c)
{
    do {
        MYSQL_RES* r = mysql_store_result(c);
        if (r)
            mysql_free_result(r);
    } while (mysql_next_result(c) == 0);
}

MYSQL* TestDb_Conn()
{
    if (g_direct && mysql_ping(g_direct) != 0) {
        mysql_close(g_direct);
        g_direct = nullptr;
    }
    if (!g_direct)
        g_direct = ConnectDirect(g_dbName.empty() ? nullptr : g_dbName.c_str());
    return g_direct;
}

void TestDb_Exec(const std::string& sql)
{
    MYSQL* c = TestDb_Conn();
    ASSERT_NE(c, nullptr);
    if (mysql_real_query(c, sql.data(), (unsigned long)sql.size()) != 0) {
        ADD_FAILURE() << "statement failed: " << mysql_error(c) << "\n" << sql;
        return;
    }
    DrainResults(c);
}

std::vector<std::vector<std::string>> TestDb_Query(const std::string& sql)
{
    std::vector<std::vector<std::string>> rows;
    MYSQL* c = TestDb_Conn();
    if (!c)
        return rows;
    if (mysql_real_query(c, sql.data(), (unsigned long)sql.size()) != 0) {
        ADD_FAILURE() << "query failed: " << mysql_error(c) << "\n" << sql;
        return rows;
    }
    MYSQL_RES* res = mysql_store_result(c);
    if (res) {
        unsigned int n = mysql_num_fields(res);
        while (MYSQL_ROW row = mysql_fetch_row(res)) {
            unsigned long* len = mysql_fetch_lengths(res);
            std::vector<std::string> r;
            for (unsigned int i = 0; i < n; ++i)
                r.push_back(row[i] ? std::string(row[i], len[i]) : std::string("<NULL>"));
            rows.push_back(r);
        }
        mysql_free_result(res);
    }
    DrainResults(c);
    return rows;
}

std::string TestDb_Scalar(const std::string& sql)
{
    auto rows = TestDb_Query(sql);
    if (rows.empty() || rows[0].empty())
        return "";
    return rows[0][0];
}

long long TestDb_Count(const std::string& sqlWhereTable)
{
    return atoll(TestDb_Scalar("select count(*) from " + sqlWhereTable).c_str());
}

tagZT_SQL_MATION* TestDb_Settings() { return &g_settings; }

MYSQL* TestDb_BareConnection()
{
    const tagZT_SQL_MATION* m = &g_settings;
    char pwd[sizeof m->szPwd];
    memcpy(pwd, m->szPwd, sizeof pwd);
    CipherPwd(".", pwd, CIPHER_DECODE);
    MYSQL* c = mysql_init(nullptr);
    if (!c)
        return nullptr;
    unsigned int connectTimeout = (unsigned int)m->iConnectTimeout, readTimeout = (unsigned int)m->iReadTimeout;
    if (connectTimeout > 0)
        mysql_options(c, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    if (readTimeout > 0)
        mysql_options(c, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    mysql_options(c, MYSQL_SET_CHARSET_NAME, m->szCharset);
    if (!mysql_real_connect(c, m->szHost, m->szUser, pwd, m->szDatabase, (unsigned int)m->iPort, nullptr,
                            CLIENT_FOUND_ROWS | CLIENT_INTERACTIVE | CLIENT_MULTI_STATEMENTS)) {
        fprintf(stderr, "bare connection: %s\n", mysql_error(c));
        mysql_close(c);
        return nullptr;
    }
    return c;
}

tagZT_SQL_MATION* TestDb_Open(const char* dbName, bool bSeed)
{
    TestDb_Close();
    if (g_direct) {
        mysql_close(g_direct);
        g_direct = nullptr;
    }
    g_dbName.clear();
    MYSQL* c = TestDb_Conn();
    if (!c)
        return nullptr;
    std::string db = dbName;
    std::string setup =
        "DROP DATABASE IF EXISTS `" + db + "`;"
        "CREATE DATABASE `" + db + "` DEFAULT CHARACTER SET gbk COLLATE gbk_chinese_ci;";
    TestDb_Exec(setup);
    mysql_select_db(c, db.c_str());
    g_dbName = db;
    std::string err;
    if (!DbTool_CreateSchema(c, &err)) {
        ADD_FAILURE() << "schema: " << err;
        return nullptr;
    }
    if (bSeed && !DbTool_Seed(c, &err)) {
        ADD_FAILURE() << "seed: " << err;
        return nullptr;
    }
    // The tests work as an agency past its first day: the administrator has
    // been through the change of his first password (the tests of the
    // first login set the mark again).
    if (bSeed)
        TestDb_Exec("update t_employee set bPwdChange = 0");
    // The library connects as the program does: through an account with
    // only the program's rights on this database.
    if (!DbTool_Account(c, db, kTestUser, kTestPassword, {"127.0.0.1"}, false, &err)) {
        ADD_FAILURE() << "account: " << err;
        return nullptr;
    }

    return TestDb_Attach(dbName) ? &g_settings : nullptr;
}

tagZT_SQL_MATION* TestDb_Attach(const char* dbName)
{
    std::string db = dbName;
    g_dbName = db;
    memset(&g_settings, 0, sizeof g_settings);
    g_settings.pszAppDir = ".";
    strcpy(g_settings.szUser, kTestUser);
    strcpy(g_settings.szPwd, kTestPassword);
    CipherPwd(".", g_settings.szPwd, CIPHER_ENCODE);
    strcpy(g_settings.szHost, "127.0.0.1");
    snprintf(g_settings.szDatabase, sizeof g_settings.szDatabase, "%s", db.c_str());
    strcpy(g_settings.szCharset, "gbk");
    g_settings.iPort = atoi(TestEnv("ZT_TEST_DB_PORT", "3306").c_str());
    g_settings.iConnectTimeout = 5;
    g_settings.iReadTimeout = 30;
    if (!MYSQL_Init(&g_settings)) {
        ADD_FAILURE() << "MYSQL_Init failed for the test database";
        return nullptr;
    }
    return &g_settings;
}

void TestDb_AllowTriggers(const char* table)
{
    TestDb_Exec(std::string("GRANT TRIGGER ON ") + table + " TO '" + kTestUser + "'@'127.0.0.1'");
}

void TestDb_Close()
{
    MYSQL_Terminal();
}

static void RunShell(const std::string& cmd)
{
    std::string out;
    int rc = TestShell(cmd + " 2>&1", &out);
    if (rc != 0)
        ADD_FAILURE() << "command failed (" << rc << "): " << cmd << "\n" << out;
}

// Whether the test server takes a connection over TCP, as the program
// reaches it.
static bool ServerAnswers()
{
    MYSQL* c = mysql_init(nullptr);
    unsigned int timeout = 2;
    mysql_options(c, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    unsigned int port = (unsigned int)atoi(TestEnv("ZT_TEST_DB_PORT", "3306").c_str());
    // A refusal by the server (codes below 2000) is an answer too.
    bool ok = mysql_real_connect(c, "127.0.0.1", "root", "", nullptr, port, nullptr, 0) != nullptr ||
              mysql_errno(c) < 2000;
    mysql_close(c);
    return ok;
}

void TestDb_ServerStop()
{
    if (g_direct) {
        mysql_close(g_direct);
        g_direct = nullptr;
    }
    RunShell(TestEnv("ZT_TEST_DBCTL") + " stop '" + TestEnv("ZT_TEST_DB_DATADIR") + "'");
}

void TestDb_ServerStart()
{
    RunShell(TestEnv("ZT_TEST_DBCTL") + " start '" + TestEnv("ZT_TEST_DB_DATADIR") + "' " +
             TestEnv("ZT_TEST_DB_PORT") + " " + TestEnv("ZT_TEST_DB_OPTS"));
    // A test goes on only once the server takes connections on its port.
    for (int i = 0; i < 300 && !ServerAnswers(); ++i)
        Sleep(100);
}

std::string TestReadFile(const char* path)
{
    std::string out;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
        out.append(buf, n);
    CloseHandle(h);
    return out;
}

std::string HostileText()
{
    // "O'Brien \"x\" \\ 100% _" followed by 诚 (D5 5C in GBK... see below)
    std::string s = "O'Brien \"q\" \\ 100% _ ";
    s += "\xD5\x5C";   // a GBK character whose trail byte is the backslash
    s += "\xB1\x5C";
    s += "'); drop table t_log; -- ";
    s += "\xC1\x5C'";
    return s;
}

HANDLE TestSelf_Start(const char* filter, const std::string& outFile)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
#if defined(__WINE__)
    std::string image = std::string(exe) + ".so";
#else
    std::string image = exe;
#endif
    std::string cmd = "\"" + image + "\" --gtest_also_run_disabled_tests --gtest_filter=" + filter;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileA(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                             0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    if (!ok)
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}
