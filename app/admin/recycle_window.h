// The recycle bin window "ZT_CHILD_RECY" (main-menu command 40204
// "回 收 站"): the nine kinds of deleted objects in a tree on the left (houses,
// clients, estates, branches, employees, positions, areas, house and client
// follow-ups), the chosen kind's deleted objects in its own grid on the
// right with the deletion time, the deleting employee and the object's
// names.  "还原记录" puts the selected object back (into the shared caches of
// its kind too), "删除记录" purges it and "清空记录" purges every object of the
// kind, both after the deletion warning.  The names come from look-up
// lists loaded when the window opens ("初始化回收站参数错误" and no list when
// they cannot be had) and released when it goes.
#pragma once
#include "app/shell/module.h"

extern const ZT_MODULE_DESC g_RecycleModule;

// The kinds, in the tree's order (their object types are 0 .. 8).
enum { RECY_KINDS = 9 };

// One listed object: its entry and its record, whatever its kind.
struct RECY_ROW {
    int32_t iRow;            // 1-based position in the load: the grid's key
                             // (a follow-up retired with its listing has no entry key)
    int32_t iType;           // object type
    tagRECY e;
    union {
        tagHOUSE h;
        tagCLIENT c;
        tagESTLIST est;
        tagBRLIST br;
        tagEMPLIST emp;
        tagPostion pst;
        tagURBAN u;
        tagFOLLOW f;
    } o;
};

// The kind a recycle bin window shows (-1 for any other window), and its
// name in the tree.
int RecycleWindow_Type(HWND hwnd);
const char* RecycleWindow_KindName(int iType);
