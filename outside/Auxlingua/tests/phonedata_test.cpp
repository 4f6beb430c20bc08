// Phonetic data files written by a fixture writer from the format description, read back by key,
// and damaged files refused whole.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "auxlingua.h"
#include "support/testkit_files.h"

namespace {

struct Block {
    DWORD key, kind;
    std::string data;
};

// Header, then the blocks, then the directory at the end.
std::vector<BYTE> MakeFile(const std::vector<Block> &blocks) {
    std::vector<BYTE> f(32, 0);
    memcpy(&f[0], "VLPHONE1", 8);
    std::vector<DWORD> offsets;
    for (const Block &b : blocks) {
        offsets.push_back((DWORD)f.size());
        f.insert(f.end(), b.data.begin(), b.data.end());
    }
    DWORD dir = (DWORD)f.size();
    f.resize(f.size() + 16 * blocks.size());
    for (size_t i = 0; i < blocks.size(); i++) {
        Testkit_Put32(f, dir + 16 * i, blocks[i].key);
        Testkit_Put32(f, dir + 16 * i + 4, blocks[i].kind);
        Testkit_Put32(f, dir + 16 * i + 8, offsets[i]);
        Testkit_Put32(f, dir + 16 * i + 12, (DWORD)blocks[i].data.size());
    }
    Testkit_Put32(f, 8, 1);
    Testkit_Put32(f, 12, (DWORD)blocks.size());
    Testkit_Put32(f, 16, dir);
    Testkit_Put32(f, 20, (DWORD)f.size());
    return f;
}

std::string Write(const char *name, const std::vector<BYTE> &bytes) {
    Testkit_WriteFile(name, bytes);
    return name;
}

std::string Fetch(HANDLE f, DWORD key) {
    BYTE request[108] = {};
    memcpy(request + 4, &key, 4);
    memcpy(request + 8, &key, 4);
    DWORD size = 12345;
    HGLOBAL g = Auxlingua_GetData(f, request, &size);
    if (!g) {
        EXPECT_EQ(size, 0u);
        return "<none>";
    }
    EXPECT_EQ(GlobalSize(g), size);
    std::string s((const char *)GlobalLock(g), size);
    GlobalUnlock(g);
    GlobalFree(g);
    return s;
}

const std::vector<Block> kBlocks = {{7, 1, "RIFF....WAVEfmt "}, {19, 2, "image"}, {20, 0, ""}, {1000, 1, "x"}};

}  // namespace

TEST(PhoneData, BlocksByKey) {
    std::string path = Write("sound.vph", MakeFile(kBlocks));
    HANDLE f = Auxlingua_Open(path.c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Fetch(f, 7), "RIFF....WAVEfmt ");
    EXPECT_EQ(Fetch(f, 19), "image");
    EXPECT_EQ(Fetch(f, 1000), "x");
    EXPECT_EQ(Fetch(f, 20), "<none>") << "an empty block gives no memory";
    EXPECT_EQ(Fetch(f, 8), "<none>");
    EXPECT_EQ(Auxlingua_Lookup(f, 19), 6u);
    EXPECT_EQ(Auxlingua_Lookup(f, 20), 1u);
    EXPECT_EQ(Auxlingua_Lookup(f, 0), 0u);
    EXPECT_EQ(Auxlingua_GetData(f, nullptr, nullptr), nullptr);
    EXPECT_EQ(Auxlingua_Close(f), 1);
    EXPECT_NE(DeleteFileA(path.c_str()), 0) << "the file is no longer held";
    // A file without entries opens and holds nothing.
    path = Write("empty.vph", MakeFile({}));
    f = Auxlingua_Open(path.c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(Auxlingua_Lookup(f, 7), 0u);
    Auxlingua_Close(f);
    DeleteFileA(path.c_str());
}

TEST(PhoneData, DamagedFilesAreRefusedWhole) {
    std::vector<BYTE> good = MakeFile(kBlocks);
    DWORD dir;
    memcpy(&dir, &good[16], 4);
    struct Case {
        const char *name;
        size_t at;
        DWORD value;
        size_t cut;
    } cases[] = {
        {"magic", 0, 0x58504C56, 0},
        {"version", 8, 2, 0},
        {"size field", 20, (DWORD)good.size() + 1, 0},
        {"directory past the end", 16, (DWORD)good.size() - 8, 0},
        {"directory in the header", 16, 8, 0},
        {"count past the end", 12, 5, 0},
        {"count overflowing", 12, 0x10000001, 0},
        {"block past the end", dir + 8, (DWORD)good.size() - 2, 0},
        {"block length past the end", dir + 12, 0xFFFFFFF0, 0},
        {"block in the header", dir + 8, 4, 0},
        {"keys out of order", dir + 16, 3, 0},
        {"keys repeated", dir + 16, 7, 0},
        {"cut file", 0, 0, 10},
        {"cut directory", 0, 0, good.size() - 4},
    };
    for (const Case &c : cases) {
        std::vector<BYTE> bad = good;
        if (c.cut)
            bad.resize(c.cut);
        else
            Testkit_Put32(bad, c.at, c.value);
        std::string path = Write("bad.vph", bad);
        HANDLE f = Auxlingua_Open(path.c_str());
        EXPECT_EQ(f, nullptr) << c.name;
        if (f)
            Auxlingua_Close(f);
        EXPECT_NE(DeleteFileA(path.c_str()), 0) << c.name << ": file left open";
    }
    EXPECT_EQ(Auxlingua_Open("no_such_file.vph"), nullptr);
    EXPECT_EQ(Auxlingua_Open(nullptr), nullptr);
    EXPECT_EQ(Auxlingua_Close(nullptr), 0);
    EXPECT_EQ(Auxlingua_Lookup(nullptr, 7), 0u);
}
