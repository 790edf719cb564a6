#include "app/listings/follow_filter.h"
#include "app/listings/follow_ids.h"
#include "common/date.h"
#include "data/quote.h"

#include <cstdio>
#include <cstring>
#include <vector>

template <size_t N> static bool SameName(const char (&field)[N], const std::string& name)
{
    return !name.empty() && strnlen(field, N) == name.size() && memcmp(field, name.data(), name.size()) == 0;
}

int Follow_BranchKey(const tagZT_Main_Param* p, const std::string& name)
{
    for (int i = 0; p->pBrList && i < p->nBr; i++)
        if (p->pBrList[i].iOrdinal && SameName(p->pBrList[i].szBr, name))
            return p->pBrList[i].iOrdinal;
    return 0;
}

int Follow_EmployeeKey(const tagZT_Main_Param* p, int iBr, const std::string& name)
{
    for (int i = 0; iBr && p->pEmpList && i < p->nEmp; i++)
        if (p->pEmpList[i].iOrdinal && p->pEmpList[i].iBr == iBr && SameName(p->pEmpList[i].szEmp, name))
            return p->pEmpList[i].iOrdinal;
    return 0;
}

int Follow_EstateKey(const tagZT_Main_Param* p, const std::string& name)
{
    // Spare slots filled by the estate window count as well.
    int n = p->nEst + (p->pEstList ? p->nEstSpare : 0);
    for (int i = 0; p->pEstList && i < n; i++)
        if (p->pEstList[i].iOrdinal && SameName(p->pEstList[i].szEstate, name))
            return p->pEstList[i].iOrdinal;
    return 0;
}

FOLLOW_FILTER Follow_DefaultFilter(int iKind)
{
    FOLLOW_FILTER f;
    f.iKind = iKind;
    char today[16];
    Date_Today(today, sizeof(today));
    f.from = today;
    f.to = today;
    return f;
}

// Appends one piece: the template's %s takes " and " once the text holds a
// piece already, nothing before the first.
static void Append(std::string& out, const char* fmt, const char* value)
{
    std::vector<char> buf(strlen(fmt) + (value ? strlen(value) : 0) + 16);
    snprintf(buf.data(), buf.size(), fmt, out.empty() ? "" : " and ", value ? value : "");
    out += buf.data();
}

static void AppendKey(std::string& out, const char* fmt, int key)
{
    char buf[96];
    snprintf(buf, sizeof(buf), fmt, out.empty() ? "" : " and ", key);
    out += buf;
}

// The value quoted for SQL; false when it does not fit.
static bool Quote(const std::string& value, std::vector<char>* q)
{
    q->assign(value.size() * 2 + 8, 0);
    return FD_QuoteText(value.c_str(), q->data(), q->size()) != FALSE;
}

int Follow_FilterText(const tagZT_Main_Param* p, const FOLLOW_FILTER& f, std::string* pOut)
{
    pOut->clear();
    if (!f.from.empty() && !Date_IsText(f.from.c_str()))
        return IDC_FOLLOW_FROM;
    if (!f.to.empty() && !Date_IsText(f.to.c_str()))
        return IDC_FOLLOW_TO;

    std::string s;
    if (f.iKind == FOLLOW_KIND_HOUSE) {
        int est = Follow_EstateKey(p, f.estate);
        if (est) {
            char buf[48];
            snprintf(buf, sizeof(buf), " iEst = %d ", est);
            s += buf;
        }
    }
    int br = Follow_BranchKey(p, f.br);
    int emp = Follow_EmployeeKey(p, br, f.emp);
    if (emp)
        AppendKey(s, " %s f.iEmp = %d ", emp);
    if (br)
        AppendKey(s, " %s t.iBr = %d ", br);

    std::vector<char> q;
    if (!f.trade.empty()) {
        if (!Quote(f.trade, &q))
            return IDC_FOLLOW_TRADE;
        Append(s, " %s szTrade = %s", q.data());
    }
    if (f.iKind != FOLLOW_KIND_HOUSE && !f.level.empty()) {
        if (!Quote(f.level, &q))
            return IDC_FOLLOW_LEVEL;
        Append(s, " %s szLevel= %s", q.data());
    }
    // Checked dates: quoting cannot fail for them.
    if (!f.from.empty() && Quote(f.from, &q))
        Append(s, " %s f.dtFollow >= %s", q.data());
    if (!f.to.empty() && Quote(f.to + " 23:59:59", &q))
        Append(s, " %s f.dtFollow <= %s", q.data());
    *pOut = s;
    return 0;
}
