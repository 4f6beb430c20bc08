// Test support for folders: the working folder, the program's folder, whether a path exists, and
// a folder removed with everything in it.  Header only; include as "support/testkit_folders.h".
#pragma once

#include <windows.h>

#include <string>

inline std::string Testkit_Cwd()
{
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    return cwd;
}

// The test program's folder, without a trailing backslash.
inline std::string Testkit_ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\'));
}

inline bool Testkit_Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void Testkit_RemoveFolder(const std::string &folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string p = folder + "\\" + name;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);  // read-only files go too
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Testkit_RemoveFolder(p);
            else
                DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
}
