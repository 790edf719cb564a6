// ZTData: client demands (t_client).
#pragma once
#include "common/platform.h"

// One client demand.  Texts are NUL-terminated GBK strings; the widths
// include the NUL.  iOrdinal 0 marks a free slot of a loaded array.
struct tagCLIENT {
    int32_t iOrdinal;
    char szClientNum[11];      // the key as eight digits
    char dDelegate[11];        // "YYYY-MM-DD"
    char dtUpdate[20];
    char dtFollow[20];
    char szTrade[17];          // "求购", "求租", "租购", or a later state
    char szPurchaseRange[21];  // "iMinBuy-iMaxBuy", filled by loads
    char szRentRange[21];      // "iMinRent-iMaxRent"
    char szAreaRange[21];      // "iMinArea-iMaxArea"
    char szRoomRange[14];      // "iMinRoom-iMaxRoom"
    int32_t iMinBuy, iMaxBuy;  // 万元
    int32_t iMinRent, iMaxRent;
    char szUrban[68];
    int32_t iMinArea, iMaxArea;
    int32_t iMinRoom, iMaxRoom;
    char szHouseType[17];
    char szFloor[17];
    char szToward[17];
    char szDecoration[17];
    char szLayout[17];
    char szLevel[17];          // 等级
    char szSource[17];         // 来源
    char szPayment[17];        // 付款
    char szAgencyFee[17];      // 付佣
    char szUsage[17];          // 性质
    char szCliMan[257];
    char szCliTel[257];        // enciphered (CipherText)
    char szLinkTel[257];       // enciphered (CipherText)
    char szLinkMan[257];
    char szCitizen[17];
    char szDelegatePD[17];     // 委托权限
    char szRemark[257];
    int32_t iEmp;
    int32_t iBr;
    int32_t iVersion;        // raised by every save; a save names the one its form loaded
};

// Loads clients: live ones (bRecyle 0) or the recycle bin (1), filtered by
// pszWhere ("" for none), every matching row; with piMatched only the first
// ZT_LIST_ROWS in the list's order (the newest), and *piMatched gets how many
// rows the filter matches (a count when the list is full, -1 when that count
// failed).  Returns the array (rows + 101 zeroed spares; also through *ppCli)
// with the count in *piCount; null on failure.  The four range texts are
// filled.  Release with Mem_Free_Cli.
ZTDATA_API tagCLIENT* FD_Sct_Cli(int iEmp, tagCLIENT** ppCli, int* piCount, const char* pszWhere, int bRecyle,
                                 long long* piMatched = nullptr);
// Inserts a client; refuses a telephone equal to any client's telephone or
// contact telephone (also in the recycle bin), and a client without any
// telephone.  The row, all its values and its log row are stored as one
// change.
// 1: inserted; pCli->iOrdinal is the key and szClientNum the key as eight
// digits.
// 0: not inserted, and the user has been told in a box: "客源电话, 联系电话
// 不允许重复 ", "保存失败,客源没有保存,可以再次保存." / "操作失败" (a server
// error or a lost connection: nothing is stored, so saving again is a new
// insert and is not refused as a duplicate), the connection check's box, or
// the outcome-unknown box.  The record comes back as it was given.
ZTDATA_API int FD_Ist_Cli(int iOpEmp, tagCLIENT* pCli);
// Updates the client pOld->iOrdinal with the values of pNew, with the same
// telephone rule (its own row excepted); the change and its log row are
// stored together or not at all.  1: updated, pNew->dtUpdate holds the
// server's update time.  0: nothing changed and the user has been told.
ZTDATA_API int FD_Upd_Cli(int iOpEmp, const tagCLIENT* pOld, tagCLIENT* pNew);
// Moves a client without live follow-ups to the recycle bin: the soft
// delete, its recycle-bin entry and its log row as one change.  1 moved; 0
// nothing deleted and the user told.
ZTDATA_API int FD_Del_Cli(int iOpEmp, const tagCLIENT* pCli);
// Retires every live follow-up of the client into the recycle bin, each with
// its entry (type 8) and log row, all as one change.  1 done (also when
// there was none); 0 nothing retired and the user told in a box.  The
// caller checks the right to do it.
ZTDATA_API int FD_C_F_Hou(int iOpEmp, const tagCLIENT* pCli);
// Releases an array returned by FD_Sct_Cli (null is ignored).
ZTDATA_API void Mem_Free_Cli(tagCLIENT* pCli);
