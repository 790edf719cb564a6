#include "data/passwords.h"
#include "data/connection.h"
#include "data/organisation.h"
#include "data/db_core.h"
#include "data/oplog.h"
#include "data/columns.h"
#include "cipher/cipher.h"
#include "cipher/password.h"

#include <cstring>

namespace {

// Whether the employee of the last successful login must choose a new
// password before he works (a reset's one-time password, the seed password).
volatile LONG g_mustChange = 0;

// An employee's password as stored, with the mark of a password he must
// change.
struct StoredPwd {
    char szPwd[520];
    int32_t bPwdChange;
};
constexpr ZDCol kStoredPwd[] = {
    ZD_COL(StoredPwd, szPwd, ZK_TEXT, "select szPwd, "),
    ZD_COL(StoredPwd, bPwdChange, ZK_FLAG, "bPwdChange from t_employee"),
};

// The plain password of an enciphered one, wiped when it goes.
struct Plain {
    char text[300];
    explicit Plain(const char* pszEnciphered)
    {
        memset(text, 0, sizeof text);
        if (pszEnciphered)
            strncpy(text, pszEnciphered, sizeof text - 1);
        CipherPwd(nullptr, text, CIPHER_DECODE);
    }
    ~Plain() { SecureZeroMemory(text, sizeof text); }
};

// The employee's stored password (false when no such employee or the
// statement failed: *pFailed then says which).
bool ReadStored(const ZDResult& r, StoredPwd* s, bool* pFailed)
{
    *pFailed = !r.ok;
    memset(s, 0, sizeof *s);
    MYSQL_RES* res = r.ok ? DbRows(r) : nullptr;
    ZDRow row;
    if (!res || !DbNextRow(res, row))
        return false;
    ReadColumns(row, *s, ZD_TABLE(kStoredPwd));
    return true;
}

// 1 when the password is the stored one, 0 when not, -1 when it could not
// be told (the platform's library failed).  A stored text that is not a hash
// is a password enciphered the older way, compared as it is.
int Matches(const char* pszEnciphered, const StoredPwd& s)
{
    if (Pwd_IsHash(s.szPwd)) {
        Plain plain(pszEnciphered);
        return Pwd_Verify(plain.text, s.szPwd);
    }
    return pszEnciphered && pszEnciphered[0] && strcmp(s.szPwd, pszEnciphered) == 0 ? 1 : 0;
}

}  // namespace

std::string PasswordToStore(const char* pszEnciphered)
{
    Plain plain(pszEnciphered);
    return Pwd_Hash(plain.text);
}

int CheckLoginPassword(int iEmp, const char* pszEnciphered)
{
    InterlockedExchange(&g_mustChange, 0);
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kStoredPwd));
    SqlAdd(sql, " where iOrdinal = %d", iEmp);
    ZDResult r = DbRun(sql);
    StoredPwd s;
    bool failed = false;
    bool found = ReadStored(r, &s, &failed);
    if (failed) {
        WriteErrorRecord(r);
        return -1;
    }
    int ok = found ? Matches(pszEnciphered, s) : 0;
    if (ok < 0)
        return -1;
    if (ok && !Pwd_IsHash(s.szPwd)) {
        // An older database's password becomes a hash at its first login;
        // only the one just checked is replaced.  When that fails the login
        // stands and the next one tries again.
        std::string hash = PasswordToStore(pszEnciphered);
        if (!hash.empty()) {
            ZDSql up;
            SqlAdd(up, "update t_employee set szPwd = '%s' where iOrdinal = %d and szPwd = '%s'", hash.c_str(), iEmp,
                   s.szPwd);
            ZDResult u = DbRun(up);
            if (!u.ok)
                WriteErrorRecord(u);
        }
    }
    SecureZeroMemory(s.szPwd, sizeof s.szPwd);
    // Every attempt that could be checked is logged by its outcome: a wrong
    // password as a failed login of the employee tried.
    WriteOpLog(iEmp, OBJ_LOGIN, iEmp, ok ? (int)ACT_LOGIN : (int)LOG_ACT_LOGIN_FAILED);
    if (ok)
        InterlockedExchange(&g_mustChange, s.bPwdChange ? 1 : 0);
    return ok ? 1 : 0;
}

int FD_LG_MustChange()
{
    return (int)InterlockedCompareExchange(&g_mustChange, 0, 0);
}

int FD_Pwd_Reset(int iOpEmp, int iEmp, const char* pszPwd)
{
    if (!CheckConnection())
        return 0;
    std::string hash = PasswordToStore(pszPwd);
    if (hash.empty()) {
        DbBox("修改密码出错.详细请错误日志", "", MB_OK);
        return 0;
    }
    // A reset's password is for one login: the employee chooses his own then.
    ZDSql sql;
    SqlAdd(sql, "update t_employee set");
    SqlAdd(sql, " szPwd = '%s', bPwdChange = 1", hash.c_str());
    SqlAdd(sql, " where iOrdinal = %d", iEmp);
    // The password and its log row: both or neither.
    bool bNoRow = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDResult r = TxnRun(t, sql);
        bNoRow = r.ok && DbAffected(r) == 0;
        // Logged as the administrator's reset of the employee's password.
        return r.ok && !bNoRow && TxnLog(t, iOpEmp, OBJ_EMPLOYEE, iEmp, LOG_ACT_RESET);
    }, &failure);
    if (bNoRow) {
        WriteErrorRecord();
        DbBox("修改密码出错.详细请错误日志", "", MB_OK);
        return 0;
    }
    return TxnOutcome(outcome, failure, {"执行语句发生错误.详细请错误日志", ""});
}

int FD_Upd_Pwd(int iEmp, const char* pszOldPwd, const char* pszNewPwd)
{
    if (!CheckConnection())
        return 0;
    std::string hash = PasswordToStore(pszNewPwd);
    if (hash.empty()) {
        ZT_MessageBox(GetActiveWindow(), kAbnormalError, "操作失败", MB_OK);
        return 0;
    }
    bool bCheckOld = pszOldPwd && pszOldPwd[0];
    // The old password is checked against the row locked for the change, so
    // a change made meanwhile at another desk is not overwritten unseen.
    bool bWrong = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        bWrong = false;
        ZDSql read;
        AddColumns(read, ZD_TABLE(kStoredPwd));
        SqlAdd(read, " where iOrdinal = %d for update", iEmp);
        StoredPwd s;
        bool failed = false;
        ZDResult r = TxnRun(t, read);
        bool found = ReadStored(r, &s, &failed);
        if (failed)
            return false;
        int match = found && bCheckOld ? Matches(pszOldPwd, s) : (found ? 1 : 0);
        SecureZeroMemory(s.szPwd, sizeof s.szPwd);
        if (match != 1) {
            bWrong = match == 0;
            return false;
        }
        ZDSql sql;
        SqlAdd(sql, "update t_employee set szPwd = '%s', bPwdChange = 0 where iOrdinal = %d", hash.c_str(), iEmp);
        ZDResult u = TxnRun(t, sql);
        return u.ok && DbAffected(u) > 0 && TxnLog(t, iEmp, OBJ_EMPLOYEE, iEmp, ACT_PASSWORD);
    }, &failure);
    if (outcome == TXN_DONE)
        return 1;
    // The user's own change runs from the change-password dialog: its boxes
    // belong to that dialog, which cannot be pressed again meanwhile.
    if (bWrong) {
        ZT_MessageBox(GetActiveWindow(), "原始密码错误", "", MB_OK);
    } else if (outcome == TXN_UNKNOWN) {
        WriteErrorRecord(failure);
        ZT_MessageBox(GetActiveWindow(), kOutcomeUnknown, "操作失败", MB_OK);
    } else if (outcome == TXN_CONFLICT) {
        WriteErrorRecord(failure);
        ZT_MessageBox(GetActiveWindow(), kConcurrentChange, "操作失败", MB_OK);
    } else {
        if (outcome == TXN_FAILED)
            WriteErrorRecord(failure);
        ZT_MessageBox(GetActiveWindow(), kAbnormalError, "操作失败", MB_OK);
    }
    return 0;
}
