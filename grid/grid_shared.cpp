// Drawing resources all grids of the process share, and the skin library.
// The first live grid creates them, the last one releases them; one lock of
// the library guards the count.
#include "grid/grid_internal.h"
#include "outside/skin/skin.h"

namespace {

struct SharedLock {
    CRITICAL_SECTION cs;
    SharedLock() { InitializeCriticalSection(&cs); }
};

SharedLock& Lock()
{
    static SharedLock lock;
    return lock;
}

GridShared g_shared;
int g_liveGrids = 0;

HMODULE g_hSkin = nullptr;
SKIN_HOOKWINDOW g_pfnHook = nullptr;
SKIN_UNHOOKWINDOW g_pfnUnhook = nullptr;
SKIN_DRAWPART g_pfnDrawPart = nullptr;

// Loads a library that may be absent, without the system's error box.
HMODULE LoadOptional(const char* name)
{
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE h = LoadLibraryA(name);
    SetErrorMode(oldMode);
    return h;
}

void LoadBitmaps()
{
    HMODULE hRes = LoadOptional("res.dll");
    if (!hRes)
        return;
    g_shared.hFrame = (HBITMAP)LoadImageA(hRes, MAKEINTRESOURCEA(103), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    g_shared.hArrows = (HBITMAP)LoadImageA(hRes, MAKEINTRESOURCEA(102), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    FreeLibrary(hRes);
}

void LoadSkin()
{
    g_hSkin = LoadOptional(SKIN_LIBRARY_NAME);
    if (!g_hSkin)
        return;
    g_pfnHook = (SKIN_HOOKWINDOW)(void*)GetProcAddress(g_hSkin, MAKEINTRESOURCEA(SKIN_ORD_HOOKWINDOW));
    g_pfnUnhook = (SKIN_UNHOOKWINDOW)(void*)GetProcAddress(g_hSkin, MAKEINTRESOURCEA(SKIN_ORD_UNHOOKWINDOW));
    g_pfnDrawPart = (SKIN_DRAWPART)(void*)GetProcAddress(g_hSkin, MAKEINTRESOURCEA(SKIN_ORD_DRAWPART));
}

}  // namespace

void Shared_Acquire()
{
    EnterCriticalSection(&Lock().cs);
    if (g_liveGrids == 0) {
        g_shared.brush[BR_ROW] = CreateSolidBrush(RGB(255, 255, 255));
        g_shared.brush[BR_SEL] = CreateSolidBrush(RGB(251, 228, 214));
        g_shared.brush[BR_DRAG] = CreateSolidBrush(RGB(217, 220, 220));
        g_shared.brush[BR_APPENDED] = CreateSolidBrush(RGB(212, 208, 200));
        g_shared.pen[PEN_BLACK] = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        g_shared.pen[PEN_GRID] = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
        LoadBitmaps();
        LoadSkin();
    }
    g_liveGrids++;
    LeaveCriticalSection(&Lock().cs);
}

void Shared_Release()
{
    EnterCriticalSection(&Lock().cs);
    if (g_liveGrids > 0 && --g_liveGrids == 0) {
        for (HBRUSH& b : g_shared.brush) {
            DeleteObject(b);
            b = nullptr;
        }
        for (HPEN& p : g_shared.pen) {
            DeleteObject(p);
            p = nullptr;
        }
        if (g_shared.hArrows)
            DeleteObject(g_shared.hArrows);
        if (g_shared.hFrame)
            DeleteObject(g_shared.hFrame);
        g_shared.hArrows = g_shared.hFrame = nullptr;
        g_pfnHook = nullptr;
        g_pfnUnhook = nullptr;
        g_pfnDrawPart = nullptr;
        if (g_hSkin)
            FreeLibrary(g_hSkin);
        g_hSkin = nullptr;
    }
    LeaveCriticalSection(&Lock().cs);
}

const GridShared* Shared_Get()
{
    return &g_shared;
}

int Skin_Hook(HWND hWnd)
{
    return g_pfnHook ? g_pfnHook(hWnd, hWnd, nullptr) : 0;
}

int Skin_Unhook(HWND hWnd)
{
    return g_pfnUnhook ? g_pfnUnhook(hWnd) : 0;
}

int Skin_DrawPart(HDC hdc, const char* pszPart, const RECT* prc)
{
    return g_pfnDrawPart ? g_pfnDrawPart(hdc, pszPart, prc) : 0;
}
