// The operation log's filter: the values of the filter panel turned into the
// condition FD_Sct_Log lists and FD_Del_Log clears.  A pure function of the
// panel texts and the shared branch and employee lists, so that every
// combination can be checked without a window.
#pragma once
#include "app/shell/field_table.h"
#include "app/shell/main_param.h"

#include <string>

// What the filter panel holds, as the boxes show it.
struct LogFilterPanel {
    std::string emp;     // 1118 "员工": an employee's name
    std::string br;      // 1117 "部门": a branch's name (its employees' rows)
    std::string kind;    // 1319 "对象": a kind of object ("房源", "客源跟进", ...)
    std::string from;    // 1320 "日期(起)": 'YYYY-MM-DD'
    std::string to;      // 1321 "日期(止)": 'YYYY-MM-DD', the whole day included
};

// The panel's boxes as field rows of LogFilterPanel (ZFF_STRING).
extern const ZT_FIELD g_LogFilterFields[];
extern const int g_nLogFilterFields;

// Builds the condition, pieces joined with " and" in this order:
//   employee " iOpEmp = <key>"
//   branch   " iOpEmp in (select iOrdinal from t_employee where iBr = <key>)"
//   kind     " iObjType = <type>"
//   from     " dtAdd >= 'YYYY-MM-DD'", to " dtAdd <= 'YYYY-MM-DD 23:59:59'"
// A name the lists (or the kinds) do not know matches no row (" 1 = 0"): the
// filter only ever narrows.  An empty panel gives an empty text (every row).
// TRUE with *pOut set; FALSE when a date box holds no calendar day (a typed
// text, a half character, 2026-02-30): *pBadCtl is then that box and *pOut
// is empty, and nothing may be listed or cleared with it.
BOOL LogFilter_Build(const tagZT_Main_Param* p, const LogFilterPanel& v, std::string* pOut, int* pBadCtl);
