#include "app/admin/recycle_caches.h"
#include "app/shell/caches.h"

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
    case T_ESTATE: {
        tagESTLIST e = Cache_EstateOf(r->est);
        return Cache_PutEstate(p, &e) != nullptr;
    }
    case T_BRANCH:
        return Cache_PutBranch(p, &r->br) != nullptr;
    case T_EMPLOYEE:
        return Cache_PutEmployee(p, &r->emp) != nullptr;
    case T_URBAN:
        return r->bCity ? Cache_PutCity(p, &r->city) != nullptr : Cache_PutUrban(p, &r->urban) != nullptr;
    }
    return TRUE;
}
