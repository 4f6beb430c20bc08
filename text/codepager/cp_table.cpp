// The conversion-table path: text of a far-east code page to and from 16-bit text through the
// tables carried as resources, for systems that lack the code page.  Works on any module that
// holds the tables, so that it can be checked against the system conversion.
#include "codepager.h"
#include "codepager_int.h"

#include <string.h>
#include <wchar.h>

namespace {

const WCHAR kDefaultUnit = L'?';
const char kDefaultByte = '?';

// Code-page-1252 bytes 0x80-0x9F that stand for characters above 0xFF.
const struct { BYTE byte; WCHAR unit; } k1252Specials[] = {
    {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026}, {0x86, 0x2020},
    {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039},
    {0x8C, 0x0152}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D},
    {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122},
    {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9F, 0x0178},
};

WORD ReadU16(const BYTE *p)
{
    return WORD(p[0] | (p[1] << 8));
}

bool HasTable(UINT charset)
{
    return charset == 128 || charset == 129 || charset == 134 || charset == 136;
}

// Appends one output element; false (and the platform's error) when out is full.
template <class T> bool Put(T *out, int outSize, int *written, T value)
{
    if (out) {
        if (*written >= outSize) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return false;
        }
        out[*written] = value;
    }
    ++*written;
    return true;
}

}  // namespace

bool CpTableLoad(HMODULE module, UINT id, CpTable *table)
{
    if (!module) {
        return false;
    }
    HRSRC res = FindResourceExW(module, MAKEINTRESOURCEW(10) /* RCDATA */, MAKEINTRESOURCEW(id),
                                MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    HGLOBAL mem = res ? LoadResource(module, res) : nullptr;
    const BYTE *data = mem ? static_cast<const BYTE *>(LockResource(mem)) : nullptr;
    DWORD size = res ? SizeofResource(module, res) : 0;
    if (!data || size < 2) {
        OutputDebugStringA("Codepager: conversion table missing\n");
        return false;
    }
    UINT count = ReadU16(data);
    if (2 + 4 * DWORD(count) > size) {
        OutputDebugStringA("Codepager: conversion table damaged\n");
        return false;
    }
    table->count = count;
    table->keys = data + 2;
    table->values = data + 2 + 2 * count;
    return true;
}

bool CpTableFind(const CpTable &table, WORD key, WORD *value)
{
    UINT lo = 0, hi = table.count;
    while (lo < hi) {
        UINT mid = lo + (hi - lo) / 2;
        WORD k = ReadU16(table.keys + 2 * mid);
        if (k == key) {
            *value = ReadU16(table.values + 2 * mid);
            return true;
        }
        if (k < key) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return false;
}

// The table of one direction of a charset (resource id), or none for the Western charset, which
// is converted through code page 1252 by hand (tabled false); false for a charset with neither.
static bool OpenDirection(HMODULE module, UINT charset, UINT id, CpTable *table, bool *tabled)
{
    *tabled = HasTable(charset);
    return *tabled ? CpTableLoad(module, id, table) : CpCharsetToCodePage(charset) == 1252;
}

int CpTableToWide(HMODULE module, UINT charset, LPCSTR text, int byteCount, LPWSTR out,
                  int outCount)
{
    if (!text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CpTable table = {};
    bool tabled = false;
    if (!OpenDirection(module, charset, charset + 255, &table, &tabled)) {
        return 0;
    }
    if (!out || outCount <= 0) {
        out = nullptr;
    }
    const BYTE *p = reinterpret_cast<const BYTE *>(text);
    int n = byteCount > 0 ? byteCount : int(strlen(text)) + 1;
    int written = 0;
    for (int i = 0; i < n;) {
        BYTE b = p[i];
        WCHAR unit = b;
        WORD value = 0;
        if (tabled && Codepager_IsLeadByte(charset, b) && i + 1 < n &&
            Codepager_IsTrailByte(charset, p[i + 1])) {
            unit = CpTableFind(table, WORD(b | (p[i + 1] << 8)), &value) ? value : kDefaultUnit;
            i += 2;
        } else if (tabled && Codepager_IsMappedSingleByte(charset, b)) {
            unit = CpTableFind(table, WORD(b << 8), &value) ? value : kDefaultUnit;
            ++i;
        } else {
            if (!tabled) {
                for (const auto &s : k1252Specials) {
                    if (s.byte == b) {
                        unit = s.unit;
                    }
                }
            }
            ++i;
        }
        if (!Put(out, outCount, &written, unit)) {
            return 0;
        }
    }
    return written;
}

int CpTableFromWide(HMODULE module, UINT charset, LPCWSTR text, int unitCount, LPSTR out,
                    int outSize)
{
    if (!text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CpTable table = {};
    bool tabled = false;
    if (!OpenDirection(module, charset, charset, &table, &tabled)) {
        return 0;
    }
    if (!out || outSize <= 0) {
        out = nullptr;
    }
    int n = unitCount > 0 ? unitCount : int(wcslen(text)) + 1;
    int written = 0;
    for (int i = 0; i < n; ++i) {
        WCHAR u = text[i];
        char bytes[2] = {kDefaultByte, 0};
        int len = 1;
        WORD value = 0;
        if (u < 0x80) {
            bytes[0] = char(u);
        } else if (tabled) {
            if (CpTableFind(table, u, &value)) {
                if ((value & 0xFF) == 0) {
                    bytes[0] = char(value >> 8);
                } else {
                    bytes[0] = char(value & 0xFF);
                    bytes[1] = char(value >> 8);
                    len = 2;
                }
            }
        } else if (u < 0x100) {
            bytes[0] = char(u);
        } else {
            for (const auto &s : k1252Specials) {
                if (s.unit == u) {
                    bytes[0] = char(s.byte);
                }
            }
        }
        for (int k = 0; k < len; ++k) {
            if (!Put(out, outSize, &written, bytes[k])) {
                return 0;
            }
        }
    }
    return written;
}
