// Every ordinal in every .def resolves in the built DLL (and by name where it is exported by name),
// and each header declares every exported name with the argument size the .def gives.
#include <windows.h>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

template <class F> struct ArgBytes;
template <class R, class... A> struct ArgBytes<R(WINAPI *)(A...)> {
    static constexpr int value = (0 + ... + int((sizeof(A) + 3) & ~size_t(3)));
};

struct SuiteExport {
    const char *dll;
    int ordinal;
    const char *name;
    int byName;
};

}  // namespace

#define SUITE_CHECK_ARGBYTES(fn, n) \
    static_assert(ArgBytes<decltype(&fn)>::value == (n), #fn ": header and .def disagree on the arguments")
#define SUITE_EXPORT_TABLE
#include "exports_table.inc"

TEST(Exports, EveryOrdinalResolves) {
    // Each library is loaded once and kept for the whole walk: loading and freeing dozens of
    // libraries hundreds of times is not what the suite does, and wears down the loader.
    std::map<std::string, HMODULE> loaded;
    for (const SuiteExport &e : kSuiteExports) {
        HMODULE &h = loaded[e.dll];
        if (!h) h = LoadLibraryA(e.dll);
        ASSERT_NE(h, nullptr) << e.dll;
        FARPROC byOrdinal = GetProcAddress(h, MAKEINTRESOURCEA(e.ordinal));
        EXPECT_NE(byOrdinal, nullptr) << e.dll << " ordinal " << e.ordinal << " (" << e.name << ")";
        if (e.byName) {
            EXPECT_EQ(GetProcAddress(h, e.name), byOrdinal) << e.dll << " " << e.name;
        }
    }
}
