// The database servers config.ini names in "SERVER"/"HOST": one host, or
// several separated by commas, each optionally followed by ":port"
// ("db1:3306, db2:3306, db3").  The program, the data library and the
// set-up tool read the text the same way.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    ZT_MAX_SERVERS = 8,        // servers a list may name
    ZT_SERVER_HOST_CHARS = 37, // characters of one host name or address
    ZT_SERVER_LIST_CHARS = 255 // characters of the whole list
};

struct ZT_SERVER {
    char szHost[ZT_SERVER_HOST_CHARS + 1];
    int32_t iPort;   // the entry's own port, else the default given
    bool bOwnPort;   // the entry named its port
};

// Whether a host name or address is this machine (127.x.x.x, ::1,
// localhost): a connection to it never crosses a network.
bool ZT_IsLoopback(const char* pszHost);

// Why a text is not a list of servers.
enum ZT_SERVERS_FAULT {
    ZT_SERVERS_OK = 0,
    ZT_SERVERS_EMPTY_ENTRY,   // nothing between two commas, or at an end
    ZT_SERVERS_HOST_LONG,     // a host over ZT_SERVER_HOST_CHARS characters
    ZT_SERVERS_BAD_PORT,      // a port that is not a number from 1 to 65535
    ZT_SERVERS_TOO_MANY,      // more than ZT_MAX_SERVERS entries
    ZT_SERVERS_LIST_LONG      // the text is over ZT_SERVER_LIST_CHARS characters
};

// Splits pszList into pOut (room for ZT_MAX_SERVERS); blanks around an entry
// are not part of it.  An entry is "host", "host:port" or "[IPv6]:port"; an
// IPv6 address with more than one colon and no brackets is a host without a
// port.  Entries without a port get iDefaultPort.  Returns the number of
// servers (at least 1), or 0 with the fault in *pFault (when given) and the
// 1-based number of the entry at fault in *pEntry (when given).
int ZT_ParseServers(const char* pszList, int32_t iDefaultPort, ZT_SERVER* pOut, int* pFault = nullptr,
                    int* pEntry = nullptr);

// "host:port" of a server (the IPv6 form in brackets) into psz.
void ZT_ServerName(const ZT_SERVER& s, char* psz, size_t cb);
