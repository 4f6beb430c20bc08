// The Japanese driver's phonetic data: the file named by "PhoneDataFile" in the language key is
// opened beside the driver at attach, exports 8 and 9 pass through, and the detach closes it once.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

namespace {

const char kKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\0400";

// A phonetic data file with one block: key 7 -> "hello".
void WritePhoneFile(const char *path) {
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

typedef DWORD(WINAPI *Phone1)(DWORD);
typedef DWORD_PTR(WINAPI *Phone2)(DWORD_PTR, DWORD_PTR);

TEST(JapanesePhonetics, FileNamedInTheLanguageKey) {
    char self[MAX_PATH];
    GetModuleFileNameA(LoadLibraryA("lingo_ja.dll"), self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, "lingo_jacopy.dll", FALSE));
    WritePhoneFile("ja_phone.dat");
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    RegSetValueExA(k, "PhoneDataFile", 0, REG_SZ, (const BYTE *)"ja_phone.dat", 13);
    RegCloseKey(k);
    HMODULE m = LoadLibraryA("lingo_jacopy.dll");
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    ASSERT_NE(m, nullptr);
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    Phone2 data = (Phone2)GetProcAddress(m, MAKEINTRESOURCEA(9));
    EXPECT_EQ(lookup(7), 6u);
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
    EXPECT_FALSE(DeleteFileA("ja_phone.dat"));  // held open while the driver is loaded
    FreeLibrary(m);
    EXPECT_TRUE(DeleteFileA("ja_phone.dat"));
    DeleteFileA("lingo_jacopy.dll");
}

}  // namespace
