// The login dialog (180) and the change-password dialog (169).
#pragma once
#include "app/shell/main_param.h"

// Login dialog procedure; started with the parameter block, ends with 1 on
// a successful login, 0 on cancel.
INT_PTR CALLBACK LoginDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
// Change-password dialog procedure; started with the parameter block, ends with 0.
INT_PTR CALLBACK ChangePwdDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs the login dialog (no owner); 1 logged in, 0 cancelled.
INT_PTR Login_Run(tagZT_Main_Param* p);
// Runs the change-password dialog owned by hOwner; 0.
INT_PTR Login_RunChangePwd(HWND hOwner, tagZT_Main_Param* p);

// The login check: the branch by name, the employee by name within it, the
// password (at most 16 characters) enciphered and checked by the server.
// On 1 the block holds the branch and employee records and sql.iLoginEmp
// the employee key; 0 is a wrong password, -1 a check that could not be
// made (no connection, server error).  A branch or employee name that
// matches no record is refused with 0 before anything is asked of the server.
int Login_Check(tagZT_Main_Param* p, const char* pszBr, const char* pszEmp, const char* pszPwd);

// Longest password the dialogs accept.
#define ZT_PWD_MAX 16
