/* Wordstrand: the character knowledge that the language drivers and the editor share.
 *
 * Character classes and case maps (code page 1252 for single-byte text, Shift-JIS punctuation
 * classes), half-width and full-width forms in the four double-byte charsets (128 Shift-JIS,
 * 129 Hangul, 134 GB2312, 136 Big5), row indexes of double-byte codes, line joining and sentence
 * pieces, Western specials in Shift-JIS, and unsigned string comparisons with match grades.
 * Text arguments are NUL-terminated byte strings; no walk steps over the terminating NUL, and a
 * lead byte directly before the NUL is never paired with it.  Output buffers are the caller's
 * unless said otherwise.  Nothing here keeps state except the library's own heap. */
#ifndef WORDSTRAND_H
#define WORDSTRAND_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Character classes and case ---------------------------------------------------------------
 * Class kinds: 1 upper-case letter, 2 lower-case letter, 3 letter or digit, 4 letter, 5 digit,
 * 6 may not start a line, 7 may not end a line, 8 sentence punctuation. */

/* 1 when the character (a byte, or a Shift-JIS double-byte code lead * 256 + trail in charset
 * 128) is of the kind; 0 otherwise and for a kind outside 1-8. */
int WINAPI Wordstrand_GetCharClass(UINT charset, int kind, UINT ch);
/* Kind 1: to upper case, kind 2: to lower case (code page 1252); double-byte charsets map ASCII
 * only; other kinds and values above 0xFF come back unchanged. */
UINT WINAPI Wordstrand_MapCase(UINT charset, int kind, UINT ch);
/* The byte when it is an upper-case letter of code page 1252, else 0. */
UINT WINAPI Wordstrand_UpperOnly(UINT b);
/* The whole string to lower / upper case (code page 1252) into out, which may be text itself;
 * returns the length. */
int WINAPI Wordstrand_ToLower(const char *text, char *out);
int WINAPI Wordstrand_ToUpper(const char *text, char *out);

/* ---- Width forms and row indexes --------------------------------------------------------------
 * Full width: ASCII and half-width katakana become the charset's full-width characters (a
 * half-width katakana followed by its sound mark becomes the voiced form), valid double-byte
 * characters are copied, bytes below 0x20 and invalid bytes are dropped; out must hold twice the
 * text length + 1.  Half width: each double-byte character becomes its ASCII form or a blank;
 * out must hold the text length + 1.  The per-charset forms return the bytes written (without
 * the NUL). */

/* Full width in one of the four double-byte charsets (others do nothing); returns count. */
int WINAPI Wordstrand_ToFullWidth(UINT charset, const char *text, char *out, int count);
/* Half width in one of the four double-byte charsets; returns the bytes written, 0 (nothing
 * written) for another charset. */
int WINAPI Wordstrand_ToHalfWidth(UINT charset, const char *text, char *out);
int WINAPI Wordstrand_SjisToWide(const char *text, char *out);
int WINAPI Wordstrand_SjisToNarrow(const char *text, char *out);
int WINAPI Wordstrand_KscToWide(const char *text, char *out);
int WINAPI Wordstrand_KscToNarrow(const char *text, char *out);
int WINAPI Wordstrand_GbToWide(const char *text, char *out);
int WINAPI Wordstrand_GbToNarrow(const char *text, char *out);
int WINAPI Wordstrand_Big5ToWide(const char *text, char *out);
int WINAPI Wordstrand_Big5ToNarrow(const char *text, char *out);

/* Row index of a double-byte code (16 bits); 0xFFFF for the full-width space.  Shift-JIS: 188
 * codes per lead byte; Hangul and GB2312: 94; Big5: 156 (trails 0x7E and 0xA1 share an index). */
WORD WINAPI Wordstrand_SjisIndex(BYTE lead, BYTE trail);
WORD WINAPI Wordstrand_KscIndex(BYTE lead, BYTE trail);
WORD WINAPI Wordstrand_GbIndex(BYTE lead, BYTE trail);  /* the same function as KscIndex */
WORD WINAPI Wordstrand_Big5Index(BYTE lead, BYTE trail);

/* Makes the narrow and the wide form of a double-byte text that holds a byte of 0x80 or more:
 * 1 when made (*outWide always, *outNarrow null when the narrow form would be blanks only), 0
 * when not (both set to null).  Both blocks come from the library's heap: free them with
 * Wordstrand_Free.  count is handed to Wordstrand_ToFullWidth. */
int WINAPI Wordstrand_MakeWidthVariants(const char *text, UINT charset, char **outNarrow, char **outWide,
                                        int count);
/* Frees a block that this library handed out; 1 when freed, 0 for null. */
int WINAPI Wordstrand_Free(void *block);

/* ---- Lines and sentences ----------------------------------------------------------------------
 * Line ends: CR LF, a lone CR and a lone LF each count as one; kept line ends are written as
 * CR LF.  Flags: bit 1 keeps a line end after a sentence end and a paragraph break (two line
 * ends, written as one) and joins other lines with a blank (without bit 1 every line end is
 * dropped); bit 2 starts a new line after a sentence end that a blank follows.  out must hold
 * twice the text length + 1. */

/* Joins the lines of text in the charset; returns the length written + 1. */
int WINAPI Wordstrand_JoinLines(UINT charset, const char *text, char *out, UINT flags);
/* Joins charset-tagged text run by run, each in its tag's charset, into plain text; a run that
 * began with a tag ends with CR LF (in place of its own last line end).  Returns the length
 * written + 1. */
int WINAPI Wordstrand_JoinLinesAlloc(const char *taggedText, char *out, UINT flags);
/* Copies the sentence that holds the byte at position (from after the sentence end before it
 * through the next sentence end, blanks trimmed) into out (text length + 1); 1 when a piece was
 * copied, 0 for a null or empty text, a position outside the text or an empty piece. */
int WINAPI Wordstrand_FindBreakBefore(UINT charset, const char *text, int position, char *out);

/* Code page 1252 specials to their Shift-JIS spellings (other high bytes dropped); out must hold
 * three times the text length + 1.  Returns the length written + 1. */
int WINAPI Wordstrand_Latin1ToAscii(const char *text, char *out);
/* The reverse: Shift-JIS spellings of the specials back to their 1252 byte, other double-byte
 * characters dropped; returns the length written + 1. */
int WINAPI Wordstrand_SjisFold(const char *text, char *out);

/* ---- Comparisons and match grades -------------------------------------------------------------
 * Unsigned order, answers -1, 0 or 1.  From the start a proper prefix sorts first; from the end a
 * proper suffix sorts first (an empty string sorts before any other, two empty strings are
 * equal).  The N forms compare at most n units (n <= 0: equal).  The dispatchers take the whole
 * string for a length of 0 or less, at most length units otherwise, and compare from the end when
 * flags hold 0x8000. */

int WINAPI Wordstrand_CompareString(const char *a, const char *b);
int WINAPI Wordstrand_CompareStringN(const char *a, const char *b, int n);
int WINAPI Wordstrand_CompareReverse(const char *a, const char *b);
int WINAPI Wordstrand_CompareReverseN(const char *a, const char *b, int n);
int WINAPI Wordstrand_Compare(UINT flags, const char *a, const char *b, int length);
/* Byte count of a (0 for null). */
int WINAPI Wordstrand_Length(const char *a);
int WINAPI Wordstrand_CompareWide(const WCHAR *a, const WCHAR *b);
int WINAPI Wordstrand_CompareWideN(const WCHAR *a, const WCHAR *b, int n);
int WINAPI Wordstrand_CompareWideReverse(const WCHAR *a, const WCHAR *b);
int WINAPI Wordstrand_CompareWideReverseN(const WCHAR *a, const WCHAR *b, int n);
int WINAPI Wordstrand_CompareWideEx(UINT flags, const WCHAR *a, const WCHAR *b, int length);
/* The match class of a score over two lengths: the average per character of the longer length,
 * 100 -> 0x10000000 (equal), above 94 -> 0x20000000 (near), 66 to 94 -> 0x30000000 (similar),
 * below 66 -> 0x40000000 (different).  Two empty strings are equal (0x10000000). */
DWORD WINAPI Wordstrand_MatchGrade(int length1, int length2, int score);

#ifdef __cplusplus
}
#endif

#endif /* WORDSTRAND_H */
