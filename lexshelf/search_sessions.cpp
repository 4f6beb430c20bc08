// Sessions of static dictionaries kept open from one search to the next, so that a burst of lookups
// (the pop-up search at every stop of the mouse) does not open the files of the same dictionaries
// again.  A kept session is used only while the catalogue's record of its file is unchanged (the
// engine keeps the records of removed files alive while it runs).  An open session holds its files
// against moves and deletes by any process, so every kept session is closed once no search has used
// one for a second (a thread timer of the manager's thread), and before the manager stops the
// engine.  Used from the manager's thread only.
#include <string.h>
#include <vector>
#include "lexshelf_int.h"
#include "search_int.h"
#include "lexicore.h"

namespace {

const size_t kKept = 16;
const UINT kIdleRelease = 1000;  // ms without a search before the kept sessions are closed

struct Kept {
    DWORD dicId;
    DicInfo info;  // the catalogue's record when the session was opened
    DicSession *session;
    DWORD used;
};

std::vector<Kept> g_kept;
DWORD g_tick;
UINT_PTR g_timer;

void CALLBACK Release(HWND, UINT, UINT_PTR, DWORD) { Shelf_SearchStop(); }

// Arms (or pushes back) the release of the kept sessions.
void KeepAlive() { g_timer = SetTimer(nullptr, g_timer, kIdleRelease, Release); }

void Drop(size_t i) {
    Lexicore_DestroySession(g_kept[i].session);
    g_kept.erase(g_kept.begin() + i);
}

}  // namespace

DicSession *Shelf_KeptSession(DWORD dicId) {
    DicInfo info = {};
    info.size = sizeof info;
    if (!Shelf().started || !Lexicore_GetDicInfo(dicId >> 8, &info) || info.kind != 1)
        return nullptr;
    for (size_t i = 0; i < g_kept.size(); i++) {
        if (g_kept[i].dicId != dicId)
            continue;
        if (memcmp(&g_kept[i].info, &info, sizeof info) == 0 && Lexicore_GetSessionDicId(g_kept[i].session) == dicId) {
            g_kept[i].used = ++g_tick;
            KeepAlive();
            return g_kept[i].session;
        }
        Drop(i);
        break;
    }
    if (g_kept.size() >= kKept) {
        size_t oldest = 0;
        for (size_t i = 1; i < g_kept.size(); i++)
            if (g_kept[i].used < g_kept[oldest].used)
                oldest = i;
        Drop(oldest);
    }
    DicSession *session = Lexicore_CreateSession();
    if (!session)
        return nullptr;
    if (!Lexicore_OpenSession(session, dicId, FALSE)) {
        Lexicore_DestroySession(session);
        return nullptr;
    }
    g_kept.push_back({dicId, info, session, ++g_tick});
    KeepAlive();
    return session;
}

void Shelf_SearchStop() {
    if (g_timer)
        KillTimer(nullptr, g_timer);
    g_timer = 0;
    while (!g_kept.empty())
        Drop(g_kept.size() - 1);
}
