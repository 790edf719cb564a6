// A record restored from the recycle bin back in the shared caches of the
// parameter block that hold its kind, so that every window finds it as it
// finds a record that was never deleted: an estate in the shared estate
// list, a branch or an employee in the shared branch and employee lists, a
// city or an urban area in the area cache.  Houses, clients, positions and
// follow-ups have no shared cache: the windows list them from the database.
#pragma once
#include "app/shell/main_param.h"

// What the caches need of a restored object, read after the restore.
struct RECY_RESTORED {
    int iType;           // object type (0 house ... 8 client follow-up)
    BOOL bRead;          // the record below was read (types with a cache)
    tagESTATE est;       // an estate in full
    tagBRLIST br;        // a branch with its number prefixes
    tagEMPLIST emp;      // an employee
    tagURBAN urban;      // an urban area with its city ...
    tagCITY city;        // ... or a city (bCity)
    BOOL bCity;
};

// Worker: reads the record of the object with key iKey of type iType that
// the caches take (an employee is taken as the recycle list gave it, pEmp).
void RecyCaches_Read(int iType, int iKey, const tagEMPLIST* pEmp, RECY_RESTORED* out);
// Window thread: puts it into the caches of its kind (through their write
// side, which tells every window).  FALSE when a cache has no free slot left
// (the record is in the database; the caches show it from the next start).
BOOL RecyCaches_Put(tagZT_Main_Param* p, const RECY_RESTORED* r);
