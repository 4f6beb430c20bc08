// EPWING catalogues: the CATALOGS file (big-endian: a 16-byte head with the book count, then one
// 164-byte entry per book), book titles from JIS X 0208 to Shift-JIS, and whether a book's body
// file is in the catalogue already.
#include <stdio.h>
#include <string.h>

#include "basekit.h"
#include "lexidata.h"
#include "finder_int.h"

namespace {

const size_t kHead = 16;
const size_t kEntry = 164;
const unsigned kMaxVersion = 64;   // the second head number; a larger one is not a catalogue we read
const size_t kMaxBooks = 1000;

unsigned Be16(const std::string &b, size_t at)
{
    return (unsigned)(BYTE)b[at] << 8 | (BYTE)b[at + 1];
}

// A space-padded name of up to n bytes, trailing blanks cut; empty when it starts with a blank.
void PaddedName(const std::string &b, size_t at, size_t n, char *out)
{
    std::string s = b.substr(at, n);
    size_t zero = s.find('\0');
    if (zero != std::string::npos) s.resize(zero);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    if (!s.empty() && s[0] == ' ') s.clear();
    Finder_Copy(out, s.c_str(), n + 1);
}

bool ReadAll(const char *path, std::string *out)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0, size = GetFileSize(f, &high);
    bool ok = size != INVALID_FILE_SIZE && !high && size <= kHead + kMaxBooks * kEntry;
    if (ok) {
        out->resize(size);
        DWORD got = 0;
        ok = !size || (ReadFile(f, &(*out)[0], size, &got, nullptr) && got == size);
    }
    CloseHandle(f);
    return ok;
}

}  // namespace

std::string Finder_JisToSjis(const BYTE *jis, size_t n)
{
    std::string out;
    size_t keep = 0;   // length up to the last character that is not a blank
    for (size_t i = 0; i + 1 < n; i += 2) {
        BYTE j1 = jis[i], j2 = jis[i + 1];
        if (!j1) break;
        if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) continue;
        BYTE s1 = (BYTE)(((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0));
        BYTE s2 = (BYTE)(j2 + ((j1 & 1) ? (j2 < 0x60 ? 0x1F : 0x20) : 0x7E));
        out += (char)s1;
        out += (char)s2;
        if (!(j1 == 0x21 && j2 == 0x21)) keep = out.size();
    }
    out.resize(keep);
    return out;
}

bool Finder_ParseCatalogs(const std::string &bytes, std::vector<FinderBook> *books)
{
    books->clear();
    if (bytes.size() < kHead) return false;
    unsigned count = Be16(bytes, 0), version = Be16(bytes, 2);
    if (version > kMaxVersion || bytes.size() < kHead + count * kEntry) return false;
    for (unsigned i = 0; i < count; i++) {
        size_t at = kHead + i * kEntry;
        FinderBook book;
        memset(&book, 0, sizeof book);
        book.type[0] = (BYTE)bytes[at];
        book.type[1] = (BYTE)bytes[at + 1];
        std::string title = Finder_JisToSjis((const BYTE *)bytes.data() + at + 2, 80);
        while (!title.empty() && title.back() == ' ') title.pop_back();
        Finder_Copy(book.title, title.c_str(), sizeof book.title);
        PaddedName(bytes, at + 82, 8, book.folder);
        book.indexPage = (WORD)Be16(bytes, at + 94);
        for (int k = 0; k < 8; k++) PaddedName(bytes, at + 100 + 8 * k, 8, book.fonts[k]);
        books->push_back(book);
    }
    return true;
}

bool Finder_ReadCatalogs(const char *path, std::vector<FinderBook> *books)
{
    std::string bytes;
    books->clear();
    return ReadAll(path, &bytes) && Finder_ParseCatalogs(bytes, books);
}

std::string Finder_BookBodyPath(const char *catalogPath, const FinderBook &book)
{
    std::string folder = Finder_FolderOf(catalogPath);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    char path[FINDER_PATH];
    snprintf(path, sizeof path, "%s\\%s\\%s\\%s", folder.c_str(), book.folder, "Data", "Honmon");
    return path;
}

bool Finder_PathRegistered(const char *path)
{
    char root[MAX_PATH], full[MAX_PATH];
    Lexidata_GetDicRootKey(root);
    snprintf(full, sizeof full, "HKEY_LOCAL_MACHINE\\%s", root);
    int n = Basekit_SettingsCountSubkeys(full);
    for (int i = 0; i < n; i++) {
        char name[MAX_PATH], key[MAX_PATH], fileName[MAX_PATH];
        if (!Basekit_SettingsEnumSubkey(full, i, name)) continue;
        snprintf(key, sizeof key, "%s\\%s", root, name);
        if (Basekit_SettingsReadString(key, "FileName", fileName, sizeof fileName) &&
            lstrcmpiA(fileName, path) == 0)
            return true;
    }
    return false;
}
