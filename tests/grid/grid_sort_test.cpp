// Sorting: every value type, text by unsigned byte value, equal keys, the
// descending drawing order, and 50,000-row inputs of the worst shapes.
#include "tests/grid/grid_host.h"

#include <algorithm>
#include <cstring>

namespace {

// A record with one field of every sortable type.
struct Typed {
    int32_t i32;
    int16_t i16;
    float f;
    double d;
    uint32_t u32;
    uint16_t u16;
    uint8_t u8;
    char text[16];
};

struct TypedCol {
    int id;
    int type;
    size_t offset;
};

const TypedCol kTyped[] = {
    {1, LVT_INT, offsetof(Typed, i32)},   {2, LVT_SHORT, offsetof(Typed, i16)}, {3, LVT_FLOAT, offsetof(Typed, f)},
    {4, LVT_DOUBLE, offsetof(Typed, d)},  {5, LVT_UINT, offsetof(Typed, u32)},  {6, LVT_USHORT, offsetof(Typed, u16)},
    {7, LVT_BYTE, offsetof(Typed, u8)},   {8, LVT_TEXT, offsetof(Typed, text)}, {9, LVT_LONG, offsetof(Typed, i32)},
    {10, LVT_ULONG, offsetof(Typed, u32)},
};

class GridSortTest : public GridTest {
protected:
    void AddTypedColumns()
    {
        for (const TypedCol& c : kTyped)
            ASSERT_EQ(1, AddColumn(c.id, 40, "值", c.type, LVU_NONE, "", DT_LEFT, 1, 0, (int)c.offset));
    }

    void FillTyped(std::vector<Typed>& recs)
    {
        Fill(FillOf(recs), recs.size());
    }

    // Row indexes (into recs) in ascending sort order, read off the data block.
    std::vector<int> Order(const std::vector<Typed>& recs)
    {
        tagLV_DATA* d = Data();
        std::vector<int> out;
        EXPECT_EQ(recs.data(), d->pRecords);
        for (int i = 0; i < d->iLoaded; i++)
            out.push_back(d->pRowOrder[i]);
        return out;
    }
};

// Sorts the grid by a column and times the message.
DWORD SortBy(HWND grid, int id)
{
    DWORD t0 = GetTickCount();
    SendMessageA(grid, GRM_SORT, 1, id);
    return GetTickCount() - t0;
}

}  // namespace

TEST_F(GridSortTest, EveryValueTypeSortsByItsValue)
{
    AddTypedColumns();
    std::vector<Typed> recs(5);
    memset(recs.data(), 0, recs.size() * sizeof(Typed));
    int32_t i32[] = {5, -7, 2147483647, 0, -2147483647 - 1};
    int16_t i16[] = {-1, 300, -32768, 32767, 0};
    float f[] = {1.5f, -2.25f, 0.0f, 1e30f, -1e-3f};
    double dv[] = {3.14, -100.5, 99999.99, 0.01, -0.01};
    uint32_t u32[] = {4000000000u, 1u, 2147483648u, 0u, 7u};
    uint16_t u16[] = {65535, 1, 40000, 0, 2};
    uint8_t u8[] = {200, 3, 255, 0, 128};
    for (int i = 0; i < 5; i++) {
        recs[i].i32 = i32[i];
        recs[i].i16 = i16[i];
        recs[i].f = f[i];
        recs[i].d = dv[i];
        recs[i].u32 = u32[i];
        recs[i].u16 = u16[i];
        recs[i].u8 = u8[i];
    }
    FillTyped(recs);
    auto ascending = [&](auto key) {
        auto o = Order(recs);
        if (o.size() != recs.size())
            return false;
        for (size_t i = 1; i < o.size(); i++)
            if (key(recs[o[i - 1]]) > key(recs[o[i]]))
                return false;
        return true;
    };
    SortBy(grid, 1);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.i32; }));
    SortBy(grid, 9);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.i32; }));
    SortBy(grid, 2);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.i16; }));
    SortBy(grid, 3);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.f; }));
    SortBy(grid, 4);
    EXPECT_TRUE(ascending([](const Typed& t) { return t.d; }));
    SortBy(grid, 5);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.u32; }));
    SortBy(grid, 10);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.u32; }));
    SortBy(grid, 6);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.u16; }));
    SortBy(grid, 7);
    EXPECT_TRUE(ascending([](const Typed& t) { return (double)t.u8; }));
}

TEST_F(GridSortTest, TextsSortByUnsignedByteValue)
{
    AddTypedColumns();
    const char* texts[] = {"张三", "Zoe", "abc", "ab", "", "阿里", "\x7f", "李四", "ab\xB0\xA1"};
    std::vector<Typed> recs(sizeof texts / sizeof texts[0]);
    memset(recs.data(), 0, recs.size() * sizeof(Typed));
    for (size_t i = 0; i < recs.size(); i++)
        strcpy(recs[i].text, texts[i]);
    FillTyped(recs);
    SortBy(grid, 8);
    std::vector<std::string> got;
    for (int i : Order(recs))
        got.push_back(recs[i].text);
    std::vector<std::string> want(texts, texts + recs.size());
    std::sort(want.begin(), want.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
    });
    EXPECT_EQ(want, got);
    // GBK characters (lead bytes 0x81 and up) come after every ASCII text,
    // and among themselves by code: 阿 B0A2, 李 C0EE, 张 D5C5.
    ASSERT_EQ(9u, got.size());
    EXPECT_EQ("", got[0]);
    EXPECT_EQ("abc", got[3]);
    EXPECT_EQ("ab\xB0\xA1", got[4]);
    EXPECT_EQ("\x7f", got[5]);
    EXPECT_EQ("阿里", got[6]);
    EXPECT_EQ("李四", got[7]);
    EXPECT_EQ("张三", got[8]);
}

TEST_F(GridSortTest, DescendingIsTheAscendingOrderDrawnFromItsEnd)
{
    AddHouseColumns();
    std::vector<TestHouse> recs(6);
    memset(recs.data(), 0, recs.size() * sizeof(TestHouse));
    int prices[] = {300, 100, 500, 200, 400, 100};
    for (int i = 0; i < 6; i++) {
        recs[i].iKey = i + 1;
        recs[i].iPrice = prices[i];
    }
    Fill(recs, 4);
    std::vector<int> asc;
    for (TestHouse* h : Displayed())
        asc.push_back(h->iKey);
    EXPECT_EQ((std::vector<int>{2, 6, 4, 1, 5, 3}), asc);   // equal prices keep their order
    HeaderClick(60 + 120 + 80 + 40);   // the price header: descending
    ASSERT_EQ(2, Data()->iSortDir);
    std::vector<int> desc;
    for (TestHouse* h : Displayed())
        desc.push_back(h->iKey);
    std::reverse(asc.begin(), asc.end());
    EXPECT_EQ(asc, desc);
    // The row order in the data block stays ascending.
    tagLV_DATA* d = Data();
    for (int i = 1; i < 6; i++)
        EXPECT_LE(recs[(size_t)d->pRowOrder[i - 1]].iPrice, recs[(size_t)d->pRowOrder[i]].iPrice);
}

TEST_F(GridSortTest, FiftyThousandRowsOfSortedReversedAndEqualKeys)
{
    AddTypedColumns();
    const int n = 50000;
    std::vector<Typed> recs(n);
    memset(recs.data(), 0, recs.size() * sizeof(Typed));
    for (int i = 0; i < n; i++) {
        recs[i].i32 = i;                  // sorted
        recs[i].d = (double)(n - i);      // reversed
        recs[i].u16 = 7;                  // all equal
        snprintf(recs[i].text, sizeof recs[i].text, "房%08d", i);   // sorted texts
        recs[i].u32 = (uint32_t)(n - i);
    }
    FillTyped(recs);
    // A sort that degraded to quadratic time on these inputs would take
    // minutes; the bound only catches that (the benchmark measures speed).
    const DWORD kBound = 5000;

    EXPECT_LT(SortBy(grid, 1), kBound);
    auto o = Order(recs);
    ASSERT_EQ((size_t)n, o.size());
    for (int i = 0; i < n; i++)
        ASSERT_EQ(i, o[i]);

    EXPECT_LT(SortBy(grid, 4), kBound);
    o = Order(recs);
    for (int i = 0; i < n; i++)
        ASSERT_EQ(n - 1 - i, o[i]);

    EXPECT_LT(SortBy(grid, 8), kBound);
    o = Order(recs);
    for (int i = 0; i < n; i++)
        ASSERT_EQ(i, o[i]);

    // Equal keys: the order stays as it was (here: reversed from the last sort).
    EXPECT_LT(SortBy(grid, 5), kBound);
    auto before = Order(recs);
    EXPECT_LT(SortBy(grid, 6), kBound);
    EXPECT_EQ(before, Order(recs));

    // Reversed texts.
    for (int i = 0; i < n; i++)
        snprintf(recs[i].text, sizeof recs[i].text, "房%08d", n - i);
    EXPECT_LT(SortBy(grid, 8), kBound);
    o = Order(recs);
    for (int i = 0; i < n; i++)
        ASSERT_EQ(n - 1 - i, o[i]);

    // Equal texts.
    for (int i = 0; i < n; i++)
        strcpy(recs[i].text, "同一个楼盘");
    EXPECT_LT(SortBy(grid, 1), kBound);
    EXPECT_LT(SortBy(grid, 8), kBound);
    o = Order(recs);
    for (int i = 0; i < n; i++)
        ASSERT_EQ(i, o[i]);

    // And the rows are still shown: the last one is reachable.
    SendMessageA(grid, GRM_MOVESEL, 0, LV_MOVE_LAST);
    void* rec = nullptr;
    SendMessageA(grid, GRM_GETSEL, 0, (LPARAM)&rec);
    EXPECT_EQ(&recs[n - 1], rec);
}

namespace {

// A value function that writes every answer into the same buffer, as a
// column computed from its record may: its pointer is good only until the
// next call.  It counts the owners it was asked with.
struct Reused {
    char text[32];
    int32_t number;
    int calls = 0;
    int otherOwner = 0;
};
Reused g_reused;
const int kOwner = 42;

const void* ReusedValue(const void* owner, const tagLV_COLUMN* col, const void* rec)
{
    const TestHouse* h = (const TestHouse*)rec;
    g_reused.calls++;
    if (owner != &kOwner)
        g_reused.otherOwner++;
    if (col->iType == LVT_INT) {
        g_reused.number = -h->iPrice;
        return &g_reused.number;
    }
    // The room and the key's rest by 3 ("3室-1"); none for key 4.
    snprintf(g_reused.text, sizeof g_reused.text, "%s-%d", h->szRoom, h->iKey % 3);
    return h->iKey == 4 ? nullptr : g_reused.text;
}

}  // namespace

TEST_F(GridSortTest, ValueFunctionsAreAskedWithTheOwnerAndTheirTextsSortThoughTheyShareOneBuffer)
{
    AddHouseColumns();
    tagLV_COLUMN c = {};
    c.iId = 6;
    c.iWidth = 80;
    c.iType = LVT_TEXT;
    c.iShown = 1;
    c.pfnValue = ReusedValue;
    strcpy(c.szCaption, "算出");
    ASSERT_EQ(1, SendMessageA(grid, GRM_ADDCOLUMN, 0, (LPARAM)&c));
    c.iId = 7;
    c.iType = LVT_INT;
    ASSERT_EQ(1, SendMessageA(grid, GRM_ADDCOLUMN, 0, (LPARAM)&c));
    std::vector<TestHouse> recs(6);
    memset(recs.data(), 0, recs.size() * sizeof(TestHouse));
    const char* rooms[] = {"3室", "1室", "2室", "1室", "4室", "2室"};
    int prices[] = {300, 100, 500, 200, 400, 150};
    for (int i = 0; i < 6; i++) {
        recs[i].iKey = i + 1;
        strcpy(recs[i].szRoom, rooms[i]);
        recs[i].iPrice = prices[i];
    }
    tagLV_FILL f = FillOf(recs);
    f.pOwner = &kOwner;
    g_reused = Reused();
    Fill(f, recs.size(), 6);
    // Key 4 has no text (first), then "1室-2" (key 2), "2室-0" (3 and 6:
    // equal texts keep the fill order), "3室-1" (1), "4室-2" (5).
    std::vector<int> keys;
    for (TestHouse* h : Displayed())
        keys.push_back(h->iKey);
    EXPECT_EQ((std::vector<int>{4, 2, 3, 6, 1, 5}), keys);
    // The numbers it gives sort too: -price ascending is price descending.
    SendMessageA(grid, GRM_SORT, 1, 7);
    keys.clear();
    for (TestHouse* h : Displayed())
        keys.push_back(h->iKey);
    EXPECT_EQ((std::vector<int>{3, 5, 1, 4, 6, 2}), keys);
    // Drawing asks it for the cells of the rows shown, with the same owner.
    g_reused.calls = 0;
    PrintClient(Rows());
    EXPECT_EQ(2 * 6, g_reused.calls);
    EXPECT_EQ(0, g_reused.otherOwner);
    // And the value a cell shows is what it answers for the record.
    tagLV_DATA* d = Data();
    EXPECT_STREQ("3室-1", (const char*)ZTListview_CellValue(&d->pColumns[5], d->pOwner, &recs[0]));
    EXPECT_EQ(nullptr, ZTListview_CellValue(&d->pColumns[5], d->pOwner, &recs[3]));
    EXPECT_EQ(-300, *(const int32_t*)ZTListview_CellValue(&d->pColumns[6], d->pOwner, &recs[0]));
    EXPECT_EQ(&recs[0].szRoom, ZTListview_CellValue(&d->pColumns[4], d->pOwner, &recs[0]));
}
