#include "app/shell/config.h"
#include "common/zt_box.h"
#include "common/gbk.h"

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
    char buf[64];
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

void Config_Read(tagZT_Main_Param* p)
{
    char path[sizeof p->szAppDir + 16];
    snprintf(path, sizeof path, "%s\\%s", p->szAppDir, ZT_CONFIG_FILE);

    if (ReadNumber(path, "SOFT", "INITIALIZE", "", 1) == 0) {
        ZT_MessageBox(p->hOwner, "\n软件初始密码为482913\n\n\n如果无法连接到数据库,请重启电脑", "登录后请修改密码", MB_OK);
        WritePrivateProfileStringA("SOFT", "INITIALIZE", "1", path);
    }

    p->bRemind1 = static_cast<uint8_t>(ReadNumber(path, "SOFT", "REMIND1", "0", 19) & 0xFF);
    p->bRemind2 = static_cast<uint8_t>(ReadNumber(path, "SOFT", "REMIND2", "0", 19) & 0xFF);

    tagZT_SQL_MATION* s = &p->sql;
    ReadKey(path, "SERVER", "UID", "", s->szUser, sizeof s->szUser, 32);
    ReadKey(path, "SERVER", "PWD", "", s->szPwd, sizeof s->szPwd, 32);
    ReadKey(path, "SERVER", "DATABASE", "", s->szDatabase, sizeof s->szDatabase, 32);
    ReadKey(path, "SERVER", "CHARSET", "", s->szCharset, sizeof s->szCharset, 32);
    strcpy(s->szHost, "127.0.0.1");
    s->iPort = ReadNumber(path, "SERVER", "PORT", "", 9);
    s->iReadTimeout = ReadNumber(path, "SERVER", "READ_TIMEOUT", "0", 9);
    s->iWriteTimeout = ReadNumber(path, "SERVER", "WRITE_TIMEOUT", "0", 9);
    s->iConnectTimeout = ReadNumber(path, "SERVER", "CONNECT_TIMEOUT", "0", 9);
}
