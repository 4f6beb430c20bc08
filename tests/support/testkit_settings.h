// Test support for programs that keep their settings in the registry: the suite's tree of the
// current user (SOFTWARE\Halvenstone\Velosuite) put aside while a test runs with a clean tree of
// its own, and put back afterwards.  Processes the test starts see the same registry (the test's
// Wine prefix).  Header only; include as "support/testkit_settings.h".
#pragma once

#include <windows.h>

struct TestkitSuiteSettings {
    static constexpr const char *kSuiteKey = "SOFTWARE\\Halvenstone\\Velosuite";
    static constexpr const char *kBackupKey = "SOFTWARE\\Halvenstone\\Velosuite.testkit";
    bool saved = false;

    TestkitSuiteSettings()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBackupKey);
        saved = Copy(kSuiteKey, kBackupKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, kSuiteKey);
    }
    TestkitSuiteSettings(const TestkitSuiteSettings &) = delete;
    TestkitSuiteSettings &operator=(const TestkitSuiteSettings &) = delete;
    ~TestkitSuiteSettings()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSuiteKey);
        if (saved) Copy(kBackupKey, kSuiteKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, kBackupKey);
    }

private:
    static bool Copy(const char *from, const char *to)
    {
        HKEY source, target;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, from, 0, KEY_READ, &source) != ERROR_SUCCESS) return false;
        bool copied = false;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) ==
            ERROR_SUCCESS) {
            copied = RegCopyTreeA(source, nullptr, target) == ERROR_SUCCESS;
            RegCloseKey(target);
        }
        RegCloseKey(source);
        return copied;
    }
};
