// Books through the engine: the catalogue's records, searches from a key over both indexes, entry
// texts converted code by code (a table, worst-case expansions included), gaiji glyphs chosen by
// height, sound and picture export with their headers, and damaged books.
#include <gtest/gtest.h>
#include "bookfix.h"
#include "testkit.h"

using bookfix::J;
using kit::Mode;

namespace {

const DWORD kBookId = 0xD001;
const std::string ESC = "\x1b";

std::string S(const char *bytes, size_t n) { return std::string(bytes, n); }

struct BookEnv {
    kit::Sandbox box;
    bookfix::Layout layout;
    std::string path;
    BookEnv(const std::vector<bookfix::Entry> &entries, const std::string &media = "",
            const std::string &name = "Test Book", WORD language = 0x0100)
        : box("book", Mode::File) {
        path = box.Path("book\\data.bk");
        CreateDirectoryA(box.Path("book").c_str(), nullptr);
        kit::WriteAll(path, bookfix::Build(entries, media, &layout));
        kit::Register(kBookId, path, name, 1, language);
    }
    bool Start() { return Lexicore_Init("VLBK", 0) != 0; }
    // The converted entry text at a text position.
    std::string Text(uint32_t pos) {
        VLDataItem item;
        memset(&item, 0, sizeof item);
        item.head.fileId = kBookId;
        item.head.textPos = pos;
        VLData data;
        memset(&data, 0, sizeof data);
        if (!Lexicore_ReadEntryText(&item, &data)) return "<failed>";
        std::string r(data.data1, data.len1 - 1);
        EXPECT_EQ(data.kind, 1u);
        EXPECT_EQ(data.data1[data.len1 - 1], 0);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        return r;
    }
};

std::vector<bookfix::Entry> Fruits() {
    auto e = [](const char *key, const char *body, bool grouped = false) {
        bookfix::Entry x;
        x.key = key;
        x.body = J(body);
        x.grouped = grouped;
        return x;
    };
    return {e("apple", "a fruit"), e("Banana", "yellow"), e("cherry", "red fruit"), e("date", "palm"),
            e("egg", "from a hen"), e("egg", "to urge", true), e("fig", "tree")};
}

struct Seen {
    std::vector<std::string> words;
    std::vector<VLDataItem *> items;
    int stopAfter = 1000;
    ~Seen() {
        for (VLDataItem *i : items) VLDataItem_Destroy(i);
    }
};

int CALLBACK Collect(VLDataItem *item, int flag, void *user) {
    Seen *s = (Seen *)user;
    EXPECT_EQ(flag, 1);
    s->words.push_back(item->headword);
    s->items.push_back(VLDataItem_Dup(item));
    return (int)s->words.size() >= s->stopAfter ? LEXICORE_ITEM_FULL : LEXICORE_ITEM_ADDED;
}

std::string Join(const std::vector<std::string> &v) {
    std::string r;
    for (const std::string &s : v) r += (r.empty() ? "" : " ") + s;
    return r;
}

// ---- Catalogue, search and reading through sessions ---------------------------------------------

TEST(BookTest, RecordsSearchAndTextThroughTheEngine) {
    BookEnv env(Fruits());
    ASSERT_TRUE(env.Start());
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(kBookId, &info));
    EXPECT_EQ(info.kind, 4u);
    EXPECT_EQ(info.charset, 128u);
    EXPECT_EQ(info.language, 0x0100);
    EXPECT_EQ(info.languageCount, 2u);
    EXPECT_EQ(info.languages[0], 0x0400);
    EXPECT_EQ(info.languages[1], 0x0100);
    EXPECT_EQ(info.status & DICSTATUS_BAD, 0u);

    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, kBookId << 8, FALSE));
    // A key finds every entry at or above it, case ignored, the group's members each.
    Seen all;
    EXPECT_EQ(Lexicore_Search(s, "b", 0, Collect, &all), 1);
    EXPECT_EQ(Join(all.words), "Banana cherry date egg egg fig");
    ASSERT_EQ(all.items.size(), 6u);
    EXPECT_EQ(all.items[1]->head.textPos, env.layout.textPos[2]);
    EXPECT_EQ(all.items[1]->head.entryNo, env.layout.headPos[2]);
    EXPECT_EQ(all.items[1]->head.fileId, kBookId);
    EXPECT_EQ(all.items[1]->language, 0x0100);
    EXPECT_EQ(all.items[3]->head.textPos, env.layout.textPos[4]);
    EXPECT_EQ(all.items[4]->head.textPos, env.layout.textPos[5]);
    // An answer of 4 ends the walk; a key past every entry finds nothing.
    Seen one;
    one.stopAfter = 1;
    Lexicore_Search(s, "CH", 0, Collect, &one);
    EXPECT_EQ(Join(one.words), "cherry");
    Seen none;
    Lexicore_Search(s, "zz", 0, Collect, &none);
    EXPECT_TRUE(none.words.empty());

    // The entry text of a found item, read with and without the session.
    EXPECT_EQ(env.Text(all.items[1]->head.textPos), ESC + "F00cherry\rred fruit");
    VLData data;
    memset(&data, 0, sizeof data);
    ASSERT_TRUE(Lexicore_ReadEntryTextEx(s, all.items[3], &data));
    EXPECT_STREQ(data.data1, (ESC + "F00egg\rfrom a hen").c_str());
    VLMem_Free(data.data1);

    // The backward index: reversed keys, found from the end of the key.
    EXPECT_EQ(Lexicore_SelectIndex(s, 1), 1);
    Seen back;
    back.stopAfter = 1;
    Lexicore_Search(s, "RRY", 0, Collect, &back);
    EXPECT_EQ(Join(back.words), "cherry");
    Lexicore_SelectIndex(s, 0);

    // Locate sets no position; items by text position; the index's extent.
    LONG pos = 77;
    EXPECT_TRUE(Lexicore_Locate(s, "apple", 0, &pos));
    EXPECT_EQ(pos, 77);
    VLDataItem *item = Lexicore_GetItem(s, (LONG)env.layout.textPos[0]);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->head.textPos, env.layout.textPos[0]);
    VLDataItem_Destroy(item);
    EXPECT_EQ(Lexicore_GetItem(s, 0x7FFFFFF0), nullptr);
    // No text stands in the directory or the indexes.
    EXPECT_EQ(Lexicore_GetItem(s, 0), nullptr);
    EXPECT_EQ(Lexicore_GetItem(s, (LONG)((env.layout.forwardStart - 1) * 2048 + 5)), nullptr);
    EXPECT_EQ(Lexicore_GetEntryCount(kBookId << 8, 0), 0);
    EXPECT_EQ(Lexicore_GetEntryCount(kBookId << 8, 1),
              (LONG)((env.layout.forwardStart + env.layout.forwardCount) << 11));

    // Queries: an exact one takes the one headword.
    VLWordList *list = VLWordList_Create(20);
    DicQuery *q = Lexicore_CreateQuery();
    Lexicore_SetQuerySession(q, s);
    Lexicore_SetQueryResultList(q, list);
    Lexicore_SetQueryText(q, "date", 0, 0);
    Lexicore_RunQuery(q, LEXICORE_MODE_EXACT, 0);
    ASSERT_EQ(VLWordList_Count(list), 1);
    EXPECT_STREQ(VLWordList_GetItem(list, 0)->headword, "date");
    // Nearest queries have no positions to walk in a book: they find nothing and end.
    Lexicore_SetQueryText(q, "cherry", 0, 0);
    EXPECT_EQ(Lexicore_RunUpperQuery(q, 0), 0);
    EXPECT_EQ(Lexicore_RunLowerQuery(q, 0), 0);
    Lexicore_DestroyQuery(q);
    VLWordList_Destroy(list);
    Lexicore_DestroySession(s);
}

// A Japanese sub-dictionary: keys compared as Shift-JIS, headwords plain in its charset, a key with
// a gaiji never compares (passed over), the second string tagged.
TEST(BookTest, JapaneseKeysAsShiftJis) {
    auto e = [](const char *order, const std::string &bookKey) {
        bookfix::Entry x;
        x.key = order;
        x.bookKey = bookKey;
        x.body = J("x");
        return x;
    };
    // JIS 0x3021-0x3024: kanji whose Shift-JIS forms are 0x889F-0x88A2.
    BookEnv env({e("1", "\x30\x21"), e("2", "\x30\x22"), e("3", "\x30\x23\xA1\x21"), e("4", "\x30\x24")}, "",
                "Japanese Book", 0x0400);
    ASSERT_TRUE(env.Start());
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, kBookId << 8, FALSE));
    ASSERT_EQ(s->subDic->charset, 128);
    Seen seen;
    Lexicore_Search(s, "\x88\xA0", 0, Collect, &seen);
    ASSERT_EQ(seen.words.size(), 2u);
    EXPECT_EQ(seen.words[0], "\x88\xA0");
    EXPECT_EQ(seen.words[1], "\x88\xA2");
    EXPECT_STREQ(seen.items[0]->second, (ESC + "F80\x88\xA0").c_str());
    EXPECT_EQ(env.Text(seen.items[0]->head.textPos), ESC + "F80\x88\xA0\r" + ESC + "F00x");
    Lexicore_DestroySession(s);
}

TEST(BookTest, LanguageFollowsTheSubDictionaries) {
    kit::Sandbox box("booklang", Mode::File);
    bookfix::Layout layout;
    std::string path = box.Path("b.bk");
    kit::WriteAll(path, bookfix::Build(Fruits(), "", &layout));
    struct Case { WORD a, b, expected; } cases[] = {
        {0x0100, 0x0700, 0x0700}, {0x0700, 0x0600, 0x0600}, {0x0400, 0x0100, 0x0100}};
    DWORD id = 0xD010;
    for (const Case &c : cases) {
        kit::Register(id, path, "L", 2, c.a);
        char key[MAX_PATH];
        Lexidata_GetDicIndexKey(id, 2, key);
        Basekit_SettingsWriteDword(key, "LangID", c.b);
        id++;
    }
    kit::Register(0xD020, box.Path("missing.bk"), "Missing", 1);
    ASSERT_TRUE(Lexicore_Init("VLBK", 0));
    id = 0xD010;
    for (const Case &c : cases) {
        DicInfo info;
        ASSERT_TRUE(Lexicore_GetDicInfo(id++, &info));
        EXPECT_EQ(info.language, c.expected);
        EXPECT_EQ(info.languages[1], c.expected);
        EXPECT_EQ(info.subDicCount, 2u);
    }
    DicInfo missing;
    ASSERT_TRUE(Lexicore_GetDicInfo(0xD020, &missing));
    EXPECT_NE(missing.status & DICSTATUS_BAD, 0u);
    DicSession *s = Lexicore_CreateSession();
    EXPECT_FALSE(Lexicore_OpenSession(s, 0xD020 << 8, FALSE));
    Lexicore_DestroySession(s);
}

// ---- Conversion of control codes -------------------------------------------------------------------

struct ConvCase {
    const char *what;
    std::string in, out;
};

std::vector<ConvCase> ConvCases() {
    const std::string kanji = "\x30\x21";          // JIS 0x3021, a kanji
    const std::string kanjiSjis = "\x88\x9f";      // its Shift-JIS bytes
    const std::string gaiji = "\xA1\x21", gaiji2 = "\xA1\x22";
    const std::string hi = "\x1F";
    return {
        {"letters and digits narrow", J("ab1"), ESC + "F00ab1"},
        {"row-1 symbols narrow", "\x21\x21\x21\x5D\x21\x2A", ESC + "F00 -!"},
        {"kanji to Shift-JIS", kanji, ESC + "F80" + kanjiSjis},
        {"tag only on a change", J("a") + kanji + kanji + J("b"),
         ESC + "F00a" + ESC + "F80" + kanjiSjis + kanjiSjis + ESC + "F00b"},
        {"gaiji wide and narrow", gaiji + hi + "\x04" + gaiji2 + hi + "\x05" + gaiji,
         ESC + "F34" + gaiji + ESC + "F33" + gaiji2 + ESC + "F34" + gaiji},
        {"sub, superscript, underline, line",
         hi + "\x06" + hi + "\x07" + hi + "\x0E" + hi + "\x0F" + hi + "\x12" + hi + "\x13" + hi + "\x0A",
         ESC + "s1" + ESC + "s0" + ESC + "S1" + ESC + "S0" + ESC + "U1" + ESC + "U0\r"},
        {"indents numbered, above 100 clamped",
         hi + S("\x09\x00\x05", 3) + hi + S("\x09\x00\x02", 3) + hi + S("\x09\x00\x05", 3) + hi +
             S("\x09\x01\x50", 3) + hi + S("\x09\x01\x00", 3) + J("a"),
         ESC + "L1" + ESC + "L0" + ESC + "L1" + ESC + "L2" + ESC + "L2" + ESC + "F00a"},
        {"trailing indent dropped", J("a") + hi + S("\x09\x00\x03", 3), ESC + "F00a"},
        {"reference with its target",
         hi + "\x42" + J("a") + hi + "\x62" + bookfix::BcdPos(2 * 2048 + 10) + hi + "\x42" + hi + "\x62" +
             bookfix::BcdPos(2048),
         ESC + "AL#0000100a0000" + ESC + "F00a" + ESC + "Al" + ESC + "AL#000008000001" + ESC + "Al"},
        {"reference without its end", hi + "\x42" + J("x"), ESC + "AL#000000000000" + ESC + "F00x"},
        {"menu", hi + "\x43", "<MENU>"},
        {"picture", hi + "\x44" + bookfix::BcdDigits(16, 2) + bookfix::BcdDigits(8, 2) + bookfix::BcdPos(3 * 2048),
         ESC + "AD1#B0010000800001800" + "00000000" + ESC},
        {"sound and its end",
         hi + "\x4A" + S("\x12\x34\x00\x00", 4) + bookfix::BcdPos(4 * 2048) + bookfix::BcdPos(4 * 2048 + 100) + hi +
             "\x6A",
         ESC + "AD0#12340000200000002064" + ESC + "Ad"},
        {"colour picture and its end",
         hi + "\x4D" + std::string(12, '\0') + bookfix::BcdPos(2048 + 2) + hi + "\x6D" + hi + "\x64" +
             std::string(6, '\0'),
         ESC + "AD1#C00000802" + ESC + ESC + "Ad" + ESC + "Ad"},
        {"emphasis italic and bold",
         hi + S("\xE0\x00\x01", 3) + J("a") + hi + "\xE1" + hi + S("\xE0\x00\x03", 3) + hi + "\xE1" + hi + "\xE1",
         ESC + "I1" + ESC + "F00a" + ESC + "I0" + ESC + "B1" + ESC + "B0"},
        {"skipped ranges", hi + "\x14" + J("a") + hi + "\x15" + hi + "\x48" + J("b") + hi + "\x68" + J("c") + hi +
             "\x35" + J("d"),
         ESC + "F00c"},
        {"other codes and non-characters", hi + "\x20" + S("\x00\x41", 2) + "\x7F\x7F" + J("z"), ESC + "F00z"},
        {"keyword start writes nothing", hi + S("\x41\x02\x00", 3) + J("k"), ESC + "F00k"},
    };
}

std::vector<bookfix::Entry> Bodies(const std::vector<std::string> &bodies) {
    std::vector<bookfix::Entry> v;
    bookfix::Entry keyed;
    keyed.key = "a";  // the indexes need one key
    v.push_back(keyed);
    for (const std::string &b : bodies) {
        bookfix::Entry e;
        e.body = b;
        v.push_back(e);
    }
    return v;
}

TEST(BookTest, ControlCodesBecomeTags) {
    std::vector<ConvCase> cases = ConvCases();
    std::vector<std::string> bodies;
    for (const ConvCase &c : cases) bodies.push_back(c.in);
    BookEnv env(Bodies(bodies));
    ASSERT_TRUE(env.Start());
    for (size_t i = 0; i < cases.size(); i++)
        EXPECT_EQ(env.Text(env.layout.textPos[i + 1]), cases[i].out) << cases[i].what;
}

// Codes that expand most, many times over: every byte arrives, nothing is written past the output.
TEST(BookTest, WorstCaseExpansion) {
    const std::string hi = "\x1F";
    std::string refs, menus, gaijiJis, pictures;
    std::string expRefs, expMenus, expMixed, expPictures;
    const int n = 1500;
    for (int i = 0; i < n; i++) {
        refs += hi + "\x42";
        char ph[16];
        snprintf(ph, sizeof ph, "00000000%04d", i);
        expRefs += ESC + "AL#" + ph;
        menus += hi + "\x43";
        expMenus += "<MENU>";
        gaijiJis += std::string("\xA1\x21\x30\x21", 4);
        expMixed += ESC + "F34\xA1\x21" + ESC + "F80\x88\x9f";
        pictures += hi + "\x44" + std::string(10, '\x99');
        expPictures += ESC + "AD1#B" + "270F270F" + "AF07F70F" + "00000000" + ESC;  // 9999 x 9999 at the highest position
    }
    BookEnv env(Bodies({refs, menus, gaijiJis, pictures}));
    ASSERT_TRUE(env.Start());
    std::string r = env.Text(env.layout.textPos[1]);
    EXPECT_EQ(r.size(), 16u * n);
    EXPECT_EQ(r, expRefs);
    EXPECT_EQ(env.Text(env.layout.textPos[2]), expMenus);
    EXPECT_EQ(env.Text(env.layout.textPos[3]), expMixed);
    r = env.Text(env.layout.textPos[4]);
    EXPECT_EQ(r.size(), 31u * n);
    EXPECT_EQ(r, expPictures);
}

// ---- Gaiji ---------------------------------------------------------------------------------------

TEST(BookTest, GaijiByNearestHeight) {
    BookEnv env(Fruits());
    // Wide 16 and 24 dots (one named relative to the book, one absolute), narrow 8 x 16.
    kit::WriteAll(env.box.Path("book\\g16.fnt"), bookfix::Font(32, 32, 0xA121, 100));
    kit::WriteAll(env.box.Path("g24.fnt"), bookfix::Font(72, 14, 0xA121, 100));
    kit::WriteAll(env.box.Path("book\\n16.fnt"), bookfix::Font(16, 64, 0xA121, 50));
    char key[MAX_PATH];
    Lexidata_GetDicKey(kBookId, key);
    Basekit_SettingsWriteString(key, "FontFileName#0", "g16.fnt");
    Basekit_SettingsWriteString(key, "FontFileName#1", env.box.Path("g24.fnt").c_str());
    Basekit_SettingsWriteString(key, "FontFileName#2", "absent.fnt");
    Basekit_SettingsWriteString(key, "FontFileName#4", "n16.fnt");
    ASSERT_TRUE(env.Start());

    struct Case { DWORD code; int height, charset; int width, glyphHeight, bytes; int index; } cases[] = {
        {0xA121, 16, 52, 16, 16, 32, 0},    // exact
        {0xA123, 20, 52, 16, 16, 32, 2},    // a tie goes to the first file
        {0xA130, 21, 52, 24, 24, 96, 15},   // second block of the 24-dot file; rows padded to 4 bytes
        {0xA130, 30, 52, 24, 24, 96, 15},   // the 30-dot file does not exist
        {0xA121, 500, 52, 24, 24, 96, 0},   // heights above 100 count as 100
        {0xA221, 16, 52, 16, 16, 32, 94},   // next row
        {0xA122, 40, 51, 8, 16, 32, 1},     // narrow: rows of 1 byte padded to 2
    };
    for (const Case &c : cases) {
        BYTE bits[LEXICORE_GAIJI_MAX_BYTES];
        memset(bits, 0xCC, sizeof bits);
        SIZE size = {0, 0};
        int n = Lexicore_GetGaijiBitmap(kBookId, c.code, c.height, c.charset, bits, &size);
        ASSERT_EQ(n, c.bytes) << std::hex << c.code << std::dec << " at " << c.height;
        EXPECT_EQ(size.cx, c.width);
        EXPECT_EQ(size.cy, c.glyphHeight);
        int src = (c.width + 7) / 8, row = n / c.glyphHeight;
        for (int y = 0; y < c.glyphHeight; y++)
            for (int x = 0; x < row; x++) {
                uint8_t expected = x < src ? (uint8_t)~bookfix::GlyphByte(c.index, y * src + x) : 0xFF;
                ASSERT_EQ(bits[y * row + x], expected) << "row " << y << " byte " << x;
            }
    }
    SIZE size;
    BYTE bits[LEXICORE_GAIJI_MAX_BYTES];
    EXPECT_EQ(Lexicore_GetGaijiBitmap(kBookId, 0xA120, 16, 52, bits, &size), 0);  // below the first
    EXPECT_EQ(Lexicore_GetGaijiBitmap(kBookId, 0xA121 + 100, 16, 52, bits, &size), 0);  // past the count
    EXPECT_EQ(Lexicore_GetGaijiBitmap(kBookId, 0xA121, 16, 128, bits, &size), 0);
    EXPECT_EQ(Lexicore_GetGaijiBitmap(0xD0FF, 0xA121, 16, 52, bits, &size), 0);
    EXPECT_EQ(Lexicore_GetGaijiBitmap(kBookId, 0xA121, 16, 52, nullptr, &size), 32);

    // Drawing and measuring: glyphs stretched to the font's height, narrow ones half as wide.
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 200;
    bi.bmiHeader.biHeight = 100;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *pixels = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    int fh = tm.tmHeight;
    SIZE ext;
    int fit = -1, dx[4];
    const char wide[] = "\xA1\x21\xA1\x22";
    ASSERT_TRUE(Lexicore_GetTextExtent(dc, wide, 4, fh + fh / 2, &fit, dx, &ext, kBookId, 52));
    EXPECT_EQ(ext.cx, 2 * fh);
    EXPECT_EQ(ext.cy, fh);
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(dx[0], fh);
    EXPECT_EQ(dx[1], fh);
    EXPECT_EQ(dx[3], 2 * fh);
    ASSERT_TRUE(Lexicore_GetTextExtent(dc, wide, 4, 1000, &fit, nullptr, &ext, kBookId, 51));
    EXPECT_EQ(ext.cx, 2 * ((8 * fh + 8) / 16));
    EXPECT_EQ(fit, 4);
    RECT all = {0, 0, 200, 100};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    ASSERT_TRUE(Lexicore_TextOut(dc, 0, 0, wide, 4, kBookId, 52));
    int ink = 0;
    for (int y = 0; y < fh; y++)
        for (int x = 0; x < 2 * fh; x++) ink += GetPixel(dc, x, y) == RGB(0, 0, 0);
    EXPECT_GT(ink, 0);
    int beyond = 0;
    for (int y = 0; y < 100; y++)
        for (int x = 2 * fh + 1; x < 200; x++) beyond += GetPixel(dc, x, y) == RGB(0, 0, 0);
    EXPECT_EQ(beyond, 0);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

// ---- Media -----------------------------------------------------------------------------------------

uint32_t U32(const std::string &b, size_t at) {
    return (uint8_t)b[at] | (uint8_t)b[at + 1] << 8 | (uint8_t)b[at + 2] << 16 | (uint32_t)(uint8_t)b[at + 3] << 24;
}
uint32_t U16(const std::string &b, size_t at) { return (uint8_t)b[at] | (uint8_t)b[at + 1] << 8; }

TEST(BookTest, SoundAndPictureExport) {
    // Media: 8 sound bytes, a 10 x 3 picture (2 bytes a row), a stored colour picture.
    std::string sound = "\x01\x02\x03\x04\x05\x06\x07\x08";
    std::string picture = S("\x80\x40\xFF\xC0\x01\x00", 6);
    std::string colour = "PICT" + S("\x05\x00\x00\x00", 4) + "hello";
    BookEnv env(Fruits(), sound + picture + colour);
    ASSERT_TRUE(env.Start());
    uint32_t at = env.layout.mediaPos;
    char ref[64];
    std::string out = env.box.Path("media.out");

    struct SoundCase { unsigned code; uint32_t header, channels, rate, bits; } sounds[] = {
        {0x1100, 44, 2, 44100, 16}, {0x0112, 44, 1, 11025, 8}, {0x0001, 12, 1, 22050, 16}};
    for (const SoundCase &c : sounds) {
        snprintf(ref, sizeof ref, "%04X%08x%08x", c.code, at, at + 8);
        ASSERT_TRUE(Lexicore_ExportMedia(kBookId, 0, (const VLItem *)ref, out.c_str())) << ref;
        std::string w = kit::ReadAll(out);
        ASSERT_EQ(w.size(), c.header + 8);
        EXPECT_EQ(w.substr(0, 4), "RIFF");
        EXPECT_EQ(U32(w, 4), c.header - 8 + 8);
        EXPECT_EQ(w.substr(8, 4), "WAVE");
        EXPECT_EQ(w.substr(c.header), sound);
        if (c.header == 44) {
            EXPECT_EQ(w.substr(12, 4), "fmt ");
            EXPECT_EQ(U32(w, 16), 16u);
            EXPECT_EQ(U16(w, 20), 1u);
            EXPECT_EQ(U16(w, 22), c.channels);
            EXPECT_EQ(U32(w, 24), c.rate);
            EXPECT_EQ(U32(w, 28), c.rate * c.channels * c.bits / 8);
            EXPECT_EQ(U16(w, 32), c.channels * c.bits / 8);
            EXPECT_EQ(U16(w, 34), c.bits);
            EXPECT_EQ(w.substr(36, 4), "data");
            EXPECT_EQ(U32(w, 40), 8u);
        }
    }
    // Refused: an unknown rate, an empty or reversed range, a range past the end, a bad reference.
    const std::string bad[] = {"0003" + std::string("00000000") + "00000010", "0000" + std::string("00001000") + "00001000",
                               "0000" + std::string("00001000") + "7fffffff", "00zz0000000000000010", "12"};
    for (const std::string &b : bad) EXPECT_FALSE(Lexicore_ExportMedia(kBookId, 0, (const VLItem *)b.c_str(), out.c_str())) << b;

    // Monochrome picture: BMP heads, palette, rows bottom-up, ink as entry 0.
    snprintf(ref, sizeof ref, "B%08X%08X00000000", 10u << 16 | 3u, at + 8);
    ASSERT_TRUE(Lexicore_ExportMedia(kBookId, 1, (const VLItem *)ref, out.c_str()));
    std::string b = kit::ReadAll(out);
    ASSERT_EQ(b.size(), 62u + 12u);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(U32(b, 2), 74u);
    EXPECT_EQ(U32(b, 6), 0u);
    EXPECT_EQ(U32(b, 10), 62u);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), 10u);
    EXPECT_EQ(U32(b, 22), 3u);
    EXPECT_EQ(U16(b, 26), 1u);
    EXPECT_EQ(U16(b, 28), 1u);
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), 12u);
    EXPECT_EQ(U32(b, 38), 3780u);
    EXPECT_EQ(U32(b, 42), 3780u);
    EXPECT_EQ(U32(b, 46), 2u);
    EXPECT_EQ(U32(b, 54), 0u);          // black
    EXPECT_EQ(U32(b, 58), 0xFFFFFFu);   // white
    EXPECT_EQ(b.substr(62, 4), S("\xFE\xFF\xFF\xFF", 4));  // last source row first
    EXPECT_EQ(b.substr(66, 4), S("\x00\x3F\xFF\xFF", 4));
    EXPECT_EQ(b.substr(70, 4), S("\x7F\xBF\xFF\xFF", 4));

    // Colour picture: the stored bytes as they are; a length past the end is refused.
    snprintf(ref, sizeof ref, "C%08x", at + 14);
    ASSERT_TRUE(Lexicore_ExportMedia(kBookId, 1, (const VLItem *)ref, out.c_str()));
    EXPECT_EQ(kit::ReadAll(out), "hello");
    snprintf(ref, sizeof ref, "C%08x", at + 8);
    EXPECT_FALSE(Lexicore_ExportMedia(kBookId, 1, (const VLItem *)ref, out.c_str()));
    EXPECT_FALSE(Lexicore_ExportMedia(kBookId, 1, (const VLItem *)"X00000000", out.c_str()));

    // Playing: no sound device means a clean 0.
    HMODULE winmm = LoadLibraryA("winmm.dll");
    typedef UINT(WINAPI * NumDevs)(void);
    NumDevs devices = winmm ? (NumDevs)GetProcAddress(winmm, "waveOutGetNumDevs") : nullptr;
    snprintf(ref, sizeof ref, "%04X%08x%08x", 0x0100, at, at + 8);
    BOOL played = Lexicore_ExportMedia(kBookId, 0, (const VLItem *)ref, nullptr);
    if (devices && devices() == 0) {
        EXPECT_FALSE(played);
    }
    EXPECT_FALSE(Lexicore_ExportMedia(kBookId, 1, (const VLItem *)ref, nullptr));  // pictures are not played
}

// ---- Damaged books ---------------------------------------------------------------------------------

int CALLBACK CountOnly(VLDataItem *item, int, void *user) {
    (*(int *)user)++;
    VLData data;
    memset(&data, 0, sizeof data);
    if (Lexicore_ReadEntryText(item, &data)) {
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
    }
    return LEXICORE_ITEM_ADDED;
}

TEST(BookTest, DamagedBooksOpenWithZero) {
    BookEnv env(Fruits());
    ASSERT_TRUE(env.Start());
    std::string good = kit::ReadAll(env.path);
    auto set32 = [](std::string f, size_t at, uint32_t v) {
        std::string b = bookfix::Be32(v);
        f.replace(at, 4, b);
        return f;
    };
    struct Damage { const char *what; std::string bytes; } damages[] = {
        {"empty", ""},
        {"head cut", good.substr(0, 10)},
        {"directory past the end", good.substr(0, 30)},
        {"too many entries", std::string("\x40\x00", 2) + good.substr(2)},
        {"index start 0", set32(good, 18, 0)},
        {"index past the end", set32(good, 18, 4000)},
        {"index count past the end", set32(good, 22, 4000)},
        {"index cut off", good.substr(0, good.size() - 100)},
    };
    DicSession *s = Lexicore_CreateSession();
    for (const Damage &d : damages) {
        kit::WriteAll(env.path, d.bytes);
        EXPECT_FALSE(Lexicore_OpenSession(s, kBookId << 8, FALSE)) << d.what;
    }
    // Random damage anywhere in the directory and the indexes: opening may succeed, but searching
    // and reading stay inside the file and end.
    size_t indexAt = (env.layout.forwardStart - 1) * bookfix::kBlock;
    uint32_t seed = 12345;
    auto rnd = [&seed]() {
        seed = seed * 1103515245 + 12345;
        return (seed >> 8) & 0xFFFFFF;
    };
    int opened = 0;
    for (int round = 0; round < 300; round++) {
        std::string f = good;
        int hits = 1 + (int)(rnd() % 8);
        for (int h = 0; h < hits; h++) {
            size_t at = rnd() % 3 == 0 ? rnd() % 48 : indexAt + rnd() % (f.size() - indexAt);
            f[at] = (char)rnd();
        }
        kit::WriteAll(env.path, f);
        if (!Lexicore_OpenSession(s, kBookId << 8, FALSE)) continue;
        opened++;
        int n = 0;
        Lexicore_Search(s, "", 0, CountOnly, &n);
        Lexicore_Search(s, "d", 0, CountOnly, &n);
        Lexicore_SelectIndex(s, 1);
        Lexicore_Search(s, "g", 0, CountOnly, &n);
        Lexicore_SelectIndex(s, 0);
        Lexicore_CloseSession(s);
    }
    EXPECT_GT(opened, 0);
    // Damaged entry texts: every position of the file reads without a fault.
    kit::WriteAll(env.path, good);
    for (uint32_t pos = 0; pos < good.size(); pos += 97) env.Text(pos);
    Lexicore_DestroySession(s);
}

}  // namespace
