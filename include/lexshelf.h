/* Lexshelf: the dictionary manager.
 *
 * Organises the installed dictionaries of the engine's catalogue for the front ends: named groups
 * of dictionaries (VLDicGroup), one priority order per use (VLPriorityList: pop-up, search,
 * translation) over dictionaries and groups together, and translation sets (VLTransSet) that choose
 * up to five dictionaries per pair of keys.  All three persist below
 * SOFTWARE\Halvenstone\Velosuite\4.0 through Basekit's settings layer (registry or settings file).
 * Every process that starts the manager keeps its own copies (the group table, three shared
 * priority lists, optionally the current translation set) and a hidden window of class
 * VLV5DICMANCLASS; changes are posted as the notices VLDM_* to that window in every process, and
 * each process applies them in its own message loop.  Also the study-list files (word-list files
 * with the extension vlh in the study-list folder of the user data folder).
 *
 * One thread per process uses the manager: the one that called Lexshelf_Init and pumps messages.
 * Exported by ordinal only. */
#ifndef LEXSHELF_H
#define LEXSHELF_H

#include <windows.h>
#include "lexidata.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Change notices (posted to every window of class VLV5DICMANCLASS) -------------------------- */
#define VLDM_ITEM_ADDED               0x400 /* list kind, dictionary or group id */
#define VLDM_ITEM_REMOVED             0x401 /* list kind, dictionary or group id */
#define VLDM_ITEM_MOVED               0x402 /* sender's list handle, (to << 16) | from, 1-based */
#define VLDM_LIST_COMMITTED           0x403 /* list kind, 0 */
#define VLDM_GROUP_CHANGED            0x404 /* group id, 0 */
#define VLDM_TRANSSET_CHANGED         0x405 /* 0, 0 */
#define VLDM_CURRENT_TRANSSET_CHANGED 0x406 /* 0, 0 */

/* Flag of Lexshelf_Init (besides the engine's own flags): load the current translation set. */
#define LEXSHELF_INIT_TRANSSET 8

/* Ids of 0x100000 and above name dictionaries (file id << 8 | sub-dictionary), smaller positive
 * ids name groups. */
#define LEXSHELF_FIRST_DIC_ID 0x100000

/* List kinds; a list argument of 0, 1 or 2 names the process's shared list of that kind. */
#define LEXSHELF_LIST_POPUP     0
#define LEXSHELF_LIST_SEARCH    1
#define LEXSHELF_LIST_TRANSLATE 2

/* Masks of Lexshelf_GroupSetInfo. */
#define LEXSHELF_GROUP_NAME      0x01
#define LEXSHELF_GROUP_NICKNAME  0x02
#define LEXSHELF_GROUP_SELECTION 0x08
#define LEXSHELF_GROUP_POPUP     0x10
#define LEXSHELF_GROUP_SEARCH    0x20
#define LEXSHELF_GROUP_TRANSLATE 0x40

/* Filter flags of Lexshelf_PrioEnum. */
#define LEXSHELF_ENUM_GROUPS     0x01 /* groups pass (without the tests below) */
#define LEXSHELF_ENUM_TYPE1      0x02 /* dictionaries of type 1 (with 0x04: 1 or 8) */
#define LEXSHELF_ENUM_TYPE8      0x04 /* dictionaries of type 8 */
#define LEXSHELF_ENUM_CHARSET    0x08 /* charset == low byte of the value */
#define LEXSHELF_ENUM_LANGUAGE   0x10 /* language == low 16 bits of the value */
#define LEXSHELF_ENUM_IN_GROUP   0x20 /* the value is a VLDicGroup* that holds the dictionary */
#define LEXSHELF_ENUM_NOT_GROUP  0x40 /* the value is a VLDicGroup* that does not hold it */

/* Roles of Lexshelf_GetListRole. */
#define LEXSHELF_ROLE_HISTORY 1
#define LEXSHELF_ROLE_DEFAULT 2
#define LEXSHELF_ROLE_ACTIVE  4

/* Messages with which an entry is handed to the running study-list program. */
#define VLM_STUDYLIST_ADD_HISTORY 0x8405
#define VLM_STUDYLIST_ADD_ACTIVE  0x8406
/* Answer of the study-list program that is running but does not take the entry (the list is
 * full): the hand-over then fails without writing the file, which the program's open viewer
 * rewrites when it closes.  -1 stays "no study-list window took it". */
#define VLM_STUDYLIST_REFUSED (-2)

/* ---- Records ------------------------------------------------------------------------------------ */
/* One group (540 bytes); made by Lexshelf_GroupCreate, freed by Lexshelf_GroupDestroy. */
typedef struct VLDicGroup {
    DWORD id;                 /* 0 until first saved */
    char name[256];
    char nickName[256];
    DWORD selection;          /* for the front ends; -1 after every load; not stored */
    DWORD priorityForPopup;
    DWORD priorityForSearch;
    DWORD priorityForTranslate;
    DWORD count;
    DWORD *dictionaries;      /* owned, count ids in the group's own order */
} VLDicGroup;

/* The caller's copy of a group: the same fields without the array (reserved is null). */
typedef struct VLDicGroupInfo {
    DWORD id;
    char name[256];
    char nickName[256];
    DWORD selection;
    DWORD priorityForPopup;
    DWORD priorityForSearch;
    DWORD priorityForTranslate;
    DWORD count;
    void *reserved;
} VLDicGroupInfo;

typedef struct VLPriorityEntry {
    DWORD id;
    DWORD priority;
} VLPriorityEntry;

/* A priority list (12 bytes); kind 0 pop-up, 1 search, 2 translation. */
typedef struct VLPriorityList {
    DWORD count;
    DWORD kind;
    VLPriorityEntry *entries; /* owned */
} VLPriorityList;

/* One entry of a list as Lexshelf_PrioGetItem fills it; name and nickName point into data. */
typedef struct VLPriorityItem {
    DWORD id;
    DWORD itemKind;           /* 1 dictionary, 2 group */
    DWORD priority;
    DWORD colour;             /* a dictionary's colour, a group's selection */
    char *name;
    char *nickName;
    union {
        DicProperty dictionary;
        VLDicGroupInfo group;
    } data;
} VLPriorityItem;

typedef struct VLTransSetEntry {
    DWORD firstKey;
    DWORD secondKey;
    DWORD slot;               /* 1 to 5 */
    DWORD dictionaryId;       /* a dictionary or a group id; 0 for none */
} VLTransSetEntry;

/* A translation set (72 bytes); entries sorted by first key (0 last), second key, slot. */
typedef struct VLTransSet {
    char name[64];
    DWORD count;
    VLTransSetEntry *entries; /* owned */
} VLTransSet;

/* A word list tied to its file (12 bytes). */
typedef struct VLWordListFile {
    char *fileName;           /* owned copy, or null */
    VLWordList *list;         /* maximum 5000 items */
    DWORD reserved;
} VLWordListFile;

/* Callbacks: return 0 to stop the walk. */
typedef int(CALLBACK *LexshelfGroupProc)(VLDicGroup *group, LPARAM user);
typedef int(CALLBACK *LexshelfPrioProc)(VLPriorityItem *item, LPARAM user);
typedef int(CALLBACK *LexshelfNameProc)(const char *name, LPARAM user);

/* ---- Start and stop ------------------------------------------------------------------------------ */
/* Starts the engine as client "VLV5" with the flags, loads the group table, creates the hidden
 * notification window (which builds the three shared lists), with LEXSHELF_INIT_TRANSSET loads the
 * current translation set, and makes sure the study-list files exist.  1, or 0 when the engine does
 * not start.  Also 1 when the window could not be made: the shared lists are then absent and calls
 * that name a list kind answer 0. */
BOOL WINAPI Lexshelf_Init(DWORD flags);
/* Trims and removes study lists (resident program only), destroys the window, commits the shared
 * list that belongs to the running program, frees every copy, stops the engine and drains the
 * thread's message queue.  0. */
int WINAPI Lexshelf_Term(void);

/* ---- Groups: one record ------------------------------------------------------------------------- */
/* New zeroed group (the caller's until Lexshelf_GroupDestroy); null when memory runs out. */
VLDicGroup *WINAPI Lexshelf_GroupCreate(void);
void WINAPI Lexshelf_GroupDestroy(VLDicGroup *group);
/* Inserts the id at the 1-based position (0 appends; 1 to count + 1); 0 for another position. */
BOOL WINAPI Lexshelf_GroupInsertDic(VLDicGroup *group, DWORD dicId, int position);
/* Moves the id to the 1-based position (clamped to 1..count); 0 when the id is not held. */
BOOL WINAPI Lexshelf_GroupMoveDic(VLDicGroup *group, DWORD dicId, int position);
/* 1, or 0 when the id is not held. */
BOOL WINAPI Lexshelf_GroupRemoveDic(VLDicGroup *group, DWORD dicId);
DWORD WINAPI Lexshelf_GroupGetId(const VLDicGroup *group);
/* Copies name and nickname (either may be null; cut to 255 bytes at a whole character). */
void WINAPI Lexshelf_GroupSetNames(VLDicGroup *group, const char *name, const char *nickName);
/* Copies them into buffers of 256 bytes (either may be null). */
void WINAPI Lexshelf_GroupGetNames(const VLDicGroup *group, char *name, char *nickName);
DWORD WINAPI Lexshelf_GroupGetDicCount(const VLDicGroup *group);
/* The 0-based index-th dictionary id; 0 outside. */
DWORD WINAPI Lexshelf_GroupGetDic(const VLDicGroup *group, int index);
/* Frees the dictionary array; 0. */
int WINAPI Lexshelf_GroupClear(VLDicGroup *group);
/* Writes the group (a new group first gets an id that neither this process's table nor the
 * settings hold, chosen under a lock shared by all processes) and posts VLDM_GROUP_CHANGED.  1, or
 * 0 when no id is left or the group key cannot be written. */
BOOL WINAPI Lexshelf_GroupSave(VLDicGroup *group);
/* Loads the group of the id into the record; 0 when its key is missing. */
BOOL WINAPI Lexshelf_GroupLoad(DWORD id, VLDicGroup *group);
void WINAPI Lexshelf_GroupGetInfo(const VLDicGroup *group, VLDicGroupInfo *info);
/* Applies the fields that mask (LEXSHELF_GROUP_*) selects. */
void WINAPI Lexshelf_GroupSetInfo(VLDicGroup *group, DWORD mask, const VLDicGroupInfo *info);

/* ---- Groups: the process's table (records owned by the manager) -------------------------------- */
VLDicGroup *WINAPI Lexshelf_FindGroup(DWORD id);
/* Fills info (may be null) and returns the table's record, or null. */
VLDicGroup *WINAPI Lexshelf_GetGroupInfoById(DWORD id, VLDicGroupInfo *info);
/* Calls back with each record in id order until it answers 0; the number of groups in the table. */
int WINAPI Lexshelf_EnumGroups(LexshelfGroupProc callback, LPARAM user);
/* Id of the n-th (0-based) group whose first dictionary's type differs from the value (groups
 * without dictionaries are passed over); 0 when none. */
DWORD WINAPI Lexshelf_GetNthGroup(DWORD type, int n);
/* The index-th dictionary of the group of the id; 0 for an unknown group or an index outside. */
DWORD WINAPI Lexshelf_GetGroupDic(DWORD id, int index);
int WINAPI Lexshelf_GetGroupCount(void);

/* ---- Priority lists (list: a handle, or a kind naming the shared list) -------------------------- */
/* Number of entries that pass the filter (LEXSHELF_ENUM_*); dictionaries that the catalogue no
 * longer holds never pass.  The callback (may be null) gets each passing item and ends the walk
 * with 0 (that entry not counted). */
int WINAPI Lexshelf_PrioEnum(VLPriorityList *list, DWORD flags, LPARAM value, LexshelfPrioProc callback,
                             LPARAM user);
/* Saves the group (assigning an id when new), then adds its id as Lexshelf_PrioAdd does; 1, or 0
 * when the save failed. */
BOOL WINAPI Lexshelf_PrioAddGroup(VLPriorityList *list, VLDicGroup *group);
/* Kind: posts VLDM_ITEM_ADDED (every process, this one included, adds the id to its three shared
 * lists when it handles the notice).  Handle: appends the id last.  0. */
int WINAPI Lexshelf_PrioAdd(VLPriorityList *list, DWORD id);
/* Moves the entry at from to to (1-based) and renumbers; posts VLDM_ITEM_MOVED; 0 when either is
 * outside 1..count. */
BOOL WINAPI Lexshelf_PrioMove(VLPriorityList *list, int from, int to);
/* Kind: removes the dictionary's file from the catalogue (deleting its files when removeFiles) or
 * the group's key, then posts VLDM_ITEM_REMOVED (without the window only the stored data changes);
 * each process then drops the id, and the other sub-dictionaries of a removed file, from its
 * lists.  Handle: drops the entry.  1. */
BOOL WINAPI Lexshelf_PrioRemove(VLPriorityList *list, DWORD id, BOOL removeFiles);
/* New list of the kind over the catalogue (types 1, 7, 8) and the group table; the caller's until
 * Lexshelf_PrioDestroy. */
VLPriorityList *WINAPI Lexshelf_PrioCreate(DWORD kind);
void WINAPI Lexshelf_PrioDestroy(VLPriorityList *list);
/* Fills item for the 1-based index; 0 outside or when the catalogue or table lacks the id. */
BOOL WINAPI Lexshelf_PrioGetItem(VLPriorityList *list, int index, VLPriorityItem *item);
/* Writes every entry's position back as the dictionary's or group's priority of the list's kind
 * and posts VLDM_LIST_COMMITTED; 1, 0 for an absent list. */
BOOL WINAPI Lexshelf_PrioCommit(VLPriorityList *list);
/* 1-based index of the id, 0 when absent. */
int WINAPI Lexshelf_PrioFind(VLPriorityList *list, DWORD id);

/* ---- Translation sets ---------------------------------------------------------------------------- */
/* Writes "CurrentTranslationSet" and posts VLDM_CURRENT_TRANSSET_CHANGED; 1. */
BOOL WINAPI Lexshelf_SetCurrentTransSet(const char *name);
/* The current set's name into a 64-byte buffer; the settings layer's result. */
int WINAPI Lexshelf_GetCurrentTransSet(char *buffer);
/* Calls back with each set's name; the number of sets, 0 when there is none or the callback
 * stopped the walk. */
int WINAPI Lexshelf_EnumTransSets(LexshelfNameProc callback, LPARAM user);
/* New empty set of the name (cut to 63 bytes); the caller's until Lexshelf_TransSetDestroy. */
VLTransSet *WINAPI Lexshelf_TransSetCreate(const char *name);
/* New set of the name, loaded (empty when its key is missing). */
VLTransSet *WINAPI Lexshelf_TransSetOpen(const char *name);
/* New set with the same name and entries. */
VLTransSet *WINAPI Lexshelf_TransSetCopy(const VLTransSet *set);
void WINAPI Lexshelf_TransSetDestroy(VLTransSet *set);
/* Adds the entries stored under the set's name (held entries stay); 0 when its key is missing. */
BOOL WINAPI Lexshelf_TransSetLoad(VLTransSet *set);
/* Replaces the stored set by this one; posts VLDM_TRANSSET_CHANGED when it is the current set. 1. */
BOOL WINAPI Lexshelf_TransSetSave(VLTransSet *set);
/* Deletes the stored set of the set's name. */
void WINAPI Lexshelf_TransSetDelete(VLTransSet *set);
/* Frees the entries; 0. */
int WINAPI Lexshelf_TransSetClear(VLTransSet *set);
/* 1, or 0 when (first key, second key, slot) is already held (its id unchanged). */
BOOL WINAPI Lexshelf_TransSetAdd(VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot, DWORD id);
/* 1, or 0 when the entry is absent. */
BOOL WINAPI Lexshelf_TransSetUpdate(VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot, DWORD id);
BOOL WINAPI Lexshelf_TransSetRemove(VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot);
/* Copies the entry into entry (may be null); 1, or 0 when absent. */
BOOL WINAPI Lexshelf_TransSetFind(const VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot,
                                  VLTransSetEntry *entry);
/* Copies the set's name into a 64-byte buffer. */
void WINAPI Lexshelf_TransSetGetName(char *buffer, const VLTransSet *set);

/* ---- Study-list files ---------------------------------------------------------------------------- */
/* New handle with an empty list of 5000; null when memory runs out. */
VLWordListFile *WINAPI Lexshelf_WordListCreate(void);
void WINAPI Lexshelf_WordListDestroy(VLWordListFile *handle);
/* Empties the list, remembers the path and loads the file; the load's result. */
BOOL WINAPI Lexshelf_WordListLoad(VLWordListFile *handle, const char *path);
/* Saves the list to the remembered path; the save's result (0 without a path). */
BOOL WINAPI Lexshelf_WordListSave(VLWordListFile *handle);
/* Renames the remembered file (when it exists on disk) to the new path and remembers the new
 * path; 1, or 0 with the old path kept when the file could not be renamed. */
BOOL WINAPI Lexshelf_WordListRename(VLWordListFile *handle, const char *path);
VLWordList *WINAPI Lexshelf_WordListGetHandle(VLWordListFile *handle);
/* Copies the remembered path into buffer (260 bytes); its length (0 and an empty text without). */
int WINAPI Lexshelf_WordListGetFileName(VLWordListFile *handle, char *buffer);

/* Path buffers hold 260 bytes.  The study-list folder comes from the relay library's user data
 * folder (SHAREDKIT, when loaded in the process); without it the path operations answer 0. */
/* Writes "ActiveList"; 1 when written. */
BOOL WINAPI Lexshelf_SetActiveList(const char *path);
/* Non-zero when "ActiveList" exists (buffer may be null: only the test). */
BOOL WINAPI Lexshelf_GetActiveList(char *buffer);
BOOL WINAPI Lexshelf_GetHistoryListPath(char *buffer);
BOOL WINAPI Lexshelf_GetDefaultListPath(char *buffer);
/* Study-list folder; 0 with the buffer unchanged when there is no user data folder. */
BOOL WINAPI Lexshelf_GetListFolder(char *buffer);
/* Deletes the file; 0 without deleting for the active or the history list (case ignored). */
BOOL WINAPI Lexshelf_DeleteList(const char *path);
/* Calls back with the path of each vlh file of the folder until it answers 0; the number of files
 * visited (the one that stopped the walk included). */
int WINAPI Lexshelf_EnumLists(LexshelfNameProc callback, LPARAM user);
/* Hands the entry to the running study-list program, or appends it to the file: 1 when handed
 * over, else the append's result; 0 when the relay library or a path is missing, or when the
 * running program refused the entry (VLM_STUDYLIST_REFUSED). */
BOOL WINAPI Lexshelf_AddToHistory(const VLDataItem *item);
BOOL WINAPI Lexshelf_AddToActiveList(const VLDataItem *item);
/* LEXSHELF_ROLE_* bits of the path. */
DWORD WINAPI Lexshelf_GetListRole(const char *path);

/* ==== Searches across dictionaries ================================================================
 * Each search fills the caller's word list (cleared first) from the dictionaries it chooses: a
 * dictionary id (its language's search mode of the request kind), a group id (every dictionary of
 * the group that fits the text, the caller's mode), or 0 (the current translation set's slots 1 to
 * 5 for the request kind).  The text is looked up through the language manager's word analysis
 * (base forms, phrases) unless flag LEXSHELF_SF_NO_ANALYSIS is given.  The list's window, when it
 * names one, gets 0x8004 (0) before and 0x8000, 0x8004 (1), 0x8001 after the search (0x8001 left
 * out after pop-up requests of kinds 4 and 5).  All run on the caller's thread and hold no lock. */
#define LEXSHELF_SF_NO_ANALYSIS 0x100
/* The lookup request: 1 when the search ran; 0 for an empty text, no dictionary chosen, or (kind 1)
 * a cursor no longer in the box of the request's point (2 pixels left to less than 2 right, 3 above
 * to less than 3 below; nothing is sent and the list stays as it was).  Runs at the highest thread
 * priority and the high priority class and restores both; then sorts the list and runs the
 * language's automatic actions (pronounce, copy, open the manager).  The request stays the
 * caller's. */
int WINAPI Lexshelf_SearchPopup(VLTranParam *request, VLWordList *list);
/* Escape-tagged text (charset -1), or text in the charset, or in the charset of a language code
 * above 255.  1 when the search ran, 0 otherwise; the list is sorted after. */
int WINAPI Lexshelf_SearchDicsEx(const char *text, DWORD dicId, DWORD mode, DWORD flags, int charset,
                                 VLWordList *list);
int WINAPI Lexshelf_SearchDics(const char *text, DWORD dicId, DWORD mode, DWORD flags, VLWordList *list);
/* The current translation set's dictionaries for the request kind, search flags 0x38. */
int WINAPI Lexshelf_SearchByLanguages(const char *text, int wordPos, DWORD kind, int charset, VLWordList *list);

/* Nearest entry below (Mode1) or at and above (Mode0) the text in each chosen dictionary (text in
 * the charset or language; count stands for the choice's flags and the engine's).  1 when the
 * search ran.  The window gets 0x8004 (1), 0x8000, 0x8001 after it. */
int WINAPI Lexshelf_SearchMode1(const char *text, DWORD kind, int charset, DWORD dicId, DWORD count,
                                VLWordList *list);
int WINAPI Lexshelf_SearchMode0(const char *text, DWORD kind, int charset, DWORD dicId, DWORD count,
                                VLWordList *list);
/* Each word of the escape-tagged text, per chosen dictionary: the callback gets (language, word,
 * user) and ends everything with 0; the word's forms are looked up by similarity. */
typedef int(CALLBACK *LexshelfWordProc)(DWORD language, const char *word, LPARAM user);
int WINAPI Lexshelf_SearchWithCallback(const char *text, DWORD dicId, VLWordList *list, LexshelfWordProc callback,
                                       LPARAM user);
/* The engine's full-text query (count LexicoreCondition records, matchAll, flags, progress
 * procedure and its value, as Lexicore_RunFullTextQuery takes them) over the dictionary or every
 * dictionary of the group, each once.  1; 0 without conditions. */
int WINAPI Lexshelf_SearchList(DWORD dicId, void *conditions, int count, DWORD matchAll, DWORD flags,
                               VLWordList *list, void *progress, void *user);

/* ==== User-dictionary exchange, clipboard and pronunciation ======================================= */
/* Options of a text import (the caller's record). */
typedef struct TextImportOptions {
    const char *Separator;   /* the separator text, or the character itself when below 0x10000 */
    DWORD Reserved1;
    DWORD Reserved2;
    DWORD HeadwordColumn;    /* 1-based */
    DWORD SecondColumn;      /* 1-based, 0 for none */
    DWORD SkipFirstLine;     /* non-zero: the first line is a title line */
} TextImportOptions;
/* Progress of a text import in percent; 0 ends the import (its result is then 1). */
typedef int(CALLBACK *LexshelfProgressProc)(int percent, LPARAM user);
#define LEXSHELF_IMPORT_LIMIT 60000
/* Writes every entry of the dictionary to a text file, one line per entry, each field in double
 * quotes (a quote inside a field written twice), fields separated by the character: headword,
 * second string (when present), text (plain rendering), second text (when present).  1; 0 when
 * the dictionary is not in the catalogue or the file cannot be created. */
BOOL WINAPI Lexshelf_ExportText(const char *path, DWORD dicId, int separator);
/* Reads such a file into the user dictionary: records may span lines inside quotes; a separator
 * or a doubled quote inside quotes is text.  1; 0 when the file cannot be opened or a record
 * could not be added (the others are); -1 when the record limit (LEXSHELF_IMPORT_LIMIT entries)
 * stopped it. */
int WINAPI Lexshelf_ImportText(const char *path, DWORD dicId, const TextImportOptions *options,
                               LexshelfProgressProc progress, LPARAM user);
/* The exchange file of the earlier generation ("User Dictionary for VL") from an open file: 1; 0
 * when the header does not match, the file is damaged (nothing is added then), holds no entry or
 * an entry could not be added. */
BOOL WINAPI Lexshelf_ImportUserDic(HANDLE file, DWORD dicId);
/* A version-3 user dictionary file ("VELOUDV3"): 1; 0 when the signature does not match, the file
 * is damaged (nothing is added then) or an entry could not be added. */
BOOL WINAPI Lexshelf_ImportV3UserDic(HANDLE file, DWORD dicId);
/* Puts the entry on the clipboard as "Rich Text Format", "VLTF Text Format" and CF_TEXT; 1, or 0
 * when its text cannot be read or the clipboard cannot be opened. */
BOOL WINAPI Lexshelf_CopyEntry(const VLDataItem *item);
/* Non-zero when the entry has phonetic data or the language manager can speak it. */
BOOL WINAPI Lexshelf_CanPronounceEntry(const VLDataItem *item);
/* Plays the entry's phonetic data, else hands it to the language manager; that result. */
int WINAPI Lexshelf_PronounceEntry(const VLDataItem *item);

#ifdef __cplusplus
}
#endif

#endif /* LEXSHELF_H */
