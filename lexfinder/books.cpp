// Registration of EPWING books (kind 4): the optional copy of the book into the My Dictionary
// folder, a free book key (0xD000 to 0xDFFF), the language pairs of the book (from words of its
// title, from the finder's title table, from its book type or from its index page), one
// sub-dictionary per pair, the external-character fonts and group 1.
#include <stdio.h>
#include <string.h>

#include "basekit.h"
#include "lexidata.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_int.h"

namespace {

bool SettingsKeyExists(const char *path)
{
    SettingsKey key = Basekit_SettingsOpenKey(path);
    if (!key) return false;
    Basekit_SettingsCloseKey(key);
    return true;
}

bool IsLead(BYTE c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Words of book titles and the pair each gives, in the order they are tried.
const struct {
    const char *word;   // Shift-JIS
    WORD language;
    const char *label;
} kTitleWords[] = {
    {"\x89\x70\x98\x61", 0x0100, "E->J"},  // "英和" (English-Japanese)
    {"\x98\x61\x89\x70", 0x0400, "J->E"},  // "和英" (Japanese-English)
    {"\x95\xA7\x98\x61", 0x0600, "F->J"},  // "仏和" (French-Japanese)
    {"\x98\x61\x95\xA7", 0x0400, "J->F"},  // "和仏" (Japanese-French)
    {"\x93\xC6\x98\x61", 0x0700, "G->J"},  // "独和" (German-Japanese)
    {"\x98\x61\x93\xC6", 0x0400, "J->G"},  // "和独" (Japanese-German)
};
const char kEnglishJapanese[] = "\x89\x70\x98\x61";  // "英和"
const char kJapaneseEnglish[] = "\x98\x61\x89\x70";  // "和英"

// Rows of the finder's string table: a word of a title (or a whole title) and the pairs it gives.
const struct {
    UINT string;
    int pairs;
    WORD language;
} kTitleRows[] = {
    {UIA_FINDER_IDS_FRENCH, 1, 0x0600}, {UIA_FINDER_IDS_GERMAN, 1, 0x0700}, {UIA_FINDER_IDS_TITLE7, 1, 0x0400},
    {UIA_FINDER_IDS_TITLE4, 2, 0x0100}, {UIA_FINDER_IDS_TITLE5, 2, 0x0100}, {UIA_FINDER_IDS_TITLE6, 2, 0x0100},
    {UIA_FINDER_IDS_TITLE8, 2, 0x0100},
};

// A title word of the finder's string table in Shift-JIS, whatever the system's code page.
bool TitleWord(const VLFinderState *st, UINT id, char *out, int cap)
{
    WCHAR wide[128] = {0};
    int n = LoadStringW(st->resources, id, wide, 128);
    return n > 0 && WideCharToMultiByte(932, 0, wide, n, out, cap - 1, nullptr, nullptr) > 0;
}

// Book types whose books are taken as Japanese without looking further.
bool JapaneseType(BYTE type)
{
    return type == 0x00 || type == 0x10 || type == 0x30 || type == 0x40 || type == 0x50 || type == 0x60 ||
           type == 0x70 || type == 0x80;
}

// Whether the index page (2048-byte block `page` of the body file: a 16-byte head whose first
// big-endian number counts the 16-byte entries that follow) lists a backward index.
bool IndexPageHasBackward(const char *bodyPath, WORD page)
{
    HANDLE f = CreateFileA(bodyPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    BYTE block[2048];
    DWORD got = 0;
    LONG at = (LONG)((page ? page : 1) - 1) * 2048;
    bool ok = SetFilePointer(f, at, nullptr, FILE_BEGIN) == (DWORD)at &&
              ReadFile(f, block, sizeof block, &got, nullptr) && got >= 16;
    CloseHandle(f);
    if (!ok) return false;
    unsigned count = (unsigned)block[0] << 8 | block[1];
    for (unsigned i = 0; i < count && 16 + 16 * i < got; i++) {
        BYTE type = block[16 + 16 * i];
        if (type == 0x90 || type == 0x70) return true;
    }
    return false;
}

struct CopyWalk {
    VLFinderState *st;
    std::string from, to;    // the old and the new book folder
    bool failed;
};

int CopyEntry(const char *path, const WIN32_FIND_DATAA *, int folder, void *user)
{
    CopyWalk *w = (CopyWalk *)user;
    std::string target = w->to + std::string(path).substr(w->from.size());
    bool ok = folder ? (CreateDirectoryA(target.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
                     : Finder_CopyWithQuestion(w->st, path, target.c_str()) != 0;
    if (!ok) w->failed = true;
    return ok;
}

void ShowLastError()
{
    DWORD error = GetLastError();
    char text[512] = {0};
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                        sizeof text, nullptr))
        snprintf(text, sizeof text, "%lu", (unsigned long)error);
    char caption[256] = {0};
    Uiassets_LoadString(UIA_IDS_FINDER_CAPTION, caption, sizeof caption);
    Uiassets_MessageBoxText(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

std::string Join(const std::string &folder, const std::string &name)
{
    char path[MAX_PATH];
    Finder_Copy(path, folder.c_str(), sizeof path);
    if (!Basekit_PathAppend(path, name.c_str())) return std::string();
    return path;
}

// Copies the book and its catalogue into the folder the user names; the new body file's path, or
// "" when the user cancelled or a copy failed.
std::string CopyBook(VLFinderState *st, VLFoundDic *rec, const FinderBook &book)
{
    char name[257];
    Finder_Copy(name, st->uiCharset == SHIFTJIS_CHARSET ? rec->name : "", sizeof name);
    if (!g_finderUi.askFolderName || !g_finderUi.askFolderName(st->owner, rec->name, st->myDicFolder, name))
        return std::string();
    if (st->uiCharset != SHIFTJIS_CHARSET) Finder_Copy(rec->name, name, sizeof rec->name);
    std::string destination = Join(st->myDicFolder, name);
    std::string oldBook = Finder_FolderOf(rec->catalogPath);
    while (!oldBook.empty() && oldBook.back() == '\\') oldBook.pop_back();
    oldBook += std::string("\\") + book.folder;
    std::string newBook = destination + "\\" + book.folder;
    if (destination.empty() || !Finder_CreateFolder(destination.c_str(), false)) return std::string();
    bool ok = Finder_CopyWithQuestion(st, rec->catalogPath,
                                      Join(destination, Finder_NameOf(rec->catalogPath)).c_str()) != 0;
    ok = ok && (CreateDirectoryA(newBook.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    if (ok) {
        CopyWalk walk = {st, oldBook, newBook, false};
        ok = Finder_Walk(oldBook.c_str(), CopyEntry, &walk) && !walk.failed;
    }
    if (!ok) {
        ShowLastError();
        return std::string();
    }
    return newBook + std::string(rec->path).substr(oldBook.size());
}

}  // namespace

bool (*g_finderKeyExists)(const char *path) = SettingsKeyExists;

int Finder_FindSjis(const char *text, const char *word)
{
    size_t n = strlen(word);
    for (const char *p = text; *p; p += IsLead((BYTE)*p) && p[1] ? 2 : 1)
        if (strncmp(p, word, n) == 0) return (int)(p - text);
    return -1;
}

DWORD Finder_FreeBookId()
{
    for (DWORD id = 0xD000; id <= 0xDFFF; id++) {
        char key[MAX_PATH];
        if (Lexidata_GetDicKey(id, key) && !g_finderKeyExists(key)) return id;
    }
    return 0;
}

std::vector<FinderPair> Finder_BookPairs(const VLFinderState *st, const FinderBook &book, const char *bodyPath)
{
    std::vector<FinderPair> pairs;
    bool japanese = st->uiCharset == SHIFTJIS_CHARSET;
    if (book.type[0] == 0)
        for (const auto &w : kTitleWords)
            if (Finder_FindSjis(book.title, w.word) >= 0) pairs.push_back({w.language, japanese ? w.word : w.label});
    if (pairs.empty()) {
        for (const auto &row : kTitleRows) {
            char word[256] = {0};
            if (!TitleWord(st, row.string, word, sizeof word)) continue;
            if (Finder_FindSjis(book.title, word) < 0) continue;
            if (row.pairs == 2) {
                pairs.push_back({0x0100, japanese ? kEnglishJapanese : "E->J"});
                pairs.push_back({0x0400, japanese ? kJapaneseEnglish : "J->E"});
            } else {
                pairs.push_back({row.language, ""});
            }
            break;
        }
    }
    if (pairs.empty() && JapaneseType(book.type[0])) pairs.push_back({0x0400, ""});
    if (pairs.empty()) {
        pairs.push_back({0x0100, japanese ? kEnglishJapanese : "E->J"});
        if (IndexPageHasBackward(bodyPath, book.indexPage))
            pairs.push_back({0x0400, japanese ? kJapaneseEnglish : "J->E"});
    }
    return pairs;
}

int Finder_RegisterBook(VLFinderState *st, VLFoundDic *rec, int copy)
{
    std::vector<FinderBook> books;
    if (!Finder_ReadCatalogs(rec->catalogPath, &books) || rec->id < 0 || rec->id >= (int)books.size()) return 0;
    const FinderBook &book = books[rec->id];
    std::string target;
    if (copy) {
        target = CopyBook(st, rec, book);
        if (target.empty()) return 0;
    } else {
        if (st->uiCharset != SHIFTJIS_CHARSET) {
            char name[256];
            Finder_Copy(name, rec->name, sizeof name);
            if (!g_finderUi.askTitle || !g_finderUi.askTitle(st->owner, name)) return 0;
            Finder_Copy(rec->name, name, sizeof rec->name);
        }
        target = rec->path;
    }
    Finder_Copy(rec->targetPath, target.c_str(), sizeof rec->targetPath);
    if (Finder_PathRegistered(target.c_str())) return 1;

    DWORD id = Finder_FreeBookId();
    char key[MAX_PATH];
    if (!id || !Lexidata_GetDicKey(id, key)) return 0;
    std::vector<FinderPair> pairs = Finder_BookPairs(st, book, target.c_str());
    if (pairs.empty()) return 0;  // decided before the key is made, so no half entry stays behind
    Basekit_SettingsWriteString(key, "Name", rec->name);
    Basekit_SettingsWriteString(key, "FileName", target.c_str());
    Basekit_SettingsWriteString(key, "Type", "EPWING");
    for (size_t j = 0; j < pairs.size(); j++) {
        char subKey[MAX_PATH], nickName[600];
        Lexidata_GetDicIndexKey(id, (int)j + 1, subKey);
        if (pairs.size() == 1)
            Finder_Copy(nickName, rec->name, sizeof nickName);
        else
            snprintf(nickName, sizeof nickName, "%s(%s)", rec->name, pairs[j].label.c_str());
        Basekit_SettingsWriteDword(subKey, "LangID", pairs[j].language);
        Basekit_SettingsWriteDword(subKey, "Color", Finder_NewColour());
        Basekit_SettingsWriteString(subKey, "NickName", nickName);
        Finder_EnsureLanguage(st, pairs[j].language);
    }
    // External-character fonts lie in Data\Gaiji beside the body file.
    std::string gaiji = Join(Finder_FolderOf(target), "Gaiji");
    for (int k = 0; k < 8; k++) {
        if (!book.fonts[k][0]) continue;
        std::string font = Join(gaiji, book.fonts[k]);
        if (font.empty() || !Finder_Exists(font)) continue;
        char value[32];
        snprintf(value, sizeof value, "FontFileName#%d", k);
        Basekit_SettingsWriteString(key, value, font.c_str());
    }
    // Each sub-dictionary of the book joins group 1 by its dictionary id.
    for (size_t p = 0; p < pairs.size(); p++) Finder_AddToGroup1(id << 8 | (DWORD)p);
    return 1;
}
