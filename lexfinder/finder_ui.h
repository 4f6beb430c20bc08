// The finder program's windows: the frame with the result dialog, the drive options, the folder
// chooser and the questions asked during registration.  Templates, strings and icons come from the
// resource library (Uiassets.dll) by the numbers uiassets.h names.
#ifndef LEXFINDER_FINDER_UI_H
#define LEXFINDER_FINDER_UI_H

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "finder_int.h"

#define FINDER_FRAME_CLASS "VelomiraV5DicSearch"

// ---- Frame and result dialog -----------------------------------------------------------------------
// Registers the frame's class (icon from the program, arrow cursor, window background).
bool Frame_RegisterClass(HINSTANCE instance);
// Creates the visible frame with the result dialog as its child; null when it cannot.
HWND Frame_Create(HINSTANCE instance, VLFinderState *st);
// Runs the message loop until the frame is destroyed.
void Frame_Run(HWND frame);
// The result dialog inside the frame (created by the frame at its creation).
HWND Result_Create(HWND frame, VLFinderState *st);

// ---- Drive options ---------------------------------------------------------------------------------
// Asks what and where to search: true on OK with st->search and the drive list set.
bool Drives_Ask(VLFinderState *st, std::string *driveList);

// ---- Folder chooser ------------------------------------------------------------------------------
// Lets the user choose a folder, starting at path (a FINDER_PATH buffer, changed on OK); true on OK.
bool Folder_Choose(HWND owner, char *path);

// ---- Questions -----------------------------------------------------------------------------------
int Questions_Overwrite(HWND owner, const char *path, int *sameForRest);
int Questions_Title(HWND owner, char *name);
int Questions_FolderName(HWND owner, const char *title, const char *myDic, char *name);

// ---- Drive rows (drive options and folder chooser) -------------------------------------------------
// "X: label": a fixed disk's volume label, a network drive's server and share (string 2337); the
// first character upper case, the rest lower case.  A root that is a folder shows itself.
std::string DriveRow_Text(const std::string &root);
// The shell's small icon of a path in the system image list, and that list (shared, not destroyed).
int DriveRow_Icon(const char *path);
HIMAGELIST DriveRow_ImageList();

#endif
