#include "tests/module/tree_module.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "app/resources/toolbar_images.h"

#include <cstddef>

TreeProbe g_tree;

namespace {

// The module's state: the key of the node it lists.
struct TreeState {
    int iKey;
};

// Worker: two groups, the first with two leaves, the second with one.
BOOL LoadTree(ZT_MODWIN*, std::vector<ZT_TREENODE>* nodes)
{
    g_tree.treeThread = GetCurrentThreadId();
    g_tree.treeLoads++;
    *nodes = {{-1, "甲组", 0, 1}, {0, "甲一", 1, 11}, {0, "甲二", 1, 12}, {-1, "乙组", 0, 2}, {3, "乙一", 1, 21}};
    return TRUE;
}

BOOL Select(ZT_MODWIN* w, const ZT_TREESEL& sel)
{
    if (g_tree.loadsRunning)
        g_tree.selectedDuringLoad = true;
    g_tree.selected.push_back(sel.iKey);
    static_cast<TreeState*>(w->pState)->iKey = sel.iKey;
    return TRUE;
}

BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    g_tree.gridLoads++;
    if (++g_tree.loadsRunning > g_tree.mostRunning)
        g_tree.mostRunning = g_tree.loadsRunning;
    g_tree.loadedFor.push_back(static_cast<TreeState*>(w->pState)->iKey);
    if (HWND tree = g_tree.hTreeToSelect) {
        g_tree.hTreeToSelect = nullptr;
        // The user picks another node while this load runs.
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(g_tree.hItemToSelect));
        Sleep(300);
        g_tree.selectedSeenInLoad = static_cast<int>(g_tree.selected.size());
    }
    int n = 0;
    tagPostion* list = nullptr;
    BOOL ok = FD_Sct_Pst(&list, &n, 0) != nullptr;
    if (ok)
        *rs = Module_RecSet(list, n);
    g_tree.loadsRunning--;
    return ok;
}

void Free(void* block)
{
    Mem_Free_Pst(static_cast<tagPostion*>(block));
}

const ZT_TBDEF kButtons[] = {ZT_TB_CLOSING};
const ZT_COLDEF kColumns[] = {
    {"职位", 140, LVT_TEXT, nullptr, LVU_NONE, 0, offsetof(tagPostion, szPST), nullptr},
};
const ZT_TREEDESC kTree = {120, LoadTree, Select, {CTXPOS_PARAM, -1, -1, -1}, FALSE, 0};

}  // namespace

extern const ZT_MODULE_DESC g_TreeModule = {
    "ZT_CHILD_TEST_TREE", TREE_CMD_OPEN, ZTM_ORG, IDS_ORG, CW_USEDEFAULT, CW_USEDEFAULT,
    sizeof(tagPostion), offsetof(tagPostion, iOrdinal), sizeof(TreeState),
    ZT_TABLE(kButtons), ZT_TABLE(kColumns), nullptr, 0,
    -1, 0,
    nullptr, nullptr, nullptr, nullptr, Load, nullptr, nullptr, Free, nullptr, nullptr,
    nullptr, nullptr, &kTree,
};
