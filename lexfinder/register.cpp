// Registration of found records: dictionary files (kind 1) from the names file, add-on
// dictionaries (kind 2) through the engine, engine dictionaries (kind 3) from their scripts and
// book indexes (kind 6) through the index converter; books (kind 4) are in books.cpp.  Every new
// sub-dictionary gets a colour no other has and joins dictionary group 1.  A registration that
// stops after it created its catalogue key removes that key again, so the dictionary can be
// found and offered once more.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_int.h"

namespace {

int PlainRandom() { return rand(); }

std::string Join(const std::string &folder, const std::string &name)
{
    char path[MAX_PATH];
    Finder_Copy(path, folder.c_str(), sizeof path);
    if (!Basekit_PathAppend(path, name.c_str())) return std::string();
    return path;
}

bool ReadHead(const char *path, BYTE *buf, DWORD n)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    bool ok = ReadFile(f, buf, n, &got, nullptr) && got == n;
    CloseHandle(f);
    return ok && memcmp(buf, "VLDICV40", 8) == 0;
}

// A names-file number: hexadecimal digits, optionally after "dword:" or "0x".
DWORD NamesNumber(const std::string &text)
{
    const char *p = text.c_str();
    if (_strnicmp(p, "dword:", 6) == 0) p += 6;
    return (DWORD)strtoul(p, nullptr, 16);
}

// Version-4 dictionary file: the names file describes it.
int RegisterDic(VLFinderState *st, VLFoundDic *rec, int copy)
{
    std::string source = rec->path;
    std::string target = source;
    if (copy) {
        target = Join(st->myDicFolder, Finder_NameOf(source));
        if (target.empty() || !Finder_CopyWithQuestion(st, source.c_str(), target.c_str())) return 0;
    }
    BYTE head[384];
    if (!ReadHead(target.c_str(), head, sizeof head)) return 0;
    for (int i = 0; i < 100; i++) {
        WORD language = (WORD)(head[31 + 2 * i] | head[32 + 2 * i] << 8);
        if (!language) break;
        Finder_EnsureLanguage(st, language);
    }
    DWORD fileId = (DWORD)rec->id;
    std::string name = Finder_NamesValue(st, fileId, 0, "Name");
    if (name.empty()) return 0;
    struct Sub {
        DWORD language;
        std::string nickName;
    };
    std::vector<Sub> subs;
    for (int n = 1; n <= 10; n++) {
        std::string language = Finder_NamesValue(st, fileId, n, "LangID");
        if (language.empty()) break;
        subs.push_back({NamesNumber(language), Finder_NamesValue(st, fileId, n, "NickName")});
    }
    if (subs.empty()) return 0;  // checked before anything is written

    char key[MAX_PATH];
    if (!Lexidata_GetDicKey(fileId, key) || !Basekit_SettingsWriteString(key, "Name", name.c_str())) return 0;
    for (size_t n = 0; n < subs.size(); n++) {
        char subKey[MAX_PATH];
        Lexidata_GetDicIndexKey(fileId, (int)n + 1, subKey);
        Basekit_SettingsWriteDword(subKey, "LangID", subs[n].language);
        Basekit_SettingsWriteString(subKey, "NickName", subs[n].nickName.c_str());
    }
    Basekit_SettingsWriteString(key, "FileName", target.c_str());
    // Sound and picture files beside the dictionary go where it goes.
    for (const char *value : {"PhoneDataFile", "ImageDataFile"}) {
        std::string file = Finder_NamesValue(st, fileId, 0, value);
        if (file.empty()) continue;
        std::string from = Join(Finder_FolderOf(source), file);
        std::string written = from;
        if (copy) {
            std::string to = Join(Finder_FolderOf(target), file);
            written = Finder_CopyWithQuestion(st, from.c_str(), to.c_str()) ? to : file;
        }
        Basekit_SettingsWriteString(key, value, written.c_str());
    }
    for (size_t p = 0; p < subs.size(); p++) {
        char subKey[MAX_PATH];
        Lexidata_GetDicIndexKey(fileId, (int)p + 1, subKey);
        Basekit_SettingsWriteDword(subKey, "Color", Finder_NewColour());
        Finder_AddToGroup1(fileId << 8 | (DWORD)p);
    }
    Finder_Copy(rec->targetPath, target.c_str(), sizeof rec->targetPath);
    return 1;
}

struct FileIds {
    std::vector<DWORD> ids;
};

int CALLBACK CollectFileId(DicProperty *record, LPARAM user)
{
    std::vector<DWORD> &ids = ((FileIds *)user)->ids;
    for (DWORD id : ids)
        if (id == record->fileId) return 1;
    ids.push_back(record->fileId);
    return 1;
}

std::vector<DWORD> CatalogueFileIds()
{
    FileIds ids;
    Lexicore_EnumDics(CollectFileId, (LPARAM)&ids);
    return ids.ids;
}

// Add-on (user) dictionary: the engine copies its files into the My Dictionary folder under a new
// id and registers the copy; the found files stay as they are.
int RegisterAddon(VLFinderState *st, VLFoundDic *rec)
{
    BYTE head[40];
    if (!ReadHead(rec->path, head, sizeof head)) return 0;
    Finder_EnsureLanguage(st, (WORD)(head[32] << 8));
    if (!Finder_CreateFolder(st->myDicFolder, false)) return 0;
    std::vector<DWORD> before = CatalogueFileIds();
    if (!Lexicore_AddDic(rec->path, st->myDicFolder, st->copyCaption, st->copyMessage)) return 0;
    DWORD newId = 0;
    for (DWORD id : CatalogueFileIds()) {
        bool old = false;
        for (DWORD b : before) old = old || b == id;
        if (!old && id >= 0xF000) newId = id;
    }
    if (!newId) return 1;  // registered, but this process's catalogue does not show it
    char key[MAX_PATH];
    if (Lexidata_GetDicKey(newId, key)) Basekit_SettingsWriteDword(key, "Regist", 1);
    // The copy carries the name the user chose it by.
    DicProperty property;
    memset(&property, 0, sizeof property);
    property.size = sizeof property;
    if (rec->name[0] && Lexicore_GetDicProperty(newId << 8, &property)) {
        Finder_Copy(property.name, rec->name, sizeof property.name);
        Lexicore_SetDicProperty(newId << 8, LEXICORE_PROP_NAME, &property);
    }
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    if (Lexicore_GetDicInfo(newId, &info)) Finder_Copy(rec->targetPath, info.path, sizeof rec->targetPath);
    return 1;
}

// Engine dictionary: its script holds the whole catalogue entry.
int RegisterEngine(VLFinderState *st, VLFoundDic *rec)
{
    std::string file;
    if (!Finder_ScriptToFile(st, "ENGINE_INFO", (UINT)rec->id, &file)) return 0;
    Finder_MergeScript(file);
    DeleteFileA(file.c_str());
    if (const FinderEngineRow *row = Finder_EngineRow(st, (DWORD)rec->id)) {
        Finder_EnsureLanguage(st, row->language1);
        Finder_EnsureLanguage(st, row->language2);
    }
    Finder_Copy(rec->targetPath, rec->path, sizeof rec->targetPath);
    return 1;
}

// The folder the index converter names a book's folder by (idxconvert.h).
std::string ConvertedFolderName(const char *name)
{
    std::string out;
    for (size_t i = 0; name[i]; i++) {
        BYTE c = (BYTE)name[i];
        if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && name[i + 1]) {
            out += name[i];
            out += name[++i];
        } else if (c < 0x20 || strchr("\\/:*?\"<>|", c)) {
            out += '_';
        } else {
            out += (char)c;
        }
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
    return out.empty() ? "Book" : out;
}

// Book index: the index converter makes a book of it in the My Dictionary folder, which is then
// registered in place.
int RegisterIndex(VLFinderState *st, VLFoundDic *rec)
{
    FinderBox box = {nullptr, nullptr, nullptr};
    if (g_finderUi.progressBox) FinderBox_Start(&box, FINDER_BOX_CONVERT);
    std::string program = Join(st->programFolder, "Idxconvert.exe");
    std::string line = program + " " + rec->path + " " + st->myDicFolder;
    std::vector<char> text(line.begin(), line.end());
    text.push_back(0);
    STARTUPINFOA si = {sizeof si};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(program.c_str(), text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        FinderBox_End(&box);
        return 0;
    }
    DWORD code = STILL_ACTIVE;
    bool cancelled = false;
    while (GetExitCodeProcess(pi.hProcess, &code) && code == STILL_ACTIVE) {
        if (Finder_TakeCancel()) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 5000);
            cancelled = true;
            break;
        }
        WaitForSingleObject(pi.hProcess, 100);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    FinderBox_End(&box);
    if (cancelled || code != 0) return 0;

    std::string folder = Join(st->myDicFolder, ConvertedFolderName(rec->name));
    std::string catalogs = Join(folder, "Catalogs");
    std::vector<FinderBook> books;
    if (!Finder_ReadCatalogs(catalogs.c_str(), &books)) return 0;
    int chosen = -1;
    for (size_t i = 0; i < books.size(); i++) {
        std::string body = Finder_BookBodyPath(catalogs.c_str(), books[i]);
        if (Finder_Exists(body) && !Finder_PathRegistered(body.c_str())) chosen = (int)i;
    }
    if (chosen < 0) return 0;
    Finder_Copy(rec->name, books[chosen].title, sizeof rec->name);
    Finder_Copy(rec->path, Finder_BookBodyPath(catalogs.c_str(), books[chosen]).c_str(), sizeof rec->path);
    Finder_Copy(rec->catalogPath, catalogs.c_str(), sizeof rec->catalogPath);
    rec->kind = FINDER_KIND_BOOK;
    rec->id = chosen;
    return Finder_RegisterBook(st, rec, 0);
}

}  // namespace

int (*g_finderRandom)(void) = PlainRandom;

int Finder_Register(VLFinderState *st, VLFoundDic *rec, int copy)
{
    Uiassets_FormatString(st->copyCaption, sizeof st->copyCaption, UIA_IDS_COPY_DICTIONARY, rec->name);
    Uiassets_LoadString(UIA_IDS_COPYING, st->copyMessage, sizeof st->copyMessage);
    switch (rec->kind) {
    case FINDER_KIND_DIC:
        st->registered = 1;
        return RegisterDic(st, rec, copy);
    case FINDER_KIND_ADDON:
        st->registered = 1;
        return RegisterAddon(st, rec);
    case FINDER_KIND_ENGINE:
        st->registered = 1;
        return RegisterEngine(st, rec);
    case FINDER_KIND_BOOK:
        st->registered = 1;
        return Finder_RegisterBook(st, rec, copy);
    case FINDER_KIND_INDEX:
        st->registered = 1;
        return RegisterIndex(st, rec);
    }
    return 0;
}

int Finder_RegisterAll(VLFinderState *st, const std::vector<int> &rows, int copy)
{
    int done = 0;
    for (int row : rows)
        if (row >= 0 && row < (int)st->found.size() && st->found[row].name[0])
            done += Finder_Register(st, &st->found[row], copy);
    return done;
}

int Finder_CopyWithQuestion(VLFinderState *st, const char *source, const char *target)
{
    if (Finder_Exists(target)) {
        int answer = st->overwriteAnswer;
        if (!st->overwriteForAll) {
            int same = 0;
            answer = g_finderUi.askOverwrite ? g_finderUi.askOverwrite(st->owner, source, &same) : IDYES;
            if (same) {
                st->overwriteForAll = 1;
                st->overwriteAnswer = answer;
            }
        }
        if (answer != IDYES) return 1;
    }
    int copied = Basekit_CopyFileWithProgress(source, target, FALSE, st->copyCaption, st->copyMessage,
                                              nullptr, nullptr);
    if (copied) SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    return copied;
}

DWORD Finder_NewColour()
{
    std::vector<DWORD> taken;
    char root[MAX_PATH], full[MAX_PATH];
    Lexidata_GetDicRootKey(root);
    snprintf(full, sizeof full, "HKEY_LOCAL_MACHINE\\%s", root);
    int files = Basekit_SettingsCountSubkeys(full);
    for (int i = 0; i < files && taken.size() < 100; i++) {
        char name[MAX_PATH], fileKey[MAX_PATH];
        if (!Basekit_SettingsEnumSubkey(full, i, name)) continue;
        snprintf(fileKey, sizeof fileKey, "%s\\%s", full, name);
        int subs = Basekit_SettingsCountSubkeys(fileKey);
        for (int j = 0; j < subs && taken.size() < 100; j++) {
            char sub[MAX_PATH], subKey[MAX_PATH * 2];
            if (!Basekit_SettingsEnumSubkey(fileKey, j, sub)) continue;
            snprintf(subKey, sizeof subKey, "%s\\%s\\%s", root, name, sub);
            SettingsKey k = Basekit_SettingsOpenKey(subKey);
            if (!k) continue;
            char value[MAX_PATH];
            DWORD type = 0;
            if (Basekit_SettingsQueryValue(k, "Color", &type, value) == 0 && type == REG_DWORD) {
                DWORD colour;
                memcpy(&colour, value, 4);
                taken.push_back(colour);
            }
            Basekit_SettingsCloseKey(k);
        }
    }
    if (g_finderRandom == PlainRandom) srand(GetTickCount());
    DWORD colour = 0;
    for (int attempt = 0; attempt < 0xFFFF; attempt++) {
        DWORD r1 = (DWORD)g_finderRandom(), r2 = (DWORD)g_finderRandom(), r3 = (DWORD)g_finderRandom();
        colour = (r3 & 0xFF) << 16 | (r2 & 0xFF) << 8 | (r1 & 0xFF);
        bool clash = false;
        for (DWORD t : taken) clash = clash || t == colour;
        if (!clash) break;
    }
    return colour;
}

int Finder_AddToGroup1(DWORD dicId)
{
    VLDicGroup *group = Lexshelf_GroupCreate();
    if (!group) return 0;
    Lexshelf_GroupLoad(1, group);   // a missing group 1 is made by the save below
    int inserted = Lexshelf_GroupInsertDic(group, dicId, 0);
    Lexshelf_GroupSave(group);
    Lexshelf_GroupDestroy(group);
    return inserted;
}

bool Finder_CreateFolder(const char *folder, bool quiet)
{
    std::string path = folder;
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    // Every level from the top, after the drive or the share's root; the component steps go over
    // double-byte characters, whose second byte may look like a backslash.
    const char *text = path.c_str();
    const char *from = text;
    if (path.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        const char *server = Basekit_PathNextComponent(text + 1);
        const char *share = server ? Basekit_PathNextComponent(server) : nullptr;
        from = share ? share : text + path.size();
    } else if (path.size() >= 3 && text[1] == ':' && text[2] == '\\') {
        from = text + 2;
    }
    std::vector<std::string> levels;
    for (const char *end = Basekit_PathNextComponent(from); end; end = Basekit_PathNextComponent(end))
        levels.push_back(path.substr(0, end - text));
    levels.push_back(path);
    for (const std::string &level : levels) {
        DWORD a = GetFileAttributesA(level.c_str());
        if (a == INVALID_FILE_ATTRIBUTES) {
            if (!CreateDirectoryA(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        } else if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
            if (!quiet)
                Uiassets_MessageBoxFormat(nullptr, UIA_IDS_FINDER_CAPTION, MB_OK | MB_ICONERROR,
                                          UIA_IDS_LEVEL_IS_FILE, level.c_str());
            return false;
        }
    }
    return Finder_IsFolder(path);
}
