// The filter text of the follow-up windows: a pure function of the panel's
// values, the shared branch, employee and estate lists and the scope of the
// house or client list.  Names are turned into keys through the lists (a
// name the lists do not know finds nothing); texts reach the filter only
// quoted by the data library's quoting helper; dates must be real
// 'YYYY-MM-DD' days.
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
    std::string scope;      // the listings the user may see (Follow_Scope), "" for all
};

// The scope of the follow-ups a user may see: those of the houses
// (FOLLOW_KIND_HOUSE) or clients the house or client list shows the user,
// over the listing's alias t ("t.iEmp = 7", "t.iBr = 2", "" for all; a
// condition no listing meets when the user may not see the list at all).
std::string Follow_Scope(const tagZT_Main_Param* p, int iKind);

// A panel as the window opens: every box empty, both dates today's local date.
FOLLOW_FILTER Follow_DefaultFilter(int iKind);

// Composes the filter for FD_Sct_F, pieces in this order, every piece after
// the first joined by " and ":
//   estate " iEst = <key> "       (house window, a name of the estate list)
//   employee " f.iEmp = <key> "   (the writer: one of the branch named, or,
//                                  without a branch, " f.iEmp in (<keys>) "
//                                  for everyone of that name)
//   branch " f.iBr = <key> "      (the writer's branch)
//   trade " szTrade = '<text>'", grade " szLevel= '<text>'" (client window)
//   from " f.dtFollow >= '<day>'", to " f.dtFollow <= '<day> 23:59:59'"
//   scope " <scope>"
// An estate, employee or branch box naming none the lists know gives its
// piece with the key 0, which no record has: nothing is found.
// Returns 0 with the text in *pOut, or the control id of the box whose value
// cannot enter a filter (a date that is not a real day, a text too long to
// quote); *pOut is then empty.
int Follow_FilterText(const tagZT_Main_Param* p, const FOLLOW_FILTER& f, std::string* pOut);
