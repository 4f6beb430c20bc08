/* Prefstore: the option manager of the suite.
 *
 * Every option record of the suite is a fixed-size buffer that the caller provides; a loader
 * fills it from the settings layer of Basekit and a saver writes it back.  The value names,
 * sections and packings below SOFTWARE\Halvenstone\Velosuite\4.0 are decided here and nowhere
 * else.  Loaders first fill the whole record with zeros, so a value that was never stored reads
 * 0 or an empty string; savers write every value the loader reads.  Positions and sizes are kept
 * as one 32-bit value per pair: the first member in the low 16 bits, the second in the high 16
 * bits, each sign-extended on load.  Records carry no size field and no version.
 *
 * Beside the records: the capture restriction list (switches in the settings, applications in
 * the text file vlwndctl.dat beside the running program), applying view options to an entry
 * viewer, reading a window's placement, and the program's shortcuts.
 * Exported by ordinal only. */
#ifndef PREFSTORE_H
#define PREFSTORE_H

#include "recordcheck.h"
#include <windows.h>
#include <stddef.h>

#include "rowkit.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Records ------------------------------------------------------------------------------ */

/* The common head of the pop-up, search, translation and study window options. */
typedef struct ViewOptions {
    COLORREF BackGroundColor;  /* background of the entry view */
    int FontSize;
    int UseRichText;           /* show entries with their styles */
    int EnableLineFeed;        /* line breaks inside entries are shown */
    int EnableLayer;           /* entry sections (layers) are used */
    int UseLayer;              /* stored only; not sent to the viewer */
    int OpenLayer;             /* layer opened first */
    int DispStyle;
} ViewOptions;

/* Start-up switches (sections Icon and StartUp). */
typedef struct StartupOptions {
    int StartUp;               /* shortcut in the Startup folder */
    int QuickLauncher;         /* shortcut in Quick Launch */
    int DeskTop;               /* shortcut on the desktop */
    int LargeIcon;
    int ToolTip;
    int SaveLastStatus;        /* keep the switches below at exit */
    int Pointer;               /* mouse capture on */
    int Keyboard;
    int Hotkey;
    int ClipBoard;
    int ControlBar;
    int Search;
    int Translate;
    int StudyIt;
    int EnableTextToSpeech;
    int EnableRealAudio;
    int QuitShowGraph;         /* show the usage graph on quitting */
    char TranslationSet[64];
} StartupOptions;

/* Capture (section Translation, four values in Window\PopupWindow). */
typedef struct CaptureOptions {
    int MouseTimer;            /* delay of the mouse-stop timer, milliseconds */
    int PopupPos;
    int ListMode;
    int NoDispWhenNoCandidate; /* no pop-up when nothing was found */
    int PopupToSearch;         /* mouse lookups go to the search station */
    int CaptureNoKey;
    int CaptureShift;
    int CaptureCtrl;
    int CaptureShiftCtrl;
    int UpperCaptureLine;      /* extra lines above */
    int LowerCaptureLine;      /* extra lines below */
    int KeyboardTimer;
    int IntelliWord;
    int SpellCheck;
    int HotkeyTranToPopupWindow;
    int ClipboardTranToTranWindow;
} CaptureOptions;

/* Candidate list (section Window\CandidateList). */
typedef struct CandidateListOptions {
    int SortByLength;          /* sort mode of search hits, 0 to 3 */
    COLORREF Perfect;          /* colours of the match grades */
    COLORREF Good;
    COLORREF Average;
    COLORREF Bad;
} CandidateListOptions;

/* Hot keys (section Hotkey): each word holds the virtual key in its low byte and the modifier
 * flags of the system's hot-key registration in its high byte (1 Alt, 2 Ctrl, 4 Shift); 0 means
 * no hot key. */
typedef struct HotkeyOptions {
    int Use;
    WORD Menu;
    WORD PauseMouse;
    WORD PauseKB;
    WORD PauseHotkey;
    WORD TranHotkey;
    WORD PauseCB;
    WORD Search;
    WORD Translate;
    WORD Setup;
    WORD StudyIt;
    WORD Exit;
} HotkeyOptions;

/* Control bar (section Customize). */
typedef struct ControlBarOptions {
    int ControlBarMode;
    int ControlBarCustomize;
    int ControlBarFlag;        /* bit mask of the buttons shown */
    BYTE Reserved[260];        /* neither read nor written: zero after loading */
    int CtlBarIcon;
} ControlBarOptions;

/* Cross search inside the entry viewer (section CrossSearch). */
typedef struct CrossSearchOptions {
    int Trigger;               /* 2 and 3 name two trigger kinds, any other value the mouse stop */
} CrossSearchOptions;

/* Pop-up window (section Window\PopupWindow; SkinFolderName in section StartUp). */
typedef struct PopupWindowOptions {
    ViewOptions View;
    int UseSkin;
    char SkinFolderName[260];  /* full path of the chosen skin description */
    int ToolBar;
    int StatusBar;
    int Fixed;
    int ClickShowList;
    int FixedSize;
} PopupWindowOptions;

typedef struct PopupWindowLayout {
    int x, y;                  /* "Pos" */
    int cx, cy;                /* "Size" */
} PopupWindowLayout;

/* One web link of the search window: a list ends with an entry whose Name is empty. */
typedef struct WebLink {
    char Name[260];
    char Address[260];
} WebLink;

/* Search window (section Window\SearchWindow; web links in its subsection Web). */
typedef struct SearchWindowOptions {
    ViewOptions View;
    WebLink *WebList;          /* owned by Prefstore: release with Prefstore_FreeWebList */
    int CurItem;
    int MaxData;
    int DictionaryID;
} SearchWindowOptions;

typedef struct SearchWindowLayout {
    int cx, cy;                /* "Size" */
    int x, y;                  /* "Pos" */
    int WindowMaximised;
    int Ratio1, Ratio2, Ratio3, Ratio4;
    int LastPage;
    int SearchOption;
    int SearchType;
    int Incremental;
    int RebarCx, RebarCy;      /* "RebarSize" */
    int ToolBarIndex;
    int ToolBarWidth;
    int DicBarIndex;
    int DicBarWidth;
} SearchWindowLayout;

/* Translation window (section Window\TranslationWindow; SearchOption, SearchType and Incremental
 * are shared with the search window's section). */
typedef struct TranslationWindowOptions {
    ViewOptions View;
    int MaxData;
    int PlaySound;
    int DictionaryID;
    int AddAllWords;
} TranslationWindowOptions;

typedef struct TranslationWindowLayout {
    int cx, cy;                /* "Size" */
    int x, y;                  /* "Pos" */
    int WindowMaximised;
    int Column1, Column2, Column3, Column4; /* 1 and 3 packed in "Column#1", 2 and 4 in "Column#2" */
    int Unstored[3];           /* neither read nor written */
    int SearchOption;
    int SearchType;
    int Incremental;
    int RebarCx, RebarCy;      /* "RebarSize" */
    int ToolBarIndex;
    int ToolBarWidth;
    int DicBarIndex;
    int DicBarWidth;
} TranslationWindowLayout;

/* Study-list window (section Window\StudyIt). */
typedef struct StudyWindowOptions {
    ViewOptions View;
    int MaxData;
} StudyWindowOptions;

typedef struct StudyWindowLayout {
    int cx, cy;                /* "Size" */
    int x, y;                  /* "Pos" */
    int ViewerCx, ViewerCy;    /* "ViewerSize" */
    int ViewerX, ViewerY;      /* "ViewerPos" */
    int Ratio1;
    int Column1, Column2, Column3, Column4;
    int WindowMaximised;
    int ViewerMaximized;
} StudyWindowLayout;

/* Window records without options. */
typedef struct ControlBarWindowLayout {   /* Window\ControlBar */
    int x, y;                  /* "Pos" */
    char Show[64];
} ControlBarWindowLayout;

typedef struct SetupWindowLayout {        /* Window\SetupWindow */
    int cx, cy;                /* "Size" */
    int x, y;                  /* "Pos" */
    int Ratio1;                /* saved as its low 16 bits, like the columns */
    int Column1, Column2, Column3, Column4, Column5, Column6;
    int WindowMaximised;
} SetupWindowLayout;

typedef struct OptionWindowLayout {       /* Window\OptWin */
    int x, y;                  /* "Pos" */
} OptionWindowLayout;

typedef struct SpeechWindowOptions {      /* Window\TTSWin */
    int Pitch;
    int Speed;
    int Volume;
    int Mode;
} SpeechWindowOptions;

typedef struct SpeechWindowLayout {
    int x, y;                  /* "Pos" */
    int cx, cy;                /* "Size" */
    int WindowMaximised;
} SpeechWindowLayout;

typedef struct WordManagerWindowLayout {  /* Window\WordMan */
    int x, y;                  /* "Pos" */
    int cx, cy;                /* "Size" */
} WordManagerWindowLayout;

typedef struct HistoryWindowLayout {      /* Window\TranslationHistory below the 7.0 root */
    int cx, cy;                /* "Size" */
    int x, y;                  /* "Pos" */
    int WindowMaximised;
    int Column8Low, Column8High; /* "Column#8" */
    int Column1, Column2, Column3, Column4;
} HistoryWindowLayout;

/* ---- Capture restriction list -------------------------------------------------------------- */

/* One application of the list: Description is a zero-terminated text of any length that runs
 * past the declared array (one block of 4 + length + 1 bytes, owned by the list). */
typedef struct RestrictionEntry {
    int Excluded;              /* non-zero: no capture in this application */
    char Description[1];
} RestrictionEntry;

/* Switches in section Ristrict; Applications is a Rowkit list of RestrictionEntry items keyed by
 * the window class of the application's top-level window, in file order. */
typedef struct RestrictionList {
    int EnableAreaSelection;
    int Button;
    int ListBox;
    int DialogBox;
    int Menu;
    int EnableApplicationList;
    RowkitHandle Applications;
} RestrictionList;

#ifdef __cplusplus
/* Layouts that callers and stored data rely on. */
static_assert(sizeof(ViewOptions) == 32, "ViewOptions");
static_assert(sizeof(StartupOptions) == 132 && offsetof(StartupOptions, TranslationSet) == 68,
              "StartupOptions");
static_assert(sizeof(CaptureOptions) == 64, "CaptureOptions");
static_assert(sizeof(CandidateListOptions) == 20, "CandidateListOptions");
static_assert(offsetof(HotkeyOptions, Menu) == 4 && offsetof(HotkeyOptions, Exit) == 24 &&
              sizeof(HotkeyOptions) == 28, "HotkeyOptions");
static_assert(offsetof(ControlBarOptions, Reserved) == 12 &&
              offsetof(ControlBarOptions, CtlBarIcon) == 272 && sizeof(ControlBarOptions) == 276,
              "ControlBarOptions");
static_assert(sizeof(CrossSearchOptions) == 4, "CrossSearchOptions");
static_assert(offsetof(PopupWindowOptions, UseSkin) == 32 &&
              offsetof(PopupWindowOptions, SkinFolderName) == 36 &&
              offsetof(PopupWindowOptions, ToolBar) == 296 && sizeof(PopupWindowOptions) == 316,
              "PopupWindowOptions");
static_assert(sizeof(PopupWindowLayout) == 16, "PopupWindowLayout");
static_assert(sizeof(WebLink) == 520, "WebLink");
RECORD_CHECK_X86(offsetof(SearchWindowOptions, WebList) == 32 && sizeof(SearchWindowOptions) == 48,
              "SearchWindowOptions");
static_assert(offsetof(SearchWindowLayout, Ratio1) == 20 &&
              offsetof(SearchWindowLayout, RebarCx) == 52 && sizeof(SearchWindowLayout) == 76,
              "SearchWindowLayout");
static_assert(sizeof(TranslationWindowOptions) == 48, "TranslationWindowOptions");
static_assert(offsetof(TranslationWindowLayout, Column1) == 20 &&
              offsetof(TranslationWindowLayout, SearchOption) == 48 &&
              offsetof(TranslationWindowLayout, RebarCx) == 60 &&
              sizeof(TranslationWindowLayout) == 84, "TranslationWindowLayout");
static_assert(sizeof(StudyWindowOptions) == 36, "StudyWindowOptions");
static_assert(offsetof(StudyWindowLayout, Ratio1) == 32 && sizeof(StudyWindowLayout) == 60,
              "StudyWindowLayout");
static_assert(sizeof(ControlBarWindowLayout) == 72, "ControlBarWindowLayout");
static_assert(sizeof(SetupWindowLayout) == 48, "SetupWindowLayout");
static_assert(sizeof(OptionWindowLayout) == 8, "OptionWindowLayout");
static_assert(sizeof(SpeechWindowOptions) == 16 && sizeof(SpeechWindowLayout) == 20, "Speech");
static_assert(sizeof(WordManagerWindowLayout) == 16, "WordManagerWindowLayout");
static_assert(offsetof(HistoryWindowLayout, Column8Low) == 20 && sizeof(HistoryWindowLayout) == 44,
              "HistoryWindowLayout");
static_assert(offsetof(RestrictionEntry, Description) == 4, "RestrictionEntry");
RECORD_CHECK_X86(sizeof(RestrictionList) == 28, "RestrictionList");
#endif

/* ---- Program options ----------------------------------------------------------------------
 * Each loader zero-fills the record, then reads it; each saver writes every field and returns
 * 1 when every value was stored, 0 when a write failed.  The record pointer must not be null. */
void WINAPI Prefstore_LoadStartup(StartupOptions *options);
int WINAPI Prefstore_SaveStartup(const StartupOptions *options);
void WINAPI Prefstore_LoadCapture(CaptureOptions *options);
int WINAPI Prefstore_SaveCapture(const CaptureOptions *options);
void WINAPI Prefstore_LoadCandidateList(CandidateListOptions *options);
int WINAPI Prefstore_SaveCandidateList(const CandidateListOptions *options);
void WINAPI Prefstore_LoadHotkeys(HotkeyOptions *options);
int WINAPI Prefstore_SaveHotkeys(const HotkeyOptions *options);
void WINAPI Prefstore_LoadControlBar(ControlBarOptions *options);
int WINAPI Prefstore_SaveControlBar(const ControlBarOptions *options);
void WINAPI Prefstore_LoadCrossSearch(CrossSearchOptions *options);
int WINAPI Prefstore_SaveCrossSearch(const CrossSearchOptions *options);

/* ---- Window options and layouts ------------------------------------------------------------
 * Either pointer may be null and is then skipped (loaders leave that record untouched, savers
 * write none of its values).  Savers return 1 when every value was stored, 0 otherwise. */
void WINAPI Prefstore_LoadPopupWindow(PopupWindowOptions *options, PopupWindowLayout *layout);
int WINAPI Prefstore_SavePopupWindow(const PopupWindowOptions *options,
                                     const PopupWindowLayout *layout);
/* The loader allocates WebList (null when the Web subsection does not exist); a record that still
 * holds a list must be released with Prefstore_FreeWebList before it is loaded again, or the list
 * leaks.  The saver writes WebName/WebAddress 1, 2, ... up to the first entry with an empty Name
 * and deletes the numbered web values beyond the last one written; a null WebList writes and
 * deletes nothing. */
void WINAPI Prefstore_LoadSearchWindow(SearchWindowOptions *options, SearchWindowLayout *layout);
int WINAPI Prefstore_SaveSearchWindow(const SearchWindowOptions *options,
                                      const SearchWindowLayout *layout);
/* Frees options->WebList and sets it to null; a null record or list is ignored. */
void WINAPI Prefstore_FreeWebList(SearchWindowOptions *options);
void WINAPI Prefstore_LoadTranslationWindow(TranslationWindowOptions *options,
                                            TranslationWindowLayout *layout);
int WINAPI Prefstore_SaveTranslationWindow(const TranslationWindowOptions *options,
                                           const TranslationWindowLayout *layout);
void WINAPI Prefstore_LoadStudyWindow(StudyWindowOptions *options, StudyWindowLayout *layout);
int WINAPI Prefstore_SaveStudyWindow(const StudyWindowOptions *options,
                                     const StudyWindowLayout *layout);
void WINAPI Prefstore_LoadControlBarWindow(ControlBarWindowLayout *layout);
int WINAPI Prefstore_SaveControlBarWindow(const ControlBarWindowLayout *layout);
/* The setup window has no options of its own: the loader only sets *options (when given) to 0 and
 * the saver ignores it. */
void WINAPI Prefstore_LoadSetupWindow(int *options, SetupWindowLayout *layout);
int WINAPI Prefstore_SaveSetupWindow(const int *options, const SetupWindowLayout *layout);
void WINAPI Prefstore_LoadOptionWindow(OptionWindowLayout *layout);
int WINAPI Prefstore_SaveOptionWindow(const OptionWindowLayout *layout);
void WINAPI Prefstore_LoadSpeechWindow(SpeechWindowOptions *options, SpeechWindowLayout *layout);
int WINAPI Prefstore_SaveSpeechWindow(const SpeechWindowOptions *options,
                                      const SpeechWindowLayout *layout);
void WINAPI Prefstore_LoadWordManagerWindow(WordManagerWindowLayout *layout);
int WINAPI Prefstore_SaveWordManagerWindow(const WordManagerWindowLayout *layout);
void WINAPI Prefstore_LoadHistoryWindow(HistoryWindowLayout *layout);
int WINAPI Prefstore_SaveHistoryWindow(const HistoryWindowLayout *layout);

/* ---- Capture restriction list ---------------------------------------------------------------
 * The list is made by Prefstore_LoadRestrictions and released with Prefstore_FreeRestrictions,
 * which frees every entry, the Rowkit list and the record. */
/* A new record, never null: switches from the settings, applications from vlwndctl.dat beside
 * the running program when the file exists (a missing file leaves the list empty). */
RestrictionList *WINAPI Prefstore_LoadRestrictions(void);
/* Writes the six switches, then rewrites vlwndctl.dat with one "%d\t%s\t%s" line per entry in
 * list order (comments and ignored lines are lost).  0 when the file cannot be written (the file
 * is then left as it was); 1 otherwise. */
int WINAPI Prefstore_SaveRestrictions(const RestrictionList *list);
/* 1 when capturing in the application of that window class is allowed (no entry for the class,
 * or its Excluded is 0); 0 when its entry excludes it, or the record is null. */
int WINAPI Prefstore_FindRestriction(const RestrictionList *list, const char *className);
/* Frees the record; null is ignored. */
void WINAPI Prefstore_FreeRestrictions(RestrictionList *list);
/* 1 when the six switches, the number of entries and, entry by entry in list order, Excluded and
 * Description are equal (class names are not compared); 0 otherwise. */
int WINAPI Prefstore_CompareRestrictions(const RestrictionList *a, const RestrictionList *b);

/* ---- View settings, window placement and shortcuts ------------------------------------------ */
/* Sends the view options to an entry viewer window (the background colour only when setColour is
 * non-zero) and repaints it when it is visible. */
void WINAPI Prefstore_ApplyViewSettings(HWND viewer, const ViewOptions *view, int setColour);
/* The restored (normal) position and size of a window and whether it is maximised; each output
 * may be null.  1 done; 0 when the placement cannot be read (outputs untouched). */
int WINAPI Prefstore_GetWindowPlacement(HWND window, POINT *position, SIZE *size, int *maximised);
/* Brings the program's shortcuts in the Startup folder, on the desktop and in Quick Launch in line
 * with StartupOptions: a link is created where its switch is on (an existing link file is left as
 * it is) and deleted where it is off. */
void WINAPI Prefstore_UpdateShortcuts(void);

/* ---- Pop-up window skins ---------------------------------------------------------------------
 * A skin is an INI file anywhere below the folder Skins next to the running program whose
 * section "SkinInfo" has a non-empty "Title" ("Title_Jpn" instead under the ANSI code page 932
 * when it is not empty).  It names a bitmap ("Image", relative to the skin file) and the
 * rectangles of seven parts (inclusive: left, top, right, bottom).  The current skin is the file
 * stored as SkinFolderName of the pop-up window options when it exists, otherwise
 * Skins\default.tsk, which is then stored there. */
typedef struct SkinDescription {
    COLORREF KeyColour;        /* "BackGroundColor"; then the skin bitmap's top-left pixel */
    COLORREF ButtonColour;
    COLORREF ViewColour;
    SIZE GripSize;
    SIZE MinimumSize;
    POINT TitlePos, TopRightCornerPos, TopCaptionPos, RightCaptionPos, BottomCaptionPos;
    POINT Origin;              /* offset of the parts inside the skin bitmap */
    POINT GripPos;
    POINT ViewFramePos;
    SIZE FullSize;             /* GripPos + GripSize: the skin's own size */
    SIZE TitleSize, TopRightCornerSize, TopCaptionSize, RightCaptionSize, BottomCaptionSize,
        ViewFrameSize;
    RECT ViewMargins;          /* the view rectangle's distances from the four edges */
    RECT ViewRect;
    HBITMAP SkinBitmap;        /* the skin image; null when it could not be loaded */
    HBITMAP WindowBitmap;      /* composed for CurrentSize by Prefstore_ApplySkin */
    HRGN WindowRegion;         /* our copy of the region; the window holds its own */
    SIZE CurrentSize;          /* the size last composed */
    HBRUSH ButtonBrush;
} SkinDescription;

/* Called for each skin file found with its full path and title; its answer is ignored. */
typedef int(CALLBACK *PrefstoreSkinCallback)(const char *path, const char *title, LPARAM user);

/* Walks the Skins folder and its sub-folders (the current directory is changed during the walk
 * and put back); 1, or 0 when the folder cannot be entered. */
int WINAPI Prefstore_EnumSkins(PrefstoreSkinCallback callback, LPARAM user);
/* Draws the "SampleImage" of the skin file (null or empty: the current skin) stretched into the
 * rectangle; 1 when drawn. */
int WINAPI Prefstore_LoadSkinSample(HDC dc, const RECT *rect, const char *skinFile);
/* Fills the record (zeroed first) from the current skin, section null or empty = "SkinInfo";
 * 1 when the skin bitmap was loaded, 0 otherwise (the record then holds no SkinBitmap).  The GDI
 * objects of the record are the caller's until Prefstore_FreeSkin. */
int WINAPI Prefstore_LoadSkin(SkinDescription *skin, const char *section);
/* Deletes SkinBitmap, WindowBitmap, WindowRegion and ButtonBrush when present and empties them. */
void WINAPI Prefstore_FreeSkin(SkinDescription *skin);
/* Composes WindowBitmap and WindowRegion for size (null: the skin bitmap's size), gives the
 * window a copy of the region and redraws it with its frame.  1 when done; 0 without a skin
 * bitmap, in which case the window is left without a region (unshaped) rather than empty. */
int WINAPI Prefstore_ApplySkin(HWND window, SkinDescription *skin, const SIZE *size);
/* Reads a number list of any skin file into rect (section null or empty = "SkinInfo"): the first
 * number in the C library's base 0, later ones after skipping to the next digit; missing numbers
 * keep rect's values, an empty value gives all zeros.  1, or 0 for a null argument. */
int WINAPI Prefstore_ReadSkinRect(const char *section, const char *key, RECT *rect,
                                  const char *file);

#ifdef __cplusplus
}
#endif

#endif /* PREFSTORE_H */
