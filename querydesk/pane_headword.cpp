// The headword pane (tab 1): a dictionary's index in its own order as an owner-data list that
// jumps to the typed word half a second after the last keystroke, beside a viewer of the entry
// chosen.  A group shows its dictionaries first; choosing one opens its index.  The pane's splitter
// bar is the one the contents and condition panes use too.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include <vector>

#include "lexicore.h"
#include "lexshelf.h"
#include "linguakeeper.h"
#include "quickfield.h"
#include "scrivshow.h"
#include "strandkit.h"
#include "uiassets.h"
#include "querydesk_int.h"

namespace {

const int kDefaultSplitter = 180;
const int kEditHeight = 22;
const UINT kJumpTimer = 101;
const UINT kJumpDelay = 500;
const int kMaxTyped = 256;
const DWORD kLastGroupId = 4096;

struct HeadwordPane {
    SearchWindow *sw;
    int splitter;
    Splitter drag;
    HWND list, viewer;
    DicSession *session;
    VLData *data;
    DWORD shown;           // dictionary or group id
    int rows;
};

HeadwordPane *Of(HWND pane) { return (HeadwordPane *)GetWindowLongPtrA(pane, DWLP_USER); }

bool IsGroup(DWORD id) { return id != 0 && id <= kLastGroupId; }

// The session open on the shown dictionary's forward index for one operation; closed again by
// the destructor.
struct OpenIndex {
    HeadwordPane *p;
    bool open = false;
    explicit OpenIndex(HeadwordPane *pane) : p(pane)
    {
        if (!p->session || IsGroup(p->shown) || !p->shown) return;
        if (Lexicore_GetSessionDicId(p->session) == p->shown) return;  // already open for a caller
        if (Lexicore_OpenSession(p->session, p->shown, FALSE)) {
            open = true;
            Lexicore_SelectIndex(p->session, 0);
        } else {
            Lexicore_CloseSession(p->session);  // a failed open may still count
        }
    }
    ~OpenIndex()
    {
        if (open) Lexicore_CloseSession(p->session);
    }
    bool Ready() const { return open || (p->session && p->shown && Lexicore_GetSessionDicId(p->session) == p->shown); }
};

// The row of the typed text in the shown dictionary's index, or -1.
LONG Find(HeadwordPane *p, const char *text)
{
    if (!text || !text[0] || IsGroup(p->shown)) return -1;
    OpenIndex index(p);
    if (!index.Ready()) return -1;
    DicProperty property = {};
    property.size = sizeof property;
    Lexicore_GetDicProperty(p->shown, &property);
    size_t n = strlen(text);
    std::vector<char> key(2 * n + 1 + 16, 0);
    if (!Linguakeeper_ConvertKey(property.language, 4, text, key.data())) lstrcpynA(key.data(), text, (int)key.size());
    LONG position = -1;
    Lexicore_Locate(p->session, key.data(), 0, &position);
    if (position < 0) return -1;
    if (position >= p->rows) position = p->rows - 1;  // past every headword: the last row
    return position;
}

void Layout(HeadwordPane *p, HWND pane)
{
    RECT rc;
    GetClientRect(pane, &rc);
    int s = Splitter_Clamp(p->splitter, rc.right);
    SetWindowPos(GetDlgItem(pane, UIA_IDC_PANE_EDIT), nullptr, 0, 0, s, kEditHeight, SWP_NOZORDER);
    SetWindowPos(p->list, nullptr, 0, kEditHeight + 4, s, rc.bottom - kEditHeight - 4, SWP_NOZORDER);
    ListView_SetColumnWidth(p->list, 0, s - GetSystemMetrics(SM_CXVSCROLL) - 4);
    SetWindowPos(GetDlgItem(pane, UIA_IDC_PANE_SPLITTER), nullptr, s + 4, 0, 2, rc.bottom, SWP_NOZORDER);
    if (p->viewer) SetWindowPos(p->viewer, nullptr, s + 8, 0, rc.right - s - 8, rc.bottom, SWP_NOZORDER);
}

void ShowRow(HeadwordPane *p, int row);

void Choose(HeadwordPane *p, DWORD id, const VLDicGroupInfo *group, LONG row)
{
    p->shown = id;
    bool currentIsGroup = IsGroup(p->sw->currentId);
    if (!IsGroup(id)) {
        EnableWindow(GetDlgItem(GetParent(p->list), UIA_IDC_PANE_BACK), currentIsGroup);
        p->rows = id ? (int)Lexicore_GetEntryCount(id, 0) : 0;
    } else {
        VLDicGroupInfo info = {};
        if (group) info = *group;
        else Lexshelf_GetGroupInfoById(p->sw->currentId, &info);
        p->rows = (int)info.count;
        EnableWindow(GetDlgItem(GetParent(p->list), UIA_IDC_PANE_BACK), FALSE);
    }
    if (p->rows < 0) p->rows = 0;
    ListView_SetItemCountEx(p->list, p->rows, 0);
    if (IsGroup(id) || p->rows == 0) {
        ListView_SetItemState(p->list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        InvalidateRect(p->list, nullptr, TRUE);
        return;
    }
    if (row < 0) row = ListView_GetTopIndex(p->list);
    if (row >= p->rows) row = p->rows - 1;
    ListView_EnsureVisible(p->list, row, FALSE);
    ListView_SetItemState(p->list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    InvalidateRect(p->list, nullptr, TRUE);
}

void ShowRow(HeadwordPane *p, int row)
{
    if (row < 0 || row >= p->rows) return;
    if (IsGroup(p->shown)) {
        DWORD dic = Lexshelf_GetGroupDic(p->shown, row);
        if (dic) Choose(p, dic, nullptr, 0);
        SearchWindow_UpdateTools(p->sw);
        return;
    }
    {
        OpenIndex index(p);
        if (!index.Ready()) return;
        if (VLDataItem *item = Lexicore_GetItem(p->session, row)) {
            if (p->viewer) SendMessageA(p->viewer, 0x405, 0, (LPARAM)item);
            VLDataItem_Destroy(item);
        }
    }
    SearchWindow_UpdateTools(p->sw);
}

// The typed text found: that row selected, focused and made the list's first visible row.
void Jump(HeadwordPane *p, HWND pane)
{
    if (IsGroup(p->shown)) {
        InvalidateRect(p->list, nullptr, TRUE);
        return;
    }
    char text[kMaxTyped + 1] = "";
    SendDlgItemMessageA(pane, UIA_IDC_PANE_EDIT, QFM_GETTEXTEX, sizeof text, (LPARAM)text);
    LONG row = Find(p, text);
    if (row < 0) return;
    ListView_EnsureVisible(p->list, row, FALSE);
    ListView_SetItemState(p->list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(p->list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    RECT found = {}, top = {};
    int first = ListView_GetTopIndex(p->list);
    if (ListView_GetItemRect(p->list, row, &found, LVIR_BOUNDS) && ListView_GetItemRect(p->list, first, &top, LVIR_BOUNDS))
        ListView_Scroll(p->list, 0, found.top - top.top);
}

void DrawRow(HeadwordPane *p, const DRAWITEMSTRUCT *d)
{
    bool selected = (d->itemState & ODS_SELECTED) != 0;
    HDC dc = d->hDC;
    RECT rc = d->rcItem;
    COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int row = (int)d->itemID;  // the row asked for (the latest display-information request names it too)
    if (IsGroup(p->shown)) {
        DicProperty property = {};
        property.size = sizeof property;
        VLDicGroup *group = Lexshelf_FindGroup(p->shown);
        DWORD dic = group ? Lexshelf_GroupGetDic(group, row) : 0;
        if (dic && Lexicore_GetDicProperty(dic, &property)) {
            RECT r = rc;
            r.left += 2;
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, text);
            HGDIOBJ old = SelectObject(dc, Station_Get()->guiFont ? (HGDIOBJ)Station_Get()->guiFont : GetStockObject(DEFAULT_GUI_FONT));
            DrawTextA(dc, property.name, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
            SelectObject(dc, old);
        }
    } else {
        OpenIndex index(p);
        VLDataItem *item = index.Ready() ? Lexicore_GetItem(p->session, row) : nullptr;
        if (item) {
            char second[261] = "";
            if (item->second && item->secondLen > 0)
                lstrcpynA(second, item->second, item->secondLen + 1 < (LONG)sizeof second ? item->secondLen + 1 : (int)sizeof second);
            SIZE size = {};
            Strandkit_FitTaggedText(dc, rc.right - rc.left - 4, second, 3, &size, nullptr);
            Strandkit_DrawTaggedText(dc, rc.left + 2, rc.top + (rc.bottom - rc.top - size.cy) / 2, second, -1, text);
            VLDataItem_Destroy(item);
        }
    }
    if (GetFocus() == p->list && (d->itemState & ODS_FOCUS)) DrawFocusRect(dc, &rc);
}

LRESULT OnNotify(HeadwordPane *p, NMHDR *h)
{
    if (h->hwndFrom != p->list) return 0;
    switch (h->code) {
    case LVN_ODFINDITEMA: {
        NMLVFINDITEMA *f = (NMLVFINDITEMA *)h;
        if (!(f->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL))) return -1;
        return Find(p, f->lvfi.psz);
    }
    case LVN_ITEMCHANGED: {
        NMLISTVIEW *v = (NMLISTVIEW *)h;
        if ((v->uNewState & LVIS_SELECTED) && !(v->uOldState & LVIS_SELECTED) && v->iItem >= 0) ShowRow(p, v->iItem);
        return 0;
    }
    case NM_CLICK: {
        NMITEMACTIVATE *a = (NMITEMACTIVATE *)h;
        if (a->iItem >= 0) ShowRow(p, a->iItem);
        return 0;
    }
    }
    return 0;
}

INT_PTR CALLBACK Proc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    HeadwordPane *p = Of(pane);
    if (message == WM_INITDIALOG) {
        p = (HeadwordPane *)lParam;
        SetWindowLongPtrA(pane, DWLP_USER, (LONG_PTR)p);
        p->list = GetDlgItem(pane, UIA_IDC_PANE_INDEX);
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        ListView_InsertColumn(p->list, 0, &column);
        ListView_SetExtendedListViewStyle(p->list, LVS_EX_FULLROWSELECT);
        p->viewer = Scrivshow_CreateViewer(WS_EX_CLIENTEDGE, 0x50210000, 0, 0, 10, 10, pane, QUERYDESK_ID_VIEWER);
        SendDlgItemMessageA(pane, UIA_IDC_PANE_EDIT, QFM_SETCHARSET, Strandkit_GetUiCharset(), 0);
        return FALSE;
    }
    if (!p) return FALSE;
    if (Splitter_Handle(&p->drag, pane, message, wParam, lParam, &p->splitter)) {
        if (message == WM_LBUTTONUP) Layout(p, pane);
        return TRUE;
    }
    switch (message) {
    case WM_SIZE:
        Layout(p, pane);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == UIA_IDC_PANE_EDIT && HIWORD(wParam) == EN_CHANGE) SetTimer(pane, kJumpTimer, kJumpDelay, nullptr);
        if (LOWORD(wParam) == UIA_IDC_PANE_BACK) SendMessageA(pane, QUERYDESK_SET_CURRENT, p->sw->currentId, 0);
        return TRUE;
    case WM_TIMER:
        if (wParam == kJumpTimer) {
            KillTimer(pane, kJumpTimer);
            Jump(p, pane);
        }
        return TRUE;
    case WM_NOTIFY:
        return Pane_Answer(pane, OnNotify(p, (NMHDR *)lParam));
    case WM_DRAWITEM:
        if (wParam == UIA_IDC_PANE_INDEX) DrawRow(p, (const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case QUERYDESK_SET_CURRENT:
        Choose(p, (DWORD)wParam, (const VLDicGroupInfo *)lParam, -1);
        return Pane_Answer(pane, 1);
    case PANE_SET_SPLITTER:
        p->splitter = (int)wParam;
        Layout(p, pane);
        return TRUE;
    case PANE_GET_SPLITTER:
        return Pane_Answer(pane, p->splitter);
    case WM_DESTROY:
        KillTimer(pane, kJumpTimer);
        if (p->viewer) DestroyWindow(p->viewer);
        p->viewer = nullptr;
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(pane, DWLP_USER, 0);
        if (p->session) Lexicore_DestroySession(p->session);
        if (p->data) VLData_Destroy(p->data);
        delete p;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND HeadwordPane_Create(SearchWindow *sw)
{
    HeadwordPane *p = new HeadwordPane{};
    p->sw = sw;
    p->splitter = kDefaultSplitter;
    p->session = Lexicore_CreateSession();
    p->data = VLData_Create(0, 0, nullptr, 0, nullptr);
    HWND pane = CreateDialogParamA(Station_Get()->assets, MAKEINTRESOURCEA(UIA_IDD_PANE_HEADWORDS), sw->owner, Proc,
                                   (LPARAM)p);
    if (!pane) {
        if (p->session) Lexicore_DestroySession(p->session);
        if (p->data) VLData_Destroy(p->data);
        delete p;
    }
    return pane;
}

// ---- Splitter bar (headword, contents and condition panes) --------------------------------------
int Splitter_Clamp(int position, int width)
{
    if (position > width - 30) position = width - 30;
    if (position < 30) position = 30;
    return position;
}

namespace {
void InvertBar(HWND pane, int x)
{
    RECT rc;
    GetClientRect(pane, &rc);
    HDC dc = GetDC(pane);
    HGDIOBJ old = SelectObject(dc, Station_Get()->halftone ? (HGDIOBJ)Station_Get()->halftone : GetStockObject(GRAY_BRUSH));
    PatBlt(dc, x, 0, 3, rc.bottom, PATINVERT);
    SelectObject(dc, old);
    ReleaseDC(pane, dc);
}

bool OverSplitter(HWND pane, LPARAM lParam)
{
    HWND bar = GetDlgItem(pane, UIA_IDC_PANE_SPLITTER);
    if (!bar) return false;
    RECT rc;
    GetWindowRect(bar, &rc);
    MapWindowPoints(nullptr, pane, (POINT *)&rc, 2);
    int x = (short)LOWORD(lParam);
    return x >= rc.left - 3 && x < rc.right + 3;
}
}  // namespace

bool Splitter_Handle(Splitter *s, HWND pane, UINT message, WPARAM wParam, LPARAM lParam, int *position)
{
    RECT rc;
    GetClientRect(pane, &rc);
    int x = (short)LOWORD(lParam);
    x = Splitter_Clamp(x, rc.right);
    switch (message) {
    case WM_SETCURSOR:
        if ((HWND)GetDlgItem(pane, UIA_IDC_PANE_SPLITTER) == (HWND)0) return false;
        {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(pane, &pt);
            if (!s->dragging && !OverSplitter(pane, MAKELPARAM(pt.x, pt.y))) return false;
        }
        SetCursor(Station_Get()->splitCursor ? Station_Get()->splitCursor : LoadCursor(nullptr, IDC_SIZEWE));
        SetWindowLongPtrA(pane, DWLP_MSGRESULT, TRUE);
        return true;
    case WM_LBUTTONDOWN:
        if (!OverSplitter(pane, lParam)) return false;
        s->dragging = true;
        SetCapture(pane);
        SetWindowLongA(pane, GWL_STYLE, GetWindowLongA(pane, GWL_STYLE) & ~WS_CLIPCHILDREN);
        s->bar = x;
        InvertBar(pane, s->bar);
        return true;
    case WM_MOUSEMOVE:
        if (!s->dragging) return false;
        if (!(wParam & MK_LBUTTON)) return true;  // the pointer's own place sent when a capture ends
        InvertBar(pane, s->bar);
        s->bar = x;
        InvertBar(pane, s->bar);
        return true;
    case WM_LBUTTONUP:
        if (!s->dragging) return false;
        InvertBar(pane, s->bar);
        s->dragging = false;
        ReleaseCapture();
        SetWindowLongA(pane, GWL_STYLE, GetWindowLongA(pane, GWL_STYLE) | WS_CLIPCHILDREN);
        *position = s->bar;
        return true;
    }
    return false;
}
