/* Quickfield: the single-line input field of the product line, window class "PPLINE".
 *
 * A field is an edit control that keeps its text in UTF-16 and has a charset of its own (a
 * Windows charset number; a new field starts in the user-interface charset, the charset of the
 * system's ANSI code page).  The charset chooses the font the field shows its text in and the code
 * page in which QFM_GETTEXTEX hands the text out and QFM_SETTEXTEX takes it in, so a field shows
 * Shift-JIS, Hangul or Western text alike under any system code page.  The plain ANSI text
 * messages (WM_SETTEXT, WM_GETTEXT, SetWindowTextA, GetWindowTextA) go through the system code
 * page as for any Unicode window; every edit-control message (EM_SETSEL, EM_LIMITTEXT, WM_CUT,
 * WM_COPY, WM_PASTE, WM_CLEAR, ...) works as on an edit control.  ES_MULTILINE and ES_WANTRETURN
 * are taken off at creation and ES_AUTOHSCROLL is put on.
 *
 * Exported by ordinal only:
 *   101 Quickfield_Init    102 Quickfield_Term    103 Quickfield_PreTranslateMessage
 *   104 Quickfield_TranslateMessage
 *
 * The class is application-global (CS_GLOBALCLASS), so dialog templates of any module of the
 * process can name it.
 *
 * Typing: characters typed into a field reach it whole (a character outside the system code page
 * included) when the thread's message loop passes keyboard messages through the two translate
 * calls below; a plain ANSI loop (GetMessageA, TranslateMessage, DispatchMessageA) still works for
 * every character of the system code page.  Ctrl+A selects the whole text.
 *
 * Notices to the parent, as WM_COMMAND with the control id in the low word of wParam, the code in
 * the high word and the field in lParam: every notice of an edit control (EN_SETFOCUS,
 * EN_KILLFOCUS, EN_CHANGE, EN_UPDATE, EN_MAXTEXT, ...), and QFN_RETURN when Enter reaches the
 * field itself (a dialog's IsDialogMessage takes Enter first and clicks the default button
 * instead). */
#ifndef QUICKFIELD_H
#define QUICKFIELD_H

#include <windows.h>

#define QUICKFIELD_CLASS "PPLINE"
#define QUICKFIELD_CLASSW L"PPLINE"

/* ---- Messages to a field ---- */
/* Selects the whole text (the callers post it when the field gains the focus, so that typing
 * replaces the last word).  wParam and lParam 0; answers 1. */
#define QFM_SELECTALL 0x0FC2
/* Undoes the last change of the text.  wParam and lParam 0; answers 1 when something was undone. */
#define QFM_UNDO 0x0FC4
/* wParam a charset number (0 to 255): the field shows its text in that charset's font, and the
 * text calls below use that charset's code page.  The text itself stays as it is.  Answers the
 * previous charset, or -1 when wParam is not a charset (nothing changes). */
#define QFM_SETCHARSET 0x0FC8
/* Answers the field's charset. */
#define QFM_GETCHARSET 0x0FC9
/* wParam the size of the buffer in bytes, lParam the buffer (char *): copies the text in the code
 * page of the field's charset, as many whole characters as fit before the terminator, and
 * terminates it.  Answers MAKELRESULT(bytes copied, charset); with a null buffer or a size of 0,
 * MAKELRESULT(bytes of the whole text, charset).  Characters that the charset cannot hold come
 * out as '?'. */
#define QFM_GETTEXTEX 0x0FD4
/* wParam a charset number, lParam the text in that charset's code page (null: empty): the field
 * takes the charset (as QFM_SETCHARSET) and the text.  Answers 1, or 0 when wParam is not a
 * charset (nothing changes). */
#define QFM_SETTEXTEX 0x0FD5
/* One UTF-16 unit typed into the field (wParam), with the lParam of its WM_CHAR; posted by the
 * translate calls in place of the WM_CHAR, so that the ANSI message loop cannot cut the
 * character to the system code page.  Handled as WM_CHAR. */
#define QFM_CHAR 0x0FD6

/* ---- Notice to the parent ---- */
/* Enter was pressed in the field (WM_COMMAND code). */
#define QFN_RETURN 0x0FC0

#ifdef __cplusplus
extern "C" {
#endif

/* Registers the class "PPLINE" for the process; every module that uses fields calls it once with
 * its own instance, and Quickfield_Term with the same instance when it no longer does.  The class
 * stays registered until the last caller has ended.  1 on success, 0 when the class cannot be
 * registered. */
BOOL WINAPI Quickfield_Init(HINSTANCE instance);
/* Ends one Quickfield_Init; the last one unregisters the class, unless a field is still open:
 * then the class stays registered (and usable) until a later Init and Term pair ends it. */
void WINAPI Quickfield_Term(HINSTANCE instance);

/* Called first in a message loop with each message.  A key press in a field that the field edits
 * with (characters, Backspace, Delete, Left, Right, Home, End, Insert, and with Ctrl: A, C, V, X,
 * Z, Insert, Backspace, Delete, Left, Right, Home, End) is translated and dispatched here, and the
 * answer is 1: the loop goes on to the next message, so no accelerator table and no dialog takes
 * an editing key from the field.  Enter, Esc, Tab, Up, Down, Page Up, Page Down, the function keys,
 * the application key, keys with Alt and other keys with Ctrl are left to the loop: the answer is
 * 0, and so for every other message. */
BOOL WINAPI Quickfield_PreTranslateMessage(MSG *msg);
/* Called in a message loop in place of TranslateMessage, before the message is dispatched.
 * Translates the message; the characters a key press in a field makes reach the field as
 * QFM_CHAR.  Answers what TranslateMessage answers. */
BOOL WINAPI Quickfield_TranslateMessage(const MSG *msg);

#ifdef __cplusplus
}
#endif

#endif /* QUICKFIELD_H */
