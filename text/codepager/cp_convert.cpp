// Conversions between a charset's code page and 16-bit text: the system's where it has the
// code page, the library's own tables otherwise.
#include "codepager.h"
#include "codepager_int.h"

int WINAPI Codepager_MultiByteToWide(UINT charset, LPCSTR text, int byteCount, LPWSTR out,
                                     int outCount)
{
    if (!text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!out) {
        outCount = 0;
    }
    UINT cp = CpCharsetToCodePage(charset);
    if (IsValidCodePage(cp)) {
        return MultiByteToWideChar(cp, 0, text, byteCount > 0 ? byteCount : -1, out, outCount);
    }
    return CpTableToWide(g_cpModule, charset, text, byteCount, out, outCount);
}

int WINAPI Codepager_WideToMultiByte(UINT charset, DWORD flags, LPCWSTR text, int unitCount,
                                     LPSTR out, int outSize)
{
    if (flags != 0 || !text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!out) {
        outSize = 0;
    }
    UINT cp = CpCharsetToCodePage(charset);
    if (IsValidCodePage(cp)) {
        // No default character given: the code page's own one replaces what it cannot hold.
        return WideCharToMultiByte(cp, 0, text, unitCount > 0 ? unitCount : -1, out, outSize,
                                   nullptr, nullptr);
    }
    return CpTableFromWide(g_cpModule, charset, text, unitCount, out, outSize);
}
