// Declarations shared by the files of the dictionary data library.
#ifndef LEXIDATA_INT_H
#define LEXIDATA_INT_H

#include "recordcheck.h"
#include <stddef.h>
#include <string.h>
#include "lexidata.h"

// ---- Layout checks of the public records -----------------------------------------------------
RECORD_CHECK_X86(sizeof(void *) == 4, "records hold 32-bit pointers");
static_assert(sizeof(VLItem) == 36, "item head");
static_assert(offsetof(VLItem, time) == 20 && offsetof(VLItem, textPos) == 28 &&
              offsetof(VLItem, extra) == 32, "item head fields");
RECORD_CHECK_X86(sizeof(VLDataItem) == 108, "data item head");
RECORD_CHECK_X86(offsetof(VLDataItem, language) == 36 && offsetof(VLDataItem, entryLink) == 40 &&
              offsetof(VLDataItem, score) == 44 && offsetof(VLDataItem, headwordLen) == 48 &&
              offsetof(VLDataItem, secondLen) == 52 && offsetof(VLDataItem, thirdLen) == 56 &&
              offsetof(VLDataItem, headword) == 60 && offsetof(VLDataItem, second) == 64 &&
              offsetof(VLDataItem, third) == 68 && offsetof(VLDataItem, indexValue) == 76 &&
              offsetof(VLDataItem, indexValue16a) == 80 && offsetof(VLDataItem, indexValue16b) == 82 &&
              offsetof(VLDataItem, indexByte) == 84 && offsetof(VLDataItem, fourthLen) == 92 &&
              offsetof(VLDataItem, fourth) == 96 && offsetof(VLDataItem, charset) == 104,
              "data item fields");
RECORD_CHECK_X86(sizeof(VLLabelItem) == 60 && offsetof(VLLabelItem, level) == 36 &&
              offsetof(VLLabelItem, textLen) == 52 && offsetof(VLLabelItem, text) == 56, "label item");
RECORD_CHECK_X86(sizeof(VLPageItem) == 64 && offsetof(VLPageItem, nameLen) == 36 &&
              offsetof(VLPageItem, pageByte) == 40 && offsetof(VLPageItem, value1) == 44 &&
              offsetof(VLPageItem, value2) == 48 && offsetof(VLPageItem, position) == 56 &&
              offsetof(VLPageItem, name) == 60, "page item");
RECORD_CHECK_X86(sizeof(VLFileItem) == 56 && offsetof(VLFileItem, firstLen) == 36 &&
              offsetof(VLFileItem, secondLen) == 40 && offsetof(VLFileItem, value) == 44 &&
              offsetof(VLFileItem, first) == 48 && offsetof(VLFileItem, second) == 52, "file item");
RECORD_CHECK_X86(sizeof(VLData) == 20, "entry text pair");
RECORD_CHECK_X86(sizeof(VLWordList) == 20 && offsetof(VLWordList, slots) == 16, "word list");
RECORD_CHECK_X86(sizeof(VLTranParam) == 104 && offsetof(VLTranParam, font) == 16 &&
              sizeof(LOGFONTA) == 60 && offsetof(VLTranParam, charset) == 76 &&
              offsetof(VLTranParam, wordPos) == 78 && offsetof(VLTranParam, language) == 80 &&
              offsetof(VLTranParam, sourceWindow) == 84 && offsetof(VLTranParam, pointTop) == 88 &&
              offsetof(VLTranParam, pointBottom) == 92 && offsetof(VLTranParam, text) == 96 &&
              offsetof(VLTranParam, textLen) == 100, "lookup request");
static_assert(sizeof(DicInfo) == 772 && offsetof(DicInfo, language) == 32 &&
              offsetof(DicInfo, decoderVersion) == 34 && offsetof(DicInfo, languageCount) == 36 &&
              offsetof(DicInfo, languages) == 48 && offsetof(DicInfo, headerValue1) == 248 &&
              offsetof(DicInfo, name) == 256 && offsetof(DicInfo, path) == 512, "file record");
RECORD_CHECK_X86(sizeof(DicProperty) == 572 && offsetof(DicProperty, language) == 20 &&
              offsetof(DicProperty, charset) == 22 && offsetof(DicProperty, langValue1) == 23 &&
              offsetof(DicProperty, indexKind) == 28 && offsetof(DicProperty, name) == 48 &&
              offsetof(DicProperty, colour) == 304 && offsetof(DicProperty, nickname) == 308 &&
              offsetof(DicProperty, number) == 564 && offsetof(DicProperty, fileRecord) == 568,
              "sub-dictionary record");
static_assert(sizeof(VLIndexRecord) == 268 && offsetof(VLIndexRecord, key) == 12, "index record");
RECORD_CHECK_X86(offsetof(DicSession, langInfo) == 8 && offsetof(DicSession, openCount) == 336 &&
              offsetof(DicSession, textFile) == 344 && offsetof(DicSession, indexFile) == 348,
              "session head");

// ---- Heap ------------------------------------------------------------------------------------
void *Lexi_Alloc(size_t size);   // zero-filled; null on failure
void Lexi_Free(void *block);

// ---- Little-endian fields ----------------------------------------------------------------------
inline DWORD Lexi_Get32(const void *p) {
    const BYTE *b = (const BYTE *)p;
    return b[0] | (b[1] << 8) | (b[2] << 16) | ((DWORD)b[3] << 24);
}
inline WORD Lexi_Get16(const void *p) {
    const BYTE *b = (const BYTE *)p;
    return (WORD)(b[0] | (b[1] << 8));
}
inline void Lexi_Put32(void *p, DWORD v) {
    BYTE *b = (BYTE *)p;
    b[0] = (BYTE)v; b[1] = (BYTE)(v >> 8); b[2] = (BYTE)(v >> 16); b[3] = (BYTE)(v >> 24);
}
inline void Lexi_Put16(void *p, WORD v) {
    BYTE *b = (BYTE *)p;
    b[0] = (BYTE)v; b[1] = (BYTE)(v >> 8);
}

// A bounds-checked reader over a buffer: a failed read sets the error once and yields zeros.
struct LexiCursor {
    const BYTE *data;
    size_t size;
    size_t pos;
    bool error;
};
inline LexiCursor Lexi_Cursor(const void *data, size_t size) {
    LexiCursor c = {(const BYTE *)data, size, 0, false};
    return c;
}
inline bool Lexi_Take(LexiCursor *c, size_t n, const BYTE **out) {
    if (c->error || n > c->size - c->pos) {
        c->error = true;
        *out = nullptr;
        return false;
    }
    *out = c->data + c->pos;
    c->pos += n;
    return true;
}
inline DWORD Lexi_Read32(LexiCursor *c) {
    const BYTE *p;
    return Lexi_Take(c, 4, &p) ? Lexi_Get32(p) : 0;
}
inline WORD Lexi_Read16(LexiCursor *c) {
    const BYTE *p;
    return Lexi_Take(c, 2, &p) ? Lexi_Get16(p) : 0;
}
inline BYTE Lexi_Read8(LexiCursor *c) {
    const BYTE *p;
    return Lexi_Take(c, 1, &p) ? p[0] : 0;
}

// ---- Damaged input ------------------------------------------------------------------------------
// Notes in the debugger output where damaged stored bytes were detected; returns 0.
int Lexi_NoteDamage(const char *file, int line);
#define LEXI_DAMAGED() Lexi_NoteDamage(__FILE__, __LINE__)

// ---- Files -------------------------------------------------------------------------------------
bool Lexi_ReadExact(HANDLE file, void *buf, DWORD n);
// Reads at most n bytes into buf (fewer at the end of the file); false when the read fails.
bool Lexi_ReadUpTo(HANDLE file, void *buf, DWORD n, DWORD *got);
bool Lexi_WriteExact(HANDLE file, const void *buf, DWORD n);
bool Lexi_Seek(HANDLE file, DWORD position);
DWORD Lexi_Tell(HANDLE file);
DWORD Lexi_FileSize(HANDLE file);  // 0 when it cannot be told or is 2 GB or more
// Makes the file at path hold exactly the given bytes, or leaves it as it was: the bytes go to a
// side file in the same folder, which then takes the file's place.
bool Lexi_ReplaceFile(const char *path, const void *data, DWORD size);
inline bool Lexi_HandleOk(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

// ---- Word lists --------------------------------------------------------------------------------
// Drops what the library keeps to find a list's items by identity; every change of a list other
// than an add at its end calls it.
void Lexi_ForgetListIndex(const VLWordList *list);

// ---- Items -------------------------------------------------------------------------------------
// New data item from the head and four (text, length) strings; a null text is absent.  Absent
// second and third strings repeat the headword.
VLDataItem *Lexi_MakeDataItem(const VLDataItem *head, const char *hw, size_t hwLen,
                              const char *s2, size_t s2Len, const char *s3, size_t s3Len,
                              const char *s4, size_t s4Len);
// The saved form of a data item (word-list files, clipboard blocks, deliveries between processes)
// is the same in both lanes: a 108-byte head laid out as the x86 record, with the four string
// fields holding offsets from the block's start, followed by the strings.  In memory an item is its
// record and the same strings; on x64 the record is larger, so the two forms differ by the head.
const DWORD kSavedItemHead = 108;
const DWORD kItemHeadGrowth = (DWORD)sizeof(VLDataItem) - kSavedItemHead;  // 0 on x86
// Checks one saved-form data item at the start of block (avail bytes there): its size, type and
// every string offset, length and terminator.  Returns the item's size, or 0 when damaged.
DWORD Lexi_CheckSavedItem(const BYTE *block, size_t avail);
// Memory-form copy of a saved-form item already checked by Lexi_CheckSavedItem.
VLDataItem *Lexi_LoadCheckedItem(const BYTE *block);

#endif  // LEXIDATA_INT_H
