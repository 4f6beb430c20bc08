// Positions, the caret and its keys, and mouse selection with drag scrolling.
#include "scrivel_int.h"
#include "scrivel_menu.h"

namespace {

bool Shown(const EditorDocument *doc, int line) {
    return line >= 0 && line < doc->lineCount && !(doc->lines[line]->flags & SCRIVEL_LINE_HIDDEN);
}

int PrevShown(const EditorDocument *doc, int line) {
    for (int l = line - 1; l >= 0; --l)
        if (Shown(doc, l)) return l;
    return -1;
}

int NextShown(const EditorDocument *doc, int line) {
    for (int l = line + 1; l < doc->lineCount; ++l)
        if (Shown(doc, l)) return l;
    return -1;
}

// The index on a line nearest to x (the nearer cell edge wins).
int IndexAtX(const EditorDocument *doc, int line, int x) {
    const LineRecord *l = doc->lines[line];
    int edge = ScrivelLayout_LineLeft(doc, line);
    for (int c = 0; c < l->count; ++c) {
        int w = l->cells[c].width;
        if (x < edge + w / 2) return c;
        edge += w;
    }
    return l->count;
}

int CaretX(const EditorDocument *doc, const ScrivelPos *p) {
    POINT pt;
    ScrivelLayout_CaretPoint(doc, p, &pt);
    return pt.x;
}

int BreakOf(const EditorDocument *doc, const CharCell &c) {
    const TextAttribute *a = doc->attrs[c.attr];
    if (a->type != 0) return SCRIVEL_BREAK_AFTER;
    return ScrivelBreak_Class(a->charset, c.ch);
}

// A word move on one line from index idx: forward or backward.
int WordMove(const EditorDocument *doc, int line, int idx, int forward) {
    const LineRecord *l = doc->lines[line];
    const int breaks = SCRIVEL_BREAK_AFTER | SCRIVEL_BREAK_NOEND | SCRIVEL_BREAK_NOSTART;
    if (forward) {
        if (idx >= l->count) return idx;
        WORD attr = l->cells[idx].attr;
        bool sawBreak = false;
        int i = idx;
        while (i < l->count) {
            int cls = BreakOf(doc, l->cells[i]);
            if (cls & breaks) {
                sawBreak = true;
            } else if (sawBreak || l->cells[i].attr != attr) {
                break;
            }
            ++i;
        }
        return i;
    }
    int i = idx;
    while (i > 0 && (BreakOf(doc, l->cells[i - 1]) & breaks)) --i;
    if (i == 0) return 0;
    WORD attr = l->cells[i - 1].attr;
    while (i > 0 && l->cells[i - 1].attr == attr && !(BreakOf(doc, l->cells[i - 1]) & breaks)) --i;
    return i;
}

int LineTopY(const EditorDocument *doc, int line) {
    POINT pt;
    ScrivelPos p = {line, 0, 0};
    ScrivelLayout_CaretPoint(doc, &p, &pt);
    return pt.y;
}

void ExtendTo(ScrivelWindow *w) {
    ScrivelWin_SetSelection(w, 1, &w->sel.anchor, &w->caret);
}

}  // namespace

int ScrivelPos_Index(const ScrivelPos *p) { return p->cell + (p->after ? 1 : 0); }

ScrivelPos ScrivelPos_Make(const EditorDocument *doc, int line, int index) {
    ScrivelPos p = {line, 0, 0};
    if (line < 0 || line >= doc->lineCount) return p;
    int count = doc->lines[line]->count;
    if (index < 0) index = 0;
    if (index >= count) {
        if (count > 0) {
            p.cell = count - 1;
            p.after = 1;
        }
    } else {
        p.cell = index;
    }
    return p;
}

int ScrivelPos_Compare(const ScrivelPos *a, const ScrivelPos *b) {
    if (a->line != b->line) return a->line < b->line ? -1 : 1;
    int ia = ScrivelPos_Index(a), ib = ScrivelPos_Index(b);
    if (ia != ib) return ia < ib ? -1 : 1;
    return 0;
}

void ScrivelPos_Clamp(const EditorDocument *doc, ScrivelPos *p) {
    if (doc->lineCount == 0) {
        *p = {0, 0, 0};
        return;
    }
    if (p->line >= doc->lineCount) p->line = doc->lineCount - 1;
    if (p->line < 0) p->line = 0;
    *p = ScrivelPos_Make(doc, p->line, ScrivelPos_Index(p));
}

int ScrivelSel_Range(const ScrivelWindow *w, ScrivelRange *r) {
    const EditorDocument *doc = w->doc;
    if (!doc || !w->sel.present || doc->lineCount == 0) return 0;
    r->firstLine = w->sel.start.line;
    r->firstCell = ScrivelPos_Index(&w->sel.start);
    r->lastLine = w->sel.end.line;
    r->lastCell = ScrivelPos_Index(&w->sel.end) - 1;
    return r->lastLine < doc->lineCount;
}

void ScrivelCaret_Place(ScrivelWindow *w) {
    EditorDocument *doc = w->doc;
    if (!doc) return;
    ScrivelPos_Clamp(doc, &w->caret);
    POINT pt = {doc->marginLeft, doc->marginTop};
    if (doc->lineCount > 0) ScrivelLayout_CaretPoint(doc, &w->caret, &pt);
    if (w->hasFocus) {
        int h = doc->lineCount > 0 ? doc->lines[w->caret.line]->height
                                   : doc->attrs[0]->ascent + doc->attrs[0]->descent;
        HideCaret(w->hwnd);
        DestroyCaret();
        CreateCaret(w->hwnd, nullptr, 2, h);
        SetCaretPos(pt.x, pt.y);
        ShowCaret(w->hwnd);
    }
    ScrivelIme_PlaceWindow(w, pt.x, pt.y);
}

void ScrivelCaret_MakeVisible(ScrivelWindow *w, int homeEnd) {
    EditorDocument *doc = w->doc;
    if (!doc || doc->lineCount == 0 || !Shown(doc, w->caret.line)) return;
    int height = ScrivelWin_ClientHeight(w);
    int y = LineTopY(doc, w->caret.line);
    int h = doc->lines[w->caret.line]->height;
    if (y < doc->marginTop || y + h > height) {
        bool above = y < doc->marginTop;
        int target = w->caret.line;
        int room = homeEnd ? height / 2 : height - doc->marginTop - h;
        if (homeEnd || !above) {
            // The line from which the caret line sits half a window down (Home, End) or at the
            // bottom (others).
            int sum = 0;
            for (int l = PrevShown(doc, w->caret.line); l >= 0; l = PrevShown(doc, l)) {
                sum += doc->lines[l]->height;
                if (sum > room) break;
                target = l;
            }
        }
        doc->topLine = target;
    }
    if (!doc->wrap) {
        int x = CaretX(doc, &w->caret) + doc->hOffset;  // document x
        int width = ScrivelWin_ClientWidth(w);
        const int tab = 80;
        if (x < 2 * tab) {
            doc->hOffset = 0;
        } else if (x - doc->hOffset > width - 2 * tab) {
            doc->hOffset = x - (width - 2 * tab);
        } else if (x - doc->hOffset < tab) {
            doc->hOffset = x - 2 * tab;
        }
        if (doc->hOffset < 0) doc->hOffset = 0;
    }
    ScrivelWin_UpdateScrollBars(w);
}

int ScrivelCaret_Key(ScrivelWindow *w, UINT vk, int shift, int ctrl) {
    EditorDocument *doc = w->doc;
    if (!doc || doc->lineCount == 0) return 0;
    switch (vk) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: break;
    default: return 0;
    }
    ScrivelPos before = w->caret;
    if (shift && !w->sel.present) w->sel.anchor = w->caret;
    if (!shift && w->sel.present) ScrivelWin_SetSelection(w, 0, nullptr, nullptr);
    int line = w->caret.line;
    int idx = ScrivelPos_Index(&w->caret);
    int count = doc->lines[line]->count;
    bool vertical = vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT;
    if (vertical && !w->haveDesired) {
        w->desiredX = CaretX(doc, &w->caret);
        w->endFlag = idx >= count && count > 0;
        w->haveDesired = 1;
    }
    if (!vertical) w->haveDesired = 0;
    int target = -1;
    switch (vk) {
    case VK_LEFT:
        if (ctrl && idx > 0) idx = WordMove(doc, line, idx, 0);
        else if (idx > 0) --idx;
        else if ((target = PrevShown(doc, line)) >= 0) {
            line = target;
            idx = doc->lines[line]->count;
        }
        break;
    case VK_RIGHT:
        if (ctrl && idx < count) idx = WordMove(doc, line, idx, 1);
        else if (idx < count) ++idx;
        else if ((target = NextShown(doc, line)) >= 0) {
            line = target;
            idx = 0;
        }
        break;
    case VK_HOME:
        if (ctrl) line = doc->visibleCount > 0 ? doc->visibleMap[0] : 0;
        idx = 0;
        break;
    case VK_END:
        if (ctrl) line = doc->visibleCount > 0 ? doc->visibleMap[doc->visibleCount - 1] : line;
        idx = doc->lines[line]->count;
        break;
    default: {
        int steps = 1;
        if (vk == VK_PRIOR || vk == VK_NEXT) {
            steps = ScrivelScroll_PageLines(doc, ScrivelWin_ClientHeight(w));
            if (steps < 1) steps = 1;
        }
        bool down = vk == VK_DOWN || vk == VK_NEXT;
        for (int i = 0; i < steps; ++i) {
            int t = down ? NextShown(doc, line) : PrevShown(doc, line);
            if (t < 0) break;
            line = t;
        }
        idx = w->endFlag ? doc->lines[line]->count : IndexAtX(doc, line, w->desiredX);
        break;
    }
    }
    w->caret = ScrivelPos_Make(doc, line, idx);
    if (shift) ExtendTo(w);
    bool moved = ScrivelPos_Compare(&before, &w->caret) != 0;
    ScrivelCaret_MakeVisible(w, vk == VK_HOME || vk == VK_END);
    ScrivelCaret_Place(w);
    if (moved) {
        ScrivelWin_ReadTyping(w, 1);
        ScrivelWin_Repaint(w);
    }
    return moved;
}

void ScrivelMouse_Down(ScrivelWindow *w, int x, int y) {
    EditorDocument *doc = ScrivelWin_Doc(w);
    SetFocus(w->hwnd);
    if (!doc || doc->visibleCount == 0) return;
    int marked = ScrivelLayout_MarkerAt(doc, x, y);
    if (marked >= 0) {
        ScrivelLayout_ToggleMarker(doc, marked);
        if (!Shown(doc, w->caret.line)) w->caret = ScrivelPos_Make(doc, marked, 0);
        ScrivelWin_UpdateScrollBars(w);
        ScrivelCaret_Place(w);
        ScrivelWin_Repaint(w);
        return;
    }
    ScrivelPos p;
    if (!ScrivelLayout_HitTest(doc, x, y, &p)) return;
    const LineRecord *l = doc->lines[p.line];
    if (l->count > 0 && !p.after) {
        const TextAttribute *a = doc->attrs[l->cells[p.cell].attr];
        if (a->style & SCRIVEL_STYLE_ANCHOR) {
            ScrivelAnchor anchor = a->anchor;
            ScrivelWin_Notify(w, 3, &anchor);
            return;
        }
    }
    p = ScrivelPos_Make(doc, p.line, IndexAtX(doc, p.line, x));
    w->caret = p;
    w->haveDesired = 0;
    ScrivelWin_SetSelection(w, 0, nullptr, nullptr);
    w->sel.anchor = p;
    w->dragging = 1;
    SetCapture(w->hwnd);
    int limit = doc->widest + doc->marginRight - ScrivelWin_ClientWidth(w) + 1;
    w->hLimit = limit > 0 ? limit : 0;
    ScrivelCaret_Place(w);
    ScrivelWin_Repaint(w);
}

void ScrivelMouse_Move(ScrivelWindow *w, int x, int y) {
    EditorDocument *doc = w->doc;
    if (!w->dragging || !doc) return;
    int width = ScrivelWin_ClientWidth(w);
    int height = ScrivelWin_ClientHeight(w);
    bool inside = x >= 0 && x < width && y >= 0 && y < height;
    if (!inside) {
        if (!w->dragTimer) w->dragTimer = SetTimer(w->hwnd, kScrivelDragTimer, 40, nullptr) != 0;
        if (y < 0 || y >= height) return;
    } else if (w->dragTimer) {
        KillTimer(w->hwnd, kScrivelDragTimer);
        w->dragTimer = 0;
    }
    ScrivelPos p;
    if (!ScrivelLayout_HitTest(doc, x, y, &p)) return;
    w->caret = ScrivelPos_Make(doc, p.line, IndexAtX(doc, p.line, x));
    ExtendTo(w);
    ScrivelCaret_Place(w);
    ScrivelWin_Repaint(w);
}

void ScrivelMouse_Timer(ScrivelWindow *w) {
    EditorDocument *doc = w->doc;
    if (!doc || !w->dragging || doc->lineCount == 0) return;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(w->hwnd, &pt);
    int width = ScrivelWin_ClientWidth(w);
    int height = ScrivelWin_ClientHeight(w);
    if (pt.y < 0) {
        ScrivelScroll_Vertical(doc, SB_LINEUP, 0, height);
        int t = PrevShown(doc, w->caret.line);
        if (t >= 0) w->caret = ScrivelPos_Make(doc, t, 0);
    } else if (pt.y >= height) {
        ScrivelScroll_Vertical(doc, SB_LINEDOWN, 0, height);
        int t = NextShown(doc, w->caret.line);
        if (t >= 0) w->caret = ScrivelPos_Make(doc, t, doc->lines[t]->count);
    } else if (pt.x < 0) {
        doc->hOffset = doc->hOffset - 12 < 0 ? 0 : doc->hOffset - 12;
        ScrivelPos p;
        if (ScrivelLayout_HitTest(doc, 0, pt.y, &p)) w->caret = ScrivelPos_Make(doc, p.line, IndexAtX(doc, p.line, 0));
    } else if (pt.x >= width) {
        doc->hOffset = doc->hOffset + 12 > w->hLimit ? w->hLimit : doc->hOffset + 12;
        ScrivelPos p;
        if (ScrivelLayout_HitTest(doc, width - 1, pt.y, &p))
            w->caret = ScrivelPos_Make(doc, p.line, IndexAtX(doc, p.line, width - 1));
    }
    ExtendTo(w);
    ScrivelWin_UpdateScrollBars(w);
    ScrivelCaret_Place(w);
    ScrivelWin_Repaint(w);
}

void ScrivelMouse_Up(ScrivelWindow *w) {
    if (w->dragTimer) KillTimer(w->hwnd, kScrivelDragTimer);
    w->dragTimer = 0;
    if (w->dragging) {
        w->dragging = 0;
        ReleaseCapture();
    }
    ScrivelWin_ReadTyping(w, 1);
}

int ScrivelMouse_SetCursor(ScrivelWindow *w) {
    EditorDocument *doc = w->doc;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(w->hwnd, &pt);
    bool link = false;
    if (doc && doc->visibleCount > 0) {
        if (ScrivelLayout_MarkerAt(doc, pt.x, pt.y) >= 0) {
            link = true;
        } else {
            ScrivelPos p;
            if (ScrivelLayout_HitTest(doc, pt.x, pt.y, &p) && !p.after && doc->lines[p.line]->count > 0)
                link = (doc->attrs[doc->lines[p.line]->cells[p.cell].attr]->style & SCRIVEL_STYLE_ANCHOR) != 0;
        }
    }
    HCURSOR c = link ? LoadCursorA(g_scrivelInstance, MAKEINTRESOURCEA(IDC_SCRIVEL_LINK)) : nullptr;
    if (!c && link) c = LoadCursorA(nullptr, IDC_HAND);
    if (!c) c = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(c);
    return 1;
}
