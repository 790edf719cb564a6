// The one header that includes the MySQL/MariaDB client API.
//
// Under Winelib, winegcc defines _WIN32 and maps __stdcall to the Microsoft
// ABI; mysql.h would then declare every client function __stdcall while the
// native Linux library uses the System V ABI.  The client header is therefore
// read with _WIN32 hidden.  A native Windows build includes it as it is.
#pragma once
#include "common/platform.h"

#if defined(__WINE__)
#pragma push_macro("_WIN32")
#pragma push_macro("_WIN64")
#pragma push_macro("WIN32")
#pragma push_macro("__WIN32__")
#undef _WIN32
#undef _WIN64
#undef WIN32
#undef __WIN32__
#include <mysql.h>
#pragma pop_macro("__WIN32__")
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN64")
#pragma pop_macro("_WIN32")
#else
#include <mysql.h>
#endif
