// What the files of the viewer library share: tagged entry text read into runs of one attribute.
#ifndef SCRIVSHOW_INT_H
#define SCRIVSHOW_INT_H

#include <windows.h>
#include <map>
#include <string>
#include <tuple>
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

// ---- The viewer control (viewer.cpp: the window; layout.cpp: lines and painting; capture.cpp;
// print.cpp) ----------------------------------------------------------------------------------------

const int SCV_MARGIN = 4;
const DWORD SCV_CAPTURE_SIZE = 2184;

typedef std::vector<ScvPiece> ScvLine;

// State of one viewer window (kept in GWLP_USERDATA).
struct ScvViewer {
    HWND window = nullptr;
    std::string text;                 // the tagged text shown
    std::vector<ScvLine> paragraphs;  // its lines, the display flags applied
    std::vector<ScvLine> lines;       // as shown: the paragraphs broken at the wrap width
    std::map<std::tuple<int, int, int>, HFONT> fonts;  // (charset, bold|italic|underline bits, size)
    int fontSize = 10;
    int lineHeight = 16;
    int topLine = 0;
    int layoutWidth = -1;             // client width of the last layout
    bool laying = false;              // inside a layout (scroll bars come and go)
    COLORREF background = GetSysColor(COLOR_WINDOW);
    DWORD flags = 0, option = 0;
    int dispStyle = 0, layer = 0;
    WORD language = 0;
    bool selecting = false;
};

// The font of an attribute at the viewer's size for the device context (kept until Scv_DropFonts).
HFONT Scv_FontFor(ScvViewer *v, const ScvAttr &a, HDC dc);
void Scv_DropFonts(ScvViewer *v);
// Width of the first bytes of a piece in the font selected into dc.
int Scv_PieceWidth(HDC dc, const ScvPiece &p, int bytes);
// The text's paragraphs with the display flags applied (no rich text, no line feeds).
std::vector<ScvLine> Scv_Paragraphs(const ScvViewer *v);
// Breaks paragraphs into lines at most width pixels wide in the viewer's fonts for dc (0: never):
// after the blanks behind a word, before a double-byte character, inside a word only when the
// word alone is wider than the line.
std::vector<ScvLine> Scv_BreakLines(ScvViewer *v, HDC dc, const std::vector<ScvLine> &paragraphs, int width);
void Scv_UpdateScroll(ScvViewer *v);
// Lays the text out again for the window's width (the pop-up form: for its own width) and, when
// notify is set, tells the parent the size of the content (notice 1).
void Scv_Layout(ScvViewer *v, bool notify);
void Scv_DrawLines(ScvViewer *v, HDC dc, const std::vector<ScvLine> &lines, int first, int left, int top,
                   int bottom, int lineHeight);
void Scv_Paint(ScvViewer *v);
// The language of text in the charset: the shown entry's, else the charset's own (Japanese 0x0400,
// Korean 0x0500, Traditional Chinese 0x0300; the Western charset: Japanese under the system code
// page 932, else English 0x0100), 0 for another charset.
WORD Scv_LanguageOf(const ScvViewer *v, int charset);
// Writes the capture record of the client point into SCRIVSHOWMAPPEDFILE; 1 when written.
int Scv_Capture(ScvViewer *v, int x, int y);
// Prints the text on the print dialog's device context; 1 when printed.
int Scv_Print(ScvViewer *v, const PRINTDLGA *pd);

#endif
