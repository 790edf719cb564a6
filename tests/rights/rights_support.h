// Shared pieces of the permission tests: a parameter block computed from a
// permission text, with a logged-in employee and branch.
#pragma once
#include "tests/support/test_support.h"
#include "app/shell/main_param.h"
#include "app/shell/rights.h"
#include "outside/popedom/ZTPopedom.h"

#include <string>

// A block whose words come from PD_Calc on the text; the logged-in
// employee has key iEmp in branch iBr.
struct RightsUser {
    tagZT_Main_Param p;
    tagEMPLIST emp;
    tagBRLIST br;
};
void RightsUser_Make(RightsUser* u, const std::string& codes, int iEmp = 7, int iBr = 3);
// The words W1..W17 as one array view.
inline const uint32_t* Words(const tagZT_Main_Param& p) { return &p.W1; }
