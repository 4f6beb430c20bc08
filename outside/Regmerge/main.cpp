// regmerge.exe: merges one registration script into the settings (regmerge.h).
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include "basekit.h"
#include "regmerge.h"
#include "regmerge_int.h"

namespace {

void Note(const char *format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    OutputDebugStringA(text);
}

std::string Unquoted(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

// The next argument from p: a quoted text or a run up to a blank.
std::string Argument(const char **p) {
    const char *s = *p;
    while (*s == ' ' || *s == '\t') s++;
    std::string out;
    if (*s == '"') {
        for (s++; *s && *s != '"'; s++) out += *s;
        if (*s) s++;
    } else {
        for (; *s && *s != ' ' && *s != '\t'; s++) out += *s;
    }
    *p = s;
    return out;
}

// The command line after the program's own name: the settings file (empty for registry mode) and
// the script.  False when there is no script.
bool ReadCommandLine(const char *line, std::string *settings, std::string *script) {
    Argument(&line);  // the program
    for (;;) {
        std::string sw = Argument(&line);
        if (sw.size() < 2 || (sw[0] != '/' && sw[0] != '-')) return false;
        sw = sw.substr(1);
        if (lstrcmpiA(sw.c_str(), "settings") == 0) {
            *settings = Argument(&line);
            if (settings->empty()) return false;
        } else if (lstrcmpiA(sw.c_str(), "im") == 0) {
            *script = Unquoted(std::string(line).substr(strspn(line, " \t")));
            return !script->empty();
        } else {
            return false;
        }
    }
}

int ReadScript(const std::string &path, std::string *bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return REGMERGE_EXIT_UNREADABLE;
    LARGE_INTEGER size;
    int result = REGMERGE_EXIT_DONE;
    if (!GetFileSizeEx(f, &size)) {
        result = REGMERGE_EXIT_UNREADABLE;
    } else if (size.QuadPart > REGMERGE_MAX_SCRIPT) {
        result = REGMERGE_EXIT_TOO_LARGE;
    } else {
        bytes->resize((size_t)size.QuadPart);
        DWORD got = 0;
        if (!bytes->empty() && (!ReadFile(f, &(*bytes)[0], (DWORD)bytes->size(), &got, nullptr) || got != bytes->size()))
            result = REGMERGE_EXIT_UNREADABLE;
    }
    CloseHandle(f);
    return result;
}

bool Apply(const MergeStep &step) {
    switch (step.kind) {
    case MergeStep::Key: {
        SettingsKey key = Basekit_SettingsCreateKey(nullptr, step.key.c_str());
        Basekit_SettingsCloseKey(key);
        return key != nullptr;
    }
    case MergeStep::Text:
        return Basekit_SettingsWriteString(step.key.c_str(), step.name.c_str(), step.text.c_str()) != 0;
    case MergeStep::Number:
        return Basekit_SettingsWriteDword(step.key.c_str(), step.name.c_str(), step.number) != 0;
    }
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string settings, path, bytes;
    if (!ReadCommandLine(GetCommandLineA(), &settings, &path)) {
        Note("regmerge: usage: regmerge.exe [/settings <file>] /im <script>\n");
        return REGMERGE_EXIT_USAGE;
    }
    int result = ReadScript(path, &bytes);
    if (result != REGMERGE_EXIT_DONE) {
        Note("regmerge: cannot take %s (%d)\n", path.c_str(), result);
        return result;
    }
    if (!settings.empty()) Basekit_SettingsSetFile(settings.c_str());
    MergeScript script = Regmerge_Read(bytes.data(), bytes.size());
    for (int line : script.skipped) Note("regmerge: %s(%d): line skipped\n", path.c_str(), line);
    bool all = script.skipped.empty();
    for (const MergeStep &step : script.steps) {
        if (!Apply(step)) {
            Note("regmerge: %s(%d): the settings refused the line\n", path.c_str(), step.line);
            all = false;
        }
    }
    return all ? REGMERGE_EXIT_DONE : REGMERGE_EXIT_SKIPPED;
}
