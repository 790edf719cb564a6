// Where the library's error log "errlog.log" lies.  By default it is the
// file of that name in the current folder; a program that names its
// folders (ZTData_SetErrorLogFolders) gets the first one in which the file
// can be opened for appending.
#pragma once
#include "common/platform.h"

// Opens the error log for appending (the file is made when missing), trying
// the folders in order; INVALID_HANDLE_VALUE when none can be written.
// Remembers which file was opened for ZTData_ErrorLogPath.
HANDLE ErrorLog_Open();
