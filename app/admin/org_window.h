// The organisation window "ZT_CHILD_EMP" (main-menu command 40068): the
// branch tree under "所有部门" on the left, the employees of the selected
// branch in the grid, the permission panel (org_rights.h) below the grid,
// and the dialogs of branches, employees and positions (org_dialogs.h).
// Opening loads the two permission presets and the positions, then the
// tree; every load and save runs on a worker behind the busy dialog.
#pragma once
#include "app/admin/org_rights.h"
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_OrgModule;

// The window's own state (ZT_MODWIN::pState).
struct ORG_WINDOW {
    ORG_PANEL* panel;
    // The live branches (rows + spares) and the positions (rows + spares).
    tagBRANCH* pBr;
    int nBrSlots;
    tagPostion* pPst;
    int nPstSlots;
    int iBr;                 // the selected branch's key (0: none)
};

// The branch and the position of a key in the window's blocks, or null;
// key 0 finds a free slot.
tagBRANCH* OrgWindow_Branch(ZT_MODWIN* w, int iKey);
tagPostion* OrgWindow_Position(ZT_MODWIN* w, int iKey);
// The employee of that key among the listed ones, or null.
tagEMPLOYEE* OrgWindow_Employee(ZT_MODWIN* w, int iKey);

// "保存成功" with the reason a record that was stored does not show: the
// window's room for new records is used up until the next refresh.
void OrgWindow_NoRoom(HWND hOwner, const char* pszWhat, const char* pszRefresh);
