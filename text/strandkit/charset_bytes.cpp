// Byte classes of the double-byte charsets, character walks over multi-byte text, the charset and
// code-page tables and the conversions to and from 16-bit text.
#include "strandkit_int.h"

namespace {

inline int InRange(unsigned char b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; }

struct CharsetCodePage {
    UINT charset;
    UINT codePage;
};

const CharsetCodePage kCodePages[] = {
    {128, 932}, {129, 949}, {130, 1361}, {134, 936}, {136, 950}, {161, 1253}, {162, 1254},
    {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 866}, {222, 874}, {238, 1250},
};

struct CharsetLocale {
    UINT charset;
    LCID locale;
};

const CharsetLocale kLocales[] = {
    {0, 1033}, {128, 1041}, {129, 1042}, {134, 2052}, {136, 1028}, {161, 1032}, {162, 1055},
    {163, 1066}, {177, 1037}, {178, 1025}, {204, 1049}, {222, 1054}, {238, 1038},
};

typedef int (*LeadTest)(unsigned char);

int SjisLead(unsigned char b) { return InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC); }
int HangulLead(unsigned char b) { return InRange(b, 0x81, 0xFD); }
int GbLead(unsigned char b) { return InRange(b, 0xA1, 0xFE); }

// Split test over one charset's lead bytes: see Strandkit_IsSplitAt in the header.
int SplitAt(LeadTest lead, const char *text, int byteCount) {
    if (!text) return 0;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    int i = 0;
    while (p[i] && i < byteCount) {
        if (lead(p[i])) {
            if (i + 1 == byteCount) return 2;
            if (!p[i + 1]) {  // a lead byte before the NUL is a character of its own
                i += 1;
                break;
            }
            i += 2;
        } else {
            i += 1;
        }
    }
    return lead(p[i]) ? 1 : 0;
}

// Byte offset after at most n characters; lead is null for a single-byte charset.
int Offset(LeadTest lead, const char *text, int n) {
    if (!text) return 0;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    int i = 0;
    for (int k = 0; k < n && p[i]; ++k) i += (lead && lead(p[i]) && p[i + 1]) ? 2 : 1;
    return i;
}

LeadTest LeadFor(UINT charset) {
    switch (charset) {
    case 128: return SjisLead;
    case 129: return HangulLead;
    case 134:
    case 136: return GbLead;
    default: return nullptr;
    }
}

}  // namespace

int StrandkitInt_HasByteClasses(UINT charset) { return LeadFor(charset) != nullptr; }

int StrandkitInt_IsLead(UINT charset, unsigned char b) {
    LeadTest lead = LeadFor(charset);
    return lead ? lead(b) : 0;
}

int StrandkitInt_CharLen(UINT charset, const char *p) {
    const unsigned char *u = reinterpret_cast<const unsigned char *>(p);
    if (!u[0]) return 0;
    return (StrandkitInt_IsLead(charset, u[0]) && u[1]) ? 2 : 1;
}

LCID StrandkitInt_CharsetLocale(UINT charset) {
    for (const CharsetLocale &e : kLocales)
        if (e.charset == charset) return e.locale;
    return 0;
}

extern "C" {

int WINAPI Strandkit_SjisIsKana(BYTE b) { return InRange(b, 0xA0, 0xDF); }
int WINAPI Strandkit_SjisIsLeadByte(BYTE b) { return SjisLead(b); }
int WINAPI Strandkit_SjisIsTrailByte(BYTE b) { return InRange(b, 0x40, 0xFC); }
int WINAPI Strandkit_HangulIsLeadByte(BYTE b) { return HangulLead(b); }
int WINAPI Strandkit_HangulIsTrailByte(BYTE b) { return InRange(b, 0x41, 0xFE); }
int WINAPI Strandkit_GbIsLeadByte(BYTE b) { return GbLead(b); }
int WINAPI Strandkit_Big5IsTrailByte(BYTE b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0xA1, 0xFE); }
int WINAPI Strandkit_NoKana(BYTE) { return 0; }

int WINAPI Strandkit_IsKana(UINT charset, BYTE b) { return charset == 128 ? Strandkit_SjisIsKana(b) : 0; }

int WINAPI Strandkit_IsLeadByte(UINT charset, BYTE b) { return StrandkitInt_IsLead(charset, b); }

int WINAPI Strandkit_IsTrailByte(UINT charset, BYTE b) {
    switch (charset) {
    case 128: return Strandkit_SjisIsTrailByte(b);
    case 129: return Strandkit_HangulIsTrailByte(b);
    case 134: return GbLead(b);
    case 136: return Strandkit_Big5IsTrailByte(b);
    default: return 0;
    }
}

int WINAPI Strandkit_SjisIsSplitAt(const char *text, int byteCount) { return SplitAt(SjisLead, text, byteCount); }
int WINAPI Strandkit_HangulIsSplitAt(const char *text, int byteCount) { return SplitAt(HangulLead, text, byteCount); }
int WINAPI Strandkit_GbIsSplitAt(const char *text, int byteCount) { return SplitAt(GbLead, text, byteCount); }

int WINAPI Strandkit_IsSplitAt(UINT charset, const char *text, int byteCount) {
    LeadTest lead = LeadFor(charset);
    return lead ? SplitAt(lead, text, byteCount) : 0;
}

int WINAPI Strandkit_SjisCharOffset(const char *text, int n) { return Offset(SjisLead, text, n); }
int WINAPI Strandkit_HangulCharOffset(const char *text, int n) { return Offset(HangulLead, text, n); }
int WINAPI Strandkit_GbCharOffset(const char *text, int n) { return Offset(GbLead, text, n); }
int WINAPI Strandkit_CharOffset(UINT charset, const char *text, int n) { return Offset(LeadFor(charset), text, n); }

int WINAPI Strandkit_IsMultiByteCharset(UINT charset) { return StrandkitInt_HasByteClasses(charset); }

int WINAPI Strandkit_IsFarEastCharset(UINT charset) {
    return charset == 130 || StrandkitInt_HasByteClasses(charset);
}

int WINAPI Strandkit_CountChars(UINT charset, const char *text) {
    if (!text) return 0;
    int count = 0;
    for (int len; (len = StrandkitInt_CharLen(charset, text)) != 0; text += len) ++count;
    return count;
}

int WINAPI Strandkit_CountCharsInBytes(UINT charset, const char *text, int byteLength) {
    if (!text) return 0;
    int count = 0;
    for (int i = 0, len; i < byteLength && (len = StrandkitInt_CharLen(charset, text + i)) != 0; i += len) ++count;
    return count;
}

int WINAPI Strandkit_CharsToBytes(UINT charset, const char *text, int count) {
    if (!text) return 0;
    if (count == -1) count = lstrlenA(text);  // one byte or more per character: ends at the NUL
    int i = 0;
    for (int k = 0, len; k < count && (len = StrandkitInt_CharLen(charset, text + i)) != 0; ++k) i += len;
    return i;
}

int WINAPI Strandkit_CharsToBytesEx(UINT charset, const char *text, int count) {
    return Strandkit_CharsToBytes(charset, text, count);
}

UINT WINAPI Strandkit_CharsetToCodePage(UINT charset) {
    for (const CharsetCodePage &e : kCodePages)
        if (e.charset == charset) return e.codePage;
    return 1252;
}

UINT WINAPI Strandkit_CodePageToCharset(UINT codePage) {
    for (const CharsetCodePage &e : kCodePages)
        if (e.codePage == codePage) return e.charset;
    return 0;
}

int WINAPI Strandkit_WideToMultiByte(UINT charset, const WCHAR *wide, int wideCount, char *out, int outSize) {
    // Unmappable characters take the code page's default character: a zero byte would cut the
    // NUL-terminated result short.
    return WideCharToMultiByte(Strandkit_CharsetToCodePage(charset), 0, wide, wideCount, out, outSize,
                               nullptr, nullptr);
}

int WINAPI Strandkit_MultiByteToWide(UINT charset, const char *text, int byteCount, WCHAR *out, int outCount) {
    return MultiByteToWideChar(Strandkit_CharsetToCodePage(charset), 0, text, byteCount, out, outCount);
}

}  // extern "C"
