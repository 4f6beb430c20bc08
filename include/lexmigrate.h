/* Lexmigrate: the dictionary upgrade program (Lexmigrate.exe).
 *
 * Upgrades the installed dictionaries of the two older versions to the version-4 format: version 3
 * from its keys in the machine store, version 2 from its settings file Velomira.ini.  Each old file
 * is known by name and exact size, copied into the install folder, completed from an upgrade patch
 * and a base file found in the install folder or on the CD-ROM, switched into place and entered
 * into the catalogue through the settings layer.  Then it offers dictionaries that can be added
 * from the CD-ROM, and at the end starts LEXFINDER.EXE beside itself with "/n".  File layouts:
 * docs/formats/upgrade-files.md.
 *
 * Command line: "/Hide" is accepted (tokens separated by spaces, without case); the upgrade runs
 * the same with or without it.  The program always ends with exit code 0.
 *
 * Machine store values read: InstallPath of Software\Halvenstone\Velosuite\6.0 (the install
 * folder; without it nothing is upgraded), "Velomira Dir" of ...\3.0\Install (the version-3
 * program is in its folder Program) and of ...\4.0\Install (base of bare catalogue file names),
 * and the version-3 catalogue ...\3.0\Dictionary.
 *
 * Drives: the CD-ROM drive is the first CD-ROM drive at start or the one chosen when the program
 * asks for a disc; network drives can be chosen too.  LEXMIGRATE_DRIVES in the environment
 * replaces the machine's drives for unattended runs: "D=C:\folder;E=C:\other" makes D: and E: the
 * only CD-ROM drives, with those folders as their roots; no real drive is looked at then. */
#ifndef LEXMIGRATE_H
#define LEXMIGRATE_H

/* Single instance: a second start ends at once. */
#define LEXMIGRATE_MUTEX "VodUvidizoR5"
/* Class of the main window, which holds the progress dialog (UIA_UPGRADE_IDD_PROGRESS). */
#define LEXMIGRATE_CLASS "VodUvidizoR5"
/* Opened (not created) at start and set at the end, when it exists. */
#define LEXMIGRATE_DONE_EVENT "VLV4DICUPGRADE"
/* The upgrade refuses to run (with a message) while one of these exists: the resident program's
 * mutexes and main-window classes of this and of the earlier version. */
#define LEXMIGRATE_RESIDENT_MUTEX "VELOMIRAEXIST"
#define LEXMIGRATE_RESIDENT_MUTEX_V5 "Velomimira V5"
#define LEXMIGRATE_RESIDENT_CLASS "VelomiraV5MainWindow"
#define LEXMIGRATE_RESIDENT_CLASS_V5 "VELOMIRA"
/* The environment variable of the injected drives. */
#define LEXMIGRATE_DRIVES_VARIABLE "LEXMIGRATE_DRIVES"

#endif /* LEXMIGRATE_H */
