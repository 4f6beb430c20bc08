/* Codepager: conversion between the far-east code pages (932, 949, 936, 950) and 16-bit text,
   with conversion tables of its own for systems that lack a code page; drawing and measuring
   text of a charset in a font built from a font description; default fonts per charset. */
#ifndef CODEPAGER_H
#define CODEPAGER_H

#include <windows.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One font description, and one entry of the library's default-font table (44 bytes).
   size: points; 0 = the default entry's size; a negative value is a height in pixels.
   style: CODEPAGER_STYLE_* bits.  face: NUL-terminated; empty = the default entry's face. */
typedef struct CharsetFont {
    WORD charset;
    LONG size;
    WORD style;
    char face[34];
} CharsetFont;

#define CODEPAGER_STYLE_BOLD      1
#define CODEPAGER_STYLE_ITALIC    2
#define CODEPAGER_STYLE_UNDERLINE 4
#define CODEPAGER_STYLE_STRIKEOUT 8

/* Language indexes of the default-font operations: 0 takes the charset of the record itself,
   every other value stands for charset 0. */
#define CODEPAGER_LANG_CHINESE_SIMPLIFIED  0x0200
#define CODEPAGER_LANG_CHINESE_TRADITIONAL 0x0300
#define CODEPAGER_LANG_JAPANESE            0x0400

#ifdef __cplusplus
static_assert(sizeof(CharsetFont) == 44, "CharsetFont is 44 bytes");
static_assert(offsetof(CharsetFont, size) == 4, "CharsetFont.size at 4");
static_assert(offsetof(CharsetFont, style) == 8, "CharsetFont.style at 8");
static_assert(offsetof(CharsetFont, face) == 10, "CharsetFont.face at 10");
#endif

/* Byte classes of the far-east charsets (128 Shift-JIS, 129 Hangul 0xA1-0xFE, 134 GB2312,
   136 Big5): 1 or 0; every other charset answers 0.  The mapped single bytes are the Shift-JIS
   half-width kana 0xA0-0xDF. */
BOOL WINAPI Codepager_IsLeadByte(UINT charset, BYTE b);
BOOL WINAPI Codepager_IsTrailByte(UINT charset, BYTE b);
BOOL WINAPI Codepager_IsMappedSingleByte(UINT charset, BYTE b);

/* Text of a charset's code page to 16-bit text.  The system conversion where the system has the
   code page, else the library's own table.  byteCount 0 or less: the whole string with its NUL
   (counted in the result).  out null or outCount 0: the number of units needed.  Returns the
   units written, 0 on failure (output too small, or no table for the charset).  Bytes without a
   mapping become the default character, never a zero unit. */
int WINAPI Codepager_MultiByteToWide(UINT charset, LPCSTR text, int byteCount, LPWSTR out,
                                     int outCount);

/* 16-bit text to a charset's code page; flags must be 0 (else 0).  unitCount 0 or less: the
   whole string with its NUL.  out null or outSize 0: the number of bytes needed.  Returns the
   bytes written, 0 on failure.  Characters that the code page cannot hold become its default
   character ('?'), never a zero byte. */
int WINAPI Codepager_WideToMultiByte(UINT charset, DWORD flags, LPCWSTR text, int unitCount,
                                     LPSTR out, int outSize);

/* Draw or measure count bytes of text in a font built from the description (missing size and
   face come from the default-font table); the font is created and deleted within the call, the
   dc's font is restored.  Text whose code page is not the system's is drawn as 16-bit text.
   Result as the platform call's; a null text or a count below 1 answers 0. */
BOOL WINAPI Codepager_ExtTextOut(HDC dc, int x, int y, UINT options, const RECT *rect, LPCSTR text,
                                 int count, const INT *dx, const CharsetFont *font);
BOOL WINAPI Codepager_TextOut(HDC dc, int x, int y, LPCSTR text, int count,
                              const CharsetFont *font);
BOOL WINAPI Codepager_GetTextExtent(HDC dc, LPCSTR text, int count, SIZE *size,
                                    const CharsetFont *font);

/* Default fonts of the process.  Set: finds the entry of the language's charset (none: nothing
   changes), takes the record's size when not 0 and its face when not empty, and hands the
   entry's style back in the record; answers 1.  Get: copies the entry into the record; 1 when
   found, else 0. */
BOOL WINAPI Codepager_SetDefaultFont(UINT language, CharsetFont *font);
BOOL WINAPI Codepager_GetDefaultFont(UINT language, CharsetFont *font);

#ifdef __cplusplus
}
#endif

#endif /* CODEPAGER_H */
