// Shell commands of the tests (starting and stopping the test server,
// screenshots, reading a pixel of a picture).  A Winelib test program is a
// Linux process and calls the C library's system/popen.  A native Windows
// test program runs under Wine: Wine starts a Linux program named by its
// Windows path but gives back no process to wait for, so the command itself
// leaves its exit status in a file that the test waits for.
#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>

#if defined(__WINE__)

#include <sys/wait.h>

int TestShell(const std::string& cmd, std::string* output)
{
    if (!output) {
        int rc = system(cmd.c_str());
        return (rc != -1 && WIFEXITED(rc)) ? WEXITSTATUS(rc) : -1;
    }
    output->clear();
    FILE* f = popen(cmd.c_str(), "r");
    if (!f)
        return -1;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        output->append(buf, n);
    int rc = pclose(f);
    return (rc != -1 && WIFEXITED(rc)) ? WEXITSTATUS(rc) : -1;
}

#else

// One argument of a command line, quoted as the Windows C runtime (and
// Wine, when it makes the Linux program's argv) reads it back.
static std::string QuoteArg(const std::string& s)
{
    std::string q = "\"";
    size_t slashes = 0;
    for (char c : s) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') {
            q.append(slashes * 2 + 1, '\\');
        } else {
            q.append(slashes, '\\');
        }
        slashes = 0;
        q += c;
    }
    q.append(slashes * 2, '\\');
    q += '"';
    return q;
}

int TestShell(const std::string& cmd, std::string* output)
{
    static LONG s_count = 0;
    char stem[64];
    snprintf(stem, sizeof stem, "zt-shell-%lu-%ld", GetCurrentProcessId(), InterlockedIncrement(&s_count));
    std::string out = std::string(stem) + ".out", status = std::string(stem) + ".status";
    DeleteFileA(out.c_str());
    DeleteFileA(status.c_str());
    std::string script = "( " + cmd + "\n) >'" + out + "'; echo $? >'" + status + ".new'; mv '" + status + ".new' '" +
                         status + "'";
    std::string line = "Z:\\bin\\sh -c " + QuoteArg(script);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back('\0');
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    // Starting the test server may take a minute when it recovers its tables.
    int rc = -1;
    for (DWORD waited = 0; waited < 300000; waited += 20) {
        if (GetFileAttributesA(status.c_str()) != INVALID_FILE_ATTRIBUTES) {
            rc = atoi(TestReadFile(status.c_str()).c_str());
            break;
        }
        Sleep(20);
    }
    if (output)
        *output = TestReadFile(out.c_str());
    DeleteFileA(out.c_str());
    DeleteFileA(status.c_str());
    return rc;
}

#endif
