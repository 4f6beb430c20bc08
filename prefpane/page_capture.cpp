// The capture page (template 203) over CaptureOptions: timers, where the pop-up appears, the
// lines taken with the word, the line modes of the capture keys and where the results go.
#include "prefpane_int.h"

#include <stdio.h>

#include "uiassets.h"

namespace {

const int kPositionIcons[6] = {169, 173, 170, 172, 171, 168};
const int kKeyModeStrings[5] = {1207, 1208, 1209, 1210, 1211};
const int kKeyCombos[4] = {UIA_IDC_CP_KEY_NONE, UIA_IDC_CP_KEY_SHIFT, UIA_IDC_CP_KEY_CTRL,
                           UIA_IDC_CP_KEY_SHIFTCTRL};
// Templates without the check box 1046 offer these two radios for PopupToSearch (1 and 0).
const int kToSearchOn = 1397, kToSearchOff = 1398;
const int kTimerMaximum = 5000, kTimerPage = 100, kLinesMaximum = 9;

int *KeyField(CaptureOptions *o, int i)
{
    int *fields[4] = {&o->CaptureNoKey, &o->CaptureShift, &o->CaptureCtrl, &o->CaptureShiftCtrl};
    return fields[i];
}

void ShowTimerValue(HWND page, int trackbar, int label)
{
    char text[32];
    snprintf(text, sizeof text, "%d", (int)SendDlgItemMessageA(page, trackbar, TBM_GETPOS, 0, 0));
    SetDlgItemTextA(page, label, text);
}

void SetTimerBar(HWND page, int trackbar, int label, int value)
{
    HWND bar = GetDlgItem(page, trackbar);
    if (!bar) return;
    SendMessageA(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, kTimerMaximum));
    SendMessageA(bar, TBM_SETPAGESIZE, 0, kTimerPage);
    SendMessageA(bar, TBM_SETPOS, TRUE, value);
    ShowTimerValue(page, trackbar, label);
}

int ToSearchChecked(HWND page)
{
    int on = Pp_GetCheck(page, UIA_IDC_CP_TO_SEARCH);
    return on >= 0 ? on : Pp_GetCheck(page, kToSearchOn) == 1;
}

void EnableControls(HWND page)
{
    int toSearch = ToSearchChecked(page) && GetDlgItem(page, UIA_IDC_CP_TO_SEARCH);
    int listMode = Pp_GetCheck(page, UIA_IDC_CP_LISTMODE) == 1;
    Pp_Enable(page, UIA_IDC_CP_LISTMODE, !toSearch);
    for (int i = 0; i < 6; ++i) Pp_Enable(page, UIA_IDC_CP_POS_FIRST + i, !toSearch && !listMode);
}

void Fill(HWND page, PpPage *p)
{
    const CaptureOptions *o = (const CaptureOptions *)p->record;
    SetTimerBar(page, UIA_IDC_CP_MOUSE_TIMER, UIA_IDC_CP_MOUSE_TIMER_TEXT, o->MouseTimer);
    SetTimerBar(page, UIA_IDC_CP_KEY_TIMER, UIA_IDC_CP_KEY_TIMER_TEXT, o->KeyboardTimer);
    for (int i = 0; i < 6; ++i) {
        HANDLE icon = LoadImageA(Pp_Resources(), MAKEINTRESOURCEA(kPositionIcons[i]), IMAGE_ICON,
                                 16, 16, LR_SHARED);
        SendDlgItemMessageA(page, UIA_IDC_CP_POS_FIRST + i, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
        Pp_SetCheck(page, UIA_IDC_CP_POS_FIRST + i, o->PopupPos == i);
    }
    Pp_SetCheck(page, UIA_IDC_CP_LISTMODE, o->ListMode != 0);
    Pp_SetCheck(page, UIA_IDC_CP_NO_EMPTY, o->NoDispWhenNoCandidate != 0);
    Pp_SetCheck(page, UIA_IDC_CP_TO_SEARCH, o->PopupToSearch != 0);
    Pp_SetCheck(page, kToSearchOn, o->PopupToSearch != 0);
    Pp_SetCheck(page, kToSearchOff, o->PopupToSearch == 0);
    Pp_SetNumber(page, UIA_IDC_CP_UPPER, UIA_IDC_CP_UPPER_SPIN, o->UpperCaptureLine, 0, kLinesMaximum);
    Pp_SetNumber(page, UIA_IDC_CP_LOWER, UIA_IDC_CP_LOWER_SPIN, o->LowerCaptureLine, 0, kLinesMaximum);
    CaptureOptions copy = *o;
    for (int i = 0; i < 4; ++i)
        Pp_FillComboStrings(page, kKeyCombos[i], kKeyModeStrings, 5, *KeyField(&copy, i));
    Pp_SetCheck(page, UIA_IDC_CP_INTELLIWORD, o->IntelliWord != 0);
    Pp_SetCheck(page, UIA_IDC_CP_SPELLCHECK, o->SpellCheck != 0);
    Pp_SetCheck(page, UIA_IDC_CP_HOTKEY_POPUP, o->HotkeyTranToPopupWindow == 1);
    Pp_SetCheck(page, UIA_IDC_CP_HOTKEY_SEARCH, o->HotkeyTranToPopupWindow == 0);
    Pp_SetCheck(page, UIA_IDC_CP_CLIP_TRANSLATE, o->ClipboardTranToTranWindow == 1);
    Pp_SetCheck(page, UIA_IDC_CP_CLIP_SEARCH, o->ClipboardTranToTranWindow == 0);
    EnableControls(page);
}

// Reads a pair of radios into a field (1 for the first, 0 for the second); neither checked keeps it.
void ReadPair(HWND page, int onId, int offId, int *field)
{
    if (Pp_GetCheck(page, onId) == 1) *field = 1;
    else if (Pp_GetCheck(page, offId) == 1) *field = 0;
}

void Read(HWND page, PpPage *, void *record)
{
    CaptureOptions *o = (CaptureOptions *)record;
    if (GetDlgItem(page, UIA_IDC_CP_MOUSE_TIMER))
        o->MouseTimer = (int)SendDlgItemMessageA(page, UIA_IDC_CP_MOUSE_TIMER, TBM_GETPOS, 0, 0);
    if (GetDlgItem(page, UIA_IDC_CP_KEY_TIMER))
        o->KeyboardTimer = (int)SendDlgItemMessageA(page, UIA_IDC_CP_KEY_TIMER, TBM_GETPOS, 0, 0);
    if (Pp_GetCheck(page, UIA_IDC_CP_LISTMODE) >= 0) o->ListMode = Pp_GetCheck(page, UIA_IDC_CP_LISTMODE);
    for (int i = 0; i < 6; ++i)
        if (Pp_GetCheck(page, UIA_IDC_CP_POS_FIRST + i) == 1) o->PopupPos = i;
    if (o->ListMode) o->PopupPos = 2;   // the list always opens at the word
    if (Pp_GetCheck(page, UIA_IDC_CP_NO_EMPTY) >= 0)
        o->NoDispWhenNoCandidate = Pp_GetCheck(page, UIA_IDC_CP_NO_EMPTY);
    if (GetDlgItem(page, UIA_IDC_CP_TO_SEARCH))
        o->PopupToSearch = Pp_GetCheck(page, UIA_IDC_CP_TO_SEARCH);
    else
        ReadPair(page, kToSearchOn, kToSearchOff, &o->PopupToSearch);
    o->UpperCaptureLine = Pp_GetNumber(page, UIA_IDC_CP_UPPER, o->UpperCaptureLine);
    o->LowerCaptureLine = Pp_GetNumber(page, UIA_IDC_CP_LOWER, o->LowerCaptureLine);
    for (int i = 0; i < 4; ++i) {
        int index = Pp_GetComboIndex(page, kKeyCombos[i]);
        if (index >= 0) *KeyField(o, i) = index;
    }
    if (Pp_GetCheck(page, UIA_IDC_CP_INTELLIWORD) >= 0)
        o->IntelliWord = Pp_GetCheck(page, UIA_IDC_CP_INTELLIWORD);
    if (Pp_GetCheck(page, UIA_IDC_CP_SPELLCHECK) >= 0)
        o->SpellCheck = Pp_GetCheck(page, UIA_IDC_CP_SPELLCHECK);
    ReadPair(page, UIA_IDC_CP_HOTKEY_POPUP, UIA_IDC_CP_HOTKEY_SEARCH, &o->HotkeyTranToPopupWindow);
    ReadPair(page, UIA_IDC_CP_CLIP_TRANSLATE, UIA_IDC_CP_CLIP_SEARCH, &o->ClipboardTranToTranWindow);
}

INT_PTR Message(HWND page, PpPage *, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_HSCROLL) {
        HWND bar = (HWND)lParam;
        if (bar == GetDlgItem(page, UIA_IDC_CP_MOUSE_TIMER))
            ShowTimerValue(page, UIA_IDC_CP_MOUSE_TIMER, UIA_IDC_CP_MOUSE_TIMER_TEXT);
        else if (bar == GetDlgItem(page, UIA_IDC_CP_KEY_TIMER))
            ShowTimerValue(page, UIA_IDC_CP_KEY_TIMER, UIA_IDC_CP_KEY_TIMER_TEXT);
        return TRUE;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        int id = LOWORD(wParam);
        if (id == UIA_IDC_CP_LISTMODE || id == UIA_IDC_CP_TO_SEARCH || id == kToSearchOn ||
            id == kToSearchOff) {
            EnableControls(page);
            return TRUE;
        }
    }
    return FALSE;
}

void Load(void *record) { Prefstore_LoadCapture((CaptureOptions *)record); }
int Save(const void *record) { return Prefstore_SaveCapture((const CaptureOptions *)record); }

}  // namespace

const PpPageClass kCapturePage = {
    UIA_IDD_OPT_CAPTURE, UIA_IDS_PAGE_CAPTURE, 10001, 1, PSWIZB_BACK | PSWIZB_NEXT,
    sizeof(CaptureOptions), kCaptureFields, kCaptureFieldCount, Load, Save, nullptr, nullptr,
    Fill, Read, Message, nullptr, nullptr, nullptr, nullptr,
};
