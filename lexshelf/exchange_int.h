// What the exchange files of the dictionary manager share: one entry read from a file, and the
// readers of the text format and the two older binary formats.  The readers work on bytes in
// memory and touch nothing else, so they are tested on their own.
//   exchange_text.cpp    fields of the text format: quoting, records over several lines, columns
//   exchange_legacy.cpp  the earlier generation's exchange file and version-3 user dictionaries
//   exchange.cpp         export and import through the engine's user entries
#ifndef LEXSHELF_EXCHANGE_INT_H
#define LEXSHELF_EXCHANGE_INT_H

#include <windows.h>
#include <stddef.h>
#include <string>
#include <vector>

struct ShelfImportEntry {
    std::string headword, second, third, text;
};

// Text format.
// The field in double quotes, each quote inside written twice.
std::string Shelf_QuoteField(const std::string &text);
// Whether the record (lines joined so far) still has a quoted field open at its end.
bool Shelf_RecordOpen(const std::string &record);
// The record's fields: a separator inside quotes is text, a doubled quote inside quotes is one
// quote; each field cleaned: outer spaces and trailing control bytes dropped, space runs shrunk.
std::vector<std::string> Shelf_SplitRecord(const std::string &record, const std::string &separator);
// The entry of the fields: headword and second string from their 1-based columns (line ends as
// spaces), the text from every other field joined by CR LF.  False when a column is missing or the
// headword is empty.
bool Shelf_FieldsToEntry(const std::vector<std::string> &fields, DWORD headwordColumn, DWORD secondColumn,
                         ShelfImportEntry *entry);

// Older formats: every entry of the file, or false (with out emptied) for a wrong header or
// signature or a damaged file.
bool Shelf_ReadExchangeFile(const BYTE *data, size_t size, std::vector<ShelfImportEntry> *out);
bool Shelf_ReadV3File(const BYTE *data, size_t size, std::vector<ShelfImportEntry> *out);

#define SHELF_EXCHANGE_SIGNATURE "User Dictionary for VL"
#define SHELF_V3_SIGNATURE "VELOUDV3"
#define SHELF_EXCHANGE_HEADER 96
#define SHELF_EXCHANGE_PAGE 1024
#define SHELF_EXCHANGE_PAGE_HEAD 7
#define SHELF_EXCHANGE_AREA 928
#define SHELF_V3_HEADER 254
#define SHELF_V3_HEAD 17

#endif
