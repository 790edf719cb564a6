// Seed data of a new Kelmora database.
#include "db/dbtool.h"
#include "cipher/cipher.h"
#include "cipher/password.h"

#include <cstring>
#include <vector>

const char kAdminInitialPassword[] = "482913";

// Every right code the grant page can write, scoped rights at their widest
// scope ("跨店").
const char kAllRightCodes[] =
    "04" "08" "0C" "0G"                 // houses: view, add, modify, delete
    "0H" "0L" "0T" "0P"                 // follow-ups
    "0Y" "13" "12" "15" "14" "16" "17" "46"  // partial house modification
    "1A" "1B"                           // house telephones
    "1G" "1K" "1S" "1O"                 // clients: view, modify, delete, add
    "0Z" "10" "11" "18" "19" "0X"       // partial client modification
    "44" "45"                           // client telephones
    "3D" "3B" "3C" "3E"                 // estates
    "3H" "3G" "3I" "3F"                 // buildings
    "2P" "2S" "2Q" "2R"                 // branches
    "2T" "2U" "2X" "30"                 // employees
    "33" "34" "35" "36"                 // positions
    "3A" "38" "39" "37"                 // areas
    "42" "41" "43" "40"                 // parameters
    "3R"                                // set permissions
    "3Q" "3O"                           // system options
    "3J" "3K"                           // operation log
    "3L" "3M"                           // recycle bin
    "47";                               // rename estates

// Manager preset: house and client rights over the own branch, follow-ups,
// partial modification, telephones, and viewing of the dictionaries.
const char kManagerPreset[] =
    "02" "06" "0A" "0E" "0H" "0L" "0T" "0P"
    "0Y" "13" "12" "15" "14" "16" "17" "46" "1A" "1B"
    "1D" "1I" "1Q" "1M" "0Z" "10" "11" "18" "19" "0X" "44" "45"
    "3E" "3F" "37" "40" "2P" "2T" "33" "3J" "3L";

// Salesman preset: own records only.
const char kSalesmanPreset[] =
    "01" "05" "09" "0H" "0L" "0T" "1B" "1C" "1H" "1L" "45" "3E" "3F" "37";

static std::string Enciphered(const char* plain, int (*cipher)(const char*, char*, int))
{
    char buf[1100];
    memset(buf, 0, sizeof buf);
    strncpy(buf, plain, 256);
    cipher(".", buf, CIPHER_ENCODE);
    return buf;
}

bool DbTool_Seed(MYSQL* conn, std::string* err)
{
    auto q = [&](const std::string& v) { return DbTool_Quote(conn, v); };
    // The administrator's published first password: stored as its hash and
    // marked, so that his first login asks him for a password of his own.
    std::string pwd = Pwd_Hash(kAdminInitialPassword);
    if (pwd.empty()) {
        if (err)
            *err = "the password hash could not be made (bcrypt.dll)";
        return false;
    }
    std::vector<std::string> batch = {
        "insert into t_branch (iOrdinal, szNum, szBr, szBLN, szHou_PF, szCli_PF, szCTCT_PF, szCMSS_PF, szTel, szEmail, szAdd) values "
        "(1, '001', " + q("总店") + ", '', 'ZF', 'ZK', 'ZH', 'ZY', '', '', '')",

        "insert into t_position (iOrdinal, szPST, iBasePay, iLevel, szDescribe) values "
        "(1, " + q("总经理") + ", 0, 1, ''), (2, " + q("店长") + ", 0, 2, ''), (3, " + q("业务员") + ", 0, 3, '')",

        "insert into t_employee (iOrdinal, szNum, szEmp, szPwd, iBr, iPst, szSex, szStatus, bSalesMan, bPwdChange) values "
        "(1, '0001', " + q("管理员") + ", " + q(pwd) + ", 1, 1, " + q("男") + ", " + q("在职") + ", 0, 1)",

        // The administrator's own row, the two presets (ordered by iEmp
        // descending: the manager preset, then the default row which is
        // also the salesman preset) and one row per position.
        "insert into t_popedom (iEmp, iPst, szValue, iCliReadRecordMax, iHouReadRecordMax) values "
        "(1, 0, " + q(Enciphered(kAllRightCodes, CipherLongText)) + ", 999, 999),"
        "(-1, 0, " + q(Enciphered(kManagerPreset, CipherLongText)) + ", 50, 50),"
        "(NULL, -1, " + q(Enciphered(kSalesmanPreset, CipherLongText)) + ", 20, 20),"
        "(0, 1, '', 0, 0), (0, 2, '', 0, 0), (0, 3, '', 0, 0)",

        "insert into t_sys (bNumManualWrite, bHouArea, bHouPrice, bHouOwner, bHouDeniedRepetition, bHouCipher,"
        " bCliLinkTel, bCliDeniedRepetition, bCliCipher, bAttendance, bIntegrityRule, dwBmpMaxSize, bActive)"
        " values (0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 512, 1)",

        "insert into t_company (szName, szShowName, szAdd, szTel, szReTel, szFax, szRemoteIP1, szRemoteIP2, szRemoteIP3,"
        " szRemotePort1, szRemotePort2, szRemotePort3, szBakPath, bAutoBak, iBakTime, iCityOrdinal, szUrbanOrdinal, bShareType)"
        " values (" + q("凯尔摩拉房产") + ", " + q("凯尔摩拉") + ", '', '', '', '', '', '', '', '', '', '', '', 0, 0, 0, '0,0,0,', 0)",
    };
    for (const std::string& sql : batch)
        if (!DbTool_Exec(conn, sql, err))
            return false;
    return DbTool_SeedParameters(conn, err);
}
