// Velomira.exe: the pure part of one capture, with no windows: the line mode a trigger and the held
// keys choose, the joining of the captured lines into one text with the word's byte position in
// it, and the moves of that position for the spelling trigger.  Tested by table on its own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "prefstore.h"

// One captured line: its text in the code page of the charset and its length in characters, as
// the capture record gives them.
struct VlmLine {
    std::string text;
    int chars;
};

// The joined text of a lookup and the byte offset of the word's character in it.
struct VlmJoined {
    std::string text;
    int wordPos;
};

// Line modes: no lookup, the word's line, lines above and below, above only, below only.
enum { VLM_LINES_NONE, VLM_LINES_WORD, VLM_LINES_BOTH, VLM_LINES_ABOVE, VLM_LINES_BELOW };

// The most lines taken above or below the word's line, whatever the options say: the joined text
// stays well inside the 16-bit word position of a lookup request.
const int kVlmMaxExtraLines = 15;

// The line mode of a capture with this trigger message (as the request carries it) and these keys.
// Only the pointer triggers (below 0xBD4, or above 0xBD5 except the trigger key) read the keys; the
// keyboard, spelling and trigger-key captures always take the word's line alone.  A mode the
// options hold outside 0 to 4 counts as the word's line.
int Vlm_LineMode(UINT trigger, bool shift, bool ctrl, const CaptureOptions &options);

// Lines above and below the options ask for in the mode (each 0 to kVlmMaxExtraLines).
void Vlm_ExtraLines(int mode, const CaptureOptions &options, int *above, int *below);

// Byte length of a captured line: for a multi-byte charset the zero-terminated text's length
// (bounded by the text), else the character count (bounded likewise).
int Vlm_LineBytes(UINT charset, const std::string &text, int chars);

// Joins the lines into one text.  With extra false the text is the word line alone.  Otherwise the
// lines above (topmost first), the word line and the lines below follow each other, each followed
// by a blank unless it ends in a blank or in a double-byte character (or a lead byte cut off from
// its trail byte) of the word line's charset.  wordChar is the character index of the word in the
// word line; the answer's wordPos is the byte offset of that character in the joined text, every
// byte of the lines above and the blanks appended after them counted.
VlmJoined Vlm_JoinLines(UINT charset, const std::vector<VlmLine> &above, const VlmLine &word, int wordChar,
                        const std::vector<VlmLine> &below, bool extra);

// Byte offset of the start of the character before the one at pos (0 stays 0).
int Vlm_PreviousChar(UINT charset, const char *text, int length, int pos);

// The spelling trigger's word end: from pos forward to the next blank (or the end of the text),
// then back one character unless that is the text's start, so that the position ends on the last
// character of the word.
int Vlm_WordEnd(UINT charset, const char *text, int length, int pos);

// The spelling trigger's capture: a position on a blank steps back one character (not below 0).
int Vlm_BackFromBlank(UINT charset, const char *text, int length, int pos);
