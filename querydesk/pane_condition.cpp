// The condition dialog of the condition pane: five rows of field, text, value and joining
// operator, each filled row giving one 284-byte condition block; the blocks are turned into the
// engine's full-text conditions and handed to the pane, which runs the search.
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

struct Dialog {
    HWND pane;
};

void AddString(HWND combo, UINT id, DWORD data)
{
    char text[256] = "";
    Uiassets_LoadString(id, text, sizeof text);
    LRESULT i = SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    if (i >= 0) SendMessageA(combo, CB_SETITEMDATA, (WPARAM)i, (LPARAM)data);
}

void EnableRow(HWND dlg, int row)
{
    HWND field = GetDlgItem(dlg, kFields[row]);
    LRESULT sel = SendMessageA(field, CB_GETCURSEL, 0, 0);
    DWORD kind = sel >= 0 ? (DWORD)SendMessageA(field, CB_GETITEMDATA, (WPARAM)sel, 0) : 0;
    bool text = kind >= CONDITION_HEADWORD && kind <= CONDITION_NUMBER;
    bool label = kind >= CONDITION_LABEL1;
    EnableWindow(GetDlgItem(dlg, kTexts[row]), text);
    EnableWindow(GetDlgItem(dlg, kValues[row]), label);
    EnableWindow(GetDlgItem(dlg, kOperators[row]), kind != 0);
}

void Fill(HWND dlg)
{
    for (int row = 0; row < kRows; row++) {
        HWND field = GetDlgItem(dlg, kFields[row]);
        SendMessageA(field, CB_RESETCONTENT, 0, 0);
        for (const Field &f : kFieldList) AddString(field, f.string, f.kind);
        SendMessageA(field, CB_SETCURSEL, 0, 0);
        HWND op = GetDlgItem(dlg, kOperators[row]);
        SendMessageA(op, CB_RESETCONTENT, 0, 0);
        AddString(op, UIA_IDS_OPERATOR_AND, 0);
        AddString(op, UIA_IDS_OPERATOR_OR, 1);
        SendMessageA(op, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageA(dlg, kTexts[row], QFM_SETCHARSET, Strandkit_GetUiCharset(), 0);
        EnableRow(dlg, row);
    }
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
        Fill(dlg);
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
            const char *shown = strncmp(text, "##", 2) == 0 ? text + 2 : text;
            RECT r = di->rcItem;
            r.left += 2;
            SetBkMode(di->hDC, TRANSPARENT);
            SetTextColor(di->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            HGDIOBJ old = SelectObject(di->hDC, GetStockObject(DEFAULT_GUI_FONT));
            DrawTextA(di->hDC, shown, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            SelectObject(di->hDC, old);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            for (int row = 0; row < kRows; row++)
                if (LOWORD(wParam) == kFields[row]) EnableRow(dlg, row);
        if (LOWORD(wParam) == UIA_IDC_CD_SEARCH) {
            std::vector<ConditionBlock> blocks = Blocks(dlg);
            ConditionRequest request = {blocks.data(), (int)blocks.size(),
                                        IsDlgButtonChecked(dlg, UIA_IDC_CD_EXACT) == BST_CHECKED ? 1 : 0};
            SendMessageA(d->pane, PANE_SET_CONDITIONS, 0, (LPARAM)&request);
            SendMessageA(d->pane, QUERYDESK_PANE_RUN_CONDITION, 0, 0);
        }
        if (LOWORD(wParam) == IDCANCEL) DestroyWindow(dlg);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        delete d;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND ConditionDialog_Open(HWND pane, HWND current)
{
    if (current && IsWindow(current)) {
        SetForegroundWindow(current);
        return current;
    }
    Dialog *d = new Dialog{pane};
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
