// The two follow-up browsing windows: "ZT_CHILD_HOU_F" (house follow-ups,
// main-menu 40111, caption "房源跟进") and "ZT_CHILD_CLI_F" (client
// follow-ups, 40112, "客源跟进").  Each shows a toolbar ("删除跟进", "刷新",
// "退出" and the count), a filter panel 46 pixels high and the grid.  The
// panel opens with both dates on today's local date; "查找" and "刷新" load
// with the panel's filter (follow_filter.h), "清空" empties every box.
#pragma once
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_HouseFollowModule;
extern const ZT_MODULE_DESC g_ClientFollowModule;

// Height of the filter panel.
enum { FOLLOW_PANEL_HEIGHT = 46 };
