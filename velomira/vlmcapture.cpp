// Velomira.exe: the capture of one lookup and its hand-off.  A trigger's request {window, x, y,
// trigger message} becomes the text at the point (from the capture client, or from the rich-text
// viewer control through its mapping), joined with the lines above and below that the held keys
// ask for, and then a lookup request delivered to the pop-up, the search station or the
// translation receiver.  Nothing here waits on the pointer's window: the capture client and the
// viewer are asked with bounded waits, and a capture that is under way refuses the next trigger.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "hostlink.h"
#include "lexidata.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "snaptrap.h"
#include "vlm_int.h"
#include "vlmcapture.h"
#include "wordpos.h"

namespace {

const char kViewerClass[] = "SCRIVSHOW10";
const DWORD kViewerWaitMs = 2000;

// A capture is under way from the pause of the hook library to the hand-off's resume; inCapture
// while the capture client is asked (the only time a further trigger can come in).
bool g_paused, g_inCapture;

void Pause(int pause)
{
    Snaptrap_PauseGroup3(pause);
    Snaptrap_PauseGroup2(pause);
    Snaptrap_PauseGroup1(pause);
}

bool ClassIs(HWND w, const char *name)
{
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

HWND TopLevel(HWND w)
{
    for (HWND up = GetParent(w); up && IsWindow(up); up = GetParent(w)) w = up;
    return w;
}

DWORD ProcessOf(HWND w)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

// One line per capture while the application list is off, so that the user can find the class of
// an application to put on the list.  A log that cannot be written is no reason to refuse.
void LogWindow(HWND top, const char *cls)
{
    char title[201] = "";
    GetWindowTextA(top, title, sizeof title);
    if (FILE *f = fopen("VLWNDLOG.TXT", "a")) {
        fprintf(f, "hWnd = %08X\t%s\t%s\n", (unsigned)(UINT_PTR)top, cls, title);
        fclose(f);
    }
}

// The user's restriction list.  The option manager's lookup answers 1 when capturing in the
// application of a class is allowed (no entry, or an entry not marked excluded) and 0 when the
// user's entry excludes it, so a window is excluded on 0: the list keeps out what the user put on
// it, never the other way round.
bool ClassRestricted(const char *cls)
{
    return g_vlm.restrictions->EnableApplicationList && Prefstore_FindRestriction(g_vlm.restrictions, cls) == 0;
}

bool Excluded(HWND window)
{
    if (!IsWindow(window) || !g_vlm.restrictions) return true;
    HWND top = TopLevel(window);
    char cls[201] = "";
    GetClassNameA(top, cls, sizeof cls);
    if (!g_vlm.restrictions->EnableApplicationList) {
        LogWindow(top, cls);
        return false;
    }
    return ClassRestricted(cls);
}

// Our own windows (but the viewer control, wherever it is) and the sibling programs' windows.
bool NotCapturable(HWND window)
{
    if (!IsWindow(window)) return true;
    DWORD pid = ProcessOf(window);
    if (pid == GetCurrentProcessId()) return !ClassIs(window, kViewerClass);
    static const int kinds[] = {VLK_SEARCH, VLK_TRANSLATE, VLK_SETUP, VLK_STUDY, VLK_WIZARD};
    for (int kind : kinds)
        if (HWND w = Vlm_KindWindow(kind))
            if (ProcessOf(w) == pid) return true;
    return false;
}

bool FontRefused(const CaptureRecord &rec)
{
    static const char *const faces[] = {"Marlett", "Symbol", "RIZOzedIvova"};
    char face[LF_FACESIZE + 1] = "";
    memcpy(face, rec.font.lfFaceName, LF_FACESIZE);
    for (const char *f : faces)
        if (lstrcmpiA(face, f) == 0) return true;
    return false;
}

bool KindRefused(const CaptureRecord &rec)
{
    const RestrictionList *r = g_vlm.restrictions;
    if (!r || !r->EnableAreaSelection) return false;
    return ((rec.controlKind & CAPTURE_KIND_MENU) && r->Menu) || ((rec.controlKind & CAPTURE_KIND_DIALOG) && r->DialogBox) ||
           ((rec.controlKind & CAPTURE_KIND_LIST) && r->ListBox) || ((rec.controlKind & CAPTURE_KIND_BUTTON) && r->Button);
}

LRESULT AskViewer(HWND viewer, UINT message, LPARAM lParam)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(viewer, message, 0, lParam, SMTO_ABORTIFHUNG, kViewerWaitMs, &answer)) return 1;
    return (LRESULT)answer;
}

// The viewer control writes the record of its point into the shared mapping.  Either check
// refusing stops the capture: the viewer holds no text, or the user is selecting in it.
bool CaptureViewer(HWND viewer, POINT at, UINT trigger, CaptureRecord *rec)
{
    if (AskViewer(viewer, SCV_CHECK1, 0) || AskViewer(viewer, SCV_CHECK2, 0)) return false;
    if (g_vlm.restrictions && ClassRestricted(kViewerClass)) return false;
    CrossSearchOptions cross = {};
    Prefstore_LoadCrossSearch(&cross);
    UINT wanted = cross.Trigger == 2 ? VLM_HOOK_TRIGGER2 : cross.Trigger == 3 ? VLM_HOOK_TRIGGER3 : VLM_HOOK_MOUSE_STOP;
    if (wanted != trigger) return false;
    POINT client = at;
    ScreenToClient(viewer, &client);
    if (!LOWORD(AskViewer(viewer, SCV_CAPTURE, MAKELONG(client.x, client.y)))) return false;
    HANDLE mapping = g_vlm.mapping ? g_vlm.mapping : OpenFileMappingA(FILE_MAP_READ, FALSE, VLM_MAPPING);
    if (!mapping) return false;
    bool ok = false;
    if (void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, CAPTURE_RECORD_SIZE)) {
        memcpy(rec, view, CAPTURE_RECORD_SIZE);
        UnmapViewOfFile(view);
        rec->text[CAPTURE_TEXT_BYTES - 1] = 0;
        ok = true;
    }
    if (mapping != g_vlm.mapping) CloseHandle(mapping);
    return ok;
}

VlmLine LineOf(const CaptureRecord &rec)
{
    return {std::string(rec.text, strnlen(rec.text, CAPTURE_TEXT_BYTES)), (int)rec.length};
}

// The lines next to the word line in one direction, nearest first, until the count is reached or a
// line is not the word line's neighbour in the same window, column (and, above, charset).
std::vector<VlmLine> Neighbours(HWND window, const CaptureRecord &word, int count, bool up)
{
    std::vector<VlmLine> lines;
    RECT last = word.lineRect;
    for (int i = 0; i < count; i++) {
        POINT at = {word.lineRect.left + 1, up ? 2 * last.top - last.bottom + 2 : 2 * last.bottom - last.top - 2};
        if (WindowFromPoint(at) != window) break;
        CaptureRecord rec = {};
        rec.size = CAPTURE_RECORD_SIZE;
        rec.wantMask = CAPTURE_WANT_TEXT | CAPTURE_WANT_LINE_RECT | CAPTURE_WANT_CHARSET | CAPTURE_WANT_WORD_POS |
                       CAPTURE_WANT_FONT;
        rec.requestFlags = CAPTURE_REQ_USE_POINT;
        rec.restrictWindow1 = (uint32_t)(UINT_PTR)window;
        rec.x = at.x;
        rec.y = at.y;
        if (!Hostlink_Capture(&rec) || rec.lineRect.left != word.lineRect.left || rec.length == 0) break;
        if (up && rec.charset != word.charset) break;
        // The same line again (a line of no height) would be joined over and over.
        if (EqualRect(&rec.lineRect, &last)) break;
        rec.text[CAPTURE_TEXT_BYTES - 1] = 0;
        lines.push_back(LineOf(rec));
        last = rec.lineRect;
    }
    return lines;
}

// The capture after the pause; null for every refusal.
VLTranParam *Capture(WPARAM usePoint, HWND window, POINT at, UINT trigger)
{
    CaptureRecord rec = {};
    rec.size = CAPTURE_RECORD_SIZE;
    rec.wantMask = CAPTURE_WANT_TEXT | CAPTURE_WANT_LINE_RECT | CAPTURE_WANT_CHARSET | CAPTURE_WANT_WORD_POS |
                   CAPTURE_WANT_FONT;
    if (usePoint) {
        rec.requestFlags = 0x60 | CAPTURE_REQ_USE_POINT;
        rec.restrictWindow1 = (uint32_t)(UINT_PTR)window;
        rec.x = at.x;
        rec.y = at.y + (ClassIs(window, "EXCEL6") || ClassIs(window, "EXCEL7") ? 5 : 0);
    } else {
        rec.wantMask |= CAPTURE_WANT_POINT;
        rec.requestFlags = 0x40 | CAPTURE_REQ_WINDOW_AT;
    }
    int mode = Vlm_LineMode(trigger, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, g_vlm.capture);
    if (mode == VLM_LINES_NONE) return nullptr;

    RECT line;
    if (ClassIs(window, kViewerClass)) {
        if (!CaptureViewer(window, at, trigger, &rec)) return nullptr;
        mode = VLM_LINES_WORD;
        line = {at.x, at.y, at.x, at.y + 10};
    } else {
        if (!Hostlink_Capture(&rec)) return nullptr;
        rec.text[CAPTURE_TEXT_BYTES - 1] = 0;
        line = rec.lineRect;
    }
    if (FontRefused(rec) || KindRefused(rec)) return nullptr;
    if (rec.wordPos == CAPTURE_NO_WORD || rec.length == 0 || !rec.text[0]) return nullptr;

    int above = 0, below = 0;
    Vlm_ExtraLines(mode, g_vlm.capture, &above, &below);
    std::vector<VlmLine> up = Neighbours(window, rec, above, true), down = Neighbours(window, rec, below, false);
    std::vector<VlmLine> topFirst(up.rbegin(), up.rend());
    VlmJoined joined = Vlm_JoinLines(rec.charset, topFirst, LineOf(rec), rec.wordPos, down, mode != VLM_LINES_WORD);
    if (joined.text.empty() || joined.wordPos > 0xFFFE) return nullptr;
    int pos = joined.wordPos;
    if (trigger == VLM_HOOK_TRIGGER_LINE)
        pos = Vlm_BackFromBlank(rec.charset, joined.text.c_str(), (int)joined.text.size(), pos);
    // The language field carries the caret of a multi-line edit here; receivers read a language
    // from it only for request kinds above 4096, which a capture never makes.  The viewer control
    // leaves the language of its text in the record's own value, which is no request kind: taken
    // as one, every lookup from a viewer asked for a kind no dictionary is chosen for and showed
    // nothing.  Only a request kind passes; otherwise the trigger sets the kind in the hand-off.
    DWORD kind = rec.viewerValue >= 1 && rec.viewerValue <= 7 ? rec.viewerValue : 0;
    return VLTranParam_Create(0, 0, 0, kind, &rec.font, rec.charset, (WORD)pos, rec.caretPos, window,
                              MAKELONG(at.x, line.top), MAKELONG(at.y, line.bottom), joined.text.c_str(),
                              (LONG)joined.text.size());
}

}  // namespace

UINT Vlm_RequestTrigger(UINT message, HWND window)
{
    return ClassIs(window, kViewerClass) ? message : VLM_HOOK_HOVER;
}

LRESULT Vlm_CaptureText(HWND, WPARAM usePoint, LPARAM request)
{
    const LONG *r = (const LONG *)request;
    // The request is a pointer into this thread's own stack: one sent from elsewhere is refused.
    if (!r || InSendMessage() || g_paused || g_inCapture) return 0;
    HWND window = (HWND)(LONG_PTR)r[0];
    if (Excluded(window) || NotCapturable(window)) return 0;
    g_paused = true;
    Pause(1);
    POINT at = {r[1], r[2]};
    g_inCapture = true;
    VLTranParam *param = Capture(usePoint, window, at, (UINT)r[3]);
    g_inCapture = false;
    Vlm_Trace("captured %s", param ? "yes" : "no");
    return (LRESULT)param;
}

void Vlm_HandOff(HWND, UINT message, VLTranParam *request)
{
    if (request) {
        int target = VLK_POPUP;
        switch (message) {
        case VLM_HOOK_MOUSE_STOP:
        case VLM_HOOK_TRIGGER2:
        case VLM_HOOK_TRIGGER3:
            if (!request->requestKind)
                request->requestKind = message == VLM_HOOK_MOUSE_STOP ? 1 : message == VLM_HOOK_TRIGGER2 ? 2 : 3;
            request->dicId = g_vlm.groupDictionary[1];
            target = g_vlm.capture.PopupToSearch ? VLK_SEARCH : VLK_POPUP;
            break;
        case VLM_HOOK_HOVER:
            request->requestKind = 5;
            request->dicId = g_vlm.groupDictionary[2];
            break;
        case VLM_HOOK_TRIGGER_LINE:
            request->requestKind = 4;
            request->dicId = g_vlm.groupDictionary[2];
            if (request->text)
                request->wordPos =
                    (WORD)Vlm_WordEnd(request->charset, request->text, request->textLen, request->wordPos);
            break;
        case VLM_HOOK_TRIGGER:
            request->requestKind = 6;
            request->dicId = g_vlm.groupDictionary[3];
            target = g_vlm.capture.HotkeyTranToPopupWindow ? VLK_POPUP : VLK_SEARCH;
            break;
        case VLM_CLIPBOARD_REQUEST:
            request->requestKind = 7;
            request->dicId = g_vlm.groupDictionary[4];
            target = g_vlm.capture.ClipboardTranToTranWindow ? VLK_TRANSLATE : VLK_SEARCH;
            break;
        }
        LRESULT answer = Sharedkit_DeliverItem(target, VLM_DELIVER_ITEM, 0, request);
        Vlm_Trace("hand-off %#x kind %lu dic %lu to %d pos %u answer %ld", message, request->requestKind,
                  request->dicId, target, request->wordPos, (long)answer);
        VLTranParam_Destroy(request);
    }
    // Only the capture that paused the hook library resumes it: a trigger refused because another
    // capture was under way leaves that capture's pause alone.
    if (g_paused && !g_inCapture) {
        Pause(0);
        g_paused = false;
    }
}
