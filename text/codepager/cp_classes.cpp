// Byte classes of the far-east charsets and the charset -> code page table.
#include "codepager.h"
#include "codepager_int.h"

BOOL WINAPI Codepager_IsLeadByte(UINT charset, BYTE b)
{
    switch (charset) {
    case 128: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 129:
    case 134:
    case 136: return b >= 0xA1 && b <= 0xFE;
    default: return FALSE;
    }
}

BOOL WINAPI Codepager_IsTrailByte(UINT charset, BYTE b)
{
    switch (charset) {
    case 128: return b >= 0x40 && b <= 0xFC;
    case 129:
    case 134: return b >= 0xA1 && b <= 0xFE;
    case 136: return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
    default: return FALSE;
    }
}

BOOL WINAPI Codepager_IsMappedSingleByte(UINT charset, BYTE b)
{
    return charset == 128 && b >= 0xA0 && b <= 0xDF;
}

UINT CpCharsetToCodePage(UINT charset)
{
    static const struct { UINT charset, codePage; } kPages[] = {
        {128, 932}, {129, 949}, {130, 1361}, {134, 936}, {136, 950}, {161, 1253}, {162, 1254},
        {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 866}, {222, 874}, {238, 1250},
    };
    for (const auto &p : kPages) {
        if (p.charset == charset) {
            return p.codePage;
        }
    }
    return 1252;
}
