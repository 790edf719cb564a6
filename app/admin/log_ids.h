// Control ids of the operation log window's filter panel.
#pragma once

#define IDD_LOG_PANEL           178     // the filter panel (a dialog child)

#define IDC_LOG_BR              1117    // "部门"
#define IDC_LOG_EMP             1118    // "员工"
#define IDC_LOG_KIND            1319    // "对象": the kind of object
#define IDC_LOG_FROM            1320    // "日期" from
#define IDC_LOG_TO              1321    // ... to
#define IDC_LOG_FIND            1318    // "查找"
#define IDC_LOG_CLEAR           1276    // "清空"
#define ID_LOG_RELOAD           1085    // reloads the list, like "刷新"
