// The translation rules over the word table: English into Japanese word by word (phrases first),
// Japanese into English by the longest table form at each place, kana the table does not hold in
// romaji.  Byte work on Shift-JIS text; no window or code-page calls.
#include <string.h>
#include "ddtranslate_int.h"

namespace {

const int kMaxPhraseWords = 4;

// Shift-JIS forms the rules know by themselves.
const char kIdeographicSpace[] = "\x81\x40";
const char kSmallTsuHiragana[] = "\x82\xc1";  // small tsu (hiragana)
const char kSmallTsuKatakana[] = "\x83\x62";  // small tsu (katakana)
const char kLongVowel[] = "\x81\x5b";         // long-vowel mark

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c; }

// Bytes of the character at i: 2 for a whole double-byte character, else 1.
size_t CharLen(const std::string &s, size_t i) {
    return IsLead((unsigned char)s[i]) && i + 1 < s.size() && IsTrail((unsigned char)s[i + 1]) ? 2 : 1;
}

bool StartsAt(const std::string &s, size_t i, const std::string &form) {
    return !form.empty() && s.compare(i, form.size(), form) == 0;
}

// ---- English to Japanese -------------------------------------------------------------------------

const std::string *JapaneseOf(const DdtTable &t, const std::string &english) {
    for (const auto &w : t.words)
        if (!w.first.empty() && w.first == english)
            return &w.second;
    return nullptr;
}

// The table's word for an English word, also after taking off a plural or verb ending.
const std::string *WordOrBase(const DdtTable &t, const std::string &lower) {
    if (const std::string *j = JapaneseOf(t, lower))
        return j;
    struct Ending { const char *end, *put; } const endings[] = {
        {"ies", "y"}, {"es", ""}, {"s", ""}, {"ied", "y"}, {"ed", "e"}, {"ed", ""}, {"ing", "e"}, {"ing", ""},
    };
    for (const Ending &e : endings) {
        size_t n = strlen(e.end);
        if (lower.size() > n + 2 && lower.compare(lower.size() - n, n, e.end) == 0)
            if (const std::string *j = JapaneseOf(t, lower.substr(0, lower.size() - n) + e.put))
                return j;
    }
    return nullptr;
}

// An English word in full-width letters (an apostrophe stays as it is).
std::string FullWidth(const std::string &word) {
    std::string out;
    for (char c : word) {
        if (c >= 'A' && c <= 'Z') {
            out += '\x82';
            out += (char)(0x60 + (c - 'A'));
        } else if (c >= 'a' && c <= 'z') {
            out += '\x82';
            out += (char)(0x81 + (c - 'a'));
        } else {
            out += c;
        }
    }
    return out;
}

// The end of the English word starting at i: letters with apostrophes between them.
size_t WordEnd(const std::string &s, size_t i) {
    while (i < s.size()) {
        if (IsAsciiLetter(s[i]))
            i++;
        else if (s[i] == '\'' && i + 1 < s.size() && IsAsciiLetter(s[i + 1]) && i > 0 && IsAsciiLetter(s[i - 1]))
            i++;
        else
            break;
    }
    return i;
}

// The Japanese mark of an ASCII mark; the double quote opens and closes in turn.
const std::string *MarkOf(const DdtTable &t, char c, int *quotes) {
    const std::string *first = nullptr, *second = nullptr;
    for (const auto &m : t.marks)
        if (m.second.size() == 1 && m.second[0] == c && c != ' ') {
            if (!first)
                first = &m.first;
            else if (!second)
                second = &m.first;
        }
    if (first && second && c == '"')
        return (*quotes)++ % 2 == 0 ? first : second;
    return first;
}

}  // namespace

bool Ddt_IsJapanese(const std::string &text) {
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char b = (unsigned char)text[i];
        if (b >= 0xA1 && b <= 0xDF)  // half-width katakana
            return true;
        if (CharLen(text, i) == 2)
            return true;
    }
    return false;
}

std::string Ddt_EnglishToJapanese(const DdtTable &t, const std::string &s) {
    std::string out;
    bool lastLatin = false, pendingSpace = false;
    int quotes = 0;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (IsAsciiLetter(c)) {
            // The longest phrase of the table that starts here (words one blank apart).
            size_t ends[kMaxPhraseWords];
            int count = 0;
            for (size_t p = i; count < kMaxPhraseWords;) {
                ends[count++] = WordEnd(s, p);
                p = ends[count - 1];
                if (p + 1 >= s.size() || s[p] != ' ' || !IsAsciiLetter(s[p + 1]))
                    break;
                p++;
            }
            const std::string *japanese = nullptr;
            size_t end = ends[0];
            for (int k = count; k >= 1 && !japanese; k--) {
                std::string key;
                for (size_t p = i; p < ends[k - 1]; p++)
                    key += Lower(s[p]);
                japanese = k > 1 ? JapaneseOf(t, key) : WordOrBase(t, key);
                end = ends[k - 1];
            }
            if (japanese) {
                out += *japanese;
                if (!japanese->empty())
                    lastLatin = false;
            } else {
                if (pendingSpace && lastLatin)
                    out += kIdeographicSpace;
                out += FullWidth(s.substr(i, end - i));
                lastLatin = true;
            }
            pendingSpace = false;
            i = end;
            continue;
        }
        if (c == ' ' || c == '\t') {
            pendingSpace = true;
            i++;
            continue;
        }
        const std::string *mark = (unsigned char)c < 0x80 ? MarkOf(t, c, &quotes) : nullptr;
        if (mark)
            out += *mark;
        else
            out += c;  // digits, line ends and every other byte keep their place
        lastLatin = pendingSpace = false;
        i++;
    }
    return out;
}

// ---- Japanese to English -------------------------------------------------------------------------

namespace {

// Builds the English text: words one blank apart, marks against the word before them, the first
// letter of every sentence in upper case.
struct EnglishOut {
    enum Run { kNone, kAscii, kKana, kUnknown, kTable };
    std::string text;
    Run run = kNone;
    bool sentenceStart = true, noBlank = true;

    void Word(const std::string &w, Run kind) {
        if (w.empty())
            return;
        if (!noBlank && !text.empty())
            text += ' ';
        std::string piece = w;
        if (sentenceStart)
            piece[0] = Upper(piece[0]);
        text += piece;
        sentenceStart = noBlank = false;
        run = kind;
    }
    // Glued to the word before when it is of the same kind, else a word of its own.
    void Part(const std::string &p, Run kind) {
        if (run == kind && !text.empty())
            text += p;
        else
            Word(p, kind);
    }
    void Mark(char m, int *quotes) {
        bool opens = m == '(' || (m == '"' && (*quotes)++ % 2 == 0);
        if (opens) {
            if (!noBlank && !text.empty())
                text += ' ';
            text += m;
            noBlank = true;
        } else {
            text += m;
            noBlank = m == '/';
        }
        if (m == '.' || m == '!' || m == '?')
            sentenceStart = true;
        run = kNone;
    }
    void LineEnd(char c) {
        text += c;
        sentenceStart = noBlank = true;
        run = kNone;
    }
    // The last vowel of the word being written, or 0.
    char LastVowel() const {
        for (size_t i = text.size(); i > 0; i--) {
            char c = Lower(text[i - 1]);
            if (!IsAsciiLetter(c))
                return 0;
            if (strchr("aeiou", c))
                return c;
        }
        return 0;
    }
};

// Full-width digits and letters as ASCII; 0 for any other character.
char AsciiOfFullWidth(unsigned char lead, unsigned char trail) {
    if (lead != 0x82)
        return 0;
    if (trail >= 0x4F && trail <= 0x58)
        return (char)('0' + trail - 0x4F);
    if (trail >= 0x60 && trail <= 0x79)
        return (char)('A' + trail - 0x60);
    if (trail >= 0x81 && trail <= 0x9A)
        return (char)('a' + trail - 0x81);
    return 0;
}

// The longest table form at i (the first line of that form on a tie); its length, 0 when none.
// A form that only drops (empty English side) counts only right after a translated word.
size_t TableWordAt(const DdtTable &t, const std::string &s, size_t i, bool afterTableWord,
                   const std::string **english) {
    size_t best = 0;
    for (const auto &w : t.words)
        if (w.second.size() > best && StartsAt(s, i, w.second) && (!w.first.empty() || afterTableWord)) {
            best = w.second.size();
            *english = &w.first;
        }
    return best;
}

size_t LongestAt(const std::vector<std::pair<std::string, std::string>> &forms, const std::string &s, size_t i,
                 const std::string **value) {
    size_t best = 0;
    for (const auto &f : forms)
        if (f.first.size() > best && StartsAt(s, i, f.first)) {
            best = f.first.size();
            *value = &f.second;
        }
    return best;
}

}  // namespace

std::string Ddt_JapaneseToEnglish(const DdtTable &t, const std::string &s) {
    EnglishOut out;
    bool doubleNext = false;
    int quotes = 0;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = (unsigned char)s[i];
        size_t n = CharLen(s, i);
        if (n == 1 && b < 0x80) {
            char c = (char)b;
            if (c == '\r' || c == '\n') {
                out.LineEnd(c);
                if (c == '\n' && i + 1 < s.size() && s[i + 1] == '0')
                    out.text += s[++i];  // the add-ins' line mark "\n0" stays whole
            } else if (IsAsciiLetter(c) || IsAsciiDigit(c))
                out.Part(std::string(1, c), EnglishOut::kAscii);
            else if (c == ' ' || c == '\t')
                out.run = EnglishOut::kNone;
            else
                out.Mark(c, &quotes);
            doubleNext = false;
            i++;
            continue;
        }
        const std::string *english = nullptr, *value = nullptr;
        if (size_t len = TableWordAt(t, s, i, out.run == EnglishOut::kTable, &english)) {
            if (english->empty())
                out.run = EnglishOut::kNone;  // a particle: dropped, the next word stands alone
            else
                out.Word(*english == "i" ? std::string("I") : *english, EnglishOut::kTable);
            doubleNext = false;
            i += len;
            continue;
        }
        if (size_t len = LongestAt(t.marks, s, i, &value)) {
            if (*value == " ")
                out.run = EnglishOut::kNone;
            else
                out.Mark((*value)[0], &quotes);
            doubleNext = false;
            i += len;
            continue;
        }
        if (char c = n == 2 ? AsciiOfFullWidth(b, (unsigned char)s[i + 1]) : 0) {
            out.Part(std::string(1, c), EnglishOut::kAscii);
            i += 2;
            continue;
        }
        if (StartsAt(s, i, kSmallTsuHiragana) || StartsAt(s, i, kSmallTsuKatakana)) {
            doubleNext = true;
            i += 2;
            continue;
        }
        if (StartsAt(s, i, kLongVowel)) {
            char v = out.run == EnglishOut::kKana ? out.LastVowel() : 0;
            if (v)
                out.text += v;
            i += 2;
            continue;
        }
        if (size_t len = LongestAt(t.kana, s, i, &value)) {
            std::string romaji = *value;
            if (doubleNext && !romaji.empty() && !strchr("aeiou", romaji[0]))
                romaji.insert(romaji.begin(), romaji[0]);
            out.Part(romaji, EnglishOut::kKana);
            doubleNext = false;
            i += len;
            continue;
        }
        out.Part("?", EnglishOut::kUnknown);
        doubleNext = false;
        i += n;
    }
    return out.text;
}

bool Ddt_ReadTable(const std::string &text, DdtTable *table) {
    std::vector<std::pair<std::string, std::string>> *section = nullptr;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find('\n', i);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(i, end - i);
        i = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {  // a section of another name is passed over whole
            section = line == "[words]" ? &table->words
                      : line == "[kana]" ? &table->kana
                      : line == "[marks]" ? &table->marks
                                          : nullptr;
            continue;
        }
        size_t tab = line.find('\t');
        if (!section || tab == std::string::npos)
            continue;
        std::string left = line.substr(0, tab), right = line.substr(tab + 1);
        if (section == &table->words) {
            for (char &c : left)
                c = Lower(c);
        }
        if (left.empty() && right.empty())
            continue;
        section->push_back({left, right});
    }
    return !table->words.empty();
}
