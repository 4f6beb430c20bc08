// One level of undo: before an edit the lines it may touch are copied (from the paragraph before
// the first touched line to the end of the paragraph of the last one) with caret and selection;
// undo puts the copies back in place of the region as the edit left it.
#include "scrivel_int.h"
#include <cstring>

namespace {

void FreeCopies(ScrivelUndo *u) {
    for (int i = 0; i < u->count; ++i) ScrivelLine_Free(u->lines[i]);
    ScrivelMem_Free(u->lines);
    u->lines = nullptr;
    u->count = 0;
}

int ParaEnd(const EditorDocument *doc, int line) {
    while (line < doc->lineCount - 1 && !(doc->lines[line]->flags & SCRIVEL_LINE_PARAEND)) ++line;
    return line;
}

int ParaStart(const EditorDocument *doc, int line) {
    while (line > 0 && !(doc->lines[line - 1]->flags & SCRIVEL_LINE_PARAEND)) --line;
    return line;
}

}  // namespace

void ScrivelUndo_Drop(ScrivelWindow *w, int report) {
    bool had = w->undo.present != 0;
    FreeCopies(&w->undo);
    w->undo.present = 0;
    w->undo.open = 0;
    if (report && had) ScrivelWin_NotifyInt(w, 1, 0);
}

int ScrivelUndo_Begin(ScrivelWindow *w, int kind, int first, int last) {
    EditorDocument *doc = w->doc;
    ScrivelUndo_Drop(w, 1);
    ScrivelUndo *u = &w->undo;
    int n = doc->lineCount;
    int from = 0, to = -1;
    if (n > 0) {
        if (first >= n) first = n - 1;
        if (last >= n) last = n - 1;
        if (first < 0) first = 0;
        if (last < first) last = first;
        // The whole paragraph before the first touched line: a re-wrap never reaches further.
        from = ParaStart(doc, first > 0 ? first - 1 : 0);
        to = ParaEnd(doc, last);
    }
    int count = to - from + 1;
    if (count > 0) {
        u->lines = static_cast<LineRecord **>(ScrivelMem_Alloc(sizeof(LineRecord *) * count));
        if (!u->lines) return 0;
        for (int i = 0; i < count; ++i) {
            u->lines[i] = ScrivelLine_Copy(doc->lines[from + i]);
            if (!u->lines[i]) {
                u->count = i;
                FreeCopies(u);
                return 0;
            }
        }
    }
    u->count = count > 0 ? count : 0;
    u->first = from;
    u->tail = n - 1 - to;
    u->kind = kind;
    u->caret = w->caret;
    u->sel = w->sel;
    u->open = 1;
    return 1;
}

void ScrivelUndo_End(ScrivelWindow *w) {
    if (!w->undo.open) return;
    w->undo.open = 0;
    w->undo.present = 1;
    ScrivelWin_NotifyInt(w, 1, 1);
}

int ScrivelUndo_Apply(ScrivelWindow *w) {
    EditorDocument *doc = w->doc;
    ScrivelUndo *u = &w->undo;
    if (!doc || !u->present) return 0;
    int regionEnd = doc->lineCount - 1 - u->tail;  // last line of the region as the edit left it
    int now = regionEnd - u->first + 1;
    if (now < 0 || u->first > doc->lineCount) {
        ScrivelUndo_Drop(w, 1);
        return 0;
    }
    if (u->count > now && ScrivelDoc_InsertLines(doc, u->first + now, u->count - now) != SCRIVEL_OK)
        return 0;  // the snapshot stays for a later try
    for (int i = 0; i < now; ++i) ScrivelLine_Free(doc->lines[u->first + i]);
    if (u->count < now) {
        std::memmove(doc->lines + u->first + u->count, doc->lines + u->first + now,
                     sizeof(LineRecord *) * (doc->lineCount - u->first - now));
        doc->lineCount -= now - u->count;
    }
    std::memcpy(doc->lines + u->first, u->lines, sizeof(LineRecord *) * u->count);
    for (int i = 0; i < u->count; ++i) ScrivelDoc_MeasureLine(doc, u->first + i);
    ScrivelMem_Free(u->lines);
    u->lines = nullptr;
    u->count = 0;
    w->caret = u->caret;
    ScrivelSelection sel = u->sel;
    ScrivelWin_SetSelection(w, 0, nullptr, nullptr);
    w->sel = sel;
    if (doc->topLine >= doc->lineCount) doc->topLine = doc->lineCount > 0 ? doc->lineCount - 1 : 0;
    if (doc->wrap) {
        ScrivelPos keep[4] = {w->caret, w->sel.start, w->sel.end, w->sel.anchor};
        ScrivelLayout_WrapAll(doc, ScrivelWin_ClientWidth(w), keep, 4);
        w->caret = keep[0];
        w->sel.start = keep[1];
        w->sel.end = keep[2];
        w->sel.anchor = keep[3];
    } else {
        ScrivelLayout_UpdateMarkers(doc);
    }
    u->present = 0;
    ScrivelWin_NotifyInt(w, 1, 0);
    ScrivelWin_NotifyInt(w, 2, w->sel.present);
    ScrivelWin_UpdateScrollBars(w);
    ScrivelCaret_Place(w);
    ScrivelWin_ReadTyping(w, 1);
    ScrivelWin_Repaint(w);
    return 1;
}
