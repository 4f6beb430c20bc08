/* Strandkit: declarations shared by the library's own files (not exported). */
#ifndef STRANDKIT_INT_H
#define STRANDKIT_INT_H

#include "strandkit.h"

/* The escape byte that starts every tag of escape-tagged text. */
#define STRANDKIT_ESC 0x1B

/* The charset of the default GUI font, read once on first use (0 when it cannot be read). */
UINT StrandkitInt_UiCharset(void);

/* 1 when the charset has byte classes (128, 129, 134, 136). */
int StrandkitInt_HasByteClasses(UINT charset);
/* Lead-byte test by charset, 0 for single-byte charsets. */
int StrandkitInt_IsLead(UINT charset, unsigned char b);
/* Bytes of the character at p (0 at the NUL, 1 for a single byte or a lead byte before the NUL). */
int StrandkitInt_CharLen(UINT charset, const char *p);

/* Length of a tag at p: 6 for the editor's ESC F 0 1 hh form, 4 for ESC F hh, 0 when p holds no
 * complete ESC F tag (the tag never extends past the NUL). */
int StrandkitInt_TagLength(const char *p);
/* The value of the two hexadecimal digits at p (either case; a non-digit counts 0). */
UINT StrandkitInt_HexByte(const char *p);

/* The locale used to collate a charset's text, 0 when the charset has none. */
LCID StrandkitInt_CharsetLocale(UINT charset);

#endif /* STRANDKIT_INT_H */
