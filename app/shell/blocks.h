// Building blocks shared by every module window: the toolbar in its rebar,
// the grid, the tree, the splitters and their layout, the record count box,
// context menus, menu item state, the delete confirmation and the
// "数据查询...." busy dialog.
#pragma once
#include "app/shell/main_param.h"
#include "app/resources/toolbar_images.h"
#include <commctrl.h>

#include <functional>

// Fills a new toolbar with the module's buttons (Block_AddButton ...).
typedef void (*ZT_BUTTON_PROC)(HWND hToolbar, LPVOID pArg);

// Toolbar: a rebar (id 3) holding one flat toolbar with tooltips (id 4)
// whose image list holds the 16 x 15 images of the block's toolbar bitmap
// (magenta is transparent).  pfnButtons adds the buttons; the toolbar then
// becomes the rebar's one band (at least 350 x 23).  Returns the rebar.
HWND Block_Toolbar(HWND hOwner, tagZT_Main_Param* p, ZT_BUTTON_PROC pfnButtons, LPVOID pArg);
// The toolbar of a module window (null when it has none).
HWND Block_GetToolbar(HWND hOwner);

// Buttons for a button procedure.  iImage is a ZT_TOOLBAR_IMAGE; pszText
// may be null (image only); fsStyle adds BTNS_DROPDOWN and the like.
BOOL Block_AddButton(HWND hToolbar, int iCommand, int iImage, const char* pszText, BYTE fsStyle = 0);
BOOL Block_AddSeparator(HWND hToolbar);
// The record count box: an edit field (id 28, centred, read-only, text
// "-1") placed right of the buttons added so far, cx pixels wide.
HWND Block_AddCountBox(HWND hToolbar, int cx = 60);
// Enables or disables one toolbar button by command.
void Block_EnableButton(HWND hOwner, int iCommand, BOOL bEnable);
// Writes n into the count box (control 28) of the window's toolbar.
void Block_SetRecordCount(HWND hOwner, int n);
// The rebar's height (0 without a toolbar).
int Block_ToolbarHeight(HWND hOwner);

// Registers a window class of the program: double clicks, the arrow cursor,
// the program's icon, the system colour iColour as background and the menu
// pszMenu (null: none).  FALSE when it could not be registered.
BOOL Block_RegisterClass(HINSTANCE hInst, const char* pszClass, WNDPROC pfnProc, int iColour, LPCSTR pszMenu);

// Grid (id 10) of ZTListview, handed the block's column-border cursor.
HWND Block_Grid(HWND hOwner, tagZT_Main_Param* p);
// Tree view (id 9) with lines and buttons.
HWND Block_Tree(HWND hOwner);

// Places a dialog centred over the main frame that holds hOwner, kept
// inside the frame's monitor (left where it is without an owner).
void Block_CentreOver(HWND hDlg, HWND hOwner);
// Splitter by id: 5 and 6 vertical (2 pixels wide), 7 and 8 horizontal
// (2 pixels high).  Null for any other id.
HWND Block_Splitter(HWND hOwner, int id);

// Layout: the rebar across the top, then those splitters the window has:
// 5 at x = xLeft below the rebar, 6 at xRight pixels from the right edge,
// 7 at yTop pixels below the rebar across the whole width, 8 at yBottom
// pixels above the bottom between the two vertical splitters.
void Block_Layout(HWND hOwner, int xLeft, int xRight, int yTop, int yBottom);

// The state a dialog procedure keeps in DWLP_USER: taken from lParam on
// WM_INITDIALOG (the creation parameter), null before.
template <class T> T* Block_DialogState(HWND hDlg, UINT msg, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
    return reinterpret_cast<T*>(GetWindowLongPtrA(hDlg, DWLP_USER));
}

// ---- Small dialogs -----------------------------------------------------------------
// The shape every small edit dialog shares: its state (the caller's, handed
// to every hook), its boxes filled when it opens, "确定" (IDOK) saving —
// reading and checking the boxes (a refusal names the box), the change
// stored on a worker (Block_RunTask) — the dialog kept open with what was
// typed when the save is refused, closed with IDOK when it is stored;
// "取消" (IDCANCEL) closes it with IDCANCEL.
struct ZT_DIALOG {
    int iTemplate;
    // WM_INITDIALOG: fills the boxes.  TRUE lets the dialog set the focus
    // (FALSE: the hook has set it).
    BOOL (*pfnInit)(HWND hDlg, void* pState);
    // "确定": TRUE closes the dialog with IDOK, FALSE keeps it open.
    BOOL (*pfnSave)(HWND hDlg, void* pState);
    // Any other message, before the skeleton's own handling: TRUE when taken
    // (*pResult the dialog procedure's answer).  Null: none.
    BOOL (*pfnMessage)(HWND hDlg, void* pState, UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* pResult);
    // The right "确定" needs, asked (Rights_Ask, pszRightWhat naming the
    // action) before pfnSave runs; refused, the dialog stays open.  Null
    // pszRightWhat: the save hook asks for its own.
    int iRightModule = 0;
    int iRightOp = 0;
    const char* pszRightWhat = nullptr;
};
// Runs the dialog modally over hOwner: IDOK or IDCANCEL (IDCANCEL also when
// the template is missing).
INT_PTR Block_RunDialog(HWND hOwner, tagZT_Main_Param* p, const ZT_DIALOG* d, void* pState);

// Fills a drop-down list anew from a shared cache that changed: the list
// emptied, fill(hBox) adding its items, and what the box shows (typed or
// chosen) kept.
void Block_RefillList(HWND hBox, const std::function<void(HWND)>& fill);

// Shows popup n of the context menus (p->hContextMenus) at the cursor; the
// owner receives the chosen command.  FALSE when there is no such popup.
BOOL Block_ContextMenu(HWND hOwner, tagZT_Main_Param* p, int n);
// Enables or greys one menu item by command id (searched in sub-menus too).
void Block_MenuItem(HMENU hMenu, int iCommand, BOOL bEnable);

// Inserts a tab at position i of a tab control, titled by string iTitle of
// the program's string table.
void Block_AddTab(HWND hTab, HINSTANCE hInst, int i, int iTitle);

// "删除后将无法恢复,是否继续" / "删除确认", OK and Cancel.  FALSE when the
// user cancelled (the deletion is abandoned).
BOOL Block_ConfirmDelete(HWND hOwner);
// The same for a deletion into the recycle bin: "删除后可以在回收站中还原,
// 是否继续" / "删除确认".
BOOL Block_ConfirmToBin(HWND hOwner);

// How long a task behind the busy dialog runs before the dialog appears.
enum { ZT_BUSY_DELAY_MS = 250 };

// Busy dialog: starts pfnTask(pArg) on a thread of its own and returns when
// that thread has ended.  Meanwhile the window thread goes on answering its
// messages (painting, timers, messages other threads send it) while the
// top-level window of hOwner is disabled and the user's keys and mouse
// messages for it and its children are dropped.  Only when the task still
// runs after ZT_BUSY_DELAY_MS does dialog 111 appear over hOwner showing
// "数据查询...." (p->hBusyDlg while it stands); a task that sends it
// WM_CLOSE takes it away early.  The user cannot close it: Cancel, Esc,
// Alt+F4 and the close box (SC_CLOSE) do nothing.  A WM_QUIT that arrives
// meanwhile is posted again afterwards.  TRUE when the task ran, FALSE when
// it could not be started.
BOOL Block_RunBusy(HWND hOwner, tagZT_Main_Param* p, ZT_BUSY_PROC pfnTask, LPVOID pArg);

// Runs fn on a worker thread behind the busy dialog over hOwner (the window
// thread only answers messages meanwhile, holding the user's input) and
// returns fn's result, or 0 when the worker could not be started.  Every
// server call a window or dialog makes goes through here or through a
// module's refresh.
int Block_RunTask(HWND hOwner, tagZT_Main_Param* p, const std::function<int()>& fn);
