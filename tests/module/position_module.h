// A small module made only of tables, over the positions table: the module
// window framework as every module uses it, without a module's own code.
#pragma once
#include "app/shell/module.h"
#include "data/ZTData.h"

#include <string>
#include <vector>

enum {
    POS_CMD_OPEN = 40990,     // the test adds this item to the main menu
    POS_CMD_ADD = 40051,      // the ids of the "参数管理" context popup
    POS_CMD_MODIFY = 40052,
    POS_CMD_DELETE = 40053,
    POS_CMD_MENU = 40991,     // a drop-down button showing that popup
    POS_CMD_TAG_A = 40992,    // two rows of one function with their arguments
    POS_CMD_TAG_B = 40993
};

// What the module's hooks saw.
struct PositionProbe {
    int loads = 0;
    DWORD loadThread = 0;
    bool slowLoad = false;            // the load lasts until the busy dialog stands
    bool frameHeld = false;           // the frame took no input while loading
    bool busyAtStart = false;         // the busy dialog stood when the load began
    bool busyShown = false;           // the busy dialog stood while loading
    std::string busyText;
    HWND grid = nullptr;
    int frees = 0;
    bool gridClearedBeforeFree = true;
    int destroys = 0;
    int modifies = 0;
    void* lastModified = nullptr;
    BOOL denyDelete = FALSE;          // the user lacks the delete right
    std::string nextName;             // name of the record "add" inserts
    bool closeWhileLoading = false;   // the window is closed while it loads
    int filters = 0;                  // filter hook calls
    bool refuse = false;              // the filter refuses the panel
    int selChanges = 0;               // selection hook calls
    void* lastSel = reinterpret_cast<void*>(1);    // what was selected then
    std::string lastArg;              // the argument a tagged row handed over
    std::vector<int> hookCommands;    // commands that reached the message hook
};
extern PositionProbe g_pos;
extern const ZT_MODULE_DESC g_PositionModule;
