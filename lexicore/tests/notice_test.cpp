// Change notices between processes: a second process started under the same client name follows
// every catalogue change; one started under another name keeps its own catalogue.
#include <gtest/gtest.h>
#include "testkit.h"

using kit::Mode;

namespace {

struct Helper {
    PROCESS_INFORMATION pi = {};
    HANDLE ready = nullptr;
    std::string result;
};

bool Start(Helper *h, const std::string &client, const kit::Sandbox &box, const std::string &tag,
           const std::string &doneName, const char *extra = "") {
    std::string readyName = "lexicore_ready_" + tag + std::to_string(GetCurrentProcessId());
    h->ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    h->result = box.Path("result_" + tag + ".txt");
    std::string cmd = "\"" + kit::ExeFolder() + "\\lexicore_notice_helper.exe\" " + client + " \"" +
                      box.SettingsArg() + "\" " + readyName + " " + doneName + " \"" + h->result + "\" " + extra;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &h->pi))
        return false;
    HANDLE both[2] = {h->ready, h->pi.hProcess};
    return WaitForMultipleObjects(2, both, FALSE, 60000) == WAIT_OBJECT_0;
}

void Finish(Helper *h) {
    if (h->pi.hProcess) {
        WaitForSingleObject(h->pi.hProcess, 60000);
        CloseHandle(h->pi.hProcess);
        CloseHandle(h->pi.hThread);
    }
    if (h->ready) CloseHandle(h->ready);
}

class Notices : public ::testing::TestWithParam<Mode> {};

TEST_P(Notices, ReachEveryProcessOfTheSameClientNameAndNoOther) {
    kit::Sandbox box("notice", GetParam());
    kit::Register(0x2400, box.Path("a.dic"), "A", 1);
    kit::Register(0x2500, box.Path("b.dic"), "B", 1);
    ASSERT_TRUE(Lexicore_Init("VLTN", 0));

    std::string doneName = "lexicore_done_" + std::to_string(GetCurrentProcessId());
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, doneName.c_str());
    Helper same, other;
    ASSERT_TRUE(Start(&same, "VLTN", box, "same", doneName));
    ASSERT_TRUE(Start(&other, "VLTX", box, "other", doneName));

    // Every change is sent, so each process has updated when the call returns.
    DWORD id = Lexicore_CreateUserDic(box.Path("u.rdc").c_str(), "User", "U1", 0, 1, 0x0100, 0x0100);
    EXPECT_EQ(0xF000u, id);
    DicProperty p;
    memset(&p, 0, sizeof p);
    ASSERT_TRUE(Lexicore_GetDicProperty(0x250000, &p));
    strcpy(p.nickname, "Changed");
    Lexicore_SetDicProperty(0x250000, LEXICORE_PROP_NICKNAME, &p);
    EXPECT_EQ(0u, Lexicore_SetDefaultDic(0xF00000));
    EXPECT_TRUE(Lexicore_RemoveDic(0x2400, FALSE));

    SetEvent(done);
    Finish(&same);
    Finish(&other);
    CloseHandle(done);
    EXPECT_EQ("files 2\n250000 0 Changed\nf00000 1 U1\n", kit::ReadAll(same.result));
    EXPECT_EQ("files 2\n240000 0 N1\n250000 0 N1\n", kit::ReadAll(other.result));
}

// A process that takes no messages is given up on: the change still reaches every other process
// and the sender goes on.
TEST(HungProcess, DoesNotHoldUpAChange) {
    kit::Sandbox box("hung", Mode::File);
    kit::Register(0x2500, box.Path("b.dic"), "B", 1);
    ASSERT_TRUE(Lexicore_Init("VLTH", 0));
    std::string doneName = "lexicore_hdone_" + std::to_string(GetCurrentProcessId());
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, doneName.c_str());
    Helper hung, live;
    ASSERT_TRUE(Start(&hung, "VLTH", box, "hung", doneName, "hang"));
    ASSERT_TRUE(Start(&live, "VLTH", box, "live", doneName));
    DicProperty p;
    memset(&p, 0, sizeof p);
    ASSERT_TRUE(Lexicore_GetDicProperty(0x250000, &p));
    strcpy(p.nickname, "Changed");
    EXPECT_TRUE(Lexicore_SetDicProperty(0x250000, LEXICORE_PROP_NICKNAME, &p));
    ASSERT_TRUE(Lexicore_GetDicProperty(0x250000, &p));
    EXPECT_STREQ("Changed", p.nickname);
    SetEvent(done);
    Finish(&hung);
    Finish(&live);
    CloseHandle(done);
    EXPECT_EQ("files 1\n250000 0 Changed\n", kit::ReadAll(live.result));
}

// A process whose catalogue was read before another process made a user dictionary still takes
// another id for its own, and both dictionaries stay in the catalogue.
TEST(NewDictionaries, TakeDistinctIdsAcrossProcesses) {
    kit::Sandbox box("newids", Mode::File);
    ASSERT_TRUE(Lexicore_Init("VLTN", 0));
    std::string doneName = "lexicore_ndone_" + std::to_string(GetCurrentProcessId());
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, doneName.c_str());
    Helper creator;
    // Another client name: no notice refreshes this process's catalogue in between.
    ASSERT_TRUE(Start(&creator, "VLTC", box, "creator", doneName, ("\"create=" + box.Path("theirs.rdc") + "\"").c_str()));
    DWORD mine = Lexicore_CreateUserDic(box.Path("mine.rdc").c_str(), "Mine", "M", 0, 1, 0x0100, 0x0100);
    SetEvent(done);
    Finish(&creator);
    CloseHandle(done);
    std::string result = kit::ReadAll(creator.result);
    ASSERT_EQ(0u, result.find("created f000\n")) << result;
    EXPECT_NE(0u, mine);
    EXPECT_NE(0xF000u, mine);
    Lexicore_Term();
    ASSERT_TRUE(Lexicore_Init("VLTN", 0));
    DicInfo theirs, own;
    ASSERT_TRUE(Lexicore_GetDicInfo(0xF000, &theirs));
    ASSERT_TRUE(Lexicore_GetDicInfo(mine, &own));
    EXPECT_STREQ(box.Path("theirs.rdc").c_str(), theirs.path);
    EXPECT_STREQ(box.Path("mine.rdc").c_str(), own.path);
}

// Two processes adding to one user dictionary at the same time: the writers take turns and
// every entry of both goes in.
TEST(UserDictionaryWriters, TakeTurnsAcrossProcesses) {
    kit::Sandbox box("writers", Mode::File);
    ASSERT_TRUE(Lexicore_Init("VLTN", 0));
    DWORD id = Lexicore_CreateUserDic(box.Path("shared.rdc").c_str(), "Shared", "S", 0, 1, 0x0100, 0x0100);
    ASSERT_NE(0u, id);
    const int kEach = 120;
    std::string doneName = "lexicore_wdone_" + std::to_string(GetCurrentProcessId());
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, doneName.c_str());
    Helper other;
    char arg[64];
    snprintf(arg, sizeof arg, "add=%x:%d", (unsigned)(id << 8), kEach);
    ASSERT_TRUE(Start(&other, "VLTC", box, "writer", doneName, arg));
    int added = 0;
    for (int i = 0; i < kEach; i++) {
        std::string headword = "m" + std::to_string(i);
        VLDataItem head;
        memset(&head, 0, sizeof head);
        head.head.type = VLITEM_DATA;
        VLDataItem *item = VLDataItem_Create(&head, headword.c_str(), nullptr, nullptr, nullptr);
        if (Lexicore_AddUserEntry(id << 8, item, "from this process", nullptr) >= 0) added++;
        VLDataItem_Destroy(item);
    }
    SetEvent(done);
    Finish(&other);
    CloseHandle(done);
    EXPECT_EQ(kEach, added);
    EXPECT_EQ(0u, kit::ReadAll(other.result).find("added " + std::to_string(kEach) + "\n")) << kit::ReadAll(other.result);
    EXPECT_EQ(2 * kEach, Lexicore_GetEntryCount(id << 8, 0));
    EXPECT_EQ(2 * kEach, Lexicore_GetEntryCount(id << 8, 1));
}

INSTANTIATE_TEST_SUITE_P(Modes, Notices, ::testing::Values(Mode::Registry, Mode::File),
                         [](const ::testing::TestParamInfo<Mode> &i) {
                             return std::string(i.param == Mode::File ? "SettingsFile" : "Registry");
                         });

}  // namespace
