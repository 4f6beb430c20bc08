// The analysis context: words around the cursor, their candidate forms, and the keys made of them.
#include <string.h>
#include "linguabase_int.h"

namespace {

// At most this many words before the cursor word are kept: a phrase never reaches further back,
// and the slots must leave room for the cursor word and the words after it.
const int kWordsBeforeCursor = 128;

bool InSet(const char *set, char ch) { return set && ch && strchr(set, ch) != nullptr; }
bool IsSeparator(char ch) { return ch == ' ' || ch == '\n' || ch == '\r'; }

bool IsLetter(const LangAnalysisContext *c, char ch) { return ch && c->isLetter((BYTE)ch) != 0; }
void FreeCandidates(LangAnalysisContext *c) {
    for (int w = 0; w < c->wordCount; w++) {
        LangWordSlot *s = &c->words[w];
        for (int i = 0; i < s->count; i++)
            Linguabase_Free(s->candidates[i].text);
        s->count = 0;
    }
}

void FreeKeys(LangAnalysisContext *c) {
    for (int i = 0; i < c->keyCount; i++)
        Linguabase_Free(c->keys[i].text);
    Linguabase_Free(c->keys);
    c->keys = nullptr;
    c->keyCount = 0;
}

void FreeContext(LangAnalysisContext *c) {
    FreeCandidates(c);
    FreeKeys(c);
    Linguabase_Free(c->text);
    Lb_GiveContext(c);
}

struct Piece {
    int start, end;  // the word kept (leading/trailing characters included)
    int pieceStart, pieceEnd;  // the blank-separated piece
    DWORD flags;
};

// The next piece with letters from *pos; false at the end of the text.
bool NextPiece(const LangAnalysisContext *c, int len, int *pos, Piece *out) {
    const char *t = c->text;
    int p = *pos;
    while (p < len) {
        while (p < len && IsSeparator(t[p]))
            p++;
        int ps = p;
        while (p < len && !IsSeparator(t[p]))
            p++;
        int pe = p, first = -1, last = -1;
        for (int i = ps; i < pe; i++)
            if (IsLetter(c, t[i])) {
                if (first < 0)
                    first = i;
                last = i;
            }
        if (first < 0)
            continue;
        out->flags = 0;
        out->start = first;
        out->end = last + 1;
        out->pieceEnd = pe;
        if (first > ps) {
            if (InSet(c->delimiters, t[first - 1]))
                out->flags |= 1;
            if (InSet(c->leading, t[first - 1]))
                out->start = first - 1;
        }
        if (last + 1 < pe) {
            if (InSet(c->delimiters, t[last + 1]))
                out->flags |= 2;
            if (InSet(c->trailing, t[last + 1]))
                out->end = last + 2;
        }
        out->pieceStart = ps;
        *pos = p;
        return true;
    }
    *pos = p;
    return false;
}

// Adds the piece as word n: the kept word first, the whole piece as a further form.
void TakeWord(LangAnalysisContext *c, const Piece &pc, int n) {
    LangWordSlot *s = &c->words[n];
    memset(s, 0, sizeof *s);
    s->flags = pc.flags;
    if (c->wordCount < n + 1)
        c->wordCount = n + 1;
    char *word = Lb_CopyN(c->text + pc.start, pc.end - pc.start);
    if (word) {
        Linguabase_AddCandidate(word, 3, 0, 0, n, c);
        Linguabase_Free(word);
    }
    if (pc.start != pc.pieceStart || pc.end != pc.pieceEnd) {
        char *piece = Lb_CopyN(c->text + pc.pieceStart, pc.pieceEnd - pc.pieceStart);
        if (piece) {
            Linguabase_AddCandidate(piece, 3, 0, 0, n, c);
            Linguabase_Free(piece);
        }
    }
}

}  // namespace

int Lb_AddKey(LangAnalysisContext *c, const char *text, DWORD position, DWORD kind, DWORD extra, DWORD group,
              int limit) {
    if (c->keyCount >= limit || c->keyCount >= LANG_MAX_KEYS)
        return 0;
    int n = (int)strlen(text);
    if (c->settings && n <= (int)c->settings->minimumLength)
        return 1;  // too short: not a key, but not a failure either
    char *copy = Lb_CopyN(text, n);
    if (!copy)
        return 0;
    LangKeyItem *k = &c->keys[c->keyCount++];
    memset(k, 0, sizeof *k);
    k->text = copy;
    k->position = position;
    k->kind = kind;
    k->extra = extra;
    k->group = group;
    return 1;
}

extern "C" LangAnalysisContext *WINAPI Linguabase_BeginAnalysis(const char *text, int cursor,
                                                                const LangAnalysisSettings *settings,
                                                                const char *delimiters, const char *leading,
                                                                const char *trailing, char *output,
                                                                LangCharTest isLetter, LangCharTest isLetterOrDigit,
                                                                LangCompareProc compare) {
    if (!text || !settings || !isLetter || cursor < 0)
        return nullptr;
    int len = (int)strlen(text);
    if (cursor >= len || (BYTE)text[cursor] <= 0x20)
        return nullptr;
    LangAnalysisContext *c = Lb_TakeContext();
    if (!c)
        return nullptr;
    c->settings = settings;
    c->delimiters = delimiters;
    c->leading = leading;
    c->trailing = trailing;
    c->output = output;
    c->isLetter = isLetter;
    c->isLetterOrDigit = isLetterOrDigit;
    c->compare = compare;
    c->cursorWord = -1;
    c->cursorOffset = -1;
    c->lastWord = -1;
    c->text = Lb_CopyN(text, len);
    c->keys = (LangKeyItem *)Linguabase_Alloc((LANG_MAX_KEYS + 1) * sizeof(LangKeyItem));
    if (!c->text || !c->keys || !IsLetter(c, text[cursor])) {
        FreeContext(c);
        return nullptr;
    }
    for (int i = 0; i < len; i++)
        if (c->text[i] == ',')
            c->text[i] = ' ';
    c->cursorChar = (BYTE)text[cursor];
    if (output)
        output[0] = 0;

    // Words that lie wholly before the cursor beyond the reach of any phrase are skipped.
    int before = 0, pos = 0;
    Piece pc;
    while (NextPiece(c, len, &pos, &pc) && pc.pieceEnd <= cursor)
        before++;
    int skip = before > kWordsBeforeCursor ? before - kWordsBeforeCursor : 0;

    int phraseLength = (int)settings->phraseLength;
    int n = 0;
    pos = 0;
    while (n < LANG_MAX_WORDS && NextPiece(c, len, &pos, &pc)) {
        if (skip > 0) {
            skip--;
            continue;
        }
        if (c->cursorWord < 0) {
            if (pc.pieceEnd > cursor) {  // the first word whose end reaches the cursor
                c->cursorWord = n;
                c->cursorOffset = cursor - pc.start;
                if (c->cursorOffset < 0)
                    c->cursorOffset = -1;
                if (pc.flags & 1)
                    c->firstPhraseWord = n;
                TakeWord(c, pc, n);
                c->lastWord = n++;
                if (pc.flags & 2)
                    break;
            } else {
                if (pc.flags & 1)
                    c->firstPhraseWord = n;
                if (pc.flags & 2)
                    c->firstPhraseWord = n + 1;
                TakeWord(c, pc, n);
                c->lastWord = n++;
            }
        } else {
            if (pc.flags & 1)
                break;
            TakeWord(c, pc, n);
            c->lastWord = n++;
            if ((pc.flags & 2) || n - 1 >= c->cursorWord + phraseLength - 1)
                break;
        }
    }
    c->wordCount = n;
    if (n == 0) {
        FreeContext(c);
        return nullptr;
    }
    if (c->cursorWord < 0)
        c->cursorWord = c->lastWord;
    int lowest = c->cursorWord - phraseLength + 1;
    if (c->firstPhraseWord < lowest)
        c->firstPhraseWord = lowest;
    if (c->firstPhraseWord < 0)
        c->firstPhraseWord = 0;
    if (c->firstPhraseWord > c->cursorWord)
        c->firstPhraseWord = c->cursorWord;

    if (settings->addSentence) {
        int from = 0;
        for (int i = cursor; i >= 0; i--)
            if (InSet(trailing, text[i])) {
                from = i + 1;
                break;
            }
        while (from < cursor && (BYTE)text[from] <= 0x20)
            from++;  // the blanks after a sentence end are no part of the sentence
        Lb_AddKey(c, text + from, (DWORD)(cursor - from), LANG_KEY_SENTENCE, 0, 0, LANG_MAX_KEYS);
    }
    return c;
}
