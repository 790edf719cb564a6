// The names the operation log and the recycle bin show for keys: employees,
// branches, cities and urban areas, estates, deleted ones included (a log
// row or a recycled object may name an employee who has left since).  The
// lists are the recycle bin's look-up lists (FD_Init_RecyArgc), indexed by
// key once per load.  A window loads them on a worker before it fills its
// grid and releases them (Term_RecyArgc) when it goes; the grid shows
// pointers into them, so it is emptied before they are loaded again.
#pragma once
#include "data/ZTData.h"

#include <unordered_map>

struct ADMIN_LOOKUPS {
    tagWNDRECY lists;
    std::unordered_map<int, const tagEMPLIST*> emp;
    std::unordered_map<int, const tagBRLIST*> br;
    std::unordered_map<int, const tagURBAN*> urban;
    std::unordered_map<int, const tagESTLIST*> est;
    BOOL bLoaded;
};

// Worker: (re)loads the four lists and their indexes.  FALSE when the server
// did not give them: none are kept.
BOOL Lookups_Load(ADMIN_LOOKUPS* l);
// Releases the lists (Term_RecyArgc) and the indexes.
void Lookups_Release(ADMIN_LOOKUPS* l);
// Look-up sets loaded and not yet released, in the whole program.
int Lookups_Alive();

// Names by key; "" for an unknown key.
const char* Lookups_Employee(const ADMIN_LOOKUPS* l, int iEmp);
const char* Lookups_Branch(const ADMIN_LOOKUPS* l, int iBr);
const char* Lookups_Urban(const ADMIN_LOOKUPS* l, int iUrban);
const char* Lookups_Estate(const ADMIN_LOOKUPS* l, int iEst);
// The branch of an employee, and the urban area of an estate.
const char* Lookups_EmployeeBranch(const ADMIN_LOOKUPS* l, int iEmp);
const char* Lookups_EstateUrban(const ADMIN_LOOKUPS* l, int iEst);
