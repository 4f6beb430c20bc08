// The Yes/No dialog and the message dialog: a text, a picture drawn with a mask colour, the
// dialog's icon, and an optional place that holds the dialog's window while it is open.
#include <stdlib.h>
#include <string.h>

#include "ui_int.h"

#include <commctrl.h>

namespace {

// Owned by the dialog call from start to end.
struct MessageDialog {
    int yesNo;             // 1 for the Yes/No dialog
    HWND owner;
    UINT iconId;
    HINSTANCE iconModule;
    UINT bitmapId;
    HINSTANCE bitmapModule;
    COLORREF mask;
    char *text;
    char *caption;
    HIMAGELIST picture;
    SIZE pictureSize;
    int focus;             // control to focus (Yes/No), 0 for the default
    HWND *place;           // receives the dialog while it is open; may be null
    HICON icon;
};

char *Copy(const char *text)
{
    return _strdup(text ? text : "");
}

void LoadPicture(MessageDialog *d)
{
    HBITMAP bitmap = d->bitmapId ? LoadBitmapA(d->bitmapModule, MAKEINTRESOURCEA(d->bitmapId)) : nullptr;
    if (bitmap == nullptr) return;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    d->pictureSize.cx = info.bmWidth;
    d->pictureSize.cy = info.bmHeight;
    auto create = BASEKIT_LATE("comctl32.dll", ImageList_Create);
    auto add = BASEKIT_LATE("comctl32.dll", ImageList_AddMasked);
    d->picture = create && add ? create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0) : nullptr;
    if (d->picture) add(d->picture, bitmap, d->mask);
    DeleteObject(bitmap);
}

void OnInit(HWND dialog, MessageDialog *d)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    if (d->place) *d->place = dialog;
    if (d->iconId) d->icon = LoadIconA(d->iconModule, MAKEINTRESOURCEA(d->iconId));
    if (d->bitmapId)
        Basekit_SizeToBitmapWidth(d->bitmapModule, d->bitmapId, dialog, d->caption, d->icon, TRUE);
    Basekit_CenterWindow(dialog, d->caption, d->icon);
    SetDlgItemTextA(dialog, IDC_MSG_TEXT, d->text);
    LoadPicture(d);
    if (d->picture)
        SetWindowPos(GetDlgItem(dialog, IDC_MSG_PICTURE), nullptr, 0, 0, d->pictureSize.cx,
                     d->pictureSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK MessageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        MessageDialog *d = reinterpret_cast<MessageDialog *>(lParam);
        OnInit(dialog, d);
        if (d->yesNo && d->focus && GetDlgItem(dialog, d->focus)) {
            SetFocus(GetDlgItem(dialog, d->focus));
            return FALSE;
        }
        return TRUE;
    }
    MessageDialog *d = reinterpret_cast<MessageDialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (d == nullptr) return FALSE;
    switch (message) {
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *item = reinterpret_cast<DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID != IDC_MSG_PICTURE) return FALSE;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        if (d->picture) BASEKIT_LATE("comctl32.dll", ImageList_Draw)(d->picture, 0, item->hDC, 0, 0, ILD_TRANSPARENT);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDYES: EndDialog(dialog, 1); return TRUE;
        case IDNO: EndDialog(dialog, 0); return TRUE;
        case IDOK: EndDialog(dialog, 1); return TRUE;
        case IDCANCEL: EndDialog(dialog, d->yesNo ? 0 : 1); return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (d->place) *d->place = nullptr;
        return FALSE;
    }
    return FALSE;
}

int Run(MessageDialog *d, int templateId)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    if (auto init = BASEKIT_LATE("comctl32.dll", InitCommonControlsEx)) init(&controls);
    int result = 0;
    if (d->text && d->caption) {
        result = static_cast<int>(DialogBoxParamA(Files_Module(), MAKEINTRESOURCEA(templateId),
                                                  d->owner, MessageProc, reinterpret_cast<LPARAM>(d)));
    }
    if (d->place) *d->place = nullptr;
    if (d->picture) BASEKIT_LATE("comctl32.dll", ImageList_Destroy)(d->picture);
    free(d->text);
    free(d->caption);
    free(d);
    return result == 1;
}

MessageDialog *NewDialog(HWND owner, UINT iconId, HINSTANCE iconModule, UINT bitmapId,
                         HINSTANCE bitmapModule, COLORREF mask, const char *text,
                         const char *caption, HWND *place)
{
    MessageDialog *d = static_cast<MessageDialog *>(calloc(1, sizeof *d));
    if (d == nullptr) return nullptr;
    d->owner = owner;
    d->iconId = iconId;
    d->iconModule = iconModule;
    d->bitmapId = bitmapId;
    d->bitmapModule = bitmapModule;
    d->mask = mask;
    d->text = Copy(text);
    d->caption = Copy(caption);
    d->place = place;
    return d;
}

} // namespace

extern "C" int WINAPI Basekit_AskYesNo(HWND owner, UINT iconId, HINSTANCE iconModule,
                                       UINT bitmapId, HINSTANCE bitmapModule, COLORREF mask,
                                       const char *text, const char *caption, int focus,
                                       HWND *place)
{
    MessageDialog *d = NewDialog(owner, iconId, iconModule, bitmapId, bitmapModule, mask, text,
                                 caption, place);
    if (d == nullptr) return 0;
    d->yesNo = 1;
    d->focus = focus;
    return Run(d, IDD_YESNO);
}

extern "C" int WINAPI Basekit_ShowMessage(HWND owner, UINT iconId, HINSTANCE iconModule,
                                          UINT bitmapId, HINSTANCE bitmapModule, COLORREF mask,
                                          const char *text, const char *caption, HWND *place)
{
    MessageDialog *d = NewDialog(owner, iconId, iconModule, bitmapId, bitmapModule, mask, text,
                                 caption, place);
    if (d == nullptr) return 0;
    return Run(d, IDD_MESSAGE);
}
