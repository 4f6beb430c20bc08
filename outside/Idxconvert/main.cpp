// Idxconvert.exe: converts a book index into a book with its CATALOGS file (idxconvert.h).
#include <windows.h>
#include "idxconvert.h"
#include "idxconvert_int.h"

namespace {

int ReadIndex(const std::string &path, std::string *bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return IDXCONVERT_EXIT_NOT_INDEX;
    LARGE_INTEGER size;
    int result = IDXCONVERT_EXIT_DONE;
    if (!GetFileSizeEx(f, &size) || size.QuadPart > IDXCONVERT_MAX_INDEX) {
        result = IDXCONVERT_EXIT_NOT_INDEX;
    } else {
        bytes->resize((size_t)size.QuadPart);
        DWORD got = 0;
        if (!bytes->empty() && (!ReadFile(f, &(*bytes)[0], (DWORD)bytes->size(), &got, nullptr) || got != bytes->size()))
            result = IDXCONVERT_EXIT_NOT_INDEX;
    }
    CloseHandle(f);
    return result;
}

// Creates the folder and those above it that are missing; true when it exists afterwards.
bool MakeFolder(const std::string &path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2 && !MakeFolder(path.substr(0, slash))) return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Writes the bytes under a new name beside path, then puts them in place of path.
bool Replace(const std::string &path, const std::string &bytes) {
    std::string fresh = path + ".new";
    HANDLE f = CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool written = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size();
    written = CloseHandle(f) && written;
    if (written && MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(fresh.c_str());
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    IdxCommand command;
    if (!Idx_ReadCommandLine(GetCommandLineA(), &command)) {
        OutputDebugStringA("Idxconvert: usage: Idxconvert.exe <index> <My Dictionary folder>\n");
        return IDXCONVERT_EXIT_USAGE;
    }
    std::string bytes;
    IdxBook book;
    int result = ReadIndex(command.index, &bytes);
    if (result == IDXCONVERT_EXIT_DONE) result = Idx_Read(bytes, &book);
    if (result != IDXCONVERT_EXIT_DONE) {
        OutputDebugStringA("Idxconvert: the file is no book index, or it holds no entry\n");
        return result;
    }
    std::string folder = command.folder + "\\" + Idx_FolderName(book.name);
    std::string data = folder + "\\BOOK\\Data";
    if (!MakeFolder(data) || !Replace(data + "\\Honmon", Idx_BookFile(book)) ||
        !Replace(folder + "\\Catalogs", Idx_CatalogsFile(book))) {
        OutputDebugStringA("Idxconvert: the book cannot be written\n");
        return IDXCONVERT_EXIT_UNWRITABLE;
    }
    return IDXCONVERT_EXIT_DONE;
}
