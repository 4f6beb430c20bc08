// The usage-graph dialog (template 901 of the resource library) and the exported log operations.
#include "chartpane_int.h"
#include "basekit.h"
#include "sharedkit.h"
#include "uiassets.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

namespace {

const int kMaxDays = 31;

int g_page = 1;   // the page the log operations read; 1 ends today

struct GraphDialog {
    OprLogDay days[kMaxDays];
    int shown;    // 7 or 31
};

HMODULE Resources() { return Uiassets_GetModule(); }

void SetItemString(HWND dlg, int item, int id)
{
    char text[256] = "";
    LoadStringA(Resources(), id, text, sizeof text);
    SetDlgItemTextA(dlg, item, text);
}

void Reread(HWND dlg, GraphDialog *st)
{
    st->shown = IsDlgButtonChecked(dlg, UIA_IDC_GRAPH_WEEK) == BST_CHECKED ? 7 : kMaxDays;
    memset(st->days, 0, sizeof st->days);
    Chartpane_ReadDays(st->days, st->shown);
    InvalidateRect(GetDlgItem(dlg, UIA_IDC_GRAPH_PLOT), nullptr, TRUE);
}

void ShowLastDay(HWND dlg, const GraphDialog *st)
{
    const OprLogDay &last = st->days[st->shown - 1];
    int key = OprLog_DateKey(last.dayTime);
    char fmt[256] = "", text[512];
    LoadStringA(Resources(), UIA_IDS_GRAPH_LASTDAY, fmt, sizeof fmt);
    snprintf(text, sizeof text, fmt, key / 10000, key / 100 % 100, key % 100);
    SetDlgItemTextA(dlg, UIA_IDC_GRAPH_LASTDAY, text);
    LoadStringA(Resources(), UIA_IDS_GRAPH_COUNTS, fmt, sizeof fmt);
    snprintf(text, sizeof text, fmt, last.popupCount, last.searchCount, last.outsideCount);
    SetDlgItemTextA(dlg, UIA_IDC_GRAPH_SUMMARY, text);
}

void OnInitDialog(HWND dlg, GraphDialog *st)
{
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)st);
    CheckRadioButton(dlg, UIA_IDC_GRAPH_WEEK, UIA_IDC_GRAPH_MONTH, UIA_IDC_GRAPH_WEEK);
    g_page = 1;
    Reread(dlg, st);
    EnableWindow(GetDlgItem(dlg, UIA_IDC_GRAPH_NEWER), FALSE);
    ShowLastDay(dlg, st);
}

void OnCommand(HWND dlg, GraphDialog *st, int id)
{
    switch (id) {
    case UIA_IDC_GRAPH_OLDER:
        g_page++;
        EnableWindow(GetDlgItem(dlg, UIA_IDC_GRAPH_NEWER), g_page > 1);
        Reread(dlg, st);
        break;
    case UIA_IDC_GRAPH_NEWER:
        if (g_page > 1) g_page--;
        EnableWindow(GetDlgItem(dlg, UIA_IDC_GRAPH_NEWER), g_page > 1);
        Reread(dlg, st);
        break;
    case UIA_IDC_GRAPH_WEEK:
    case UIA_IDC_GRAPH_MONTH:
        g_page = 1;
        CheckRadioButton(dlg, UIA_IDC_GRAPH_WEEK, UIA_IDC_GRAPH_MONTH, id);
        SetItemString(dlg, UIA_IDC_GRAPH_OLDER, id == UIA_IDC_GRAPH_WEEK ? UIA_IDS_GRAPH_WEEK_OLDER : UIA_IDS_GRAPH_MONTH_OLDER);
        SetItemString(dlg, UIA_IDC_GRAPH_NEWER, id == UIA_IDC_GRAPH_WEEK ? UIA_IDS_GRAPH_WEEK_NEWER : UIA_IDS_GRAPH_MONTH_NEWER);
        EnableWindow(GetDlgItem(dlg, UIA_IDC_GRAPH_NEWER), FALSE);
        Reread(dlg, st);
        break;
    case UIA_IDC_GRAPH_CLOSE:
    case IDCANCEL:
        EndDialog(dlg, id);
        break;
    }
}

INT_PTR CALLBACK GraphDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    GraphDialog *st = (GraphDialog *)GetWindowLongPtrA(dlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog(dlg, (GraphDialog *)lp);
        return TRUE;
    case WM_COMMAND:
        if (st) OnCommand(dlg, st, LOWORD(wp));
        return TRUE;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *di = (const DRAWITEMSTRUCT *)lp;
        if (!st || di->CtlID != UIA_IDC_GRAPH_PLOT) return FALSE;
        Graph_Paint(di->hDC, di->rcItem, st->days, st->shown);
        return TRUE;
    }
    case WM_CLOSE:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    case WM_DESTROY:
        g_page = 1;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int OprLog_Path(char *buf, int size)
{
    // The log sits in the user data folder (which ends with a backslash).
    char path[MAX_PATH] = "";
    if (size < MAX_PATH || !Sharedkit_GetUserDataFolder(path, 0) || !path[0]) return 0;
    Basekit_PathReplaceFileName(path, "vloprlog.log");
    lstrcpynA(buf, path, size);
    return 1;
}

extern "C" INT_PTR WINAPI Chartpane_ShowGraph(HWND parent)
{
    GraphDialog st = {};
    st.shown = 7;
    return DialogBoxParamA(Resources(), MAKEINTRESOURCEA(UIA_IDD_USAGE_GRAPH), parent, GraphDialogProc,
                           (LPARAM)&st);
}

extern "C" int WINAPI Chartpane_ReadDays(OprLogDay *out, int n)
{
    char path[MAX_PATH];
    if (!OprLog_Path(path, sizeof path)) return 0;
    return OprLog_ReadDays(path, (INT32)_time64(nullptr), g_page, out, n);
}

extern "C" int WINAPI Chartpane_WriteDay(const OprLogDay *day)
{
    char path[MAX_PATH];
    if (!OprLog_Path(path, sizeof path)) return 0;
    return OprLog_WriteDay(path, day);
}
