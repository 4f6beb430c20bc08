// Reading escape-tagged text into lines of cells with interned attributes.
//
// A tag is ESC, a letter and its argument; FS may stand for ESC before an attribute tag.  A tag
// the reader does not know, or one whose argument is cut short, loses its ESC alone and the bytes
// after it are read as text.  CR (or CR LF) ends a paragraph; TAB makes a tab cell; NUL bytes
// are dropped.  A line that reaches the longest line length ends there without a paragraph end
// (the wrap joins it again), so nothing is lost.
#include "scrivel_int.h"
#include "strandkit.h"
#include <cstring>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// n hex digits at p (all present); -1 when one is not a hex digit.
long HexField(const char *p, int n) {
    long v = 0;
    for (int i = 0; i < n; ++i) {
        int h = HexValue(p[i]);
        if (h < 0) return -1;
        v = v * 16 + h;
    }
    return v;
}

// Paragraph-property bit of a P/p argument, -1 for none.
int ParagraphBit(char c) {
    if (c >= '1' && c <= '9') return c - '1' + 2;
    if (c >= 'A' && c <= 'J') return c - 'A' + 11;
    if (c >= 'a' && c <= 'j') return c - 'a' + 11;
    return -1;
}

// Parsed anchor opening: the fields and where the tag ends.
struct AnchorTag {
    ScrivelAnchor anchor;
    const char *text;  // inside the input, textLength bytes
    int textLength;
    int length;        // bytes of the whole tag
    bool headingHash;  // ESC A H #: the visible text after it is the anchor text
    bool object;       // a numbered anchor closed at once: an inline object
    int closeLength;   // for an object: bytes from the tag end through the closing "ESC A d"
};

// Identifier at p: '#' (none) or eight hex digits.  Bytes used, 0 when malformed.
int ParseIdentifier(const char *p, const char *end, ScrivelAnchor *a) {
    if (p < end && *p == '#') return 1;
    if (end - p < 8) return 0;
    long v = HexField(p, 8);
    if (v < 0) return 0;
    a->identifier = static_cast<DWORD>(v);
    a->flags |= SCRIVEL_ANCHOR_ID_VALID;
    return 8;
}

// The last search for an ESC: none lies in [from, at), and at is an ESC or the end.  Tags that
// start with FS can follow one another without any ESC, so each would otherwise search the rest
// of the text again.
struct EscSearch {
    const char *from;
    const char *at;
};

// The first ESC at or after p, or end.
const char *NextEsc(const char *p, const char *end, EscSearch *last) {
    if (last && last->from && last->from <= p && p <= last->at) return last->at;
    const char *q = p;
    while (q < end && *q != 0x1B) ++q;
    if (last) *last = EscSearch{p, q};
    return q;
}

// Text up to the next ESC; bytes of the text, -1 when no ESC follows.
int TextToEsc(const char *p, const char *end, EscSearch *last) {
    const char *q = NextEsc(p, end, last);
    if (q >= end) return -1;
    return static_cast<int>(q - p);
}

// Parses ESC A x / ESC V x at text (text[0] is ESC or FS).  0 when malformed.
int ParseAnchor(const char *text, const char *end, AnchorTag *t, EscSearch *last) {
    std::memset(t, 0, sizeof(*t));
    if (end - text < 3) return 0;
    char group = text[1], kind = text[2];
    const char *p = text + 3;
    ScrivelAnchor &a = t->anchor;
    if (group == 'A' && kind == 'L') {
        a.type = SCRIVEL_ANCHOR_LINK;
        int n = ParseIdentifier(p, end, &a);
        if (!n) return 0;
        p += n;
        if (end - p >= 9 && p[0] == 0x1B && HexField(p + 1, 8) >= 0) {
            a.target = static_cast<DWORD>(HexField(p + 1, 8));
            a.flags |= SCRIVEL_ANCHOR_TARGET_VALID;
            p += 9;
        } else {
            int len = TextToEsc(p, end, last);
            if (len < 0) return 0;
            t->text = p;
            t->textLength = len;
            a.flags |= SCRIVEL_ANCHOR_TEXT_VALID;
            p += len + 1;
        }
        if (end - p < 4) return 0;
        int counter = 0;
        for (int i = 0; i < 4; ++i) {
            if (p[i] < '0' || p[i] > '9') return 0;
            counter = counter * 10 + (p[i] - '0');
        }
        a.counter = static_cast<WORD>(counter);
        a.flags |= SCRIVEL_ANCHOR_COUNTER_VALID;
        p += 4;
    } else if (group == 'A' && kind == 'D') {
        a.type = SCRIVEL_ANCHOR_NUMBERED;
        if (p >= end || *p < '0' || *p > '9') return 0;
        a.counter = static_cast<WORD>(*p - '0');
        a.flags |= SCRIVEL_ANCHOR_COUNTER_VALID;
        ++p;
        int n = ParseIdentifier(p, end, &a);
        if (!n) return 0;
        p += n;
        int len = TextToEsc(p, end, last);
        if (len < 0) return 0;
        t->text = p;
        t->textLength = len;
        a.flags |= SCRIVEL_ANCHOR_TEXT_VALID;
        p += len;  // at the closing ESC
        // Closed at once by ESC A d (CR, LF and TAB between them skipped): an inline object.
        const char *q = p + 1;
        while (q < end && (*q == '\r' || *q == '\n' || *q == '\t')) ++q;
        if (end - q >= 2 && q[0] == 'A' && q[1] == 'd') {
            t->object = true;
            t->closeLength = static_cast<int>(q + 2 - p);
        } else {
            ++p;  // the ESC ends the text
        }
    } else if (group == 'A' && kind == 'H') {
        a.type = SCRIVEL_ANCHOR_HEADING;
        if (p < end && *p == '#') {
            t->headingHash = true;
            ++p;
            int len = static_cast<int>(NextEsc(p, end, last) - p);
            t->text = p;
            t->textLength = len;
            a.flags |= SCRIVEL_ANCHOR_TEXT_VALID;
        } else {
            int len = TextToEsc(p, end, last);
            if (len < 0) return 0;
            t->text = p;
            t->textLength = len;
            a.flags |= SCRIVEL_ANCHOR_TEXT_VALID;
            p += len + 1;
        }
    } else if (group == 'V' && kind == 'L') {
        a.type = SCRIVEL_ANCHOR_VIEWLINK;
        int len = TextToEsc(p, end, last);
        if (len < 0) return 0;
        t->text = p;
        t->textLength = len;
        a.flags |= SCRIVEL_ANCHOR_TEXT_VALID;
        p += len + 1;
    } else {
        return 0;
    }
    t->length = static_cast<int>(p - text);
    return t->length;
}

char *CopyText(const char *p, int n) {
    char *s = static_cast<char *>(ScrivelMem_Alloc(n + 1));
    if (!s) return nullptr;
    std::memcpy(s, p, n);
    s[n] = 0;
    return s;
}

struct Reader {
    EditorDocument *doc;
    const char *p;
    const char *end;
    TextAttribute cur;  // the attribute in force; its texts belong to the reader
    int curIndex;
    COLORREF savedColour;
    int level;
    CharCell *buffer;
    int count;
    int added;
    EscSearch esc;
};

void ClearAnchor(TextAttribute *a) {
    ScrivelAttr_FreeTexts(a);
    std::memset(&a->anchor, 0, sizeof(a->anchor));
    a->style &= ~SCRIVEL_STYLE_ANCHOR;
    if (a->type == 3) {
        a->type = 0;
        a->objectKind = 0;
    }
}

// Moves the buffered cells into a new line.
int EndLine(Reader *r, BYTE flags) {
    LineRecord *l = ScrivelLine_New(r->buffer, r->count, static_cast<BYTE>(r->level), flags);
    if (!l) return SCRIVEL_E_MEMORY;
    int rc = ScrivelDoc_AppendLine(r->doc, l);
    if (rc != SCRIVEL_OK) {
        ScrivelLine_Free(l);
        return rc;
    }
    ScrivelDoc_MeasureLine(r->doc, r->doc->lineCount - 1);
    r->count = 0;
    ++r->added;
    return SCRIVEL_OK;
}

int AddCell(Reader *r, WORD attr, const char *ch, int n) {
    if (r->count >= kScrivelMaxLineCells) {
        int rc = EndLine(r, 0);
        if (rc != SCRIVEL_OK) return rc;
    }
    CharCell &c = r->buffer[r->count++];
    c.attr = attr;
    c.width = (r->doc->attrs[attr]->type == 3) ? kScrivelObjectWidth : 0;
    std::memset(c.ch, 0, sizeof(c.ch));
    for (int i = 0; i < n; ++i) c.ch[i] = ch[i];
    return SCRIVEL_OK;
}

// Interns the changed attribute.  A full table (or a font that cannot be made) keeps the old
// attribute in force; only running out of memory stops the reader.
int Commit(Reader *r, TextAttribute *next) {
    int idx = ScrivelDoc_Intern(r->doc, next);
    if (idx == SCRIVEL_E_MEMORY) {
        ScrivelAttr_FreeTexts(next);
        return SCRIVEL_E_MEMORY;
    }
    if (idx < 0) {
        ScrivelAttr_FreeTexts(next);
        return SCRIVEL_OK;
    }
    ScrivelAttr_FreeTexts(&r->cur);
    r->cur = *next;
    r->curIndex = idx;
    return SCRIVEL_OK;
}

// Dispatches the attribute tag at r->p.  Returns the bytes used (0: malformed) or an error < 0
// through *rc.
int AttributeTag(Reader *r, int *rc) {
    const char *t = r->p;
    int left = static_cast<int>(r->end - t);
    *rc = SCRIVEL_OK;
    if (left < 2) return 0;
    TextAttribute next = r->cur;
    next.anchor.text = nullptr;
    next.secondText = nullptr;
    // Texts are copied below only when the tag keeps the anchor.
    bool keepTexts = true;
    int used = 0;
    char letter = t[1];
    auto digit = [&](int n) -> long { return left >= 2 + n ? HexField(t + 2, n) : -1; };
    switch (letter) {
    case 'F': {
        long cs = digit(2);
        if (cs < 0) return 0;
        if (cs == 1) {
            if (left < 6) return 0;
            long fn = HexField(t + 4, 2);
            if (fn < 0) return 0;
            next.charset = 1;
            next.fontNumber = static_cast<BYTE>(fn);
            next.language = 0;
            used = 6;
        } else {
            next.charset = static_cast<BYTE>(cs);
            next.fontNumber = 255;
            next.language = ScrivelLang_FromCharset(static_cast<int>(cs));
            used = 4;
        }
        break;
    }
    case 'f': {
        long v = digit(4);
        if (v < 0) return 0;
        next.language = static_cast<WORD>(v);
        used = 6;
        break;
    }
    case 'Z': {
        long v = digit(1);
        if (v < 0) return 0;
        next.sizeStep = static_cast<BYTE>(v);
        used = 3;
        break;
    }
    case 'z':
        next.sizeStep = 3;
        used = 2;
        break;
    case 'C': {
        long v = digit(6);
        if (v < 0) return 0;
        r->savedColour = next.colour;
        next.colour = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        used = 8;
        break;
    }
    case 'c':
        next.colour = r->savedColour;
        used = 2;
        break;
    case 'B':
    case 'I':
    case 'U':
    case 's': {
        long v = digit(1);
        if (v < 0) return 0;
        BYTE bit = letter == 'B' ? SCRIVEL_STYLE_BOLD
                 : letter == 'I' ? SCRIVEL_STYLE_ITALIC
                 : letter == 'U' ? SCRIVEL_STYLE_UNDERLINE
                                 : SCRIVEL_STYLE_SUB;
        if (v) next.style |= bit;
        else next.style &= ~bit;
        used = 3;
        break;
    }
    case 'S': {
        long v = digit(1);
        if (v < 0) return 0;
        if (v == 0) next.style &= ~SCRIVEL_STYLE_SUPER;
        else if (v == 1) next.style |= SCRIVEL_STYLE_SUPER;
        else if (v == 2) next.style |= SCRIVEL_STYLE_SANS;
        else if (v == 3) next.style &= ~SCRIVEL_STYLE_SANS;
        used = 3;
        break;
    }
    case 'T':
    case 't':
    case 'P':
    case 'p': {
        if (left < 3) return 0;
        int bit = -1;
        if (letter == 'T' || letter == 't') bit = (t[2] == '0') ? 0 : (t[2] == '1') ? 1 : -1;
        else bit = ParagraphBit(t[2]);
        if (bit >= 0) {
            if (letter == 'T' || letter == 'P') next.paragraphBits |= 1u << bit;
            else next.paragraphBits &= ~(1u << bit);
        }
        used = 3;
        break;
    }
    case 'A':
    case 'V': {
        if (left < 3) return 0;
        char k = t[2];
        if ((letter == 'A' && (k == 'l' || k == 'h' || k == 'd')) || (letter == 'V' && k == 'l')) {
            ClearAnchor(&next);
            keepTexts = false;
            used = 3;
            break;
        }
        AnchorTag tag;
        if (!ParseAnchor(t, r->end, &tag, &r->esc)) return 0;
        // A new anchor replaces an open one.
        ClearAnchor(&next);
        keepTexts = false;
        next.anchor = tag.anchor;
        next.style |= SCRIVEL_STYLE_ANCHOR;
        next.anchor.text = CopyText(tag.text, tag.textLength);
        if (!next.anchor.text) {
            *rc = SCRIVEL_E_MEMORY;
            return 0;
        }
        used = tag.length;
        if (tag.object) {
            next.type = 3;
            next.objectKind = 3 + (tag.anchor.counter <= 2 ? tag.anchor.counter : 0);
            int rc2 = Commit(r, &next);
            if (rc2 != SCRIVEL_OK) {
                *rc = rc2;
                return 0;
            }
            if (r->doc->attrs[r->curIndex]->type == 3) {
                rc2 = AddCell(r, static_cast<WORD>(r->curIndex), "", 0);
                if (rc2 != SCRIVEL_OK) {
                    *rc = rc2;
                    return 0;
                }
            }
            // The closing ESC A d follows: close the anchor here as well.
            TextAttribute closed = r->cur;
            closed.anchor.text = nullptr;
            closed.secondText = nullptr;
            ClearAnchor(&closed);
            *rc = Commit(r, &closed);
            return used + tag.closeLength;
        }
        if (tag.anchor.type == SCRIVEL_ANCHOR_NUMBERED) {
            // The visible text up to the next ESC is the anchor's second text.
            const char *q = t + used;
            int len = static_cast<int>(NextEsc(q, r->end, &r->esc) - q);
            next.secondText = CopyText(q, len);
            if (!next.secondText) {
                *rc = SCRIVEL_E_MEMORY;
                ScrivelAttr_FreeTexts(&next);
                return 0;
            }
            next.anchor.flags |= SCRIVEL_ANCHOR_SECOND_VALID;
        }
        break;
    }
    default:
        return 0;
    }
    if (keepTexts && (next.style & SCRIVEL_STYLE_ANCHOR)) {
        next.anchor.text = ScrivelMem_Strdup(r->cur.anchor.text);
        next.secondText = ScrivelMem_Strdup(r->cur.secondText);
        if ((r->cur.anchor.text && !next.anchor.text) || (r->cur.secondText && !next.secondText)) {
            ScrivelAttr_FreeTexts(&next);
            *rc = SCRIVEL_E_MEMORY;
            return 0;
        }
    }
    *rc = Commit(r, &next);
    return used;
}

}  // namespace

int ScrivelTag_Read(EditorDocument *doc, const char *text, int length, int startAttr) {
    if (!text || length <= 0) return 0;
    if (startAttr < 0 || startAttr >= doc->attrCount) startAttr = 0;
    Reader r;
    std::memset(&r, 0, sizeof(r));
    r.doc = doc;
    r.p = text;
    r.end = text + length;
    r.curIndex = startAttr;
    r.cur = *doc->attrs[startAttr];
    r.cur.font = nullptr;
    r.cur.anchor.text = ScrivelMem_Strdup(doc->attrs[startAttr]->anchor.text);
    r.cur.secondText = ScrivelMem_Strdup(doc->attrs[startAttr]->secondText);
    r.buffer = static_cast<CharCell *>(ScrivelMem_Alloc(sizeof(CharCell) * kScrivelMaxLineCells));
    int rc = SCRIVEL_OK;
    if (!r.buffer) rc = SCRIVEL_E_MEMORY;
    while (rc == SCRIVEL_OK && r.p < r.end) {
        unsigned char b = static_cast<unsigned char>(*r.p);
        if (b == 0x1B && r.end - r.p >= 3 && r.p[1] == 'L') {
            int v = HexValue(r.p[2]);
            if (v >= 0) {
                r.level = v;
                r.p += 3;
                continue;
            }
            ++r.p;  // malformed: the ESC alone goes
            continue;
        }
        if (b == 0x1B || b == 0x1C) {
            if (b == 0x1C && r.end - r.p >= 2 && r.p[1] == 'L') {
                ++r.p;
                continue;
            }
            int used = AttributeTag(&r, &rc);
            if (rc != SCRIVEL_OK) break;
            r.p += used ? used : 1;
            continue;
        }
        if (b == '\t') {
            rc = AddCell(&r, 1, "", 0);
            ++r.p;
            continue;
        }
        if (b == '\r') {
            rc = EndLine(&r, SCRIVEL_LINE_PARAEND);
            ++r.p;
            if (r.p < r.end && *r.p == '\n') ++r.p;
            continue;
        }
        if (b == 0) {
            ++r.p;
            continue;
        }
        int n = 1;
        UINT cs = r.cur.charset;
        if (Strandkit_IsMultiByteCharset(cs) && Strandkit_IsLeadByte(cs, b) && r.end - r.p >= 2 &&
            Strandkit_IsTrailByte(cs, static_cast<BYTE>(r.p[1])))
            n = 2;
        rc = AddCell(&r, static_cast<WORD>(r.curIndex), r.p, n);
        r.p += n;
    }
    if (rc == SCRIVEL_OK && r.count > 0) rc = EndLine(&r, 0);
    ScrivelAttr_FreeTexts(&r.cur);
    ScrivelMem_Free(r.buffer);
    return rc == SCRIVEL_OK ? r.added : rc;
}

int ScrivelTag_Length(const char *text, int length) {
    if (length < 2 || (text[0] != 0x1B && text[0] != 0x1C)) return 0;
    auto hex = [&](int n) { return length >= 2 + n && HexField(text + 2, n) >= 0; };
    switch (text[1]) {
    case 'B': case 'I': case 'L': case 'S': case 'U': case 'Z': case 's':
        return hex(1) ? 3 : 0;
    case 'T': case 't': case 'P': case 'p':
        return length >= 3 ? 3 : 0;
    case 'z': case 'c':
        return 2;
    case 'C':
        return hex(6) ? 8 : 0;
    case 'f':
        return hex(4) ? 6 : 0;
    case 'F':
        if (!hex(2)) return 0;
        if (HexField(text + 2, 2) != 1) return 4;
        return (length >= 6 && HexField(text + 4, 2) >= 0) ? 6 : 0;
    case 'A':
    case 'V': {
        if (length < 3) return 0;
        char k = text[2];
        if ((text[1] == 'A' && (k == 'l' || k == 'h' || k == 'd')) || (text[1] == 'V' && k == 'l'))
            return 3;
        AnchorTag tag;
        return ParseAnchor(text, text + length, &tag, nullptr);
    }
    default:
        return 0;
    }
}
