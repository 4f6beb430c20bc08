// Line-break classes of one character and the break index of a line that is too wide.
//
// Classes: SCRIVEL_BREAK_AFTER (a line may break after it), SCRIVEL_BREAK_NOEND (an opening
// character: the break goes before it), SCRIVEL_BREAK_NOSTART (a closing character: the break
// goes after it).  The Shift-JIS double-byte lists are kept as code-page 932 codes, both codes
// where the code page holds a character twice (row 2 and the row-13 extensions).
#include "scrivel_int.h"
#include "wordstrand.h"
#include <cstring>

namespace {

const unsigned char kWesternAfter[] = {' ', '"', '\'', '=', '|', 0xA0};
const unsigned char kWesternNoEnd[] = {'(', '[', '{', 0x86, 0x87, 0x8B, 0x91, 0x93, 0xA1, 0xA3,
                                       0xA5, 0xA7, 0xAB, 0xB1, 0xB6, 0xBF};
const unsigned char kWesternNoStart[] = {'!', ')', ',', '.', ':', ';', '?', ']', '}', 0x80, 0x82,
                                         0x84, 0x85, 0x89, 0x92, 0x94, 0x95, 0x99, 0x9B, 0xAE,
                                         0xB2, 0xB3, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE};

// Opening characters: quotes and brackets, currency and reference marks, mathematical signs,
// circled numbers, and the row-13 signs with their row-2 twins.
const unsigned short kSjisNoEnd[] = {
    0x8165, 0x8167, 0x8169, 0x816B, 0x816D, 0x816F, 0x8171, 0x8173, 0x8175, 0x8177, 0x8179,
    0x818F, 0x8190, 0x8191, 0x8192, 0x8198, 0x81A6, 0x81A7, 0x81DA, 0x81DB, 0x81DD, 0x81DE,
    0x81E3, 0x81E4, 0x81E5, 0x81E6, 0x81E7, 0x81E8, 0x81F5, 0x81F6, 0x81F7, 0x8740, 0x8741,
    0x8742, 0x8743, 0x8744, 0x8745, 0x8746, 0x8747, 0x8748, 0x8749, 0x874A, 0x874B, 0x874C,
    0x874D, 0x874E, 0x874F, 0x8750, 0x8751, 0x8752, 0x8753, 0x877E, 0x8782, 0x8783, 0x8784,
    0x8793, 0x8794, 0x8795, 0x8796, 0x8797, 0x8798, 0x8799, 0x879A,
};
// Closing characters: punctuation, sound marks, iteration marks, the long vowel, closing quotes
// and brackets, units and the squared unit words.
const unsigned short kSjisNoStart[] = {
    0x8141, 0x8142, 0x8143, 0x8144, 0x8146, 0x8147, 0x8148, 0x8149, 0x814A, 0x814B, 0x814C,
    0x814D, 0x814E, 0x8152, 0x8153, 0x8154, 0x8155, 0x8156, 0x8158, 0x815B, 0x8166, 0x8168,
    0x816A, 0x816C, 0x816E, 0x8170, 0x8172, 0x8174, 0x8176, 0x8178, 0x817A, 0x818C, 0x818D,
    0x818E, 0x8193, 0x81F0, 0x81F1, 0x875F, 0x8760, 0x8761, 0x8762, 0x8763, 0x8764, 0x8765,
    0x8766, 0x8767, 0x8768, 0x8769, 0x876A, 0x876B, 0x876C, 0x876D, 0x876E, 0x876F, 0x8770,
    0x8771, 0x8772, 0x8773, 0x8774, 0x8775,
};

bool InBytes(const unsigned char *list, size_t n, unsigned char b) {
    for (size_t i = 0; i < n; ++i)
        if (list[i] == b) return true;
    return false;
}

bool InCodes(const unsigned short *list, size_t n, unsigned code) {
    for (size_t i = 0; i < n; ++i)
        if (list[i] == code) return true;
    return false;
}

int WesternClass(unsigned char b) {
    if (InBytes(kWesternAfter, sizeof(kWesternAfter), b)) return SCRIVEL_BREAK_AFTER;
    if (InBytes(kWesternNoEnd, sizeof(kWesternNoEnd), b)) return SCRIVEL_BREAK_NOEND;
    if (InBytes(kWesternNoStart, sizeof(kWesternNoStart), b)) return SCRIVEL_BREAK_NOSTART;
    return 0;
}

const TextAttribute *CellAttr(const EditorDocument *doc, const CharCell &c) { return doc->attrs[c.attr]; }

bool IsText(const EditorDocument *doc, const CharCell &c) { return CellAttr(doc, c)->type == 0 && c.ch[0]; }
bool IsDouble(const CharCell &c) { return c.ch[0] && c.ch[1]; }

unsigned Code(const CharCell &c) {
    unsigned char a = static_cast<unsigned char>(c.ch[0]), b = static_cast<unsigned char>(c.ch[1]);
    return IsDouble(c) ? (a << 8) | b : a;
}

// The cell may not start (kind 6) / end (kind 7) a line.
bool Forbidden(const EditorDocument *doc, const CharCell &c, int kind) {
    if (!IsText(doc, c)) return false;
    int cs = CellAttr(doc, c)->charset;
    if (cs == 0) return false;
    int cls = ScrivelBreak_Class(cs, c.ch);
    if (kind == 6 && (cls & SCRIVEL_BREAK_NOSTART)) return true;
    if (kind == 7 && (cls & SCRIVEL_BREAK_NOEND)) return true;
    return Wordstrand_GetCharClass(cs, kind, Code(c)) != 0;
}

}  // namespace

int ScrivelBreak_Class(int charset, const char *ch) {
    unsigned char a = static_cast<unsigned char>(ch[0]);
    unsigned char b = static_cast<unsigned char>(ch[1]);
    if (!a) return 0;
    bool dbl = b != 0;
    if (charset == 0) return dbl ? 0 : WesternClass(a);
    if (charset == 128) {
        if (dbl) {
            unsigned code = (a << 8) | b;
            if (InCodes(kSjisNoEnd, sizeof(kSjisNoEnd) / sizeof(kSjisNoEnd[0]), code)) return SCRIVEL_BREAK_NOEND;
            if (InCodes(kSjisNoStart, sizeof(kSjisNoStart) / sizeof(kSjisNoStart[0]), code))
                return SCRIVEL_BREAK_NOSTART;
            return 0;
        }
        if (a < 0x80) return WesternClass(a);
        if (a == 0xA2) return SCRIVEL_BREAK_NOEND;
        if ((a >= 0xA3 && a <= 0xA5) || (a >= 0xA7 && a <= 0xB0) || a == 0xDE || a == 0xDF)
            return SCRIVEL_BREAK_NOSTART;
        return 0;
    }
    if (charset == 129 || charset == 130) return (!dbl && a == ' ') ? SCRIVEL_BREAK_AFTER : 0;
    return 0;
}

int ScrivelBreak_Index(const EditorDocument *doc, const CharCell *cells, int count, int x0, int limit) {
    if (count <= 0) return 0;
    // n: the first cell that carries the sum past the limit.
    int sum = x0;
    int n = 0;
    while (n < count && sum + cells[n].width <= limit) {
        sum += cells[n].width;
        ++n;
    }
    if (n >= count) return count;
    int k = -1;
    for (int j = n; j >= 0 && k < 0; --j) {
        const CharCell &c = cells[j];
        const TextAttribute *a = CellAttr(doc, c);
        if (a->type == 1) {
            k = j > 1 ? j : 1;
            break;
        }
        if (!IsText(doc, c)) continue;
        int cs = a->charset;
        if (IsDouble(c)) {
            if (cs != 129 && cs != 130 && !(ScrivelBreak_Class(cs, c.ch) & SCRIVEL_BREAK_NOEND)) k = n;
            continue;
        }
        if (j > 0) {
            const CharCell &p = cells[j - 1];
            int pcs = CellAttr(doc, p)->charset;
            if (IsText(doc, p) && IsDouble(p) && pcs != 129 && pcs != 130) {
                k = j;
                break;
            }
        }
        int cls = ScrivelBreak_Class(cs, c.ch);
        if (cls == SCRIVEL_BREAK_AFTER || cls == SCRIVEL_BREAK_NOSTART) k = j + 1;
        else if (cls == SCRIVEL_BREAK_NOEND) k = j > 1 ? j : 1;
    }
    if (k < 0) k = n;
    if (k < 1) k = 1;
    // Line-start and line-end rules.
    while (k > 1 && k < count && Forbidden(doc, cells[k], 6)) --k;
    while (k > 1 && Forbidden(doc, cells[k - 1], 7)) --k;
    return k;
}
