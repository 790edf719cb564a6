// The records of the house, client, follow-up and organisation families that
// the recycle lists fill, from their families' headers.
#pragma once
#include "data/client.h"
#include "data/follow.h"
#include "data/house.h"
#include "data/organisation.h"
