// A host window for grids under test, the notifications it receives, and
// helpers that drive a grid by its messages and read its data block.
#pragma once
#include "tests/support/test_support.h"
#include "grid/ZTListview.h"

#include <cstdint>
#include <string>
#include <vector>

// A house-like record the tests list.
struct TestHouse {
    int32_t iKey;
    char szEstate[24];
    double dbArea;
    int32_t iPrice;
    char szRoom[12];
};

// The offset of the TestHouse field a column of id 1..5 shows (key,
// estate, area, price, room); -1 (no value) for other ids.
int HouseOffset(int id);

struct Notice {
    int id;      // LOWORD(wParam)
    int code;    // HIWORD(wParam)
    HWND from;   // lParam
};

class GridTest : public ::testing::Test {
public:
    // A fill of the records, every one listed in turn.
    template <typename T>
    static tagLV_FILL FillOf(std::vector<T>& recs)
    {
        return FillOf(recs.data(), recs.size());
    }
    template <typename T>
    static tagLV_FILL FillOf(T* recs, size_t n)
    {
        tagLV_FILL f = {};
        f.pRecords = recs;
        f.cbRecord = (int32_t)sizeof(T);
        f.nRecords = (int32_t)n;
        return f;
    }

protected:
    void SetUp() override;
    void TearDown() override;

    // Recreates the grid with the given client size of the host.
    void MakeGrid(int width = 600, int height = 300);
    HWND Rows() const;

    // Adds a column showing the record's field at offset (kHouseField: the
    // TestHouse field of its id); returns the message's result.
    enum { kHouseField = -2 };
    LRESULT AddColumn(int id, int width, const char* caption, int type, int unitMode = LVU_NONE,
                      const char* unit = "", int align = DT_LEFT, int shown = 1, WPARAM pos = 0,
                      int offset = kHouseField);
    // The five house columns (ids 1..5 for the slots above).
    void AddHouseColumns();
    // Fills the grid with the records (the protocol of every list) and sorts;
    // forgets the notifications the fill caused.
    void Fill(std::vector<TestHouse>& recs, int sortId = 0);
    void Fill(const tagLV_FILL& f, size_t n, int sortId = 0);
    // Appends one record; returns GRM_APPENDROW's result (0 when refused).
    LRESULT Append(TestHouse* rec);

    tagLV_DATA* Data();
    // The records in display order (read by moving the selection).
    std::vector<TestHouse*> Displayed();
    TestHouse* Selected();
    std::vector<int> Codes() const;   // notification codes received since the last clear

    // Mouse on the header strip (grid client coordinates) and on the row area.
    void HeaderClick(int x, int toX = -1);
    void RowMouse(UINT msg, int y);

    HWND host = nullptr;
    HWND grid = nullptr;
};

extern std::vector<Notice> g_notices;

// A 32-bit top-down picture of a window's client area drawn by WM_PRINTCLIENT.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> px;   // 0x00RRGGBB
    uint32_t At(int x, int y) const { return px[(size_t)y * width + x]; }
    // Number of pixels in the rectangle for which pred holds.
    template <typename F>
    int Count(int x0, int y0, int x1, int y1, F pred) const
    {
        int n = 0;
        for (int y = y0; y < y1 && y < height; y++)
            for (int x = x0; x < x1 && x < width; x++)
                if (pred(At(x, y)))
                    n++;
        return n;
    }
    bool SameArea(const Picture& o, int ax, int bx, int y0, int w, int h) const
    {
        return SameBlock(o, ax, y0, bx, y0, w, h);
    }
    // This picture's block at (ax, ay) equals o's at (bx, by).
    bool SameBlock(const Picture& o, int ax, int ay, int bx, int by, int w, int h) const;
    bool Save(const std::string& path) const;
};

Picture PrintClient(HWND hWnd);
// The screen under a window (what the user sees).
Picture CaptureScreen(HWND hWnd);
uint32_t Rgb(int r, int g, int b);
bool IsDark(uint32_t c);
void Pump(int ms = 0);
std::string ShotPath(const char* name);
