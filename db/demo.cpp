// The demo data set.
#include "db/dbtool.h"

bool DbTool_Demo(MYSQL* conn, std::string* err)
{
    (void)conn;
    (void)err;
    return true;
}
