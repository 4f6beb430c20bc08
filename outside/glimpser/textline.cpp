// Measuring text, finding the character under the point, and turning the line found into the
// answer record.
#include <string.h>
#include <algorithm>
#include <vector>
#include "glimpser_int.h"

namespace {

struct FontDC {
    HDC dc;
    HFONT font;
    HGDIOBJ old;
    explicit FontDC(const LOGFONTA *lf) {
        dc = CreateCompatibleDC(nullptr);
        font = CreateFontIndirectA(lf);
        old = (dc && font) ? SelectObject(dc, font) : nullptr;
    }
    ~FontDC() {
        if (old) SelectObject(dc, old);
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
    }
};

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000 || c == 0xA0;
}

UINT CodePageOfCharset(UINT charset) {
    CHARSETINFO info;
    if (charset != DEFAULT_CHARSET &&
        TranslateCharsetInfo((DWORD *)(UINT_PTR)charset, &info, TCI_SRCCHARSET))
        return info.ciACP;
    return GetACP();
}

UINT CharsetOfCodePage(UINT cp) {
    CHARSETINFO info;
    if (TranslateCharsetInfo((DWORD *)(UINT_PTR)cp, &info, TCI_SRCCODEPAGE)) return info.ciCharset;
    return ANSI_CHARSET;
}

int Bytes(UINT cp, const wchar_t *s, int n) {
    return n ? WideCharToMultiByte(cp, 0, s, n, nullptr, 0, nullptr, nullptr) : 0;
}

// Shortens the line around the hit until it fits the record's text field with its terminator:
// characters go from the end, or from the start while the hit lies in the second half.  Each
// character's bytes are counted once; the whole is converted again only to confirm.
void FitLine(UINT cp, std::wstring *text, int *hit) {
    const int limit = CAPTURE_TEXT_BYTES - 1;
    int size = (int)text->size();
    if (Bytes(cp, text->data(), size) <= limit) return;
    std::vector<int> bytes(size);
    long total = 0;
    for (int i = 0; i < size; i++) total += bytes[i] = Bytes(cp, text->data() + i, 1);
    int from = 0, to = size;  // the characters kept
    while (to > from && total > limit) {
        if (*hit >= 0 && *hit - from > (to - from) / 2)
            total -= bytes[from++];
        else
            total -= bytes[--to];
    }
    *text = text->substr(from, to - from);
    if (*hit >= 0) *hit -= from;
    while (!text->empty() && Bytes(cp, text->data(), (int)text->size()) > limit) text->pop_back();
}

}  // namespace

int Glimpse_TextWidth(const LOGFONTA *font, const std::wstring &text) {
    FontDC fd(font);
    SIZE size = {0, 0};
    if (!text.empty()) GetTextExtentPoint32W(fd.dc, text.data(), (int)text.size(), &size);
    return size.cx;
}

int Glimpse_LineHeight(const LOGFONTA *font) {
    FontDC fd(font);
    TEXTMETRICW tm = {};
    GetTextMetricsW(fd.dc, &tm);
    return tm.tmHeight > 0 ? tm.tmHeight : 16;
}

int Glimpse_CharAt(const LOGFONTA *font, const std::wstring &text, int left, int x) {
    if (text.empty() || x < left) return -1;
    FontDC fd(font);
    int n = (int)text.size();
    int *ends = new int[n];
    int fit = 0;
    SIZE size;
    int result = -1;
    if (GetTextExtentExPointW(fd.dc, text.data(), n, INT_MAX / 2, &fit, ends, &size)) {
        for (int i = 0; i < n; i++) {
            if (x < left + ends[i]) {
                result = i;
                break;
            }
        }
    }
    delete[] ends;
    return result;
}

void Glimpse_WrapLines(const LOGFONTA *font, const std::wstring &text, int width, bool wrap,
                       std::wstring *lines, int maxLines, int *count) {
    *count = 0;
    FontDC fd(font);
    std::vector<int> ends;
    size_t start = 0;
    while (start <= text.size() && *count < maxLines) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring para = text.substr(start, end - start);
        if (!para.empty() && para.back() == L'\r') para.pop_back();
        // Break the paragraph at spaces where it is wider than the box: the paragraph is measured
        // once, and each line's end found by a binary search over the running widths (a long
        // text without blanks, such as a path, costs no more than one with them).
        size_t n = para.size(), from = 0;
        ends.assign(n, 0);
        int fit = 0;
        SIZE size = {0, 0};
        bool measured = wrap && n > 0 &&
                        GetTextExtentExPointW(fd.dc, para.data(), (int)n, INT_MAX / 2, &fit,
                                              ends.data(), &size);
        while (measured && *count < maxLines && from < n) {
            int base = from ? ends[from - 1] : 0;
            if (ends[n - 1] - base <= width) break;
            // Characters from..fits-1 fit the box; a break at the last space that lets the line
            // fit is preferred, else the line is cut inside the word (one character at least).
            size_t fits = std::upper_bound(ends.begin() + from, ends.end(), base + width) -
                          ends.begin();
            size_t space = para.rfind(L' ', std::min(fits, n - 1));
            size_t cut = (space != std::wstring::npos && space > from) ? space
                                                                       : std::max(fits, from + 1);
            lines[(*count)++] = para.substr(from, cut - from);
            while (cut < n && para[cut] == L' ') cut++;
            from = cut;
        }
        if (*count < maxLines) lines[(*count)++] = para.substr(std::min(from, n));
        start = end + 1;
    }
}

LRESULT Glimpse_Send(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, GLIMPSE_PROBE_MS, &answer)) return 0;
    return (LRESULT)answer;
}

LRESULT Glimpse_SendW(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, GLIMPSE_PROBE_MS, &answer)) return 0;
    return (LRESULT)answer;
}

std::wstring Glimpse_WindowText(HWND w) {
    int n = (int)Glimpse_SendW(w, WM_GETTEXTLENGTH, 0, 0);
    if (n <= 0) return std::wstring();
    if (n > 1 << 20) n = 1 << 20;
    std::wstring text(n + 1, L'\0');
    int got = (int)Glimpse_SendW(w, WM_GETTEXT, n + 1, (LPARAM)&text[0]);
    if (got < 0 || got > n) got = 0;
    text.resize(got);
    return text;
}

void Glimpse_WindowFont(HWND w, LOGFONTA *out) {
    if (Remote_WindowFont(w, out)) return;
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(*out), out);
}

void Glimpse_Capture(HWND w, POINT screen, CaptureRecord *rec) {
    GlimpseLine line;
    line.rect = RECT{0, 0, 0, 0};
    line.textLeft = 0;
    line.hit = -1;
    memset(&line.font, 0, sizeof(line.font));
    line.found = false;
    POINT pt = screen;
    ScreenToClient(w, &pt);

    char cls[128] = "";
    GetClassNameA(w, cls, sizeof(cls));
    struct Reader {
        const char *cls;
        void (*read)(HWND, POINT, GlimpseLine *);
    };
    static const Reader kReaders[] = {
        {"Edit", Glimpse_ReadEdit},           {"RichEdit", Glimpse_ReadRichEdit},
        {"RichEdit20A", Glimpse_ReadRichEdit}, {"RichEdit20W", Glimpse_ReadRichEdit},
        {"RichEdit50A", Glimpse_ReadRichEdit}, {"RichEdit50W", Glimpse_ReadRichEdit},
        {"Static", Glimpse_ReadStatic},       {"Button", Glimpse_ReadButton},
        {"ListBox", Glimpse_ReadListBox},     {"ComboLBox", Glimpse_ReadListBox},
        {"ComboBox", Glimpse_ReadComboBox},   {"SysListView32", Glimpse_ReadListView},
        {"SysTreeView32", Glimpse_ReadTreeView}, {"SysHeader32", Glimpse_ReadHeader},
        {"SysTabControl32", Glimpse_ReadTab},
    };
    void (*read)(HWND, POINT, GlimpseLine *) = Glimpse_ReadOther;
    char real[128] = "";
    RealGetWindowClassA(w, real, sizeof(real));
    for (const Reader &r : kReaders) {
        if (lstrcmpiA(cls, r.cls) == 0 || lstrcmpiA(real, r.cls) == 0) {
            read = r.read;
            break;
        }
    }
    read(w, pt, &line);
    if (!line.found || line.text.empty()) return;

    int hit = line.hit >= 0 ? line.hit : Glimpse_CharAt(&line.font, line.text, line.textLeft, pt.x);
    if (hit >= (int)line.text.size()) hit = -1;
    if (hit >= 0 && IsBlank(line.text[hit])) hit = -1;

    UINT charset = line.font.lfCharSet;
    UINT cp = CodePageOfCharset(charset);
    if (charset == DEFAULT_CHARSET) charset = CharsetOfCodePage(cp);
    FitLine(cp, &line.text, &hit);
    int n = WideCharToMultiByte(cp, 0, line.text.data(), (int)line.text.size(), rec->text,
                                CAPTURE_TEXT_BYTES - 1, nullptr, nullptr);
    if (n <= 0) return;
    rec->text[n] = 0;
    rec->length = (uint32_t)line.text.size();
    rec->wordPos = hit >= 0 ? (uint16_t)hit : (uint16_t)CAPTURE_NO_WORD;
    rec->font = line.font;
    rec->charset = (uint16_t)charset;
    RECT r = line.rect;
    MapWindowPoints(w, nullptr, (POINT *)&r, 2);
    rec->lineRect = r;
}
