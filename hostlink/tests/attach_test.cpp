// Attaches from two processes: the server starts once, the attach count lives in the block shared
// by both processes, and the last detach (in either process) closes the server.
#include <gtest/gtest.h>
#include <stdio.h>
#include "hostlink.h"
#include "hostlink_proto.h"
#include "test_util.h"

namespace {

int ServerWindows() {
    int n = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, HOSTLINK_SERVER_CLASS, nullptr); w;
         w = FindWindowExA(nullptr, w, HOSTLINK_SERVER_CLASS, nullptr))
        n++;
    return n;
}

struct Peer {
    HANDLE ready, go;
    PROCESS_INFORMATION pi;
};

bool StartPeer(Peer *peer, const char *tag, const char *mode = "") {
    char readyName[64], goName[64], folder[MAX_PATH], cmd[MAX_PATH * 2];
    snprintf(readyName, sizeof(readyName), "hostlink-test-ready-%lu-%s", GetCurrentProcessId(), tag);
    snprintf(goName, sizeof(goName), "hostlink-test-go-%lu-%s", GetCurrentProcessId(), tag);
    peer->ready = CreateEventA(nullptr, TRUE, FALSE, readyName);
    peer->go = CreateEventA(nullptr, TRUE, FALSE, goName);
    ProgramFolder(folder, MAX_PATH);
    snprintf(cmd, sizeof(cmd), "\"%shostlink_peer.exe\" %s %s %s", folder, readyName, goName,
             mode);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    return CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &peer->pi) != FALSE;
}

// Lets the peer detach and end; its exit code.
DWORD EndPeer(Peer *peer) {
    SetEvent(peer->go);
    DWORD code = 99;
    if (WaitFor([peer] { return WaitForSingleObject(peer->pi.hProcess, 0) == WAIT_OBJECT_0; }))
        GetExitCodeProcess(peer->pi.hProcess, &code);
    CloseHandle(peer->pi.hProcess);
    CloseHandle(peer->pi.hThread);
    CloseHandle(peer->ready);
    CloseHandle(peer->go);
    return code;
}

TEST(Attach, ServerStartsOnceAndStopsWithTheLastDetachOfAnyProcess) {
    ASSERT_EQ(ServerWindows(), 0);
    EXPECT_EQ(Hostlink_Attach(), 1);
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    ASSERT_TRUE(server);

    Peer peer;
    ASSERT_TRUE(StartPeer(&peer, "a"));
    ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(peer.ready, 0) == WAIT_OBJECT_0; }));
    EXPECT_EQ(ServerWindows(), 1);
    EXPECT_EQ(FindWindowA(HOSTLINK_SERVER_CLASS, nullptr), server);

    // Our detach leaves the peer's attach: the server stays.
    EXPECT_EQ(Hostlink_Detach(), 1);
    EXPECT_TRUE(IsWindow(server));
    // A second detach without an attach must not take the peer's count away.
    EXPECT_EQ(Hostlink_Detach(), 1);
    EXPECT_TRUE(IsWindow(server));

    EXPECT_EQ(EndPeer(&peer), 0u);
    EXPECT_TRUE(WaitFor([server] { return !IsWindow(server); }));
    EXPECT_EQ(ServerWindows(), 0);
}

TEST(Attach, PeerFirstThenUsTheServerStopsWithOurDetach) {
    Peer peer;
    ASSERT_TRUE(StartPeer(&peer, "b"));
    ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(peer.ready, 0) == WAIT_OBJECT_0; }));
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    ASSERT_TRUE(server);
    EXPECT_EQ(Hostlink_Attach(), 1);
    EXPECT_EQ(FindWindowA(HOSTLINK_SERVER_CLASS, nullptr), server);
    EXPECT_EQ(EndPeer(&peer), 0u);
    EXPECT_TRUE(IsWindow(server));
    EXPECT_EQ(Hostlink_Detach(), 1);
    EXPECT_TRUE(WaitFor([server] { return !IsWindow(server); }));
}

TEST(Attach, ProcessEndingWithoutDetachGivesItsAttachBack) {
    EXPECT_EQ(Hostlink_Attach(), 1);
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    ASSERT_TRUE(server);
    Peer peer;
    ASSERT_TRUE(StartPeer(&peer, "c", "nodetach"));
    ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(peer.ready, 0) == WAIT_OBJECT_0; }));
    EXPECT_EQ(EndPeer(&peer), 0u);
    EXPECT_TRUE(IsWindow(server));
    EXPECT_EQ(Hostlink_Detach(), 1);
    EXPECT_TRUE(WaitFor([server] { return !IsWindow(server); }));
}

TEST(Attach, WordsSentToTheClientWindowLandInTheWordsMapping) {
    ASSERT_EQ(Hostlink_Attach(), 1);
    HWND client = FindWindowA(HOSTLINK_CLIENT_CLASS, nullptr);
    ASSERT_TRUE(client);
    SendMessageA(client, VLM_CAPTURE_SET_WORDS, 0, MAKELONG(7, 65535));
    HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, "NTVLMANXXXX2");
    ASSERT_TRUE(map);
    const int32_t *words = (const int32_t *)MapViewOfFile(map, FILE_MAP_READ, 0, 0, 16);
    ASSERT_TRUE(words);
    EXPECT_EQ(words[0], 7);
    EXPECT_EQ(words[1], 65535);
    UnmapViewOfFile(words);
    CloseHandle(map);
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    EXPECT_EQ(SendMessageA(client, WM_QUERYENDSESSION, 0, 0), 1);  // closes the server
    EXPECT_TRUE(WaitFor([server] { return !IsWindow(server); }));
    Hostlink_Detach();
}

}  // namespace
