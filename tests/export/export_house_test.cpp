// The house list exported as an agent exports it, on the demo data set:
// filtered with a typed box, a column dragged to another place, sorted by
// price, a row selected; "导出…" chosen from the grid's context menu and
// the workbook named in the real save dialog; then the same list as CSV in
// both encodings from the toolbar button.  Each file is read back and
// compared with the records on the screen and the database, and every
// export is found in the operation log.
#include "tests/export/export_driver.h"
#include "app/listings/house_ids.h"
#include "app/listings/listing_window.h"
#include "app/shell/export.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class ExportHouseTest : public ExportTest {
protected:
    static void SetUpTestSuite() { OpenDemo("kelmora_export_house"); }
};

// The position of a caption in a header row (-1: none).
// A cell of the sheet; an empty one for a cell the file leaves out.
XCell At(const std::vector<std::vector<XCell>>& rows, size_t r, size_t c)
{
    return r < rows.size() && c < rows[r].size() ? rows[r][c] : XCell();
}

int ColumnOf(const std::vector<XCell>& header, const std::string& utf8Caption)
{
    for (size_t i = 0; i < header.size(); i++)
        if (header[i].text == utf8Caption)
            return static_cast<int>(i);
    return -1;
}

TEST_F(ExportHouseTest, FilteredSortedListIntoWorkbookAndCsv)
{
    HWND hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
    ASSERT_NE(hwnd, nullptr);
    ZT_MODWIN* w = Module_Of(hwnd);
    ASSERT_NE(w, nullptr);
    TestDb_Exec("delete from t_log where iAct = 9");

    // Filtered: a lower price bound typed into the panel.
    HWND panel = ListingWindow_Panel(hwnd);
    Ui_Type(GetDlgItem(panel, IDC_HF_PRICE_MIN), "100");
    POINT find = Ui_Centre(GetDlgItem(panel, IDC_HF_FIND));
    Ui_Click(find.x, find.y);
    Wd_Settle(w);
    long long listed = TestDb_Count("t_house where bRecyle = 0 and (iSales >= 100 or iRent >= 100)");
    ASSERT_GT(listed, 3);
    ASSERT_EQ(Shell_GridRows(w->hGrid), listed);

    // "交易" dragged by its header to the right of "面积", then the list
    // sorted by a click on the header of "售价".
    tagLV_DATA* d = TestGrid_Data(w->hGrid);
    ASSERT_NE(d, nullptr);
    ASSERT_STREQ(d->pColumns[0].szCaption, "交易");
    ASSERT_STREQ(d->pColumns[9].szCaption, "面积");
    ASSERT_STREQ(d->pColumns[12].szCaption, "售价");
    RECT rg = Ui_WindowRect(w->hGrid);
    int yHead = rg.top + GRID_HEADER_HEIGHT / 2;
    int xFrom = rg.left + d->pColumns[0].iLeft + 15;
    int xTo = rg.left + d->pColumns[9].iLeft + d->pColumns[9].iWidth + 10;
    Ui_Press(xFrom, yHead);
    for (int x = xFrom; x < xTo; x += 40)
        Ui_MouseTo(x, yHead);
    Ui_MouseTo(xTo, yHead);
    Ui_Release();
    Ui_Pump(100);
    ASSERT_NE(d->pColOrder[0], 0) << "交易 is no longer the first column";
    Ui_Click(rg.left + d->pColumns[12].iLeft + 20, yHead);
    Ui_Pump(100);
    ASSERT_EQ(d->iSortId, 13);
    ASSERT_EQ(d->iSortDir, 1);

    // The first row selected; its record is what the file's first row holds.
    int yRow = rg.top + GRID_HEADER_HEIGHT + GRID_ROW_HEIGHT / 2 + 2;
    Ui_Click(rg.left + 60, yRow);
    Ui_Pump(100);
    const tagHOUSE* first = static_cast<const tagHOUSE*>(Module_Selected(w));
    ASSERT_NE(first, nullptr);

    // Right click, "导出…" of the context menu, the real save dialog.
    std::string xlsx = Ex_Folder() + "\\房源 导出.xlsx";
    DeleteFileA(xlsx.c_str());
    Ex_AnswerSave(xlsx, 0);
    Ex_ClickPopupSoon(ID_MODULE_EXPORT, "export-menu");
    Ex_RightClick(rg.left + 60, yRow);
    WaitForBox();
    ASSERT_TRUE(Ex_PopupClicked());
    std::vector<std::string> items = Ex_PopupItems();
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items.front(), "新增房源") << "the module's own items come first";
    EXPECT_EQ(items.back(), "导出…");
    const SaveSeen& seen = Ex_SaveSeen();
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.title, "导出");
    EXPECT_EQ(seen.offered.rfind("房源浏览_", 0), 0u) << seen.offered;
    ASSERT_EQ(seen.types.size(), 3u);
    EXPECT_NE(seen.types[1].find("UTF-8"), std::string::npos);
    EXPECT_NE(seen.types[2].find("GBK"), std::string::npos);
    TestBoxes_ExpectOnly("已导出 " + std::to_string(listed) + " 行到\n" + xlsx);
    EXPECT_EQ(TestBoxes_Taken().at(0).caption, "导出");

    // The workbook: the sheet named after the list, the header as the grid
    // shows it, the rows in the grid's order, numbers stored as numbers.
    std::vector<std::vector<XCell>> rows;
    std::string book;
    ASSERT_TRUE(Ex_ReadXlsx(xlsx, &rows, &book));
    EXPECT_NE(book.find("name=\"" + Ex_Utf8("房源浏览") + "\""), std::string::npos) << book;
    ASSERT_EQ(rows.size(), static_cast<size_t>(listed + 1));
    const std::vector<XCell>& head = rows[0];
    ASSERT_EQ(head.size(), 32u);
    int cTrade = ColumnOf(head, Ex_Utf8("交易"));
    int cArea = ColumnOf(head, Ex_Utf8("面积"));
    int cPrice = ColumnOf(head, Ex_Utf8("售价(万元)"));
    int cEstate = ColumnOf(head, Ex_Utf8("楼盘名称"));
    int cDays = ColumnOf(head, Ex_Utf8("跟进通知(天未跟进)"));
    EXPECT_EQ(cTrade, cArea + 1) << "the column stands where it was dragged";
    EXPECT_EQ(cDays, 0);
    ASSERT_TRUE(cTrade >= 0 && cArea >= 0 && cPrice >= 0 && cEstate >= 0);
    std::map<int, std::string> estates;
    for (const auto& r : TestDb_Query("select iOrdinal, szEstate from t_estate"))
        estates[atoi(r[0].c_str())] = r[1];
    const std::vector<XCell>& top = rows[1];
    EXPECT_EQ(top[cTrade].text, Ex_Utf8(first->szTrade));
    EXPECT_EQ(top[cEstate].text, Ex_Utf8(estates[first->iEst]));
    EXPECT_TRUE(top[cArea].number);
    EXPECT_NEAR(atof(top[cArea].text.c_str()), first->dbBuildArea, 0.005);
    EXPECT_EQ(atoi(top[cPrice].text.c_str()), first->iSales);
    // A house with no sale price (0) has an empty cell, sorted first.
    std::multiset<std::string> dbPrices, filePrices;
    for (const auto& r : TestDb_Query("select iSales from t_house where bRecyle = 0 and iSales > 0 and "
                                      "(iSales >= 100 or iRent >= 100)"))
        dbPrices.insert(r[0]);
    long long unpriced = TestDb_Count("t_house where bRecyle = 0 and iSales = 0 and (iSales >= 100 or iRent >= 100)");
    long long empty = 0;
    double last = -1e18;
    std::set<std::string> trades = {Ex_Utf8("出售"), Ex_Utf8("出租"), Ex_Utf8("租售")};
    for (size_t i = 1; i < rows.size(); i++) {
        const std::vector<XCell>& r = rows[i];
        ASSERT_GT(r.size(), static_cast<size_t>(cPrice));
        EXPECT_TRUE(r[cArea].number) << "row " << i;
        if (r[cPrice].text.empty()) {
            EXPECT_EQ(last, -1e18) << "an empty price sorts before every price, row " << i;
            empty++;
        } else {
            EXPECT_TRUE(r[cPrice].number) << "row " << i;
            EXPECT_NE(r[cArea].style, r[cPrice].style) << "decimals and whole numbers have their own formats";
            double price = atof(r[cPrice].text.c_str());
            EXPECT_GE(price, last) << "sorted by price, row " << i;
            last = price;
            filePrices.insert(r[cPrice].text);
        }
        EXPECT_EQ(trades.count(r[cTrade].text), 1u) << r[cTrade].text;
        EXPECT_FALSE(r[cEstate].text.empty());
    }
    EXPECT_EQ(filePrices, dbPrices) << "every listed house, none other";
    EXPECT_EQ(empty, unpriced);

    // The same list as CSV from the toolbar: UTF-8 with its byte order mark,
    // then GBK; the same cells as the workbook.
    std::string csv8 = Ex_Folder() + "\\houses-utf8.csv", csvGbk = Ex_Folder() + "\\houses-gbk";
    struct {
        std::string path;
        int type;
        bool bom;
    } runs[] = {{csv8, 1, true}, {csvGbk, 2, false}};
    for (const auto& run : runs) {
        TestBoxes_Reset();
        Ex_AnswerSave(run.path, run.type);
        Shell_ClickButton(hwnd, ID_MODULE_EXPORT);
        WaitForBox();
        ASSERT_EQ(TestBoxes_Count(), 1u);
        std::string file = run.type == 2 ? run.path + ".csv" : run.path;    // a name without extension gets one
        EXPECT_EQ(TestBoxes_Taken()[0].text, "已导出 " + std::to_string(listed) + " 行到\n" + file);
        EXPECT_EQ(Ex_SaveSeen().typeOffered, run.type == 1 ? 0 : 1) << "the dialog offers the type chosen last";
        std::vector<std::vector<std::string>> lines;
        bool bom = false, crlf = false;
        ASSERT_TRUE(Ex_ReadCsv(Ex_ReadFile(file), &lines, &bom, &crlf));
        EXPECT_EQ(bom, run.bom);
        EXPECT_TRUE(crlf);
        ASSERT_EQ(lines.size(), rows.size());
        for (size_t i = 0; i < lines.size(); i++) {
            ASSERT_EQ(lines[i].size(), head.size()) << "line " << i;
            for (size_t c = 0; c < head.size(); c++) {
                std::string text = run.bom ? lines[i][c] : Ex_Utf8(lines[i][c]);
                XCell x = At(rows, i, c);
                if (x.number)
                    EXPECT_NEAR(atof(text.c_str()), atof(x.text.c_str()), 0.005) << i << "," << c;
                else
                    EXPECT_EQ(text, x.text) << i << "," << c;
            }
        }
        EXPECT_EQ(lines[1][cArea].find('.'), lines[1][cArea].size() - 3) << "two decimals, as the grid shows";
    }

    // Every export in the operation log: who, which list, how many rows.
    auto logged = TestDb_Query("select iAct, iObjType, iObjID, iOpEmp, szValue from t_log where iAct = 9 "
                               "order by iOrdinal");
    ASSERT_EQ(logged.size(), 3u);
    std::string n = std::to_string(listed);
    const char* formats[] = {"xlsx", "csv-utf8", "csv-gbk"};
    std::string files[] = {xlsx, csv8, csvGbk + ".csv"};
    for (size_t i = 0; i < 3; i++) {
        EXPECT_EQ(logged[i][1], "0") << "object type: houses";
        EXPECT_EQ(logged[i][3], std::to_string(Cache_Operator(&g_ZTMain)));
        EXPECT_EQ(logged[i][4], "房源浏览@,@" + n + "@,@" + formats[i] + "@,@" + files[i]);
    }

    // A name typed with ".xlsx" while the type box still shows CSV GBK is
    // a workbook; the dialog stood over the program, not in the corner.
    std::string typed = Ex_Folder() + "\\typed.xlsx";
    DeleteFileA(typed.c_str());
    TestBoxes_Reset();
    Ex_AnswerSave(typed, 2);
    Shell_ClickButton(hwnd, ID_MODULE_EXPORT);
    WaitForBox();
    TestBoxes_ExpectOnly("已导出 " + n + " 行到\n" + typed);
    std::vector<std::vector<XCell>> again;
    EXPECT_TRUE(Ex_ReadXlsx(typed, &again, &book)) << "a workbook";
    EXPECT_EQ(again.size(), rows.size());
    EXPECT_EQ(TestDb_Scalar("select szValue from t_log where iAct = 9 order by iOrdinal desc limit 1"),
              "房源浏览@,@" + n + "@,@xlsx@,@" + typed);
    RECT frame = Ui_WindowRect(GetAncestor(hwnd, GA_ROOT));
    const RECT& at = Ex_SaveSeen().rect;
    POINT mid = {(at.left + at.right) / 2, (at.top + at.bottom) / 2};
    EXPECT_TRUE(PtInRect(&frame, mid)) << "the save dialog at " << at.left << "," << at.top;
    EXPECT_LT(abs(mid.x - (frame.left + frame.right) / 2), 40);
    EXPECT_EQ(Export_FormatOf("a.CSV", EXPORT_XLSX), EXPORT_CSV_UTF8);
    EXPECT_EQ(Export_FormatOf("a.csv", EXPORT_CSV_GBK), EXPORT_CSV_GBK);
    EXPECT_EQ(Export_FormatOf("dir.x\\name", EXPORT_CSV_GBK), EXPORT_CSV_GBK);
}

// A save dialog cancelled: no file, no box, no log row.
TEST_F(ExportHouseTest, CancelledDialogWritesNothing)
{
    HWND hwnd = Open(IDM_HOUSE, "ZT_CHILD_HOU");
    ASSERT_NE(hwnd, nullptr);
    long long before = TestDb_Count("t_log where iAct = 9");
    Ex_AnswerSave("", 0);
    Shell_ClickButton(hwnd, ID_MODULE_EXPORT);
    for (int i = 0; i < 200 && !Ex_SaveSeen().seen; i++)
        Ui_Pump(20);
    Ui_Pump(200);
    EXPECT_TRUE(Ex_SaveSeen().seen);
    EXPECT_EQ(TestBoxes_Count(), 0u);
    EXPECT_EQ(TestDb_Count("t_log where iAct = 9"), before);
}

}  // namespace
