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

namespace {

// Widest line of the pop-up form, in average characters of the viewer's base font.
const int kGrowFormChars = 60;

int TextWidth(HDC dc, const unsigned char *p, size_t n) {
    SIZE s = {};
    GetTextExtentPoint32A(dc, (const char *)p, (int)n, &s);
    return s.cx;
}

// Adds bytes in the attribute to the line, joined to its last piece when that has the same one.
void Append(ScvLine &line, const ScvAttr &attr, const unsigned char *p, size_t n) {
    if (n == 0)
        return;
    if (line.empty() || !(line.back().attr == attr)) {
        line.push_back(ScvPiece());
        line.back().attr = attr;
    }
    line.back().bytes.append((const char *)p, n);
}

}  // namespace

std::vector<ScvLine> Scv_Paragraphs(const ScvViewer *v) {
    std::vector<ScvLine> paragraphs(1);
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
            paragraphs.push_back({});
        else
            paragraphs.back().push_back(p);
    }
    return paragraphs;
}

std::vector<ScvLine> Scv_BreakLines(ScvViewer *v, HDC dc, const std::vector<ScvLine> &paragraphs, int width) {
    std::vector<ScvLine> lines;
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (const ScvLine &paragraph : paragraphs) {
        lines.push_back({});
        int x = 0;
        for (const ScvPiece &p : paragraph) {
            SelectObject(dc, Scv_FontFor(v, p.attr, dc));
            int charset = p.attr.charset;
            const unsigned char *c = (const unsigned char *)p.bytes.data(), *end = c + p.bytes.size();
            while (c < end) {
                // One unit: a double-byte character, or a run of single-byte non-blanks; then the
                // blanks behind it, which may hang past the line's end.
                const unsigned char *word = c;
                if (Scv_CharLen(charset, word, end) == 2)
                    word += 2;
                else
                    while (word < end && *word != ' ' && Scv_CharLen(charset, word, end) == 1)
                        word++;
                const unsigned char *unit = word;
                while (unit < end && *unit == ' ')
                    unit++;
                int w = TextWidth(dc, c, word - c);
                if (width > 0 && x > 0 && x + w > width) {
                    lines.push_back({});
                    x = 0;
                }
                if (width > 0 && x == 0 && w > width) {
                    // A word wider than the line: as many characters as fit, at least one.
                    const unsigned char *q = c + Scv_CharLen(charset, c, end);
                    while (q < word) {
                        int k = Scv_CharLen(charset, q, end);
                        if (TextWidth(dc, c, q + k - c) > width)
                            break;
                        q += k;
                    }
                    Append(lines.back(), p.attr, c, q - c);
                    x = TextWidth(dc, c, q - c);
                    c = q;
                    if (c < word) {
                        lines.push_back({});
                        x = 0;
                    }
                    continue;
                }
                Append(lines.back(), p.attr, c, unit - c);
                x += TextWidth(dc, c, unit - c);
                c = unit;
            }
        }
    }
    SelectObject(dc, old);
    return lines;
}

void Scv_UpdateScroll(ScvViewer *v) {
    RECT rc;
    GetClientRect(v->window, &rc);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, (int)v->lines.size() - 1,
                     (UINT)((rc.bottom - rc.top) / (v->lineHeight ? v->lineHeight : 1)), v->topLine, 0};
    SetScrollInfo(v->window, SB_VERT, &si, TRUE);
}

void Scv_Layout(ScvViewer *v, bool notify) {
    if (v->laying)
        return;
    v->laying = true;
    v->paragraphs = Scv_Paragraphs(v);
    HDC dc = GetDC(v->window);
    TEXTMETRICA tm = {};
    HGDIOBJ old = SelectObject(dc, Scv_FontFor(v, ScvAttr(), dc));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    v->lineHeight = tm.tmHeight + tm.tmExternalLeading + 2;
    // The pop-up form breaks its lines at a width of its own and grows to them; every other viewer
    // breaks them at its client width (a window too narrow for a few characters breaks nothing).
    // The scroll bar coming or going changes that width: the lines are broken again for it.
    for (int round = 0; round < 3; round++) {
        RECT rc;
        GetClientRect(v->window, &rc);
        int wrap = (v->option & 1) ? kGrowFormChars * tm.tmAveCharWidth : rc.right - 2 * SCV_MARGIN;
        if (wrap < 4 * tm.tmAveCharWidth)
            wrap = 0;
        v->lines = Scv_BreakLines(v, dc, v->paragraphs, wrap);
        v->layoutWidth = rc.right;
        if (v->topLine >= (int)v->lines.size())
            v->topLine = 0;
        Scv_UpdateScroll(v);
        GetClientRect(v->window, &rc);
        if ((v->option & 1) || rc.right == v->layoutWidth)
            break;
    }
    int width = 0;
    for (ScvLine &line : v->lines) {
        int x = 0;
        for (size_t i = 0; i < line.size(); i++) {
            const std::string &bytes = line[i].bytes;
            size_t n = bytes.size();
            while (i + 1 == line.size() && n > 0 && bytes[n - 1] == ' ')
                n--;  // blanks hanging at the line's end take no room
            SelectObject(dc, Scv_FontFor(v, line[i].attr, dc));
            x += Scv_PieceWidth(dc, line[i], (int)n);
        }
        width = x > width ? x : width;
    }
    SelectObject(dc, old);
    ReleaseDC(v->window, dc);
    InvalidateRect(v->window, nullptr, TRUE);
    v->laying = false;
    if (!notify)
        return;
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

void Scv_DrawLines(ScvViewer *v, HDC dc, const std::vector<ScvLine> &lines, int first, int left, int top,
                   int bottom, int lineHeight) {
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    COLORREF oldColor = GetTextColor(dc);
    int y = top;
    for (int i = first; i < (int)lines.size() && y < bottom; i++, y += lineHeight) {
        int x = left;
        for (const ScvPiece &p : lines[i]) {
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
    Scv_DrawLines(v, dc, v->lines, v->topLine, SCV_MARGIN, SCV_MARGIN, rc.bottom, v->lineHeight);
    EndPaint(v->window, &ps);
}

