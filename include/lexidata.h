/* Lexidata: the dictionary data library.
 *
 * Items (one heap block each: a fixed head followed by the item's strings), word lists and their
 * file and clipboard form, lookup requests, the dictionary file header and its records, entry
 * records with their text-block decoding, and the catalogue's registry key paths.
 * Every operation is exported both by ordinal and by name.  Blocks handed out by this library are
 * allocated from its own heap and are freed only through its operations (VLMem_Free or the
 * record's own destroy operation); the lookup request is the one exception (process local heap). */
#ifndef LEXIDATA_H
#define LEXIDATA_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Records ------------------------------------------------------------------------------ */

/* Item type codes (VLItem.type). */
#define VLITEM_DATA  1
#define VLITEM_PAGE  3
#define VLITEM_FILE  4
#define VLITEM_LABEL 5

/* Format number of the word-list file and clipboard block. */
#define VLWORDLIST_FORMAT 0x500

/* Common head of every item (36 bytes). */
typedef struct VLItem {
    DWORD size;       /* total size of the block: head plus strings */
    DWORD type;       /* VLITEM_* */
    DWORD fileId;     /* dictionary file the item comes from */
    DWORD subDicNo;   /* sub-dictionary number inside the file (101-103: page, file, label index) */
    DWORD entryNo;    /* 0-based position of the entry in its index */
    FILETIME time;    /* local file time at which the item was stamped */
    DWORD textPos;    /* file position of the entry text record (label: of the label record) */
    DWORD extra;      /* second value taken from the index record */
} VLItem;

/* Data item (type 1): 108-byte head, then headword, second, third and fourth string.
 * An absent second or third string repeats the headword's pointer and length; an absent fourth
 * string and an absent headword have pointer 0 and length 0.  In saved form the four pointers
 * hold offsets from the start of the block instead of addresses. */
typedef struct VLDataItem {
    VLItem head;
    WORD language;        /* 36 */
    WORD reserved38;
    DWORD entryLink;      /* 40: high 16 bits back distance to the main entry, low 16 a link value */
    DWORD score;          /* 44: bits 28-31 class, 16-27 grade, 0-7 fine score */
    LONG headwordLen;     /* 48 */
    LONG secondLen;       /* 52 */
    LONG thirdLen;        /* 56 */
    char *headword;       /* 60 */
    char *second;         /* 64 */
    char *third;          /* 68 */
    DWORD indexValue72;   /* 72 */
    DWORD indexValue;     /* 76: u32 index value of the index record */
    WORD indexValue16a;   /* 80 */
    WORD indexValue16b;   /* 82 */
    BYTE indexByte;       /* 84 */
    BYTE reserved85[7];
    LONG fourthLen;       /* 92 */
    char *fourth;         /* 96 */
    DWORD reserved100;
    BYTE charset;         /* 104: charset of the sub-dictionary's text */
    BYTE reserved105[3];
} VLDataItem;

/* Label item (type 5): 60-byte head plus the label text. */
typedef struct VLLabelItem {
    VLItem head;
    LONG level;       /* 36: one decimal digit */
    LONG number1;     /* 40 */
    LONG number2;     /* 44 */
    LONG number3;     /* 48 */
    LONG textLen;     /* 52 */
    char *text;       /* 56: in the same block, or 0 */
} VLLabelItem;

/* Page item (type 3): 64-byte block; the page name is a separate block owned by the item. */
typedef struct VLPageItem {
    VLItem head;      /* entry number = page number - 1 */
    LONG nameLen;     /* 36 */
    LONG pageByte;    /* 40 */
    DWORD value1;     /* 44 */
    DWORD value2;     /* 48 */
    DWORD reserved52;
    DWORD position;   /* 56: position of the page text (same as head.textPos) */
    char *name;       /* 60 */
} VLPageItem;

/* File item (type 4): 56-byte head plus two strings. */
typedef struct VLFileItem {
    VLItem head;
    LONG firstLen;    /* 36 */
    LONG secondLen;   /* 40 */
    DWORD value;      /* 44: the first u32 of the stored record */
    char *first;      /* 48 */
    char *second;     /* 52: the first string when absent */
} VLFileItem;

/* The two text blocks of one entry (20 bytes); each block is a separate heap block. */
typedef struct VLData {
    DWORD kind;       /* the entry's kind byte */
    DWORD len1;       /* block 1: the entry text */
    DWORD len2;       /* block 2: the second text */
    char *data1;
    char *data2;
} VLData;

/* Word list (20 bytes): an ordered array of owned data-item copies. */
typedef struct VLWordList {
    LONG count;
    LONG maximum;
    LONG current;           /* 0-based */
    HWND window;            /* a translation into the list stops when this window is gone; 0 unused */
    VLDataItem **slots;     /* maximum pointers; those at and beyond count are null */
} VLWordList;

/* Lookup request: 104-byte head followed by the text and one zero byte, in one block of the
 * process's local heap. */
typedef struct VLTranParam {
    DWORD dicId;          /* 0: dictionary or group id */
    DWORD searchMode;     /* 4 */
    DWORD searchFlags;    /* 8 */
    DWORD requestKind;    /* 12: 1-7; above 4096 the request carries a language */
    LOGFONTA font;        /* 16 */
    WORD charset;         /* 76 */
    WORD wordPos;         /* 78: byte offset of the word under the cursor */
    DWORD language;       /* 80 */
    HWND sourceWindow;    /* 84 */
    DWORD pointTop;       /* 88: x in bits 0-15, line top in 16-31 */
    DWORD pointBottom;    /* 92: y in bits 0-15, line bottom in 16-31 */
    char *text;           /* 96: offset 104 of the same block, or 0 */
    LONG textLen;         /* 100: bytes without the terminator */
} VLTranParam;

/* File record of one dictionary file (772 bytes). */
typedef struct DicInfo {
    DWORD size;
    DWORD fileId;
    DWORD userFlag;        /* 1 for a user dictionary (the header's flag byte) */
    DWORD headerFlags;     /* 0x400: strings and text blocks are encoded */
    DWORD status;          /* DICSTATUS_* */
    DWORD indexDefCount;
    DWORD subDicCount;
    DWORD fontCount;
    WORD language;
    WORD decoderVersion;   /* above 1024: version 1 */
    DWORD languageCount;
    DWORD kind;            /* 1 static (dic), 2 user (rdc), 3 driver library, 4 book */
    DWORD charset;
    WORD languages[100];
    DWORD headerValue1;
    DWORD headerValue2;
    char name[256];
    char path[260];
} DicInfo;

#define DICSTATUS_USER    0x01
#define DICSTATUS_REMOTE  0x04
#define DICSTATUS_DEFAULT 0x08
#define DICSTATUS_BAD     0x10

#define DICFLAG_ENCODED 0x400

/* Sub-dictionary record (572 bytes), the unit a dictionary id names. */
typedef struct DicProperty {
    DWORD size;
    DWORD dicId;           /* file id << 8 | sub-dictionary number */
    DWORD fileId;
    DWORD indexDefNo;
    DWORD subDicNo;        /* 0-based, or 101-103 for the page, file and label indexes */
    WORD language;
    BYTE charset;
    BYTE langValue1;
    BYTE langValue2;
    BYTE reserved25[3];
    DWORD indexKind;       /* 1-7, 8 for a translator */
    DWORD defaultFlag;
    DWORD priorityPopup;
    DWORD prioritySearch;
    DWORD priorityTranslate;
    char name[256];
    DWORD colour;
    char nickname[256];
    DWORD number;
    DicInfo *fileRecord;
} DicProperty;

/* The leading fields of the engine's dictionary session, the reader context of the entry and
 * index record operations below: the open dictionary's records and its open files. */
typedef struct DicSession {
    DicInfo *fileRecord;       /* null when closed */
    DicProperty *subDic;
    BYTE langInfo[328];
    LONG openCount;
    LONG backward;
    HANDLE textFile;           /* may be 0 or INVALID_HANDLE_VALUE when absent */
    HANDLE indexFile;
    HANDLE tableFile;
    HANDLE fourthFile;
    void *window;
    FARPROC normaliser;
    FARPROC comparer;
    FARPROC scorer;
    FARPROC keySpace;
} DicSession;

/* ---- Memory: the library's own heap ------------------------------------------------------- */
/* Blocks of this heap may cross library boundaries; free them only with VLMem_Free.  Null on
 * failure; VLMem_Free(0) does nothing. */
void *WINAPI VLMem_Malloc(DWORD size);
void *WINAPI VLMem_Calloc(DWORD count, DWORD size);
void *WINAPI VLMem_Realloc(void *block, DWORD size);
void *WINAPI DLVRealloc(void *block, DWORD size);
void WINAPI VLMem_Free(void *block);
void WINAPI DLVFree(void *block);

/* ---- Data items --------------------------------------------------------------------------- */
/* New data item from a 108-byte head and up to four strings (null or empty = absent); the
 * caller owns it (VLDataItem_Destroy).  Null when memory runs out. */
VLDataItem *WINAPI VLDataItem_Create(const VLDataItem *head, const char *headword,
                                     const char *second, const char *third, const char *fourth);
/* Memory-form copy of an item in memory or saved form; null for null. */
VLDataItem *WINAPI VLDataItem_Dup(const VLDataItem *item);
/* Frees a data item (the same operation as VLMem_Free). */
void WINAPI VLDataItem_Destroy(VLDataItem *item);
/* Turn the string pointers into offsets from the block start and back, in place; return item. */
VLDataItem *WINAPI VLDataItem_PrepareSave(VLDataItem *item);
VLDataItem *WINAPI VLDataItem_PrepareLoad(VLDataItem *item);
/* Writes a saved-form copy into dest (nothing when dest is null); returns its size. */
DWORD WINAPI VLDataItem_Save(const VLDataItem *item, void *dest);
/* Memory-form copy of a saved-form block (format 1280 and above); its size through sizeOut
 * (may be null).  Null for a lower format or a block whose strings lie outside it. */
VLDataItem *WINAPI VLDataItem_Load(const void *source, DWORD format, DWORD *sizeOut);
/* Writes a saved-form copy to an open file; 1 when written whole, else 0. */
BOOL WINAPI VLDataItem_WriteSL(HANDLE file, const VLDataItem *item);
/* Reads one saved-form item from an open file (format 1280 and above); null on a short read,
 * a lower format or a damaged item. */
VLDataItem *WINAPI VLDataItem_ReadSL(HANDLE file, DWORD format);
/* Negative, zero or positive: modes 0 score, 1 headword length, 2 grade and fine score,
 * 3 language order, 4 time, 5 identity; main entries stay before their sub-entries. */
int WINAPI VLDataItem_Compare(int mode, int descending, const VLDataItem *a, const VLDataItem *b);

/* ---- Generic items (dispatch on the type code; only data items are served) ----------------- */
VLItem *WINAPI VLItem_Create(const VLItem *head, const char *headword, const char *second,
                             const char *third);
VLItem *WINAPI VLItem_Dup(const VLItem *item);
/* 0 after freeing a data item; for other types nothing is freed and the result is type - 1. */
int WINAPI VLItem_Destroy(VLItem *item);
int WINAPI VLItem_Read(DicSession *session);
int WINAPI VLItem_Write(DicSession *session, DWORD flags, VLItem *item);
int WINAPI VLItem_GetSize(DicSession *session, VLItem *item);
/* Stamps the item: local time, file id and sub-dictionary number of the session, entry number. */
void WINAPI VLItem_SetCommonInfo(DicSession *session, DWORD entryNo, VLItem *item);

/* ---- Label, page and file items ----------------------------------------------------------- */
VLLabelItem *WINAPI VLLabelItem_Create(const char *text);
VLLabelItem *WINAPI VLLabelItem_Dup(const VLLabelItem *item);
void WINAPI VLLabelItem_Destroy(VLLabelItem *item);
VLPageItem *WINAPI VLPageItem_Create(void);
/* Frees the page name block, then the item; null is ignored. */
void WINAPI VLPageItem_Destroy(VLPageItem *item);
/* New file item from a 56-byte head and two strings (the second points at the first when
 * absent). */
VLFileItem *WINAPI VLFileItem_Create(const VLFileItem *head, const char *first, const char *second);
VLFileItem *WINAPI VLFileItem_Dup(const VLFileItem *item);
void WINAPI VLFileItem_Destroy(VLFileItem *item);

/* ---- Entry text pair ---------------------------------------------------------------------- */
/* New record with copies of the two blocks (a zero length leaves the block absent). */
VLData *WINAPI VLData_Create(DWORD kind, DWORD len1, const void *data1, DWORD len2,
                             const void *data2);
/* Frees both blocks and the record; null is ignored. */
void WINAPI VLData_Destroy(VLData *data);

/* ---- Word lists --------------------------------------------------------------------------- */
/* New empty list of maximum slots; destroy with VLWordList_Destroy. */
VLWordList *WINAPI VLWordList_Create(LONG maximum);
void WINAPI VLWordList_Destroy(VLWordList *list);
/* 1-based position of the item (a copy is appended, or a held item of the same identity keeps
 * the lower score); 0 when the list is full or null. */
LONG WINAPI VLWordList_Add(VLWordList *list, const VLDataItem *item);
/* Position used, or -1: position -1 or beyond the count appends; else replaces. */
LONG WINAPI VLWordList_AddEx(VLWordList *list, LONG position, const VLDataItem *item);
/* Inserts copies of the source's items at the position; 1, or 0 beyond the count. */
BOOL WINAPI VLWordList_Insert(VLWordList *list, LONG position, const VLWordList *source);
BOOL WINAPI VLWordList_Delete(VLWordList *list, LONG position);
/* Destroys every item; returns the count before. */
LONG WINAPI VLWordList_DeleteAllItems(VLWordList *list);
LONG WINAPI VLWordList_Count(const VLWordList *list);
/* The held item (not a copy), or null outside 0..count-1. */
VLDataItem *WINAPI VLWordList_GetItem(const VLWordList *list, LONG position);
VLDataItem *WINAPI VLWordList_GetCurItem(const VLWordList *list);
BOOL WINAPI VLWordList_SetCurItem(VLWordList *list, LONG position);
void WINAPI VLWordList_SetMaxNum(VLWordList *list, LONG maximum);
void WINAPI VLWordList_Sort(VLWordList *list, int mode, int descending);
/* Word-list file: 1, or 0 on a null list, a file that cannot be created or opened, or (load) a
 * damaged file; a failed load leaves the list as it was. */
BOOL WINAPI VLWordList_Save(const VLWordList *list, const char *fileName);
BOOL WINAPI VLWordList_Load(VLWordList *list, const char *fileName);
/* Clipboard block of the registered format; the clipboard owns the block after Copy. */
BOOL WINAPI VLWordList_Copy(const VLWordList *list, HWND window);
BOOL WINAPI VLWordList_Paste(VLWordList *list, HWND window);
/* Appends one item to a word-list file, counting it in the header; 0 when the file cannot be
 * opened. */
BOOL WINAPI VLWordList_AddItemToFile(const char *fileName, const VLDataItem *item);
/* The registered clipboard format "VELOMIRA_DATAITEM". */
UINT WINAPI DLVGetClipbordFormat(void);

/* ---- Lookup request ----------------------------------------------------------------------- */
/* New request in the process's local heap (free with VLTranParam_Destroy or LocalFree); null
 * for a null text or a length of 0; a negative length takes the text up to its terminator. */
VLTranParam *WINAPI VLTranParam_Create(DWORD dicId, DWORD searchMode, DWORD searchFlags,
                                       DWORD requestKind, const LOGFONTA *font, WORD charset,
                                       WORD wordPos, DWORD language, HWND sourceWindow,
                                       DWORD pointTop, DWORD pointBottom, const char *text,
                                       LONG textLen);
void WINAPI VLTranParam_Destroy(VLTranParam *request);
VLTranParam *WINAPI VLTranParam_Dup(const VLTranParam *request);

/* ---- Dictionary file: header, font area, stored index records ------------------------------- */

/* One index record as handed to the engine (268 bytes). */
typedef struct VLIndexRecord {
    DWORD value;      /* u16 at byte 0 of index kinds 1, 2, 3 and 7; 0 for kinds 4, 5, 6 */
    DWORD keyLen;
    DWORD reserved;
    char key[256];    /* zero-terminated, at most 255 bytes */
} VLIndexRecord;

/* Reads the 384-byte header at the start of the file (or of path when file is null) into the
 * zero-filled record; 0 with status DICSTATUS_BAD for a short header or a wrong magic.  Status
 * DICSTATUS_REMOTE for a network path, DICSTATUS_USER for a non-zero flag byte. */
BOOL WINAPI DLVReadDicHeader(HANDLE file, const char *path, DicInfo *record);
/* Writes the header from the record at offset 0 of file, or of the existing file path when file
 * is null; 1 when all 384 bytes were written. */
BOOL WINAPI DLVWriteDicHeader(HANDLE file, const char *path, const DicInfo *record);
/* Creates (replaces) the file and writes the header; 0 when it cannot be created. */
BOOL WINAPI DLVCreateDic(const char *path, const DicInfo *record);
/* A read-only view of a whole file, bound to the file's handle on the calling thread: while it is
 * bound, this library's readers (index records, items, entry texts) take the handle's bytes from
 * the view, starting at position, which they advance as a read of the file would, instead of
 * reading the file.  Bindings nest; DLVUnbindView takes off the innermost one (outer is the
 * library's own).  The caller keeps the record and the view alive while it is bound. */
typedef struct DLVFileView {
    HANDLE file;
    const BYTE *bytes;
    DWORD size;
    DWORD position;
    struct DLVFileView *outer;
} DLVFileView;
void WINAPI DLVBindView(DLVFileView *view);
void WINAPI DLVUnbindView(DLVFileView *view);
/* The record's font records (fontCount x 32 bytes, at most 16) read from the font area; null for
 * a path not ending in dic or rdc, no fonts, or a file that cannot be read.  Free with
 * DLVDestroyFontInfo. */
void *WINAPI DLVReadFontInfo(const DicInfo *record);
void WINAPI DLVDestroyFontInfo(void *fonts);
/* Clears the 512-byte font area and writes the fonts (at most 16 records); 0 when the file
 * cannot be opened or written. */
BOOL WINAPI DLVWriteFontInfo(HANDLE file, const DicInfo *record, const void *fonts);
/* Reads the index record of the session's index kind at the index file's position; 0 for an
 * unknown kind, an empty key, a short read or a damaged encoded key. */
BOOL WINAPI DLVGetIndex(DicSession *session, VLIndexRecord *out);
/* Reads a 19-byte label reference at the file's position and the label text it points to
 * (decoded with the version of HNEncodeSetVersion when decode is non-zero); null when damaged. */
VLLabelItem *WINAPI DLVLabelItem_Read(HANDLE file, BOOL decode);
/* Writes the item's 19-byte label reference at the index file's position; 1 when written. */
BOOL WINAPI VLLabelItem_Write(DicSession *session, DWORD flags, const VLLabelItem *item);
DWORD WINAPI VLLabelItem_GetSize(void);
/* Reads a 20-byte page record and its name (or a copy of defaultName when it has none) at the
 * file's position; null on a short read. */
VLPageItem *WINAPI DLVPageItem_Read(HANDLE file, const char *defaultName, BOOL decode);
/* Reads a file record and its strings at the index file's position; null when its first string
 * is empty or the record is cut off. */
VLFileItem *WINAPI VLFileItem_Read(DicSession *session);
/* Flag 1 writes the value (the item's text position) and the second length, flag 2 the second
 * string; other parts are skipped over.  1 when written. */
BOOL WINAPI VLFileItem_Write(DicSession *session, DWORD flags, const VLFileItem *item);
DWORD WINAPI VLFileItem_GetSize(const VLFileItem *item);

/* ---- Entry records and text blocks -------------------------------------------------------- */
/* Stores the decoder version for the readers that take no dictionary; 1 for version 1 (above
 * 1024), else 0. */
int WINAPI HNEncodeSetVersion(DWORD version);
/* Reads the entry text record at the position (the session's text file, else the record's own
 * file) into data, replacing its blocks; line ends of block 1 become CR.  0, with data unchanged,
 * when the file cannot be opened or the record is cut off or damaged. */
BOOL WINAPI DLVData_Read(DicSession *session, const DicInfo *record, DWORD position, VLData *data);
/* Writes an entry text record (plain) at the file's position, or at the position with flag
 * 0x1000000; 1 when at least one block was written. */
BOOL WINAPI DLVData_Write(const DicInfo *record, HANDLE file, DWORD flags, DWORD position,
                          const VLData *data);
/* Data item from the index record at the index file's position (index kinds 1 and 7); null for
 * an empty headword, another kind, or a cut-off or damaged record.  The caller stamps it with
 * VLItem_SetCommonInfo. */
VLDataItem *WINAPI VLDataItem_Read(DicSession *session);
/* Reads the index record at the index file's position as VLDataItem_Read does, without making the
 * item: the headword, decoded and zero-terminated, into headword (VLDATAITEM_HEADWORD_ROOM bytes)
 * and the item's entry link through entryLink.  1 when VLDataItem_Read would make an item of the
 * record (memory allowing); 0 when it would not, and for a record with a string that does not
 * decode within that room (VLDataItem_Read may still read it). */
#define VLDATAITEM_HEADWORD_ROOM 512
BOOL WINAPI DLVDataItem_ReadHeadword(DicSession *session, char *headword, DWORD *entryLink);
/* Writes the parts of the item's index record that flags select (8 fixed record, 1 headword,
 * 2 second, 4 third string); 0 for index kinds other than 1 and 7. */
BOOL WINAPI DLVDataItem_Write(DicSession *session, DWORD flags, const VLDataItem *item);
DWORD WINAPI DLVDataItem_GetSize(DicSession *session, const VLDataItem *item);

/* ---- Catalogue key paths ------------------------------------------------------------------ */
/* Each fills the caller's 260-byte buffer and returns the length; a path that would not fit
 * gives 0 and an empty buffer.  The root is ROOT_DIC_KEY of section Registry in vldicsdk.ini
 * (Windows folder) when set, else SOFTWARE\Halvenstone\Velosuite\4.0\Dictionary. */
int WINAPI Lexidata_GetDicRootKey(char *buffer);
int WINAPI Lexidata_GetDicKey(DWORD fileId, char *buffer);
/* number counts from 1. */
int WINAPI Lexidata_GetDicIndexKey(DWORD fileId, int number, char *buffer);
/* Registers a dictionary: FileName and Name below its file key, LangID, NickName and Color below
 * each of the count sub-dictionary keys; 1 when every value was written. */
BOOL WINAPI Lexidata_AddDicToRegistry(const DicInfo *record, const DicProperty *subs, int count);

#ifdef __cplusplus
}
#endif

#endif /* LEXIDATA_H */
