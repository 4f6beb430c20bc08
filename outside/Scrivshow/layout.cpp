// The viewer's lines on the screen: fonts per charset and style, line layout, scrolling and
// painting.
#include "scrivshow.h"
#include "scrivshow_int.h"

HFONT Scv_FontFor(ScvViewer *v, const ScvAttr &a, HDC dc) {
    int bits = (a.bold ? 1 : 0) | (a.italic ? 2 : 0) | (a.underline ? 4 : 0);
    auto key = std::make_tuple(a.charset, bits, v->fontSize);
    auto it = v->fonts.find(key);
    if (it != v->fonts.end())
        return it->second;
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(v->fontSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = a.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = a.italic;
    lf.lfUnderline = a.underline;
    lf.lfCharSet = (BYTE)a.charset;
    const char *face = a.charset == 128 ? "MS Gothic" : a.charset == 129 ? "GulimChe" : a.charset == 136 ? "MingLiU" : "Arial";
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    HFONT f = CreateFontIndirectA(&lf);
    v->fonts[key] = f;
    return f;
}

void Scv_DropFonts(ScvViewer *v) {
    for (auto &f : v->fonts)
        DeleteObject(f.second);
    v->fonts.clear();
}

int Scv_PieceWidth(HDC dc, const ScvPiece &p, int bytes) {
    SIZE s = {};
    GetTextExtentPoint32A(dc, p.bytes.data(), bytes, &s);
    return s.cx;
}

void Scv_UpdateScroll(ScvViewer *v) {
    RECT rc;
    GetClientRect(v->window, &rc);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, (int)v->lines.size() - 1,
                     (UINT)((rc.bottom - rc.top) / (v->lineHeight ? v->lineHeight : 1)), v->topLine, 0};
    SetScrollInfo(v->window, SB_VERT, &si, TRUE);
}

// Lays the text out again and tells the parent the size of the content.
void Scv_Layout(ScvViewer *v) {
    v->lines.assign(1, {});
    for (ScvPiece &p : Scv_Parse(v->text.c_str(), (int)v->text.size())) {
        if (v->flags & 0x40000000) {  // no rich text: every piece in plain style, charset kept
            int charset = p.attr.charset;
            p.attr = ScvAttr();
            p.attr.charset = charset;
        }
        if (p.lineEnd && (v->flags & 0x80000000)) {  // no line feeds: lines joined by a blank
            p.lineEnd = false;
            p.bytes = " ";
        }
        if (p.lineEnd)
            v->lines.push_back({});
        else
            v->lines.back().push_back(p);
    }
    HDC dc = GetDC(v->window);
    TEXTMETRICA tm = {};
    HGDIOBJ old = SelectObject(dc, Scv_FontFor(v, ScvAttr(), dc));
    GetTextMetricsA(dc, &tm);
    v->lineHeight = tm.tmHeight + tm.tmExternalLeading + 2;
    int width = 0;
    for (auto &line : v->lines) {
        int x = 0;
        for (ScvPiece &p : line) {
            SelectObject(dc, Scv_FontFor(v, p.attr, dc));
            x += Scv_PieceWidth(dc, p, (int)p.bytes.size());
        }
        width = x > width ? x : width;
    }
    SelectObject(dc, old);
    ReleaseDC(v->window, dc);
    if (v->topLine >= (int)v->lines.size())
        v->topLine = 0;
    Scv_UpdateScroll(v);
    InvalidateRect(v->window, nullptr, TRUE);
    ScrivshowSizeNotify n = {};
    n.hdr.hwndFrom = v->window;
    n.hdr.idFrom = (UINT_PTR)GetDlgCtrlID(v->window);
    n.hdr.code = 1;
    n.width = width + 2 * SCV_MARGIN;
    n.height = (int)v->lines.size() * v->lineHeight + 2 * SCV_MARGIN;
    HWND parent = GetParent(v->window);
    if (parent)
        SendMessageA(parent, WM_NOTIFY, n.hdr.idFrom, (LPARAM)&n);
}

void Scv_DrawLines(ScvViewer *v, HDC dc, int first, int top, int bottom, int lineHeight) {
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    COLORREF oldColor = GetTextColor(dc);
    int y = top;
    for (int i = first; i < (int)v->lines.size() && y < bottom; i++, y += lineHeight) {
        int x = SCV_MARGIN;
        for (ScvPiece &p : v->lines[i]) {
            SelectObject(dc, Scv_FontFor(v, p.attr, dc));
            SetTextColor(dc, p.attr.hasColor ? p.attr.color : GetSysColor(COLOR_WINDOWTEXT));
            TextOutA(dc, x, y, p.bytes.data(), (int)p.bytes.size());
            x += Scv_PieceWidth(dc, p, (int)p.bytes.size());
        }
    }
    SetTextColor(dc, oldColor);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}

void Scv_Paint(ScvViewer *v) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(v->window, &ps);
    RECT rc;
    GetClientRect(v->window, &rc);
    HBRUSH bg = CreateSolidBrush(v->background);
    FillRect(dc, &rc, bg);
    DeleteObject(bg);
    Scv_DrawLines(v, dc, v->topLine, SCV_MARGIN, rc.bottom, v->lineHeight);
    EndPaint(v->window, &ps);
}

