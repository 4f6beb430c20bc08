// Second process of the editor tests.  Arguments: client name, settings file, dictionary id (hex),
// ready event, done event, result file.  Starts the engine under the client name, records the entry
// notices it receives until done is signalled, then writes one line per notice
// "notice <kind> <dictionary id in hex> <value>" and one line per entry of the dictionary as its own
// catalogue reads it now: "entry <head word>".
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include <windows.h>
#include "basekit.h"
#include "lexicore.h"

static const UINT kNotice = WM_APP + 3;
static std::vector<LexicoreChange> g_changes;

static LRESULT CALLBACK Listener(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kNotice) {
        g_changes.push_back(*(const LexicoreChange *)lp);
        return 1;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int main(int argc, char **argv) {
    if (argc < 7) return 2;
    Basekit_SettingsSetFile(argv[2]);
    if (!Lexicore_Init(argv[1], 0)) return 3;
    DWORD dicId = strtoul(argv[3], nullptr, 16);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Listener;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VocabankNoticeListener";
    RegisterClassA(&wc);
    HWND listener = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    Lexicore_SetNotifyWindow(listener, kNotice);
    Lexicore_EnableNotify(TRUE);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
    HANDLE done = OpenEventA(SYNCHRONIZE, FALSE, argv[5]);
    if (!ready || !done) return 4;
    SetEvent(ready);
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    FILE *out = fopen(argv[6], "wb");
    if (!out) return 5;
    for (const LexicoreChange &c : g_changes)
        fprintf(out, "notice %u %x %ld\n", (unsigned)c.kind, (unsigned)c.wParam, (long)c.value);
    DicSession *session = Lexicore_CreateSession();
    if (session && Lexicore_OpenSession(session, dicId, FALSE)) {
        LONG n = Lexicore_GetEntryCount(dicId, 0);
        for (LONG i = 0; i < n; i++) {
            VLDataItem *item = Lexicore_GetItem(session, i);
            if (!item) continue;
            fprintf(out, "entry %s\n", item->headword ? item->headword : "");
            VLDataItem_Destroy(item);
        }
    }
    if (session) Lexicore_DestroySession(session);
    fclose(out);
    Lexicore_Term();
    return 0;
}
