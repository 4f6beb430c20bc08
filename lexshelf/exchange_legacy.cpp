// Readers of the two older exchange formats.  Every length is checked against the bytes that are
// really there; a damaged file gives no entry at all.  Reading stays within the file: no page is
// read twice, and no more entries than the import takes are kept.
#include <string.h>
#include "exchange_int.h"
#include "lexshelf.h"

namespace {

// A bounds-checked view of a byte range.
struct Cursor {
    const BYTE *data;
    size_t size;
    bool Has(size_t at, size_t n) const { return at <= size && n <= size - at; }
    unsigned U8(size_t at) const { return data[at]; }
    unsigned U16(size_t at) const { return data[at] | (data[at + 1] << 8); }
    DWORD U32(size_t at) const { return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) | ((DWORD)data[at + 3] << 24); }
    std::string Text(size_t at, size_t n) const { return std::string((const char *)data + at, n); }
};

// The records of one bucket's joined area; false when one is damaged.  Entries beyond the import's
// limit are not kept.
bool ReadBucketRecords(const Cursor &area, std::vector<ShelfImportEntry> *out) {
    size_t at = 0;
    while (area.Has(at, 2) && out->size() < LEXSHELF_IMPORT_LIMIT) {
        unsigned total = area.U16(at);
        if (total == 0)
            break;
        if (total < 6 || !area.Has(at, total))
            return false;
        unsigned hw = area.U8(at + 4), second = area.U8(at + 5);
        if (6u + hw + second > total)
            return false;
        ShelfImportEntry e;
        e.headword = area.Text(at + 6, hw);
        e.second = area.Text(at + 6 + hw, second);
        e.text = area.Text(at + 6 + hw + second, total - 6 - hw - second);
        out->push_back(e);
        at += total;
    }
    return true;
}

bool ReadExchange(const Cursor &file, std::vector<ShelfImportEntry> *out) {
    if (!file.Has(0, SHELF_EXCHANGE_HEADER) ||
        memcmp(file.data + 32, SHELF_EXCHANGE_SIGNATURE, strlen(SHELF_EXCHANGE_SIGNATURE)) != 0)
        return false;
    DWORD table = file.U32(0), base = file.U32(4);
    unsigned lo1 = file.U8(18), hi1 = file.U8(19), lo2 = file.U8(20), hi2 = file.U8(21);
    if (table != SHELF_EXCHANGE_HEADER || lo1 > hi1 || lo2 > hi2)
        return false;
    size_t buckets = (size_t)(hi1 - lo1 + 1) * (hi2 - lo2 + 1);
    if (base < table || base - table < buckets * 2 || !file.Has(table, buckets * 2))
        return false;
    size_t pagesInFile = file.size / SHELF_EXCHANGE_PAGE + 1;
    // Every page belongs to one chain and comes once in it: a page reached again (from this bucket
    // or another) is a damaged file, so the whole read touches each page of the file at most once.
    std::vector<bool> seen(0x10000, false);
    for (size_t b = 0; b < buckets && out->size() < LEXSHELF_IMPORT_LIMIT; b++) {
        unsigned first = file.U16(table + 2 * b);
        if (first == 0)
            continue;
        std::string joined;
        size_t pages = 0;
        for (unsigned page = first; page != 0xFFFF;) {
            // A chain longer than its first page number, or than the file, is damaged.
            if (page == 0 || ++pages > first || pages > pagesInFile || seen[page])
                return false;
            seen[page] = true;
            size_t at = (size_t)page * SHELF_EXCHANGE_PAGE + base - SHELF_EXCHANGE_PAGE;
            if (!file.Has(at, SHELF_EXCHANGE_PAGE_HEAD + SHELF_EXCHANGE_AREA))
                return false;
            joined += file.Text(at + SHELF_EXCHANGE_PAGE_HEAD, SHELF_EXCHANGE_AREA);
            page = file.U16(at + 5);
        }
        Cursor area = {(const BYTE *)joined.data(), joined.size()};
        if (!ReadBucketRecords(area, out))
            return false;
    }
    return true;
}

bool ReadV3(const Cursor &file, std::vector<ShelfImportEntry> *out) {
    if (!file.Has(0, SHELF_V3_HEADER) || memcmp(file.data, SHELF_V3_SIGNATURE, 8) != 0)
        return false;
    size_t at = SHELF_V3_HEADER;
    while (file.Has(at, SHELF_V3_HEAD) && out->size() < LEXSHELF_IMPORT_LIMIT) {
        unsigned total = file.U16(at);
        bool deleted = file.U8(at + 2) != 0;
        unsigned hw = file.U8(at + 3), second = file.U8(at + 4), third = file.U16(at + 5), text = file.U16(at + 7);
        if (total < SHELF_V3_HEAD || !file.Has(at, total))
            return false;
        if (!deleted) {
            if ((size_t)SHELF_V3_HEAD + hw + second + third + text > total)
                return false;
            size_t body = at + SHELF_V3_HEAD;
            ShelfImportEntry e;
            e.headword = file.Text(body, hw);
            e.second = file.Text(body + hw, second);
            e.third = file.Text(body + hw + second, third);
            e.text = file.Text(body + hw + second + third, text);
            out->push_back(e);
        }
        at += total;
    }
    return true;
}

}  // namespace

bool Shelf_ReadExchangeFile(const BYTE *data, size_t size, std::vector<ShelfImportEntry> *out) {
    out->clear();
    Cursor file = {data, data ? size : 0};
    if (ReadExchange(file, out))
        return true;
    out->clear();
    return false;
}

bool Shelf_ReadV3File(const BYTE *data, size_t size, std::vector<ShelfImportEntry> *out) {
    out->clear();
    Cursor file = {data, data ? size : 0};
    if (ReadV3(file, out))
        return true;
    out->clear();
    return false;
}
