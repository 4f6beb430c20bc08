// The condition dialog of the condition pane: five rows of field, text, value and joining
// operator, each filled row giving one 284-byte condition block; the blocks are turned into the
// engine's full-text conditions and handed to the pane, which runs the search.  A dictionary with
// labels adds its label fields to the field lists; a label field's value list holds that field's
// labels.  The lists follow the search window's current dictionary.
#include <windows.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "lexicore.h"
#include "quickfield.h"
#include "strandkit.h"
#include "uiassets.h"
#include "querydesk_int.h"

static_assert(sizeof(ConditionBlock) == 284, "condition block");
static_assert(offsetof(ConditionBlock, kind) == 0 && offsetof(ConditionBlock, charset) == 4 &&
                  offsetof(ConditionBlock, text) == 8 && offsetof(ConditionBlock, unused264) == 264 &&
                  offsetof(ConditionBlock, textLen) == 268 && offsetof(ConditionBlock, value) == 272 &&
                  offsetof(ConditionBlock, joining) == 276 && offsetof(ConditionBlock, unused280) == 280,
              "condition block layout");

namespace {

const int kRows = 5;
const int kFields[kRows] = UIA_IDC_CD_FIELDS;
const int kTexts[kRows] = UIA_IDC_CD_TEXTS;
const int kValues[kRows] = UIA_IDC_CD_VALUES;
const int kOperators[kRows] = UIA_IDC_CD_OPERATORS;

struct Field {
    UINT string;
    DWORD kind;
};
const Field kFieldList[] = {{UIA_IDS_FIELD_NONE, 0},
                            {UIA_IDS_FIELD_HEADWORD, CONDITION_HEADWORD},
                            {UIA_IDS_FIELD_TEXT, CONDITION_TEXT},
                            {UIA_IDS_FIELD_NUMBER, CONDITION_NUMBER}};
const int kLabelKinds = 3;               // label records 1 to 3: kinds 32, 64 and 128
const DWORD kLabelFlag1 = 8;             // header flag of label record 1 (16 and 32 the others)
const DWORD kFirstDictionaryId = 0x100000;
const char kUiMark[] = "##";             // an item text in the interface's charset

struct Dialog {
    HWND pane;
    DWORD id;                            // the current dictionary or group
    UINT charset;                        // of the dictionary's label texts
    DWORD valueKind[kRows];              // the label kind each value list holds (0 none)
};

void AddItem(HWND combo, const char *text, DWORD data)
{
    LRESULT i = SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    if (i >= 0) SendMessageA(combo, CB_SETITEMDATA, (WPARAM)i, (LPARAM)data);
}

// An interface string; marked, for a list that draws its items, to be drawn in the interface's
// charset.
void AddString(HWND combo, UINT id, DWORD data, bool marked)
{
    char text[256] = "";
    if (marked) lstrcpyA(text, kUiMark);
    Uiassets_LoadString(id, text + strlen(text), (int)(sizeof text - strlen(text)));
    AddItem(combo, text, data);
}

DWORD KindOf(HWND dlg, int row)
{
    HWND field = GetDlgItem(dlg, kFields[row]);
    LRESULT sel = SendMessageA(field, CB_GETCURSEL, 0, 0);
    return sel >= 0 ? (DWORD)SendMessageA(field, CB_GETITEMDATA, (WPARAM)sel, 0) : 0;
}

int LevelOf(DWORD kind)
{
    for (int k = 0; k < kLabelKinds; k++)
        if (kind == (DWORD)CONDITION_LABEL1 << k) return k + 1;
    return 0;
}

int CALLBACK AddLabel(VLLabelItem *label, void *user)
{
    // Labels whose third number is 0 name a field, not a value of it.
    if (label->number3 && label->text) AddItem((HWND)user, label->text, (DWORD)label->number3);
    return 1;
}

// The row's value list holds the labels of its field's kind, read again only when the kind changed.
void FillValues(Dialog *d, HWND dlg, int row, DWORD kind)
{
    int level = LevelOf(kind);
    if (!level || d->valueKind[row] == kind) return;
    HWND values = GetDlgItem(dlg, kValues[row]);
    SendMessageA(values, CB_RESETCONTENT, 0, 0);
    Lexicore_EnumEntriesByLabel(d->id >> 8, level, AddLabel, values);
    SendMessageA(values, CB_SETCURSEL, 0, 0);
    d->valueKind[row] = kind;
}

void EnableRow(Dialog *d, HWND dlg, int row)
{
    DWORD kind = KindOf(dlg, row);
    bool text = kind >= CONDITION_HEADWORD && kind <= CONDITION_NUMBER;
    bool label = LevelOf(kind) != 0;
    if (label) FillValues(d, dlg, row, kind);
    EnableWindow(GetDlgItem(dlg, kTexts[row]), text);
    EnableWindow(GetDlgItem(dlg, kValues[row]), label);
    EnableWindow(GetDlgItem(dlg, kOperators[row]), kind != 0);
}

// The field lists for the current dictionary: the text fields, and the dictionary's label fields
// its header flags announce (a group or a dictionary without labels has none); every row back on
// its first item and its value list emptied.
void FillFields(Dialog *d, HWND dlg)
{
    char labels[kLabelKinds][256] = {};
    d->charset = 0;
    if (d->id >= kFirstDictionaryId) {
        DicInfo info = {};
        info.size = sizeof info;
        if (Lexicore_GetDicInfo(d->id >> 8, &info)) {
            d->charset = info.charset;
            for (int k = 0; k < kLabelKinds; k++) {
                if (!(info.headerFlags & (kLabelFlag1 << k))) continue;
                if (VLLabelItem *l = Lexicore_GetRecordByNumber(d->id >> 8, (DWORD)k + 1)) {
                    if (l->text) lstrcpynA(labels[k], l->text, sizeof labels[k]);
                    VLLabelItem_Destroy(l);
                }
            }
        }
    }
    for (int row = 0; row < kRows; row++) {
        HWND field = GetDlgItem(dlg, kFields[row]);
        SendMessageA(field, CB_RESETCONTENT, 0, 0);
        for (const Field &f : kFieldList) AddString(field, f.string, f.kind, true);
        for (int k = 0; k < kLabelKinds; k++)
            if (labels[k][0]) AddItem(field, labels[k], (DWORD)CONDITION_LABEL1 << k);
        SendMessageA(field, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(dlg, kValues[row], CB_RESETCONTENT, 0, 0);
        d->valueKind[row] = 0;
        EnableRow(d, dlg, row);
    }
}

void Fill(Dialog *d, HWND dlg)
{
    RECT column = {};
    HWND title = GetDlgItem(dlg, UIA_IDC_CD_TEXT_COLUMN);
    GetWindowRect(title, &column);
    MapWindowPoints(nullptr, dlg, (POINT *)&column, 2);
    for (int row = 0; row < kRows; row++) {
        HWND op = GetDlgItem(dlg, kOperators[row]);
        SendMessageA(op, CB_RESETCONTENT, 0, 0);
        AddString(op, UIA_IDS_OPERATOR_AND, 0, false);
        AddString(op, UIA_IDS_OPERATOR_OR, 1, false);
        SendMessageA(op, CB_SETCURSEL, 0, 0);
        // The text field on its field list's row, under the column's title from edge to edge.
        HWND text = GetDlgItem(dlg, kTexts[row]);
        RECT field = {};
        GetWindowRect(GetDlgItem(dlg, kFields[row]), &field);
        MapWindowPoints(nullptr, dlg, (POINT *)&field, 2);
        if (title) SetWindowPos(text, nullptr, column.left, field.top, column.right - column.left, field.bottom - field.top,
                                SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(text, QFM_SETCHARSET, Strandkit_GetUiCharset(), 0);
    }
    FillFields(d, dlg);
}

// The filled rows' blocks in row order (a row whose field list shows its first item stays out).
std::vector<ConditionBlock> Blocks(HWND dlg)
{
    std::vector<ConditionBlock> blocks;
    for (int row = 0; row < kRows; row++) {
        HWND field = GetDlgItem(dlg, kFields[row]);
        LRESULT sel = SendMessageA(field, CB_GETCURSEL, 0, 0);
        if (sel <= 0) continue;
        ConditionBlock b;
        memset(&b, 0, sizeof b);
        b.kind = (DWORD)SendMessageA(field, CB_GETITEMDATA, (WPARAM)sel, 0);
        LRESULT op = SendDlgItemMessageA(dlg, kOperators[row], CB_GETCURSEL, 0, 0);
        b.joining = op > 0 ? 1 : 0;
        if (b.kind <= CONDITION_NUMBER) {
            char text[sizeof b.text] = "";
            LRESULT r = SendDlgItemMessageA(dlg, kTexts[row], QFM_GETTEXTEX, sizeof text, (LPARAM)text);
            b.charset = HIWORD(r);
            if (b.kind == CONDITION_NUMBER) b.value = (DWORD)strtoul(text, nullptr, 10);
            else lstrcpynA(b.text, text, sizeof b.text);
            b.textLen = (DWORD)strlen(b.text);
        } else {
            HWND values = GetDlgItem(dlg, kValues[row]);
            LRESULT v = SendMessageA(values, CB_GETCURSEL, 0, 0);
            b.value = v >= 0 ? (DWORD)SendMessageA(values, CB_GETITEMDATA, (WPARAM)v, 0) : 0;
        }
        blocks.push_back(b);
    }
    return blocks;
}

INT_PTR CALLBACK Proc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog *d = (Dialog *)GetWindowLongPtrA(dlg, DWLP_USER);
    if (message == WM_INITDIALOG) {
        d = (Dialog *)lParam;
        SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)d);
        Fill(d, dlg);
        CheckRadioButton(dlg, UIA_IDC_CD_CONTAINS, UIA_IDC_CD_EXACT, UIA_IDC_CD_CONTAINS);
        return TRUE;
    }
    if (!d) return FALSE;
    switch (message) {
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT *m = (MEASUREITEMSTRUCT *)lParam;
        LOGFONTA font = {};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        m->itemHeight = 2 + (UINT)abs(font.lfHeight);  // the font's height and a pixel above and below
        return TRUE;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *di = (const DRAWITEMSTRUCT *)lParam;
        if (di->CtlType != ODT_COMBOBOX) return FALSE;
        bool selected = (di->itemState & ODS_SELECTED) != 0;
        FillRect(di->hDC, &di->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if ((int)di->itemID >= 0) {
            char text[300] = "";
            SendMessageA(di->hwndItem, CB_GETLBTEXT, di->itemID, (LPARAM)text);
            bool ui = strncmp(text, kUiMark, 2) == 0;
            const char *shown = ui ? text + 2 : text;
            UINT charset = ui ? Strandkit_GetUiCharset() : d->charset;
            HFONT font = Strandkit_GetCharsetFont(charset);
            HGDIOBJ old = SelectObject(di->hDC, font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT));
            int length = (int)strlen(shown);
            SIZE extent = {};
            Strandkit_GetTextExtentPoint(di->hDC, shown, length, &extent, charset);
            SetBkMode(di->hDC, TRANSPARENT);
            SetTextColor(di->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            int saved = SaveDC(di->hDC);
            IntersectClipRect(di->hDC, di->rcItem.left, di->rcItem.top, di->rcItem.right, di->rcItem.bottom);
            Strandkit_TextOut(di->hDC, di->rcItem.left + 2, (di->rcItem.top + di->rcItem.bottom - extent.cy) / 2, shown,
                              length, charset);
            RestoreDC(di->hDC, saved);
            SelectObject(di->hDC, old);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            for (int row = 0; row < kRows; row++) {
                if (LOWORD(wParam) != kFields[row]) continue;
                EnableRow(d, dlg, row);
                DWORD kind = KindOf(dlg, row);
                if (kind && kind <= CONDITION_NUMBER && SendMessageA((HWND)lParam, CB_GETDROPPEDSTATE, 0, 0))
                    SetFocus(GetDlgItem(dlg, kTexts[row]));
            }
        if (LOWORD(wParam) == UIA_IDC_CD_SEARCH) {
            std::vector<ConditionBlock> blocks = Blocks(dlg);
            ConditionRequest request = {blocks.data(), (int)blocks.size(),
                                        IsDlgButtonChecked(dlg, UIA_IDC_CD_EXACT) == BST_CHECKED ? 1 : 0};
            SendMessageA(d->pane, PANE_SET_CONDITIONS, 0, (LPARAM)&request);
            SendMessageA(d->pane, QUERYDESK_PANE_RUN_CONDITION, 0, 0);
        }
        if (LOWORD(wParam) == IDCANCEL) DestroyWindow(dlg);
        return TRUE;
    case QUERYDESK_SET_CURRENT:
        d->id = (DWORD)wParam;
        FillFields(d, dlg);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        delete d;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND ConditionDialog_Open(HWND pane, HWND current, DWORD id)
{
    if (current && IsWindow(current)) {
        SetForegroundWindow(current);
        return current;
    }
    Dialog *d = new Dialog{pane, id, 0, {}};
    HWND dlg = CreateDialogParamA(Station_Get()->assets, MAKEINTRESOURCEA(UIA_IDD_CONDITIONS), GetAncestor(pane, GA_ROOT),
                                  Proc, (LPARAM)d);
    if (!dlg) {
        delete d;
        return nullptr;
    }
    ShowWindow(dlg, SW_SHOW);
    return dlg;
}

std::vector<LexicoreCondition> ConditionBlocks_ToEngine(const ConditionBlock *blocks, int count)
{
    std::vector<LexicoreCondition> out;
    for (int i = 0; i < count; i++) {
        const ConditionBlock &b = blocks[i];
        LexicoreCondition c;
        memset(&c, 0, sizeof c);
        c.kind = b.kind;
        if (b.kind == CONDITION_NUMBER) {
            c.value = b.value;
        } else if (b.kind >= CONDITION_LABEL1) {
            c.value = b.value;
        } else {
            // The engine compares the entry's own text with the text as typed.
            lstrcpynA(c.text, b.text, sizeof c.text);
        }
        c.textLen = (DWORD)strlen(c.text);
        out.push_back(c);
    }
    return out;
}
