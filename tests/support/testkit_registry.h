// Test support for programs that keep their settings in the registry: a key of the current user
// set aside while a test runs (copied under a backup key and emptied) and put back afterwards, so
// that each test starts from nothing and leaves the prefix as it found it.  Header only; include
// as "support/testkit_registry.h".
#pragma once

#include <windows.h>

#include <string>

class Testkit_RegistryGuard {
public:
    Testkit_RegistryGuard(const char *key, const char *backupKey) : key_(key), backup_(backupKey)
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, backup_.c_str());
        HKEY from;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &from) == ERROR_SUCCESS) {
            saved_ = Copy(from, backup_);
            RegCloseKey(from);
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    }
    ~Testkit_RegistryGuard()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
        if (!saved_) return;
        HKEY from;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, backup_.c_str(), 0, KEY_READ, &from) == ERROR_SUCCESS) {
            Copy(from, key_);
            RegCloseKey(from);
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, backup_.c_str());
    }
    Testkit_RegistryGuard(const Testkit_RegistryGuard &) = delete;
    Testkit_RegistryGuard &operator=(const Testkit_RegistryGuard &) = delete;

private:
    static bool Copy(HKEY from, const std::string &to)
    {
        HKEY target;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                            nullptr) != ERROR_SUCCESS)
            return false;
        bool copied = RegCopyTreeA(from, nullptr, target) == ERROR_SUCCESS;
        RegCloseKey(target);
        return copied;
    }
    std::string key_, backup_;
    bool saved_ = false;
};
