// The operation log window "ZT_CHILD_LOG" (main-menu command 40113
// "操作日志"): a filter-panel list window (listing_window.h) over the rows
// of the operation log, newest first: the operation and the kind of object
// it concerns, the object's key, the snapshot of the object, the time, the
// operator's branch and name.  The panel filters by employee, branch, kind
// and dates; "删除日志" deletes the selected row, "清空日志" the rows the
// filter selects, each after the deletion warning.
#pragma once
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_LogModule;
