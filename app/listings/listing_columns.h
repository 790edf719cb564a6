// Column groups and command rows the house and client lists share with the
// windows that list the same records (the match windows).  Each column
// group takes the offset macro of the window's record (H(field), C(field)).
#pragma once
#include "app/shell/module.h"

// A house's place in its building and its size.
#define HOUSE_COLS_ROOM(H)                                                                              \
    ZT_COL_TEXT("栋号", 40, 1, H(szBuildNO)), ZT_COL_TEXT("室号", 40, 1, H(szHouseNO)),                 \
        ZT_COL_TEXT("楼层", 40, 1, H(szFloor)), ZT_COL("总层", 40, LVT_INT, 1, H(iFloorT)),           \
        ZT_COL("面积", 52, LVT_DOUBLE, 2, H(dbBuildArea)), ZT_COL_TEXT("房型", 42, 1, H(szRoomType)), \
        ZT_COL_TEXT("朝向", 45, 1, H(szToward))

// What a client wants: the trade, the kind of house, where, how large, and
// the budgets.
#define CLIENT_COLS_WANTS(C)                                                                                \
    ZT_COL_TEXT("交易", 40, 1, C(szTrade)), ZT_COL_TEXT("类型", 60, 1, C(szHouseType)),                     \
        ZT_COL_TEXT("城区", 60, 0, C(szUrban)), ZT_COL_TEXT("面积", 60, 1, C(szAreaRange)),                 \
        ZT_COL_TEXT("房型", 40, 1, C(szRoomRange)), ZT_COL_TEXT("朝向", 50, 1, C(szToward)),                \
        ZT_COL_TEXT("楼层", 40, 1, C(szFloor)), ZT_COL_TEXT("装修", 40, 1, C(szDecoration)),               \
        ZT_COL_TEXT("配置", 60, 1, C(szLayout)),                                                            \
        ZT_COL_UNIT("购价范围", 107, LVT_TEXT, "万元", LVU_HEADER, 1, C(szPurchaseRange)),                  \
        ZT_COL_UNIT("租价范围", 120, LVT_TEXT, "元/月", LVU_HEADER, 1, C(szRentRange))

// The command rows of a list of listings: add, modify (the form asks the
// record's modify right when it saves), delete, deleting the selected
// listing's follow-ups and the match (which ask their rights themselves and
// say which is missing).
#define LISTING_COMMANDS(LIST, add, modify, match)                                                   \
    {ID_##LIST##_ADD, add, 0, ZT_OP_ADD, nullptr},                                                   \
        {ID_##LIST##_MODIFY, modify, ZT_CMD_NEEDSEL, ZT_OP_VIEW, "请选择数据"},                      \
        {ID_##LIST##_DELETE, Module_CmdDelete, ZT_CMD_NEEDSEL | ZT_CMD_TO_BIN, ZT_OP_DELETE, "请选择数据"}, \
        {ID_##LIST##_DELETE_FOLLOWS, ListingWindow_CmdDeleteFollowUps, ZT_CMD_NEEDSEL, ZT_OP_VIEW, "错了"},    \
        {ID_##LIST##_MATCH, match, ZT_CMD_NEEDSEL, ZT_NO_RIGHT, "请选择数据"}
// A quick filter's row: the LISTING_QUICK at q.
#define LISTING_QUICK_ROW(cmd, q) {cmd, ListingWindow_CmdQuick, 0, ZT_OP_VIEW, nullptr, q}
