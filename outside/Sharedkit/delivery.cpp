// Delivery of lookup requests and study-list entries by id.
//
// Neither travels as a pointer, and both travel in one stored form whichever lane sent them: a
// lookup request as a 104-byte head (the x86 record, its window as a 32-bit handle value and its
// text field 0) followed by its text and a terminator; a data item in the dictionary data library's
// saved form (its 108-byte head with string offsets, then the strings), written and checked by that
// library.  The receiver checks the bytes and has the library make its own record from them.
#include <stddef.h>
#include <string.h>
#include "lexidata.h"
#include "sharedkit.h"
#include "sharedkit_int.h"

namespace {

const DWORD kRequestHead = 104;
const DWORD kRequestFont = 16;  // the request's LOGFONTA (60 bytes) within the head
const DWORD kMaxClipboardText = 10240;

typedef void *(WINAPI *DupProc)(const void *);
typedef void(WINAPI *DestroyProc)(void *);
typedef void *(WINAPI *CreateRequestProc)(DWORD, DWORD, DWORD, DWORD, const void *, int, int, DWORD,
                                          HWND, DWORD, DWORD, const char *, int);
typedef DWORD(WINAPI *SaveItemProc)(const void *, void *);
typedef void *(WINAPI *LoadItemProc)(const void *, DWORD, DWORD *);

DWORD ReadU32(const unsigned char *p, DWORD at) {
    return p[at] | (p[at + 1] << 8) | (p[at + 2] << 16) | ((DWORD)p[at + 3] << 24);
}
WORD ReadU16(const unsigned char *p, DWORD at) { return (WORD)(p[at] | (p[at + 1] << 8)); }
void WriteU32(unsigned char *p, DWORD at, DWORD v) {
    p[at] = (unsigned char)v;
    p[at + 1] = (unsigned char)(v >> 8);
    p[at + 2] = (unsigned char)(v >> 16);
    p[at + 3] = (unsigned char)(v >> 24);
}
void WriteU16(unsigned char *p, DWORD at, WORD v) {
    p[at] = (unsigned char)v;
    p[at + 1] = (unsigned char)(v >> 8);
}

// The stored head of a request, field by field.
void PutRequestHead(unsigned char *out, const VLTranParam *r, int length) {
    WriteU32(out, 0, r->dicId);
    WriteU32(out, 4, r->searchMode);
    WriteU32(out, 8, r->searchFlags);
    WriteU32(out, 12, r->requestKind);
    memcpy(out + kRequestFont, &r->font, sizeof(LOGFONTA));  // fixed-width fields in both lanes
    WriteU16(out, 76, r->charset);
    WriteU16(out, 78, r->wordPos);
    WriteU32(out, 80, r->language);
    WriteU32(out, 84, (DWORD)HandleToLong(r->sourceWindow));
    WriteU32(out, 88, r->pointTop);
    WriteU32(out, 92, r->pointBottom);
    WriteU32(out, 96, 0);  // the receiver points it at its own copy
    WriteU32(out, 100, (DWORD)length);
}

void GetRequestHead(const unsigned char *in, VLTranParam *r) {
    memset(r, 0, sizeof *r);
    r->dicId = ReadU32(in, 0);
    r->searchMode = ReadU32(in, 4);
    r->searchFlags = ReadU32(in, 8);
    r->requestKind = ReadU32(in, 12);
    memcpy(&r->font, in + kRequestFont, sizeof(LOGFONTA));
    r->font.lfFaceName[LF_FACESIZE - 1] = 0;
    r->charset = ReadU16(in, 76);
    r->wordPos = ReadU16(in, 78);
    r->language = ReadU32(in, 80);
    r->sourceWindow = (HWND)LongToHandle((LONG)ReadU32(in, 84));
    r->pointTop = ReadU32(in, 88);
    r->pointBottom = ReadU32(in, 92);
    r->textLen = (LONG)ReadU32(in, 100);
}

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
    const VLTranParam *r = (const VLTranParam *)request;
    int length = r->textLen;
    if (length < 0 || !r->text)
        length = 0;
    SharedkitDeposit dep;
    unsigned char *bytes;
    if (!Sharedkit_DepositCreate(&dep, SHAREDKIT_DEPOSIT_REQUEST, kRequestHead + length + 1, &bytes))
        return 0;
    PutRequestHead(bytes, r, length);
    memcpy(bytes + kRequestHead, r->text ? r->text : "", length);
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
            // The library's copy takes the text from right behind the record.
            VLTranParam *r = (VLTranParam *)HeapAlloc(GetProcessHeap(), 0, sizeof(VLTranParam) + length + 1);
            if (r) {
                GetRequestHead(bytes, r);
                memcpy(r + 1, bytes + kRequestHead, length + 1);
                r->text = length > 0 ? (char *)(r + 1) : nullptr;
                copy = dup(r);
                HeapFree(GetProcessHeap(), 0, r);
            }
        }
    }
    FreeTaken(bytes);
    return copy;
}

extern "C" LRESULT WINAPI Sharedkit_DeliverEntry(int kind, UINT message, WPARAM wParam, const void *item) {
    HWND target = Sharedkit_FindKindWindow(kind);
    SaveItemProc save = (SaveItemProc)Sharedkit_LexidataProc(SHAREDKIT_LEX_DATAITEM_SAVE);
    if (!target || !item || !save || ((const VLItem *)item)->type != VLITEM_DATA)
        return -1;
    DWORD size = save(item, nullptr);
    SharedkitDeposit dep;
    unsigned char *bytes;
    if (!size || !Sharedkit_DepositCreate(&dep, SHAREDKIT_DEPOSIT_ENTRY, size, &bytes))
        return -1;
    save(item, bytes);
    LRESULT result;
    if (!SendDeposit(target, message, wParam, &dep, &result))
        return -1;
    return result;
}

extern "C" void *WINAPI Sharedkit_GetDeliveredEntry(LPARAM id) {
    DWORD size;
    unsigned char *bytes = Sharedkit_DepositTake(id, SHAREDKIT_DEPOSIT_ENTRY, &size);
    LoadItemProc load = (LoadItemProc)Sharedkit_LexidataProc(SHAREDKIT_LEX_DATAITEM_LOAD);
    void *copy = nullptr;
    // The block's own size must be the deposit's: the library checks every string against it.
    if (bytes && load && size >= 8 && ReadU32(bytes, 0) == size)
        copy = load(bytes, VLWORDLIST_FORMAT, nullptr);
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
