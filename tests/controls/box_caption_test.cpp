// Real message boxes (not the recorder): a box shown with an empty caption
// names the window it belongs to, or "Kelmora".
#include "tests/controls/ui_driver.h"
#include "common/zt_box.h"
#include <cstring>

namespace {

std::string g_seen;     // caption of the box the timer found

BOOL CALLBACK ReadBox(HWND hwnd, LPARAM)
{
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, IDOK))
        return TRUE;
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof(text));
    g_seen = text;
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK CloseBox(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!g_seen.empty() && g_seen != "<none>")
        return;
    g_seen = "<none>";
    EnumThreadWindows(GetCurrentThreadId(), ReadBox, 0);
    if (g_seen != "<none>")
        KillTimer(nullptr, id);
}

// Shows a real box and returns the caption it had on the screen.
std::string Caption(HWND owner, const char* caption)
{
    g_seen.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 150, CloseBox);
    ZT_MSGBOX_HOOK hook = ZT_SetMessageBoxHookLocal(nullptr);
    int answer = ZT_MessageBox(owner, "测试", caption, MB_OK);
    ZT_SetMessageBoxHookLocal(hook);
    KillTimer(nullptr, timer);
    EXPECT_EQ(IDOK, answer);
    return g_seen;
}

TEST(MessageBoxCaption, AnEmptyCaptionNamesTheWindowOrKelmora)
{
    Ui_Init();
    HWND dlg = Ui_CreateDialog(60, 60, 300, 200);
    ASSERT_NE(nullptr, dlg);
    SetWindowTextA(dlg, "修改房源");
    HWND box = Ui_Child(dlg, "EDIT", WS_BORDER, 10, 10, 100, 22, 1000);
    HWND bare = Ui_CreateHost(400, 60, 200, 100);      // a window without a caption

    EXPECT_EQ("修改房源", Caption(dlg, ""));
    EXPECT_EQ("修改房源", Caption(box, nullptr));      // a control: its dialog
    EXPECT_EQ("删除确认", Caption(box, "删除确认"));    // a caption given is kept
    EXPECT_EQ("Kelmora", Caption(nullptr, ""));
    SetWindowTextA(bare, "");
    EXPECT_EQ("Kelmora", Caption(bare, ""));

    // A box the recorder takes is recorded as the code asked for it.
    TestBoxes_Reset();
    ZT_MessageBox(box, "测试", "", MB_OK);
    ASSERT_EQ(1u, TestBoxes_Count());
    EXPECT_EQ("", TestBoxes_Taken()[0].caption);
    DestroyWindow(bare);
    DestroyWindow(dlg);
    Ui_Pump(30);
}

}  // namespace
