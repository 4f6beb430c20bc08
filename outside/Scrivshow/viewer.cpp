// The viewer control (class SCRIVSHOW10): shows tagged entry text line by line in the fonts of its
// charsets, scrolls, copies, prints, and answers the resident program's capture questions.
#include <stdio.h>
#include <string.h>
#include "lexidata.h"
#include "scrivshow.h"
#include "scrivshow_int.h"

namespace {

const char kClass[] = "SCRIVSHOW10";

ScvViewer *StateOf(HWND w) { return (ScvViewer *)GetWindowLongPtrA(w, GWLP_USERDATA); }

std::string PlainText(ScvViewer *v, bool crlf) {
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

int OnCopy(ScvViewer *v) {
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

int SetText(ScvViewer *v, const std::string &text) {
    v->text = text;
    v->topLine = 0;
    Scv_Layout(v, true);
    return 1;
}

// Text sent to the viewer (the send-text dialog's flags: 1 added to the text shown, 2 a line break
// after it, 4 the end of the text brought into view).
int SendText(ScvViewer *v, const char *text, DWORD flags) {
    std::string s = (flags & 1) ? v->text : std::string();
    if (!(flags & 1))
        v->language = 0;  // no entry's language any more: the text's own counts
    s += text;
    if (flags & 2)
        s += '\r';
    int top = v->topLine;
    SetText(v, s);
    if (flags & 1)
        v->topLine = top < (int)v->lines.size() ? top : 0;
    if (flags & 4) {
        RECT rc;
        GetClientRect(v->window, &rc);
        int shown = (rc.bottom - SCV_MARGIN) / (v->lineHeight ? v->lineHeight : 1);
        int last = (int)v->lines.size() - 1;
        if (last >= 0 && v->lines[last].empty())
            last--;  // the empty line after a final line break
        v->topLine = last - shown + 1 > 0 ? last - shown + 1 : 0;
    }
    Scv_UpdateScroll(v);
    InvalidateRect(v->window, nullptr, TRUE);
    return 1;
}

// The first charset of the text other than the Western one, else 0.
int FirstCharset(const ScvViewer *v) {
    for (const ScvLine &line : v->paragraphs)
        for (const ScvPiece &p : line)
            if (p.attr.charset)
                return p.attr.charset;
    return 0;
}

// Opens the language manager with the text shown; with no text it opens nothing and answers
// whether the manager could be opened (the state of a tool button that sends this message).
int OpenLanguageManager(ScvViewer *v) {
    typedef HWND(WINAPI * OpenProc)(DWORD, const char *, DWORD);
    typedef int(WINAPI * AvailableProc)(DWORD);
    HMODULE lk = LoadLibraryA("Linguakeeper.dll");  // kept: the manager window lives in it
    OpenProc open = lk ? (OpenProc)GetProcAddress(lk, MAKEINTRESOURCEA(108)) : nullptr;
    AvailableProc available = lk ? (AvailableProc)GetProcAddress(lk, MAKEINTRESOURCEA(116)) : nullptr;
    std::string plain = PlainText(v, false);
    if (!open || !available)
        return 0;
    if (plain.find_first_not_of(" \t\r\n") == std::string::npos)
        return available(0) != 0;
    return open(Scv_LanguageOf(v, FirstCharset(v)), plain.c_str(), 0) != nullptr;
}

LRESULT CALLBACK ViewerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    ScvViewer *v = StateOf(w);
    if (msg == WM_NCCREATE) {
        v = new ScvViewer;
        v->window = w;
        SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)v);
        return DefWindowProcA(w, msg, wParam, lParam);
    }
    if (!v)
        return DefWindowProcA(w, msg, wParam, lParam);
    switch (msg) {
    case WM_NCDESTROY:
        Scv_DropFonts(v);
        delete v;
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        return DefWindowProcA(w, msg, wParam, lParam);
    case WM_PAINT: Scv_Paint(v); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
        // Lines follow a new width (the pop-up form keeps its own); a new height only scrolls.
        if (!(v->option & 1) && LOWORD(lParam) != v->layoutWidth)
            Scv_Layout(v, false);
        else
            Scv_UpdateScroll(v);
        return 0;
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
        Scv_UpdateScroll(v);
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
        v->language = 0;
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
            Scv_DropFonts(v);
            Scv_Layout(v, true);
        }
        return 1;
    case SCV_SETDISPSTYLE: v->dispStyle = (int)wParam; v->layer = (int)lParam; return 1;
    case SCV_SETLAYER: v->layer = (int)wParam; return 1;
    case SCV_SETOPTION:
        v->option = (DWORD)wParam;
        Scv_Layout(v, false);
        return 1;
    case SCV_SETFLAGS:
        v->flags = (DWORD)wParam;
        Scv_Layout(v, true);
        return 1;
    case SCV_PRINT: return Scv_Print(v, (const PRINTDLGA *)lParam);
    case SCV_CHECK1: return v->text.empty() || PlainText(v, false).empty();
    case SCV_CHECK2: return v->selecting;
    case SCV_CAPTURE: return Scv_Capture(v, (short)LOWORD(lParam), (short)HIWORD(lParam));
    case SCV_SETTEXT:
        if (!wParam)
            return 0;
        return SendText(v, (const char *)wParam, (DWORD)lParam);
    case SCV_LANGMANAGER: return OpenLanguageManager(v);
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

WORD Scv_LanguageOf(const ScvViewer *v, int charset) {
    if (v->language)
        return v->language;
    switch (charset) {
    case 128: return 0x0400;
    case 129: return 0x0500;
    case 136: return 0x0300;
    case 0: return GetACP() == 932 ? 0x0400 : 0x0100;
    default: return 0;
    }
}

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
    ScvViewer *v = StateOf(viewer);
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
static int FillChoiceMenu(HMENU menu, const ScvViewer *v, int current, int first, int last,
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
    ScvViewer *v = viewer ? StateOf(viewer) : nullptr;
    return FillChoiceMenu(menu, v, v ? v->fontSize : 0, 8, 16, "%d pt", 0, SCRIVSHOW_CMD_FONTSIZE);
}

extern "C" int WINAPI Scrivshow_InitMenuB(HMENU menu, HWND viewer) {
    if (!menu)
        return 0;
    ScvViewer *v = viewer ? StateOf(viewer) : nullptr;
    return FillChoiceMenu(menu, v, v ? v->dispStyle : 0, 0, 3, "%d", 1, SCRIVSHOW_CMD_STYLE);
}
