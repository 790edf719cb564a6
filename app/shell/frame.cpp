// Placeholder until the main frame lands.
#include "app/shell/frame.h"

BOOL RegisterShellClasses(HINSTANCE) { return TRUE; }
HWND Frame_Window() { return NULL; }
HWND Frame_MDIClient() { return NULL; }
HWND Frame_OpenModule(tagZT_Main_Param*, int) { return NULL; }
