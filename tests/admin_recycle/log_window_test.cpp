// The operation log window on rows of known dates: newest first with their
// names and readable snapshots, a hostile name that finds nothing, a to-date
// that is no day refused by name before anything is deleted, a clear that
// takes exactly the rows the warning stands over, and the deletion of the
// selected row; a log larger than a list shows, and a list statement the
// server refuses.
#include "tests/admin_recycle/recycle_fixture.h"
#include "app/admin/log_ids.h"
#include "app/listings/listing_window.h"
#include "app/shell/caches.h"

#include <string>
#include <vector>

namespace {

const tagLOG* Log(const void* r)
{
    return static_cast<const tagLOG*>(r);
}

TEST_F(RecycleTest, TheLogListsFiltersAndDeletesOnlyWhatTheFilterShows)
{
    TestDb_Exec("insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue, dtAdd) values "
                "(3, 3, 501, 2, '一店', '2020-01-05 10:00:00'),"
                "(2, 0, 502, 2, '12@,@3@,@502@,@89.50@,@出售@,@张先生@,@Xk29@,@王女士@,@Qq81', '2020-01-06 23:30:00'),"
                "(10, 3, 503, 2, '?', '2020-01-06 12:00:00'),"
                "(1, 1, 504, 2, '求购', '2020-01-07 08:00:00')");
    long long all = TestDb_Count("t_log");
    HWND log = Open(IDM_LOG, ZT_CLASS_CHILD_LOG);
    ZT_MODWIN* w = Module_Of(log);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Shell_GridRows(w->hGrid), all);
    HWND panel = ListingWindow_Panel(log);
    auto find = [&](const char* emp, const char* from, const char* to) {
        SetDlgItemTextA(panel, IDC_LOG_EMP, emp);
        SetDlgItemTextA(panel, IDC_LOG_FROM, from);
        SetDlgItemTextA(panel, IDC_LOG_TO, to);
        Wd_ClickControl(GetDlgItem(panel, IDC_LOG_FIND));
        Wd_Settle(w);
    };

    // Newest first, the to-date with its whole day; names, numbers for the
    // codes no name is known for, the snapshot without cipher.
    find("", "2020-01-05", "2020-01-06");
    ASSERT_EQ(Shell_GridRows(w->hGrid), 3);
    const void* first = Wd_SelectWhere(w->hGrid, [](const void*) { return true; });
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Log(first)->iObjID, 502);
    EXPECT_EQ(Wd_Cell(w->hGrid, first, 0), "房源修改");
    EXPECT_EQ(Wd_Cell(w->hGrid, first, 1), "房源");
    EXPECT_EQ(Wd_Cell(w->hGrid, first, 3), "12 | 3 | 502 | 89.50 | 出售 | 张先生 | ****** | 王女士 | ******");
    EXPECT_EQ(Wd_Cell(w->hGrid, first, 4), "2020-01-06 23:30:00");
    EXPECT_EQ(Wd_Cell(w->hGrid, first, 6), Cache_EmployeeName(&g_ZTMain, 2));
    const void* odd = Wd_SelectWhere(w->hGrid, [](const void* r) { return Log(r)->iObjID == 503; });
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(Wd_Cell(w->hGrid, odd, 0), "动作 10 / 对象 3");

    // A name nobody has finds nothing.
    find(HostileText().c_str(), "2020-01-05", "2020-01-06");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    find("", "2020-01-05", "2020-01-06");
    ASSERT_EQ(Shell_GridRows(w->hGrid), 3);

    // A to-date that is one lone GBK lead byte: refused by name, nothing
    // deleted, the list as it was.
    Wd_SelectWhere(w->hGrid, [](const void*) { return true; });
    SetDlgItemTextA(panel, IDC_LOG_TO, "\xB0");
    Shell_ClickButton(log, ID_LOG_CLEAR);
    Wd_Settle(w);
    ASSERT_EQ(TestBoxes_Count(), 1u);
    EXPECT_NE(TestBoxes_Taken()[0].text.find("日期(止)"), std::string::npos);
    EXPECT_EQ(TestDb_Count("t_log"), all);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 3);
    TestBoxes_Reset();

    // The panel changed without "查找": the list is brought to it before the
    // warning, and "no" deletes nothing.
    SetDlgItemTextA(panel, IDC_LOG_FROM, "2020-01-06");
    SetDlgItemTextA(panel, IDC_LOG_TO, "2020-01-06");
    Wd_SelectWhere(w->hGrid, [](const void*) { return true; });
    Wd_ButtonAnswered(w, ID_LOG_CLEAR, IDCANCEL);
    TestBoxes_ExpectOnly("删除后将无法恢复,是否继续");
    EXPECT_EQ(TestBoxes_Taken().at(0).caption, "删除确认");
    EXPECT_EQ(Shell_GridRows(w->hGrid), 2);
    EXPECT_EQ(TestDb_Count("t_log"), all);

    // "yes": exactly those two rows go, and a row says so.
    Wd_SelectWhere(w->hGrid, [](const void*) { return true; });
    Wd_ButtonAnswered(w, ID_LOG_CLEAR, IDOK);
    EXPECT_EQ(TestDb_Count("t_log"), all - 2 + 1);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 16 and iObjType = 15 and szValue like '%2 条'"), 1);
    EXPECT_EQ(TestDb_Count("t_log where iObjID in (502, 503)"), 0);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);

    // The selected row alone.
    find("", "2020-01-05", "2020-01-05");
    ASSERT_EQ(Shell_GridRows(w->hGrid), 1);
    Wd_SelectWhere(w->hGrid, [](const void*) { return true; });
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_LOG_DELETE, IDOK);
    TestBoxes_ExpectOnly("删除后将无法恢复,是否继续");
    EXPECT_EQ(TestDb_Count("t_log where iObjID = 501"), 0);
    EXPECT_EQ(TestDb_Count("t_log"), all - 3 + 2);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Shell_CountBox(log), "0");

    // Without a selection both say so.
    TestBoxes_Reset();
    SendMessageA(log, WM_COMMAND, ID_LOG_DELETE, 0);
    SendMessageA(log, WM_COMMAND, ID_LOG_CLEAR, 0);
    Ui_Pump(50);
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "请选择数据");
    EXPECT_EQ(TestBoxes_Taken()[1].text, "请选择数据");
    EXPECT_EQ(TestDb_Count("t_log where iObjID = 504"), 1);
}

// 6,000 rows of one day: the window shows the newest 5,000 newest first and
// says how many there are; a list statement the server refuses leaves those
// rows as they were and says why in one box; a clear over them removes every
// row its filter selects, also those not shown, and says how many.
TEST_F(RecycleTest, ABigLogShowsItsNewestRowsKeepsThemWhenRefusedAndClearsThemAll)
{
    const char* digits = "(select 0 d union all select 1 union all select 2 union all select 3 union all select 4"
                         " union all select 5 union all select 6 union all select 7 union all select 8"
                         " union all select 9)";
    TestDb_Exec(std::string("insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue, dtAdd) "
                            "select 3, 3, 900000 + n, 2, concat('批量 ', n), '2031-03-01' + interval n second from "
                            "(select a.d + 10 * b.d + 100 * c.d + 1000 * e.d as n from ") +
                digits + " a, " + digits + " b, " + digits + " c, " + digits + " e) s where n < 6000");
    ASSERT_EQ(TestDb_Count("t_log where dtAdd >= '2031-03-01'"), 6000);
    HWND log = Open(IDM_LOG, ZT_CLASS_CHILD_LOG);
    ZT_MODWIN* w = Module_Of(log);
    ASSERT_NE(w, nullptr);
    HWND panel = ListingWindow_Panel(log);
    SetDlgItemTextA(panel, IDC_LOG_FROM, "2031-03-01");
    SetDlgItemTextA(panel, IDC_LOG_TO, "2031-03-01");
    Wd_ClickControl(GetDlgItem(panel, IDC_LOG_FIND));
    Wd_Settle(w);

    // The newest 5,000, newest first, and the status line with the count.
    std::vector<const void*> rows = TestGrid_Rows(w->hGrid);
    ASSERT_EQ(rows.size(), 5000u);
    EXPECT_EQ(Log(rows.front())->iObjID, 905999);
    EXPECT_EQ(Log(rows.back())->iObjID, 901000);
    EXPECT_EQ(Shell_CountBox(log), "5000");
    EXPECT_EQ(Module_ListStatus(w), "显示最新 5000 条, 共 6000 条; 请缩小条件");
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // The server refuses the list: the rows stay, one box gives the reason.
    TestDb_Exec("rename table t_log to t_log_away");
    Wd_ClickControl(GetDlgItem(panel, IDC_LOG_FIND));
    Wd_Settle(w);
    TestDb_Exec("rename table t_log_away to t_log");
    ASSERT_EQ(TestBoxes_Count(), 1u);
    std::string text = TestBoxes_Taken()[0].text;
    EXPECT_EQ(text.rfind("查询失败, 列表没有刷新\n", 0), 0u) << text;
    EXPECT_NE(text.find("t_log"), std::string::npos) << text;
    EXPECT_EQ(TestGrid_Rows(w->hGrid), rows);
    EXPECT_EQ(Wd_Cell(w->hGrid, rows.front(), 3), "批量 5999");
    EXPECT_EQ(Shell_CountBox(log), "5000");
    TestBoxes_Reset();

    // The clear takes all 6,000 and says so.
    Wd_SelectWhere(w->hGrid, [](const void*) { return true; });
    Wd_ButtonAnswered(w, ID_LOG_CLEAR, IDOK);
    ASSERT_EQ(TestBoxes_Count(), 2u);
    EXPECT_EQ(TestBoxes_Taken()[0].text, "删除后将无法恢复,是否继续");
    EXPECT_EQ(TestBoxes_Taken()[1].text, "已删除 6000 条日志");
    EXPECT_EQ(TestDb_Count("t_log where dtAdd >= '2031-03-01'"), 0);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 16 and iObjType = 15 and szValue like '%6000 条'"), 1);
    EXPECT_EQ(Shell_GridRows(w->hGrid), 0);
    EXPECT_EQ(Module_ListStatus(w), "");
}

// A row deleted from a bounded list: the count box and the status line
// both say one fewer.
TEST_F(RecycleTest, ADeleteFromABoundedListIsFollowedByTheStatusLine)
{
    const char* digits = "(select 0 d union all select 1 union all select 2 union all select 3 union all select 4"
                         " union all select 5 union all select 6 union all select 7 union all select 8"
                         " union all select 9)";
    TestDb_Exec(std::string("insert into t_log (iAct, iObjType, iObjID, iOpEmp, szValue, dtAdd) "
                            "select 3, 3, 800000 + n, 2, concat('批量 ', n), '2032-04-01' + interval n second from "
                            "(select a.d + 10 * b.d + 100 * c.d + 1000 * e.d as n from ") +
                digits + " a, " + digits + " b, " + digits + " c, " + digits + " e) s where n < 5003");
    HWND log = Open(IDM_LOG, ZT_CLASS_CHILD_LOG);
    ZT_MODWIN* w = Module_Of(log);
    ASSERT_NE(w, nullptr);
    HWND panel = ListingWindow_Panel(log);
    SetDlgItemTextA(panel, IDC_LOG_FROM, "2032-04-01");
    SetDlgItemTextA(panel, IDC_LOG_TO, "2032-04-01");
    Wd_ClickControl(GetDlgItem(panel, IDC_LOG_FIND));
    Wd_Settle(w);
    EXPECT_EQ(Shell_CountBox(log), "5000");
    EXPECT_EQ(Module_ListStatus(w), "显示最新 5000 条, 共 5003 条; 请缩小条件");

    Wd_SelectWhere(w->hGrid, [](const void* r) { return Log(r)->iObjID == 805002; });
    TestBoxes_Reset();
    Wd_ButtonAnswered(w, ID_LOG_DELETE, IDOK);
    EXPECT_EQ(TestDb_Count("t_log where iObjID = 805002"), 0);
    EXPECT_EQ(Shell_CountBox(log), "4999");
    EXPECT_EQ(Module_ListStatus(w), "显示最新 4999 条, 共 5002 条; 请缩小条件");
    // The log as it was, for the tests that read its newest rows.
    TestDb_Exec("delete from t_log where dtAdd >= '2032-04-01' and dtAdd < '2032-04-02'");
}

}  // namespace
