// Damaged dictionary files: truncated and mutated copies of a fixture are loaded, opened and read
// through every path of the reader; a file without a readable header does not open, and nothing
// crashes or runs away.  The German and Japanese language drivers are registered for the run, so
// that damaged records reach them too, and the engine is started and stopped hundreds of times
// with them loaded.
#include <gtest/gtest.h>
#include "testkit.h"

namespace {

int CALLBACK Count(VLDataItem *, int, void *user) {
    int *n = (int *)user;
    return ++*n > 100000 ? LEXICORE_ITEM_STOP : LEXICORE_ITEM_ADDED;
}

int CALLBACK Label(VLLabelItem *, void *) { return 1; }

int CALLBACK CollectIds(DicProperty *p, LPARAM user) {
    ((std::vector<DWORD> *)user)->push_back(p->dicId);
    return 1;
}

// Every reading operation over every sub-dictionary of the file.
void Exercise(DWORD fileId) {
    std::vector<DWORD> ids;
    Lexicore_EnumDics(CollectIds, (LPARAM)&ids);
    for (DWORD id : ids) {
        DicSession *s = Lexicore_CreateSession();
        if (Lexicore_OpenSession(s, id, FALSE)) {
            static const char *const keys[] = {"apple", "zzz", "", "b"};
            for (const char *k : keys) {
                LONG pos;
                Lexicore_Locate(s, k, 0, &pos);
                int n = 0;
                Lexicore_Search(s, k, 0, Count, &n);
                Lexicore_Search(s, k, LEXICORE_SF_SIMILAR, Count, &n);
            }
            int n = 0;
            Lexicore_Search(s, "", LEXICORE_SF_FIRST, Count, &n);
            Lexicore_SelectIndex(s, 1);
            Lexicore_Search(s, "a", 0, Count, &n);
            for (LONG p = 0; p < 8; p++) {
                VLDataItem *item = Lexicore_GetItem(s, p);
                if (!item) continue;
                VLData data;
                memset(&data, 0, sizeof data);
                if (Lexicore_ReadEntryTextEx(s, item, &data)) {
                    VLMem_Free(data.data1);
                    VLMem_Free(data.data2);
                }
                VLDataItem_Destroy(item);
            }
            Lexicore_CloseSession(s);
        }
        Lexicore_DestroySession(s);
    }
    for (DWORD n = 0; n < 4; n++) {
        VLLabelItem *l = Lexicore_GetRecordByNumber(fileId, n);
        if (l) VLLabelItem_Destroy(l);
        VLPageItem *p = Lexicore_GetPageItem(fileId, (LONG)n);
        if (p) VLPageItem_Destroy(p);
    }
    Lexicore_EnumEntriesByLabel(fileId, 2, Label, nullptr);
    char font[32];
    Lexicore_GetFontName(fileId, 0, font);
}

const char kLanguageRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";

// The real drivers for German (0x0700) and Japanese (0x0400) in the language keys for the whole
// program; the keys go again at the end.
class DriverKeys : public ::testing::Environment {
  public:
    void SetUp() override {
        for (const char *code : {"0700", "0400"}) {
            std::string key = std::string(kLanguageRoot) + "\\" + code;
            const char *file = code[1] == '7' ? "lingo_de.dll" : "lingo_ja.dll";
            HKEY k;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
                      ERROR_SUCCESS);
            RegSetValueExA(k, "FileName", 0, REG_SZ, (const BYTE *)file, (DWORD)strlen(file) + 1);
            RegCloseKey(k);
        }
    }
    void TearDown() override {
        for (const char *code : {"0700", "0400"})
            RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kLanguageRoot) + "\\" + code).c_str());
    }
};
const ::testing::Environment *const g_driverKeys = ::testing::AddGlobalTestEnvironment(new DriverKeys);

// The languages a round's sub-dictionaries are registered under: the built-in driver's and the
// two real drivers'.
const WORD kLanguages[] = {0x0100, 0x0700, 0x0400};

TEST(Damaged, TruncatedFilesOpenOnlyWithAWholeHeader) {
    kit::Sandbox box("truncated", kit::Mode::File);
    std::vector<uint8_t> whole = dicfix::Build(dicfix::Sample(dicfix::Coding::V1));
    ASSERT_FALSE(whole.empty());
    std::string path = box.Path("t.dic");
    int round = 0;
    for (size_t len = 0; len < whole.size(); len += (len < 1200 ? 7 : 13), round++) {
        kit::Register(0x2345, path, "Cut", 4, kLanguages[round % 3]);
        kit::WriteAll(path, std::string(whole.begin(), whole.begin() + len));
        ASSERT_TRUE(Lexicore_Init("VLTM", 0));
        ASSERT_NE(GetModuleHandleA("lingo_ja.dll"), nullptr) << "the Japanese driver serves its language";
        ASSERT_NE(GetModuleHandleA("lingo_de.dll"), nullptr) << "the German driver serves its language";
        if (len < 384) {
            DicSession *s = Lexicore_CreateSession();
            EXPECT_FALSE(Lexicore_OpenSession(s, 0x234500, FALSE)) << len;
            Lexicore_DestroySession(s);
        }
        Exercise(0x2345);
        Lexicore_Term();
    }
}

TEST(Damaged, MutatedFilesNeverCrashTheReader) {
    kit::Sandbox box("mutated", kit::Mode::File);
    std::string path = box.Path("m.dic");
    const dicfix::Coding codings[] = {dicfix::Coding::Plain, dicfix::Coding::V0, dicfix::Coding::V1};
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 240; round++) {
        dicfix::Dictionary d = dicfix::Sample(codings[round % 3]);
        dicfix::Layout layout;
        std::vector<uint8_t> bytes = dicfix::Build(d, &layout);
        ASSERT_FALSE(bytes.empty());
        if (round % 4 == 3) {
            // A headword index with a bucket directory.
            kit::WriteAll(path, std::string(bytes.begin(), bytes.end()));
            kit::AddDirectory(path, d, layout);
            std::string withDir = kit::ReadAll(path);
            bytes.assign(withDir.begin(), withDir.end());
        }
        int changes = 1 + (int)(next() % 6);
        for (int i = 0; i < changes; i++) {
            size_t at = next() % bytes.size();
            // Mostly in the records the reader trusts least: headers, descriptors and tables.
            if (next() % 2) at = next() % (bytes.size() < 1400 ? bytes.size() : 1400);
            // And in the directory at the end when there is one.
            else if (round % 4 == 3 && next() % 2) at = bytes.size() - 1 - next() % (bytes.size() < 12000 ? bytes.size() : 12000);
            uint32_t kind = next() % 3;
            bytes[at] = kind == 0 ? (uint8_t)next() : kind == 1 ? 0xFF : 0x00;
        }
        kit::WriteAll(path, std::string(bytes.begin(), bytes.end()));
        kit::Register(0x2345, path, "Mutant", 4, kLanguages[(round / 3) % 3]);
        ASSERT_TRUE(Lexicore_Init("VLTM", 0));
        Exercise(0x2345);
        Lexicore_Term();
    }
}

}  // namespace
