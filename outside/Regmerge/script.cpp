// Reading a registration script into merge steps; no settings are touched here.
#include "regmerge_int.h"

namespace {

const char kRoot[] = "HKEY_LOCAL_MACHINE\\";

bool StartsNoCase(const std::string &s, const char *word) {
    size_t n = strlen(word);
    return s.size() >= n && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, s.c_str(), (int)n, word, (int)n) == 2;
}

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

std::string TrimLeft(const std::string &s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) i++;
    return s.substr(i);
}

// A quoted text from s[at] (the opening quote): the text with \\ and \" taken back, and the
// position after the closing quote; false when it is not closed.
bool Quoted(const std::string &s, size_t at, std::string *out, size_t *end) {
    out->clear();
    for (size_t i = at + 1; i < s.size(); i++) {
        char c = s[i];
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            *out += s[++i];
        } else if (c == '"') {
            *end = i + 1;
            return true;
        } else {
            *out += c;
        }
    }
    return false;
}

// "dword:" and one to eight hexadecimal digits, nothing after them but blanks.
bool Dword(const std::string &value, DWORD *number) {
    if (!StartsNoCase(value, "dword:")) return false;
    std::string digits = TrimRight(value.substr(6));
    if (digits.empty() || digits.size() > 8) return false;
    DWORD v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v << 4 | (DWORD)d;
    }
    *number = v;
    return true;
}

// A value line below key; false when it is none of the value forms.
bool ValueLine(const std::string &line, const std::string &key, int number, MergeStep *step) {
    step->kind = MergeStep::Text;
    step->key = key;
    step->line = number;
    size_t eq;
    if (line[0] == '"') {
        size_t end;
        if (!Quoted(line, 0, &step->name, &end) || end >= line.size() || line[end] != '=') return false;
        eq = end;
    } else {
        eq = line.find('=');
        if (eq == std::string::npos || eq == 0) return false;
        step->name = line.substr(0, eq);
        if (step->name == "@") step->name.clear();
    }
    std::string value = line.substr(eq + 1);
    if (!value.empty() && value[0] == '"') {
        size_t end;
        if (!Quoted(value, 0, &step->text, &end) || !TrimRight(value.substr(end)).empty()) return false;
        return true;
    }
    if (StartsNoCase(value, "dword:")) {
        step->kind = MergeStep::Number;
        return !step->name.empty() && Dword(value, &step->number);
    }
    if (StartsNoCase(value, "hex:") || StartsNoCase(value, "hex(")) return false;  // binary values are not taken
    step->text = value;
    return true;
}

}  // namespace

MergeScript Regmerge_Read(const char *bytes, size_t size) {
    MergeScript script;
    std::string key;       // the current section's key; empty: values are skipped
    bool inSection = false;
    size_t at = 0;
    for (int number = 1; at < size; number++) {
        size_t end = at;
        while (end < size && bytes[end] != '\n') end++;
        std::string line(bytes + at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string lead = TrimLeft(line);  // a value keeps its trailing blanks
        std::string trimmed = TrimRight(lead);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed == "REGEDIT4" ||
            trimmed == "Windows Registry Editor Version 5.00")
            continue;
        if (trimmed[0] == '[') {
            inSection = true;
            key.clear();
            std::string path = trimmed.size() >= 2 && trimmed.back() == ']' ? trimmed.substr(1, trimmed.size() - 2) : "";
            if (StartsNoCase(path, kRoot) && path.size() > sizeof kRoot - 1) {
                key = path.substr(sizeof kRoot - 1);
                MergeStep step;
                step.kind = MergeStep::Key;
                step.key = key;
                step.line = number;
                script.steps.push_back(step);
            } else {
                script.skipped.push_back(number);
            }
            continue;
        }
        MergeStep step;
        if (!inSection || key.empty() || !ValueLine(lead, key, number, &step)) {
            script.skipped.push_back(number);
            continue;
        }
        script.steps.push_back(step);
    }
    return script;
}
