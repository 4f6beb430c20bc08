// Shared by the editor's model tests: documents on the fixed measurer (8 pixels a byte) and
// small helpers that show document content as text.
#ifndef SCRIVEL_TEST_FIXTURE_H
#define SCRIVEL_TEST_FIXTURE_H

#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "scrivel_int.h"

namespace fx {

// A document on the fixed measurer; Japanese system language unless told.
inline EditorDocument *NewDoc(LANGID lang = 0x0411, int unit = 8, int failFontAfter = -1,
                              int sans = 0) {
    ScrivelDocParams p = {};
    p.langId = lang;
    p.sansDefault = sans;
    p.measurer = ScrivelMeasure_NewFixed(unit, failFontAfter);
    EditorDocument *doc = nullptr;
    EXPECT_EQ(ScrivelDoc_Create(&p, &doc), SCRIVEL_OK);
    return doc;
}

struct Doc {
    EditorDocument *d;
    explicit Doc(LANGID lang = 0x0411, int unit = 8) : d(NewDoc(lang, unit)) {}
    ~Doc() { ScrivelDoc_Destroy(d); }
    EditorDocument *operator->() { return d; }
    operator EditorDocument *() { return d; }
};

inline int Read(EditorDocument *doc, const std::string &s, int start = 0) {
    return ScrivelTag_Read(doc, s.data(), static_cast<int>(s.size()), start);
}

inline std::string Write(EditorDocument *doc) {
    ScrivelRange r;
    ScrivelDoc_WholeRange(doc, &r);
    char *buf = nullptr;
    int len = 0;
    if (ScrivelTag_Write(doc, &r, &buf, &len) != SCRIVEL_OK) return "<error>";
    std::string s(buf, len - 1);
    ScrivelMem_Free(buf);
    return s;
}

inline std::string WriteRtf(EditorDocument *doc) {
    ScrivelRange r;
    ScrivelDoc_WholeRange(doc, &r);
    char *buf = nullptr;
    int len = 0;
    if (ScrivelRtf_Write(doc, &r, &buf, &len) != SCRIVEL_OK) return "<error>";
    std::string s(buf, len - 1);
    ScrivelMem_Free(buf);
    return s;
}

inline std::string RtfToTagged(const std::string &rtf) {
    int n = ScrivelRtf_ToTagged(rtf.c_str(), nullptr);
    std::vector<char> buf(n + 4, '\x7f');
    int m = ScrivelRtf_ToTagged(rtf.c_str(), buf.data());
    EXPECT_EQ(n, m);
    EXPECT_EQ(buf[n], 0);
    return std::string(buf.data(), n);
}

// The characters of one line, a tab as '\t' and an object as '#'.
inline std::string LineText(EditorDocument *doc, int line) {
    std::string s;
    const LineRecord *l = doc->lines[line];
    for (int i = 0; i < l->count; ++i) {
        const TextAttribute *a = doc->attrs[l->cells[i].attr];
        if (a->type == 1) s += '\t';
        else if (a->type == 3) s += '#';
        else s += l->cells[i].ch;
    }
    return s;
}

// Every line's text with '|' after a paragraph end and '/' after a wrapped line end.
inline std::string Lines(EditorDocument *doc) {
    std::string s;
    for (int i = 0; i < doc->lineCount; ++i) {
        s += LineText(doc, i);
        s += (doc->lines[i]->flags & SCRIVEL_LINE_PARAEND) ? "|" : "/";
    }
    return s;
}

// Hex dump for failure messages.
inline std::string Hex(const std::string &s) {
    std::string out;
    char buf[8];
    for (unsigned char c : s) {
        wsprintfA(buf, "%02X ", c);
        out += buf;
    }
    return out;
}

// The content of a document cell by cell: character bytes and the attribute fields that the
// tagged form carries.
inline std::string Cells(EditorDocument *doc) {
    std::string s;
    char buf[128];
    for (int i = 0; i < doc->lineCount; ++i) {
        const LineRecord *l = doc->lines[i];
        wsprintfA(buf, "[L%d f%d]", l->level, l->flags & SCRIVEL_LINE_PARAEND);
        s += buf;
        for (int c = 0; c < l->count; ++c) {
            const TextAttribute *a = doc->attrs[l->cells[c].attr];
            wsprintfA(buf, "%02X%02X:%d/%d/%d/%d/%d/%06X/%d/%d", (BYTE)l->cells[c].ch[0],
                      (BYTE)l->cells[c].ch[1], a->type, a->charset, a->fontNumber, a->language,
                      a->style, a->colour, a->sizeStep, a->objectKind);
            s += buf;
            if (a->style & SCRIVEL_STYLE_ANCHOR) {
                wsprintfA(buf, "<%d,%d,%u,%u,%u,%s>", a->anchor.type, a->anchor.flags,
                          a->anchor.counter, a->anchor.target, a->anchor.identifier,
                          a->anchor.text ? a->anchor.text : "");
                s += buf;
            }
            s += ' ';
        }
    }
    return s;
}

}  // namespace fx

#endif
