// The tree left of a module window's grid: read on a worker, filled and
// followed on the window thread.
#include "app/shell/module_tree.h"
#include "app/shell/blocks.h"

#include <commctrl.h>
#include <cstring>

namespace {

// An item's data: the node's key and kind in one LPARAM.
LPARAM ItemData(int iKind, int iKey)
{
    return (static_cast<LPARAM>(iKey) << 8) | (iKind & 0xFF);
}

int KindOf(LPARAM data)
{
    return static_cast<int>(data & 0xFF);
}

int KeyOf(LPARAM data)
{
    return static_cast<int>(data >> 8);
}

LPARAM DataOf(HWND hTree, HTREEITEM h)
{
    TVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = h;
    return h && SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

HTREEITEM Next(HWND hTree, HTREEITEM h, UINT how)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(h)));
}

HTREEITEM Find(HWND hTree, HTREEITEM h, LPARAM data)
{
    for (; h; h = Next(hTree, h, TVGN_NEXT)) {
        if (DataOf(hTree, h) == data)
            return h;
        if (HTREEITEM found = Find(hTree, Next(hTree, h, TVGN_CHILD), data))
            return found;
    }
    return nullptr;
}

HTREEITEM Insert(HWND hTree, HTREEITEM hParent, const char* pszText, int iKind, int iKey)
{
    TVINSERTSTRUCTA ins;
    memset(&ins, 0, sizeof(ins));
    ins.hParent = hParent ? hParent : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(pszText ? pszText : "");
    ins.item.lParam = ItemData(iKind, iKey);
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

void Expand(HWND hTree, HTREEITEM h, UINT how)
{
    if (h)
        SendMessageA(hTree, TVM_EXPAND, how, reinterpret_cast<LPARAM>(h));
}

BOOL IsAncestor(HWND hTree, HTREEITEM hAncestor, HTREEITEM h)
{
    for (; h; h = Next(hTree, h, TVGN_PARENT))
        if (h == hAncestor)
            return TRUE;
    return FALSE;
}

// Changes the tree without following the selections it makes on the way.
template <class F> void Quietly(ZT_MODWIN* w, F f)
{
    BOOL was = w->bTreeFilling;
    w->bTreeFilling = TRUE;
    f();
    w->bTreeFilling = was;
}

struct TreeLoad {
    std::vector<ZT_TREENODE> nodes;
};

int LoadTask(ZT_MODWIN* w, void* arg)
{
    return w->d->pTree->pfnLoad(w, &static_cast<TreeLoad*>(arg)->nodes) ? 1 : 0;
}

// Fills the tree with the nodes read (the tree emptied first).
void Fill(ZT_MODWIN* w, const std::vector<ZT_TREENODE>& nodes)
{
    Quietly(w, [&] {
        SendMessageA(w->hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        w->hTreeOpen = nullptr;
        std::vector<HTREEITEM> items;
        items.reserve(nodes.size());
        for (const ZT_TREENODE& n : nodes) {
            bool hasParent = n.iParent >= 0 && n.iParent < static_cast<int>(items.size());
            HTREEITEM parent = hasParent ? items[static_cast<size_t>(n.iParent)] : TVI_ROOT;
            items.push_back(Insert(w->hTree, parent, n.text.c_str(), n.iKind, n.iKey));
        }
    });
}

// Reads the tree on a worker: FALSE when it could not be read, or the
// window went (*pGone).
BOOL ReadTree(ZT_MODWIN* w, TreeLoad* t, BOOL* pGone)
{
    *pGone = FALSE;
    int r = Module_RunTask(w, LoadTask, t);
    if (r < 0)
        *pGone = TRUE;
    return r == 1;
}

}  // namespace

// ---- What modules call ---------------------------------------------------------------------

HTREEITEM Module_TreeItem(const ZT_MODWIN* w, int iKind, int iKey)
{
    if (!w || !w->hTree)
        return nullptr;
    return Find(w->hTree, Next(w->hTree, nullptr, TVGN_ROOT), ItemData(iKind, iKey));
}

ZT_TREESEL Module_TreeNode(const ZT_MODWIN* w, HTREEITEM h)
{
    ZT_TREESEL sel = {-1, 0, -1, 0};
    if (!w || !w->hTree || !h)
        return sel;
    LPARAM data = DataOf(w->hTree, h);
    sel.iKind = KindOf(data);
    sel.iKey = KeyOf(data);
    if (HTREEITEM parent = Next(w->hTree, h, TVGN_PARENT)) {
        LPARAM pd = DataOf(w->hTree, parent);
        sel.iParentKind = KindOf(pd);
        sel.iParentKey = KeyOf(pd);
    }
    return sel;
}

ZT_TREESEL Module_TreeSelection(const ZT_MODWIN* w)
{
    return Module_TreeNode(w, w && w->hTree ? Next(w->hTree, nullptr, TVGN_CARET) : nullptr);
}

HTREEITEM Module_TreeAdd(ZT_MODWIN* w, HTREEITEM hParent, const char* pszText, int iKind, int iKey)
{
    if (!w || !w->hTree)
        return nullptr;
    HTREEITEM h = nullptr;
    Quietly(w, [&] {
        h = Insert(w->hTree, hParent, pszText, iKind, iKey);
        if (hParent && hParent != TVI_ROOT)
            Expand(w->hTree, hParent, TVE_EXPAND);
    });
    return h;
}

void Module_TreeSetText(ZT_MODWIN* w, HTREEITEM h, const char* pszText)
{
    if (!w || !w->hTree || !h)
        return;
    TVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = h;
    item.pszText = const_cast<char*>(pszText ? pszText : "");
    SendMessageA(w->hTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void Module_TreeSelect(ZT_MODWIN* w, HTREEITEM h)
{
    if (!w || !w->hTree)
        return;
    if (h && Next(w->hTree, nullptr, TVGN_CARET) == h)
        ModuleTree_Follow(w);                // selected already: the rules apply all the same
    else
        SendMessageA(w->hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
}

void Module_TreeRemove(ZT_MODWIN* w, HTREEITEM h)
{
    if (!w || !w->hTree || !h)
        return;
    Quietly(w, [&] {
        if (w->hTreeOpen && IsAncestor(w->hTree, h, w->hTreeOpen))
            w->hTreeOpen = nullptr;
        SendMessageA(w->hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(h));
    });
    ModuleTree_Follow(w);
}

BOOL Module_TreeReload(ZT_MODWIN* w)
{
    if (!w || !w->hTree || !w->d->pTree || w->bBusy)
        return FALSE;
    ZT_TREESEL was = Module_TreeSelection(w);
    TreeLoad t;
    BOOL gone = FALSE;
    if (!ReadTree(w, &t, &gone))
        return FALSE;                        // the tree stays as it was
    Fill(w, t.nodes);
    HTREEITEM h = was.iKind >= 0 ? Module_TreeItem(w, was.iKind, was.iKey) : nullptr;
    if (!h && was.iParentKind >= 0)
        h = Module_TreeItem(w, was.iParentKind, was.iParentKey);
    if (!h)
        h = Next(w->hTree, nullptr, TVGN_ROOT);
    Quietly(w, [&] {
        for (HTREEITEM up = h ? Next(w->hTree, h, TVGN_PARENT) : nullptr; up; up = Next(w->hTree, up, TVGN_PARENT))
            Expand(w->hTree, up, TVE_EXPAND);
        SendMessageA(w->hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
    });
    // The module takes the node, and the grid is listed again whatever it
    // answers: what the tree was made from has changed.
    HTREEITEM leaf = h;
    while (leaf && Next(w->hTree, leaf, TVGN_CHILD))
        leaf = Next(w->hTree, leaf, TVGN_CHILD);
    if (leaf != h)
        Quietly(w, [&] { SendMessageA(w->hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(leaf)); });
    w->d->pTree->pfnSelect(w, Module_TreeNode(w, leaf));
    if (w->d->pfnLoad)
        Module_Refresh(w);
    return TRUE;
}

// ---- What the window procedure hands over ------------------------------------------------------

void ModuleTree_FirstLoad(ZT_MODWIN* w)
{
    TreeLoad t;
    BOOL gone = FALSE;
    BOOL read = ReadTree(w, &t, &gone);
    if (gone)
        return;
    if (read)
        Fill(w, t.nodes);
    HTREEITEM first = Next(w->hTree, nullptr, TVGN_ROOT);
    if (first)
        Module_TreeSelect(w, first);         // the rules hand it down; the grid loads for the node taken
    else if (w->d->pTree->pfnSelect(w, Module_TreeNode(w, nullptr)) && w->d->pfnLoad)
        Module_Refresh(w);
}

void ModuleTree_Follow(ZT_MODWIN* w)
{
    if (!w || !w->hTree || !w->d->pTree || w->bTreeFilling)
        return;
    if (w->bBusy) {
        w->bTreePending = TRUE;              // taken when the worker has finished
        return;
    }
    HTREEITEM h = Next(w->hTree, nullptr, TVGN_CARET);
    HTREEITEM child = h ? Next(w->hTree, h, TVGN_CHILD) : nullptr;
    if (child) {
        Quietly(w, [&] {
            if (w->d->pTree->bOneOpen && w->hTreeOpen && w->hTreeOpen != h &&
                !IsAncestor(w->hTree, w->hTreeOpen, h))
                Expand(w->hTree, w->hTreeOpen, TVE_COLLAPSE);
            Expand(w->hTree, h, TVE_EXPAND);
        });
        if (w->d->pTree->bOneOpen && Next(w->hTree, h, TVGN_PARENT))
            w->hTreeOpen = h;
        SendMessageA(w->hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
        return;
    }
    if (w->d->pTree->pfnSelect(w, Module_TreeNode(w, h)) && w->d->pfnLoad)
        Module_Refresh(w);
}

BOOL ModuleTree_Notify(ZT_MODWIN* w, const NMHDR* nh, LRESULT* pResult)
{
    if (!w->hTree || nh->hwndFrom != w->hTree)
        return FALSE;
    if (nh->code == TVN_SELCHANGEDA || nh->code == TVN_SELCHANGEDW) {
        ModuleTree_Follow(w);
        return TRUE;
    }
    if (nh->code != NM_RCLICK)
        return FALSE;
    *pResult = 1;
    TVHITTESTINFO hit;
    memset(&hit, 0, sizeof(hit));
    GetCursorPos(&hit.pt);
    ScreenToClient(w->hTree, &hit.pt);
    HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageA(w->hTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!h)
        return TRUE;
    int kind = KindOf(DataOf(w->hTree, h));
    Module_TreeSelect(w, h);
    int popup = kind >= 0 && kind < ZT_TREE_KINDS ? w->d->pTree->iPopup[kind] : -1;
    if (popup >= 0)
        Block_ContextMenu(w->hwnd, w->p, popup);
    return TRUE;
}

void ModuleTree_CachesChanged(ZT_MODWIN* w, int iKinds)
{
    if (w->hTree && w->d->pTree && (w->d->pTree->iCacheKinds & iKinds))
        PostMessageA(w->hwnd, WM_MODULE_TREERELOAD, 0, 0);
}
