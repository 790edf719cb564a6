// ZTData: how the drop-down fills hand their texts to a list.  A fill calls
// the procedure once per text, in list order; the HWND forms of the fills
// send each text to a window with an "add string" message instead.
#pragma once
#include "common/platform.h"

typedef void (*ZT_FILL_PROC)(void* pCtx, const char* pszText);
