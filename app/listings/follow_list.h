// The follow-ups of one listing: the list under the house grid and inside
// the house and client modify dialogs.  One FOLLOW_LIST per house or client
// window: the listing shown, its loaded follow-ups (rows + 101 spare slots),
// the grid and, in a modify dialog, a second grid that mirrors it.
//
// Columns: "跟进日期" (130, dtFollow), "跟进内容" (372, szContent), "员工" (72,
// the writer's name from the shared employee list).
#pragma once
#include "app/shell/module.h"
#include "data/ZTData.h"

struct FOLLOW_LIST {
    tagZT_Main_Param* p;
    int iHou;                // the house shown (0: a client's list)
    int iCli;                // the client shown
    tagFOLLOW* pFol;         // the loaded block, null before the first load
    int nFol;                // rows loaded
    HWND hGrid;              // the list
    HWND hGrid2;             // its mirror, or null
    tagFOLLOW newFol;        // the follow-up handed to the write-follow-up dialog
};

// Creates a grid (child id) with the list's columns under hParent.
HWND FollowList_CreateGrid(HWND hParent, int id, tagZT_Main_Param* p);

// Loads the follow-ups of a house (iHou not 0) or a client, newest first:
// clears both grids, releases the previous block, loads, binds every row in
// both grids, then clears the program-wide loading flag under the
// application lock.  Runs on any thread (it talks to the grids only by
// messages); a reload still running is dropped.  FALSE when the load failed
// (the grids are then empty).
BOOL FollowList_Reload(FOLLOW_LIST* l, int iHou, int iCli);
// Window thread: clears both grids, sets the loading flag and loads on a
// job (jobs.h); the grids are filled on this thread when the newest reload
// of the list is back, and the flag cleared.  TRUE.
BOOL FollowList_StartReload(FOLLOW_LIST* l, int iHou, int iCli);
// Window thread: waits until the running reload is back and shown,
// answering the messages sent meanwhile.
void FollowList_Wait(FOLLOW_LIST* l);

// Puts a written follow-up into the first free slot and on top of both
// grids.  Returns the slot, or null when there is none ("写跟进成功, 本地内存出错"
// is shown over hOwner).
tagFOLLOW* FollowList_Add(FOLLOW_LIST* l, const tagFOLLOW* pFol, HWND hOwner);
// Drops a running reload, clears both grids, releases the block and clears
// the loading flag.  The list may be deleted right after.
void FollowList_Free(FOLLOW_LIST* l);

// The program-wide follow-up-loading flag (set while a listing's follow-ups
// load), read and written under the application lock.
BOOL Follow_IsLoading(tagZT_Main_Param* p);
void Follow_SetLoading(tagZT_Main_Param* p, BOOL bLoading);
