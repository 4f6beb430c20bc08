// Lexfinder.exe, the dictionary finder: one run per start.  It asks which drives and kinds to
// search (the command line "/n", in any case, skips the question and searches the program's own
// drive for everything but EPWING books), scans, lists what it found in its frame and registers
// what the user checks.  Exit code 1 when something was handed to registration, else 0.
//
// LEXFINDER_DRIVES in the environment replaces the machine's drives with a list of folders
// ("C:\test\one\;C:\test\two\;"): the drive rows offered and the drive of an unattended run.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <string.h>

#include "basekit.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_ui.h"

namespace {

const char kMutexName[] = "VelomiraV5DicSearch";

bool IsUnattended(const char *commandLine)
{
    std::string line = commandLine ? commandLine : "";
    while (!line.empty() && line.back() == ' ') line.pop_back();
    while (!line.empty() && line[0] == ' ') line.erase(0, 1);
    return lstrcmpiA(line.c_str(), "/n") == 0;
}

void ReadMyDicFolder(VLFinderState *st)
{
    char key[MAX_PATH], folder[MAX_PATH];
    Finder_SetupKey(key);
    if (Basekit_SettingsReadString(key, "MyDicFolder", folder, sizeof folder) && folder[0])
        Finder_Copy(st->myDicFolder, folder, sizeof st->myDicFolder);
}

// Everything between the start of the engine and its end: the question, the scan, the frame.
void Run(HINSTANCE instance, VLFinderState *st)
{
    std::string drives;
    if (st->unattended) {
        st->search = FINDER_SEARCH_DICS | FINDER_SEARCH_ENGINES | FINDER_SEARCH_INDEXES;
        drives = Finder_ProgramDriveList(st->programFolder);
    } else if (!Drives_Ask(st, &drives)) {
        return;
    }
    int found = Finder_Scan(st, drives.c_str());
    if (found == 0) {
        Uiassets_MessageBox(nullptr, UIA_IDS_NOTHING_FOUND, UIA_IDS_FINDER_NOTICE, MB_OK | MB_ICONINFORMATION);
    } else if (found > 0) {
        HWND frame = Frame_Create(instance, st);
        if (frame) Frame_Run(frame);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    // One finder at a time; a second start ends at once.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex) CloseHandle(mutex);
        return 0;
    }
    static VLFinderState st;
    Finder_InitState(&st);
    st.unattended = IsUnattended(commandLine);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
                                                ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitialize(nullptr);
    Sharedkit_Init();
    int exitCode = 0;
    if (Lexshelf_Init(LEXICORE_INIT_DRIVERS)) {
        ReadMyDicFolder(&st);
        g_finderUi.askOverwrite = Questions_Overwrite;
        g_finderUi.askTitle = Questions_Title;
        g_finderUi.askFolderName = Questions_FolderName;
        g_finderUi.progressBox = 1;
        if (Frame_RegisterClass(instance)) Run(instance, &st);
        st.found.clear();
        Lexshelf_Term();
        exitCode = Finder_ExitCode(&st);
    }
    CoUninitialize();
    if (exitCode)
        Uiassets_MessageBox(nullptr, UIA_IDS_REGISTERED, UIA_IDS_FINDER_CAPTION, MB_OK | MB_ICONINFORMATION);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return exitCode;
}
