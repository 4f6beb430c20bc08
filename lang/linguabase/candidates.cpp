// Candidate forms of a word: adds, the trimmed word, letter runs, ending, prefix and word lists.
#include <string.h>
#include "linguabase_int.h"
#include "wordstrand.h"

namespace {

bool ValidWord(const LangAnalysisContext *c, int word) { return c && word >= 0 && word < c->wordCount; }
bool IsLetter(const LangAnalysisContext *c, char ch) { return ch && c->isLetter((BYTE)ch) != 0; }
bool IsDigit(const LangAnalysisContext *c, char ch) {
    return ch && !IsLetter(c, ch) && c->isLetterOrDigit && c->isLetterOrDigit((BYTE)ch) != 0;
}

void CopyOut(LangAnalysisContext *c, const char *text, int n) {
    if (!c->output)
        return;
    if (n > LANG_OUTPUT_SIZE - 1)
        n = LANG_OUTPUT_SIZE - 1;  // the driver's buffer holds LANG_OUTPUT_SIZE bytes, no more
    if (n > 0)
        memcpy(c->output, text, (size_t)n);
    c->output[n > 0 ? n : 0] = 0;
}

// Adds the first n bytes of text (kind, value, extra).
void AddN(LangAnalysisContext *c, const char *text, int n, DWORD kind, DWORD value, int word) {
    char *copy = Lb_CopyN(text, n);
    if (copy) {
        Linguabase_AddCandidate(copy, kind, value, 0, word, c);
        Linguabase_Free(copy);
    }
}

// Case-blind equality of n bytes (code page 1252 case).
bool EqualNoCase(const char *a, const char *b, int n) {
    for (int i = 0; i < n; i++)
        if (Wordstrand_MapCase(0, 2, (BYTE)a[i]) != Wordstrand_MapCase(0, 2, (BYTE)b[i]))
            return false;
    return true;
}

int Compare(const LangAnalysisContext *c, DWORD flags, const char *a, const char *b, int length) {
    if (c->compare)
        return c->compare(flags, a, b, length);
    return length > 0 ? Wordstrand_CompareStringN(a, b, length) : Wordstrand_CompareString(a, b);
}

}  // namespace

extern "C" DWORD WINAPI Linguabase_AddCandidate(const char *text, DWORD kind, DWORD value, DWORD extra, int word,
                                                LangAnalysisContext *c) {
    if (!text || !text[0] || !c || word < 0 || word >= LANG_MAX_WORDS || word >= c->wordCount)
        return 0;
    LangWordSlot *s = &c->words[word];
    for (int i = 0; i < s->count; i++)
        if (strcmp(s->candidates[i].text, text) == 0)
            return value;  // held already
    if (s->count >= LANG_MAX_CANDIDATES)
        return 0;
    char *copy = Lb_Copy(text);
    if (!copy)
        return 0;
    LangCandidate *cand = &s->candidates[s->count++];
    cand->text = copy;
    cand->kind = kind;
    cand->value = value;
    cand->extra = extra;
    return value;
}

extern "C" void WINAPI Linguabase_ReplaceWord(const char *text, int word, LangAnalysisContext *c) {
    if (!text || !text[0] || !ValidWord(c, word))
        return;
    LangWordSlot *s = &c->words[word];
    if (s->count == 0) {
        Linguabase_AddCandidate(text, 3, 0, 0, word, c);
        return;
    }
    LangCandidate *first = &s->candidates[0];
    if (strcmp(first->text, text) == 0)
        return;
    char *copy = Lb_Copy(text);
    if (!copy)
        return;
    // A form equal to the new text further down the list gives way to it.
    for (int i = 1; i < s->count; i++)
        if (strcmp(s->candidates[i].text, text) == 0) {
            Linguabase_Free(s->candidates[i].text);
            memmove(&s->candidates[i], &s->candidates[i + 1], (size_t)(s->count - i - 1) * sizeof(LangCandidate));
            s->count--;
            break;
        }
    char *old = first->text;
    first->text = copy;
    Linguabase_AddCandidate(old, first->kind, first->value, 1, word, c);
    Linguabase_Free(old);
}

extern "C" void WINAPI Linguabase_AddLetterRun(const char *text, int length, int word, LangAnalysisContext *c) {
    if (!text || !ValidWord(c, word) || length <= 0 || length >= 256)
        return;
    int off = c->cursorOffset;
    if (off < 0 || off >= length || !IsLetter(c, text[off]))
        return;
    int a = off, b = off + 1;
    while (a > 0 && IsLetter(c, text[a - 1]))
        a--;
    while (b < length && IsLetter(c, text[b]))
        b++;
    if ((a > 0 && IsDigit(c, text[a - 1])) || (b < length && IsDigit(c, text[b]))) {
        AddN(c, text + a, b - a, 2, 0, word);
        CopyOut(c, text + a, b - a);
    }
}

extern "C" int WINAPI Linguabase_TrimWord(const char *text, int length, int word, LangAnalysisContext *c) {
    if (!text || !ValidWord(c, word) || length <= 0)
        return 0;
    int a = 0, b = length;
    while (a < b && !IsLetter(c, text[a]))
        a++;
    while (b > a && !IsLetter(c, text[b - 1]))
        b--;
    if (a == b) {
        CopyOut(c, "", 0);
        return 0;
    }
    if (a > 0 || b < length) {
        char *trimmed = Lb_CopyN(text + a, b - a);
        if (trimmed) {
            Linguabase_ReplaceWord(trimmed, word, c);
            Linguabase_Free(trimmed);
        }
        if (word == c->cursorWord && c->cursorOffset >= 0)
            c->cursorOffset = c->cursorOffset >= a ? c->cursorOffset - a : 0;
    }
    const char *t = text + a;
    int n = b - a;
    CopyOut(c, t, n);
    bool inner = false;
    for (int i = 0; i < n && !inner; i++)
        inner = !IsLetter(c, t[i]);
    if (!inner)
        return 0;
    int off = word == c->cursorWord ? c->cursorOffset : 0;
    if (off < 0 || off >= n || !IsLetter(c, t[off]))
        return 0;
    int ra = off, rb = off + 1;
    while (ra > 0 && IsLetter(c, t[ra - 1]))
        ra--;
    while (rb < n && IsLetter(c, t[rb]))
        rb++;
    AddN(c, t + ra, rb - ra, 7, 0, word);
    CopyOut(c, t + ra, rb - ra);
    return 1;
}

extern "C" void WINAPI Linguabase_ApplyEndingList(const char *word, const LangEndingRule *list, int length, int index,
                                                  LangAnalysisContext *c) {
    if (!word || !list || !ValidWord(c, index))
        return;
    for (; list->ending; list++) {
        int n = list->length;
        if (n <= 0 || n > length || Compare(c, 32, list->ending, word + length - n, n) != 0)
            continue;
        char buf[LANG_OUTPUT_SIZE];
        const char *rep = list->replacement ? list->replacement : "";
        int stem = length - n, r = (int)strlen(rep);
        if (stem + r >= (int)sizeof buf)
            continue;
        memcpy(buf, word, (size_t)stem);
        memcpy(buf + stem, rep, (size_t)r + 1);
        Linguabase_AddCandidate(buf, 3, 0, 0, index, c);
    }
}

extern "C" void WINAPI Linguabase_ApplyPrefixList(const char *word, const LangPrefixRule *list, int length, int index,
                                                  LangAnalysisContext *c) {
    if (!word || !list || !ValidWord(c, index))
        return;
    for (; list->length > 0; list++) {
        int n = list->length;
        if (!list->match || n > length || !EqualNoCase(list->match, word, n))
            continue;
        char buf[LANG_OUTPUT_SIZE];
        const char *rep = list->replacement ? list->replacement : "";
        int r = (int)strlen(rep), rest = length - n;
        if (r + rest >= (int)sizeof buf)
            continue;
        memcpy(buf, rep, (size_t)r);
        memcpy(buf + r, word + n, (size_t)rest);
        buf[r + rest] = 0;
        Linguabase_AddCandidate(buf, 3, 0, 0, index, c);
    }
}

namespace {
void WordList(const char *word, const LangWordPair *list, int index, LangAnalysisContext *c, bool noCase) {
    if (!word || !list || !ValidWord(c, index))
        return;
    while (list->key && Compare(c, 0, list->key, word, 0) != 0)
        list++;
    for (; list->key; list++) {
        bool same = noCase ? Compare(c, 0x20, list->key, word, 0) == 0 : Compare(c, 0, list->key, word, 0) == 0;
        if (!same)
            break;
        if (list->form)
            Linguabase_AddCandidate(list->form, 3, 0, 0, index, c);
    }
}
}  // namespace

extern "C" void WINAPI Linguabase_ApplyWordList(const char *word, const LangWordPair *list, int index,
                                                LangAnalysisContext *c) {
    WordList(word, list, index, c, false);
}

extern "C" void WINAPI Linguabase_ApplyWordListNoCase(const char *word, const LangWordPair *list, int index,
                                                      LangAnalysisContext *c) {
    WordList(word, list, index, c, true);
}

extern "C" void WINAPI Linguabase_LookupSortedTable(const char *word, int index, LangAnalysisContext *c,
                                                    const LangResourceTable *table) {
    if (!word || !table || !table->data || !ValidWord(c, index) || table->entrySize < 8)
        return;
    char stored[LANG_OUTPUT_SIZE];
    auto entry = [&](DWORD i) {
        DWORD off;
        memcpy(&off, table->data + i * table->entrySize, 4);
        const BYTE *p = table->data + off;
        memcpy(stored, p + 1, p[0]);
        stored[p[0]] = 0;
    };
    int lo = 0, hi = (int)table->count - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        entry((DWORD)mid);
        int r = Compare(c, 0x20, word, stored, 0);  // found without case
        if (r == 0) {
            if (strcmp(stored, word) != 0)
                Linguabase_AddCandidate(stored, 3, 4096, 0, index, c);
            return;
        }
        if (r < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
}
