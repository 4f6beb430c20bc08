// Path text: components, the last backslash, the file name and the extension.  Paths are
// zero-terminated multi-byte texts of at most MAX_PATH bytes; under the ANSI code pages 932 and
// 950 the scans step over double-byte characters, so that a trail byte 0x5C is never taken for a
// backslash.
#include "files_int.h"
#include "basekit.h"

#include <string.h>

int Files_IsDbcsPath(void)
{
    UINT cp = GetACP();
    return cp == 932 || cp == 950;
}

const char *Files_NextChar(const char *p, int dbcs)
{
    if (dbcs && IsDBCSLeadByteEx(GetACP(), (BYTE)p[0]) && p[1] != '\0') return p + 2;
    return p + 1;
}

static const char *NextComponent(const char *text, int dbcs)
{
    const char *p = text;
    if (*p == '\\') ++p;
    while (*p != '\0' && *p != '\\') p = Files_NextChar(p, dbcs);
    return *p == '\\' ? p : nullptr;
}

const char *Files_LastBackslash(const char *text, int dbcs)
{
    const char *last = nullptr;
    for (const char *p = text; (p = NextComponent(p, dbcs)) != nullptr;) last = p;
    return last;
}

// Copies src into dst[0..room) and terminates it, cutting before a character that does not fit
// (never between a lead and its trail byte).  Returns 0 when src had to be cut.
static int CopyCut(char *dst, size_t room, const char *src, int dbcs)
{
    size_t n = 0;
    const char *p = src;
    while (*p != '\0') {
        const char *next = Files_NextChar(p, dbcs);
        size_t len = (size_t)(next - p);
        if (n + len + 1 > room) {
            dst[n] = '\0';
            return 0;
        }
        memcpy(dst + n, p, len);
        n += len;
        p = next;
    }
    dst[n] = '\0';
    return 1;
}

extern "C" char *WINAPI Basekit_PathNextComponent(const char *text)
{
    if (text == nullptr) return nullptr;
    return const_cast<char *>(NextComponent(text, Files_IsDbcsPath()));
}

extern "C" char *WINAPI Basekit_PathFindFileName(const char *path)
{
    if (path == nullptr) return nullptr;
    return const_cast<char *>(Files_LastBackslash(path, Files_IsDbcsPath()));
}

extern "C" char *WINAPI Basekit_PathReplaceFileName(char *path, const char *name)
{
    if (path == nullptr) return nullptr;
    if (name == nullptr) name = "";
    int dbcs = Files_IsDbcsPath();
    const char *slash = Files_LastBackslash(path, dbcs);
    char *start = slash ? path + (slash - path) + 1 : path;
    CopyCut(start, MAX_PATH - (size_t)(start - path), name, dbcs);
    return path;
}

// The dot that starts the extension is looked for in the last component only, so that a dot in a
// folder name ("C:\a.b\name") is never taken for it.
extern "C" char *WINAPI Basekit_PathSetExtension(char *path, const char *extension)
{
    if (path == nullptr) return nullptr;
    if (extension == nullptr) extension = "";
    if (extension[0] == '.') ++extension;
    int dbcs = Files_IsDbcsPath();
    const char *slash = Files_LastBackslash(path, dbcs);
    char *dot = nullptr;
    for (char *p = slash ? path + (slash - path) + 1 : path; *p != '\0';
         p = path + (Files_NextChar(p, dbcs) - path)) {
        if (*p == '.') dot = p;
    }
    if (dot == nullptr) {
        size_t len = strlen(path);
        if (len + 1 >= MAX_PATH) return path;   // no room even for the dot: left as it was
        dot = path + len;
        dot[0] = '.';
        dot[1] = '\0';
    }
    CopyCut(dot + 1, MAX_PATH - (size_t)(dot + 1 - path), extension, dbcs);
    return path;
}
