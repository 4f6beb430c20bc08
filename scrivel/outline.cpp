// Outline folding (shown depth, markers, collapsing and expanding a heading), the visible map,
// and hit testing between client points and document positions.
#include "scrivel_int.h"

void ScrivelLayout_UpdateVisible(EditorDocument *doc) {
    int n = 0;
    for (int i = 0; i < doc->lineCount; ++i) {
        LineRecord *l = doc->lines[i];
        if (l->flags & SCRIVEL_LINE_HIDDEN) {
            l->visibleIndex = -1;
            continue;
        }
        l->visibleIndex = n;
        doc->visibleMap[n++] = i;
    }
    doc->visibleCount = n;
}

void ScrivelLayout_UpdateMarkers(EditorDocument *doc) {
    for (int i = 0; i < doc->lineCount; ++i) {
        LineRecord *l = doc->lines[i];
        BYTE m = SCRIVEL_MARK_NONE;
        if (!(l->flags & SCRIVEL_LINE_HIDDEN) && i + 1 < doc->lineCount) {
            const LineRecord *next = doc->lines[i + 1];
            if (next->level > l->level)
                m = (next->flags & SCRIVEL_LINE_HIDDEN) ? SCRIVEL_MARK_COLLAPSED : SCRIVEL_MARK_EXPANDED;
        }
        l->marker = m;
    }
    ScrivelLayout_UpdateVisible(doc);
}

// Moves a hidden top line to the previous shown line, else the next, else 0.
static void FixTop(EditorDocument *doc) {
    if (doc->lineCount == 0) {
        doc->topLine = 0;
        return;
    }
    if (doc->topLine >= doc->lineCount) doc->topLine = doc->lineCount - 1;
    if (doc->topLine < 0) doc->topLine = 0;
    if (!(doc->lines[doc->topLine]->flags & SCRIVEL_LINE_HIDDEN)) return;
    for (int i = doc->topLine - 1; i >= 0; --i)
        if (!(doc->lines[i]->flags & SCRIVEL_LINE_HIDDEN)) {
            doc->topLine = i;
            return;
        }
    for (int i = doc->topLine + 1; i < doc->lineCount; ++i)
        if (!(doc->lines[i]->flags & SCRIVEL_LINE_HIDDEN)) {
            doc->topLine = i;
            return;
        }
    doc->topLine = 0;
}

void ScrivelLayout_SetDepth(EditorDocument *doc, int depth) {
    doc->outlineDepth = depth;
    for (int i = 0; i < doc->lineCount; ++i) {
        LineRecord *l = doc->lines[i];
        if (l->level > depth) l->flags |= SCRIVEL_LINE_HIDDEN;
        else l->flags &= ~SCRIVEL_LINE_HIDDEN;
    }
    ScrivelLayout_UpdateMarkers(doc);
    FixTop(doc);
}

void ScrivelLayout_ToggleMarker(EditorDocument *doc, int line) {
    if (line < 0 || line >= doc->lineCount) return;
    LineRecord *head = doc->lines[line];
    if (head->marker == SCRIVEL_MARK_EXPANDED) {
        for (int i = line + 1; i < doc->lineCount && doc->lines[i]->level > head->level; ++i)
            doc->lines[i]->flags |= SCRIVEL_LINE_HIDDEN;
        head->marker = SCRIVEL_MARK_COLLAPSED;
    } else if (head->marker == SCRIVEL_MARK_COLLAPSED) {
        for (int i = line + 1; i < doc->lineCount && doc->lines[i]->level > head->level; ++i) {
            LineRecord *l = doc->lines[i];
            if (l->level != head->level + 1) continue;
            l->flags &= ~SCRIVEL_LINE_HIDDEN;
            bool deeper = i + 1 < doc->lineCount && doc->lines[i + 1]->level == head->level + 2;
            l->marker = deeper ? SCRIVEL_MARK_COLLAPSED : SCRIVEL_MARK_NONE;
        }
        head->marker = SCRIVEL_MARK_EXPANDED;
    } else {
        return;
    }
    ScrivelLayout_UpdateVisible(doc);
    FixTop(doc);
}

int ScrivelLayout_LineLeft(const EditorDocument *doc, int line) {
    return doc->lines[line]->level * doc->indentPerLevel + doc->marginLeft - doc->hOffset;
}

int ScrivelLayout_HitTest(const EditorDocument *doc, int x, int y, ScrivelPos *out) {
    out->line = out->cell = out->after = 0;
    if (doc->visibleCount == 0) return 0;
    int top = doc->topLine;
    if (top < 0 || top >= doc->lineCount) top = 0;
    int vi = doc->lines[top]->visibleIndex;
    if (vi < 0) vi = 0;
    int ytop = doc->marginTop;
    int line = -1;
    for (int v = vi; v < doc->visibleCount; ++v) {
        int li = doc->visibleMap[v];
        int h = doc->lines[li]->height;
        if (y < ytop + h) {
            line = li;
            break;
        }
        ytop += h;
    }
    if (line < 0) {
        // Below the last line: the end of the last shown line.
        line = doc->visibleMap[doc->visibleCount - 1];
        const LineRecord *l = doc->lines[line];
        out->line = line;
        out->cell = l->count > 0 ? l->count - 1 : 0;
        out->after = l->count > 0 ? 1 : 0;
        return 1;
    }
    const LineRecord *l = doc->lines[line];
    out->line = line;
    int right = ScrivelLayout_LineLeft(doc, line);
    for (int c = 0; c < l->count; ++c) {
        right += l->cells[c].width;
        if (x < right) {
            out->cell = c;
            out->after = 0;
            return 1;
        }
    }
    out->cell = l->count > 0 ? l->count - 1 : 0;
    out->after = l->count > 0 ? 1 : 0;
    return 1;
}

int ScrivelLayout_CaretPoint(const EditorDocument *doc, const ScrivelPos *pos, POINT *out) {
    out->x = out->y = 0;
    if (pos->line < 0 || pos->line >= doc->lineCount) return 0;
    const LineRecord *l = doc->lines[pos->line];
    if (l->flags & SCRIVEL_LINE_HIDDEN) return 0;
    int top = doc->topLine;
    if (top < 0 || top >= doc->lineCount) top = 0;
    int vt = doc->lines[top]->visibleIndex < 0 ? 0 : doc->lines[top]->visibleIndex;
    int vl = l->visibleIndex;
    int y = doc->marginTop;
    if (vl >= vt) {
        for (int v = vt; v < vl; ++v) y += doc->lines[doc->visibleMap[v]]->height;
    } else {
        for (int v = vl; v < vt; ++v) y -= doc->lines[doc->visibleMap[v]]->height;
    }
    int x = ScrivelLayout_LineLeft(doc, pos->line);
    int cell = pos->cell < 0 ? 0 : (pos->cell > l->count ? l->count : pos->cell);
    for (int c = 0; c < cell; ++c) x += l->cells[c].width;
    if (pos->after && cell < l->count) x += l->cells[cell].width;
    out->x = x;
    out->y = y;
    return 1;
}

int ScrivelLayout_MarkerAt(const EditorDocument *doc, int x, int y) {
    ScrivelPos p;
    if (!ScrivelLayout_HitTest(doc, x, y, &p)) return -1;
    // A point below the last line hits no marker.
    int top = doc->marginTop;
    int vt = doc->lines[doc->topLine]->visibleIndex < 0 ? 0 : doc->lines[doc->topLine]->visibleIndex;
    for (int v = vt; v < doc->visibleCount && doc->visibleMap[v] != p.line; ++v)
        top += doc->lines[doc->visibleMap[v]]->height;
    const LineRecord *l = doc->lines[p.line];
    if (y < top || y >= top + l->height || l->marker == SCRIVEL_MARK_NONE) return -1;
    int left = ScrivelLayout_LineLeft(doc, p.line);
    return (x >= left - 24 && x < left) ? p.line : -1;
}
