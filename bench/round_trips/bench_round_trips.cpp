// Round trips of a working day: the main actions an agent takes, driven
// through the real windows against the server, each with the statements
// and pings the server counted for the program's session (its session
// status: Questions, Com_admin_commands), the round trips on the line, and
// the time it took here and over a line with 20 ms of round-trip time.
//
// The line is a relay of this program on loopback that holds every chunk
// 10 ms in each direction (the kernel here has no netem queueing
// discipline, so a network namespace with a delaying queue cannot be had).
// The same relay counts the round trips: a request of the program that
// follows an answer of the server begins one.
//
// The window thread runs the windows; a driver thread acts as the user and
// stops each action's clock when the windows are quiet again (no busy run,
// no job on its way, the dialog it waits for shown).
#include "tests/frame/shell_fixture.h"
#include "bench/round_trips/relay.h"
#include "app/listings/house_ids.h"
#include "app/listings/follow_ids.h"
#include "app/listings/follow_list.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/listing_window.h"
#include "app/shell/frame.h"
#include "app/shell/jobs.h"
#include "app/shell/login.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "common/date.h"
#include "data/test_hooks.h"
#include "db/dbtool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kLineDelayMs = 20;

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// ---- What one action cost ----------------------------------------------------------------

struct Cost {
    long statements = -1;   // the server's Questions of the session
    long pings = -1;        // its Com_admin_commands (the connection checks)
    long trips = -1;        // round trips on the relay
    double ms = 0;
};

// The session's counters (the library's connection is idle now); the
// statement that reads them counts itself once.
bool SessionCounts(long* pStatements, long* pPings)
{
    return ZTData_TestSessionCounts(pStatements, pPings) != 0;
}

// ---- The window thread and the driver ------------------------------------------------------

DWORD g_uiThread = 0;
HWND g_frame = nullptr;
Relay* g_relay = nullptr;
volatile LONG g_stop = 0;

// Work handed to the window thread (SendMessage from the driver would wait
// inside a modal loop the work opens).
std::function<void()> g_uiWork;
HANDLE g_uiWorkDone = nullptr;
const UINT WM_BENCH_WORK = WM_APP + 321;

void OnUi(const std::function<void()>& fn)
{
    g_uiWork = fn;
    ResetEvent(g_uiWorkDone);
    PostThreadMessageA(g_uiThread, WM_BENCH_WORK, 0, 0);
}

void WaitUi()
{
    WaitForSingleObject(g_uiWorkDone, 60000);
}

struct FindCaption {
    const char* caption;
    HWND found;
};

BOOL CALLBACK ByCaption(HWND h, LPARAM lp)
{
    FindCaption* f = reinterpret_cast<FindCaption*>(lp);
    char text[64] = "";
    GetWindowTextA(h, text, sizeof(text));
    if (IsWindowVisible(h) && strcmp(text, f->caption) == 0) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND Dialog(const char* caption)
{
    FindCaption f = {caption, nullptr};
    EnumThreadWindows(g_uiThread, ByCaption, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// No busy run, no job on its way.
bool Quiet()
{
    return g_ZTMain.hBusyOwner == nullptr && g_ZTMain.pfnBusy == nullptr && Job_Count() == 0;
}

bool WaitFor(const std::function<bool()>& pred, int ms = 30000)
{
    for (DWORD end = GetTickCount() + ms; static_cast<int>(end - GetTickCount()) > 0;) {
        if (pred())
            return true;
        Sleep(1);
    }
    return false;
}

// Runs one action: act() does what the user does, done() says when the
// windows have finished it.  The clock runs from act() to done().
// bNewSession: the action opens the connection (its session counts from 0).
Cost Measure(const char* name, const std::function<void()>& act, const std::function<bool()>& done,
             bool bNewSession = false)
{
    Cost c;
    long q0 = 0, p0 = 0;
    bool counted = bNewSession || SessionCounts(&q0, &p0);
    long t0 = Relay_RoundTrips(g_relay);
    double a = Now();
    act();
    bool ok = WaitFor(done);
    c.ms = (Now() - a) * 1e3;
    c.trips = g_relay ? Relay_RoundTrips(g_relay) - t0 : -1;
    long q1 = 0, p1 = 0;
    if (counted && SessionCounts(&q1, &p1)) {
        c.statements = q1 - q0 - 1;
        c.pings = p1 - p0;
    }
    if (!ok)
        fprintf(stderr, "%s: not finished in time\n", name);
    return c;
}

// ---- The day ----------------------------------------------------------------------------------

const char* const kActions[] = {
    "start: connect, branch and employee lists",
    "log in (password check, options, rights, caches)",
    "open the house list",
    "find with a filter (trade, price range)",
    "select a house (its follow-ups)",
    "open the modify form",
    "save it",
    "write a follow-up with a reminder",
    "open the client list",
    "open a client",
};
const int kNumActions = sizeof(kActions) / sizeof(kActions[0]);

ZT_MODWIN* Window(const char* cls)
{
    HWND h = Frame_FindChild(cls);
    return h ? Module_Of(h) : nullptr;
}

bool Loaded(const char* cls)
{
    ZT_MODWIN* w = Window(cls);
    return w && w->bLoaded && !w->bBusy && Quiet();
}

// A day's actions; the costs in action order.  pass names the save's
// change, so every pass saves a real change.
std::vector<Cost> Day(int pass, tagZT_SQL_MATION* settings, int port)
{
    std::vector<Cost> out;
    tagZT_Main_Param* p = &g_ZTMain;

    // Start: the connection and the lists the login dialog offers.
    out.push_back(Measure(kActions[0],
                          [&] {
                              MYSQL_Terminal();
                              settings->iPort = port;
                              OnUi([p, settings] {
                                  MYSQL_Init(settings);
                                  Startup_LoadLists(p);
                              });
                          },
                          [] { return WaitForSingleObject(g_uiWorkDone, 0) == WAIT_OBJECT_0; }, true));
    // The one-minute liveness check would add a ping to whichever action
    // it meets.
    ZTData_TestSetLivenessPeriod(3600000);

    // Log in: the dialog, then the loads after it behind the progress dialog.
    volatile LONG loggedIn = 0;
    p->pLoginBr = nullptr;
    p->pLoginEmp = nullptr;
    OnUi([&] {
        if (Login_Run(p) == 1 && Startup_RunPhase(p) == 1) {
            Shell_Setup();    // every right
            InterlockedExchange(&loggedIn, 1);
        }
    });
    HWND login = nullptr;
    WaitFor([&] { return (login = Dialog("Kelmora中介管理")) != nullptr; });
    SetDlgItemTextA(login, IDC_LOGIN_PWD, "482913");
    out.push_back(Measure(kActions[1], [&] { PostMessageA(login, WM_COMMAND, IDOK, 0); },
                          [&] { return loggedIn && WaitForSingleObject(g_uiWorkDone, 0) == WAIT_OBJECT_0; }));
    if (!loggedIn) {
        fprintf(stderr, "no login\n");
        exit(1);
    }
    OnUi([] { g_frame = Shell_CreateFrame(); });
    WaitUi();

    // The house list, a find, a house selected.
    out.push_back(Measure(kActions[2], [] { SendMessageA(g_frame, WM_COMMAND, IDM_HOUSE, 0); },
                          [] { return Loaded("ZT_CHILD_HOU"); }));
    ZT_MODWIN* w = Window("ZT_CHILD_HOU");
    HWND panel = ListingWindow_Panel(w->hwnd);
    SetDlgItemTextA(panel, IDC_HF_TRADE, "出售");
    SetDlgItemTextA(panel, IDC_HF_PRICE_MIN, "100");
    SetDlgItemTextA(panel, IDC_HF_PRICE_MAX, "300");
    out.push_back(Measure(kActions[3], [&] { SendMessageA(GetDlgItem(panel, IDC_HF_FIND), BM_CLICK, 0, 0); },
                          [] { return Loaded("ZT_CHILD_HOU"); }));
    FOLLOW_LIST* follows = ListingWindow_Follows(w);
    out.push_back(Measure(kActions[4], [&] { SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST); },
                          [&] {
                              const tagHOUSE* h = static_cast<const tagHOUSE*>(Module_Selected(w));
                              return h && follows->iHou == h->iOrdinal && follows->pFol && Quiet();
                          }));

    // The modify form, a change saved (the form closes).
    HWND form = nullptr;
    out.push_back(Measure(kActions[5], [&] { PostMessageA(w->hwnd, WM_COMMAND, ID_HOUSE_MODIFY, 0); },
                          [&] { return (form = Dialog("修改房源")) != nullptr && Quiet(); }));
    char remark[64];
    snprintf(remark, sizeof(remark), "第%d遍的备注", pass);
    SetDlgItemTextA(form, IDC_HD_REMARK, remark);
    out.push_back(Measure(kActions[6], [&] { PostMessageA(form, WM_COMMAND, IDOK, 0); },
                          [&] { return !IsWindow(form) && Quiet(); }));

    // The form again, and a follow-up with a reminder written from it.
    PostMessageA(w->hwnd, WM_COMMAND, ID_HOUSE_MODIFY, 0);
    WaitFor([&] { return (form = Dialog("修改房源")) != nullptr && Quiet(); });
    PostMessageA(form, WM_COMMAND, IDC_HD_WRITEFOLLOW, 0);
    HWND fw = nullptr;
    WaitFor([&] { return (fw = Dialog("房源跟进")) != nullptr; });
    SetDlgItemTextA(fw, IDC_FW_CONTENT, "业主同意周末看房");
    SendDlgItemMessageA(fw, IDC_FW_REMIND, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(fw, WM_COMMAND, MAKEWPARAM(IDC_FW_REMIND, BN_CLICKED), 0);
    char today[16];
    Date_Today(today, sizeof(today));
    SetDlgItemTextA(fw, IDC_FW_REMIND_DAY, today);
    SetDlgItemTextA(fw, IDC_FW_REMIND_TEXT, "周六带客户看房");
    out.push_back(Measure(kActions[7], [&] { PostMessageA(fw, WM_COMMAND, IDOK, 0); },
                          [&] { return !IsWindow(fw) && Quiet(); }));
    PostMessageA(form, WM_COMMAND, IDCANCEL, 0);
    WaitFor([&] { return !IsWindow(form) && Quiet(); });

    // The client list and a client.
    out.push_back(Measure(kActions[8], [] { SendMessageA(g_frame, WM_COMMAND, IDM_CLIENT, 0); },
                          [] { return Loaded("ZT_CHILD_CLI"); }));
    ZT_MODWIN* c = Window("ZT_CHILD_CLI");
    SendMessageA(c->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
    WaitFor([] { return Quiet(); });
    HWND cform = nullptr;
    out.push_back(Measure(kActions[9], [&] { PostMessageA(c->hwnd, WM_COMMAND, ID_CLIENT_MODIFY, 0); },
                          [&] { return (cform = Dialog("修改客源")) != nullptr && Quiet(); }));
    PostMessageA(cform, WM_COMMAND, IDCANCEL, 0);
    WaitFor([&] { return !IsWindow(cform) && Quiet(); });

    OnUi([] {
        Shell_DestroyFrame(g_frame);
        g_frame = nullptr;
    });
    WaitUi();
    return out;
}

struct DriverArgs {
    int reps;
    int serverPort;
    tagZT_SQL_MATION* settings;
    std::vector<std::vector<Cost>> direct, line;
};

DWORD WINAPI Driver(LPVOID pv)
{
    DriverArgs* a = static_cast<DriverArgs*>(pv);
    int pass = 0;
    for (int i = 0; i < a->reps; i++)
        a->direct.push_back(Day(++pass, a->settings, a->serverPort));
    if (g_relay)
        for (int i = 0; i < a->reps; i++)
            a->line.push_back(Day(++pass, a->settings, Relay_Port(g_relay)));
    InterlockedExchange(&g_stop, 1);
    PostThreadMessageA(g_uiThread, WM_NULL, 0, 0);
    return 0;
}

}  // namespace

int main()
{
    ZTData_SetMessageBoxHook(TestBoxes_Hook());
    tagZT_SQL_MATION* settings = TestDb_Open("kelmora_b_trips");
    if (!settings)
        return 1;
    std::string err;
    if (!DbTool_Demo(TestDb_Conn(), &err)) {
        fprintf(stderr, "demo data: %s\n", err.c_str());
        return 1;
    }
    Shell_Setup();
    g_ZTMain.sql = *settings;
    g_ZTMain.bRemindOff = 1;
    // The follow-up thresholds of the config.ini tools/run writes.
    g_ZTMain.bRemind1 = 7;
    g_ZTMain.bRemind2 = 30;
    ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    if (!Module_RegisterClasses(g_ZTMain.hInst))
        return 1;
    g_uiThread = GetCurrentThreadId();
    g_uiWorkDone = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);    // the thread's queue, before the driver posts

    int serverPort = settings->iPort;
    g_relay = Relay_Start(serverPort, kLineDelayMs);
    if (!g_relay)
        printf("(no relay could listen on loopback: the times over a line are not measured)\n");

    DriverArgs args;
    args.reps = atoi(TestEnv("ZT_TRIPS_REPS", "3").c_str());
    if (args.reps < 1)
        args.reps = 1;
    args.serverPort = serverPort;
    args.settings = settings;
    HANDLE driver = CreateThread(nullptr, 0, Driver, &args, 0, nullptr);
    while (!g_stop) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_BENCH_WORK && !m.hwnd) {
                std::function<void()> fn = g_uiWork;
                fn();
                SetEvent(g_uiWorkDone);
                continue;
            }
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    WaitForSingleObject(driver, INFINITE);

    printf("Round trips per action (statements and connection checks as the server counted them for the\n"
           "program's session; round trips on the line; times median of %d: here on loopback, and over a\n"
           "line with %d ms of round-trip time)\n\n",
           args.reps, kLineDelayMs);
    printf("%-50s %6s %6s %6s %9s %9s\n", "action", "stmts", "pings", "trips", "here ms", "line ms");
    for (int i = 0; i < kNumActions; i++) {
        std::vector<double> here, line;
        for (auto& d : args.direct)
            here.push_back(d[i].ms);
        for (auto& d : args.line)
            line.push_back(d[i].ms);
        const Cost& c = args.direct[0][i];
        long trips = args.line.empty() ? -1 : args.line[0][i].trips;
        bool same = true;
        for (auto& d : args.direct)
            same = same && d[i].statements == c.statements && d[i].pings == c.pings;
        printf("%-50s %6ld %6ld %6ld %9.1f %9.1f%s\n", kActions[i], c.statements, c.pings, trips, Median(here),
               Median(line), same ? "" : "  (counts differ between passes)");
    }
    Relay_Stop(g_relay);
    TestDb_Close();
    return 0;
}
