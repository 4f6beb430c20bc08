// Files and folders: the copy with a progress dialog, emptying a folder, writing a whole file.
#include "files_int.h"
#include "basekit.h"

#include <string.h>

namespace {

// Below this size the platform copies the file by itself and no dialog is shown.
const LONGLONG kProgressThreshold = 512000;
const DWORD kCopyBlock = 102400;

// Closes what the copy holds; a copy that did not complete also removes its partial destination,
// keeping the last error that ended it.
void CopyFinish(HANDLE source, HANDLE target, const char *targetPath, int complete)
{
    DWORD error = GetLastError();
    if (source != INVALID_HANDLE_VALUE) CloseHandle(source);
    if (target != INVALID_HANDLE_VALUE) {
        CloseHandle(target);
        if (!complete) DeleteFileA(targetPath);
    }
    SetLastError(error);
}

} // namespace

extern "C" int WINAPI Basekit_CopyFileWithProgress(const char *source, const char *target,
                                                   BOOL failIfExists, const char *caption,
                                                   const char *message, BasekitCopyProgress callback,
                                                   void *context)
{
    if (source == nullptr || target == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (failIfExists && GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_FILE_EXISTS);
        return 0;
    }
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(in, &size)) {
        CopyFinish(in, INVALID_HANDLE_VALUE, target, 0);
        return 0;
    }
    if (size.QuadPart < kProgressThreshold) {
        CloseHandle(in);
        return CopyFileA(source, target, FALSE) ? 1 : 0;
    }
    HANDLE out = CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CopyFinish(in, INVALID_HANDLE_VALUE, target, 0);
        return 0;
    }

    FilesProgress progress = {};
    int haveProgress = 1;
    if (callback == nullptr) {
        // Without a dialog (no display, no resources) the copy still goes on, silently.
        haveProgress = Files_ProgressStart(&progress, caption, message);
        callback = Files_ProgressCallback;
        context = &progress;
    }

    BYTE *block = static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), 0, kCopyBlock));
    LONGLONG copied = 0;
    int lastPercent = -1;
    int result = 0;
    int cancelled = 0;
    DWORD error = 0;
    if (block == nullptr) error = ERROR_NOT_ENOUGH_MEMORY;
    while (block != nullptr && copied < size.QuadPart) {
        DWORD got = 0, put = 0;
        if (!ReadFile(in, block, kCopyBlock, &got, nullptr)) {
            error = GetLastError();
            break;
        }
        if (got == 0) {   // the source ended before its size: the copy is incomplete
            error = ERROR_HANDLE_EOF;
            break;
        }
        BOOL wrote = WriteFile(out, block, got, &put, nullptr);
        if (!wrote || put != got) {   // a block not written whole ends the copy
            error = wrote ? ERROR_WRITE_FAULT : GetLastError();
            break;
        }
        copied += got;
        if (copied > size.QuadPart) copied = size.QuadPart;   // the source grew: its size holds
        int percent = (int)(copied * 100 / size.QuadPart);
        if (percent != lastPercent && haveProgress) {
            lastPercent = percent;
            SetLastError(0);
            if (!callback(percent, context)) {
                error = GetLastError();
                cancelled = error == ERROR_CANCELLED;
                if (!cancelled && error == 0) error = ERROR_CANCELLED;
                break;
            }
        }
    }
    if (copied == size.QuadPart && error == 0) result = 1;
    if (block) HeapFree(GetProcessHeap(), 0, block);

    // A cancel reported by the callback ends at once (the dialog, if any, is gone already); every
    // other end tells the callback that the copy is over, which also closes the dialog.
    if (!cancelled && haveProgress) callback(-1, context);
    CopyFinish(in, out, target, result);
    SetLastError(result ? 0 : error);
    return result;
}

// Empties folder (an absolute path): every file, read-only or not, and every sub-folder with its
// contents.  The folder itself stays.  Works from inside the folder, as the current folder.
extern "C" int WINAPI Basekit_DeleteTree(const char *folder)
{
    char saved[MAX_PATH];
    if (folder == nullptr) return 0;
    DWORD n = GetCurrentDirectoryA(MAX_PATH, saved);
    if (n == 0 || n >= MAX_PATH) return 0;
    if (!SetCurrentDirectoryA(folder)) return 0;

    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("*.*", &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
                char sub[MAX_PATH];
                size_t len = strlen(folder);
                if (len >= MAX_PATH) continue;
                memcpy(sub, folder, len + 1);
                if (Basekit_PathAppend(sub, found.cFileName) == nullptr) continue;
                Basekit_DeleteTree(sub);
                SetCurrentDirectoryA(folder);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                    SetFileAttributesA(found.cFileName, FILE_ATTRIBUTE_NORMAL);
                RemoveDirectoryA(found.cFileName);
            } else {
                if (found.dwFileAttributes != FILE_ATTRIBUTE_NORMAL)
                    SetFileAttributesA(found.cFileName, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(found.cFileName);
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return SetCurrentDirectoryA(saved) ? 1 : 0;
}

// Creates or truncates the file and writes size bytes: 1 when all of them were written and the
// file closed, 0 when a write or the close failed, -1 when the file cannot be created.
extern "C" int WINAPI Basekit_WriteFile(const char *path, const void *data, DWORD size)
{
    if (path == nullptr || (data == nullptr && size != 0)) return -1;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD written = 0;
    BOOL ok = size == 0 || (WriteFile(file, data, size, &written, nullptr) && written == size);
    DWORD error = ok ? 0 : (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
    BOOL closed = CloseHandle(file);
    if (!ok) SetLastError(error);
    return ok && closed ? 1 : 0;
}
