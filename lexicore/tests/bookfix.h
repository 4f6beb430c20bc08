// Writer of test books, built from docs/formats/book.md (not from the reader): a directory in block
// 1, entry texts and media from block 2, then a forward index of one inner block over two leaves
// (the second one grouped) and a backward index of one leaf whose key lengths count characters.
#ifndef LEXICORE_TESTS_BOOKFIX_H
#define LEXICORE_TESTS_BOOKFIX_H

#include <stdint.h>
#include <algorithm>
#include <string>
#include <vector>

namespace bookfix {

const uint32_t kBlock = 2048;

// Book text of an ASCII text: letters, digits and space as their JIS forms.
inline std::string J(const std::string &ascii) {
    std::string r;
    for (char c : ascii) {
        if (c == ' ') {
            r += "\x21\x21";
        } else {
            r += '\x23';
            r += c;
        }
    }
    return r;
}

inline std::string Be16(uint32_t v) { return std::string{(char)(v >> 8), (char)v}; }
inline std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
// Index form of a position: u32 block, u16 offset.
inline std::string IndexPos(uint32_t pos) { return Be32(pos / kBlock + 1) + Be16(pos % kBlock); }
inline std::string BcdDigits(uint32_t v, int bytes) {
    std::string r(bytes, 0);
    for (int i = bytes - 1; i >= 0; i--) {
        r[i] = (char)((v % 10) | ((v / 10 % 10) << 4));
        v /= 100;
    }
    return r;
}
// Reference form of a position: BCD block (4 bytes) and offset (2 bytes).
inline std::string BcdPos(uint32_t pos) { return BcdDigits(pos / kBlock + 1, 4) + BcdDigits(pos % kBlock, 2); }

struct Entry {
    std::string key;   // ASCII; empty: not indexed, the text is the body alone
    std::string bookKey;  // the key's book text when it is not J(key) (key then only orders)
    std::string body;  // book text
    bool grouped = false;  // shares the leaf group of the entry before it (same key)
};

struct Layout {
    std::vector<uint32_t> textPos, headPos;  // per entry
    uint32_t mediaPos = 0;                    // where the media bytes start
    uint32_t forwardStart = 0, forwardCount = 0, backwardStart = 0;
};

inline std::string Upper(std::string s) {
    for (char &c : s) c = (char)toupper((unsigned char)c);
    return s;
}
inline std::string Reversed(std::string s) {
    std::reverse(s.begin(), s.end());
    return s;
}

inline std::string K(const Entry &e) { return e.bookKey.empty() ? J(e.key) : e.bookKey; }
// Book text with its two-byte characters in reverse order.
inline std::string ReversedUnits(const std::string &t) {
    std::string r;
    for (size_t i = t.size(); i >= 2; i -= 2) r += t.substr(i - 2, 2);
    return r;
}

// The whole file.  Entries with keys must come in the forward index's order (case ignored).
inline std::string Build(const std::vector<Entry> &entries, const std::string &media, Layout *layout) {
    std::string text;
    for (const Entry &e : entries) {
        layout->textPos.push_back(kBlock + (uint32_t)text.size());
        text += std::string("\x1F\x41\x01\x00", 4);
        layout->headPos.push_back(kBlock + (uint32_t)text.size());
        if (!e.key.empty()) text += K(e) + "\x1F\x61\x1F\x0A";
        text += e.body;
        text += "\x1F\x03";  // the two bytes before the next entry, never part of a text
    }
    text += std::string("\x1F\x41\x01\x00", 4);
    if (text.size() % 2) text += '\0';
    layout->mediaPos = kBlock + (uint32_t)text.size();
    text += media;
    text.resize((text.size() + kBlock - 1) / kBlock * kBlock + (text.empty() ? kBlock : 0), '\0');
    uint32_t textBlocks = (uint32_t)text.size() / kBlock;

    // Indexed entries, split into two leaves.
    std::vector<size_t> keyed;
    for (size_t i = 0; i < entries.size(); i++)
        if (!entries[i].key.empty()) keyed.push_back(i);
    size_t half = (keyed.size() + 1) / 2;
    while (half < keyed.size() && entries[keyed[half]].grouped) half++;
    auto positions = [&](size_t i) { return IndexPos(layout->headPos[i]) + IndexPos(layout->textPos[i]); };
    auto block = [](uint8_t flag, uint32_t count, const std::string &records) {
        std::string b;
        b += (char)flag;
        b += Be16(count);
        b += records;
        b.resize(kBlock, '\0');
        return b;
    };
    std::string leafA, leafB;
    uint32_t countA = 0, countB = 0;
    for (size_t k = 0; k < half; k++) {
        const Entry &e = entries[keyed[k]];
        leafA += (char)K(e).size() + K(e) + positions(keyed[k]);
        countA++;
    }
    for (size_t k = half; k < keyed.size();) {
        size_t n = 1;
        while (k + n < keyed.size() && entries[keyed[k + n]].grouped) n++;
        const Entry &e = entries[keyed[k]];
        if (n == 1) {
            leafB += '\xC0';
            leafB += (char)K(e).size() + K(e) + positions(keyed[k]);
        } else {
            leafB += '\x80';
            leafB += (char)n;
            leafB += (char)K(e).size() + K(e);
            for (size_t m = 0; m < n; m++) leafB += positions(keyed[k + m]);
        }
        countB++;
        k += n;
    }
    uint32_t inner = 2 + textBlocks;
    std::string innerRecs;
    std::string lastA = K(entries[keyed[half - 1]]), lastB = K(entries[keyed.back()]);
    innerRecs += (char)lastA.size() + lastA + Be32(inner + 1);
    innerRecs += (char)lastB.size() + lastB + Be32(inner + 2);

    // Backward index: reversed keys in their own order, lengths in characters.
    std::vector<size_t> back = keyed;
    std::stable_sort(back.begin(), back.end(), [&](size_t a, size_t b) {
        return Upper(Reversed(entries[a].key)) < Upper(Reversed(entries[b].key));
    });
    std::string backRecs;
    for (size_t i : back) {
        std::string rk = ReversedUnits(K(entries[i]));
        backRecs += (char)(rk.size() / 2) + rk + positions(i);
    }

    std::string file(kBlock, '\0');
    file[1] = 2;
    std::string dir0 = std::string(1, '\x91') + '\0' + Be32(inner) + Be32(3);
    std::string dir1 = std::string(1, '\x71') + '\0' + Be32(inner + 3) + Be32(1);
    file.replace(16, dir0.size(), dir0);
    file.replace(32, dir1.size(), dir1);
    file += text;
    file += block(0x00, 2, innerRecs);
    file += block(0x80, countA, leafA);
    file += block(0x90, countB, leafB);
    file += block(0x81, (uint32_t)back.size(), backRecs);
    layout->forwardStart = inner;
    layout->forwardCount = 3;
    layout->backwardStart = inner + 3;
    return file;
}

// A gaiji font file of class (width, height, bytes, per block) with count glyphs from first code;
// byte j of glyph i is (i * 7 + j * 3 + 1) & 0xFF.
inline std::string Font(int bytes, int perBlock, uint16_t first, int count) {
    std::string f(kBlock, '\0');
    f[10] = (char)(first >> 8);
    f[11] = (char)first;
    f[12] = (char)(count >> 8);
    f[13] = (char)count;
    int blocks = (count + perBlock - 1) / perBlock;
    f.resize(kBlock + 1024 * blocks, '\0');
    for (int i = 0; i < count; i++)
        for (int j = 0; j < bytes; j++)
            f[kBlock + (i / perBlock) * 1024 + (i % perBlock) * bytes + j] = (char)((i * 7 + j * 3 + 1) & 0xFF);
    return f;
}
inline uint8_t GlyphByte(int i, int j) { return (uint8_t)((i * 7 + j * 3 + 1) & 0xFF); }

}  // namespace bookfix

#endif
