// Shell folders and shortcuts, in the throw-away Wine prefix of the test run.
#include <gtest/gtest.h>

#include "basekit.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <string.h>

#include <string>

namespace {

TEST(ShellFolders, EachFolderIsAnExistingPath)
{
    int (WINAPI *getters[])(char *) = {Basekit_GetProgramsFolder, Basekit_GetDesktopFolder,
                                       Basekit_GetStartMenuFolder, Basekit_GetStartupFolder};
    for (auto get : getters) {
        char buf[MAX_PATH];
        memset(buf, '#', sizeof buf);
        if (get(buf)) {
            EXPECT_GT(strlen(buf), 3u);
            EXPECT_EQ(':', buf[1]) << buf;
        } else {
            EXPECT_EQ('\0', buf[0]);
        }
    }
    char buf[MAX_PATH];
    memset(buf, '#', sizeof buf);
    if (Basekit_GetQuickLaunchFolder(buf)) {
        const char tail[] = "\\Microsoft\\Internet Explorer\\Quick Launch";
        size_t n = strlen(buf);
        ASSERT_GT(n, sizeof tail);
        EXPECT_STREQ(tail, buf + n - (sizeof tail - 1));
    } else {
        EXPECT_EQ('\0', buf[0]);
    }
}

TEST(Shortcut, CreatesOnceAndLeavesAnExistingFileAlone)
{
    char here[MAX_PATH], target[MAX_PATH], link[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, here);
    snprintf(target, sizeof target, "%s\\target.txt", here);
    snprintf(link, sizeof link, "%s\\test shortcut.lnk", here);
    DeleteFileA(link);
    ASSERT_EQ(1, Basekit_WriteFile(target, "t", 1));

    EXPECT_EQ(S_OK, Basekit_CreateShortcut(target, link, here, "A test shortcut"));
    WIN32_FILE_ATTRIBUTE_DATA first;
    ASSERT_TRUE(GetFileAttributesExA(link, GetFileExInfoStandard, &first));
    EXPECT_GT(first.nFileSizeLow, 0u);

    // The link reads back with its target.
    CoInitialize(nullptr);
    IShellLinkA *shell = nullptr;
    IPersistFile *file = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void **>(&shell)));
    ASSERT_EQ(S_OK, shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH);
    ASSERT_EQ(S_OK, file->Load(wide, STGM_READ));
    char path[MAX_PATH] = "";
    shell->GetPath(path, MAX_PATH, nullptr, 0);
    EXPECT_EQ(0, _stricmp(target, path)) << path;
    file->Release();
    shell->Release();
    CoUninitialize();

    // An existing file of that name is never touched.
    ASSERT_EQ(1, Basekit_WriteFile(link, "not a link", 10));
    EXPECT_EQ(0, Basekit_CreateShortcut(target, link, here, "again"));
    HANDLE f = CreateFileA(link, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char back[32] = "";
    DWORD got = 0;
    ReadFile(f, back, sizeof back, &got, nullptr);
    CloseHandle(f);
    EXPECT_EQ("not a link", std::string(back, got));

    DeleteFileA(link);
    DeleteFileA(target);
}

} // namespace
