// Plain text from tagged text (every tag dropped, or every tag but the charset tags) and tagged
// text from plain text.
#include "scrivel_int.h"
#include <cstring>

namespace {

struct Sink {
    char *out;
    int len;
    void Put(char c) {
        if (out) out[len] = c;
        ++len;
    }
};

// Bytes of the tag at p to drop: its whole length, or the ESC and its letter when the reader
// would not take it as a tag.
int DropLength(const char *p, int left) {
    // FS never stands for ESC before the level tag: the reader drops the FS alone.
    if (p[0] == 0x1C && left >= 2 && p[1] == 'L') return 1;
    int n = ScrivelTag_Length(p, left);
    if (n > 0) return n;
    return left >= 2 ? 2 : 1;
}

int Strip(const char *text, char *out, int keepLineEnds, bool keepCharset) {
    Sink s = {out, 0};
    if (text) {
        int length = static_cast<int>(std::strlen(text));
        const char *p = text;
        const char *end = text + length;
        while (p < end) {
            char b = *p;
            if (b == 0x1B || b == 0x1C) {
                int left = static_cast<int>(end - p);
                if (keepCharset && left >= 2 && p[1] == 'F') {
                    int n = ScrivelTag_Length(p, left);
                    if (n > 0) {
                        s.Put(0x1B);
                        for (int i = 1; i < n; ++i) s.Put(p[i]);
                        p += n;
                        continue;
                    }
                }
                p += DropLength(p, left);
                continue;
            }
            if (b == '\r') {
                bool lf = p + 1 < end && p[1] == '\n';
                if (!keepLineEnds) {
                    ++p;
                    continue;
                }
                if (keepCharset) s.Put('\r');
                else s.Put(lf ? '\r' : '\n');
                ++p;
                continue;
            }
            s.Put(b);
            ++p;
        }
    }
    s.Put(0);
    return s.len;
}

}  // namespace

int ScrivelTag_StripAll(const char *text, char *out, int keepLineEnds) {
    return Strip(text, out, keepLineEnds, false);
}

int ScrivelTag_StripToCharset(const char *text, char *out, int keepLineEnds) {
    return Strip(text, out, keepLineEnds, true);
}

int ScrivelTag_FromPlain(const char *text, char *out) {
    static const char kPrefix[] = "\033Z3\033B0\033I0\033U0\033S0\033s0\033S3";
    Sink s = {out, 0};
    for (const char *q = kPrefix; *q; ++q) s.Put(*q);
    if (text) {
        for (const char *p = text; *p; ++p) {
            // CR LF, a lone CR and a lone LF are each one paragraph break.
            if (*p == '\r') {
                s.Put('\r');
                if (p[1] == '\n') ++p;
            } else if (*p == '\n') {
                s.Put('\r');
            } else {
                s.Put(*p);
            }
        }
    }
    s.Put(0);
    return s.len;
}
