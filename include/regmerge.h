/* Regmerge: the registration-script importer that the dictionary finder starts.
 *
 * A program (regmerge.exe, no window) that merges one script of registry-export text into the
 * suite's settings through Basekit's settings layer, so that what it writes is exactly where the
 * finder and the engine read: the current user's registry in registry mode, or the settings file
 * in file mode.
 *
 * Command line (switches without case, "-" as well as "/"):
 *   regmerge.exe [/settings <file>] /im <script>
 *   /im <script>       the script to merge: everything after the switch up to the end of the line
 *                      (the finder does not quote it; surrounding quotes are removed)
 *   /settings <file>   file mode with that settings file (quoted when it holds spaces); without it
 *                      registry mode, as every process of the suite starts
 *
 * Script (bytes in the system's code page; CR LF or LF line ends; no header line needed):
 *   [HKEY_LOCAL_MACHINE\<key path>]   a section: its key is created (also when it has no values);
 *                                     the root must be HKEY_LOCAL_MACHINE (without case), the
 *                                     settings layer's full form; the rest is used as written
 *   name=text                         a string value, text up to the end of the line as it stands
 *   name=dword:<1-8 hex digits>       a 32-bit number
 *   "name"="text"                     regedit's quoted form; \\ and \" in the text stand for \ and "
 *   @=text                            the key's default value
 *   blank lines, lines starting with ';', and the header lines "REGEDIT4" and
 *   "Windows Registry Editor Version 5.00" are skipped.
 * A line that is none of these (a value before any section, another root, a bad number, another
 * value type such as hex:, a line the settings layer refuses) is skipped and noted in the debugger
 * output; the other lines are still merged.  Nothing is deleted.
 *
 * Exit codes: */
#ifndef REGMERGE_H
#define REGMERGE_H

#define REGMERGE_EXIT_DONE 0          /* every line merged */
#define REGMERGE_EXIT_USAGE 1         /* no /im switch or no script named */
#define REGMERGE_EXIT_UNREADABLE 2    /* the script cannot be read */
#define REGMERGE_EXIT_TOO_LARGE 3     /* the script is larger than REGMERGE_MAX_SCRIPT bytes */
#define REGMERGE_EXIT_SKIPPED 4       /* some lines were skipped, the others merged */

#define REGMERGE_MAX_SCRIPT (4 * 1024 * 1024)

#endif /* REGMERGE_H */
