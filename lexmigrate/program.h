// The upgrade program around the core: its state, the main window with the progress dialog, the
// worker thread and the worker's dialogs.
//
// Threads.  The window thread runs the message loop, the progress dialog and the close question;
// it never waits for anything the worker holds (the close question only tries the critical
// section, and when the worker is replacing a dictionary the question is put off until it is
// done).  The worker thread runs the scans, the upgrades and every other question, each in a
// window of its own that no window of the window thread owns, and tells the window thread what
// to show by sending or posting to its windows.  When the program ends while the worker is still
// busy, the worker's questions are answered for it and the program waits for it to finish its
// step, so that nothing is left half done.
#ifndef LEXMIGRATE_PROGRAM_H
#define LEXMIGRATE_PROGRAM_H

#include <windows.h>

#include "core/migrate.h"

// Messages to the main window (from the worker thread).
#define MIG_WM_SCANNED (WM_APP + 1)   // wParam: 1 when some old dictionary was matched
#define MIG_WM_DONE (WM_APP + 2)      // the run is over: close the window

struct Program {
    HINSTANCE module;
    HWND window;                   // the main window
    HWND progress;                 // dialog 101, its child
    HICON icon;
    CRITICAL_SECTION guard;        // the replacement of a dictionary against the close question
    volatile LONG stopping;        // the program is ending
    volatile LONG closeWanted;     // a close came while a dictionary was being replaced
    HANDLE worker;
    DWORD workerId;
    char cdDrive[4];               // "X:" of the CD-ROM drive, empty when none
    Migration migration;
    MigrateHost host;
};

// window.cpp
bool Window_Register(Program *p);
HWND Window_Create(Program *p);
// Shows the window without waiting for the window thread.
void Window_Show(Program *p);

// worker.cpp
void Worker_InitHost(Program *p);
// Starts the scans (offer false) or the additional-dictionary offer on a new worker thread.
bool Worker_Start(Program *p, bool offer);
// Lets the worker finish: answers its open questions and waits for it, pumping this thread.
void Worker_Finish(Program *p);

// dialogs.cpp (worker thread; texts for both threads)
int Program_LoadText(Program *p, UINT id, char *buf, int cap);
int Dialog_AskCd(Program *p, const char *name, char *cdFolder);
int Dialog_ChooseAdditional(Program *p, const std::vector<const char *> &titles);
int Dialog_MessageBox(Program *p, UINT textId, UINT captionId, UINT style);

#endif
