// What the search files of the dictionary manager share: the search plan, the facts the choice of
// dictionaries looks at (handed in through a table of callbacks, so that the choice is a pure
// function of them), and the small decisions the searches make.
//   search_choice.cpp  the choice of dictionaries and languages, the cursor box, sort modes
//   search_text.cpp    the text in UTF-16, keys per language, the live facts of the choice
//   search.cpp         the engine run, the pop-up and keyword searches, the work after them
//   search_extra.cpp   nearest entries, the word-by-word search, the condition search
//   search_sessions.cpp  sessions of static dictionaries kept open across searches
#ifndef LEXSHELF_SEARCH_INT_H
#define LEXSHELF_SEARCH_INT_H

#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include "lexidata.h"

#define SHELF_PLAN_DICS 200
#define SHELF_PLAN_LANGS 20
#define SHELF_TEXT_CHARS 10240
// Flags of a search: skip the word analysis; the pop-up search's own flag.
#define SHELF_SF_NO_ANALYSIS 0x100
#define SHELF_SF_POPUP 0x80
// Marks of analysis forms: searched only in driver dictionaries; a secondary form.
#define SHELF_FORM_DRIVER_ONLY 0x100
#define SHELF_FORM_SECONDARY 0x40
#define SHELF_SECONDARY_RAISE 0x10000000u

// One dictionary as the choice sees it.
struct ShelfDicFacts {
    WORD language;
    BYTE charset;
    BYTE charsetNext;      // the record's byte after the charset: 0 for single-byte text
    DWORD catalogueKind;   // 1 static, 2 user, 3 driver library, 4 book
};

// One search entry of a language record: {kind number, search mode, compare flags}.
struct ShelfKindEntry {
    DWORD number;
    DWORD mode;
    DWORD flags;
};

struct ShelfLangFacts {
    BYTE charset;
    ShelfKindEntry entries[5];  // kinds 1-3, 5, 4, 6, 7
};

// Where the choice gets its facts; each callback answers false for an unknown id.
struct ShelfWorld {
    void *context;
    bool (*dic)(void *context, DWORD dicId, ShelfDicFacts *facts);
    bool (*group)(void *context, DWORD groupId, std::vector<DWORD> *dics);
    // The current translation set's id of (first, second, slot); false when it has no such entry.
    bool (*transSet)(void *context, DWORD first, DWORD second, DWORD slot, DWORD *id);
    bool (*language)(void *context, DWORD language, ShelfLangFacts *facts);
    // Makes the language's key of the text (in the language's charset); false when it is empty.
    bool (*key)(void *context, WORD language, BYTE charset);
};

struct ShelfPlanDic {
    DWORD id;
    WORD language;
    DWORD order;          // translation-set slot - 1 << 16 | index inside a group
    DWORD catalogueKind;
};

struct ShelfPlanLang {
    WORD language;
    DWORD mode;
    DWORD flags;
    BYTE charset;
};

struct ShelfPlan {
    std::vector<ShelfPlanDic> dics;    // at most SHELF_PLAN_DICS, no id twice
    std::vector<ShelfPlanLang> langs;  // at most SHELF_PLAN_LANGS
};

// What a search asks for.
struct ShelfChoice {
    DWORD kind;          // request kind (0: none)
    int charset;         // charset of the text, or a language code above 255
    DWORD dicId;         // dictionary, group, or 0 for the current translation set
    DWORD mode;
    DWORD flags;
    bool multiByte;      // the text holds double-byte characters
    int textCharset;     // charset of the text (255 for mixed)
};

// The plan for the choice; false when no dictionary was chosen.
bool Shelf_ChoosePlan(const ShelfChoice &choice, const ShelfWorld &world, ShelfPlan *plan);
// Index of the language in the plan, or -1.
int Shelf_PlanLanguage(const ShelfPlan &plan, WORD language);
// The search entry of a request kind (0 for kinds 1-3 and others, 1 kind 5, 2 kind 4, 3 kind 6,
// 4 kind 7).
int Shelf_KindEntry(DWORD kind);
// The mode and extra compare flags of a request kind for a language; false when the language
// does not look the kind up.  Kinds outside 1 to 7 keep the caller's mode.
bool Shelf_KindMode(const ShelfLangFacts &facts, DWORD kind, DWORD callerMode, DWORD *mode, DWORD *flags);
// The translation set's first key of a request kind.
DWORD Shelf_FirstKey(DWORD kind);
// Charset slot of the key texts: 1 for 128, 4 for 129, 2 for 134, 3 for 136, 0 otherwise.
int Shelf_CharsetSlot(int charset);
// Whether the cursor still lies in the box of the request's point: 2 pixels left to less than 2
// right, 3 above to less than 3 below.
bool Shelf_BoxHolds(POINT origin, POINT cursor);
// The word-list sort after a search.
void Shelf_SortChoice(DWORD kind, DWORD searchMode, int sortByLength, int *mode, int *descending);

// ---- The live side (search_text.cpp) --------------------------------------------------------------

// Notifications to the window that a word list names.
#define SHELF_NOTE_DONE 0x8000
#define SHELF_NOTE_SELECT 0x8001
#define SHELF_NOTE_LIST 0x8004

// The text of a search in UTF-16.
struct ShelfPrepared {
    std::wstring wide;
    int charset = 0;  // 255 when runs of several charsets occur
    bool multiByte = false;
};

// The live facts of one search: the text in each code page asked for, each language's key and the
// text its analysis reads.
struct ShelfLive {
    const ShelfPrepared *text = nullptr;
    std::map<UINT, std::string> byCodePage;
    std::map<WORD, std::string> keys;
    std::map<WORD, std::string> source;
    const std::string &InCodePage(UINT codePage);
};

// Clears the list, prepares the text (charset -1: escape-tagged; above 255: a language) and chooses
// the dictionaries over the live catalogue; false when the text is empty (the list then stays as it
// was), cannot be read, or nothing was chosen.
bool Shelf_BeginSearch(const char *text, int len, int charset, DWORD dicId, DWORD mode, DWORD flags, DWORD kind,
                       VLWordList *list, ShelfPrepared *prepared, ShelfLive *live, ShelfPlan *plan);
// The language's key in the engine's own form (mode 4); empty when it has none.
std::string Shelf_PlainKey(ShelfLive &live, WORD language);
// Sends the notification to the list's window when the list names a window.
void Shelf_NotifyList(VLWordList *list, UINT message, WPARAM wParam);

// ---- Kept sessions (search_sessions.cpp) ------------------------------------------------------------
// The open session of a static dictionary kept from earlier searches (opened now when new); null for
// other kinds, an unknown id, a failed open, or a manager that is not started: the caller then opens
// the dictionary in a session of its own.  The session stays the cache's.
struct DicSession;
DicSession *Shelf_KeptSession(DWORD dicId);

#endif
