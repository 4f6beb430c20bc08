// The scan: every drive of the list is walked (a drive that is only a folder of another is left
// out), each file goes to the recogniser its name calls for, and the engines are probed at the
// end.  The progress box runs on its own thread and cancels by posting a thread message, which the
// scan takes once per directory entry and once per probe row.
#include <string.h>

#include "finder_int.h"

namespace {

bool EndsWithNoCase(const char *text, const char *end)
{
    size_t n = strlen(text), e = strlen(end);
    return n >= e && lstrcmpiA(text + n - e, end) == 0;
}

int OnEntry(const char *path, const WIN32_FIND_DATAA *data, int folder, void *user)
{
    VLFinderState *st = (VLFinderState *)user;
    if (g_finderUi.onEntry) g_finderUi.onEntry(path);
    if (Finder_TakeCancel()) {
        st->cancelled = 1;
        return 0;
    }
    if (folder) return 1;
    int64_t size = ((int64_t)data->nFileSizeHigh << 32) | data->nFileSizeLow;
    if (lstrcmpiA(data->cFileName, "Catalogs") == 0) {
        if (st->search & FINDER_SEARCH_BOOKS) Finder_RecogniseCatalogs(st, path);
    } else if (EndsWithNoCase(data->cFileName, ".dic")) {
        if (st->search & FINDER_SEARCH_DICS) Finder_RecogniseDic(st, path, size);
    } else if (EndsWithNoCase(data->cFileName, ".idx")) {
        if (st->search & FINDER_SEARCH_INDEXES) Finder_RecogniseIndex(st, path, size);
    }
    return 1;
}

}  // namespace

bool Finder_TakeCancel()
{
    MSG m;
    return PeekMessageA(&m, (HWND)-1, FINDER_CANCEL_MESSAGE, FINDER_CANCEL_MESSAGE, PM_REMOVE) != 0;
}

int Finder_Scan(VLFinderState *st, const char *driveList)
{
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // the box posts to this thread's queue
    st->cancelled = 0;
    FinderBox box = {nullptr, nullptr, nullptr};
    if (g_finderUi.progressBox) FinderBox_Start(&box, FINDER_BOX_SEARCH);

    std::vector<FinderDrive> drives = Finder_DriveTable(driveList);
    FinderBox_SetRange(&box, (int)drives.size() + st->engineCount);
    for (size_t i = 0; i < drives.size() && !st->cancelled; i++) {
        if (!Finder_DriveCovered(drives, i)) Finder_Walk(drives[i].root, OnEntry, st);
        FinderBox_Step(&box);
    }
    if (!st->cancelled && (st->search & FINDER_SEARCH_ENGINES) && Finder_ProbeEngines(st, &box) < 0)
        st->cancelled = 1;
    FinderBox_End(&box);
    return st->cancelled ? -1 : (int)st->found.size();
}
