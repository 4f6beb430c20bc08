// The editor window class: per-window state, creation, the window procedure and the private
// message band.  Each message goes to an On... function; the work happens in the files of each
// concern (editing, clipboard, caret and mouse, painting, input method).
#include "scrivel_int.h"
#include <commctrl.h>
#include <windowsx.h>
#include <cstring>

HINSTANCE g_scrivelInstance = nullptr;

namespace {

const char kClassName[] = "SCRIVEL10";
const COLORREF kCustomColours[16] = {0x000000, 0x3F3F3F, 0x7F7F7F, 0xB5B5B5, 0x7F0000, 0xFF0000,
                                     0x7F7F00, 0xFFFF00, 0x007F00, 0x00FF00, 0x007F7F, 0x00FFFF,
                                     0x00007F, 0x0000FF, 0x007F7F, 0x00FFFF};

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

bool ReadOnly(const ScrivelWindow *w) { return (w->style & SCRIVEL_WS_READONLY) != 0; }

LRESULT OnNcCreate(HWND hwnd, LPARAM lp) {
    const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lp);
    const ScrivelCreateParams *cp = static_cast<const ScrivelCreateParams *>(cs->lpCreateParams);
    ScrivelWindow *w = static_cast<ScrivelWindow *>(ScrivelMem_Alloc(sizeof(ScrivelWindow)));
    if (!w) return FALSE;
    std::memset(w, 0, sizeof(*w));
    w->hwnd = hwnd;
    if (cp && cp->signature == kScrivelCreateSignature) {
        w->exStyle = cp->exStyle;
        w->style = cp->style;
        w->callback = cp->callback;
        w->menuMask = cp->menuMask;
    } else {
        w->style = static_cast<DWORD>(cs->style) & 0xFFFF;
        w->menuMask = 0xFFF;
    }
    w->leadByte = -1;
    w->imeCharset = -1;
    std::memcpy(w->custom, kCustomColours, sizeof(w->custom));
    w->cfPrivate = RegisterClipboardFormatA("VelomiraTextFormatV50");
    w->cfRtf = RegisterClipboardFormatA("Rich Text Format");
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(w));
    return TRUE;
}

void OnNcDestroy(HWND hwnd, ScrivelWindow *w) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    SetWindowLongPtrA(hwnd, 0, 0);
    ScrivelMem_Free(w);
}

LRESULT OnCreate(ScrivelWindow *w) {
    // The input method's objects are made on the first editor of each thread.
    ScrivelIme_ThreadStart();
    if (w->style & SCRIVEL_WS_COOLSB) {
        w->coolSb = ScrivelSb_Install(w->hwnd);
        if (w->coolSb) {
            ScrivelSb_SetStyle(w->hwnd, SB_BOTH, 2);
            ScrivelSb_SetSize(w->hwnd, SB_BOTH, 17, 17);
            ScrivelSb_SetMinThumb(w->hwnd, SB_BOTH, 17);
        }
    } else {
        ScrivelFlat_Init(w->hwnd, (GetWindowLongA(w->hwnd, GWL_STYLE) & WS_VSCROLL) != 0);
    }
    return 0;
}

void OnDestroy(ScrivelWindow *w) {
    if (w->dragTimer) KillTimer(w->hwnd, kScrivelDragTimer);
    ScrivelUndo_Drop(w, 0);
    ScrivelPaint_FreeBuffer(w);
    if (w->bgBrush) DeleteObject(w->bgBrush);
    w->bgBrush = nullptr;
    ScrivelDoc_Destroy(w->doc);
    w->doc = nullptr;
    if (w->coolSb) ScrivelSb_Remove(w->hwnd);
    else ScrivelFlat_Uninit(w->hwnd);
}

void OnSize(ScrivelWindow *w) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc) return;
    if (doc->wrap) {
        ScrivelUndo_Drop(w, 1);
        ScrivelPos keep[4] = {w->caret, w->sel.start, w->sel.end, w->sel.anchor};
        ScrivelLayout_WrapAll(doc, ScrivelWin_ClientWidth(w), keep, 4);
        w->caret = keep[0];
        w->sel.start = keep[1];
        w->sel.end = keep[2];
        w->sel.anchor = keep[3];
    }
    ScrivelPaint_RebuildBuffer(w);
    ScrivelWin_UpdateScrollBars(w);
    ScrivelCaret_Place(w);
    ScrivelWin_Repaint(w);
}

void OnSetFocus(ScrivelWindow *w) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    w->hasFocus = 1;
    int h = 16;
    if (doc) {
        if (doc->lineCount > 0 && w->caret.line < doc->lineCount)
            h = doc->lines[w->caret.line]->height;
        else
            h = doc->attrs[0]->ascent + doc->attrs[0]->descent;
    }
    CreateCaret(w->hwnd, nullptr, 2, h);
    ScrivelCaret_Place(w);
    ShowCaret(w->hwnd);
}

void OnKillFocus(ScrivelWindow *w) {
    w->hasFocus = 0;
    DestroyCaret();
    HWND parent = GetParent(w->hwnd);
    if (parent) SendMessageA(parent, VLM_EDIT_NOTIFY, reinterpret_cast<WPARAM>(w->hwnd), 0);
}

void OnKeyDown(ScrivelWindow *w, UINT vk) {
    int ctrl = GetKeyState(VK_CONTROL) < 0;
    int shift = GetKeyState(VK_SHIFT) < 0;
    if (ctrl) {
        switch (vk) {
        case 'A': SendMessageA(w->hwnd, SCM_SELECTALL, 0, 0); return;
        case 'C': SendMessageA(w->hwnd, SCM_COPY, 0, 0); return;
        case 'Z':
        case 'U': SendMessageA(w->hwnd, SCM_UNDO, 0, 0); return;
        case 'V': SendMessageA(w->hwnd, SCM_PASTE, 0, 0); return;
        case 'X': SendMessageA(w->hwnd, SCM_CUT, 0, 0); return;
        default: break;
        }
    } else if (vk == VK_DELETE) {
        if (!ReadOnly(w)) ScrivelEdit_Delete(w);
        return;
    }
    ScrivelCaret_Key(w, vk, shift, ctrl);
}

// A code page whose lead bytes a typed byte of the charset may be.
UINT CodePageOf(int charset) {
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    default: return 0;
    }
}

// One typed byte that is not the trail of a held lead byte.
void TypeByte(ScrivelWindow *w, unsigned ch, UINT cp) {
    if (ch == 8) {
        ScrivelEdit_Backspace(w);
    } else if (ch == '\r') {
        bool alt = GetKeyState(VK_MENU) < 0;
        if (!(w->exStyle & 0x80000000u) || alt) ScrivelEdit_LineBreak(w);
    } else if (ch == 27) {
        if (w->sel.present) {
            w->caret = w->sel.start;
            ScrivelWin_SetSelection(w, 0, nullptr, nullptr);
            ScrivelCaret_Place(w);
            ScrivelWin_Repaint(w);
        }
    } else if (ch == '\t' || ch >= 0x20) {
        if (cp && ch >= 0x80 && IsDBCSLeadByteEx(cp, static_cast<BYTE>(ch))) {
            w->leadByte = static_cast<int>(ch);
        } else {
            char bytes[2] = {static_cast<char>(ch), 0};
            ScrivelEdit_InsertChar(w, bytes, w->imeCharset);
        }
    }
}

void OnChar(ScrivelWindow *w, WPARAM wp, LPARAM lp) {
    unsigned ch = static_cast<unsigned>(wp) & 0xFF;
    if (!ReadOnly(w) && ScrivelWin_Doc(w)) {
        int charset = w->imeCharset >= 0 ? w->imeCharset : w->typing.charset;
        UINT cp = CodePageOf(charset);
        if (w->leadByte >= 0 && ch >= 0x40) {
            // The trail byte of a double-byte character typed as two keystrokes: one cell.
            char bytes[3] = {static_cast<char>(w->leadByte), static_cast<char>(ch), 0};
            w->leadByte = -1;
            ScrivelEdit_InsertChar(w, bytes, w->imeCharset);
        } else {
            w->leadByte = -1;  // a lead byte without its trail is dropped
            TypeByte(w, ch, cp);
        }
    }
    HWND parent = GetParent(w->hwnd);
    if (parent) SendMessageA(parent, VLM_EDIT_CHAR, wp, lp);
}

void OnScroll(ScrivelWindow *w, int vertical, WPARAM wp) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc) return;
    int code = LOWORD(wp);
    int thumb = HIWORD(wp);
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        SCROLLINFO si = {sizeof(si), SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
        int bar = vertical ? SB_VERT : SB_HORZ;
        int ok = w->coolSb ? ScrivelSb_GetScrollInfo(w->hwnd, bar, &si)
                           : ScrivelFlat_GetScrollInfo(w->hwnd, bar, &si);
        if (ok) thumb = code == SB_THUMBTRACK ? si.nTrackPos : si.nPos;
    }
    if (code == SB_ENDSCROLL) return;
    if (vertical) ScrivelScroll_Vertical(doc, code, thumb, ScrivelWin_ClientHeight(w));
    else ScrivelScroll_Horizontal(doc, code, thumb, ScrivelWin_ClientWidth(w));
    ScrivelWin_UpdateScrollBars(w);
    ScrivelCaret_Place(w);
    ScrivelWin_Repaint(w);
}

// Writes text and terminating zeros into buf when given; returns length + zeros.
LRESULT GiveText(const char *text, int length, int zeros, char *buf) {
    if (buf) {
        std::memcpy(buf, text, length);
        std::memset(buf + length, 0, zeros);
    }
    return length + zeros;
}

LRESULT WholeText(ScrivelWindow *w, int form, char *buf) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    char *tagged = nullptr;
    int len = 0;
    if (doc && doc->lineCount > 0) {
        ScrivelRange r;
        ScrivelDoc_WholeRange(doc, &r);
        if (ScrivelTag_Write(doc, &r, &tagged, &len) != SCRIVEL_OK) tagged = nullptr;
    }
    const char *src = tagged ? tagged : "";
    LRESULT rc = 0;
    if (form == 0) {
        rc = GiveText(src, static_cast<int>(std::strlen(src)), 2, buf);
    } else {
        int n = form == 1 ? ScrivelTag_StripAll(src, nullptr, 1) : ScrivelTag_StripToCharset(src, nullptr, 1);
        char *out = static_cast<char *>(ScrivelMem_Alloc(n + 1));
        if (out) {
            if (form == 1) ScrivelTag_StripAll(src, out, 1);
            else ScrivelTag_StripToCharset(src, out, 1);
            rc = GiveText(out, static_cast<int>(std::strlen(out)), form == 1 ? 2 : 1, buf);
            ScrivelMem_Free(out);
        }
    }
    ScrivelMem_Free(tagged);
    return rc;
}

LRESULT SelText(ScrivelWindow *w, int form, char *buf) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    ScrivelRange r;
    if (!doc || !ScrivelSel_Range(w, &r)) return 0;
    char *tagged = nullptr;
    int len = 0;
    if (ScrivelTag_Write(doc, &r, &tagged, &len) != SCRIVEL_OK) return 0;
    LRESULT rc = 0;
    if (form == 1) {
        rc = GiveText(tagged, static_cast<int>(std::strlen(tagged)), 1, buf);
    } else if (form == 3 || form == 4) {
        int n = form == 4 ? ScrivelTag_StripAll(tagged, nullptr, 1) : ScrivelTag_StripToCharset(tagged, nullptr, 1);
        char *out = static_cast<char *>(ScrivelMem_Alloc(n + 1));
        if (out) {
            if (form == 4) ScrivelTag_StripAll(tagged, out, 1);
            else ScrivelTag_StripToCharset(tagged, out, 1);
            rc = GiveText(out, static_cast<int>(std::strlen(out)), 1, buf);
            ScrivelMem_Free(out);
        }
    }
    ScrivelMem_Free(tagged);
    return rc;
}

LRESULT SetTextEx(ScrivelWindow *w, WPARAM wp, const char *text) {
    if (!text) return -1;
    int charset = static_cast<int>(wp & 0xFF);
    int step = static_cast<int>((wp >> 8) & 0xFF);
    size_t n = std::strlen(text);
    char *buf = static_cast<char *>(ScrivelMem_Alloc(n + 16));
    if (!buf) return SCRIVEL_E_MEMORY;
    int k = wsprintfA(buf, "\033F%02X", charset);
    if (step) k += wsprintfA(buf + k, "\033Z%d", step);
    std::memcpy(buf + k, text, n + 1);
    LRESULT rc = ScrivelEdit_SetText(w, buf);
    ScrivelMem_Free(buf);
    return rc;
}

// Save and load results: 0 done, else the negative code of the failure.
LRESULT Save(ScrivelWindow *w, const char *path, int format, int selectionOnly) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc) return SCRIVEL_E_EMPTY;
    if (!path) return SCRIVEL_E_CREATE;
    int fmt = format == SCRIVEL_FORMAT_RTF ? SCRIVEL_FORMAT_RTF : SCRIVEL_FORMAT_TAGGED;
    if (selectionOnly) {
        ScrivelRange r;
        if (!ScrivelSel_Range(w, &r)) return SCRIVEL_E_EMPTY;
        char name[MAX_PATH];
        int oldFormat = doc->format;
        lstrcpynA(name, doc->name, MAX_PATH);
        int rc = ScrivelDoc_SaveRange(doc, &r, path, fmt);
        // Saving a selection does not rename the document.
        lstrcpynA(doc->name, name, MAX_PATH);
        doc->format = oldFormat;
        return rc;
    }
    // A failed save-as leaves the document's name as it was.
    char name[MAX_PATH];
    int oldFormat = doc->format;
    lstrcpynA(name, doc->name, MAX_PATH);
    int rc = ScrivelDoc_SaveFile(doc, path, fmt);
    if (rc != SCRIVEL_OK) {
        lstrcpynA(doc->name, name, MAX_PATH);
        doc->format = oldFormat;
    }
    return rc;
}

LRESULT InsertFile(ScrivelWindow *w, int format, const char *path) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !path) return SCRIVEL_E_OPEN;
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return SCRIVEL_E_OPEN;
    DWORD size = GetFileSize(f, nullptr);
    int rc = SCRIVEL_OK;
    char *raw = nullptr;
    char *text = nullptr;
    if (size == INVALID_FILE_SIZE || size > 0x7FFFFFF0u) rc = SCRIVEL_E_OPEN;
    if (rc == SCRIVEL_OK) {
        raw = static_cast<char *>(ScrivelMem_Alloc(size + 1));
        if (!raw) rc = SCRIVEL_E_MEMORY;
    }
    DWORD got = 0;
    if (rc == SCRIVEL_OK && (!ReadFile(f, raw, size, &got, nullptr) || got != size)) rc = SCRIVEL_E_READ;
    CloseHandle(f);
    if (rc == SCRIVEL_OK) {
        raw[size] = 0;
        text = raw;
        if (format == SCRIVEL_FORMAT_RTF) {
            int n = ScrivelRtf_ToTagged(raw, nullptr);
            text = static_cast<char *>(ScrivelMem_Alloc(n + 4));
            if (!text) rc = SCRIVEL_E_MEMORY;
            else ScrivelRtf_ToTagged(raw, text);
        }
    }
    if (rc == SCRIVEL_OK && (w->style & SCRIVEL_WS_PLAIN)) {
        int n = ScrivelTag_StripToCharset(text, nullptr, 1);
        char *plain = static_cast<char *>(ScrivelMem_Alloc(n + 1));
        if (!plain) rc = SCRIVEL_E_MEMORY;
        else {
            ScrivelTag_StripToCharset(text, plain, 1);
            if (text != raw) ScrivelMem_Free(text);
            text = plain;
        }
    }
    if (rc == SCRIVEL_OK && !ScrivelEdit_InsertTagged(w, text, 0, SCRIVEL_UNDO_PASTE)) rc = SCRIVEL_E_MEMORY;
    if (text != raw) ScrivelMem_Free(text);
    ScrivelMem_Free(raw);
    return rc;
}

LRESULT OnPrivate(ScrivelWindow *w, UINT msg, WPARAM wp, LPARAM lp) {
    bool ro = ReadOnly(w);
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc) return 0;
    char *buf = reinterpret_cast<char *>(lp);
    switch (msg) {
    case SCM_NEWDOC:
        if (ro) return 0;
        ScrivelDoc_Clear(doc);
        lstrcpynA(doc->name, "New.txt", MAX_PATH);
        doc->format = SCRIVEL_FORMAT_TAGGED;
        ScrivelEdit_AfterDocChange(w);
        return 0;
    case SCM_LOADFILE: {
        int rc = ScrivelDoc_LoadFile(doc, reinterpret_cast<const char *>(lp),
                                     wp == SCRIVEL_FORMAT_RTF ? SCRIVEL_FORMAT_RTF : SCRIVEL_FORMAT_TAGGED);
        ScrivelEdit_AfterDocChange(w);
        return rc < 0 ? rc : 0;
    }
    case SCM_INSERTFILE: {
        if (ro) return 0;
        LRESULT rc = InsertFile(w, static_cast<int>(wp), reinterpret_cast<const char *>(lp));
        ScrivelWin_Repaint(w);
        return rc;
    }
    case SCM_SETWRAP: {
        ScrivelPos keep[4] = {w->caret, w->sel.start, w->sel.end, w->sel.anchor};
        ScrivelLayout_SetWrap(doc, lp ? 1 : 0, ScrivelWin_ClientWidth(w), keep, 4);
        w->caret = keep[0];
        w->sel.start = keep[1];
        w->sel.end = keep[2];
        w->sel.anchor = keep[3];
        ScrivelUndo_Drop(w, 1);
        ScrivelWin_UpdateScrollBars(w);
        ScrivelCaret_Place(w);
        ScrivelWin_Repaint(w);
        return 0;
    }
    case SCM_SETOUTLINEDEPTH:
        ScrivelLayout_SetDepth(doc, static_cast<int>(lp));
        // The caret goes to a shown line: the nearest shown line before it.
        if (doc->lineCount > 0 && (doc->lines[w->caret.line]->flags & SCRIVEL_LINE_HIDDEN)) {
            int l = w->caret.line;
            while (l > 0 && (doc->lines[l]->flags & SCRIVEL_LINE_HIDDEN)) --l;
            w->caret = ScrivelPos_Make(doc, l, 0);
        }
        ScrivelWin_UpdateScrollBars(w);
        ScrivelCaret_Place(w);
        ScrivelWin_Repaint(w);
        return 0;
    case SCM_GETATTRIBUTE:
        if (buf) std::memcpy(buf, &w->typing, sizeof(TextAttribute));
        return 0;
    case SCM_SETATTRIBUTE:
        if (ro) return 0;
        if (!lp) {
            ScrivelWin_ReadTyping(w, 1);
            return 0;
        }
        if (w->sel.present) ScrivelEdit_ApplyAttribute(w, reinterpret_cast<const TextAttribute *>(lp));
        std::memcpy(&w->typing, reinterpret_cast<const void *>(lp), sizeof(TextAttribute));
        w->typing.font = nullptr;
        return 0;
    case SCM_UNDO:
        if (ro) return 0;
        ScrivelUndo_Apply(w);
        return 0;
    case SCM_SAVE: return Save(w, doc->name, doc->format, 0);
    case SCM_SAVEAS: return Save(w, reinterpret_cast<const char *>(lp), static_cast<int>(wp), 0);
    case SCM_SAVESELECTION: return Save(w, reinterpret_cast<const char *>(lp), static_cast<int>(wp), 1);
    case SCM_CLEAR:
        if (ro) return 0;
        ScrivelEdit_DeleteSelection(w, SCRIVEL_UNDO_DELSEL);
        return 0;
    case SCM_CUT:
        if (ro) return 0;
        if (ScrivelClip_Copy(w)) ScrivelEdit_DeleteSelection(w, SCRIVEL_UNDO_DELSEL);
        return 0;
    case SCM_COPY: ScrivelClip_Copy(w); return 0;
    case SCM_PASTE:
        if (ro) return 0;
        ScrivelClip_Paste(w);
        return 0;
    case SCM_CANPASTE: return ScrivelClip_CanPaste(w);
    case SCM_PRINT: ScrivelPrint_Dialog(w); return 0;
    case SCM_GETPLAINTEXT: return WholeText(w, 1, buf);
    case SCM_GETCHARSETTEXT: return WholeText(w, 2, buf);
    case SCM_GETTAGGEDTEXT: return WholeText(w, 0, buf);
    case SCM_SETTAGGEDTEXT: return lp ? ScrivelEdit_SetText(w, buf) : -1;
    case SCM_SELECTALL:
        if (doc->lineCount > 0) {
            ScrivelPos a = {0, 0, 0};
            int last = doc->lineCount - 1;
            ScrivelPos b = ScrivelPos_Make(doc, last, doc->lines[last]->count);
            w->caret = b;
            w->sel.anchor = a;
            ScrivelWin_SetSelection(w, 1, &a, &b);
            ScrivelCaret_Place(w);
            ScrivelWin_Repaint(w);
        }
        return 0;
    case SCM_GETCHARSET: return w->typing.charset;
    case SCM_SETCHARSET:
        w->typing.charset = static_cast<BYTE>(lp);
        w->typing.language = ScrivelLang_FromCharset(w->typing.charset);
        return 0;
    case SCM_GETSELTEXT: return SelText(w, static_cast<int>(wp), buf);
    case SCM_SETTEXTEX: return SetTextEx(w, wp, buf);
    case SCM_PAINTTO: return ScrivelPaint_To(w, reinterpret_cast<HDC>(wp), reinterpret_cast<const RECT *>(lp));
    case SCM_INSERTTEXT:
        if (!lp) return 0;
        ScrivelEdit_InsertTagged(w, buf, 0, 0);
        ScrivelUndo_Drop(w, 1);
        return 0;
    case SCM_GETCONTENTHEIGHT: {
        int sum = 0;
        for (int i = doc->topLine; i >= 0 && i < doc->lineCount; ++i) sum += doc->lines[i]->height;
        return sum;
    }
    case SCM_SETDEFAULTFONT: {
        if (ro) return 0;
        ScrivelDoc_SetDefaultFont(doc, static_cast<int>((wp >> 16) & 0xFF), static_cast<int>(wp & 0xFF));
        for (int i = 0; i < doc->lineCount; ++i) ScrivelDoc_MeasureLine(doc, i);
        ScrivelEdit_Rewrap(w, 0, doc->lineCount - 1);
        ScrivelWin_ReadTyping(w, 0);
        ScrivelWin_Repaint(w);
        return 0;
    }
    case SCM_GETCARET:
        if (wp) *reinterpret_cast<int *>(wp) = w->caret.line;
        if (lp) *reinterpret_cast<int *>(lp) = w->caret.cell;
        return 0;
    default: return 0;
    }
}

LRESULT Dispatch(ScrivelWindow *w, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: return OnCreate(w);
    case WM_DESTROY: OnDestroy(w); return 0;
    case WM_SIZE: OnSize(w); return 0;
    case WM_SETFOCUS: OnSetFocus(w); return 0;
    case WM_KILLFOCUS: OnKillFocus(w); return 0;
    case WM_PAINT: ScrivelPaint_OnPaint(w); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && ScrivelMouse_SetCursor(w)) return TRUE;
        break;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN: OnKeyDown(w, static_cast<UINT>(wp)); return 0;
    case WM_CHAR: OnChar(w, wp, lp); return 0;
    case WM_SYSCHAR:
        if (wp == '\r' && !ReadOnly(w) && ScrivelWin_Doc(w)) {
            ScrivelEdit_LineBreak(w);
            return 0;
        }
        break;
    case WM_IME_STARTCOMPOSITION: return ScrivelIme_OnStartComposition(w, wp, lp);
    case WM_IME_COMPOSITION: return ScrivelIme_OnComposition(w, wp, lp);
    case WM_TIMER:
        if (wp == kScrivelDragTimer) {
            ScrivelMouse_Timer(w);
            return 0;
        }
        break;
    case WM_VSCROLL: OnScroll(w, 1, wp); return 0;
    case WM_HSCROLL: OnScroll(w, 0, wp); return 0;
    case WM_MOUSEMOVE: ScrivelMouse_Move(w, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONDOWN: ScrivelMouse_Down(w, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONUP: ScrivelMouse_Up(w); return 0;
    case WM_RBUTTONUP: {
        POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd, &pt);
        ScrivelMenu_Show(w, pt.x, pt.y);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        int delta = static_cast<short>(HIWORD(wp));
        for (int i = 0; i < 3; ++i) SendMessageA(hwnd, WM_VSCROLL, delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
        return 0;
    }
    case WM_CUT: return OnPrivate(w, SCM_CUT, 0, 0);
    case WM_COPY: return OnPrivate(w, SCM_COPY, 0, 0);
    case WM_PASTE: return OnPrivate(w, SCM_PASTE, 0, 0);
    case WM_CLEAR: return OnPrivate(w, SCM_CLEAR, 0, 0);
    case WM_UNDO: return OnPrivate(w, SCM_UNDO, 0, 0);
    default:
        if ((msg >= SCM_NEWDOC && msg <= SCM_SETCHARSET) || (msg >= SCM_GETSELTEXT && msg <= SCM_GETCARET))
            return OnPrivate(w, msg, wp, lp);
        break;
    }
    return ScrivelIme_DefProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        if (!OnNcCreate(hwnd, lp)) return FALSE;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    ScrivelWindow *w = ScrivelWin_Get(hwnd);
    if (!w) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        OnNcDestroy(hwnd, w);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return Dispatch(w, hwnd, msg, wp, lp);
}

}  // namespace

int ScrivelWin_Register(HINSTANCE inst) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.cbWndExtra = sizeof(void *);
    wc.hInstance = inst;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    g_scrivelInstance = inst;
    return RegisterClassExA(&wc) != 0;
}

void ScrivelWin_Unregister(HINSTANCE inst) { UnregisterClassA(kClassName, inst); }

HWND ScrivelWin_Create(const ScrivelCreateParams *cp, int x, int y, int width, int height,
                       HWND parent, HMENU menu) {
    ScrivelCreateParams copy = *cp;
    copy.signature = kScrivelCreateSignature;
    DWORD ex = cp->exStyle & 0x7FFFFFFFu;
    return CreateWindowExA(ex, kClassName, "", cp->style, x, y, width, height, parent, menu,
                           g_scrivelInstance, &copy);
}

ScrivelWindow *ScrivelWin_Get(HWND hwnd) {
    return reinterpret_cast<ScrivelWindow *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

EditorDocument *ScrivelWin_Doc(ScrivelWindow *w) {
    if (w->doc) return w->doc;
    ScrivelDocParams p = {};
    p.style = w->style;
    p.sansDefault = 1;
    p.measurer = ScrivelMeasure_NewGdi();
    if (ScrivelDoc_Create(&p, &w->doc) != SCRIVEL_OK) return nullptr;
    if (!w->bgBrush) w->bgBrush = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    if (w->doc->wrap) w->doc->wrapWidth = ScrivelWin_ClientWidth(w);
    ScrivelWin_ReadTyping(w, 0);
    return w->doc;
}

void ScrivelWin_Notify(ScrivelWindow *w, int code, void *data) {
    if (w->callback) w->callback(w->hwnd, code, data);
}

void ScrivelWin_NotifyInt(ScrivelWindow *w, int code, int value) { ScrivelWin_Notify(w, code, &value); }

int ScrivelWin_ClientWidth(ScrivelWindow *w) {
    RECT rc;
    GetClientRect(w->hwnd, &rc);
    return rc.right > 0 ? rc.right : 1;
}

int ScrivelWin_ClientHeight(ScrivelWindow *w) {
    RECT rc;
    GetClientRect(w->hwnd, &rc);
    return rc.bottom > 0 ? rc.bottom : 1;
}

int ScrivelWin_WrapWidth(ScrivelWindow *w) {
    return (w->doc && w->doc->wrap) ? ScrivelWin_ClientWidth(w) : kScrivelNoWrapWidth;
}

void ScrivelWin_UpdateScrollBars(ScrivelWindow *w) {
    EditorDocument *doc = w->doc;
    if (!doc) return;
    SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    int mn, mx, page, pos;
    ScrivelScroll_VInfo(doc, ScrivelWin_ClientHeight(w), &mn, &mx, &page, &pos);
    si.nMin = mn;
    si.nMax = mx;
    si.nPage = static_cast<UINT>(page);
    si.nPos = pos;
    if (w->coolSb) ScrivelSb_SetScrollInfo(w->hwnd, SB_VERT, &si, TRUE);
    else ScrivelFlat_SetScrollInfo(w->hwnd, SB_VERT, &si, TRUE);
    int hmax, hpage, shown;
    ScrivelScroll_HInfo(doc, ScrivelWin_ClientWidth(w), &hmax, &hpage, &shown);
    SCROLLINFO hi = {sizeof(hi), SIF_ALL, 0, shown ? hmax : 0, static_cast<UINT>(hpage), doc->hOffset, 0};
    if (w->coolSb) ScrivelSb_SetScrollInfo(w->hwnd, SB_HORZ, &hi, TRUE);
    else ScrivelFlat_SetScrollInfo(w->hwnd, SB_HORZ, &hi, TRUE);
}

void ScrivelWin_Repaint(ScrivelWindow *w) {
    InvalidateRect(w->hwnd, nullptr, FALSE);
    UpdateWindow(w->hwnd);
}

void ScrivelWin_ReadTyping(ScrivelWindow *w, int report) {
    EditorDocument *doc = w->doc;
    if (!doc) return;
    int slot = doc->lineCount > 0 ? ScrivelDoc_TypingAttr(doc, &w->caret) : 0;
    w->typing = *doc->attrs[slot];
    w->typing.font = nullptr;
    if (report) ScrivelWin_Notify(w, 0, &w->typing);
}

void ScrivelWin_SetSelection(ScrivelWindow *w, int present, const ScrivelPos *a, const ScrivelPos *b) {
    int was = w->sel.present;
    if (present && a && b && ScrivelPos_Compare(a, b) != 0) {
        bool ab = ScrivelPos_Compare(a, b) < 0;
        w->sel.start = ab ? *a : *b;
        w->sel.end = ab ? *b : *a;
        w->sel.present = 1;
    } else {
        w->sel.present = 0;
    }
    if (was != w->sel.present) ScrivelWin_NotifyInt(w, 2, w->sel.present);
}
