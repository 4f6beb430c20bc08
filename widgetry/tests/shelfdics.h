// Shared pieces of the tests of the dictionary controls: a catalogue of fixture dictionaries in a
// settings file of the test, the dictionary manager started over it, and message pumping with a
// condition.
#ifndef WIDGETRY_TESTS_SHELFDICS_H
#define WIDGETRY_TESTS_SHELFDICS_H

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "support/testkit_catalogue.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "support/testkit_peer.h"
#include "../../lexidata/tests/fixtures/dicwriter.h"

namespace shelfdics {

typedef TestkitDictionary Fixture;

// Four dictionaries: English, Japanese (name in Shift-JIS: "waei jiten"), French and German.
const Fixture kFixtures[] = {
    {0x3100, "English-Japanese", 0x0100, 0, RGB(255, 0, 255)},
    {0x3200, "\x98\x61\x89\x70\x8e\xab\x93\x54", 0x0400, 128, RGB(0, 255, 255)},
    {0x3300, "French-Japanese", 0x0200, 0, RGB(0, 128, 0)},
    {0x3400, "German-Japanese", 0x0300, 0, RGB(128, 0, 0)},
};

// Writes one fixture dictionary with the given entries (in index order; by default one entry,
// "entry" and "text") into the folder and enters it in the catalogue.
inline bool AddDictionary(const std::string &folder, const Fixture &f, const std::vector<dicfix::Entry> &entries = {})
{
    return Testkit_AddDictionary(folder, f, entries, {f.language, 0x0400});
}

// The catalogue (the first count fixtures) in a settings file of its own and the manager started.
struct Shelf {
    std::string folder, settings;

    bool Start(const char *name, int count)
    {
        folder = Testkit_StartSettingsFolder(name, &settings);
        for (int i = 0; i < count; i++)
            if (!AddDictionary(folder, kFixtures[i])) return false;
        return Lexshelf_Init(LEXICORE_INIT_DRIVERS) != 0;
    }
    void Stop()
    {
        Lexshelf_Term();
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(settings.c_str());
        Testkit_RemoveFolder(folder);
    }
};

inline VLPriorityList *Kind(int kind) { return reinterpret_cast<VLPriorityList *>(static_cast<UINT_PTR>(kind)); }

// The ids and names of a list in order.
inline std::vector<DWORD> Ids(VLPriorityList *list)
{
    std::vector<DWORD> ids;
    VLPriorityItem item;
    for (int i = 1; Lexshelf_PrioGetItem(list, i, &item); i++) ids.push_back(item.id);
    return ids;
}
inline std::vector<std::string> Names(VLPriorityList *list)
{
    std::vector<std::string> names;
    VLPriorityItem item;
    for (int i = 1; Lexshelf_PrioGetItem(list, i, &item); i++) names.push_back(item.name ? item.name : "");
    return names;
}

// Handles this thread's messages until the condition holds (false after 20 s without it).
inline bool PumpUntil(const std::function<bool()> &done)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > 20000) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

inline void PumpAll()
{
    PumpUntil([] { return true; });
}

// A second process with the manager (the manager's own test helper): it signals ready, acts when
// told to go, and at the end writes the lists as it holds them.
struct Peer : TestkitPeer {
    Peer(const Shelf &shelf, const std::string &action)
        : TestkitPeer(Testkit_ProgramFolder() + "\\lexshelf_peer_helper.exe", "\"" + shelf.settings + "\"",
                      shelf.folder + "\\peer.txt", action)
    {
    }
};

// Has a peer do action and handles this thread's messages until done holds (the manager's
// notices have come); false when the peer did not start or the condition never held.
inline bool PeerActs(const Shelf &shelf, const std::string &action, const std::function<bool()> &done)
{
    Peer peer(shelf, action);
    if (!peer.started) return false;
    peer.Go();
    bool held = PumpUntil(done);
    peer.Finish();
    return held;
}

// The ids of list kind in a peer's report ("list <kind> <id>:<priority> ...").
std::vector<DWORD> PeerList(const std::string &report, int kind)
{
    std::vector<DWORD> ids;
    std::string head = "list " + std::to_string(kind);
    size_t at = report.find(head);
    if (at == std::string::npos) return ids;
    size_t end = report.find('\n', at);
    std::string line = report.substr(at + head.size(), end - at - head.size());
    size_t pos = 0;
    while ((pos = line.find(' ', pos)) != std::string::npos) {
        ids.push_back(static_cast<DWORD>(strtoul(line.c_str() + pos + 1, nullptr, 10)));
        pos++;
    }
    return ids;
}

} // namespace shelfdics

#endif
