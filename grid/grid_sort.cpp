// Sorting the rows of a grid by one column.  The order is always ascending
// (descending is a drawing order).  Numbers compare by value, texts byte by
// byte as unsigned values, so Chinese texts sort by their code value.  Rows
// with equal values keep the order they had, which makes sorting by one
// column and then another behave as users expect.  A merge sort: it costs
// n log n whatever the input (sorted, reversed, all equal) and needs no deep
// recursion.
#include "grid/grid_internal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

template <typename T>
struct Keyed {
    T key;
    int32_t slot;
};

const void* ValueOf(const tagLV_DATA* d, int32_t slot, int iColSlot)
{
    const tagLV_CELL* cells = d->pRows[slot].pCells;
    return cells ? cells[iColSlot].pValue : nullptr;
}

template <typename Key>
Key Lowest()
{
    if constexpr (std::numeric_limits<Key>::has_infinity)
        return -std::numeric_limits<Key>::infinity();
    else
        return std::numeric_limits<Key>::lowest();
}

// Rows without a value sort first.
template <typename Stored, typename Key>
void SortNumbers(const tagLV_DATA* d, int iColSlot, int32_t* rows, int n)
{
    std::vector<Keyed<Key>> keyed(n);
    for (int i = 0; i < n; i++) {
        const void* p = ValueOf(d, rows[i], iColSlot);
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
        keyed[i] = Keyed<Key>{k, rows[i]};
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed<Key>& a, const Keyed<Key>& b) { return a.key < b.key; });
    for (int i = 0; i < n; i++)
        rows[i] = keyed[i].slot;
}

bool TextLess(const unsigned char* a, const unsigned char* b)
{
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return *a < *b;
}

void SortTexts(const tagLV_DATA* d, int iColSlot, int32_t* rows, int n)
{
    static const unsigned char kEmpty[1] = {0};
    std::vector<Keyed<const unsigned char*>> keyed(n);
    for (int i = 0; i < n; i++) {
        const unsigned char* p = (const unsigned char*)ValueOf(d, rows[i], iColSlot);
        keyed[i] = Keyed<const unsigned char*>{p ? p : kEmpty, rows[i]};
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed<const unsigned char*>& a, const Keyed<const unsigned char*>& b) {
                         return TextLess(a.key, b.key);
                     });
    for (int i = 0; i < n; i++)
        rows[i] = keyed[i].slot;
}

}  // namespace

void Sort_Rows(const tagLV_DATA* d, int iColSlot, int32_t* rows, int n)
{
    if (n < 2 || iColSlot < 0 || iColSlot >= GRID_MAX_COLUMNS)
        return;
    switch (d->pColumns[iColSlot].iType) {
    case LVT_INT:
    case LVT_LONG:
        SortNumbers<int32_t, int64_t>(d, iColSlot, rows, n);
        break;
    case LVT_SHORT:
        SortNumbers<int16_t, int64_t>(d, iColSlot, rows, n);
        break;
    case LVT_UINT:
    case LVT_ULONG:
        SortNumbers<uint32_t, int64_t>(d, iColSlot, rows, n);
        break;
    case LVT_USHORT:
        SortNumbers<uint16_t, int64_t>(d, iColSlot, rows, n);
        break;
    case LVT_BYTE:
        SortNumbers<uint8_t, int64_t>(d, iColSlot, rows, n);
        break;
    case LVT_FLOAT:
        SortNumbers<float, double>(d, iColSlot, rows, n);
        break;
    case LVT_DOUBLE:
        SortNumbers<double, double>(d, iColSlot, rows, n);
        break;
    case LVT_TEXT:
        SortTexts(d, iColSlot, rows, n);
        break;
    default:
        break;   // other types keep their order
    }
}
