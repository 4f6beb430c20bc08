// What the data list does with its items: deleting rows, the clipboard of items (the word-list
// block of the data library), adding to the active study list, and printing through the viewer
// beside it.  Every row named here is a shown row, mapped to its own item first.
#include "widgetry.h"
#include "widgetry_int.h"

#include <commdlg.h>

#include <algorithm>
#include <functional>

#include "lexshelf.h"
#include "scrivshow.h"

// The items of the rows, without repeats, from the last position to the first (so that deleting
// them in this order leaves the positions still to come untouched).
static std::vector<int> ItemsOfRows(const DataList *dl, const std::vector<int> &rows)
{
    std::vector<int> items;
    for (int row : rows) {
        int item = DataList_ItemOfRow(dl, row);
        if (item >= 0) items.push_back(item);
    }
    std::sort(items.begin(), items.end(), std::greater<int>());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    return items;
}

static int DeleteItems(DataList *dl, const std::vector<int> &items)
{
    int deleted = 0;
    for (int item : items)
        if (VLWordList_Delete(dl->list, item)) deleted++;
    return deleted;
}

int DataList_Delete(DataList *dl, WPARAM row)
{
    std::vector<int> rows;
    if ((int)row == -1) rows = DataList_SelectedRows(dl);
    else rows.push_back((int)row);
    int deleted = DeleteItems(dl, ItemsOfRows(dl, rows));
    DataList_Refresh(dl);
    return deleted;
}

LRESULT DataList_CutCopy(DataList *dl, bool cut)
{
    DataList_Lock(dl, true);
    std::vector<int> rows = DataList_SelectedRows(dl);
    VLWordList *copy = VLWordList_Create((LONG)rows.size() + 1);
    BOOL put = FALSE;
    if (copy) {
        for (int row : rows) {
            VLDataItem *item = DataList_ItemAt(dl, row);
            if (item) VLWordList_Add(copy, item);
        }
        if (cut) {
            DeleteItems(dl, ItemsOfRows(dl, rows));
            DataList_Refresh(dl);
        }
        put = VLWordList_Copy(copy, dl->window);
        VLWordList_Destroy(copy);
    }
    DataList_Lock(dl, false);
    SetFocus(dl->view);
    return put;
}

LRESULT DataList_Paste(DataList *dl)
{
    int at = 0;
    if (VLWordList_Count(dl->list) > 0) {
        int focused = (int)SendMessageA(dl->view, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
        at = DataList_ItemOfRow(dl, focused);
        if (at < 0) return 0;
    }
    int room = dl->list->maximum - at;
    if (room <= 0) return 0;
    VLWordList *pasted = VLWordList_Create(room);
    if (!pasted) return 0;
    BOOL ok = VLWordList_Paste(pasted, dl->window) && VLWordList_Insert(dl->list, at, pasted);
    VLWordList_Destroy(pasted);
    if (!ok) return 0;
    DataList_Refresh(dl);
    DataList_SelectAlone(dl, DataList_RowOfItem(dl, at));
    SetFocus(dl->view);
    return 1;
}

int DataList_AddToStudyList(DataList *dl)
{
    int added = 0;
    for (int row : DataList_SelectedRows(dl)) {
        VLDataItem *item = DataList_ItemAt(dl, row);
        if (item && Lexshelf_AddToActiveList(item)) added++;
    }
    return added;
}

LRESULT DataList_Print(DataList *dl)
{
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = dl->window;
    pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
    if (!PrintDlgA(&pd)) return 0;
    std::vector<int> rows = DataList_SelectedRows(dl);
    if (rows.empty())
        for (int row = 0; row < DataList_ShownCount(dl); row++) rows.push_back(row);
    HWND parent = GetParent(dl->window);
    for (int row : rows) {
        DataList_Choose(dl, row, 0);
        HWND viewer = GetDlgItem(parent, VLDL_VIEWER_ID);
        if (viewer) SendMessageA(viewer, SCV_PRINT, 0, (LPARAM)&pd);
    }
    if (pd.hDC) DeleteDC(pd.hDC);
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    return 1;
}
