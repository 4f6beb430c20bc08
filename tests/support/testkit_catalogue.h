// Test support for the dictionary catalogue: a test's folder with a settings file of its own made
// current and the relay library's user data folder inside it, and fixture dictionaries written by
// the fixture writer and entered in the catalogue.  Header only; include as
// "support/testkit_catalogue.h".
#pragma once

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "basekit.h"
#include "lexidata.h"
#include "testkit_files.h"
#include "testkit_folders.h"
#include "../../lexidata/tests/fixtures/dicwriter.h"

// Points the relay library's user data folder at folder (for this process and the processes it
// starts).
inline void Testkit_SetUserDataFolder(const std::string &folder)
{
    SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", folder.c_str());
    _putenv_s("SHAREDKIT_DATA_DIR", folder.c_str());
}

// A fresh folder name below the working folder, an empty settings file name.ini beside it made the
// current settings, and the user data folder name\UserData.  The folder's path.
inline std::string Testkit_StartSettingsFolder(const char *name, std::string *settings)
{
    LoadLibraryA("SHAREDKIT.DLL");
    std::string folder = Testkit_Cwd() + "\\" + name;
    Testkit_RemoveFolder(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    *settings = folder + ".ini";
    Testkit_WriteFile(*settings, "");
    Basekit_SettingsSetFile(settings->c_str());
    Testkit_SetUserDataFolder(folder + "\\UserData");
    return folder;
}

// A fixture dictionary of the catalogue; colour CLR_INVALID leaves the catalogue's colour unset.
struct TestkitDictionary {
    DWORD fileId;
    const char *name;
    WORD language;
    BYTE charset;
    COLORREF colour;
};

// Enters a dictionary file in the catalogue: the file's key with FileName and Name, its first
// index with LangID (and Color).
inline void Testkit_RegisterDictionary(const TestkitDictionary &d, const std::string &path)
{
    char key[MAX_PATH];
    Lexidata_GetDicKey(d.fileId, key);
    Basekit_SettingsWriteString(key, "FileName", path.c_str());
    Basekit_SettingsWriteString(key, "Name", d.name);
    Lexidata_GetDicIndexKey(d.fileId, 1, key);
    Basekit_SettingsWriteDword(key, "LangID", d.language);
    if (d.colour != CLR_INVALID) Basekit_SettingsWriteDword(key, "Color", d.colour);
}

// Writes a dictionary of one index holding the entries (in index order; by default one entry
// "entry" with the text "text") as folder\<file id>.dic and enters it in the catalogue; languages
// is the file's list of languages, and file may bring pages and labels of its own.  False when
// the file could not be written.
inline bool Testkit_AddDictionary(const std::string &folder, const TestkitDictionary &d,
                                  const std::vector<dicfix::Entry> &entries = {},
                                  const std::vector<uint16_t> &languages = {},
                                  dicfix::Dictionary file = dicfix::Dictionary())
{
    file.fileId = d.fileId;
    file.language = d.language;
    file.charset = d.charset;
    file.languages = languages;
    dicfix::Index index;
    index.language = d.language;
    index.entries = entries;
    if (entries.empty()) {
        dicfix::Entry e;
        e.headword = "entry";
        e.text1 = "text";
        index.entries.push_back(e);
    }
    file.indexes.push_back(index);
    std::string path = folder + "\\" + std::to_string(d.fileId) + ".dic";
    if (!dicfix::Write(path, file)) return false;
    Testkit_RegisterDictionary(d, path);
    return true;
}

// Registers the driver file of a language as the set-up does (in the registry, which the
// language manager reads whatever the current settings file).
inline void Testkit_SetLanguageDriver(WORD language, const char *file)
{
    char path[128];
    snprintf(path, sizeof path, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\%04x", language);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != 0) return;
    RegSetValueExA(key, "FileName", 0, REG_SZ, reinterpret_cast<const BYTE *>(file), (DWORD)(strlen(file) + 1));
    RegCloseKey(key);
}
