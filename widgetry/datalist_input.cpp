// The data list's input: the subclassed list view (clicks, keys, mouse tracking, focus), the
// notices of the list view and its header (selection changes, sorting by column, natural column
// widths).
#include "widgetry.h"
#include "widgetry_int.h"

#include <stdlib.h>

static const UINT_PTR kSubclassId = 0x57444C;   // any number of our own

static bool IsMain(int kind)
{
    return kind == ROW_OPEN || kind == ROW_FOLDED;
}

static int KindOfRow(const DataList *dl, int row)
{
    int index = DataList_RowIndex(dl, row);
    return index < 0 ? -1 : dl->rows[index].kind;
}

static void TellSize(DataList *dl)
{
    RECT rc;
    GetWindowRect(dl->window, &rc);
    SendMessageA(GetParent(dl->window), VLDLN_SIZE, MAKEWPARAM(rc.right - rc.left, rc.bottom - rc.top), 0);
}

// A drop-down list's choice: the parent hears WM_EXITMENULOOP(1, 0), the row is chosen and the
// list hides.
static void ChooseFromDropDown(DataList *dl, int row, int how)
{
    if (dl->inMenuLoop) {
        dl->inMenuLoop = false;
        SendMessageA(GetParent(dl->window), WM_EXITMENULOOP, 1, 0);
    }
    DataList_SelectAlone(dl, row);
    DataList_Choose(dl, row, how);
    DataList_CloseDropDown(dl, true);
}

// ---- Mouse -------------------------------------------------------------------------------------

// The fold box of a main row: x 4 to 13 around the row's middle, widened by 3 pixels each side.
static bool InFoldBox(const DataList *dl, int row, POINT pt)
{
    RECT rc = {};
    rc.left = LVIR_BOUNDS;
    if (!SendMessageA(dl->view, LVM_GETITEMRECT, row, (LPARAM)&rc)) return false;
    int middle = (rc.top + rc.bottom) / 2, x = pt.x - rc.left;
    return x >= 4 - 3 && x <= 13 + 3 && abs(pt.y - middle) <= 5 + 3;
}

static int RowAt(const DataList *dl, POINT pt)
{
    LVHITTESTINFO hit = {};
    hit.pt = pt;
    int row = (int)SendMessageA(dl->view, LVM_HITTEST, 0, (LPARAM)&hit);
    return (hit.flags & LVHT_ONITEM) ? row : -1;
}

// Handles a button press on a row; false when the list view's own handling should run.
static bool OnButtonDown(DataList *dl, POINT pt, bool doubleClick, bool *chooseAfter)
{
    int row = RowAt(dl, pt);
    *chooseAfter = false;
    if (row < 0) return false;
    int kind = KindOfRow(dl, row);
    if (IsMain(kind) && (doubleClick || InFoldBox(dl, row, pt) || dl->popup)) {
        DataList_ToggleGroup(dl, row);
        return true;
    }
    if (dl->popup) {
        ChooseFromDropDown(dl, row, doubleClick ? 1 : 0);
        return true;
    }
    *chooseAfter = !doubleClick && !dl->clickNoChoose;
    return false;
}

static void OnMouseMove(DataList *dl, POINT pt)
{
    if (dl->style & VLDLS_ROWLIMIT) {
        RECT rc;
        GetWindowRect(dl->window, &rc);
        POINT screen = pt;
        ClientToScreen(dl->view, &screen);
        bool inside = PtInRect(&rc, screen) != 0;
        if (inside && GetCapture() != dl->view) SetCapture(dl->view);
        else if (!inside && GetCapture() == dl->view) ReleaseCapture();
    }
    if (dl->popup) {
        int row = RowAt(dl, pt);
        if (row >= 0) {
            if (!(SendMessageA(dl->view, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED))
                DataList_SelectAlone(dl, row);
        } else {
            LVITEMA lv = {};
            lv.stateMask = LVIS_SELECTED;
            SendMessageA(dl->view, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&lv);
        }
    }
}

// ---- Keys --------------------------------------------------------------------------------------

static int MoveFrom(const DataList *dl, int row, int move)
{
    std::vector<RowSight> sights = DataList_Sights(dl);
    return Rows_MoveTarget(sights.data(), (int)sights.size(), row, move);
}

// The row a key moves to: -2 for a key left to the list view, -1 for a key consumed without a
// move, else the new row.
static int KeyTarget(DataList *dl, WPARAM key, int row)
{
    bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    bool single = !(dl->style & VLDLS_MULTISELECT);
    int kind = KindOfRow(dl, row);
    switch (key) {
    case VK_UP:
    case VK_DOWN: {
        bool down = key == VK_DOWN;
        if (row < 0) return -2;
        if (control) return MoveFrom(dl, row, down ? VLDL_MOVE_NEXTDIC : VLDL_MOVE_PREVDIC);
        if (shift && single) return MoveFrom(dl, row, down ? VLDL_MOVE_NEXTMAIN : VLDL_MOVE_PREVMAIN);
        if (!down && single) return row > 0 ? row - 1 : 0;
        return -2;
    }
    case VK_RIGHT:
        if (row < 0) return -2;
        if (dl->style & VLDLS_ARROWSPARENT) {
            SendMessageA(GetParent(dl->window), VLDLN_RIGHT, DataList_ItemOfRow(dl, row), 0);
            return -1;
        }
        if (kind == ROW_OPEN) return MoveFrom(dl, row, VLDL_MOVE_NEXT);
        if (kind == ROW_FOLDED) {
            DataList_ToggleGroup(dl, row);
            return -1;
        }
        return -2;
    case VK_LEFT:
        if (row < 0) return -2;
        if (dl->style & VLDLS_ARROWSPARENT) {
            SendMessageA(GetParent(dl->window), VLDLN_LEFT, DataList_ItemOfRow(dl, row), 0);
            return -1;
        }
        if (kind == ROW_SUB) return MoveFrom(dl, row, VLDL_MOVE_PREVMAIN);
        if (kind == ROW_OPEN) {
            DataList_ToggleGroup(dl, row);
            return -1;
        }
        return -2;
    }
    return -2;
}

// True when the key was handled here.
static bool OnKeyDown(DataList *dl, WPARAM key)
{
    int row = (int)SendMessageA(dl->view, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (row < 0) row = DataList_ArgumentRow(dl, (WPARAM)-1);
    if (key == VK_RETURN) {
        if (!(dl->style & VLDLS_ENTERCHOOSES) || dl->clickNoChoose) return false;
        int selected = DataList_ArgumentRow(dl, (WPARAM)-1);
        if (selected < 0) return true;
        if (dl->popup) ChooseFromDropDown(dl, selected, 1);
        else DataList_Choose(dl, selected, 1);
        return true;
    }
    if (key == VK_ESCAPE) {
        if (dl->popup) DataList_CloseDropDown(dl, false);
        else SetFocus(GetParent(dl->window));
        return true;
    }
    int target = KeyTarget(dl, key, row);
    if (target == -2) return false;
    if (target >= 0) DataList_SelectAlone(dl, target);
    return true;
}

// ---- The subclassed list view ------------------------------------------------------------------

static bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE);
}

static LRESULT CALLBACK ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR data)
{
    DataList *dl = (DataList *)data;
    if (dl->lockCount > 0 && IsInput(message)) return 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        bool chooseAfter = false;
        if (OnButtonDown(dl, pt, message == WM_LBUTTONDBLCLK, &chooseAfter)) return 0;
        LRESULT result = DefSubclassProc(view, message, wParam, lParam);
        int row = RowAt(dl, pt);
        if (chooseAfter && row >= 0) DataList_Choose(dl, row, 1);
        if (dl->style & VLDLS_ROWLIMIT) TellSize(dl);
        return result;
    }
    case WM_MOUSEMOVE: {
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        OnMouseMove(dl, pt);
        break;
    }
    case WM_KEYDOWN:
        if (OnKeyDown(dl, wParam)) return 0;
        break;
    case WM_GETDLGCODE: {
        // In a dialog, Enter reaches a list that chooses with it instead of the default button.
        const MSG *msg = (const MSG *)lParam;
        bool enter = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
        return DefSubclassProc(view, message, wParam, lParam) | DLGC_WANTARROWS |
               (enter && (dl->style & VLDLS_ENTERCHOOSES) ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KILLFOCUS: {
        // The focus may pass through the data list window itself on its way back here.
        HWND to = (HWND)wParam;
        bool stays = to && (to == dl->window || IsChild(dl->window, to));
        if (dl->popup && !stays && IsWindowVisible(dl->window)) DataList_CloseDropDown(dl, false);
        break;
    }
    case WM_CLEAR: return DataList_Delete(dl, (WPARAM)-1);
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(view, &rc);
        FillRect((HDC)wParam, &rc, dl->background);
        return 1;
    }
    case WM_NOTIFY: {
        NMHDR *header = (NMHDR *)lParam;
        if (header->code == HDN_DIVIDERDBLCLICKA || header->code == HDN_DIVIDERDBLCLICKW) {
            int column = ((NMHEADERA *)lParam)->iItem;
            if (column >= 0 && column < dl->columnCount)
                SendMessageA(view, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(dl->naturalWidth[column], 0));
            return 0;
        }
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(view, ViewProc, id);
        break;
    }
    return DefSubclassProc(view, message, wParam, lParam);
}

void DataList_SubclassView(DataList *dl)
{
    SetWindowSubclass(dl->view, ViewProc, kSubclassId, (DWORD_PTR)dl);
}

// ---- Sorting and the list view's notices -------------------------------------------------------

static bool SameEntry(const VLDataItem *a, const VLItem &b)
{
    return a->head.fileId == b.fileId && a->head.subDicNo == b.subDicNo && a->head.entryNo == b.entryNo;
}

void DataList_SortByColumn(DataList *dl, int column)
{
    if (column < 0 || column >= dl->columnCount) return;
    int &direction = dl->sortDirection[column];
    direction = direction == 0 ? 1 : -direction;
    for (int c = 0; c < 3; c++)
        if (c != column) dl->sortDirection[c] = 0;
    int mode = dl->columns[column] == COLUMN_HEADWORD ? 3 : dl->columns[column] == COLUMN_DICTIONARY ? 5 : 4;

    // The entry selected before stays selected: found again by its dictionary and entry number.
    VLItem selected = {};
    VLDataItem *before = DataList_ItemAt(dl, DataList_ArgumentRow(dl, (WPARAM)-1));
    if (before) selected = before->head;
    VLWordList_Sort(dl->list, mode, direction < 0);
    DataList_Refresh(dl);
    if (!before) return;
    for (int i = 0; i < VLWordList_Count(dl->list); i++)
        if (SameEntry(VLWordList_GetItem(dl->list, i), selected)) {
            DataList_SelectAlone(dl, DataList_RowOfItem(dl, i));
            break;
        }
}

LRESULT DataList_OnNotify(DataList *dl, NMHDR *header)
{
    if (header->hwndFrom != dl->view) return 0;
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        const NMLISTVIEW *change = (const NMLISTVIEW *)header;
        if (dl->popup || !(change->uChanged & LVIF_STATE)) return 0;
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
            DataList_Choose(dl, change->iItem, 0);
        return 0;
    }
    case LVN_COLUMNCLICK:
        DataList_SortByColumn(dl, ((const NMLISTVIEW *)header)->iSubItem);
        return 0;
    }
    return 0;
}
