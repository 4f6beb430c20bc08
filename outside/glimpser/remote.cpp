// Memory in another process for control messages that carry pointers, and reading a font object
// that lives in another process.
#include <string.h>
#include "glimpser_int.h"
#include <tlhelp32.h>

namespace {

// The structures placed in another process and the code started there follow this program's
// pointer width, so only a process of the same width is worked on (a 32-bit program on a 64-bit
// system, or the other way round, is left alone).
bool SameWidth(HANDLE process) {
    BOOL mine = FALSE, theirs = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &mine) || !IsWow64Process(process, &theirs))
        return false;
    return mine == theirs;
}

}  // namespace

bool Remote_Open(RemoteBlock *rb, HWND w, SIZE_T size) {
    rb->process = nullptr;
    rb->base = nullptr;
    rb->size = 0;
    rb->abandoned = false;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (!pid) return false;
    rb->process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                  PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION,
                              FALSE, pid);
    if (!rb->process) return false;
    if (!SameWidth(rb->process)) {
        CloseHandle(rb->process);
        rb->process = nullptr;
        return false;
    }
    rb->base = (char *)VirtualAllocEx(rb->process, nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                      PAGE_EXECUTE_READWRITE);
    if (!rb->base) {
        CloseHandle(rb->process);
        rb->process = nullptr;
        return false;
    }
    rb->size = size;
    return true;
}

bool Remote_Write(RemoteBlock *rb, SIZE_T offset, const void *data, SIZE_T n) {
    if (!rb->base || offset > rb->size || n > rb->size - offset) return false;
    SIZE_T done = 0;
    return WriteProcessMemory(rb->process, rb->base + offset, data, n, &done) && done == n;
}

bool Remote_Read(RemoteBlock *rb, SIZE_T offset, void *data, SIZE_T n) {
    if (!rb->base || offset > rb->size || n > rb->size - offset) return false;
    SIZE_T done = 0;
    return ReadProcessMemory(rb->process, rb->base + offset, data, n, &done) && done == n;
}

namespace {

LRESULT SendWithBlock(RemoteBlock *rb, HWND w, UINT msg, WPARAM wp, LPARAM lp, bool wide) {
    if (!rb->base || rb->abandoned) return 0;
    DWORD_PTR answer = 0;
    LRESULT sent = wide ? SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, GLIMPSE_PROBE_MS,
                                              &answer)
                        : SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, GLIMPSE_PROBE_MS,
                                              &answer);
    if (!sent) {
        rb->abandoned = true;
        return 0;
    }
    return (LRESULT)answer;
}

}  // namespace

LRESULT Remote_Send(RemoteBlock *rb, HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return SendWithBlock(rb, w, msg, wp, lp, false);
}

LRESULT Remote_SendW(RemoteBlock *rb, HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return SendWithBlock(rb, w, msg, wp, lp, true);
}

void Remote_Close(RemoteBlock *rb) {
    if (rb->base && !rb->abandoned) VirtualFreeEx(rb->process, rb->base, 0, MEM_RELEASE);
    if (rb->process) CloseHandle(rb->process);
    rb->base = nullptr;
    rb->process = nullptr;
}

namespace {

void *RemoteAddressOf(DWORD pid, void *local);

}  // namespace

bool Remote_Call(HWND w, void *start, void *param, DWORD *code, RemoteBlock *uses) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = pid ? OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                           PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                           PROCESS_VM_WRITE,
                                       FALSE, pid)
                         : nullptr;
    if (!process) return false;
    bool done = false;
    HANDLE th = SameWidth(process) ? CreateRemoteThread(process, nullptr, 0,
                                                        (LPTHREAD_START_ROUTINE)start, param,
                                                        0, nullptr)
                                   : nullptr;
    if (th) {
        bool ended = WaitForSingleObject(th, GLIMPSE_PROBE_MS) == WAIT_OBJECT_0;
        done = ended && GetExitCodeThread(th, code);
        if (!ended && uses) uses->abandoned = true;
        CloseHandle(th);
    }
    CloseHandle(process);
    return done;
}

void *Remote_AddressOf(HWND w, void *local) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid ? RemoteAddressOf(pid, local) : nullptr;
}

namespace {

// Where a function of ours lives in the other process: the same offset in the module of the
// same name there.
void *RemoteAddressOf(DWORD pid, void *local) {
    HMODULE mod = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCSTR)local, &mod))
        return nullptr;
    char name[MAX_PATH];
    if (!GetModuleFileNameA(mod, name, MAX_PATH)) return nullptr;
    const char *base = name;
    for (const char *p = name; *p; p++)
        if (*p == '\\' || *p == '/') base = p + 1;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE) return nullptr;
    void *found = nullptr;
    MODULEENTRY32 me = {};
    me.dwSize = sizeof(me);
    for (BOOL ok = Module32First(snap, &me); ok; ok = Module32Next(snap, &me)) {
        if (lstrcmpiA(me.szModule, base) == 0) {
            found = (char *)me.modBaseAddr + ((char *)local - (char *)mod);
            break;
        }
    }
    CloseHandle(snap);
    return found;
}

// Block layout: GetObjectA, SendMessageA and the window as pointer-sized values, the answer at
// 32 and the code at 128.  The thread starts at the code with the block's address as its
// parameter; its exit code is what GetObjectA answered (60), or 0 when the window has no font.
// The code is the same routine in each instruction set:
#ifdef _WIN64
//   push rbx; sub rsp,32; mov rbx,rcx; mov rcx,[rbx+16]; mov edx,WM_GETFONT; xor r8d,r8d;
//   xor r9d,r9d; call [rbx+8]; test rax,rax; jz done; mov rcx,rax; mov edx,60;
//   lea r8,[rbx+32]; call [rbx]; done: add rsp,32; pop rbx; ret
const unsigned char kWindowFontStub[] = {
    0x53, 0x48, 0x83, 0xEC, 0x20, 0x48, 0x89, 0xCB, 0x48, 0x8B, 0x4B, 0x10, 0xBA, 0x31,
    0x00, 0x00, 0x00, 0x45, 0x31, 0xC0, 0x45, 0x31, 0xC9, 0xFF, 0x53, 0x08, 0x48, 0x85,
    0xC0, 0x74, 0x0E, 0x48, 0x89, 0xC1, 0xBA, 0x3C, 0x00, 0x00, 0x00, 0x4C, 0x8D, 0x43,
    0x20, 0xFF, 0x13, 0x48, 0x83, 0xC4, 0x20, 0x5B, 0xC3,
};
#else
//   mov eax,[esp+4]; push eax; push 0; push 0; push WM_GETFONT; push dword [eax+8];
//   call [eax+4]; pop ecx; test eax,eax; jz done; lea edx,[ecx+32]; push edx; push 60;
//   push eax; call [ecx]; done: ret 4
const unsigned char kWindowFontStub[] = {
    0x8B, 0x44, 0x24, 0x04, 0x50, 0x6A, 0x00, 0x6A, 0x00, 0x6A, 0x31, 0xFF, 0x70, 0x08,
    0xFF, 0x50, 0x04, 0x59, 0x85, 0xC0, 0x74, 0x09, 0x8D, 0x51, 0x20, 0x52, 0x6A, 0x3C,
    0x50, 0xFF, 0x11, 0xC2, 0x04, 0x00,
};
#endif
enum { kAnswerAt = 32, kStubAt = 128, kBlockSize = 256 };
static_assert(3 * sizeof(UINT_PTR) <= kAnswerAt && kAnswerAt + sizeof(LOGFONTA) <= kStubAt &&
                  kStubAt + sizeof(kWindowFontStub) <= kBlockSize,
              "the font block's parts do not overlap");

}  // namespace

namespace {

// Send block layout: SendMessageW, the window, the message, wParam and lParam as pointer-sized
// values, the code at 64 and the answer's room from 128.  The thread's exit code is the message's
// result.
#ifdef _WIN64
//   sub rsp,40; mov rax,rcx; mov rcx,[rax+8]; mov edx,[rax+16]; mov r8,[rax+24];
//   mov r9,[rax+32]; call [rax]; add rsp,40; ret
const unsigned char kSendStub[] = {
    0x48, 0x83, 0xEC, 0x28, 0x48, 0x89, 0xC8, 0x48, 0x8B, 0x48, 0x08, 0x8B, 0x50, 0x10,
    0x4C, 0x8B, 0x40, 0x18, 0x4C, 0x8B, 0x48, 0x20, 0xFF, 0x10, 0x48, 0x83, 0xC4, 0x28,
    0xC3,
};
#else
//   mov eax,[esp+4]; push dword [eax+16]; push dword [eax+12]; push dword [eax+8];
//   push dword [eax+4]; call [eax]; ret 4
const unsigned char kSendStub[] = {
    0x8B, 0x44, 0x24, 0x04, 0xFF, 0x70, 0x10, 0xFF, 0x70, 0x0C, 0xFF, 0x70, 0x08,
    0xFF, 0x70, 0x04, 0xFF, 0x10, 0xC2, 0x04, 0x00,
};
#endif
enum { kSendStubAt = 64, kSendRoomAt = 128 };
static_assert(5 * sizeof(UINT_PTR) <= kSendStubAt && kSendStubAt + sizeof(kSendStub) <= kSendRoomAt,
              "the send block's parts do not overlap");

}  // namespace

bool Remote_SendInside(HWND w, UINT msg, WPARAM wp, void *out, SIZE_T room, LRESULT *result) {
    void *sendMessage = Remote_AddressOf(
        w, (void *)GetProcAddress(GetModuleHandleA("user32.dll"), "SendMessageW"));
    RemoteBlock rb;
    if (!sendMessage || !Remote_Open(&rb, w, kSendRoomAt + room)) return false;
    UINT_PTR head[5] = {(UINT_PTR)sendMessage, (UINT_PTR)w, msg, wp,
                        (UINT_PTR)(rb.base + kSendRoomAt)};
    DWORD code = 0;
    bool done = Remote_Write(&rb, 0, head, sizeof(head)) &&
                Remote_Write(&rb, kSendStubAt, kSendStub, sizeof(kSendStub));
    if (done) {
        FlushInstructionCache(rb.process, rb.base + kSendStubAt, sizeof(kSendStub));
        done = Remote_Call(w, rb.base + kSendStubAt, rb.base, &code, &rb) &&
               Remote_Read(&rb, kSendRoomAt, out, room);
    }
    Remote_Close(&rb);
    *result = (LRESULT)(LONG)code;
    return done;
}

bool Remote_WindowFont(HWND w, LOGFONTA *out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (!pid) return false;
    if (pid == GetCurrentProcessId()) {
        HFONT font = (HFONT)SendMessageA(w, WM_GETFONT, 0, 0);
        return font && GetObjectA(font, sizeof(*out), out) == sizeof(*out);
    }
    void *getObject = RemoteAddressOf(
        pid, (void *)GetProcAddress(GetModuleHandleA("gdi32.dll"), "GetObjectA"));
    void *sendMessage = RemoteAddressOf(
        pid, (void *)GetProcAddress(GetModuleHandleA("user32.dll"), "SendMessageA"));
    if (!getObject || !sendMessage) return false;
    RemoteBlock rb;
    if (!Remote_Open(&rb, w, kBlockSize)) return false;
    bool ok = false;
    UINT_PTR head[3] = {(UINT_PTR)getObject, (UINT_PTR)sendMessage, (UINT_PTR)w};
    if (Remote_Write(&rb, 0, head, sizeof(head)) &&
        Remote_Write(&rb, kStubAt, kWindowFontStub, sizeof(kWindowFontStub))) {
        FlushInstructionCache(rb.process, rb.base + kStubAt, sizeof(kWindowFontStub));
        HANDLE th = CreateRemoteThread(rb.process, nullptr, 0,
                                       (LPTHREAD_START_ROUTINE)(rb.base + kStubAt), rb.base, 0,
                                       nullptr);
        if (th) {
            DWORD code = 0;
            rb.abandoned = WaitForSingleObject(th, GLIMPSE_PROBE_MS) != WAIT_OBJECT_0;
            if (!rb.abandoned && GetExitCodeThread(th, &code) && code == sizeof(*out))
                ok = Remote_Read(&rb, kAnswerAt, out, sizeof(*out));
            CloseHandle(th);
        }
    }
    Remote_Close(&rb);
    return ok;
}
