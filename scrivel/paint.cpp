// Drawing the document: the window is painted through a back buffer; the same line drawing
// serves callers' device contexts and printer pages.
#include "scrivel_int.h"
#include <commctrl.h>
#include "scrivel_menu.h"
#include "strandkit.h"

namespace {

// The image list of the outline markers and inline objects, made once per process on the first
// paint.  Without the library's resources the images are drawn by hand instead.
INIT_ONCE g_imagesOnce = INIT_ONCE_STATIC_INIT;
HIMAGELIST g_images = nullptr;

BOOL CALLBACK MakeImages(PINIT_ONCE, PVOID, PVOID *) {
    const int ids[5] = {IDI_SCRIVEL_EXPANDED, IDI_SCRIVEL_COLLAPSED, IDI_SCRIVEL_OBJECT3, IDI_SCRIVEL_OBJECT4,
                        IDI_SCRIVEL_OBJECT5};
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 5, 0);
    bool ok = list != nullptr;
    for (int i = 0; ok && i < 5; ++i) {
        HICON icon = static_cast<HICON>(
            LoadImageA(g_scrivelInstance, MAKEINTRESOURCEA(ids[i]), IMAGE_ICON, 16, 16, 0));
        ok = icon && ImageList_AddIcon(list, icon) == i;
        if (icon) DestroyIcon(icon);
    }
    if (ok) g_images = list;
    else if (list) ImageList_Destroy(list);
    return TRUE;
}

HIMAGELIST Images() {
    InitOnceExecuteOnce(&g_imagesOnce, MakeImages, nullptr, nullptr);
    return g_images;
}

const COLORREF kAnchorColour = 0xFF0000;

// The outline markers: a small box with a minus (expanded) or a plus (collapsed).
void DrawMarker(HDC dc, int marker, int x, int y) {
    if (HIMAGELIST list = Images()) {
        ImageList_Draw(list, marker - 1, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(96, 96, 96));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, x + 3, y + 3, x + 13, y + 13);
    MoveToEx(dc, x + 5, y + 8, nullptr);
    LineTo(dc, x + 11, y + 8);
    if (marker == SCRIVEL_MARK_COLLAPSED) {
        MoveToEx(dc, x + 8, y + 5, nullptr);
        LineTo(dc, x + 8, y + 11);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// An inline object: its image, or a framed square.
void DrawObject(HDC dc, int kind, int x, int y) {
    if (HIMAGELIST list = Images()) {
        if (kind >= 3 && kind <= 5) ImageList_Draw(list, kind - 1, dc, x, y, ILD_TRANSPARENT);
        return;
    }
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, x + 1, y + 1, x + 15, y + 15);
    SelectObject(dc, oldBrush);
}

void DrawLine(EditorDocument *doc, HDC dc, int line, int x, int y, HBRUSH bg) {
    const LineRecord *l = doc->lines[line];
    if (l->marker == SCRIVEL_MARK_EXPANDED || l->marker == SCRIVEL_MARK_COLLAPSED)
        DrawMarker(dc, l->marker, x - 17, y + l->ascent - 14);
    char bytes[512];
    int i = 0;
    while (i < l->count) {
        const CharCell &c = l->cells[i];
        const TextAttribute *a = doc->attrs[c.attr];
        if (a->type == 1) {
            RECT r = {x, y, x + c.width, y + l->height};
            FillRect(dc, &r, bg);
            x += c.width;
            ++i;
            continue;
        }
        if (a->type == 3) {
            DrawObject(dc, static_cast<int>(a->objectKind), x, y + l->ascent - 14);
            x += c.width;
            ++i;
            continue;
        }
        int n = 0, width = 0, j = i;
        while (j < l->count && l->cells[j].attr == c.attr && n + 2 <= static_cast<int>(sizeof(bytes))) {
            bytes[n++] = l->cells[j].ch[0];
            if (l->cells[j].ch[1]) bytes[n++] = l->cells[j].ch[1];
            width += l->cells[j].width;
            ++j;
        }
        bool anchor = (a->style & SCRIVEL_STYLE_ANCHOR) != 0;
        COLORREF colour = anchor ? kAnchorColour : a->colour;
        int base = y + l->ascent;
        if (a->style & SCRIVEL_STYLE_SUPER) base = y + a->ascent;
        else if (a->style & SCRIVEL_STYLE_SUB) base = y + l->height - a->descent;
        HGDIOBJ oldFont = a->font ? SelectObject(dc, a->font) : nullptr;
        SetTextColor(dc, colour);
        Strandkit_TextOut(dc, x, base, bytes, n, a->charset);
        if (oldFont) SelectObject(dc, oldFont);
        if (anchor || (a->style & SCRIVEL_STYLE_UNDERLINE)) {
            HPEN pen = CreatePen(PS_SOLID, 1, colour);
            HGDIOBJ oldPen = SelectObject(dc, pen);
            MoveToEx(dc, x, y + l->ascent + 2, nullptr);
            LineTo(dc, x + width, y + l->ascent + 2);
            SelectObject(dc, oldPen);
            DeleteObject(pen);
        }
        x += width;
        i = j;
    }
}

int XOf(const EditorDocument *doc, int line, int index, int left) {
    const LineRecord *l = doc->lines[line];
    int x = left;
    for (int c = 0; c < index && c < l->count; ++c) x += l->cells[c].width;
    return x;
}

}  // namespace

int ScrivelPaint_Lines(EditorDocument *doc, HDC dc, const RECT *rc, int printing,
                       const ScrivelSelection *sel, HBRUSH bg) {
    if (doc->lineCount == 0) return 0;
    int y = rc->top + doc->marginTop;
    int bottom = rc->bottom - doc->marginBottom;
    int line = doc->topLine < 0 ? 0 : doc->topLine;
    bool first = true;
    for (; line < doc->lineCount && y < bottom; ++line) {
        const LineRecord *l = doc->lines[line];
        if (l->flags & SCRIVEL_LINE_HIDDEN) continue;
        if (printing && !first && y + l->height > bottom) break;
        first = false;
        int left = ScrivelLayout_LineLeft(doc, line) + rc->left;
        DrawLine(doc, dc, line, left, y, bg);
        if (!printing && sel && sel->present && line >= sel->start.line && line <= sel->end.line) {
            int x0 = line == sel->start.line ? XOf(doc, line, ScrivelPos_Index(&sel->start), left) : left;
            int x1 = line == sel->end.line ? XOf(doc, line, ScrivelPos_Index(&sel->end), left)
                                           : XOf(doc, line, l->count, left);
            if (x1 > x0) {
                RECT r = {x0, y, x1, y + l->height};
                InvertRect(dc, &r);
            }
        }
        y += l->height;
    }
    return line;
}

void ScrivelPaint_FreeImages(void) {
    if (g_images) ImageList_Destroy(g_images);
    g_images = nullptr;
}

void ScrivelPaint_FreeBuffer(ScrivelWindow *w) {
    if (w->backDc) {
        SelectObject(w->backDc, w->backOld);
        DeleteDC(w->backDc);
    }
    if (w->backBmp) DeleteObject(w->backBmp);
    w->backDc = nullptr;
    w->backBmp = nullptr;
    w->backOld = nullptr;
}

void ScrivelPaint_RebuildBuffer(ScrivelWindow *w) {
    ScrivelPaint_FreeBuffer(w);
    RECT rc;
    GetClientRect(w->hwnd, &rc);
    int width = rc.right > 0 ? rc.right : 1;
    int height = rc.bottom > 0 ? rc.bottom : 1;
    HDC screen = GetDC(w->hwnd);
    w->backDc = CreateCompatibleDC(screen);
    w->backBmp = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(w->hwnd, screen);
    if (!w->backDc || !w->backBmp) {
        ScrivelPaint_FreeBuffer(w);
        return;
    }
    w->backOld = static_cast<HBITMAP>(SelectObject(w->backDc, w->backBmp));
    w->backW = width;
    w->backH = height;
}

void ScrivelPaint_OnPaint(ScrivelWindow *w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w->hwnd, &ps);
    EditorDocument *doc = ScrivelWin_Doc(w);
    if (!w->backDc) ScrivelPaint_RebuildBuffer(w);
    if (doc && w->backDc) {
        RECT rc = {0, 0, w->backW, w->backH};
        FillRect(w->backDc, &rc, w->bgBrush);
        SetBkMode(w->backDc, TRANSPARENT);
        SetTextAlign(w->backDc, TA_BASELINE | TA_LEFT);
        ScrivelPaint_Lines(doc, w->backDc, &rc, 0, &w->sel, w->bgBrush);
        RECT client;
        GetClientRect(w->hwnd, &client);
        BitBlt(dc, 0, 0, client.right, client.bottom, w->backDc, 0, 0, SRCCOPY);
    }
    EndPaint(w->hwnd, &ps);
}

int ScrivelPaint_To(ScrivelWindow *w, HDC dc, const RECT *rc) {
    EditorDocument *doc = w->doc;
    if (!doc || !dc || !rc) return 0;
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) clip = *rc;
    int width = clip.right > rc->right ? clip.right : rc->right;
    int height = clip.bottom > rc->bottom ? clip.bottom : rc->bottom;
    if (width <= 0 || height <= 0) return 0;
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
    if (mem && bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        FillRect(mem, rc, w->bgBrush ? w->bgBrush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(mem, TRANSPARENT);
        SetTextAlign(mem, TA_BASELINE | TA_LEFT);
        HRGN region = CreateRectRgnIndirect(rc);
        SelectClipRgn(mem, region);
        ScrivelPaint_Lines(doc, mem, rc, 0, &w->sel, w->bgBrush);
        SelectClipRgn(mem, nullptr);
        DeleteObject(region);
        BitBlt(dc, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, mem, rc->left, rc->top, SRCCOPY);
        SelectObject(mem, old);
    }
    if (bmp) DeleteObject(bmp);
    if (mem) DeleteDC(mem);
    return 0;
}
