// Generated dictionaries for benchmarks.
#include "db/dbtool.h"

bool DbTool_BenchDictionaries(MYSQL* conn, int nEstates, int nParamValues, std::string* err)
{
    (void)conn;
    (void)nEstates;
    (void)nParamValues;
    if (err)
        *err = "bench dictionary data is not available yet";
    return false;
}
