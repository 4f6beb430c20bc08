// Test support for looking into the common controls of another process: messages that carry a
// pointer get it in a block of the other process's memory (written and read back through the
// process handle), so a test can read a list view's rows and a status bar's text and select rows
// of a program it started.  The other process must be of the test's own lane.  Header only;
// include as "support/testkit_remote.h".
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

class Testkit_Remote {
public:
    explicit Testkit_Remote(HWND window)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) block_ = VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~Testkit_Remote()
    {
        if (block_) VirtualFreeEx(process_, block_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    Testkit_Remote(const Testkit_Remote &) = delete;
    Testkit_Remote &operator=(const Testkit_Remote &) = delete;
    bool Ready() const { return block_ != nullptr; }

    int Count(HWND list) const { return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }

    // The text of a row's column, the row's image and its state bits.
    std::string Text(HWND list, int row, int column = 0)
    {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = (char *)Far(sizeof item);
        item.cchTextMax = kText;
        Put(&item, sizeof item);
        SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)block_);
        return String(sizeof item);
    }
    int Image(HWND list, int row)
    {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        Put(&item, sizeof item);
        if (!SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)block_)) return -1;
        Get(&item, sizeof item);
        return item.iImage;
    }
    // The row whose first column shows text, or -1.
    int Find(HWND list, const std::string &text)
    {
        for (int i = 0; i < Count(list); i++)
            if (Text(list, i) == text) return i;
        return -1;
    }
    // Selects and focuses the row alone (row -1: clears the selection).
    void Select(HWND list, int row)
    {
        State(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (row >= 0) State(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    void AddToSelection(HWND list, int row) { State(list, row, LVIS_SELECTED, LVIS_SELECTED); }

    // Sends the message with the text (copied into the other process) as lParam; its answer.
    LRESULT SendText(HWND window, UINT message, WPARAM wParam, const std::string &text)
    {
        if (text.size() >= (size_t)kText) return 0;
        Put(text.c_str(), text.size() + 1);
        return SendMessageA(window, message, wParam, (LPARAM)block_);
    }
    // The text of a status bar's first part.
    std::string StatusText(HWND status)
    {
        Put("", 1);
        SendMessageA(status, SB_GETTEXTA, 0, (LPARAM)block_);
        return String(0);
    }

private:
    static const SIZE_T kSize = 8192;
    static const int kText = 2048;
    void *Far(SIZE_T offset) const { return (char *)block_ + offset; }
    void Put(const void *data, SIZE_T size, SIZE_T offset = 0)
    {
        WriteProcessMemory(process_, Far(offset), data, size, nullptr);
    }
    void Get(void *data, SIZE_T size, SIZE_T offset = 0) const
    {
        ReadProcessMemory(process_, Far(offset), data, size, nullptr);
    }
    std::string String(SIZE_T offset) const
    {
        char text[kText + 1] = {};
        Get(text, kText, offset);
        return text;
    }
    void State(HWND list, int row, UINT state, UINT mask)
    {
        LVITEMA item = {};
        item.stateMask = mask;
        item.state = state;
        Put(&item, sizeof item);
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)block_);
    }
    HANDLE process_ = nullptr;
    void *block_ = nullptr;
};
