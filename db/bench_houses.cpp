// Generated listings for benchmarks.
#include "db/dbtool.h"

bool DbTool_BenchHouses(MYSQL* conn, int nHouses, std::string* err)
{
    (void)conn;
    (void)nHouses;
    if (err)
        *err = "bench house data is not available yet";
    return false;
}
