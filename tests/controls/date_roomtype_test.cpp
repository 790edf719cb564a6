// Date fields with their calendar, and room-type fields with their picker.
#include "tests/support/window_driver.h"
#include <cstring>

namespace {

// A dialog with a room-type field between two boxes, in tab order.
struct RoomTypeForm {
    HWND dlg, before = nullptr, field = nullptr, after = nullptr;
    explicit RoomTypeForm(const char* text) : dlg(Ui_CreateDialog(60, 60, 420, 260))
    {
        if (!dlg)
            return;
        DWORD style = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        before = Ui_Child(dlg, "EDIT", style, 20, 20, 120, 22, 1300);
        field = Ui_Child(dlg, "EDIT", style, 20, 60, 120, 22, 1301, text);
        after = Ui_Child(dlg, "EDIT", style, 20, 100, 120, 22, 1302);
        if (!RoomTypeField_Attach(field))
            dlg = nullptr;
    }
};

class FieldTest : public ControlHostTest {
protected:
    FieldTest() : ControlHostTest(100, 100, 520, 360) {}
    HWND Edit(int x, int y, int id, const char* text = "")
    {
        return Ui_Child(host, "EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, x, y, 120, 22, id, text);
    }
    static HWND MonthCal() { return GetDlgItem(InputControls_Calendar(), 1); }
    static SYSTEMTIME Shown()
    {
        SYSTEMTIME st;
        memset(&st, 0, sizeof(st));
        SendMessageA(MonthCal(), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
        return st;
    }
    static void ClickField(HWND field)
    {
        POINT c = Ui_Centre(field);
        Ui_Click(c.x, c.y);
    }
    // Screen point of a day cell of the shown month, found with the
    // calendar's own hit test.
    static bool DayPoint(int year, int month, int day, POINT* out)
    {
        HWND mc = MonthCal();
        RECT rc;
        GetClientRect(mc, &rc);
        for (int y = 0; y < rc.bottom; y += 3)
            for (int x = 0; x < rc.right; x += 3) {
                MCHITTESTINFO hi;
                memset(&hi, 0, sizeof(hi));
                hi.cbSize = MCHITTESTINFO_V1_SIZE;
                hi.pt.x = x;
                hi.pt.y = y;
                LRESULT r = SendMessageA(mc, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi));
                if (r == MCHT_CALENDARDATE && hi.st.wYear == year && hi.st.wMonth == month && hi.st.wDay == day) {
                    // Aim at the middle of the cell: walk on while the same day.
                    int x2 = x;
                    while (x2 + 1 < rc.right) {
                        MCHITTESTINFO h2 = hi;
                        h2.pt.x = x2 + 1;
                        if (SendMessageA(mc, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&h2)) != MCHT_CALENDARDATE ||
                            h2.st.wDay != day)
                            break;
                        ++x2;
                    }
                    POINT pt = {(x + x2) / 2, y + 4};
                    ClientToScreen(mc, &pt);
                    *out = pt;
                    return true;
                }
            }
        return false;
    }
};

TEST_F(FieldTest, TypedDigitsGetTheirDashes)
{
    HWND field = Edit(20, 20, 1320);
    ASSERT_TRUE(DateField_Attach(field));
    SetFocus(field);
    Ui_Type(field, "2024");
    EXPECT_EQ("2024-", Ui_Text(field));
    Ui_Type(field, "0305");
    EXPECT_EQ("2024-03-05", Ui_Text(field));
    Ui_Type(field, "9");                    // ten characters at most
    EXPECT_EQ("2024-03-05", Ui_Text(field));

    // Backspace anywhere empties the field; so does Delete.
    SendMessageA(field, EM_SETSEL, 3, 3);
    Ui_Key(field, VK_BACK);
    EXPECT_EQ("", Ui_Text(field));
    Ui_Type(field, "20");
    SendMessageA(field, EM_SETSEL, 0, 0);
    Ui_Key(field, VK_DELETE);
    EXPECT_EQ("", Ui_Text(field));

    // Another key puts the caret back at the end.
    SetWindowTextA(field, "2024-03");
    SendMessageA(field, EM_SETSEL, 1, 1);
    Ui_Key(field, VK_LEFT);
    DWORD start = 0, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(7u, start);
    EXPECT_EQ(7u, end);
}

// A date typed the way the field shows it, dashes and all, on the real
// keyboard; and a date pasted over what the field held.
TEST_F(FieldTest, DateTypedAsShownOrPastedIsTheDate)
{
    HWND field = Edit(20, 20, 1320);
    ASSERT_TRUE(DateField_Attach(field));
    SetFocus(field);
    Ui_RealType("2026-11-01");
    EXPECT_EQ("2026-11-01", Ui_Text(field));
    // A month of one digit typed with its dash.
    Ui_RealKey(VK_BACK);
    Ui_RealType("2026-3-");
    EXPECT_EQ("2026-3-", Ui_Text(field));

    // Pasted with the caret at the end of a full date: the pasted date
    // replaces it (the edit alone would refuse an eleventh character).
    SetWindowTextA(field, "2024-03-05");
    SendMessageA(field, EM_SETSEL, 10, 10);
    Ui_SetClipboard("2026-11-01");
    Ui_RealCtrlKey('V');
    EXPECT_EQ("2026-11-01", Ui_Text(field));
    // Copied from elsewhere: blanks around it, "/" between its parts, or
    // eight digits; written the way the field shows dates.
    Ui_SetClipboard(" 2026/3/5\r\n");
    Ui_RealCtrlKey('V');
    EXPECT_EQ("2026-03-05", Ui_Text(field));
    Ui_SetClipboard("20261231");
    Ui_RealCtrlKey('V');
    EXPECT_EQ("2026-12-31", Ui_Text(field));
    // Anything else is pasted as an edit control pastes.
    SetWindowTextA(field, "");
    Ui_SetClipboard("12");
    Ui_RealCtrlKey('V');
    EXPECT_EQ("12", Ui_Text(field));
    // A read-only date field takes no paste.
    SendMessageA(field, EM_SETREADONLY, TRUE, 0);
    SetWindowTextA(field, "2024-03-05");
    Ui_SetClipboard("2026-11-01");
    Ui_RealCtrlKey('V');
    EXPECT_EQ("2024-03-05", Ui_Text(field));
}

// In a dialog, Esc with the calendar open closes the calendar only; the
// next Esc is the dialog's.
TEST_F(FieldTest, EscClosesTheCalendarNotTheDialog)
{
    HWND dlg = Ui_CreateDialog(60, 60, 420, 260);
    ASSERT_NE(nullptr, dlg);
    HWND field = Ui_Child(dlg, "EDIT", WS_BORDER | WS_TABSTOP, 20, 20, 120, 22, 1320);
    ASSERT_TRUE(DateField_Attach(field));
    ClickField(field);
    ASSERT_TRUE(Ui_Visible(InputControls_Calendar()));
    Ui_ClearEvents();
    Ui_RealKey(VK_ESCAPE);
    EXPECT_FALSE(Ui_Visible(InputControls_Calendar()));
    EXPECT_EQ(0, Ui_CountCommand(IDCANCEL, 0));
    EXPECT_EQ(field, GetFocus());
    Ui_RealKey(VK_ESCAPE);
    EXPECT_EQ(1, Ui_CountCommand(IDCANCEL, 0));
    DestroyWindow(dlg);
}

TEST_F(FieldTest, CalendarOpensOnTheFieldsDateAndWritesTheChoice)
{
    HWND field = Edit(20, 20, 1320);
    HWND other = Edit(20, 300, 1321);
    ASSERT_TRUE(DateField_Attach(field));
    ASSERT_TRUE(DateField_Attach(other));

    // Empty field: today (universal time), shown under the field.
    ClickField(field);
    HWND cal = InputControls_Calendar();
    ASSERT_TRUE(Ui_Visible(cal));
    char cls[32];
    GetClassNameA(cal, cls, sizeof(cls));
    EXPECT_STREQ("calendar", cls);
    EXPECT_EQ("日期选择器", Ui_Text(cal));
    RECT rf = Ui_WindowRect(field), rcal = Ui_WindowRect(cal);
    EXPECT_EQ(rf.left, rcal.left);
    EXPECT_EQ(rf.bottom - 1, rcal.top);
    SYSTEMTIME today;
    GetSystemTime(&today);
    SYSTEMTIME st = Shown();
    EXPECT_EQ(today.wYear, st.wYear);
    EXPECT_EQ(today.wMonth, st.wMonth);
    EXPECT_EQ(today.wDay, st.wDay);
    EXPECT_EQ(field, GetFocus());                  // not activated

    // An outside click hides it.
    RECT rh = Ui_WindowRect(host);
    Ui_Click(rh.right - 20, rh.bottom - 20);
    EXPECT_FALSE(Ui_Visible(cal));

    // A date in the field is selected, the whole text too.
    SetWindowTextA(field, "2024-03-05");
    ClickField(field);
    ASSERT_TRUE(Ui_Visible(cal));
    st = Shown();
    EXPECT_EQ(2024, st.wYear);
    EXPECT_EQ(3, st.wMonth);
    EXPECT_EQ(5, st.wDay);
    DWORD s0 = 1, s1 = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&s0), reinterpret_cast<LPARAM>(&s1));
    EXPECT_EQ(0u, s0);
    EXPECT_EQ(10u, s1);

    std::string path = Ui_Screenshot("controls_calendar");
    if (!TestEnv("ZT_TEST_SHOTS").empty()) {
        EXPECT_NE("", path);
    }
    // The chosen day is marked: its cell differs from an ordinary day's.
    POINT p5, p20;
    ASSERT_TRUE(DayPoint(2024, 3, 5, &p5));
    ASSERT_TRUE(DayPoint(2024, 3, 20, &p20));
    Shot shot = Ui_Capture(MonthCal());
    POINT c5 = p5, c20 = p20;
    ScreenToClient(MonthCal(), &c5);
    ScreenToClient(MonthCal(), &c20);
    // Beside the digits, inside the cell: the selection colour for the 5th,
    // the plain background for the 20th.
    uint32_t chosen = shot.at(c5.x + 9, c5.y), plain = shot.at(c20.x + 9, c20.y);
    EXPECT_TRUE(Blue(chosen) > Red(chosen) + 40) << std::hex << chosen;
    EXPECT_EQ(0xFFFFFFu, plain) << std::hex << plain;

    // A click on a day writes it and hides the calendar.
    Ui_Click(p20.x, p20.y);
    Ui_Pump(40);
    EXPECT_EQ("2024-03-20", Ui_Text(field));
    EXPECT_FALSE(Ui_Visible(cal));

    // Text without "-": the calendar keeps what it showed last.
    SetWindowTextA(other, "abc");
    ClickField(other);
    ASSERT_TRUE(Ui_Visible(cal));
    st = Shown();
    EXPECT_EQ(2024, st.wYear);
    EXPECT_EQ(3, st.wMonth);
    EXPECT_EQ(20, st.wDay);
    rcal = Ui_WindowRect(cal);
    EXPECT_EQ(Ui_WindowRect(other).left, rcal.left);

    // Gone with the last date field.
    DestroyWindow(field);
    EXPECT_NE(nullptr, InputControls_Calendar());
    DestroyWindow(other);
    EXPECT_EQ(nullptr, InputControls_Calendar());
}

TEST_F(FieldTest, RoomTypePickerReadsAndWritesTheField)
{
    HWND field = Edit(20, 20, 1300, "3/2/1");
    HWND single = Edit(200, 20, 1301, "3");
    HWND other = Edit(20, 300, 1302);
    ASSERT_TRUE(RoomTypeField_Attach(field));
    ASSERT_TRUE(RoomTypeField_Attach(single));

    SetFocus(other);
    ClickField(field);
    HWND picker = InputControls_RoomTypePicker();
    ASSERT_TRUE(Ui_Visible(picker));
    EXPECT_NE(field, GetFocus());                  // never takes the focus
    char cls[32];
    GetClassNameA(picker, cls, sizeof(cls));
    EXPECT_STREQ("HouseType", cls);
    EXPECT_EQ("房型选择", Ui_Text(picker));
    RECT rf = Ui_WindowRect(field), rp = Ui_WindowRect(picker);
    EXPECT_EQ(rf.left, rp.left);
    EXPECT_EQ(rf.bottom + 1, rp.top);
    EXPECT_EQ(110, rp.right - rp.left);
    EXPECT_EQ(100, rp.bottom - rp.top);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(3 - i, SendDlgItemMessageA(picker, i + 1, CB_GETCURSEL, 0, 0)) << "list " << i + 1;
    EXPECT_EQ(11, SendDlgItemMessageA(picker, 1, CB_GETCOUNT, 0, 0));

    // The user picks another number of halls.
    HWND halls = GetDlgItem(picker, 2);
    Ui_Key(halls, VK_DOWN);
    Ui_Pump(30);
    EXPECT_EQ("3/3/1", Ui_Text(field));

    // Clicking elsewhere deactivates and hides it.
    RECT rh = Ui_WindowRect(host);
    Ui_Click(rh.right - 20, rh.bottom - 20);
    EXPECT_FALSE(Ui_Visible(picker));

    ClickField(single);
    ASSERT_TRUE(Ui_Visible(picker));
    EXPECT_EQ(3, SendDlgItemMessageA(picker, 1, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, SendDlgItemMessageA(picker, 2, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, SendDlgItemMessageA(picker, 3, CB_GETCURSEL, 0, 0));
    Ui_Key(GetDlgItem(picker, 3), VK_DOWN);
    EXPECT_EQ("3/0/1", Ui_Text(single));
    EXPECT_EQ("3/3/1", Ui_Text(field));
}

TEST_F(FieldTest, TabAndShiftTabMovePastARoomTypeField)
{
    RoomTypeForm form("3/2/1");
    ASSERT_NE(nullptr, form.dlg);
    HWND dlg = form.dlg, before = form.before, field = form.field, after = form.after;

    SetFocus(before);
    Ui_RealKey(VK_TAB);
    EXPECT_EQ(after, GetFocus()) << "Tab goes on to the next field";
    Ui_RealKey(VK_TAB, true);
    EXPECT_EQ(before, GetFocus()) << "Shift+Tab goes back past the room-type field";
    // The focus given to it by the program moves on as well.
    SetFocus(field);
    EXPECT_EQ(after, GetFocus());
    EXPECT_EQ("3/2/1", Ui_Text(field));
    DestroyWindow(dlg);
}

// The picker on the keyboard, as opened by a click on its field: digits
// choose counts, "/" and Tab go on to the next list, Shift+Tab back, and
// past the first or the last list the focus goes back to the form.
TEST_F(FieldTest, RoomTypePickerTakesTypedCountsAndTabs)
{
    RoomTypeForm form("1/1/1");
    ASSERT_NE(nullptr, form.dlg);
    HWND dlg = form.dlg, before = form.before, field = form.field, after = form.after;
    SetFocus(before);

    ClickField(field);
    HWND picker = InputControls_RoomTypePicker();
    ASSERT_TRUE(Ui_Visible(picker));
    HWND lists[3] = {GetDlgItem(picker, 1), GetDlgItem(picker, 2), GetDlgItem(picker, 3)};
    ASSERT_EQ(lists[0], GetFocus());
    Ui_RealType("3/2/1");
    EXPECT_EQ("3/2/1", Ui_Text(field));
    EXPECT_EQ(lists[2], GetFocus());

    // Shift+Tab and Tab between the lists; "1" then "0" is ten.
    Ui_RealKey(VK_TAB, true);
    EXPECT_EQ(lists[1], GetFocus());
    Ui_RealType("10");
    EXPECT_EQ("3/10/1", Ui_Text(field));
    Ui_RealKey(VK_TAB);
    EXPECT_EQ(lists[2], GetFocus());
    Ui_RealType("4");
    EXPECT_EQ("3/10/4", Ui_Text(field));

    // Tab past the last list: back in the form, on the box after the field.
    Ui_RealKey(VK_TAB);
    EXPECT_FALSE(Ui_Visible(picker));
    EXPECT_EQ(after, GetFocus());
    EXPECT_EQ("3/10/4", Ui_Text(field));

    // Shift+Tab before the first list: on the box before it.
    ClickField(field);
    ASSERT_TRUE(Ui_Visible(picker));
    ASSERT_EQ(lists[0], GetFocus());
    Ui_RealType("2");
    Ui_RealKey(VK_TAB, true);
    EXPECT_FALSE(Ui_Visible(picker));
    EXPECT_EQ(before, GetFocus());
    EXPECT_EQ("2/10/4", Ui_Text(field));

    // Esc puts back what the field held; Enter keeps the choice.
    ClickField(field);
    Ui_RealType("5/5");
    EXPECT_EQ("5/5/4", Ui_Text(field));
    Ui_RealKey(VK_ESCAPE);
    EXPECT_FALSE(Ui_Visible(picker));
    EXPECT_EQ("2/10/4", Ui_Text(field));
    ClickField(field);
    Ui_RealType("6");
    Ui_RealKey(VK_RETURN);
    EXPECT_FALSE(Ui_Visible(picker));
    EXPECT_EQ("6/10/4", Ui_Text(field));
    EXPECT_EQ(after, GetFocus());
    DestroyWindow(dlg);
}

}  // namespace
