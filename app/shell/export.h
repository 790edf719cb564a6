// Export of a list: the rows a module window's grid shows, as it shows them
// (the filter of the last load, the sort order and direction, the shown
// columns in their display order, rows added since the load on top), into
// an Excel workbook (.xlsx) or a CSV file (UTF-8 with a byte order mark, or
// GBK), chosen in the standard save dialog ("导出…" in every module
// window's toolbar and context menu, ID_MODULE_EXPORT).
//
// What a file holds:
//   - a header row: each shown column's caption, followed by "(unit)" when
//     the column has a unit (in the header or in its cells: the unit goes
//     to the header so that the cells stay numbers);
//   - one row per grid row, each cell the value the grid draws: integers
//     as "%d", decimals with two places ("%.2f"), texts as they stand (the
//     grid's texts: a masked telephone stays masked; no value of a record
//     that the grid does not show is read);
//   - in a workbook: one sheet named after the list, the header bold and
//     frozen, numbers stored as numbers (format "0" and "0.00"), texts as
//     texts, column widths from the grid's;
//   - in a CSV file: comma separated, CR LF line ends, a field quoted when
//     it holds a comma, a quote, a line break or leading or trailing
//     blanks (its quotes doubled); a text that a spreadsheet would take for
//     a formula (beginning with "=", "+", "@", or "-" when it is no
//     number) is written with a leading apostrophe.
//
// The file is written on a worker thread while a progress dialog ("导出",
// shown at once for more than EXPORT_SHOW_ROWS rows, else after half a
// second) keeps the user out of the program; its "取消" button stops the
// export and removes what was written.  A finished export is recorded in
// the operation log (FD_Log_Export: operator, list, rows, format, file); an
// export that cannot be recorded is removed and reported as failed.
#pragma once
#include "app/shell/module.h"

#include <functional>
#include <string>
#include <vector>

enum ZT_EXPORT_FORMAT { EXPORT_XLSX = 1, EXPORT_CSV_UTF8 = 2, EXPORT_CSV_GBK = 3 };

// Rows above which the progress dialog shows at once.
enum { EXPORT_SHOW_ROWS = 2000 };

// One shown column of the grid.
struct EXPORT_COLUMN {
    std::string caption;     // "caption" or "caption(unit)"
    int iType;               // LVT_ of the column
    tagLV_COLUMN column;     // the grid's column: how a record gives its value
    int iWidth;              // pixels in the grid
};

// What a grid shows, read on the window thread: the columns in display
// order and the rows' records top to bottom, with the owner the columns'
// value functions get.  The records are the window's: valid while the grid
// is left alone.
struct EXPORT_GRID {
    std::vector<EXPORT_COLUMN> cols;
    std::vector<const void*> rows;
    const void* pOwner = nullptr;
};

// Reads a grid: its shown columns (width above 0) in display order and its
// rows as drawn.  FALSE when hGrid is no grid.
BOOL Export_ReadGrid(HWND hGrid, EXPORT_GRID* pOut);
// The text of a column's cell in a row of the grid (see above), made from
// the record as the grid makes it to draw the cell; empty for a missing
// value and for value types the grid does not draw.
std::string Export_CellText(const EXPORT_GRID& g, const EXPORT_COLUMN& col, const void* pRecord);

// Told the rows written so far; FALSE stops the writer.
typedef std::function<bool(int nDone)> EXPORT_PROGRESS;
enum { EXPORT_FAILED = -1, EXPORT_CANCELLED = 0, EXPORT_DONE = 1 };
// Writes the grid into pszPath (a Windows path), replacing the file.
// EXPORT_DONE, EXPORT_CANCELLED (the progress said stop; the file is
// removed) or EXPORT_FAILED (the file could not be written; what was
// written is removed).
int Export_WriteCsv(const EXPORT_GRID& g, const char* pszPath, BOOL bUtf8, const EXPORT_PROGRESS& progress);
int Export_WriteXlsx(const EXPORT_GRID& g, const char* pszPath, const char* pszSheet, const EXPORT_PROGRESS& progress);

// The standard save dialog over hOwner, offering pszName in the last folder
// chosen, with the types "Excel 工作簿", "CSV (UTF-8)" and "CSV (GBK)".  The
// path (with the type's extension when the name was given without one) and
// the format chosen come back.  FALSE when the user cancelled.
BOOL Export_ChooseFile(HWND hOwner, const char* pszName, char* pszPath, size_t cbPath, int* pFormat);
// The format a file name asks for: ".xlsx" a workbook, ".csv" CSV (in the
// encoding chosen when a CSV type is chosen, else UTF-8), any other name
// the type chosen.
int Export_FormatOf(const char* pszPath, int iChosen);

// The object type an export of the module's list is logged with.
int Export_ObjType(int iModule);

// The "导出…" command of a module window: the save dialog, then the export
// behind its progress dialog, the log row, and a box saying how it ended.
// Nothing happens for an empty list but the box "没有可导出的数据".
void Export_Module(ZT_MODWIN* w);
