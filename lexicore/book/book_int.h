// Declarations shared by the files of the book reader (docs/formats/book.md describes the books).
#ifndef LEXICORE_BOOK_INT_H
#define LEXICORE_BOOK_INT_H

#include <string>
#include <vector>
#include "../lexicore_int.h"

const DWORD kBookBlock = 2048;

// ---- Bounds-checked reads of a book file -----------------------------------------------------------
// Reads n bytes at pos; false on a short read.
bool LcBook_ReadAt(HANDLE file, DWORD pos, void *out, DWORD n);
DWORD LcBook_FileSize(HANDLE file);
inline DWORD LcBook_Be16(const BYTE *p) { return (DWORD)p[0] << 8 | p[1]; }
inline DWORD LcBook_Be32(const BYTE *p) {
    return (DWORD)p[0] << 24 | (DWORD)p[1] << 16 | (DWORD)p[2] << 8 | p[3];
}
// Value of n bytes of BCD (two digits a byte).
DWORD LcBook_Bcd(const BYTE *p, int n);
// Position of a 6-byte BCD reference (block, offset): (block - 1) << 11 | offset.
DWORD LcBook_BcdPosition(const BYTE *p);

// ---- Text conversion --------------------------------------------------------------------------------
enum { kBookModeKey = 0, kBookModeTagged = 1, kBookModeSjis = 128 };
// The numbering of an entry's indent values (values above 100 count as 100).
struct LcBookIndents {
    std::vector<int> values;  // distinct, increasing
};
void LcBook_CollectIndents(const BYTE *text, size_t n, LcBookIndents *out);
// Converts book text into out (appended).  startCharset is the charset in force before the first
// character (-1: none, the first character writes its tag).  False when the mode refuses a
// character (a gaiji in modes 0 and 128, a double-byte character in mode 0).
bool LcBook_Convert(const BYTE *text, size_t n, int mode, int startCharset,
                    const LcBookIndents *indents, std::string *out);

// ---- Files and the kind's operations -------------------------------------------------------------------
// Reads and converts the entry text at the position into data (kind 1, block 1 with its
// terminator counted); file is the book's record.
BOOL LcBook_ReadText(DicSession *session, LcFile *file, const VLDataItem *item, VLData *data);
// The raw entry text at the position (length rules of the entry text applied).
bool LcBook_RawText(HANDLE h, const DicInfo *info, DWORD position, std::string *out);

// ---- Media -----------------------------------------------------------------------------------------------
// Writes a sound (what 0) or picture (what 1) named by the reference text to outputPath; a sound
// with a null or empty outputPath is played.  1 or 0.
BOOL LcBook_ExportMedia(LcFile *file, DWORD what, const char *reference, const char *outputPath);

#endif
