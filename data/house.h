// ZTData: house listings (t_house).
#pragma once
#include "common/platform.h"

// One house listing.  Texts are NUL-terminated GBK strings; the widths
// include the NUL.  A record whose iOrdinal is 0 is a free slot of a loaded
// array.  Records are compared and copied as whole units.
struct tagHOUSE {
    int32_t iOrdinal;
    char dtFollow[20];       // latest follow-up, "YYYY-MM-DD hh:mm:ss"; empty if none
    char dtUpdate[20];       // last change (server time)
    char dBuy[20];           // 购房日期
    char dRent[20];          // 租赁日期
    char dDelegate[11];      // 委托日期, "YYYY-MM-DD"
    char szRingArea[28];     // 环区
    char szDist[11];         // district name
    char szBuildNO[11];      // 栋号
    char szHouseNO[11];      // 室号
    char szFloor[8];
    int32_t iFloorT;         // floors of the building
    double dbBuildArea;      // square metres
    char szRoomType[12];     // "bedrooms/living rooms/bathrooms"
    int32_t iBed;            // written from the edit dialog; 0 in loaded records
    int32_t iLiving;
    int32_t iBath;
    char szToward[17];
    char szDecoration[17];
    char szLayout[17];
    char szStatusquo[17];
    char szLook[17];
    char szSign[17];
    char szMortgage[17];
    char szPark[17];
    char szTrade[17];        // "出售", "出租", "租售", or a later state
    int32_t iSales;          // 万元
    int32_t iSalesAve;       // yuan per square metre
    int32_t iSalesBase;      // 到手价, 万元
    int32_t iRent;           // yuan per month
    double dbRentAve;        // yuan per square metre per day
    int32_t iRentBase;       // yuan per month
    int32_t iDaysUnfollowed; // whole days since dtFollow (unfiltered live loads only)
    char szHouseNum[11];     // 房源编号
    char szBuildType[17];
    char szBuildStruct[17];
    char szHouseType[17];    // copied from the estate at insert
    char szHouseStruct[17];
    char szLinkMan[26];      // 委托人
    char szLinkTel[257];     // enciphered (CipherText)
    char szOwnerMan[257];    // 产权人
    char szOwnerTel[257];    // enciphered (CipherText)
    char szCitizen[17];      // 身份国籍
    char szHPC[257];         // 产权号
    char szPPTSource[17];    // 产权来源
    char szRemark[257];
    int32_t iEmp;
    int32_t iBr;
    int32_t iEst;
    int32_t iVersion;        // raised by every save; a save names the one its form loaded
};

// Loads houses: live ones (bRecyle 0) or the recycle bin (1), at most 5000,
// filtered by pszWhere (an SQL condition without "where"; "" for none).  An
// unfiltered live load also fills iDaysUnfollowed and, when piExpiring and
// pRemind (REMIND1, REMIND2 in days) are given and REMIND1 > 0, sets
// *piExpiring to 1 when a listing on offer has gone REMIND1 days (and, with
// REMIND2, at most REMIND2 days) without a follow-up, else 0.
// pszIndex names the house index the list is read by (one of the list
// indexes, "ix_house_list" ...; another name or null leaves the choice to
// the server).
// Returns the array (rows + 101 zeroed spares; also through *ppHou) with the
// row count in *piCount; null on failure.  Release with Mem_Free_Hou.
ZTDATA_API tagHOUSE* FD_Sct_Hou(int iEmp, tagHOUSE** ppHou, int* piCount, const char* pszWhere, int bRecyle,
                                int* piExpiring, const unsigned char* pRemind, const char* pszIndex = nullptr);
// Inserts a house; refuses an estate + building + room already present
// (also in the recycle bin).  The row, all its values and its log row are
// stored as one change.
// 1: inserted; pHou->iOrdinal is the new key and an empty szHouseNum
// became the key as eight digits.
// 0: not inserted, and the user has been told in a box: "重复 " (a
// duplicate), "保存失败,房源没有保存,可以再次保存." / "操作失败" (a server
// error or a lost connection: nothing is stored, so saving again is a new
// insert and is not refused as a duplicate), the connection check's box, or
// the outcome-unknown box (the connection broke during the commit itself).
// The record comes back as it was given (key 0, the number as typed).
ZTDATA_API int FD_Ist_Hou(int iOpEmp, tagHOUSE* pHou);
// Updates the house pOld->iOrdinal with the values of pNew, refusing an
// estate + building + room of another house and a house another desk has
// saved since pOld was loaded (pOld->iVersion is no longer the house's:
// "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试." naming the boxes
// the other desk changed); the change and its log row are stored together or
// not at all.  1: updated, pNew->dtUpdate and pNew->iVersion hold the new
// update time and version.  0: nothing changed and the user has been told (
// "楼盘名称,栋号,房号,有重复,或原始数据被其他用户删除" / "修改失败", the
// connection check's box or the outcome-unknown box).
ZTDATA_API int FD_Upd_Hou(int iOpEmp, const tagHOUSE* pOld, tagHOUSE* pNew);
// Moves a house without live follow-ups to the recycle bin: the soft delete,
// its recycle-bin entry and its log row as one change.  1 moved; 0 nothing
// deleted and the user told (the two-cause refusal, or a failure box).
ZTDATA_API int FD_Del_Hou(int iOpEmp, const tagHOUSE* pHou);
// Retires every live follow-up of the house into the recycle bin, each with
// its entry (type 7) and log row, all as one change.  1 done (also when
// there was none); 0 nothing retired and the user told in a box.  The
// caller checks the right to do it.
ZTDATA_API int FD_C_F_Hou(int iOpEmp, const tagHOUSE* pHou);
// Releases an array returned by FD_Sct_Hou (null is ignored).
ZTDATA_API void Mem_Free_Hou(tagHOUSE* pHou);
