// Comparing and searching escape-tagged text, and the plain unsigned byte order.
#include "strandkit_int.h"

namespace {

const DWORD kCollateFlags = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS |
                            NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH | SORT_STRINGSORT;
static_assert(kCollateFlags == 0x31007, "collation flags of tagged compares");

// A tag-free copy of a tagged string: in a small inline buffer, or on the local heap.
struct Stripped {
    char inline_[256];
    char *text = nullptr;
    char *heap = nullptr;

    explicit Stripped(const char *tagged) {
        int len = Strandkit_StripCharsetTags(-1, tagged, nullptr);
        if (len < int(sizeof inline_)) {
            text = inline_;
        } else {
            heap = static_cast<char *>(LocalAlloc(LMEM_FIXED, len + 1));
            text = heap;
        }
        if (text) Strandkit_StripCharsetTags(-1, tagged, text);
    }
    ~Stripped() {
        if (heap) LocalFree(heap);
    }
    Stripped(const Stripped &) = delete;
    Stripped &operator=(const Stripped &) = delete;
};

// Skips the tags at p, updating the charset they set.
const char *SkipTags(const char *p, UINT &charset) {
    for (;;) {
        int tag = StrandkitInt_TagLength(p);
        if (tag) {
            if (tag == 4) charset = StrandkitInt_HexByte(p + 2);
            p += tag;
        } else if (*p == STRANDKIT_ESC) {
            ++p;  // a lone ESC switches nothing
        } else {
            return p;
        }
    }
}

// 1 when the pattern matches the text at t, character by character, tags skipped on both sides.
int MatchAt(const char *t, UINT tcs, const char *p, UINT pcs) {
    for (;;) {
        t = SkipTags(t, tcs);
        p = SkipTags(p, pcs);
        if (!*p) return 1;
        if (!*t) return 0;
        const int tlen = StrandkitInt_CharLen(tcs, t);
        const int plen = StrandkitInt_CharLen(pcs, p);
        if (tlen == 2) {
            if (plen != 2 || pcs != tcs || t[0] != p[0] || t[1] != p[1]) return 0;
        } else {
            if (StrandkitInt_IsLead(pcs, static_cast<unsigned char>(*p)) || t[0] != p[0]) return 0;
        }
        t += tlen;
        p += plen;
    }
}

}  // namespace

extern "C" {

int WINAPI Strandkit_CompareBytes(const char *a, const char *b) {
    const unsigned char *x = reinterpret_cast<const unsigned char *>(a ? a : "");
    const unsigned char *y = reinterpret_cast<const unsigned char *>(b ? b : "");
    while (*x && *x == *y) {
        ++x;
        ++y;
    }
    return *x < *y ? -1 : (*x > *y ? 1 : 0);
}

int WINAPI Strandkit_CompareTagged(const char *a, const char *b) {
    if (!a) a = "";
    if (!b) b = "";
    const UINT ca = Strandkit_GetMainCharset(a);
    const UINT cb = Strandkit_GetMainCharset(b);
    if (ca != cb) return int(ca) - int(cb);
    Stripped sa(a), sb(b);
    if (!sa.text || !sb.text) return Strandkit_CompareBytes(a, b);  // out of memory: raw bytes
    if (ca == StrandkitInt_UiCharset()) return lstrcmpA(sa.text, sb.text);
    if (LCID locale = StrandkitInt_CharsetLocale(ca)) {
        switch (CompareStringA(locale, kCollateFlags, sa.text, -1, sb.text, -1)) {
        case CSTR_LESS_THAN: return -1;
        case CSTR_EQUAL: return 0;
        case CSTR_GREATER_THAN: return 1;
        default: break;  // failed: byte order below
        }
    }
    return Strandkit_CompareBytes(sa.text, sb.text);
}

int WINAPI Strandkit_FindTagged(const char *text, const char *pattern) {
    if (!text || !*text || !pattern || !*pattern) return 0;
    UINT pcs = 0;
    const char *p = SkipTags(pattern, pcs);
    if (!*p) return 0;  // a pattern of tags alone holds nothing to find
    UINT tcs = 0;
    for (const char *t = text;;) {
        t = SkipTags(t, tcs);
        if (!*t) return 0;
        if (tcs == pcs || static_cast<unsigned char>(*t) < 0x80) {
            if (MatchAt(t, tcs, p, pcs)) return 1;
        }
        t += StrandkitInt_CharLen(tcs, t);
    }
}

}  // extern "C"
