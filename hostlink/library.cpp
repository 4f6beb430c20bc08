// Library load and unload, the block shared by every process, and the per-process state.
#include <string.h>
#include "hostlink_int.h"

// One instance for all processes that load the library (a shared PE section).
HostlinkShared g_hostlinkShared __attribute__((section(".shared"), shared)) = {};
HostlinkProcess g_hostlink;

namespace {

const char kWordsMapping[] = "NTVLMANXXXX2";
const char kBrowserAtom[] = "IE50_EXIST";

struct ShellVersionInfo {
    DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
};
typedef HRESULT(CALLBACK *DllGetVersionFn)(ShellVersionInfo *);

// Major version of the system's browser component: 6 on Windows 5.1; otherwise what the
// component's DllGetVersion says, or, when it cannot be loaded, 6 when its file version is above
// 4.0xFFFF.
DWORD BrowserMajorVersion(void) {
    DWORD v = GetVersion();
    if ((v & 0xFF) == 5 && ((v >> 8) & 0xFF) == 1) return 6;
    DWORD major = 0;
    HMODULE lib = LoadLibraryA("shdocvw.dll");
    if (lib) {
        DllGetVersionFn get = (DllGetVersionFn)(void *)GetProcAddress(lib, "DllGetVersion");
        ShellVersionInfo info = {sizeof(info), 0, 0, 0, 0};
        if (get && SUCCEEDED(get(&info))) major = info.dwMajorVersion;
        FreeLibrary(lib);
        return major;
    }
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH - 16);
    if (n == 0 || n >= MAX_PATH - 16) return 0;
    lstrcatA(path, "\\shdocvw.dll");
    DWORD dummy = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &dummy);
    if (size == 0) return 0;
    void *block = HeapAlloc(GetProcessHeap(), 0, size);
    if (!block) return 0;
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT len = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\", (void **)&fixed, &len) && fixed && len >= sizeof(*fixed) &&
        fixed->dwFileVersionMS > 0x4FFFF)
        major = 6;
    HeapFree(GetProcessHeap(), 0, block);
    return major;
}

// Only the first process on the system does the load work; its load fails without the mapping.
BOOL OnProcessAttach(HINSTANCE module) {
    g_hostlink.module = module;
    Hostlink_RulesReset();
    if (InterlockedCompareExchange(&g_hostlinkShared.once, 1, 0) != 0) return TRUE;
    if (BrowserMajorVersion() > 4) g_hostlink.browserAtom = GlobalAddAtomA(kBrowserAtom);
    g_hostlink.wordsMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 16, kWordsMapping);
    if (!g_hostlink.wordsMapping) {
        if (g_hostlink.browserAtom) GlobalDeleteAtom(g_hostlink.browserAtom);
        g_hostlink.browserAtom = 0;
        InterlockedExchange(&g_hostlinkShared.once, 0);
        return FALSE;
    }
    return TRUE;
}

void OnProcessDetach(void) {
    // A process that ends without detaching gives its attaches back, so the count cannot stay
    // above zero for ever and keep the server alive.
    LONG mine = InterlockedExchange(&g_hostlink.attaches, 0);
    bool last = false;
    while (mine-- > 0) {
        if (Hostlink_TakeOne(&g_hostlinkShared.attachCount) == 1) last = true;
    }
    if (last && IsWindow(Hostlink_Server()))
        PostMessageA(Hostlink_Server(), WM_DESTROY, 0, 0);
    if (g_hostlink.wordsMapping) CloseHandle(g_hostlink.wordsMapping);
    if (g_hostlink.browserAtom) GlobalDeleteAtom(g_hostlink.browserAtom);
    g_hostlink.wordsMapping = nullptr;
    g_hostlink.browserAtom = 0;
}

}  // namespace

LONG Hostlink_TakeOne(LONG *count) {
    LONG before = *count;
    while (before > 0) {
        LONG seen = InterlockedCompareExchange(count, before - 1, before);
        if (seen == before) break;
        before = seen;
    }
    return before;
}

// Keeps the two words of VLM_CAPTURE_SET_WORDS in the words mapping.
void Hostlink_StoreWords(LPARAM lp) {
    HANDLE map = g_hostlink.wordsMapping;
    HANDLE opened = nullptr;
    if (!map) map = opened = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kWordsMapping);
    if (!map) return;
    int32_t *words = (int32_t *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 16);
    if (words) {
        words[0] = LOWORD(lp);
        words[1] = HIWORD(lp);
        UnmapViewOfFile(words);
    }
    if (opened) CloseHandle(opened);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        return OnProcessAttach(module);
    }
    if (reason == DLL_PROCESS_DETACH) OnProcessDetach();
    return TRUE;
}
