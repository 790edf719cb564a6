// The login dialog (180) and the change-password dialog (169).
#pragma once
#include "app/shell/main_param.h"

// Login dialog procedure; started with the parameter block, ends with 1 on
// a successful login, 0 on cancel.
INT_PTR CALLBACK LoginDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
// Change-password dialog procedure; started with the parameter block, ends with 0.
INT_PTR CALLBACK ChangePwdDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
