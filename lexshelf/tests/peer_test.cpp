// Two processes: a change in one reaches the other's copies once its message loop has run, and
// groups created at the same moment in both get two ids.
#include <gtest/gtest.h>
#include <string.h>
#include <map>
#include <sstream>
#include "shelfkit.h"
#include "support/testkit_files.h"
#include "support/testkit_peer.h"
#include "lexidata.h"

using namespace shelfkit;

namespace {

// The helper process with its events; Finish signals done and returns what it reported.
struct Peer : TestkitPeer {
    // A bare program name is the helper or a copy in the test's folder of programs; either runs in
    // the libraries' folder, so it finds them as its own.
    Peer(const Sandbox &box, const std::string &action, const std::string &program = "lexshelf_peer_helper.exe")
        : TestkitPeer(program.find('\\') != std::string::npos ? program : ExeFolder() + "\\" + program,
                      "\"" + box.SettingsArg() + "\"", box.folder + "\\peer.txt", action, ExeFolder().c_str())
    {
    }
};

// Groups (id -> name) from the helper's report.
std::map<DWORD, std::string> GroupsIn(const std::string &report) {
    std::map<DWORD, std::string> groups;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 2, "g ") != 0)
            continue;
        size_t space = line.find(' ', 2);
        groups[(DWORD)std::stoul(line.substr(2, space - 2))] = line.substr(space + 1);
    }
    return groups;
}

std::string ListLine(const std::string &report, int kind) {
    std::istringstream in(report);
    std::string line, prefix = "list " + std::to_string(kind);
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    return "?";
}

class PeerModes : public ::testing::TestWithParam<Mode> {};

TEST_P(PeerModes, ChangeReachesTheOtherProcess) {
    Sandbox box("peerchange", GetParam());
    Peer peer(box, "watch");
    ASSERT_TRUE(peer.started);
    ASSERT_TRUE(Lexshelf_Init(3));
    VLDicGroup *g = Lexshelf_GroupCreate();
    Lexshelf_GroupSetNames(g, "shared", "");
    ASSERT_TRUE(Lexshelf_PrioAddGroup(Kind(1), g));
    ASSERT_TRUE(PumpUntil([&] { return Lexshelf_PrioFind(Kind(0), g->id) == 1; }));
    std::string report = peer.Finish();
    std::map<DWORD, std::string> groups = GroupsIn(report);
    ASSERT_EQ(1u, groups.size()) << report;
    EXPECT_EQ("shared", groups[g->id]);
    for (int kind = 0; kind < 3; kind++)
        EXPECT_EQ(" " + std::to_string(g->id) + ":1", ListLine(report, kind)) << report;
    Lexshelf_GroupDestroy(g);
}

TEST_P(PeerModes, GroupsCreatedAtOnceGetTwoIds) {
    Sandbox box("peerrace", GetParam());
    Peer peer(box, "group:theirs");
    ASSERT_TRUE(peer.started);
    ASSERT_TRUE(Lexshelf_Init(3));
    VLDicGroup *g = Lexshelf_GroupCreate();
    Lexshelf_GroupSetNames(g, "ours", "");
    SetEvent(peer.go);
    ASSERT_TRUE(Lexshelf_PrioAddGroup(Kind(0), g));
    ASSERT_TRUE(PumpUntil([&] { return Lexshelf_GetGroupCount() == 2; }));
    PumpAll();
    std::string report = peer.Finish();
    std::map<DWORD, std::string> groups = GroupsIn(report);
    ASSERT_EQ(2u, groups.size()) << report;
    EXPECT_EQ("ours", groups[g->id]);
    DWORD theirs = g->id == 1 ? 2 : 1;
    EXPECT_EQ("theirs", groups[theirs]);
    ASSERT_NE(nullptr, Lexshelf_FindGroup(theirs));
    EXPECT_STREQ("theirs", Lexshelf_FindGroup(theirs)->name);
    EXPECT_STREQ("ours", Lexshelf_FindGroup(g->id)->name);
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_NE(0, Lexshelf_PrioFind(Kind(kind), 1));
        EXPECT_NE(0, Lexshelf_PrioFind(Kind(kind), 2));
    }
    Lexshelf_GroupDestroy(g);
}

INSTANTIATE_TEST_SUITE_P(Modes, PeerModes, ::testing::Values(Mode::Registry, Mode::File),
                         [](const ::testing::TestParamInfo<Mode> &info) {
                             return std::string(info.param == Mode::Registry ? "Registry" : "File");
                         });

// A copy of the helper under another program's name, in a folder of the test's own (never beside
// the real programs of that name); removed when the test ends.
struct ProgramCopy {
    std::string path;
    explicit ProgramCopy(const char *name) {
        std::string folder = Testkit_Cwd() + "\\programs";
        CreateDirectoryA(folder.c_str(), nullptr);
        path = folder + "\\" + name;
        CopyFileA((ExeFolder() + "\\lexshelf_peer_helper.exe").c_str(), path.c_str(), FALSE);
    }
    ~ProgramCopy() { DeleteFileA(path.c_str()); }
};

DWORD StoredPriority(DWORD id, const char *name) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\Group\\%08X", kRoot, (unsigned)id);
    return Basekit_SettingsReadDword(path, name);
}

// A stop commits only the list that belongs to the program: the search station's search list,
// nothing in the study-list program.
TEST(Peer, StopCommitsTheProgramsOwnList) {
    struct Case {
        const char *program;
        DWORD searchOfGroup2;  // stored search priority of the group moved to the top
    } cases[] = {{"QUERYDESK.EXE", 1}, {"querydesk.exe", 1}, {"Drillbook.exe", 2}};
    for (const Case &c : cases) {
        Sandbox box("peerstop", Mode::Registry);
        NewGroup("a");
        NewGroup("b");
        for (DWORD id : {1u, 2u}) {
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s\\Group\\%08X", kRoot, (unsigned)id);
            Basekit_SettingsWriteDword(path, "PriorityForPopup", id);
            Basekit_SettingsWriteDword(path, "PriorityForSearch", id);
        }
        ProgramCopy copy(c.program);
        Peer peer(box, "move", copy.path);
        ASSERT_TRUE(peer.started) << c.program;
        std::string report = peer.Finish();
        EXPECT_EQ(" 2:1 1:2", ListLine(report, 1)) << report;
        // Group 2 is first in the stored search order only where the list was committed; the
        // pop-up list, moved alike, is never committed by these programs.
        EXPECT_EQ(c.searchOfGroup2, StoredPriority(2, "PriorityForSearch")) << c.program;
        EXPECT_EQ(2u, StoredPriority(2, "PriorityForPopup")) << c.program;
    }
}

LONG CountIn(const char *path) {
    VLWordList *list = VLWordList_Create(10000);
    LONG n = VLWordList_Load(list, path) ? VLWordList_Count(list) : -1;
    VLWordList_Destroy(list);
    return n;
}

// Fills the study list with more entries than a list keeps.
void Overfill(const char *path) {
    VLWordList *list = VLWordList_Create(10000);
    VLDataItem head = {};
    head.head.type = 1;
    head.head.fileId = 0x1001;
    for (DWORD i = 0; i < 5002; i++) {
        head.head.entryNo = i;
        VLDataItem *item = VLDataItem_Create(&head, ("w" + std::to_string(i)).c_str(), nullptr, nullptr, nullptr);
        VLWordList_Add(list, item);
        VLDataItem_Destroy(item);
    }
    VLWordList_Save(list, path);
    VLWordList_Destroy(list);
}

// The resident program removes the history list at its stop unless a search station or a
// translation window still runs, and trims the active list and the history to what a list keeps.
TEST(Peer, ResidentStopRemovesTheHistory) {
    for (bool searchRuns : {false, true}) {
        Sandbox box("peerhistory", Mode::Registry);
        ASSERT_TRUE(Lexshelf_Init(3));
        char history[MAX_PATH], active[MAX_PATH];
        ASSERT_TRUE(Lexshelf_GetHistoryListPath(history));
        ASSERT_TRUE(Lexshelf_GetActiveList(active));
        Overfill(history);
        Overfill(active);
        ASSERT_EQ(5002, CountIn(active));
        HWND search = nullptr;
        if (searchRuns) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "VelomiraV5SearchMain";
            RegisterClassA(&wc);
            search = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                     nullptr);
        }
        ProgramCopy copy("VELOMIRA.EXE");
        Peer peer(box, "watch", copy.path);
        ASSERT_TRUE(peer.started);
        peer.Finish();
        EXPECT_EQ(searchRuns, Exists(history)) << searchRuns;
        EXPECT_EQ(5000, CountIn(active));
        if (searchRuns) {
            EXPECT_EQ(5000, CountIn(history));
        }
        if (search) {
            DestroyWindow(search);
            UnregisterClassA("VelomiraV5SearchMain", GetModuleHandleA(nullptr));
        }
    }
}

// A study list in an older format (which loads as an empty list) is left as it is at the
// resident program's stop, not saved over as an empty list.
TEST(Peer, ResidentStopLeavesAnOlderFormatListAlone) {
    Sandbox box("peerolder", Mode::Registry);
    ASSERT_TRUE(Lexshelf_Init(3));
    char active[MAX_PATH];
    ASSERT_TRUE(Lexshelf_GetActiveList(active));
    // Header: magic, item bytes 132, format 0x400, one item, maximum 5000; then the item's bytes.
    std::string older("VLV5DATA\x84\x00\x00\x00\x00\x04\x01\x00\x00\x00\x88\x13\x00\x00", 22);
    older += std::string(10, '\0') + std::string(132, 'o');
    Testkit_WriteFile(active, older);
    ProgramCopy copy("VELOMIRA.EXE");
    Peer peer(box, "watch", copy.path);
    ASSERT_TRUE(peer.started);
    peer.Finish();
    EXPECT_EQ(older, Testkit_ReadFile(active));
}

}  // namespace
