// The dictionary finder's parts: the found records and the run's state, discovery (drive table,
// walk, the three recognisers, book catalogues, engine probe), registration of what was found
// (scripts, languages, colours, group 1, the five kinds) and the progress box.  The windows of the
// program (frame and dialogs) live in the files named *_dlg.cpp and frame.cpp; everything declared
// here works without them, behind the questions of FinderUi.
#ifndef LEXFINDER_FINDER_INT_H
#define LEXFINDER_FINDER_INT_H

#include <windows.h>
#include <stdint.h>

#include <string>
#include <vector>

// ---- Found records --------------------------------------------------------------------------------
enum {
    FINDER_KIND_DIC = 1,     // version-4 dictionary file (file id below 0xF000)
    FINDER_KIND_ADDON = 2,   // add-on (user) dictionary file (file id 0xF000 or above)
    FINDER_KIND_ENGINE = 3,  // dictionary served by an outside engine library
    FINDER_KIND_BOOK = 4,    // EPWING book
    FINDER_KIND_INDEX = 6,   // book index that needs conversion
};

// What to look for: the drive options' kind switches.
enum {
    FINDER_SEARCH_DICS = 0x10,
    FINDER_SEARCH_BOOKS = 0x20,
    FINDER_SEARCH_ENGINES = 0x40,
    FINDER_SEARCH_INDEXES = 0x80,
    FINDER_SEARCH_ALL = 0xF0,
};

#define FINDER_PATH 1024
#define FINDER_MAX_DRIVES 26
#define FINDER_CANCEL_MESSAGE 0x8000  // thread message: the progress box was cancelled
#define FINDER_CLOSE_MESSAGE 0x8001   // window message: the progress box closes

// One found dictionary.  A record whose name is empty counts as removed.  The size is 64-bit: the
// files below a book's folder may sum to more than 2 GB.
struct VLFoundDic {
    char name[256];
    char path[FINDER_PATH];         // the file found (kind 3: the finder's folder and the library;
                                    // kind 4: the book folder's Data\Honmon)
    char catalogPath[FINDER_PATH];  // kind 4: the CATALOGS file that names the book
    char targetPath[FINDER_PATH];   // where registration put it
    int32_t kind;
    int32_t id;                     // file id; engine script number; book position; 1
    int64_t size;                   // bytes; kind 3: 1000
};

// One row of the engine probe table: an engine dictionary the finder knows how to register.
struct FinderEngineRow {
    DWORD fileId;
    DWORD script;      // number of its ENGINE_INFO script resource
    WORD language1;
    WORD language2;
};

// One run of the finder.
struct VLFinderState {
    std::vector<VLFoundDic> found;
    char myDicFolder[FINDER_PATH];
    int unattended;
    DWORD search;                   // FINDER_SEARCH_* switches of this run
    int cancelled;                  // the scan was cancelled
    int registered;                 // a record of kind 1, 2, 3, 4 or 6 was handed to registration
    int overwriteForAll;            // the overwrite question's answer holds for the rest of the run
    int overwriteAnswer;            // IDYES or IDNO
    UINT uiCharset;                 // the user interface's charset (128: Japanese texts)
    char programFolder[MAX_PATH];   // names files, Idxconvert.exe and the engine libraries
    HMODULE resources;              // module with the scripts and the title-word strings
    const FinderEngineRow *engines; // engine probe table and its row count
    int engineCount;
    HWND owner;                     // owner of the questions (may be null)
    char copyCaption[300];          // texts of the copy progress box of the record in hand
    char copyMessage[300];
};

// Questions and seams.  The program sets the dialogs; tests answer them without windows and inject
// the real-path lookup.  Null members take the defaults noted.
struct FinderUi {
    // The overwrite question for an existing target: IDYES or IDNO, *sameForRest when the user
    // wants the answer to hold for the rest of the run.  Null: IDYES.
    int (*askOverwrite)(HWND owner, const char *path, int *sameForRest);
    // A name for a book (256 bytes, in and out); 0 when cancelled.  Null: 0.
    int (*askTitle)(HWND owner, char *name);
    // The folder name for a copied book (256 bytes, in and out) below myDic; 0 when cancelled.
    int (*askFolderName)(HWND owner, const char *title, const char *myDic, char *name);
    // The real path behind a drive root ("X:\"), at most cap bytes; 0 for none.  Null: the platform.
    int (*realPath)(const char *root, char *out, int cap);
    // Called with every entry of the walk before the cancel check (tests).
    void (*onEntry)(const char *path);
    // Whether the progress box is shown (scan and conversion).
    int progressBox;
};
extern FinderUi g_finderUi;

// ---- State ----------------------------------------------------------------------------------------
// Zeroes the state and fills the defaults: the program's folder and module, the UI charset, the
// built-in engine table, all four switches.
void Finder_InitState(VLFinderState *st);
// Appends a record; the new record.
VLFoundDic *Finder_AddRecord(VLFinderState *st, const VLFoundDic &rec);
// The default My Dictionary folder: "My Dictionary" in the parent of the program's folder (at the
// root of the drive for a program at a drive root).
void Finder_DefaultMyDicFolder(const char *programFolder, char *out);
// Copies text into out (cap bytes, always terminated).
void Finder_Copy(char *out, const char *text, size_t cap);
// Folder of a path (no trailing backslash) and its last component.
std::string Finder_FolderOf(const std::string &path);
std::string Finder_NameOf(const std::string &path);
bool Finder_Exists(const std::string &path);
bool Finder_IsFolder(const std::string &path);

// ---- Drives ---------------------------------------------------------------------------------------
struct FinderDrive {
    char root[MAX_PATH];            // "X:\" (or, for tests, a folder)
    char realPath[FINDER_PATH];
};
// The roots of a drive list ("C:\;D:\;"), at most FINDER_MAX_DRIVES.
std::vector<std::string> Finder_ParseDriveList(const char *list);
// The drive table of a list with each drive's real path.
std::vector<FinderDrive> Finder_DriveTable(const char *list);
// True when drive i is only a folder of another drive of the table (its real path holds another
// drive's root) and need not be walked.
bool Finder_DriveCovered(const std::vector<FinderDrive> &table, size_t i);
// The logical drives as a drive list; LEXFINDER_DRIVES in the environment replaces them (tests).
std::string Finder_LogicalDrives();
// The unattended run's drive list: the root of the program's drive (the first of
// LEXFINDER_DRIVES when set) followed by ";".
std::string Finder_ProgramDriveList(const char *programFolder);

// ---- Walk -----------------------------------------------------------------------------------------
// Called for every entry below a folder: its full path, its find data, and whether it is a folder
// (reported before it is walked).  0 stops the walk.
typedef int (*FinderWalkProc)(const char *path, const WIN32_FIND_DATAA *data, int folder, void *user);
// Walks folder recursively; 1 when every entry was reported, 0 when the folder cannot be entered or
// the callback stopped the walk.  A subfolder that cannot be entered is passed over.
int Finder_Walk(const char *folder, FinderWalkProc proc, void *user);
// Sum of the sizes of every file below folder.
int64_t Finder_FolderSize(const char *folder);

// ---- Book catalogues (CATALOGS) -------------------------------------------------------------------
struct FinderBook {
    BYTE type[2];
    char title[96];                 // Shift-JIS, trailing blanks removed
    char folder[9];                 // trailing blanks removed
    WORD indexPage;                 // block of the index page in the body file (1-based)
    char fonts[8][9];               // external-character font files; empty when absent
};
// Reads a CATALOGS file; false when it cannot be read whole or its second head number is above 64.
bool Finder_ReadCatalogs(const char *path, std::vector<FinderBook> *books);
// Parses the bytes of a CATALOGS file (the same rules).
bool Finder_ParseCatalogs(const std::string &bytes, std::vector<FinderBook> *books);
// JIS X 0208 two-byte codes (n bytes) as Shift-JIS, trailing blanks removed, pairs outside the
// JIS range left out, stopping at a zero byte.
std::string Finder_JisToSjis(const BYTE *jis, size_t n);
// The body file of book number `index` of a CATALOGS file: "<folder>\<book>\Data\Honmon".
std::string Finder_BookBodyPath(const char *catalogPath, const FinderBook &book);
// True when a catalogue entry below the dictionary root has this FileName (without case).
bool Finder_PathRegistered(const char *path);

// ---- Recognisers (called by the scan; each adds at most one record per book or file) -----------
void Finder_RecogniseDic(VLFinderState *st, const char *path, int64_t size);
void Finder_RecogniseCatalogs(VLFinderState *st, const char *path);
void Finder_RecogniseIndex(VLFinderState *st, const char *path, int64_t size);

// ---- Names files ----------------------------------------------------------------------------------
// The names file for the UI charset in the program's folder.
std::string Finder_NamesFile(const VLFinderState *st);
// A value of the file key (sub 0) or of sub-dictionary sub (1 to 10) from the names file; "" when
// missing.
std::string Finder_NamesValue(const VLFinderState *st, DWORD fileId, int sub, const char *value);

// ---- Scan -----------------------------------------------------------------------------------------
// Walks the drives of the list (and probes the engines when that switch is on) with the progress
// box; the number of records, or -1 when cancelled.
int Finder_Scan(VLFinderState *st, const char *driveList);
// Takes one waiting cancel message of this thread; true when there was one.
bool Finder_TakeCancel();
// The built-in engine probe table.
extern const FinderEngineRow g_finderEngines[];
extern const int g_finderEngineCount;
const FinderEngineRow *Finder_EngineRow(const VLFinderState *st, DWORD script);
// Probes every row of the table that is not registered yet; -1 when cancelled, else the number of
// records added.  box may be null.
struct FinderBox;
int Finder_ProbeEngines(VLFinderState *st, FinderBox *box);

// ---- Progress box (a modal dialog on its own thread) --------------------------------------------
enum { FINDER_BOX_SEARCH = 0, FINDER_BOX_CONVERT = 16 };
struct FinderBox {
    HWND window;
    HANDLE thread;
    void *shared;   // the record the box's thread shares with this one
};
// Starts the box for the working thread (this one) and waits up to 3 s for its window; false when
// no box came (the work goes on without it).
bool FinderBox_Start(FinderBox *box, int mode);
void FinderBox_SetRange(FinderBox *box, int maximum);
void FinderBox_Step(FinderBox *box);
// Closes the box (0x8001) and waits for its thread.
void FinderBox_End(FinderBox *box);

// ---- Registration ---------------------------------------------------------------------------------
// Registers one record, copying it into the My Dictionary folder when copy is set; 1 done, 0 not.
int Finder_Register(VLFinderState *st, VLFoundDic *rec, int copy);
// Registers every record in turn (the result window's order); the number done.
int Finder_RegisterAll(VLFinderState *st, const std::vector<int> &rows, int copy);
// Writes a script resource (type, number) to a new temporary file; false when it cannot.
bool Finder_ScriptToFile(const VLFinderState *st, const char *type, UINT number, std::string *file);
// Starts "regmerge.exe /im <file>" and waits for it to end; false when it cannot start.
bool Finder_MergeScript(const std::string &file);
// Merges the language's scripts unless the language is registered already.
void Finder_EnsureLanguage(const VLFinderState *st, WORD language);
// A colour that no sub-dictionary of the catalogue has (up to 0xFFFF draws).
DWORD Finder_NewColour();
// The draw of Finder_NewColour: three random numbers into one colour; tests replace the generator.
extern int (*g_finderRandom)(void);
// Adds the dictionary id to group 1 (creating the group); the insert's result.
int Finder_AddToGroup1(DWORD dicId);
// Copies source to target, asking first when target exists (No counts as done without copying);
// the copy's result.  The copy is made writable.
int Finder_CopyWithQuestion(VLFinderState *st, const char *source, const char *target);
// Creates every level of a folder; false (with message 2341 when a level is a file) when it cannot.
bool Finder_CreateFolder(const char *folder, bool quiet);
// Language pairs of a book (kind 4 rules): language code and label per pair.
struct FinderPair {
    WORD language;
    std::string label;
};
std::vector<FinderPair> Finder_BookPairs(const VLFinderState *st, const FinderBook &book,
                                         const char *bodyPath);
// Byte offset of word inside text, stepping over double-byte characters; -1 when absent.
int Finder_FindSjis(const char *text, const char *word);
// Registers a found book (kind 4).
int Finder_RegisterBook(VLFinderState *st, VLFoundDic *rec, int copy);
// A free book key id (0xD000 to 0xDFFF); 0 when every one is taken.  keyExists is a seam for tests.
extern bool (*g_finderKeyExists)(const char *path);
DWORD Finder_FreeBookId();

// ---- Drive options and the result window's texts (no windows) ------------------------------------
// What the drive options' OK makes of the rows: the scan's drive list and the SearchDrive value to
// store (save false: leave it).  checked[i] per row of roots.
struct FinderDriveChoice {
    std::string list;               // empty with `none`
    bool none = false;              // nothing chosen: nothing is searched
    bool save = false;
    std::string stored;
};
FinderDriveChoice Finder_ChooseDrives(bool chosenMode, const std::vector<std::string> &roots,
                                      const std::vector<bool> &checked);
// The rows checked at start for a stored SearchDrive value (upper-cased containment).
std::vector<bool> Finder_InitialChecks(const std::vector<std::string> &roots, const char *stored);
// A byte count as string 2319 (1 GB and more, in GB) or 2320 (in MB) with hundredths.
std::string Finder_FormatSize(uint64_t bytes);
// The two units and hundredths that the size strings take.
void Finder_SizeParts(uint64_t bytes, bool *gigabytes, unsigned *units, unsigned *hundredths);
// The frame's exit code for a run.
inline int Finder_ExitCode(const VLFinderState *st) { return st->registered ? 1 : 0; }

// Settings of the finder below the dictionary root.
#define FINDER_SETUP_KEY "Setup"
void Finder_SetupKey(char *out);

#endif
