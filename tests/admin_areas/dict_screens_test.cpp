// The area and parameter windows on the demo data set a newcomer sees,
// photographed for the README.
#include "tests/admin_areas/dict_driver.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"

namespace {

TEST(DictScreens, BothWindowsOnTheDemoData)
{
    DbFix_OpenDemo("kelmora_dicts_demo");
    Shell_Setup();
    tagZT_Main_Param* p = &g_ZTMain;
    Startup_LoadLists(p);
    p->pLoginEmp = p->pEmpList;                       // 管理员
    ASSERT_EQ(p->pLoginEmp->iOrdinal, 1);
    ASSERT_EQ(Startup_Phase2(p, nullptr), 1);
    Shell_Setup();                                    // every right again
    ASSERT_TRUE(Module_RegisterClasses(p->hInst));
    TestBoxes_Reset();

    DictWindow area{Shell_CreateFrame()}, param{area.frame};
    ASSERT_TRUE(area.Open(IDM_AREA, ZT_CLASS_CHILD_URBAN));
    EXPECT_EQ(Dict_TreeSelected(area.w->hTree), "西湖区");      // 杭州's first, with its three districts
    EXPECT_EQ(Shell_CountBox(area.hwnd), "3");
    Wd_ClickRow(area.w->hGrid, 0);
    Dict_ClickTree(area.w, area.Item("西湖区"));              // the tree has the focus
    Ui_MouseTo(5, 5);
    Ui_Screenshot("area-window");

    ASSERT_TRUE(param.Open(IDM_PARAM, ZT_CLASS_CHILD_ARGC));
    Dict_ClickTree(param.w, param.Item("朝向"));
    EXPECT_EQ(Shell_CountBox(param.hwnd), "10");
    Wd_ClickRow(param.w->hGrid, 1);
    Dict_ClickTree(param.w, param.Item("朝向"));
    Ui_MouseTo(5, 5);
    Ui_Screenshot("param-window");
    EXPECT_EQ(TestBoxes_Count(), 0u);
    Shell_DestroyFrame(area.frame);
    p->pLoginEmp = nullptr;
    TestDb_Close();
}

}  // namespace
