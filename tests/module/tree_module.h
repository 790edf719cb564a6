// A small module with a tree over the positions table: the framework's tree
// description as every tree window uses it, without a window's own code.
#pragma once
#include "app/shell/module.h"

#include <vector>

enum { TREE_CMD_OPEN = 40994 };

// What the module's hooks saw.
struct TreeProbe {
    DWORD treeThread = 0;            // where the tree's nodes were read
    int treeLoads = 0;
    int gridLoads = 0;
    int loadsRunning = 0;            // grid loads running at once, now
    int mostRunning = 0;             // ... at the most
    bool selectedDuringLoad = false; // the module's selection hook ran while a load ran
    std::vector<int> selected;       // keys handed to the selection hook, in order
    std::vector<int> loadedFor;      // the key each grid load read
    HWND hTreeToSelect = nullptr;    // set: the next grid load selects this tree's ...
    HTREEITEM hItemToSelect = nullptr;    // ... item from its worker while it runs
    int selectedSeenInLoad = -1;     // how many selections the module had taken then
};
extern TreeProbe g_tree;
extern const ZT_MODULE_DESC g_TreeModule;
