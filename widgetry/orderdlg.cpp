// The dictionary-order dialog: a priority list in a dictionary list with hot-key labels, moved an
// entry at a time with the arrow buttons; its place, size and visibility are kept in the settings.
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <commctrl.h>

#include "widgetry.h"
#include "lexshelf.h"
#include "basekit.h"
#include "uiassets.h"

namespace {

const char *const kSearchKey = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\SearchWindow\\OrderList";
const char *const kTranslationKey = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\TranslationWindow\\OrderList";

struct OrderDialog {
    HWND dialog, owner, list;
    int kind;
    UINT controlId;
    VLPriorityList *priority;
    DWORD selector[2];
    SIZE minimum;
    bool shown; // as the user left it (the window is hidden before it is destroyed)
};

const char *KeyOf(const OrderDialog *d)
{
    return d->kind == 1 ? kSearchKey : kTranslationKey;
}

void Notify(OrderDialog *d, UINT code, DWORD id, VLPriorityItem *item)
{
    VLDicChoice notice = {};
    notice.header.hwndFrom = d->dialog;
    notice.header.idFrom = d->controlId;
    notice.header.code = code;
    notice.id = id;
    notice.item = item;
    SendMessageA(d->owner, WM_NOTIFY, d->controlId, reinterpret_cast<LPARAM>(&notice));
}

void Layout(OrderDialog *d)
{
    RECT client, rc;
    GetClientRect(d->dialog, &client);
    HWND status = GetDlgItem(d->dialog, UIA_IDC_ORDER_STATUS);
    HWND label = GetDlgItem(d->dialog, UIA_IDC_ORDER_LABEL);
    HWND choose = GetDlgItem(d->dialog, UIA_IDC_ORDER_CHOOSE);
    HWND close = GetDlgItem(d->dialog, UIA_IDC_ORDER_CLOSE);
    SendMessageA(status, WM_SIZE, 0, 0);
    GetWindowRect(status, &rc);
    int statusHeight = rc.bottom - rc.top;
    GetWindowRect(label, &rc);
    int labelHeight = rc.bottom - rc.top;
    GetWindowRect(choose, &rc);
    int buttonWidth = rc.right - rc.left, buttonHeight = rc.bottom - rc.top;
    int width = client.right - 26 - 4;
    int listTop = labelHeight + 2;
    int h = client.bottom - buttonHeight - labelHeight - statusHeight - 8;
    if (h < 0) h = 0;
    MoveWindow(label, 26, 0, width, labelHeight, TRUE);
    MoveWindow(d->list, 26, listTop, width, h, TRUE);
    MoveWindow(GetDlgItem(d->dialog, UIA_IDC_ORDER_UP), 0, listTop + h / 2, 24, 24, TRUE);
    MoveWindow(GetDlgItem(d->dialog, UIA_IDC_ORDER_DOWN), 0, listTop + h / 2 + 28, 24, 24, TRUE);
    int buttonTop = client.bottom - statusHeight - buttonHeight - 2;
    MoveWindow(close, 26, buttonTop, buttonWidth, buttonHeight, TRUE);
    MoveWindow(choose, client.right - buttonWidth - 4, buttonTop, buttonWidth, buttonHeight, TRUE);
    InvalidateRect(d->dialog, nullptr, TRUE);
}

void Rebuild(OrderDialog *d)
{
    Widgetry_DicListSetSource(d->list, 2, d->priority, FALSE, nullptr, d->selector);
}

void OnMove(OrderDialog *d, int step)
{
    int row = static_cast<int>(SendMessageA(d->list, WIDGETRY_DLM_GETSELECTED, 0, 0));
    int target = row + step;
    if (row < 0 || target < 0 || target >= Widgetry_DicListGetCount(d->list)) return;
    int from = Lexshelf_PrioFind(d->priority, Widgetry_DicListGetItemId(d->list, row));
    int to = Lexshelf_PrioFind(d->priority, Widgetry_DicListGetItemId(d->list, target));
    if (!from || !to || !Lexshelf_PrioMove(d->priority, from, to)) return;
    // Committed at once, so that every process (every other search or translation window) takes
    // the new order, not only this one.
    Lexshelf_PrioCommit(d->priority);
    bool listHadFocus = IsChild(d->list, GetFocus()) || GetFocus() == d->list;
    Rebuild(d);
    SendMessageA(d->list, WIDGETRY_DLM_SELECTROW, target, 0);
    SendMessageA(d->list, WIDGETRY_DLM_ENSUREVISIBLE, target, 0);
    if (listHadFocus) SetFocus(d->list);
    Notify(d, WIDGETRY_ORDER_CHANGED, 0, nullptr);
}

void OnChoose(OrderDialog *d)
{
    int row = static_cast<int>(SendMessageA(d->list, WIDGETRY_DLM_GETSELECTED, 0, 0));
    DWORD id = row >= 0 ? Widgetry_DicListGetItemId(d->list, row) : 0;
    if (!id) return;
    VLPriorityItem item;
    if (!Lexshelf_PrioGetItem(d->priority, Lexshelf_PrioFind(d->priority, id), &item)) return;
    Notify(d, WIDGETRY_ORDER_CHOSEN, id, &item);
}

void Restore(OrderDialog *d)
{
    DWORD position = Basekit_SettingsReadDword(KeyOf(d), "MemoryPos");
    DWORD size = Basekit_SettingsReadDword(KeyOf(d), "MemorySize");
    bool stored = size != 0;
    int width = stored ? LOWORD(size) : 300, height = stored ? HIWORD(size) : 200;
    // Places left of or above the main screen are negative: the words are signed.
    int x = static_cast<short>(LOWORD(position)), y = static_cast<short>(HIWORD(position));
    SetWindowPos(d->dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // A first start (nothing stored) shows the dialog; later starts keep what the user left.
    if (!stored || Basekit_SettingsReadDword(KeyOf(d), "Show")) ShowWindow(d->dialog, SW_SHOWNOACTIVATE);
}

void Save(OrderDialog *d)
{
    RECT rc;
    GetWindowRect(d->dialog, &rc);
    DWORD position = MAKELONG(static_cast<WORD>(rc.left), static_cast<WORD>(rc.top));
    DWORD size = MAKELONG(static_cast<WORD>(rc.right - rc.left), static_cast<WORD>(rc.bottom - rc.top));
    Basekit_SettingsWriteDword(KeyOf(d), "MemoryPos", position);
    Basekit_SettingsWriteDword(KeyOf(d), "MemorySize", size);
    Basekit_SettingsWriteDword(KeyOf(d), "Show", d->shown ? 1 : 0);
}

void OnInit(HWND dialog, OrderDialog *d)
{
    d->dialog = dialog;
    d->list = GetDlgItem(dialog, UIA_IDC_ORDER_LIST);
    d->selector[0] = WIDGETRY_DLSRC_BAR;
    d->selector[1] = 0;
    SendMessageA(d->list, WIDGETRY_DLM_VIEWSTYLE, LVS_REPORT, 1);
    Rebuild(d);
    const struct {
        int control;
        UINT icon;
    } kArrows[] = {{UIA_IDC_ORDER_UP, UIA_IDI_ORDER_UP}, {UIA_IDC_ORDER_DOWN, UIA_IDI_ORDER_DOWN}};
    for (const auto &a : kArrows) {
        HICON large = nullptr, small = nullptr;
        Uiassets_GetIcons(a.icon, &large, &small);
        SendDlgItemMessageA(dialog, a.control, BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(small ? small : large));
    }
    // The smallest size: ten label lines high, and wide enough for both buttons beside the arrows
    // (the label's own width in the template is wider than the first-start size).
    RECT rc, button;
    GetClientRect(GetDlgItem(dialog, UIA_IDC_ORDER_LABEL), &rc);
    GetWindowRect(GetDlgItem(dialog, UIA_IDC_ORDER_CHOOSE), &button);
    d->minimum.cx = 26 + 2 * (button.right - button.left) + 16;
    d->minimum.cy = rc.bottom * 10;
    Restore(d);
    Layout(d);
}

INT_PTR CALLBACK OrderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    OrderDialog *d = reinterpret_cast<OrderDialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        OnInit(dialog, reinterpret_cast<OrderDialog *>(lParam));
        return FALSE;
    }
    if (!d) return FALSE;
    switch (message) {
    case WM_SIZE: Layout(d); return TRUE;
    case WM_SHOWWINDOW:
        if (!lParam) d->shown = wParam != 0;
        return FALSE;
    case WM_GETMINMAXINFO: {
        MINMAXINFO *info = reinterpret_cast<MINMAXINFO *>(lParam);
        info->ptMinTrackSize.x = d->minimum.cx;
        info->ptMinTrackSize.y = d->minimum.cy;
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case UIA_IDC_ORDER_UP: OnMove(d, -1); return TRUE;
        case UIA_IDC_ORDER_DOWN: OnMove(d, 1); return TRUE;
        case UIA_IDC_ORDER_CHOOSE:
        case IDOK: OnChoose(d); return TRUE;
        case UIA_IDC_ORDER_CLOSE:
        case IDCANCEL: ShowWindow(dialog, SW_HIDE); return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        NMHDR *header = reinterpret_cast<NMHDR *>(lParam);
        if (header->hwndFrom == d->list && header->code == NM_DBLCLK) OnChoose(d);
        return FALSE;
    }
    case WM_CLOSE: ShowWindow(dialog, SW_HIDE); return TRUE;
    case WIDGETRY_DBM_REFRESH: // dictionaries or groups added or removed (in any process)
        Rebuild(d);
        return TRUE;
    case WM_DESTROY: Save(d); return FALSE;
    case WM_NCDESTROY:
        free(d);
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        return FALSE;
    }
    return FALSE;
}

} // namespace

extern "C" HWND WINAPI Widgetry_ShowDicOrderDialog(HWND owner, int kind, UINT controlId)
{
    OrderDialog *d = static_cast<OrderDialog *>(calloc(1, sizeof(OrderDialog)));
    if (!d) return nullptr;
    d->owner = owner;
    d->kind = kind;
    d->controlId = controlId;
    int listKind = kind >= 0 && kind <= 2 ? kind : LEXSHELF_LIST_POPUP;
    d->priority = reinterpret_cast<VLPriorityList *>(static_cast<UINT_PTR>(listKind));
    HWND dialog = CreateDialogParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_DIC_ORDER), owner,
                                     OrderDialogProc, reinterpret_cast<LPARAM>(d));
    if (!dialog) free(d);
    return dialog;
}
