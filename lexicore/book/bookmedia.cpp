// Sounds and pictures of a book, named by the text of their reference anchors: written as wave and
// bitmap files, or (a sound) played.
#include <stdio.h>
#include "basekit.h"
#include "book_int.h"

namespace {

const DWORD kMaxMedia = 64u << 20;

// Exactly n hex digits at text; false for anything else.
bool Hex(const char *text, int n, DWORD *out) {
    DWORD v = 0;
    for (int i = 0; i < n; i++) {
        char c = text[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) return false;
        v = v << 4 | (DWORD)d;
    }
    *out = v;
    return true;
}

void Put16(std::vector<BYTE> &b, DWORD v) {
    b.push_back((BYTE)v);
    b.push_back((BYTE)(v >> 8));
}
void Put32(std::vector<BYTE> &b, DWORD v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutTag(std::vector<BYTE> &b, const char *tag) { b.insert(b.end(), tag, tag + 4); }

// Reads n bytes at pos of the book after the bounds check against its size.
bool ReadRange(HANDLE h, DWORD pos, DWORD n, std::vector<BYTE> *out) {
    DWORD size = LcBook_FileSize(h);
    if (pos > size || n > size - pos || n > kMaxMedia) return false;
    out->resize(n);
    return n == 0 || LcBook_ReadAt(h, pos, out->data(), n);
}

// The wave file of a sound reference "ccccssssssssdddddddd".
bool BuildSound(HANDLE h, const char *ref, std::vector<BYTE> *file) {
    DWORD code, start, end;
    if (!Hex(ref, 4, &code) || !Hex(ref + 4, 8, &start) || !Hex(ref + 12, 8, &end) || end <= start)
        return false;
    static const DWORD kRates[] = {44100, 22050, 11025};
    DWORD rateCode = code & 15;
    if (rateCode > 2) return false;
    std::vector<BYTE> data;
    if (!ReadRange(h, start, end - start, &data)) return false;
    DWORD bits = (code & 0xF0) ? 8 : 16, channels = ((code >> 12) & 15) == 1 ? 2 : 1;
    DWORD rate = kRates[rateCode], dataLen = (DWORD)data.size();
    file->clear();
    PutTag(*file, "RIFF");
    if (code & 0xF00) {
        Put32(*file, 36 + dataLen);
        PutTag(*file, "WAVE");
        PutTag(*file, "fmt ");
        Put32(*file, 16);
        Put16(*file, 1);
        Put16(*file, channels);
        Put32(*file, rate);
        Put32(*file, rate * channels * bits / 8);
        Put16(*file, channels * bits / 8);
        Put16(*file, bits);
        PutTag(*file, "data");
        Put32(*file, dataLen);
    } else {
        Put32(*file, 4 + dataLen);
        PutTag(*file, "WAVE");
    }
    file->insert(file->end(), data.begin(), data.end());
    return true;
}

// The bitmap file of a monochrome picture "Bwwwwhhhhpppppppp00000000".
bool BuildBitmap(HANDLE h, const char *ref, std::vector<BYTE> *file) {
    DWORD sizes, pos;
    if (!Hex(ref, 8, &sizes) || !Hex(ref + 8, 8, &pos)) return false;
    DWORD width = sizes >> 16, height = sizes & 0xFFFF;
    if (!width || !height) return false;
    DWORD srcRow = (width + 7) / 8, dstRow = (width + 31) / 32 * 4;
    std::vector<BYTE> bits;
    if (!ReadRange(h, pos, srcRow * height, &bits)) return false;
    DWORD image = dstRow * height, offset = 14 + 40 + 8;
    file->clear();
    file->push_back('B');
    file->push_back('M');
    Put32(*file, offset + image);
    Put32(*file, 0);
    Put32(*file, offset);
    Put32(*file, 40);
    Put32(*file, width);
    Put32(*file, height);
    Put16(*file, 1);
    Put16(*file, 1);
    Put32(*file, 0);
    Put32(*file, image);
    Put32(*file, 3780);
    Put32(*file, 3780);
    Put32(*file, 2);
    Put32(*file, 0);
    Put32(*file, 0);           // palette entry 0: black
    Put32(*file, 0x00FFFFFF);  // entry 1: white
    for (DWORD y = height; y-- > 0;) {
        size_t at = file->size();
        file->resize(at + dstRow, 0xFF);
        for (DWORD x = 0; x < srcRow; x++) (*file)[at + x] = (BYTE)~bits[y * srcRow + x];
    }
    return true;
}

// The stored file of a colour picture "Cpppppppp".
bool CopyPicture(HANDLE h, const char *ref, std::vector<BYTE> *file) {
    DWORD pos;
    std::vector<BYTE> head;
    if (!Hex(ref, 8, &pos) || pos > 0xFFFFFFF7u || !ReadRange(h, pos, 8, &head)) return false;
    DWORD length = head[4] | head[5] << 8 | head[6] << 16 | (DWORD)head[7] << 24;
    return ReadRange(h, pos + 8, length, file);
}

typedef BOOL(WINAPI *PlaySoundProc)(const char *sound, HMODULE module, DWORD flags);
typedef UINT(WINAPI *NumDevsProc)(void);

// Plays the wave file asynchronously after stopping any sound; 0 without an audio device.
BOOL Play(const std::vector<BYTE> &wave) {
    static HMODULE winmm = LoadLibraryA("winmm.dll");  // kept: an asynchronous sound outlives the call
    if (!winmm) return FALSE;
    PlaySoundProc play = (PlaySoundProc)GetProcAddress(winmm, "PlaySoundA");
    NumDevsProc devices = (NumDevsProc)GetProcAddress(winmm, "waveOutGetNumDevs");
    if (!play || !devices || devices() == 0) return FALSE;
    play(nullptr, nullptr, 0);
    char path[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH - 40, path);
    if (!n || n >= MAX_PATH - 40) return FALSE;
    snprintf(path + n, MAX_PATH - n, "lexicore-sound-%lu.wav", (unsigned long)GetCurrentProcessId());
    if (Basekit_WriteFile(path, wave.data(), (DWORD)wave.size()) != 1) return FALSE;
    const DWORD kFlags = 0x00020000 | 0x0001 | 0x0002;  // file name, asynchronous, no default sound
    return play(path, nullptr, kFlags);
}

}  // namespace

BOOL LcBook_ExportMedia(LcFile *file, DWORD what, const char *reference, const char *outputPath) {
    if (!file || !reference || what > 1) return FALSE;
    bool play = !outputPath || !outputPath[0];
    if (play && what != 0) return FALSE;
    HANDLE h = CreateFileA(file->info.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    std::vector<BYTE> out;
    bool built = what == 0 ? BuildSound(h, reference, &out)
                 : reference[0] == 'B' ? BuildBitmap(h, reference + 1, &out)
                 : reference[0] == 'C' ? CopyPicture(h, reference + 1, &out)
                 : false;
    CloseHandle(h);
    if (!built) return FALSE;
    if (play) return Play(out);
    return Basekit_WriteFile(outputPath, out.data(), (DWORD)out.size()) == 1;
}
