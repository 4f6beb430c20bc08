// Pieces both windows of the study-list program use: resource texts, display names, the tool
// bar in its rebar with tool tips, placement from the stored layout and the file dialogs.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include "drillbook_int.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "sharedkit.h"
#include "uiassets.h"

std::string Drill_String(UINT id)
{
    char text[512];
    int n = Uiassets_LoadString(id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::string Drill_DisplayName(const char *path)
{
    DWORD role = Lexshelf_GetListRole(path);
    if (role & LEXSHELF_ROLE_HISTORY) return Drill_String(UIA_IDS_LIST_HISTORY);
    if (role & LEXSHELF_ROLE_DEFAULT) return Drill_String(UIA_IDS_LIST_DEFAULT);
    return Drill_BaseName(path);
}

HWND Drill_MakeToolbar(HWND parent, const DrillButton *buttons, int count, HWND *rebarOut)
{
    HWND rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                     RBS_BANDBORDERS | CCS_NODIVIDER,
                                 0, 0, 0, 0, parent, (HMENU)DRILL_IDC_REBAR, g_drillInstance, nullptr);
    if (!rebar) return nullptr;
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                   CCS_NODIVIDER | CCS_NOPARENTALIGN,
                               0, 0, 0, 0, rebar, (HMENU)DRILL_IDC_TOOLBAR, g_drillInstance, nullptr);
    if (!bar) return nullptr;
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETPARENT, (WPARAM)parent, 0);  // commands and tips go to the window itself
    SendMessageA(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
    TBADDBITMAP bitmap = {Uiassets_GetModule(), UIA_IDB_TOOLBAR};
    SendMessageA(bar, TB_ADDBITMAP, 75, (LPARAM)&bitmap);
    TBBUTTON tb[16];
    memset(tb, 0, sizeof tb);
    if (count > 16) count = 16;
    for (int i = 0; i < count; i++) {
        tb[i].iBitmap = buttons[i].style == BTNS_SEP ? 0 : buttons[i].image;
        tb[i].idCommand = buttons[i].command;
        tb[i].fsState = TBSTATE_ENABLED;
        tb[i].fsStyle = buttons[i].style;
    }
    SendMessageA(bar, TB_ADDBUTTONSA, count, (LPARAM)tb);
    SIZE size;
    SendMessageA(bar, TB_GETMAXSIZE, 0, (LPARAM)&size);
    REBARBANDINFOA band;
    memset(&band, 0, sizeof band);
    band.cbSize = REBARBANDINFOA_V3_SIZE;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE | RBBIM_COLORS;
    band.fStyle = RBBS_CHILDEDGE;
    band.clrFore = GetSysColor(COLOR_BTNTEXT);
    band.clrBack = GetSysColor(COLOR_BTNFACE);
    band.hwndChild = bar;
    band.cxMinChild = size.cx;
    band.cyMinChild = size.cy > 22 ? size.cy : 22;
    band.cx = size.cx;
    SendMessageA(rebar, RB_INSERTBANDA, (WPARAM)-1, (LPARAM)&band);
    *rebarOut = rebar;
    return bar;
}

bool Drill_ToolTip(LPARAM lParam)
{
    NMHDR *hdr = (NMHDR *)lParam;
    if (hdr->code != TTN_GETDISPINFOA) return false;
    NMTTDISPINFOA *info = (NMTTDISPINFOA *)lParam;
    info->hinst = nullptr;
    Uiassets_LoadString((UINT)hdr->idFrom, info->szText, sizeof info->szText);
    info->lpszText = info->szText;
    return true;
}

void Drill_Place(HWND window, int x, int y, int cx, int cy, int maximised)
{
    if (cx > 0 && cy > 0) {
        WINDOWPLACEMENT place = {sizeof place};
        GetWindowPlacement(window, &place);
        place.rcNormalPosition.left = x;
        place.rcNormalPosition.top = y;
        place.rcNormalPosition.right = x + cx + 1;
        place.rcNormalPosition.bottom = y + cy + 1;
        place.showCmd = SW_HIDE;
        SetWindowPlacement(window, &place);
        if (maximised != 1) MoveWindow(window, x, y, cx, cy, FALSE);
    }
    ShowWindow(window, maximised == 1 ? SW_SHOWMAXIMIZED : SW_SHOW);
    UpdateWindow(window);
}

void Drill_StorePlacement(HWND window, bool viewer)
{
    StudyWindowOptions options;
    StudyWindowLayout layout;
    Prefstore_LoadStudyWindow(&options, &layout);
    POINT pos;
    SIZE size;
    int maximised = 0;
    if (!Prefstore_GetWindowPlacement(window, &pos, &size, &maximised)) return;
    if (viewer) {
        layout.ViewerX = pos.x;
        layout.ViewerY = pos.y;
        layout.ViewerCx = size.cx;
        layout.ViewerCy = size.cy;
        layout.ViewerMaximized = maximised;
    } else {
        layout.x = pos.x;
        layout.y = pos.y;
        layout.cx = size.cx;
        layout.cy = size.cy;
        layout.WindowMaximised = maximised;
    }
    Prefstore_SaveStudyWindow(&options, &layout);
}

void Drill_LayoutBars(HWND window, HWND rebar, HWND status, int *top, int *height)
{
    RECT rc, bar, line;
    GetClientRect(window, &rc);
    SendMessageA(status, WM_SIZE, 0, 0);
    GetWindowRect(status, &line);
    int barHeight = (int)SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0);
    MoveWindow(rebar, 0, 0, rc.right, barHeight, TRUE);
    GetWindowRect(rebar, &bar);
    *top = bar.bottom - bar.top;
    int bottom = rc.bottom - (line.bottom - line.top);
    *height = bottom > *top ? bottom - *top : 0;
}

bool Drill_RegisterClass(const char *name, WNDPROC proc, UINT style)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = g_drillInstance;
    wc.hIcon = Uiassets_LoadIcon(UIA_IDI_STUDY_LIST);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = g_drillBrush;
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

bool Drill_Help(HWND window, UINT command, DWORD topic, const char *path)
{
    static const struct {
        UINT command, helpCommand;
    } kHelp[] = {{UIA_CMD_HELP_CONTENTS, 5601}, {UIA_CMD_HELP_START, 5606}, {UIA_CMD_HELP_USAGE, 5604},
                 {UIA_CMD_HELP_FAQ, 5605},      {UIA_CMD_HELP_SUPPORT, 5607}, {UIA_CMD_HELP_WINDOW, 5602}};
    for (const auto &h : kHelp)
        if (h.command == command) {
            Sharedkit_ShowHelp(window, h.helpCommand, topic, path);
            return true;
        }
    return false;
}

LRESULT Drill_StateProc(HWND w, UINT m, WPARAM wp, LPARAM lp, size_t size, DrillStateProc proc)
{
    void *state = (void *)GetWindowLongPtrA(w, GWLP_USERDATA);
    if (m == WM_NCCREATE) {
        state = calloc(1, size);
        if (!state) return FALSE;
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)state);
        return DefWindowProcA(w, m, wp, lp);
    }
    if (!state) return DefWindowProcA(w, m, wp, lp);
    LRESULT result = proc(w, m, wp, lp, state);
    if (m == WM_NCDESTROY) {
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        free(state);
    }
    return result;
}

namespace {

// The scripted answer of a dialog: 1 with a path, 0 cancelled, -1 no script (show the dialog).
int Scripted(const char *variable, char *path)
{
    char value[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(variable, value, sizeof value);
    if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return -1;
    if (n == 0 || n >= sizeof value) return 0;
    memcpy(path, value, n + 1);
    return 1;
}

void Prepare(OPENFILENAMEA *ofn, HWND owner, char *path, char *filter, char *title, char *folder, UINT titleId)
{
    memset(ofn, 0, sizeof *ofn);
    Uiassets_LoadFilter(UIA_IDS_LIST_FILTER, filter, 512);
    Uiassets_LoadString(titleId, title, 256);
    folder[0] = 0;
    SHGetSpecialFolderPathA(owner, folder, CSIDL_PERSONAL, FALSE);
    ofn->lStructSize = sizeof *ofn;
    ofn->hwndOwner = owner;
    ofn->lpstrFilter = filter;
    ofn->lpstrFile = path;
    ofn->nMaxFile = MAX_PATH;
    ofn->lpstrTitle = title;
    ofn->lpstrInitialDir = folder;
}

}  // namespace

bool Drill_AskOpenPath(HWND owner, char *path)
{
    int scripted = Scripted("DRILLBOOK_FILE_ANSWER", path);
    if (scripted >= 0) return scripted == 1;
    char filter[512], title[256], folder[MAX_PATH];
    path[0] = 0;
    OPENFILENAMEA ofn;
    Prepare(&ofn, owner, path, filter, title, folder, UIA_CMD_IMPORT);
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&ofn) != 0;
}

bool Drill_AskSavePath(HWND owner, char *path)
{
    char proposed[MAX_PATH];
    lstrcpynA(proposed, path, MAX_PATH);
    int scripted = Scripted("DRILLBOOK_FILE_ANSWER", path);
    if (scripted >= 0) return scripted == 1;
    char filter[512], title[256], folder[MAX_PATH];
    OPENFILENAMEA ofn;
    Prepare(&ofn, owner, path, filter, title, folder, UIA_CMD_EXPORT);
    lstrcpynA(path, proposed, MAX_PATH);
    ofn.lpstrDefExt = "vlh";
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    return GetSaveFileNameA(&ofn) != 0;
}
