// Setting up a Kelmora database: the schema, the seed data of a new
// database, the demo data set and generated data for benchmarks.  Used by
// the kelmora-db tool and by the tests.  Every function works on a
// connection already opened on the target database (character set gbk).
#pragma once
#include "data/mysql_api.h"
#include <string>
#include <vector>

// Creates every table.  false with a message in *err on failure.
bool DbTool_CreateSchema(MYSQL* conn, std::string* err);
// Brings the tables of a database made by an earlier schema up to this one
// (columns widened since, tables added since).  Harmless on a current
// database.
bool DbTool_Upgrade(MYSQL* conn, std::string* err);
// Seed data of a new database: administrator (key 1, password "482913"),
// permission presets, first branch and positions, system options, company
// row and the parameter vocabulary.
bool DbTool_Seed(MYSQL* conn, std::string* err);
// The parameter vocabulary (part of the seed).
bool DbTool_SeedParameters(MYSQL* conn, std::string* err);
// Demo data: cities, urban areas, districts, estates with buildings,
// employees in two branches, houses, clients, follow-ups, reminders.
bool DbTool_Demo(MYSQL* conn, std::string* err);
// The demo data set grown to nHouses houses: the demo data, then generated
// houses (with clients and follow-ups in proportion) over the demo's staff
// and estates.
bool DbTool_DemoAtScale(MYSQL* conn, int nHouses, std::string* err);
// The demo data set grown to nClients clients: the demo data, then
// generated clients (a follow-up on every second one) over the demo's staff.
bool DbTool_DemoClientsAtScale(MYSQL* conn, int nClients, std::string* err);
// Bench data: nHouses generated houses (with clients and follow-ups in
// proportion), nEstates estates, nParamValues parameter values.
bool DbTool_BenchHouses(MYSQL* conn, int nHouses, std::string* err);
// Bench data: nClients generated clients over the staff present.
bool DbTool_BenchClients(MYSQL* conn, int nClients, std::string* err);
bool DbTool_BenchDictionaries(MYSQL* conn, int nEstates, int nParamValues, std::string* err);

// The program's account USER (with PASSWORD) on the database, allowed to
// connect from each host pattern given ("127.0.0.1", "192.168.1.%"; none:
// 127.0.0.1 only), each with only what the program does: SELECT, INSERT
// and UPDATE on the database's tables, DELETE on the tables the program
// deletes rows from (DbTool_DeleteTables), and nothing else anywhere: no
// DDL, no GRANT, no other database.  An account that exists gets the
// password and loses every other right it had.  requireSsl lets it connect
// only encrypted (REQUIRE SSL), otherwise REQUIRE NONE.  The tables must
// exist (the schema is made first).
bool DbTool_Account(MYSQL* conn, const std::string& database, const std::string& user,
                    const std::string& password, const std::vector<std::string>& hosts, bool requireSsl,
                    std::string* err);

// The program's config.ini for a server account: the password enciphered
// as the program reads it.  Refused (false, the reason in *fault) when a
// value does not fit what the program reads: account and database 1-32
// bytes, password at most 16 bytes (it is never cut), port 0-65535, host
// 1-37 characters or a list of servers "host[:port],..." (at most 8, 255
// characters), CA file at most 259; or a value holds a line break.
enum { kDbToolMaxPassword = 16 };
struct DbToolConfig {
    std::string user, password, database, port, host = "127.0.0.1", sslCa;
    bool ssl = false;
    bool plain = false;   // a server off this machine reached without encryption, asked for
};
// SSL=1 is written for --ssl, a CA file, or any server off this machine
// (unless plain is asked for: then the file says the connection is plain).
bool DbTool_ConfigText(const DbToolConfig& c, std::string* text, std::string* fault);

// ---- Certificates for encrypted connections (kelmora-db tls) --------------------

// Runs the openssl command with args in the folder dir and returns its exit
// status (-1: it could not be started), its output and error output in
// *output.
typedef int (*DbToolRunner)(const std::string& openssl, const std::string& dir,
                            const std::vector<std::string>& args, std::string* output);
struct DbToolTlsRequest {
    std::string dir;                  // the folder of the files (made when missing)
    std::vector<std::string> names;   // the server's names and addresses besides this machine's host name
    std::string openssl;              // the openssl command; "" finds it
};
struct DbToolTlsResult {
    std::string text;                 // what to do with the files, for the administrator
    std::vector<std::string> names;   // the names the server's certificate carries
    std::string ca, caKey, cert, key; // the files, named as the server's configuration names them
    std::string clientCa;             // the CA file, named as config.ini's SSL_CA names it here
    bool caKept = false;              // the folder's CA signed the new certificate
    bool serverReplaced = false;      // an earlier certificate of the server was replaced
};
// Makes in req.dir the agency's CA (ca-key.pem, ca.pem) and a certificate
// of the server signed by it (server-key.pem, server-cert.pem) naming this
// machine's host name and req.names (addresses as IP names), through the
// openssl command (run, or the platform's runner when null).  A CA already
// in the folder is kept and signs the new certificate; a CA key without
// its certificate (or the reverse) is refused.  The keys are readable only
// by their owner.  false with the reason in *err, the folder's earlier
// files as they were.
bool DbTool_Tls(const DbToolTlsRequest& req, DbToolTlsResult* res, std::string* err, DbToolRunner run = nullptr);

// Runs a statement or ";"-separated batch, reading every result.
// The tables the program deletes rows from.  Houses and clients are never
// among them: a purge marks them deleted.
extern const char* const kDbToolDeleteTables[];
extern const size_t kDbToolDeleteTableCount;
// Narrows every account that holds more than the program's rights on the
// database itself (such as ALL PRIVILEGES from an earlier "account") to the
// program's rights; the account running it and accounts whose rights are
// global (owners, root) are left as they are.  *pNarrowed gets how many.
bool DbTool_NarrowAccounts(MYSQL* conn, const std::string& database, int* pNarrowed, std::string* err);
bool DbTool_Exec(MYSQL* conn, const std::string& sql, std::string* err);
// Text value escaped for the connection, between single quotes.
std::string DbTool_Quote(MYSQL* conn, const std::string& value);

// The administrator's initial password and the full right-code text.
extern const char kAdminInitialPassword[];
extern const char kAllRightCodes[];
// The presets of the grant page ("经理权限", "业务员权限") as seeded.
extern const char kManagerPreset[];
extern const char kSalesmanPreset[];
