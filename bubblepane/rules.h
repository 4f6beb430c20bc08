// The pop-up's rules that need no window: where a viewer or the candidate list goes beside the
// word, whether the cursor is still on the word, how the status bar is split, which match class
// an entry has, and how a chosen candidate replaces the word.  Pure functions, tested by tables.
#ifndef BUBBLEPANE_RULES_H
#define BUBBLEPANE_RULES_H

#include <windows.h>

// The point of a request: pointTop holds x and the line top, pointBottom y and the line bottom,
// each a signed 16-bit word.
struct BubblePoint {
    int x, y;
    int lineTop, lineBottom;
};
BubblePoint Bubble_UnpackPoint(DWORD pointTop, DWORD pointBottom);

// The cursor is on the word: inside (x - 2, y - 3) inclusive to (x + 2, y + 3) exclusive.
bool Bubble_CursorOnWord(POINT cursor, int x, int y);

// The viewer's top-left corner for a point, PopupPos 0 to 5 (others count as 0), the viewer's
// size and the work area of the word's monitor.  Below the line or above it, left of, centred on
// or right of x; kept inside the area horizontally, flipped to the other side of the line when it
// leaves the area vertically, and finally kept inside the area when even the flip does not fit.
POINT Bubble_PlaceViewer(const BubblePoint &point, int popupPos, SIZE viewer, const RECT &area);

// The candidate list's top-left corner: pointer lookups 13 pixels left of x, below the line (or
// 4 below y when y lies outside the line); other lookups 30 pixels left of x, below the line.
POINT Bubble_PlaceList(const BubblePoint &point, bool pointerMode);

// Status bar of a viewer: usable width and number of dictionaries of the pop-up list.
struct StatusSlots {
    int slots;        // slot 0 the status text, slots 1 to slots - 1 dictionary buttons
    int buttons;      // dictionary buttons shown (at most 10)
    int slotWidth;
    bool menuButton;  // the menu button for the dictionaries without a button
    int width;        // the width the slots share (less the menu button's 24 pixels)
};
StatusSlots Bubble_StatusSlots(int usableWidth, int dictionaries);

// Match class of an entry's score (0 exact to 4 other): the status string is 2113 + class; the
// colour index 0 Perfect, 1 Good, 2 Average, 3 Bad follows the data list's rule.
int Bubble_MatchClass(DWORD score);
int Bubble_MatchColourIndex(DWORD score);

// Word replacement: whether the source window class takes key messages (else WM_CHAR), and the
// number of characters from the start of the word (after the previous blank) up to and including
// the byte at wordPos, counting a double-byte character of the code page once; *start (may be
// null) gets the byte offset where the word starts.
bool Bubble_UsesKeyMessages(const char *className);
int Bubble_CharsToErase(const char *text, int length, int wordPos, UINT codePage, int *start);

#endif
