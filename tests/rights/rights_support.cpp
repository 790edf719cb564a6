#include "tests/rights/rights_support.h"
#include <cstring>

void RightsUser_Make(RightsUser* u, const std::string& codes, int iEmp, int iBr)
{
    memset(u, 0, sizeof *u);
    u->emp.iOrdinal = iEmp;
    u->emp.iBr = iBr;
    u->br.iOrdinal = iBr;
    u->p.pLoginEmp = &u->emp;
    u->p.pLoginBr = &u->br;
    tagPOPEDOM pd;
    memset(&pd, 0, sizeof pd);
    strncpy(pd.szValue, codes.c_str(), sizeof pd.szValue - 1);
    PD_Calc(&u->p, &pd);
}
