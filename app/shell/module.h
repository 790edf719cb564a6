// The module window: one window procedure behind every module class
// ("ZT_CHILD_..."), driven by a module's tables.  A module describes its
// toolbar, grid columns, commands, context menu and a few hooks in one
// static ZT_MODULE_DESC and is listed in the program's module table
// (app/module_list.cpp; a test may add one with Module_Register before the
// classes are registered); the frame then opens it from its main-menu
// command.  What every module window shares is here:
//   - per-window state (ZT_MODWIN) allocated with the window, kept in
//     GWLP_USERDATA and freed on WM_DESTROY (grid cleared first, then the
//     record block released, then the module's own state);
//   - the toolbar with each button's right and drop-down menu, the grid
//     with its columns, the context menu on a right click, the command of
//     a double click and the hook of a selection change;
//   - the command table with "needs a selection", "asks to confirm" and an
//     argument per row;
//   - refresh ("刷新"): the filter composed on the window thread (a filter
//     that refuses the panel loads nothing), the load on a worker behind
//     the busy dialog "数据查询....", the grid bound to the block
//     (Block_FillGrid) and the count box set;
//   - a tree left of the grid behind a splitter the user drags;
//   - adding a record into the first free slot (key 0) of the block and
//     deleting the selected record with confirmation (zeroed slot);
//   - "导出…" (ID_MODULE_EXPORT, export.h): the grid's rows as shown into
//     a workbook or CSV file, from the toolbar (a row of ZT_TB_CLOSING) and
//     from the context menu of every grid, for whoever may open the module;
//   - a module not built yet (a descriptor without toolbar and columns)
//     opens as a placeholder showing its caption.
#pragma once
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "app/resources/resource.h"
#include "grid/ZTListview.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct ZT_MODWIN;

// A block of records as the data library hands it over: the rows followed by
// spare zeroed records.  Slots are rows + spares; a slot whose key is 0 is
// free.  The block belongs to the window until it is released with the
// module's pfnFree.
struct ZT_RECSET {
    void* pBlock;
    int nRows;       // slots used by the load (rows read)
    int nSlots;      // rows + spare records
    // A bounded list (the newest ZT_LIST_ROWS of its filter): how many rows
    // the filter matches, -1 when that is not known; 0: the load read every
    // row there is.  More than the rows read puts Module_BoundedText in the
    // window's status line.
    long long nMatched = 0;
};

// One grid column: the value shown is the record's field at `off`, or what
// pfnLookup answers for the record (e.g. a name in a shared cache), asked
// each time the grid draws, sorts or exports the cell; its pointer need stay
// valid only until the next call.  Column ids are the 1-based positions in
// the table; the grid keeps the address of each entry, so tables are static.
struct ZT_COLDEF {
    const char* pszCaption;
    int iWidth;
    int iType;                  // LVT_INT, LVT_DOUBLE, LVT_TEXT ...
    const char* pszUnit;        // null: none
    int iUnitMode;              // LVU_
    int iAlign;                 // 0 left, 1 centre, 2 right
    size_t off;                 // offset of the value in the record
    const void* (*pfnLookup)(const ZT_MODWIN* w, const void* pRecord);
    unsigned fFlags = 0;        // ZT_COLF_...
};
// A number field whose 0 means "none" (a price a rental house has not):
// its cell, its sort key and its export are empty for 0.
enum { ZT_COLF_ZERO_EMPTY = 1 };

// One toolbar button.  iCmd ZT_TB_SEPARATOR adds a separator, ZT_TB_COUNT the
// record count box (iImage is then its width).  iRightOp is always an
// operation (ZT_OP_VIEW, ZT_OP_ADD ..., rights.h) of the records of module
// iRightModule (-1: the window's own, ZT_MODULE_DESC::iModule): the button
// is disabled when the user may not do it (see ZT_MODULE_DESC::pfnMay).
// A BTNS_DROPDOWN button shows popup iPopup of the context menus (menu 120)
// from its arrow; its commands reach the window.
enum { ZT_TB_SEPARATOR = 0, ZT_TB_COUNT = -1 };
enum { ZT_NO_RIGHT = -1 };
struct ZT_TBDEF {
    int iCmd;
    int iImage;
    const char* pszText;
    BYTE fsStyle;
    int iRightOp;
    int iPopup = -1;
    int iRightModule = -1;
};
// The add, modify and delete buttons of a window's records, by the names
// their commands and images follow (ID_ESTATE_ADD, ZTIMG_EST_ADD ...), each
// greyed by its right.
#define ZT_TB_EDITS(LIST, IMAGE, what)                                            \
    {ID_##LIST##_ADD, ZTIMG_##IMAGE##_ADD, "增加" what, 0, ZT_OP_ADD},             \
        {ID_##LIST##_MODIFY, ZTIMG_##IMAGE##_EDIT, "修改" what, 0, ZT_OP_MODIFY}, \
        {ID_##LIST##_DELETE, ZTIMG_##IMAGE##_DEL, "删除" what, 0, ZT_OP_DELETE}
// Rows of a toolbar table: a separator, and the buttons a module window's
// toolbar closes with ("导出", "刷新", "退出" and the record count box).
#define ZT_TB_SEP {ZT_TB_SEPARATOR, 0, nullptr, 0, ZT_NO_RIGHT}
#define ZT_TB_CLOSING                                                                                     \
    {ID_MODULE_EXPORT, ZTIMG_EXPORT, "导出", 0, ZT_OP_VIEW},                                              \
        {ID_MODULE_REFRESH, ZTIMG_REFRESH, "刷新", 0, ZT_NO_RIGHT}, {ID_MODULE_EXIT, ZTIMG_EXIT, "退出", 0, ZT_NO_RIGHT}, \
        ZT_TB_SEP, {ZT_TB_COUNT, 60, nullptr, 0, ZT_NO_RIGHT}

// One command of the window.  With ZT_CMD_NEEDSEL the command runs only with
// a selected record (pszNoSel, when set, is shown otherwise); ZT_CMD_CONFIRM
// asks "删除后将无法恢复,是否继续" first (a deletion for good), ZT_CMD_TO_BIN
// "删除后可以在回收站中还原,是否继续" (a deletion into the recycle bin); a command whose iRightOp (an
// operation of module iRightModule, as in ZT_TBDEF) the user may not do is
// refused where it runs, whatever sent it (a button, a menu, a posted
// message): it says "没有<its button's or menu item's name>的权限" and does
// nothing.  pfn gets the selected
// record (or null) and the row's pArg (several rows may share one function:
// the quick filters).
enum { ZT_CMD_NEEDSEL = 1, ZT_CMD_CONFIRM = 2, ZT_CMD_TO_BIN = 4 };
typedef void (*ZT_CMD_PROC)(ZT_MODWIN* w, void* pSel, const void* pArg);
struct ZT_CMDDEF {
    int iCmd;
    ZT_CMD_PROC pfn;
    UINT fFlags;
    int iRightOp;
    const char* pszNoSel;
    const void* pArg = nullptr;
    int iRightModule = -1;
};

// Rows of a column table: a field of the record (a text field), the same
// with a unit, and a text a look-up gives (a name in a shared cache).
#define ZT_COL(caption, width, type, align, off) {caption, width, type, nullptr, LVU_NONE, align, off, nullptr}
#define ZT_COL_TEXT(caption, width, align, off) ZT_COL(caption, width, LVT_TEXT, align, off)
#define ZT_COL_UNIT(caption, width, type, unit, mode, align, off) {caption, width, type, unit, mode, align, off, nullptr}
// A right-aligned amount with its unit in every cell, empty for 0.
#define ZT_COL_AMOUNT(caption, width, type, unit, off) \
    {caption, width, type, unit, LVU_CELLS, 2, off, nullptr, ZT_COLF_ZERO_EMPTY}
#define ZT_COL_LOOKUP(caption, width, align, fn) {caption, width, LVT_TEXT, nullptr, LVU_NONE, align, 0, fn}
// The branch and the employee a record belongs to, by their names.
#define ZT_COL_AGENT(width, branch, employee) ZT_COL_LOOKUP("部门", width, 0, branch), ZT_COL_LOOKUP("员工", width, 0, employee)

// Commands every module window shares (app/resources/resource.h):
// ID_MODULE_EXIT (18) closes the window, ID_MODULE_REFRESH (19) loads again,
// ID_MODULE_EXPORT (40300) exports the grid (for a user the module's
// ZT_OP_VIEW allows; the context menu of a grid ends with it).

// ---- The tree ------------------------------------------------------------------------
// A module with a tree left of the grid (behind a splitter the user drags)
// describes it; the framework does the rest.  The tree's nodes are read on
// a worker by pfnLoad, which returns only data; the framework inserts them
// on the window thread, then selects the first node and only then starts
// the first load of the grid.  A node with children hands a selection on
// to its first child (opening the node); a node without children is the
// module's to act on (pfnSelect).  A selection that comes while a worker of
// the window runs is taken when it has finished: no second load starts
// meanwhile, and the module's state is never changed under a running load.

enum { ZT_TREE_KINDS = 4 };

// One node, as the loader hands it over.
struct ZT_TREENODE {
    int iParent;             // index of the parent among the nodes before it; -1 a top node
    std::string text;
    int iKind;               // the module's kind of node, 0 .. ZT_TREE_KINDS - 1
    int iKey;                // the key of the record it stands for
};

// What a selection hands the module: the node's kind and key and its
// parent's (kind -1 when there is none: an empty tree, or a top node).
struct ZT_TREESEL {
    int iKind, iKey;
    int iParentKind, iParentKey;
};

struct ZT_TREEDESC {
    int cx;                  // the tree's width at first, in pixels
    // Worker: the nodes, parents before their children.  FALSE: the tree
    // could not be read (it stays empty; the loader has said why, if need be).
    BOOL (*pfnLoad)(ZT_MODWIN* w, std::vector<ZT_TREENODE>* pNodes);
    // Window thread: a node without children was selected (kind -1:
    // nothing).  The module notes what its next grid load reads; TRUE
    // loads the grid for it.
    BOOL (*pfnSelect)(ZT_MODWIN* w, const ZT_TREESEL& sel);
    // The popup of the context menus (menu 120) a right click on a node of
    // each kind shows (the node is selected first); -1 none.
    int iPopup[ZT_TREE_KINDS];
    // Handing a selection down to a child also closes the node it opened
    // before (one category open at a time).
    BOOL bOneOpen;
    // Kinds of the shared caches (ZTC_ mask, caches.h) the tree is made
    // from: a change of one of them made elsewhere reads the tree again.
    int iCacheKinds;
};

struct ZT_MODULE_DESC {
    const char* pszClass;         // "ZT_CHILD_..."
    int iOpenCmd;                 // main-menu command that opens it (0: none)
    int iModule;                  // ZT_MODULE of the open check
    int iCaption;                 // string-table caption
    int cx, cy;                   // restored size (CW_USEDEFAULT: a usable default)

    size_t cbRecord;              // size of one record of the block
    size_t offKey;                // offset of the int32 key (0 marks a free slot)
    size_t cbState;               // module state allocated zeroed with the window

    const ZT_TBDEF* tb;
    int nTb;
    const ZT_COLDEF* col;
    int nCol;
    const ZT_CMDDEF* cmd;
    int nCmd;
    int iCtxPopup;                // popup of menu 120 on a right click; -1 none
    int iDblClkCmd;               // command of a double click on a row; 0 none

    // Whether the user may do operation iOp (ZT_OP_...) in this module; null:
    // the permission check of the module iModule (Rights_May).  Rows naming
    // a module of their own (iRightModule) ask Rights_May for that module.
    BOOL (*pfnMay)(const tagZT_Main_Param* p, int iOp);
    // Window thread, after the toolbar and grid exist: the module's other
    // controls (filter panel, tree, panes).  FALSE fails the creation.
    BOOL (*pfnCreate)(ZT_MODWIN* w);
    // Window thread: places the module's controls in rcFree (the client area
    // below the toolbar) and leaves in it the rectangle the grid takes.
    void (*pfnLayout)(ZT_MODWIN* w, RECT* rcFree);
    // Window thread, before a refresh: the panel values into w->filter.
    // FALSE refuses the panel (the hook has named the box that holds what no
    // filter can take, and put the focus on it): nothing is loaded.
    BOOL (*pfnFilter)(ZT_MODWIN* w);
    // Worker thread: loads the records (a FD_Sct_* call or a cache walk).
    // FALSE: nothing was loaded.  A FALSE after the data library wrote an
    // error record (the server refused the statement, the connection broke)
    // or after a box on the worker (the module's own, or the library's
    // "未连接到数据服务器") is a failed load: the rows shown stay, and unless
    // a box has told the user already, "查询失败, 列表没有刷新" with the
    // server's reason is shown.  A FALSE without either (nothing selected to
    // list) empties the grid.
    BOOL (*pfnLoad)(ZT_MODWIN* w, ZT_RECSET* rs);
    // Whether a loaded record is listed (null: every record with a key).
    BOOL (*pfnCheckRow)(const ZT_MODWIN* w, const void* pRecord);
    // Deletes a record in the database: 1 deleted, 0 refused or failed (the
    // data library has told the user why).
    int (*pfnDelete)(int iOpEmp, const void* pRecord);
    // Releases a block of the module's records (Mem_Free_...).
    void (*pfnFree)(void* pBlock);
    // Window thread, when the window goes: the module's own resources.
    void (*pfnDestroy)(ZT_MODWIN* w);
    // The messages the tables and the shared commands leave come here last;
    // *pDone = TRUE answers one (else the MDI child's default does).
    LRESULT (*pfnMessage)(ZT_MODWIN* w, UINT msg, WPARAM wParam, LPARAM lParam, BOOL* pDone);
    // Window thread: the grid's selection changed, or the grid was cleared.
    void (*pfnSelChange)(ZT_MODWIN* w) = nullptr;
    // The module's own static description, for hooks several modules share
    // (a filter-panel list window's LISTING_DESC); null: none.
    const void* pDesc = nullptr;
    // A tree left of the grid (null: none): see ZT_TREEDESC.
    const ZT_TREEDESC* pTree = nullptr;
    // The shared cache (a ZTC_ kind of caches.h; 0: none) that a record the
    // shared delete (Module_CmdDelete) deleted in the database leaves, by
    // its key, before it leaves the grid: no window rewrites the delete to
    // keep a cache in step.
    int iCacheKind = 0;
    // Window thread: a row was added to the grid (Module_AddRecord) or
    // removed from it (Module_RemoveSelected), after the count box and the
    // status line followed; for what the window counts of its rows.
    void (*pfnRowsChanged)(ZT_MODWIN* w) = nullptr;
};

// A table of a descriptor and its length: ZT_TABLE(kButtons).
#define ZT_TABLE(a) a, static_cast<int>(sizeof(a) / sizeof((a)[0]))

// The description of a module whose records T (keyed by iOrdinal) are
// listed beside the file's tree kTree, with the file's tables kButtons,
// kColumns and kCommands; the hooks follow in their order from pfnMay to
// the one before the tree (a hook whose name holds a comma in parentheses).
#define ZT_TREE_MODULE(cls, openCmd, module, caption, cx, cy, T, W, ctxPopup, dblClkCmd, cache, ...) \
    {cls, openCmd, module, caption, cx, cy, sizeof(T), offsetof(T, iOrdinal), sizeof(W),            \
     ZT_TABLE(kButtons), ZT_TABLE(kColumns), ZT_TABLE(kCommands), ctxPopup, dblClkCmd, __VA_ARGS__, &kTree, cache}

// Per-window state.
struct ZT_MODWIN {
    const ZT_MODULE_DESC* d;
    tagZT_Main_Param* p;
    HWND hwnd;
    HWND hGrid;
    HWND hToolbar;
    ZT_RECSET rs;            // the block the grid shows
    int nListed;             // records listed (the count box)
    BOOL bLoaded;            // the last load succeeded
    std::string filter;      // the filter the last refresh composed
    void* pState;            // the module's own state (cbState bytes)
    BOOL bBusy;              // a worker of this window is running
    BOOL bGone;              // destroyed while it ran: released afterwards
    HWND hTree;              // the tree (pTree), or null
    int xSplit;              // x of the splitter between tree and grid
    BOOL bTreeFilling;       // the framework is changing the tree: its selections are its own
    BOOL bTreePending;       // the tree's selection changed while a worker ran
    BOOL bTreeStale;         // the tree is to be read again once the worker has finished
    HTREEITEM hTreeOpen;     // the node a selection handed down last opened (bOneOpen)
    // The columns of the grid shown: the descriptor's, or those of another
    // grid of the module shown in its place (Module_ShowGrid).
    const ZT_COLDEF* col;
    int nCol;
    // The status line under the grid that says a bounded list shows only
    // part of what its filter matches (made the first time it is needed;
    // hidden while it has nothing to say).
    HWND hListStatus;
};

// ---- Registration and opening ----------------------------------------------------

// The program's module table (app/module_list.cpp): every module window,
// built or not yet.
extern const ZT_MODULE_DESC* const g_moduleList[];
extern const int g_nModuleList;

// Adds a module (kept by address; call before RegisterShellClasses).  The
// modules of the module table are known without a call.  FALSE when full or
// null.  A later registration of the same class replaces the earlier one.
BOOL Module_Register(const ZT_MODULE_DESC* d);
// The module opened by a main-menu command, or that owns a class; null none.
const ZT_MODULE_DESC* Module_ByCommand(int iCmd);
const ZT_MODULE_DESC* Module_ByClass(const char* pszClass);
// Registers the window class of every known module with Module_WndProc.
// pfnChildChanged (the frame's) is called when a module window is
// activated or goes; null keeps the one handed over before.
BOOL Module_RegisterClasses(HINSTANCE hInst, void (*pfnChildChanged)() = nullptr);
// The window procedure of every module class.
LRESULT CALLBACK Module_WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The state of a module window (null for any other window).
ZT_MODWIN* Module_Of(HWND hwnd);

// Disables the buttons of a toolbar built from the module's table whose
// rights the user lacks (what the window does when it builds its toolbar).
void Module_ToolbarRights(const ZT_MODULE_DESC* d, const tagZT_Main_Param* p, HWND hToolbar);

// ---- What modules call ---------------------------------------------------------------

// Refresh: pfnFilter on this thread, then the load and the grid fill on a
// worker behind the busy dialog.  TRUE when the load succeeded.  A refresh
// asked for while a worker of the window runs, or one the filter refuses,
// is not started (FALSE).
BOOL Module_Refresh(ZT_MODWIN* w);
// The status text of a bounded list that shows nRows of nMatched rows (-1:
// not known): "显示最新 5000 条, 共 N 条; 请缩小条件"; "" when it shows them
// all.  A row added or deleted by hand changes both numbers.
std::string Module_BoundedText(int nRows, long long nMatched);
// The text of the window's status line ("" when it has none).
std::string Module_ListStatus(const ZT_MODWIN* w);
// Worker: runs fn on the window thread of w (which answers it while the
// worker's busy dialog stands) and waits for it: for what a load changes
// that the rows shown meanwhile read (the names of a look-up list).
void Module_OnWindowThread(ZT_MODWIN* w, const std::function<void()>& fn);
// The shared refresh as a command row (a filter panel's "查找").
void Module_CmdRefresh(ZT_MODWIN* w, void* pSel, const void* pArg);
// Copies a record just added into the first free slot of the block and lists
// it on top of the grid.  Returns the slot, or null when the block has no
// free slot ("增加成功,本地内存错误刷新数据显示." is shown: the record was
// stored, the display needs a refresh).
void* Module_AddRecord(ZT_MODWIN* w, const void* pRecord);
// The selected record, or null.
void* Module_Selected(const ZT_MODWIN* w);
// Takes the selected record off the grid, zeroes its slot and counts it out.
void Module_RemoveSelected(ZT_MODWIN* w);
// Deletes the selected record with pfnDelete as the logged-in operator and,
// when that succeeds, drops it from the shared cache iCacheKind and removes it (the shared
// "delete" command; confirmation comes from ZT_CMD_CONFIRM in the command
// table).  A row's pArg, when given, is the text shown when the deletion
// was refused without a word from the data library.
void Module_CmdDelete(ZT_MODWIN* w, void* pSel, const void* pArg);
// The records of a block a load hands over: its rows and its spare slots.
ZT_RECSET Module_RecSet(void* pBlock, int nRows);
// The block a list call of the data library returned (null: nothing was
// loaded), with the row count it set, as the records of a load: TRUE when
// there was a block.
BOOL Module_Took(ZT_RECSET* rs, void* pBlock, const int* pnRows);
// A module's pfnFree over a release of the data library (Mem_Free_...).
template <class T, void (*Release)(T*)> void Module_Free(void* pBlock)
{
    Release(static_cast<T*>(pBlock));
}
// Runs fn(w, arg) on a worker while the busy dialog keeps the user away
// (the way a refresh loads).  Returns fn's result; 0 when it did not run
// (a worker of the window is already running); -1 when the window was
// closed meanwhile and has been released: w must not be touched again.
int Module_RunTask(ZT_MODWIN* w, int (*fn)(ZT_MODWIN* w, void* arg), void* arg);
// Runs fn on the window thread with the window marked busy (as while a
// worker loads it), for work that runs its own message loop while a worker
// reads the window's records (an export): refreshes and deletions wait
// meanwhile.  Returns fn's result; 0 when it did not run (a worker of the
// window is running); -1 when the window was closed meanwhile and has been
// released: w must not be touched again.
int Module_RunMarked(ZT_MODWIN* w, const std::function<int()>& fn);
// Places the toolbar, the tree, the module's controls (pfnLayout) and the
// grid again, e.g. after a panel was expanded.
void Module_Layout(ZT_MODWIN* w);
// A module with several grids (one per kind of record it lists, each made by
// its pfnCreate with Block_Grid and its own columns col): shows hGrid in the
// grid's place instead of the one shown, which is emptied first (its rows
// point into the block the next load releases) and hidden.  The records of
// every grid are of the descriptor's cbRecord; the next refresh fills hGrid.
// Nothing happens while a worker of the window runs.
void Module_ShowGrid(ZT_MODWIN* w, HWND hGrid, const ZT_COLDEF* col, int nCol);

// ---- The tree (window thread) ---------------------------------------------------------

// The node of that kind and key, or null.
HTREEITEM Module_TreeItem(const ZT_MODWIN* w, int iKind, int iKey);
// The selected node's kind and key (kind -1: none) and its parent's.
ZT_TREESEL Module_TreeSelection(const ZT_MODWIN* w);
ZT_TREESEL Module_TreeNode(const ZT_MODWIN* w, HTREEITEM h);
// Appends a node under hParent (TVI_ROOT: a top node); the parent opens.
HTREEITEM Module_TreeAdd(ZT_MODWIN* w, HTREEITEM hParent, const char* pszText, int iKind, int iKey);
void Module_TreeSetText(ZT_MODWIN* w, HTREEITEM h, const char* pszText);
// Selects a node (the selection rules of ZT_TREEDESC follow).
void Module_TreeSelect(ZT_MODWIN* w, HTREEITEM h);
// Removes a node; the selection follows what the tree selects instead.
void Module_TreeRemove(ZT_MODWIN* w, HTREEITEM h);
// Reads the tree again (pfnLoad on a worker) and fills it anew; the node
// that was selected (or else its parent, or else the first node) is
// selected again, and the grid loaded for it.  FALSE when the tree could
// not be read or a worker of the window runs.
BOOL Module_TreeReload(ZT_MODWIN* w);

// ---- The grid fill -----------------------------------------------------------------------

// Adds the columns of a table to a grid (ids 1..n in table order).
void Block_AddColumns(HWND hGrid, const ZT_COLDEF* col, int nCol);
// Binds a grid to a block: clears nothing (clear it first), lists one row
// per slot with a non-zero key (and that pfnCheck accepts, when given),
// with w as the owner the look-ups get, and sorts.  The grid's columns are
// those Block_AddColumns gave it (col and nCol are not read).  Safe from a
// worker thread: the worker reads the block, the grid keeps the slots'
// indexes on its own thread.  Returns the number of rows listed, -1 when
// the grid refused the fill.
int Block_FillGrid(HWND hGrid, const ZT_COLDEF* col, int nCol, const ZT_MODWIN* w, void* pBlock, int nSlots,
                   size_t cbRecord, size_t offKey, BOOL (*pfnCheck)(const ZT_MODWIN*, const void*));
// Appends one record to a filled grid as a new row on top (the grid keeps
// a pointer to the record; its cells are read through the grid's columns
// and the fill's owner).  FALSE when the grid has no room for a row.
BOOL Block_AppendRow(HWND hGrid, const ZT_COLDEF* col, int nCol, const ZT_MODWIN* w, void* pRecord);
