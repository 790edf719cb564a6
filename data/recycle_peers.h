// The records of the house, client, follow-up and organisation families that
// the recycle lists fill.  Each family's own header defines its records;
// until a family's header is part of the library, its record is defined
// here with the same fields, so that the recycle bin can be built and tested.
#pragma once
#include "common/platform.h"

#if __has_include("data/house.h")
#include "data/house.h"
#else
struct tagHOUSE {
    int32_t iOrdinal;
    char dtFollow[20];
    char dtUpdate[20];
    char dBuy[20];
    char dRent[20];
    char dDelegate[11];
    char szRingArea[28];
    char szDist[11];
    char szBuildNO[11];
    char szHouseNO[11];
    char szFloor[8];
    int32_t iFloorT;
    double dbBuildArea;
    char szRoomType[12];
    int32_t iBed;
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
    char szTrade[17];
    int32_t iSales;
    int32_t iSalesAve;
    int32_t iSalesBase;
    int32_t iRent;
    double dbRentAve;
    int32_t iRentBase;
    int32_t iDaysUnfollowed;
    char szHouseNum[11];
    char szBuildType[17];
    char szBuildStruct[17];
    char szHouseType[17];
    char szHouseStruct[17];
    char szLinkMan[26];
    char szLinkTel[257];
    char szOwnerMan[257];
    char szOwnerTel[257];
    char szCitizen[17];
    char szHPC[257];
    char szPPTSource[17];
    char szRemark[257];
    int32_t iEmp;
    int32_t iBr;
    int32_t iEst;
};
#endif

#if __has_include("data/client.h")
#include "data/client.h"
#else
struct tagCLIENT {
    int32_t iOrdinal;
    char szClientNum[11];
    char dDelegate[11];
    char dtUpdate[20];
    char dtFollow[20];
    char szTrade[17];
    char szPurchaseRange[21];
    char szRentRange[21];
    char szAreaRange[21];
    char szRoomRange[14];
    int32_t iMinBuy, iMaxBuy;
    int32_t iMinRent, iMaxRent;
    char szUrban[68];
    int32_t iMinArea, iMaxArea;
    int32_t iMinRoom, iMaxRoom;
    char szHouseType[17];
    char szFloor[17];
    char szToward[17];
    char szDecoration[17];
    char szLayout[17];
    char szLevel[17];
    char szSource[17];
    char szPayment[17];
    char szAgencyFee[17];
    char szUsage[17];
    char szCliMan[257];
    char szCliTel[257];
    char szLinkTel[257];
    char szLinkMan[257];
    char szCitizen[17];
    char szDelegatePD[17];
    char szRemark[257];
    int32_t iEmp;
    int32_t iBr;
};
#endif

#if __has_include("data/follow.h")
#include "data/follow.h"
#else
struct tagFOLLOW {
    int32_t iOrdinal;
    int32_t iBr;
    int32_t iEmp;
    char szWay[17];
    char dtFollow[20];
    char szContent[101];
    int32_t iCli;
    int32_t iHou;
    int32_t iEst;
    char szTrade[17];
    char szBuildNO[11];
    char szHouseNO[11];
    char szLevel[17];
    char szCliMan[257];
};
#endif

#include "data/organisation.h"
