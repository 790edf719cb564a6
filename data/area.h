// ZTData: cities, urban areas and districts.
//
// Cities and urban areas share t_urban (a city has iParentIndex 0, an urban
// area its city's key); districts live in t_district under an urban area.
// Loaded arrays hold the rows plus 101 zero-filled spare records; a record
// whose iOrdinal is 0 is a free slot.  Release them with the Mem_Free_ call
// of their type.
#pragma once
#include "common/platform.h"
#include "data/fill.h"

struct tagCITY {
    int32_t iOrdinal;         // key in t_urban
    char szUrban[56];         // city name (the city dialog takes 10 bytes)
    int32_t iVersion;         // raised by every save; a save names the one its dialog loaded
};

struct tagURBAN {
    int32_t iOrdinal;         // key in t_urban
    int32_t iPriority;        // display rank within the city, smaller first
    char szUrban[11];         // name, at most 10 bytes
    int32_t iParentIndex;     // key of the city
    int32_t iVersion;         // raised by every save; a save names the one its dialog loaded
};

struct tagDISTRICT {
    int32_t iOrdinal;         // key in t_district
    int32_t iPriority;        // display rank within the urban area
    int32_t iParentIndex;     // key of the urban area
    char szDistrict[11];      // name, at most 10 bytes
    tagURBAN* pUrban;         // the urban area given to the load, or null
    int32_t iVersion;         // raised by every save; a save names the one its dialog loaded
};

// ---- Loading ------------------------------------------------------------------
// The loaders set *pp to null and the count to 0 first (they do not release
// what *pp held) and take the library lock around the statement.  Null when
// there is no connection or the server refused the statement.

// Live cities, with bActive = 1 only when bActiveOnly is 1.
ZTDATA_API tagCITY* FD_SCT_CITY(tagCITY** ppCity, int* pCount, int bActiveOnly);
// Urban areas of pCity (live or, with bRecyle, in the recycle bin); with
// bAllCity those of every city (pCity may then be null).  In recycled mode
// the count is only set on success.
ZTDATA_API tagURBAN* FD_SCT_URBAN(tagCITY* pCity, tagURBAN** ppUrban, int* pCount, int bAllCity, int bRecyle);
// Districts of pUrban, or every district when pUrban is null; each record's
// pUrban is set to the given urban area.
ZTDATA_API tagDISTRICT* FD_SCT_DISTRICT(tagURBAN* pUrban, tagDISTRICT** ppDist, int* pCount, int iUnused, int bRecyle);

// ---- Changing ----------------------------------------------------------------------
// iOpEmp is the logged-in employee (operation log, recycle bin).  A modify
// names the version pOld was loaded with: when another desk has saved the
// row since, nothing is stored, 0 is returned and the box
// "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试." names what that
// desk changed; on success pNew->iVersion holds the new version.

// Adds a city; a name used by any city (the recycle bin included) is refused
// with "数据重复,加入失败".  1 added (iOrdinal set), 0 not.
ZTDATA_API int FD_IST_CITY(int iOpEmp, tagCITY* pCity);
// Renames a city (pNew carries the key); the server refuses a name another
// city has, and "目标数据重复,操作失败,或源数据被删除" says so.  1 when the
// statement ran (also when refused), 0 on no connection or a server error.
ZTDATA_API int FD_UPD_CITY(int iOpEmp, tagCITY* pOld, tagCITY* pNew);
// Moves a city without live urban areas to the recycle bin.  1 moved, 0 not.
ZTDATA_API int FD_DEL_CITY(int iOpEmp, tagCITY* pCity);

// Adds an urban area under pUrban->iParentIndex.  1 added (iOrdinal set).
ZTDATA_API int FD_IST_URBAN(int iOpEmp, tagURBAN* pUrban);
// Changes name and/or priority.  A rename to a name of the same city is
// refused by the server ("目标数据重复,操作失败") and still returns 1; only
// a priority change sends no guard.  0 on a server error.
ZTDATA_API int FD_UPD_URBAN(int iOpEmp, tagURBAN* pOld, tagURBAN* pNew);
// Moves an urban area with no live district and no live estate to the
// recycle bin.  1 moved, 0 not.
ZTDATA_API int FD_DEL_URBAN(int iOpEmp, tagURBAN* pUrban);
// Moves every district and estate of pSource to pTarget and reports both
// counts ("合并成功").  pSource itself stays.  1 merged, 0 refused.
ZTDATA_API int FD_JOIN_URBAN(int iOpEmp, tagURBAN* pSource, tagURBAN* pTarget);
// The same merge without its box: the text the box would show
// ("转移片区%4d条.转移楼盘字典%4d条.", caption "合并成功") goes into
// pszResult (cb bytes) for the caller to show where the user is (a failed
// merge still says so itself).
ZTDATA_API int FD_JOIN_URBAN_TOLD(int iOpEmp, tagURBAN* pSource, tagURBAN* pTarget, char* pszResult, size_t cb);

// Adds a district under pDist->iParentIndex.  1 added (iOrdinal set).
ZTDATA_API int FD_IST_DISTRICT(int iOpEmp, tagDISTRICT* pDist);
// Changes name and/or priority; a rename to a name of the same urban area
// changes nothing and still returns 1.  0 on a server error.
ZTDATA_API int FD_UPD_DISTRICT(int iOpEmp, tagDISTRICT* pOld, tagDISTRICT* pNew);
// Moves a district to the recycle bin.  1 moved, 0 not.
ZTDATA_API int FD_DEL_DISTRICT(int iOpEmp, tagDISTRICT* pDist);

// ---- Finding in a loaded array ------------------------------------------------------
// With a text: the first record whose name equals it; without (null): the
// first whose key equals iKey.  *ppOut (when given) receives the result;
// FindUrban and FindDist store null there on a miss, FindCity leaves it.
// FindCity finds nothing for an empty text.  FindDist searches iCount plus
// the 101 spare slots, so key 0 finds the first free slot.

ZTDATA_API tagCITY* FindCity(tagCITY* pArray, tagCITY** ppOut, int iKey, const char* pszName, int iCount);
ZTDATA_API tagURBAN* FindUrban(tagURBAN* pArray, tagURBAN** ppOut, int iKey, const char* pszName, int iCount);
ZTDATA_API tagDISTRICT* FindDist(tagDISTRICT* pArray, tagDISTRICT** ppOut, int iKey, const char* pszName, int iCount);

ZTDATA_API void Mem_Free_City(tagCITY* pArray);
ZTDATA_API void Mem_Free_Urban(tagURBAN* pArray);
ZTDATA_API void Mem_Free_Dist(tagDISTRICT* pArray);

// ---- Drop-down fill --------------------------------------------------------------------
// Appends the children of one parent from a loaded array: the first run of
// records within iCount whose iParentIndex is iParent, preceded by one empty
// entry.  Nothing (not even the empty entry) when the parent has none.  The
// list is not emptied first.  Returns the index in the array of the first
// record appended, or -1.
//   urban areas of a city:        FillAreaCombo(urban, n, cityKey, ...)
//   districts of an urban area:   FillAreaCombo(districts, n, urbanKey, ...)

ZTDATA_API int FillAreaCombo(const tagURBAN* pArray, int iCount, int iParent, ZT_FILL_PROC pfnAdd, void* pCtx);
ZTDATA_API int FillAreaCombo(const tagDISTRICT* pArray, int iCount, int iParent, ZT_FILL_PROC pfnAdd, void* pCtx);
// The same, sending each text to hList with uAddMsg (lParam the text).
ZTDATA_API int FillAreaCombo(HWND hList, const tagURBAN* pArray, int iCount, int iParent, UINT uAddMsg = CB_ADDSTRING);
ZTDATA_API int FillAreaCombo(HWND hList, const tagDISTRICT* pArray, int iCount, int iParent, UINT uAddMsg = CB_ADDSTRING);
