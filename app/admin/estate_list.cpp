#include "app/admin/estate_list.h"
#include "app/shell/caches.h"
#include "common/gbk.h"

#include <cstring>

tagESTLIST* EstList_Find(tagZT_Main_Param* p, int iKey)
{
    return const_cast<tagESTLIST*>(Cache_Estate(p, iKey));
}

static void CopyTexts(tagESTLIST* e, const tagESTATE* src)
{
    Gbk_CopyCut(e->szEstate, sizeof(e->szEstate), src->szEstate);
    Gbk_CopyCut(e->szSpell, sizeof(e->szSpell), src->szSpell);
    Gbk_CopyCut(e->szAddress, sizeof(e->szAddress), src->szAddress);
    Gbk_CopyCut(e->szRingArea, sizeof(e->szRingArea), src->szRingArea);
    Gbk_CopyCut(e->szDist, sizeof(e->szDist), src->szDist);
    Gbk_CopyCut(e->szHouseStruct, sizeof(e->szHouseStruct), src->szHouseStruct);
    Gbk_CopyCut(e->szHouseType, sizeof(e->szHouseType), src->szHouseType);
}

tagESTLIST* EstList_Add(tagZT_Main_Param* p, const tagESTATE* pEst)
{
    if (!pEst || !pEst->iOrdinal || p->nEstSpare <= 0)
        return nullptr;
    for (int i = 0; i < Cache_EstateSlots(p); i++) {
        tagESTLIST* e = &p->pEstList[i];
        if (e->iOrdinal)
            continue;
        memset(e, 0, sizeof(*e));
        e->iOrdinal = pEst->iOrdinal;
        e->iUrban = pEst->iUrban;
        CopyTexts(e, pEst);
        p->nEst++;
        p->nEstSpare--;
        return e;
    }
    return nullptr;
}

BOOL EstList_Update(tagZT_Main_Param* p, const tagESTATE* pEst)
{
    tagESTLIST* e = pEst ? EstList_Find(p, pEst->iOrdinal) : nullptr;
    if (!e)
        return FALSE;
    CopyTexts(e, pEst);
    return TRUE;
}

BOOL EstList_Remove(tagZT_Main_Param* p, int iKey)
{
    tagESTLIST* e = EstList_Find(p, iKey);
    if (!e)
        return FALSE;
    memset(e, 0, sizeof(*e));
    p->nEst--;
    p->nEstSpare++;
    return TRUE;
}
