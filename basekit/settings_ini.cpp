// The settings file: read whole, walked line by line, and edited into a new text that is written
// back in place.  The layout is that of a profile (INI) file: "[section]" lines, "name=text"
// lines below them, CR LF line ends; blank lines and ";" comments are kept as they are.
#include "settings_int.h"

#include <stdlib.h>
#include <string.h>

// ---- Characters of the current code page ------------------------------------------------------

static size_t CharLen(const char *p, const char *end)
{
    if (p + 1 < end && IsDBCSLeadByte((BYTE)*p) && p[1] != '\0') return 2;
    return 1;
}

int Settings_IsLead(const char *p)
{
    return IsDBCSLeadByte((BYTE)*p) && p[1] != '\0';
}

static BYTE Fold(BYTE c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? (BYTE)(c - 'a' + 'A') : c;
    if (IsDBCSLeadByte(c)) return c;   // a lead byte without its trail byte stays as it is
    char s[1] = {(char)c};
    CharUpperBuffA(s, 1);
    return (BYTE)s[0];
}

int Settings_NameEqual(const char *a, size_t na, const char *b, size_t nb)
{
    const char *ea = a + na, *eb = b + nb;
    while (a < ea && b < eb) {
        size_t la = CharLen(a, ea), lb = CharLen(b, eb);
        if (la != lb) return 0;
        if (la == 2) {
            if (a[0] != b[0] || a[1] != b[1]) return 0;
        } else if (Fold((BYTE)*a) != Fold((BYTE)*b)) {
            return 0;
        }
        a += la;
        b += lb;
    }
    return a == ea && b == eb;
}

void Settings_UpperInPlace(char *s, size_t n)
{
    const char *end = s + n;
    while (s < end) {
        size_t l = CharLen(s, end);
        if (l == 1) *s = (char)Fold((BYTE)*s);
        s += l;
    }
}

// ---- The lock shared by every process that uses the same file ---------------------------------

// The file's canonical name: full, with every component in its long form (the file's own name as
// given while it does not exist yet), so that a process that named the file before it existed and
// one that got its short name later take the same lock.
static void CanonicalPath(char *out, DWORD size)
{
    char full[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(Settings_ShortPath(), sizeof full, full, NULL);
    if (n == 0 || n >= sizeof full) lstrcpynA(full, Settings_ShortPath(), sizeof full);
    n = GetLongPathNameA(full, out, size);
    if (n > 0 && n < size) return;
    lstrcpynA(out, full, size);
    char *slash = strrchr(full, '\\');
    if (!slash) return;
    *slash = '\0';
    char folder[MAX_PATH * 2];
    n = GetLongPathNameA(full, folder, sizeof folder);
    if (n == 0 || n >= sizeof folder || n + 1 + strlen(slash + 1) >= size) return;
    wsprintfA(out, "%s\\%s", folder, slash + 1);
}

HANDLE Settings_Lock(void)
{
    char full[MAX_PATH * 2];
    CanonicalPath(full, sizeof full);
    unsigned long long h = 1469598103934665603ull;   // FNV-1a over the path without case
    for (const char *p = full; *p; p++) {
        h ^= Fold((BYTE)*p);
        h *= 1099511628211ull;
    }
    char name[64];
    wsprintfA(name, "Local\\BasekitSettings.%08lx%08lx", (unsigned long)(h >> 32),
              (unsigned long)(h & 0xFFFFFFFFu));
    HANDLE m = CreateMutexA(NULL, FALSE, name);
    if (!m) return NULL;
    DWORD w = WaitForSingleObject(m, 30000);
    if (w != WAIT_OBJECT_0 && w != WAIT_ABANDONED) {
        CloseHandle(m);
        SetLastError(ERROR_TIMEOUT);
        return NULL;
    }
    return m;
}

void Settings_Unlock(HANDLE lock)
{
    if (!lock) return;
    ReleaseMutex(lock);
    CloseHandle(lock);
}

// ---- Reading and writing the file -------------------------------------------------------------

enum { MAX_FILE = 64 * 1024 * 1024 };

// A program that opens the file without the lock holds it only for a moment: a read or a swap
// that meets it tries again for up to a second.
enum { kBusyTries = 20, kBusyPause = 50 };

int Settings_Load(SettingsText *t, int *exists)
{
    t->data = NULL;
    t->size = 0;
    *exists = 0;
    int ok = 0;
    HANDLE f = INVALID_HANDLE_VALUE;
    for (int tries = 0; f == INVALID_HANDLE_VALUE && tries < kBusyTries; tries++) {
        if (tries) Sleep(kBusyPause);
        f = CreateFileA(Settings_ShortPath(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, NULL);
        if (f == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION) break;
    }
    if (f == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) {
            t->data = (char *)calloc(1, 1);
            return t->data != NULL;
        }
        return 0;
    }
    LARGE_INTEGER size;
    if (GetFileSizeEx(f, &size) && size.QuadPart >= 0 && size.QuadPart <= MAX_FILE) {
        size_t n = (size_t)size.QuadPart, got = 0;
        t->data = (char *)malloc(n + 1);
        while (t->data && got < n) {
            DWORD r = 0;
            if (!ReadFile(f, t->data + got, (DWORD)(n - got), &r, NULL) || r == 0) break;
            got += r;
        }
        if (t->data && got == n) {
            t->data[n] = '\0';
            t->size = n;
            *exists = 1;
            ok = 1;
        }
    }
    CloseHandle(f);
    if (!ok) Settings_Free(t);
    return ok;
}

void Settings_Free(SettingsText *t)
{
    free(t->data);
    t->data = NULL;
    t->size = 0;
}

static int WriteAt(HANDLE f, const char *p, size_t n)
{
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(f, zero, NULL, FILE_BEGIN)) return 0;
    while (n > 0) {
        DWORD w = 0;
        if (!WriteFile(f, p, (DWORD)n, &w, NULL) || w == 0) return 0;
        p += w;
        n -= w;
    }
    return 1;
}

static int SetSize(HANDLE f, size_t n)
{
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)n;
    return SetFilePointerEx(f, at, NULL, FILE_BEGIN) && SetEndOfFile(f);
}

// The whole text goes to a side file beside the settings file, which is flushed and then swapped
// in: a failure or a crash at any point leaves the old file (or none) whole.  A new file is moved
// into place only while none is there.
int Settings_Store(const SettingsText *t, const SettingsText *old, int existed)
{
    (void)old;
    const char *path = Settings_ShortPath();
    char side[MAX_PATH];
    if (!path[0] || lstrlenA(path) + 5 >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    wsprintfA(side, "%s.new", path);
    if (existed) {
        // A read-only file is left alone even where the platform would let the owner write it,
        // and so is one that another program holds open without sharing the right to write.
        DWORD attr = GetFileAttributesA(path);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
        HANDLE probe = INVALID_HANDLE_VALUE;
        for (int tries = 0; probe == INVALID_HANDLE_VALUE && tries < kBusyTries; tries++) {
            if (tries) Sleep(kBusyPause);
            probe = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
            if (probe == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION) break;
        }
        if (probe == INVALID_HANDLE_VALUE) return 0;
        CloseHandle(probe);
    }
    HANDLE f = CreateFileA(side, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    int ok = WriteAt(f, t->data, t->size) && SetSize(f, t->size) && FlushFileBuffers(f);
    DWORD e = GetLastError();
    CloseHandle(f);
    for (int tries = 0; ok && tries < kBusyTries; tries++) {
        if (tries) Sleep(kBusyPause);
        if (MoveFileExA(side, path, (existed ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH)) break;
        e = GetLastError();
        if ((e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED) || tries + 1 == kBusyTries) ok = 0;
    }
    if (!ok) {
        DeleteFileA(side);
        SetLastError(e ? e : ERROR_WRITE_FAULT);
    }
    return ok;
}

// ---- Walking the lines ------------------------------------------------------------------------

namespace {

enum LineKind { LINE_OTHER, LINE_SECTION, LINE_VALUE };

struct Line {
    size_t start;       // offset of the line's first byte
    size_t end;         // offset just past its text (before CR/LF)
    size_t next;        // offset of the next line
    LineKind kind;
    SettingsSpan name;  // section name or value name
    SettingsSpan text;  // value text, quotes dropped
};

int IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the line at *pos; 0 at the end of the text.
int NextLine(const SettingsText *t, size_t *pos, Line *ln)
{
    size_t at = *pos;
    if (at >= t->size) return 0;
    if (at == 0 && t->size >= 3 && memcmp(t->data, "\xEF\xBB\xBF", 3) == 0) at = 3;
    const char *base = t->data;
    size_t end = at;
    while (end < t->size && base[end] != '\r' && base[end] != '\n') end++;
    size_t next = end;
    if (next < t->size && base[next] == '\r') next++;
    if (next < t->size && base[next] == '\n') next++;
    ln->start = *pos;
    ln->end = end;
    ln->next = next;
    ln->kind = LINE_OTHER;
    *pos = next;

    const char *p = base + at, *e = base + end;
    while (p < e && IsBlank(*p)) p++;
    while (e > p && IsBlank(e[-1])) e--;
    if (p == e || *p == ';') return 1;
    if (*p == '[') {
        const char *close = NULL;
        for (const char *q = p + 1; q < e; q += CharLen(q, e))
            if (*q == ']') close = q;
        if (!close) return 1;
        const char *s = p + 1, *se = close;
        while (s < se && IsBlank(*s)) s++;
        while (se > s && IsBlank(se[-1])) se--;
        ln->kind = LINE_SECTION;
        ln->name.p = s;
        ln->name.n = (size_t)(se - s);
        return 1;
    }
    const char *eq = NULL;
    for (const char *q = p; q < e; q += CharLen(q, e))
        if (*q == '=') { eq = q; break; }
    if (!eq) return 1;
    const char *ne = eq;
    while (ne > p && IsBlank(ne[-1])) ne--;
    const char *v = eq + 1;
    while (v < e && IsBlank(*v)) v++;
    if (e - v >= 2 && (*v == '"' || *v == '\'') && e[-1] == *v) {
        v++;
        e--;
    }
    ln->kind = LINE_VALUE;
    ln->name.p = p;
    ln->name.n = (size_t)(ne - p);
    ln->text.p = v;
    ln->text.n = (size_t)(e - v);
    return 1;
}

int IsSection(const Line &ln, const char *section)
{
    return ln.kind == LINE_SECTION && Settings_NameEqual(ln.name.p, ln.name.n, section, strlen(section));
}

// Finds the first section of that name: *header is its header line; 0 when there is none.
int FindSection(const SettingsText *t, const char *section, Line *header)
{
    size_t pos = 0;
    while (NextLine(t, &pos, header))
        if (IsSection(*header, section)) return 1;
    return 0;
}

// A growing output text; a failed allocation is remembered and checked once at the end.
struct Out {
    char *p;
    size_t n, cap;
    int failed;
};

void Put(Out *o, const char *s, size_t n)
{
    if (o->failed) return;
    if (o->n + n + 1 > o->cap) {
        size_t cap = o->cap ? o->cap : 256;
        while (o->n + n + 1 > cap) cap *= 2;
        char *p = (char *)realloc(o->p, cap);
        if (!p) {
            o->failed = 1;
            return;
        }
        o->p = p;
        o->cap = cap;
    }
    memcpy(o->p + o->n, s, n);
    o->n += n;
    o->p[o->n] = '\0';
}

void PutStr(Out *o, const char *s) { Put(o, s, strlen(s)); }

int Finish(Out *o, SettingsText *out)
{
    if (!o->failed && !o->p) Put(o, "", 0);
    if (o->failed) {
        free(o->p);
        out->data = NULL;
        out->size = 0;
        return 0;
    }
    out->data = o->p;
    out->size = o->n;
    return 1;
}

void PutLine(Out *o, const char *name, size_t nameLen, const char *text)
{
    Put(o, name, nameLen);
    Put(o, "=", 1);
    PutStr(o, text);
    Put(o, "\r\n", 2);
}

// The output so far ends a line (or is empty).
int AtLineStart(const Out *o) { return o->n == 0 || o->p[o->n - 1] == '\n'; }

} // namespace

// ---- Walks ------------------------------------------------------------------------------------

void Settings_EachSection(const SettingsText *t, SettingsSectionFn fn, void *ctx)
{
    size_t pos = 0;
    Line ln;
    while (NextLine(t, &pos, &ln))
        if (ln.kind == LINE_SECTION && !fn(ln.name, ctx)) return;
}

int Settings_HasSection(const SettingsText *t, const char *section)
{
    Line ln;
    return FindSection(t, section, &ln);
}

void Settings_EachValue(const SettingsText *t, const char *section, SettingsValueFn fn, void *ctx)
{
    Line ln;
    if (!FindSection(t, section, &ln)) return;
    size_t pos = ln.next;
    while (NextLine(t, &pos, &ln) && ln.kind != LINE_SECTION)
        if (ln.kind == LINE_VALUE && !fn(ln.name, ln.text, ctx)) return;
}

namespace {
struct FindCtx {
    const char *name;
    size_t len;
    SettingsSpan text;
    int found;
};
int FindFn(SettingsSpan name, SettingsSpan text, void *ctx)
{
    FindCtx *c = (FindCtx *)ctx;
    if (!Settings_NameEqual(name.p, name.n, c->name, c->len)) return 1;
    c->text = text;
    c->found = 1;
    return 0;
}
} // namespace

int Settings_FindValue(const SettingsText *t, const char *section, const char *name, SettingsSpan *text)
{
    FindCtx c = {name, strlen(name), {NULL, 0}, 0};
    Settings_EachValue(t, section, FindFn, &c);
    if (c.found) *text = c.text;
    return c.found;
}

// ---- Edits ------------------------------------------------------------------------------------

int Settings_EditSetValue(const SettingsText *t, const char *section, const char *name,
                          const char *text, SettingsText *out)
{
    Out o = {NULL, 0, 0, 0};
    size_t nameLen = strlen(name);
    Line header;
    if (!FindSection(t, section, &header)) {
        Put(&o, t->data, t->size);
        if (!AtLineStart(&o)) Put(&o, "\r\n", 2);
        Put(&o, "[", 1);
        PutStr(&o, section);
        Put(&o, "]\r\n", 3);
        PutLine(&o, name, nameLen, text);
        return Finish(&o, out);
    }
    // The first line of that name is replaced; otherwise a new line follows the section's last value.
    size_t insertAt = header.next, pos = header.next;
    Line ln;
    while (NextLine(t, &pos, &ln) && ln.kind != LINE_SECTION) {
        if (ln.kind != LINE_VALUE) continue;
        if (Settings_NameEqual(ln.name.p, ln.name.n, name, nameLen)) {
            Put(&o, t->data, ln.start);
            Put(&o, ln.name.p, ln.name.n);
            Put(&o, "=", 1);
            PutStr(&o, text);
            Put(&o, t->data + ln.end, t->size - ln.end);
            return Finish(&o, out);
        }
        insertAt = ln.next;
    }
    Put(&o, t->data, insertAt);
    if (!AtLineStart(&o)) Put(&o, "\r\n", 2);
    PutLine(&o, name, nameLen, text);
    Put(&o, t->data + insertAt, t->size - insertAt);
    return Finish(&o, out);
}

int Settings_EditDeleteValue(const SettingsText *t, const char *section, const char *name,
                             SettingsText *out)
{
    Out o = {NULL, 0, 0, 0};
    size_t nameLen = strlen(name), pos = 0, copied = 0;
    Line ln;
    int inSection = 0, seen = 0;
    while (NextLine(t, &pos, &ln)) {
        if (ln.kind == LINE_SECTION) {
            inSection = !seen && IsSection(ln, section);
            seen |= inSection;
        } else if (inSection && ln.kind == LINE_VALUE &&
                   Settings_NameEqual(ln.name.p, ln.name.n, name, nameLen)) {
            Put(&o, t->data + copied, ln.start - copied);
            copied = ln.next;
        }
    }
    Put(&o, t->data + copied, t->size - copied);
    return Finish(&o, out);
}

int Settings_EditDeleteSection(const SettingsText *t, const char *section, SettingsText *out)
{
    Out o = {NULL, 0, 0, 0};
    size_t pos = 0, copied = 0;
    Line ln;
    int dropping = 0;
    while (NextLine(t, &pos, &ln)) {
        if (ln.kind == LINE_SECTION) {
            int match = IsSection(ln, section);
            if (match && !dropping) {
                Put(&o, t->data + copied, ln.start - copied);
            } else if (!match && dropping) {
                copied = ln.start;
            }
            dropping = match;
        }
    }
    if (!dropping) Put(&o, t->data + copied, t->size - copied);
    return Finish(&o, out);
}
