// Reads and writes by key path; nothing stays open between calls.
#include "basekit.h"
#include "settings_int.h"

#include <stdio.h>
#include <string.h>

static const REGSAM KEY_USE = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

// ---- Path forms -------------------------------------------------------------------------------

// 1 when text begins with the ASCII word, compared without case.
static int StartsNoCase(const char *text, const char *word)
{
    for (; *word; text++, word++) {
        char a = *text, b = *word;
        if (a >= 'a' && a <= 'z') a = (char)(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z') b = (char)(b - 'a' + 'A');
        if (a != b) return 0;
    }
    return 1;
}

const char *Settings_Relative(const char *path)
{
    return StartsNoCase(path, SETTINGS_ROOT) ? path + SETTINGS_ROOT_LEN : path;
}

int Settings_FullForm(const char *relative, char *full)
{
    size_t n = strlen(relative);
    if (SETTINGS_ROOT_LEN + n >= SETTINGS_NAME_MAX) {
        full[0] = '\0';
        return 0;
    }
    memcpy(full, SETTINGS_ROOT, SETTINGS_ROOT_LEN);
    memcpy(full + SETTINGS_ROOT_LEN, relative, n + 1);
    return 1;
}

const char *Settings_AfterFirstComponent(const char *full)
{
    for (const char *p = full; *p; p += Settings_IsLead(p) ? 2 : 1)
        if (*p == '\\') return p + 1;
    return NULL;
}

// A full-form path of a read that fits; 0 for one too long.
static int FitsFull(const char *full) { return strlen(full) < SETTINGS_NAME_MAX; }

// A key path that the settings file can hold as a section name.
static int FitsSection(const char *full)
{
    for (const char *p = full; *p; p++)
        if (*p == '\r' || *p == '\n') return 0;
    return 1;
}

// ---- Numbers in the settings file -------------------------------------------------------------

// "dword:" and up to eight hexadecimal digits (leading zeros aside); 0 when the text is no number.
DWORD Settings_ParseDword(const char *text, int *isNumber)
{
    *isNumber = 0;
    if (!StartsNoCase(text, "dword:")) return 0;
    *isNumber = 1;
    const char *p = text + 6;
    while (*p == '0') p++;
    DWORD v = 0;
    int digits = 0;
    for (;; p++, digits++) {
        int d;
        if (*p >= '0' && *p <= '9') d = *p - '0';
        else if (*p >= 'a' && *p <= 'f') d = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F') d = *p - 'A' + 10;
        else break;
        if (digits == 8) return 0;   // wider than 32 bits
        v = (v << 4) | (DWORD)d;
    }
    return v;
}

// ---- Reads ------------------------------------------------------------------------------------

static int IsTextType(DWORD type)
{
    return type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN && type != REG_QWORD;
}

int WINAPI Basekit_SettingsReadString(const char *path, const char *name, char *buf, int size)
{
    if (!buf || size <= 0) return 0;
    int found = 0;
    char full[SETTINGS_NAME_MAX];
    if (path && Settings_FullForm(path, full)) {
        if (Settings_InFileMode()) {
            found = SettingsFile_Read(full, name, buf, (size_t)size);
        } else {
            HKEY key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
                DWORD type = 0, len = (DWORD)size;
                if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)buf, &len) == ERROR_SUCCESS &&
                    IsTextType(type)) {
                    // Text stored without its terminating zero is terminated here, inside the buffer.
                    if (len > 0 && buf[len - 1] == '\0') found = 1;
                    else if (len < (DWORD)size) buf[len] = '\0', found = 1;
                }
                RegCloseKey(key);
            }
        }
    }
    if (!found) memset(buf, 0, (size_t)size);
    return found;
}

DWORD WINAPI Basekit_SettingsReadDword(const char *path, const char *name)
{
    char full[SETTINGS_NAME_MAX];
    if (!path || !Settings_FullForm(path, full)) return 0;
    if (Settings_InFileMode()) {
        char text[256];
        int isNumber;
        if (!SettingsFile_Read(full, name, text, sizeof text)) return 0;
        return Settings_ParseDword(text, &isNumber);
    }
    DWORD value = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        BYTE data[MAX_PATH] = {0};
        DWORD type = 0, len = sizeof data;
        if (RegQueryValueExA(key, name, NULL, &type, data, &len) == ERROR_SUCCESS && len >= 4 &&
            type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
            memcpy(&value, data, 4);
        RegCloseKey(key);
    }
    return value;
}

// ---- Writes -----------------------------------------------------------------------------------

static int WriteByPath(const char *path, const char *name, DWORD type, const void *data, const char *text)
{
    if (!path) return 0;
    const char *rel = Settings_Relative(path);
    char full[SETTINGS_NAME_MAX];
    if (!Settings_FullForm(rel, full)) return 0;
    if (Settings_InFileMode()) {
        if (!FitsSection(full) || (name && !SettingsFile_FitsLine(name, 1)) ||
            !SettingsFile_FitsLine(text, 0))
            return 0;
        return SettingsFile_Write(full, name, text);
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, rel, 0, KEY_USE, &key) != ERROR_SUCCESS &&
        RegCreateKeyExA(HKEY_CURRENT_USER, rel, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return 0;
    DWORD size = type == REG_DWORD ? 4 : (DWORD)strlen((const char *)data) + 1;
    LONG r = RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

int WINAPI Basekit_SettingsWriteString(const char *path, const char *name, const char *text)
{
    if (!text) return 0;
    return WriteByPath(path, name, REG_SZ, text, text);
}

int WINAPI Basekit_SettingsWriteDword(const char *path, const char *name, DWORD value)
{
    if (!name || !*name) return 0;
    char text[16];
    snprintf(text, sizeof text, "dword:%08lx", (unsigned long)value);
    return WriteByPath(path, name, REG_DWORD, &value, text);
}

// ---- Sub-keys by full path --------------------------------------------------------------------

static HKEY OpenFullForReading(const char *full)
{
    const char *rel = Settings_AfterFirstComponent(full);
    HKEY key;
    if (!rel || RegOpenKeyExA(HKEY_CURRENT_USER, rel, 0, KEY_READ, &key) != ERROR_SUCCESS) return NULL;
    return key;
}

int WINAPI Basekit_SettingsCountSubkeys(const char *fullPath)
{
    if (!fullPath || !FitsFull(fullPath)) return 0;
    if (Settings_InFileMode()) return SettingsFile_CountSubkeys(fullPath);
    HKEY key = OpenFullForReading(fullPath);
    if (!key) return 0;
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL, NULL) !=
        ERROR_SUCCESS)
        count = 0;
    RegCloseKey(key);
    return (int)count;
}

int WINAPI Basekit_SettingsEnumSubkey(const char *fullPath, int index, char *buf)
{
    if (!buf) return 0;
    buf[0] = '\0';
    if (!fullPath || !FitsFull(fullPath) || index < 0) return 0;
    if (Settings_InFileMode()) return SettingsFile_EnumSubkey(fullPath, index, buf);
    HKEY key = OpenFullForReading(fullPath);
    if (!key) return 0;
    DWORD len = SETTINGS_NAME_MAX;
    int result = 0;
    if (RegEnumKeyExA(key, (DWORD)index, buf, &len, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
        result = (int)len;
    else
        buf[0] = '\0';
    RegCloseKey(key);
    return result;
}
