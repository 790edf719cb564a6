// Export from any module window, on a module of the test's own with
// generated rows: a large list shows its progress and is cancelled (no file,
// no log row); its texts that a spreadsheet or the CSV rules would misread
// come back as they stand; a row added after the load is exported on top;
// a window without a context menu of its own gets one with "导出…"; a user
// who may not view the module cannot export it; an empty list says so.
// And the log row of an export with hostile names, against the server.
#include "tests/export/export_driver.h"
#include "app/shell/export.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/resources/resource.h"
#include "data/oplog.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { OPEN_CMD = 41990 };

struct Row {
    int32_t iKey;
    char szName[40];
    double dbPrice;
    int32_t iCount;
    char szNote[64];
    char szMore[30][24];
};

struct Probe {
    int rows = 0;              // rows the next load makes
    bool denyView = false;
} g_probe;

// Texts a spreadsheet or a CSV reader would misread, and what must come back.
const char* const kHostile[] = {
    "a,b\"c", "=1+2", "-12", "-x", "@sum", "+7", " lead", "line\r\nbreak", "半个\xB0", "back\\slash'quote",
};

BOOL May(const tagZT_Main_Param*, int iOp)
{
    return !(iOp == ZT_OP_VIEW && g_probe.denyView);
}

BOOL Load(ZT_MODWIN*, ZT_RECSET* rs)
{
    int n = g_probe.rows;
    Row* rows = static_cast<Row*>(calloc(static_cast<size_t>(n) + 101, sizeof(Row)));
    for (int i = 0; i < n; i++) {
        Row& r = rows[i];
        r.iKey = i + 1;
        snprintf(r.szName, sizeof(r.szName), "房源%06d", i + 1);
        r.dbPrice = (i % 1000) + 0.25;
        r.iCount = -i;
        lstrcpynA(r.szNote, i < 10 ? kHostile[i] : "普通", sizeof(r.szNote));
        for (int k = 0; k < 30; k++)
            snprintf(r.szMore[k], sizeof(r.szMore[k]), "列%d行%d", k, i);
    }
    rs->pBlock = rows;
    rs->nRows = n;
    rs->nSlots = n + 101;
    return TRUE;
}

void Free(void* block)
{
    free(block);
}

const ZT_TBDEF kButtons[] = {ZT_TB_CLOSING};

#define R(f) offsetof(Row, f)
const ZT_COLDEF kColumns[] = {
    ZT_COL("编号", 50, LVT_INT, 2, R(iKey)),
    ZT_COL_TEXT("名称", 90, 0, R(szName)),
    ZT_COL_UNIT("价格", 70, LVT_DOUBLE, "万元", LVU_CELLS, 2, R(dbPrice)),
    ZT_COL("数量", 50, LVT_INT, 2, R(iCount)),
    ZT_COL_TEXT("备注", 90, 0, R(szNote)),
#define MORE(k) ZT_COL_TEXT("列" #k, 50, 0, R(szMore[k]))
    MORE(0), MORE(1), MORE(2), MORE(3), MORE(4), MORE(5), MORE(6), MORE(7), MORE(8), MORE(9),
    MORE(10), MORE(11), MORE(12), MORE(13), MORE(14), MORE(15), MORE(16), MORE(17), MORE(18), MORE(19),
    MORE(20), MORE(21), MORE(22), MORE(23), MORE(24), MORE(25), MORE(26), MORE(27), MORE(28), MORE(29),
#undef MORE
};
#undef R

const ZT_MODULE_DESC kModule = {
    "ZT_CHILD_EXPTEST", OPEN_CMD, ZTM_LOG, IDS_LOG, 700, 400,
    sizeof(Row), offsetof(Row, iKey), 0,
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), nullptr, 0, -1, 0,
    May, nullptr, nullptr, nullptr, Load, nullptr, nullptr, Free, nullptr, nullptr,
};

class ExportModuleTest : public ExportTest {
protected:
    static void SetUpTestSuite() { OpenWithModule("kelmora_export_module", &kModule); }
    void SetUp() override
    {
        g_probe = Probe();
        ExportTest::SetUp();
    }
    ZT_MODWIN* Open(int rows)
    {
        g_probe.rows = rows;
        Shell_Command(frame, OPEN_CMD);
        Ui_Pump(200);
        ZT_MODWIN* w = Module_Of(Frame_FindChild("ZT_CHILD_EXPTEST"));
        for (int i = 0; w && i < 500 && (w->bBusy || g_ZTMain.hBusyDlg || !w->bLoaded); i++)
            Ui_Pump(20);
        Ui_Pump(60);
        return w;
    }
    static void WaitForBox()
    {
        for (int i = 0; i < 3000 && TestBoxes_Count() == 0; i++)
            Ui_Pump(20);
    }
};

TEST_F(ExportModuleTest, LargeListShowsProgressAndIsCancelled)
{
    const int kRows = 60000;    // 2.1 million cells: a workbook takes some seconds
    ZT_MODWIN* w = Open(kRows);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(Shell_GridRows(w->hGrid), kRows);
    std::string path = Ex_Folder() + "\\large.xlsx";
    DeleteFileA(path.c_str());
    long long logged = TestDb_Count("t_log where iAct = 9");
    Ex_AnswerSave(path, 0);
    Ex_CancelProgressSoon("export-progress");
    Shell_ClickButton(w->hwnd, ID_MODULE_EXPORT);
    WaitForBox();
    ASSERT_TRUE(Ex_ProgressCancelled()) << "the progress dialog was shown";
    EXPECT_NE(Ex_ProgressText().find("large.xlsx"), std::string::npos) << Ex_ProgressText();
    TestBoxes_ExpectOnly("导出已取消, 没有保存文件");
    EXPECT_FALSE(Ex_Exists(path));
    EXPECT_EQ(TestDb_Count("t_log where iAct = 9"), logged);
    // The frame takes input again, and the window refreshes as before.
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_FALSE(w->bBusy);

    // Not cancelled, the same list as CSV: every row, the texts as they
    // stand (a formula-like text behind an apostrophe), the row added
    // after the load on top.
    Row added;
    memset(&added, 0, sizeof(added));
    added.iKey = kRows + 1;
    lstrcpynA(added.szName, "新加的", sizeof(added.szName));
    ASSERT_NE(Module_AddRecord(w, &added), nullptr);
    std::string csv = Ex_Folder() + "\\large.csv";
    TestBoxes_Reset();
    Ex_AnswerSave(csv, 2);
    Shell_ClickButton(w->hwnd, ID_MODULE_EXPORT);
    WaitForBox();
    TestBoxes_ExpectOnly("已导出 " + std::to_string(kRows + 1) + " 行到\n" + csv);
    std::vector<std::vector<std::string>> lines;
    bool bom = true, crlf = false;
    ASSERT_TRUE(Ex_ReadCsv(Ex_ReadFile(csv), &lines, &bom, &crlf));
    EXPECT_FALSE(bom);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kRows + 2));
    std::vector<std::string> head = {"编号", "名称", "价格(万元)", "数量", "备注"};
    for (int k = 0; k < 30; k++)
        head.push_back("列" + std::to_string(k));
    EXPECT_EQ(lines[0], head);
    EXPECT_EQ(lines[1][1], "新加的");
    EXPECT_EQ(lines[2][0], "1");
    EXPECT_EQ(lines[2][2], "0.25");
    EXPECT_EQ(lines[3][3], "-1");
    const char* expected[] = {"a,b\"c", "'=1+2", "-12", "'-x", "'@sum", "'+7", " lead", "line\r\nbreak",
                              "半个\xB0", "back\\slash'quote"};
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(lines[2 + i][4], expected[i]) << "row " << i;
    EXPECT_EQ(lines.back()[1], "房源060000");
    EXPECT_EQ(TestDb_Count("t_log where iAct = 9"), logged + 1);
}

TEST_F(ExportModuleTest, ContextMenuRightsAndEmptyList)
{
    ZT_MODWIN* w = Open(5);
    ASSERT_NE(w, nullptr);
    // Without a popup of its own, the grid's context menu is "导出…" alone.
    RECT rg = Ui_WindowRect(w->hGrid);
    std::string path = Ex_Folder() + "\\five.xlsx";
    Ex_AnswerSave(path, 0);
    Ex_ClickPopupSoon(ID_MODULE_EXPORT);
    Ex_RightClick(rg.left + 40, rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2);
    WaitForBox();
    ASSERT_TRUE(Ex_PopupClicked());
    EXPECT_EQ(Ex_PopupItems(), std::vector<std::string>{"导出…"});
    ASSERT_EQ(TestBoxes_Count(), 1u);
    std::vector<std::vector<XCell>> rows;
    std::string book;
    ASSERT_TRUE(Ex_ReadXlsx(path, &rows, &book));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0][2].text, Ex_Utf8("价格(万元)"));
    EXPECT_TRUE(rows[1][2].number);
    EXPECT_EQ(rows[1][2].text, "0.25");
    EXPECT_EQ(rows[2][4].text, Ex_Utf8("=1+2")) << "a text, not a formula, in a workbook";
    EXPECT_FALSE(rows[2][4].number);
    EXPECT_EQ(rows[8 - 3][4].text, Ex_Utf8("@sum"));
    Shell_DestroyFrame(frame);

    // A user who may not view the module: the button is greyed and the
    // command, sent all the same, opens no dialog.
    frame = Shell_CreateFrame();
    g_probe.denyView = true;
    w = Open(5);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(SendMessageA(w->hToolbar, TB_ISBUTTONENABLED, ID_MODULE_EXPORT, 0));
    TestBoxes_Reset();
    Ex_AnswerSave(path, 0);
    SendMessageA(w->hwnd, WM_COMMAND, ID_MODULE_EXPORT, 0);
    Ui_Pump(300);
    EXPECT_FALSE(Ex_SaveSeen().seen);
    Ex_StopSave();
    Shell_DestroyFrame(frame);

    // An empty list says so and asks for no file.
    frame = Shell_CreateFrame();
    g_probe.denyView = false;
    w = Open(0);
    ASSERT_NE(w, nullptr);
    TestBoxes_Reset();
    Ex_AnswerSave(path, 0);
    SendMessageA(w->hwnd, WM_COMMAND, ID_MODULE_EXPORT, 0);
    Ui_Pump(300);
    EXPECT_FALSE(Ex_SaveSeen().seen);
    TestBoxes_ExpectOnly("没有可导出的数据");
}

// The log row of an export: the names stored as given (quotes, backslashes
// and a half character never reach the statement unescaped), a long file
// name cut whole characters short.
TEST_F(ExportModuleTest, LogRowKeepsHostileNames)
{
    TestDb_Exec("delete from t_log where iAct = 9");
    // 1002 bytes, then double-byte characters from an even offset: the cut
    // at 1599 bytes would split one, so 1598 are kept.
    std::string longName = "C:\\" + std::string(999, 'x') + std::string(700, '\xB0') + ".csv";
    ASSERT_EQ(FD_Log_Export(7, 1, 42, "客'源\\列表", "csv-gbk", "D:\\a'b\\c%_.csv"), 1);
    ASSERT_EQ(FD_Log_Export(7, ZT_LOG_OBJ_RECYCLE, 0, "回收站", "xlsx", longName.c_str()), 1);
    auto rows = TestDb_Query("select iAct, iObjType, iObjID, iOpEmp, szValue from t_log where iAct = 9 order by iOrdinal");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"9", "1", "0", "7", "客'源\\列表@,@42@,@csv-gbk@,@D:\\a'b\\c%_.csv"}));
    EXPECT_EQ(rows[1][1], "16");
    std::string v = rows[1][4];
    std::string prefix = "回收站@,@0@,@xlsx@,@";
    ASSERT_EQ(v.compare(0, prefix.size(), prefix), 0);
    EXPECT_EQ(v.substr(prefix.size()), longName.substr(0, 1598)) << "cut whole characters short of 1599 bytes";
    EXPECT_EQ(TestDb_Count("t_log where iAct <> 9 and iObjType = 16"), 0);
}

// An export over a file already there whose log row the server refuses:
// the user is told, and the file holds what it held (no half-written or
// unlogged file is left in its place, nor beside it).
TEST_F(ExportModuleTest, AnUnloggedExportKeepsTheFileItWouldReplace)
{
    ZT_MODWIN* w = Open(5);
    ASSERT_NE(w, nullptr);
    std::string path = Ex_Folder() + "\\kept.csv";
    const char old[] = "the list exported yesterday\r\n";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, old, sizeof(old) - 1, &written, nullptr);
    CloseHandle(h);
    TestDb_Exec("create trigger refuse_export before insert on t_log for each row "
                "begin if new.iAct = 9 then signal sqlstate '45000' set message_text = 'no export'; end if; end");
    TestDb_AllowTriggers("t_log");
    long long logged = TestDb_Count("t_log where iAct = 9");
    TestBoxes_Reset();
    Ex_AnswerSave(path, 2);
    Shell_ClickButton(w->hwnd, ID_MODULE_EXPORT);
    WaitForBox();
    TestDb_Exec("drop trigger refuse_export");
    TestBoxes_ExpectOnly("导出失败: 操作日志无法写入, 没有保存文件");
    EXPECT_EQ(Ex_ReadFile(path), old);
    EXPECT_FALSE(Ex_Exists(path + ".part"));
    EXPECT_EQ(TestDb_Count("t_log where iAct = 9"), logged);

    // With the log back, the same export replaces it.
    TestBoxes_Reset();
    Ex_AnswerSave(path, 2);
    Shell_ClickButton(w->hwnd, ID_MODULE_EXPORT);
    WaitForBox();
    TestBoxes_ExpectOnly("已导出 5 行到\n" + path);
    EXPECT_NE(Ex_ReadFile(path), old);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 9"), logged + 1);
}

}  // namespace
