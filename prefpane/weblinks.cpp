// The web links of the search-window dialog: the combo box that holds them (each item keeps a copy
// of its link), adding, editing and deleting, and the link dialog (template 431).
#include "prefpane_int.h"

#include <string.h>

#include "uiassets.h"

namespace {

struct LinkDialog {
    WebLink link;
    int editing;
};

void GetField(HWND dlg, int id, char *out, int cap)
{
    out[0] = 0;
    GetDlgItemTextA(dlg, id, out, cap);
}

void OnInit(HWND dlg, LinkDialog *d)
{
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)d);
    SendDlgItemMessageA(dlg, UIA_IDC_LINK_NAME, EM_LIMITTEXT, sizeof d->link.Name - 1, 0);
    SendDlgItemMessageA(dlg, UIA_IDC_LINK_ADDRESS, EM_LIMITTEXT, sizeof d->link.Address - 1, 0);
    SetDlgItemTextA(dlg, UIA_IDC_LINK_NAME, d->link.Name);
    SetDlgItemTextA(dlg, UIA_IDC_LINK_ADDRESS, d->link.Address);
    if (d->editing) {
        char text[256];
        Pp_LoadString(UIA_IDS_LINK_CAPTION_EDIT, text, sizeof text);
        SetWindowTextA(dlg, text);
        Pp_LoadString(UIA_IDS_LINK_BUTTON_EDIT, text, sizeof text);
        SetDlgItemTextA(dlg, UIA_IDC_LINK_OK, text);
    }
    HWND name = GetDlgItem(dlg, UIA_IDC_LINK_NAME);
    SendMessageA(name, EM_SETSEL, 0, -1);
    SetFocus(name);
}

// A link is taken only with a name and an address that holds "%s" where the word goes.
void OnOk(HWND dlg, LinkDialog *d)
{
    WebLink link = {};
    GetField(dlg, UIA_IDC_LINK_NAME, link.Name, sizeof link.Name);
    GetField(dlg, UIA_IDC_LINK_ADDRESS, link.Address, sizeof link.Address);
    int problem = Pp_CheckLink(link.Name, link.Address);
    if (problem) {
        Uiassets_MessageBox(dlg, problem, UIA_IDS_CAPTION_MAIN, MB_OK | MB_ICONERROR);
        HWND field = GetDlgItem(dlg, problem == UIA_IDS_LINK_NO_NAME ? UIA_IDC_LINK_NAME : UIA_IDC_LINK_ADDRESS);
        SendMessageA(field, EM_SETSEL, 0, -1);
        SetFocus(field);
        return;
    }
    d->link = link;
    EndDialog(dlg, 1);
}

INT_PTR CALLBACK LinkProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        OnInit(dlg, (LinkDialog *)lParam);
        return FALSE;   // the focus is set
    }
    LinkDialog *d = (LinkDialog *)GetWindowLongPtrA(dlg, DWLP_USER);
    if (!d || msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case UIA_IDC_LINK_OK:
    case IDOK:
        OnOk(dlg, d);
        return TRUE;
    case IDCANCEL:
        EndDialog(dlg, 0);
        return TRUE;
    }
    return FALSE;
}

// Asks for a link; 1 with *link filled when confirmed.
int RunLinkDialog(HWND owner, WebLink *link, int editing)
{
    LinkDialog d = {};
    d.link = *link;
    d.editing = editing;
    if (DialogBoxParamA(Pp_Resources(), MAKEINTRESOURCEA(UIA_IDD_WEB_LINK), owner, LinkProc, (LPARAM)&d) != 1)
        return 0;
    *link = d.link;
    return 1;
}

WebLink *ItemLink(HWND combo, int index)
{
    LRESULT data = SendMessageA(combo, CB_GETITEMDATA, index, 0);
    return data == CB_ERR ? nullptr : (WebLink *)data;
}

// Inserts a copy of the link at index (-1: at the end); the item's index, or -1.
int InsertLink(HWND combo, int index, const WebLink *link)
{
    WebLink *copy = (WebLink *)LocalAlloc(LPTR, sizeof(WebLink));
    if (!copy) return -1;
    *copy = *link;
    LRESULT at = SendMessageA(combo, CB_INSERTSTRING, index, (LPARAM)copy->Name);
    if (at < 0) {
        LocalFree(copy);
        return -1;
    }
    SendMessageA(combo, CB_SETITEMDATA, at, (LPARAM)copy);
    return (int)at;
}

void DeleteItem(HWND combo, int index)
{
    if (WebLink *link = ItemLink(combo, index)) LocalFree(link);
    SendMessageA(combo, CB_DELETESTRING, index, 0);
}

}  // namespace

void Pp_LinksFill(HWND dlg, const WebLink *links, int current)
{
    HWND combo = GetDlgItem(dlg, UIA_IDC_WO_LINKS);
    if (!combo) return;
    for (int i = 0; links && links[i].Name[0]; ++i) InsertLink(combo, -1, &links[i]);
    SendMessageA(combo, CB_SETCURSEL, current, 0);
}

void Pp_LinksClear(HWND dlg)
{
    HWND combo = GetDlgItem(dlg, UIA_IDC_WO_LINKS);
    while (combo && SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0) DeleteItem(combo, 0);
}

WebLink *Pp_LinksRead(HWND dlg, int *current)
{
    HWND combo = GetDlgItem(dlg, UIA_IDC_WO_LINKS);
    int count = combo ? (int)SendMessageA(combo, CB_GETCOUNT, 0, 0) : 0;
    if (count < 0) count = 0;
    WebLink *links = (WebLink *)LocalAlloc(LPTR, sizeof(WebLink) * (count + 1));
    if (!links) return nullptr;
    for (int i = 0; i < count; ++i)
        if (const WebLink *link = ItemLink(combo, i)) links[i] = *link;
    int selected = combo ? (int)SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    *current = selected == CB_ERR ? 0 : selected;
    return links;
}

int Pp_LinksEqual(const WebLink *a, const WebLink *b)
{
    int i = 0;
    for (; a[i].Name[0] && b[i].Name[0]; ++i)
        if (strcmp(a[i].Name, b[i].Name) != 0 || strcmp(a[i].Address, b[i].Address) != 0) return 0;
    return !a[i].Name[0] && !b[i].Name[0];
}

BOOL Pp_LinksCommand(HWND dlg, int id, int code)
{
    HWND combo = GetDlgItem(dlg, UIA_IDC_WO_LINKS);
    if (!combo || code != BN_CLICKED) return FALSE;
    int selected = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    switch (id) {
    case UIA_IDC_WO_LINK_ADD: {
        WebLink link = {};
        if (RunLinkDialog(dlg, &link, 0)) {
            int at = InsertLink(combo, -1, &link);
            if (at >= 0) SendMessageA(combo, CB_SETCURSEL, at, 0);
        }
        return TRUE;
    }
    case UIA_IDC_WO_LINK_EDIT: {
        const WebLink *old = selected == CB_ERR ? nullptr : ItemLink(combo, selected);
        if (!old) return TRUE;
        WebLink link = *old;
        if (RunLinkDialog(dlg, &link, 1)) {
            DeleteItem(combo, selected);
            InsertLink(combo, selected, &link);
            SendMessageA(combo, CB_SETCURSEL, selected, 0);
        }
        return TRUE;
    }
    case UIA_IDC_WO_LINK_DELETE: {
        if (selected == CB_ERR) return TRUE;
        int count = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
        DeleteItem(combo, selected);
        SendMessageA(combo, CB_SETCURSEL, Pp_SelectionAfterDelete(count, selected), 0);
        return TRUE;
    }
    }
    return FALSE;
}
