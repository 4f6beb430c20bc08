// Font lists, the two colour pickers and the message dialogs, driven under the X display.  The
// pickers are driven from their start callback (posting mouse messages to themselves) and, for
// the system colour dialog, from a helper thread that finds and cancels it; the message dialogs
// from a thread that waits for the window in their "place".
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "basekit.h"

namespace {

HWND MakeOwner()
{
    return CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 300, 300, 100, 50,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::vector<std::string> Items(HWND box, bool list)
{
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(box, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[64] = "";
        SendMessageA(box, list ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        out.push_back(text);
    }
    return out;
}

bool Has(const std::vector<std::string> &v, const char *s)
{
    for (const std::string &x : v)
        if (x == s) return true;
    return false;
}

TEST(FontList, CharsetFilterVerticalFacesAndSelection)
{
    HWND owner = MakeOwner();
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 100,
                                60, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(-1, Basekit_FillFontListAll(list, 255, 0));
    std::vector<std::string> any = Items(list, true);
    ASSERT_GT(any.size(), 3u);
    for (const std::string &f : any) {
        EXPECT_NE('@', f[0]) << f;
    }
    Basekit_FillFontListAll(list, 255, 0x10);
    std::vector<std::string> vertical = Items(list, true);
    EXPECT_GT(vertical.size(), any.size());   // the CJK fonts of the test system have "@" faces
    for (const std::string &f : vertical) EXPECT_TRUE(Has(any, f.c_str()) || f[0] == '@') << f;
    // The charset filter, through both ways of enumerating: Korean faces for the Korean
    // charset only, Western faces for the Western charset but not the Japanese one.
    ASSERT_TRUE(Has(any, "DejaVu Sans"));
    Basekit_FillFontListAll(list, HANGEUL_CHARSET, 0);
    std::vector<std::string> korean = Items(list, true);
    EXPECT_TRUE(Has(korean, "Gulim"));
    EXPECT_FALSE(Has(korean, "DejaVu Sans"));
    Basekit_FillFontListAll(list, SHIFTJIS_CHARSET, 0);
    std::vector<std::string> japanese = Items(list, true);
    EXPECT_TRUE(Has(japanese, "MS Gothic"));
    EXPECT_FALSE(Has(japanese, "DejaVu Sans"));
    Basekit_FillFontListAll(list, ANSI_CHARSET, 0);
    std::vector<std::string> western = Items(list, true);
    EXPECT_TRUE(Has(western, "DejaVu Sans"));
    // Each face once, whatever number of charsets its family covers.
    for (size_t i = 0; i + 1 < any.size(); ++i)
        for (size_t j = i + 1; j < any.size(); ++j) EXPECT_NE(any[i], any[j]);
    ASSERT_GT(western.size(), 0u);

    // The face to select ends up selected and at the top of the list.
    std::string face = western[western.size() / 3];
    int top = Basekit_FillFontList(list, face.c_str(), ANSI_CHARSET, 0);
    EXPECT_NE(-1, top);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    ASSERT_GE(selected, 0);
    char text[64];
    SendMessageA(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(face, text);
    EXPECT_EQ(selected, SendMessageA(list, LB_GETTOPINDEX, 0, 0));

    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0,
                                 100, 200, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(-1, Basekit_FillFontList(combo, face.c_str(), ANSI_CHARSET, 0));
    EXPECT_EQ(western, Items(combo, false));
    SendMessageA(combo, CB_GETLBTEXT, SendMessageA(combo, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(face, text);
    EXPECT_EQ(-1, Basekit_FillFontList(combo, "No Such Face", ANSI_CHARSET, 0));
    DestroyWindow(owner);
}

// ---- Colour pickers ----

struct PickerScript {
    int target;          // control to click, 0 to press outside, -1 to do nothing
    HWND picker;
    int focused;
    RECT window;
    RECT firstSwatch;
};

void PostClick(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(dialog, &pt);
    PostMessageA(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

void CALLBACK AtStart(HWND picker, LPARAM start, LPARAM user)
{
    (void)start;
    PickerScript *s = reinterpret_cast<PickerScript *>(user);
    s->picker = picker;
    s->focused = GetDlgCtrlID(GetFocus());
    GetWindowRect(picker, &s->window);
    HWND first = GetDlgItem(picker, 2001);
    if (first) {
        GetWindowRect(first, &s->firstSwatch);
        MapWindowPoints(nullptr, picker, reinterpret_cast<POINT *>(&s->firstSwatch), 2);
    }
    if (s->target > 0) PostClick(picker, GetDlgItem(picker, s->target));
    else if (s->target == 0) PostMessageA(picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-30, -30));
}

TEST(ColourPicker, SwatchClickFocusAndPressOutside)
{
    HWND owner = MakeOwner();
    COLORREF colour = RGB(255, 0, 0);   // the swatch 1085
    PickerScript script = {1089, nullptr, 0, {}, {}};
    EXPECT_EQ(1, Basekit_ChooseColorEx(owner, &colour, AtStart, reinterpret_cast<LPARAM>(&script)));
    EXPECT_EQ(RGB(0, 255, 0), colour);
    ASSERT_NE(nullptr, script.picker);
    EXPECT_EQ(1085, script.focused);
    EXPECT_FALSE(IsWindow(script.picker));

    PickerScript outside = {0, nullptr, 0, {}, {}};
    EXPECT_EQ(0, Basekit_ChooseColorEx(owner, &colour, AtStart, reinterpret_cast<LPARAM>(&outside)));
    EXPECT_EQ(RGB(0, 255, 0), colour);

    // The palette: laid out at 170 x 136 with 18-pixel swatches from 11, 5.
    COLORREF chosen = RGB(1, 2, 3);   // in no swatch
    PickerScript palette = {2014, nullptr, 0, {}, {}};
    EXPECT_EQ(1, Basekit_ChooseColorPalette(owner, &chosen, AtStart, reinterpret_cast<LPARAM>(&palette)));
    EXPECT_EQ(0xFF0000u, chosen);
    EXPECT_EQ(170, palette.window.right - palette.window.left);
    EXPECT_EQ(136, palette.window.bottom - palette.window.top);
    EXPECT_EQ(11, palette.firstSwatch.left);
    EXPECT_EQ(5, palette.firstSwatch.top);
    EXPECT_EQ(18, palette.firstSwatch.right - palette.firstSwatch.left);
    PickerScript paletteOutside = {0, nullptr, 0, {}, {}};
    EXPECT_EQ(0, Basekit_ChooseColorPalette(owner, &chosen, AtStart, reinterpret_cast<LPARAM>(&paletteOutside)));
    EXPECT_EQ(0xFF0000u, chosen);
    DestroyWindow(owner);
}

// A helper thread: cancels the system colour dialog once it shows, waits until the picker holds
// the capture again, then presses outside the picker.
struct Canceller {
    DWORD uiThread;
    HWND owner;
    PickerScript *script;
    int recaptured;
    int cancelled;
};

BOOL CALLBACK FindColourDialog(HWND w, LPARAM param)
{
    Canceller *c = reinterpret_cast<Canceller *>(param);
    char name[16];
    if (IsWindowVisible(w) && w != c->script->picker && GetWindow(w, GW_OWNER) == c->owner &&
        GetClassNameA(w, name, sizeof name) && strcmp(name, "#32770") == 0) {
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        c->cancelled = 1;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI CancelThread(void *param)
{
    Canceller *c = static_cast<Canceller *>(param);
    DWORD start = GetTickCount();
    while (!c->cancelled && GetTickCount() - start < 10000) {
        EnumWindows(FindColourDialog, reinterpret_cast<LPARAM>(c));
        if (!c->cancelled) Sleep(10);
    }
    while (GetTickCount() - start < 10000) {
        GUITHREADINFO info = {sizeof info};
        if (GetGUIThreadInfo(c->uiThread, &info) && info.hwndCapture == c->script->picker &&
            IsWindowEnabled(c->script->picker)) {
            c->recaptured = 1;
            break;
        }
        Sleep(10);
    }
    PostMessageA(c->script->picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-30, -30));
    return 0;
}

TEST(ColourPicker, CancellingTheSystemDialogReturnsToThePicker)
{
    HWND owner = MakeOwner();
    COLORREF colour = RGB(0, 0, 255);
    PickerScript script = {1026, nullptr, 0, {}, {}};
    Canceller c = {GetCurrentThreadId(), owner, &script, 0, 0};
    HANDLE thread = CreateThread(nullptr, 0, CancelThread, &c, 0, nullptr);
    EXPECT_EQ(0, Basekit_ChooseColorEx(owner, &colour, AtStart, reinterpret_cast<LPARAM>(&script)));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(1, c.cancelled);
    EXPECT_EQ(1, c.recaptured);
    EXPECT_EQ(RGB(0, 0, 255), colour);
    DestroyWindow(owner);
}

// ---- Message dialogs ----

struct Answerer {
    HWND volatile place;
    WPARAM command;
    char text[128];
    char caption[128];
    char yes[64];
    int sawPlace;
};

DWORD WINAPI AnswerThread(void *param)
{
    Answerer *a = static_cast<Answerer *>(param);
    DWORD start = GetTickCount();
    while (a->place == nullptr && GetTickCount() - start < 10000) Sleep(10);
    HWND dialog = a->place;
    if (dialog == nullptr) return 0;
    a->sawPlace = IsWindow(dialog);
    // Wait for the dialog to be shown (its text set) before reading it.
    while (GetTickCount() - start < 10000 && !IsWindowVisible(dialog)) Sleep(10);
    GetDlgItemTextA(dialog, 1002, a->text, sizeof a->text);
    GetWindowTextA(dialog, a->caption, sizeof a->caption);
    GetDlgItemTextA(dialog, IDYES, a->yes, sizeof a->yes);
    PostMessageA(dialog, WM_COMMAND, a->command, 0);
    return 0;
}

int Ask(WPARAM command, Answerer *a)
{
    *a = Answerer{};
    a->command = command;
    HANDLE thread = CreateThread(nullptr, 0, AnswerThread, a, 0, nullptr);
    int result = Basekit_AskYesNo(nullptr, 0, nullptr, 32754 /* a system bitmap */, nullptr,
                                  RGB(192, 192, 192), "Delete the entry?", "Question", 0,
                                  const_cast<HWND *>(&a->place));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return result;
}

TEST(MessageDialogs, YesNoAnswersAndThePlaceForTheWindow)
{
    Answerer a;
    EXPECT_EQ(1, Ask(IDYES, &a));
    EXPECT_EQ(1, a.sawPlace);
    EXPECT_EQ(nullptr, a.place);   // emptied at the end
    EXPECT_STREQ("Delete the entry?", a.text);
    EXPECT_STREQ("Question", a.caption);
    if (GetACP() == 932) {
        EXPECT_STREQ("\x82\xcd\x82\xa2(&Y)", a.yes);   // "hai" (yes) in Shift-JIS
    } else {
        EXPECT_STREQ("&Yes", a.yes);
    }
    EXPECT_EQ(0, Ask(IDNO, &a));
    EXPECT_EQ(0, Ask(IDCANCEL, &a));

    Answerer m = {};
    m.command = IDOK;
    HANDLE thread = CreateThread(nullptr, 0, AnswerThread, &m, 0, nullptr);
    EXPECT_EQ(1, Basekit_ShowMessage(nullptr, 0, nullptr, 0, nullptr, 0, "Saved.", "Note",
                                     const_cast<HWND *>(&m.place)));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_STREQ("Saved.", m.text);
    EXPECT_EQ(nullptr, m.place);
}

} // namespace
