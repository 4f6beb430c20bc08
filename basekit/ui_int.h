// What the bitmap, drawing, dialog, button and tooltip sources of Basekit share among themselves.
#ifndef BASEKIT_UI_INT_H
#define BASEKIT_UI_INT_H

#include <windows.h>

#include "basekit.h"

// Resource ids of the library's own dialogs, icons and controls (basekit_ui.rc).
#define IDD_YESNO 102
#define IDD_COLOR_PALETTE 107
#define IDD_COLOR_PICKER 120
#define IDD_MESSAGE 121
#define IDI_DROP_ARROW 104
#define IDC_MSG_PICTURE 1001
#define IDC_MSG_TEXT 1002
#define IDC_PICK_SEPARATOR 1016
#define IDC_PICK_OTHER 1026
#define IDC_PICK_FIRST16 1054

// Bytes per stored row of a bitmap: width x bit count rounded up to whole 32-bit words; 0 when
// the result would not fit in 31 bits.
DWORD Dib_RowBytes(LONG width, WORD bitCount);

// The colour swatch of the colour buttons: fills the swatch (grey text colour when disabled)
// and, with the arrow, the arrow part beside it.
void Draw_ColorSwatch(HDC dc, const RECT *rect, COLORREF colour, int arrow, int disabled);

#endif
