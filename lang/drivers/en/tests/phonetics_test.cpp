// The phonetic data of a driver: the file named by "PhoneDataFile" in the language key is opened
// beside the driver through the phonetic library on first use, and exports 8 and 9 pass through.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "lingodriver.h"

namespace {

const char kKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\0100";

void Put32(std::vector<BYTE> &b, size_t at, DWORD v) { memcpy(&b[at], &v, 4); }

// A phonetic data file with one block: key 7 -> "hello".
void WritePhoneFile(const char *path) {
    std::vector<BYTE> f(32 + 16, 0);
    memcpy(&f[0], "VLPHONE1", 8);
    Put32(f, 8, 1);
    Put32(f, 12, 1);
    Put32(f, 16, 32);
    Put32(f, 32, 7);
    Put32(f, 36, 0);
    Put32(f, 40, (DWORD)f.size());
    Put32(f, 44, 5);
    f.insert(f.end(), {'h', 'e', 'l', 'l', 'o'});
    Put32(f, 20, (DWORD)f.size());
    FILE *out = fopen(path, "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f.data(), 1, f.size(), out);
    fclose(out);
}

// Loads a copy of the driver while the language key names `file` (the key is removed again).
HMODULE LoadWithPhoneFile(const char *copy, const char *file) {
    char self[MAX_PATH];
    GetModuleFileNameA(LoadLibraryA("lingo_en.dll"), self, MAX_PATH);
    EXPECT_TRUE(CopyFileA(self, copy, FALSE));
    HKEY k;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    if (file)
        RegSetValueExA(k, "PhoneDataFile", 0, REG_SZ, (const BYTE *)file, (DWORD)strlen(file) + 1);
    RegCloseKey(k);
    HMODULE m = LoadLibraryA(copy);
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    return m;
}

typedef DWORD(WINAPI *Phone1)(DWORD);
typedef DWORD_PTR(WINAPI *Phone2)(DWORD_PTR, DWORD_PTR);

TEST(Phonetics, FileNamedInTheLanguageKey) {
    WritePhoneFile("en_phone.dat");
    HMODULE m = LoadWithPhoneFile("lingo_phone.dll", "en_phone.dat");
    ASSERT_NE(m, nullptr);
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    Phone2 data = (Phone2)GetProcAddress(m, MAKEINTRESOURCEA(9));
    EXPECT_EQ(lookup(7), 6u);  // the block's length + 1
    EXPECT_EQ(lookup(8), 0u);
    // The request and the size at the top of the address space (above 4 GB on x64), so that an
    // address cut to 32 bits on the way shows.
    BYTE *high = (BYTE *)VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN,
                                      PAGE_READWRITE);
    ASSERT_NE(high, nullptr);
    BYTE *request = high;  // 108 bytes, the key in the second field
    request[4] = 7;
    DWORD *size = (DWORD *)(high + 128);
    HGLOBAL block = (HGLOBAL)data((DWORD_PTR)request, (DWORD_PTR)size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(*size, 5u);
    VirtualFree(high, 0, MEM_RELEASE);
    EXPECT_EQ(memcmp(GlobalLock(block), "hello", 5), 0);
    GlobalUnlock(block);
    GlobalFree(block);
    FreeLibrary(m);
    DeleteFileA("lingo_phone.dll");
    DeleteFileA("en_phone.dat");
}

TEST(Phonetics, NoFileGivesTheEmptyHandle) {
    HMODULE m = LoadWithPhoneFile("lingo_nophone.dll", nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(((Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8)))(7), 0u);
    FreeLibrary(m);
    DeleteFileA("lingo_nophone.dll");
}

}  // namespace
