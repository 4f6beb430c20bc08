/* Keydrill: the typing-drill program that the word manager's tool bars and the search station
 * start (command 10090).
 *
 * KEYDRILL.EXE lies in the folder of the program that starts it; its callers offer the command only
 * when that file exists.  Command line: the program's own full path; nothing after it is read.
 * It shows one window (class KEYDRILL_CLASS) and ends with exit code 0 when that window closes.
 *
 * The drill: KEYDRILL_LINE_COUNT lines from the program's resources, each a prompt (Japanese or
 * English) and a line of ASCII text to type.  Every character typed (WM_CHAR) is compared with the
 * next character of the line: the same character is taken and the cursor moves on; any other is a
 * miss, counted and not taken.  Control characters other than Enter are ignored.  A complete line
 * brings the next one; after the last line the window shows the result (characters typed right,
 * misses, accuracy), and Enter starts the drill again from the first line.
 *
 * KEYDRILL_WM_PROGRESS (WM_APP + 1), wParam one of the KEYDRILL_PROGRESS_ values, answers how far
 * the drill has come (for other programs and tests; 0 for any other wParam). */
#ifndef KEYDRILL_H
#define KEYDRILL_H

#define KEYDRILL_CLASS "KeydrillWindow"
#define KEYDRILL_LINE_COUNT 6

#define KEYDRILL_WM_PROGRESS (0x8000 + 1)
#define KEYDRILL_PROGRESS_LINE 0      /* the current line from 0; KEYDRILL_LINE_COUNT when done */
#define KEYDRILL_PROGRESS_COLUMN 1    /* characters of the current line typed so far */
#define KEYDRILL_PROGRESS_TYPED 2     /* characters taken since the drill (re)started */
#define KEYDRILL_PROGRESS_MISSES 3    /* misses since the drill (re)started */
#define KEYDRILL_PROGRESS_LINES 4     /* KEYDRILL_LINE_COUNT */

#endif /* KEYDRILL_H */
