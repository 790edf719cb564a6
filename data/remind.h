// ZTData: dated reminders (t_remind) and their acknowledgements (t_remindDated).
#pragma once
#include "common/platform.h"

// One reminder: 256 bytes.  iCli not 0 makes it a client reminder.
struct tagREMIND {
    int32_t iOrdinal;
    int32_t iBr;             // branch it is addressed to
    int32_t iEmp;            // employee it is addressed to
    int32_t iCli;
    int32_t iHou;
    int32_t iRange;          // audience chosen when it was written
    char dRemind[20];        // the day, "YYYY-MM-DD" (written by inserts, filled by loads)
    char szRemindDay[101];   // the day as loaded from the table
    char szContent[111];     // loads keep at most 99 bytes
};

// Inserts a reminder; on success pRem->iOrdinal is its key.  1 or 0.
ZTDATA_API int FD_Ist_Remind(int iOpEmp, tagREMIND* pRem);
// Today's reminders for an employee of a branch (addressed to the branch or
// to the employee) that the employee has not acknowledged.  With at least one,
// returns the block (rows + 101 zeroed spares, also through *ppRem) and the
// count; with none, null and a count of 0.  A rejected statement returns null
// and leaves the count as it was.  Release with Mem_Free_Remind.
ZTDATA_API tagREMIND* FD_SCT_Remind(tagREMIND** ppRem, int* piCount, int iEmp, int iBr);
// Records that the employee has seen the reminder (not shown to them again).
ZTDATA_API void FD_UPD_Remind(int iEmp, int iRemind);
// Deletes a reminder with its acknowledgements.  1 or 0.
ZTDATA_API int FD_Del_Remind(int iOpEmp, const tagREMIND* pRem);
// Deletes every reminder dated before today.  1 when the server accepted it.
ZTDATA_API int FD_Clear_Remind(int iOpEmp);
// Releases a block from FD_SCT_Remind (null is ignored).
ZTDATA_API void Mem_Free_Remind(tagREMIND* pRem);
