// What the settings layer's own files share.
#ifndef BASEKIT_SETTINGS_INT_H
#define BASEKIT_SETTINGS_INT_H

#include <windows.h>
#include <stddef.h>

// Mode and file (settings_mode.cpp).
int Settings_InFileMode(void);
const char *Settings_ShortPath(void);

// Key paths (settings_path.cpp).
#define SETTINGS_ROOT "HKEY_LOCAL_MACHINE\\"
enum { SETTINGS_ROOT_LEN = 19, SETTINGS_NAME_MAX = MAX_PATH };
// The relative form of a path in either form (a leading root word dropped, without case).
const char *Settings_Relative(const char *path);
// The full form of a relative path into full (SETTINGS_NAME_MAX bytes); 0 when it does not fit.
int Settings_FullForm(const char *relative, char *full);
// The registry path of a full form: everything after its first backslash; null without one.
const char *Settings_AfterFirstComponent(const char *full);
// The number of a settings-file text "dword:<hex>" (*isNumber 0 and result 0 for other text).
DWORD Settings_ParseDword(const char *text, int *isNumber);

// Byte and character rules of the current code page (settings_ini.cpp).
int Settings_IsLead(const char *p);                // a lead byte followed by a trail byte
int Settings_NameEqual(const char *a, size_t na, const char *b, size_t nb);   // without case
void Settings_UpperInPlace(char *s, size_t n);     // single-byte characters only

// The settings file, read whole and edited line by line under a lock shared by every process
// that uses the same file (settings_ini.cpp).
struct SettingsText {
    char *data;      // whole file, zero-terminated (never null after a successful load)
    size_t size;
};
struct SettingsSpan {
    const char *p;
    size_t n;
};
// Takes the lock of the settings file (named after the file's canonical long path), waiting at
// most 30 seconds; released by Settings_Unlock.  Null when it could not be taken: reads then go
// on unguarded (the file is only ever swapped whole), changes fail.
HANDLE Settings_Lock(void);
void Settings_Unlock(HANDLE lock);
// Loads the file; a missing file loads as empty text (and *exists 0).  0 on failure to read.
int Settings_Load(SettingsText *t, int *exists);
void Settings_Free(SettingsText *t);
// Writes the text to a side file and swaps it in; the stored file stays whole when anything
// fails.  0 on failure with the last error set.
int Settings_Store(const SettingsText *t, const SettingsText *old, int existed);

// Walks over the file (all read-only).
// Calls fn for every section header in file order; fn returns 0 to stop.
typedef int (*SettingsSectionFn)(SettingsSpan name, void *ctx);
void Settings_EachSection(const SettingsText *t, SettingsSectionFn fn, void *ctx);
// 1 when a section of that name exists.
int Settings_HasSection(const SettingsText *t, const char *section);
// Calls fn for every value line (name, text with quotes dropped) of the first section of that name.
typedef int (*SettingsValueFn)(SettingsSpan name, SettingsSpan text, void *ctx);
void Settings_EachValue(const SettingsText *t, const char *section, SettingsValueFn fn, void *ctx);
// Finds a value's text in the first section of that name; 1 when found.
int Settings_FindValue(const SettingsText *t, const char *section, const char *name, SettingsSpan *text);

// Edits (each builds a new text in out; 0 on allocation failure).
int Settings_EditSetValue(const SettingsText *t, const char *section, const char *name,
                          const char *text, SettingsText *out);
int Settings_EditDeleteValue(const SettingsText *t, const char *section, const char *name,
                             SettingsText *out);
int Settings_EditDeleteSection(const SettingsText *t, const char *section, SettingsText *out);

// Whole operations on the settings file (settings_file.cpp).
// Reads a value's text into buf (size bytes, terminated, cut to fit); the name "" is "@" and a
// quoted form of the name is tried when the plain one finds nothing or an empty text.  1 when found.
int SettingsFile_Read(const char *section, const char *name, char *buf, size_t size);
int SettingsFile_SectionExists(const char *section);
// 1 when the line was written; 0 with the last error set otherwise.
int SettingsFile_Write(const char *section, const char *name, const char *text);
int SettingsFile_CreateSection(const char *section);
int SettingsFile_DeleteValue(const char *section, const char *name);
int SettingsFile_DeleteSection(const char *section);
// Direct sub-keys of a section: the count, or the index-th name (upper-cased) into buf of 260 bytes
// with its length as result (0 when none).
int SettingsFile_CountSubkeys(const char *section);
int SettingsFile_EnumSubkey(const char *section, int index, char *buf);
// Value names of a section: the count, or the index-th name into buf of 260 bytes.
int SettingsFile_CountValues(const char *section);
int SettingsFile_EnumValue(const char *section, int index, char *buf);
// 1 when a name or text can be kept on one line of the file.
int SettingsFile_FitsLine(const char *s, int isName);

#endif
