// Writing escape-tagged text as a small RTF document whose font table holds one font per charset
// of the text, and the plain-text forms that tag the text first.
#include "draw_int.h"
#include "strandkit_int.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

const int kMaxFontEntries = 32;

// Appends to out when given, counts either way.
struct Writer {
    char *out;
    int count = 0;
    void Put(const char *s, int n)
    {
        if (out) {
            memcpy(out + count, s, n);
        }
        count += n;
    }
    void Put(const char *s) { Put(s, int(strlen(s))); }
    void Format(const char *format, ...) __attribute__((format(printf, 2, 3)))
    {
        char buf[128];
        va_list args;
        va_start(args, format);
        int n = vsnprintf(buf, sizeof(buf), format, args);
        va_end(args);
        if (n > 0) {
            Put(buf, n < int(sizeof(buf)) ? n : int(sizeof(buf)) - 1);
        }
    }
};

// The charsets of the text's tags in order of first appearance (charset 0 first when the text
// does not start with a tag), at most kMaxFontEntries.
int CollectCharsets(const char *text, UINT charsets[kMaxFontEntries])
{
    int n = 0;
    auto add = [&](UINT cs) {
        for (int i = 0; i < n; ++i) {
            if (charsets[i] == cs) {
                return;
            }
        }
        if (n < kMaxFontEntries) {
            charsets[n++] = cs;
        }
    };
    if (StrandkitInt_TagLength(text) != 4) {
        add(0);
    }
    for (const char *p = text; *p;) {
        int tag = StrandkitInt_TagLength(p);
        if (tag == 4) {
            add(StrandkitInt_HexByte(p + 2));
        }
        p += tag ? tag : 1;
    }
    return n;
}

// Index of a charset's font; a charset beyond the table's 32 entries uses font 0.
int FontIndex(const UINT *charsets, int n, UINT charset)
{
    for (int i = 0; i < n; ++i) {
        if (charsets[i] == charset) {
            return i;
        }
    }
    return 0;
}

int TextToRtf(int fontSize, const char *text, char *out, COLORREF colour, bool withColour)
{
    if (!text) {
        text = "";
    }
    Writer w = {out};
    w.Format("{\\rtf1\\ansi\\ansicpg%u\\deff0\\deftab720", GetACP());

    UINT charsets[kMaxFontEntries];
    int n = CollectCharsets(text, charsets);
    w.Put("\n{\\fonttbl");
    for (int i = 0; i < n; ++i) {
        char face[LF_FACESIZE] = "Arial";
        BYTE family = FF_SWISS;
        if (charsets[i] != 0 && charsets[i] != 238) {
            DrawInt_CharsetFace(charsets[i], face, &family);
        }
        w.Format("\n{\\f%d\\%s\\fcharset%u %s;}", i, family == FF_SWISS ? "fswiss" : "froman",
                 charsets[i], face);
    }
    w.Put("\n}");
    if (withColour) {
        w.Format("\n{\\colortbl ;\\red%d\\green%d\\blue%d;}", GetRValue(colour),
                 GetGValue(colour), GetBValue(colour));
    }
    w.Format("\n\\deflang%d\\horzdoc\\pard%s\\nowwrap\\nooverflow\\fs24 \n",
             GetSystemDefaultLangID(), withColour ? "\\cf1" : "");
    if (fontSize > 0) {
        w.Format("\\fs%d ", fontSize);
    }

    UINT charset = 0;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    while (*p) {
        int tag = StrandkitInt_TagLength(reinterpret_cast<const char *>(p));
        if (tag == 4) {
            charset = StrandkitInt_HexByte(reinterpret_cast<const char *>(p) + 2);
            w.Format("\\f%d ", FontIndex(charsets, n, charset));
            p += 4;
        } else if (*p == STRANDKIT_ESC) {
            p += tag ? tag : 1;   // the editor's font tag and a lone ESC have no RTF form
        } else if (Strandkit_IsLeadByte(charset, *p) && p[1]) {
            w.Format("\\'%02x\\'%02x", p[0], p[1]);
            p += 2;
        } else if (*p == '\r' || *p == '\n') {
            // Every line end (CR, LF or CR LF) is one paragraph end.
            w.Put("\n\\par ");
            p += (p[0] == '\r' && p[1] == '\n') ? 2 : 1;
        } else if (*p == '\t') {
            w.Put("\\tab ");
            ++p;
        } else if (*p >= 0x80) {
            w.Format("\\'%02x", *p);
            ++p;
        } else if (*p == '\\' || *p == '{' || *p == '}') {
            char esc[2] = {'\\', char(*p)};
            w.Put(esc, 2);
            ++p;
        } else {
            w.Put(reinterpret_cast<const char *>(p), 1);
            ++p;
        }
    }
    w.Put("}", 2);   // with its NUL
    return w.count;
}

// Tags a plain string (line ends become CR) into a new local-heap block; null on failure.
char *Tagged(int charset, const char *text)
{
    if (!text) {
        text = "";
    }
    char *tagged = static_cast<char *>(LocalAlloc(LMEM_ZEROINIT, strlen(text) + 5));
    if (tagged) {
        Strandkit_AddCharsetTag(charset, text, tagged);
    }
    return tagged;
}

}  // namespace

extern "C" {

int WINAPI Strandkit_TextToRtf(int fontSize, const char *text, char *out)
{
    return TextToRtf(fontSize, text, out, 0, false);
}

int WINAPI Strandkit_PlainToRtf(int charset, int fontSize, const char *text, char *out)
{
    char *tagged = Tagged(charset, text);
    if (!tagged) {
        return 0;
    }
    int n = TextToRtf(fontSize, tagged, out, 0, false);
    LocalFree(tagged);
    return n;
}

int WINAPI Strandkit_PlainToRtfEx(int charset, int fontSize, const char *text, char *out,
                                  COLORREF colour)
{
    char *tagged = Tagged(charset, text);
    if (!tagged) {
        return 0;
    }
    for (char *p = tagged; *p; ++p) {
        if (*p == '\r') {
            *p = '\n';
        }
    }
    int n = TextToRtf(fontSize, tagged, out, colour, colour != 0);
    LocalFree(tagged);
    return n;
}

}  // extern "C"
