// The recursive walk of a folder: every subfolder is reported before it is walked, every file with
// its size.  The walk works on full paths and leaves the process's current folder alone.
#include <string.h>

#include "finder_int.h"

namespace {

std::string Join(const std::string &folder, const char *name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + name;
}

// 1 walked, 0 stopped by the callback, -1 the folder cannot be entered.
int WalkFolder(const std::string &folder, FinderWalkProc proc, void *user, int depth)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(Join(folder, "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    int result = 1;
    do {
        if (strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0) continue;
        std::string path = Join(folder, data.cFileName);
        bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!proc(path.c_str(), &data, isFolder, user)) {
            result = 0;
        } else if (isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && depth < 64) {
            // A folder that cannot be entered (or a link that may lead back up) is passed over.
            if (WalkFolder(path, proc, user, depth + 1) == 0) result = 0;
        }
        Sleep(0);
    } while (result && FindNextFileA(find, &data));
    FindClose(find);
    return result;
}

int AddSize(const char *, const WIN32_FIND_DATAA *data, int folder, void *user)
{
    if (!folder) *(int64_t *)user += ((int64_t)data->nFileSizeHigh << 32) | data->nFileSizeLow;
    return 1;
}

}  // namespace

int Finder_Walk(const char *folder, FinderWalkProc proc, void *user)
{
    return WalkFolder(folder, proc, user, 0) == 1 ? 1 : 0;
}

int64_t Finder_FolderSize(const char *folder)
{
    int64_t size = 0;
    Finder_Walk(folder, AddSize, &size);
    return size;
}
