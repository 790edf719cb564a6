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

// ---- Dialogs and their controls -----------------------------------------------------
#define IDD_PROGRESS            111
#define IDC_PROGRESS_TEXT       1000

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
#define IDS_DB_CONNECT_ERROR    20
#define IDS_INIT_SOFTWARE       22
#define IDS_INIT_SKIN           23
#define IDS_INIT_DB_SETTINGS    24
#define IDS_TRY_CONNECT         25
#define IDS_PARAM               40037
#define IDS_ESTATE              40054
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
