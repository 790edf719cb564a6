// ZTData: an entity's columns as tables.  Each row of a table names one
// column by its record field (offset and size, taken by the compiler from
// the field itself), its kind, and its exact piece of the statement: in a
// read list the column and the separator after it ("szTrade, "), in a value
// list the assignment with its format (", szTrade='%s'").  The select list,
// the row reader and the value writer are loops over such tables, so a
// column added is a row added to each list it belongs to, tied to its field
// by name and never by a position.
//
// A read list and a value list are separate tables because the statements
// read and write the columns in different orders with different spacing;
// the pieces are kept byte for byte as the statements have always had them.
// Where two statements read the same columns spaced differently (an
// entity's short list and its full record), one table serves both: each
// row carries the second statement's piece too.
#pragma once
#include "data/db_core.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

enum ZDKind : unsigned char {
    ZK_TEXT,     // char[N]; read cut on a whole GBK character, written escaped
    ZK_DATE,     // char[N] date or date-time text; a zero date reads as empty
    ZK_INT,      // int32_t; NULL reads 0
    ZK_UINT,     // uint32_t; NULL reads 0
    ZK_DEC,      // double; NULL reads 0
    ZK_FLAG,     // int32_t stored 0/1; any non-zero reads 1
    ZK_CIPHER,   // char[N] kept enciphered in the database (telephones):
                 // read and written as a text, deciphered only where shown
    ZK_SET,      // char[N] text or date that a value list writes only when
                 // it is not empty (an empty field leaves the column as it
                 // is); read as a text
};

struct ZDCol {
    const char* piece;
    ZDKind kind;
    unsigned int off;
    unsigned int cb;       // the bytes of the field a read may fill
    const char* piece2;    // the piece in the second statement, or null
    const char* caption;   // the box's name, for telling a user what another desk changed
};

// The kind k when it fits a field of type F; a kind that does not fit its
// field stops the compilation (the tables are constant expressions).
template <class F> constexpr ZDKind ZdKindOf(ZDKind k)
{
    constexpr bool bText = std::is_array<F>::value && std::is_same<std::remove_extent_t<F>, char>::value;
    return ((k == ZK_INT || k == ZK_FLAG) && std::is_same<F, int32_t>::value) ||
                   (k == ZK_UINT && std::is_same<F, uint32_t>::value) ||
                   (k == ZK_DEC && std::is_same<F, double>::value) ||
                   ((k == ZK_TEXT || k == ZK_DATE || k == ZK_CIPHER || k == ZK_SET) && bText)
               ? k
               : throw "the kind of a column does not fit its field";
}
#define ZD_FIELD_KIND(T, field, kind) ZdKindOf<std::remove_reference_t<decltype(((T*)nullptr)->field)>>(kind)

// One row: record type, field, kind, piece.  Tables are static constexpr
// arrays of rows.
#define ZD_COL(T, field, kind, piece) \
    ZDCol { piece, ZD_FIELD_KIND(T, field, kind), (unsigned int)offsetof(T, field), \
            (unsigned int)sizeof(((T*)nullptr)->field), nullptr, nullptr }
// A row of a value list with the name of its box.
#define ZD_COLC(T, field, kind, piece, caption) \
    ZDCol { piece, ZD_FIELD_KIND(T, field, kind), (unsigned int)offsetof(T, field), \
            (unsigned int)sizeof(((T*)nullptr)->field), nullptr, caption }
// A row of a table two statements read: the piece of each.
#define ZD_COL2(T, field, kind, piece, piece2) \
    ZDCol { piece, ZD_FIELD_KIND(T, field, kind), (unsigned int)offsetof(T, field), \
            (unsigned int)sizeof(((T*)nullptr)->field), piece2, nullptr }
// A text a read keeps shorter than its field: at most n - 1 bytes (never
// more than the field holds).
#define ZD_COL_CUT(T, field, kind, piece, n) \
    ZDCol { piece, ZD_FIELD_KIND(T, field, kind), (unsigned int)offsetof(T, field), \
            (unsigned int)((size_t)(n) < sizeof(((T*)nullptr)->field) ? (size_t)(n) : sizeof(((T*)nullptr)->field)), \
            nullptr, nullptr }

// A whole table, for the loops below.
struct ZDCols {
    const ZDCol* cols;
    size_t n;
};
template <size_t N> constexpr ZDCols ZD_TABLE(const ZDCol (&a)[N]) { return ZDCols{a, N}; }

// Which statement's pieces a table gives (ZD_SECOND: each row's piece2).
enum ZDSpelling { ZD_FIRST, ZD_SECOND };
// Appends the read list's pieces, verbatim and in order.
void AddColumns(ZDSql& sql, ZDCols t, ZDSpelling spelling = ZD_FIRST);
// Fills the record's fields from the row: column first + i into row i of the
// table.  Returns the index of the first column after the table's.
unsigned int ReadColumns(const ZDRow& row, void* rec, ZDCols t, unsigned int first = 0);
template <class T> unsigned int ReadColumns(const ZDRow& row, T& rec, ZDCols t, unsigned int first = 0)
{
    return ReadColumns(row, static_cast<void*>(&rec), t, first);
}
// The row reader of a list whose records take a table's columns and
// nothing else (for FillBlock and LoadList).
template <class T> inline auto RowReader(ZDCols t)
{
    return [t](T& rec, const ZDRow& row) { ReadColumns(row, rec, t); };
}
// Appends the value list's pieces, each formatted with its field: texts
// up to their first NUL and never past their field, escaped for the
// connection's character set; a flag as 0 or 1; a ZK_SET field only when
// it is not empty.
void AddValues(ZDSql& sql, const void* rec, ZDCols t);
template <class T> void AddValues(ZDSql& sql, const T& rec, ZDCols t)
{
    AddValues(sql, static_cast<const void*>(&rec), t);
}

// The captions of the table's captioned columns whose fields differ between
// the records a and b, joined by "、" ("" when none differs).
std::string ChangedCaptions(const void* a, const void* b, ZDCols t);

// Inside a change's transaction: the captions of the captioned tables (in
// their order, each said once) whose fields differ between the loaded record
// and the row as read now by read, a statement of readCols' columns (the
// tables one after the other).  ""
// when the row cannot be read.
std::string TxnChangedCaptions(ZDTxn& t, const ZDSql& read, std::initializer_list<ZDCols> readCols, const void* loaded,
                               size_t cb, std::initializer_list<ZDCols> captioned);
template <class T>
std::string TxnChangedCaptions(ZDTxn& t, const ZDSql& read, std::initializer_list<ZDCols> readCols, const T& loaded,
                               std::initializer_list<ZDCols> captioned)
{
    return TxnChangedCaptions(t, read, readCols, static_cast<const void*>(&loaded), sizeof(T), captioned);
}
