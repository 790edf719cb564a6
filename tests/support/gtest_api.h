// GoogleTest, included with the Windows macros hidden: the Linux build of the
// framework must see the Linux platform when the test program is a Winelib one.
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
#include <gtest/gtest.h>
#pragma pop_macro("__WIN32__")
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN64")
#pragma pop_macro("_WIN32")
#else
#include <gtest/gtest.h>
#endif
