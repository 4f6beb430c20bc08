// Joining a path and a name with one backslash, aware of double-byte file names.
#include "basekit.h"

#include <string.h>

// Under code pages 932 and 950 the last character is found by walking the whole path, so that a
// trail byte 0x5C of a double-byte character is not taken for a backslash.
static int EndsInBackslash(const char *path, size_t n)
{
    UINT cp = GetACP();
    if (cp != 932 && cp != 950) return path[n - 1] == '\\';
    const char *last = path;
    for (const char *p = path; p < path + n;) {
        last = p;
        p += (IsDBCSLeadByteEx(cp, (BYTE)*p) && p + 1 < path + n) ? 2 : 1;
    }
    return last == path + n - 1 && *last == '\\';
}

char *WINAPI Basekit_PathAppend(char *path, const char *name)
{
    if (!path) return NULL;
    if (!name) name = "";
    size_t n = strnlen(path, MAX_PATH), m = strlen(name);
    if (n == MAX_PATH) {
        path[0] = '\0';
        return NULL;
    }
    int slash = n > 0 && !EndsInBackslash(path, n);
    if (n + slash + m >= MAX_PATH) {
        path[0] = '\0';
        return NULL;
    }
    if (slash) path[n++] = '\\';
    memcpy(path + n, name, m + 1);
    return path;
}
