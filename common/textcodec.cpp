// The text codec shared by Basekit and Lexidata (compiled into both; neither links the other).
// Version-0 byte code: see textcodec.h and docs/formats/dictionary-file.md.
#include "textcodec.h"

#include <atomic>

// Stored byte i stands for the value TextCodec_T0[i].  Both tables are permutations of 0..255;
// stored dictionary files depend on them, so they never change.
const unsigned char TextCodec_T0[256] = {
    0xAA, 0xC4, 0xE2, 0x8C, 0x63, 0xA4, 0x24, 0x42, 0xC7, 0x30, 0x9F, 0x07, 0x98, 0xCE, 0x95, 0x72,
    0x35, 0x44, 0x16, 0x5E, 0xF8, 0xB8, 0xF9, 0x8F, 0xFD, 0x48, 0xD0, 0x4A, 0x12, 0xB6, 0x92, 0x09,
    0xBB, 0x3E, 0xCC, 0x7D, 0x36, 0xD3, 0x97, 0xB9, 0x47, 0x52, 0x86, 0xF4, 0x6E, 0xF6, 0xA2, 0xC0,
    0x58, 0x7E, 0x9D, 0x85, 0x88, 0x6B, 0xE6, 0x80, 0x0E, 0xBD, 0xF3, 0x3A, 0x87, 0x11, 0xE7, 0x74,
    0xED, 0x9B, 0x1C, 0x2E, 0x34, 0x0C, 0xE8, 0x06, 0xC5, 0xF0, 0x38, 0x5D, 0x39, 0x17, 0xBF, 0xD5,
    0x2D, 0xF2, 0x75, 0x20, 0x00, 0x43, 0x19, 0x56, 0x53, 0x94, 0x08, 0xC2, 0x99, 0x2B, 0x7F, 0x13,
    0x59, 0x03, 0x26, 0xDA, 0x7A, 0x68, 0x3F, 0x01, 0xBA, 0x4D, 0xC8, 0xD7, 0xFA, 0xCB, 0x9E, 0x6A,
    0x78, 0x51, 0x04, 0xBC, 0xA3, 0xE5, 0x14, 0x1B, 0x55, 0x91, 0x79, 0x1E, 0x28, 0xEF, 0xFB, 0xEB,
    0x60, 0xE9, 0x64, 0xD6, 0x77, 0xC6, 0x0B, 0x9A, 0xCA, 0xAD, 0xD2, 0xA6, 0x31, 0x4E, 0x27, 0x10,
    0xD4, 0xDD, 0x65, 0x25, 0x05, 0x2C, 0x3D, 0xDB, 0xFC, 0xE3, 0x0A, 0xB4, 0x46, 0x5B, 0x76, 0x89,
    0x49, 0xB2, 0x5A, 0xCF, 0xAC, 0x6F, 0x83, 0x21, 0xEC, 0x61, 0x1A, 0xFF, 0x29, 0x1D, 0xA7, 0xC3,
    0xF5, 0xEA, 0x70, 0xD1, 0xE0, 0x90, 0xD8, 0x69, 0x41, 0x66, 0x4F, 0x4B, 0x67, 0x82, 0xA5, 0xCD,
    0x96, 0x81, 0x18, 0x3C, 0x0F, 0x0D, 0xB1, 0xDF, 0xB3, 0x37, 0xC1, 0xB5, 0x93, 0x6D, 0xB0, 0x23,
    0x33, 0xAF, 0xA0, 0x8A, 0x2F, 0x8B, 0xE1, 0x3B, 0x57, 0x4C, 0x22, 0x7C, 0xA1, 0x2A, 0x5C, 0x71,
    0xA9, 0x45, 0xC9, 0xFE, 0x15, 0x54, 0xF1, 0x8D, 0x6C, 0x32, 0xBE, 0xEE, 0xDE, 0x1F, 0xA8, 0x8E,
    0xAE, 0x62, 0x73, 0xD9, 0x02, 0x9C, 0xF7, 0xE4, 0x5F, 0x40, 0xDC, 0x50, 0x84, 0xB7, 0x7B, 0xAB,
};

const unsigned char TextCodec_T1[256] = {
    0x3A, 0x5B, 0x1F, 0x67, 0xF8, 0x11, 0x6D, 0x78, 0x80, 0xFE, 0x13, 0xF5, 0x01, 0x3B, 0x4B, 0x5C,
    0x72, 0x0E, 0x7B, 0xC6, 0x9E, 0xEC, 0x70, 0x6A, 0x1A, 0x91, 0x74, 0x00, 0xB9, 0xBE, 0xAA, 0x99,
    0x8F, 0xFA, 0x4E, 0xB5, 0x37, 0x98, 0x3F, 0x53, 0x19, 0xCF, 0x26, 0xAF, 0xE2, 0x2E, 0x7C, 0xD1,
    0x44, 0x38, 0xDB, 0x47, 0xF2, 0x6F, 0x1D, 0x57, 0x41, 0xE3, 0xE6, 0xB1, 0x4C, 0xA1, 0x24, 0xEB,
    0x43, 0xE1, 0x49, 0x68, 0xB4, 0xFC, 0x81, 0x0A, 0x1E, 0x56, 0x27, 0x2A, 0xF7, 0xBF, 0xA8, 0x8B,
    0xA4, 0x05, 0x2F, 0x79, 0x34, 0x83, 0x6C, 0x8D, 0xCB, 0x5D, 0x35, 0xA6, 0x69, 0x18, 0x40, 0xEF,
    0xFB, 0xE5, 0xD3, 0xA3, 0x8A, 0xA7, 0xB6, 0x77, 0x73, 0x90, 0xD5, 0x7D, 0xC5, 0xBC, 0xF6, 0x28,
    0x88, 0x16, 0xCD, 0x95, 0x94, 0xED, 0x32, 0x03, 0xB2, 0xDD, 0xB8, 0x52, 0x96, 0x2B, 0xD4, 0x6E,
    0x1B, 0x60, 0xCA, 0xF1, 0x4F, 0xF9, 0x61, 0x48, 0x02, 0x8C, 0x14, 0xAD, 0x97, 0xAC, 0x31, 0x0C,
    0xAB, 0x22, 0xBD, 0x7A, 0xFF, 0xC3, 0x75, 0xC4, 0xC9, 0xBA, 0xD0, 0xD9, 0xC8, 0xC7, 0xEE, 0xE7,
    0xCE, 0x63, 0xCC, 0x0B, 0x93, 0x15, 0xB0, 0x59, 0x17, 0x1C, 0x9B, 0x12, 0x6B, 0x54, 0x66, 0x06,
    0xD8, 0xF3, 0x36, 0x71, 0xDF, 0xA2, 0x86, 0xD2, 0xF0, 0x30, 0xDA, 0x21, 0x4A, 0xB3, 0x10, 0x85,
    0xDE, 0x0D, 0x51, 0x64, 0xC2, 0x20, 0x9D, 0xE9, 0xFD, 0xBB, 0x0F, 0x39, 0x7E, 0xA5, 0xDC, 0x23,
    0x07, 0x42, 0x76, 0xA9, 0x89, 0x2D, 0x58, 0x5F, 0x46, 0xD7, 0x3E, 0x82, 0xC1, 0x65, 0x09, 0x84,
    0x55, 0x5A, 0x3C, 0x04, 0x08, 0x29, 0xC0, 0x62, 0x33, 0x8E, 0xE8, 0x7F, 0x3D, 0x50, 0xEA, 0x92,
    0x4D, 0x25, 0xAE, 0xE4, 0x9C, 0x2C, 0x45, 0xD6, 0x9A, 0xE0, 0xF4, 0x9F, 0xA0, 0x87, 0xB7, 0x5E,
};

namespace {

// The inverse of a permutation, built once.
struct InverseTable {
    unsigned char v[256];
    explicit InverseTable(const unsigned char *table)
    {
        for (int i = 0; i < 256; ++i) v[table[i]] = (unsigned char)i;
    }
};

const InverseTable &InverseT0()
{
    static const InverseTable inv(TextCodec_T0);
    return inv;
}

const InverseTable &InverseT1()
{
    static const InverseTable inv(TextCodec_T1);
    return inv;
}

// Codes of the version-0 byte code; a code of 30 or more is a literal byte.
enum {
    kCodeNul = 0, kCodeEsc = 1, kCodeFs = 2, kCodeLf = 3, kCodeLiteral = 4,
    kCodeRepeat1 = 5, kCodeRepeat2 = 6, kCodeRepeat3 = 7, kCodeTwoBack = 8,
    kCodeMinus3 = 9, kCodeMinus2 = 10, kCodeMinus1 = 11,
    kCodePlus1 = 12, kCodePlus2 = 13, kCodePlus3 = 14,
    kCodeCopy = 15, kCodeCopyNear1 = 16, kCodeCopyNear2 = 17, kCodeCopyLonger = 18,
    kCodeCopySum = 19,
    kCodeFixedFirst = 20, // 20..26: the bytes of kFixedBytes
    kCodeRepeat1b = 27, kCodeCr = 28, kCodeBell = 29,
    kFirstLiteral = 30
};

const unsigned char kFixedBytes[7] = {0x65, 0x61, 0x79, 0x81, 0xA2, 0xC1, 0xD3};

// Output side of the decoder: every write and look-back is checked against the room.
struct DecodeOut {
    unsigned char *buf;
    size_t cap;
    size_t pos;
    bool bad;

    void Put(unsigned char b)
    {
        if (bad || pos >= cap) { bad = true; return; }
        buf[pos++] = b;
    }
    // The byte `back` positions behind the cursor (1 = the previous byte).
    unsigned char Back(size_t back)
    {
        if (bad || back == 0 || back > pos) { bad = true; return 0; }
        return buf[pos - back];
    }
    void Copy(size_t count, size_t distance)
    {
        if (bad || distance == 0 || distance > pos || count > cap - pos) { bad = true; return; }
        for (size_t j = 0; j < count; ++j, ++pos) buf[pos] = buf[pos - distance]; // may overlap
    }
};

// Input side of the decoder: operands past the end mark the input damaged.
struct DecodeIn {
    const unsigned char *buf;
    size_t len;
    size_t pos;
    bool bad;

    unsigned Next()
    {
        if (bad || pos >= len) { bad = true; return 0; }
        return TextCodec_T0[buf[pos++]];
    }
};

} // namespace

unsigned char TextCodec_T0Inverse(unsigned char value) { return InverseT0().v[value]; }
unsigned char TextCodec_T1Inverse(unsigned char value) { return InverseT1().v[value]; }

long TextCodec_DecodeV0(const unsigned char *in, size_t inLen, unsigned char *out, size_t outCap)
{
    DecodeIn src = {in, in ? inLen : 0, 0, false};
    DecodeOut dst = {out, out ? outCap : 0, 0, false};
    while (src.pos < src.len && !src.bad && !dst.bad) {
        unsigned code = src.Next();
        if (code >= kFirstLiteral) {
            dst.Put((unsigned char)code);
            continue;
        }
        switch (code) {
        case kCodeNul: dst.Put(0x00); break;
        case kCodeEsc: dst.Put(0x1B); break;
        case kCodeFs: dst.Put(0x1C); break;
        case kCodeLf: dst.Put(0x0A); break;
        case kCodeLiteral: {
            unsigned v = src.Next();
            if (!src.bad) dst.Put((unsigned char)v);
            break;
        }
        case kCodeRepeat1:
        case kCodeRepeat1b:
        case kCodeRepeat2:
        case kCodeRepeat3: {
            int times = code == kCodeRepeat2 ? 2 : code == kCodeRepeat3 ? 3 : 1;
            unsigned char b = dst.Back(1);
            for (int t = 0; t < times; ++t) dst.Put(b);
            break;
        }
        case kCodeTwoBack: dst.Put(dst.Back(2)); break;
        case kCodeMinus3:
        case kCodeMinus2:
        case kCodeMinus1:
        case kCodePlus1:
        case kCodePlus2:
        case kCodePlus3: {
            static const int kDelta[6] = {-3, -2, -1, 1, 2, 3};
            unsigned char b = dst.Back(1);
            dst.Put((unsigned char)(b + kDelta[code - kCodeMinus3]));
            break;
        }
        case kCodeCopy:
        case kCodeCopyNear1:
        case kCodeCopyNear2:
        case kCodeCopyLonger: {
            size_t count = src.Next();
            size_t distance = src.Next();
            if (src.bad) break;
            if (code == kCodeCopyLonger) count += 1;
            size_t nearer = code == kCodeCopyNear1 ? 1 : code == kCodeCopyNear2 ? 2 : 0;
            if (distance <= nearer) { dst.bad = true; break; }
            dst.Copy(count, distance - nearer);
            break;
        }
        case kCodeCopySum: {
            size_t a = src.Next();
            size_t b = src.Next();
            size_t count = src.Next();
            if (!src.bad) dst.Copy(count, a + b);
            break;
        }
        case kCodeCr: dst.Put(0x0D); break;
        case kCodeBell: dst.Put(0x07); break;
        default: dst.Put(kFixedBytes[code - kCodeFixedFirst]); break; // 20..26
        }
    }
    if (src.bad || dst.bad) return -1;
    return (long)dst.pos;
}

namespace {

// The encoder's own generator when the caller gives none: xorshift32, seeded anew per call from a
// process-wide counter so that calls on different threads never share a state.
std::atomic<uint32_t> g_encodeSeed{0x9E3779B9u};

uint32_t OwnRandom(void *context)
{
    uint32_t *s = static_cast<uint32_t *>(context);
    uint32_t x = *s;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return *s = x;
}

struct Encoder {
    const unsigned char *in;
    size_t len;
    unsigned char *out;
    size_t outPos;
    TextCodecRandom random;
    void *context;

    // True with the chance m/n, drawn anew on every call.
    bool Chance(unsigned m, unsigned n)
    {
        uint64_t draw = random(context);
        return ((draw * n) >> 32) < m;
    }
    void Emit(unsigned value) { out[outPos++] = TextCodec_T0Inverse((unsigned char)value); }

    // The longest earlier run equal to the bytes from pos on: the window is the previous
    // min(pos, 250) bytes, a run never reaches pos itself, and at most 250 bytes are compared.
    // The farthest start wins among equal lengths.  Returns the length (0 when below 4).
    size_t BackMatch(size_t pos, size_t *distance) const
    {
        size_t window = pos < 250 ? pos : 250;
        size_t best = 0;
        for (size_t start = pos - window; start < pos; ++start) {
            if (in[start] != in[pos]) continue;
            size_t limit = len - pos;
            if (limit > 250) limit = 250;
            if (limit > pos - start) limit = pos - start;
            size_t n = 0;
            while (n < limit && in[start + n] == in[pos + n]) ++n;
            if (n > best) {
                best = n;
                *distance = pos - start;
            }
        }
        return best >= 4 ? best : 0;
    }

    // Emits the code for the byte at pos; returns how many input bytes it covered.
    size_t Step(size_t pos)
    {
        const unsigned char c = in[pos];
        const bool hasPrev = pos >= 1;
        const unsigned char prev = hasPrev ? in[pos - 1] : 0;
        const bool hasNext = pos + 1 < len;

        if (c == 0x00) { Emit(kCodeNul); return 1; }
        if (c == 0x1B) { Emit(kCodeEsc); return 1; }
        if (c == 0x1C) { Emit(kCodeFs); return 1; }
        if (c == 0x0A) { Emit(kCodeLf); return 1; }
        if (c < 0x20) { Emit(kCodeLiteral); Emit(c); return 1; } // also CR and BEL
        if (hasPrev && c == prev && Chance(1, 2)) { Emit(kCodeRepeat1); return 1; }
        if (hasPrev && hasNext && prev == c && in[pos + 1] == c) { Emit(kCodeRepeat2); return 2; }
        if (hasPrev && pos + 3 <= len && prev == c && in[pos + 1] == c && in[pos + 2] == c) {
            Emit(kCodeRepeat3);
            return 3;
        }
        if (pos >= 2 && c == in[pos - 2] && Chance(1, 3)) { Emit(kCodeTwoBack); return 1; }
        // The difference codes need a previous byte: the decoder has none before the first.
        if (hasPrev) {
            if (prev == (unsigned char)(c + 3) && Chance(1, 4)) { Emit(kCodeMinus3); return 1; }
            if (prev == (unsigned char)(c + 2) && Chance(1, 5)) { Emit(kCodeMinus2); return 1; }
            if (prev == (unsigned char)(c + 1) && Chance(1, 3)) { Emit(kCodeMinus1); return 1; }
            if (c == (unsigned char)(prev + 1) && Chance(1, 4)) { Emit(kCodePlus1); return 1; }
            if (c == (unsigned char)(prev + 2) && Chance(1, 5)) { Emit(kCodePlus2); return 1; }
            if (c == (unsigned char)(prev + 3) && Chance(1, 3)) { Emit(kCodePlus3); return 1; }
        }
        if (pos >= 4) {
            bool searched = false;
            size_t length = 0, distance = 0;
            for (unsigned code = kCodeCopy; code <= kCodeCopyLonger; ++code) {
                if (!Chance(1, 4)) continue;
                if (!searched) {
                    length = BackMatch(pos, &distance);
                    searched = true;
                }
                if (length == 0) break;
                Emit(code);
                switch (code) {
                case kCodeCopy: Emit((unsigned)length); Emit((unsigned)distance); break;
                case kCodeCopyNear1: Emit((unsigned)length); Emit((unsigned)distance + 1); break;
                case kCodeCopyNear2: Emit((unsigned)length); Emit((unsigned)distance + 2); break;
                default: Emit((unsigned)length - 1); Emit((unsigned)distance); break;
                }
                return length;
            }
        }
        static const unsigned kChanceOf[7][2] = {{1, 3}, {2, 5}, {3, 7}, {2, 5}, {1, 3}, {1, 4}, {1, 3}};
        for (unsigned k = 0; k < 7; ++k) {
            if (c == kFixedBytes[k] && Chance(kChanceOf[k][0], kChanceOf[k][1])) {
                Emit(kCodeFixedFirst + k);
                return 1;
            }
        }
        if (hasPrev && c == prev && Chance(1, 5)) { Emit(kCodeRepeat1b); return 1; }
        Emit(c); // a literal: every byte from 0x20 on is at least kFirstLiteral
        return 1;
    }
};

} // namespace

size_t TextCodec_EncodeV0(const unsigned char *in, size_t inLen, unsigned char *out,
                          TextCodecRandom random, void *context)
{
    if (!in || !out || inLen == 0) return 0;
    uint32_t ownState = 0;
    if (!random) {
        ownState = g_encodeSeed.fetch_add(0x6D2B79F5u) | 1u;
        random = OwnRandom;
        context = &ownState;
    }
    Encoder enc = {in, inLen, out, 0, random, context};
    for (size_t pos = 0; pos < inLen;) pos += enc.Step(pos);
    return enc.outPos;
}
