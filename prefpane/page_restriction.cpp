// The restriction page (template 214) over the capture restriction list: the area switches and
// the applications in which nothing is looked up (a multiple-selection list drawn with their
// descriptions; selected = excluded).
#include "prefpane_int.h"

#include <string.h>

#include "rowkit.h"
#include "uiassets.h"

namespace {

const int kSwitchCount = 6;
// The switches in record order (EnableAreaSelection, Button, ListBox, DialogBox, Menu,
// EnableApplicationList) and their check boxes.
const int kSwitchControls[kSwitchCount] = {UIA_IDC_RS_AREAS,  UIA_IDC_RS_BUTTON, UIA_IDC_RS_LISTBOX,
                                           UIA_IDC_RS_DIALOGBOX, UIA_IDC_RS_MENU,
                                           UIA_IDC_RS_APPLICATIONS};
const int kAreaControls[4] = {UIA_IDC_RS_MENU, UIA_IDC_RS_LISTBOX, UIA_IDC_RS_DIALOGBOX,
                              UIA_IDC_RS_BUTTON};

int *Switch(RestrictionList *list, int i)
{
    int *switches[kSwitchCount] = {&list->EnableAreaSelection, &list->Button,    &list->ListBox,
                                   &list->DialogBox,           &list->Menu,      &list->EnableApplicationList};
    return switches[i];
}

// What the page's controls say: the six switches and, per entry, whether it is selected.
struct Snapshot {
    int switches[kSwitchCount];
    int count;
    int *selected;
};

void FreeSnapshot(Snapshot *s)
{
    if (s->selected) LocalFree(s->selected);
    memset(s, 0, sizeof *s);
}

bool TakeSnapshot(HWND page, const RestrictionList *list, Snapshot *out)
{
    memset(out, 0, sizeof *out);
    for (int i = 0; i < kSwitchCount; ++i) {
        int on = Pp_GetCheck(page, kSwitchControls[i]);
        out->switches[i] = on >= 0 ? on : *Switch((RestrictionList *)list, i);
    }
    HWND box = GetDlgItem(page, UIA_IDC_RS_LIST);
    out->count = Rowkit_GetCount(list->Applications);
    out->selected = (int *)LocalAlloc(LPTR, sizeof(int) * (out->count + 1));
    if (!out->selected) return false;
    for (int i = 0; i < out->count; ++i) {
        const RestrictionEntry *e = (const RestrictionEntry *)Rowkit_GetItem(list->Applications, i);
        out->selected[i] = box ? SendMessageA(box, LB_GETSEL, i, 0) > 0 : e && e->Excluded != 0;
    }
    return true;
}

bool SameSnapshot(const Snapshot *a, const Snapshot *b)
{
    return memcmp(a->switches, b->switches, sizeof a->switches) == 0 && a->count == b->count &&
           memcmp(a->selected, b->selected, sizeof(int) * a->count) == 0;
}

Snapshot *Baseline(PpPage *p) { return (Snapshot *)p->extra; }

void EnableControls(HWND page)
{
    int areas = Pp_GetCheck(page, UIA_IDC_RS_AREAS) == 1;
    for (int id : kAreaControls) Pp_Enable(page, id, areas);
    Pp_Enable(page, UIA_IDC_RS_LIST, Pp_GetCheck(page, UIA_IDC_RS_APPLICATIONS) == 1);
}

void Fill(HWND page, PpPage *p)
{
    RestrictionList *list = (RestrictionList *)p->record;
    for (int i = 0; i < kSwitchCount; ++i) Pp_SetCheck(page, kSwitchControls[i], *Switch(list, i) != 0);
    if (HWND box = GetDlgItem(page, UIA_IDC_RS_LIST)) {
        SendMessageA(box, LB_RESETCONTENT, 0, 0);
        int count = Rowkit_GetCount(list->Applications);
        for (int i = 0; i < count; ++i) {
            const RestrictionEntry *e = (const RestrictionEntry *)Rowkit_GetItem(list->Applications, i);
            SendMessageA(box, LB_ADDSTRING, 0, i);   // item data: the entry's index
            SendMessageA(box, LB_SETSEL, e && e->Excluded != 0, i);
        }
        SendMessageA(box, LB_SETTOPINDEX, 0, 0);
    }
    EnableControls(page);
    p->extra = LocalAlloc(LPTR, sizeof(Snapshot));
    if (p->extra) TakeSnapshot(page, list, Baseline(p));
}

int HasChanges(HWND page, PpPage *p)
{
    if (!p->extra) return 0;
    Snapshot now;
    bool taken = TakeSnapshot(page, (RestrictionList *)p->record, &now);
    int changed = taken && !SameSnapshot(&now, Baseline(p));
    FreeSnapshot(&now);
    return changed;
}

// Puts the changed switches and the changed entries (found by class name) into target.
void MergeInto(RestrictionList *target, const RestrictionList *shown, const Snapshot *baseline,
               const Snapshot *edited)
{
    for (int i = 0; i < kSwitchCount; ++i)
        if (edited->switches[i] != baseline->switches[i]) *Switch(target, i) = edited->switches[i];
    for (int i = 0; i < edited->count; ++i) {
        if (edited->selected[i] == baseline->selected[i]) continue;
        int at;
        const char *key = Rowkit_GetKey(shown->Applications, i);
        if (!key || !Rowkit_Find(target->Applications, -1, key, &at)) continue;
        RestrictionEntry *e = (RestrictionEntry *)Rowkit_GetItem(target->Applications, at);
        if (e) e->Excluded = edited->selected[i] ? 1 : 0;
    }
}

// Saves the list as stored now with the user's changes; the file is replaced whole or not at all
// (Prefstore_SaveRestrictions), so a failed write leaves the old file.  1 when something changed.
int Apply(HWND page, PpPage *p)
{
    RestrictionList *shown = (RestrictionList *)p->record;
    if (!p->extra) return 0;
    Snapshot edited;
    if (!TakeSnapshot(page, shown, &edited) || SameSnapshot(&edited, Baseline(p))) {
        FreeSnapshot(&edited);
        return 0;
    }
    RestrictionList *stored = Prefstore_LoadRestrictions();
    MergeInto(stored, shown, Baseline(p), &edited);
    Prefstore_SaveRestrictions(stored);
    Prefstore_FreeRestrictions(stored);
    MergeInto(shown, shown, Baseline(p), &edited);   // the page shows what was saved
    FreeSnapshot(Baseline(p));
    *Baseline(p) = edited;
    return 1;
}

void DrawItem(HWND page, PpPage *p, const DRAWITEMSTRUCT *draw)
{
    if (draw->itemID == (UINT)-1) return;
    const RestrictionList *list = (const RestrictionList *)p->record;
    const RestrictionEntry *e = (const RestrictionEntry *)Rowkit_GetItem(list->Applications, (int)draw->itemData);
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    bool enabled = IsWindowEnabled(draw->hwndItem) != 0;
    FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    COLORREF text = !enabled ? GetSysColor(COLOR_GRAYTEXT)
                             : GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    COLORREF oldText = SetTextColor(draw->hDC, text);
    int oldMode = SetBkMode(draw->hDC, TRANSPARENT);
    RECT r = draw->rcItem;
    r.left += 2;
    if (e)
        DrawTextA(draw->hDC, e->Description, -1, &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(draw->hDC, oldMode);
    SetTextColor(draw->hDC, oldText);
    if (draw->itemState & ODS_FOCUS) DrawFocusRect(draw->hDC, &draw->rcItem);
    (void)page;
}

INT_PTR Message(HWND page, PpPage *p, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DRAWITEM && wParam == UIA_IDC_RS_LIST) {
        DrawItem(page, p, (const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == UIA_IDC_RS_AREAS || LOWORD(wParam) == UIA_IDC_RS_APPLICATIONS)) {
        EnableControls(page);
        InvalidateRect(GetDlgItem(page, UIA_IDC_RS_LIST), nullptr, TRUE);
        return TRUE;
    }
    return FALSE;
}

void Release(PpPage *p)
{
    if (p->extra) {
        FreeSnapshot(Baseline(p));
        LocalFree(p->extra);
        p->extra = nullptr;
    }
}

void *LoadList(void) { return Prefstore_LoadRestrictions(); }
void FreeList(void *list) { Prefstore_FreeRestrictions((RestrictionList *)list); }

}  // namespace

const PpPageClass kRestrictionPage = {
    UIA_IDD_OPT_RESTRICTION, UIA_IDS_PAGE_RESTRICTION, 10009, 0, 0,
    0, nullptr, 0, nullptr, nullptr, LoadList, FreeList,
    Fill, nullptr, Message, HasChanges, Apply, nullptr, Release,
};
