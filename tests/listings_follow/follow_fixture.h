// A database with two branches and their staff, three estates, two houses,
// two clients and their follow-ups, and the program's caches loaded from it
// as start-up leaves them, the administrator of 总店 logged in.
#pragma once
#include "tests/support/window_driver.h"
#include "data/ZTData.h"

#include <set>
#include <string>

enum FollowDbKeys {
    BR2 = 2,                             // 二部 (总店 is 1)
    ZHANG = 2, WANG = 3, ZHAO = 4,       // 张三 of 总店; 王五, 赵六 of 二部 (管理员 is 1)
    EST_JLY = 1, EST_JLY2 = 2, EST_CY = 3,   // 嘉绿苑 JLY, 嘉绿苑二期 JLYEQ, 翠苑一区 CYYQ
    H1 = 1, H2 = 2,                      // 嘉绿苑 1-101 出售 (总店), 翠苑一区 2-202 出租 (二部)
    C1 = 1, C2 = 2,                      // 陈先生 求购 A级(急需) (总店), 刘女士 求租 B级(一般) (二部)
    // Follow-ups, today unless said.
    F_H1 = 1,        // h1 by 张三
    F_H2 = 2,        // h2 by 王五
    F_H1_OLD = 3,    // h1 by 管理员, yesterday
    F_C1 = 4,        // c1 by 张三
    F_C2 = 5,        // c2 by 赵六
    F_C2_OLD = 6     // c2 by 赵六, two days ago
};

// Re-creates the database "kelmora_follow" with the rows above and loads the caches.
void FollowDb_Open();

// Follow-ups a grid lists, by key; the text of a cell (column index as
// added) of a listed follow-up; selecting the row of one.
std::set<int> Follow_GridKeys(HWND hGrid);
std::string Follow_GridCell(HWND hGrid, int key, int column);
bool Follow_SelectKey(HWND hGrid, int key);
