// What the tests of the search station's panes share: finding a pane of a search window in the
// program under test, delivering a lookup to it through the relay, typing into a pane's field, the
// rows of a pane's data list and pictures of a window.  Header only.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "lexidata.h"
#include "querydesk.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace panekit {

// The pane (a dialog child of the search window) that holds the control.
inline HWND PaneWith(HWND window, int control)
{
    for (HWND c = FindWindowExA(window, nullptr, "#32770", nullptr); c; c = FindWindowExA(window, c, "#32770", nullptr))
        if (GetDlgItem(c, control)) return c;
    return nullptr;
}

// A lookup request for the dictionary handed to the station as the resident program hands it.
inline LRESULT Deliver(DWORD dicId, DWORD kind, DWORD language, const char *text)
{
    VLTranParam *r = VLTranParam_Create(dicId, 1, 0, kind, nullptr, 0, 0, language, nullptr, 0, 0, text, -1);
    LRESULT result = Sharedkit_DeliverItem(1, VLM_DELIVER_ITEM, 0, r);
    VLTranParam_Destroy(r);
    return result;
}

inline void Picture(HWND window, const char *file)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Testkit_PumpUntil([] { return false; }, 400);  // let the other process paint
    EXPECT_TRUE(Testkit_SaveWindowPicture(window, file)) << file;
}

// Types the text into the pane's line edit as the user would change it.
inline void Type(HWND pane, const char *text)
{
    HWND edit = GetDlgItem(pane, UIA_IDC_PANE_EDIT);
    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)text);
    PostMessageA(pane, WM_COMMAND, MAKEWPARAM(UIA_IDC_PANE_EDIT, EN_CHANGE), (LPARAM)edit);
}

// The rows of the pane's data list, -1 without one.
inline int Rows(HWND pane)
{
    HWND list = GetDlgItem(pane, QUERYDESK_ID_LIST);
    HWND view = list ? FindWindowExA(list, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
    return view ? (int)SendMessageA(view, LVM_GETITEMCOUNT, 0, 0) : -1;
}

// The text of a window of the other process (a field's text, the viewer's plain text).
inline std::string TextOf(HWND window)
{
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

}  // namespace panekit
