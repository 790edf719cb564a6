// The loops over column tables: select list, row reader, value writer.
#include "data/columns.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <cstdint>
#include <cstring>

void AddColumns(ZDSql& sql, ZDCols t, ZDSpelling spelling)
{
    for (size_t i = 0; i < t.n; ++i) {
        const ZDCol& c = t.cols[i];
        sql.text += spelling == ZD_SECOND && c.piece2 ? c.piece2 : c.piece;
    }
}

unsigned int ReadColumns(const ZDRow& row, void* rec, ZDCols t, unsigned int first)
{
    char* base = static_cast<char*>(rec);
    unsigned int i = first;
    for (size_t k = 0; k < t.n; ++k, ++i) {
        const ZDCol& c = t.cols[k];
        char* f = base + c.off;
        switch (c.kind) {
        case ZK_TEXT:
        case ZK_CIPHER:
        case ZK_SET:
            GetText(row, i, f, c.cb);
            break;
        case ZK_DATE:
            GetDate(row, i, f, c.cb);
            break;
        case ZK_INT:
            *reinterpret_cast<int32_t*>(f) = GetInt(row, i);
            break;
        case ZK_UINT:
            *reinterpret_cast<uint32_t*>(f) = (uint32_t)GetInt(row, i);
            break;
        case ZK_DEC:
            *reinterpret_cast<double*>(f) = GetDouble(row, i);
            break;
        case ZK_FLAG:
            *reinterpret_cast<int32_t*>(f) = GetInt(row, i) ? 1 : 0;
            break;
        }
    }
    return i;
}

void AddValues(ZDSql& sql, const void* rec, ZDCols t)
{
    const char* base = static_cast<const char*>(rec);
    for (size_t k = 0; k < t.n; ++k) {
        const ZDCol& c = t.cols[k];
        const char* f = base + c.off;
        switch (c.kind) {
        case ZK_SET:
            if (!f[0])
                break;
            // fall through
        case ZK_TEXT:
        case ZK_DATE:
        case ZK_CIPHER:
            zd_sql::Add(sql, true, c.piece, std::string(f, strnlen(f, c.cb)).c_str());
            break;
        case ZK_INT:
            zd_sql::Add(sql, true, c.piece, (int)*reinterpret_cast<const int32_t*>(f));
            break;
        case ZK_FLAG:
            zd_sql::Add(sql, true, c.piece, *reinterpret_cast<const int32_t*>(f) ? 1 : 0);
            break;
        case ZK_UINT:
            zd_sql::Add(sql, true, c.piece, (unsigned int)*reinterpret_cast<const uint32_t*>(f));
            break;
        case ZK_DEC:
            zd_sql::Add(sql, true, c.piece, *reinterpret_cast<const double*>(f));
            break;
        }
    }
}

std::string ChangedCaptions(const void* a, const void* b, ZDCols t)
{
    const char* pa = static_cast<const char*>(a);
    const char* pb = static_cast<const char*>(b);
    std::string out;
    std::vector<std::string> said;
    for (size_t k = 0; k < t.n; ++k) {
        const ZDCol& c = t.cols[k];
        if (!c.caption)
            continue;
        const char* fa = pa + c.off;
        const char* fb = pb + c.off;
        bool differs = false;
        switch (c.kind) {
        case ZK_TEXT:
        case ZK_DATE:
        case ZK_CIPHER:
        case ZK_SET:
            differs = strncmp(fa, fb, c.cb) != 0;
            break;
        case ZK_DEC:
            differs = fabs(*reinterpret_cast<const double*>(fa) - *reinterpret_cast<const double*>(fb)) >= 0.005;
            break;
        default:
            differs = memcmp(fa, fb, c.cb) != 0;
            break;
        }
        // A caption shared by two columns (two telephones) is said once.
        if (!differs || std::find(said.begin(), said.end(), c.caption) != said.end())
            continue;
        said.push_back(c.caption);
        out += (out.empty() ? "" : "、") + std::string(c.caption);
    }
    return out;
}

std::string TxnChangedCaptions(ZDTxn& t, const ZDSql& read, std::initializer_list<ZDCols> readCols, const void* loaded,
                               size_t cb, std::initializer_list<ZDCols> captioned)
{
    ZDResult r = TxnRun(t, read);
    ZDRow row;
    if (!r.ok || !DbNextRow(DbRows(r), row))
        return std::string();
    // The row read over a copy of the loaded record: fields the read list
    // does not cover compare equal.
    std::vector<char> now(static_cast<const char*>(loaded), static_cast<const char*>(loaded) + cb);
    unsigned int next = 0;
    for (const ZDCols& c : readCols)
        next = ReadColumns(row, now.data(), c, next);
    std::string out;
    for (const ZDCols& c : captioned) {
        std::string part = ChangedCaptions(loaded, now.data(), c);
        // A caption an earlier table said already is not said again.
        while (!part.empty()) {
            size_t cut = part.find("、");
            std::string one = part.substr(0, cut);
            if (("、" + out + "、").find("、" + one + "、") == std::string::npos)
                out += (out.empty() ? "" : "、") + one;
            part = cut == std::string::npos ? std::string() : part.substr(cut + strlen("、"));
        }
    }
    return out;
}
