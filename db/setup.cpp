// The program's account on the server and its config.ini.
#include "db/dbtool.h"
#include "cipher/cipher.h"
#include "common/servers.h"

#include <cstdlib>
#include <cstring>

bool DbTool_Account(MYSQL* conn, const std::string& database, const std::string& user,
                    const std::string& password, const std::vector<std::string>& hosts, bool requireSsl,
                    std::string* err)
{
    std::vector<std::string> patterns = hosts;
    if (patterns.empty())
        patterns.push_back("127.0.0.1");
    std::string u = DbTool_Quote(conn, user), p = DbTool_Quote(conn, password), sql;
    std::string qdb = "`";
    for (char c : database)
        qdb += c == '`' ? std::string("``") : std::string(1, c);
    qdb += "`";
    for (const std::string& h : patterns) {
        if (h.empty()) {
            *err = "an empty host pattern";
            return false;
        }
        std::string who = u + "@" + DbTool_Quote(conn, h);
        sql += "CREATE USER IF NOT EXISTS " + who + " IDENTIFIED BY " + p + ";";
        sql += "ALTER USER " + who + " IDENTIFIED BY " + p + (requireSsl ? " REQUIRE SSL;" : " REQUIRE NONE;");
        sql += "GRANT ALL PRIVILEGES ON " + qdb + ".* TO " + who + ";";
    }
    return DbTool_Exec(conn, sql, err);
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
    if (!ZT_ParseServers(c.host.c_str(), atoi(c.port.c_str()), servers, &bad, &entry)) {
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
    t += std::string("SSL=") + (c.ssl || !c.sslCa.empty() ? "1" : "0") + "\r\nSSL_CA=" + c.sslCa + "\r\n";
    *text = t;
    return true;
}
