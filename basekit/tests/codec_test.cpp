// The text codec of dictionary text: the exported encode and decode, and the shared codec driven
// with chosen random sources (always firing, never firing, seeded).
#include <gtest/gtest.h>

#include "basekit.h"
#include "../../common/textcodec.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

uint32_t AlwaysFire(void *) { return 0; }
uint32_t NeverFire(void *) { return 0xFFFFFFFFu; }
uint32_t Seeded(void *context) { return (*static_cast<std::mt19937 *>(context))(); }

// Coded bytes for a list of values (each value v stored as the byte i with T0[i] == v).
Bytes Code(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values) out.push_back(TextCodec_T0Inverse((unsigned char)v));
    return out;
}

long Decode(const Bytes &in, Bytes *out, size_t cap)
{
    out->assign(cap, 0xEE);
    long n = TextCodec_DecodeV0(in.data(), in.size(), out->data(), cap);
    if (n >= 0) out->resize((size_t)n);
    return n;
}

Bytes RoundTrip(const Bytes &plain, TextCodecRandom random, void *context)
{
    Bytes coded(2 * plain.size() + 1, 0);
    size_t n = TextCodec_EncodeV0(plain.data(), plain.size(), coded.data(), random, context);
    EXPECT_LE(n, 2 * plain.size());
    coded.resize(n);
    Bytes back;
    EXPECT_EQ((long)plain.size(), Decode(coded, &back, plain.size()));
    return back;
}

// Inputs that reach every rule of the encoder.
std::vector<Bytes> Adversarial()
{
    std::vector<Bytes> all;
    auto add = [&](const std::string &s) { all.push_back(Bytes(s.begin(), s.end())); };
    add(std::string("\x00\x1b\x1c\x0a\x0d\x07\x01\x1f", 8));         // control bytes
    add(std::string(300, 'a'));                                       // a long run
    add("aab" "aab" "aab" "xyxyxyxyx");                                // repeats two back
    add("\x01\x02\x03" "ABCDEFEDCBA" "\xfe\x01\xff\x00\x02\xfd");      // differences, wrapping
    add("d" "cdefgh" "hgfedc");                                        // first byte below its successor
    add("eeayy\x81\x81\xa2\xc1\xd3\xd3");                               // fixed bytes
    std::string distant;                                                  // matches at the window edge
    for (int i = 0; i < 260; ++i) distant += (char)('A' + i % 23);
    distant += distant.substr(0, 250);
    add(distant);
    std::string longMatch = "0123456789" + std::string(260, 'q') + "0123456789";
    add(longMatch);
    Bytes all256(256);
    for (int i = 0; i < 256; ++i) all256[i] = (unsigned char)i;
    all.push_back(all256);
    Bytes first(1, 0x80);                                              // one byte
    all.push_back(first);
    return all;
}

TEST(TextCodec, TablesArePermutations)
{
    for (const unsigned char *table : {TextCodec_T0, TextCodec_T1}) {
        bool seen[256] = {};
        for (int i = 0; i < 256; ++i) seen[table[i]] = true;
        EXPECT_EQ(256, std::count(seen, seen + 256, true));
    }
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(v, TextCodec_T0[TextCodec_T0Inverse((unsigned char)v)]);
        EXPECT_EQ(v, TextCodec_T1[TextCodec_T1Inverse((unsigned char)v)]);
    }
    int fixed = 0;
    for (int i = 0; i < 256; ++i) fixed += TextCodec_T0[i] == i;
    EXPECT_LT(fixed, 8) << "T0 must really substitute";
}

// One row per code of the byte code: the values and the plain bytes they give.
TEST(TextCodec, DecodesEveryCode)
{
    struct Row {
        std::initializer_list<int> code;
        std::string plain;
    } rows[] = {
        {{0, 1, 2, 3}, std::string("\x00\x1b\x1c\x0a", 4)},
        {{4, 5, 4, 29}, "\x05\x1d"},
        {{'a', 5, 'b', 27}, "aabb"},
        {{'a', 6}, "aaa"},
        {{'a', 7}, "aaaa"},
        {{'x', 'y', 8}, "xyx"},
        {{'m', 9, 'm', 10, 'm', 11}, "mjmkml"},
        {{'m', 12, 'm', 13, 'm', 14}, "mnmomp"},
        {{'\xff', 12, 0x30, 9}, std::string("\xff\x00" "0-", 4)},
        {{'a', 'b', 'c', 15, 7, 3}, "abcabcabca"},              // overlapping copy
        {{'a', 'b', 'c', 16, 2, 3}, "abcbc"},                   // distance d - 1
        {{'a', 'b', 'c', 17, 1, 4}, "abcb"},                    // distance d - 2
        {{'a', 'b', 'c', 18, 2, 3}, "abcabc"},                  // k + 1 bytes
        {{'a', 'b', 'c', 19, 1, 2, 3}, "abcabc"},               // distance a + b
        {{20, 21, 22, 23, 24, 25, 26, 28, 29}, "eay\x81\xa2\xc1\xd3\x0d\x07"},
        {{'a', 15, 0, 1}, "a"},                                 // a copy of no bytes
    };
    for (const Row &row : rows) {
        Bytes out;
        ASSERT_EQ((long)row.plain.size(), Decode(Code(row.code), &out, 64)) << row.plain;
        EXPECT_EQ(row.plain, std::string(out.begin(), out.end()));
    }
}

// Damaged code is refused without a read or write outside the given buffers.
TEST(TextCodec, RefusesDamagedCode)
{
    struct Row {
        const char *what;
        std::initializer_list<int> code;
        size_t cap;
    } rows[] = {
        {"repeat without a previous byte", {5}, 16},
        {"difference without a previous byte", {12}, 16},
        {"two back with one byte", {'a', 8}, 16},
        {"operand missing", {4}, 16},
        {"copy operands missing", {'a', 'b', 15, 2}, 16},
        {"copy from before the start", {'a', 15, 2, 2}, 16},
        {"copy of distance 0", {'a', 15, 2, 0}, 16},
        {"nearer copy of distance 0", {'a', 16, 2, 1}, 16},
        {"nearer copy underflow", {'a', 17, 2, 1}, 16},
        {"sum distance too far", {'a', 'b', 19, 1, 2, 1}, 16},
        {"output over the room", {'a', 'b', 'c', 'd'}, 3},
        {"repeat over the room", {'a', 7}, 3},
        {"copy over the room", {'a', 18, 255, 1}, 100},
    };
    for (const Row &row : rows) {
        Bytes in = Code(row.code);
        // Guard bytes around the output room catch a stray write.
        Bytes out(row.cap + 16, 0xEE);
        EXPECT_EQ(-1, TextCodec_DecodeV0(in.data(), in.size(), out.data() + 8, row.cap))
            << row.what;
        for (size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(0xEE, out[i]) << row.what;
            EXPECT_EQ(0xEE, out[8 + row.cap + i]) << row.what;
        }
    }
}

// Cutting valid code short anywhere and flipping bytes never crosses a bound (a mutation loop:
// the result may be a refusal or another text, never more than the room).
TEST(TextCodec, MutatedCodeStaysInBounds)
{
    std::mt19937 rng(7);
    for (const Bytes &plain : Adversarial()) {
        Bytes coded(2 * plain.size());
        coded.resize(TextCodec_EncodeV0(plain.data(), plain.size(), coded.data(), Seeded, &rng));
        for (int round = 0; round < 200; ++round) {
            Bytes damaged = coded;
            if (round % 2 == 0) damaged.resize(rng() % (damaged.size() + 1));
            else damaged[rng() % damaged.size()] = (unsigned char)rng();
            size_t cap = plain.size();
            Bytes out(cap + 8, 0xEE);
            long n = TextCodec_DecodeV0(damaged.data(), damaged.size(), out.data(), cap);
            EXPECT_LE(n, (long)cap);
            for (size_t i = 0; i < 8; ++i) ASSERT_EQ(0xEE, out[cap + i]);
        }
    }
}

TEST(TextCodec, RoundTripsWhateverTheDraws)
{
    std::mt19937 rng(12345);
    std::vector<Bytes> inputs = Adversarial();
    for (int i = 0; i < 300; ++i) {   // random texts over small and full alphabets
        Bytes text(rng() % 700);
        unsigned alphabet = i % 3 == 0 ? 256 : i % 3 == 1 ? 4 : 40;
        for (auto &b : text) b = (unsigned char)(0x5E + rng() % alphabet);
        inputs.push_back(text);
    }
    for (const Bytes &plain : inputs) {
        EXPECT_EQ(plain, RoundTrip(plain, AlwaysFire, nullptr));
        EXPECT_EQ(plain, RoundTrip(plain, NeverFire, nullptr));
        EXPECT_EQ(plain, RoundTrip(plain, Seeded, &rng));
        EXPECT_EQ(plain, RoundTrip(plain, nullptr, nullptr));
    }
}

// The first byte is never coded as a difference from a byte before the text.
TEST(TextCodec, FirstByteIsNeverADifference)
{
    for (int b = 0x20; b < 256; ++b) {
        unsigned char plain[2] = {(unsigned char)b, (unsigned char)(b + 1)};
        unsigned char coded[4];
        size_t n = TextCodec_EncodeV0(plain, 2, coded, AlwaysFire, nullptr);
        ASSERT_GE(n, 1u);
        EXPECT_GE(TextCodec_T0[coded[0]], 20) << b;   // a literal or a fixed byte
    }
}

TEST(TextCodec, ControlBytesTakeOneValueEach)
{
    const char plain[] = "\x00\x1b\x1c\x0a\x0a\x00\x1b";
    char coded[14];
    ASSERT_EQ(7, Basekit_TextEncode(coded, plain, 7));
    const int expected[7] = {0, 1, 2, 3, 3, 0, 1};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(expected[i], TextCodec_T0[(unsigned char)coded[i]]);
}

TEST(TextCodec, ExportsRoundTripAndRefuse)
{
    char sentinel[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(0, Basekit_TextEncode(sentinel, "abc", 0));
    EXPECT_EQ('#', sentinel[0]);
    EXPECT_EQ(0, Basekit_TextDecode(sentinel, "abc", 0));
    EXPECT_EQ('#', sentinel[0]);

    std::mt19937 rng(99);
    for (int i = 0; i < 50; ++i) {
        std::string plain(1 + rng() % 2000, ' ');
        for (char &c : plain) c = (char)(rng() % 6 == 0 ? rng() : 'a' + rng() % 3);
        std::vector<char> coded(2 * plain.size());
        int n = Basekit_TextEncode(coded.data(), plain.data(), (int)plain.size());
        ASSERT_GT(n, 0);
        std::vector<char> back((size_t)n * 86);
        ASSERT_EQ((int)plain.size(), Basekit_TextDecode(back.data(), coded.data(), n));
        EXPECT_EQ(plain, std::string(back.data(), plain.size()));
    }
    Bytes damaged = Code({'a', 15, 9, 9});
    char out[300];
    EXPECT_EQ(0, Basekit_TextDecode(out, reinterpret_cast<const char *>(damaged.data()),
                                    (int)damaged.size()));
}

} // namespace
