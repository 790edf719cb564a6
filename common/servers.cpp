#include "common/servers.h"

#include <cstdio>
#include <cstring>

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One entry, blanks already trimmed: its host and port into s.
static int ParseEntry(const char* p, size_t n, int32_t iDefaultPort, ZT_SERVER& s)
{
    const char* host = p;
    size_t hostLen = n;
    const char* port = nullptr;
    size_t portLen = 0;
    if (n > 0 && p[0] == '[') {
        const char* close = static_cast<const char*>(memchr(p, ']', n));
        if (!close)
            return ZT_SERVERS_HOST_LONG;  // an unclosed bracket names no host
        host = p + 1;
        hostLen = (size_t)(close - host);
        size_t rest = n - (size_t)(close + 1 - p);
        if (rest > 0) {
            if (close[1] != ':')
                return ZT_SERVERS_BAD_PORT;
            port = close + 2;
            portLen = rest - 1;
        }
    } else {
        const char* colon = static_cast<const char*>(memchr(p, ':', n));
        bool single = colon && !memchr(colon + 1, ':', n - (size_t)(colon + 1 - p));
        if (single) {
            hostLen = (size_t)(colon - p);
            port = colon + 1;
            portLen = n - hostLen - 1;
        }
    }
    if (hostLen == 0)
        return ZT_SERVERS_EMPTY_ENTRY;
    if (hostLen > ZT_SERVER_HOST_CHARS)
        return ZT_SERVERS_HOST_LONG;
    memcpy(s.szHost, host, hostLen);
    s.szHost[hostLen] = '\0';
    s.iPort = iDefaultPort;
    s.bOwnPort = port != nullptr;
    if (port) {
        if (portLen == 0 || portLen > 5)
            return ZT_SERVERS_BAD_PORT;
        int32_t v = 0;
        for (size_t i = 0; i < portLen; ++i) {
            if (port[i] < '0' || port[i] > '9')
                return ZT_SERVERS_BAD_PORT;
            v = v * 10 + (port[i] - '0');
        }
        if (v < 1 || v > 65535)
            return ZT_SERVERS_BAD_PORT;
        s.iPort = v;
    }
    return ZT_SERVERS_OK;
}

int ZT_ParseServers(const char* pszList, int32_t iDefaultPort, ZT_SERVER* pOut, int* pFault, int* pEntry)
{
    int fault = ZT_SERVERS_OK, count = 0;
    if (pEntry)
        *pEntry = 0;
    const char* p = pszList ? pszList : "";
    if (strlen(p) > ZT_SERVER_LIST_CHARS)
        fault = ZT_SERVERS_LIST_LONG;
    while (fault == ZT_SERVERS_OK) {
        const char* comma = strchr(p, ',');
        const char* end = comma ? comma : p + strlen(p);
        const char* b = p;
        const char* e = end;
        while (b < e && IsBlank(*b))
            ++b;
        while (e > b && IsBlank(e[-1]))
            --e;
        if (count == ZT_MAX_SERVERS) {
            fault = ZT_SERVERS_TOO_MANY;
        } else {
            fault = b == e ? ZT_SERVERS_EMPTY_ENTRY : ParseEntry(b, (size_t)(e - b), iDefaultPort, pOut[count]);
        }
        if (fault != ZT_SERVERS_OK) {
            if (pEntry)
                *pEntry = count + 1;
            break;
        }
        ++count;
        if (!comma)
            break;
        p = comma + 1;
    }
    if (pFault)
        *pFault = fault;
    return fault == ZT_SERVERS_OK ? count : 0;
}

void ZT_ServerName(const ZT_SERVER& s, char* psz, size_t cb)
{
    if (!psz || cb == 0)
        return;
    int port = s.iPort ? s.iPort : 3306;
    if (strchr(s.szHost, ':'))
        snprintf(psz, cb, "[%s]:%d", s.szHost, port);
    else
        snprintf(psz, cb, "%s:%d", s.szHost, port);
}

bool ZT_IsLoopback(const char* pszHost)
{
    if (!pszHost || !pszHost[0])
        return true;   // no host: the program's default, this machine
    static const char kLocal[] = "localhost";
    size_t i = 0;
    while (kLocal[i] && (pszHost[i] | 0x20) == kLocal[i])
        ++i;
    if ((!kLocal[i] && !pszHost[i]) || strcmp(pszHost, "::1") == 0 || strcmp(pszHost, "[::1]") == 0)
        return true;
    if (strncmp(pszHost, "127.", 4) != 0)
        return false;
    for (const char* p = pszHost + 4; *p; ++p)
        if (!((*p >= '0' && *p <= '9') || *p == '.'))
            return false;
    return true;
}
