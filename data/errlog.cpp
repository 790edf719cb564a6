// The error log's place: the current folder, or the first writable folder
// of those the program named (its own folder, then the user's).
#include "data/errlog.h"
#include "data/connection.h"

#include <cstring>
#include <string>

namespace {

const char kLogName[] = "errlog.log";

CRITICAL_SECTION* PlaceLock()
{
    static CRITICAL_SECTION* cs = [] {
        CRITICAL_SECTION* p = new CRITICAL_SECTION;
        InitializeCriticalSection(p);
        return p;
    }();
    return cs;
}

std::string g_folders[2];   // empty: the current folder only
std::string g_lastPath;     // the file the last entry went to
bool g_lastWritten = false;

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return (n > 0 && n < sizeof full) ? std::string(full) : path;
}

HANDLE OpenForAppend(const std::string& path)
{
    return CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

void ZTData_SetErrorLogFolders(const char* pszFirst, const char* pszSecond)
{
    EnterCriticalSection(PlaceLock());
    g_folders[0] = pszFirst ? pszFirst : "";
    g_folders[1] = pszSecond ? pszSecond : "";
    g_lastPath.clear();
    g_lastWritten = false;
    LeaveCriticalSection(PlaceLock());
}

HANDLE ErrorLog_Open()
{
    EnterCriticalSection(PlaceLock());
    HANDLE h = INVALID_HANDLE_VALUE;
    std::string tried;
    if (g_folders[0].empty() && g_folders[1].empty()) {
        tried = FullPath(kLogName);
        h = OpenForAppend(kLogName);
    } else {
        for (const std::string& folder : g_folders) {
            if (folder.empty())
                continue;
            // The user's folder may not exist yet (a first start).
            CreateDirectoryA(folder.c_str(), nullptr);
            std::string path = folder + "\\" + kLogName;
            if (tried.empty())
                tried = path;
            h = OpenForAppend(path);
            if (h != INVALID_HANDLE_VALUE) {
                tried = path;
                break;
            }
        }
    }
    g_lastPath = tried;
    g_lastWritten = h != INVALID_HANDLE_VALUE;
    LeaveCriticalSection(PlaceLock());
    return h;
}

int ZTData_ErrorLogPath(char* psz, size_t cb)
{
    if (!psz || !cb)
        return 0;
    EnterCriticalSection(PlaceLock());
    std::string path = g_lastPath;
    bool written = g_lastWritten;
    if (path.empty()) {
        // No entry yet: where the next one is tried first.
        if (!g_folders[0].empty())
            path = g_folders[0] + "\\" + kLogName;
        else if (!g_folders[1].empty())
            path = g_folders[1] + "\\" + kLogName;
        else
            path = FullPath(kLogName);
        written = true;
    }
    LeaveCriticalSection(PlaceLock());
    size_t n = path.size() < cb - 1 ? path.size() : cb - 1;
    memcpy(psz, path.data(), n);
    psz[n] = 0;
    return written ? 1 : 0;
}
