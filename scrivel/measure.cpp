// Measurers: real fonts on a memory dc compatible with the screen, and a fixed-width one that
// lets the model, the wrap and the hit tests run without a display.
#include "scrivel_int.h"
#include "strandkit.h"
#include <cstring>

namespace {

struct GdiMeasurer {
    ScrivelMeasurer base;
    HFONT original;
};

int GdiMakeFont(ScrivelMeasurer *self, const TextAttribute *attr, int height, const char *face,
                HFONT *font, int *ascent, int *descent) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = height;
    // Normal text asks for the regular weight: a thin face is never what the user meant.
    lf.lfWeight = (attr->style & SCRIVEL_STYLE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (attr->style & SCRIVEL_STYLE_ITALIC) ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(attr->charset == 2 ? 0 : attr->charset);
    lf.lfPitchAndFamily = (attr->style & SCRIVEL_STYLE_SANS) ? FF_SWISS : FF_ROMAN;
    const char *f = face;
    if (!f[0]) {
        if (attr->charset == 0) f = "Arial";
        else if (attr->charset == 128) f = "MS UI Gothic";
    }
    lstrcpynA(lf.lfFaceName, f, LF_FACESIZE);
    HFONT h = CreateFontIndirectA(&lf);
    if (!h) return 0;
    HGDIOBJ old = SelectObject(self->dc, h);
    TEXTMETRICA tm;
    BOOL ok = GetTextMetricsA(self->dc, &tm);
    SelectObject(self->dc, old);
    if (!ok) {
        DeleteObject(h);
        return 0;
    }
    *font = h;
    *ascent = tm.tmAscent;
    *descent = tm.tmDescent;
    return 1;
}

void GdiFreeFont(ScrivelMeasurer *, HFONT font) {
    if (font) DeleteObject(font);
}

int GdiMeasureRun(ScrivelMeasurer *self, const TextAttribute *attr, const char *bytes, int count,
                  int *dx) {
    if (!attr->font) return 0;
    HGDIOBJ old = SelectObject(self->dc, attr->font);
    int fit = 0;
    SIZE size;
    BOOL ok = Strandkit_GetTextExtentExPointCs(self->dc, bytes, count, 0x7fffffff, &fit, dx, &size,
                                               attr->charset == 2 ? 0 : attr->charset);
    SelectObject(self->dc, old);
    if (!ok) return 0;
    // Keep the extents rising even where a conversion left a byte without its own.
    for (int i = 1; i < count; ++i)
        if (dx[i] < dx[i - 1]) dx[i] = dx[i - 1];
    return 1;
}

void GdiRelease(ScrivelMeasurer *self) {
    if (self->dc) DeleteDC(self->dc);
    ScrivelMem_Free(self);
}

struct FixedMeasurer {
    ScrivelMeasurer base;
    int unit;
    int failAfter;
    int made;
};

int FixedMakeFont(ScrivelMeasurer *self, const TextAttribute *, int height, const char *,
                  HFONT *font, int *ascent, int *descent) {
    FixedMeasurer *m = reinterpret_cast<FixedMeasurer *>(self);
    if (m->failAfter >= 0 && m->made >= m->failAfter) return 0;
    ++m->made;
    int h = height < 0 ? -height : height;
    *font = nullptr;
    *ascent = h * 4 / 5;
    *descent = h - *ascent;
    return 1;
}

void FixedFreeFont(ScrivelMeasurer *, HFONT) {}

int FixedMeasureRun(ScrivelMeasurer *self, const TextAttribute *, const char *, int count, int *dx) {
    FixedMeasurer *m = reinterpret_cast<FixedMeasurer *>(self);
    for (int i = 0; i < count; ++i) dx[i] = (i + 1) * m->unit;
    return 1;
}

void FixedRelease(ScrivelMeasurer *self) { ScrivelMem_Free(self); }

}  // namespace

ScrivelMeasurer *ScrivelMeasure_NewGdi(void) {
    GdiMeasurer *m = static_cast<GdiMeasurer *>(ScrivelMem_Alloc(sizeof(GdiMeasurer)));
    if (!m) return nullptr;
    std::memset(m, 0, sizeof(*m));
    HDC screen = GetDC(nullptr);
    m->base.dc = CreateCompatibleDC(screen);
    if (screen) ReleaseDC(nullptr, screen);
    if (!m->base.dc) {
        ScrivelMem_Free(m);
        return nullptr;
    }
    m->base.makeFont = GdiMakeFont;
    m->base.freeFont = GdiFreeFont;
    m->base.measureRun = GdiMeasureRun;
    m->base.release = GdiRelease;
    m->base.dpiX = GetDeviceCaps(m->base.dc, LOGPIXELSX);
    m->base.dpiY = GetDeviceCaps(m->base.dc, LOGPIXELSY);
    HGDIOBJ old = SelectObject(m->base.dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm;
    m->base.guiFontHeight = GetTextMetricsA(m->base.dc, &tm) ? tm.tmHeight : 12;
    SelectObject(m->base.dc, old);
    return &m->base;
}

ScrivelMeasurer *ScrivelMeasure_NewFixed(int unitWidth, int failFontAfter) {
    FixedMeasurer *m = static_cast<FixedMeasurer *>(ScrivelMem_Alloc(sizeof(FixedMeasurer)));
    if (!m) return nullptr;
    std::memset(m, 0, sizeof(*m));
    m->base.makeFont = FixedMakeFont;
    m->base.freeFont = FixedFreeFont;
    m->base.measureRun = FixedMeasureRun;
    m->base.release = FixedRelease;
    m->base.dpiX = 96;
    m->base.dpiY = 96;
    m->base.guiFontHeight = 12;
    m->unit = unitWidth;
    m->failAfter = failFontAfter;
    return &m->base;
}
