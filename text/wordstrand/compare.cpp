// Unsigned comparisons of byte and 16-bit strings from the start or the end, and match grades.
#include "wordstrand_int.h"

namespace {

const UINT kFromEnd = 0x8000;

template <class T> int Len(const T *s) {
    int n = 0;
    if (s)
        while (s[n]) ++n;
    return n;
}

template <class T> int Sign(T a, T b) { return a < b ? -1 : (a > b ? 1 : 0); }

// From the start over at most limit units (limit < 0: no limit); a proper prefix sorts first.
template <class T> int FromStart(const T *a, const T *b, int limit) {
    static const T empty[1] = {0};
    if (!a) a = empty;
    if (!b) b = empty;
    for (int i = 0; limit < 0 || i < limit; ++i) {
        if (a[i] != b[i] || !a[i]) return Sign(a[i], b[i]);
    }
    return 0;
}

// From the end over at most limit units (limit < 0: no limit); a proper suffix sorts first.
// Two empty strings are equal.
template <class T> int FromEnd(const T *a, const T *b, int limit) {
    const int la = Len(a), lb = Len(b);
    if (la == 0 || lb == 0) return Sign(la, lb);
    for (int i = 1; limit < 0 || i <= limit; ++i) {
        if (i > la || i > lb) return Sign(la, lb);
        if (a[la - i] != b[lb - i]) return Sign(a[la - i], b[lb - i]);
    }
    return 0;
}

template <class T> int Dispatch(UINT flags, const T *a, const T *b, int length) {
    const int limit = length > 0 ? length : -1;
    return (flags & kFromEnd) ? FromEnd(a, b, limit) : FromStart(a, b, limit);
}

typedef const unsigned char *Bytes;
inline Bytes B(const char *s) { return reinterpret_cast<Bytes>(s); }

}  // namespace

extern "C" {

int WINAPI Wordstrand_CompareString(const char *a, const char *b) { return FromStart(B(a), B(b), -1); }
int WINAPI Wordstrand_CompareStringN(const char *a, const char *b, int n) { return n > 0 ? FromStart(B(a), B(b), n) : 0; }
int WINAPI Wordstrand_CompareReverse(const char *a, const char *b) { return FromEnd(B(a), B(b), -1); }
int WINAPI Wordstrand_CompareReverseN(const char *a, const char *b, int n) { return n > 0 ? FromEnd(B(a), B(b), n) : 0; }
int WINAPI Wordstrand_Compare(UINT flags, const char *a, const char *b, int length) { return Dispatch(flags, B(a), B(b), length); }
int WINAPI Wordstrand_Length(const char *a) { return Len(a); }

int WINAPI Wordstrand_CompareWide(const WCHAR *a, const WCHAR *b) { return FromStart(a, b, -1); }
int WINAPI Wordstrand_CompareWideN(const WCHAR *a, const WCHAR *b, int n) { return n > 0 ? FromStart(a, b, n) : 0; }
int WINAPI Wordstrand_CompareWideReverse(const WCHAR *a, const WCHAR *b) { return FromEnd(a, b, -1); }
int WINAPI Wordstrand_CompareWideReverseN(const WCHAR *a, const WCHAR *b, int n) { return n > 0 ? FromEnd(a, b, n) : 0; }
int WINAPI Wordstrand_CompareWideEx(UINT flags, const WCHAR *a, const WCHAR *b, int length) { return Dispatch(flags, a, b, length); }

DWORD WINAPI Wordstrand_MatchGrade(int length1, int length2, int score) {
    const int longer = length1 > length2 ? length1 : length2;
    if (longer <= 0) return 0x10000000;  // two empty strings are equal
    const int average = score / longer;
    if (average == 100) return 0x10000000;
    if (average > 94) return 0x20000000;
    if (average >= 66) return 0x30000000;
    return 0x40000000;
}

}  // extern "C"
