// Driving the input controls as a user would, from inside the test program:
// a host window that records what its controls tell it, real mouse input
// (SendInput, so the low-level hooks see it), posted keys, and reading back
// what is on the screen.
#pragma once
#include "tests/support/test_support.h"
#include "app/shell/input_controls.h"
#include <commctrl.h>

#include <string>
#include <vector>

struct HostEvent {
    UINT msg;       // WM_COMMAND or WM_SPLITTER_MOVED
    int id;
    int code;
    HWND from;
};

// Registers the controls (once) and puts the cursor in a neutral corner.
void Ui_Init();
// Dispatches messages for about ms milliseconds.
void Ui_Pump(int ms = 60);

// A visible top-level window at (x, y) of the given size, activated.
HWND Ui_CreateHost(int x, int y, int w, int h);
// A visible, activated modeless dialog (class "#32770", no controls of its
// own) at (x, y); its WM_COMMANDs are recorded like the host's.  Ui_Pump
// hands every message to the dialog manager first, so Tab, Shift+Tab, Enter
// and Esc act on it as in the program's dialogs.
HWND Ui_CreateDialog(int x, int y, int w, int h);
std::vector<HostEvent>& Ui_Events();
void Ui_ClearEvents();
int Ui_CountCommand(int id, int code);

// Children of the host.
HWND Ui_Child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h, int id, const char* text = "");

// Mouse, in screen coordinates, through SendInput.
void Ui_MouseTo(int x, int y);
void Ui_Click(int x, int y);
void Ui_Press(int x, int y);
void Ui_Release();
// The centre of a window (screen coordinates).
POINT Ui_Centre(HWND hwnd);

// Posted keys: key down and key up (the message loop adds the character).
void Ui_Key(HWND target, UINT vk);
// A key pressed and released on the real keyboard (SendInput), optionally
// with Shift held: it reaches the focused window of the active window.
void Ui_RealKey(UINT vk, bool shift = false);
// The same with a key held (0: none; VK_SHIFT, VK_CONTROL), then pumping
// this thread's messages for ms milliseconds.
void Ui_RealKeyHeld(UINT vk, UINT held, int ms);
void Ui_Type(HWND target, const char* lowerCaseLettersOrDigits);
// Types a text on the real keyboard (SendInput), one key press per
// character: lower-case letters, digits, "-", "/" and blanks.
void Ui_RealType(const char* text);
// A key pressed with Ctrl held (Ctrl+V pastes).
void Ui_RealCtrlKey(UINT vk);
// Puts a text on the clipboard.
void Ui_SetClipboard(const char* text);

std::string Ui_Text(HWND hwnd);
RECT Ui_WindowRect(HWND hwnd);
bool Ui_Visible(HWND hwnd);

// The client area of a window as 0x00RRGGBB pixels.
struct Shot {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[y * w + x]; }
};
Shot Ui_Capture(HWND hwnd);
// The header of a 32-bit top-down picture of w x h pixels.
BITMAPINFO Ui_BitmapInfo(int w, int h);
// A white picture of w x h pixels to draw on (a DIB section in a memory
// device context); Picture() reads what was drawn.
class Canvas {
public:
    Canvas(int w, int h);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return mem_; }
    Shot Picture() const;

private:
    int w_, h_;
    void* bits_ = nullptr;
    HDC mem_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ old_ = nullptr;
};
inline int Red(uint32_t c) { return (c >> 16) & 255; }
inline int Green(uint32_t c) { return (c >> 8) & 255; }
inline int Blue(uint32_t c) { return c & 255; }

// Saves the whole virtual screen as $ZT_TEST_SHOTS/<name>.png; returns the
// path ("" when no folder is set or the picture could not be taken).
std::string Ui_Screenshot(const char* name);

// Finds a visible top-level window of this thread (or of thread tid) by
// class, and by caption when one is given (a null class: any class).
HWND Ui_ThreadWindow(const char* cls, const char* caption = nullptr, DWORD tid = 0);

// Menus: a menu loop reads the mouse itself, so a click into an open menu
// is arranged before it opens.  About 400 ms after this call, the item of
// `menu` with command `cmd` is clicked with the mouse if the menu is open
// (else the menu loop is ended).  Ui_MenuClicked() then says whether it was.
void Ui_ClickMenuItemSoon(HMENU menu, UINT cmd);
bool Ui_MenuClicked();
