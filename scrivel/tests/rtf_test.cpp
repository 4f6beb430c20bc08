// RTF reader and writer, their round trip over generated documents, and document files.
#include "fixture.h"
#include <cstdio>
#include <cstring>
#include <random>

using fx::Doc;

namespace {

const std::string E = "\033";
const std::string kJaTable = "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset128 X;}}";

TEST(RtfRead, Table) {
    const struct {
        std::string rtf, tagged;
    } cases[] = {
        // A bold group then plain text: the pop restores bold 0 before the next character.
        {"{\\rtf1 {\\b bold} plain}", E + "B1" + E + "Z3bold" + E + "B0 plain"},
        // Two hex escapes after a font table whose last font is Shift-JIS: one character.
        {"{\\rtf1" + kJaTable + "\\f1\\'82\\'a0}", E + "F80" + E + "Z3\x82\xa0"},
        {"{\\rtf1\\fs36 a\\fs16 b\\fs24 c\\fs20 d}", E + "Z5a" + E + "Z1b" + E + "Z3c" + E + "Z2d"},
        // A group of an unknown starred keyword is dropped, an unknown keyword alone is not.
        {"{\\rtf1 a{\\*\\unknown x}b{\\unknown y}c}", E + "Z3abyc"},
        {"{\\rtf1 a\\par\nb\\tab c\\ldblquote}", E + "Z3a\rb\tc\""},
        {"{\\rtf1 \\{\\}\\\\}", E + "Z3{}\\"},
        {"{\\rtf1 \\bin3 {}\\x}", E + "Z3{}\\x"},
        // Counted bytes never go past the end of the text.
        {"{\\rtf1 a\\bin999 xy", E + "Z3axy"},
        {"{\\rtf1 a\\bin-5 b}", E + "Z3ab"},
        // Damage stops the conversion with what was made so far.
        {"{\\rtf1 a\\'zzb}", E + "Z3a"},
        {"{\\rtf1 a}}b", E + "Z3a"},
        {"{\\rtf1 abc", E + "Z3abc"},
        {"{\\rtf1 a\\", E + "Z3a"},
        // Values beyond on/off give tags the tag reader reads back; levels are one digit.
        {"{\\rtf1\\b2\\ul5\\super2\\outlinelevel12 x\\b0\\nosupersub y}",
         E + "B1" + E + "U1" + E + "S1" + E + "L9" + E + "Z3x" + E + "B0" + E + "S0y"},
        {"{\\rtf1\\sub\\i x\\plain y}", E + "I1" + E + "s1" + E + "Z3x" + E + "I0" + E + "s0y"},
        // Shift-JIS trail bytes that RTF writes as control symbols, and raw double bytes.
        {"{\\rtf1" + kJaTable + "\\f1\\'95\\\\\\'83\\{\\'81\\}\\'83}",
         E + "F80" + E + "Z3\x95\\\x83{\x81}\x83"},
        {"{\\rtf1" + kJaTable + "\\f1 \x95\\\x83{}", E + "F80" + E + "Z3\x95\\\x83{"},
        // Faces and charsets: the phonetic face, a font without a charset of its own, 51/52.
        {"{\\rtf1{\\fonttbl{\\f0\\froman\\fcharset0 rizozedivova;}{\\f1\\fcharset1 Y;}{\\f2\\fcharset52 Z;}}"
         "\\f0 a\\f1 b\\f2 c}",
         E + "F02" + E + "S3" + E + "Z3a" + E + "F01FFb" + "c"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(fx::Hex(fx::RtfToTagged(c.rtf)), fx::Hex(c.tagged)) << c.rtf;
    }
    // The export gives the same text.
    const char *rtf = "{\\rtf1 {\\b bold} plain}";
    int n = Scrivel_RtfToText(rtf, nullptr);
    std::vector<char> buf(n + 4);
    ASSERT_EQ(Scrivel_RtfToText(rtf, buf.data()), n);
    EXPECT_EQ(std::string(buf.data()), fx::RtfToTagged(rtf));
    EXPECT_EQ(Scrivel_RtfToText(nullptr, nullptr), 0);
}

TEST(RtfWrite, FontsStylesAndBytes) {
    Doc doc;
    // Japanese "a i u" with the middle one bold, then Western text with a backslash and e-acute.
    ASSERT_EQ(fx::Read(doc, E + "F80\x82\xa0" + E + "B1\x82\xa2" + E + "B0\x82\xa4\r" + E + "F00a\\b\xe9{}\t" +
                                E + "L2x\r"),
              2);
    std::string rtf = fx::WriteRtf(doc);
    char acp[64];
    std::snprintf(acp, sizeof(acp), "{\\rtf1\\ansi\\ansicpg%u\\deff0\\deftab720\n{\\fonttbl", GetACP());
    EXPECT_EQ(rtf.find(acp), 0u) << rtf;
    EXPECT_NE(rtf.find("\n{\\f0\\froman\\fcharset128 MS UI Gothic;}\n{\\f1\\froman\\fcharset0 Times New Roman;}}\n"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\deflang1041\\horzdoc\\pard\\nowwrap\\nooverflow\\fs24 \n"), std::string::npos);
    EXPECT_NE(rtf.find("\\outlinelevel0 \\f0\\lang1041\\fs24\\b0\\i0\\ul0\\nosupersub \\'82\\'a0\\b \\'82\\'a2\\b0 \\'82\\'a4\\par\n"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\outlinelevel2 \\f1\\lang1033 a\\\\b\\'e9\\{\\}\\tab x\\par\n}"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.find("\\fs-"), std::string::npos);

    // Read back: the same cells.
    Doc back;
    ASSERT_EQ(fx::Read(back, fx::RtfToTagged(rtf)), 2);
    EXPECT_EQ(fx::Lines(back), fx::Lines(doc));

    Doc empty;
    ScrivelRange r;
    ScrivelDoc_WholeRange(empty, &r);
    char *buf = nullptr;
    int len = 0;
    EXPECT_EQ(ScrivelRtf_Write(empty, &r, &buf, &len), SCRIVEL_E_EMPTY);
}

// Tagged documents made only of what RTF carries: charsets, size steps, bold, italic,
// underline, superscript or subscript, tabs, paragraphs and levels, with Shift-JIS characters
// whose trail bytes are 0x5C, 0x7B and 0x7D.
std::string RtfDocument(std::mt19937 &rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    static const char *sjis[] = {"\x95\x5c", "\x83\x5c", "\x81\x7b", "\x83\x7d", "\x82\xa0", "\xb1", "{", "}", "\\"};
    // (No lone line feed: after a paragraph end RTF's CR and the LF read as one CR LF.)
    static const char *west[] = {"a", "Z", " ", "\\", "{", "}", "\xe9", "\xa0", "(", ")", "\x01"};
    static const int charsets[] = {0, 128, 129, 134, 136, 2};
    std::string s;
    int runs = 1 + pick(20);
    char tag[16];
    for (int r = 0; r < runs; ++r) {
        int cs = charsets[pick(6)];
        std::snprintf(tag, sizeof(tag), "\033F%02X\033Z%d", cs, 1 + pick(5));
        s += tag;
        if (pick(2)) s += pick(2) ? "\033B1" : "\033B0";
        if (pick(3) == 0) s += pick(2) ? "\033I1" : "\033I0";
        if (pick(3) == 0) s += pick(2) ? "\033U1" : "\033U0";
        if (pick(4) == 0) s += pick(2) ? "\033S1\033s0" : "\033S0\033s1";
        if (pick(5) == 0) s += "\033S0\033s0";
        if (pick(6) == 0) {
            std::snprintf(tag, sizeof(tag), "\033L%d", pick(10));
            s += tag;
        }
        int n = pick(8);
        for (int i = 0; i < n; ++i) {
            int what = pick(12);
            if (what == 0) s += "\r\n";
            else if (what == 1) s += "\t";
            else if (cs == 128) s += sjis[pick(9)];
            else if (cs == 129 || cs == 134 || cs == 136) {
                s += static_cast<char>(0xB0 + pick(0x18));
                s += static_cast<char>(0xA1 + pick(0x5D));
            } else s += west[pick(11)];
        }
    }
    return s;
}

TEST(RtfRoundTrip, GeneratedDocumentsAreStable) {
    std::mt19937 rng(8101);
    for (int round = 0; round < 300; ++round) {
        std::string src = RtfDocument(rng);
        Doc d1;
        if (fx::Read(d1, src) == 0) continue;  // only tags
        std::string rtf1 = fx::WriteRtf(d1);
        Doc d2;
        ASSERT_GE(fx::Read(d2, fx::RtfToTagged(rtf1)), 1) << rtf1;
        ASSERT_EQ(fx::Cells(d2), fx::Cells(d1)) << "source " << fx::Hex(src) << "\nrtf " << rtf1;
        std::string rtf2 = fx::WriteRtf(d2);
        Doc d3;
        ASSERT_GE(fx::Read(d3, fx::RtfToTagged(rtf2)), 1);
        ASSERT_EQ(fx::WriteRtf(d3), rtf2) << fx::Hex(src);
    }
}

// ---- Files ---------------------------------------------------------------------------------------

std::string ReadAll(const char *path) {
    std::string s;
    FILE *f = std::fopen(path, "rb");
    if (!f) return "<none>";
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) s.append(buf, n);
    std::fclose(f);
    return s;
}

void WriteAll(const char *path, const std::string &s) {
    FILE *f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(s.data(), 1, s.size(), f);
    std::fclose(f);
}

TEST(Files, SaveAndLoad) {
    const char *tagged = "doc_tagged.txt";
    const char *rtf = "doc_rtf.rtf";
    Doc doc;
    EXPECT_EQ(ScrivelDoc_SaveFile(doc, tagged, SCRIVEL_FORMAT_TAGGED), SCRIVEL_E_EMPTY);
    EXPECT_EQ(GetFileAttributesA(tagged), INVALID_FILE_ATTRIBUTES);
    EXPECT_STREQ(doc->name, "New.txt");

    std::string src = E + "F80\x82\xa0\x95\x5c" + E + "B1bold\tx\r\n" + E + "L1" + E + "AD0#i" + E + "Adend";
    ASSERT_EQ(fx::Read(doc, src), 2);
    std::string cells = fx::Cells(doc);
    ASSERT_EQ(ScrivelDoc_SaveFile(doc, tagged, SCRIVEL_FORMAT_TAGGED), SCRIVEL_OK);
    EXPECT_STREQ(doc->name, tagged);
    std::string saved = ReadAll(tagged);
    EXPECT_EQ(saved.back(), '\0');  // the file ends with the text's 0 byte
    ASSERT_EQ(ScrivelDoc_SaveFile(doc, rtf, SCRIVEL_FORMAT_RTF), SCRIVEL_OK);
    EXPECT_EQ(doc->format, SCRIVEL_FORMAT_RTF);

    Doc loaded;
    ASSERT_EQ(ScrivelDoc_LoadFile(loaded, tagged, SCRIVEL_FORMAT_TAGGED), SCRIVEL_OK);
    EXPECT_EQ(fx::Cells(loaded), cells);  // the final 0 byte adds no cell
    EXPECT_STREQ(loaded->name, tagged);

    Doc fromRtf;
    ASSERT_EQ(ScrivelDoc_LoadFile(fromRtf, rtf, SCRIVEL_FORMAT_RTF), SCRIVEL_OK);
    EXPECT_EQ(fx::Lines(fromRtf), "\x82\xa0\x95\x5c" "bold\tx|end/");  // RTF keeps no objects
    EXPECT_EQ(fromRtf->format, SCRIVEL_FORMAT_RTF);

    // RTF read as tagged text shows its source.
    Doc asText;
    ASSERT_EQ(ScrivelDoc_LoadFile(asText, rtf, SCRIVEL_FORMAT_TAGGED), SCRIVEL_OK);
    EXPECT_EQ(fx::LineText(asText, 0).substr(0, 6), "{\\rtf1");

    // A plain editor keeps charset tags only.
    ScrivelDocParams p = {};
    p.style = SCRIVEL_WS_PLAIN;
    p.langId = 0x0411;
    p.measurer = ScrivelMeasure_NewFixed(8, -1);
    EditorDocument *plain = nullptr;
    ASSERT_EQ(ScrivelDoc_Create(&p, &plain), SCRIVEL_OK);
    ASSERT_EQ(ScrivelDoc_LoadFile(plain, tagged, SCRIVEL_FORMAT_TAGGED), SCRIVEL_OK);
    for (int l = 0; l < plain->lineCount; ++l)
        for (int c = 0; c < plain->lines[l]->count; ++c)
            EXPECT_EQ(plain->attrs[plain->lines[l]->cells[c].attr]->style & SCRIVEL_STYLE_BOLD, 0);
    ScrivelDoc_Destroy(plain);

    // Failures.
    Doc other;
    ASSERT_EQ(fx::Read(other, "keep"), 1);
    EXPECT_EQ(ScrivelDoc_LoadFile(other, "no_such_file.txt", SCRIVEL_FORMAT_TAGGED), SCRIVEL_E_OPEN);
    EXPECT_EQ(fx::LineText(other, 0), "keep");
    WriteAll("empty.txt", "");
    EXPECT_EQ(ScrivelDoc_LoadFile(other, "empty.txt", SCRIVEL_FORMAT_TAGGED), SCRIVEL_OK);
    EXPECT_STREQ(other->name, "New.txt");
    EXPECT_EQ(fx::LineText(other, 0), "keep");
    EXPECT_EQ(ScrivelDoc_SaveFile(other, "no_such_dir\\x.txt", SCRIVEL_FORMAT_TAGGED), SCRIVEL_E_CREATE);
    EXPECT_STREQ(other->name, "no_such_dir\\x.txt");
    HANDLE locked = CreateFileA(tagged, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ScrivelDoc_LoadFile(other, tagged, SCRIVEL_FORMAT_TAGGED), SCRIVEL_E_OPEN);
    CloseHandle(locked);
    DeleteFileA(tagged);
    DeleteFileA(rtf);
    DeleteFileA("empty.txt");
}

TEST(Files, SetTextDropsLineFeeds) {
    Doc doc;
    ASSERT_EQ(ScrivelDoc_SetText(doc, "one\r\ntwo\nthree"), 2);
    EXPECT_EQ(fx::Lines(doc), "one|twothree/");
    EXPECT_EQ(ScrivelDoc_SetText(doc, nullptr), SCRIVEL_E_EMPTY);
}

}  // namespace

namespace {

TEST(RtfRead, RandomBytesStopCleanly) {
    std::mt19937 rng(8103);
    const char alphabet[] = "{}\\\\\\'*abfinpsu0123456789 -;\r\n\x82\x95\xa0";
    for (int round = 0; round < 500; ++round) {
        std::string rtf = "{\\rtf1";
        if (round % 2) rtf += "{\\fonttbl{\\f0\\fcharset128 X;}}";
        int n = static_cast<int>(rng() % 120);
        for (int i = 0; i < n; ++i) rtf += alphabet[rng() % (sizeof(alphabet) - 1)];
        std::string tagged = fx::RtfToTagged(rtf);  // the size query equals the written length
        Doc doc;
        EXPECT_GE(fx::Read(doc, tagged), 0);
    }
}

}  // namespace
