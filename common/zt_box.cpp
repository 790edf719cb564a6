#include "common/zt_box.h"

static volatile ZT_MSGBOX_HOOK g_boxHook = nullptr;

int ZT_MessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uFlags)
{
    ZT_MSGBOX_HOOK hook = g_boxHook;
    if (hook)
        return hook(hOwner, pszText ? pszText : "", pszCaption ? pszCaption : "", uFlags);
    return MessageBoxA(hOwner, pszText, pszCaption, uFlags);
}

ZT_MSGBOX_HOOK ZT_SetMessageBoxHookLocal(ZT_MSGBOX_HOOK hook)
{
    ZT_MSGBOX_HOOK old = g_boxHook;
    g_boxHook = hook;
    return old;
}
