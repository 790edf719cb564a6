// The program's module table: every module window, one line each.  The
// frame opens each from its main-menu command.  (A module not built yet
// would be a descriptor without tables, which opens as a placeholder
// showing its caption.)
#include "app/admin/area_window.h"
#include "app/admin/estate_window.h"
#include "app/admin/param_window.h"
#include "app/admin/org_window.h"
#include "app/admin/log_window.h"
#include "app/admin/recycle_window.h"
#include "app/listings/client_window.h"
#include "app/listings/follow_window.h"
#include "app/listings/house_window.h"
#include "app/listings/match_window.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/shell/rights.h"

extern const ZT_MODULE_DESC* const g_moduleList[] = {
    &g_AreaModule,
    &g_ParamModule,
    &g_EstateModule,
    &g_HouseModule,
    &g_HouseFollowModule,
    &g_ClientModule,
    &g_ClientFollowModule,
    &g_OrgModule,
    &g_LogModule,
    &g_RecycleModule,
    &g_MatchHouseModule,
    &g_MatchClientModule,
};
extern const int g_nModuleList = sizeof(g_moduleList) / sizeof(g_moduleList[0]);
