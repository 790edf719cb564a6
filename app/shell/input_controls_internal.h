// Pieces the input controls share among themselves: the program instance,
// the skin sheet (bitmap 128), the check-box strip and the registration of
// each family of classes.  Not for use outside app/shell/input_*.cpp.
#pragma once
#include "app/shell/input_controls.h"
#include <commctrl.h>

extern HINSTANCE g_ctlInst;

// Skin sheet pieces.  Each falls back to plain drawing when bitmap 128 is
// missing from the program.
void Skin_DrawHighlight(HDC hdc, const RECT& rc);      // stretched to rc
void Skin_DrawDropButton(HDC hdc, const RECT& square); // centred in the square
void Skin_DrawPanelFrame(HDC hdc, const RECT& rc);     // the eight border pieces

// The 55 x 13 check-box strip (clear, ticked, hot clear, hot ticked at
// x 0, 14, 28, 42), copied from bitmap 102 of "res.dll" or drawn when that
// library or bitmap is missing.  The caller owns the bitmap.
HBITMAP CheckStrip_Create();
#define CHECK_IMAGE_SIZE 13
#define CHECK_STRIP_WIDTH 55
#define CHECK_STRIP_HEIGHT 13

// Double-buffered painting: BeginPaint, an off-screen bitmap of the client
// area, and the copy back in Buffer_End.
struct PaintBuffer {
    PAINTSTRUCT ps;
    HDC hdcWin;
    HDC hdc;        // draw here
    HBITMAP bmp;
    HGDIOBJ oldBmp;
    RECT rc;        // the client rectangle
};
void Buffer_Begin(HWND hwnd, PaintBuffer* pb);
void Buffer_End(HWND hwnd, PaintBuffer* pb);

// True when the screen point lies in the window's rectangle (and the
// window is visible).
bool PointInWindow(HWND hwnd, POINT pt);

// The window whose tab order a control belongs to: its dialog, above any
// control containers (child windows with WS_EX_CONTROLPARENT) between them.
HWND TabRoot(HWND hCtl);
// Moves the focus from a control to the next tab stop of that window (the
// previous one with back), as Tab and Shift+Tab do in a dialog.  False when
// there is no other stop.
bool FocusNextTabStop(HWND hCtl, bool back);

// Registers a window class of the controls (COLOR_BTNFACE behind it when
// hbrBack is null); a class already there counts as registered.
BOOL Input_RegisterClass(HINSTANCE hInst, const char* name, WNDPROC proc, UINT style, const char* cursor,
                         HBRUSH hbrBack = nullptr);

// Subclasses an edit box with proc, its old procedure kept in the property
// named prop.  1: done now; 2: the box already has it; 0: no such window.
int Input_Subclass(HWND hEdit, const char* prop, WNDPROC proc);
// Puts the old procedure back (at WM_NCDESTROY) and drops the property.
void Input_Unsubclass(HWND hwnd, const char* prop, WNDPROC old);
// Passes the message on to the old procedure, then selects the box's whole
// text; the old procedure's answer.
LRESULT Input_CallSelectAll(WNDPROC old, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

BOOL RegisterComboClasses(HINSTANCE hInst);
BOOL RegisterDateClasses(HINSTANCE hInst);
BOOL RegisterRoomTypeClasses(HINSTANCE hInst);
BOOL RegisterPanelClasses(HINSTANCE hInst);
