// Word wrap: the lines of each paragraph are joined and cut again at the break index, so that
// every line fits the width (a line of one cell stays as it is).  Positions that callers keep
// (caret, selection ends) and the top line follow their place in the paragraph.
#include "scrivel_int.h"
#include <cstring>

namespace {

// Gives each tab cell of cells[0..count) its width for a line that starts at cells[0].
void TabWidths(const EditorDocument *doc, CharCell *cells, int count, int limit) {
    int sum = 0;
    for (int i = 0; i < count && sum <= limit + doc->tabWidth; ++i) {
        if (doc->attrs[cells[i].attr]->type == 1) {
            int w = doc->tabWidth - (sum % doc->tabWidth);
            if (w < 8) w += doc->tabWidth;
            cells[i].width = static_cast<WORD>(w);
        }
        sum += cells[i].width;
    }
}

struct NewLines {
    LineRecord **items;
    int count;
    int capacity;
};

bool Add(NewLines *nl, LineRecord *l) {
    if (!l) return false;
    if (nl->count == nl->capacity) {
        int cap = nl->capacity ? nl->capacity * 2 : 64;
        LineRecord **g = static_cast<LineRecord **>(ScrivelMem_Realloc(nl->items, sizeof(LineRecord *) * cap));
        if (!g) {
            ScrivelLine_Free(l);
            return false;
        }
        nl->items = g;
        nl->capacity = cap;
    }
    nl->items[nl->count++] = l;
    return true;
}

void FreeNew(NewLines *nl) {
    for (int i = 0; i < nl->count; ++i) ScrivelLine_Free(nl->items[i]);
    ScrivelMem_Free(nl->items);
}

// Cuts one run of lines [a, b] (ending a paragraph, or the document) into new lines.
bool CutSegment(EditorDocument *doc, int a, int b, int limit, NewLines *nl) {
    int total = 0;
    for (int i = a; i <= b; ++i) total += doc->lines[i]->count;
    const LineRecord *head = doc->lines[a];
    BYTE level = head->level;
    BYTE hidden = head->flags & SCRIVEL_LINE_HIDDEN;
    BYTE end = doc->lines[b]->flags & SCRIVEL_LINE_PARAEND;
    if (total == 0) {
        LineRecord *l = ScrivelLine_New(nullptr, 0, level, static_cast<BYTE>(hidden | end));
        if (l) l->marker = head->marker;
        return Add(nl, l);
    }
    CharCell *cells = static_cast<CharCell *>(ScrivelMem_Alloc(sizeof(CharCell) * total));
    if (!cells) return false;
    int n = 0;
    for (int i = a; i <= b; ++i) {
        const LineRecord *l = doc->lines[i];
        if (l->count) std::memcpy(cells + n, l->cells, sizeof(CharCell) * l->count);
        n += l->count;
    }
    int x0 = level * doc->indentPerLevel;
    bool ok = true;
    int s = 0;
    while (ok && s < total) {
        int rest = total - s;
        TabWidths(doc, cells + s, rest, limit);
        int k = ScrivelBreak_Index(doc, cells + s, rest, x0, limit);
        if (k > kScrivelMaxLineCells) k = kScrivelMaxLineCells;
        if (k < 1) k = 1;
        bool last = s + k >= total;
        LineRecord *l = ScrivelLine_New(cells + s, k, level, static_cast<BYTE>(hidden | (last ? end : 0)));
        if (l && s == 0) l->marker = head->marker;
        ok = Add(nl, l);
        s += k;
    }
    ScrivelMem_Free(cells);
    return ok;
}

int Wrap(EditorDocument *doc, int width, int first, int last, ScrivelPos *keep, int keepCount) {
    if (doc->lineCount == 0) return SCRIVEL_OK;
    if (first < 0) first = 0;
    if (last >= doc->lineCount) last = doc->lineCount - 1;
    if (first >= doc->lineCount) return SCRIVEL_OK;
    if (last < first) last = first;
    ScrivelLayout_SetIndent(doc, width);
    int limit = width - doc->marginRight - doc->marginLeft;
    // Remember the kept positions and the top line by paragraph.
    const int kInline = 8;
    ScrivelParaPos inlineSaved[kInline];
    ScrivelParaPos *saved = inlineSaved;
    if (keepCount + 1 > kInline) {
        saved = static_cast<ScrivelParaPos *>(ScrivelMem_Alloc(sizeof(ScrivelParaPos) * (keepCount + 1)));
        if (!saved) return SCRIVEL_E_MEMORY;
    }
    ScrivelPos top = {doc->topLine, 0, 0};
    ScrivelDoc_ToParaPos(doc, &top, &saved[0]);
    for (int i = 0; i < keepCount; ++i) ScrivelDoc_ToParaPos(doc, &keep[i], &saved[i + 1]);

    NewLines nl = {nullptr, 0, 0};
    int a = first;
    int end = first - 1;  // last old line replaced
    bool ok = true;
    while (ok && a < doc->lineCount) {
        int b = a;
        while (b < doc->lineCount - 1 && !(doc->lines[b]->flags & SCRIVEL_LINE_PARAEND)) ++b;
        ok = CutSegment(doc, a, b, limit, &nl);
        end = b;
        a = b + 1;
        if (b >= last) break;
    }
    if (!ok) {
        FreeNew(&nl);
        if (saved != inlineSaved) ScrivelMem_Free(saved);
        return SCRIVEL_E_MEMORY;
    }
    int oldCount = end - first + 1;
    int rc = SCRIVEL_OK;
    if (nl.count > oldCount) rc = ScrivelDoc_InsertLines(doc, end + 1, nl.count - oldCount);
    if (rc != SCRIVEL_OK) {
        FreeNew(&nl);
        if (saved != inlineSaved) ScrivelMem_Free(saved);
        return rc;
    }
    for (int i = first; i <= end; ++i) ScrivelLine_Free(doc->lines[i]);
    if (nl.count < oldCount) {
        std::memmove(doc->lines + first + nl.count, doc->lines + end + 1,
                     sizeof(LineRecord *) * (doc->lineCount - end - 1));
        doc->lineCount -= oldCount - nl.count;
    }
    for (int i = 0; i < nl.count; ++i) doc->lines[first + i] = nl.items[i];
    ScrivelMem_Free(nl.items);
    for (int i = first; i < first + nl.count; ++i) ScrivelDoc_MeasureLine(doc, i);

    ScrivelPos p;
    ScrivelDoc_FromParaPos(doc, &saved[0], &p);
    doc->topLine = p.line;
    for (int i = 0; i < keepCount; ++i) ScrivelDoc_FromParaPos(doc, &saved[i + 1], &keep[i]);
    if (saved != inlineSaved) ScrivelMem_Free(saved);
    doc->wrapWidth = width;
    int widest = 0;
    for (int i = 0; i < doc->lineCount; ++i) {
        int w = ScrivelDoc_LineWidth(doc, i);
        if (w > widest) widest = w;
    }
    doc->widest = widest;
    ScrivelLayout_UpdateMarkers(doc);
    return SCRIVEL_OK;
}

}  // namespace

void ScrivelLayout_SetIndent(EditorDocument *doc, int width) {
    doc->indentPerLevel = (doc->wrap && width < 234) ? width / 18 : 12;
}

int ScrivelLayout_WrapAll(EditorDocument *doc, int width, ScrivelPos *keep, int keepCount) {
    return Wrap(doc, width, 0, doc->lineCount - 1, keep, keepCount);
}

int ScrivelLayout_WrapFrom(EditorDocument *doc, int width, int first, int last, ScrivelPos *keep,
                           int keepCount) {
    return Wrap(doc, width, first, last, keep, keepCount);
}

void ScrivelLayout_SetWrap(EditorDocument *doc, int on, int clientWidth, ScrivelPos *keep, int keepCount) {
    doc->wrap = on ? 1 : 0;
    if (!on) doc->hOffset = 0;
    Wrap(doc, on ? clientWidth : kScrivelNoWrapWidth, 0, doc->lineCount - 1, keep, keepCount);
}
