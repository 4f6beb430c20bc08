// Book text into escape-tagged text: two bytes at a time, control codes (first byte 0x1F) with their
// arguments, gaiji, and JIS X 0208 characters turned into Shift-JIS.  The output grows as needed,
// so no code can write past it whatever its expansion.
#include <stdio.h>
#include <algorithm>
#include "book_int.h"

namespace {

const char ESC = 0x1B;
const int kMaxIndent = 100;

// Argument bytes after a control code.
size_t ArgBytes(BYTE code) {
    switch (code) {
    case 0x09: case 0x41: case 0xE0: return 2;
    case 0x62: case 0x64: return 6;
    case 0x44: return 10;
    case 0x4A: return 16;
    case 0x4D: return 18;
    default: return 0;
    }
}

// The end code of a code whose contents are skipped, 0 for the others.
BYTE EndCodeOf(BYTE code) {
    switch (code) {
    case 0x14: return 0x15;
    case 0x35: case 0x36: case 0x37: case 0x48: case 0x49: case 0x4B: case 0x4C: case 0x4E: case 0x4F:
        return (BYTE)(code + 0x20);
    default: return 0;
    }
}

// JIS row-1 characters that have a single-byte form.
const WORD kNarrowRow1[][2] = {
    {0x2121, ' '}, {0x2124, ','}, {0x2125, '.'}, {0x2127, ':'}, {0x2128, ';'}, {0x2129, '?'},
    {0x212A, '!'}, {0x212E, '`'}, {0x2130, '^'}, {0x2132, '_'}, {0x213F, '/'}, {0x2140, '\\'},
    {0x2143, '|'}, {0x214A, '('}, {0x214B, ')'}, {0x214E, '['}, {0x214F, ']'}, {0x2150, '{'},
    {0x2151, '}'}, {0x215C, '+'}, {0x215D, '-'}, {0x2161, '='}, {0x2163, '<'}, {0x2164, '>'},
    {0x2170, '$'}, {0x2173, '%'}, {0x2174, '#'}, {0x2175, '&'}, {0x2176, '*'}, {0x2177, '@'}};

// The single byte of a JIS character, 0 when it has none.
char Narrow(BYTE j1, BYTE j2) {
    if (j1 == 0x23) {
        if ((j2 >= 0x30 && j2 <= 0x39) || (j2 >= 0x41 && j2 <= 0x5A) || (j2 >= 0x61 && j2 <= 0x7A))
            return (char)j2;
        return 0;
    }
    if (j1 != 0x21) return 0;
    WORD code = (WORD)(j1 << 8 | j2);
    for (const auto &e : kNarrowRow1)
        if (e[0] == code) return (char)e[1];
    return 0;
}

void JisToSjis(BYTE j1, BYTE j2, char *out) {
    BYTE s1 = (BYTE)(((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0));
    BYTE s2 = (BYTE)(j2 + ((j1 & 1) ? (j2 < 0x60 ? 0x1F : 0x20) : 0x7E));
    out[0] = (char)s1;
    out[1] = (char)s2;
}

int Clamp(int v) { return v > kMaxIndent ? kMaxIndent : v; }

// One pass over the text, code by code; calls visit for every unit that is not skipped.
// visit(first byte, second byte, arguments, argument bytes available) answers false to stop.
template <typename Visit> void Walk(const BYTE *t, size_t n, Visit visit) {
    size_t i = 0;
    while (i + 2 <= n) {
        BYTE a = t[i], b = t[i + 1];
        i += 2;
        if (a != 0x1F) {
            if (!visit(a, b, nullptr, (size_t)0)) return;
            continue;
        }
        BYTE end = EndCodeOf(b);
        if (end) {
            while (i + 2 <= n && !(t[i] == 0x1F && t[i + 1] == end)) i += 2;
            i = i + 2 <= n ? i + 2 : n;
            continue;
        }
        size_t args = ArgBytes(b), have = n - i < args ? n - i : args;
        if (!visit(a, b, t + i, have)) return;
        i += have;
    }
}

struct Writer {
    std::string *out;
    int mode;
    int charset;
    bool narrow = false;
    char emphasis = 0;              // 'I' or 'B' while 0x1FE0 is open
    size_t placeholder = std::string::npos;
    int references = 0;
    bool failed = false;

    void Put(const char *s, size_t n) { out->append(s, n); }
    void Tag(int cs) {
        if (mode != kBookModeTagged || cs == charset) return;
        char b[8];
        int k = snprintf(b, sizeof b, "%cF%02x", ESC, cs & 0xFF);
        Put(b, (size_t)k);
        charset = cs;
    }
    void Esc(const char *s) {
        out->push_back(ESC);
        out->append(s);
    }
};

}  // namespace

DWORD LcBook_Bcd(const BYTE *p, int n) {
    DWORD v = 0;
    for (int i = 0; i < n; i++) v = v * 100 + (p[i] >> 4) * 10 + (p[i] & 15);
    return v;
}

DWORD LcBook_BcdPosition(const BYTE *p) {
    DWORD block = LcBook_Bcd(p, 4), offset = LcBook_Bcd(p + 4, 2);
    return (block - 1) << 11 | offset;
}

void LcBook_CollectIndents(const BYTE *text, size_t n, LcBookIndents *out) {
    out->values.clear();
    Walk(text, n, [&](BYTE a, BYTE b, const BYTE *args, size_t have) {
        if (a == 0x1F && b == 0x09 && have == 2) {
            int v = Clamp((int)LcBook_Bcd(args, 2));
            if (std::find(out->values.begin(), out->values.end(), v) == out->values.end())
                out->values.push_back(v);
        }
        return true;
    });
    std::sort(out->values.begin(), out->values.end());
}

bool LcBook_Convert(const BYTE *text, size_t n, int mode, int startCharset, const LcBookIndents *indents,
                    std::string *out) {
    Writer w;
    w.out = out;
    w.mode = mode;
    w.charset = startCharset;
    bool tagged = mode == kBookModeTagged;
    Walk(text, n, [&](BYTE a, BYTE b, const BYTE *args, size_t have) {
        char buf[64];
        if (a == 0x1F) {
            if (!tagged) {
                if (b == 0x04) w.narrow = true;
                if (b == 0x05) w.narrow = false;
                return true;
            }
            size_t need = ArgBytes(b);
            if (have < need) return true;  // cut off at the end of the text
            switch (b) {
            case 0x04: w.narrow = true; break;
            case 0x05: w.narrow = false; break;
            case 0x06: w.Esc("s1"); break;
            case 0x07: w.Esc("s0"); break;
            case 0x09: {
                int v = Clamp((int)LcBook_Bcd(args, 2)), number = 0;
                if (indents) {
                    auto it = std::lower_bound(indents->values.begin(), indents->values.end(), v);
                    number = (int)(it - indents->values.begin());
                }
                snprintf(buf, sizeof buf, "%cL%d", ESC, number);
                w.Put(buf, strlen(buf));
                break;
            }
            case 0x0A: out->push_back('\r'); break;
            case 0x0E: w.Esc("S1"); break;
            case 0x0F: w.Esc("S0"); break;
            case 0x12: w.Esc("U1"); break;
            case 0x13: w.Esc("U0"); break;
            case 0x42:
                w.Esc("AL#");
                w.placeholder = out->size();
                snprintf(buf, sizeof buf, "00000000%04d", w.references++ % 10000);
                w.Put(buf, 12);
                break;
            case 0x62:
                if (w.placeholder != std::string::npos) {
                    snprintf(buf, sizeof buf, "%08lx", (unsigned long)LcBook_BcdPosition(args));
                    out->replace(w.placeholder, 8, buf, 8);
                    w.placeholder = std::string::npos;
                }
                w.Esc("Al");
                break;
            case 0x43: out->append("<MENU>"); break;
            case 0x44: {
                DWORD width = LcBook_Bcd(args, 2), height = LcBook_Bcd(args + 2, 2);
                snprintf(buf, sizeof buf, "%cAD1#B%08lX%08lX00000000%c", ESC,
                         (unsigned long)((width & 0xFFFF) << 16 | (height & 0xFFFF)),
                         (unsigned long)LcBook_BcdPosition(args + 4), ESC);
                w.Put(buf, strlen(buf));
                break;
            }
            case 0x4A:
                snprintf(buf, sizeof buf, "%cAD0#%02X%02X%08lx%08lx", ESC, args[0], args[1],
                         (unsigned long)LcBook_BcdPosition(args + 4),
                         (unsigned long)LcBook_BcdPosition(args + 10));
                w.Put(buf, strlen(buf));
                break;
            case 0x4D:
                snprintf(buf, sizeof buf, "%cAD1#C%08lx%c", ESC,
                         (unsigned long)LcBook_BcdPosition(args + 12), ESC);
                w.Put(buf, strlen(buf));
                break;
            case 0x64: case 0x6A: case 0x6D: w.Esc("Ad"); break;
            case 0xE0:
                w.emphasis = LcBook_Bcd(args, 2) == 1 ? 'I' : 'B';
                w.Esc(w.emphasis == 'I' ? "I1" : "B1");
                break;
            case 0xE1:
                if (w.emphasis) w.Esc(w.emphasis == 'I' ? "I0" : "B0");
                w.emphasis = 0;
                break;
            default: break;  // keyword start and every other code write nothing
            }
            return true;
        }
        if (a >= 0xA1 && a != 0xFF && b >= 0x21 && b <= 0x7E) {
            if (!tagged) {
                w.failed = true;
                return false;
            }
            w.Tag(w.narrow ? 51 : 52);
            out->push_back((char)a);
            out->push_back((char)b);
            return true;
        }
        if (a < 0x21 || a > 0x7E || b < 0x21 || b > 0x7E) return true;  // not a character: dropped
        char c = Narrow(a, b);
        if (c) {
            w.Tag(0);
            out->push_back(c);
            return true;
        }
        if (mode == kBookModeKey) {
            w.failed = true;
            return false;
        }
        w.Tag(128);
        JisToSjis(a, b, buf);
        w.Put(buf, 2);
        return true;
    });
    return !w.failed;
}
