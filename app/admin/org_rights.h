// The grant page of the organisation window: what one user may see and do,
// as the permission value stored for the user (a plain concatenation of
// two-character right codes, enciphered when stored).
//
// One table row per check box of the page, in the order the value is
// composed: a plain right adds its code when ticked; a scoped right (the
// house and client view, add, modify and delete) adds the code of the scope
// its drop-down shows ("本人", "本部", "跨部", "跨店"), and nothing without
// one; a sub-right counts only under its ticked parent ("房源部分修改",
// "客源部分修改"); the two telephone views carry their daily counts, stored
// as 0 when their box is not ticked.  The page itself (dialog 152 on the
// panel 160) is built from the same table: nothing below names a right.
#pragma once
#include "app/shell/main_param.h"

#include <string>

enum { ORG_RIGHTS_MAX = 80, ORG_SCOPES = 4 };
enum { ORG_LIMIT_NONE, ORG_LIMIT_HOUSE, ORG_LIMIT_CLIENT };

struct ORG_RIGHT {
    int id;                  // check box
    const char* pszCaption;
    const char* pszCodes;    // one code, or the four codes of a scoped right
    int idParent;            // the parent box of a sub-right; 0 none
    int iLimit;              // ORG_LIMIT_: the daily count the right carries
    // Place on the page in dialog units: group, position in it, box width.
    int iGroup, x, y, cx;
};
extern const ORG_RIGHT g_orgRights[];
extern const int g_nOrgRights;

// Whether a row is scoped (four codes) and the id of its drop-down.
bool OrgRight_Scoped(const ORG_RIGHT& r);
int OrgRight_ScopeId(const ORG_RIGHT& r);
// The daily count box of a row (0 none).
int OrgRight_CountId(const ORG_RIGHT& r);

// What the page shows, row by row of the table.
struct ORG_GRANT {
    bool ticked[ORG_RIGHTS_MAX];
    int scope[ORG_RIGHTS_MAX];   // scoped rows: 0..3, -1 none
    int32_t iHouMax;             // the counts as shown
    int32_t iCliMax;
};
// Nothing ticked, no scope, counts 0.
void OrgGrant_Clear(ORG_GRANT* g);
// The permission value of the page and the limits to store with it (a
// count whose box is not ticked is 0).
std::string OrgGrant_Compose(const ORG_GRANT& g, int32_t* piCli, int32_t* piHou);
// The page of a permission value (read pair by pair from its start, unknown
// pairs ignored) and its limits: a scoped right shows the widest scope
// present.
void OrgGrant_Parse(const char* pszCodes, int32_t iCli, int32_t iHou, ORG_GRANT* g);

// What a grant changes, by the rights' names: "增加: 房源查看(本部), …;
// 取消: …; 改变: 房源修改 本人→本部, 房源看电话 (20次/天)→(10次/天)", or
// "权限没有改变".
std::string OrgGrant_Describe(const ORG_GRANT& before, const ORG_GRANT& after);

// ---- The panel ------------------------------------------------------------------------
// Dialog 160 under the employee grid: a tab holding the grant page and the
// buttons "全选", "反选 ", "授权", "业务员权限", "经理权限".  Its buttons act on
// the page; "授权" (IDC_PD_GRANT) goes to the panel's parent as a command.

struct ORG_PANEL;
// Creates the panel over hParent (hidden until placed).  Null on failure.
ORG_PANEL* OrgPanel_Create(HWND hParent, tagZT_Main_Param* p);
void OrgPanel_Destroy(ORG_PANEL* panel);
HWND OrgPanel_Window(const ORG_PANEL* panel);
HWND OrgPanel_Page(const ORG_PANEL* panel);
// Height the panel wants, in pixels.
int OrgPanel_Height(const ORG_PANEL* panel);
// Places the panel and shows it.
void OrgPanel_Move(ORG_PANEL* panel, int x, int y, int cx, int cy);
// The presets "业务员权限" and "经理权限" load (deciphered values and limits).
void OrgPanel_SetPresets(ORG_PANEL* panel, const ORG_GRANT& salesman, const ORG_GRANT& manager);
// Shows a grant on the page / reads the page.  Reading refuses a daily count
// that is no number (the box named, the focus on it): FALSE.
void OrgPanel_Show(ORG_PANEL* panel, const ORG_GRANT& g);
BOOL OrgPanel_Read(ORG_PANEL* panel, ORG_GRANT* g);
