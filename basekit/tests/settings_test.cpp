#include <gtest/gtest.h>
#include "basekit.h"

TEST(SettingsMode, FreshProcessIsInRegistryMode) {
    char buf[MAX_PATH] = "junk";
    EXPECT_EQ(Basekit_SettingsGetFile(buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(Basekit_SettingsFileExists(), 0);
}

TEST(SettingsMode, FileModeRemembersThePath) {
    Basekit_SettingsSetFile("settings.ini");
    char buf[MAX_PATH];
    EXPECT_EQ(Basekit_SettingsGetFile(buf), 1);
    EXPECT_STREQ(buf, "settings.ini");
    Basekit_SettingsSetFile(nullptr);
    EXPECT_EQ(Basekit_SettingsGetFile(buf), 0);
}
