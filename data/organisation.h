// ZTData: branches, employees (user accounts), positions and permission
// values.
//
// Lists return one block of the rows followed by 101 zeroed spare records
// (also stored through the out pointer); the block belongs to the caller and
// is released only with the matching Mem_Free_ function.  A record whose
// iOrdinal is 0 is a free slot.  Texts are GBK, NUL-terminated; a field of
// width N holds at most N-1 bytes (longer values are cut, never split inside
// a double-byte character).  The first argument of a change operation is the
// operator's employee key, recorded in the operation log.
#pragma once
#include "common/platform.h"

// A branch in full.
struct tagBRANCH {
    int32_t iOrdinal;
    char szBr[51];        // name, unique (refused when repeated on update)
    char szHou_PF[4];     // house number prefix
    char szCli_PF[4];     // client number prefix
    char szCTCT_PF[4];    // contract number prefix
    char szCMSS_PF[13];   // commission receipt number prefix
    char szNum[11];       // branch number (sort key)
    char szBLN[42];       // business permit number
    char szTel[38];
    char szEmail[61];
    char szAdd[572];
    int32_t iVersion;     // raised by every save; a save names the one its form loaded
};

// Branch short form for drop-down lists and look-ups.
struct tagBRLIST {
    int32_t iOrdinal;
    char szBr[51];
    char szHou_PF[4];
    char szCli_PF[4];
    char szCTCT_PF[37];
    char szCMSS_PF[40];
};

// An employee in full.
struct tagEMPLOYEE {
    int32_t iOrdinal;            // user key; 1 is the administrator
    int32_t iBr;                 // branch
    char szEmp[40];              // name and login name, unique (namesakes get the key appended)
    char szNum[11];
    char szCardNO[257];          // identity card number, enciphered with CipherText
    char szKoseki[51];
    char szEnrollment[11];
    char szSex[4];
    char szEdu[11];
    char szCertificate[11];
    char szStatus[17];
    char szTel[19];
    char szAdd[51];
    char szEmail[61];
    char szResume[51];
    char szRemark[257];
    char szPwd[257];             // enciphered with CipherPwd (stored as a hash); empty in loaded records
    char szBirthday[11];
    int32_t bSalesMan;           // 1: works as a salesman (stored by insert and update)
    int32_t iPst;                // position
    char szValue[512];           // permission value as stored (enciphered)
    int32_t iCliReadRecordMax;   // client telephone views a day
    int32_t iHouReadRecordMax;   // house telephone views a day
    int32_t iVersion;            // raised by every save; a save names the one its form loaded
};

// Employee short form.
struct tagEMPLIST {
    int32_t iOrdinal;
    int32_t iBr;
    char szEmp[28];
};

// A position.
struct tagPostion {
    int32_t iOrdinal;
    char szPST[24];       // name, unique
    int32_t iBasePay;
    int32_t iLevel;
    char szDescribe[52];
    int32_t iVersion;     // raised by every save; a save names the one its form loaded
};

// ---- Branches ----------------------------------------------------------------

// bRecyle 0: live branches by number; 1: the recycle bin by key.
// *pCount is -1 until the rows are read.  Null on failure.
ZTDATA_API tagBRLIST* FD_Sct_BrList(tagBRLIST** ppList, int* pCount, int bRecyle);
ZTDATA_API tagBRANCH* FD_Sct_Br(tagBRANCH** ppList, int* pCount, int bRecyle);
// Looks through the first iCount records of a block of tagBRLIST (cbRecord ==
// sizeof(tagBRLIST)) or tagBRANCH (any other cbRecord): with pszName null the
// record with key iKey, with a non-empty name the first of that name, with an
// empty name none.  The record (or null) is also stored through ppFound.
ZTDATA_API void* FindBr(void* pList, void** ppFound, int iKey, const char* pszName, int iCount, int cbRecord);
// Inserts the branch and fills in its key; 1/0.  The name is not checked
// for repeats here.
ZTDATA_API int FD_Ist_Br(int iOpEmp, tagBRANCH* pBr);
// Saves pNew over the branch pCur; refused (box) when another branch has the
// name or the row is gone, and refused when another desk saved the branch
// since pCur was loaded (pCur->iVersion is no longer the branch's: nothing
// stored, the box names the boxes that desk changed).  1 (pNew->iVersion
// holds the new version) / 0.
ZTDATA_API int FD_Upd_Br(int iOpEmp, const tagBRANCH* pCur, tagBRANCH* pNew);
// Moves the branch to the recycle bin; refused (box) while a live employee
// belongs to it.  1/0.
ZTDATA_API int FD_Del_Br(int iOpEmp, const tagBRANCH* pBr);
ZTDATA_API void Mem_Free_Br(tagBRANCH* pList);
ZTDATA_API void Mem_Free_BrList(tagBRLIST* pList);

// ---- Employees ---------------------------------------------------------------

// bRecyle 0: live employees by branch and number; 1: the recycle bin by key.
// *pCount is -1 until the rows are read.
ZTDATA_API tagEMPLIST* FD_Sct_EmpList(tagEMPLIST** ppList, int* pCount, int bRecyle);
// Live employees of the branch (only pBr->iOrdinal is read) that have a
// permission row, by number, with their permission value and limits.
// *pCount is 0 until the rows are read.
ZTDATA_API tagEMPLOYEE* FD_Sct_Emp(const tagBRANCH* pBr, tagEMPLOYEE** ppList, int* pCount);
// As FindBr over tagEMPLIST (cbRecord == sizeof(tagEMPLIST)) or tagEMPLOYEE;
// a name match also needs iBr == iBr when iBr is above 0.
ZTDATA_API void* FindEmp(void* pList, void** ppFound, int iKey, const char* pszName, int iCount, int cbRecord,
                         int iBr);
// Inserts the employee with its (empty) permission row, filling in the key;
// a name already taken gets the new key appended (in the record too).  1/0.
ZTDATA_API int FD_Ist_Emp(int iOpEmp, tagEMPLOYEE* pEmp);
// Saves pNew over the employee pCur (never its branch; the password only
// when pNew->szPwd is not empty).  A new name already taken gets the key
// appended, in pNew too.  Refused as a branch's save when another desk saved
// the employee since pCur was loaded.  1 (pNew->iVersion holds the new
// version) / 0 (box on failure).
ZTDATA_API int FD_Upd_Emp(int iOpEmp, const tagEMPLOYEE* pCur, tagEMPLOYEE* pNew);
// Moves the employee to the recycle bin; refused (box) while live houses or
// clients name the employee.  1/0.
ZTDATA_API int FD_Del_Emp(int iOpEmp, const tagEMPLOYEE* pEmp);
// The user's own password change, texts enciphered with CipherPwd (stored
// as a hash): with pszOldPwd empty the password is set unconditionally,
// otherwise only when it matches ("原始密码错误" otherwise).  The mark of a
// password to be changed goes with it.  1/0.
ZTDATA_API int FD_Upd_Pwd(int iEmp, const char* pszOldPwd, const char* pszNewPwd);
ZTDATA_API void Mem_Free_Emp(tagEMPLOYEE* pList);
ZTDATA_API void Mem_Free_EmpList(tagEMPLIST* pList);

// What an employee transfer moved.
struct tagTRANSFER {
    int32_t nHouses;
    int32_t nClients;
    int32_t nFollows;
    int32_t nReminds;
};
// Hands what employee iFrom holds to employee iTo of branch iToBr (someone
// leaves or changes desk): the live houses, clients and follow-ups whose
// agent iFrom is, and the reminders iFrom set, take iTo as their agent and
// iToBr as their branch, with an operation-log row (action 2) for every
// house, client and follow-up moved, all in one transaction.  1 when stored,
// *pCounts (when given) then says what moved (nothing to move is a
// success too).  Otherwise 0 and nothing changed: iTo equal to iFrom, or not
// a live employee of iToBr, is refused ("转入的员工不存在或不在所选部门");
// a rejected statement or a lost connection shows "员工转移失败, 数据没有改变"
// after the error record, and a commit whose answer was lost says that its
// outcome is unknown.
ZTDATA_API int FD_Transfer_Emp(int iOpEmp, int iFrom, int iTo, int iToBr, tagTRANSFER* pCounts);

// ---- Permissions ---------------------------------------------------------------

// Stores an employee's permission value (enciphered with CipherLongText by
// the caller) and daily limits, with a log row (action LOG_ACT_GRANT,
// operator iOpEmp) holding pszChange: what the grant changes, by the
// rights' names.  1 when stored; 0 when nothing was stored (no box: the
// caller says so; the error record is written for a server error); -1 when
// the commit's answer was lost and the user has been told what reading the
// log afterwards found (not stored, or not known).
ZTDATA_API int FD_Upd_EmpPD(int iOpEmp, int iEmp, const char* pszValue, int iCliReadRecordMax,
                            int iHouReadRecordMax, const char* pszChange = nullptr);
// Stores a position's permission value.  1 when the row matched, else 0.
ZTDATA_API int FD_Upd_PSTPD(int iOpEmp, int iPst, const char* pszValue);
// Reads deciphered permission values (each buffer receives at most 257
// bytes; the program passes its 508- or 512-byte buffers).  Needs exactly
// two rows: the employee's own and the default row, or for iEmp -1 the
// manager preset and the salesman preset.
//  - pszOwn given: the first row to pszOwn, *piOwnCli, *piOwnHou; the second
//    to pszSecond, *piCli, *piHou.
//  - pszOwn null: the first row (the employee's own) to pszSecond, *piCli,
//    *piHou.
// Any out pointer may be null.  1, or 0 (nothing filled) when the rows are
// not exactly two or the statement failed.
ZTDATA_API int FD_Sct_DefPD(char* pszOwn, char* pszSecond, int* piCli, int* piHou, int* piOwnCli, int* piOwnHou,
                            int iEmp);

// ---- Positions ---------------------------------------------------------------

// bRecyle 0: live positions (server order); 1: the recycle bin by key.
// *pCount is left as it was when the statement fails.
ZTDATA_API tagPostion* FD_Sct_Pst(tagPostion** ppList, int* pCount, int bRecyle);
// With pszName null the position with key iKey, with a non-empty name the
// first of that name, with an empty name none; also stored through ppFound.
ZTDATA_API tagPostion* FindPst(tagPostion* pList, tagPostion** ppFound, int iKey, const char* pszName, int iCount);
// Inserts the position with its permission row, filling in the key; a name
// already used (also in the recycle bin) is refused with "数据行重复".  1/0.
ZTDATA_API int FD_Ist_Pst(int iOpEmp, tagPostion* pPst);
// Saves pNew over the position pCur: refused ("数据行重复") for a name another
// position has, and as a branch's save when another desk saved the position
// since pCur was loaded.  1 (pNew->iVersion holds the new version) / 0.
ZTDATA_API int FD_Upd_Pst(int iOpEmp, const tagPostion* pCur, tagPostion* pNew);
// Moves the position to the recycle bin; refused (box) while a live employee
// holds it.  1/0.
ZTDATA_API int FD_Del_Pst(int iOpEmp, const tagPostion* pPst);
ZTDATA_API void Mem_Free_Pst(tagPostion* pList);
