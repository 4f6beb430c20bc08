// Shared inside the code-page library: the charset table, the conversion-table path and the
// library's state.
#ifndef CODEPAGER_INT_H
#define CODEPAGER_INT_H

#include <windows.h>

// The code page of a charset (far-east charsets and the 125x family; 2 and unknown: 1252).
UINT CpCharsetToCodePage(UINT charset);

// One conversion table as stored in the library's resources: count keys, then count values.
struct CpTable {
    const BYTE *keys;
    const BYTE *values;
    UINT count;
};

// Finds the table with this resource id in module (language 2052).  0 when missing or damaged.
bool CpTableLoad(HMODULE module, UINT id, CpTable *table);
// Binary search of a key; true and *value when found.
bool CpTableFind(const CpTable &table, WORD key, WORD *value);

// The table path of the conversions, with the platform's conventions: count 0 or less = the
// whole string with its NUL; out null or size 0 = a size query; too small = 0.  module holds the
// tables (the library's own module in production).
int CpTableToWide(HMODULE module, UINT charset, LPCSTR text, int byteCount, LPWSTR out,
                  int outCount);
int CpTableFromWide(HMODULE module, UINT charset, LPCWSTR text, int unitCount, LPSTR out,
                    int outSize);

// The library's module, set at attach.
extern HMODULE g_cpModule;
// Guards the default-font table.
extern CRITICAL_SECTION g_cpLock;

#endif
