// Renderers of entry text: plain text, RTF and the viewer's own format.
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include "scrivshow.h"
#include "scrivshow_int.h"

namespace {

const char *FaceOf(int charset) {
    switch (charset) {
    case 128: return "MS Gothic";
    case 129: return "GulimChe";
    case 134: return "SimSun";
    case 136: return "MingLiU";
    default: return "Arial";
    }
}

void AppendRtfBytes(std::string &rtf, const std::string &bytes) {
    char hex[8];
    for (unsigned char c : bytes) {
        if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += (char)c;
        } else if (c == '\t') {
            rtf += "\\tab ";
        } else if (c >= 0x80) {
            snprintf(hex, sizeof hex, "\\'%02x", c);
            rtf += hex;
        } else {
            rtf += (char)c;
        }
    }
}

}  // namespace

extern "C" int WINAPI Scrivshow_RenderPlain(const char *text, int length, char *out, int outSize, int charset) {
    if (!text) {
        Scv_Deliver(std::string(), out, outSize);
        return 0;
    }
    return Scv_Deliver(Scv_Plain(Scv_Parse(text, length), charset), out, outSize);
}

extern "C" int WINAPI Scrivshow_RenderRtf(const char *text, int length, char *out, int outSize, DWORD dictionaryId) {
    if (!text) {
        Scv_Deliver(std::string(), out, outSize);
        return 0;
    }
    std::vector<ScvPiece> pieces = Scv_Parse(text, length);
    std::vector<int> charsets;
    std::vector<COLORREF> colors;
    for (const ScvPiece &p : pieces) {
        if (std::find(charsets.begin(), charsets.end(), p.attr.charset) == charsets.end())
            charsets.push_back(p.attr.charset);
        if (p.attr.hasColor && std::find(colors.begin(), colors.end(), p.attr.color) == colors.end())
            colors.push_back(p.attr.color);
    }
    if (charsets.empty())
        charsets.push_back(0);
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    char buf[160];
    for (size_t i = 0; i < charsets.size(); i++) {
        snprintf(buf, sizeof buf, "{\\f%u\\fnil\\fcharset%d %s;}", (unsigned)i, charsets[i], FaceOf(charsets[i]));
        rtf += buf;
    }
    rtf += "}{\\colortbl;";
    for (COLORREF c : colors) {
        snprintf(buf, sizeof buf, "\\red%d\\green%d\\blue%d;", GetRValue(c), GetGValue(c), GetBValue(c));
        rtf += buf;
    }
    snprintf(buf, sizeof buf, "}{\\*\\vldicid %lu}\n", (unsigned long)dictionaryId);
    rtf += buf;
    for (const ScvPiece &p : pieces) {
        if (p.lineEnd) {
            rtf += "\\par\n";
            continue;
        }
        size_t font = std::find(charsets.begin(), charsets.end(), p.attr.charset) - charsets.begin();
        size_t color = p.attr.hasColor ? (std::find(colors.begin(), colors.end(), p.attr.color) - colors.begin()) + 1 : 0;
        int step = p.attr.sizeStep < 0 ? 0 : p.attr.sizeStep > 15 ? 15 : p.attr.sizeStep;
        snprintf(buf, sizeof buf, "{\\f%u\\fs%d\\cf%u%s%s%s%s%s ", (unsigned)font, 2 * (7 + step), (unsigned)color,
                 p.attr.bold ? "\\b" : "", p.attr.italic ? "\\i" : "", p.attr.underline ? "\\ul" : "",
                 p.attr.superscript ? "\\super" : "", p.attr.subscript ? "\\sub" : "");
        rtf += buf;
        AppendRtfBytes(rtf, p.bytes);
        rtf += "}";
    }
    rtf += "}";
    return Scv_Deliver(rtf, out, outSize);
}

extern "C" int WINAPI Scrivshow_RenderVltf(const char *text, int length, char *out, int outSize) {
    std::string s;
    if (text) {
        size_t n = length < 0 ? strlen(text) : (size_t)length;
        for (size_t i = 0; i < n; i++) {
            char c = text[i];
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                i++;
            if (c == '\n')
                c = '\r';
            if (c == 0x1C)
                c = 0x1B;
            s += c;
        }
    }
    return Scv_Deliver(s, out, outSize);
}
