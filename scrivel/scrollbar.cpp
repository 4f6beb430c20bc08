// Custom-drawn scroll bars: a subclass that makes the bars part of the window's non-client
// area, lays them out, hit-tests and tracks them, and asks the parent to draw every part through
// custom-draw notifications.  Windows without the subclass fall back to the system's calls.
#include "scrivel_int.h"
#include <commctrl.h>
#include <windowsx.h>

namespace {

const char kProp[] = "CoolSBSubclassPtr";
const UINT_PTR kDelayTimer = 0xFFFD;
const UINT_PTR kRepeatTimer = 0xFFFE;
enum { PART_UP = 0, PART_DOWN = 1, PART_PAGEUP = 2, PART_PAGEDOWN = 3, PART_THUMB = 5, PART_NONE = -1 };
enum { STATE_NORMAL = 32, STATE_PRESSED = 1, STATE_HOT = 64, STATE_DISABLED = 4 };
enum { FLAG_UP_DISABLED = 1, FLAG_DOWN_DISABLED = 2, FLAG_ALWAYS = 4, FLAG_SHOWN = 8 };

struct Bar {
    ScrivelSbInfo info;
    int flags;
    int style;
    int arrowLen;
    int thickness;
    int minThumb;
};

struct State {
    WNDPROC old;
    Bar bars[2];  // SB_HORZ, SB_VERT
    int leftSide;
    RECT insets;  // non-client insets measured around the bars
    int tracking;
    int hideStyle;
};

// One mouse action at a time, process-wide.
struct Track {
    HWND hwnd;
    int bar;
    int pressed;
    int over;
    int grab;
    int startOffset;
    int offset;
    int lastPos;
    int thumb;
} g_track;

// The part under the pointer for hot tracking (style 2), one window at a time.
const UINT_PTR kHotTimer = static_cast<UINT_PTR>(-14);
struct Hot {
    HWND hwnd;
    int bar;
    int part;
} g_hot = {nullptr, -1, -1};

State *Get(HWND hwnd) { return static_cast<State *>(GetPropA(hwnd, kProp)); }

int Metric(int value, int system) { return value < 0 ? -value * GetSystemMetrics(system) : value; }

bool Shown(const State *s, int bar) { return (s->bars[bar].flags & FLAG_SHOWN) != 0; }

// The rectangle of a bar in window coordinates; empty when hidden.
RECT BarRect(HWND hwnd, const State *s, int bar) {
    RECT w, r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &w);
    int width = w.right - w.left, height = w.bottom - w.top;
    int ht = Metric(s->bars[SB_HORZ].thickness, SM_CYHSCROLL);
    int vt = Metric(s->bars[SB_VERT].thickness, SM_CXVSCROLL);
    if (!Shown(s, bar)) return r;
    if (bar == SB_HORZ) {
        r.left = s->insets.left;
        r.right = width - s->insets.right;
        r.bottom = height - s->insets.bottom;
        r.top = r.bottom - ht;
        if (Shown(s, SB_VERT)) {
            if (s->leftSide) r.left += vt;
            else r.right -= vt;
        }
    } else {
        r.top = s->insets.top;
        r.bottom = height - s->insets.bottom;
        if (Shown(s, SB_HORZ)) r.bottom -= ht;
        if (s->leftSide) {
            r.left = s->insets.left;
            r.right = r.left + vt;
        } else {
            r.right = width - s->insets.right;
            r.left = r.right - vt;
        }
    }
    return r;
}

int Length(const RECT &r, int bar) { return bar == SB_HORZ ? r.right - r.left : r.bottom - r.top; }

void LayoutOf(HWND hwnd, const State *s, int bar, RECT *rect, ScrivelSbLayout *lay) {
    *rect = BarRect(hwnd, s, bar);
    const Bar &b = s->bars[bar];
    int disabled = (b.flags & (FLAG_UP_DISABLED | FLAG_DOWN_DISABLED)) == (FLAG_UP_DISABLED | FLAG_DOWN_DISABLED);
    ScrivelSb_Layout(&b.info, Length(*rect, bar), Metric(b.arrowLen, bar == SB_HORZ ? SM_CXHSCROLL : SM_CYVSCROLL),
                     b.minThumb, disabled, lay);
    if (g_track.hwnd == hwnd && g_track.bar == bar && g_track.thumb) lay->thumbOffset = g_track.offset;
}

// A part's rectangle from its span along the bar.
RECT Span(const RECT &bar, int vertical, int from, int to) {
    RECT r = bar;
    if (vertical) {
        r.top = bar.top + from;
        r.bottom = bar.top + to;
    } else {
        r.left = bar.left + from;
        r.right = bar.left + to;
    }
    return r;
}

int PartAt(const ScrivelSbLayout &lay, int length, int t) {
    if (t < 0 || t >= length) return PART_NONE;
    if (t < lay.arrow) return PART_UP;
    if (t >= length - lay.arrow) return PART_DOWN;
    if (lay.thumb > 0) {
        int a = lay.arrow + lay.thumbOffset;
        if (t >= a && t < a + lay.thumb) return PART_THUMB;
        return t < a ? PART_PAGEUP : PART_PAGEDOWN;
    }
    return PART_PAGEUP;
}

POINT ToWindow(HWND hwnd, POINT screen) {
    RECT w;
    GetWindowRect(hwnd, &w);
    return {screen.x - w.left, screen.y - w.top};
}

LRESULT Notify(HWND hwnd, DWORD stage, UINT bar, UINT part, const RECT &rc, UINT state, HDC dc) {
    HWND parent = GetParent(hwnd);
    if (!parent) return 0;
    ScrivelSbCustomDraw cd = {};
    cd.hdr.hwndFrom = hwnd;
    cd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    cd.hdr.code = static_cast<UINT>(SCRIVEL_NM_SBCUSTOMDRAW);
    cd.stage = stage;
    cd.bar = bar;
    cd.part = part;
    cd.rect = rc;
    cd.state = state;
    cd.dc = dc;
    return SendMessageA(parent, WM_NOTIFY, cd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
}

void DrawBar(HWND hwnd, State *s, int bar, HDC dc) {
    RECT r;
    ScrivelSbLayout lay;
    LayoutOf(hwnd, s, bar, &r, &lay);
    int len = Length(r, bar);
    int vertical = bar == SB_VERT;
    Notify(hwnd, 1, bar, 0, r, 0, dc);
    auto state = [&](int part) -> UINT {
        if (!lay.canScroll) return STATE_DISABLED;
        if (g_track.hwnd == hwnd && g_track.bar == bar && g_track.pressed == part &&
            (part == PART_THUMB || g_track.over == part))
            return STATE_PRESSED;
        if (g_hot.hwnd == hwnd && g_hot.bar == bar && g_hot.part == part && (s->bars[bar].style & 2))
            return STATE_HOT;
        return STATE_NORMAL;
    };
    Notify(hwnd, 0x10001, bar, PART_UP, Span(r, vertical, 0, lay.arrow), state(PART_UP), dc);
    Notify(hwnd, 0x10001, bar, PART_DOWN, Span(r, vertical, len - lay.arrow, len), state(PART_DOWN), dc);
    if (lay.thumb > 0) {
        int a = lay.arrow + lay.thumbOffset;
        Notify(hwnd, 0x10001, bar, PART_PAGEUP, Span(r, vertical, lay.arrow, a), state(PART_PAGEUP), dc);
        Notify(hwnd, 0x10001, bar, PART_THUMB, Span(r, vertical, a, a + lay.thumb), state(PART_THUMB), dc);
        Notify(hwnd, 0x10001, bar, PART_PAGEDOWN, Span(r, vertical, a + lay.thumb, len - lay.arrow),
               state(PART_PAGEDOWN), dc);
    } else if (lay.track > 0) {
        Notify(hwnd, 0x10001, bar, PART_PAGEUP, Span(r, vertical, lay.arrow, len - lay.arrow), state(PART_PAGEUP), dc);
    }
    Notify(hwnd, 2, bar, 0, r, 0, dc);
}

void PaintBars(HWND hwnd, State *s) {
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    for (int bar = 0; bar < 2; ++bar)
        if (Shown(s, bar)) DrawBar(hwnd, s, bar, dc);
    if (Shown(s, SB_HORZ) && Shown(s, SB_VERT)) {
        RECT h = BarRect(hwnd, s, SB_HORZ), v = BarRect(hwnd, s, SB_VERT);
        RECT box = {v.left, h.top, v.right, h.bottom};
        if (!Notify(hwnd, 0x10001, 3, 32, box, STATE_NORMAL, dc)) {
            // Nobody drew the box: a size grip where the window's corner meets its parent's
            // client corner, else the button face.
            RECT wr, pc;
            HWND parent = GetParent(hwnd);
            bool grip = false;
            if (parent && GetClientRect(parent, &pc)) {
                POINT corner = {pc.right, pc.bottom};
                ClientToScreen(parent, &corner);
                GetWindowRect(hwnd, &wr);
                grip = corner.x == wr.right && corner.y == wr.bottom;
            }
            if (grip) DrawFrameControl(dc, &box, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
            else FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    ReleaseDC(hwnd, dc);
}

void RefreshFrame(HWND hwnd) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Calls the replaced procedure with the scroll styles removed.
LRESULT CallPlain(State *s, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    LONG bars = style & (WS_HSCROLL | WS_VSCROLL);
    if (bars) {
        s->hideStyle = 1;
        SetWindowLongA(hwnd, GWL_STYLE, style & ~bars);
    }
    LRESULT r = CallWindowProcA(s->old, hwnd, msg, wp, lp);
    if (bars) {
        SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | bars);
        s->hideStyle = 0;
    }
    return r;
}

void SendScroll(HWND hwnd, int bar, int code, int pos) {
    SendMessageA(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, pos), 0);
}

void EndTrack(HWND hwnd, State *s) {
    KillTimer(hwnd, kDelayTimer);
    KillTimer(hwnd, kRepeatTimer);
    ReleaseCapture();
    int bar = g_track.bar;
    if (g_track.thumb) SendScroll(hwnd, bar, SB_THUMBPOSITION, g_track.lastPos);
    SendScroll(hwnd, bar, SB_ENDSCROLL, 0);
    g_track = {};
    s->tracking = 0;
    PaintBars(hwnd, s);
}

LRESULT OnNcLButtonDown(HWND hwnd, State *s, WPARAM wp, LPARAM lp) {
    int bar = wp == HTHSCROLL ? SB_HORZ : SB_VERT;
    RECT r;
    ScrivelSbLayout lay;
    LayoutOf(hwnd, s, bar, &r, &lay);
    POINT p = ToWindow(hwnd, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    int t = bar == SB_HORZ ? p.x - r.left : p.y - r.top;
    int part = PartAt(lay, Length(r, bar), t);
    if (part == PART_NONE || !lay.canScroll) return 0;
    const Bar &b = s->bars[bar];
    if ((part == PART_UP && (b.flags & FLAG_UP_DISABLED)) || (part == PART_DOWN && (b.flags & FLAG_DOWN_DISABLED)))
        return 0;
    g_track = {};
    g_track.hwnd = hwnd;
    g_track.bar = bar;
    g_track.pressed = part;
    g_track.over = part;
    s->tracking = 1;
    if (part == PART_THUMB) {
        g_track.thumb = 1;
        g_track.grab = t - lay.arrow - lay.thumbOffset;
        g_track.startOffset = g_track.offset = lay.thumbOffset;
        g_track.lastPos = b.info.position;
        SetCapture(hwnd);
        PaintBars(hwnd, s);
        return 0;
    }
    SendScroll(hwnd, bar, part, 0);
    SetCapture(hwnd);
    SetTimer(hwnd, kDelayTimer, 300, nullptr);
    PaintBars(hwnd, s);
    return 0;
}

void OnTrackMove(HWND hwnd, State *s, LPARAM lp) {
    POINT c = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(hwnd, &c);
    POINT p = ToWindow(hwnd, c);
    int bar = g_track.bar;
    RECT r;
    ScrivelSbLayout lay;
    g_track.thumb = 0;  // the layout's own thumb offset, not the dragged one
    LayoutOf(hwnd, s, bar, &r, &lay);
    int len = Length(r, bar);
    int t = bar == SB_HORZ ? p.x - r.left : p.y - r.top;
    if (g_track.pressed != PART_THUMB) {
        g_track.thumb = 0;
        int over = PartAt(lay, len, t);
        bool inBar = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
        int was = g_track.over;
        g_track.over = inBar ? over : PART_NONE;
        if (was != g_track.over) PaintBars(hwnd, s);
        return;
    }
    g_track.thumb = 1;
    RECT wide = r;
    if (bar == SB_HORZ) InflateRect(&wide, 48, 24);
    else InflateRect(&wide, 24, 48);
    int offset = g_track.startOffset;
    if (PtInRect(&wide, p)) {
        offset = t - lay.arrow - g_track.grab;
        int room = lay.track - lay.thumb;
        if (offset > room) offset = room;
        if (offset < 0) offset = 0;
    }
    g_track.offset = offset;
    int pos = ScrivelSb_PosFromOffset(&s->bars[bar].info, &lay, offset);
    if (pos != g_track.lastPos) {
        g_track.lastPos = pos;
        s->bars[bar].info.trackPos = pos;
        SendScroll(hwnd, bar, SB_THUMBTRACK, pos);
    }
    PaintBars(hwnd, s);
}

void OnTimer(HWND hwnd, State *s, UINT_PTR id) {
    if (id == kDelayTimer) {
        KillTimer(hwnd, kDelayTimer);
        SetTimer(hwnd, kRepeatTimer, 55, nullptr);
        return;
    }
    if (g_track.over == g_track.pressed) SendScroll(hwnd, g_track.bar, g_track.pressed, 0);
    (void)s;
}

LRESULT OnNcCalcSize(HWND hwnd, State *s, WPARAM wp, LPARAM lp) {
    RECT *rc = reinterpret_cast<RECT *>(lp);
    RECT before = *rc;
    LRESULT r = CallPlain(s, hwnd, WM_NCCALCSIZE, wp, lp);
    s->insets.left = rc->left - before.left;
    s->insets.top = rc->top - before.top;
    s->insets.right = before.right - rc->right;
    s->insets.bottom = before.bottom - rc->bottom;
    int ht = Metric(s->bars[SB_HORZ].thickness, SM_CYHSCROLL);
    int vt = Metric(s->bars[SB_VERT].thickness, SM_CXVSCROLL);
    if (Shown(s, SB_HORZ) && ht < rc->bottom - rc->top) rc->bottom -= ht;
    if (Shown(s, SB_VERT) && vt <= rc->right - rc->left) {
        if (s->leftSide) rc->left += vt;
        else rc->right -= vt;
    }
    return r;
}

LRESULT OnNcHitTest(HWND hwnd, State *s, WPARAM wp, LPARAM lp) {
    POINT p = ToWindow(hwnd, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    for (int bar = 0; bar < 2; ++bar) {
        if (!Shown(s, bar)) continue;
        RECT r = BarRect(hwnd, s, bar);
        if (PtInRect(&r, p)) return bar == SB_HORZ ? HTHSCROLL : HTVSCROLL;
    }
    return CallPlain(s, hwnd, WM_NCHITTEST, wp, lp);
}

// The bar and part under the screen point, or bar -1.
void HitPart(HWND hwnd, State *s, POINT screen, int *bar, int *part) {
    POINT p = ToWindow(hwnd, screen);
    *bar = -1;
    *part = PART_NONE;
    for (int b = 0; b < 2; ++b) {
        if (!Shown(s, b)) continue;
        RECT r;
        ScrivelSbLayout lay;
        LayoutOf(hwnd, s, b, &r, &lay);
        if (!PtInRect(&r, p)) continue;
        *bar = b;
        *part = PartAt(lay, Length(r, b), b == SB_HORZ ? p.x - r.left : p.y - r.top);
        return;
    }
}

void HotTick(HWND hwnd, State *s) {
    POINT pt;
    GetCursorPos(&pt);
    int bar, part;
    HitPart(hwnd, s, pt, &bar, &part);
    if (bar < 0) {
        KillTimer(hwnd, kHotTimer);
        g_hot = {nullptr, -1, -1};
        PaintBars(hwnd, s);
        return;
    }
    if (bar != g_hot.bar || part != g_hot.part) {
        g_hot = {hwnd, bar, part};
        PaintBars(hwnd, s);
    }
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    State *s = Get(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wp, lp);
    bool mine = g_track.hwnd == hwnd;
    switch (msg) {
    case WM_NCCALCSIZE: return OnNcCalcSize(hwnd, s, wp, lp);
    case WM_NCPAINT: {
        LRESULT r = CallPlain(s, hwnd, msg, wp, lp);
        PaintBars(hwnd, s);
        return r;
    }
    case WM_NCHITTEST: return OnNcHitTest(hwnd, s, wp, lp);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wp == HTHSCROLL || wp == HTVSCROLL) return OnNcLButtonDown(hwnd, s, wp, lp);
        break;
    case WM_NCMOUSEMOVE:
        if ((wp == HTHSCROLL || wp == HTVSCROLL) && !s->tracking && g_hot.hwnd != hwnd) {
            if (g_hot.hwnd) KillTimer(g_hot.hwnd, kHotTimer);
            g_hot = {hwnd, -1, -1};
            SetTimer(hwnd, kHotTimer, 20, nullptr);
            HotTick(hwnd, s);
        }
        break;
    case WM_MOUSEMOVE:
        if (mine) {
            OnTrackMove(hwnd, s, lp);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (mine) {
            EndTrack(hwnd, s);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wp == kHotTimer) {
            HotTick(hwnd, s);
            return 0;
        }
        if (mine && (wp == kDelayTimer || wp == kRepeatTimer)) {
            OnTimer(hwnd, s, wp);
            return 0;
        }
        break;
    case WM_STYLECHANGED:
        if (s->hideStyle) return 0;
        if (wp == static_cast<WPARAM>(GWL_EXSTYLE))
            s->leftSide = (reinterpret_cast<const STYLESTRUCT *>(lp)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        break;
    case WM_NCDESTROY: {
        WNDPROC old = s->old;
        ScrivelSb_Remove(hwnd);
        return CallWindowProcA(old, hwnd, msg, wp, lp);
    }
    default: break;
    }
    return CallWindowProcA(s->old, hwnd, msg, wp, lp);
}

Bar *BarOf(HWND hwnd, int bar) {
    State *s = Get(hwnd);
    if (!s || bar < 0 || bar > 1) return nullptr;
    return &s->bars[bar];
}

bool CanScroll(const ScrivelSbInfo &i) {
    return i.maximum >= i.page && i.minimum < i.maximum && i.maximum != 0;
}

}  // namespace

void ScrivelSb_Layout(const ScrivelSbInfo *si, int length, int arrowLen, int minThumb, int arrowsDisabled,
                      ScrivelSbLayout *out) {
    int a = arrowLen;
    if (length < 2 * a) a = length / 2;
    if (a < 0) a = 0;
    int track = length - 2 * a;
    if (track < 0) track = 0;
    long long range = static_cast<long long>(si->maximum) - si->minimum + 1;
    int thumb = a;
    if (si->page != 0 && range > 0) {
        long long t = static_cast<long long>(si->page) * track / range;
        thumb = t > minThumb ? static_cast<int>(t) : minThumb;
    }
    out->arrow = a;
    out->track = track;
    out->canScroll = CanScroll(*si) ? 1 : 0;
    bool showThumb = out->canScroll && thumb <= track && !arrowsDisabled && track > 0;
    out->thumb = showThumb ? thumb : 0;
    out->thumbOffset = 0;
    if (!showThumb) return;
    // Both denominators may be 0 (a thumb that fills the track, or a page as large as the
    // range): the thumb then stays at the start.
    long long denom = static_cast<long long>(si->maximum) - si->minimum - (si->page > 1 ? si->page : 1) + 1;
    int room = track - thumb;
    if (denom > 0 && room > 0) {
        long long off = (static_cast<long long>(si->position) - si->minimum) * room / denom;
        if (off < 0) off = 0;
        if (off > room) off = room;
        out->thumbOffset = static_cast<int>(off);
    }
}

int ScrivelSb_PosFromOffset(const ScrivelSbInfo *si, const ScrivelSbLayout *lay, int offset) {
    int room = lay->track - lay->thumb;
    if (room <= 0) return si->position;
    long long span = static_cast<long long>(si->maximum) - si->minimum - si->page + 1;
    if (span < 0) span = 0;
    long long pos = si->minimum + static_cast<long long>(offset) * span / room;
    long long top = static_cast<long long>(si->maximum) - (si->page > 0 ? si->page : 1) + 1;
    if (pos > top) pos = top;
    if (pos < si->minimum) pos = si->minimum;
    return static_cast<int>(pos);
}

int ScrivelSb_Install(HWND hwnd) {
    if (!hwnd || Get(hwnd)) return 0;
    State *s = static_cast<State *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(State)));
    if (!s) return 0;
    OSVERSIONINFOA v = {sizeof(v), 0, 0, 0, 0, {0}};
    GetVersionExA(&v);
    int minThumb = (v.dwPlatformId != VER_PLATFORM_WIN32_NT || v.dwMajorVersion < 5) ? 8 : 6;
    for (int b = 0; b < 2; ++b) {
        s->bars[b].arrowLen = -1;
        s->bars[b].thickness = -1;
        s->bars[b].minThumb = minThumb;
    }
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (style & WS_HSCROLL) s->bars[SB_HORZ].flags |= FLAG_SHOWN;
    if (style & WS_VSCROLL) s->bars[SB_VERT].flags |= FLAG_SHOWN;
    s->leftSide = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    if (!SetPropA(hwnd, kProp, s)) {
        HeapFree(GetProcessHeap(), 0, s);
        return 0;
    }
    s->old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    RefreshFrame(hwnd);
    return 1;
}

void ScrivelSb_Remove(HWND hwnd) {
    State *s = Get(hwnd);
    if (!s) return;
    if (g_track.hwnd == hwnd) g_track = {};
    if (g_hot.hwnd == hwnd) {
        KillTimer(hwnd, kHotTimer);
        g_hot = {nullptr, -1, -1};
    }
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s->old));
    RemovePropA(hwnd, kProp);
    HeapFree(GetProcessHeap(), 0, s);
    RefreshFrame(hwnd);
}

int ScrivelSb_SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO *si, BOOL redraw) {
    Bar *b = BarOf(hwnd, bar);
    if (!b) return SetScrollInfo(hwnd, bar, si, redraw);
    ScrivelSbInfo &i = b->info;
    if (si->fMask & SIF_RANGE) {
        i.minimum = si->nMin;
        i.maximum = si->nMax;
    }
    if (si->fMask & SIF_PAGE) {
        long long limit = static_cast<long long>(i.maximum) - i.minimum + 1;
        i.page = static_cast<long long>(si->nPage) > limit ? static_cast<int>(limit) : static_cast<int>(si->nPage);
        if (i.page < 0) i.page = 0;
    }
    if (si->fMask & SIF_POS) i.position = si->nPos;
    long long top = static_cast<long long>(i.maximum) - (i.page > 0 ? i.page : 1) + 1;
    if (i.position > top) i.position = static_cast<int>(top);
    if (i.position < i.minimum) i.position = i.minimum;
    bool show = (si->fMask & SIF_DISABLENOSCROLL) || (b->flags & FLAG_ALWAYS) || CanScroll(i);
    bool was = (b->flags & FLAG_SHOWN) != 0;
    if (show) b->flags |= FLAG_SHOWN;
    else b->flags &= ~FLAG_SHOWN;
    State *s = Get(hwnd);
    if (show != was) RefreshFrame(hwnd);
    else if (redraw && !s->tracking) PaintBars(hwnd, s);
    return i.position;
}

int ScrivelSb_GetScrollInfo(HWND hwnd, int bar, SCROLLINFO *si) {
    Bar *b = BarOf(hwnd, bar);
    if (!b) return GetScrollInfo(hwnd, bar, si);
    if (si->fMask & SIF_RANGE) {
        si->nMin = b->info.minimum;
        si->nMax = b->info.maximum;
    }
    if (si->fMask & SIF_PAGE) si->nPage = static_cast<UINT>(b->info.page);
    if (si->fMask & SIF_POS) si->nPos = b->info.position;
    if (si->fMask & SIF_TRACKPOS) si->nTrackPos = b->info.trackPos;
    return TRUE;
}

int ScrivelSb_ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    State *s = Get(hwnd);
    if (!s) return ShowScrollBar(hwnd, bar, show);
    for (int b = 0; b < 2; ++b) {
        if (!(bar == SB_BOTH || bar == b)) continue;
        if (show) s->bars[b].flags |= FLAG_SHOWN;
        else s->bars[b].flags &= ~FLAG_SHOWN;
        LONG bit = b == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
        LONG style = GetWindowLongA(hwnd, GWL_STYLE);
        s->hideStyle = 1;
        SetWindowLongA(hwnd, GWL_STYLE, show ? style | bit : style & ~bit);
        s->hideStyle = 0;
    }
    RefreshFrame(hwnd);
    return TRUE;
}

int ScrivelSb_SetStyle(HWND hwnd, int bar, int style) {
    State *s = Get(hwnd);
    if (!s) return 0;
    for (int b = 0; b < 2; ++b)
        if (bar == SB_BOTH || bar == b) s->bars[b].style = style;
    return 1;
}

int ScrivelSb_SetSize(HWND hwnd, int bar, int length, int thickness) {
    State *s = Get(hwnd);
    if (!s) return 0;
    for (int b = 0; b < 2; ++b)
        if (bar == SB_BOTH || bar == b) {
            s->bars[b].arrowLen = length;
            s->bars[b].thickness = thickness;
        }
    RefreshFrame(hwnd);
    return 1;
}

int ScrivelSb_SetMinThumb(HWND hwnd, int bar, int length) {
    State *s = Get(hwnd);
    if (!s) return 0;
    for (int b = 0; b < 2; ++b)
        if (bar == SB_BOTH || bar == b) s->bars[b].minThumb = length;
    return 1;
}
