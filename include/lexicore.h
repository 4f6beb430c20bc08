/* Lexicore: the dictionary engine.
 *
 * Keeps, in every process that starts it, the catalogue of installed dictionaries (one DicInfo per
 * dictionary file, one DicProperty per sub-dictionary; the unit a dictionary id names), loaded from
 * the catalogue tree of the settings layer and from the files' headers, and keeps every process's
 * copy in step: a change is written to the settings first and then sent as a notice (VLM_DICAPI_*)
 * to the hidden notification window of every process started under the same client name (window
 * class "<client>VLV8DICAPICLASS"); the named event "VLV5DICAPIEVENT" is reset while a change is in
 * progress.  Sessions (DicSession) open one dictionary; queries (DicQuery) search it into a
 * VLWordList.  Exported by ordinal only.
 *
 * The catalogue and sessions belong to the thread that started the engine (the one that pumps the
 * notification window's messages).  Records handed out are copies unless stated otherwise. */
#ifndef LEXICORE_H
#define LEXICORE_H

#include <windows.h>
#include "lexidata.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Notices of the notification window (wParam, lParam) --------------------------------------- */
#define VLM_DICAPI_FAILED          0x8000 /* 0, 0: an add or a move failed */
#define VLM_DICAPI_ADDED           0x8001 /* file id, 0 */
#define VLM_DICAPI_REMOVED         0x8002 /* file id, 0 */
#define VLM_DICAPI_RELOADED        0x8003 /* file id, 0: FileName changed */
#define VLM_DICAPI_PROPS_CHANGED   0x8004 /* dictionary id, LEXICORE_PROP_* mask */
#define VLM_DICAPI_DEFAULT_CHANGED 0x8005 /* new default id, previous default id */
#define VLM_DICAPI_ENTRY_ADDED     0x8007 /* dictionary id, entry position: change kind 1 */
#define VLM_DICAPI_ENTRY_UPDATED   0x8008 /* dictionary id, entry number: change kind 2 */
#define VLM_DICAPI_ENTRY_DELETED   0x8009 /* dictionary id, entry number: change kind 3 */

/* Property mask bits of Lexicore_SetDicProperty and VLM_DICAPI_PROPS_CHANGED. */
#define LEXICORE_PROP_NAME      0x01
#define LEXICORE_PROP_NICKNAME  0x02
#define LEXICORE_PROP_FILENAME  0x04
#define LEXICORE_PROP_COLOR     0x08
#define LEXICORE_PROP_POPUP     0x10
#define LEXICORE_PROP_SEARCH    0x20
#define LEXICORE_PROP_TRANSLATE 0x40
#define LEXICORE_PROP_USERDESC  0x80

/* Flag of Lexicore_Init: admit driver libraries (dll) into the catalogue. */
#define LEXICORE_INIT_DRIVERS 4

/* Answers of item procedures (the walk goes on or ends by them). */
#define LEXICORE_ITEM_SKIP    0 /* not taken */
#define LEXICORE_ITEM_ADDED   1 /* taken; its sub-entries follow */
#define LEXICORE_ITEM_STOP    2 /* end the whole walk */
#define LEXICORE_ITEM_FULL    4 /* end: list full or past the key */
#define LEXICORE_ITEM_ENDPASS 6 /* end the first pass of a similarity walk */

/* Search flags. */
#define LEXICORE_SF_NOWILD     0x80       /* the key's wildcard characters are plain */
#define LEXICORE_SF_BACKINDEX  0x8000     /* compare over the backward index (from the end) */
#define LEXICORE_SF_BOOK       0x200
#define LEXICORE_SF_FIRST      0x1000000  /* start at the first entry */
#define LEXICORE_SF_LAST       0x2000000  /* start at the last entry */
#define LEXICORE_SF_SIMILAR    0x4000000  /* similarity walk (backward steps) */
#define LEXICORE_SF_FORWARD    0x8000000
#define LEXICORE_SF_BACKWARD   0x10000000

/* Query modes of Lexicore_RunQuery. */
#define LEXICORE_MODE_EXACT  1
#define LEXICORE_MODE_PREFIX 2
#define LEXICORE_MODE_SUFFIX 3
#define LEXICORE_MODE_NEAR   4

/* Callbacks.  Enumerations: return 0 to stop.  Item procedures get an item that stays the
 * caller's (the reader's or the driver's): copy it to keep it; flag 1 for a main entry, 0 for a
 * sub-entry; they answer LEXICORE_ITEM_*. */
typedef int(CALLBACK *LexicoreEnumProc)(DicProperty *record, LPARAM user);
typedef int(CALLBACK *LexicoreItemProc)(VLDataItem *item, int flag, void *user);
typedef int(CALLBACK *LexicoreLabelProc)(VLLabelItem *label, void *user);
/* Progress of a full-text query: the item just examined and the per mille done; 0 stops. */
typedef int(CALLBACK *LexicoreProgressProc)(VLDataItem *item, int perMille, void *user);

/* One search request bound to a session and a result list (44 bytes; zero-filled at creation). */
typedef struct DicQuery {
    DicSession *session;
    char *key;              /* owned copy */
    LONG keyLen;
    DWORD extra;            /* the caller's value, handed to the scorer */
    DWORD flags;            /* search flags of the running query */
    DWORD baseScore;
    DWORD runningScore;
    VLWordList *list;       /* not owned */
    void *pattern;          /* compiled wildcard pattern while a wildcard query runs */
    char *fixed;            /* the wildcard query's fixed part */
    LONG fixedLen;
} DicQuery;

/* One condition of a full-text query (284 bytes). */
typedef struct LexicoreCondition {
    DWORD kind;             /* 1 headword, 8 entry text, 16 headword length, 32, 64, 128, 256 values */
    char text[256];
    DWORD textLen;
    DWORD value;
    DWORD negate;
    void *pattern;          /* filled by the query */
    DWORD reserved[2];
} LexicoreCondition;

/* Forwarded entry change (lParam of the notify window's message; valid during the call). */
typedef struct LexicoreChange {
    DWORD kind;             /* 1 added, 2 updated, 3 deleted */
    WPARAM wParam;          /* dictionary id */
    LPARAM value;           /* entry position or number */
} LexicoreChange;

/* ---- Start and stop ---------------------------------------------------------------------------- */
/* Starts the engine in this process under the client name (at most 260 bytes; the notification
 * window's class is the name followed by VLV8DICAPICLASS): opens or creates the named event,
 * starts the language manager, copies the machine's catalogue tree to the user's (registry mode),
 * loads the catalogue and creates the notification window.  1, or 0 with nothing started.  A second
 * call while started answers 1. */
BOOL WINAPI Lexicore_Init(const char *client, DWORD flags);
/* The same, keeping module to resolve relative catalogue file names (else the program's folder). */
BOOL WINAPI Lexicore_InitEx(HINSTANCE module, const char *client, DWORD flags);
/* Destroys the window, closes the event, frees the catalogue (records handed out before become
 * invalid) and stops the language manager. */
void WINAPI Lexicore_Term(void);

/* ---- Catalogue ---------------------------------------------------------------------------------- */
/* Calls back with each sub-dictionary record (the engine's, valid during the call) in id order
 * until the callback answers 0; the number of calls. */
int WINAPI Lexicore_EnumDics(LexicoreEnumProc callback, LPARAM user);
/* The same for the records of one index kind (1 dictionaries, 8 translators); the number matched. */
int WINAPI Lexicore_EnumDicsByKind(DWORD indexKind, LexicoreEnumProc callback, LPARAM user);
int WINAPI Lexicore_GetDicFileCount(void);
int WINAPI Lexicore_GetDicCount(void);
/* 1 with a 772-byte copy of the file record in buffer, 0 for an unknown file id. */
BOOL WINAPI Lexicore_GetDicInfo(DWORD fileId, DicInfo *buffer);
/* Copies the file's name into buffer (256 bytes); its length, 0 for an unknown file id. */
int WINAPI Lexicore_GetDicName(DWORD fileId, char *buffer);
/* 1 with the record's fields from the dictionary id to the nickname copied into buffer; the
 * buffer's size and default flag stay as they were.  0 for an unknown id. */
BOOL WINAPI Lexicore_GetDicProperty(DWORD dicId, DicProperty *buffer);
/* Writes the masked values (LEXICORE_PROP_*) of the record to the catalogue tree and announces
 * them; 1 (also for an unknown id, which changes nothing). */
BOOL WINAPI Lexicore_SetDicProperty(DWORD dicId, DWORD mask, const DicProperty *record);
/* Makes the dictionary the default of its charset; the previous default (0 when none). */
DWORD WINAPI Lexicore_SetDefaultDic(DWORD dicId);
/* The default dictionary id stored for the charset, 0 when none. */
DWORD WINAPI Lexicore_GetDefaultDic(DWORD charset);

/* Adds a copy of a dictionary's files (every file named like the source, any extension) to folder
 * (null or empty: the engine's folder) under "VV4D%04x.<ext>" with the first free user id, and
 * registers it.  The copies show a progress dialog with caption and message (may be null).  1, or
 * 0 with every copy removed. */
BOOL WINAPI Lexicore_AddDic(const char *source, const char *folder, const char *caption,
                            const char *message);
/* Removes the dictionary from the catalogue and, when deleteFiles, its files: a static file; a
 * user dictionary's files of its name with the extensions rdc, rdt, rxa, rna, rra; a book's folder
 * (never a drive root, the program's or the engine's folder, nor a folder that holds another
 * catalogued dictionary).  1, or 0 for an unknown file id. */
BOOL WINAPI Lexicore_RemoveDic(DWORD fileId, BOOL deleteFiles);
/* Moves every file named like the dictionary's file into folder: all are copied first, then the
 * catalogue's FileName is switched, then the sources are deleted.  On any failure the copies are
 * deleted, the sources and the catalogue stay, VLM_DICAPI_FAILED is announced and 0 returned. */
BOOL WINAPI Lexicore_MoveDic(DWORD fileId, const char *folder, const char *caption,
                             const char *message);
/* Registers a new user dictionary with the first free user id (0xF000 to 0xFFF0) and writes its
 * main file's header at path; the new file id, or 0 (no free id, file or settings not writable). */
DWORD WINAPI Lexicore_CreateUserDic(const char *path, const char *name, const char *nickname,
                                    DWORD value, DWORD indexKind, DWORD firstLanguage,
                                    DWORD secondLanguage);

/* ---- Entries of user dictionaries (index kinds 1 and 7) ------------------------------------------
 * Each call opens its own writer on the dictionary and closes it before returning; a change that
 * fails midway is undone by the store's repair, never leaving the files unreadable.  text is the
 * entry's body (null: empty); second its second text, the attached files ("path;" each) or an
 * imported third string (null: none).  The item's strings are the headword, the reading and the
 * third string (each at most 255 bytes). */
/* Adds the entry: its position in the forward index (0 and above), or -1 for every failure
 * (unknown id, not a user dictionary, empty or overlong headword, a write that failed).  Announces
 * VLM_DICAPI_ENTRY_ADDED (dictionary id, position). */
LONG WINAPI Lexicore_AddUserEntry(DWORD dicId, const VLDataItem *item, const char *text,
                                  const char *second);
/* Replaces the text of the entry (an item read from the dictionary: its file id, sub-dictionary
 * number and text position name it) and, when record is given, its strings.  The new text is
 * written before the old one is freed.  1, or 0.  Announces VLM_DICAPI_ENTRY_UPDATED (dictionary
 * id, new entry number). */
BOOL WINAPI Lexicore_UpdateUserEntry(const VLDataItem *entry, const VLDataItem *record,
                                     const char *text, const char *second);
/* Deletes the entry from both indexes with its text.  1, or 0.  Announces
 * VLM_DICAPI_ENTRY_DELETED (dictionary id, former entry number). */
BOOL WINAPI Lexicore_DeleteUserEntry(const VLDataItem *entry);

/* Phonetic data of an entry (the file key's PhoneDataFile, read through the phonetic-data library):
 * play 0 answers 1 when the data exists; otherwise the result of playing it.  0 when missing. */
BOOL WINAPI Lexicore_GetPhoneData(DWORD fileId, DWORD value, BOOL play);
/* Writes the media block of the value (ImageDataFile) to outputPath, replacing it; 1 or 0.
 * Books: value 0 a sound, 1 a picture; item is then the reference text (char *, the anchor's text
 * after '#'); a sound with a null or empty outputPath is played (0 without an audio device). */
BOOL WINAPI Lexicore_ExportMedia(DWORD fileId, DWORD value, const VLItem *item,
                                 const char *outputPath);

/* ---- Book gaiji --------------------------------------------------------------------------------- */
/* Largest glyph bitmap of Lexicore_GetGaijiBitmap in bytes. */
#define LEXICORE_GAIJI_MAX_BYTES 288
/* The glyph of gaiji code (row byte << 8 | cell byte) of the book in charset 52 (wide) or 51
 * (narrow), from the font file whose height is nearest to height (at most 100; the first on a
 * tie): rows top-down, each padded to 16-bit words, every byte inverted (0 = ink), written to
 * bitmap (LEXICORE_GAIJI_MAX_BYTES, may be null) with the glyph's size.  The byte count, or 0. */
int WINAPI Lexicore_GetGaijiBitmap(DWORD fileId, DWORD code, int height, int charset, BYTE *bitmap,
                                   SIZE *size);
/* Text output and measuring: charsets 51 and 52 are drawn two bytes a character as the book's
 * glyphs stretched to the dc font's height; every other charset goes to Strandkit_TextOut and
 * Strandkit_GetTextExtentExPointCs (fit, extents and size may be null). */
BOOL WINAPI Lexicore_TextOut(HDC dc, int x, int y, const char *text, int length, DWORD fileId,
                             UINT charset);
BOOL WINAPI Lexicore_GetTextExtent(HDC dc, const char *text, int count, int width, int *fit,
                                   int *extents, SIZE *size, DWORD fileId, UINT charset);

/* ---- Labels and pages of static dictionaries --------------------------------------------------- */
/* The label item of label number (level digit), or null; free with VLLabelItem_Destroy. */
VLLabelItem *WINAPI Lexicore_GetRecordByNumber(DWORD fileId, DWORD number);
/* The page item at entry n of the page index, or null; free with VLPageItem_Destroy. */
VLPageItem *WINAPI Lexicore_GetPageItem(DWORD fileId, LONG n);
/* Calls back with each label of the level (the item is destroyed after the call) from entry 1 to
 * the last entry of the label index; stops at a label that cannot be read or an answer of 0.  The
 * last answer, 1 when there was no call. */
int WINAPI Lexicore_EnumEntriesByLabel(DWORD fileId, LONG level, LexicoreLabelProc callback,
                                       void *user);

/* ---- Notify window of entry changes ------------------------------------------------------------ */
void WINAPI Lexicore_SetNotifyWindow(HWND window, UINT message);
/* Switches forwarding on or off; the previous value. */
BOOL WINAPI Lexicore_EnableNotify(BOOL value);
/* Sends message(change kind, &LexicoreChange) to the notify window: the result of sending; 0 when
 * not enabled or the window is gone; 1 when the message number is 0. */
LRESULT WINAPI Lexicore_Notify(DWORD changeKind, WPARAM wParam, LPARAM value);

/* ---- Sessions ----------------------------------------------------------------------------------- */
/* New closed session; free with Lexicore_DestroySession.  Null when memory runs out. */
DicSession *WINAPI Lexicore_CreateSession(void);
/* Closes the session whatever its open count and frees it. */
void WINAPI Lexicore_DestroySession(DicSession *session);
/* Opens the dictionary: 1 when opened.  0 when the catalogue stays busy for 1000 ms, the id is
 * unknown, writable is asked of a dictionary that is not a user dictionary, the language is unknown
 * or the kind's open fails.  NOTE: on a session that is already open the open count grows and the
 * answer is 0 all the same; every such call needs its own Lexicore_CloseSession. */
BOOL WINAPI Lexicore_OpenSession(DicSession *session, DWORD dicId, BOOL writable);
/* The open count after decrementing (never below 0); at 0 the dictionary's files are closed. */
LONG WINAPI Lexicore_CloseSession(DicSession *session);
/* The open dictionary id, 0 when closed. */
DWORD WINAPI Lexicore_GetSessionDicId(DicSession *session);
/* Selects the backward (1) or forward (0) index; the previous choice (static dictionaries). */
int WINAPI Lexicore_SelectIndex(DicSession *session, int backward);
/* Walks the index from the key (or as the LEXICORE_SF_* flags say), handing main entries (flag 1)
 * and, after an answer of 1, their sub-entries (flag 0) to proc.  6 when a similarity pass ended
 * with 6; 1 when a main entry was taken; else 0 (3 when a driver dictionary has no library). */
int WINAPI Lexicore_Search(DicSession *session, const char *key, DWORD flags, LexicoreItemProc proc,
                           void *user);
/* 1 with the key's entry position (the main entry of equal keys), 0 with the position where it
 * would stand (the entry count above every key). */
BOOL WINAPI Lexicore_Locate(DicSession *session, const char *key, DWORD flags, LONG *position);
/* New data item of the entry at the position (the caller's; VLDataItem_Destroy), null past the end. */
VLDataItem *WINAPI Lexicore_GetItem(DicSession *session, LONG position);
/* Hands the sub-entries of the entry group at the position to proc (each destroyed after the
 * call), starting at the position itself when includeStart; ends at the next main entry, at an
 * answer of 2 or 4, or when no item follows.  1 when the last answer was 4, else the last answer. */
int WINAPI Lexicore_EnumItems(DicSession *session, LONG position, BOOL includeStart,
                              LexicoreItemProc proc, void *user);
/* Makes the list's position (0-based) current and sends 0x405 (0, item) to window; 0 for an empty
 * list, else 1. */
BOOL WINAPI Lexicore_SelectListItem(HWND window, VLWordList *list, LONG position);
/* Number of entries of the dictionary's forward or backward index; 0 when unknown. */
LONG WINAPI Lexicore_GetEntryCount(DWORD dicId, int backward);
/* Copies the number-th font name (0-based) of the file into buffer (32 bytes) and returns its
 * length; with a null buffer the font count. */
int WINAPI Lexicore_GetFontName(DWORD fileId, int number, char *buffer);
/* Reads the entry text of the item into data (its blocks replaced; free with the caller's
 * VLData_Destroy or keep the record); 1 or 0. */
BOOL WINAPI Lexicore_ReadEntryTextEx(DicSession *session, const VLDataItem *item, VLData *data);
BOOL WINAPI Lexicore_ReadEntryText(const VLDataItem *item, VLData *data);
/* Session forms of Lexicore_DeleteUserEntry (1 or 0) and Lexicore_AddUserEntry (the position, -1
 * for every failure) on the session's dictionary; the last two arguments of AddEntry are the body
 * and the second text as there.  User dictionaries only (other kinds: 0 and -1). */
int WINAPI Lexicore_DeleteEntry(DicSession *session, const VLDataItem *item);
int WINAPI Lexicore_AddEntry(DicSession *session, const VLDataItem *item, const char *headword,
                             const char *text);

/* ---- Queries ------------------------------------------------------------------------------------ */
DicQuery *WINAPI Lexicore_CreateQuery(void);
void WINAPI Lexicore_DestroyQuery(DicQuery *query);
void WINAPI Lexicore_SetQuerySession(DicQuery *query, DicSession *session);
void WINAPI Lexicore_SetQueryResultList(DicQuery *query, VLWordList *list);
/* Keeps a copy of the key with the base score and the extra value; the key's length + 1 (0 for an
 * empty key, which clears the key and keeps only the base score). */
int WINAPI Lexicore_SetQueryText(DicQuery *query, const char *key, DWORD baseScore, DWORD extra);
/* Runs a query of LEXICORE_MODE_* (a key with wildcard characters runs as a pattern unless
 * LEXICORE_SF_NOWILD): the search result; 0 for an empty key; 3 for a pattern that cannot be read. */
int WINAPI Lexicore_RunQuery(DicQuery *query, int mode, DWORD flags);
/* Similarity, nearest at or above, nearest below: 0 for driver dictionaries. */
int WINAPI Lexicore_RunSimilarQuery(DicQuery *query, DWORD flags);
int WINAPI Lexicore_RunUpperQuery(DicQuery *query, DWORD flags);
int WINAPI Lexicore_RunLowerQuery(DicQuery *query, DWORD flags);
/* Full-text query over count conditions (all must hold with matchAll, else one); one pass over the
 * dictionary, each entry text read and rendered once; progress may stop it. */
int WINAPI Lexicore_RunFullTextQuery(DicQuery *query, LexicoreCondition *conditions, int count,
                                     BOOL matchAll, DWORD flags, LexicoreProgressProc progress,
                                     void *user);

#ifdef __cplusplus
}
#endif

#endif /* LEXICORE_H */
