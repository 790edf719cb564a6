// Sorting the rows of a grid by one column.  The order is always ascending
// (descending is a drawing order).  Numbers compare by value, texts byte by
// byte as unsigned values, so Chinese texts sort by their code value.  Rows
// with equal values keep the order they had, which makes sorting by one
// column and then another behave as users expect.
//
// Each row's key is read from its record once, beside the row's position in
// the order; the pairs are sorted by key, then by position (so equal keys
// keep their order without a merge sort's buffer), and the rows are read
// back through the positions.  A comparison never goes back to a record.
// A key of up to 32 bits shares one 64-bit word with the position, which
// sorts as a plain number.  A text a column's value function produces is
// copied, since its pointer is valid only while it is used; a text field of
// the record is compared in place.
#include "grid/grid_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

void* Grid_Alloc(size_t bytes)
{
    return bytes ? VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : nullptr;
}

void Grid_Free(void* p)
{
    if (p)
        VirtualFree(p, 0, MEM_RELEASE);
}

namespace {

// A working array of n entries from pages of its own (see Grid_Alloc).
template <typename T>
struct Scratch {
    T* p;
    size_t n;
    explicit Scratch(size_t count) : p((T*)Grid_Alloc(count * sizeof(T))), n(p ? count : 0) {}
    ~Scratch() { Grid_Free(p); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    T* begin() { return p; }
    T* end() { return p + n; }
    T& operator[](size_t i) { return p[i]; }
    size_t size() const { return n; }
};

template <typename T>
struct Keyed {
    T key;
    uint32_t pos;
};

const void* RecordOf(const tagLV_DATA* d, int32_t row)
{
    return (const char*)d->pRecords + (size_t)row * (size_t)d->cbRecord;
}

const void* ValueAt(const tagLV_DATA* d, const tagLV_COLUMN& col, const int32_t* rows, int i)
{
    return ZTListview_CellValue(&col, d->pOwner, RecordOf(d, rows[i]));
}

// Rows in the order of the sorted positions; each entry's position is
// replaced by its row, then copied back.
template <typename Entry, typename Pos>
void ReadBack(Scratch<Entry>& sorted, int32_t* rows, Pos pos)
{
    for (Entry& e : sorted)
        pos(e) = (uint32_t)rows[pos(e)];
    for (size_t i = 0; i < sorted.size(); i++)
        rows[i] = (int32_t)pos(sorted[i]);
}

// 32-bit keys that sort as unsigned numbers in the value's order.
uint32_t Ordered(int32_t v) { return (uint32_t)v ^ 0x80000000u; }
uint32_t Ordered(uint32_t v) { return v; }
uint32_t Ordered(float v)
{
    if (std::isnan(v))   // first, with the lowest value
        v = -std::numeric_limits<float>::infinity();
    uint32_t bits;
    memcpy(&bits, &v, sizeof bits);
    if (v == 0.0f)
        bits = 0;        // -0 equals 0
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

// A field of every record (no value is ever missing) of 32 bits or less:
// key and position in one word.
template <typename Stored, typename Key>
void SortPacked(const tagLV_DATA* d, const tagLV_COLUMN& col, int32_t* rows, int n)
{
    Scratch<uint64_t> words((size_t)n);
    if (words.size() != (size_t)n)
        return;   // no memory: the order stays
    for (int i = 0; i < n; i++) {
        Stored v;
        memcpy(&v, ValueAt(d, col, rows, i), sizeof v);
        words[(size_t)i] = ((uint64_t)Ordered((Key)v) << 32) | (uint32_t)i;
    }
    std::sort(words.begin(), words.end());
    for (uint64_t& w : words)
        w = (uint64_t)(uint32_t)rows[(uint32_t)w];
    for (int i = 0; i < n; i++)
        rows[i] = (int32_t)words[(size_t)i];
}

template <typename Key>
Key Lowest()
{
    if constexpr (std::numeric_limits<Key>::has_infinity)
        return -std::numeric_limits<Key>::infinity();
    else
        return std::numeric_limits<Key>::lowest();
}

// Any number, with rows without a value first.
template <typename Stored, typename Key>
void SortNumbers(const tagLV_DATA* d, const tagLV_COLUMN& col, int32_t* rows, int n)
{
    Scratch<Keyed<Key>> keyed((size_t)n);
    if (keyed.size() != (size_t)n)
        return;
    for (int i = 0; i < n; i++) {
        const void* p = ValueAt(d, col, rows, i);
        Key k = Lowest<Key>();
        if (p) {
            Stored v;
            memcpy(&v, p, sizeof v);
            k = (Key)v;
            if constexpr (std::numeric_limits<Key>::has_quiet_NaN) {
                if (std::isnan(k))   // first, like a missing value
                    k = Lowest<Key>();
            }
        }
        keyed[(size_t)i] = Keyed<Key>{k, (uint32_t)i};
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed<Key>& a, const Keyed<Key>& b) {
        return a.key < b.key || (!(b.key < a.key) && a.pos < b.pos);
    });
    ReadBack(keyed, rows, [](Keyed<Key>& e) -> uint32_t& { return e.pos; });
}

// Packed: the key of a field of 32 bits or less; Wide: a key below which a
// missing value sorts.
template <typename Stored, typename Packed, typename Wide>
void SortNumberColumn(const tagLV_DATA* d, const tagLV_COLUMN& col, int32_t* rows, int n)
{
    if constexpr (sizeof(Stored) <= 4) {
        if (!col.pfnValue && col.iOffset >= 0) {
            SortPacked<Stored, Packed>(d, col, rows, n);
            return;
        }
    }
    SortNumbers<Stored, Wide>(d, col, rows, n);
}

int CompareText(const unsigned char* a, const unsigned char* b)
{
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return (int)*a - (int)*b;
}

void SortTexts(const tagLV_DATA* d, const tagLV_COLUMN& col, int32_t* rows, int n)
{
    static const unsigned char kEmpty[1] = {0};
    Scratch<Keyed<const unsigned char*>> keyed((size_t)n);
    if (keyed.size() != (size_t)n)
        return;
    std::vector<unsigned char> arena;   // copies of the texts a value function produced
    if (!col.pfnValue) {
        for (int i = 0; i < n; i++) {
            const unsigned char* p = (const unsigned char*)ValueAt(d, col, rows, i);
            keyed[(size_t)i] = Keyed<const unsigned char*>{p ? p : kEmpty, (uint32_t)i};
        }
    } else {
        // Offsets first, pointers once all are copied: the arena moves as it grows.
        for (int i = 0; i < n; i++) {
            const char* p = (const char*)ValueAt(d, col, rows, i);
            keyed[(size_t)i] = Keyed<const unsigned char*>{(const unsigned char*)(uintptr_t)arena.size(), (uint32_t)i};
            if (p)
                arena.insert(arena.end(), p, p + strlen(p));
            arena.push_back(0);
        }
        for (auto& k : keyed)
            k.key = arena.data() + (uintptr_t)k.key;
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed<const unsigned char*>& a, const Keyed<const unsigned char*>& b) {
        int c = CompareText(a.key, b.key);
        return c < 0 || (c == 0 && a.pos < b.pos);
    });
    ReadBack(keyed, rows, [](Keyed<const unsigned char*>& e) -> uint32_t& { return e.pos; });
}

}  // namespace

void Sort_Rows(const tagLV_DATA* d, const tagLV_COLUMN& col, int32_t* rows, int n)
{
    if (n < 2 || !rows || !d->pRecords)
        return;
    switch (col.iType) {
    case LVT_INT:
    case LVT_LONG:
        SortNumberColumn<int32_t, int32_t, int64_t>(d, col, rows, n);
        break;
    case LVT_SHORT:
        SortNumberColumn<int16_t, int32_t, int64_t>(d, col, rows, n);
        break;
    case LVT_UINT:
    case LVT_ULONG:
        SortNumberColumn<uint32_t, uint32_t, int64_t>(d, col, rows, n);
        break;
    case LVT_USHORT:
        SortNumberColumn<uint16_t, uint32_t, int64_t>(d, col, rows, n);
        break;
    case LVT_BYTE:
        SortNumberColumn<uint8_t, uint32_t, int64_t>(d, col, rows, n);
        break;
    case LVT_FLOAT:
        SortNumberColumn<float, float, double>(d, col, rows, n);
        break;
    case LVT_DOUBLE:
        SortNumberColumn<double, double, double>(d, col, rows, n);
        break;
    case LVT_TEXT:
        SortTexts(d, col, rows, n);
        break;
    default:
        break;   // other types keep their order
    }
}
