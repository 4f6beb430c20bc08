// Shared pieces of the engine's tests: a sandbox folder, the two settings modes, catalogue
// registration of fixture dictionaries.
#ifndef LEXICORE_TESTS_TESTKIT_H
#define LEXICORE_TESTS_TESTKIT_H

#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "basekit.h"
#include "support/testkit_folders.h"
#include "support/testkit_files.h"
#include "lexicore.h"
#include "linguakeeper.h"
#include "../../lexidata/tests/fixtures/dicwriter.h"

namespace kit {

enum class Mode { Registry, File };

inline constexpr auto &Cwd = Testkit_Cwd;
inline constexpr auto &ExeFolder = Testkit_ProgramFolder;
inline constexpr auto &Exists = Testkit_Exists;
inline constexpr auto &RemoveFolder = Testkit_RemoveFolder;
inline std::string ReadAll(const std::string &path) { return Testkit_ReadFile(path); }
inline void WriteAll(const std::string &path, const std::string &bytes) { Testkit_WriteFile(path, bytes); }

inline std::string DicRoot() {
    char root[MAX_PATH];
    Lexidata_GetDicRootKey(root);
    return root;
}

// Empties the catalogue tree of the current mode.
inline void ClearCatalogue() {
    if (Basekit_SettingsGetFile(nullptr)) return;  // the file is deleted by the sandbox
    RegDeleteTreeA(HKEY_CURRENT_USER, DicRoot().c_str());
}

// A sandbox folder below the working folder and the settings mode of the test.
struct Sandbox {
    std::string folder, settings;
    Mode mode;
    Sandbox(const std::string &name, Mode m) : mode(m) {
        folder = Cwd() + "\\" + name;
        RemoveFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        settings = Cwd() + "\\" + name + ".ini";
        DeleteFileA(settings.c_str());
        if (mode == Mode::File) {
            WriteAll(settings, "");
            Basekit_SettingsSetFile(settings.c_str());
        } else {
            Basekit_SettingsSetFile(nullptr);
        }
        ClearCatalogue();
    }
    ~Sandbox() {
        Lexicore_Term();
        ClearCatalogue();
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(settings.c_str());
        RemoveFolder(folder);
    }
    std::string Path(const std::string &name) const { return folder + "\\" + name; }
    std::string SettingsArg() const { return mode == Mode::File ? settings : std::string("-"); }
};

// Registers a file key with FileName and Name, and sub-dictionary keys 01.. with LangID and the
// nickname "<nick><n>".
inline void Register(DWORD fileId, const std::string &fileName, const std::string &name, int subs,
                     WORD language = 0x0100, const std::string &nick = "N") {
    char key[MAX_PATH];
    Lexidata_GetDicKey(fileId, key);
    Basekit_SettingsWriteString(key, "FileName", fileName.c_str());
    Basekit_SettingsWriteString(key, "Name", name.c_str());
    for (int i = 1; i <= subs; i++) {
        Lexidata_GetDicIndexKey(fileId, i, key);
        Basekit_SettingsWriteDword(key, "LangID", language);
        Basekit_SettingsWriteString(key, "NickName", (nick + std::to_string(i)).c_str());
    }
}

inline dicfix::Entry E(const char *headword, uint16_t back = 0, const char *text = "text") {
    dicfix::Entry e;
    e.headword = headword;
    e.backDistance = back;
    e.text1 = text;
    return e;
}

// Gives the first headword index a bucket directory: the directory and a copy of the pointer
// table are appended to the file and the forward descriptor is pointed at them.  Bucket numbers
// come from the language driver's own bucket procedure; an empty bucket starts where its keys
// would stand.
inline void AddDirectory(const std::string &path, const dicfix::Dictionary &d, const dicfix::Layout &layout) {
    LinguakeeperDriverProcs procs;
    memset(&procs, 0, sizeof procs);
    if (!Linguakeeper_GetDriverProcs(d.indexes[0].language, 0, &procs)) return;
    std::string file = kit::ReadAll(path);
    const dicfix::IndexLayout &il = layout.indexes[0];
    const uint32_t buckets = 1369;
    std::vector<uint32_t> k0s;
    for (const dicfix::Entry &e : d.indexes[0].entries) {
        std::vector<char> norm(e.headword.size() * 2 + 8);
        procs.normalize(2, e.headword.c_str(), norm.data());
        WORD k[3];
        procs.sortKey(norm.data(), 0, k);
        k0s.push_back(k[0]);
    }
    dicfix::Bytes f;
    f.b.assign(file.begin(), file.end());
    uint32_t base = f.Pos(), table = 8 * buckets;
    for (uint32_t b = 0; b < buckets; b++) {
        uint32_t first = 0, count = 0;
        for (uint32_t k : k0s) first += k < b;
        for (uint32_t k : k0s) count += k == b;
        f.U32(first);
        f.U32(count);
    }
    for (uint32_t n = 0; n < il.count; n++) f.U32(il.records[n]);
    uint32_t at = layout.subDicRecords + 40 * il.subDic + 8;
    f.Set32(at, table);
    f.Set32(at + 4, base);
    f.Set32(at + 8, table + 4 * il.count);
    kit::WriteAll(path, std::string(f.b.begin(), f.b.end()));
}

}  // namespace kit

#endif
