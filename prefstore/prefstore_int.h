// What the option manager's own files share: the settings roots and the descriptor tables
// through which every option record is loaded and saved.
#ifndef PREFSTORE_INT_H
#define PREFSTORE_INT_H

#include <stddef.h>

// Settings roots (relative key paths of the settings layer).
#define PREFSTORE_ROOT "SOFTWARE\\Halvenstone\\Velosuite\\4.0"
#define PREFSTORE_ROOT7 "SOFTWARE\\Halvenstone\\Velosuite\\7.0"

// How one stored value maps onto a record.
enum PrefKind {
    PREF_INT,     // 32-bit value <-> int at offset
    PREF_WORD,    // low 16 bits of the value <-> WORD at offset; saved zero-extended
    PREF_STRING,  // string value <-> character field of size bytes at offset
    PREF_PAIR,    // one value: low half <-> int at offset, high half <-> int at offset2,
                  // each sign-extended on load; saved as (second << 16) | (first & 0xFFFF)
    PREF_LOW16,   // 32-bit value loaded whole into the int at offset, saved as its low 16 bits
};

struct PrefField {
    const char *section;  // below the table's root; null: the table's own section
    const char *name;     // value name
    PrefKind kind;
    unsigned offset;
    unsigned extra;       // PREF_PAIR: offset of the second member; PREF_STRING: field size
};

struct PrefTable {
    const char *root;
    const char *section;
    const PrefField *fields;
    size_t count;
};

#define PREF_FIELDS(array) array, sizeof(array) / sizeof(array[0])

// Reads every field of the table into the record (which the caller has zero-filled).
void Prefstore_LoadTable(const PrefTable *table, void *record);
// Writes every field of the table; 1 when every write succeeded.
int Prefstore_SaveTable(const PrefTable *table, const void *record);
// Zero-fills the record and reads the table into it; a null record is skipped.
void Prefstore_LoadRecord(const PrefTable *table, void *record, size_t size);
// root + "\" + section into a buffer of MAX_PATH bytes; 0 when it does not fit.
int Prefstore_SectionPath(char *out, const char *root, const char *section);

// The view options block, read from and written to a window's own section.
void Prefstore_LoadView(const char *section, void *view);
int Prefstore_SaveView(const char *section, const void *view);

// The search window's web links in the subsection Web of the given section.
struct WebLink;
WebLink *Prefstore_LoadWebList(const char *section);
int Prefstore_SaveWebList(const char *section, const WebLink *list);

#endif
