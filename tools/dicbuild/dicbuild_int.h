// The dictionary builder: readers of outside dictionary sources (dictd databases, EDICT), the code
// page conversion into the dictionary's charset, and the writer of static dictionary files whose
// index order comes from the language driver's own comparer.
#ifndef TOOLS_DICBUILD_INT_H
#define TOOLS_DICBUILD_INT_H

#include <windows.h>
#include <stdint.h>
#include <string>
#include <vector>

// What a reader met: every entry that is changed or left out is counted here.
struct DbCounts {
    long lines = 0;              // source lines (index lines or EDICT lines)
    long entries = 0;            // headword records taken
    long malformed = 0;          // lines that could not be read (left out)
    long badBytes = 0;           // byte sequences that are not valid in the source coding ('?')
    long unencodable = 0;        // characters the target code page lacks ('?')
    long unencodableEntries = 0; // entries holding at least one of them
    long meta = 0;               // database information entries (left out)
    long tooLong = 0;            // headwords longer than an index string can hold (left out)
};

struct DbEntry {
    std::string head, second;    // in the target code page
    uint32_t text;               // index into DbSource::texts
};

struct DbSource {
    std::vector<DbEntry> entries;
    std::vector<std::string> texts;
    DbCounts counts;
    std::vector<std::string> notes;  // the first problems met, for the report
};

void Db_Note(DbSource *src, const char *fmt, ...);

// ---- Code pages -----------------------------------------------------------------------------------
// A Unicode-to-code-page map of the basic plane (0xFFFF = not in the code page).
struct DbCodePage {
    UINT cp = 0;
    std::vector<uint16_t> map;
};
bool Db_LoadCodePage(UINT cp, DbCodePage *out);
// UTF-8 text into the code page; invalid sequences and missing characters become '?' and are
// counted.  Returns the number of replaced characters.
long Db_FromUtf8(const DbCodePage &cp, const char *s, size_t n, std::string *out, DbCounts *counts);
// EUC-JP text into Shift-JIS (JIS X 0212 characters have no Shift-JIS form: '?', counted).
long Db_EucToSjis(const char *s, size_t n, std::string *out, DbCounts *counts);

// ---- Readers --------------------------------------------------------------------------------------
// A dictd database: the index file and the (gzip or dictzip compressed, or plain) data file.
bool Db_ReadDictd(const char *indexPath, const char *dataPath, const DbCodePage &cp, DbSource *src);
// An EDICT file (EUC-JP): each entry under its written form and, when it has one, its reading.
bool Db_ReadEdict(const char *path, DbSource *src);
bool Db_ReadFile(const char *path, std::string *out);

// ---- Writer ---------------------------------------------------------------------------------------
struct DbOptions {
    WORD language = 0x0100;      // the headwords' language
    WORD target = 0x0100;        // the language of the entry texts
    BYTE charset = 0;
    DWORD fileId = 0x2100;
    bool coded = false;          // version-1 coding
    std::string name, nickname, font;
};

struct DbResult {
    long records = 0, mains = 0, subs = 0;
    long buckets = 0, secondLevel = 0;  // directory size; 0 buckets = no directory
    std::string why;                    // why there is no directory
    uint32_t size = 0;
};

bool Db_Write(const DbSource &src, const DbOptions &opt, const char *path, DbResult *result);

// ---- Catalogue ------------------------------------------------------------------------------------
// Names the language drivers found beside this program in the language keys of the current user.
void Db_RegisterDrivers(void);
// Registers the file in the catalogue (and as the default of its charset); 1 when written.
bool Db_Register(const DbOptions &opt, const char *path, bool makeDefault);
// Makes a registered dictionary one that the pop-up looks words up in: it joins the pop-up group
// (DB_POPUP_GROUP, made when missing) and takes the slot (1 to 5) of the current translation
// set's pop-up entry for its charset (the set DB_POPUP_SET is made current when none is).  Running
// it again changes nothing.  1 when the group and the set were written.
#define DB_POPUP_GROUP "Pop-up dictionaries"
#define DB_POPUP_SET "Standard"
bool Db_AddToPopup(const DbOptions &opt, DWORD slot);

#endif
