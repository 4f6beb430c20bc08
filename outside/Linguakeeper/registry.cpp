// The language keys in the registry: the root (with the SDK ini override) and their values.
// Reads look in the current user's tree first, then in the local machine's; writes go to the
// current user's.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include "linguakeeper_int.h"

namespace {

void KeyPath(WORD code, char *out, size_t cap) {
    char root[300];
    Lk_LangRoot(root, sizeof root);
    snprintf(out, cap, "%s\\%04x", root, code);
}

LONG QueryValue(WORD code, const char *name, DWORD *type, void *data, DWORD *size) {
    char path[400];
    KeyPath(code, path, sizeof path);
    LONG r = ERROR_FILE_NOT_FOUND;
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key;
        if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DWORD n = *size;
        r = RegQueryValueExA(key, name, nullptr, type, (BYTE *)data, &n);
        RegCloseKey(key);
        if (r == ERROR_SUCCESS) {
            *size = n;
            return r;
        }
    }
    return r;
}

}  // namespace

void Lk_LangRoot(char *out, size_t cap) {
    char windows[MAX_PATH], ini[MAX_PATH + 16], value[261] = "";
    if (GetWindowsDirectoryA(windows, MAX_PATH)) {
        snprintf(ini, sizeof ini, "%s\\vldicsdk.ini", windows);
        GetPrivateProfileStringA("Registry", "ROOT_LANG_KEY", "", value, sizeof value, ini);
    }
    snprintf(out, cap, "%s", value[0] ? value : "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language");
}

int Lk_ReadString(WORD code, const char *name, char *out, DWORD cap) {
    if (cap == 0)
        return 0;
    DWORD type = 0, size = cap - 1;
    memset(out, 0, cap);
    if (QueryValue(code, name, &type, out, &size) != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        out[0] = 0;
        return 0;
    }
    out[cap - 1] = 0;
    return out[0] != 0;
}

int Lk_ReadDword(WORD code, const char *name, DWORD *out) {
    DWORD type = 0, size = 4, v = 0;
    if (QueryValue(code, name, &type, &v, &size) != ERROR_SUCCESS || type != REG_DWORD || size != 4)
        return 0;
    *out = v;
    return 1;
}

int Lk_ReadBinary(WORD code, const char *name, void *out, DWORD size) {
    DWORD type = 0, n = size;
    std::string buf;  // read into a scratch copy: a value of another size leaves out untouched
    buf.resize(size);
    if (QueryValue(code, name, &type, &buf[0], &n) != ERROR_SUCCESS || type != REG_BINARY || n != size)
        return 0;
    memcpy(out, buf.data(), size);
    return 1;
}

int Lk_WriteValue(WORD code, const char *name, DWORD type, const void *data, DWORD size) {
    char path[400];
    KeyPath(code, path, sizeof path);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 0;
    LONG r = RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

int Lk_ListKeys(WORD *codes, int cap) {
    char root[300];
    Lk_LangRoot(root, sizeof root);
    int n = 0;
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY key;
        if (RegOpenKeyExA(hive, root, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        char name[64];
        for (DWORD i = 0; n < cap; i++) {
            DWORD len = sizeof name;
            if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            char *end;
            unsigned long v = strtoul(name, &end, 16);
            if (*end || len != 4 || v == 0 || v > 0xFFFF)
                continue;
            bool seen = false;
            for (int j = 0; j < n; j++)
                seen = seen || codes[j] == v;
            if (!seen)
                codes[n++] = (WORD)v;
        }
        RegCloseKey(key);
    }
    return n;
}
