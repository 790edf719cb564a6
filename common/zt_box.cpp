#include "common/zt_box.h"

static volatile ZT_MSGBOX_HOOK g_boxHook = nullptr;
static thread_local long t_boxes = 0;

long ZT_BoxesShown()
{
    return t_boxes;
}

// The name of the window a box belongs to: the nearest window with a
// caption from the owner upwards (a dialog, a module window, the frame), or
// "Kelmora".  Read without sending messages, so a box shown by a worker
// never waits on a window thread that waits on the worker.
static void OwnerCaption(HWND hOwner, char* out, int cb)
{
    lstrcpynA(out, "Kelmora", cb);
    HWND w = (hOwner && IsWindow(hOwner)) ? hOwner : nullptr;
    for (int depth = 0; w && depth < 32; ++depth) {
        LONG style = GetWindowLongA(w, GWL_STYLE);
        bool child = (style & WS_CHILD) != 0;
        if (!child || (style & WS_CAPTION) == WS_CAPTION) {
            WCHAR text[256];
            int n = InternalGetWindowText(w, text, 256);
            if (n > 0) {
                char name[512];
                int len = WideCharToMultiByte(CP_ACP, 0, text, n, name, sizeof(name) - 1, nullptr, nullptr);
                if (len > 0) {
                    name[len] = 0;
                    lstrcpynA(out, name, cb);
                    return;
                }
            }
        }
        w = child ? GetAncestor(w, GA_PARENT) : GetWindow(w, GW_OWNER);
    }
}

int ZT_MessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uFlags)
{
    ZT_MSGBOX_HOOK hook = g_boxHook;
    t_boxes++;
    if (hook)
        return hook(hOwner, pszText ? pszText : "", pszCaption ? pszCaption : "", uFlags);
    // A box never shows an empty title bar.
    char caption[256];
    if (!pszCaption || !pszCaption[0]) {
        OwnerCaption(hOwner, caption, sizeof(caption));
        pszCaption = caption;
    }
    return MessageBoxA(hOwner, pszText, pszCaption, uFlags);
}

ZT_MSGBOX_HOOK ZT_SetMessageBoxHookLocal(ZT_MSGBOX_HOOK hook)
{
    ZT_MSGBOX_HOOK old = g_boxHook;
    g_boxHook = hook;
    return old;
}
