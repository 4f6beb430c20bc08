// The start-up page (template 201) over StartupOptions: shortcuts, icons, the switches at start-up
// and the translation set.
#include "prefpane_int.h"

#include <string.h>

#include "lexshelf.h"
#include "uiassets.h"

namespace {

struct CheckField {
    int control;
    size_t offset;
};
const CheckField kChecks[] = {
    {UIA_IDC_ST_STARTUP, offsetof(StartupOptions, StartUp)},
    {UIA_IDC_ST_QUICKLAUNCH, offsetof(StartupOptions, QuickLauncher)},
    {UIA_IDC_ST_DESKTOP, offsetof(StartupOptions, DeskTop)},
    {UIA_IDC_ST_LARGEICON, offsetof(StartupOptions, LargeIcon)},
    {UIA_IDC_ST_TOOLTIP, offsetof(StartupOptions, ToolTip)},
    {UIA_IDC_ST_SAVE_LAST, offsetof(StartupOptions, SaveLastStatus)},
    {UIA_IDC_ST_POINTER, offsetof(StartupOptions, Pointer)},
    {UIA_IDC_ST_KEYBOARD, offsetof(StartupOptions, Keyboard)},
    {UIA_IDC_ST_HOTKEY, offsetof(StartupOptions, Hotkey)},
    {UIA_IDC_ST_CLIPBOARD, offsetof(StartupOptions, ClipBoard)},
    {UIA_IDC_ST_CONTROLBAR, offsetof(StartupOptions, ControlBar)},
    {UIA_IDC_ST_SEARCH, offsetof(StartupOptions, Search)},
    {UIA_IDC_ST_TRANSLATE, offsetof(StartupOptions, Translate)},
    {UIA_IDC_ST_STUDY, offsetof(StartupOptions, StudyIt)},
    {UIA_IDC_ST_SPEECH, offsetof(StartupOptions, EnableTextToSpeech)},
    {UIA_IDC_ST_AUDIO, offsetof(StartupOptions, EnableRealAudio)},
    {UIA_IDC_ST_QUIT_GRAPH, offsetof(StartupOptions, QuitShowGraph)},
};

// The switches that the last state replaces when SaveLastStatus is on.
const int kLastStateControls[] = {UIA_IDC_ST_POINTER,    UIA_IDC_ST_KEYBOARD, UIA_IDC_ST_CLIPBOARD,
                                  UIA_IDC_ST_HOTKEY,     UIA_IDC_ST_CONTROLBAR, UIA_IDC_ST_SEARCH,
                                  UIA_IDC_ST_STUDY,      UIA_IDC_ST_TRANSLATE, UIA_IDC_ST_TRANSSET};

int *Field(void *record, size_t offset) { return (int *)((char *)record + offset); }

int CALLBACK AddSetName(const char *name, LPARAM combo)
{
    SendMessageA((HWND)combo, CB_ADDSTRING, 0, (LPARAM)name);
    return 1;
}

void EnableControls(HWND page)
{
    int lastState = Pp_GetCheck(page, UIA_IDC_ST_SAVE_LAST) == 1;
    for (int id : kLastStateControls) Pp_Enable(page, id, !lastState);
    int sets = (int)SendDlgItemMessageA(page, UIA_IDC_ST_TRANSSET, CB_GETCOUNT, 0, 0);
    if (!lastState) Pp_Enable(page, UIA_IDC_ST_TRANSSET, sets > 1);
}

void Fill(HWND page, PpPage *p)
{
    StartupOptions *o = (StartupOptions *)p->record;
    for (const CheckField &c : kChecks) Pp_SetCheck(page, c.control, *Field(o, c.offset) != 0);
    if (HWND combo = GetDlgItem(page, UIA_IDC_ST_TRANSSET)) {
        SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        Lexshelf_EnumTransSets(AddSetName, (LPARAM)combo);
        // Names read back from a settings file are upper-cased: found without case.
        SendMessageA(combo, CB_SETCURSEL,
                     SendMessageA(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)o->TranslationSet), 0);
    }
    EnableControls(page);
}

// Each field is read only when its control is in the template.
void Read(HWND page, PpPage *, void *record)
{
    StartupOptions *o = (StartupOptions *)record;
    for (const CheckField &c : kChecks) {
        int on = Pp_GetCheck(page, c.control);
        if (on >= 0) *Field(o, c.offset) = on;
    }
    HWND combo = GetDlgItem(page, UIA_IDC_ST_TRANSSET);
    int index = combo ? (int)SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (index != CB_ERR &&
        SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) < (LRESULT)sizeof o->TranslationSet) {
        char name[sizeof o->TranslationSet + 1] = "";
        SendMessageA(combo, CB_GETLBTEXT, index, (LPARAM)name);
        Pp_CopyText(o->TranslationSet, sizeof o->TranslationSet, name);
    }
}

INT_PTR Message(HWND page, PpPage *, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == UIA_IDC_ST_SAVE_LAST && HIWORD(wParam) == BN_CLICKED) {
        EnableControls(page);
        return TRUE;
    }
    return FALSE;
}

// The shortcuts follow the switches just saved.
void Saved(HWND, PpPage *)
{
    Prefstore_UpdateShortcuts();
}

void Load(void *record) { Prefstore_LoadStartup((StartupOptions *)record); }
int Save(const void *record) { return Prefstore_SaveStartup((const StartupOptions *)record); }

}  // namespace

const PpPageClass kStartupPage = {
    UIA_IDD_OPT_STARTUP, UIA_IDS_PAGE_STARTUP, 10000, 1, PSWIZB_NEXT,
    sizeof(StartupOptions), kStartupFields, kStartupFieldCount, Load, Save, nullptr, nullptr,
    Fill, Read, Message, nullptr, nullptr, Saved, nullptr,
};
