// The program's two threads and their critical section, driven in this process: the test thread
// is the window thread with the real main window, other threads play the worker.  A close that
// comes while a dictionary is being replaced never blocks the window thread and is asked once the
// replacement is done; a stop answered while the worker waits to replace means the replacement is
// not made; and ending the program answers a question the worker has open.  A fault here shows as
// a test that never ends (CTest's time limit), never as a wrong answer hidden by a wait.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "../program.h"
#include "lexmigrate.h"
#include "support/testkit_wait.h"
#include "uiassets.h"

namespace {

Program *NewProgram()
{
    static Program program;
    Program *p = &program;
    p->module = GetModuleHandleA(nullptr);
    p->stopping = 0;
    p->closeWanted = 0;
    p->worker = nullptr;
    InitializeCriticalSection(&p->guard);
    Worker_InitHost(p);
    static bool registered = Window_Register(p);
    EXPECT_TRUE(registered);
    EXPECT_TRUE(Window_Create(p));
    return p;
}

void DeleteProgram(Program *p)
{
    if (IsWindow(p->window)) DestroyWindow(p->window);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    DeleteCriticalSection(&p->guard);
}

std::string TextOf(HWND control)
{
    char text[512] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// A visible dialog-class window of this process that has the control; null when none.
HWND FindDialog(int control)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
         w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(w) && GetDlgItem(w, control)) return w;
    }
    return nullptr;
}

// A thread that answers the first stop question with the button given, and before answering
// may start something (a worker that wants to replace a dictionary).
struct Answerer {
    Program *program;
    int button;
    LPTHREAD_START_ROUTINE before = nullptr;
    HANDLE beforeThread = nullptr;
    int asked = 0;

    static DWORD WINAPI Main(void *arg)
    {
        Answerer *a = static_cast<Answerer *>(arg);
        char stop[256] = "";
        Program_LoadText(a->program, UIA_UPGRADE_IDS_STOP, stop, sizeof stop);
        HWND box = nullptr;
        while (!box) {
            box = FindDialog(0xFFFF);
            if (box && TextOf(GetDlgItem(box, 0xFFFF)) != stop) box = nullptr;
            if (!box) Sleep(10);
        }
        a->asked++;
        if (a->before) a->beforeThread = CreateThread(nullptr, 0, a->before, a->program, 0, nullptr);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(a->button, BN_CLICKED), (LPARAM)GetDlgItem(box, a->button));
        return 0;
    }
};

struct Holder {
    Program *program;
    HANDLE held, release;
    static DWORD WINAPI Main(void *arg)
    {
        Holder *h = static_cast<Holder *>(arg);
        bool entered = h->program->host.enterReplace(h->program);
        SetEvent(h->held);
        WaitForSingleObject(h->release, INFINITE);
        if (entered) h->program->host.leaveReplace(h->program);
        return entered;
    }
};

DWORD WINAPI WantsToReplace(void *arg)
{
    Program *p = static_cast<Program *>(arg);
    bool entered = p->host.enterReplace(p);
    if (entered) p->host.leaveReplace(p);
    return entered;
}

DWORD WINAPI AsksForCd(void *arg)
{
    Program *p = static_cast<Program *>(arg);
    char folder[MAX_PATH] = "";
    return (DWORD)p->host.askCd(p, "Ver.3 Pocket JE", folder);
}

}  // namespace

TEST(Threads, CloseDuringAReplacementIsAskedAfterItWithoutBlockingTheWindow)
{
    Program *p = NewProgram();
    Holder h = {p, CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE holder = CreateThread(nullptr, 0, Holder::Main, &h, 0, nullptr);
    WaitForSingleObject(h.held, INFINITE);

    // The window thread takes the close at once and asks nothing yet.
    SendMessageA(p->window, WM_CLOSE, 0, 0);
    EXPECT_EQ(p->closeWanted, 1);
    EXPECT_EQ(FindDialog(0xFFFF), nullptr);
    EXPECT_TRUE(IsWindow(p->window));

    // Done replacing: the question comes; No keeps the program running.
    Answerer a = {p, IDNO};
    HANDLE answerer = CreateThread(nullptr, 0, Answerer::Main, &a, 0, nullptr);
    SetEvent(h.release);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return WaitForSingleObject(answerer, 0) == WAIT_OBJECT_0; }, 600000));
    Testkit_Pump();
    EXPECT_EQ(a.asked, 1);
    EXPECT_EQ(p->closeWanted, 0);
    EXPECT_EQ(p->stopping, 0);
    EXPECT_TRUE(IsWindow(p->window));
    DWORD entered = 0;
    WaitForSingleObject(holder, INFINITE);
    GetExitCodeThread(holder, &entered);
    EXPECT_EQ(entered, 1u);
    for (HANDLE x : {holder, answerer, h.held, h.release}) CloseHandle(x);
    DeleteProgram(p);
}

TEST(Threads, StopAnsweredWhileTheWorkerWaitsToReplaceMeansNoReplacement)
{
    Program *p = NewProgram();
    // While the stop question is open, a worker comes to replace a dictionary; the question holds
    // the critical section, so the worker waits, and after Yes it is told not to go on.
    Answerer a = {p, IDYES, WantsToReplace};
    HANDLE answerer = CreateThread(nullptr, 0, Answerer::Main, &a, 0, nullptr);
    PostMessageA(p->window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(p->window); }, 600000));
    WaitForSingleObject(answerer, INFINITE);
    ASSERT_TRUE(a.beforeThread);
    WaitForSingleObject(a.beforeThread, INFINITE);
    DWORD entered = 1;
    GetExitCodeThread(a.beforeThread, &entered);
    EXPECT_EQ(entered, 0u);
    EXPECT_EQ(p->stopping, 1);
    CloseHandle(a.beforeThread);
    CloseHandle(answerer);
    DeleteProgram(p);
}

TEST(Threads, EndingTheProgramAnswersTheWorkersOpenQuestion)
{
    SetEnvironmentVariableA(LEXMIGRATE_DRIVES_VARIABLE, "Q=C:\\");
    Program *p = NewProgram();
    p->worker = CreateThread(nullptr, 0, AsksForCd, p, 0, &p->workerId);
    EXPECT_TRUE(Testkit_PumpUntil([] { return FindDialog(UIA_UPGRADE_IDC_DRIVES) != nullptr; }, 600000));
    // The window is closed (as after Yes to the stop question) and the program ends.
    InterlockedExchange(&p->stopping, 1);
    DestroyWindow(p->window);
    HANDLE worker = nullptr;
    DuplicateHandle(GetCurrentProcess(), p->worker, GetCurrentProcess(), &worker, 0, FALSE, DUPLICATE_SAME_ACCESS);
    Worker_Finish(p);
    EXPECT_EQ(p->worker, nullptr);
    DWORD answer = 0;
    GetExitCodeThread(worker, &answer);
    EXPECT_EQ(answer, (DWORD)MIGRATE_CD_CANCEL);
    EXPECT_EQ(FindDialog(UIA_UPGRADE_IDC_DRIVES), nullptr);
    CloseHandle(worker);
    SetEnvironmentVariableA(LEXMIGRATE_DRIVES_VARIABLE, nullptr);
    DeleteProgram(p);
}
