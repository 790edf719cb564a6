// The tree of a module window: read on a worker, filled on the window
// thread, its first leaf selected before the first load, and a selection
// made while a load runs taken only when that load has finished.
#include "tests/support/window_driver.h"
#include "tests/module/tree_module.h"
#include "app/shell/frame.h"

#include <commctrl.h>
#include <string>
#include <vector>

namespace {

class TreeTest : public ModuleWindowTest {
protected:
    static void SetUpTestSuite() { OpenWithModule("kelmora_module_tree", &g_TreeModule); }
    void SetUp() override
    {
        g_tree = TreeProbe();
        ModuleWindowTest::SetUp();
    }
    static std::string Text(HWND hTree, HTREEITEM h)
    {
        char buf[64] = "";
        TVITEMA it = {};
        it.mask = TVIF_TEXT | TVIF_HANDLE;
        it.hItem = h;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        return buf;
    }
    static void WaitIdle(ZT_MODWIN* w)
    {
        for (int i = 0; i < 300 && (w->bBusy || w->bTreePending); i++)
            Ui_Pump(20);
        Ui_Pump(60);
    }
};

}  // namespace

TEST_F(TreeTest, TheTreeIsReadOnAWorkerFilledHereAndItsFirstLeafLoadsTheGrid)
{
    Shell_Command(frame, TREE_CMD_OPEN);
    HWND hwnd = Frame_FindChild("ZT_CHILD_TEST_TREE");
    ASSERT_NE(hwnd, nullptr);
    ZT_MODWIN* w = Module_Of(hwnd);
    for (int i = 0; i < 200 && g_tree.gridLoads < 1; i++)
        Ui_Pump(20);
    WaitIdle(w);

    EXPECT_EQ(g_tree.treeLoads, 1);
    EXPECT_NE(g_tree.treeThread, GetCurrentThreadId());
    EXPECT_EQ(SendMessageA(w->hTree, TVM_GETCOUNT, 0, 0), 5);
    // The first group hands its selection to its first leaf, which the
    // module takes before the one grid load reads it.
    HTREEITEM caret = TreeView_GetSelection(w->hTree);
    EXPECT_EQ(Text(w->hTree, caret), "甲一");
    EXPECT_EQ(g_tree.selected, std::vector<int>{11});
    EXPECT_EQ(g_tree.loadedFor, std::vector<int>{11});
    ZT_TREESEL sel = Module_TreeSelection(w);
    EXPECT_EQ(sel.iKind, 1);
    EXPECT_EQ(sel.iKey, 11);
    EXPECT_EQ(sel.iParentKey, 1);
    EXPECT_EQ(Module_TreeItem(w, 1, 21), TreeView_GetChild(w->hTree, TreeView_GetNextSibling(w->hTree,
                                                                                        TreeView_GetRoot(w->hTree))));
    EXPECT_GT(Shell_GridRows(w->hGrid), 0);

    // A group clicked hands the selection on to its first leaf.
    Module_TreeSelect(w, Module_TreeItem(w, 0, 2));
    WaitIdle(w);
    EXPECT_EQ(Text(w->hTree, TreeView_GetSelection(w->hTree)), "乙一");
    EXPECT_EQ(g_tree.loadedFor, (std::vector<int>{11, 21}));
}

TEST_F(TreeTest, ASelectionWhileALoadRunsStartsNoSecondLoadAndIsTakenAfterIt)
{
    Shell_Command(frame, TREE_CMD_OPEN);
    HWND hwnd = Frame_FindChild("ZT_CHILD_TEST_TREE");
    ZT_MODWIN* w = Module_Of(hwnd);
    for (int i = 0; i < 200 && g_tree.gridLoads < 1; i++)
        Ui_Pump(20);
    WaitIdle(w);
    ASSERT_EQ(g_tree.gridLoads, 1);

    // "刷新" runs a load that the user interrupts by picking 甲二.
    g_tree.hTreeToSelect = w->hTree;
    g_tree.hItemToSelect = Module_TreeItem(w, 1, 12);
    PostMessageA(hwnd, WM_COMMAND, ID_MODULE_REFRESH, 0);
    for (int i = 0; i < 200 && g_tree.loadedFor.size() < 3; i++)
        Ui_Pump(20);
    WaitIdle(w);

    EXPECT_EQ(g_tree.selectedSeenInLoad, 1) << "the module's state untouched under the running load";
    EXPECT_EQ(g_tree.mostRunning, 1);
    EXPECT_FALSE(g_tree.selectedDuringLoad);
    EXPECT_EQ(g_tree.selected, (std::vector<int>{11, 12}));
    EXPECT_EQ(g_tree.loadedFor, (std::vector<int>{11, 11, 12}));
    EXPECT_EQ(Module_TreeSelection(w).iKey, 12);
}
