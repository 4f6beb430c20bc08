// Operations on the registry itself, whatever the settings mode: small enumeration helpers and
// tree copies that add what is missing at the destination and never overwrite.
#include "basekit.h"
#include "settings_int.h"

#include <stdlib.h>
#include <string.h>

static const REGSAM KEY_USE = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

int WINAPI Basekit_RegCountSubkeys(HKEY key)
{
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL, NULL) !=
        ERROR_SUCCESS)
        return 0;
    return (int)count;
}

HKEY WINAPI Basekit_RegOpenSubkeyByIndex(HKEY key, int index, char *buf)
{
    char name[256];
    DWORD len = sizeof name;
    HKEY sub = NULL;
    if (buf) buf[0] = '\0';
    if (index < 0 ||
        RegEnumKeyExA(key, (DWORD)index, name, &len, NULL, NULL, NULL, NULL) != ERROR_SUCCESS ||
        RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS)
        return NULL;
    if (buf) lstrcpynA(buf, name, sizeof name);
    return sub;
}

int WINAPI Basekit_RegReadValue(HKEY key, const char *subPath, char *buf)
{
    HKEY sub;
    if (RegOpenKeyExA(key, subPath, 0, KEY_QUERY_VALUE, &sub) != ERROR_SUCCESS) return 0;
    if (buf) {
        DWORD type = 0, len = 256;
        if (RegQueryValueExA(sub, NULL, NULL, &type, (BYTE *)buf, &len) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            buf[0] = '\0';
        } else if (len == 0 || buf[len - 1] != '\0') {
            // Text stored without its terminating zero.
            if (len < 256) buf[len] = '\0';
            else buf[0] = '\0';
        }
    }
    RegCloseKey(sub);
    return 1;
}

// ---- Tree copies ------------------------------------------------------------------------------

namespace {

// A heap buffer that grows on demand; the sizes come from the key's own information, so no name
// or value is too long for it.
struct Buffer {
    char *p;
    DWORD size;
};

int Grow(Buffer *b, DWORD size)
{
    if (size <= b->size) return 1;
    char *p = (char *)realloc(b->p, size);
    if (!p) return 0;
    b->p = p;
    b->size = size;
    return 1;
}

// The largest sub-key name, value name and value data of a key, with room for the terminators and
// for names that take more bytes than characters.
void KeySizes(HKEY key, DWORD *subkey, DWORD *valueName, DWORD *data)
{
    DWORD s = 0, v = 0, d = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, &s, NULL, NULL, &v, &d, NULL, NULL);
    *subkey = s * 2 + 2;
    *valueName = v * 2 + 2;
    *data = d + 2;
}

// Sets every value of src that dst does not have, with the source's type and data.
void CopyMissingValues(HKEY src, HKEY dst)
{
    DWORD subSize, nameSize, dataSize;
    KeySizes(src, &subSize, &nameSize, &dataSize);
    Buffer name = {NULL, 0}, data = {NULL, 0};
    for (DWORD i = 0; Grow(&name, nameSize) && Grow(&data, dataSize);) {
        DWORD nameLen = name.size, dataLen = data.size, type = 0;
        LONG r = RegEnumValueA(src, i, name.p, &nameLen, NULL, &type, (BYTE *)data.p, &dataLen);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r == ERROR_MORE_DATA) {   // grown since the sizes were taken
            nameSize = name.size * 2;
            dataSize = (dataLen > data.size ? dataLen : data.size) * 2;
            continue;
        }
        if (r == ERROR_SUCCESS &&
            RegQueryValueExA(dst, name.p, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            RegSetValueExA(dst, name.p, 0, type, (const BYTE *)data.p, dataLen);
        i++;
    }
    free(name.p);
    free(data.p);
}

// Calls fn for every sub-key name of key in index order.
template <typename Fn> void EachSubkey(HKEY key, Fn fn)
{
    DWORD subSize, nameSize, dataSize;
    KeySizes(key, &subSize, &nameSize, &dataSize);
    Buffer name = {NULL, 0};
    for (DWORD i = 0; Grow(&name, subSize);) {
        DWORD len = name.size;
        LONG r = RegEnumKeyExA(key, i, name.p, &len, NULL, NULL, NULL, NULL);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r == ERROR_MORE_DATA) {
            subSize = name.size * 2;
            continue;
        }
        if (r == ERROR_SUCCESS) fn(name.p);
        i++;
    }
    free(name.p);
}

int CopyTree(HKEY srcRoot, const char *srcPath, HKEY dstRoot, const char *dstPath, int copyOwnValues)
{
    HKEY src, dst;
    if (RegOpenKeyExA(srcRoot, srcPath, 0, KEY_READ, &src) != ERROR_SUCCESS) return 0;
    if (RegOpenKeyExA(dstRoot, dstPath, 0, KEY_READ | KEY_WRITE, &dst) != ERROR_SUCCESS) {
        Buffer cls = {NULL, 0};
        DWORD clsLen = 0;
        RegQueryInfoKeyA(src, NULL, &clsLen, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
        DWORD room = clsLen * 2 + 2;
        if (Grow(&cls, room)) {
            cls.p[0] = '\0';
            if (RegQueryInfoKeyA(src, cls.p, &room, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
                                 NULL) != ERROR_SUCCESS)
                cls.p[0] = '\0';
        }
        LONG r = RegCreateKeyExA(dstRoot, dstPath, 0, cls.p && cls.p[0] ? cls.p : NULL,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &dst, NULL);
        free(cls.p);
        if (r != ERROR_SUCCESS) {
            RegCloseKey(src);
            return 0;
        }
    }
    if (copyOwnValues) CopyMissingValues(src, dst);
    EachSubkey(src, [&](const char *name) { CopyTree(src, name, dst, name, 1); });
    RegCloseKey(dst);
    RegCloseKey(src);
    return 1;
}

// Machine to user: the sub-keys first, then the key's own missing values.
void CopyMachineToUser(HKEY src, HKEY dst)
{
    EachSubkey(src, [&](const char *name) {
        HKEY s, d;
        if (RegOpenKeyExA(src, name, 0, KEY_READ, &s) != ERROR_SUCCESS) return;
        if (RegCreateKeyExA(dst, name, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_USE, NULL, &d, NULL) ==
            ERROR_SUCCESS) {
            CopyMachineToUser(s, d);
            RegCloseKey(d);
        }
        RegCloseKey(s);
    });
    CopyMissingValues(src, dst);
}

} // namespace

int WINAPI Basekit_CopyRegistryTree(HKEY srcRoot, const char *srcPath, HKEY dstRoot,
                                    const char *dstPath, int copyOwnValues)
{
    return CopyTree(srcRoot, srcPath, dstRoot, dstPath, copyOwnValues);
}

int WINAPI Basekit_RegCopyMachineToUser(const char *path)
{
    if (!path || !*path) return 0;
    HKEY src, dst;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &src) != ERROR_SUCCESS) return 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_USE, NULL,
                        &dst, NULL) != ERROR_SUCCESS) {
        RegCloseKey(src);
        return 0;
    }
    CopyMachineToUser(src, dst);
    RegCloseKey(dst);
    RegCloseKey(src);
    return 1;
}
