#include "app/admin/log_names.h"
#include "common/gbk.h"
#include "data/oplog.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

// Object types of the log (t_log.iObjType).
enum {
    T_HOUSE = 0, T_CLIENT = 1, T_ESTATE = 2, T_BRANCH = 3, T_EMPLOYEE = 4, T_POSITION = 5, T_URBAN = 6,
    T_HOUSE_FOLLOW = 7, T_CLIENT_FOLLOW = 8, T_BUILDING = 9, T_PARAM = 10, T_DISTRICT = 11, T_LOGIN = 12,
    T_HOUSE_REMIND = 13, T_CLIENT_REMIND = 14, T_LOG = 15, T_RECYCLE = 16, T_SYSOPT = 17
};

// Added, modified and deleted objects of each module, by the module's word.
#define MODULE_OPS(type, word)                                                                        \
    {LOG_ACT_ADD, type, word "增加"}, {LOG_ACT_MODIFY, type, word "修改"}, {LOG_ACT_DELETE, type, word "删除"}

extern const LOG_OPNAME g_LogOpNames[] = {
    {LOG_ACT_LOGIN, T_LOGIN, "用户登录"},
    MODULE_OPS(T_HOUSE, "房源"),
    MODULE_OPS(T_CLIENT, "客源"),
    MODULE_OPS(T_HOUSE_FOLLOW, "跟进"),
    MODULE_OPS(T_CLIENT_FOLLOW, "跟进"),
    MODULE_OPS(T_ESTATE, "楼盘"),
    MODULE_OPS(T_BUILDING, "栋号"),
    MODULE_OPS(T_BRANCH, "部门"),
    MODULE_OPS(T_EMPLOYEE, "员工"),
    MODULE_OPS(T_POSITION, "职位"),
    MODULE_OPS(T_PARAM, "参数"),
    MODULE_OPS(T_URBAN, "城区"),
    {LOG_ACT_PASSWORD, T_EMPLOYEE, "修改密码"},
    {LOG_ACT_RESTORE, LOG_ANY_TYPE, "回收站还原"},
    {LOG_ACT_PURGE, LOG_ANY_TYPE, "回收站删除"},
    {LOG_ACT_CLEAR, LOG_ANY_TYPE, "回收站清空"},
    {ZT_LOG_ACT_EXPORT, LOG_ANY_TYPE, "列表导出"},
    {LOG_ACT_TELVIEW, T_HOUSE, "看房源电话"},
    {LOG_ACT_TELVIEW, T_CLIENT, "看客源电话"},
    {LOG_ACT_GRANT, T_EMPLOYEE, "员工授权"},
    {LOG_ACT_GRANT, T_POSITION, "职位授权"},
    {LOG_ACT_LOGIN_FAILED, T_LOGIN, "登录失败"},
    {LOG_ACT_MERGE, T_URBAN, "城区合并"},
    {LOG_ACT_OPTIONS, T_SYSOPT, "系统选项修改"},
    {LOG_ACT_LOG_DELETE, T_LOG, "日志删除"},
    {LOG_ACT_LOG_CLEAR, T_LOG, "日志清空"},
    {LOG_ACT_RESET, T_EMPLOYEE, "重置密码"},
};
#undef MODULE_OPS
extern const int g_nLogOpNames = sizeof(g_LogOpNames) / sizeof(g_LogOpNames[0]);

namespace {

struct KIND {
    int iType;
    const char* pszName;
};
const KIND kKinds[] = {
    {T_HOUSE, "房源"}, {T_CLIENT, "客源"}, {T_HOUSE_FOLLOW, "房源跟进"}, {T_CLIENT_FOLLOW, "客源跟进"},
    {T_ESTATE, "楼盘"}, {T_BUILDING, "栋号"}, {T_BRANCH, "部门"}, {T_EMPLOYEE, "员工"}, {T_POSITION, "职位"},
    {T_PARAM, "参数"}, {T_URBAN, "城区"}, {T_DISTRICT, "片区"}, {T_LOGIN, "登录"},
    {T_HOUSE_REMIND, "房源提醒"}, {T_CLIENT_REMIND, "客源提醒"}, {T_LOG, "操作日志"}, {T_RECYCLE, "回收站"},
    {T_SYSOPT, "系统选项"},
};
const int kNumKinds = sizeof(kKinds) / sizeof(kKinds[0]);

// Texts made for codes the tables do not know, kept for the program's life
// (the grid points at them).  Few: only codes that are in no table.
const char* Numbers(int a, int b, bool bPair)
{
    // Never destroyed: a worker may still name a row while the program ends.
    static std::mutex* mu = new std::mutex;
    static auto* made = new std::map<std::pair<int, int>, std::string>;
    std::lock_guard<std::mutex> lock(*mu);
    auto key = std::make_pair(bPair ? a : INT32_MIN, b);
    auto it = made->find(key);
    if (it != made->end())
        return it->second.c_str();
    char text[48];
    if (bPair)
        snprintf(text, sizeof(text), "动作 %d / 对象 %d", a, b);
    else
        snprintf(text, sizeof(text), "对象 %d", b);
    return made->emplace(key, text).first->second.c_str();
}

const char kSep[] = "@,@";

// Fields of a snapshot that hold a telephone, by object type.
bool IsTelephone(int iObjType, int iField)
{
    if (iObjType == T_HOUSE)
        return iField == 6 || iField == 8;    // szLinkTel, szOwnerTel
    if (iObjType == T_CLIENT)
        return iField == 2 || iField == 4;    // szLinkTel, szCliTel
    return false;
}

}  // namespace

const char* Log_OperationName(int iAct, int iObjType)
{
    for (int i = 0; i < g_nLogOpNames; i++)
        if (g_LogOpNames[i].iAct == iAct &&
            (g_LogOpNames[i].iObjType == iObjType || g_LogOpNames[i].iObjType == LOG_ANY_TYPE))
            return g_LogOpNames[i].pszName;
    return nullptr;
}

const char* Log_ObjectName(int iObjType)
{
    for (int i = 0; i < kNumKinds; i++)
        if (kKinds[i].iType == iObjType)
            return kKinds[i].pszName;
    return nullptr;
}

int Log_ObjectType(const char* pszName)
{
    for (int i = 0; pszName && i < kNumKinds; i++)
        if (strcmp(kKinds[i].pszName, pszName) == 0)
            return kKinds[i].iType;
    return -1;
}

const int* Log_ObjectTypes(int* pCount)
{
    static int types[kNumKinds];
    for (int i = 0; i < kNumKinds; i++)
        types[i] = kKinds[i].iType;
    if (pCount)
        *pCount = kNumKinds;
    return types;
}

const char* Log_OperationText(int iAct, int iObjType)
{
    const char* name = Log_OperationName(iAct, iObjType);
    return name ? name : Numbers(iAct, iObjType, true);
}

const char* Log_ObjectText(int iObjType)
{
    const char* name = Log_ObjectName(iObjType);
    return name ? name : Numbers(0, iObjType, false);
}

void Log_ReadableSnapshot(int iObjType, char* pszValue, size_t cb)
{
    if (!pszValue || cb == 0)
        return;
    size_t len = strnlen(pszValue, cb - 1);
    std::string out;
    int field = 0;
    size_t start = 0;
    auto endField = [&](size_t end) {
        if (IsTelephone(iObjType, field) && end > start)
            out += "******";
        else
            out.append(pszValue + start, end - start);
    };
    for (size_t i = 0; i < len;) {
        if (len - i >= 3 && memcmp(pszValue + i, kSep, 3) == 0) {
            endField(i);
            out += " | ";
            i += 3;
            start = i;
            field++;
            continue;
        }
        // A separator never starts inside a character: a trail byte may be '@'.
        i += Gbk_IsLead(static_cast<unsigned char>(pszValue[i])) && i + 1 < len ? 2 : 1;
    }
    endField(len);
    size_t n = out.size() < cb ? out.size() : cb - 1;
    n = Gbk_CutLen(out.c_str(), out.size(), n);
    memcpy(pszValue, out.data(), n);
    pszValue[n] = '\0';
}
