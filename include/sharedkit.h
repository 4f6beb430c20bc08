/* Sharedkit: the relay library of the product line.
 *
 * Messages to the resident program's main window and to the window of each window kind, hand-over
 * of lookup requests and study-list entries between processes by delivery id (never by pointer),
 * broadcast to every kind window, shared menu, command and help handlers, owner-drawn buttons, the
 * new-dictionary question at start-up and the user data folder.  Exported by ordinal only; the
 * module is named SHAREDKIT.DLL by its callers (the loader ignores case).
 *
 * Window kinds are found by their window classes:
 *   1 VelomiraV5SearchMain, 2 VelomiraV5SetupWindow, 3 VelomiraV5StudyListWindow,
 *   4 VelomiraV5TranslateWindow, 5 VelomiraV5PopupWindow, 7 VelomiraV5SetupWizardWindow.
 * Kinds 6, 8 and 9 and every other number have no window here ("no window of the kind").
 *
 * Environment switches (for unattended runs and tests):
 *   SHAREDKIT_DATA_DIR       root of the user data folder (default: <AppData>\Halvenstone\Velosuite)
 *   SHAREDKIT_NEWDIC_DUE     "1" makes Sharedkit_StartupCheck answer due, "0" not due
 *   SHAREDKIT_QUESTION_ANSWER  scripted answer of Sharedkit_MessageBoxCheck: "6" (yes) or "2"
 *                            (cancel), optionally followed by ",0" or ",1" for the check box state
 *                            written back; no dialog is shown then. */
#ifndef SHAREDKIT_H
#define SHAREDKIT_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Message through which a delivered lookup request reaches its receiver (lParam the delivery id). */
#define SHAREDKIT_VLM_DELIVER_ITEM 0x83F3

/* ---- Start ------------------------------------------------------------------------------------
 * Per-process set-up; may be called any number of times, at any point of a program's start, and
 * from add-in objects inside foreign hosts.  No user interface.  Always 1. */
int WINAPI Sharedkit_Init(void);
int WINAPI Sharedkit_InitAddin(void);

/* ---- Relay ----------------------------------------------------------------------------------- */
/* Sends (message, wParam, lParam) to the main window of class VelomiraV5MainWindow; its result,
 * 0 when the resident program does not run. */
LRESULT WINAPI Sharedkit_SendToMain(UINT message, WPARAM wParam, LPARAM lParam);
/* Sends (message, wParam, lParam) to the window of the kind; its result, 0 when there is none. */
LRESULT WINAPI Sharedkit_SendToKind(int kind, UINT message, WPARAM wParam, LPARAM lParam);
/* Sends the message to the live window of every kind (1, 2, 3, 4, 5, 7) for any scope except 6;
 * scope 6 follows the main window's own broadcast to the same windows and sends nothing more.  The
 * main window is never a target.  Returns the number of windows reached. */
int WINAPI Sharedkit_Broadcast(int scope, UINT message, WPARAM wParam, LPARAM lParam);

/* ---- Delivery by id -----------------------------------------------------------------------------
 * A delivery deposits a copy of the record's bytes under a fresh machine-wide id, sends
 * (message, wParam, id) to the window of the kind and withdraws the deposit when the send returns,
 * so the receiver must fetch inside its handler.  The caller keeps its own record.  Each deposit
 * can be fetched once; a second fetch, an unknown or withdrawn id gives null.  Records come from
 * the dictionary data library (Lexidata.dll), which must be loadable beside this library. */

/* Hands a copy of the data item to the window of the kind; the receiver's result, -1 when no window
 * of the kind takes it (none, hung, or an item that is not a data item). */
LRESULT WINAPI Sharedkit_DeliverEntry(int kind, UINT message, WPARAM wParam, const void *item);
/* The receiver's own data item (free with VLDataItem_Destroy), or null. */
void *WINAPI Sharedkit_GetDeliveredEntry(LPARAM id);
/* Hands a copy of the lookup request to the window of the kind; the receiver's result, 0 when no
 * window of the kind exists or the request is null. */
LRESULT WINAPI Sharedkit_DeliverItem(int kind, UINT message, WPARAM wParam, const void *request);
/* The receiver's own lookup request (free with VLTranParam_Destroy), or null. */
void *WINAPI Sharedkit_ReceiveItem(LPARAM id);
/* Turns the clipboard text (at most 10240 bytes) into a lookup request of request kind 7 for the
 * dictionary, in the system's ANSI charset, word position 0, source window the given main window,
 * and delivers it to the kind as Sharedkit_DeliverItem does; the receiver's result, 0 when the
 * clipboard holds no text.  Does not pass clipboard notices down the viewer chain. */
LRESULT WINAPI Sharedkit_DeliverClipboard(HWND mainWindow, int kind, DWORD dictionaryId, UINT message,
                                          WPARAM wParam);

/* ---- Owner-drawn buttons ------------------------------------------------------------------------
 * Paint the button of the draw record: a push frame (sunken when pressed, or when the record says
 * the button is selected) and the centred text in the default GUI font.  A dictionary button 20
 * pixels high or more shows the language's 16 x 16 icon at its left when the language manager
 * (Linguakeeper.dll) is loaded in the process.  1 when painted, 0 for a null record. */
int WINAPI Sharedkit_DrawDicButton(const DRAWITEMSTRUCT *draw, const char *name, DWORD language, int pressed);
int WINAPI Sharedkit_DrawTextButton(const DRAWITEMSTRUCT *draw, const char *text, int pressed);
int WINAPI Sharedkit_DrawColorDicButton(const DRAWITEMSTRUCT *draw, const char *name, COLORREF color, int pressed);

/* ---- Shared menus, commands and help ------------------------------------------------------------
 * Each answers non-zero only for a command it owns and 0 for every other, so callers can offer it
 * any command first.  The search-option menu is the callers' own: the menu handlers leave the menu
 * as it is and answer 0.  The window handler owns the edit commands 5201 cut, 5202 copy, 5203 paste,
 * 5205 clear and 5206 select all on the focused control inside the window. */
int WINAPI Sharedkit_UpdateDicMenu(HMENU menu, int mode);
int WINAPI Sharedkit_FillDicMenu(HMENU menu, int mode);
int WINAPI Sharedkit_DoDicMenuCommand(UINT command, DWORD flags, DWORD searchOption, int incremental);
int WINAPI Sharedkit_HandleWindowCommand(HWND window, UINT command);
int WINAPI Sharedkit_HandleControlCommand(HWND list, UINT command);
/* Help for the commands 1, 5601, 5602 and 5604 to 5607: the thread's help window (class
 * SharedkitHelp, owned by the window's top-level window, made once and brought forward again) shows
 * the command's subject, the topic number and the path when given (also noted in the debugger
 * output; the suite ships no help files); 1 when shown, 0 for every other command. */
int WINAPI Sharedkit_ShowHelp(HWND window, UINT command, DWORD topic, const char *path);

/* ---- New-dictionary question ------------------------------------------------------------------- */
/* Non-zero when the question is due: never while NoCheckNewDic is 1 below
 * SOFTWARE\Halvenstone\Velosuite\4.0\Dictionary\Setup (current user), otherwise when
 * SHAREDKIT_NEWDIC_DUE is "1" or the DWORD NewDicPending there is non-zero.  Default 0. */
int WINAPI Sharedkit_StartupCheck(void);
/* Modal question with a check box (checked: keep asking); the text is resource string textId of
 * Uiassets.dll, the icon the system icon iconId.  The check box starts from *check and is written
 * back.  6 yes, 2 cancel.  SHAREDKIT_QUESTION_ANSWER scripts the answer. */
int WINAPI Sharedkit_MessageBoxCheck(HWND owner, UINT textId, UINT captionId, UINT style, UINT iconId, int *check);

/* ---- User data folder -------------------------------------------------------------------------- */
/* Fills buf (260 bytes) with the user data folder and a trailing backslash, creating it and its
 * StudyList folder; 1 when filled, 0 when buf is null or the folder cannot be made. */
int WINAPI Sharedkit_GetUserDataFolder(char *buf, DWORD reserved);

#ifdef __cplusplus
}
#endif

#endif /* SHAREDKIT_H */
