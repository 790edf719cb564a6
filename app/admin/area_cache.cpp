#include "app/admin/area_cache.h"
#include "app/shell/caches.h"

#include <cstring>

namespace {

template <class T> T* ByKey(T* a, int n, int iKey)
{
    for (int i = 0; a && iKey && i < n; i++)
        if (a[i].iOrdinal == iKey)
            return &a[i];
    return nullptr;
}

// The first free slot among n, filled with rec; count up, spare down.
template <class T> T* TakeSlot(T* a, int n, const T* rec, int32_t* pCount, int32_t* pSpare)
{
    if (!a || !rec || !rec->iOrdinal || *pSpare <= 0)
        return nullptr;
    T* slot = nullptr;
    for (int i = 0; i < n && !slot; i++)
        if (a[i].iOrdinal == 0)
            slot = &a[i];
    if (!slot)
        return nullptr;
    *slot = *rec;
    ++*pCount;
    --*pSpare;
    return slot;
}

template <class T> BOOL FreeSlot(T* rec, int32_t* pCount, int32_t* pSpare)
{
    if (!rec)
        return FALSE;
    memset(rec, 0, sizeof(*rec));
    --*pCount;
    ++*pSpare;
    return TRUE;
}

int CitySlots(const tagZT_Main_Param* p)
{
    return p->pCity ? p->nCity + p->nCitySpare : 0;
}

}  // namespace

tagCITY* AreaCache_City(tagZT_Main_Param* p, int iKey)
{
    return ByKey(p->pCity, p->pCity ? p->nCity : 0, iKey);
}

tagURBAN* AreaCache_Urban(tagZT_Main_Param* p, int iKey)
{
    return ByKey(p->pUrban, Cache_UrbanSlots(p), iKey);
}

tagDISTRICT* AreaCache_District(tagZT_Main_Param* p, int iKey)
{
    return ByKey(p->pDist, Cache_DistrictSlots(p), iKey);
}

tagCITY* AreaCache_AddCity(tagZT_Main_Param* p, const tagCITY* pCity)
{
    // Cities are packed: the first free slot is the one behind the count.
    return TakeSlot(p->pCity, CitySlots(p), pCity, &p->nCity, &p->nCitySpare);
}

tagURBAN* AreaCache_AddUrban(tagZT_Main_Param* p, const tagURBAN* pUrban)
{
    return TakeSlot(p->pUrban, Cache_UrbanSlots(p), pUrban, &p->nUrban, &p->nUrbanSpare);
}

tagDISTRICT* AreaCache_AddDistrict(tagZT_Main_Param* p, const tagDISTRICT* pDist)
{
    return TakeSlot(p->pDist, Cache_DistrictSlots(p), pDist, &p->nDist, &p->nDistSpare);
}

BOOL AreaCache_RemoveCity(tagZT_Main_Param* p, int iKey)
{
    tagCITY* c = AreaCache_City(p, iKey);
    if (!c)
        return FALSE;
    tagCITY* end = p->pCity + p->nCity;
    memmove(c, c + 1, static_cast<size_t>(end - (c + 1)) * sizeof(tagCITY));
    return FreeSlot(end - 1, &p->nCity, &p->nCitySpare);
}

BOOL AreaCache_RemoveUrban(tagZT_Main_Param* p, int iKey)
{
    return FreeSlot(AreaCache_Urban(p, iKey), &p->nUrban, &p->nUrbanSpare);
}

BOOL AreaCache_RemoveDistrict(tagZT_Main_Param* p, int iKey)
{
    return FreeSlot(AreaCache_District(p, iKey), &p->nDist, &p->nDistSpare);
}

int AreaCache_MoveUrban(tagZT_Main_Param* p, int iSource, int iTarget)
{
    if (!iSource || !iTarget || iSource == iTarget)
        return 0;
    int moved = 0;
    for (int i = 0; i < Cache_DistrictSlots(p); i++)
        if (p->pDist[i].iOrdinal && p->pDist[i].iParentIndex == iSource) {
            p->pDist[i].iParentIndex = iTarget;
            moved++;
        }
    for (int i = 0; i < Cache_EstateSlots(p); i++)
        if (p->pEstList[i].iOrdinal && p->pEstList[i].iUrban == iSource)
            p->pEstList[i].iUrban = iTarget;
    return moved;
}
