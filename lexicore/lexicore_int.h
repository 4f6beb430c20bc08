// Declarations shared by the files of the dictionary engine.
#ifndef LEXICORE_INT_H
#define LEXICORE_INT_H

#include "recordcheck.h"
#include <stddef.h>
#include <string.h>
#include "lexicore.h"

// ---- Layout checks of the records the engine hands out -----------------------------------------
RECORD_CHECK_X86(sizeof(void *) == 4, "records hold 32-bit pointers");
static_assert(sizeof(DicInfo) == 772 && offsetof(DicInfo, status) == 16 &&
              offsetof(DicInfo, language) == 32 && offsetof(DicInfo, kind) == 40 &&
              offsetof(DicInfo, languages) == 48 && offsetof(DicInfo, headerValue1) == 248 &&
              offsetof(DicInfo, name) == 256 && offsetof(DicInfo, path) == 512, "DicInfo");
RECORD_CHECK_X86(sizeof(DicProperty) == 572 && offsetof(DicProperty, language) == 20 &&
              offsetof(DicProperty, charset) == 22 && offsetof(DicProperty, langValue2) == 24 &&
              offsetof(DicProperty, indexKind) == 28 && offsetof(DicProperty, defaultFlag) == 32 &&
              offsetof(DicProperty, priorityPopup) == 36 && offsetof(DicProperty, name) == 48 &&
              offsetof(DicProperty, colour) == 304 && offsetof(DicProperty, nickname) == 308 &&
              offsetof(DicProperty, number) == 564 && offsetof(DicProperty, fileRecord) == 568,
              "DicProperty");
RECORD_CHECK_X86(sizeof(DicQuery) == 44, "DicQuery");
RECORD_CHECK_X86(sizeof(LexicoreCondition) == 284, "full-text condition");

// ---- Engine records ------------------------------------------------------------------------------

// File record of the catalogue: the public DicInfo, then the kind's own data.  A static file keeps
// the two values at offset 896 (780 bytes in all); a driver dictionary the library and its entry
// points (796 bytes, the record handed to the driver's DDGetInfo).
struct LcDriverLib {
    HMODULE library;
    FARPROC ddOpen, ddClose, ddTranslate, ddGetData, ddGetInfo;
};
struct LcFile {
    DicInfo info;
    union {
        DWORD kept[2];
        LcDriverLib dd;
    };
    // Engine bookkeeping after the shared part.
    int removed;     // dropped from the catalogue, kept alive until Term for open sessions
};
RECORD_CHECK_X86(offsetof(LcFile, kept) == 772 && offsetof(LcFile, dd) == 772 &&
              offsetof(LcFile, removed) == 796, "engine file record");

// One index descriptor of a static sub-dictionary: table offset, base position, end offset.
struct LcIndexDesc {
    DWORD table, base, end;
};

// Sub-dictionary record: the public DicProperty, then the reader's fields.
struct LcSub {
    DicProperty prop;
    DWORD defValue[2];        // the index definition's two values
    LcIndexDesc forward, backward;
};
RECORD_CHECK_X86(offsetof(LcSub, defValue) == 572 && sizeof(LcSub) == 604, "static sub record");

inline LcFile *Lc_FileOf(const DicProperty *p) { return (LcFile *)p->fileRecord; }

// ---- Catalogue -------------------------------------------------------------------------------------
struct LcState {
    DWORD flags;
    HINSTANCE module;         // the caller's module (relative file names), or null
    HINSTANCE self;           // this library
    char className[300];
    HWND window;
    HANDLE event;
    HWND notifyWindow;
    UINT notifyMessage;
    BOOL notifyEnabled;
    int started;
    int loaded;
};
extern LcState g_lc;

// Locks nothing: the catalogue belongs to the thread that started the engine.
LcFile *Lc_FindFile(DWORD fileId);
LcSub *Lc_FindSub(DWORD dicId);
int Lc_FileCount();
LcFile *Lc_FileAt(int i);
int Lc_SubCount();
LcSub *Lc_SubAt(int i);
// Loads (or re-loads) one file key into the catalogue; 1 when the file key exists.
int Lc_LoadFileKey(DWORD fileId);
// Drops the file and its sub-dictionaries (records kept alive until Lc_FreeCatalogue).
void Lc_DropFile(DWORD fileId, int releaseDrivers);
int Lc_LoadCatalogue();
void Lc_FreeCatalogue();
void Lc_ApplyDefault(DWORD newId, DWORD previousId);
void Lc_ApplyProps(DWORD dicId, DWORD mask);
void Lc_ApplyReload(DWORD fileId);
// Full path of a catalogue FileName value (relative names with a backslash are taken from the
// program's folder).
void Lc_ResolvePath(const char *name, char *out);
// The engine's own folder (this library's), with no trailing backslash.
void Lc_EngineFolder(char *out);

// ---- Notices ---------------------------------------------------------------------------------------
int Lc_CreateWindow();
void Lc_DestroyWindow();
// Resets the event, and sends a catalogue notice to every window of this process's class.
void Lc_BeginChange();
void Lc_EndChange();
void Lc_Broadcast(UINT message, WPARAM wParam, LPARAM lParam);
// 1 when a window of this process's class exists in another process.
int Lc_OtherWindowsExist();

// ---- Readers: one table of operations per dictionary kind -----------------------------------------
// A test of a main entry's headword that a walk makes before it makes the entry's item, where its
// reader can read the headword alone: LEXICORE_ITEM_SKIP or _FULL when the item procedure would
// answer so for the item (which is then not made), LC_HEAD_TAKE when the item is to be made and
// handed to the procedure.  user is the procedure's.
const int LC_HEAD_TAKE = -1;
typedef int (*LcHeadTest)(const char *headword, void *user);

struct LcKindOps {
    int (*open)(DicSession *s);
    void (*close)(DicSession *s);
    int (*selectIndex)(DicSession *s, int backward);
    int (*search)(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, void *user);
    int (*locate)(DicSession *s, const char *key, DWORD flags, LONG *position);
    VLDataItem *(*getItem)(DicSession *s, LONG position);
    LONG (*entryCount)(LcSub *sub, int backward);
    // Optional (null: the engine's own handling): the entry text of an item, and media export.
    BOOL (*readText)(DicSession *s, LcFile *file, const VLDataItem *item, VLData *data);
    BOOL (*exportMedia)(LcFile *file, DWORD what, const char *reference, const char *outputPath);
    // Optional (null: getItem one by one): items first .. first + count - 1 into out (null where one
    // cannot be read), in one operation.
    void (*getItems)(DicSession *s, LONG first, LONG count, VLDataItem **out);
    // Optional (null: search, making every item): search with a headword test.
    int (*searchTested)(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, LcHeadTest test,
                        void *user);
};
const LcKindOps *Lc_OpsOf(const DicInfo *info);

// Static reader.
int LcStatic_LoadFile(LcFile *file, const char *path, LcSub ***subsOut);
extern const LcKindOps g_lcStaticOps;
// Reads one u32 of the file at pos; false on a short read.
bool LcStatic_ReadU32(HANDLE file, DWORD pos, DWORD *value);

// Driver dictionaries.
int LcDriver_LoadFile(LcFile *file, const char *path, LcSub ***subsOut);
void LcDriver_Release(LcFile *file);
extern const LcKindOps g_lcDriverOps;

// Electronic books.
int LcBook_LoadFile(LcFile *file, const char *path, LcSub ***subsOut);
extern const LcKindOps g_lcBookOps;

// Items first .. first + count - 1 of the session's index in use into out (null where one cannot be
// read), in one operation where the kind has one.
void Lc_GetItems(DicSession *session, LONG first, LONG count, VLDataItem **out);

// Opens a session on a sub-dictionary without waiting for the catalogue (the engine's own reads).
int Lc_OpenInternal(DicSession *s, LcSub *sub);
void Lc_CloseInternal(DicSession *s);

// Sessions use the walk of the open dictionary.
int Lc_Compare(DicSession *s, DWORD flags, const char *key, const char *text, int length);
DWORD Lc_Score(DicSession *s, DWORD flags, int value, const char *key, int keyLen,
               const char *text, int textLen);

// One walk of a dictionary kind over its entries in one direction (step +1 or -1) from start,
// handing each to proc; sets *anyAdded when proc took one.  Returns 0 at the end of the entries,
// else what ended the walk (LEXICORE_ITEM_STOP, _FULL or _ENDPASS).  A walk that can read a
// headword alone asks test (when not null) before it makes a main entry's item.
typedef int (*LcWalkProc)(DicSession *s, bool backward, LONG start, int step, LexicoreItemProc proc,
                          LcHeadTest test, void *user, int *anyAdded);
// The search every kind shares, from the start position its caller found: one walk forward, or
// for a similarity search first a walk back while the headword stays the key's, then forward.
// Returns 1 when an entry was taken, 6 when a walk ended its pass, else 0.  The backward walk of
// a similarity search hands its entries to a guard of its own, not to test.
int Lc_SearchWalks(DicSession *s, const char *key, DWORD flags, bool backward, LONG start, LcWalkProc walk,
                   LexicoreItemProc proc, LcHeadTest test, void *user);
// Lexicore_Search with a headword test for the kinds that take one (test may be null).
int Lc_Search(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, LcHeadTest test,
              void *user);

// New zero-filled block of the process heap, and its release.
void *Lc_Alloc(size_t n);
void Lc_Free(void *p);
// A read-only view of the whole of an open file (not empty, under 2 GiB), or null; the view keeps
// its mapping and ends with UnmapViewOfFile.
const BYTE *Lc_MapWhole(HANDLE file);
// Copies at most cap - 1 bytes and terminates.
void Lc_Copy(char *dst, const char *src, size_t cap);

// Drops the folded entry texts and fold tables full-text queries keep (the engine ends).
void LcFullText_Forget();

// Debugger line with the source position of a corrupt-input or failure path.
void Lc_Trace(const char *what, int line);
#define LC_TRACE(what) Lc_Trace(what, __LINE__)

#endif
