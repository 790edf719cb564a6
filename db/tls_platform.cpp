#include "db/tls_platform.h"
#include "common/platform.h"

#include <cstring>

#if defined(__WINE__)
#include <cerrno>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return (n > 0 && n < sizeof full) ? std::string(full) : path;
}

#if defined(__WINE__)
// The Unix name of a file named by a Windows path ("" when it has none).
std::string UnixName(const std::string& path)
{
    WCHAR wide[MAX_PATH * 2];
    if (!MultiByteToWideChar(CP_ACP, 0, FullPath(path).c_str(), -1, wide, MAX_PATH * 2))
        return std::string();
    char* unixName = wine_get_unix_file_name(wide);
    if (!unixName)
        return std::string();
    std::string name(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return name;
}
#else
// One argument of a command line, quoted as the C runtime of the program
// started reads it back.
std::string QuoteArg(const std::string& s)
{
    if (!s.empty() && s.find_first_of(" \t\"") == std::string::npos)
        return s;
    std::string q = "\"";
    size_t slashes = 0;
    for (char c : s) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        q.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        q += c;
    }
    q.append(slashes * 2, '\\');
    q += '"';
    return q;
}
#endif

}  // namespace

#if defined(__WINE__)

std::string TlsPlatform_FindOpenssl(std::string* looked)
{
    if (looked)
        looked->clear();
    return "openssl";
}

int TlsPlatform_Run(const std::string& openssl, const std::string& dir, const std::vector<std::string>& args,
                    std::string* output)
{
    output->clear();
    std::string folder = UnixName(dir);
    if (folder.empty()) {
        *output = "the folder " + dir + " has no name on this system";
        return -1;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        *output = std::string("no pipe: ") + strerror(errno);
        return -1;
    }
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addchdir_np(&fa, folder.c_str());
    posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
    posix_spawn_file_actions_adddup2(&fa, fds[1], 2);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addclose(&fa, fds[1]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(openssl.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, openssl.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        *output = "cannot start " + openssl + ": " + strerror(rc);
        return -1;
    }
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            output->append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TlsPlatform_ServerPath(const std::string& path)
{
    return UnixName(path);
}

std::string TlsPlatform_ClientPath(const std::string& path)
{
    return UnixName(path);
}

std::string TlsPlatform_GrantServerRead(const std::string& serverPath)
{
    return "chown mysql: " + serverPath + "     (the account the server runs as, here mysql)";
}

#else

std::string TlsPlatform_FindOpenssl(std::string* looked)
{
    char found[MAX_PATH];
    if (SearchPathA(nullptr, "openssl.exe", nullptr, MAX_PATH, found, nullptr))
        return found;
    std::string list = "PATH";
    char programs[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ProgramFiles", programs, sizeof programs);
    if (n > 0 && n < sizeof programs) {
        for (const char* place : {"\\Git\\usr\\bin\\openssl.exe", "\\Git\\mingw64\\bin\\openssl.exe",
                                  "\\OpenSSL-Win64\\bin\\openssl.exe", "\\OpenSSL\\bin\\openssl.exe"}) {
            std::string file = std::string(programs) + place;
            if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES)
                return file;
            list += ", " + file;
        }
    }
    if (looked)
        *looked = list;
    return std::string();
}

int TlsPlatform_Run(const std::string& openssl, const std::string& dir, const std::vector<std::string>& args,
                    std::string* output)
{
    output->clear();
    std::string line = QuoteArg(openssl);
    for (const std::string& a : args)
        line += " " + QuoteArg(a);
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE rd = nullptr, wr = nullptr;
    if (!CreatePipe(&rd, &wr, &sa, 0)) {
        *output = "no pipe (error " + std::to_string(GetLastError()) + ")";
        return -1;
    }
    SetHandleInformation(rd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = wr;
    si.hStdError = wr;
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back('\0');
    BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  FullPath(dir).c_str(), &si, &pi);
    DWORD startError = GetLastError();
    CloseHandle(wr);
    if (!started) {
        CloseHandle(rd);
        *output = "cannot start " + openssl + " (error " + std::to_string(startError) + ")";
        return -1;
    }
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(rd, buf, sizeof buf, &n, nullptr) && n > 0)
        output->append(buf, n);
    CloseHandle(rd);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<int>(code);
}

std::string TlsPlatform_ServerPath(const std::string& path)
{
    std::string full = FullPath(path);
    for (char& c : full)
        if (c == '\\')
            c = '/';
    return full;
}

std::string TlsPlatform_ClientPath(const std::string& path)
{
    return FullPath(path);
}

std::string TlsPlatform_GrantServerRead(const std::string& serverPath)
{
    std::string file = serverPath;
    for (char& c : file)
        if (c == '/')
            c = '\\';
    return "icacls \"" + file + "\" /grant \"NT SERVICE\\MariaDB\":R     (the account the server's service runs as)";
}

#endif

bool TlsPlatform_CreatePrivateFile(const std::string& path, std::string* err)
{
    // A descriptor given when the file is made applies from its first
    // moment: the key is never readable by anyone else, not even empty.
    DeleteFileA(path.c_str());
    HANDLE token = nullptr;
    std::vector<BYTE> user;
    DWORD n = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        GetTokenInformation(token, TokenUser, nullptr, 0, &n);
        user.resize(n ? n : 1);
        if (!GetTokenInformation(token, TokenUser, user.data(), n, &n))
            user.clear();
        CloseHandle(token);
    }
    if (user.empty()) {
        *err = "cannot read the account of this process (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    std::vector<BYTE> aclBuf(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    PACL acl = reinterpret_cast<PACL>(aclBuf.data());
    SECURITY_DESCRIPTOR sd;
    const DWORD rights = FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE | WRITE_DAC | WRITE_OWNER;
    if (!InitializeAcl(acl, static_cast<DWORD>(aclBuf.size()), ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, rights, sid) ||
        !InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) ||
        !SetSecurityDescriptorControl(&sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
        *err = "cannot describe a private file (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    SECURITY_ATTRIBUTES sa = {sizeof sa, &sd, FALSE};
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, &sa, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *err = "cannot write " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    CloseHandle(h);
#if defined(__WINE__)
    // Wine gives a file so described its group's read bit as well: the
    // Unix mode is what protects it here.
    std::string name = UnixName(path);
    if (name.empty() || chmod(name.c_str(), 0600) != 0) {
        *err = "cannot make " + path + " private to its owner";
        return false;
    }
#endif
    return true;
}
