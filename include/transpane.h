/* Transpane: the translation window program, window kind 4.
 *
 * TRANSPANE.EXE, started by the resident program from its own folder (command line: the program's
 * full path; nothing after it is read).  A second start brings the running window to the front
 * and ends at once with exit code 0.  Its one window (class TRANSPANE_CLASS, the class the relay
 * library finds kind 4 by) registers itself with the resident program's main window through
 * Sharedkit_SendToMain(VLM_REGISTER_WINDOW 0x83E9, 4, window) when it is created and leaves with
 * VLM_UNREGISTER_WINDOW (0x83EA, 4) when it is destroyed; the program ends with exit code 0 when
 * the window closes.  Its size and place are kept in TranslationWindowLayout (Prefstore).
 *
 * The window shows the last text handed to it: a line naming where it came from and the ids that
 * came with it, and the text in a read-only rich-edit control (TRANSPANE_IDC_TEXT).
 *
 * Messages it takes (sent through Sharedkit; other processes' input, so sizes are checked):
 *   VLM_TRANSLATE_RTF_FILE 0x8414   wParam dictionary id, lParam translator id: reads
 *                                   WebbridgeTmp.rtf of the temporary folder (GetTempPathA) and
 *                                   shows it as RTF
 *   VLM_TRANSLATE_TEXT_FILE 0x8415  the same with WebbridgeTmp.txt, shown as text in the system's
 *                                   ANSI code page
 *     Both read the file while the message is handled (the sender may write it anew right after)
 *     and leave it in place; 1 when it was shown, 0 when it is missing, unreadable or larger than
 *     TRANSPANE_MAX_FILE bytes (the text shown before stays).
 *   VLM_DELIVER_ITEM 0x83F3         lParam a delivery id: fetches the lookup request
 *                                   (Sharedkit_ReceiveItem), shows its text in the code page of
 *                                   its charset and frees it; 1 when one came, 0 otherwise
 *   VLM_CLOSE 0x83EB                closes the window (and so ends the program); 1
 *   TRANSPANE_WM_LAST (WM_APP + 1)  wParam TRANSPANE_LAST_SOURCE, _DICTIONARY or _TRANSLATOR:
 *                                   what the last shown text came with (for other programs and
 *                                   tests); 0 before any text and for any other wParam
 * Other messages of the suite's band (notices of the resident program) are answered with 0. */
#ifndef TRANSPANE_H
#define TRANSPANE_H

#define TRANSPANE_CLASS "VelomiraV5TranslateWindow"
#define TRANSPANE_IDC_SOURCE 1001
#define TRANSPANE_IDC_TEXT 1002
#define TRANSPANE_MAX_FILE (1024 * 1024)

#define TRANSPANE_VLM_DELIVER_ITEM 0x83F3
#define TRANSPANE_VLM_CLOSE 0x83EB
#define TRANSPANE_VLM_TRANSLATE_RTF_FILE 0x8414
#define TRANSPANE_VLM_TRANSLATE_TEXT_FILE 0x8415

#define TRANSPANE_WM_LAST (0x8000 + 1)
#define TRANSPANE_LAST_SOURCE 0      /* 1 RTF file, 2 text file, 3 delivered request */
#define TRANSPANE_LAST_DICTIONARY 1  /* the dictionary id */
#define TRANSPANE_LAST_TRANSLATOR 2  /* the translator id (0 for a delivered request) */

#define TRANSPANE_SOURCE_RTF 1
#define TRANSPANE_SOURCE_TEXT 2
#define TRANSPANE_SOURCE_REQUEST 3

#endif /* TRANSPANE_H */
