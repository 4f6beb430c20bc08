// The settings file: every text a write accepts reads back byte for byte, and a value name the
// file cannot hold as a value line is refused instead of written where no read finds it.
#include <gtest/gtest.h>
#include "basekit.h"
#include "support/testkit_files.h"

#include <string.h>
#include <string>

namespace {

class SettingsFileText : public ::testing::Test {
protected:
    void SetUp() override
    {
        file_ = "review-" + std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(file_.c_str());
        Basekit_SettingsSetFile(file_.c_str());
    }
    void TearDown() override
    {
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(file_.c_str());
    }
    std::string file_;
};

const char kKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Review";

TEST_F(SettingsFileText, TextWithOuterBlanksOrQuotesReadsBackUnchanged)
{
    const char *texts[] = {" leading", "trailing ", "\tboth\t", "\"quoted\"", "'single'",
                           "\"", "\"open", "plain text", "x", "\"\""};
    int i = 0;
    for (const char *text : texts) {
        std::string name = "V" + std::to_string(i++);
        ASSERT_NE(Basekit_SettingsWriteString(kKey, name.c_str(), text), 0) << text;
        char buf[64] = "";
        ASSERT_EQ(Basekit_SettingsReadString(kKey, name.c_str(), buf, sizeof buf), 1) << text;
        EXPECT_STREQ(buf, text);
    }
    // A plain text is stored as it is.
    EXPECT_NE(Testkit_ReadFile(file_).find("\r\nV7=plain text\r\n"), std::string::npos);
}

TEST_F(SettingsFileText, NameThatWouldReadAsSectionOrCommentIsRefused)
{
    ASSERT_NE(Basekit_SettingsWriteString(kKey, "A", "stored"), 0);
    const std::string before = Testkit_ReadFile(file_);
    for (const char *name : {"[Other]", "[open", ";note", " lead", "trail "}) {
        EXPECT_EQ(Basekit_SettingsWriteString(kKey, name, "x"), 0) << name;
        EXPECT_EQ(Testkit_ReadFile(file_), before) << name;
    }
    // Brackets and semicolons further in are ordinary characters.
    ASSERT_NE(Basekit_SettingsWriteString(kKey, "a[1];b", "y"), 0);
    char buf[8] = "";
    EXPECT_EQ(Basekit_SettingsReadString(kKey, "a[1];b", buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "y");
}

}  // namespace
