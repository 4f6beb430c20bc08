// Printing the viewer's text on the device context of a print dialog.
#include "scrivshow_int.h"

int Scv_Print(ScvViewer *v, const PRINTDLGA *pd) {
    if (!pd || !pd->hDC)
        return 0;
    HDC dc = pd->hDC;
    DOCINFOA di = {sizeof di, "Velomira"};
    if (StartDocA(dc, &di) <= 0)
        return 0;
    StartPage(dc);
    // Fonts are made for the printer's resolution while printing.
    std::map<std::tuple<int, int, int>, HFONT> screenFonts;
    screenFonts.swap(v->fonts);
    TEXTMETRICA tm = {};
    HGDIOBJ old = SelectObject(dc, Scv_FontFor(v, ScvAttr(), dc));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    int margin = GetDeviceCaps(dc, LOGPIXELSY) / 2;
    Scv_DrawLines(v, dc, 0, margin, GetDeviceCaps(dc, VERTRES) - margin, tm.tmHeight + tm.tmExternalLeading);
    Scv_DropFonts(v);
    v->fonts.swap(screenFonts);
    EndPage(dc);
    EndDoc(dc);
    return 1;
}

