// The shared caches kept in step: an employee and a branch added in the
// organisation window, and listings handed to them, are listed and offered
// at once by every open window and by the forms opened afterwards; houses
// another desk gave to an employee this session never heard of are listed
// after one read of the look-up lists.
#include "tests/admin_org/org_support.h"
#include "app/admin/log_ids.h"
#include "app/listings/client_dialog_ids.h"
#include "app/listings/follow_ids.h"
#include "app/listings/house_dialog_ids.h"
#include "app/listings/listing_window.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"
#include "app/resources/resource.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(HWND hBox)
{
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(hBox, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; i++) {
        char buf[128] = "";
        SendMessageA(hBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(buf);
    }
    return out;
}

bool Has(const std::vector<std::string>& v, const char* s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}

class SharedCaches : public testing::Test {
protected:
    HWND frame = nullptr;
    void SetUp() override
    {
        Org_OpenDemo("kelmora_caches");
        frame = Org_CreateFrame();
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override { Shell_DestroyFrame(frame); }
    static int Key(const std::string& sql) { return atoi(TestDb_Scalar(sql).c_str()); }
    HWND OpenList(int cmd, const char* cls)
    {
        Shell_Command(frame, cmd);
        HWND h = Frame_FindChild(cls);
        if (h)
            Org_WaitIdle(h);
        return h;
    }
    // Every record the house list shows.
    static std::vector<const tagHOUSE*> Houses(HWND hList)
    {
        std::vector<const tagHOUSE*> out;
        ZT_MODWIN* w = Module_Of(hList);
        SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_FIRST);
        for (const void* last = nullptr;;) {
            const void* r = reinterpret_cast<const void*>(SendMessageA(w->hGrid, GRM_GETSEL, 0, 0));
            if (!r || r == last)
                break;
            out.push_back(static_cast<const tagHOUSE*>(r));
            last = r;
            SendMessageA(w->hGrid, GRM_MOVESEL, 0, LV_MOVE_NEXT);
        }
        return out;
    }
    static long long ListedOf(HWND hList, int iEmp)
    {
        std::vector<const tagHOUSE*> h = Houses(hList);
        return std::count_if(h.begin(), h.end(), [iEmp](const tagHOUSE* r) { return r->iEmp == iEmp; });
    }
    // The employee names a dialog offers once the branch box names br.
    std::vector<std::string> OfferedIn(HWND hList, int cmd, const char* caption, int idBr, int idEmp, const char* br)
    {
        std::vector<std::string> offered;
        Wd_Drive([&] { PostMessageA(hList, WM_COMMAND, cmd, 0); }, [&](DWORD tid) {
            HWND d = Org_Dialog(tid, caption);
            ASSERT_NE(d, nullptr) << caption;
            if (br) {
                Org_SetText(d, idBr, br);
                SendMessageA(d, WM_COMMAND, MAKEWPARAM(idBr, ZTCBN_CHOSEN), reinterpret_cast<LPARAM>(GetDlgItem(d, idBr)));
                Sleep(300);
            }
            offered = Items(GetDlgItem(d, idEmp));
            TestBoxes_Answer(IDNO);          // "数据已修改, 是否保存?": no
            St_Click(GetDlgItem(d, IDCANCEL));
            St_WaitGone(d);
        });
        return offered;
    }
};

}  // namespace

TEST_F(SharedCaches, ABranchAndAnEmployeeAddedHereAreListedAndOfferedAtOnce)
{
    // Open before the changes: the house list and the operation log.
    HWND houses = OpenList(IDM_HOUSE, ZT_CLASS_CHILD_HOU);
    HWND log = OpenList(IDM_LOG, ZT_CLASS_CHILD_LOG);
    ASSERT_TRUE(houses && log);
    int li = Key("select iOrdinal from t_employee where szEmp = '李娜'");
    long long hers = TestDb_Count("t_house where bRecyle = 0 and iEmp = " + std::to_string(li));
    ASSERT_GT(hers, 0);

    // The administrator adds 西溪店 and 周敏 there, and hands 李娜's
    // listings to her.
    HWND org = Org_Open(frame);
    ASSERT_NE(org, nullptr);
    Wd_Drive([&] { Shell_ClickButton(org, ID_ORG_BRANCH_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "增加部门");
        ASSERT_NE(d, nullptr);
        Org_SetText(d, IDC_BRD_NAME, "西溪店");
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    Org_ClickTreeItem(Module_Of(org)->hTree, Wd_TreeItem(Module_Of(org)->hTree, "西溪店"));
    Wd_Drive([&] { Shell_ClickButton(org, ID_ORG_EMP_ADD); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "员工增加");
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(Org_Choose(d, IDC_EMPD_POSITION, "业务员"));
        Org_SetText(d, IDC_EMPD_NAME, "周敏");
        St_Type(GetDlgItem(d, IDC_EMPD_PWD), "zm2024");
        St_Type(GetDlgItem(d, IDC_EMPD_PWD2), "zm2024");
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    int zhou = Key("select iOrdinal from t_employee where szEmp = '周敏'");
    ASSERT_GT(zhou, 0);
    Org_ClickTreeItem(Module_Of(org)->hTree, Wd_TreeItem(Module_Of(org)->hTree, "总店"));
    ASSERT_TRUE(Org_ClickEmployee(org, "李娜"));
    TestBoxes_Answer(IDOK);                  // "是否继续?"
    Wd_Drive([&] { Shell_ClickButton(org, ID_ORG_EMP_TRANSFER); }, [&](DWORD tid) {
        HWND d = Org_Dialog(tid, "员工转移");
        ASSERT_NE(d, nullptr);
        ASSERT_TRUE(Org_Choose(d, IDC_TRF_BRANCH, "西溪店"));
        EXPECT_TRUE(St_WaitFor([&] { return SendMessageA(GetDlgItem(d, IDC_TRF_EMP), CB_GETCOUNT, 0, 0) == 1; }));
        ASSERT_TRUE(Org_Choose(d, IDC_TRF_EMP, "周敏"));
        St_Click(GetDlgItem(d, IDOK));
        EXPECT_TRUE(St_WaitGone(d));
    });
    ASSERT_EQ(TestDb_Count("t_house where bRecyle = 0 and iEmp = " + std::to_string(zhou)), hers);
    TestBoxes_Reset();

    // The house list lists them under her name, with no box.
    SendMessageA(Frame_MDIClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(houses), 0);
    SendMessageA(houses, WM_COMMAND, ID_MODULE_REFRESH, 0);
    Org_WaitIdle(houses);
    EXPECT_EQ(ListedOf(houses, zhou), hers);
    EXPECT_STREQ(Cache_EmployeeName(&g_ZTMain, zhou), "周敏");
    EXPECT_EQ(TestBoxes_Count(), 0u);

    // The open log's panel offers both; the forms opened now offer her
    // under her branch.
    HWND logPanel = ListingWindow_Panel(log);
    EXPECT_TRUE(Has(Items(GetDlgItem(logPanel, IDC_LOG_BR)), "西溪店"));
    EXPECT_TRUE(Has(Items(GetDlgItem(logPanel, IDC_LOG_EMP)), "周敏"));
    EXPECT_EQ(OfferedIn(houses, ID_HOUSE_ADD, "增加房源", IDC_HD_BR, IDC_HD_EMP, "西溪店"),
              std::vector<std::string>{"周敏"});
    HWND clients = OpenList(IDM_CLIENT, ZT_CLASS_CHILD_CLI);
    EXPECT_TRUE(Has(OfferedIn(clients, ID_CLIENT_ADD, "增加客源", IDC_CD_BRANCH, IDC_CD_EMPLOYEE, nullptr), "周敏"));
    HWND follows = OpenList(IDM_HOUSE_FOLLOW, ZT_CLASS_CHILD_HOU_F);
    ASSERT_NE(follows, nullptr);
    ZT_MODWIN* fw = Module_Of(follows);
    HWND hBr = Rights_FindControl(fw->hwnd, IDC_FOLLOW_BR);
    EXPECT_TRUE(Has(Items(hBr), "西溪店"));
    SetWindowTextA(hBr, "西溪店");
    SendMessageA(follows, WM_COMMAND, MAKEWPARAM(IDC_FOLLOW_BR, ZTCBN_CHANGE), reinterpret_cast<LPARAM>(hBr));
    EXPECT_EQ(Items(Rights_FindControl(fw->hwnd, IDC_FOLLOW_EMP)), std::vector<std::string>{"周敏"});
    for (const TestBox& b : TestBoxes_Taken())
        EXPECT_EQ(b.text, "数据已修改, 是否保存?") << "no other box on the way";
}

TEST_F(SharedCaches, HousesAnotherDeskGaveToANewEmployeeAreListedAfterOneReloadOfTheLookUps)
{
    HWND houses = OpenList(IDM_HOUSE, ZT_CLASS_CHILD_HOU);
    ASSERT_NE(houses, nullptr);
    // Another desk: a new branch and employee, and two houses handed over.
    TestDb_Exec("insert into t_branch (szNum, szBr) values ('009', '城西店')");
    int br = Key("select iOrdinal from t_branch where szBr = '城西店'");
    TestDb_Exec("insert into t_employee (szEmp, iBr, iPst) values ('吴杰', " + std::to_string(br) + ", 3)");
    int wu = Key("select iOrdinal from t_employee where szEmp = '吴杰'");
    TestDb_Exec("update t_house set iEmp = " + std::to_string(wu) + ", iBr = " + std::to_string(br) +
                " where bRecyle = 0 order by iOrdinal limit 2");
    // And one house of an employee nobody has: reported once, by its key.
    TestDb_Exec("update t_house set iEmp = 999999 where bRecyle = 0 and iEmp <> " + std::to_string(wu) +
                " order by iOrdinal limit 1");
    int lost = Key("select iOrdinal from t_house where iEmp = 999999");
    ASSERT_EQ(Cache_Employee(&g_ZTMain, wu), nullptr);

    int reloads = Cache_Reloads();
    SendMessageA(houses, WM_COMMAND, ID_MODULE_REFRESH, 0);
    Org_WaitIdle(houses);
    EXPECT_EQ(Cache_Reloads(), reloads + 1);
    EXPECT_EQ(ListedOf(houses, wu), 2);
    EXPECT_STREQ(Cache_BranchName(&g_ZTMain, br), "城西店");
    std::vector<const tagHOUSE*> listed = Houses(houses);
    EXPECT_TRUE(std::none_of(listed.begin(), listed.end(), [lost](const tagHOUSE* h) { return h->iOrdinal == lost; }));
    EXPECT_GT(listed.size(), 2u);
    TestBoxes_ExpectOnly("房源ID:" + std::to_string(lost) + "关联员工出错");

    // Known from now on: the next load reads the look-ups again only for
    // the house still unknown.
    TestDb_Exec("update t_house set iEmp = 1 where iOrdinal = " + std::to_string(lost));
    TestBoxes_Reset();
    SendMessageA(houses, WM_COMMAND, ID_MODULE_REFRESH, 0);
    Org_WaitIdle(houses);
    EXPECT_EQ(Cache_Reloads(), reloads + 1);
    EXPECT_EQ(ListedOf(houses, wu), 2);
    EXPECT_EQ(TestBoxes_Count(), 0u);
}
