// The rich-edit field: the rich-edit library and its class, the Active IMM objects, the
// subclassed field with its context menu, and the character-format calls.
#include "widgetry.h"
#include "widgetry_int.h"

#include <objbase.h>
#include <dimm.h>
#include <string.h>

// The Active IMM application object and the interfaces the field uses.
static const GUID kClsidActiveImm = {0x4955DD33, 0xB159, 0x11D0, {0x8F, 0xCF, 0x00, 0xAA, 0x00, 0x6B, 0xCC, 0x59}};
static const GUID kIidActiveImmApp = {0x08C0E040, 0x62D1, 0x11D1, {0x93, 0x26, 0x00, 0x60, 0xB0, 0x67, 0xB8, 0x6E}};
static const GUID kIidPumpOwner = {0xB5CF2CFA, 0x8AEB, 0x11D1, {0x93, 0x64, 0x00, 0x60, 0xB0, 0x67, 0xB8, 0x6E}};

static const UINT_PTR kSubclassId = 0x574652;   // any number of our own

// Per process: the loaded library and its class, the Active IMM objects, the context menu.
static struct {
    HMODULE library;
    int version;                      // 2 RICHED20.dll, 1 RICHED32.dll, 0 none
    char className[16];
    IActiveIMMApp *imm;
    IActiveIMMMessagePumpOwner *pump;
    bool comStarted;
    HMENU menu;                       // the whole menu resource; its first submenu is shown
} g_field;

static bool ActiveImmPresent()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Active IMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static void StartActiveImm()
{
    if (g_field.imm || !ActiveImmPresent()) return;
    if (!g_field.comStarted) g_field.comStarted = SUCCEEDED(CoInitialize(nullptr));
    if (FAILED(CoCreateInstance(kClsidActiveImm, nullptr, CLSCTX_ALL, kIidActiveImmApp,
                                (void **)&g_field.imm))) {
        g_field.imm = nullptr;
        return;
    }
    if (FAILED(g_field.imm->QueryInterface(kIidPumpOwner, (void **)&g_field.pump))) {
        g_field.pump = nullptr;
        g_field.imm->Release();
        g_field.imm = nullptr;
    }
}

extern "C" BOOL WINAPI Widgetry_RichEditInit(void)
{
    if (!g_field.library) {
        if ((g_field.library = LoadLibraryA("RICHED20.dll")) != nullptr) {
            g_field.version = 2;
            strcpy(g_field.className, "RichEdit20A");
        } else if ((g_field.library = LoadLibraryA("RICHED32.dll")) != nullptr) {
            g_field.version = 1;
            strcpy(g_field.className, "RICHEDIT");
        }
    }
    StartActiveImm();
    if (!g_field.menu) g_field.menu = LoadMenuA(g_widgetryInstance, MAKEINTRESOURCEA(WIDGETRY_IDM_FIELD));
    return TRUE;
}

extern "C" void WINAPI Widgetry_RichEditTerm(void)
{
    if (g_field.pump) g_field.pump->Release();
    if (g_field.imm) g_field.imm->Release();
    g_field.pump = nullptr;
    g_field.imm = nullptr;
    if (g_field.comStarted) CoUninitialize();
    g_field.comStarted = false;
    if (g_field.menu) DestroyMenu(g_field.menu);
    g_field.menu = nullptr;
}

extern "C" BOOL WINAPI Widgetry_ImmActivate(void)
{
    if (g_field.imm) g_field.imm->Activate(TRUE);
    if (g_field.pump) g_field.pump->Start();
    return TRUE;
}

extern "C" void WINAPI Widgetry_ImmDeactivate(void)
{
    if (g_field.pump) g_field.pump->End();
    if (g_field.imm) g_field.imm->Deactivate();
}

extern "C" BOOL WINAPI Widgetry_ImmTranslateMessage(const MSG *msg)
{
    return msg && g_field.pump && g_field.pump->OnTranslateMessage(msg) == S_OK;
}

extern "C" int WINAPI Widgetry_GetRichEditClass(char *buffer)
{
    if (!buffer) return 0;
    strcpy(buffer, g_field.className);
    return (int)strlen(buffer);
}

// ---- Character formats --------------------------------------------------------------------------

static UINT FormatSize()
{
    return g_field.version == 1 ? sizeof(CHARFORMATA) : sizeof(CHARFORMAT2A);
}

extern "C" DWORD WINAPI Widgetry_GetCharFormat(HWND field, BOOL selection, CHARFORMAT2A *format)
{
    if (!format) return 0;
    format->cbSize = FormatSize();
    return (DWORD)SendMessageA(field, EM_GETCHARFORMAT, selection ? SCF_SELECTION : SCF_DEFAULT,
                               (LPARAM)format);
}

extern "C" BOOL WINAPI Widgetry_SetCharFormat(HWND field, BOOL selection, CHARFORMAT2A *format)
{
    if (!format) return FALSE;
    format->cbSize = FormatSize();
    return SendMessageA(field, EM_SETCHARFORMAT, selection ? SCF_SELECTION : SCF_DEFAULT,
                        (LPARAM)format) != 0;
}

// ---- Context menu ------------------------------------------------------------------------------

static void EnableCommand(HMENU menu, UINT command, bool enabled)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// Shows the menu at a screen point and carries out the chosen command.
static void ShowMenu(HWND field, POINT at)
{
    HMENU menu = g_field.menu ? GetSubMenu(g_field.menu, 0) : nullptr;
    if (!menu) return;
    CHARRANGE selection = {0, 0};
    SendMessageA(field, EM_EXGETSEL, 0, (LPARAM)&selection);
    GETTEXTLENGTHEX length = {GTL_NUMCHARS, CP_ACP};
    LONG total = (LONG)SendMessageA(field, EM_GETTEXTLENGTHEX, (WPARAM)&length, 0);
    if (total < 0) total = GetWindowTextLengthA(field);
    bool hasSelection = selection.cpMax != selection.cpMin;
    bool all = selection.cpMin == 0 && (selection.cpMax == -1 || selection.cpMax >= total);
    bool readOnly = (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) != 0;
    FieldMenuState state = Field_MenuState(hasSelection, readOnly, all);
    EnableCommand(menu, WIDGETRY_CMD_CUT, state.cut);
    EnableCommand(menu, WIDGETRY_CMD_COPY, state.copy);
    EnableCommand(menu, WIDGETRY_CMD_PASTE, state.paste);
    EnableCommand(menu, WIDGETRY_CMD_SELECTALL, state.selectAll);
    UINT command = (UINT)TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                        at.x, at.y, 0, field, nullptr);
    switch (command) {
    case WIDGETRY_CMD_CUT: SendMessageA(field, WM_CUT, 0, 0); break;
    case WIDGETRY_CMD_COPY: SendMessageA(field, WM_COPY, 0, 0); break;
    case WIDGETRY_CMD_PASTE: SendMessageA(field, WM_PASTE, 0, 0); break;
    case WIDGETRY_CMD_SELECTALL: SendMessageA(field, EM_SETSEL, 0, -1); break;
    }
}

static void ShowMenuAtCorner(HWND field)
{
    POINT corner = {0, 0};
    ClientToScreen(field, &corner);
    ShowMenu(field, corner);
}

// ---- The subclassed field ----------------------------------------------------------------------

static bool IsMenuKey(UINT message, WPARAM key)
{
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return false;
    return key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0);
}

static bool IsMenuKeyRelease(UINT message, WPARAM key)
{
    return (message == WM_KEYUP || message == WM_SYSKEYUP) && (key == VK_APPS || key == VK_F10);
}

static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR data)
{
    (void)data;
    // The menu keys are the field's own: no system-wide hot key, and the release of such a key
    // does not open the menu a second time.
    if (IsMenuKey(message, wParam)) {
        ShowMenuAtCorner(field);
        return 0;
    }
    if (IsMenuKeyRelease(message, wParam)) return 0;
    switch (message) {
    case WM_RBUTTONUP: {
        POINT at;
        GetCursorPos(&at);
        ShowMenu(field, at);
        return 0;
    }
    case WM_CONTEXTMENU: {
        if (lParam == -1) {
            ShowMenuAtCorner(field);
        } else {
            POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
            ShowMenu(field, at);
        }
        return 0;
    }
    case WM_CLEAR: {
        CHARRANGE selection = {0, 0};
        SendMessageA(field, EM_EXGETSEL, 0, (LPARAM)&selection);
        if (selection.cpMin != selection.cpMax) break;
        DefSubclassProc(field, WM_KEYDOWN, VK_DELETE, 0x00530001);
        DefSubclassProc(field, WM_KEYUP, VK_DELETE, (LPARAM)0xC0530001);
        return 0;
    }
    case WM_DESTROY:
        // The input-method layer hears of it first; the field itself always does.
        if (g_field.imm) {
            LRESULT ignored = 0;
            g_field.imm->OnDefWindowProc(field, message, wParam, lParam, &ignored);
        }
        return DefSubclassProc(field, message, wParam, lParam);
    case WM_NCDESTROY:
        RemoveWindowSubclass(field, FieldProc, id);
        break;
    }
    if (g_field.imm) {
        LRESULT result = 0;
        if (g_field.imm->OnDefWindowProc(field, message, wParam, lParam, &result) == S_OK) return result;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

extern "C" BOOL WINAPI Widgetry_SubclassRichEdit(HWND field)
{
    if (!field || !IsWindow(field)) return FALSE;
    if (g_field.imm) {
        ATOM atom = (ATOM)GetClassLongA(field, GCW_ATOM);
        g_field.imm->FilterClientWindows(&atom, 1);
    }
    return SetWindowSubclass(field, FieldProc, kSubclassId, 0);
}

extern "C" HWND WINAPI Widgetry_CreateRichEdit(HWND parent, DWORD style, int x, int y, int width,
                                               int height, UINT id, HINSTANCE instance)
{
    if (!g_field.library) return nullptr;
    HMENU menu = (style & WS_CHILD) ? (HMENU)(UINT_PTR)id : nullptr;
    HWND field = CreateWindowExA(0, g_field.className, "", style, x, y, width, height, parent, menu,
                                 instance, nullptr);
    if (!field) return nullptr;
    SendMessageA(field, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
    Widgetry_SubclassRichEdit(field);
    return field;
}
