// Branches, employees, positions and permission values.
#include "data/db_core.h"
#include "data/oplog.h"
#include "data/organisation.h"
#include "data/columns.h"
#include "data/passwords.h"
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

// A branch's columns: the light list's, the full list's, and those its
// insert and update write after the name.
static constexpr ZDCol kBrListRead[] = {
    ZD_COL(tagBRLIST, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagBRLIST, szBr, ZK_TEXT, "szBr,"),
    ZD_COL(tagBRLIST, szHou_PF, ZK_TEXT, "szHou_PF, "),
    ZD_COL(tagBRLIST, szCli_PF, ZK_TEXT, "szCli_PF,"),
    ZD_COL(tagBRLIST, szCTCT_PF, ZK_TEXT, "szCTCT_PF, "),
    ZD_COL(tagBRLIST, szCMSS_PF, ZK_TEXT, "szCMSS_PF"),
};
static constexpr ZDCol kBranchRead[] = {
    ZD_COL(tagBRANCH, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagBRANCH, szNum, ZK_TEXT, "szNum, "),
    ZD_COL(tagBRANCH, szBr, ZK_TEXT, "szBr, "),
    ZD_COL(tagBRANCH, szBLN, ZK_TEXT, "szBLN, "),
    ZD_COL(tagBRANCH, szHou_PF, ZK_TEXT, "szHou_PF, "),
    ZD_COL(tagBRANCH, szCli_PF, ZK_TEXT, "szCli_PF,"),
    ZD_COL(tagBRANCH, szTel, ZK_TEXT, "szTel, "),
    ZD_COL(tagBRANCH, szEmail, ZK_TEXT, "szEmail, "),
    ZD_COL(tagBRANCH, szAdd, ZK_TEXT, "szAdd, "),
    ZD_COL(tagBRANCH, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagBRANCH, szCTCT_PF, ZK_TEXT, "szCTCT_PF, "),
    ZD_COL(tagBRANCH, szCMSS_PF, ZK_TEXT, "szCMSS_PF"),
};
static constexpr ZDCol kBranchWrite[] = {
    ZD_COLC(tagBRANCH, szNum, ZK_TEXT, " szNum = '%s'", "部门编号"),
    ZD_COLC(tagBRANCH, szBLN, ZK_TEXT, ", szBLN='%s'", "营业执照号"),
    ZD_COLC(tagBRANCH, szHou_PF, ZK_TEXT, ", szHou_PF='%s'", "房源编号前缀"),
    ZD_COLC(tagBRANCH, szCli_PF, ZK_TEXT, ",szCli_PF='%s'", "客源编号前缀"),
    ZD_COLC(tagBRANCH, szTel, ZK_TEXT, ", szTel='%s'", "电话"),
    ZD_COLC(tagBRANCH, szEmail, ZK_TEXT, ", szEmail='%s'", "邮箱"),
    ZD_COLC(tagBRANCH, szAdd, ZK_TEXT, ", szAdd='%s'", "地址"),
    ZD_COLC(tagBRANCH, szCTCT_PF, ZK_TEXT, ",szCTCT_PF='%s'", "合同编号前缀"),
    ZD_COLC(tagBRANCH, szCMSS_PF, ZK_TEXT, ", szCMSS_PF='%s'", "收据编号前缀"),
};

// The branches, live or in the recycle bin, with the columns of cols.
template <class T> static T* LoadBranches(ZDCols cols, T** ppList, int* pCount, int bRecyle)
{
    Handed<T>(ppList, nullptr);
    if (pCount)
        *pCount = -1;
    ZDSql sql;
    AddColumns(sql, cols);
    SqlAdd(sql, " from t_branch where bRecyle = %d", bRecyle);
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    else
        SqlAdd(sql, " order by szNum asc, iOrdinal asc");
    return LoadList<T>(sql, ppList, pCount, RowReader<T>(cols));
}

tagBRLIST* FD_Sct_BrList(tagBRLIST** ppList, int* pCount, int bRecyle)
{
    return LoadBranches(ZD_TABLE(kBrListRead), ppList, pCount, bRecyle);
}

tagBRANCH* FD_Sct_Br(tagBRANCH** ppList, int* pCount, int bRecyle)
{
    return LoadBranches(ZD_TABLE(kBranchRead), ppList, pCount, bRecyle);
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
            AddValues(sql, *pBr, ZD_TABLE(kBranchWrite));
            SqlAdd(sql, " where iOrdinal = %d", pBr->iOrdinal);
        }) != 0;
    }, &failure, TXN_REPEAT);
    if (outcome == TXN_DONE)
        return 1;
    pBr->iOrdinal = 0;
    // Reported by the result (and the error record) only.
    return TxnOutcome(outcome, failure, {nullptr, nullptr});
}

// What a branch's modify writes before the list above: the new version and
// the name (with the name of its box).
static constexpr ZDCol kBranchName[] = {
    ZD_COLC(tagBRANCH, szBr, ZK_TEXT, " iVersion = iVersion + 1, szBr= '%s',", "部门名称"),
};

int FD_Upd_Br(int iOpEmp, const tagBRANCH* pCur, tagBRANCH* pNew)
{
    if (!pCur || !pNew || !CheckConnection())
        return 0;
    int key = pCur->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_branch ");
    SqlAdd(sql, ", (select count(*) as tb2 from t_branch where szBr='%s' and iOrdinal<>%d) as tb2", pNew->szBr, key);
    SqlAdd(sql, " set");
    AddValues(sql, *pNew, ZD_TABLE(kBranchName));
    AddValues(sql, *pNew, ZD_TABLE(kBranchWrite));
    SqlAdd(sql, ", szBr = '%s'", pNew->szBr);
    SqlAdd(sql, " where iOrdinal = %d and tb2 = 0", key);
    // What another desk changed: the branch as it is now against the one
    // the form loaded.
    int loaded = pCur->iVersion;
    tagBRANCH was = *pCur;
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddColumns(now, ZD_TABLE(kBranchRead));
        SqlAdd(now, " from t_branch where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kBranchRead)}, was, {ZD_TABLE(kBranchName), ZD_TABLE(kBranchWrite)});
    };
    if (!VersionedChange(iOpEmp, sql, OBJ_BRANCH, key, "t_branch", loaded, describe, {"修改数据出错", ""},
                         {"部门名称重复或该数据被删除", "修改数据出错"}))
        return 0;
    pNew->iVersion = loaded + 1;
    return 1;
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

// An employee's columns: the light list's, the branch list's (with the
// permission row joined), and those an insert and an update both write,
// from the card number to the remarks.
static constexpr ZDCol kEmpListRead[] = {
    ZD_COL(tagEMPLIST, iOrdinal, ZK_INT, "select iOrdinal, "),
    ZD_COL(tagEMPLIST, szEmp, ZK_TEXT, "szEmp,"),
    ZD_COL(tagEMPLIST, iBr, ZK_INT, "iBr"),
};
static constexpr ZDCol kEmployeeRead[] = {
    ZD_COL(tagEMPLOYEE, iOrdinal, ZK_INT, "select t_Employee.iOrdinal, "),
    ZD_COL(tagEMPLOYEE, szNum, ZK_TEXT, "szNum, "),
    ZD_COL(tagEMPLOYEE, szEmp, ZK_TEXT, "szEmp, "),
    ZD_COL(tagEMPLOYEE, szCardNO, ZK_CIPHER, "szCardNO,"),
    ZD_COL(tagEMPLOYEE, szBirthday, ZK_TEXT, "szBirthday, "),
    ZD_COL(tagEMPLOYEE, szEnrollment, ZK_TEXT, "szEnrollment, "),
    ZD_COL(tagEMPLOYEE, bSalesMan, ZK_FLAG, "bSalesMan, "),
    ZD_COL(tagEMPLOYEE, szSex, ZK_TEXT, "szSex,"),
    ZD_COL(tagEMPLOYEE, szKoseki, ZK_TEXT, "szKoseki, "),
    ZD_COL(tagEMPLOYEE, szEdu, ZK_TEXT, "szEdu, "),
    ZD_COL(tagEMPLOYEE, szCertificate, ZK_TEXT, "szCertificate, "),
    ZD_COL(tagEMPLOYEE, szStatus, ZK_TEXT, "szStatus, "),
    ZD_COL(tagEMPLOYEE, szTel, ZK_TEXT, "szTel, "),
    ZD_COL(tagEMPLOYEE, szEmail, ZK_TEXT, "szEmail, "),
    ZD_COL(tagEMPLOYEE, szAdd, ZK_TEXT, "szAdd, "),
    ZD_COL(tagEMPLOYEE, szResume, ZK_TEXT, "szResume, "),
    ZD_COL(tagEMPLOYEE, szRemark, ZK_TEXT, "szRemark, "),
    ZD_COL(tagEMPLOYEE, iVersion, ZK_INT, "t_Employee.iVersion, "),
    ZD_COL(tagEMPLOYEE, iBr, ZK_INT, "iBr, "),
    ZD_COL(tagEMPLOYEE, iPst, ZK_INT, "t_Employee.iPst, "),
    ZD_COL(tagEMPLOYEE, szValue, ZK_TEXT, "szValue,  "),
    ZD_COL(tagEMPLOYEE, iCliReadRecordMax, ZK_INT, "iCliReadRecordMax, "),
    ZD_COL(tagEMPLOYEE, iHouReadRecordMax, ZK_INT, "iHouReadRecordMax"),
};
static constexpr ZDCol kEmployeeWrite[] = {
    ZD_COLC(tagEMPLOYEE, szCardNO, ZK_CIPHER, ",szCardNO = '%s'", "身份证号"),
    ZD_COLC(tagEMPLOYEE, szKoseki, ZK_TEXT, ",szKoseki = '%s'", "户籍"),
    ZD_COLC(tagEMPLOYEE, szBirthday, ZK_TEXT, ",szBirthday='%s'", "生日"),
    ZD_COLC(tagEMPLOYEE, szSex, ZK_TEXT, ",szSex = '%s'", "性别"),
    ZD_COLC(tagEMPLOYEE, szEnrollment, ZK_TEXT, ",szEnrollment='%s'", "入职日期"),
    ZD_COLC(tagEMPLOYEE, szCertificate, ZK_TEXT, ",szCertificate ='%s'", "证书"),
    ZD_COLC(tagEMPLOYEE, szAdd, ZK_TEXT, ",szAdd ='%s'", "地址"),
    ZD_COLC(tagEMPLOYEE, szEdu, ZK_TEXT, ",szEdu='%s'", "学历"),
    ZD_COLC(tagEMPLOYEE, szStatus, ZK_TEXT, ",szStatus='%s'", "状态"),
    ZD_COLC(tagEMPLOYEE, szTel, ZK_TEXT, ",szTel = '%s'", "电话"),
    ZD_COLC(tagEMPLOYEE, szEmail, ZK_TEXT, ",szEmail= '%s'", "邮箱"),
    ZD_COLC(tagEMPLOYEE, szResume, ZK_TEXT, ",szResume ='%s'", "简历"),
    ZD_COLC(tagEMPLOYEE, szRemark, ZK_TEXT, ",szRemark='%s'", "备注"),
};

tagEMPLIST* FD_Sct_EmpList(tagEMPLIST** ppList, int* pCount, int bRecyle)
{
    Handed<tagEMPLIST>(ppList, nullptr);
    if (pCount)
        *pCount = -1;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kEmpListRead));
    SqlAdd(sql, " from t_Employee ");
    SqlAdd(sql, " where bRecyle= %d", bRecyle);
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    else
        SqlAdd(sql, " order by iBr asc,szNum asc, iOrdinal asc");
    return LoadList<tagEMPLIST>(sql, ppList, pCount, RowReader<tagEMPLIST>(ZD_TABLE(kEmpListRead)));
}

tagEMPLOYEE* FD_Sct_Emp(const tagBRANCH* pBr, tagEMPLOYEE** ppList, int* pCount)
{
    Handed<tagEMPLOYEE>(ppList, nullptr);
    if (pCount)
        *pCount = 0;
    if (!pBr)
        return nullptr;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kEmployeeRead));
    SqlAdd(sql, " from t_Employee INNER  join t_popedom on iEmp = t_Employee.iOrdinal");
    SqlAdd(sql, " where bRecyle = 0 and iBr = %d", pBr->iOrdinal);
    SqlAdd(sql, " order by szNum asc, t_Employee.iOrdinal asc");
    return LoadList<tagEMPLOYEE>(sql, ppList, pCount, RowReader<tagEMPLOYEE>(ZD_TABLE(kEmployeeRead)));
}

int FD_Ist_Emp(int iOpEmp, tagEMPLOYEE* pEmp)
{
    if (!pEmp || !CheckConnection())
        return 0;
    ZDSql ins;
    SqlAdd(ins, "insert into t_Employee (szEmp, iBr, iPst) values ('%s',%d,%d)", pEmp->szEmp, pEmp->iBr, pEmp->iPst);
    // The password is stored as its hash (an empty one stays empty: it opens nothing).
    std::string pwd = pEmp->szPwd[0] ? PasswordToStore(pEmp->szPwd) : std::string();
    if (pEmp->szPwd[0] && pwd.empty())
        return 0;
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
        AddValues(sql, *pEmp, ZD_TABLE(kEmployeeWrite));
        SqlAdd(sql, ",szPwd = '%s'", pwd.c_str());
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

// What an employee's modify writes besides the list above, each with the
// name of its box (the number with the new version; the name and the
// position only when they change).
static constexpr ZDCol kEmpNumber[] = {
    ZD_COLC(tagEMPLOYEE, szNum, ZK_TEXT, " iVersion = iVersion + 1, szNum = '%s'", "员工编号"),
};
static constexpr ZDCol kEmpName[] = {
    ZD_COLC(tagEMPLOYEE, szEmp, ZK_TEXT, ",szEmp = '%s'", "员工姓名"),
};
static constexpr ZDCol kEmpPosition[] = {
    ZD_COLC(tagEMPLOYEE, iPst, ZK_INT, ",iPst=%d", "职位"),
};
static constexpr ZDCol kEmpSalesman[] = {
    ZD_COLC(tagEMPLOYEE, bSalesMan, ZK_FLAG, ",bSalesMan = %d", "业务员"),
};

int FD_Upd_Emp(int iOpEmp, const tagEMPLOYEE* pCur, tagEMPLOYEE* pNew)
{
    if (!pCur || !pNew || !CheckConnection())
        return 0;
    int key = pCur->iOrdinal;
    int loaded = pCur->iVersion;
    bool renamed = pNew->szEmp[0] && FieldText(pNew->szEmp) != FieldText(pCur->szEmp);
    ZDSql sql;
    SqlAdd(sql, "update t_employee set");
    AddValues(sql, *pNew, ZD_TABLE(kEmpNumber));
    if (renamed)
        AddValues(sql, *pNew, ZD_TABLE(kEmpName));
    AddValues(sql, *pNew, ZD_TABLE(kEmployeeWrite));
    if (pNew->iPst != pCur->iPst)
        AddValues(sql, *pNew, ZD_TABLE(kEmpPosition));
    if (pNew->szPwd[0]) {
        std::string pwd = PasswordToStore(pNew->szPwd);
        if (pwd.empty()) {
            ShowFailure("修改数据出错", 0);
            return 0;
        }
        SqlAdd(sql, ",szPwd = '%s'", pwd.c_str());
    }
    AddValues(sql, *pNew, ZD_TABLE(kEmpSalesman));
    SqlAdd(sql, " where iOrdinal = %d", key);
    char typedName[sizeof pNew->szEmp];
    memcpy(typedName, pNew->szEmp, sizeof typedName);
    // What another desk changed: the employee as it is now against the one
    // the form loaded.
    tagEMPLOYEE was = *pCur;
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddColumns(now, ZD_TABLE(kEmployeeRead));
        SqlAdd(now, " from t_Employee INNER  join t_popedom on iEmp = t_Employee.iOrdinal");
        SqlAdd(now, " where t_Employee.iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kEmployeeRead)}, was,
                                  {ZD_TABLE(kEmpName), ZD_TABLE(kEmpNumber), ZD_TABLE(kEmpPosition),
                                   ZD_TABLE(kEmployeeWrite), ZD_TABLE(kEmpSalesman)});
    };
    // The change, the namesake's suffix and the log row: all or nothing.
    ZDVersionOpts opts;
    opts.then = [&](ZDTxn& t) {
        if (!renamed)
            return true;
        ZDSql cnt;
        SqlAdd(cnt, "select count(*) as count from t_employee where szEmp = '%s'", pNew->szEmp);
        long long namesakes = TxnScalar(t, cnt);
        if (namesakes < 0)
            return false;
        if (namesakes <= 1)
            return true;
        AppendKey(pNew->szEmp, key);
        ZDSql fix;
        SqlAdd(fix, "update t_employee set szEmp = '%s' where iOrdinal = %d", pNew->szEmp, key);
        return TxnRun(t, fix).ok != 0;
    };
    if (VersionedChange(iOpEmp, sql, OBJ_EMPLOYEE, key, "t_employee", loaded, describe, {"修改数据出错", ""},
                        {"修改数据出错", ""}, opts) == 1) {
        pNew->iVersion = loaded + 1;
        return 1;
    }
    memcpy(pNew->szEmp, typedName, sizeof typedName);
    return 0;
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

// ---- Transfer -----------------------------------------------------------------

// The keys of the live rows of a table whose agent is iEmp, locked until the
// transaction ends; with pHouses, follow-ups of houses go there and those of
// clients to keys.  False when the statement failed.
struct AgentRow {
    int32_t iOrdinal;
    int32_t iHou;    // a follow-up's house (0: a client's)
};
static constexpr ZDCol kAgentKey[] = {
    ZD_COL(AgentRow, iOrdinal, ZK_INT, "select iOrdinal"),
};
static constexpr ZDCol kAgentHouse[] = {
    ZD_COL(AgentRow, iHou, ZK_INT, ", iHou"),
};

static bool LockAgentRows(ZDTxn& t, const char* pszTable, int iEmp, std::vector<int>* keys,
                          std::vector<int>* pHouses = nullptr)
{
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kAgentKey));
    if (pHouses)
        AddColumns(sql, ZD_TABLE(kAgentHouse));
    SqlAddRaw(sql, " from %s", pszTable);
    SqlAdd(sql, " where iEmp = %d and bRecyle = 0 for update", iEmp);
    ZDResult r = TxnRun(t, sql);
    if (!r.ok)
        return false;
    ZDRow row;
    for (MYSQL_RES* res = DbRows(r); DbNextRow(res, row);) {
        AgentRow a = {};
        unsigned int next = ReadColumns(row, a, ZD_TABLE(kAgentKey));
        if (pHouses)
            ReadColumns(row, a, ZD_TABLE(kAgentHouse), next);
        (pHouses && a.iHou != 0 ? pHouses : keys)->push_back(a.iOrdinal);
    }
    return true;
}

// Moves the live rows of a table from one agent to another: the number
// moved, -1 when the statement failed.
static long long MoveAgentRows(ZDTxn& t, const char* pszTable, int iFrom, int iTo, int iToBr, bool bLiveOnly = true)
{
    ZDSql sql;
    SqlAddRaw(sql, "update %s", pszTable);
    SqlAdd(sql, " set iEmp = %d, iBr = %d", iTo, iToBr);
    // A moved house or client is a change an open form must not overwrite.
    if (strcmp(pszTable, "t_house") == 0 || strcmp(pszTable, "t_client") == 0)
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
        // Written, not only read: a deletion of him cannot pass meanwhile,
        // on a cluster either.
        int agent = TxnTouchAgent(t, iTo);
        if (agent <= 0) {
            bRefused = agent == 0;
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

// A permission row as the defaults read it: the stored (enciphered) value
// and the two daily telephone-view limits.
struct ZDRights {
    char szValue[1100];
    int32_t iHouReadRecordMax;
    int32_t iCliReadRecordMax;
};
static constexpr ZDCol kRightsRead[] = {
    ZD_COL(ZDRights, szValue, ZK_CIPHER, "select szValue,  "),
    ZD_COL(ZDRights, iHouReadRecordMax, ZK_INT, "iHouReadRecordMax, "),
    ZD_COL(ZDRights, iCliReadRecordMax, ZK_INT, "iCliReadRecordMax"),
};

static void Put(int* p, int v)
{
    if (p)
        *p = v;
}

// Hands a permission row to the caller: the value deciphered into pszValue
// (the plain text is at most 256 bytes, so 257 bytes of the buffer are used
// at most), the limits into the others; a null pointer takes nothing.
static void HandRights(ZDRights& r, char* pszValue, int* piHou, int* piCli)
{
    if (pszValue) {
        CipherLongText(nullptr, r.szValue, CIPHER_DECODE);
        CopyField(pszValue, 257, r.szValue);
    }
    Put(piHou, r.iHouReadRecordMax);
    Put(piCli, r.iCliReadRecordMax);
}

int FD_Sct_DefPD(char* pszOwn, char* pszSecond, int* piCli, int* piHou, int* piOwnCli, int* piOwnHou, int iEmp)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kRightsRead));
    SqlAdd(sql, " from t_popedom");
    SqlAdd(sql, " where iPst = -1 or iEmp = %d order by iEmp desc", iEmp);
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        WriteErrorRecord(r);
        return 0;
    }
    MYSQL_RES* res = DbRows(r);
    if (!res || mysql_num_rows(res) != 2)
        return 0;
    ZDRow row;
    ZDRights rights;
    if (!DbNextRow(res, row))
        return 0;
    ReadColumns(row, rights, ZD_TABLE(kRightsRead));
    if (pszOwn) {
        HandRights(rights, pszOwn, piOwnHou, piOwnCli);
        if (!DbNextRow(res, row))
            return 0;
        ReadColumns(row, rights, ZD_TABLE(kRightsRead));
    }
    HandRights(rights, pszSecond, piHou, piCli);
    return 1;
}

// ---- Positions ---------------------------------------------------------------

// A position's columns.
static constexpr ZDCol kPositionRead[] = {
    ZD_COL(tagPostion, iOrdinal, ZK_INT, "select iOrdinal,"),
    ZD_COL(tagPostion, szPST, ZK_TEXT, "szPST,"),
    ZD_COL(tagPostion, iBasePay, ZK_INT, "iBasePay,"),
    ZD_COL(tagPostion, iLevel, ZK_INT, "iLevel,"),
    ZD_COL(tagPostion, iVersion, ZK_INT, "iVersion, "),
    ZD_COL(tagPostion, szDescribe, ZK_TEXT, "szDescribe"),
};
static constexpr ZDCol kPositionWrite[] = {
    ZD_COLC(tagPostion, szPST, ZK_TEXT, " iVersion = iVersion + 1, szPST = '%s'", "职位名称"),
    ZD_COLC(tagPostion, iBasePay, ZK_INT, ", iBasePay = %d", "底薪"),
    ZD_COLC(tagPostion, iLevel, ZK_INT, ",iLevel= %d", "级别"),
    ZD_COLC(tagPostion, szDescribe, ZK_TEXT, ", szDescribe='%s'", "描述"),
};

tagPostion* FD_Sct_Pst(tagPostion** ppList, int* pCount, int bRecyle)
{
    Handed<tagPostion>(ppList, nullptr);
    ZDSql sql;
    AddColumns(sql, ZD_TABLE(kPositionRead));
    SqlAdd(sql, " from t_position");
    SqlAdd(sql, " where  bRecyle = %d", bRecyle);
    if (bRecyle == 1)
        SqlAdd(sql, " order by iOrdinal asc");
    // The position list leaves a rejected statement out of the error record.
    return LoadList<tagPostion>(sql, ppList, pCount, RowReader<tagPostion>(ZD_TABLE(kPositionRead)),
                                false);
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

int FD_Upd_Pst(int iOpEmp, const tagPostion* pCur, tagPostion* pNew)
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
    int key = pCur->iOrdinal;
    ZDSql sql;
    SqlAdd(sql, "update t_position set");
    AddValues(sql, *pNew, ZD_TABLE(kPositionWrite));
    SqlAdd(sql, " where  iOrdinal = %d", key);
    int loaded = pCur->iVersion;
    tagPostion was = *pCur;
    auto describe = [&](ZDTxn& t) {
        ZDSql now;
        AddColumns(now, ZD_TABLE(kPositionRead));
        SqlAdd(now, " from t_position where iOrdinal = %d", key);
        return TxnChangedCaptions(t, now, {ZD_TABLE(kPositionRead)}, was, {ZD_TABLE(kPositionWrite)});
    };
    // A row that is gone is a failure too, not a saved change.
    if (!VersionedChange(iOpEmp, sql, OBJ_POSITION, key, "t_position", loaded, describe, {"修改失败", ""},
                         {"修改失败", ""}))
        return 0;
    pNew->iVersion = loaded + 1;
    return 1;
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
