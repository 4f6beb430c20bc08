// Process-wide mode of the settings layer: registry (at load) or one settings file.
#include "basekit.h"
#include "settings_int.h"

#include <string.h>

static int g_fileMode;
static char g_filePath[MAX_PATH];
static char g_shortPath[MAX_PATH];

int Settings_InFileMode(void) { return g_fileMode; }
const char *Settings_ShortPath(void) { return g_shortPath; }

void WINAPI Basekit_SettingsSetFile(const char *path)
{
    if (!path) {
        g_fileMode = 0;
        g_filePath[0] = g_shortPath[0] = '\0';
        return;
    }
    g_fileMode = 1;
    if (strnlen(path, MAX_PATH) == MAX_PATH) {
        // A path that does not fit is not cut to another file's name: file mode without a file,
        // where reads find nothing and writes fail.
        g_filePath[0] = g_shortPath[0] = '\0';
        return;
    }
    lstrcpynA(g_filePath, path, MAX_PATH);
    DWORD n = GetShortPathNameA(g_filePath, g_shortPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        lstrcpynA(g_shortPath, g_filePath, MAX_PATH);
}

int WINAPI Basekit_SettingsGetFile(char *buf)
{
    if (!g_fileMode) {
        if (buf) buf[0] = '\0';
        return 0;
    }
    if (buf) lstrcpynA(buf, g_filePath, MAX_PATH);
    return 1;
}

int WINAPI Basekit_SettingsFileExists(void)
{
    if (!g_shortPath[0]) return 0;
    return GetFileAttributesA(g_shortPath) != INVALID_FILE_ATTRIBUTES;
}
