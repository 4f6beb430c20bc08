// Printing the viewer's text on the device context of a print dialog: the text broken at the
// page's width, page after page, with half an inch of margin all round.  A device context that is
// not a printer's (a print preview, a memory bitmap) gets the first page drawn on it as it is.
#include "scrivshow_int.h"

namespace {

// Size of the drawing surface: a printer's page, or the bitmap selected into a memory context.
SIZE PageSize(HDC dc, bool printer) {
    SIZE size = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    BITMAP bm;
    HGDIOBJ bitmap = printer ? nullptr : GetCurrentObject(dc, OBJ_BITMAP);
    if (bitmap && GetObjectA(bitmap, sizeof bm, &bm) && bm.bmWidth > 1) {
        size.cx = bm.bmWidth;
        size.cy = bm.bmHeight;
    }
    return size;
}

}  // namespace

int Scv_Print(ScvViewer *v, const PRINTDLGA *pd) {
    if (!pd || !pd->hDC)
        return 0;
    HDC dc = pd->hDC;
    bool printer = GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER;
    SIZE page = PageSize(dc, printer);
    int margin = GetDeviceCaps(dc, LOGPIXELSY) / 2;
    if (page.cx <= 2 * margin || page.cy <= 2 * margin)
        return 0;
    DOCINFOA di = {sizeof di, "Velomira"};
    if (printer && StartDocA(dc, &di) <= 0)
        return 0;
    // Fonts are made for the device's resolution while printing.
    std::map<std::tuple<int, int, int>, HFONT> screenFonts;
    screenFonts.swap(v->fonts);
    TEXTMETRICA tm = {};
    HGDIOBJ old = SelectObject(dc, Scv_FontFor(v, ScvAttr(), dc));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    int lineHeight = tm.tmHeight + tm.tmExternalLeading;
    std::vector<ScvLine> lines = Scv_BreakLines(v, dc, v->paragraphs, page.cx - 2 * margin);
    int perPage = (page.cy - 2 * margin) / (lineHeight > 0 ? lineHeight : 1);
    if (perPage < 1)
        perPage = 1;
    int ok = 1;
    for (int first = 0; first < (int)lines.size() && ok; first += perPage) {
        if (printer && StartPage(dc) <= 0) {
            ok = 0;
            break;
        }
        Scv_DrawLines(v, dc, lines, first, margin, margin, margin + perPage * lineHeight, lineHeight);
        if (!printer)
            break;  // a preview shows the first page
        ok = EndPage(dc) > 0;
    }
    Scv_DropFonts(v);
    v->fonts.swap(screenFonts);
    if (printer) {
        if (ok)
            EndDoc(dc);
        else
            AbortDoc(dc);
    }
    return ok;
}
