// The bar window inside the browser's band site: the tool bar with the translator and dictionary
// boxes over their placeholders and the three buttons.
#include "webbridge_int.h"
#include <commctrl.h>

class KBBarBand;
void KBBarBand_OnCommand(KBBarBand *band, int id);
void KBBarBand_OnBoxFocus(KBBarBand *band);

namespace {

const char kBarClass[] = "WebbridgeBarWindow";
const int kDropHeight = 120;

struct BarState {
    KBBarBand *band;
    HWND toolbar, translators, dictionaries;
};

BarState *StateOf(HWND w) { return (BarState *)GetWindowLongPtrA(w, GWLP_USERDATA); }

// Buttons in order: placeholder, translate, placeholder, look-up, options.
const TBBUTTON kButtons[] = {
    {WEBBRIDGE_BOX_WIDTH, WEBBRIDGE_IDC_TRANSLATOR_SLOT, 0, BTNS_SEP, {0}, 0, 0},
    {0, WEBBRIDGE_IDC_TRANSLATE, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {WEBBRIDGE_BOX_WIDTH, WEBBRIDGE_IDC_DICTIONARY_SLOT, 0, BTNS_SEP, {0}, 0, 0},
    {1, WEBBRIDGE_IDC_LOOKUP, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
    {2, WEBBRIDGE_IDC_OPTIONS, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, 0},
};

void PlaceBoxes(BarState *st, int height) {
    RECT r;
    if (SendMessageA(st->toolbar, TB_GETRECT, WEBBRIDGE_IDC_TRANSLATOR_SLOT, (LPARAM)&r))
        SetWindowPos(st->translators, HWND_TOP, r.left, 0, r.right - r.left, height + kDropHeight, SWP_NOACTIVATE);
    if (SendMessageA(st->toolbar, TB_GETRECT, WEBBRIDGE_IDC_DICTIONARY_SLOT, (LPARAM)&r))
        SetWindowPos(st->dictionaries, HWND_TOP, r.left, 0, r.right - r.left, height + kDropHeight, SWP_NOACTIVATE);
}

HWND MakeBox(HWND bar, int id) {
    HWND box = CreateWindowExA(0, WC_COMBOBOXA, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST,
                               0, 0, WEBBRIDGE_BOX_WIDTH, kDropHeight, bar, (HMENU)(INT_PTR)id,
                               Addin_Module(), nullptr);
    if (box) {
        SendMessageA(box, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
        SendMessageA(box, CB_SETDROPPEDWIDTH, WEBBRIDGE_BOX_WIDTH, 0);
    }
    return box;
}

bool OnCreate(HWND w, CREATESTRUCTA *cs) {
    BarState *st = new (std::nothrow) BarState();
    if (!st) return false;
    st->band = (KBBarBand *)cs->lpCreateParams;
    SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)st);
    st->toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                      CCS_NORESIZE | CCS_NOPARENTALIGN,
                                  0, 0, cs->cx, WEBBRIDGE_BAR_HEIGHT, w, nullptr, Addin_Module(), nullptr);
    if (!st->toolbar) return false;
    SendMessageA(st->toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(st->toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
    TBADDBITMAP images = {Addin_Module(), WEBBRIDGE_IDB_BUTTONS};
    if (SendMessageA(st->toolbar, TB_ADDBITMAP, 3, (LPARAM)&images) < 0) return false;
    if (!SendMessageA(st->toolbar, TB_ADDBUTTONSA, sizeof kButtons / sizeof kButtons[0], (LPARAM)kButtons))
        return false;
    st->translators = MakeBox(w, WEBBRIDGE_IDC_TRANSLATORS);
    st->dictionaries = MakeBox(w, WEBBRIDGE_IDC_DICTIONARIES);
    if (!st->translators || !st->dictionaries) return false;
    PlaceBoxes(st, WEBBRIDGE_BAR_HEIGHT);
    return true;
}

void OnSize(HWND, BarState *st, int width, int height) {
    SetWindowPos(st->toolbar, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceBoxes(st, height);
}

LRESULT OnNotify(BarState *st, NMHDR *n) {
    if (n->hwndFrom != (HWND)SendMessageA(st->toolbar, TB_GETTOOLTIPS, 0, 0)) return 0;
    // tool tips: the string of the button's own number
    if (n->code == TTN_GETDISPINFOA) {
        NMTTDISPINFOA *di = (NMTTDISPINFOA *)n;
        di->hinst = Addin_Module();
        di->lpszText = MAKEINTRESOURCEA(di->hdr.idFrom);
    } else if (n->code == TTN_GETDISPINFOW) {
        NMTTDISPINFOW *di = (NMTTDISPINFOW *)n;
        di->hinst = Addin_Module();
        di->lpszText = MAKEINTRESOURCEW(di->hdr.idFrom);
    }
    return 0;
}

LRESULT CALLBACK BarProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    BarState *st = StateOf(w);
    switch (msg) {
    case WM_CREATE: return OnCreate(w, (CREATESTRUCTA *)lp) ? 0 : -1;
    case WM_SIZE:
        if (st) OnSize(w, st, LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_COMMAND:
        if (!st) break;
        if (HIWORD(wp) == CBN_SETFOCUS) {
            KBBarBand_OnBoxFocus(st->band);
            return 0;
        }
        if ((HWND)lp == st->toolbar) {
            KBBarBand_OnCommand(st->band, LOWORD(wp));
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (st) return OnNotify(st, (NMHDR *)lp);
        break;
    case WM_NCDESTROY:
        delete st;
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

void FillBox(HWND box, DWORD kind, const char *defaultName) {
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    int chosen = -1;
    for (const AddinEntry &e : Addin_ListEntries(kind)) {
        LRESULT at = SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)e.name.c_str());
        if (at < 0) continue;
        SendMessageA(box, CB_SETITEMDATA, at, (LPARAM)e.id);
        if (chosen < 0 && e.name == defaultName) chosen = (int)at;
    }
    SendMessageA(box, CB_SETCURSEL, chosen, 0);
}

DWORD ChosenId(HWND box) {
    LRESULT at = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR) return 0;
    LRESULT id = SendMessageA(box, CB_GETITEMDATA, at, 0);
    return id == CB_ERR ? 0 : (DWORD)id;
}

void SelectId(HWND box, DWORD id) {
    int n = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i)
        if ((DWORD)SendMessageA(box, CB_GETITEMDATA, i, 0) == id) {
            SendMessageA(box, CB_SETCURSEL, i, 0);
            return;
        }
}

}  // namespace

HWND WebbridgeBar_Create(HWND parent, KBBarBand *band, int width) {
    static bool registered = false;
    if (!registered) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = BarProc;
        wc.hInstance = Addin_Module();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = kBarClass;
        registered = RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        if (!registered) return nullptr;
    }
    return CreateWindowExA(0, kBarClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, width,
                           WEBBRIDGE_BAR_HEIGHT, parent, nullptr, Addin_Module(), band);
}

void WebbridgeBar_Fill(HWND bar, const PluginSettings &settings) {
    BarState *st = StateOf(bar);
    if (!st) return;
    FillBox(st->translators, ADDIN_KIND_TRANSLATOR, settings.DefaultTranslatorName);
    FillBox(st->dictionaries, ADDIN_KIND_DICTIONARY, settings.DefaultDictionaryName);
}

void WebbridgeBar_Choice(HWND bar, DWORD *tranId, DWORD *dicId) {
    BarState *st = StateOf(bar);
    *tranId = st ? ChosenId(st->translators) : 0;
    *dicId = st ? ChosenId(st->dictionaries) : 0;
}

void WebbridgeBar_Select(HWND bar, DWORD tranId, DWORD dicId) {
    BarState *st = StateOf(bar);
    if (!st) return;
    SelectId(st->translators, tranId);
    SelectId(st->dictionaries, dicId);
}

bool WebbridgeBar_HasFocus(HWND bar) {
    HWND focus = GetFocus();
    return focus && (focus == bar || IsChild(bar, focus));
}

void WebbridgeBar_Focus(HWND bar) {
    BarState *st = StateOf(bar);
    if (st) SetFocus(st->translators);
}
