// The upgrade patch (VLV4DIFF) and the copies through the LZ expansion functions.
//
// Patch file, little-endian: a 72-byte header ("VLV4DIFF" and a zero byte, then up to 16 language
// codes of 32 bits from byte 8, ending at the first 0), then records to the end of the file: offset
// (u32), length (u32), length bytes of data.  Each record turns the base file's bytes at offset into
// the old file's bytes there XOR the data.  Lengths come from the file and are never trusted: the
// data is taken in blocks, and a record that runs past the end of the patch or of the old file
// fails the patch.
#include <string.h>

#include "migrate.h"

#include <lzexpand.h>

namespace {

const char kMagic[9] = {'V', 'L', 'V', '4', 'D', 'I', 'F', 'F', 0};
const DWORD kBlock = 64 * 1024;

DWORD Get32(const BYTE *b) { return b[0] | (b[1] << 8) | (b[2] << 16) | ((DWORD)b[3] << 24); }

// Reads exactly size bytes; false on a failed or short read.
bool ReadExact(HANDLE f, void *buf, DWORD size)
{
    DWORD got = 0;
    return ReadFile(f, buf, size, &got, nullptr) && got == size;
}

bool Seek(HANDLE f, DWORD offset)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    return SetFilePointerEx(f, at, nullptr, FILE_BEGIN) != 0;
}

struct Handles {
    HANDLE old = INVALID_HANDLE_VALUE, patch = INVALID_HANDLE_VALUE, base = INVALID_HANDLE_VALUE;
    ~Handles()
    {
        for (HANDLE h : {old, patch, base})
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

HANDLE OpenRead(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int ReadHeader(HANDLE patch, DWORD *languages, int *count)
{
    BYTE header[PATCH_HEADER_SIZE];
    if (!ReadExact(patch, header, sizeof header)) return PATCH_BAD_HEADER;
    if (memcmp(header, kMagic, sizeof kMagic) != 0) return PATCH_BAD_HEADER;
    int n = 0;
    for (int i = 0; i < PATCH_MAX_LANGUAGES; i++) {
        DWORD code = Get32(header + 8 + 4 * i);
        if (code == 0) break;
        if (languages) languages[n] = code;
        n++;
    }
    if (count) *count = n;
    return PATCH_OK;
}

}  // namespace

int Migrate_ReadPatchHeader(const char *patchPath, DWORD *languages, int *count)
{
    if (count) *count = 0;
    HANDLE patch = OpenRead(patchPath);
    if (patch == INVALID_HANDLE_VALUE) return PATCH_OPEN_FAILED;
    int result = ReadHeader(patch, languages, count);
    CloseHandle(patch);
    return result;
}

int Migrate_ApplyPatch(const char *oldPath, const char *patchPath, const char *basePath)
{
    Handles h;
    h.old = OpenRead(oldPath);
    h.patch = OpenRead(patchPath);
    if (h.old == INVALID_HANDLE_VALUE || h.patch == INVALID_HANDLE_VALUE) return PATCH_OPEN_FAILED;
    int result = ReadHeader(h.patch, nullptr, nullptr);
    if (result != PATCH_OK) return result;
    h.base = CreateFileA(basePath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
    if (h.base == INVALID_HANDLE_VALUE) return PATCH_OPEN_FAILED;

    LARGE_INTEGER oldSize;
    if (!GetFileSizeEx(h.old, &oldSize)) return PATCH_READ_FAILED;
    static_assert(kBlock % 4 == 0, "");
    BYTE *data = (BYTE *)HeapAlloc(GetProcessHeap(), 0, 2 * kBlock);
    if (!data) return PATCH_READ_FAILED;
    BYTE *old = data + kBlock;
    for (;;) {
        BYTE head[8];
        DWORD got = 0;
        if (!ReadFile(h.patch, head, sizeof head, &got, nullptr)) {
            result = PATCH_BAD_RECORD;
            break;
        }
        if (got == 0) break;   // the end of the patch
        if (got != sizeof head) {
            result = PATCH_BAD_RECORD;
            break;
        }
        DWORD offset = Get32(head), length = Get32(head + 4);
        if (length && (ULONGLONG)offset + length > (ULONGLONG)oldSize.QuadPart) {
            result = PATCH_READ_FAILED;
            break;
        }
        if (length && (!Seek(h.old, offset) || !Seek(h.base, offset))) {
            result = PATCH_WRITE_FAILED;
            break;
        }
        for (DWORD done = 0; done < length && result == PATCH_OK;) {
            DWORD n = length - done < kBlock ? length - done : kBlock;
            DWORD put = 0;
            if (!ReadExact(h.patch, data, n)) result = PATCH_BAD_RECORD;
            else if (!ReadExact(h.old, old, n)) result = PATCH_READ_FAILED;
            else {
                for (DWORD i = 0; i < n; i++) data[i] ^= old[i];
                if (!WriteFile(h.base, data, n, &put, nullptr) || put != n)
                    result = PATCH_WRITE_FAILED;
            }
            done += n;
        }
        if (result != PATCH_OK) break;
    }
    HeapFree(GetProcessHeap(), 0, data);
    if (result == PATCH_OK && !FlushFileBuffers(h.base)) result = PATCH_WRITE_FAILED;
    return result;
}

bool Migrate_LzCopy(const char *source, const char *target)
{
    OFSTRUCT of = {};
    of.cBytes = sizeof of;
    INT in = LZOpenFileA(const_cast<char *>(source), &of, OF_READ | OF_SHARE_DENY_WRITE);
    if (in < 0) return false;
    HANDLE out = CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        LZClose(in);
        return false;
    }
    char *block = (char *)HeapAlloc(GetProcessHeap(), 0, kBlock);
    bool ok = block != nullptr;
    while (ok) {
        INT got = LZRead(in, block, (INT)kBlock);
        if (got < 0) ok = false;
        if (got <= 0) break;
        DWORD put = 0;
        ok = WriteFile(out, block, (DWORD)got, &put, nullptr) && put == (DWORD)got;
    }
    if (block) HeapFree(GetProcessHeap(), 0, block);
    LZClose(in);
    if (!CloseHandle(out)) ok = false;
    if (!ok) DeleteFileA(target);
    return ok;
}
