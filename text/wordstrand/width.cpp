// Row indexes of double-byte codes and the conversions between half-width (ASCII, half-width
// katakana) and full-width forms in Shift-JIS, Hangul, GB2312 and Big5.
#include "wordstrand_int.h"

namespace {

typedef const unsigned char *Bytes;

// Output cursor: counts what it writes.
struct Out {
    char *p;
    int n;
    void Byte(unsigned b) { p[n++] = char(b); }
    void Code(unsigned code) {
        Byte(code >> 8);
        Byte(code & 0xFF);
    }
    int End() {
        p[n] = 0;
        return n;
    }
};

const unsigned kSjisSpace = 0x8140;
const unsigned kDbcsSpace = 0xA1A1;  // Hangul and GB2312

int SjisKana(unsigned b) { return b >= 0xA1 && b <= 0xDF; }

// A lead byte with a valid trail byte of the charset after it.
int ValidPair(UINT charset, Bytes p) {
    return Strandkit_IsLeadByte(charset, p[0]) && p[1] && Strandkit_IsTrailByte(charset, p[1]);
}

// The full-width forms of the single bytes of each charset.  Each writes the form of the byte at
// p (never a control byte nor the lead byte of a valid pair) and answers how many bytes it took:
// at least one, and a byte without a full-width form is dropped.
int SjisSingle(UINT, Bytes p, Out &o) {
    const unsigned b = *p;
    if (b >= 0x80 && (b < 0xA0 || b > 0xDF)) return 1;
    const unsigned next = p[1];
    // A sound mark after a katakana that takes it merges into the voiced form.
    if (SjisKana(b) && next == 0xDE && g_wsSjisVoiced[b - 0xA0]) {
        o.Code(g_wsSjisVoiced[b - 0xA0]);
        return 2;
    }
    if (SjisKana(b) && next == 0xDF && g_wsSjisSemiVoiced[b - 0xA0]) {
        o.Code(g_wsSjisSemiVoiced[b - 0xA0]);
        return 2;
    }
    o.Code(g_wsSjisWide[b]);
    return 1;
}

// Hangul and GB2312: ASCII goes to row 0xA3, the blank (and DEL, which has no form) to the
// full-width space.
int KscGbSingle(UINT charset, Bytes p, Out &o) {
    const unsigned b = *p;
    if (b == 0x20 || b == 0x7F) {
        o.Code(kDbcsSpace);
        return 1;
    }
    if (b < 0x80) {
        o.Byte(0xA3);
        o.Byte(b + 0x80);
        return 1;
    }
    if (charset == 134 && b != 0x80 && b != 0xFF) {
        // A GB2312 lead byte without a valid trail, or a lead byte of the wider code page
        // (0x81-0xA0): one unknown character, shown as the full-width space.
        o.Code(kDbcsSpace);
        return p[1] ? 2 : 1;
    }
    return 1;
}

int Big5Single(UINT, Bytes p, Out &o) {
    if (*p >= 0x80) return 1;
    o.Code(g_wsBig5Wide[*p - 0x20]);
    return 1;
}

// Full width: control bytes are dropped, valid double-byte characters kept as they are, and
// every other byte goes to its charset's single-byte rule.
int Widen(UINT charset, Bytes p, Out &o, int (*single)(UINT, Bytes, Out &)) {
    while (*p) {
        if (*p < 0x20) {
            ++p;
        } else if (ValidPair(charset, p)) {
            o.Byte(p[0]);
            o.Byte(p[1]);
            p += 2;
        } else {
            p += single(charset, p, o);
        }
    }
    return o.End();
}

// Half width: every double-byte character becomes one byte (its ASCII form or a blank).
int Narrow(UINT charset, Bytes p, Out &o) {
    while (*p) {
        const unsigned b = *p;
        if (b < 0x20) {
            ++p;
        } else if (Strandkit_IsLeadByte(charset, b)) {
            if (!p[1]) break;  // half a character at the end: dropped
            unsigned c = ' ';
            if (charset == 128) {
                WORD i = Wordstrand_SjisIndex(p[0], p[1]);
                if (i < 278) c = g_wsSjisNarrow[i];
            } else if (charset == 136) {
                WORD i = Wordstrand_Big5Index(p[0], p[1]);
                if (i < 318) c = g_wsBig5Narrow[i];
            } else if (b == 0xA3 && p[1] >= 0xA1 && p[1] <= 0xFE) {
                c = p[1] - 0x80;
            }
            o.Byte(c);
            p += 2;
        } else if (charset == 128 && SjisKana(b)) {
            o.Byte(' ');
            ++p;
        } else {
            o.Byte(b);
            ++p;
        }
    }
    return o.End();
}

int Wide(UINT charset, const char *text, char *out) {
    if (!out) return 0;
    Out o{out, 0};
    Bytes p = reinterpret_cast<Bytes>(text ? text : "");
    switch (charset) {
    case 128: return Widen(charset, p, o, SjisSingle);
    case 129:
    case 134: return Widen(charset, p, o, KscGbSingle);
    case 136: return Widen(charset, p, o, Big5Single);
    default: return o.End();
    }
}

int Half(UINT charset, const char *text, char *out) {
    if (!out) return 0;
    Out o{out, 0};
    return Narrow(charset, reinterpret_cast<Bytes>(text ? text : ""), o);
}

HANDLE g_heap;

HANDLE Heap() {
    if (!g_heap) {
        HANDLE h = HeapCreate(0, 0, 0);
        if (h && InterlockedCompareExchangePointer(&g_heap, h, nullptr) != nullptr) HeapDestroy(h);
    }
    return g_heap;
}

}  // namespace

void *WsInt_Alloc(size_t size) {
    HANDLE h = Heap();
    return h ? HeapAlloc(h, HEAP_ZERO_MEMORY, size) : nullptr;
}

extern "C" {

WORD WINAPI Wordstrand_SjisIndex(BYTE lead, BYTE trail) {
    if (lead == 0x81 && trail == 0x40) return 0xFFFF;
    int i = (lead - 0x81) * 188 + (trail - 0x40);
    if (trail >= 0x80) i -= 1;
    if (lead >= 0xE0) i -= 64 * 188;  // the single-byte range 0xA0-0xDF holds no rows
    return WORD(i);
}

WORD WINAPI Wordstrand_KscIndex(BYTE lead, BYTE trail) {
    if (lead == 0xA1 && trail == 0xA1) return 0xFFFF;
    return WORD((lead - 0xA1) * 94 + (trail - 0xA1));
}

WORD WINAPI Wordstrand_Big5Index(BYTE lead, BYTE trail) {
    if (lead == 0xA1 && trail == 0x40) return 0xFFFF;
    WORD i = WORD((lead - 0xA1) * 156 + (trail <= 0x7E ? trail - 0x40 : trail - 0x63));
    return i > 0xC8FE ? WORD(i - 408) : i;
}

int WINAPI Wordstrand_SjisToWide(const char *text, char *out) { return Wide(128, text, out); }
int WINAPI Wordstrand_KscToWide(const char *text, char *out) { return Wide(129, text, out); }
int WINAPI Wordstrand_GbToWide(const char *text, char *out) { return Wide(134, text, out); }
int WINAPI Wordstrand_Big5ToWide(const char *text, char *out) { return Wide(136, text, out); }
int WINAPI Wordstrand_SjisToNarrow(const char *text, char *out) { return Half(128, text, out); }
int WINAPI Wordstrand_KscToNarrow(const char *text, char *out) { return Half(129, text, out); }
int WINAPI Wordstrand_GbToNarrow(const char *text, char *out) { return Half(134, text, out); }
int WINAPI Wordstrand_Big5ToNarrow(const char *text, char *out) { return Half(136, text, out); }

int WINAPI Wordstrand_ToFullWidth(UINT charset, const char *text, char *out, int count) {
    if (WsInt_IsDoubleByte(charset)) Wide(charset, text, out);
    return count;
}

int WINAPI Wordstrand_ToHalfWidth(UINT charset, const char *text, char *out) {
    return WsInt_IsDoubleByte(charset) ? Half(charset, text, out) : 0;
}

int WINAPI Wordstrand_MakeWidthVariants(const char *text, UINT charset, char **outNarrow, char **outWide, int count) {
    if (outNarrow) *outNarrow = nullptr;
    if (outWide) *outWide = nullptr;
    if (!text || !outNarrow || !outWide || !WsInt_IsDoubleByte(charset)) return 0;
    int len = 0, high = 0;
    for (; text[len]; ++len) high |= static_cast<unsigned char>(text[len]) >= 0x80;
    if (!high) return 0;
    char *narrow = static_cast<char *>(WsInt_Alloc(len + 1));
    char *wide = static_cast<char *>(WsInt_Alloc(2 * size_t(len) + 2));
    if (!narrow || !wide) {
        Wordstrand_Free(narrow);
        Wordstrand_Free(wide);
        return 0;
    }
    Half(charset, text, narrow);
    Wordstrand_ToFullWidth(charset, text, wide, count);
    int blankOnly = 1;
    for (const char *s = narrow; *s; ++s) blankOnly &= *s == ' ';
    if (blankOnly) {
        Wordstrand_Free(narrow);
        narrow = nullptr;
    }
    *outNarrow = narrow;
    *outWide = wide;
    return 1;
}

int WINAPI Wordstrand_Free(void *block) {
    return (block && g_heap) ? HeapFree(g_heap, 0, block) != 0 : 0;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // On FreeLibrary the heap goes with the library; at process exit the system takes it.
    if (reason == DLL_PROCESS_DETACH && !reserved && g_heap) {
        HeapDestroy(g_heap);
        g_heap = nullptr;
    }
    return TRUE;
}
