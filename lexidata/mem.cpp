// The library's own heap, its start-up and small file helpers.
#include "lexidata_int.h"

namespace {
HANDLE g_heap;
UINT g_clipFormat;

HANDLE Heap() {
    // Created at load; GetProcessHeap only serves a caller that runs before DllMain.
    return g_heap ? g_heap : GetProcessHeap();
}
}  // namespace

void *Lexi_Alloc(size_t size) {
    return HeapAlloc(Heap(), HEAP_ZERO_MEMORY, size ? size : 1);
}

void Lexi_Free(void *block) {
    if (block) HeapFree(Heap(), 0, block);
}

extern "C" void *WINAPI VLMem_Malloc(DWORD size) {
    return HeapAlloc(Heap(), 0, size ? size : 1);
}

extern "C" void *WINAPI VLMem_Calloc(DWORD count, DWORD size) {
    unsigned long long total = (unsigned long long)count * size;
    if (total > 0x7FFFFFFFull) return nullptr;
    return Lexi_Alloc((size_t)total);
}

extern "C" void *WINAPI VLMem_Realloc(void *block, DWORD size) {
    if (!block) return VLMem_Malloc(size);
    return HeapReAlloc(Heap(), 0, block, size ? size : 1);
}

extern "C" void WINAPI VLMem_Free(void *block) {
    Lexi_Free(block);
}

extern "C" UINT WINAPI DLVGetClipbordFormat(void) {
    if (!g_clipFormat) g_clipFormat = RegisterClipboardFormatA("VELOMIRA_DATAITEM");
    return g_clipFormat;
}

int Lexi_NoteDamage(const char *file, int line) {
    char text[300];
    const char *base = strrchr(file, '/');
    wsprintfA(text, "Lexidata: damaged data detected at %s:%d\n", base ? base + 1 : file, line);
    OutputDebugStringA(text);
    return 0;
}

// Views of whole files bound to their handles on one thread (DLVBindView): while a view is bound,
// the readers below take the handle's bytes from it, with the view's own read position, instead
// of a seek and a read call per record.  Bindings nest; the innermost one of a handle serves.
namespace {
DWORD g_viewSlot = TLS_OUT_OF_INDEXES;  // the thread's innermost binding
LONG g_viewsBound;                      // bindings on all threads; 0 skips the look-up

DLVFileView *ViewOf(HANDLE file) {
    if (g_viewsBound == 0 || g_viewSlot == TLS_OUT_OF_INDEXES) return nullptr;
    DWORD error = GetLastError();  // the look-up leaves the caller's last error as it was
    DLVFileView *v = (DLVFileView *)TlsGetValue(g_viewSlot);
    SetLastError(error);
    for (; v; v = v->outer)
        if (v->file == file) return v;
    return nullptr;
}
}  // namespace

extern "C" void WINAPI DLVBindView(DLVFileView *view) {
    if (!view || g_viewSlot == TLS_OUT_OF_INDEXES) return;
    view->outer = (DLVFileView *)TlsGetValue(g_viewSlot);
    TlsSetValue(g_viewSlot, view);
    InterlockedIncrement(&g_viewsBound);
}

extern "C" void WINAPI DLVUnbindView(DLVFileView *view) {
    if (!view || g_viewSlot == TLS_OUT_OF_INDEXES) return;
    // Only the innermost binding is taken off; bindings end in the order opposite to their start.
    if ((DLVFileView *)TlsGetValue(g_viewSlot) != view) return;
    TlsSetValue(g_viewSlot, view->outer);
    view->outer = nullptr;
    InterlockedDecrement(&g_viewsBound);
}

DWORD Lexi_FileSize(HANDLE file) {
    if (DLVFileView *v = ViewOf(file)) return v->size;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) return 0;
    return (DWORD)size.QuadPart;
}

bool Lexi_ReadUpTo(HANDLE file, void *buf, DWORD n, DWORD *got) {
    *got = 0;
    if (n == 0) return true;
    if (DLVFileView *v = ViewOf(file)) {
        // As a read near the end of a file: what there is, and the position after it.
        DWORD have = v->position < v->size ? v->size - v->position : 0;
        *got = n < have ? n : have;
        memcpy(buf, v->bytes + v->position, *got);
        v->position += *got;
        return true;
    }
    return ReadFile(file, buf, n, got, nullptr) != 0;
}

bool Lexi_ReadExact(HANDLE file, void *buf, DWORD n) {
    DWORD got;
    return Lexi_ReadUpTo(file, buf, n, &got) && got == n;
}

bool Lexi_WriteExact(HANDLE file, const void *buf, DWORD n) {
    DWORD put = 0;
    if (n == 0) return true;
    if (ViewOf(file)) return false;  // a bound view is read-only
    return WriteFile(file, buf, n, &put, nullptr) && put == n;
}

bool Lexi_Seek(HANDLE file, DWORD position) {
    if (DLVFileView *v = ViewOf(file)) {
        v->position = position;
        return true;
    }
    LARGE_INTEGER to;
    to.QuadPart = position;
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

bool Lexi_ReplaceFile(const char *path, const void *data, DWORD size) {
    char folder[MAX_PATH], side[MAX_PATH];
    if (strlen(path) >= MAX_PATH) return false;
    // The folder ends after the last separator; the walk goes character by character, since
    // the second byte of a double-byte character may look like a backslash.
    size_t n = 0;
    for (const char *p = path; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') n = (size_t)(p - path) + 1;
    if (n == 0) {
        strcpy(folder, ".");
    } else {
        memcpy(folder, path, n);
        folder[n] = 0;
    }
    if (!GetTempFileNameA(folder, "vl", 0, side)) return false;
    HANDLE file = CreateFileA(side, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = Lexi_HandleOk(file) && Lexi_WriteExact(file, data, size) && FlushFileBuffers(file);
    if (Lexi_HandleOk(file)) CloseHandle(file);
    ok = ok && MoveFileExA(side, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(side);
    return ok;
}

DWORD Lexi_Tell(HANDLE file) {
    if (DLVFileView *v = ViewOf(file)) return v->position;
    LARGE_INTEGER zero, now;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(file, zero, &now, FILE_CURRENT)) return 0;
    return (DWORD)now.QuadPart;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_heap = HeapCreate(0, 0, 0);
        if (!g_heap) return FALSE;
        g_viewSlot = TlsAlloc();
        DLVGetClipbordFormat();
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Freed only on FreeLibrary; at process end the system reclaims the heap.
        HeapDestroy(g_heap);
        g_heap = nullptr;
        if (g_viewSlot != TLS_OUT_OF_INDEXES) TlsFree(g_viewSlot);
        g_viewSlot = TLS_OUT_OF_INDEXES;
    }
    return TRUE;
}
