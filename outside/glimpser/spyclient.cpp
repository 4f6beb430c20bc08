// Text that a window draws itself: the spy library is loaded into the window's process, armed
// for the window and the point, and the window repaints; the pieces of text drawn on the point's
// row are joined into the line.
#include <string.h>
#include <algorithm>
#include <vector>
#include "glimpser_int.h"
#include "glimpse_spy.h"

namespace {

const char kSpyName[] = "GlimpseSpy.dll";

struct Spy {
    HMODULE module;
    GlimpseSpyShared *shared;
    GlimpseSpyHookFn hook;
    char path[MAX_PATH];
};

Spy *LocalSpy(void) {
    static Spy spy;
    static bool tried;
    if (tried) return spy.module ? &spy : nullptr;
    tried = true;
    DWORD n = GetModuleFileNameA(nullptr, spy.path, MAX_PATH);
    while (n > 0 && spy.path[n - 1] != '\\' && spy.path[n - 1] != '/') n--;
    if (n + sizeof(kSpyName) >= MAX_PATH) return nullptr;
    memcpy(spy.path + n, kSpyName, sizeof(kSpyName));
    spy.module = LoadLibraryA(spy.path);
    if (!spy.module) return nullptr;
    GlimpseSpySharedFn shared = (GlimpseSpySharedFn)(void *)GetProcAddress(spy.module,
                                                                          "GlimpseSpy_Shared");
    spy.hook = (GlimpseSpyHookFn)(void *)GetProcAddress(spy.module, "GlimpseSpy_Hook");
    spy.shared = shared ? shared() : nullptr;
    if (!spy.shared || !spy.hook) spy.module = nullptr;
    return spy.module ? &spy : nullptr;
}

// Loads the spy into the window's process when it is not there yet; the hook entry there.
void *RemoteHook(HWND w, Spy *spy) {
    void *hook = Remote_AddressOf(w, (void *)spy->hook);
    if (hook) return hook;
    void *loadLibrary = Remote_AddressOf(
        w, (void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA"));
    if (!loadLibrary) return nullptr;
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, MAX_PATH)) return nullptr;
    // The thread's exit code holds only the low 32 bits of the module handle on a 64-bit
    // system, so whether the spy came is seen in the process's module list instead.
    DWORD module = 0;
    bool called = Remote_Write(&rb, 0, spy->path, strlen(spy->path) + 1) &&
                  Remote_Call(w, loadLibrary, rb.base, &module, &rb);
    Remote_Close(&rb);
    return called ? Remote_AddressOf(w, (void *)spy->hook) : nullptr;
}

bool ByLeft(const GlimpseSpyPiece *a, const GlimpseSpyPiece *b) {
    return a->rect.left < b->rect.left;
}

// The pieces noted in the shared block, copied out once: every process that loads the spy can
// write that block, so a piece whose length or hit does not fit its own text is left out.
std::vector<GlimpseSpyPiece> NotedPieces(const GlimpseSpyShared *shared) {
    LONG count = shared->count;
    if (count < 0) count = 0;
    if (count > GLIMPSE_SPY_PIECES) count = GLIMPSE_SPY_PIECES;
    std::vector<GlimpseSpyPiece> pieces(shared->pieces, shared->pieces + count);
    std::vector<GlimpseSpyPiece> kept;
    for (GlimpseSpyPiece &p : pieces) {
        if (p.length <= 0 || p.length > GLIMPSE_SPY_CHARS || p.hit < -1 || p.hit >= p.length ||
            p.rect.right < p.rect.left || p.rect.bottom < p.rect.top)
            continue;
        p.font.lfFaceName[LF_FACESIZE - 1] = 0;
        kept.push_back(p);
    }
    return kept;
}

}  // namespace

bool Glimpse_SpyRead(HWND w, POINT screen, GlimpseLine *line) {
    Spy *spy = LocalSpy();
    if (!spy) return false;
    void *hook = RemoteHook(w, spy);
    DWORD hooked = 0;
    if (!hook || !Remote_Call(w, hook, nullptr, &hooked, nullptr) || !hooked) return false;

    // Only the band of rows around the point is repainted, and through a message that gives up
    // on a window that stops answering.
    POINT client = screen;
    ScreenToClient(w, &client);
    RECT area;
    GetClientRect(w, &area);
    RECT band = {area.left, client.y - 2, area.right, client.y + 3};
    GlimpseSpyShared *shared = spy->shared;
    shared->count = 0;
    shared->target = w;
    shared->point = screen;
    InterlockedExchange(&shared->armed, 1);
    InvalidateRect(w, &band, TRUE);
    DWORD_PTR painted = 0;
    SendMessageTimeoutW(w, WM_PAINT, 0, 0, SMTO_ABORTIFHUNG, GLIMPSE_PROBE_MS, &painted);
    InterlockedExchange(&shared->armed, 0);

    std::vector<GlimpseSpyPiece> pieces = NotedPieces(shared);
    int count = (int)pieces.size();
    const GlimpseSpyPiece *hit = nullptr;
    for (int i = 0; i < count; i++)  // what is drawn last is what shows
        if (pieces[i].hit >= 0) hit = &pieces[i];
    if (!hit) return false;

    // The row: pieces beside the hit piece at the same height, left to right, none overlapping.
    const GlimpseSpyPiece *row[GLIMPSE_SPY_PIECES];
    int n = 0;
    int middle = (hit->rect.top + hit->rect.bottom) / 2;
    for (int i = 0; i < count; i++) {
        const GlimpseSpyPiece &p = pieces[i];
        if (&p == hit || (middle >= p.rect.top && middle < p.rect.bottom)) row[n++] = &p;
    }
    std::stable_sort(row, row + n, ByLeft);
    std::wstring text;
    RECT box = hit->rect;
    int position = -1;
    LONG right = LONG_MIN;
    for (int i = 0; i < n; i++) {
        const GlimpseSpyPiece *p = row[i];
        if (p != hit && p->rect.left < right) continue;  // drawn over another piece
        if (!text.empty() && p->rect.left > right + 1 && text.back() != L' ') text += L' ';
        if (p == hit) position = (int)text.size() + p->hit;
        text.append(p->text, p->length);
        right = p->rect.right;
        UnionRect(&box, &box, &p->rect);
    }
    MapWindowPoints(nullptr, w, (POINT *)&box, 2);
    line->text = text;
    line->rect = box;
    line->textLeft = box.left;
    line->hit = position;
    line->font = hit->font;
    line->found = !text.empty();
    return line->found;
}
