// Delivery of lookup requests and study-list entries by id.
//
// A lookup request is a 104-byte head and its text (size 105 + text length); a data item carries its
// total size in its first field, its type (1) in the second, and four string pointers.  Neither
// travels as a pointer: the sender deposits the bytes (pointers turned into offsets), the receiver
// checks them and has the dictionary data library make its own record from them.
#include <stddef.h>
#include <string.h>
#include "sharedkit.h"
#include "sharedkit_int.h"

namespace {

const DWORD kRequestHead = 104;
const DWORD kRequestFont = 16;  // the request's LOGFONTA (60 bytes) within the head
const DWORD kItemHead = 108;
const DWORD kMaxClipboardText = 10240;

// Offsets of the four string fields of a data item: (pointer, length).
const struct { DWORD ptr, len; } kItemStrings[4] = {{60, 48}, {64, 52}, {68, 56}, {96, 92}};

typedef void *(WINAPI *DupProc)(const void *);
typedef void(WINAPI *DestroyProc)(void *);
typedef void *(WINAPI *CreateRequestProc)(DWORD, DWORD, DWORD, DWORD, const void *, int, int, DWORD,
                                          HWND, DWORD, DWORD, const char *, int);

DWORD ReadU32(const unsigned char *p, DWORD at) {
    DWORD v;
    memcpy(&v, p + at, 4);
    return v;
}
void WriteU32(unsigned char *p, DWORD at, DWORD v) { memcpy(p + at, &v, 4); }

void FreeTaken(unsigned char *bytes) {
    if (bytes)
        HeapFree(GetProcessHeap(), 0, bytes);
}

// Sends the deposit's id to the window and withdraws the deposit afterwards.
int SendDeposit(HWND target, UINT message, WPARAM wParam, SharedkitDeposit *dep, LRESULT *result) {
    int answered = Sharedkit_SendGuarded(target, message, wParam, dep->id, result);
    Sharedkit_DepositClose(dep);
    return answered;
}

}  // namespace

extern "C" LRESULT WINAPI Sharedkit_DeliverItem(int kind, UINT message, WPARAM wParam, const void *request) {
    HWND target = Sharedkit_FindKindWindow(kind);
    if (!target || !request)
        return 0;
    const unsigned char *src = (const unsigned char *)request;
    int length = (int)ReadU32(src, 100);
    const char *text = (const char *)(uintptr_t)ReadU32(src, 96);
    if (length < 0 || !text)
        length = 0;
    SharedkitDeposit dep;
    unsigned char *bytes;
    if (!Sharedkit_DepositCreate(&dep, SHAREDKIT_DEPOSIT_REQUEST, kRequestHead + length + 1, &bytes))
        return 0;
    memcpy(bytes, src, kRequestHead);
    WriteU32(bytes, 96, 0);  // the receiver points it at its own copy
    WriteU32(bytes, 100, (DWORD)length);
    memcpy(bytes + kRequestHead, text ? text : "", length);
    bytes[kRequestHead + length] = 0;
    LRESULT result;
    SendDeposit(target, message, wParam, &dep, &result);
    return result;
}

extern "C" void *WINAPI Sharedkit_ReceiveItem(LPARAM id) {
    DWORD size;
    unsigned char *bytes = Sharedkit_DepositTake(id, SHAREDKIT_DEPOSIT_REQUEST, &size);
    void *copy = nullptr;
    DupProc dup = (DupProc)Sharedkit_LexidataProc(SHAREDKIT_LEX_TRANPARAM_DUP);
    if (bytes && dup && size > kRequestHead) {
        int length = (int)ReadU32(bytes, 100);
        if (length >= 0 && (DWORD)length == size - kRequestHead - 1 && bytes[size - 1] == 0) {
            WriteU32(bytes, 96, length > 0 ? (DWORD)(uintptr_t)(bytes + kRequestHead) : 0);
            bytes[kRequestFont + offsetof(LOGFONTA, lfFaceName) + LF_FACESIZE - 1] = 0;
            copy = dup(bytes);
        }
    }
    FreeTaken(bytes);
    return copy;
}

extern "C" LRESULT WINAPI Sharedkit_DeliverEntry(int kind, UINT message, WPARAM wParam, const void *item) {
    HWND target = Sharedkit_FindKindWindow(kind);
    if (!target || !item)
        return -1;
    const unsigned char *src = (const unsigned char *)item;
    DWORD size = ReadU32(src, 0);
    if (ReadU32(src, 4) != 1 || size < kItemHead)
        return -1;
    SharedkitDeposit dep;
    unsigned char *bytes;
    if (!Sharedkit_DepositCreate(&dep, SHAREDKIT_DEPOSIT_ENTRY, size, &bytes))
        return -1;
    memcpy(bytes, src, size);
    // Turn the string pointers into offsets from the block's start (an item already in saved form
    // holds offsets below its size and keeps them).
    bool sound = true;
    for (const auto &f : kItemStrings) {
        uintptr_t p = ReadU32(bytes, f.ptr);
        if (p == 0 || p < size)
            continue;
        uintptr_t base = (uintptr_t)src;
        if (p < base + kItemHead || p >= base + size)
            sound = false;
        else
            WriteU32(bytes, f.ptr, (DWORD)(p - base));
    }
    if (!sound) {
        Sharedkit_DepositClose(&dep);
        return -1;
    }
    LRESULT result;
    if (!SendDeposit(target, message, wParam, &dep, &result))
        return -1;
    return result;
}

extern "C" void *WINAPI Sharedkit_GetDeliveredEntry(LPARAM id) {
    DWORD size;
    unsigned char *bytes = Sharedkit_DepositTake(id, SHAREDKIT_DEPOSIT_ENTRY, &size);
    void *copy = nullptr;
    DupProc dup = (DupProc)Sharedkit_LexidataProc(SHAREDKIT_LEX_DATAITEM_DUP);
    bool sound = bytes && dup && size >= kItemHead && ReadU32(bytes, 0) == size && ReadU32(bytes, 4) == 1;
    // Every string must lie inside the block, after the head, with its terminator inside too; the
    // offsets then become addresses in this copy (memory form).
    for (int i = 0; sound && i < 4; i++) {
        DWORD off = ReadU32(bytes, kItemStrings[i].ptr);
        int len = (int)ReadU32(bytes, kItemStrings[i].len);
        if (off == 0) {  // an absent string has no length (a missing headword, a missing fourth string)
            sound = len == 0;
            continue;
        }
        if (off < kItemHead || off >= size || len < 0 || (DWORD)len >= size - off || bytes[off + len] != 0)
            sound = false;
    }
    if (sound) {
        for (const auto &f : kItemStrings) {
            DWORD off = ReadU32(bytes, f.ptr);
            if (off)
                WriteU32(bytes, f.ptr, (DWORD)(uintptr_t)(bytes + off));
        }
        copy = dup(bytes);
    }
    FreeTaken(bytes);
    return copy;
}

extern "C" LRESULT WINAPI Sharedkit_DeliverClipboard(HWND mainWindow, int kind, DWORD dictionaryId,
                                                     UINT message, WPARAM wParam) {
    CreateRequestProc create = (CreateRequestProc)Sharedkit_LexidataProc(SHAREDKIT_LEX_TRANPARAM_CREATE);
    DestroyProc destroy = (DestroyProc)Sharedkit_LexidataProc(SHAREDKIT_LEX_TRANPARAM_DESTROY);
    if (!create || !destroy || !IsClipboardFormatAvailable(CF_TEXT))
        return 0;
    // Another program may hold the clipboard for a moment right after it changed it.
    BOOL open = FALSE;
    for (int attempt = 0; attempt < 20 && !(open = OpenClipboard(mainWindow)); attempt++)
        Sleep(10);
    if (!open)
        return 0;
    char *text = nullptr;
    int length = 0;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char *locked = data ? (const char *)GlobalLock(data) : nullptr;
    if (locked) {
        SIZE_T cap = GlobalSize(data);
        if (cap > kMaxClipboardText)
            cap = kMaxClipboardText;
        while ((SIZE_T)length < cap && locked[length])
            length++;
        text = (char *)HeapAlloc(GetProcessHeap(), 0, length + 1);
        if (text) {
            memcpy(text, locked, length);
            text[length] = 0;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    LRESULT result = 0;
    if (text && length > 0) {
        CHARSETINFO info;
        int charset = TranslateCharsetInfo((DWORD *)(uintptr_t)GetACP(), &info, TCI_SRCCODEPAGE)
                          ? (int)info.ciCharset : ANSI_CHARSET;
        void *request = create(dictionaryId, 0, 0, 7, nullptr, charset, 0, 0, mainWindow, 0, 0, text, length);
        if (request) {
            result = Sharedkit_DeliverItem(kind, message, wParam, request);
            destroy(request);
        }
    }
    if (text)
        HeapFree(GetProcessHeap(), 0, text);
    return result;
}
