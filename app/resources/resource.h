// Numbers of the program's resources and of the controls and commands they
// carry.  Shared by the resource scripts and the code.
#pragma once

// ---- Bitmaps, icons, cursors, skin data ------------------------------------------
#define IDR_SKIN_SMF            102     // type "SMF": the skin data
#define IDI_APP                 103
#define IDB_TOOLBAR             104     // 16x15 strip, magenta mask
#define IDCUR_GRID              124
#define IDB_LOGIN_BACK          185
#define IDB_TRADE_189           189
#define IDB_TRADE_190           190
#define IDB_TRADE_191           191
#define IDB_TRADE_199           199

// ---- Menus -----------------------------------------------------------------------------
#define IDM_MAIN                107
#define IDM_CONTEXT             120     // seventeen popups, by position

// Popup positions of menu 107.
#define MAINPOS_USER            0
#define MAINPOS_HOUSE           1
#define MAINPOS_CLIENT          2
#define MAINPOS_ESTATE          3
#define MAINPOS_ADMIN           4
#define MAINPOS_WINDOW          5

// Popup positions of menu 120.
#define CTXPOS_CITY             0
#define CTXPOS_URBAN            1
#define CTXPOS_DISTRICT         2
#define CTXPOS_PARAM            3
#define CTXPOS_BRANCH           4
#define CTXPOS_EMPLOYEE         5
#define CTXPOS_ESTATE           6
#define CTXPOS_HOUSE            7
#define CTXPOS_HOUSE_ALL        8
#define CTXPOS_HOUSE_SALE       9
#define CTXPOS_HOUSE_RENT       10
#define CTXPOS_CLIENT           11
#define CTXPOS_CLIENT_ALL       12
#define CTXPOS_CLIENT_BUY       13
#define CTXPOS_CLIENT_RENT      14
#define CTXPOS_LOG              15
#define CTXPOS_RECYCLE          16

// Commands of the main menu (and of the frame's command table).
#define IDM_EXIT                40001
#define IDM_CLOSEALL            40003
#define IDM_CASCADE             40004
#define IDM_TILE                40005
#define IDM_AREA                40006
#define IDM_PARAM               40045
#define IDM_HOUSE               40067
#define IDM_BRANCH              40068
#define IDM_ESTATE              40071
#define IDM_CLIENT              40086
#define IDM_HOUSE_FOLLOW        40111
#define IDM_CLIENT_FOLLOW       40112
#define IDM_LOG                 40113
#define IDM_CHANGE_PWD          40188
#define IDM_SYSOPT              40189
#define IDM_RECYCLE             40204
#define IDM_AUTO_REMIND         40228

// ---- Commands of the module windows ------------------------------------------------
// Each module window has its own commands; several numbers mean different
// things in different windows (40066 deletes a house in the house list and
// adds a district in the area window), so every module names its own and no
// table of commands spans modules.  18, 19 and 40300 are shared by every
// module.
#define ID_MODULE_EXIT          18      // "退出": close the window
#define ID_MODULE_REFRESH       19      // "刷新": load again
#define ID_MODULE_EXPORT        40300   // "导出…": the grid's rows into a workbook or CSV file

// House list.
#define ID_HOUSE_ALL            40153   // "全部" (drop-down "全部房源")
#define ID_HOUSE_SALE           40155   // "出售" (drop-down "出售房源")
#define ID_HOUSE_RENT           40154   // "出租" (drop-down "出租房源")
#define ID_HOUSE_ADD            40064
#define ID_HOUSE_MODIFY         40065
#define ID_HOUSE_DELETE         40066
#define ID_HOUSE_FOLLOW_HIDE    40086   // "隐藏跟进"
#define ID_HOUSE_FOLLOW_SHOW    40085   // "显示跟进"
#define ID_HOUSE_DELETE_FOLLOWS 40230   // "删除房源跟进"
#define ID_HOUSE_MATCH          40240   // "匹配客源"
#define ID_HOUSE_TODAY_DELEGATE 40074   // quick filters of "全部房源"
#define ID_HOUSE_TODAY_FOLLOW   40075
#define ID_HOUSE_TODAY_EXPIRE   40222
#define ID_HOUSE_SALE_DELEGATE  40077   // ... of "出售房源"
#define ID_HOUSE_SALE_FOLLOW    40078
#define ID_HOUSE_SALE_EXPIRE    40150
#define ID_HOUSE_RENT_DELEGATE  40151   // ... of "出租房源"
#define ID_HOUSE_RENT_FOLLOW    40149
#define ID_HOUSE_RENT_EXPIRE    40082
#define ID_HOUSE_NAV_FIRST      40145   // edit dialog navigator
#define ID_HOUSE_NAV_PREV       40146
#define ID_HOUSE_NAV_NEXT       40147
#define ID_HOUSE_NAV_LAST       40148

// Client list.
#define ID_CLIENT_ALL           40174
#define ID_CLIENT_BUY           40175
#define ID_CLIENT_RENT          40176
#define ID_CLIENT_ADD           40178
#define ID_CLIENT_MODIFY        40087
#define ID_CLIENT_DELETE        40179
#define ID_CLIENT_DELETE_FOLLOWS 40231
#define ID_CLIENT_MATCH         40241   // "匹配房源"
// The match windows.
#define ID_MATCH_OPEN           40242   // the house or client dialog of the selected match
#define ID_CLIENT_TODAY_DELEGATE 40097
#define ID_CLIENT_TODAY_FOLLOW  40092
#define ID_CLIENT_BUY_DELEGATE  40093
#define ID_CLIENT_BUY_FOLLOW    40094
#define ID_CLIENT_RENT_DELEGATE 40095
#define ID_CLIENT_RENT_FOLLOW   40096

// Follow-up windows (house and client).
#define ID_FOLLOW_DELETE        40194

// Area management.
#define ID_AREA_CITY_ADD        40062
#define ID_AREA_CITY_MODIFY     40064
#define ID_AREA_CITY_DELETE     40070
#define ID_AREA_URBAN_ADD       40058
#define ID_AREA_URBAN_MODIFY    40060
#define ID_AREA_URBAN_DELETE    40040
#define ID_AREA_URBAN_MERGE     40044
#define ID_AREA_URBAN_REFRESH   40069
#define ID_AREA_DIST_ADD        40066
#define ID_AREA_DIST_MODIFY     40067
#define ID_AREA_DIST_DELETE     40068

// Estate dictionary.
#define ID_ESTATE_ADD           40056
#define ID_ESTATE_MODIFY        40057
#define ID_ESTATE_DELETE        40059
#define ID_ESTATE_FIND          40223

// Parameter dictionary.
#define ID_PARAM_ADD            40051
#define ID_PARAM_MODIFY         40052
#define ID_PARAM_DELETE         40053

// Organisation.
#define ID_ORG_BRANCH_ADD       2000
#define ID_ORG_BRANCH_MODIFY    1317
#define ID_ORG_BRANCH_DELETE    1318
#define ID_ORG_BRANCH_REFRESH   40109
#define ID_ORG_EMP_ADD          40112
#define ID_ORG_EMP_MODIFY       40115
#define ID_ORG_EMP_DELETE       40116
#define ID_ORG_POSITIONS        40114
#define ID_ORG_POSITION_REFRESH 40110
#define ID_ORG_PWD_RESET        40107
#define ID_ORG_EMP_TRANSFER     40192   // "员工转移": no action in this window
#define ID_ORG_MERGE            40191   // "合并数据": no action in this window

// Operation log.
#define ID_LOG_DELETE           40202
#define ID_LOG_CLEAR            40203

// Recycle bin.
#define ID_RECYCLE_RESTORE      40233
#define ID_RECYCLE_DELETE       40232
#define ID_RECYCLE_CLEAR        40207

// ---- Dialogs and their controls -----------------------------------------------------
#define IDD_PROGRESS            111
#define IDC_PROGRESS_TEXT       1000

// The progress of an export (export.rc).
#define IDD_EXPORT              2200
#define IDC_EXPORT_TEXT         2201
#define IDC_EXPORT_BAR          2202
#define IDC_EXPORT_COUNT        2203

#define IDD_LOGIN               180
#define IDD_CHANGE_PWD          169
#define IDD_SYSOPT              170
#define IDC_EMP_BOX             1117
#define IDC_BR_BOX              1118
#define IDC_LOGIN_PWD           1322
#define IDC_LOGIN_FRAME         1328
#define IDC_LOGIN_PIC           1327
#define IDC_LOGIN_TITLE         1331
#define IDC_OLD_PWD             1113
#define IDC_NEW_PWD             1114
#define IDC_NEW_PWD2            1283

// Estate dialog (138) with its pages and the building form (193).
#define IDD_ESTATE              138
#define IDD_ESTATE_PAGE_EST     135     // "楼盘"
#define IDD_ESTATE_PAGE_BNO     136     // "栋号"
#define IDD_ESTATE_PAGE_DEV     139     // "开发商  物业"
#define IDD_ESTATE_PAGE_LAND    140     // "土地  房屋"
#define IDD_BUILDING            193
#define IDC_EST_TAB             1039
#define IDC_EST_NAME            1044
#define IDC_EST_SPELL           1045
#define IDC_EST_RING            1042
#define IDC_EST_DIST            1043
#define IDC_EST_ADDRESS         1046
#define IDC_EST_CROSSING        1047
#define IDC_EST_COVERS          1048
#define IDC_EST_FLOORAREA       1049
#define IDC_EST_ROOM            1050
#define IDC_EST_VACANCY         1055
#define IDC_EST_VOLUME          1051
#define IDC_EST_AFFOREST        1054
#define IDC_EST_HOUSES          1052
#define IDC_EST_BUILDS          1053
#define IDC_EST_CITY            1006
#define IDC_EST_URBAN           1019
#define IDC_EST_LANDCAT         1009
#define IDC_EST_LANDSRC         1008
#define IDC_EST_LANDUSE         1007
#define IDC_EST_PERIOD          1041
#define IDC_EST_TRANSDATE       1060
#define IDC_EST_TRANSPRICE      1057
#define IDC_EST_FLOORPRICE      1058
#define IDC_EST_HOUSETYPE       1014
#define IDC_EST_HOUSESTRUCT     1040
#define IDC_EST_HOUSEUSE        1017
#define IDC_EST_BUILDTYPE       1015
#define IDC_EST_BUILDSTRUCT     1016
#define IDC_EST_HANDOVER        1018
#define IDC_EST_BUILDYEAR       1037
#define IDC_EST_DEVCOM          1023
#define IDC_EST_BUILDCOM        1028
#define IDC_EST_SALESADDR       1025
#define IDC_EST_SALESTEL        1026
#define IDC_EST_OPENDATE        1030
#define IDC_EST_OPENPRICE       1031
#define IDC_EST_HANDOVERDATE    1059
#define IDC_EST_MGCOM           1024
#define IDC_EST_MGADDR          1036
#define IDC_EST_MGTEL           1027
#define IDC_EST_WORKTIME        1029
#define IDC_EST_PARK            1053    // on the developer page; 1053 is also "总 栋 数" of the estate page
#define IDC_EST_MGPRICE         1032
#define IDC_EST_PARKRENT        1035
#define IDC_BNO_GRID            1336
#define IDC_BNO_ADD             5
#define IDC_BNO_MODIFY          4
#define IDC_BNO_DELETE          3
#define IDC_BNO_FROM            1338
#define IDC_BNO_TO              1339
#define IDC_BNO_FLOORS          1103
#define IDC_BNO_LIFTS           1340
#define IDC_BNO_UNITS           1341
#define IDC_BNO_TYPE            1015
#define IDC_BNO_STRUCT          1016

// Area management: the city (130), urban-area (129) and district (125)
// dialogs, and the merge dialog (131).
#define IDD_AREA_DISTRICT       125
#define IDD_AREA_URBAN          129
#define IDD_AREA_CITY           130
#define IDD_AREA_MERGE          131
#define IDC_AREA_PARENT         1006    // the city or urban area, shown
#define IDC_AREA_NAME           1002    // the name; in the merge dialog the source urban area
#define IDC_AREA_PRIORITY       1015
#define IDC_AREA_TARGET         1019    // the merge dialog's "新城区"

// Parameter dictionary: the value dialog (133).
#define IDD_PARAM_VALUE         133
#define IDC_PARAM_NAME          1022    // the parameter name, shown
#define IDC_PARAM_VALUE         1020
#define IDC_PARAM_PRIORITY      1015

// Organisation window: the permission panel (160) with its grant page (152),
// the branch dialog (145) with its page (146), the employee dialog (149),
// the positions dialog (150), the position form (151) and the transfer
// dialog.  The grant page's check boxes carry the numbers of their rights
// (1162 house view ... 1350 rename estates, app/admin/org_rights.cpp); a
// scoped right's drop-down is its box's number plus IDC_PD_SCOPE_OFFSET.
#define IDD_ORG_PANEL           160
#define IDD_ORG_RIGHTS          152
#define IDD_BRANCH              145
#define IDD_BRANCH_PAGE         146
#define IDD_EMPLOYEE            149
#define IDD_POSITIONS           150
#define IDD_POSITION            151
#define IDD_TRANSFER            2147
#define IDC_PD_TAB              1091
#define IDC_PD_ALL              1090    // "全选"
#define IDC_PD_INVERT           1085    // "反选 "
#define IDC_PD_GRANT            1086    // "授权"
#define IDC_PD_SALESMAN         1087    // "业务员权限"
#define IDC_PD_MANAGER          1089    // "经理权限"
#define IDC_PD_HOU_COUNT        1310    // house telephone views a day
#define IDC_PD_CLI_COUNT        1313    // client telephone views a day
#define IDC_PD_SCOPE_OFFSET     2000
#define IDC_BRD_NAME            1400
#define IDC_BRD_NUM             1401
#define IDC_BRD_BLN             1402
#define IDC_BRD_HOUPF           1403
#define IDC_BRD_CLIPF           1404
#define IDC_BRD_TEL             1405
#define IDC_BRD_EMAIL           1406
#define IDC_BRD_ADD             1407
#define IDC_BRD_CTCTPF          1408
#define IDC_BRD_CMSSPF          1409
#define IDC_BRD_FRAME           1410
#define IDC_EMPD_BRANCH         1420
#define IDC_EMPD_NAME           1421
#define IDC_EMPD_NUM            1422
#define IDC_EMPD_CARD           1423
#define IDC_EMPD_KOSEKI         1424
#define IDC_EMPD_BIRTHDAY       1425
#define IDC_EMPD_SEX            1426
#define IDC_EMPD_EDU            1427
#define IDC_EMPD_ENROLL         1428
#define IDC_EMPD_CERT           1429
#define IDC_EMPD_STATUS         1430
#define IDC_EMPD_TEL            1431
#define IDC_EMPD_EMAIL          1432
#define IDC_EMPD_ADD            1433
#define IDC_EMPD_RESUME         1434
#define IDC_EMPD_REMARK         1435
#define IDC_EMPD_PWD            1436
#define IDC_EMPD_PWD2           1437
#define IDC_EMPD_SALESMAN       1438
#define IDC_EMPD_POSITION       1439
#define IDC_PST_GRID            1126
#define IDC_PST_ADD             5
#define IDC_PST_MODIFY          4
#define IDC_PST_DELETE          3
#define IDC_PST_CLOSE           2
#define IDC_PSTD_NAME           1440
#define IDC_PSTD_PAY            1441
#define IDC_PSTD_LEVEL          1442
#define IDC_PSTD_DESC           1443
#define IDC_TRF_WHO             1450
#define IDC_TRF_BRANCH          1451
#define IDC_TRF_EMP             1452

// System options dialog (170) with its pages "权限管理" (171) and "显示规则"
// (172); 1293 and 1294 mean one box on each page.
#define IDD_SYSOPT_RULES        171
#define IDD_SYSOPT_SHOW         172
#define IDC_SYS_TAB             1285
#define IDC_SYS_NUM_MANUAL      1286
#define IDC_SYS_HOU_AREA        1287
#define IDC_SYS_HOU_PRICE       1288
#define IDC_SYS_HOU_OWNER       1289
#define IDC_SYS_HOU_NODUP       1290
#define IDC_SYS_CLI_LINKTEL     1291
#define IDC_SYS_CLI_NODUP       1292
#define IDC_SYS_HOU_CIPHER      1293
#define IDC_SYS_CLI_CIPHER      1294
#define IDC_SYS_BMP_SIZE        1293
#define IDC_SYS_ATTENDANCE      1294
#define IDC_SYS_INTEGRITY       1342

// Control ids of the shared window building blocks.
#define IDC_MDICLIENT           2
#define IDC_REBAR               3
#define IDC_TOOLBAR             4
#define IDC_VSPLIT_LEFT         5
#define IDC_VSPLIT_RIGHT        6
#define IDC_HSPLIT_TOP          7
#define IDC_HSPLIT_BOTTOM       8
#define IDC_TREE                9
#define IDC_GRID                10
#define IDC_RECORD_COUNT        28

// ---- String table ------------------------------------------------------------------
#define IDS_AREA                1       // "城区管理"
#define IDS_PRODUCT             4       // "Kelmora"
#define IDS_VERSION             9       // "1.0"
#define IDS_CITY_ADD            11      // "增加城市": the city dialog adding
#define IDS_URBAN_ADD           12      // "增加城区"
#define IDS_DISTRICT_ADD        13      // "增加片区"
#define IDS_URBAN_MODIFY        14      // "修改城区"
#define IDS_DISTRICT_MODIFY     15      // "修改片区"
#define IDS_DB_CONNECT_ERROR    20
#define IDS_INIT_SOFTWARE       22
#define IDS_INIT_SKIN           23
#define IDS_INIT_DB_SETTINGS    24
#define IDS_TRY_CONNECT         25
#define IDS_CITY_MODIFY         40036   // "修改城市"
#define IDS_PARAM               40037
#define IDS_PARAM_ADD           40051   // value dialog titles
#define IDS_PARAM_MODIFY        40052
#define IDS_ESTATE              40054
#define IDS_ESTATE_ADD          40056   // estate dialog titles
#define IDS_ESTATE_MODIFY       40057
#define IDS_ESTATE_TAB_EST      40075   // its tabs
#define IDS_ESTATE_TAB_BNO      40076
#define IDS_ESTATE_TAB_LAND     40077
#define IDS_ESTATE_TAB_DEV      40078
#define IDS_INIT_PARAMS         40079
#define IDS_INIT_AREAS          40080
#define IDS_INIT_ESTATES        40081
#define IDS_HOUSE               40083
#define IDS_CLIENT              40084
#define IDS_ORG                 40117
#define IDS_HOUSE_FOLLOW        40191
#define IDS_CLIENT_FOLLOW       40193
#define IDS_LOG                 40201
#define IDS_RECYCLE             40204
#define IDS_MATCH_HOUSES        40243
#define IDS_MATCH_CLIENTS       40244
#define IDS_ORG_RIGHTS_TAB      40128   // "房源 · 客源", the grant page's tab
#define IDS_POSITIONS           40130   // positions dialog title
#define IDS_POSITION_ADD        40135   // position form titles
#define IDS_POSITION_MODIFY     40136
#define IDS_EMP_ADD             40139   // employee dialog titles
#define IDS_EMP_MODIFY          40140
#define IDS_SYSOPT_TAB_RULES    40188   // system options tabs
#define IDS_SYSOPT_TAB_SHOW     40189
#define IDS_BUILDING_ADD        40220   // building form titles
#define IDS_BUILDING_MODIFY     40221
