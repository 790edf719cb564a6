#include "app/shell/caches.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cstdio>
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

template <class T> int SlotsOf(const T* a, int32_t n, int32_t spare)
{
    return a ? n + spare : 0;
}

// One array of the caches with its count and spare counter.
template <class T> struct Array {
    T* a;
    int32_t* pCount;
    int32_t* pSpare;
    int Slots() const { return SlotsOf(a, *pCount, *pSpare); }
};

// The slot rule: a record already listed under its key is rewritten; a new
// one takes the first free slot among count plus spare.
template <class T> T* Put(Array<T> arr, const T* rec)
{
    if (!arr.a || !rec || !rec->iOrdinal)
        return nullptr;
    T* free = nullptr;
    for (int i = 0; i < arr.Slots(); i++) {
        if (arr.a[i].iOrdinal == rec->iOrdinal) {
            arr.a[i] = *rec;
            return &arr.a[i];
        }
        if (!free && arr.a[i].iOrdinal == 0)
            free = &arr.a[i];
    }
    if (!free || *arr.pSpare <= 0)
        return nullptr;
    *free = *rec;
    ++*arr.pCount;
    --*arr.pSpare;
    return free;
}

template <class T> BOOL Drop(Array<T> arr, int iKey)
{
    for (int i = 0; iKey && i < arr.Slots(); i++)
        if (arr.a[i].iOrdinal == iKey) {
            memset(&arr.a[i], 0, sizeof(T));
            --*arr.pCount;
            ++*arr.pSpare;
            return TRUE;
        }
    return FALSE;
}

Array<tagBRLIST> Branches(tagZT_Main_Param* p) { return {p->pBrList, &p->nBr, &p->nBrSpare}; }
Array<tagEMPLIST> Employees(tagZT_Main_Param* p) { return {p->pEmpList, &p->nEmp, &p->nEmpSpare}; }
Array<tagESTLIST> Estates(tagZT_Main_Param* p) { return {p->pEstList, &p->nEst, &p->nEstSpare}; }
Array<tagCITY> Cities(tagZT_Main_Param* p) { return {p->pCity, &p->nCity, &p->nCitySpare}; }
Array<tagURBAN> Urbans(tagZT_Main_Param* p) { return {p->pUrban, &p->nUrban, &p->nUrbanSpare}; }
Array<tagDISTRICT> Districts(tagZT_Main_Param* p) { return {p->pDist, &p->nDist, &p->nDistSpare}; }
Array<tagARGC> Values(tagZT_Main_Param* p) { return {p->pArgcValue, &p->nArgcValue, &p->nArgcValueSpare}; }

template <class T> T* PutAndTell(Array<T> arr, const T* rec, int iKind)
{
    T* slot = Put(arr, rec);
    if (slot)
        Cache_Changed(iKind);
    return slot;
}

// ---- Telling the windows -------------------------------------------------------------------

BOOL CALLBACK TellChild(HWND hwnd, LPARAM lp)
{
    const WPARAM* m = reinterpret_cast<const WPARAM*>(lp);
    SendMessageA(hwnd, static_cast<UINT>(m[0]), m[1], 0);
    return TRUE;
}

BOOL CALLBACK TellTop(HWND hwnd, LPARAM lp)
{
    TellChild(hwnd, lp);
    EnumChildWindows(hwnd, TellChild, lp);
    return TRUE;
}

// ---- The look-up reload -------------------------------------------------------------------

struct RELOAD {
    tagBRLIST* br = nullptr;
    int nBr = 0;
    tagEMPLIST* emp = nullptr;
    int nEmp = 0;
    tagCITY* city = nullptr;
    int nCity = 0;
    tagURBAN* urban = nullptr;
    int nUrban = 0;
    tagESTLIST* est = nullptr;
    int nEst = 0;
    ~RELOAD()
    {
        if (br) Mem_Free_BrList(br);
        if (emp) Mem_Free_EmpList(emp);
        if (city) Mem_Free_City(city);
        if (urban) Mem_Free_Urban(urban);
        if (est) Mem_Free_EstList(est);
    }
};

template <class T> void PutAll(Array<T> arr, const T* list, int n)
{
    for (int i = 0; list && i < n; i++)
        if (list[i].iOrdinal)
            Put(arr, &list[i]);
}

}  // namespace

int Cache_Operator(const tagZT_Main_Param* p)
{
    return p && p->pLoginEmp ? p->pLoginEmp->iOrdinal : 0;
}

// ---- Slots ---------------------------------------------------------------------------

int Cache_BranchSlots(const tagZT_Main_Param* p) { return SlotsOf(p->pBrList, p->nBr, p->nBrSpare); }
int Cache_EmployeeSlots(const tagZT_Main_Param* p) { return SlotsOf(p->pEmpList, p->nEmp, p->nEmpSpare); }
int Cache_EstateSlots(const tagZT_Main_Param* p) { return SlotsOf(p->pEstList, p->nEst, p->nEstSpare); }
int Cache_CitySlots(const tagZT_Main_Param* p) { return SlotsOf(p->pCity, p->nCity, p->nCitySpare); }
int Cache_UrbanSlots(const tagZT_Main_Param* p) { return SlotsOf(p->pUrban, p->nUrban, p->nUrbanSpare); }
int Cache_DistrictSlots(const tagZT_Main_Param* p) { return SlotsOf(p->pDist, p->nDist, p->nDistSpare); }
int Cache_ParamValueSlots(const tagZT_Main_Param* p)
{
    return SlotsOf(p->pArgcValue, p->nArgcValue, p->nArgcValueSpare);
}

// ---- Look-ups ------------------------------------------------------------------------

// The record of a key in one cache (its count plus spare slots).
#define CACHE_BY_KEY(Name, T, list)                                                                   \
    const T* Cache_##Name(const tagZT_Main_Param* p, int iKey) { return ByKey(p->list, Cache_##Name##Slots(p), iKey); }
CACHE_BY_KEY(Branch, tagBRLIST, pBrList)
CACHE_BY_KEY(Employee, tagEMPLIST, pEmpList)
CACHE_BY_KEY(City, tagCITY, pCity)
CACHE_BY_KEY(Urban, tagURBAN, pUrban)
CACHE_BY_KEY(District, tagDISTRICT, pDist)
CACHE_BY_KEY(Estate, tagESTLIST, pEstList)
#undef CACHE_BY_KEY

const tagBRLIST* Cache_BranchNamed(const tagZT_Main_Param* p, const char* pszName)
{
    return First(p->pBrList, Cache_BranchSlots(p), [pszName](const tagBRLIST& r) { return Named(r.szBr, pszName); });
}

const tagEMPLIST* Cache_EmployeeNamed(const tagZT_Main_Param* p, int iBr, const char* pszName)
{
    return First(p->pEmpList, Cache_EmployeeSlots(p),
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
    Cache_ForEmployees(p, [ix](const tagEMPLIST& r) { ix->emp.emplace(r.iOrdinal, &r); });
    Cache_ForBranches(p, [ix](const tagBRLIST& r) { ix->br.emplace(r.iOrdinal, &r); });
    Cache_ForUrbans(p, [ix](const tagURBAN& r) { ix->urban.emplace(r.iOrdinal, &r); });
    for (int i = 0; i < Cache_EstateSlots(p); i++)
        if (p->pEstList[i].iOrdinal)
            ix->est.emplace(p->pEstList[i].iOrdinal, &p->pEstList[i]);
}

// ---- The write side ------------------------------------------------------------------------

tagBRLIST* Cache_PutBranch(tagZT_Main_Param* p, const tagBRLIST* r) { return PutAndTell(Branches(p), r, ZTC_BRANCH); }
tagEMPLIST* Cache_PutEmployee(tagZT_Main_Param* p, const tagEMPLIST* r)
{
    return PutAndTell(Employees(p), r, ZTC_EMPLOYEE);
}
tagESTLIST* Cache_PutEstate(tagZT_Main_Param* p, const tagESTLIST* r) { return PutAndTell(Estates(p), r, ZTC_ESTATE); }
tagCITY* Cache_PutCity(tagZT_Main_Param* p, const tagCITY* r) { return PutAndTell(Cities(p), r, ZTC_CITY); }
tagURBAN* Cache_PutUrban(tagZT_Main_Param* p, const tagURBAN* r) { return PutAndTell(Urbans(p), r, ZTC_URBAN); }
tagDISTRICT* Cache_PutDistrict(tagZT_Main_Param* p, const tagDISTRICT* r)
{
    return PutAndTell(Districts(p), r, ZTC_DISTRICT);
}
tagARGC* Cache_PutParamValue(tagZT_Main_Param* p, const tagARGC* r) { return PutAndTell(Values(p), r, ZTC_PARAM); }

tagBRLIST Cache_BranchOf(const tagBRANCH& b)
{
    tagBRLIST r;
    memset(&r, 0, sizeof(r));
    r.iOrdinal = b.iOrdinal;
    Gbk_CopyCut(r.szBr, sizeof(r.szBr), b.szBr);
    Gbk_CopyCut(r.szHou_PF, sizeof(r.szHou_PF), b.szHou_PF);
    Gbk_CopyCut(r.szCli_PF, sizeof(r.szCli_PF), b.szCli_PF);
    Gbk_CopyCut(r.szCTCT_PF, sizeof(r.szCTCT_PF), b.szCTCT_PF);
    Gbk_CopyCut(r.szCMSS_PF, sizeof(r.szCMSS_PF), b.szCMSS_PF);
    return r;
}

tagEMPLIST Cache_EmployeeOf(const tagEMPLOYEE& e)
{
    tagEMPLIST r;
    memset(&r, 0, sizeof(r));
    r.iOrdinal = e.iOrdinal;
    r.iBr = e.iBr;
    Gbk_CopyCut(r.szEmp, sizeof(r.szEmp), e.szEmp);
    return r;
}

tagESTLIST Cache_EstateOf(const tagESTATE& e)
{
    tagESTLIST r;
    memset(&r, 0, sizeof(r));
    r.iOrdinal = e.iOrdinal;
    r.iUrban = e.iUrban;
    Gbk_CopyCut(r.szEstate, sizeof(r.szEstate), e.szEstate);
    Gbk_CopyCut(r.szSpell, sizeof(r.szSpell), e.szSpell);
    Gbk_CopyCut(r.szAddress, sizeof(r.szAddress), e.szAddress);
    Gbk_CopyCut(r.szRingArea, sizeof(r.szRingArea), e.szRingArea);
    Gbk_CopyCut(r.szDist, sizeof(r.szDist), e.szDist);
    Gbk_CopyCut(r.szHouseStruct, sizeof(r.szHouseStruct), e.szHouseStruct);
    Gbk_CopyCut(r.szHouseType, sizeof(r.szHouseType), e.szHouseType);
    return r;
}

void Cache_TellFull(HWND hOwner, const tagZT_Main_Param* p, int iKind, const char* pszWhat)
{
    const void* arrays[] = {p->pBrList, p->pEmpList, p->pEstList, p->pCity, p->pUrban, p->pDist, p->pArgcValue};
    for (int i = 0; i < 7; i++)
        if ((iKind & (1 << i)) && !arrays[i])
            return;
    char text[160];
    snprintf(text, sizeof(text), "%s已保存, 但本地缓存已满: 重新登录后才能在各窗口中看到它", pszWhat ? pszWhat : "");
    ZT_MessageBox(hOwner, text, "", MB_OK | MB_ICONINFORMATION);
}

BOOL Cache_Drop(tagZT_Main_Param* p, int iKind, int iKey)
{
    BOOL done = FALSE;
    switch (iKind) {
    case ZTC_BRANCH: done = Drop(Branches(p), iKey); break;
    case ZTC_EMPLOYEE: done = Drop(Employees(p), iKey); break;
    case ZTC_ESTATE: done = Drop(Estates(p), iKey); break;
    case ZTC_CITY: done = Drop(Cities(p), iKey); break;
    case ZTC_URBAN: done = Drop(Urbans(p), iKey); break;
    case ZTC_DISTRICT: done = Drop(Districts(p), iKey); break;
    case ZTC_PARAM: done = Drop(Values(p), iKey); break;
    }
    if (done)
        Cache_Changed(iKind);
    return done;
}

int Cache_MoveUrban(tagZT_Main_Param* p, int iSource, int iTarget)
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
    Cache_Changed(ZTC_DISTRICT | ZTC_ESTATE | ZTC_URBAN);
    return moved;
}

UINT Cache_ChangedMessage()
{
    static const UINT msg = RegisterWindowMessageA(ZT_CACHES_CHANGED_MSG);
    return msg;
}

void Cache_Changed(int iKinds)
{
    WPARAM m[2] = {Cache_ChangedMessage(), static_cast<WPARAM>(iKinds)};
    EnumThreadWindows(GetCurrentThreadId(), TellTop, reinterpret_cast<LPARAM>(m));
}

// ---- The look-up reload -------------------------------------------------------------------

static LONG g_reloads = 0;

int Cache_Reloads()
{
    return static_cast<int>(g_reloads);
}

UINT Cache_ReloadMessage()
{
    static const UINT msg = RegisterWindowMessageA("Kelmora.CacheReload");
    return msg;
}

BOOL Cache_ReloadFromWorker(tagZT_Main_Param* p, HWND hWindow)
{
    if (!p || !hWindow)
        return FALSE;
    RELOAD r;
    if (!FD_Sct_BrList(&r.br, &r.nBr, 0) || !FD_Sct_EmpList(&r.emp, &r.nEmp, 0) ||
        !FD_SCT_CITY(&r.city, &r.nCity, 1) || !FD_SCT_URBAN(nullptr, &r.urban, &r.nUrban, 1, 0) ||
        !FD_Sct_EstList(nullptr, &r.est, &r.nEst, 1, 0))
        return FALSE;
    InterlockedIncrement(&g_reloads);
    return SendMessageA(hWindow, Cache_ReloadMessage(), 0, reinterpret_cast<LPARAM>(&r)) != 0;
}

LRESULT Cache_OnReload(tagZT_Main_Param* p, LPARAM lParam)
{
    const RELOAD* r = reinterpret_cast<const RELOAD*>(lParam);
    if (!p || !r)
        return 0;
    PutAll(Branches(p), r->br, r->nBr);
    PutAll(Employees(p), r->emp, r->nEmp);
    PutAll(Cities(p), r->city, r->nCity);
    PutAll(Urbans(p), r->urban, r->nUrban);
    PutAll(Estates(p), r->est, r->nEst);
    Cache_Changed(ZTC_BRANCH | ZTC_EMPLOYEE | ZTC_CITY | ZTC_URBAN | ZTC_ESTATE);
    return 1;
}
