// Access through an open key.  In registry mode a key is a registry key; in file mode it is a
// movable local-heap block that holds the key's section name, locked only while it is read.
#include "basekit.h"
#include "settings_int.h"

#include <stdio.h>
#include <string.h>

static const REGSAM KEY_USE = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

// ---- File-mode key blocks ---------------------------------------------------------------------

static SettingsKey NewKeyBlock(const char *section)
{
    size_t n = strlen(section);
    HLOCAL h = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, n + 1);
    if (!h) return NULL;
    char *p = (char *)LocalLock(h);
    if (!p) {
        LocalFree(h);
        return NULL;
    }
    memcpy(p, section, n + 1);
    LocalUnlock(h);
    return (SettingsKey)h;
}

// Copies the key's section name into name (SETTINGS_NAME_MAX bytes); 0 when the block cannot be
// locked or holds no terminated name.
static int KeySection(SettingsKey key, char *name)
{
    name[0] = '\0';
    if (!key) return 0;
    const char *p = (const char *)LocalLock((HLOCAL)key);
    if (!p) return 0;
    SIZE_T size = LocalSize((HLOCAL)key);
    size_t n = strnlen(p, size < SETTINGS_NAME_MAX ? size : SETTINGS_NAME_MAX);
    int ok = n < size && n < SETTINGS_NAME_MAX;
    if (ok) memcpy(name, p, n + 1);
    LocalUnlock((HLOCAL)key);
    return ok;
}

// The section of name below the parent's section (or below the root without a parent).
static int ChildSection(SettingsKey parent, const char *name, char *section)
{
    if (parent) {
        if (!KeySection(parent, section)) return 0;
    } else {
        lstrcpynA(section, "HKEY_LOCAL_MACHINE", SETTINGS_NAME_MAX);
    }
    if (!Basekit_PathAppend(section, name)) return 0;
    for (const char *p = section; *p; p++)
        if (*p == '\r' || *p == '\n') return 0;
    return 1;
}

// ---- Keys -------------------------------------------------------------------------------------

SettingsKey WINAPI Basekit_SettingsCreateKey(SettingsKey parent, const char *name)
{
    if (!name) return NULL;
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX];
        if (!ChildSection(parent, name, section) || !SettingsFile_CreateSection(section)) return NULL;
        return NewKeyBlock(section);
    }
    char full[SETTINGS_NAME_MAX];
    if (!parent && !Settings_FullForm(name, full)) return NULL;
    HKEY key;
    if (RegCreateKeyExA(parent ? (HKEY)parent : HKEY_CURRENT_USER, name, 0, NULL,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return (SettingsKey)key;
}

SettingsKey WINAPI Basekit_SettingsOpenKey(const char *path)
{
    if (!path) return NULL;
    const char *rel = Settings_Relative(path);
    char full[SETTINGS_NAME_MAX];
    if (!Settings_FullForm(rel, full)) return NULL;
    if (Settings_InFileMode())
        return SettingsFile_SectionExists(full) ? NewKeyBlock(full) : NULL;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, rel, 0, KEY_USE, &key) != ERROR_SUCCESS) return NULL;
    return (SettingsKey)key;
}

void WINAPI Basekit_SettingsCloseKey(SettingsKey key)
{
    if (!key) return;
    if (Settings_InFileMode())
        LocalFree((HLOCAL)key);
    else
        RegCloseKey((HKEY)key);
}

int WINAPI Basekit_SettingsKeyCountSubkeys(SettingsKey key)
{
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX];
        return KeySection(key, section) ? SettingsFile_CountSubkeys(section) : 0;
    }
    DWORD count = 0;
    if (RegQueryInfoKeyA((HKEY)key, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS)
        return 0;
    return (int)count;
}

SettingsKey WINAPI Basekit_SettingsOpenSubkey(SettingsKey key, int index, char *buf)
{
    char name[SETTINGS_NAME_MAX] = "";
    SettingsKey sub = NULL;
    if (buf) buf[0] = '\0';
    if (index < 0) return NULL;
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX], child[SETTINGS_NAME_MAX];
        if (KeySection(key, section) && SettingsFile_EnumSubkey(section, index, name) > 0 &&
            snprintf(child, sizeof child, "%s\\%s", section, name) < (int)sizeof child)
            sub = NewKeyBlock(child);
    } else {
        DWORD len = sizeof name;
        HKEY k;
        if (RegEnumKeyExA((HKEY)key, (DWORD)index, name, &len, NULL, NULL, NULL, NULL) ==
                ERROR_SUCCESS &&
            RegOpenKeyExA((HKEY)key, name, 0, KEY_USE, &k) == ERROR_SUCCESS)
            sub = (SettingsKey)k;
    }
    if (sub && buf) lstrcpynA(buf, name, SETTINGS_NAME_MAX);
    return sub;
}

LONG WINAPI Basekit_SettingsDeleteKey(SettingsKey parent, const char *name)
{
    // An empty name would name the parent itself.
    if (!name || !*name) return ERROR_INVALID_PARAMETER;
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX];
        if (!ChildSection(parent, name, section)) return parent ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER;
        if (SettingsFile_DeleteSection(section)) return ERROR_SUCCESS;
        DWORD e = GetLastError();
        return e ? (LONG)e : ERROR_WRITE_FAULT;
    }
    return RegDeleteKeyA(parent ? (HKEY)parent : HKEY_CURRENT_USER, name);
}

// ---- Values -----------------------------------------------------------------------------------

LONG WINAPI Basekit_SettingsQueryValue(SettingsKey key, const char *name, DWORD *type, void *buf)
{
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX], text[256];
        if (!KeySection(key, section)) return ERROR_INVALID_HANDLE;
        if (!SettingsFile_Read(section, name, text, sizeof text)) return ERROR_PATH_NOT_FOUND;
        int isNumber;
        DWORD value = Settings_ParseDword(text, &isNumber);
        if (isNumber) {
            if (buf) memcpy(buf, &value, 4);
            if (type) *type = REG_DWORD;
        } else {
            if (buf) memcpy(buf, text, strlen(text) + 1);
            if (type) *type = REG_SZ;
        }
        return ERROR_SUCCESS;
    }
    DWORD t = 0, len = MAX_PATH;
    // Zeroed first, so that data shorter than a number reads as zero-padded, never as old bytes.
    if (buf) memset(buf, 0, MAX_PATH);
    LONG r = RegQueryValueExA((HKEY)key, name, NULL, &t, (BYTE *)buf, buf ? &len : NULL);
    if (r != ERROR_SUCCESS) {
        if (buf) memset(buf, 0, MAX_PATH);
        return r;
    }
    if (buf && (t == REG_SZ || t == REG_EXPAND_SZ || t == REG_MULTI_SZ) &&
        (len == 0 || ((char *)buf)[len - 1] != '\0')) {
        // Text stored without its terminating zero: terminated here when it fits.
        if (len >= MAX_PATH) {
            memset(buf, 0, MAX_PATH);
            return ERROR_MORE_DATA;
        }
        ((char *)buf)[len] = '\0';
    }
    if (type) *type = t;
    return ERROR_SUCCESS;
}

LONG WINAPI Basekit_SettingsSetValue(SettingsKey key, const char *name, DWORD type, const void *data)
{
    if (!data) return ERROR_INVALID_PARAMETER;
    if (Settings_InFileMode()) {
        if (type != REG_SZ && type != REG_DWORD) return ERROR_BAD_FORMAT;
        char section[SETTINGS_NAME_MAX], number[16];
        if (!KeySection(key, section)) return ERROR_INVALID_HANDLE;
        const char *text = (const char *)data;
        if (type == REG_DWORD) {
            DWORD v;
            memcpy(&v, data, 4);
            snprintf(number, sizeof number, "dword:%08lx", (unsigned long)v);
            text = number;
        }
        if ((name && !SettingsFile_FitsLine(name, 1)) || !SettingsFile_FitsLine(text, 0))
            return ERROR_INVALID_PARAMETER;
        if (SettingsFile_Write(section, name, text)) return ERROR_SUCCESS;
        DWORD e = GetLastError();
        return e ? (LONG)e : ERROR_WRITE_FAULT;
    }
    DWORD size = type == REG_DWORD ? 4 : (DWORD)strlen((const char *)data) + 1;
    return RegSetValueExA((HKEY)key, name, 0, type, (const BYTE *)data, size);
}

int WINAPI Basekit_SettingsCountValues(SettingsKey key)
{
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX];
        return KeySection(key, section) ? SettingsFile_CountValues(section) : 0;
    }
    DWORD count = 0;
    if (RegQueryInfoKeyA((HKEY)key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS)
        return 0;
    return (int)count;
}

int WINAPI Basekit_SettingsEnumValue(SettingsKey key, int index, char *buf)
{
    if (!buf) return 0;
    buf[0] = '\0';
    if (index < 0) return 0;
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX];
        return KeySection(key, section) ? SettingsFile_EnumValue(section, index, buf) : 0;
    }
    DWORD len = MAX_PATH;
    if (RegEnumValueA((HKEY)key, (DWORD)index, buf, &len, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) {
        buf[0] = '\0';
        return 0;
    }
    return (int)len;
}

LONG WINAPI Basekit_SettingsDeleteValue(SettingsKey key, const char *name)
{
    if (Settings_InFileMode()) {
        char section[SETTINGS_NAME_MAX];
        if (!KeySection(key, section)) return ERROR_INVALID_HANDLE;
        if (SettingsFile_DeleteValue(section, name)) return ERROR_SUCCESS;
        DWORD e = GetLastError();
        return e ? (LONG)e : ERROR_WRITE_FAULT;
    }
    return RegDeleteValueA((HKEY)key, name);
}
