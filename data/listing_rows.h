// Internals shared by the loads of houses and clients: the columns a load
// selects and the copy of one row into a record.  The list loads and the
// match loads read the same columns into the same records, so that a record
// from either may be shown, edited and saved alike.
#pragma once
#include "data/db_core.h"
#include "data/client.h"
#include "data/house.h"

// "select" and the house columns, in the order ReadHouse copies them.
void AddHouseColumns(ZDSql& sql);
// Copies a row of those columns into h; with bDays, the column after them
// (the days since the last follow-up) into iDaysUnfollowed.  Returns the
// index of the first column it did not read.
unsigned int ReadHouse(const ZDRow& row, tagHOUSE& h, bool bDays);

// "select" and the client columns, in the order ReadClient copies them.
void AddClientColumns(ZDSql& sql);
// Copies a row of those columns into c and prints its four range texts.
// Returns the index of the column after them.
unsigned int ReadClient(const ZDRow& row, tagCLIENT& c);
