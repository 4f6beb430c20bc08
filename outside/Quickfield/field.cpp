// The field window: a Unicode superclass of the edit control with a charset of its own, the
// charset's font, text in and out in the charset's code page, Ctrl+A and the Enter notice.
#include "quickfield.h"
#include "quickfield_int.h"

#include <string>

ATOM g_quickfieldAtom;

namespace {

WNDPROC g_editProc;   // the edit control's own procedure
int g_stateOffset;    // our pointer lies in the window bytes after the edit control's own

struct Field {
    int charset;
    HFONT baseFont;  // the font last given by WM_SETFONT (not ours), null for the GUI font
    HFONT font;      // ours: the base font's size and weight in the charset's face
};

Field *State(HWND field) {
    return reinterpret_cast<Field *>(GetWindowLongPtrW(field, g_stateOffset));
}

LRESULT Edit(HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(g_editProc, field, msg, wParam, lParam);
}

// Faces of the double-byte charsets; every other charset keeps the face of the base font.
const wchar_t *CharsetFace(int charset) {
    switch (charset) {
    case SHIFTJIS_CHARSET: return L"MS UI Gothic";
    case HANGUL_CHARSET: return L"Gulim";
    case JOHAB_CHARSET: return L"Gulim";
    case GB2312_CHARSET: return L"SimSun";
    case CHINESEBIG5_CHARSET: return L"PMingLiU";
    default: return nullptr;
    }
}

// Makes the field's font for its charset from the base font and hands it to the edit control.
void ApplyFont(HWND field, Field *f, BOOL redraw) {
    LOGFONTW lf = {};
    HGDIOBJ base = f->baseFont ? (HGDIOBJ)f->baseFont : GetStockObject(DEFAULT_GUI_FONT);
    if (!GetObjectW(base, sizeof lf, &lf)) return;
    lf.lfCharSet = (BYTE)f->charset;
    if (const wchar_t *face = CharsetFace(f->charset)) lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return;
    Edit(field, WM_SETFONT, (WPARAM)font, redraw);
    if (f->font) DeleteObject(f->font);
    f->font = font;
}

bool IsCharset(WPARAM value) { return value <= 255; }

std::wstring WideText(HWND field) {
    int n = (int)Edit(field, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(n + 1, L'\0');
    n = (int)Edit(field, WM_GETTEXT, n + 1, (LPARAM)&text[0]);
    text.resize(n > 0 ? n : 0);
    return text;
}

LRESULT OnGetTextEx(HWND field, Field *f, size_t size, char *buffer) {
    std::wstring wide = WideText(field);
    UINT cp = Quickfield_CodePage(f->charset);
    int n = wide.empty() ? 0 : WideCharToMultiByte(cp, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    if (n) WideCharToMultiByte(cp, 0, wide.data(), (int)wide.size(), &bytes[0], n, nullptr, nullptr);
    if (!buffer || size == 0) return MAKELRESULT(n > 0xFFFF ? 0xFFFF : n, f->charset);
    int limit = size - 1 > 0x7FFFFFFF ? 0x7FFFFFFF : (int)(size - 1);
    int copied = Quickfield_WholeCharBytes(cp, bytes.data(), n, limit);
    memcpy(buffer, bytes.data(), copied);
    buffer[copied] = '\0';
    return MAKELRESULT(copied, f->charset);
}

LRESULT OnSetTextEx(HWND field, Field *f, WPARAM charset, const char *text) {
    if (!IsCharset(charset)) return 0;
    f->charset = (int)charset;
    ApplyFont(field, f, FALSE);
    std::wstring wide;
    int length = text ? lstrlenA(text) : 0;
    if (length) {
        UINT cp = Quickfield_CodePage(f->charset);
        int n = MultiByteToWideChar(cp, 0, text, length, nullptr, 0);
        wide.assign(n, L'\0');
        if (n) MultiByteToWideChar(cp, 0, text, length, &wide[0], n);
    }
    Edit(field, WM_SETTEXT, 0, (LPARAM)wide.c_str());
    InvalidateRect(field, nullptr, TRUE);
    return 1;
}

LRESULT OnNcCreate(HWND field, CREATESTRUCTW *cs) {
    Field *f = new (std::nothrow) Field();
    if (!f) return FALSE;
    f->charset = Quickfield_UiCharset();
    SetWindowLongPtrW(field, g_stateOffset, (LONG_PTR)f);
    // A field is one line: the edit control reads these styles once, at this message.
    CREATESTRUCTW one = *cs;
    one.style = (cs->style & ~(ES_MULTILINE | ES_WANTRETURN)) | ES_AUTOHSCROLL;
    SetWindowLongW(field, GWL_STYLE, one.style);
    return Edit(field, WM_NCCREATE, 0, (LPARAM)&one);
}

void OnNcDestroy(HWND field, Field *f) {
    SetWindowLongPtrW(field, g_stateOffset, 0);
    if (f) {
        if (f->font) DeleteObject(f->font);
        delete f;
    }
}

void NotifyReturn(HWND field) {
    HWND parent = GetParent(field);
    if (parent)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), QFN_RETURN), (LPARAM)field);
}

}  // namespace

LRESULT CALLBACK Quickfield_FieldProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) return OnNcCreate(field, (CREATESTRUCTW *)lParam);
    Field *f = State(field);
    if (!f) return Edit(field, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE: {
        LRESULT r = Edit(field, msg, wParam, lParam);
        if (r != -1) ApplyFont(field, f, FALSE);
        return r;
    }
    case WM_NCDESTROY: {
        LRESULT r = Edit(field, msg, wParam, lParam);
        OnNcDestroy(field, f);
        return r;
    }
    case WM_SETFONT:
        f->baseFont = (HFONT)wParam;
        ApplyFont(field, f, (BOOL)LOWORD(lParam));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            NotifyReturn(field);
            return 0;
        }
        break;
    case QFM_CHAR:
        return Quickfield_FieldProc(field, WM_CHAR, wParam, lParam);
    case WM_CHAR:
        if (wParam == 1) {  // Ctrl+A
            Edit(field, EM_SETSEL, 0, -1);
            return 0;
        }
        if (wParam == '\r' || wParam == '\n') return 0;  // the key press has sent the notice
        break;
    case QFM_SELECTALL:
        Edit(field, EM_SETSEL, 0, -1);
        return 1;
    case QFM_UNDO:
        return Edit(field, EM_UNDO, 0, 0) ? 1 : 0;
    case QFM_SETCHARSET: {
        if (!IsCharset(wParam)) return -1;
        int previous = f->charset;
        f->charset = (int)wParam;
        ApplyFont(field, f, TRUE);
        return previous;
    }
    case QFM_GETCHARSET:
        return f->charset;
    case QFM_GETTEXTEX:
        return OnGetTextEx(field, f, (size_t)wParam, (char *)lParam);
    case QFM_SETTEXTEX:
        return OnSetTextEx(field, f, wParam, (const char *)lParam);
    }
    return Edit(field, msg, wParam, lParam);
}

bool Quickfield_RegisterClass(HINSTANCE module) {
    if (g_quickfieldAtom) return true;
    WNDCLASSEXW edit = {sizeof edit};
    if (!GetClassInfoExW(nullptr, L"EDIT", &edit)) return false;
    g_editProc = edit.lpfnWndProc;
    g_stateOffset = edit.cbWndExtra;
    WNDCLASSEXW wc = edit;
    wc.style = edit.style | CS_GLOBALCLASS;
    wc.lpfnWndProc = Quickfield_FieldProc;
    wc.cbWndExtra = edit.cbWndExtra + (int)sizeof(LONG_PTR);
    wc.hInstance = module;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = QUICKFIELD_CLASSW;
    g_quickfieldAtom = RegisterClassExW(&wc);
    return g_quickfieldAtom != 0;
}

void Quickfield_UnregisterClass(HINSTANCE module) {
    // With a field still open the class cannot go; it then stays registered (and usable).
    if (g_quickfieldAtom && UnregisterClassW(QUICKFIELD_CLASSW, module)) g_quickfieldAtom = 0;
}

bool Quickfield_IsField(HWND window) {
    return window && g_quickfieldAtom && GetClassWord(window, GCW_ATOM) == g_quickfieldAtom;
}
