// The hot-key page (template 202) over HotkeyOptions: the switch and eleven hot-key controls.  The
// stored words carry the system's registration flags, the controls their own (Pp_HotkeyToControl).
#include "prefpane_int.h"

#include "uiassets.h"

namespace {

struct HotkeyField {
    int control;
    size_t offset;
};
const HotkeyField kKeys[] = {
    {UIA_IDC_HK_MENU, offsetof(HotkeyOptions, Menu)},
    {UIA_IDC_HK_PAUSE_MOUSE, offsetof(HotkeyOptions, PauseMouse)},
    {UIA_IDC_HK_PAUSE_KEYBOARD, offsetof(HotkeyOptions, PauseKB)},
    {UIA_IDC_HK_PAUSE_HOTKEY, offsetof(HotkeyOptions, PauseHotkey)},
    {UIA_IDC_HK_TRIGGER, offsetof(HotkeyOptions, TranHotkey)},
    {UIA_IDC_HK_PAUSE_CLIPBOARD, offsetof(HotkeyOptions, PauseCB)},
    {UIA_IDC_HK_SEARCH, offsetof(HotkeyOptions, Search)},
    {UIA_IDC_HK_TRANSLATE, offsetof(HotkeyOptions, Translate)},
    {UIA_IDC_HK_SETUP, offsetof(HotkeyOptions, Setup)},
    {UIA_IDC_HK_STUDY, offsetof(HotkeyOptions, StudyIt)},
    {UIA_IDC_HK_EXIT, offsetof(HotkeyOptions, Exit)},
};

WORD *Word(void *record, size_t offset) { return (WORD *)((char *)record + offset); }

void Fill(HWND page, PpPage *p)
{
    HotkeyOptions *o = (HotkeyOptions *)p->record;
    Pp_SetCheck(page, UIA_IDC_HK_USE, o->Use != 0);
    for (const HotkeyField &k : kKeys)
        SendDlgItemMessageA(page, k.control, HKM_SETHOTKEY, Pp_HotkeyToControl(*Word(o, k.offset)), 0);
}

void Read(HWND page, PpPage *, void *record)
{
    HotkeyOptions *o = (HotkeyOptions *)record;
    if (Pp_GetCheck(page, UIA_IDC_HK_USE) >= 0) o->Use = Pp_GetCheck(page, UIA_IDC_HK_USE);
    for (const HotkeyField &k : kKeys) {
        HWND control = GetDlgItem(page, k.control);
        if (control)
            *Word(o, k.offset) = Pp_HotkeyFromControl((WORD)SendMessageA(control, HKM_GETHOTKEY, 0, 0));
    }
}

void Load(void *record) { Prefstore_LoadHotkeys((HotkeyOptions *)record); }
int Save(const void *record) { return Prefstore_SaveHotkeys((const HotkeyOptions *)record); }

}  // namespace

const PpPageClass kHotkeyPage = {
    UIA_IDD_OPT_HOTKEYS, UIA_IDS_PAGE_HOTKEYS, 10002, 0, 0,
    sizeof(HotkeyOptions), kHotkeyFields, kHotkeyFieldCount, Load, Save, nullptr, nullptr,
    Fill, Read, nullptr, nullptr, nullptr, nullptr, nullptr,
};
