// The client edit dialog: the add form ("增加客源": save and cancel) and the
// modify form ("修改客源": save, reveal telephones, write a follow-up,
// "匹配房源" (the dialog is left as by cancel, then the match window of the
// client opens), cancel, the client's follow-up list and the navigator over the list
// window's grid).  A save checks the boxes, writes the client with
// FD_Ist_Cli / FD_Upd_Cli on a worker behind the busy dialog and puts the
// saved record into the window's block and grid.
#pragma once
#include "app/shell/module.h"
#include "data/ZTData.h"

#include <string>

// Runs the dialog modally over the client window w: the add form when pSel
// is null, else the modify form for that record of w's block.  Returns the
// number of clients saved while it was open.
int ClientDialog_Run(ZT_MODWIN* w, tagCLIENT* pSel);
// The field rights of the dialog's table (W15): each box of a withheld
// right disabled, found among hDlg's descendants.
void ClientDialog_FieldRights(const tagZT_Main_Param* p, HWND hDlg);

// The checks of a save before anything is written, in order: the trade
// chosen, a client name or a contact person, and (when the telephones are
// read from the boxes) a client telephone or a contact telephone.  Returns
// null when the client may be saved, else the message to show; *piCtl is
// the box to put the focus on.
const char* ClientDialog_Check(const char* pszTrade, const char* pszCliMan, const char* pszLinkMan,
                               BOOL bTelsRead, const char* pszCliTel, const char* pszLinkTel, int* piCtl);

// The wanted ranges of a client (purchase and rent budgets, area, bedrooms):
// a range whose both ends are given and whose start is above its end is
// refused.  Returns 0 when all are in order, else the control of the
// range's first box, with the message naming both boxes in *pMsg
// ("「购价(起)」不能大于「购价(止)」").  An end of 0 is not given.
int ClientDialog_CheckRanges(const tagCLIENT* c, std::string* pMsg);

// Prints the four range texts of a client from its numbers ("%d-%d").
void Client_FormatRanges(tagCLIENT* c);
