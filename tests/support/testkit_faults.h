// Test support for failures a test cannot otherwise bring about: a disk that fills up in the
// middle of a write.  Testkit_WriteFault rebinds WriteFile in one module's import table so that
// the module may write `allowance` more bytes; the write that crosses the allowance writes what
// still fits and fails with ERROR_DISK_FULL, and so does every later one.  The binding is put
// back when the fault goes out of scope.  One fault at a time.  Header only; include as
// "support/testkit_faults.h".
#pragma once

#include <windows.h>

#include <string.h>

namespace testkit_faults {

typedef BOOL(WINAPI *WriteFileProc)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);

inline WriteFileProc &Original() { static WriteFileProc p; return p; }
inline DWORD &Allowance() { static DWORD n; return n; }

inline BOOL WINAPI FailingWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                                    LPOVERLAPPED overlapped)
{
    DWORD fits = size <= Allowance() ? size : Allowance();
    DWORD done = 0;
    BOOL ok = fits == 0 || Original()(file, data, fits, &done, overlapped);
    Allowance() -= done;
    if (written) *written = done;
    if (!ok || done == size) return ok;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// The import slot through which `module` calls kernel32's `name`; null when it has none.
inline void **ImportSlot(HMODULE module, const char *name)
{
    BYTE *base = (BYTE *)module;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return nullptr;
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress);
         d->Name; d++) {
        if (_stricmp((const char *)(base + d->Name), "kernel32.dll") != 0) continue;
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            IMAGE_IMPORT_BY_NAME *n = (IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData);
            if (strcmp((const char *)n->Name, name) == 0) return (void **)&slots->u1.Function;
        }
    }
    return nullptr;
}

inline bool Rebind(void **slot, void *to)
{
    DWORD old;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = to;
    VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}

}  // namespace testkit_faults

class Testkit_WriteFault {
public:
    Testkit_WriteFault(const char *moduleName, DWORD allowance)
    {
        HMODULE module = GetModuleHandleA(moduleName);
        slot_ = module ? testkit_faults::ImportSlot(module, "WriteFile") : nullptr;
        if (!slot_) return;
        testkit_faults::Original() = (testkit_faults::WriteFileProc)*slot_;
        testkit_faults::Allowance() = allowance;
        if (!testkit_faults::Rebind(slot_, (void *)&testkit_faults::FailingWriteFile)) slot_ = nullptr;
    }
    ~Testkit_WriteFault()
    {
        if (slot_) testkit_faults::Rebind(slot_, (void *)testkit_faults::Original());
    }
    // False when the module does not call WriteFile through its import table.
    bool Armed() const { return slot_ != nullptr; }

private:
    void **slot_ = nullptr;
};
