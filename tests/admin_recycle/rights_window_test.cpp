// The operation log and the recycle bin as the grant page says: a salesman
// opens neither, a branch manager reads his branch's rows only and may not
// delete, restore, purge or clear them, by button, context menu or a posted
// command; with the boxes ticked by the administrator he may, at his next
// login, and only within his branch.
#include "tests/admin_recycle/recycle_fixture.h"
#include "app/admin/recycle_window.h"
#include "app/shell/caches.h"
#include "cipher/cipher.h"
#include "db/dbtool.h"

#include <set>
#include <vector>

namespace {

class LogAndBinRights : public RecycleTest {
public:
    static void SetUpTestSuite() { DbFix_OpenDemo("kelmora_log_bin_rights"); }
    void SetUp() override {}
    void TearDown() override
    {
        if (frame)
            Shell_DestroyFrame(frame);
        frame = nullptr;
        Shell_LoginAdministrator();          // every right again for the next program's tests
    }
    void LoginAs(const char* name)
    {
        if (frame)
            Shell_DestroyFrame(frame);
        Shell_LoginAs(name);
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    static int Key(const std::string& sql) { return atoi(TestDb_Scalar(sql).c_str()); }
    static int Employee(const char* name) { return Key(std::string("select iOrdinal from t_employee where szEmp = '") + name + "'"); }
    // A house of the branch of an operator, soft-deleted by him: its key.
    // (A house with follow-ups is not deleted on its own.)
    static int DeleteHouseBy(const char* byWhom)
    {
        int emp = Employee(byWhom);
        int key = Key("select iOrdinal from t_house where bRecyle = 0 and iBr = (select iBr from t_employee where"
                      " iOrdinal = " + std::to_string(emp) + ") and iOrdinal not in (select iHou from t_follow"
                      " where bRecyle = 0) order by iOrdinal limit 1");
        tagHOUSE h = {};
        h.iOrdinal = key;
        EXPECT_EQ(FD_Del_Hou(emp, &h), 1) << byWhom << " " << key;
        return key;
    }
    static bool Greyed(HMENU m, UINT id)
    {
        return (GetMenuState(m, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
    }
    static bool ButtonOn(HWND hwnd, int id)
    {
        ZT_MODWIN* w = Module_Of(hwnd);
        return (SendMessageA(w->hToolbar, TB_GETSTATE, id, 0) & TBSTATE_ENABLED) != 0;
    }
    // The branch each listed log row's operator works in.
    std::set<int> LogBranches(ZT_MODWIN* w)
    {
        std::set<int> out;
        EachRecord(w->hGrid, [&](const void* r) {
            out.insert(Key("select iBr from t_employee where iOrdinal = " +
                           std::to_string(static_cast<const tagLOG*>(r)->iOpEmp)));
        });
        return out;
    }
    std::set<int> BinHouses(ZT_MODWIN* w)
    {
        std::set<int> out;
        EachRecord(w->hGrid, [&](const void* r) { out.insert(static_cast<const RECY_ROW*>(r)->o.h.iOrdinal); });
        return out;
    }
};

}  // namespace

TEST_F(LogAndBinRights, EachUserMayDoWhatHisGrantPageSays)
{
    // 总店 houses deleted by its branch manager, one of 文三路店 by hers: a
    // log row and a bin entry in each branch.
    Shell_LoginAdministrator();
    int restoreMe = DeleteHouseBy("张伟");
    int purgeMe = DeleteHouseBy("张伟");
    int clearMe = DeleteHouseBy("张伟");
    int other = DeleteHouseBy("刘洋");
    int zongdian = Key("select iOrdinal from t_branch where szBr = '总店'");
    long long binned = TestDb_Count("t_house where bRecyle = 1 and bDeleted = 0");
    long long otherLogs = TestDb_Count("t_log where iOpEmp = " + std::to_string(Employee("刘洋")));
    ASSERT_GT(otherLogs, 0);

    // The salesman: both commands greyed, and sent anyway they open nothing.
    LoginAs("李娜");
    EXPECT_TRUE(Greyed(GetMenu(frame), IDM_LOG));
    EXPECT_TRUE(Greyed(GetMenu(frame), IDM_RECYCLE));
    Shell_Command(frame, IDM_LOG);
    Shell_Command(frame, IDM_RECYCLE);
    Shell_Command(frame, IDM_SYSOPT);
    Ui_Pump(200);
    EXPECT_EQ(Shell_ChildCount(ZT_CLASS_CHILD_LOG), 0);
    EXPECT_EQ(Shell_ChildCount(ZT_CLASS_CHILD_RECY), 0);
    // Each refused in words, before any window or dialog opens.
    ASSERT_EQ(TestBoxes_Count(), 3u);
    EXPECT_EQ(TestBoxes_Taken()[2].text, "没有系统选项的权限");
    for (const TestBox& b : TestBoxes_Taken())
        EXPECT_TRUE(b.text.rfind("没有", 0) == 0 && b.text.find("的权限") != std::string::npos) << b.text;

    // The branch manager reads his branch's operations and deletions only.
    LoginAs("张伟");
    EXPECT_FALSE(Greyed(GetMenu(frame), IDM_LOG));
    EXPECT_FALSE(Greyed(GetMenu(frame), IDM_RECYCLE));
    EXPECT_TRUE(Wd_ChooseMenu(frame, MAINPOS_USER, IDM_LOG));
    HWND log = Frame_FindChild(ZT_CLASS_CHILD_LOG);
    ASSERT_NE(log, nullptr);
    ZT_MODWIN* lw = Module_Of(log);
    Wd_Settle(lw);
    EXPECT_GT(Shell_GridRows(lw->hGrid), 0);
    EXPECT_EQ(LogBranches(lw), std::set<int>{zongdian});
    EXPECT_FALSE(ButtonOn(log, ID_LOG_DELETE));
    EXPECT_FALSE(ButtonOn(log, ID_LOG_CLEAR));
    EXPECT_TRUE(Greyed(GetSubMenu(g_ZTMain.hContextMenus, CTXPOS_LOG), ID_LOG_DELETE));
    EXPECT_TRUE(Greyed(GetSubMenu(g_ZTMain.hContextMenus, CTXPOS_LOG), ID_LOG_CLEAR));
    long long logs = TestDb_Count("t_log");
    SendMessageA(lw->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    TestBoxes_Answer(IDOK);
    TestBoxes_Answer(IDOK);
    SendMessageA(log, WM_COMMAND, ID_LOG_DELETE, 0);
    SendMessageA(log, WM_COMMAND, ID_LOG_CLEAR, 0);
    Wd_Settle(lw);
    EXPECT_EQ(TestDb_Count("t_log"), logs) << "refused where the commands run";

    EXPECT_TRUE(Wd_ChooseMenu(frame, MAINPOS_USER, IDM_RECYCLE));
    HWND bin = Frame_FindChild(ZT_CLASS_CHILD_RECY);
    ASSERT_NE(bin, nullptr);
    ZT_MODWIN* bw = Module_Of(bin);
    Wd_Settle(bw);
    EXPECT_EQ(BinHouses(bw), (std::set<int>{restoreMe, purgeMe, clearMe}));
    for (int id : {ID_RECYCLE_RESTORE, ID_RECYCLE_DELETE, ID_RECYCLE_CLEAR}) {
        EXPECT_FALSE(ButtonOn(bin, id)) << id;
        EXPECT_TRUE(Greyed(GetSubMenu(g_ZTMain.hContextMenus, CTXPOS_RECYCLE), id)) << id;
    }
    Wd_SelectWhere(bw->hGrid, [&](const void* r) { return static_cast<const RECY_ROW*>(r)->o.h.iOrdinal == restoreMe; });
    TestBoxes_Reset();
    TestBoxes_Answer(IDOK);
    TestBoxes_Answer(IDOK);
    TestBoxes_Answer(IDOK);
    for (int id : {ID_RECYCLE_RESTORE, ID_RECYCLE_DELETE, ID_RECYCLE_CLEAR})
        SendMessageA(bin, WM_COMMAND, id, 0);
    Wd_Settle(bw);
    EXPECT_EQ(TestDb_Count("t_house where bRecyle = 1 and bDeleted = 0"), binned) << "nothing restored or purged";
    ASSERT_EQ(TestBoxes_Count(), 3u) << "each refused in words";
    for (const TestBox& b : TestBoxes_Taken())
        EXPECT_TRUE(b.text.rfind("没有", 0) == 0 && b.text.find("的权限") != std::string::npos) << b.text;

    // The administrator ticks "删除日志" and "管理回收站" on his page; at his
    // next login they work, within his branch.
    TestBoxes_Reset();
    char value[1100] = "";
    std::string codes = std::string(kManagerPreset) + "3K" + "3M";
    lstrcpynA(value, codes.c_str(), 257);
    CipherLongText(nullptr, value, CIPHER_ENCODE);
    ASSERT_EQ(FD_Upd_EmpPD(1, Employee("张伟"), value, 50, 50), 1);
    LoginAs("张伟");
    Shell_Command(frame, IDM_RECYCLE);
    bin = Frame_FindChild(ZT_CLASS_CHILD_RECY);
    bw = Module_Of(bin);
    Wd_Settle(bw);
    for (int id : {ID_RECYCLE_RESTORE, ID_RECYCLE_DELETE, ID_RECYCLE_CLEAR})
        EXPECT_TRUE(ButtonOn(bin, id)) << id;
    ASSERT_NE(Wd_SelectWhere(bw->hGrid, [&](const void* r) { return static_cast<const RECY_ROW*>(r)->o.h.iOrdinal == restoreMe; }),
              nullptr);
    TestBoxes_Answer(IDOK);
    SendMessageA(bin, WM_COMMAND, ID_RECYCLE_RESTORE, 0);
    Wd_Settle(bw);
    ASSERT_NE(Wd_SelectWhere(bw->hGrid, [&](const void* r) { return static_cast<const RECY_ROW*>(r)->o.h.iOrdinal == purgeMe; }),
              nullptr);
    TestBoxes_Answer(IDOK);
    SendMessageA(bin, WM_COMMAND, ID_RECYCLE_DELETE, 0);
    Wd_Settle(bw);
    TestBoxes_Answer(IDOK);
    SendMessageA(bin, WM_COMMAND, ID_RECYCLE_CLEAR, 0);
    Wd_Settle(bw);
    EXPECT_EQ(TestDb_Scalar("select bRecyle from t_house where iOrdinal = " + std::to_string(restoreMe)), "0");
    EXPECT_EQ(TestDb_Scalar("select bDeleted from t_house where iOrdinal = " + std::to_string(purgeMe)), "1");
    EXPECT_EQ(TestDb_Scalar("select bDeleted from t_house where iOrdinal = " + std::to_string(clearMe)), "1");
    // The other branch's deleted house stays in the bin with its entry.
    EXPECT_EQ(TestDb_Scalar("select concat(bRecyle, bDeleted) from t_house where iOrdinal = " + std::to_string(other)),
              "10");
    EXPECT_EQ(TestDb_Count("t_recyle where iObjType = 0 and iObjOrdinal = " + std::to_string(other)), 1);

    // The log: his branch's rows cleared, the other branch's kept.
    Shell_Command(frame, IDM_LOG);
    log = Frame_FindChild(ZT_CLASS_CHILD_LOG);
    lw = Module_Of(log);
    Wd_Settle(lw);
    EXPECT_TRUE(ButtonOn(log, ID_LOG_CLEAR));
    SendMessageA(lw->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    TestBoxes_Answer(IDOK);
    SendMessageA(log, WM_COMMAND, ID_LOG_CLEAR, 0);
    Wd_Settle(lw);
    // What is left of his branch's rows is the one recording the clear.
    EXPECT_EQ(TestDb_Count("t_log where iOpEmp in (select iOrdinal from t_employee where iBr = " +
                           std::to_string(zongdian) + ")"), 1);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 16 and iOpEmp = " + std::to_string(Employee("张伟"))), 1);
    EXPECT_EQ(TestDb_Count("t_log where iOpEmp = " + std::to_string(Employee("刘洋"))), otherLogs);
}
