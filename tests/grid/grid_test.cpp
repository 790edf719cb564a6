// The grid driven by its messages and mouse: columns, filling and appending,
// selection and notifications, header clicks and drags, scrolling.
#include "tests/grid/grid_host.h"

#include <cstring>

namespace {

std::vector<TestHouse> Houses(int n)
{
    static const char* estates[] = {"阳光花园", "碧水湾", "东湖小区", "金色家园", "翠苑"};
    std::vector<TestHouse> v(n);
    for (int i = 0; i < n; i++) {
        TestHouse& h = v[i];
        memset(&h, 0, sizeof h);
        h.iKey = i + 1;
        snprintf(h.szEstate, sizeof h.szEstate, "%s%d", estates[i % 5], i);
        h.dbArea = 50.0 + (i * 7) % 90;
        h.iPrice = 100 + (i * 37) % 400;
        snprintf(h.szRoom, sizeof h.szRoom, "%d室%d厅", 1 + i % 4, 1 + i % 2);
    }
    return v;
}

std::vector<int> Keys(const std::vector<TestHouse*>& v)
{
    std::vector<int> k;
    for (TestHouse* h : v)
        k.push_back(h ? h->iKey : 0);
    return k;
}

}  // namespace

// ---- Columns ----------------------------------------------------------------------------

TEST_F(GridTest, HundredColumnsFitTheHundredAndFirstIsRefused)
{
    for (int i = 1; i <= 100; i++)
        ASSERT_EQ(1, AddColumn(i, 10, "列", LVT_INT)) << "column " << i;
    EXPECT_EQ(0, AddColumn(101, 10, "多余", LVT_INT));
    tagLV_DATA* d = Data();
    EXPECT_EQ(100, d->iColCapacity);
    EXPECT_EQ(100, d->iColCount);
    EXPECT_EQ(100, d->iColShown);
    for (int i = 0; i < 100; i++) {
        EXPECT_EQ(i + 1, d->pColumns[i].iId);
        EXPECT_EQ(10 * i, d->pColumns[i].iLeft);
    }
}

TEST_F(GridTest, ColumnsTakeDisplayPositionsAndHiddenOnesStayOutOfTheOrder)
{
    ASSERT_EQ(1, AddColumn(1, 100, "甲", LVT_INT));
    ASSERT_EQ(1, AddColumn(2, 50, "乙", LVT_INT));
    ASSERT_EQ(1, AddColumn(3, 30, "丙", LVT_INT, LVU_NONE, "", DT_LEFT, 1, 1));   // first in display order
    ASSERT_EQ(1, AddColumn(4, 70, "丁", LVT_INT, LVU_NONE, "", DT_LEFT, 0));      // kept, not shown
    // A caption that fills its field is kept NUL-terminated.
    tagLV_COLUMN full = {};
    full.iId = 5;
    full.iWidth = 40;
    memset(full.szCaption, 'x', sizeof full.szCaption);
    memset(full.szName, 'y', sizeof full.szName);
    memset(full.szUnit, 'z', sizeof full.szUnit);
    full.iType = LVT_TEXT;
    full.iShown = 1;
    ASSERT_EQ(1, SendMessageA(grid, GRM_ADDCOLUMN, 0, (LPARAM)&full));

    tagLV_DATA* d = Data();
    EXPECT_EQ(5, d->iColCount);
    ASSERT_EQ(4, d->iColShown);
    EXPECT_EQ(2, d->pColOrder[0]);   // slots: id 3 is slot 2
    EXPECT_EQ(0, d->pColOrder[1]);
    EXPECT_EQ(1, d->pColOrder[2]);
    EXPECT_EQ(4, d->pColOrder[3]);
    EXPECT_EQ(0, d->pColumns[2].iLeft);
    EXPECT_EQ(30, d->pColumns[0].iLeft);
    EXPECT_EQ(130, d->pColumns[1].iLeft);
    EXPECT_EQ(180, d->pColumns[4].iLeft);
    EXPECT_EQ(1, d->pColPresent[3]);
    EXPECT_EQ(19u, strlen(d->pColumns[4].szCaption));
    EXPECT_EQ(9u, strlen(d->pColumns[4].szUnit));
}

// ---- Filling, appending, clearing --------------------------------------------------------------

TEST_F(GridTest, FillBindsCallerRecordsWithoutCopying)
{
    AddHouseColumns();
    auto recs = Houses(7);
    Fill(recs);
    tagLV_DATA* d = Data();
    EXPECT_EQ(7, d->iLoaded);
    EXPECT_EQ(recs.data(), d->pRecords);   // the caller's array itself
    EXPECT_EQ((int)sizeof(TestHouse), d->cbRecord);
    EXPECT_EQ(7, d->nRecords);
    EXPECT_EQ(0, d->iAppended);
    EXPECT_EQ(-1, d->iSortId);
    auto shown = Displayed();
    ASSERT_EQ(7u, shown.size());
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(&recs[i], shown[i]);   // unsorted: load order, the records themselves
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(i, d->pRowOrder[i]);
}

TEST_F(GridTest, AFillListsTheRecordsItNamesAndNeverOneOutsideTheArray)
{
    AddHouseColumns();
    auto recs = Houses(6);
    // Records 4, 1 and 5 listed; two indexes outside the six are left out.
    const int32_t rows[] = {4, -1, 1, 6, 5};
    tagLV_FILL f = FillOf(recs);
    f.pRows = rows;
    Fill(f, 5);
    EXPECT_EQ(3, Data()->iLoaded);
    EXPECT_EQ((std::vector<int>{5, 2, 6}), Keys(Displayed()));
    SendMessageA(grid, GRM_SORT, 1, 1);
    EXPECT_EQ((std::vector<int>{2, 5, 6}), Keys(Displayed()));
    // The list is the grid's own copy.
    EXPECT_NE(rows, Data()->pRowOrder);
    // Without pRows the first n records are listed, never more than the array holds.
    f.pRows = nullptr;
    Fill(f, 4);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Keys(Displayed()));
    Fill(f, 9);
    EXPECT_EQ(6u, Displayed().size());
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(GridTest, TwoHundredTenAppendsFitThenTheBufferIsFullUntilTheNextFill)
{
    AddHouseColumns();
    auto recs = Houses(5);
    Fill(recs);
    auto extra = Houses(211);
    for (int i = 0; i < 210; i++) {
        extra[i].iKey = 1000 + i;
        ASSERT_EQ(1, Append(&extra[i])) << "append " << i;
    }
    EXPECT_EQ(0u, TestBoxes_Count());
    tagLV_DATA* d = Data();
    EXPECT_EQ(210, d->iAppended);

    EXPECT_EQ(0, Append(&extra[210]));
    ASSERT_EQ(1u, TestBoxes_Count());
    TestBox box = TestBoxes_Taken()[0];
    EXPECT_EQ("缓冲区已满,请刷新数据", box.text);
    EXPECT_EQ("", box.caption);
    EXPECT_EQ(0, SendMessageA(grid, GRM_APPENDROW, 0, 0));   // no record: nothing to show, nothing said
    EXPECT_EQ(1u, TestBoxes_Count());
    EXPECT_EQ(210, d->iAppended);

    // Appended rows are listed first, newest on top; then the loaded rows.
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    GetScrollInfo(Rows(), SB_VERT, &si);
    EXPECT_EQ(214, si.nMax);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    EXPECT_EQ(1209, Selected()->iKey);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    for (int i = 0; i < 5; i++)
        SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_PREV);
    EXPECT_EQ(1000, Selected()->iKey);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    EXPECT_EQ(1, Selected()->iKey);

    // A new fill starts counting again.
    TestBoxes_Reset();
    Fill(recs);
    EXPECT_EQ(1, Append(&extra[210]));
    EXPECT_EQ(0u, TestBoxes_Count());
    EXPECT_EQ(6u, Displayed().size());
}

TEST_F(GridTest, AppendedLoadedAndSelectedRowsHaveTheirColours)
{
    AddHouseColumns();
    auto recs = Houses(4);
    Fill(recs);
    TestHouse added = Houses(1)[0];
    added.iKey = 77;
    ASSERT_EQ(1, Append(&added));
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_LAST);   // display row 4
    Picture p = PrintClient(Rows());
    // Sample right inside the last column, where no text is drawn.
    int x = 60 + 120 + 80 + 80 + 85;
    EXPECT_EQ(Rgb(212, 208, 200), p.At(x, 0 * 22 + 11));   // appended
    EXPECT_EQ(Rgb(255, 255, 255), p.At(x, 1 * 22 + 11));   // loaded
    EXPECT_EQ(Rgb(251, 228, 214), p.At(x, 4 * 22 + 11));   // selected
    EXPECT_EQ(Rgb(192, 192, 192), p.At(59, 2 * 22 + 11));  // cell border
}

TEST_F(GridTest, ClearDropsRowsKeepsColumnsAndNotifies)
{
    AddHouseColumns();
    auto recs = Houses(3);
    Fill(recs);
    g_notices.clear();
    EXPECT_EQ(1, SendMessageA(grid, GRM_CLEAR, 0, 0));
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(GRN_CLEARED, g_notices[0].code);
    EXPECT_EQ(10, g_notices[0].id);
    EXPECT_EQ(grid, g_notices[0].from);
    tagLV_DATA* d = Data();
    EXPECT_EQ(nullptr, d->pRecords);
    EXPECT_EQ(nullptr, d->pRowOrder);
    EXPECT_EQ(0, d->iLoaded);
    EXPECT_EQ(5, d->iColCount);
    EXPECT_TRUE(Displayed().empty());
    // Without a fill no row can be appended.
    EXPECT_EQ(0, Append(&recs[0]));
    EXPECT_EQ(0, SendMessageA(grid, GRM_GETROWS, 0, 0));
    EXPECT_EQ(0u, TestBoxes_Count());
}

TEST_F(GridTest, AFillTooLargeForMemoryFailsWithTheErrorNumber)
{
    AddHouseColumns();
    static TestHouse one;
    tagLV_FILL f = FillOf(&one, 1);
    f.nRecords = 0x7FFFFFF0;
    EXPECT_EQ(0, SendMessageA(grid, GRM_BEGINFILL, 0x7FFFFFF0, (LPARAM)&f));
    ASSERT_EQ(1u, TestBoxes_Count());
    EXPECT_EQ("8", TestBoxes_Taken()[0].text);   // ERROR_NOT_ENOUGH_MEMORY
    EXPECT_EQ("分配内存失败 01", TestBoxes_Taken()[0].caption);
    EXPECT_EQ(nullptr, Data()->pRecords);
    EXPECT_EQ(0, SendMessageA(grid, GRM_GETROWS, 0, 0));
    // The grid still works afterwards.
    auto recs = Houses(2);
    Fill(recs);
    EXPECT_EQ(2u, Displayed().size());
}

// ---- Selection and notifications ------------------------------------------------------------

TEST_F(GridTest, GetSelOnAnEmptyGridIsNull)
{
    int32_t pos = 7;
    void* rec = (void*)1;
    EXPECT_EQ(0, SendMessageA(grid, GRM_GETSEL, (WPARAM)&pos, (LPARAM)&rec));
    EXPECT_EQ(-1, pos);
    EXPECT_EQ(nullptr, rec);
    AddHouseColumns();
    auto recs = Houses(3);
    Fill(recs);
    EXPECT_EQ(nullptr, Selected());   // filled, nothing chosen yet
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    SendMessageA(grid, GRM_CLEAR, 0, 0);
    EXPECT_EQ(0, SendMessageA(grid, GRM_GETSEL, 0, 0));
    EXPECT_EQ(-1, Data()->iSelRow);
}

TEST_F(GridTest, GetSelHandsOutThePositionAndTheRecord)
{
    AddHouseColumns();
    auto recs = Houses(3);
    Fill(recs);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    int32_t pos = -1;
    void* rec = nullptr;
    EXPECT_EQ((LRESULT)&recs[2], SendMessageA(grid, GRM_GETSEL, (WPARAM)&pos, (LPARAM)&rec));
    EXPECT_EQ(&recs[2], rec);
    EXPECT_EQ(2, pos);
    EXPECT_EQ(2, Data()->iSelRow);
    pos = -1;
    EXPECT_EQ((LRESULT)&recs[2], SendMessageA(grid, GRM_GETSEL, (WPARAM)&pos, 0));
    EXPECT_EQ(2, pos);
}

TEST_F(GridTest, DeleteSelWithoutSelectionAsksToSelect)
{
    AddHouseColumns();
    auto recs = Houses(3);
    Fill(recs);
    EXPECT_EQ(0, SendMessageA(grid, GRM_DELETESEL, 0, 0));
    ASSERT_EQ(1u, TestBoxes_Count());
    TestBox box = TestBoxes_Taken()[0];
    EXPECT_EQ("请选择要删除的行", box.text);
    EXPECT_EQ("", box.caption);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, box.flags & MB_ICONMASK);
    EXPECT_EQ(3u, Displayed().size());
}

TEST_F(GridTest, DeleteSelRemovesTheRowAndSelectsItsNeighbour)
{
    AddHouseColumns();
    auto recs = Houses(4);
    Fill(recs);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);   // key 2
    tagLV_DATA* d = Data();
    g_notices.clear();
    EXPECT_EQ(1, SendMessageA(grid, GRM_DELETESEL, 0, 0));
    EXPECT_EQ(std::vector<int>{GRN_SELCHANGE}, Codes());
    ASSERT_EQ(3, d->iLoaded);   // record 1 is no row any more
    for (int i = 0; i < d->iLoaded; i++)
        EXPECT_NE(1, d->pRowOrder[i]);
    EXPECT_EQ(3, Selected()->iKey);   // the row that moved up
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    EXPECT_EQ(1, SendMessageA(grid, GRM_DELETESEL, 0, 0));
    EXPECT_EQ(3, Selected()->iKey);   // the last row went: its predecessor
    EXPECT_EQ((std::vector<int>{1, 3}), Keys(Displayed()));
    EXPECT_EQ(0u, TestBoxes_Count());

    // Appended rows are removed the same way.
    TestHouse added = Houses(1)[0];
    added.iKey = 50;
    ASSERT_EQ(1, Append(&added));
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    EXPECT_EQ(50, Selected()->iKey);
    EXPECT_EQ(1, SendMessageA(grid, GRM_DELETESEL, 0, 0));
    EXPECT_EQ((std::vector<int>{1, 3}), Keys(Displayed()));
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    SendMessageA(grid, GRM_DELETESEL, 0, 0);
    SendMessageA(grid, GRM_DELETESEL, 0, 0);
    EXPECT_EQ(nullptr, Selected());
    EXPECT_TRUE(Displayed().empty());
}

TEST_F(GridTest, SelectionChangeArrivesBeforeTheClick)
{
    AddHouseColumns();
    auto recs = Houses(5);
    Fill(recs);
    RowMouse(WM_LBUTTONDOWN, 22 + 5);
    RowMouse(WM_LBUTTONUP, 22 + 5);
    EXPECT_EQ((std::vector<int>{GRN_SELCHANGE, GRN_CLICK}), Codes());
    for (const Notice& n : g_notices) {
        EXPECT_EQ(10, n.id);
        EXPECT_EQ(grid, n.from);
    }
    EXPECT_EQ(2, Selected()->iKey);

    g_notices.clear();
    RowMouse(WM_LBUTTONDOWN, 22 + 15);   // the same row again
    EXPECT_EQ(std::vector<int>{GRN_CLICK}, Codes());

    g_notices.clear();
    RowMouse(WM_RBUTTONDOWN, 3 * 22 + 1);
    RowMouse(WM_RBUTTONUP, 3 * 22 + 1);
    EXPECT_EQ((std::vector<int>{GRN_SELCHANGE, GRN_RCLICK, GRN_RBUTTONUP}), Codes());
    EXPECT_EQ(4, Selected()->iKey);

    g_notices.clear();
    RowMouse(WM_LBUTTONDBLCLK, 3 * 22 + 1);
    EXPECT_EQ(std::vector<int>{GRN_DBLCLK}, Codes());

    g_notices.clear();
    RowMouse(WM_LBUTTONDOWN, 5 * 22 + 3);   // below the last row
    RowMouse(WM_RBUTTONUP, 5 * 22 + 3);
    EXPECT_TRUE(Codes().empty());
    EXPECT_EQ(4, Selected()->iKey);
}

TEST_F(GridTest, MoveSelWalksTheDisplayOrderAndKeepsTheRowInView)
{
    AddHouseColumns();
    auto recs = Houses(100);
    Fill(recs);
    EXPECT_EQ(1, SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT));   // none selected: the first
    EXPECT_EQ(1, Selected()->iKey);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_PREV);                 // stays at the top
    EXPECT_EQ(1, Selected()->iKey);
    g_notices.clear();
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    EXPECT_EQ(100, Selected()->iKey);
    EXPECT_EQ(std::vector<int>{GRN_SELCHANGE}, Codes());
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(Rows(), SB_VERT, &si);
    EXPECT_EQ(99, si.nMax);
    EXPECT_EQ(100 - (int)si.nPage, si.nPos);   // the last row is in view
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    EXPECT_EQ(0, GetScrollPos(Rows(), SB_VERT));
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_PREV);
    EXPECT_EQ(1, Selected()->iKey);

    // Re-sorting clears the selection.
    SendMessageA(grid, GRM_SORT, 0, 4);
    EXPECT_EQ(nullptr, Selected());
}

TEST_F(GridTest, RedrawSelRepaintsOnlyTheSelectedRow)
{
    AddHouseColumns();
    auto recs = Houses(6);
    Fill(recs);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    UpdateWindow(host);
    RECT rc;
    EXPECT_FALSE(GetUpdateRect(Rows(), &rc, FALSE));
    EXPECT_EQ(1, SendMessageA(grid, GRM_REDRAWSEL, 0, 0));
    ASSERT_TRUE(GetUpdateRect(Rows(), &rc, FALSE));
    EXPECT_EQ(2 * 22, rc.top);
    EXPECT_EQ(3 * 22, rc.bottom);
    UpdateWindow(host);
}

// ---- Sorting by message and by header click -------------------------------------------------

TEST_F(GridTest, SortByAnUnknownIdSortsByTheFirstColumn)
{
    AddHouseColumns();
    auto recs = Houses(5);
    int keys[] = {30, 10, 50, 20, 40};
    const char* names[] = {"c", "e", "a", "d", "b"};
    for (int i = 0; i < 5; i++) {
        recs[i].iKey = keys[i];
        strcpy(recs[i].szEstate, names[i]);
    }
    Fill(recs, 2);   // by estate name
    EXPECT_EQ((std::vector<int>{50, 40, 30, 20, 10}), Keys(Displayed()));
    EXPECT_EQ(1, SendMessageA(grid, GRM_SORT, 0, 99));
    EXPECT_EQ((std::vector<int>{10, 20, 30, 40, 50}), Keys(Displayed()));
    EXPECT_EQ(1, Data()->iSortId);
    // 0 keeps the current column; the sort column survives a new fill.
    Fill(recs, 0);
    EXPECT_EQ((std::vector<int>{10, 20, 30, 40, 50}), Keys(Displayed()));
}

TEST_F(GridTest, ClickingTheSortColumnHeaderTwiceRestoresTheDirection)
{
    AddHouseColumns();
    auto recs = Houses(6);
    Fill(recs);
    SendMessageA(grid, GRM_SORT, 1, 1);
    tagLV_DATA* d = Data();
    ASSERT_EQ(1, d->iSortDir);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), Keys(Displayed()));

    HeaderClick(30);   // body of the key column
    EXPECT_EQ(2, d->iSortDir);
    EXPECT_EQ((std::vector<int>{6, 5, 4, 3, 2, 1}), Keys(Displayed()));
    HeaderClick(30);
    EXPECT_EQ(1, d->iSortDir);
    EXPECT_EQ(1, d->iSortId);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), Keys(Displayed()));

    // Another column becomes the sort column with the direction kept.
    HeaderClick(30);
    HeaderClick(60 + 120 + 80 + 40);   // price
    EXPECT_EQ(4, d->iSortId);
    EXPECT_EQ(2, d->iSortDir);
    auto shown = Displayed();
    for (size_t i = 1; i < shown.size(); i++)
        EXPECT_GE(shown[i - 1]->iPrice, shown[i]->iPrice);
}

TEST_F(GridTest, AHeaderClickWithASelectedRowReportsTheSelectionChange)
{
    AddHouseColumns();
    auto recs = Houses(4);
    Fill(recs);
    HeaderClick(30);
    EXPECT_TRUE(Codes().empty());   // nothing was selected
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    g_notices.clear();
    HeaderClick(30);
    EXPECT_EQ(std::vector<int>{GRN_SELCHANGE}, Codes());
    EXPECT_EQ(nullptr, Selected());
}

TEST_F(GridTest, DraggingAHeaderMovesTheColumn)
{
    ASSERT_EQ(1, AddColumn(1, 100, "甲", LVT_INT));
    ASSERT_EQ(1, AddColumn(2, 100, "乙", LVT_INT));
    ASSERT_EQ(1, AddColumn(3, 100, "丙", LVT_INT));
    tagLV_DATA* d = Data();
    // A short drag to the right changes nothing, not even the sort.
    HeaderClick(50, 80);
    EXPECT_EQ(0, d->pColOrder[0]);
    EXPECT_EQ(-1, d->iSortId);
    // Dragged so its left edge lies in the second column: it moves there.
    HeaderClick(50, 210);
    EXPECT_EQ(1, d->pColOrder[0]);
    EXPECT_EQ(0, d->pColOrder[1]);
    EXPECT_EQ(2, d->pColOrder[2]);
    EXPECT_EQ(100, d->pColumns[0].iLeft);
    EXPECT_EQ(0, d->pColumns[1].iLeft);
    EXPECT_EQ(1, d->iSortId);   // and it becomes the sort column
    // Dragged beyond every column: the last position.
    HeaderClick(50, 550);
    EXPECT_EQ(0, d->pColOrder[0]);
    EXPECT_EQ(2, d->pColOrder[1]);
    EXPECT_EQ(1, d->pColOrder[2]);
    EXPECT_EQ(2, d->iSortId);
    // Dragged to the left into the first column.
    HeaderClick(250, 20);
    EXPECT_EQ(1, d->pColOrder[0]);
    EXPECT_EQ(0, d->pColOrder[1]);
    EXPECT_EQ(2, d->pColOrder[2]);
}

TEST_F(GridTest, DraggingAColumnBorderResizesWithinLimits)
{
    HCURSOR border = LoadCursorA(nullptr, (LPCSTR)IDC_SIZEWE);
    EXPECT_EQ(1, SendMessageA(grid, GRM_SETCURSOR, 0, (LPARAM)border));
    ASSERT_EQ(1, AddColumn(1, 100, "甲", LVT_INT));
    ASSERT_EQ(1, AddColumn(2, 100, "乙", LVT_INT));
    tagLV_DATA* d = Data();
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(102, 5));   // border zone of the first
    EXPECT_EQ(border, GetCursor());
    SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 5));
    EXPECT_EQ(150, d->pColumns[0].iWidth);
    EXPECT_EQ(150, d->pColumns[1].iLeft);
    SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4, 5));   // too narrow: refused
    EXPECT_EQ(150, d->pColumns[0].iWidth);
    SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(5, d->pColumns[0].iWidth);
    RECT rc;
    GetClientRect(grid, &rc);
    SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(rc.right - 3, 5));   // past the right edge
    EXPECT_EQ(5, d->pColumns[0].iWidth);
    SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(rc.right - 3, 5));
    EXPECT_EQ(-1, d->iSortId);   // resizing does not sort
    EXPECT_EQ(nullptr, GetCapture());
}

// ---- Scrolling, keys, wheel, font, commands --------------------------------------------------

TEST_F(GridTest, KeysAndWheelScrollTheRows)
{
    for (int i = 1; i <= 10; i++)
        ASSERT_EQ(1, AddColumn(i, 120, "列", LVT_INT));   // 1200 pixels: wider than the grid
    auto recs = Houses(100);
    Fill(recs);
    HWND rows = Rows();
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(rows, SB_VERT, &si);
    int page = (int)si.nPage;
    ASSERT_GT(page, 5);
    auto key = [&](WPARAM k) { SendMessageA(rows, WM_KEYDOWN, k, 0); return GetScrollPos(rows, SB_VERT); };
    EXPECT_EQ(page, key(VK_NEXT));
    EXPECT_EQ(2 * page, key(VK_SPACE));
    EXPECT_EQ(page, key(VK_PRIOR));
    EXPECT_EQ(page + 1, key(VK_DOWN));
    EXPECT_EQ(page + 2, key('S'));
    EXPECT_EQ(page + 1, key(VK_UP));
    EXPECT_EQ(page, key('W'));
    EXPECT_EQ(100 - page, key(VK_END));
    EXPECT_EQ(100 - page, key(VK_NEXT));   // stays at the end
    EXPECT_EQ(0, key(VK_HOME));

    SendMessageA(rows, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)-240), 0);
    EXPECT_EQ(2, GetScrollPos(rows, SB_VERT));
    SendMessageA(rows, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)120), 0);
    EXPECT_EQ(1, GetScrollPos(rows, SB_VERT));
    SendMessageA(rows, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)60), 0);   // half a notch
    EXPECT_EQ(1, GetScrollPos(rows, SB_VERT));
    SendMessageA(rows, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)60), 0);
    EXPECT_EQ(0, GetScrollPos(rows, SB_VERT));

    // Horizontal positions are 5-pixel steps; right and left page.
    si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(rows, SB_HORZ, &si);
    EXPECT_EQ(1200 / 5 - 1, si.nMax);
    SendMessageA(rows, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ((int)si.nPage, GetScrollPos(rows, SB_HORZ));
    SendMessageA(rows, WM_KEYDOWN, 'D', 0);
    EXPECT_EQ(240 - (int)si.nPage, GetScrollPos(rows, SB_HORZ));
    SendMessageA(rows, WM_KEYDOWN, 'A', 0);
    SendMessageA(rows, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(0, GetScrollPos(rows, SB_HORZ));

    // A new fill scrolls back to the left.
    SendMessageA(rows, WM_KEYDOWN, VK_RIGHT, 0);
    Fill(recs);
    EXPECT_EQ(0, GetScrollPos(rows, SB_HORZ));
}

TEST_F(GridTest, HorizontalScrollingMovesTheHeaderToo)
{
    for (int i = 1; i <= 10; i++)
        ASSERT_EQ(1, AddColumn(i, 120, i == 2 ? "第二列" : "列", LVT_INT));
    auto recs = Houses(3);
    Fill(recs);
    Picture before = PrintClient(grid);
    SendMessageA(Rows(), WM_HSCROLL, SB_LINEDOWN, 0);
    SendMessageA(Rows(), WM_HSCROLL, SB_LINEDOWN, 0);   // 10 pixels
    Picture after = PrintClient(grid);
    EXPECT_TRUE(after.SameArea(before, 110, 120, 0, 100, 20));
    EXPECT_FALSE(after.SameArea(before, 120, 120, 0, 100, 20));
}

TEST_F(GridTest, FontAndForwardedCommands)
{
    HFONT font = CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "SimSun");
    EXPECT_EQ((LRESULT)GetStockObject(DEFAULT_GUI_FONT), SendMessageA(grid, WM_GETFONT, 0, 0));
    SendMessageA(grid, WM_SETFONT, (WPARAM)font, TRUE);
    EXPECT_EQ((LRESULT)font, SendMessageA(grid, WM_GETFONT, 0, 0));
    SendMessageA(grid, WM_SETFONT, 0, FALSE);
    EXPECT_EQ((LRESULT)GetStockObject(DEFAULT_GUI_FONT), SendMessageA(grid, WM_GETFONT, 0, 0));
    DeleteObject(font);

    SendMessageA(Rows(), WM_COMMAND, MAKEWPARAM(4711, 9), (LPARAM)Rows());
    ASSERT_EQ(1u, g_notices.size());
    EXPECT_EQ(4711, g_notices[0].id);
    EXPECT_EQ(9, g_notices[0].code);
    EXPECT_EQ(Rows(), g_notices[0].from);
}

TEST_F(GridTest, GridsHookIntoTheSkinLibrary)
{
    HMODULE skin = GetModuleHandleA("SkinMagic.dll");
    ASSERT_NE(nullptr, skin) << "the grid loads the skin library";
    auto count = (int(WINAPI*)(void))(void*)GetProcAddress(skin, "SkinHookedCount");
    ASSERT_NE(nullptr, count);
    int before = count();
    EXPECT_GE(before, 1);
    HWND second = CreateWindowExA(0, "ZT_CTL_LISTVIEW", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, host, (HMENU)11,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(before + 1, count());
    DestroyWindow(second);
    EXPECT_EQ(before, count());
}

// ---- Filling from a worker thread, as the list windows do ---------------------------------------

namespace {

struct WorkerFill {
    HWND grid;
    std::vector<TestHouse>* recs;
    LRESULT begun;
};

DWORD WINAPI FillOnWorker(void* arg)
{
    WorkerFill* w = (WorkerFill*)arg;
    SendMessageA(w->grid, GRM_CLEAR, 0, 0);
    // The rows listed, chosen on the worker as a list window's load does.
    std::vector<int32_t> rows;
    for (size_t i = 0; i < w->recs->size(); i++)
        rows.push_back((int32_t)i);
    tagLV_FILL f = GridTest::FillOf(*w->recs);
    f.pRows = rows.data();
    w->begun = SendMessageA(w->grid, GRM_BEGINFILL, rows.size(), (LPARAM)&f);
    if (!w->begun)
        return 1;
    SendMessageA(w->grid, GRM_SORT, 0, 0);
    // And one record added later.
    if (!SendMessageA(w->grid, GRM_APPENDROW, 0, (LPARAM)&w->recs->back()))
        return 3;
    return 0;
}

}  // namespace

TEST_F(GridTest, AWorkerThreadFillsTheGridWhileTheWindowThreadPaints)
{
    AddHouseColumns();
    auto recs = Houses(2000);
    WorkerFill w = {grid, &recs, 0};
    HANDLE t = CreateThread(nullptr, 0, FillOnWorker, &w, 0, nullptr);
    ASSERT_NE(nullptr, t);
    // The window thread keeps handling messages (and painting) meanwhile.
    while (MsgWaitForMultipleObjects(1, &t, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        Pump();
        UpdateWindow(host);
    }
    DWORD rc = 99;
    GetExitCodeThread(t, &rc);
    CloseHandle(t);
    EXPECT_EQ(0u, rc);
    EXPECT_EQ(1, w.begun);
    EXPECT_EQ((std::vector<int>{GRN_CLEARED}), Codes());
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    EXPECT_EQ(&recs.back(), Selected());   // the appended row, on top
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    EXPECT_EQ(&recs[0], Selected());
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    EXPECT_EQ(&recs[1999], Selected());
}
