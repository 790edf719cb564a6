// The library's internal writers, exported for the test programs only: the
// program reaches them through the operations that call them.
#pragma once
#include "common/platform.h"

ZTDATA_API void ZTData_TestWriteOpLog(int iOpEmp, int iObjType, int iObjID, int iAct);
ZTDATA_API int ZTData_TestWriteRecycleEntry(int iOpEmp, int iObjID, int iObjType);
// Restarts the liveness timer with another period (the program's is one
// minute), so tests can watch the timer thread ping and reconnect.
ZTDATA_API void ZTData_TestSetLivenessPeriod(UINT uMilliseconds);
// The server's counters of the library's own session: statements
// (Questions) and connection checks (Com_admin_commands, which counts the
// pings).  The reading is a statement itself and counts once in the next
// reading.  0 when they could not be read (no connection check is made).
ZTDATA_API int ZTData_TestSessionCounts(long* pStatements, long* pPings);
