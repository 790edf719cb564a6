// The library's state: the one connection, the settings record it was opened
// from, the liveness timer and the lock.  Only the connection core and the
// statement runner touch it.
#pragma once
#include "data/mysql_api.h"
#include "data/connection.h"

#include <string>

struct ZDState {
    MYSQL* conn;                  // the one connection (null before init)
    tagZT_SQL_MATION* mation;     // settings, kept by address
    UINT timer;                   // liveness timer id (0: none)
    volatile LONG reconnecting;   // id of the thread inside the reconnection loop, 0 none
    volatile LONG stale;          // the server refused a statement as a cluster node not ready
    char server[64];              // "host:port" of the connection (or of its failure)
    char silent[64];              // "host:port" of a server that left the check unanswered ("" none):
                                  // a reconnection tries it last
};
extern ZDState g_db;

// The library lock guards the connection: every statement with its results,
// the ping and the replacement of the handle.  It is recursive and lives for
// the whole process, so a call racing MYSQL_Terminal cannot meet a deleted lock.
void DbLock();
void DbUnlock();

// The error of the last connection attempt or statement of the connection.
void ConnectionError(unsigned int* pCode, std::string* pText);
