// The capture restriction list: six switches in section Ristrict of the settings and the list of
// applications in the text file vlwndctl.dat beside the running program, one rule per line:
// Excluded (a number, ended by any blank), the window class (ended by a tab or another control
// byte; it may hold spaces) and the description (up to the line break).
#include "basekit.h"
#include "prefstore.h"
#include "prefstore_int.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define RESTRICT_SECTION "Ristrict"
#define RESTRICT_FILE "vlwndctl.dat"

// A line holds at most this many bytes; a longer one is skipped whole.
enum { kLineMax = 1023 };

struct RestrictSwitch {
    const char *name;
    size_t offset;
};

static const RestrictSwitch kSwitches[] = {
    {"EnableAreaSelection", offsetof(RestrictionList, EnableAreaSelection)},
    {"Button", offsetof(RestrictionList, Button)},
    {"ListBox", offsetof(RestrictionList, ListBox)},
    {"DialogBox", offsetof(RestrictionList, DialogBox)},
    {"Menu", offsetof(RestrictionList, Menu)},
    {"EnableApplicationList", offsetof(RestrictionList, EnableApplicationList)},
};

// The list file's path: the running program's path with its file name replaced.
static int Prefstore_RestrictionPath(char *path)
{
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n + sizeof RESTRICT_FILE > MAX_PATH) return 0;
    Basekit_PathReplaceFileName(path, RESTRICT_FILE);
    return 1;
}

static RestrictionEntry *Prefstore_NewEntry(int excluded, const char *text, size_t len)
{
    RestrictionEntry *e = (RestrictionEntry *)malloc(offsetof(RestrictionEntry, Description) + len + 1);
    if (!e) return nullptr;
    e->Excluded = excluded;
    memcpy(e->Description, text, len);
    e->Description[len] = '\0';
    return e;
}

// Reads one line without its line break into buf (kLineMax + 1 bytes).  Returns 0 at the end of
// the file, -1 for a line longer than kLineMax bytes (consumed whole), 1 otherwise.
static int Prefstore_ReadLine(FILE *f, char *buf)
{
    int c = getc(f);
    if (c == EOF) return 0;
    size_t n = 0;
    int overlong = 0;
    for (; c != EOF && c != '\n'; c = getc(f)) {
        if (n < kLineMax)
            buf[n++] = (char)c;
        else
            overlong = 1;
    }
    buf[n] = '\0';
    return overlong ? -1 : 1;
}

// Splits one rule line; 0 when the line is no rule (comment, or a field missing).
static int Prefstore_ParseRule(char *line, int *excluded, char **key, char **text, size_t *textLen)
{
    const unsigned char *p = (const unsigned char *)line;
    if (*p == ';') return 0;

    while (*p && *p <= 0x20) ++p;
    const unsigned char *num = p;
    while (*p > 0x20) ++p;
    if (!*p) return 0;  // the line ends within the number
    *(char *)p++ = '\0';

    while (*p && *p <= 0x20) ++p;
    const unsigned char *cls = p;
    while (*p >= 0x20) ++p;
    if (!*p) return 0;  // the line ends within the class name
    *(char *)p++ = '\0';

    while (*p && *p <= 0x20) ++p;
    const unsigned char *desc = p;
    while (*p >= 0x20) ++p;
    if (p == desc) return 0;  // no description

    *excluded = (int)strtol((const char *)num, nullptr, 10);
    *key = (char *)cls;
    *text = (char *)desc;
    *textLen = (size_t)(p - desc);
    return 1;
}

static void Prefstore_LoadRestrictionFile(RestrictionList *list)
{
    char path[MAX_PATH];
    if (!Prefstore_RestrictionPath(path)) return;
    FILE *f = fopen(path, "rt");
    if (!f) return;
    char line[kLineMax + 1];
    int got;
    while ((got = Prefstore_ReadLine(f, line)) != 0) {
        int excluded;
        char *key, *text;
        size_t len;
        if (got < 0 || !Prefstore_ParseRule(line, &excluded, &key, &text, &len)) continue;
        if (Rowkit_Find(list->Applications, -1, key, nullptr)) continue;  // the first line counts
        RestrictionEntry *e = Prefstore_NewEntry(excluded, text, len);
        if (!e) break;
        if (Rowkit_Add(list->Applications, key, e) < 0) {
            free(e);
            break;
        }
    }
    fclose(f);
}

RestrictionList *WINAPI Prefstore_LoadRestrictions(void)
{
    RestrictionList *list = (RestrictionList *)calloc(1, sizeof(RestrictionList));
    if (!list) return nullptr;  // out of memory: nothing sensible to hand out
    char path[MAX_PATH];
    if (Prefstore_SectionPath(path, PREFSTORE_ROOT, RESTRICT_SECTION)) {
        for (const RestrictSwitch &s : kSwitches)
            *(int *)((char *)list + s.offset) = (int)Basekit_SettingsReadDword(path, s.name);
    }
    list->Applications = Rowkit_Create();
    if (list->Applications) Prefstore_LoadRestrictionFile(list);
    return list;
}

// Writes text with every control byte turned into a space, so that no text can end a field or
// the line early and be read back as another rule.
static void Prefstore_PutField(FILE *f, const char *text)
{
    for (const unsigned char *p = (const unsigned char *)text; *p; ++p)
        putc(*p < 0x20 ? ' ' : *p, f);
}

int WINAPI Prefstore_SaveRestrictions(const RestrictionList *list)
{
    if (!list) return 0;
    char path[MAX_PATH], temp[MAX_PATH + 8];
    if (Prefstore_SectionPath(path, PREFSTORE_ROOT, RESTRICT_SECTION)) {
        for (const RestrictSwitch &s : kSwitches)
            Basekit_SettingsWriteDword(path, s.name, (DWORD) * (const int *)((const char *)list + s.offset));
    }

    // The new list goes to a side file first and replaces the old one only once it is complete,
    // so a failed write leaves the old file as it was.
    if (!Prefstore_RestrictionPath(path)) return 0;
    // A read-only list is one the user keeps by hand: it cannot be written, as on the system.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return 0;
    snprintf(temp, sizeof temp, "%s.new", path);
    FILE *f = fopen(temp, "wt");
    if (!f) return 0;
    int count = Rowkit_GetCount(list->Applications);
    for (int i = 0; i < count; ++i) {
        const char *key = Rowkit_GetKey(list->Applications, i);
        const RestrictionEntry *e = (const RestrictionEntry *)Rowkit_GetItem(list->Applications, i);
        if (!key || !e) continue;
        fprintf(f, "%d\t", e->Excluded);
        Prefstore_PutField(f, key);
        putc('\t', f);
        Prefstore_PutField(f, e->Description);
        putc('\n', f);
    }
    int ok = !ferror(f);
    ok &= fclose(f) == 0;
    if (ok) ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) DeleteFileA(temp);
    return ok;
}

int WINAPI Prefstore_FindRestriction(const RestrictionList *list, const char *className)
{
    if (!list) return 0;
    int index;
    if (!className || !Rowkit_Find(list->Applications, -1, className, &index)) return 1;
    const RestrictionEntry *e = (const RestrictionEntry *)Rowkit_GetItem(list->Applications, index);
    return !e || e->Excluded == 0;
}

void WINAPI Prefstore_FreeRestrictions(RestrictionList *list)
{
    if (!list) return;
    int count = Rowkit_GetCount(list->Applications);
    for (int i = 0; i < count; ++i)
        free(Rowkit_GetItem(list->Applications, i));
    Rowkit_Destroy(list->Applications);
    free(list);
}

int WINAPI Prefstore_CompareRestrictions(const RestrictionList *a, const RestrictionList *b)
{
    if (!a || !b) return a == b;
    for (const RestrictSwitch &s : kSwitches) {
        if (*(const int *)((const char *)a + s.offset) != *(const int *)((const char *)b + s.offset))
            return 0;
    }
    int count = Rowkit_GetCount(a->Applications);
    if (count != Rowkit_GetCount(b->Applications)) return 0;
    for (int i = 0; i < count; ++i) {
        const RestrictionEntry *x = (const RestrictionEntry *)Rowkit_GetItem(a->Applications, i);
        const RestrictionEntry *y = (const RestrictionEntry *)Rowkit_GetItem(b->Applications, i);
        if (!x || !y) {
            if (x != y) return 0;
            continue;
        }
        if (x->Excluded != y->Excluded || strcmp(x->Description, y->Description) != 0) return 0;
    }
    return 1;
}
