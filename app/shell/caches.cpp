#include "app/shell/caches.h"

#include <cstring>

namespace {

template <size_t N> bool Named(const char (&field)[N], const char* pszName)
{
    size_t len = pszName ? strlen(pszName) : 0;
    return len && strnlen(field, N) == len && memcmp(field, pszName, len) == 0;
}

// The first live record of an array that pred accepts.
template <class T, class Pred> const T* First(const T* a, int n, Pred pred)
{
    for (int i = 0; a && i < n; i++)
        if (a[i].iOrdinal && pred(a[i]))
            return &a[i];
    return nullptr;
}

template <class T> const T* ByKey(const T* a, int n, int iKey)
{
    return iKey ? First(a, n, [iKey](const T& r) { return r.iOrdinal == iKey; }) : nullptr;
}

template <class T> int KeyOf(const T* rec)
{
    return rec ? rec->iOrdinal : 0;
}

}  // namespace

int Cache_Operator(const tagZT_Main_Param* p)
{
    return p && p->pLoginEmp ? p->pLoginEmp->iOrdinal : 0;
}

int Cache_EstateSlots(const tagZT_Main_Param* p)
{
    return p->pEstList ? p->nEst + p->nEstSpare : 0;
}

int Cache_UrbanSlots(const tagZT_Main_Param* p)
{
    return p->pUrban ? p->nUrban + p->nUrbanSpare : 0;
}

int Cache_DistrictSlots(const tagZT_Main_Param* p)
{
    return p->pDist ? p->nDist + p->nDistSpare : 0;
}

const tagBRLIST* Cache_Branch(const tagZT_Main_Param* p, int iBr)
{
    return ByKey(p->pBrList, p->nBr, iBr);
}

const tagEMPLIST* Cache_Employee(const tagZT_Main_Param* p, int iEmp)
{
    return ByKey(p->pEmpList, p->nEmp, iEmp);
}

const tagURBAN* Cache_Urban(const tagZT_Main_Param* p, int iUrban)
{
    return ByKey(p->pUrban, Cache_UrbanSlots(p), iUrban);
}

const tagESTLIST* Cache_Estate(const tagZT_Main_Param* p, int iEst)
{
    return ByKey(p->pEstList, Cache_EstateSlots(p), iEst);
}

const tagBRLIST* Cache_BranchNamed(const tagZT_Main_Param* p, const char* pszName)
{
    return First(p->pBrList, p->nBr, [pszName](const tagBRLIST& r) { return Named(r.szBr, pszName); });
}

const tagEMPLIST* Cache_EmployeeNamed(const tagZT_Main_Param* p, int iBr, const char* pszName)
{
    return First(p->pEmpList, p->nEmp,
                 [iBr, pszName](const tagEMPLIST& r) { return iBr && r.iBr == iBr && Named(r.szEmp, pszName); });
}

const tagURBAN* Cache_UrbanNamed(const tagZT_Main_Param* p, const char* pszName)
{
    return First(p->pUrban, Cache_UrbanSlots(p), [pszName](const tagURBAN& r) { return Named(r.szUrban, pszName); });
}

const tagESTLIST* Cache_EstateNamed(const tagZT_Main_Param* p, const char* pszName)
{
    return First(p->pEstList, Cache_EstateSlots(p),
                 [pszName](const tagESTLIST& r) { return Named(r.szEstate, pszName); });
}

const char* Cache_BranchName(const tagZT_Main_Param* p, int iBr)
{
    const tagBRLIST* r = Cache_Branch(p, iBr);
    return r ? r->szBr : "";
}

const char* Cache_EmployeeName(const tagZT_Main_Param* p, int iEmp)
{
    const tagEMPLIST* r = Cache_Employee(p, iEmp);
    return r ? r->szEmp : "";
}

const char* Cache_EstateName(const tagZT_Main_Param* p, int iEst)
{
    const tagESTLIST* r = Cache_Estate(p, iEst);
    return r ? r->szEstate : "";
}

int Cache_BranchKey(const tagZT_Main_Param* p, const char* pszName)
{
    return KeyOf(Cache_BranchNamed(p, pszName));
}

int Cache_EmployeeKey(const tagZT_Main_Param* p, int iBr, const char* pszName)
{
    return KeyOf(Cache_EmployeeNamed(p, iBr, pszName));
}

int Cache_EstateKey(const tagZT_Main_Param* p, const char* pszName)
{
    return KeyOf(Cache_EstateNamed(p, pszName));
}

void Cache_Index(const tagZT_Main_Param* p, CACHE_INDEX* ix)
{
    *ix = CACHE_INDEX();
    for (int i = 0; p->pEmpList && i < p->nEmp; i++)
        ix->emp.emplace(p->pEmpList[i].iOrdinal, &p->pEmpList[i]);
    for (int i = 0; p->pBrList && i < p->nBr; i++)
        ix->br.emplace(p->pBrList[i].iOrdinal, &p->pBrList[i]);
    for (int i = 0; i < Cache_UrbanSlots(p); i++)
        if (p->pUrban[i].iOrdinal)
            ix->urban.emplace(p->pUrban[i].iOrdinal, &p->pUrban[i]);
    for (int i = 0; i < Cache_EstateSlots(p); i++)
        if (p->pEstList[i].iOrdinal)
            ix->est.emplace(p->pEstList[i].iOrdinal, &p->pEstList[i]);
}
