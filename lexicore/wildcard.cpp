// Wildcard patterns: "*" any run, "?" one byte, "[abc]" one byte of a set, "[^abc]" one byte not in
// it, "[a-z]" one byte of a range.  A pattern is compiled into tokens once; the walk starts from its
// longer fixed end (forward from a leading literal, over the backward index from a trailing one)
// or, with neither, visits every entry.
#include <string>
#include <vector>
#include "query_int.h"

namespace {

const size_t kMaxTokens = 256;

enum TokenKind { kLiteral, kStar, kOne, kSet, kRange };

struct Token {
    TokenKind kind;
    std::string text;  // literal bytes, or the members of a set
    bool negate;
    unsigned char low, high;  // range bounds
};

bool IsWild(unsigned char c) { return c == '*' || c == '?' || c == '[' || c == ']' || c == '^'; }

bool TokenTakes(const Token &t, unsigned char c) {
    bool in;
    if (t.kind == kSet)
        in = t.text.find((char)c) != std::string::npos;
    else
        in = c >= t.low && c <= t.high;
    return in != t.negate;
}

// Whether the token can start at text[i] (a star can always).
bool CanStart(const Token &t, const unsigned char *text, int i, int n) {
    switch (t.kind) {
    case kStar: return true;
    case kOne: return i < n;
    case kLiteral: return i + (int)t.text.size() <= n && memcmp(text + i, t.text.data(), t.text.size()) == 0;
    default: return i < n && TokenTakes(t, text[i]);
    }
}

}  // namespace

struct LcPattern {
    std::vector<Token> tokens;
};

bool LcWild_HasWildcard(DicSession *s, const char *key) {
    const unsigned char *k = (const unsigned char *)key;
    for (size_t i = 0; k[i]; i++) {
        if (LcQuery_IsLead(s, k[i]) && k[i + 1]) {
            i++;
            continue;
        }
        if (IsWild(k[i])) return true;
    }
    return false;
}

LcPattern *LcWild_Compile(DicSession *s, const char *pattern) {
    LcPattern *p = new (std::nothrow) LcPattern;
    if (!p) return nullptr;
    const unsigned char *t = (const unsigned char *)pattern;
    bool ok = true;
    for (size_t i = 0; t[i] && ok;) {
        if (p->tokens.size() >= kMaxTokens) {
            ok = false;
            break;
        }
        unsigned char c = t[i];
        if (c == '*' || c == '?') {
            p->tokens.push_back(Token{c == '*' ? kStar : kOne, std::string(), false, 0, 0});
            i++;
        } else if (c == ']') {
            ok = false;  // closes a set that is not open
        } else if (c == '[') {
            Token tok{kSet, std::string(), false, 0, 0};
            i++;
            if (t[i] == '^') {
                tok.negate = true;
                i++;
            }
            std::string members;
            bool closed = false;
            for (; t[i]; i++) {
                if (t[i] == ']') {
                    closed = true;
                    i++;
                    break;
                }
                if (t[i] == '[' || t[i] == '*' || t[i] == '?') break;  // a token opened inside
                members += (char)t[i];
            }
            if (!closed || members.empty()) {
                ok = false;
            } else if (members.find('-') != std::string::npos) {
                // A range: exactly two bounds around one dash.
                size_t dash = members.find('-');
                if (members.size() != 3 || dash != 1) {
                    ok = false;
                } else {
                    tok.kind = kRange;
                    tok.low = (unsigned char)members[0];
                    tok.high = (unsigned char)members[2];
                    if (tok.low > tok.high) ok = false;
                }
            } else {
                tok.text = members;
            }
            if (ok) p->tokens.push_back(tok);
        } else {
            // A literal run; double-byte characters stay whole.
            std::string run;
            while (t[i] && (!IsWild(t[i]) || t[i] == '^')) {
                if (LcQuery_IsLead(s, t[i]) && t[i + 1]) run += (char)t[i++];
                run += (char)t[i++];
            }
            if (!p->tokens.empty() && p->tokens.back().kind == kLiteral)
                p->tokens.back().text += run;
            else
                p->tokens.push_back(Token{kLiteral, run, false, 0, 0});
        }
    }
    if (!ok || p->tokens.empty()) {
        delete p;
        return nullptr;
    }
    return p;
}

void LcWild_Free(LcPattern *p) { delete p; }

bool LcWild_Match(const LcPattern *p, const char *textIn, int n) {
    const unsigned char *text = (const unsigned char *)textIn;
    const std::vector<Token> &tk = p->tokens;
    // A trailing literal ends the text in any match: most headwords of a walk fail there, before
    // the stars are tried at each of their bytes.
    const Token &last = tk.back();
    if (last.kind == kLiteral) {
        int at = n - (int)last.text.size();
        if (at < 0 || memcmp(text + at, last.text.data(), last.text.size()) != 0) return false;
    }
    size_t ti = 0;
    int i = 0;
    long starToken = -1;  // the token after the last star
    int starText = 0;     // where that token was tried last
    for (;;) {
        if (ti == tk.size()) {
            if (i == n) return true;
        } else if (tk[ti].kind == kStar) {
            starToken = (long)++ti;
            starText = i;
            if (ti == tk.size()) return true;  // a trailing star takes the rest
            continue;
        } else if (CanStart(tk[ti], text, i, n)) {
            i += tk[ti].kind == kLiteral ? (int)tk[ti].text.size() : 1;
            ti++;
            continue;
        }
        // Mismatch: resume after the last star one byte further on.
        if (starToken < 0 || starText >= n) return false;
        ti = (size_t)starToken;
        i = ++starText;
    }
}

bool LcWild_Fixed(const LcPattern *p, bool back, char *low, char *high, int *span) {
    const Token &t = back ? p->tokens.back() : p->tokens.front();
    low[0] = high[0] = 0;
    *span = 0;
    if (t.kind == kLiteral) {
        Lc_Copy(low, t.text.c_str(), 256);
        Lc_Copy(high, t.text.c_str(), 256);
        *span = 0;
        return true;
    }
    if ((t.kind == kSet || t.kind == kRange) && !t.negate) {
        unsigned char lo = t.kind == kRange ? t.low : 255, hi = t.kind == kRange ? t.high : 0;
        for (unsigned char c : t.text) {
            if (c < lo) lo = c;
            if (c > hi) hi = c;
        }
        low[0] = (char)lo;
        low[1] = 0;
        high[0] = (char)hi;
        high[1] = 0;
        *span = hi - lo;
        return true;
    }
    return false;
}

namespace {

struct WildWalk {
    DicQuery *q;
    const LcPattern *pattern;
    const char *end;     // null: no end
    DWORD endFlags;
    int lastAdded;
};

// The end of the walk and the pattern on a main entry's headword: LEXICORE_ITEM_FULL past the
// end, LEXICORE_ITEM_SKIP when the pattern does not match, else LC_HEAD_TAKE.
int TestHeadword(WildWalk *w, const char *headword) {
    w->lastAdded = 0;
    if (w->end && LcQuery_Compare(w->q->session, w->endFlags, w->end, headword, (int)strlen(w->end)) < 0)
        return LEXICORE_ITEM_FULL;
    if (!headword || !LcWild_Match(w->pattern, headword, (int)strlen(headword))) return LEXICORE_ITEM_SKIP;
    return LC_HEAD_TAKE;
}

// The walks that can read a headword alone ask this before they make an entry's item.
int WildTest(const char *headword, void *user) { return TestHeadword((WildWalk *)user, headword); }

int CALLBACK WildProc(VLDataItem *item, int flag, void *user) {
    WildWalk *w = (WildWalk *)user;
    if (!flag) return w->lastAdded ? LcQuery_Add(w->q, item, w->q->baseScore << 16) : LEXICORE_ITEM_SKIP;
    int t = TestHeadword(w, item->headword);
    if (t != LC_HEAD_TAKE) return t;
    int r = LcQuery_Add(w->q, item, w->q->baseScore << 16);
    w->lastAdded = r == LEXICORE_ITEM_ADDED;
    return r;
}

}  // namespace

int LcWild_Run(DicQuery *q) {
    DicSession *s = q->session;
    LcPattern *p = LcWild_Compile(s, q->key);
    if (!p) return 3;
    q->pattern = p;
    char frontLow[256], frontHigh[256], backLow[256], backHigh[256];
    int frontSpan, backSpan;
    bool front = LcWild_Fixed(p, false, frontLow, frontHigh, &frontSpan);
    bool back = p->tokens.size() > 1 && LcWild_Fixed(p, true, backLow, backHigh, &backSpan);
    bool frontIsSet = p->tokens.front().kind != kLiteral, backIsSet = p->tokens.back().kind != kLiteral;
    bool useFront = front;
    if (front && back) {
        if (frontIsSet && backIsSet)
            useFront = frontSpan <= backSpan;
        else
            useFront = strlen(frontLow) >= strlen(backLow);
    }
    WildWalk w = {q, p, nullptr, 0, 0};
    int r;
    if (useFront) {
        Lc_Free(q->fixed);
        q->fixedLen = (LONG)strlen(frontLow);
        q->fixed = (char *)Lc_Alloc((size_t)q->fixedLen + 1);
        if (q->fixed) memcpy(q->fixed, frontLow, (size_t)q->fixedLen + 1);
        w.end = frontHigh;
        w.endFlags = q->flags | 4;
        r = Lc_Search(s, frontLow, q->flags | LEXICORE_SF_FORWARD, WildProc, WildTest, &w);
    } else if (back) {
        Lc_Free(q->fixed);
        q->fixedLen = (LONG)strlen(backLow);
        q->fixed = (char *)Lc_Alloc((size_t)q->fixedLen + 1);
        if (q->fixed) memcpy(q->fixed, backLow, (size_t)q->fixedLen + 1);
        w.end = backHigh;
        w.endFlags = q->flags | 0x8004;
        int previous = Lexicore_SelectIndex(s, 1);
        r = Lc_Search(s, backLow, q->flags | LEXICORE_SF_FORWARD | LEXICORE_SF_BACKWARD, WildProc, WildTest,
                      &w);
        Lexicore_SelectIndex(s, previous);
    } else {
        r = Lc_Search(s, q->key, q->flags | LEXICORE_SF_FIRST | LEXICORE_SF_FORWARD, WildProc, WildTest, &w);
    }
    LcWild_Free(p);
    q->pattern = nullptr;
    return r;
}
