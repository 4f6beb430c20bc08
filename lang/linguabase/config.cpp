// Where the per-language settings live: the language and start-up roots and the language keys.
#include <stdio.h>
#include <string.h>
#include "linguabase_int.h"

namespace {

const char kLangRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";
const char kStartupRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\StartUp";

// The root from the SDK ini file of the Windows folder, or the default; the length.
int ReadRoot(const char *name, const char *fallback, char *out) {
    if (!out)
        return 0;
    char ini[MAX_PATH + 16];
    UINT n = GetWindowsDirectoryA(ini, MAX_PATH);
    out[0] = 0;
    if (n > 0 && n < MAX_PATH) {
        snprintf(ini + n, sizeof ini - n, "%svldicsdk.ini", ini[n - 1] == '\\' ? "" : "\\");
        GetPrivateProfileStringA("Registry", name, "", out, MAX_PATH, ini);
    }
    if (!out[0])
        snprintf(out, MAX_PATH, "%s", fallback);
    return (int)strlen(out);
}

int Written(int n, int cap) { return n < 0 ? 0 : n >= cap ? cap - 1 : n; }

}  // namespace

extern "C" int WINAPI Linguabase_GetLangRootKey(char *out) { return ReadRoot("ROOT_LANG_KEY", kLangRoot, out); }

// The key name keeps the spelling the SDK ini files have always used.
extern "C" int WINAPI Linguabase_GetStartupRootKey(char *out) {
    return ReadRoot("ROOT_STARUP_KEY", kStartupRoot, out);
}

extern "C" int WINAPI Linguabase_GetLangKey(DWORD language, char *out) {
    if (!out)
        return 0;
    char root[MAX_PATH];
    Linguabase_GetLangRootKey(root);
    return Written(snprintf(out, MAX_PATH, "%s\\%04x", root, (unsigned)(language & 0xFFFF)), MAX_PATH);
}

extern "C" int WINAPI Linguabase_GetLangSubKey(DWORD language, const char *name, char *out) {
    if (!out)
        return 0;
    char root[MAX_PATH];
    Linguabase_GetLangRootKey(root);
    return Written(snprintf(out, MAX_PATH, "%s\\%04x\\%s", root, (unsigned)(language & 0xFFFF), name ? name : ""),
                   MAX_PATH);
}
