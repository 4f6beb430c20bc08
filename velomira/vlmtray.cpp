// Velomira.exe: the tray icons, the owner-drawn tray menu, the translation-set menu, the
// per-group dictionary menu and the command table of the main window.
#include <windows.h>

#include <shellapi.h>

#include <ctype.h>
#include <initializer_list>
#include <string.h>

#include "chartpane.h"
#include "lexshelf.h"
#include "linguakeeper.h"
#include "sharedkit.h"
#include "strandkit.h"
#include "uiassets.h"
#include "vlm_int.h"
#include "widgetry.h"

namespace {

// Rows of the tray menu: command (0 a separator, -1 the translation-set submenu), icon, text, and
// the text while the row's switch is off (0: the row has no switch).
struct TrayRow {
    int command;
    UINT icon, text, textOff;
};
const TrayRow kTrayRows[] = {
    {CMD_SEARCH, 50, 1001, 0},   {CMD_STUDY, 54, 1003, 0},       {CMD_SETUP, 52, 1004, 0},
    {CMD_LANGUAGE, 111, 1005, 0}, {0, 0, 0, 0},                  {CMD_POINTER, 100, 1008, 1007},
    {0, 0, 0, 0},                {-1, 0, 1015, 0},               {0, 0, 0, 0},
    {CMD_OPTIONS, 55, 1016, 0},  {CMD_GRAPH, 223, 1024, 0},      {CMD_CONTROL_BAR, 109, 1018, 1017},
    {CMD_HELP, 56, 1019, 0},     {CMD_ABOUT, 58, 1020, 0},       {0, 0, 0, 0},
    {CMD_QUIT, 59, 1021, 0},
};
const int kTrayRowCount = sizeof kTrayRows / sizeof kTrayRows[0];
const int kSubmenuRow = 7;

// Item data of the owner-drawn items: a tag and the row.
const ULONG_PTR kRowTag = 0x564C0000;

const int kIconSize = 16;
const int kTextLeft = 20;
const int kMinItemHeight = 18;

int g_transSetCount;

int SwitchOfCommand(int command)
{
    switch (command) {
    case CMD_POINTER: return SW_POINTER;
    case CMD_KEYBOARD: return SW_KEYBOARD;
    case CMD_HOTKEY: return SW_HOTKEY;
    case CMD_CLIPBOARD: return SW_CLIPBOARD;
    case CMD_CONTROL_BAR: return SW_CONTROL_BAR;
    }
    return -1;
}

UINT RowText(const TrayRow &row)
{
    int sw = SwitchOfCommand(row.command);
    if (row.textOff && sw >= 0 && !g_vlm.switches[sw]) return row.textOff;
    return row.text;
}

// Text of a resource string cut to cap - 1 bytes without splitting a double-byte character.
void LoadCut(UINT id, char *out, int cap)
{
    char text[256] = "";
    Uiassets_LoadString(id, text, sizeof text);
    int n = 0;
    while (text[n]) {
        int step = (IsDBCSLeadByte((BYTE)text[n]) && text[n + 1]) ? 2 : 1;
        if (n + step > cap - 1) break;
        n += step;
    }
    memcpy(out, text, n);
    out[n] = '\0';
}

HICON SmallIcon(UINT id)
{
    HICON large = nullptr, small = nullptr;
    Uiassets_GetIcons(id, &large, &small);
    return small ? small : large;
}

bool TrayIcon(HWND main, UINT id, DWORD action)
{
    if (!g_vlm.trayWindow) return false;
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = main;
    data.uID = id;
    UINT icon = 0, tip = 0;
    if (action != NIM_DELETE) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        if (id == 1) {
            data.uCallbackMessage = VLM_TRAY_NOTIFY;
            icon = g_vlm.switches[SW_POINTER] ? UIA_IDI_POPUP : UIA_IDI_POPUP_OFF;
            tip = g_vlm.switches[SW_POINTER] ? UIA_IDS_SHORTCUT_NAME : UIA_IDS_TIP_OFF;
        } else {
            data.uCallbackMessage = VLM_TRAY_NOTIFY_BAR;
            icon = UIA_IDI_CONTROL_BAR;
            tip = UIA_IDS_TIP_CONTROL_BAR;
        }
        data.hIcon = SmallIcon(icon);
        LoadCut(tip, data.szTip, 64);
    }
    BOOL ok = Shell_NotifyIconA(action, &data);
    static const char *const names[] = {"add", "modify", "delete"};
    Vlm_Trace("tray %s %u icon %u tip %u ok=%d", names[action], id, icon, tip, ok != 0);
    return ok != 0;
}

void ClearMenu(HMENU menu)
{
    while (GetMenuItemCount(menu) > 0) RemoveMenu(menu, 0, MF_BYPOSITION);
}

void BuildTrayMenu(HMENU menu)
{
    g_transSetCount = Lexshelf_EnumTransSets(nullptr, 0);
    ClearMenu(menu);
    int position = 0;
    for (int r = 0; r < kTrayRowCount; r++) {
        const TrayRow &row = kTrayRows[r];
        bool withSubmenu = g_transSetCount >= 2;
        if (!withSubmenu && (r == kSubmenuRow || r == kSubmenuRow + 1)) continue;
        MENUITEMINFOA item = {sizeof item};
        if (row.command == 0) {
            item.fMask = MIIM_FTYPE;
            item.fType = MFT_SEPARATOR;
        } else if (row.command < 0) {
            char text[128] = "";
            Uiassets_LoadString(row.text, text, sizeof text);
            item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
            item.fType = MFT_STRING;
            item.dwTypeData = text;
            item.hSubMenu = g_vlm.transSetMenu;
            InsertMenuItemA(menu, position++, TRUE, &item);
            continue;
        } else {
            item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
            item.fType = MFT_OWNERDRAW;
            item.wID = row.command;
            item.dwItemData = kRowTag | r;
            int sw = SwitchOfCommand(row.command);
            if (sw >= 0 && g_vlm.switches[sw]) item.fState |= MFS_CHECKED;
            if (row.command == CMD_LANGUAGE && !Linguakeeper_IsAvailable(0)) item.fState |= MFS_DISABLED | MFS_GRAYED;
        }
        InsertMenuItemA(menu, position++, TRUE, &item);
    }
    Vlm_Trace("tray menu %d items, %d sets", GetMenuItemCount(menu), g_transSetCount);
}

struct SetWalk {
    HMENU menu;
    int position;
    char current[64];
};

int CALLBACK AddSet(const char *name, LPARAM user)
{
    SetWalk *walk = (SetWalk *)user;
    MENUITEMINFOA item = {sizeof item};
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
    item.fType = MFT_STRING | MFT_RADIOCHECK;
    item.wID = CMD_TRANSSET_FIRST + walk->position;
    item.dwTypeData = (char *)name;
    item.fState = strcmp(name, walk->current) == 0 ? MFS_CHECKED : 0;
    InsertMenuItemA(walk->menu, walk->position, TRUE, &item);
    walk->position++;
    return walk->position < CMD_TRANSSET_LAST - CMD_TRANSSET_FIRST + 1;
}

void BuildTransSetMenu(HMENU menu)
{
    ClearMenu(menu);
    SetWalk walk = {menu, 0, ""};
    Lexshelf_GetCurrentTransSet(walk.current);
    walk.current[sizeof walk.current - 1] = '\0';
    Lexshelf_EnumTransSets(AddSet, (LPARAM)&walk);
}

UINT Alignment(int bottom)
{
    return TPM_RIGHTBUTTON | (bottom ? TPM_BOTTOMALIGN : 0);
}

const TrayRow *RowOfItem(ULONG_PTR data)
{
    if ((data & 0xFFFF0000) != kRowTag) return nullptr;
    unsigned r = (unsigned)(data & 0xFFFF);
    return r < (unsigned)kTrayRowCount ? &kTrayRows[r] : nullptr;
}

}  // namespace

void Vlm_CreateMenus()
{
    g_vlm.trayMenu = CreatePopupMenu();
    g_vlm.transSetMenu = CreatePopupMenu();
    g_vlm.dictionaryMenu = CreatePopupMenu();
}

void Vlm_DestroyMenus()
{
    // The translation-set menu may hang in the tray menu: take it out before destroying either.
    if (g_vlm.trayMenu) ClearMenu(g_vlm.trayMenu);
    for (HMENU *m : {&g_vlm.trayMenu, &g_vlm.transSetMenu, &g_vlm.dictionaryMenu}) {
        if (*m) DestroyMenu(*m);
        *m = nullptr;
    }
}

void Vlm_TrayAdd(HWND main, UINT id)
{
    if (!TrayIcon(main, id, NIM_ADD)) TrayIcon(main, id, NIM_MODIFY);
}

void Vlm_TrayModify(HWND main, UINT id)
{
    TrayIcon(main, id, NIM_MODIFY);
}

void Vlm_TrayDelete(HWND main, UINT id)
{
    if (id == 2) {
        if (!g_vlm.trayIconBar) return;
        g_vlm.trayIconBar = 0;
    }
    TrayIcon(main, id, NIM_DELETE);
}

LRESULT Vlm_OnTrayNotify(HWND main, UINT message, WPARAM icon, LPARAM mouse)
{
    if (message == VLM_TRAY_NOTIFY && icon == 1) {
        if (mouse == WM_LBUTTONDOWN) {
            PostMessageA(main, WM_NULL, 0, 0);
            PostMessageA(main, VLM_SET_POPUP_MODE, (WPARAM)-1, !g_vlm.switches[SW_POINTER]);
        } else if (mouse == WM_RBUTTONDOWN) {
            PostMessageA(main, WM_NULL, 0, 0);
            PostMessageA(main, VLM_SHOW_MAIN_MENU, 1, 0);
        }
    } else if (message == VLM_TRAY_NOTIFY_BAR && icon == 2 && mouse == WM_LBUTTONDOWN) {
        PostMessageA(main, WM_NULL, 0, 0);
        PostMessageA(main, VLM_SET_CONTROL_BAR, 1, 0);
        Vlm_TrayDelete(main, 2);
    }
    return 1;
}

void Vlm_TrayCheck(HWND main)
{
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (tray == g_vlm.trayWindow) return;
    g_vlm.trayWindow = tray;
    Vlm_Trace("tray window changed");
    SendMessageA(main, VLM_TRAY_READD, 0, 0);
}

void Vlm_OnInitMenuPopup(HWND, HMENU menu)
{
    if (menu == g_vlm.trayMenu) {
        BuildTrayMenu(menu);
    } else if (menu == g_vlm.transSetMenu) {
        BuildTransSetMenu(menu);
    } else if (menu == g_vlm.dictionaryMenu) {
        int group = g_vlm.lastGroup;
        DWORD filter = (group == 2 || group == 3) ? 3 : 7;
        Widgetry_FillDicMenu(menu, g_vlm.groupDictionary[group], TRUE, 0, filter, 0);
    }
}

BOOL Vlm_OnMeasureItem(HWND main, MEASUREITEMSTRUCT *measure)
{
    if (measure->CtlType != ODT_MENU) return FALSE;
    const TrayRow *row = RowOfItem(measure->itemData);
    if (!row) return FALSE;
    char text[128] = "";
    Uiassets_LoadString(RowText(*row), text, sizeof text);
    HDC dc = GetDC(main);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(main, dc);
    // The text starts after the icon column; a little room is left at the right end.
    measure->itemWidth = kTextLeft + size.cx + 8;
    measure->itemHeight = size.cy < kMinItemHeight ? kMinItemHeight : size.cy;
    return TRUE;
}

BOOL Vlm_OnDrawItem(HWND, const DRAWITEMSTRUCT *draw)
{
    if (draw->CtlType != ODT_MENU) return FALSE;
    const TrayRow *row = RowOfItem(draw->itemData);
    if (!row) return FALSE;
    if (!(draw->itemAction & (ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS))) return TRUE;
    COLORREF textColour = 0, back = 0;
    Strandkit_GetMenuColors(draw->itemState, &textColour, &back);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(draw->hDC, &draw->rcItem, brush);
    DeleteObject(brush);

    bool disabled = (draw->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    UINT look = disabled ? DSS_DISABLED : DSS_NORMAL;
    int left = draw->rcItem.left, top = draw->rcItem.top;
    if (HICON icon = SmallIcon(row->icon))
        DrawStateA(draw->hDC, nullptr, nullptr, (LPARAM)icon, 0, left + 1, top + 1, kIconSize, kIconSize,
                   DST_ICON | look);

    char text[128] = "";
    Uiassets_LoadString(RowText(*row), text, sizeof text);
    HGDIOBJ oldFont = SelectObject(draw->hDC, GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(draw->hDC, TRANSPARENT);
    COLORREF oldColour = SetTextColor(draw->hDC, textColour);
    if (disabled) {
        DrawStateA(draw->hDC, nullptr, nullptr, (LPARAM)text, lstrlenA(text), left + kTextLeft, top + 1, 0, 0,
                   DST_TEXT | DSS_DISABLED);
    } else {
        TextOutA(draw->hDC, left + kTextLeft, top + 1, text, lstrlenA(text));
    }
    SetTextColor(draw->hDC, oldColour);
    SetBkMode(draw->hDC, oldMode);
    SelectObject(draw->hDC, oldFont);
    return TRUE;
}

// Position of the tray menu item a letter opens, or -1 for a letter that opens none.
int Vlm_MenuCharPosition(UINT letter, int transSets)
{
    static const struct {
        char letter;
        int position;
    } table[] = {{'E', 10}, {'G', 8}, {'I', 7}, {'L', 9}, {'O', 5}, {'P', 3},
                 {'R', 7},  {'U', 2}, {'V', 11}, {'W', 1}, {'X', 13}};
    if (letter > 0xFF) return -1;
    char c = (char)toupper((unsigned char)letter);
    for (const auto &row : table) {
        if (row.letter != c) continue;
        if (c == 'R') return transSets >= 2 ? row.position : -1;  // the submenu is absent
        return (row.position >= 7 && transSets >= 2) ? row.position + 2 : row.position;
    }
    return -1;
}

LRESULT Vlm_OnMenuChar(HWND main, UINT letter, HMENU menu)
{
    if (menu != g_vlm.trayMenu) return DefWindowProcA(main, WM_MENUCHAR, letter, (LPARAM)menu);
    int position = Vlm_MenuCharPosition(letter, g_transSetCount);
    Vlm_Trace("menu char %u -> %d", letter, position);
    // A key that names no item is ignored instead of running the first item.
    if (position < 0) return MAKELRESULT(0, MNC_IGNORE);
    return MAKELRESULT(position, MNC_EXECUTE);
}

void Vlm_ShowMainMenu(HWND main, int bottom)
{
    SetForegroundWindow(main);
    POINT at = {};
    GetCursorPos(&at);
    Vlm_Trace("menu main");
    TrackPopupMenu(g_vlm.trayMenu, Alignment(bottom), at.x, at.y, 0, main, nullptr);
    PostMessageA(main, WM_NULL, 0, 0);
}

void Vlm_ShowDictionaryMenu(HWND main, int group, int bottom, int x, int y)
{
    if (group < 1 || group > 4) return;
    g_vlm.lastGroup = group;
    SetForegroundWindow(main);
    Vlm_Trace("menu dictionary %d", group);
    TrackPopupMenu(g_vlm.dictionaryMenu, Alignment(bottom), x, y, 0, main, nullptr);
    PostMessageA(main, WM_NULL, 0, 0);
}

void Vlm_ShowTransSetMenu(HWND main, int bottom, int x, int y)
{
    SetForegroundWindow(main);
    Vlm_Trace("menu translation sets");
    TrackPopupMenu(g_vlm.transSetMenu, Alignment(bottom), x, y, 0, main, nullptr);
    PostMessageA(main, WM_NULL, 0, 0);
}

void Vlm_OnCommand(HWND main, UINT command)
{
    Vlm_Trace("command %u", command);
    switch (command) {
    case CMD_MAIN_MENU: {
        POINT at = {};
        GetCursorPos(&at);
        PostMessageA(main, VLM_SHOW_MAIN_MENU, 0, MAKELPARAM(at.x, at.y));
        return;
    }
    case CMD_OPTIONS: SendMessageA(main, VLM_SHOW_OPTIONS, 0, 0); return;
    case CMD_SEARCH: Vlm_StartKind(VLK_SEARCH); return;
    case CMD_TRANSLATE: Vlm_StartKind(VLK_TRANSLATE); return;
    case CMD_STUDY: Vlm_StartKind(VLK_STUDY); return;
    case CMD_SETUP: Vlm_StartKind(VLK_SETUP); return;
    case CMD_LANGUAGE: Linguakeeper_OpenManager(256, nullptr, 1); return;
    case CMD_POINTER:
    case CMD_KEYBOARD:
    case CMD_HOTKEY:
    case CMD_CLIPBOARD: Vlm_ToggleSwitch(main, SwitchOfCommand(command)); return;
    case CMD_CONTROL_BAR: SendMessageA(main, VLM_SET_CONTROL_BAR, !g_vlm.switches[SW_CONTROL_BAR], 0); return;
    case CMD_HELP: Sharedkit_ShowHelp(main, 1, 0, nullptr); return;
    case CMD_ABOUT: SendMessageA(main, VLM_SHOW_ABOUT, 0, 0); return;
    case CMD_QUIT: SendMessageA(main, VLM_CLOSE, 0, 0); return;
    case CMD_NOTHING: return;
    case CMD_UPDATE: Vlm_OpenBesideProgram("HNUPDATE.EXE", "open"); return;
    case CMD_GRAPH:
        Chartpane_WriteDay(&g_vlm.day);
        Chartpane_ShowGraph(main);
        return;
    }
    if (command >= CMD_TRANSSET_FIRST && command <= CMD_TRANSSET_LAST) {
        char name[64] = "";
        if (!GetMenuStringA(g_vlm.transSetMenu, command, name, sizeof name, MF_BYCOMMAND)) return;
        Lexshelf_SetCurrentTransSet(name);
        Vlm_Trace("translation set %s", name);
        if (HWND bar = Vlm_KindWindow(VLK_CONTROL_BAR)) SendMessageA(bar, VLM_CONTROL_BAR_STATE, 64, 0);
    } else if (command >= CMD_DICTIONARY_FIRST) {
        if (!g_vlm.lastGroup) return;
        MENUITEMINFOA item = {sizeof item};
        item.fMask = MIIM_DATA;
        DWORD id = GetMenuItemInfoA(g_vlm.dictionaryMenu, command, FALSE, &item) ? (DWORD)item.dwItemData : 0;
        g_vlm.groupDictionary[g_vlm.lastGroup] = id;
        Vlm_Trace("group %d dictionary %lu", g_vlm.lastGroup, id);
    }
}
