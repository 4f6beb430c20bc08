// What the bitmap, drawing, dialog, button and tooltip sources of Basekit share among themselves.
#ifndef BASEKIT_UI_INT_H
#define BASEKIT_UI_INT_H

#include <windows.h>

#include "basekit.h"
#include "files_int.h"   // Files_Module: the library's own module handle

#include "ui_res.h"

// Bytes per stored row of a bitmap: width x bit count rounded up to whole 32-bit words; 0 when
// the result would not fit in 31 bits.
DWORD Dib_RowBytes(LONG width, WORD bitCount);

// The colour swatch of the colour buttons: fills the swatch (grey text colour when disabled)
// and, with the arrow, the arrow part beside it.
void Draw_ColorSwatch(HDC dc, const RECT *rect, COLORREF colour, int arrow, int disabled);

// An off-screen bitmap of a control's client size, for painting a whole face without flicker.
// Draw_BufferBegin answers the memory dc to draw the face into, or null when the client is empty
// or the bitmap could not be made (draw nothing then); Draw_BufferEnd copies the part the paint
// asks for to dc, when there was a face, and frees the buffer in every case.
struct DrawBuffer {
    HDC mem;
    HBITMAP bitmap;
    HGDIOBJ old;
};
HDC Draw_BufferBegin(DrawBuffer *buffer, HDC dc, const RECT *client);
void Draw_BufferEnd(DrawBuffer *buffer, HDC dc, const PAINTSTRUCT *ps);

#endif
