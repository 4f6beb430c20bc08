// What the files of the translator share: the word table in the Japanese code page and the
// translation rules over it (rules.cpp, free of window and code-page calls).
#ifndef DDTRANSLATE_INT_H
#define DDTRANSLATE_INT_H

#include <string>
#include <utility>
#include <vector>

struct DdtTable {
    // English side in lower case, words joined by one blank ("" drops a Japanese word);
    // Japanese side in Shift-JIS ("" drops an English word).  In file order.
    std::vector<std::pair<std::string, std::string>> words;
    // Kana (Shift-JIS, hiragana and katakana) -> romaji.
    std::vector<std::pair<std::string, std::string>> kana;
    // Japanese mark (Shift-JIS) -> ASCII mark.
    std::vector<std::pair<std::string, std::string>> marks;
};

// Reads the table's text once it is in Shift-JIS: sections [words], [kana], [marks]; lines of two
// fields split at the first tab; "#" lines, blank lines and lines without a tab are passed over; a
// CR before the line end is dropped.  False when no word line was read.
bool Ddt_ReadTable(const std::string &text, DdtTable *table);

// True when the text holds a double-byte character of the Japanese code page.
bool Ddt_IsJapanese(const std::string &text);

// The translation of English text into Japanese (Shift-JIS) and of Japanese text into English.
std::string Ddt_EnglishToJapanese(const DdtTable &table, const std::string &text);
std::string Ddt_JapaneseToEnglish(const DdtTable &table, const std::string &text);

#endif
