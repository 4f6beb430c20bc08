// Character classes, case maps and sentence ends: code page 1252 tables for single-byte text and
// the Shift-JIS classes of punctuation that may not start or end a line.
#include <algorithm>
#include "wordstrand_int.h"

namespace {

enum Kind { kUpper = 1, kLower, kAlnum, kLetter, kDigit, kNoLineStart, kNoLineEnd, kSentence };

struct Range {
    unsigned char lo, hi;
};

constexpr Range kUpperRanges[] = {{0x41, 0x5A}, {0x8A, 0x8A}, {0x8C, 0x8C}, {0x9F, 0x9F}, {0xC0, 0xD6}, {0xD8, 0xDE}};
constexpr Range kLowerRanges[] = {{0x61, 0x7A}, {0x9A, 0x9A}, {0x9C, 0x9C}, {0xDF, 0xF6}, {0xF8, 0xFF}};
constexpr unsigned char kNoStartBytes[] = {0x21, 0x29, 0x2C, 0x2E, 0x3A, 0x3B, 0x3F, 0x5D, 0x7D,
                                           0x84, 0x85, 0x92, 0x94, 0x99, 0x9B, 0xAE, 0xBB};
constexpr unsigned char kNoEndBytes[] = {0x28, 0x5B, 0x7B, 0x8B, 0x91, 0x93, 0xA1, 0xAB, 0xBF};
constexpr unsigned char kSentenceBytes[] = {0x21, 0x2E, 0x3A, 0x3B, 0x3F, 0xA1, 0xBF};

// Shift-JIS double-byte codes (sorted): closing punctuation, iteration marks, the long-vowel mark
// and small kana may not start a line; opening brackets and quotes may not end one.
constexpr unsigned short kSjisNoStart[] = {
    0x8141, 0x8142, 0x8143, 0x8144, 0x8146, 0x8147, 0x8148, 0x8149, 0x8152, 0x8153, 0x8154,
    0x8155, 0x8156, 0x8158, 0x815B, 0x8166, 0x8168, 0x816A, 0x816C, 0x816E, 0x8170, 0x8172,
    0x8174, 0x8176, 0x8178, 0x817A, 0x818B, 0x818C, 0x818D, 0x818E, 0x829F, 0x82A1, 0x82A3,
    0x82A5, 0x82A7, 0x82C1, 0x82E1, 0x82E3, 0x82E5, 0x82EC, 0x8340, 0x8342, 0x8344, 0x8346,
    0x8348, 0x8362, 0x8383, 0x8385, 0x8387, 0x838E, 0x8395, 0x8396, 0x8781};
constexpr unsigned short kSjisNoEnd[] = {0x8165, 0x8167, 0x8169, 0x816B, 0x816D, 0x816F,
                                         0x8171, 0x8173, 0x8175, 0x8177, 0x8179, 0x8780};
constexpr unsigned short kSjisSentence[] = {0x8142, 0x8148, 0x8149};
static_assert(sizeof kSjisNoStart / sizeof kSjisNoStart[0] == 53, "53 codes may not start a line");
static_assert(sizeof kSjisNoEnd / sizeof kSjisNoEnd[0] == 12, "12 codes may not end a line");

// Double-byte full stops, question and exclamation marks per charset.
constexpr unsigned short kSjisStops[] = {0x8142, 0x8144, 0x8148, 0x8149};
constexpr unsigned short kKscGbStops[] = {0xA1A3, 0xA3AE, 0xA3BF, 0xA3A1};
constexpr unsigned short kBig5Stops[] = {0xA143, 0xA14F, 0xA148, 0xA149};

template <size_t N> bool InRanges(const Range (&ranges)[N], unsigned c) {
    for (const Range &r : ranges)
        if (c >= r.lo && c <= r.hi) return true;
    return false;
}

template <class T, size_t N> bool InList(const T (&list)[N], unsigned c) {
    return std::find(list, list + N, c) != list + N;
}

// The single-byte class of a byte 0-255 (code page 1252).
int SingleByteClass(int kind, unsigned c) {
    switch (kind) {
    case kUpper: return InRanges(kUpperRanges, c);
    case kLower: return InRanges(kLowerRanges, c);
    case kDigit: return c >= 0x30 && c <= 0x39;
    case kLetter: return InRanges(kUpperRanges, c) || InRanges(kLowerRanges, c);
    case kAlnum: return SingleByteClass(kLetter, c) || SingleByteClass(kDigit, c);
    case kNoLineStart: return InList(kNoStartBytes, c);
    case kNoLineEnd: return InList(kNoEndBytes, c);
    case kSentence: return InList(kSentenceBytes, c);
    default: return 0;
    }
}

// Shift-JIS classes above 0x7F: half-width punctuation and the double-byte lists.
int SjisClass(int kind, unsigned c) {
    if (c <= 0xFF) {
        switch (kind) {
        case kNoLineStart: return c == 0xA1 || c == 0xA3 || c == 0xA4 || (c >= 0xA6 && c <= 0xAF) || c == 0xDE || c == 0xDF;
        case kNoLineEnd: return c == 0xA2;
        case kSentence: return c == 0xA1;
        default: return 0;
        }
    }
    switch (kind) {
    case kNoLineStart: return std::binary_search(kSjisNoStart, kSjisNoStart + 53, c);
    case kNoLineEnd: return std::binary_search(kSjisNoEnd, kSjisNoEnd + 12, c);
    case kSentence: return InList(kSjisSentence, c);
    default: return 0;
    }
}

unsigned char Upper(unsigned char c) {
    if (c >= 0x61 && c <= 0x7A) return c - 0x20;
    if (c == 0x9A || c == 0x9C) return c - 0x10;
    if (c == 0xFF) return 0x9F;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    return c;
}

unsigned char Lower(unsigned char c) {
    if (c >= 0x41 && c <= 0x5A) return c + 0x20;
    if (c == 0x8A || c == 0x8C) return c + 0x10;
    if (c == 0x9F) return 0xFF;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    return c;
}

int MapString(const char *text, char *out, unsigned char (*map)(unsigned char)) {
    if (!out) return 0;
    int n = 0;
    if (text)
        for (; text[n]; ++n) out[n] = char(map(static_cast<unsigned char>(text[n])));
    out[n] = 0;
    return n;
}

}  // namespace

int WsInt_IsDoubleByte(UINT charset) { return Strandkit_IsMultiByteCharset(charset); }

int WsInt_CharLen(UINT charset, const unsigned char *p) {
    if (!p[0]) return 0;
    return (p[1] && Strandkit_IsLeadByte(charset, p[0])) ? 2 : 1;
}

int WsInt_IsSentenceEnd(UINT charset, const unsigned char *p) {
    const unsigned c = p[0];
    if (WsInt_CharLen(charset, p) == 2) {
        const unsigned code = c << 8 | p[1];
        switch (charset) {
        case 128: return InList(kSjisStops, code);
        case 129:
        case 134: return InList(kKscGbStops, code);
        case 136: return InList(kBig5Stops, code);
        default: return 0;
        }
    }
    switch (c) {
    case '.':
    case '?':
    case '!':
    case 0xA1:  // inverted exclamation mark; in Shift-JIS the half-width full stop
        return 1;
    case 0xBF:  // inverted question mark; in Shift-JIS a half-width katakana
        return charset != 128;
    case ',':
    case ':':
    case ';':
        return p[1] == '\r' || p[1] == '\n';
    default:
        return 0;
    }
}

extern "C" {

int WINAPI Wordstrand_GetCharClass(UINT charset, int kind, UINT ch) {
    if (kind < kUpper || kind > kSentence) return 0;
    if (ch < 0x80) return SingleByteClass(kind, ch);
    if (charset == 128) return SjisClass(kind, ch);
    if (WsInt_IsDoubleByte(charset) || ch > 0xFF) return 0;
    return SingleByteClass(kind, ch);
}

UINT WINAPI Wordstrand_MapCase(UINT charset, int kind, UINT ch) {
    if (ch > 0xFF || (ch >= 0x80 && WsInt_IsDoubleByte(charset))) return ch;
    if (kind == 1) return Upper(static_cast<unsigned char>(ch));
    if (kind == 2) return Lower(static_cast<unsigned char>(ch));
    return ch;
}

UINT WINAPI Wordstrand_UpperOnly(UINT b) { return (b <= 0xFF && SingleByteClass(kUpper, b)) ? b : 0; }

int WINAPI Wordstrand_ToLower(const char *text, char *out) { return MapString(text, out, Lower); }

int WINAPI Wordstrand_ToUpper(const char *text, char *out) { return MapString(text, out, Upper); }

}  // extern "C"
