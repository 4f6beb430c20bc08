// The pop-up page (template 210) over PopupWindowOptions: plain window or skin (with the skin list
// and its sample picture), tool and status bars, fixed place and size, and the view options.
#include "prefpane_int.h"

#include <stdlib.h>
#include <string.h>

#include "uiassets.h"

namespace {

const char kSkinSection[] = "SkinInfo";

// Each item of the skin list keeps its skin file's path (heap copy) as item data.
int CALLBACK AddSkin(const char *path, const char *title, LPARAM list)
{
    char *copy = _strdup(path);
    if (!copy) return 1;
    LRESULT at = SendMessageA((HWND)list, LB_ADDSTRING, 0, (LPARAM)title);
    if (at < 0)
        free(copy);
    else
        SendMessageA((HWND)list, LB_SETITEMDATA, at, (LPARAM)copy);
    return 1;
}

const char *SelectedSkin(HWND page)
{
    HWND list = GetDlgItem(page, UIA_IDC_PP_SKINS);
    LRESULT at = list ? SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
    if (at == LB_ERR) return nullptr;
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, at, 0);
    return data == LB_ERR ? nullptr : (const char *)data;
}

void SelectSkin(HWND list, const char *path)
{
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        const char *item = (const char *)SendMessageA(list, LB_GETITEMDATA, i, 0);
        if (item && path[0] && lstrcmpiA(item, path) == 0) {
            SendMessageA(list, LB_SETCURSEL, i, 0);
            return;
        }
    }
}

void FreeSkinPaths(HWND page)
{
    HWND list = GetDlgItem(page, UIA_IDC_PP_SKINS);
    int count = list ? (int)SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i) {
        free((void *)SendMessageA(list, LB_GETITEMDATA, i, 0));
        SendMessageA(list, LB_SETITEMDATA, i, 0);
    }
}

void EnableControls(HWND page)
{
    int skinned = Pp_GetCheck(page, UIA_IDC_PP_SKINNED) == 1;
    Pp_Enable(page, UIA_IDC_PP_TOOLBAR, !skinned);
    Pp_Enable(page, UIA_IDC_PP_STATUSBAR, !skinned);
    Pp_Enable(page, UIA_IDC_VIEW_COLOR, !skinned);
    Pp_Enable(page, UIA_IDC_PP_SKINS, skinned);
}

void Fill(HWND page, PpPage *p)
{
    const PopupWindowOptions *o = (const PopupWindowOptions *)p->record;
    Pp_SetCheck(page, UIA_IDC_PP_PLAIN, o->UseSkin == 0);
    Pp_SetCheck(page, UIA_IDC_PP_SKINNED, o->UseSkin != 0);
    if (HWND list = GetDlgItem(page, UIA_IDC_PP_SKINS)) {
        Prefstore_EnumSkins(AddSkin, (LPARAM)list);
        SelectSkin(list, o->SkinFolderName);
    }
    Pp_SetCheck(page, UIA_IDC_PP_TOOLBAR, o->ToolBar != 0);
    Pp_SetCheck(page, UIA_IDC_PP_STATUSBAR, o->StatusBar != 0);
    Pp_SetCheck(page, UIA_IDC_PP_FIXED, o->Fixed != 0);
    Pp_SetCheck(page, UIA_IDC_PP_FIXED_SIZE, o->FixedSize != 0);
    Pp_ViewFill(page, &o->View);
    EnableControls(page);
}

void Read(HWND page, PpPage *, void *record)
{
    PopupWindowOptions *o = (PopupWindowOptions *)record;
    if (Pp_GetCheck(page, UIA_IDC_PP_SKINNED) == 1) o->UseSkin = 1;
    else if (Pp_GetCheck(page, UIA_IDC_PP_PLAIN) == 1) o->UseSkin = 0;
    const int checks[4] = {UIA_IDC_PP_TOOLBAR, UIA_IDC_PP_STATUSBAR, UIA_IDC_PP_FIXED,
                           UIA_IDC_PP_FIXED_SIZE};
    int *fields[4] = {&o->ToolBar, &o->StatusBar, &o->Fixed, &o->FixedSize};
    for (int i = 0; i < 4; ++i)
        if (Pp_GetCheck(page, checks[i]) >= 0) *fields[i] = Pp_GetCheck(page, checks[i]);
    Pp_ViewRead(page, &o->View);
    // The chosen skin is kept while the plain window is used, so that it is there to go back to.
    if (const char *skin = SelectedSkin(page)) {
        Pp_CopyText(o->SkinFolderName, sizeof o->SkinFolderName, skin);
        if (o->UseSkin) {
            RECT colour = {};
            Prefstore_ReadSkinRect(kSkinSection, "ViewColor", &colour, skin);
            o->View.BackGroundColor = RGB(colour.left, colour.top, colour.right);
        }
    }
}

void DrawPreview(HWND page, const DRAWITEMSTRUCT *draw)
{
    FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (const char *skin = SelectedSkin(page)) Prefstore_LoadSkinSample(draw->hDC, &draw->rcItem, skin);
}

INT_PTR Message(HWND page, PpPage *, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *draw = (const DRAWITEMSTRUCT *)lParam;
        if (draw->CtlID == UIA_IDC_PP_PREVIEW) {
            DrawPreview(page, draw);
            return TRUE;
        }
        return Pp_DrawColourButton(draw);
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == UIA_IDC_PP_SKINS && code == LBN_SELCHANGE) {
            InvalidateRect(GetDlgItem(page, UIA_IDC_PP_PREVIEW), nullptr, FALSE);
            return TRUE;
        }
        if ((id == UIA_IDC_PP_PLAIN || id == UIA_IDC_PP_SKINNED) && code == BN_CLICKED) {
            HWND list = GetDlgItem(page, UIA_IDC_PP_SKINS);
            if (id == UIA_IDC_PP_SKINNED && list && SendMessageA(list, LB_GETCURSEL, 0, 0) == LB_ERR) {
                SendMessageA(list, LB_SETCURSEL, 0, 0);
                InvalidateRect(GetDlgItem(page, UIA_IDC_PP_PREVIEW), nullptr, FALSE);
            }
            EnableControls(page);
            return TRUE;
        }
        return Pp_ViewCommand(page, id, code);
    }
    case WM_DESTROY:
        FreeSkinPaths(page);
        return FALSE;
    }
    return FALSE;
}

void Load(void *record) { Prefstore_LoadPopupWindow((PopupWindowOptions *)record, nullptr); }
int Save(const void *record) { return Prefstore_SavePopupWindow((const PopupWindowOptions *)record, nullptr); }

}  // namespace

const PpPageClass kPopupPage = {
    UIA_IDD_OPT_POPUP, UIA_IDS_PAGE_POPUP, 10004, 0, 0,
    sizeof(PopupWindowOptions), kPopupFields, kPopupFieldCount, Load, Save, nullptr, nullptr,
    Fill, Read, Message, nullptr, nullptr, nullptr, nullptr,
};
