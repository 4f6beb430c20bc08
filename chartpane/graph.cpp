// Geometry and painting of the usage graph: three lines (pop-ups, searches, outside lookups) over
// a week or a month, one column per day, scaled to the largest count shown.
#include "chartpane_int.h"

#include <stdio.h>

namespace {

const COLORREF kGridColour = 0xC4C4C4;
const COLORREF kLineColour[3] = {0x0000FF, 0xFF0000, 0x008000};  // red, blue, green

int Count(const OprLogDay &d, int which)
{
    return which == 0 ? d.popupCount : which == 1 ? d.searchCount : d.outsideCount;
}

void DateLabel(HDC dc, int x, int y, INT32 t)
{
    int key = OprLog_DateKey(t);
    char text[16];
    snprintf(text, sizeof text, "%02d/%02d", key / 100 % 100, key % 100);
    TextOutA(dc, x, y, text, lstrlenA(text));
}

}  // namespace

GraphLayout Graph_Layout(int width, int height, int days)
{
    GraphLayout g;
    g.left = 20;
    g.step = days > 0 && width > 20 ? (width - 20) / days : 0;
    g.unit = height > 0 ? height / 100 : 0;
    g.bottom = 100 * g.unit;
    return g;
}

int Graph_PointY(const GraphLayout &g, int value, int maxCount)
{
    if (maxCount <= 0 || value <= 0) return g.bottom;
    // Percent of the maximum, truncated as a real quotient would be (never 0 or 100 by accident
    // of integer division first).
    long long pct = (long long)value * 100 / maxCount;
    if (pct > 100) pct = 100;
    return g.unit * (100 - (int)pct);
}

int Graph_LabelColumns(int days, int cols[3])
{
    if (days == 7) {
        cols[0] = 3;
        cols[1] = 6;
        return 2;
    }
    cols[0] = 10;
    cols[1] = 20;
    cols[2] = days;
    return days > 20 ? 3 : 2;
}

void Graph_Paint(HDC dc, const RECT &rc, const OprLogDay *rec, int days)
{
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0 || days <= 0) return;

    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
    if (!mem || !bmp) {
        if (bmp) DeleteObject(bmp);
        if (mem) DeleteDC(mem);
        return;
    }
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    RECT all = {0, 0, width, height};
    FillRect(mem, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));

    GraphLayout g = Graph_Layout(width, height, days);
    HGDIOBJ oldPen = SelectObject(mem, GetStockObject(BLACK_PEN));
    HGDIOBJ oldFont = SelectObject(mem, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mem, TRANSPARENT);

    MoveToEx(mem, g.left, g.bottom, nullptr);   // base line and vertical axis
    LineTo(mem, width, g.bottom);
    MoveToEx(mem, g.left, 0, nullptr);
    LineTo(mem, g.left, g.bottom);
    DateLabel(mem, g.left - 17, g.bottom + 3, rec[0].dayTime);

    HPEN grid = CreatePen(PS_DOT, 1, kGridColour);
    SelectObject(mem, grid);
    for (int q = 1; q <= 3; q++) {
        int y = g.bottom * q / 4;
        MoveToEx(mem, g.left, y, nullptr);
        LineTo(mem, width, y);
    }
    for (int c = 1; c <= days; c++) {
        int x = g.left + c * g.step;
        MoveToEx(mem, x, 0, nullptr);
        LineTo(mem, x, g.bottom);
    }
    int cols[3];
    int labels = Graph_LabelColumns(days, cols);
    for (int i = 0; i < labels; i++) {
        int c = cols[i];
        int x = g.left + c * g.step - (days != 7 && c == days ? 30 : 20);
        // Grid line c stands at day c; the last line stands one past the last day, so it is
        // labelled with the last day there is.
        DateLabel(mem, x, g.bottom + 3, rec[c < days ? c : days - 1].dayTime);
    }

    int maxCount = 0;
    for (int i = 0; i < days; i++)
        for (int w = 0; w < 3; w++)
            if (Count(rec[i], w) > maxCount) maxCount = Count(rec[i], w);
    for (int w = 0; w < 3; w++) {
        HPEN pen = CreatePen(PS_SOLID, 1, kLineColour[w]);
        SelectObject(mem, pen);
        MoveToEx(mem, g.left, Graph_PointY(g, Count(rec[0], w), maxCount), nullptr);
        for (int i = 0; i < days; i++)
            LineTo(mem, g.left + i * g.step, Graph_PointY(g, Count(rec[i], w), maxCount));
        SelectObject(mem, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }

    SelectObject(mem, oldFont);
    SelectObject(mem, oldPen);
    DeleteObject(grid);
    BitBlt(dc, rc.left, rc.top, width, height, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
}
