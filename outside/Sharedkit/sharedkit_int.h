// What the files of the relay library share.
#ifndef SHAREDKIT_INT_H
#define SHAREDKIT_INT_H

#include <windows.h>

// This library's module (for its own dialog template).
extern HINSTANCE g_sharedkitModule;

// Window class of a window kind, or null for kinds without a window of their own.
const char *Sharedkit_KindClass(int kind);
// The first live top-level window of the kind, or null.
HWND Sharedkit_FindKindWindow(int kind);
// Sends with a long timeout so that a hung receiver cannot hold the sender for ever; 1 when the
// receiver answered (its result in *result), 0 when it did not.
int Sharedkit_SendGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);

// An operation of the dictionary data library by ordinal (Lexidata.dll, loaded once), or null.
FARPROC Sharedkit_LexidataProc(int ordinal);
enum {
    SHAREDKIT_LEX_DATAITEM_SAVE = 209,
    SHAREDKIT_LEX_DATAITEM_LOAD = 210,
    SHAREDKIT_LEX_TRANPARAM_CREATE = 1001,
    SHAREDKIT_LEX_TRANPARAM_DESTROY = 1002,
    SHAREDKIT_LEX_TRANPARAM_DUP = 1003,
};

// Deposits: byte copies of one record in a named mapping, found by a machine-wide id.
enum { SHAREDKIT_DEPOSIT_REQUEST = 1, SHAREDKIT_DEPOSIT_ENTRY = 2 };
struct SharedkitDeposit {
    HANDLE mapping;
    void *view;
    LPARAM id;
};
// Makes a deposit of `size` bytes (filled by the caller through *bytes); 1 on success.
int Sharedkit_DepositCreate(SharedkitDeposit *dep, DWORD tag, DWORD size, unsigned char **bytes);
// Withdraws the deposit (a later fetch of its id gives nothing).
void Sharedkit_DepositClose(SharedkitDeposit *dep);
// Takes the deposit of the id once: a heap copy of its bytes (free with HeapFree on the process
// heap) and its size, or null for an unknown, withdrawn, already taken or damaged deposit.
unsigned char *Sharedkit_DepositTake(LPARAM id, DWORD tag, DWORD *size);

#endif
