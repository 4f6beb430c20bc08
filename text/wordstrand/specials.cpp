// Western special characters of code page 1252 and their spellings in Shift-JIS.
#include "wordstrand_int.h"

namespace {

struct Special {
    unsigned char ansi;
    const char *sjis;
};

// Sorted by the code-page-1252 byte.
const Special kSpecials[] = {
    {0x85, "\x81\x63"}, {0x86, "\x81\xF5"}, {0x87, "\x81\xF6"}, {0x88, "\x81\x4F"}, {0x89, "\x81\xF1"},
    {0x8B, "\x81\x71"}, {0x91, "'"},        {0x92, "'"},        {0x93, "\""},       {0x94, "\""},
    {0x95, "\x81\x45"}, {0x96, "\x81\x5D"}, {0x97, "\x81\x5C"}, {0x99, "TM"},       {0x9B, "\x81\x72"},
    {0xA2, "\x81\x91"}, {0xA3, "\x81\x92"}, {0xA5, "\x81\x8F"}, {0xA7, "\x81\x98"}, {0xA8, "\x81\x4E"},
    {0xA9, "(C)"},      {0xAB, "\x81\x73"}, {0xAE, "(R)"},      {0xB1, "\x81\x7D"}, {0xB4, "\x81\x4C"},
    {0xB5, "\x83\xCA"}, {0xB6, "\x81\xF7"}, {0xBB, "\x81\x74"}, {0xC5, "\x81\xF0"}, {0xD7, "\x81\x7E"},
    {0xF7, "\x81\x80"},
};
static_assert(sizeof kSpecials / sizeof kSpecials[0] == 31, "31 specials");

const char *SjisFormOf(unsigned char c) {
    for (const Special &s : kSpecials)
        if (s.ansi == c) return s.sjis;
    return nullptr;
}

}  // namespace

extern "C" {

int WINAPI Wordstrand_Latin1ToAscii(const char *text, char *out) {
    if (!out) return 0;
    int n = 0;
    for (const char *p = text ? text : ""; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x80) {
            out[n++] = char(c);
        } else if (const char *form = SjisFormOf(c)) {
            while (*form) out[n++] = *form++;
        }
    }
    out[n] = 0;
    return n + 1;
}

int WINAPI Wordstrand_SjisFold(const char *text, char *out) {
    if (!out) return 0;
    int n = 0;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text ? text : "");
    while (*p) {
        if (*p < 0x80) {
            out[n++] = char(*p++);
            continue;
        }
        const Special *hit = nullptr;
        for (const Special &s : kSpecials) {
            const unsigned char *f = reinterpret_cast<const unsigned char *>(s.sjis);
            if (f[0] == p[0] && f[1] == p[1]) {  // p[1] is the NUL at the end: no match, no overrun
                hit = &s;
                break;
            }
        }
        if (hit) {
            out[n++] = char(hit->ansi);
            p += 2;
        } else {
            p += WsInt_CharLen(128, p);  // a character without a Western form is dropped whole
        }
    }
    out[n] = 0;
    return n + 1;
}

}  // extern "C"
