// Suite libraries can be loaded and freed again and again in one process: nothing a library takes
// per load (thread-local slots of the threads runtime above all) stays behind when it is freed.
#include <windows.h>
#include <gtest/gtest.h>

TEST(Reload, LibrariesLoadAndFreeTwoThousandTimes) {
    // A language driver, the phonetic layer and a driver-dictionary library, each with the
    // operation its loader asks for first.
    struct Case { const char *dll; LPCSTR proc; } cases[] = {
        {"lingo_en.dll", MAKEINTRESOURCEA(1)},
        {"Auxlingua.dll", MAKEINTRESOURCEA(101)},
        {"ddsample.dll", "DDGetInfo"},
    };
    // The libraries they link against stay loaded, as in the programs, so that each round maps
    // and unmaps only the library itself.
    for (const char *base : {"Basekit.dll", "Strandkit.dll", "Wordstrand.dll", "linguabase.dll", "Lexidata.dll"})
        ASSERT_NE(LoadLibraryA(base), nullptr) << base;
    for (const Case &c : cases) {
        for (int i = 0; i < 2000; i++) {
            HMODULE m = LoadLibraryA(c.dll);
            ASSERT_NE(m, nullptr) << c.dll << " load " << i << " error " << GetLastError();
            ASSERT_NE(GetProcAddress(m, c.proc), nullptr) << c.dll;
            ASSERT_TRUE(FreeLibrary(m)) << c.dll << " free " << i;
            ASSERT_EQ(GetModuleHandleA(c.dll), nullptr) << c.dll << " stays mapped after load " << i;
        }
    }
    // A thread-local slot can still be had afterwards.
    DWORD slot = TlsAlloc();
    EXPECT_NE(slot, TLS_OUT_OF_INDEXES);
    TlsFree(slot);
}
