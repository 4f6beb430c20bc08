// The version-4 catalogue entry of an upgraded dictionary, written through the settings layer as
// the engine reads it, and the language registration of the Chinese dictionaries.
#include <stdio.h>
#include <string.h>

#include "migrate.h"

namespace {

const char kLanguageRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";

struct ChineseId {
    DWORD id;
    DWORD language;
    const char *script;
};
const ChineseId kChinese[] = {
    {0x1003, 0x0200, "vlchs.reg"}, {0x1004, 0x0200, "vlchs.reg"}, {0xE003, 0x0200, "vlchs.reg"},
    {0xE004, 0x0200, "vlchs.reg"}, {0xE007, 0x0200, "vlchs.reg"}, {0xE008, 0x0200, "vlchs.reg"},
    {0xE005, 0x0300, "vlcht.reg"}, {0xE006, 0x0300, "vlcht.reg"}, {0xE009, 0x0300, "vlcht.reg"},
    {0xE00A, 0x0300, "vlcht.reg"},
};

bool MachineKeyExists(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool RunProgram(const char *commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    char line[2 * MAX_PATH + 32];
    Migrate_Copy(line, commandLine, sizeof line);
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

}  // namespace

bool Migrate_WriteCatalogue(DWORD newId, const char *path, const char *name, const DWORD *languages,
                            int count)
{
    char key[MAX_PATH];
    Migrate_CatalogueKey(newId, key);
    SettingsKey k = Basekit_SettingsCreateKey(nullptr, key);
    if (!k) return false;
    Basekit_SettingsCloseKey(k);
    bool ok = true;
    // Sub-dictionaries first, so that the entry names its file only once it is whole.
    for (int i = 0; i < count && i < 99; i++) {
        char sub[MAX_PATH + 8];
        snprintf(sub, sizeof sub, "%s\\%02d", key, i + 1);
        SettingsKey s = Basekit_SettingsCreateKey(nullptr, sub);
        if (!s) return false;
        Basekit_SettingsCloseKey(s);
        ok = Basekit_SettingsWriteDword(sub, "LangID", languages[i]) && ok;
    }
    // Sub-dictionaries of an earlier entry under the same id that this one does not have.
    for (int i = count + 1; i <= 99; i++) {
        char sub[MAX_PATH + 8];
        snprintf(sub, sizeof sub, "%s\\%02d", key, i);
        SettingsKey s = Basekit_SettingsOpenKey(sub);
        if (!s) break;
        Basekit_SettingsCloseKey(s);
        Basekit_SettingsDeleteKey(nullptr, sub);
    }
    ok = Basekit_SettingsWriteString(key, "Name", name) && ok;
    ok = ok && Basekit_SettingsWriteString(key, "FileName", path);
    return ok;
}

bool Migrate_ChineseLanguage(DWORD newId, DWORD *language, const char **script)
{
    for (const ChineseId &c : kChinese)
        if (c.id == newId) {
            if (language) *language = c.language;
            if (script) *script = c.script;
            return true;
        }
    return false;
}

bool Migrate_RegisterLanguage(Migration *m, DWORD newId)
{
    DWORD language = 0;
    const char *script = nullptr;
    if (!Migrate_ChineseLanguage(newId, &language, &script)) return false;
    char key[MAX_PATH];
    snprintf(key, sizeof key, "%s\\%04x", kLanguageRoot, (unsigned)language);
    if (MachineKeyExists(key)) return false;
    char path[MAX_PATH];
    Migrate_Copy(path, m->env.installFolder, sizeof path);
    if (!Basekit_PathAppend(path, script) || !Migrate_FileExists(path)) return false;
    char shortFolder[MAX_PATH];
    DWORD n = GetShortPathNameA(m->env.installFolder, shortFolder, sizeof shortFolder);
    if (n == 0 || n >= sizeof shortFolder) Migrate_Copy(shortFolder, m->env.installFolder, sizeof shortFolder);
    Basekit_PathAppend(shortFolder, "");
    char line[2 * MAX_PATH + 32];
    snprintf(line, sizeof line, "regedit /s %s%s", shortFolder, script);
    Migrate_Trace("%s", line);
    return m->host->run ? m->host->run(m->host->context, line) : RunProgram(line);
}
