// What the files of the viewer library share: tagged entry text read into runs of one attribute.
#ifndef SCRIVSHOW_INT_H
#define SCRIVSHOW_INT_H

#include <windows.h>
#include <string>
#include <vector>

struct ScvAttr {
    int charset = 0;
    bool bold = false, italic = false, underline = false, superscript = false, subscript = false;
    bool hasColor = false;
    COLORREF color = 0;
    int sizeStep = 3;
    bool operator==(const ScvAttr &o) const {
        return charset == o.charset && bold == o.bold && italic == o.italic && underline == o.underline &&
               superscript == o.superscript && subscript == o.subscript && hasColor == o.hasColor &&
               color == o.color && sizeStep == o.sizeStep;
    }
};

// A piece of text in one attribute, or a line end.
struct ScvPiece {
    bool lineEnd = false;
    ScvAttr attr;
    std::string bytes;
};

// Reads tagged text into pieces (adjacent text of one attribute joined).  length -1: to the terminator.
std::vector<ScvPiece> Scv_Parse(const char *text, int length);
// Bytes of the tag at p (p[0] is ESC or FS), never past end.
int Scv_TagLength(const unsigned char *p, const unsigned char *end);
// Code page of a charset (1252 for those without one of their own).
UINT Scv_CodePage(int charset);
// Byte length of the character at p in the charset (1 or 2, never past end).
int Scv_CharLen(int charset, const unsigned char *p, const unsigned char *end);
// Copies a rendering into out (at most outSize - 1 bytes and a terminator); returns its full length.
int Scv_Deliver(const std::string &s, char *out, int outSize);
// Plain text of pieces, optionally of one charset only (-1 all).
std::string Scv_Plain(const std::vector<ScvPiece> &pieces, int charset);

#endif
