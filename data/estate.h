// ZTData: the estate dictionary (t_estate) and the buildings of each estate
// (t_BuildNO).  Loaded arrays hold the rows plus 101 zero-filled spare
// records (key 0 marks a free slot) and are released with Mem_Free_EstList,
// Mem_Free_Est and Mem_Free_BNO.
#pragma once
#include "common/platform.h"
#include "data/area.h"

// One estate of the shared list the house, client and follow-up forms search.
struct tagESTLIST {
    int32_t iOrdinal;
    int32_t iUrban;
    char szEstate[26];
    char szSpell[26];         // pinyin initials
    char szAddress[51];
    char szRingArea[10];
    char szDist[11];
    char szHouseStruct[17];
    char szHouseType[27];
};

// One estate in full (the estate dictionary window edits these).
struct tagESTATE {
    int32_t iOrdinal;
    int32_t iUrban;
    char szEstate[26];
    char szSpell[26];
    char szAddress[51];
    char szIntersection[51];  // nearest crossing
    char szRingArea[10];
    int32_t iCoversArea;      // site area, m2
    int32_t iBuildArea;       // floor area, m2
    char szDist[11];
    int32_t iBuild;           // buildings
    int32_t iImg;             // picture reference (loaded, not edited)
    int32_t iRoom;            // usable-area ratio, %
    int32_t iVacancy;         // %
    int32_t iVolume;          // plot ratio, %
    int32_t iAfforest;        // green ratio, %
    int32_t iHouse;           // households
    int32_t iPark;            // parking places
    char szHouseStruct[11];
    char szHouseUsage[11];
    char szHouseType[17];
    char szBuildType[17];
    char szBuildStruct[17];
    char szHandoverStandard[11];
    char szBuildYear[17];
    char szLandCategory[11];
    char szLandSource[11];
    char szLandUsage[11];
    char szUsePeriod[11];
    char szTransferDate[11];
    char szTransferPrice[11];
    char szFloorPrice[11];
    char szDevCom[51];
    char szBuildCom[51];
    char szMgCom[51];
    char szSalesAddress[51];
    char szMgAddress[51];
    char szSalesTel[13];
    char szMgTel[13];
    char szOpenDate[11];
    char szWorkTime[50];
    int32_t iOpenAvePrice;
    char szHandOverDate[11];
    double dMgPrice;          // management fee (written with two decimals)
    double dParkRentPrice;    // parking rent (written with two decimals)
    tagURBAN* pUrban;         // the urban area the estates were loaded for
    int32_t iVersion;         // raised by every save; a save names the one its form loaded (full record)
};

// One building of an estate.
struct tagBUILDNO {
    int32_t iOrdinal;
    int32_t iEst;
    int32_t iLift;            // lifts per building
    int32_t iHouse;           // units per floor
    int32_t iFloort;          // floors
    int32_t iBuildNO;         // building number within the estate
    char szLiftHouse[17];     // "%d梯%d户", written by the window, not stored
    char szBuildType[17];
    char szBuildStruct[17];
    int32_t iVersion;         // raised by every save; a save names the one its form loaded
};

// ---- Estates ---------------------------------------------------------------------

// The light list: releases what *ppList holds, then loads the estates of
// pUrban (every urban area when null), live or (bRecyle) recycled.
ZTDATA_API tagESTLIST* FD_Sct_EstList(tagURBAN* pUrban, tagESTLIST** ppList, int* pCount, int iUnused, int bRecyle);
// Full live estates of pUrban for the dictionary window (sets *ppEst to
// null without releasing it).  Each record's pUrban is pUrban.
ZTDATA_API tagESTATE* FD_Sct_Est(tagURBAN* pUrban, tagESTATE** ppEst, int* pCount);
// Re-reads every column of the estate with pEst->iOrdinal into pEst.
// "此数据已被其他用户删除" and null when the row is gone.
ZTDATA_API tagESTATE* FD_Sct_EstDetail(tagESTATE* pEst);
// Adds an estate (name unique within its urban area, recycled ones count).
// 1 added (iOrdinal set); 0 refused, failed, or added with part of the data
// lost ("增加成功,部分数据丢失").
ZTDATA_API int FD_Ist_Est(int iOpEmp, tagESTATE* pEst);
// Writes pNew over the estate pOld->iOrdinal (the urban area stays), unless
// another desk saved it since pOld was read (pOld->iVersion is no longer the
// estate's): then nothing is stored and the box names the boxes the other
// desk changed.  1 (pNew->iVersion holds the new version) / 0.
ZTDATA_API int FD_Upd_Est(int iOpEmp, tagESTATE* pOld, tagESTATE* pNew);
// Moves an estate without live houses and live buildings to the recycle bin.
ZTDATA_API int FD_Del_Est(int iOpEmp, tagESTATE* pEst);

// By name when pszName is given (an empty name finds nothing), else by key.
// *ppOut (when given) receives the result or null.
ZTDATA_API tagESTLIST* FindEstList(tagESTLIST* pArray, tagESTLIST** ppOut, int iKey, const char* pszName, int iCount);
ZTDATA_API tagESTATE* FindEst(tagESTATE* pArray, tagESTATE** ppOut, int iKey, const char* pszName, int iCount);

ZTDATA_API void Mem_Free_EstList(tagESTLIST* pArray);
ZTDATA_API void Mem_Free_Est(tagESTATE* pArray);

// ---- Buildings --------------------------------------------------------------------

// Buildings of estate iEst (every estate when 0), live or recycled.  On
// success *ppBNO receives the new array (release the old one first); on a
// server error null and *ppBNO is left alone.
ZTDATA_API tagBUILDNO* FD_Sct_BNO(tagBUILDNO** ppBNO, int* pCount, int iEst, int bRecyle);
ZTDATA_API int FD_Ist_BNO(int iOpEmp, tagBUILDNO* pBNO);
// pNew receives pOld's key, and on success the new version; refused as an
// estate's save is when another desk saved the building since pOld was read.
ZTDATA_API int FD_Upd_BNO(int iOpEmp, tagBUILDNO* pOld, tagBUILDNO* pNew);
// Deletes the building row outright.
ZTDATA_API int FD_Del_BNO(int iOpEmp, tagBUILDNO* pBNO);
// By building number when iBuildNO is not 0, else by key.
ZTDATA_API tagBUILDNO* FindBNO(tagBUILDNO* pArray, int iCount, int iBuildNO, int iKey);
ZTDATA_API void Mem_Free_BNO(tagBUILDNO* pArray);
