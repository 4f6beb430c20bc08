// The bytes of the converted book: entry texts, the forward index as a tree of 2048-byte blocks
// with its root first, the directory, and the CATALOGS file that names the book.
#include <stdint.h>
#include <algorithm>
#include "idxconvert.h"
#include "idxconvert_int.h"

namespace {

const uint32_t kBlock = 2048;
const size_t kBlockHead = 3;  // flag, record count

std::string Be16(uint32_t v) { return std::string{(char)(v >> 8), (char)v}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
// A position as index records hold it: u32 block (from 1), u16 offset.
std::string IndexPosition(uint32_t pos) { return Be32(pos / kBlock + 1) + Be16(pos % kBlock); }

// The order of keys for an index compared without case: ASCII letters folded, double-byte
// characters as they are.
std::string Folded(const std::string &sjis) {
    std::string out = sjis;
    for (size_t i = 0; i < out.size(); i++) {
        unsigned char c = (unsigned char)out[i];
        if (Idx_IsLead(c))
            i++;
        else if (c >= 'a' && c <= 'z')
            out[i] = (char)(c - 'a' + 'A');
    }
    return out;
}

struct Record {
    std::string bytes;  // the record as it stands in its block
    std::string key;    // book text of its key
    uint32_t child = 0; // inner records: index of the child block in the level below
};

struct Block {
    std::vector<Record> records;
    size_t used = kBlockHead;
};

// Packs records into blocks in order.
std::vector<Block> Pack(const std::vector<Record> &records) {
    std::vector<Block> blocks(1);
    for (const Record &r : records) {
        if (blocks.back().used + r.bytes.size() > kBlock) blocks.emplace_back();
        blocks.back().records.push_back(r);
        blocks.back().used += r.bytes.size();
    }
    return blocks;
}

std::string KeyField(const std::string &key) { return std::string(1, (char)key.size()) + key; }

// The index blocks from the first block number on, root first, each level after the one above it
// (so a child's number is always above its parent's); *count is the number of blocks.
std::string IndexBlocks(std::vector<Record> leaves, uint32_t first, uint32_t *count) {
    std::vector<std::vector<Block>> levels;  // leaves first
    levels.push_back(Pack(leaves));
    while (levels.back().size() > 1) {
        std::vector<Record> up;
        const std::vector<Block> &below = levels.back();
        for (size_t i = 0; i < below.size(); i++) {
            Record r;
            r.key = below[i].records.back().key;  // the highest key of the child's subtree
            r.child = (uint32_t)i;
            r.bytes = KeyField(r.key) + Be32(0);  // the child's number is set below
            up.push_back(r);
        }
        levels.push_back(Pack(up));
    }
    // Number the blocks from the root down.
    std::vector<uint32_t> levelFirst(levels.size());
    uint32_t next = first;
    for (size_t l = levels.size(); l-- > 0;) {
        levelFirst[l] = next;
        next += (uint32_t)levels[l].size();
    }
    *count = next - first;
    std::string out;
    for (size_t l = levels.size(); l-- > 0;) {
        for (const Block &b : levels[l]) {
            std::string block;
            block += (char)(l == 0 ? 0x80 : 0x00);  // leaf, key lengths in bytes
            block += Be16((uint32_t)b.records.size());
            for (const Record &r : b.records)
                block += l == 0 ? r.bytes : KeyField(r.key) + Be32(levelFirst[l - 1] + r.child);
            block.resize(kBlock, '\0');
            out += block;
        }
    }
    return out;
}

}  // namespace

std::string Idx_BookFile(const IdxBook &book) {
    // Entry texts from block 2: keyword start, the headword and a line break, the text, and two
    // bytes that the next keyword start cuts off.
    std::string text;
    std::vector<Record> leaves;
    std::vector<std::string> order;
    for (const IdxEntry &e : book.entries) {
        uint32_t textPos = kBlock + (uint32_t)text.size();
        text += std::string("\x1F\x41\x01\x00", 4);
        uint32_t headPos = kBlock + (uint32_t)text.size();
        text += Idx_ToBookText(e.headword, IDXCONVERT_MAX_TEXT, false) + "\x1F\x0A";
        text += Idx_ToBookText(e.text, IDXCONVERT_MAX_TEXT, true);
        text += "\x1F\x03";
        Record r;
        r.key = Idx_ToBookText(e.headword, IDXCONVERT_MAX_KEY, false);
        r.bytes = KeyField(r.key) + IndexPosition(headPos) + IndexPosition(textPos);
        leaves.push_back(r);
        order.push_back(Folded(e.headword));
    }
    text += std::string("\x1F\x41\x01\x00", 4);
    text.resize((text.size() + kBlock - 1) / kBlock * kBlock, '\0');

    std::vector<size_t> sorted(leaves.size());
    for (size_t i = 0; i < sorted.size(); i++) sorted[i] = i;
    std::stable_sort(sorted.begin(), sorted.end(), [&](size_t a, size_t b) { return order[a] < order[b]; });
    std::vector<Record> inOrder;
    for (size_t i : sorted) inOrder.push_back(leaves[i]);

    uint32_t first = 2 + (uint32_t)(text.size() / kBlock), count = 0;
    std::string index = IndexBlocks(inOrder, first, &count);

    std::string directory(kBlock, '\0');
    directory.replace(0, 2, Be16(1));
    std::string entry = std::string(1, '\x91') + '\0' + Be32(first) + Be32(count);
    directory.replace(16, entry.size(), entry);
    return directory + text + index;
}

std::string Idx_CatalogsFile(const IdxBook &book) {
    std::string head = Be16(1) + Be16(2);
    head.resize(16, '\0');
    std::string entry = std::string("\x20\x00", 2);
    std::string title = Idx_ToBookText(book.name, 40, false);
    title.resize(80, '\0');
    entry += title;
    entry += "BOOK    ";
    entry += Be32(0);
    entry += Be16(1);  // the index page: the directory in block 1
    entry += Be32(0);
    entry += std::string(64, ' ');  // no external-character fonts
    return head + entry;
}
