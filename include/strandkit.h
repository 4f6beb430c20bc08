/* Strandkit: see the library folder for what it holds. */
#ifndef STRANDKIT_H
#define STRANDKIT_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ==== Byte classes, code pages, charset tags, tagged compares and searches ====================
 * Charset numbers are Windows character-set numbers.  Byte classes exist for the double-byte
 * charsets 128 (Shift-JIS), 129 (Hangul), 134 (GB2312) and 136 (Big5); every other charset is
 * single-byte.  Escape-tagged text: ESC 'F' and two hexadecimal digits switch the charset of the
 * following bytes (ESC 'F' '0' '1' hh is the editor's six-byte font form); text before the first
 * tag is charset 0; line ends inside tagged text are single CR bytes.  Strings are NUL-terminated
 * unless a length is given; no walk ever steps over the terminating NUL, and a lead byte directly
 * before the NUL counts as one byte.  Nothing here keeps state beyond the UI charset, which is read
 * once from the default GUI font. */

/* Byte classes of one charset: each takes one byte and answers 1 or 0. */
int WINAPI Strandkit_SjisIsKana(BYTE b);
int WINAPI Strandkit_SjisIsLeadByte(BYTE b);
int WINAPI Strandkit_SjisIsTrailByte(BYTE b);
int WINAPI Strandkit_HangulIsLeadByte(BYTE b);
int WINAPI Strandkit_HangulIsTrailByte(BYTE b);
/* GB2312 lead and trail byte and Big5 lead byte (one range, three ordinals). */
int WINAPI Strandkit_GbIsLeadByte(BYTE b);
int WINAPI Strandkit_GbIsTrailByte(BYTE b);
int WINAPI Strandkit_Big5IsLeadByte(BYTE b);
int WINAPI Strandkit_Big5IsTrailByte(BYTE b);
/* Kana test of GB2312, Big5 and Hangul: always 0 (one function, three ordinals). */
int WINAPI Strandkit_NoKana(BYTE b);
int WINAPI Strandkit_Big5NoKana(BYTE b);
int WINAPI Strandkit_HangulNoKana(BYTE b);

/* Dispatchers by charset; 0 for a charset without byte classes. */
int WINAPI Strandkit_IsKana(UINT charset, BYTE b);
int WINAPI Strandkit_IsLeadByte(UINT charset, BYTE b);
int WINAPI Strandkit_IsTrailByte(UINT charset, BYTE b);

/* Split test over the first byteCount bytes: 2 when the count cuts a double-byte character,
 * 1 when it ends just before one, else 0. */
int WINAPI Strandkit_SjisIsSplitAt(const char *text, int byteCount);
int WINAPI Strandkit_HangulIsSplitAt(const char *text, int byteCount);
int WINAPI Strandkit_GbIsSplitAt(const char *text, int byteCount);
int WINAPI Strandkit_Big5IsSplitAt(const char *text, int byteCount);
int WINAPI Strandkit_IsSplitAt(UINT charset, const char *text, int byteCount);
/* Byte offset after at most n characters (stops at the NUL).  The dispatcher walks single bytes
 * for a single-byte charset. */
int WINAPI Strandkit_SjisCharOffset(const char *text, int n);
int WINAPI Strandkit_HangulCharOffset(const char *text, int n);
int WINAPI Strandkit_GbCharOffset(const char *text, int n);
int WINAPI Strandkit_Big5CharOffset(const char *text, int n);
int WINAPI Strandkit_CharOffset(UINT charset, const char *text, int n);

/* 1 for 128, 129, 134, 136. */
int WINAPI Strandkit_IsMultiByteCharset(UINT charset);
/* 1 for 128, 129, 130, 134, 136. */
int WINAPI Strandkit_IsFarEastCharset(UINT charset);
/* Characters up to the NUL. */
int WINAPI Strandkit_CountChars(UINT charset, const char *text);
/* Characters that start within the first byteLength bytes (stops at the NUL). */
int WINAPI Strandkit_CountCharsInBytes(UINT charset, const char *text, int byteLength);
/* Byte length of the first count characters; count -1 means the whole string. */
int WINAPI Strandkit_CharsToBytes(UINT charset, const char *text, int count);
/* The same walk: one byte per single-byte character, two per double-byte character. */
int WINAPI Strandkit_CharsToBytesEx(UINT charset, const char *text, int count);

/* The platform conversions in the charset's code page (flags 0; results and size queries as
 * there).  A character the code page cannot hold becomes the code page's default character. */
int WINAPI Strandkit_WideToMultiByte(UINT charset, const WCHAR *wide, int wideCount, char *out,
                                     int outSize);
int WINAPI Strandkit_MultiByteToWide(UINT charset, const char *text, int byteCount, WCHAR *out,
                                     int outCount);
/* Charset -> code page (1252 for every charset not in the table) and back (0 when unknown). */
UINT WINAPI Strandkit_CharsetToCodePage(UINT charset);
UINT WINAPI Strandkit_CodePageToCharset(UINT codePage);

/* Charset of the tag at position (either digit case), 0 when position holds no ESC. */
UINT WINAPI Strandkit_GetTagCharset(const char *position);
/* The dominant charset of a tagged string: the first charset other than the UI charset that holds
 * a byte of 0x80 or more, else the UI charset. */
UINT WINAPI Strandkit_GetMainCharset(const char *text);
/* Copies text into out (at least as long as text + 1) dropping every ESC with the three bytes
 * after it; returns the length written. */
int WINAPI Strandkit_StripTagsTo(char *out, const char *text);
/* The same into a new local-heap block (source length + 1); the caller frees it with LocalFree.
 * Null when text is null or memory runs out. */
char *WINAPI Strandkit_StripTags(const char *text);
/* The text of one charset (or of all, -1) without charset tags; out may be null to get the
 * length; returns the bytes written without the NUL. */
int WINAPI Strandkit_StripCharsetTags(int charset, const char *text, char *out);
/* Tags a plain string (charset -1: the UI charset, no tag without high bytes) and turns its line
 * ends into CR.  out (source length + 5) may be null; returns the length of the tagged result. */
int WINAPI Strandkit_AddCharsetTag(int charset, const char *text, char *out);
/* Puts a tag in front of every line that has none (line ends become CR).  out null: returns the
 * size needed without the NUL; otherwise fills out and returns the charset argument. */
int WINAPI Strandkit_TagLines(int charset, const char *text, char *out);
/* Tags text with the UI charset when it holds high bytes: the length of out; text copied
 * without a tag: its length + 1 (UI charset not 0) or 0 (UI charset 0). */
int WINAPI Strandkit_TagUiCharset(char *out, const char *text);
/* Writes a lower-case tag and as much of text as fits into outSize with the NUL (never half of a
 * double-byte character); returns the bytes written before the NUL, 0 when outSize < 5. */
int WINAPI Strandkit_TagCharset(UINT charset, const char *text, char *out, int outSize);
/* Compares two tagged strings: by charset number first, then in the charset's locale; negative,
 * 0 or positive. */
int WINAPI Strandkit_CompareTagged(const char *a, const char *b);
/* 1 when pattern (tagged) occurs in text (tagged), else 0; never matches inside a character. */
int WINAPI Strandkit_FindTagged(const char *text, const char *pattern);
/* Unsigned byte order of two strings: -1, 0 or 1 (a proper prefix sorts first). */
int WINAPI Strandkit_CompareBytes(const char *a, const char *b);

/* ==== end of byte classes and charset tags ==================================================== */

/* ---- Measuring and drawing ----------------------------------------------------------------
 * Interface fonts: one per charset 0, 128, 129, 134, 136 and 238, made on first use from the
 * default GUI font's description (the UI charset's own is the default GUI font itself) and
 * deleted when the library is unloaded.  Runs of tagged text are measured and drawn each in its
 * charset's font, through 16-bit text in the charset's code page.  Nothing here keeps a dc's
 * state: fonts, background mode and text colour are restored before returning. */

/* The UI charset: the charset of the default GUI font. */
UINT WINAPI Strandkit_GetUiCharset(void);
/* The interface font of a charset (0, 128, 129, 134, 136, 238), else null.  Owned by the
 * library: never delete it. */
HFONT WINAPI Strandkit_GetCharsetFont(UINT charset);
/* Keeps the window's font when its charset is the UI charset, else gives it the default GUI
 * font. */
void WINAPI Strandkit_SetWindowFont(HWND window);

/* Size of count bytes (-1: to the NUL) of a charset's text in the charset's font. */
BOOL WINAPI Strandkit_GetTextExtent(HDC dc, UINT charset, const char *text, int count,
                                    SIZE *size);

/* Fitting text into width pixels.  Flags: STRANDKIT_FIT_ELLIPSIS ends a cut text in "..."
 * (counted in the width), STRANDKIT_FIT_ONE_LINE turns CR and LF into blanks; without it the
 * text ends at its first CR and the result counts 2 more bytes when the cut is there.  A double-
 * byte character is never split.  The text is changed in place (blanks, the ellipsis and its
 * NUL), but never beyond its own bytes: where the ellipsis would not fit there the cut moves
 * back.  The result is the length of the fitted text with its ellipsis; size receives its width
 * and height.  FitText measures in the dc's own font as UI-charset text; FitTextInCharset in
 * the charset's font, over byteCount bytes (-1: to the NUL). */
#define STRANDKIT_FIT_ELLIPSIS 1
#define STRANDKIT_FIT_ONE_LINE 2
int WINAPI Strandkit_FitText(HDC dc, int width, char *text, UINT flags, SIZE *size);
int WINAPI Strandkit_FitTextInCharset(HDC dc, int width, char *text, int byteCount, UINT flags,
                                      UINT charset, SIZE *size);
/* The same for tagged text, run by run; a cut text ends in a tag of the UI charset and "..."
 * (7 bytes).  lastCharset (may be null) receives the charset in effect at the end. */
int WINAPI Strandkit_FitTaggedText(HDC dc, int width, char *text, UINT flags, SIZE *size,
                                   UINT *lastCharset);
/* Size of tagged text: the sum of the run widths and the largest run height. */
BOOL WINAPI Strandkit_GetTaggedExtent(HDC dc, const char *text, SIZE *size);

/* Plain text in the dc's font, transparent, in colour; count -1: to the NUL. */
BOOL WINAPI Strandkit_DrawText(HDC dc, int x, int y, const char *text, int count,
                               COLORREF colour);
/* Tagged text (length bytes, -1: to the NUL), transparent, in colour, each run in its font. */
BOOL WINAPI Strandkit_DrawTaggedText(HDC dc, int x, int y, const char *text, int length,
                                     COLORREF colour);

/* Font sets: per charset (0, 128, 129, 134, 136, 238) 8, 9, 10, 12 and 14 points in regular,
 * italic, bold and bold italic in the caller's face, and a 10-point default font in the
 * charset's interface face.  Creating again replaces (and deletes) the earlier set; the library
 * owns the fonts until DeleteFontSet or unload. */
BOOL WINAPI Strandkit_CreateFontSet(UINT charset, const char *face);
void WINAPI Strandkit_DeleteFontSet(UINT charset);
/* As GetTaggedExtent, DrawTaggedText and FitTaggedText, each run in the font of its charset's set
 * chosen by size index 0-4 (-1: the default font, which has no italic or bold) and style; where
 * no font is chosen the dc's own font is used. */
BOOL WINAPI Strandkit_GetTaggedExtentFont(HDC dc, const char *text, SIZE *size, int sizeIndex,
                                          BOOL italic, BOOL bold);
BOOL WINAPI Strandkit_DrawTaggedTextFont(HDC dc, int x, int y, const char *text, int length,
                                         COLORREF colour, int sizeIndex, BOOL italic, BOOL bold);
int WINAPI Strandkit_FitTaggedTextFont(HDC dc, int width, char *text, UINT flags, SIZE *size,
                                       UINT *lastCharset, int sizeIndex, BOOL italic, BOOL bold);

/* System colours: owner-draw item state (ODS_SELECTED; ODS_GRAYED or ODS_DISABLED), menu item
 * state (ODS_SELECTED), and window text on button face.  Either out may be null. */
void WINAPI Strandkit_GetItemColors(UINT state, COLORREF *text, COLORREF *back);
void WINAPI Strandkit_GetMenuColors(UINT state, COLORREF *text, COLORREF *back);
void WINAPI Strandkit_GetWindowColors(COLORREF *text, COLORREF *back);

/* The platform's text calls for a charset's bytes in the dc's font.  ExtTextOut, TextOut and
 * GetTextExtentPoint use the ANSI call unless the UI charset is single-byte and the charset is a
 * double-byte one; then the text goes as 16-bit text (dx per byte; a text that converts to
 * nothing answers 0).  GetTextExtentExPoint is the ANSI call whose fitted count never ends on a
 * lead byte; a null text or a count of 0 or less answers 0.  GetTextExtentExPointCs takes the
 * 16-bit path for double-byte charsets on platforms above major version 4: fit counts bytes of
 * whole characters, and both bytes of a character get its extent in dx. */
BOOL WINAPI Strandkit_ExtTextOut(HDC dc, int x, int y, UINT options, const RECT *rect,
                                 const char *text, int count, const INT *dx, UINT charset);
BOOL WINAPI Strandkit_TextOut(HDC dc, int x, int y, const char *text, int count, UINT charset);
BOOL WINAPI Strandkit_GetTextExtentPoint(HDC dc, const char *text, int count, SIZE *size,
                                         UINT charset);
BOOL WINAPI Strandkit_GetTextExtentExPoint(HDC dc, const char *text, int count, int width,
                                           int *fit, int *dx, SIZE *size, UINT charset);
BOOL WINAPI Strandkit_GetTextExtentExPointCs(HDC dc, const char *text, int count, int width,
                                             int *fit, int *dx, SIZE *size, UINT charset);

/* ---- end of measuring and drawing ------------------------------------------------------- */

/* ---- RTF conversion ----------------------------------------------------------------------
 * RTF into escape-tagged text: every font change that changes the charset writes a tag
 * (lower-case digits); \par gives CR; skipped destinations (information, headers, pictures,
 * ignorable unknown ones) give nothing.  Damaged input stops the reading: the bytes produced up
 * to there are returned.  Tagged text into a small RTF document with one font per charset. */

/* RTF into tagged text: the number of bytes produced; out (null: size query; size it as the
 * count + 1) receives them and a NUL. */
int WINAPI Strandkit_RtfToText(const char *rtf, char *out);
/* The same without charset tags, keeping the text of one charset or of all (-1); out null: size
 * query (count + 1 bytes needed). */
int WINAPI Strandkit_RtfToPlain(int charset, const char *rtf, char *out);
/* Tagged text into RTF; fontSize above 0 sets the size (\fs, half points).  Every line end (CR,
 * LF or CR LF) becomes a paragraph end.  Returns the RTF length + 1; out null: size query. */
int WINAPI Strandkit_TextToRtf(int fontSize, const char *text, char *out);
/* Plain text of a charset (-1: the UI charset) tagged and written as RTF, as TextToRtf; the Ex
 * form adds a colour table when colour is not 0. */
int WINAPI Strandkit_PlainToRtf(int charset, int fontSize, const char *text, char *out);
int WINAPI Strandkit_PlainToRtfEx(int charset, int fontSize, const char *text, char *out,
                                  COLORREF colour);

/* ---- end of RTF conversion ---------------------------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* STRANDKIT_H */
