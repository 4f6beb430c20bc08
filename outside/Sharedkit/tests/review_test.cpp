// A delivered lookup request comes from another process: every text field of the copy the
// receiver gets is terminated inside its field, whatever the sender filled in.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <vector>
#include "sharedkit.h"

namespace {

const UINT kDeliverMessage = 0x8401;  // any message number serves a window of our own
int g_faceLength = -1;

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kDeliverMessage) return DefWindowProcA(w, msg, wParam, lParam);
    unsigned char *r = (unsigned char *)Sharedkit_ReceiveItem(lParam);
    if (!r) return 0;
    g_faceLength = (int)strnlen((const char *)r + 16 + offsetof(LOGFONTA, lfFaceName), LF_FACESIZE);
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

    // A request as the data library lays it out: 104-byte head (font at 16), text, zero byte;
    // the face name fills all of its 32 bytes.
    const char text[] = "word";
    std::vector<unsigned char> r(104 + sizeof text, 0);
    memset(r.data() + 16 + offsetof(LOGFONTA, lfFaceName), 'F', LF_FACESIZE);
    memcpy(r.data() + 104, text, sizeof text);
    DWORD at = (DWORD)(UINT_PTR)(r.data() + 104), len = (DWORD)strlen(text);
    memcpy(r.data() + 96, &at, 4);
    memcpy(r.data() + 100, &len, 4);

    EXPECT_EQ(Sharedkit_DeliverItem(5, kDeliverMessage, 0, r.data()), 1);
    EXPECT_GE(g_faceLength, 0);
    EXPECT_LT(g_faceLength, LF_FACESIZE);
    DestroyWindow(popup);
}

}  // namespace
