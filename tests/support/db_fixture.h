// The database side of a test: a throwaway database with the demo data set,
// a table's rows before and after, the server killed, stopped and let go on
// at the moment that matters, a statement held at a gate, a change run on a
// thread of its own, and a commit whose answer is lost.
#pragma once
#include "tests/support/test_support.h"

#include <functional>
#include <string>
#include <vector>

// Creates (or re-creates) the database of that name with the schema and the
// demo data set (what a new installation's "示例数据" loads) and connects
// ZTData to it.
void DbFix_OpenDemo(const char* dbName);

// ---- A table's rows ------------------------------------------------------------

using DbRows = std::vector<std::vector<std::string>>;
// Every column of the table's rows (optionally those a condition picks), in
// key order.
DbRows DbFix_Rows(const std::string& table, const std::string& where = "");
// What changed between two readings of a table: "- row" for a row that is
// gone or changed, "+ row" for one that came or changed (columns joined by
// '|'); empty when both hold the same rows.
std::vector<std::string> DbFix_Diff(const DbRows& before, const DbRows& after);

// ---- The server at a point -------------------------------------------------------

// Kills the test server outright (no shutdown: whatever it was doing is cut
// off); TestDb_ServerStart starts it again, recovering its tables.
void KillServer();
// Stops the test server's process where it stands (SIGSTOP: connections
// stay open and every statement waits) and lets it go on (SIGCONT).
void PauseServer();
void ResumeServer();

// A gate that the library's next statement of one kind on one table stops
// at: a trigger that waits for a user lock the test holds.  There the test
// cuts the change off half-way (kills the library's connection, or stops the
// server) and then looks at what the library said and what the table holds.
class Gate {
public:
    // event: "insert", "update" or "delete".
    Gate(const char* table, const char* event);
    ~Gate();
    // Server thread id of the library's connection once it waits at the
    // gate; "" when it did not arrive within 20 seconds.
    std::string Reached();
    // Lets the statement at the gate go on.
    void Open();
};

// Starts call on a thread of its own; Join waits for it (20 s at most) and
// returns its result (-99 if it did not end).
struct Worker {
    std::function<int()> call;
    int result = -99;
    HANDLE thread = nullptr;
};
void Worker_Start(Worker& w);
int Worker_Join(Worker& w);

// Runs call on a thread of its own (the library's connection is then busy
// at the gate), waits until the gate is reached and cuts the connection
// there with cut(thread id) (by default "kill connection"); returns what the
// call returned.  -99 when the gate was not reached.
int CutAtGate(Gate& gate, std::function<int()> call, std::function<void(const std::string&)> cut = nullptr);

// ---- A commit whose answer is lost ------------------------------------------------

// The server's group commit holds every commit for three seconds (so that
// one can be caught sent and unanswered) until the release.
void DbFix_HoldCommits();
void DbFix_ReleaseCommits();
// Waits (up to tries x 10 ms) until the library's connection has sent a
// commit and kills that connection before the answer; the connection's id,
// "" (and a failed check) when no commit came.
std::string DbFix_KillAtCommit(int tries);
// After the release: waits until a commit that was held is either stored or
// gone (the group commit's hold is over).
void DbFix_CommitSettled();
