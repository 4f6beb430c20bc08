/* Prefpane: the option window of the suite.
 *
 * The main option sheet (a modeless property sheet of seven pages over the option records of
 * Prefstore: start-up, capture, hot keys, pop-up window and skins, candidate list, capture
 * restrictions, control bar), the modal language sheet over one language's settings kept by the
 * language manager (Linguakeeper), and the modal option dialogs of the search window (with its web
 * links), the translation window and the study-list viewer.  Templates, titles, icons and strings
 * come from the resource library (Uiassets.dll).
 *
 * Every page and dialog loads its record, shows it, and on OK saves what the user changed: the
 * fields whose controls now read differently from what they read when the page was filled are
 * written over the record as it is stored at that moment; every other field keeps its stored value
 * (also those the page does not show).  A page or dialog whose controls were not changed saves
 * nothing.
 *
 * The main sheet runs on the calling thread; the caller's message loop feeds it: PSM_ISDIALOGMESSAGE
 * for each message, and Prefpane_CloseOptions once PSM_GETCURRENTPAGEHWND answers 0 (the sheet was
 * ended with OK or Cancel).  When a page was saved, VLM_OPTIONS_CHANGED (0x83EC, 0, 0) goes to the
 * resident program's main window (Sharedkit_SendToMain) as the sheet closes; after the language
 * sheet's OK when it saved something.
 *
 * Exported by ordinal only. */
#ifndef PREFPANE_H
#define PREFPANE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The message that tells the running programs to read their options again. */
#define PREFPANE_VLM_OPTIONS_CHANGED 0x83EC
/* The resident program's help message (wParam the help command, lParam the topic). */
#define PREFPANE_VLM_SHOW_HELP 0x83FE

/* Shows the main option sheet, modeless, owned by owner.  One sheet per process: while one is
 * live it is brought to the foreground and returned, and nothing new is made.  While the setup
 * wizard's window (class VelomiraV5SetupWizardWindow) exists nothing is shown, the owner is brought
 * to the foreground and the answer is 0.  The sheet's window handle, 0 when not shown. */
HWND WINAPI Prefpane_ShowOptions(HWND owner);

/* Shows the modal language sheet of one language (code in the low 16 bits), five search pages and
 * the fonts page over the language manager's record.  On OK the changed parts are written back
 * (Linguakeeper_SetLangInfo) and VLM_OPTIONS_CHANGED is sent.  The property sheet's result (0 when
 * cancelled); -1 when the language is unknown. */
INT_PTR WINAPI Prefpane_ShowLanguageOptions(HWND owner, DWORD language);

/* Modal option dialogs of the search window, the translation window and the study-list viewer.
 * One of each kind at a time: a second call while one is open ends at once with 0 (the search and
 * study dialogs bring the open one to the foreground).  1 after OK (the options saved), 0
 * otherwise. */
int WINAPI Prefpane_ShowSearchWindowOptions(HWND owner);
int WINAPI Prefpane_ShowTranslationWindowOptions(HWND owner);
int WINAPI Prefpane_ShowStudyWindowOptions(HWND owner);

/* When a page of the main sheet saved its record since the last notice: sends VLM_OPTIONS_CHANGED
 * to the resident program and answers its result; otherwise 0.  The flag is cleared either way. */
LRESULT WINAPI Prefpane_NotifyChanged(void);

/* Ends the main sheet: saves its position (Window\OptWin), destroys it, then Prefpane_NotifyChanged
 * (whose result it answers).  A handle that is not the live sheet is neither saved nor destroyed;
 * the notice is still sent when due. */
LRESULT WINAPI Prefpane_CloseOptions(HWND sheet);

#ifdef __cplusplus
}
#endif

#endif /* PREFPANE_H */
