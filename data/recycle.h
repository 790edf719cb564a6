// ZTData: the recycle bin -- the lists of soft-deleted objects of each type,
// restoring, purging and clearing, and the look-up lists of the recycle-bin
// window.  Object types are those of the operation log: 0 house, 1 client,
// 2 estate, 3 branch, 4 employee, 5 position, 6 city or urban area, 7 house
// follow-up, 8 client follow-up, 9 building, 10 parameter value, 11 district.
#pragma once
#include "common/platform.h"
#include "data/area.h"
#include "data/estate.h"

// Records of the other families, used here by pointer.
struct tagHOUSE;
struct tagCLIENT;
struct tagFOLLOW;
struct tagBRLIST;
struct tagEMPLIST;
struct tagPostion;
struct tagZT_Main_Param;

// Whose deleted objects a user lists, restores and purges: those of one
// employee (iEmp) or of one branch (iBr); both 0 (or no scope): every
// object.  An object belongs to the listing it is (houses, clients), to the
// listing its follow-up is of, to the branch an employee works in; an
// object of the agency's dictionaries and organisation (estates, branches,
// positions, areas) to whoever deleted it.
struct tagRECY_SCOPE {
    int32_t iEmp;
    int32_t iBr;
};

// One entry of a recycle list.
struct tagRECY {
    int32_t iOrdinal;         // key of the t_recyle row (0: a follow-up retired without one)
    int32_t iEmp;             // employee who deleted the object
    char szRecyle[20];        // deletion time, "YYYY-MM-DD hh:mm:ss"
    int32_t iObjOrdinal;      // key of the object in its table
};

// State of the recycle-bin window, with the look-up lists that turn keys
// into names (recycled rows included).  Allocate it zero-filled.
struct tagWNDRECY {
    HWND hWnd;                // owner window
    tagZT_Main_Param* pMain;  // the program's state
    HWND hSelector;           // type selector panel
    tagRECY* pSelected;       // selected entry of the current list
    int iCount;               // rows of the current list
    tagEMPLIST* pEmp;         // key, branch, name
    int nEmp;
    tagBRLIST* pBr;           // key, name
    int nBr;
    tagURBAN* pUrban;         // cities and urban areas: key, name
    int nUrban;
    tagESTLIST* pEst;         // key, urban area, name
    int nEst;
};

// ---- Lists ------------------------------------------------------------------------
// Each returns the entries (*ppRecy) and a parallel array of the objects
// (*ppObj, entry i describes object i), both holding exactly the rows found
// (no spare records), or null on no connection or a server error.  Release
// the entries with Mem_Free_Recyle and the objects with the Mem_Free_ call
// of their type.  Only entries of the list's own object type are listed.
//   houses:      iOrdinal, iEst, szBuildNO, szHouseNO, szTrade (purged ones not listed)
//   clients:     iOrdinal, szUrban, szCliMan, szTrade (purged ones not listed)
//   estates:     iOrdinal, iUrban, szEstate
//   branches:    iOrdinal, szBr;   employees: iOrdinal, iBr, szEmp
//   positions:   iOrdinal, szPST;  areas: iOrdinal, szUrban
//   house follow-ups:  iOrdinal, iHou, szContent and the house's iEst,
//                      szBuildNO, szHouseNO, szTrade
//   client follow-ups: iOrdinal, iCli, szContent and the client's szCliMan,
//                      szTrade, szLevel, with its wanted urban areas in szWay
// The follow-up lists show every retired follow-up of their kind, also
// those retired with their listing (entry key 0, no time, no employee).
// A scope lists only the objects it holds (tagRECY_SCOPE).  With piMatched
// a list is bounded: it holds the newest ZT_LIST_ROWS (by the entry's key,
// by the follow-up's for the follow-up lists) in the same oldest-first
// order, and *piMatched gets how many rows the list's filter matches (a
// count when the list is full, -1 when that count failed).

ZTDATA_API tagRECY* FD_Sct_Recy_Hou(tagRECY** ppRecy, tagHOUSE** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_Cli(tagRECY** ppRecy, tagCLIENT** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_Est(tagRECY** ppRecy, tagESTLIST** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_Br(tagRECY** ppRecy, tagBRLIST** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_Emp(tagRECY** ppRecy, tagEMPLIST** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_Pst(tagRECY** ppRecy, tagPostion** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_Urban(tagRECY** ppRecy, tagURBAN** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_HouFol(tagRECY** ppRecy, tagFOLLOW** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);
ZTDATA_API tagRECY* FD_Sct_Recy_CliFol(tagRECY** ppRecy, tagFOLLOW** ppObj, int* pCount,
                                   const tagRECY_SCOPE* pScope = nullptr,
                                   long long* piMatched = nullptr);

// ---- Changes ----------------------------------------------------------------------------
// Restores the object of an entry (bRecyle 0) and removes the entry.  1/0.
ZTDATA_API int FD_Recover_Recyle(int iOpEmp, tagRECY* pRecy, int iObjType);
// Purges one object: houses and clients stay with bDeleted = 1, other rows
// are deleted; the entry is removed.  1/0.
ZTDATA_API int FD_Del_Recyle(int iOpEmp, tagRECY* pRecy, int iObjType);
// Purges every recycled object of a type within the scope, and their
// entries.  1/0.
ZTDATA_API int FD_Clear_Recyle(int iOpEmp, int iObjType, const tagRECY_SCOPE* pScope = nullptr);

// ---- Look-up lists ----------------------------------------------------------------------
// Loads the four look-up lists (releasing ones it holds).  1 loaded, 0 not.
ZTDATA_API int FD_Init_RecyArgc(tagWNDRECY* pWnd);
// Releases the four look-up lists.
ZTDATA_API void Term_RecyArgc(tagWNDRECY* pWnd);
ZTDATA_API void Mem_Free_Recyle(tagRECY* pRecy);
