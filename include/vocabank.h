/* Vocabank: the word manager.
 *
 * The word commands that every result window (pop-up viewer, search window, study-list viewer)
 * offers on the entry it shows, and the entry editor of user dictionaries: a window with head word,
 * reading, a rich-text body and a list of attached files, run with its own message loop on the
 * caller's thread while the owner window is disabled.  Saving goes through the engine's user-entry
 * operations; a saved change is announced to the suite's windows with VLM_USER_ENTRY_CHANGED.
 *
 * The dictionary code that the editor and the word commands pass around is the dictionary id as
 * entries carry it: sub-dictionary number | file id << 8. */
#ifndef VOCABANK_H
#define VOCABANK_H

#include <windows.h>
#include "lexidata.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sent to every kind window after an entry of a user dictionary was added, changed or deleted:
 * wParam the dictionary id, lParam the entry's position (0 after a delete). */
#define VLM_USER_ENTRY_CHANGED 0x8408

/* Window class of the entry editor. */
#define VOCABANK_EDITOR_CLASS "VlWordManagerWinClass"

/* Controls of the editor window. */
#define VOCABANK_IDC_REBAR 1294
#define VOCABANK_IDC_TOOLBAR 1303
#define VOCABANK_IDC_SIZE_COMBO 1002
#define VOCABANK_IDC_HEADWORD_LABEL 1016
#define VOCABANK_IDC_HEADWORD 1019
#define VOCABANK_IDC_SAVE 1365
#define VOCABANK_IDC_READING_LABEL 1017
#define VOCABANK_IDC_READING 1018
#define VOCABANK_IDC_CLOSE 2
#define VOCABANK_IDC_LINE 1021
#define VOCABANK_IDC_BODY 1024
#define VOCABANK_IDC_FILES 1015

/* Runs the editor for a new word of the user dictionary dicId with text as head word: the
 * editor's exit code; 0 at once when dicId is 0 and text is null or empty. */
int WINAPI Vocabank_NewWord(HWND owner, DWORD dicId, const char *text);
/* Runs the editor on an entry of a user dictionary: the exit code; 0 without an entry. */
int WINAPI Vocabank_EditEntry(HWND owner, const VLDataItem *entry);

/* Enables or greys the word commands (5401-5405, 5407, and 10090 in tool bars) in a menu (may be
 * null) and in a window (may be null: a ToolbarWindow32 tool bar, or any window whose children
 * carry the command ids).  The current entry is the current item of the data list's word list
 * when a data-list window is given, else entry. */
void WINAPI Vocabank_UpdateCommands(HMENU menu, HWND window, DWORD dicId, HWND dataList,
                                    const VLDataItem *entry);
/* Carries out a word command: 1 when command is one of the word commands (the window is then
 * brought to the foreground), 0 otherwise.  reserved is ignored; language is the language
 * manager's language for 5405. */
int WINAPI Vocabank_DoCommand(HWND window, DWORD dicId, HWND dataList, const VLDataItem *entry,
                              const char *text, DWORD reserved, UINT command, DWORD language);

#ifdef __cplusplus
}
#endif

#endif /* VOCABANK_H */
