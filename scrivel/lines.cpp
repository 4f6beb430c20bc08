// Line records and the line arrays: growth, insertion and deletion, split and join, and the
// paragraph positions that let a place in the text survive a re-wrap.
#include "scrivel_int.h"
#include <cstring>

LineRecord *ScrivelLine_New(const CharCell *cells, int count, BYTE level, BYTE flags) {
    if (count < 0 || count > kScrivelMaxLineCells) return nullptr;
    LineRecord *l = static_cast<LineRecord *>(ScrivelMem_Alloc(sizeof(LineRecord)));
    if (!l) return nullptr;
    std::memset(l, 0, sizeof(*l));
    if (count > 0) {
        l->cells = static_cast<CharCell *>(ScrivelMem_Alloc(sizeof(CharCell) * count));
        if (!l->cells) {
            ScrivelMem_Free(l);
            return nullptr;
        }
        std::memcpy(l->cells, cells, sizeof(CharCell) * count);
    }
    l->count = static_cast<WORD>(count);
    l->level = level;
    l->flags = flags;
    l->height = 9;
    l->ascent = 6;
    l->descent = 2;
    return l;
}

void ScrivelLine_Free(LineRecord *line) {
    if (!line) return;
    ScrivelMem_Free(line->cells);
    ScrivelMem_Free(line);
}

LineRecord *ScrivelLine_Copy(const LineRecord *line) {
    LineRecord *c = ScrivelLine_New(line->cells, line->count, line->level, line->flags);
    if (!c) return nullptr;
    c->ascent = line->ascent;
    c->descent = line->descent;
    c->height = line->height;
    c->marker = line->marker;
    c->visibleIndex = line->visibleIndex;
    return c;
}

// Grows both arrays when adding n lines would reach three quarters of the capacity.
static int Grow(EditorDocument *doc, int n) {
    int cap = doc->lineCapacity;
    if (doc->lineCount + n - 1 < cap - cap / 4) return SCRIVEL_OK;
    int need = doc->lineCount + n;
    int newCap = cap * 2;
    if (newCap < need * 2) newCap = need * 2;
    LineRecord **lines = static_cast<LineRecord **>(ScrivelMem_Alloc(sizeof(LineRecord *) * newCap));
    int *map = static_cast<int *>(ScrivelMem_Alloc(sizeof(int) * newCap));
    if (!lines || !map) {
        ScrivelMem_Free(lines);
        ScrivelMem_Free(map);
        return SCRIVEL_E_LINES;
    }
    std::memcpy(lines, doc->lines, sizeof(LineRecord *) * doc->lineCount);
    std::memcpy(map, doc->visibleMap, sizeof(int) * doc->visibleCount);
    ScrivelMem_Free(doc->lines);
    ScrivelMem_Free(doc->visibleMap);
    doc->lines = lines;
    doc->visibleMap = map;
    doc->lineCapacity = newCap;
    return SCRIVEL_OK;
}

int ScrivelDoc_InsertLines(EditorDocument *doc, int position, int n) {
    if (position < 0 || position > doc->lineCount || n < 0) return SCRIVEL_E_EMPTY;
    if (n == 0) return SCRIVEL_OK;
    int rc = Grow(doc, n);
    if (rc != SCRIVEL_OK) return rc;
    std::memmove(doc->lines + position + n, doc->lines + position,
                 sizeof(LineRecord *) * (doc->lineCount - position));
    for (int i = 0; i < n; ++i) doc->lines[position + i] = nullptr;
    doc->lineCount += n;
    return SCRIVEL_OK;
}

void ScrivelDoc_DeleteLines(EditorDocument *doc, int position, int n) {
    if (position < 0 || n <= 0 || position >= doc->lineCount) return;
    if (position + n > doc->lineCount) n = doc->lineCount - position;
    for (int i = 0; i < n; ++i) ScrivelLine_Free(doc->lines[position + i]);
    std::memmove(doc->lines + position, doc->lines + position + n,
                 sizeof(LineRecord *) * (doc->lineCount - position - n));
    doc->lineCount -= n;
}

int ScrivelDoc_AppendLine(EditorDocument *doc, LineRecord *line) {
    int rc = ScrivelDoc_InsertLines(doc, doc->lineCount, 1);
    if (rc != SCRIVEL_OK) return rc;
    doc->lines[doc->lineCount - 1] = line;
    return SCRIVEL_OK;
}

int ScrivelDoc_SplitLine(EditorDocument *doc, int line, int cell) {
    if (line < 0 || line >= doc->lineCount) return SCRIVEL_E_EMPTY;
    LineRecord *l = doc->lines[line];
    if (cell < 0 || cell > l->count) return SCRIVEL_E_EMPTY;
    LineRecord *second = ScrivelLine_New(l->cells + cell, l->count - cell, l->level, l->flags);
    if (!second) return SCRIVEL_E_MEMORY;
    int rc = ScrivelDoc_InsertLines(doc, line + 1, 1);
    if (rc != SCRIVEL_OK) {
        ScrivelLine_Free(second);
        return rc;
    }
    doc->lines[line + 1] = second;
    l->count = static_cast<WORD>(cell);
    l->flags &= ~SCRIVEL_LINE_PARAEND;
    if (cell == 0) {
        ScrivelMem_Free(l->cells);
        l->cells = nullptr;
    }
    ScrivelDoc_MeasureLine(doc, line);
    ScrivelDoc_MeasureLine(doc, line + 1);
    return SCRIVEL_OK;
}

int ScrivelDoc_JoinLines(EditorDocument *doc, int line) {
    if (line < 0 || line + 1 >= doc->lineCount) return SCRIVEL_E_EMPTY;
    LineRecord *a = doc->lines[line];
    LineRecord *b = doc->lines[line + 1];
    int total = a->count + b->count;
    if (total > kScrivelMaxLineCells) return SCRIVEL_E_EMPTY;
    if (b->count > 0) {
        CharCell *cells = static_cast<CharCell *>(ScrivelMem_Realloc(a->cells, sizeof(CharCell) * total));
        if (!cells) return SCRIVEL_E_MEMORY;
        std::memcpy(cells + a->count, b->cells, sizeof(CharCell) * b->count);
        a->cells = cells;
    }
    a->count = static_cast<WORD>(total);
    a->flags = static_cast<BYTE>((a->flags & ~SCRIVEL_LINE_PARAEND) | (b->flags & SCRIVEL_LINE_PARAEND));
    ScrivelDoc_DeleteLines(doc, line + 1, 1);
    ScrivelDoc_MeasureLine(doc, line);
    return SCRIVEL_OK;
}

void ScrivelDoc_ToParaPos(const EditorDocument *doc, const ScrivelPos *pos, ScrivelParaPos *out) {
    out->paragraph = 0;
    out->offset = 0;
    if (doc->lineCount == 0) return;
    int line = pos->line < 0 ? 0 : (pos->line >= doc->lineCount ? doc->lineCount - 1 : pos->line);
    int para = 0;
    int start = 0;  // first line of the paragraph that holds line
    for (int i = 0; i < line; ++i) {
        if (doc->lines[i]->flags & SCRIVEL_LINE_PARAEND) {
            ++para;
            start = i + 1;
        }
    }
    int offset = 0;
    for (int i = start; i < line; ++i) offset += doc->lines[i]->count;
    int cell = pos->cell < 0 ? 0 : pos->cell;
    if (cell > doc->lines[line]->count) cell = doc->lines[line]->count;
    offset += cell + (pos->after && doc->lines[line]->count > 0 ? 1 : 0);
    out->paragraph = para;
    out->offset = offset;
}

void ScrivelDoc_FromParaPos(const EditorDocument *doc, const ScrivelParaPos *pp, ScrivelPos *out) {
    out->line = 0;
    out->cell = 0;
    out->after = 0;
    if (doc->lineCount == 0) return;
    int para = 0;
    int line = 0;
    while (para < pp->paragraph && line < doc->lineCount - 1) {
        if (doc->lines[line]->flags & SCRIVEL_LINE_PARAEND) ++para;
        ++line;
    }
    int offset = pp->offset;
    for (;;) {
        const LineRecord *l = doc->lines[line];
        bool last = (l->flags & SCRIVEL_LINE_PARAEND) || line == doc->lineCount - 1;
        if (offset < l->count) {
            out->line = line;
            out->cell = offset;
            out->after = 0;
            return;
        }
        if (last) {
            out->line = line;
            if (l->count == 0) {
                out->cell = 0;
                out->after = 0;
            } else {
                out->cell = l->count - 1;
                out->after = 1;
            }
            return;
        }
        offset -= l->count;
        ++line;
    }
}
