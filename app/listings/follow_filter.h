// The filter text of the follow-up windows: a pure function of the panel's
// values and the shared branch, employee and estate lists.  Names are turned
// into keys through the lists (a name the lists do not know adds nothing);
// texts reach the filter only quoted by the data library's quoting helper;
// dates must be real 'YYYY-MM-DD' days.
#pragma once
#include "app/shell/main_param.h"

#include <string>

// The panel as the user left it.  iKind is FOLLOW_KIND_HOUSE or
// FOLLOW_KIND_CLIENT (data/follow.h): the estate box belongs to the house
// window, the grade box to the client window.
struct FOLLOW_FILTER {
    int iKind;
    std::string br;         // "部门"
    std::string emp;        // "员工"
    std::string trade;      // "交易"
    std::string estate;     // "楼盘名称" (house window)
    std::string level;      // "客户等级" (client window)
    std::string from;       // "跟进日期" from, 'YYYY-MM-DD' or empty
    std::string to;         // ... to, 'YYYY-MM-DD' or empty
};

// A panel as the window opens: every box empty, both dates today's local date.
FOLLOW_FILTER Follow_DefaultFilter(int iKind);

// Composes the filter for FD_Sct_F, pieces in this order, every piece after
// the first joined by " and ":
//   estate " iEst = <key> "       (house window, a name of the estate list)
//   employee " f.iEmp = <key> "   (a branch is named and the employee is one of its)
//   branch " t.iBr = <key> "      (the house's or client's branch)
//   trade " szTrade = '<text>'", grade " szLevel= '<text>'" (client window)
//   from " f.dtFollow >= '<day>'", to " f.dtFollow <= '<day> 23:59:59'"
// Returns 0 with the text in *pOut, or the control id of the box whose value
// cannot enter a filter (a date that is not a real day, a text too long to
// quote); *pOut is then empty.
int Follow_FilterText(const tagZT_Main_Param* p, const FOLLOW_FILTER& f, std::string* pOut);
