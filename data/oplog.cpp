// Operation-log writer and recycle-bin entry.
#include "data/db_core.h"

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

int WriteRecycleEntry(int iOpEmp, int iObjID, int iObjType)
{
    if (!CheckConnection())
        return 0;
    const char* table = ObjTypeTable(iObjType);
    ZDSql sql;
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
    return 1;
}
