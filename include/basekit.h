/* Basekit: the common library of the suite.
 *
 * Settings storage (registry or one settings file), files and paths, shell folders and shortcuts,
 * window helpers, bitmaps, drawing helpers, dialogs, buttons, tooltips and the text codec.
 * Every operation is exported by ordinal only; results are 1/0, a count, a handle or a code as
 * stated per operation.  Buffers and handles: see each group. */
#ifndef BASEKIT_H
#define BASEKIT_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Settings storage ------------------------------------------------------------------------
 * Keys, sub-keys and named values (strings and 32-bit numbers) by text key path, stored either in
 * the current user's registry (the mode of every process at load) or in one settings file of INI
 * form (after Basekit_SettingsSetFile).  Relative paths look like
 * "SOFTWARE\Halvenstone\Velosuite\4.0\Dictionary"; the full form is the same path preceded by
 * "HKEY_LOCAL_MACHINE\".  The mode is process-wide. */

/* Switches the process to file mode with the given settings file, or back to registry mode (null). */
void WINAPI Basekit_SettingsSetFile(const char *path);
/* 1 in file mode with the path copied into buf (260 bytes, may be null); 0 in registry mode with buf emptied. */
int WINAPI Basekit_SettingsGetFile(char *buf);
/* Non-zero when the settings file exists; 0 otherwise, also when no path was ever set. */
int WINAPI Basekit_SettingsFileExists(void);

/* ---- end of settings storage ---- */

#ifdef __cplusplus
}
#endif

#endif /* BASEKIT_H */
