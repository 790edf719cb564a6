// kelmora-db: sets up a Kelmora database and writes the program's config.ini.
//   kelmora-db [connection options] init          create the database, schema and seed (if empty);
//        on a database that exists, upgrade its tables and narrow accounts with more than the program's rights
//   kelmora-db [connection options] demo [N]      add the demo data set (grown to N houses)
//   kelmora-db [connection options] demo-clients N   add the demo data set grown to N clients
//   kelmora-db [connection options] bench-houses N
//   kelmora-db [connection options] bench-dicts NESTATES NPARAMS
//   kelmora-db [connection options] [--require-ssl] account USER PASSWORD [HOSTPATTERN...]
//        the program's account, allowed from the host patterns given (default 127.0.0.1)
//   kelmora-db [--out FILE] [--ssl] [--ssl-ca FILE] config USER PASSWORD DATABASE PORT [HOST]
//        config.ini for the program (printed, or written to FILE)
//   kelmora-db [--openssl FILE] tls DIR [NAME|ADDRESS...]
//        the agency's CA and the server's certificate in DIR, and the lines that use them
// Connection options: --host H --port P --socket S --user U --password P --database D --ssl --ssl-ca FILE
#include "db/dbtool.h"
#include "data/encrypted_connect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if !defined(__WINE__)
#include <fcntl.h>
#include <io.h>
#endif

static int Fail(const std::string& what)
{
    fprintf(stderr, "kelmora-db: %s\n", what.c_str());
    return 1;
}

static const char kUsage[] =
    "usage: kelmora-db [connection options] VERB ...\n"
    "  init                          create the database, its tables and seed data (if it has none)\n"
    "  demo [N]                      add the demo data (grown to N houses)\n"
    "  demo-clients N                add the demo data grown to N clients\n"
    "  account USER PASSWORD [HOSTPATTERN...]\n"
    "                                the program's account, allowed to read, add and change rows of the\n"
    "                                database and to delete rows only where the program does (no other\n"
    "                                right, no other database); allowed to\n"
    "                                connect from each host pattern given (default 127.0.0.1, this\n"
    "                                machine only; e.g. 192.168.1.% for one office network);\n"
    "                                --require-ssl lets it connect only encrypted\n"
    "  config USER PASSWORD DATABASE PORT [HOST]\n"
    "                                config.ini for the program (HOST default 127.0.0.1, or several servers\n"
    "                                tried in order: host1:port1,host2:port2,...); needs no server;\n"
    "                                --out FILE writes the file (e.g. --out \"%APPDATA%\\Kelmora\\config.ini\"),\n"
    "                                else it is printed; --ssl and --ssl-ca FILE are written into it;\n"
    "                                a HOST off this machine gets SSL=1 unless --no-ssl is given\n"
    "  tls DIR [NAME|ADDRESS...]     makes in DIR the agency's CA (ca.pem, ca-key.pem; one already there is\n"
    "                                kept) and the server's certificate signed by it (server-cert.pem,\n"
    "                                server-key.pem) for this machine's host name and the names and\n"
    "                                addresses given, and prints the lines for the server's configuration\n"
    "                                and for config.ini; needs no server; --openssl FILE names the openssl\n"
    "                                command (default: found on the PATH)\n"
    "  bench-houses N, bench-dicts NESTATES NPARAMS   generated data for the benchmarks\n"
    "connection options: --host H (127.0.0.1) --port P (3306) --socket S --user U (root) --password P\n"
    "                    --database D (kelmora) --ssl (encrypted only) --ssl-ca FILE (and verify the server)\n";

// Makes the folders above a file path that are missing.
static void MakeParentFolders(const std::string& path)
{
    for (size_t i = 1; i < path.size(); ++i) {
        if ((path[i] == '\\' || path[i] == '/') && path[i - 1] != ':' && path[i - 1] != '\\' && path[i - 1] != '/')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

// Writes the whole text to the file (through a new file moved over it, so
// that a failure leaves the old file as it was).
static bool WriteWhole(const std::string& path, const std::string& text, std::string* err)
{
    MakeParentFolders(path);
    std::string tmp = path + ".new";
    HANDLE h = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *err = "cannot write " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
    ok = CloseHandle(h) && ok;
    if (!ok || !MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        *err = "cannot write " + path + " (error " + std::to_string(GetLastError()) + ")";
        DeleteFileA(tmp.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    std::string host = "127.0.0.1", user = "root", password, database = "kelmora", socket, out, ca, openssl;
    unsigned int port = 3306;
    bool ssl = false, requireSsl = false, plain = false;
    std::vector<std::string> verb;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--host") host = next();
        else if (a == "--port") port = (unsigned int)atoi(next().c_str());
        else if (a == "--socket") socket = next();
        else if (a == "--user") user = next();
        else if (a == "--password") password = next();
        else if (a == "--database") database = next();
        else if (a == "--out") out = next();
        else if (a == "--ssl") ssl = true;
        else if (a == "--no-ssl") plain = true;
        else if (a == "--ssl-ca") ca = next();
        else if (a == "--require-ssl") requireSsl = true;
        else if (a == "--openssl") openssl = next();
        else verb.push_back(a);
    }
    if (verb.empty() || verb[0] == "help" || verb[0] == "--help" || verb[0] == "/?") {
        fputs(kUsage, verb.empty() ? stderr : stdout);
        return verb.empty() ? 1 : 0;
    }
    if (verb[0] == "config") {
        if (verb.size() < 5 || verb.size() > 6)
            return Fail("usage: kelmora-db [--out FILE] [--ssl] [--ssl-ca FILE] config USER PASSWORD DATABASE PORT [HOST]");
        DbToolConfig c;
        c.user = verb[1];
        c.password = verb[2];
        c.database = verb[3];
        c.port = verb[4];
        c.host = verb.size() > 5 ? verb[5] : "127.0.0.1";
        c.ssl = ssl;
        c.plain = plain;
        c.sslCa = ca;
        std::string text, fault;
        if (!DbTool_ConfigText(c, &text, &fault))
            return Fail(fault);
        if (out.empty()) {
#if !defined(__WINE__)
            // The lines end in CR LF already: no second CR from text mode.
            fflush(stdout);
            _setmode(_fileno(stdout), _O_BINARY);
#endif
            fwrite(text.data(), 1, text.size(), stdout);
            return 0;
        }
        std::string err;
        if (!WriteWhole(out, text, &err))
            return Fail(err);
        printf("%s written\n", out.c_str());
        return 0;
    }
    if (verb[0] == "tls") {
        if (verb.size() < 2)
            return Fail("usage: kelmora-db [--openssl FILE] tls DIR [NAME|ADDRESS...]");
        DbToolTlsRequest req;
        req.dir = verb[1];
        req.names.assign(verb.begin() + 2, verb.end());
        req.openssl = openssl;
        DbToolTlsResult res;
        std::string err;
        if (!DbTool_Tls(req, &res, &err))
            return Fail(err);
        fputs(res.text.c_str(), stdout);
        return 0;
    }
    if (verb[0] == "account" && verb.size() > 2 && verb[2].size() > kDbToolMaxPassword)
        return Fail("the password has " + std::to_string(verb[2].size()) +
                    " bytes; the program's config.ini holds at most 16: choose a shorter one");

    auto newHandle = [&](bool bVerify) {
        MYSQL* h = mysql_init(nullptr);
        if (!h)
            return h;
        mysql_options(h, MYSQL_SET_CHARSET_NAME, "gbk");
        if (ssl || !ca.empty()) {
            my_bool on = 1;
            mysql_options(h, MYSQL_OPT_SSL_ENFORCE, &on);
            if (!ca.empty())
                mysql_options(h, MYSQL_OPT_SSL_CA, ca.c_str());
            if (!ca.empty() || bVerify)
                mysql_options(h, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &on);
        }
        return h;
    };
    auto connect = [&](MYSQL* h) {
        return mysql_real_connect(h, socket.empty() ? host.c_str() : "localhost", user.c_str(), password.c_str(),
                                  nullptr, port, socket.empty() ? nullptr : socket.c_str(), CLIENT_MULTI_STATEMENTS);
    };
    // Encrypted or not at all: a server without encryption never gets the
    // account and password.
    bool connected = false;
    MYSQL* conn = nullptr;
    if (ssl || !ca.empty()) {
        conn = ZT_ConnectEncrypted(newHandle, connect, !ca.empty(), &connected);
    } else if ((conn = newHandle(false)) != nullptr) {
        connected = connect(conn) != nullptr;
    }
    if (!conn)
        return Fail("cannot connect: out of memory");
    if (!connected) {
        if (mysql_errno(conn) == ZT_CR_SSL_CONNECTION_ERROR)
            return Fail(std::string("no encrypted connection (SSL) to the server; nothing was sent or done: ") +
                        mysql_error(conn));
        return Fail(std::string("cannot connect: ") + mysql_error(conn));
    }

    std::string err;
    std::string qdb = "`" + database + "`";
    if (verb[0] == "init") {
        if (!DbTool_Exec(conn, "CREATE DATABASE IF NOT EXISTS " + qdb + " DEFAULT CHARACTER SET gbk COLLATE gbk_chinese_ci", &err))
            return Fail(err);
        mysql_select_db(conn, database.c_str());
        MYSQL_RES* r = nullptr;
        if (mysql_query(conn, "show tables like 't_employee'") == 0)
            r = mysql_store_result(conn);
        bool exists = r && mysql_num_rows(r) > 0;
        if (r)
            mysql_free_result(r);
        if (exists) {
            int narrowed = 0;
            if (!DbTool_Upgrade(conn, &err) || !DbTool_NarrowAccounts(conn, database, &narrowed, &err))
                return Fail(err);
            printf("database %s already set up\n", database.c_str());
            if (narrowed > 0)
                printf("%d account(s) with more rights on %s than the program needs now have only its rights\n",
                       narrowed, database.c_str());
            return 0;
        }
        if (!DbTool_CreateSchema(conn, &err) || !DbTool_Seed(conn, &err))
            return Fail(err);
        printf("database %s created and seeded\n", database.c_str());
        return 0;
    }
    if (mysql_select_db(conn, database.c_str()) != 0)
        return Fail(std::string("no database: ") + mysql_error(conn));
    bool ok = false;
    if (verb[0] == "account" && verb.size() > 2) {
        std::vector<std::string> hosts(verb.begin() + 3, verb.end());
        ok = DbTool_Account(conn, database, verb[1], verb[2], hosts, requireSsl, &err);
    } else if (verb[0] == "demo" && verb.size() > 1)
        ok = DbTool_DemoAtScale(conn, atoi(verb[1].c_str()), &err);
    else if (verb[0] == "demo")
        ok = DbTool_Demo(conn, &err);
    else if (verb[0] == "demo-clients" && verb.size() > 1)
        ok = DbTool_DemoClientsAtScale(conn, atoi(verb[1].c_str()), &err);
    else if (verb[0] == "bench-houses" && verb.size() > 1)
        ok = DbTool_BenchHouses(conn, atoi(verb[1].c_str()), &err);
    else if (verb[0] == "bench-dicts" && verb.size() > 2)
        ok = DbTool_BenchDictionaries(conn, atoi(verb[1].c_str()), atoi(verb[2].c_str()), &err);
    else
        return Fail("unknown verb " + verb[0]);
    if (!ok)
        return Fail(err);
    printf("%s done\n", verb[0].c_str());
    return 0;
}
