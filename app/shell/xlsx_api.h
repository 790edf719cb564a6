// The one header that includes libxlsxwriter, the library the exports write
// Excel workbooks with, and what differs between the two builds around it.
//
// Under Winelib the library is the system's native Linux one: its headers
// are read with _WIN32 hidden (they would otherwise take the Windows
// branches of their zip and file helpers), and the file name handed to it
// must be the Unix name of the file the save dialog chose.  A native Windows
// build links the library built for Windows and hands the name as it is.
#pragma once
#include "common/platform.h"

#include <cstring>
#include <string>

#if defined(__WINE__)
#pragma push_macro("_WIN32")
#pragma push_macro("_WIN64")
#pragma push_macro("WIN32")
#pragma push_macro("__WIN32__")
#undef _WIN32
#undef _WIN64
#undef WIN32
#undef __WIN32__
#include <xlsxwriter.h>
#pragma pop_macro("__WIN32__")
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN64")
#pragma pop_macro("_WIN32")
#else
#include <xlsxwriter.h>
#endif

// The name libxlsxwriter opens for a file the program names with a Windows
// path (in the ANSI code page).  Empty when there is none.
inline std::string Xlsx_FileName(const char* pszPath)
{
#if defined(__WINE__)
    WCHAR wide[MAX_PATH * 2];
    if (!pszPath || !MultiByteToWideChar(CP_ACP, 0, pszPath, -1, wide, MAX_PATH * 2))
        return std::string();
    char* unixName = wine_get_unix_file_name(wide);
    if (!unixName)
        return std::string();
    std::string name(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return name;
#else
    return pszPath ? std::string(pszPath) : std::string();
#endif
}
