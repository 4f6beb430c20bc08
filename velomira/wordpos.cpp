// Velomira.exe: line modes, the joining of captured lines and the word position (see wordpos.h).
#include "wordpos.h"

#include <string.h>

#include "strandkit.h"

namespace {

const UINT kTriggerHover = 0xBD4, kTriggerLine = 0xBD5, kTriggerKey = 0x83F2;

bool ReadsKeys(UINT trigger)
{
    return trigger < kTriggerHover || (trigger > kTriggerLine && trigger != kTriggerKey);
}

int Clamp(int n)
{
    return n < 0 ? 0 : n > kVlmMaxExtraLines ? kVlmMaxExtraLines : n;
}

// Byte offset of the character index in the text (never beyond its length).
int ByteOfChar(UINT charset, const std::string &text, int bytes, int chars)
{
    if (chars <= 0) return 0;
    if (!Strandkit_IsMultiByteCharset(charset)) return chars < bytes ? chars : bytes;
    std::string piece = text.substr(0, bytes);
    int at = Strandkit_CharsToBytes(charset, piece.c_str(), chars);
    return at < 0 ? 0 : at > bytes ? bytes : at;
}

}  // namespace

int Vlm_LineMode(UINT trigger, bool shift, bool ctrl, const CaptureOptions &options)
{
    if (!ReadsKeys(trigger)) return VLM_LINES_WORD;
    int mode = shift ? (ctrl ? options.CaptureShiftCtrl : options.CaptureShift)
                     : (ctrl ? options.CaptureCtrl : options.CaptureNoKey);
    return mode >= VLM_LINES_NONE && mode <= VLM_LINES_BELOW ? mode : VLM_LINES_WORD;
}

void Vlm_ExtraLines(int mode, const CaptureOptions &options, int *above, int *below)
{
    *above = mode == VLM_LINES_BOTH || mode == VLM_LINES_ABOVE ? Clamp(options.UpperCaptureLine) : 0;
    *below = mode == VLM_LINES_BOTH || mode == VLM_LINES_BELOW ? Clamp(options.LowerCaptureLine) : 0;
}

int Vlm_LineBytes(UINT charset, const std::string &text, int chars)
{
    int whole = (int)strnlen(text.c_str(), text.size());
    if (Strandkit_IsMultiByteCharset(charset)) return whole;
    return chars < 0 ? 0 : chars < whole ? chars : whole;
}

VlmJoined Vlm_JoinLines(UINT charset, const std::vector<VlmLine> &above, const VlmLine &word, int wordChar,
                        const std::vector<VlmLine> &below, bool extra)
{
    VlmJoined out;
    int wordBytes = Vlm_LineBytes(charset, word.text, word.chars);
    int inWord = ByteOfChar(charset, word.text, wordBytes, wordChar);
    if (!extra) {
        out.text = word.text.substr(0, wordBytes);
        out.wordPos = inWord;
        return out;
    }
    auto add = [&](const VlmLine &line) {
        int bytes = Vlm_LineBytes(charset, line.text, line.chars);
        std::string piece = line.text.substr(0, bytes);
        out.text += piece;
        if (bytes == 0) return;
        // A line ending in a double-byte character runs on into the next without a blank, as
        // Japanese or Chinese text broken over lines does.
        if (piece[bytes - 1] != ' ' && !Strandkit_IsSplitAt(charset, piece.c_str(), bytes - 1)) out.text += ' ';
    };
    for (const VlmLine &line : above) add(line);
    out.wordPos = (int)out.text.size() + inWord;
    add(word);
    for (const VlmLine &line : below) add(line);
    return out;
}

int Vlm_PreviousChar(UINT charset, const char *text, int length, int pos)
{
    if (pos <= 0) return 0;
    if (pos > length) pos = length;
    if (!Strandkit_IsMultiByteCharset(charset)) return pos - 1;
    // Walk from the start: a trail byte cannot be told from a lead byte going backwards.
    int at = 0;
    while (at < pos) {
        int next = Strandkit_CharOffset(charset, text + at, 1) + at;
        if (next <= at || next >= pos) break;
        at = next;
    }
    return at;
}

int Vlm_WordEnd(UINT charset, const char *text, int length, int pos)
{
    if (pos < 0) pos = 0;
    // A blank byte is never the trail byte of a double-byte character, so the scan is bytewise.
    while (pos < length && text[pos] && text[pos] != ' ') pos++;
    return pos > 0 ? Vlm_PreviousChar(charset, text, length, pos) : 0;
}

int Vlm_BackFromBlank(UINT charset, const char *text, int length, int pos)
{
    if (pos > 0 && pos < length && text[pos] == ' ') return Vlm_PreviousChar(charset, text, length, pos);
    return pos;
}
