// Control ids of the client edit dialog.
#pragma once

#define IDD_CLIENT_EDIT         2112

#define IDC_CD_TRADE            1089
#define IDC_CD_URBAN            1019
#define IDC_CD_TYPE             1014
#define IDC_CD_LEVEL            1094
#define IDC_CD_CLIMAN           1281
#define IDC_CD_CLITEL           1282
#define IDC_CD_LINKMAN          1081
#define IDC_CD_LINKTEL          1084
#define IDC_CD_BUY_MIN          1119
#define IDC_CD_BUY_MAX          1121
#define IDC_CD_RENT_MIN         1127
#define IDC_CD_RENT_MAX         1129
#define IDC_CD_AREA_MIN         1120
#define IDC_CD_AREA_MAX         1122
#define IDC_CD_ROOM_MIN         1128
#define IDC_CD_ROOM_MAX         1130
#define IDC_CD_FLOOR            1257
#define IDC_CD_USAGE            1096
#define IDC_CD_TOWARD           1013
#define IDC_CD_SOURCE           1098
#define IDC_CD_NUMBER           1069
#define IDC_CD_CITIZEN          1264
#define IDC_CD_DELEGATEPD       1335
#define IDC_CD_DELEGATE         1072
#define IDC_CD_DECORATION       1011
#define IDC_CD_LAYOUT           1252
#define IDC_CD_PAYMENT          1100
#define IDC_CD_AGENCYFEE        1102
#define IDC_CD_REMARK           1108
#define IDC_CD_BRANCH           1118
#define IDC_CD_EMPLOYEE         1117
#define IDC_CD_VIEWTEL          1295    // "看电话(&L)"
#define IDC_CD_WRITEFOLLOW      5       // "写跟进(&W)"
#define IDC_CD_MATCH            1305    // "匹配房源(&M)" (modify form)
#define IDC_CD_FOLLOWS          1266    // the client's follow-ups (modify form)
#define IDC_CD_NAV              1300    // the navigator
#define IDC_CD_NAV_FIRST        1301
#define IDC_CD_NAV_PREV         1302
#define IDC_CD_NAV_NEXT         1303
#define IDC_CD_NAV_LAST         1304
