// Shared by the library's measuring, fitting, drawing and RTF files: the charset fonts, the font
// sets, the platform flags, and runs of tagged text as 16-bit text.
#ifndef STRANDKIT_DRAW_INT_H
#define STRANDKIT_DRAW_INT_H

#include <vector>

#include "strandkit.h"

// 1 on platforms whose major version is above 4 (read once).
bool DrawInt_MajorAbove4();
// 1 when the UI charset is one of the double-byte charsets.
bool DrawInt_UiIsMultiByte();

// The face and the family bits (FF_*) of a charset's font; false when the charset has none.
bool DrawInt_CharsetFace(UINT charset, char face[LF_FACESIZE], BYTE *family);

// Which font draws a run: the charset fonts (sets false) or a font-set choice.  A null font
// leaves the dc's own font selected.
struct DrawFontChoice {
    bool sets;
    int sizeIndex;
    BOOL italic;
    BOOL bold;
};
HFONT DrawInt_FontFor(const DrawFontChoice &choice, UINT charset);

// One run of tagged text: tags from start, text from text to end (exclusive).  A run starts at
// the text start or a tag and ends before the next ESC; the editor's six-byte font tag and a lone
// ESC keep the current charset.
struct DrawRun {
    int start;
    int text;
    int end;
    UINT charset;
};
// Next run at *pos within the first limit bytes (stops at a NUL); false at the end.
bool DrawInt_NextRun(const char *text, int limit, int *pos, UINT *charset, DrawRun *run);

// A run of a charset's bytes as 16-bit text: units, and for each unit the byte offset (from the
// run's first byte) just after the character it ends, or -1 when the character goes on.
struct DrawWide {
    std::vector<WCHAR> units;
    std::vector<int> byteEnd;
};
void DrawInt_ToWide(UINT charset, const char *text, int count, DrawWide *wide);

#endif
