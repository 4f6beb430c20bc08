// The script reader of the registration-script importer (regmerge.h describes the script form).
#ifndef REGMERGE_INT_H
#define REGMERGE_INT_H

#include <windows.h>
#include <string>
#include <vector>

// One step of a merge: create a key, or set a string or number value below a key.  Keys are
// relative paths of the settings layer (the root taken off).
struct MergeStep {
    enum Kind { Key, Text, Number } kind;
    std::string key;
    std::string name;  // empty: the default value
    std::string text;
    DWORD number = 0;
    int line = 0;      // 1-based line of the script
};

struct MergeScript {
    std::vector<MergeStep> steps;
    std::vector<int> skipped;  // lines that are none of the script's forms
};

// Reads the script's bytes; never fails, lines it cannot take are listed as skipped.
MergeScript Regmerge_Read(const char *bytes, size_t size);

#endif
