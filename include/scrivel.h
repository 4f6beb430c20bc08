/* Scrivel: the rich-text editor library.
 *
 * The editor keeps a document of display lines made of character cells; each cell points to an
 * interned TextAttribute record.  Its native text form is escape-tagged text (ESC and a tag
 * letter; see the library folder for the tags); it also reads and writes RTF.  This header holds
 * the records that cross the library boundary and the exported operations. */
#ifndef SCRIVEL_H
#define SCRIVEL_H

#include "recordcheck.h"
#include <windows.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Anchor carried by a text attribute when its style bit SCRIVEL_STYLE_ANCHOR is set (16 bytes).
 * type: 1 link, 2 heading anchor, 3 view link, 4 numbered anchor.  flags say which fields hold a
 * value.  text is owned by the attribute that holds the anchor. */
#define SCRIVEL_ANCHOR_LINK 1
#define SCRIVEL_ANCHOR_HEADING 2
#define SCRIVEL_ANCHOR_VIEWLINK 3
#define SCRIVEL_ANCHOR_NUMBERED 4
#define SCRIVEL_ANCHOR_TARGET_VALID 0x01
#define SCRIVEL_ANCHOR_COUNTER_VALID 0x02
#define SCRIVEL_ANCHOR_ID_VALID 0x04
#define SCRIVEL_ANCHOR_TEXT_VALID 0x08
#define SCRIVEL_ANCHOR_SECOND_VALID 0x10
typedef struct ScrivelAnchor {
    BYTE type;       /* 0  */
    BYTE flags;      /* 1  */
    WORD counter;    /* 2  */
    DWORD target;    /* 4  */
    DWORD identifier; /* 8 */
    char *text;      /* 12 */
} ScrivelAnchor;

/* One interned attribute of text (64 bytes).  type: 0 text run, 1 tab, 3 inline object.
 * charset: a Windows charset number; 1 names the font by fontNumber (255 = none).  language: the
 * editor's coarse language code (256 Western, 512 Simplified Chinese, 768 Traditional Chinese,
 * 1024 Japanese, 1280 Korean, ...).  style: the SCRIVEL_STYLE_ bits.  colour: 0x00BBGGRR.
 * sizeStep: 1 to 5 (0 draws as 1, more than 5 as 5).  font, ascent and descent belong to the
 * document that interned the record.  secondText is the visible text of a numbered anchor.
 * paragraphBits are kept and compared but neither written nor drawn.  objectKind: the icon slot
 * (3, 4 or 5) of an inline object. */
#define SCRIVEL_STYLE_BOLD 0x01
#define SCRIVEL_STYLE_ITALIC 0x02
#define SCRIVEL_STYLE_UNDERLINE 0x04
#define SCRIVEL_STYLE_SUPER 0x08
#define SCRIVEL_STYLE_SUB 0x10
#define SCRIVEL_STYLE_SANS 0x20
#define SCRIVEL_STYLE_ANCHOR 0x40
typedef struct TextAttribute {
    BYTE type;           /* 0  */
    BYTE charset;        /* 1  */
    WORD language;       /* 2  */
    BYTE fontNumber;     /* 4  */
    BYTE style;          /* 5  */
    BYTE sizeStep;       /* 6  */
    BYTE reserved0;      /* 7  */
    COLORREF colour;     /* 8  */
    HFONT font;          /* 12 */
    WORD ascent;         /* 16 */
    WORD descent;        /* 18 */
    ScrivelAnchor anchor; /* 20 */
    char *secondText;    /* 36 */
    DWORD paragraphBits; /* 40 */
    DWORD objectKind;    /* 44 */
    LONG rtfFontEntry;   /* 48: the RTF font-table entry of the last RTF write */
    BYTE reserved[12];   /* 52 */
} TextAttribute;

#ifdef __cplusplus
RECORD_CHECK_X86(sizeof(ScrivelAnchor) == 16, "anchor sub-record is 16 bytes");
RECORD_CHECK_X86(sizeof(TextAttribute) == 64, "text attribute is 64 bytes");
static_assert(offsetof(TextAttribute, colour) == 8, "colour offset");
RECORD_CHECK_X86(offsetof(TextAttribute, anchor) == 20, "anchor offset");
RECORD_CHECK_X86(offsetof(TextAttribute, objectKind) == 44, "object kind offset");
#endif

/* ---- RTF to tagged text -----------------------------------------------------------------------
 * Converts RTF (NUL-terminated) into the editor's escape-tagged text.  out null: returns the
 * length of the tagged text without its NUL; callers then pass a buffer of that length + 4, which
 * receives the text and a NUL.  Conversion stops at the first damaged construct (an unmatched
 * '}', a keyword cut by the end, a bad hex digit) and returns what was produced up to there;
 * 0 for a null text. */
int WINAPI Scrivel_RtfToText(const char *rtf, char *out);


/* ---- Editor window ------------------------------------------------------------------------------
 * Notifications of an editor window to its creator: code 0 the typing attribute (TextAttribute *),
 * 1 undo available (int * holding 1 or 0), 2 selection present (int *), 3 a click on an anchor
 * (ScrivelAnchor * of the clicked cell).  The pointers are valid during the call only. */
typedef void(CALLBACK *ScrivelNotifyCallback)(HWND editor, int code, void *data);

/* Creates an editor window (class "SCRIVEL10").  Bit 31 of exStyle is the editor's own (Enter
 * alone inserts no line break) and is not passed to the system.  Style bits 0x20 plain text,
 * 0x40 read-only, 0x80 top line kept on the last page, 0x100 custom-drawn scroll bars.  The
 * callback may be null; menuMask selects the context-menu entries.  Null when creation fails.
 * The values travel with the window's creation data, so several threads may create editors at
 * once.  The window owns its document; destroying the window frees it. */
HWND WINAPI Scrivel_CreateWindow(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                                 HWND parent, HMENU menuOrId, ScrivelNotifyCallback callback,
                                 DWORD menuMask);

/* Hands a message of the host's loop to the input-method message pump before TranslateMessage:
 * 1 when the pump took it, 0 otherwise (always 0 without the Active IMM service). */
int WINAPI Scrivel_TranslateMessage(const MSG *msg);

/* Messages of an editor window. */
#define SCM_NEWDOC 0x40E
#define SCM_LOADFILE 0x40F
#define SCM_INSERTFILE 0x410
#define SCM_SETWRAP 0x411
#define SCM_SETOUTLINEDEPTH 0x412
#define SCM_GETATTRIBUTE 0x413
#define SCM_SETATTRIBUTE 0x414
#define SCM_UNDO 0x415
#define SCM_SAVE 0x416
#define SCM_SAVEAS 0x417
#define SCM_SAVESELECTION 0x418
#define SCM_CLEAR 0x419
#define SCM_CUT 0x41A
#define SCM_COPY 0x41B
#define SCM_PASTE 0x41C
#define SCM_CANPASTE 0x41D
#define SCM_PRINT 0x41E
#define SCM_GETPLAINTEXT 0x41F
#define SCM_GETCHARSETTEXT 0x420
#define SCM_GETTAGGEDTEXT 0x421
#define SCM_SETTAGGEDTEXT 0x422
#define SCM_SELECTALL 0x423
#define SCM_GETCHARSET 0x424
#define SCM_SETCHARSET 0x425
#define SCM_GETSELTEXT 0x42A
#define SCM_SETTEXTEX 0x42B
#define SCM_PAINTTO 0x42C
#define SCM_INSERTTEXT 0x42D
#define SCM_GETCONTENTHEIGHT 0x42E
#define SCM_SETDEFAULTFONT 0x42F
#define SCM_GETCARET 0x430
/* To the parent: wParam = the editor when it loses the focus; wParam = the character and lParam
 * the WM_CHAR lParam after every character the editor handled. */
#define VLM_EDIT_NOTIFY 0x8B1
#define VLM_EDIT_CHAR 0x8B2

/* Custom-drawn scroll bars (editor style 0x100): the parent draws every part from WM_NOTIFY with
 * code SCRIVEL_NM_SBCUSTOMDRAW.  stage 1 before a bar, 0x10001 one part, 2 after a bar; bar 0
 * horizontal, 1 vertical, 3 the size box; part 0/1 arrows, 2/3 page areas, 5 thumb, 32 size box;
 * state 32 normal, 1 pressed, 64 hot, 4 disabled; rect in window coordinates. */
#define SCRIVEL_NM_SBCUSTOMDRAW (-4095)
typedef struct ScrivelSbCustomDraw {
    NMHDR hdr;
    DWORD stage;
    UINT bar;
    UINT part;
    RECT rect;
    UINT state;
    HDC dc;
} ScrivelSbCustomDraw;

#ifdef __cplusplus
}
#endif

#endif /* SCRIVEL_H */
