#include "tests/support/db_fixture.h"
#include "db/dbtool.h"
#include <algorithm>

void DbFix_OpenDemo(const char* dbName)
{
    ASSERT_NE(TestDb_Open(dbName), nullptr);
    std::string err;
    ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
}

// ---- A table's rows ------------------------------------------------------------

DbRows DbFix_Rows(const std::string& table, const std::string& where)
{
    return TestDb_Query("select * from " + table + (where.empty() ? "" : " where " + where) + " order by iOrdinal");
}

static std::string Joined(const std::vector<std::string>& row)
{
    std::string s;
    for (size_t i = 0; i < row.size(); i++)
        s += (i ? "|" : "") + row[i];
    return s;
}

std::vector<std::string> DbFix_Diff(const DbRows& before, const DbRows& after)
{
    std::vector<std::string> out;
    for (const auto& row : before)
        if (std::find(after.begin(), after.end(), row) == after.end())
            out.push_back("- " + Joined(row));
    for (const auto& row : after)
        if (std::find(before.begin(), before.end(), row) == before.end())
            out.push_back("+ " + Joined(row));
    return out;
}

// ---- The server at a point -------------------------------------------------------

void KillServer()
{
    std::string dir = TestEnv("ZT_TEST_DB_DATADIR");
    // The server this test run started: its PID file is in its data folder.
    EXPECT_EQ(0, TestShell("pid=$(cat '" + dir + "/mariadbd.pid') && kill -9 \"$pid\" && "
                           "while kill -0 \"$pid\" 2>/dev/null; do sleep 0.1; done"));
}

static void SignalServer(const char* sig)
{
    std::string dir = TestEnv("ZT_TEST_DB_DATADIR");
    EXPECT_EQ(0, TestShell(std::string("kill -") + sig + " \"$(cat '" + dir + "/mariadbd.pid')\""));
}

void PauseServer()
{
    SignalServer("STOP");
}

void ResumeServer()
{
    SignalServer("CONT");
}

Gate::Gate(const char* table, const char* event)
{
    TestDb_Exec("drop trigger if exists zt_gate");
    TestDb_Exec(std::string("create trigger zt_gate before ") + event + " on " + table +
                " for each row set @zt_gate = get_lock('zt_gate', 60)");
    TestDb_AllowTriggers(table);
    EXPECT_EQ("1", TestDb_Scalar("select get_lock('zt_gate', 0)"));
}

Gate::~Gate()
{
    Open();
    TestDb_Exec("drop trigger if exists zt_gate");
}

void Gate::Open()
{
    TestDb_Query("select release_lock('zt_gate')");
}

std::string Gate::Reached()
{
    for (int i = 0; i < 400; ++i) {
        // (Inside the trigger the session runs as the trigger's definer, so
        // it is known by what it waits for, not by its user.)
        std::string id = TestDb_Scalar("select id from information_schema.processlist"
                                       " where state = 'User lock' and info like '%zt_gate%'");
        if (!id.empty())
            return id;
        Sleep(50);
    }
    return "";
}

static DWORD WINAPI WorkerBody(LPVOID p)
{
    Worker* w = static_cast<Worker*>(p);
    w->result = w->call();
    return 0;
}

void Worker_Start(Worker& w)
{
    w.thread = CreateThread(nullptr, 0, WorkerBody, &w, 0, nullptr);
}

int Worker_Join(Worker& w)
{
    if (!w.thread)
        return -99;
    DWORD waited = WaitForSingleObject(w.thread, 20000);
    EXPECT_EQ(WAIT_OBJECT_0, waited) << "the call did not end";
    if (waited == WAIT_OBJECT_0) {
        CloseHandle(w.thread);
        w.thread = nullptr;
    }
    return w.result;
}

int CutAtGate(Gate& gate, std::function<int()> call, std::function<void(const std::string&)> cut)
{
    Worker w;
    w.call = call;
    Worker_Start(w);
    std::string id = gate.Reached();
    EXPECT_NE("", id) << "the change never reached the gate";
    if (id.empty()) {
        gate.Open();
        Worker_Join(w);
        return -99;
    }
    if (cut)
        cut(id);
    else
        TestDb_Exec("kill connection " + id);
    return Worker_Join(w);
}

// ---- A commit whose answer is lost ------------------------------------------------

void DbFix_HoldCommits()
{
    TestDb_Exec("set global binlog_commit_wait_count = 2; set global binlog_commit_wait_usec = 3000000");
}

void DbFix_ReleaseCommits()
{
    TestDb_Exec("set global binlog_commit_wait_count = 0; set global binlog_commit_wait_usec = 100000");
}

std::string DbFix_KillAtCommit(int tries)
{
    std::string id;
    for (int i = 0; i < tries && id.empty(); ++i) {
        id = TestDb_Scalar("select id from information_schema.processlist where user = 'kelmora' and info = 'commit'");
        if (id.empty())
            Sleep(10);
    }
    EXPECT_NE("", id);
    if (!id.empty())
        TestDb_Exec("kill connection " + id);
    return id;
}

void DbFix_CommitSettled()
{
    Sleep(3500);
}
