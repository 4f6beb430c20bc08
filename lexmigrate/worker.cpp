// The worker thread: the scans and upgrades of the core, with the program's texts, dialogs and
// progress window as its host.
#include <windows.h>

#include <commctrl.h>

#include "program.h"
#include "uiassets.h"

namespace {

Program *Of(void *context) { return static_cast<Program *>(context); }

int LoadText(void *c, UINT id, char *buf, int cap) { return Program_LoadText(Of(c), id, buf, cap); }

int AskYesNo(void *c, UINT textId, UINT captionId)
{
    Window_Show(Of(c));
    return Dialog_MessageBox(Of(c), textId, captionId, MB_YESNO | MB_ICONQUESTION);
}

void Note(void *c, UINT textId, UINT captionId)
{
    Window_Show(Of(c));
    Dialog_MessageBox(Of(c), textId, captionId, MB_OK | MB_ICONINFORMATION);
}

int AskCd(void *c, const char *name, char *cdFolder)
{
    Window_Show(Of(c));
    return Dialog_AskCd(Of(c), name, cdFolder);
}

int ChooseAdditional(void *c, const std::vector<const char *> &titles)
{
    Window_Show(Of(c));
    return Dialog_ChooseAdditional(Of(c), titles);
}

// The text line of the progress window; showing it shows the window.
void Status(void *c, const char *text)
{
    Program *p = Of(c);
    HWND progress = p->progress;
    if (!progress) return;
    SetDlgItemTextA(progress, UIA_UPGRADE_IDC_TEXT, text);
    Window_Show(p);
}

void Progress(void *c, int percent)
{
    HWND progress = Of(c)->progress;
    if (progress) PostMessageA(GetDlgItem(progress, UIA_UPGRADE_IDC_PROGRESS), PBM_SETPOS, (WPARAM)percent, 0);
}

bool EnterReplace(void *c)
{
    Program *p = Of(c);
    EnterCriticalSection(&p->guard);
    if (p->stopping) {
        LeaveCriticalSection(&p->guard);
        return false;
    }
    return true;
}

void LeaveReplace(void *c)
{
    Program *p = Of(c);
    LeaveCriticalSection(&p->guard);
    // A close that came meanwhile is asked now.
    if (InterlockedExchange(&p->closeWanted, 0)) PostMessageA(p->window, WM_CLOSE, 0, 0);
}

bool Stopping(void *c) { return Of(c)->stopping != 0; }

struct Start {
    Program *program;
    bool offer;
};

DWORD WINAPI WorkerMain(void *arg)
{
    Start start = *static_cast<Start *>(arg);
    delete static_cast<Start *>(arg);
    Program *p = start.program;
    Migration *m = &p->migration;
    if (start.offer) {
        Migrate_OfferAdditional(m);
        PostMessageA(p->window, MIG_WM_DONE, 0, 0);
        return 0;
    }
    if (!Migrate_ReadEnvironment(&m->env)) {
        Migrate_Trace("no install folder: nothing to upgrade into");
        PostMessageA(p->window, MIG_WM_DONE, 0, 0);
        return 0;
    }
    Migrate_ScanV3(m);
    if (!m->aborted) Migrate_ScanV2(m);
    if (m->aborted)
        PostMessageA(p->window, MIG_WM_DONE, 0, 0);
    else
        PostMessageA(p->window, MIG_WM_SCANNED, Migrate_AnyMatched(m) ? 1 : 0, 0);
    return 0;
}

BOOL CALLBACK AnswerForWorker(HWND w, LPARAM)
{
    // Dialog 102 and 104 take Cancel as Cancel or Close; message boxes take No or Cancel.
    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(w, WM_COMMAND, IDNO, 0);
    return TRUE;
}

}  // namespace

void Worker_InitHost(Program *p)
{
    MigrateHost &h = p->host;
    h = MigrateHost();
    h.context = p;
    h.loadText = LoadText;
    h.askYesNo = AskYesNo;
    h.note = Note;
    h.askCd = AskCd;
    h.chooseAdditional = ChooseAdditional;
    h.status = Status;
    h.progress = Progress;
    h.enterReplace = EnterReplace;
    h.leaveReplace = LeaveReplace;
    h.stopping = Stopping;
    h.run = nullptr;
    h.copyProgress = nullptr;   // Basekit's copy dialog, on a thread of its own
    p->migration.host = &p->host;
}

bool Worker_Start(Program *p, bool offer)
{
    if (p->worker) {
        // The previous worker has posted its last message; let it end.
        WaitForSingleObject(p->worker, INFINITE);
        CloseHandle(p->worker);
        p->worker = nullptr;
    }
    Start *start = new Start{p, offer};
    p->worker = CreateThread(nullptr, 0, WorkerMain, start, 0, &p->workerId);
    if (!p->worker) delete start;
    return p->worker != nullptr;
}

void Worker_Finish(Program *p)
{
    if (!p->worker) return;
    for (;;) {
        EnumThreadWindows(p->workerId, AnswerForWorker, 0);
        DWORD r = MsgWaitForMultipleObjects(1, &p->worker, FALSE, 200, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    CloseHandle(p->worker);
    p->worker = nullptr;
}
