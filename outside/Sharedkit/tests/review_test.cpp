// A delivered lookup request comes from another process: every text field of the copy the
// receiver gets is terminated inside its field, whatever the sender filled in.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include "lexidata.h"
#include "sharedkit.h"

namespace {

const UINT kDeliverMessage = 0x8401;  // any message number serves a window of our own
int g_faceLength = -1;

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kDeliverMessage) return DefWindowProcA(w, msg, wParam, lParam);
    VLTranParam *r = (VLTranParam *)Sharedkit_ReceiveItem(lParam);
    if (!r) return 0;
    g_faceLength = (int)strnlen(r->font.lfFaceName, LF_FACESIZE);
    LocalFree(r);  // the request lives in the local heap
    return 1;
}

TEST(Review, RequestWithAnUnterminatedFaceNameArrivesTerminated) {
    ASSERT_TRUE(GetModuleHandleA("Lexidata.dll") || LoadLibraryA("Lexidata.dll"));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelomiraV5PopupWindow";  // the pop-up window's class (kind 5)
    RegisterClassA(&wc);
    HWND popup = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_TRUE(popup);

    // A request as the data library lays it out: the head, then the text and a zero byte; the
    // face name fills all of its 32 bytes.
    const char text[] = "word";
    struct {
        VLTranParam head;
        char text[sizeof "word"];
    } r = {};
    memset(r.head.font.lfFaceName, 'F', LF_FACESIZE);
    memcpy(r.text, text, sizeof text);
    r.head.text = r.text;
    r.head.textLen = (LONG)strlen(text);

    EXPECT_EQ(Sharedkit_DeliverItem(5, kDeliverMessage, 0, &r), 1);
    EXPECT_GE(g_faceLength, 0);
    EXPECT_LT(g_faceLength, LF_FACESIZE);
    DestroyWindow(popup);
}

}  // namespace
