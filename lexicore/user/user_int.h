// The user-dictionary store: side files with their allocation record and blocks, the B+-tree of
// item positions with subtree counts, and the entry operations over one sub-dictionary's files.
// The layout is described in docs/formats/user-dictionary.md.  This layer needs only Win32 (no
// engine records), so that its tests can build it into their own programs.
#ifndef LEXICORE_USER_INT_H
#define LEXICORE_USER_INT_H

#include <windows.h>
#include <vector>

// ---- Side files ----------------------------------------------------------------------------------
const DWORD kLuHeaderSize = 40, kLuAllocPos = 40, kLuFirstBlock = 72, kLuPrefix = 12;
const BYTE kLuTypeText = 1, kLuTypeItems = 2, kLuTypeForward = 3, kLuTypeBackward = 4;
const BYTE kLuFreeFlag = 255;
const WORD kLuDecoderVersion = 1024;

// The allocation record (32 bytes at 40).
struct LuAlloc {
    DWORD blocks, freeBlocks, first, freeHead;
    DWORD changes;   // grows with every write of the record
    DWORD busy;      // text file: a writer is in the middle of an entry change
    DWORD zero[2];
};
static_assert(sizeof(LuAlloc) == 32, "allocation record");

struct LuFile {
    HANDLE h;
    int writable;
    int tree;        // first record is the root, set by the tree itself
    DWORD size;      // file size as this handle last saw it
    LuAlloc alloc;
};

inline DWORD LuGet32(const BYTE *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((DWORD)p[3] << 24); }
inline void LuPut32(BYTE *p, DWORD v) {
    p[0] = (BYTE)v;
    p[1] = (BYTE)(v >> 8);
    p[2] = (BYTE)(v >> 16);
    p[3] = (BYTE)(v >> 24);
}

// Block size for n bytes of content: (n / 16 + 1) * 16.
inline DWORD LuBlockSize(DWORD n) { return (n / 16 + 1) * 16; }

// Fault hook of the tests: called before every write of the store; a write fails when it answers 0
// (a test program may also end its process inside it).  Null in the engine.
extern int (*g_luWriteHook)(void);

// Creates the file anew (an existing one is deleted first) with its header and an empty
// allocation record.  value32 is the u16 at 32, kind34 and number36 the bytes at 34 and 36.
bool LuFile_Create(const char *path, DWORD fileId, BYTE type, WORD value32, BYTE kind34, BYTE number36);
// Opens and checks the header (magic, type, file id) and the allocation record against the file
// size.  Writers share reading only (one writer at a time); readers share reading and writing.
bool LuFile_Open(LuFile *f, const char *path, DWORD fileId, BYTE type, bool writable);
void LuFile_Close(LuFile *f);
// The 40-byte header of a side file; false when it cannot be read or its magic is wrong.
bool LuFile_ReadHeader(const char *path, BYTE header[40]);
// Re-reads the allocation record (and the size); false when it no longer fits the file.
bool LuFile_Reload(LuFile *f);
// Writes the allocation record, counting the change.
bool LuFile_SaveAlloc(LuFile *f);
bool LuFile_Read(LuFile *f, DWORD pos, void *out, DWORD n);
bool LuFile_Write(LuFile *f, DWORD pos, const void *data, DWORD n);
// A zero-filled block for a record of n bytes after the prefix (the block holds prefix and record:
// LuBlockSize(12 + n)), by first fit along the free list, else appended; its position,
// 0 on failure.  The allocation record is written.
DWORD LuFile_Allocate(LuFile *f, DWORD n);
// Frees the block at pos (cut off at the end of the file, or put on the free list).
bool LuFile_FreeBlock(LuFile *f, DWORD pos);
// Size and flag of the block at pos after checking that it lies inside the file.
bool LuFile_BlockAt(LuFile *f, DWORD pos, DWORD *size, BYTE *flag, BYTE *links);
// Truncates to the empty file (72 bytes, allocation record cleared apart from the change count).
bool LuFile_Reset(LuFile *f);
// Walks the blocks from 72: every block's position, size and flag.  A block that cannot be one
// ends the walk; *end is where the last whole block ends.
void LuFile_Walk(LuFile *f, std::vector<DWORD> *pos, std::vector<DWORD> *size, std::vector<BYTE> *flag,
                 DWORD *end);
// Rebuilds the free list and counts so that exactly the blocks in keep stay in use (the file is cut
// at end first; trailing free blocks are cut off).
bool LuFile_Rebuild(LuFile *f, DWORD end, const std::vector<DWORD> &pos, const std::vector<DWORD> &size,
                    const std::vector<bool> &keep);

// ---- Tree ----------------------------------------------------------------------------------------
const DWORD kLuPageWords = 12296, kLuPageBytes = kLuPageWords * 4;
const DWORD kLuMaxKeys = 4096, kLuKeep = 3072, kLuLow = 1024;
const DWORD kLuKeysAt = 6, kLuKidsAt = 4102, kLuSumsAt = 8199;
static_assert(kLuPageBytes == 49184 && kLuSumsAt + kLuMaxKeys + 1 == kLuPageWords, "tree page");

// Compares the sought key with the item record at itemPos: below 0 when the key sorts before it.
typedef int (*LuSeekProc)(void *ctx, DWORD itemPos);

struct LuPage {
    DWORD pos, level, prev, next;
    std::vector<DWORD> keys, kids, counts;  // counts: per child, not running
    DWORD Total() const;
};

struct LuTree {
    LuFile file;
    DWORD cap, keep, low;        // page fill: 4096, 3072, 1024 (tests may use smaller pages)
    DWORD cacheChanges;
    LuPage cache[5];
    int cacheUsed[5];
    unsigned tick;
};

struct LuCursor {
    DWORD leaf;                  // page position, 0 past either end
    LONG slot;
    LONG index;
    LONG count;                  // entries of the tree when placed: no walk goes further
};

void LuTree_Init(LuTree *t);
// Drops cached pages when another process changed the file.
bool LuTree_Sync(LuTree *t);
DWORD LuTree_Root(const LuTree *t);
bool LuTree_Count(LuTree *t, LONG *count);
bool LuTree_KeyAt(LuTree *t, LONG index, DWORD *itemPos);
// First index whose item the key does not sort after (upper: first whose item sorts after the key).
bool LuTree_Bound(LuTree *t, LuSeekProc seek, void *ctx, bool upper, LONG *index);
bool LuTree_InsertAt(LuTree *t, LONG index, DWORD itemPos);
bool LuTree_DeleteAt(LuTree *t, LONG index);
// Replaces the tree by one holding the sorted item positions.
bool LuTree_Build(LuTree *t, const std::vector<DWORD> &sorted);
// Leaf-chain cursor: placed on an index; steps forward (+1) or backward (-1).
bool LuTree_Seek(LuTree *t, LONG index, LuCursor *c);
bool LuTree_Step(LuTree *t, LuCursor *c, int dir);
bool LuTree_CursorKey(LuTree *t, const LuCursor *c, DWORD *itemPos);
// Checks the whole tree (levels, counts, separators, chains); the keys in order.
bool LuTree_Check(LuTree *t, LuSeekProc cmpKeys, std::vector<DWORD> *keys);

// ---- Entries of one sub-dictionary -----------------------------------------------------------------
// The order of the language driver: compare(ctx, flags, key, text) as the driver's comparer (0x8000
// in flags for the backward tree), normalise(ctx, key, out) writes at most 2 * length + 1 bytes.
struct LuOrder {
    void *ctx;
    int (*compare)(void *ctx, DWORD flags, const char *key, const char *text);
    void (*normalise)(void *ctx, const char *key, char *out);
};

// The strings and values of an item record to write.
struct LuRecord {
    const char *str[3];
    DWORD len[3];
    BYTE indexByte;
    DWORD indexValue;
    WORD value16a, value16b;
    DWORD extra;
};

// An item record as stored.
struct LuItem {
    DWORD pos;
    DWORD textPos;
    WORD backDistance;
    DWORD keyLen;
    char key[256];
};

struct LuDic {
    char base[MAX_PATH];         // path without the extension's dot and letters
    DWORD fileId;
    DWORD subNo, defNo, indexKind;
    WORD language;
    int writable;
    int hasBackward;
    LuFile text, items;
    LuTree forward, backward;
    LuOrder order;
};

// Creates the text file (unless keepText and it exists) and the sub-dictionary's item and tree
// files; mainPath is the main file (its extension is replaced).
bool LuDic_CreateFiles(const char *mainPath, DWORD fileId, DWORD subNo, DWORD defNo, DWORD indexKind,
                       WORD language, bool keepText);
// Opens the files of one sub-dictionary; repairs them first when an earlier writer stopped in the
// middle of a change (a reader only when no writer has them open).
bool LuDic_Open(LuDic *d, const char *mainPath, DWORD fileId, DWORD subNo, bool writable,
                const LuOrder *order);
void LuDic_Close(LuDic *d);
// Re-reads what another process may have changed.
bool LuDic_Sync(LuDic *d);
LuTree *LuDic_Tree(LuDic *d, bool backward);
bool LuDic_ReadItem(LuDic *d, DWORD itemPos, LuItem *out);
// The key's position (normalised by the caller; flags go to the comparer, with 0x8000 added for the
// backward tree); 1 found, 0 not found, -1 on a read failure.
int LuDic_Locate(LuDic *d, const char *key, DWORD flags, bool backward, LONG *index);
// Index of the item record in a tree, -1 when it is not there.
LONG LuDic_IndexOf(LuDic *d, bool backward, DWORD itemPos);
// Adds an entry: its forward position, -1 on failure.
LONG LuDic_Add(LuDic *d, const LuRecord *rec, const char *text, DWORD textLen, const char *second,
               DWORD secondLen);
// Changes an entry's text (and its strings when rec is given); *itemPos becomes the entry's item
// position, *index its forward position.
bool LuDic_Update(LuDic *d, DWORD *itemPos, const LuRecord *rec, const char *text, DWORD textLen,
                  const char *second, DWORD secondLen, LONG *index);
// Deletes the entries that use the text record at textPos; *index gets the first one's forward
// position.
bool LuDic_Delete(LuDic *d, DWORD textPos, LONG *index);
// Item record positions linked from the text record at textPos.
bool LuDic_TextLinks(LuDic *d, DWORD textPos, std::vector<DWORD> *items);
// Walks every side file of the set, keeps every intact entry and rebuilds the trees.
bool LuDic_Repair(LuDic *d);

#endif
