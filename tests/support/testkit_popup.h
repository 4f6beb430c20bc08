// Test support for the pop-up viewer: its settings as the set-up leaves them, so that pictures of
// it show a white page of rich text with line breaks and both bars.  Header only; include as
// "support/testkit_popup.h".
#pragma once

#include <windows.h>

#include "prefstore.h"

// Saves the pop-up window's options with a viewer of cx by cy pixels.
inline bool Testkit_SavePopupView(int cx, int cy)
{
    PopupWindowOptions options = {};
    options.View.BackGroundColor = RGB(255, 255, 255);
    options.View.FontSize = 10;
    options.View.UseRichText = 1;
    options.View.EnableLineFeed = 1;
    options.ToolBar = 1;
    options.StatusBar = 1;
    PopupWindowLayout layout = {0, 0, cx, cy};
    return Prefstore_SavePopupWindow(&options, &layout) != 0;
}
