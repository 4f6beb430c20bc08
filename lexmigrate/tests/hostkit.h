// A scripted host for the upgrade core: answers from lists given by the test (the last answer of a
// list repeats; an empty list answers No, Skip or Close), English texts as the program's string
// table has them, and a log of every question in the order asked.
#ifndef LEXMIGRATE_TESTS_HOSTKIT_H
#define LEXMIGRATE_TESTS_HOSTKIT_H

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "../core/migrate.h"
#include "basekit.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"

struct ScriptHost {
    // Answers, taken in turn.
    std::vector<int> yesNo;                 // IDYES / IDNO
    struct Cd {
        int answer;                          // MIGRATE_CD_*
        std::string folder;                  // the drive's root chosen on OK
    };
    std::vector<Cd> cd;
    std::vector<int> choose;                // index into the offered titles, -1 Close
    bool stop = false;                      // the program is ending
    bool refuseReplace = false;             // enterReplace answers false

    // What happened.
    std::vector<std::string> log;           // "yesno 19", "note 21", "cd <name>", "choose n"
    std::vector<std::vector<std::string>> offered;
    std::vector<std::string> statuses, commands;
    std::vector<int> progress;
    int insideReplace = 0;

    MigrateHost host = {};

    ScriptHost()
    {
        host.context = this;
        host.loadText = LoadText;
        host.askYesNo = AskYesNo;
        host.note = Note;
        host.askCd = AskCd;
        host.chooseAdditional = Choose;
        host.status = Status;
        host.progress = Progress;
        host.enterReplace = Enter;
        host.leaveReplace = Leave;
        host.stopping = Stopping;
        host.run = Run;
        host.copyProgress = Silent;
        host.copyContext = this;
    }
    ScriptHost(const ScriptHost &) = delete;

    int Count(const std::string &entry) const
    {
        int n = 0;
        for (const std::string &s : log) n += s == entry;
        return n;
    }

    static std::string Text(UINT id)
    {
        static const std::map<UINT, std::string> texts = {
            {1, "VelomiraV5.5 Dictionary Upgrade"}, {2, "Notify"},
            {3, "Are you sure to stop upgrading?"}, {5, "%s"},
            {6, "Insert CD-ROM, including\r\n ' %s' ."},
            {10, "To use upgraded dictionary. Restart Velomira!"}, {13, "Now Upgrading '%s'."},
            {15, "VelomiraV5.5"}, {16, "Dictionary "}, {18, "Overwrite"},
            {19, "Are you sure to overwrite?"}, {20, "About user dictionary"},
            {21, "Use 'Dictionary Manager', to Upgrade user dictionary."},
            {22, "Upgrade Dictionary"}, {23, "Stop Velomira, and restart dictionary upgrade."},
            {24, "No dictionary has Upgraded."}, {25, "E&xit"},
            {27, "Upgrade Additional Dictionaries"}, {28, "Upgrade Dictionaries from CD-ROM?"},
            {29, "Preparing Upgrade of Dictionary..."}, {30, "Copying Dictionary..."}};
        auto it = texts.find(id);
        if (it != texts.end()) return it->second;
        if ((id >= 0x1001 && id <= 0x1127) || (id >= 0xE003 && id <= 0xE00A)) {
            char t[32];
            snprintf(t, sizeof t, "Title %04X", id);
            return t;
        }
        return "";
    }

private:
    static ScriptHost *Self(void *c) { return static_cast<ScriptHost *>(c); }
    template <class T>
    static T Take(std::vector<T> &list, T none)
    {
        if (list.empty()) return none;
        T v = list.front();
        if (list.size() > 1) list.erase(list.begin());
        return v;
    }
    static int LoadText(void *, UINT id, char *buf, int cap)
    {
        std::string t = Text(id);
        Migrate_Copy(buf, t.c_str(), (size_t)cap);
        return (int)strlen(buf);
    }
    static int AskYesNo(void *c, UINT text, UINT)
    {
        Self(c)->log.push_back("yesno " + std::to_string(text));
        return Take(Self(c)->yesNo, IDNO);
    }
    static void Note(void *c, UINT text, UINT) { Self(c)->log.push_back("note " + std::to_string(text)); }
    static int AskCd(void *c, const char *name, char *folder)
    {
        Self(c)->log.push_back(std::string("cd ") + name);
        Cd a = Take(Self(c)->cd, Cd{MIGRATE_CD_SKIP, ""});
        if (a.answer == MIGRATE_CD_OK) Migrate_Copy(folder, a.folder.c_str(), MAX_PATH);
        return a.answer;
    }
    static int Choose(void *c, const std::vector<const char *> &titles)
    {
        std::vector<std::string> t(titles.begin(), titles.end());
        Self(c)->offered.push_back(t);
        int n = Take(Self(c)->choose, -1);
        Self(c)->log.push_back("choose " + std::to_string(n));
        return n;
    }
    static void Status(void *c, const char *text) { Self(c)->statuses.push_back(text); }
    static void Progress(void *c, int p) { Self(c)->progress.push_back(p); }
    static bool Enter(void *c)
    {
        if (Self(c)->refuseReplace) return false;
        Self(c)->insideReplace++;
        return true;
    }
    static void Leave(void *c) { Self(c)->insideReplace--; }
    static bool Stopping(void *c) { return Self(c)->stop; }
    static bool Run(void *c, const char *line)
    {
        Self(c)->commands.push_back(line);
        return true;
    }
    static int CALLBACK Silent(int, void *) { return 1; }
};

// A folder of the test with install, version-3, version-2 and CD folders (and the given folders
// below it), a settings file of its own, and a migration pointed at those folders and asking the
// scripted host.
struct MigrateSandbox {
    std::string root, settings;
    Migration m;
    ScriptHost script;

    MigrateSandbox(const char *name, std::initializer_list<const char *> more)
    {
        root = Testkit_Cwd() + "\\" + name;
        Testkit_RemoveFolder(root);
        CreateDirectoryA(root.c_str(), nullptr);
        for (const char *f : {"install", "v3", "v3\\Program", "v2", "cd"}) CreateDirectoryA(Path(f).c_str(), nullptr);
        for (const char *f : more) CreateDirectoryA(Path(f).c_str(), nullptr);
        settings = root + ".ini";
        SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(settings.c_str());
        Testkit_WriteFile(settings, std::string());
        Basekit_SettingsSetFile(settings.c_str());
        Migrate_Copy(m.env.installFolder, Path("install\\").c_str(), MAX_PATH);
        Migrate_Copy(m.env.v3Folder, Path("v3\\Program\\").c_str(), MAX_PATH);
        Migrate_Copy(m.env.v2Folder, Path("v2\\").c_str(), MAX_PATH);
        Migrate_Copy(m.env.cdFolder, Path("cd\\").c_str(), MAX_PATH);
        m.host = &script.host;
    }
    ~MigrateSandbox()
    {
        Basekit_SettingsSetFile(nullptr);
        SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(settings.c_str());
        Testkit_RemoveFolder(root);
    }
    MigrateSandbox(const MigrateSandbox &) = delete;
    MigrateSandbox &operator=(const MigrateSandbox &) = delete;
    std::string Path(const std::string &rel) const { return root + "\\" + rel; }
    void Write(const std::string &rel, const std::vector<unsigned char> &b) { Testkit_WriteFile(Path(rel), b); }
};

#endif
