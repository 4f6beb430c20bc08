#include <gtest/gtest.h>
#include "rowkit.h"

#include <stdio.h>
#include <string>

namespace {

struct ListGuard {
    RowkitHandle list = Rowkit_Create();
    ~ListGuard() { Rowkit_Destroy(list); }
};

int FindAfter(RowkitHandle list, int start, const char *key)
{
    int index = 12345;
    int found = Rowkit_Find(list, start, key, &index);
    EXPECT_EQ(found != 0, index >= 0) << key;
    return index;
}

}  // namespace

TEST(Rowkit, KeepsInsertionOrderAndFindsByKey) {
    ListGuard g;
    int items[4];
    const char *keys[] = {"Notepad", "notepad", "\x83\x65\x83\x58\x83\x67" /* katakana "tesuto" */,
                          "Class With Space"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Rowkit_Add(g.list, keys[i], &items[i]), i);
    ASSERT_EQ(Rowkit_GetCount(g.list), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(Rowkit_GetKey(g.list, i), keys[i]);
        EXPECT_EQ(Rowkit_GetItem(g.list, i), &items[i]);
        EXPECT_EQ(FindAfter(g.list, -1, keys[i]), i) << "keys compare with case";
    }
    EXPECT_EQ(FindAfter(g.list, -1, "NOTEPAD"), -1);
    EXPECT_EQ(FindAfter(g.list, -1, "Class With"), -1);
    EXPECT_EQ(Rowkit_Find(g.list, -1, "Notepad", nullptr), 1);
}

TEST(Rowkit, FindWalksRowsOfOneKeyInOrder) {
    ListGuard g;
    Rowkit_Add(g.list, "a", nullptr);
    Rowkit_Add(g.list, "b", nullptr);
    Rowkit_Add(g.list, "a", nullptr);
    Rowkit_Add(g.list, "a", nullptr);
    EXPECT_EQ(FindAfter(g.list, -1, "a"), 0);
    EXPECT_EQ(FindAfter(g.list, 0, "a"), 2);
    EXPECT_EQ(FindAfter(g.list, 2, "a"), 3);
    EXPECT_EQ(FindAfter(g.list, 3, "a"), -1);
    EXPECT_EQ(FindAfter(g.list, 1, "b"), -1);
}

TEST(Rowkit, ManyRowsGrowAndRemoveKeepsIndexesRight) {
    ListGuard g;
    const int n = 1000;
    char key[32];
    for (int i = 0; i < n; ++i) {
        snprintf(key, sizeof key, "class%d", i);
        ASSERT_EQ(Rowkit_Add(g.list, key, (void *)(INT_PTR)(i + 1)), i);
    }
    for (int i = 0; i < n; i += 97) {
        snprintf(key, sizeof key, "class%d", i);
        EXPECT_EQ(FindAfter(g.list, -1, key), i);
    }
    // Remove every even row: the odd ones move down, still found under their keys.
    for (int i = n - 2; i >= 0; i -= 2)
        ASSERT_EQ(Rowkit_Remove(g.list, i), 1);
    ASSERT_EQ(Rowkit_GetCount(g.list), n / 2);
    for (int j = 0; j < n / 2; ++j) {
        snprintf(key, sizeof key, "class%d", 2 * j + 1);
        ASSERT_STREQ(Rowkit_GetKey(g.list, j), key);
        ASSERT_EQ(Rowkit_GetItem(g.list, j), (void *)(INT_PTR)(2 * j + 2));
        ASSERT_EQ(FindAfter(g.list, -1, key), j);
    }
    snprintf(key, sizeof key, "class%d", 10);
    EXPECT_EQ(FindAfter(g.list, -1, key), -1);
}

TEST(Rowkit, OutOfRangeAndNullAreRefused) {
    ListGuard g;
    int x;
    EXPECT_EQ(Rowkit_Add(nullptr, "k", &x), -1);
    EXPECT_EQ(Rowkit_Add(g.list, nullptr, &x), -1);
    EXPECT_EQ(Rowkit_GetCount(nullptr), 0);
    EXPECT_EQ(FindAfter(g.list, -1, "k"), -1);
    EXPECT_EQ(Rowkit_Find(nullptr, -1, "k", nullptr), 0);
    EXPECT_EQ(Rowkit_Add(g.list, "", &x), 0) << "an empty key is a key";
    EXPECT_EQ(FindAfter(g.list, -1, ""), 0);
    EXPECT_EQ(Rowkit_GetKey(g.list, 1), nullptr);
    EXPECT_EQ(Rowkit_GetKey(g.list, -1), nullptr);
    EXPECT_EQ(Rowkit_GetItem(g.list, 1), nullptr);
    EXPECT_EQ(Rowkit_SetItem(g.list, 1, &x), 0);
    EXPECT_EQ(Rowkit_Remove(g.list, 1), 0);
    EXPECT_EQ(Rowkit_SetItem(g.list, 0, nullptr), 1);
    EXPECT_EQ(Rowkit_GetItem(g.list, 0), nullptr);
    Rowkit_Destroy(nullptr);
}
