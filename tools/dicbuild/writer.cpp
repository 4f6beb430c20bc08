// Writer of static dictionary files.  The index is ordered by the language driver's comparer (the
// one the engine binary-searches with), equal headwords become one main entry with sub-entries, and
// the forward index gets the bucket directory of the driver's bucket procedure.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>
#include <algorithm>
#include <string>
#include "../../common/textcodec.h"
#include "lexicore.h"
#include "linguakeeper.h"
#include "dicbuild_int.h"

namespace {

struct Bytes {
    std::vector<uint8_t> b;
    uint32_t Pos() const { return (uint32_t)b.size(); }
    void U8(uint8_t v) { b.push_back(v); }
    void U16(uint16_t v) { U8((uint8_t)v); U8((uint8_t)(v >> 8)); }
    void U32(uint32_t v) { U16((uint16_t)v); U16((uint16_t)(v >> 16)); }
    void Raw(const std::string &s) { b.insert(b.end(), s.begin(), s.end()); }
    void Zeros(size_t n) { b.insert(b.end(), n, 0); }
    void Set32(uint32_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) b[at + i] = (uint8_t)(v >> (8 * i));
    }
};

// Version 1: length prefix, then the text (32 bytes or less) or its zlib stream, every byte
// written as the stored byte that the second substitution table maps onto it.
std::string Code(bool coded, const std::string &plain) {
    if (!coded || plain.empty()) return plain;
    std::string raw;
    size_t n = plain.size();
    if (n <= 255) {
        raw.push_back((char)n);
    } else {
        raw.push_back(0);
        raw.push_back((char)n);
        raw.push_back((char)(n >> 8));
        raw.push_back((char)(n >> 16));
    }
    if (n <= 32) {
        raw += plain;
    } else {
        uLongf room = compressBound((uLong)n);
        std::vector<Bytef> z(room);
        compress2(z.data(), &room, (const Bytef *)plain.data(), (uLong)n, 9);
        raw.append((const char *)z.data(), room);
    }
    for (char &c : raw) c = (char)TextCodec_T1Inverse((unsigned char)c);
    return raw;
}

uint32_t PutText(Bytes &f, bool coded, const std::string &text) {
    uint32_t at = f.Pos();
    std::string s = Code(coded, text);
    f.U8(1);
    f.U32((uint32_t)s.size());
    f.U32((uint32_t)text.size());
    f.U32(0);
    f.U32(0);
    f.Raw(s);
    return at;
}

struct Keyed {
    uint32_t entry;
    WORD k[3];
};

// The bucket directory of the forward index: 8-byte entries (first entry, count) per first-level
// bucket, and for buckets of 512 entries or more (single-byte languages) a second-level table by
// the third letter (below 10240 entries) or the third and fourth.  Written only when the sorted
// index keeps every bucket together; otherwise the engine searches the whole table.
bool Directory(const std::vector<Keyed> &keys, DWORD keySpace, bool twoLevels, Bytes &dir,
               std::vector<std::pair<uint32_t, std::vector<uint8_t>>> *second, DbResult *res) {
    DWORD alphabet = keySpace & 0xFFFF, space = keySpace >> 16;
    uint32_t n0 = 0;
    for (size_t i = 0; i < keys.size(); i++) {
        if (i && keys[i].k[0] < keys[i - 1].k[0]) {
            res->why = "the comparer's order splits a first-level bucket";
            return false;
        }
        n0 = std::max<uint32_t>(n0, keys[i].k[0] + 1u);
    }
    std::vector<uint32_t> first(n0 + 1, 0), count(n0 + 1, 0);
    for (const Keyed &k : keys) count[k.k[0]]++;
    uint32_t run = 0;
    for (uint32_t b = 0; b < n0; b++) {
        first[b] = run;
        run += count[b];
    }
    for (uint32_t b = 0; b < n0; b++) {
        dir.U32(first[b]);
        dir.U32(count[b]);
        if (count[b] < 512 || !twoLevels) continue;
        int which = count[b] < 10240 ? 1 : 2;
        uint32_t size = which == 1 ? alphabet : space;
        std::vector<uint32_t> f2(size, 0), c2(size, 0);
        for (uint32_t i = first[b]; i < first[b] + count[b]; i++) {
            WORD v = keys[i].k[which];
            if (v >= size || (i > first[b] && v < keys[i - 1].k[which])) {
                res->why = "the comparer's order splits a second-level bucket";
                return false;
            }
            c2[v]++;
        }
        std::vector<uint8_t> table;
        uint32_t r = first[b];
        for (uint32_t v = 0; v < size; v++) {
            uint32_t vals[2] = {r, c2[v]};
            for (uint32_t x : vals)
                for (int i = 0; i < 4; i++) table.push_back((uint8_t)(x >> (8 * i)));
            r += c2[v];
        }
        second->push_back({b, table});
        res->secondLevel++;
    }
    res->buckets = (long)n0;
    return true;
}

// The driver's key space (ordinal 7 of the driver library named for the language).
DWORD KeySpace(WORD language) {
    char key[128], file[MAX_PATH];
    snprintf(key, sizeof key, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\%04x", language);
    DWORD size = sizeof file, type = 0, result = 37u | (1369u << 16);
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return result;
    if (RegQueryValueExA(k, "FileName", nullptr, &type, (BYTE *)file, &size) == ERROR_SUCCESS && type == REG_SZ) {
        HMODULE m = LoadLibraryA(file);
        typedef DWORD(WINAPI * Proc)(void);
        Proc p = m ? (Proc)GetProcAddress(m, MAKEINTRESOURCEA(7)) : nullptr;
        if (p) result = p();
    }
    RegCloseKey(k);
    return result;
}

}  // namespace

bool Db_Write(const DbSource &src, const DbOptions &opt, const char *path, DbResult *res) {
    LinguakeeperDriverProcs procs;
    if (!Linguakeeper_GetDriverProcs(opt.language, 0, &procs) || !procs.compare || !procs.normalize) {
        res->why = "no driver for the language";
        return false;
    }
    LinguakeeperLangRecord lang;
    memset(&lang, 0, sizeof lang);
    lang.size = sizeof lang;
    Linguakeeper_GetLangInfo(opt.language, &lang);

    // Index order: the comparer over the headwords, stable so that a headword's definitions keep
    // their source order.
    std::vector<uint32_t> order(src.entries.size());
    for (uint32_t i = 0; i < order.size(); i++) order[i] = i;
    auto cmp = procs.compare;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return cmp(0, src.entries[a].head.c_str(), src.entries[b].head.c_str(), 0) < 0;
    });

    Bytes f;
    f.b.reserve(64u << 20);
    // Header.
    for (const char *m = "VLDICV40"; *m; m++) f.U8((uint8_t)*m);
    f.U32(0);
    f.U32(opt.fileId);
    f.U8(0);
    f.U32(opt.coded ? DICFLAG_ENCODED : 0);
    f.U8(1);  // index definitions
    f.U8(1);  // sub-dictionaries
    f.U8(opt.font.empty() ? 0 : 1);
    f.U16(opt.language);
    f.U16(opt.coded ? 1025 : 0);
    f.U8(2);
    f.U8(1);  // static
    f.U8(opt.charset);
    for (int i = 0; i < 100; i++) f.U16(i == 0 ? opt.language : i == 1 ? opt.target : 0);
    f.Zeros(8 + 145);
    // Font area, kept values.
    char face[32] = {0};
    snprintf(face, sizeof face, "%s", opt.font.c_str());
    f.b.insert(f.b.end(), face, face + 32);
    f.Zeros(512 - 32 + 16);
    // Index definition and sub-dictionary record (descriptors set below).
    f.U16(opt.language);
    f.U8(1);
    f.Zeros(29);
    uint32_t subAt = f.Pos();
    f.Zeros(40);

    // Text records in source order.
    std::vector<uint32_t> textPos(src.texts.size());
    for (size_t i = 0; i < src.texts.size(); i++) textPos[i] = PutText(f, opt.coded, src.texts[i]);

    // Index records in index order; equal headwords after the first are its sub-entries.
    std::vector<uint32_t> recPos;
    std::vector<uint32_t> kept;  // entry numbers in index order
    recPos.reserve(order.size());
    size_t mainAt = 0;
    for (size_t i = 0; i < order.size(); i++) {
        const DbEntry &e = src.entries[order[i]];
        std::string h = Code(opt.coded, e.head), s = Code(opt.coded, e.second);
        if (h.empty() || h.size() > 255 || s.size() > 255) {
            res->why.clear();
            continue;  // counted by the caller through records < entries
        }
        size_t pos = recPos.size();
        uint16_t back = 0;
        if (pos > 0 && pos - mainAt < 0xFFFF &&
            cmp(0, e.head.c_str(), src.entries[kept[mainAt]].head.c_str(), 0) == 0) {
            back = (uint16_t)(pos - mainAt);
            res->subs++;
        } else {
            mainAt = pos;
            res->mains++;
        }
        recPos.push_back(f.Pos());
        kept.push_back(order[i]);
        f.U16(back);
        f.U8((uint8_t)h.size());
        f.U8((uint8_t)s.size());
        f.U8(0);
        f.Zeros(19 - 4);
        f.U32(textPos[e.text]);
        f.U32(0);
        f.Raw(h);
        f.Raw(s);
    }
    res->records = (long)recPos.size();
    uint32_t n = (uint32_t)recPos.size();

    // Bucket numbers of every headword, normalised as the engine normalises a key.
    std::vector<Keyed> keys(n);
    bool haveKeys = procs.sortKey != nullptr;
    std::vector<char> norm;
    for (uint32_t i = 0; haveKeys && i < n; i++) {
        const std::string &h = src.entries[kept[i]].head;
        norm.assign(2 * h.size() + 16, 0);
        procs.normalize(2, h.c_str(), norm.data());
        keys[i].entry = i;
        procs.sortKey(norm.data(), 0, keys[i].k);
    }
    Bytes dir;
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> second;
    bool directory = haveKeys && n > 0 && Directory(keys, KeySpace(opt.language), lang.doubleByte == 0, dir, &second, res);
    if (!haveKeys) res->why = "the driver has no bucket procedure";

    // Forward descriptor (t, b, e): directory at b, pointer table at b + t.
    uint32_t base = f.Pos(), t = directory ? dir.Pos() : 0;
    if (directory) f.b.insert(f.b.end(), dir.b.begin(), dir.b.end());
    for (uint32_t p : recPos) f.U32(p);
    f.Set32(subAt + 8, t);
    f.Set32(subAt + 12, base);
    f.Set32(subAt + 16, t + 4 * n);
    for (auto &s2 : second) {
        f.Set32(base + 8 * s2.first, f.Pos());
        f.b.insert(f.b.end(), s2.second.begin(), s2.second.end());
    }

    // Backward index: forward entry numbers in the comparer's order from the end.
    std::vector<uint32_t> back(n);
    for (uint32_t i = 0; i < n; i++) back[i] = i;
    std::stable_sort(back.begin(), back.end(), [&](uint32_t a, uint32_t b) {
        return cmp(LEXICORE_SF_BACKINDEX, src.entries[kept[a]].head.c_str(), src.entries[kept[b]].head.c_str(), 0) < 0;
    });
    uint32_t bbase = f.Pos();
    for (uint32_t v : back) f.U32(v);
    f.Set32(subAt + 24, 0);
    f.Set32(subAt + 28, bbase);
    f.Set32(subAt + 32, 4 * n);
    res->size = f.Pos();

    // A side file replaces the dictionary only once it is written whole: a dictionary that was
    // there stays as it was when anything fails, and no partial output is left.
    std::string side = std::string(path) + ".new";
    HANDLE out = CreateFileA(side.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (size_t at = 0; ok && at < f.b.size();) {
        DWORD wrote = 0, n = (DWORD)std::min<size_t>(f.b.size() - at, 1 << 20);
        ok = WriteFile(out, f.b.data() + at, n, &wrote, nullptr) && wrote == n;
        at += wrote;
    }
    ok = FlushFileBuffers(out) && ok;
    ok = CloseHandle(out) && ok;
    ok = ok && MoveFileExA(side.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(side.c_str());
    return ok;
}
