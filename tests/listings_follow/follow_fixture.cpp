#include "tests/listings_follow/follow_fixture.h"
#include "app/shell/startup.h"
#include "grid/ZTListview.h"
#include "tests/support/grid_rows.h"

void FollowDb_Open()
{
    if (!TestDb_Open("kelmora_follow"))
        return;
    TestDb_Exec("insert into t_branch (iOrdinal, szNum, szBr) values (2, '002', '二部');"
                "insert into t_employee (iOrdinal, szNum, szEmp, szPwd, iBr, iPst) values"
                " (2, '0002', '张三', '', 1, 3), (3, '0101', '王五', '', 2, 3), (4, '0102', '赵六', '', 2, 3);"
                "insert into t_urban (iOrdinal, iParentIndex, szUrban) values (1, 0, '杭州'), (2, 1, '西湖区');"
                "insert into t_estate (iOrdinal, iUrban, szEstate, szSpell) values"
                " (1, 2, '嘉绿苑', 'JLY'), (2, 2, '嘉绿苑二期', 'JLYEQ'), (3, 2, '翠苑一区', 'CYYQ');"
                "insert into t_house (iOrdinal, iEst, szBuildNO, szHouseNO, szTrade, iEmp, iBr) values"
                " (1, 1, '1', '101', '出售', 2, 1), (2, 3, '2', '202', '出租', 3, 2);"
                "insert into t_client (iOrdinal, szCliMan, szTrade, szLevel, iEmp, iBr) values"
                " (1, '陈先生', '求购', 'A级(急需)', 2, 1), (2, '刘女士', '求租', 'B级(一般)', 3, 2);"
                "insert into t_follow (iOrdinal, iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow) values"
                " (1, 1, 0, 2, 1, '电话', '业主同意降价两万', now()),"
                " (2, 2, 0, 3, 2, '电话', '已带客户看房', now()),"
                " (3, 1, 0, 1, 1, '电话', '电话回访,房源仍有效', now() - interval 1 day),"
                " (4, 0, 1, 2, 1, '电话', '客户看中嘉绿苑', now()),"
                " (5, 0, 2, 4, 2, '电话', '预算可再提高', now()),"
                " (6, 0, 2, 4, 2, '电话', '暂缓,下月再联系', now() - interval 2 day)");
    tagZT_Main_Param* p = &g_ZTMain;
    p->hInst = GetModuleHandleA(nullptr);
    Startup_LoadLists(p);
    p->pLoginEmp = p->pEmpList;
    p->pLoginBr = p->pBrList;
    Startup_Phase2(p, nullptr);
}

std::set<int> Follow_GridKeys(HWND hGrid)
{
    std::set<int> keys;
    for (const void* rec : TestGrid_Rows(hGrid))
        keys.insert(static_cast<const tagFOLLOW*>(rec)->iOrdinal);
    return keys;
}

std::string Follow_GridCell(HWND hGrid, int key, int column)
{
    for (const void* rec : TestGrid_Rows(hGrid))
        if (static_cast<const tagFOLLOW*>(rec)->iOrdinal == key) {
            const void* v = TestGrid_Value(hGrid, rec, column);
            return v ? static_cast<const char*>(v) : "";
        }
    return "<no row>";
}

bool Follow_SelectKey(HWND hGrid, int key)
{
    SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    for (int n = 0; n < 1000; n++) {
        auto* f = reinterpret_cast<const tagFOLLOW*>(SendMessageA(hGrid, GRM_GETSEL, 0, 0));
        if (!f || f->iOrdinal == key)
            return f != nullptr;
        if (!SendMessageA(hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT))
            return false;
    }
    return false;
}
