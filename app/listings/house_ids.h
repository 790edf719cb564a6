// Control ids of the house list window: its filter panel and its
// follow-up pane.
#pragma once

#define IDD_HOUSE_PANEL         2100    // the filter panel (a dialog child)
#define IDD_HOUSE_PANE          2101    // the follow-up pane (a dialog child)

#define IDC_HF_TRADE            1089
#define IDC_HF_URBAN            1019
#define IDC_HF_ESTATE           1092
#define IDC_HF_BUILDNO          1267
#define IDC_HF_HOUSENO          1268
#define IDC_HF_AREA_MIN         1069
#define IDC_HF_AREA_MAX         1070
#define IDC_HF_BED_MIN          1253
#define IDC_HF_BED_MAX          1254
#define IDC_HF_TYPE             1014
#define IDC_HF_PRICE_MIN        1072
#define IDC_HF_PRICE_MAX        1269
#define IDC_HF_FLOOR_MIN        1077
#define IDC_HF_FLOOR_MAX        1078
#define IDC_HF_LOOK             1018
#define IDC_HF_DELEGATE_FROM    1071
#define IDC_HF_DELEGATE_TO      1074
#define IDC_HF_FOLLOW_FROM      1255
#define IDC_HF_FOLLOW_TO        1256
#define IDC_HF_RENT_FROM        1257
#define IDC_HF_RENT_TO          1084
#define IDC_HF_FIND             1085
#define IDC_HF_CLEAR            1276
#define IDC_HF_EXPAND           1275

#define IDC_HP_FOLLOWS          1266    // the follow-up grid of the pane
#define IDC_HP_REMARK           1280    // the read-only remarks box
