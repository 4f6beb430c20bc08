// File copy with progress (callback and dialog), writing whole files and emptying folders.
// The dialog cases need the X display of the test run.
#include <gtest/gtest.h>

#include "basekit.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

const char kCaption[] = "Basekit copy test";

std::string Pattern(size_t size, unsigned seed)
{
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = (char)((i * 131 + seed + i / 4096) & 0xFF);
    return data;
}

void WriteAll(const char *path, const std::string &data)
{
    ASSERT_EQ(1, Basekit_WriteFile(path, data.data(), (DWORD)data.size())) << path;
}

bool ReadAll(const char *path, std::string *data)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(f, nullptr), got = 0;
    data->assign(size, '\0');
    BOOL ok = size == 0 || ReadFile(f, &(*data)[0], size, &got, nullptr);
    CloseHandle(f);
    return ok && got == size;
}

bool Exists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Records every call of the progress callback; may stop the copy at a given call.
struct Recorder {
    std::vector<int> calls;
    int stopAt = -1;            // index of the call that answers 0
    DWORD stopError = 0;        // last error set when stopping
    void (*onCall)(Recorder *) = nullptr;
    const char *source = nullptr;
};

int CALLBACK Record(int percent, void *context)
{
    Recorder *r = static_cast<Recorder *>(context);
    r->calls.push_back(percent);
    if (r->onCall && percent != -1) r->onCall(r);
    if ((int)r->calls.size() - 1 == r->stopAt) {
        SetLastError(r->stopError);
        return 0;
    }
    return 1;
}

class FileCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA("copy.src");
        DeleteFileA("copy.dst");
    }
    void TearDown() override
    {
        DeleteFileA("copy.src");
        DeleteFileA("copy.dst");
    }
};

TEST_F(FileCopy, BelowTheThresholdThePlatformCopies)
{
    std::string data = Pattern(511999, 1), back;
    WriteAll("copy.src", data);
    Recorder r;
    EXPECT_EQ(1, Basekit_CopyFileWithProgress("copy.src", "copy.dst", FALSE, kCaption, "msg",
                                              Record, &r));
    EXPECT_TRUE(r.calls.empty());
    ASSERT_TRUE(ReadAll("copy.dst", &back));
    EXPECT_TRUE(back == data);
}

TEST_F(FileCopy, ReportsEachPercentageOnceEndingWith100)
{
    // The largest size is beyond where the copied total times 100 leaves 32 bits.
    for (size_t size : {(size_t)512000, (size_t)3 * 1024 * 1024 + 17, (size_t)45 * 1024 * 1024}) {
        std::string data = Pattern(size, 2), back;
        WriteAll("copy.src", data);
        WriteAll("copy.dst", "an older file that is overwritten");
        Recorder r;
        ASSERT_EQ(1, Basekit_CopyFileWithProgress("copy.src", "copy.dst", FALSE, kCaption, "msg",
                                                  Record, &r));
        EXPECT_EQ(0u, GetLastError());
        ASSERT_GE(r.calls.size(), 2u);
        EXPECT_EQ(-1, r.calls.back());
        EXPECT_EQ(100, r.calls[r.calls.size() - 2]);
        for (size_t i = 1; i + 1 < r.calls.size(); ++i) EXPECT_LT(r.calls[i - 1], r.calls[i]);
        ASSERT_TRUE(ReadAll("copy.dst", &back));
        EXPECT_TRUE(back == data) << size;
    }
}

TEST_F(FileCopy, FailIfExistsKeepsTheTarget)
{
    WriteAll("copy.src", Pattern(600000, 3));
    WriteAll("copy.dst", "keep me");
    Recorder r;
    EXPECT_EQ(0, Basekit_CopyFileWithProgress("copy.src", "copy.dst", TRUE, kCaption, "msg",
                                              Record, &r));
    EXPECT_EQ((DWORD)ERROR_FILE_EXISTS, GetLastError());
    std::string back;
    ASSERT_TRUE(ReadAll("copy.dst", &back));
    EXPECT_EQ("keep me", back);
    EXPECT_EQ(0, Basekit_CopyFileWithProgress("missing.src", "copy.dst", FALSE, kCaption, "msg",
                                              Record, &r));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_TRUE(r.calls.empty());
}

// A callback that stops the copy: with ERROR_CANCELLED the copy ends at once, otherwise the
// callback hears -1 first.  Either way no partial target is left behind.
TEST_F(FileCopy, StoppedByTheCallbackRemovesThePartialTarget)
{
    WriteAll("copy.src", Pattern(2000000, 4));
    for (DWORD error : {(DWORD)ERROR_CANCELLED, (DWORD)0}) {
        Recorder r;
        r.stopAt = 1;
        r.stopError = error;
        EXPECT_EQ(0, Basekit_CopyFileWithProgress("copy.src", "copy.dst", FALSE, kCaption, "msg",
                                                  Record, &r));
        EXPECT_EQ((DWORD)ERROR_CANCELLED, GetLastError());
        ASSERT_EQ(error ? 2u : 3u, r.calls.size());
        if (!error) {
            EXPECT_EQ(-1, r.calls.back());
        }
        EXPECT_FALSE(Exists("copy.dst"));
    }
}

// The source shrinks while it is copied (cut from the Unix side, past the copy's share mode):
// the read comes back short, which is a failure.
// The Linux truncate call, made straight from the test program (x86_64: syscall 76, i386: 92).
long long UnixTruncate(const char *path, long length)
{
#ifdef _WIN64
    long long result;
    __asm__ volatile("syscall"
                     : "=a"(result)
                     : "0"(76LL), "D"(path), "S"((long long)length)
                     : "rcx", "r11", "memory");
#else
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "0"(92L), "b"(path), "c"(length) : "memory");
#endif
    return result;
}

void ShrinkSource(Recorder *r)
{
    if (r->calls.size() != 1) return;
    typedef char *(__cdecl * UnixName)(const WCHAR *);
    UnixName unixName = reinterpret_cast<UnixName>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, r->source, -1, wide, MAX_PATH);
    char *path = unixName(wide);
    ASSERT_NE(nullptr, path);
    EXPECT_EQ(0, UnixTruncate(path, 300000));
    HeapFree(GetProcessHeap(), 0, path);
}

TEST_F(FileCopy, SourceShrinkingMidwayFailsAndRemovesTheTarget)
{
    if (!GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"))
        GTEST_SKIP() << "needs Wine to cut the file from outside";
    char source[MAX_PATH];
    GetFullPathNameA("copy.src", MAX_PATH, source, nullptr);
    WriteAll("copy.src", Pattern(1000000, 6));
    Recorder r;
    r.onCall = ShrinkSource;
    r.source = source;
    EXPECT_EQ(0, Basekit_CopyFileWithProgress("copy.src", "copy.dst", FALSE, kCaption, "msg",
                                              Record, &r));
    EXPECT_EQ((DWORD)ERROR_HANDLE_EOF, GetLastError());
    EXPECT_FALSE(Exists("copy.dst"));
    ASSERT_GE(r.calls.size(), 2u);
    EXPECT_EQ(-1, r.calls.back());
}

// The built-in dialog: shown for a large copy and gone when the copy returns.
TEST_F(FileCopy, DialogShowsAndCloses)
{
    std::string data = Pattern(1500000, 7), back;
    WriteAll("copy.src", data);
    ASSERT_EQ(1, Basekit_CopyFileWithProgress("copy.src", "copy.dst", FALSE, kCaption,
                                              "Copying the test file", nullptr, nullptr));
    EXPECT_EQ(nullptr, FindWindowA(nullptr, kCaption));
    ASSERT_TRUE(ReadAll("copy.dst", &back));
    EXPECT_TRUE(back == data);
}

// Closes the dialog as soon as it shows, with the copying thread held still meanwhile, so that
// the copy sees the closed dialog at its next block whatever the speed of the machine.
struct Closer {
    HANDLE copier;
    int closed;
};

DWORD WINAPI CloseDialog(void *arg)
{
    Closer *c = static_cast<Closer *>(arg);
    HWND dialog = nullptr;
    while ((dialog = FindWindowA(nullptr, kCaption)) == nullptr) SwitchToThread();
    SuspendThread(c->copier);
    DWORD threadId = GetWindowThreadProcessId(dialog, nullptr);
    HANDLE dialogThread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    bool held = true;
    if (dialogThread) {
        // The copier may be held inside a system call, holding a lock that the closing dialog
        // needs: then it is let go after a while, and the dialog closes a moment later.
        if (WaitForSingleObject(dialogThread, 2000) == WAIT_TIMEOUT) {
            ResumeThread(c->copier);
            held = false;
        }
        c->closed = WaitForSingleObject(dialogThread, 60000) == WAIT_OBJECT_0;
        CloseHandle(dialogThread);
    }
    if (held) ResumeThread(c->copier);
    return 0;
}

TEST_F(FileCopy, ClosingTheDialogCancels)
{
    WriteAll("copy.src", Pattern(64 * 1024 * 1024, 8));
    Closer c = {nullptr, 0};
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &c.copier, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    HANDLE closer = CreateThread(nullptr, 0, CloseDialog, &c, 0, nullptr);
    ASSERT_NE(nullptr, closer);
    int result = Basekit_CopyFileWithProgress("copy.src", "copy.dst", FALSE, kCaption,
                                              "Copying the test file", nullptr, nullptr);
    DWORD error = GetLastError();
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    CloseHandle(c.copier);
    ASSERT_EQ(1, c.closed);
    EXPECT_EQ(0, result);
    EXPECT_EQ((DWORD)ERROR_CANCELLED, error);
    EXPECT_FALSE(Exists("copy.dst"));
}

TEST(WriteFile, WritesReportsAndFails)
{
    std::string back;
    EXPECT_EQ(1, Basekit_WriteFile("write.bin", "abc", 3));
    ASSERT_TRUE(ReadAll("write.bin", &back));
    EXPECT_EQ("abc", back);
    EXPECT_EQ(1, Basekit_WriteFile("write.bin", "", 0));   // truncates
    ASSERT_TRUE(ReadAll("write.bin", &back));
    EXPECT_EQ("", back);
    DeleteFileA("write.bin");
    EXPECT_EQ(-1, Basekit_WriteFile("no such folder\\write.bin", "abc", 3));
    // A device that refuses every write (the Unix full device, reached through Wine's root drive).
    SetLastError(0);
    EXPECT_EQ(0, Basekit_WriteFile("Z:\\dev\\full", "abc", 3));
    EXPECT_EQ((DWORD)ERROR_DISK_FULL, GetLastError());
}

TEST(DeleteTree, EmptiesNestedFoldersAndKeepsTheFolder)
{
    char here[MAX_PATH], root[MAX_PATH], path[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, here);
    snprintf(root, sizeof root, "%s\\tree", here);
    CreateDirectoryA(root, nullptr);
    const char *folders[] = {"a", "a\\b", "a\\b\\c", "d"};
    const char *files[] = {"top.txt", "a\\one.txt", "a\\b\\two.txt", "a\\b\\c\\ro.txt", "d\\h.txt"};
    for (const char *f : folders) {
        snprintf(path, sizeof path, "%s\\%s", root, f);
        ASSERT_TRUE(CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    for (const char *f : files) {
        snprintf(path, sizeof path, "%s\\%s", root, f);
        WriteAll(path, "x");
    }
    snprintf(path, sizeof path, "%s\\a\\b\\c\\ro.txt", root);
    SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    snprintf(path, sizeof path, "%s\\d\\h.txt", root);
    SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);

    EXPECT_NE(0, Basekit_DeleteTree(root));
    char now[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, now);
    EXPECT_STREQ(here, now);
    EXPECT_TRUE(GetFileAttributesA(root) & FILE_ATTRIBUTE_DIRECTORY);
    snprintf(path, sizeof path, "%s\\*", root);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do entries += strcmp(found.cFileName, ".") && strcmp(found.cFileName, "..");
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    EXPECT_EQ(0, entries);
    RemoveDirectoryA(root);

    snprintf(path, sizeof path, "%s\\missing", here);
    EXPECT_EQ(0, Basekit_DeleteTree(path));
    GetCurrentDirectoryA(MAX_PATH, now);
    EXPECT_STREQ(here, now);
}

} // namespace
