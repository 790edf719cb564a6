// The Windows package: unpacked into an empty folder, its set-up tool makes
// the demo database and the program's config.ini, and Kelmora.exe started
// from there logs in and lists the houses.  The program runs as a process
// of its own; it is driven by messages and its grid is read through its
// memory, as a user's program would see it.
#include "tests/support/test_support.h"
#include "app/resources/resource.h"
#include "grid/ZTListview.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

const char kDb[] = "kelmora_pkg";
const char kAccountPwd[] = "Pkg#7wise";

std::string Folder()
{
    char buf[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof buf, buf);
    return std::string(buf) + "\\package";
}

// Runs a program of the package folder and waits for it; its standard
// output goes to the file stdoutFile of that folder when one is named.
int RunInFolder(const std::string& folder, const std::string& line, const char* stdoutFile = nullptr)
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
    BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, stdoutFile ? TRUE : FALSE, 0, nullptr,
                             folder.c_str(), &si, &pi);
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
    char buf[256] = "";
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

template <typename T>
bool ReadRemote(HANDLE proc, const void* at, T* out, size_t count = 1)
{
    SIZE_T got = 0;
    return at && ReadProcessMemory(proc, at, out, sizeof(T) * count, &got) && got == sizeof(T) * count;
}

// Rows the grid of another process holds: GRM_GETDATA writes the address of
// its data block into memory of that process, which is then read across.
int RemoteGridRows(HANDLE proc, HWND grid)
{
    void* slot = VirtualAllocEx(proc, nullptr, sizeof(void*), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!slot)
        return -1;
    int rows = -1;
    DWORD_PTR ok = 0;
    tagLV_DATA* remote = nullptr;
    tagLV_DATA d;
    if (SendMessageTimeoutA(grid, GRM_GETDATA, 0, reinterpret_cast<LPARAM>(slot), SMTO_ABORTIFHUNG, 5000, &ok) && ok &&
        ReadRemote(proc, slot, &remote) && ReadRemote(proc, remote, &d) && d.iLoaded + d.iAppended >= 0) {
        int n = d.iLoaded + d.iAppended;
        std::vector<int32_t> present(n > 0 ? n : 1);
        if (n == 0)
            rows = 0;
        else if (ReadRemote(proc, d.pRowPresent, present.data(), n)) {
            rows = 0;
            for (int i = 0; i < n; i++)
                rows += present[i] ? 1 : 0;
        }
    }
    VirtualFreeEx(proc, slot, 0, MEM_RELEASE);
    return rows;
}

TEST(WindowsPackage, UnpackedItSetsUpTheDemoDatabaseLogsInAndListsTheHouses)
{
    std::string zip = TestEnv("ZT_TEST_PACKAGE");
    ASSERT_FALSE(zip.empty()) << "ZT_TEST_PACKAGE names no zip";
    ASSERT_EQ(TestShell("rm -rf package && mkdir package && cd package && unzip -q '" + zip + "'"), 0);
    std::string folder = Folder();
    for (const char* f : {"Kelmora.exe", "ZTData.dll", "ZTListview.dll", "ZTPopedom.dll", "libmariadb.dll",
                          "kelmora-db.exe", "config.ini", "README-Windows.txt"})
        EXPECT_NE(GetFileAttributesA((folder + "\\" + f).c_str()), INVALID_FILE_ATTRIBUTES) << f << " is not in the zip";

    // The set-up tool of the package, over TCP as on Windows.
    std::string port = TestEnv("ZT_TEST_DB_PORT", "3306");
    std::string conn = "kelmora-db.exe --host 127.0.0.1 --port " + port + " --user root --database " + kDb + " ";
    TestDb_Exec(std::string("DROP DATABASE IF EXISTS ") + kDb);
    ASSERT_EQ(RunInFolder(folder, conn + "init"), 0);
    ASSERT_EQ(RunInFolder(folder, conn + "demo"), 0);
    ASSERT_EQ(RunInFolder(folder, conn + "account kelmora " + kAccountPwd), 0);
    ASSERT_EQ(RunInFolder(folder, "kelmora-db.exe config kelmora " + std::string(kAccountPwd) + " " + kDb + " " + port,
                          "config.ini"),
              0);
    long long houses = atoll(
        TestDb_Scalar(std::string("select count(*) from ") + kDb + ".t_house").c_str());
    ASSERT_GT(houses, 0) << "the demo data has houses";

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = folder + "\\Kelmora.exe";
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back('\0');
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi));
    HWND login = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (login = TopWindow(pi.dwProcessId, "#32770", "Kelmora中介管理")) != nullptr; },
                        60000))
        << "the login dialog did not appear";
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
        if (!shots.empty())
            TestShell("import -window root '" + shots + "/windows_package_house_list.png' 2>/dev/null");
        PostMessageA(frame, WM_COMMAND, IDM_EXIT, 0);
    }
    DWORD code = 99;
    if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        ADD_FAILURE() << "Kelmora.exe did not end; its windows: " << WindowsOf(pi.dwProcessId);
        TerminateProcess(pi.hProcess, 99);
    }
    EXPECT_EQ(code, 0u) << "Kelmora.exe exit code";
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

}  // namespace
