// The lookup request: a 104-byte head and the text in one block of the process's local heap, so
// that any module of the process can free it.
#include "lexidata_int.h"

extern "C" VLTranParam *WINAPI VLTranParam_Create(DWORD dicId, DWORD searchMode, DWORD searchFlags,
                                                  DWORD requestKind, const LOGFONTA *font,
                                                  WORD charset, WORD wordPos, DWORD language,
                                                  HWND sourceWindow, DWORD pointTop,
                                                  DWORD pointBottom, const char *text,
                                                  LONG textLen) {
    if (!text || textLen == 0) return nullptr;
    size_t len = textLen < 0 ? strlen(text) : (size_t)textLen;
    if (len > 0x7FFFFF00) return nullptr;
    VLTranParam *p = (VLTranParam *)LocalAlloc(LPTR, sizeof(VLTranParam) + len + 1);
    if (!p) return nullptr;
    p->dicId = dicId;
    p->searchMode = searchMode;
    p->searchFlags = searchFlags;
    p->requestKind = requestKind;
    if (font) p->font = *font;
    p->wordPos = wordPos;
    p->language = language;
    p->sourceWindow = sourceWindow;
    p->pointTop = pointTop;
    p->pointBottom = pointBottom;
    p->text = (char *)(p + 1);
    p->textLen = (LONG)len;
    memcpy(p->text, text, len);
    // A text without bytes of 0x80 or above is charset 0 whatever the caller said.  Only the
    // copied bytes are scanned, never past the caller's length.
    bool high = false;
    for (size_t i = 0; i < len && !high; i++) high = (BYTE)p->text[i] >= 0x80;
    p->charset = high ? charset : 0;
    return p;
}

extern "C" void WINAPI VLTranParam_Destroy(VLTranParam *request) {
    if (request) LocalFree(request);
}

extern "C" VLTranParam *WINAPI VLTranParam_Dup(const VLTranParam *request) {
    if (!request) return nullptr;
    LONG len = request->textLen > 0 ? request->textLen : 0;
    VLTranParam *p = (VLTranParam *)LocalAlloc(LPTR, sizeof(VLTranParam) + (size_t)len + 1);
    if (!p) return nullptr;
    memcpy(p, request, sizeof(VLTranParam));
    if (len > 0) {
        p->text = (char *)(p + 1);
        // The source's text sits at its own offset 104; copy up to its terminator, at most len.
        const char *src = (const char *)(request + 1);
        size_t n = strnlen(src, (size_t)len);
        memcpy(p->text, src, n);
    } else {
        p->text = nullptr;
    }
    return p;
}
