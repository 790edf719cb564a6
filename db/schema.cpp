#include "db/dbtool.h"
#include "cipher/cipher.h"

#include <cstring>

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

// The house list's indexes as db/schema.sql declares them: the order
// columns descending, then the columns the broad filters test.
static const struct {
    const char* name;
    const char* columns;
} kHouseListIndexes[] = {
    {"ix_house_list",
     "bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed, iBr, iEmp"},
    {"ix_house_est_list",
     "iEst, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed"},
    {"ix_house_emp_list",
     "iEmp, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed"},
    {"ix_house_br_list",
     "iBr, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed"},
    {"ix_house_trade", "szTrade, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, iSales, iRent, dbBuildArea, iBed"},
    {"ix_house_urban_list",
     "iUrban, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed"},
};

// The columns of an index of t_house as "a, b DESC, ..." (empty when the
// table has no such index).
static bool HouseIndexColumns(MYSQL* conn, const char* name, std::string* out, std::string* err)
{
    std::string sql = "SELECT GROUP_CONCAT(CONCAT(column_name, IF(collation = 'D', ' DESC', ''))"
                      " ORDER BY seq_in_index SEPARATOR ', ') FROM information_schema.statistics"
                      " WHERE table_schema = DATABASE() AND table_name = 't_house' AND index_name = " +
                      DbTool_Quote(conn, name);
    if (mysql_real_query(conn, sql.data(), (unsigned long)sql.size()) != 0) {
        if (err)
            *err = std::string(mysql_error(conn)) + " in: " + sql;
        return false;
    }
    MYSQL_RES* r = mysql_store_result(conn);
    MYSQL_ROW row = r ? mysql_fetch_row(r) : nullptr;
    *out = row && row[0] ? row[0] : "";
    if (r)
        mysql_free_result(r);
    return true;
}

// Rebuilds every house list index whose columns differ from the schema's
// (a database made before they were stored descending and widened).
static bool UpgradeHouseListIndexes(MYSQL* conn, std::string* err)
{
    std::string alter;
    for (const auto& ix : kHouseListIndexes) {
        std::string have;
        if (!HouseIndexColumns(conn, ix.name, &have, err))
            return false;
        if (have == ix.columns)
            continue;
        alter += std::string(alter.empty() ? "" : ",") + " DROP INDEX IF EXISTS " + ix.name + ", ADD INDEX " +
                 ix.name + " (" + ix.columns + ")";
    }
    return alter.empty() ||
           (DbTool_Exec(conn, "ALTER TABLE t_house" + alter, err) && DbTool_Exec(conn, "ANALYZE TABLE t_house", err));
}

// Replaces the room index of an earlier schema with the unique key, once no
// room is held by two houses; otherwise refuses, naming each such room.
static bool UpgradeHouseRoomKey(MYSQL* conn, std::string* err)
{
    const char* dup =
        "select coalesce(e.szEstate, concat('#', h.iEst)), coalesce(h.szBuildNO, ''), coalesce(h.szHouseNO, ''),"
        " group_concat(h.iOrdinal order by h.iOrdinal) from t_house h left join t_estate e on e.iOrdinal = h.iEst"
        " group by h.iEst, h.szBuildNO, h.szHouseNO having count(*) > 1 order by h.iEst limit 50";
    if (mysql_query(conn, dup) != 0) {
        *err = std::string("looking for rooms held twice: ") + mysql_error(conn);
        return false;
    }
    std::string rooms;
    int n = 0;
    if (MYSQL_RES* r = mysql_store_result(conn)) {
        while (MYSQL_ROW row = mysql_fetch_row(r)) {
            rooms += std::string("\n  estate ") + row[0] + ", building " + row[1] + ", room " + row[2] + ": houses " +
                     row[3];
            ++n;
        }
        mysql_free_result(r);
    }
    if (n > 0) {
        *err = "t_house holds " + std::to_string(n) + (n == 50 ? " or more" : "") +
               " room(s) twice; the rule of one house a room becomes a key only when each is told apart"
               " (change the building or room number of all but one of the houses of each):" + rooms;
        return false;
    }
    return DbTool_Exec(conn, "ALTER TABLE t_house DROP INDEX IF EXISTS ix_house_room,"
                             " ADD UNIQUE INDEX IF NOT EXISTS ux_house_room (iEst, szBuildNO, szHouseNO)", err);
}

// Fills the client telephones' key table of an earlier database, once no
// telephone is held by two clients; otherwise refuses, naming them.
static bool UpgradeClientPhones(MYSQL* conn, std::string* err)
{
    const char* phones = "(select szCliTel as szTel, iOrdinal from t_client where coalesce(szCliTel, '') <> ''"
                         " union select szLinkTel, iOrdinal from t_client where coalesce(szLinkTel, '') <> '') p";
    std::string dup = std::string("select group_concat(distinct p.iOrdinal order by p.iOrdinal) from ") + phones +
                      " group by p.szTel having count(distinct p.iOrdinal) > 1 limit 50";
    if (mysql_query(conn, dup.c_str()) != 0) {
        *err = std::string("looking for telephones held twice: ") + mysql_error(conn);
        return false;
    }
    std::string clients;
    int n = 0;
    if (MYSQL_RES* r = mysql_store_result(conn)) {
        while (MYSQL_ROW row = mysql_fetch_row(r)) {
            clients += std::string("\n  clients ") + (row[0] ? row[0] : "");
            ++n;
        }
        mysql_free_result(r);
    }
    if (n > 0) {
        *err = "t_client holds " + std::to_string(n) + (n == 50 ? " or more" : "") +
               " telephone(s) of more than one client; the rule of one client a telephone becomes a key only when"
               " each is told apart (change the telephone of all but one of the clients of each):" + clients;
        return false;
    }
    return DbTool_Exec(conn, std::string("insert ignore into t_clienttel (szTel, iCli) select p.szTel, p.iOrdinal from ") +
                                 phones,
                       err);
}

// The tables added since the first schema, created as the schema declares
// them when a database lacks them.
// A password as an older database stores it (enciphered with CipherPwd).
static std::string Enciphered(const char* plain)
{
    char buf[300];
    memset(buf, 0, sizeof buf);
    strncpy(buf, plain, 120);
    CipherPwd(".", buf, CIPHER_ENCODE);
    return buf;
}

// The triggers that keep a house's urban area with its estate's, made anew
// as the schema declares them (each ends with "END;" on a line of its own),
// then every house's urban area set from its estate.
static bool UpgradeHouseUrban(MYSQL* conn, std::string* err)
{
    if (!DbTool_Exec(conn, "ALTER TABLE t_house ADD COLUMN IF NOT EXISTS iUrban INT NOT NULL DEFAULT 0", err))
        return false;
    static const char* const kTriggers[] = {"tr_house_urban_add", "tr_house_urban_save", "tr_estate_urban"};
    const std::string schema = kSchema;
    for (const char* name : kTriggers) {
        size_t from = schema.find(std::string("CREATE TRIGGER ") + name + " ");
        size_t to = from == std::string::npos ? from : schema.find("\nEND;", from);
        if (to == std::string::npos) {
            if (err)
                *err = std::string("the schema declares no trigger ") + name;
            return false;
        }
        if (!DbTool_Exec(conn, std::string("DROP TRIGGER IF EXISTS ") + name, err) ||
            !DbTool_Exec(conn, schema.substr(from, to + 5 - from), err))
            return false;
    }
    return DbTool_Exec(conn, "UPDATE t_house h JOIN t_estate e ON e.iOrdinal = h.iEst SET h.iUrban = e.iUrban"
                             " WHERE h.iUrban <> e.iUrban",
                       err);
}

static bool AddNewTables(MYSQL* conn, std::string* err)
{
    static const char* const kAdded[] = {"t_telview", "t_clienttel"};
    const std::string schema = kSchema;
    for (const char* table : kAdded) {
        const std::string head = std::string("CREATE TABLE ") + table + " (";
        size_t from = schema.find(head);
        size_t to = from == std::string::npos ? from : schema.find(';', from);
        if (to == std::string::npos) {
            if (err)
                *err = std::string("the schema declares no table ") + table;
            return false;
        }
        std::string create = "CREATE TABLE IF NOT EXISTS " + schema.substr(from + 13, to - from - 13);
        if (!DbTool_Exec(conn, create, err))
            return false;
    }
    return true;
}

bool DbTool_Upgrade(MYSQL* conn, std::string* err)
{
    if (!AddNewTables(conn, err))
        return false;
    // The company's telephone and fax columns hold the 256 bytes of their
    // record fields (they were 128 wide).
    if (!DbTool_Exec(conn,
                     "ALTER TABLE t_company MODIFY szTel VARCHAR(256) NULL, MODIFY szReTel VARCHAR(256) NULL,"
                     " MODIFY szFax VARCHAR(256) NULL",
                     err))
        return false;
    // The client list's filters, the same way (the list's order is the
    // latest follow-up first).
    if (!DbTool_Exec(conn,
                     "ALTER TABLE t_client"
                     " ADD INDEX IF NOT EXISTS ix_client_order (bRecyle, dtFollow, dtUpdate),"
                     " DROP INDEX IF EXISTS ix_client_emp, DROP INDEX IF EXISTS ix_client_br,"
                     " ADD INDEX IF NOT EXISTS ix_client_emp_list (iEmp, bRecyle, dtFollow, dtUpdate),"
                     " ADD INDEX IF NOT EXISTS ix_client_br_list (iBr, bRecyle, dtFollow, dtUpdate),"
                     " ADD INDEX IF NOT EXISTS ix_client_trade (szTrade, bRecyle, dtFollow, dtUpdate),"
                     " ADD INDEX IF NOT EXISTS ix_client_urban (szUrban, bRecyle, dtFollow, dtUpdate),"
                     " ADD INDEX IF NOT EXISTS ix_client_match (szTrade, bRecyle, iMinBuy, iMaxBuy, iMinRent, iMaxRent,"
                     " iMinArea, iMaxArea, iMinRoom, iMaxRoom, iEmp, iBr, szUrban),"
                     " ADD INDEX IF NOT EXISTS ix_client_delegate (dDelegate),"
                     " ADD INDEX IF NOT EXISTS ix_client_follow (dtFollow)",
                     err))
        return false;
    // The house list's filters: each selective condition has an index that
    // also gives the list's order (newest commission first); the prefix
    // indexes of employee and branch are covered by the new ones.
    if (!DbTool_Exec(conn, "ALTER TABLE t_house DROP INDEX IF EXISTS ix_house_emp, DROP INDEX IF EXISTS ix_house_br,"
                           " ADD INDEX IF NOT EXISTS ix_house_rentdate (dRent),"
                           " ADD INDEX IF NOT EXISTS ix_house_sale (szTrade, bRecyle, iSales, iRent, dbBuildArea, iBed, iEmp, iBr, iEst, szDist),"
                           " ADD INDEX IF NOT EXISTS ix_house_rent (szTrade, bRecyle, iRent, iSales, dbBuildArea, iBed, iEmp, iBr, iEst, szDist)",
                     err))
        return false;
    // One house a room as a key.  Rooms an earlier database holds twice are
    // named, and the key waits until they are told apart.
    if (!UpgradeHouseRoomKey(conn, err) || !UpgradeClientPhones(conn, err))
        return false;
    // The version each form's save checks.
    for (const char* table : {"t_house", "t_client", "t_estate", "t_buildno", "t_follow", "t_urban", "t_district",
                              "t_param", "t_branch", "t_employee", "t_position", "t_sys"})
        if (!DbTool_Exec(conn, std::string("ALTER TABLE ") + table + " ADD COLUMN IF NOT EXISTS iVersion INT NOT NULL DEFAULT 0",
                         err))
            return false;
    // The mark a change that gives an employee work writes on his row.
    if (!DbTool_Exec(conn, "ALTER TABLE t_employee ADD COLUMN IF NOT EXISTS iAssigned INT NOT NULL DEFAULT 0", err))
        return false;
    // The mark of a password to be changed at the next login: set for every
    // employee who still has the published first password (an older reset
    // handed it out too).
    if (!DbTool_Exec(conn, "ALTER TABLE t_employee ADD COLUMN IF NOT EXISTS bPwdChange TINYINT NOT NULL DEFAULT 0", err) ||
        !DbTool_Exec(conn, "update t_employee set bPwdChange = 1 where szPwd = " +
                               DbTool_Quote(conn, Enciphered(kAdminInitialPassword)), err))
        return false;
    // The log read by operator or by kind, newest first.
    if (!DbTool_Exec(conn, "ALTER TABLE t_log ADD INDEX IF NOT EXISTS ix_log_time (dtAdd),"
                           " ADD INDEX IF NOT EXISTS ix_log_opemp (iOpEmp, dtAdd),"
                           " ADD INDEX IF NOT EXISTS ix_log_kind (iObjType, dtAdd)", err))
        return false;
    return UpgradeHouseUrban(conn, err) && UpgradeHouseListIndexes(conn, err);
}
