// Internals shared by the loads of houses and clients: the columns a load
// selects and the copy of one row into a record.  The list loads and the
// match loads read the same columns into the same records, so that a record
// from either may be shown, edited and saved alike.
#pragma once
#include "data/db_core.h"
#include "data/client.h"
#include "data/house.h"

// "select" and the house columns, in the order ReadHouse copies them.
enum { HOUSE_COLUMNS = 45 };
void AddHouseColumns(ZDSql& sql);
// Copies a row of those columns into h; with bDays, column 45 (the days
// since the last follow-up) into iDaysUnfollowed.
void ReadHouse(const ZDRow& row, tagHOUSE& h, bool bDays);

// "select" and the client columns, in the order ReadClient copies them.
enum { CLIENT_COLUMNS = 34 };
void AddClientColumns(ZDSql& sql);
// Copies a row of those columns into c and prints its four range texts.
void ReadClient(const ZDRow& row, tagCLIENT& c);
