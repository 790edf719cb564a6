// The area and parameter windows on the demo data set a newcomer sees,
// photographed for the README: the first city's first urban area with its
// districts, and the values of one parameter name.
#include "tests/admin_areas/dict_driver.h"
#include "app/admin/area_window.h"
#include "app/admin/param_window.h"
#include "app/shell/frame.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "db/dbtool.h"

#include <string>

namespace {

class DictScreensTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        TestDb_Open("kelmora_dicts_demo");
        std::string err;
        ASSERT_TRUE(DbTool_Demo(TestDb_Conn(), &err)) << err;
        Shell_Setup();
        tagZT_Main_Param* p = &g_ZTMain;
        Startup_LoadLists(p);
        p->pLoginEmp = static_cast<tagEMPLIST*>(FindEmp(p->pEmpList, nullptr, 1, nullptr, p->nEmp, sizeof(tagEMPLIST), 0));
        ASSERT_NE(p->pLoginEmp, nullptr);
        ASSERT_EQ(Startup_Phase2(p, nullptr), 1);
        Shell_Setup();    // every right again
        ASSERT_TRUE(Module_RegisterClasses(p->hInst));
        ZTListview_SetMessageBoxHook(TestBoxes_Hook());
    }
    static void TearDownTestSuite()
    {
        g_ZTMain.pLoginEmp = nullptr;
        TestDb_Close();
    }
};

TEST_F(DictScreensTest, BothWindowsOnTheDemoData)
{
    TestBoxes_Reset();
    HWND frame = Shell_CreateFrame();
    ASSERT_NE(frame, nullptr);

    ZT_MODWIN* area = Dict_Open(frame, IDM_AREA, ZT_CLASS_CHILD_URBAN);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(Dict_TreeChildren(area->hTree, nullptr), (std::vector<std::string>{"杭州", "上海"}));
    EXPECT_EQ(Dict_TreeSelected(area->hTree), "西湖区");
    EXPECT_EQ(Shell_CountBox(area->hwnd), "3");
    Dict_ClickRow(area, 0);
    Dict_ClickTree(area, Dict_TreeItem(area->hTree, "西湖区"));      // the tree has the focus
    Ui_MouseTo(5, 5);
    Ui_Pump(200);
    Ui_Screenshot("area-window");

    ZT_MODWIN* param = Dict_Open(frame, IDM_PARAM, ZT_CLASS_CHILD_ARGC);
    ASSERT_NE(param, nullptr);
    HTREEITEM name = Dict_TreeItem(param->hTree, "朝向");
    ASSERT_NE(name, nullptr);
    Dict_ClickTree(param, name);
    EXPECT_EQ(Shell_CountBox(param->hwnd), "10");
    Dict_ClickRow(param, 1);
    Dict_ClickTree(param, name);
    Ui_MouseTo(5, 5);
    Ui_Pump(200);
    Ui_Screenshot("param-window");
    EXPECT_EQ(TestBoxes_Count(), 0u);
    Shell_DestroyFrame(frame);
}

}  // namespace
