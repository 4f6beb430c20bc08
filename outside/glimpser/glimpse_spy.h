// The text-drawing spy: a small library the capture server loads into the process of a window
// that draws its own text.  While armed for one window and one screen point, the spy notes every
// piece of text that the process draws in that window on the point's row; the server then has
// the window repaint itself and reads the pieces from the block shared by the spy's instances.
#ifndef GLIMPSE_SPY_H
#define GLIMPSE_SPY_H

#include <windows.h>

enum { GLIMPSE_SPY_PIECES = 32, GLIMPSE_SPY_CHARS = 512 };

struct GlimpseSpyPiece {
    RECT rect;       // screen box of the drawn text
    int length;      // characters in text
    int hit;         // index of the character under the point, -1 when the point is elsewhere
    LOGFONTA font;   // font of the drawing
    wchar_t text[GLIMPSE_SPY_CHARS];
};

struct GlimpseSpyShared {
    volatile LONG armed;
    HWND target;     // the window (or its children) whose drawing is noted
    POINT point;     // screen point
    volatile LONG count;
    GlimpseSpyPiece pieces[GLIMPSE_SPY_PIECES];
};

// Exported by name from GlimpseSpy.dll.
// Hooks the text drawing calls of every module of the calling process (again for modules loaded
// since); runs in a thread the server starts in the window's process.  Answers 1.
typedef DWORD(WINAPI *GlimpseSpyHookFn)(LPVOID);
// The block shared by all instances of the spy.
typedef GlimpseSpyShared *(WINAPI *GlimpseSpySharedFn)(void);

#endif  // GLIMPSE_SPY_H
