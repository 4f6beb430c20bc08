// The send-text dialog: the text it sends to a viewer (charset tag, flags of the check boxes), the
// notice when the viewer refuses it, and the windows it needs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "quickfield.h"
#include "uiassets.h"
#include "widgetry.h"

namespace {

// A stand-in viewer that records what it is sent and answers as told.
struct Viewer {
    HWND window = nullptr;
    std::string text;
    LPARAM flags = -1;
    int received = 0;
    LRESULT answer = 1;
};

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Viewer *viewer = reinterpret_cast<Viewer *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == VLM_VIEWER_SEND_TEXT && viewer) {
        viewer->text = reinterpret_cast<const char *>(wParam);
        viewer->flags = lParam;
        viewer->received++;
        return viewer->answer;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class SendTextTest : public ::testing::Test {
protected:
    Viewer viewer;
    HWND owner = nullptr;
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ViewerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SendTextViewer";
        RegisterClassA(&wc);
        viewer.window = CreateWindowA("SendTextViewer", "viewer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                      nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(viewer.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&viewer));
        owner = CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                              nullptr);
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "1");
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        DestroyWindow(viewer.window);
    }
};

TEST_F(SendTextTest, SendsTheTaggedTextWithTheFlags)
{
    // "nihongo" in Shift-JIS.
    const char *const kNihongo = "\x93\xfa\x96\x7b\x8c\xea";
    const struct {
        int charset;
        const char *text;
        bool box1, box2, box4;
        const char *expected;
        LPARAM flags;
    } cases[] = {
        {128, kNihongo, true, false, true, "\x1b" "F80" "\x93\xfa\x96\x7b\x8c\xea", 5},
        {0, "hello", false, true, false, "\x1b" "F00hello", 2},
        {0, "", false, false, false, "\x1b" "F00", 0}, // an empty text still sends the tag
        {161, "", true, true, true, "\x1b" "Fa1", 7},  // lowercase hexadecimal digits
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected + 1);
        HWND dialog = Widgetry_ShowSendTextDialog(owner, viewer.window);
        ASSERT_TRUE(dialog != nullptr);
        HWND field = GetDlgItem(dialog, UIA_IDC_SEND_EDIT);
        char className[32] = "";
        GetClassNameA(field, className, sizeof className);
        EXPECT_STREQ(QUICKFIELD_CLASS, className);
        SendMessageA(field, QFM_SETTEXTEX, c.charset, reinterpret_cast<LPARAM>(c.text));
        CheckDlgButton(dialog, UIA_IDC_SEND_FLAG1, c.box1 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, UIA_IDC_SEND_FLAG2, c.box2 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, UIA_IDC_SEND_FLAG4, c.box4 ? BST_CHECKED : BST_UNCHECKED);
        int before = viewer.received;
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_SEND_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, UIA_IDC_SEND_BUTTON)));
        EXPECT_EQ(before + 1, viewer.received);
        EXPECT_EQ(std::string(c.expected), viewer.text);
        EXPECT_EQ(c.flags, viewer.flags);
        // Enter in the line sends too.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_SEND_EDIT, QFN_RETURN), reinterpret_cast<LPARAM>(field));
        EXPECT_EQ(before + 2, viewer.received);
        EXPECT_EQ(std::string(c.expected), viewer.text);
        // Close destroys the dialog.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_FALSE(IsWindow(dialog));
    }
}

TEST_F(SendTextTest, RefusedTextIsReported)
{
    HWND dialog = Widgetry_ShowSendTextDialog(owner, viewer.window);
    ASSERT_TRUE(dialog != nullptr);
    int boxes = Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_SEND_BUTTON, BN_CLICKED), 0);
    EXPECT_EQ(boxes, Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr)); // taken: no box
    viewer.answer = 0;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(UIA_IDC_SEND_BUTTON, BN_CLICKED), 0);
    UINT textId = 0, style = 0;
    EXPECT_EQ(boxes + 1, Uiassets_LastMessageBox(&textId, nullptr, 0, &style));
    EXPECT_EQ((UINT)UIA_IDS_SEND_FAILED, textId);
    EXPECT_EQ((UINT)(MB_ICONINFORMATION | MB_TOPMOST), style & (MB_ICONMASK | MB_TOPMOST));
    EXPECT_TRUE(IsWindow(dialog)); // the dialog stays for another try
    DestroyWindow(dialog);
}

// Two dialogs to two viewers: each sends to its own.
TEST_F(SendTextTest, EachDialogKeepsItsTarget)
{
    Viewer second;
    second.window = CreateWindowA("SendTextViewer", "second", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(second.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&second));
    HWND first = Widgetry_ShowSendTextDialog(owner, viewer.window);
    HWND other = Widgetry_ShowSendTextDialog(owner, second.window);
    ASSERT_TRUE(first && other);
    SendMessageA(first, WM_COMMAND, MAKEWPARAM(UIA_IDC_SEND_BUTTON, BN_CLICKED), 0);
    EXPECT_EQ(1, viewer.received);
    EXPECT_EQ(0, second.received);
    DestroyWindow(first);
    DestroyWindow(other);
    DestroyWindow(second.window);
}

TEST_F(SendTextTest, NeedsOwnerAndTarget)
{
    EXPECT_TRUE(Widgetry_ShowSendTextDialog(nullptr, viewer.window) == nullptr);
    EXPECT_TRUE(Widgetry_ShowSendTextDialog(owner, nullptr) == nullptr);
    HWND gone = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_TRUE(Widgetry_ShowSendTextDialog(owner, gone) == nullptr);
}

} // namespace
