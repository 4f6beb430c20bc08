// The colour of an RTF selection: the colour-table entry of its first foreground colour.
#include "addin_common.h"
#include <string.h>

namespace {

// Position of the first occurrence of word in [from, end) that is followed by a digit when
// needDigit; npos when none.
size_t FindWord(const char *rtf, size_t from, size_t end, const char *word, bool needDigit) {
    size_t n = strlen(word);
    for (size_t i = from; i + n <= end; ++i) {
        if (memcmp(rtf + i, word, n) != 0) continue;
        if (!needDigit) return i;
        if (i + n < end && rtf[i + n] >= '0' && rtf[i + n] <= '9') return i;
    }
    return (size_t)-1;
}

// The decimal number at pos (bounded by end); 0 when there is none.
unsigned Number(const char *rtf, size_t pos, size_t end) {
    unsigned v = 0;
    for (; pos < end && rtf[pos] >= '0' && rtf[pos] <= '9'; ++pos) v = v * 10 + (unsigned)(rtf[pos] - '0');
    return v;
}

unsigned Component(const char *rtf, size_t from, size_t end, const char *word) {
    size_t at = FindWord(rtf, from, end, word, true);
    return at == (size_t)-1 ? 0 : Number(rtf, at + strlen(word), end) & 0xFF;
}

}  // namespace

COLORREF Addin_RtfColour(const char *rtf, size_t length) {
    if (!rtf) return 0;
    size_t cf = FindWord(rtf, 0, length, "\\cf", true);
    if (cf == (size_t)-1) return 0;
    unsigned index = Number(rtf, cf + 3, length);
    size_t table = FindWord(rtf, 0, length, "\\colortbl", false);
    if (table == (size_t)-1) return 0;
    // entries are separated by ';' up to the table's closing brace; entry 0 comes first
    size_t pos = table + 9, tableEnd = pos;
    while (tableEnd < length && rtf[tableEnd] != '}') tableEnd++;
    for (unsigned i = 0; i < index; ++i) {
        while (pos < tableEnd && rtf[pos] != ';') pos++;
        if (pos >= tableEnd) return 0;
        pos++;
    }
    size_t entryEnd = pos;
    while (entryEnd < tableEnd && rtf[entryEnd] != ';') entryEnd++;
    if (entryEnd >= tableEnd) return 0;  // the table is too short: the entry never ends
    return RGB(Component(rtf, pos, entryEnd, "\\red"), Component(rtf, pos, entryEnd, "\\green"),
               Component(rtf, pos, entryEnd, "\\blue"));
}
