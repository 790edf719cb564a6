// kelmora-db: sets up a Kelmora database.
//   kelmora-db [connection options] init          create the database, schema and seed (if empty)
//   kelmora-db [connection options] demo [N]      add the demo data set (grown to N houses)
//   kelmora-db [connection options] demo-clients N   add the demo data set grown to N clients
//   kelmora-db [connection options] bench-houses N
//   kelmora-db [connection options] bench-dicts NESTATES NPARAMS
//   kelmora-db [connection options] account USER PASSWORD   loopback account with rights on the database
//   kelmora-db config USER PASSWORD DATABASE PORT           prints a config.ini for the program
// Connection options: --host H --port P --socket S --user U --password P --database D
#include "db/dbtool.h"
#include "cipher/cipher.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static int Fail(const std::string& what)
{
    fprintf(stderr, "kelmora-db: %s\n", what.c_str());
    return 1;
}

int main(int argc, char** argv)
{
    std::string host = "127.0.0.1", user = "root", password, database = "kelmora", socket;
    unsigned int port = 3306;
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
        else verb.push_back(a);
    }
    if (verb.empty())
        return Fail("usage: kelmora-db [options] init|demo [N]|demo-clients N|account U P|bench-houses N|bench-dicts NESTATES NPARAMS|config U P DB PORT");
    if (verb[0] == "config") {
        if (verb.size() < 5)
            return Fail("usage: kelmora-db config USER PASSWORD DATABASE PORT");
        // The server password is stored enciphered; the program deciphers it.
        char pwd[300] = {0};
        strncpy(pwd, verb[2].c_str(), 16);
        CipherPwd(".", pwd, CIPHER_ENCODE);
        printf("[SOFT]\r\nINITIALIZE=1\r\nREMIND1=7\r\nREMIND2=30\r\n"
               "[SERVER]\r\nUID=%s\r\nPWD=%s\r\nDATABASE=%s\r\nCHARSET=gbk\r\nPORT=%s\r\n"
               "READ_TIMEOUT=30\r\nWRITE_TIMEOUT=30\r\nCONNECT_TIMEOUT=5\r\n",
               verb[1].c_str(), pwd, verb[3].c_str(), verb[4].c_str());
        return 0;
    }

    MYSQL* conn = mysql_init(nullptr);
    mysql_options(conn, MYSQL_SET_CHARSET_NAME, "gbk");
    if (!mysql_real_connect(conn, socket.empty() ? host.c_str() : "localhost", user.c_str(), password.c_str(),
                            nullptr, port, socket.empty() ? nullptr : socket.c_str(), CLIENT_MULTI_STATEMENTS))
        return Fail(std::string("cannot connect: ") + mysql_error(conn));

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
            if (!DbTool_Upgrade(conn, &err))
                return Fail(err);
            printf("database %s already set up\n", database.c_str());
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
        std::string u = DbTool_Quote(conn, verb[1]), p = DbTool_Quote(conn, verb[2]);
        ok = DbTool_Exec(conn, "CREATE USER IF NOT EXISTS " + u + "@'127.0.0.1' IDENTIFIED BY " + p + ";"
                               "ALTER USER " + u + "@'127.0.0.1' IDENTIFIED BY " + p + ";"
                               "GRANT ALL PRIVILEGES ON " + qdb + ".* TO " + u + "@'127.0.0.1';", &err);
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
