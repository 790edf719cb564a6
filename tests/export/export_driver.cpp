#include "tests/export/export_driver.h"
#include "app/resources/resource.h"

#include <commdlg.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlgs.h>

namespace {

struct FindDlg {
    int ctl;       // a control the dialog must have
    HWND found;
};

BOOL CALLBACK FindDialogWith(HWND hwnd, LPARAM lp)
{
    FindDlg* f = reinterpret_cast<FindDlg*>(lp);
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd) && GetDlgItem(hwnd, f->ctl)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog of this thread that has control ctl.
HWND ThreadDialog(int ctl)
{
    FindDlg f = {ctl, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialogWith, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

std::string TextOf(HWND h)
{
    char buf[512] = "";
    if (h)
        GetWindowTextA(h, buf, sizeof(buf));
    return buf;
}

// ---- The save dialog ---------------------------------------------------------------------

std::string g_savePath;
int g_saveType = 0;
int g_saveTries = 0;
UINT_PTR g_saveTimer = 0;
SaveSeen g_seen;

// "Yes" to the save dialog's question whether to replace a file (about 2 s).
void CALLBACK AnswerReplace(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND ask = ThreadDialog(IDYES);
    if (!ask && ++g_saveTries <= 40)
        return;
    KillTimer(nullptr, id);
    if (ask)
        PostMessageA(ask, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(ask, IDYES)));
}

void CALLBACK DriveSave(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = ThreadDialog(cmb1);           // the type box of the save dialog
    if (!dlg) {
        if (++g_saveTries > 200) {           // about 10 s: no dialog came
            KillTimer(nullptr, id);
            g_saveTimer = 0;
        }
        return;
    }
    KillTimer(nullptr, id);
    g_saveTimer = 0;
    g_seen.seen = true;
    g_seen.title = TextOf(dlg);
    GetWindowRect(dlg, &g_seen.rect);
    HWND name = GetDlgItem(dlg, cmb13);
    if (!name)
        name = GetDlgItem(dlg, edt1);
    g_seen.offered = TextOf(name);
    HWND types = GetDlgItem(dlg, cmb1);
    g_seen.typeOffered = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
    int n = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; i++) {
        char t[256] = "";
        SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(t));
        g_seen.types.push_back(t);
    }
    if (g_savePath.empty()) {
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
        return;
    }
    SendMessageA(types, CB_SETCURSEL, g_saveType, 0);
    // As a choice in the list ends: the dialogs act on one or the other.
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    SetWindowTextA(name, g_savePath.c_str());
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
    // A file that is there already: the dialog asks whether to replace it.
    g_saveTries = 0;
    SetTimer(nullptr, 0, 50, AnswerReplace);
}

// The screen as $ZT_TEST_SHOTS/<name>.png, without pumping messages (a
// menu or dialog loop is running).
void ShotNow(const std::string& name)
{
    std::string dir = TestEnv("ZT_TEST_SHOTS");
    if (!name.empty() && !dir.empty())
        TestShell("import -window root '" + dir + "/" + name + ".png' 2>/dev/null");
}

// ---- Popup menus ---------------------------------------------------------------------------

UINT g_popupCmd = 0;
int g_popupTries = 0;
int g_popupSeen = 0;
std::string g_popupShot;
bool g_popupClicked = false;
std::vector<std::string> g_popupItems;

void CALLBACK ClickPopup(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND popup = Ui_ThreadWindow("#32768");
    if (!popup) {
        if (++g_popupTries > 100)
            KillTimer(nullptr, id);
        return;
    }
    if (++g_popupSeen < 3)                    // drawn by now
        return;
    KillTimer(nullptr, id);
    ShotNow(g_popupShot);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    int pos = -1;
    for (int i = 0; menu && i < GetMenuItemCount(menu); i++) {
        char t[128] = "";
        GetMenuStringA(menu, static_cast<UINT>(i), t, sizeof(t), MF_BYPOSITION);
        g_popupItems.push_back(t);
        if (GetMenuItemID(menu, i) == g_popupCmd)
            pos = i;
    }
    RECT r;
    if (pos < 0 || !GetMenuItemRect(nullptr, menu, static_cast<UINT>(pos), &r)) {
        EndMenu();
        return;
    }
    g_popupClicked = true;
    Wd_Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// ---- The progress dialog -------------------------------------------------------------------

bool g_cancelled = false;
int g_progressTries = 0;
int g_progressShown = 0;
std::string g_progressShot;
Shot g_progressPixels;

// Writes a picture of the screen taken earlier as $ZT_TEST_SHOTS/<name>.png.
void SaveShot(const Shot& shot, const std::string& name)
{
    std::string dir = TestEnv("ZT_TEST_SHOTS");
    if (dir.empty() || shot.w <= 0)
        return;
    std::string bmp = Ex_Folder() + "\\" + name + ".bmp";
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    memset(&fh, 0, sizeof(fh));
    memset(&ih, 0, sizeof(ih));
    DWORD bytes = static_cast<DWORD>(shot.px.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + bytes;
    ih.biSize = sizeof(ih);
    ih.biWidth = shot.w;
    ih.biHeight = -shot.h;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    HANDLE h = CreateFileA(bmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD n = 0;
    WriteFile(h, &fh, sizeof(fh), &n, nullptr);
    WriteFile(h, &ih, sizeof(ih), &n, nullptr);
    WriteFile(h, shot.px.data(), bytes, &n, nullptr);
    CloseHandle(h);
    TestShell("convert '" + Ex_UnixPath(bmp) + "' '" + dir + "/" + name + ".png' 2>/dev/null");
    DeleteFileA(bmp.c_str());
}
std::string g_progressText;

void CALLBACK CancelProgress(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = ThreadDialog(IDC_EXPORT_BAR);
    if (!dlg) {
        if (++g_progressTries > 500)
            KillTimer(nullptr, id);
        return;
    }
    // For the picture the bar moves on a little, and the dialog is drawn
    // whole and shown on the screen (Wine puts a window's drawing on the
    // screen while the thread waits for messages) before it is taken.
    if (!g_progressShot.empty() && ++g_progressShown < 20) {
        if (g_progressShown == 12)
            RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return;
    }
    KillTimer(nullptr, id);
    if (!g_progressShot.empty()) {
        g_progressPixels = Ui_Capture(GetDesktopWindow());    // saved once the export has ended
    }
    g_progressText = TextOf(GetDlgItem(dlg, IDC_EXPORT_TEXT));
    RECT r;
    GetWindowRect(GetDlgItem(dlg, IDCANCEL), &r);
    Wd_Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    g_cancelled = true;
}

}  // namespace

void Ex_RightClick(int x, int y)
{
    Ui_MouseTo(x, y);
    Wd_Click({x, y}, false, true);
    Ui_Pump(40);
}

void Ex_AnswerSave(const std::string& winPath, int type)
{
    Ex_StopSave();
    g_savePath = winPath;
    g_saveType = type;
    g_saveTries = 0;
    g_seen = SaveSeen();
    g_saveTimer = SetTimer(nullptr, 0, 50, DriveSave);
}

const SaveSeen& Ex_SaveSeen() { return g_seen; }

void Ex_StopSave()
{
    if (g_saveTimer)
        KillTimer(nullptr, g_saveTimer);
    g_saveTimer = 0;
}

void Ex_ClickPopupSoon(UINT cmd, const char* shot)
{
    g_popupCmd = cmd;
    g_popupTries = 0;
    g_popupSeen = 0;
    g_popupShot = shot ? shot : "";
    g_popupClicked = false;
    g_popupItems.clear();
    SetTimer(nullptr, 0, 100, ClickPopup);
}

const std::vector<std::string>& Ex_PopupItems() { return g_popupItems; }
bool Ex_PopupClicked() { return g_popupClicked; }

void Ex_CancelProgressSoon(const char* shot)
{
    g_progressShot = shot ? shot : "";
    g_progressPixels = Shot();
    g_cancelled = false;
    g_progressTries = 0;
    g_progressShown = 0;
    g_progressText.clear();
    SetTimer(nullptr, 0, 10, CancelProgress);
}

bool Ex_ProgressCancelled()
{
    if (g_cancelled && !g_progressShot.empty()) {
        SaveShot(g_progressPixels, g_progressShot);
        g_progressShot.clear();
    }
    return g_cancelled;
}
std::string Ex_ProgressText() { return g_progressText; }

// ---- Files ------------------------------------------------------------------------------------

std::string Ex_Folder()
{
    // The test runs in a folder of the Linux host, which Wine shows on Z:.
    std::string dir = TestEnv("ZT_TEST_WORKDIR");
    if (dir.empty()) {
        char buf[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof(buf), buf);
        return buf;
    }
    std::string win = "Z:" + dir;
    for (char& c : win)
        if (c == '/')
            c = '\\';
    return win;
}

std::string Ex_UnixPath(const std::string& winPath)
{
    std::string p = winPath.size() > 2 && (winPath[0] == 'Z' || winPath[0] == 'z') && winPath[1] == ':'
                        ? winPath.substr(2)
                        : winPath;
#if defined(__WINE__)
    // Wine shows the host's UTF-8 names in the ANSI code page; a Winelib
    // test hands the command to the host's shell as it is.
    p = Ex_Utf8(p);
#endif
    // A Windows test program's command line is in the ANSI code page, and
    // Wine gives the host program its arguments in UTF-8.
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

bool Ex_Exists(const std::string& winPath)
{
    return GetFileAttributesA(winPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Ex_ReadFile(const std::string& winPath)
{
    HANDLE h = CreateFileA(winPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string out;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof(buf), &n, nullptr) && n > 0)
        out.append(buf, n);
    CloseHandle(h);
    return out;
}

static std::string Convert(const std::string& s, UINT from, UINT to)
{
    if (s.empty())
        return s;
    int nw = MultiByteToWideChar(from, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::vector<WCHAR> w(static_cast<size_t>(nw > 0 ? nw : 1));
    MultiByteToWideChar(from, 0, s.data(), static_cast<int>(s.size()), w.data(), nw);
    int n = WideCharToMultiByte(to, 0, w.data(), nw, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(to, 0, w.data(), nw, &out[0], n, nullptr, nullptr);
    return out;
}

std::string Ex_Utf8(const std::string& gbk) { return Convert(gbk, 936, CP_UTF8); }
std::string Ex_Gbk(const std::string& utf8) { return Convert(utf8, CP_UTF8, 936); }

// ---- Reading a workbook -------------------------------------------------------------------------

static std::string Unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        size_t end = s.find(';', i);
        std::string ent = s.substr(i + 1, end - i - 1);
        if (ent == "amp") out += '&';
        else if (ent == "lt") out += '<';
        else if (ent == "gt") out += '>';
        else if (ent == "quot") out += '"';
        else if (ent == "apos") out += '\'';
        else if (!ent.empty() && ent[0] == '#') out += static_cast<char>(atoi(ent.c_str() + 1));
        i = end;
    }
    return out;
}

static std::string Attr(const std::string& tag, const char* name)
{
    std::string key = std::string(" ") + name + "=\"";
    size_t at = tag.find(key);
    if (at == std::string::npos)
        return std::string();
    at += key.size();
    return tag.substr(at, tag.find('"', at) - at);
}

// The text of every <t>...</t> inside s, joined.
static std::string Texts(const std::string& s)
{
    std::string out;
    for (size_t at = s.find("<t"); at != std::string::npos; at = s.find("<t", at + 1)) {
        if (s[at + 2] != '>' && s[at + 2] != ' ')
            continue;
        size_t open = s.find('>', at);
        size_t close = s.find("</t>", open);
        if (s[open - 1] == '/' || close == std::string::npos)
            continue;
        out += Unescape(s.substr(open + 1, close - open - 1));
    }
    return out;
}

bool Ex_ReadXlsx(const std::string& winPath, std::vector<std::vector<XCell>>* pRows, std::string* pWorkbookXml)
{
    std::string unix = Ex_UnixPath(winPath);
    std::string sheet, shared;
    if (TestShell("unzip -p '" + unix + "' xl/worksheets/sheet1.xml", &sheet) != 0 || sheet.empty())
        return false;
    TestShell("unzip -p '" + unix + "' xl/sharedStrings.xml 2>/dev/null", &shared);
    if (pWorkbookXml && TestShell("unzip -p '" + unix + "' xl/workbook.xml", pWorkbookXml) != 0)
        return false;
    std::vector<std::string> strings;
    for (size_t at = shared.find("<si>"); at != std::string::npos; at = shared.find("<si>", at + 1))
        strings.push_back(Texts(shared.substr(at, shared.find("</si>", at) - at)));
    pRows->clear();
    for (size_t at = sheet.find("<c "); at != std::string::npos; at = sheet.find("<c ", at + 1)) {
        size_t tagEnd = sheet.find('>', at);
        std::string tag = sheet.substr(at, tagEnd - at + 1);
        std::string ref = Attr(tag, "r");
        int col = 0;
        size_t k = 0;
        for (; k < ref.size() && ref[k] >= 'A' && ref[k] <= 'Z'; k++)
            col = col * 26 + (ref[k] - 'A' + 1);
        int row = atoi(ref.c_str() + k);
        if (col < 1 || row < 1)
            return false;
        XCell cell;
        cell.present = true;
        cell.style = atoi(Attr(tag, "s").c_str());
        std::string body;
        if (tag[tag.size() - 2] != '/')
            body = sheet.substr(tagEnd + 1, sheet.find("</c>", tagEnd) - tagEnd - 1);
        std::string type = Attr(tag, "t");
        if (type == "inlineStr") {
            cell.text = Texts(body);
        } else if (type == "s") {
            size_t v = body.find("<v>");
            size_t i = v == std::string::npos ? strings.size() : static_cast<size_t>(atoi(body.c_str() + v + 3));
            cell.text = i < strings.size() ? strings[i] : std::string();
        } else {
            size_t v = body.find("<v>");
            cell.number = v != std::string::npos;
            if (cell.number)
                cell.text = body.substr(v + 3, body.find("</v>", v) - v - 3);
        }
        if (pRows->size() < static_cast<size_t>(row))
            pRows->resize(static_cast<size_t>(row));
        std::vector<XCell>& r = (*pRows)[static_cast<size_t>(row - 1)];
        if (r.size() < static_cast<size_t>(col))
            r.resize(static_cast<size_t>(col));
        r[static_cast<size_t>(col - 1)] = cell;
    }
    return true;
}

bool Ex_ReadCsv(const std::string& bytes, std::vector<std::vector<std::string>>* pRows, bool* pBom, bool* pCrLf)
{
    size_t i = 0;
    *pBom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (*pBom)
        i = 3;
    *pCrLf = true;
    pRows->clear();
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (quoted) {
            if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
                field += '"';
                i += 2;
                continue;
            }
            if (c == '"')
                quoted = false;
            else
                field += c;
            i++;
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r' || c == '\n') {
            if (c != '\r' || i + 1 >= bytes.size() || bytes[i + 1] != '\n')
                *pCrLf = false;
            if (c == '\r')
                i++;
            row.push_back(field);
            field.clear();
            pRows->push_back(row);
            row.clear();
        } else {
            field += c;
        }
        i++;
    }
    if (!field.empty() || !row.empty()) {
        row.push_back(field);
        pRows->push_back(row);
        *pCrLf = false;                      // the last line had no line end
    }
    return true;
}
