// Every option record against the stored form it must have: for each record a non-default value
// (negative members in the packed pairs included) and the exact values it must leave in the
// settings, checked in registry mode and in file mode.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>
#include <functional>
#include <string>
#include <vector>

#include "basekit.h"
#include "prefstore.h"
#include "settings_fixture.h"

namespace {

// One stored value: a number, or a string when text is set.
struct Stored {
    const char *path;
    const char *name;
    DWORD value;
    const char *text;
};

struct RecordCase {
    const char *label;
    size_t size;
    std::function<void(void *)> load;
    std::function<int(const void *)> save;
    std::function<void(void *)> fill;      // a record with every stored field non-default
    std::function<void(void *)> loadedAs;  // what loading it back changes (null: nothing)
    std::vector<Stored> stored;
};

template <class T>
T &As(void *p) { return *static_cast<T *>(p); }

// "Shift-JIS text: katakana 'tesuto' and the word 'jisho'" (escaped bytes).
const char kSjisText[] = "\x83\x65\x83\x58\x83\x67 \x8e\xab\x8f\x91";

void FillView(ViewOptions &v, int base)
{
    v.BackGroundColor = RGB(0x12, 0x34, 0x56);
    v.FontSize = base + 1;
    v.UseRichText = base + 2;
    v.EnableLineFeed = base + 3;
    v.EnableLayer = base + 4;
    v.UseLayer = base + 5;
    v.OpenLayer = -(base + 6);
    v.DispStyle = base + 7;
}

void AddView(std::vector<Stored> &out, const char *path, int base)
{
    out.push_back({path, "BackGroundColor", RGB(0x12, 0x34, 0x56), nullptr});
    out.push_back({path, "FontSize", DWORD(base + 1), nullptr});
    out.push_back({path, "UseRichText", DWORD(base + 2), nullptr});
    out.push_back({path, "EnableLineFeed", DWORD(base + 3), nullptr});
    out.push_back({path, "EnableLayer", DWORD(base + 4), nullptr});
    out.push_back({path, "UseLayer", DWORD(base + 5), nullptr});
    out.push_back({path, "OpenLayer", DWORD(-(base + 6)), nullptr});
    out.push_back({path, "DispStyle", DWORD(base + 7), nullptr});
}

std::vector<Stored> WithView(const char *path, int base, std::vector<Stored> rest)
{
    std::vector<Stored> out;
    AddView(out, path, base);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

#define POPUP R4 "Window\\PopupWindow"
#define SEARCH R4 "Window\\SearchWindow"
#define TRANSL R4 "Window\\TranslationWindow"
#define STUDY R4 "Window\\StudyIt"

std::vector<RecordCase> Cases()
{
    std::vector<RecordCase> c;

    c.push_back({"StartupOptions", sizeof(StartupOptions),
        [](void *r) { Prefstore_LoadStartup((StartupOptions *)r); },
        [](const void *r) { return Prefstore_SaveStartup((const StartupOptions *)r); },
        [](void *r) {
            auto &o = As<StartupOptions>(r);
            int *v = &o.StartUp;
            for (int i = 0; i < 17; ++i) v[i] = i + 1;
            o.QuitShowGraph = -17;
            strcpy(o.TranslationSet, kSjisText);
        },
        nullptr,
        {{R4 "Icon", "StartUp", 1}, {R4 "Icon", "QuickLauncher", 2}, {R4 "Icon", "DeskTop", 3},
         {R4 "StartUp", "LargeIcon", 4}, {R4 "StartUp", "ToolTip", 5},
         {R4 "StartUp", "SaveLastStatus", 6}, {R4 "StartUp", "Pointer", 7},
         {R4 "StartUp", "Keyboard", 8}, {R4 "StartUp", "Hotkey", 9},
         {R4 "StartUp", "ClipBoard", 10}, {R4 "StartUp", "ControlBar", 11},
         {R4 "StartUp", "Search", 12}, {R4 "StartUp", "Translate", 13},
         {R4 "StartUp", "StudyIt", 14}, {R4 "StartUp", "EnableTextToSpeech", 15},
         {R4 "StartUp", "EnableRealAudio", 16}, {R4 "StartUp", "QuitShowGraph", DWORD(-17)},
         {R4 "StartUp", "TranslationSet", 0, kSjisText}}});

    c.push_back({"CaptureOptions", sizeof(CaptureOptions),
        [](void *r) { Prefstore_LoadCapture((CaptureOptions *)r); },
        [](const void *r) { return Prefstore_SaveCapture((const CaptureOptions *)r); },
        [](void *r) {
            int *v = &As<CaptureOptions>(r).MouseTimer;
            for (int i = 0; i < 16; ++i) v[i] = 100 + i;
            As<CaptureOptions>(r).UpperCaptureLine = -2;
        },
        nullptr,
        {{R4 "Translation", "MouseTimer", 100}, {POPUP, "PopupPos", 101},
         {POPUP, "ListMode", 102}, {POPUP, "NoDispWhenNoCandidate", 103},
         {POPUP, "PopupToSearch", 104}, {R4 "Translation", "CaptureNoKey", 105},
         {R4 "Translation", "CaptureShift", 106}, {R4 "Translation", "CaptureCtrl", 107},
         {R4 "Translation", "CaptureShiftCtrl", 108},
         {R4 "Translation", "UpperCaptureLine", DWORD(-2)},
         {R4 "Translation", "LowerCaptureLine", 110}, {R4 "Translation", "KeyboardTimer", 111},
         {R4 "Translation", "IntelliWord", 112}, {R4 "Translation", "SpellCheck", 113},
         {R4 "Translation", "HotkeyTranToPopupWindow", 114},
         {R4 "Translation", "ClipboardTranToTranWindow", 115}}});

    c.push_back({"CandidateListOptions", sizeof(CandidateListOptions),
        [](void *r) { Prefstore_LoadCandidateList((CandidateListOptions *)r); },
        [](const void *r) { return Prefstore_SaveCandidateList((const CandidateListOptions *)r); },
        [](void *r) {
            auto &o = As<CandidateListOptions>(r);
            o.SortByLength = 3;
            o.Perfect = RGB(255, 0, 0);
            o.Good = RGB(0, 255, 0);
            o.Average = RGB(0, 0, 255);
            o.Bad = 0xFFFFFFFF;
        },
        nullptr,
        {{R4 "Window\\CandidateList", "SortByLength", 3},
         {R4 "Window\\CandidateList", "Perfect", 0x0000FF},
         {R4 "Window\\CandidateList", "Good", 0x00FF00},
         {R4 "Window\\CandidateList", "Average", 0xFF0000},
         {R4 "Window\\CandidateList", "Bad", 0xFFFFFFFF}}});

    c.push_back({"HotkeyOptions", sizeof(HotkeyOptions),
        [](void *r) { Prefstore_LoadHotkeys((HotkeyOptions *)r); },
        [](const void *r) { return Prefstore_SaveHotkeys((const HotkeyOptions *)r); },
        [](void *r) {
            auto &o = As<HotkeyOptions>(r);
            o.Use = 1;
            WORD *w = &o.Menu;
            for (int i = 0; i < 11; ++i) w[i] = WORD(0x0241 + i);  // Ctrl + A, B, ...
            o.Exit = 0xFF7B;  // every modifier bit: saved zero-extended, not sign-extended
        },
        nullptr,
        {{R4 "Hotkey", "Use", 1}, {R4 "Hotkey", "Menu", 0x241}, {R4 "Hotkey", "PauseMouse", 0x242},
         {R4 "Hotkey", "PauseKB", 0x243}, {R4 "Hotkey", "PauseHotkey", 0x244},
         {R4 "Hotkey", "TranHotkey", 0x245}, {R4 "Hotkey", "PauseCB", 0x246},
         {R4 "Hotkey", "Search", 0x247}, {R4 "Hotkey", "Translate", 0x248},
         {R4 "Hotkey", "Setup", 0x249}, {R4 "Hotkey", "StudyIt", 0x24A},
         {R4 "Hotkey", "Exit", 0xFF7B}}});

    c.push_back({"ControlBarOptions", sizeof(ControlBarOptions),
        [](void *r) { Prefstore_LoadControlBar((ControlBarOptions *)r); },
        [](const void *r) { return Prefstore_SaveControlBar((const ControlBarOptions *)r); },
        [](void *r) {
            auto &o = As<ControlBarOptions>(r);
            o.ControlBarMode = 1;
            o.ControlBarCustomize = 2;
            o.ControlBarFlag = 0x3FFF;
            memset(o.Reserved, 0xAA, sizeof o.Reserved);
            o.CtlBarIcon = 5;
        },
        [](void *r) { memset(As<ControlBarOptions>(r).Reserved, 0, sizeof(ControlBarOptions::Reserved)); },
        {{R4 "Customize", "ControlBarMode", 1}, {R4 "Customize", "ControlBarCustomize", 2},
         {R4 "Customize", "ControlBarFlag", 0x3FFF}, {R4 "Customize", "CtlBarIcon", 5}}});

    c.push_back({"CrossSearchOptions", sizeof(CrossSearchOptions),
        [](void *r) { Prefstore_LoadCrossSearch((CrossSearchOptions *)r); },
        [](const void *r) { return Prefstore_SaveCrossSearch((const CrossSearchOptions *)r); },
        [](void *r) { As<CrossSearchOptions>(r).Trigger = 3; },
        nullptr,
        {{R4 "CrossSearch", "Trigger", 3}}});

    c.push_back({"PopupWindowOptions", sizeof(PopupWindowOptions),
        [](void *r) { Prefstore_LoadPopupWindow((PopupWindowOptions *)r, nullptr); },
        [](const void *r) { return Prefstore_SavePopupWindow((const PopupWindowOptions *)r, nullptr); },
        [](void *r) {
            auto &o = As<PopupWindowOptions>(r);
            FillView(o.View, 10);
            o.UseSkin = 1;
            strcpy(o.SkinFolderName, "C:\\Program Files\\Velosuite\\Skins\\blue\\blue.tsk");
            o.ToolBar = 2;
            o.StatusBar = 3;
            o.Fixed = 4;
            o.ClickShowList = 5;
            o.FixedSize = 6;
        },
        nullptr,
        WithView(POPUP, 10,
                 {{POPUP, "UseSkin", 1},
                  {R4 "StartUp", "SkinFolderName", 0, "C:\\Program Files\\Velosuite\\Skins\\blue\\blue.tsk"},
                  {POPUP, "ToolBar", 2}, {POPUP, "StatusBar", 3}, {POPUP, "Fixed", 4},
                  {POPUP, "ClickShowList", 5}, {POPUP, "FixedSize", 6}})});

    c.push_back({"PopupWindowLayout", sizeof(PopupWindowLayout),
        [](void *r) { Prefstore_LoadPopupWindow(nullptr, (PopupWindowLayout *)r); },
        [](const void *r) { return Prefstore_SavePopupWindow(nullptr, (const PopupWindowLayout *)r); },
        [](void *r) { As<PopupWindowLayout>(r) = {-1, 16, 300, -32768}; },
        nullptr,
        {{POPUP, "Pos", 0x0010FFFF}, {POPUP, "Size", 0x8000012C}}});

    c.push_back({"SearchWindowOptions", sizeof(SearchWindowOptions),
        [](void *r) { Prefstore_LoadSearchWindow((SearchWindowOptions *)r, nullptr); },
        [](const void *r) { return Prefstore_SaveSearchWindow((const SearchWindowOptions *)r, nullptr); },
        [](void *r) {
            auto &o = As<SearchWindowOptions>(r);
            FillView(o.View, 20);
            o.CurItem = 2;
            o.MaxData = 500;
            o.DictionaryID = 0x00100100;
        },
        nullptr,
        WithView(SEARCH, 20,
                 {{SEARCH, "CurItem", 2}, {SEARCH, "MaxData", 500},
                  {SEARCH, "DictionaryID", 0x00100100}})});

    c.push_back({"SearchWindowLayout", sizeof(SearchWindowLayout),
        [](void *r) { Prefstore_LoadSearchWindow(nullptr, (SearchWindowLayout *)r); },
        [](const void *r) { return Prefstore_SaveSearchWindow(nullptr, (const SearchWindowLayout *)r); },
        [](void *r) {
            As<SearchWindowLayout>(r) = {640, 480, -5, -7, 1, 11, 12, 13, 14, 2, 3, 4, 1,
                                         -20, 30, 1, 200, 0, 150};
        },
        nullptr,
        {{SEARCH, "Size", 0x01E00280}, {SEARCH, "Pos", 0xFFF9FFFB},
         {SEARCH, "WindowMaximised", 1}, {SEARCH, "Ratio#1", 11}, {SEARCH, "Ratio#2", 12},
         {SEARCH, "Ratio#3", 13}, {SEARCH, "Ratio#4", 14}, {SEARCH, "LastPage", 2},
         {SEARCH, "SearchOption", 3}, {SEARCH, "SearchType", 4}, {SEARCH, "Incremental", 1},
         {SEARCH, "RebarSize", 0x001EFFEC}, {SEARCH, "ToolBarIndex", 1},
         {SEARCH, "ToolBarWidth", 200}, {SEARCH, "DicBarIndex", 0},
         {SEARCH, "DicBarWidth", 150}}});

    c.push_back({"TranslationWindowOptions", sizeof(TranslationWindowOptions),
        [](void *r) { Prefstore_LoadTranslationWindow((TranslationWindowOptions *)r, nullptr); },
        [](const void *r) {
            return Prefstore_SaveTranslationWindow((const TranslationWindowOptions *)r, nullptr);
        },
        [](void *r) {
            auto &o = As<TranslationWindowOptions>(r);
            FillView(o.View, 30);
            o.MaxData = 50;
            o.PlaySound = 1;
            o.DictionaryID = 7;
            o.AddAllWords = 1;
        },
        nullptr,
        WithView(TRANSL, 30,
                 {{TRANSL, "MaxData", 50}, {TRANSL, "PlaySound", 1}, {TRANSL, "DictionaryID", 7},
                  {TRANSL, "AddAllWords", 1}})});

    c.push_back({"TranslationWindowLayout", sizeof(TranslationWindowLayout),
        [](void *r) { Prefstore_LoadTranslationWindow(nullptr, (TranslationWindowLayout *)r); },
        [](const void *r) {
            return Prefstore_SaveTranslationWindow(nullptr, (const TranslationWindowLayout *)r);
        },
        [](void *r) {
            As<TranslationWindowLayout>(r) = {500, 400, 10, -10, 0, 100, 200, -1, 400,
                                              {9, 9, 9}, 5, 6, 1, 640, 28, 0, 300, 1, 320};
        },
        [](void *r) { memset(As<TranslationWindowLayout>(r).Unstored, 0, 3 * sizeof(int)); },
        {{TRANSL, "Size", 0x019001F4}, {TRANSL, "Pos", 0xFFF6000A},
         {TRANSL, "WindowMaximised", 0},
         {TRANSL, "Column#1", 0xFFFF0064},  // column 1 low, column 3 high
         {TRANSL, "Column#2", 0x019000C8},  // column 2 low, column 4 high
         {SEARCH, "SearchOption", 5}, {SEARCH, "SearchType", 6}, {SEARCH, "Incremental", 1},
         {TRANSL, "RebarSize", 0x001C0280}, {TRANSL, "ToolBarIndex", 0},
         {TRANSL, "ToolBarWidth", 300}, {TRANSL, "DicBarIndex", 1},
         {TRANSL, "DicBarWidth", 320}}});

    c.push_back({"StudyWindowOptions", sizeof(StudyWindowOptions),
        [](void *r) { Prefstore_LoadStudyWindow((StudyWindowOptions *)r, nullptr); },
        [](const void *r) { return Prefstore_SaveStudyWindow((const StudyWindowOptions *)r, nullptr); },
        [](void *r) {
            FillView(As<StudyWindowOptions>(r).View, 40);
            As<StudyWindowOptions>(r).MaxData = 1000;
        },
        nullptr,
        WithView(STUDY, 40, {{STUDY, "MaxData", 1000}})});

    c.push_back({"StudyWindowLayout", sizeof(StudyWindowLayout),
        [](void *r) { Prefstore_LoadStudyWindow(nullptr, (StudyWindowLayout *)r); },
        [](const void *r) { return Prefstore_SaveStudyWindow(nullptr, (const StudyWindowLayout *)r); },
        [](void *r) {
            As<StudyWindowLayout>(r) = {800, 600, -3, 4, 400, 300, 5, -6, 45, 1, 2, 3, 4, 1, 0};
        },
        nullptr,
        {{STUDY, "Size", 0x02580320}, {STUDY, "Pos", 0x0004FFFD},
         {STUDY, "ViewerSize", 0x012C0190}, {STUDY, "ViewerPos", 0xFFFA0005},
         {STUDY, "Ratio#1", 45}, {STUDY, "Column#1", 1}, {STUDY, "Column#2", 2},
         {STUDY, "Column#3", 3}, {STUDY, "Column#4", 4}, {STUDY, "WindowMaximised", 1},
         {STUDY, "ViewerMaximized", 0}}});

    c.push_back({"ControlBarWindowLayout", sizeof(ControlBarWindowLayout),
        [](void *r) { Prefstore_LoadControlBarWindow((ControlBarWindowLayout *)r); },
        [](const void *r) { return Prefstore_SaveControlBarWindow((const ControlBarWindowLayout *)r); },
        [](void *r) {
            auto &o = As<ControlBarWindowLayout>(r);
            o.x = -100;
            o.y = 20;
            strcpy(o.Show, "1,0,1");
        },
        nullptr,
        {{R4 "Window\\ControlBar", "Pos", 0x0014FF9C},
         {R4 "Window\\ControlBar", "Show", 0, "1,0,1"}}});

    c.push_back({"SetupWindowLayout", sizeof(SetupWindowLayout),
        [](void *r) {
            int option = 77;
            Prefstore_LoadSetupWindow(&option, (SetupWindowLayout *)r);
            EXPECT_EQ(option, 0);
        },
        [](const void *r) {
            int option = 77;
            return Prefstore_SaveSetupWindow(&option, (const SetupWindowLayout *)r);
        },
        [](void *r) {
            As<SetupWindowLayout>(r) = {300, 200, 1, 2, 0x12345, 10, 20, 30, 40, -50, 60, 1};
        },
        // The ratio and the columns are saved as their low 16 bits and load back without sign.
        [](void *r) {
            As<SetupWindowLayout>(r).Ratio1 = 0x2345;
            As<SetupWindowLayout>(r).Column5 = 0xFFCE;
        },
        {{R4 "Window\\SetupWindow", "Size", 0x00C8012C}, {R4 "Window\\SetupWindow", "Pos", 0x00020001},
         {R4 "Window\\SetupWindow", "Ratio#1", 0x2345}, {R4 "Window\\SetupWindow", "Column#1", 10},
         {R4 "Window\\SetupWindow", "Column#2", 20}, {R4 "Window\\SetupWindow", "Column#3", 30},
         {R4 "Window\\SetupWindow", "Column#4", 40}, {R4 "Window\\SetupWindow", "Column#5", 0xFFCE},
         {R4 "Window\\SetupWindow", "Column#6", 60},
         {R4 "Window\\SetupWindow", "WindowMaximised", 1}}});

    c.push_back({"OptionWindowLayout", sizeof(OptionWindowLayout),
        [](void *r) { Prefstore_LoadOptionWindow((OptionWindowLayout *)r); },
        [](const void *r) { return Prefstore_SaveOptionWindow((const OptionWindowLayout *)r); },
        [](void *r) { As<OptionWindowLayout>(r) = {-32768, 32767}; },
        nullptr,
        {{R4 "Window\\OptWin", "Pos", 0x7FFF8000}}});

    c.push_back({"SpeechWindowOptions", sizeof(SpeechWindowOptions),
        [](void *r) { Prefstore_LoadSpeechWindow((SpeechWindowOptions *)r, nullptr); },
        [](const void *r) { return Prefstore_SaveSpeechWindow((const SpeechWindowOptions *)r, nullptr); },
        [](void *r) { As<SpeechWindowOptions>(r) = {5, -3, 80, 2}; },
        nullptr,
        {{R4 "Window\\TTSWin", "Pitch", 5}, {R4 "Window\\TTSWin", "Speed", DWORD(-3)},
         {R4 "Window\\TTSWin", "Volume", 80}, {R4 "Window\\TTSWin", "Mode", 2}}});

    c.push_back({"SpeechWindowLayout", sizeof(SpeechWindowLayout),
        [](void *r) { Prefstore_LoadSpeechWindow(nullptr, (SpeechWindowLayout *)r); },
        [](const void *r) { return Prefstore_SaveSpeechWindow(nullptr, (const SpeechWindowLayout *)r); },
        [](void *r) { As<SpeechWindowLayout>(r) = {7, 8, 250, 120, 1}; },
        nullptr,
        {{R4 "Window\\TTSWin", "Pos", 0x00080007}, {R4 "Window\\TTSWin", "Size", 0x007800FA},
         {R4 "Window\\TTSWin", "WindowMaximised", 1}}});

    c.push_back({"WordManagerWindowLayout", sizeof(WordManagerWindowLayout),
        [](void *r) { Prefstore_LoadWordManagerWindow((WordManagerWindowLayout *)r); },
        [](const void *r) { return Prefstore_SaveWordManagerWindow((const WordManagerWindowLayout *)r); },
        [](void *r) { As<WordManagerWindowLayout>(r) = {-1, -1, 400, 350}; },
        nullptr,
        {{R4 "Window\\WordMan", "Pos", 0xFFFFFFFF}, {R4 "Window\\WordMan", "Size", 0x015E0190}}});

    c.push_back({"HistoryWindowLayout", sizeof(HistoryWindowLayout),
        [](void *r) { Prefstore_LoadHistoryWindow((HistoryWindowLayout *)r); },
        [](const void *r) { return Prefstore_SaveHistoryWindow((const HistoryWindowLayout *)r); },
        [](void *r) { As<HistoryWindowLayout>(r) = {600, 450, 30, 40, 1, 80, -90, 1, 2, 3, 4}; },
        nullptr,
        {{R7 "Window\\TranslationHistory", "Size", 0x01C20258},
         {R7 "Window\\TranslationHistory", "Pos", 0x0028001E},
         {R7 "Window\\TranslationHistory", "WindowMaximised", 1},
         {R7 "Window\\TranslationHistory", "Column#8", 0xFFA60050},
         {R7 "Window\\TranslationHistory", "Column#1", 1},
         {R7 "Window\\TranslationHistory", "Column#2", 2},
         {R7 "Window\\TranslationHistory", "Column#3", 3},
         {R7 "Window\\TranslationHistory", "Column#4", 4}}});

    return c;
}

class RecordsTest : public SettingsStoreTest {};

std::vector<unsigned char> Buffer(size_t size, unsigned char fill)
{
    return std::vector<unsigned char>(size, fill);
}

TEST_P(RecordsTest, EmptyStoreLoadsEveryRecordAsZeros) {
    for (const RecordCase &rc : Cases()) {
        SCOPED_TRACE(rc.label);
        auto rec = Buffer(rc.size, 0xCD);
        rc.load(rec.data());
        EXPECT_EQ(rec, Buffer(rc.size, 0)) << "every byte zero, WebList null";
    }
}

TEST_P(RecordsTest, SaveWritesExactValuesAndLoadsBack) {
    for (const RecordCase &rc : Cases()) {
        SCOPED_TRACE(rc.label);
        auto rec = Buffer(rc.size, 0);
        rc.fill(rec.data());
        EXPECT_EQ(rc.save(rec.data()), 1);
        for (const Stored &s : rc.stored) {
            SCOPED_TRACE(std::string(s.path) + " : " + s.name);
            if (s.text) {
                char buf[300];
                EXPECT_EQ(Basekit_SettingsReadString(s.path, s.name, buf, sizeof buf), 1);
                EXPECT_STREQ(buf, s.text);
            } else {
                EXPECT_EQ(Basekit_SettingsReadDword(s.path, s.name), s.value);
            }
        }
        auto loaded = Buffer(rc.size, 0xCD);
        rc.load(loaded.data());
        if (rc.loadedAs) rc.loadedAs(rec.data());
        EXPECT_EQ(loaded, rec);
    }
}

TEST_P(RecordsTest, PackedHalvesAreSignExtendedAndHotKeysKeepTheirLowWord) {
    ASSERT_TRUE(Basekit_SettingsWriteDword(POPUP, "Pos", 0xFFFF0010));
    ASSERT_TRUE(Basekit_SettingsWriteDword(POPUP, "Size", 0x7FFF8000));
    PopupWindowLayout layout;
    Prefstore_LoadPopupWindow(nullptr, &layout);
    EXPECT_EQ(layout.x, 16);
    EXPECT_EQ(layout.y, -1);
    EXPECT_EQ(layout.cx, -32768);
    EXPECT_EQ(layout.cy, 32767);

    ASSERT_TRUE(Basekit_SettingsWriteDword(R4 "Hotkey", "Menu", 0xABCD0641));
    ASSERT_TRUE(Basekit_SettingsWriteDword(R4 "Hotkey", "Exit", 0x00010000));
    HotkeyOptions keys;
    Prefstore_LoadHotkeys(&keys);
    EXPECT_EQ(keys.Menu, 0x0641);
    EXPECT_EQ(keys.Exit, 0) << "a word whose low 16 bits are 0 is no hot key";
}

TEST_P(RecordsTest, StringFieldsKeepTheirBoundsBothWays) {
    // A stored text longer than the field arrives cut (or not at all) but always terminated.
    std::string longText(300, 'x');
    ASSERT_TRUE(Basekit_SettingsWriteString(R4 "StartUp", "TranslationSet", longText.c_str()));
    StartupOptions o;
    Prefstore_LoadStartup(&o);
    EXPECT_LT(strlen(o.TranslationSet), sizeof o.TranslationSet);

    // A full field without a terminator is saved as its 64 bytes, not beyond.
    memset(&o, 0, sizeof o);
    memset(o.TranslationSet, 'y', sizeof o.TranslationSet);
    o.EnableTextToSpeech = 0x7A7A7A7A;  // the next field holds no zero byte either
    EXPECT_EQ(Prefstore_SaveStartup(&o), 1);
    char buf[300];
    ASSERT_EQ(Basekit_SettingsReadString(R4 "StartUp", "TranslationSet", buf, sizeof buf), 1);
    EXPECT_EQ(std::string(buf), std::string(64, 'y'));
}

TEST_P(RecordsTest, NullOptionsOrLayoutIsSkipped) {
    PopupWindowOptions popup;
    memset(&popup, 0, sizeof popup);
    popup.Fixed = 9;
    PopupWindowLayout layout = {1, 2, 3, 4};
    EXPECT_EQ(Prefstore_SavePopupWindow(&popup, nullptr), 1);
    EXPECT_EQ(Basekit_SettingsReadDword(POPUP, "Fixed"), 9u);
    EXPECT_EQ(Basekit_SettingsReadDword(POPUP, "Pos"), 0u) << "layout not written";
    EXPECT_EQ(Prefstore_SavePopupWindow(nullptr, &layout), 1);

    // Loading the layout alone leaves whatever the caller holds elsewhere; loading both fills both.
    PopupWindowLayout back;
    memset(&back, 0xCD, sizeof back);
    Prefstore_LoadPopupWindow(nullptr, &back);
    EXPECT_EQ(memcmp(&back, &layout, sizeof layout), 0);
    Prefstore_LoadPopupWindow(nullptr, nullptr);
    PopupWindowOptions opts;
    memset(&opts, 0xCD, sizeof opts);
    memset(&back, 0xCD, sizeof back);
    Prefstore_LoadPopupWindow(&opts, &back);
    EXPECT_EQ(opts.Fixed, 9);
    EXPECT_EQ(back.cy, 4);
}

TEST_P(RecordsTest, TranslationLayoutSharesTheSearchSwitches) {
    TranslationWindowLayout tl;
    memset(&tl, 0, sizeof tl);
    tl.SearchOption = 7;
    tl.SearchType = 8;
    tl.Incremental = 1;
    ASSERT_EQ(Prefstore_SaveTranslationWindow(nullptr, &tl), 1);
    SearchWindowLayout sl;
    Prefstore_LoadSearchWindow(nullptr, &sl);
    EXPECT_EQ(sl.SearchOption, 7);
    EXPECT_EQ(sl.SearchType, 8);
    EXPECT_EQ(sl.Incremental, 1);

    sl.SearchOption = 2;
    ASSERT_EQ(Prefstore_SaveSearchWindow(nullptr, &sl), 1);
    Prefstore_LoadTranslationWindow(nullptr, &tl);
    EXPECT_EQ(tl.SearchOption, 2);
}

// ---- The search window's web links ----

WebLink Link(const char *name, const char *address)
{
    WebLink l;
    memset(&l, 0, sizeof l);
    strcpy(l.Name, name);
    strcpy(l.Address, address);
    return l;
}

std::vector<std::string> LoadedNames()
{
    SearchWindowOptions o;
    Prefstore_LoadSearchWindow(&o, nullptr);
    std::vector<std::string> names;
    if (!o.WebList) return {"<null>"};
    for (const WebLink *l = o.WebList; l->Name[0]; ++l)
        names.push_back(std::string(l->Name) + "=" + l->Address);
    Prefstore_FreeWebList(&o);
    EXPECT_EQ(o.WebList, nullptr);
    return names;
}

TEST_P(RecordsTest, WebListIsNullWithoutItsSubsectionAndNullSavesNothing) {
    SearchWindowOptions o;
    Prefstore_LoadSearchWindow(&o, nullptr);
    EXPECT_EQ(o.WebList, nullptr);
    EXPECT_EQ(Prefstore_SaveSearchWindow(&o, nullptr), 1);
    SettingsKey web = Basekit_SettingsOpenKey(SEARCH "\\Web");
    EXPECT_EQ(web, nullptr) << "no Web subsection written for a null list";
    Basekit_SettingsCloseKey(web);
    Prefstore_FreeWebList(&o);  // null list: nothing to do
    Prefstore_FreeWebList(nullptr);
}

TEST_P(RecordsTest, WebListOddValueCountReadsWholePairs) {
    const char *path = SEARCH "\\Web";
    ASSERT_TRUE(Basekit_SettingsWriteString(path, "WebName1", "Alpha"));
    ASSERT_TRUE(Basekit_SettingsWriteString(path, "WebAddress1", "http://a.example/"));
    ASSERT_TRUE(Basekit_SettingsWriteString(path, "WebName2", "Beta"));
    ASSERT_TRUE(Basekit_SettingsWriteString(path, "WebAddress2", "http://b.example/"));
    ASSERT_TRUE(Basekit_SettingsWriteString(path, "WebName3", "Gamma"));
    EXPECT_EQ(LoadedNames(),
              (std::vector<std::string>{"Alpha=http://a.example/", "Beta=http://b.example/"}));
}

TEST_P(RecordsTest, WebListRoundTripsAndADeletedLinkStaysDeleted) {
    WebLink three[] = {Link("One", "http://1.example/"), Link("Two", "http://2.example/"),
                       Link(kSjisText, "http://3.example/?q=%s"), Link("", "")};
    SearchWindowOptions o;
    memset(&o, 0, sizeof o);
    o.WebList = three;
    ASSERT_EQ(Prefstore_SaveSearchWindow(&o, nullptr), 1);
    EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"One=http://1.example/", "Two=http://2.example/",
                                                       std::string(kSjisText) + "=http://3.example/?q=%s"}));

    WebLink one[] = {Link("Two", "http://2.example/"), Link("", "ignored after the end")};
    o.WebList = one;
    ASSERT_EQ(Prefstore_SaveSearchWindow(&o, nullptr), 1);
    EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"Two=http://2.example/"}));
    char buf[MAX_PATH];
    EXPECT_EQ(Basekit_SettingsReadString(SEARCH "\\Web", "WebName3", buf, sizeof buf), 0);
    EXPECT_EQ(Basekit_SettingsReadString(SEARCH "\\Web", "WebAddress2", buf, sizeof buf), 0);

    WebLink none[] = {Link("", "")};
    o.WebList = none;
    ASSERT_EQ(Prefstore_SaveSearchWindow(&o, nullptr), 1);
    EXPECT_EQ(LoadedNames(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(BothStores, RecordsTest,
                         testing::Values(StoreMode::Registry, StoreMode::File), StoreModeName);

}  // namespace
