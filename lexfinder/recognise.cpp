// The three recognisers of the scan: dictionary files (.dic), EPWING catalogues (CATALOGS) and book
// indexes that still need conversion (.idx with the signature SSEDINFO).  Each reads only what it
// needs; files that cannot be opened or read whole are passed over.
#include <string.h>

#include "lexicore.h"
#include "finder_int.h"

namespace {

const char kDicMagic[] = "VLDICV40";
const char kIndexMagic[] = "SSEDINFO";

// Reads the first n bytes of a file; false when fewer are there.
bool ReadHead(const char *path, void *buf, DWORD n)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    bool ok = ReadFile(f, buf, n, &got, nullptr) && got == n;
    CloseHandle(f);
    return ok;
}

DWORD U32(const BYTE *b)
{
    return (DWORD)b[0] | (DWORD)b[1] << 8 | (DWORD)b[2] << 16 | (DWORD)b[3] << 24;
}

// Files of the product line that look like dictionaries but are not to be registered, named by
// their file id and the header value at offset 8.
bool Excluded(DWORD fileId, DWORD value)
{
    return (fileId == 0x1095 && (value == 0x2F3B806 || value == 0x2F43922)) ||
           (fileId == 0x2010 && value == 0x3D69BC);
}

struct TitleSearch {
    const char *title;
    bool found;
};

int CALLBACK SameTitle(DicProperty *record, LPARAM user)
{
    TitleSearch *s = (TitleSearch *)user;
    if (strcmp(record->name, s->title) == 0) {
        s->found = true;
        return 0;
    }
    return 1;
}

}  // namespace

void Finder_RecogniseDic(VLFinderState *st, const char *path, int64_t size)
{
    BYTE head[384];
    if (!ReadHead(path, head, sizeof head)) return;
    DWORD fileId = U32(head + 12);
    if (Excluded(fileId, U32(head + 8))) return;
    if (memcmp(head, kDicMagic, 8) != 0) return;
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    if (Lexicore_GetDicInfo(fileId, &info)) return;
    std::string name = Finder_NamesValue(st, fileId, 0, "Name");
    if (name.empty()) return;
    VLFoundDic rec;
    memset(&rec, 0, sizeof rec);
    Finder_Copy(rec.name, name.c_str(), sizeof rec.name);
    Finder_Copy(rec.path, path, sizeof rec.path);
    rec.kind = fileId < 0xF000 ? FINDER_KIND_DIC : FINDER_KIND_ADDON;
    rec.size = size;
    rec.id = (int32_t)fileId;
    Finder_AddRecord(st, rec);
}

void Finder_RecogniseCatalogs(VLFinderState *st, const char *path)
{
    std::vector<FinderBook> books;
    if (!Finder_ReadCatalogs(path, &books)) return;
    for (size_t i = 0; i < books.size(); i++) {
        std::string body = Finder_BookBodyPath(path, books[i]);
        DWORD a = GetFileAttributesA(body.c_str());
        if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (Finder_PathRegistered(body.c_str())) continue;
        VLFoundDic rec;
        memset(&rec, 0, sizeof rec);
        Finder_Copy(rec.name, books[i].title, sizeof rec.name);
        Finder_Copy(rec.path, body.c_str(), sizeof rec.path);
        Finder_Copy(rec.catalogPath, path, sizeof rec.catalogPath);
        rec.kind = FINDER_KIND_BOOK;
        rec.id = (int32_t)i;
        std::string bookFolder = Finder_FolderOf(Finder_FolderOf(body));
        rec.size = Finder_FolderSize(bookFolder.c_str());
        Finder_AddRecord(st, rec);
    }
}

void Finder_RecogniseIndex(VLFinderState *st, const char *path, int64_t size)
{
    BYTE head[13 + 64];
    if (!ReadHead(path, head, sizeof head)) return;
    if (memcmp(head, kIndexMagic, 8) != 0) return;
    char name[65];
    memcpy(name, head + 13, 64);
    name[64] = 0;
    size_t n = strlen(name);
    while (n && name[n - 1] == ' ') name[--n] = 0;
    TitleSearch search = {name, false};
    Lexicore_EnumDicsByKind(1, SameTitle, (LPARAM)&search);
    if (search.found) return;
    VLFoundDic rec;
    memset(&rec, 0, sizeof rec);
    Finder_Copy(rec.name, name, sizeof rec.name);
    Finder_Copy(rec.path, path, sizeof rec.path);
    rec.kind = FINDER_KIND_INDEX;
    rec.size = size;
    rec.id = 1;
    Finder_AddRecord(st, rec);
}
