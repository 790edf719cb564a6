#include "app/admin/dict_tree.h"

#include <cstring>

HTREEITEM DictTree_Add(HWND hTree, HTREEITEM hParent, const char* pszText, LPARAM data)
{
    TVINSERTSTRUCTA ins;
    memset(&ins, 0, sizeof(ins));
    ins.hParent = hParent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(pszText ? pszText : "");
    ins.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

LPARAM DictTree_Data(HWND hTree, HTREEITEM h)
{
    if (!h)
        return 0;
    TVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = h;
    return SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

HTREEITEM DictTree_Next(HWND hTree, HTREEITEM h, UINT how)
{
    return reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(h)));
}

static HTREEITEM FindFrom(HWND hTree, HTREEITEM h, LPARAM data)
{
    for (; h; h = DictTree_Next(hTree, h, TVGN_NEXT)) {
        if (DictTree_Data(hTree, h) == data)
            return h;
        if (HTREEITEM found = FindFrom(hTree, DictTree_Next(hTree, h, TVGN_CHILD), data))
            return found;
    }
    return nullptr;
}

HTREEITEM DictTree_Find(HWND hTree, LPARAM data)
{
    return FindFrom(hTree, DictTree_Next(hTree, nullptr, TVGN_ROOT), data);
}

void DictTree_SetText(HWND hTree, HTREEITEM h, const char* pszText)
{
    if (!h)
        return;
    TVITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = h;
    item.pszText = const_cast<char*>(pszText ? pszText : "");
    SendMessageA(hTree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

HTREEITEM DictTree_AtCursor(HWND hTree)
{
    TVHITTESTINFO ht;
    memset(&ht, 0, sizeof(ht));
    GetCursorPos(&ht.pt);
    ScreenToClient(hTree, &ht.pt);
    HTREEITEM h = reinterpret_cast<HTREEITEM>(SendMessageA(hTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
    return (ht.flags & TVHT_ONITEM) ? h : nullptr;
}
