// The fixed start of a dictionary file: the 384-byte header and the 512-byte font area.
#include "lexidata_int.h"
#include "dicfile_int.h"

namespace {

bool HasDicExtension(const char *path) {
    const char *dot = strrchr(path, '.');
    const char *slash = strrchr(path, '\\');
    if (!dot || (slash && dot < slash)) return false;
    return lstrcmpiA(dot, ".dic") == 0 || lstrcmpiA(dot, ".rdc") == 0;
}

bool IsRemote(const char *path) {
    if (!path) return false;
    if (path[0] == '\\' && path[1] == '\\') return true;
    if (((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':') {
        char root[4] = {path[0], ':', '\\', 0};
        return GetDriveTypeA(root) == DRIVE_REMOTE;
    }
    return false;
}

}  // namespace

void Lexi_HeaderToRecord(const BYTE *h, DicInfo *r) {
    r->fileId = Lexi_Get32(h + kHdrFileId);
    r->userFlag = h[kHdrFlagByte];
    r->headerFlags = Lexi_Get32(h + kHdrFlags);
    r->indexDefCount = h[kHdrIndexDefs];
    r->subDicCount = h[kHdrSubDics];
    r->fontCount = h[kHdrFonts];
    r->language = Lexi_Get16(h + kHdrLanguage);
    r->decoderVersion = Lexi_Get16(h + kHdrDecoder);
    r->languageCount = h[kHdrLangCount];
    r->kind = h[kHdrKind];
    r->charset = h[kHdrCharset];
    DWORD n = r->languageCount < 100 ? r->languageCount : 100;
    for (DWORD i = 0; i < n; i++) r->languages[i] = Lexi_Get16(h + kHdrLangList + 2 * i);
    r->headerValue1 = Lexi_Get32(h + kHdrValue1);
    r->headerValue2 = Lexi_Get32(h + kHdrValue2);
    // Old dictionaries and one range of fixed ids are Shift-JIS whatever the byte says.
    if (r->fileId < 0x112B || (r->fileId >= 0xE001 && r->fileId <= 0xE00A)) r->charset = 128;
    if (h[kHdrFlagByte] != 0) r->status |= DICSTATUS_USER;
}

void Lexi_RecordToHeader(const DicInfo *r, BYTE *h) {
    memset(h, 0, kDicHeaderSize);
    memcpy(h, kDicMagic, 8);
    Lexi_Put32(h + kHdrFileId, r->fileId);
    h[kHdrFlagByte] = (BYTE)r->userFlag;
    Lexi_Put32(h + kHdrFlags, r->headerFlags);
    h[kHdrIndexDefs] = (BYTE)r->indexDefCount;
    h[kHdrSubDics] = (BYTE)r->subDicCount;
    h[kHdrFonts] = (BYTE)r->fontCount;
    Lexi_Put16(h + kHdrLanguage, r->language);
    Lexi_Put16(h + kHdrDecoder, r->decoderVersion);
    DWORD n = r->languageCount < 100 ? r->languageCount : 100;
    h[kHdrLangCount] = (BYTE)n;
    h[kHdrKind] = (BYTE)r->kind;
    h[kHdrCharset] = (BYTE)r->charset;
    // Every listed language is written, so that the count and the list agree on reading.
    for (DWORD i = 0; i < n; i++) Lexi_Put16(h + kHdrLangList + 2 * i, r->languages[i]);
    Lexi_Put32(h + kHdrValue1, r->headerValue1);
    Lexi_Put32(h + kHdrValue2, r->headerValue2);
}

extern "C" BOOL WINAPI DLVReadDicHeader(HANDLE file, const char *path, DicInfo *record) {
    if (!record) return FALSE;
    memset(record, 0, sizeof *record);
    if (IsRemote(path)) record->status |= DICSTATUS_REMOTE;
    HANDLE own = INVALID_HANDLE_VALUE;
    if (!Lexi_HandleOk(file) && path) {
        own = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        file = own;
    }
    BYTE h[kDicHeaderSize];
    bool ok = Lexi_HandleOk(file) && Lexi_Seek(file, 0) && Lexi_ReadExact(file, h, sizeof h) &&
              memcmp(h, kDicMagic, 8) == 0;
    if (Lexi_HandleOk(own)) CloseHandle(own);
    if (!ok) {
        record->status |= DICSTATUS_BAD;
        return FALSE;
    }
    Lexi_HeaderToRecord(h, record);
    return TRUE;
}

extern "C" BOOL WINAPI DLVWriteDicHeader(HANDLE file, const char *path, const DicInfo *record) {
    if (!record) return FALSE;
    BYTE h[kDicHeaderSize];
    Lexi_RecordToHeader(record, h);
    HANDLE own = INVALID_HANDLE_VALUE;
    if (!Lexi_HandleOk(file)) {
        if (!path) return FALSE;
        own = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        file = own;
    }
    bool ok = Lexi_HandleOk(file) && Lexi_Seek(file, 0) && Lexi_WriteExact(file, h, sizeof h);
    if (Lexi_HandleOk(own)) CloseHandle(own);
    return ok;
}

extern "C" BOOL WINAPI DLVCreateDic(const char *path, const DicInfo *record) {
    if (!path || !record) return FALSE;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    BOOL ok = DLVWriteDicHeader(file, path, record);
    CloseHandle(file);
    return ok;
}

extern "C" void *WINAPI DLVReadFontInfo(const DicInfo *record) {
    if (!record || record->fontCount == 0 || !HasDicExtension(record->path)) return nullptr;
    // The font area holds at most 16 records; a larger count never reads into the index area.
    DWORD n = record->fontCount < kFontMax ? record->fontCount : kFontMax;
    HANDLE file = CreateFileA(record->path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    BYTE *fonts = (BYTE *)Lexi_Alloc(n * kFontRecordSize);
    if (fonts && !(Lexi_Seek(file, kFontAreaPos) && Lexi_ReadExact(file, fonts, n * kFontRecordSize))) {
        Lexi_Free(fonts);
        fonts = nullptr;
    }
    CloseHandle(file);
    if (fonts) {
        for (DWORD i = 0; i < n; i++) fonts[i * kFontRecordSize + kFontRecordSize - 1] = 0;
    }
    return fonts;
}

extern "C" BOOL WINAPI DLVWriteFontInfo(HANDLE file, const DicInfo *record, const void *fonts) {
    if (!record) return FALSE;
    HANDLE own = INVALID_HANDLE_VALUE;
    if (!Lexi_HandleOk(file)) {
        own = CreateFileA(record->path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        file = own;
    }
    if (!Lexi_HandleOk(file)) return FALSE;
    BYTE area[kFontAreaSize];
    memset(area, 0, sizeof area);
    // At most 16 records fit the area; more would overwrite the index definitions behind it.
    DWORD n = record->fontCount < kFontMax ? record->fontCount : kFontMax;
    if (fonts) memcpy(area, fonts, n * kFontRecordSize);
    bool ok = Lexi_Seek(file, kFontAreaPos) && Lexi_WriteExact(file, area, sizeof area);
    if (Lexi_HandleOk(own)) CloseHandle(own);
    return ok;
}
