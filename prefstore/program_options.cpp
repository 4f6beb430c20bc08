// The program-wide option records: start-up, capture, candidate list, hot keys, control bar and
// cross search.  Each is one descriptor table; loaders zero-fill the record first.
#include "basekit.h"
#include "prefstore.h"
#include "prefstore_int.h"


#define F_INT(rec, sec, name) {sec, #name, PREF_INT, offsetof(rec, name), 0}
#define F_WORD(rec, sec, name) {sec, #name, PREF_WORD, offsetof(rec, name), 0}
#define F_STR(rec, sec, name) {sec, #name, PREF_STRING, offsetof(rec, name), sizeof(((rec *)0)->name)}

// ---- Start-up ----

static const PrefField kStartupFields[] = {
    F_INT(StartupOptions, "Icon", StartUp),
    F_INT(StartupOptions, "Icon", QuickLauncher),
    F_INT(StartupOptions, "Icon", DeskTop),
    F_INT(StartupOptions, "StartUp", LargeIcon),
    F_INT(StartupOptions, "StartUp", ToolTip),
    F_INT(StartupOptions, "StartUp", SaveLastStatus),
    F_INT(StartupOptions, "StartUp", Pointer),
    F_INT(StartupOptions, "StartUp", Keyboard),
    F_INT(StartupOptions, "StartUp", Hotkey),
    F_INT(StartupOptions, "StartUp", ClipBoard),
    F_INT(StartupOptions, "StartUp", ControlBar),
    F_INT(StartupOptions, "StartUp", Search),
    F_INT(StartupOptions, "StartUp", Translate),
    F_INT(StartupOptions, "StartUp", StudyIt),
    F_INT(StartupOptions, "StartUp", EnableTextToSpeech),
    F_INT(StartupOptions, "StartUp", EnableRealAudio),
    F_INT(StartupOptions, "StartUp", QuitShowGraph),
    F_STR(StartupOptions, "StartUp", TranslationSet),
};
static const PrefTable kStartup = {PREFSTORE_ROOT, nullptr, PREF_FIELDS(kStartupFields)};

void WINAPI Prefstore_LoadStartup(StartupOptions *options)
{
    Prefstore_LoadRecord(&kStartup, options, sizeof *options);
}

int WINAPI Prefstore_SaveStartup(const StartupOptions *options)
{
    return options ? Prefstore_SaveTable(&kStartup, options) : 0;
}

// ---- Capture ----

#define CAP(name) F_INT(CaptureOptions, "Translation", name)
#define CAP_POPUP(name) F_INT(CaptureOptions, "Window\\PopupWindow", name)
static const PrefField kCaptureFields[] = {
    CAP(MouseTimer),
    CAP_POPUP(PopupPos),
    CAP_POPUP(ListMode),
    CAP_POPUP(NoDispWhenNoCandidate),
    CAP_POPUP(PopupToSearch),
    CAP(CaptureNoKey),
    CAP(CaptureShift),
    CAP(CaptureCtrl),
    CAP(CaptureShiftCtrl),
    CAP(UpperCaptureLine),
    CAP(LowerCaptureLine),
    CAP(KeyboardTimer),
    CAP(IntelliWord),
    CAP(SpellCheck),
    CAP(HotkeyTranToPopupWindow),
    CAP(ClipboardTranToTranWindow),
};
static const PrefTable kCapture = {PREFSTORE_ROOT, nullptr, PREF_FIELDS(kCaptureFields)};

void WINAPI Prefstore_LoadCapture(CaptureOptions *options)
{
    Prefstore_LoadRecord(&kCapture, options, sizeof *options);
}

int WINAPI Prefstore_SaveCapture(const CaptureOptions *options)
{
    return options ? Prefstore_SaveTable(&kCapture, options) : 0;
}

// ---- Candidate list ----

static const PrefField kCandidateFields[] = {
    F_INT(CandidateListOptions, nullptr, SortByLength),
    F_INT(CandidateListOptions, nullptr, Perfect),
    F_INT(CandidateListOptions, nullptr, Good),
    F_INT(CandidateListOptions, nullptr, Average),
    F_INT(CandidateListOptions, nullptr, Bad),
};
static const PrefTable kCandidate = {PREFSTORE_ROOT, "Window\\CandidateList",
                                     PREF_FIELDS(kCandidateFields)};

void WINAPI Prefstore_LoadCandidateList(CandidateListOptions *options)
{
    Prefstore_LoadRecord(&kCandidate, options, sizeof *options);
}

int WINAPI Prefstore_SaveCandidateList(const CandidateListOptions *options)
{
    return options ? Prefstore_SaveTable(&kCandidate, options) : 0;
}

// ---- Hot keys ----

static const PrefField kHotkeyFields[] = {
    F_INT(HotkeyOptions, nullptr, Use),
    F_WORD(HotkeyOptions, nullptr, Menu),
    F_WORD(HotkeyOptions, nullptr, PauseMouse),
    F_WORD(HotkeyOptions, nullptr, PauseKB),
    F_WORD(HotkeyOptions, nullptr, PauseHotkey),
    F_WORD(HotkeyOptions, nullptr, TranHotkey),
    F_WORD(HotkeyOptions, nullptr, PauseCB),
    F_WORD(HotkeyOptions, nullptr, Search),
    F_WORD(HotkeyOptions, nullptr, Translate),
    F_WORD(HotkeyOptions, nullptr, Setup),
    F_WORD(HotkeyOptions, nullptr, StudyIt),
    F_WORD(HotkeyOptions, nullptr, Exit),
};
static const PrefTable kHotkey = {PREFSTORE_ROOT, "Hotkey", PREF_FIELDS(kHotkeyFields)};

void WINAPI Prefstore_LoadHotkeys(HotkeyOptions *options)
{
    Prefstore_LoadRecord(&kHotkey, options, sizeof *options);
}

int WINAPI Prefstore_SaveHotkeys(const HotkeyOptions *options)
{
    return options ? Prefstore_SaveTable(&kHotkey, options) : 0;
}

// ---- Control bar (the reserved area is neither read nor written) ----

static const PrefField kControlBarFields[] = {
    F_INT(ControlBarOptions, nullptr, ControlBarMode),
    F_INT(ControlBarOptions, nullptr, ControlBarCustomize),
    F_INT(ControlBarOptions, nullptr, ControlBarFlag),
    F_INT(ControlBarOptions, nullptr, CtlBarIcon),
};
static const PrefTable kControlBar = {PREFSTORE_ROOT, "Customize", PREF_FIELDS(kControlBarFields)};

void WINAPI Prefstore_LoadControlBar(ControlBarOptions *options)
{
    Prefstore_LoadRecord(&kControlBar, options, sizeof *options);
}

int WINAPI Prefstore_SaveControlBar(const ControlBarOptions *options)
{
    return options ? Prefstore_SaveTable(&kControlBar, options) : 0;
}

// ---- Cross search ----

static const PrefField kCrossSearchFields[] = {
    F_INT(CrossSearchOptions, nullptr, Trigger),
};
static const PrefTable kCrossSearch = {PREFSTORE_ROOT, "CrossSearch",
                                       PREF_FIELDS(kCrossSearchFields)};

void WINAPI Prefstore_LoadCrossSearch(CrossSearchOptions *options)
{
    Prefstore_LoadRecord(&kCrossSearch, options, sizeof *options);
}

int WINAPI Prefstore_SaveCrossSearch(const CrossSearchOptions *options)
{
    return options ? Prefstore_SaveTable(&kCrossSearch, options) : 0;
}
