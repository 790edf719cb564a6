// Shared pieces of the test programs: the private test database, direct SQL
// for arranging and checking rows, and the message-box recorder.
#pragma once
#include "tests/support/gtest_api.h"
#include "data/mysql_api.h"
#include "data/connection.h"

#include <string>
#include <vector>

// ---- Message boxes -----------------------------------------------------------

struct TestBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
};

// Every box shown by a module whose seam the recorder is installed on is
// recorded and answered with the next queued answer (IDOK when none is
// queued; IDNO when none is queued and the box asks Yes/No).
ZT_MSGBOX_HOOK TestBoxes_Hook();
void TestBoxes_Reset();
void TestBoxes_Answer(int answer);            // queue one answer
std::vector<TestBox> TestBoxes_Taken();       // boxes shown since the reset
size_t TestBoxes_Count();
// Expects exactly one box shown since the reset, with that text (the
// recorder keeps it).
void TestBoxes_ExpectOnly(const std::string& text);
// Expects exactly one box shown since the reset, with that text and caption
// and flags (the bits of mask compared: MB_TYPEMASK for the buttons only,
// ~0u for the whole word, 0 for none); then resets.
void TestBoxes_ExpectOne(const char* text, const char* caption, UINT flags = MB_OK, UINT mask = MB_TYPEMASK);

// ---- The test database ---------------------------------------------------------

// Environment of the test run (set by tools/test).
std::string TestEnv(const char* name, const char* def = "");

// Creates (or re-creates) a database of that name with the schema, seeds it
// when asked, and connects ZTData to it through the test account.  Returns
// the settings record ZTData keeps (valid for the whole program).
tagZT_SQL_MATION* TestDb_Open(const char* dbName, bool bSeed = true);
// Connects ZTData to a database another test process opened (a second desk
// on the same data), through the same test account; null when refused.
tagZT_SQL_MATION* TestDb_Attach(const char* dbName);
// Lets the test's triggers on a table of the current database fire for the
// library's account (the program's own account has no such right: a
// statement on a table with a trigger it may not run is refused).
void TestDb_AllowTriggers(const char* table);
// Disconnects ZTData (MYSQL_Terminal).
void TestDb_Close();
// The settings used for the current database (enciphered password inside).
tagZT_SQL_MATION* TestDb_Settings();

// A direct connection of the test (not ZTData's) to the current database.
MYSQL* TestDb_Conn();
// A new connection of the bare client library made exactly as ZTData makes
// its own from TestDb_Settings(): the same transport (TCP to the settings'
// host and port), account, charset, time-outs and client flags.  The caller
// closes it; null (and a line on stderr) when the server refused it.
MYSQL* TestDb_BareConnection();
// Runs a statement (or batch) directly; fails the test on a server error.
void TestDb_Exec(const std::string& sql);
// Rows of a select; NULL reads as "<NULL>".
std::vector<std::vector<std::string>> TestDb_Query(const std::string& sql);
// First column of the first row ("" when no row).
std::string TestDb_Scalar(const std::string& sql);
long long TestDb_Count(const std::string& sqlWhereTable);   // "t_log where ..." -> count(*)

// Stops and restarts the test server (for reconnection tests).
void TestDb_ServerStop();
void TestDb_ServerStart();

// Runs a command line of the host's shell (/bin/sh: the tests run on a Linux
// host, under Wine) in the current folder and returns its exit status; with
// output, what it printed on its standard output is stored there.
int TestShell(const std::string& cmd, std::string* output = nullptr);

// Starts this test program again as a second process running only the
// (disabled) test `filter` names, its output into `outFile`; the process
// handle (the caller closes it), or null.  The child inherits this
// process's environment: what it is to do goes there.
HANDLE TestSelf_Start(const char* filter, const std::string& outFile);

// Reads a text file of the work folder ("" when missing).
std::string TestReadFile(const char* path);

// A text with every byte that tries to break a statement: quotes, backslashes,
// "%", and GBK characters whose trail byte is 0x5C (like "\xD5\x5C").
std::string HostileText();
