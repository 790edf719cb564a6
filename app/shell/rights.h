// Permission checks: what the logged-in user may see and do, decided only
// from the permission words W1..W17 of the parameter block (filled by
// PD_Calc at login).  Every check runs when its window or dialog is created.
#pragma once
#include "app/shell/main_param.h"

// Modules whose windows have an open check.
enum ZT_MODULE {
    ZTM_AREA, ZTM_PARAM, ZTM_ESTATE, ZTM_ORG, ZTM_HOUSE, ZTM_CLIENT,
    ZTM_HOUSE_FOLLOW, ZTM_CLIENT_FOLLOW, ZTM_RECYCLE, ZTM_LOG
};

// Whether the module's window may open for the user.
BOOL Rights_MayOpen(const tagZT_Main_Param* p, int iModule);

// Greys and removes main-menu commands and popups (p->hMainMenu) and runs
// the context-menu checks (p->hContextMenus).  Run once when the main frame
// is created.
void ApplyMenuRights(tagZT_Main_Param* p);
