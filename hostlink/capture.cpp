// One capture: the window at the point, its rule value, the server's answer (or the document
// viewer plug-in's), and the wanted fields copied into the caller's record.
#include <string.h>
#include "hostlink_int.h"

namespace {

const char kPluginEvent[] = "VL40AcrobatPluginExist";
const char kPluginClass[] = "VLPLUGINACROBAT";
const char kPluginMapping[] = "VL40_ACROBATPLUGIN_FILEMAPPING";
enum { kMlEditAllowed = 0x606, kMlEditCaret = 0x604, kPluginWantMask = 47 };

bool ClassIs(const char *cls, const char *name) { return lstrcmpiA(cls, name) == 0; }

// Window handles travel in records as 32-bit values (the same in both lanes): HandleToULong going
// out, LongToHandle (sign-extending, as the system does) coming in.
bool IsLiveRestriction(uint32_t w) { return w != 0 && IsWindow((HWND)LongToHandle((LONG)w)); }

int RuleValue(HWND w, const char *cls, const CaptureRecord *rec) {
    bool restricted = IsLiveRestriction(rec->restrictWindow1) ||
                      IsLiveRestriction(rec->restrictWindow2);
    uint32_t id = HandleToULong(w);
    if (restricted && id != rec->restrictWindow1 && id != rec->restrictWindow2) return 0;
    if (ClassIs(cls, "MLEDIT") && Hostlink_Probe(w, kMlEditAllowed, 0, 0) == 0) return 0;
    return Hostlink_RuleForClass(cls);
}

bool IsPdfPage(HWND w, const char *cls) {
    if (!ClassIs(cls, "AVL_AVView")) return false;
    if (GetWindowLongA(w, GWL_EXSTYLE) != 0) return true;
    char title[32] = "";
    GetWindowTextA(w, title, sizeof(title));
    return lstrcmpA(title, "AVPageView") == 0;
}

// Plain single-byte text from the plug-in: bytes of 0x80 and above become spaces, and the word
// position moves on by the number of such bytes up to it.  "No word" stays "no word".
void PlainPluginText(CaptureRecord *rec) {
    uint32_t raise = 0;
    for (uint32_t i = 0; i < CAPTURE_TEXT_BYTES && rec->text[i]; i++) {
        if ((unsigned char)rec->text[i] < 0x80) continue;
        rec->text[i] = ' ';
        if (rec->wordPos != CAPTURE_NO_WORD && i <= rec->wordPos) raise++;
    }
    if (rec->wordPos == CAPTURE_NO_WORD) return;
    uint32_t pos = rec->wordPos + raise;
    if (rec->length == 0 || pos >= rec->length) pos = rec->length ? rec->length - 1 : 0;
    rec->wordPos = (uint16_t)pos;
}

// Asks the document viewer plug-in for the record; true when it gave text.
bool AskPlugin(uint32_t requestFlags) {
    HANDLE ev = OpenEventA(SYNCHRONIZE, FALSE, kPluginEvent);
    if (!ev) return false;
    CloseHandle(ev);
    HWND plugin = FindWindowA(kPluginClass, nullptr);
    if (!plugin) return false;
    bool gave = false;
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    CAPTURE_RECORD_SIZE, kPluginMapping);
    if (!map) return false;
    CaptureRecord *rec = (CaptureRecord *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0,
                                                        CAPTURE_RECORD_SIZE);
    if (rec) {
        memset(rec, 0, sizeof(*rec));
        rec->size = CAPTURE_RECORD_SIZE;
        rec->wantMask = kPluginWantMask;
        rec->requestFlags = requestFlags;
        FlushViewOfFile(rec, CAPTURE_RECORD_SIZE);
        Hostlink_Probe(plugin, WM_USER, CAPTURE_RECORD_SIZE, 0);
        CaptureRecord answer;
        memcpy(&answer, rec, sizeof(answer));
        Hostlink_SanitizeRecord(&answer);
        if (answer.length != 0) {
            if (answer.charset == 0) PlainPluginText(&answer);
            memcpy(&g_hostlinkShared.answer, &answer, sizeof(answer));
            gave = true;
        }
        UnmapViewOfFile(rec);
    }
    CloseHandle(map);
    return gave;
}

void AskServer(HWND w, POINT pt, int rule, uint32_t requestFlags) {
    HWND server = Hostlink_Server();
    if (!IsWindow(server)) return;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(server, VLM_CAPTURE_RULE, rule, requestFlags, SMTO_ABORTIFHUNG,
                             HOSTLINK_SERVER_MS, &answer))
        return;
    SendMessageTimeoutA(server, VLM_CAPTURE_AT, (WPARAM)w, MAKELONG(pt.x, pt.y), SMTO_ABORTIFHUNG,
                        HOSTLINK_SERVER_MS, &answer);
}

void CopyWanted(CaptureRecord *rec, const CaptureRecord &ans) {
    uint32_t want = rec->wantMask;
    if (want & CAPTURE_WANT_TEXT) {
        memset(rec->text, 0, sizeof(rec->text));
        memcpy(rec->text, ans.text, sizeof(rec->text));
    }
    if (want & CAPTURE_WANT_LINE_RECT) rec->lineRect = ans.lineRect;
    if (want & CAPTURE_WANT_CHARSET) rec->charset = ans.charset;
    if (want & CAPTURE_WANT_WORD_POS) rec->wordPos = ans.wordPos;
    if (want & CAPTURE_WANT_FONT) rec->font = ans.font;
    if (want & CAPTURE_WANT_POINT) {
        rec->x = ans.x;
        rec->y = ans.y;
    }
}

int CaptureAt(CaptureRecord *rec) {
    POINT pt;
    if (rec->requestFlags & CAPTURE_REQ_USE_POINT) {
        pt.x = rec->x;
        pt.y = rec->y;
    } else if (!GetCursorPos(&pt)) {
        return 0;
    }
    HWND w = Hostlink_WindowAtPoint(pt);
    if (!w) return 0;
    char cls[256] = "";
    GetClassNameA(w, cls, sizeof(cls));
    int rule = RuleValue(w, cls, rec);
    if (rule == 0) return 0;

    memset(&g_hostlinkShared.answer, 0, sizeof(g_hostlinkShared.answer));
    bool pdf = IsPdfPage(w, cls);
    bool pluginGave = false;
    if (pdf)
        pluginGave = AskPlugin(rec->requestFlags);
    else
        AskServer(w, pt, rule, rec->requestFlags);
    // Work on a copy: the shared record may be written again by another process's capture.
    CaptureRecord ans;
    memcpy(&ans, &g_hostlinkShared.answer, sizeof(ans));
    Hostlink_SanitizeRecord(&ans);
    if (ans.length == 0 && !pluginGave) return 0;

    POINT client = pt;
    ScreenToClient(w, &client);
    LRESULT hit = Hostlink_Probe(w, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    rec->controlKind = Hostlink_KindForClass(cls, hit);
    if (rec->requestFlags & CAPTURE_REQ_WINDOW_AT)
        rec->sourceWindow = HandleToULong(w);
    else if (rec->requestFlags & CAPTURE_REQ_SERVER_SOURCE)
        rec->sourceWindow = ans.sourceWindow;
    rec->length = ans.length;
    rec->caretPos = ClassIs(cls, "MLEDIT")
                        ? (uint32_t)Hostlink_Probe(w, kMlEditCaret, 0, MAKELONG(client.x, client.y))
                        : 0;
    CopyWanted(rec, ans);
    return 1;
}

}  // namespace

LRESULT Hostlink_Probe(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, HOSTLINK_PROBE_MS, &answer))
        return 0;
    return (LRESULT)answer;
}

void Hostlink_SanitizeRecord(CaptureRecord *rec) {
    rec->text[CAPTURE_TEXT_BYTES - 1] = 0;
    rec->font.lfFaceName[LF_FACESIZE - 1] = 0;
    uint32_t bytes = (uint32_t)strlen(rec->text);
    if (rec->length > bytes) rec->length = bytes;
    if (rec->wordPos != CAPTURE_NO_WORD && rec->wordPos >= rec->length) rec->wordPos = CAPTURE_NO_WORD;
}

// A copy-data answer shorter than a whole record is ignored.
int Hostlink_AcceptAnswer(const COPYDATASTRUCT *data) {
    if (!data || !data->lpData || data->cbData < CAPTURE_RECORD_SIZE) return 0;
    CaptureRecord rec;
    memcpy(&rec, data->lpData, sizeof(rec));
    Hostlink_SanitizeRecord(&rec);
    memcpy(&g_hostlinkShared.answer, &rec, sizeof(rec));
    return 1;
}

extern "C" int WINAPI Hostlink_Capture(CaptureRecord *record) {
    if (!record) return 0;
    if (InterlockedCompareExchange(&g_hostlink.busy, 1, 0) != 0) return 0;
    int result = CaptureAt(record);
    InterlockedExchange(&g_hostlink.busy, 0);
    return result;
}
