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

// Stored records, byte for byte (the target is little-endian, so a record read into one of these
// holds its fields as they are).
#pragma pack(push, 1)
struct VLEntryHead {          // head of a text record, followed by block 1 and block 2
    BYTE kind;
    DWORD stored1, plain1, stored2, plain2;
};
struct VLIndexRec1 {          // data item, index kind 1, followed by the three strings
    WORD backDistance;
    BYTE len[3];              // stored lengths of headword, second and third string
    BYTE indexByte;
    BYTE kept6[2];
    WORD linkValue;
    BYTE kept10[2];
    DWORD indexValue;
    WORD indexValue16a, indexValue16b;
    DWORD textPos, extra;
};
struct VLIndexRec7 {          // data item, index kind 7, followed by two strings
    WORD keyValue;
    BYTE len[2];
    BYTE zero4[4];
    DWORD textPos, extra;
};
struct VLLabelRef {           // index kind 6: "%01d%02x%04x%08x" and the label text's position
    char number[15];
    DWORD textPos;
};
struct VLPageRecord {         // followed by the page name
    char number[4];
    BYTE pageByte;
    BYTE nameLen;
    BYTE zero6[2];
    DWORD value1, value2, textPos;
};
struct VLFileRecord {         // followed by two strings
    DWORD value;
    BYTE len1, len2;
};
#pragma pack(pop)
static_assert(sizeof(VLEntryHead) == kEntryHeadSize && offsetof(VLEntryHead, stored1) == 1 &&
              offsetof(VLEntryHead, plain1) == 5 && offsetof(VLEntryHead, stored2) == 9 &&
              offsetof(VLEntryHead, plain2) == 13, "entry head");
static_assert(sizeof(VLIndexRec1) == kIndexRec1Size && offsetof(VLIndexRec1, len) == 2 &&
              offsetof(VLIndexRec1, indexByte) == 5 && offsetof(VLIndexRec1, linkValue) == 8 &&
              offsetof(VLIndexRec1, indexValue) == 12 && offsetof(VLIndexRec1, indexValue16a) == 16 &&
              offsetof(VLIndexRec1, indexValue16b) == 18 && offsetof(VLIndexRec1, textPos) == 20 &&
              offsetof(VLIndexRec1, extra) == 24, "index record of kind 1");
static_assert(sizeof(VLIndexRec7) == kIndexRec7Size && offsetof(VLIndexRec7, len) == 2 &&
              offsetof(VLIndexRec7, textPos) == 8 && offsetof(VLIndexRec7, extra) == 12,
              "index record of kind 7");
static_assert(sizeof(VLLabelRef) == kLabelRefSize && offsetof(VLLabelRef, textPos) == 15, "label reference");
static_assert(sizeof(VLPageRecord) == kPageRecordSize && offsetof(VLPageRecord, pageByte) == 4 &&
              offsetof(VLPageRecord, nameLen) == 5 && offsetof(VLPageRecord, value1) == 8 &&
              offsetof(VLPageRecord, value2) == 12 && offsetof(VLPageRecord, textPos) == 16,
              "page record");
static_assert(sizeof(VLFileRecord) == kFileRecordSize && offsetof(VLFileRecord, len1) == 4, "file record");

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
