// The options dialog over the add-in settings and the result dialog that shows a translation in
// a read-only editor.  Both come from the add-in's own templates (207, 210) and icon (209).
#include "addin_common.h"
#include <commctrl.h>
#include "basekit.h"
#include "prefstore.h"
#include "scrivel.h"

namespace {

thread_local HWND t_openDialog;

void SetDialogIcon(HWND dlg) {
    HICON icon = LoadIconA(Addin_Module(), MAKEINTRESOURCEA(ADDIN_IDI_ADDIN));
    if (icon) {
        SendMessageA(dlg, WM_SETICON, ICON_BIG, (LPARAM)icon);
        SendMessageA(dlg, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    }
}

// ---- Options dialog --------------------------------------------------------------------------

struct OptionsState {
    const AddinProfile *profile;
    PluginSettings settings;
};

void FillBox(HWND box, DWORD kind, const char *defaultName) {
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const AddinEntry &e : Addin_ListEntries(kind)) {
        LRESULT at = SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)e.name.c_str());
        if (at >= 0) SendMessageA(box, CB_SETITEMDATA, at, (LPARAM)e.id);
    }
    // an item of exactly the default name wins over one that only begins with it
    LRESULT at = SendMessageA(box, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)defaultName);
    if (at == CB_ERR && defaultName[0]) at = SendMessageA(box, CB_FINDSTRING, (WPARAM)-1, (LPARAM)defaultName);
    SendMessageA(box, CB_SETCURSEL, at == CB_ERR ? 0 : at, 0);
}

void ApplyEnabling(HWND dlg, const AddinProfile &p) {
    BOOL tran = IsDlgButtonChecked(dlg, ADDIN_IDC_SHOW_TRANSLATION) == BST_CHECKED;
    for (const int *id = p.translatorEnables; *id; ++id) EnableWindow(GetDlgItem(dlg, *id), tran);
    EnableWindow(GetDlgItem(dlg, p.dictionaryBox), IsDlgButtonChecked(dlg, ADDIN_IDC_SHOW_LOOKUP) == BST_CHECKED);
}

void BoxText(HWND box, char *out) {
    out[0] = 0;
    LRESULT at = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR) at = 0;
    LRESULT n = SendMessageA(box, CB_GETLBTEXTLEN, at, 0);
    if (n == CB_ERR || n >= 256) return;
    SendMessageA(box, CB_GETLBTEXT, at, (LPARAM)out);
}

BOOL OnOptionsInit(HWND dlg, OptionsState *st) {
    const AddinProfile &p = *st->profile;
    PluginSettings_Defaults(p, &st->settings);
    PluginSettings_Load(p, &st->settings);
    SetDialogIcon(dlg);
    FillBox(GetDlgItem(dlg, p.translatorBox), ADDIN_KIND_TRANSLATOR, st->settings.DefaultTranslatorName);
    FillBox(GetDlgItem(dlg, p.dictionaryBox), ADDIN_KIND_DICTIONARY, st->settings.DefaultDictionaryName);
    CheckDlgButton(dlg, ADDIN_IDC_SHOW_TRANSLATION, st->settings.ShowTranslator ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, ADDIN_IDC_SHOW_LOOKUP, st->settings.ShowDictionary ? BST_CHECKED : BST_UNCHECKED);
    bool popup = p.popupAlwaysAtStart || st->settings.PopupWindow;
    CheckRadioButton(dlg, ADDIN_IDC_NEW_DOCUMENT, ADDIN_IDC_POPUP, popup ? ADDIN_IDC_POPUP : ADDIN_IDC_NEW_DOCUMENT);
    if (p.wholePage)
        CheckRadioButton(dlg, ADDIN_IDC_SELECTION, ADDIN_IDC_WHOLE_PAGE,
                         st->settings.WholePageTran ? ADDIN_IDC_WHOLE_PAGE : ADDIN_IDC_SELECTION);
    ApplyEnabling(dlg, p);
    return TRUE;
}

void OnOptionsOk(HWND dlg, OptionsState *st) {
    const AddinProfile &p = *st->profile;
    PluginSettings &s = st->settings;
    BoxText(GetDlgItem(dlg, p.translatorBox), s.DefaultTranslatorName);
    BoxText(GetDlgItem(dlg, p.dictionaryBox), s.DefaultDictionaryName);
    s.ShowTranslator = IsDlgButtonChecked(dlg, ADDIN_IDC_SHOW_TRANSLATION) == BST_CHECKED;
    s.ShowDictionary = IsDlgButtonChecked(dlg, ADDIN_IDC_SHOW_LOOKUP) == BST_CHECKED;
    s.PopupWindow = IsDlgButtonChecked(dlg, ADDIN_IDC_POPUP) == BST_CHECKED;
    if (p.wholePage) s.WholePageTran = IsDlgButtonChecked(dlg, ADDIN_IDC_WHOLE_PAGE) == BST_CHECKED;
    PluginSettings_Save(p, s);
    EndDialog(dlg, 1);
}

INT_PTR CALLBACK OptionsProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    OptionsState *st = (OptionsState *)GetWindowLongPtrA(dlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        t_openDialog = dlg;
        return OnOptionsInit(dlg, (OptionsState *)lp);
    case WM_COMMAND:
        if (!st) return FALSE;
        switch (LOWORD(wp)) {
        case ADDIN_IDC_SHOW_TRANSLATION:
        case ADDIN_IDC_SHOW_LOOKUP: ApplyEnabling(dlg, *st->profile); return TRUE;
        case IDOK: OnOptionsOk(dlg, st); return TRUE;
        case IDCANCEL: EndDialog(dlg, 0); return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (t_openDialog == dlg) t_openDialog = nullptr;
        return FALSE;
    }
    return FALSE;
}

// ---- Result dialog ---------------------------------------------------------------------------

struct ResultState {
    const AddinProfile *profile;
    std::string text;
    BYTE charset;
};

const int kButtonGap = 2;

void LayoutResult(HWND dlg, const ResultState *st) {
    RECT client;
    GetClientRect(dlg, &client);
    int x = client.left + kButtonGap, rowTop = client.bottom;
    for (int id : {ADDIN_IDC_SELECT_ALL, ADDIN_IDC_COPY, ADDIN_IDC_PRINT}) {
        HWND b = GetDlgItem(dlg, id);
        RECT r;
        GetWindowRect(b, &r);
        int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(b, nullptr, x, client.bottom - kButtonGap - h, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        x += w + kButtonGap;
        if (client.bottom - kButtonGap - h < rowTop) rowTop = client.bottom - kButtonGap - h;
    }
    HWND close = GetDlgItem(dlg, IDOK);
    RECT r;
    GetWindowRect(close, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(close, nullptr, client.right - kButtonGap - w, client.bottom - kButtonGap - h, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    if (client.bottom - kButtonGap - h < rowTop) rowTop = client.bottom - kButtonGap - h;
    SetWindowPos(GetDlgItem(dlg, st->profile->editorId), nullptr, 0, 0, client.right,
                 rowTop - kButtonGap > 0 ? rowTop - kButtonGap : 0, SWP_NOZORDER);
}

BOOL OnResultInit(HWND dlg, ResultState *st) {
    const AddinProfile &p = *st->profile;
    SetDialogIcon(dlg);
    RECT client;
    GetClientRect(dlg, &client);
    int height = p.editorLeavesButtonRow ? client.bottom - 40 : client.bottom;
    HWND editor = Scrivel_CreateWindow(0x200, 0x50A100A0, 0, 0, client.right, height > 0 ? height : 0, dlg,
                                       (HMENU)(INT_PTR)p.editorId, nullptr, 0);
    PopupWindowOptions popup = {};
    PopupWindowLayout layout = {};
    Prefstore_LoadPopupWindow(&popup, &layout);
    if (editor) {
        SendMessageA(editor, SCM_SETWRAP, 1, 0);
        WPARAM wp = (WPARAM)st->charset | ((WPARAM)(popup.View.FontSize & 0xFFFF) << 16);
        SendMessageA(editor, SCM_SETTEXTEX, wp, (LPARAM)st->text.c_str());
    }
    DWORD size = 0, position = 0;
    SettingsKey key = Basekit_SettingsOpenKey(p.key);
    if (key) {
        DWORD type = 0;
        BYTE buf[260];
        if (Basekit_SettingsQueryValue(key, "Size", &type, buf) == 0 && type == REG_DWORD) memcpy(&size, buf, 4);
        if (Basekit_SettingsQueryValue(key, "Position", &type, buf) == 0 && type == REG_DWORD)
            memcpy(&position, buf, 4);
        Basekit_SettingsCloseKey(key);
    }
    if (size) {
        // the window reopens where it was closed, moved or resized
        int left, top, width, heightKept;
        Addin_UnpackPair(position, &left, &top);
        Addin_UnpackPair(size, &width, &heightKept);
        SetWindowPos(dlg, nullptr, left, top, width, heightKept, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayoutResult(dlg, st);
    t_openDialog = dlg;
    return TRUE;
}

void OnResultDestroy(HWND dlg, const ResultState *st) {
    RECT r;
    GetWindowRect(dlg, &r);
    Basekit_SettingsWriteDword(st->profile->key, "Position", Addin_PackPair(r.left, r.top));
    Basekit_SettingsWriteDword(st->profile->key, "Size", Addin_PackPair(r.right - r.left, r.bottom - r.top));
    if (t_openDialog == dlg) t_openDialog = nullptr;
}

INT_PTR CALLBACK ResultProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    ResultState *st = (ResultState *)GetWindowLongPtrA(dlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        return OnResultInit(dlg, (ResultState *)lp);
    case WM_SIZE:
        if (st) LayoutResult(dlg, st);
        return TRUE;
    case WM_COMMAND: {
        if (!st) return FALSE;
        HWND editor = GetDlgItem(dlg, st->profile->editorId);
        switch (LOWORD(wp)) {
        case ADDIN_IDC_SELECT_ALL: SendMessageA(editor, SCM_SELECTALL, 0, 0); return TRUE;
        case ADDIN_IDC_COPY: SendMessageA(editor, SCM_COPY, 0, 0); return TRUE;
        case ADDIN_IDC_PRINT: SendMessageA(editor, SCM_PRINT, 0, 0); return TRUE;
        case IDOK:
        case IDCANCEL: EndDialog(dlg, LOWORD(wp)); return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        if (st) OnResultDestroy(dlg, st);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR Addin_OptionsDialog(HWND owner, const AddinProfile &profile) {
    OptionsState st = {&profile, {}};
    return DialogBoxParamA(Addin_Module(), MAKEINTRESOURCEA(ADDIN_IDD_OPTIONS), owner, OptionsProc, (LPARAM)&st);
}

INT_PTR Addin_ResultDialog(HWND owner, const AddinProfile &profile, const char *text, int length, BYTE charset) {
    ResultState st = {&profile, std::string(text ? text : "", text && length > 0 ? (size_t)length : 0), charset};
    return DialogBoxParamA(Addin_Module(), MAKEINTRESOURCEA(ADDIN_IDD_RESULT), owner, ResultProc, (LPARAM)&st);
}

HWND Addin_OpenDialog() { return t_openDialog; }
