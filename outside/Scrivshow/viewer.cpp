// The viewer control (class SCRIVSHOW10): shows tagged entry text line by line in the fonts of its
// charsets, scrolls, copies, prints, and answers the resident program's capture questions.
#include <stdio.h>
#include <string.h>
#include <map>
#include <tuple>
#include "lexidata.h"
#include "scrivshow.h"
#include "scrivshow_int.h"

namespace {

const char kClass[] = "SCRIVSHOW10";
const int kMargin = 4;
const DWORD kCaptureSize = 2184;

struct Viewer {
    HWND window = nullptr;
    std::string text;                         // the tagged text shown
    std::vector<std::vector<ScvPiece>> lines;  // its lines
    std::map<std::tuple<int, int, int>, HFONT> fonts;  // (charset, bold|italic|underline bits, size)
    int fontSize = 10;
    int lineHeight = 16;
    int topLine = 0;
    COLORREF background = GetSysColor(COLOR_WINDOW);
    DWORD flags = 0, option = 0;
    int dispStyle = 0, layer = 0;
    WORD language = 0;
    bool selecting = false;
};

Viewer *StateOf(HWND w) { return (Viewer *)GetWindowLongPtrA(w, GWLP_USERDATA); }

HFONT FontFor(Viewer *v, const ScvAttr &a, HDC dc) {
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

void DropFonts(Viewer *v) {
    for (auto &f : v->fonts)
        DeleteObject(f.second);
    v->fonts.clear();
}

int PieceWidth(HDC dc, const ScvPiece &p, int bytes) {
    SIZE s = {};
    GetTextExtentPoint32A(dc, p.bytes.data(), bytes, &s);
    return s.cx;
}

void UpdateScroll(Viewer *v) {
    RECT rc;
    GetClientRect(v->window, &rc);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, (int)v->lines.size() - 1,
                     (UINT)((rc.bottom - rc.top) / (v->lineHeight ? v->lineHeight : 1)), v->topLine, 0};
    SetScrollInfo(v->window, SB_VERT, &si, TRUE);
}

// Lays the text out again and tells the parent the size of the content.
void Layout(Viewer *v) {
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
    HGDIOBJ old = SelectObject(dc, FontFor(v, ScvAttr(), dc));
    GetTextMetricsA(dc, &tm);
    v->lineHeight = tm.tmHeight + tm.tmExternalLeading + 2;
    int width = 0;
    for (auto &line : v->lines) {
        int x = 0;
        for (ScvPiece &p : line) {
            SelectObject(dc, FontFor(v, p.attr, dc));
            x += PieceWidth(dc, p, (int)p.bytes.size());
        }
        width = x > width ? x : width;
    }
    SelectObject(dc, old);
    ReleaseDC(v->window, dc);
    if (v->topLine >= (int)v->lines.size())
        v->topLine = 0;
    UpdateScroll(v);
    InvalidateRect(v->window, nullptr, TRUE);
    ScrivshowSizeNotify n = {};
    n.hdr.hwndFrom = v->window;
    n.hdr.idFrom = (UINT_PTR)GetDlgCtrlID(v->window);
    n.hdr.code = 1;
    n.width = width + 2 * kMargin;
    n.height = (int)v->lines.size() * v->lineHeight + 2 * kMargin;
    HWND parent = GetParent(v->window);
    if (parent)
        SendMessageA(parent, WM_NOTIFY, n.hdr.idFrom, (LPARAM)&n);
}

void DrawLines(Viewer *v, HDC dc, int first, int top, int bottom, int lineHeight) {
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    COLORREF oldColor = GetTextColor(dc);
    int y = top;
    for (int i = first; i < (int)v->lines.size() && y < bottom; i++, y += lineHeight) {
        int x = kMargin;
        for (ScvPiece &p : v->lines[i]) {
            SelectObject(dc, FontFor(v, p.attr, dc));
            SetTextColor(dc, p.attr.hasColor ? p.attr.color : GetSysColor(COLOR_WINDOWTEXT));
            TextOutA(dc, x, y, p.bytes.data(), (int)p.bytes.size());
            x += PieceWidth(dc, p, (int)p.bytes.size());
        }
    }
    SetTextColor(dc, oldColor);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}

void OnPaint(Viewer *v) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(v->window, &ps);
    RECT rc;
    GetClientRect(v->window, &rc);
    HBRUSH bg = CreateSolidBrush(v->background);
    FillRect(dc, &rc, bg);
    DeleteObject(bg);
    DrawLines(v, dc, v->topLine, kMargin, rc.bottom, v->lineHeight);
    EndPaint(v->window, &ps);
}

std::string PlainText(Viewer *v, bool crlf) {
    std::string plain = Scv_Plain(Scv_Parse(v->text.c_str(), (int)v->text.size()), -1), out;
    if (!crlf)
        return plain;
    for (char c : plain) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

int OnCopy(Viewer *v) {
    std::string s = PlainText(v, true);
    if (!OpenClipboard(v->window))
        return 0;
    EmptyClipboard();
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
    int ok = 0;
    if (g) {
        memcpy(GlobalLock(g), s.c_str(), s.size() + 1);
        GlobalUnlock(g);
        ok = SetClipboardData(CF_TEXT, g) != nullptr;
        if (!ok)
            GlobalFree(g);
    }
    CloseClipboard();
    return ok;
}

int OnPrint(Viewer *v, const PRINTDLGA *pd) {
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
    HGDIOBJ old = SelectObject(dc, FontFor(v, ScvAttr(), dc));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    int margin = GetDeviceCaps(dc, LOGPIXELSY) / 2;
    DrawLines(v, dc, 0, margin, GetDeviceCaps(dc, VERTRES) - margin, tm.tmHeight + tm.tmExternalLeading);
    DropFonts(v);
    v->fonts.swap(screenFonts);
    EndPage(dc);
    EndDoc(dc);
    return 1;
}

// The capture record of the text under a client point, written into the resident program's mapping.
int OnCapture(Viewer *v, int x, int y) {
    int index = v->topLine + (y - kMargin) / (v->lineHeight ? v->lineHeight : 1);
    if (y < kMargin || index < 0 || index >= (int)v->lines.size() || v->lines[index].empty())
        return 0;
    const std::vector<ScvPiece> &line = v->lines[index];
    HDC dc = GetDC(v->window);
    int hit = -1, hitChar = -1, px = kMargin;
    for (size_t i = 0; i < line.size() && hit < 0; i++) {
        const ScvPiece &p = line[i];
        HGDIOBJ old = SelectObject(dc, FontFor(v, p.attr, dc));
        const unsigned char *b = (const unsigned char *)p.bytes.data(), *end = b + p.bytes.size();
        int chars = 0;
        for (const unsigned char *c = b; c < end; chars++) {
            int n = Scv_CharLen(p.attr.charset, c, end);
            int right = px + PieceWidth(dc, p, (int)(c - b) + n);
            if (x < right && x >= px) {
                hit = (int)i;
                hitChar = chars;
                break;
            }
            c += n;
        }
        px += PieceWidth(dc, p, (int)p.bytes.size());
        SelectObject(dc, old);
    }
    if (hit < 0) {
        ReleaseDC(v->window, dc);
        return 0;
    }
    // The run of the hit charset around the point: neighbouring pieces of the same charset.
    int charset = line[hit].attr.charset;
    size_t from = hit, to = hit;
    while (from > 0 && line[from - 1].attr.charset == charset)
        from--;
    while (to + 1 < line.size() && line[to + 1].attr.charset == charset)
        to++;
    std::string run;
    int wordPos = hitChar, chars = 0;
    for (size_t i = from; i <= to; i++) {
        if ((int)i == hit)
            wordPos = chars + hitChar;
        const unsigned char *b = (const unsigned char *)line[i].bytes.data(), *end = b + line[i].bytes.size();
        for (const unsigned char *c = b; c < end; c += Scv_CharLen(charset, c, end))
            chars++;
        run += line[i].bytes;
    }
    LOGFONTA lf = {};
    GetObjectA(FontFor(v, line[hit].attr, dc), sizeof lf, &lf);
    ReleaseDC(v->window, dc);

    HANDLE map = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "SCRIVSHOWMAPPEDFILE");
    if (!map)
        return 0;
    BYTE *rec = (BYTE *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, kCaptureSize);
    int written = 0;
    if (rec) {
        memset(rec, 0, kCaptureSize);
        DWORD size = kCaptureSize, want = 31, window = HandleToULong(v->window), length = (DWORD)chars;
        memcpy(rec, &size, 4);
        memcpy(rec + 4, &want, 4);
        memcpy(rec + 24, &window, 4);
        POINT pt = {x, y};
        ClientToScreen(v->window, &pt);
        memcpy(rec + 28, &pt.x, 4);
        memcpy(rec + 32, &pt.y, 4);
        if (run.size() > 2047) {  // keep whole characters within the record's text field
            const unsigned char *b = (const unsigned char *)run.data(), *end = b + 2047, *c = b;
            while (c < end && c + Scv_CharLen(charset, c, (const unsigned char *)run.data() + run.size()) <= end)
                c += Scv_CharLen(charset, c, (const unsigned char *)run.data() + run.size());
            run.resize(c - b);
            length = 0;
            for (c = b; c < b + run.size(); c += Scv_CharLen(charset, c, b + run.size()))
                length++;
        }
        memcpy(rec + 36, run.data(), run.size());
        memcpy(rec + 2084, &length, 4);
        memcpy(rec + 2088, &lf, sizeof lf);
        WORD cs = (WORD)charset, pos = (WORD)(wordPos < (int)length ? wordPos : 0xFFFF);
        memcpy(rec + 2148, &cs, 2);
        memcpy(rec + 2150, &pos, 2);
        RECT lr = {kMargin, kMargin + (index - v->topLine) * v->lineHeight, px,
                   kMargin + (index - v->topLine + 1) * v->lineHeight};
        MapWindowPoints(v->window, nullptr, (POINT *)&lr, 2);
        memcpy(rec + 2152, &lr, sizeof lr);
        UnmapViewOfFile(rec);
        written = 1;
    }
    CloseHandle(map);
    return written;
}

// The entry text of a data item when the dictionary engine runs in this process (its text read
// into a data-library text pair); empty otherwise.
std::string EngineEntryText(const BYTE *item) {
    typedef void *(WINAPI * CreateProc)(DWORD, DWORD, const void *, DWORD, const void *);
    typedef void(WINAPI * DestroyProc)(void *);
    typedef BOOL(WINAPI * ReadProc)(const void *, void *);
    HMODULE engine = GetModuleHandleA("Lexicore.dll"), data = GetModuleHandleA("Lexidata.dll");
    if (!engine || !data)
        return std::string();
    ReadProc read = (ReadProc)GetProcAddress(engine, MAKEINTRESOURCEA(102));
    CreateProc create = (CreateProc)GetProcAddress(data, MAKEINTRESOURCEA(2));
    DestroyProc destroy = (DestroyProc)GetProcAddress(data, MAKEINTRESOURCEA(3));
    if (!read || !create || !destroy)
        return std::string();
    std::string text;
    void *pair = create(0, 0, nullptr, 0, nullptr);
    if (pair && read(item, pair)) {
        const VLData *texts = (const VLData *)pair;
        if (texts->data1 && texts->len1)
            text.assign(texts->data1, strnlen(texts->data1, texts->len1));
    }
    if (pair)
        destroy(pair);
    return text;
}

// A data item as tagged text: the headword in bold, then its entry text when the engine can read
// it, else its other strings.
std::string EntryText(const BYTE *block, WORD *language) {
    const VLDataItem *item = (const VLDataItem *)block;
    if (item->head.type != VLITEM_DATA || item->head.size < sizeof(VLDataItem))
        return std::string();
    *language = item->language;
    char tag[8] = "";
    if (item->charset)
        snprintf(tag, sizeof tag, "\x1b" "F%02X", item->charset);
    const char *const strings[4] = {item->headword, item->second, item->third, item->fourth};
    const LONG lengths[4] = {item->headwordLen, item->secondLen, item->thirdLen, item->fourthLen};
    const char *head = nullptr;
    std::string s, body = EngineEntryText(block);
    for (int i = 0; i < (body.empty() ? 4 : 1); i++) {
        const char *p = strings[i];
        int len = (int)lengths[i];
        if (i == 0)
            head = p;
        if (!p || len <= 0 || (i > 0 && p == head))
            continue;
        if (!s.empty())
            s += '\r';
        s += tag;
        if (i == 0)
            s += "\x1b" "B1";
        s.append(p, strnlen(p, len));
        if (i == 0)
            s += "\x1b" "B0";
    }
    if (!body.empty())  // untagged text is in the dictionary's charset
        s += "\r" + (body[0] == '\x1b' ? std::string() : std::string(tag)) + body;
    return s;
}

int SetText(Viewer *v, const std::string &text) {
    v->text = text;
    v->topLine = 0;
    Layout(v);
    return 1;
}

LRESULT CALLBACK ViewerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    Viewer *v = StateOf(w);
    if (msg == WM_NCCREATE) {
        v = new Viewer;
        v->window = w;
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)v);
        return DefWindowProcA(w, msg, wParam, lParam);
    }
    if (!v)
        return DefWindowProcA(w, msg, wParam, lParam);
    switch (msg) {
    case WM_NCDESTROY:
        DropFonts(v);
        delete v;
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        return DefWindowProcA(w, msg, wParam, lParam);
    case WM_PAINT: OnPaint(v); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: UpdateScroll(v); return 0;
    case WM_VSCROLL: {
        int top = v->topLine;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: top--; break;
        case SB_LINEDOWN: top++; break;
        case SB_PAGEUP: top -= 5; break;
        case SB_PAGEDOWN: top += 5; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: top = HIWORD(wParam); break;
        case SB_TOP: top = 0; break;
        }
        if (top >= (int)v->lines.size())
            top = (int)v->lines.size() - 1;
        v->topLine = top < 0 ? 0 : top;
        UpdateScroll(v);
        InvalidateRect(w, nullptr, TRUE);
        return 0;
    }
    case WM_MOUSEWHEEL:
        SendMessageA(w, WM_VSCROLL, (short)HIWORD(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        return 0;
    case WM_LBUTTONDOWN: v->selecting = true; SetCapture(w); SetFocus(w); return 0;
    case WM_LBUTTONUP: v->selecting = false; ReleaseCapture(); return 0;
    case WM_CAPTURECHANGED: v->selecting = false; return 0;
    case WM_COPY: return OnCopy(v);
    case WM_GETTEXTLENGTH: return (LRESULT)PlainText(v, true).size();
    case WM_GETTEXT:
        if (!lParam || !wParam)
            return 0;
        Scv_Deliver(PlainText(v, true), (char *)lParam, (int)wParam);
        return (LRESULT)strlen((char *)lParam);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case SCV_SETCOLORS:
        if (wParam == 2 && lParam)
            v->background = ((const DWORD *)lParam)[1];
        InvalidateRect(w, nullptr, TRUE);
        return 1;
    case SCV_SETCHARSETTEXT: {
        std::string s;
        if (wParam && lParam) {
            char tag[8];
            snprintf(tag, sizeof tag, "\x1b" "F%02X", (unsigned)(wParam & 0xFF));
            s = tag;
        }
        if (lParam)
            s += (const char *)lParam;
        return SetText(v, s);
    }
    case SCV_SHOWENTRY:
        if (!lParam)
            return SetText(v, std::string());
        return SetText(v, EntryText((const BYTE *)lParam, &v->language));
    case SCV_SETFONTSIZE:
        if (wParam >= 6 && wParam <= 72) {
            v->fontSize = (int)wParam;
            DropFonts(v);
            Layout(v);
        }
        return 1;
    case SCV_SETDISPSTYLE: v->dispStyle = (int)wParam; v->layer = (int)lParam; return 1;
    case SCV_SETLAYER: v->layer = (int)wParam; return 1;
    case SCV_SETOPTION: v->option = (DWORD)wParam; return 1;
    case SCV_SETFLAGS:
        v->flags = (DWORD)wParam;
        Layout(v);
        return 1;
    case SCV_PRINT: return OnPrint(v, (const PRINTDLGA *)lParam);
    case SCV_CHECK1: return v->text.empty() || PlainText(v, false).empty();
    case SCV_CHECK2: return v->selecting;
    case SCV_CAPTURE: return OnCapture(v, (short)LOWORD(lParam), (short)HIWORD(lParam));
    case SCV_SETTEXT:
        if (!wParam)
            return 0;
        return SetText(v, (const char *)wParam);
    case SCV_LANGMANAGER: {
        typedef HWND(WINAPI * OpenProc)(DWORD, const char *, DWORD);
        HMODULE lk = LoadLibraryA("Linguakeeper.dll");  // kept: the manager window lives in it
        OpenProc open = lk ? (OpenProc)GetProcAddress(lk, MAKEINTRESOURCEA(108)) : nullptr;
        WORD language = v->language ? v->language : (GetACP() == 932 ? 0x0400 : 0x0100);
        return open && open(language, PlainText(v, false).c_str(), 0) != nullptr;
    }
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

HINSTANCE ModuleOfThis() {
    HMODULE m = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ViewerProc, &m);
    return m;
}

}  // namespace

extern "C" HWND WINAPI Scrivshow_CreateViewer(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                                              HWND parent, UINT id) {
    HINSTANCE module = ModuleOfThis();
    WNDCLASSA wc = {};
    if (!GetClassInfoA(module, kClass, &wc)) {
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS | CS_GLOBALCLASS;
        wc.lpfnWndProc = ViewerProc;
        wc.hInstance = module;
        wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_IBEAM);
        wc.lpszClassName = kClass;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return nullptr;
    }
    HMENU menu = (style & WS_CHILD) ? (HMENU)(UINT_PTR)id : nullptr;
    return CreateWindowExA(exStyle, kClass, "", style, x, y, width, height, parent, menu, module, nullptr);
}

extern "C" int WINAPI Scrivshow_HandleCommand(HWND viewer, UINT command) {
    if (!viewer || !StateOf(viewer))
        return 0;
    Viewer *v = StateOf(viewer);
    if (command == 5202) {
        OnCopy(v);
        return 1;
    }
    if (command >= SCRIVSHOW_CMD_FONTSIZE + 8 && command <= SCRIVSHOW_CMD_FONTSIZE + 16) {
        SendMessageA(viewer, SCV_SETFONTSIZE, command - SCRIVSHOW_CMD_FONTSIZE, 0);
        return 1;
    }
    if (command >= SCRIVSHOW_CMD_STYLE && command <= SCRIVSHOW_CMD_STYLE + 3) {
        SendMessageA(viewer, SCV_SETDISPSTYLE, command - SCRIVSHOW_CMD_STYLE, v->layer);
        return 1;
    }
    return 0;
}

static void ClearMenu(HMENU menu) {
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
}

// Fills menu afresh with one item per value from first to last: command base + value, labelled
// with format applied to value + shift, the viewer's current value checked, and every item greyed
// when there is no viewer.  Answers the number of items.
static int FillChoiceMenu(HMENU menu, const Viewer *v, int current, int first, int last,
                          const char *format, int shift, UINT base) {
    ClearMenu(menu);
    for (int value = first; value <= last; value++) {
        char label[16];
        snprintf(label, sizeof label, format, value + shift);
        UINT flags = MF_STRING | (v && current == value ? MF_CHECKED : 0) | (v ? 0 : MF_GRAYED);
        AppendMenuA(menu, flags, base + value, label);
    }
    return GetMenuItemCount(menu);
}

extern "C" int WINAPI Scrivshow_InitMenuA(HMENU menu, HWND viewer) {
    if (!menu)
        return 0;
    Viewer *v = viewer ? StateOf(viewer) : nullptr;
    return FillChoiceMenu(menu, v, v ? v->fontSize : 0, 8, 16, "%d pt", 0, SCRIVSHOW_CMD_FONTSIZE);
}

extern "C" int WINAPI Scrivshow_InitMenuB(HMENU menu, HWND viewer) {
    if (!menu)
        return 0;
    Viewer *v = viewer ? StateOf(viewer) : nullptr;
    return FillChoiceMenu(menu, v, v ? v->dispStyle : 0, 0, 3, "%d", 1, SCRIVSHOW_CMD_STYLE);
}
