// The conversions between control states and stored values, and the field tables over which the
// pages find and merge what the user changed.  No window calls here.
#include "prefpane_int.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// ---- Field tables ---------------------------------------------------------------------------

#define PP_VIEW_FIELDS(Type, view)                                                               \
    PP_FIELD(Type, view.BackGroundColor), PP_FIELD(Type, view.FontSize),                        \
        PP_FIELD(Type, view.UseRichText), PP_FIELD(Type, view.EnableLineFeed),                  \
        PP_FIELD(Type, view.EnableLayer), PP_FIELD(Type, view.UseLayer),                        \
        PP_FIELD(Type, view.OpenLayer), PP_FIELD(Type, view.DispStyle)

const PpField kStartupFields[] = {
    PP_FIELD(StartupOptions, StartUp),        PP_FIELD(StartupOptions, QuickLauncher),
    PP_FIELD(StartupOptions, DeskTop),        PP_FIELD(StartupOptions, LargeIcon),
    PP_FIELD(StartupOptions, ToolTip),        PP_FIELD(StartupOptions, SaveLastStatus),
    PP_FIELD(StartupOptions, Pointer),        PP_FIELD(StartupOptions, Keyboard),
    PP_FIELD(StartupOptions, Hotkey),         PP_FIELD(StartupOptions, ClipBoard),
    PP_FIELD(StartupOptions, ControlBar),     PP_FIELD(StartupOptions, Search),
    PP_FIELD(StartupOptions, Translate),      PP_FIELD(StartupOptions, StudyIt),
    PP_FIELD(StartupOptions, EnableTextToSpeech), PP_FIELD(StartupOptions, EnableRealAudio),
    PP_FIELD(StartupOptions, QuitShowGraph),  PP_FIELD(StartupOptions, TranslationSet),
};
const int kStartupFieldCount = sizeof kStartupFields / sizeof kStartupFields[0];

const PpField kCaptureFields[] = {
    PP_FIELD(CaptureOptions, MouseTimer),       PP_FIELD(CaptureOptions, PopupPos),
    PP_FIELD(CaptureOptions, ListMode),         PP_FIELD(CaptureOptions, NoDispWhenNoCandidate),
    PP_FIELD(CaptureOptions, PopupToSearch),    PP_FIELD(CaptureOptions, CaptureNoKey),
    PP_FIELD(CaptureOptions, CaptureShift),     PP_FIELD(CaptureOptions, CaptureCtrl),
    PP_FIELD(CaptureOptions, CaptureShiftCtrl), PP_FIELD(CaptureOptions, UpperCaptureLine),
    PP_FIELD(CaptureOptions, LowerCaptureLine), PP_FIELD(CaptureOptions, KeyboardTimer),
    PP_FIELD(CaptureOptions, IntelliWord),      PP_FIELD(CaptureOptions, SpellCheck),
    PP_FIELD(CaptureOptions, HotkeyTranToPopupWindow),
    PP_FIELD(CaptureOptions, ClipboardTranToTranWindow),
};
const int kCaptureFieldCount = sizeof kCaptureFields / sizeof kCaptureFields[0];

const PpField kHotkeyFields[] = {
    PP_FIELD(HotkeyOptions, Use),         PP_FIELD(HotkeyOptions, Menu),
    PP_FIELD(HotkeyOptions, PauseMouse),  PP_FIELD(HotkeyOptions, PauseKB),
    PP_FIELD(HotkeyOptions, PauseHotkey), PP_FIELD(HotkeyOptions, TranHotkey),
    PP_FIELD(HotkeyOptions, PauseCB),     PP_FIELD(HotkeyOptions, Search),
    PP_FIELD(HotkeyOptions, Translate),   PP_FIELD(HotkeyOptions, Setup),
    PP_FIELD(HotkeyOptions, StudyIt),     PP_FIELD(HotkeyOptions, Exit),
};
const int kHotkeyFieldCount = sizeof kHotkeyFields / sizeof kHotkeyFields[0];

const PpField kCandidateFields[] = {
    PP_FIELD(CandidateListOptions, SortByLength), PP_FIELD(CandidateListOptions, Perfect),
    PP_FIELD(CandidateListOptions, Good),         PP_FIELD(CandidateListOptions, Average),
    PP_FIELD(CandidateListOptions, Bad),
};
const int kCandidateFieldCount = sizeof kCandidateFields / sizeof kCandidateFields[0];

const PpField kControlBarFields[] = {
    PP_FIELD(ControlBarOptions, ControlBarMode), PP_FIELD(ControlBarOptions, ControlBarCustomize),
    PP_FIELD(ControlBarOptions, ControlBarFlag), PP_FIELD(ControlBarOptions, CtlBarIcon),
};
const int kControlBarFieldCount = sizeof kControlBarFields / sizeof kControlBarFields[0];

const PpField kPopupFields[] = {
    PP_VIEW_FIELDS(PopupWindowOptions, View),
    PP_FIELD(PopupWindowOptions, UseSkin),       PP_FIELD(PopupWindowOptions, SkinFolderName),
    PP_FIELD(PopupWindowOptions, ToolBar),       PP_FIELD(PopupWindowOptions, StatusBar),
    PP_FIELD(PopupWindowOptions, Fixed),         PP_FIELD(PopupWindowOptions, ClickShowList),
    PP_FIELD(PopupWindowOptions, FixedSize),
};
const int kPopupFieldCount = sizeof kPopupFields / sizeof kPopupFields[0];

const PpField kSearchWindowFields[] = {
    PP_VIEW_FIELDS(SearchWindowOptions, View),
    PP_FIELD(SearchWindowOptions, CurItem),
    PP_FIELD(SearchWindowOptions, MaxData),
    PP_FIELD(SearchWindowOptions, DictionaryID),
};
const int kSearchWindowFieldCount = sizeof kSearchWindowFields / sizeof kSearchWindowFields[0];

const PpField kTranslationWindowFields[] = {
    PP_VIEW_FIELDS(TranslationWindowOptions, View),
    PP_FIELD(TranslationWindowOptions, MaxData),      PP_FIELD(TranslationWindowOptions, PlaySound),
    PP_FIELD(TranslationWindowOptions, DictionaryID), PP_FIELD(TranslationWindowOptions, AddAllWords),
};
const int kTranslationWindowFieldCount =
    sizeof kTranslationWindowFields / sizeof kTranslationWindowFields[0];

const PpField kStudyWindowFields[] = {
    PP_VIEW_FIELDS(StudyWindowOptions, View),
    PP_FIELD(StudyWindowOptions, MaxData),
};
const int kStudyWindowFieldCount = sizeof kStudyWindowFields / sizeof kStudyWindowFields[0];

int Pp_CountChanges(const PpField *fields, int count, const void *a, const void *b)
{
    int changed = 0;
    for (int i = 0; i < count; ++i)
        if (memcmp((const char *)a + fields[i].offset, (const char *)b + fields[i].offset,
                   fields[i].size) != 0)
            ++changed;
    return changed;
}

int Pp_MergeChanges(const PpField *fields, int count, void *target, const void *baseline,
                    const void *edited)
{
    int merged = 0;
    for (int i = 0; i < count; ++i) {
        const char *from = (const char *)edited + fields[i].offset;
        if (memcmp((const char *)baseline + fields[i].offset, from, fields[i].size) == 0) continue;
        memcpy((char *)target + fields[i].offset, from, fields[i].size);
        ++merged;
    }
    return merged;
}

// ---- Combo and list conversions -----------------------------------------------------------------

int Pp_FontSizeToIndex(int fontSize)
{
    return fontSize >= 2 && fontSize <= 5 ? 5 - fontSize : 4;
}

int Pp_IndexToFontSize(int index)
{
    return index >= 0 && index <= 3 ? 5 - index : 1;
}

int Pp_OpenLayerToIndex(int openLayer)
{
    return openLayer >= 1 && openLayer <= 5 ? openLayer - 1 : 5;
}

int Pp_IndexToOpenLayer(int index)
{
    return index >= 0 && index <= 4 ? index + 1 : 10;
}

const PpBitItem kDispStyleItems[13] = {
    {2404, 0x80},    {2406, 0x200},   {2407, 0x400},   {2408, 0x800},  {2410, 0x2000},
    {2411, 0x4000},  {2412, 0x8000},  {2413, 0x10000}, {2414, 0x20000}, {2415, 0x40000},
    {2416, 0x80000}, {2405, 0x100},   {2409, 0x1000},
};

const int kControlBarButtons[14] = {1339, 1340, 1341, 1342, 1018, 1353, 1344,
                                    1345, 1346, 1347, 1348, 1349, 1351, 1352};

// ---- Hot keys --------------------------------------------------------------------------------------

namespace {
const BYTE kStoredAlt = 1, kStoredCtrl = 2, kStoredShift = 4;   // as the system registers hot keys
const BYTE kControlShift = 1, kControlCtrl = 2, kControlAlt = 4; // as the hot-key control shows them
}

WORD Pp_HotkeyToControl(WORD stored)
{
    BYTE from = HIBYTE(stored), to = 0;
    if (from & kStoredAlt) to |= kControlAlt;
    if (from & kStoredCtrl) to |= kControlCtrl;
    if (from & kStoredShift) to |= kControlShift;
    return MAKEWORD(LOBYTE(stored), to);
}

WORD Pp_HotkeyFromControl(WORD control)
{
    BYTE from = HIBYTE(control), to = 0;
    if (from & kControlAlt) to |= kStoredAlt;
    if (from & kControlCtrl) to |= kStoredCtrl;
    if (from & kControlShift) to |= kStoredShift;
    if (LOBYTE(control) == 0) return 0;   // modifiers alone are no hot key
    return MAKEWORD(LOBYTE(control), to);
}

// ---- Number fields, templates, links ----------------------------------------------------------

int Pp_ClampNumberText(const char *text, int maximum, char *out, int cap)
{
    if (cap <= 0) return 0;
    int value = atoi(text ? text : "");
    if (value > maximum)
        snprintf(out, cap, "%d", maximum);
    else if (value <= 0)
        out[0] = 0;
    else
        snprintf(out, cap, "%s", text);
    return strcmp(out, text ? text : "") != 0;
}

void Pp_ClearContextHelp(void *dialogTemplate)
{
    BYTE *t = (BYTE *)dialogTemplate;
    WORD version, signature;
    memcpy(&version, t, 2);
    memcpy(&signature, t + 2, 2);
    // DLGTEMPLATEEX: dlgVer, signature 0xFFFF, helpID, exStyle, style; DLGTEMPLATE: style first.
    size_t at = version == 1 && signature == 0xFFFF ? 12 : 0;
    DWORD style;
    memcpy(&style, t + at, 4);
    style &= ~(DWORD)DS_CONTEXTHELP;
    memcpy(t + at, &style, 4);
}

int Pp_CheckLink(const char *name, const char *address)
{
    if (!name || !name[0]) return 2453;
    if (!address || !address[0] || !strstr(address, "%s")) return 2454;
    return 0;
}

int Pp_SelectionAfterDelete(int count, int deleted)
{
    int left = count - 1;
    if (left <= 0) return -1;
    return deleted < left ? deleted : left - 1;
}
