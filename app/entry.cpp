#include "app/entry.h"
#include "app/admin/sysopt_dialog.h"
#include "app/listings/remind.h"
#include "app/shell/frame.h"
#include "app/shell/input_controls.h"
#include "app/shell/login.h"
#include "app/shell/sockets.h"
#include "app/shell/startup.h"
#include "app/resources/resource.h"
#include "grid/ZTListview.h"
#include "outside/popedom/ZTPopedom.h"

#include <cstring>

BOOL Entry_StartUpdater()
{
    char path[MAX_PATH + 32];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return FALSE;
    char* slash = strrchr(path, '\\');
    if (!slash)
        return FALSE;
    strcpy(slash + 1, ZT_UPDATER_NAME);

    char cmdLine[2] = "";
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    memset(&pi, 0, sizeof pi);
    if (!CreateProcessA(path, cmdLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return FALSE;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return TRUE;
}

int Kelmora_Main(HINSTANCE hInst)
{
    tagZT_Main_Param* p = &g_ZTMain;
    int sockets = Sockets_Start();
    p->hInst = hInst;

    // A start that fails ends with a non-zero exit code.
    int code = 0;
    if (Startup_RunPhase(p) != 1) {
        code = Startup_ExitCode();
    } else {
        RegisterShellClasses(hInst);
        RegisterInputControls(hInst);
        RegListView();

        if (Login_Run(p) == 1) {
            if (Startup_RunPhase(p) != 1)
                return Startup_ExitCode();

            char caption[51];
            size_t n = strnlen(p->szProduct, 50);
            memcpy(caption, p->szProduct, n);
            caption[n] = 0;
            Frame_SetReminderCheck(Remind_Check);
            Frame_SetOptionsDialog(SysOpt_Run);
            HWND hFrame = CreateWindowExA(0, ZT_CLASS_MAINFRAME, caption, WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                          p->hMainMenu, hInst, nullptr);
            if (!hFrame)
                return 1;
            // The frame owns the boxes from now on, those of the data
            // library (reconnection prompt) included.
            p->hOwner = hFrame;
            p->sql.hOwner = hFrame;
            if (PD_Akst(p->W1, 0, 0, 0) != 0)
                Frame_OpenModule(p, IDM_HOUSE);
            ShowWindow(hFrame, SW_SHOWMAXIMIZED);
            UpdateWindow(hFrame);
            Entry_StartUpdater();

            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                HWND hClient = Frame_MDIClient();
                if (hClient && TranslateMDISysAccel(hClient, &msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            p->hOwner = nullptr;
            p->sql.hOwner = nullptr;
        }
    }

    Startup_Release(p);
    Skin_End();
    if (sockets)
        Sockets_Stop();
    return code;
}
