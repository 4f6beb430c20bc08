// The clipboard of an editor window: copy puts the selection as the editor's private block,
// RTF and Unicode (or plain) text; paste takes the first of private, Unicode, RTF and plain text.
#include "scrivel_int.h"
#include <cstring>

namespace {

struct Candidate {
    UINT codePage;
    int charset;
};
const Candidate kCandidates[] = {{1252, 0}, {932, 128}, {949, 129}, {950, 136}, {936, 134}};

bool UnicodePlatform() { return (GetVersion() & 0x80000000u) == 0; }

bool PutBlock(UINT format, const void *data, size_t size) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!h) return false;
    void *p = GlobalLock(h);
    if (!p) {
        GlobalFree(h);
        return false;
    }
    std::memcpy(p, data, size);
    GlobalUnlock(h);
    if (!SetClipboardData(format, h)) {
        GlobalFree(h);
        return false;
    }
    return true;
}

// CR LF, a lone CR and a lone LF each become one CR (a paragraph end).
void OneLineEnd(char *text) {
    char *o = text;
    for (const char *p = text; *p; ++p) {
        if (*p == '\r' && p[1] == '\n') continue;
        *o++ = *p == '\n' ? '\r' : *p;
    }
    *o = 0;
}

char *FromRtf(const char *rtf) {
    int n = ScrivelRtf_ToTagged(rtf, nullptr);
    if (n <= 0) return nullptr;
    char *out = static_cast<char *>(ScrivelMem_Alloc(n + 4));
    if (out) ScrivelRtf_ToTagged(rtf, out);
    return out;
}

char *FromPlain(const char *text) {
    int n = ScrivelTag_FromPlain(text, nullptr);
    char *out = static_cast<char *>(ScrivelMem_Alloc(n + 1));
    if (out) ScrivelTag_FromPlain(text, out);
    return out;
}

// A 0-terminated copy of a clipboard block that holds text; null when it cannot be locked.
char *CopyBlock(HANDLE h, size_t unit) {
    size_t size = GlobalSize(h);
    const BYTE *p = static_cast<const BYTE *>(GlobalLock(h));
    if (!p) return nullptr;
    char *out = static_cast<char *>(ScrivelMem_Alloc(size + unit));
    if (out) {
        std::memcpy(out, p, size);
        std::memset(out + size, 0, unit);
    }
    GlobalUnlock(h);
    return out;
}

char *ReadClipboard(ScrivelWindow *w) {
    UINT order[4] = {w->cfPrivate, CF_UNICODETEXT, w->cfRtf, CF_TEXT};
    UINT format = 0;
    for (UINT f : order)
        if (f && IsClipboardFormatAvailable(f)) {
            format = f;
            break;
        }
    if (!format) return nullptr;
    HANDLE h = GetClipboardData(format);
    if (!h) return nullptr;
    char *text = nullptr;
    if (format == w->cfPrivate) {
        size_t size = GlobalSize(h);
        const BYTE *p = static_cast<const BYTE *>(GlobalLock(h));
        if (!p) return nullptr;
        text = ScrivelClip_PrivateText(p, size);
        GlobalUnlock(h);
    } else if (format == CF_UNICODETEXT) {
        char *wide = CopyBlock(h, sizeof(WCHAR));
        if (wide) {
            int charset = 0;
            text = ScrivelClip_FromUnicode(reinterpret_cast<const WCHAR *>(wide), &charset);
            ScrivelMem_Free(wide);
        }
    } else if (format == w->cfRtf) {
        char *rtf = CopyBlock(h, 1);
        if (rtf) {
            text = FromRtf(rtf);
            ScrivelMem_Free(rtf);
        }
    } else {
        char *plain = CopyBlock(h, 1);
        if (plain) {
            OneLineEnd(plain);
            text = FromPlain(plain);
            ScrivelMem_Free(plain);
        }
    }
    return text;
}

}  // namespace

char *ScrivelClip_PrivateText(const BYTE *block, size_t size) {
    // A 4-byte length L, then L bytes of text whose last one is 0: the L - 1 text bytes are
    // taken only when the block holds them.
    if (!block || size < 5) return nullptr;
    DWORD length;
    std::memcpy(&length, block, 4);
    if (length < 1 || length > size - 4) return nullptr;
    char *out = static_cast<char *>(ScrivelMem_Alloc(length));
    if (!out) return nullptr;
    std::memcpy(out, block + 4, length - 1);
    out[length - 1] = 0;
    return out;
}

char *ScrivelClip_FromUnicode(const WCHAR *text, int *charset) {
    int wlen = lstrlenW(text);
    int best = -1;      // first code page that needs no default character
    int fewest = -1;    // else the one with the fewest '?' (the earlier on ties)
    int fewestMarks = 0x7FFFFFFF;
    for (int i = 0; i < 5 && best < 0; ++i) {
        const Candidate &c = kCandidates[i];
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(c.codePage, WC_NO_BEST_FIT_CHARS, text, wlen, nullptr, 0, nullptr,
                                    &usedDefault);
        if (n <= 0 && wlen > 0) return nullptr;  // this code page cannot convert at all
        char *buf = static_cast<char *>(ScrivelMem_Alloc(n + 1));
        if (!buf) return nullptr;
        usedDefault = FALSE;
        WideCharToMultiByte(c.codePage, WC_NO_BEST_FIT_CHARS, text, wlen, buf, n, nullptr, &usedDefault);
        int marks = 0;
        for (int k = 0; k < n; ++k) marks += buf[k] == '?';
        ScrivelMem_Free(buf);
        if (!usedDefault) best = i;
        else if (marks < fewestMarks) {
            fewestMarks = marks;
            fewest = i;
        }
    }
    int pick = best >= 0 ? best : (fewest >= 0 ? fewest : 0);
    const Candidate &c = kCandidates[pick];
    int n = WideCharToMultiByte(c.codePage, 0, text, wlen, nullptr, 0, nullptr, nullptr);
    if (n < 0) return nullptr;
    char *out = static_cast<char *>(ScrivelMem_Alloc(n + 8));
    if (!out) return nullptr;
    wsprintfA(out, "\033F%02X", c.charset);
    if (n > 0) WideCharToMultiByte(c.codePage, 0, text, wlen, out + 4, n, nullptr, nullptr);
    out[4 + n] = 0;
    OneLineEnd(out);
    *charset = c.charset;
    return out;
}

int ScrivelClip_Copy(ScrivelWindow *w) {
    EditorDocument *doc = w->doc;
    ScrivelRange r;
    if (!doc || !ScrivelSel_Range(w, &r)) return 0;
    char *tagged = nullptr, *rtf = nullptr, *plain = nullptr, *block = nullptr;
    WCHAR *wide = nullptr;
    int tlen = 0, rlen = 0, wcount = 0;
    int ok = 0;
    if (ScrivelTag_Write(doc, &r, &tagged, &tlen) == SCRIVEL_OK &&
        ScrivelRtf_Write(doc, &r, &rtf, &rlen) == SCRIVEL_OK &&
        ScrivelTag_WriteWide(doc, &r, &wide, &wcount) == SCRIVEL_OK) {
        int plen = ScrivelTag_StripAll(tagged, nullptr, 1);
        plain = static_cast<char *>(ScrivelMem_Alloc(plen + 1));
        block = static_cast<char *>(ScrivelMem_Alloc(tlen + 5));
        if (plain && block) {
            ScrivelTag_StripAll(tagged, plain, 1);
            DWORD length = static_cast<DWORD>(tlen);
            std::memcpy(block, &length, 4);
            std::memcpy(block + 4, tagged, tlen);
            block[4 + tlen] = 0;
            if (OpenClipboard(w->hwnd)) {
                EmptyClipboard();
                ok = PutBlock(w->cfPrivate, block, tlen + 5) && PutBlock(w->cfRtf, rtf, rlen);
                if (ok) {
                    ok = UnicodePlatform() ? PutBlock(CF_UNICODETEXT, wide, sizeof(WCHAR) * wcount)
                                           : PutBlock(CF_TEXT, plain, std::strlen(plain) + 1);
                }
                CloseClipboard();
            }
        }
    }
    ScrivelMem_Free(tagged);
    ScrivelMem_Free(rtf);
    ScrivelMem_Free(wide);
    ScrivelMem_Free(plain);
    ScrivelMem_Free(block);
    return ok ? 1 : 0;
}

int ScrivelClip_Paste(ScrivelWindow *w) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !OpenClipboard(w->hwnd)) return 0;
    char *text = ReadClipboard(w);
    CloseClipboard();
    if (!text || !text[0]) {
        ScrivelMem_Free(text);
        return 0;
    }
    if (w->style & SCRIVEL_WS_PLAIN) {
        int n = ScrivelTag_StripToCharset(text, nullptr, 1);
        char *plain = static_cast<char *>(ScrivelMem_Alloc(n + 1));
        if (!plain) {
            ScrivelMem_Free(text);
            return 0;
        }
        ScrivelTag_StripToCharset(text, plain, 1);
        ScrivelMem_Free(text);
        text = plain;
    }
    int rc = ScrivelEdit_InsertTagged(w, text, 0, SCRIVEL_UNDO_PASTE);
    ScrivelMem_Free(text);
    return rc;
}

int ScrivelClip_CanPaste(ScrivelWindow *w) {
    return (IsClipboardFormatAvailable(w->cfPrivate) || IsClipboardFormatAvailable(w->cfRtf) ||
            IsClipboardFormatAvailable(CF_TEXT))
               ? 1
               : 0;
}
