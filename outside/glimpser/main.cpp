// The capture server: a hidden window of class and title VELOHOSTWNDCLS.  The client tells it the
// rule and request flags, then the window and point; before that second message returns, the
// server reads the text under the point and answers with a whole CaptureRecord by WM_COPYDATA to
// the client's window.  WM_DESTROY ends the program.
#include <string.h>
#include "glimpser_int.h"

namespace {

struct ServerState {
    WPARAM rule;
    LPARAM requestFlags;
    DWORD shortAnswer;  // test switch: bytes of the next answer, 0 for a whole record
    bool overlong;      // test switch: the next answer's text has no terminator
};

ServerState g_server;

void Answer(HWND self, HWND target, POINT pt) {
    CaptureRecord rec;
    memset(&rec, 0, sizeof(rec));
    rec.size = CAPTURE_RECORD_SIZE;
    rec.requestFlags = (uint32_t)g_server.requestFlags;
    rec.sourceWindow = HandleToULong(target);
    rec.x = pt.x;
    rec.y = pt.y;
    rec.wordPos = CAPTURE_NO_WORD;
    if (IsWindow(target)) Glimpse_Capture(target, pt, &rec);
    if (g_server.overlong) {
        g_server.overlong = false;
        memset(rec.text, 'x', sizeof(rec.text));
        rec.length = 0xFFFFFFFFu;
        rec.wordPos = 3000;
    }

    HWND client = FindWindowA(HOSTLINK_CLIENT_CLASS, nullptr);
    if (!client) return;
    COPYDATASTRUCT data;
    data.dwData = 0;
    data.cbData = sizeof(rec);
    data.lpData = &rec;
    if (g_server.shortAnswer) {
        data.cbData = g_server.shortAnswer < sizeof(rec) ? g_server.shortAnswer : sizeof(rec);
        g_server.shortAnswer = 0;
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutA(client, WM_COPYDATA, (WPARAM)self, (LPARAM)&data, SMTO_ABORTIFHUNG,
                        GLIMPSE_PROBE_MS, &result);
}

LRESULT CALLBACK ServerWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case VLM_CAPTURE_RULE:
        g_server.rule = wp;
        g_server.requestFlags = lp;
        return 1;
    case VLM_CAPTURE_AT: {
        POINT pt = {(short)LOWORD(lp), (short)HIWORD(lp)};
        Answer(w, (HWND)wp, pt);
        return 1;
    }
    case VLM_GLIMPSE_SHORT_ANSWER:
        g_server.shortAnswer = (DWORD)wp;
        return 1;
    case VLM_GLIMPSE_OVERLONG_ANSWER:
        g_server.overlong = true;
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // One server per system.
    if (FindWindowA(HOSTLINK_SERVER_CLASS, nullptr)) return 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ServerWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = HOSTLINK_SERVER_CLASS;
    if (!RegisterClassA(&wc)) return 1;
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, HOSTLINK_SERVER_CLASS, HOSTLINK_SERVER_CLASS,
                             WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
