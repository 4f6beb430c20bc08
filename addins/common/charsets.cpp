// The page charset names of the browser and their Windows charset numbers.
#include "addin_common.h"

namespace {

struct CharsetRow {
    const char *name;
    int charset;
};

// In the browser bar's order; the first row of a number names it.
const CharsetRow kRows[] = {
    {"iso-8859-1", 0},     {"iso-8859-2", 238},   {"iso-8859-3", 162},     {"iso-8859-4", 186},
    {"iso-8859-5", 204},   {"iso-8859-6", 178},   {"iso-8859-7", 161},     {"iso-8859-8", 177},
    {"shift_jis", 128},    {"euc-kr", 129},       {"gb2312", 134},         {"big5", 136},
    {"DIN_66003", 0},      {"NS_4551-1", 0},      {"SEN_850200_B", 0},     {"_autodetect", 128},
    {"csISO2022JP", 128},  {"euc-jp", 128},       {"iso-2022-jp", 128},    {"iso-2022-jp", 128},
    {"shift-jis", 128},    {"x-euc", 128},        {"shift_jis", 128},      {"iso-2022-kr", 129},
    {"_autodetect_kr", 129}, {"ks_c_5601", 129},  {"hz-gb-2312", 134},     {"irv", 0},
    {"windows-1252", 0},   {"ibm852", 238},       {"windows-1250", 238},   {"ibm866", 204},
    {"koi8-r", 204},       {"windows-1251", 204}, {"windows-1253", 161},   {"windows-1254", 162},
    {"windows-1255", 177}, {"windows-1256", 178}, {"windows-1257", 186},   {"windows-1258", 163},
    {"windows-874", 222},  {"unicode", -1},       {"unicodeFEFF", -1},     {"utf-7", -1},
    {"utf-8", -1},
};
static_assert(sizeof kRows / sizeof kRows[0] == 45, "the table has 45 rows");

}  // namespace

int Addin_CharsetFromName(const char *name) {
    if (!name) return 0;
    for (const CharsetRow &row : kRows)
        if (lstrcmpiA(row.name, name) == 0) return row.charset;
    return 0;
}

const char *Addin_CharsetName(int charset) {
    for (const CharsetRow &row : kRows)
        if (row.charset == charset) return row.name;
    return "iso-8859-1";
}
