// Placeholder until the permission checks land: everything allowed.
#include "app/shell/rights.h"

BOOL Rights_MayOpen(const tagZT_Main_Param*, int) { return TRUE; }
void ApplyMenuRights(tagZT_Main_Param*) {}
