// Helpers over the resource module: strings, formatted strings, message boxes, menus, icons.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include "uiassets.h"

namespace {
HMODULE ThisModule() {
    HMODULE m = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ThisModule, &m);
    return m;
}
}  // namespace

extern "C" HMODULE WINAPI Uiassets_GetModule(void) { return ThisModule(); }

extern "C" int WINAPI Uiassets_LoadString(UINT id, char *buf, int cap) {
    if (!buf || cap <= 0)
        return 0;
    buf[0] = 0;
    return LoadStringA(ThisModule(), id, buf, cap);
}

extern "C" int __cdecl Uiassets_FormatString(char *out, int cap, UINT id, ...) {
    if (!out || cap <= 0)
        return 0;
    out[0] = 0;
    char format[1024];
    if (LoadStringA(ThisModule(), id, format, sizeof format) <= 0)
        return 0;
    va_list args;
    va_start(args, id);
    int n = vsnprintf(out, cap, format, args);
    va_end(args);
    if (n < 0) {
        out[0] = 0;
        return 0;
    }
    return n < cap ? n : cap - 1;
}

extern "C" int WINAPI Uiassets_MessageBox(HWND owner, UINT textId, UINT captionId, UINT style) {
    const char *script = getenv("UIASSETS_MESSAGEBOX_ANSWER");
    if (script && *script)
        return atoi(script);
    char text[1024] = "", caption[256] = "";
    LoadStringA(ThisModule(), textId, text, sizeof text);
    if (captionId)
        LoadStringA(ThisModule(), captionId, caption, sizeof caption);
    return MessageBoxA(owner, text, caption, style);
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
