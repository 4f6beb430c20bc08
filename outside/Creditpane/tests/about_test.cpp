// The about box as the resident program uses it: modeless, fed through IsDialogMessage, one per
// process; its Japanese and English texts are all there and fit their controls.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "creditpane.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

std::wstring ItemText(HWND dialog, int id) {
    wchar_t buf[256] = {};
    GetDlgItemTextW(dialog, id, buf, 256);
    return buf;
}

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 50, 50, 600, 400, nullptr, nullptr,
                                nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }
    HWND owner = nullptr;
};

}  // namespace

TEST_F(AboutTest, ModelessOneAtATimeAndClosedByEsc) {
    HWND about = Creditpane_ShowAbout(owner);
    ASSERT_TRUE(about);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(GetWindow(about, GW_OWNER), owner);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "modeless: the owner goes on working";
    EXPECT_EQ(Creditpane_ShowAbout(owner), about) << "a second call brings the same box";

    MSG esc = {about, WM_KEYDOWN, VK_ESCAPE, 0x00010001};
    EXPECT_TRUE(IsDialogMessageW(about, &esc));
    Testkit_Pump();
    EXPECT_FALSE(IsWindow(about));

    HWND again = Creditpane_ShowAbout(nullptr);
    ASSERT_TRUE(again);
    EXPECT_TRUE(IsWindowVisible(again));
    SendMessageA(again, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(again));
}

TEST_F(AboutTest, TextsInJapaneseAndEnglishFitTheirControls) {
    HWND about = Creditpane_ShowAbout(owner);
    ASSERT_TRUE(about);
    // "ポップアップ辞書・翻訳ツール" (pop-up dictionary and translation tools)
    EXPECT_EQ(ItemText(about, CREDITPANE_IDC_JAPANESE),
              L"\x30DD\x30C3\x30D7\x30A2\x30C3\x30D7\x8F9E\x66F8\x30FB\x7FFB\x8A33\x30C4\x30FC\x30EB");
    EXPECT_EQ(ItemText(about, CREDITPANE_IDC_ENGLISH), L"Pop-up dictionary and translation tools");
    EXPECT_EQ(ItemText(about, CREDITPANE_IDC_PRODUCT), L"Velomira");
    // "バージョン 4.0" (version)
    EXPECT_EQ(ItemText(about, CREDITPANE_IDC_VERSION), L"\x30D0\x30FC\x30B8\x30E7\x30F3 4.0 (Version 4.0)");
    EXPECT_NE(ItemText(about, CREDITPANE_IDC_COPYRIGHT).find(L"Halvenstone"), std::wstring::npos);

    const int texts[] = {CREDITPANE_IDC_PRODUCT, CREDITPANE_IDC_JAPANESE, CREDITPANE_IDC_ENGLISH,
                         CREDITPANE_IDC_VERSION, CREDITPANE_IDC_COPYRIGHT};
    for (int id : texts) {
        HWND item = GetDlgItem(about, id);
        std::wstring text = ItemText(about, id);
        RECT box, need = {0, 0, 0, 0};
        GetClientRect(item, &box);
        HDC dc = GetDC(item);
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(item, WM_GETFONT, 0, 0));
        DrawTextW(dc, text.c_str(), (int)text.size(), &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(item, dc);
        EXPECT_LE(need.right, box.right) << "text " << id << " is cut off at the right";
        EXPECT_LE(need.bottom, box.bottom) << "text " << id << " is cut off at the bottom";
    }
    SetForegroundWindow(about);
    RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    Sleep(200);  // the picture only
    EXPECT_TRUE(Testkit_SaveWindowPicture(about, "about.bmp"));
    DestroyWindow(about);
}
