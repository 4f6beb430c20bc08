// Reading a book index, the book's folder name, and the converter's command line.
#include <string.h>
#include "idxconvert.h"
#include "idxconvert_int.h"

namespace {

const size_t kHead = 77, kNameAt = 13, kNameSize = 64;

std::string TrimBlanks(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) i++;
    return s.substr(i);
}

// The text of an entry line: "\n" a line break, "\\" a backslash, whole double-byte characters
// passed on untouched (their second byte may be a backslash).
std::string Unescape(const std::string &s) {
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        unsigned char c = (unsigned char)s[i];
        if (Idx_IsLead(c) && i + 1 < s.size()) {
            out += s[i];
            out += s[++i];
        } else if (c == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == '\\')) {
            out += s[++i] == 'n' ? '\n' : '\\';
        } else {
            out += (char)c;
        }
    }
    return out;
}

bool EndsWithNoCase(const std::string &s, size_t end, const char *tail) {
    size_t n = strlen(tail);
    if (end < n) return false;
    for (size_t i = 0; i < n; i++) {
        char a = s[end - n + i];
        if (a >= 'A' && a <= 'Z') a = (char)(a - 'A' + 'a');
        if (a != tail[i]) return false;
    }
    return true;
}

// Takes the next argument off line: quoted, or up to the first blank that follows the tail
// (".exe", ".idx"), or up to the first blank when the tail is not there.
std::string Take(std::string *line, const char *tail) {
    std::string s = TrimBlanks(*line), arg;
    if (!s.empty() && s[0] == '"') {
        size_t close = s.find('"', 1);
        arg = s.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        *line = close == std::string::npos ? "" : s.substr(close + 1);
        return arg;
    }
    size_t end = std::string::npos;
    for (size_t i = 0; i <= s.size(); i++)
        if ((i == s.size() || s[i] == ' ' || s[i] == '\t') && EndsWithNoCase(s, i, tail)) {
            end = i;
            break;
        }
    if (end == std::string::npos) end = s.find_first_of(" \t");
    if (end == std::string::npos) end = s.size();
    *line = s.substr(end);
    return s.substr(0, end);
}

}  // namespace

int Idx_Read(const std::string &bytes, IdxBook *book) {
    if (bytes.size() < kHead || bytes.compare(0, 8, "SSEDINFO") != 0 || bytes.compare(8, 5, "01.00") != 0)
        return IDXCONVERT_EXIT_NOT_INDEX;
    std::string name = bytes.substr(kNameAt, kNameSize);
    name = name.substr(0, name.find('\0'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    book->name = name;
    book->entries.clear();
    size_t at = kHead;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (TrimBlanks(line).empty() || line[0] == ';') continue;
        size_t tab = line.find('\t');
        IdxEntry entry;
        entry.headword = line.substr(0, tab);
        if (tab != std::string::npos) entry.text = Unescape(line.substr(tab + 1));
        if (entry.headword.empty()) continue;
        book->entries.push_back(entry);
    }
    return book->entries.empty() ? IDXCONVERT_EXIT_EMPTY : IDXCONVERT_EXIT_DONE;
}

std::string Idx_FolderName(const std::string &name) {
    std::string out;
    for (size_t i = 0; i < name.size(); i++) {
        unsigned char c = (unsigned char)name[i];
        if (Idx_IsLead(c) && i + 1 < name.size()) {
            out += name[i];
            out += name[++i];
        } else if (c < 0x20 || strchr("\\/:*?\"<>|", c)) {
            out += '_';
        } else {
            out += (char)c;
        }
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
    return out.empty() ? "Book" : out;
}

bool Idx_ReadCommandLine(const std::string &line, IdxCommand *out) {
    std::string rest = line;
    Take(&rest, ".exe");
    out->index = Take(&rest, ".idx");
    std::string folder = TrimBlanks(rest);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') folder = folder.substr(1, folder.size() - 2);
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    out->folder = folder;
    return !out->index.empty() && !out->folder.empty();
}
