// The pop-up's rules that need no window (see rules.h).
#include "rules.h"

#include <cstring>

BubblePoint Bubble_UnpackPoint(DWORD pointTop, DWORD pointBottom)
{
    BubblePoint p;
    p.x = static_cast<SHORT>(LOWORD(pointTop));
    p.lineTop = static_cast<SHORT>(HIWORD(pointTop));
    p.y = static_cast<SHORT>(LOWORD(pointBottom));
    p.lineBottom = static_cast<SHORT>(HIWORD(pointBottom));
    return p;
}

bool Bubble_CursorOnWord(POINT cursor, int x, int y)
{
    return cursor.x >= x - 2 && cursor.x < x + 2 && cursor.y >= y - 3 && cursor.y < y + 3;
}

POINT Bubble_PlaceViewer(const BubblePoint &point, int popupPos, SIZE viewer, const RECT &area)
{
    int top = point.lineTop, bottom = point.lineBottom;
    if (point.y < top || point.y > bottom) {
        top = point.y - 4;
        bottom = point.y + 4;
    }
    const int w = viewer.cx, h = viewer.cy;
    if (popupPos < 0 || popupPos > 5) popupPos = 0;
    POINT at;
    switch (popupPos % 3) {
    case 0: at.x = point.x - w + 13; break;
    case 1: at.x = point.x - w / 2; break;
    default: at.x = point.x - 13; break;
    }
    at.y = popupPos < 3 ? bottom : top - h;

    if (at.x < area.left) at.x = area.left;
    if (at.x + w > area.right) at.x = area.right - w;
    if (at.y < area.top || at.y + h > area.bottom) at.y = at.y < area.top ? bottom + 2 : top - h - 8;
    // A viewer taller than the room on either side stays on the monitor all the same.
    if (at.y + h > area.bottom) at.y = area.bottom - h;
    if (at.y < area.top) at.y = area.top;
    return at;
}

POINT Bubble_PlaceList(const BubblePoint &point, bool pointerMode)
{
    POINT at;
    if (pointerMode) {
        at.x = point.x - 13;
        at.y = (point.y < point.lineTop || point.y > point.lineBottom) ? point.y + 4 : point.lineBottom;
    } else {
        at.x = point.x - 30;
        at.y = point.lineBottom;
    }
    return at;
}

StatusSlots Bubble_StatusSlots(int usableWidth, int dictionaries)
{
    StatusSlots s;
    if (dictionaries < 0) dictionaries = 0;
    s.width = usableWidth > 0 ? usableWidth : 0;
    s.slots = s.width / 60;
    if (s.slots < 2) s.slots = 2;
    const int wanted = dictionaries < 10 ? dictionaries + 1 : 11;  // ten dictionary buttons exist
    if (s.slots >= dictionaries + 1 && dictionaries <= 10) {
        s.slots = dictionaries + 1;
        s.menuButton = false;
    } else {
        if (s.slots > wanted) s.slots = wanted;
        s.width -= 24;
        if (s.width < 0) s.width = 0;
        s.menuButton = true;
    }
    if (s.slots < 1) s.slots = 1;
    s.buttons = s.slots - 1;
    s.slotWidth = s.width / s.slots;
    return s;
}

int Bubble_MatchClass(DWORD score)
{
    DWORD c = score >> 28;
    return c > 4 ? 4 : static_cast<int>(c);
}

int Bubble_MatchColourIndex(DWORD score)
{
    switch (Bubble_MatchClass(score)) {
    case 0: return 0;
    case 1:
    case 2: return 1;
    case 3: return 2;
    default: return 3;
    }
}

bool Bubble_UsesKeyMessages(const char *className)
{
    static const char *const kKeyClasses[] = {
        "RichEdit20A", "RichEdit20W", "txText32", "RichEdit", "EXCEL6", "HTMLEDIT", "Afx:400000:3028",
        "Internet Explorer_Server",
    };
    if (!className) return false;
    for (const char *k : kKeyClasses)
        if (std::strcmp(k, className) == 0) return true;
    return false;
}

int Bubble_CharsToErase(const char *text, int length, int wordPos, UINT codePage, int *start)
{
    int first = 0;
    if (start) *start = 0;
    if (!text || length <= 0) return 0;
    if (wordPos >= length) wordPos = length - 1;
    if (wordPos < 0) return 0;
    // Walk the text character by character so that trail bytes are never taken for blanks.
    int count = 0;
    for (int i = 0; i <= wordPos;) {
        int step = (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) && i + 1 < length) ? 2 : 1;
        if (step == 1 && text[i] == ' ') {
            first = i + 1;
            count = 0;
        } else {
            count++;
        }
        i += step;
    }
    if (start) *start = first;
    return count;
}
