// ZTData: the agency's system options (t_sys), the company profile
// (t_company) and the export feed for outside tools.
#pragma once
#include "common/platform.h"

// The export feed hands out result sets of the MySQL client library.
struct st_mysql_res;
typedef struct st_mysql_res MYSQL_RES;

// The active system options: 14 fields of 32 bits.  Flags are 0 or 1.
struct tagSYS {
    int32_t iOrdinal;               // key of the active t_sys row
    int32_t bNumManualWrite;        // record numbers may be typed by hand
    int32_t bHouArea;               // house area required
    int32_t bHouPrice;              // house price required
    int32_t bHouOwner;              // house owner required
    int32_t bHouDeniedRepetition;   // duplicate houses refused
    int32_t bHouCipher;             // new houses enciphered by default
    int32_t bCliLinkTel;            // client contact telephone required
    int32_t bCliDeniedRepetition;   // duplicate clients refused
    int32_t bCliCipher;             // new clients enciphered by default
    uint32_t dwBmpMaxSize;          // largest picture to upload, KB
    int32_t bAttendance;            // attendance recording enabled
    int32_t bIntegrityRule;         // the complete rule set is used
    int32_t iVersion;               // raised by every save; a save names the one it was loaded with
};

// The company profile and backup settings (the one t_company row).
struct AT_COM {
    int32_t iOrdinal;
    char szAdd[51];
    char szName[257];
    char szTel[257];
    char szReTel[257];
    char szFax[257];
    char szShowName[51];
    char szRemoteIP1[30];
    char szRemoteIP2[30];
    char szRemoteIP3[32];
    int32_t szRemotePort1;          // ports, held as text in t_company
    int32_t szRemotePort2;
    int32_t szRemotePort3;
    char szBakPath[264];
    int32_t iCityOrdinal;           // the company's city (t_urban)
    int32_t iUrbanOrdinal[3];       // three urban areas ("%d,%d,%d," in t_company)
    int32_t bShareType;
    int32_t bAutoBak;
    int32_t iBakTime;
};

// Loads the active options into pSys; pSys, or null when there is no
// active row, no connection or a server error (recorded in the error log).
ZTDATA_API tagSYS* FD_Sct_Sys(tagSYS* pSys);
// Saves the options (every flag, the complete-rule-set flag included) as a
// new row, the only active one; pSys->iOrdinal receives its key.  1 saved,
// 0 on no connection or a server error (no box: the caller says so).  With
// pszChange, a log row of operator iOpEmp (action LOG_ACT_OPTIONS) holding
// it, what the save changes, is stored with the options; a commit whose
// answer was lost is then settled by that row (the user told when it was
// not stored).  -1: another desk saved options since pSys was loaded
// (pSys->iVersion is no longer the active row's): nothing stored, and the box
// "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试." names the options
// that desk changed.  On success pSys->iVersion holds the new version.
ZTDATA_API int FD_Upd_Sys(tagSYS* pSys, int iOpEmp = 0, const char* pszChange = nullptr);

// Reads the company row into pCom: 1 when exactly one row was read.  Keys
// of the urban-area text are taken only where a comma follows them.
ZTDATA_API int FD_Sct_Com(AT_COM* pCom);
// Writes the profile columns of row pCom->iOrdinal.  1 / 0 on a server error.
ZTDATA_API int FD_UpdCom(AT_COM* pCom);
// Sets the backup settings on the company row.  1 / 0.
ZTDATA_API int FD_SaveBakDefValue(int bAutoBak, int iBakTime, const char* pszBakPath);

// ---- Export feed -------------------------------------------------------------------
// Each call hands out a batch of at most 5 rows as a raw result set in
// *ppRes (the caller frees it with mysql_free_result) and returns the number
// of rows (0 on failure, *ppRes null).  The one-argument marks record that
// a row was taken; their outcome is ignored.
//   houses:     iOrdinal, dtFollow, dtUpdate, dDelegate, dBuy, dRent, szBuildNO,
//               szHouseNO, szFloor, iFloorT, dbBuildArea, szRoomType, iBed,
//               iLiving, iBath, iVeranda, szLayout, szStatusquo, szLook, szSign,
//               szTrade, iSales, iSalesAve, iSalesBase, iRent, dbRentAve,
//               iRentBase, szLinkMan, szLinkTel, szOwnerMan, szOwnerTel,
//               szRemark, iEst -- live houses never taken or changed on a
//               later day than taken
//   estates:    iOrdinal, szEstate, szSpell, szAddress -- never taken
//   follow-ups: iOrdinal, dtFollow, szContent -- house follow-ups never
//               taken (client follow-ups are marked taken in bulk)

ZTDATA_API int FD_sct_House(MYSQL_RES** ppRes);
ZTDATA_API int FD_sct_Estate(MYSQL_RES** ppRes);
ZTDATA_API int FD_sct_Follow(MYSQL_RES** ppRes);
ZTDATA_API void FD_Upd_House(long iOrdinal);
ZTDATA_API void FD_Upd_Estate(long iOrdinal);
ZTDATA_API void FD_Upd_Follow(long iOrdinal);
