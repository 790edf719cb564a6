// What the grid draws: units, value formats, hidden columns, the owner's cell
// hook, a screenshot of a filled grid, a user clicking with the real mouse,
// and a grid without the skin and resource libraries.
#include "tests/grid/grid_host.h"

#include <cstddef>
#include <cstring>

namespace {

struct HookCall {
    HWND parent;
    int columnId;
    const void* value;
    const void* record;
};
std::vector<HookCall> g_hookCalls;

void RecordingHook(HWND parent, HDC hdc, const tagLV_COLUMN* col, const void* value, const void* record)
{
    g_hookCalls.push_back(HookCall{parent, col->iId, value, record});
    if (col->iId == 3 && GetTextColor(hdc) == RGB(0, 0, 0))
        SetTextColor(hdc, RGB(255, 0, 0));
}

struct Row {
    char a[24];
    char b[24];
    int32_t n;
    double d;
};

}  // namespace

TEST_F(GridTest, UnitsAreAppendedToCellsInModeTwoAndShownInTheHeaderInModeOne)
{
    // Pairs of columns whose pictures must match: a value with its unit
    // appended and the same text written out.
    const int a = (int)offsetof(Row, a), b = (int)offsetof(Row, b);
    ASSERT_EQ(1, AddColumn(1, 95, "面积", LVT_TEXT, LVU_CELLS, "平米", DT_LEFT, 1, 0, a));
    ASSERT_EQ(1, AddColumn(2, 95, "面积平米", LVT_TEXT, LVU_NONE, "", DT_LEFT, 1, 0, b));
    ASSERT_EQ(1, AddColumn(3, 95, "售价", LVT_TEXT, LVU_HEADER, "万元", DT_LEFT, 1, 0, a));
    ASSERT_EQ(1, AddColumn(4, 95, "售价(万元)", LVT_TEXT, LVU_NONE, "", DT_LEFT, 1, 0, a));
    ASSERT_EQ(1, AddColumn(5, 95, "数", LVT_INT, LVU_CELLS, "万", DT_LEFT, 1, 0, (int)offsetof(Row, n)));
    ASSERT_EQ(1, AddColumn(6, 95, "数", LVT_DOUBLE, LVU_CELLS, "元", DT_LEFT, 1, 0, (int)offsetof(Row, d)));
    static Row recs[2];
    memset(recs, 0, sizeof recs);
    strcpy(recs[0].a, "八十五");
    strcpy(recs[0].b, "八十五平米");
    recs[0].n = -85;
    recs[0].d = 3.14159;
    strcpy(recs[1].a, "-85万");
    strcpy(recs[1].b, "3.14元");
    Fill(FillOf(recs, 2), 2);
    Picture rows = PrintClient(Rows());
    // Compared inside the cell borders.
    auto same = [&](const Picture& p, int ax, int ay, int bx, int by) { return p.SameBlock(p, ax + 1, ay + 1, bx + 1, by + 1, 90, 20); };
    // Row 0: "八十五" with "平米" appended draws like "八十五平米".
    EXPECT_TRUE(same(rows, 0, 0, 95, 0));
    // Mode 1 leaves the cells alone: column 3 draws like column 4.
    EXPECT_TRUE(same(rows, 190, 0, 285, 0));
    EXPECT_FALSE(same(rows, 0, 0, 190, 0));
    // Numbers: -85 with "万" ("%d%s") draws like the text "-85万", 3.14159
    // with "元" ("%.2f%s") like "3.14元".
    EXPECT_GT(rows.Count(380, 0, 475, 22, IsDark), 10);
    EXPECT_TRUE(same(rows, 380, 0, 285, 22));
    EXPECT_TRUE(same(rows, 475, 0, 95, 22));

    // The header: "售价" with unit "万元" in mode 1 reads "售价(万元)".
    Picture header = PrintClient(grid);
    EXPECT_TRUE(header.SameBlock(header, 190 + 1, 2, 285 + 1, 2, 90, 16));
    // Mode 2 does not touch the header: "面积" differs from "面积平米".
    EXPECT_FALSE(header.SameBlock(header, 0 + 1, 2, 95 + 1, 2, 90, 16));
}

TEST_F(GridTest, ZeroWidthColumnsAreNotDrawnAndTheHookSeesEveryDrawnCell)
{
    AddHouseColumns();
    // Second, width 0; the hidden column has a value.
    ASSERT_EQ(1, AddColumn(6, 0, "隐藏", LVT_TEXT, LVU_NONE, "", DT_LEFT, 1, 2, (int)offsetof(TestHouse, szEstate)));
    std::vector<TestHouse> recs(3);
    memset(recs.data(), 0, recs.size() * sizeof(TestHouse));
    for (int i = 0; i < 3; i++) {
        recs[i].iKey = i + 1;
        strcpy(recs[i].szEstate, "碧水湾");
        strcpy(recs[i].szRoom, "3室");
    }
    Fill(recs);
    tagLV_DATA* d = Data();
    EXPECT_EQ(60, d->pColumns[5].iLeft);
    EXPECT_EQ(60, d->pColumns[1].iLeft);   // the next column starts where it would

    g_hookCalls.clear();
    EXPECT_EQ(1, SendMessageA(grid, GRM_SETCELLHOOK, 0, (LPARAM)RecordingHook));
    Picture p = PrintClient(Rows());
    ASSERT_EQ(15u, g_hookCalls.size());   // 3 rows x 5 drawn columns
    for (const HookCall& c : g_hookCalls) {
        EXPECT_NE(6, c.columnId);
        EXPECT_EQ(host, c.parent);
        const TestHouse* h = (const TestHouse*)c.record;
        ASSERT_TRUE(h == &recs[0] || h == &recs[1] || h == &recs[2]);
        if (c.columnId == 2) {
            EXPECT_EQ(h->szEstate, c.value);
        }
    }
    // The hook turned the area column red; others stay black.
    auto red = [](uint32_t c) { return ((c >> 16) & 0xFF) > 180 && ((c >> 8) & 0xFF) < 90 && (c & 0xFF) < 90; };
    EXPECT_GT(p.Count(180, 0, 260, 22, red), 5);
    EXPECT_EQ(0, p.Count(60, 0, 180, 22, red));
    EXPECT_GT(p.Count(60, 0, 180, 22, IsDark), 10);

    SendMessageA(grid, GRM_SETCELLHOOK, 0, 0);
    g_hookCalls.clear();
    PrintClient(Rows());
    EXPECT_TRUE(g_hookCalls.empty());
}

TEST_F(GridTest, ScreenshotOfAFilledGridWithChineseTexts)
{
    MakeGrid(640, 260);
    AddHouseColumns();
    std::vector<TestHouse> recs(8);
    memset(recs.data(), 0, recs.size() * sizeof(TestHouse));
    const char* estates[] = {"阳光花园", "碧水湾", "东湖小区", "金色家园", "翠苑", "江南名居", "丽景湾", "世纪城"};
    for (int i = 0; i < 8; i++) {
        recs[i].iKey = 101 + i;
        strcpy(recs[i].szEstate, estates[i]);
        recs[i].dbArea = 60.5 + i * 10;
        recs[i].iPrice = 80 + i * 15;
        snprintf(recs[i].szRoom, sizeof recs[i].szRoom, "%d室%d厅", 2 + i % 3, 1 + i % 2);
    }
    Fill(recs, 1);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);   // display row 2
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(300);

    Picture shot = CaptureScreen(grid);
    EXPECT_TRUE(shot.Save(ShotPath("grid_filled.bmp")));
    POINT org = {0, 0};
    ClientToScreen(grid, &org);
    RECT wr;
    GetWindowRect(grid, &wr);
    int ox = org.x - wr.left, oy = org.y - wr.top;   // client origin in the shot
    int rowsTop = oy + 20;

    // The selected row is painted in the selection colour across the grid.
    int sel = shot.Count(ox, rowsTop + 2 * 22, ox + 430, rowsTop + 3 * 22,
                         [](uint32_t c) { return c == Rgb(251, 228, 214); });
    EXPECT_GT(sel, 430 * 22 / 2);
    EXPECT_EQ(0, shot.Count(ox, rowsTop + 22, ox + 430, rowsTop + 2 * 22,
                            [](uint32_t c) { return c == Rgb(251, 228, 214); }));
    // Text in the estate cells of the first rows and in the selected row.
    for (int r = 0; r < 3; r++)
        EXPECT_GT(shot.Count(ox + 60, rowsTop + r * 22, ox + 180, rowsTop + (r + 1) * 22, IsDark), 30) << "row " << r;
    // Captions in the header, the sort arrow (from res.dll) on the key column.
    EXPECT_GT(shot.Count(ox + 60, oy, ox + 180, oy + 20, IsDark), 30);
    EXPECT_GT(shot.Count(ox + 60 - 14, oy + 8, ox + 60 - 4, oy + 18, [](uint32_t c) { return c == Rgb(90, 90, 90); }), 10);
    // The frame from res.dll around the grid.
    EXPECT_EQ(Rgb(122, 138, 153), shot.At(0, shot.height / 2));
    EXPECT_EQ(Rgb(122, 138, 153), shot.At(shot.width / 2, 0));
}

TEST_F(GridTest, AUserClicksARowAndTheSortHeaderWithTheMouse)
{
    MakeGrid(500, 240);
    AddHouseColumns();
    auto recs = std::vector<TestHouse>(5);
    memset(recs.data(), 0, recs.size() * sizeof(TestHouse));
    for (int i = 0; i < 5; i++)
        recs[i].iKey = i + 1;
    Fill(recs, 1);
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(host);
    UpdateWindow(host);
    Pump(100);
    POINT org = {0, 0};
    ClientToScreen(grid, &org);

    auto click = [&](int x, int y) {
        SetCursorPos(org.x + x, org.y + y);
        Pump(30);
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        Pump(150);
    };
    g_notices.clear();
    click(100, 20 + 22 * 3 + 10);   // the fourth row
    EXPECT_EQ((std::vector<int>{GRN_SELCHANGE, GRN_CLICK}), Codes());
    ASSERT_NE(nullptr, Selected());
    EXPECT_EQ(4, Selected()->iKey);

    // Two quick clicks on the sort column's header: down and back up.
    tagLV_DATA* d = Data();
    ASSERT_EQ(1, d->iSortDir);
    click(30, 10);
    EXPECT_EQ(2, d->iSortDir);
    click(30, 10);
    EXPECT_EQ(1, d->iSortDir);
    EXPECT_EQ(1, d->iSortId);
}

// ---- Without the skin and resource libraries ---------------------------------------------

// Run in a child process of the test program in which Wine refuses to load
// res.dll and SkinMagic.dll (see the test below).
TEST_F(GridTest, DISABLED_WithoutOutsideLibrariesChild)
{
    ASSERT_EQ(nullptr, LoadLibraryA("res.dll"));
    ASSERT_EQ(nullptr, LoadLibraryA("SkinMagic.dll"));
    MakeGrid(500, 200);
    AddHouseColumns();
    auto recs = std::vector<TestHouse>(4);
    memset(recs.data(), 0, recs.size() * sizeof(TestHouse));
    for (int i = 0; i < 4; i++) {
        recs[i].iKey = 4 - i;
        strcpy(recs[i].szEstate, "东湖小区");
    }
    Fill(recs, 1);
    EXPECT_EQ(1, Displayed()[0]->iKey);
    HeaderClick(30);
    EXPECT_EQ(2, Data()->iSortDir);
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Picture header = PrintClient(grid);
    // Plain raised header cells with captions, and the arrow drawn without the bitmap.
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t facePx = Rgb(GetRValue(face), GetGValue(face), GetBValue(face));
    EXPECT_GT(header.Count(60, 0, 180, 20, [&](uint32_t c) { return c == facePx; }), 120 * 20 / 2);
    EXPECT_GT(header.Count(60, 0, 180, 20, IsDark), 30);
    EXPECT_GT(header.Count(60 - 14, 8, 60 - 4, 18, [](uint32_t c) { return c == Rgb(128, 128, 128); }), 5);
    Picture rows = PrintClient(Rows());
    EXPECT_GT(rows.Count(60, 0, 180, 22, IsDark), 30);
}

TEST_F(GridTest, WorksWithoutTheSkinAndResourceLibraries)
{
    // Under Wine: a per-program override disables both libraries for the
    // child (whose program name is the same as ours) while it runs.
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
#if defined(__WINE__)
    std::string image = std::string(exe) + ".so";   // the Winelib program's image
#else
    std::string image = exe;
#endif
    std::string name = exe;
    name = name.substr(name.find_last_of("\\/") + 1);
    std::string key = "Software\\Wine\\AppDefaults\\" + name + "\\DllOverrides";
    HKEY hk;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hk, nullptr));
    RegSetValueExA(hk, "res", 0, REG_SZ, (const BYTE*)"", 1);
    RegSetValueExA(hk, "skinmagic", 0, REG_SZ, (const BYTE*)"", 1);
    RegCloseKey(hk);

    DeleteFileA("grid_child.xml");
    // The child reports through its XML file; its own output goes nowhere,
    // so the run's log counts only this program's tests.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (nul != INVALID_HANDLE_VALUE) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = nullptr;
        si.hStdOutput = nul;
        si.hStdError = nul;
    }
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + image + "\" --gtest_also_run_disabled_tests"
                      " --gtest_filter=*DISABLED_WithoutOutsideLibrariesChild --gtest_output=xml:grid_child.xml";
    BOOL started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, nul != INVALID_HANDLE_VALUE, 0, nullptr, nullptr,
                                  &si, &pi);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    DWORD rc = 99;
    if (started) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 120000));
        GetExitCodeProcess(pi.hProcess, &rc);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    ASSERT_TRUE(started) << "could not start " << image;
    std::string report = TestReadFile("grid_child.xml");
    EXPECT_EQ(0u, rc) << report;
    EXPECT_NE(std::string::npos, report.find("tests=\"1\" failures=\"0\"")) << report;
    // Our own program still finds both libraries.
    HMODULE res = LoadLibraryA("res.dll");
    EXPECT_NE(nullptr, res);
    if (res)
        FreeLibrary(res);
}

namespace {

// Whether the ink of a cell (columns x0..x1, rows y0..y1 inside its borders)
// ends in dots: the last six pixel columns that hold ink hold it on at most
// three pixel rows, as "..." does and no digit or character does.
bool EndsInDots(const Picture& p, int x0, int x1, int y0, int y1)
{
    int right = -1;
    for (int x = x1 - 1; x >= x0 && right < 0; x--)
        for (int y = y0; y < y1; y++)
            if (IsDark(p.At(x, y))) {
                right = x;
                break;
            }
    if (right < 0)
        return false;
    int top = y1, bottom = -1;
    for (int x = right - 5; x <= right; x++)
        for (int y = y0; y < y1; y++)
            if (IsDark(p.At(x, y))) {
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
    return bottom - top <= 3;
}

struct Money {
    int32_t rent;
    char estate[32];
};

}  // namespace

// A value wider than its column is never shown as another value: 8018元/月
// right-aligned in a narrow column must not read "018元/月"; the cell ends
// in an ellipsis instead, for numbers and texts alike.  A value that fits is
// drawn whole.
TEST_F(GridTest, AValueWiderThanItsColumnEndsInAnEllipsis)
{
    const int rent = (int)offsetof(Money, rent);
    ASSERT_EQ(1, AddColumn(1, 50, "租价", LVT_INT, LVU_CELLS, "元/月", DT_RIGHT, 1, 0, rent));
    ASSERT_EQ(1, AddColumn(2, 120, "租价", LVT_INT, LVU_CELLS, "元/月", DT_RIGHT, 1, 0, rent));
    ASSERT_EQ(1, AddColumn(3, 50, "楼盘", LVT_TEXT, LVU_NONE, "", DT_LEFT, 1, 0, (int)offsetof(Money, estate)));
    static Money recs[2] = {{8018, "钱江湾花园二期"}, {8, "翠苑"}};
    Fill(FillOf(recs, 2), 2);
    Picture rows = PrintClient(Rows());
    EXPECT_TRUE(rows.Save(ShotPath("grid_ellipsis.bmp")));
    // Row 0: cut, so both narrow cells end in dots; the wide cell shows the
    // whole value, which ends in a character.
    EXPECT_TRUE(EndsInDots(rows, 1, 49, 1, 21));
    EXPECT_TRUE(EndsInDots(rows, 171, 219, 1, 21));
    EXPECT_FALSE(EndsInDots(rows, 51, 169, 1, 21));
    // Row 1: 8元/月 and 翠苑 fit and are drawn whole.
    EXPECT_FALSE(EndsInDots(rows, 1, 49, 23, 43));
    EXPECT_FALSE(EndsInDots(rows, 171, 219, 23, 43));
    EXPECT_GT(rows.Count(1, 23, 49, 43, IsDark), 10);
}
