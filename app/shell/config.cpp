#include "app/shell/config.h"
#include "common/zt_box.h"
#include "common/gbk.h"
#include "common/servers.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int32_t Config_ToInt(const char* psz)
{
    if (!psz)
        return 0;
    while (*psz == ' ' || *psz == '\t' || *psz == '\r' || *psz == '\n' || *psz == '\v' || *psz == '\f')
        ++psz;
    bool negative = false;
    if (*psz == '+' || *psz == '-') {
        negative = *psz == '-';
        ++psz;
    }
    uint32_t value = 0;
    for (; *psz >= '0' && *psz <= '9'; ++psz)
        value = value * 10u + static_cast<uint32_t>(*psz - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

namespace {

// Reads one key into a field of cbField bytes, at most cchRead characters
// of it (the field is never overrun: a longer value is cut to the field,
// never inside a double-byte character).
void ReadKey(const char* pszPath, const char* pszSection, const char* pszKey, const char* pszDefault,
             char* pszField, size_t cbField, size_t cchRead)
{
    char buf[320];
    size_t cb = cchRead + 1;
    if (cb > sizeof buf)
        cb = sizeof buf;
    memset(buf, 0, sizeof buf);
    GetPrivateProfileStringA(pszSection, pszKey, pszDefault, buf, static_cast<DWORD>(cb), pszPath);
    buf[cb - 1] = 0;
    // Whole characters only: a double-byte character that does not fit,
    // or lost its trail byte to the read length, stays out altogether.
    Gbk_CopyCut(pszField, cbField, buf);
}

int32_t ReadNumber(const char* pszPath, const char* pszSection, const char* pszKey, const char* pszDefault,
                   size_t cchRead)
{
    char buf[64];
    ReadKey(pszPath, pszSection, pszKey, pszDefault, buf, sizeof buf, cchRead);
    return Config_ToInt(buf);
}

}  // namespace

// The numbers of the file, their read lengths, defaults and ranges.
struct ConfigNumber {
    const char* pszSection;
    const char* pszKey;
    const char* pszDefault;
    size_t cchRead;
    int32_t iMin, iMax;
};
static const ConfigNumber kNumbers[] = {
    {"SOFT", "REMIND1", "0", 19, 0, 255},
    {"SOFT", "REMIND2", "0", 19, 0, 255},
    {"SERVER", "PORT", "", 9, 0, 65535},
    {"SERVER", "READ_TIMEOUT", "0", 9, 0, 86400},
    {"SERVER", "WRITE_TIMEOUT", "0", 9, 0, 86400},
    {"SERVER", "CONNECT_TIMEOUT", "0", 9, 0, 86400},
    {"SERVER", "SSL", "0", 9, 0, 1},
};
enum {
    CFG_REMIND1, CFG_REMIND2, CFG_PORT, CFG_READ_TIMEOUT, CFG_WRITE_TIMEOUT, CFG_CONNECT_TIMEOUT, CFG_SSL,
    CFG_NUMBERS
};

enum { CFG_FILE_OK, CFG_FILE_MISSING, CFG_FILE_UNREADABLE };

static int FileState(const char* pszPath)
{
    DWORD attr = GetFileAttributesA(pszPath);
    if (attr == INVALID_FILE_ATTRIBUTES) {
        DWORD e = GetLastError();
        return (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) ? CFG_FILE_MISSING : CFG_FILE_UNREADABLE;
    }
    if (attr & FILE_ATTRIBUTE_DIRECTORY)
        return CFG_FILE_UNREADABLE;
    HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return CFG_FILE_UNREADABLE;
    CloseHandle(h);
    return CFG_FILE_OK;
}

// Writes the cause of a refusal for the user; always 0.
static int Refuse(char* pszWhy, size_t cbWhy, const char* pszFormat, ...)
{
    if (pszWhy && cbWhy) {
        va_list ap;
        va_start(ap, pszFormat);
        vsnprintf(pszWhy, cbWhy, pszFormat, ap);
        va_end(ap);
    }
    return 0;
}

// Whether the settings read can be used; the first fault otherwise.
static int CheckSettings(const char* pszPath, const tagZT_SQL_MATION* s, const int32_t* numbers, char* pszWhy,
                         size_t cbWhy)
{
    if (!s->szUser[0])
        return Refuse(pszWhy, cbWhy, "配置文件%s缺少UID(数据库账号)", pszPath);
    if (!s->szDatabase[0])
        return Refuse(pszWhy, cbWhy, "配置文件%s缺少DATABASE(数据库名)", pszPath);
    if (lstrcmpiA(s->szCharset, "gbk") != 0)
        return Refuse(pszWhy, cbWhy, "配置文件%s中CHARSET=%s无效,应为gbk", pszPath, s->szCharset);
    for (int i = 0; i < CFG_NUMBERS; ++i) {
        const ConfigNumber& n = kNumbers[i];
        if (numbers[i] < n.iMin || numbers[i] > n.iMax)
            return Refuse(pszWhy, cbWhy, "配置文件%s中%s=%d超出范围(%d-%d)", pszPath, n.pszKey,
                          static_cast<int>(numbers[i]), static_cast<int>(n.iMin), static_cast<int>(n.iMax));
    }
    return 1;
}

// ---- Where the program keeps its files -------------------------------------------

std::string Config_ProgramFolder()
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return "";
    path[n] = 0;
    char* slash = strrchr(path, '\\');
    if (!slash)
        return "";
    *slash = 0;
    return path;
}

std::string Config_UserFolder()
{
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("APPDATA", buf, sizeof buf);
    if (n == 0 || n >= sizeof buf)
        return "";
    std::string folder(buf, n);
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder.empty() ? "" : folder + "\\" ZT_USER_FOLDER;
}

std::vector<std::string> Config_Places(const tagZT_Main_Param* p)
{
    std::vector<std::string> places;
    for (const std::string& folder : {std::string(p->szAppDir), Config_ProgramFolder(), Config_UserFolder()}) {
        if (folder.empty())
            continue;
        std::string file = folder + "\\" ZT_CONFIG_FILE;
        bool seen = false;
        for (const std::string& earlier : places)
            seen = seen || lstrcmpiA(earlier.c_str(), file.c_str()) == 0;
        if (!seen)
            places.push_back(file);
    }
    return places;
}

static char g_configPath[MAX_PATH * 2];
static std::string g_plainServers;

const char* Config_Path()
{
    return g_configPath;
}

std::string Config_PlainTextServers()
{
    return g_plainServers;
}

// The first of the places that holds a file (readable or not: a file that
// cannot be read is reported, not passed over); "" and CFG_FILE_MISSING
// when none does.
static int Locate(const std::vector<std::string>& places, std::string* path)
{
    for (const std::string& place : places) {
        int state = FileState(place.c_str());
        if (state != CFG_FILE_MISSING) {
            *path = place;
            return state;
        }
    }
    path->clear();
    return CFG_FILE_MISSING;
}

int Config_Read(tagZT_Main_Param* p, char* pszWhy, size_t cbWhy)
{
    if (pszWhy && cbWhy)
        pszWhy[0] = 0;
    std::vector<std::string> places = Config_Places(p);
    std::string found;
    int file = Locate(places, &found);
    Gbk_CopyCut(g_configPath, sizeof g_configPath, found.c_str());
    // Read from the file found; with none, every key takes its default.
    std::string read = found.empty() ? (places.empty() ? std::string(ZT_CONFIG_FILE) : places[0]) : found;
    const char* path = read.c_str();

    if (file == CFG_FILE_OK && ReadNumber(path, "SOFT", "INITIALIZE", "", 1) == 0) {
        ZT_MessageBox(p->hOwner, "\n软件初始密码为482913\n\n\n如果无法连接到数据库,请重启电脑", "登录后请修改密码", MB_OK);
        WritePrivateProfileStringA("SOFT", "INITIALIZE", "1", path);
    }

    int32_t numbers[CFG_NUMBERS];
    for (int i = 0; i < CFG_NUMBERS; ++i)
        numbers[i] = ReadNumber(path, kNumbers[i].pszSection, kNumbers[i].pszKey, kNumbers[i].pszDefault,
                                kNumbers[i].cchRead);
    p->bRemind1 = static_cast<uint8_t>(numbers[CFG_REMIND1] & 0xFF);
    p->bRemind2 = static_cast<uint8_t>(numbers[CFG_REMIND2] & 0xFF);

    tagZT_SQL_MATION* s = &p->sql;
    ReadKey(path, "SERVER", "UID", "", s->szUser, sizeof s->szUser, 32);
    ReadKey(path, "SERVER", "PWD", "", s->szPwd, sizeof s->szPwd, 32);
    ReadKey(path, "SERVER", "DATABASE", "", s->szDatabase, sizeof s->szDatabase, 32);
    ReadKey(path, "SERVER", "CHARSET", "", s->szCharset, sizeof s->szCharset, 32);
    if (!s->szCharset[0])
        strcpy(s->szCharset, "gbk");
    // The server's address and the CA file are read whole: one that does
    // not fit its field is refused below, never cut.  HOST may name several
    // servers ("host[:port],..."): they go to szServers, the first one's
    // host to szHost; one host without a port is szHost alone, as ever.
    char host[ZT_SERVER_LIST_CHARS + 2], ca[300];
    ReadKey(path, "SERVER", "HOST", "", host, sizeof host, sizeof host - 1);
    ReadKey(path, "SERVER", "SSL_CA", "", ca, sizeof ca, sizeof ca - 1);
    ZT_SERVER servers[ZT_MAX_SERVERS];
    int fault = ZT_SERVERS_OK, entry = 0;
    int nServers = host[0] ? ZT_ParseServers(host, numbers[CFG_PORT], servers, &fault, &entry) : 0;
    bool bList = nServers > 1 || (nServers == 1 && servers[0].bOwnPort);
    Gbk_CopyCut(s->szHost, sizeof s->szHost, !host[0] ? ZT_DEFAULT_HOST : bList ? servers[0].szHost : host);
    Gbk_CopyCut(s->szServers, sizeof s->szServers, bList ? host : "");
    Gbk_CopyCut(s->szSslCa, sizeof s->szSslCa, ca);
    s->iPort = numbers[CFG_PORT];
    s->iReadTimeout = numbers[CFG_READ_TIMEOUT];
    s->iWriteTimeout = numbers[CFG_WRITE_TIMEOUT];
    s->iConnectTimeout = numbers[CFG_CONNECT_TIMEOUT];
    // Off this machine the connection crosses the office network: without
    // an SSL line it is encrypted.  Plain text there must be written.
    char sslLine[16];
    ReadKey(path, "SERVER", "SSL", "", sslLine, sizeof sslLine, 9);
    // The servers of HOST off this machine ("host:port", as the boxes name them).
    std::string off;
    if (nServers == 0 && !ZT_IsLoopback(host)) {
        ZT_SERVER one;
        Gbk_CopyCut(one.szHost, sizeof one.szHost, host);
        one.iPort = numbers[CFG_PORT];
        char name[64];
        ZT_ServerName(one, name, sizeof name);
        off = name;
    }
    for (int i = 0; i < nServers; ++i) {
        if (ZT_IsLoopback(servers[i].szHost))
            continue;
        char name[64];
        ZT_ServerName(servers[i], name, sizeof name);
        off += (off.empty() ? "" : ", ") + std::string(name);
    }
    if (!sslLine[0])
        numbers[CFG_SSL] = off.empty() ? 0 : 1;
    s->bSsl = numbers[CFG_SSL] ? 1 : 0;
    // Plain text across the network only because the file says so.
    g_plainServers = (!s->bSsl && !s->szSslCa[0]) ? off : std::string();

    if (file == CFG_FILE_MISSING) {
        std::string list;
        for (const std::string& place : places)
            list += "\n" + place;
        return Refuse(pszWhy, cbWhy, "找不到配置文件" ZT_CONFIG_FILE ",查找过:%s", list.c_str());
    }
    if (file == CFG_FILE_UNREADABLE)
        return Refuse(pszWhy, cbWhy, "无法读取配置文件:\n%s", path);
    if (host[0] && !nServers && !strchr(host, ',') && fault == ZT_SERVERS_HOST_LONG)
        return Refuse(pszWhy, cbWhy, "配置文件%s中HOST=%s太长(最多%d个字符)", path, host,
                      static_cast<int>(sizeof s->szHost - 1));
    switch (host[0] ? fault : ZT_SERVERS_OK) {
    case ZT_SERVERS_EMPTY_ENTRY:
        return Refuse(pszWhy, cbWhy, "配置文件%s中HOST的第%d个服务器是空的", path, entry);
    case ZT_SERVERS_HOST_LONG:
        return Refuse(pszWhy, cbWhy, "配置文件%s中HOST的第%d个服务器名太长(最多%d个字符)", path, entry,
                      static_cast<int>(ZT_SERVER_HOST_CHARS));
    case ZT_SERVERS_BAD_PORT:
        return Refuse(pszWhy, cbWhy, "配置文件%s中HOST的第%d个服务器的端口无效(应为1-65535)", path, entry);
    case ZT_SERVERS_TOO_MANY:
        return Refuse(pszWhy, cbWhy, "配置文件%s中HOST列出的服务器太多(最多%d个)", path,
                      static_cast<int>(ZT_MAX_SERVERS));
    case ZT_SERVERS_LIST_LONG:
        return Refuse(pszWhy, cbWhy, "配置文件%s中HOST太长(最多%d个字符)", path,
                      static_cast<int>(ZT_SERVER_LIST_CHARS));
    default:
        break;
    }
    if (strlen(ca) >= sizeof s->szSslCa)
        return Refuse(pszWhy, cbWhy, "配置文件%s中SSL_CA太长(最多%d个字符)", path,
                      static_cast<int>(sizeof s->szSslCa - 1));
    return CheckSettings(path, s, numbers, pszWhy, cbWhy);
}
