// Writing a range of the document as escape-tagged text and as UTF-16 text.
//
// The tagged writer keeps the attribute state that a reader of its output would have and writes
// only what differs.  An inline object is written whole at its cell, as its numbered-anchor
// opening closed at once ("ESC A D n id text ESC A d"), which is the form the reader turns back
// into the object.
#include "scrivel_int.h"
#include "strandkit.h"
#include <cstdio>
#include <cstring>

namespace {

// Output that counts in the first pass and writes in the second.
struct Out {
    char *buf;
    int len;
    void Put(const char *s, int n) {
        if (buf) std::memcpy(buf + len, s, n);
        len += n;
    }
    void Str(const char *s) { Put(s, static_cast<int>(std::strlen(s))); }
    void Byte(char c) { Put(&c, 1); }
    void Tag(const char *fmt, unsigned v) {
        char tmp[32];
        int n = std::snprintf(tmp, sizeof(tmp), fmt, v);
        Byte(0x1B);
        Put(tmp, n);
    }
};

const char *Closer(int type) {
    switch (type) {
    case SCRIVEL_ANCHOR_LINK: return "\033Al";
    case SCRIVEL_ANCHOR_HEADING: return "\033Ah";
    case SCRIVEL_ANCHOR_VIEWLINK: return "\033Vl";
    default: return "\033Ad";
    }
}

void Opening(Out *o, const ScrivelAnchor &a, bool object) {
    char tmp[32];
    bool text = (a.flags & SCRIVEL_ANCHOR_TEXT_VALID) != 0;
    const char *t = (text && a.text) ? a.text : "";
    auto identifier = [&]() {
        if (a.flags & SCRIVEL_ANCHOR_ID_VALID) {
            std::snprintf(tmp, sizeof(tmp), "%08X", static_cast<unsigned>(a.identifier));
            o->Str(tmp);
        } else {
            o->Byte('#');
        }
    };
    switch (a.type) {
    case SCRIVEL_ANCHOR_LINK:
        o->Str("\033AL");
        identifier();
        if (text) {
            o->Str(t);
            o->Byte(0x1B);
        } else if (a.flags & SCRIVEL_ANCHOR_TARGET_VALID) {
            std::snprintf(tmp, sizeof(tmp), "\033%08X", static_cast<unsigned>(a.target));
            o->Str(tmp);
        }
        if (a.flags & SCRIVEL_ANCHOR_COUNTER_VALID) {
            std::snprintf(tmp, sizeof(tmp), "%04u", static_cast<unsigned>(a.counter % 10000));
            o->Str(tmp);
        }
        break;
    case SCRIVEL_ANCHOR_NUMBERED:
        o->Str("\033AD");
        if (a.flags & SCRIVEL_ANCHOR_COUNTER_VALID) {
            std::snprintf(tmp, sizeof(tmp), "%u", static_cast<unsigned>(a.counter % 10));
            o->Str(tmp);
        }
        identifier();
        if (text) {
            o->Str(t);
            // An object shares the text's closing ESC with its closer.
            if (!object) o->Byte(0x1B);
        }
        break;
    case SCRIVEL_ANCHOR_HEADING:
        o->Str("\033AH");
        if (text) {
            o->Str(t);
            o->Byte(0x1B);
        }
        break;
    default:
        o->Str("\033VL");
        if (text) {
            o->Str(t);
            o->Byte(0x1B);
        }
        break;
    }
}

bool AnchorSame(const TextAttribute &a, const TextAttribute &b) {
    bool ha = (a.style & SCRIVEL_STYLE_ANCHOR) != 0, hb = (b.style & SCRIVEL_STYLE_ANCHOR) != 0;
    if (ha != hb) return false;
    if (!ha) return true;
    TextAttribute x = a, y = b;
    x.type = y.type = 0;
    x.style = y.style = SCRIVEL_STYLE_ANCHOR;
    x.charset = y.charset;
    x.fontNumber = y.fontNumber;
    x.language = y.language;
    x.colour = y.colour;
    x.sizeStep = y.sizeStep;
    x.paragraphBits = y.paragraphBits;
    return ScrivelAttr_Equal(&x, &y) != 0;
}

// Writes the tags that take state to attribute a (everything when full), and updates state to
// what a reader would then hold.  The anchor part is left to the caller.
void Differences(Out *o, TextAttribute *state, const TextAttribute &a, bool full) {
    bool charsetDiffers = state->charset != a.charset ||
                          (a.charset == 1 && state->fontNumber != a.fontNumber);
    if (full || charsetDiffers) {
        if (a.charset == 1) {
            o->Tag("F01%02X", a.fontNumber);
            state->fontNumber = a.fontNumber;
            state->language = 0;
        } else {
            o->Tag("F%02X", a.charset);
            state->fontNumber = 255;
            state->language = ScrivelLang_FromCharset(a.charset);
        }
        state->charset = a.charset;
    }
    if (full || state->language != a.language) o->Tag("f%04X", a.language);
    if (full || state->sizeStep != a.sizeStep) o->Tag("Z%X", a.sizeStep & 0x0F);
    if (full || state->colour != a.colour) {
        unsigned rgb = (GetRValue(a.colour) << 16) | (GetGValue(a.colour) << 8) | GetBValue(a.colour);
        o->Tag("C%06X", rgb);
    }
    BYTE diff = static_cast<BYTE>(state->style ^ a.style);
    if (full || (diff & SCRIVEL_STYLE_BOLD)) o->Tag("B%u", (a.style & SCRIVEL_STYLE_BOLD) ? 1 : 0);
    if (full || (diff & SCRIVEL_STYLE_ITALIC)) o->Tag("I%u", (a.style & SCRIVEL_STYLE_ITALIC) ? 1 : 0);
    if (full || (diff & SCRIVEL_STYLE_UNDERLINE))
        o->Tag("U%u", (a.style & SCRIVEL_STYLE_UNDERLINE) ? 1 : 0);
    if (full || (diff & SCRIVEL_STYLE_SUPER)) o->Tag("S%u", (a.style & SCRIVEL_STYLE_SUPER) ? 1 : 0);
    if (full || (diff & SCRIVEL_STYLE_SUB)) o->Tag("s%u", (a.style & SCRIVEL_STYLE_SUB) ? 1 : 0);
    if (full || (diff & SCRIVEL_STYLE_SANS)) o->Tag("S%u", (a.style & SCRIVEL_STYLE_SANS) ? 2 : 3);
    state->language = a.language;
    state->sizeStep = a.sizeStep;
    state->colour = a.colour;
    state->style = static_cast<BYTE>((state->style & SCRIVEL_STYLE_ANCHOR) |
                                     (a.style & ~SCRIVEL_STYLE_ANCHOR));
}

int FirstTextAttr(const EditorDocument *doc) {
    for (int i = 0; i < doc->attrCount; ++i)
        if (doc->attrs[i]->type == 0) return i;
    return 0;
}

bool RangeValid(const EditorDocument *doc, const ScrivelRange *r) {
    if (doc->lineCount == 0 || !r) return false;
    if (r->firstLine < 0 || r->lastLine >= doc->lineCount || r->firstLine > r->lastLine) return false;
    if (r->firstCell < 0 || r->firstCell > doc->lines[r->firstLine]->count) return false;
    if (r->lastCell < -1 || r->lastCell >= doc->lines[r->lastLine]->count) return false;
    if (r->firstLine == r->lastLine && r->firstCell > r->lastCell + 1) return false;
    return true;
}

void WriteRange(const EditorDocument *doc, const ScrivelRange *r, Out *o) {
    int level = 255;
    TextAttribute state;
    std::memset(&state, 0, sizeof(state));
    bool started = false;
    for (int li = r->firstLine; li <= r->lastLine; ++li) {
        const LineRecord *l = doc->lines[li];
        if (l->level != level) {
            o->Tag("L%X", l->level & 0x0F);
            level = l->level;
        }
        int c0 = (li == r->firstLine) ? r->firstCell : 0;
        int c1 = (li == r->lastLine) ? r->lastCell : l->count - 1;
        if (!started) {
            int first = FirstTextAttr(doc);
            if (c0 <= c1 && c0 < l->count && doc->attrs[l->cells[c0].attr]->type == 0)
                first = l->cells[c0].attr;
            const TextAttribute &a = *doc->attrs[first];
            Differences(o, &state, a, true);
            if (a.style & SCRIVEL_STYLE_ANCHOR) {
                Opening(o, a.anchor, false);
                state.anchor = a.anchor;
                state.style |= SCRIVEL_STYLE_ANCHOR;
            }
            started = true;
        }
        for (int ci = c0; ci <= c1; ++ci) {
            const CharCell &c = l->cells[ci];
            const TextAttribute &a = *doc->attrs[c.attr];
            if (a.type == 1) {
                o->Byte('\t');
                continue;
            }
            Differences(o, &state, a, false);
            bool has = (state.style & SCRIVEL_STYLE_ANCHOR) != 0;
            if (a.type == 3) {
                if (has) o->Str(Closer(state.anchor.type));
                Opening(o, a.anchor, true);
                o->Str("\033Ad");
                state.style &= ~SCRIVEL_STYLE_ANCHOR;
                std::memset(&state.anchor, 0, sizeof(state.anchor));
                continue;
            }
            bool want = (a.style & SCRIVEL_STYLE_ANCHOR) != 0;
            if (!AnchorSame(state, a)) {
                if (has) o->Str(Closer(state.anchor.type));
                if (want) Opening(o, a.anchor, false);
                state.anchor = a.anchor;
                state.style = static_cast<BYTE>((state.style & ~SCRIVEL_STYLE_ANCHOR) |
                                                (a.style & SCRIVEL_STYLE_ANCHOR));
            }
            o->Str(c.ch);
        }
        bool lastInside = (li < r->lastLine) || (l->count == 0) || (r->lastCell == l->count - 1);
        if ((l->flags & SCRIVEL_LINE_PARAEND) && lastInside) o->Str("\r\n");
    }
    if (state.style & SCRIVEL_STYLE_ANCHOR) o->Str(Closer(state.anchor.type));
    o->Byte(0);
}

}  // namespace

void ScrivelDoc_WholeRange(const EditorDocument *doc, ScrivelRange *range) {
    range->firstLine = 0;
    range->firstCell = 0;
    range->lastLine = doc->lineCount - 1;
    range->lastCell = doc->lineCount > 0 ? doc->lines[doc->lineCount - 1]->count - 1 : -1;
}

int ScrivelTag_Write(const EditorDocument *doc, const ScrivelRange *range, char **out, int *length) {
    *out = nullptr;
    *length = 0;
    if (!RangeValid(doc, range)) return SCRIVEL_E_EMPTY;
    Out count = {nullptr, 0};
    WriteRange(doc, range, &count);
    char *buf = static_cast<char *>(ScrivelMem_Alloc(count.len));
    if (!buf) return SCRIVEL_E_MEMORY;
    Out write = {buf, 0};
    WriteRange(doc, range, &write);
    *out = buf;
    *length = write.len;
    return SCRIVEL_OK;
}

int ScrivelTag_WriteWide(const EditorDocument *doc, const ScrivelRange *range, WCHAR **out,
                         int *count) {
    *out = nullptr;
    *count = 0;
    if (!RangeValid(doc, range)) return SCRIVEL_E_EMPTY;
    WCHAR *buf = nullptr;
    int total = 0;
    for (int pass = 0; pass < 2; ++pass) {
        int n = 0;
        for (int li = range->firstLine; li <= range->lastLine; ++li) {
            const LineRecord *l = doc->lines[li];
            int c0 = (li == range->firstLine) ? range->firstCell : 0;
            int c1 = (li == range->lastLine) ? range->lastCell : l->count - 1;
            for (int ci = c0; ci <= c1; ++ci) {
                const CharCell &c = l->cells[ci];
                const TextAttribute *a = doc->attrs[c.attr];
                if (a->type == 1) {
                    if (buf) buf[n] = L'\t';
                    ++n;
                    continue;
                }
                if (a->type != 0 || !c.ch[0]) continue;
                int bytes = c.ch[1] ? 2 : 1;
                UINT cs = (a->charset == 2 || a->charset == 1) ? 0 : a->charset;
                WCHAR w[4];
                int k = Strandkit_MultiByteToWide(cs, c.ch, bytes, w, 4);
                for (int i = 0; i < k; ++i) {
                    if (buf) buf[n] = w[i];
                    ++n;
                }
            }
            bool lastInside = (li < range->lastLine) || (l->count == 0) || (range->lastCell == l->count - 1);
            if ((l->flags & SCRIVEL_LINE_PARAEND) && lastInside) {
                if (buf) {
                    buf[n] = L'\r';
                    buf[n + 1] = L'\n';
                }
                n += 2;
            }
        }
        if (buf) buf[n] = 0;
        ++n;
        if (pass == 0) {
            total = n;
            buf = static_cast<WCHAR *>(ScrivelMem_Alloc(sizeof(WCHAR) * total));
            if (!buf) return SCRIVEL_E_MEMORY;
        }
    }
    *out = buf;
    *count = total;
    return SCRIVEL_OK;
}
