// The log window's vocabulary and filter as pure functions: every pair of
// stored action and object type named row by row, numbers for codes no row
// knows, snapshots made readable, and the filter that only ever narrows.
#include "tests/support/test_support.h"
#include "app/admin/log_filter.h"
#include "app/admin/log_ids.h"
#include "app/admin/log_names.h"
#include "data/oplog.h"

#include <cstring>
#include <string>

namespace {

TEST(LogNames, EveryStoredActionAndTypeHasItsOperationName)
{
    struct Row {
        int act, type;
        const char* name;
    } rows[] = {
        {4, 12, "用户登录"},
        {3, 0, "房源增加"}, {2, 0, "房源修改"}, {1, 0, "房源删除"},
        {3, 1, "客源增加"}, {2, 1, "客源修改"}, {1, 1, "客源删除"},
        {3, 2, "楼盘增加"}, {2, 2, "楼盘修改"}, {1, 2, "楼盘删除"},
        {3, 3, "部门增加"}, {2, 3, "部门修改"}, {1, 3, "部门删除"},
        {3, 4, "员工增加"}, {2, 4, "员工修改"}, {1, 4, "员工删除"}, {8, 4, "修改密码"},
        {3, 5, "职位增加"}, {2, 5, "职位修改"}, {1, 5, "职位删除"},
        {3, 6, "城区增加"}, {2, 6, "城区修改"}, {1, 6, "城区删除"},
        {3, 7, "跟进增加"}, {2, 7, "跟进修改"}, {1, 7, "跟进删除"},
        {3, 8, "跟进增加"}, {2, 8, "跟进修改"}, {1, 8, "跟进删除"},
        {3, 9, "栋号增加"}, {2, 9, "栋号修改"}, {1, 9, "栋号删除"},
        {3, 10, "参数增加"}, {2, 10, "参数修改"}, {1, 10, "参数删除"},
        {5, 0, "回收站还原"}, {5, 8, "回收站还原"}, {6, 1, "回收站删除"}, {6, 2, "回收站删除"},
        {7, 0, "回收站清空"}, {7, 6, "回收站清空"},
        {9, 0, "列表导出"}, {9, 16, "列表导出"},
        {10, 0, "看房源电话"}, {10, 1, "看客源电话"}, {11, 4, "员工授权"}, {11, 5, "职位授权"},
        {12, 12, "登录失败"}, {13, 6, "城区合并"}, {14, 17, "系统选项修改"}, {15, 15, "日志删除"},
        {16, 15, "日志清空"}, {17, 4, "重置密码"},
    };
    for (const Row& r : rows) {
        ASSERT_NE(Log_OperationName(r.act, r.type), nullptr) << r.act << "/" << r.type;
        EXPECT_STREQ(Log_OperationName(r.act, r.type), r.name) << r.act << "/" << r.type;
        EXPECT_STREQ(Log_OperationText(r.act, r.type), r.name);
    }
    // Every row of the table is one of those above: none is left untested.
    for (int i = 0; i < g_nLogOpNames; i++) {
        bool seen = false;
        for (const Row& r : rows)
            seen = seen || (r.act == g_LogOpNames[i].iAct &&
                            (r.type == g_LogOpNames[i].iObjType || g_LogOpNames[i].iObjType == LOG_ANY_TYPE));
        EXPECT_TRUE(seen) << g_LogOpNames[i].pszName;
    }

    // Codes no row knows show their numbers, never nothing: a district's
    // change, a login with another action, an action the program never
    // writes, a type beyond the numbering.
    EXPECT_EQ(Log_OperationName(3, 11), nullptr);
    EXPECT_STREQ(Log_OperationText(3, 11), "动作 3 / 对象 11");
    EXPECT_STREQ(Log_OperationText(1, 12), "动作 1 / 对象 12");
    EXPECT_STREQ(Log_OperationText(10, 3), "动作 10 / 对象 3");
    EXPECT_STREQ(Log_OperationText(0, -7), "动作 0 / 对象 -7");
    EXPECT_EQ(Log_OperationText(10, 3), Log_OperationText(10, 3)) << "one text per pair, kept";

    // The kinds: named, offered by the kind box, and found back by name.
    EXPECT_STREQ(Log_ObjectText(0), "房源");
    EXPECT_STREQ(Log_ObjectText(8), "客源跟进");
    EXPECT_STREQ(Log_ObjectText(12), "登录");
    EXPECT_STREQ(Log_ObjectText(40), "对象 40");
    int n = 0;
    const int* kinds = Log_ObjectTypes(&n);
    EXPECT_EQ(n, 18);
    EXPECT_STREQ(Log_ObjectText(17), "系统选项");
    EXPECT_STREQ(Log_ObjectText(16), "回收站");
    for (int i = 0; i < n; i++)
        EXPECT_EQ(Log_ObjectType(Log_ObjectName(kinds[i])), kinds[i]);
    EXPECT_EQ(Log_ObjectType("跟进"), -1);
}

TEST(LogNames, SnapshotsReadWithoutSeparatorsAndTelephones)
{
    char house[1024] = "12@,@3@,@502@,@89.50@,@出售@,@张先生@,@Xk29aB7c@,@王女士@,@Qq81zzPL";
    Log_ReadableSnapshot(0, house, sizeof house);
    EXPECT_STREQ(house, "12 | 3 | 502 | 89.50 | 出售 | 张先生 | ****** | 王女士 | ******");
    char client[1024] = "求购@,@李四@,@Aa11@,@李四@,@";
    Log_ReadableSnapshot(1, client, sizeof client);
    EXPECT_STREQ(client, "求购 | 李四 | ****** | 李四 | ") << "an empty telephone stays empty";
    // A GBK character whose trail byte is '@' ("\x81\x40") never starts a
    // separator; an estate snapshot has no telephones.
    char estate[64] = "\x81\x40,@楼@,@盘";
    Log_ReadableSnapshot(2, estate, sizeof estate);
    EXPECT_STREQ(estate, "\x81\x40,@楼 | 盘");
    // A masked telephone longer than its cipher never overflows the field.
    char full[26] = "1@,@2@,@3@,@4@,@5@,@6@,@7";
    Log_ReadableSnapshot(0, full, sizeof full);
    EXPECT_STREQ(full, "1 | 2 | 3 | 4 | 5 | 6 | *");
}

// The shared lists a panel's names are looked up in.
struct Lists {
    tagEMPLIST emp[3] = {{1, 1, "管理员"}, {0, 0, ""}, {7, 2, "王强"}};
    tagBRLIST br[2];
    tagZT_Main_Param p{};
    Lists()
    {
        memset(br, 0, sizeof br);
        br[0].iOrdinal = 1;
        strcpy(br[0].szBr, "总店");
        br[1].iOrdinal = 2;
        strcpy(br[1].szBr, "文三路店");
        p.pEmpList = emp;
        p.nEmp = 3;
        p.pBrList = br;
        p.nBr = 2;
    }
};

std::string Build(const LogFilterPanel& v, BOOL* pOk = nullptr, int* pBad = nullptr)
{
    static Lists lists;
    std::string out = "unchanged";
    int bad = -1;
    BOOL ok = LogFilter_Build(&lists.p, v, &out, &bad);
    if (pOk)
        *pOk = ok;
    if (pBad)
        *pBad = bad;
    return out;
}

TEST(LogFilter, BoxesBecomeConditionsThatOnlyEverNarrow)
{
    EXPECT_EQ(Build(LogFilterPanel()), "") << "an empty panel lists every row";
    LogFilterPanel v;
    v.emp = "王强";
    v.br = "文三路店";
    v.kind = "客源跟进";
    v.from = "2026-3-1";
    v.to = "2026-03-31";
    EXPECT_EQ(Build(v), " iOpEmp = 7 and iOpEmp in (select iOrdinal from t_employee where iBr = 2) and iObjType = 8"
                        " and dtAdd >= '2026-03-01' and dtAdd <= '2026-03-31 23:59:59'");
    // Names nobody has match no row (hostile text never reaches SQL).
    v.emp = HostileText();
    v.kind = "跟进";
    EXPECT_EQ(Build(v), " 1 = 0 and iOpEmp in (select iOrdinal from t_employee where iBr = 2) and 1 = 0"
                        " and dtAdd >= '2026-03-01' and dtAdd <= '2026-03-31 23:59:59'");
    // A date box that holds no calendar day refuses the whole filter, naming
    // the box: a lone GBK lead byte, a day that does not exist, words.
    struct {
        const char* from;
        const char* to;
        int bad;
    } dates[] = {
        {"2026-12-01", "\xB0", IDC_LOG_TO},
        {"2026-12-01", "2026-12-0\xB0", IDC_LOG_TO},
        {"2026-02-30", "", IDC_LOG_FROM},
        {"2026-12-01' or '1", "today", IDC_LOG_FROM},
    };
    for (auto& d : dates) {
        v.from = d.from;
        v.to = d.to;
        BOOL ok = TRUE;
        int bad = 0;
        EXPECT_EQ(Build(v, &ok, &bad), "") << d.from << " / " << d.to;
        EXPECT_FALSE(ok);
        EXPECT_EQ(bad, d.bad);
    }
}

}  // namespace
