// Reading RTF into escape-tagged text: a byte-wise reader with a group stack, a font table, and
// a charset tag written each time the charset of the current font changes.
#include "strandkit_int.h"

#include <new>
#include <string.h>
#include <vector>

namespace {

// Why reading stopped (internal; the callers only see the bytes produced up to there).
enum RtfResult {
    kRtfDone = 0,
    kRtfExtraClose = 1,
    kRtfNoMemory = 2,
    kRtfOpenGroups = 3,
    kRtfBadHex = 4,
    kRtfBadKeyword = 5,
    kRtfBadState = 6,
    kRtfEndInControl = 7,
};

enum Kind { kOutput, kDestination, kSpecial, kProperty };
enum Action {
    // output characters
    aPar, aLf, aCr, aTab, aQuote, aOpen, aClose, aBackslash,
    // destinations
    aSkip, aFontTable,
    // specials
    aBin, aStar, aHex,
    // properties
    aFont, aFontCharset, aDefFont, aIgnored,
};

struct Keyword {
    const char *word;
    Kind kind;
    Action action;
};

const Keyword kKeywords[] = {
    {"par", kOutput, aPar}, {"\n", kOutput, aLf}, {"\r", kOutput, aCr}, {"tab", kOutput, aTab},
    {"ldblquote", kOutput, aQuote}, {"rdblquote", kOutput, aQuote}, {"{", kOutput, aOpen},
    {"}", kOutput, aClose}, {"\\", kOutput, aBackslash},

    {"author", kDestination, aSkip}, {"buptim", kDestination, aSkip},
    {"comment", kDestination, aSkip}, {"creatim", kDestination, aSkip},
    {"doccomm", kDestination, aSkip}, {"footer", kDestination, aSkip},
    {"footerf", kDestination, aSkip}, {"footerl", kDestination, aSkip},
    {"footerr", kDestination, aSkip}, {"footnote", kDestination, aSkip},
    {"ftncn", kDestination, aSkip}, {"ftnsep", kDestination, aSkip},
    {"ftnsepc", kDestination, aSkip}, {"header", kDestination, aSkip},
    {"headerf", kDestination, aSkip}, {"headerl", kDestination, aSkip},
    {"headerr", kDestination, aSkip}, {"info", kDestination, aSkip},
    {"keywords", kDestination, aSkip}, {"operator", kDestination, aSkip},
    {"pict", kDestination, aSkip}, {"printim", kDestination, aSkip},
    {"private1", kDestination, aSkip}, {"revtim", kDestination, aSkip},
    {"rxe", kDestination, aSkip}, {"subject", kDestination, aSkip}, {"tc", kDestination, aSkip},
    {"title", kDestination, aSkip}, {"txe", kDestination, aSkip}, {"xe", kDestination, aSkip},
    {"fonttbl", kDestination, aFontTable}, {"stylesheet", kDestination, aSkip},
    {"colortbl", kDestination, aSkip},

    {"bin", kSpecial, aBin}, {"*", kSpecial, aStar}, {"'", kSpecial, aHex},

    {"f", kProperty, aFont}, {"fcharset", kProperty, aFontCharset}, {"deff", kProperty, aDefFont},
    {"pard", kProperty, aIgnored}, {"plain", kProperty, aIgnored}, {"b", kProperty, aIgnored},
    {"ul", kProperty, aIgnored}, {"ulnone", kProperty, aIgnored}, {"i", kProperty, aIgnored},
    {"super", kProperty, aIgnored}, {"sub", kProperty, aIgnored},
    {"nosupersub", kProperty, aIgnored}, {"lang", kProperty, aIgnored},
    {"deflang", kProperty, aIgnored}, {"li", kProperty, aIgnored}, {"ri", kProperty, aIgnored},
    {"fi", kProperty, aIgnored}, {"cols", kProperty, aIgnored}, {"sbknone", kProperty, aIgnored},
    {"sbkcol", kProperty, aIgnored}, {"sbkeven", kProperty, aIgnored},
    {"sbkodd", kProperty, aIgnored}, {"sbkpage", kProperty, aIgnored},
    {"pgnx", kProperty, aIgnored}, {"pgny", kProperty, aIgnored}, {"pgndec", kProperty, aIgnored},
    {"pgnucrm", kProperty, aIgnored}, {"pgnlcrm", kProperty, aIgnored},
    {"pgnucltr", kProperty, aIgnored}, {"pgnlcltr", kProperty, aIgnored},
    {"qc", kProperty, aIgnored}, {"ql", kProperty, aIgnored}, {"qr", kProperty, aIgnored},
    {"qj", kProperty, aIgnored}, {"level", kProperty, aIgnored},
    {"outlinelevel", kProperty, aIgnored}, {"brdrb", kProperty, aIgnored},
    {"paperw", kProperty, aIgnored}, {"paperh", kProperty, aIgnored},
    {"margl", kProperty, aIgnored}, {"margr", kProperty, aIgnored},
    {"margt", kProperty, aIgnored}, {"margb", kProperty, aIgnored},
    {"pgnstart", kProperty, aIgnored}, {"facingp", kProperty, aIgnored},
    {"landscape", kProperty, aIgnored}, {"cf", kProperty, aIgnored},
    {"red", kProperty, aIgnored}, {"green", kProperty, aIgnored}, {"blue", kProperty, aIgnored},
    {"froman", kProperty, aIgnored}, {"fswiss", kProperty, aIgnored},
    {"fs", kProperty, aIgnored}, {"cs", kProperty, aIgnored},
};
static_assert(sizeof(kKeywords) / sizeof(kKeywords[0]) == 99, "99 control words");

enum Destination { kNormal, kSkipped, kFontTableDest };

const size_t kMaxFonts = 256;
const size_t kMaxFontName = 63;
const int kMaxWord = 32;

struct Font {
    int number;
    UINT charset;
    char name[kMaxFontName + 1];
    size_t nameLength;
    bool named;   // the name ended at ';'
};

// What a group keeps and gets back when it closes.
struct Group {
    int font;
    Destination dest;
};

struct Reader {
    const unsigned char *p;
    const unsigned char *end;
    char *out;
    int count = 0;
    RtfResult result = kRtfDone;
    std::vector<Group> stack;
    Group cur = {0, kNormal};
    std::vector<Font> fonts;
    int defining = -1;     // the font-table entry being defined
    UINT tableCharset = 0; // charset of the font being defined (decodes its name)
    UINT outCharset = 0;   // charset of the text written so far (0 before the first tag)
    bool star = false;     // \* seen: an unknown destination that follows is skipped

    void Put(unsigned char b)
    {
        if (out) {
            out[count] = char(b);
        }
        ++count;
    }

    UINT FontCharset(int number) const
    {
        for (const Font &f : fonts) {
            if (f.number == number) {
                return f.charset;
            }
        }
        return 0;
    }

    // The charset that pairs lead and trail bytes: the font being defined inside the font table,
    // the current font elsewhere.
    UINT DecodeCharset() const
    {
        return cur.dest == kFontTableDest ? tableCharset : FontCharset(cur.font);
    }

    // One character of one or two bytes, to wherever the current destination sends it.
    void Emit(const unsigned char *bytes, int n)
    {
        if (cur.dest == kSkipped) {
            return;
        }
        if (cur.dest == kFontTableDest) {
            if (defining < 0) {
                return;
            }
            Font &f = fonts[defining];
            for (int i = 0; i < n && !f.named; ++i) {
                if (bytes[i] == ';') {
                    f.named = true;
                } else if (f.nameLength < kMaxFontName) {
                    f.name[f.nameLength++] = char(bytes[i]);
                    f.name[f.nameLength] = 0;
                }
            }
            return;
        }
        UINT charset = FontCharset(cur.font);
        if (charset != outCharset) {
            static const char kHex[] = "0123456789abcdef";
            Put(STRANDKIT_ESC);
            Put('F');
            Put(kHex[(charset >> 4) & 0xF]);
            Put(kHex[charset & 0xF]);
            outCharset = charset;
        }
        for (int i = 0; i < n; ++i) {
            Put(bytes[i]);
        }
    }

    static int HexDigit(unsigned char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    // Two hexadecimal digits at p; false (and the result) when they are missing or bad.
    bool ReadHex(unsigned char *b)
    {
        if (end - p < 2) {
            result = kRtfEndInControl;
            return false;
        }
        int hi = HexDigit(p[0]), lo = HexDigit(p[1]);
        if (hi < 0 || lo < 0) {
            result = kRtfBadHex;
            return false;
        }
        *b = (unsigned char)(hi * 16 + lo);
        p += 2;
        return true;
    }

    void HexByte()
    {
        unsigned char bytes[2];
        if (!ReadHex(&bytes[0])) {
            return;
        }
        UINT charset = DecodeCharset();
        // A lead byte takes the trail byte of the \'hh that follows it; without one it stands alone.
        if (Strandkit_IsMultiByteCharset(charset) && Strandkit_IsLeadByte(charset, bytes[0]) &&
            end - p >= 4 && p[0] == '\\' && p[1] == '\'' && HexDigit(p[2]) >= 0 &&
            HexDigit(p[3]) >= 0) {
            p += 2;
            ReadHex(&bytes[1]);
            Emit(bytes, 2);
        } else {
            Emit(bytes, 1);
        }
    }

    void OpenGroup()
    {
        try {
            stack.push_back(cur);
        } catch (const std::bad_alloc &) {
            result = kRtfNoMemory;
            return;
        }
        star = false;
    }

    void CloseGroup()
    {
        if (stack.empty()) {
            result = kRtfExtraClose;
            return;
        }
        if (cur.dest == kFontTableDest) {
            defining = -1;
        }
        cur = stack.back();
        stack.pop_back();
        star = false;
    }

    void Run(const Keyword *k, bool hasParam, long param)
    {
        static const unsigned char kCharOf[] = {'\r', '\n', '\r', '\t', '"', '{', '}', '\\'};
        switch (k->kind) {
        case kOutput:
            Emit(&kCharOf[k->action - aPar], 1);
            return;
        case kDestination:
            if (k->action == aFontTable) {
                if (cur.dest != kSkipped) {
                    cur.dest = kFontTableDest;
                }
            } else {
                cur.dest = kSkipped;
            }
            return;
        case kSpecial:
            switch (k->action) {
            case aBin: {
                long n = hasParam && param > 0 ? param : 0;
                p += (n < end - p) ? n : end - p;
                return;
            }
            case aStar: star = true; return;
            case aHex: HexByte(); return;
            default: result = kRtfBadKeyword; return;
            }
        case kProperty:
            switch (k->action) {
            case aFont:
                if (cur.dest == kFontTableDest) {
                    defining = -1;
                    if (fonts.size() < kMaxFonts) {   // fonts beyond the table's size are ignored
                        Font f = {};
                        f.number = int(param);
                        fonts.push_back(f);
                        defining = int(fonts.size()) - 1;
                        tableCharset = 0;
                    }
                } else {
                    cur.font = int(param);
                }
                return;
            case aFontCharset:
                tableCharset = UINT(param) & 0xFF;
                if (cur.dest == kFontTableDest && defining >= 0) {
                    fonts[defining].charset = tableCharset;
                }
                return;
            case aDefFont:
                cur.font = int(param);
                return;
            case aIgnored:
                return;
            default:
                result = kRtfBadKeyword;
                return;
            }
        }
        result = kRtfBadKeyword;
    }

    // A backslash: a control word (letters, an optional '-' and digits, one blank consumed) or
    // a control symbol (one character).
    void Control()
    {
        ++p;   // the backslash
        if (p >= end) {
            result = kRtfEndInControl;
            return;
        }
        char word[kMaxWord + 1];
        int len = 0;
        bool hasParam = false;
        long param = 0;
        if ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')) {
            bool tooLong = false;
            while (p < end && ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z'))) {
                if (len < kMaxWord) {
                    word[len++] = char(*p);
                } else {
                    tooLong = true;
                }
                ++p;
            }
            if (tooLong) {
                len = 0;   // no keyword is that long: unknown
            }
            bool negative = false;
            if (p < end && *p == '-') {
                negative = true;
                ++p;
            }
            while (p < end && *p >= '0' && *p <= '9') {
                hasParam = true;
                if (param < 100000000L) {
                    param = param * 10 + (*p - '0');
                }
                ++p;
            }
            if (negative) {
                param = -param;
            }
            if (p < end && *p == ' ') {
                ++p;
            }
        } else {
            word[len++] = char(*p++);
        }
        word[len] = 0;
        const Keyword *k = nullptr;
        for (const Keyword &kw : kKeywords) {
            if (len > 0 && strcmp(kw.word, word) == 0) {
                k = &kw;
                break;
            }
        }
        bool starred = star;
        star = false;
        if (!k) {
            if (starred) {
                cur.dest = kSkipped;   // an unknown destination marked ignorable
            }
            return;
        }
        Run(k, hasParam, param);
    }

    void Read()
    {
        while (p < end && result == kRtfDone) {
            unsigned char c = *p;
            switch (c) {
            case '{': ++p; OpenGroup(); break;
            case '}': ++p; CloseGroup(); break;
            case '\\': Control(); break;
            case '\r':
            case '\n': ++p; break;
            default: {
                UINT charset = DecodeCharset();
                int n = (Strandkit_IsMultiByteCharset(charset) &&
                         Strandkit_IsLeadByte(charset, c) && end - p >= 2) ? 2 : 1;
                Emit(p, n);
                p += n;
                break;
            }
            }
        }
        if (result == kRtfDone && !stack.empty()) {
            result = kRtfOpenGroups;
        }
        if (result != kRtfDone && result != kRtfOpenGroups) {
            OutputDebugStringA("Strandkit: RTF reading stopped early\n");
        }
    }
};

}  // namespace

extern "C" {

int WINAPI Strandkit_RtfToText(const char *rtf, char *out)
{
    if (!rtf) {
        if (out) {
            *out = 0;
        }
        return 0;
    }
    Reader r;
    r.p = reinterpret_cast<const unsigned char *>(rtf);
    r.end = r.p + strlen(rtf);
    r.out = out;
    r.Read();
    if (out) {
        out[r.count] = 0;
    }
    return r.count;
}

int WINAPI Strandkit_RtfToPlain(int charset, const char *rtf, char *out)
{
    int n = Strandkit_RtfToText(rtf, nullptr);
    char *tagged = static_cast<char *>(LocalAlloc(LMEM_FIXED, n + 1));
    if (!tagged) {
        if (out) {
            *out = 0;
        }
        return 0;
    }
    Strandkit_RtfToText(rtf, tagged);
    int result = Strandkit_StripCharsetTags(charset, tagged, out);
    LocalFree(tagged);
    return result;
}

}  // extern "C"
