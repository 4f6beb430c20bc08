// Deposits between processes: one named paging-file mapping per delivery, keyed by its id.
// The mapping starts with a small head; the record's bytes follow.  The receiver takes a deposit
// once (a flag in the head), copies the bytes out and checks them before it builds its own record.
#include <stdio.h>
#include <string.h>
#include "sharedkit_int.h"

namespace {

const DWORD kDepositMagic = 0x5344504Bu;  // "KPDS"
const DWORD kMaxDeposit = 16u << 20;

struct DepositHead {
    DWORD magic;
    DWORD tag;
    DWORD size;           // bytes of the record after the head
    volatile LONG taken;  // 1 once a receiver has fetched it
};

// The last id handed out, shared by every process that loads this library.
volatile LONG g_lastId __attribute__((section(".shared"), shared)) = 0;

void DepositName(LPARAM id, char *name, size_t cap) {
    snprintf(name, cap, "SharedkitDeposit.%08lX", (unsigned long)id);
}

}  // namespace

int Sharedkit_DepositCreate(SharedkitDeposit *dep, DWORD tag, DWORD size, unsigned char **bytes) {
    dep->mapping = nullptr;
    dep->view = nullptr;
    dep->id = 0;
    *bytes = nullptr;
    if (size == 0 || size > kMaxDeposit)
        return 0;
    DWORD total = sizeof(DepositHead) + size;
    for (int attempt = 0; attempt < 64; attempt++) {
        LONG id = InterlockedIncrement(&g_lastId) & 0x7FFFFFFF;
        if (id == 0)
            continue;
        char name[64];
        DepositName(id, name, sizeof name);
        HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, total, name);
        if (!map)
            return 0;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {  // an id of another library copy: take the next
            CloseHandle(map);
            continue;
        }
        DepositHead *head = (DepositHead *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, total);
        if (!head) {
            CloseHandle(map);
            return 0;
        }
        head->magic = kDepositMagic;
        head->tag = tag;
        head->size = size;
        head->taken = 0;
        dep->mapping = map;
        dep->view = head;
        dep->id = id;
        *bytes = (unsigned char *)(head + 1);
        return 1;
    }
    return 0;
}

void Sharedkit_DepositClose(SharedkitDeposit *dep) {
    if (dep->view)
        UnmapViewOfFile(dep->view);
    if (dep->mapping)
        CloseHandle(dep->mapping);
    dep->view = nullptr;
    dep->mapping = nullptr;
    dep->id = 0;
}

unsigned char *Sharedkit_DepositTake(LPARAM id, DWORD tag, DWORD *size) {
    *size = 0;
    if (id <= 0)
        return nullptr;
    char name[64];
    DepositName(id, name, sizeof name);
    HANDLE map = OpenFileMappingA(FILE_MAP_WRITE | FILE_MAP_READ, FALSE, name);
    if (!map)
        return nullptr;
    unsigned char *copy = nullptr;
    DepositHead *head = (DepositHead *)MapViewOfFile(map, FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, 0);
    if (head) {
        MEMORY_BASIC_INFORMATION info;
        SIZE_T mapped = VirtualQuery(head, &info, sizeof info) ? info.RegionSize : 0;
        // The size is read once: the sender's process can still write the head while it is checked.
        DWORD n = mapped >= sizeof(DepositHead) ? *(volatile DWORD *)&head->size : 0;
        bool sound = mapped >= sizeof(DepositHead) && head->magic == kDepositMagic && head->tag == tag &&
                     n > 0 && n <= kMaxDeposit && n <= mapped - sizeof(DepositHead);
        if (sound && InterlockedCompareExchange(&head->taken, 1, 0) == 0) {
            copy = (unsigned char *)HeapAlloc(GetProcessHeap(), 0, n);
            if (copy) {
                memcpy(copy, head + 1, n);
                *size = n;
            }
        }
        UnmapViewOfFile(head);
    }
    CloseHandle(map);
    return copy;
}

FARPROC Sharedkit_LexidataProc(int ordinal) {
    static HMODULE lexidata;
    if (!lexidata) {
        lexidata = GetModuleHandleA("Lexidata.dll");
        if (!lexidata)
            lexidata = LoadLibraryA("Lexidata.dll");  // kept for the life of the process
    }
    return lexidata ? GetProcAddress(lexidata, MAKEINTRESOURCEA(ordinal)) : nullptr;
}
