// Helpers over the resource module: strings, formatted strings, file-dialog filters, message
// boxes (with scripted answers for unattended runs), menus, icons.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "uiassets.h"

namespace {
HMODULE ThisModule() {
    HMODULE m = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ThisModule, &m);
    return m;
}

// What the last message box asked, how many were asked, and where the scripted answers stand;
// boxes come from any thread.
struct BoxRecord {
    CRITICAL_SECTION lock;
    LONG count;
    LONG scriptIndex;    // boxes answered since the script last changed
    char script[256];    // the script those boxes read
    UINT textId;
    UINT style;
    char text[1024];
    BoxRecord() : count(0), scriptIndex(0), textId(0), style(0) {
        InitializeCriticalSection(&lock);
        text[0] = script[0] = 0;
    }
    ~BoxRecord() { DeleteCriticalSection(&lock); }
};
BoxRecord g_boxes;

// The scripted answer of the next box, or 0 when boxes are to be shown.  The variable holds one
// answer or a list separated by commas, read from its start again whenever its value changes;
// past its end the last answer repeats.  Called with the record locked.
int ScriptedAnswer() {
    char script[256];
    DWORD len = GetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", script, sizeof script);
    if (len >= sizeof script)
        len = 0;
    script[len] = 0;
    if (strcmp(script, g_boxes.script) != 0) {
        strcpy(g_boxes.script, script);
        g_boxes.scriptIndex = 0;
    }
    if (!len)
        return 0;
    LONG n = g_boxes.scriptIndex++;
    const char *p = script;
    for (LONG i = 0; i < n; i++) {
        const char *comma = strchr(p, ',');
        if (!comma)
            break;
        p = comma + 1;
    }
    return atoi(p);
}

void LogBox(UINT textId, UINT style, int answer, const char *text) {
    char path[MAX_PATH];
    DWORD len = GetEnvironmentVariableA("UIASSETS_MESSAGEBOX_LOG", path, sizeof path);
    if (len == 0 || len >= sizeof path)
        return;
    FILE *f = fopen(path, "ab");
    if (!f)
        return;
    fprintf(f, "%u\t%u\t%d\t", textId, style, answer);
    for (const char *c = text; *c; c++)  // one line per box
        fputc(*c == '\r' || *c == '\n' || *c == '\t' ? ' ' : *c, f);
    fputc('\n', f);
    fclose(f);
}

// Every box of the helpers goes through here: recorded, answered from the script or shown.
int Ask(HWND owner, UINT textId, const char *text, const char *caption, UINT style) {
    EnterCriticalSection(&g_boxes.lock);
    g_boxes.count++;
    g_boxes.textId = textId;
    g_boxes.style = style;
    lstrcpynA(g_boxes.text, text, sizeof g_boxes.text);
    int answer = ScriptedAnswer();
    LeaveCriticalSection(&g_boxes.lock);
    if (!answer)
        answer = MessageBoxA(owner, text, caption, style);
    LogBox(textId, style, answer, text);
    return answer;
}
}  // namespace

extern "C" HMODULE WINAPI Uiassets_GetModule(void) { return ThisModule(); }

extern "C" int WINAPI Uiassets_LoadString(UINT id, char *buf, int cap) {
    if (!buf || cap <= 0)
        return 0;
    buf[0] = 0;
    return LoadStringA(ThisModule(), id, buf, cap);
}

static int FormatV(char *out, int cap, UINT id, va_list args) {
    out[0] = 0;
    char format[1024];
    if (LoadStringA(ThisModule(), id, format, sizeof format) <= 0)
        return 0;
    int n = vsnprintf(out, cap, format, args);
    if (n < 0) {
        out[0] = 0;
        return 0;
    }
    return n < cap ? n : cap - 1;
}

extern "C" int __cdecl Uiassets_FormatString(char *out, int cap, UINT id, ...) {
    if (!out || cap <= 0)
        return 0;
    va_list args;
    va_start(args, id);
    int n = FormatV(out, cap, id, args);
    va_end(args);
    return n;
}

extern "C" int WINAPI Uiassets_LoadFilter(UINT id, char *buf, int cap) {
    if (!buf || cap <= 0)
        return 0;
    buf[0] = 0;
    char text[1024];  // the whole string first: a cut one would be a wrong filter
    int n = LoadStringA(ThisModule(), id, text, sizeof text);
    if (n <= 0 || n + 2 > cap)  // room for a zero after the last part and the closing zero
        return 0;
    for (int i = 0; i < n; i++)
        buf[i] = text[i] == '|' ? 0 : text[i];
    if (buf[n - 1] != 0)  // a text without a closing '|' still ends its last part
        buf[n++] = 0;
    buf[n] = 0;
    return n;
}

extern "C" int WINAPI Uiassets_MessageBox(HWND owner, UINT textId, UINT captionId, UINT style) {
    char text[1024] = "", caption[256] = "";
    LoadStringA(ThisModule(), textId, text, sizeof text);
    if (captionId)
        LoadStringA(ThisModule(), captionId, caption, sizeof caption);
    return Ask(owner, textId, text, caption, style);
}

extern "C" int __cdecl Uiassets_MessageBoxFormat(HWND owner, UINT captionId, UINT style, UINT textId, ...) {
    char text[1024], caption[256] = "";
    va_list args;
    va_start(args, textId);
    FormatV(text, sizeof text, textId, args);
    va_end(args);
    if (captionId)
        LoadStringA(ThisModule(), captionId, caption, sizeof caption);
    return Ask(owner, textId, text, caption, style);
}

extern "C" int WINAPI Uiassets_MessageBoxText(HWND owner, const char *text, const char *caption, UINT style) {
    return Ask(owner, 0, text ? text : "", caption ? caption : "", style);
}

extern "C" int WINAPI Uiassets_LastMessageBox(UINT *textId, char *text, int cap, UINT *style) {
    EnterCriticalSection(&g_boxes.lock);
    int count = g_boxes.count;
    if (textId)
        *textId = g_boxes.textId;
    if (text && cap > 0)
        lstrcpynA(text, g_boxes.text, cap);
    if (style)
        *style = g_boxes.style;
    LeaveCriticalSection(&g_boxes.lock);
    return count;
}

extern "C" HMENU WINAPI Uiassets_LoadMenu(UINT id) { return LoadMenuA(ThisModule(), MAKEINTRESOURCEA(id)); }

extern "C" HICON WINAPI Uiassets_LoadIcon(UINT id) {
    return (HICON)LoadImageA(ThisModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
}

extern "C" HCURSOR WINAPI Uiassets_LoadCursor(UINT id) {
    return (HCURSOR)LoadImageA(ThisModule(), MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
}

extern "C" int WINAPI Uiassets_GetIcons(UINT id, HICON *large, HICON *small) {
    HICON l = (HICON)LoadImageA(ThisModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                GetSystemMetrics(SM_CYICON), LR_SHARED);
    HICON s = (HICON)LoadImageA(ThisModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    if (large)
        *large = l;
    if (small)
        *small = s;
    return l && s;
}
