// The write-follow-up dialog (162): one follow-up of a house or a client
// and optionally a reminder, stored together (FD_Ist_FollowRemind) or not
// at all; a save that stored nothing keeps everything typed.
//
//   "跟进方式"  values of "跟进方式" under "房源参数(住宅)", preset "电话"
//   "员 工"     branch and employee, preset to the logged-in user
//   "跟进内容"  up to 100 characters
//   "启用提醒"  with "提醒内容" (100 characters), "提醒时间" (a day
//               'YYYY-MM-DD', today or later) and "提醒范围" ("本人" stored
//               as 1, "本部" as 2)
//
// Saving needs the follow-up add right ("您没有写跟进的权限").  With the
// must-write flag set (the telephones were revealed without the right that
// spares a follow-up) the dialog says so under its boxes ("您查看了这条房源的
// 电话, 请写下这次联系的跟进", or 客源) and neither cancels ("您查看了电话,
// 须写跟进后才能离开") nor saves an empty follow-up ("必须写跟进,才能保存");
// once a save has failed (the server is
// gone, or the right is missing) it lets the user go.  Leaving with typed
// text asks "数据已修改, 是否保存?" first.
#pragma once
#include "app/shell/main_param.h"

struct FOLLOW_ENTRY {
    int iHou;               // the listing: a house key, or 0
    int iCli;               // ... or a client key
    BOOL bMustWrite;
    tagFOLLOW fol;          // out: the follow-up written, with its key and server time
    tagREMIND rem;          // out: the reminder written with it (key 0: none)
};

// Runs the dialog modally over hOwner.  IDOK when the follow-up was written
// (e->fol holds it, and e->rem the reminder written with it), IDCANCEL when
// the user left without writing one.
INT_PTR FollowDialog_Run(HWND hOwner, tagZT_Main_Param* p, FOLLOW_ENTRY* e);

// Range stored for a choice of "提醒范围": 1 "本人", 2 "本部", 0 otherwise.
int FollowDialog_RangeOf(const char* pszChoice);
