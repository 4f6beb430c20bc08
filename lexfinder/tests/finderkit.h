// Shared pieces of the finder's tests: a sandbox whose settings are put back afterwards, fixture
// dictionaries of every kind the recognisers know (written from the formats, not from the
// finder's readers), names files, and searching a registered dictionary through the engine.
#ifndef LEXFINDER_TESTS_FINDERKIT_H
#define LEXFINDER_TESTS_FINDERKIT_H

#include <windows.h>
#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "finder_int.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "../../lexidata/tests/fixtures/dicwriter.h"
#include "../../lexicore/tests/bookfix.h"

namespace fk {

const char kSuiteKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0";
const char kBackupKey[] = "Software\\LexfinderTestBackup";
const char kDicRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary";

inline constexpr auto &Cwd = Testkit_Cwd;
inline constexpr auto &BinFolder = Testkit_ProgramFolder;
inline constexpr auto &Exists = Testkit_Exists;
inline constexpr auto &RemoveFolder = Testkit_RemoveFolder;

inline void MakeFolders(const std::string &path)
{
    for (size_t at = 3; at <= path.size(); at++)
        if (at == path.size() || path[at] == '\\') CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}

inline std::string ReadAllFile(const std::string &path) { return Testkit_ReadFile(path); }

inline void Write(const std::string &path, const std::string &bytes)
{
    MakeFolders(path.substr(0, path.rfind('\\')));
    Testkit_WriteFile(path, bytes);
}

// The suite's settings below the current user are kept aside while a test runs and put back
// afterwards, so that the tests start from an empty catalogue and leave the prefix as they found it.
struct SettingsGuard {
    SettingsGuard()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBackupKey);
        HKEY suite;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSuiteKey, 0, KEY_READ, &suite) == ERROR_SUCCESS) {
            HKEY backup;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup,
                                nullptr) == ERROR_SUCCESS) {
                RegCopyTreeA(suite, nullptr, backup);
                RegCloseKey(backup);
                saved = true;
            }
            RegCloseKey(suite);
        }
        Clear();
    }
    ~SettingsGuard()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSuiteKey);
        if (!saved) return;
        HKEY backup, suite;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kBackupKey, 0, KEY_READ, &backup) == ERROR_SUCCESS) {
            if (RegCreateKeyExA(HKEY_CURRENT_USER, kSuiteKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &suite,
                                nullptr) == ERROR_SUCCESS) {
                RegCopyTreeA(backup, nullptr, suite);
                RegCloseKey(suite);
            }
            RegCloseKey(backup);
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, kBackupKey);
    }
    static void Clear()
    {
        for (const char *part : {"Dictionary", "Group", "Language"})
            RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kSuiteKey) + "\\" + part).c_str());
    }
    bool saved = false;
};

// ---- Settings as they stand -----------------------------------------------------------------------
inline std::string DicKey(DWORD fileId, int sub = 0)
{
    char key[MAX_PATH];
    if (sub)
        Lexidata_GetDicIndexKey(fileId, sub, key);
    else
        Lexidata_GetDicKey(fileId, key);
    return key;
}

inline std::string Text(const std::string &key, const char *name)
{
    char buf[MAX_PATH];
    return Basekit_SettingsReadString(key.c_str(), name, buf, sizeof buf) ? std::string(buf) : std::string("<none>");
}

inline bool KeyExists(const std::string &key)
{
    SettingsKey k = Basekit_SettingsOpenKey(key.c_str());
    if (k) Basekit_SettingsCloseKey(k);
    return k != nullptr;
}

// Every key, value name and value below the suite's key of the current user, one line each; the
// study list that the dictionary manager's start notes (ActiveList) is left out.
inline void DumpKey(HKEY key, const std::string &path, std::string *out)
{
    char name[512];
    BYTE data[2048];
    for (DWORD i = 0;; i++) {
        DWORD n = sizeof name, size = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &n, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        if (strcmp(name, "ActiveList") == 0) continue;
        *out += path + "|" + name + "|" + std::string((const char *)data, size) + "\n";
    }
    std::vector<std::string> subs;
    for (DWORD i = 0;; i++) {
        DWORD n = sizeof name;
        if (RegEnumKeyExA(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subs.push_back(name);
    }
    for (const std::string &s : subs) {
        HKEY sub;
        if (RegOpenKeyExA(key, s.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        *out += path + "\\" + s + "\n";
        DumpKey(sub, path + "\\" + s, out);
        RegCloseKey(sub);
    }
}

inline std::string SettingsSnapshot()
{
    std::string out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSuiteKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    DumpKey(key, "", &out);
    RegCloseKey(key);
    return out;
}

// The dictionaries of group 1.
inline std::vector<DWORD> Group1()
{
    std::vector<DWORD> ids;
    VLDicGroup *g = Lexshelf_GroupCreate();
    if (Lexshelf_GroupLoad(1, g))
        for (DWORD i = 0; i < Lexshelf_GroupGetDicCount(g); i++) ids.push_back(Lexshelf_GroupGetDic(g, (int)i));
    Lexshelf_GroupDestroy(g);
    return ids;
}

// ---- Fixture dictionaries ------------------------------------------------------------------------
inline dicfix::Entry E(const char *headword, const char *text)
{
    dicfix::Entry e;
    e.headword = headword;
    e.text1 = text;
    return e;
}

// A static dictionary file: one English index (with the file's languages in its header), the
// entries in index order.
inline void WriteStaticDic(const std::string &path, DWORD fileId, std::vector<dicfix::Entry> entries,
                           std::vector<uint16_t> languages = {0x0100, 0x0400})
{
    dicfix::Dictionary d;
    d.fileId = fileId;
    d.languages = languages;
    dicfix::Index x;
    x.entries = entries;
    d.indexes.push_back(x);
    MakeFolders(path.substr(0, path.rfind('\\')));
    EXPECT_TRUE(dicfix::Write(path, d)) << path;
}

// Sets the 32-bit header value at offset 8 of a dictionary file (the value the finder's
// exclusions look at).
inline void SetHeaderValue8(const std::string &path, DWORD value)
{
    std::string b = Testkit_ReadFile(path);
    ASSERT_GE(b.size(), 12u);
    memcpy(&b[8], &value, 4);
    Testkit_WriteFile(path, b);
}

// A user dictionary made by the engine at path with one entry per headword, then taken out of the
// catalogue again with its files kept: a dictionary found on disk.  Its file id.
inline DWORD WriteUserDic(const std::string &path, const std::vector<std::string> &headwords)
{
    MakeFolders(path.substr(0, path.rfind('\\')));
    DWORD id = Lexicore_CreateUserDic(path.c_str(), "Found user", "FU", 0, 1, 0x0100, 0x0100);
    EXPECT_NE(0u, id);
    for (const std::string &h : headwords) {
        VLDataItem head;
        memset(&head, 0, sizeof head);
        head.head.type = VLITEM_DATA;
        VLDataItem *item = VLDataItem_Create(&head, h.c_str(), nullptr, nullptr, nullptr);
        EXPECT_GE(Lexicore_AddUserEntry(id << 8, item, ("text of " + h).c_str(), nullptr), 0);
        VLDataItem_Destroy(item);
    }
    EXPECT_TRUE(Lexicore_RemoveDic(id, FALSE));
    return id;
}

inline std::string Be16(unsigned v) { return std::string{(char)(v >> 8), (char)v}; }

struct BookSpec {
    std::string folder;          // the book's folder name (at most 8 characters)
    std::string titleJis;        // title in JIS X 0208 bytes
    BYTE type = 0x00;
    std::vector<std::string> fonts;
};

// A CATALOGS file naming the books (big-endian head: count and version, 164-byte entries).
inline std::string Catalogs(const std::vector<BookSpec> &books, unsigned version = 2)
{
    std::string b = Be16((unsigned)books.size()) + Be16(version) + std::string(12, '\0');
    for (const BookSpec &s : books) {
        std::string e;
        e += (char)s.type;
        e += '\0';
        std::string title = s.titleJis;
        title.resize(80, '\0');
        e += title;
        std::string folder = s.folder;
        folder.resize(8, ' ');
        e += folder;
        e += std::string(4, '\0');
        e += Be16(1);              // index page in block 1
        e += std::string(4, '\0');
        for (int k = 0; k < 8; k++) {
            std::string font = k < (int)s.fonts.size() ? s.fonts[k] : std::string();
            font.resize(8, ' ');
            e += font;
        }
        b += e;
    }
    return b;
}

// A book body with the given ASCII headwords (in index order, upper case ignored).
inline std::string BookBody(const std::vector<std::string> &headwords)
{
    std::vector<bookfix::Entry> entries;
    for (const std::string &h : headwords) {
        bookfix::Entry e;
        e.key = h;
        e.body = bookfix::J("text of " + h);
        entries.push_back(e);
    }
    bookfix::Layout layout;
    return bookfix::Build(entries, std::string(), &layout);
}

// A book index for the index converter: signature, format mark, 64-byte name, then the entries.
inline std::string BookIndex(const std::string &name, const std::vector<std::string> &headwords)
{
    std::string b = "SSEDINFO01.00";
    std::string n = name;
    n.resize(64, ' ');
    b += n;
    for (const std::string &h : headwords) b += h + "\ttext of " + h + "\n";
    return b;
}

// A names file with one file section and its sub-dictionaries (language, nickname).
struct NamesEntry {
    DWORD fileId;
    std::string name;
    std::vector<std::pair<DWORD, std::string>> subs;
    std::string phone, image;
};

inline std::string NamesFile(const std::vector<NamesEntry> &entries)
{
    std::string t;
    for (const NamesEntry &e : entries) {
        char key[200];
        snprintf(key, sizeof key, "HKEY_LOCAL_MACHINE\\%s\\%08X", kDicRoot, (unsigned)e.fileId);
        t += std::string("[") + key + "]\r\nName=" + e.name + "\r\n";
        if (!e.phone.empty()) t += "PhoneDataFile=" + e.phone + "\r\n";
        if (!e.image.empty()) t += "ImageDataFile=" + e.image + "\r\n";
        for (size_t i = 0; i < e.subs.size(); i++) {
            char line[300];
            snprintf(line, sizeof line, "[%s\\%02d]\r\nLangID=dword:%08x\r\nNickName=%s\r\n", key, (int)i + 1,
                     (unsigned)e.subs[i].first, e.subs[i].second.c_str());
            t += line;
        }
    }
    return t;
}

// ---- Searching through the engine ----------------------------------------------------------------
struct SearchResult {
    bool opened = false;
    std::vector<std::string> headwords;
};

inline int CALLBACK CollectMain(VLDataItem *item, int flag, void *user)
{
    if (flag) ((std::vector<std::string> *)user)->push_back(item->headword ? item->headword : "");
    return LEXICORE_ITEM_ADDED;
}

// Opens the dictionary and hands it the key as a search walk (translators answer this way).
inline SearchResult Translate(DWORD dicId, const char *key)
{
    SearchResult r;
    DicSession *s = Lexicore_CreateSession();
    r.opened = Lexicore_OpenSession(s, dicId, FALSE) != 0;
    if (r.opened) {
        Lexicore_Search(s, key, 0, CollectMain, &r.headwords);
        Lexicore_CloseSession(s);
    }
    Lexicore_DestroySession(s);
    return r;
}

// Opens the dictionary and runs an exact query for key; the headwords found.
inline SearchResult Search(DWORD dicId, const char *key)
{
    SearchResult r;
    DicSession *s = Lexicore_CreateSession();
    r.opened = Lexicore_OpenSession(s, dicId, FALSE) != 0;
    if (r.opened) {
        DicQuery *q = Lexicore_CreateQuery();
        VLWordList *list = VLWordList_Create(100);
        Lexicore_SetQuerySession(q, s);
        Lexicore_SetQueryResultList(q, list);
        Lexicore_SetQueryText(q, key, 0, 0);
        Lexicore_RunQuery(q, LEXICORE_MODE_EXACT, 0);
        for (LONG i = 0; i < VLWordList_Count(list); i++) {
            const char *h = VLWordList_GetItem(list, i)->headword;
            r.headwords.push_back(h ? h : "");
        }
        Lexicore_DestroyQuery(q);
        VLWordList_Destroy(list);
        Lexicore_CloseSession(s);
    }
    Lexicore_DestroySession(s);
    return r;
}

inline const FinderEngineRow kTestEngines[] = {
    {0x1010, 121, 0x0100, 0x0400},  // the built-in row of ddtranslate.dll
    {0x1377, 650, 0x0100, 0x0000},  // ddsample.dll, from the tests' own script
};

// A finder run on fixture drives: the engine and the dictionary manager started as the program
// starts them, a program folder with names files, the settings put back afterwards.
struct Env {
    fk::SettingsGuard guard;
    std::string root, program, drive1, drive2;
    VLFinderState st;

    explicit Env(const char *name)
    {
        root = fk::Cwd() + "\\" + name;
        fk::RemoveFolder(root);
        program = root + "\\program";
        drive1 = root + "\\drive1";
        drive2 = root + "\\drive2";
        for (const std::string &f : {root, program, drive1, drive2, root + "\\userdata"})
            CreateDirectoryA(f.c_str(), nullptr);
        SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", (root + "\\userdata").c_str());
        // The tools copied beside a fixture finder find the suite's libraries on the path.
        char path[8192] = {0};
        GetEnvironmentVariableA("PATH", path, sizeof path);
        if (!strstr(path, fk::BinFolder().c_str()))
            SetEnvironmentVariableA("PATH", (fk::BinFolder() + ";" + path).c_str());
        g_finderUi = FinderUi{nullptr, nullptr, nullptr, nullptr, nullptr, 0};
        Start();
    }
    ~Env()
    {
        Lexshelf_Term();
        g_finderUi = FinderUi{nullptr, nullptr, nullptr, nullptr, nullptr, 1};
        fk::RemoveFolder(root);
    }
    void Start()
    {
        EXPECT_TRUE(Lexshelf_Init(LEXICORE_INIT_DRIVERS));
        Finder_InitState(&st);
        Finder_Copy(st.programFolder, program.c_str(), sizeof st.programFolder);
        Finder_Copy(st.myDicFolder, (root + "\\My Dictionary").c_str(), sizeof st.myDicFolder);
        st.engines = kTestEngines;
        st.engineCount = 2;
    }
    // Starts again, so that the catalogue holds what the settings hold now.
    void Restart()
    {
        Lexshelf_Term();
        Start();
    }
    void Names(const std::vector<fk::NamesEntry> &entries)
    {
        fk::Write(program + "\\vldicjpn.ini", fk::NamesFile(entries));
        fk::Write(program + "\\vldiceng.ini", fk::NamesFile(entries));
    }
    std::string Drives() const { return drive1 + "\\;" + drive2 + "\\;"; }
    // Found records as "kind name" keyed by path.
    std::map<std::string, const VLFoundDic *> ByPath() const
    {
        std::map<std::string, const VLFoundDic *> m;
        for (const VLFoundDic &r : st.found) m[r.path] = &r;
        return m;
    }
};

}  // namespace fk

#endif
