// Control ids of the client list window: its filter panel and its
// follow-up pane.
#pragma once

#define IDD_CLIENT_PANEL        2110    // the filter panel (a dialog child)
#define IDD_CLIENT_PANE         2111    // the follow-up pane (a dialog child)

#define IDC_CF_TRADE            1089
#define IDC_CF_PRICE            1266
#define IDC_CF_URBAN            1019
#define IDC_CF_FLOOR            1257
#define IDC_CF_AREA             1284
#define IDC_CF_ROOM             1265
#define IDC_CF_TYPE             1014
#define IDC_CF_LEVEL            1094
#define IDC_CF_DELEGATE_FROM    1071
#define IDC_CF_DELEGATE_TO      1074
#define IDC_CF_FOLLOW_FROM      1255
#define IDC_CF_FOLLOW_TO        1256
#define IDC_CF_FIND             1085
#define IDC_CF_CLEAR            1276
#define IDC_CF_EXPAND           1275

#define IDC_CP_FOLLOWS          1266    // the follow-up grid of the pane
#define IDC_CP_REMARK           1280    // the read-only remarks box
