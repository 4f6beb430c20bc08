// Phonetic data files: header and directory checked at open, blocks read on demand.
#include <string.h>
#include <vector>
#include "auxlingua.h"

namespace {

const DWORD kHeadSize = 32, kEntrySize = 16, kFileMagic = 0x4C485850;  // "PXHL" marks a live handle
const DWORD kMaxEntries = 1u << 22;

struct Entry {
    DWORD key, kind, offset, length;
};

struct PhoneFile {
    DWORD magic;
    HANDLE file;
    DWORD size;
    std::vector<Entry> entries;
};

DWORD U32(const BYTE *p) {
    DWORD v;
    memcpy(&v, p, 4);
    return v;
}

bool ReadAt(HANDLE f, DWORD offset, void *buf, DWORD n) {
    OVERLAPPED ov = {};
    ov.Offset = offset;
    DWORD got = 0;
    return ReadFile(f, buf, n, &got, &ov) && got == n;
}

PhoneFile *Live(HANDLE h) {
    PhoneFile *pf = (PhoneFile *)h;
    return pf && pf->magic == kFileMagic ? pf : nullptr;
}

const Entry *FindKey(const PhoneFile *pf, DWORD key) {
    size_t lo = 0, hi = pf->entries.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (pf->entries[mid].key < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < pf->entries.size() && pf->entries[lo].key == key ? &pf->entries[lo] : nullptr;
}

// Reads and checks the header and directory; false for anything out of place.
bool Load(PhoneFile *pf) {
    LARGE_INTEGER real;
    if (!GetFileSizeEx(pf->file, &real) || real.QuadPart < kHeadSize || real.QuadPart > 0x7FFFFFFF)
        return false;
    pf->size = (DWORD)real.QuadPart;
    BYTE head[kHeadSize];
    if (!ReadAt(pf->file, 0, head, kHeadSize) || memcmp(head, "VLPHONE1", 8) != 0 || U32(head + 8) != 1)
        return false;
    DWORD count = U32(head + 12), dir = U32(head + 16);
    if (U32(head + 20) != pf->size || count > kMaxEntries || dir < kHeadSize || dir > pf->size ||
        count > (pf->size - dir) / kEntrySize)
        return false;
    std::vector<BYTE> raw((size_t)count * kEntrySize);
    if (count && !ReadAt(pf->file, dir, raw.data(), (DWORD)raw.size()))
        return false;
    pf->entries.resize(count);
    for (DWORD i = 0; i < count; i++) {
        const BYTE *e = raw.data() + (size_t)i * kEntrySize;
        Entry x = {U32(e), U32(e + 4), U32(e + 8), U32(e + 12)};
        if (x.offset < kHeadSize || x.offset > pf->size || x.length > pf->size - x.offset)
            return false;
        if (i > 0 && x.key <= pf->entries[i - 1].key)
            return false;
        pf->entries[i] = x;
    }
    return true;
}

}  // namespace

extern "C" HANDLE WINAPI Auxlingua_Open(const char *path) {
    if (!path || !*path)
        return nullptr;
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return nullptr;
    PhoneFile *pf = new PhoneFile;
    pf->magic = kFileMagic;
    pf->file = f;
    if (!Load(pf)) {
        CloseHandle(f);
        pf->magic = 0;
        delete pf;
        return nullptr;
    }
    return (HANDLE)pf;
}

extern "C" int WINAPI Auxlingua_Close(HANDLE file) {
    PhoneFile *pf = Live(file);
    if (!pf)
        return 0;
    CloseHandle(pf->file);
    pf->magic = 0;
    delete pf;
    return 1;
}

extern "C" DWORD WINAPI Auxlingua_Lookup(HANDLE file, DWORD key) {
    PhoneFile *pf = Live(file);
    const Entry *e = pf ? FindKey(pf, key) : nullptr;
    return e ? e->length + 1 : 0;
}

extern "C" HGLOBAL WINAPI Auxlingua_GetData(HANDLE file, const void *request, DWORD *size) {
    if (size)
        *size = 0;
    PhoneFile *pf = Live(file);
    if (!pf || !request)
        return nullptr;
    const Entry *e = FindKey(pf, U32((const BYTE *)request + 4));
    if (!e || e->length == 0)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, e->length);
    void *p = block ? GlobalLock(block) : nullptr;
    bool ok = p && ReadAt(pf->file, e->offset, p, e->length);
    if (p)
        GlobalUnlock(block);
    if (!ok) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    if (size)
        *size = e->length;
    return block;
}
