// The connection core: opening, the login check, password reset, the error
// log, reconnection with its prompt, escaping and concurrent use.
#include "tests/support/test_support.h"
#include "cipher/cipher.h"
#include "cipher/password.h"
#include "data/test_hooks.h"
#include "data/ZTData.h"
#include "data/organisation.h"

#include <atomic>
#include <cstring>
#include <regex>
#include <vector>

namespace {

std::string Stored(const char* plain)
{
    char buf[300] = {0};
    strncpy(buf, plain, 120);
    CipherPwd(".", buf, CIPHER_ENCODE);
    return buf;
}

std::string Hex(const unsigned char* p, size_t n)
{
    std::string s;
    char two[3];
    for (size_t i = 0; i < n; ++i) {
        snprintf(two, sizeof two, "%02x", p[i]);
        s += two;
    }
    return s;
}

std::vector<std::string> ErrLogLines()
{
    std::vector<std::string> lines;
    std::string all = TestReadFile("errlog.log");
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(all.substr(pos));
            break;
        }
        lines.push_back(all.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::vector<std::string> notes;
WPARAM lastW = 0;

LRESULT CALLBACK OwnerProc(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_DB_ERROR) {
        lastW = w;
        notes.push_back((const char*)l);
        return 0;
    }
    return DefWindowProcA(h, msg, w, l);
}

struct Work {
    const std::string* pwd = nullptr;
    std::atomic<int> good{0}, bad{0};
};

DWORD WINAPI ThreadBody(LPVOID p)
{
    Work* w = static_cast<Work*>(p);
    for (int i = 0; i < 150; ++i) {
        if (FD_LG_Check(1, w->pwd->c_str()) == 1)
            ++w->good;
        else
            ++w->bad;
    }
    return 0;
}

class Connection : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(nullptr, TestDb_Open("kelmora_t_core")); }
    void SetUp() override { TestBoxes_Reset(); }
};

} // namespace

TEST(ConnectionInit, ClosedLoopbackPortFailsCleanlyWithOneErrorLine)
{
    TestBoxes_Reset();
    size_t before = ErrLogLines().size();
    static tagZT_SQL_MATION m;
    memset(&m, 0, sizeof m);
    strcpy(m.szUser, "kelmora");
    strcpy(m.szHost, "127.0.0.1");
    strcpy(m.szDatabase, "kelmora");
    strcpy(m.szCharset, "gbk");
    // A port nobody listens on: bind a listener, learn its port, close it.
    m.iPort = 1;
    m.iConnectTimeout = 2;
    EXPECT_EQ(0, MYSQL_Init(&m));
    auto lines = ErrLogLines();
    ASSERT_EQ(before + 1, lines.size());
    // "YYYY-MM-DD hh:mm:ss<TAB>错误码:  2002<TAB>错误说明:..." with the code in six characters.
    std::regex shape("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\t\xB4\xED\xCE\xF3\xC2\xEB:[ 0-9]{6}\t\xB4\xED\xCE\xF3\xCB\xB5\xC3\xF7:.+$");
    EXPECT_TRUE(std::regex_match(lines.back(), shape)) << lines.back();
    EXPECT_NE(std::string::npos, lines.back().find("  200")) << lines.back();
    EXPECT_EQ(0u, TestBoxes_Count());
    // Without a connection the login check cannot be made.
    EXPECT_EQ(-1, FD_LG_Check(1, Stored("482913").c_str()));
    MYSQL_Terminal();
}

TEST_F(Connection, LoginCheckCountsMatchesAndLogsEveryAttemptByItsOutcome)
{
    long long logins = TestDb_Count("t_log where iAct = 4 and iObjType = 12 and iObjID = 1 and iOpEmp = 1");
    long long failed = TestDb_Count("t_log where iAct = 12 and iObjType = 12 and iObjID = 1 and iOpEmp = 1");
    EXPECT_EQ(1, FD_LG_Check(1, Stored("482913").c_str()));
    EXPECT_EQ("用户登录", TestDb_Scalar("select szValue from t_log where iObjType = 12 order by iOrdinal desc limit 1"));
    EXPECT_EQ(0, FD_LG_Check(1, Stored("000000").c_str()));
    EXPECT_EQ(0, FD_LG_Check(999, Stored("482913").c_str()));
    // The wrong password a failed login of the employee tried, not a login.
    EXPECT_EQ(logins + 1, TestDb_Count("t_log where iAct = 4 and iObjType = 12 and iObjID = 1 and iOpEmp = 1"));
    EXPECT_EQ(failed + 1, TestDb_Count("t_log where iAct = 12 and iObjType = 12 and iObjID = 1 and iOpEmp = 1"));
    EXPECT_EQ(1, TestDb_Count("t_log where iAct = 12 and iObjID = 999"));
    EXPECT_EQ("登录失败: 密码错误", TestDb_Scalar("select szValue from t_log where iObjType = 12 order by iOrdinal desc limit 1"));
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(Connection, LoginCheckIgnoresRecycleFlag)
{
    TestDb_Exec("update t_employee set bRecyle = 1 where iOrdinal = 1");
    EXPECT_EQ(1, FD_LG_Check(1, Stored("482913").c_str()));
    TestDb_Exec("update t_employee set bRecyle = 0 where iOrdinal = 1");
}

TEST_F(Connection, PasswordsAreStoredAsSaltedHashesAndAnOldOneBecomesOneAtItsLogin)
{
    // The platform's PBKDF2-HMAC-SHA256 against the published vectors.
    unsigned char key[32];
    const unsigned char salt[] = {'s', 'a', 'l', 't'};
    ASSERT_EQ(1, Pwd_Derive("password", salt, 4, 1, key, 32));
    EXPECT_EQ("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b", Hex(key, 32));
    ASSERT_EQ(1, Pwd_Derive("password", salt, 4, 4096, key, 32));
    EXPECT_EQ("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a", Hex(key, 32));

    // The seed's password as its hash: each one salted anew; a text altered
    // in one digit or of another form opens nothing.
    std::string seeded = TestDb_Scalar("select szPwd from t_employee where iOrdinal = 1");
    EXPECT_EQ(1, Pwd_Verify("482913", seeded.c_str()));
    EXPECT_EQ(0, Pwd_Verify("482914", seeded.c_str()));
    std::string again = Pwd_Hash("482913");
    EXPECT_NE(seeded, again);
    EXPECT_EQ(1, Pwd_Verify("482913", again.c_str()));
    std::string altered = again;
    altered[altered.size() - 1] = altered.back() == '0' ? '1' : '0';
    EXPECT_EQ(0, Pwd_Verify("482913", altered.c_str()));
    EXPECT_EQ(0, Pwd_Verify("482913", Stored("482913").c_str()));
    char turned[600] = "";
    strncpy(turned, seeded.c_str(), sizeof turned - 1);
    CipherPwd(".", turned, CIPHER_DECODE);
    EXPECT_EQ(std::string(turned).find("482913"), std::string::npos) << "the reversible cipher gives nothing back";

    // An older database's enciphered password: a wrong one leaves it; the
    // right one logs in once and is then kept only as a hash.
    TestDb_Exec("update t_employee set szPwd = '" + Stored("lisi2024") + "' where iOrdinal = 1");
    EXPECT_EQ(0, FD_LG_Check(1, Stored("lisi2025").c_str()));
    EXPECT_EQ(Stored("lisi2024"), TestDb_Scalar("select szPwd from t_employee where iOrdinal = 1"));
    EXPECT_EQ(1, FD_LG_Check(1, Stored("lisi2024").c_str()));
    EXPECT_EQ(0, FD_LG_MustChange());
    std::string migrated = TestDb_Scalar("select szPwd from t_employee where iOrdinal = 1");
    EXPECT_EQ(1, Pwd_Verify("lisi2024", migrated.c_str())) << migrated;
    EXPECT_EQ(1, FD_LG_Check(1, Stored("lisi2024").c_str()));
    EXPECT_EQ(0, FD_LG_Check(1, Stored("lisi2025").c_str()));
    EXPECT_EQ(0, FD_LG_Check(1, migrated.c_str())) << "the stored text is not a password";

    // A reset: a hash, marked to be changed at the next login; the user's
    // own change clears the mark and checks the old password against the hash.
    EXPECT_EQ(1, FD_Pwd_Reset(1, 1, Stored("k7m2p9qa").c_str()));
    EXPECT_EQ("17", TestDb_Scalar("select iAct from t_log where iObjType = 4 and iObjID = 1 order by iOrdinal desc limit 1"));
    EXPECT_EQ("1", TestDb_Scalar("select bPwdChange from t_employee where iOrdinal = 1"));
    EXPECT_EQ(1, FD_LG_Check(1, Stored("k7m2p9qa").c_str()));
    EXPECT_EQ(1, FD_LG_MustChange());
    EXPECT_EQ(0, FD_Upd_Pwd(1, Stored("lisi2024").c_str(), Stored("mine1234").c_str()));
    EXPECT_EQ(1, FD_Upd_Pwd(1, Stored("k7m2p9qa").c_str(), Stored("mine1234").c_str()));
    EXPECT_EQ("0", TestDb_Scalar("select bPwdChange from t_employee where iOrdinal = 1"));
    EXPECT_EQ(1, FD_LG_Check(1, Stored("mine1234").c_str()));
    EXPECT_EQ(0, FD_LG_MustChange());
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("原始密码错误", boxes[0].text);
    TestBoxes_Reset();

    EXPECT_EQ(0, FD_Pwd_Reset(1, 4242, Stored("k7m2p9qa").c_str()));
    boxes = TestBoxes_Taken();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("修改密码出错.详细请错误日志", boxes[0].text);
    EXPECT_EQ("", boxes[0].caption);
    EXPECT_EQ((UINT)MB_OK, boxes[0].flags & MB_TYPEMASK);
    ASSERT_EQ(1, FD_Pwd_Reset(1, 1, Stored("482913").c_str()));
    TestDb_Exec("update t_employee set bPwdChange = 0");
}

TEST_F(Connection, HostileTextRoundTripsAndCannotAlterStatements)
{
    std::string hostile = HostileText();
    ASSERT_EQ(1, FD_Pwd_Reset(1, 1, hostile.c_str()));
    EXPECT_EQ(1, FD_LG_Check(1, hostile.c_str()));
    EXPECT_EQ(0, FD_LG_Check(1, "' or '1'='1"));
    EXPECT_EQ(0, FD_LG_Check(1, "\xD5\\' or 1=1 -- "));
    EXPECT_EQ("1", TestDb_Scalar("select count(*) from information_schema.tables where table_schema = database() and table_name = 't_log'"));
    // Enciphered under the old form, the hostile text is compared as a text.
    TestDb_Exec("update t_employee set szPwd = 'x'' or ''1''=''1' where iOrdinal = 1");
    EXPECT_EQ(0, FD_LG_Check(1, "' or '1'='1"));
    EXPECT_EQ("x' or '1'='1", TestDb_Scalar("select szPwd from t_employee where iOrdinal = 1"));
    EXPECT_EQ(1, FD_Pwd_Reset(1, 1, Stored("482913").c_str()));
    TestDb_Exec("update t_employee set bPwdChange = 0");
}

TEST_F(Connection, ServerErrorIsLoggedWithCodeRightAlignedAndOwnerNotified)
{
    // An owner window that records WM_DB_ERROR.
    WNDCLASSA wc = {};
    wc.lpszClassName = "KelmoraTestOwner";
    wc.lpfnWndProc = OwnerProc;
    RegisterClassA(&wc);
    HWND owner = CreateWindowA("KelmoraTestOwner", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    TestDb_Settings()->hOwner = owner;

    size_t before = ErrLogLines().size();
    TestDb_Exec("rename table t_employee to t_employee_away");
    // A server error is no wrong password: the check could not be made.
    EXPECT_EQ(-1, FD_LG_Check(1, Stored("482913").c_str()));
    EXPECT_EQ(0u, TestBoxes_Count());
    TestDb_Exec("rename table t_employee_away to t_employee");
    TestDb_Settings()->hOwner = nullptr;
    DestroyWindow(owner);

    auto lines = ErrLogLines();
    ASSERT_EQ(before + 1, lines.size());
    EXPECT_NE(std::string::npos, lines.back().find("\t错误码:  1146\t错误说明:")) << lines.back();
    ASSERT_EQ(1u, notes.size());
    EXPECT_EQ(1u, lastW);
    EXPECT_EQ(lines.back(), notes[0]);
}

TEST_F(Connection, BinaryLogNames)
{
    // The binary log's names are the server's, not the agency's data: the
    // program's account may not read them until it is given the right.
    char buf[MAX_PATH];
    EXPECT_EQ(nullptr, FD_GetLogName(buf, 0));
    TestDb_Exec("GRANT BINLOG MONITOR ON *.* TO 'kelmora'@'127.0.0.1'");
    TestDb_Close();
    ASSERT_TRUE(MYSQL_Init(TestDb_Settings()));
    auto master = TestDb_Query("Show master Status");
    ASSERT_EQ(1u, master.size()) << "the test server runs with its binary log on";
    ASSERT_EQ(buf, FD_GetLogName(buf, 0));
    EXPECT_EQ(master[0][0], buf);

    TestDb_Exec("FLUSH BINARY LOGS");
    TestDb_Exec("FLUSH BINARY LOGS");
    auto logs = TestDb_Query("SHOW BINARY LOGS");
    ASSERT_GE(logs.size(), 3u);
    ASSERT_EQ(buf, FD_GetLogName(buf, 1));
    EXPECT_EQ(logs[logs.size() - 2][0], buf);
}

TEST_F(Connection, AfterARestartTheNextOperationReconnectsSilentlyAndWorks)
{
    TestDb_ServerStop();
    TestDb_ServerStart();
    EXPECT_EQ(1, FD_LG_Check(1, Stored("482913").c_str()));
    TestDb_ServerStop();
    TestDb_ServerStart();
    EXPECT_EQ(1, FD_Pwd_Reset(1, 1, Stored("482913").c_str()));
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(Connection, ServerDownPromptsUntilNo)
{
    TestDb_ServerStop();
    TestBoxes_Answer(IDYES);   // reconnect at once: fails again, asks again
    TestBoxes_Answer(IDNO);    // give up for now
    EXPECT_EQ(-1, FD_LG_Check(1, Stored("482913").c_str()));
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(2u, boxes.size()) << "the login check leaves the telling to its caller";
    for (auto& b : boxes) {
        EXPECT_EQ("与数据服务器断开连接", b.caption);
        EXPECT_EQ("选择\"是\"重新连接\n选择\"否\"1分钟后重新连接\r建议确认服务器正常运行下,请选择\"是\"", b.text);
        EXPECT_EQ((UINT)MB_YESNO, b.flags & MB_TYPEMASK);
    }
    TestDb_ServerStart();
    TestBoxes_Reset();
    EXPECT_EQ(1, FD_LG_Check(1, Stored("482913").c_str()));
    EXPECT_EQ(0u, TestBoxes_Count());
}

// A server that stops answering (a frozen process: SIGSTOP) holds an
// operation for the connection check's own short time and a reconnection
// as short, no longer than CONNECT_TIMEOUT (5 s; statements wait up to the
// read time-out, 30 s); the operation's one box is the prompt.
TEST_F(Connection, AFrozenServerHoldsAnOperationNoLongerThanTheConnectTimeout)
{
    std::string pid = TestReadFile((TestEnv("ZT_TEST_DB_DATADIR") + "/mariadbd.pid").c_str());
    while (!pid.empty() && (pid.back() == '\n' || pid.back() == '\r'))
        pid.pop_back();
    ASSERT_FALSE(pid.empty());
    ASSERT_EQ(0, TestShell("kill -STOP " + pid));
    DWORD t0 = GetTickCount();
    tagBRLIST* list = nullptr;
    int n = 0;
    tagBRLIST* got = FD_Sct_BrList(&list, &n, 0);
    double took = (GetTickCount() - t0) / 1000.0;
    TestShell("kill -CONT " + pid);
    EXPECT_EQ(nullptr, got);
    EXPECT_LE(took, 5.0) << "the frozen server held the operation longer than CONNECT_TIMEOUT";
    TestBoxes_ExpectOne("选择\"是\"重新连接\n选择\"否\"1分钟后重新连接\r建议确认服务器正常运行下,请选择\"是\"",
                        "与数据服务器断开连接", MB_YESNO);
    // Going on, it answers the next operation at once.
    got = FD_Sct_BrList(&list, &n, 0);
    EXPECT_NE(nullptr, got);
    EXPECT_GT(n, 0);
    Mem_Free_BrList(got);
    EXPECT_EQ(0u, TestBoxes_Count());
}

// ---- The reconnection prompt: its owner, one at a time, failures told -----------

const char kPromptCaption[] = "与数据服务器断开连接";

struct Windows {
    HWND frame = nullptr, dialog = nullptr;
    Windows()
    {
        WNDCLASSA wc = {};
        wc.lpszClassName = "KelmoraTestWindow";
        wc.lpfnWndProc = DefWindowProcA;
        RegisterClassA(&wc);
        frame = CreateWindowA(wc.lpszClassName, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
        dialog = CreateWindowA(wc.lpszClassName, "dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 50, 50, 200, 100, frame,
                               nullptr, nullptr, nullptr);
        SetForegroundWindow(dialog);
        SetActiveWindow(dialog);
        Pump();
    }
    ~Windows()
    {
        TestDb_Settings()->hOwner = nullptr;
        DestroyWindow(frame);
        Pump();
    }
    static void Pump()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
};

DWORD WINAPI ResetOnAThread(LPVOID result)
{
    *static_cast<int*>(result) = FD_Pwd_Reset(1, 1, Stored("482913").c_str());
    return 0;
}

HANDLE StartReset(int* result)
{
    return CreateThread(nullptr, 0, ResetOnAThread, result, 0, nullptr);
}

TEST_F(Connection, ThePromptIsTheOperationsOneBoxAndBelongsToTheActiveWindow)
{
    Windows w;
    ASSERT_EQ(w.dialog, GetActiveWindow());
    TestDb_Settings()->hOwner = w.frame;
    TestDb_ServerStop();

    // On the window thread: its active window, the dialog over the frame.
    EXPECT_EQ(0, FD_Pwd_Reset(1, 1, Stored("482913").c_str()));
    // On a worker: the active window of the owner's thread.
    int result = -5;
    HANDLE h = StartReset(&result);
    WaitForSingleObject(h, 20000);
    CloseHandle(h);
    EXPECT_EQ(0, result);

    // "No" gives the operation up: its prompt was its one box.
    auto boxes = TestBoxes_Taken();
    ASSERT_EQ(2u, boxes.size());
    for (const TestBox& b : boxes) {
        EXPECT_EQ(kPromptCaption, b.caption);
        EXPECT_EQ(w.dialog, b.owner);
    }
    TestDb_ServerStart();
}

// The prompt hook holds the prompt open until the test answers it.
HANDLE g_promptShown, g_promptAnswered;
std::atomic<int> g_prompts, g_answer, g_failures;

int HoldingPrompt(HWND, const char*, const char* caption, UINT)
{
    if (strcmp(caption, kPromptCaption) != 0) {
        ++g_failures;
        return IDOK;
    }
    ++g_prompts;
    SetEvent(g_promptShown);
    WaitForSingleObject(g_promptAnswered, 20000);
    return g_answer;
}

TEST_F(Connection, OnePromptAtATimeAndEveryOneWaitsForItsAnswer)
{
    g_promptShown = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_promptAnswered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ZTData_SetMessageBoxHook(HoldingPrompt);
    for (int answer : {IDYES, IDNO}) {
        g_prompts = 0;
        g_failures = 0;
        g_answer = answer;
        ResetEvent(g_promptAnswered);
        TestDb_ServerStop();
        int first = -5, second = -5;
        HANDLE a = StartReset(&first);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_promptShown, 20000));
        HANDLE b = StartReset(&second);
        EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(b, 700)) << "the second operation waits for the answer";
        EXPECT_EQ(1, g_prompts.load());
        if (answer == IDYES)
            TestDb_ServerStart();
        SetEvent(g_promptAnswered);
        HANDLE both[2] = {a, b};
        EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 20000));
        CloseHandle(a);
        CloseHandle(b);
        EXPECT_EQ(1, g_prompts.load());
        if (answer == IDYES) {
            // Reconnected: both operations went on and succeeded.
            EXPECT_EQ(1, first);
            EXPECT_EQ(1, second);
            EXPECT_EQ(0, g_failures.load());
        } else {
            EXPECT_EQ(0, first);
            EXPECT_EQ(0, second);
            // Each failed operation says so once: the one that asked by
            // its prompt, the one that waited in a failure box.
            EXPECT_EQ(1, g_failures.load());
        }
    }
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    TestDb_ServerStart();
    CloseHandle(g_promptShown);
    CloseHandle(g_promptAnswered);
}

TEST_F(Connection, ConcurrentStatementsShareTheConnectionSafely)
{
    size_t errorsBefore = ErrLogLines().size();
    std::string pwd = Stored("482913");
    // A stored hash of one iteration (the count is part of the stored text):
    // the 600 checks test the shared connection, not the hash's cost.
    unsigned char salt[16] = {1, 2, 3}, key[32];
    ASSERT_EQ(1, Pwd_Derive("482913", salt, 16, 1, key, 32));
    std::string seeded = TestDb_Scalar("select szPwd from t_employee where iOrdinal = 1");
    TestDb_Exec("update t_employee set szPwd = '$pbkdf2-sha256$1$" + Hex(salt, 16) + "$" + Hex(key, 32) +
                "' where iOrdinal = 1");
    // The timer thread pings every few milliseconds meanwhile.
    ZTData_TestSetLivenessPeriod(3);
    Work work;
    work.pwd = &pwd;
    // Win32 threads: under Winelib only they may call the Windows API.
    HANDLE threads[4];
    for (auto& h : threads)
        h = CreateThread(nullptr, 0, ThreadBody, &work, 0, nullptr);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (auto& h : threads)
        CloseHandle(h);
    ZTData_TestSetLivenessPeriod(60000);
    TestDb_Exec("update t_employee set szPwd = '" + seeded + "' where iOrdinal = 1");
    EXPECT_EQ(600, work.good.load());
    EXPECT_EQ(0, work.bad.load());
    EXPECT_EQ(errorsBefore, ErrLogLines().size());
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(Connection, TimerFindsTheServerGoneAndPromptsOnItsOwnThread)
{
    TestDb_ServerStop();
    TestBoxes_Answer(IDNO);
    ZTData_TestSetLivenessPeriod(200);
    // No operation runs: the timer's ping fails, its reconnection fails and
    // it asks; after "No" it asks again on a later tick.
    for (int i = 0; i < 100 && TestBoxes_Count() < 2; ++i)
        Sleep(100);
    ZTData_TestSetLivenessPeriod(60000);
    Sleep(300);
    auto boxes = TestBoxes_Taken();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ("与数据服务器断开连接", boxes[0].caption);
    TestDb_ServerStart();
    TestBoxes_Reset();
    EXPECT_EQ(1, FD_LG_Check(1, Stored("482913").c_str()));   // reconnects and checks
}
