// Readers for the edit, rich edit, static, button, list box and combo box controls, and for
// windows that draw their own text.
#include <string.h>
#include "glimpser_int.h"
#include <richedit.h>

namespace {

// The text as drawn: a mnemonic mark is not shown, a doubled one shows once.
std::wstring WithoutMnemonics(const std::wstring &text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == L'&' && i + 1 < text.size()) i++;
        shown += text[i];
    }
    return shown;
}

bool InRows(POINT pt, const RECT &r) { return pt.y >= r.top && pt.y < r.bottom; }

// A line whose box and text start are known; the character is found by measuring.
void SetLine(GlimpseLine *line, const std::wstring &text, const RECT &rect, int left) {
    line->text = text;
    line->rect = rect;
    line->textLeft = left;
    line->hit = -1;
    line->found = !text.empty();
}

// Twips of a character format to the logical font the control draws with.
void FontFromFormat(const CHARFORMAT2W &cf, LOGFONTA *lf) {
    memset(lf, 0, sizeof(*lf));
    HDC dc = GetDC(nullptr);
    lf->lfHeight = -MulDiv(cf.yHeight, GetDeviceCaps(dc, LOGPIXELSY), 1440);
    ReleaseDC(nullptr, dc);
    lf->lfWeight = (cf.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf->lfItalic = (cf.dwEffects & CFE_ITALIC) ? 1 : 0;
    lf->lfUnderline = (cf.dwEffects & CFE_UNDERLINE) ? 1 : 0;
    lf->lfCharSet = cf.bCharSet;
    lf->lfPitchAndFamily = cf.bPitchAndFamily;
    WideCharToMultiByte(CP_ACP, 0, cf.szFaceName, -1, lf->lfFaceName, LF_FACESIZE - 1, nullptr,
                        nullptr);
}

// The line of an edit-like control: the text between two indexes, laid out from the position of
// its first character.
void EditLine(HWND w, POINT pt, const std::wstring &text, int start, int length, POINT origin,
              int height, GlimpseLine *line) {
    if (start < 0 || start > (int)text.size()) return;
    if (length < 0 || start + length > (int)text.size()) length = (int)text.size() - start;
    std::wstring piece = text.substr(start, length);
    RECT rect = {origin.x, origin.y, origin.x + Glimpse_TextWidth(&line->font, piece),
                 origin.y + height};
    if (!InRows(pt, rect)) return;
    SetLine(line, piece, rect, origin.x);
}

}  // namespace

void Glimpse_ReadEdit(HWND w, POINT pt, GlimpseLine *line) {
    if (GetWindowLongA(w, GWL_STYLE) & ES_PASSWORD) return;  // a password is never read out
    Glimpse_WindowFont(w, &line->font);
    LRESULT at = Glimpse_Send(w, EM_CHARFROMPOS, 0, MAKELPARAM(pt.x, pt.y));
    if (at == -1) return;
    int lineNo = HIWORD(at);
    int start = (int)Glimpse_Send(w, EM_LINEINDEX, lineNo, 0);
    if (start < 0) return;
    int length = (int)Glimpse_Send(w, EM_LINELENGTH, start, 0);
    std::wstring text = Glimpse_WindowText(w);
    LRESULT pos = Glimpse_Send(w, EM_POSFROMCHAR, start, 0);
    POINT origin;
    if (pos == -1 || text.empty()) {
        RECT fmt;
        Glimpse_Send(w, EM_GETRECT, 0, (LPARAM)&fmt);
        origin.x = fmt.left;
        origin.y = fmt.top;
    } else {
        origin.x = (short)LOWORD(pos);
        origin.y = (short)HIWORD(pos);
    }
    EditLine(w, pt, text, start, length, origin, Glimpse_LineHeight(&line->font), line);
}

void Glimpse_ReadRichEdit(HWND w, POINT pt, GlimpseLine *line) {
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, 8192)) return;
    // 0: POINTL; 16: CHARFORMAT2W; 512: TEXTRANGEW; 1024: text
    POINTL p = {pt.x, pt.y};
    CHARFORMAT2W cf = {};
    cf.cbSize = sizeof(cf);
    Remote_Write(&rb, 0, &p, sizeof(p));
    Remote_Write(&rb, 16, &cf, sizeof(cf));
    int index = (int)Remote_SendW(&rb, w, EM_CHARFROMPOS, 0, (LPARAM)rb.base);
    Remote_SendW(&rb, w, EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)(rb.base + 16));
    if (Remote_Read(&rb, 16, &cf, sizeof(cf)) && cf.szFaceName[0])
        FontFromFormat(cf, &line->font);
    else
        Glimpse_WindowFont(w, &line->font);
    int lineNo = (int)Glimpse_SendW(w, EM_EXLINEFROMCHAR, 0, index);
    int start = (int)Glimpse_SendW(w, EM_LINEINDEX, lineNo, 0);
    int length = (int)Glimpse_SendW(w, EM_LINELENGTH, start, 0);
    if (start >= 0 && length >= 0 && length < 65536) {
        // An ANSI rich edit fills the range in the code page of the system, a Unicode one in
        // UTF-16; the range structure is the same.
        bool wide = IsWindowUnicode(w) != FALSE;
        TEXTRANGEW range;
        range.chrg.cpMin = start;
        range.chrg.cpMax = start + length;
        range.lpstrText = (LPWSTR)(rb.base + 1024);
        int room = (int)((rb.size - 1024) / sizeof(wchar_t)) - 1;
        if (length > room / 2) range.chrg.cpMax = start + room / 2;
        Remote_Write(&rb, 512, &range, sizeof(range));
        int got = (int)Remote_SendW(&rb, w, EM_GETTEXTRANGE, 0, (LPARAM)(rb.base + 512));
        if (got < 0 || got > room) got = 0;
        std::wstring piece;
        if (wide) {
            piece.assign(got, L'\0');
            if (got > 0) Remote_Read(&rb, 1024, &piece[0], got * sizeof(wchar_t));
        } else if (got > 0) {
            std::string bytes(got, '\0');
            Remote_Read(&rb, 1024, &bytes[0], got);
            int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), got, nullptr, 0);
            piece.assign(n > 0 ? n : 0, L'\0');
            if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), got, &piece[0], n);
        }
        while (!piece.empty() && (piece.back() == L'\r' || piece.back() == L'\n')) piece.pop_back();
        p.x = p.y = 0;
        Remote_Write(&rb, 0, &p, sizeof(p));
        Remote_SendW(&rb, w, EM_POSFROMCHAR, (WPARAM)rb.base, start);
        Remote_Read(&rb, 0, &p, sizeof(p));
        POINT origin = {p.x, p.y};
        EditLine(w, pt, piece, 0, (int)piece.size(), origin, Glimpse_LineHeight(&line->font),
                 line);
    }
    Remote_Close(&rb);
}

void Glimpse_ReadStatic(HWND w, POINT pt, GlimpseLine *line) {
    LONG style = GetWindowLongA(w, GWL_STYLE);
    LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
        type != SS_LEFTNOWORDWRAP)
        return;
    Glimpse_WindowFont(w, &line->font);
    std::wstring text = Glimpse_WindowText(w);
    if (!(style & SS_NOPREFIX)) text = WithoutMnemonics(text);
    RECT client;
    GetClientRect(w, &client);
    int width = client.right - client.left;
    enum { kMaxLines = 256 };
    static std::wstring lines[kMaxLines];
    int count = 0;
    bool wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    Glimpse_WrapLines(&line->font, text, width, wrap, lines, kMaxLines, &count);
    int height = Glimpse_LineHeight(&line->font);
    int row = height > 0 ? pt.y / height : -1;
    if (row < 0 || row >= count) return;
    int lineWidth = Glimpse_TextWidth(&line->font, lines[row]);
    int left = 0;
    if (type == SS_CENTER) left = (width - lineWidth) / 2;
    if (type == SS_RIGHT) left = width - lineWidth;
    RECT rect = {left, row * height, left + lineWidth, (row + 1) * height};
    SetLine(line, lines[row], rect, left);
}

void Glimpse_ReadButton(HWND w, POINT pt, GlimpseLine *line) {
    LONG type = GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_OWNERDRAW || type == BS_GROUPBOX) return;
    Glimpse_WindowFont(w, &line->font);
    std::wstring shown = WithoutMnemonics(Glimpse_WindowText(w));
    RECT client;
    GetClientRect(w, &client);
    int width = Glimpse_TextWidth(&line->font, shown);
    int height = Glimpse_LineHeight(&line->font);
    int top = (client.bottom - height) / 2;
    int left;
    bool boxed = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                 type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
    if (boxed)
        left = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    else
        left = (client.right - width) / 2;
    RECT rect = {left, top, left + width, top + height};
    if (!InRows(pt, rect)) return;
    SetLine(line, shown, rect, left);
}

void Glimpse_ReadListBox(HWND w, POINT pt, GlimpseLine *line) {
    LONG style = GetWindowLongA(w, GWL_STYLE);
    if ((style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) && !(style & LBS_HASSTRINGS)) return;
    LRESULT at = Glimpse_Send(w, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    if (HIWORD(at)) return;
    int item = LOWORD(at);
    RECT rect;
    if (Glimpse_Send(w, LB_GETITEMRECT, item, (LPARAM)&rect) == LB_ERR) return;
    if (!InRows(pt, rect)) return;
    // The item is read inside the list's own process into a block of fixed size: a text that
    // changed since its length was asked never lands in a buffer of ours that is too small.
    enum { kItemChars = 65535 };
    int n = (int)Glimpse_SendW(w, LB_GETTEXTLEN, item, 0);
    if (n <= 0 || n > kItemChars) return;
    std::wstring text(kItemChars + 1, L'\0');
    LRESULT got = 0;
    if (!Remote_SendInside(w, LB_GETTEXT, item, &text[0], text.size() * sizeof(wchar_t), &got) ||
        got <= 0 || got > kItemChars)
        return;
    text.resize((size_t)got);
    Glimpse_WindowFont(w, &line->font);
    SetLine(line, text, rect, rect.left + 1);
}

void Glimpse_ReadComboBox(HWND w, POINT pt, GlimpseLine *line) {
    // A drop-down combo box has an edit child that the capture reaches itself; here is the list
    // form, whose selected item is drawn inside the box left of the button.
    // The information is asked inside the combo box's own process.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, sizeof(info))) return;
    bool got = Remote_Write(&rb, 0, &info, sizeof(info)) &&
               Remote_Send(&rb, w, CB_GETCOMBOBOXINFO, 0, (LPARAM)rb.base) &&
               Remote_Read(&rb, 0, &info, sizeof(info));
    Remote_Close(&rb);
    if (!got) return;
    if (info.hwndItem && info.hwndItem != w) {
        POINT sp = pt;
        MapWindowPoints(w, info.hwndItem, &sp, 1);
        Glimpse_ReadEdit(info.hwndItem, sp, line);
        if (line->found) MapWindowPoints(info.hwndItem, w, (POINT *)&line->rect, 2);
        line->textLeft = line->rect.left;
        return;
    }
    Glimpse_WindowFont(w, &line->font);
    std::wstring text = Glimpse_WindowText(w);
    RECT item = info.rcItem;
    if (!PtInRect(&item, pt)) return;
    int height = Glimpse_LineHeight(&line->font);
    int top = item.top + (item.bottom - item.top - height) / 2;
    int left = item.left + 1;
    RECT rect = {left, top, left + Glimpse_TextWidth(&line->font, text), top + height};
    SetLine(line, text, rect, left);
}

// A window that draws its own text: what it draws under the point while it repaints, else its
// window text, in its font, drawn from the left of the client area in rows of the font's height.
void Glimpse_ReadOther(HWND w, POINT pt, GlimpseLine *line) {
    POINT screen = pt;
    ClientToScreen(w, &screen);
    if (Glimpse_SpyRead(w, screen, line)) return;
    std::wstring text = Glimpse_WindowText(w);
    if (text.empty()) return;
    Glimpse_WindowFont(w, &line->font);
    RECT client;
    GetClientRect(w, &client);
    enum { kMaxLines = 64 };
    static std::wstring lines[kMaxLines];
    int count = 0;
    Glimpse_WrapLines(&line->font, text, client.right, false, lines, kMaxLines, &count);
    int height = Glimpse_LineHeight(&line->font);
    int row = height > 0 ? pt.y / height : -1;
    if (row < 0 || row >= count) return;
    RECT rect = {0, row * height, Glimpse_TextWidth(&line->font, lines[row]), (row + 1) * height};
    SetLine(line, lines[row], rect, 0);
}
