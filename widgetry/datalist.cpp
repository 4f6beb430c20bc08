// The data list window: its class, creation and destruction, the messages of its interface, the
// rows it shows and the sizes it measures.  Drawing, input, clipboard and printing live in the
// datalist_* files beside it.
#include "widgetry.h"
#include "widgetry_int.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "lexicore.h"
#include "lexshelf.h"
#include "linguakeeper.h"
#include "strandkit.h"
#include "uiassets.h"

// Resource ids of the resource library that the data list takes (the library names them too).
#ifndef UIA_IDS_DATALIST_HEADWORD
#define UIA_IDS_DATALIST_HEADWORD 10080
#define UIA_IDS_DATALIST_DICTIONARY 10081
#define UIA_IDS_DATALIST_DATE 10082
#endif
#ifndef UIA_IDI_DATALIST_FOLDED
#define UIA_IDI_DATALIST_FOLDED 175
#define UIA_IDI_DATALIST_OPEN 176
#endif
#ifndef UIA_IDB_DATALIST_DOT
#define UIA_IDB_DATALIST_DOT 4
#endif

static const int kViewId = 1;

static LRESULT CALLBACK DataListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

BOOL DataList_RegisterClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_GLOBALCLASS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DataListProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = VLDATALISTCLASS;
    return RegisterClassA(&wc) != 0;
}

void DataList_UnregisterClass(HINSTANCE instance)
{
    UnregisterClassA(VLDATALISTCLASS, instance);
}

DataList *DataList_Of(HWND window)
{
    return (DataList *)GetWindowLongPtrA(window, GWLP_USERDATA);
}

// ---- Rows and items ----------------------------------------------------------------------------

int DataList_ShownCount(const DataList *dl)
{
    return (int)SendMessageA(dl->view, LVM_GETITEMCOUNT, 0, 0);
}

int DataList_RowIndex(const DataList *dl, int row)
{
    if (row < 0 || row >= DataList_ShownCount(dl)) return -1;
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = row;
    if (!SendMessageA(dl->view, LVM_GETITEMA, 0, (LPARAM)&lv)) return -1;
    int index = (int)lv.lParam;
    return index >= 0 && index < (int)dl->rows.size() ? index : -1;
}

int DataList_ItemOfRow(const DataList *dl, int row)
{
    int index = DataList_RowIndex(dl, row);
    if (index < 0) return -1;
    int item = dl->rows[index].item;
    return item < VLWordList_Count(dl->list) ? item : -1;
}

VLDataItem *DataList_ItemAt(const DataList *dl, int row)
{
    int item = DataList_ItemOfRow(dl, row);
    return item < 0 ? nullptr : VLWordList_GetItem(dl->list, item);
}

int DataList_RowOfItem(const DataList *dl, int item)
{
    if (item < 0 || item >= VLWordList_Count(dl->list)) return -1;
    // Rows run in item order; a hidden sub-entry is shown by the folded main row before it.
    int shown = DataList_ShownCount(dl), before = -1;
    for (int row = 0; row < shown; row++) {
        int index = DataList_RowIndex(dl, row);
        if (index < 0) continue;
        if (dl->rows[index].item == item) return row;
        if (dl->rows[index].item > item) break;
        before = row;
    }
    int index = DataList_RowIndex(dl, before);
    return index >= 0 && dl->rows[index].kind == ROW_FOLDED ? before : -1;
}

int DataList_ArgumentRow(const DataList *dl, WPARAM row)
{
    if ((int)row == -1) return (int)SendMessageA(dl->view, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    return (int)row;
}

std::vector<int> DataList_SelectedRows(const DataList *dl)
{
    std::vector<int> rows;
    for (int row = -1;;) {
        row = (int)SendMessageA(dl->view, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED);
        if (row < 0) break;
        rows.push_back(row);
    }
    return rows;
}

std::vector<RowSight> DataList_Sights(const DataList *dl)
{
    int shown = DataList_ShownCount(dl);
    std::vector<RowSight> sights(shown);
    for (int row = 0; row < shown; row++) {
        int index = DataList_RowIndex(dl, row);
        VLDataItem *item = DataList_ItemAt(dl, row);
        sights[row].kind = index < 0 ? ROW_PLAIN : dl->rows[index].kind;
        sights[row].dictionary = item ? Rows_DictionaryOf(item) : 0;
    }
    return sights;
}

DWORD DataList_NavFlags(const DataList *dl, int row)
{
    std::vector<RowSight> sights = DataList_Sights(dl);
    return Rows_NavFlags(sights.data(), (int)sights.size(), row);
}

void DataList_SelectAlone(DataList *dl, int row)
{
    if (row < 0 || row >= DataList_ShownCount(dl)) return;
    LVITEMA lv = {};
    lv.stateMask = LVIS_SELECTED;
    lv.state = 0;
    SendMessageA(dl->view, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&lv);
    lv.stateMask = dl->popup ? LVIS_SELECTED : LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = lv.stateMask;
    SendMessageA(dl->view, LVM_SETITEMSTATE, row, (LPARAM)&lv);
    SendMessageA(dl->view, LVM_ENSUREVISIBLE, row, FALSE);
}

bool DataList_IsDriverDictionary(const VLDataItem *item)
{
    DicInfo info = {};
    info.size = sizeof info;
    return Lexicore_GetDicInfo(item->head.fileId, &info) && info.kind == 3;
}

void DataList_DictionaryName(const VLDataItem *item, char *name, int size, COLORREF *colour)
{
    DicProperty property = {};
    property.size = sizeof property;
    name[0] = 0;
    if (colour) *colour = GetSysColor(COLOR_WINDOW);
    DWORD id = item->head.fileId << 8 | (item->head.subDicNo & 0xFF);
    if (!Lexicore_GetDicProperty(id, &property)) return;
    lstrcpynA(name, property.name, size);
    if (colour) *colour = property.colour;
}

void DataList_DateText(const VLDataItem *item, char *out, int size)
{
    SYSTEMTIME st;
    out[0] = 0;
    if (!FileTimeToSystemTime(&item->head.time, &st)) return;
    char date[64] = "", time[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, sizeof time);
    snprintf(out, size, "%s %s", date, time);
}

// ---- Choosing ----------------------------------------------------------------------------------

void DataList_Choose(DataList *dl, int row, int how)
{
    if (!dl->notify || VLWordList_Count(dl->list) == 0) return;
    bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    if (shift && !control) return;
    int item = DataList_ItemOfRow(dl, row);
    if (item < 0) return;
    VLWordList_SetCurItem(dl->list, item);
    VLDataItem *entry = VLWordList_GetItem(dl->list, item);
    if (!(dl->style & VLDLS_NOHISTORY) && !DataList_IsDriverDictionary(entry))
        Lexshelf_AddToHistory(entry);
    SendMessageA(GetParent(dl->window), VLDLN_CHOOSE, MAKEWPARAM(item, how),
                 (LPARAM)DataList_NavFlags(dl, row));
}

// ---- Refresh, columns and sizes -----------------------------------------------------------------

static void InsertShownRow(DataList *dl, int at, int index)
{
    char text[16];
    snprintf(text, sizeof text, "%06d", dl->rows[index].item);
    LVITEMA lv = {};
    lv.mask = LVIF_TEXT | LVIF_PARAM;
    lv.iItem = at;
    lv.pszText = text;
    lv.lParam = index;
    SendMessageA(dl->view, LVM_INSERTITEMA, 0, (LPARAM)&lv);
}

LRESULT DataList_Refresh(DataList *dl)
{
    SendMessageA(dl->view, LVM_DELETEALLITEMS, 0, 0);
    Rows_Build(dl->list, (dl->style & VLDLS_FLAT) != 0, (dl->style & VLDLS_FOLDED) != 0, &dl->rows);
    int at = 0;
    for (int index = 0; index < (int)dl->rows.size(); index++)
        if (Rows_IsShown(dl->rows, index)) InsertShownRow(dl, at++, index);
    DataList_MeasureColumns(dl);
    if (dl->popup && at > 0) {
        DataList_SelectAlone(dl, 0);
        DataList_Choose(dl, 0, 0);
    }
    return 1;
}

bool DataList_ToggleGroup(DataList *dl, int row)
{
    int index = DataList_RowIndex(dl, row);
    if (index < 0) return false;
    DataRow &main = dl->rows[index];
    if (main.kind == ROW_FOLDED) {
        main.kind = ROW_OPEN;
        int at = row + 1;
        for (int sub = index + 1; sub < (int)dl->rows.size() && dl->rows[sub].kind == ROW_SUB; sub++)
            InsertShownRow(dl, at++, sub);
    } else if (main.kind == ROW_OPEN) {
        main.kind = ROW_FOLDED;
        for (;;) {
            int next = DataList_RowIndex(dl, row + 1);
            if (next < 0 || dl->rows[next].kind != ROW_SUB) break;
            SendMessageA(dl->view, LVM_DELETEITEM, row + 1, 0);
        }
    } else {
        return false;
    }
    SendMessageA(dl->view, LVM_REDRAWITEMS, row, row);
    if (dl->popup || (dl->style & VLDLS_FOLDED)) DataList_FitNatural(dl, (dl->style & VLDLS_FOLDED) != 0);
    return true;
}

void DataList_MeasureColumns(DataList *dl)
{
    int widths[3] = {20, 20, 20};
    HDC dc = GetDC(dl->view);
    HGDIOBJ oldFont = SelectObject(dc, dl->font);
    for (const DataRow &r : dl->rows) {
        VLDataItem *item = VLWordList_GetItem(dl->list, r.item);
        if (!item) continue;
        for (int c = 0; c < dl->columnCount; c++) {
            SIZE size = {0, 0};
            int width = 0;
            if (dl->columns[c] == COLUMN_HEADWORD) {
                const char *text = item->second ? item->second : item->headword;
                if (text) Strandkit_GetTaggedExtent(dc, text, &size);
                width = size.cx + (r.kind == ROW_SUB ? 38 : 28) + 10;
            } else if (dl->columns[c] == COLUMN_DICTIONARY) {
                char name[256];
                DataList_DictionaryName(item, name, sizeof name, nullptr);
                GetTextExtentPoint32A(dc, name, lstrlenA(name), &size);
                width = size.cx + 24 + 10;
            } else {
                char date[160];
                DataList_DateText(item, date, sizeof date);
                GetTextExtentPoint32A(dc, date, lstrlenA(date), &size);
                width = size.cx + 2 + 10;
            }
            widths[c] = std::max(widths[c], width);
        }
    }
    SelectObject(dc, oldFont);
    ReleaseDC(dl->view, dc);
    for (int c = 0; c < dl->columnCount; c++) {
        dl->naturalWidth[c] = widths[c];
        if (c == 0 || (dl->style & VLDLS_ROWLIMIT))
            SendMessageA(dl->view, LVM_SETCOLUMNWIDTH, c, MAKELPARAM(widths[c], 0));
    }
}

void DataList_FitNatural(DataList *dl, bool notifyParent)
{
    if (dl->rowLimit > 0) {
        int count = DataList_ShownCount(dl);
        int rows = std::min(dl->rowLimit, count);
        DWORD view = (DWORD)SendMessageA(dl->view, LVM_APPROXIMATEVIEWRECT, rows, MAKELPARAM(-1, -1));
        int width = LOWORD(view), height = HIWORD(view);
        if (dl->rowLimit >= count) height -= GetSystemMetrics(SM_CYHSCROLL);
        width += GetSystemMetrics(SM_CXVSCROLL);
        RECT frame = {0, 0, width, std::max(height, 0)};
        AdjustWindowRectEx(&frame, (DWORD)GetWindowLongA(dl->window, GWL_STYLE), FALSE,
                           (DWORD)GetWindowLongA(dl->window, GWL_EXSTYLE));
        SetWindowPos(dl->window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (notifyParent) {
        RECT rc;
        GetWindowRect(dl->window, &rc);
        SendMessageA(GetParent(dl->window), VLDLN_SIZE,
                     MAKEWPARAM(rc.right - rc.left, rc.bottom - rc.top), 0);
    }
}

void DataList_Lock(DataList *dl, bool lock)
{
    if (lock) {
        if (dl->lockCount == 0) SendMessageA(dl->view, WM_SETREDRAW, FALSE, 0);
        dl->lockCount++;
        return;
    }
    if (dl->lockCount > 0) dl->lockCount--;
    if (dl->lockCount == 0) {
        SendMessageA(dl->view, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(dl->view, nullptr, TRUE);
    }
}

void DataList_CloseDropDown(DataList *dl, bool chosen)
{
    if (dl->inMenuLoop) {
        dl->inMenuLoop = false;
        SendMessageA(GetParent(dl->window), WM_EXITMENULOOP, chosen ? 1 : 0, 0);
    }
    if (GetCapture() == dl->view) ReleaseCapture();
    ShowWindow(dl->window, SW_HIDE);
}

// ---- Creation and destruction ------------------------------------------------------------------

// The dot's ink: the first pixel that differs from the top-left one (the transparent colour),
// or that colour itself for a plain image.
static COLORREF DotInk(const DibHandle *dot)
{
    COLORREF ink = GetSysColor(COLOR_GRAYTEXT);
    int width = 0, height = 0;
    Basekit_DibGetSize(dot, &width, &height);
    if (width <= 0 || height <= 0) return ink;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(mem, bitmap);
    if (Basekit_DibDraw(dot, mem, 0, 0)) {
        COLORREF key = GetPixel(mem, 0, 0);
        ink = key;
        for (int i = 0; i < width * height; i++) {
            COLORREF c = GetPixel(mem, i % width, i / width);
            if (c != key) { ink = c; break; }
        }
    }
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ink;
}

static int RowHeightOf(bool popup)
{
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    HDC screen = GetDC(nullptr);
    int height = MulDiv(abs(font.lfHeight), GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    if (height & 1) height++;
    return popup ? height + 2 : height;
}

static void AddColumn(DataList *dl, ColumnKind kind, UINT textId)
{
    char title[64] = "";
    Uiassets_LoadString(textId, title, sizeof title);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = 75;
    column.pszText = title;
    column.iSubItem = dl->columnCount;
    SendMessageA(dl->view, LVM_INSERTCOLUMNA, dl->columnCount, (LPARAM)&column);
    dl->columns[dl->columnCount++] = kind;
}

static HICON LoadListIcon(UINT id)
{
    HMODULE assets = Uiassets_GetModule();
    return assets ? (HICON)LoadImageA(assets, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0) : nullptr;
}

static bool OnCreate(DataList *dl, HWND window, const CREATESTRUCTA *cs)
{
    int maximum = (int)(INT_PTR)cs->lpCreateParams;
    dl->window = window;
    dl->style = cs->style & 0xFFFF;
    dl->popup = (cs->style & WS_POPUP) != 0;
    dl->list = VLWordList_Create(maximum < 1 ? 1 : maximum);
    if (!dl->list) return false;
    dl->list->window = window;
    dl->rowHeight = RowHeightOf(dl->popup);
    Prefstore_LoadCandidateList(&dl->options);
    dl->dot = (DibHandle *)Basekit_DibHandleCreate();
    HMODULE assets = Uiassets_GetModule();
    if (dl->dot && assets) Basekit_DibHandleLoadResource(dl->dot, assets, MAKEINTRESOURCEA(UIA_IDB_DATALIST_DOT));
    dl->dotColour = DotInk(dl->dot);
    dl->foldedIcon = LoadListIcon(UIA_IDI_DATALIST_FOLDED);
    dl->openIcon = LoadListIcon(UIA_IDI_DATALIST_OPEN);
    dl->font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);

    RECT client;
    GetClientRect(window, &client);
    DWORD viewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_OWNERDRAWFIXED |
                      LVS_REPORT;
    if (!(dl->style & VLDLS_MULTISELECT)) viewStyle |= LVS_SINGLESEL;
    if (dl->style & VLDLS_NOHEADER) viewStyle |= LVS_NOCOLUMNHEADER;
    // The list view asks its row height (WM_MEASUREITEM) while it is created.
    dl->view = CreateWindowExA(0, WC_LISTVIEWA, "", viewStyle, 0, 0, client.right, client.bottom,
                               window, (HMENU)(INT_PTR)kViewId, g_widgetryInstance, nullptr);
    if (!dl->view) return false;
    SendMessageA(dl->view, WM_SETFONT, (WPARAM)dl->font, FALSE);
    SendMessageA(dl->view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    if (dl->style & VLDLS_HEADWORD) AddColumn(dl, COLUMN_HEADWORD, UIA_IDS_DATALIST_HEADWORD);
    if (dl->style & VLDLS_DICTIONARY) AddColumn(dl, COLUMN_DICTIONARY, UIA_IDS_DATALIST_DICTIONARY);
    if (dl->style & VLDLS_DATE) AddColumn(dl, COLUMN_DATE, UIA_IDS_DATALIST_DATE);
    DataList_SubclassView(dl);
    dl->backgroundColour = GetSysColor(COLOR_WINDOW);
    dl->background = CreateSolidBrush(dl->backgroundColour);
    dl->sortDirection[0] = 1;
    dl->notify = true;
    DataList_Refresh(dl);
    return true;
}

static void OnDestroy(DataList *dl)
{
    Basekit_DibHandleFree(dl->dot);
    if (dl->background) DeleteObject(dl->background);
    if (dl->foldedIcon) DestroyIcon(dl->foldedIcon);
    if (dl->openIcon) DestroyIcon(dl->openIcon);
    VLWordList_Destroy(dl->list);
    dl->list = nullptr;
    dl->rows.clear();
}

// ---- Messages ----------------------------------------------------------------------------------

static void OnShow(DataList *dl)
{
    if (dl->popup && VLWordList_Count(dl->list) == 0) {
        SetWindowPos(dl->window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (dl->style & VLDLS_ROWLIMIT) {
        DataList_FitNatural(dl, false);
        SetCapture(dl->view);
    }
    if (dl->popup && !dl->inMenuLoop) {
        dl->inMenuLoop = true;
        SendMessageA(GetParent(dl->window), WM_ENTERMENULOOP, 0, 0);
    }
}

static LRESULT OnSetMaxCount(DataList *dl, int maximum)
{
    if (!dl->list) return 0;
    if (maximum < 1) maximum = 1;
    if (maximum == dl->list->maximum) return 1;
    VLWordList_SetMaxNum(dl->list, maximum);
    DataList_Refresh(dl);
    return 1;
}

static LRESULT OnRowMessage(DataList *dl, UINT message, WPARAM wParam, LPARAM lParam)
{
    int row = DataList_ArgumentRow(dl, wParam);
    VLDataItem *item = DataList_ItemAt(dl, row);
    switch (message) {
    case VLDLM_GETROWRECT: {
        RECT *rect = (RECT *)lParam;
        if (!item || !rect) return 0;
        rect->left = LVIR_SELECTBOUNDS;
        return SendMessageA(dl->view, LVM_GETITEMRECT, row, (LPARAM)rect) ? 1 : 0;
    }
    case VLDLM_PRONOUNCE: return item ? Lexshelf_PronounceEntry(item) : 0;
    case VLDLM_HASLANGITEM: return item ? Linguakeeper_HasItem(item) : 0;
    case VLDLM_GETNAVFLAGS: return DataList_NavFlags(dl, row);
    case VLDLM_ENSUREVISIBLE:
        if (!item) return 0;
        SendMessageA(dl->view, LVM_ENSUREVISIBLE, row, FALSE);
        return 1;
    }
    return 0;
}

static LRESULT OnListMessage(DataList *dl, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case VLDLM_REFRESH: return DataList_Refresh(dl);
    case VLDLM_SELECTROW:
        if (DataList_ItemOfRow(dl, (int)wParam) < 0) return 0;
        DataList_SelectAlone(dl, (int)wParam);
        return 1;
    case VLDLM_NEXTSELECTED: {
        int start = (int)wParam;
        if (start < 0) start = 0;
        return SendMessageA(dl->view, LVM_GETNEXTITEM, start - 1, LVNI_SELECTED);
    }
    case VLDLM_LOCK: DataList_Lock(dl, wParam == VLDL_LOCK); return 1;
    case VLDLM_DELETE: return DataList_Delete(dl, wParam);
    case VLDLM_SELECTALL: {
        if (!(dl->style & VLDLS_MULTISELECT)) return 0;
        LVITEMA lv = {};
        lv.stateMask = lv.state = LVIS_SELECTED;
        SendMessageA(dl->view, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&lv);
        return 1;
    }
    case VLDLM_SHOW: OnShow(dl); return 1;
    case VLDLM_GETLIST: return (LRESULT)dl->list;
    case VLDLM_SETMAXCOUNT: return OnSetMaxCount(dl, (int)wParam);
    case VLDLM_MOVE: {
        int from = DataList_ArgumentRow(dl, (WPARAM)-1);
        std::vector<RowSight> sights = DataList_Sights(dl);
        int to = Rows_MoveTarget(sights.data(), (int)sights.size(), from, (int)wParam);
        if (to >= 0) DataList_SelectAlone(dl, to);
        return to;
    }
    case VLDLM_GETROWRECT:
    case VLDLM_PRONOUNCE:
    case VLDLM_HASLANGITEM:
    case VLDLM_GETNAVFLAGS:
    case VLDLM_ENSUREVISIBLE: return OnRowMessage(dl, message, wParam, lParam);
    case VLDLM_SETNOTIFY: dl->notify = wParam != 0; return 1;
    case VLDLM_ADDTOSTUDYLIST: return DataList_AddToStudyList(dl);
    case VLDLM_SETCLICKNOCHOOSE: dl->clickNoChoose = wParam != 0; return 1;
    case VLDLM_PRINT: return DataList_Print(dl);
    case VLDLM_SETBKCOLOR:
        if (dl->background) DeleteObject(dl->background);
        dl->backgroundColour = (COLORREF)wParam;
        dl->background = CreateSolidBrush(dl->backgroundColour);
        InvalidateRect(dl->view, nullptr, TRUE);
        return 1;
    case VLDLM_GETNATURALWIDTH: return dl->columnCount > 0 ? dl->naturalWidth[0] : 0;
    case VLDLM_SETROWLIMIT: dl->rowLimit = (int)wParam; return 1;
    }
    return 0;
}

static LRESULT CALLBACK DataListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DataList *dl = DataList_Of(window);
    if (message == WM_NCCREATE) {
        dl = new DataList();
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)dl);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!dl) return DefWindowProcA(window, message, wParam, lParam);
    if (message >= VLDLM_REFRESH && message <= VLDLM_PRINT) {
        if (!dl->view) return 0;
        return OnListMessage(dl, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE: return OnCreate(dl, window, (const CREATESTRUCTA *)lParam) ? 0 : -1;
    case VLDLM_SETBKCOLOR:
    case VLDLM_GETNATURALWIDTH:
    case VLDLM_SETROWLIMIT: return dl->view ? OnListMessage(dl, message, wParam, lParam) : 0;
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT *measure = (MEASUREITEMSTRUCT *)lParam;
        if (measure->CtlType != ODT_LISTVIEW) break;
        measure->itemHeight = dl->rowHeight;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *draw = (const DRAWITEMSTRUCT *)lParam;
        if (draw->CtlType != ODT_LISTVIEW || !dl->view) break;
        DataList_DrawRow(dl, draw);
        return TRUE;
    }
    case WM_NOTIFY: return dl->view ? DataList_OnNotify(dl, (NMHDR *)lParam) : 0;
    case WM_SIZE:
        if (dl->view) MoveWindow(dl->view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (dl->view) SetFocus(dl->view);
        return 0;
    case WM_SHOWWINDOW:
        if (wParam && dl->view) OnShow(dl);
        break;
    case WM_CUT: return dl->view ? DataList_CutCopy(dl, true) : 0;
    case WM_COPY: return dl->view ? DataList_CutCopy(dl, false) : 0;
    case WM_PASTE: return dl->view ? DataList_Paste(dl) : 0;
    case WM_DESTROY: OnDestroy(dl); return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete dl;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- Exports -----------------------------------------------------------------------------------

extern "C" HWND WINAPI Widgetry_CreateDataList(DWORD exStyle, DWORD style, int x, int y, int width,
                                               int height, int rowLimit, UINT id, HWND parent,
                                               int maximum)
{
    HMENU menu = (style & WS_CHILD) ? (HMENU)(UINT_PTR)id : nullptr;
    HWND window = CreateWindowExA(exStyle, VLDATALISTCLASS, "", style, x, y, width, height, parent,
                                  menu, g_widgetryInstance, (LPVOID)(INT_PTR)maximum);
    if (!window) return nullptr;
    ShowWindow(window, SW_SHOW);
    SendMessageA(window, VLDLM_SETBKCOLOR, GetSysColor(COLOR_WINDOW), 0);
    SendMessageA(window, VLDLM_SETROWLIMIT, (style & VLDLS_ROWLIMIT) ? rowLimit : 0, 0);
    UpdateWindow(window);
    return window;
}

extern "C" HWND WINAPI Widgetry_CreateDataListEx(DWORD exStyle, DWORD style, int x, int y,
                                                 int width, int height, int rowLimit, UINT id,
                                                 HWND parent, int maximum, COLORREF background,
                                                 BOOL show)
{
    HMENU menu = (style & WS_CHILD) ? (HMENU)(UINT_PTR)id : nullptr;
    HWND window = CreateWindowExA(exStyle, VLDATALISTCLASS, "", style, x, y, width, height, parent,
                                  menu, g_widgetryInstance, (LPVOID)(INT_PTR)maximum);
    if (!window) return nullptr;
    SendMessageA(window, VLDLM_SETBKCOLOR, background, 0);
    int natural = (int)SendMessageA(window, VLDLM_GETNATURALWIDTH, 0, 0);
    SendMessageA(window, VLDLM_SETROWLIMIT, (style & VLDLS_ROWLIMIT) ? rowLimit : 0, 0);
    SetWindowPos(window, nullptr, 0, 0, natural, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (show) ShowWindow(window, SW_SHOW);
    return window;
}
