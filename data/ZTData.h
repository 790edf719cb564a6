// ZTData: the data-access library.  One header per entity family; this one
// offers them all.
#pragma once
#include "data/connection.h"
#include "data/organisation.h"
#include "data/oplog.h"
#include "data/fill.h"
#include "data/area.h"
#include "data/estate.h"
#include "data/param.h"
#include "data/sysopt.h"
#include "data/recycle.h"
#include "data/house.h"
#include "data/client.h"
#include "data/follow.h"
#include "data/remind.h"
#include "data/quote.h"
#include "data/match.h"
