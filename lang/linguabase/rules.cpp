// Rule tables (suffix and prefix tries with an exception index, loaded from data resources), string
// lists, replace rules and counted resource tables.
#include <string.h>
#include "linguabase_int.h"
#include "wordstrand.h"

namespace {

// A bounds-checked reader over one resource: every read checks, the first failure sticks.
struct Reader {
    const BYTE *base;
    DWORD size;
    bool bad;
    DWORD U32(DWORD at) {
        DWORD v = 0;
        if (at > size || size - at < 4)
            bad = true;
        else
            memcpy(&v, base + at, 4);
        return v;
    }
    WORD U16(DWORD at) {
        WORD v = 0;
        if (at > size || size - at < 2)
            bad = true;
        else
            memcpy(&v, base + at, 2);
        return v;
    }
    BYTE U8(DWORD at) {
        if (at >= size) {
            bad = true;
            return 0;
        }
        return base[at];
    }
    // A span of n bytes at `at`.
    void Span(DWORD at, DWORD n) {
        if (at > size || size - at < n)
            bad = true;
    }
    // A u8-length string at `at`.
    void String(DWORD at) { Span(at + 1, U8(at)); }
};

const BYTE *FindData(HMODULE module, int id, DWORD *size) {
    HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(id), (LPCSTR)RT_RCDATA);
    HGLOBAL g = r ? LoadResource(module, r) : nullptr;
    *size = r ? SizeofResource(module, r) : 0;
    return g ? (const BYTE *)LockResource(g) : nullptr;
}

void Clear(LangRuleTable *t) {
    memset(t, 0, sizeof *t);
    t->resultKind = 3;
}

int Load(HMODULE module, int id, LangRuleTable *table) {
    if (!table)
        return 0;
    Clear(table);
    DWORD size;
    const BYTE *base = FindData(module, id, &size);
    if (!base)
        return 0;
    Reader rd = {base, size, false};
    DWORD count = rd.U32(0), nodeAt = rd.U32(4), exceptions = rd.U32(8), indexAt = rd.U32(12);
    if (rd.bad || count == 0 || count > 0xFFFF)
        return 0;
    rd.Span(nodeAt, count * 16);
    rd.Span(indexAt, exceptions * 4);
    if (exceptions > size / 4)
        rd.bad = true;
    for (DWORD i = 0; i < exceptions && !rd.bad; i++)
        rd.String(rd.U32(indexAt + 4 * i));
    LangRuleNode *nodes = rd.bad ? nullptr : (LangRuleNode *)Linguabase_Alloc(count * sizeof(LangRuleNode));
    for (DWORD i = 0; nodes && i < count && !rd.bad; i++) {
        DWORD at = nodeAt + 16 * i;
        LangRuleNode *n = &nodes[i];
        n->textLength = rd.U8(at);
        n->childCount = rd.U8(at + 1);
        n->replacementCount = rd.U16(at + 2);
        DWORD textAt = rd.U32(at + 4), childAt = rd.U32(at + 8), repAt = rd.U32(at + 12);
        rd.Span(textAt, n->textLength);
        rd.Span(childAt, 2u * n->childCount);
        rd.Span(repAt, 4u * n->replacementCount);
        if (rd.bad)
            break;
        if (i > 0 && n->textLength == 0)
            rd.bad = true;  // every step below the root must use up at least one byte
        for (DWORD k = 0; k < n->childCount; k++) {
            WORD child = rd.U16(childAt + 2 * k);
            if (child == 0 || child >= count)
                rd.bad = true;
        }
        for (DWORD k = 0; k < n->replacementCount; k++)
            rd.String(rd.U32(repAt + 4 * k));
        n->text = base + textAt;
        n->children = (const WORD *)(base + childAt);
        n->replacements = (const DWORD *)(base + repAt);
    }
    if (!nodes || rd.bad) {
        Linguabase_Free(nodes);
        OutputDebugStringA("linguabase: damaged rule table refused\n");
        return 0;
    }
    table->base = base;
    table->size = size;
    table->nodes = nodes;
    table->nodeCount = count;
    table->exceptionCount = exceptions;
    table->exceptionIndex = indexAt;
    return 1;
}

WORD Child(const LangRuleNode *n, int k) {
    WORD v;
    memcpy(&v, (const BYTE *)n->children + 2 * k, 2);
    return v;
}

const BYTE *Replacement(const LangRuleTable *t, const LangRuleNode *n, int k) {
    DWORD off;
    memcpy(&off, (const BYTE *)n->replacements + 4 * k, 4);
    return t->base + off;
}

bool IsException(const LangRuleTable *t, const char *word, int n) {
    int lo = 0, hi = (int)t->exceptionCount - 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        DWORD off;
        memcpy(&off, t->base + t->exceptionIndex + 4 * mid, 4);
        const BYTE *s = t->base + off;
        int len = s[0], m = len < n ? len : n;
        int r = memcmp(s + 1, word, (size_t)m);
        if (r == 0)
            r = len < n ? -1 : len > n ? 1 : 0;
        if (r == 0)
            return true;
        if (r < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return false;
}

// Hands one form on: to the list when given, else as a candidate.  false when the list is full.
bool Emit(const char *form, int index, LangAnalysisContext *c, const LangRuleTable *t, LangStringList *list) {
    if (list)
        return Linguabase_AddString(form, list) != 0;
    if (c)
        Linguabase_AddCandidate(form, t->resultKind, t->resultValue, 0, index, c);
    return true;
}

int Apply(bool suffix, const char *word, int length, int index, LangAnalysisContext *c, const LangRuleTable *t,
          LangStringList *list) {
    if (!word || !t || !t->nodes || length <= 0)
        return 0;
    int len = (int)strnlen(word, (size_t)length);
    if (len <= 0 || len >= LANG_OUTPUT_SIZE)
        return 0;
    char lower[LANG_OUTPUT_SIZE];
    memcpy(lower, word, (size_t)len);
    lower[len] = 0;
    Wordstrand_ToLower(lower, lower);
    int applied = 0, remaining = len, node = 0;
    bool full = false;
    while (!full) {
        const LangRuleNode *n = &t->nodes[node];
        int next = -1;
        for (int k = 0; k < n->childCount; k++) {
            const LangRuleNode *ch = &t->nodes[Child(n, k)];
            int l = ch->textLength;
            if (l > remaining)
                continue;
            const char *at = suffix ? lower + remaining - l : lower + len - remaining;
            if (memcmp(ch->text, at, (size_t)l) == 0) {
                next = Child(n, k);
                break;  // the first match decides: siblings never shadow one another in a sound table
            }
        }
        if (next < 0)
            break;
        const LangRuleNode *ch = &t->nodes[next];
        int left = remaining - ch->textLength;
        if (t->mode == 0 || left == 0) {
            for (int k = 0; k < ch->replacementCount && !full; k++) {
                const BYTE *rep = Replacement(t, ch, k);
                char form[2 * LANG_OUTPUT_SIZE];
                if (suffix) {
                    memcpy(form, lower, (size_t)left);
                    memcpy(form + left, rep + 1, rep[0]);
                    form[left + rep[0]] = 0;
                } else {
                    memcpy(form, rep + 1, rep[0]);
                    memcpy(form + rep[0], lower + len - left, (size_t)left);
                    form[rep[0] + left] = 0;
                }
                applied = 1;
                full = !Emit(form, index, c, t, list);
            }
        }
        if (left == 0)
            break;
        remaining = left;
        node = next;
    }
    if (!applied && t->mode == 1 && IsException(t, lower, len))
        return 1;
    return applied;
}

}  // namespace

extern "C" int WINAPI Linguabase_LoadRuleTable(HMODULE module, int id, LangRuleTable *table) {
    return Load(module, id, table);
}

extern "C" int WINAPI Linguabase_LoadPrefixTable(HMODULE module, int id, LangRuleTable *table) {
    return Load(module, id, table);
}

extern "C" void WINAPI Linguabase_FreeRuleTable(LangRuleTable *table) {
    if (!table)
        return;
    Linguabase_Free(table->nodes);
    Clear(table);
}

extern "C" void WINAPI Linguabase_FreePrefixTable(LangRuleTable *table) { Linguabase_FreeRuleTable(table); }

extern "C" int WINAPI Linguabase_ApplySuffixRules(const char *word, int length, int index, LangAnalysisContext *c,
                                                  const LangRuleTable *table, LangStringList *list) {
    return Apply(true, word, length, index, c, table, list);
}

extern "C" int WINAPI Linguabase_ApplyPrefixRules(const char *word, int length, int index, LangAnalysisContext *c,
                                                  const LangRuleTable *table, LangStringList *list) {
    return Apply(false, word, length, index, c, table, list);
}

extern "C" int WINAPI Linguabase_GetResourceTable(HMODULE module, int id, LangResourceTable *table) {
    if (!table)
        return 0;
    memset(table, 0, sizeof *table);
    DWORD size;
    const BYTE *base = FindData(module, id, &size);
    if (!base)
        return 0;
    Reader rd = {base, size, false};
    DWORD count = rd.U32(0), second = rd.U32(4);
    if (rd.bad || count > (size - 8) / 8)
        return 0;
    Reader data = {base + 8, size - 8, false};
    for (DWORD i = 0; i < count && !data.bad; i++)
        data.String(data.U32(8 * i));
    if (data.bad)
        return 0;
    table->count = count;
    table->second = second;
    table->entrySize = 8;
    table->data = base + 8;
    return 1;
}

extern "C" void WINAPI Linguabase_ReleaseResourceTable(LangResourceTable *table) {
    if (table)
        memset(table, 0, sizeof *table);  // the resource stays with its module
}

// ---- String lists -----------------------------------------------------------------------------

extern "C" int WINAPI Linguabase_AddString(const char *text, LangStringList *list) {
    if (!list || list->count < 0)
        return 0;
    if (!text || !text[0])
        return 1;  // nothing to keep, but room is left
    if (list->count >= LANG_STRING_LIST_MAX)
        return 0;
    for (int i = 0; i < list->count; i++)
        if (strcmp(list->strings[i], text) == 0)
            return 1;
    char *copy = Lb_Copy(text);
    if (!copy)
        return 0;
    list->strings[list->count++] = copy;
    return 1;
}

extern "C" int WINAPI Linguabase_FreeStrings(LangStringList *list) {
    if (!list)
        return 0;
    int n = list->count;
    for (int i = 0; i < n && i < LANG_STRING_LIST_MAX; i++) {
        Linguabase_Free(list->strings[i]);
        list->strings[i] = nullptr;
    }
    list->count = 0;
    return n;
}

extern "C" int WINAPI Linguabase_AddStringsAsCandidates(const LangStringList *list, DWORD kind, DWORD value, int word,
                                                        LangAnalysisContext *c) {
    if (!list || !c)
        return 0;
    int n = list->count < LANG_STRING_LIST_MAX ? list->count : LANG_STRING_LIST_MAX;
    for (int i = 0; i < n; i++)
        Linguabase_AddCandidate(list->strings[i], kind, value, 0, word, c);
    return n;
}

// ---- Replace rules ----------------------------------------------------------------------------

extern "C" int WINAPI Linguabase_ReplaceInWord(char *buffer, int length, int character, int replacement,
                                               const char *suffix, const char *append, int last) {
    if (!buffer || length < 0 || length >= LANG_OUTPUT_SIZE)
        return 0;
    char work[LANG_OUTPUT_SIZE];
    memcpy(work, buffer, (size_t)length);
    int area = length;
    bool given = false;
    if (suffix && suffix[0]) {
        int n = (int)strlen(suffix);
        if (n > length)
            return 0;
        for (int i = 0; i < n; i++)
            if (Wordstrand_MapCase(0, 2, (BYTE)work[length - n + i]) != Wordstrand_MapCase(0, 2, (BYTE)suffix[i]))
                return 0;
        area = length - n;
        given = true;
    }
    if (character & 0xFF) {
        int at = -1;
        for (int i = 0; i < area; i++)
            if ((BYTE)work[i] == (BYTE)character) {
                at = i;
                if (!last)
                    break;
            }
        if (at < 0)
            return 0;
        work[at] = (char)replacement;
        given = true;
    }
    if (!given)
        return 0;
    int n = area;
    if (append) {
        int a = (int)strlen(append);
        if (n + a >= LANG_OUTPUT_SIZE)
            return 0;
        memcpy(work + n, append, (size_t)a);
        n += a;
    }
    memcpy(buffer, work, (size_t)n);
    buffer[n] = 0;
    return 1;
}

extern "C" int WINAPI Linguabase_ApplyReplaceRules(const char *word, const LangReplaceRule *rules, DWORD kind, int index,
                                                   LangAnalysisContext *c, LangStringList *list) {
    if (!word || !rules)
        return 0;
    int len = (int)strlen(word), applied = 0;
    if (len >= LANG_OUTPUT_SIZE)
        return 0;
    for (; rules->character || rules->replacement || rules->suffix || rules->append; rules++) {
        char buf[LANG_OUTPUT_SIZE];
        memcpy(buf, word, (size_t)len + 1);
        if (!Linguabase_ReplaceInWord(buf, len, rules->character, rules->replacement, rules->suffix, rules->append,
                                      rules->last))
            continue;
        applied++;
        if (list) {
            if (!Linguabase_AddString(buf, list))
                break;
        } else if (c) {
            Linguabase_AddCandidate(buf, kind, 0, 0, index, c);
        }
    }
    return applied;
}
