// Readers of the outside sources and the code page conversion into the dictionary's charset.
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>
#include <map>
#include "dicbuild_int.h"

void Db_Note(DbSource *src, const char *fmt, ...) {
    if (src->notes.size() >= 20) return;
    char line[512];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line, sizeof line, fmt, ap);
    va_end(ap);
    src->notes.push_back(line);
}

bool Db_ReadFile(const char *path, std::string *out) {
    out->clear();
    FILE *f = fopen(path, "rb");
    if (!f) return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

// ---- Code pages -------------------------------------------------------------------------------------

bool Db_LoadCodePage(UINT cp, DbCodePage *out) {
    out->cp = cp;
    out->map.assign(0x10000, 0xFFFF);
    for (DWORD u = 1; u < 0x10000; u++) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        WCHAR w = (WCHAR)u;
        char b[4];
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, &w, 1, b, sizeof b, nullptr, &usedDefault);
        if (n <= 0 || n > 2 || usedDefault) continue;
        // A best-fit mapping that does not come back to the same character is no mapping.
        WCHAR back[2];
        if (MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, b, n, back, 2) != 1 || back[0] != w) continue;
        out->map[u] = n == 1 ? (uint16_t)(BYTE)b[0] : (uint16_t)(((BYTE)b[0] << 8) | (BYTE)b[1]);
    }
    out->map[0] = 0;
    return out->map['A'] == 'A';
}

long Db_FromUtf8(const DbCodePage &cp, const char *s, size_t n, std::string *out, DbCounts *counts) {
    out->clear();
    long replaced = 0;
    const unsigned char *p = (const unsigned char *)s, *end = p + n;
    while (p < end) {
        unsigned c = *p;
        DWORD u;
        int len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        bool ok = len > 0 && p + len <= end;
        u = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (int i = 1; ok && i < len; i++) {
            if ((p[i] & 0xC0) != 0x80) ok = false;
            u = (u << 6) | (p[i] & 0x3F);
        }
        if (ok && ((len == 2 && u < 0x80) || (len == 3 && u < 0x800) || (len == 4 && u < 0x10000) ||
                   (u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF))
            ok = false;
        if (!ok) {
            counts->badBytes++;
            replaced++;
            out->push_back('?');
            p++;
            continue;
        }
        p += len;
        uint16_t m = u < 0x10000 ? cp.map[u] : 0xFFFF;
        if (m == 0xFFFF) {
            counts->unencodable++;
            replaced++;
            out->push_back('?');
        } else if (m > 0xFF) {
            out->push_back((char)(m >> 8));
            out->push_back((char)(m & 0xFF));
        } else {
            out->push_back((char)m);
        }
    }
    return replaced;
}

long Db_EucToSjis(const char *s, size_t n, std::string *out, DbCounts *counts) {
    out->clear();
    long replaced = 0;
    const unsigned char *p = (const unsigned char *)s, *end = p + n;
    while (p < end) {
        unsigned a = *p;
        if (a < 0x80) {
            out->push_back((char)a);
            p++;
        } else if (a == 0x8E && p + 1 < end && p[1] >= 0xA1 && p[1] <= 0xDF) {  // half-width kana
            out->push_back((char)p[1]);
            p += 2;
        } else if (a == 0x8F && p + 2 < end && p[1] >= 0xA1 && p[2] >= 0xA1 && p[1] < 0xFF && p[2] < 0xFF) {
            counts->unencodable++;  // JIS X 0212: no Shift-JIS form
            replaced++;
            out->push_back('?');
            p += 3;
        } else if (a >= 0xA1 && a <= 0xFE && p + 1 < end && p[1] >= 0xA1 && p[1] <= 0xFE) {
            unsigned j1 = a - 0x80, j2 = p[1] - 0x80;
            unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
            unsigned s2 = (j1 & 1) ? j2 + (j2 >= 0x60 ? 0x20 : 0x1F) : j2 + 0x7E;
            out->push_back((char)s1);
            out->push_back((char)s2);
            p += 2;
        } else {
            counts->badBytes++;
            replaced++;
            out->push_back('?');
            p++;
        }
    }
    return replaced;
}

// ---- dictd ------------------------------------------------------------------------------------------

namespace {

// A number in the dictd index's base-64 digits; false for an empty or foreign digit.
bool B64(const std::string &s, uint64_t *out) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (s.empty() || s.size() > 8) return false;
    uint64_t v = 0;
    for (char c : s) {
        const char *d = strchr(digits, c);
        if (!d || !c) return false;
        v = v * 64 + (uint64_t)(d - digits);
    }
    *out = v;
    return true;
}

bool Inflate(const std::string &in, std::string *out) {
    z_stream z;
    memset(&z, 0, sizeof z);
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return false;
    z.next_in = (Bytef *)in.data();
    z.avail_in = (uInt)in.size();
    out->clear();
    std::vector<char> buf(1 << 20);
    int r;
    do {
        z.next_out = (Bytef *)buf.data();
        z.avail_out = (uInt)buf.size();
        r = inflate(&z, Z_NO_FLUSH);
        if (r != Z_OK && r != Z_STREAM_END) break;
        out->append(buf.data(), buf.size() - z.avail_out);
        // A further gzip member (plain gzip files may hold several) goes on.
        if (r == Z_STREAM_END && z.avail_in > 0) {
            inflateReset(&z);
            r = Z_OK;
        }
    } while (r == Z_OK);
    inflateEnd(&z);
    return r == Z_STREAM_END;
}

void Trim(std::string *s) {
    while (!s->empty() && (s->back() == '\n' || s->back() == '\r' || s->back() == ' ')) s->pop_back();
}

// Converts into the dictionary's code page, counting entries that lost characters.
void Take(DbSource *src, const std::string &in, std::string *out, bool *lost, const DbCodePage *cp) {
    long n = cp ? Db_FromUtf8(*cp, in.data(), in.size(), out, &src->counts)
                : Db_EucToSjis(in.data(), in.size(), out, &src->counts);
    if (n) *lost = true;
}

}  // namespace

bool Db_ReadDictd(const char *indexPath, const char *dataPath, const DbCodePage &cp, DbSource *src) {
    std::string index, raw, data;
    if (!Db_ReadFile(indexPath, &index) || !Db_ReadFile(dataPath, &raw)) {
        Db_Note(src, "cannot read %s or %s", indexPath, dataPath);
        return false;
    }
    if (raw.size() >= 2 && (BYTE)raw[0] == 0x1F && (BYTE)raw[1] == 0x8B) {
        if (!Inflate(raw, &data)) {
            Db_Note(src, "%s: damaged compressed data", dataPath);
            return false;
        }
    } else {
        data.swap(raw);
    }
    std::map<uint64_t, uint32_t> textOf;  // one text record per definition, shared by its headwords
    size_t at = 0;
    while (at < index.size()) {
        size_t eol = index.find('\n', at);
        if (eol == std::string::npos) eol = index.size();
        std::string line = index.substr(at, eol - at);
        at = eol + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        src->counts.lines++;
        if (line.empty()) continue;
        size_t t1 = line.find('\t'), t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        uint64_t off = 0, len = 0;
        if (t1 == 0 || t2 == std::string::npos || line.find('\t', t2 + 1) != std::string::npos ||
            !B64(line.substr(t1 + 1, t2 - t1 - 1), &off) || !B64(line.substr(t2 + 1), &len) || len == 0 ||
            off > data.size() || len > data.size() - off) {
            src->counts.malformed++;
            Db_Note(src, "%s line %ld: malformed index line", indexPath, src->counts.lines);
            continue;
        }
        std::string head = line.substr(0, t1);
        if (head.compare(0, 12, "00-database-") == 0 || head.compare(0, 10, "00database") == 0) {
            src->counts.meta++;
            continue;
        }
        bool lost = false;
        DbEntry e;
        Take(src, head, &e.head, &lost, &cp);
        uint64_t key = (off << 24) | len;
        auto it = textOf.find(key);
        if (it == textOf.end()) {
            std::string body = data.substr((size_t)off, (size_t)len), text;
            Trim(&body);
            Take(src, body, &text, &lost, &cp);
            it = textOf.emplace(key, (uint32_t)src->texts.size()).first;
            src->texts.push_back(text);
        }
        e.text = it->second;
        // Index headwords may be folded to lower case (dictfmt does so); a definition whose first
        // line is the headword in another case gives the headword as written.
        const std::string &t = src->texts[e.text];
        std::string firstLine = t.substr(0, t.find('\n'));
        if (firstLine.size() == e.head.size() && firstLine != e.head &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, firstLine.data(), (int)firstLine.size(),
                           e.head.data(), (int)e.head.size()) == CSTR_EQUAL)
            e.head = firstLine;
        if (lost) {
            src->counts.unencodableEntries++;
            Db_Note(src, "%s line %ld: characters replaced by '?'", indexPath, src->counts.lines);
        }
        src->entries.push_back(e);
        src->counts.entries++;
    }
    return true;
}

// ---- EDICT --------------------------------------------------------------------------------------------
// A line: WRITTEN [READING] /gloss/gloss/.../ in EUC-JP.  The first line of the file describes
// the file itself and is counted as database information.

bool Db_ReadEdict(const char *path, DbSource *src) {
    std::string all;
    if (!Db_ReadFile(path, &all)) {
        Db_Note(src, "cannot read %s", path);
        return false;
    }
    size_t at = 0;
    while (at < all.size()) {
        size_t eol = all.find('\n', at);
        if (eol == std::string::npos) eol = all.size();
        std::string line = all.substr(at, eol - at);
        at = eol + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        src->counts.lines++;
        if (line.empty()) continue;
        if (line.find("/EDICT") != std::string::npos && src->counts.entries == 0) {
            src->counts.meta++;
            continue;
        }
        size_t slash = line.find(" /");
        size_t sp = line.find(' ');
        bool ok = slash != std::string::npos && sp > 0 && line.size() > slash + 2 && line.back() == '/';
        std::string written, reading;
        if (ok) {
            written = line.substr(0, sp);
            if (sp < slash) {
                std::string mid = line.substr(sp + 1, slash - sp - 1);
                ok = mid.size() > 2 && mid.front() == '[' && mid.back() == ']' &&
                     mid.find(' ') == std::string::npos;
                if (ok) reading = mid.substr(1, mid.size() - 2);
            }
        }
        if (!ok) {
            src->counts.malformed++;
            Db_Note(src, "%s line %ld: malformed entry line", path, src->counts.lines);
            continue;
        }
        // The glosses, one per line, after the headword line.
        std::string body = line.substr(0, slash), gloss = line.substr(slash + 2, line.size() - slash - 3);
        size_t g = 0;
        while (g <= gloss.size()) {
            size_t e = gloss.find('/', g);
            if (e == std::string::npos) e = gloss.size();
            if (e > g) body += "\n  " + gloss.substr(g, e - g);
            g = e + 1;
        }
        bool lost = false;
        DbEntry e;
        std::string text;
        Take(src, written, &e.head, &lost, nullptr);
        Take(src, reading, &e.second, &lost, nullptr);
        Take(src, body, &text, &lost, nullptr);
        e.text = (uint32_t)src->texts.size();
        src->texts.push_back(text);
        if (lost) {
            src->counts.unencodableEntries++;
            Db_Note(src, "%s line %ld: characters replaced by '?'", path, src->counts.lines);
        }
        src->entries.push_back(e);
        src->counts.entries++;
        if (!e.second.empty() && e.second != e.head) {
            DbEntry r;
            r.head = e.second;
            r.second = e.head;
            r.text = e.text;
            src->entries.push_back(r);
        }
    }
    return true;
}
