// The window records: options (each beginning with the view options block) and layouts of the
// pop-up, search, translation and study windows, and the layouts of the other windows.
// Every loader and saver takes null for a record it should skip.
#include "basekit.h"
#include "prefstore.h"
#include "prefstore_int.h"


#define F_INT(rec, sec, name) {sec, #name, PREF_INT, offsetof(rec, name), 0}
#define F_NAMED(rec, sec, value, field) {sec, value, PREF_INT, offsetof(rec, field), 0}
#define F_LOW16(rec, value, field) {nullptr, value, PREF_LOW16, offsetof(rec, field), 0}
#define F_PAIR(rec, sec, value, first, second) \
    {sec, value, PREF_PAIR, offsetof(rec, first), offsetof(rec, second)}
#define F_STR(rec, sec, value, field) \
    {sec, value, PREF_STRING, offsetof(rec, field), sizeof(((rec *)0)->field)}

#define POPUP_SECTION "Window\\PopupWindow"
#define SEARCH_SECTION "Window\\SearchWindow"
#define TRANSLATION_SECTION "Window\\TranslationWindow"
#define STUDY_SECTION "Window\\StudyIt"

// Saves a record through its table; a null record is skipped (and counts as saved).
static int Prefstore_SaveRecord(const PrefTable *table, const void *record)
{
    return record ? Prefstore_SaveTable(table, record) : 1;
}

// ---- Pop-up window ----

static const PrefField kPopupOptionFields[] = {
    F_INT(PopupWindowOptions, nullptr, UseSkin),
    F_STR(PopupWindowOptions, "StartUp", "SkinFolderName", SkinFolderName),
    F_INT(PopupWindowOptions, nullptr, ToolBar),
    F_INT(PopupWindowOptions, nullptr, StatusBar),
    F_INT(PopupWindowOptions, nullptr, Fixed),
    F_INT(PopupWindowOptions, nullptr, ClickShowList),
    F_INT(PopupWindowOptions, nullptr, FixedSize),
};
static const PrefField kPopupLayoutFields[] = {
    F_PAIR(PopupWindowLayout, nullptr, "Pos", x, y),
    F_PAIR(PopupWindowLayout, nullptr, "Size", cx, cy),
};
static const PrefTable kPopupOptions = {PREFSTORE_ROOT, POPUP_SECTION,
                                        PREF_FIELDS(kPopupOptionFields)};
static const PrefTable kPopupLayout = {PREFSTORE_ROOT, POPUP_SECTION,
                                       PREF_FIELDS(kPopupLayoutFields)};

void WINAPI Prefstore_LoadPopupWindow(PopupWindowOptions *options, PopupWindowLayout *layout)
{
    Prefstore_LoadRecord(&kPopupOptions, options, sizeof *options);
    if (options) Prefstore_LoadView(POPUP_SECTION, &options->View);
    Prefstore_LoadRecord(&kPopupLayout, layout, sizeof *layout);
}

int WINAPI Prefstore_SavePopupWindow(const PopupWindowOptions *options,
                                     const PopupWindowLayout *layout)
{
    int ok = 1;
    if (options) ok &= Prefstore_SaveView(POPUP_SECTION, &options->View);
    ok &= Prefstore_SaveRecord(&kPopupOptions, options);
    ok &= Prefstore_SaveRecord(&kPopupLayout, layout);
    return ok;
}

// ---- Search window (the web list is in weblist.cpp) ----

static const PrefField kSearchOptionFields[] = {
    F_INT(SearchWindowOptions, nullptr, CurItem),
    F_INT(SearchWindowOptions, nullptr, MaxData),
    F_INT(SearchWindowOptions, nullptr, DictionaryID),
};
static const PrefField kSearchLayoutFields[] = {
    F_PAIR(SearchWindowLayout, nullptr, "Size", cx, cy),
    F_PAIR(SearchWindowLayout, nullptr, "Pos", x, y),
    F_INT(SearchWindowLayout, nullptr, WindowMaximised),
    F_NAMED(SearchWindowLayout, nullptr, "Ratio#1", Ratio1),
    F_NAMED(SearchWindowLayout, nullptr, "Ratio#2", Ratio2),
    F_NAMED(SearchWindowLayout, nullptr, "Ratio#3", Ratio3),
    F_NAMED(SearchWindowLayout, nullptr, "Ratio#4", Ratio4),
    F_INT(SearchWindowLayout, nullptr, LastPage),
    F_INT(SearchWindowLayout, nullptr, SearchOption),
    F_INT(SearchWindowLayout, nullptr, SearchType),
    F_INT(SearchWindowLayout, nullptr, Incremental),
    F_PAIR(SearchWindowLayout, nullptr, "RebarSize", RebarCx, RebarCy),
    F_INT(SearchWindowLayout, nullptr, ToolBarIndex),
    F_INT(SearchWindowLayout, nullptr, ToolBarWidth),
    F_INT(SearchWindowLayout, nullptr, DicBarIndex),
    F_INT(SearchWindowLayout, nullptr, DicBarWidth),
};
static const PrefTable kSearchOptions = {PREFSTORE_ROOT, SEARCH_SECTION,
                                         PREF_FIELDS(kSearchOptionFields)};
static const PrefTable kSearchLayout = {PREFSTORE_ROOT, SEARCH_SECTION,
                                        PREF_FIELDS(kSearchLayoutFields)};

void WINAPI Prefstore_LoadSearchWindow(SearchWindowOptions *options, SearchWindowLayout *layout)
{
    Prefstore_LoadRecord(&kSearchOptions, options, sizeof *options);
    if (options) {
        Prefstore_LoadView(SEARCH_SECTION, &options->View);
        options->WebList = Prefstore_LoadWebList(SEARCH_SECTION);
    }
    Prefstore_LoadRecord(&kSearchLayout, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveSearchWindow(const SearchWindowOptions *options,
                                      const SearchWindowLayout *layout)
{
    int ok = 1;
    if (options) {
        ok &= Prefstore_SaveView(SEARCH_SECTION, &options->View);
        ok &= Prefstore_SaveWebList(SEARCH_SECTION, options->WebList);
    }
    ok &= Prefstore_SaveRecord(&kSearchOptions, options);
    ok &= Prefstore_SaveRecord(&kSearchLayout, layout);
    return ok;
}

// ---- Translation window ----

static const PrefField kTranslationOptionFields[] = {
    F_INT(TranslationWindowOptions, nullptr, MaxData),
    F_INT(TranslationWindowOptions, nullptr, PlaySound),
    F_INT(TranslationWindowOptions, nullptr, DictionaryID),
    F_INT(TranslationWindowOptions, nullptr, AddAllWords),
};
static const PrefField kTranslationLayoutFields[] = {
    F_PAIR(TranslationWindowLayout, nullptr, "Size", cx, cy),
    F_PAIR(TranslationWindowLayout, nullptr, "Pos", x, y),
    F_INT(TranslationWindowLayout, nullptr, WindowMaximised),
    F_PAIR(TranslationWindowLayout, nullptr, "Column#1", Column1, Column3),
    F_PAIR(TranslationWindowLayout, nullptr, "Column#2", Column2, Column4),
    // Shared with the search window: saving either window changes what the other loads.
    F_INT(TranslationWindowLayout, SEARCH_SECTION, SearchOption),
    F_INT(TranslationWindowLayout, SEARCH_SECTION, SearchType),
    F_INT(TranslationWindowLayout, SEARCH_SECTION, Incremental),
    F_PAIR(TranslationWindowLayout, nullptr, "RebarSize", RebarCx, RebarCy),
    F_INT(TranslationWindowLayout, nullptr, ToolBarIndex),
    F_INT(TranslationWindowLayout, nullptr, ToolBarWidth),
    F_INT(TranslationWindowLayout, nullptr, DicBarIndex),
    F_INT(TranslationWindowLayout, nullptr, DicBarWidth),
};
static const PrefTable kTranslationOptions = {PREFSTORE_ROOT, TRANSLATION_SECTION,
                                              PREF_FIELDS(kTranslationOptionFields)};
static const PrefTable kTranslationLayout = {PREFSTORE_ROOT, TRANSLATION_SECTION,
                                             PREF_FIELDS(kTranslationLayoutFields)};

void WINAPI Prefstore_LoadTranslationWindow(TranslationWindowOptions *options,
                                            TranslationWindowLayout *layout)
{
    Prefstore_LoadRecord(&kTranslationOptions, options, sizeof *options);
    if (options) Prefstore_LoadView(TRANSLATION_SECTION, &options->View);
    Prefstore_LoadRecord(&kTranslationLayout, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveTranslationWindow(const TranslationWindowOptions *options,
                                           const TranslationWindowLayout *layout)
{
    int ok = 1;
    if (options) ok &= Prefstore_SaveView(TRANSLATION_SECTION, &options->View);
    ok &= Prefstore_SaveRecord(&kTranslationOptions, options);
    ok &= Prefstore_SaveRecord(&kTranslationLayout, layout);
    return ok;
}

// ---- Study-list window ----

static const PrefField kStudyOptionFields[] = {
    F_INT(StudyWindowOptions, nullptr, MaxData),
};
static const PrefField kStudyLayoutFields[] = {
    F_PAIR(StudyWindowLayout, nullptr, "Size", cx, cy),
    F_PAIR(StudyWindowLayout, nullptr, "Pos", x, y),
    F_PAIR(StudyWindowLayout, nullptr, "ViewerSize", ViewerCx, ViewerCy),
    F_PAIR(StudyWindowLayout, nullptr, "ViewerPos", ViewerX, ViewerY),
    F_NAMED(StudyWindowLayout, nullptr, "Ratio#1", Ratio1),
    F_NAMED(StudyWindowLayout, nullptr, "Column#1", Column1),
    F_NAMED(StudyWindowLayout, nullptr, "Column#2", Column2),
    F_NAMED(StudyWindowLayout, nullptr, "Column#3", Column3),
    F_NAMED(StudyWindowLayout, nullptr, "Column#4", Column4),
    F_INT(StudyWindowLayout, nullptr, WindowMaximised),
    F_INT(StudyWindowLayout, nullptr, ViewerMaximized),
};
static const PrefTable kStudyOptions = {PREFSTORE_ROOT, STUDY_SECTION,
                                        PREF_FIELDS(kStudyOptionFields)};
static const PrefTable kStudyLayout = {PREFSTORE_ROOT, STUDY_SECTION,
                                       PREF_FIELDS(kStudyLayoutFields)};

void WINAPI Prefstore_LoadStudyWindow(StudyWindowOptions *options, StudyWindowLayout *layout)
{
    Prefstore_LoadRecord(&kStudyOptions, options, sizeof *options);
    if (options) Prefstore_LoadView(STUDY_SECTION, &options->View);
    Prefstore_LoadRecord(&kStudyLayout, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveStudyWindow(const StudyWindowOptions *options,
                                     const StudyWindowLayout *layout)
{
    int ok = 1;
    if (options) ok &= Prefstore_SaveView(STUDY_SECTION, &options->View);
    ok &= Prefstore_SaveRecord(&kStudyOptions, options);
    ok &= Prefstore_SaveRecord(&kStudyLayout, layout);
    return ok;
}

// ---- Control bar window ----

static const PrefField kControlBarWindowFields[] = {
    F_PAIR(ControlBarWindowLayout, nullptr, "Pos", x, y),
    F_STR(ControlBarWindowLayout, nullptr, "Show", Show),
};
static const PrefTable kControlBarWindow = {PREFSTORE_ROOT, "Window\\ControlBar",
                                            PREF_FIELDS(kControlBarWindowFields)};

void WINAPI Prefstore_LoadControlBarWindow(ControlBarWindowLayout *layout)
{
    Prefstore_LoadRecord(&kControlBarWindow, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveControlBarWindow(const ControlBarWindowLayout *layout)
{
    return Prefstore_SaveRecord(&kControlBarWindow, layout);
}

// ---- Setup window (ratio and columns saved as their low 16 bits) ----

static const PrefField kSetupWindowFields[] = {
    F_PAIR(SetupWindowLayout, nullptr, "Size", cx, cy),
    F_PAIR(SetupWindowLayout, nullptr, "Pos", x, y),
    F_LOW16(SetupWindowLayout, "Ratio#1", Ratio1),
    F_LOW16(SetupWindowLayout, "Column#1", Column1),
    F_LOW16(SetupWindowLayout, "Column#2", Column2),
    F_LOW16(SetupWindowLayout, "Column#3", Column3),
    F_LOW16(SetupWindowLayout, "Column#4", Column4),
    F_LOW16(SetupWindowLayout, "Column#5", Column5),
    F_LOW16(SetupWindowLayout, "Column#6", Column6),
    F_INT(SetupWindowLayout, nullptr, WindowMaximised),
};
static const PrefTable kSetupWindow = {PREFSTORE_ROOT, "Window\\SetupWindow",
                                       PREF_FIELDS(kSetupWindowFields)};

void WINAPI Prefstore_LoadSetupWindow(int *options, SetupWindowLayout *layout)
{
    if (options) *options = 0;
    Prefstore_LoadRecord(&kSetupWindow, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveSetupWindow(const int *options, const SetupWindowLayout *layout)
{
    (void)options;
    return Prefstore_SaveRecord(&kSetupWindow, layout);
}

// ---- Option window ----

static const PrefField kOptionWindowFields[] = {
    F_PAIR(OptionWindowLayout, nullptr, "Pos", x, y),
};
static const PrefTable kOptionWindow = {PREFSTORE_ROOT, "Window\\OptWin",
                                        PREF_FIELDS(kOptionWindowFields)};

void WINAPI Prefstore_LoadOptionWindow(OptionWindowLayout *layout)
{
    Prefstore_LoadRecord(&kOptionWindow, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveOptionWindow(const OptionWindowLayout *layout)
{
    return Prefstore_SaveRecord(&kOptionWindow, layout);
}

// ---- Speech window ----

static const PrefField kSpeechOptionFields[] = {
    F_INT(SpeechWindowOptions, nullptr, Pitch),
    F_INT(SpeechWindowOptions, nullptr, Speed),
    F_INT(SpeechWindowOptions, nullptr, Volume),
    F_INT(SpeechWindowOptions, nullptr, Mode),
};
static const PrefField kSpeechLayoutFields[] = {
    F_PAIR(SpeechWindowLayout, nullptr, "Pos", x, y),
    F_PAIR(SpeechWindowLayout, nullptr, "Size", cx, cy),
    F_INT(SpeechWindowLayout, nullptr, WindowMaximised),
};
static const PrefTable kSpeechOptions = {PREFSTORE_ROOT, "Window\\TTSWin",
                                         PREF_FIELDS(kSpeechOptionFields)};
static const PrefTable kSpeechLayout = {PREFSTORE_ROOT, "Window\\TTSWin",
                                        PREF_FIELDS(kSpeechLayoutFields)};

void WINAPI Prefstore_LoadSpeechWindow(SpeechWindowOptions *options, SpeechWindowLayout *layout)
{
    Prefstore_LoadRecord(&kSpeechOptions, options, sizeof *options);
    Prefstore_LoadRecord(&kSpeechLayout, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveSpeechWindow(const SpeechWindowOptions *options,
                                      const SpeechWindowLayout *layout)
{
    int ok = Prefstore_SaveRecord(&kSpeechOptions, options);
    ok &= Prefstore_SaveRecord(&kSpeechLayout, layout);
    return ok;
}

// ---- Word manager window ----

static const PrefField kWordManagerFields[] = {
    F_PAIR(WordManagerWindowLayout, nullptr, "Pos", x, y),
    F_PAIR(WordManagerWindowLayout, nullptr, "Size", cx, cy),
};
static const PrefTable kWordManager = {PREFSTORE_ROOT, "Window\\WordMan",
                                       PREF_FIELDS(kWordManagerFields)};

void WINAPI Prefstore_LoadWordManagerWindow(WordManagerWindowLayout *layout)
{
    Prefstore_LoadRecord(&kWordManager, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveWordManagerWindow(const WordManagerWindowLayout *layout)
{
    return Prefstore_SaveRecord(&kWordManager, layout);
}

// ---- Translation history window (below the 7.0 root) ----

static const PrefField kHistoryFields[] = {
    F_PAIR(HistoryWindowLayout, nullptr, "Size", cx, cy),
    F_PAIR(HistoryWindowLayout, nullptr, "Pos", x, y),
    F_INT(HistoryWindowLayout, nullptr, WindowMaximised),
    F_PAIR(HistoryWindowLayout, nullptr, "Column#8", Column8Low, Column8High),
    F_NAMED(HistoryWindowLayout, nullptr, "Column#1", Column1),
    F_NAMED(HistoryWindowLayout, nullptr, "Column#2", Column2),
    F_NAMED(HistoryWindowLayout, nullptr, "Column#3", Column3),
    F_NAMED(HistoryWindowLayout, nullptr, "Column#4", Column4),
};
static const PrefTable kHistory = {PREFSTORE_ROOT7, "Window\\TranslationHistory",
                                   PREF_FIELDS(kHistoryFields)};

void WINAPI Prefstore_LoadHistoryWindow(HistoryWindowLayout *layout)
{
    Prefstore_LoadRecord(&kHistory, layout, sizeof *layout);
}

int WINAPI Prefstore_SaveHistoryWindow(const HistoryWindowLayout *layout)
{
    return Prefstore_SaveRecord(&kHistory, layout);
}
