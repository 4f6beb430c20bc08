// Whole operations on the settings file: each takes the file's lock, reads the file once and,
// for a change, writes it back once.  Reads run with the thread and the process raised in
// priority, so that a read is over quickly while other programs wait on the same file.
#include "settings_int.h"

#include <stdlib.h>
#include <string.h>

// ---- Raised priority during reads -------------------------------------------------------------

// The process class is noted by the first of several concurrent readers and restored by the last,
// so overlapping reads in different threads cannot leave the process raised.
static SRWLOCK g_classLock = SRWLOCK_INIT;
static int g_classDepth;
static DWORD g_savedClass;

namespace {

struct Raised {
    int thread;
};

void Raise(Raised *r)
{
    r->thread = GetThreadPriority(GetCurrentThread());
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    AcquireSRWLockExclusive(&g_classLock);
    if (g_classDepth++ == 0) {
        g_savedClass = GetPriorityClass(GetCurrentProcess());
        SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    }
    ReleaseSRWLockExclusive(&g_classLock);
}

void Lower(const Raised *r)
{
    AcquireSRWLockExclusive(&g_classLock);
    if (--g_classDepth == 0 && g_savedClass)
        SetPriorityClass(GetCurrentProcess(), g_savedClass);
    ReleaseSRWLockExclusive(&g_classLock);
    if (r->thread != THREAD_PRIORITY_ERROR_RETURN)
        SetThreadPriority(GetCurrentThread(), r->thread);
}

// One read of the file: lock, raise, load.  Nothing loaded when the file is missing or unreadable.
struct Reading {
    HANDLE lock;
    Raised raised;
    SettingsText text;
    int loaded;
};

void BeginRead(Reading *r)
{
    r->lock = Settings_Lock();
    Raise(&r->raised);
    int exists = 0;
    r->loaded = Settings_Load(&r->text, &exists) && exists;
}

void EndRead(Reading *r)
{
    Settings_Free(&r->text);
    Lower(&r->raised);
    Settings_Unlock(r->lock);
}

// One change of the file: an edit function builds the new text from the old.
typedef int (*EditFn)(const SettingsText *old, const void *arg, SettingsText *out);

int Change(EditFn edit, const void *arg)
{
    HANDLE lock = Settings_Lock();
    SettingsText old = {NULL, 0}, now = {NULL, 0};
    int exists = 0, ok = 0;
    DWORD e = ERROR_OUTOFMEMORY;
    if (!lock) {
        // Another writer holds the file too long: nothing is written without the lock.
        e = GetLastError();
    } else if (!Settings_Load(&old, &exists)) {
        e = GetLastError();
    } else if (edit(&old, arg, &now)) {
        if (now.size == old.size && memcmp(now.data, old.data, now.size) == 0) {
            ok = 1;   // nothing changes
        } else {
            ok = Settings_Store(&now, &old, exists);
            if (!ok) e = GetLastError();
        }
    }
    Settings_Free(&now);
    Settings_Free(&old);
    Settings_Unlock(lock);
    if (!ok) SetLastError(e ? e : ERROR_WRITE_FAULT);
    return ok;
}

int IsOuterBlank(char c) { return c == ' ' || c == '\t'; }

void CopyOut(char *buf, size_t size, const char *p, size_t n)
{
    if (n >= size) n = size - 1;
    memcpy(buf, p, n);
    buf[n] = '\0';
}

} // namespace

// ---- Reads ------------------------------------------------------------------------------------

int SettingsFile_Read(const char *section, const char *name, char *buf, size_t size)
{
    if (!buf || size == 0) return 0;
    buf[0] = '\0';
    if (!name || !*name) name = "@";
    Reading r;
    BeginRead(&r);
    int found = 0;
    SettingsSpan text = {NULL, 0};
    if (r.loaded) {
        // A value written as a registry export writes it ("name"="text") is found as well.
        found = Settings_FindValue(&r.text, section, name, &text) && text.n > 0;
        if (!found) {
            size_t n = strlen(name);
            char *quoted = (char *)malloc(n + 3);
            if (quoted) {
                quoted[0] = '"';
                memcpy(quoted + 1, name, n);
                quoted[n + 1] = '"';
                quoted[n + 2] = '\0';
                found = Settings_FindValue(&r.text, section, quoted, &text) && text.n > 0;
                free(quoted);
            }
        }
        if (found) CopyOut(buf, size, text.p, text.n);
    }
    EndRead(&r);
    return found;
}

int SettingsFile_SectionExists(const char *section)
{
    Reading r;
    BeginRead(&r);
    int found = r.loaded && Settings_HasSection(&r.text, section);
    EndRead(&r);
    return found;
}

namespace {

// Direct sub-keys: sections named <key>\<one component>.
struct SubkeyWalk {
    const char *key;
    size_t keyLen;
    int index;       // wanted index, or -1 to count
    int count;
    char *buf;
    int result;
};

int SubkeyFn(SettingsSpan name, void *ctx)
{
    SubkeyWalk *w = (SubkeyWalk *)ctx;
    if (name.n <= w->keyLen + 1) return 1;
    // The section's first characters must be the key itself, ending on a character boundary.
    const char *p = name.p, *end = name.p + name.n;
    size_t boundary = 0;
    while (boundary < w->keyLen) boundary += (p + boundary + 1 < end && Settings_IsLead(p + boundary)) ? 2 : 1;
    if (boundary != w->keyLen || p[boundary] != '\\') return 1;
    if (!Settings_NameEqual(p, w->keyLen, w->key, w->keyLen)) return 1;
    const char *rest = p + boundary + 1;
    size_t restLen = (size_t)(end - rest);
    for (const char *q = rest; q < end; q += (q + 1 < end && Settings_IsLead(q)) ? 2 : 1)
        if (*q == '\\') return 1;
    if (restLen >= SETTINGS_NAME_MAX) return 1;   // cannot be handed out whole
    if (w->index < 0 || w->count < w->index) {
        w->count++;
        return 1;
    }
    if (w->buf) {
        CopyOut(w->buf, SETTINGS_NAME_MAX, rest, restLen);
        Settings_UpperInPlace(w->buf, restLen);
    }
    w->result = (int)restLen;
    return 0;
}

int WalkSubkeys(const char *section, int index, char *buf)
{
    if (buf) buf[0] = '\0';
    SubkeyWalk w = {section, strlen(section), index, 0, buf, 0};
    Reading r;
    BeginRead(&r);
    if (r.loaded) Settings_EachSection(&r.text, SubkeyFn, &w);
    EndRead(&r);
    return index < 0 ? w.count : w.result;
}

struct ValueWalk {
    int index;
    int count;
    char *buf;
    int result;
};

int ValueFn(SettingsSpan name, SettingsSpan, void *ctx)
{
    ValueWalk *w = (ValueWalk *)ctx;
    if (name.n == 0 || name.n >= SETTINGS_NAME_MAX) return 1;
    if (w->index < 0 || w->count < w->index) {
        w->count++;
        return 1;
    }
    if (w->buf) CopyOut(w->buf, SETTINGS_NAME_MAX, name.p, name.n);
    w->result = (int)name.n;
    return 0;
}

int WalkValues(const char *section, int index, char *buf)
{
    if (buf) buf[0] = '\0';
    ValueWalk w = {index, 0, buf, 0};
    Reading r;
    BeginRead(&r);
    if (r.loaded) Settings_EachValue(&r.text, section, ValueFn, &w);
    EndRead(&r);
    return index < 0 ? w.count : w.result;
}

} // namespace

int SettingsFile_CountSubkeys(const char *section) { return WalkSubkeys(section, -1, NULL); }

int SettingsFile_EnumSubkey(const char *section, int index, char *buf)
{
    if (index < 0) {
        if (buf) buf[0] = '\0';
        return 0;
    }
    return WalkSubkeys(section, index, buf);
}

int SettingsFile_CountValues(const char *section) { return WalkValues(section, -1, NULL); }

int SettingsFile_EnumValue(const char *section, int index, char *buf)
{
    if (index < 0) {
        if (buf) buf[0] = '\0';
        return 0;
    }
    return WalkValues(section, index, buf);
}

// ---- Changes ----------------------------------------------------------------------------------

int SettingsFile_FitsLine(const char *s, int isName)
{
    if (!s) return 0;
    // A name line must not read as a section, a comment or a name with its blanks trimmed.
    size_t n = strlen(s);
    if (isName && n > 0 && (s[0] == '[' || s[0] == ';' || IsOuterBlank(s[0]) || IsOuterBlank(s[n - 1])))
        return 0;
    for (const char *p = s; *p; p += Settings_IsLead(p) ? 2 : 1) {
        if (*p == '\r' || *p == '\n') return 0;
        if (isName && *p == '=') return 0;
    }
    return 1;
}

namespace {

struct LineArg {
    const char *section, *name, *text;
    int ensureKey;   // a missing section is made a key first (with its "@=" line)
};

int EditLine(const SettingsText *old, const void *arg, SettingsText *out)
{
    const LineArg *a = (const LineArg *)arg;
    if (!a->ensureKey || Settings_HasSection(old, a->section))
        return Settings_EditSetValue(old, a->section, a->name, a->text, out);
    SettingsText withKey = {NULL, 0};
    if (!Settings_EditSetValue(old, a->section, "@", "", &withKey)) return 0;
    int ok = Settings_EditSetValue(&withKey, a->section, a->name, a->text, out);
    Settings_Free(&withKey);
    return ok;
}

int EditCreate(const SettingsText *old, const void *arg, SettingsText *out)
{
    const char *section = (const char *)arg;
    if (Settings_HasSection(old, section)) {
        // The key exists: its values, the default one included, stay as they are.
        out->data = (char *)malloc(old->size + 1);
        if (!out->data) return 0;
        memcpy(out->data, old->data, old->size + 1);
        out->size = old->size;
        return 1;
    }
    return Settings_EditSetValue(old, section, "@", "", out);
}

int EditDeleteValue(const SettingsText *old, const void *arg, SettingsText *out)
{
    const LineArg *a = (const LineArg *)arg;
    return Settings_EditDeleteValue(old, a->section, a->name, out);
}

int EditDeleteSection(const SettingsText *old, const void *arg, SettingsText *out)
{
    return Settings_EditDeleteSection(old, (const char *)arg, out);
}

} // namespace

int SettingsFile_Write(const char *section, const char *name, const char *text)
{
    // The reader trims outer blanks and drops one pair of outer quotes: a text it would change
    // is stored inside double quotes, which the reader then drops again.
    size_t n = text ? strlen(text) : 0;
    int quote = n > 0 && (IsOuterBlank(text[0]) || IsOuterBlank(text[n - 1]) ||
                          (n >= 2 && (text[0] == '"' || text[0] == '\'') && text[n - 1] == text[0]));
    char *quoted = NULL;
    if (quote) {
        quoted = (char *)malloc(n + 3);
        if (!quoted) {
            SetLastError(ERROR_OUTOFMEMORY);
            return 0;
        }
        quoted[0] = '"';
        memcpy(quoted + 1, text, n);
        quoted[n + 1] = '"';
        quoted[n + 2] = '\0';
    }
    LineArg a = {section, (name && *name) ? name : "@", quoted ? quoted : text, 1};
    int ok = Change(EditLine, &a);
    free(quoted);
    return ok;
}

int SettingsFile_CreateSection(const char *section) { return Change(EditCreate, section); }

int SettingsFile_DeleteValue(const char *section, const char *name)
{
    LineArg a = {section, (name && *name) ? name : "@", NULL, 0};
    return Change(EditDeleteValue, &a);
}

int SettingsFile_DeleteSection(const char *section) { return Change(EditDeleteSection, section); }
