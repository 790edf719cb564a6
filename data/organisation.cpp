// Branches, employees, positions and permission values.
#include "data/db_core.h"
#include "data/oplog.h"
#include "data/organisation.h"
#include "cipher/cipher.h"

#include <cstddef>
#include <cstdio>
#include <vector>


template <class T> static void Handed(T** ppList, T* list)
{
    if (ppList)
        *ppList = list;
}

// The name with the key appended; the name is shortened when both would not
// fit the field, so the digits stay whole.
template <size_t N> static void AppendKey(char (&name)[N], int iKey)
{
    char digits[16];
    int nd = snprintf(digits, sizeof digits, "%d", iKey);
    if (nd <= 0 || (size_t)nd >= N)
        return;
    char kept[N];
    CopyField(kept, N - (size_t)nd, name, strnlen(name, N));
    size_t len = strlen(kept);
    memcpy(name, kept, len);
    memcpy(name + len, digits, (size_t)nd + 1);
}

// ---- Look-ups -------------------------------------------------------------------

// Scans records of size cb whose key is the first field and whose name lies
// at nameOff (and, with brOff, whose branch key lies there).
static void* FindRecord(void* pList, void** ppFound, int iKey, const char* pszName, int iCount, size_t cb,
                        size_t nameOff, long brOff, int iBr)
{
    void* found = nullptr;
    if (pList && !(pszName && !pszName[0])) {
        char* base = static_cast<char*>(pList);
        for (int i = 0; i < iCount; ++i) {
            char* rec = base + (size_t)i * cb;
            if (!pszName) {
                if (*reinterpret_cast<int32_t*>(rec) == iKey) {
                    found = rec;
                    break;
                }
                continue;
            }
            if (strcmp(rec + nameOff, pszName) != 0)
                continue;
            if (brOff >= 0 && iBr > 0 && *reinterpret_cast<int32_t*>(rec + brOff) != iBr)
                continue;
            found = rec;
            break;
        }
    }
    if (ppFound)
        *ppFound = found;
    return found;
}

void* FindBr(void* pList, void** ppFound, int iKey, const char* pszName, int iCount, int cbRecord)
{
    if (cbRecord == (int)sizeof(tagBRLIST))
        return FindRecord(pList, ppFound, iKey, pszName, iCount, sizeof(tagBRLIST), offsetof(tagBRLIST, szBr), -1, 0);
    return FindRecord(pList, ppFound, iKey, pszName, iCount, sizeof(tagBRANCH), offsetof(tagBRANCH, szBr), -1, 0);
}

void* FindEmp(void* pList, void** ppFound, int iKey, const char* pszName, int iCount, int cbRecord, int iBr)
{
    if (cbRecord == (int)sizeof(tagEMPLIST))
        return FindRecord(pList, ppFound, iKey, pszName, iCount, sizeof(tagEMPLIST), offsetof(tagEMPLIST, szEmp),
                          (long)offsetof(tagEMPLIST, iBr), iBr);
    return FindRecord(pList, ppFound, iKey, pszName, iCount, sizeof(tagEMPLOYEE), offsetof(tagEMPLOYEE, szEmp),
                      (long)offsetof(tagEMPLOYEE, iBr), iBr);
}

tagPostion* FindPst(tagPostion* pList, tagPostion** ppFound, int iKey, const char* pszName, int iCount)
{
    void* found = FindRecord(pList, nullptr, iKey, pszName, iCount, sizeof(tagPostion),
                             offsetof(tagPostion, szPST), -1, 0);
    if (ppFound)
        *ppFound = static_cast<tagPostion*>(found);
    return static_cast<tagPostion*>(found);
}

// ---- Branches -------------------------------------------------------------------

static void BranchListOrder(ZDSql& sql, int bRecyle)
{
    SqlAdd(sql, " from t_branch where bRecyle = %d", bRecyle);
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    else
        SqlAdd(sql, " order by szNum asc, iOrdinal asc");
}

tagBRLIST* FD_Sct_BrList(tagBRLIST** ppList, int* pCount, int bRecyle)
{
    Handed<tagBRLIST>(ppList, nullptr);
    if (pCount)
        *pCount = -1;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, szBr,szHou_PF, szCli_PF,szCTCT_PF, szCMSS_PF");
    BranchListOrder(sql, bRecyle);
    return LoadList<tagBRLIST>(sql, ppList, pCount, [](tagBRLIST& b, const ZDRow& row) {
        b.iOrdinal = GetInt(row, 0);
        GetText(row, 1, b.szBr);
        GetText(row, 2, b.szHou_PF);
        GetText(row, 3, b.szCli_PF);
        GetText(row, 4, b.szCTCT_PF);
        GetText(row, 5, b.szCMSS_PF);
    });
}

tagBRANCH* FD_Sct_Br(tagBRANCH** ppList, int* pCount, int bRecyle)
{
    Handed<tagBRANCH>(ppList, nullptr);
    if (pCount)
        *pCount = -1;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, szNum, szBr, szBLN, szHou_PF, szCli_PF");
    SqlAdd(sql, ",szTel, szEmail, szAdd, szCTCT_PF, szCMSS_PF");
    BranchListOrder(sql, bRecyle);
    return LoadList<tagBRANCH>(sql, ppList, pCount, [](tagBRANCH& b, const ZDRow& row) {
        b.iOrdinal = GetInt(row, 0);
        GetText(row, 1, b.szNum);
        GetText(row, 2, b.szBr);
        GetText(row, 3, b.szBLN);
        GetText(row, 4, b.szHou_PF);
        GetText(row, 5, b.szCli_PF);
        GetText(row, 6, b.szTel);
        GetText(row, 7, b.szEmail);
        GetText(row, 8, b.szAdd);
        GetText(row, 9, b.szCTCT_PF);
        GetText(row, 10, b.szCMSS_PF);
    });
}

int FD_Ist_Br(int iOpEmp, tagBRANCH* pBr)
{
    if (!pBr || !CheckConnection())
        return 0;
    ZDSql ins;
    SqlAdd(ins, "insert into t_branch (szBr) values ('%s')", pBr->szBr);
    // The name row, the other columns and the log row: all or nothing (a
    // branch is never left without its number prefixes).
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        return TxnInsertRow(t, ins, iOpEmp, OBJ_BRANCH, [&](int key, ZDSql& sql) {
            pBr->iOrdinal = key;
            SqlAdd(sql, "update t_branch set");
            SqlAdd(sql, " szNum = '%s', szBLN='%s', szHou_PF='%s'", pBr->szNum, pBr->szBLN, pBr->szHou_PF);
            SqlAdd(sql, ",szCli_PF='%s', szTel='%s', szEmail='%s', szAdd='%s'", pBr->szCli_PF, pBr->szTel,
                   pBr->szEmail, pBr->szAdd);
            SqlAdd(sql, ",szCTCT_PF='%s', szCMSS_PF='%s'", pBr->szCTCT_PF, pBr->szCMSS_PF);
            SqlAdd(sql, " where iOrdinal = %d", pBr->iOrdinal);
        }) != 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    pBr->iOrdinal = 0;
    // Reported by the result (and the error record) only.
    return TxnOutcome(outcome, failure, {nullptr, nullptr});
}

int FD_Upd_Br(int iOpEmp, const tagBRANCH* pCur, const tagBRANCH* pNew)
{
    if (!pCur || !pNew || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_branch ");
    SqlAdd(sql, ", (select count(*) as tb2 from t_branch where szBr='%s' and iOrdinal<>%d) as tb2", pNew->szBr,
           pCur->iOrdinal);
    SqlAdd(sql, " set");
    SqlAdd(sql, " szBr= '%s', szNum = '%s', szBLN='%s', szHou_PF='%s'", pNew->szBr, pNew->szNum, pNew->szBLN,
           pNew->szHou_PF);
    SqlAdd(sql, ",szCli_PF='%s', szTel='%s', szEmail='%s', szAdd='%s'", pNew->szCli_PF, pNew->szTel, pNew->szEmail,
           pNew->szAdd);
    SqlAdd(sql, ",szCTCT_PF='%s', szCMSS_PF='%s', szBr = '%s'", pNew->szCTCT_PF, pNew->szCMSS_PF, pNew->szBr);
    SqlAdd(sql, " where iOrdinal = %d and tb2 = 0", pCur->iOrdinal);
    return LoggedChange(iOpEmp, sql, OBJ_BRANCH, pCur->iOrdinal, ACT_MODIFY, {"修改数据出错", ""},
                        {"部门名称重复或该数据被删除", "修改数据出错"});
}

int FD_Del_Br(int iOpEmp, const tagBRANCH* pBr)
{
    if (!pBr || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_branch set bRecyle = 1 where iOrdinal = %d", pBr->iOrdinal);
    SqlAdd(sql, " and (select count(*) from t_employee where iBr = %d and bRecyle = 0) = 0", pBr->iOrdinal);
    return SoftDelete(iOpEmp, sql, OBJ_BRANCH, pBr->iOrdinal,
                      "错误原因:\n\n1.数据行可能被(子部门,用户)占用\n\n2.已被其它用户删除");
}

void Mem_Free_Br(tagBRANCH* pList) { FreeBlock(pList); }
void Mem_Free_BrList(tagBRLIST* pList) { FreeBlock(pList); }

// ---- Employees ---------------------------------------------------------------

tagEMPLIST* FD_Sct_EmpList(tagEMPLIST** ppList, int* pCount, int bRecyle)
{
    Handed<tagEMPLIST>(ppList, nullptr);
    if (pCount)
        *pCount = -1;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, szEmp,iBr");
    SqlAdd(sql, " from t_Employee ");
    SqlAdd(sql, " where bRecyle= %d", bRecyle);
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    else
        SqlAdd(sql, " order by iBr asc,szNum asc, iOrdinal asc");
    return LoadList<tagEMPLIST>(sql, ppList, pCount, [](tagEMPLIST& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        GetText(row, 1, e.szEmp);
        e.iBr = GetInt(row, 2);
    });
}

tagEMPLOYEE* FD_Sct_Emp(const tagBRANCH* pBr, tagEMPLOYEE** ppList, int* pCount)
{
    Handed<tagEMPLOYEE>(ppList, nullptr);
    if (pCount)
        *pCount = 0;
    if (!pBr)
        return nullptr;
    ZDSql sql;
    SqlAdd(sql, "select t_Employee.iOrdinal, szNum, szEmp, szCardNO");
    SqlAdd(sql, ",szBirthday, szEnrollment, bSalesMan, szSex");
    SqlAdd(sql, ",szKoseki, szEdu, szCertificate, szStatus");
    SqlAdd(sql, ", szTel, szEmail, szAdd, szResume, szRemark");
    SqlAdd(sql, ", iBr, t_Employee.iPst, szValue,  iCliReadRecordMax, iHouReadRecordMax");
    SqlAdd(sql, " from t_Employee INNER  join t_popedom on iEmp = t_Employee.iOrdinal");
    SqlAdd(sql, " where bRecyle = 0 and iBr = %d", pBr->iOrdinal);
    SqlAdd(sql, " order by szNum asc, t_Employee.iOrdinal asc");
    return LoadList<tagEMPLOYEE>(sql, ppList, pCount, [](tagEMPLOYEE& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        GetText(row, 1, e.szNum);
        GetText(row, 2, e.szEmp);
        GetText(row, 3, e.szCardNO);
        GetText(row, 4, e.szBirthday);
        GetText(row, 5, e.szEnrollment);
        e.bSalesMan = GetInt(row, 6) ? 1 : 0;
        GetText(row, 7, e.szSex);
        GetText(row, 8, e.szKoseki);
        GetText(row, 9, e.szEdu);
        GetText(row, 10, e.szCertificate);
        GetText(row, 11, e.szStatus);
        GetText(row, 12, e.szTel);
        GetText(row, 13, e.szEmail);
        GetText(row, 14, e.szAdd);
        GetText(row, 15, e.szResume);
        GetText(row, 16, e.szRemark);
        e.iBr = GetInt(row, 17);
        e.iPst = GetInt(row, 18);
        GetText(row, 19, e.szValue);
        e.iCliReadRecordMax = GetInt(row, 20);
        e.iHouReadRecordMax = GetInt(row, 21);
    });
}

// The columns an insert and an update of an employee both write, from the
// card number to the remarks.
static void EmployeeDetails(ZDSql& sql, const tagEMPLOYEE* e)
{
    SqlAdd(sql, ",szCardNO = '%s'", e->szCardNO);
    SqlAdd(sql, ",szKoseki = '%s'", e->szKoseki);
    SqlAdd(sql, ",szBirthday='%s'", e->szBirthday);
    SqlAdd(sql, ",szSex = '%s'", e->szSex);
    SqlAdd(sql, ",szEnrollment='%s'", e->szEnrollment);
    SqlAdd(sql, ",szCertificate ='%s'", e->szCertificate);
    SqlAdd(sql, ",szAdd ='%s'", e->szAdd);
    SqlAdd(sql, ",szEdu='%s'", e->szEdu);
    SqlAdd(sql, ",szStatus='%s'", e->szStatus);
    SqlAdd(sql, ",szTel = '%s'", e->szTel);
    SqlAdd(sql, ",szEmail= '%s'", e->szEmail);
    SqlAdd(sql, ",szResume ='%s'", e->szResume);
    SqlAdd(sql, ",szRemark='%s'", e->szRemark);
}

int FD_Ist_Emp(int iOpEmp, tagEMPLOYEE* pEmp)
{
    if (!pEmp || !CheckConnection())
        return 0;
    ZDSql ins;
    SqlAdd(ins, "insert into t_Employee (szEmp, iBr, iPst) values ('%s',%d,%d)", pEmp->szEmp, pEmp->iBr, pEmp->iPst);
    char typedName[sizeof pEmp->szEmp];
    memcpy(typedName, pEmp->szEmp, sizeof typedName);
    // The name row, its log row, its permission row (without it the
    // employee would be missing from the branch's employee list) and the
    // other columns: all or nothing.
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        // (Run again after a conflict, the name is the one typed.)
        memcpy(pEmp->szEmp, typedName, sizeof typedName);
        ZDResult r = TxnRun(t, ins);
        if (!r.ok || r.stmts.empty() || r.stmts[0].insertId == 0)
            return false;
        pEmp->iOrdinal = (int32_t)r.stmts[0].insertId;
        if (!TxnLog(t, iOpEmp, OBJ_EMPLOYEE, pEmp->iOrdinal, ACT_ADD))
            return false;
        ZDSql pd;
        SqlAdd(pd, "insert into t_popedom (iEmp, szValue) values (%d, '')", pEmp->iOrdinal);
        if (!TxnRun(t, pd).ok)
            return false;

        ZDSql cnt;
        SqlAdd(cnt, "select count(*) from t_employee where szEmp = '%s'", pEmp->szEmp);
        long long namesakes = TxnScalar(t, cnt);
        if (namesakes < 0)
            return false;

        ZDSql sql;
        SqlAdd(sql, "update t_employee set");
        SqlAdd(sql, " szNum = '%s'", pEmp->szNum);
        if (namesakes > 1) {
            AppendKey(pEmp->szEmp, pEmp->iOrdinal);
            SqlAdd(sql, ",szEmp = '%s'", pEmp->szEmp);
        }
        EmployeeDetails(sql, pEmp);
        SqlAdd(sql, ",szPwd = '%s'", pEmp->szPwd);
        SqlAdd(sql, ",bSalesMan = %d", pEmp->bSalesMan ? 1 : 0);
        SqlAdd(sql, " where iOrdinal = %d", pEmp->iOrdinal);
        ZDResult u = TxnRun(t, sql);
        return u.ok && DbAffected(u) > 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    pEmp->iOrdinal = 0;
    memcpy(pEmp->szEmp, typedName, sizeof typedName);
    // Reported by the result (and the error record) only.
    return TxnOutcome(outcome, failure, {nullptr, nullptr});
}

int FD_Upd_Emp(int iOpEmp, const tagEMPLOYEE* pCur, tagEMPLOYEE* pNew)
{
    if (!pCur || !pNew || !CheckConnection())
        return 0;
    bool renamed = pNew->szEmp[0] && FieldText(pNew->szEmp) != FieldText(pCur->szEmp);
    ZDSql sql;
    SqlAdd(sql, "update t_employee set");
    SqlAdd(sql, " szNum = '%s'", pNew->szNum);
    if (renamed)
        SqlAdd(sql, ",szEmp = '%s'", pNew->szEmp);
    EmployeeDetails(sql, pNew);
    if (pNew->iPst != pCur->iPst)
        SqlAdd(sql, ",iPst=%d", pNew->iPst);
    if (pNew->szPwd[0])
        SqlAdd(sql, ",szPwd = '%s'", pNew->szPwd);
    SqlAdd(sql, ",bSalesMan = %d", pNew->bSalesMan ? 1 : 0);
    SqlAdd(sql, " where iOrdinal = %d", pCur->iOrdinal);
    char typedName[sizeof pNew->szEmp];
    memcpy(typedName, pNew->szEmp, sizeof typedName);
    // The change, its log row and the namesake's suffix: all or nothing.
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDResult r = TxnRun(t, sql);
        if (!r.ok || DbAffected(r) <= 0 || !TxnLog(t, iOpEmp, OBJ_EMPLOYEE, pCur->iOrdinal, ACT_MODIFY))
            return false;
        if (!renamed)
            return true;
        ZDSql cnt;
        SqlAdd(cnt, "select count(*) as count from t_employee where szEmp = '%s'", pNew->szEmp);
        long long namesakes = TxnScalar(t, cnt);
        if (namesakes < 0)
            return false;
        if (namesakes <= 1)
            return true;
        AppendKey(pNew->szEmp, pCur->iOrdinal);
        ZDSql fix;
        SqlAdd(fix, "update t_employee set szEmp = '%s' where iOrdinal = %d", pNew->szEmp, pCur->iOrdinal);
        return TxnRun(t, fix).ok != 0;
    }, &failure);
    if (outcome == TXN_DONE)
        return 1;
    memcpy(pNew->szEmp, typedName, sizeof typedName);
    return TxnOutcome(outcome, failure, {"修改数据出错", ""});
}

int FD_Del_Emp(int iOpEmp, const tagEMPLOYEE* pEmp)
{
    if (!pEmp || !CheckConnection())
        return 0;
    int k = pEmp->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_employee set bRecyle = 1 where");
    SqlAdd(sql, " (select count(*) from t_House where  iEmp = %d and bRecyle=0) = 0", k);
    SqlAdd(sql, " and (select count(*) from t_Client where iEmp = %d and bRecyle=0)= 0", k);
    SqlAdd(sql, " and (select count(*) from t_log where iEmp = %d and bRecyle = 0) = 0", k);
    SqlAdd(sql, " and iOrdinal = %d", k);
    return SoftDelete(iOpEmp, sql, OBJ_EMPLOYEE, k,
                      "错误原因:\n\n1.数据行可能被(房源,客源,跟进,日志)占用\n\n2.已被其它用户删除");
}

int FD_Upd_Pwd(int iEmp, const char* pszOldPwd, const char* pszNewPwd)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_employee set szPwd = '%s' where iOrdinal = %d", pszNewPwd, iEmp);
    if (pszOldPwd && pszOldPwd[0])
        SqlAdd(sql, " and szPwd = '%s'", pszOldPwd);
    // The new password and its log row: both or neither.
    bool bWrong = false;
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDResult r = TxnRun(t, sql);
        if (r.ok && DbAffected(r) <= 0)
            bWrong = true;
        return r.ok && !bWrong && TxnLog(t, iEmp, OBJ_EMPLOYEE, iEmp, ACT_PASSWORD);
    }, &failure);
    if (outcome == TXN_DONE)
        return 1;
    // The user's own change runs from the change-password dialog: its boxes
    // belong to that dialog, which cannot be pressed again meanwhile.
    if (outcome == TXN_UNKNOWN) {
        WriteErrorRecord(failure);
        ZT_MessageBox(GetActiveWindow(), kOutcomeUnknown, "操作失败", MB_OK);
    } else if (bWrong) {
        ZT_MessageBox(GetActiveWindow(), "原始密码错误", "", MB_OK);
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

// ---- Transfer -----------------------------------------------------------------

// The keys of the live rows of a table whose agent is iEmp, locked until the
// transaction ends; with pHouses, follow-ups of houses go there and those of
// clients to keys.  False when the statement failed.
static bool LockAgentRows(ZDTxn& t, const char* pszTable, int iEmp, std::vector<int>* keys,
                          std::vector<int>* pHouses = nullptr)
{
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal");
    if (pHouses)
        SqlAdd(sql, ", iHou");
    SqlAddRaw(sql, " from %s", pszTable);
    SqlAdd(sql, " where iEmp = %d and bRecyle = 0 for update", iEmp);
    ZDResult r = TxnRun(t, sql);
    if (!r.ok)
        return false;
    ZDRow row;
    for (MYSQL_RES* res = DbRows(r); DbNextRow(res, row);)
        (pHouses && GetInt(row, 1) != 0 ? pHouses : keys)->push_back(GetInt(row, 0));
    return true;
}

// Moves the live rows of a table from one agent to another: the number
// moved, -1 when the statement failed.
static long long MoveAgentRows(ZDTxn& t, const char* pszTable, int iFrom, int iTo, int iToBr, bool bLiveOnly = true)
{
    ZDSql sql;
    SqlAddRaw(sql, "update %s", pszTable);
    SqlAdd(sql, " set iEmp = %d, iBr = %d", iTo, iToBr);
    // A moved house is a change an open house form must not overwrite.
    if (strcmp(pszTable, "t_house") == 0)
        SqlAdd(sql, ", iVersion = iVersion + 1");
    SqlAdd(sql, " where iEmp = %d", iFrom);
    if (bLiveOnly)
        SqlAdd(sql, " and bRecyle = 0");
    ZDResult r = TxnRun(t, sql);
    return r.ok ? DbAffected(r) : -1;
}

// The log rows of the moved objects, a few hundred statements a call.
static bool LogMoved(ZDTxn& t, int iOpEmp, int iObjType, const std::vector<int>& keys)
{
    const size_t kPerCall = 200;
    for (size_t i = 0; i < keys.size(); i += kPerCall) {
        ZDSql batch;
        size_t n = 0;
        for (size_t k = i; k < keys.size() && k < i + kPerCall; ++k, ++n)
            AddOpLog(batch, iOpEmp, iObjType, keys[k], ACT_MODIFY);
        ZDResult r = TxnRun(t, batch);
        if (!r.ok || r.stmts.size() != n)
            return false;
    }
    return true;
}

int FD_Transfer_Emp(int iOpEmp, int iFrom, int iTo, int iToBr, tagTRANSFER* pCounts)
{
    static const char kRefused[] = "转入的员工不存在或不在所选部门";
    if (pCounts)
        memset(pCounts, 0, sizeof *pCounts);
    if (iFrom <= 0 || iTo <= 0 || iFrom == iTo) {
        DbBox(kRefused, "", MB_OK);
        return 0;
    }
    if (!CheckConnection())
        return 0;
    ZDSql target;
    SqlAdd(target, "select count(*) from t_employee where iOrdinal = %d and iBr = %d and bRecyle = 0 lock in share mode",
           iTo, iToBr);
    bool bRefused = false;
    tagTRANSFER moved = {};
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        long long n = TxnScalar(t, target);
        if (n <= 0) {
            bRefused = n == 0;
            return false;
        }
        std::vector<int> houses, clients, houseFollows, clientFollows;
        if (!LockAgentRows(t, "t_house", iFrom, &houses) || !LockAgentRows(t, "t_client", iFrom, &clients) ||
            !LockAgentRows(t, "t_follow", iFrom, &clientFollows, &houseFollows))
            return false;
        // The rows are locked: every one found is moved, and only those.
        if (MoveAgentRows(t, "t_house", iFrom, iTo, iToBr) != (long long)houses.size() ||
            MoveAgentRows(t, "t_client", iFrom, iTo, iToBr) != (long long)clients.size() ||
            MoveAgentRows(t, "t_follow", iFrom, iTo, iToBr) != (long long)(houseFollows.size() + clientFollows.size()))
            return false;
        long long reminds = MoveAgentRows(t, "t_remind", iFrom, iTo, iToBr, false);
        if (reminds < 0)
            return false;
        if (!LogMoved(t, iOpEmp, OBJ_HOUSE, houses) || !LogMoved(t, iOpEmp, OBJ_CLIENT, clients) ||
            !LogMoved(t, iOpEmp, OBJ_HOUSE_FOLLOW, houseFollows) ||
            !LogMoved(t, iOpEmp, OBJ_CLIENT_FOLLOW, clientFollows))
            return false;
        moved.nHouses = (int32_t)houses.size();
        moved.nClients = (int32_t)clients.size();
        moved.nFollows = (int32_t)(houseFollows.size() + clientFollows.size());
        moved.nReminds = (int32_t)reminds;
        return true;
    }, &failure);
    if (outcome == TXN_DONE) {
        if (pCounts)
            *pCounts = moved;
        return 1;
    }
    if (bRefused) {
        DbBox(kRefused, "", MB_OK);
        return 0;
    }
    return TxnOutcome(outcome, failure, {"员工转移失败, 数据没有改变", kFailCaption});
}

void Mem_Free_Emp(tagEMPLOYEE* pList) { FreeBlock(pList); }
void Mem_Free_EmpList(tagEMPLIST* pList) { FreeBlock(pList); }

// ---- Permissions ---------------------------------------------------------------

static int RunPermissionUpdate(const ZDSql& sql)
{
    ZDResult r = DbRun(sql);
    if (!ChangeOutcome(r, {kAbnormalError, kFailCaption}))
        return 0;
    return DbAffected(r) > 0 ? 1 : 0;
}

int FD_Upd_EmpPD(int iOpEmp, int iEmp, const char* pszValue, int iCliReadRecordMax, int iHouReadRecordMax,
                 const char* pszChange)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_popedom set szValue = '%s',iCliReadRecordMax = %d, iHouReadRecordMax = %d where iEmp = %d",
           pszValue, iCliReadRecordMax, iHouReadRecordMax, iEmp);
    // The rights and the row saying who changed them and how: both or neither.
    int outcome = TXN_FAILED;
    int r = AuditedChange([&](ZDTxn& t, std::string&) {
        ZDResult u = TxnRun(t, sql);
        return u.ok && DbAffected(u) == 1;
    }, iOpEmp, OBJ_EMPLOYEE, iEmp, LOG_ACT_GRANT, pszChange ? pszChange : "", {nullptr, nullptr}, &outcome);
    // A lost commit answer was settled (and told) by the library.
    return r == 1 ? 1 : outcome == TXN_UNKNOWN ? -1 : 0;
}

int FD_Upd_PSTPD(int, int iPst, const char* pszValue)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "update t_popedom set szValue = '%s'  where iPST = %d", pszValue, iPst);
    return RunPermissionUpdate(sql);
}

// Deciphers a stored permission value into a caller's buffer.  The plain
// text is at most 256 bytes, so 257 bytes of the buffer are used at most.
static void DecipheredValue(const ZDRow& row, char* pszOut)
{
    if (!pszOut)
        return;
    char work[1100];
    GetText(row, 0, work);
    CipherLongText(nullptr, work, CIPHER_DECODE);
    CopyField(pszOut, 257, work);
}

static void Put(int* p, int v)
{
    if (p)
        *p = v;
}

int FD_Sct_DefPD(char* pszOwn, char* pszSecond, int* piCli, int* piHou, int* piOwnCli, int* piOwnHou, int iEmp)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "select szValue,  iHouReadRecordMax, iCliReadRecordMax from t_popedom");
    SqlAdd(sql, " where iPst = -1 or iEmp = %d order by iEmp desc", iEmp);
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        WriteErrorRecord(r);
        return 0;
    }
    MYSQL_RES* res = DbRows(r);
    if (!res || mysql_num_rows(res) != 2)
        return 0;
    ZDRow first, second;
    if (!DbNextRow(res, first))
        return 0;
    if (pszOwn) {
        DecipheredValue(first, pszOwn);
        Put(piOwnHou, GetInt(first, 1));
        Put(piOwnCli, GetInt(first, 2));
        if (!DbNextRow(res, second))
            return 0;
        DecipheredValue(second, pszSecond);
        Put(piHou, GetInt(second, 1));
        Put(piCli, GetInt(second, 2));
    } else {
        DecipheredValue(first, pszSecond);
        Put(piHou, GetInt(first, 1));
        Put(piCli, GetInt(first, 2));
    }
    return 1;
}

// ---- Positions ---------------------------------------------------------------

tagPostion* FD_Sct_Pst(tagPostion** ppList, int* pCount, int bRecyle)
{
    Handed<tagPostion>(ppList, nullptr);
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal,szPST,iBasePay,iLevel,szDescribe from t_position");
    SqlAdd(sql, " where  bRecyle = %d", bRecyle);
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    // The position list leaves a rejected statement out of the error record.
    return LoadList<tagPostion>(sql, ppList, pCount, [](tagPostion& p, const ZDRow& row) {
        p.iOrdinal = GetInt(row, 0);
        GetText(row, 1, p.szPST);
        p.iBasePay = GetInt(row, 2);
        p.iLevel = GetInt(row, 3);
        GetText(row, 4, p.szDescribe);
    }, false);
}

int FD_Ist_Pst(int iOpEmp, tagPostion* pPst)
{
    if (!pPst || !CheckConnection())
        return 0;
    ZDSql cnt;
    SqlAdd(cnt, "select count(*) from t_position where szPST = '%s'", pPst->szPST);
    long long n = DbScalar(cnt.text);
    if (n < 0)
        return 0;
    if (n > 0) {
        DbBox("数据行重复", "", MB_OK);
        return 0;
    }
    ZDSql sql;
    SqlAdd(sql, "insert into t_position (szPST, iBasePay, iLevel, szDescribe)");
    SqlAdd(sql, " values ('%s', %d, %d, '%s')", pPst->szPST, pPst->iBasePay, pPst->iLevel, pPst->szDescribe);
    // The position, its permission row and its log row: all or nothing.
    ZDResult failure;
    int outcome = DbTransaction([&](ZDTxn& t) {
        ZDResult r = TxnRun(t, sql);
        if (!r.ok || r.stmts.empty() || r.stmts[0].insertId == 0)
            return false;
        pPst->iOrdinal = (int32_t)r.stmts[0].insertId;
        ZDSql pd;
        SqlAdd(pd, "insert into t_popedom (szValue,iPST) values('%s', %d)", "", pPst->iOrdinal);
        return TxnRun(t, pd).ok && TxnLog(t, iOpEmp, OBJ_POSITION, pPst->iOrdinal, ACT_ADD);
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    pPst->iOrdinal = 0;
    return TxnOutcome(outcome, failure, {"增加失败", ""});
}

int FD_Upd_Pst(int iOpEmp, const tagPostion* pCur, const tagPostion* pNew)
{
    if (!pCur || !pNew || !CheckConnection())
        return 0;
    ZDSql cnt;
    SqlAdd(cnt, "select count(*) from t_position where szPST = '%s' and iOrdinal <> %d", pNew->szPST, pCur->iOrdinal);
    long long n = DbScalar(cnt.text);
    if (n < 0)
        return 0;
    if (n > 0) {
        DbBox("数据行重复", "", MB_OK);
        return 0;
    }
    ZDSql sql;
    SqlAdd(sql, "update t_position set");
    SqlAdd(sql, " szPST = '%s', iBasePay = %d", pNew->szPST, pNew->iBasePay);
    SqlAdd(sql, ",iLevel= %d, szDescribe='%s'", pNew->iLevel, pNew->szDescribe);
    SqlAdd(sql, " where  iOrdinal = %d", pCur->iOrdinal);
    // A row that is gone is a failure too, not a saved change.
    return LoggedChange(iOpEmp, sql, OBJ_POSITION, pCur->iOrdinal, ACT_MODIFY, {"修改失败", ""}, {"修改失败", ""});
}

int FD_Del_Pst(int iOpEmp, const tagPostion* pPst)
{
    if (!pPst || !CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql,
           "update t_position, (select count(*) as B from t_Employee where iPst = %d and bRecyle=0) as B set bRecyle=1 "
           "where",
           pPst->iOrdinal);
    SqlAdd(sql, " B = 0 and iOrdinal = %d ", pPst->iOrdinal);
    return SoftDelete(iOpEmp, sql, OBJ_POSITION, pPst->iOrdinal,
                      "错误原因:\n\n1.用户使用该职位,不能直接删除\n\n2.已被其它用户删除");
}

void Mem_Free_Pst(tagPostion* pList) { FreeBlock(pList); }
