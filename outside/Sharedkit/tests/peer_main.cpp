// Second process of the relay tests: a window of the class given on the command line that fetches
// what is delivered to it and answers with digests of what it got.
// Usage: sharedkit_peer <window class>
#include <windows.h>
#include "sharedkit.h"
#include "peer_common.h"

namespace {

LPARAM g_lastId;
LONG g_notices;

typedef void(WINAPI *FreeProc)(void *);

FreeProc LexidataFree(int ordinal) {
    HMODULE lexidata = LoadLibraryA("Lexidata.dll");
    return lexidata ? (FreeProc)GetProcAddress(lexidata, MAKEINTRESOURCEA(ordinal)) : nullptr;
}

LRESULT OnRequest(LPARAM id) {
    g_lastId = id;
    if (Sharedkit_GetDeliveredEntry(id))
        return PEER_WRONG_TAG;
    VLTranParam *r = (VLTranParam *)Sharedkit_ReceiveItem(id);
    if (!r)
        return PEER_NONE;
    LRESULT answer = PeerRequestDigest(r);
    if (r->textLen > 0 && r->text != (char *)(r + 1))  // the library's own copy keeps it behind the record
        answer = PEER_BAD_POINTER;
    void *again = Sharedkit_ReceiveItem(id);
    if (again)
        answer = PEER_SECOND_FETCH;
    LexidataFree(1002)(r);
    if (again)
        LexidataFree(1002)(again);
    return answer;
}

LRESULT OnEntry(LPARAM id) {
    g_lastId = id;
    if (Sharedkit_ReceiveItem(id))
        return PEER_WRONG_TAG;
    unsigned char *item = (unsigned char *)Sharedkit_GetDeliveredEntry(id);
    if (!item)
        return PEER_NONE;
    LRESULT answer = PeerEntryDigest(item);
    void *again = Sharedkit_GetDeliveredEntry(id);
    if (again)
        answer = PEER_SECOND_FETCH;
    LexidataFree(203)(item);
    if (again)
        LexidataFree(203)(again);
    return answer;
}

LRESULT CALLBACK PeerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case PEER_DELIVER_ITEM: return OnRequest(lParam);
    case PEER_STUDY_ENTRY: return OnEntry(lParam);
    case PEER_REFETCH:
        return wParam ? Sharedkit_GetDeliveredEntry(g_lastId) == nullptr
                      : Sharedkit_ReceiveItem(g_lastId) == nullptr;
    case PEER_NOTICE: g_notices++; return 1;
    case PEER_NOTICE_COUNT: return g_notices;
    case PEER_ECHO: return (LRESULT)(wParam + lParam);
    case PEER_LAST_ID: return g_lastId;
    case PEER_BUSY: ReplyMessage(1); Sleep((DWORD)wParam); return 1;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2)
        return 2;
    Sharedkit_Init();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PeerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = argv[1];
    if (!RegisterClassA(&wc))
        return 3;
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, argv[1], "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             wc.hInstance, nullptr);
    if (!w)
        return 4;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
