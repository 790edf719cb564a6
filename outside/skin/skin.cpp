// A small stand-in for the vendor's skinning library: start, load and end
// succeed without doing anything, hooked windows are only marked and counted, and the
// one skin part the grid asks for, "FieldBorder", is drawn as a plain raised
// cell.  Every entry point is safe to call from any thread.
#include "outside/skin/skin.h"
#include <cstring>

static volatile LONG g_hooked = 0;
static const char kHookProp[] = "SkinMagic.Hooked";

extern "C" {

ZTSKIN_API int WINAPI SkinInit(HINSTANCE, LPCSTR, LPCSTR, LPCSTR)
{
    return 1;
}

ZTSKIN_API int WINAPI SkinExit(void)
{
    return 1;
}

ZTSKIN_API int WINAPI SkinLoadResource(HMODULE, LPCSTR, LPCSTR)
{
    return 1;
}

ZTSKIN_API int WINAPI SkinHookWindow(HWND hWnd, HWND, LPCSTR)
{
    if (!hWnd || GetPropA(hWnd, kHookProp))
        return 0;
    if (!SetPropA(hWnd, kHookProp, (HANDLE)1))
        return 0;
    InterlockedIncrement(&g_hooked);
    return 1;
}

ZTSKIN_API int WINAPI SkinUnhookWindow(HWND hWnd)
{
    if (!hWnd || !RemovePropA(hWnd, kHookProp))
        return 0;
    InterlockedDecrement(&g_hooked);
    return 1;
}

ZTSKIN_API int WINAPI SkinDrawPart(HDC hdc, LPCSTR pszPart, const RECT* prc)
{
    if (!hdc || !pszPart || !prc || strcmp(pszPart, "FieldBorder") != 0)
        return 0;
    RECT rc = *prc;
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(hdc, &rc, BDR_RAISEDINNER, BF_RECT);
    return 1;
}

ZTSKIN_API int WINAPI SkinHookedCount(void)
{
    return (int)g_hooked;
}

}
