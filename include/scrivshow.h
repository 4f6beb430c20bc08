/* Scrivshow: the entry-text viewer control and the renderers of entry text.
 *
 * Entry text is escape-tagged text: charset tags (ESC 'F' hh, or the six-byte ESC 'F' '0' '1' hh),
 * style tags (bold, italic, underline, colour, size, super- and subscript, paragraph bits, outline
 * level) and anchors (links, headings, numbered objects, whose arguments are not shown); FS (0x1C)
 * may stand for ESC before a style tag; line ends are CR (a CR LF pair or a lone LF counts as one).
 * Exported by ordinal only. */
#ifndef SCRIVSHOW_H
#define SCRIVSHOW_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Renderers -----------------------------------------------------------------------------
 * Each takes the text and its length in bytes (-1: up to its terminator) and writes into out at most
 * outSize - 1 bytes and a terminator.  The result is the length of the whole rendering without the
 * terminator, also when out is null (size query: call once without a buffer, then with
 * result + 1 bytes).  0 for a null text. */

/* Plain text: every tag dropped, line ends as LF.  Charset -1 keeps the text of every charset;
 * another value keeps 7-bit text and only the characters of that charset. */
int WINAPI Scrivshow_RenderPlain(const char *text, int length, char *out, int outSize, int charset);
/* An RTF document: one font per charset used (with its \fcharset), the styles and colours of the
 * tags, the dictionary id noted in an ignorable group. */
int WINAPI Scrivshow_RenderRtf(const char *text, int length, char *out, int outSize, DWORD dictionaryId);
/* The viewer's own format ("VLTF Text Format"): the tagged text with FS written as ESC and every
 * line end as CR. */
int WINAPI Scrivshow_RenderVltf(const char *text, int length, char *out, int outSize);

/* ---- Viewer control ---------------------------------------------------------------------------
 * Window class SCRIVSHOW10.  Shows tagged text in the fonts of its charsets; lines break at the
 * client width (after the blanks behind a word, before a double-byte character, inside a word only
 * when it is wider than the line) and follow a new width.  Creates a viewer; the window, or null. */
HWND WINAPI Scrivshow_CreateViewer(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND parent,
                                   UINT id);
/* Handles the viewer's own commands (copy 5202, font sizes and display styles of its menus); non-zero
 * when handled, 0 for every other command. */
int WINAPI Scrivshow_HandleCommand(HWND viewer, UINT command);
/* Fill a (sub)menu with the viewer's font sizes (A) or display styles (B), the current one checked;
 * the number of items. */
int WINAPI Scrivshow_InitMenuA(HMENU menu, HWND viewer);
int WINAPI Scrivshow_InitMenuB(HMENU menu, HWND viewer);

/* Commands of the viewer's menus. */
#define SCRIVSHOW_CMD_FONTSIZE 28416 /* + size in points, 8 to 16 */
#define SCRIVSHOW_CMD_STYLE 28448    /* + display style, 0 to 3 */

/* Messages the viewer takes (wParam, lParam -> result). */
#define SCV_SETCOLORS 0x400    /* 2, three DWORDs whose second is the background colour -> 1 */
#define SCV_SETCHARSETTEXT 0x402 /* charset, untagged text in it -> 1 (1026) */
#define SCV_SHOWENTRY 0x405    /* 1, data item: shows its strings -> 1 (1029) */
#define SCV_SETFONTSIZE 0x407  /* size in points -> 1 */
#define SCV_SETDISPSTYLE 0x409 /* display style, open layer -> 1 */
#define SCV_SETLAYER 0x40B     /* open layer -> 1 */
#define SCV_PRINT 0x40F        /* 0, PRINTDLGA* with a device context -> 1 when printed: the text broken
                                  at the page's width, page after page, half an inch of margin; a
                                  context that is not a printer's (a preview, a memory bitmap) gets the
                                  first page drawn on it, without a document (1039) */
#define SCV_CHECK1 0x410       /* -> non-zero when the viewer holds no text (no capture) (1040) */
#define SCV_SETOPTION 0x412    /* 1, 0: the pop-up form: lines break at 60 average characters of the base
                                  font whatever the window's width, so that notice 1 gives the size the
                                  text wants and the pop-up grows to it; 0, 0: lines break at the client
                                  width (the default) -> 1 (1042) */
#define SCV_CHECK2 0x413       /* -> non-zero while the user selects with the mouse (no capture) (1043) */
#define SCV_SETFLAGS 0x415     /* 0x80000000 no line feeds, 0x40000000 no rich text, 0x20000000 no layers -> 1 */
#define SCV_LANGMANAGER 0x417  /* 0, 0: opens the language manager with the viewer's text (in the shown
                                  entry's language, else that of the text's charset) -> 1 when open; a
                                  viewer without text opens nothing and answers non-zero when the manager
                                  could be opened (a tool button's state) (1047) */
#define SCV_CAPTURE 0x418      /* 0, MAKELONG(x, y) client point: writes the capture record of the point into
                                  the mapping SCRIVSHOWMAPPEDFILE (its text: the run of the point's charset
                                  on the line as shown; the value at 2172: the language of that text, the
                                  shown entry's or the charset's) -> 1 when written, else 0 (1048) */
#define SCV_SETTEXT 0x41F      /* tagged text, flags: 1 added to the text shown, 2 a line break after
                                  it, 4 the end of the text brought into view -> 1 when shown, 0 for no
                                  text (1055) */

/* Notice sent to the parent (WM_NOTIFY, code 1) after new text: the size of the content. */
typedef struct ScrivshowSizeNotify {
    NMHDR hdr;
    int width;
    int height;
} ScrivshowSizeNotify;

#ifdef __cplusplus
}
#endif

#endif /* SCRIVSHOW_H */
