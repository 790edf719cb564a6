#include "db/dbtool.h"

static const char kSchema[] =
#include "schema_sql.inc"
    ;

bool DbTool_Exec(MYSQL* conn, const std::string& sql, std::string* err)
{
    if (mysql_real_query(conn, sql.data(), (unsigned long)sql.size()) != 0) {
        if (err)
            *err = std::string(mysql_error(conn)) + " in: " + sql.substr(0, 300);
        return false;
    }
    int status;
    do {
        MYSQL_RES* r = mysql_store_result(conn);
        if (r)
            mysql_free_result(r);
        status = mysql_next_result(conn);
    } while (status == 0);
    if (status > 0) {
        if (err)
            *err = std::string(mysql_error(conn)) + " in batch: " + sql.substr(0, 300);
        return false;
    }
    return true;
}

std::string DbTool_Quote(MYSQL* conn, const std::string& value)
{
    std::string out(value.size() * 2 + 1, '\0');
    unsigned long n = mysql_real_escape_string(conn, &out[0], value.data(), (unsigned long)value.size());
    out.resize(n);
    return "'" + out + "'";
}

bool DbTool_CreateSchema(MYSQL* conn, std::string* err)
{
    return DbTool_Exec(conn, kSchema, err);
}

bool DbTool_Upgrade(MYSQL* conn, std::string* err)
{
    // The company's telephone and fax columns hold the 256 bytes of their
    // record fields (they were 128 wide).
    return DbTool_Exec(conn,
                       "ALTER TABLE t_company MODIFY szTel VARCHAR(256) NULL, MODIFY szReTel VARCHAR(256) NULL,"
                       " MODIFY szFax VARCHAR(256) NULL",
                       err);
}
