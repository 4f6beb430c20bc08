// Charset tags of escape-tagged text: reading, writing and stripping them, and the dominant
// charset of a tagged string.
#include "strandkit_int.h"

namespace {

const char kHexUpper[] = "0123456789ABCDEF";
const char kHexLower[] = "0123456789abcdef";

unsigned Nibble(char c) {
    if (c >= '0' && c <= '9') return unsigned(c - '0');
    if (c >= 'A' && c <= 'F') return unsigned(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return unsigned(c - 'a' + 10);
    return 0;
}

// Appends one byte when out is given; counts it either way.
inline void Put(char *out, int &n, char c) {
    if (out) out[n] = c;
    ++n;
}

void PutTag(char *out, int &n, UINT charset, const char *digits) {
    Put(out, n, char(STRANDKIT_ESC));
    Put(out, n, 'F');
    Put(out, n, digits[(charset >> 4) & 0xF]);
    Put(out, n, digits[charset & 0xF]);
}

int HasHighByte(const char *s, const char *end) {
    for (; s < end && *s; ++s)
        if (static_cast<unsigned char>(*s) >= 0x80) return 1;
    return 0;
}

int HasTagStart(const char *s, const char *end) {
    for (; s + 1 < end && *s; ++s)
        if (s[0] == STRANDKIT_ESC && s[1] == 'F') return 1;
    return 0;
}

// One line of source text: its bytes [begin, end) without the line end, and where the next line
// starts.  A line end is CR LF, a lone CR or a lone LF; inside tagged text it is written as one CR.
struct Line {
    const char *begin;
    const char *end;
    const char *next;
    int hasLineEnd;
};

Line NextLine(const char *p) {
    Line line{p, p, p, 0};
    while (*p && *p != '\r' && *p != '\n') ++p;
    line.end = p;
    if (*p == '\r') {
        line.hasLineEnd = 1;
        ++p;
        if (*p == '\n') ++p;
    } else if (*p == '\n') {
        line.hasLineEnd = 1;
        ++p;
    }
    line.next = p;
    return line;
}

// Copies text with every line end turned into CR; returns the bytes written (out may be null).
int PutNormalised(char *out, int n, const char *text) {
    for (const char *p = text; *p;) {
        Line line = NextLine(p);
        for (const char *s = line.begin; s < line.end; ++s) Put(out, n, *s);
        if (line.hasLineEnd) Put(out, n, '\r');
        p = line.next;
    }
    return n;
}

}  // namespace

UINT StrandkitInt_HexByte(const char *p) { return (Nibble(p[0]) << 4) | Nibble(p[1]); }

int StrandkitInt_TagLength(const char *p) {
    if (p[0] != STRANDKIT_ESC || p[1] != 'F' || !p[2] || !p[3]) return 0;
    if (StrandkitInt_HexByte(p + 2) != 1) return 4;
    if (!p[4]) return 4;
    return p[5] ? 6 : 5;
}

extern "C" {

UINT WINAPI Strandkit_GetTagCharset(const char *position) {
    if (!position || position[0] != STRANDKIT_ESC || !position[1] || !position[2] || !position[3]) return 0;
    return StrandkitInt_HexByte(position + 2);
}

UINT WINAPI Strandkit_GetMainCharset(const char *text) {
    const UINT ui = StrandkitInt_UiCharset();
    if (!text) return ui;
    UINT current = 0, candidate = 0;
    int found = 0;
    for (const char *p = text; *p;) {
        if (int tag = StrandkitInt_TagLength(p)) {
            if (tag == 4) current = StrandkitInt_HexByte(p + 2);
            p += tag;
            continue;
        }
        if (static_cast<unsigned char>(*p) >= 0x80 && current != ui) {
            if (!found) {
                candidate = current;
                found = 1;
            } else if (current != candidate) {
                break;
            }
        }
        p += StrandkitInt_CharLen(current, p);
    }
    return found ? candidate : ui;
}

int WINAPI Strandkit_StripTagsTo(char *out, const char *text) {
    if (!out) return 0;
    int n = 0;
    if (text) {
        for (const char *p = text; *p;) {
            if (*p == STRANDKIT_ESC) {
                int skip = 1;
                while (skip < 4 && p[skip]) ++skip;  // the tag never runs past the NUL
                p += skip;
                continue;
            }
            out[n++] = *p++;
        }
    }
    out[n] = 0;
    return n;
}

char *WINAPI Strandkit_StripTags(const char *text) {
    if (!text) return nullptr;
    char *out = static_cast<char *>(LocalAlloc(LPTR, lstrlenA(text) + 1));
    if (out) Strandkit_StripTagsTo(out, text);
    return out;
}

int WINAPI Strandkit_StripCharsetTags(int charset, const char *text, char *out) {
    int n = 0;
    UINT current = 0;
    for (const char *p = text ? text : ""; *p;) {
        if (*p == STRANDKIT_ESC) {
            if (p[1] != 'F') {  // a lone ESC is dropped by itself
                ++p;
                continue;
            }
            int tag = StrandkitInt_TagLength(p);
            if (!tag) break;  // a tag cut by the NUL ends the text
            if (tag == 4) current = StrandkitInt_HexByte(p + 2);
            p += tag;
            continue;
        }
        int len = StrandkitInt_CharLen(current, p);
        if (static_cast<unsigned char>(*p) < 0x80) {
            Put(out, n, *p);
        } else if (charset == -1 || UINT(charset) == current) {
            for (int i = 0; i < len; ++i) Put(out, n, p[i]);
        }
        // A double-byte character of another charset goes whole, trail byte included.
        p += len;
    }
    if (out) out[n] = 0;
    return n;
}

int WINAPI Strandkit_AddCharsetTag(int charset, const char *text, char *out) {
    if (!text) text = "";
    UINT tag = UINT(charset) & 0xFF;
    if (charset == -1) {
        tag = StrandkitInt_UiCharset();
        if (!HasHighByte(text, text + lstrlenA(text))) tag = 0;
    }
    int n = 0;
    if (tag) PutTag(out, n, tag, kHexUpper);
    n = PutNormalised(out, n, text);
    if (out) out[n] = 0;
    return n;
}

int WINAPI Strandkit_TagLines(int charset, const char *text, char *out) {
    if (!text) text = "";
    const UINT ui = StrandkitInt_UiCharset();
    int n = 0;
    for (const char *p = text; *p;) {
        Line line = NextLine(p);
        if (*line.begin != STRANDKIT_ESC) {
            const int last = !line.hasLineEnd;
            const int inner = HasTagStart(line.begin, line.end);
            UINT tag;
            if (last && inner)
                tag = 0;
            else if (charset != 0 || inner)
                tag = UINT(charset) & 0xFF;
            else
                tag = HasHighByte(line.begin, line.end) ? ui : 0;
            PutTag(out, n, tag, kHexUpper);
        }
        for (const char *s = line.begin; s < line.end; ++s) Put(out, n, *s);
        if (line.hasLineEnd) Put(out, n, '\r');
        p = line.next;
    }
    if (!out) return n;
    out[n] = 0;
    return charset;
}

int WINAPI Strandkit_TagUiCharset(char *out, const char *text) {
    if (!out) return 0;
    if (!text) text = "";
    const UINT ui = StrandkitInt_UiCharset();
    const int len = lstrlenA(text);
    const int high = HasHighByte(text, text + len);
    if (ui != 0 && text[0] != STRANDKIT_ESC && high) {
        int n = 0;
        PutTag(out, n, ui, kHexUpper);
        CopyMemory(out + n, text, len + 1);
        return n + len;
    }
    CopyMemory(out, text, len + 1);
    return (ui != 0 && !high) ? len + 1 : 0;
}

int WINAPI Strandkit_TagCharset(UINT charset, const char *text, char *out, int outSize) {
    if (!out || outSize < 5) return 0;
    if (!text) text = "";
    int n = 0;
    PutTag(out, n, charset & 0xFF, kHexLower);
    for (const char *p = text; *p;) {
        int len = StrandkitInt_CharLen(charset & 0xFF, p);
        if (n + len + 1 > outSize) break;  // never half of a double-byte character
        for (int i = 0; i < len; ++i) out[n++] = p[i];
        p += len;
    }
    out[n] = 0;
    return n;
}

}  // extern "C"
