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
#include "linguakeeper.h"
#include "uiassets.h"
#include "wordstrand.h"

namespace {

struct Row {
    DWORD kind;     // DICLIST_ROW_DIC or DICLIST_ROW_GROUP
    int position;   // 1-based position in the priority list
    int number;     // slot or sequence number, 0 none
    DWORD flag;     // bit 0 of the dictionary's information flags
    DWORD infoFlags, dicKind, fileId; // what the row's icon is made of
    DWORD id;
    WORD language, other;
    WORD others[8]; // the dictionary's languages other than its own, for the other-languages column
    int otherCount;
    COLORREF colour;
    char name[256], nickName[256];
};

struct IconEntry {
    UINT id;
    int image;
};

struct DicList {
    int rowHeight;
    HWND window, view;
    HFONT font;
    int direction[7];
    Row *rows;
    int count;
    VLDicListSource source;
    DWORD selector[2];
    DWORD slotIds[5];
    HIMAGELIST large, small;
    IconEntry *icons;
    int iconCount, iconCapacity;
};

const int kWidths[7] = {75, 22, 75, 22, 75, 75, 75};
const UINT_PTR kViewSubclass = 0x57444243; // any number of our own
// Left of a column's text after its icon, and what a fitted column adds to its widest text.
const int kIconTextLeft = 20;

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

bool Remember(DicList *s, UINT id, int image)
{
    if (s->iconCount == s->iconCapacity) {
        int capacity = s->iconCapacity + 100;
        IconEntry *grown = static_cast<IconEntry *>(realloc(s->icons, capacity * sizeof(IconEntry)));
        if (!grown) return false;
        s->icons = grown;
        s->iconCapacity = capacity;
    }
    s->icons[s->iconCount++] = {id, image};
    return true;
}

// A resource icon at both sizes from the resource library's file; one size serves for both when
// the other is missing.  The image index (the same in both lists), or -1.
int AddIcon(DicList *s, UINT id)
{
    int found = FindIcon(s, id);
    if (found >= 0) return found;
    char path[MAX_PATH] = "";
    if (!GetModuleFileNameA(Uiassets_GetModule(), path, sizeof path)) return -1;
    HICON large = nullptr, small = nullptr;
    ExtractIconExA(path, -static_cast<int>(id), &large, &small, 1);
    if (!large) large = small;
    if (!small) small = large;
    int image = -1;
    if (large) {
        image = ImageList_AddIcon(s->small, small);
        int other = ImageList_AddIcon(s->large, large);
        if (image != other) image = -1; // the lists would no longer match: treat as missing
    }
    if (large && large != small) DestroyIcon(large);
    if (small) DestroyIcon(small);
    if (image < 0 || !Remember(s, id, image)) return -1;
    return image;
}

// A composite: image `base` with image `mark` drawn over it, in both lists, known by id.
void AddComposite(DicList *s, UINT id, int base, int mark)
{
    int image = -1;
    for (HIMAGELIST list : {s->small, s->large}) {
        HIMAGELIST merged = ImageList_Merge(list, base, list, mark, 0, 0);
        if (!merged) return;
        HICON icon = ImageList_GetIcon(merged, 0, ILD_TRANSPARENT);
        ImageList_Destroy(merged);
        if (!icon) return;
        int added = ImageList_AddIcon(list, icon);
        DestroyIcon(icon);
        if (image >= 0 && added != image) return;
        image = added;
    }
    if (image >= 0) Remember(s, id, image);
}

// The images every list starts with (see DicList_IconIndex for what a row takes): the slot marks
// 0 to 9 (also overlays 1 to 10), the marks and row icons 10 to 25, the composites 26 to 61 and
// the group icons 62 and 63.
void FillImages(DicList *s)
{
    for (UINT id = UIA_IDI_SLOT_FIRST; id < UIA_IDI_SLOT_FIRST + 10; id++) AddIcon(s, id);
    for (int i = 0; i < 10; i++) {
        ImageList_SetOverlayImage(s->small, i, i + 1);
        ImageList_SetOverlayImage(s->large, i, i + 1);
    }
    static const UINT kPairs[][2] = {{134, 140}, {135, 136}, {129, 130}, {133, 139},
                                     {131, 137}, {132, 138}, {192, 193}, {189, 188}};
    for (const auto &p : kPairs) {
        AddIcon(s, p[0]);
        AddIcon(s, p[1]);
    }
    for (int i = 0; i < 12; i++) AddComposite(s, 1000 + i, 14 + i, i % 8 < 4 ? 12 : 13);
    for (int i = 0; i < 24; i++) AddComposite(s, 1100 + i, 14 + i, i % 2 == 0 ? 10 : 11);
    AddIcon(s, UIA_IDI_GROUP);
    AddIcon(s, UIA_IDI_GROUP + 1);
}

int RowImage(const Row &row)
{
    return DicList_IconIndex(row.kind == DICLIST_ROW_GROUP, row.number != 0, row.infoFlags, row.dicKind, row.fileId);
}

// The overlay of a row: its slot mark in numbering mode 0 (the marked form for a flagged
// dictionary), else none.
int RowOverlay(const DicList *s, const Row &row)
{
    if (s->source.numberingMode != 0 || row.number < 1 || row.number > 5) return 0;
    return row.flag ? row.number + 5 : row.number;
}

// A language's name from the language manager, else the resource format with its code; the
// manager's icon for it (null when it does not know the language).
HICON LanguageName(WORD language, char *out, int cap)
{
    LinguakeeperLangRecord record = {};
    record.size = sizeof record;
    if (language && Linguakeeper_GetLangInfo(language, &record) && record.displayName[0]) {
        lstrcpynA(out, record.displayName, cap);
        return Linguakeeper_GetLangIcon(language, nullptr, 0);
    }
    Uiassets_FormatString(out, cap, UIA_IDS_DICLIST_LANGUAGE, language);
    return nullptr;
}

// The text the other-languages column shows: the languages joined with ", "; the icon of the first.
HICON OtherLanguagesText(const Row &row, char *out, int cap)
{
    out[0] = 0;
    if (row.kind != DICLIST_ROW_DIC) return nullptr;
    if (row.otherCount == 0) return row.other == 0xFFFF ? nullptr : LanguageName(row.other, out, cap);
    HICON icon = nullptr;
    for (int i = 0; i < row.otherCount; i++) {
        char name[80];
        HICON one = LanguageName(row.others[i], name, sizeof name);
        if (i == 0) icon = one;
        else lstrcatA(out, ", ");
        if (lstrlenA(out) + lstrlenA(name) + 3 >= cap) break;
        lstrcatA(out, name);
    }
    return icon;
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
    r.fileId = p.fileId;
    DicInfo record = {};
    record.size = sizeof record;
    const DicInfo *info = Lexicore_GetDicInfo(p.fileId, &record) ? &record : nullptr;
    r.dicKind = info ? info->kind : 1;
    r.infoFlags = info ? info->status : 0;
    r.flag = r.infoFlags & 1;
    WORD languages[100] = {};
    int n = 0;
    if (info) {
        n = info->languageCount < 100 ? static_cast<int>(info->languageCount) : 100;
        memcpy(languages, info->languages, sizeof languages);
    }
    r.other = DicList_OtherLanguage(p.fileId, p.language, languages, n);
    for (int i = 0; i < n && r.otherCount < 8; i++) {
        WORD l = languages[i];
        bool seen = l == 0 || l == r.language;
        for (int k = 0; k < r.otherCount; k++) seen = seen || r.others[k] == l;
        if (!seen) r.others[r.otherCount++] = l;
    }
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
        if (row.kind == DICLIST_ROW_DIC) LanguageName(row.language, out, cap);
        break;
    case 5: snprintf(out, cap, "%04x", row.other); break;
    case 6:
        if (s->source.numberingMode == 2) DicList_HotKeyLabel(rowIndex + 1, out, cap);
        break;
    }
}

// ---- Drawing ----------------------------------------------------------------------------------

// Text and background of a row by its state.
void RowColours(const DicList *s, bool selected, COLORREF *text, COLORREF *back)
{
    int t = COLOR_WINDOWTEXT, b = COLOR_WINDOW;
    if (!IsWindowEnabled(s->view)) {
        t = COLOR_GRAYTEXT;
        b = COLOR_BTNFACE;
    } else if (selected && GetFocus() == s->view) {
        t = COLOR_HIGHLIGHTTEXT;
        b = COLOR_HIGHLIGHT;
    } else if (selected) {
        b = COLOR_BTNFACE;
    }
    *text = GetSysColor(t);
    *back = GetSysColor(b);
}

// The texts are in the system's code page whatever the charset of the list's font: they are drawn
// and measured as wide text.
int Widen(const char *text, WCHAR *out, int cap)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, out, cap);
    if (n <= 0) {
        out[0] = 0;
        return 0;
    }
    return n - 1;
}

void DrawCellText(HDC dc, const char *text, RECT r)
{
    WCHAR wide[600];
    int n = Widen(text, wide, 600);
    if (r.right > r.left) DrawTextW(dc, wide, n, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
}

// The list view's font (the default GUI font when it has none of its own).
HFONT ViewFont(const DicList *s)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(s->view, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// A small icon at the left of the cell, clipped to it.
void DrawCellIcon(HDC dc, const RECT &r, HICON icon)
{
    if (!icon) return;
    int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    DrawIconEx(dc, r.left, (r.top + r.bottom - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
    RestoreDC(dc, saved);
}

void DrawCell(DicList *s, HDC dc, const Row &row, int index, int column, RECT r)
{
    char text[600];
    switch (column) {
    case 0: {
        int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        ImageList_Draw(s->small, RowImage(row), dc, r.left, (r.top + r.bottom - 16) / 2,
                       ILD_TRANSPARENT | INDEXTOOVERLAYMASK(RowOverlay(s, row)));
        RestoreDC(dc, saved);
        r.left += kIconTextLeft;
        DrawCellText(dc, row.name, r);
        break;
    }
    case 1:
        if (row.kind == DICLIST_ROW_DIC && r.right > r.left) {
            int height = r.bottom - r.top - 4 < 14 ? r.bottom - r.top - 4 : 14;
            int top = (r.top + r.bottom - height) / 2;
            RECT box = {r.left, top, r.left + (r.right - r.left < 14 ? r.right - r.left : 14), top + height};
            HBRUSH fill = CreateSolidBrush(row.colour);
            FillRect(dc, &box, fill);
            DeleteObject(fill);
            DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
        }
        break;
    case 4:
        if (row.kind == DICLIST_ROW_DIC) {
            HICON icon = LanguageName(row.language, text, sizeof text);
            DrawCellIcon(dc, r, icon);
            if (icon) r.left += kIconTextLeft;
            DrawCellText(dc, text, r);
        }
        break;
    case 5: {
        HICON icon = OtherLanguagesText(row, text, sizeof text);
        DrawCellIcon(dc, r, icon);
        if (icon) r.left += kIconTextLeft;
        DrawCellText(dc, text, r);
        break;
    }
    default:
        RowText(s, row, index, column, text, sizeof text);
        DrawCellText(dc, text, r);
    }
}

void DrawRow(DicList *s, const DRAWITEMSTRUCT *d)
{
    int index = static_cast<int>(d->itemID);
    if (index < 0 || index >= s->count) return;
    const Row &row = s->rows[index];
    COLORREF text, back;
    RowColours(s, (d->itemState & ODS_SELECTED) != 0, &text, &back);
    HDC dc = d->hDC;
    int saved = SaveDC(dc);
    HBRUSH fill = CreateSolidBrush(back);
    FillRect(dc, &d->rcItem, fill);
    DeleteObject(fill);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    SelectObject(dc, ViewFont(s));
    HWND header = ListView_GetHeader(s->view);
    int columns = Header_GetItemCount(header);
    for (int c = 0; c < columns; c++) {
        RECT h;
        if (!Header_GetItemRect(header, c, &h)) continue;
        RECT r = {d->rcItem.left + h.left + 2, d->rcItem.top, d->rcItem.left + h.right - 4, d->rcItem.bottom};
        if (r.right > r.left) DrawCell(s, dc, row, index, c, r);
    }
    if ((d->itemState & ODS_FOCUS) && GetFocus() == s->view) DrawFocusRect(dc, &d->rcItem);
    RestoreDC(dc, saved);
}

// The row height of the list font: its height rounded up to even, 17 below 18.
int RowHeightOf(HFONT font)
{
    LOGFONTA lf = {};
    if (!font || !GetObjectA(font, sizeof lf, &lf)) GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return DicList_RowHeight(lf.lfHeight);
}

// ---- Column fit -------------------------------------------------------------------------------

int TextWidth(HDC dc, const char *text)
{
    WCHAR wide[600];
    int n = Widen(text, wide, 600);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, wide, n, &size);
    return size.cx;
}

// The width that shows column c of every row whole.
int FitWidth(DicList *s, int column)
{
    HDC dc = GetDC(s->view);
    HGDIOBJ old = SelectObject(dc, ViewFont(s));
    int widest = 0;
    for (int i = 0; i < s->count; i++) {
        const Row &row = s->rows[i];
        char text[600] = "";
        int extra = 6;
        switch (column) {
        case 0: lstrcpynA(text, row.name, sizeof text); extra = 26; break;
        case 2: lstrcpynA(text, row.nickName, sizeof text); break;
        case 3: RowText(s, row, i, 3, text, sizeof text); break;
        case 4:
            if (row.kind == DICLIST_ROW_DIC) LanguageName(row.language, text, sizeof text);
            extra = 26;
            break;
        case 5: OtherLanguagesText(row, text, sizeof text); extra = 26; break;
        case 6: RowText(s, row, i, 6, text, sizeof text); break;
        }
        int width = (text[0] ? TextWidth(dc, text) : 0) + extra;
        if (width > widest) widest = width;
    }
    SelectObject(dc, old);
    ReleaseDC(s->view, dc);
    return widest < 20 ? 20 : widest;
}

void FitColumn(DicList *s, int column)
{
    if (column >= 0 && column < Header_GetItemCount(ListView_GetHeader(s->view)))
        ListView_SetColumnWidth(s->view, column, FitWidth(s, column));
}

// The list view: a double click on a header divider fits that column to its rows.
LRESULT CALLBACK ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data)
{
    DicList *s = reinterpret_cast<DicList *>(data);
    if (message == WM_NOTIFY) {
        const NMHDR *h = reinterpret_cast<const NMHDR *>(lParam);
        if (h->hwndFrom == ListView_GetHeader(view) &&
            (h->code == HDN_DIVIDERDBLCLICKA || h->code == HDN_DIVIDERDBLCLICKW)) {
            FitColumn(s, reinterpret_cast<const NMHEADERA *>(lParam)->iItem);
            return 0;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(view, ViewProc, id);
    }
    return DefSubclassProc(view, message, wParam, lParam);
}

// A column's first width: its own, or wider when its title would not show whole.
int ColumnWidth(DicList *s, int column, const char *title)
{
    HDC dc = GetDC(s->view);
    HGDIOBJ old = SelectObject(dc, ViewFont(s));
    int width = TextWidth(dc, title) + 16;
    SelectObject(dc, old);
    ReleaseDC(s->view, dc);
    return width > kWidths[column] ? width : kWidths[column];
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
        col.cx = ColumnWidth(s, 6, title);
        col.iSubItem = 6;
        SendMessageA(s->view, LVM_INSERTCOLUMNA, 6, reinterpret_cast<LPARAM>(&col));
    } else if (!wantHotKeys && columns == 7) {
        ListView_DeleteColumn(s->view, 6);
    }
    for (int i = 0; i < s->count; i++) {
        char text[300];
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.iItem = i;
        RowText(s, s->rows[i], i, 0, text, sizeof text);
        item.pszText = text;
        item.iImage = RowImage(s->rows[i]);
        item.state = INDEXTOOVERLAYMASK(RowOverlay(s, s->rows[i]));
        item.stateMask = LVIS_OVERLAYMASK;
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
    // The names, languages and hot-key labels are shown whole: those columns widen to fit.
    for (int c : {0, 4, 6}) {
        if (c == 6 && !wantHotKeys) continue;
        int fit = FitWidth(s, c);
        if (ListView_GetColumnWidth(s->view, c) < fit) ListView_SetColumnWidth(s->view, c, fit);
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
        image.mask = LVIF_IMAGE | LVIF_STATE;
        image.iItem = i;
        image.iImage = RowImage(s->rows[i]);
        image.state = INDEXTOOVERLAYMASK(RowOverlay(s, s->rows[i]));
        image.stateMask = LVIS_OVERLAYMASK;
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
    DWORD viewStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHAREIMAGELISTS |
                      LVS_SHOWSELALWAYS | (style & (LVS_SINGLESEL | LVS_NOSORTHEADER));
    s->font = reinterpret_cast<HFONT>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0));
    s->rowHeight = RowHeightOf(s->font);
    // Made without a size: the list view asks for the row height (WM_MEASUREITEM) when it is
    // sized, which is after it has its font.
    s->view = CreateWindowExA(0, WC_LISTVIEWA, "", viewStyle, 0, 0, 0, 0, window, nullptr, g_widgetryInstance, nullptr);
    if (!s->view) return false;
    SendMessageA(s->view, WM_SETFONT, reinterpret_cast<WPARAM>(s->font), 0);
    SetWindowSubclass(s->view, ViewProc, kViewSubclass, reinterpret_cast<DWORD_PTR>(s));
    ListView_SetExtendedListViewStyle(s->view, LVS_EX_FULLROWSELECT);
    s->large = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 10, 10);
    // The small images keep their colours too: at 16 colours the slot digits drawn over the
    // row icons could not be told apart.
    s->small = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 10, 10);
    FillImages(s);
    ListView_SetImageList(s->view, s->small, LVSIL_SMALL);
    ListView_SetImageList(s->view, s->large, LVSIL_NORMAL);
    for (int c = 0; c < 6; c++) {
        char title[64] = "";
        Uiassets_LoadString(UIA_IDS_DICLIST_COLUMN_FIRST + c, title, sizeof title);
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = title;
        col.cx = ColumnWidth(s, c, title);
        col.iSubItem = c;
        SendMessageA(s->view, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
    }
    for (int &d : s->direction) d = 1;
    RECT rc;
    GetClientRect(window, &rc);
    MoveWindow(s->view, 0, 0, rc.right, rc.bottom, FALSE);
    return true;
}

void OnDestroy(DicList *s)
{
    if (!s) return;
    if (s->small) ImageList_Destroy(s->small);
    if (s->large) ImageList_Destroy(s->large);
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
    case WM_MEASUREITEM:
        if (s && reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->CtlType == ODT_LISTVIEW) {
            reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->itemHeight = s->rowHeight;
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (s && reinterpret_cast<DRAWITEMSTRUCT *>(lParam)->hwndItem == s->view) {
            DrawRow(s, reinterpret_cast<DRAWITEMSTRUCT *>(lParam));
            return TRUE;
        }
        break;
    case WM_SETFONT:
        if (s && s->view) {
            s->font = reinterpret_cast<HFONT>(wParam);
            s->rowHeight = RowHeightOf(s->font);
            SendMessageA(s->view, WM_SETFONT, wParam, lParam);
            // A change of size makes the list view ask for the row height again.
            RECT rc;
            GetClientRect(window, &rc);
            MoveWindow(s->view, 0, 0, rc.right, rc.bottom + 1, FALSE);
            MoveWindow(s->view, 0, 0, rc.right, rc.bottom, lParam != 0);
        }
        return 0;
    case WM_GETFONT: return s ? reinterpret_cast<LRESULT>(s->font) : 0;
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
