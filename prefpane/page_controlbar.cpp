// The control-bar page (template 215) over ControlBarOptions: standard or chosen buttons, which
// buttons (one check box per bit of ControlBarFlag) and the size of the buttons.
#include "prefpane_int.h"

#include "uiassets.h"

namespace {

int ButtonBits()
{
    return (1 << 14) - 1;
}

void EnableControls(HWND page)
{
    int custom = Pp_GetCheck(page, UIA_IDC_CB_CUSTOM) == 1;
    int standard = Pp_GetCheck(page, UIA_IDC_CB_STANDARD) == 1;
    Pp_Enable(page, UIA_IDC_CB_MODE_ALL, standard);
    Pp_Enable(page, UIA_IDC_CB_MODE_MAIN, standard);
    for (int id : kControlBarButtons) Pp_Enable(page, id, custom);
}

// Reads a pair of radios (1 for the first, 0 for the second); neither checked keeps the field.
void ReadPair(HWND page, int onId, int offId, int *field)
{
    if (Pp_GetCheck(page, onId) == 1) *field = 1;
    else if (Pp_GetCheck(page, offId) == 1) *field = 0;
}

void Fill(HWND page, PpPage *p)
{
    const ControlBarOptions *o = (const ControlBarOptions *)p->record;
    Pp_SetCheck(page, UIA_IDC_CB_CUSTOM, o->ControlBarCustomize == 1);
    Pp_SetCheck(page, UIA_IDC_CB_STANDARD, o->ControlBarCustomize == 0);
    Pp_SetCheck(page, UIA_IDC_CB_MODE_ALL, o->ControlBarMode == 1);
    Pp_SetCheck(page, UIA_IDC_CB_MODE_MAIN, o->ControlBarMode == 0);
    for (int i = 0; i < 14; ++i) Pp_SetCheck(page, kControlBarButtons[i], (o->ControlBarFlag >> i) & 1);
    Pp_SetCheck(page, UIA_IDC_CB_LARGE, o->CtlBarIcon == 1);
    Pp_SetCheck(page, UIA_IDC_CB_SMALL, o->CtlBarIcon == 0);
    EnableControls(page);
}

void Read(HWND page, PpPage *, void *record)
{
    ControlBarOptions *o = (ControlBarOptions *)record;
    ReadPair(page, UIA_IDC_CB_CUSTOM, UIA_IDC_CB_STANDARD, &o->ControlBarCustomize);
    ReadPair(page, UIA_IDC_CB_MODE_ALL, UIA_IDC_CB_MODE_MAIN, &o->ControlBarMode);
    int flags = o->ControlBarFlag & ~ButtonBits();   // bits without a check box stay
    for (int i = 0; i < 14; ++i) {
        int on = Pp_GetCheck(page, kControlBarButtons[i]);
        if (on < 0) on = (o->ControlBarFlag >> i) & 1;
        flags |= on << i;
    }
    o->ControlBarFlag = flags;
    ReadPair(page, UIA_IDC_CB_LARGE, UIA_IDC_CB_SMALL, &o->CtlBarIcon);
}

INT_PTR Message(HWND page, PpPage *, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == UIA_IDC_CB_CUSTOM || LOWORD(wParam) == UIA_IDC_CB_STANDARD)) {
        EnableControls(page);
        return TRUE;
    }
    return FALSE;
}

void Load(void *record) { Prefstore_LoadControlBar((ControlBarOptions *)record); }
int Save(const void *record) { return Prefstore_SaveControlBar((const ControlBarOptions *)record); }

}  // namespace

const PpPageClass kControlBarPage = {
    UIA_IDD_OPT_CONTROL_BAR, UIA_IDS_PAGE_CONTROL_BAR, 10010, 1, 0,
    sizeof(ControlBarOptions), kControlBarFields, kControlBarFieldCount, Load, Save, nullptr,
    nullptr, Fill, Read, Message, nullptr, nullptr, nullptr, nullptr,
};
