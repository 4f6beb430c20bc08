// Word lists: the identity and score rule, edits at the boundaries, the word-list file with a
// table of damaged files, and the clipboard block.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "support/testkit_faults.h"
#include "support/testkit_files.h"

namespace {

VLDataItem *Item(DWORD entry, const char *hw, DWORD score = 0, DWORD fileId = 0x2000) {
    VLDataItem h;
    memset(&h, 0, sizeof h);
    h.head.fileId = fileId;
    h.head.subDicNo = 1;
    h.head.entryNo = entry;
    h.score = score;
    return VLDataItem_Create(&h, hw, nullptr, nullptr, nullptr);
}

void Fill(VLWordList *list, int n, int first = 1) {
    for (int i = 0; i < n; i++) {
        std::string w = "w" + std::to_string(first + i);
        VLDataItem *it = Item(first + i, w.c_str());
        VLWordList_Add(list, it);
        VLDataItem_Destroy(it);
    }
}

std::vector<std::string> Words(const VLWordList *list) {
    std::vector<std::string> out;
    for (LONG i = 0; i < VLWordList_Count(list); i++) out.push_back(VLWordList_GetItem(list, i)->headword);
    return out;
}

TEST(WordList, SameIdentityKeepsLowerScore) {
    VLWordList *list = VLWordList_Create(3);
    VLDataItem *a5 = Item(4, "x", 5), *a3 = Item(4, "x", 3), *a9 = Item(4, "x", 9);
    VLDataItem *big = Item(4, "x", 0x80000000), *other = Item(5, "y", 1);
    EXPECT_EQ(VLWordList_Add(list, other), 1);
    EXPECT_EQ(VLWordList_Add(list, a5), 2);
    EXPECT_EQ(VLWordList_Add(list, a3), 2);
    EXPECT_EQ(VLWordList_Add(list, a9), 2);
    EXPECT_EQ(VLWordList_Add(list, big), 2);  // unsigned: 0x80000000 is above 3
    EXPECT_EQ(VLWordList_Count(list), 2);
    EXPECT_EQ(VLWordList_GetItem(list, 1)->score, 3u);
    EXPECT_NE(VLWordList_GetItem(list, 1), a5);  // the list holds its own copy
    // Another file id is another identity.
    VLDataItem *elsewhere = Item(4, "x", 1, 0x2001);
    EXPECT_EQ(VLWordList_Add(list, elsewhere), 3);
    // Full: 0 even for an item already held.
    EXPECT_EQ(VLWordList_Add(list, a3), 0);
    for (VLDataItem *p : {a5, a3, a9, big, other, elsewhere}) VLDataItem_Destroy(p);
    VLWordList_Destroy(list);
}

// A long list finds a held identity after every kind of change: adds at the end, a delete, a
// replacement in place, an insert, a sort, a smaller maximum and emptying.
TEST(WordList, LongListsFindHeldItemsAfterEveryChange) {
    VLWordList *list = VLWordList_Create(1000);
    Fill(list, 300);
    auto add = [&](DWORD entry, DWORD score = 0) {
        VLDataItem *it = Item(entry, ("w" + std::to_string(entry)).c_str(), score);
        LONG at = VLWordList_Add(list, it);
        VLDataItem_Destroy(it);
        return at;
    };
    auto positionOf = [&](DWORD entry) {
        for (LONG i = 0; i < VLWordList_Count(list); i++)
            if (VLWordList_GetItem(list, i)->head.entryNo == entry) return i + 1;
        return 0L;
    };
    EXPECT_EQ(add(150), 150);
    EXPECT_EQ(add(301), 301);
    EXPECT_EQ(add(1, 7), 1);
    EXPECT_EQ(VLWordList_Count(list), 301);
    ASSERT_TRUE(VLWordList_Delete(list, 0));        // entry 1 gone, every position one less
    EXPECT_EQ(add(150), 149);
    EXPECT_EQ(add(1), 301);                          // added again at the end
    VLDataItem *other = Item(5000, "z");
    EXPECT_EQ(VLWordList_AddEx(list, 9, other), 9);  // entry 11 replaced, the count kept
    EXPECT_EQ(add(5000), 10);
    EXPECT_EQ(add(11), 302);
    VLWordList *front = VLWordList_Create(2);
    Fill(front, 2, 7000);
    ASSERT_TRUE(VLWordList_Insert(list, 0, front));
    EXPECT_EQ(add(7001), 2);
    EXPECT_EQ(add(150), 151);
    VLWordList_Sort(list, 0, 1);
    EXPECT_EQ(add(150), positionOf(150));
    EXPECT_EQ(add(7000), positionOf(7000));
    DWORD gone = VLWordList_GetItem(list, 150)->head.entryNo;
    VLWordList_SetMaxNum(list, 100);  // the first hundred kept
    VLWordList_SetMaxNum(list, 400);
    ASSERT_EQ(VLWordList_Count(list), 100);
    EXPECT_EQ(add(VLWordList_GetItem(list, 0)->head.entryNo), 1);
    EXPECT_EQ(add(gone), 101);
    VLWordList_DeleteAllItems(list);
    EXPECT_EQ(add(150), 1);
    Fill(list, 60, 1000);
    EXPECT_EQ(add(150), 1);
    EXPECT_EQ(add(1059), 61);
    EXPECT_EQ(VLWordList_Count(list), 61);
    VLDataItem_Destroy(other);
    VLWordList_Destroy(front);
    VLWordList_Destroy(list);
}

TEST(WordList, EditsAtTheBoundaries) {
    VLWordList *list = VLWordList_Create(5);
    Fill(list, 5);
    VLDataItem *n = Item(99, "new");
    EXPECT_EQ(VLWordList_AddEx(list, -1, n), -1);  // full
    EXPECT_EQ(VLWordList_AddEx(list, 2, n), 2);    // replaces
    EXPECT_EQ(Words(list), (std::vector<std::string>{"w1", "w2", "new", "w4", "w5"}));
    EXPECT_FALSE(VLWordList_Delete(list, 5));
    EXPECT_TRUE(VLWordList_Delete(list, 4));
    EXPECT_EQ(list->slots[4], nullptr);
    EXPECT_EQ(VLWordList_AddEx(list, 7, n), 4);  // beyond the count appends
    EXPECT_EQ(VLWordList_GetItem(list, 5), nullptr);
    EXPECT_EQ(VLWordList_GetItem(list, -1), nullptr);

    // Insert two at 1 into a full list of 5: the last two are pushed out.
    VLWordList *src = VLWordList_Create(2);
    Fill(src, 2, 10);
    EXPECT_TRUE(VLWordList_Insert(list, 1, src));
    EXPECT_EQ(Words(list), (std::vector<std::string>{"w1", "w10", "w11", "w2", "new"}));
    EXPECT_FALSE(VLWordList_Insert(list, 6, src));

    EXPECT_TRUE(VLWordList_SetCurItem(list, 4));
    EXPECT_STREQ(VLWordList_GetCurItem(list)->headword, "new");
    EXPECT_FALSE(VLWordList_SetCurItem(list, 5));

    VLWordList_SetMaxNum(list, 3);
    EXPECT_EQ(list->maximum, 3);
    EXPECT_EQ(Words(list), (std::vector<std::string>{"w1", "w10", "w11"}));
    VLWordList_SetMaxNum(list, 6);
    EXPECT_EQ(list->slots[5], nullptr);
    EXPECT_EQ(VLWordList_Add(list, n), 4);
    EXPECT_EQ(VLWordList_DeleteAllItems(list), 4);
    EXPECT_EQ(VLWordList_GetCurItem(list), nullptr);
    EXPECT_EQ(VLWordList_Add(nullptr, n), 0);
    VLDataItem_Destroy(n);
    VLWordList_Destroy(src);
    VLWordList_Destroy(list);
}

TEST(WordList, SortByScoreAndIdentity) {
    VLWordList *list = VLWordList_Create(4);
    DWORD scores[] = {0x30000000, 0x10000000, 0x20000000, 0x00050000};
    for (int i = 0; i < 4; i++) {
        std::string w = "s" + std::to_string(i);
        VLDataItem *it = Item(i, w.c_str(), scores[i], 0x2000 + (3 - i));
        VLWordList_Add(list, it);
        VLDataItem_Destroy(it);
    }
    VLWordList_Sort(list, 0, 0);
    EXPECT_EQ(Words(list), (std::vector<std::string>{"s3", "s1", "s2", "s0"}));
    VLWordList_Sort(list, 0, 1);
    EXPECT_EQ(Words(list), (std::vector<std::string>{"s0", "s2", "s1", "s3"}));
    VLWordList_Sort(list, 5, 0);
    EXPECT_EQ(Words(list), (std::vector<std::string>{"s3", "s2", "s1", "s0"}));
    VLWordList_Destroy(list);
}

TEST(WordListFile, SaveLoadRoundTrip) {
    const char *path = "wl_roundtrip.vlh";
    VLWordList *list = VLWordList_Create(10);
    VLDataItem h;
    memset(&h, 0, sizeof h);
    h.head.fileId = 0x2000;
    h.head.entryNo = 1;
    h.score = 0x12345678;
    VLDataItem *full = VLDataItem_Create(&h, "head", "second", "third", "fourth");
    VLWordList_Add(list, full);
    Fill(list, 2, 5);
    ASSERT_TRUE(VLWordList_Save(list, path));
    std::vector<BYTE> bytes = Testkit_ReadBytes(path);
    ASSERT_GE(bytes.size(), 32u);
    EXPECT_EQ(memcmp(bytes.data(), "VLV5DATA", 8), 0);
    DWORD total = VLDataItem_Save(full, nullptr) + VLDataItem_Save(VLWordList_GetItem(list, 1), nullptr) +
                  VLDataItem_Save(VLWordList_GetItem(list, 2), nullptr);
    EXPECT_EQ(Testkit_Get32(bytes, 8), total);
    EXPECT_EQ(bytes[12] | (bytes[13] << 8), 0x500);
    EXPECT_EQ(Testkit_Get32(bytes, 14), 3u);  // unaligned count
    EXPECT_EQ(Testkit_Get32(bytes, 18), 10u);
    EXPECT_EQ(bytes.size(), 32 + total);

    VLWordList *back = VLWordList_Create(10);
    ASSERT_TRUE(VLWordList_Load(back, path));
    EXPECT_EQ(Words(back), Words(list));
    VLDataItem *b0 = VLWordList_GetItem(back, 0);
    EXPECT_STREQ(b0->second, "second");
    EXPECT_STREQ(b0->third, "third");
    EXPECT_STREQ(b0->fourth, "fourth");
    EXPECT_EQ(b0->score, 0x12345678u);
    EXPECT_EQ(VLWordList_GetItem(back, 1)->second, VLWordList_GetItem(back, 1)->headword);

    // An empty list writes the header alone.
    VLWordList *empty = VLWordList_Create(3);
    ASSERT_TRUE(VLWordList_Save(empty, path));
    bytes = Testkit_ReadBytes(path);
    EXPECT_EQ(bytes.size(), 32u);
    EXPECT_EQ(Testkit_Get32(bytes, 8), 0u);
    EXPECT_FALSE(VLWordList_Save(nullptr, path));
    EXPECT_FALSE(VLWordList_Load(back, "no_such_file.vlh"));
    DeleteFileA(path);
    VLDataItem_Destroy(full);
    VLWordList_Destroy(empty);
    VLWordList_Destroy(back);
    VLWordList_Destroy(list);
}

TEST(WordListFile, LoadKeepsTheLastItemsAndLeavesNoStaleOnes) {
    const char *path = "wl_ring.vlh";
    VLWordList *seven = VLWordList_Create(7);
    Fill(seven, 7);
    ASSERT_TRUE(VLWordList_Save(seven, path));
    VLWordList *five = VLWordList_Create(5);
    ASSERT_TRUE(VLWordList_Load(five, path));
    EXPECT_EQ(Words(five), (std::vector<std::string>{"w3", "w4", "w5", "w6", "w7"}));

    // A list holding more items than the file: nothing of the old content remains.
    VLWordList *two = VLWordList_Create(2);
    Fill(two, 2, 50);
    ASSERT_TRUE(VLWordList_Save(two, path));
    ASSERT_TRUE(VLWordList_Load(five, path));
    EXPECT_EQ(Words(five), (std::vector<std::string>{"w50", "w51"}));
    for (int i = 2; i < 5; i++) EXPECT_EQ(five->slots[i], nullptr) << i;
    EXPECT_EQ(VLWordList_Add(five, VLWordList_GetItem(seven, 0)), 3);

    // A format number below 1280 empties the list and succeeds.
    std::vector<BYTE> bytes = Testkit_ReadBytes(path);
    bytes[12] = 0xFF; bytes[13] = 0x04;
    Testkit_WriteFile(path, bytes);
    ASSERT_TRUE(VLWordList_Load(five, path));
    EXPECT_EQ(VLWordList_Count(five), 0);

    // A list of maximum 0 loads nothing.
    VLWordList *none = VLWordList_Create(0);
    ASSERT_TRUE(VLWordList_Save(seven, path));
    EXPECT_TRUE(VLWordList_Load(none, path));
    EXPECT_EQ(VLWordList_Count(none), 0);
    DeleteFileA(path);
    VLWordList_Destroy(none);
    VLWordList_Destroy(two);
    VLWordList_Destroy(five);
    VLWordList_Destroy(seven);
}

// Each damaged file is refused with 0 and the list keeps what it held.
TEST(WordListFile, DamagedFilesAreRejected) {
    const char *good = "wl_good.vlh";
    VLWordList *src = VLWordList_Create(4);
    VLDataItem h;
    memset(&h, 0, sizeof h);
    h.head.entryNo = 1;
    VLDataItem *rich = VLDataItem_Create(&h, "abc", "de", "fgh", "ij");
    VLWordList_Add(src, rich);
    Fill(src, 1, 2);
    ASSERT_TRUE(VLWordList_Save(src, good));
    const std::vector<BYTE> base = Testkit_ReadBytes(good);
    const size_t i0 = 32;                          // first item
    const size_t size0 = Testkit_Get32(base, i0);           // 108 + 4 + 3 + 4 + 3
    const size_t i1 = i0 + size0;                   // second item
    ASSERT_EQ(size0, 108u + 4 + 3 + 4 + 3);

    struct Case {
        const char *what;
        void (*damage)(std::vector<BYTE> &, size_t, size_t);
    } cases[] = {
        {"header cut", [](std::vector<BYTE> &b, size_t, size_t) { b.resize(20); }},
        {"first item cut in its head", [](std::vector<BYTE> &b, size_t i0, size_t) { b.resize(i0 + 50); }},
        {"last item cut in its strings", [](std::vector<BYTE> &b, size_t, size_t) { b.resize(b.size() - 2); }},
        {"count above the data", [](std::vector<BYTE> &b, size_t, size_t) { Testkit_Put32(b, 14, 3); }},
        {"huge count", [](std::vector<BYTE> &b, size_t, size_t) { Testkit_Put32(b, 14, 0x7FFFFFFF); }},
        {"item size below the head", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0, 60); }},
        {"item size past the end", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0, 100000); }},
        {"not a data item", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0 + 4, 5); }},
        {"headword offset out of the block", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0 + 60, 4000); }},
        {"headword offset inside the head", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0 + 60, 40); }},
        {"headword length past the block", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0 + 48, 200); }},
        {"negative length", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0 + 52, 0xFFFFFFFF); }},
        {"third offset out of the block", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0 + 68, 0x10000); }},
        {"fourth offset out of the block", [](std::vector<BYTE> &b, size_t i0, size_t) { Testkit_Put32(b, i0 + 96, 126); }},
        {"missing headword terminator", [](std::vector<BYTE> &b, size_t i0, size_t) { b[i0 + 108 + 3] = 'X'; }},
        {"missing fourth terminator", [](std::vector<BYTE> &b, size_t i0, size_t sz) { b[i0 + sz - 1] = 'X'; }},
        {"second item damaged", [](std::vector<BYTE> &b, size_t, size_t) {
             size_t i1 = 32 + Testkit_Get32(b, 32);
             Testkit_Put32(b, i1 + 60, 0xFFFF);
         }},
    };
    (void)i1;
    for (const Case &c : cases) {
        std::vector<BYTE> bytes = base;
        c.damage(bytes, i0, size0);
        Testkit_WriteFile("wl_bad.vlh", bytes);
        VLWordList *list = VLWordList_Create(4);
        Fill(list, 3, 70);
        EXPECT_FALSE(VLWordList_Load(list, "wl_bad.vlh")) << c.what;
        EXPECT_EQ(Words(list), (std::vector<std::string>{"w70", "w71", "w72"})) << c.what;
        VLWordList_Destroy(list);
    }
    DeleteFileA("wl_bad.vlh");
    DeleteFileA(good);
    VLDataItem_Destroy(rich);
    VLWordList_Destroy(src);
}

TEST(WordListFile, AddItemToFile) {
    const char *path = "wl_append.vlh";
    DeleteFileA(path);
    VLDataItem *a = Item(1, "first");
    VLDataItem *b = Item(2, "second");
    // A missing file starts as an empty word list.
    ASSERT_TRUE(VLWordList_AddItemToFile(path, a));
    ASSERT_TRUE(VLWordList_AddItemToFile(path, b));
    std::vector<BYTE> bytes = Testkit_ReadBytes(path);
    EXPECT_EQ(memcmp(bytes.data(), "VLV5DATA", 8), 0);
    EXPECT_EQ(Testkit_Get32(bytes, 14), 2u);
    EXPECT_EQ(Testkit_Get32(bytes, 8), VLDataItem_Save(a, nullptr) + VLDataItem_Save(b, nullptr));
    VLWordList *list = VLWordList_Create(5);
    ASSERT_TRUE(VLWordList_Load(list, path));
    EXPECT_EQ(Words(list), (std::vector<std::string>{"first", "second"}));
    DeleteFileA(path);
    VLDataItem_Destroy(a);
    VLDataItem_Destroy(b);
    VLWordList_Destroy(list);
}

// A disk that fills up in the middle of a save or an append leaves the file as it was, byte for
// byte, and no side file behind.
TEST(WordListFile, FailedWritesLeaveTheOldFile) {
    const char *path = "wl_full_disk.vlh";
    DeleteFileA("wl_full_disk_new.vlh");
    VLWordList *list = VLWordList_Create(10);
    Fill(list, 3);
    ASSERT_TRUE(VLWordList_Save(list, path));
    std::vector<BYTE> saved = Testkit_ReadBytes(path);
    VLWordList *bigger = VLWordList_Create(10);
    Fill(bigger, 8, 10);
    VLDataItem *extra = Item(99, "appended item with a long enough headword");
    for (DWORD allowance : {0u, 20u, 40u, 150u}) {
        SCOPED_TRACE(allowance);
        {
            Testkit_WriteFault fault("Lexidata.dll", allowance);
            ASSERT_TRUE(fault.Armed());
            EXPECT_FALSE(VLWordList_Save(bigger, path));
            EXPECT_FALSE(VLWordList_AddItemToFile(path, extra));
            EXPECT_FALSE(VLWordList_AddItemToFile("wl_full_disk_new.vlh", extra));
        }
        EXPECT_EQ(Testkit_ReadBytes(path), saved);
        EXPECT_EQ(GetFileAttributesA("wl_full_disk_new.vlh"), INVALID_FILE_ATTRIBUTES);
    }
    WIN32_FIND_DATAA found;
    HANDLE walk = FindFirstFileA("*.tmp", &found);
    EXPECT_EQ(walk, INVALID_HANDLE_VALUE) << found.cFileName;
    if (walk != INVALID_HANDLE_VALUE) FindClose(walk);
    VLWordList *back = VLWordList_Create(10);
    ASSERT_TRUE(VLWordList_Load(back, path));
    EXPECT_EQ(Words(back), Words(list));
    DeleteFileA(path);
    VLDataItem_Destroy(extra);
    VLWordList_Destroy(list);
    VLWordList_Destroy(bigger);
    VLWordList_Destroy(back);
}

TEST(WordListClipboard, CopyPasteRoundTripAndForeignBlock) {
    EXPECT_EQ(DLVGetClipbordFormat(), RegisterClipboardFormatA("VELOMIRA_DATAITEM"));
    HWND wnd = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    VLWordList *list = VLWordList_Create(5);
    Fill(list, 3);
    ASSERT_TRUE(VLWordList_Copy(list, wnd));
    VLWordList *back = VLWordList_Create(5);
    ASSERT_TRUE(VLWordList_Paste(back, wnd));
    EXPECT_EQ(Words(back), Words(list));

    // A damaged block of the format is refused and changes nothing.
    ASSERT_TRUE(OpenClipboard(wnd));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40);
    BYTE *p = (BYTE *)GlobalLock(mem);
    memcpy(p, "VLV5DATA", 8);
    p[12] = 0x00; p[13] = 0x05; p[14] = 1;  // one item promised, 8 bytes given
    GlobalUnlock(mem);
    ASSERT_NE(SetClipboardData(DLVGetClipbordFormat(), mem), nullptr);
    CloseClipboard();
    EXPECT_FALSE(VLWordList_Paste(back, wnd));
    EXPECT_EQ(Words(back), Words(list));

    // No block of the format at all.
    ASSERT_TRUE(OpenClipboard(wnd));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(VLWordList_Paste(back, wnd));
    VLWordList_Destroy(back);
    VLWordList_Destroy(list);
    DestroyWindow(wnd);
}

}  // namespace
