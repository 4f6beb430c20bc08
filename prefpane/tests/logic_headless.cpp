// The option window's conversions between control states and stored values, on their own: hot-key
// words, combo items, the display-style list, number fields, templates, web links, and finding
// and merging what the user changed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include "prefpane_int.h"

namespace {

const BYTE kAlt = 1, kCtrl = 2, kShift = 4;            // stored (system registration) flags
const BYTE kCShift = 1, kCCtrl = 2, kCAlt = 4, kCExt = 8; // hot-key control flags

}  // namespace

// Stored word -> what the control shows -> stored word again.
TEST(PrefpaneHotkeys, RoundTripTable) {
    struct Case {
        WORD stored;
        WORD control;
    } cases[] = {
        {MAKEWORD('A', 0), MAKEWORD('A', 0)},
        {MAKEWORD('A', kAlt), MAKEWORD('A', kCAlt)},
        {MAKEWORD('A', kCtrl), MAKEWORD('A', kCCtrl)},
        {MAKEWORD('A', kShift), MAKEWORD('A', kCShift)},
        {MAKEWORD('Q', kAlt | kCtrl), MAKEWORD('Q', kCAlt | kCCtrl)},
        {MAKEWORD('Q', kAlt | kShift), MAKEWORD('Q', kCAlt | kCShift)},
        {MAKEWORD('Q', kCtrl | kShift), MAKEWORD('Q', kCCtrl | kCShift)},
        {MAKEWORD(VK_F12, kAlt | kCtrl | kShift), MAKEWORD(VK_F12, kCAlt | kCCtrl | kCShift)},
        {MAKEWORD(VK_SPACE, kCtrl), MAKEWORD(VK_SPACE, kCCtrl)},
        {0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "stored 0x" << c.stored);
        EXPECT_EQ(Pp_HotkeyToControl(c.stored), c.control);
        EXPECT_EQ(Pp_HotkeyFromControl(c.control), c.stored);
        EXPECT_EQ(Pp_HotkeyFromControl(Pp_HotkeyToControl(c.stored)), c.stored);
    }
}

TEST(PrefpaneHotkeys, EveryModifierSetRoundTrips) {
    for (int vk = 1; vk < 256; ++vk)
        for (int mods = 0; mods < 8; ++mods) {
            WORD stored = MAKEWORD(vk, mods);
            ASSERT_EQ(Pp_HotkeyFromControl(Pp_HotkeyToControl(stored)), stored) << vk << " " << mods;
        }
}

TEST(PrefpaneHotkeys, ControlOnlyFlagsAreDropped) {
    // The extended-key flag of the control is no registration flag.
    EXPECT_EQ(Pp_HotkeyFromControl(MAKEWORD(VK_INSERT, kCExt | kCCtrl)), MAKEWORD(VK_INSERT, kCtrl));
    // Modifiers without a key are no hot key.
    EXPECT_EQ(Pp_HotkeyFromControl(MAKEWORD(0, kCCtrl | kCAlt)), 0);
    // A registration flag the control cannot show (the Windows key) is not shown.
    EXPECT_EQ(Pp_HotkeyToControl(MAKEWORD('W', 8 | kAlt)), MAKEWORD('W', kCAlt));
}

TEST(PrefpaneCombos, FontSizeItems) {
    struct Case {
        int value, index, readBack;
    } cases[] = {{5, 0, 5}, {4, 1, 4}, {3, 2, 3}, {2, 3, 2}, {1, 4, 1}, {0, 4, 1}, {6, 4, 1}, {-3, 4, 1}};
    for (const Case &c : cases) {
        EXPECT_EQ(Pp_FontSizeToIndex(c.value), c.index) << c.value;
        EXPECT_EQ(Pp_IndexToFontSize(Pp_FontSizeToIndex(c.value)), c.readBack) << c.value;
    }
}

TEST(PrefpaneCombos, LayerItems) {
    struct Case {
        int value, index, readBack;
    } cases[] = {{1, 0, 1}, {2, 1, 2}, {3, 2, 3}, {4, 3, 4}, {5, 4, 5}, {0, 5, 10}, {6, 5, 10}, {10, 5, 10}};
    for (const Case &c : cases) {
        EXPECT_EQ(Pp_OpenLayerToIndex(c.value), c.index) << c.value;
        EXPECT_EQ(Pp_IndexToOpenLayer(Pp_OpenLayerToIndex(c.value)), c.readBack) << c.value;
    }
}

TEST(PrefpaneCombos, DisplayStyleListOrder) {
    // Strings 2405 and 2409 come last; every bit appears once.
    const int strings[13] = {2404, 2406, 2407, 2408, 2410, 2411, 2412, 2413, 2414, 2415, 2416, 2405, 2409};
    const int bits[13] = {0x80, 0x200, 0x400, 0x800, 0x2000, 0x4000, 0x8000,
                          0x10000, 0x20000, 0x40000, 0x80000, 0x100, 0x1000};
    int all = 0;
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(kDispStyleItems[i].stringId, strings[i]) << i;
        EXPECT_EQ(kDispStyleItems[i].bit, bits[i]) << i;
        EXPECT_EQ(all & bits[i], 0);
        all |= bits[i];
    }
}

TEST(PrefpaneCombos, ControlBarButtons) {
    const int ids[14] = {1339, 1340, 1341, 1342, 1018, 1353, 1344, 1345, 1346, 1347, 1348, 1349, 1351, 1352};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(kControlBarButtons[i], ids[i]) << "bit " << i;
}

TEST(PrefpaneNumbers, MaxDataClamp) {
    struct Case {
        const char *typed, *shown;
        int corrected;
    } cases[] = {
        {"7000", "5000", 1}, {"5001", "5000", 1}, {"5000", "5000", 0}, {"1", "1", 0},
        {"250", "250", 0},   {"0", "", 1},        {"-3", "", 1},       {"", "", 0},
    };
    for (const Case &c : cases) {
        char out[32];
        EXPECT_EQ(Pp_ClampNumberText(c.typed, 5000, out, sizeof out), c.corrected) << c.typed;
        EXPECT_STREQ(out, c.shown) << c.typed;
    }
}

TEST(PrefpaneTemplates, ContextHelpBitClearedInBothForms) {
    // A plain template: the style is the first field.
    DLGTEMPLATE plain = {};
    plain.style = DS_CONTEXTHELP | DS_SETFONT | WS_CHILD;
    plain.dwExtendedStyle = 0x12345678;
    Pp_ClearContextHelp(&plain);
    EXPECT_EQ(plain.style, (DWORD)(DS_SETFONT | WS_CHILD));
    EXPECT_EQ(plain.dwExtendedStyle, 0x12345678u);

    // An extended template: dlgVer 1, signature 0xFFFF, helpID, exStyle, then the style at 12.
    struct {
        WORD dlgVer, signature;
        DWORD helpID, exStyle, style;
    } ex = {1, 0xFFFF, DS_CONTEXTHELP, DS_CONTEXTHELP, DS_CONTEXTHELP | DS_MODALFRAME};
    static_assert(offsetof(decltype(ex), style) == 12, "extended template layout");
    Pp_ClearContextHelp(&ex);
    EXPECT_EQ(ex.style, (DWORD)DS_MODALFRAME);
    EXPECT_EQ(ex.helpID, (DWORD)DS_CONTEXTHELP);   // untouched
    EXPECT_EQ(ex.exStyle, (DWORD)DS_CONTEXTHELP);
}

TEST(PrefpaneLinks, CheckLink) {
    EXPECT_EQ(Pp_CheckLink("Example", "http://example.com/?q=%s"), 0);
    EXPECT_EQ(Pp_CheckLink("", "http://example.com/?q=%s"), 2453);
    EXPECT_EQ(Pp_CheckLink("Example", ""), 2454);
    EXPECT_EQ(Pp_CheckLink("Example", "http://example.com/"), 2454);
    EXPECT_EQ(Pp_CheckLink("Example", "http://example.com/?q=%d"), 2454);
}

TEST(PrefpaneLinks, SelectionAfterDelete) {
    struct Case {
        int count, deleted, next;
    } cases[] = {{3, 0, 0}, {3, 1, 1}, {3, 2, 1}, {2, 1, 0}, {1, 0, -1}};
    for (const Case &c : cases)
        EXPECT_EQ(Pp_SelectionAfterDelete(c.count, c.deleted), c.next) << c.count << " " << c.deleted;
}

TEST(PrefpaneMerge, OnlyChangedFieldsAreWritten) {
    // Stored now: what another program left; baseline: what the page showed; edited: after the user.
    StartupOptions stored = {}, baseline = {}, edited = {};
    stored.Pointer = 1;
    stored.QuitShowGraph = 7;   // changed elsewhere while the page was open
    strcpy(stored.TranslationSet, "Other");
    baseline.Pointer = 1;
    strcpy(baseline.TranslationSet, "Base");
    edited = baseline;
    edited.Keyboard = 1;
    strcpy(edited.TranslationSet, "Mine");
    EXPECT_EQ(Pp_CountChanges(kStartupFields, kStartupFieldCount, &baseline, &edited), 2);
    EXPECT_EQ(Pp_MergeChanges(kStartupFields, kStartupFieldCount, &stored, &baseline, &edited), 2);
    EXPECT_EQ(stored.Keyboard, 1);
    EXPECT_STREQ(stored.TranslationSet, "Mine");
    EXPECT_EQ(stored.QuitShowGraph, 7);
    EXPECT_EQ(stored.Pointer, 1);
    EXPECT_EQ(Pp_CountChanges(kStartupFields, kStartupFieldCount, &baseline, &baseline), 0);
}

TEST(PrefpaneMerge, TablesCoverEveryEditedField) {
    // Each table spans its record without gaps (the control bar's reserved area aside).
    struct Table {
        const PpField *fields;
        int count;
        size_t start, end;
    } tables[] = {
        {kStartupFields, kStartupFieldCount, 0, sizeof(StartupOptions)},
        {kCaptureFields, kCaptureFieldCount, 0, sizeof(CaptureOptions)},
        {kHotkeyFields, kHotkeyFieldCount, 0, offsetof(HotkeyOptions, Exit) + sizeof(WORD)},
        {kCandidateFields, kCandidateFieldCount, 0, sizeof(CandidateListOptions)},
        {kPopupFields, kPopupFieldCount, 0, sizeof(PopupWindowOptions)},
        {kTranslationWindowFields, kTranslationWindowFieldCount, 0, sizeof(TranslationWindowOptions)},
        {kStudyWindowFields, kStudyWindowFieldCount, 0, sizeof(StudyWindowOptions)},
    };
    for (const Table &t : tables) {
        size_t at = t.start;
        for (int i = 0; i < t.count; ++i) {
            if (t.fields == kHotkeyFields && i == 1) at = offsetof(HotkeyOptions, Menu);
            EXPECT_EQ(t.fields[i].offset, at) << "field " << i;
            at = t.fields[i].offset + t.fields[i].size;
        }
        EXPECT_EQ(at, t.end);
    }
    EXPECT_EQ(kControlBarFields[3].offset, offsetof(ControlBarOptions, CtlBarIcon));
    EXPECT_EQ(kSearchWindowFields[kSearchWindowFieldCount - 1].offset, offsetof(SearchWindowOptions, DictionaryID));
}
