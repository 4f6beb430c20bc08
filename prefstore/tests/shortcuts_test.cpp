// The program's shortcuts.  The Startup, desktop and Quick Launch folders of the throw-away
// prefix are pointed at folders inside the test's working folder for the test's duration (and
// checked to be there before anything is written), so no link ever lands on a real desktop.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "basekit.h"
#include "prefstore.h"
#include "support/testkit_files.h"

namespace {

const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A registry value of the prefix, put back as it was when the test ends.
struct SavedValue {
    std::string key, name;
    bool existed = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

SavedValue Redirect(const char *key, const char *name, const std::string &path)
{
    SavedValue s;
    s.key = key;
    s.name = name;
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return s;
    DWORD size = 0;
    if (RegQueryValueExA(k, name, nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS) {
        s.existed = true;
        s.data.resize(size);
        RegQueryValueExA(k, name, nullptr, &s.type, s.data.data(), &size);
    }
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE *)path.c_str(), (DWORD)path.size() + 1);
    RegCloseKey(k);
    return s;
}

void Restore(const SavedValue &s)
{
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, s.key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    if (s.existed)
        RegSetValueExA(k, s.name.c_str(), 0, s.type, s.data.data(), (DWORD)s.data.size());
    else
        RegDeleteValueA(k, s.name.c_str());
    RegCloseKey(k);
}

bool StartsWith(const std::string &s, const std::string &prefix)
{
    return _strnicmp(s.c_str(), prefix.c_str(), prefix.size()) == 0;
}

std::vector<std::string> Links(const std::string &folder)
{
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.lnk").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do out.push_back(folder + "\\" + fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

class ShortcutsTest : public testing::Test {
protected:
    void SetUp() override
    {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, cwd);
        root_ = std::string(cwd) + "\\shell";
        startup_ = root_ + "\\Startup";
        desktop_ = root_ + "\\Desktop";
        std::string appdata = root_ + "\\AppData";
        quick_ = appdata + "\\Microsoft\\Internet Explorer\\Quick Launch";
        for (const std::string &d : {root_, startup_, desktop_, appdata, appdata + "\\Microsoft",
                                     appdata + "\\Microsoft\\Internet Explorer", quick_})
            CreateDirectoryA(d.c_str(), nullptr);
        Clean();
        saved_.push_back(Redirect(kUserShellFolders, "Startup", startup_));
        saved_.push_back(Redirect(kUserShellFolders, "Desktop", desktop_));
        saved_.push_back(Redirect(kShellFolders, "Startup", startup_));
        saved_.push_back(Redirect(kShellFolders, "Desktop", desktop_));
        saved_.push_back(Redirect(kShellFolders, "AppData", appdata));

        settings_ = std::string(cwd) + "\\shortcuts.ini";
        DeleteFileA(settings_.c_str());
        Basekit_SettingsSetFile(settings_.c_str());
        CoInitialize(nullptr);
    }
    void TearDown() override
    {
        for (const SavedValue &s : saved_) Restore(s);
        Clean();
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(settings_.c_str());
        CoUninitialize();
    }
    void Clean()
    {
        for (const std::string &d : {startup_, desktop_, quick_})
            for (const std::string &l : Links(d)) DeleteFileA(l.c_str());
    }
    // Refuses to go on unless every folder the shortcuts go to is one of the test's own.
    void RequireSandbox()
    {
        char buf[MAX_PATH];
        ASSERT_TRUE(Basekit_GetStartupFolder(buf));
        ASSERT_TRUE(StartsWith(buf, root_)) << buf;
        ASSERT_TRUE(Basekit_GetDesktopFolder(buf));
        ASSERT_TRUE(StartsWith(buf, root_)) << buf;
        ASSERT_TRUE(Basekit_GetQuickLaunchFolder(buf));
        ASSERT_TRUE(StartsWith(buf, root_)) << buf;
    }
    void Switches(int startup, int desktop, int quick)
    {
        StartupOptions o;
        Prefstore_LoadStartup(&o);
        o.StartUp = startup;
        o.DeskTop = desktop;
        o.QuickLauncher = quick;
        ASSERT_EQ(Prefstore_SaveStartup(&o), 1);
        Prefstore_UpdateShortcuts();
    }
    std::string root_, startup_, desktop_, quick_, settings_;
    std::vector<SavedValue> saved_;
};

TEST_F(ShortcutsTest, LinksFollowTheSwitchesAndAnExistingLinkIsLeftAlone) {
    RequireSandbox();
    if (HasFatalFailure()) return;

    Switches(1, 1, 1);
    ASSERT_EQ(Links(startup_).size(), 1u);
    ASSERT_EQ(Links(desktop_).size(), 1u);
    ASSERT_EQ(Links(quick_).size(), 1u);
    const std::string desk = Links(desktop_)[0];

    // The link starts the resident program beside the option manager, in that folder.
    IShellLinkA *link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, (void **)&link)));
    IPersistFile *file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file)));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, desk.c_str(), -1, wide, MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(file->Load(wide, STGM_READ)));
    char target[MAX_PATH] = "", dir[MAX_PATH] = "", module[MAX_PATH];
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(dir, MAX_PATH);
    file->Release();
    link->Release();
    GetModuleFileNameA(GetModuleHandleA("Prefstore.dll"), module, MAX_PATH);
    *strrchr(module, '\\') = '\0';
    EXPECT_STRCASEEQ(target, (std::string(module) + "\\Velomira.exe").c_str());
    EXPECT_STRCASEEQ(dir, module);

    // Desktop off: only that link goes.
    Switches(1, 0, 1);
    EXPECT_EQ(Links(desktop_).size(), 0u);
    EXPECT_EQ(Links(startup_).size(), 1u);
    EXPECT_EQ(Links(quick_).size(), 1u);

    // Desktop on again over a file of that name: the file is not touched.
    FILE *f = fopen(desk.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("not a real link", f);
    fclose(f);
    Switches(1, 1, 1);
    EXPECT_EQ(Testkit_ReadFile(desk), "not a real link");

    // Everything off: every link goes.
    Switches(0, 0, 0);
    EXPECT_EQ(Links(startup_).size() + Links(desktop_).size() + Links(quick_).size(), 0u);
}

}  // namespace
