// Drawing one row of the data list: into a memory bitmap of the row's size, then copied out.  The
// headword column carries the tree marks of grouped rows; every text takes the colour of its
// entry's match class unless the row is drawn selected.
#include "widgetry.h"
#include "widgetry_int.h"

#include <string.h>

#include "strandkit.h"

// Where the parts of a row begin, from the row's left edge.
static const int kColouredLeft = 18;   // the selection colour and the focus rectangle
static const int kSubIndent = 10;      // a sub-entry's marks and text sit further right
static const int kTextLeft = 20;

struct RowPaint {
    HDC dc;
    int width, height, middle;
    COLORREF text, back;
    bool selected;
};

static void Dot(const DataList *dl, const RowPaint &p, int x, int y)
{
    if (x >= 0 && x < p.width && y >= 0 && y < p.height) SetPixelV(p.dc, x, y, dl->dotColour);
}

static void DottedLine(const DataList *dl, const RowPaint &p, int x, int from, int to)
{
    for (int y = from; y < to; y += 2) Dot(dl, p, x, y);
}

static void DrawTreeMarks(const DataList *dl, const RowPaint &p, int kind, bool nextIsSub)
{
    int m = p.middle;
    if (kind == ROW_OPEN) {
        if (dl->openIcon) DrawIconEx(p.dc, 0, m - 9, dl->openIcon, 16, 16, 0, nullptr, DI_NORMAL);
        for (int x = 14; x <= 18; x += 2) Dot(dl, p, x, m - 2);
        DottedLine(dl, p, 8, m + 4, p.height);
    } else if (kind == ROW_FOLDED) {
        if (dl->foldedIcon) DrawIconEx(p.dc, 0, m - 9, dl->foldedIcon, 16, 16, 0, nullptr, DI_NORMAL);
    } else if (kind == ROW_SUB) {
        for (int x = 8; x <= 28; x += 2) Dot(dl, p, x, m);
        DottedLine(dl, p, 8, 0, nextIsSub ? p.height : m);
    }
}

static void DrawHeadword(const DataList *dl, const RowPaint &p, const VLDataItem *item, int kind,
                         int left, int right)
{
    char text[264];
    const char *source = item->second ? item->second : item->headword;
    if (DataList_IsDriverDictionary(item) || !source) source = " ";
    lstrcpynA(text, source, 261);
    int x = left + kTextLeft + (kind == ROW_SUB ? kSubIndent : 0);
    if (right - 2 <= x) return;
    UINT flags = (dl->style & VLDLS_FITMODE2) ? STRANDKIT_FIT_ONE_LINE
                                              : STRANDKIT_FIT_ONE_LINE | STRANDKIT_FIT_ELLIPSIS;
    SIZE size = {0, 0};
    int length = Strandkit_FitTaggedText(p.dc, right - 2 - x, text, flags, &size, nullptr);
    Strandkit_DrawTaggedText(p.dc, x, (p.height - size.cy) / 2, text, length, p.text);
}

static void DrawPlainText(const RowPaint &p, const char *text, int left, int right)
{
    RECT rc = {left, 0, right, p.height};
    SetTextColor(p.dc, p.text);
    DrawTextA(p.dc, text, -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
}

static void DrawDictionary(const RowPaint &p, const VLDataItem *item, int left, int right)
{
    char name[256];
    COLORREF colour;
    DataList_DictionaryName(item, name, sizeof name, &colour);
    RECT box = {left + 2, p.middle - 5, left + 12, p.middle + 5};
    DrawEdge(p.dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    HBRUSH fill = CreateSolidBrush(colour);
    FillRect(p.dc, &box, fill);
    DeleteObject(fill);
    DrawPlainText(p, name, left + 16, right - 2);
}

static void DrawDate(const RowPaint &p, const VLDataItem *item, int left, int right)
{
    char date[160];
    DataList_DateText(item, date, sizeof date);
    DrawPlainText(p, date, left + 2, right - 2);
}

static void ChooseColours(const DataList *dl, const DRAWITEMSTRUCT *draw, const VLDataItem *item,
                          RowPaint *p)
{
    p->selected = (draw->itemState & ODS_SELECTED) != 0;
    if (!IsWindowEnabled(dl->window)) {
        p->text = GetSysColor(COLOR_GRAYTEXT);
        p->back = GetSysColor(COLOR_BTNFACE);
        return;
    }
    if (dl->popup) Strandkit_GetMenuColors(draw->itemState, &p->text, &p->back);
    else Strandkit_GetItemColors(draw->itemState, &p->text, &p->back);
    if (p->text != GetSysColor(COLOR_HIGHLIGHTTEXT))
        p->text = Widgetry_ScoreClassColour(&dl->options, item->score);
    if (!p->selected) p->back = dl->backgroundColour;
}

// Paints the row into the memory dc; every object it selects is put back by the caller.
static void PaintRow(DataList *dl, const DRAWITEMSTRUCT *draw, int index, RowPaint &p)
{
    const DataRow &row = dl->rows[index];
    const VLDataItem *item = VLWordList_GetItem(dl->list, row.item);
    if (!item) return;
    RECT whole = {0, 0, p.width, p.height};
    FillRect(p.dc, &whole, dl->background);
    ChooseColours(dl, draw, item, &p);
    int sub = row.kind == ROW_SUB ? kSubIndent : 0;
    RECT coloured = {kColouredLeft + sub, 0, p.width, p.height};
    HBRUSH back = CreateSolidBrush(p.back);
    FillRect(p.dc, &coloured, back);
    DeleteObject(back);
    SetBkMode(p.dc, TRANSPARENT);

    bool nextIsSub = index + 1 < (int)dl->rows.size() && dl->rows[index + 1].kind == ROW_SUB;
    int left = 0;
    for (int c = 0; c < dl->columnCount; c++) {
        int right = left + (int)SendMessageA(dl->view, LVM_GETCOLUMNWIDTH, c, 0);
        HRGN clip = CreateRectRgn(left, 0, right, p.height);
        SelectClipRgn(p.dc, clip);
        if (dl->columns[c] == COLUMN_HEADWORD) {
            DrawTreeMarks(dl, p, row.kind, nextIsSub);
            DrawHeadword(dl, p, item, row.kind, left, right);
        } else if (dl->columns[c] == COLUMN_DICTIONARY) {
            DrawDictionary(p, item, left, right);
        } else {
            DrawDate(p, item, left, right);
        }
        SelectClipRgn(p.dc, nullptr);
        DeleteObject(clip);
        left = right;
    }

    if (GetFocus() == dl->view && !dl->popup) {
        bool focused = (draw->itemState & ODS_FOCUS) != 0;
        if (!focused && (dl->style & VLDLS_FOLDED) && draw->itemID == 0 &&
            SendMessageA(dl->view, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED) < 0)
            focused = true;
        if (focused) {
            RECT focus = {kColouredLeft + sub, 0, p.width, p.height};
            DrawFocusRect(p.dc, &focus);
        }
    }
}

void DataList_DrawRow(DataList *dl, const DRAWITEMSTRUCT *draw)
{
    if (!(draw->itemAction & (ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS))) return;
    int index = DataList_RowIndex(dl, (int)draw->itemID);
    int width = draw->rcItem.right - draw->rcItem.left, height = draw->rcItem.bottom - draw->rcItem.top;
    if (index < 0 || width <= 0 || height <= 0) return;

    // One cleanup path: whatever the painting did, the bitmap and dc go.
    HDC mem = CreateCompatibleDC(draw->hDC);
    HBITMAP bitmap = mem ? CreateCompatibleBitmap(draw->hDC, width, height) : nullptr;
    if (bitmap) {
        HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
        HGDIOBJ oldFont = SelectObject(mem, dl->font);
        RowPaint p = {mem, width, height, height / 2, 0, 0, false};
        PaintRow(dl, draw, index, p);
        BitBlt(draw->hDC, draw->rcItem.left, draw->rcItem.top, width, height, mem, 0, 0, SRCCOPY);
        SelectObject(mem, oldFont);
        SelectObject(mem, oldBitmap);
    }
    if (bitmap) DeleteObject(bitmap);
    if (mem) DeleteDC(mem);
}
