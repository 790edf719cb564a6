// Look-ups in the shared caches of the parameter block: the logged-in
// operator, and branches, employees, urban areas and estates by key or by
// name.  Free slots (key 0) are never found; a key of 0 or an empty name
// finds nothing.  The urban areas and estates are searched over their
// loaded rows and the spare slots the windows fill in place.  Names of
// unknown keys are "" (a list shows an empty cell), keys of unknown names 0.
// Window thread, or a worker while the window thread leaves the caches alone.
#pragma once
#include "app/shell/main_param.h"

#include <unordered_map>

// The logged-in employee's key (0 before login): the operator of every change.
int Cache_Operator(const tagZT_Main_Param* p);

// Slots of the estate list, the urban areas and the districts: the rows and
// the spares (free slots may lie between live records: walk them all).
int Cache_EstateSlots(const tagZT_Main_Param* p);
int Cache_UrbanSlots(const tagZT_Main_Param* p);
int Cache_DistrictSlots(const tagZT_Main_Param* p);

const tagBRLIST* Cache_Branch(const tagZT_Main_Param* p, int iBr);
const tagEMPLIST* Cache_Employee(const tagZT_Main_Param* p, int iEmp);
const tagURBAN* Cache_Urban(const tagZT_Main_Param* p, int iUrban);
const tagESTLIST* Cache_Estate(const tagZT_Main_Param* p, int iEst);

// By name; an employee only within branch iBr (0: none is found).
const tagBRLIST* Cache_BranchNamed(const tagZT_Main_Param* p, const char* pszName);
const tagEMPLIST* Cache_EmployeeNamed(const tagZT_Main_Param* p, int iBr, const char* pszName);
const tagURBAN* Cache_UrbanNamed(const tagZT_Main_Param* p, const char* pszName);
const tagESTLIST* Cache_EstateNamed(const tagZT_Main_Param* p, const char* pszName);

const char* Cache_BranchName(const tagZT_Main_Param* p, int iBr);
const char* Cache_EmployeeName(const tagZT_Main_Param* p, int iEmp);
const char* Cache_EstateName(const tagZT_Main_Param* p, int iEst);

int Cache_BranchKey(const tagZT_Main_Param* p, const char* pszName);
int Cache_EmployeeKey(const tagZT_Main_Param* p, int iBr, const char* pszName);
int Cache_EstateKey(const tagZT_Main_Param* p, const char* pszName);

// The caches by key, for a list of many rows: built once per load, valid
// until the caches change.
struct CACHE_INDEX {
    std::unordered_map<int, const tagEMPLIST*> emp;
    std::unordered_map<int, const tagBRLIST*> br;
    std::unordered_map<int, const tagURBAN*> urban;
    std::unordered_map<int, const tagESTLIST*> est;
};
void Cache_Index(const tagZT_Main_Param* p, CACHE_INDEX* ix);
// A record of the index, or null.
template <class T> const T* Cache_In(const std::unordered_map<int, const T*>& m, int iKey)
{
    auto it = m.find(iKey);
    return it == m.end() ? nullptr : it->second;
}
