// A list of 1,000,000 rows in a module window of the test's own: it loads,
// scrolls to its end by key and wheel, sorts by a click on a header (a
// number column, both ways) and by a column whose names a look-up gives,
// and exports every row as shown into a CSV file.
#include "tests/export/export_driver.h"
#include "tests/support/grid_rows.h"
#include "app/shell/export.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/resources/resource.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { OPEN_CMD = 41991, kRows = 1000000 };

struct Big {
    int32_t iKey;
    int32_t iBranch;
    double dbPrice;
    char szName[16];
};

const char* const kBranches[] = {"总店", "文三路店", "西湖店", "滨江店", "城西店", "下沙店", "萧山店"};

const void* BranchName(const ZT_MODWIN*, const void* rec)
{
    return kBranches[static_cast<const Big*>(rec)->iBranch];
}

BOOL Load(ZT_MODWIN*, ZT_RECSET* rs)
{
    Big* rows = static_cast<Big*>(calloc(static_cast<size_t>(kRows) + 101, sizeof(Big)));
    if (!rows)
        return FALSE;
    for (int i = 0; i < kRows; i++) {
        Big& r = rows[i];
        r.iKey = i + 1;
        r.iBranch = static_cast<int32_t>((static_cast<unsigned>(i) * 31u) % 7u);
        r.dbPrice = static_cast<double>((static_cast<unsigned>(i) * 7919u) % 100000u) / 100.0;
        snprintf(r.szName, sizeof(r.szName), "房源%07d", i + 1);
    }
    rs->pBlock = rows;
    rs->nRows = kRows;
    rs->nSlots = kRows + 101;
    return TRUE;
}

void Free(void* block)
{
    free(block);
}

const ZT_TBDEF kButtons[] = {ZT_TB_CLOSING};

#define B(f) offsetof(Big, f)
const ZT_COLDEF kColumns[] = {
    ZT_COL("编号", 80, LVT_INT, 2, B(iKey)),
    ZT_COL_TEXT("名称", 110, 0, B(szName)),
    ZT_COL_UNIT("价格", 90, LVT_DOUBLE, "万元", LVU_HEADER, 2, B(dbPrice)),
    ZT_COL_LOOKUP("部门", 90, 0, BranchName),
};
#undef B

const ZT_MODULE_DESC kModule = {
    "ZT_CHILD_MILLION", OPEN_CMD, ZTM_LOG, IDS_LOG, 700, 400,
    sizeof(Big), offsetof(Big, iKey), 0,
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), nullptr, 0, -1, 0,
    nullptr, nullptr, nullptr, nullptr, Load, nullptr, nullptr, Free, nullptr, nullptr,
};

bool TextLE(const char* a, const char* b)
{
    return strcmp(a, b) <= 0;   // glibc compares as unsigned bytes, as the grid does
}

class ExportMillionTest : public ExportTest {
protected:
    static void SetUpTestSuite() { OpenWithModule("kelmora_export_million", &kModule); }
};

}  // namespace

TEST_F(ExportMillionTest, AMillionRowListScrollsSortsAndExportsAsShown)
{
    Shell_Command(frame, OPEN_CMD);
    Ui_Pump(200);
    ZT_MODWIN* w = Module_Of(Frame_FindChild("ZT_CHILD_MILLION"));
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 3000 && (w->bBusy || g_ZTMain.hBusyDlg || !w->bLoaded); i++)
        Ui_Pump(20);
    Ui_Pump(60);
    ASSERT_TRUE(w->bLoaded);
    EXPECT_EQ(w->nListed, kRows);
    EXPECT_EQ(Shell_GridRows(w->hGrid), kRows);
    EXPECT_EQ(Shell_CountBox(w->hwnd), std::to_string(kRows));
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->iLoaded, kRows);

    // Scrolling: End shows the last row, the wheel moves back three rows.
    HWND rows = FindWindowExA(w->hGrid, nullptr, "ZTListViewRow", nullptr);
    ASSERT_NE(rows, nullptr);
    SetFocus(rows);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(rows, SB_VERT, &si);
    EXPECT_EQ(si.nMax, kRows - 1);
    int page = static_cast<int>(si.nPage);
    ASSERT_GT(page, 3);
    SendMessageA(rows, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(GetScrollPos(rows, SB_VERT), kRows - page);
    SendMessageA(rows, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)(3 * WHEEL_DELTA)), 0);
    EXPECT_EQ(GetScrollPos(rows, SB_VERT), kRows - page - 3);
    SendMessageA(rows, WM_KEYDOWN, VK_END, 0);
    UpdateWindow(w->hGrid);
    // A click on the last full line of the row area selects the last record.
    int y = (page - 1) * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT / 2;
    SendMessageA(rows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, y));
    SendMessageA(rows, WM_LBUTTONUP, 0, MAKELPARAM(20, y));
    const Big* last = static_cast<const Big*>(Module_Selected(w));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->iKey, kRows);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    EXPECT_EQ(Module_Selected(w), last);

    // A click on the header of "价格": ascending, then descending.
    RECT rg = Ui_WindowRect(w->hGrid);
    int xPrice = rg.left + d->pColumns[2].iLeft + 30;
    Ui_Click(xPrice, rg.top + GRID_HEADER_HEIGHT / 2);
    Ui_Pump(100);
    EXPECT_EQ(d->iSortId, 3);
    int dir = d->iSortDir;
    std::vector<const void*> shown = TestGrid_Rows(w->hGrid);
    ASSERT_EQ(shown.size(), static_cast<size_t>(kRows));
    size_t wrong = 0;
    for (size_t i = 1; i < shown.size(); i++) {
        double a = static_cast<const Big*>(shown[i - 1])->dbPrice, b = static_cast<const Big*>(shown[i])->dbPrice;
        wrong += dir == 1 ? a > b : a < b;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(GetScrollPos(rows, SB_VERT), 0);   // a sort shows the top
    Ui_Click(xPrice, rg.top + GRID_HEADER_HEIGHT / 2);
    Ui_Pump(100);
    EXPECT_EQ(d->iSortDir, 3 - dir);
    shown = TestGrid_Rows(w->hGrid);
    wrong = 0;
    for (size_t i = 1; i < shown.size(); i++) {
        double a = static_cast<const Big*>(shown[i - 1])->dbPrice, b = static_cast<const Big*>(shown[i])->dbPrice;
        wrong += d->iSortDir == 1 ? a > b : a < b;
    }
    EXPECT_EQ(wrong, 0u);

    // By the branch names the look-up gives, ascending; equal names keep
    // the order they had (ascending prices: descending is a drawing order).
    SendMessageA(w->hGrid, GRM_SORT, 1, 4);
    shown = TestGrid_Rows(w->hGrid);
    ASSERT_EQ(shown.size(), static_cast<size_t>(kRows));
    wrong = 0;
    for (size_t i = 1; i < shown.size(); i++) {
        const Big* a = static_cast<const Big*>(shown[i - 1]);
        const Big* b = static_cast<const Big*>(shown[i]);
        const char* na = kBranches[a->iBranch];
        const char* nb = kBranches[b->iBranch];
        if (!TextLE(na, nb))
            wrong++;
        else if (a->iBranch == b->iBranch && a->dbPrice > b->dbPrice)
            wrong++;
    }
    EXPECT_EQ(wrong, 0u);

    // Exported as shown: every row in this order, each cell as drawn.
    std::string csv = Ex_Folder() + "\\million.csv";
    DeleteFileA(csv.c_str());
    Ex_AnswerSave(csv, 2);
    Shell_ClickButton(w->hwnd, ID_MODULE_EXPORT);
    for (int i = 0; i < 6000 && TestBoxes_Count() == 0; i++)
        Ui_Pump(20);
    TestBoxes_ExpectOnly("已导出 " + std::to_string(kRows) + " 行到\n" + csv);
    std::vector<std::vector<std::string>> lines;
    bool bom = true, crlf = false;
    ASSERT_TRUE(Ex_ReadCsv(Ex_ReadFile(csv), &lines, &bom, &crlf));
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kRows) + 1);
    EXPECT_EQ(lines[0], (std::vector<std::string>{"编号", "名称", "价格(万元)", "部门"}));
    size_t differ = 0;
    char price[32];
    for (size_t i = 0; i < shown.size(); i++) {
        const Big* r = static_cast<const Big*>(shown[i]);
        const std::vector<std::string>& l = lines[i + 1];
        snprintf(price, sizeof price, "%.2f", r->dbPrice);
        if (l.size() != 4 || l[0] != std::to_string(r->iKey) || l[1] != r->szName || l[2] != price ||
            l[3] != kBranches[r->iBranch])
            differ++;
    }
    EXPECT_EQ(differ, 0u);
    DeleteFileA(csv.c_str());
}
