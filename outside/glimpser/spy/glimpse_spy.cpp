// The text-drawing spy (see glimpse_spy.h).  Its hooks replace the text-drawing entries of gdi32
// in the import tables of the process's modules and note what is drawn before drawing it.
#include <string.h>
#include "../glimpse_spy.h"
#include <tlhelp32.h>

GlimpseSpyShared g_spy __attribute__((section(".spyshr"), shared)) = {};

namespace {

HMODULE g_self;

typedef BOOL(WINAPI *TextOutAFn)(HDC, int, int, LPCSTR, int);
typedef BOOL(WINAPI *TextOutWFn)(HDC, int, int, LPCWSTR, int);
typedef BOOL(WINAPI *ExtTextOutAFn)(HDC, int, int, UINT, const RECT *, LPCSTR, UINT, const INT *);
typedef BOOL(WINAPI *ExtTextOutWFn)(HDC, int, int, UINT, const RECT *, LPCWSTR, UINT, const INT *);

TextOutAFn g_textOutA;
TextOutWFn g_textOutW;
ExtTextOutAFn g_extTextOutA;
ExtTextOutWFn g_extTextOutW;

bool ForTarget(HWND w) {
    HWND target = g_spy.target;
    return w && target && (w == target || IsChild(target, w));
}

// Notes one drawn piece when it lies on the point's row of the target window.
void Note(HDC dc, int x, int y, UINT options, const wchar_t *s, int n, const INT *dx) {
    if (!g_spy.armed || n <= 0 || (options & ETO_GLYPH_INDEX)) return;
    HWND w = WindowFromDC(dc);
    if (!ForTarget(w)) return;
    if (n > GLIMPSE_SPY_CHARS) n = GLIMPSE_SPY_CHARS;
    static int ends[GLIMPSE_SPY_CHARS];
    SIZE size = {0, 0};
    int fit = 0;
    if (dx) {
        int sum = 0;
        for (int i = 0; i < n; i++) ends[i] = (sum += dx[(options & ETO_PDY) ? 2 * i : i]);
    } else if (!GetTextExtentExPointW(dc, s, n, INT_MAX / 2, &fit, ends, &size)) {
        return;
    }
    TEXTMETRICW tm;
    if (!GetTextMetricsW(dc, &tm)) return;
    int width = ends[n - 1];
    UINT align = GetTextAlign(dc);
    POINT p = {x, y};
    if (align & TA_UPDATECP) GetCurrentPositionEx(dc, &p);
    if ((align & TA_CENTER) == TA_CENTER)
        p.x -= width / 2;
    else if (align & TA_RIGHT)
        p.x -= width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        p.y -= tm.tmAscent;
    else if (align & TA_BOTTOM)
        p.y -= tm.tmHeight;
    POINT corner[2] = {p, {p.x + width, p.y + tm.tmHeight}};
    LPtoDP(dc, corner, 2);
    MapWindowPoints(w, nullptr, corner, 2);
    RECT r = {corner[0].x, corner[0].y, corner[1].x, corner[1].y};
    if (g_spy.point.y < r.top || g_spy.point.y >= r.bottom) return;
    LONG slot = InterlockedIncrement(&g_spy.count) - 1;
    if (slot >= GLIMPSE_SPY_PIECES) return;
    GlimpseSpyPiece &piece = g_spy.pieces[slot];
    piece.rect = r;
    piece.length = n;
    memcpy(piece.text, s, n * sizeof(wchar_t));
    piece.hit = -1;
    int scale = corner[1].x - corner[0].x;  // device pixels for width logical units
    for (int i = 0; i < n && g_spy.point.x >= r.left; i++) {
        int end = width ? r.left + (int)((long long)ends[i] * scale / width) : r.left;
        if (g_spy.point.x < end) {
            piece.hit = i;
            break;
        }
    }
    memset(&piece.font, 0, sizeof(piece.font));
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof(piece.font), &piece.font);
}

// Narrow text is widened in the code page of the font's charset.
void NoteA(HDC dc, int x, int y, UINT options, const char *s, int n, const INT *dx) {
    if (!g_spy.armed || n <= 0) return;
    static wchar_t wide[GLIMPSE_SPY_CHARS];
    CHARSETINFO info;
    UINT cp = CP_ACP;
    if (TranslateCharsetInfo((DWORD *)(UINT_PTR)GetTextCharset(dc), &info, TCI_SRCCHARSET))
        cp = info.ciACP;
    if (n > GLIMPSE_SPY_CHARS) n = GLIMPSE_SPY_CHARS;
    int m = MultiByteToWideChar(cp, 0, s, n, wide, GLIMPSE_SPY_CHARS);
    // Spacing arrays of narrow calls count bytes; they are dropped for multi-byte text.
    Note(dc, x, y, options, wide, m, m == n ? dx : nullptr);
}

BOOL WINAPI HookTextOutA(HDC dc, int x, int y, LPCSTR s, int n) {
    NoteA(dc, x, y, 0, s, n, nullptr);
    return g_textOutA(dc, x, y, s, n);
}

BOOL WINAPI HookTextOutW(HDC dc, int x, int y, LPCWSTR s, int n) {
    Note(dc, x, y, 0, s, n, nullptr);
    return g_textOutW(dc, x, y, s, n);
}

BOOL WINAPI HookExtTextOutA(HDC dc, int x, int y, UINT o, const RECT *r, LPCSTR s, UINT n,
                            const INT *dx) {
    NoteA(dc, x, y, o, s, (int)n, dx);
    return g_extTextOutA(dc, x, y, o, r, s, n, dx);
}

BOOL WINAPI HookExtTextOutW(HDC dc, int x, int y, UINT o, const RECT *r, LPCWSTR s, UINT n,
                            const INT *dx) {
    Note(dc, x, y, o, s, (int)n, dx);
    return g_extTextOutW(dc, x, y, o, r, s, n, dx);
}

struct Hook {
    void **original;
    void *hook;
};

// Points every import of the real entries in the module's import table at the hooks.
void HookModule(HMODULE mod, const Hook *hooks, int count) {
    char *base = (char *)mod;
    IMAGE_DOS_HEADER *dos = (IMAGE_DOS_HEADER *)base;
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress || !dir.Size) return;
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress);
         d->Name; d++) {
        for (IMAGE_THUNK_DATA *t = (IMAGE_THUNK_DATA *)(base + d->FirstThunk); t->u1.Function;
             t++) {
            for (int i = 0; i < count; i++) {
                if ((void *)t->u1.Function != *hooks[i].original) continue;
                DWORD old;
                if (VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), PAGE_READWRITE, &old)) {
                    t->u1.Function = (DWORD_PTR)hooks[i].hook;
                    VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), old, &old);
                }
            }
        }
    }
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI GlimpseSpy_Hook(LPVOID) {
    HMODULE gdi = GetModuleHandleA("gdi32.dll");
    if (!gdi) return 0;
    if (!g_textOutA) {
        g_textOutA = (TextOutAFn)(void *)GetProcAddress(gdi, "TextOutA");
        g_textOutW = (TextOutWFn)(void *)GetProcAddress(gdi, "TextOutW");
        g_extTextOutA = (ExtTextOutAFn)(void *)GetProcAddress(gdi, "ExtTextOutA");
        g_extTextOutW = (ExtTextOutWFn)(void *)GetProcAddress(gdi, "ExtTextOutW");
    }
    if (!g_textOutA || !g_textOutW || !g_extTextOutA || !g_extTextOutW) return 0;
    const Hook hooks[] = {
        {(void **)&g_textOutA, (void *)HookTextOutA},
        {(void **)&g_textOutW, (void *)HookTextOutW},
        {(void **)&g_extTextOutA, (void *)HookExtTextOutA},
        {(void **)&g_extTextOutW, (void *)HookExtTextOutW},
    };
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    MODULEENTRY32 me = {};
    me.dwSize = sizeof(me);
    for (BOOL ok = Module32First(snap, &me); ok; ok = Module32Next(snap, &me))
        if (me.hModule != g_self && me.hModule != gdi) HookModule(me.hModule, hooks, 4);
    CloseHandle(snap);
    return 1;
}

extern "C" __declspec(dllexport) GlimpseSpyShared *WINAPI GlimpseSpy_Shared(void) {
    return &g_spy;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}
