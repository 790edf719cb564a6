// The filter panel and the splitters.
#include "tests/support/window_driver.h"

namespace {

class PanelTest : public ControlHostTest {
protected:
    PanelTest() : ControlHostTest(100, 100, 500, 300) {}
    // Presses on the splitter, moves to host x, releases.
    void Drag(HWND splitter, int toX)
    {
        POINT c = Ui_Centre(splitter);
        RECT rh = Ui_WindowRect(host);
        Ui_Press(c.x, c.y);
        Ui_MouseTo((c.x + rh.left + toX) / 2, c.y);
        Ui_MouseTo(rh.left + toX, c.y);
        Ui_Release();
        Ui_Pump(30);
    }
};

TEST_F(PanelTest, PanelClipsItsChildrenDrawsItsFrameAndPassesCommandsOn)
{
    HWND panel = Ui_Child(host, ZT_CLASS_TPANEL, 0, 10, 10, 300, 112, 1328);
    LONG_PTR style = GetWindowLongPtrA(panel, GWL_STYLE);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    UpdateWindow(panel);
    Shot s = Ui_Capture(panel);
    ASSERT_EQ(300, s.w);
    // Etched frame from the skin sheet: dark outer line, light inner line,
    // both along every side; the inside keeps the panel's face colour.
    EXPECT_EQ(0x91A7C4u, s.at(150, 0));
    EXPECT_EQ(0xFFFFFFu, s.at(150, 1));
    EXPECT_EQ(0x91A7C4u, s.at(0, 50));
    EXPECT_EQ(0x91A7C4u, s.at(150, s.h - 2));
    EXPECT_EQ(0x91A7C4u, s.at(s.w - 2, 50));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t inside = s.at(150, 50);
    EXPECT_EQ(static_cast<uint32_t>((GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face)), inside);

    HWND button = Ui_Child(panel, "BUTTON", BS_PUSHBUTTON, 20, 20, 60, 24, 1318, "查找");
    SendMessageA(button, BM_CLICK, 0, 0);
    Ui_Pump(30);
    EXPECT_EQ(1, Ui_CountCommand(1318, BN_CLICKED));
}

TEST_F(PanelTest, VerticalSplitterDragStopsAtX140)
{
    HWND splitter = Ui_Child(host, ZT_CLASS_VSPLITTER, 0, 100, 30, 2, 200, 5);
    Drag(splitter, 300);
    RECT rc = InHost(splitter);
    EXPECT_EQ(140, rc.right);
    EXPECT_EQ(2, rc.right - rc.left);
    EXPECT_EQ(30, rc.top);
    EXPECT_EQ(200, rc.bottom - rc.top);
    ASSERT_EQ(1u, Ui_Events().size());
    EXPECT_EQ(static_cast<UINT>(WM_SPLITTER_MOVED), Ui_Events()[0].msg);
    EXPECT_EQ(5, Ui_Events()[0].id);
    EXPECT_EQ(splitter, Ui_Events()[0].from);

    // Within the range the splitter lands where it was dropped.
    Drag(splitter, 60);
    rc = InHost(splitter);
    EXPECT_NEAR(60, rc.left, 1);
    EXPECT_EQ(2u, Ui_Events().size());

    // Past the left edge it stops at 0 and stays reachable.
    Drag(splitter, -40);
    EXPECT_EQ(0, InHost(splitter).left);

    // Resizing keeps it 2 pixels wide.
    MoveWindow(splitter, 50, 30, 12, 150, TRUE);
    rc = InHost(splitter);
    EXPECT_EQ(2, rc.right - rc.left);
    EXPECT_EQ(150, rc.bottom - rc.top);

    // The drag line is drawn by inverting and leaves nothing behind.
    UpdateWindow(host);
    Shot before = Ui_Capture(host);
    POINT c = Ui_Centre(splitter);
    RECT rh = Ui_WindowRect(host);
    Ui_Press(c.x, c.y);
    Ui_MouseTo(rh.left + 120, c.y);
    Shot during = Ui_Capture(host);
    EXPECT_NE(before.at(119, 100), during.at(119, 100));
    Ui_Release();
    Ui_Pump(50);
    UpdateWindow(host);
    Shot after = Ui_Capture(host);
    EXPECT_EQ(before.at(200, 100), after.at(200, 100));
}

TEST_F(PanelTest, HorizontalSplitterDoesNotMove)
{
    HWND splitter = Ui_Child(host, ZT_CLASS_HSPLITTER, 0, 10, 150, 400, 2, 7);
    RECT before = InHost(splitter);
    Drag(splitter, 50);
    RECT after = InHost(splitter);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_TRUE(Ui_Events().empty());
}

}  // namespace
