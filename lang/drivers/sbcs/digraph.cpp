// Letters that a language writes as two in compares and normalisation (sharp s as "ss").
#include <string.h>
#include "sbcs_int.h"

namespace {

const SbcsDigraph *Find(const SbcsDigraph *digraphs, BYTE b) {
    for (const SbcsDigraph *d = digraphs; d->letter; d++)
        if (d->letter == b)
            return d;
    return nullptr;
}

}  // namespace

int Sbcs_ExpandDigraphs(const SbcsDigraph *digraphs, const char *text, int n, char *out) {
    int o = 0;
    for (int i = 0; i < n; i++) {
        const SbcsDigraph *d = Find(digraphs, (BYTE)text[i]);
        if (d) {
            out[o++] = d->two[0];
            out[o++] = d->two[1];
        } else {
            out[o++] = text[i];
        }
    }
    out[o] = 0;
    return o;
}

char *Sbcs_ExpandedCopy(const SbcsDigraph *digraphs, const char *text, int length, int *newLength) {
    if (!text)
        return nullptr;
    int n = length > 0 ? (int)strnlen(text, (size_t)length) : (int)strlen(text);
    bool any = false;
    for (const SbcsDigraph *d = digraphs; d->letter && !any; d++)
        any = memchr(text, d->letter, (size_t)n) != nullptr;
    if (!any)
        return nullptr;
    char *copy = (char *)Linguabase_Alloc((DWORD)(2 * n + 1));
    if (copy) {
        int m = Sbcs_ExpandDigraphs(digraphs, text, n, copy);
        if (newLength && length > 0)
            *newLength = m;
    }
    return copy;
}

DWORD Sbcs_ScoreExpanded(const SbcsDigraph *digraphs, DWORD flags, int prefixLength, const char *key, int keyLength,
                         const char *text, int textLength) {
    char *k = Sbcs_ExpandedCopy(digraphs, key, keyLength, &keyLength);
    char *t = Sbcs_ExpandedCopy(digraphs, text, textLength, &textLength);
    DWORD r = Linguabase_ScoreLatin(flags, prefixLength, k ? k : key, keyLength, t ? t : text, textLength);
    Linguabase_Free(k);
    Linguabase_Free(t);
    return r;
}
