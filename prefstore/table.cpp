// The descriptor-table engine: every option record is a table of stored values, each mapped onto
// a field of the record by kind.  All reads and writes go through the settings layer.
#include "basekit.h"
#include "prefstore.h"
#include "prefstore_int.h"

#include <stdio.h>
#include <string.h>

int Prefstore_SectionPath(char *out, const char *root, const char *section)
{
    int n = snprintf(out, MAX_PATH, "%s\\%s", root, section);
    return n > 0 && n < MAX_PATH;
}

static int Prefstore_FieldPath(char *out, const PrefTable *table, const PrefField *field)
{
    return Prefstore_SectionPath(out, table->root, field->section ? field->section : table->section);
}

static int *Prefstore_IntAt(void *record, unsigned offset)
{
    return (int *)((char *)record + offset);
}

static int Prefstore_IntOf(const void *record, unsigned offset)
{
    int v;
    memcpy(&v, (const char *)record + offset, sizeof v);
    return v;
}

void Prefstore_LoadTable(const PrefTable *table, void *record)
{
    char path[MAX_PATH];
    for (size_t i = 0; i < table->count; ++i) {
        const PrefField *f = &table->fields[i];
        if (!Prefstore_FieldPath(path, table, f)) continue;
        char *at = (char *)record + f->offset;
        if (f->kind == PREF_STRING) {
            Basekit_SettingsReadString(path, f->name, at, (int)f->extra);
            at[f->extra - 1] = '\0';  // a value cut to the buffer still ends in the field
            continue;
        }
        DWORD v = Basekit_SettingsReadDword(path, f->name);
        switch (f->kind) {
        case PREF_INT:
        case PREF_LOW16:
            *Prefstore_IntAt(record, f->offset) = (int)v;
            break;
        case PREF_WORD: {
            WORD w = LOWORD(v);
            memcpy(at, &w, sizeof w);
            break;
        }
        case PREF_PAIR:
            *Prefstore_IntAt(record, f->offset) = (short)LOWORD(v);
            *Prefstore_IntAt(record, f->extra) = (short)HIWORD(v);
            break;
        default:
            break;
        }
    }
}

void Prefstore_LoadRecord(const PrefTable *table, void *record, size_t size)
{
    if (!record) return;
    memset(record, 0, size);
    Prefstore_LoadTable(table, record);
}

int Prefstore_SaveTable(const PrefTable *table, const void *record)
{
    char path[MAX_PATH];
    int ok = 1;
    for (size_t i = 0; i < table->count; ++i) {
        const PrefField *f = &table->fields[i];
        if (!Prefstore_FieldPath(path, table, f)) {
            ok = 0;
            continue;
        }
        const char *at = (const char *)record + f->offset;
        DWORD v = 0;
        switch (f->kind) {
        case PREF_STRING: {
            // The field need not be terminated: write at most its size.
            char text[MAX_PATH + 1];
            size_t n = strnlen(at, f->extra);
            if (n >= sizeof text) n = sizeof text - 1;
            memcpy(text, at, n);
            text[n] = '\0';
            if (!Basekit_SettingsWriteString(path, f->name, text)) ok = 0;
            continue;
        }
        case PREF_INT:
            v = (DWORD)Prefstore_IntOf(record, f->offset);
            break;
        case PREF_LOW16:
            v = (DWORD)Prefstore_IntOf(record, f->offset) & 0xFFFFu;
            break;
        case PREF_WORD: {
            WORD w;
            memcpy(&w, at, sizeof w);
            v = w;
            break;
        }
        case PREF_PAIR:
            v = ((DWORD)Prefstore_IntOf(record, f->extra) << 16) |
                ((DWORD)Prefstore_IntOf(record, f->offset) & 0xFFFFu);
            break;
        }
        if (!Basekit_SettingsWriteDword(path, f->name, v)) ok = 0;
    }
    return ok;
}

// ---- The view options block ----

#define VIEW_INT(name) {nullptr, #name, PREF_INT, offsetof(ViewOptions, name), 0}
static const PrefField kViewFields[] = {
    VIEW_INT(BackGroundColor), VIEW_INT(FontSize), VIEW_INT(UseRichText), VIEW_INT(EnableLineFeed),
    VIEW_INT(EnableLayer),     VIEW_INT(UseLayer), VIEW_INT(OpenLayer),   VIEW_INT(DispStyle),
};

void Prefstore_LoadView(const char *section, void *view)
{
    const PrefTable t = {PREFSTORE_ROOT, section, PREF_FIELDS(kViewFields)};
    Prefstore_LoadTable(&t, view);
}

int Prefstore_SaveView(const char *section, const void *view)
{
    const PrefTable t = {PREFSTORE_ROOT, section, PREF_FIELDS(kViewFields)};
    return Prefstore_SaveTable(&t, view);
}
