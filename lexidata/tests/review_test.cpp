// Reviews of the text block readers: lengths near the points where size arithmetic on this 32-bit
// target would wrap.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "fixtures/dicwriter.h"

namespace {

// A version-1 block of the text as zlib's stored (uncompressed) form: the stored size is the
// plain size plus a few bytes per 64 KB.
std::vector<uint8_t> StoredV1(const std::string &plain) {
    uLongf room = compressBound((uLong)plain.size());
    std::vector<uint8_t> raw(4 + room);
    raw[0] = 0;
    raw[1] = (uint8_t)plain.size();
    raw[2] = (uint8_t)(plain.size() >> 8);
    raw[3] = (uint8_t)(plain.size() >> 16);
    if (compress2(raw.data() + 4, &room, (const Bytef *)plain.data(), (uLong)plain.size(), 0) != Z_OK)
        return {};
    raw.resize(4 + room);
    for (uint8_t &b : raw) b = dicfix::StoredByte(TextCodec_T1, b);
    return raw;
}

std::string Letters(size_t n) {
    std::string s(n, 'a');
    uint32_t x = 2463534242u;
    for (char &c : s) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = (char)('a' + x % 26);
    }
    return s;
}

// A block of a little over 4 MB stored, whose largest possible plain length (1040 bytes per stored
// byte) lies beyond 32 bits, is read like any other.
TEST(Review, VersionOneBlockOfFourMegabytesReadsWhole) {
    const uint32_t kTargetStored = 4131000;  // 4131000 * 1040 wraps a 32-bit size to about 1.2 MB
    std::string plain;
    std::vector<uint8_t> block;
    size_t n = kTargetStored - 400;
    for (int round = 0; round < 4; round++) {
        plain = Letters(n);
        block = StoredV1(plain);
        ASSERT_FALSE(block.empty());
        if (block.size() == kTargetStored) break;
        n += (size_t)kTargetStored - block.size();
    }
    ASSERT_GT(block.size(), 4129776u);
    ASSERT_LT(block.size(), 4133000u);

    dicfix::Bytes f;
    f.U8(1);
    f.U32((uint32_t)block.size());
    f.U32((uint32_t)plain.size());
    f.U32(0);
    f.U32(0);
    f.Raw(block);
    const char *path = "review_v1big.dic";
    ASSERT_TRUE(dicfix::WriteBytes(path, f.b));

    DicInfo info;
    memset(&info, 0, sizeof info);
    snprintf(info.path, sizeof info.path, "%s", path);
    info.kind = 1;
    info.headerFlags = DICFLAG_ENCODED;
    info.decoderVersion = 1025;
    VLData data;
    memset(&data, 0, sizeof data);
    EXPECT_TRUE(DLVData_Read(nullptr, &info, 0, &data));
    EXPECT_EQ(data.len1, (DWORD)plain.size());
    EXPECT_TRUE(data.data1 && memcmp(data.data1, plain.data(), plain.size()) == 0);
    VLMem_Free(data.data1);
    VLMem_Free(data.data2);
    DeleteFileA(path);
}

std::string ReadWhole(const char *path) {
    std::string s;
    FILE *in = fopen(path, "rb");
    if (!in) return s;
    int c;
    while ((c = fgetc(in)) != EOF) s.push_back((char)c);
    fclose(in);
    return s;
}

// Appending to a file that is no word list (another program's file picked by mistake) leaves it
// as it was instead of writing a word-list header over its first bytes.
TEST(Review, AppendToAFileOfAnotherKindChangesNothing) {
    const char *path = "review_foreign.txt";
    const std::string foreign = "These are the notes of another program, not a word list.\r\n";
    ASSERT_TRUE(dicfix::WriteBytes(path, std::vector<uint8_t>(foreign.begin(), foreign.end())));
    VLDataItem h;
    memset(&h, 0, sizeof h);
    VLDataItem *item = VLDataItem_Create(&h, "word", nullptr, nullptr, nullptr);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(VLWordList_AddItemToFile(path, item));
    EXPECT_EQ(ReadWhole(path), foreign);
    VLDataItem_Destroy(item);
    DeleteFileA(path);
}

}  // namespace
