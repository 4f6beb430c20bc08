// Side files of a user dictionary: header, allocation record, blocks in 16-byte units with a free
// list, cut back when the end of the file or the last block in use is freed.
#include <string.h>
#include "user_int.h"

int (*g_luWriteHook)(void) = nullptr;

namespace {

const char kMagic[8] = {'V', 'L', 'V', '4', 'U', 'L', 'F', 'L'};


DWORD SizeOf(HANDLE h) {
    LARGE_INTEGER s;
    if (!GetFileSizeEx(h, &s) || s.QuadPart > 0x7FFFFFF0) return 0;
    return (DWORD)s.QuadPart;
}

bool CutAt(LuFile *f, DWORD pos) {
    if (g_luWriteHook && !g_luWriteHook()) return false;
    LARGE_INTEGER at;
    at.QuadPart = pos;
    if (!SetFilePointerEx(f->h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(f->h)) return false;
    f->size = pos;
    return true;
}

void ClearAlloc(LuFile *f) {
    DWORD changes = f->alloc.changes, busy = f->alloc.busy;
    memset(&f->alloc, 0, sizeof f->alloc);
    f->alloc.changes = changes;
    f->alloc.busy = busy;
}

// The allocation record fits the file: counts, first record and list head inside it.
bool AllocFits(const LuFile *f) {
    const LuAlloc &a = f->alloc;
    if (f->size < kLuFirstBlock) return false;
    DWORD room = (f->size - kLuFirstBlock) / 16;
    if (a.blocks > room || a.freeBlocks > a.blocks) return false;
    if (a.first && (a.first < kLuFirstBlock || a.first >= f->size)) return false;
    if (a.freeHead && (a.freeHead < kLuFirstBlock || a.freeHead >= f->size)) return false;
    return true;
}

// Position after pos's block and the free blocks that follow it; 0 at the end of the file.
DWORD NextInUse(LuFile *f, DWORD pos) {
    DWORD size;
    BYTE flag, links;
    while (LuFile_BlockAt(f, pos, &size, &flag, &links)) {
        pos += size;
        if (pos >= f->size) return 0;
        if (LuFile_BlockAt(f, pos, &size, &flag, &links) && flag != kLuFreeFlag) return pos;
    }
    return 0;
}

}  // namespace

bool LuFile_Create(const char *path, DWORD fileId, BYTE type, WORD value32, BYTE kind34, BYTE number36) {
    DeleteFileA(path);
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BYTE head[kLuFirstBlock];
    memset(head, 0, sizeof head);
    memcpy(head, kMagic, 8);
    LuPut32(head + 8, fileId);
    head[12] = (BYTE)kLuDecoderVersion;
    head[13] = (BYTE)(kLuDecoderVersion >> 8);
    head[14] = type;
    head[32] = (BYTE)value32;
    head[33] = (BYTE)(value32 >> 8);
    head[34] = kind34;
    head[36] = number36;
    DWORD wrote = 0;
    bool ok = WriteFile(h, head, sizeof head, &wrote, nullptr) && wrote == sizeof head;
    CloseHandle(h);
    if (!ok) DeleteFileA(path);
    return ok;
}

bool LuFile_ReadHeader(const char *path, BYTE header[40]) {
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    bool ok = ReadFile(h, header, kLuHeaderSize, &got, nullptr) && got == kLuHeaderSize &&
              memcmp(header, kMagic, 8) == 0;
    CloseHandle(h);
    return ok;
}

bool LuFile_Open(LuFile *f, const char *path, DWORD fileId, BYTE type, bool writable) {
    memset(f, 0, sizeof *f);
    f->h = CreateFileA(path, writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                       writable ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f->h == INVALID_HANDLE_VALUE) {
        f->h = nullptr;
        return false;
    }
    f->writable = writable ? 1 : 0;
    f->tree = type == kLuTypeForward || type == kLuTypeBackward;
    BYTE head[kLuHeaderSize];
    f->size = SizeOf(f->h);
    if (!LuFile_Read(f, 0, head, sizeof head) || memcmp(head, kMagic, 8) != 0 || head[14] != type ||
        LuGet32(head + 8) != fileId || !LuFile_Reload(f)) {
        LuFile_Close(f);
        return false;
    }
    return true;
}

void LuFile_Close(LuFile *f) {
    if (f->h) CloseHandle(f->h);
    memset(f, 0, sizeof *f);
}

bool LuFile_Reload(LuFile *f) {
    f->size = SizeOf(f->h);
    return LuFile_Read(f, kLuAllocPos, &f->alloc, sizeof f->alloc) && AllocFits(f);
}

bool LuFile_SaveAlloc(LuFile *f) {
    f->alloc.changes++;
    return LuFile_Write(f, kLuAllocPos, &f->alloc, sizeof f->alloc);
}

bool LuFile_Read(LuFile *f, DWORD pos, void *out, DWORD n) {
    if (!f->h || pos > f->size || n > f->size - pos) return false;
    OVERLAPPED o;
    memset(&o, 0, sizeof o);
    o.Offset = pos;
    DWORD got = 0;
    return ReadFile(f->h, out, n, &got, &o) && got == n;
}

bool LuFile_Write(LuFile *f, DWORD pos, const void *data, DWORD n) {
    if (!f->h || !f->writable) return false;
    if (g_luWriteHook && !g_luWriteHook()) return false;
    OVERLAPPED o;
    memset(&o, 0, sizeof o);
    o.Offset = pos;
    DWORD wrote = 0;
    if (!WriteFile(f->h, data, n, &wrote, &o) || wrote != n) return false;
    if (pos + n > f->size) f->size = pos + n;
    return true;
}

bool LuFile_BlockAt(LuFile *f, DWORD pos, DWORD *size, BYTE *flag, BYTE *links) {
    BYTE p[kLuPrefix];
    if (pos < kLuFirstBlock || !LuFile_Read(f, pos, p, sizeof p)) return false;
    DWORD s = LuGet32(p);
    if (s < 16 || s % 16 != 0 || s > f->size - pos) return false;
    *size = s;
    *flag = p[8];
    *links = p[9];
    return true;
}

DWORD LuFile_Allocate(LuFile *f, DWORD n) {
    if (n > 0x1000000) return 0;
    DWORD want = LuBlockSize(kLuPrefix + n);
    // First fit along the free list (bounded by the free count, so a looped list ends).
    DWORD prev = 0, pos = f->alloc.freeHead, found = 0, foundSize = 0;
    for (DWORD guard = 0; pos && guard <= f->alloc.freeBlocks; guard++) {
        BYTE p[kLuPrefix];
        if (!LuFile_Read(f, pos, p, sizeof p) || p[8] != kLuFreeFlag) return 0;  // damaged list
        DWORD size = LuGet32(p);
        if (size >= want && size <= f->size - pos) {
            found = pos;
            foundSize = size;
            DWORD next = LuGet32(p + 4);
            if (prev) {
                BYTE link[4];
                LuPut32(link, next);
                if (!LuFile_Write(f, prev + 4, link, 4)) return 0;
            } else {
                f->alloc.freeHead = next;
            }
            f->alloc.freeBlocks--;
            break;
        }
        prev = pos;
        pos = LuGet32(p + 4);
    }
    if (!found) {
        found = f->size < kLuFirstBlock ? kLuFirstBlock : f->size;
        foundSize = want;
        f->alloc.blocks++;
    }
    std::vector<BYTE> block(foundSize, 0);
    LuPut32(block.data(), foundSize);
    if (!LuFile_Write(f, found, block.data(), foundSize)) return 0;
    if (!f->tree && (f->alloc.first == 0 || found < f->alloc.first)) f->alloc.first = found;
    if (f->tree && f->alloc.first == 0) f->alloc.first = found;
    if (!LuFile_SaveAlloc(f)) return 0;
    return found;
}

// The allocation record is written before the file is cut, so that a stop in between leaves a
// record that still fits the file.
bool LuFile_Reset(LuFile *f) {
    ClearAlloc(f);
    return LuFile_SaveAlloc(f) && CutAt(f, kLuFirstBlock);
}

bool LuFile_FreeBlock(LuFile *f, DWORD pos) {
    DWORD size;
    BYTE flag, links;
    if (!LuFile_BlockAt(f, pos, &size, &flag, &links) || flag == kLuFreeFlag) return false;
    if (f->alloc.blocks <= f->alloc.freeBlocks + 1) return LuFile_Reset(f);  // the last one in use
    if (!f->tree && f->alloc.first == pos) f->alloc.first = NextInUse(f, pos);
    if (pos + size == f->size) {
        f->alloc.blocks--;
        return LuFile_SaveAlloc(f) && CutAt(f, pos);
    } else {
        BYTE p[kLuPrefix];
        memset(p, 0, sizeof p);
        LuPut32(p, size);
        LuPut32(p + 4, f->alloc.freeHead);
        p[8] = kLuFreeFlag;
        if (!LuFile_Write(f, pos, p, sizeof p)) return false;
        f->alloc.freeHead = pos;
        f->alloc.freeBlocks++;
    }
    return LuFile_SaveAlloc(f);
}

void LuFile_Walk(LuFile *f, std::vector<DWORD> *pos, std::vector<DWORD> *size, std::vector<BYTE> *flag,
                 DWORD *end) {
    DWORD at = kLuFirstBlock;
    DWORD s;
    BYTE fl, links;
    while (at < f->size && LuFile_BlockAt(f, at, &s, &fl, &links)) {
        pos->push_back(at);
        size->push_back(s);
        flag->push_back(fl);
        at += s;
    }
    *end = at < kLuFirstBlock ? kLuFirstBlock : at;
}

bool LuFile_Rebuild(LuFile *f, DWORD end, const std::vector<DWORD> &pos, const std::vector<DWORD> &size,
                    const std::vector<bool> &keep) {
    size_t n = pos.size();
    while (n > 0 && !keep[n - 1]) n--;  // trailing free blocks go with the cut
    DWORD cut = n ? pos[n - 1] + size[n - 1] : kLuFirstBlock;
    if (cut > end) cut = end;
    ClearAlloc(f);
    for (size_t i = n; i-- > 0;) {
        f->alloc.blocks++;
        if (keep[i]) {
            if (!f->tree) f->alloc.first = pos[i];
            continue;
        }
        BYTE p[kLuPrefix];
        memset(p, 0, sizeof p);
        LuPut32(p, size[i]);
        LuPut32(p + 4, f->alloc.freeHead);
        p[8] = kLuFreeFlag;
        if (!LuFile_Write(f, pos[i], p, sizeof p)) return false;
        f->alloc.freeHead = pos[i];
        f->alloc.freeBlocks++;
    }
    return LuFile_SaveAlloc(f) && (f->size == cut || CutAt(f, cut));
}
