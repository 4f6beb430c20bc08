// Editing the document of an editor window: typed characters, Backspace and Delete with
// paragraph joins, line breaks, deleting the selection, inserting tagged text at the caret,
// changing the attributes of the selection and replacing the whole document.  Each edit takes
// an undo snapshot first and re-wraps the paragraphs it touched.
#include "scrivel_int.h"
#include <cstring>

namespace {

bool Hidden(const EditorDocument *doc, int line) {
    return (doc->lines[line]->flags & SCRIVEL_LINE_HIDDEN) != 0;
}

int ParaStart(const EditorDocument *doc, int line) {
    while (line > 0 && !(doc->lines[line - 1]->flags & SCRIVEL_LINE_PARAEND)) --line;
    return line;
}

// An empty document gets one empty line to type into.
bool EnsureLine(EditorDocument *doc) {
    if (doc->lineCount > 0) return true;
    LineRecord *l = ScrivelLine_New(nullptr, 0, 0, 0);
    if (!l || ScrivelDoc_AppendLine(doc, l) != SCRIVEL_OK) {
        ScrivelLine_Free(l);
        return false;
    }
    ScrivelDoc_MeasureLine(doc, 0);
    ScrivelLayout_UpdateMarkers(doc);
    return true;
}

bool InsertCells(LineRecord *l, int at, const CharCell *cells, int n) {
    if (l->count + n > kScrivelMaxLineCells) return false;
    CharCell *g = static_cast<CharCell *>(ScrivelMem_Realloc(l->cells, sizeof(CharCell) * (l->count + n)));
    if (!g) return false;
    std::memmove(g + at + n, g + at, sizeof(CharCell) * (l->count - at));
    std::memcpy(g + at, cells, sizeof(CharCell) * n);
    l->cells = g;
    l->count = static_cast<WORD>(l->count + n);
    return true;
}

void RemoveCells(LineRecord *l, int at, int n) {
    if (n <= 0 || at >= l->count) return;
    if (at + n > l->count) n = l->count - at;
    std::memmove(l->cells + at, l->cells + at + n, sizeof(CharCell) * (l->count - at - n));
    l->count = static_cast<WORD>(l->count - n);
    if (l->count == 0) {
        ScrivelMem_Free(l->cells);
        l->cells = nullptr;
    }
}

// Deletes the cells between two ordered positions; the caret goes to the start.
void DeleteRange(ScrivelWindow *w, ScrivelPos s, ScrivelPos e) {
    EditorDocument *doc = w->doc;
    int si = ScrivelPos_Index(&s);
    int ei = ScrivelPos_Index(&e);
    if (s.line == e.line) {
        RemoveCells(doc->lines[s.line], si, ei - si);
    } else {
        LineRecord *first = doc->lines[s.line];
        RemoveCells(first, si, first->count - si);
        RemoveCells(doc->lines[e.line], 0, ei);
        ScrivelDoc_DeleteLines(doc, s.line + 1, e.line - s.line - 1);
        // The end line keeps its paragraph end; a join that would pass the longest line leaves
        // two lines of one paragraph for the re-wrap to cut.
        first->flags &= ~SCRIVEL_LINE_PARAEND;
        ScrivelDoc_JoinLines(doc, s.line);
    }
    ScrivelDoc_MeasureLine(doc, s.line);
    ScrivelLayout_UpdateVisible(doc);
    w->caret = ScrivelPos_Make(doc, s.line, si);
    ScrivelWin_SetSelection(w, 0, nullptr, nullptr);
}

void TouchedLines(const ScrivelWindow *w, int *first, int *last) {
    *first = w->sel.present ? w->sel.start.line : w->caret.line;
    *last = w->sel.present ? w->sel.end.line : w->caret.line;
}

// Re-wrap, scroll bars, caret and repaint after an edit.
void Finish(ScrivelWindow *w, int first, int last) {
    EditorDocument *doc = w->doc;
    if (first >= doc->lineCount) first = doc->lineCount - 1;
    if (first < 0) first = 0;
    ScrivelEdit_Rewrap(w, ParaStart(doc, first), last);
    if (doc->topLine >= doc->lineCount) doc->topLine = doc->lineCount > 0 ? doc->lineCount - 1 : 0;
    ScrivelUndo_End(w);
    w->haveDesired = 0;
    ScrivelWin_UpdateScrollBars(w);
    ScrivelCaret_MakeVisible(w, 0);
    ScrivelCaret_Place(w);
    ScrivelWin_ReadTyping(w, 1);
    ScrivelWin_Repaint(w);
}

}  // namespace

void ScrivelEdit_Rewrap(ScrivelWindow *w, int first, int last) {
    EditorDocument *doc = w->doc;
    if (!doc || doc->lineCount == 0) {
        if (doc) ScrivelLayout_UpdateMarkers(doc);
        return;
    }
    ScrivelPos keep[4] = {w->caret, w->sel.start, w->sel.end, w->sel.anchor};
    ScrivelLayout_WrapFrom(doc, ScrivelWin_WrapWidth(w), first, last, keep, 4);
    w->caret = keep[0];
    w->sel.start = keep[1];
    w->sel.end = keep[2];
    w->sel.anchor = keep[3];
}

int ScrivelEdit_InsertChar(ScrivelWindow *w, const char *bytes, int charset) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !EnsureLine(doc)) return 0;
    CharCell cell = {};
    if (bytes[0] == '\t') {
        cell.attr = 1;
    } else {
        TextAttribute a = w->typing;
        if (charset >= 0) {
            a.charset = static_cast<BYTE>(charset);
            a.language = ScrivelLang_FromCharset(charset);
        }
        int slot = ScrivelDoc_Intern(doc, &a);
        if (slot < 0) return 0;
        cell.attr = static_cast<WORD>(slot);
        cell.ch[0] = bytes[0];
        cell.ch[1] = bytes[1];
    }
    int first, last;
    TouchedLines(w, &first, &last);
    if (!ScrivelUndo_Begin(w, SCRIVEL_UNDO_TYPING, first, last)) return 0;
    if (w->sel.present) DeleteRange(w, w->sel.start, w->sel.end);
    int line = w->caret.line;
    int idx = ScrivelPos_Index(&w->caret);
    if (InsertCells(doc->lines[line], idx, &cell, 1)) {
        ScrivelDoc_MeasureLine(doc, line);
        w->caret = ScrivelPos_Make(doc, line, idx + 1);
    }
    Finish(w, line > 0 ? line - 1 : line, line);
    return 1;
}

int ScrivelEdit_Backspace(ScrivelWindow *w) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || doc->lineCount == 0) return 0;
    if (w->sel.present) return ScrivelEdit_DeleteSelection(w, SCRIVEL_UNDO_DELETE);
    int line = w->caret.line;
    int idx = ScrivelPos_Index(&w->caret);
    if (idx == 0) {
        if (line == 0 || Hidden(doc, line - 1)) return 0;
        int prev = line - 1;
        if (!ScrivelUndo_Begin(w, SCRIVEL_UNDO_DELETE, prev, line)) return 0;
        LineRecord *p = doc->lines[prev];
        if (p->flags & SCRIVEL_LINE_PARAEND) {
            // Join the paragraphs: the caret goes to the end of the previous line.
            p->flags &= ~SCRIVEL_LINE_PARAEND;
        } else if (p->count > 0) {
            RemoveCells(p, p->count - 1, 1);
            ScrivelDoc_MeasureLine(doc, prev);
        } else {
            ScrivelDoc_DeleteLines(doc, prev, 1);
            ScrivelLayout_UpdateVisible(doc);
            w->caret = ScrivelPos_Make(doc, prev, 0);
            Finish(w, prev > 0 ? prev - 1 : 0, prev);
            return 1;
        }
        w->caret = ScrivelPos_Make(doc, prev, p->count);
        Finish(w, prev, line);
        return 1;
    }
    if (!ScrivelUndo_Begin(w, SCRIVEL_UNDO_DELETE, line, line)) return 0;
    RemoveCells(doc->lines[line], idx - 1, 1);
    ScrivelDoc_MeasureLine(doc, line);
    w->caret = ScrivelPos_Make(doc, line, idx - 1);
    Finish(w, line > 0 ? line - 1 : line, line);
    return 1;
}

int ScrivelEdit_Delete(ScrivelWindow *w) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || doc->lineCount == 0) return 0;
    if (w->sel.present) return ScrivelEdit_DeleteSelection(w, SCRIVEL_UNDO_DELETE);
    int line = w->caret.line;
    int idx = ScrivelPos_Index(&w->caret);
    LineRecord *l = doc->lines[line];
    if (idx >= l->count) {
        if (line + 1 >= doc->lineCount || Hidden(doc, line + 1)) return 0;
        if (!ScrivelUndo_Begin(w, SCRIVEL_UNDO_DELETE, line, line + 1)) return 0;
        if (l->flags & SCRIVEL_LINE_PARAEND) {
            l->flags &= ~SCRIVEL_LINE_PARAEND;
        } else {
            LineRecord *n = doc->lines[line + 1];
            if (n->count > 0) {
                RemoveCells(n, 0, 1);
                ScrivelDoc_MeasureLine(doc, line + 1);
            }
        }
        Finish(w, line, line + 1);
        return 1;
    }
    if (!ScrivelUndo_Begin(w, SCRIVEL_UNDO_DELETE, line, line)) return 0;
    RemoveCells(l, idx, 1);
    ScrivelDoc_MeasureLine(doc, line);
    w->caret = ScrivelPos_Make(doc, line, idx);
    Finish(w, line > 0 ? line - 1 : line, line);
    return 1;
}

int ScrivelEdit_LineBreak(ScrivelWindow *w) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !EnsureLine(doc)) return 0;
    int first, last;
    TouchedLines(w, &first, &last);
    if (!ScrivelUndo_Begin(w, SCRIVEL_UNDO_NEWLINE, first, last)) return 0;
    if (w->sel.present) DeleteRange(w, w->sel.start, w->sel.end);
    int line = w->caret.line;
    int idx = ScrivelPos_Index(&w->caret);
    if (ScrivelDoc_SplitLine(doc, line, idx) == SCRIVEL_OK) {
        doc->lines[line]->flags |= SCRIVEL_LINE_PARAEND;
        ScrivelLayout_UpdateVisible(doc);
        w->caret = {line + 1, 0, 0};
    }
    Finish(w, line, line + 1);
    return 1;
}

int ScrivelEdit_DeleteSelection(ScrivelWindow *w, int kind) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !w->sel.present) return 0;
    int first, last;
    TouchedLines(w, &first, &last);
    if (!ScrivelUndo_Begin(w, kind, first, last)) return 0;
    DeleteRange(w, w->sel.start, w->sel.end);
    Finish(w, first > 0 ? first - 1 : first, first);
    return 1;
}

int ScrivelEdit_InsertTagged(ScrivelWindow *w, const char *text, int startAttr, int kind) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !text) return 0;
    int first, last;
    TouchedLines(w, &first, &last);
    if (kind && !ScrivelUndo_Begin(w, kind, first, last)) return 0;
    if (!EnsureLine(doc)) {
        if (kind) ScrivelUndo_End(w);
        return 0;
    }
    if (w->sel.present) DeleteRange(w, w->sel.start, w->sel.end);
    int old = doc->lineCount;
    int n = ScrivelTag_Read(doc, text, static_cast<int>(std::strlen(text)), startAttr);
    int line = w->caret.line;
    int lastLine = line;
    int ok = 0;
    if (n > 0 && doc->lineCount == old + n) {
        LineRecord **tmp = static_cast<LineRecord **>(ScrivelMem_Alloc(sizeof(LineRecord *) * n));
        if (tmp) {
            std::memcpy(tmp, doc->lines + old, sizeof(LineRecord *) * n);
            doc->lineCount = old;  // taken off again; tmp owns them now
            int idx = ScrivelPos_Index(&w->caret);
            LineRecord *l = doc->lines[line];
            int at = line + 1;
            int rc = SCRIVEL_OK;
            if (idx >= l->count) {
                LineRecord *z = tmp[n - 1];
                z->flags = static_cast<BYTE>((z->flags & ~SCRIVEL_LINE_PARAEND) | (l->flags & SCRIVEL_LINE_PARAEND));
                l->flags &= ~SCRIVEL_LINE_PARAEND;
            } else if (idx == 0) {
                at = line;
            } else {
                rc = ScrivelDoc_SplitLine(doc, line, idx);
                tmp[n - 1]->flags &= ~SCRIVEL_LINE_PARAEND;
            }
            if (rc == SCRIVEL_OK) rc = ScrivelDoc_InsertLines(doc, at, n);
            if (rc == SCRIVEL_OK) {
                std::memcpy(doc->lines + at, tmp, sizeof(LineRecord *) * n);
                for (int i = at; i < at + n; ++i) ScrivelDoc_MeasureLine(doc, i);
                lastLine = at + n - 1;
                w->caret = ScrivelPos_Make(doc, lastLine, doc->lines[lastLine]->count);
                ok = 1;
            } else {
                for (int i = 0; i < n; ++i) ScrivelLine_Free(tmp[i]);
            }
            ScrivelMem_Free(tmp);
        }
    }
    if (!ok && doc->lineCount > old) ScrivelDoc_DeleteLines(doc, old, doc->lineCount - old);
    ScrivelLayout_UpdateVisible(doc);
    ScrivelWin_SetSelection(w, 0, nullptr, nullptr);
    if (!kind) w->undo.open = 0;
    Finish(w, line > 0 ? line - 1 : line, lastLine + 1 < doc->lineCount ? lastLine + 1 : lastLine);
    return ok;
}

int ScrivelEdit_ApplyAttribute(ScrivelWindow *w, const TextAttribute *changed) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc || !w->sel.present) return 0;
    const TextAttribute old = w->typing;
    BYTE flip = static_cast<BYTE>((old.style ^ changed->style) & ~SCRIVEL_STYLE_ANCHOR);
    if (!ScrivelUndo_Begin(w, SCRIVEL_UNDO_ATTRIBUTE, w->sel.start.line, w->sel.end.line)) return 0;
    ScrivelRange r;
    ScrivelSel_Range(w, &r);
    for (int li = r.firstLine; li <= r.lastLine; ++li) {
        LineRecord *l = doc->lines[li];
        int c0 = li == r.firstLine ? r.firstCell : 0;
        int c1 = li == r.lastLine ? r.lastCell : l->count - 1;
        for (int c = c0; c <= c1 && c < l->count; ++c) {
            const TextAttribute *a = doc->attrs[l->cells[c].attr];
            if (a->type != 0) continue;
            TextAttribute n = *a;
            n.style = static_cast<BYTE>((n.style & ~flip) | (changed->style & flip));
            if (changed->colour != old.colour) n.colour = changed->colour;
            if (changed->sizeStep != old.sizeStep) n.sizeStep = changed->sizeStep;
            if (changed->charset != 255) {
                n.charset = changed->charset;
                n.language = ScrivelLang_FromCharset(changed->charset);
            }
            int slot = ScrivelDoc_Intern(doc, &n);
            if (slot >= 0) l->cells[c].attr = static_cast<WORD>(slot);
        }
        ScrivelDoc_MeasureLine(doc, li);
    }
    Finish(w, r.firstLine, r.lastLine);
    return 1;
}

void ScrivelEdit_AfterDocChange(ScrivelWindow *w) {
    EditorDocument *doc = w->doc;
    ScrivelUndo_Drop(w, 1);
    ScrivelWin_SetSelection(w, 0, nullptr, nullptr);
    w->leadByte = -1;
    w->haveDesired = 0;
    if (doc->wrap && doc->lineCount > 0) ScrivelLayout_WrapAll(doc, ScrivelWin_ClientWidth(w), nullptr, 0);
    ScrivelLayout_SetDepth(doc, doc->outlineDepth);
    doc->topLine = 0;
    doc->hOffset = 0;
    int first = doc->visibleCount > 0 ? doc->visibleMap[0] : 0;
    w->caret = {first, 0, 0};
    ScrivelWin_ReadTyping(w, 1);
    ScrivelWin_UpdateScrollBars(w);
    ScrivelCaret_Place(w);
    ScrivelWin_Repaint(w);
}

int ScrivelEdit_SetText(ScrivelWindow *w, const char *text) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!doc) return SCRIVEL_E_MEMORY;
    int rc = ScrivelDoc_SetText(doc, text);
    ScrivelEdit_AfterDocChange(w);
    return rc;
}
