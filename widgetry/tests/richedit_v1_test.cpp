// The rich-edit field on a system without RICHED20.dll (its load made to fail inside the
// library), and with the Active IMM key of the machine present: the older class and format size,
// and fields that still work through the input-method layer.
#include <gtest/gtest.h>

#include "fieldkit.h"
#include "support/testkit_faults.h"

using namespace fieldkit;

namespace {

typedef HMODULE(WINAPI *LoadLibraryProc)(LPCSTR);
LoadLibraryProc g_loadLibrary;

HMODULE WINAPI LoadWithoutRichEdit2(LPCSTR name)
{
    if (lstrcmpiA(name, "RICHED20.dll") == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return g_loadLibrary(name);
}

const char kImmKey[] = "Software\\Microsoft\\Active IMM";

TEST(RichEditVersion1, FallsBackToTheOlderLibrary)
{
    void **slot = testkit_faults::ImportSlot(GetModuleHandleA("Widgetry.dll"), "LoadLibraryA");
    ASSERT_NE(nullptr, slot);
    g_loadLibrary = (LoadLibraryProc)*slot;
    ASSERT_TRUE(testkit_faults::Rebind(slot, (void *)&LoadWithoutRichEdit2));
    EXPECT_TRUE(Widgetry_RichEditInit());
    testkit_faults::Rebind(slot, (void *)g_loadLibrary);

    char name[32];
    EXPECT_EQ(8, Widgetry_GetRichEditClass(name));
    EXPECT_STREQ("RICHEDIT", name);
    HWND parent = MakeParent();
    HWND field = MakeField(parent);
    ASSERT_NE(nullptr, field);
    char className[32];
    GetClassNameA(field, className, sizeof className);
    EXPECT_STREQ("RICHEDIT", className);
    CHARFORMAT2A format = {};
    Widgetry_GetCharFormat(field, FALSE, &format);
    EXPECT_EQ(60u, format.cbSize);
    Widgetry_StreamInRichEdit(field, SF_TEXT, "version one", -1);
    EXPECT_EQ("version one", Out(field, SF_TEXT));
    DestroyWindow(parent);
    Widgetry_RichEditTerm();
}

TEST(RichEditVersion1, FieldsWorkThroughActiveImm)
{
    HKEY key;
    bool made = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kImmKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr) == ERROR_SUCCESS;
    ASSERT_TRUE(made);
    RegCloseKey(key);
    EXPECT_TRUE(Widgetry_RichEditInit());
    EXPECT_TRUE(Widgetry_ImmActivate());
    HWND parent = MakeParent();
    HWND field = MakeField(parent);
    ASSERT_NE(nullptr, field);
    SendMessageA(field, WM_CHAR, 'k', 1);
    SendMessageA(field, WM_CHAR, 'y', 1);
    EXPECT_EQ("ky", Out(field, SF_TEXT));
    Widgetry_StreamInRichEdit(field, SF_TEXT, "\x93\xfa\x96\x7b", -1);   // "Nihon" in Shift-JIS
    MSG msg = {field, WM_KEYDOWN, 'A', 1};
    Widgetry_ImmTranslateMessage(&msg);   // answered by the layer either way; must not fail
    DestroyWindow(field);
    Widgetry_ImmDeactivate();
    DestroyWindow(parent);
    Widgetry_RichEditTerm();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kImmKey);
}

}  // namespace
