// ZTData: follow-ups of houses and clients (t_follow).
#pragma once
#include "common/platform.h"
#include "data/remind.h"

// One follow-up.  Exactly one of iHou and iCli is non-zero.  The fields
// after iHou are filled only by the joined lists (FD_Sct_F).
struct tagFOLLOW {
    int32_t iOrdinal;
    int32_t iBr;             // writer's branch
    int32_t iEmp;            // writer
    char szWay[17];          // 跟进方式
    char dtFollow[20];       // server time of writing
    char szContent[101];
    int32_t iCli;            // 0 for a house follow-up
    int32_t iHou;            // 0 for a client follow-up
    int32_t iEst;            // house's estate (joined house list)
    char szTrade[17];        // house's or client's trade (joined lists)
    char szBuildNO[11];      // joined house list
    char szHouseNO[11];      // joined house list
    char szLevel[17];        // joined client list
    char szCliMan[257];      // joined client list
    int32_t iVersion;        // raised by every save; a save names the one its form loaded
};

enum { FOLLOW_KIND_HOUSE = 1, FOLLOW_KIND_CLIENT = 0 };

// Follow-ups joined with their house (iKind 1, alias t) or client (other
// kinds), live (bRecyle 0, newest first) or retired (1, in key order),
// filtered by pszWhere over the aliases f and t ("" for none).  The outputs
// are set only on success (pass them cleared).  With piMatched only the
// first ZT_LIST_ROWS in the list's order (the newest live ones), and
// *piMatched gets how many rows the filter matches (a count when the list is
// full, -1 when that count failed).  Returns the array (rows + 101 zeroed
// spares) or null.  Release with Mem_Free_Follow.
ZTDATA_API tagFOLLOW* FD_Sct_F(tagFOLLOW** ppFol, int* piCount, const char* pszWhere, int iKind, int bRecyle,
                               long long* piMatched = nullptr);
// Live follow-ups of one house (iHou not 0), else of one client (iCli not 0),
// else all live ones; newest first.  pUnused is ignored.
ZTDATA_API tagFOLLOW* FD_Sct_Follow(tagFOLLOW** ppFol, int iHou, int iCli, int* piCount, void* pUnused);
// Writes a follow-up (iBr, iEmp, szWay, szContent and iHou or iCli) with the
// server's time, stamps that time on the house or client as its latest
// follow-up, logs it and, when pRem is given, writes that reminder (filled
// as for FD_Ist_Remind) too: all of it as one change.
// 1: everything is stored; pFol->iOrdinal and pFol->dtFollow (and
// pRem->iOrdinal) are set.
// 0: the user has been told in a box ("保存失败,跟进没有保存,可以再次保存.",
// with a reminder "保存失败,跟进和提醒都没有保存,可以再次保存.", caption
// "操作失败"; or the connection check's box), and nothing is stored: saving
// again writes the follow-up once.  The one exception is a connection lost
// during the commit itself: its box says that the outcome is unknown and
// asks for a refresh.  The keys are 0 again and dtFollow is empty.
ZTDATA_API int FD_Ist_FollowRemind(int iOpEmp, tagFOLLOW* pFol, tagREMIND* pRem);
// FD_Ist_FollowRemind without a reminder.
ZTDATA_API int FD_Ist_Follow(int iOpEmp, tagFOLLOW* pFol);
// Changes the way and content of follow-up pOld->iOrdinal to pNew's, with
// its log row (both or neither), unless another desk saved it since pOld was
// read (then nothing is stored and the box names what that desk changed) or
// it is gone ("此数据已被其他用户删除").  1 (pNew->iVersion holds the new
// version) or 0 (a failure writes the error record).
ZTDATA_API int FD_Upd_Follow(int iOpEmp, const tagFOLLOW* pOld, tagFOLLOW* pNew);
// Retires one follow-up into the recycle bin (object type 7 for a house
// follow-up, 8 for a client follow-up), with its entry and log row as one
// change.  1 retired (or gone already); 0 nothing retired, the user told in
// a box (see SoftDelete's texts: "异常错误,错误原因查看错误日志文件.",
// "写入回收站失败, 数据未删除", or the outcome-unknown box).
ZTDATA_API int FD_Del_Follow(int iOpEmp, const tagFOLLOW* pFol);
// Releases an array from FD_Sct_F or FD_Sct_Follow (null is ignored).
ZTDATA_API void Mem_Free_Follow(tagFOLLOW* pFol);
