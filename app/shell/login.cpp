// Placeholder until the login dialogs land.
#include "app/shell/login.h"

INT_PTR CALLBACK LoginDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK ChangePwdDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
