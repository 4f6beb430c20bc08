// Finding an old dictionary file and telling which edition it is: by name (without case) and exact
// size against the known-file table; the title a message file beside it gives.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "migrate.h"

namespace {

// Size of the file (up to 4 GB); false when it cannot be opened.
bool FileSize(const char *path, DWORD *size)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER s;
    bool ok = GetFileSizeEx(f, &s) && s.QuadPart <= 0xFFFFFFFFLL;
    CloseHandle(f);
    if (ok) *size = (DWORD)s.QuadPart;
    return ok;
}

// The sum of the 8 bytes at KNOWN_SUM_OFFSET; 0 when they cannot be read.
DWORD EightByteSum(const char *path)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 0;
    BYTE bytes[8] = {};
    DWORD got = 0, sum = 0;
    LARGE_INTEGER at;
    at.QuadPart = KNOWN_SUM_OFFSET;
    if (SetFilePointerEx(f, at, nullptr, FILE_BEGIN) && ReadFile(f, bytes, 8, &got, nullptr) &&
        got == 8)
        for (BYTE b : bytes) sum += b;
    CloseHandle(f);
    return sum;
}

bool SearchFolder(const char *folder, const char *name, char *out, int depth)
{
    char found[MAX_PATH];
    char *part = nullptr;
    DWORD n = SearchPathA(folder, name, nullptr, MAX_PATH, found, &part);
    if (n > 0 && n < MAX_PATH && Migrate_FileExists(found)) {
        Migrate_Copy(out, found, MAX_PATH);
        return true;
    }
    if (depth > 32) return false;   // a loop of links
    char pattern[MAX_PATH];
    Migrate_Copy(pattern, folder, sizeof pattern);
    if (!Basekit_PathAppend(pattern, "*")) return false;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool hit = false;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (strcmp(fd.cFileName, ".") == 0 || strcmp(fd.cFileName, "..") == 0) continue;
        char sub[MAX_PATH];
        Migrate_Copy(sub, folder, sizeof sub);
        if (!Basekit_PathAppend(sub, fd.cFileName)) continue;
        hit = SearchFolder(sub, name, out, depth + 1);
    } while (!hit && FindNextFileA(h, &fd));
    FindClose(h);
    return hit;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool Migrate_SearchUnder(const char *folder, const char *name, char *out)
{
    out[0] = 0;
    if (!folder || !folder[0] || !name || !name[0]) return false;
    char base[MAX_PATH];
    Migrate_Copy(base, folder, sizeof base);
    // The platform's search takes a folder without the trailing backslash of a drive root too.
    return SearchFolder(base, name, out, 0);
}

int Migrate_DecodeEscapes(const char *in, char *out, int cap)
{
    int n = 0;
    if (cap <= 0) return 0;
    for (const char *p = in; *p && n < cap - 1;) {
        if (p[0] == '\\' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) {
            int value = HexDigit(p[2]);
            p += 3;
            if (HexDigit(*p) >= 0) value = value * 16 + HexDigit(*p++);
            if (value == 0) break;   // a zero byte ends the text
            out[n++] = (char)value;
            continue;
        }
        out[n++] = *p++;
    }
    out[n] = 0;
    return n;
}

bool Migrate_MessageTitle(const char *dicPath, UINT codePage, char *title, int cap)
{
    char path[MAX_PATH];
    Migrate_Copy(path, dicPath, sizeof path);
    Basekit_PathSetExtension(path, ".msg");
    if (!Migrate_FileExists(path)) return false;
    char value[512] = "";
    if (codePage == 932) {
        GetPrivateProfileStringA("Message", "jpn", "", value, sizeof value, path);
        char decoded[512];
        Migrate_DecodeEscapes(value, decoded, sizeof decoded);
        Migrate_Copy(value, decoded, sizeof value);
    } else {
        GetPrivateProfileStringA("Message", "enu", "", value, sizeof value, path);
    }
    if (!value[0]) return false;
    Migrate_Copy(title, value, (size_t)cap);
    return true;
}

bool Migrate_FindFile(Migration *m, UpgradeRecord *r, int kind, const char *folder)
{
    if (r->matched) return true;
    if (!folder || !folder[0] || !Migrate_IsKnownName(r->fileName)) return false;
    char path[MAX_PATH];
    if (kind == FIND_CD) {
        if (!Migrate_SearchUnder(folder, r->fileName, path)) return false;
    } else {
        Migrate_Copy(path, folder, sizeof path);
        if (!Basekit_PathAppend(path, r->fileName)) return false;
    }
    if (kind != FIND_V3) {
        char title[sizeof r->title];
        if (Migrate_MessageTitle(path, GetACP(), title, sizeof title))
            Migrate_Format(m, IDS_MIG_NAME, title, r->title, sizeof r->title);
    }
    DWORD size = 0;
    if (!FileSize(path, &size)) return false;

    int count = 0;
    const KnownFile *rows = Migrate_KnownFiles(&count);
    for (int i = 0; i < count; i++) {
        const KnownFile *k = &rows[i];
        if (lstrcmpiA(k->name, r->fileName) != 0 || k->size != size) continue;
        if ((k->flags & KNOWN_SUM_CHECK) && EightByteSum(path) == 0) continue;
        // The file's name as the folder spells it.
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(path, &fd);
        if (h != INVALID_HANDLE_VALUE) {
            FindClose(h);
            Basekit_PathReplaceFileName(path, fd.cFileName);
            Migrate_Copy(r->fileName, fd.cFileName, sizeof r->fileName);
        }
        Migrate_Copy(r->path, path, sizeof r->path);
        r->product = k->product;
        r->newId = k->newId;
        r->matched = true;
        r->present = Migrate_UsableFile(&m->env, k->newId, nullptr);
        bool listed = false;
        for (const MatchedRow &x : m->matched)
            listed = listed || (x.row.product == k->product && x.row.newId == k->newId);
        if (!r->present && !listed) {
            MatchedRow row;
            row.row = *k;
            Migrate_Copy(row.title, r->title, sizeof row.title);
            m->matched.push_back(row);
        }
        return true;
    }
    return false;
}
