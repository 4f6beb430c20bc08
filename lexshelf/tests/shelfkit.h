// Shared pieces of the dictionary manager's tests: a sandbox with its settings mode and its own
// user data folder, message pumping with a condition, and small readers of the stored data.
#ifndef LEXSHELF_TESTS_SHELFKIT_H
#define LEXSHELF_TESTS_SHELFKIT_H

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <functional>
#include <string>
#include <vector>
#include "basekit.h"
#include "support/testkit_folders.h"
#include "lexicore.h"
#include "lexshelf.h"

namespace shelfkit {

enum class Mode { Registry, File };

inline const char *kRoot = "SOFTWARE\\Halvenstone\\Velosuite\\4.0";

inline constexpr auto &Cwd = Testkit_Cwd;
inline constexpr auto &ExeFolder = Testkit_ProgramFolder;
inline constexpr auto &Exists = Testkit_Exists;
inline constexpr auto &RemoveFolder = Testkit_RemoveFolder;

// Points the relay library's user data folder at a folder of the test (or at a path it refuses).
inline void SetDataFolder(const std::string &folder) {
    SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", folder.c_str());
    _putenv_s("SHAREDKIT_DATA_DIR", folder.c_str());
}

inline void ClearStore() {
    std::string root = kRoot;
    RegDeleteTreeA(HKEY_CURRENT_USER, (root + "\\Group").c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, (root + "\\TranslationSet").c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (root + "\\Dictionary").c_str(), 0, KEY_SET_VALUE, &key) == 0) {
        RegDeleteValueA(key, "ActiveList");
        RegCloseKey(key);
    }
}

// A sandbox: the settings mode (registry or a fresh settings file), an empty store, and the user
// data folder below the working folder.  The manager is stopped when it goes.
struct Sandbox {
    std::string folder, settings;
    Mode mode;
    Sandbox(const std::string &name, Mode m) : mode(m) {
        LoadLibraryA("SHAREDKIT.DLL");
        folder = Cwd() + "\\" + name;
        RemoveFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        settings = Cwd() + "\\" + name + ".ini";
        DeleteFileA(settings.c_str());
        if (mode == Mode::File) {
            FILE *f = fopen(settings.c_str(), "wb");
            if (f)
                fclose(f);
            Basekit_SettingsSetFile(settings.c_str());
        } else {
            Basekit_SettingsSetFile(nullptr);
            ClearStore();
        }
        SetDataFolder(folder + "\\UserData");
    }
    ~Sandbox() {
        Lexshelf_Term();
        if (mode == Mode::Registry)
            ClearStore();
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(settings.c_str());
        RemoveFolder(folder);
    }
    std::string StudyList(const std::string &name) const { return folder + "\\UserData\\StudyList\\" + name; }
    std::string SettingsArg() const { return mode == Mode::File ? settings : std::string("-"); }
};

// Handles this thread's messages until the condition holds (false after 20 s without it).
inline bool PumpUntil(const std::function<bool()> &done) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > 20000)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// Handles whatever is queued now, including what the handlers post in turn.
inline void PumpAll() {
    MSG msg;
    for (int round = 0; round < 1000; round++) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            return;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline VLPriorityList *Kind(int kind) { return (VLPriorityList *)(UINT_PTR)kind; }

// The ids of a list in order.
inline std::vector<DWORD> Ids(VLPriorityList *list) {
    std::vector<DWORD> ids;
    VLPriorityItem item;
    for (int i = 1; Lexshelf_PrioGetItem(list, i, &item); i++)
        ids.push_back(item.id);
    return ids;
}

inline DWORD NewGroup(const char *name, std::vector<DWORD> dics = {}) {
    VLDicGroup *g = Lexshelf_GroupCreate();
    Lexshelf_GroupSetNames(g, name, "");
    for (DWORD d : dics)
        Lexshelf_GroupInsertDic(g, d, 0);
    Lexshelf_GroupSave(g);
    DWORD id = g->id;
    Lexshelf_GroupDestroy(g);
    return id;
}

}  // namespace shelfkit

#endif
