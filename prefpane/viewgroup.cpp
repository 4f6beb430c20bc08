// The view options group of the pop-up page and the three window dialogs, over ViewOptions: font
// size, background colour, rich text, line feeds, layers and the display-style list.
#include "prefpane_int.h"

#include "uiassets.h"

namespace {

const int kFontSizeStrings[5] = {2007, 2008, 2009, 2010, 2011};
const int kLayerStrings[6] = {2001, 2002, 2003, 2004, 2005, 2006};

int ListBits()
{
    int bits = 0;
    for (const PpBitItem &item : kDispStyleItems) bits |= item.bit;
    return bits;
}

}  // namespace

void Pp_ViewFill(HWND dlg, const ViewOptions *view)
{
    Pp_FillComboStrings(dlg, UIA_IDC_VIEW_FONTSIZE, kFontSizeStrings, 5,
                        Pp_FontSizeToIndex(view->FontSize));
    Pp_SetButtonColour(dlg, UIA_IDC_VIEW_COLOR, view->BackGroundColor);
    Pp_SetCheck(dlg, UIA_IDC_VIEW_RICHTEXT, view->UseRichText != 0);
    Pp_SetCheck(dlg, UIA_IDC_VIEW_NO_LINEFEED, view->EnableLineFeed == 0);
    Pp_SetCheck(dlg, UIA_IDC_VIEW_NO_LAYER, view->EnableLayer == 0);
    Pp_SetCheck(dlg, UIA_IDC_VIEW_BY_LAYER, view->UseLayer != 0);
    Pp_SetCheck(dlg, UIA_IDC_VIEW_BY_STYLE, view->UseLayer == 0);
    Pp_FillComboStrings(dlg, UIA_IDC_VIEW_LAYER, kLayerStrings, 6,
                        Pp_OpenLayerToIndex(view->OpenLayer));
    if (HWND list = GetDlgItem(dlg, UIA_IDC_VIEW_STYLES)) {
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < 13; ++i) {
            char text[256];
            Pp_LoadString(kDispStyleItems[i].stringId, text, sizeof text);
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)text);
            SendMessageA(list, LB_SETSEL, (view->DispStyle & kDispStyleItems[i].bit) != 0, i);
        }
        SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    }
    Pp_ViewEnable(dlg);
}

void Pp_ViewRead(HWND dlg, ViewOptions *view)
{
    int index = Pp_GetComboIndex(dlg, UIA_IDC_VIEW_FONTSIZE);
    if (index >= 0) view->FontSize = Pp_IndexToFontSize(index);
    if (GetDlgItem(dlg, UIA_IDC_VIEW_COLOR))
        view->BackGroundColor = Pp_GetButtonColour(dlg, UIA_IDC_VIEW_COLOR);
    if (Pp_GetCheck(dlg, UIA_IDC_VIEW_RICHTEXT) >= 0)
        view->UseRichText = Pp_GetCheck(dlg, UIA_IDC_VIEW_RICHTEXT);
    if (Pp_GetCheck(dlg, UIA_IDC_VIEW_NO_LINEFEED) >= 0)
        view->EnableLineFeed = !Pp_GetCheck(dlg, UIA_IDC_VIEW_NO_LINEFEED);
    if (Pp_GetCheck(dlg, UIA_IDC_VIEW_NO_LAYER) >= 0)
        view->EnableLayer = !Pp_GetCheck(dlg, UIA_IDC_VIEW_NO_LAYER);
    if (Pp_GetCheck(dlg, UIA_IDC_VIEW_BY_LAYER) == 1) {
        view->UseLayer = 1;
        index = Pp_GetComboIndex(dlg, UIA_IDC_VIEW_LAYER);
        if (index >= 0) view->OpenLayer = Pp_IndexToOpenLayer(index);
    } else if (Pp_GetCheck(dlg, UIA_IDC_VIEW_BY_STYLE) == 1) {
        view->UseLayer = 0;
        // Bits the list does not show stay as they were.
        int style = view->DispStyle & ~ListBits();
        HWND list = GetDlgItem(dlg, UIA_IDC_VIEW_STYLES);
        for (int i = 0; list && i < 13; ++i)
            if (SendMessageA(list, LB_GETSEL, i, 0) > 0) style |= kDispStyleItems[i].bit;
        view->DispStyle = style;
        if (style == 0) view->OpenLayer = 10;
    }
}

void Pp_ViewEnable(HWND dlg)
{
    int noLayer = Pp_GetCheck(dlg, UIA_IDC_VIEW_NO_LAYER) == 1;
    int byLayer = Pp_GetCheck(dlg, UIA_IDC_VIEW_BY_LAYER) == 1;
    int byStyle = Pp_GetCheck(dlg, UIA_IDC_VIEW_BY_STYLE) == 1;
    Pp_Enable(dlg, UIA_IDC_VIEW_BY_LAYER, !noLayer);
    Pp_Enable(dlg, UIA_IDC_VIEW_BY_STYLE, !noLayer);
    Pp_Enable(dlg, UIA_IDC_VIEW_LAYER, !noLayer && !byStyle);
    Pp_Enable(dlg, UIA_IDC_VIEW_STYLES, !noLayer && !byLayer);
    Pp_Enable(dlg, UIA_IDC_VIEW_NO_LINEFEED, Pp_GetCheck(dlg, UIA_IDC_VIEW_RICHTEXT) != 1);
}

BOOL Pp_ViewCommand(HWND dlg, int id, int code)
{
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
    case UIA_IDC_VIEW_COLOR:
        Pp_PickButtonColour(dlg, id);
        return TRUE;
    case UIA_IDC_VIEW_BY_LAYER:
    case UIA_IDC_VIEW_BY_STYLE:
    case UIA_IDC_VIEW_RICHTEXT:
    case UIA_IDC_VIEW_NO_LAYER:
        Pp_ViewEnable(dlg);
        return TRUE;
    }
    return FALSE;
}
