// Reminders on their day: the check the main frame's timer starts on a
// thread of its own, and the reminder box (194) it shows.
//
// The box lists every due reminder, last to first, by its client key (its
// house key for a house reminder).  Showing one (the first when the box
// opens, any other when chosen) fills "提醒对象" ("客源" / "房源"),
// "提醒范围" and "提醒内容" and acknowledges it for the user, once; one never
// shown stays due and comes back with the next check.  Ticking
// "软件重启前,不再提醒" stops the checks until the program restarts (or the
// user turns "自动提醒" on again); unticking it undoes that.
#pragma once
#include "app/shell/main_param.h"

#include <set>

// The reminder check (install it with Frame_SetReminderCheck): releases the
// block's previous reminders, loads the user's due ones, keeps those the
// user may see (Remind_KeepVisible, over the listings the house and client
// lists show the user) and, when there is at least one, shows the box
// modally without an owner and waits for it.  pParam is the parameter block.
DWORD WINAPI Remind_Check(LPVOID pParam);

// Keeps, in order at the front of pRem, the reminders of n that the
// employee iEmp of branch iBr may see, and zeroes the others; returns how
// many are kept.  A reminder of range 1 ("本人") is its writer's only
// (its iEmp), of range 2 ("本部") its writer's branch's (its iBr); one of
// another range goes to whom the library addressed it.  A house reminder is
// kept only when its house is among houses, a client reminder when its
// client is among clients (the listings the user may see).
int Remind_KeepVisible(tagREMIND* pRem, int n, int iEmp, int iBr, const std::set<int>& houses,
                       const std::set<int>& clients);

// Shows the box for the block's reminders (p->pRemind, p->nRemind) on the
// calling thread.  Returns when it has closed (IDCANCEL), or 0 without
// reminders.
INT_PTR Remind_ShowBox(tagZT_Main_Param* p);

// The box while it is shown, else null.
HWND Remind_Box();

// The name shown for a stored range: 1 "本人", 2 "本部", 0 "跨部", any
// other "ERROR".
const char* Remind_RangeName(int iRange);
