// Operation-log writer, recycle-bin entry, and the log list of the log window.
#include "data/db_core.h"
#include "data/oplog.h"
#include "data/test_hooks.h"

const char* ObjTypeTable(int iObjType)
{
    switch (iObjType) {
    case OBJ_HOUSE: return "t_house";
    case OBJ_CLIENT: return "t_client";
    case OBJ_ESTATE: return "t_estate";
    case OBJ_BRANCH: return "t_branch";
    case OBJ_EMPLOYEE: return "t_employee";
    case OBJ_POSITION: return "t_position";
    case OBJ_URBAN: return "t_urban";
    case OBJ_HOUSE_FOLLOW:
    case OBJ_CLIENT_FOLLOW: return "t_follow";
    case OBJ_BUILDNO: return "t_buildno";
    case OBJ_PARAM: return "t_param";
    case OBJ_DISTRICT: return "t_District";
    default: return nullptr;
    }
}

void WriteOpLog(int iOpEmp, int iObjType, int iObjID, int iAct)
{
    ZDSql sql;
    SqlAdd(sql, "insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue) ");
    if (iObjType == OBJ_LOGIN) {
        SqlAdd(sql, " values (%d, %d, %d, %d, '用户登录')", iAct, iObjType, iObjID, iOpEmp);
        DbRun(sql);
        return;
    }
    const char* snapshot = nullptr;
    switch (iObjType) {
    case OBJ_HOUSE:
        snapshot = "concat(iEst,'@,@', szBuildNo,'@,@', szHouseNO,'@,@'"
                   ",dbBuildArea,'@,@', szTrade,'@,@', szLinkMan,'@,@',"
                   "szLinkTel,'@,@',szOwnerMan,'@,@',szOwnerTel ) "
                   "from t_house where iOrdinal = %d;";
        break;
    case OBJ_CLIENT:
        snapshot = " concat(szTrade,'@,@',szLinkMan,'@,@', szLinkTel,'@,@'"
                   ", szCliMan,'@,@', szCliTel) from t_client where iOrdinal = %d;";
        break;
    case OBJ_ESTATE: snapshot = " szEstate from t_estate where iOrdinal = %d;"; break;
    case OBJ_BRANCH: snapshot = " szBr from t_branch where iOrdinal = %d;"; break;
    case OBJ_EMPLOYEE: snapshot = " concat(iBr,'@,@', szEmp) from t_employee where iOrdinal = %d;"; break;
    case OBJ_POSITION: snapshot = " szPst from t_position where iOrdinal = %d;"; break;
    case OBJ_URBAN: snapshot = " concat(iParentIndex, szUrban) from t_urban where iOrdinal = %d;"; break;
    case OBJ_HOUSE_FOLLOW: snapshot = " concat(iHou, szContent) from t_follow where iOrdinal = %d;"; break;
    case OBJ_CLIENT_FOLLOW: snapshot = " concat(iCli, szContent) from t_follow where iOrdinal = %d;"; break;
    case OBJ_BUILDNO:
        snapshot = " concat(iEst, '@,@',iBuildNO, '@,@',iLift, '@,@',"
                   "iHouse, '@,@',iFloort) from t_buildno where iOrdinal = %d;";
        break;
    case OBJ_PARAM: snapshot = " concat(iParentIndex, '@,@', szValue) from t_param where iOrdinal = %d;"; break;
    default:
        return;  // districts and reminders are not logged
    }
    SqlAdd(sql, "select %d, %d, %d, %d, ", iAct, iObjType, iObjID, iOpEmp);
    SqlAdd(sql, snapshot, iObjID);
    DbRun(sql);
}

const char kAbnormalError[] = "异常错误,错误原因查看错误日志文件.";

int SoftDelete(int iOpEmp, const ZDSql& sql, int iObjType, int iKey, const char* pszRefused)
{
    int result = 0;
    if (ChangeOutcome(DbRun(sql), {kAbnormalError, kFailCaption}, {pszRefused, kFailCaption}))
        result = WriteRecycleEntry(iOpEmp, iKey, iObjType);
    WriteOpLog(iOpEmp, iObjType, iKey, ACT_DELETE);
    return result;
}

int WriteRecycleEntry(int iOpEmp, int iObjID, int iObjType)
{
    if (!CheckConnection())
        return 0;
    const char* table = ObjTypeTable(iObjType);
    ZDSql sql;
    // LAST_INSERT_ID() keeps the key of the session's previous insert when an
    // insert generates none: start from 0 so that "@b = 0" means this entry
    // got no key.
    SqlAdd(sql, "do LAST_INSERT_ID(0);");
    SqlAdd(sql, "insert into t_recyle (iObjType, iObjOrdinal, iEmp) values (");
    SqlAdd(sql, "%d, %d, %d);", iObjType, iObjID, iOpEmp);
    if (table) {
        SqlAdd(sql, "set @b = LAST_INSERT_ID();update ");
        SqlAddRaw(sql, "%s", table);
        SqlAdd(sql, " set bRecyle = 0 where iOrdinal = %d and @b = 0;", iObjID);
    }
    ZDResult r = DbRun(sql);
    if (!r.ok) {
        ShowFailure("删除成功, 写入回收站失败", 1, &r);
        return 0;
    }
    // The entry got no key and the deletion was taken back: the object is
    // live again, so the deletion must not be reported as done.
    if (table && DbAffected(r, 3) > 0) {
        ShowFailure("写入回收站失败, 数据未删除", 0);
        return 0;
    }
    return 1;
}

// ---- The log list ---------------------------------------------------------------

static bool IsBlank(const char* p)
{
    if (!p)
        return true;
    for (; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    return true;
}

tagLOG* FD_Sct_Log(tagLOG** ppList, int* pCount, const char* pszFilter)
{
    if (ppList)
        *ppList = nullptr;
    if (pCount)
        *pCount = 0;
    ZDSql sql;
    SqlAdd(sql, "select iOrdinal, iAct, iObjType, iObjID, iOpEmp, szValue, dtAdd from t_log");
    if (!IsBlank(pszFilter))
        SqlAddRaw(sql, " where %s", pszFilter);
    SqlAdd(sql, " order by dtAdd desc, iOrdinal desc");
    return LoadList<tagLOG>(sql, ppList, pCount, [](tagLOG& e, const ZDRow& row) {
        e.iOrdinal = GetInt(row, 0);
        e.iAct = GetInt(row, 1);
        e.iObjType = GetInt(row, 2);
        e.iObjID = GetInt(row, 3);
        e.iOpEmp = GetInt(row, 4);
        GetText(row, 5, e.szValue);
        GetText(row, 6, e.szTime);
    });
}

int FD_Del_Log(int, const char* pszFilter, int iLogKey, int)
{
    if (!CheckConnection())
        return 0;
    ZDSql sql;
    SqlAdd(sql, "delete from t_log");
    if (iLogKey > 0)
        SqlAdd(sql, " where iOrdinal = %d", iLogKey);
    else if (!IsBlank(pszFilter))
        SqlAddRaw(sql, " where %s", pszFilter);
    return ChangeOutcome(DbRun(sql), {kAbnormalError, kFailCaption});
}

void Mem_Free_Log(tagLOG* pList)
{
    FreeBlock(pList);
}

char* FD_Log_DateFilter(char* pszBuf, int cbBuf, const char* pszFrom, const char* pszTo)
{
    if (!pszBuf || cbBuf <= 0)
        return nullptr;
    char from[11], to[11];
    CopyField(from, pszFrom);
    CopyField(to, pszTo);
    ZDSql sql;
    if (from[0])
        SqlAdd(sql, " dtAdd >= '%s'", from);
    if (to[0])
        SqlAdd(sql, " %s dtAdd <= '%s 23:59:59'", from[0] ? "and" : "", to);
    if (sql.text.size() < (size_t)cbBuf) {
        memcpy(pszBuf, sql.text.c_str(), sql.text.size() + 1);
        return pszBuf;
    }
    // A shorter filter would select more rows, and a clear deletes what it
    // selects: the buffer gets a condition no row meets instead.
    static const char kNoRow[] = "1 = 0";
    CopyField(pszBuf, (size_t)cbBuf, (size_t)cbBuf > strlen(kNoRow) ? kNoRow : "");
    return nullptr;
}

// ---- Test entries ---------------------------------------------------------------

void ZTData_TestWriteOpLog(int iOpEmp, int iObjType, int iObjID, int iAct)
{
    WriteOpLog(iOpEmp, iObjType, iObjID, iAct);
}

int ZTData_TestWriteRecycleEntry(int iOpEmp, int iObjID, int iObjType)
{
    return WriteRecycleEntry(iOpEmp, iObjID, iObjType);
}
