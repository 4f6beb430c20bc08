// Writing a range of the document as RTF: a font table of the distinct faces in use, then the
// shown lines with the character formatting that differs from the text before.  Colours,
// paragraph properties and anchors are not written.
#include "scrivel_int.h"
#include <cstdio>
#include <cstring>

namespace {

struct Out {
    char *buf;
    int len;
    void Put(const char *s, int n) {
        if (buf) std::memcpy(buf + len, s, n);
        len += n;
    }
    void Str(const char *s) { Put(s, static_cast<int>(std::strlen(s))); }
    void Fmt(const char *fmt, int v) {
        char tmp[160];
        int n = std::snprintf(tmp, sizeof(tmp), fmt, v);
        Put(tmp, n);
    }
};

struct FontEntry {
    const char *face;
    int charset;
    int sans;
};

struct Table {
    FontEntry entries[256];
    int count;
};

void EntryOf(const TextAttribute *a, FontEntry *e) {
    e->sans = (a->style & SCRIVEL_STYLE_SANS) ? 1 : 0;
    if (a->charset == 2) {
        e->face = "RIZOzedIvova";
        e->charset = 0;
    } else {
        e->face = ScrivelAttr_Face(a);
        e->charset = a->charset;
    }
}

void BuildTable(EditorDocument *doc, Table *t) {
    t->count = 0;
    for (int i = 0; i < doc->attrCount; ++i) {
        TextAttribute *a = doc->attrs[i];
        if (a->type != 0) continue;
        FontEntry e;
        EntryOf(a, &e);
        int k = 0;
        while (k < t->count && !(t->entries[k].charset == e.charset && t->entries[k].sans == e.sans &&
                                 std::strcmp(t->entries[k].face, e.face) == 0))
            ++k;
        if (k == t->count) {
            if (t->count == 256) {
                a->rtfFontEntry = 0;
                continue;
            }
            t->entries[t->count++] = e;
        }
        a->rtfFontEntry = k;
    }
}

// Half points of a size step, from its height in pixels (a magnitude: the heights are kept as
// negative character heights).
int HalfPoints(const EditorDocument *doc, int step) {
    int h = doc->fontHeights[step - 1];
    if (h < 0) h = -h;
    int dpi = doc->measurer->dpiX > 0 ? doc->measurer->dpiX : 96;
    return 2 * (h * 72 / dpi);
}

struct Fmt {
    int entry, language, step, style;
};

void WriteState(const EditorDocument *doc, Out *o, Fmt *st, const TextAttribute *a, bool full) {
    bool any = false;
    if (full || st->entry != a->rtfFontEntry) {
        o->Fmt("\\f%d", a->rtfFontEntry);
        any = true;
    }
    if (full || st->language != a->language) {
        o->Fmt("\\lang%d", ScrivelLang_ToLangId(a->language));
        any = true;
    }
    int step = ScrivelAttr_Step(a);
    if (full || st->step != step) {
        o->Fmt("\\fs%d", HalfPoints(doc, step));
        any = true;
    }
    int diff = st->style ^ a->style;
    auto flag = [&](int bit, const char *on, const char *off) {
        if (full || (diff & bit)) {
            o->Str((a->style & bit) ? on : off);
            any = true;
        }
    };
    flag(SCRIVEL_STYLE_BOLD, "\\b", "\\b0");
    flag(SCRIVEL_STYLE_ITALIC, "\\i", "\\i0");
    flag(SCRIVEL_STYLE_UNDERLINE, "\\ul", "\\ul0");
    // \nosupersub clears both positions, so the one that stays is said again after it.
    int pos = SCRIVEL_STYLE_SUPER | SCRIVEL_STYLE_SUB;
    if (full || (diff & pos)) {
        bool cleared = full || ((st->style & pos) & ~(a->style & pos));
        if (cleared) o->Str("\\nosupersub");
        if ((a->style & SCRIVEL_STYLE_SUPER) && (cleared || (diff & SCRIVEL_STYLE_SUPER))) o->Str("\\super");
        if ((a->style & SCRIVEL_STYLE_SUB) && (cleared || (diff & SCRIVEL_STYLE_SUB))) o->Str("\\sub");
        any = true;
    }
    if (any) o->Str(" ");
    st->entry = a->rtfFontEntry;
    st->language = a->language;
    st->step = step;
    st->style = a->style;
}

int FirstTextAttr(const EditorDocument *doc) {
    for (int i = 0; i < doc->attrCount; ++i)
        if (doc->attrs[i]->type == 0) return i;
    return 0;
}

void WriteAll(const EditorDocument *doc, const Table *t, const ScrivelRange *r, Out *o) {
    o->Fmt("{\\rtf1\\ansi\\ansicpg%d\\deff0\\deftab720", static_cast<int>(GetACP()));
    o->Str("\n{\\fonttbl");
    for (int i = 0; i < t->count; ++i) {
        char tmp[160];
        int n = std::snprintf(tmp, sizeof(tmp), "\n{\\f%d\\%s\\fcharset%d %s;}", i,
                              t->entries[i].sans ? "fswiss" : "froman", t->entries[i].charset,
                              t->entries[i].face);
        o->Put(tmp, n);
    }
    o->Str("}\n");
    o->Fmt("\\deflang%d\\horzdoc\\pard\\nowwrap\\nooverflow\\fs24 \n", static_cast<int>(doc->langId));
    int level = 255;
    Fmt st = {-1, -1, -1, 0};
    bool started = false;
    for (int li = r->firstLine; li <= r->lastLine; ++li) {
        const LineRecord *l = doc->lines[li];
        if (l->flags & SCRIVEL_LINE_HIDDEN) continue;
        if (l->level != level) {
            // The blank ends the keyword, so that a blank in the text after it stays text.
            o->Fmt("\\outlinelevel%d ", l->level);
            level = l->level;
        }
        int c0 = (li == r->firstLine) ? r->firstCell : 0;
        int c1 = (li == r->lastLine) ? r->lastCell : l->count - 1;
        if (!started) {
            int first = FirstTextAttr(doc);
            if (c0 <= c1 && c0 < l->count && doc->attrs[l->cells[c0].attr]->type == 0)
                first = l->cells[c0].attr;
            WriteState(doc, o, &st, doc->attrs[first], true);
            started = true;
        }
        for (int ci = c0; ci <= c1; ++ci) {
            const CharCell &c = l->cells[ci];
            const TextAttribute *a = doc->attrs[c.attr];
            if (a->type == 1) {
                o->Str("\\tab ");
                continue;
            }
            if (a->type != 0) continue;
            WriteState(doc, o, &st, a, false);
            for (int k = 0; k < 2 && c.ch[k]; ++k) {
                unsigned char b = static_cast<unsigned char>(c.ch[k]);
                char tmp[8];
                if (b == '\\' || b == '{' || b == '}') {
                    tmp[0] = '\\';
                    tmp[1] = static_cast<char>(b);
                    o->Put(tmp, 2);
                } else if (b >= 0x80 || b < 0x20) {
                    // Control bytes go as hex too: the reader drops raw line feeds.
                    std::snprintf(tmp, sizeof(tmp), "\\'%02x", b);
                    o->Put(tmp, 4);
                } else {
                    tmp[0] = static_cast<char>(b);
                    o->Put(tmp, 1);
                }
            }
        }
        bool lastInside = (li < r->lastLine) || (l->count == 0) || (r->lastCell == l->count - 1);
        if ((l->flags & SCRIVEL_LINE_PARAEND) && lastInside) o->Str("\\par\n");
    }
    o->Str("}");
    o->Put("", 1);
}

}  // namespace

int ScrivelRtf_Write(EditorDocument *doc, const ScrivelRange *range, char **out, int *length) {
    *out = nullptr;
    *length = 0;
    const ScrivelRange *r = range;
    if (doc->lineCount == 0 || !r || r->firstLine < 0 || r->lastLine >= doc->lineCount ||
        r->firstLine > r->lastLine || r->firstCell < 0 ||
        r->firstCell > doc->lines[r->firstLine]->count || r->lastCell < -1 ||
        r->lastCell >= doc->lines[r->lastLine]->count ||
        (r->firstLine == r->lastLine && r->firstCell > r->lastCell + 1))
        return SCRIVEL_E_EMPTY;
    Table *t = static_cast<Table *>(ScrivelMem_Alloc(sizeof(Table)));
    if (!t) return SCRIVEL_E_MEMORY;
    BuildTable(doc, t);
    Out count = {nullptr, 0};
    WriteAll(doc, t, r, &count);
    char *buf = static_cast<char *>(ScrivelMem_Alloc(count.len));
    if (!buf) {
        ScrivelMem_Free(t);
        return SCRIVEL_E_MEMORY;
    }
    Out write = {buf, 0};
    WriteAll(doc, t, r, &write);
    ScrivelMem_Free(t);
    *out = buf;
    *length = write.len;
    return SCRIVEL_OK;
}
