#include "app/admin/log_filter.h"
#include "app/admin/log_ids.h"
#include "app/admin/log_names.h"
#include "app/listings/listing_filter.h"
#include "app/shell/caches.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

enum { LF_NAME_MAX = 50, LF_KIND_MAX = 16 };

const char kNoRow[] = " 1 = 0";

std::string Key(const char* tmpl, int key)
{
    char buf[128];
    snprintf(buf, sizeof(buf), tmpl, key);
    return buf;
}

// The employee of that name among the shared list's live records (names
// are unique among employees), or 0.
int EmployeeKey(const tagZT_Main_Param* p, const std::string& name)
{
    for (int i = 0; i < Cache_EmployeeSlots(p); i++)
        if (p->pEmpList[i].iOrdinal && name == p->pEmpList[i].szEmp)
            return p->pEmpList[i].iOrdinal;
    return 0;
}

int BranchKey(const tagZT_Main_Param* p, const std::string& name)
{
    for (int i = 0; i < Cache_BranchSlots(p); i++)
        if (p->pBrList[i].iOrdinal && name == p->pBrList[i].szBr)
            return p->pBrList[i].iOrdinal;
    return 0;
}

}  // namespace

BOOL LogFilter_Build(const tagZT_Main_Param* p, const LogFilterPanel& v, std::string* pOut, int* pBadCtl)
{
    pOut->clear();
    if (pBadCtl)
        *pBadCtl = 0;
    const LISTING_DATE_BOX dates[] = {LISTING_DATES(from, to, IDC_LOG_FROM, IDC_LOG_TO, "dtAdd")};
    std::string datePieces[2];
    if (!Listing_FilterDates(dates, 2, datePieces, pBadCtl))
        return FALSE;

    std::string t;
    std::string emp = Listing_FilterCut(v.emp, LF_NAME_MAX);
    if (!emp.empty()) {
        int key = EmployeeKey(p, emp);
        Listing_FilterAppend(t, key ? Key(" iOpEmp = %d", key) : kNoRow);
    }
    std::string br = Listing_FilterCut(v.br, LF_NAME_MAX);
    if (!br.empty()) {
        int key = BranchKey(p, br);
        Listing_FilterAppend(t, key ? Key(" iOpEmp in (select iOrdinal from t_employee where iBr = %d)", key) : kNoRow);
    }
    std::string kind = Listing_FilterCut(v.kind, LF_KIND_MAX);
    if (!kind.empty()) {
        int type = Log_ObjectType(kind.c_str());
        Listing_FilterAppend(t, type >= 0 ? Key(" iObjType = %d", type) : kNoRow);
    }
    for (const std::string& d : datePieces)
        Listing_FilterAppend(t, d);
    *pOut = t;
    return TRUE;
}

#define LF(id, field, max, label) LISTING_BOX(LogFilterPanel, id, ZF_TEXT, field, max, label)
extern const ZT_FIELD g_LogFilterFields[] = {
    LF(IDC_LOG_EMP, emp, LF_NAME_MAX, "员工"),
    LF(IDC_LOG_BR, br, LF_NAME_MAX, "部门"),
    LF(IDC_LOG_KIND, kind, LF_KIND_MAX, "对象"),
    LISTING_RANGE(LogFilterPanel, IDC_LOG_FROM, IDC_LOG_TO, ZF_DATE, from, to, 10, "日期"),
};
#undef LF
extern const int g_nLogFilterFields = sizeof(g_LogFilterFields) / sizeof(g_LogFilterFields[0]);
