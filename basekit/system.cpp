// The operating-system code and number parsing.
#include "files_int.h"
#include "basekit.h"

#include <errno.h>
#include <stdint.h>

extern "C" int WINAPI Basekit_GetOsVersion(void)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return 0;
    DWORD major = info.dwMajorVersion, minor = info.dwMinorVersion;
    if (major < 4) return 0;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (major == 4) return minor == 0 ? 1 : minor == 10 ? 5 : minor == 90 ? 8 : 3;
        return major == 6 ? 10 : 3;
    }
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (major == 4) return 2;
        if (major == 5) return minor == 0 ? 6 : minor == 1 ? 7 : minor == 2 ? 9 : 4;
        return major == 6 ? 10 : 4;
    }
    return 0;
}

// Skips bytes below "!", takes one sign and the decimal digits up to the first non-digit.  The
// number wraps around on overflow.
extern "C" int WINAPI Basekit_ParseInt(const char *text)
{
    if (text == nullptr) return 0;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    while (*p != '\0' && *p < 0x21) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + (uint32_t)(*p - '0');
    return (int)(negative ? 0u - value : value);
}

namespace {

int DigitValue(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The C library's number conversion over 32 bits: *magnitude holds the digits' value clamped at
// limit (+1 marks an overflow).  Returns 0 when no digit was read; *end is set in every case.
int ParseDigits(const char *text, char **end, int base, bool *negative, uint64_t *magnitude)
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    *negative = false;
    *magnitude = 0;
    if (end) *end = const_cast<char *>(text);
    if (base < 0 || base == 1 || base > 36) {
        errno = EINVAL;
        return 0;
    }
    while (IsSpace(*p)) ++p;
    if (*p == '+' || *p == '-') *negative = *p++ == '-';
    if ((base == 0 || base == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        DigitValue(p[2]) < 16) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == '0' ? 8 : 10;
    }
    const unsigned char *first = p;
    uint64_t value = 0;
    for (int d; (d = DigitValue(*p)) < base; ++p) {
        if (value <= 0xFFFFFFFFull) value = value * (unsigned)base + (unsigned)d;
    }
    if (p == first) return 0;
    *magnitude = value;
    if (end) *end = reinterpret_cast<char *>(const_cast<unsigned char *>(p));
    return 1;
}

} // namespace

extern "C" LONG WINAPI Basekit_StrToLong(const char *text, char **end, int base)
{
    bool negative;
    uint64_t magnitude;
    if (text == nullptr || !ParseDigits(text, end, base, &negative, &magnitude)) return 0;
    if (!negative && magnitude > 0x7FFFFFFFull) {
        errno = ERANGE;
        return 0x7FFFFFFF;
    }
    if (negative && magnitude > 0x80000000ull) {
        errno = ERANGE;
        return (LONG)0x80000000u;
    }
    return negative ? (LONG)(0u - (uint32_t)magnitude) : (LONG)magnitude;
}

extern "C" ULONG WINAPI Basekit_StrToULong(const char *text, char **end, int base)
{
    bool negative;
    uint64_t magnitude;
    if (text == nullptr || !ParseDigits(text, end, base, &negative, &magnitude)) return 0;
    if (magnitude > 0xFFFFFFFFull) {
        errno = ERANGE;
        return 0xFFFFFFFFu;
    }
    return negative ? 0u - (uint32_t)magnitude : (uint32_t)magnitude;
}
