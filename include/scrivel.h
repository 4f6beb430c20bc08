/* Scrivel: the rich-text editor library.
 *
 * The editor keeps a document of display lines made of character cells; each cell points to an
 * interned TextAttribute record.  Its native text form is escape-tagged text (ESC and a tag
 * letter; see the library folder for the tags); it also reads and writes RTF.  This header holds
 * the records that cross the library boundary and the exported operations. */
#ifndef SCRIVEL_H
#define SCRIVEL_H

#include <windows.h>

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
static_assert(sizeof(ScrivelAnchor) == 16, "anchor sub-record is 16 bytes");
static_assert(sizeof(TextAttribute) == 64, "text attribute is 64 bytes");
static_assert(offsetof(TextAttribute, colour) == 8, "colour offset");
static_assert(offsetof(TextAttribute, anchor) == 20, "anchor offset");
static_assert(offsetof(TextAttribute, objectKind) == 44, "object kind offset");
#endif

/* ---- RTF to tagged text -----------------------------------------------------------------------
 * Converts RTF (NUL-terminated) into the editor's escape-tagged text.  out null: returns the
 * length of the tagged text without its NUL; callers then pass a buffer of that length + 4, which
 * receives the text and a NUL.  Conversion stops at the first damaged construct (an unmatched
 * '}', a keyword cut by the end, a bad hex digit) and returns what was produced up to there;
 * 0 for a null text. */
int WINAPI Scrivel_RtfToText(const char *rtf, char *out);

#ifdef __cplusplus
}
#endif

#endif /* SCRIVEL_H */
