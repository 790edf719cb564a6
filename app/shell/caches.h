// The shared caches of the parameter block: branches, employees, estates,
// cities, urban areas, districts and parameter values, loaded at start-up
// and read by every form and list of the session.
//
// Reading: look-ups by key or by name, and the slots to walk.  Free slots
// (key 0) are never found; a key of 0 or an empty name finds nothing.
// Names of unknown keys are "" (a list shows an empty cell), keys of
// unknown names 0.  Window thread, or a worker while the window thread
// leaves the caches alone.
//
// Writing: only through the write side below, on the window thread.  Every
// array keeps one rule: a record put takes the first free slot (key 0)
// among its count plus its spare slots (count up, spare down); a dropped
// record's slot is zeroed (count down, spare up).  Free slots may therefore
// lie between live records, and readers walk count plus spare (the *Slots
// functions).  Records never move, so grids and look-ups may keep pointers
// into the arrays while their record lives.  Each change is told to every
// window of the session (Cache_Changed), so lists filled from a cache are
// filled again at once and forms opened afterwards offer the change.
#pragma once
#include "app/shell/main_param.h"

#include <unordered_map>

// The logged-in employee's key (0 before login): the operator of every change.
int Cache_Operator(const tagZT_Main_Param* p);

// ---- Slots ---------------------------------------------------------------------------

int Cache_BranchSlots(const tagZT_Main_Param* p);
int Cache_EmployeeSlots(const tagZT_Main_Param* p);
int Cache_EstateSlots(const tagZT_Main_Param* p);
int Cache_CitySlots(const tagZT_Main_Param* p);
int Cache_UrbanSlots(const tagZT_Main_Param* p);
int Cache_DistrictSlots(const tagZT_Main_Param* p);
int Cache_ParamValueSlots(const tagZT_Main_Param* p);

// ---- Look-ups ------------------------------------------------------------------------

const tagBRLIST* Cache_Branch(const tagZT_Main_Param* p, int iBr);
const tagEMPLIST* Cache_Employee(const tagZT_Main_Param* p, int iEmp);
const tagCITY* Cache_City(const tagZT_Main_Param* p, int iCity);
const tagURBAN* Cache_Urban(const tagZT_Main_Param* p, int iUrban);
const tagDISTRICT* Cache_District(const tagZT_Main_Param* p, int iDist);
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

// Calls f(record) for every live record, in slot order.
template <class F> void Cache_ForBranches(const tagZT_Main_Param* p, F f)
{
    for (int i = 0; i < Cache_BranchSlots(p); i++)
        if (p->pBrList[i].iOrdinal) f(p->pBrList[i]);
}
template <class F> void Cache_ForEmployees(const tagZT_Main_Param* p, F f)
{
    for (int i = 0; i < Cache_EmployeeSlots(p); i++)
        if (p->pEmpList[i].iOrdinal) f(p->pEmpList[i]);
}
template <class F> void Cache_ForCities(const tagZT_Main_Param* p, F f)
{
    for (int i = 0; i < Cache_CitySlots(p); i++)
        if (p->pCity[i].iOrdinal) f(p->pCity[i]);
}
template <class F> void Cache_ForUrbans(const tagZT_Main_Param* p, F f)
{
    for (int i = 0; i < Cache_UrbanSlots(p); i++)
        if (p->pUrban[i].iOrdinal) f(p->pUrban[i]);
}
template <class F> void Cache_ForDistricts(const tagZT_Main_Param* p, F f)
{
    for (int i = 0; i < Cache_DistrictSlots(p); i++)
        if (p->pDist[i].iOrdinal) f(p->pDist[i]);
}

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

// ---- The write side (window thread) ------------------------------------------------------

// The kinds of cache, as a mask in the change message.
enum {
    ZTC_BRANCH = 1,
    ZTC_EMPLOYEE = 2,
    ZTC_ESTATE = 4,
    ZTC_CITY = 8,
    ZTC_URBAN = 16,
    ZTC_DISTRICT = 32,
    ZTC_PARAM = 64,
    ZTC_ALL = 127
};

// Put: a record the database now holds (its key set).  A record of that
// key already listed is rewritten in place (a rename, a move to another
// branch or urban area); a new one takes the first free slot.  Returns the
// record's slot, or null when the array has no free slot left (nothing
// changes: the database holds it, the caches show it from the next start).
tagBRLIST* Cache_PutBranch(tagZT_Main_Param* p, const tagBRLIST* pRec);
tagEMPLIST* Cache_PutEmployee(tagZT_Main_Param* p, const tagEMPLIST* pRec);
tagESTLIST* Cache_PutEstate(tagZT_Main_Param* p, const tagESTLIST* pRec);
tagCITY* Cache_PutCity(tagZT_Main_Param* p, const tagCITY* pRec);
tagURBAN* Cache_PutUrban(tagZT_Main_Param* p, const tagURBAN* pRec);
tagDISTRICT* Cache_PutDistrict(tagZT_Main_Param* p, const tagDISTRICT* pRec);
tagARGC* Cache_PutParamValue(tagZT_Main_Param* p, const tagARGC* pRec);

// The cache records of the program's fuller records (texts cut on a whole
// character to the cache's fields).
tagBRLIST Cache_BranchOf(const tagBRANCH& b);
tagEMPLIST Cache_EmployeeOf(const tagEMPLOYEE& e);
tagESTLIST Cache_EstateOf(const tagESTATE& e);

// Says that a record the database holds found no free slot in its cache
// (kind ZTC_ ...): "<what>已保存, 但本地缓存已满: 重新登录后才能在各窗口中看到它".
// A session that never loaded that cache is told nothing.
void Cache_TellFull(HWND hOwner, const tagZT_Main_Param* p, int iKind, const char* pszWhat);

// Drop: the record of that key of one kind (ZTC_ ...) leaves its cache.
// FALSE when it was not listed.
BOOL Cache_Drop(tagZT_Main_Param* p, int iKind, int iKey);

// After urban area iSource was merged into iTarget: its districts and
// estates belong to iTarget.  Returns the number of districts moved.
int Cache_MoveUrban(tagZT_Main_Param* p, int iSource, int iTarget);

// Every window of this thread (the frame, the module windows and every
// window in them, the dialogs) is sent the message named
// ZT_CACHES_CHANGED_MSG with wParam the kinds changed (ZTC_ mask).  The
// write side calls it itself; call it after changing a cache record in
// place by other means.
#define ZT_CACHES_CHANGED_MSG "Kelmora.CachesChanged"
void Cache_Changed(int iKinds);
// The message's number.
UINT Cache_ChangedMessage();

// ---- Records this session does not know ------------------------------------------------

// Worker (a module window's load): the branch, employee, city, urban-area
// and estate lists read again from the database and merged into the caches
// on the window thread of hWindow (a module window, which answers the
// message the merge is sent as): records not listed are put, listed ones
// rewritten.  The worker waits for the merge.  FALSE when the lists could
// not be read (nothing changes).
BOOL Cache_ReloadFromWorker(tagZT_Main_Param* p, HWND hWindow);
// How many times this session has read the look-up lists again.
int Cache_Reloads();
// The message a module window answers with Cache_OnReload(p, lParam).
UINT Cache_ReloadMessage();
LRESULT Cache_OnReload(tagZT_Main_Param* p, LPARAM lParam);
