// The parts of the book-index converter (idxconvert.h describes the files): reading the index,
// Shift-JIS to JIS X 0208, and the bytes of the book and its CATALOGS file.  Nothing here touches
// files except main.cpp.
#ifndef IDXCONVERT_INT_H
#define IDXCONVERT_INT_H

#include <string>
#include <vector>

struct IdxEntry {
    std::string headword;  // Shift-JIS
    std::string text;      // Shift-JIS, line breaks as LF
};

struct IdxBook {
    std::string name;      // Shift-JIS, trailing blanks removed
    std::vector<IdxEntry> entries;
};

// ---- Index ----
// Reads an index file's bytes; IDXCONVERT_EXIT_DONE, _NOT_INDEX or _EMPTY.
int Idx_Read(const std::string &bytes, IdxBook *book);
// The book's folder name for a name (idxconvert.h).
std::string Idx_FolderName(const std::string &name);
// True when b starts a double-byte Shift-JIS character.
inline bool Idx_IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// ---- Text ----
// Shift-JIS text as book text: two bytes per character, at most maxChars characters; with
// lineBreaks an LF becomes the line-break code, else it is left out.
std::string Idx_ToBookText(const std::string &sjis, size_t maxChars, bool lineBreaks);

// ---- Book ----
// The book file (BOOK\Data\Honmon) and the CATALOGS file for it.
std::string Idx_BookFile(const IdxBook &book);
std::string Idx_CatalogsFile(const IdxBook &book);

// ---- Command line ----
struct IdxCommand {
    std::string index;
    std::string folder;
};
// The index path and the folder from the whole command line (program first); false when either
// is missing.
bool Idx_ReadCommandLine(const std::string &line, IdxCommand *out);

#endif
