#include "app/admin/recycle_caches.h"
#include "app/admin/estate_list.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"

#include <cstring>

namespace {

enum { T_ESTATE = 2, T_BRANCH = 3, T_EMPLOYEE = 4, T_URBAN = 6 };

// Copies the record with key iKey of a list block into *out and releases
// the block.  FALSE when the list holds no such record.
template <class T> BOOL Take(T* list, int n, int iKey, T* out, void (*release)(T*))
{
    BOOL found = FALSE;
    for (int i = 0; list && i < n && !found; i++)
        if (list[i].iOrdinal == iKey) {
            *out = list[i];
            found = TRUE;
        }
    if (list)
        release(list);
    return found;
}

// A list of n rows followed by *pSpare spare records: the record goes into
// a freed slot among the rows, else after them (count up, spare down).
template <class T> BOOL PutInList(T* list, int32_t* pCount, int32_t* pSpare, const T& rec)
{
    if (!list)
        return FALSE;
    for (int i = 0; i < *pCount; i++)
        if (list[i].iOrdinal == 0) {
            list[i] = rec;
            return TRUE;
        }
    if (*pSpare <= 0)
        return FALSE;
    list[(*pCount)++] = rec;
    (*pSpare)--;
    return TRUE;
}

}  // namespace

void RecyCaches_Read(int iType, int iKey, const tagEMPLIST* pEmp, RECY_RESTORED* out)
{
    memset(out, 0, sizeof(*out));
    out->iType = iType;
    int n = 0;
    switch (iType) {
    case T_ESTATE:
        out->est.iOrdinal = iKey;
        out->bRead = FD_Sct_EstDetail(&out->est) != nullptr;
        break;
    case T_BRANCH: {
        tagBRLIST* list = nullptr;
        FD_Sct_BrList(&list, &n, 0);
        out->bRead = Take(list, n, iKey, &out->br, Mem_Free_BrList);
        break;
    }
    case T_EMPLOYEE:
        if (pEmp) {
            out->emp = *pEmp;
            out->bRead = TRUE;
        }
        break;
    case T_URBAN: {
        tagURBAN* urbans = FD_SCT_URBAN(nullptr, nullptr, &n, 1, 0);
        out->bRead = Take(urbans, n, iKey, &out->urban, Mem_Free_Urban);
        if (out->bRead)
            break;
        // Not an urban area of a city: a city (the active ones are cached).
        tagCITY* cities = FD_SCT_CITY(nullptr, &n, 1);
        out->bRead = out->bCity = Take(cities, n, iKey, &out->city, Mem_Free_City);
        break;
    }
    }
}

BOOL RecyCaches_Put(tagZT_Main_Param* p, const RECY_RESTORED* r)
{
    if (!r->bRead)
        return TRUE;
    switch (r->iType) {
    case T_ESTATE:
        return EstList_Find(p, r->est.iOrdinal) || EstList_Add(p, &r->est);
    case T_BRANCH:
        return Cache_Branch(p, r->br.iOrdinal) || PutInList(p->pBrList, &p->nBr, &p->nBrSpare, r->br);
    case T_EMPLOYEE:
        return Cache_Employee(p, r->emp.iOrdinal) || PutInList(p->pEmpList, &p->nEmp, &p->nEmpSpare, r->emp);
    case T_URBAN:
        if (r->bCity) {
            for (int i = 0; p->pCity && i < p->nCity; i++)
                if (p->pCity[i].iOrdinal == r->city.iOrdinal)
                    return TRUE;
            return PutInList(p->pCity, &p->nCity, &p->nCitySpare, r->city);
        }
        if (Cache_Urban(p, r->urban.iOrdinal))
            return TRUE;
        // The urban cache is searched over its rows and spares alike.
        for (int i = 0; p->pUrban && p->nUrbanSpare > 0 && i < p->nUrban + p->nUrbanSpare; i++)
            if (p->pUrban[i].iOrdinal == 0) {
                p->pUrban[i] = r->urban;
                p->nUrban++;
                p->nUrbanSpare--;
                Frame_AreasChanged();
                return TRUE;
            }
        return FALSE;
    }
    return TRUE;
}
