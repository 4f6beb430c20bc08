// Fields of the text exchange format.
#include "exchange_int.h"

std::string Shelf_QuoteField(const std::string &text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

bool Shelf_RecordOpen(const std::string &record) {
    size_t quotes = 0;
    for (char c : record)
        quotes += c == '"';
    return quotes % 2 != 0;
}

namespace {

std::string Clean(const std::string &raw) {
    size_t b = 0, e = raw.size();
    while (b < e && raw[b] == ' ')
        b++;
    while (e > b && (unsigned char)raw[e - 1] <= 0x20)
        e--;
    std::string out;
    for (size_t i = b; i < e; i++) {
        if (raw[i] == ' ' && !out.empty() && out.back() == ' ')
            continue;
        out += raw[i];
    }
    return out;
}

}  // namespace

std::vector<std::string> Shelf_SplitRecord(const std::string &record, const std::string &separator) {
    std::vector<std::string> fields;
    if (separator.empty()) {
        fields.push_back(Clean(record));
        return fields;
    }
    size_t i = 0, n = record.size();
    for (;;) {
        std::string raw;
        size_t s = i;
        while (s < n && record[s] == ' ')
            s++;
        if (s < n && record[s] == '"') {
            // A quoted field: up to the quote that is not doubled; what follows it up to the
            // separator is kept as it stands.
            i = s + 1;
            while (i < n) {
                if (record[i] == '"') {
                    if (i + 1 < n && record[i + 1] == '"') {
                        raw += '"';
                        i += 2;
                        continue;
                    }
                    i++;
                    break;
                }
                raw += record[i++];
            }
        }
        size_t at = record.find(separator, i);
        size_t end = at == std::string::npos ? n : at;
        raw += record.substr(i, end - i);
        fields.push_back(Clean(raw));
        if (at == std::string::npos)
            break;
        i = at + separator.size();
    }
    return fields;
}

bool Shelf_FieldsToEntry(const std::vector<std::string> &fields, DWORD headwordColumn, DWORD secondColumn,
                         ShelfImportEntry *entry) {
    if (headwordColumn == 0 || fields.size() < headwordColumn || (secondColumn && fields.size() < secondColumn))
        return false;
    auto flat = [](std::string s) {
        for (char &c : s)
            if (c == '\n' || c == '\r')
                c = ' ';
        return s;
    };
    entry->headword = flat(fields[headwordColumn - 1]);
    if (entry->headword.empty())
        return false;
    entry->second = secondColumn ? flat(fields[secondColumn - 1]) : std::string();
    entry->third.clear();
    std::string joined;
    bool first = true;
    for (size_t i = 0; i < fields.size(); i++) {
        if (i + 1 == headwordColumn || i + 1 == secondColumn)
            continue;
        if (!first)
            joined += '\n';
        joined += fields[i];
        first = false;
    }
    entry->text.clear();
    for (char c : joined) {
        if (c == '\n')
            entry->text += '\r';
        entry->text += c;
    }
    return true;
}
