// Skin titles under a Western code page (1252): "Title_Jpn" is not used there, even when set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basekit.h"
#include "prefstore.h"

namespace {

int CALLBACK Collect(const char *path, const char *title, LPARAM user)
{
    auto *found = reinterpret_cast<std::vector<std::pair<std::string, std::string>> *>(user);
    found->push_back({path, title});
    return 1;
}

TEST(SkinTitles, WesternCodePageListsTheTitle)
{
    ASSERT_NE(932u, GetACP());
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = self;
    folder = folder.substr(0, folder.rfind('\\')) + "\\Skins\\western-" +
             std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string file = folder + "\\both.tsk";
    // Title_Jpn holds "standard" in Shift-JIS.
    std::string text = "[SkinInfo]\r\nTitle=Both\r\nTitle_Jpn=\x95\x57\x8f\x80\r\n";
    Basekit_WriteFile(file.c_str(), text.data(), static_cast<DWORD>(text.size()));
    std::vector<std::pair<std::string, std::string>> found;
    EXPECT_EQ(1, Prefstore_EnumSkins(Collect, reinterpret_cast<LPARAM>(&found)));
    std::string title = "(not listed)";
    for (auto &f : found)
        if (lstrcmpiA(f.first.c_str(), file.c_str()) == 0) title = f.second;
    EXPECT_EQ("Both", title);
    Basekit_DeleteTree(folder.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
