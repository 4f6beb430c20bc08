// Reading escape-tagged entry text: tag lengths and attribute changes.
#include <string.h>
#include "scrivshow_int.h"

namespace {

const unsigned char ESC = 0x1B, FS = 0x1C;

bool IsHex(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(unsigned char c) {
    return c <= '9' ? c - '0' : (c >= 'a' ? c - 'a' + 10 : c - 'A' + 10);
}
int Hex(const unsigned char *p, int n) {
    int v = 0;
    for (int i = 0; i < n; i++)
        v = v * 16 + (IsHex(p[i]) ? HexValue(p[i]) : 0);
    return v;
}

// Bytes up to and including the next ESC (or to the end).
int UpToEsc(const unsigned char *p, const unsigned char *end) {
    const unsigned char *q = p;
    while (q < end && *q != ESC)
        q++;
    return (int)(q - p) + (q < end ? 1 : 0);
}

// Identifier of an anchor: '#' or eight hex digits.
int IdLength(const unsigned char *p, const unsigned char *end) {
    if (p >= end)
        return 0;
    return *p == '#' ? 1 : (end - p >= 8 ? 8 : (int)(end - p));
}

}  // namespace

int Scv_TagLength(const unsigned char *p, const unsigned char *end) {
    int avail = (int)(end - p);
    if (avail < 2)
        return avail;
    int n;
    switch (p[1]) {
    case 'L': case 'Z': case 'B': case 'I': case 'U': case 'S': case 's': case 'T': case 't': case 'P': case 'p':
        n = 3;
        break;
    case 'z': case 'c': n = 2; break;
    case 'f': n = 6; break;
    case 'C': n = 8; break;
    case 'F': n = (avail >= 4 && p[2] == '0' && p[3] == '1') ? 6 : 4; break;
    case 'A':
        if (avail < 3) { n = avail; break; }
        switch (p[2]) {
        case 'L': {
            const unsigned char *q = p + 3;
            q += IdLength(q, end);
            if (q < end && *q == ESC)
                q += (end - q >= 9) ? 9 : (end - q);
            else
                q += UpToEsc(q, end);
            q += (end - q >= 4) ? 4 : (end - q);
            n = (int)(q - p);
            break;
        }
        case 'H':
            n = (avail >= 4 && p[3] == '#') ? 4 : 3 + UpToEsc(p + 3, end);
            break;
        case 'D': {
            const unsigned char *q = p + 3;
            if (q < end)
                q++;  // the counter digit
            q += IdLength(q, end);
            q += UpToEsc(q, end);
            n = (int)(q - p);
            break;
        }
        default: n = 3; break;  // Al, Ah, Ad and unknown anchor letters
        }
        break;
    case 'V':
        n = (avail >= 3 && p[2] == 'L') ? 3 + UpToEsc(p + 3, end) : 3;
        break;
    default: n = 1; break;  // an ESC before anything else stands alone
    }
    return n < avail ? n : avail;
}

UINT Scv_CodePage(int charset) {
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 866;
    case 222: return 874;
    case 238: return 1250;
    default: return 1252;
    }
}

int Scv_CharLen(int charset, const unsigned char *p, const unsigned char *end) {
    if (end - p >= 2 && *p >= 0x81 && (charset == 128 || charset == 129 || charset == 134 || charset == 136) &&
        IsDBCSLeadByteEx(Scv_CodePage(charset), *p))
        return 2;
    return 1;
}

std::vector<ScvPiece> Scv_Parse(const char *text, int length) {
    std::vector<ScvPiece> pieces;
    if (!text)
        return pieces;
    const unsigned char *p = (const unsigned char *)text;
    const unsigned char *end = p + (length < 0 ? strlen(text) : (size_t)length);
    ScvAttr attr;
    COLORREF previousColor = 0;
    bool previousHasColor = false;
    auto emit = [&](const unsigned char *from, int n) {
        if (!pieces.empty() && !pieces.back().lineEnd && pieces.back().attr == attr)
            pieces.back().bytes.append((const char *)from, n);
        else {
            ScvPiece piece;
            piece.attr = attr;
            piece.bytes.assign((const char *)from, n);
            pieces.push_back(piece);
        }
    };
    while (p < end) {
        unsigned char b = *p;
        if (b == ESC || (b == FS && end - p >= 2 && p[1] != 'L' && p[1] != 'A' && p[1] != 'V')) {
            int n = Scv_TagLength(p, end);
            if (n >= 3 || (n == 2 && (p[1] == 'z' || p[1] == 'c'))) {
                bool on = n >= 3 && p[2] != '0';
                switch (p[1]) {
                case 'F':
                    if (n == 4)  // the six-byte form names a font of the editor's own table
                        attr.charset = Hex(p + 2, 2);
                    break;
                case 'B': attr.bold = on; break;
                case 'I': attr.italic = on; break;
                case 'U': attr.underline = on; break;
                case 's': attr.subscript = on; break;
                case 'S':
                    if (p[2] == '0' || p[2] == '1')
                        attr.superscript = p[2] == '1';
                    break;
                case 'Z': attr.sizeStep = Hex(p + 2, 1); break;
                case 'z': attr.sizeStep = 3; break;
                case 'C':
                    if (n == 8) {
                        previousColor = attr.color;
                        previousHasColor = attr.hasColor;
                        attr.color = RGB(Hex(p + 2, 2), Hex(p + 4, 2), Hex(p + 6, 2));
                        attr.hasColor = true;
                    }
                    break;
                case 'c':
                    attr.color = previousColor;
                    attr.hasColor = previousHasColor;
                    break;
                }
            }
            p += n > 0 ? n : 1;
            continue;
        }
        if (b == '\r' || b == '\n') {
            p += (b == '\r' && end - p >= 2 && p[1] == '\n') ? 2 : 1;
            ScvPiece piece;
            piece.lineEnd = true;
            piece.attr = attr;
            pieces.push_back(piece);
            continue;
        }
        if (b < 0x20 && b != '\t') {  // other control bytes are not shown
            p++;
            continue;
        }
        int n = Scv_CharLen(attr.charset, p, end);
        emit(p, n);
        p += n;
    }
    return pieces;
}

int Scv_Deliver(const std::string &s, char *out, int outSize) {
    if (out && outSize > 0) {
        size_t n = s.size() < (size_t)outSize - 1 ? s.size() : (size_t)outSize - 1;
        memcpy(out, s.data(), n);
        out[n] = 0;
    }
    return (int)s.size();
}

std::string Scv_Plain(const std::vector<ScvPiece> &pieces, int charset) {
    std::string s;
    for (const ScvPiece &piece : pieces) {
        if (piece.lineEnd) {
            s += '\n';
            continue;
        }
        if (charset == -1 || piece.attr.charset == charset) {
            s += piece.bytes;
            continue;
        }
        // Another charset: keep its 7-bit characters only (a double-byte character goes whole).
        const unsigned char *p = (const unsigned char *)piece.bytes.data(), *end = p + piece.bytes.size();
        while (p < end) {
            int n = Scv_CharLen(piece.attr.charset, p, end);
            if (n == 1 && *p < 0x80)
                s += (char)*p;
            p += n;
        }
    }
    return s;
}
