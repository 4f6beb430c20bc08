// Resources programs carry themselves, compiled into this program as they do: the finder's title
// words come back as the Shift-JIS words the book titles hold, whatever the user-interface
// language, its frame's icon exists in both sizes, and the study-list program's keys reach their
// commands.
#include <windows.h>
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "uiassets.h"

TEST(FinderResources, TitleWordsAreShiftJisWords) {
    struct Row {
        UINT id;
        const char *word;
    } rows[] = {
        {UIA_FINDER_IDS_FRENCH, "\x95\xa7\x98\x61"},  // "French-Japanese"
        {UIA_FINDER_IDS_GERMAN, "\x93\xc6\x98\x61"},  // "German-Japanese"
    };
    char text[64];
    for (const Row &r : rows) {
        ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), r.id, text, sizeof text), 0) << r.id;
        EXPECT_STREQ(text, r.word) << r.id;
    }
    for (UINT id = UIA_FINDER_IDS_TITLE4; id <= UIA_FINDER_IDS_TITLE8; id++)
        EXPECT_GT(LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text), 0) << id;
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 3, text, sizeof text), 0) << "no row 3";
}

TEST(FinderResources, FrameIconInBothSizes) {
    for (int size : {16, 32})
        EXPECT_NE(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(UIA_FINDER_IDI_FRAME), IMAGE_ICON, size, size, 0),
                  nullptr);
}

TEST(StudyListKeys, EveryKeyReachesItsCommand) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(UIA_STUDY_IDA_PROGRAM));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    int n = CopyAcceleratorTableA(table, keys, 32);
    std::map<std::pair<int, int>, int> byKey;
    for (int i = 0; i < n; i++) byKey[std::make_pair(keys[i].fVirt & (FCONTROL | FALT | FSHIFT), (int)keys[i].key)] = keys[i].cmd;
    EXPECT_EQ(n, 14);
    struct Row {
        int flags, key, command;
    } rows[] = {{FCONTROL, 'A', UIA_CMD_SELECT_ALL}, {FCONTROL, 'C', UIA_CMD_COPY},  {FCONTROL, 'D', UIA_CMD_PRONOUNCE},
                {FCONTROL, 'F', UIA_CMD_SEND_TEXT},  {FCONTROL, 'L', UIA_CMD_PRONOUNCE}, {FCONTROL, 'N', UIA_CMD_NEW},
                {FCONTROL, 'O', UIA_CMD_OPEN},       {FCONTROL, 'S', UIA_CMD_SAVE},  {FCONTROL, 'T', UIA_CMD_LANGUAGE_MANAGER},
                {FCONTROL, 'V', UIA_CMD_PASTE},      {FCONTROL, 'X', UIA_CMD_CUT},   {0, VK_DELETE, UIA_CMD_DELETE_LIST},
                {0, VK_F1, UIA_CMD_HELP_CONTENTS},   {0, VK_F2, UIA_CMD_RENAME}};
    for (const Row &r : rows) EXPECT_EQ(byKey[std::make_pair(r.flags, r.key)], r.command) << r.key;
    DestroyAcceleratorTable(table);
}
