// The Windows package: unpacked into an empty folder, its set-up tool makes
// the demo database and the program's config.ini, and Kelmora.exe started
// from there logs in and lists the houses; its files carry the version, the
// manifest and the icon; config.ini and the error log are found where an
// agency keeps them; the installer installs silently, Kelmora starts from
// its shortcut and the uninstaller takes the program files away again.  The
// program runs as a process of its own; it is driven by messages and its
// grid is read through its memory, as a user's program would see it.
#include "tests/support/test_support.h"
#include "app/resources/resource.h"
#include "grid/ZTListview.h"
#include "kelmora_version.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <functional>

namespace {

const char kDb[] = "kelmora_pkg";
const char kAccountPwd[] = "Pkg#7wise";

std::string Cwd()
{
    char buf[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof buf, buf);
    return buf;
}

std::string Folder()
{
    return Cwd() + "\\package";
}

// The environment of this process with one variable set to another value,
// as a block for CreateProcess (empty: the environment as it is).
std::vector<char> EnvWith(const char* name, const std::string& value)
{
    std::vector<char> block;
    if (!name)
        return block;
    std::string prefix = std::string(name) + "=";
    char* env = GetEnvironmentStringsA();
    for (const char* e = env; *e; e += strlen(e) + 1) {
        if (_strnicmp(e, prefix.c_str(), prefix.size()) == 0)
            continue;
        block.insert(block.end(), e, e + strlen(e) + 1);
    }
    FreeEnvironmentStringsA(env);
    std::string mine = prefix + value;
    block.insert(block.end(), mine.begin(), mine.end());
    block.push_back('\0');
    block.push_back('\0');
    return block;
}

// Runs a program of the package folder and waits for it; its standard
// output goes to the file stdoutFile of that folder when one is named.
int RunInFolder(const std::string& folder, const std::string& line, const char* stdoutFile = nullptr,
                std::vector<char>* env = nullptr)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE out = INVALID_HANDLE_VALUE;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (stdoutFile) {
        out = CreateFileA((folder + "\\" + stdoutFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return -1;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = out;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back('\0');
    BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, stdoutFile ? TRUE : FALSE, 0,
                             env && !env->empty() ? env->data() : nullptr, folder.c_str(), &si, &pi);
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    if (!ok)
        return -1;
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 300000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<int>(code);
}

bool WaitFor(const std::function<bool()>& pred, int ms)
{
    for (int t = 0; t < ms; t += 50) {
        if (pred())
            return true;
        Sleep(50);
    }
    return pred();
}

struct Find {
    DWORD pid;
    const char* cls;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindTop(HWND h, LPARAM lp)
{
    Find* f = reinterpret_cast<Find*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || !IsWindowVisible(h))
        return TRUE;
    char cls[64] = "", text[256] = "";
    GetClassNameA(h, cls, sizeof cls);
    GetWindowTextA(h, text, sizeof text);
    if (strcmp(cls, f->cls) == 0 && (!f->caption || strcmp(text, f->caption) == 0)) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND TopWindow(DWORD pid, const char* cls, const char* caption)
{
    Find f = {pid, cls, caption, nullptr};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

BOOL CALLBACK DescribeTop(HWND h, LPARAM lp)
{
    std::pair<DWORD, std::string>* w = reinterpret_cast<std::pair<DWORD, std::string>*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == w->first && IsWindowVisible(h)) {
        char cls[64] = "", text[256] = "";
        GetClassNameA(h, cls, sizeof cls);
        GetWindowTextA(h, text, sizeof text);
        w->second += std::string("[") + cls + " \"" + text + "\"] ";
    }
    return TRUE;
}

// The visible top-level windows of a process, for a failure message.
std::string WindowsOf(DWORD pid)
{
    std::pair<DWORD, std::string> w(pid, "");
    EnumWindows(DescribeTop, reinterpret_cast<LPARAM>(&w));
    return w.second;
}

std::string ClassOf(HWND h)
{
    char cls[64] = "";
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

// Text of a control of another process (WM_GETTEXT crosses processes).
std::string TextOf(HWND h)
{
    char buf[2048] = "";
    DWORD_PTR r = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &r);
    return buf;
}

struct Descendants {
    std::vector<HWND> all;
};

BOOL CALLBACK CollectChild(HWND h, LPARAM lp)
{
    reinterpret_cast<Descendants*>(lp)->all.push_back(h);
    return TRUE;
}

std::vector<HWND> AllChildren(HWND parent)
{
    Descendants d;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&d));
    return d.all;
}

// Rows the grid of another process shows: GRM_GETROWS without an array
// answers their number across the processes.
int RemoteGridRows(HANDLE, HWND grid)
{
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutA(grid, GRM_GETROWS, 0, 0, SMTO_ABORTIFHUNG, 5000, &rows))
        return -1;
    return static_cast<int>(rows);
}

// Starts a program as a user's shortcut would: its folder of work named,
// optionally with its own environment.
bool Start(const std::string& exe, const std::string& workFolder, PROCESS_INFORMATION* pi,
           std::vector<char>* env = nullptr)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    *pi = {};
    std::string line = "\"" + exe + "\"";
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back('\0');
    return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, env && !env->empty() ? env->data() : nullptr,
                          workFolder.c_str(), &si, pi) != FALSE;
}

// Waits for the end of a started program and returns its exit code (99
// when it had to be stopped).
DWORD Finish(PROCESS_INFORMATION& pi, int ms = 20000)
{
    DWORD code = 99;
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        ADD_FAILURE() << "the program did not end; its windows: " << WindowsOf(pi.dwProcessId);
        TerminateProcess(pi.hProcess, 99);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

// Logs in as 管理员 in the started Kelmora, checks the house list against
// the houses of the database, takes a screenshot and closes the program
// from its menu.
void LogInListHousesAndExit(PROCESS_INFORMATION& pi, long long houses, const char* shot)
{
    HWND login = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (login = TopWindow(pi.dwProcessId, "#32770", "Kelmora中介管理")) != nullptr; },
                        60000))
        << "the login dialog did not appear; windows: " << WindowsOf(pi.dwProcessId);
    HWND frame = nullptr;
    if (login) {
        HWND pwd = GetDlgItem(login, IDC_LOGIN_PWD), ok = GetDlgItem(login, IDOK);
        EXPECT_EQ(TextOf(GetDlgItem(login, IDC_EMP_BOX)), "管理员");
        for (const char* c = "482913"; *c; ++c)
            PostMessageA(pwd, WM_CHAR, static_cast<WPARAM>(*c), 1);
        // Posted after the characters, the click reaches the dialog after them.
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(ok) != FALSE; }, 5000));
        PostMessageA(ok, BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return (frame = TopWindow(pi.dwProcessId, "ZT_MDIMAIN", "Kelmora - [房源浏览]")) != nullptr; },
                            60000))
            << "the frame with the house list did not appear";
    }
    if (frame) {
        // The demo data has reminders for today: their box comes up over the
        // house list and is closed as a user closes it.
        HWND remind = nullptr;
        if (WaitFor([&] { return (remind = TopWindow(pi.dwProcessId, "#32770", "提醒")) != nullptr; }, 5000)) {
            PostMessageA(remind, WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(WaitFor([&] { return !IsWindow(remind); }, 5000)) << "the reminder box stays";
        }
        // The house list: its grid holds the rows and its count box says how many.
        HWND grid = nullptr, count = nullptr;
        int rows = -1;
        EXPECT_TRUE(WaitFor([&] {
            for (HWND h : AllChildren(frame)) {
                std::string cls = ClassOf(h);
                if (cls == "ZT_CTL_LISTVIEW" && !grid)
                    grid = h;
                if (cls == "Edit" && GetDlgCtrlID(h) == IDC_RECORD_COUNT && ClassOf(GetParent(h)) == "ToolbarWindow32")
                    count = h;
            }
            rows = grid ? RemoteGridRows(pi.hProcess, grid) : -1;
            return rows > 0 && count && atoi(TextOf(count).c_str()) == rows;
        }, 30000)) << "grid rows " << rows << ", count box \"" << (count ? TextOf(count) : "?") << "\"";
        EXPECT_GT(rows, 0);
        EXPECT_LE(rows, houses);
        Sleep(1000);
        std::string shots = TestEnv("ZT_TEST_SHOTS");
        if (!shots.empty() && shot)
            TestShell("import -window root '" + shots + "/" + shot + ".png' 2>/dev/null");
        PostMessageA(frame, WM_COMMAND, IDM_EXIT, 0);
    }
    EXPECT_EQ(Finish(pi), 0u) << "Kelmora.exe exit code";
}

// Unpacks the zip into a new folder of that name under the work folder.
std::string Unpack(const char* name)
{
    std::string zip = TestEnv("ZT_TEST_PACKAGE");
    EXPECT_FALSE(zip.empty()) << "ZT_TEST_PACKAGE names no zip";
    EXPECT_EQ(TestShell(std::string("rm -rf ") + name + " && mkdir " + name + " && cd " + name + " && unzip -q '" + zip + "'"), 0);
    return Cwd() + "\\" + name;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::string& path)
{
    return TestReadFile(path.c_str());
}

// The demo database of these tests, set up once by the package's own tool.
long long g_houses = 0;

std::string Port()
{
    return TestEnv("ZT_TEST_DB_PORT", "3306");
}

TEST(WindowsPackage, UnpackedItSetsUpTheDemoDatabaseLogsInAndListsTheHouses)
{
    std::string folder = Unpack("package");
    for (const char* f : {"Kelmora.exe", "ZTData.dll", "ZTListview.dll", "ZTPopedom.dll", "libmariadb.dll",
                          "kelmora-db.exe", "config.ini", "README-Windows.txt", "THIRD-PARTY-NOTICES.txt",
                          "COPYING-libmariadb.txt", "LICENSE-libxlsxwriter.txt"})
        EXPECT_TRUE(Exists(folder + "\\" + f)) << f << " is not in the zip";

    // The set-up tool of the package, over TCP as on Windows.
    std::string conn = "kelmora-db.exe --host 127.0.0.1 --port " + Port() + " --user root --database " + kDb + " ";
    TestDb_Exec(std::string("DROP DATABASE IF EXISTS ") + kDb);
    ASSERT_EQ(RunInFolder(folder, conn + "init"), 0);
    ASSERT_EQ(RunInFolder(folder, conn + "demo"), 0);
    ASSERT_EQ(RunInFolder(folder, conn + "account kelmora " + kAccountPwd), 0);
    ASSERT_EQ(RunInFolder(folder, "kelmora-db.exe config kelmora " + std::string(kAccountPwd) + " " + kDb + " " + Port(),
                          "config.ini"),
              0);
    EXPECT_EQ(ReadAll(folder + "\\config.ini").find("\r\r"), std::string::npos) << "printed with plain CR LF";
    g_houses = atoll(TestDb_Scalar(std::string("select count(*) from ") + kDb + ".t_house").c_str());
    ASSERT_GT(g_houses, 0) << "the demo data has houses";

    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(folder + "\\Kelmora.exe", folder, &pi));
    LogInListHousesAndExit(pi, g_houses, "windows_package_house_list");
}

// A value of a file's version resource (its Chinese string table).
std::string VersionText(const std::vector<char>& info, const char* key)
{
    char* value = nullptr;
    UINT len = 0;
    std::string path = std::string("\\StringFileInfo\\080404b0\\") + key;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &len) || !value)
        return "<none>";
    return std::string(value, len && value[len - 1] == 0 ? len - 1 : len);
}

TEST(WindowsPackage, EveryProgramAndDllCarriesTheVersionTheProgramsTheirManifestAndIcon)
{
    std::string folder = Unpack("package_files");
    std::string zip = TestEnv("ZT_TEST_PACKAGE");
    EXPECT_NE(zip.find("Kelmora-" ZT_VERSION_TEXT "-windows-x64.zip"), std::string::npos) << zip;
    const DWORD ms = MAKELONG(ZT_VERSION_MINOR, ZT_VERSION_MAJOR), ls = MAKELONG(0, ZT_VERSION_PATCH);
    for (const char* f : {"Kelmora.exe", "kelmora-db.exe", "自动更新.exe", "ZTData.dll", "ZTListview.dll",
                          "ZTPopedom.dll", "SkinMagic.dll", "res.dll"}) {
        std::string path = folder + "\\" + f;
        DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << f << " has no version resource";
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data())) << f;
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len) && fixed) << f;
        EXPECT_EQ(fixed->dwFileVersionMS, ms) << f;
        EXPECT_EQ(fixed->dwFileVersionLS, ls) << f;
        EXPECT_EQ(fixed->dwProductVersionMS, ms) << f;
        EXPECT_EQ(VersionText(info, "ProductVersion"), ZT_VERSION_TEXT) << f;
        EXPECT_EQ(VersionText(info, "FileVersion"), ZT_VERSION_TEXT) << f;
        EXPECT_EQ(VersionText(info, "CompanyName"), "Kelmora") << f;
        EXPECT_EQ(VersionText(info, "OriginalFilename"), f);
        EXPECT_EQ(VersionText(info, "FileDescription").rfind("Kelmora ", 0), 0u) << f;

        // The two programs a user starts carry the application manifest.
        HMODULE m = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m, nullptr) << f;
        HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        bool program = strcmp(f, "Kelmora.exe") == 0 || strcmp(f, "kelmora-db.exe") == 0;
        EXPECT_EQ(r != nullptr, program) << f;
        if (r && program) {
            std::string manifest(static_cast<const char*>(LockResource(LoadResource(m, r))), SizeofResource(m, r));
            for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "asInvoker",
                                     "PerMonitorV2", "<dpiAware", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                                     "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
                EXPECT_NE(manifest.find(part), std::string::npos) << f << " manifest lacks " << part;
        }
        if (strcmp(f, "Kelmora.exe") == 0) {
            // Icon 103 in four sizes; 256 is written as 0 in the directory.
            HRSRC g = FindResourceA(m, MAKEINTRESOURCEA(IDI_APP), MAKEINTRESOURCEA(14));
            ASSERT_NE(g, nullptr);
            const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(m, g)));
            std::vector<int> sizes;
            int n = dir[4] | (dir[5] << 8);
            for (int i = 0; i < n; ++i)
                sizes.push_back(dir[6 + 14 * i] ? dir[6 + 14 * i] : 256);
            std::sort(sizes.begin(), sizes.end());
            EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));
        }
        FreeLibrary(m);
    }
    // The version the program shows comes from the same place.
    HMODULE m = LoadLibraryExA((folder + "\\Kelmora.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char shown[16] = "";
    LoadStringA(m, IDS_VERSION, shown, sizeof shown);
    FreeLibrary(m);
    EXPECT_STREQ(shown, ZT_VERSION_SHORT);

    // Every library of others in the package has its notice.
    std::string notices = ReadAll(folder + "\\THIRD-PARTY-NOTICES.txt");
    for (const char* dll : {"libmariadb.dll", "libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll",
                            "GCC Runtime Library Exception", "GNU GENERAL PUBLIC LICENSE", "libxlsxwriter",
                            "apt-get source libxlsxwriter", "zlib", "This software is provided 'as-is'"})
        EXPECT_NE(notices.find(dll), std::string::npos) << dll;
    EXPECT_NE(ReadAll(folder + "\\COPYING-libmariadb.txt").find("LESSER GENERAL PUBLIC"), std::string::npos);
    EXPECT_NE(ReadAll(folder + "\\LICENSE-libxlsxwriter.txt").find("Redistribution and use"), std::string::npos);
}

// A user's box of another process: its text (the static of a message box
// has the number 0xFFFF).
std::string BoxText(HWND box)
{
    return TextOf(GetDlgItem(box, 0xFFFF));
}

// Starts Kelmora, waits for the start-up failure box, reads it, closes it
// and returns its text; *code gets the program's exit code.
std::string FailedStart(const std::string& exe, const std::string& work, std::vector<char>* env, DWORD* code)
{
    PROCESS_INFORMATION pi;
    if (!Start(exe, work, &pi, env)) {
        ADD_FAILURE() << "cannot start " << exe;
        return "";
    }
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (box = TopWindow(pi.dwProcessId, "#32770", "错误")) != nullptr; }, 60000))
        << "no error box; windows: " << WindowsOf(pi.dwProcessId);
    std::string text = box ? BoxText(box) : "";
    if (box)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    *code = Finish(pi);
    return text;
}

// The path the box names as the error log.
std::string LogNamed(const std::string& text)
{
    const std::string mark = "详细请查看错误日志";
    size_t at = text.find(mark);
    return at == std::string::npos ? "" : text.substr(at + mark.size());
}

TEST(WindowsPackage, ConfigBesideTheProgramIsFoundFromElsewhereAndTheLogIsWhereTheBoxSays)
{
    ASSERT_GT(g_houses, 0) << "needs the database of the first test";
    std::string folder = Unpack("package_places");
    DeleteFileA((folder + "\\config.ini").c_str());
    std::string elsewhere = Cwd() + "\\elsewhere", appData = Cwd() + "\\places_appdata";
    TestShell("rm -rf elsewhere places_appdata && mkdir elsewhere places_appdata");
    std::vector<char> env = EnvWith("APPDATA", appData);

    // The tool writes the file itself, with CR LF; a password the file
    // cannot hold is refused and nothing is written.
    std::string config = folder + "\\config.ini";
    EXPECT_EQ(RunInFolder(folder, "kelmora-db.exe --out \"" + config + "\" config kelmora 0123456789abcdefg " +
                                      kDb + " " + Port()),
              1);
    EXPECT_FALSE(Exists(config)) << "a 17-byte password was cut into a config.ini";
    ASSERT_EQ(RunInFolder(folder, "kelmora-db.exe --out \"" + config + "\" config kelmora " + kAccountPwd + " " + kDb +
                                      " " + Port() + " 127.0.0.1"),
              0);
    std::string text = ReadAll(config);
    EXPECT_NE(text.find("\r\nHOST=127.0.0.1\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << "every line ends in CR LF";

    // Started from another folder (as a shortcut without a start-in
    // folder), Kelmora finds config.ini beside itself and logs in.
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(folder + "\\Kelmora.exe", elsewhere, &pi, &env));
    LogInListHousesAndExit(pi, g_houses, nullptr);

    // A refused account: the box names the server tried and the log beside
    // the program, which holds the server's words; the start fails.
    ASSERT_EQ(RunInFolder(folder, "kelmora-db.exe --out \"" + config + "\" config kelmora WrongPassword " + kDb + " " +
                                      Port()),
              0);
    DWORD code = 0;
    std::string box = FailedStart(folder + "\\Kelmora.exe", elsewhere, &env, &code);
    EXPECT_EQ(code, 1u) << "a failed start exits with a failure code";
    EXPECT_NE(box.find("127.0.0.1:" + Port()), std::string::npos) << box;
    EXPECT_NE(box.find("拒绝了账号kelmora"), std::string::npos) << box;
    EXPECT_EQ(LogNamed(box), folder + "\\errlog.log") << box;
    EXPECT_NE(ReadAll(folder + "\\errlog.log").find("错误码:  1045"), std::string::npos);

    // The program's folder cannot be written (Program Files for a standard
    // user): the log goes to the user's folder, and the box says so.
    DeleteFileA((folder + "\\errlog.log").c_str());
    ASSERT_TRUE(CreateDirectoryA((folder + "\\errlog.log").c_str(), nullptr));
    box = FailedStart(folder + "\\Kelmora.exe", elsewhere, &env, &code);
    EXPECT_EQ(code, 1u);
    std::string userLog = appData + "\\Kelmora\\errlog.log";
    EXPECT_EQ(LogNamed(box), userLog) << box;
    EXPECT_NE(ReadAll(userLog).find("错误码:  1045"), std::string::npos);
    EXPECT_FALSE(Exists(elsewhere + "\\errlog.log")) << "nothing is written into the current folder";
    EXPECT_FALSE(Exists(elsewhere + "\\config.ini"));
}

// The shortcut's target, arguments and start-in folder.
struct Shortcut {
    bool ok = false;
    std::string target, args, workFolder;
};

Shortcut ReadShortcut(const std::string& lnk)
{
    Shortcut s;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return s;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH * 2];
        MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH * 2);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char buf[MAX_PATH * 2] = "";
            WIN32_FIND_DATAA fd;
            if (SUCCEEDED(link->GetPath(buf, sizeof buf, &fd, SLGP_RAWPATH)))
                s.target = buf;
            buf[0] = 0;
            if (SUCCEEDED(link->GetArguments(buf, sizeof buf)))
                s.args = buf;
            buf[0] = 0;
            if (SUCCEEDED(link->GetWorkingDirectory(buf, sizeof buf)))
                s.workFolder = buf;
            s.ok = true;
        }
        file->Release();
    }
    link->Release();
    return s;
}

std::string KnownFolder(int csidl)
{
    char buf[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf);
    return buf;
}

std::string RegText(HKEY root, const char* key, const char* value)
{
    char buf[1024] = "";
    DWORD size = sizeof buf;
    if (RegGetValueA(root, key, value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return "<none>";
    return buf;
}

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelmora";

// Runs the registered quiet uninstaller and waits until the program folder
// is gone (the uninstaller goes on from a copy of itself in the temporary
// folder after the first process has ended).
void Uninstall(HKEY root, const std::string& dir)
{
    std::string quiet = RegText(root, kUninstallKey, "QuietUninstallString");
    ASSERT_NE(quiet, "<none>");
    EXPECT_NE(quiet.find(dir + "\\Uninstall.exe"), std::string::npos) << quiet;
    EXPECT_EQ(RunInFolder(Cwd(), quiet), 0);
    // The uninstaller goes on in a copy of itself: it removes the folder
    // first and its registration last, so the registration says it is done.
    EXPECT_TRUE(WaitFor([&] { return !Exists(dir) && RegText(root, kUninstallKey, "DisplayVersion") == "<none>"; },
                        60000))
        << dir << " or its registration is still there";
}

TEST(WindowsPackage, TheInstallerInstallsSilentlyKelmoraStartsFromItsShortcutAndTheUninstallerRemovesIt)
{
    ASSERT_GT(g_houses, 0) << "needs the database of the first test";
    std::string setup = TestEnv("ZT_TEST_SETUP");
    ASSERT_FALSE(setup.empty()) << "ZT_TEST_SETUP names no installer";
    EXPECT_NE(setup.find("Kelmora-" ZT_VERSION_TEXT "-setup.exe"), std::string::npos) << setup;
    std::string setupWin = "Z:" + setup;
    for (char& c : setupWin)
        c = c == '/' ? '\\' : c;
    CoInitialize(nullptr);

    // For all users (the test's user is an administrator), into an empty
    // folder, silently.
    std::string dir = Cwd() + "\\installed";
    TestShell("rm -rf installed inst_appdata && mkdir inst_appdata");
    ASSERT_EQ(RunInFolder(Cwd(), "\"" + setupWin + "\" /S /D=" + dir), 0);
    for (const char* f : {"Kelmora.exe", "ZTData.dll", "libmariadb.dll", "kelmora-db.exe", "自动更新.exe",
                          "README-Windows.txt", "THIRD-PARTY-NOTICES.txt", "Uninstall.exe"})
        EXPECT_TRUE(Exists(dir + "\\" + f)) << f << " was not installed";
    EXPECT_FALSE(Exists(dir + "\\config.ini")) << "the settings stay out of the program folder";
    std::string menu = KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Kelmora";
    Shortcut kelmora = ReadShortcut(menu + "\\Kelmora.lnk");
    ASSERT_TRUE(kelmora.ok) << "no Start-menu shortcut in " << menu;
    EXPECT_EQ(kelmora.target, dir + "\\Kelmora.exe");
    Shortcut tool = ReadShortcut(menu + "\\Kelmora 数据库设置工具.lnk");
    EXPECT_TRUE(tool.ok) << "no shortcut of the set-up tool";
    EXPECT_NE(tool.args.find(dir + "\\kelmora-db.exe"), std::string::npos) << tool.args;
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), ZT_VERSION_TEXT);

    // The user's config.ini in his own folder, written by the installed tool.
    std::string appData = Cwd() + "\\inst_appdata";
    std::vector<char> env = EnvWith("APPDATA", appData);
    ASSERT_EQ(RunInFolder(dir, "\"" + dir + "\\kelmora-db.exe\" --out \"" + appData + "\\Kelmora\\config.ini\" config kelmora " +
                                   kAccountPwd + " " + kDb + " " + Port()),
              0);
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(kelmora.target, kelmora.workFolder.empty() ? dir : kelmora.workFolder, &pi, &env));
    LogInListHousesAndExit(pi, g_houses, "windows_installed_house_list");
    EXPECT_FALSE(Exists(dir + "\\errlog.log"));

    Uninstall(HKEY_LOCAL_MACHINE, dir);
    EXPECT_FALSE(Exists(menu + "\\Kelmora.lnk"));
    EXPECT_FALSE(Exists(menu));
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), "<none>");
    EXPECT_TRUE(Exists(appData + "\\Kelmora\\config.ini")) << "the user's settings stay";

    // For the current user only: into his own programs folder, with his
    // own Start-menu entry and uninstaller.
    ASSERT_EQ(RunInFolder(Cwd(), "\"" + setupWin + "\" /S /CurrentUser"), 0);
    std::string own = RegText(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation");
    ASSERT_NE(own, "<none>");
    EXPECT_EQ(own.rfind(KnownFolder(CSIDL_LOCAL_APPDATA), 0), 0u) << own;
    EXPECT_TRUE(Exists(own + "\\Kelmora.exe"));
    EXPECT_TRUE(Exists(KnownFolder(CSIDL_PROGRAMS) + "\\Kelmora\\Kelmora.lnk"));
    Uninstall(HKEY_CURRENT_USER, own);
    EXPECT_FALSE(Exists(KnownFolder(CSIDL_PROGRAMS) + "\\Kelmora"));
    CoUninitialize();
}

}  // namespace
