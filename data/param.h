// ZTData: the parameter dictionary (t_param), a three-level tree of
// categories (szTags), parameter names (szName) and values (szValue) that
// fills the drop-down lists of every form.  Only values are edited.
//
// Arrays hold the rows plus 101 zero-filled spare records (key 0 is a free
// slot) and are released with Mem_Free_Argc.  Every loader first releases
// the array its out pointer still holds, so pass the current one back in to
// refresh (or null the first time).
#pragma once
#include "common/platform.h"
#include "data/fill.h"

struct tagARGC {
    int32_t iOrdinal;         // key in t_param
    int32_t iPriority;        // display rank of a value (not loaded for categories and names)
    int32_t iParentIndex;     // a value: key of its name; 0 in categories and names
    int32_t iCategory;        // a name: key of its category; 0 otherwise
    char szTags[17];          // category text (16 bytes kept)
    char szName[17];          // parameter name text
    char szValue[17];         // value text
    tagARGC* pCategory;       // a name: its category in the array loaded with it
    int32_t iVersion;         // a value: raised by every save; a save names the one its dialog loaded
};

// Categories and names in one request.  Returns the names array, grouped by
// category in category order, then by priority and key.  A name whose
// category is not live is left out.
ZTDATA_API tagARGC* FD_sct_Argc_Name(tagARGC** ppTags, tagARGC** ppNames, int* pnTags, int* pnNames);
// The live values of one name (null name: nothing loaded), by priority, key.
ZTDATA_API tagARGC* FD_sct_Argc_Value(tagARGC* pName, tagARGC** ppValues, int* pCount);
// bRecyle 0: live values of pName, or of every name when null (the start-up
// cache), by name, priority, text, key.  bRecyle 1: values in the recycle
// bin with their category and name texts.
ZTDATA_API tagARGC* _FD_sct_Argc_Value(tagARGC* pName, tagARGC** ppValues, int* pCount, int iUnused, int bRecyle);

// Adds a value under pValue->iParentIndex; a text the name already has (the
// recycle bin included) is refused with "已存在相同数据,增加失败".  1 added.
ZTDATA_API int FD_Ist_Argc_Value(int iOpEmp, tagARGC* pValue);
// Changes text and/or priority of pOld (pNew carries its key) and shows the
// rows changed ("修改数据 %d.行"); a rename to an existing text changes no row
// and still returns 1.  0 on a server error, or when another desk saved the
// value since pOld was loaded (nothing stored; the box names what that desk
// changed).  On success pNew->iVersion holds the new version.
ZTDATA_API int FD_Upd_Argc_Value(int iOpEmp, tagARGC* pOld, tagARGC* pNew);
// Deletes a value outright.  1 deleted, 0 failed.
ZTDATA_API int FD_Del_Argc_Value(int iOpEmp, tagARGC* pValue);

// The first record with that key among iCount, or null.
ZTDATA_API tagARGC* FindArgc(tagARGC* pArray, int iCount, int iKey);
ZTDATA_API void Mem_Free_Argc(tagARGC* pArray);

// ---- Drop-down fill --------------------------------------------------------------------
// Appends the szValue of every value among the nValues slots whose
// iParentIndex is iName, by priority (within a priority in slot order: the
// order of the load, then values put into spare slots later), wherever it
// stands: free slots (key 0) may lie between values.  No empty entry is added and the list
// is not emptied first.  Returns the slot index of the first value added,
// or -1 when the name has none.

ZTDATA_API int FillArgcCombo(const tagARGC* pValues, int nValues, int iName, ZT_FILL_PROC pfnAdd, void* pCtx);
// The same, sending each text to hList with uAddMsg (lParam the text).
ZTDATA_API int FillArgcCombo(HWND hList, const tagARGC* pValues, int nValues, int iName, UINT uAddMsg = CB_ADDSTRING);

// The name record with text pszName under the category with text pszTag
// (a name is known by both: "交易" is a house and a client parameter), or null.
ZTDATA_API const tagARGC* FindArgcName(const tagARGC* pTags, int nTags, const tagARGC* pNames, int nNames,
                                       const char* pszTag, const char* pszName);

// One drop-down of a form and the parameter name that fills it.
struct ZT_ARGC_BIND {
    const char* pszName;      // parameter name text
    HWND hList;               // the list to fill
    int iFirst;               // out: FillArgcCombo's result (-1 when not found)
};
// Fills a form's lists from the names under the category pszTag: each name
// of the category is compared with every bind, and a match fills that list.
// Returns the number of binds filled.
ZTDATA_API int FillArgcCombos(const tagARGC* pTags, int nTags, const tagARGC* pNames, int nNames,
                              const tagARGC* pValues, int nValues, const char* pszTag,
                              ZT_ARGC_BIND* pBinds, int nBinds, UINT uAddMsg = CB_ADDSTRING);
