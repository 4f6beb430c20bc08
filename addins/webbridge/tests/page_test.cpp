// The browser bar's actions over pages of our own (the adapter the product implements over the
// browser's documents), with the engine over a catalogue holding the translator driver dictionary:
// a selection translated into the result dialog, a whole page noted, reopened and translated in
// place, the page text handed to a translation window of this test (kind 4), and the options and
// result dialogs from Webbridge.dll's own resources, with pictures.  Japanese text is written as
// escaped characters with a comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "addin_fixtures.h"
#include "basekit.h"
#include "scrivel.h"
#include "webbridge_int.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

class FakeDocument : public WebDocument {
public:
    std::wstring selection, body;
    std::vector<std::wstring> runs;  // text runs and button captions in document order
    std::vector<size_t> replaced;
    std::string charset = "iso-8859-1";
    int charsetSets = 0;
    bool Selection(std::wstring *text) override {
        *text = selection;
        return !selection.empty();
    }
    std::string CharsetName() override { return charset; }
    void SetCharsetName(const char *name) override {
        charset = name;
        charsetSets++;
    }
    bool BodyText(std::wstring *text) override {
        *text = body;
        return true;
    }
    void ChangeRuns(const std::function<bool(const std::wstring &, std::wstring *)> &change) override {
        for (size_t i = 0; i < runs.size(); ++i) {
            std::wstring replacement;
            if (change(runs[i], &replacement)) {
                runs[i] = replacement;
                replaced.push_back(i);
            }
        }
    }
};

class FakePage : public WebPage {
public:
    HWND window = nullptr;
    std::string address = "http://example.org/page.html", program = "C:\\Browser\\browser.exe";
    std::vector<FakeDocument> frames;
    int visits = 0;
    HWND Window() override { return window; }
    std::string Address() override { return address; }
    std::string ProgramPath() override { return program; }
    void WalkFrames(const std::function<bool(WebDocument &)> &visit) override {
        for (FakeDocument &d : frames) {
            visits++;
            if (!visit(d)) return;
        }
    }
};

const DWORD kTranslator = 0x310000, kDictionary = 0x350000;

class Page : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        catalogue = new addinfix::Catalogue();
        module = LoadLibraryA("Webbridge.dll");  // the dialogs' resources
        Addin_SetModule(module);
        Addin_EngineStart(GetModuleHandleA(nullptr), "VLIEPLUGIN");
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FakeBrowserFrame";
        RegisterClassA(&wc);
        frame = CreateWindowExA(0, wc.lpszClassName, "Browser", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr, wc.hInstance, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(frame);
        Addin_EngineStop();
        FreeLibrary(module);
        delete catalogue;
    }
    void SetUp() override {
        page.window = frame;
        page.frames.resize(3);
        DeleteFileA(Addin_TempPath(ADDIN_NOTE_FILE).c_str());
    }
    static addinfix::Catalogue *catalogue;
    static HMODULE module;
    static HWND frame;
    FakePage page;
    WebbridgeState state;
};
addinfix::Catalogue *Page::catalogue;
HMODULE Page::module;
HWND Page::frame;

// Runs fn on the dialog that the next modal loop of this thread opens, then presses its button.
struct DialogDriver {
    static std::function<void(HWND)> fn;
    static int button;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dlg = Addin_OpenDialog();
        if (!dlg || !IsWindowVisible(dlg)) return;
        KillTimer(nullptr, id);
        if (fn) fn(dlg);
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(dlg, button));
    }
    static void Arm(std::function<void(HWND)> f, int press) {
        fn = f;
        button = press;
        SetTimer(nullptr, 0, 50, Tick);
    }
};
std::function<void(HWND)> DialogDriver::fn;
int DialogDriver::button;

void Picture(HWND dlg, const char *file) {
    RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    EXPECT_TRUE(Testkit_SaveWindowPicture(dlg, file));
}

TEST_F(Page, SelectionTranslatedIntoTheResultDialog) {
    page.frames[1].selection = L"Good morning";
    page.frames[2].selection = L"Good night";  // never reached: the first selection wins
    std::string shown;
    BYTE shownCharset = 0;
    WebbridgeHooks hooks = Webbridge_DefaultHooks();
    auto dialog = hooks.showResult;
    hooks.showResult = [&](HWND owner, const std::string &text, BYTE charset) {
        EXPECT_EQ(owner, frame);
        shown = text;
        shownCharset = charset;
        dialog(owner, text, charset);
    };
    std::string editorText;
    RECT placed = {};
    DialogDriver::Arm(
        [&](HWND dlg) {
            HWND editor = GetDlgItem(dlg, 110);
            ASSERT_TRUE(editor);
            char buf[4096] = {};
            SendMessageA(editor, SCM_GETPLAINTEXT, 0, (LPARAM)buf);
            editorText = buf;
            SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
            Picture(dlg, "result.bmp");
            // the button row and the editor after a resize
            SetWindowPos(dlg, nullptr, -30, 20, 500, 260, SWP_NOZORDER);
            RECT client, b, e;
            GetClientRect(dlg, &client);
            HWND close = GetDlgItem(dlg, IDOK), all = GetDlgItem(dlg, 207), copy = GetDlgItem(dlg, 208);
            GetWindowRect(close, &b);
            MapWindowPoints(nullptr, dlg, (POINT *)&b, 2);
            EXPECT_EQ(b.right, client.right - 2);
            EXPECT_EQ(b.bottom, client.bottom - 2);
            RECT a, c;
            GetWindowRect(all, &a);
            GetWindowRect(copy, &c);
            MapWindowPoints(nullptr, dlg, (POINT *)&a, 2);
            MapWindowPoints(nullptr, dlg, (POINT *)&c, 2);
            EXPECT_EQ(a.left, 2);
            EXPECT_EQ(c.left, a.right + 2);
            GetWindowRect(editor, &e);
            MapWindowPoints(nullptr, dlg, (POINT *)&e, 2);
            EXPECT_EQ(e.right - e.left, client.right);
            EXPECT_EQ(e.bottom, b.top - 2);
            GetWindowRect(dlg, &placed);
        },
        IDOK);
    Webbridge_TranslateAction(page, kTranslator, kDictionary, state, hooks);
    // ohayou gozaimasu in Shift-JIS
    EXPECT_EQ(shown, "\x82\xa8\x82\xcd\x82\xe6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb7");
    EXPECT_EQ(shownCharset, 128);
    EXPECT_NE(editorText.find(shown), std::string::npos) << editorText;
    EXPECT_TRUE(state.translateMode);
    EXPECT_EQ(page.visits, 2) << "the walk stops at the first selection";
    EXPECT_FALSE(Testkit_Exists(Addin_TempPath(ADDIN_NOTE_FILE))) << "no page translation";

    // The dialog reopens where it was closed, also left of the screen's edge.
    RECT again = {};
    DialogDriver::Arm([&](HWND dlg) { GetWindowRect(dlg, &again); }, IDOK);
    Webbridge_TranslateAction(page, kTranslator, kDictionary, state, hooks);
    EXPECT_EQ(again.left, placed.left);
    EXPECT_EQ(again.top, placed.top);
    EXPECT_EQ(again.right - again.left, placed.right - placed.left);
    EXPECT_EQ(again.bottom - again.top, placed.bottom - placed.top);

    // A translator that cannot be opened, or a selection of only blanks and question marks, ends
    // silently.
    shown.clear();
    Webbridge_TranslateAction(page, 0x330000, kDictionary, state, hooks);
    page.frames[1].selection = L" ?? ";
    Webbridge_TranslateAction(page, kTranslator, kDictionary, state, hooks);
    EXPECT_EQ(shown, "");
}

TEST(LaunchParameter, FileAddressesGetTheirSpacesBackAndQuotes) {
    struct Case { const char *address, *parameter; } const cases[] = {
        {"http://example.org/a%20b", "http://example.org/a%20b"},
        {"file:///C:/My%20Pages/a.html", "\"file:///C:/My Pages/a.html\""},
        {"FILE:///C:/x%20y%20z.htm", "\"FILE:///C:/x y z.htm\""},
        {"file:///C:/plain.htm", "file:///C:/plain.htm"},
        {"file:", "file:"},
    };
    for (const Case &c : cases) EXPECT_EQ(Webbridge_LaunchParameter(c.address), c.parameter);
}

TEST_F(Page, WholePageNotedReopenedAndTranslatedInPlace) {
    std::string launched, parameter;
    DWORD selectedTran = 0, selectedDic = 0;
    WebbridgeHooks hooks;
    hooks.launch = [&](const std::string &program, const std::string &param) {
        launched = program;
        parameter = param;
    };
    hooks.selectIds = [&](DWORD t, DWORD d) {
        selectedTran = t;
        selectedDic = d;
    };
    page.address = "file:///C:/Pages/My%20Page.html";
    Webbridge_TranslateAction(page, kTranslator, kDictionary, state, hooks);
    EXPECT_EQ(launched, "C:\\Browser\\browser.exe");
    EXPECT_EQ(parameter, "\"file:///C:/Pages/My Page.html\"");
    ASSERT_TRUE(Testkit_Exists(Addin_TempPath(ADDIN_NOTE_FILE)));

    // The reopened page: its runs (a button caption among them) translated in place; runs whose
    // translation is the text itself, or that have none, stay as they are.
    FakePage reopened;
    reopened.address = page.address;
    reopened.frames.resize(2);
    reopened.frames[0].runs = {L"Good morning", L"2024", L"  ", L"Thank you"};
    reopened.frames[1].runs = {L"Dictionary"};
    reopened.frames[1].charset = "shift_jis";
    EXPECT_TRUE(Webbridge_PageCheck(reopened, state, hooks));
    EXPECT_EQ(selectedTran, kTranslator);
    EXPECT_EQ(selectedDic, kDictionary);
    EXPECT_EQ(reopened.frames[0].runs[0], L"\x304a\x306f\x3088\x3046\x3054\x3056\x3044\x307e\x3059");  // ohayou gozaimasu
    EXPECT_EQ(reopened.frames[0].runs[1], L"2024");
    EXPECT_EQ(reopened.frames[0].runs[3], L"\x3042\x308a\x304c\x3068\x3046");  // arigatou
    EXPECT_EQ(reopened.frames[0].replaced, (std::vector<size_t>{0, 3})) << "only changed runs";
    EXPECT_EQ(reopened.frames[0].charset, "shift_jis") << "the charset of the last result";
    // a run of Japanese: the page's charset follows the English result
    EXPECT_EQ(reopened.frames[1].runs[0], L"\x8f9e\x66f8");  // jisho
    EXPECT_EQ(reopened.frames[1].charset, "shift_jis");

    // The note is used once; a note for another address is dropped.
    FakePage later = reopened;
    later.frames[0].runs = {L"Good morning"};
    later.frames[0].replaced.clear();
    EXPECT_FALSE(Webbridge_PageCheck(later, state, hooks));
    EXPECT_TRUE(later.frames[0].replaced.empty());
    ASSERT_TRUE(Addin_WriteNote(kTranslator, kDictionary, "http://elsewhere/"));
    EXPECT_FALSE(Webbridge_PageCheck(later, state, hooks));
    EXPECT_FALSE(Testkit_Exists(Addin_TempPath(ADDIN_NOTE_FILE)));
}

TEST_F(Page, PageTextHandedToTheTranslationWindow) {
    addinfix::Receiver receiver;
    page.frames[0].body = L"top page";
    page.frames[1].body = L"\x8f9e\x66f8 frame\n";  // jisho
    page.frames[1].selection = L"frame";
    Webbridge_LookupAction(page, kTranslator, kDictionary, state);
    ASSERT_EQ(addinfix::g_seen.size(), 1u);
    EXPECT_EQ(addinfix::g_seen[0].msg, (UINT)ADDIN_VLM_TRANSLATE_TEXT_FILE);
    EXPECT_EQ(addinfix::g_seen[0].wParam, kDictionary);
    EXPECT_EQ(addinfix::g_seen[0].lParam, (LPARAM)kTranslator);
    // the whole text of the frame with the selection, in the dictionary's charset (Shift-JIS)
    EXPECT_EQ(addinfix::g_seen[0].file, "\x8e\xab\x8f\x91 frame\r\n");
    EXPECT_FALSE(state.translateMode);

    page.frames[1].selection.clear();
    Webbridge_LookupAction(page, kTranslator, kDictionary, state);
    ASSERT_EQ(addinfix::g_seen.size(), 2u);
    EXPECT_EQ(addinfix::g_seen[1].file, "top page") << "no selection: the top document";

    Webbridge_LookupAction(page, kTranslator, 0, state);
    EXPECT_EQ(addinfix::g_seen.size(), 2u) << "no dictionary chosen: nothing sent";
    DeleteFileA(Addin_TempPath(ADDIN_TEXT_FILE).c_str());
}

TEST_F(Page, OptionsDialogShowsAndSavesTheSettings) {
    const char *key = kWebbridgeProfile.key;
    Basekit_SettingsWriteString(key, "DefaultTranslatorName", "Translator");  // the start of an item's name
    Basekit_SettingsWriteString(key, "DefaultDictionaryName", "English");      // an item's whole name
    Basekit_SettingsWriteDword(key, "ShowTranslator", 1);
    Basekit_SettingsWriteDword(key, "ShowDictionary", 0);
    Basekit_SettingsWriteDword(key, "PopupWindow", 1);
    struct Seen {
        std::string translator, dictionary;
        bool boxEnabled, dictionaryEnabled, radiosEnabled, popupChecked;
        bool afterUncheck[3];
    } seen = {};
    auto text = [](HWND box) {
        char buf[256] = {};
        LRESULT at = SendMessageA(box, CB_GETCURSEL, 0, 0);
        SendMessageA(box, CB_GETLBTEXT, at, (LPARAM)buf);
        return std::string(buf);
    };
    DialogDriver::Arm(
        [&](HWND dlg) {
            seen.translator = text(GetDlgItem(dlg, 108));
            seen.dictionary = text(GetDlgItem(dlg, 109));
            seen.boxEnabled = IsWindowEnabled(GetDlgItem(dlg, 108));
            seen.dictionaryEnabled = IsWindowEnabled(GetDlgItem(dlg, 109));
            seen.radiosEnabled = IsWindowEnabled(GetDlgItem(dlg, 206)) && IsWindowEnabled(GetDlgItem(dlg, 207));
            seen.popupChecked = IsDlgButtonChecked(dlg, 207) == BST_CHECKED;
            SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
            Picture(dlg, "options.bmp");
            // the enabling rules, then the choices the user makes
            SendMessageA(GetDlgItem(dlg, 201), BM_CLICK, 0, 0);
            seen.afterUncheck[0] = IsWindowEnabled(GetDlgItem(dlg, 108));
            seen.afterUncheck[1] = IsWindowEnabled(GetDlgItem(dlg, 206));
            seen.afterUncheck[2] = IsWindowEnabled(GetDlgItem(dlg, 207));
            SendMessageA(GetDlgItem(dlg, 201), BM_CLICK, 0, 0);
            SendMessageA(GetDlgItem(dlg, 203), BM_CLICK, 0, 0);
            SendMessageA(GetDlgItem(dlg, 206), BM_CLICK, 0, 0);
            SendMessageA(GetDlgItem(dlg, 109), CB_SETCURSEL, 1, 0);
        },
        IDOK);
    EXPECT_EQ(Addin_OptionsDialog(frame, kWebbridgeProfile), 1);
    EXPECT_EQ(seen.translator, "Translator EJ") << "a default that begins an item's name";
    EXPECT_EQ(seen.dictionary, "English") << "the whole name wins over an earlier item beginning with it";
    EXPECT_TRUE(seen.boxEnabled);
    EXPECT_FALSE(seen.dictionaryEnabled) << "look-up off";
    EXPECT_TRUE(seen.radiosEnabled);
    EXPECT_TRUE(seen.popupChecked);
    EXPECT_FALSE(seen.afterUncheck[0]);
    EXPECT_FALSE(seen.afterUncheck[1]);
    EXPECT_FALSE(seen.afterUncheck[2]);

    PluginSettings s;
    PluginSettings_Defaults(kWebbridgeProfile, &s);
    ASSERT_TRUE(PluginSettings_Load(kWebbridgeProfile, &s));
    EXPECT_EQ(s.ShowTranslator, 1);
    EXPECT_EQ(s.ShowDictionary, 1);
    EXPECT_EQ(s.PopupWindow, 0);
    EXPECT_STREQ(s.DefaultTranslatorName, "Translator EJ");
    EXPECT_STREQ(s.DefaultDictionaryName, "\x98\x61\x89\x70\x8e\xab\x93\x54");  // waei jiten, the second item

    // Cancel keeps what was stored.
    DialogDriver::Arm([](HWND dlg) { SendMessageA(GetDlgItem(dlg, 203), BM_CLICK, 0, 0); }, IDCANCEL);
    EXPECT_EQ(Addin_OptionsDialog(frame, kWebbridgeProfile), 0);
    ASSERT_TRUE(PluginSettings_Load(kWebbridgeProfile, &s));
    EXPECT_EQ(s.ShowDictionary, 1);
}

}  // namespace
