// The add-ins' common layer without its dialogs: page charset names, the colour of an RTF
// selection, the result's line end, placement packing, the registrar's script in the registry,
// the page note, the hand-over to a translation window of this test (kind 4), the engine's lists
// and translation through the translator driver dictionary, and the settings record.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "addin_common.h"
#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "support/testkit_wait.h"
#include "addin_fixtures.h"

namespace {

TEST(Charsets, NamesAndNumbersBothWays) {
    struct Case { const char *name; int charset; } const byName[] = {
        {"SHIFT_JIS", 128}, {"shift-jis", 128}, {"EUC-KR", 129}, {"windows-1258", 163}, {"windows-874", 222},
        {"utf-8", -1}, {"big5", 136}, {"iso-8859-7", 161}, {"no-such-charset", 0}, {"", 0},
    };
    for (const Case &c : byName) EXPECT_EQ(Addin_CharsetFromName(c.name), c.charset) << c.name;
    EXPECT_EQ(Addin_CharsetFromName(nullptr), 0);
    const Case byNumber[] = {
        {"iso-8859-1", 0}, {"shift_jis", 128}, {"euc-kr", 129}, {"gb2312", 134}, {"iso-8859-5", 204},
        {"windows-1258", 163}, {"unicode", -1}, {"iso-8859-2", 238}, {"iso-8859-1", 999},
    };
    for (const Case &c : byNumber) EXPECT_STREQ(Addin_CharsetName(c.charset), c.name) << c.charset;
}

TEST(RtfColour, TheFirstForegroundColourFromTheTable) {
    const char table[] = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red1\\green2\\blue3;}";
    struct Case { std::string rtf; COLORREF colour; const char *what; } const cases[] = {
        {std::string("{\\rtf1") + table + "\\cf2 blue text}", 0xFF0000, "entry 2 is blue"},
        {std::string("{\\rtf1") + table + "\\cf1 red}", 0x0000FF, "entry 1 is red"},
        {std::string("{\\rtf1") + table + "\\cf3 x\\cf1 y}", RGB(1, 2, 3), "the first \\cf counts"},
        {std::string("{\\rtf1") + table + "\\cfpat3 \\cf1 z}", 0x0000FF, "\\cfpat is no colour"},
        {std::string("{\\rtf1") + table + " plain}", 0, "no \\cf"},
        {std::string("{\\rtf1") + table + "\\cf4 past}", 0, "a table too short"},
        {"{\\rtf1\\cf1 no table}", 0, "no table"},
        {"{\\rtf1{\\colortbl;\\red9\\green8", 0, "cut short"},
    };
    for (const Case &c : cases) EXPECT_EQ(Addin_RtfColour(c.rtf.c_str(), c.rtf.size()), c.colour) << c.what;
    // the length bounds the reading: a terminator is not needed
    std::string cut = std::string("{\\rtf1") + table + "\\cf2";
    EXPECT_EQ(Addin_RtfColour(cut.data(), cut.size() - 1), 0u) << "\\cf without its digit";
    EXPECT_EQ(Addin_RtfColour(nullptr, 10), 0u);
}

TEST(Translation, TheResultsLastLineEndFollowsTheText) {
    struct Case { const wchar_t *text, *result, *kept; } const cases[] = {
        {L"abc", L"x\n", L"x"},
        {L"abc\n", L"x\n", L"x\n"},
        {L"abc", L"x\n\n", L"x\n"},
        {L"abc", L"x", L"x"},
        {L"", L"\n", L""},
    };
    for (const Case &c : cases) {
        std::wstring r = c.result;
        Addin_TrimResultLineEnd(c.text, &r);
        EXPECT_EQ(r, c.kept);
    }
}

TEST(Placement, PairsKeepTheirSigns) {
    struct Case { int low, high; DWORD packed; } const cases[] = {
        {100, 200, 0x00C80064}, {-1200, -50, 0xFFCEFB50}, {0, 0, 0}, {32767, -32768, 0x80007FFF},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Addin_PackPair(c.low, c.high), c.packed);
        int low = 0, high = 0;
        Addin_UnpackPair(c.packed, &low, &high);
        EXPECT_EQ(low, c.low);
        EXPECT_EQ(high, c.high);
    }
}

// ---- Registrar -----------------------------------------------------------------------------

const char kTestRoot[] = "Software\\VelosuiteAddinTest";

bool KeyExists(const std::string &path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

std::string ReadString(const std::string &path, const char *name) {
    char buf[512] = {};
    DWORD size = sizeof buf, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, &type, buf, &size) != ERROR_SUCCESS)
        return "<none>";
    return buf;
}

DWORD ReadDword(const std::string &path, const char *name) {
    DWORD v = 0xDEAD, size = sizeof v;
    RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &v, &size);
    return v;
}

TEST(Registrar, ScriptKeysComeAndGoSharedParentsStay) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
    // a shared parent with a value of someone else's, and a stale key that ForceRemove clears
    std::string shared = std::string(kTestRoot) + "\\Shared\\Toolbar";
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, shared.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    RegSetValueExA(k, "{other}", 0, REG_SZ, (const BYTE *)"Other", 6);
    RegCloseKey(k);
    std::string stale = std::string(kTestRoot) + "\\Classes\\{ID}\\Stale";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, stale.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    RegCloseKey(k);

    const std::string script =
        "HKCU\r\n{\r\n NoRemove Software\r\n {\r\n  NoRemove VelosuiteAddinTest\r\n  {\r\n"
        "   Prog.Id = s 'Thing Class'\r\n   {\r\n    CLSID = s '{ID}'\r\n   }\r\n"
        "   NoRemove Classes\r\n   {\r\n    ForceRemove {ID} = s 'Velomira'\r\n    {\r\n"
        "     InprocServer32 = s '%MODULE%'\r\n     {\r\n      val ThreadingModel = s 'Apartment'\r\n     }\r\n"
        "     'Quoted Name' = s 'it''s'\r\n     val LoadBehavior = d 3\r\n     val Hex = d 0x10\r\n    }\r\n   }\r\n"
        "   NoRemove Shared\r\n   {\r\n    NoRemove Toolbar\r\n    {\r\n     val {ID} = s 'Velomira'\r\n    }\r\n   }\r\n"
        "  }\r\n }\r\n}\r\n";
    ASSERT_EQ(Addin_RunScript(script, "C:\\Program Files\\Addin.dll", true), S_OK);
    std::string root = kTestRoot, cls = root + "\\Classes\\{ID}";
    EXPECT_EQ(ReadString(root + "\\Prog.Id", nullptr), "Thing Class");
    EXPECT_EQ(ReadString(root + "\\Prog.Id\\CLSID", nullptr), "{ID}");
    EXPECT_EQ(ReadString(cls, nullptr), "Velomira");
    EXPECT_EQ(ReadString(cls + "\\InprocServer32", nullptr), "C:\\Program Files\\Addin.dll");
    EXPECT_EQ(ReadString(cls + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(ReadString(cls + "\\Quoted Name", nullptr), "it's");
    EXPECT_EQ(ReadDword(cls, "LoadBehavior"), 3u);
    EXPECT_EQ(ReadDword(cls, "Hex"), 16u);
    EXPECT_FALSE(KeyExists(stale)) << "ForceRemove clears the key first";
    EXPECT_EQ(ReadString(shared, "{ID}"), "Velomira");

    ASSERT_EQ(Addin_RunScript(script, "C:\\Program Files\\Addin.dll", false), S_OK);
    EXPECT_FALSE(KeyExists(root + "\\Prog.Id"));
    EXPECT_FALSE(KeyExists(cls));
    EXPECT_TRUE(KeyExists(root + "\\Classes")) << "NoRemove keys stay";
    EXPECT_TRUE(KeyExists(shared));
    EXPECT_EQ(ReadString(shared, "{ID}"), "<none>");
    EXPECT_EQ(ReadString(shared, "{other}"), "Other") << "someone else's value stays";

    // A damaged script writes nothing at all.
    const char *damaged[] = {
        "HKCU { NoRemove Software { NoRemove VelosuiteAddinTest { Half = s 'x' { CLSID = s 'y' } ",
        "HKCU { NoRemove Software { NoRemove VelosuiteAddinTest { Bad = q 'x' } } }",
        "HKXX { Key = s 'x' }",
        "HKCU { NoRemove Software { NoRemove VelosuiteAddinTest { Open = s 'unterminated } } }",
    };
    for (const char *d : damaged) {
        EXPECT_EQ(Addin_RunScript(d, "m", true), E_UNEXPECTED) << d;
        EXPECT_FALSE(KeyExists(root + "\\Half"));
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
}

// ---- Note and hand-over ----------------------------------------------------------------------

TEST(Note, UsedOnceAndOnlyForItsAddress) {
    const std::string note = Addin_TempPath(ADDIN_NOTE_FILE);
    DWORD tran = 0, dic = 0;
    ASSERT_TRUE(Addin_WriteNote(0x3100, 0x3200, "http://example.org/a b"));
    std::vector<unsigned char> bytes = Testkit_ReadBytes(note);
    ASSERT_EQ(bytes.size(), 8u + 23u) << "two ids and the address with its terminator";
    EXPECT_EQ(Testkit_Get32(bytes, 0), 0x3100u);
    EXPECT_EQ(Testkit_Get32(bytes, 4), 0x3200u);
    EXPECT_TRUE(Addin_TakeNote("http://example.org/a b", &tran, &dic));
    EXPECT_EQ(tran, 0x3100u);
    EXPECT_EQ(dic, 0x3200u);
    EXPECT_FALSE(Testkit_Exists(note)) << "read once";
    EXPECT_FALSE(Addin_TakeNote("http://example.org/a b", &tran, &dic));

    ASSERT_TRUE(Addin_WriteNote(1, 2, "http://example.org/"));
    EXPECT_FALSE(Addin_TakeNote("http://example.org/other", &tran, &dic)) << "another page";
    EXPECT_FALSE(Testkit_Exists(note)) << "deleted in any case";

    // an address of 5000 bytes or more has no terminator within the bytes read: it matches nothing
    std::string longAddress = "http://x/" + std::string(5000, 'a');
    ASSERT_TRUE(Addin_WriteNote(1, 2, longAddress.c_str()));
    EXPECT_FALSE(Addin_TakeNote(longAddress.c_str(), &tran, &dic));
    EXPECT_FALSE(Testkit_Exists(note));
    std::string fits(4999, 'b');
    ASSERT_TRUE(Addin_WriteNote(7, 8, fits.c_str()));
    EXPECT_TRUE(Addin_TakeNote(fits.c_str(), &tran, &dic));
    EXPECT_EQ(tran, 7u);
    // a note cut short
    Testkit_WriteFile(note, std::string("\x01\x02\x03", 3));
    EXPECT_FALSE(Addin_TakeNote("", &tran, &dic));
    EXPECT_FALSE(Testkit_Exists(note));
}

TEST(HandOver, FileThenMessageToTheTranslationWindow) {
    addinfix::Receiver receiver;
    ASSERT_TRUE(receiver.window);
    // "honyaku" in Shift-JIS and a line end: text mode turns LF into CR LF on the disk
    const std::string text = "\x96\x7c\x96\xf3 first\nsecond";
    ASSERT_TRUE(Addin_HandOver(ADDIN_VLM_TRANSLATE_TEXT_FILE, ADDIN_TEXT_FILE, text, 0x3200, 0x3100));
    ASSERT_EQ(addinfix::g_seen.size(), 1u);
    EXPECT_EQ(addinfix::g_seen[0].msg, 0x8415u);
    EXPECT_EQ(addinfix::g_seen[0].wParam, 0x3200u) << "the dictionary id";
    EXPECT_EQ(addinfix::g_seen[0].lParam, 0x3100) << "the translator id";
    EXPECT_EQ(addinfix::g_seen[0].file, "\x96\x7c\x96\xf3 first\r\nsecond") << "the text without a terminator";

    ASSERT_TRUE(Addin_HandOver(ADDIN_VLM_TRANSLATE_RTF_FILE, ADDIN_RTF_FILE, "{\\rtf1 x}", 5, 6));
    ASSERT_EQ(addinfix::g_seen.size(), 2u);
    EXPECT_EQ(addinfix::g_seen[1].msg, 0x8414u);
    EXPECT_EQ(addinfix::g_seen[1].file, "{\\rtf1 x}");

    // A file that cannot be written: no message.
    std::string path = Addin_TempPath(ADDIN_TEXT_FILE);
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Addin_HandOver(ADDIN_VLM_TRANSLATE_TEXT_FILE, ADDIN_TEXT_FILE, "x", 1, 2));
    CloseHandle(lock);
    EXPECT_EQ(addinfix::g_seen.size(), 2u);
    DeleteFileA(path.c_str());
    DeleteFileA(Addin_TempPath(ADDIN_RTF_FILE).c_str());
}

// ---- Engine ----------------------------------------------------------------------------------

TEST(Engine, CountedStartListsAndTranslation) {
    addinfix::Catalogue catalogue;
    HINSTANCE self = GetModuleHandleA(nullptr);
    ASSERT_TRUE(Addin_EngineStart(self, "VLIEPLUGIN"));
    ASSERT_TRUE(Addin_EngineStart(self, "VLIEPLUGIN"));
    EXPECT_EQ(Addin_EngineUsers(), 2);
    EXPECT_TRUE(FindWindowA("VLIEPLUGINVLV8DICAPICLASS", nullptr)) << "the engine runs under the client name";

    std::vector<AddinEntry> translators = Addin_ListEntries(ADDIN_KIND_TRANSLATOR);
    ASSERT_EQ(translators.size(), 1u) << "the translator whose library is missing is left out";
    EXPECT_EQ(translators[0].id, 0x310000u);
    std::vector<AddinEntry> dictionaries = Addin_ListEntries(ADDIN_KIND_DICTIONARY);
    ASSERT_EQ(dictionaries.size(), 3u);
    EXPECT_EQ(dictionaries[0].name, "English-Japanese");
    EXPECT_EQ(dictionaries[1].id, 0x350000u);
    EXPECT_EQ(Addin_FindEntry(ADDIN_KIND_DICTIONARY, "\x98\x61\x89\x70\x8e\xab\x93\x54"), 0x350000u);
    EXPECT_EQ(Addin_FindEntry(ADDIN_KIND_DICTIONARY, "English"), 0x360000u) << "not the entry it begins";
    EXPECT_EQ(Addin_FindEntry(ADDIN_KIND_DICTIONARY, "English-Jap"), 0u) << "exact names only";
    EXPECT_EQ(Addin_FindEntry(ADDIN_KIND_TRANSLATOR, "English-Japanese"), 0u) << "the other list";

    AddinTranslator translator;
    EXPECT_FALSE(translator.Open(0x330000)) << "a translator that cannot be opened";
    ASSERT_TRUE(translator.Open(translators[0].id));
    EXPECT_EQ(translator.Charset(), 128);
    struct Case { const wchar_t *text, *translation; BYTE charset; } const cases[] = {
        {L"Good morning", L"\x304a\x306f\x3088\x3046\x3054\x3056\x3044\x307e\x3059", 128},  // ohayou gozaimasu
        {L"  ?\tGood night", L"\x304a\x3084\x3059\x307f\x306a\x3055\x3044", 128},  // leading blanks and ? skipped
        {L"\x8f9e\x66f8", L"Dictionary", 0},                                        // jisho
        {L"Thank you\n", L"\x3042\x308a\x304c\x3068\x3046\n", 128},                 // the line end stays
    };
    for (const Case &c : cases) {
        std::wstring out;
        BYTE charset = 0xFF;
        ASSERT_TRUE(Addin_TranslateWide(translator, c.text, &out, &charset));
        EXPECT_EQ(out, c.translation);
        EXPECT_EQ(charset, c.charset);
    }
    std::wstring out;
    EXPECT_FALSE(Addin_TranslateWide(translator, L" ? ?? \r\n", &out, nullptr)) << "only blanks and ?";
    EXPECT_FALSE(Addin_TranslateWide(translator, L"the", &out, nullptr)) << "an empty result";
    translator.Close();

    Addin_EngineStop();
    EXPECT_TRUE(FindWindowA("VLIEPLUGINVLV8DICAPICLASS", nullptr)) << "one user left";
    Addin_EngineStop();
    EXPECT_EQ(Addin_EngineUsers(), 0);
    EXPECT_FALSE(FindWindowA("VLIEPLUGINVLV8DICAPICLASS", nullptr)) << "stopped with the last user";
    Addin_EngineStop();
    EXPECT_EQ(Addin_EngineUsers(), 0);
}

// ---- Settings --------------------------------------------------------------------------------

TEST(Settings, DefaultsLoadAndSave) {
    std::string settings = Testkit_Cwd() + "\\settings.ini";
    Testkit_WriteFile(settings, "");
    Basekit_SettingsSetFile(settings.c_str());
    PluginSettings s;
    PluginSettings_Defaults(kWebbridgeProfile, &s);
    EXPECT_EQ(s.ShowTranslator, 1);
    EXPECT_EQ(s.ShowDictionary, 1);
    EXPECT_EQ(s.PopupWindow, 0);
    EXPECT_STREQ(s.DefaultTranslatorName, "");
    s.ShowTranslator = 0;
    EXPECT_FALSE(PluginSettings_Load(kWebbridgeProfile, &s)) << "no key yet";
    EXPECT_EQ(s.ShowTranslator, 0) << "nothing changed";

    ASSERT_TRUE(Basekit_SettingsWriteDword(kWebbridgeProfile.key, "PopupWindow", 7));
    PluginSettings_Defaults(kWebbridgeProfile, &s);
    ASSERT_TRUE(PluginSettings_Load(kWebbridgeProfile, &s));
    EXPECT_EQ(s.PopupWindow, 1) << "any non-zero value reads as 1";
    EXPECT_EQ(s.ShowDictionary, 1) << "a value not stored keeps its default";

    PluginSettings w = s;
    w.ShowTranslator = 0;
    w.ShowDictionary = 0;
    w.PopupWindow = 0;
    lstrcpyA(w.DefaultDictionaryName, "\x98\x61\x89\x70\x8e\xab\x93\x54");  // waei jiten
    lstrcpyA(w.DefaultTranslatorName, "Translator EJ");
    ASSERT_TRUE(PluginSettings_Save(kWebbridgeProfile, w));
    PluginSettings r;
    PluginSettings_Defaults(kWebbridgeProfile, &r);
    ASSERT_TRUE(PluginSettings_Load(kWebbridgeProfile, &r));
    EXPECT_EQ(r.ShowTranslator, 0);
    EXPECT_EQ(r.ShowDictionary, 0);
    EXPECT_EQ(r.PopupWindow, 0);
    EXPECT_STREQ(r.DefaultDictionaryName, w.DefaultDictionaryName);
    EXPECT_STREQ(r.DefaultTranslatorName, "Translator EJ");
    EXPECT_EQ(Basekit_SettingsReadDword(kWebbridgeProfile.key, "WholePageTran"), 0u) << "not the browser bar's";
    Basekit_SettingsSetFile(nullptr);
    DeleteFileA(settings.c_str());
}

}  // namespace
