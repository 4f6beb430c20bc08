// The main option sheet: a modeless property sheet of seven pages, one per process, fed by the
// caller's message loop and closed by Prefpane_CloseOptions; the notice to the running programs.
#include "prefpane_int.h"
#include "prefpane.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include "basekit.h"
#include "sharedkit.h"
#include "uiassets.h"

namespace {

const char kWizardClass[] = "VelomiraV5SetupWizardWindow";

HWND g_sheet;       // the live main sheet of this process
int g_changed;      // a page saved its record since the last notice
bool g_creating;    // inside PropertySheet for a new main sheet

int CALLBACK SheetCallback(HWND sheet, UINT msg, LPARAM lParam)
{
    if (msg == PSCB_PRECREATE && lParam) {
        Pp_ClearContextHelp((void *)lParam);
    } else if (msg == PSCB_INITIALIZED) {
        g_sheet = sheet;
        g_changed = 0;
        OptionWindowLayout place = {};
        Prefstore_LoadOptionWindow(&place);
        SetWindowPos(sheet, nullptr, place.x, place.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pp_KeepOnScreen(sheet);
    }
    return 0;
}

// Frees the records of pages that never became property pages.
void FreeRecords(const PpPageClass *const *classes, void **records, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!records[i]) continue;
        if (classes[i]->recordSize)
            LocalFree(records[i]);
        else
            classes[i]->freeObject(records[i]);
    }
}

void *LoadRecord(size_t size, void (*load)(void *))
{
    void *record = LocalAlloc(LPTR, size);
    if (record) load(record);
    return record;
}

}  // namespace

HINSTANCE Pp_Resources(void)
{
    return (HINSTANCE)Uiassets_GetModule();
}

void Pp_SetChanged(void)
{
    g_changed = 1;
}

BOOL Pp_SheetHasChanges(HWND page)
{
    return SendMessageA(GetParent(page), PSM_QUERYSIBLINGS, 1, 0) != 0;
}

BOOL Pp_QueryCancel(HWND page)
{
    if (!Pp_SheetHasChanges(page)) return FALSE;
    HWND sheet = GetParent(page);
    char text[512] = "", caption[256] = "";
    Uiassets_LoadString(UIA_IDS_CANCEL_CHANGES, text, sizeof text);
    GetWindowTextA(sheet, caption, sizeof caption);
    int answer = Uiassets_MessageBoxText(sheet, text, caption,
                                         MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
    return answer == IDNO;
}

void Pp_KeepOnScreen(HWND window)
{
    RECT frame;
    if (!GetWindowRect(window, &frame)) return;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &info)) return;
    const RECT &work = info.rcWork;
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int x = frame.left, y = frame.top;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    if (x != frame.left || y != frame.top)
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

extern "C" HWND WINAPI Prefpane_ShowOptions(HWND owner)
{
    if (FindWindowA(kWizardClass, nullptr)) {
        Basekit_ForceForeground(owner);
        return nullptr;
    }
    if (g_creating) return g_sheet;   // asked again while the sheet is being made
    // One sheet per process, decided before anything new is made.  A sheet that was ended but not
    // yet closed by the caller's loop is closed now and a new one shown.
    if (g_sheet && IsWindow(g_sheet)) {
        if (SendMessageA(g_sheet, PSM_GETCURRENTPAGEHWND, 0, 0) != 0) {
            Basekit_ForceForeground(g_sheet);
            return g_sheet;
        }
        Prefpane_CloseOptions(g_sheet);
    }
    g_sheet = nullptr;
    HINSTANCE resources = Pp_Resources();
    if (!resources) return nullptr;
    Pp_InitControls();

    const PpPageClass *classes[] = {&kStartupPage, &kCapturePage,     &kHotkeyPage,    &kPopupPage,
                                    &kCandidatePage, &kRestrictionPage, &kControlBarPage};
    const int count = sizeof classes / sizeof classes[0];
    void *records[count] = {};
    bool loaded = true;
    for (int i = 0; i < count; ++i) {
        if (classes[i]->recordSize)
            records[i] = LoadRecord(classes[i]->recordSize, classes[i]->load);
        else
            records[i] = classes[i]->loadObject();   // the restriction list
        if (!records[i]) loaded = false;
    }
    PROPSHEETPAGEA pages[count] = {};
    int made = 0;
    for (int i = 0; loaded && i < count; ++i) {
        if (!Pp_MakePage(classes[i], records[i], &pages[i])) break;
        records[i] = nullptr;   // the page owns it now
        ++made;
    }
    if (made < count) {
        for (int i = 0; i < made; ++i) Pp_ReleasePage(&pages[i]);
        FreeRecords(classes, records, count);
        return nullptr;
    }

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USEICONID | PSH_NOAPPLYNOW |
                     PSH_HASHELP | PSH_USECALLBACK;
    header.hwndParent = owner;
    header.hInstance = resources;
    header.pszIcon = MAKEINTRESOURCEA(UIA_IDI_OPTIONS);
    header.pszCaption = MAKEINTRESOURCEA(UIA_IDS_CAPTION_OPTIONS);
    header.nPages = count;
    header.nStartPage = 0;
    header.ppsp = pages;
    header.pfnCallback = SheetCallback;
    g_creating = true;
    INT_PTR result = PropertySheetA(&header);
    g_creating = false;
    HWND sheet = result > 0 && IsWindow((HWND)result) ? (HWND)result : nullptr;
    g_sheet = sheet;
    if (!sheet) return nullptr;
    return sheet;
}

extern "C" LRESULT WINAPI Prefpane_NotifyChanged(void)
{
    if (!g_changed) return 0;
    g_changed = 0;
    return Sharedkit_SendToMain(PREFPANE_VLM_OPTIONS_CHANGED, 0, 0);
}

extern "C" LRESULT WINAPI Prefpane_CloseOptions(HWND sheet)
{
    if (sheet && sheet == g_sheet && IsWindow(sheet)) {
        POINT position;
        if (Prefstore_GetWindowPlacement(sheet, &position, nullptr, nullptr)) {
            OptionWindowLayout place = {position.x, position.y};
            Prefstore_SaveOptionWindow(&place);
        }
        DestroyWindow(sheet);
    }
    if (sheet == g_sheet || (g_sheet && !IsWindow(g_sheet))) g_sheet = nullptr;
    return Prefpane_NotifyChanged();
}
