// The module windows that are built: one line per module.  The frame opens
// each from its main-menu command; a module not listed here opens as a
// placeholder.
#include "app/shell/module.h"
#include "app/admin/estate_window.h"
#include "app/listings/client_window.h"
#include "app/listings/follow_window.h"
#include "app/listings/house_window.h"

extern const ZT_MODULE_DESC* const g_moduleList[] = {
    &g_HouseModule,
    &g_ClientModule,
    &g_EstateModule,
    &g_HouseFollowModule,
    &g_ClientFollowModule,
};
extern const int g_nModuleList = sizeof(g_moduleList) / sizeof(g_moduleList[0]);
