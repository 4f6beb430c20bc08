// Registration scripts carried as resources of the finder: written to a temporary file and merged
// into the settings by the registry-merge tool; languages are merged only while unregistered.
#include <stdio.h>

#include "basekit.h"
#include "finder_int.h"

namespace {

const char kLanguageRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";

// Language code -> its LANG_INFO script.
const struct {
    WORD language;
    UINT script;
} kLanguageScripts[] = {
    {0x0200, 108}, {0x0300, 109}, {0x0700, 110}, {0x0B00, 111}, {0x0800, 112},
    {0x0C00, 113}, {0x0600, 114}, {0x0500, 115}, {0x0F00, 116}, {0x1000, 117},
    {0x1100, 118}, {0x1600, 119}, {0x1300, 143},
};

}  // namespace

bool Finder_ScriptToFile(const VLFinderState *st, const char *type, UINT number, std::string *file)
{
    HRSRC found = FindResourceA(st->resources, MAKEINTRESOURCEA(number), type);
    HGLOBAL loaded = found ? LoadResource(st->resources, found) : nullptr;
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = found ? SizeofResource(st->resources, found) : 0;
    if (!bytes) return false;
    char folder[MAX_PATH], name[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, folder);
    if (!n || n >= MAX_PATH || !GetTempFileNameA(folder, "rds", 0, name)) return false;
    if (Basekit_WriteFile(name, bytes, size) != 1) {
        DeleteFileA(name);
        return false;
    }
    *file = name;
    return true;
}

bool Finder_MergeScript(const std::string &file)
{
    // A finder that works on a settings file has the tool merge into that file.
    std::string line = "regmerge.exe ";
    char settings[MAX_PATH];
    if (Basekit_SettingsGetFile(settings)) line += "/settings \"" + std::string(settings) + "\" ";
    line += "/im " + file;
    std::vector<char> text(line.begin(), line.end());
    text.push_back(0);
    STARTUPINFOA si = {sizeof si};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        OutputDebugStringA("Lexfinder: regmerge.exe does not start\n");
        return false;
    }
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeProcess(pi.hProcess, &code) && code == STILL_ACTIVE)
        WaitForSingleObject(pi.hProcess, 100);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

void Finder_EnsureLanguage(const VLFinderState *st, WORD language)
{
    if (!language) return;
    char key[MAX_PATH], fileName[MAX_PATH];
    snprintf(key, sizeof key, "%s\\%04x", kLanguageRoot, language);
    if (Basekit_SettingsReadString(key, "FileName", fileName, sizeof fileName) && fileName[0]) return;
    for (const auto &row : kLanguageScripts) {
        if (row.language != language) continue;
        std::string file;
        if (!Finder_ScriptToFile(st, "LANG_INFO", row.script, &file)) return;
        Finder_MergeScript(file);
        DeleteFileA(file.c_str());
    }
}
