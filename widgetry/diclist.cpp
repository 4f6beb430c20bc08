// The dictionary list (window class VLDBLISTCLASS): the dictionaries and groups of one priority
// list in a report list view, with numbered slots given by double clicks, hot-key labels and
// sorting by column.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <commctrl.h>

#include "widgetry.h"
#include "widgetry_int.h"
#include "diclist_model.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "uiassets.h"
#include "wordstrand.h"

namespace {

struct Row {
    DWORD kind;     // DICLIST_ROW_DIC or DICLIST_ROW_GROUP
    int position;   // 1-based position in the priority list
    int number;     // slot or sequence number, 0 none
    DWORD flag;
    int icon;
    DWORD id;
    WORD language, other;
    COLORREF colour;
    char name[256], nickName[256];
};

struct IconEntry {
    UINT id;
    int image;
};

struct DicList {
    HWND window, view;
    int direction[7];
    Row *rows;
    int count;
    VLDicListSource source;
    DWORD selector[2];
    DWORD slotIds[5];
    HIMAGELIST images;
    IconEntry *icons;
    int iconCount, iconCapacity;
};

const int kWidths[7] = {75, 22, 75, 22, 75, 75, 75};

DicList *StateOf(HWND window)
{
    return reinterpret_cast<DicList *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

int FindIcon(DicList *s, UINT id)
{
    for (int i = 0; i < s->iconCount; i++)
        if (s->icons[i].id == id) return s->icons[i].image;
    return -1;
}

int AddIcon(DicList *s, UINT id)
{
    int found = FindIcon(s, id);
    if (found >= 0) return found;
    HICON large = nullptr, small = nullptr;
    Uiassets_GetIcons(id, &large, &small);
    HICON icon = small ? small : large;
    if (!icon) return -1;
    if (s->iconCount == s->iconCapacity) {
        int capacity = s->iconCapacity + 100;
        IconEntry *grown = static_cast<IconEntry *>(realloc(s->icons, capacity * sizeof(IconEntry)));
        if (!grown) return -1;
        s->icons = grown;
        s->iconCapacity = capacity;
    }
    int image = ImageList_AddIcon(s->images, icon);
    if (image < 0) return -1;
    s->icons[s->iconCount++] = {id, image};
    return image;
}

// The resource icon of a row: its kind, with the numbered form when it holds a number.
UINT RowIconId(const Row &row, DWORD kind)
{
    bool n = row.number != 0;
    if (row.kind == DICLIST_ROW_GROUP) return n ? 1202 : UIA_IDI_GROUP;
    if (kind == 3) return n ? 193 : UIA_IDI_DIC_DRIVER;
    if (kind == 4) return n ? 188 : UIA_IDI_DIC_BOOK;
    if (row.flag) return n ? 139 : UIA_IDI_DIC_USER;
    return n ? UIA_IDI_DIC_NUMBERED : UIA_IDI_DIC;
}

struct Collect {
    DicList *state;
    Row *rows;
    int count, capacity;
    DWORD only; // with a group source: the one id wanted, else 0
};

int CALLBACK CollectItem(VLPriorityItem *item, LPARAM user)
{
    Collect *c = reinterpret_cast<Collect *>(user);
    if (c->only && item->id != c->only) return 1;
    if (c->count == c->capacity) return 0;
    Row &r = c->rows[c->count++];
    memset(&r, 0, sizeof r);
    r.id = item->id;
    r.position = Lexshelf_PrioFind(c->state->source.list, item->id);
    lstrcpynA(r.name, item->name ? item->name : "", sizeof r.name);
    if (item->itemKind == 2) {
        r.kind = DICLIST_ROW_GROUP;
        lstrcpynA(r.nickName, item->name ? item->name : "", sizeof r.nickName);
        r.other = 0xFFFF;
        return !c->only;
    }
    r.kind = DICLIST_ROW_DIC;
    lstrcpynA(r.nickName, item->nickName ? item->nickName : "", sizeof r.nickName);
    const DicProperty &p = item->data.dictionary;
    r.language = p.language;
    r.colour = p.colour;
    DicInfo record = {};
    record.size = sizeof record;
    const DicInfo *info = Lexicore_GetDicInfo(p.fileId, &record) ? &record : nullptr;
    DWORD kind = info ? info->kind : 1;
    DWORD status = info ? info->status : 0;
    r.flag = status & 1;
    WORD languages[100] = {};
    int n = 0;
    if (info) {
        n = info->languageCount < 100 ? static_cast<int>(info->languageCount) : 100;
        memcpy(languages, info->languages, sizeof languages);
    }
    r.other = DicList_OtherLanguage(p.fileId, p.language, languages, n);
    r.icon = static_cast<int>(kind); // kept until the icon is chosen
    return !c->only;
}

void RowText(const DicList *s, const Row &row, int rowIndex, int column, char *out, int cap)
{
    out[0] = 0;
    switch (column) {
    case 0: lstrcpynA(out, row.name, cap); break;
    case 2: lstrcpynA(out, row.nickName, cap); break;
    case 3:
        if (row.number) snprintf(out, cap, "%d", row.number);
        else lstrcpynA(out, "-", cap);
        break;
    case 4:
        if (row.kind == DICLIST_ROW_DIC) Uiassets_FormatString(out, cap, UIA_IDS_DICLIST_LANGUAGE, row.language);
        break;
    case 5: snprintf(out, cap, "%04x", row.other); break;
    case 6:
        if (s->source.numberingMode == 2) DicList_HotKeyLabel(rowIndex + 1, out, cap);
        break;
    }
}

int RowImage(DicList *s, Row &row)
{
    return AddIcon(s, RowIconId(row, static_cast<DWORD>(row.icon)));
}

void ShowRows(DicList *s)
{
    SendMessageA(s->view, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(s->view);
    int columns = Header_GetItemCount(ListView_GetHeader(s->view));
    bool wantHotKeys = s->source.numberingMode == 2;
    if (wantHotKeys && columns == 6) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        char title[64] = "";
        Uiassets_LoadString(UIA_IDS_DICLIST_COLUMN_FIRST + 6, title, sizeof title);
        col.pszText = title;
        col.cx = kWidths[6];
        col.iSubItem = 6;
        SendMessageA(s->view, LVM_INSERTCOLUMNA, 6, reinterpret_cast<LPARAM>(&col));
    } else if (!wantHotKeys && columns == 7) {
        ListView_DeleteColumn(s->view, 6);
    }
    for (int i = 0; i < s->count; i++) {
        char text[300];
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = i;
        RowText(s, s->rows[i], i, 0, text, sizeof text);
        item.pszText = text;
        item.iImage = RowImage(s, s->rows[i]);
        item.lParam = i;
        SendMessageA(s->view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 2; c < (wantHotKeys ? 7 : 6); c++) {
            RowText(s, s->rows[i], i, c, text, sizeof text);
            LVITEMA sub = {};
            sub.iSubItem = c;
            sub.pszText = text;
            SendMessageA(s->view, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&sub));
        }
    }
    // The names and hot-key labels are shown whole: those columns widen to their longest text.
    for (int c : {0, 6}) {
        if (c == 6 && !wantHotKeys) continue;
        int before = ListView_GetColumnWidth(s->view, c);
        ListView_SetColumnWidth(s->view, c, LVSCW_AUTOSIZE_USEHEADER);
        if (ListView_GetColumnWidth(s->view, c) < before) ListView_SetColumnWidth(s->view, c, before);
    }
    SendMessageA(s->view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(s->view, nullptr, TRUE);
}

void BuildRows(DicList *s)
{
    free(s->rows);
    s->rows = nullptr;
    s->count = 0;
    for (int &d : s->direction) d = 1;
    VLPriorityList *list = s->source.list;
    DWORD kind = s->source.selector ? s->source.selector[0] : 0;
    LPARAM value = s->source.selector ? s->source.selector[1] : 0;
    VLDicGroup *group = kind == 5 ? reinterpret_cast<VLDicGroup *>(value) : nullptr;
    int n = group ? static_cast<int>(Lexshelf_GroupGetDicCount(group)) : 0;
    int total = kind == 5 ? n : Lexshelf_PrioEnum(list, DicList_FilterOfKind(kind), value, nullptr, 0);
    Collect c = {s, static_cast<Row *>(calloc(total + 1, sizeof(Row))), 0, total, 0};
    if (!c.rows) return;
    if (kind == 5) {
        for (int i = 0; i < n && c.count < c.capacity; i++) {
            c.only = Lexshelf_GroupGetDic(group, i);
            Lexshelf_PrioEnum(list, DicList_FilterOfKind(5), value, CollectItem, reinterpret_cast<LPARAM>(&c));
        }
    } else {
        Lexshelf_PrioEnum(list, DicList_FilterOfKind(kind), value, CollectItem, reinterpret_cast<LPARAM>(&c));
    }
    s->rows = c.rows;
    s->count = c.count;
    for (int i = 0; i < s->count; i++) {
        Row &r = s->rows[i];
        if (s->source.numberingMode == 0) {
            for (int k = 0; k < 5; k++)
                if (s->source.slotIds && s->source.slotIds[k] == r.id) r.number = k + 1;
        } else {
            r.number = i + 1;
        }
    }
    ShowRows(s);
}

// Rewrites the numbers after a slot change and tells the parent.
void SlotsChanged(DicList *s, const int *numbers)
{
    for (int i = 0; i < s->count; i++) s->rows[i].number = numbers[i];
    for (int i = 0; i < s->count; i++) {
        char text[16];
        RowText(s, s->rows[i], i, 3, text, sizeof text);
        LVITEMA sub = {};
        sub.iSubItem = 3;
        sub.pszText = text;
        SendMessageA(s->view, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&sub));
        LVITEMA image = {};
        image.mask = LVIF_IMAGE;
        image.iItem = i;
        image.iImage = RowImage(s, s->rows[i]);
        SendMessageA(s->view, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&image));
    }
    SendMessageA(GetParent(s->window), WIDGETRY_DLN_SLOTS, 0, 0);
}

int *Numbers(const DicList *s)
{
    int *numbers = static_cast<int *>(calloc(s->count + 1, sizeof(int)));
    if (numbers)
        for (int i = 0; i < s->count; i++) numbers[i] = s->rows[i].number;
    return numbers;
}

bool OnDoubleClick(DicList *s, int row)
{
    if (!s->source.slotsEnabled || row < 0 || row >= s->count) return false;
    int *numbers = Numbers(s);
    if (!numbers) return false;
    DicList_ToggleSlot(numbers, s->count, row);
    SlotsChanged(s, numbers);
    free(numbers);
    return true;
}

int Compare(const DicList *s, const Row &a, const Row &b, int column)
{
    bool groupPair = a.kind != b.kind;
    int result = 0;
    switch (column) {
    case 0: result = Wordstrand_CompareString(a.name, b.name); break;
    case 1:
        if (groupPair) return a.kind == DICLIST_ROW_DIC ? -1 : 1;
        result = a.colour < b.colour ? -1 : a.colour > b.colour;
        break;
    case 2: result = Wordstrand_CompareString(a.nickName, b.nickName); break;
    case 3:
        if (!a.number != !b.number) return a.number ? -1 : 1;
        result = a.number - b.number;
        break;
    case 4:
        if (groupPair) return a.kind == DICLIST_ROW_DIC ? -1 : 1;
        result = a.language - b.language;
        break;
    case 5:
        if (groupPair) return a.kind == DICLIST_ROW_DIC ? -1 : 1;
        result = a.other - b.other;
        break;
    default: result = a.position - b.position;
    }
    return result * s->direction[column];
}

struct SortContext {
    const DicList *state;
    int column;
};

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM user)
{
    const SortContext *c = reinterpret_cast<const SortContext *>(user);
    return Compare(c->state, c->state->rows[a], c->state->rows[b], c->column);
}

void Sort(DicList *s, int column)
{
    if (column < 0 || column > 6) return;
    SortContext c = {s, column};
    ListView_SortItems(s->view, CompareRows, reinterpret_cast<LPARAM>(&c));
    // The rows follow the view's order, so positions keep meaning the same rows.
    Row *sorted = static_cast<Row *>(calloc(s->count + 1, sizeof(Row)));
    if (sorted) {
        for (int i = 0; i < s->count; i++) {
            LVITEMA item = {};
            item.mask = LVIF_PARAM;
            item.iItem = i;
            SendMessageA(s->view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            sorted[i] = s->rows[item.lParam];
        }
        free(s->rows);
        s->rows = sorted;
        ShowRows(s);
    }
    int selected = ListView_GetNextItem(s->view, -1, LVNI_SELECTED);
    if (selected >= 0) ListView_EnsureVisible(s->view, selected, FALSE);
    int flipped = -s->direction[column];
    for (int &d : s->direction) d = 1;
    s->direction[column] = flipped;
}

LRESULT OnNotify(DicList *s, NMHDR *header)
{
    if (header->hwndFrom == s->view) {
        if (header->code == NM_DBLCLK) {
            NMITEMACTIVATE *a = reinterpret_cast<NMITEMACTIVATE *>(header);
            if (OnDoubleClick(s, a->iItem)) return 0;
        }
        if (header->code == LVN_COLUMNCLICK) Sort(s, reinterpret_cast<NMLISTVIEW *>(header)->iSubItem);
        NMHDR copy = *header;
        (void)copy;
        header->hwndFrom = s->window;
        header->idFrom = GetDlgCtrlID(s->window);
        LRESULT r = SendMessageA(GetParent(s->window), WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
        header->hwndFrom = s->view;
        return r;
    }
    return 0;
}

bool OnCreate(HWND window)
{
    DicList *s = static_cast<DicList *>(calloc(1, sizeof(DicList)));
    if (!s) return false;
    s->window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
    DWORD style = GetWindowLongA(window, GWL_STYLE);
    DWORD viewStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS |
                      (style & (LVS_SINGLESEL | LVS_NOSORTHEADER));
    RECT rc;
    GetClientRect(window, &rc);
    s->view = CreateWindowExA(0, WC_LISTVIEWA, "", viewStyle, 0, 0, rc.right, rc.bottom, window, nullptr,
                              g_widgetryInstance, nullptr);
    if (!s->view) return false;
    SendMessageA(s->view, WM_SETFONT, SendMessageA(GetParent(window), WM_GETFONT, 0, 0), 0);
    ListView_SetExtendedListViewStyle(s->view, LVS_EX_FULLROWSELECT);
    s->images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 10, 10);
    ListView_SetImageList(s->view, s->images, LVSIL_SMALL);
    for (int c = 0; c < 6; c++) {
        char title[64] = "";
        Uiassets_LoadString(UIA_IDS_DICLIST_COLUMN_FIRST + c, title, sizeof title);
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = title;
        col.cx = kWidths[c];
        col.iSubItem = c;
        SendMessageA(s->view, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
    }
    for (int &d : s->direction) d = 1;
    return true;
}

void OnDestroy(DicList *s)
{
    if (!s) return;
    if (s->images) ImageList_Destroy(s->images);
    free(s->icons);
    free(s->rows);
    free(s);
}

LRESULT CALLBACK DicListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DicList *s = StateOf(window);
    switch (message) {
    case WM_CREATE: return OnCreate(window) ? 0 : -1;
    case WM_NCDESTROY:
        OnDestroy(s);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    case WM_SIZE:
        if (s && s->view) MoveWindow(s->view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (s && s->view) {
            SetFocus(s->view);
            int row = ListView_GetNextItem(s->view, -1, LVNI_SELECTED);
            ListView_SetItemState(s->view, row < 0 ? 0 : row, LVIS_FOCUSED, LVIS_FOCUSED);
        }
        return 0;
    case WM_NOTIFY:
        if (s) return OnNotify(s, reinterpret_cast<NMHDR *>(lParam));
        break;
    }
    if (!s) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WIDGETRY_DLM_SETSOURCE: {
        memset(&s->source, 0, sizeof s->source);
        if (wParam) {
            const VLDicListSource *src = reinterpret_cast<const VLDicListSource *>(wParam);
            s->source = *src;
            if (src->selector) {
                s->selector[0] = src->selector[0];
                s->selector[1] = src->selector[1];
                s->source.selector = s->selector;
            }
            if (src->slotIds) {
                memcpy(s->slotIds, src->slotIds, sizeof s->slotIds);
                s->source.slotIds = s->slotIds;
            }
        }
        BuildRows(s);
        return 1;
    }
    case WIDGETRY_DLM_VIEWSTYLE: {
        DWORD old = GetWindowLongA(s->view, GWL_STYLE);
        SetWindowLongA(s->view, GWL_STYLE, lParam ? old | static_cast<DWORD>(wParam) : old & ~static_cast<DWORD>(wParam));
        return 1;
    }
    case WIDGETRY_DLM_GIVESLOT: {
        int row = ListView_GetNextItem(s->view, -1, LVNI_SELECTED);
        if (!s->source.slotsEnabled || row < 0 || wParam < 1 || wParam > 5) return 0;
        int *numbers = Numbers(s);
        if (!numbers) return 0;
        DicList_GiveSlot(numbers, s->count, row, static_cast<int>(wParam));
        SlotsChanged(s, numbers);
        free(numbers);
        return 1;
    }
    case WIDGETRY_DLM_SELECTALL: ListView_SetItemState(s->view, -1, LVIS_SELECTED, LVIS_SELECTED); return 1;
    case WIDGETRY_DLM_GETSELECTED: return ListView_GetNextItem(s->view, -1, LVNI_SELECTED);
    case WIDGETRY_DLM_GETSTATE: return ListView_GetItemState(s->view, static_cast<int>(wParam), static_cast<UINT>(lParam));
    case WIDGETRY_DLM_CLEARSLOTS: {
        int *numbers = static_cast<int *>(calloc(s->count + 1, sizeof(int)));
        if (!numbers) return 0;
        SlotsChanged(s, numbers);
        free(numbers);
        return 1;
    }
    case WIDGETRY_DLM_SELECTROW:
        ListView_SetItemState(s->view, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(s->view, static_cast<int>(wParam), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        return 1;
    case WIDGETRY_DLM_ENSUREVISIBLE: return ListView_EnsureVisible(s->view, static_cast<int>(wParam), lParam != 0);
    case WIDGETRY_DLM_SORT: Sort(s, static_cast<int>(wParam)); return 1;
    case WIDGETRY_DLM_GETCOUNT: return s->count;
    case WIDGETRY_DLM_GETHOTKEY:
        return static_cast<int>(wParam) >= 0 && static_cast<int>(wParam) < s->count ? s->rows[wParam].number : 0;
    case WIDGETRY_DLM_GETITEMID:
        return static_cast<int>(wParam) >= 0 && static_cast<int>(wParam) < s->count ? s->rows[wParam].id : 0;
    case WIDGETRY_DLM_ADDICON: return AddIcon(s, static_cast<UINT>(wParam));
    case WIDGETRY_DLM_FINDICON: return FindIcon(s, static_cast<UINT>(wParam));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

bool DicList_RegisterClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = DicListProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = VLDBLISTCLASS;
    return RegisterClassA(&wc) != 0;
}

void DicList_UnregisterClass(HINSTANCE instance)
{
    UnregisterClassA(VLDBLISTCLASS, instance);
}

extern "C" HWND WINAPI Widgetry_CreateDicList(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                                              UINT id, HWND parent)
{
    HWND list = CreateWindowExA(exStyle, VLDBLISTCLASS, "", style | WS_CHILD, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), g_widgetryInstance, nullptr);
    if (!list) return nullptr;
    ShowWindow(list, SW_SHOW);
    UpdateWindow(list);
    return list;
}

extern "C" BOOL WINAPI Widgetry_DicListSetSource(HWND list, int numberingMode, VLPriorityList *priority,
                                                 BOOL slotsEnabled, DWORD *slotIds, DWORD *selector)
{
    VLDicListSource source = {selector, slotsEnabled, slotIds, numberingMode, priority};
    return SendMessageA(list, WIDGETRY_DLM_SETSOURCE, reinterpret_cast<WPARAM>(&source), 0) != 0;
}

extern "C" int WINAPI Widgetry_AddIcon(HWND list, UINT iconId)
{
    return static_cast<int>(SendMessageA(list, WIDGETRY_DLM_ADDICON, iconId, 0));
}
extern "C" int WINAPI Widgetry_FindIcon(HWND list, UINT iconId)
{
    return static_cast<int>(SendMessageA(list, WIDGETRY_DLM_FINDICON, iconId, 0));
}
extern "C" int WINAPI Widgetry_DicListGetCount(HWND list)
{
    return static_cast<int>(SendMessageA(list, WIDGETRY_DLM_GETCOUNT, 0, 0));
}
extern "C" int WINAPI Widgetry_DicListGetHotKey(HWND list, int row)
{
    return static_cast<int>(SendMessageA(list, WIDGETRY_DLM_GETHOTKEY, row, 0));
}
extern "C" DWORD WINAPI Widgetry_DicListGetItemId(HWND list, int row)
{
    return static_cast<DWORD>(SendMessageA(list, WIDGETRY_DLM_GETITEMID, row, 0));
}
extern "C" BOOL WINAPI Widgetry_DicListSort(HWND list, int column)
{
    return SendMessageA(list, WIDGETRY_DLM_SORT, column, 0) != 0;
}
