// The skinning library SkinMagic as the system uses it.  It is imported by
// ordinal: a module loads "SkinMagic.dll" and asks for each entry point by
// its number (GetProcAddress(h, MAKEINTRESOURCEA(n))), so that the system
// keeps working, with the platform's look, when the library is absent.
// No result of the library is relied on.
#pragma once
#include "common/platform.h"

#define SKIN_LIBRARY_NAME "SkinMagic.dll"

// Ordinals and their signatures.
#define SKIN_ORD_INIT 1            // start: instance and three zeros
#define SKIN_ORD_EXIT 2            // end
#define SKIN_ORD_LOADRESOURCE 4    // load the skin from a resource of a module
#define SKIN_ORD_HOOKWINDOW 14     // skin a window: (window, window, 0)
#define SKIN_ORD_UNHOOKWINDOW 15   // stop skinning a window
#define SKIN_ORD_DRAWPART 34       // draw a named skin part into a rectangle

typedef int(WINAPI* SKIN_INIT)(HINSTANCE hInstance, LPCSTR pszApp, LPCSTR pszReserved1, LPCSTR pszReserved2);
typedef int(WINAPI* SKIN_EXIT)(void);
typedef int(WINAPI* SKIN_LOADRESOURCE)(HMODULE hModule, LPCSTR pszResource, LPCSTR pszType);
typedef int(WINAPI* SKIN_HOOKWINDOW)(HWND hWnd, HWND hSkinOwner, LPCSTR pszSkinObject);
typedef int(WINAPI* SKIN_UNHOOKWINDOW)(HWND hWnd);
typedef int(WINAPI* SKIN_DRAWPART)(HDC hdc, LPCSTR pszPart, const RECT* prc);

// The stand-in built here also answers, for tests, how many windows are
// hooked into it (exported by name only).
typedef int(WINAPI* SKIN_HOOKEDCOUNT)(void);
#define SKIN_HOOKEDCOUNT_NAME "SkinHookedCount"
