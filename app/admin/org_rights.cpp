// The grant page's table of rights and the permission value it composes.
#include "app/admin/org_rights.h"
#include "app/resources/resource.h"

#include <cstring>
#include <vector>

// Groups of the page: 0 houses, 1 clients, 2 dictionaries, 3 administration
// (their frames are drawn by the panel).
#define SCOPED(id, caption, codes, g, x, y) {id, caption, codes, 0, ORG_LIMIT_NONE, g, x, y, 28}
#define PLAIN(id, caption, code, g, x, y, cx) {id, caption, code, 0, ORG_LIMIT_NONE, g, x, y, cx}
#define SUB(id, caption, code, parent, g, x, y, cx) {id, caption, code, parent, ORG_LIMIT_NONE, g, x, y, cx}
#define VIEW_TEL(id, code, limit, g, x, y) {id, "看电话", code, 0, limit, g, x, y, 36}
// The dictionaries' rights: view, add, modify and delete in four columns.
#define DICT(id, caption, code, line, col) {id, caption, code, 0, ORG_LIMIT_NONE, 2, 6 + 43 * (col), 11 + 12 * (line), 42}

const ORG_RIGHT g_orgRights[] = {
    SCOPED(1162, "查看", "01020304", 0, 6, 11),
    SCOPED(1163, "新增", "05060708", 0, 92, 11),
    SCOPED(1164, "修改", "090A0B0C", 0, 6, 23),
    SCOPED(1165, "删除", "0D0E0F0G", 0, 92, 23),
    PLAIN(1173, "查看跟进", "0H", 0, 6, 35, 40),
    PLAIN(1172, "新增跟进", "0L", 0, 49, 35, 40),
    PLAIN(1171, "修改跟进", "0T", 0, 92, 35, 40),
    PLAIN(1170, "删除跟进", "0P", 0, 135, 35, 40),
    PLAIN(1178, "房源部分修改", "0Y", 0, 6, 47, 62),
    SUB(1181, "备注", "13", 1178, 0, 16, 59, 30),
    SUB(1183, "价格", "12", 1178, 0, 50, 59, 30),
    SUB(1304, "电话", "15", 1178, 0, 84, 59, 30),
    SUB(1184, "面积", "14", 1178, 0, 118, 59, 30),
    SUB(1303, "委托日期", "16", 1178, 0, 16, 71, 44),
    SUB(1302, "业务员", "17", 1178, 0, 64, 71, 38),
    SUB(1349, "地址", "46", 1178, 0, 106, 71, 30),
    PLAIN(1308, "看电话不写跟进", "1A", 0, 6, 83, 68),
    VIEW_TEL(1309, "1B", ORG_LIMIT_HOUSE, 0, 80, 83),

    SCOPED(1166, "查看", "1C1D1F1G", 1, 6, 11),
    SCOPED(1168, "修改", "1H1I1J1K", 1, 6, 23),
    SCOPED(1169, "删除", "1P1Q1R1S", 1, 92, 23),
    SCOPED(1167, "新增", "1L1M1N1O", 1, 92, 11),
    PLAIN(1141, "客源部分修改", "0Z", 1, 6, 35, 62),
    SUB(1300, "电话", "10", 1141, 1, 16, 47, 30),
    SUB(1299, "委托日期", "11", 1141, 1, 50, 47, 44),
    SUB(1301, "业务员", "18", 1141, 1, 98, 47, 38),
    SUB(1305, "备注", "19", 1141, 1, 140, 47, 30),
    SUB(1306, "价格", "0X", 1141, 1, 16, 59, 30),
    PLAIN(1311, "看电话不写跟进", "44", 1, 6, 71, 68),
    VIEW_TEL(1312, "45", ORG_LIMIT_CLIENT, 1, 80, 71),

    DICT(1218, "修改楼盘", "3D", 0, 2), DICT(1219, "新增楼盘", "3B", 0, 1),
    DICT(1217, "删除楼盘", "3C", 0, 3), DICT(1220, "查看楼盘", "3E", 0, 0),
    DICT(1145, "修改栋号", "3H", 1, 2), DICT(1215, "新增栋号", "3G", 1, 1),
    DICT(1216, "删除栋号", "3I", 1, 3), DICT(1214, "查看栋号", "3F", 1, 0),
    DICT(1192, "查看部门", "2P", 2, 0), DICT(1193, "新增部门", "2S", 2, 1),
    DICT(1194, "修改部门", "2Q", 2, 2), DICT(1195, "删除部门", "2R", 2, 3),
    DICT(1196, "查看员工", "2T", 3, 0), DICT(1197, "新增员工", "2U", 3, 1),
    DICT(1133, "修改员工", "2X", 3, 2), DICT(1198, "删除员工", "30", 3, 3),
    DICT(1201, "查看职位", "33", 4, 0), DICT(1202, "新增职位", "34", 4, 1),
    DICT(1137, "修改职位", "35", 4, 2), DICT(1203, "删除职位", "36", 4, 3),
    DICT(1222, "修改城区", "3A", 5, 2), DICT(1223, "新增城区", "38", 5, 1),
    DICT(1221, "删除城区", "39", 5, 3), DICT(1224, "查看城区", "37", 5, 0),
    DICT(1144, "修改参数", "42", 6, 2), DICT(1297, "新增参数", "41", 6, 1),
    DICT(1298, "删除参数", "43", 6, 3), DICT(1296, "查看参数", "40", 6, 0),

    PLAIN(1314, "设置权限", "3R", 3, 6, 11, 44),
    PLAIN(1209, "更改系统选项", "3Q", 3, 70, 23, 62),
    PLAIN(1208, "查看系统选项", "3O", 3, 6, 23, 62),
    PLAIN(1213, "查看日志", "3J", 3, 6, 35, 44),
    PLAIN(1212, "删除日志", "3K", 3, 70, 35, 44),
    PLAIN(1210, "查看回收站", "3L", 3, 6, 47, 52),
    PLAIN(1315, "管理回收站", "3M", 3, 70, 47, 52),
    PLAIN(1350, "修改楼盘名称", "47", 3, 70, 11, 62),
};
const int g_nOrgRights = static_cast<int>(sizeof(g_orgRights) / sizeof(g_orgRights[0]));
static_assert(sizeof(g_orgRights) / sizeof(g_orgRights[0]) <= ORG_RIGHTS_MAX, "room for every right");

#undef SCOPED
#undef PLAIN
#undef SUB
#undef VIEW_TEL
#undef DICT

bool OrgRight_Scoped(const ORG_RIGHT& r)
{
    return strlen(r.pszCodes) == 2 * ORG_SCOPES;
}

int OrgRight_ScopeId(const ORG_RIGHT& r)
{
    return OrgRight_Scoped(r) ? r.id + IDC_PD_SCOPE_OFFSET : 0;
}

int OrgRight_CountId(const ORG_RIGHT& r)
{
    return r.iLimit == ORG_LIMIT_HOUSE ? IDC_PD_HOU_COUNT : r.iLimit == ORG_LIMIT_CLIENT ? IDC_PD_CLI_COUNT : 0;
}

void OrgGrant_Clear(ORG_GRANT* g)
{
    for (int i = 0; i < ORG_RIGHTS_MAX; i++) {
        g->ticked[i] = false;
        g->scope[i] = -1;
    }
    g->iHouMax = 0;
    g->iCliMax = 0;
}

static int RowOf(int id)
{
    for (int i = 0; i < g_nOrgRights; i++)
        if (g_orgRights[i].id == id)
            return i;
    return -1;
}

std::string OrgGrant_Compose(const ORG_GRANT& g, int32_t* piCli, int32_t* piHou)
{
    std::string value;
    int32_t cli = 0, hou = 0;
    for (int i = 0; i < g_nOrgRights; i++) {
        const ORG_RIGHT& r = g_orgRights[i];
        int parent = r.idParent ? RowOf(r.idParent) : -1;
        if (!g.ticked[i] || (parent >= 0 && !g.ticked[parent]))
            continue;
        if (OrgRight_Scoped(r)) {
            if (g.scope[i] < 0 || g.scope[i] >= ORG_SCOPES)
                continue;
            value.append(r.pszCodes + 2 * g.scope[i], 2);
        } else {
            value.append(r.pszCodes, 2);
        }
        if (r.iLimit == ORG_LIMIT_HOUSE)
            hou = g.iHouMax;
        else if (r.iLimit == ORG_LIMIT_CLIENT)
            cli = g.iCliMax;
    }
    if (piCli)
        *piCli = cli;
    if (piHou)
        *piHou = hou;
    return value;
}

void OrgGrant_Parse(const char* pszCodes, int32_t iCli, int32_t iHou, ORG_GRANT* g)
{
    OrgGrant_Clear(g);
    g->iHouMax = iHou;
    g->iCliMax = iCli;
    size_t n = pszCodes ? strlen(pszCodes) : 0;
    for (size_t k = 0; k + 1 < n; k += 2) {
        for (int i = 0; i < g_nOrgRights; i++) {
            const char* codes = g_orgRights[i].pszCodes;
            for (int s = 0; codes[2 * s]; s++) {
                if (codes[2 * s] != pszCodes[k] || codes[2 * s + 1] != pszCodes[k + 1])
                    continue;
                g->ticked[i] = true;
                if (OrgRight_Scoped(g_orgRights[i]) && s > g->scope[i])
                    g->scope[i] = s;
            }
        }
    }
}

// ---- What a grant changed, by name ------------------------------------------------------

static const char* const kScopeNames[ORG_SCOPES] = {"本人", "本部", "跨部", "跨店"};

static std::string RightName(int i)
{
    const ORG_RIGHT& r = g_orgRights[i];
    std::string name = r.iGroup == 0 ? "房源" : r.iGroup == 1 ? "客源" : "";
    int parent = r.idParent ? RowOf(r.idParent) : -1;
    if (parent >= 0)
        name = std::string(g_orgRights[parent].pszCaption) + "-";
    // (The parents' captions already name their group.)
    if (parent < 0 && strncmp(r.pszCaption, name.c_str(), name.size()) == 0)
        name.clear();
    return name + r.pszCaption;
}

// What a row grants: -2 nothing, -1 a plain right, else its scope.
static int Granted(const ORG_GRANT& g, int i)
{
    const ORG_RIGHT& r = g_orgRights[i];
    int parent = r.idParent ? RowOf(r.idParent) : -1;
    if (!g.ticked[i] || (parent >= 0 && !g.ticked[parent]))
        return -2;
    if (!OrgRight_Scoped(r))
        return -1;
    return g.scope[i] >= 0 && g.scope[i] < ORG_SCOPES ? g.scope[i] : -2;
}

static std::string Limited(const ORG_RIGHT& r, const ORG_GRANT& g)
{
    int32_t n = r.iLimit == ORG_LIMIT_HOUSE ? g.iHouMax : r.iLimit == ORG_LIMIT_CLIENT ? g.iCliMax : -1;
    return n < 0 ? "" : "(" + std::to_string(n) + "次/天)";
}

static std::string Joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v)
        s += (s.empty() ? "" : ", ") + x;
    return s;
}

std::string OrgGrant_Describe(const ORG_GRANT& before, const ORG_GRANT& after)
{
    std::vector<std::string> added, removed, changed;
    for (int i = 0; i < g_nOrgRights; i++) {
        const ORG_RIGHT& r = g_orgRights[i];
        int a = Granted(before, i), b = Granted(after, i);
        std::string name = RightName(i);
        if (a == -2 && b == -2)
            continue;
        if (a == -2)
            added.push_back(name + (b >= 0 ? std::string("(") + kScopeNames[b] + ")" : "") + Limited(r, after));
        else if (b == -2)
            removed.push_back(name);
        else if (a != b)
            changed.push_back(name + " " + kScopeNames[a] + "→" + kScopeNames[b]);
        else if (Limited(r, before) != Limited(r, after))
            changed.push_back(name + " " + Limited(r, before) + "→" + Limited(r, after));
    }
    std::string s;
    if (!added.empty())
        s += "增加: " + Joined(added);
    if (!removed.empty())
        s += std::string(s.empty() ? "" : "; ") + "取消: " + Joined(removed);
    if (!changed.empty())
        s += std::string(s.empty() ? "" : "; ") + "改变: " + Joined(changed);
    return s.empty() ? "权限没有改变" : s;
}
