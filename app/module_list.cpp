// The program's module table: every module window, one line each.  The
// frame opens each from its main-menu command; a module not built yet is a
// descriptor without tables, which opens as a placeholder showing its
// caption.
#include "app/admin/estate_window.h"
#include "app/admin/log_window.h"
#include "app/admin/recycle_window.h"
#include "app/listings/client_window.h"
#include "app/listings/follow_window.h"
#include "app/listings/house_window.h"
#include "app/shell/frame.h"
#include "app/shell/module.h"
#include "app/shell/rights.h"

namespace {

// A module not built yet: its class, opening command and check, caption and
// restored size.
constexpr ZT_MODULE_DESC NotBuilt(const char* cls, int cmd, int module, int caption, int cx = CW_USEDEFAULT,
                                  int cy = CW_USEDEFAULT)
{
    ZT_MODULE_DESC d{};
    d.pszClass = cls;
    d.iOpenCmd = cmd;
    d.iModule = module;
    d.iCaption = caption;
    d.cx = cx;
    d.cy = cy;
    return d;
}

const ZT_MODULE_DESC kArea = NotBuilt(ZT_CLASS_CHILD_URBAN, IDM_AREA, ZTM_AREA, IDS_AREA, 600, 499);
const ZT_MODULE_DESC kParam = NotBuilt(ZT_CLASS_CHILD_ARGC, IDM_PARAM, ZTM_PARAM, IDS_PARAM, 600, 500);
const ZT_MODULE_DESC kOrg = NotBuilt(ZT_CLASS_CHILD_EMP, IDM_BRANCH, ZTM_ORG, IDS_ORG);

}  // namespace

extern const ZT_MODULE_DESC* const g_moduleList[] = {
    &kArea,
    &kParam,
    &g_EstateModule,
    &g_HouseModule,
    &g_HouseFollowModule,
    &g_ClientModule,
    &g_ClientFollowModule,
    &kOrg,
    &g_LogModule,
    &g_RecycleModule,
};
extern const int g_nModuleList = sizeof(g_moduleList) / sizeof(g_moduleList[0]);
