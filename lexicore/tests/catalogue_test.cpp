// The catalogue: loading from the settings and the files, records and their copies, properties,
// default dictionaries, user ids, adding, removing and moving dictionaries, in both settings modes.
#include <gtest/gtest.h>
#include <algorithm>
#include "testkit.h"

using kit::Mode;

namespace {

int CALLBACK CollectIds(DicProperty *p, LPARAM user) {
    ((std::vector<DWORD> *)user)->push_back(p->dicId);
    return 1;
}

std::vector<DWORD> AllIds() {
    std::vector<DWORD> ids;
    Lexicore_EnumDics(CollectIds, (LPARAM)&ids);
    return ids;
}

class Catalogue : public ::testing::TestWithParam<Mode> {};

TEST_P(Catalogue, LoadsFilesAndSubDictionariesSortedById) {
    kit::Sandbox box("load", GetParam());
    std::string sample = box.Path("sample.dic");
    ASSERT_TRUE(dicfix::Write(sample, dicfix::Sample(dicfix::Coding::Plain)));
    kit::Register(0x2345, sample, "Sample", 4);
    kit::Register(0x2400, box.Path("missing.dic"), "Missing", 2, 0x0700);
    kit::Register(0xE101, box.Path("skipped.dic"), "Skipped", 1);
    // A relative name with a backslash is taken from the program's folder.
    kit::Register(0x2300, "sub\\rel.dic", "Relative", 1);
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));

    EXPECT_EQ(3, Lexicore_GetDicFileCount());
    std::vector<DWORD> ids = AllIds();
    std::vector<DWORD> want = {0x230000, 0x234500, 0x234501, 0x234565, 0x234567, 0x240000, 0x240001};
    EXPECT_EQ(want, ids);
    EXPECT_EQ((int)want.size(), Lexicore_GetDicCount());
    EXPECT_EQ(4, Lexicore_EnumDicsByKind(1, CollectIds, (LPARAM) & ids));

    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2345, &info));
    EXPECT_EQ(772u, info.size);
    EXPECT_EQ(1u, info.kind);
    EXPECT_EQ(0u, info.status & DICSTATUS_BAD);
    EXPECT_EQ(2u, info.fontCount);
    EXPECT_STREQ("Sample", info.name);
    EXPECT_STREQ(sample.c_str(), info.path);
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2400, &info));
    EXPECT_NE(0u, info.status & DICSTATUS_BAD);
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2300, &info));
    EXPECT_EQ(kit::ExeFolder() + "\\sub\\rel.dic", std::string(info.path));
    EXPECT_FALSE(Lexicore_GetDicInfo(0xE101, &info));

    // A copy keeps the caller's size and default flag; the rest comes from the record.
    DicProperty p;
    memset(&p, 0x5A, sizeof p);
    p.size = 572;
    ASSERT_TRUE(Lexicore_GetDicProperty(0x240001, &p));
    EXPECT_EQ(572u, p.size);
    EXPECT_EQ(0x5A5A5A5Au, p.defaultFlag);
    EXPECT_EQ(0x2400u, p.fileId);
    EXPECT_EQ(1u, p.subDicNo);
    EXPECT_EQ(0x0700, p.language);
    EXPECT_STREQ("N2", p.nickname);
    EXPECT_STREQ("Missing", p.name);  // no Name of its own: the file's
    ASSERT_TRUE(Lexicore_GetDicProperty(0x234567, &p));
    EXPECT_EQ(6u, p.indexKind);
    ASSERT_TRUE(Lexicore_GetDicProperty(0x234501, &p));
    EXPECT_EQ(7u, p.indexKind);
    EXPECT_FALSE(Lexicore_GetDicProperty(0x999900, &p));

    char name[256];
    EXPECT_EQ(6, Lexicore_GetDicName(0x2345, name));
    EXPECT_STREQ("Sample", name);
    EXPECT_EQ(2, Lexicore_GetFontName(0x2345, 0, nullptr));
    EXPECT_EQ(5, Lexicore_GetFontName(0x2345, 1, name));
    EXPECT_STREQ("Arial", name);
}

TEST_P(Catalogue, PropertiesAndDefaultsRoundTripThroughTheSettings) {
    kit::Sandbox box("props", GetParam());
    kit::Register(0x2400, box.Path("a.dic"), "A", 2);
    kit::Register(0x2500, box.Path("b.dic"), "B", 1);
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));

    DicProperty p;
    memset(&p, 0, sizeof p);
    p.size = 572;
    ASSERT_TRUE(Lexicore_GetDicProperty(0x240001, &p));
    strcpy(p.nickname, "Nick");
    strcpy(p.name, "Sub name");
    p.colour = 0x123456;
    p.priorityPopup = 3;
    p.prioritySearch = 4;
    p.priorityTranslate = 5;
    ASSERT_TRUE(Lexicore_SetDicProperty(0x240001, 0x7B, &p));
    // Only the masked values change.
    p.colour = 0x999999;
    ASSERT_TRUE(Lexicore_SetDicProperty(0x240001, LEXICORE_PROP_NICKNAME, &p));

    DicProperty q;
    memset(&q, 0, sizeof q);
    auto check = [&]() {
        ASSERT_TRUE(Lexicore_GetDicProperty(0x240001, &q));
        EXPECT_STREQ("Nick", q.nickname);
        EXPECT_STREQ("Sub name", q.name);
        EXPECT_EQ(0x123456u, q.colour);
        EXPECT_EQ(3u, q.priorityPopup);
        EXPECT_EQ(4u, q.prioritySearch);
        EXPECT_EQ(5u, q.priorityTranslate);
    };
    check();

    // The first default of a charset has no predecessor; the next one names it.
    EXPECT_EQ(0u, Lexicore_SetDefaultDic(0x240000));
    EXPECT_EQ(0x240000u, Lexicore_SetDefaultDic(0x250000));
    EXPECT_EQ(0x250000u, Lexicore_GetDefaultDic(0));
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2400, &info));
    EXPECT_EQ(0u, info.status & DICSTATUS_DEFAULT);
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2500, &info));
    EXPECT_NE(0u, info.status & DICSTATUS_DEFAULT);

    // A fresh start reads the same catalogue back.
    Lexicore_Term();
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));
    check();
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2500, &info));
    EXPECT_NE(0u, info.status & DICSTATUS_DEFAULT);
    DicProperty d;
    memset(&d, 0, sizeof d);
    struct Flag {
        static int CALLBACK Find(DicProperty *p, LPARAM user) {
            if (p->dicId == 0x250000) *(DWORD *)user = p->defaultFlag;
            return 1;
        }
    };
    DWORD flag = 0;
    Lexicore_EnumDics(Flag::Find, (LPARAM)&flag);
    EXPECT_EQ(1u, flag);
}

TEST_P(Catalogue, UserDictionariesTakeTheFirstFreeIdAndRemoveCleansUp) {
    kit::Sandbox box("user", GetParam());
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));
    DWORD a = Lexicore_CreateUserDic(box.Path("u1.rdc").c_str(), "User one", "U1", 0x00FF00, 1, 0x0400, 0x0100);
    DWORD b = Lexicore_CreateUserDic(box.Path("u2.rdc").c_str(), "User two", "U2", 0, 1, 0x0100, 0x0400);
    DWORD c = Lexicore_CreateUserDic(box.Path("u3.rdc").c_str(), "User three", "U3", 0, 1, 0x0400, 0x0500);
    EXPECT_EQ(0xF000u, a);
    EXPECT_EQ(0xF001u, b);
    EXPECT_EQ(0xF002u, c);
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(0xF000, &info));
    EXPECT_EQ(2u, info.kind);
    EXPECT_NE(0u, info.status & DICSTATUS_USER);
    // The dictionary's language: the second, the first for a double-byte second language, and
    // English when both are double-byte languages.
    EXPECT_EQ(0x0100, info.language);
    ASSERT_TRUE(Lexicore_GetDicInfo(0xF001, &info));
    EXPECT_EQ(0x0100, info.language);
    EXPECT_EQ(2u, info.languageCount);
    DicInfo header;
    ASSERT_TRUE(DLVReadDicHeader(nullptr, box.Path("u3.rdc").c_str(), &header));
    EXPECT_EQ(0x0100, header.language);
    DicProperty p;
    memset(&p, 0, sizeof p);
    ASSERT_TRUE(Lexicore_GetDicProperty(0xF00000, &p));
    EXPECT_STREQ("U1", p.nickname);
    EXPECT_EQ(0x0400, p.language);

    // Removing the middle one frees its id for the next dictionary.
    ASSERT_TRUE(Lexicore_RemoveDic(0xF001, TRUE));
    EXPECT_FALSE(kit::Exists(box.Path("u2.rdc")));
    EXPECT_FALSE(Lexicore_GetDicInfo(0xF001, &info));
    char key[MAX_PATH];
    Lexidata_GetDicKey(0xF001, key);
    EXPECT_EQ(nullptr, Basekit_SettingsOpenKey(key));
    EXPECT_EQ(0xF001u, Lexicore_CreateUserDic(box.Path("u4.rdc").c_str(), "User four", "U4", 0, 1, 0x0100, 0x0100));
    EXPECT_FALSE(Lexicore_RemoveDic(0x7777, FALSE));
}

TEST_P(Catalogue, MoveCopiesEverythingBeforeSwitchingAndLosesNothingOnFailure) {
    kit::Sandbox box("move", GetParam());
    std::string from = box.Path("from"), to = box.Path("to");
    CreateDirectoryA(from.c_str(), nullptr);
    CreateDirectoryA(to.c_str(), nullptr);
    ASSERT_TRUE(dicfix::Write(from + "\\dic1.dic", dicfix::Sample(dicfix::Coding::Plain)));
    kit::WriteAll(from + "\\dic1.idx", "side file");
    kit::WriteAll(from + "\\dic1x.dat", "another dictionary's file");
    kit::Register(0x2345, from + "\\dic1.dic", "Sample", 4);
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));

    // A file already at the target stops the move: the sources and the catalogue stay, the copies
    // made so far go, the file that was there stays.
    kit::WriteAll(to + "\\dic1.idx", "not ours");
    EXPECT_FALSE(Lexicore_MoveDic(0x2345, to.c_str(), nullptr, nullptr));
    EXPECT_TRUE(kit::Exists(from + "\\dic1.dic"));
    EXPECT_TRUE(kit::Exists(from + "\\dic1.idx"));
    EXPECT_FALSE(kit::Exists(to + "\\dic1.dic"));
    EXPECT_EQ("not ours", kit::ReadAll(to + "\\dic1.idx"));
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2345, &info));
    EXPECT_EQ(from + "\\dic1.dic", std::string(info.path));
    char key[MAX_PATH], value[MAX_PATH];
    Lexidata_GetDicKey(0x2345, key);
    Basekit_SettingsReadString(key, "FileName", value, sizeof value);
    EXPECT_EQ(from + "\\dic1.dic", std::string(value));

    // Without the obstacle every file of the dictionary moves, and only those.
    DeleteFileA((to + "\\dic1.idx").c_str());
    std::string before = kit::ReadAll(from + "\\dic1.dic");
    ASSERT_TRUE(Lexicore_MoveDic(0x2345, to.c_str(), nullptr, nullptr));
    EXPECT_FALSE(kit::Exists(from + "\\dic1.dic"));
    EXPECT_FALSE(kit::Exists(from + "\\dic1.idx"));
    EXPECT_TRUE(kit::Exists(from + "\\dic1x.dat"));
    EXPECT_EQ(before, kit::ReadAll(to + "\\dic1.dic"));
    EXPECT_EQ("side file", kit::ReadAll(to + "\\dic1.idx"));
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2345, &info));
    EXPECT_EQ(to + "\\dic1.dic", std::string(info.path));
    Basekit_SettingsReadString(key, "FileName", value, sizeof value);
    EXPECT_EQ(to + "\\dic1.dic", std::string(value));
}

TEST_P(Catalogue, AddCopiesTheFileSetUnderANewUserId) {
    kit::Sandbox box("add", GetParam());
    std::string src = box.Path("src"), dst = box.Path("dst");
    CreateDirectoryA(src.c_str(), nullptr);
    CreateDirectoryA(dst.c_str(), nullptr);
    dicfix::Dictionary found = dicfix::Sample(dicfix::Coding::Plain);
    found.flagByte = 1;  // a user dictionary: its id counts as taken
    ASSERT_TRUE(dicfix::Write(src + "\\found.dic", found));
    kit::WriteAll(src + "\\found.dat", "side");
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));
    ASSERT_TRUE(Lexicore_AddDic((src + "\\found.dic").c_str(), dst.c_str(), nullptr, nullptr));
    EXPECT_TRUE(kit::Exists(dst + "\\VV4Df000.dic"));
    EXPECT_EQ("side", kit::ReadAll(dst + "\\VV4Df000.dat"));
    EXPECT_TRUE(kit::Exists(src + "\\found.dic"));
    DicInfo info;
    ASSERT_TRUE(DLVReadDicHeader(nullptr, (dst + "\\VV4Df000.dic").c_str(), &info));
    EXPECT_EQ(0xF000u, info.fileId);
    ASSERT_TRUE(Lexicore_GetDicInfo(0xF000, &info));
    EXPECT_STREQ("User 2345", info.name);
    EXPECT_EQ(dst + "\\VV4Df000.dic", std::string(info.path));

    // A copy that fails (a file already at the target) leaves no copy and no catalogue entry.
    kit::WriteAll(dst + "\\VV4Df001.dat", "in the way");
    EXPECT_FALSE(Lexicore_AddDic((src + "\\found.dic").c_str(), dst.c_str(), nullptr, nullptr));
    EXPECT_FALSE(kit::Exists(dst + "\\VV4Df001.dic"));
    EXPECT_EQ("in the way", kit::ReadAll(dst + "\\VV4Df001.dat"));
    EXPECT_EQ(1, Lexicore_GetDicFileCount());
    char key[MAX_PATH];
    Lexidata_GetDicKey(0xF001, key);
    EXPECT_EQ(nullptr, Basekit_SettingsOpenKey(key));
}

TEST_P(Catalogue, RemovingABookNeverDeletesASharedOrProtectedFolder) {
    kit::Sandbox box("book", GetParam());
    std::string own = box.Path("book1"), shared = box.Path("shared");
    CreateDirectoryA(own.c_str(), nullptr);
    CreateDirectoryA(shared.c_str(), nullptr);
    kit::WriteAll(own + "\\CATALOGS", "x");
    kit::WriteAll(shared + "\\CATALOGS", "x");
    ASSERT_TRUE(dicfix::Write(shared + "\\other.dic", dicfix::Sample(dicfix::Coding::Plain)));
    kit::Register(0xD001, own + "\\CATALOGS", "Book one", 1);
    kit::Register(0xD002, shared + "\\CATALOGS", "Book two", 1);
    kit::Register(0xD003, kit::ExeFolder() + "\\CATALOGS", "Book three", 1);
    kit::Register(0x2345, shared + "\\other.dic", "Other", 4);
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));

    ASSERT_TRUE(Lexicore_RemoveDic(0xD002, TRUE));
    EXPECT_TRUE(kit::Exists(shared + "\\other.dic"));
    ASSERT_TRUE(Lexicore_RemoveDic(0xD003, TRUE));
    EXPECT_TRUE(kit::Exists(kit::ExeFolder() + "\\lexicore_catalogue_test.exe"));
    ASSERT_TRUE(Lexicore_RemoveDic(0xD001, TRUE));
    EXPECT_FALSE(kit::Exists(own));
    EXPECT_EQ(1, Lexicore_GetDicFileCount());
}

// Removing a book with its files takes the book's file and its gaiji fonts, never the user's
// other files in its folder; moving a user dictionary takes its own files, not the catalogued
// static dictionary of the same name beside it.
TEST_P(Catalogue, RemoveAndMoveTakeOnlyTheDictionarysOwnFiles) {
    kit::Sandbox box("ownfiles", GetParam());
    std::string docs = box.Path("docs"), from = box.Path("from"), to = box.Path("to");
    for (const std::string &f : {docs, docs + "\\photos", from, to}) CreateDirectoryA(f.c_str(), nullptr);
    kit::WriteAll(docs + "\\CATALOGS", "book");
    kit::WriteAll(docs + "\\GA16FULL", "font");
    kit::WriteAll(docs + "\\letter.txt", "the user's letter");
    kit::WriteAll(docs + "\\photos\\a.jpg", "picture");
    kit::Register(0xD001, docs + "\\CATALOGS", "Book", 1);
    char key[MAX_PATH];
    Lexidata_GetDicKey(0xD001, key);
    Basekit_SettingsWriteString(key, "FontFileName#0", "GA16FULL");
    ASSERT_TRUE(dicfix::Write(from + "\\english.dic", dicfix::Sample(dicfix::Coding::Plain)));
    kit::Register(0x2345, from + "\\english.dic", "Static", 4);
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));
    DWORD user = Lexicore_CreateUserDic((from + "\\english.rdc").c_str(), "User", "U", 0, 1, 0x0100, 0x0100);
    ASSERT_NE(0u, user);

    ASSERT_TRUE(Lexicore_RemoveDic(0xD001, TRUE));
    EXPECT_FALSE(kit::Exists(docs + "\\CATALOGS"));
    EXPECT_FALSE(kit::Exists(docs + "\\GA16FULL"));
    EXPECT_EQ("the user's letter", kit::ReadAll(docs + "\\letter.txt"));
    EXPECT_EQ("picture", kit::ReadAll(docs + "\\photos\\a.jpg"));

    std::string staticBytes = kit::ReadAll(from + "\\english.dic");
    ASSERT_TRUE(Lexicore_MoveDic(user, to.c_str(), nullptr, nullptr));
    for (const char *ext : {"rdc", "rdt", "rxa", "rna", "rra"}) {
        EXPECT_TRUE(kit::Exists(to + "\\english." + ext)) << ext;
        EXPECT_FALSE(kit::Exists(from + "\\english." + ext)) << ext;
    }
    EXPECT_EQ(staticBytes, kit::ReadAll(from + "\\english.dic"));
    EXPECT_FALSE(kit::Exists(to + "\\english.dic"));
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(0x2345, &info));
    EXPECT_EQ(from + "\\english.dic", std::string(info.path));
    // Moved back beside it and removed with its files: the static dictionary stays.
    ASSERT_TRUE(Lexicore_MoveDic(user, from.c_str(), nullptr, nullptr));
    ASSERT_TRUE(Lexicore_RemoveDic(user, TRUE));
    EXPECT_FALSE(kit::Exists(from + "\\english.rdc"));
    EXPECT_EQ(staticBytes, kit::ReadAll(from + "\\english.dic"));
}

TEST_P(Catalogue, DriverLibrariesAreAdmittedOnlyWhenAsked) {
    kit::Sandbox box("driver", GetParam());
    std::string lib = kit::ExeFolder() + "\\ddsample.dll";
    std::string refuse = box.Path("refuse_dd.dll");
    ASSERT_TRUE(CopyFileA(lib.c_str(), refuse.c_str(), FALSE));
    kit::Register(0x3000, lib, "Translator", 1);
    kit::Register(0x3001, refuse, "Refusing", 1);
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));
    EXPECT_EQ(0, Lexicore_GetDicFileCount());
    Lexicore_Term();

    ASSERT_TRUE(Lexicore_Init("VLTCAT", LEXICORE_INIT_DRIVERS));
    EXPECT_EQ(2, Lexicore_GetDicFileCount());
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(0x3000, &info));
    EXPECT_EQ(3u, info.kind);
    EXPECT_EQ(0u, info.status & DICSTATUS_BAD);
    EXPECT_EQ(772u, info.size);
    EXPECT_STREQ("Translator", info.name);
    DicProperty p;
    memset(&p, 0, sizeof p);
    ASSERT_TRUE(Lexicore_GetDicProperty(0x300000, &p));
    EXPECT_EQ(8u, p.indexKind);
    EXPECT_STREQ("N1", p.nickname);
    std::vector<DWORD> ids;
    EXPECT_EQ(1, Lexicore_EnumDicsByKind(8, CollectIds, (LPARAM)&ids));
    ASSERT_TRUE(Lexicore_GetDicInfo(0x3001, &info));
    EXPECT_NE(0u, info.status & DICSTATUS_BAD);

    // Release at stop calls DDClose once per loaded library.
    SetEnvironmentVariableA("DDSAMPLE_CLOSED", "0");
    Lexicore_Term();
    char closed[16] = {0};
    GetEnvironmentVariableA("DDSAMPLE_CLOSED", closed, sizeof closed);
    EXPECT_STREQ("1", closed);
    // The refusing copy was unloaded at once: it can be deleted.
    EXPECT_TRUE(DeleteFileA(refuse.c_str()));
}

// A phonetic data file with the blocks of the keys (format of the phonetic-data library).
std::string PhoneFile(const std::vector<std::pair<uint32_t, std::string>> &blocks) {
    dicfix::Bytes f;
    f.Str("VLPHONE1");
    f.U32(1);
    f.U32((uint32_t)blocks.size());
    f.U32(32);
    f.U32(0);  // total size, set below
    f.U32(0);
    f.U32(0);
    uint32_t data = 32 + 16 * (uint32_t)blocks.size();
    for (const auto &b : blocks) {
        f.U32(b.first);
        f.U32(2);
        f.U32(data);
        f.U32((uint32_t)b.second.size());
        data += (uint32_t)b.second.size();
    }
    for (const auto &b : blocks) f.Str(b.second);
    f.Set32(20, f.Pos());
    return std::string(f.b.begin(), f.b.end());
}

TEST_P(Catalogue, PhoneticDataAndMediaComeFromTheNamedDataFiles) {
    kit::Sandbox box("phone", GetParam());
    std::string sample = box.Path("sample.dic"), data = box.Path("media.dat");
    ASSERT_TRUE(dicfix::Write(sample, dicfix::Sample(dicfix::Coding::Plain)));
    kit::WriteAll(data, PhoneFile({{7, "seven"}, {42, "picture bytes"}}));
    kit::Register(0x2345, sample, "Sample", 4);
    char key[MAX_PATH];
    Lexidata_GetDicKey(0x2345, key);
    Basekit_SettingsWriteString(key, "PhoneDataFile", data.c_str());
    Basekit_SettingsWriteString(key, "ImageDataFile", data.c_str());
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));
    EXPECT_TRUE(Lexicore_GetPhoneData(0x2345, 7, FALSE));
    EXPECT_FALSE(Lexicore_GetPhoneData(0x2345, 8, FALSE));
    EXPECT_FALSE(Lexicore_GetPhoneData(0x2400, 7, FALSE));
    std::string out = box.Path("out.bin");
    kit::WriteAll(out, "old contents that are longer");
    EXPECT_TRUE(Lexicore_ExportMedia(0x2345, 42, nullptr, out.c_str()));
    EXPECT_EQ("picture bytes", kit::ReadAll(out));
    EXPECT_FALSE(Lexicore_ExportMedia(0x2345, 43, nullptr, out.c_str()));
}

struct Forwarded {
    UINT count = 0;
    WPARAM kind = 0;
    LexicoreChange change = {};
};
Forwarded g_forwarded;

LRESULT CALLBACK NotifyProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP + 7) {
        g_forwarded.count++;
        g_forwarded.kind = wParam;
        g_forwarded.change = *(const LexicoreChange *)lParam;
        return 77;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

TEST_P(Catalogue, EntryNoticesAreForwardedToTheNotifyWindowWhenEnabled) {
    kit::Sandbox box("forward", GetParam());
    ASSERT_TRUE(Lexicore_Init("VLTCAT", 0));
    HWND engine = FindWindowA("VLTCATVLV8DICAPICLASS", nullptr);
    ASSERT_NE(nullptr, engine);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LexicoreTestNotify";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "LexicoreTestNotify", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(nullptr, w);
    g_forwarded = Forwarded();
    Lexicore_SetNotifyWindow(w, WM_APP + 7);
    EXPECT_EQ(0, SendMessageA(engine, VLM_DICAPI_ENTRY_UPDATED, 0x234500, 12));  // not enabled
    EXPECT_FALSE(Lexicore_EnableNotify(TRUE));
    EXPECT_EQ(77, SendMessageA(engine, VLM_DICAPI_ENTRY_DELETED, 0x234500, 12));
    EXPECT_EQ(1u, g_forwarded.count);
    EXPECT_EQ(3u, g_forwarded.kind);
    EXPECT_EQ(3u, g_forwarded.change.kind);
    EXPECT_EQ(0x234500u, g_forwarded.change.wParam);
    EXPECT_EQ(12, g_forwarded.change.value);
    Lexicore_SetNotifyWindow(w, 0);
    EXPECT_EQ(1, Lexicore_Notify(1, 0, 0));  // no message number: nothing sent
    DestroyWindow(w);
    EXPECT_EQ(0, Lexicore_Notify(1, 0, 0));  // the window is gone
    EXPECT_EQ(1u, g_forwarded.count);
    Lexicore_EnableNotify(FALSE);
    Lexicore_SetNotifyWindow(nullptr, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, Catalogue, ::testing::Values(Mode::Registry, Mode::File),
                         [](const ::testing::TestParamInfo<Mode> &i) {
                             return std::string(i.param == Mode::File ? "SettingsFile" : "Registry");
                         });

}  // namespace
