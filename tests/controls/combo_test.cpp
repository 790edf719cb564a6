// The drop-down box and its shared list, driven with real mouse input and
// posted keys.
#include "tests/support/window_driver.h"
#include <cstring>

namespace {

const int kId = 1001;

class ComboTest : public ControlHostTest {
protected:
    ComboTest() : ControlHostTest(100, 100, 520, 320) {}
    void TearDown() override
    {
        ControlHostTest::TearDown();
        // The shared list goes with the last box.
        EXPECT_EQ(nullptr, InputControls_DropList());
    }

    HWND Combo(DWORD style, int y = 20, int h = 20, int id = kId, int x = 20)
    {
        return Ui_Child(host, ZT_CLASS_COMBOBOX, WS_TABSTOP | style, x, y, 200, h, id);
    }
    static void Add(HWND combo, std::initializer_list<const char*> items)
    {
        for (const char* s : items)
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    static void AddNumbered(HWND combo, int n)
    {
        for (int i = 0; i < n; ++i) {
            char s[16];
            snprintf(s, sizeof(s), "item %d", i);
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        }
    }
    static void ClickBox(HWND combo)
    {
        POINT c = Ui_Centre(combo);
        Ui_Click(c.x - 40, c.y);
    }
    // Screen point in the middle of list row i (from the first visible row).
    static POINT Row(int i)
    {
        POINT pt = {30, i * 20 + 10};
        ClientToScreen(InputControls_DropList(), &pt);
        return pt;
    }
    static bool ListShown() { return Ui_Visible(InputControls_DropList()); }
};

TEST_F(ComboTest, ListHeightFollowsItemCountAndOpensBelowTheBox)
{
    HWND three = Combo(ZTCBS_DROPLIST, 20);
    HWND many = Combo(ZTCBS_DROPLIST, 60, 20, kId + 1);
    HWND tall = Combo(ZTCBS_DROPLIST | ZTCBS_TALLLIST, 20, 20, kId + 2, 260);
    Add(three, {"a", "b", "c"});
    AddNumbered(many, 25);
    Add(tall, {"a", "b", "c"});

    ClickBox(three);
    ASSERT_TRUE(ListShown());
    RECT box = Ui_WindowRect(three), list = Ui_WindowRect(InputControls_DropList());
    EXPECT_EQ(65, list.bottom - list.top);
    EXPECT_EQ(box.right - box.left, list.right - list.left);
    EXPECT_EQ(box.left, list.left);
    EXPECT_EQ(box.bottom + 1, list.top);
    EXPECT_EQ(TRUE, SendMessageA(three, CB_GETDROPPEDSTATE, 0, 0));

    // A click on the box again closes it.
    ClickBox(three);
    EXPECT_FALSE(ListShown());

    ClickBox(many);
    ASSERT_TRUE(ListShown());
    list = Ui_WindowRect(InputControls_DropList());
    EXPECT_EQ(405, list.bottom - list.top);

    // Opening another box (beside the open list) moves the one list over to it.
    ClickBox(tall);
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(FALSE, SendMessageA(many, CB_GETDROPPEDSTATE, 0, 0));
    list = Ui_WindowRect(InputControls_DropList());
    EXPECT_EQ(300, list.bottom - list.top);
    EXPECT_EQ(Ui_WindowRect(tall).bottom + 1, list.top);
}

TEST_F(ComboTest, ListOpensAboveTheBoxNearTheScreenBottom)
{
    SetWindowPos(host, nullptr, 100, GetSystemMetrics(SM_CYSCREEN) - 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND combo = Combo(ZTCBS_DROPLIST, 20);
    AddNumbered(combo, 25);
    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    RECT box = Ui_WindowRect(combo), list = Ui_WindowRect(InputControls_DropList());
    EXPECT_EQ(405, list.bottom - list.top);
    EXPECT_EQ(box.top - 1, list.bottom);
}

TEST_F(ComboTest, SetCurSelOnlyForAnExistingItem)
{
    HWND combo = Combo(ZTCBS_DROPLIST);
    Add(combo, {"出售", "出租", "租售"});
    SetWindowTextA(combo, "出租");
    Ui_Pump(30);
    Ui_ClearEvents();

    EXPECT_EQ(CB_ERR, SendMessageA(combo, CB_SETCURSEL, 3, 0));
    Ui_Pump(50);
    EXPECT_EQ("出租", Ui_Text(combo));
    EXPECT_TRUE(Ui_Events().empty());

    EXPECT_EQ(2, SendMessageA(combo, CB_SETCURSEL, 2, 0));
    EXPECT_EQ(0, Ui_CountCommand(kId, ZTCBN_CHOSEN));   // posted, not sent
    Ui_Pump(50);
    EXPECT_EQ("租售", Ui_Text(combo));
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_CHANGE));
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_CHOSEN));
    EXPECT_EQ(2, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(3, SendMessageA(combo, CB_GETCOUNT, 0, 0));

    // Inserting past the end appends.
    EXPECT_EQ(3, SendMessageA(combo, CB_INSERTSTRING, 99, reinterpret_cast<LPARAM>("最后")));
    EXPECT_EQ(0, SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("最前")));
    char buf[32];
    SendMessageA(combo, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ("最后", buf);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCOUNT, 0, 0));
}

TEST_F(ComboTest, SameTextTwiceNotifiesOnceAndLongTextIsCut)
{
    HWND combo = Combo(ZTCBS_DROPLIST);
    SetWindowTextA(combo, "城东");
    SetWindowTextA(combo, "城东");
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_CHANGE));
    SetWindowTextA(combo, "");
    EXPECT_EQ(2, Ui_CountCommand(kId, ZTCBN_CHANGE));

    // Longer than the box holds: cut at a whole character.
    std::string longText = "a";
    for (int i = 0; i < 600; ++i)
        longText += "中";
    SetWindowTextA(combo, longText.c_str());
    std::string got = Ui_Text(combo);
    EXPECT_EQ(static_cast<size_t>(1 + 2 * 511), got.size());
    EXPECT_EQ(longText.substr(0, got.size()), got);
}

TEST_F(ComboTest, SingleChoiceByClickingAnItem)
{
    HWND combo = Combo(ZTCBS_DROPLIST);
    Add(combo, {"一室", "两室", "三室"});
    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_SETFOCUS));
    POINT r = Row(1);
    Ui_Click(r.x, r.y);
    Ui_Pump(40);
    EXPECT_EQ("两室", Ui_Text(combo));
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_CHOSEN));
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_CHANGE));
    EXPECT_EQ(combo, GetFocus());
}

// A click on an item of an open list chooses that item and does nothing
// else, also when it is the first click of a double click: the second
// click, which finds the list gone, does not reach the boxes that were
// under it (the mouse on the real display, then through SendInput).
TEST_F(ComboTest, ClickOrDoubleClickOnAnItemStopsAtTheList)
{
    HWND combo = Combo(ZTCBS_DROPLIST, 20);
    Add(combo, {"一室", "两室", "三室"});
    HWND under = Combo(ZTCBS_DROPLIST, 62, 20, kId + 1);      // under the list's second row
    Add(under, {"甲", "乙"});
    HWND date = Ui_Child(host, "EDIT", WS_BORDER, 20, 83, 200, 20, kId + 2);   // under its third row
    ASSERT_TRUE(DateField_Attach(date));
    auto settled = [&](const char* chosen) {
        Ui_Pump(150);
        EXPECT_EQ(chosen, Ui_Text(combo));
        EXPECT_FALSE(ListShown());
        EXPECT_EQ(combo, GetFocus());
        EXPECT_EQ(0, Ui_CountCommand(kId + 1, ZTCBN_SETFOCUS));
        EXPECT_EQ(FALSE, SendMessageA(under, CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_FALSE(Ui_Visible(InputControls_Calendar()));
    };

    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    POINT r1 = Row(1), r2 = Row(2);
    RECT ru = Ui_WindowRect(under), rd = Ui_WindowRect(date);
    ASSERT_TRUE(PtInRect(&ru, r1));
    ASSERT_TRUE(PtInRect(&rd, r2));
    Ui_ClearEvents();
    char cmd[160];
    snprintf(cmd, sizeof cmd, "xdotool mousemove --sync %d %d click --repeat 2 --delay 80 1", (int)r1.x, (int)r1.y);
    ASSERT_EQ(0, TestShell(cmd));
    settled("两室");

    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    Ui_ClearEvents();
    Ui_Click(r2.x, r2.y);
    Ui_Click(r2.x, r2.y);
    settled("三室");

    // Later clicks there reach the boxes as ever.
    Ui_Pump(static_cast<int>(GetDoubleClickTime()) + 200);
    Ui_Click(r1.x, r1.y);
    EXPECT_EQ(under, GetFocus());
    EXPECT_EQ(TRUE, SendMessageA(under, CB_GETDROPPEDSTATE, 0, 0));
    DestroyWindow(date);
}

// Tab (or Shift+Tab) with a list open closes it, keeps what the keys
// chose and moves on to the next (previous) box of the dialog.
TEST_F(ComboTest, TabClosesTheListKeepsTheChoiceAndMovesOn)
{
    HWND dlg = Ui_CreateDialog(60, 60, 420, 260);
    ASSERT_NE(nullptr, dlg);
    HWND a = Ui_Child(dlg, ZT_CLASS_COMBOBOX, WS_TABSTOP | ZTCBS_DROPLIST, 20, 20, 200, 20, kId);
    HWND b = Ui_Child(dlg, ZT_CLASS_COMBOBOX, WS_TABSTOP, 20, 120, 200, 20, kId + 1);
    HWND e = Ui_Child(dlg, "EDIT", WS_BORDER | WS_TABSTOP, 20, 200, 120, 22, kId + 2);
    Add(a, {"东", "南", "西", "北"});
    Add(b, {"甲", "乙"});

    ClickBox(a);
    ASSERT_TRUE(ListShown());
    Ui_RealKey(VK_DOWN);
    Ui_RealKey(VK_DOWN);
    Ui_RealKey(VK_TAB);
    EXPECT_EQ("南", Ui_Text(a));
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(b, GetFocus());

    // Opened and left at once: the text stays.
    ClickBox(a);
    ASSERT_TRUE(ListShown());
    Ui_RealKey(VK_TAB);
    EXPECT_EQ("南", Ui_Text(a));
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(b, GetFocus());

    // Typing into an editable box with its list open, then Shift+Tab: the
    // typed text stays, the focus goes back.
    ClickBox(b);
    ASSERT_TRUE(ListShown());
    ASSERT_TRUE(IsChild(b, GetFocus()));
    Ui_RealType("xy");
    Ui_RealKey(VK_TAB, true);
    EXPECT_EQ("xy", Ui_Text(b));
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(a, GetFocus());

    // Down and Tab in the editable box: the item, and on to the next box.
    ClickBox(b);
    ASSERT_TRUE(ListShown());
    Ui_RealKey(VK_DOWN);
    Ui_RealKey(VK_TAB);
    EXPECT_EQ("甲", Ui_Text(b));
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(e, GetFocus());
    DestroyWindow(dlg);
}

TEST_F(ComboTest, MultipleChoiceTextFollowsListOrder)
{
    HWND combo = Combo(ZTCBS_DROPLIST | ZTCBS_MULTISEL);
    Add(combo, {"住宅", "商铺", "写字楼", ""});
    ClickBox(combo);
    ASSERT_TRUE(ListShown());

    POINT second = Row(1), first = Row(0), third = Row(2), empty = Row(3);
    Ui_Click(second.x, second.y);
    EXPECT_EQ("商铺,", Ui_Text(combo));
    Ui_Click(first.x, first.y);
    EXPECT_EQ("住宅,商铺,", Ui_Text(combo));
    EXPECT_TRUE(ListShown());                      // stays open for more ticks
    EXPECT_EQ(0, Ui_CountCommand(kId, ZTCBN_CHOSEN));

    Ui_Click(second.x, second.y);                  // untick
    EXPECT_EQ("住宅,", Ui_Text(combo));
    Ui_Click(empty.x, empty.y);                    // the empty item clears all
    EXPECT_EQ("", Ui_Text(combo));
    Ui_Click(third.x, third.y);
    EXPECT_EQ("写字楼,", Ui_Text(combo));

    // An empty text clears the ticks too.
    SetWindowTextA(combo, "");
    Ui_Click(second.x, second.y);
    EXPECT_EQ("商铺,", Ui_Text(combo));

    // A text set by the window ticks the items it names, so further clicks
    // add to it instead of replacing it.
    SetWindowTextA(combo, "写字楼,");
    Ui_Click(first.x, first.y);
    EXPECT_EQ("住宅,写字楼,", Ui_Text(combo));
}

TEST_F(ComboTest, KeysMoveTheHotItemAndEnterChooses)
{
    HWND combo = Combo(ZTCBS_DROPLIST);
    Add(combo, {"东", "南", "西", "北"});
    ClickBox(combo);
    ASSERT_TRUE(ListShown());

    Ui_ClearEvents();
    Ui_Key(combo, VK_DOWN);
    Ui_Key(combo, VK_DOWN);
    Ui_Key(combo, VK_RETURN);
    Ui_Pump(30);
    EXPECT_EQ("南", Ui_Text(combo));
    EXPECT_FALSE(ListShown());
    // Like a standard combo box, one notification for the choice: the text
    // changed.
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_CHANGE));
    EXPECT_EQ(0, Ui_CountCommand(kId, ZTCBN_CHOSEN));
    EXPECT_EQ(1u, Ui_Events().size());

    // Down stops at the last item, Up at "none".
    Ui_Key(combo, 'X');                            // any other key opens the list
    ASSERT_TRUE(ListShown());
    for (int i = 0; i < 6; ++i)
        Ui_Key(combo, VK_DOWN);
    Ui_Key(combo, VK_RETURN);
    EXPECT_EQ("北", Ui_Text(combo));

    Ui_Key(combo, 'X');
    ASSERT_TRUE(ListShown());
    Ui_Key(combo, VK_DOWN);
    for (int i = 0; i < 3; ++i)
        Ui_Key(combo, VK_UP);
    Ui_Key(combo, VK_RETURN);                      // no hot item: nothing chosen
    EXPECT_EQ("北", Ui_Text(combo));
    EXPECT_FALSE(ListShown());

    Ui_Key(combo, 'X');
    ASSERT_TRUE(ListShown());
    Ui_Key(combo, VK_ESCAPE);
    EXPECT_FALSE(ListShown());
    EXPECT_EQ("北", Ui_Text(combo));
}

TEST_F(ComboTest, LongListScrollsToKeepTheHotItemInView)
{
    HWND combo = Combo(ZTCBS_DROPLIST);
    AddNumbered(combo, 25);
    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(FlatSB_GetScrollInfo(InputControls_DropList(), SB_VERT, &si));
    EXPECT_EQ(24, si.nMax);
    EXPECT_EQ(20u, si.nPage);
    for (int i = 0; i < 23; ++i)
        Ui_Key(combo, VK_DOWN);
    // Item 22 is hot and in view at the bottom: the first row shows item 3.
    POINT top = Row(0);
    Ui_Click(top.x, top.y);
    EXPECT_EQ("item 3", Ui_Text(combo));

    // The wheel over the box scrolls the open list.
    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    POINT c = Ui_Centre(combo);
    PostMessageA(combo, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(c.x, c.y));
    Ui_Pump(30);
    Ui_Click(top.x, top.y);
    EXPECT_EQ("item 3", Ui_Text(combo));
}

TEST_F(ComboTest, OutsideClickAndFocusLossCloseTheList)
{
    HWND combo = Combo(ZTCBS_DROPLIST);
    HWND other = Ui_Child(host, "EDIT", WS_BORDER, 20, 250, 100, 22, 2000);
    Add(combo, {"a", "b", "c"});
    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    RECT rh = Ui_WindowRect(host);
    Ui_Click(rh.right - 30, rh.bottom - 30);       // bare host area: focus stays
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(combo, GetFocus());

    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    Ui_ClearEvents();
    SetFocus(other);
    Ui_Pump(30);
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_KILLFOCUS));
}

TEST_F(ComboTest, EditableBoxTypesIntoItsEditChild)
{
    HWND combo = Combo(0);
    HWND upper = Combo(ZTCBS_UPPERCASE, 60, 20, kId + 1);
    Add(combo, {"甲", "乙"});
    HWND edit = GetWindow(combo, GW_CHILD);
    ASSERT_NE(nullptr, edit);
    EXPECT_FALSE(Ui_Visible(edit));

    ClickBox(combo);
    EXPECT_TRUE(Ui_Visible(edit));
    EXPECT_EQ(edit, GetFocus());
    EXPECT_TRUE(ListShown());
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_SETFOCUS));
    // Over the client area, inset, with room for the button.
    RECT re = Ui_WindowRect(edit), rc;
    GetClientRect(combo, &rc);
    EXPECT_EQ(rc.right - 6 - 18, re.right - re.left);
    EXPECT_EQ(rc.bottom - 4, re.bottom - re.top);

    Ui_ClearEvents();
    Ui_Type(edit, "ab");
    EXPECT_EQ("ab", Ui_Text(combo));
    EXPECT_EQ(2, Ui_CountCommand(kId, ZTCBN_CHANGE));

    // Down and Enter from the edit child act on the list.
    Ui_ClearEvents();
    Ui_Key(edit, VK_DOWN);
    Ui_Key(edit, VK_RETURN);
    Ui_Pump(30);
    EXPECT_EQ("甲", Ui_Text(combo));
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_CHANGE));
    EXPECT_EQ(0, Ui_CountCommand(kId, ZTCBN_CHOSEN));
    EXPECT_FALSE(ListShown());
    EXPECT_FALSE(Ui_Visible(edit));
    EXPECT_EQ(combo, GetFocus());

    HWND upperEdit = GetWindow(upper, GW_CHILD);
    ClickBox(upper);
    ASSERT_EQ(upperEdit, GetFocus());
    Ui_Type(upperEdit, "ab");
    EXPECT_EQ("AB", Ui_Text(upper));
    EXPECT_EQ(1, Ui_CountCommand(kId, ZTCBN_KILLFOCUS));
}

// Highlight over the box while the mouse is on it; gone when it leaves.
TEST_F(ComboTest, HoverHighlightFollowsTheMouse)
{
    HWND combo = Combo(ZTCBS_DROPLIST);
    SetWindowTextA(combo, "hover");
    Ui_Pump(30);
    auto highlighted = [&]() {
        Shot s = Ui_Capture(combo);
        uint32_t c = s.at(s.w / 2, s.h / 2 + 6);
        return c != 0xFFFFFF && Blue(c) > Red(c) + 10;
    };
    EXPECT_FALSE(highlighted());
    POINT c = Ui_Centre(combo);
    Ui_MouseTo(c.x, c.y);
    Ui_MouseTo(c.x + 2, c.y);
    EXPECT_TRUE(highlighted());
    // The drop button is drawn at the right end while hovered.
    Shot s = Ui_Capture(combo);
    int dark = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = s.w - s.h; x < s.w; ++x)
            if (Red(s.at(x, y)) < 90 && Green(s.at(x, y)) < 110)
                ++dark;
    EXPECT_GE(dark, 10);

    Ui_MouseTo(c.x, c.y + 150);
    Ui_MouseTo(c.x, c.y + 152);
    EXPECT_FALSE(highlighted());
}

// Renders a text the way a list row does, on white, for comparison.
Shot ReferenceRow(int w, int h, const char* text, int left, int top)
{
    Canvas c(w, h);
    HGDIOBJ oldFont = SelectObject(c.dc(), GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(c.dc(), TRANSPARENT);
    SetTextColor(c.dc(), GetSysColor(COLOR_WINDOWTEXT));
    RECT tr = {left, top, w - 4, top + 20};
    DrawTextA(c.dc(), text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    Shot s = c.Picture();
    SelectObject(c.dc(), oldFont);
    return s;
}

int InkIn(const Shot& s, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            uint32_t c = s.at(x, y);
            if (Red(c) + Green(c) + Blue(c) < 600)
                ++n;
        }
    return n;
}

bool GreenIn(const Shot& s, int x0, int y0, int x1, int y1)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            uint32_t c = s.at(x, y);
            if (Green(c) > 120 && Red(c) < 100 && Blue(c) < 100)
                return true;
        }
    return false;
}

TEST_F(ComboTest, OpenMultipleChoiceListWithChineseItemsLooksRight)
{
    HWND combo = Combo(ZTCBS_DROPLIST | ZTCBS_MULTISEL);
    Add(combo, {"住宅", "商铺", "写字楼", "厂房", "车位", ""});
    SetWindowTextA(combo, "商铺,");
    ClickBox(combo);
    ASSERT_TRUE(ListShown());
    POINT hot = Row(2);
    Ui_MouseTo(hot.x, hot.y);
    Ui_MouseTo(hot.x + 1, hot.y);
    std::string path = Ui_Screenshot("controls_droplist");

    HWND list = InputControls_DropList();
    Shot s = Ui_Capture(list);
    ASSERT_GE(s.h, 6 * 20);
    // Row 2 is hot: the highlight behind it, none behind row 0.
    uint32_t hotBack = s.at(s.w - 10, 2 * 20 + 12), plainBack = s.at(s.w - 10, 12);
    EXPECT_TRUE(Blue(hotBack) > Red(hotBack) + 10) << std::hex << hotBack;
    EXPECT_EQ(0xFFFFFFu, plainBack);
    // Row 1 is ticked (its check box holds a tick), row 0 is not.
    EXPECT_TRUE(GreenIn(s, 3, 20 + 3, 16, 20 + 17));
    EXPECT_FALSE(GreenIn(s, 3, 3, 16, 17));

    // The item texts are drawn exactly as the font draws them after the box.
    for (int row : {0, 1, 3}) {
        char text[32];
        SendMessageA(combo, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        Shot ref = ReferenceRow(s.w, s.h, text, 18, row * 20);
        int differ = 0;
        for (int y = row * 20; y < row * 20 + 20; ++y)
            for (int x = 18; x < s.w - 4; ++x)
                if (s.at(x, y) != ref.at(x, y))
                    ++differ;
        EXPECT_EQ(0, differ) << "row " << row;
        EXPECT_GT(InkIn(s, 18, row * 20, s.w - 4, row * 20 + 20), 20) << "row " << row;
    }
    // Two different two-character names draw differently (real glyphs,
    // not placeholder boxes).
    int same = 0, total = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 18; x < 60; ++x) {
            total++;
            if (s.at(x, y) == s.at(x, y + 20))
                ++same;
        }
    EXPECT_LT(same, total);
    if (!TestEnv("ZT_TEST_SHOTS").empty()) {
        EXPECT_NE("", path);
    }
}

}  // namespace
