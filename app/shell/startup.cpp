#include "app/shell/startup.h"
#include "app/shell/config.h"
#include "app/resources/resource.h"
#include "common/zt_box.h"
#include "outside/skin/skin.h"

#include <cstdio>
#include <cstring>

// The one progress dialog of the process (window thread only, but for the
// stop flag, which the worker reads between its steps).
struct ProgressState {
    tagZT_Main_Param* p;
    HWND hDlg;
    HANDLE hWorker;
    bool bAsking;           // the leave question is showing
    int iDeferred;          // result that arrived while asking, -1 none
    volatile LONG lStop;    // the user chose to leave: no further step starts
};
static ProgressState g_prog;

// Set when a phase ended on a failure its box named (not when the user left).
static volatile LONG g_failed;

static HMODULE g_hSkin;

static bool Stopping()
{
    return g_prog.lStop != 0;
}

// Loads a string-table text into the block's scratch buffer and shows it
// (unless the dialog already says that start-up is being left).
static void ShowText(tagZT_Main_Param* p, HWND hDlg, UINT id)
{
    p->szText[0] = 0;
    LoadStringA(p->hInst, id, p->szText, sizeof p->szText);
    if (hDlg && !Stopping())
        SetDlgItemTextA(hDlg, IDC_PROGRESS_TEXT, p->szText);
}

// One step of a phase: 1 to go on, 0 when the phase has failed.
typedef int (*StartupStep)(tagZT_Main_Param* p, HWND hDlg);

// Runs the steps in order; the user's leaving is honoured between steps (a
// step in flight, a connection attempt included, ends or times out first).
static int RunSteps(const StartupStep* steps, size_t n, tagZT_Main_Param* p, HWND hDlg)
{
    for (size_t i = 0; i < n; ++i)
        if (Stopping() || !steps[i](p, hDlg))
            return 0;
    return Stopping() ? 0 : 1;
}

static DWORD WINAPI StartupWorker(LPVOID pArg)
{
    tagZT_Main_Param* p = static_cast<tagZT_Main_Param*>(pArg);
    HWND hDlg = g_prog.hDlg;
    int ok = p->pLoginBr ? Startup_Phase2(p, hDlg) : Startup_Phase1(p, hDlg);
    SendMessageA(hDlg, WM_STARTUP_DONE, 0, ok ? 0 : 4);
    return 0;
}

// Asks whether to leave.  The worker goes on meanwhile; on Yes it is asked
// to stop, and the dialog ends with 0 once it reports back.
static void AskToLeave(HWND hDlg)
{
    if (g_prog.bAsking || Stopping())
        return;
    g_prog.bAsking = true;
    int answer = ZT_MessageBox(hDlg, "确认退出软件", "", MB_YESNO);
    g_prog.bAsking = false;
    if (answer == IDYES) {
        if (g_prog.iDeferred >= 0) {
            EndDialog(hDlg, 0);
            return;
        }
        InterlockedExchange(&g_prog.lStop, 1);
        SetDlgItemTextA(hDlg, IDC_PROGRESS_TEXT, "正在退出,请稍候...");
        EnableWindow(GetDlgItem(hDlg, IDCANCEL), FALSE);
        return;
    }
    if (g_prog.iDeferred >= 0)
        EndDialog(hDlg, g_prog.iDeferred);
}

INT_PTR CALLBACK ProgressDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        tagZT_Main_Param* p = reinterpret_cast<tagZT_Main_Param*>(lParam);
        g_prog.p = p;
        g_prog.hDlg = hDlg;
        g_prog.bAsking = false;
        g_prog.iDeferred = -1;
        g_prog.lStop = 0;
        p->hOwner = hDlg;
        p->sql.hOwner = hDlg;
        DWORD tid = 0;
        g_prog.hWorker = CreateThread(nullptr, 0, StartupWorker, p, 0, &tid);
        if (!g_prog.hWorker) {
            EndDialog(hDlg, 0);
            return TRUE;
        }
        if (p->hIcon)
            SetClassLongPtrA(hDlg, GCLP_HICON, reinterpret_cast<LONG_PTR>(p->hIcon));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            AskToLeave(hDlg);
        return TRUE;
    case WM_STARTUP_DONE: {
        int result = (lParam == 0 && !Stopping()) ? 1 : 0;
        if (g_prog.bAsking)
            g_prog.iDeferred = result;
        else
            EndDialog(hDlg, result);
        return TRUE;
    }
    }
    return FALSE;
}

INT_PTR Startup_RunPhase(tagZT_Main_Param* p)
{
    memset(&g_prog, 0, sizeof g_prog);
    g_failed = 0;
    INT_PTR r = DialogBoxParamA(p->hInst, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressDlgProc,
                                reinterpret_cast<LPARAM>(p));
    if (g_prog.hWorker) {
        // The dialog ends only after the worker's last act, the (answered)
        // WM_STARTUP_DONE: it ends at once.
        WaitForSingleObject(g_prog.hWorker, 10000);
        CloseHandle(g_prog.hWorker);
    }
    memset(&g_prog, 0, sizeof g_prog);
    // The dialog is gone; until the main frame exists no window owns the
    // boxes of the program and of the data library.
    p->hOwner = nullptr;
    p->sql.hOwner = nullptr;
    return r == 1 ? 1 : 0;
}

// ---- Phase 1 ---------------------------------------------------------------------

void Startup_LoadResources(tagZT_Main_Param* p)
{
    if (!p->bLockReady) {
        InitializeCriticalSection(&p->csApp);
        p->bLockReady = 1;
    }
    HINSTANCE h = p->hInst;
    p->hIcon = LoadIconA(h, MAKEINTRESOURCEA(IDI_APP));
    p->hMainMenu = LoadMenuA(h, MAKEINTRESOURCEA(IDM_MAIN));
    p->hGridCursor = LoadCursorA(h, MAKEINTRESOURCEA(IDCUR_GRID));
    p->hContextMenus = LoadMenuA(h, MAKEINTRESOURCEA(IDM_CONTEXT));
    p->hToolbarBmp = LoadBitmapA(h, MAKEINTRESOURCEA(IDB_TOOLBAR));

    char dir[sizeof p->szAppDir];
    DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir)
        p->szAppDir[0] = 0;
    else
        memcpy(p->szAppDir, dir, n + 1);

    p->szVersion[0] = 0;
    p->szProduct[0] = 0;
    LoadStringA(h, IDS_VERSION, p->szVersion, sizeof p->szVersion);
    LoadStringA(h, IDS_PRODUCT, p->szProduct, sizeof p->szProduct);
}

void Startup_LoadLists(tagZT_Main_Param* p)
{
    Mem_Release(p->pBrList, Mem_Free_BrList);
    Mem_Release(p->pEmpList, Mem_Free_EmpList);
    int n = 0;
    if (!FD_Sct_BrList(&p->pBrList, &n, 0)) {
        p->pBrList = nullptr;
        n = 0;
    }
    p->nBr = n;
    n = 0;
    if (!FD_Sct_EmpList(&p->pEmpList, &n, 0)) {
        p->pEmpList = nullptr;
        n = 0;
    }
    p->nEmp = n;
    p->nBrSpare = p->pBrList ? ZT_SPARE_SLOTS : 0;
    p->nEmpSpare = p->pEmpList ? ZT_SPARE_SLOTS : 0;
}

static int Phase1Resources(tagZT_Main_Param* p, HWND hDlg)
{
    GetSystemInfo(&p->si);
    ShowText(p, hDlg, IDS_INIT_SOFTWARE);
    Startup_LoadResources(p);
    return 1;
}

static int Phase1Skin(tagZT_Main_Param* p, HWND hDlg)
{
    ShowText(p, hDlg, IDS_INIT_SKIN);
    Skin_Start(p->hInst);
    return 1;
}

// Start-up ends here: the box names the cause.
static int StartupFailure(const char* pszText)
{
    InterlockedExchange(&g_failed, 1);
    ZT_MessageBox(nullptr, pszText, "错误", MB_OK | MB_ICONWARNING);
    return 0;
}

int Startup_ExitCode()
{
    return g_failed ? 1 : 0;
}

static int Phase1Config(tagZT_Main_Param* p, HWND hDlg)
{
    ShowText(p, hDlg, IDS_INIT_DB_SETTINGS);
    p->sql.hOwner = hDlg;
    p->sql.pszAppDir = p->szAppDir;
    // The error log goes beside the program, or to the user's own folder
    // where the program's folder cannot be written (Program Files).
    ZTData_SetErrorLogFolders(Config_ProgramFolder().c_str(), Config_UserFolder().c_str());
    char why[1200];
    if (!Config_Read(p, why, sizeof why))
        return StartupFailure(why);
    // Plain text across the network is what the file asked for; the log
    // says so at every start.
    std::string plain = Config_PlainTextServers();
    if (!plain.empty()) {
        std::string note = "与数据服务器" + plain + "的连接不加密(" + Config_Path() +
                           "中SSL=0):账号、密码和数据以明文经过网络";
        ZTData_LogNotice(note.c_str());
    }
    return 1;
}

// Why the server refused or could not be reached, from the client library's
// error number; every cause names the server tried.
static void ConnectCause(const tagZT_SQL_MATION* s, char* psz, size_t cb)
{
    unsigned int code = MYSQL_ErrorNumber();
    char server[64];
    snprintf(server, sizeof server, "%s:%d", s->szHost, s->iPort ? static_cast<int>(s->iPort) : 3306);
    // Of several servers, the one whose failure is told.
    if (s->szServers[0])
        ZTData_ServerName(server, sizeof server);
    switch (code) {
    case 2002:
    case 2003:
        snprintf(psz, cb, "无法连接数据服务器%s", server);
        break;
    case 2005:
        snprintf(psz, cb, "找不到数据服务器%s(HOST不对或网络不通)", server);
        break;
    case 1045:
        snprintf(psz, cb, "数据服务器%s拒绝了账号%s(UID或PWD不对,或账号不允许从本机连接)", server, s->szUser);
        break;
    case 1130:
        snprintf(psz, cb, "数据服务器%s不允许本机连接(账号的主机范围不包括本机)", server);
        break;
    case 1044:
        snprintf(psz, cb, "账号%s没有使用数据库%s的权限(数据服务器%s)", s->szUser, s->szDatabase, server);
        break;
    case 1049:
        snprintf(psz, cb, "数据服务器%s上数据库%s不存在", server, s->szDatabase);
        break;
    case 2026:
        snprintf(psz, cb, "与数据服务器%s的加密连接(SSL)没有建立", server);
        break;
    case 1047:
        // A cluster node that answers but is outside the primary component.
        snprintf(psz, cb, "集群没有多数节点: 数据服务器%s不属于集群的主组件, 现在不能读写数据(请管理员恢复集群)",
                 server);
        break;
    default:
        snprintf(psz, cb, "数据服务器%s:错误码%u", server, code);
        break;
    }
    // Where the server's own words were written.
    char log[MAX_PATH * 2];
    int written = ZTData_ErrorLogPath(log, sizeof log);
    size_t n = strlen(psz);
    if (n < cb)
        snprintf(psz + n, cb - n, written ? "\n详细请查看错误日志%s" : "\n错误日志%s无法写入", log);
}

static int Phase1Connect(tagZT_Main_Param* p, HWND hDlg)
{
    ShowText(p, hDlg, IDS_TRY_CONNECT);
    if (MYSQL_Init(&p->sql))
        return 1;
    p->szText[0] = 0;
    if (!LoadStringA(p->hInst, IDS_DB_CONNECT_ERROR, p->szText, sizeof p->szText))
        strcpy(p->szText, "数据库连接出错");
    char cause[MAX_PATH * 2 + 300];
    ConnectCause(&p->sql, cause, sizeof cause);
    char text[sizeof p->szText + sizeof cause + 2];
    snprintf(text, sizeof text, "%s\n%s", p->szText, cause);
    return StartupFailure(text);
}

static int Phase1Lists(tagZT_Main_Param* p, HWND hDlg)
{
    ShowText(p, hDlg, IDS_INIT_PARAMS);
    Startup_LoadLists(p);
    return 1;
}

int Startup_Phase1(tagZT_Main_Param* p, HWND hDlg)
{
    static const StartupStep kSteps[] = {Phase1Resources, Phase1Skin, Phase1Config, Phase1Connect, Phase1Lists};
    return RunSteps(kSteps, sizeof kSteps / sizeof kSteps[0], p, hDlg);
}

// ---- Phase 2 ---------------------------------------------------------------------

void Startup_LoadRights(tagZT_Main_Param* p, tagPOPEDOM* pText)
{
    memset(pText, 0, sizeof *pText);
    // A user without a permission row of his own keeps the empty text and
    // no telephone views.
    p->iCliReadMax = 0;
    p->iHouReadMax = 0;
    int iEmp = p->pLoginEmp ? p->pLoginEmp->iOrdinal : 0;
    int cli = 0, hou = 0;
    if (FD_Sct_DefPD(nullptr, pText->szValue, &cli, &hou, nullptr, nullptr, iEmp)) {
        p->iCliReadMax = cli;
        p->iHouReadMax = hou;
    } else {
        memset(pText, 0, sizeof *pText);
    }
    PD_Calc(p, pText);
}

static int Phase2Options(tagZT_Main_Param* p, HWND)
{
    FD_Sct_Sys(&p->sys);
    tagPOPEDOM text;
    Startup_LoadRights(p, &text);
    return 1;
}

static int Phase2Params(tagZT_Main_Param* p, HWND)
{
    int nTags = 0, nNames = 0, nValues = 0;
    if (!FD_sct_Argc_Name(&p->pArgcTag, &p->pArgcName, &nTags, &nNames)) {
        nTags = 0;
        nNames = 0;
    }
    p->nArgcTag = p->pArgcTag ? nTags : 0;
    p->nArgcName = p->pArgcName ? nNames : 0;
    if (!_FD_sct_Argc_Value(nullptr, &p->pArgcValue, &nValues, 1, 0))
        nValues = 0;
    p->nArgcValue = p->pArgcValue ? nValues : 0;
    p->nArgcValueSpare = p->pArgcValue ? ZT_SPARE_SLOTS : 0;
    return 1;
}

// The row count of a loaded look-up: 0 when the load failed or gave no block.
static int Counted(int iLoaded, const void* pBlock, int n)
{
    return iLoaded && pBlock ? n : 0;
}

static int Phase2Areas(tagZT_Main_Param* p, HWND hDlg)
{
    ShowText(p, hDlg, IDS_INIT_AREAS);
    int nCity = 0, nUrban = 0, nDist = 0;
    int ok = FD_SCT_CITY(&p->pCity, &nCity, 1) != nullptr;
    p->nCity = Counted(ok, p->pCity, nCity);
    p->pCityList = p->pCity;
    ok = FD_SCT_URBAN(nullptr, &p->pUrban, &nUrban, 1, 0) != nullptr;
    p->nUrban = Counted(ok, p->pUrban, nUrban);
    ok = FD_SCT_DISTRICT(nullptr, &p->pDist, &nDist, 1, 0) != nullptr;
    p->nDist = Counted(ok, p->pDist, nDist);
    // Room the windows may still fill in place behind the loaded rows; an
    // array that could not be loaded offers none.
    p->nCitySpare = p->pCity ? ZT_SPARE_SLOTS : 0;
    p->nUrbanSpare = p->pUrban ? ZT_SPARE_SLOTS : 0;
    p->nDistSpare = p->pDist ? ZT_SPARE_SLOTS : 0;
    return 1;
}

static int Phase2Estates(tagZT_Main_Param* p, HWND hDlg)
{
    ShowText(p, hDlg, IDS_INIT_ESTATES);
    int n = 0;
    int ok = FD_Sct_EstList(nullptr, &p->pEstList, &n, 1, 0) != nullptr;
    p->nEst = Counted(ok, p->pEstList, n);
    p->nEstSpare = p->pEstList ? ZT_SPARE_SLOTS : 0;
    return 1;
}

int Startup_Phase2(tagZT_Main_Param* p, HWND hDlg)
{
    static const StartupStep kSteps[] = {Phase2Options, Phase2Params, Phase2Areas, Phase2Estates};
    return RunSteps(kSteps, sizeof kSteps / sizeof kSteps[0], p, hDlg);
}

// ---- Skin library ----------------------------------------------------------------

void Skin_Start(HINSTANCE hInst)
{
    if (!g_hSkin) {
        UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        g_hSkin = LoadLibraryA(SKIN_LIBRARY_NAME);
        SetErrorMode(old);
    }
    if (!g_hSkin)
        return;
    SKIN_INIT init = (SKIN_INIT)(void*)GetProcAddress(g_hSkin, MAKEINTRESOURCEA(SKIN_ORD_INIT));
    if (init)
        init(hInst, nullptr, nullptr, nullptr);
    SKIN_LOADRESOURCE load = (SKIN_LOADRESOURCE)(void*)GetProcAddress(g_hSkin, MAKEINTRESOURCEA(SKIN_ORD_LOADRESOURCE));
    if (load)
        load(hInst, MAKEINTRESOURCEA(IDR_SKIN_SMF), "smf");
}

void Skin_End()
{
    if (!g_hSkin)
        return;
    SKIN_EXIT end = (SKIN_EXIT)(void*)GetProcAddress(g_hSkin, MAKEINTRESOURCEA(SKIN_ORD_EXIT));
    if (end)
        end();
}

// ---- Release -----------------------------------------------------------------------

void Startup_Release(tagZT_Main_Param* p)
{
    if (p->hIcon)
        DestroyIcon(p->hIcon);
    if (p->hGridCursor)
        DestroyCursor(p->hGridCursor);
    // The main menu went with the frame when one was created; destroying
    // it again is refused harmlessly.
    if (p->hMainMenu && IsMenu(p->hMainMenu))
        DestroyMenu(p->hMainMenu);
    if (p->hContextMenus && IsMenu(p->hContextMenus))
        DestroyMenu(p->hContextMenus);
    if (p->hToolbarBmp)
        DeleteObject(p->hToolbarBmp);
    p->hIcon = nullptr;
    p->hGridCursor = nullptr;
    p->hMainMenu = nullptr;
    p->hContextMenus = nullptr;
    p->hToolbarBmp = nullptr;
    if (p->bLockReady) {
        DeleteCriticalSection(&p->csApp);
        p->bLockReady = 0;
    }
}
