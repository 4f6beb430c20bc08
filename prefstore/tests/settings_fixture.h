// A settings store of the test's own, in either mode: the registry of the throw-away prefix (the
// option sections are deleted before and after each test) or a fresh settings file in the
// test's working folder.
#ifndef PREFSTORE_SETTINGS_FIXTURE_H
#define PREFSTORE_SETTINGS_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "basekit.h"

#define R4 "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\"
#define R7 "SOFTWARE\\Halvenstone\\Velosuite\\7.0\\"

enum class StoreMode { Registry, File };

inline const char *StoreModeName(const testing::TestParamInfo<StoreMode> &info)
{
    return info.param == StoreMode::Registry ? "Registry" : "File";
}

// Every section that the option records use, deleted whole in registry mode.
inline void DeleteOptionSections()
{
    static const char *const kSections[] = {
        R4 "Icon",           R4 "StartUp",          R4 "Translation",      R4 "Hotkey",
        R4 "Customize",      R4 "CrossSearch",      R4 "Ristrict",         R4 "Window",
        R7 "Window\\TranslationHistory",
    };
    for (const char *s : kSections)
        RegDeleteTreeA(HKEY_CURRENT_USER, s);
}

class SettingsStoreTest : public testing::TestWithParam<StoreMode> {
protected:
    void SetUp() override
    {
        if (GetParam() == StoreMode::File) {
            char path[MAX_PATH];
            const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
            std::string name = std::string("prefs_") + info->test_suite_name() + "_" + info->name() + ".ini";
            for (char &c : name)
                if (c == '/') c = '_';
            GetFullPathNameA(name.c_str(), MAX_PATH, path, nullptr);
            file_ = path;
            DeleteFileA(file_.c_str());
            Basekit_SettingsSetFile(file_.c_str());
        } else {
            Basekit_SettingsSetFile(nullptr);
            DeleteOptionSections();
        }
    }
    void TearDown() override
    {
        Basekit_SettingsSetFile(nullptr);
        if (!file_.empty())
            DeleteFileA(file_.c_str());
        else
            DeleteOptionSections();
    }
    std::string file_;
};

#endif
