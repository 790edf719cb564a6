#include "app/listings/follow_filter.h"
#include "app/listings/follow_ids.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "common/date.h"
#include "data/quote.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
    if (f.iKind == FOLLOW_KIND_HOUSE && !f.estate.empty()) {
        char buf[48];
        snprintf(buf, sizeof(buf), " iEst = %d ", Cache_EstateKey(p, f.estate.c_str()));
        s += buf;
    }
    int br = Cache_BranchKey(p, f.br.c_str());
    if (!f.emp.empty()) {
        // The writer: of the branch named, or anyone of that name.
        std::string keys;
        Cache_ForEmployees(p, [&](const tagEMPLIST& e) {
            if (f.emp == e.szEmp && (f.br.empty() || e.iBr == br))
                keys += (keys.empty() ? "" : ",") + std::to_string(e.iOrdinal);
        });
        if (keys.find(',') != std::string::npos)
            Append(s, " %s f.iEmp in (%s) ", keys.c_str());
        else
            AppendKey(s, " %s f.iEmp = %d ", keys.empty() ? 0 : atoi(keys.c_str()));
    }
    if (!f.br.empty())
        AppendKey(s, " %s f.iBr = %d ", br);

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
    if (!f.scope.empty())
        Append(s, " %s %s", f.scope.c_str());
    *pOut = s;
    return 0;
}

std::string Follow_Scope(const tagZT_Main_Param* p, int iKind)
{
    int module = iKind == FOLLOW_KIND_HOUSE ? ZTM_HOUSE : ZTM_CLIENT;
    if (!Rights_MayOpen(p, module))
        return "t.iOrdinal = 0";
    char scope[64];
    Rights_ScopeText(p, module, scope, sizeof(scope));
    return scope[0] ? std::string("t.") + scope : std::string();
}
