// The settings layer in both stores: one table of cases that must behave alike, the settings
// file's exact layout, sub-keys with double-byte names, tree copies and damaged input.
// Runs under code page 932.
#include <gtest/gtest.h>
#include "basekit.h"
#include "support/testkit_faults.h"
#include "support/testkit_files.h"
#include "support/testkit_process.h"

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const char kRoot[] = "HKEY_LOCAL_MACHINE\\";

// A unique key below the suite's test area, and a unique settings file in the working folder.
std::string TestKey(const char *what)
{
    char buf[128];
    snprintf(buf, sizeof buf, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Test%s%lu", what,
             (unsigned long)GetCurrentProcessId());
    return buf;
}

// ---- Both stores --------------------------------------------------------------------------------

class BothStores : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        key_ = TestKey("Both");
        full_ = kRoot + key_;
        file_ = "both-" + std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(file_.c_str());
        if (GetParam()) Basekit_SettingsSetFile(file_.c_str());
    }
    void TearDown() override
    {
        Basekit_SettingsSetFile(nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
        DeleteFileA(file_.c_str());
    }
    bool FileMode() const { return GetParam(); }
    std::string key_, full_, file_;
};

TEST_P(BothStores, NumbersReadBackThroughEveryReadWhicheverWriteAndPathForm)
{
    struct Case {
        const char *name;
        DWORD value;
        int how;   // 0 WriteDword relative, 1 WriteDword full form, 2 SetValue on a created key
    } cases[] = {
        {"A", 5, 0}, {"B", 0xFFFFFFFFu, 1}, {"C", 0xFFFFFFFFu, 2}, {"D", 0, 0}, {"E", 0x12AB, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.how == 2) {
            SettingsKey k = Basekit_SettingsCreateKey(nullptr, key_.c_str());
            ASSERT_NE(k, nullptr);
            EXPECT_EQ(Basekit_SettingsSetValue(k, c.name, REG_DWORD, &c.value), 0);
            Basekit_SettingsCloseKey(k);
        } else {
            EXPECT_NE(Basekit_SettingsWriteDword(c.how ? full_.c_str() : key_.c_str(), c.name, c.value), 0);
        }
        EXPECT_EQ(Basekit_SettingsReadDword(key_.c_str(), c.name), c.value);
        SettingsKey k = Basekit_SettingsOpenKey(c.how ? key_.c_str() : full_.c_str());
        ASSERT_NE(k, nullptr);
        BYTE buf[MAX_PATH];
        DWORD type = 0;
        EXPECT_EQ(Basekit_SettingsQueryValue(k, c.name, &type, buf), 0);
        EXPECT_EQ(type, (DWORD)REG_DWORD);
        DWORD got;
        memcpy(&got, buf, 4);
        EXPECT_EQ(got, c.value);
        Basekit_SettingsCloseKey(k);
    }
    // A value name is needed for a number.
    EXPECT_EQ(Basekit_SettingsWriteDword(key_.c_str(), "", 1), 0);
    EXPECT_EQ(Basekit_SettingsWriteDword(key_.c_str(), nullptr, 1), 0);
}

TEST_P(BothStores, StringsAndMissingValues)
{
    EXPECT_NE(Basekit_SettingsWriteString(full_.c_str(), "Name", "text"), 0);
    char buf[16];
    EXPECT_EQ(Basekit_SettingsReadString(key_.c_str(), "name", buf, sizeof buf), 1);   // names without case
    EXPECT_STREQ(buf, "text");

    // Missing value, missing key: 0 and every byte of the buffer zero.
    const char *missing[][2] = {{key_.c_str(), "Nope"}, {"SOFTWARE\\Halvenstone\\NoSuchKey", "Name"}};
    for (auto &m : missing) {
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(Basekit_SettingsReadString(m[0], m[1], buf, sizeof buf), 0);
        EXPECT_EQ(std::string(buf, sizeof buf), std::string(sizeof buf, '\0'));
        EXPECT_EQ(Basekit_SettingsReadDword(m[0], m[1]), 0u);
    }
    // A small buffer: nothing is written past its size, whatever the read finds.
    for (const char *name : {"Nope", "Name"}) {
        memset(buf, 'x', sizeof buf);
        Basekit_SettingsReadString(key_.c_str(), name, buf, 3);
        EXPECT_EQ(std::string(buf + 3, sizeof buf - 3), std::string(sizeof buf - 3, 'x')) << name;
    }
    // A number is not text and text is not a number.
    EXPECT_EQ(Basekit_SettingsReadDword(key_.c_str(), "Name"), 0u);

    // The empty string is a value in the registry, but reads as missing from the settings file.
    EXPECT_NE(Basekit_SettingsWriteString(key_.c_str(), "Empty", ""), 0);
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(Basekit_SettingsReadString(key_.c_str(), "Empty", buf, sizeof buf), FileMode() ? 0 : 1);
    EXPECT_EQ(buf[0], '\0');

    // The default value: null and empty names.
    EXPECT_NE(Basekit_SettingsWriteString(key_.c_str(), nullptr, "dflt"), 0);
    EXPECT_EQ(Basekit_SettingsReadString(key_.c_str(), "", buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "dflt");
    EXPECT_EQ(Basekit_SettingsWriteString(key_.c_str(), "X", nullptr), 0);
}

TEST_P(BothStores, KeysSubkeysAndValuesThroughHandles)
{
    SettingsKey k = Basekit_SettingsCreateKey(nullptr, key_.c_str());
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(Basekit_SettingsSetValue(k, nullptr, REG_SZ, "keep"), 0);
    EXPECT_EQ(Basekit_SettingsSetValue(k, "Str", REG_SZ, "abc"), 0);
    SettingsKey a = Basekit_SettingsCreateKey(k, "Alpha");
    SettingsKey b = Basekit_SettingsCreateKey(k, "Beta\\Deeper");   // two levels at once
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    Basekit_SettingsCloseKey(a);
    Basekit_SettingsCloseKey(b);
    Basekit_SettingsCloseKey(k);

    // Creating an existing key again keeps its values, the default one included.
    k = Basekit_SettingsCreateKey(nullptr, key_.c_str());
    ASSERT_NE(k, nullptr);
    char buf[MAX_PATH];
    DWORD type = 0;
    EXPECT_EQ(Basekit_SettingsQueryValue(k, "", &type, buf), 0);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_NE(Basekit_SettingsQueryValue(k, "Nope", &type, buf), 0);

    // Values: the registry lists the default value with an empty name, the file as "@".
    std::vector<std::string> names;
    int n = Basekit_SettingsCountValues(k);
    for (int i = 0; i < n; i++) {
        int len = Basekit_SettingsEnumValue(k, i, buf);
        EXPECT_EQ(len, (int)strlen(buf));
        names.push_back(buf);
    }
    EXPECT_EQ(Basekit_SettingsEnumValue(k, n, buf), 0);
    EXPECT_EQ(names, (std::vector<std::string>{FileMode() ? "@" : "", "Str"}));
    EXPECT_EQ(Basekit_SettingsDeleteValue(k, "Str"), 0);
    EXPECT_EQ(Basekit_SettingsCountValues(k), 1);

    // Sub-keys: by handle and by full path; Beta exists in the registry as a key of its own but in
    // the file only as the path of Beta\Deeper, so it is a sub-key in the registry only.
    int expect = FileMode() ? 1 : 2;
    EXPECT_EQ(Basekit_SettingsKeyCountSubkeys(k), expect);
    EXPECT_EQ(Basekit_SettingsCountSubkeys(full_.c_str()), expect);
    EXPECT_EQ(Basekit_SettingsEnumSubkey(full_.c_str(), 0, buf), 5);
    EXPECT_EQ(_stricmp(buf, "Alpha"), 0);
    EXPECT_EQ(Basekit_SettingsEnumSubkey(full_.c_str(), expect, buf), 0);
    SettingsKey sub = Basekit_SettingsOpenSubkey(k, 0, buf);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(_stricmp(buf, "Alpha"), 0);
    EXPECT_EQ(Basekit_SettingsSetValue(sub, "V", REG_SZ, "in alpha"), 0);
    Basekit_SettingsCloseKey(sub);
    EXPECT_EQ(Basekit_SettingsOpenSubkey(k, expect, buf), nullptr);
    char got[32];
    EXPECT_EQ(Basekit_SettingsReadString((key_ + "\\Alpha").c_str(), "V", got, sizeof got), 1);
    EXPECT_STREQ(got, "in alpha");

    EXPECT_EQ(Basekit_SettingsDeleteKey(k, "Alpha"), 0);
    EXPECT_EQ(Basekit_SettingsOpenKey((key_ + "\\Alpha").c_str()), nullptr);
    EXPECT_NE(Basekit_SettingsDeleteKey(k, ""), 0);   // never the key itself
    EXPECT_NE(Basekit_SettingsOpenKey(key_.c_str()), nullptr);
    Basekit_SettingsCloseKey(k);
}

TEST_P(BothStores, TooLongPathsAndBadArgumentsAnswerZero)
{
    ASSERT_NE(Basekit_SettingsWriteString(key_.c_str(), "Keep", "safe"), 0);
    std::string tooLong = key_ + "\\" + std::string(300, 'k');
    std::string fullTooLong = kRoot + tooLong;
    char buf[8];
    EXPECT_EQ(Basekit_SettingsWriteString(tooLong.c_str(), "A", "x"), 0);
    EXPECT_EQ(Basekit_SettingsWriteDword(fullTooLong.c_str(), "A", 1), 0);
    EXPECT_EQ(Basekit_SettingsReadString(tooLong.c_str(), "A", buf, sizeof buf), 0);
    EXPECT_EQ(Basekit_SettingsReadDword(tooLong.c_str(), "A"), 0u);
    EXPECT_EQ(Basekit_SettingsOpenKey(tooLong.c_str()), nullptr);
    EXPECT_EQ(Basekit_SettingsCreateKey(nullptr, tooLong.c_str()), nullptr);
    EXPECT_EQ(Basekit_SettingsCountSubkeys(fullTooLong.c_str()), 0);
    EXPECT_EQ(Basekit_SettingsEnumSubkey(fullTooLong.c_str(), 0, buf), 0);
    EXPECT_EQ(Basekit_SettingsCreateKey(nullptr, nullptr), nullptr);
    EXPECT_EQ(Basekit_SettingsReadString(nullptr, "A", buf, sizeof buf), 0);
    EXPECT_EQ(Basekit_SettingsCountSubkeys("NoBackslash"), 0);

    SettingsKey k = Basekit_SettingsOpenKey(key_.c_str());
    ASSERT_NE(k, nullptr);
    EXPECT_NE(Basekit_SettingsSetValue(k, "A", REG_SZ, nullptr), 0);
    // A child name that makes the path too long.
    EXPECT_EQ(Basekit_SettingsCreateKey(k, std::string(300, 'c').c_str()), nullptr);
    Basekit_SettingsCloseKey(k);
    Basekit_SettingsCloseKey(nullptr);

    char got[8];
    EXPECT_EQ(Basekit_SettingsReadString(key_.c_str(), "Keep", got, sizeof got), 1);
    EXPECT_STREQ(got, "safe");
}

INSTANTIATE_TEST_SUITE_P(Store, BothStores, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &i) {
                             return std::string(i.param ? "File" : "Registry");
                         });

// ---- The settings file ------------------------------------------------------------------------

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        file_ = "file-" + std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(file_.c_str());
        Basekit_SettingsSetFile(file_.c_str());
    }
    void TearDown() override
    {
        Basekit_SettingsSetFile(nullptr);
        SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file_.c_str());
    }
    std::string Bytes() const { return Testkit_ReadFile(file_); }
    std::string file_;
};

TEST_F(SettingsFile, LayoutIsOneSectionPerKeyAndOneLinePerValue)
{
    const char *test = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Test";
    EXPECT_EQ(Basekit_SettingsFileExists(), 0);
    EXPECT_NE(Basekit_SettingsWriteDword(test, "A", 5), 0);
    EXPECT_NE(Basekit_SettingsFileExists(), 0);
    EXPECT_EQ(Bytes(), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Test]\r\n"
                       "@=\r\n"
                       "A=dword:00000005\r\n");

    EXPECT_NE(Basekit_SettingsWriteString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other", "", "top"), 0);
    EXPECT_NE(Basekit_SettingsWriteDword(test, "a", 0xFFFFFFFFu), 0);   // same name, other case
    EXPECT_NE(Basekit_SettingsWriteString(test, "S", "x y"), 0);
    SettingsKey k = Basekit_SettingsCreateKey(nullptr, "SOFTWARE\\Other\\Child");
    ASSERT_NE(k, nullptr);
    Basekit_SettingsCloseKey(k);
    EXPECT_EQ(Bytes(), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Test]\r\n"
                       "@=\r\n"
                       "A=dword:ffffffff\r\n"
                       "S=x y\r\n"
                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
                       "@=top\r\n"
                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Child]\r\n"
                       "@=\r\n");

    // Other types are not written at all.
    k = Basekit_SettingsOpenKey("SOFTWARE\\Other");
    ASSERT_NE(k, nullptr);
    std::string before = Bytes();
    EXPECT_EQ(Basekit_SettingsSetValue(k, "Bin", REG_BINARY, "xx"), 11);
    EXPECT_EQ(Basekit_SettingsSetValue(k, "Multi", REG_MULTI_SZ, "xx"), 11);
    EXPECT_EQ(Bytes(), before);

    // Deleting a key removes its one section; its sub-key stays.
    EXPECT_EQ(Basekit_SettingsDeleteKey(nullptr, "SOFTWARE\\Other"), 0);
    Basekit_SettingsCloseKey(k);
    EXPECT_EQ(Basekit_SettingsOpenKey("SOFTWARE\\Other"), nullptr);
    EXPECT_EQ(Basekit_SettingsCountSubkeys("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other"), 1);
}

TEST_F(SettingsFile, ReadsRegistryExportFormsAndKeepsForeignLines)
{
    Testkit_WriteFile(file_, "REGEDIT4\r\n"
                          "\r\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Exported]\r\n"
                          "; a comment\r\n"
                          "@=\"default text\"\r\n"
                          "\"Name\"=\"text\"\r\n"
                          "  Spaced  =  padded  \r\n"
                          "Empty=\r\n"
                          "Num=DWORD:0000002A\r\n"
                          "Wide=dword:123456789\r\n"
                          "\r\n"
                          "[hkey_local_machine\\software\\exported\\lower]\n"
                          "Last=no line end");
    const char *key = "SOFTWARE\\Exported";
    char buf[32];
    struct Case {
        const char *name;
        int found;
        const char *text;
    } cases[] = {
        {"", 1, "default text"}, {"Name", 1, "text"}, {"Spaced", 1, "padded"},
        {"Empty", 0, ""},        {"Num", 1, "DWORD:0000002A"}, {"Missing", 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(Basekit_SettingsReadString(key, c.name, buf, sizeof buf), c.found);
        EXPECT_STREQ(buf, c.text);
    }
    EXPECT_EQ(Basekit_SettingsReadDword(key, "Num"), 42u);
    EXPECT_EQ(Basekit_SettingsReadDword(key, "Wide"), 0u);   // more than 32 bits is no number
    // A value longer than the buffer arrives cut to it.
    EXPECT_EQ(Basekit_SettingsReadString(key, "", buf, 8), 1);
    EXPECT_STREQ(buf, "default");

    SettingsKey k = Basekit_SettingsOpenKey(key);
    ASSERT_NE(k, nullptr);
    DWORD type;
    EXPECT_EQ(Basekit_SettingsQueryValue(k, "Empty", &type, buf), 3);
    EXPECT_EQ(Basekit_SettingsQueryValue(k, "Nope", &type, buf), 3);
    EXPECT_EQ(Basekit_SettingsKeyCountSubkeys(k), 1);
    Basekit_SettingsCloseKey(k);
    EXPECT_EQ(Basekit_SettingsReadString("SOFTWARE\\Exported\\Lower", "Last", buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "no line end");

    // A change touches only its own line; the rest stays byte for byte.
    std::string before = Bytes();
    EXPECT_NE(Basekit_SettingsWriteString(key, "Empty", "now"), 0);
    std::string expect = before;
    expect.replace(expect.find("Empty=\r\n"), 8, "Empty=now\r\n");
    EXPECT_EQ(Bytes(), expect);
    EXPECT_NE(Basekit_SettingsWriteString("SOFTWARE\\Exported\\Lower", "New", "1"), 0);
    EXPECT_EQ(Bytes(), expect + "\r\nNew=1\r\n");
}

TEST_F(SettingsFile, DirectSubkeysIncludingDoubleByteNames)
{
    // A key name in Shift-JIS: "表" (0x95 0x5C, trail byte is a backslash), "ヂ" (0x83 0x61, trail
    // byte is a lower-case 'a'), then "x".
    const std::string sjis = "\x95\x5c\x83\x61x";
    const std::string sjisUpper = "\x95\x5c\x83\x61X";
    const std::string dict = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary";
    Testkit_WriteFile(file_, "[" + dict + "]\r\n@=\r\n"
                          "[" + dict + "\\00100100]\r\n@=\r\n"
                          "[" + dict + "\\00100100\\Sub]\r\n@=\r\n"
                          "[" + dict + "X]\r\n@=\r\n"
                          "[" + dict + "\\abc]\r\n@=\r\n"
                          "[" + dict + "\\" + sjis + "]\r\n@=\r\nV=sjis\r\n"
                          "[" + dict + "\\" + sjis + "\\Deeper]\r\n@=\r\n");
    std::vector<std::string> want = {"00100100", "ABC", sjisUpper};
    ASSERT_EQ(Basekit_SettingsCountSubkeys(dict.c_str()), 3);
    char buf[MAX_PATH];
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(Basekit_SettingsEnumSubkey(dict.c_str(), i, buf), (int)want[i].size());
        EXPECT_EQ(std::string(buf), want[i]);
    }
    EXPECT_EQ(Basekit_SettingsEnumSubkey(dict.c_str(), 3, buf), 0);

    // The double-byte key through handles: its own sub-key, its value, the name as enumerated.
    SettingsKey k = Basekit_SettingsOpenKey(dict.c_str());
    ASSERT_NE(k, nullptr);
    SettingsKey s = Basekit_SettingsOpenSubkey(k, 2, buf);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(buf), sjisUpper);
    EXPECT_EQ(Basekit_SettingsKeyCountSubkeys(s), 1);
    char text[16];
    DWORD type;
    EXPECT_EQ(Basekit_SettingsQueryValue(s, "V", &type, text), 0);
    EXPECT_STREQ(text, "sjis");
    Basekit_SettingsCloseKey(s);
    Basekit_SettingsCloseKey(k);
    // A name differing only in the trail byte's case is another key.
    std::string other = dict.substr(19) + "\\\x95\x5c\x83\x41x";
    EXPECT_EQ(Basekit_SettingsOpenKey(other.c_str()), nullptr);
}

TEST_F(SettingsFile, NoSectionIsLostBeyondAnyFixedListSize)
{
    std::string text;
    const int kKeys = 2000;   // about 120 KB of section names
    for (int i = 0; i < kKeys; i++) {
        char line[128];
        snprintf(line, sizeof line, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Big\\Key%05d]\r\n@=\r\nV=%d\r\n", i, i);
        text += line;
    }
    Testkit_WriteFile(file_, text);
    EXPECT_EQ(Basekit_SettingsCountSubkeys("HKEY_LOCAL_MACHINE\\SOFTWARE\\Big"), kKeys);
    char buf[MAX_PATH];
    EXPECT_GT(Basekit_SettingsEnumSubkey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Big", kKeys - 1, buf), 0);
    EXPECT_STREQ(buf, "KEY01999");
    SettingsKey k = Basekit_SettingsOpenKey("SOFTWARE\\Big\\Key01999");
    EXPECT_NE(k, nullptr);
    Basekit_SettingsCloseKey(k);
    EXPECT_EQ(Basekit_SettingsReadDword("SOFTWARE\\Big\\Key01999", "V"), 0u);   // text, not a number
    EXPECT_NE(Basekit_SettingsWriteDword("SOFTWARE\\Big\\Key01999", "N", 7), 0);
    EXPECT_EQ(Basekit_SettingsReadDword("SOFTWARE\\Big\\Key01999", "N"), 7u);
    EXPECT_EQ(Bytes().size(), text.size() + strlen("N=dword:00000007\r\n"));
}

TEST_F(SettingsFile, UnwritableOrMissingFileAndUnstorableTextChangeNothing)
{
    const char *key = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Test";
    char buf[16];
    // Missing file: reads find nothing and do not create it.
    EXPECT_EQ(Basekit_SettingsReadString(key, "A", buf, sizeof buf), 0);
    EXPECT_EQ(Basekit_SettingsOpenKey(key), nullptr);
    EXPECT_EQ(Basekit_SettingsCountSubkeys("HKEY_LOCAL_MACHINE\\SOFTWARE"), 0);
    EXPECT_EQ(Basekit_SettingsFileExists(), 0);

    ASSERT_NE(Basekit_SettingsWriteString(key, "A", "stored"), 0);
    SettingsKey k = Basekit_SettingsOpenKey(key);
    ASSERT_NE(k, nullptr);
    const std::string before = Bytes();

    // Text that would break the line layout.
    EXPECT_EQ(Basekit_SettingsWriteString(key, "B", "two\r\n[Injected]"), 0);
    EXPECT_EQ(Basekit_SettingsWriteString(key, "B=C", "x"), 0);
    EXPECT_NE(Basekit_SettingsSetValue(k, "B\n", REG_SZ, "x"), 0);
    EXPECT_EQ(Basekit_SettingsCreateKey(nullptr, "SOFTWARE\\Bad\r\nName"), nullptr);
    EXPECT_EQ(Bytes(), before);

    // A read-only file: every change fails and the file stays as it was.
    ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY));
    DWORD one = 1;
    EXPECT_EQ(Basekit_SettingsWriteString(key, "A", "replaced"), 0);
    EXPECT_EQ(Basekit_SettingsWriteDword(key, "N", 1), 0);
    EXPECT_NE(Basekit_SettingsSetValue(k, "N", REG_DWORD, &one), 0);
    EXPECT_NE(Basekit_SettingsDeleteValue(k, "A"), 0);
    EXPECT_NE(Basekit_SettingsDeleteKey(nullptr, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Test"), 0);
    EXPECT_EQ(Basekit_SettingsCreateKey(nullptr, "SOFTWARE\\New"), nullptr);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Basekit_SettingsReadString(key, "A", buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "stored");
    ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL));

    // A file that another program holds open without sharing the right to write.
    HANDLE held = CreateFileA(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Basekit_SettingsWriteString(key, "A", "replaced"), 0);
    EXPECT_NE(Basekit_SettingsSetValue(k, "N", REG_DWORD, &one), 0);
    EXPECT_EQ(Basekit_SettingsReadString(key, "A", buf, sizeof buf), 1);
    CloseHandle(held);
    EXPECT_EQ(Bytes(), before);
    Basekit_SettingsCloseKey(k);

    // A settings file in a folder that does not exist, and a path too long to keep.
    Basekit_SettingsSetFile("no-such-folder\\settings.ini");
    EXPECT_EQ(Basekit_SettingsWriteString(key, "A", "x"), 0);
    EXPECT_EQ(Basekit_SettingsReadString(key, "A", buf, sizeof buf), 0);
    std::string longPath;
    for (int i = 0; i < 127; i++) longPath += ".\\";
    longPath += file_;   // cut to 259 bytes it would name the file "file-" here
    Basekit_SettingsSetFile(longPath.c_str());
    EXPECT_EQ(Basekit_SettingsWriteString(key, "A", "x"), 0);
    EXPECT_EQ(Basekit_SettingsReadString(key, "A", buf, sizeof buf), 0);
    EXPECT_EQ(GetFileAttributesA("file-"), INVALID_FILE_ATTRIBUTES);
    DeleteFileA("file-");
}

struct WriterArg {
    int id;
};

DWORD WINAPI WriterThread(void *p)
{
    int id = ((WriterArg *)p)->id;
    for (int i = 0; i < 25; i++) {
        char name[16];
        snprintf(name, sizeof name, "T%dV%d", id, i);
        if (!Basekit_SettingsWriteDword("SOFTWARE\\Shared", name, (DWORD)(id * 1000 + i))) return 1;
    }
    return 0;
}

TEST_F(SettingsFile, ConcurrentWritersLoseNoLine)
{
    // Each writer reads the whole file and writes it back; without the file's lock, writers
    // running at the same time would drop each other's lines.
    const int kThreads = 4, kEach = 25;
    WriterArg args[kThreads];
    HANDLE threads[kThreads];
    for (int t = 0; t < kThreads; t++) {
        args[t].id = t;
        threads[t] = CreateThread(NULL, 0, WriterThread, &args[t], 0, NULL);
        ASSERT_NE(threads[t], nullptr);
    }
    WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE);
    for (HANDLE h : threads) {
        DWORD code = 1;
        GetExitCodeThread(h, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(h);
    }
    SettingsKey k = Basekit_SettingsOpenKey("SOFTWARE\\Shared");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(Basekit_SettingsCountValues(k), 1 + kThreads * kEach);   // "@" and every number
    Basekit_SettingsCloseKey(k);
    EXPECT_EQ(Basekit_SettingsReadDword("SOFTWARE\\Shared", "T3V24"), 3024u);
}

TEST_F(SettingsFile, AWriteThatStopsHalfwayLeavesTheOldFileWhole)
{
    const char *key = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Test";
    for (const char *name : {"A", "B", "C"}) ASSERT_NE(Basekit_SettingsWriteString(key, name, "stored"), 0);
    const std::string before = Bytes();
    const std::string longer(300, 'x');
    {
        // The disk fills up a few bytes into the changed line and stays full (as a power loss
        // would leave it).
        size_t changed = before.find("A=stored");
        ASSERT_NE(changed, std::string::npos);
        Testkit_WriteFault fault("Basekit.dll", (DWORD)changed + 10);
        ASSERT_TRUE(fault.Armed());
        EXPECT_EQ(Basekit_SettingsWriteString(key, "A", longer.c_str()), 0);
        EXPECT_EQ(Basekit_SettingsWriteString(key, "D", "new"), 0);
    }
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(Testkit_Exists(file_ + ".new"));
    ASSERT_NE(Basekit_SettingsWriteString(key, "A", longer.c_str()), 0);
    char buf[400];
    EXPECT_EQ(Basekit_SettingsReadString(key, "A", buf, sizeof buf), 1);
    EXPECT_EQ(std::string(buf), longer);
}

// ---- Several processes on one settings file ----------------------------------------------------

const char kChildEnv[] = "BASEKIT_SETTINGS_CHILD";
const int kProcessWrites = 150;

void WriteShare(char who, int *failed)
{
    for (int i = 0; i < kProcessWrites; i++) {
        char name[16];
        snprintf(name, sizeof name, "%c%d", who, i);
        if (!Basekit_SettingsWriteDword("SOFTWARE\\Shared", name, (DWORD)i)) ++*failed;
    }
}

// The second process of the test below (run only from there): "<settings file>|<start event>".
TEST(SettingsFileProcesses, DISABLED_SecondWriter)
{
    char arg[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(kChildEnv, arg, sizeof arg);
    ASSERT_TRUE(n > 0 && n < sizeof arg);
    char *bar = strchr(arg, '|');
    ASSERT_NE(bar, nullptr);
    *bar = '\0';
    Basekit_SettingsSetFile(arg);
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, bar + 1);
    ASSERT_NE(go, nullptr);
    WaitForSingleObject(go, 30000);
    CloseHandle(go);
    int failed = 0;
    WriteShare('C', &failed);
    EXPECT_EQ(failed, 0);
}

// A process that named the settings file before it existed and one that started later (and got
// its short name) write at the same time: both take the same lock and no write is lost.
TEST(SettingsFileProcesses, WritersOfLongAndShortNamesShareTheLock)
{
    std::string file = Testkit_Cwd() + "\\settings shared by two processes.ini";
    DeleteFileA(file.c_str());
    Basekit_SettingsSetFile(file.c_str());
    ASSERT_NE(Basekit_SettingsWriteString("SOFTWARE\\Shared", "First", "here"), 0);
    char shortName[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(file.c_str(), shortName, sizeof shortName), 0u);
    ASSERT_NE(std::string(shortName), file);   // the two processes spell the file differently

    std::string event = "basekit_settings_go_" + std::to_string(GetCurrentProcessId());
    HANDLE go = CreateEventA(NULL, TRUE, FALSE, event.c_str());
    SetEnvironmentVariableA(kChildEnv, (file + "|" + event).c_str());
    TestkitProcess child;
    ASSERT_TRUE(child.Start("\"" + Testkit_ExeFolder() + "basekit_settings_test.exe\" "
                            "--gtest_also_run_disabled_tests --gtest_filter=SettingsFileProcesses.DISABLED_SecondWriter"));
    SetEnvironmentVariableA(kChildEnv, NULL);
    SetEvent(go);
    int failed = 0;
    WriteShare('P', &failed);
    EXPECT_EQ(child.WaitExit(120000), 0);
    CloseHandle(go);
    EXPECT_EQ(failed, 0);
    SettingsKey k = Basekit_SettingsOpenKey("SOFTWARE\\Shared");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(Basekit_SettingsCountValues(k), 2 + 2 * kProcessWrites);   // "@", First and every number
    Basekit_SettingsCloseKey(k);
    Basekit_SettingsSetFile(nullptr);
    DeleteFileA(file.c_str());
}

// ---- The registry ------------------------------------------------------------------------------

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        key_ = TestKey("Reg");
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                  &hkey_, NULL),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(hkey_);
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    }
    void Raw(const char *name, DWORD type, const void *data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(hkey_, name, 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
    }
    std::string key_;
    HKEY hkey_ = NULL;
};

TEST_F(Registry, RawDataIsTerminatedAndZeroPaddedWithinTheBuffer)
{
    Raw("NoZero", REG_SZ, "abc", 3);          // text stored without its terminating zero
    Raw("Short", REG_BINARY, "\x11\x22", 2);  // shorter than a number
    Raw("Num", REG_DWORD, "\x2A\0\0\0", 4);
    Raw(NULL, REG_SZ, "xyz", 3);
    char buf[MAX_PATH];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(Basekit_SettingsReadString(key_.c_str(), "NoZero", buf, 4), 1);
    EXPECT_STREQ(buf, "abc");
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(Basekit_SettingsReadString(key_.c_str(), "NoZero", buf, 3), 0);   // no room for the zero
    EXPECT_EQ(std::string(buf, 4), std::string("\0\0\0x", 4));
    EXPECT_EQ(Basekit_SettingsReadString(key_.c_str(), "Num", buf, sizeof buf), 0);   // a number
    EXPECT_EQ(Basekit_SettingsReadDword(key_.c_str(), "Short"), 0u);
    EXPECT_EQ(Basekit_SettingsReadDword(key_.c_str(), "Num"), 42u);

    SettingsKey k = Basekit_SettingsOpenKey(key_.c_str());
    ASSERT_NE(k, nullptr);
    DWORD type;
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(Basekit_SettingsQueryValue(k, "NoZero", &type, buf), 0);
    EXPECT_STREQ(buf, "abc");
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(Basekit_SettingsQueryValue(k, "Short", &type, buf), 0);
    DWORD v;
    memcpy(&v, buf, 4);
    EXPECT_EQ(v, 0x2211u);
    Basekit_SettingsCloseKey(k);

    // The direct helpers: the default value of a sub-key, sub-keys by index.
    HKEY parent;
    std::string parentPath = key_.substr(0, key_.rfind('\\'));
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, parentPath.c_str(), 0, KEY_READ, &parent), ERROR_SUCCESS);
    std::string leaf = key_.substr(key_.rfind('\\') + 1);
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(Basekit_RegReadValue(parent, leaf.c_str(), buf), 1);
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(Basekit_RegReadValue(parent, "NoSuchKey", buf), 0);
    int n = Basekit_RegCountSubkeys(parent);
    EXPECT_GE(n, 1);
    bool seen = false;
    for (int i = 0; i < n; i++) {
        HKEY sub = Basekit_RegOpenSubkeyByIndex(parent, i, buf);
        ASSERT_NE(sub, nullptr);
        seen |= leaf == buf;
        RegCloseKey(sub);
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ(Basekit_RegOpenSubkeyByIndex(parent, n, buf), nullptr);
    RegCloseKey(parent);
    EXPECT_EQ(Basekit_RegCountSubkeys(NULL), 0);
}

TEST_F(Registry, TreeCopyAddsWhatIsMissingWhateverItsSize)
{
    const std::string longName(300, 'n');           // value name far beyond the old 63/260 limits
    const std::string longKey(200, 'k');            // sub-key name
    const std::string big(5000, 'b');               // value data
    std::string src = key_ + "\\Src", dst = key_ + "\\Dst";
    HKEY s, d, sk;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, src.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &s, NULL), 0);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, dst.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &d, NULL), 0);
    RegSetValueExA(s, "Kept", 0, REG_SZ, (const BYTE *)"source", 7);
    RegSetValueExA(s, longName.c_str(), 0, REG_SZ, (const BYTE *)big.c_str(), (DWORD)big.size() + 1);
    RegSetValueExA(s, "Z", 0, REG_DWORD, (const BYTE *)"\x07\0\0\0", 4);
    RegSetValueExA(d, "Kept", 0, REG_SZ, (const BYTE *)"dest", 5);
    ASSERT_EQ(RegCreateKeyExA(s, (longKey + "\\Deeper").c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &sk, NULL), 0);
    RegSetValueExA(sk, longName.c_str(), 0, REG_BINARY, (const BYTE *)big.c_str(), (DWORD)big.size());
    RegCloseKey(sk);
    ASSERT_EQ(RegCreateKeyExA(s, "Last", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &sk, NULL), 0);
    RegCloseKey(sk);

    for (int own : {0, 1}) {
        SCOPED_TRACE(own);
        EXPECT_EQ(Basekit_CopyRegistryTree(HKEY_CURRENT_USER, src.c_str(), HKEY_CURRENT_USER, dst.c_str(), own), 1);
        std::vector<char> buf(big.size() + 16);
        DWORD size = (DWORD)buf.size(), type;
        LONG r = RegQueryValueExA(d, longName.c_str(), NULL, &type, (BYTE *)buf.data(), &size);
        if (own) {
            EXPECT_EQ(r, ERROR_SUCCESS);
            EXPECT_EQ(std::string(buf.data()), big);
        } else {
            EXPECT_NE(r, ERROR_SUCCESS);   // the top key's own values only on request
        }
        size = (DWORD)buf.size();
        EXPECT_EQ(RegQueryValueExA(d, "Kept", NULL, &type, (BYTE *)buf.data(), &size), ERROR_SUCCESS);
        EXPECT_STREQ(buf.data(), "dest");
        // Sub-keys always come with their values, the long-named one included.
        std::string deep = dst + "\\" + longKey + "\\Deeper";
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_READ, &sk), ERROR_SUCCESS);
        size = (DWORD)buf.size();
        EXPECT_EQ(RegQueryValueExA(sk, longName.c_str(), NULL, &type, (BYTE *)buf.data(), &size), ERROR_SUCCESS);
        EXPECT_EQ(size, (DWORD)big.size());
        EXPECT_EQ(type, (DWORD)REG_BINARY);
        RegCloseKey(sk);
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (dst + "\\Last").c_str(), 0, KEY_READ, &sk), ERROR_SUCCESS);
        RegCloseKey(sk);
    }
    EXPECT_EQ(Basekit_SettingsReadDword((dst).c_str(), "Z"), 7u);
    RegCloseKey(s);
    RegCloseKey(d);

    EXPECT_EQ(Basekit_CopyRegistryTree(HKEY_CURRENT_USER, (key_ + "\\Missing").c_str(), HKEY_CURRENT_USER,
                                       dst.c_str(), 1), 0);
    EXPECT_EQ(Basekit_RegCopyMachineToUser(""), 0);
    EXPECT_EQ(Basekit_RegCopyMachineToUser(nullptr), 0);
    EXPECT_EQ(Basekit_RegCopyMachineToUser("SOFTWARE\\Halvenstone\\NoSuchMachineKey"), 0);
}

// ---- Mode and the path join ---------------------------------------------------------------------

TEST(SettingsMode, FreshProcessIsInRegistryMode)
{
    char buf[MAX_PATH] = "junk";
    EXPECT_EQ(Basekit_SettingsGetFile(buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(Basekit_SettingsFileExists(), 0);
}

TEST(SettingsMode, FileModeRemembersThePath)
{
    Basekit_SettingsSetFile("settings.ini");
    char buf[MAX_PATH];
    EXPECT_EQ(Basekit_SettingsGetFile(buf), 1);
    EXPECT_STREQ(buf, "settings.ini");
    Basekit_SettingsSetFile(nullptr);
    EXPECT_EQ(Basekit_SettingsGetFile(buf), 0);
}

TEST(PathAppend, JoinsWithOneBackslashMindingDoubleByteNames)
{
    struct Case {
        const char *path, *name, *want;
    } cases[] = {
        {"C:\\dir\\", "a.txt", "C:\\dir\\a.txt"},
        {"C:\\dir", "a.txt", "C:\\dir\\a.txt"},
        {"", "a.txt", "a.txt"},
        {"C:\\dir", "", "C:\\dir\\"},
        // "C:\ソ" in Shift-JIS: the last byte 0x5C is the trail byte of "ソ" (0x83 0x5C).
        {"C:\\\x83\x5c", "a", "C:\\\x83\x5c\\a"},
        {"C:\\\x83\x5c\\", "a", "C:\\\x83\x5c\\a"},
    };
    for (const Case &c : cases) {
        char buf[MAX_PATH];
        strcpy(buf, c.path);
        EXPECT_EQ(Basekit_PathAppend(buf, c.name), buf);
        EXPECT_STREQ(buf, c.want) << c.path << " + " << c.name;
    }
    char buf[MAX_PATH];
    memset(buf, 'p', 250);
    buf[250] = '\0';
    EXPECT_EQ(Basekit_PathAppend(buf, "0123456789"), nullptr);   // would not fit in 260 bytes
    EXPECT_STREQ(buf, "");
    memset(buf, 'p', 249);
    buf[249] = '\0';
    EXPECT_EQ(Basekit_PathAppend(buf, "012345678"), buf);
    EXPECT_EQ(strlen(buf), 259u);
}

} // namespace
