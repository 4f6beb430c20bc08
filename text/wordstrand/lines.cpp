// Joining the lines of captured text and finding the sentence around a position.
//
// Line ends: CR LF, a lone CR and a lone LF each count as one line end (tagged text carries single
// CRs, plain text from the clipboard or a file CR LF).  A line end that is kept is written as
// CR LF.  In tagged text every run that begins with a tag ends with CR LF, which stands for a line
// end at the end of that run, so the run's own final line end is not written a second time.
#include "wordstrand_int.h"

namespace {

typedef const unsigned char *Bytes;

const UINT kJoinWithBlank = 1;   // keep sentence and paragraph ends, join other lines with a blank
const UINT kBreakSentences = 2;  // a sentence end followed by a blank starts a new line

// Bytes of the line end at p (2 for CR LF, 1 for a lone CR or LF), 0 when p holds none.
int LineEndLen(Bytes p) {
    if (p[0] == '\r') return p[1] == '\n' ? 2 : 1;
    return p[0] == '\n' ? 1 : 0;
}

void Put(char *out, int &n, unsigned char c) {
    if (out) out[n] = char(c);
    ++n;
}

// Joins the lines of [p, end) in one charset, appending to out at n; returns the new length.
int JoinRun(UINT charset, Bytes p, Bytes end, char *out, int n, UINT flags, bool dropFinalLineEnd) {
    Bytes before = nullptr;  // the character before the current position, null after a line end
    while (p < end && *p) {
        if (int le = LineEndLen(p)) {
            const Bytes next = p + le;
            if (dropFinalLineEnd && (next >= end || !*next)) break;
            if (!(flags & kJoinWithBlank)) {
                p = next;
            } else if (before && WsInt_IsSentenceEnd(charset, before)) {
                Put(out, n, '\r');
                Put(out, n, '\n');
                p = next;
            } else if (int le2 = next < end ? LineEndLen(next) : 0) {
                // A paragraph break: the first line end goes, the second stays.
                Put(out, n, '\r');
                Put(out, n, '\n');
                p = next + le2;
            } else {
                Put(out, n, ' ');
                p = next;
            }
            before = nullptr;
            continue;
        }
        int len = WsInt_CharLen(charset, p);
        if (p + len > end) len = 1;  // a lead byte at the end of a run keeps to its run
        for (int i = 0; i < len; ++i) Put(out, n, p[i]);
        if ((flags & kBreakSentences) && p + len < end && p[len] == ' ' && WsInt_IsSentenceEnd(charset, p)) {
            Put(out, n, '\r');
            Put(out, n, '\n');
        }
        before = p;
        p += len;
    }
    return n;
}

// Length of the charset tag at p (4, or 6 for the editor's font form), 0 when none.
int TagLen(Bytes p) {
    if (p[0] != 0x1B || p[1] != 'F' || !p[2] || !p[3]) return 0;
    if (p[2] == '0' && p[3] == '1' && p[4] && p[5]) return 6;
    return 4;
}

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" {

int WINAPI Wordstrand_JoinLines(UINT charset, const char *text, char *out, UINT flags) {
    if (!out) return 0;
    Bytes p = reinterpret_cast<Bytes>(text ? text : "");
    int n = JoinRun(charset, p, p + lstrlenA(reinterpret_cast<const char *>(p)), out, 0, flags, false);
    out[n] = 0;
    return n + 1;
}

int WINAPI Wordstrand_JoinLinesAlloc(const char *taggedText, char *out, UINT flags) {
    if (!out) return 0;
    Bytes p = reinterpret_cast<Bytes>(taggedText ? taggedText : "");
    UINT charset = 0;
    bool tagged = false;
    int n = 0;
    while (*p) {
        if (int tag = TagLen(p)) {
            if (tag == 4) charset = Strandkit_GetTagCharset(reinterpret_cast<const char *>(p));
            p += tag;
            tagged = true;
            continue;
        }
        Bytes end = p;
        while (*end && TagLen(end) == 0) ++end;
        n = JoinRun(charset, p, end, out, n, flags, tagged);
        if (tagged) {
            Put(out, n, '\r');
            Put(out, n, '\n');
        }
        tagged = false;
        p = end;
    }
    out[n] = 0;
    return n + 1;
}

int WINAPI Wordstrand_FindBreakBefore(UINT charset, const char *text, int position, char *out) {
    if (!text || !out || !*text || position < 0 || position >= lstrlenA(text)) return 0;
    Bytes s = reinterpret_cast<Bytes>(text);
    // Walk the characters once: the last sentence end before the character that holds position
    // and the first one at or after it.  Position inside a double-byte character means that
    // character.
    Bytes start = s, stop = nullptr;
    for (Bytes p = s; *p;) {
        const int len = WsInt_CharLen(charset, p);
        const bool atOrAfter = p + len > s + position;
        if (WsInt_IsSentenceEnd(charset, p)) {
            if (!atOrAfter) {
                start = p + len;
            } else {
                stop = p + len;
                break;
            }
        }
        p += len;
    }
    if (!stop) stop = s + lstrlenA(text);
    while (start < stop && IsBlank(*start)) ++start;
    while (stop > start && IsBlank(stop[-1])) --stop;
    if (start == stop) return 0;
    int n = 0;
    for (Bytes p = start; p < stop; ++p) out[n++] = char(*p);
    out[n] = 0;
    return 1;
}

}  // extern "C"
