#include "app/admin/admin_lookups.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_alive{0};

template <class T> void Index(std::unordered_map<int, const T*>& m, const T* a, int n)
{
    m.clear();
    for (int i = 0; a && i < n; i++)
        if (a[i].iOrdinal)
            m.emplace(a[i].iOrdinal, &a[i]);
}

template <class T> const T* Find(const std::unordered_map<int, const T*>& m, int iKey)
{
    auto it = m.find(iKey);
    return it == m.end() ? nullptr : it->second;
}

}  // namespace

BOOL Lookups_Load(ADMIN_LOOKUPS* l)
{
    Lookups_Release(l);
    if (!FD_Init_RecyArgc(&l->lists))
        return FALSE;
    const tagWNDRECY& w = l->lists;
    Index(l->emp, w.pEmp, w.nEmp);
    Index(l->br, w.pBr, w.nBr);
    Index(l->urban, w.pUrban, w.nUrban);
    Index(l->est, w.pEst, w.nEst);
    l->bLoaded = TRUE;
    g_alive++;
    return TRUE;
}

void Lookups_Release(ADMIN_LOOKUPS* l)
{
    l->emp.clear();
    l->br.clear();
    l->urban.clear();
    l->est.clear();
    Term_RecyArgc(&l->lists);
    if (l->bLoaded)
        g_alive--;
    l->bLoaded = FALSE;
}

int Lookups_Alive()
{
    return g_alive;
}

const char* Lookups_Employee(const ADMIN_LOOKUPS* l, int iEmp)
{
    const tagEMPLIST* e = Find(l->emp, iEmp);
    return e ? e->szEmp : "";
}

const char* Lookups_Branch(const ADMIN_LOOKUPS* l, int iBr)
{
    const tagBRLIST* b = Find(l->br, iBr);
    return b ? b->szBr : "";
}

const char* Lookups_Urban(const ADMIN_LOOKUPS* l, int iUrban)
{
    const tagURBAN* u = Find(l->urban, iUrban);
    return u ? u->szUrban : "";
}

const char* Lookups_Estate(const ADMIN_LOOKUPS* l, int iEst)
{
    const tagESTLIST* e = Find(l->est, iEst);
    return e ? e->szEstate : "";
}

const char* Lookups_EmployeeBranch(const ADMIN_LOOKUPS* l, int iEmp)
{
    const tagEMPLIST* e = Find(l->emp, iEmp);
    return e ? Lookups_Branch(l, e->iBr) : "";
}

const char* Lookups_EstateUrban(const ADMIN_LOOKUPS* l, int iEst)
{
    const tagESTLIST* e = Find(l->est, iEst);
    return e ? Lookups_Urban(l, e->iUrban) : "";
}
