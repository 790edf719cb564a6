// Toolbar checks on a real toolbar, the locked field driven as a user would,
// and the dialog checks on small dialogs of real controls.
#include "tests/rights/rights_support.h"
#include "tests/support/window_driver.h"
#include "app/resources/resource.h"
#include "app/admin/area_window.h"
#include "app/admin/org_window.h"
#include "app/listings/client_dialog.h"
#include "app/listings/house_dialog.h"
#include "app/listings/house_window.h"

#include <commctrl.h>
#include <cstring>

namespace {

// A key pressed and released on the real keyboard queue.
void PressKey(WORD vk, bool ctrl = false)
{
    Ui_RealKeyHeld(vk, ctrl ? VK_CONTROL : 0, 30);
}

void TypeKeys(const char* upperOrDigits)
{
    for (const char* s = upperOrDigits; *s; ++s) PressKey(static_cast<WORD>(*s));
}

HWND CaretWindow()
{
    GUITHREADINFO gti;
    memset(&gti, 0, sizeof gti);
    gti.cbSize = sizeof gti;
    GetGUIThreadInfo(GetCurrentThreadId(), &gti);
    return gti.hwndCaret;
}

class RightsUi : public ControlHostTest {
protected:
    RightsUser u;
    RightsUi() : ControlHostTest(80, 80, 640, 320) {}
    void SetUp() override
    {
        ControlHostTest::SetUp();
        TestBoxes_Reset();
    }
    void TearDown() override
    {
        ControlHostTest::TearDown();
        EXPECT_EQ(0u, TestBoxes_Count());
    }
    HWND Toolbar(const std::vector<int>& ids)
    {
        HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST, 0, 0, 0,
                                  0, host, reinterpret_cast<HMENU>(4), GetModuleHandleA(nullptr), nullptr);
        SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        for (int id : ids) {
            TBBUTTON b;
            memset(&b, 0, sizeof b);
            b.iBitmap = I_IMAGENONE;
            b.idCommand = id;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
            b.iString = reinterpret_cast<INT_PTR>("按钮");
            SendMessageA(tb, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
        }
        SendMessageA(tb, TB_AUTOSIZE, 0, 0);
        Ui_Pump(30);
        return tb;
    }
    static bool Enabled(HWND tb, int id)
    {
        LRESULT s = SendMessageA(tb, TB_GETSTATE, static_cast<WPARAM>(id), 0);
        EXPECT_NE(-1, s) << "no button " << id;
        return (s & TBSTATE_ENABLED) != 0;
    }
    // Clicks the button of that command with the mouse.
    static void ClickButton(HWND tb, int id)
    {
        LRESULT index = SendMessageA(tb, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0);
        RECT rc;
        SendMessageA(tb, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ClientToScreen(tb, &pt);
        Ui_Click(pt.x, pt.y);
        Ui_Pump(30);
    }
    HWND Edit(HWND parent, int id, int x, int y, const char* text = "")
    {
        return Ui_Child(parent, "EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, x, y, 90, 22, id, text);
    }
    HWND Button(HWND parent, int id, int x, int y)
    {
        return Ui_Child(parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, x, y, 60, 22, id, "按钮");
    }
};

// ---- Toolbars -------------------------------------------------------------------

// The toolbars as the module windows build them: each button greyed by the
// right of its row of the window's table.
TEST_F(RightsUi, HouseToolbarFollowsTheHouseAndFollowUpRights)
{
    HWND tb = Toolbar({40153, 40155, 40154, 40064, 40065, 40066, 40086, 19, 18});
    RightsUser_Make(&u, "01" "05");   // view and add own houses, no follow-ups
    Module_ToolbarRights(&g_HouseModule, &u.p, tb);
    // The list window hides its follow-up pane and greys 40086 itself
    // without the follow-up view right.
    EXPECT_FALSE(Rights_MayViewFollowUps(&u.p));
    EXPECT_TRUE(Enabled(tb, 40064));
    EXPECT_FALSE(Enabled(tb, 40065));
    EXPECT_FALSE(Enabled(tb, 40066));
    for (int id : {40153, 40155, 40154, 19, 18}) EXPECT_TRUE(Enabled(tb, id)) << id;
    // A user clicking the greyed modify button gets nothing; add works.
    Ui_ClearEvents();
    ClickButton(tb, 40065);
    EXPECT_EQ(0, Ui_CountCommand(40065, BN_CLICKED));
    ClickButton(tb, 40064);
    EXPECT_EQ(1, Ui_CountCommand(40064, BN_CLICKED));
    Ui_Screenshot("rights_house_toolbar_clerk");
    DestroyWindow(tb);

    tb = Toolbar({40064, 40065, 40066, 40086});
    Ui_ClearEvents();
    RightsUser_Make(&u, "03" "0B" "0F" "0H");
    Module_ToolbarRights(&g_HouseModule, &u.p, tb);
    EXPECT_TRUE(Rights_MayViewFollowUps(&u.p));
    EXPECT_FALSE(Enabled(tb, 40064));
    EXPECT_TRUE(Enabled(tb, 40065));
    EXPECT_TRUE(Enabled(tb, 40066));
    EXPECT_TRUE(Enabled(tb, 40086));
}

TEST_F(RightsUi, ModuleToolbarsDisableRefusedOperations)
{
    HWND tb = Toolbar({40062, 40058, 40066, 40067, 40068, 19, 18});
    RightsUser_Make(&u, "37");
    Module_ToolbarRights(&g_AreaModule, &u.p, tb);
    for (int id : {40062, 40058, 40066, 40067, 40068}) EXPECT_FALSE(Enabled(tb, id)) << id;
    EXPECT_TRUE(Enabled(tb, 19));
    DestroyWindow(tb);
    tb = Toolbar({40062, 40058, 40066, 40067, 40068});
    RightsUser_Make(&u, "37" "39");
    Module_ToolbarRights(&g_AreaModule, &u.p, tb);
    // "城市管理" and "城区管理" offer their menus with any area right; the
    // menus grey what the user may not do.
    EXPECT_TRUE(Enabled(tb, 40062));
    EXPECT_TRUE(Enabled(tb, 40058));
    EXPECT_FALSE(Enabled(tb, 40066));
    EXPECT_TRUE(Enabled(tb, 40068));
    DestroyWindow(tb);

    // The organisation's buttons follow the words of their records: branch
    // commands the branch rights, "职位管理" the position view, the employee
    // commands the employee rights; "合并数据" is never offered.
    const std::vector<int> org = {2000, 1317, 1318, 40114, 40192, 40191, 40115, 40112, 40116, 40107, 19};
    DestroyWindow(tb);
    tb = Toolbar(org);
    RightsUser_Make(&u, "2P2T332U2X30");
    Module_ToolbarRights(&g_OrgModule, &u.p, tb);
    for (int id : {2000, 1317, 1318, 40191}) EXPECT_FALSE(Enabled(tb, id)) << id;
    for (int id : {40114, 40192, 40115, 40112, 40116, 40107, 19}) EXPECT_TRUE(Enabled(tb, id)) << id;
    DestroyWindow(tb);
    tb = Toolbar(org);
    RightsUser_Make(&u, "2P2S2Q");
    Module_ToolbarRights(&g_OrgModule, &u.p, tb);
    for (int id : {1318, 40114, 40192, 40191, 40112, 40116, 40107}) EXPECT_FALSE(Enabled(tb, id)) << id;
    for (int id : {2000, 1317, 40115, 19}) EXPECT_TRUE(Enabled(tb, id)) << id;
    EXPECT_TRUE(Rights_May(&u.p, ZTM_BRANCH, ZT_OP_ADD));
    EXPECT_FALSE(Rights_May(&u.p, ZTM_ORG, ZT_OP_MODIFY));
    DestroyWindow(tb);
}

// ---- Locked field -----------------------------------------------------------------

TEST_F(RightsUi, LockedFieldKeepsLookAndValueButTakesNoInput)
{
    HWND normal = Edit(host, 1001, 20, 20);
    HWND locked = Edit(host, 1083, 20, 60, "13800138000");
    HWND greyed = Edit(host, 1084, 20, 100, "13900139000");
    EnableWindow(greyed, FALSE);
    Rights_LockField(locked);
    Rights_LockField(locked);   // twice is harmless
    EXPECT_TRUE(Rights_IsLocked(locked));
    EXPECT_FALSE(Rights_IsLocked(normal));
    Ui_Pump(30);

    // Click into the locked field and type: nothing changes, no caret.
    POINT c = Ui_Centre(locked);
    Ui_Click(c.x, c.y);
    TypeKeys("12");
    PressKey(VK_BACK);
    PressKey(VK_DELETE);
    PressKey('V', true);   // paste
    PressKey('X', true);   // cut
    EXPECT_EQ("13800138000", Ui_Text(locked));
    EXPECT_EQ("", Ui_Text(normal));
    EXPECT_NE(locked, CaretWindow());
    // Characters, system keys and editing commands sent straight to it are
    // ignored as well.
    SendMessageA(locked, WM_CHAR, 'a', 1);
    SendMessageA(locked, WM_SYSCHAR, 'b', 1 | (1u << 29));
    SendMessageA(locked, WM_IME_CHAR, 0xB2D9, 1);
    SendMessageA(locked, WM_CUT, 0, 0);
    SendMessageA(locked, WM_CLEAR, 0, 0);
    SendMessageA(locked, WM_UNDO, 0, 0);
    EXPECT_EQ("13800138000", Ui_Text(locked));
    EXPECT_TRUE(IsWindowEnabled(locked));

    // The neighbouring field still takes the same typing.
    c = Ui_Centre(normal);
    Ui_Click(c.x, c.y);
    TypeKeys("45");
    EXPECT_EQ("45", Ui_Text(normal));
    EXPECT_EQ(normal, CaretWindow());

    // The program still fills and reads the locked value.
    SetWindowTextA(locked, "021-6666");
    EXPECT_EQ("021-6666", Ui_Text(locked));
    char buf[32] = "";
    GetDlgItemTextA(host, 1083, buf, sizeof buf);
    EXPECT_STREQ("021-6666", buf);

    // It looks like a live field (window colour), unlike a disabled one.
    UpdateWindow(host);
    Shot sl = Ui_Capture(locked), sn = Ui_Capture(normal), sg = Ui_Capture(greyed);
    EXPECT_EQ(sn.at(sn.w - 6, sn.h / 2), sl.at(sl.w - 6, sl.h / 2));
    EXPECT_NE(sg.at(sg.w - 6, sg.h / 2), sl.at(sl.w - 6, sl.h / 2));
    Ui_Screenshot("rights_locked_field");

    // The lock ends with the control.
    DestroyWindow(locked);
    Ui_Pump(20);
}

TEST_F(RightsUi, LockingAFocusedFieldTakesTheFocusAway)
{
    HWND e = Edit(host, 1049, 20, 20, "88.50");
    SetFocus(e);
    Ui_Pump(20);
    ASSERT_EQ(e, GetFocus());
    Rights_LockField(e);
    EXPECT_NE(e, GetFocus());
    TypeKeys("9");
    EXPECT_EQ("88.50", Ui_Text(e));
}

TEST_F(RightsUi, TabAndShiftTabLeaveALockedMultiLineField)
{
    HWND dlg = Ui_CreateDialog(80, 80, 420, 260);
    ASSERT_NE(nullptr, dlg);
    HWND before = Edit(dlg, 1049, 20, 20);
    HWND remark = Ui_Child(dlg, "EDIT", WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN, 20, 60, 200,
                           80, 1108, "remark");
    HWND after = Edit(dlg, 1103, 20, 160);
    Rights_LockField(remark);

    SetFocus(before);
    PressKey(VK_TAB);
    EXPECT_EQ(after, GetFocus()) << "Tab passes over the locked field";

    // Even when it holds the focus (a click put it there), Tab and
    // Shift+Tab leave it and type nothing into it.
    SetFocus(remark);
    PressKey(VK_TAB);
    EXPECT_EQ(after, GetFocus());
    SetFocus(remark);
    Ui_RealKey(VK_TAB, true);
    EXPECT_EQ(before, GetFocus());
    EXPECT_EQ("remark", Ui_Text(remark));
    DestroyWindow(dlg);
}

// ---- Dialog checks --------------------------------------------------------------

TEST_F(RightsUi, HouseFieldsLockOrDisableWithheldRights)
{
    // Two pages, as in the edit dialog: fields on the host and on a page.
    HWND page = Ui_Child(host, "STATIC", 0, 300, 0, 330, 300, 2001);
    struct Field {
        int id;
        HWND parent;
        HWND h;
    };
    Field fields[] = {
        {1083, host, nullptr}, {1084, host, nullptr}, {1090, host, nullptr}, {1259, host, nullptr},
        {1108, page, nullptr}, {1092, host, nullptr}, {1254, page, nullptr}, {1103, page, nullptr},
        {1117, page, nullptr}, {1071, page, nullptr}, {1049, page, nullptr}, {1295, host, nullptr},
    };
    int y = 4;
    for (Field& f : fields) {
        f.h = f.id == 1295 ? Button(f.parent, f.id, 110, y) : Edit(f.parent, f.id, 10, y, "值");
        y += 24;
    }
    auto find = [&](int id) {
        for (const Field& f : fields)
            if (f.id == id) return f.h;
        return static_cast<HWND>(nullptr);
    };
    EXPECT_EQ(find(1049), Rights_FindControl(host, 1049));

    // Partial modification with remarks only, viewing telephones allowed.
    RightsUser_Make(&u, "01" "0Y" "13" "1B");
    HouseDialog_FieldRights(&u.p, host);
    for (int id : {1083, 1084, 1090, 1259, 1254, 1103, 1049}) {
        EXPECT_TRUE(Rights_IsLocked(find(id))) << id;
        EXPECT_TRUE(IsWindowEnabled(find(id))) << id;
    }
    for (int id : {1092, 1117, 1071}) {
        EXPECT_FALSE(IsWindowEnabled(find(id))) << id;
        EXPECT_FALSE(Rights_IsLocked(find(id))) << id;
    }
    EXPECT_FALSE(Rights_IsLocked(find(1108)));
    EXPECT_TRUE(IsWindowEnabled(find(1108)));
    EXPECT_TRUE(IsWindowEnabled(find(1295)));
    Ui_Screenshot("rights_house_fields_partial");
}

TEST_F(RightsUi, HouseFieldsOfAFullModifierStayOpen)
{
    HWND tel = Edit(host, 1083, 10, 10);
    HWND estate = Edit(host, 1092, 10, 40);
    HWND view = Button(host, 1295, 10, 70);
    RightsUser_Make(&u, "01" "09");
    HouseDialog_FieldRights(&u.p, host);
    EXPECT_FALSE(Rights_IsLocked(tel));
    EXPECT_TRUE(IsWindowEnabled(estate));
    EXPECT_FALSE(IsWindowEnabled(view));   // viewing telephones is a right of its own
}

TEST_F(RightsUi, ClientFieldsAreDisabledWhenWithheld)
{
    const int ids[] = {1282, 1084, 1119, 1121, 1127, 1129, 1108, 1117, 1118, 1072};
    int y = 4;
    for (int id : ids) {
        Edit(host, id, 10, y, "1");
        y += 24;
    }
    HWND view = Button(host, 1295, 200, 10);
    RightsUser_Make(&u, "1C" "0Z" "19" "45");
    ClientDialog_FieldRights(&u.p, host);
    for (int id : ids) {
        HWND h = GetDlgItem(host, id);
        EXPECT_EQ(id == 1108, IsWindowEnabled(h) != FALSE) << id;
        EXPECT_FALSE(Rights_IsLocked(h)) << id;
    }
    EXPECT_TRUE(IsWindowEnabled(view));
}

TEST_F(RightsUi, SaveButtonsOfTheEditDialogs)
{
    HWND ok = Button(host, IDOK, 10, 10);
    // A clerk's own house may be saved, a colleague's not; moving between
    // records re-decides.
    RightsUser_Make(&u, "0109", 7, 3);
    Rights_RecordSave(&u.p, host, ZTM_HOUSE, 7, 3);
    EXPECT_TRUE(IsWindowEnabled(ok));
    Rights_RecordSave(&u.p, host, ZTM_HOUSE, 8, 3);
    EXPECT_FALSE(IsWindowEnabled(ok));
    Rights_RecordSave(&u.p, host, ZTM_HOUSE, 7, 5);
    EXPECT_TRUE(IsWindowEnabled(ok));
    // Branch scope on clients.
    RightsUser_Make(&u, "1D1I", 7, 3);
    Rights_RecordSave(&u.p, host, ZTM_CLIENT, 9, 3);
    EXPECT_TRUE(IsWindowEnabled(ok));
    Rights_RecordSave(&u.p, host, ZTM_CLIENT, 7, 4);
    EXPECT_FALSE(IsWindowEnabled(ok));

    // Estate dialog: save, building buttons, name fields.
    HWND add = Button(host, 5, 80, 10), mod = Button(host, 4, 150, 10), del = Button(host, 3, 220, 10);
    HWND name = Edit(host, 1044, 10, 50), spell = Edit(host, 1045, 110, 50);
    EnableWindow(ok, TRUE);
    RightsUser_Make(&u, "3E" "3F" "3G");
    Rights_EstateDialog(&u.p, host);
    EXPECT_FALSE(IsWindowEnabled(ok));
    EXPECT_TRUE(IsWindowEnabled(add));
    EXPECT_FALSE(IsWindowEnabled(mod));
    EXPECT_FALSE(IsWindowEnabled(del));
    EXPECT_FALSE(IsWindowEnabled(name));
    EXPECT_FALSE(IsWindowEnabled(spell));
    for (HWND h : {ok, add, mod, del, name, spell}) EnableWindow(h, TRUE);
    RightsUser_Make(&u, "3E" "3D" "47" "3H" "3I");
    Rights_EstateDialog(&u.p, host);
    EXPECT_TRUE(IsWindowEnabled(ok));
    EXPECT_FALSE(IsWindowEnabled(add));
    EXPECT_TRUE(IsWindowEnabled(mod));
    EXPECT_TRUE(IsWindowEnabled(del));
    EXPECT_TRUE(IsWindowEnabled(name));

}

}  // namespace
