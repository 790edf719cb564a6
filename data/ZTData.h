// ZTData: the data-access library.  One header per entity family; this one
// offers them all.
#pragma once
#include "data/connection.h"
#include "data/organisation.h"
#include "data/oplog.h"
