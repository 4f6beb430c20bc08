// What the files of the dictionary manager share: the process state (group table, shared lists,
// current translation set, notification window), the settings paths, and the helpers that more
// than one file uses.  Each concern lives in its own file:
//   lifecycle.cpp  start, stop, the notification window and the notices it applies
//   groups.cpp     group records, the group table, their settings keys
//   priority.cpp   priority lists, sort and renumber, write back, the enumeration filter
//   transset.cpp   translation sets
//   studylist.cpp  study-list files and the hand-over of entries
//   settings.cpp   settings paths, key-tree deletion, bounded copies
// Searches across dictionaries and the user-dictionary exchange go into further files of this
// folder, each with its own export fragment (<concern>.def) beside it; they reach the process
// state through Shelf() (the current translation set is Shelf().current, null unless the start
// asked for it) and the helpers below.
#ifndef LEXSHELF_INT_H
#define LEXSHELF_INT_H

#include "recordcheck.h"
#include <windows.h>
#include <stddef.h>
#include <string>
#include <vector>
#include "lexshelf.h"

#define LEXSHELF_ROOT "SOFTWARE\\Halvenstone\\Velosuite\\4.0"
#define LEXSHELF_GROUP_SECTION LEXSHELF_ROOT "\\Group"
#define LEXSHELF_TRANSSET_SECTION LEXSHELF_ROOT "\\TranslationSet"
#define LEXSHELF_DICTIONARY_SECTION LEXSHELF_ROOT "\\Dictionary"
#define LEXSHELF_WINDOW_CLASS "VLV5DICMANCLASS"
#define LEXSHELF_CLIENT "VLV5"
#define LEXSHELF_LIST_KINDS 3

// One copy per process: everything lives between Lexshelf_Init and Lexshelf_Term.
struct ShelfState {
    bool started;
    HWND window;                                // null when the window could not be made
    std::vector<VLDicGroup *> groups;           // owned records, sorted by id
    VLPriorityList *lists[LEXSHELF_LIST_KINDS]; // null without the window
    VLTransSet *current;                        // only with LEXSHELF_INIT_TRANSSET
};

ShelfState &Shelf();
HINSTANCE ShelfModule();

// settings.cpp
// Copies text into a field of size bytes, cut at a whole character of the ANSI code page.
void Shelf_CopyField(char *field, int size, const char *text);
// Deletes the key at the relative path with every key below it.
void Shelf_DeleteKeyTree(const char *path);
bool Shelf_KeyExists(const char *path);
// Names of the direct sub-keys of the key at the relative path (empty when it has none).
std::vector<std::string> Shelf_SubkeyNames(const char *path);
// Posts the notice to every window of the manager's class, when this process has its window.
void Shelf_PostNotice(UINT message, WPARAM wParam, LPARAM lParam);

// groups.cpp
void Shelf_GroupPath(DWORD id, char *path);  // 260 bytes
bool Shelf_LoadGroupTable();
void Shelf_FreeGroupTable();
// Inserts a record into the table (kept sorted); false when the id is held (record not taken).
bool Shelf_TableInsert(VLDicGroup *group);
// Takes the record of the id out of the table and frees it.
void Shelf_TableRemove(DWORD id);
bool Shelf_GroupHolds(const VLDicGroup *group, DWORD dicId);
// Sets one priority (kind 0, 1, 2) of the record and of its stored key (when it is stored), then
// posts VLDM_GROUP_CHANGED.
void Shelf_GroupStorePriority(VLDicGroup *group, DWORD kind, DWORD priority);

// priority.cpp
// The shared list of a kind or the handle itself; null for a kind whose list is absent.
VLPriorityList *Shelf_ResolveList(VLPriorityList *list);
void Shelf_SortRenumber(VLPriorityList *list, bool writeBack);
// Appends (id, 0) unless the id is held already.
bool Shelf_ListAppend(VLPriorityList *list, DWORD id, DWORD priority);
// Drops the id; false when absent.
bool Shelf_ListDrop(VLPriorityList *list, DWORD id);
void Shelf_BuildSharedLists();
void Shelf_FreeSharedLists();

// transset.cpp
// Reads the entries stored under the set's name into the set.
bool Shelf_TransSetLoadInto(VLTransSet *set);

// studylist.cpp
// Creates the history and default list files and "ActiveList" when missing.
void Shelf_EnsureStudyLists();
// The resident program's clean-up of its study lists at stop.
void Shelf_TrimStudyLists(bool keepHistory, bool trim);

// search_sessions.cpp
// Closes the dictionary sessions that the searches keep open; called before the engine stops.
void Shelf_SearchStop();



// Layouts that callers of other libraries rely on.
RECORD_CHECK_X86(sizeof(VLDicGroup) == 540, "VLDicGroup");
RECORD_CHECK_X86(offsetof(VLDicGroup, selection) == 516 && offsetof(VLDicGroup, dictionaries) == 536, "VLDicGroup");
RECORD_CHECK_X86(sizeof(VLDicGroupInfo) == 540, "VLDicGroupInfo");
RECORD_CHECK_X86(sizeof(VLPriorityList) == 12 && sizeof(VLPriorityEntry) == 8, "VLPriorityList");
RECORD_CHECK_X86(offsetof(VLPriorityItem, data) == 24 && sizeof(VLPriorityItem) == 24 + 572, "VLPriorityItem");
RECORD_CHECK_X86(sizeof(VLTransSetEntry) == 16 && sizeof(VLTransSet) == 72, "VLTransSet");
RECORD_CHECK_X86(sizeof(VLWordListFile) == 12, "VLWordListFile");
#endif
