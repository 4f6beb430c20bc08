// Layout of the dictionary file, shared by the readers and writers of the library.
#ifndef LEXIDATA_DICFILE_INT_H
#define LEXIDATA_DICFILE_INT_H

#include "lexidata_int.h"

static const char kDicMagic[] = "VLDICV40";

// File areas.
const DWORD kDicHeaderSize = 384;
const DWORD kFontAreaPos = 384;
const DWORD kFontAreaSize = 512;
const DWORD kFontRecordSize = 32;
const DWORD kFontMax = kFontAreaSize / kFontRecordSize;  // 16
const DWORD kKeptValuesPos = 896;
const DWORD kIndexDefsPos = 912;
const DWORD kIndexDefSize = 32;
const DWORD kSubDicRecordSize = 40;
static_assert(kFontAreaPos + kFontAreaSize == kKeptValuesPos && kKeptValuesPos + 16 == kIndexDefsPos,
              "file areas");

// Header fields (offsets; many are unaligned).
const DWORD kHdrFileId = 12, kHdrFlagByte = 16, kHdrFlags = 17, kHdrIndexDefs = 21,
            kHdrSubDics = 22, kHdrFonts = 23, kHdrLanguage = 24, kHdrDecoder = 26,
            kHdrLangCount = 28, kHdrKind = 29, kHdrCharset = 30, kHdrLangList = 31,
            kHdrValue1 = 231, kHdrValue2 = 235, kHdrReserved = 239;
static_assert(kHdrLangList + 200 == kHdrValue1 && kHdrReserved + 145 == kDicHeaderSize,
              "header fields");

// Stored records.
const DWORD kEntryHeadSize = 17;     // kind, stored/plain length of block 1, of block 2
const DWORD kIndexRec1Size = 28;     // data item, index kind 1
const DWORD kIndexRec7Size = 16;     // data item, index kind 7
const DWORD kIndexRecKeySize = 12;   // index kinds 2 and 3
const DWORD kLabelRefSize = 19;      // index kinds 4, 5, 6
const DWORD kPageRecordSize = 20;
const DWORD kFileRecordSize = 6;

#pragma pack(push, 1)
struct VLEntryHead {
    BYTE kind;
    DWORD stored1, plain1, stored2, plain2;
};
#pragma pack(pop)
static_assert(sizeof(VLEntryHead) == kEntryHeadSize && offsetof(VLEntryHead, stored2) == 9,
              "entry head");

void Lexi_HeaderToRecord(const BYTE *header, DicInfo *record);
void Lexi_RecordToHeader(const DicInfo *record, BYTE *header);

#endif

// Reads the text record (17-byte head, block 1, block 2) at the position into out: kind, blocks
// (decoded when encoded) and their lengths; an absent block has pointer and length 0.  Blocks of
// length 0 or of kLexiBlockLimit and more are absent.  Returns false, with out untouched, when
// the head is short or a block is cut off or damaged.  withBlock2 false leaves block 2 unread.
bool Lexi_ReadTextRecord(HANDLE file, DWORD position, bool encoded, int version, bool withBlock2,
                         VLData *out);
// Reads n bytes at the current position into a new zero-terminated block; decoded (at most cap
// plain bytes) when encoded.  Null on a short read or a damaged string.
char *Lexi_ReadString(HANDLE file, DWORD n, bool encoded, int version, size_t cap, size_t *lenOut);
