// Hand-over to the translation window: files of the temporary folder and the message to kind 4;
// the page-translation note.
#include "addin_common.h"
#include <stdio.h>
#include <string.h>
#include "sharedkit.h"

namespace {

const size_t kNoteAddressMax = 5000;

void PutU32(std::string *out, DWORD v) {
    for (int i = 0; i < 4; ++i) out->push_back((char)((v >> (8 * i)) & 0xFF));
}

DWORD GetU32(const unsigned char *p) { return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; }

bool WriteFileBytes(const std::string &path, const char *mode, const std::string &bytes) {
    if (path.empty()) return false;
    FILE *f = fopen(path.c_str(), mode);
    if (!f) return false;
    bool written = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = fclose(f) == 0 && written;
    if (!written) DeleteFileA(path.c_str());
    return written;
}

}  // namespace

std::string Addin_TempPath(const char *name) {
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH) return std::string();
    return std::string(folder) + name;
}

bool Addin_WriteTempText(const char *name, const std::string &bytes) {
    return WriteFileBytes(Addin_TempPath(name), "w", bytes);
}

bool Addin_HandOver(UINT message, const char *name, const std::string &bytes, DWORD dicId, DWORD tranId) {
    if (!Addin_WriteTempText(name, bytes)) return false;
    Sharedkit_SendToKind(4, message, (WPARAM)dicId, (LPARAM)tranId);
    return true;
}

bool Addin_WriteNote(DWORD tranId, DWORD dicId, const char *address) {
    if (!address) return false;
    std::string bytes;
    PutU32(&bytes, tranId);
    PutU32(&bytes, dicId);
    bytes.append(address, strlen(address) + 1);
    return WriteFileBytes(Addin_TempPath(ADDIN_NOTE_FILE), "wb", bytes);
}

bool Addin_TakeNote(const char *address, DWORD *tranId, DWORD *dicId) {
    std::string path = Addin_TempPath(ADDIN_NOTE_FILE);
    if (path.empty()) return false;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char head[8];
    std::string stored(kNoteAddressMax, '\0');
    bool whole = fread(head, 1, 8, f) == 8;
    size_t got = whole ? fread(&stored[0], 1, kNoteAddressMax, f) : 0;
    fclose(f);
    DeleteFileA(path.c_str());
    if (!whole || !address) return false;
    // the address ends at its terminator within the bytes read; without one it matches nothing
    size_t end = stored.find('\0');
    if (end == std::string::npos || end >= got) return false;
    stored.resize(end);
    if (stored != address) return false;
    *tranId = GetU32(head);
    *dicId = GetU32(head + 4);
    return true;
}
