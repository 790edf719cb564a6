// The program's one parameter block, tagZT_Main_Param: a zero-initialised
// static alive for the whole process.  Its address is handed to every child
// window, dialog and worker thread of the program and to the permission
// library.  Start-up fills it (phase 1 before login, phase 2 after it); the
// window thread reads it only once the progress dialog of a phase has ended.
#pragma once
#include "common/platform.h"
#include "data/ZTData.h"

// Sent by the start-up worker to the progress dialog as its last act:
// wParam 0, lParam 0 for success, 4 for failure.
#define WM_STARTUP_DONE (WM_USER + 501)

// Every record block the data library hands over holds this many zeroed
// spare records after its rows (the spare counters of the caches start so).
enum { ZT_SPARE_SLOTS = 101 };

// The task the "数据查询...." busy dialog runs on a worker thread; the busy
// run ends when its thread ends (Block_RunBusy).
typedef DWORD(WINAPI* ZT_BUSY_PROC)(LPVOID pArg);

struct tagZT_Main_Param {
    SYSTEM_INFO si;              // filled at the start of phase 1
    HINSTANCE hInst;             // the program's instance
    HBITMAP hToolbarBmp;         // bitmap 104: 16x15 toolbar strip, magenta mask
    HICON hIcon;                 // icon 103
    HCURSOR hGridCursor;         // cursor 124, handed to every grid
    HMENU hMainMenu;             // menu 107
    HMENU hContextMenus;         // menu 120: the modules' context menus by position
    HWND hOwner;                 // progress dialog during start-up, then the main frame
    tagCITY* pCityList;          // same address as pCity
    char szAppDir[260];          // current directory at start; empty when it did not fit
    char szText[101];            // scratch for string-table texts
    char szProduct[51];          // string 4, the main frame's caption
    char szVersion[9];           // string 9
    tagZT_SQL_MATION sql;        // connection settings; unchanged after MYSQL_Init
    tagSYS sys;                  // system options (phase 2)

    // Set by a successful login: the records of the branch and employee
    // lists below (their first field is the key).  A non-null branch
    // selects phase 2 of start-up.
    tagEMPLIST* pLoginEmp;
    tagBRLIST* pLoginBr;

    int32_t iCliReadMax;         // client telephone views a day (phase 2)
    int32_t iHouReadMax;         // house telephone views a day (phase 2)

    tagREMIND* pRemind;          // due reminders
    int32_t nRemind;
    int32_t bRemindOff;          // 1: no more reminders until restart

    // 1 while the follow-ups of a listing load (written under csApp).
    int32_t bFollowLoading;

    tagEMPLIST* pEmpList;        // all employees, grouped by branch (phase 1)
    int32_t nEmp;
    tagBRLIST* pBrList;          // all branches (phase 1)
    int32_t nBr;

    // Shared parameter cache (phase 2): category tags, names, live values.
    // The values follow the caches' slot rule (app/shell/caches.h).
    tagARGC* pArgcTag;
    int32_t nArgcTag;
    tagARGC* pArgcName;
    int32_t nArgcName;
    tagARGC* pArgcValue;
    int32_t nArgcValue;

    // Shared area and estate caches (phase 2).  The spare counters say how
    // many records may still be put into the arrays beside the rows; free
    // slots may lie between live records (walk count plus spare).  Only the
    // write side of app/shell/caches.h changes them.
    tagCITY* pCity;
    int32_t nCity;
    int32_t nCitySpare;
    tagURBAN* pUrban;
    int32_t nUrban;
    int32_t nUrbanSpare;
    tagDISTRICT* pDist;
    int32_t nDist;
    int32_t nDistSpare;
    tagESTLIST* pEstList;
    int32_t nEst;
    int32_t nEstSpare;

    // Permission words filled by PD_Calc (phase 2), in block order.
    uint32_t W1, W2, W3, W4, W5, W6, W7, W8, W9, W10, W11, W12, W13, W14, W15, W16, W17;

    // Busy-dialog slot: the dialog while it stands (null until a task has
    // run ZT_BUSY_DELAY_MS), and the owner and task of the run.
    HWND hBusyDlg;
    HWND hBusyOwner;
    ZT_BUSY_PROC pfnBusy;
    LPVOID pBusyArg;

    // Follow-up thresholds "REMIND1" and "REMIND2" of config.ini, in days.
    uint8_t bRemind1;
    uint8_t bRemind2;

    CRITICAL_SECTION csApp;      // the application lock (initialised in phase 1)
    int32_t bLockReady;          // 1 once csApp is initialised

    // Spare records of the branch and employee lists (set when they are
    // loaded) and of the parameter values (phase 2): the caches' slot rule.
    int32_t nBrSpare;
    int32_t nEmpSpare;
    int32_t nArgcValueSpare;
};

// The one instance.
extern tagZT_Main_Param g_ZTMain;

// Releases a block of the data library (release: its Mem_Free_...), if
// any, and forgets it.
template <class T> void Mem_Release(T*& pBlock, void (*release)(T*))
{
    if (pBlock)
        release(pBlock);
    pBlock = nullptr;
}
