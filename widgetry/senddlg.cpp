// The send-text dialog: a line of text, tagged with the field's charset, sent to a viewer window
// with the flags of three check boxes.  Each dialog keeps its own target.
#include <stdio.h>
#include <stdlib.h>

#include "widgetry.h"
#include "quickfield.h"
#include "uiassets.h"

namespace {

struct SendDialog {
    HWND target;
};

const struct {
    int control;
    LPARAM flag;
} kFlagBoxes[] = {
    {UIA_IDC_SEND_FLAG1, 1},
    {UIA_IDC_SEND_FLAG2, 2},
    {UIA_IDC_SEND_FLAG4, 4},
};

void OnSend(HWND dialog, SendDialog *state)
{
    HWND field = GetDlgItem(dialog, UIA_IDC_SEND_EDIT);
    LRESULT size = SendMessageA(field, QFM_GETTEXTEX, 0, 0);
    int textBytes = LOWORD(size);
    int charset = HIWORD(size) & 0xFF;
    char *text = static_cast<char *>(calloc(textBytes + 8, 1));
    if (!text) return;
    snprintf(text, 5, "%cF%02x", 27, charset);
    SendMessageA(field, QFM_GETTEXTEX, textBytes + 1, reinterpret_cast<LPARAM>(text + 4));

    LPARAM flags = 0;
    for (const auto &box : kFlagBoxes)
        if (IsDlgButtonChecked(dialog, box.control) == BST_CHECKED) flags |= box.flag;
    if (!SendMessageA(state->target, VLM_VIEWER_SEND_TEXT, reinterpret_cast<WPARAM>(text), flags))
        Uiassets_MessageBox(dialog, UIA_IDS_SEND_FAILED, UIA_IDS_SEND_FAILED_CAPTION,
                            MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
    free(text);
}

INT_PTR CALLBACK SendDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    SendDialog *state = reinterpret_cast<SendDialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND:
        if (!state) return FALSE;
        switch (LOWORD(wParam)) {
        case UIA_IDC_SEND_BUTTON:
            OnSend(dialog, state);
            return TRUE;
        case UIA_IDC_SEND_EDIT:
            if (HIWORD(wParam) == QFN_RETURN) OnSend(dialog, state);
            else if (HIWORD(wParam) == EN_SETFOCUS) PostMessageA(reinterpret_cast<HWND>(lParam), QFM_SELECTALL, 0, 0);
            return TRUE;
        case IDOK:
            // Enter with the focus elsewhere clicks the default button.
            OnSend(dialog, state);
            return TRUE;
        case IDCANCEL:
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_NCDESTROY:
        free(state);
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        return FALSE;
    }
    return FALSE;
}

} // namespace

extern "C" HWND WINAPI Widgetry_ShowSendTextDialog(HWND owner, HWND target)
{
    if (!IsWindow(owner) || !IsWindow(target)) return nullptr;
    SendDialog *state = static_cast<SendDialog *>(calloc(1, sizeof(SendDialog)));
    if (!state) return nullptr;
    state->target = target;
    HWND dialog = CreateDialogParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_SEND_TEXT), owner,
                                     SendDialogProc, reinterpret_cast<LPARAM>(state));
    if (!dialog) {
        free(state);
        return nullptr;
    }
    ShowWindow(dialog, SW_SHOW);
    return dialog;
}
