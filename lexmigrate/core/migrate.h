// The upgrade core of Lexmigrate: the built-in tables, the scans of the older versions' settings,
// file matching, the upgrade patch, the copies, the catalogue entry and the language
// registration.  Nothing here creates a window: every question, text and progress mark goes
// through the MigrateHost that the caller hands in (the program's window thread and dialogs, or a
// scripted host in the tests).  All functions run on the caller's thread.
#ifndef LEXMIGRATE_CORE_MIGRATE_H
#define LEXMIGRATE_CORE_MIGRATE_H

#include <windows.h>

#include <vector>

#include "basekit.h"

// ---- Built-in tables ---------------------------------------------------------------------------

// A known old dictionary file: identified by its name (without case) and its exact size.
struct KnownFile {
    char name[64];
    DWORD product;        // the old edition
    DWORD newId;          // the version-4 dictionary id, also the string id of its title
    DWORD size;           // exact size in bytes; 0 ends the table
    DWORD flags;          // KNOWN_SUM_CHECK
    char reserved[336];
};
static_assert(sizeof(KnownFile) == 416, "known-file rows are 416 bytes");

// The first of two rows with one name and size: the file must also have a non-zero sum of the 8
// bytes at KNOWN_SUM_OFFSET, else the next row applies.
#define KNOWN_SUM_CHECK 1
#define KNOWN_SUM_OFFSET 6500016u

// A dictionary that can be upgraded from the CD-ROM although no older version was installed.
struct AdditionalDic {
    DWORD newId;          // also the string id of its title
    char name[64];
};
static_assert(sizeof(AdditionalDic) == 68, "additional rows are 68 bytes");

// The upgrade patch of one old edition; a row whose new id is 0 ends the table.
struct VLPatchRow {
    char name[64];        // "VLV40001.wup" to "VLV40040.wup"
    DWORD product;
    DWORD newId;
};
static_assert(sizeof(VLPatchRow) == 72, "patch rows are 72 bytes");

// The tables, each ending with its end row (not counted).
const KnownFile *Migrate_KnownFiles(int *count);
const AdditionalDic *Migrate_AdditionalDics(int *count);
const VLPatchRow *Migrate_PatchRows(int *count);
// The patch row of an edition, null when it has none.
const VLPatchRow *Migrate_FindPatchRow(DWORD product, DWORD newId);
// "VLV4%04x.bdf" of the new id (lower-case hexadecimal) into out (cap bytes).
void Migrate_BaseFileName(DWORD newId, char *out, int cap);
// True when some row of the known-file table has this file name (without case).
bool Migrate_IsKnownName(const char *fileName);
// True for the dictionaries that are never asked for on the CD-ROM.
bool Migrate_IsExcepted(const char *title, const char *fileName);
// True for a version-3 engine library whose dictionaries are not upgraded here.
bool Migrate_IsSkippedEngine(const char *dllName);

// ---- Strings of the program (the same ids in the English and Japanese resources) ---------------
enum {
    IDS_MIG_CAPTION = 1,        // window and copy-dialog caption
    IDS_MIG_NOTIFY = 2,         // caption of the stop question
    IDS_MIG_STOP = 3,
    IDS_MIG_NAME = 5,           // "%s": a message file's title
    IDS_MIG_INSERT_CD = 6,      // "%s": the dictionary's name
    IDS_MIG_RESTART = 10,
    IDS_MIG_NOW_UPGRADING = 13, // "%s"
    IDS_MIG_PRODUCT = 15,
    IDS_MIG_DICTIONARY = 16,    // "Dictionary " before a file name
    IDS_MIG_OVERWRITE_CAPTION = 18,
    IDS_MIG_OVERWRITE = 19,
    IDS_MIG_USERDIC_CAPTION = 20,
    IDS_MIG_USERDIC = 21,
    IDS_MIG_RUNNING_CAPTION = 22,
    IDS_MIG_RUNNING = 23,
    IDS_MIG_NONE = 24,
    IDS_MIG_EXIT = 25,
    IDS_MIG_MORE_CAPTION = 27,
    IDS_MIG_MORE = 28,
    IDS_MIG_PREPARING = 29,
    IDS_MIG_COPYING = 30,
};

// ---- Where things are ----------------------------------------------------------------------------

// Every folder ends with a backslash; an empty text means unknown.
struct MigrateEnv {
    char installFolder[MAX_PATH];  // InstallPath of ...\6.0 (machine store)
    char v3Folder[MAX_PATH];       // "Velomira Dir" of ...\3.0\Install, then "Program"
    char oldSettings[MAX_PATH];    // the version-2 settings file Velomira.ini
    char v2Folder[MAX_PATH];       // "Path" of its section "System Config"
    char cdFolder[MAX_PATH];       // root of the chosen CD-ROM drive
};

// Fills env from the machine store and the old settings file; cdFolder is left as it is.  False
// when the install folder cannot be read.
bool Migrate_ReadEnvironment(MigrateEnv *env);
// The version-2 settings file: \Velomira.ini in the Windows folder, else beside this program;
// false (out emptied) when there is none.
bool Migrate_FindOldSettings(char *out);

// One drive the user may take the CD-ROM from: "X:" and the folder that stands for its root.
struct MigrateDrive {
    char name[4];
    char root[MAX_PATH];
};
// The CD-ROM drives (and network drives when withNetwork), A to Z.  When the environment variable
// LEXMIGRATE_DRIVES is set ("D=C:\folder;E=C:\other"), its entries are the CD-ROM drives instead
// and no real drive is looked at.
std::vector<MigrateDrive> Migrate_ListDrives(bool withNetwork);
// The root folder (with a backslash) of the drive named "X:"; empty when unknown.
void Migrate_DriveRoot(const char *name, char *out);

// The catalogue key of a version-4 dictionary id ("<root>\%08x"; the root as the engine takes it).
void Migrate_CatalogueKey(DWORD id, char *out);
// True when the version-4 catalogue names an existing file for the id (through the settings
// layer, else in the machine store); its path in out (may be null).
bool Migrate_UsableFile(const MigrateEnv *env, DWORD id, char *out);

// ---- The host: questions, texts, progress ---------------------------------------------------------

enum { MIGRATE_CD_OK = 1, MIGRATE_CD_SKIP = 2, MIGRATE_CD_CANCEL = 3 };

struct MigrateHost {
    void *context;
    // The text of a string id into buf (cap bytes); its length, 0 when missing.
    int (*loadText)(void *context, UINT id, char *buf, int cap);
    // A Yes/No question (topmost): IDYES or IDNO.
    int (*askYesNo)(void *context, UINT textId, UINT captionId);
    // A note with an OK button.
    void (*note)(void *context, UINT textId, UINT captionId);
    // Asks for the CD-ROM holding name: MIGRATE_CD_OK with the chosen drive's root in cdFolder,
    // MIGRATE_CD_SKIP or MIGRATE_CD_CANCEL (not yet confirmed).
    int (*askCd)(void *context, const char *name, char *cdFolder);
    // The additional dictionary the user chose among titles: its index, or -1 for Close.
    int (*chooseAdditional)(void *context, const std::vector<const char *> &titles);
    void (*status)(void *context, const char *text);
    void (*progress)(void *context, int percent);
    // Guards the replacement of a dictionary file and its catalogue entry.  enterReplace answers
    // false when the program is ending: the replacement is then not made.
    bool (*enterReplace)(void *context);
    void (*leaveReplace)(void *context);
    // True once the program is ending: every later question answers Skip, No or Close.
    bool (*stopping)(void *context);
    // Starts a program without waiting (null: CreateProcess); false when it did not start.
    bool (*run)(void *context, const char *commandLine);
    // Progress of the copies (null: Basekit's copy dialog).
    BasekitCopyProgress copyProgress;
    void *copyContext;
};

// ---- Records of a run ---------------------------------------------------------------------------

struct UpgradeRecord {
    char fileName[MAX_PATH];
    char title[64];
    char path[MAX_PATH];      // where the file was found
    int version;              // 2 or 3; 0 for an additional dictionary
    DWORD priority;
    bool matched;
    bool present;             // the version-4 catalogue already had a usable file
    DWORD product;
    DWORD newId;
    bool upgraded;
};

struct MatchedRow {
    KnownFile row;
    char title[64];
};

struct Migration {
    MigrateEnv env = {};
    const MigrateHost *host = nullptr;
    std::vector<UpgradeRecord> records;
    std::vector<MatchedRow> matched;
    bool userNoteShown = false;
    bool aborted = false;     // a confirmed Cancel: the run ends
};

// ---- Steps --------------------------------------------------------------------------------------

// Kinds of Migrate_FindFile: where to look.
enum { FIND_V3 = 1, FIND_V2 = 2, FIND_CD = 3 };
// Looks for the record's file (kinds 1 and 2: folder + name; kind 3: the first file of the name in
// folder or any sub-folder) and matches it against the known-file table by name and exact size.
// True when matched; the record then holds the path, product, new id and the matched flag.
bool Migrate_FindFile(Migration *m, UpgradeRecord *r, int kind, const char *folder);
// The first file called name in folder or below (the platform's search, then sub-folders in
// directory order); false when there is none.
bool Migrate_SearchUnder(const char *folder, const char *name, char *out);

// The title that a message file beside the dictionary gives ("<path>.msg", section Message: key
// jpn under code page 932 with \xHH escapes, else enu); false when there is none.
bool Migrate_MessageTitle(const char *dicPath, UINT codePage, char *title, int cap);
// Turns every "\x" with one or two hexadecimal digits into that byte; other text is kept.  The
// length written (out is terminated within cap).
int Migrate_DecodeEscapes(const char *in, char *out, int cap);

// Scans of the older versions: every record found is upgraded at once or asked for on the CD.
void Migrate_ScanV3(Migration *m);
void Migrate_ScanV2(Migration *m);
// Asks for the CD-ROM with text until found(m, user) holds: MIGRATE_CD_OK; MIGRATE_CD_SKIP when
// Skip is pressed; MIGRATE_CD_CANCEL (m->aborted set) after a confirmed Cancel or when the program
// is ending.  Each OK makes the chosen drive the CD folder.
int Migrate_AskUntilFound(Migration *m, const char *text, bool (*found)(Migration *, void *),
                          void *user);
// Asks for the CD-ROM holding the record until it is found there and upgraded, Skip is pressed or
// a Cancel is confirmed (m->aborted).
void Migrate_AskAndUpgrade(Migration *m, UpgradeRecord *r, const char *label);
// The offer of the additional dictionaries that have no usable version-4 file.
void Migrate_OfferAdditional(Migration *m);
// True when some matched record exists (the run then ends with its summary).
bool Migrate_AnyMatched(const Migration *m);

// Results of Migrate_Upgrade.
enum {
    UPGRADE_DONE = 1,        // upgraded and entered
    UPGRADE_PRESENT = 2,     // the catalogue already had it: nothing done
    UPGRADE_SKIPPED = 3,     // not matched, no patch row, or the user skipped it
    UPGRADE_FAILED = 4,      // a copy, the patch or the switch failed: nothing changed
    UPGRADE_CANCELLED = 5,   // a confirmed Cancel: the run ends
};
int Migrate_Upgrade(Migration *m, UpgradeRecord *r);

// ---- The patch file -------------------------------------------------------------------------------

#define PATCH_HEADER_SIZE 72
#define PATCH_MAX_LANGUAGES 16

struct VLPatchHeader {
    char magic[8];                    // "VLV4DIFF", followed by a zero byte (the first
    DWORD languages[PATCH_MAX_LANGUAGES]; // language code's low byte); the list ends at a 0
};
static_assert(sizeof(VLPatchHeader) == PATCH_HEADER_SIZE, "the patch header is 72 bytes");

enum {
    PATCH_OK = 0,
    PATCH_OPEN_FAILED = 1,   // the old file, the patch or the base file cannot be opened
    PATCH_BAD_HEADER = 2,    // short header or no "VLV4DIFF\0"
    PATCH_BAD_RECORD = 3,    // a record head or its data is cut off
    PATCH_READ_FAILED = 4,   // the old file has fewer bytes than a record names
    PATCH_WRITE_FAILED = 5,
};
// Reads the header; PATCH_OK with the language codes (up to 16, ending at the first 0) in
// languages and their number in count.
int Migrate_ReadPatchHeader(const char *patchPath, DWORD *languages, int *count);
// Applies the patch: for each record (offset, length, data) the base file's bytes at offset
// become the old file's bytes there XOR the data.  The base file must exist.  A result of PATCH_*.
int Migrate_ApplyPatch(const char *oldPath, const char *patchPath, const char *basePath);

// Copies source to target through the LZ expansion functions (a compressed file is expanded).
// A failed copy leaves no target.  True when copied whole.
bool Migrate_LzCopy(const char *source, const char *target);

// ---- Catalogue and languages ----------------------------------------------------------------------

// Writes the catalogue entry of an upgraded dictionary through the settings layer: FileName (the
// full path), Name, and one sub-key "01", "02", ... per language code with LangID.  True when
// every value was written.
bool Migrate_WriteCatalogue(DWORD newId, const char *path, const char *name, const DWORD *languages,
                            int count);
// The language and script of the Chinese dictionaries (0x0200 vlchs.reg, 0x0300 vlcht.reg); false
// for every other id.
bool Migrate_ChineseLanguage(DWORD newId, DWORD *language, const char **script);
// Registers the language of a Chinese dictionary when the machine store lacks it and the script
// is in the install folder: runs "regedit /s <short install folder><script>".  True when started.
bool Migrate_RegisterLanguage(Migration *m, DWORD newId);

// ---- Small helpers --------------------------------------------------------------------------------

// Copies at most cap - 1 bytes and terminates.
void Migrate_Copy(char *out, const char *in, size_t cap);
// The text of string id formatted with one string argument.
void Migrate_Format(const Migration *m, UINT id, const char *arg, char *out, int cap);
// The name to show for a record: its title, else string 16 and the file name.
void Migrate_DisplayName(const Migration *m, const UpgradeRecord *r, char *out, int cap);
bool Migrate_FileExists(const char *path);
// Debugger output of one line.
void Migrate_Trace(const char *format, ...);

#endif
