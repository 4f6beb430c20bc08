// Normalisation of the single-byte drivers: the fold map of search keys, and case conversion.
#include <string.h>
#include "sbcs_int.h"
#include "wordstrand.h"

namespace {

BYTE g_fold[256];

}  // namespace

// Bytes 0x00-0x7E stay; letters with diacritics become their base letter; a few punctuation marks
// become their ASCII look-alikes; every other byte from 0x7F becomes a blank.
void Sbcs_BuildFoldMap() {
    for (int i = 0; i < 256; i++)
        g_fold[i] = i < 0x7F ? (BYTE)i : ' ';
    const struct {
        BYTE from, to;
        char base;
    } ranges[] = {
        {0xC0, 0xC5, 'A'}, {0xC7, 0xC7, 'C'}, {0xC8, 0xCB, 'E'}, {0xCC, 0xCF, 'I'}, {0xD0, 0xD0, 'D'},
        {0xD1, 0xD1, 'N'}, {0xD2, 0xD6, 'O'}, {0xD8, 0xD8, 'O'}, {0xD9, 0xDC, 'U'}, {0xDD, 0xDD, 'Y'},
    };
    for (const auto &r : ranges)
        for (int b = r.from; b <= r.to; b++) {
            g_fold[b] = (BYTE)r.base;
            g_fold[b + 0x20] = (BYTE)(r.base + 0x20);  // the same in lower case
        }
    const BYTE singles[][2] = {
        {0x8A, 'S'}, {0x9F, 'Y'}, {0x9A, 's'}, {0xFF, 'y'}, {0x82, ','}, {0x83, 'f'}, {0x88, '^'}, {0x8B, '<'},
        {0x9B, '>'}, {0x91, '\''}, {0x92, '\''}, {0x93, '"'}, {0x94, '"'}, {0x96, '-'}, {0x97, '-'}, {0xA1, '!'},
        {0xBF, '?'}, {0xB4, '`'}, {0xA2, 'c'}, {0xA9, 'c'}, {0xA3, 'L'}, {0xAA, 'a'}, {0xAE, 'R'}, {0xB2, '2'},
        {0xB3, '3'}, {0xB9, '1'}, {0xBA, '0'},
    };
    for (const auto &s : singles)
        g_fold[s[0]] = s[1];
    if (g_sbcsLanguage.adjustFold)
        g_sbcsLanguage.adjustFold(g_fold);
}

const BYTE *Sbcs_FoldMap() { return g_fold; }

extern "C" char *WINAPI LangDriver_NormalizeText(DWORD flags, const char *text, char *out) {
    if (g_sbcsLanguage.normalize)
        return g_sbcsLanguage.normalize(flags, text, out);
    return Sbcs_Normalize(flags, text, out);
}

char *Sbcs_Normalize(DWORD flags, const char *text, char *out) {
    if (!out)
        return nullptr;
    if (!text) {
        out[0] = 0;
        return out;
    }
    if ((flags & 4) || ((flags & 3) == 0 && g_sbcsLanguage.foldWithoutFlags)) {
        char *o = out;
        for (const BYTE *p = (const BYTE *)text; *p; p++) {
            BYTE b = g_fold[*p];
            if (b == '\r')
                b = ' ';
            if (b == 0x1B || b == '\n')
                continue;
            *o++ = (char)b;
        }
        *o = 0;
    } else if (flags & 1) {
        Wordstrand_ToLower(text, out);
    } else if (flags & 2) {
        Wordstrand_ToUpper(text, out);
    } else if (out != text) {
        memmove(out, text, strlen(text) + 1);
    }
    return out;
}
