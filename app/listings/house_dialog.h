// The house edit dialog: the add form ("增加房源") and the modify form
// ("修改房源") of the house list window, one dialog procedure and one save.
//
// The boxes and the record are tied by a field table; the drop-down lists
// and the record's values are prepared by jobs (jobs.h) while the dialog
// lays itself out (they read the shared caches and the estate's buildings
// and hand their results back; the window thread puts them into the
// boxes).  Choosing an estate fills its address, urban area, ring zone,
// district and buildings; a building its floors, type, structure and rooms;
// a room its floor; area and prices the averages; the trade its picture.
// Saving checks the boxes in a fixed order (naming the box), then writes
// the house on a worker behind the busy dialog and updates the list
// window's array and grid in place.  The modify form also shows the
// house's follow-ups, the navigator, "看电话(&L)" (telephones are masked
// while the masking option is on) and "写跟进(&W)".
#pragma once
#include "app/shell/module.h"

enum { HDLG_ADD, HDLG_MODIFY };

// Runs the dialog modally over the house window w.  The modify form shows
// the selected house ("请选择数据" and nothing else without one) and
// mirrors the window's follow-up list (may be null), to which the
// follow-ups it writes are added.  Returns IDOK when at least one house was
// saved, IDCANCEL otherwise.
struct FOLLOW_LIST;
INT_PTR HouseDialog_Run(ZT_MODWIN* w, int iForm, FOLLOW_LIST* pFollows);
// The field rights of the dialog's table (W16): each box of a withheld
// right locked or disabled, found among hDlg's descendants.
void HouseDialog_FieldRights(const tagZT_Main_Param* p, HWND hDlg);
