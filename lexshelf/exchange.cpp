// The user-dictionary exchange: every entry of a dictionary to a text file, and text files and the
// two older binary formats into a user dictionary through the engine's user entries.
#include <stdio.h>
#include <string.h>
#include <new>
#include "lexshelf_int.h"
#include "exchange_int.h"
#include "lexicore.h"
#include "scrivshow.h"
#include "strandkit.h"

namespace {

const size_t kLineBytes = 65536;
// A record spread over lines by an open quote is given up beyond this size (a quote that is never
// closed would otherwise join the rest of the file); the next line starts a new record.
const size_t kRecordBytes = 1 << 20;
const DWORD kWalkAll = 0x9000000;  // start at the first entry, forwards

bool HighBytes(const std::string &s) {
    for (char c : s)
        if ((unsigned char)c >= 0x80)
            return true;
    return false;
}

// A headword and second string a user dictionary can hold (at most 255 bytes each); records
// beyond that are skipped like records without a headword, not counted as failed adds.
bool Storable(const ShelfImportEntry &e) {
    return !e.headword.empty() && e.headword.size() <= 255 && e.second.size() <= 255 && e.third.size() <= 255;
}

// Adds one entry to the user dictionary; true when the engine took it.
bool AddEntry(DWORD dicId, const ShelfImportEntry &e) {
    VLDataItem head = {};
    head.head.type = VLITEM_DATA;
    head.head.fileId = dicId >> 8;
    head.head.subDicNo = dicId & 0xFF;
    VLDataItem *item = VLDataItem_Create(&head, e.headword.c_str(), e.second.empty() ? nullptr : e.second.c_str(),
                                         e.third.empty() ? nullptr : e.third.c_str(), nullptr);
    if (!item)
        return false;
    std::string text = e.text;
    if (HighBytes(text)) {
        std::vector<char> tagged(text.size() + 8, 0);
        Strandkit_AddCharsetTag(-1, text.c_str(), tagged.data());
        text = tagged.data();
    }
    LONG at = Lexicore_AddUserEntry(dicId, item, text.c_str(), nullptr);
    VLDataItem_Destroy(item);
    return at >= 0;
}

std::string Plain(const char *text, int length) {
    if (!text || length <= 0)
        return std::string();
    int n = Scrivshow_RenderPlain(text, length, nullptr, 0, -1);
    if (n <= 0)
        return std::string();
    std::string out(n + 1, '\0');
    Scrivshow_RenderPlain(text, length, &out[0], n + 1, -1);
    out.resize(strlen(out.c_str()));
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

struct ExportWalk {
    DicSession *session;
    FILE *file;
    char separator;
    bool failed;
};

int CALLBACK ExportOne(VLDataItem *item, int, void *user) {
    ExportWalk *w = (ExportWalk *)user;
    VLData data = {};
    std::string text, text2;
    if (Lexicore_ReadEntryTextEx(w->session, item, &data)) {
        text = Plain(data.data1, (int)data.len1);
        if (data.data2 && data.len2)
            text2.assign(data.data2, strnlen(data.data2, data.len2));
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
    }
    std::string headword = item->headword ? std::string(item->headword, item->headwordLen) : std::string();
    bool hasSecond = item->second && item->second != item->headword && item->secondLen > 0;
    std::string second = hasSecond ? Plain(item->second, item->secondLen) : std::string();
    // A dictionary with a charset hands a missing second string out as its tagged headword.
    if (second == headword)
        second.clear();
    std::string line = Shelf_QuoteField(headword);
    std::string sep(1, w->separator);
    if (!second.empty())
        line += sep + Shelf_QuoteField(second);
    line += sep + Shelf_QuoteField(text);
    if (!text2.empty())
        line += sep + Shelf_QuoteField(text2);
    line += "\n";
    if (fputs(line.c_str(), w->file) < 0) {
        w->failed = true;
        return LEXICORE_ITEM_STOP;
    }
    return LEXICORE_ITEM_ADDED;
}

// The whole of an open file, from its start; false when it cannot be read or is too large.
bool ReadAll(HANDLE file, std::vector<BYTE> *bytes) {
    LARGE_INTEGER size;
    if (!file || file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) || size.QuadPart > (64 << 20))
        return false;
    bytes->resize((size_t)size.QuadPart);
    DWORD got = 0;
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           (bytes->empty() || ReadFile(file, bytes->data(), (DWORD)bytes->size(), &got, nullptr)) && got == bytes->size();
}

// Adds every entry with a headword; the number the engine could not take.
long AddAll(DWORD dicId, const std::vector<ShelfImportEntry> &entries) {
    long failed = 0;
    for (const ShelfImportEntry &e : entries)
        if (Storable(e) && !AddEntry(dicId, e))
            failed++;
    return failed;
}

}  // namespace

// The entries go to a side file beside the target, which replaces the target only when the
// dictionary could be read and every line was written: an earlier export stays otherwise.
extern "C" BOOL WINAPI Lexshelf_ExportText(const char *path, DWORD dicId, int separator) {
    DicInfo info = {};
    info.size = sizeof info;
    if (!path || !path[0] || !Lexicore_GetDicInfo(dicId >> 8, &info))
        return FALSE;
    std::string side = std::string(path) + ".new";
    FILE *file = fopen(side.c_str(), "w");
    if (!file)
        return FALSE;
    bool ok = false;
    DicSession *session = Lexicore_CreateSession();
    if (session && Lexicore_OpenSession(session, dicId, FALSE)) {
        if (info.kind == 1)
            Lexicore_SelectIndex(session, 0);
        ExportWalk walk = {session, file, (char)separator, false};
        Lexicore_Search(session, "", kWalkAll, ExportOne, &walk);
        Lexicore_CloseSession(session);
        ok = !walk.failed;
    }
    if (session)
        Lexicore_DestroySession(session);
    ok = fflush(file) == 0 && ok;
    ok = fclose(file) == 0 && ok;
    if (ok)
        ok = MoveFileExA(side.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileA(side.c_str());
    return ok ? TRUE : FALSE;
}

extern "C" int WINAPI Lexshelf_ImportText(const char *path, DWORD dicId, const TextImportOptions *options,
                                          LexshelfProgressProc progress, LPARAM user) {
    if (!path || !options)
        return 0;
    FILE *file = fopen(path, "r");
    if (!file)
        return 0;
    std::vector<char> buffer(kLineBytes);
    long lines = 0;
    while (fgets(buffer.data(), (int)buffer.size(), file))
        lines++;
    rewind(file);
    std::string separator = (UINT_PTR)options->Separator < 0x10000
                                ? std::string(1, (char)(UINT_PTR)options->Separator)
                                : std::string(options->Separator);
    if (options->SkipFirstLine)
        fgets(buffer.data(), (int)buffer.size(), file);
    int result = 1;
    long count = 0, records = 0, failed = 0;
    int lastPercent = -1;
    std::string record;
    bool open = false;  // a quoted field is open at the end of the record so far
    bool more = true;
    while (more) {
        more = fgets(buffer.data(), (int)buffer.size(), file) != nullptr;
        if (more) {
            record += buffer.data();
            // Only the line just added is looked at: the quotes of the record so far are known.
            for (const char *c = buffer.data(); *c; c++)
                open ^= *c == '"';
            if (open && record.size() > kRecordBytes) {
                count += 100;
                record.clear();
                open = false;
                continue;
            }
            if (open)
                continue;
        } else if (record.empty()) {
            break;
        }
        if (!record.empty() && record.back() == '\n')
            record.pop_back();
        int percent = lines ? (int)(count / lines) : 100;
        if (progress && percent != lastPercent) {
            lastPercent = percent;
            if (!progress(percent, user))
                break;
        }
        if (++records > LEXSHELF_IMPORT_LIMIT) {
            result = -1;
            break;
        }
        ShelfImportEntry entry;
        if (Shelf_FieldsToEntry(Shelf_SplitRecord(record, separator), options->HeadwordColumn, options->SecondColumn,
                                &entry) &&
            Storable(entry) && !AddEntry(dicId, entry))
            failed++;
        count += 100;
        record.clear();
    }
    fclose(file);
    // Records the dictionary could not take make the import a failure (the others are in).
    return failed && result == 1 ? 0 : result;
}

namespace {

// Reads the whole file with one of the older formats' readers; false when it is refused or
// there is not memory enough to hold it (nothing has been added then).
bool ReadOlder(HANDLE file, bool (*reader)(const BYTE *, size_t, std::vector<ShelfImportEntry> *),
               std::vector<ShelfImportEntry> *entries) {
    try {
        std::vector<BYTE> bytes;
        return ReadAll(file, &bytes) && reader(bytes.data(), bytes.size(), entries);
    } catch (const std::bad_alloc &) {
        entries->clear();
        return false;
    }
}

}  // namespace

extern "C" BOOL WINAPI Lexshelf_ImportUserDic(HANDLE file, DWORD dicId) {
    std::vector<ShelfImportEntry> entries;
    if (!ReadOlder(file, Shelf_ReadExchangeFile, &entries))
        return FALSE;
    // An entry that could not be added is a failed import, not a silent loss.
    return !entries.empty() && AddAll(dicId, entries) == 0 ? TRUE : FALSE;
}

extern "C" BOOL WINAPI Lexshelf_ImportV3UserDic(HANDLE file, DWORD dicId) {
    std::vector<ShelfImportEntry> entries;
    if (!ReadOlder(file, Shelf_ReadV3File, &entries))
        return FALSE;
    return AddAll(dicId, entries) == 0 ? TRUE : FALSE;
}
