// RTF to escape-tagged text: a character loop with a group stack, a keyword table and the
// properties each keyword sets.  Only character formatting that the editor keeps goes out (bold,
// underline, italic, superscript, subscript, the font's charset and family, the outline level
// and the size step); tags carry on/off values and one-digit levels that the tag reader reads
// back.  The walk never steps over the terminating NUL, not even inside \binN.
#include "scrivel_int.h"
#include "strandkit.h"
#include <cstring>

namespace {

enum Dest { kNormal = 0, kSkip = 1, kFontTable = 2, kStyleSheet = 3, kColourTable = 4 };

struct Font {
    int number;
    int charset;
    int family;  // 0 none, 2 swiss, 3 roman
    char name[33];
};

struct CharProps {
    int bold, underline, italic, super, sub;
    int language;
    int size;  // half points
};

// Everything a group saves and restores.
struct Props {
    int dest;
    CharProps chr;
    int leftIndent, rightIndent, firstIndent, justify, level, outlineLevel, border;
    int cols, breakKind, pageX, pageY, pageFormat;
    int paperW, paperH, margL, margR, margT, margB, pageStart, facing, landscape;
    Font font;
};

enum Kind { kProp, kChar, kDestination, kBin, kIgnore };

enum PropId {
    pPard, pPlain, pBold, pUnderline, pItalic, pSuper, pSub, pUlNone, pNoSuperSub, pLang, pDefLang,
    pLi, pRi, pFi, pCols, pSbk, pPgnX, pPgnY, pPgnFormat, pJustify, pBorder, pLevel, pOutline,
    pPaperW, pPaperH, pMargL, pMargR, pMargT, pMargB, pPgnStart, pFacing, pLandscape,
    pFont, pDefFont, pCharset, pFamily, pFontSize,
};

struct Keyword {
    const char *name;
    Kind kind;
    int id;        // property id, character, or destination
    int value;     // default (or fixed) value
    bool fixed;
};

const Keyword kKeywords[] = {
    {"pard", kProp, pPard, 0, true},         {"plain", kProp, pPlain, 0, true},
    {"b", kProp, pBold, 1, false},           {"ul", kProp, pUnderline, 1, false},
    {"i", kProp, pItalic, 1, false},         {"super", kProp, pSuper, 1, false},
    {"sub", kProp, pSub, 1, false},          {"ulnone", kProp, pUlNone, 0, true},
    {"nosupersub", kProp, pNoSuperSub, 0, true},
    {"lang", kProp, pLang, 0, false},        {"deflang", kProp, pDefLang, 1024, false},
    {"li", kProp, pLi, 0, false},            {"ri", kProp, pRi, 0, false},
    {"fi", kProp, pFi, 0, false},            {"cols", kProp, pCols, 1, false},
    {"sbknone", kProp, pSbk, 0, true},       {"sbkcol", kProp, pSbk, 1, true},
    {"sbkeven", kProp, pSbk, 2, true},       {"sbkodd", kProp, pSbk, 3, true},
    {"sbkpage", kProp, pSbk, 4, true},       {"pgnx", kProp, pPgnX, 0, false},
    {"pgny", kProp, pPgnY, 0, false},        {"pgndec", kProp, pPgnFormat, 0, true},
    {"pgnucrm", kProp, pPgnFormat, 1, true}, {"pgnlcrm", kProp, pPgnFormat, 2, true},
    {"pgnucltr", kProp, pPgnFormat, 3, true}, {"pgnlcltr", kProp, pPgnFormat, 4, true},
    {"ql", kProp, pJustify, 0, true},        {"qr", kProp, pJustify, 1, true},
    {"qc", kProp, pJustify, 2, true},        {"qj", kProp, pJustify, 3, true},
    {"brdrb", kProp, pBorder, 1, true},      {"level", kProp, pLevel, 0, false},
    {"outlinelevel", kProp, pOutline, 0, false},
    {"paperw", kProp, pPaperW, 12240, false}, {"paperh", kProp, pPaperH, 15480, false},
    {"margl", kProp, pMargL, 1800, false},   {"margr", kProp, pMargR, 1800, false},
    {"margt", kProp, pMargT, 1440, false},   {"margb", kProp, pMargB, 1440, false},
    {"pgnstart", kProp, pPgnStart, 1, true}, {"facingp", kProp, pFacing, 1, true},
    {"landscape", kProp, pLandscape, 1, true},
    {"par", kChar, '\r', 0, true},           {"tab", kChar, '\t', 0, true},
    {"ldblquote", kChar, '"', 0, true},      {"rdblquote", kChar, '"', 0, true},
    {"bin", kBin, 0, 0, false},
    {"fonttbl", kDestination, kFontTable, 0, true},
    {"stylesheet", kDestination, kStyleSheet, 0, true},
    {"colortbl", kDestination, kColourTable, 0, true},
    {"cf", kIgnore, 0, 0, false},            {"red", kIgnore, 0, 0, false},
    {"green", kIgnore, 0, 0, false},         {"blue", kIgnore, 0, 0, false},
    {"cs", kIgnore, 0, 0, false},
    {"f", kProp, pFont, 0, false},           {"deff", kProp, pDefFont, 0, false},
    {"fcharset", kProp, pCharset, 0, false}, {"froman", kProp, pFamily, 3, true},
    {"fswiss", kProp, pFamily, 2, true},     {"fs", kProp, pFontSize, 24, false},
    {"author", kDestination, kSkip, 0, true}, {"buptim", kDestination, kSkip, 0, true},
    {"comment", kDestination, kSkip, 0, true}, {"creatim", kDestination, kSkip, 0, true},
    {"doccomm", kDestination, kSkip, 0, true}, {"footer", kDestination, kSkip, 0, true},
    {"footerf", kDestination, kSkip, 0, true}, {"footerl", kDestination, kSkip, 0, true},
    {"footerr", kDestination, kSkip, 0, true}, {"footnote", kDestination, kSkip, 0, true},
    {"ftncn", kDestination, kSkip, 0, true}, {"ftnsep", kDestination, kSkip, 0, true},
    {"ftnsepc", kDestination, kSkip, 0, true}, {"header", kDestination, kSkip, 0, true},
    {"headerf", kDestination, kSkip, 0, true}, {"headerl", kDestination, kSkip, 0, true},
    {"headerr", kDestination, kSkip, 0, true}, {"info", kDestination, kSkip, 0, true},
    {"keywords", kDestination, kSkip, 0, true}, {"operator", kDestination, kSkip, 0, true},
    {"pict", kDestination, kSkip, 0, true},  {"printim", kDestination, kSkip, 0, true},
    {"private1", kDestination, kSkip, 0, true}, {"revtim", kDestination, kSkip, 0, true},
    {"rxe", kDestination, kSkip, 0, true},   {"subject", kDestination, kSkip, 0, true},
    {"tc", kDestination, kSkip, 0, true},    {"title", kDestination, kSkip, 0, true},
    {"txe", kDestination, kSkip, 0, true},   {"xe", kDestination, kSkip, 0, true},
};

struct Sink {
    char *out;
    int len;
    void Put(char c) {
        if (out) out[len] = c;
        ++len;
    }
    void Tag(char letter, int value, bool hex2) {
        static const char kHex[] = "0123456789ABCDEF";
        Put(0x1B);
        Put(letter);
        if (hex2) {
            Put(kHex[(value >> 4) & 0x0F]);
            Put(kHex[value & 0x0F]);
        } else {
            Put(static_cast<char>('0' + value));
        }
    }
};

struct State {
    Props p;
    Props *stack;
    int depth;
    int capacity;
    int defaultLanguage;
    int decodeCharset;
    Font fonts[256];
    int fontCount;
    int defaultFont;
    bool star;
    int pendingLead;  // a lead byte from a hex escape that waits for its trail byte, or -1
    // What the output already says.
    int eBold, eUnderline, eItalic, eSuper, eSub, eFont, eLevel, eStep;
    Sink out;
};

void ResetChar(State *s) {
    CharProps &c = s->p.chr;
    c.bold = c.underline = c.italic = c.super = c.sub = 0;
    c.language = s->defaultLanguage;
    c.size = 24;
}

int StepOf(int halfPoints) {
    if (halfPoints < 20) return 1;
    if (halfPoints < 24) return 2;
    if (halfPoints < 26) return 3;
    if (halfPoints < 32) return 4;
    return 5;
}

// The tags of whatever changed since the last output.
void EmitChanges(State *s) {
    const CharProps &c = s->p.chr;
    auto onoff = [](int v) { return v ? 1 : 0; };
    if (onoff(c.bold) != s->eBold) s->out.Tag('B', s->eBold = onoff(c.bold), false);
    if (onoff(c.underline) != s->eUnderline) s->out.Tag('U', s->eUnderline = onoff(c.underline), false);
    if (onoff(c.italic) != s->eItalic) s->out.Tag('I', s->eItalic = onoff(c.italic), false);
    if (onoff(c.super) != s->eSuper) s->out.Tag('S', s->eSuper = onoff(c.super), false);
    if (onoff(c.sub) != s->eSub) s->out.Tag('s', s->eSub = onoff(c.sub), false);
    if (s->p.font.number != s->eFont) {
        s->eFont = s->p.font.number;
        int cs = s->p.font.charset;
        if (lstrcmpiA(s->p.font.name, "RIZOzedIvova") == 0) cs = 2;
        if (cs == 1) {
            // The tag reader wants a font number after charset 1: none.
            s->out.Tag('F', 1, true);
            s->out.Put('F');
            s->out.Put('F');
        } else if (cs != 51 && cs != 52) {
            s->out.Tag('F', cs & 0xFF, true);
        }
        if (s->p.font.family == 2) s->out.Tag('S', 2, false);
        else if (s->p.font.family == 3) s->out.Tag('S', 3, false);
    }
    int level = s->p.outlineLevel < 0 ? 0 : (s->p.outlineLevel > 9 ? 9 : s->p.outlineLevel);
    if (level != s->eLevel) s->out.Tag('L', s->eLevel = level, false);
    int step = StepOf(c.size);
    if (step != s->eStep) s->out.Tag('Z', s->eStep = step, false);
}

void OutputChar(State *s, int lead, int b) {
    EmitChanges(s);
    if (lead >= 0) s->out.Put(static_cast<char>(lead));
    s->out.Put(static_cast<char>(b));
}

void FlushPending(State *s) {
    if (s->pendingLead >= 0) {
        int lead = s->pendingLead;
        s->pendingLead = -1;
        OutputChar(s, -1, lead);
    }
}

void AddFont(State *s) {
    Font &f = s->p.font;
    for (int i = 0; i < s->fontCount; ++i)
        if (s->fonts[i].number == f.number) {
            s->fonts[i] = f;
            return;
        }
    if (s->fontCount < 256) s->fonts[s->fontCount++] = f;
}

// A character of the current destination; fromHex: it came from a hex escape and may wait for
// its trail byte.
void Char(State *s, int b, bool fromHex) {
    switch (s->p.dest) {
    case kNormal:
        break;
    case kFontTable: {
        if (b == ';') {
            AddFont(s);
            return;
        }
        size_t n = std::strlen(s->p.font.name);
        if (n < 32) {
            s->p.font.name[n] = static_cast<char>(b);
            s->p.font.name[n + 1] = 0;
        }
        return;
    }
    default:
        return;
    }
    if (s->pendingLead >= 0) {
        int lead = s->pendingLead;
        s->pendingLead = -1;
        OutputChar(s, lead, b);
        return;
    }
    int cs = s->decodeCharset;
    bool lead = (cs == 128 || cs == 129 || cs == 134 || cs == 136) && b >= 1 &&
                Strandkit_IsLeadByte(cs, static_cast<BYTE>(b));
    if (lead && b == 0x92 && s->p.font.number != 0 && s->p.font.charset == 0) lead = false;
    if (lead && fromHex) {
        s->pendingLead = b;
        return;
    }
    OutputChar(s, -1, b);
}

void SetProp(State *s, int id, int v) {
    Props &p = s->p;
    switch (id) {
    case pPard:
        p.leftIndent = p.rightIndent = p.firstIndent = p.justify = p.level = p.border = 0;
        p.outlineLevel = 0;
        break;
    case pPlain: ResetChar(s); break;
    case pBold: p.chr.bold = v; break;
    case pUnderline: p.chr.underline = v; break;
    case pItalic: p.chr.italic = v; break;
    case pSuper: p.chr.super = v; break;
    case pSub: p.chr.sub = v; break;
    case pUlNone: p.chr.underline = 0; break;
    case pNoSuperSub: p.chr.super = p.chr.sub = 0; break;
    case pLang: p.chr.language = v; break;
    case pDefLang: s->defaultLanguage = v; break;
    case pLi: p.leftIndent = v; break;
    case pRi: p.rightIndent = v; break;
    case pFi: p.firstIndent = v; break;
    case pCols: p.cols = v; break;
    case pSbk: p.breakKind = v; break;
    case pPgnX: p.pageX = v; break;
    case pPgnY: p.pageY = v; break;
    case pPgnFormat: p.pageFormat = v; break;
    case pJustify: p.justify = v; break;
    case pBorder: p.border = v; break;
    case pLevel: p.level = v; break;
    case pOutline: p.outlineLevel = v; break;
    case pPaperW: p.paperW = v; break;
    case pPaperH: p.paperH = v; break;
    case pMargL: p.margL = v; break;
    case pMargR: p.margR = v; break;
    case pMargT: p.margT = v; break;
    case pMargB: p.margB = v; break;
    case pPgnStart: p.pageStart = v; break;
    case pFacing: p.facing = v; break;
    case pLandscape: p.landscape = v; break;
    case pFont:
        if (p.dest == kFontTable) {
            std::memset(&p.font, 0, sizeof(p.font));
            p.font.number = v;
        } else {
            int i = 0;
            while (i < s->fontCount && s->fonts[i].number != v) ++i;
            if (i < s->fontCount) {
                p.font = s->fonts[i];
            } else {
                std::memset(&p.font, 0, sizeof(p.font));
                p.font.number = v;
            }
        }
        break;
    case pDefFont: s->defaultFont = v; break;
    case pCharset:
        p.font.charset = v;
        s->decodeCharset = v;
        break;
    case pFamily: p.font.family = v; break;
    case pFontSize: p.chr.size = v; break;
    }
}

bool Push(State *s) {
    if (s->depth == s->capacity) {
        int cap = s->capacity ? s->capacity * 2 : 16;
        Props *grown = static_cast<Props *>(ScrivelMem_Realloc(s->stack, sizeof(Props) * cap));
        if (!grown) return false;
        s->stack = grown;
        s->capacity = cap;
    }
    s->stack[s->depth++] = s->p;
    return true;
}

int Convert(const char *rtf, char *out) {
    State *s = static_cast<State *>(ScrivelMem_Alloc(sizeof(State)));
    if (!s) return 0;
    std::memset(s, 0, sizeof(*s));
    s->out.out = out;
    s->defaultLanguage = 1024;
    s->pendingLead = -1;
    s->eFont = -1;
    s->p.font.number = -1;
    s->p.paperW = 12240;
    s->p.paperH = 15480;
    s->p.margL = s->p.margR = 1800;
    s->p.margT = s->p.margB = 1440;
    ResetChar(s);
    const unsigned char *p = reinterpret_cast<const unsigned char *>(rtf);
    bool skipSpace = false;
    bool stop = false;
    while (*p && !stop) {
        unsigned char b = *p;
        if (skipSpace) {
            skipSpace = false;
            if (b == ' ' && s->decodeCharset == 128) {
                ++p;
                continue;
            }
        }
        if (b == '\r' || b == '\n') {
            ++p;
            continue;
        }
        if (b == '{') {
            FlushPending(s);
            if (!Push(s)) break;
            s->star = false;
            skipSpace = true;
            ++p;
            continue;
        }
        if (b == '}') {
            FlushPending(s);
            if (s->depth == 0) break;
            s->p = s->stack[--s->depth];
            ++p;
            continue;
        }
        if (b != '\\') {
            int cs = s->decodeCharset;
            if (s->pendingLead < 0 && s->p.dest == kNormal &&
                (cs == 128 || cs == 129 || cs == 134 || cs == 136) && Strandkit_IsLeadByte(cs, b) &&
                p[1]) {
                // A raw lead byte takes the next byte as its trail, whatever it is.
                OutputChar(s, b, p[1]);
                p += 2;
                continue;
            }
            Char(s, b, false);
            ++p;
            continue;
        }
        // A keyword or a control symbol.
        ++p;
        if (!*p) break;  // the text ends inside a keyword
        if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z'))) {
            unsigned char sym = *p++;
            if (sym == '\'') {
                int v = 0;
                for (int i = 0; i < 2; ++i) {
                    unsigned char h = *p;
                    int d = (h >= '0' && h <= '9') ? h - '0'
                          : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                          : (h >= 'A' && h <= 'F') ? h - 'A' + 10 : -1;
                    if (d < 0) {
                        stop = true;
                        break;
                    }
                    v = v * 16 + d;
                    ++p;
                }
                if (!stop) Char(s, v, true);
            } else if (sym == '*') {
                s->star = true;
            } else if (sym == '{' || sym == '}' || sym == '\\') {
                Char(s, sym, false);
            }
            continue;
        }
        char name[33];
        int n = 0;
        while ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')) {
            if (n < 32) name[n] = static_cast<char>(*p);
            ++n;
            ++p;
        }
        name[n < 32 ? n : 32] = 0;
        bool tooLong = n > 32;
        bool hasParam = false;
        bool negative = false;
        long param = 0;
        if (*p == '-') {
            negative = true;
            ++p;
        }
        int digits = 0;
        while (*p >= '0' && *p <= '9') {
            if (digits < 9) param = param * 10 + (*p - '0');
            ++digits;
            ++p;
        }
        hasParam = digits > 0;
        if (negative) param = -param;
        if (*p == ' ') ++p;
        FlushPending(s);
        const Keyword *k = nullptr;
        if (!tooLong)
            for (const auto &kw : kKeywords)
                if (std::strcmp(kw.name, name) == 0) {
                    k = &kw;
                    break;
                }
        bool star = s->star;
        s->star = false;
        if (!k) {
            if (star) s->p.dest = kSkip;
            continue;
        }
        int value = (k->fixed || !hasParam) ? k->value : static_cast<int>(param);
        switch (k->kind) {
        case kProp:
            SetProp(s, k->id, value);
            break;
        case kChar:
            Char(s, k->id, false);
            break;
        case kDestination:
            s->p.dest = k->id;
            break;
        case kBin: {
            if (!hasParam || param <= 0) break;
            // Counted bytes are characters; the count never carries the walk past the text.
            for (long i = 0; i < param && *p; ++i) Char(s, *p++, false);
            break;
        }
        case kIgnore:
            break;
        }
    }
    FlushPending(s);
    int len = s->out.len;
    if (out) out[len] = 0;
    ScrivelMem_Free(s->stack);
    ScrivelMem_Free(s);
    return len;
}

}  // namespace

int ScrivelRtf_ToTagged(const char *rtf, char *out) {
    if (!rtf) return 0;
    return Convert(rtf, out);
}
