// The entry editor: a window with head word, reading, a rich-text body and the attached files of an
// entry of a user dictionary, run with its own message loop while the owner is disabled.
#include <string.h>
#include <string>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include "vocabank_int.h"
#include "lexicore.h"
#include "prefstore.h"
#include "quickfield.h"
#include "scrivel.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "uiassets.h"

HINSTANCE g_vocabankModule;

namespace {

const int kTimerStyle = 10;
const UINT kTimerPeriod = 300;
const int kFieldCap = 256;  // head word and reading: up to 255 characters
const int kBodyLimit = 2047;
const int kMinWidth = 250, kMinHeight = 200;
const UINT kSizeStrings = 2007;  // 2007-2011: the five sizes of the combo box
const UINT kFormatMenu = 4;      // submenu of the menu bar with sizes, styles and charsets

struct EditorState {
    HWND owner, window;
    DWORD dicCode;       // dictionary id of the entry, or the one given for a new word
    VLData *body;        // the entry's body as read (editing)
    int newWord;
    const VLDataItem *entry;
    std::string headword;
    DicProperty property;
    DicInfo info;
    HMENU menu;
    HWND rebar, toolbar, combo, body1024, files, headField, readField;
    TextAttribute style;  // the body's typing style as last reported
    int fileView;         // 0 large icons, 1 small icons, 2 list, 3 report
    bool closed;          // the window is gone: the editor's loop ends
};

HBRUSH g_faceBrush;

EditorState *State(HWND window) { return (EditorState *)GetWindowLongPtrA(window, GWLP_USERDATA); }

std::string LoadText(UINT id) {
    char buf[512] = "";
    Uiassets_LoadString(id, buf, sizeof buf);
    return buf;
}

// ---- Attached files ------------------------------------------------------------------------

void AddFile(EditorState *s, const char *path) {
    SHFILEINFOA fi;
    memset(&fi, 0, sizeof fi);
    SHGetFileInfoA(path, 0, &fi, sizeof fi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    const char *name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    char *copy = (char *)LocalAlloc(LPTR, strlen(path) + 1);
    if (!copy) return;
    strcpy(copy, path);
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(s->files);
    item.pszText = (char *)name;
    item.iImage = fi.iIcon;
    item.lParam = (LPARAM)copy;
    int at = (int)SendMessageA(s->files, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (at < 0) {
        LocalFree(copy);
        return;
    }
    LVITEMA sub;
    memset(&sub, 0, sizeof sub);
    sub.iSubItem = 1;
    sub.pszText = copy;
    SendMessageA(s->files, LVM_SETITEMTEXTA, at, (LPARAM)&sub);
}

const char *FilePath(EditorState *s, int index) {
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return SendMessageA(s->files, LVM_GETITEMA, 0, (LPARAM)&item) ? (const char *)item.lParam : nullptr;
}

// "path;" for every file of the list.
std::string FileString(EditorState *s) {
    std::string out;
    int n = ListView_GetItemCount(s->files);
    for (int i = 0; i < n; i++) {
        const char *path = FilePath(s, i);
        if (path) out += std::string(path) + ";";
    }
    return out;
}

void AddFileString(EditorState *s, const char *text, int length) {
    std::string all(text, length);
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find(';', start);
        if (end == std::string::npos) end = all.size();
        std::string path = all.substr(start, end - start);
        if (!path.empty() && path[0]) AddFile(s, path.c_str());
        start = end + 1;
    }
}

void SetFileView(EditorState *s, int view) {
    static const DWORD kViews[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    s->fileView = view & 3;
    LONG style = GetWindowLongA(s->files, GWL_STYLE);
    SetWindowLongA(s->files, GWL_STYLE, (style & ~LVS_TYPEMASK) | kViews[s->fileView]);
    if (s->menu) CheckMenuRadioItem(s->menu, 5741, 5744, 5741 + s->fileView, MF_BYCOMMAND);
}

// Item data (the full paths) go with their items: LVN_DELETEITEM frees them.

// ---- Fields and body ---------------------------------------------------------------------------

std::string FieldText(HWND field) {
    char buf[kFieldCap] = "";
    SendMessageA(field, QFM_GETTEXTEX, sizeof buf, (LPARAM)buf);  // whole characters, at most 255 bytes
    return buf;
}

void SetFieldText(HWND field, const char *text) {
    SendMessageA(field, QFM_SETTEXTEX, SendMessageA(field, QFM_GETCHARSET, 0, 0), (LPARAM)(text ? text : ""));
}

std::string BodyText(EditorState *s) {
    LRESULT size = SendMessageA(s->body1024, SCM_GETTAGGEDTEXT, 0, 0);
    if (size <= 0) return std::string();
    char *text = (char *)LocalAlloc(LPTR, size + 4);
    if (!text) return std::string();
    SendMessageA(s->body1024, SCM_GETTAGGEDTEXT, 0, (LPARAM)text);
    std::string out(text);
    LocalFree(text);
    return out;
}

void ClearEditor(EditorState *s) {
    SetFieldText(s->headField, "");
    SetFieldText(s->readField, "");
    SendMessageA(s->body1024, SCM_NEWDOC, 0, 0);
    ListView_DeleteAllItems(s->files);
    SetFocus(s->headField);
}

// Saves the fields as a new entry or over the edited one.  A failure is reported and leaves every
// field as it is, so nothing typed is lost.
void Save(EditorState *s) {
    std::string headword = FieldText(s->headField);
    if (headword.empty()) {
        Uiassets_MessageBox(s->window, UIA_IDS_WORD_NO_HEADWORD, UIA_IDS_CAPTION_WORDS, MB_ICONHAND | MB_TOPMOST);
        return;
    }
    std::string reading = FieldText(s->readField);
    std::string body = BodyText(s);
    std::string files = FileString(s);
    VLDataItem head;
    memset(&head, 0, sizeof head);
    head.head.type = VLITEM_DATA;
    VLDataItem *record = VLDataItem_Create(&head, headword.c_str(), reading.empty() ? nullptr : reading.c_str(),
                                           nullptr, nullptr);
    // Both engine calls come to one answer here: the entry's position, or -1 for a failure (the
    // update answers 1 or 0 and keeps the edited entry's number).
    LONG result = -1;
    if (record) {
        if (s->newWord) {
            result = Lexicore_AddUserEntry(s->dicCode, record, body.c_str(), files.c_str());
        } else if (Lexicore_UpdateUserEntry(s->entry, record, body.c_str(), files.c_str())) {
            result = (LONG)s->entry->head.entryNo;
        }
        VLDataItem_Destroy(record);
    }
    if (result < 0) {
        Uiassets_MessageBox(s->window, UIA_IDS_WORD_SAVE_FAILED, UIA_IDS_CAPTION_WORDS, MB_ICONHAND | MB_TOPMOST);
        return;
    }
    Sharedkit_Broadcast(1, VLM_USER_ENTRY_CHANGED, s->dicCode, result);
    // The edited entry has been replaced in the file; what is typed next is a new word.
    s->newWord = 1;
    s->entry = nullptr;
    ClearEditor(s);
}

// ---- Body callback, style record and the tool bar --------------------------------------------

void ShowStyle(EditorState *s) {
    if (!s->menu) return;
    HMENU format = GetSubMenu(s->menu, kFormatMenu);
    if (!format) format = s->menu;
    int size = s->style.sizeStep < 1 ? 1 : s->style.sizeStep > 5 ? 5 : s->style.sizeStep;
    for (int i = 1; i <= 5; i++)
        CheckMenuItem(format, 5726 - i, MF_BYCOMMAND | (i == size ? MF_CHECKED : MF_UNCHECKED));
    for (int b = 0; b < 3; b++)
        CheckMenuItem(format, 5731 + b, MF_BYCOMMAND | ((s->style.style >> b) & 1 ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(format, 11197, MF_BYCOMMAND | (s->style.charset == 0 ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(format, 11198, MF_BYCOMMAND | (s->style.charset == 128 ? MF_CHECKED : MF_UNCHECKED));
}

void CALLBACK BodyNotify(HWND editor, int code, void *data) {
    EditorState *s = State(GetParent(editor));
    if (!s || !data) return;
    switch (code) {
    case 0:
        memcpy(&s->style, data, sizeof s->style);
        ShowStyle(s);
        break;
    case 1: EnableMenuItem(s->menu, 5204, MF_BYCOMMAND | (*(int *)data == 1 ? MF_ENABLED : MF_GRAYED)); break;
    case 2: {
        // Cut, copy and clear need a selection.
        UINT on = MF_BYCOMMAND | (*(int *)data == 1 ? MF_ENABLED : MF_GRAYED);
        EnableMenuItem(s->menu, 5201, on);
        EnableMenuItem(s->menu, 5202, on);
        EnableMenuItem(s->menu, 5205, on);
        break;
    }
    }
}

// The body takes a new typing style without reporting it back: the menu is brought in line here.
void SendStyle(EditorState *s) {
    SendMessageA(s->body1024, SCM_SETATTRIBUTE, 0, (LPARAM)&s->style);
    ShowStyle(s);
}

void SetSize(EditorState *s, int step) {
    SendMessageA(s->body1024, SCM_GETATTRIBUTE, 0, (LPARAM)&s->style);
    s->style.sizeStep = (BYTE)step;
    SendStyle(s);
    SetFocus(s->body1024);
}

void ToggleStyle(EditorState *s, BYTE bit) {
    SendMessageA(s->body1024, SCM_GETATTRIBUTE, 0, (LPARAM)&s->style);
    s->style.style ^= bit;
    SendStyle(s);
}

void SetCharset(EditorState *s, BYTE charset) {
    SendMessageA(s->body1024, SCM_GETATTRIBUTE, 0, (LPARAM)&s->style);
    s->style.charset = charset;
    SendStyle(s);
}

void OnTimer(EditorState *s) {
    HWND focus = GetFocus();
    BOOL active = focus && (focus == s->body1024 || focus == s->combo || GetParent(focus) == s->combo);
    for (UINT id = 5731; id <= 5733; id++) SendMessageA(s->toolbar, TB_ENABLEBUTTON, id, MAKELONG(active, 0));
    EnableWindow(s->combo, active);
    TextAttribute now;
    memset(&now, 0, sizeof now);
    SendMessageA(s->body1024, SCM_GETATTRIBUTE, 0, (LPARAM)&now);
    for (int b = 0; b < 3; b++)
        SendMessageA(s->toolbar, TB_CHECKBUTTON, 5731 + b, MAKELONG((now.style >> b) & 1, 0));
}

// The clipboard and editing commands on the focused control.
void EditCommand(EditorState *s, UINT id) {
    HWND focus = GetFocus();
    if (focus == s->body1024) {
        // Clear deletes the selection (with undo), as in the fields.
        static const UINT kBody[] = {SCM_CUT, SCM_COPY, SCM_PASTE, SCM_UNDO, SCM_CLEAR, SCM_SELECTALL};
        SendMessageA(focus, kBody[id - 5201], 0, 0);
    } else if (focus == s->headField || focus == s->readField) {
        static const UINT kField[] = {WM_CUT, WM_COPY, WM_PASTE, QFM_UNDO, WM_CLEAR, QFM_SELECTALL};
        SendMessageA(focus, kField[id - 5201], 0, 0);
    }
}

void Command(EditorState *s, UINT id, UINT code, HWND control) {
    switch (id) {
    case 2:
    case 5005: PostMessageA(s->window, WM_CLOSE, 0, 0); break;
    case VOCABANK_IDC_SAVE: Save(s); break;
    case 1155: Sharedkit_ShowHelp(s->window, 5601, 10801, nullptr); break;
    case 1278: Sharedkit_ShowHelp(s->window, 5606, 10801, nullptr); break;
    case 1279: Sharedkit_ShowHelp(s->window, 5604, 10801, nullptr); break;
    case 1280: Sharedkit_ShowHelp(s->window, 5605, 10801, nullptr); break;
    case 1281: Sharedkit_ShowHelp(s->window, 5607, 10801, nullptr); break;
    case 5201: case 5202: case 5203: case 5204: case 5205: case 5206: EditCommand(s, id); break;
    case 5721: case 5722: case 5723: case 5724: case 5725: SetSize(s, 5726 - id); break;
    case 5731: ToggleStyle(s, 1); break;
    case 5732: ToggleStyle(s, 2); break;
    case 5733: ToggleStyle(s, 4); break;
    case 11197: SetCharset(s, 0); break;
    case 11198: SetCharset(s, 128); break;
    case 5741: case 5742: case 5743: case 5744: SetFileView(s, id - 5741); break;
    case 10067: SetFileView(s, s->fileView + 1); break;
    case 10090: Vb_StartDrill(); break;
    case 40063: SetFocus(s->headField); break;
    case 40064: SetFocus(s->readField); break;
    case 40065: SetFocus(GetDlgItem(s->window, VOCABANK_IDC_SAVE)); break;
    case 40066: SetFocus(GetDlgItem(s->window, VOCABANK_IDC_CLOSE)); break;
    case VOCABANK_IDC_SIZE_COMBO:
        if (code == CBN_SELCHANGE) {
            int row = (int)SendMessageA(control, CB_GETCURSEL, 0, 0);
            if (row >= 0 && row < 5) SetSize(s, 5 - row);
        }
        break;
    }
}

// ---- Creation and layout ------------------------------------------------------------------------

int FieldHeight() { return GetSystemMetrics(SM_CYMENUSIZE) + 2 * GetSystemMetrics(SM_CYEDGE); }

int TextWidth(HWND window, const std::string &a, const std::string &b) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE sa = {0, 0}, sb = {0, 0};
    GetTextExtentPoint32A(dc, a.c_str(), (int)a.size(), &sa);
    GetTextExtentPoint32A(dc, b.c_str(), (int)b.size(), &sb);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return sa.cx > sb.cx ? sa.cx : sb.cx;
}

void Layout(EditorState *s) {
    HWND w = s->window;
    RECT rc;
    GetClientRect(w, &rc);
    SendMessageA(s->rebar, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(s->rebar, &bar);
    int y = bar.bottom - bar.top + 2;
    int h = FieldHeight();
    int label = TextWidth(w, LoadText(UIA_IDS_WORD_HEADWORD), LoadText(UIA_IDS_WORD_READING));
    int button = TextWidth(w, LoadText(UIA_IDS_WORD_SAVE), LoadText(UIA_IDS_WORD_CLOSE)) + 8;
    if (button < 80) button = 80;
    int fieldX = 2 + label + 4, buttonX = rc.right - 2 - button;
    int fieldW = buttonX - 4 - fieldX;
    if (fieldW < 10) fieldW = 10;
    MoveWindow(GetDlgItem(w, VOCABANK_IDC_HEADWORD_LABEL), 2, y + 3, label, h - 3, TRUE);
    MoveWindow(s->headField, fieldX, y, fieldW, h, TRUE);
    MoveWindow(GetDlgItem(w, VOCABANK_IDC_SAVE), buttonX, y, button, h, TRUE);
    y += h + 2;
    MoveWindow(GetDlgItem(w, VOCABANK_IDC_READING_LABEL), 2, y + 3, label, h - 3, TRUE);
    MoveWindow(s->readField, fieldX, y, fieldW, h, TRUE);
    MoveWindow(GetDlgItem(w, VOCABANK_IDC_CLOSE), buttonX, y, button, h, TRUE);
    y += h + 4;
    MoveWindow(GetDlgItem(w, VOCABANK_IDC_LINE), 0, y, rc.right, 2, TRUE);
    y += 4;
    int rest = rc.bottom - y;
    if (rest < 0) rest = 0;
    int bodyH = rest * 3 / 5;
    MoveWindow(s->body1024, 7, y, rc.right - 2 - 7, bodyH, TRUE);
    MoveWindow(s->files, 7, y + bodyH + 2, rc.right - 2 - 7, rest - bodyH - 4, TRUE);
}

HWND Child(HWND parent, const char *cls, const std::string &text, DWORD style, int id, DWORD exStyle = 0) {
    HWND c = CreateWindowExA(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                             (HMENU)(INT_PTR)id, g_vocabankModule, nullptr);
    if (c) SendMessageA(c, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    return c;
}

bool MakeToolbar(EditorState *s) {
    s->rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                   RBS_BANDBORDERS | CCS_NODIVIDER,
                               0, 0, 0, 0, s->window, (HMENU)VOCABANK_IDC_REBAR, g_vocabankModule, nullptr);
    if (!s->rebar) return false;
    s->toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                     CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                 0, 0, 0, 0, s->rebar, (HMENU)VOCABANK_IDC_TOOLBAR, g_vocabankModule, nullptr);
    if (!s->toolbar) return false;
    SendMessageA(s->toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Buttons, the drop-down and the size box report to the editor itself, not to the rebar.
    SendMessageA(s->toolbar, TB_SETPARENT, (WPARAM)s->window, 0);
    SendMessageA(s->toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(s->toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
    TBADDBITMAP bitmap = {Uiassets_GetModule(), UIA_IDB_TOOLBAR};
    SendMessageA(s->toolbar, TB_ADDBITMAP, 75, (LPARAM)&bitmap);
    char drill[MAX_PATH];
    bool withDrill = Vb_DrillPath(drill);
    const int kComboWidth = 90;
    struct Button {
        int image, id;
        BYTE style;
    } buttons[] = {{0, 5201, BTNS_BUTTON},     {1, 5202, BTNS_BUTTON},   {2, 5203, BTNS_BUTTON},
                   {0, 0, BTNS_SEP},           {3, 5731, BTNS_CHECK},    {4, 5732, BTNS_CHECK},
                   {5, 5733, BTNS_CHECK},      {0, 0, BTNS_SEP},         {kComboWidth, 0, BTNS_SEP},
                   {0, 0, BTNS_SEP},           {6, 10067, BTNS_DROPDOWN}, {0, 0, BTNS_SEP},
                   {7, 10090, BTNS_BUTTON}};
    int count = withDrill ? 13 : 11;
    TBBUTTON tb[13];
    memset(tb, 0, sizeof tb);
    for (int i = 0; i < count; i++) {
        tb[i].iBitmap = buttons[i].image;
        tb[i].idCommand = buttons[i].id;
        tb[i].fsState = TBSTATE_ENABLED;
        tb[i].fsStyle = buttons[i].style;
    }
    SendMessageA(s->toolbar, TB_ADDBUTTONSA, count, (LPARAM)tb);
    RECT place;
    SendMessageA(s->toolbar, TB_GETITEMRECT, 8, (LPARAM)&place);
    s->combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                               place.left, place.top, kComboWidth, 200, s->toolbar,
                               (HMENU)VOCABANK_IDC_SIZE_COMBO, g_vocabankModule, nullptr);
    if (!s->combo) return false;
    SendMessageA(s->combo, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    for (UINT id = kSizeStrings; id < kSizeStrings + 5; id++) {
        int row = (int)SendMessageA(s->combo, CB_ADDSTRING, 0, (LPARAM)LoadText(id).c_str());
        SendMessageA(s->combo, CB_SETITEMDATA, row, id);
    }
    SendMessageA(s->combo, CB_SETCURSEL, 2, 0);
    SIZE size;
    SendMessageA(s->toolbar, TB_GETMAXSIZE, 0, (LPARAM)&size);
    REBARBANDINFOA band;
    memset(&band, 0, sizeof band);
    band.cbSize = REBARBANDINFOA_V3_SIZE;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.hwndChild = s->toolbar;
    band.cxMinChild = size.cx;
    band.cyMinChild = size.cy > 22 ? size.cy : 22;
    band.cx = size.cx;
    SendMessageA(s->rebar, RB_INSERTBANDA, (WPARAM)-1, (LPARAM)&band);
    return true;
}

void FillFromEntry(EditorState *s) {
    const VLDataItem *e = s->entry;
    SetFieldText(s->headField, s->headword.c_str());
    // An entry without a reading repeats the head word's string there.
    if (e->second && e->second != e->headword && e->secondLen > 0) {
        char reading[kFieldCap * 2] = "";
        Scrivshow_RenderPlain(e->second, e->secondLen, reading, sizeof reading, -1);
        SetFieldText(s->readField, reading);
    }
    if (s->body && s->body->data1 && s->body->len1 > 0) {
        std::string text(s->body->data1, s->body->len1);
        SendMessageA(s->body1024, SCM_SETTAGGEDTEXT, 0, (LPARAM)text.c_str());
    }
    if (s->body && s->body->data2 && s->body->len2 > 0) AddFileString(s, s->body->data2, s->body->len2);
}

bool Create(EditorState *s) {
    HWND w = s->window;
    if (!MakeToolbar(s)) return false;
    if (!Child(w, "STATIC", LoadText(UIA_IDS_WORD_HEADWORD), SS_LEFT, VOCABANK_IDC_HEADWORD_LABEL)) return false;
    s->headField = Child(w, QUICKFIELD_CLASS, "", WS_TABSTOP | WS_BORDER, VOCABANK_IDC_HEADWORD, WS_EX_CLIENTEDGE);
    if (!s->headField) return false;
    if (!Child(w, "BUTTON", LoadText(UIA_IDS_WORD_SAVE), WS_TABSTOP | BS_PUSHBUTTON, VOCABANK_IDC_SAVE)) return false;
    if (!Child(w, "STATIC", LoadText(UIA_IDS_WORD_READING), SS_LEFT, VOCABANK_IDC_READING_LABEL)) return false;
    s->readField = Child(w, QUICKFIELD_CLASS, "", WS_TABSTOP | WS_BORDER, VOCABANK_IDC_READING, WS_EX_CLIENTEDGE);
    if (!s->readField) return false;
    if (!Child(w, "BUTTON", LoadText(UIA_IDS_WORD_CLOSE), WS_TABSTOP | BS_PUSHBUTTON, VOCABANK_IDC_CLOSE)) return false;
    if (!Child(w, "STATIC", "", SS_ETCHEDHORZ, VOCABANK_IDC_LINE)) return false;
    s->body1024 = Scrivel_CreateWindow(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0, 0, 400,
                                       300, w, (HMENU)VOCABANK_IDC_BODY, BodyNotify, 0);
    if (!s->body1024) return false;
    SendMessageA(s->body1024, EM_LIMITTEXT, kBodyLimit, 0);
    s->files = Child(w, WC_LISTVIEWA, "", WS_TABSTOP | LVS_ICON | LVS_SHAREIMAGELISTS, VOCABANK_IDC_FILES,
                     WS_EX_CLIENTEDGE);
    if (!s->files) return false;
    SHFILEINFOA fi;
    HIMAGELIST large = (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &fi, sizeof fi, SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
    HIMAGELIST small = (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &fi, sizeof fi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    ListView_SetImageList(s->files, large, LVSIL_NORMAL);
    ListView_SetImageList(s->files, small, LVSIL_SMALL);
    LVCOLUMNA column;
    memset(&column, 0, sizeof column);
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    std::string name = LoadText(UIA_IDS_WORD_FILE_NAME), path = LoadText(UIA_IDS_WORD_FILE_PATH);
    column.cx = 100;
    column.pszText = (char *)name.c_str();
    SendMessageA(s->files, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    column.cx = 1000;
    column.pszText = (char *)path.c_str();
    SendMessageA(s->files, LVM_INSERTCOLUMNA, 1, (LPARAM)&column);
    DragAcceptFiles(w, TRUE);
    SetFileView(s, 0);

    WordManagerWindowLayout place;
    memset(&place, 0, sizeof place);
    Prefstore_LoadWordManagerWindow(&place);
    if (place.cx > 0 && place.cy > 0) {
        MoveWindow(w, place.x, place.y, place.cx, place.cy, FALSE);
    } else {
        RECT r, work;
        GetWindowRect(w, &r);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        int cx = r.right - r.left, cy = r.bottom - r.top;
        MoveWindow(w, work.left + (work.right - work.left - cx) / 2, work.top + (work.bottom - work.top - cy) / 2, cx,
                   cy, FALSE);
    }
    // The fields show and hand out their text in the dictionary's charset.
    SendMessageA(s->headField, QFM_SETCHARSET, s->property.charset, 0);
    SendMessageA(s->readField, QFM_SETCHARSET, s->property.charset, 0);
    if (!s->newWord) FillFromEntry(s);
    else SetFieldText(s->headField, s->headword.c_str());
    Layout(s);
    SetFocus(s->headField);
    SetTimer(w, kTimerStyle, kTimerPeriod, nullptr);
    return true;
}

void OnDropFiles(EditorState *s, HDROP drop) {
    UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; i++) {
        char path[MAX_PATH];
        if (DragQueryFileA(drop, i, path, sizeof path)) AddFile(s, path);
    }
    DragFinish(drop);
}

LRESULT OnNotify(EditorState *s, NMHDR *nm) {
    if (nm->hwndFrom == s->toolbar && nm->code == TBN_DROPDOWN) {
        NMTOOLBARA *tb = (NMTOOLBARA *)nm;
        RECT r;
        SendMessageA(s->toolbar, TB_GETRECT, tb->iItem, (LPARAM)&r);
        MapWindowPoints(s->toolbar, nullptr, (POINT *)&r, 2);
        HMENU menu = CreatePopupMenu();
        static const char *kNames[] = {"Large Icons", "Small Icons", "List", "Details"};
        for (int i = 0; i < 4; i++) AppendMenuA(menu, MF_STRING, 5741 + i, kNames[i]);
        HMENU view = s->menu ? GetSubMenu(s->menu, 2) : nullptr;
        for (int i = 0; view && i < 4; i++) {
            char text[64];
            if (GetMenuStringA(view, 5741 + i, text, sizeof text, MF_BYCOMMAND))
                ModifyMenuA(menu, 5741 + i, MF_BYCOMMAND | MF_STRING, 5741 + i, text);
        }
        CheckMenuRadioItem(menu, 5741, 5744, 5741 + s->fileView, MF_BYCOMMAND);
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, s->window, nullptr);
        DestroyMenu(menu);
        return TBDDRET_DEFAULT;
    }
    if (nm->hwndFrom == s->files) {
        if (nm->code == LVN_DELETEITEM) {
            LocalFree((HLOCAL)((NMLISTVIEW *)nm)->lParam);
        } else if (nm->code == LVN_KEYDOWN && ((NMLVKEYDOWN *)nm)->wVKey == VK_DELETE) {
            for (int i = ListView_GetItemCount(s->files) - 1; i >= 0; i--)
                if (ListView_GetItemState(s->files, i, LVIS_SELECTED)) ListView_DeleteItem(s->files, i);
        } else if (nm->code == NM_DBLCLK) {
            int at = ((NMITEMACTIVATE *)nm)->iItem;
            const char *path = at >= 0 ? FilePath(s, at) : nullptr;
            if (path) Uiassets_MessageBoxText(s->window, path, "DClick", MB_OK);
        }
    }
    return 0;
}

LRESULT CALLBACK EditorProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    EditorState *s = State(w);
    switch (message) {
    case WM_CREATE: {
        s = (EditorState *)((CREATESTRUCTA *)lp)->lpCreateParams;
        s->window = w;
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)s);
        s->menu = GetMenu(w);
        return Create(s) ? 0 : -1;
    }
    case WM_SIZE:
        if (s) Layout(s);
        return 0;
    case WM_SIZING: {
        RECT *r = (RECT *)lp;
        if (r->right - r->left < kMinWidth) {
            if (wp == WMSZ_LEFT || wp == WMSZ_TOPLEFT || wp == WMSZ_BOTTOMLEFT) r->left = r->right - kMinWidth;
            else r->right = r->left + kMinWidth;
        }
        if (r->bottom - r->top < kMinHeight) {
            if (wp == WMSZ_TOP || wp == WMSZ_TOPLEFT || wp == WMSZ_TOPRIGHT) r->top = r->bottom - kMinHeight;
            else r->bottom = r->top + kMinHeight;
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (s) Command(s, LOWORD(wp), HIWORD(wp), (HWND)lp);
        return 0;
    case WM_NOTIFY:
        return s ? OnNotify(s, (NMHDR *)lp) : 0;
    case WM_TIMER:
        if (s && wp == kTimerStyle) OnTimer(s);
        return 0;
    case WM_DROPFILES:
        if (s) OnDropFiles(s, (HDROP)wp);
        return 0;
    case WM_DESTROY:
        if (s) {
            KillTimer(w, kTimerStyle);
            POINT pos;
            SIZE size;
            if (Prefstore_GetWindowPlacement(w, &pos, &size, nullptr)) {
                WordManagerWindowLayout place = {pos.x, pos.y, size.cx, size.cy};
                Prefstore_SaveWordManagerWindow(&place);
            }
            ListView_DeleteAllItems(s->files);  // frees the paths
            // The loop ends by this flag rather than by a quit message of its own, so that a quit
            // meant for the caller's loop is neither overwritten nor taken for the editor's.
            s->closed = true;
        }
        return 0;
    }
    return DefWindowProcA(w, message, wp, lp);
}

int RunEditor(HWND owner, DWORD dicCode, const VLDataItem *entry, const char *text) {
    EditorState *s = new EditorState();
    s->owner = owner;
    s->dicCode = entry ? (entry->head.subDicNo | entry->head.fileId << 8) : dicCode;
    s->newWord = entry ? 0 : 1;
    s->entry = entry;
    s->body = VLData_Create(0, 0, nullptr, 0, nullptr);
    s->property.size = sizeof s->property;
    Lexicore_GetDicProperty(s->dicCode, &s->property);
    Vb_DicInfo(s->dicCode, &s->info);
    if (entry) {
        if (s->body) Lexicore_ReadEntryText(entry, s->body);
        s->headword = entry->headword ? entry->headword : "";
    } else if (text) {
        s->headword = text;
    }
    if (owner) EnableWindow(owner, FALSE);

    HACCEL accel = LoadAcceleratorsA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDA_WORD_EDITOR));
    HWND w = CreateWindowExA(0, VOCABANK_EDITOR_CLASS, LoadText(UIA_IDS_CAPTION_WORDS).c_str(),
                             WS_POPUPWINDOW | WS_CLIPCHILDREN | WS_DLGFRAME | WS_THICKFRAME, CW_USEDEFAULT,
                             CW_USEDEFAULT, 460, 350, owner, Uiassets_LoadMenu(UIA_IDM_WORD_EDITOR),
                             g_vocabankModule, s);
    int code = 0;
    bool outerQuit = false;
    if (w) {
        ShowWindow(w, SW_SHOWNORMAL);
        UpdateWindow(w);
        MSG msg;
        while (!s->closed) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == -1) break;
            if (got == 0) {
                // A quit for the caller's loop: close the editor and hand the quit on.
                outerQuit = true;
                code = (int)msg.wParam;
                if (IsWindow(w)) DestroyWindow(w);
                break;
            }
            if (Quickfield_PreTranslateMessage(&msg)) continue;
            if (accel && TranslateAcceleratorA(w, accel, &msg)) continue;
            Quickfield_TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (accel) DestroyAcceleratorTable(accel);
    if (s->body) VLData_Destroy(s->body);
    delete s;
    if (owner) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    if (outerQuit) PostQuitMessage(code);
    return code;
}

}  // namespace

bool Vb_RegisterEditorClass(void) {
    g_faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.style = CS_DBLCLKS | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = EditorProc;
    wc.hInstance = g_vocabankModule;
    wc.hIcon = Uiassets_LoadIcon(UIA_IDI_WORD_EDITOR);
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = g_faceBrush;
    wc.lpszClassName = VOCABANK_EDITOR_CLASS;
    return RegisterClassA(&wc) != 0;
}

void Vb_UnregisterEditorClass(void) {
    UnregisterClassA(VOCABANK_EDITOR_CLASS, g_vocabankModule);
    if (g_faceBrush) DeleteObject(g_faceBrush);
    g_faceBrush = nullptr;
}

extern "C" int WINAPI Vocabank_NewWord(HWND owner, DWORD dicId, const char *text) {
    if (!dicId && (!text || !*text)) return 0;
    return RunEditor(owner, dicId, nullptr, text);
}

extern "C" int WINAPI Vocabank_EditEntry(HWND owner, const VLDataItem *entry) {
    if (!entry) return 0;
    return RunEditor(owner, 0, entry, nullptr);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_vocabankModule = module;
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        Quickfield_Init(module);
        Vb_RegisterEditorClass();
    } else if (reason == DLL_PROCESS_DETACH) {
        Vb_UnregisterEditorClass();
        Quickfield_Term(module);
    }
    return TRUE;
}
