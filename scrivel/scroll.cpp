// Scrolling arithmetic: the vertical bar counts shown lines, the horizontal bar pixels.  The
// window half turns scroll messages into these calls and hands the results to its scroll bars.
#include "scrivel_int.h"

namespace {

int Height(const EditorDocument *doc, int visible) { return doc->lines[doc->visibleMap[visible]]->height; }

int VisibleOf(const EditorDocument *doc, int line) {
    if (line < 0 || line >= doc->lineCount) return 0;
    int v = doc->lines[line]->visibleIndex;
    if (v >= 0) return v;
    // A hidden line: the shown line before it.
    for (int i = line - 1; i >= 0; --i)
        if (doc->lines[i]->visibleIndex >= 0) return doc->lines[i]->visibleIndex;
    return 0;
}

}  // namespace

int ScrivelScroll_LastPageTop(const EditorDocument *doc, int clientHeight) {
    if (doc->visibleCount == 0) return 0;
    int room = clientHeight - doc->marginTop;
    int v = doc->visibleCount - 1;
    int sum = Height(doc, v);
    while (v > 0 && sum + Height(doc, v - 1) <= room) {
        --v;
        sum += Height(doc, v);
    }
    return doc->visibleMap[v];
}

int ScrivelScroll_PageLines(const EditorDocument *doc, int clientHeight) {
    if (doc->visibleCount == 0) return 0;
    int top = VisibleOf(doc, ScrivelScroll_LastPageTop(doc, clientHeight));
    return doc->visibleCount - top;
}

void ScrivelScroll_VInfo(const EditorDocument *doc, int clientHeight, int *minimum, int *maximum,
                         int *page, int *position) {
    *minimum = 0;
    *maximum = doc->visibleCount > 0 ? doc->visibleCount - 1 : 0;
    *page = ScrivelScroll_PageLines(doc, clientHeight);
    *position = doc->visibleCount > 0 ? VisibleOf(doc, doc->topLine) : 0;
}

int ScrivelScroll_Vertical(EditorDocument *doc, int code, int thumb, int clientHeight) {
    if (doc->visibleCount == 0) return doc->topLine;
    int v = VisibleOf(doc, doc->topLine);
    int room = clientHeight - doc->marginTop;
    switch (code) {
    case SB_LINEUP:
        if (v > 0) --v;
        break;
    case SB_LINEDOWN:
        if (v + 1 < doc->visibleCount) ++v;
        break;
    case SB_PAGEUP: {
        // The line from which the lines down to the top line fill the window.
        int sum = Height(doc, v);
        while (v > 0 && sum + Height(doc, v - 1) <= room) {
            --v;
            sum += Height(doc, v);
        }
        break;
    }
    case SB_PAGEDOWN: {
        // The last line that fits becomes the top line.
        int sum = Height(doc, v);
        int last = v;
        while (last + 1 < doc->visibleCount && sum + Height(doc, last + 1) <= room) {
            ++last;
            sum += Height(doc, last);
        }
        v = last > v ? last : (v + 1 < doc->visibleCount ? v + 1 : v);
        break;
    }
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        v = thumb < 0 ? 0 : (thumb >= doc->visibleCount ? doc->visibleCount - 1 : thumb);
        break;
    default:
        return doc->topLine;
    }
    int top = doc->visibleMap[v];
    if (doc->style & SCRIVEL_WS_TOPCLAMP) {
        int lastTop = ScrivelScroll_LastPageTop(doc, clientHeight);
        if (top > lastTop) top = lastTop;
    }
    doc->topLine = top;
    return top;
}

void ScrivelScroll_HInfo(const EditorDocument *doc, int clientWidth, int *maximum, int *page,
                         int *shown) {
    int m = doc->widest + doc->marginLeft + doc->marginRight - 1;
    if (clientWidth + doc->hOffset > m) m = clientWidth + doc->hOffset;
    *maximum = m;
    *page = clientWidth;
    *shown = (doc->hOffset != 0 || doc->widest + doc->marginLeft + doc->marginRight > clientWidth) ? 1 : 0;
}

int ScrivelScroll_Horizontal(EditorDocument *doc, int code, int thumb, int clientWidth) {
    int maximum, page, shown;
    ScrivelScroll_HInfo(doc, clientWidth, &maximum, &page, &shown);
    int x = doc->hOffset;
    switch (code) {
    case SB_LINELEFT: x -= 12; break;
    case SB_LINERIGHT: x += 12; break;
    case SB_PAGELEFT: x -= page; break;
    case SB_PAGERIGHT: x += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: x = thumb; break;
    case SB_LEFT: x = 0; break;
    case SB_RIGHT: x = maximum - 1; break;
    default: return doc->hOffset;
    }
    int high = maximum - page - 1;
    if (x > high) x = high;
    if (x < 0) x = 0;
    doc->hOffset = x;
    return x;
}
