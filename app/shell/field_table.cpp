// The field-table loops of the edit dialogs.
#include "app/shell/field_table.h"
#include "app/shell/input_controls.h"
#include "app/shell/rights.h"
#include "common/date.h"
#include "common/gbk.h"
#include "common/zt_box.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static const double kMoneyMax = 9999999999.99;

static const char* SkipBlanks(const char* s)
{
    while (*s == ' ' || *s == '\t')
        s++;
    return s;
}

// The digits (and point) part of a box's text without surrounding blanks;
// FALSE when anything else is in it.
static BOOL Trimmed(const char* psz, BOOL bPoint, std::string* out)
{
    const char* s = SkipBlanks(psz ? psz : "");
    const char* e = s + strlen(s);
    while (e > s && (e[-1] == ' ' || e[-1] == '\t'))
        e--;
    int points = 0;
    for (const char* c = s; c < e; c++) {
        if (*c == '.' && bPoint && ++points == 1)
            continue;
        if (*c < '0' || *c > '9')
            return FALSE;
    }
    out->assign(s, e);
    return out->empty() || *out != ".";
}

int Field_ParseInt(const char* psz, int32_t* pValue)
{
    std::string t;
    *pValue = 0;
    if (!Trimmed(psz, FALSE, &t))
        return ZFP_NOT_NUMBER;
    long long v = 0;
    for (char c : t) {
        v = v * 10 + (c - '0');
        if (v > INT32_MAX)
            return ZFP_TOO_LARGE;
    }
    *pValue = static_cast<int32_t>(v);
    return ZFP_OK;
}

int Field_ParseDecimal(const char* psz, double dbMax, double* pValue)
{
    std::string t;
    *pValue = 0;
    if (!Trimmed(psz, TRUE, &t))
        return ZFP_NOT_NUMBER;
    if (t.empty())
        return ZFP_OK;
    // Long digit strings are too large before they are converted.
    double max = dbMax > 0 ? dbMax : kMoneyMax;
    size_t whole = t.find('.') == std::string::npos ? t.size() : t.find('.');
    double v = whole > 15 ? max * 10 + 1 : strtod(t.c_str(), nullptr);
    if (v > max)
        return ZFP_TOO_LARGE;
    *pValue = v;
    return ZFP_OK;
}

int32_t Field_LaxInt(const char* psz)
{
    int32_t v = 0;
    return Field_ParseInt(psz, &v) == ZFP_OK ? v : 0;
}

int Field_LaxDecimal(const char* psz, double dbMax, double* pValue)
{
    double v = 0;
    *pValue = 0;
    if (Field_ParseDecimal(psz, DBL_MAX, &v) == ZFP_TOO_LARGE)
        return ZFP_TOO_LARGE;
    v = std::floor(v * 100 + 0.5) / 100;
    if (!(v <= (dbMax > 0 ? dbMax : kMoneyMax)))
        return ZFP_TOO_LARGE;
    *pValue = v;
    return ZFP_OK;
}

// The whole text of a control; empty when the control is missing.
static std::string WholeText(HWND hDlg, int id)
{
    HWND h = Rights_FindControl(hDlg, id);
    std::string buf(h ? GetWindowTextLengthA(h) + 1 : 1, '\0');
    int n = h ? GetWindowTextA(h, &buf[0], static_cast<int>(buf.size())) : 0;
    buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return buf;
}

void Field_GetText(HWND hDlg, int id, char* pszOut, size_t cb)
{
    if (!pszOut || !cb)
        return;
    Gbk_CopyCut(pszOut, cb, WholeText(hDlg, id).c_str());
}

static void SetText(HWND hDlg, int id, const char* psz)
{
    HWND h = Rights_FindControl(hDlg, id);
    if (h)
        SetWindowTextA(h, psz);
}

const ZT_FIELD* Fields_Find(const ZT_FIELD* f, int n, int id)
{
    for (int i = 0; i < n; i++)
        if (f[i].id == id)
            return &f[i];
    return nullptr;
}

void Fields_Show(HWND hDlg, const ZT_FIELD* f, int n, const void* rec)
{
    const char* base = static_cast<const char*>(rec);
    for (int i = 0; i < n; i++) {
        const ZT_FIELD& r = f[i];
        char text[64] = "";
        const char* shown = text;
        if (r.fFlags & ZFF_STRING) {
            SetText(hDlg, r.id, reinterpret_cast<const std::string*>(base + r.off)->c_str());
            continue;
        }
        switch (r.kind) {
        case ZF_CHECK: {
            int32_t v;
            memcpy(&v, base + r.off, sizeof(v));
            if (HWND h = Rights_FindControl(hDlg, r.id))
                SendMessageA(h, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
            continue;
        }
        case ZF_INT: {
            int32_t v;
            memcpy(&v, base + r.off, sizeof(v));
            if (v || !(r.fFlags & ZFF_ZERO_EMPTY))
                snprintf(text, sizeof(text), r.pszFormat ? r.pszFormat : "%u", static_cast<unsigned>(v));
            break;
        }
        case ZF_DECIMAL: {
            double v;
            memcpy(&v, base + r.off, sizeof(v));
            if (v != 0 || !(r.fFlags & ZFF_ZERO_EMPTY))
                snprintf(text, sizeof(text), r.pszFormat ? r.pszFormat : "%.2f", v);
            break;
        }
        case ZF_DATE:
            // The zero date stands for "none".
            shown = !(r.fFlags & ZFF_LAX) && strncmp(base + r.off, "0000", 4) == 0 ? "" : base + r.off;
            break;
        default:
            shown = base + r.off;
            break;
        }
        SetText(hDlg, r.id, shown);
    }
}

void Field_Refuse(HWND hDlg, int id, const char* pszText)
{
    ZT_MessageBox(hDlg, pszText, "", MB_OK | MB_ICONWARNING);
    HWND h = Rights_FindControl(hDlg, id);
    if (!h)
        return;
    SetFocus(h);
    SendMessageA(h, EM_SETSEL, 0, -1);
    HWND edit = GetWindow(h, GW_CHILD);    // the edit child of a drop-down box
    if (edit)
        SendMessageA(edit, EM_SETSEL, 0, -1);
}

static BOOL RefuseNumber(HWND hDlg, const ZT_FIELD& r, int outcome, double dbMax)
{
    if (outcome == ZFP_OK)
        return FALSE;
    char text[160];
    if (r.pszRefuse)
        snprintf(text, sizeof(text), "%s", r.pszRefuse);
    else if (outcome == ZFP_NOT_NUMBER)
        snprintf(text, sizeof(text), "「%s」必须是数字", r.pszLabel ? r.pszLabel : "");
    else if (r.kind == ZF_INT)
        snprintf(text, sizeof(text), "「%s」的数值太大, 最大 %d", r.pszLabel ? r.pszLabel : "", INT32_MAX);
    else
        snprintf(text, sizeof(text), "「%s」的数值太大, 最大 %.2f", r.pszLabel ? r.pszLabel : "", dbMax);
    Field_Refuse(hDlg, r.id, text);
    return TRUE;
}

int Fields_Read(HWND hDlg, const ZT_FIELD* f, int n, void* rec)
{
    char* base = static_cast<char*>(rec);
    for (int i = 0; i < n; i++) {
        const ZT_FIELD& r = f[i];
        if (r.kind == ZF_SHOWN || (r.fFlags & ZFF_NO_READ))
            continue;
        if (r.fFlags & ZFF_STRING) {
            *reinterpret_cast<std::string*>(base + r.off) = WholeText(hDlg, r.id);
            continue;
        }
        if (r.kind == ZF_CHECK) {
            HWND h = Rights_FindControl(hDlg, r.id);
            int32_t v = h && SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
            memcpy(base + r.off, &v, sizeof(v));
            continue;
        }
        BOOL lax = (r.fFlags & ZFF_LAX) != 0;
        char text[1100];
        Field_GetText(hDlg, r.id, text, sizeof(text));
        switch (r.kind) {
        case ZF_INT: {
            int32_t v = lax ? Field_LaxInt(text) : 0;
            if (!lax && RefuseNumber(hDlg, r, Field_ParseInt(text, &v), 0))
                return r.id;
            memcpy(base + r.off, &v, sizeof(v));
            break;
        }
        case ZF_DECIMAL: {
            double v, max = r.dbMax > 0 ? r.dbMax : kMoneyMax;
            if (RefuseNumber(hDlg, r, lax ? Field_LaxDecimal(text, max, &v) : Field_ParseDecimal(text, max, &v), max))
                return r.id;
            memcpy(base + r.off, &v, sizeof(v));
            break;
        }
        case ZF_DATE:
            if (text[0] && !lax && !Date_IsText(text)) {
                char msg[160];
                Date_Refusal(r.pszLabel, msg, sizeof(msg));
                Field_Refuse(hDlg, r.id, msg);
                return r.id;
            }
            memset(base + r.off, 0, r.cb);
            Gbk_CopyCut(base + r.off, r.cb, text);
            break;
        default:
            memset(base + r.off, 0, r.cb);
            Gbk_CopyCut(base + r.off, r.cb, text);
            break;
        }
    }
    return 0;
}

void Fields_Clear(HWND hDlg, const ZT_FIELD* f, int n)
{
    for (int i = 0; i < n; i++) {
        HWND h = f[i].kind == ZF_CHECK ? Rights_FindControl(hDlg, f[i].id) : nullptr;
        if (h)
            SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
        else if (f[i].kind != ZF_CHECK)
            SetText(hDlg, f[i].id, "");
    }
}

void Fields_Limit(HWND hDlg, const ZT_FIELD* f, int n)
{
    for (int i = 0; i < n; i++) {
        const ZT_FIELD& r = f[i];
        HWND h = Rights_FindControl(hDlg, r.id);
        if (!h || r.kind == ZF_CHECK)
            continue;
        if (r.kind == ZF_DATE)
            DateField_Attach(h);
        if ((r.fFlags & ZFF_STRING) && !r.cchMax)
            continue;
        int limit = r.cchMax ? r.cchMax
                             : (r.kind == ZF_INT || r.kind == ZF_DECIMAL) ? 10 : static_cast<int>(r.cb) - 1;
        char cls[32] = "";
        GetClassNameA(h, cls, sizeof(cls));
        BOOL edit = lstrcmpiA(cls, "Edit") == 0;
        SendMessageA(h, edit ? EM_LIMITTEXT : CB_LIMITTEXT, limit, 0);
    }
}

void Fields_ApplyRights(HWND hDlg, const ZT_FIELD* f, int n, const tagZT_Main_Param* p,
                        BOOL (*pfnHas)(const tagZT_Main_Param* p, int iRight))
{
    for (int i = 0; i < n; i++) {
        const ZT_FIELD& r = f[i];
        if (r.iRight == ZF_NO_RIGHT || !pfnHas || pfnHas(p, r.iRight))
            continue;
        HWND h = Rights_FindControl(hDlg, r.id);
        if (!h)
            continue;
        if (r.fFlags & ZFF_LOCK)
            Rights_LockField(h);
        else
            EnableWindow(h, FALSE);
    }
}
