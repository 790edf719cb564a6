// The program's account on the server and its config.ini.
#include "db/dbtool.h"
#include "cipher/cipher.h"
#include "common/servers.h"

#include <cstdlib>
#include <cstring>

const char* const kDbToolDeleteTables[] = {
    // purged from the recycle bin
    "t_follow", "t_estate", "t_buildno", "t_param", "t_urban", "t_district", "t_branch", "t_employee", "t_position",
    // rows that go with them or are removed on their own
    "t_popedom", "t_recyle", "t_log", "t_remind", "t_reminddated",
    // a client's telephones are written anew with each save
    "t_clienttel",
};
const size_t kDbToolDeleteTableCount = sizeof kDbToolDeleteTables / sizeof kDbToolDeleteTables[0];

static std::string QuotedName(const std::string& name)
{
    std::string q = "`";
    for (char c : name)
        q += c == '`' ? std::string("``") : std::string(1, c);
    return q + "`";
}

// The tables of the delete list the database has (a database without the
// schema has none; the grant on a missing table would be refused).
static bool DeleteTablesPresent(MYSQL* conn, const std::string& database, std::vector<std::string>* out,
                                std::string* err)
{
    std::string q = "select lower(table_name) from information_schema.tables where table_schema = " +
                    DbTool_Quote(conn, database);
    if (mysql_query(conn, q.c_str()) != 0) {
        *err = std::string("reading the tables: ") + mysql_error(conn);
        return false;
    }
    std::vector<std::string> have;
    if (MYSQL_RES* r = mysql_store_result(conn)) {
        while (MYSQL_ROW row = mysql_fetch_row(r))
            if (row[0])
                have.push_back(row[0]);
        mysql_free_result(r);
    }
    for (size_t i = 0; i < kDbToolDeleteTableCount; ++i)
        for (const std::string& t : have)
            if (t == kDbToolDeleteTables[i])
                out->push_back(t);
    return true;
}

// The program's rights on the database for one account ("'u'@'h'").
static std::string ProgramGrants(const std::string& qdb, const std::string& who,
                                 const std::vector<std::string>& deleteTables)
{
    std::string sql = "GRANT SELECT, INSERT, UPDATE ON " + qdb + ".* TO " + who + ";";
    for (const std::string& t : deleteTables)
        sql += "GRANT DELETE ON " + qdb + "." + t + " TO " + who + ";";
    return sql;
}

bool DbTool_Account(MYSQL* conn, const std::string& database, const std::string& user,
                    const std::string& password, const std::vector<std::string>& hosts, bool requireSsl,
                    std::string* err)
{
    std::vector<std::string> patterns = hosts;
    if (patterns.empty())
        patterns.push_back("127.0.0.1");
    std::string u = DbTool_Quote(conn, user), p = DbTool_Quote(conn, password), sql;
    std::string qdb = QuotedName(database);
    std::vector<std::string> deleteTables;
    if (!DeleteTablesPresent(conn, database, &deleteTables, err))
        return false;
    for (const std::string& h : patterns) {
        if (h.empty()) {
            *err = "an empty host pattern";
            return false;
        }
        std::string who = u + "@" + DbTool_Quote(conn, h);
        sql += "CREATE USER IF NOT EXISTS " + who + " IDENTIFIED BY " + p + ";";
        sql += "ALTER USER " + who + " IDENTIFIED BY " + p + (requireSsl ? " REQUIRE SSL;" : " REQUIRE NONE;");
        sql += "REVOKE ALL PRIVILEGES, GRANT OPTION FROM " + who + ";";
        sql += ProgramGrants(qdb, who, deleteTables);
    }
    return DbTool_Exec(conn, sql, err);
}

bool DbTool_NarrowAccounts(MYSQL* conn, const std::string& database, int* pNarrowed, std::string* err)
{
    *pNarrowed = 0;
    // Accounts with a right on the database beyond select, insert, update
    // (the table-level deletes are not database-level rights).
    std::string self;
    if (mysql_query(conn, "select current_user()") == 0) {
        if (MYSQL_RES* r = mysql_store_result(conn)) {
            MYSQL_ROW row = mysql_fetch_row(r);
            std::string cu = row && row[0] ? row[0] : "";
            size_t at = cu.rfind('@');
            if (at != std::string::npos)
                self = "'" + cu.substr(0, at) + "'@'" + cu.substr(at + 1) + "'";
            mysql_free_result(r);
        }
    }
    std::string q = "select distinct grantee from information_schema.SCHEMA_PRIVILEGES where table_schema = " +
                    DbTool_Quote(conn, database) + " and privilege_type not in ('SELECT', 'INSERT', 'UPDATE')";
    if (mysql_query(conn, q.c_str()) != 0) {
        *err = std::string("reading the accounts' rights: ") + mysql_error(conn);
        return false;
    }
    std::vector<std::string> grantees;
    if (MYSQL_RES* r = mysql_store_result(conn)) {
        while (MYSQL_ROW row = mysql_fetch_row(r))
            if (row[0] && self != row[0])
                grantees.push_back(row[0]);
        mysql_free_result(r);
    }
    std::string qdb = QuotedName(database), sql;
    std::vector<std::string> deleteTables;
    if (!DeleteTablesPresent(conn, database, &deleteTables, err))
        return false;
    for (const std::string& who : grantees) {
        // The grantee reads as 'user'@'host', already quoted by the server.
        sql += "REVOKE ALL PRIVILEGES ON " + qdb + ".* FROM " + who + ";";
        sql += ProgramGrants(qdb, who, deleteTables);
    }
    if (!sql.empty() && !DbTool_Exec(conn, sql, err))
        return false;
    *pNarrowed = (int)grantees.size();
    return true;
}

bool DbTool_ConfigText(const DbToolConfig& c, std::string* text, std::string* fault)
{
    auto refuse = [&](const std::string& why) {
        *fault = why;
        return false;
    };
    if (c.user.empty() || c.user.size() > 32)
        return refuse("the account name must have 1 to 32 bytes");
    if (c.password.size() > kDbToolMaxPassword)
        return refuse("the password has " + std::to_string(c.password.size()) +
                      " bytes; config.ini holds at most 16: choose a shorter one (and give the account that one)");
    if (c.database.empty() || c.database.size() > 32)
        return refuse("the database name must have 1 to 32 bytes");
    if (c.port.empty() || c.port.size() > 5 || c.port.find_first_not_of("0123456789") != std::string::npos ||
        atoi(c.port.c_str()) > 65535)
        return refuse("the port must be a number from 0 to 65535");
    if (c.host.empty() || (c.host.size() > 37 && c.host.find(',') == std::string::npos &&
                           c.host.find(':') == std::string::npos))
        return refuse("the host must have 1 to 37 characters");
    // Several servers, tried in order: "host[:port],host[:port],...".
    ZT_SERVER servers[ZT_MAX_SERVERS];
    int bad = 0, entry = 0;
    int nServers = ZT_ParseServers(c.host.c_str(), atoi(c.port.c_str()), servers, &bad, &entry);
    if (!nServers) {
        static const char* const kWhy[] = {"", "is empty", "has a host over 37 characters",
                                           "has a port that is not 1 to 65535", "is one too many (at most 8)",
                                           "ends beyond the 255 characters the list may have"};
        return refuse("server " + std::to_string(entry) + " of the host list " +
                      kWhy[bad > 0 && bad <= 5 ? bad : 0]);
    }
    if (c.sslCa.size() > 259)
        return refuse("the CA file's path must have at most 259 characters");
    for (const std::string* v : {&c.user, &c.password, &c.database, &c.host, &c.sslCa})
        if (v->find_first_of("\r\n") != std::string::npos)
            return refuse("a value holds a line break");

    // The server password is stored enciphered; the program deciphers it.
    char pwd[300] = {0};
    memcpy(pwd, c.password.data(), c.password.size());
    CipherPwd(".", pwd, CIPHER_ENCODE);
    std::string t;
    t += "[SOFT]\r\nINITIALIZE=1\r\nREMIND1=7\r\nREMIND2=30\r\n";
    t += "[SERVER]\r\nHOST=" + c.host + "\r\nUID=" + c.user + "\r\nPWD=" + pwd + "\r\nDATABASE=" + c.database +
         "\r\nCHARSET=gbk\r\nPORT=" + c.port + "\r\n";
    t += "READ_TIMEOUT=30\r\nWRITE_TIMEOUT=30\r\nCONNECT_TIMEOUT=5\r\n";
    // A server off this machine is reached encrypted unless plain text is
    // asked for (--no-ssl), and then the file says so.
    bool bOff = false;
    for (int i = 0; i < nServers; ++i)
        bOff = bOff || !ZT_IsLoopback(servers[i].szHost);
    bool bSsl = c.ssl || !c.sslCa.empty() || (bOff && !c.plain);
    if (bOff && !bSsl)
        t += "; the connection to the database crosses the network in plain text: set SSL=1 (see kelmora-db tls)\r\n";
    t += std::string("SSL=") + (bSsl ? "1" : "0") + "\r\nSSL_CA=" + c.sslCa + "\r\n";
    *text = t;
    return true;
}
