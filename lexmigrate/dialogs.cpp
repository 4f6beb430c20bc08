// The worker's questions: the CD-ROM dialog, the list of additional dictionaries and message
// boxes.  Each is a window of its own (no window of the window thread owns it), on top of the
// others; once the program is ending each answers Cancel, Close or No without being shown.
#include <windows.h>

#include <stdio.h>

#include "program.h"
#include "uiassets.h"

#include <winnetwk.h>

namespace {

struct CdDialog {
    Program *program;
    const char *name;
    char *cdFolder;
};

// Fills the drive list (CD-ROM and network drives, A to Z) and selects want, else the first.
void FillDrives(HWND dialog, const char *want)
{
    HWND combo = GetDlgItem(dialog, UIA_UPGRADE_IDC_DRIVES);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int selected = 0;
    for (const MigrateDrive &d : Migrate_ListDrives(true)) {
        LRESULT i = SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)d.name);
        if (want && lstrcmpiA(d.name, want) == 0) selected = (int)i;
    }
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)selected, 0);
}

void OnNetwork(HWND dialog)
{
    CONNECTDLGSTRUCTA c = {};
    c.cbStructure = sizeof c;
    c.hwndOwner = dialog;
    NETRESOURCEA resource = {};
    resource.dwType = RESOURCETYPE_DISK;
    c.lpConnRes = &resource;
    if (WNetConnectionDialog1A(&c) != NO_ERROR || c.dwDevNum == 0 || c.dwDevNum > 26) return;
    char drive[4] = {(char)('A' + c.dwDevNum - 1), ':', 0, 0};
    FillDrives(dialog, drive);
}

INT_PTR CALLBACK CdProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    CdDialog *d = reinterpret_cast<CdDialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        d = reinterpret_cast<CdDialog *>(lp);
        SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)d);
        char format[256] = "", text[512];
        Program_LoadText(d->program, UIA_UPGRADE_IDS_INSERT_CD, format, sizeof format);
        snprintf(text, sizeof text, format, d->name);
        SetDlgItemTextA(dialog, UIA_UPGRADE_IDC_TEXT, text);
        FillDrives(dialog, d->program->cdDrive);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK: {
            char drive[8] = "";
            GetDlgItemTextA(dialog, UIA_UPGRADE_IDC_DRIVES, drive, sizeof drive);
            Migrate_Copy(d->program->cdDrive, drive, sizeof d->program->cdDrive);
            Migrate_DriveRoot(drive, d->cdFolder);
            EndDialog(dialog, MIGRATE_CD_OK);
            return TRUE;
        }
        case UIA_UPGRADE_IDC_SKIP:
            EndDialog(dialog, MIGRATE_CD_SKIP);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, MIGRATE_CD_CANCEL);
            return TRUE;
        case UIA_UPGRADE_IDC_NETWORK:
            OnNetwork(dialog);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

struct ChooseDialog {
    const std::vector<const char *> *titles;
};

INT_PTR CALLBACK ChooseProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: {
        ChooseDialog *d = reinterpret_cast<ChooseDialog *>(lp);
        HWND list = GetDlgItem(dialog, UIA_UPGRADE_IDC_ADDITIONAL);
        for (const char *t : *d->titles) SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)t);
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || (LOWORD(wp) == UIA_UPGRADE_IDC_ADDITIONAL && HIWORD(wp) == LBN_DBLCLK)) {
            LRESULT i = SendDlgItemMessageA(dialog, UIA_UPGRADE_IDC_ADDITIONAL, LB_GETCURSEL, 0, 0);
            if (i != LB_ERR) EndDialog(dialog, (INT_PTR)i);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, -1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int Dialog_AskCd(Program *p, const char *name, char *cdFolder)
{
    if (p->stopping) return MIGRATE_CD_CANCEL;
    CdDialog d = {p, name, cdFolder};
    INT_PTR r = DialogBoxParamA(p->module, MAKEINTRESOURCEA(UIA_UPGRADE_IDD_INSERT_CD), nullptr, CdProc,
                                (LPARAM)&d);
    if (r != MIGRATE_CD_OK && r != MIGRATE_CD_SKIP) return MIGRATE_CD_CANCEL;
    return (int)r;
}

int Dialog_ChooseAdditional(Program *p, const std::vector<const char *> &titles)
{
    if (p->stopping) return -1;
    ChooseDialog d = {&titles};
    INT_PTR r = DialogBoxParamA(p->module, MAKEINTRESOURCEA(UIA_UPGRADE_IDD_ADDITIONAL), nullptr,
                                ChooseProc, (LPARAM)&d);
    return r >= 0 && r < (INT_PTR)titles.size() ? (int)r : -1;
}

int Program_LoadText(Program *p, UINT id, char *buf, int cap)
{
    if (cap <= 0) return 0;
    buf[0] = 0;
    return LoadStringA(p->module, id, buf, cap);
}

int Dialog_MessageBox(Program *p, UINT textId, UINT captionId, UINT style)
{
    if (p->stopping) return (style & 0xF) == MB_YESNO ? IDNO : IDCANCEL;
    char text[512] = "", caption[256] = "";
    Program_LoadText(p, textId, text, sizeof text);
    Program_LoadText(p, captionId, caption, sizeof caption);
    return MessageBoxA(nullptr, text, caption, style | MB_TOPMOST | MB_SETFOREGROUND);
}
