// The registration-script importer started as the dictionary finder starts it
// ("regmerge.exe /im <script>"), the script's forms and the lines it skips, file mode, and the
// command lines and scripts it refuses without writing anything.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "basekit.h"
#include "regmerge.h"
#include "support/testkit_files.h"
#include "support/testkit_process.h"

namespace {

#define DIC "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001F01"
#define LANG "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\7f00"

std::string Cwd() {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    return cwd;
}

void ClearKeys() {
    RegDeleteTreeA(HKEY_CURRENT_USER, DIC);
    RegDeleteTreeA(HKEY_CURRENT_USER, LANG);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RegmergeTest");
}

bool KeyExists(const char *path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

// A string value straight from the current user's registry; "<none>" when it is not there.
std::string RegText(const char *path, const char *name) {
    char buf[512];
    DWORD size = sizeof buf, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_ANY, &type, buf, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "<none>";
    return buf;
}

long RegNumber(const char *path, const char *name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return (long)value;
}

// Runs regmerge with the arguments as the finder does (program searched by name) and answers its
// exit code.
long Merge(const std::string &arguments) {
    TestkitProcess p;
    if (!p.Start("regmerge.exe " + arguments)) return -100;
    long code = p.WaitExit();
    if (code == -1) p.End();
    return code;
}

class MergeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearKeys();
        folder = Cwd() + "\\script folder";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        ClearKeys();
        Basekit_SettingsSetFile(nullptr);
    }
    std::string Script(const std::string &text, const char *name = "rds1.tmp") {
        std::string path = folder + "\\" + name;
        Testkit_WriteFile(path, text);
        return path;
    }
    std::string folder;
};

}  // namespace

TEST_F(MergeTest, TheFindersScriptsLandWhereTheSettingsLayerReads) {
    // An engine script and a language script, as the finder carries them: no header line, CR LF,
    // a blank line between sections.
    std::string path = Script(
        "[HKEY_LOCAL_MACHINE\\Software\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001F01]\r\n"
        "FileName=sample.dll\r\n"
        "Name=Sample Engine\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001F01\\01]\r\n"
        "LangID=dword:00000100\r\n"
        "NickName=Sample\r\n"
        "Color=dword:00ff8040\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Halvenstone\\Velosuite\\4.0\\Language\\7f00]\r\n"
        "FileName=lingo_xx.dll\r\n"
        "Load=dword:1\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Halvenstone\\Velosuite\\4.0\\Language\\7f00\\Display]\r\n");
    // The path is not quoted and holds a blank, as the finder writes it.
    EXPECT_EQ(Merge("/im " + path), REGMERGE_EXIT_DONE);

    char buf[260];
    ASSERT_TRUE(Basekit_SettingsReadString(DIC, "FileName", buf, sizeof buf));
    EXPECT_STREQ(buf, "sample.dll");
    ASSERT_TRUE(Basekit_SettingsReadString(DIC, "Name", buf, sizeof buf));
    EXPECT_STREQ(buf, "Sample Engine");
    EXPECT_EQ(Basekit_SettingsReadDword(DIC "\\01", "LangID"), 0x100u);
    EXPECT_EQ(Basekit_SettingsReadDword(DIC "\\01", "Color"), 0xFF8040u);
    ASSERT_TRUE(Basekit_SettingsReadString(DIC "\\01", "NickName", buf, sizeof buf));
    EXPECT_STREQ(buf, "Sample");
    ASSERT_TRUE(Basekit_SettingsReadString(LANG, "FileName", buf, sizeof buf));
    EXPECT_STREQ(buf, "lingo_xx.dll");
    EXPECT_EQ(Basekit_SettingsReadDword(LANG, "Load"), 1u);
    EXPECT_TRUE(KeyExists(LANG "\\Display")) << "a section without values still makes its key";
    // Registry mode is the current user's registry.
    EXPECT_EQ(RegText(DIC, "Name"), "Sample Engine");
}

TEST_F(MergeTest, EachFormOfLineAndTheLinesItSkips) {
    std::string path = Script(
        "REGEDIT4\n"
        "; a comment\n"
        "Orphan=before any section\n"
        "[HKEY_CURRENT_USER\\Software\\RegmergeTest]\n"
        "Other=another root\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001F01]\n"
        "Name=text with  blanks  \n"
        "\"Quoted\"=\"a \\\"b\\\" c\\\\d\"\n"
        "@=default text\n"
        "Count=dword:0000002A\n"
        "Wide=dword:123456789\n"
        "NotHex=dword:12g4\n"
        "Binary=hex:01,02\n"
        "NoEquals\n"
        "=no name\n"
        "Empty=\n"
        "Japanese=\x8E\xAB\x8F\x91\n"  // "辞書" (dictionary) in Shift-JIS
        "[HKEY_LOCAL_MACHINE\\Software\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001F01\\01]\n"
        "[HKEY_LOCAL_MACHINE\\broken\n"
        "LangID=dword:100\n"
        "Last=no line end");
    EXPECT_EQ(Merge("/IM " + path), REGMERGE_EXIT_SKIPPED);
    struct Case {
        const char *name;
        const char *text;
    } texts[] = {
        {"Name", "text with  blanks  "},
        {"Quoted", "a \"b\" c\\d"},
        {"", "default text"},
        {"Empty", ""},
        {"Japanese", "\x8E\xAB\x8F\x91"},
        {"Wide", "<none>"},
        {"NotHex", "<none>"},
        {"Binary", "<none>"},
        {"NoEquals", "<none>"},
        {"Orphan", "<none>"},
        {"Last", "<none>"},
    };
    for (const Case &c : texts) EXPECT_EQ(RegText(DIC, c.name), c.text) << c.name;
    EXPECT_EQ(RegNumber(DIC, "Count"), 42);
    EXPECT_EQ(RegNumber(DIC, "Wide"), -1);
    EXPECT_TRUE(KeyExists(DIC "\\01"));
    EXPECT_EQ(RegNumber(DIC "\\01", "LangID"), -1) << "a value after a broken section is skipped";
    EXPECT_FALSE(KeyExists("Software\\RegmergeTest")) << "only the settings layer's root is taken";
}

TEST_F(MergeTest, FileModeWritesTheSettingsFileAndLeavesTheRegistry) {
    std::string settings = folder + "\\suite settings.ini";
    DeleteFileA(settings.c_str());
    Testkit_WriteFile(settings, "");
    std::string path = Script(
        "[HKEY_LOCAL_MACHINE\\Software\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001F01]\r\n"
        "Name=In the file\r\n"
        "Count=dword:7\r\n");
    EXPECT_EQ(Merge("/settings \"" + settings + "\" /im " + path), REGMERGE_EXIT_DONE);
    EXPECT_FALSE(KeyExists(DIC));
    Basekit_SettingsSetFile(settings.c_str());
    char buf[260];
    ASSERT_TRUE(Basekit_SettingsReadString(DIC, "Name", buf, sizeof buf));
    EXPECT_STREQ(buf, "In the file");
    EXPECT_EQ(Basekit_SettingsReadDword(DIC, "Count"), 7u);
    Basekit_SettingsSetFile(nullptr);
    DeleteFileA(settings.c_str());
}

TEST_F(MergeTest, RefusedCommandLinesAndScriptsWriteNothing) {
    const std::string good = "[HKEY_LOCAL_MACHINE\\" DIC "]\nName=x\n";
    std::string script = Script(good);
    std::string large = folder + "\\large.tmp";
    HANDLE f = CreateFileA(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    WriteFile(f, good.data(), (DWORD)good.size(), nullptr, nullptr);
    SetFilePointer(f, REGMERGE_MAX_SCRIPT + 1, nullptr, FILE_BEGIN);
    SetEndOfFile(f);
    CloseHandle(f);
    struct Case {
        std::string arguments;
        long code;
    } cases[] = {
        {"", REGMERGE_EXIT_USAGE},
        {"/im", REGMERGE_EXIT_USAGE},
        {"/im   ", REGMERGE_EXIT_USAGE},
        {"/x " + script, REGMERGE_EXIT_USAGE},
        {script, REGMERGE_EXIT_USAGE},
        {"/settings", REGMERGE_EXIT_USAGE},
        {"/im " + folder + "\\missing.tmp", REGMERGE_EXIT_UNREADABLE},
        {"/im " + folder, REGMERGE_EXIT_UNREADABLE},
        {"/im " + large, REGMERGE_EXIT_TOO_LARGE},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Merge(c.arguments), c.code) << "regmerge.exe " << c.arguments;
        EXPECT_FALSE(KeyExists(DIC)) << "regmerge.exe " << c.arguments;
    }
    EXPECT_EQ(Merge("-im \"" + script + "\""), REGMERGE_EXIT_DONE) << "quoted, with a dash";
    EXPECT_EQ(RegText(DIC, "Name"), "x");
    DeleteFileA(large.c_str());
}
