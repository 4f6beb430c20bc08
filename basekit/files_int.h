// What the files, paths, shell and window helpers of Basekit share among their own sources.
#ifndef BASEKIT_FILES_INT_H
#define BASEKIT_FILES_INT_H

#include <windows.h>

// Path text steps over double-byte characters only under the ANSI code pages 932 and 950.
// Files_IsDbcsPath: the current code page is one of them.
int Files_IsDbcsPath(void);
// The next character after p (two bytes for a lead byte followed by a non-zero byte when dbcs).
const char *Files_NextChar(const char *p, int dbcs);
// The last backslash of text (never a trail byte when dbcs); null when there is none.
const char *Files_LastBackslash(const char *text, int dbcs);

// The module handle of Basekit (for its dialog resources), taken at load.
HINSTANCE Files_Module(void);

// A procedure of a system library that only the window and shell helpers need (the common
// controls, the common dialogs, the shell, COM), the library loaded at its first use: a program
// that only reads dictionaries through the libraries above Basekit never maps them.  Null when the
// library or the procedure cannot be had.
FARPROC Files_LateProc(const char *library, const char *name);
#define BASEKIT_LATE(library, proc) (reinterpret_cast<decltype(&proc)>(Files_LateProc(library, #proc)))

// The copy progress dialog (copyprogress.cpp).  Started by Files_ProgressStart on a thread of its
// own; the copy talks to it only through Files_ProgressCallback.
struct FilesProgress {
    const char *caption;
    const char *message;
    HWND volatile window;   // set by the dialog thread once the dialog exists
    HANDLE ready;           // signalled by the dialog thread once the dialog exists
    HANDLE thread;          // the dialog thread; null once closed
};
// Starts the dialog thread and waits until the dialog exists.  0 when the dialog could not be
// shown (the record then holds no thread).
int Files_ProgressStart(FilesProgress *progress, const char *caption, const char *message);
// The built-in progress callback (context: the FilesProgress).  -1 closes the dialog and ends its
// thread; another percentage moves the bar, or answers 0 with ERROR_CANCELLED when the user has
// closed the dialog.
int CALLBACK Files_ProgressCallback(int percent, void *context);

#endif
