// Closing an analysis: phrases of the words around the cursor and the cursor word's own forms.
#include <string.h>
#include "linguabase_int.h"

namespace {

// Bounds the depth-first walk when few combinations make keys (all too short, or too long).
const int kMaxPhraseVisits = 200000;

struct PhraseWalk {
    LangAnalysisContext *c;
    int start, end, tried, limit, visits;
    int position;  // just past the cursor word's form in the phrase, 0 while not reached
    bool stopped;  // the key limit was reached
};

bool IsLetter(const LangAnalysisContext *c, char ch) { return ch && c->isLetter((BYTE)ch) != 0; }

void Walk(PhraseWalk *w, int depth, int used, bool other) {
    LangAnalysisContext *c = w->c;
    int word = w->start + depth;
    LangWordSlot *s = &c->words[word];
    int fanOut = (int)c->settings->fanOutDepth;
    for (int i = 0; i < s->count && !w->stopped; i++) {
        if (i > 0 && depth >= fanOut)
            break;
        if (++w->visits > kMaxPhraseVisits) {
            w->stopped = true;
            break;
        }
        const LangCandidate *cand = &s->candidates[i];
        if (!(cand->kind & 1))
            continue;
        if ((cand->kind & 4) && !(w->start == 0 && depth == 0))
            continue;
        int n = (int)strlen(cand->text), at = used + (depth > 0 ? 1 : 0);
        if (at + n >= LANG_PHRASE_SIZE)
            continue;  // a phrase that does not fit the buffer is not made
        if (depth > 0)
            c->phrase[used] = ' ';
        memcpy(c->phrase + at, cand->text, (size_t)n);
        c->phrase[at + n] = 0;
        int savedPosition = w->position;
        if (word == c->cursorWord)
            w->position = at + n - (n > 0 && !IsLetter(c, cand->text[n - 1]) ? 1 : 0);
        bool usedOther = other || i > 0;
        if (word == w->end) {
            DWORD group = 256u * (DWORD)w->tried + (usedOther ? 16u : 0u);
            if (!Lb_AddKey(c, c->phrase, (DWORD)w->position, LANG_KEY_PHRASE, usedOther ? 1 : 0, group, w->limit))
                w->stopped = true;
        } else {
            Walk(w, depth + 1, at + n, usedOther);
        }
        w->position = savedPosition;
    }
}

// All phrases from the start words before the cursor; stops (keeping what it made) at `limit` keys.
void BuildPhrases(LangAnalysisContext *c, int limit) {
    const LangAnalysisSettings *st = c->settings;
    int cw = c->cursorWord;
    int start = (cw == c->lastWord && cw > 0) ? cw - 1 : cw;
    int low = cw - (int)st->wordsBack;
    if (low < c->firstPhraseWord)
        low = c->firstPhraseWord;
    int tried = 0;
    for (int s = start; s >= low && s >= 0; s--, tried++) {
        int e = s + (int)st->phraseLength - 1;
        if (e > c->lastWord)
            e = c->lastWord;
        if (e <= s)
            continue;  // one word is no phrase: the cursor forms carry it
        PhraseWalk w = {c, s, e, tried, limit, 0, 0, false};
        c->phraseStart = s;
        c->phraseEnd = e;
        Walk(&w, 0, 0, false);
        if (w.stopped)
            break;
    }
}

void AddCursorForms(LangAnalysisContext *c) {
    LangWordSlot *s = &c->words[c->cursorWord];
    for (int i = 0; i < s->count; i++) {
        if (i > 0 && c->settings->phraseLength == 0)
            break;
        const LangCandidate *cand = &s->candidates[i];
        int n = (int)strlen(cand->text);
        int position = c->cursorOffset < 0 ? 0 : c->cursorOffset > n ? n : c->cursorOffset;
        DWORD kind = cand->value | (i == 0 ? LANG_KEY_FIRST_FORM : LANG_KEY_OTHER_FORM);
        Lb_AddKey(c, cand->text, (DWORD)position, kind, cand->extra, i == 0 ? 0 : LANG_KEY_OTHER_GROUP,
                  LANG_MAX_KEYS);
    }
}

}  // namespace

extern "C" int WINAPI Linguabase_EndAnalysis(const LangInfo *info, LangKeyList *out, LangAnalysisContext *c) {
    if (!c) {
        if (out) {
            out->count = 0;
            out->items = nullptr;
        }
        return 0;
    }
    const LangAnalysisSettings *st = c->settings;
    int ok = out != nullptr;
    if (ok && c->cursorWord >= 0 && c->cursorWord < c->wordCount) {
        // Room for the cursor word's own forms is kept before any phrase is made: a crowd of
        // phrases never pushes out the word the user pointed at.
        int reserve = 0, forms = c->words[c->cursorWord].count;
        if (st->addCursorForms && forms > 0)
            reserve = st->phraseLength > 0 ? forms : 1;
        if (c->wordCount > 1 && st->buildPhrases)
            BuildPhrases(c, LANG_MAX_KEYS - reserve);
        if (st->addCursorForms)
            AddCursorForms(c);
    }
    for (int w = 0; w < c->wordCount; w++) {
        LangWordSlot *s = &c->words[w];
        for (int i = 0; i < s->count; i++)
            Linguabase_Free(s->candidates[i].text);
        s->count = 0;
    }
    if (ok) {
        if (c->output) {
            int i = 0;
            while (i < LANG_OUTPUT_SIZE - 1 && IsLetter(c, c->output[i]))
                i++;
            c->output[i] = 0;
        }
        DWORD language = 0;
        if (info)
            memcpy(&language, (const BYTE *)info + 4, 4);
        out->language = language;
        out->count = (DWORD)c->keyCount;
        out->items = c->keys;
        c->keys = nullptr;
        c->keyCount = 0;
    } else {
        for (int i = 0; i < c->keyCount; i++)
            Linguabase_Free(c->keys[i].text);
    }
    Linguabase_Free(c->keys);
    Linguabase_Free(c->text);
    Lb_GiveContext(c);
    return ok;
}
