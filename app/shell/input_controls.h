// The program's own input controls, shared by every dialog and module window:
//
//   "ZT_CTL_COMBOBOX"      drop-down box (its list is the one shared window
//                          "ZT_CTL_CBB_DROPDOWN")
//   date field             any edit control, made one by DateField_Attach;
//                          its pop-up is the shared month calendar "calendar"
//   room-type field        any edit control, made one by RoomTypeField_Attach;
//                          its pop-up is the shared picker "HouseType"
//   "ZT_CHILD_TPANEL"      filter panel: a framed container
//   "ZT_CTL_HSPLITTER"     horizontal splitter bar (no drag)
//   "ZT_CTL_VSPLITTER"     vertical splitter bar, dragged with the mouse
//
// Everything lives on the window thread.  Dialog templates may name the
// classes as control classes once RegisterInputControls has run.
#pragma once
#include "common/platform.h"

// ---- Private messages ------------------------------------------------------------

// Sent by a vertical splitter to its parent at the end of a drag:
// wParam the splitter's control id, lParam the splitter window.
#define WM_SPLITTER_MOVED   (WM_USER + 210)
// Sent by a room-type field to the shared picker: lParam the field.
#define WM_ROOMTYPE_SHOW    (WM_USER + 1024)

// ---- Drop-down box "ZT_CTL_COMBOBOX" -----------------------------------------------

#define ZT_CLASS_COMBOBOX       "ZT_CTL_COMBOBOX"
#define ZT_CLASS_CBB_DROPDOWN   "ZT_CTL_CBB_DROPDOWN"

// Style bits of the box's window style.
#define ZTCBS_DROPLIST      0x0002  // no edit child: the box draws its text itself
#define ZTCBS_MULTISEL      0x0004  // check box before every item; text "a,b," in list order
#define ZTCBS_NOBUTTON      0x0008  // no drop button; the edit child takes the full width
#define ZTCBS_UPPERCASE     0x0010  // the edit child converts typed letters to upper case
#define ZTCBS_TALLLIST      0x0020  // the open list is always 300 pixels high

// Notifications: WM_COMMAND to the parent, LOWORD(wParam) the control id,
// HIWORD(wParam) the code, lParam the box.
#define ZTCBN_CHOSEN        0x0001  // an item was clicked in the list or set by CB_SETCURSEL (posted);
                                    // Enter on the open list sends only ZTCBN_CHANGE
#define ZTCBN_SETFOCUS      0x0100  // the box (or its edit child) received the focus
#define ZTCBN_KILLFOCUS     0x0200  // the focus left the box
#define ZTCBN_CHANGE        0x0300  // the text changed (set or typed)

// Messages the box accepts:
//   WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, WM_SETFONT, WM_GETFONT
//   CB_ADDSTRING      lParam text                  -> index
//   CB_INSERTSTRING   wParam index, lParam text    -> index (appends past the end)
//   CB_RESETCONTENT
//   CB_SETCURSEL      wParam index: the text becomes that item, ZTCBN_CHOSEN
//                     is posted; an index outside the items changes nothing
//   CB_GETCURSEL      -> index of the first item equal to the text, or CB_ERR
//   CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN
//   CB_LIMITTEXT      wParam limit of the edit child
//   CB_SHOWDROPDOWN   wParam TRUE opens the list, FALSE closes it
//   CB_GETDROPPEDSTATE
// The box holds at most ZTCB_MAX_ITEMS items and a text of ZTCB_MAX_TEXT bytes;
// more is dropped (items) or cut at a whole character (text).
#define ZTCB_MAX_ITEMS      1024
#define ZTCB_MAX_TEXT       1023

// ---- Date field ----------------------------------------------------------------------

#define ZT_CLASS_CALENDAR   "calendar"

// Makes an edit control a date field ("YYYY-MM-DD", typed digits get their
// dashes, a click opens the calendar).  Returns FALSE for a null window.
BOOL DateField_Attach(HWND hEdit);

// ---- Room-type field -----------------------------------------------------------------

#define ZT_CLASS_ROOMTYPE   "HouseType"

// Makes an edit control a room-type field ("rooms/halls/bathrooms"): it never
// takes the focus (Tab and Shift+Tab pass over it to the next and previous
// tab stops; focus given to it by the program moves on to the next one), and
// a click opens the picker.  Returns FALSE for a null window.
BOOL RoomTypeField_Attach(HWND hEdit);

// ---- Filter panel and splitters --------------------------------------------------------

#define ZT_CLASS_TPANEL     "ZT_CHILD_TPANEL"
#define ZT_CLASS_HSPLITTER  "ZT_CTL_HSPLITTER"
#define ZT_CLASS_VSPLITTER  "ZT_CTL_VSPLITTER"

// Leftmost and rightmost x (in the parent) a vertical splitter's drag line
// may reach.
#define ZT_SPLITTER_MIN_X   0
#define ZT_SPLITTER_MAX_X   140

// ---- Start-up --------------------------------------------------------------------------

// Registers every class above with the program's instance (whose bitmap 128
// holds the skin pieces).  Call once on the window thread before any dialog
// or window uses them.  Returns FALSE when a class could not be registered.
BOOL RegisterInputControls(HINSTANCE hInst);

// The shared pop-ups, for windows that need to know whether one is showing
// (null until first created).
HWND InputControls_DropList();
HWND InputControls_Calendar();
HWND InputControls_RoomTypePicker();
