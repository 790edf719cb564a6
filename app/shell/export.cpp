// Export of a list: reading the grid, the CSV and workbook writers, the save
// dialog, and the command that runs an export behind its progress dialog.
#include "app/shell/export.h"
#include "app/shell/blocks.h"
#include "app/shell/caches.h"
#include "app/shell/rights.h"
#include "app/shell/xlsx_api.h"
#include "app/resources/resource.h"
#include "common/gbk.h"
#include "common/zt_box.h"
#include "data/oplog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <atomic>
#include <cstdio>
#include <cstring>

static const char kCaption[] = "导出";
// Rows between two reports of a writer (and checks for a cancellation).
static const int kReportEvery = 256;

// ---- Reading the grid ---------------------------------------------------------------------

static std::string FieldText(const char* field, size_t cb)
{
    return std::string(field, strnlen(field, cb));
}

BOOL Export_ReadGrid(HWND hGrid, EXPORT_GRID* pOut)
{
    pOut->cols.clear();
    pOut->rows.clear();
    tagLV_DATA* d = nullptr;
    if (!hGrid || !SendMessageA(hGrid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(&d)) || !d)
        return FALSE;
    for (int i = 0; i < d->iColShown; i++) {
        const tagLV_COLUMN& c = d->pColumns[d->pColOrder[i]];
        if (c.iWidth <= 0)
            continue;
        EXPORT_COLUMN col;
        col.caption = FieldText(c.szCaption, sizeof(c.szCaption));
        std::string unit = FieldText(c.szUnit, sizeof(c.szUnit));
        if (c.iUnitMode != LVU_NONE && !unit.empty())
            col.caption += "(" + unit + ")";
        col.iType = c.iType;
        col.column = c;
        col.iWidth = c.iWidth;
        pOut->cols.push_back(col);
    }
    pOut->pOwner = d->pOwner;
    int n = static_cast<int>(SendMessageA(hGrid, GRM_GETROWS, 0, 0));
    if (n <= 0)
        return TRUE;
    pOut->rows.resize(static_cast<size_t>(n));
    int got = static_cast<int>(SendMessageA(hGrid, GRM_GETROWS, n, reinterpret_cast<LPARAM>(pOut->rows.data())));
    if (got < n)
        pOut->rows.resize(static_cast<size_t>(got > 0 ? got : 0));
    return TRUE;
}

static const void* CellValue(const EXPORT_GRID& g, const EXPORT_COLUMN& col, const void* pRecord)
{
    return ZTListview_CellValue(&col.column, g.pOwner, pRecord);
}

std::string Export_CellText(const EXPORT_GRID& g, const EXPORT_COLUMN& col, const void* pRecord)
{
    const void* v = CellValue(g, col, pRecord);
    if (!v)
        return std::string();
    char buf[64];
    switch (col.iType) {
    case LVT_INT: {
        int32_t n;
        memcpy(&n, v, sizeof(n));
        snprintf(buf, sizeof(buf), "%d", static_cast<int>(n));
        return buf;
    }
    case LVT_DOUBLE: {
        double x;
        memcpy(&x, v, sizeof(x));
        snprintf(buf, sizeof(buf), "%.2f", x);
        return buf;
    }
    case LVT_TEXT:
        return static_cast<const char*>(v);
    default:
        return std::string();
    }
}

// The number a numeric cell holds (v its value).
static double CellNumber(const EXPORT_COLUMN& col, const void* v)
{
    if (col.iType == LVT_INT) {
        int32_t n;
        memcpy(&n, v, sizeof(n));
        return n;
    }
    double x;
    memcpy(&x, v, sizeof(x));
    return x;
}

static bool IsNumberColumn(const EXPORT_COLUMN& col)
{
    return col.iType == LVT_INT || col.iType == LVT_DOUBLE;
}

// GBK (the program's texts) to UTF-8.
static std::string ToUtf8(const std::string& gbk)
{
    if (gbk.empty())
        return gbk;
    int nw = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    if (nw <= 0)
        return std::string();
    std::vector<WCHAR> wide(static_cast<size_t>(nw));
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), nw);
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), nw, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), nw, &out[0], n, nullptr, nullptr);
    return out;
}

// ---- CSV ------------------------------------------------------------------------------------

// A whole number or decimal ("-12", "3.50"): what a formula guard lets be.
static bool IsPlainNumber(const std::string& s)
{
    size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    bool digits = false, dot = false;
    for (; i < s.size(); i++) {
        if (s[i] >= '0' && s[i] <= '9')
            digits = true;
        else if (s[i] == '.' && !dot)
            dot = true;
        else
            return false;
    }
    return digits;
}

static std::string CsvField(std::string s, bool bText)
{
    if (bText && !s.empty() &&
        (s[0] == '=' || s[0] == '+' || s[0] == '@' || s[0] == '\t' || s[0] == '\r' || (s[0] == '-' && !IsPlainNumber(s))))
        s.insert(s.begin(), '\'');
    bool quote = !s.empty() && (s.front() == ' ' || s.back() == ' ');
    for (char ch : s)
        if (ch == ',' || ch == '"' || ch == '\r' || ch == '\n')
            quote = true;
    if (!quote)
        return s;
    std::string out = "\"";
    for (char ch : s) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    return out + "\"";
}

namespace {

// A file written through a buffer; a failed write is remembered.
struct OutFile {
    HANDLE h = INVALID_HANDLE_VALUE;
    std::string buf;
    bool bad = false;

    bool Open(const char* path)
    {
        h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return h != INVALID_HANDLE_VALUE;
    }
    void Flush()
    {
        DWORD written = 0;
        if (!buf.empty() && (!WriteFile(h, buf.data(), static_cast<DWORD>(buf.size()), &written, nullptr) ||
                             written != buf.size()))
            bad = true;
        buf.clear();
    }
    void Put(const std::string& s)
    {
        buf += s;
        if (buf.size() >= 64 * 1024)
            Flush();
    }
    bool Close()
    {
        Flush();
        bool ok = CloseHandle(h) && !bad;
        h = INVALID_HANDLE_VALUE;
        return ok;
    }
};

}  // namespace

int Export_WriteCsv(const EXPORT_GRID& g, const char* pszPath, BOOL bUtf8, const EXPORT_PROGRESS& progress)
{
    OutFile f;
    if (!pszPath || !f.Open(pszPath))
        return EXPORT_FAILED;
    auto text = [bUtf8](const std::string& s) { return bUtf8 ? ToUtf8(s) : s; };
    if (bUtf8)
        f.Put("\xEF\xBB\xBF");
    std::string line;
    for (size_t c = 0; c < g.cols.size(); c++)
        line += (c ? "," : "") + CsvField(text(g.cols[c].caption), true);
    f.Put(line + "\r\n");
    int result = EXPORT_DONE;
    for (size_t r = 0; r < g.rows.size() && !f.bad; r++) {
        if (r % kReportEvery == 0 && progress && !progress(static_cast<int>(r))) {
            result = EXPORT_CANCELLED;
            break;
        }
        line.clear();
        for (size_t c = 0; c < g.cols.size(); c++) {
            bool isText = !IsNumberColumn(g.cols[c]);
            line += (c ? "," : "") + CsvField(text(Export_CellText(g, g.cols[c], g.rows[r])), isText);
        }
        f.Put(line + "\r\n");
    }
    if (!f.Close() && result == EXPORT_DONE)
        result = EXPORT_FAILED;
    if (result == EXPORT_DONE && progress)
        progress(static_cast<int>(g.rows.size()));
    if (result != EXPORT_DONE)
        DeleteFileA(pszPath);
    return result;
}

// ---- Workbook -------------------------------------------------------------------------------

// A sheet name Excel takes: at most 31 characters, none of []:*?/\ .
static std::string SheetName(const char* pszSheet)
{
    std::string name;
    for (const char* p = pszSheet ? pszSheet : ""; *p; p++) {
        unsigned char ch = static_cast<unsigned char>(*p);
        if (ch >= 0x81 && p[1]) {            // a double-byte character, kept whole
            name += *p;
            name += *++p;
        } else if (!strchr("[]:*?/\\", *p)) {
            name += *p;
        }
    }
    std::string utf8 = ToUtf8(name);
    // Cut to 31 characters (UTF-8 lead bytes counted).
    size_t chars = 0, cut = utf8.size();
    for (size_t i = 0; i < utf8.size(); i++)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && ++chars > 31) {
            cut = i;
            break;
        }
    utf8.resize(cut);
    return utf8.empty() ? std::string("Sheet1") : utf8;
}

int Export_WriteXlsx(const EXPORT_GRID& g, const char* pszPath, const char* pszSheet, const EXPORT_PROGRESS& progress)
{
    std::string file = Xlsx_FileName(pszPath);
    if (file.empty())
        return EXPORT_FAILED;
    lxw_workbook_options opt;
    memset(&opt, 0, sizeof(opt));
    opt.constant_memory = LXW_TRUE;          // rows go to a temporary file as they are written
    lxw_workbook* wb = workbook_new_opt(file.c_str(), &opt);
    if (!wb)
        return EXPORT_FAILED;
    std::string sheetName = SheetName(pszSheet);
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheetName.c_str());
    lxw_format* head = workbook_add_format(wb);
    lxw_format* whole = workbook_add_format(wb);
    lxw_format* decimal = workbook_add_format(wb);
    if (!ws || !head || !whole || !decimal) {
        lxw_workbook_free(wb);
        return EXPORT_FAILED;
    }
    format_set_bold(head);
    format_set_num_format(whole, "0");
    format_set_num_format(decimal, "0.00");
    bool bad = false;
    for (size_t c = 0; c < g.cols.size(); c++) {
        lxw_col_t col = static_cast<lxw_col_t>(c);
        int px = g.cols[c].iWidth < 48 ? 48 : g.cols[c].iWidth;
        worksheet_set_column_pixels(ws, col, col, px, nullptr);
        bad |= worksheet_write_string(ws, 0, col, ToUtf8(g.cols[c].caption).c_str(), head) != LXW_NO_ERROR;
    }
    worksheet_freeze_panes(ws, 1, 0);
    int result = EXPORT_DONE;
    for (size_t r = 0; r < g.rows.size() && !bad; r++) {
        if (r % kReportEvery == 0 && progress && !progress(static_cast<int>(r))) {
            result = EXPORT_CANCELLED;
            break;
        }
        lxw_row_t row = static_cast<lxw_row_t>(r + 1);
        for (size_t c = 0; c < g.cols.size(); c++) {
            const EXPORT_COLUMN& col = g.cols[c];
            lxw_col_t x = static_cast<lxw_col_t>(c);
            const void* v = CellValue(g, col, g.rows[r]);
            if (!v)
                continue;
            lxw_error e = LXW_NO_ERROR;
            if (IsNumberColumn(col))
                e = worksheet_write_number(ws, row, x, CellNumber(col, v), col.iType == LVT_INT ? whole : decimal);
            else if (col.iType == LVT_TEXT && *static_cast<const char*>(v))
                e = worksheet_write_string(ws, row, x, ToUtf8(static_cast<const char*>(v)).c_str(), nullptr);
            bad |= e != LXW_NO_ERROR;
        }
    }
    if (result == EXPORT_CANCELLED || bad) {
        lxw_workbook_free(wb);               // nothing is written
        DeleteFileA(pszPath);
        return bad ? EXPORT_FAILED : EXPORT_CANCELLED;
    }
    if (workbook_close(wb) != LXW_NO_ERROR) {
        DeleteFileA(pszPath);
        return EXPORT_FAILED;
    }
    if (progress)
        progress(static_cast<int>(g.rows.size()));
    return EXPORT_DONE;
}

// ---- The save dialog ------------------------------------------------------------------------

static int g_lastFormat = EXPORT_XLSX;

static const char* Extension(int format)
{
    return format == EXPORT_XLSX ? ".xlsx" : ".csv";
}

int Export_FormatOf(const char* pszPath, int iChosen)
{
    std::string name = pszPath ? pszPath : "";
    size_t base = name.find_last_of("\\/");
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (base != std::string::npos && dot < base))
        return iChosen;
    std::string ext = name.substr(dot);
    if (lstrcmpiA(ext.c_str(), ".xlsx") == 0)
        return EXPORT_XLSX;
    if (lstrcmpiA(ext.c_str(), ".csv") == 0)
        return iChosen == EXPORT_CSV_GBK ? EXPORT_CSV_GBK : EXPORT_CSV_UTF8;
    return iChosen;
}

// The save dialog opens over the window it exports from, not at the
// screen's corner.
static UINT_PTR CALLBACK CentreHook(HWND hChild, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE) {
        HWND dlg = GetParent(hChild);
        Block_CentreOver(dlg, GetWindow(dlg, GW_OWNER));
    }
    return 0;
}

BOOL Export_ChooseFile(HWND hOwner, const char* pszName, char* pszPath, size_t cbPath, int* pFormat)
{
    if (!pszPath || cbPath < 2)
        return FALSE;
    static const char kFilter[] = "Excel 工作簿 (*.xlsx)\0*.xlsx\0"
                                  "CSV 文件 UTF-8 (*.csv)\0*.csv\0"
                                  "CSV 文件 GBK (*.csv)\0*.csv\0";
    char path[MAX_PATH] = "";
    lstrcpynA(path, pszName ? pszName : "", sizeof(path));
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hOwner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = static_cast<DWORD>(g_lastFormat);
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof(path);
    ofn.lpstrTitle = kCaption;
    ofn.lpstrDefExt = "xlsx";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                OFN_ENABLEHOOK | OFN_ENABLESIZING;
    ofn.lpfnHook = CentreHook;
    if (!GetSaveFileNameA(&ofn))
        return FALSE;
    int format = ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= 3 ? static_cast<int>(ofn.nFilterIndex) : EXPORT_XLSX;
    // A name typed with its extension says the format, whatever type the
    // box still shows (a ".csv" keeps the CSV encoding chosen).
    format = Export_FormatOf(path, format);
    g_lastFormat = format;
    // A name given without an extension gets the one of its type.
    std::string chosen = path;
    size_t base = chosen.find_last_of("\\/");
    std::string last = chosen.substr(base == std::string::npos ? 0 : base + 1);
    if (last.find('.') == std::string::npos)
        chosen += Extension(format);
    if (chosen.size() >= cbPath)
        return FALSE;
    memcpy(pszPath, chosen.c_str(), chosen.size() + 1);
    if (pFormat)
        *pFormat = format;
    return TRUE;
}

// ---- The command ------------------------------------------------------------------------------

int Export_ObjType(int iModule)
{
    switch (iModule) {
    case ZTM_HOUSE: return 0;
    case ZTM_CLIENT: return 1;
    case ZTM_ESTATE: return 2;
    case ZTM_ORG: return 4;
    case ZTM_AREA: return 11;
    case ZTM_HOUSE_FOLLOW: return 7;
    case ZTM_CLIENT_FOLLOW: return 8;
    case ZTM_PARAM: return 10;
    case ZTM_LOG: return ZT_LOG_OBJ_OPLOG;
    case ZTM_RECYCLE: return ZT_LOG_OBJ_RECYCLE;
    default: return ZT_LOG_OBJ_OPLOG;
    }
}

namespace {

enum { OUT_DONE, OUT_CANCELLED, OUT_FAILED, OUT_UNLOGGED };

struct ExportJob {
    EXPORT_GRID grid;
    std::string path;
    std::string list;        // the list's caption (sheet name, log)
    int format = EXPORT_XLSX;
    int objType = 0;
    int op = 0;              // the operator
    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    int outcome = OUT_FAILED;
};

const char* FormatName(int format)
{
    return format == EXPORT_XLSX ? "xlsx" : format == EXPORT_CSV_UTF8 ? "csv-utf8" : "csv-gbk";
}

// The file is written beside the chosen one under a name of its own, and
// takes the chosen name (replacing a file of that name) only once the
// export's log row is stored: a failed or unlogged export leaves what was
// there before untouched.
DWORD WINAPI ExportThread(LPVOID pv)
{
    ExportJob* job = static_cast<ExportJob*>(pv);
    EXPORT_PROGRESS progress = [job](int n) {
        job->done = n;
        return !job->cancel.load();
    };
    std::string part = job->path + ".part";
    int r = job->format == EXPORT_XLSX ? Export_WriteXlsx(job->grid, part.c_str(), job->list.c_str(), progress)
                                       : Export_WriteCsv(job->grid, part.c_str(), job->format == EXPORT_CSV_UTF8,
                                                         progress);
    if (r == EXPORT_CANCELLED) {
        job->outcome = OUT_CANCELLED;
    } else if (r != EXPORT_DONE) {
        job->outcome = OUT_FAILED;
    } else if (!FD_Log_Export(job->op, job->objType, static_cast<int>(job->grid.rows.size()), job->list.c_str(),
                              FormatName(job->format), job->path.c_str())) {
        job->outcome = OUT_UNLOGGED;         // an export the log does not record is not handed out
    } else if (!MoveFileExA(part.c_str(), job->path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        job->outcome = OUT_FAILED;
    } else {
        job->outcome = OUT_DONE;
    }
    DeleteFileA(part.c_str());
    return 0;
}

INT_PTR CALLBACK ProgressProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ExportJob* job = Block_DialogState<ExportJob>(hDlg, msg, lParam);
    if (msg == WM_INITDIALOG) {
        std::string text = "正在导出 " + job->list + " 到 " + job->path;
        SetDlgItemTextA(hDlg, IDC_EXPORT_TEXT, text.c_str());
        SendDlgItemMessageA(hDlg, IDC_EXPORT_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(job->grid.rows.size()));
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL && job) {
        job->cancel = true;
        EnableWindow(GetDlgItem(hDlg, IDCANCEL), FALSE);
        SetDlgItemTextA(hDlg, IDC_EXPORT_COUNT, "正在取消...");
        return TRUE;
    }
    return FALSE;
}

void ShowProgress(HWND hDlg, const ExportJob* job)
{
    if (job->cancel)
        return;
    char text[96];
    snprintf(text, sizeof(text), "已写入 %d / %d 行", job->done.load(), static_cast<int>(job->grid.rows.size()));
    SetDlgItemTextA(hDlg, IDC_EXPORT_COUNT, text);
    SendDlgItemMessageA(hDlg, IDC_EXPORT_BAR, PBM_SETPOS, static_cast<WPARAM>(job->done.load()), 0);
}

// Runs the job on a worker while the progress dialog (shown at once for a
// large list, else after half a second) keeps the user out of the program:
// the window thread only pumps messages meanwhile.
void RunJob(ZT_MODWIN* w, ExportJob* job)
{
    HWND hRoot = GetAncestor(w->hwnd, GA_ROOT);
    HWND hDlg = CreateDialogParamA(w->p->hInst, MAKEINTRESOURCEA(IDD_EXPORT), hRoot, ProgressProc,
                                   reinterpret_cast<LPARAM>(job));
    BOOL wasEnabled = hRoot && IsWindowEnabled(hRoot);
    if (wasEnabled)
        EnableWindow(hRoot, FALSE);
    HANDLE hThread = CreateThread(nullptr, 0, ExportThread, job, 0, nullptr);
    DWORD start = GetTickCount();
    bool shown = false, quit = false;
    if (hDlg && job->grid.rows.size() > static_cast<size_t>(EXPORT_SHOW_ROWS)) {
        ShowProgress(hDlg, job);
        ShowWindow(hDlg, SW_SHOW);
        shown = true;
    }
    WPARAM quitCode = 0;
    while (hThread) {
        DWORD wr = MsgWaitForMultipleObjects(1, &hThread, FALSE, 100, QS_ALLINPUT);
        if (wr == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {        // passed on once the export has ended
                quit = true;
                quitCode = msg.wParam;
                job->cancel = true;
                continue;
            }
            if (hDlg && IsDialogMessageA(hDlg, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (hDlg && !shown &&
            (job->grid.rows.size() > static_cast<size_t>(EXPORT_SHOW_ROWS) || GetTickCount() - start >= 500)) {
            ShowWindow(hDlg, SW_SHOW);
            shown = true;
        }
        if (hDlg)
            ShowProgress(hDlg, job);
    }
    if (hThread)
        CloseHandle(hThread);
    else
        job->outcome = OUT_FAILED;
    if (wasEnabled)
        EnableWindow(hRoot, TRUE);
    if (hDlg)
        DestroyWindow(hDlg);
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

// The list's caption: the module's caption string, else the window's text.
std::string ListCaption(const ZT_MODWIN* w)
{
    char text[64] = "";
    if (!w->d->iCaption || !LoadStringA(w->p->hInst, static_cast<UINT>(w->d->iCaption), text, sizeof(text)))
        GetWindowTextA(w->hwnd, text, sizeof(text));
    return text;
}

void Report(HWND hOwner, const ExportJob& job)
{
    std::string text;
    UINT icon = MB_ICONWARNING;
    switch (job.outcome) {
    case OUT_DONE:
        text = "已导出 " + std::to_string(job.grid.rows.size()) + " 行到\n" + job.path;
        icon = MB_ICONINFORMATION;
        break;
    case OUT_CANCELLED:
        text = "导出已取消, 没有保存文件";
        icon = MB_ICONINFORMATION;
        break;
    case OUT_UNLOGGED:
        text = "导出失败: 操作日志无法写入, 没有保存文件";
        break;
    default:
        text = "导出失败: 无法写入文件\n" + job.path;
        break;
    }
    ZT_MessageBox(hOwner, text.c_str(), kCaption, MB_OK | icon);
}

}  // namespace

void Export_Module(ZT_MODWIN* w)
{
    if (!w || !w->hGrid || w->bBusy)
        return;
    HWND hwnd = w->hwnd;
    if (SendMessageA(w->hGrid, GRM_GETROWS, 0, 0) <= 0) {
        ZT_MessageBox(hwnd, "没有可导出的数据", kCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    ExportJob job;
    job.list = ListCaption(w);
    char day[16] = "";
    SYSTEMTIME st;
    GetLocalTime(&st);
    snprintf(day, sizeof(day), "%04d%02d%02d", st.wYear, st.wMonth, st.wDay);
    std::string name = job.list + "_" + day;
    char path[MAX_PATH];
    if (!Export_ChooseFile(GetAncestor(hwnd, GA_ROOT), name.c_str(), path, sizeof(path), &job.format))
        return;
    // Read after the dialog: the rows as they are when the export starts.
    if (!Module_Of(hwnd) || !Export_ReadGrid(w->hGrid, &job.grid))
        return;
    job.path = path;
    job.objType = Export_ObjType(w->d->iModule);
    job.op = Cache_Operator(w->p);
    int r = Module_RunMarked(w, [w, &job]() {
        RunJob(w, &job);
        return 1;
    });
    if (r == 0)
        return;                              // a worker of the window was running: nothing was done
    Report(IsWindow(hwnd) ? hwnd : nullptr, job);
}
