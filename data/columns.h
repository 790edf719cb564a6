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
#pragma once
#include "data/db_core.h"

#include <cstddef>

enum ZDKind : unsigned char {
    ZK_TEXT,     // char[N]; read cut on a whole GBK character, written escaped
    ZK_DATE,     // char[N] date or date-time text; a zero date reads as empty
    ZK_INT,      // int32_t; NULL reads 0
    ZK_UINT,     // uint32_t; NULL reads 0
    ZK_DEC,      // double; NULL reads 0
    ZK_FLAG,     // int32_t stored 0/1; any non-zero reads 1
    ZK_CIPHER,   // char[N] kept enciphered in the database (telephones):
                 // read and written as a text, deciphered only where shown
};

struct ZDCol {
    const char* piece;
    ZDKind kind;
    unsigned int off;
    unsigned int cb;
    const char* caption;   // the box's name, for telling a user what another desk changed
};

// One row: record type, field, kind, piece (and, with ZD_COLC, caption).
#define ZD_COL(T, field, kind, piece) \
    ZDCol { piece, kind, (unsigned int)offsetof(T, field), (unsigned int)sizeof(((T*)nullptr)->field), nullptr }
#define ZD_COLC(T, field, kind, piece, caption) \
    ZDCol { piece, kind, (unsigned int)offsetof(T, field), (unsigned int)sizeof(((T*)nullptr)->field), caption }

// A whole table, for the loops below.
struct ZDCols {
    const ZDCol* cols;
    size_t n;
};
template <size_t N> constexpr ZDCols ZD_TABLE(const ZDCol (&a)[N]) { return ZDCols{a, N}; }

// Appends the read list's pieces, verbatim and in order.
void AddColumns(ZDSql& sql, ZDCols t);
// Fills the record's fields from the row: column first + i into row i of the
// table.  Returns the index of the first column after the table's.
unsigned int ReadColumns(const ZDRow& row, void* rec, ZDCols t, unsigned int first = 0);
template <class T> unsigned int ReadColumns(const ZDRow& row, T& rec, ZDCols t, unsigned int first = 0)
{
    return ReadColumns(row, static_cast<void*>(&rec), t, first);
}
// Appends the value list's pieces, each formatted with its field: texts
// up to their first NUL and never past their field, escaped for the
// connection's character set.
void AddValues(ZDSql& sql, const void* rec, ZDCols t);
template <class T> void AddValues(ZDSql& sql, const T& rec, ZDCols t)
{
    AddValues(sql, static_cast<const void*>(&rec), t);
}

// The captions of the table's captioned columns whose fields differ between
// the records a and b, joined by "、" ("" when none differs).
std::string ChangedCaptions(const void* a, const void* b, ZDCols t);
