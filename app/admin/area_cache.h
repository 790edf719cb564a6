// The shared area cache of the parameter block (cities, urban areas and
// districts loaded at start-up) kept in step with the database by the area
// window, in place, so that every form and window reading it sees a change
// at once.  Window thread only.
//
// Each array has room for its count plus a spare counter of records (101
// after loading).  An added urban area or district takes the first free slot
// (key 0) among count plus spare: count up, spare down; a deleted one is
// zeroed: count down, spare up, so free slots may lie between live records
// and readers walk count plus spare (Cache_UrbanSlots, Cache_DistrictSlots).
// Grids and look-ups keep pointers into those two arrays, so their records
// never move.  Cities stay packed in their first nCity slots: no one keeps a
// pointer to a city, and a deleted city's slot is closed up.
#pragma once
#include "app/shell/main_param.h"

// The live record with that key, or null (key 0 finds nothing).
tagCITY* AreaCache_City(tagZT_Main_Param* p, int iKey);
tagURBAN* AreaCache_Urban(tagZT_Main_Param* p, int iKey);
tagDISTRICT* AreaCache_District(tagZT_Main_Param* p, int iKey);

// Lists a record just stored in the database (its key set): the slot it
// took, or null when the array has no free slot left (nothing changes).
tagCITY* AreaCache_AddCity(tagZT_Main_Param* p, const tagCITY* pCity);
tagURBAN* AreaCache_AddUrban(tagZT_Main_Param* p, const tagURBAN* pUrban);
tagDISTRICT* AreaCache_AddDistrict(tagZT_Main_Param* p, const tagDISTRICT* pDist);

// Takes the record with that key out: FALSE when it is not listed.
BOOL AreaCache_RemoveCity(tagZT_Main_Param* p, int iKey);
BOOL AreaCache_RemoveUrban(tagZT_Main_Param* p, int iKey);
BOOL AreaCache_RemoveDistrict(tagZT_Main_Param* p, int iKey);

// After a merge of urban area iSource into iTarget: the districts and the
// estates of the shared estate list that belonged to iSource belong to
// iTarget.  Returns the number of districts moved.
int AreaCache_MoveUrban(tagZT_Main_Param* p, int iSource, int iTarget);
