// The one place that knows how the system's modules are built: the export
// macros of the shared libraries and the few toolchain differences between a
// native Windows build and the Winelib build.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <cstdint>

#if defined(__WINE__)
// Winelib: an ELF module whose export table is read off the objects; the
// exported functions are the ones with default visibility.
#define ZT_EXPORT __attribute__((visibility("default")))
#define ZT_IMPORT
#elif defined(__MINGW32__)
// MinGW: the export table comes from the dllexport declarations.  Callers
// need no dllimport: the linker reaches the functions through the module's
// import library, and a program may also link a module's objects directly.
#define ZT_EXPORT __declspec(dllexport)
#define ZT_IMPORT
#else
#define ZT_EXPORT __declspec(dllexport)
#define ZT_IMPORT __declspec(dllimport)
#endif

#if defined(ZTDATA_BUILD)
#define ZTDATA_API ZT_EXPORT
#else
#define ZTDATA_API ZT_IMPORT
#endif

#if defined(ZTLISTVIEW_BUILD)
#define ZTLV_API ZT_EXPORT
#else
#define ZTLV_API ZT_IMPORT
#endif

#if defined(ZTPOPEDOM_BUILD)
#define ZTPD_API ZT_EXPORT
#else
#define ZTPD_API ZT_IMPORT
#endif

#if defined(ZTSKIN_BUILD)
#define ZTSKIN_API ZT_EXPORT
#else
#define ZTSKIN_API ZT_IMPORT
#endif
