// ZTData: the operation log (t_log) as the log window reads and removes it.
// Rows are written by the library itself: every insert, update, deletion,
// password change and login records its operator, the object and a snapshot
// of the object's main columns.
#pragma once
#include "common/platform.h"

// What a log row records (iAct).  The recycle bin's own changes are logged
// with the type and key of the object they concern (a clear with key 0).
enum ZT_LOG_ACTION {
    LOG_ACT_DELETE = 1,      // deleted into the recycle bin
    LOG_ACT_MODIFY = 2,
    LOG_ACT_ADD = 3,
    LOG_ACT_LOGIN = 4,
    LOG_ACT_RESTORE = 5,     // restored from the recycle bin
    LOG_ACT_PURGE = 6,       // purged from the recycle bin
    LOG_ACT_CLEAR = 7,       // every entry of one type purged from the recycle bin
    LOG_ACT_PASSWORD = 8,    // password changed
    // (9 is the export of a list, ZT_LOG_ACT_EXPORT)
    LOG_ACT_TELVIEW = 10,    // a listing's telephones shown ("看电话"): house or client
    LOG_ACT_GRANT = 11,      // an employee's or position's rights changed: old and new by name
    LOG_ACT_LOGIN_FAILED = 12, // a login refused for a wrong password (the employee tried)
    LOG_ACT_MERGE = 13,      // urban areas merged: what moved where
    LOG_ACT_OPTIONS = 14,    // the system options saved: which changed
    LOG_ACT_LOG_DELETE = 15, // log rows deleted: how many, with which filter
    LOG_ACT_LOG_CLEAR = 16,  // the log cleared: how many, with which filter
    LOG_ACT_RESET = 17       // an employee's password reset by the administrator
};

// The object type of the system options' log rows.
#define ZT_LOG_OBJ_SYSOPT 17

// One row of the operation log.
struct tagLOG {
    int32_t iOrdinal;      // key of the row; 0 marks a free slot
    int32_t iAct;          // 1 delete, 2 modify, 3 add, 4 login, 8 password change,
                           // 9 export of a list (FD_Log_Export)
    int32_t iObjType;      // 0 house, 1 client, 2 estate, 3 branch, 4 employee,
                           // 5 position, 6 city/urban area, 7 house follow-up,
                           // 8 client follow-up, 9 building, 10 parameter value,
                           // 11 district, 12 login; for an export the list's
                           // type, also 15 operation log and 16 recycle bin
    int32_t iObjID;        // key of the object in its table
    int32_t iOpEmp;        // employee who did it
    char szValue[1024];    // snapshot: main columns joined with "@,@",
                           // or "用户登录" for a login; for an export
                           // "list@,@rows@,@format@,@file"
    char szTime[20];       // when: 'YYYY-MM-DD hh:mm:ss'
};

// Lists log rows, newest first, into a new block of the rows plus 101 zeroed
// records (also stored through ppList); *pCount gets the row count.
// pszFilter is a WHERE expression over t_log composed by the program (for
// instance by FD_Log_DateFilter); null or blank lists every row.  With
// piMatched the list is bounded: the newest ZT_LIST_ROWS rows at most, and
// *piMatched gets how many rows the filter matches (a count of them when
// the list is full; -1 when that count failed).  A rejected statement
// writes the error record and returns null.
ZTDATA_API tagLOG* FD_Sct_Log(tagLOG** ppList, int* pCount, const char* pszFilter, long long* piMatched = nullptr);

// Deletes the log row with key iLogKey; with iLogKey 0 or less, the rows
// matching pszFilter (null or blank: the whole log), every one of them.
// iCount is not used.  1 when the server accepted the deletion (also when no
// row matched; *pnDeleted, when given, gets how many rows went), 0 on
// failure (a box is shown).
ZTDATA_API int FD_Del_Log(int iOpEmp, const char* pszFilter, int iLogKey, int iCount,
                          long long* pnDeleted = nullptr);

// Releases a block of FD_Sct_Log.
ZTDATA_API void Mem_Free_Log(tagLOG* pList);

// Composes the filter of a date range for FD_Sct_Log and FD_Del_Log into
// pszBuf: " dtAdd >= 'from'" and/or " and dtAdd <= 'to 23:59:59'" (each
// date 'YYYY-MM-DD', a real calendar day, quoted as a date literal; the
// to-date includes its whole day).  Either date may be null or empty; with
// neither the filter is empty.  Returns pszBuf; null when a date given is no
// calendar day (a typed text, a half character) or the filter does not fit
// cbBuf bytes: the filter is never shortened or widened, and the buffer
// then holds a condition no row meets ("1 = 0", when it has room for it;
// else "").  Check the result before a deletion: FD_Del_Log(.., null, ..)
// clears the whole log.
ZTDATA_API char* FD_Log_DateFilter(char* pszBuf, int cbBuf, const char* pszFrom, const char* pszTo);

// ---- Exports of lists ----------------------------------------------------------------

// The action of an export row, and the object types of the lists that hold
// no object of a type of their own (the other lists use their records'
// type: 0 houses, 1 clients, 2 estates, 7 and 8 follow-ups ...).
#define ZT_LOG_ACT_EXPORT 9
#define ZT_LOG_OBJ_OPLOG 15
#define ZT_LOG_OBJ_RECYCLE 16

// Records that employee iOpEmp exported nRows rows of the list pszList (its
// caption) of object type iObjType as pszFormat ("xlsx", "csv-utf8",
// "csv-gbk") into pszFile: one t_log row with action ZT_LOG_ACT_EXPORT, the
// object type, iObjID 0 and szValue "list@,@rows@,@format@,@file" (every
// text escaped; the file name cut, whole characters, to what the row
// holds).  1 when the row was written; 0 when the server refused it or the
// connection is gone (the error record is written, no box is shown: the
// caller decides what the export then is).
ZTDATA_API int FD_Log_Export(int iOpEmp, int iObjType, int nRows, const char* pszList, const char* pszFormat,
                             const char* pszFile);

// ---- Telephone views --------------------------------------------------------------------

// What FD_View_Tel answers.
enum ZT_TELVIEW_RESULT {
    TELVIEW_ALLOWED = 1,    // counted and logged: the telephones may be shown
    TELVIEW_REFUSED = 0,    // the day's limit is reached: nothing written
    TELVIEW_FAILED = -1,    // not recorded (no connection, the server refused, the link lost): nothing written
    TELVIEW_UNKNOWN = -2    // the answer to the commit was lost: recorded or not
};

// Employee iOpEmp asks to see the telephones of a house (iObjType 0) or a
// client (1), key iObjID, under his daily limit iMax of that kind.  One
// transaction counts his views of that kind on the server's today, under a
// lock on those rows that makes two desks of the same employee wait for
// each other, then either refuses (the limit reached) or stores the view
// (t_telview) and its log row (action LOG_ACT_TELVIEW, the listing's
// snapshot).  A limit of 0 or less counts without limit, and the
// administrator (employee 1) is never refused: their views are still
// counted and logged.  *piCount (when given) gets the views of the day of
// that kind: with this one when allowed, those already made when refused,
// -1 when failed or unknown.  No box is shown but the connection check's;
// a failure writes the error record.
ZTDATA_API int FD_View_Tel(int iOpEmp, int iObjType, int iObjID, int iMax, int* piCount);
