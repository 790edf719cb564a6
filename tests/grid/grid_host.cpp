#include "tests/grid/grid_host.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

std::vector<Notice> g_notices;

namespace {

const char kHostClass[] = "GridTestHost";

LRESULT CALLBACK HostProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND) {
        g_notices.push_back(Notice{LOWORD(wp), HIWORD(wp), (HWND)lp});
        return 0;
    }
    return DefWindowProcA(hWnd, msg, wp, lp);
}

void RegisterOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegListView();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
}

}  // namespace

void GridTest::SetUp()
{
    RegisterOnce();
    ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    TestBoxes_Reset();
    g_notices.clear();
    MakeGrid();
}

void GridTest::TearDown()
{
    if (host)
        DestroyWindow(host);
    host = grid = nullptr;
    Pump();
}

void GridTest::MakeGrid(int width, int height)
{
    if (host)
        DestroyWindow(host);
    RECT rc = {0, 0, width, height};
    AdjustWindowRectEx(&rc, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOPMOST);
    host = CreateWindowExA(WS_EX_TOPMOST, kHostClass, "grid host", WS_POPUP | WS_BORDER | WS_VISIBLE | WS_CLIPCHILDREN,
                           0, 0, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    grid = CreateWindowExA(WS_EX_STATICEDGE, "ZT_CTL_LISTVIEW", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER,
                           0, 0, 0, 0, host, (HMENU)10, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(grid, nullptr);
    MoveWindow(grid, 0, 0, width, height, TRUE);
    UpdateWindow(host);
    Pump();
    g_notices.clear();
}

HWND GridTest::Rows() const
{
    return FindWindowExA(grid, nullptr, "ZTListViewRow", nullptr);
}

int HouseOffset(int id)
{
    switch (id) {
    case 1: return (int)offsetof(TestHouse, iKey);
    case 2: return (int)offsetof(TestHouse, szEstate);
    case 3: return (int)offsetof(TestHouse, dbArea);
    case 4: return (int)offsetof(TestHouse, iPrice);
    case 5: return (int)offsetof(TestHouse, szRoom);
    default: return -1;
    }
}

LRESULT GridTest::AddColumn(int id, int width, const char* caption, int type, int unitMode, const char* unit,
                            int align, int shown, WPARAM pos, int offset)
{
    tagLV_COLUMN c = {};
    c.iId = (int16_t)id;
    c.iWidth = (int16_t)width;
    strncpy(c.szName, caption, sizeof c.szName - 1);
    strncpy(c.szCaption, caption, sizeof c.szCaption - 1);
    strncpy(c.szUnit, unit, sizeof c.szUnit - 1);
    c.iType = type;
    c.iUnitMode = unitMode;
    c.iAlign = align;
    c.iShown = shown;
    c.iOffset = offset == kHouseField ? HouseOffset(id) : offset;
    return SendMessageA(grid, GRM_ADDCOLUMN, pos, (LPARAM)&c);
}

void GridTest::AddHouseColumns()
{
    ASSERT_EQ(1, AddColumn(1, 60, "编号", LVT_INT));
    ASSERT_EQ(1, AddColumn(2, 120, "楼盘名称", LVT_TEXT));
    ASSERT_EQ(1, AddColumn(3, 80, "面积", LVT_DOUBLE, LVU_HEADER, "平米", DT_RIGHT));
    ASSERT_EQ(1, AddColumn(4, 80, "售价", LVT_INT, LVU_CELLS, "万", DT_RIGHT));
    ASSERT_EQ(1, AddColumn(5, 90, "房型", LVT_TEXT));
}

void GridTest::Fill(std::vector<TestHouse>& recs, int sortId)
{
    Fill(FillOf(recs), recs.size(), sortId);
}

void GridTest::Fill(const tagLV_FILL& f, size_t n, int sortId)
{
    SendMessageA(grid, GRM_CLEAR, 0, 0);
    ASSERT_EQ(1, SendMessageA(grid, GRM_BEGINFILL, n, (LPARAM)&f));
    SendMessageA(grid, GRM_SORT, 0, sortId);
    g_notices.clear();   // GRN_CLEARED of the refill
}

LRESULT GridTest::Append(TestHouse* rec)
{
    return SendMessageA(grid, GRM_APPENDROW, 0, (LPARAM)rec);
}

tagLV_DATA* GridTest::Data()
{
    tagLV_DATA* d = nullptr;
    EXPECT_EQ(1, SendMessageA(grid, GRM_GETDATA, 0, (LPARAM)&d));
    return d;
}

TestHouse* GridTest::Selected()
{
    void* rec = nullptr;
    LRESULT r = SendMessageA(grid, GRM_GETSEL, 0, (LPARAM)&rec);
    EXPECT_EQ((void*)r, rec);
    return (TestHouse*)rec;
}

std::vector<TestHouse*> GridTest::Displayed()
{
    std::vector<TestHouse*> out;
    size_t before = g_notices.size();
    if (SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_FIRST)) {
        for (;;) {
            TestHouse* h = Selected();
            if (!out.empty() && h == out.back())
                break;
            out.push_back(h);
            SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
        }
    }
    g_notices.resize(before);
    return out;
}

std::vector<int> GridTest::Codes() const
{
    std::vector<int> v;
    for (const Notice& n : g_notices)
        v.push_back(n.code);
    return v;
}

void GridTest::HeaderClick(int x, int toX)
{
    if (toX < 0)
        toX = x;
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
    if (toX != x)
        SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, 10));
    SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(toX, 10));
}

void GridTest::RowMouse(UINT msg, int y)
{
    SendMessageA(Rows(), msg, msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0, MAKELPARAM(10, y));
}

// ---- Pictures -------------------------------------------------------------------------------

uint32_t Rgb(int r, int g, int b)
{
    return ((uint32_t)r << 16) | ((uint32_t)g << 8) | (uint32_t)b;
}

bool IsDark(uint32_t c)
{
    return ((c >> 16) & 0xFF) < 110 && ((c >> 8) & 0xFF) < 110 && (c & 0xFF) < 110;
}

static Picture FromDc(HDC src, int x, int y, int w, int h)
{
    Picture p;
    p.width = w;
    p.height = h;
    p.px.assign((size_t)w * h, 0);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(src);
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, src, x, y, SRCCOPY);
    GdiFlush();
    const uint32_t* q = (const uint32_t*)bits;
    for (size_t i = 0; i < p.px.size(); i++)
        p.px[i] = q[i] & 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return p;
}

Picture PrintClient(HWND hWnd)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    Picture p;
    p.width = rc.right;
    p.height = rc.bottom;
    p.px.assign((size_t)p.width * p.height, 0);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessageA(hWnd, WM_PRINTCLIENT, (WPARAM)mem, PRF_CLIENT);
    GdiFlush();
    const uint32_t* q = (const uint32_t*)bits;
    for (size_t i = 0; i < p.px.size(); i++)
        p.px[i] = q[i] & 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return p;
}

Picture CaptureScreen(HWND hWnd)
{
    RECT wr;
    GetWindowRect(hWnd, &wr);
    HDC screen = GetDC(nullptr);
    Picture p = FromDc(screen, wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top);
    ReleaseDC(nullptr, screen);
    return p;
}

bool Picture::SameBlock(const Picture& o, int ax, int ay, int bx, int by, int w, int h) const
{
    if (ax < 0 || ay < 0 || bx < 0 || by < 0 || ax + w > width || bx + w > o.width || ay + h > height || by + h > o.height)
        return false;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (At(ax + x, ay + y) != o.At(bx + x, by + y))
                return false;
    return true;
}

bool Picture::Save(const std::string& path) const
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    uint32_t row = (uint32_t)width * 3;
    row = (row + 3) & ~3u;
    uint32_t dataSize = row * (uint32_t)height;
    unsigned char fh[14] = {'B', 'M'};
    uint32_t fileSize = 14 + 40 + dataSize, off = 54;
    memcpy(fh + 2, &fileSize, 4);
    memcpy(fh + 10, &off, 4);
    BITMAPINFOHEADER ih = {};
    ih.biSize = 40;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = dataSize;
    fwrite(fh, 1, 14, f);
    fwrite(&ih, 1, 40, f);
    std::vector<unsigned char> line(row, 0);
    for (int y = height - 1; y >= 0; y--) {
        for (int x = 0; x < width; x++) {
            uint32_t c = At(x, y);
            line[x * 3] = (unsigned char)(c & 0xFF);
            line[x * 3 + 1] = (unsigned char)((c >> 8) & 0xFF);
            line[x * 3 + 2] = (unsigned char)((c >> 16) & 0xFF);
        }
        fwrite(line.data(), 1, row, f);
    }
    fclose(f);
    return true;
}

void Pump(int ms)
{
    DWORD end = GetTickCount() + (DWORD)ms;
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (ms > 0)
            Sleep(10);
    } while (ms > 0 && (int)(end - GetTickCount()) > 0);
}

std::string ShotPath(const char* name)
{
    std::string dir = TestEnv("ZT_TEST_SHOTS", ".");
    return dir + "/" + name;
}
