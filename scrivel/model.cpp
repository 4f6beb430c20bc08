// The document model: creation, the attribute table with its fonts, default attributes, the
// language codes, font heights and line measurement.
#include "scrivel_int.h"
#include <cstdlib>
#include <cstring>

namespace {

int g_failAfter = 0;  // test fault: the n-th allocation from now fails

// Sizes in tenths of a point, positions 1 to 9.
const int kSizeTable[9] = {70, 80, 90, 105, 120, 140, 180, 240, 320};

}  // namespace

void *ScrivelMem_Alloc(size_t size) {
    if (g_failAfter > 0 && --g_failAfter == 0) return nullptr;
    return std::malloc(size ? size : 1);
}

void *ScrivelMem_Realloc(void *block, size_t size) {
    if (g_failAfter > 0 && --g_failAfter == 0) return nullptr;
    return std::realloc(block, size ? size : 1);
}

void ScrivelMem_Free(void *block) { std::free(block); }

char *ScrivelMem_Strdup(const char *text) {
    if (!text) return nullptr;
    size_t n = std::strlen(text) + 1;
    char *copy = static_cast<char *>(ScrivelMem_Alloc(n));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

void ScrivelMem_FailAfter(int n) { g_failAfter = n > 0 ? n : 0; }

WORD ScrivelLang_FromCharset(int charset) {
    switch (charset) {
    case 0: return 256;
    case 52:
    case 128: return 1024;
    case 129: return 1280;
    case 134: return 512;
    case 136: return 768;
    default: return 0;
    }
}

WORD ScrivelLang_FromLangId(LANGID id) {
    int primary = PRIMARYLANGID(id);
    switch (primary) {
    case 9: return 256;
    case 17: return 1024;
    case 18: return 1280;
    case 4: {
        // Taiwan, Hong Kong and Macau write Traditional Chinese; the others Simplified.
        int sub = SUBLANGID(id);
        return (sub == SUBLANG_CHINESE_TRADITIONAL || sub == SUBLANG_CHINESE_HONGKONG ||
                sub == SUBLANG_CHINESE_MACAU) ? 768 : 512;
    }
    case 5: return 2560;
    case 6: return 2816;
    case 7: return 1792;
    case 8: return 3328;
    case 10: return 2048;
    case 11: return 3072;
    case 12: return 1536;
    case 14: return 3584;
    case 16: return 3840;
    case 19: return 4096;
    case 20: return 4352;
    case 21: return 4608;
    case 22: return 4864;
    case 25: return 5120;
    case 26: return 6144;
    case 27: return 5376;
    case 29: return 5632;
    case 31: return 5888;
    default: break;
    }
    if (primary == 0 || primary == 23 || primary == 40 || primary == 46 ||
        (primary >= 48 && primary <= 53) || (primary >= 58 && primary <= 61) || primary == 64 ||
        primary == 66 || (primary >= 80 && primary <= 86) || (primary >= 90 && primary <= 95) ||
        primary >= 98)
        return id;
    return 0;
}

int ScrivelLang_ToLangId(WORD code) {
    static const WORD map[][2] = {
        {256, 1033},  {512, 2052},  {768, 1028},  {1024, 1041}, {1280, 1042}, {1536, 1036},
        {1792, 1031}, {2048, 1034}, {2560, 1029}, {2816, 1030}, {3072, 1035}, {3328, 1032},
        {3584, 1038}, {3840, 1040}, {4096, 1043}, {4352, 1044}, {4608, 1045}, {4864, 1046},
        {5120, 1049}, {5376, 1051}, {5632, 1053}, {5888, 1055}, {6144, 1050},
    };
    for (const auto &m : map)
        if (m[0] == code) return m[1];
    return 0;
}

int ScrivelAttr_Step(const TextAttribute *attr) {
    int s = attr->sizeStep;
    if (s < 1) return 1;
    if (s > 5) return 5;
    return s;
}

const char *ScrivelAttr_Face(const TextAttribute *attr) {
    if (attr->charset == 0) return (attr->style & SCRIVEL_STYLE_SANS) ? "Arial" : "Times New Roman";
    if (attr->charset == 2) return "RIZOzedIvova";
    if (attr->charset == 128) return "MS UI Gothic";
    return "";
}

void ScrivelAttr_FreeTexts(TextAttribute *attr) {
    ScrivelMem_Free(attr->anchor.text);
    ScrivelMem_Free(attr->secondText);
    attr->anchor.text = nullptr;
    attr->secondText = nullptr;
}

// Hash over the fields that attribute equality compares, so that interning finds the one equal
// slot (there is never more than one) without comparing every slot.
static unsigned AttrHash(const TextAttribute *a) {
    if (a->type == 1) return 1;
    unsigned h = 2166136261u;
    auto mix = [&](unsigned v) { h = (h ^ v) * 16777619u; };
    mix(a->type);
    mix(a->charset);
    mix(a->fontNumber);
    mix(a->language);
    mix(a->style);
    mix(a->colour);
    mix(a->sizeStep);
    mix(a->paragraphBits);
    if (a->type == 3) mix(a->objectKind);
    if (a->style & SCRIVEL_STYLE_ANCHOR) {
        const ScrivelAnchor &an = a->anchor;
        mix(an.type);
        mix(an.flags);
        if (an.flags & SCRIVEL_ANCHOR_TARGET_VALID) mix(an.target);
        if (an.flags & SCRIVEL_ANCHOR_COUNTER_VALID) mix(an.counter);
        if (an.flags & SCRIVEL_ANCHOR_ID_VALID) mix(an.identifier);
        if ((an.flags & SCRIVEL_ANCHOR_TEXT_VALID) && an.text)
            for (const char *p = an.text; *p; ++p) mix(static_cast<unsigned char>(*p));
    }
    return h % kScrivelAttrBuckets;
}

static void HashInsert(EditorDocument *doc, int slot) {
    unsigned b = AttrHash(doc->attrs[slot]);
    doc->attrHashNext[slot] = doc->attrHashHeads[b];
    doc->attrHashHeads[b] = slot;
}

static void HashRemove(EditorDocument *doc, int slot) {
    unsigned b = AttrHash(doc->attrs[slot]);
    int *link = &doc->attrHashHeads[b];
    while (*link >= 0 && *link != slot) link = &doc->attrHashNext[*link];
    if (*link == slot) *link = doc->attrHashNext[slot];
}

static void HashClear(EditorDocument *doc) {
    for (int i = 0; i < kScrivelAttrBuckets; ++i) doc->attrHashHeads[i] = -1;
}

static int TextEqual(const char *a, const char *b) {
    if (!a || !b) return 0;
    return std::strcmp(a, b) == 0;
}

static int AnchorEqual(const ScrivelAnchor &a, const ScrivelAnchor &b) {
    if (a.type != b.type || a.flags != b.flags) return 0;
    if ((a.flags & SCRIVEL_ANCHOR_TARGET_VALID) && a.target != b.target) return 0;
    if ((a.flags & SCRIVEL_ANCHOR_COUNTER_VALID) && a.counter != b.counter) return 0;
    if ((a.flags & SCRIVEL_ANCHOR_ID_VALID) && a.identifier != b.identifier) return 0;
    if ((a.flags & SCRIVEL_ANCHOR_TEXT_VALID) && !TextEqual(a.text, b.text)) return 0;
    return 1;
}

int ScrivelAttr_Equal(const TextAttribute *a, const TextAttribute *b) {
    if (a->type != b->type) return 0;
    if (a->type == 1) return 1;
    if (a->charset != b->charset || a->fontNumber != b->fontNumber || a->language != b->language ||
        a->style != b->style || a->colour != b->colour || a->sizeStep != b->sizeStep ||
        a->paragraphBits != b->paragraphBits)
        return 0;
    if (a->type == 3 && a->objectKind != b->objectKind) return 0;
    if ((a->style & SCRIVEL_STYLE_ANCHOR) && !AnchorEqual(a->anchor, b->anchor)) return 0;
    return 1;
}

// Makes the font of a text attribute and keeps its metrics; an inline object has 16 and 0.
static int MakeAttrFont(EditorDocument *doc, TextAttribute *attr) {
    if (attr->type == 3) {
        attr->font = nullptr;
        attr->ascent = 16;
        attr->descent = 0;
        return SCRIVEL_OK;
    }
    if (attr->type != 0) return SCRIVEL_OK;
    int height = doc->fontHeights[ScrivelAttr_Step(attr) - 1];
    if (attr->style & (SCRIVEL_STYLE_SUPER | SCRIVEL_STYLE_SUB)) height = height * 70 / 100;
    HFONT font = nullptr;
    int ascent = 0, descent = 0;
    ScrivelMeasurer *m = doc->measurer;
    if (!m->makeFont(m, attr, height, ScrivelAttr_Face(attr), &font, &ascent, &descent))
        return SCRIVEL_E_FONT;
    attr->font = font;
    attr->ascent = static_cast<WORD>(ascent);
    attr->descent = static_cast<WORD>(descent);
    return SCRIVEL_OK;
}

static void FreeAttr(EditorDocument *doc, TextAttribute *attr) {
    if (!attr) return;
    if (attr->font) doc->measurer->freeFont(doc->measurer, attr->font);
    ScrivelAttr_FreeTexts(attr);
    ScrivelMem_Free(attr);
}

int ScrivelDoc_Intern(EditorDocument *doc, const TextAttribute *attr) {
    int first = -1;
    for (int i = doc->attrHashHeads[AttrHash(attr)]; i >= 0; i = doc->attrHashNext[i])
        if (ScrivelAttr_Equal(doc->attrs[i], attr) && (first < 0 || i < first)) first = i;
    if (first >= 0) return first;
    if (doc->attrCount >= kScrivelMaxAttributes) return SCRIVEL_E_TABLE_FULL;
    TextAttribute *copy = static_cast<TextAttribute *>(ScrivelMem_Alloc(sizeof(TextAttribute)));
    if (!copy) return SCRIVEL_E_MEMORY;
    *copy = *attr;
    copy->font = nullptr;
    copy->anchor.text = nullptr;
    copy->secondText = nullptr;
    int rc = SCRIVEL_OK;
    if ((attr->style & SCRIVEL_STYLE_ANCHOR) && (attr->anchor.flags & SCRIVEL_ANCHOR_TEXT_VALID) &&
        attr->anchor.text) {
        copy->anchor.text = ScrivelMem_Strdup(attr->anchor.text);
        if (!copy->anchor.text) rc = SCRIVEL_E_MEMORY;
    }
    if (rc == SCRIVEL_OK && (attr->style & SCRIVEL_STYLE_ANCHOR) &&
        (attr->anchor.flags & SCRIVEL_ANCHOR_SECOND_VALID) && attr->secondText) {
        copy->secondText = ScrivelMem_Strdup(attr->secondText);
        if (!copy->secondText) rc = SCRIVEL_E_MEMORY;
    }
    if (!(attr->style & SCRIVEL_STYLE_ANCHOR)) std::memset(&copy->anchor, 0, sizeof(copy->anchor));
    if (rc == SCRIVEL_OK) rc = MakeAttrFont(doc, copy);
    if (rc != SCRIVEL_OK) {
        FreeAttr(doc, copy);
        return rc;
    }
    doc->attrs[doc->attrCount] = copy;
    HashInsert(doc, doc->attrCount);
    return doc->attrCount++;
}

void ScrivelDoc_ComputeHeights(EditorDocument *doc) {
    int b = doc->sizeBase < 1 ? 1 : (doc->sizeBase > 5 ? 5 : doc->sizeBase);
    for (int s = 1; s <= 5; ++s)
        doc->fontHeights[s - 1] = -(kSizeTable[b + s - 2] * doc->measurer->dpiY / 720);
}

int ScrivelDoc_InternDefaults(EditorDocument *doc) {
    TextAttribute a;
    std::memset(&a, 0, sizeof(a));
    a.type = 0;
    a.fontNumber = 255;
    WORD code = ScrivelLang_FromLangId(doc->langId);
    if (code == 51 || code == 1024) a.charset = 128;
    else if (code == 512) a.charset = 134;
    else if (code == 768) a.charset = 136;
    else if (code == 1280) a.charset = 129;
    else a.charset = 0;
    a.language = (a.charset == 0) ? code : ScrivelLang_FromCharset(a.charset);
    if (doc->sansDefault) {
        // The step whose height is nearest to the default GUI font's.
        int best = 1, bestDiff = 0x7fffffff;
        for (int s = 1; s <= 5; ++s) {
            int h = -doc->fontHeights[s - 1];
            int diff = h > doc->measurer->guiFontHeight ? h - doc->measurer->guiFontHeight
                                                        : doc->measurer->guiFontHeight - h;
            if (diff < bestDiff) {
                bestDiff = diff;
                best = s;
            }
        }
        a.sizeStep = static_cast<BYTE>(best);
        a.style = SCRIVEL_STYLE_SANS;
    } else {
        a.sizeStep = 3;
    }
    int rc = ScrivelDoc_Intern(doc, &a);
    if (rc < 0) return rc;
    TextAttribute tab;
    std::memset(&tab, 0, sizeof(tab));
    tab.type = 1;
    // Slot 1 is the tab even when slot 0 would compare equal to nothing else.
    if (doc->attrCount != 1) return SCRIVEL_OK;
    TextAttribute *copy = static_cast<TextAttribute *>(ScrivelMem_Alloc(sizeof(TextAttribute)));
    if (!copy) return SCRIVEL_E_MEMORY;
    *copy = tab;
    doc->attrs[doc->attrCount] = copy;
    HashInsert(doc, doc->attrCount);
    ++doc->attrCount;
    return SCRIVEL_OK;
}

int ScrivelDoc_Create(const ScrivelDocParams *params, EditorDocument **out) {
    *out = nullptr;
    ScrivelMeasurer *m = params->measurer;
    EditorDocument *doc = static_cast<EditorDocument *>(ScrivelMem_Alloc(sizeof(EditorDocument)));
    if (!doc) {
        if (m) m->release(m);
        return SCRIVEL_E_MEMORY;
    }
    std::memset(doc, 0, sizeof(*doc));
    doc->measurer = m;
    doc->lines = static_cast<LineRecord **>(ScrivelMem_Alloc(sizeof(LineRecord *) * kScrivelInitialLines));
    doc->visibleMap = static_cast<int *>(ScrivelMem_Alloc(sizeof(int) * kScrivelInitialLines));
    doc->attrs = static_cast<TextAttribute **>(ScrivelMem_Alloc(sizeof(TextAttribute *) * kScrivelMaxAttributes));
    doc->attrHashHeads = static_cast<int *>(ScrivelMem_Alloc(sizeof(int) * kScrivelAttrBuckets));
    doc->attrHashNext = static_cast<int *>(ScrivelMem_Alloc(sizeof(int) * kScrivelMaxAttributes));
    if (!m || !doc->lines || !doc->visibleMap || !doc->attrs || !doc->attrHashHeads || !doc->attrHashNext) {
        ScrivelDoc_Destroy(doc);
        return SCRIVEL_E_MEMORY;
    }
    HashClear(doc);
    doc->lineCapacity = kScrivelInitialLines;
    doc->sizeBase = 3;
    doc->outlineDepth = 9;
    doc->style = params->style;
    doc->wrap = (params->style & SCRIVEL_WS_READONLY) ? 1 : 0;
    doc->wrapWidth = kScrivelNoWrapWidth;
    doc->tabWidth = 80;
    doc->indentPerLevel = 12;
    doc->marginLeft = 2;
    doc->marginTop = 2;
    doc->marginRight = 10;
    doc->marginBottom = 0;
    doc->sansDefault = params->sansDefault;
    doc->langId = params->langId ? params->langId : GetSystemDefaultLangID();
    doc->format = SCRIVEL_FORMAT_TAGGED;
    lstrcpynA(doc->name, "New.txt", MAX_PATH);
    ScrivelDoc_ComputeHeights(doc);
    int rc = ScrivelDoc_InternDefaults(doc);
    if (rc < 0) {
        ScrivelDoc_Destroy(doc);
        return rc;
    }
    *out = doc;
    return SCRIVEL_OK;
}

static void FreeContent(EditorDocument *doc) {
    for (int i = 0; i < doc->lineCount; ++i) ScrivelLine_Free(doc->lines[i]);
    doc->lineCount = 0;
    doc->visibleCount = 0;
    for (int i = 0; i < doc->attrCount; ++i) FreeAttr(doc, doc->attrs[i]);
    doc->attrCount = 0;
    HashClear(doc);
    doc->topLine = 0;
    doc->hOffset = 0;
    doc->widest = 0;
}

void ScrivelDoc_Destroy(EditorDocument *doc) {
    if (!doc) return;
    if (doc->lines && doc->attrs && doc->attrHashHeads) FreeContent(doc);
    ScrivelMem_Free(doc->attrHashHeads);
    ScrivelMem_Free(doc->attrHashNext);
    ScrivelMem_Free(doc->lines);
    ScrivelMem_Free(doc->visibleMap);
    ScrivelMem_Free(doc->attrs);
    if (doc->measurer) doc->measurer->release(doc->measurer);
    ScrivelMem_Free(doc);
}

int ScrivelDoc_Clear(EditorDocument *doc) {
    FreeContent(doc);
    return ScrivelDoc_InternDefaults(doc);
}

int ScrivelDoc_SetSizeBase(EditorDocument *doc, int base, ScrivelPos *keep, int keepCount) {
    if (base < 1 || base > 5) return SCRIVEL_E_EMPTY;
    doc->sizeBase = base;
    ScrivelDoc_ComputeHeights(doc);
    int rc = SCRIVEL_OK;
    for (int i = 0; i < doc->attrCount; ++i) {
        TextAttribute *a = doc->attrs[i];
        if (a->type != 0) continue;
        HFONT old = a->font;
        int r = MakeAttrFont(doc, a);
        if (r != SCRIVEL_OK) {
            rc = r;  // the old font stays
            continue;
        }
        if (old) doc->measurer->freeFont(doc->measurer, old);
    }
    for (int i = 0; i < doc->lineCount; ++i) ScrivelDoc_MeasureLine(doc, i);
    if (doc->wrap) {
        int r = ScrivelLayout_WrapAll(doc, doc->wrapWidth, keep, keepCount);
        if (rc == SCRIVEL_OK) rc = r;
    }
    return rc;
}

int ScrivelDoc_SetDefaultFont(EditorDocument *doc, int charset, int sizeStep) {
    if (doc->attrCount < 1) return SCRIVEL_E_EMPTY;
    TextAttribute *a = doc->attrs[0];
    TextAttribute saved = *a;
    HashRemove(doc, 0);
    a->charset = static_cast<BYTE>(charset);
    a->language = ScrivelLang_FromCharset(charset);
    a->sizeStep = static_cast<BYTE>(sizeStep);
    int rc = MakeAttrFont(doc, a);
    if (rc != SCRIVEL_OK) *a = saved;
    HashInsert(doc, 0);
    if (rc != SCRIVEL_OK) return rc;
    if (saved.font) doc->measurer->freeFont(doc->measurer, saved.font);
    return SCRIVEL_OK;
}

int ScrivelDoc_LineWidth(const EditorDocument *doc, int line) {
    const LineRecord *l = doc->lines[line];
    int w = l->level * doc->indentPerLevel + doc->marginLeft;
    for (int i = 0; i < l->count; ++i) w += l->cells[i].width;
    return w;
}

// The nearest text attribute of a cell before (line, cell) searching backwards; slot 0 when
// there is none.
static const TextAttribute *TextAttrBefore(const EditorDocument *doc, int line, int cell) {
    for (int l = line; l >= 0; --l) {
        const LineRecord *rec = doc->lines[l];
        int start = (l == line) ? cell - 1 : rec->count - 1;
        for (int c = start; c >= 0; --c) {
            const TextAttribute *a = doc->attrs[rec->cells[c].attr];
            if (a->type == 0) return a;
        }
    }
    return doc->attrs[0];
}

static const TextAttribute *TextAttrNear(const EditorDocument *doc, int line, int cell) {
    const LineRecord *rec = doc->lines[line];
    for (int c = cell; c < rec->count; ++c) {
        const TextAttribute *a = doc->attrs[rec->cells[c].attr];
        if (a->type == 0) return a;
    }
    return TextAttrBefore(doc, line, cell);
}

void ScrivelDoc_MeasureLine(EditorDocument *doc, int line) {
    LineRecord *l = doc->lines[line];
    int ascent = 6, descent = 2, height = 8;
    if (l->count == 0) {
        // An empty line after an empty line has the same text attribute before it: its metrics
        // are taken over, so that a run of blank lines does not search back once per line.
        if (line > 0 && doc->lines[line - 1]->count == 0) {
            ascent = doc->lines[line - 1]->ascent;
            descent = doc->lines[line - 1]->descent;
        } else {
            const TextAttribute *a = TextAttrBefore(doc, line, 0);
            ascent = a->ascent;
            descent = a->descent;
        }
        l->ascent = static_cast<WORD>(ascent);
        l->descent = static_cast<WORD>(descent);
        l->height = static_cast<WORD>(ascent + descent + 1);
        return;
    }
    int sum = 0;
    int i = 0;
    char bytes[512];
    int dx[512];
    while (i < l->count) {
        CharCell &c = l->cells[i];
        const TextAttribute *a = doc->attrs[c.attr];
        int as = 0, ds = 0;
        if (a->type == 1) {
            const TextAttribute *t = TextAttrNear(doc, line, i);
            as = t->ascent;
            ds = t->descent;
            int w = doc->tabWidth - (sum % doc->tabWidth);
            if (w < 8) w += doc->tabWidth;
            c.width = static_cast<WORD>(w);
            sum += w;
            ++i;
        } else if (a->type == 3) {
            as = a->ascent;
            ds = a->descent;
            if (a->style & (SCRIVEL_STYLE_SUPER | SCRIVEL_STYLE_SUB)) {
                as = as * 100 / 70;
                ds = ds * 100 / 70;
            }
            c.width = kScrivelObjectWidth;
            sum += kScrivelObjectWidth;
            ++i;
        } else {
            // A run of cells with this attribute, measured in pieces that fit the buffers.
            as = a->ascent;
            ds = a->descent;
            if (a->style & (SCRIVEL_STYLE_SUPER | SCRIVEL_STYLE_SUB)) {
                as = as * 100 / 70;
                ds = ds * 100 / 70;
            }
            int j = i;
            int n = 0;
            int cellStart[256];
            int cells = 0;
            while (j < l->count && l->cells[j].attr == c.attr && cells < 256 && n + 2 <= 510) {
                cellStart[cells++] = n;
                const char *ch = l->cells[j].ch;
                bytes[n++] = ch[0];
                if (ch[1]) bytes[n++] = ch[1];
                ++j;
            }
            int ok = n > 0 && doc->measurer->measureRun(doc->measurer, a, bytes, n, dx);
            int prev = 0;
            for (int k = 0; k < cells; ++k) {
                int end = (k + 1 < cells) ? cellStart[k + 1] - 1 : n - 1;
                int w = ok ? dx[end] - prev : 0;
                if (ok) prev = dx[end];
                if (w < 0) w = 0;
                l->cells[i + k].width = static_cast<WORD>(w);
                sum += w;
            }
            i = j;
        }
        if (as > ascent) ascent = as;
        if (ds > descent) descent = ds;
        if (ascent + descent > height) height = ascent + descent;
    }
    l->ascent = static_cast<WORD>(ascent);
    l->descent = static_cast<WORD>(descent);
    l->height = static_cast<WORD>(height + 1);
}

int ScrivelDoc_TypingAttr(const EditorDocument *doc, const ScrivelPos *pos) {
    if (pos->line < 0 || pos->line >= doc->lineCount) return 0;
    const LineRecord *l = doc->lines[pos->line];
    int cell = pos->after ? pos->cell : pos->cell - 1;
    if (cell < 0) cell = 0;
    int line = pos->line;
    if (cell >= l->count) cell = l->count - 1;
    // The cell itself, then backwards, then forwards through the document.
    for (int li = line, c = cell; li >= 0; --li) {
        const LineRecord *r = doc->lines[li];
        if (li != line) c = r->count - 1;
        for (; c >= 0; --c)
            if (doc->attrs[r->cells[c].attr]->type == 0) return r->cells[c].attr;
    }
    for (int li = line, c = cell + 1; li < doc->lineCount; ++li) {
        const LineRecord *r = doc->lines[li];
        if (li != line) c = 0;
        for (; c < r->count; ++c)
            if (doc->attrs[r->cells[c].attr]->type == 0) return r->cells[c].attr;
    }
    return 0;
}
