// The search window's web links: string values WebName<n> and WebAddress<n> (n from 1) in the
// subsection Web of the search window's section.  The list handed out ends with an entry whose
// Name is empty and lives in the local heap until Prefstore_FreeWebList.
#include "basekit.h"
#include "prefstore.h"
#include "prefstore_int.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// More links than anyone keeps by hand; a larger value count is not taken for links.
enum { kMaxWebLinks = 4096 };

static int Prefstore_WebPath(char *out, const char *section)
{
    char sectionPath[MAX_PATH];
    if (!Prefstore_SectionPath(sectionPath, PREFSTORE_ROOT, section)) return 0;
    int n = snprintf(out, MAX_PATH, "%s\\%s", sectionPath, "Web");
    return n > 0 && n < MAX_PATH;
}

// The number of values of the key, not counting its default value: the settings file lists the
// default value ("@") of every key it created, the registry only when one was set, and the web
// list must load the same from both.
static int Prefstore_CountNamedValues(SettingsKey key)
{
    int count = Basekit_SettingsCountValues(key);
    int named = 0;
    char name[MAX_PATH];
    for (int i = 0; i < count; ++i) {
        name[0] = '\0';
        if (!Basekit_SettingsEnumValue(key, i, name) || !name[0]) continue;
        name[MAX_PATH - 1] = '\0';
        if (strcmp(name, "@") != 0) ++named;
    }
    return named;
}

WebLink *Prefstore_LoadWebList(const char *section)
{
    char path[MAX_PATH];
    if (!Prefstore_WebPath(path, section)) return nullptr;
    SettingsKey key = Basekit_SettingsOpenKey(path);
    if (!key) return nullptr;
    int count = Prefstore_CountNamedValues(key);
    Basekit_SettingsCloseKey(key);

    int n = count / 2;
    if (n > kMaxWebLinks) n = kMaxWebLinks;
    WebLink *list = (WebLink *)LocalAlloc(LPTR, sizeof(WebLink) * (size_t)(n + 1));
    if (!list) return nullptr;
    char name[32];
    for (int i = 1; i <= n; ++i) {
        snprintf(name, sizeof name, "%s%d", "WebName", i);
        Basekit_SettingsReadString(path, name, list[i - 1].Name, sizeof list[i - 1].Name);
        snprintf(name, sizeof name, "%s%d", "WebAddress", i);
        Basekit_SettingsReadString(path, name, list[i - 1].Address, sizeof list[i - 1].Address);
        list[i - 1].Name[sizeof list[i - 1].Name - 1] = '\0';
        list[i - 1].Address[sizeof list[i - 1].Address - 1] = '\0';
    }
    return list;
}

// The entry number of a value named prefix + decimal digits (prefix compared without case, as
// value names are); 0 for any other name.
static long Prefstore_WebNumber(const char *name, const char *prefix)
{
    size_t n = strlen(prefix);
    if (_strnicmp(name, prefix, n) != 0) return 0;
    const char *p = name + n;
    if (!*p) return 0;
    for (const char *q = p; *q; ++q)
        if (!isdigit((unsigned char)*q)) return 0;
    if (strlen(p) > 9) return LONG_MAX;
    return strtol(p, nullptr, 10);
}

// Deletes the numbered web values above last, so that a link removed from the list does not
// come back on the next load.
static int Prefstore_DropWebValuesAbove(const char *path, int last)
{
    SettingsKey key = Basekit_SettingsOpenKey(path);
    if (!key) return 1;
    int count = Basekit_SettingsCountValues(key);
    // Collect first: deleting while enumerating would shift the indexes.
    char (*doomed)[MAX_PATH] = nullptr;
    int ndoomed = 0;
    if (count > 0) doomed = (char (*)[MAX_PATH])malloc(sizeof(*doomed) * (size_t)count);
    int ok = count <= 0 || doomed != nullptr;
    char name[MAX_PATH];
    for (int i = 0; doomed && i < count; ++i) {
        name[0] = '\0';
        if (!Basekit_SettingsEnumValue(key, i, name)) continue;
        name[MAX_PATH - 1] = '\0';
        if (Prefstore_WebNumber(name, "WebName") > last ||
            Prefstore_WebNumber(name, "WebAddress") > last)
            memcpy(doomed[ndoomed++], name, MAX_PATH);
    }
    for (int i = 0; i < ndoomed; ++i)
        Basekit_SettingsDeleteValue(key, doomed[i]);
    free(doomed);
    Basekit_SettingsCloseKey(key);
    return ok;
}

int Prefstore_SaveWebList(const char *section, const WebLink *list)
{
    if (!list) return 1;
    char path[MAX_PATH];
    if (!Prefstore_WebPath(path, section)) return 0;
    int ok = 1;
    int i = 0;
    char name[32];
    char text[sizeof list->Name + 1];
    for (; i < kMaxWebLinks && list[i].Name[0]; ++i) {
        snprintf(name, sizeof name, "%s%d", "WebName", i + 1);
        snprintf(text, sizeof text, "%.*s", (int)sizeof list[i].Name, list[i].Name);
        ok &= Basekit_SettingsWriteString(path, name, text) != 0;
        snprintf(name, sizeof name, "%s%d", "WebAddress", i + 1);
        snprintf(text, sizeof text, "%.*s", (int)sizeof list[i].Address, list[i].Address);
        ok &= Basekit_SettingsWriteString(path, name, text) != 0;
    }
    ok &= Prefstore_DropWebValuesAbove(path, i);
    return ok;
}

void WINAPI Prefstore_FreeWebList(SearchWindowOptions *options)
{
    if (!options || !options->WebList) return;
    LocalFree(options->WebList);
    options->WebList = nullptr;
}
