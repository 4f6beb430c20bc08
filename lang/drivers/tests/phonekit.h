// Shared pieces of the language drivers' phonetic-data tests: a data file of one block, a copy of
// a driver loaded while its language key names a data file, and the check that exports 8 and 9
// pass the block through.  Header only.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

typedef DWORD(WINAPI *Phone1)(DWORD);
typedef DWORD_PTR(WINAPI *Phone2)(DWORD_PTR, DWORD_PTR);

// A phonetic data file with one block: key 7 -> "hello".
inline void WritePhoneFile(const char *path)
{
    BYTE f[53] = {};
    DWORD v[] = {1, 1, 32, 53, 7, 0, 48, 5};
    memcpy(f, "VLPHONE1", 8);
    memcpy(f + 8, v, 16);       // version, count, directory offset, file size
    memcpy(f + 32, v + 4, 16);  // key 7, kind 0, data offset 48, length 5
    memcpy(f + 48, "hello", 5);
    FILE *out = fopen(path, "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f, 1, sizeof f, out);
    fclose(out);
}

// Loads copy, a copy of the driver library driver, while the language key of language (such as
// "0100") names file as its phonetic data (none when null); the key is removed again.
inline HMODULE LoadWithPhoneFile(const char *driver, const char *copy, const char *language, const char *file)
{
    char self[MAX_PATH];
    GetModuleFileNameA(LoadLibraryA(driver), self, MAX_PATH);
    EXPECT_TRUE(CopyFileA(self, copy, FALSE));
    std::string key = std::string("SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\") + language;
    HKEY k;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    if (file) RegSetValueExA(k, "PhoneDataFile", 0, REG_SZ, (const BYTE *)file, (DWORD)strlen(file) + 1);
    RegCloseKey(k);
    HMODULE m = LoadLibraryA(copy);
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    return m;
}

// Exports 8 and 9 of a driver loaded over the file of WritePhoneFile: the block's length and its
// bytes, with the request and the size at the top of the address space (above 4 GB on x64) so
// that an address cut to 32 bits on the way shows.
inline void ExpectPhoneBlockPassesThrough(HMODULE m)
{
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    Phone2 data = (Phone2)GetProcAddress(m, MAKEINTRESOURCEA(9));
    ASSERT_TRUE(lookup && data);
    EXPECT_EQ(lookup(7), 6u);  // the block's length + 1
    EXPECT_EQ(lookup(8), 0u);
    BYTE *high = (BYTE *)VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_READWRITE);
    ASSERT_NE(high, nullptr);
    BYTE *request = high;  // 108 bytes, the key in the second field
    request[4] = 7;
    DWORD *size = (DWORD *)(high + 128);
    HGLOBAL block = (HGLOBAL)data((DWORD_PTR)request, (DWORD_PTR)size);
    EXPECT_EQ(*size, 5u);
    VirtualFree(high, 0, MEM_RELEASE);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(memcmp(GlobalLock(block), "hello", 5), 0);
    GlobalUnlock(block);
    GlobalFree(block);
}
