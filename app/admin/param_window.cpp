#include "app/admin/param_window.h"
#include "app/admin/name_dialog.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/frame.h"
#include "app/shell/rights.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace {

PARAM_WINDOW* State(const ZT_MODWIN* w)
{
    return static_cast<PARAM_WINDOW*>(w->pState);
}

tagARGC* Values(const ZT_MODWIN* w)
{
    return static_cast<tagARGC*>(w->rs.pBlock);
}

template <size_t N> std::string Text(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

// ---- The tree --------------------------------------------------------------------------

enum { PARAM_ITEM_ROOT = 0 };

// Worker: "所有参数", under it the categories in array order, under each its
// names (the load groups the names by category).  The window's categories
// and names are those of this read.
BOOL LoadTree(ZT_MODWIN* w, std::vector<ZT_TREENODE>* nodes)
{
    PARAM_WINDOW* st = State(w);
    st->pCategory = st->pName = nullptr;
    Mem_Free_Argc(st->pTags);
    Mem_Free_Argc(st->pNames);
    st->pTags = st->pNames = nullptr;
    st->nTags = st->nNames = 0;
    FD_sct_Argc_Name(&st->pTags, &st->pNames, &st->nTags, &st->nNames);
    nodes->push_back({-1, "所有参数", PARAM_ITEM_ROOT, 0});
    for (int t = 0; st->pTags && t < st->nTags; t++) {
        const tagARGC& tag = st->pTags[t];
        int cat = static_cast<int>(nodes->size());
        nodes->push_back({0, Text(tag.szTags), PARAM_ITEM_CATEGORY, tag.iOrdinal});
        for (int n = 0; st->pNames && n < st->nNames; n++)
            if (st->pNames[n].iOrdinal && st->pNames[n].iCategory == tag.iOrdinal)
                nodes->push_back({cat, Text(st->pNames[n].szName), PARAM_ITEM_NAME, st->pNames[n].iOrdinal});
    }
    return TRUE;
}

// A name lists its values; a category without names (or the root of an
// empty dictionary) leaves no name selected and an empty grid.
BOOL OnTreeSelection(ZT_MODWIN* w, const ZT_TREESEL& sel)
{
    PARAM_WINDOW* st = State(w);
    tagARGC* name = sel.iKind == PARAM_ITEM_NAME ? FindArgc(st->pNames, st->nNames, sel.iKey) : nullptr;
    if (name)
        st->pCategory = name->pCategory;
    else if (sel.iKind == PARAM_ITEM_CATEGORY)
        st->pCategory = FindArgc(st->pTags, st->nTags, sel.iKey);
    if (name == st->pName && name)
        return FALSE;
    st->pName = name;
    return TRUE;
}

// ---- Hooks -------------------------------------------------------------------------------

// Worker: the values of the selected name.
BOOL Load(ZT_MODWIN* w, ZT_RECSET* rs)
{
    PARAM_WINDOW* st = State(w);
    if (!st->pName)
        return FALSE;                        // no name: an empty grid
    tagARGC* list = nullptr;
    int n = 0;
    return Module_Took(rs, FD_sct_Argc_Value(st->pName, &list, &n), &n);
}

void Destroy(ZT_MODWIN* w)
{
    PARAM_WINDOW* st = State(w);
    Mem_Free_Argc(st->pTags);
    Mem_Free_Argc(st->pNames);
    st->pTags = st->pNames = nullptr;
}

int Delete(int iOpEmp, const void* rec)
{
    return FD_Del_Argc_Value(iOpEmp, const_cast<tagARGC*>(static_cast<const tagARGC*>(rec)));
}

// ---- The value dialog ------------------------------------------------------------------------

struct Edit {
    ZT_MODWIN* w;
    tagARGC* pOld;               // the value modified, or null when adding
    tagARGC rec;                 // the value as stored
};

// Worker, after a modify the server ran: the value as the database holds it.
BOOL ReadBack(tagARGC* pName, tagARGC* v)
{
    tagARGC* list = nullptr;
    int n = 0;
    FD_sct_Argc_Value(pName, &list, &n);
    tagARGC* f = FindArgc(list, n, v->iOrdinal);
    if (f) {
        memcpy(v->szValue, f->szValue, sizeof(v->szValue));
        v->iPriority = f->iPriority;
    }
    Mem_Free_Argc(list);
    return f != nullptr;
}

// Stores the value on a worker: TRUE when the database holds it as typed.
// A refused add (the same text) or a rename the duplicate guard refused
// keeps the dialog open with what was typed; the data library has said why
// ("已存在相同数据,增加失败", "已存在相同数据, 或该数据已被其他用户删除, 修改失败").
BOOL SaveValue(NAME_DLG* d, HWND hDlg)
{
    Edit* e = static_cast<Edit*>(d->pCtx);
    tagZT_Main_Param* p = d->p;
    tagARGC* name = State(e->w)->pName;
    tagARGC v = e->pOld ? *e->pOld : e->rec, held;
    Gbk_CopyCut(v.szValue, sizeof(v.szValue), d->szName);
    v.iPriority = d->iPriority;
    held = v;
    int r = Block_RunTask(hDlg, p, [&]() {
        if (!e->pOld)
            return FD_Ist_Argc_Value(Cache_Operator(p), &v);
        if (FD_Upd_Argc_Value(Cache_Operator(p), e->pOld, &v) != 1)
            return 0;
        held = v;
        return ReadBack(name, &held) ? 1 : 2;
    });
    if (r != 1 || Text(held.szValue) != Text(v.szValue) || held.iPriority != v.iPriority)
        return FALSE;
    e->rec = v;
    // Forms opened from now on offer the value as stored.
    if (!Cache_PutParamValue(p, &v))
        Cache_TellFull(hDlg, p, ZTC_PARAM, "参数");
    return TRUE;
}

NAME_DLG ValueDialog(Edit* e, int iTitle)
{
    NAME_DLG d;
    memset(&d, 0, sizeof(d));
    d.p = e->w->p;
    d.iDialog = IDD_PARAM_VALUE;
    d.iTitle = iTitle;
    d.idParent = IDC_PARAM_NAME;
    d.idName = IDC_PARAM_VALUE;
    d.idPriority = IDC_PARAM_PRIORITY;
    d.cbName = sizeof(tagARGC::szValue);
    d.bModify = e->pOld != nullptr;
    d.pfnSave = SaveValue;
    d.pCtx = e;
    return d;
}

BOOL HasFreeSlot(const ZT_MODWIN* w)
{
    for (int i = 0; Values(w) && i < w->rs.nSlots; i++)
        if (Values(w)[i].iOrdinal == 0)
            return TRUE;
    return FALSE;
}

// ---- Commands ----------------------------------------------------------------------------------

void CmdAdd(ZT_MODWIN* w, void*, const void*)
{
    PARAM_WINDOW* st = State(w);
    if (!st->pName) {
        ZT_MessageBox(w->hwnd, "选择参数", "", MB_OK);
        return;
    }
    Edit e = {w, nullptr, {}};
    e.rec.iParentIndex = st->pName->iOrdinal;
    std::string name = Text(st->pName->szName);
    NAME_DLG d = ValueDialog(&e, IDS_PARAM_ADD);
    d.pszParent = name.c_str();
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    if (!HasFreeSlot(w)) {
        // Stored: "刷新" lists it.
        ZT_MessageBox(w->hwnd, "增加数据超过缓存区,请刷新数据后再操作.", "", MB_OK);
        return;
    }
    Module_AddRecord(w, &e.rec);             // listed on top; the selected row stays selected
}

void CmdModify(ZT_MODWIN* w, void* sel, const void*)
{
    PARAM_WINDOW* st = State(w);
    tagARGC* v = static_cast<tagARGC*>(sel);
    Edit e = {w, v, {}};
    std::string name = st->pName ? Text(st->pName->szName) : "";
    NAME_DLG d = ValueDialog(&e, IDS_PARAM_MODIFY);
    d.pszParent = name.c_str();
    lstrcpynA(d.szName, Text(v->szValue).c_str(), sizeof(d.szName));
    d.iPriority = v->iPriority;
    if (NameDialog_Run(w->hwnd, &d) != IDOK)
        return;
    *v = e.rec;                              // the row bound to it shows the change
    InvalidateRect(w->hGrid, nullptr, TRUE);
}

// ---- Tables ----------------------------------------------------------------------------------

const ZT_TBDEF kButtons[] = {
    ZT_TB_EDITS(PARAM, PARAM, "参数"), ZT_TB_SEP, ZT_TB_CLOSING,
};

const ZT_COLDEF kColumns[] = {
    ZT_COL("序号", 50, LVT_INT, 2, offsetof(tagARGC, iOrdinal)),
    ZT_COL_TEXT("参数值", 100, 0, offsetof(tagARGC, szValue)),
    ZT_COL("优先级", 50, LVT_INT, 2, offsetof(tagARGC, iPriority)),
};

const ZT_CMDDEF kCommands[] = {
    {ID_PARAM_ADD, CmdAdd, 0, ZT_OP_ADD, nullptr},
    {ID_PARAM_MODIFY, CmdModify, ZT_CMD_NEEDSEL, ZT_OP_MODIFY, "选择参数值"},
    {ID_PARAM_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_CONFIRM, ZT_OP_DELETE, "选择参数"},
};

const ZT_TREEDESC kTree = {130, LoadTree, OnTreeSelection, {-1, -1, -1, -1}, TRUE, 0};

}  // namespace

extern const ZT_MODULE_DESC g_ParamModule = ZT_TREE_MODULE(
    ZT_CLASS_CHILD_ARGC, IDM_PARAM, ZTM_PARAM, IDS_PARAM, 600, 500,
    tagARGC, PARAM_WINDOW, CTXPOS_PARAM, ID_PARAM_MODIFY, ZTC_PARAM,
    nullptr, nullptr, nullptr, nullptr, Load, nullptr, Delete, (Module_Free<tagARGC, Mem_Free_Argc>), Destroy, nullptr,
    nullptr, nullptr);
