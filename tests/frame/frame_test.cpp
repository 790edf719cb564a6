// The main frame: module windows by menu command, forwarding, sizing,
// closing, the window commands, the reminder timer and the menu on screen.
#include "tests/support/window_driver.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

class FrameTest : public testing::Test {
protected:
    HWND frame = nullptr;
    void SetUp() override
    {
        Shell_Setup();
        TestBoxes_Reset();
        frame = Shell_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        Frame_SetReminderCheck(nullptr);
        Shell_DestroyFrame(frame);
    }
    HWND Active() { return reinterpret_cast<HWND>(SendMessageA(Frame_MDIClient(), WM_MDIGETACTIVE, 0, 0)); }
};

// What a subclassed child received.
struct Seen {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;
WNDPROC g_oldChildProc = nullptr;

// Commands from the child's own controls (its grid's notifications) are
// not what the frame forwards, and are not recorded.
LRESULT CALLBACK RecordingChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && !IsChild(hwnd, reinterpret_cast<HWND>(lParam)))
        g_seen.push_back({msg, wParam, lParam});
    return CallWindowProcA(g_oldChildProc, hwnd, msg, wParam, lParam);
}

void Record(HWND child)
{
    g_seen.clear();
    g_oldChildProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingChildProc)));
}

TEST_F(FrameTest, CreatedLikeTheEntryWithClientMenuAndCaption)
{
    EXPECT_EQ(Frame_Window(), frame);
    HWND client = Frame_MDIClient();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(Shell_Class(client), "MDIClient");
    EXPECT_EQ(GetDlgCtrlID(client), 2);
    EXPECT_EQ(GetParent(client), frame);
    EXPECT_EQ(Ui_Text(frame), "Kelmora");
    EXPECT_EQ(GetMenu(frame), g_ZTMain.hMainMenu);

    // The client fills the frame's client area.
    RECT rf, rc;
    GetClientRect(frame, &rf);
    GetClientRect(client, &rc);
    RECT rw = Ui_WindowRect(client);
    POINT tl = {rw.left, rw.top};
    ScreenToClient(frame, &tl);
    EXPECT_EQ(tl.x, 0);
    EXPECT_EQ(tl.y, 0);
    EXPECT_EQ(rw.right - rw.left, rf.right);
    EXPECT_EQ(rw.bottom - rw.top, rf.bottom);
    EXPECT_EQ(Shell_ChildCount(), 0);
}

TEST_F(FrameTest, HouseBrowsingTwiceLeavesOneFocusedHouseWindow)
{
    Shell_Command(frame, IDM_HOUSE);
    HWND house = Frame_FindChild(ZT_CLASS_CHILD_HOU);
    ASSERT_NE(house, nullptr);
    EXPECT_EQ(Ui_Text(house), "房源浏览");
    EXPECT_TRUE(IsZoomed(house));
    // The window was handed the parameter block.
    ASSERT_NE(Module_Of(house), nullptr);
    EXPECT_EQ(Module_Of(house)->p, &g_ZTMain);
    // The maximised child fills the client: no empty scroll bars beside it.
    LONG clientStyle = GetWindowLongA(Frame_MDIClient(), GWL_STYLE);
    EXPECT_FALSE(clientStyle & WS_VSCROLL);
    EXPECT_FALSE(clientStyle & WS_HSCROLL);

    // Another module in front, then house browsing again.
    Shell_Command(frame, IDM_CLIENT);
    HWND client = Frame_FindChild(ZT_CLASS_CHILD_CLI);
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(Active(), client);
    SetFocus(client);

    Shell_Command(frame, IDM_HOUSE);
    EXPECT_EQ(Shell_ChildCount(ZT_CLASS_CHILD_HOU), 1);
    EXPECT_EQ(Shell_ChildCount(), 2);
    EXPECT_EQ(Frame_FindChild(ZT_CLASS_CHILD_HOU), house);
    EXPECT_EQ(Active(), house);
    EXPECT_EQ(GetFocus(), house);
    EXPECT_EQ(Frame_OpenModule(&g_ZTMain, IDM_HOUSE), house);
}

TEST_F(FrameTest, EveryModuleCommandOpensItsClassWithItsCaption)
{
    // The organisation window reads its permission presets and positions
    // when it opens, and closes when it cannot.
    ASSERT_NE(TestDb_Open("kelmora_frame_modules"), nullptr);
    struct Closing {
        ~Closing() { TestDb_Close(); }
    } closing;
    struct {
        int cmd;
        const char* cls;
        const char* caption;
    } table[] = {
        {IDM_AREA, "ZT_CHILD_URBAN", "城区管理"},     {IDM_PARAM, "ZT_CHILD_ARGC", "参数管理"},
        {IDM_HOUSE, "ZT_CHILD_HOU", "房源浏览"},      {IDM_BRANCH, "ZT_CHILD_EMP", "部门、员工、职位管理"},
        {IDM_ESTATE, "ZT_CHILD_EST", "楼盘字典"},     {IDM_CLIENT, "ZT_CHILD_CLI", "客源浏览"},
        {IDM_HOUSE_FOLLOW, "ZT_CHILD_HOU_F", "房源跟进"}, {IDM_CLIENT_FOLLOW, "ZT_CHILD_CLI_F", "客源跟进"},
        {IDM_LOG, "ZT_CHILD_LOG", "操作日志"},        {IDM_RECYCLE, "ZT_CHILD_RECY", "回收站"},
    };
    for (auto& t : table) {
        Shell_Command(frame, t.cmd);
        HWND child = Frame_FindChild(t.cls);
        ASSERT_NE(child, nullptr) << t.cls;
        EXPECT_EQ(Ui_Text(child), t.caption) << t.cls;
        EXPECT_EQ(Active(), child) << t.cls;
        WNDCLASSEXA wc;
        wc.cbSize = sizeof(wc);
        ASSERT_TRUE(GetClassInfoExA(g_ZTMain.hInst, t.cls, &wc));
        EXPECT_TRUE(wc.style & CS_DBLCLKS);
        EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        EXPECT_EQ(wc.lpszMenuName, nullptr);
    }
    EXPECT_EQ(Shell_ChildCount(), 10);

    // Restored, the area and parameter windows have their own sizes.
    auto restored = [](const char* cls) {
        HWND h = Frame_FindChild(cls);
        SendMessageA(Frame_MDIClient(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(h), 0);
        Ui_Pump(40);
        return Ui_WindowRect(h);
    };
    RECT ra = restored("ZT_CHILD_URBAN");
    EXPECT_EQ(ra.right - ra.left, 600);
    EXPECT_EQ(ra.bottom - ra.top, 499);
    RECT rp = restored("ZT_CHILD_ARGC");
    EXPECT_EQ(rp.right - rp.left, 600);
    EXPECT_EQ(rp.bottom - rp.top, 500);

    // The window menu lists the children from id 10000 on.
    HMENU bar = GetMenu(frame), win = nullptr;
    for (int i = 0; i < GetMenuItemCount(bar) && !win; i++) {
        HMENU sub = GetSubMenu(bar, i);
        if (sub && GetMenuState(sub, IDM_CASCADE, MF_BYCOMMAND) != static_cast<UINT>(-1))
            win = sub;
    }
    ASSERT_NE(win, nullptr);
    char text[100] = "";
    EXPECT_GT(GetMenuStringA(win, ZT_FRAME_FIRST_CHILD, text, sizeof(text), MF_BYCOMMAND), 0);
    EXPECT_EQ(Shell_ChildCount(), 10);
}

TEST_F(FrameTest, ModuleOpensOnlyWhenTheOpenCheckGrantsIt)
{
    // Whatever the permission library makes of these words, the frame opens
    // exactly the windows the open check grants.
    g_ZTMain.W1 = 0;
    g_ZTMain.W2 = 0;
    bool house = Rights_MayOpen(&g_ZTMain, ZTM_HOUSE) != FALSE;
    bool client = Rights_MayOpen(&g_ZTMain, ZTM_CLIENT) != FALSE;
    Shell_Command(frame, IDM_HOUSE);
    Shell_Command(frame, IDM_CLIENT);
    EXPECT_EQ(Shell_ChildCount(ZT_CLASS_CHILD_HOU), house ? 1 : 0);
    EXPECT_EQ(Shell_ChildCount(ZT_CLASS_CHILD_CLI), client ? 1 : 0);
    // Each refused one says so.
    std::vector<std::string> said;
    for (const TestBox& b : TestBoxes_Taken())
        said.push_back(b.text);
    std::vector<std::string> want;
    if (!house)
        want.push_back("没有房源浏览的权限");
    if (!client)
        want.push_back("没有客源浏览的权限");
    EXPECT_EQ(said, want);
}

TEST_F(FrameTest, UnknownCommandsReachTheActiveChildUnchanged)
{
    // No child: dropped without harm.
    Shell_Command(frame, 1317);

    // A module child records what reaches it.
    Shell_Command(frame, IDM_LOG);
    HWND child = Frame_FindChild(ZT_CLASS_CHILD_LOG);
    ASSERT_NE(child, nullptr);
    Record(child);

    Shell_Command(frame, 1317, 0, 0x1234);        // a module's own command
    Shell_Command(frame, 19, 1, 0);               // refresh by accelerator
    Shell_Command(frame, 9999, 0x300, 0x77);
    ASSERT_EQ(g_seen.size(), 3u);
    EXPECT_EQ(g_seen[0].wParam, static_cast<WPARAM>(MAKEWPARAM(1317, 0)));
    EXPECT_EQ(g_seen[0].lParam, 0x1234);
    EXPECT_EQ(g_seen[1].wParam, static_cast<WPARAM>(MAKEWPARAM(19, 1)));
    EXPECT_EQ(g_seen[1].lParam, 0);
    EXPECT_EQ(g_seen[2].wParam, static_cast<WPARAM>(MAKEWPARAM(9999, 0x300)));
    EXPECT_EQ(g_seen[2].lParam, 0x77);

    // The frame's own commands are not forwarded, nor ids from 10000 on
    // that name no child.
    g_seen.clear();
    Shell_Command(frame, 40153, 0, 0);
    Shell_Command(frame, IDM_AUTO_REMIND);
    Shell_Command(frame, IDM_LOG);
    Shell_Command(frame, IDM_CASCADE);
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(Shell_ChildCount(), 1);

    // The forward goes to the active child only.
    Shell_Command(frame, IDM_ESTATE);
    g_seen.clear();
    Shell_Command(frame, 18);
    EXPECT_TRUE(g_seen.empty());

    // From 10000 the frame's default handling: the window-menu entry of
    // the first child brings it forward.
    Shell_Command(frame, ZT_FRAME_FIRST_CHILD);
    EXPECT_EQ(Active(), child);
    EXPECT_TRUE(g_seen.empty());
    SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_oldChildProc));
}

TEST_F(FrameTest, ClientLowerOrNarrowerThan400SnapsTheFrameTo400)
{
    RECT rw = Ui_WindowRect(frame), rc;
    GetClientRect(frame, &rc);
    int ncx = (rw.right - rw.left) - rc.right;
    int ncy = (rw.bottom - rw.top) - rc.bottom;

    // A client 500 x 500 stays.
    SetWindowPos(frame, nullptr, 0, 0, 500 + ncx, 500 + ncy, SWP_NOMOVE | SWP_NOZORDER);
    Ui_Pump(40);
    GetClientRect(frame, &rc);
    EXPECT_EQ(rc.right, 500);
    EXPECT_EQ(rc.bottom, 500);

    // 399 high.
    SetWindowPos(frame, nullptr, 0, 0, 700 + ncx, 399 + ncy, SWP_NOMOVE | SWP_NOZORDER);
    Ui_Pump(40);
    RECT r = Ui_WindowRect(frame);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 400);

    // 399 wide.
    SetWindowPos(frame, nullptr, 0, 0, 399 + ncx, 700 + ncy, SWP_NOMOVE | SWP_NOZORDER);
    Ui_Pump(40);
    r = Ui_WindowRect(frame);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 400);

    // The client still fills the (snapped) frame.
    RECT rf, rcl;
    GetClientRect(frame, &rf);
    GetClientRect(Frame_MDIClient(), &rcl);
    RECT rcw = Ui_WindowRect(Frame_MDIClient());
    EXPECT_EQ(rcw.right - rcw.left, rf.right);
    EXPECT_EQ(rcw.bottom - rcw.top, rf.bottom);

    // Minimising is no reason to snap.
    ShowWindow(frame, SW_MINIMIZE);
    Ui_Pump(60);
    EXPECT_TRUE(IsIconic(frame));
    ShowWindow(frame, SW_RESTORE);
    Ui_Pump(60);
}

TEST_F(FrameTest, ExitClosesEverythingWithoutAQuestion)
{
    Shell_Command(frame, IDM_HOUSE);
    Shell_Command(frame, IDM_CLIENT);
    HWND house = Frame_FindChild(ZT_CLASS_CHILD_HOU);
    HWND client = Frame_FindChild(ZT_CLASS_CHILD_CLI);
    ASSERT_TRUE(house && client);

    SendMessageA(frame, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(house));
    EXPECT_FALSE(IsWindow(client));
    EXPECT_EQ(Frame_Window(), nullptr);
    EXPECT_EQ(Frame_MDIClient(), nullptr);
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // Destroying the frame ends the message loop with 0.
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 0u);
    frame = nullptr;
}

TEST_F(FrameTest, CascadeTileAndCloseAll)
{
    Shell_Command(frame, IDM_HOUSE);
    Shell_Command(frame, IDM_CLIENT);
    Shell_Command(frame, IDM_ESTATE);
    HWND kids[3] = {Frame_FindChild(ZT_CLASS_CHILD_HOU), Frame_FindChild(ZT_CLASS_CHILD_CLI),
                    Frame_FindChild(ZT_CLASS_CHILD_EST)};
    for (HWND k : kids)
        ASSERT_NE(k, nullptr);
    SendMessageA(Frame_MDIClient(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(Active()), 0);
    Ui_Pump(40);

    Shell_Command(frame, IDM_CASCADE);
    RECT r[3];
    for (int i = 0; i < 3; i++) {
        EXPECT_FALSE(IsZoomed(kids[i]));
        r[i] = Ui_WindowRect(kids[i]);
    }
    // Cascaded: three different top-left corners, stepping down and right.
    EXPECT_NE(r[0].left, r[1].left);
    EXPECT_NE(r[1].left, r[2].left);
    EXPECT_NE(r[0].top, r[1].top);
    EXPECT_NE(r[1].top, r[2].top);

    Shell_Command(frame, IDM_TILE);
    RECT client;
    GetClientRect(Frame_MDIClient(), &client);
    int area = 0;
    for (int i = 0; i < 3; i++) {
        r[i] = Ui_WindowRect(kids[i]);
        area += (r[i].right - r[i].left) * (r[i].bottom - r[i].top);
    }
    for (int i = 0; i < 3; i++)
        for (int j = i + 1; j < 3; j++) {
            RECT x;
            EXPECT_FALSE(IntersectRect(&x, &r[i], &r[j])) << i << " overlaps " << j;
        }
    EXPECT_GE(area, client.right * client.bottom * 9 / 10);

    Shell_Command(frame, IDM_CLOSEALL);
    EXPECT_EQ(Shell_ChildCount(), 0);
    for (HWND k : kids)
        EXPECT_FALSE(IsWindow(k));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(TestBoxes_Count(), 0u);
}

// ---- Reminder timer ----------------------------------------------------------------------

volatile LONG g_checks = 0;
volatile LPVOID g_checkArg = nullptr;
volatile DWORD g_checkThread = 0;

DWORD WINAPI CountingCheck(LPVOID arg)
{
    g_checkArg = arg;
    g_checkThread = GetCurrentThreadId();
    InterlockedIncrement(&g_checks);
    return 0;
}

TEST_F(FrameTest, TimerStartsTheReminderCheckOnItsOwnThreadAfterASecond)
{
    Shell_DestroyFrame(frame);
    g_checks = 0;
    Frame_SetReminderCheck(CountingCheck);
    frame = Shell_CreateFrame();
    ASSERT_NE(frame, nullptr);
    Ui_Pump(500);
    EXPECT_EQ(g_checks, 0);              // not before a second
    DWORD end = GetTickCount() + 3000;
    while (g_checks == 0 && static_cast<int>(end - GetTickCount()) > 0)
        Ui_Pump(50);
    ASSERT_EQ(g_checks, 1);
    EXPECT_EQ(g_checkArg, &g_ZTMain);
    EXPECT_NE(g_checkThread, GetCurrentThreadId());
    // Then every five minutes, not every second.
    Ui_Pump(1500);
    EXPECT_EQ(g_checks, 1);
}

TEST_F(FrameTest, NoReminderCheckWhenRemindersAreOffOrNoneIsSet)
{
    Shell_DestroyFrame(frame);
    g_checks = 0;
    Frame_SetReminderCheck(CountingCheck);
    g_ZTMain.bRemindOff = 1;
    frame = Shell_CreateFrame();
    ASSERT_NE(frame, nullptr);
    Ui_Pump(1600);
    EXPECT_EQ(g_checks, 0);
    g_ZTMain.bRemindOff = 0;

    // None set: the timer fires and nothing happens.
    Shell_DestroyFrame(frame);
    Frame_SetReminderCheck(nullptr);
    frame = Shell_CreateFrame();
    Ui_Pump(1300);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(g_checks, 0);
}

// ---- Dialogs of the frame -------------------------------------------------------------------

HWND g_optionsParent = nullptr;
LPARAM g_optionsParam = 0;
int g_optionsRuns = 0;

INT_PTR OptionsStandIn(HWND hOwner, tagZT_Main_Param* p)
{
    ++g_optionsRuns;
    g_optionsParent = hOwner;
    g_optionsParam = reinterpret_cast<LPARAM>(p);
    return IDCANCEL;
}

TEST_F(FrameTest, SystemOptionsRunOverTheClientOnlyWithTheirTemplate)
{
    g_optionsRuns = 0;
    Shell_Command(frame, IDM_SYSOPT);        // no procedure: nothing
    EXPECT_EQ(g_optionsRuns, 0);
    Frame_SetOptionsDialog(OptionsStandIn);
    Shell_Command(frame, IDM_SYSOPT);
    Frame_SetOptionsDialog(nullptr);
    bool haveTemplate = FindResourceA(g_ZTMain.hInst, MAKEINTRESOURCEA(IDD_SYSOPT),
                                      reinterpret_cast<LPCSTR>(RT_DIALOG)) != nullptr;
    if (!haveTemplate) {
        EXPECT_EQ(g_optionsRuns, 0);
    } else {
        EXPECT_EQ(g_optionsRuns, 1);
        EXPECT_EQ(g_optionsParam, reinterpret_cast<LPARAM>(&g_ZTMain));
    }
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(Shell_ChildCount(), 0);
}

// ---- The menu on screen ---------------------------------------------------------------------

struct MenuLook {
    bool seen = false;
    int dark = 0, light = 0;
    int textLike = 0;
    std::string shot;
    RECT popup = {0, 0, 0, 0};
};
MenuLook g_look;

// One pixel of a saved screenshot as 0x00RRGGBB (0xFFFFFFFF when unreadable).
uint32_t ShotPixel(const std::string& png, int x, int y)
{
    std::string cmd = "convert '" + png + "' -format '%[fx:int(255*p{" + std::to_string(x) + "," +
                      std::to_string(y) + "}.r)] %[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) +
                      "}.g)] %[fx:int(255*p{" + std::to_string(x) + "," + std::to_string(y) + "}.b)]' info: 2>/dev/null";
    std::string out;
    if (TestShell(cmd, &out) != 0)
        return 0xFFFFFFFFu;
    int r = -1, g = -1, b = -1;
    int n = sscanf(out.c_str(), "%d %d %d", &r, &g, &b);
    if (n != 3)
        return 0xFFFFFFFFu;
    return static_cast<uint32_t>((r << 16) | (g << 8) | b);
}

void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND pop = Ui_ThreadWindow("#32768");
    if (pop) {
        g_look.seen = true;
        g_look.popup = Ui_WindowRect(pop);
        Shot s = Ui_Capture(pop);
        for (uint32_t c : s.px) {
            int lum = (Red(c) * 3 + Green(c) * 6 + Blue(c)) / 10;
            if (lum < 90)
                ++g_look.dark;
            else if (lum > 180)
                ++g_look.light;
        }
        g_look.shot = Ui_Screenshot("frame_menu_open");
    }
    EndMenu();
}

TEST_F(FrameTest, ScreenshotWithTheHouseMenuOpen)
{
    Shell_Command(frame, IDM_HOUSE);
    Ui_Pump(100);
    g_look = MenuLook();
    SetTimer(nullptr, 0, 400, LookAtMenu);
    // Alt+H, as the user opens "房源管理(&H)".
    PostMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, 'h');
    Ui_Pump(1500);
    ASSERT_TRUE(g_look.seen);
    // The popup: a light face with dark item texts on it, below the menu bar.
    int total = (g_look.popup.right - g_look.popup.left) * (g_look.popup.bottom - g_look.popup.top);
    EXPECT_GT(g_look.light, total / 2);
    EXPECT_GT(g_look.dark, 10);
    RECT rf = Ui_WindowRect(frame);
    RECT rc;
    GetClientRect(frame, &rc);
    POINT origin = {0, 0};
    ClientToScreen(frame, &origin);
    EXPECT_GE(g_look.popup.top, origin.y - 2);
    EXPECT_GT(g_look.popup.left, rf.left);
    if (!TestEnv("ZT_TEST_SHOTS").empty()) {
        ASSERT_FALSE(g_look.shot.empty());
        // In the picture: the popup's face is light, the frame's caption bar
        // is not the face colour of the client below it.
        int cx = (g_look.popup.left + g_look.popup.right) / 2;
        uint32_t face = ShotPixel(g_look.shot, g_look.popup.right - 4, g_look.popup.bottom - 4);
        EXPECT_GT(Red(face) + Green(face) + Blue(face), 3 * 180);
        uint32_t caption = ShotPixel(g_look.shot, (rf.left + rf.right) / 2, rf.top + 8);
        uint32_t client = ShotPixel(g_look.shot, (rf.left + rf.right) / 2, rf.bottom - 40);
        EXPECT_NE(caption, client);
        EXPECT_NE(ShotPixel(g_look.shot, cx, g_look.popup.top + 2), 0xFFFFFFFFu);
    }
    EXPECT_TRUE(IsWindow(frame));
}

}  // namespace

namespace {

TEST_F(FrameTest, UserOpensTheHouseListWithTheMouse)
{
    HMENU bar = GetMenu(frame);
    int pos = -1;
    for (int i = 0; i < GetMenuItemCount(bar); i++) {
        HMENU sub = GetSubMenu(bar, i);
        if (sub && GetMenuState(sub, IDM_HOUSE, MF_BYCOMMAND) != static_cast<UINT>(-1))
            pos = i;
    }
    ASSERT_GE(pos, 0);
    HMENU popup = GetSubMenu(bar, pos);
    ASSERT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_HOUSE));
    RECT r;
    ASSERT_TRUE(GetMenuItemRect(frame, bar, pos, &r));
    Ui_ClickMenuItemSoon(popup, IDM_HOUSE);
    Ui_Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Ui_Pump(600);
    EXPECT_TRUE(Ui_MenuClicked());
    HWND house = Frame_FindChild(ZT_CLASS_CHILD_HOU);
    ASSERT_NE(house, nullptr);
    EXPECT_TRUE(IsZoomed(house));
    EXPECT_EQ(Active(), house);
    Ui_MouseTo(5, 5);
}

}  // namespace

namespace {

std::string FrameCaption(HWND frame)
{
    char sz[256] = "";
    GetWindowTextA(frame, sz, sizeof(sz));
    return sz;
}

TEST_F(FrameTest, TheCaptionNamesTheActiveChildAfterEverySwitch)
{
    HWND house = Frame_OpenModule(&g_ZTMain, IDM_HOUSE);
    HWND client = Frame_OpenModule(&g_ZTMain, IDM_CLIENT);
    ASSERT_NE(house, nullptr);
    ASSERT_NE(client, nullptr);
    Ui_Pump(60);
    EXPECT_NE(FrameCaption(frame).find("客源浏览"), std::string::npos) << FrameCaption(frame);
    // The user picks the house list from the window menu, then the client
    // list again with Ctrl+F6 (the next child).
    Shell_Command(frame, GetDlgCtrlID(house));
    Ui_Pump(60);
    ASSERT_EQ(Active(), house);
    EXPECT_NE(FrameCaption(frame).find("房源浏览"), std::string::npos) << FrameCaption(frame);
    EXPECT_EQ(FrameCaption(frame).find("客源浏览"), std::string::npos) << FrameCaption(frame);
    SendMessageA(Frame_MDIClient(), WM_MDINEXT, 0, 0);
    Ui_Pump(60);
    ASSERT_EQ(Active(), client);
    EXPECT_NE(FrameCaption(frame).find("客源浏览"), std::string::npos) << FrameCaption(frame);
    EXPECT_EQ(FrameCaption(frame).find("房源浏览"), std::string::npos) << FrameCaption(frame);
    // Closing the active one names the one that is left.
    SendMessageA(Frame_MDIClient(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(client), 0);
    Ui_Pump(60);
    EXPECT_NE(FrameCaption(frame).find("房源浏览"), std::string::npos) << FrameCaption(frame);
}

// Clicks an item of the main menu's "窗口(&W)" popup with the mouse.
void ClickWindowMenu(HWND frame, UINT cmd)
{
    int pos = Wd_MenuPos(frame, IDM_CASCADE);
    ASSERT_GE(pos, 0);
    bool clicked = Wd_ClickMenuAt(frame, pos, cmd);
    Ui_Pump(400);
    EXPECT_TRUE(clicked);
}

TEST_F(FrameTest, TheWindowMenuKeepsTheActiveChildInTheCaption)
{
    // As the program shows it: maximised, the house list opened first.
    HWND house = Frame_OpenModule(&g_ZTMain, IDM_HOUSE);
    ShowWindow(frame, SW_SHOWMAXIMIZED);
    UpdateWindow(frame);
    HWND client = Frame_OpenModule(&g_ZTMain, IDM_CLIENT);
    ASSERT_NE(house, nullptr);
    ASSERT_NE(client, nullptr);
    Ui_Pump(200);
    const std::string product = g_ZTMain.szProduct;
    // The user switches through "窗口(&W)": to the house list, cascades
    // the windows, then to the client list and back.
    for (UINT cmd : {static_cast<UINT>(GetDlgCtrlID(house)), static_cast<UINT>(IDM_CASCADE),
                     static_cast<UINT>(GetDlgCtrlID(client)), static_cast<UINT>(GetDlgCtrlID(house))}) {
        ClickWindowMenu(frame, cmd);
        HWND active = Active();
        ASSERT_NE(active, nullptr);
        char child[64] = "";
        GetWindowTextA(active, child, sizeof(child));
        EXPECT_EQ(FrameCaption(frame), product + " - [" + child + "]") << cmd;
        if (cmd != IDM_CASCADE) {
            EXPECT_EQ(GetDlgCtrlID(active), static_cast<int>(cmd));
        }
    }
    EXPECT_FALSE(IsZoomed(house));
    // With every child closed the caption is the program's own.
    Shell_Command(frame, IDM_CLOSEALL);
    Ui_Pump(200);
    EXPECT_EQ(FrameCaption(frame), product);
    Ui_MouseTo(5, 5);
}

TEST_F(FrameTest, AModuleOpenedBeforeTheFrameIsShownRestoresToAUsableSize)
{
    // As at start-up: the frame exists but is not on screen yet when the
    // house list opens; then the frame is shown maximised.
    Shell_DestroyFrame(frame);
    Shell_Setup();
    frame = CreateWindowExA(0, ZT_CLASS_MAINFRAME, "Kelmora", WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, g_ZTMain.hMainMenu,
                            g_ZTMain.hInst, nullptr);
    ASSERT_NE(frame, nullptr);
    HWND house = Frame_OpenModule(&g_ZTMain, IDM_HOUSE);
    ASSERT_NE(house, nullptr);
    ShowWindow(frame, SW_SHOWMAXIMIZED);
    UpdateWindow(frame);
    Ui_Pump(80);
    EXPECT_TRUE(IsZoomed(house));
    SendMessageA(Frame_MDIClient(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(house), 0);
    Ui_Pump(60);
    RECT rc = Ui_WindowRect(house), rcClient;
    GetClientRect(Frame_MDIClient(), &rcClient);
    EXPECT_GE(rc.right - rc.left, 400);
    EXPECT_GE(rc.bottom - rc.top, 300);
    EXPECT_LE(rc.right - rc.left, rcClient.right);
    EXPECT_LE(rc.bottom - rc.top, rcClient.bottom);
}

// A reminder check that takes a while and talks to the frame on its way.
volatile LONG g_checkDone = 0;
DWORD WINAPI SlowCheck(LPVOID)
{
    Sleep(300);
    SendMessageA(Frame_Window(), WM_NULL, 0, 0);
    Sleep(100);
    InterlockedExchange(&g_checkDone, 1);
    return 0;
}

TEST_F(FrameTest, ClosingTheFrameWaitsForARunningReminderCheck)
{
    g_checkDone = 0;
    Frame_SetReminderCheck(SlowCheck);
    SendMessageA(frame, WM_TIMER, ZT_FRAME_TIMER, 0);
    Sleep(50);
    DestroyWindow(frame);
    EXPECT_EQ(g_checkDone, 1);     // the check ended before the frame was gone
    Shell_DestroyFrame(frame);
    frame = nullptr;
}

}  // namespace
