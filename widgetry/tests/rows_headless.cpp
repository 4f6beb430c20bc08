// The data list's row model without windows: which items group under which, which rows show,
// the navigation flags and the moves, and the score-class colour rule.
#include <gtest/gtest.h>
#include "widgetry.h"
#include "widgetry_int.h"

#include <string>
#include <vector>

namespace {

struct Spec {
    DWORD fileId, sub, entry, back;   // back: distance to the main entry (0 = main entry)
};

struct ListFixture {
    VLWordList *list;
    explicit ListFixture(const std::vector<Spec> &specs)
    {
        list = VLWordList_Create(64);
        for (const Spec &s : specs) {
            VLDataItem head = {};
            head.head.fileId = s.fileId;
            head.head.subDicNo = s.sub;
            head.head.entryNo = s.entry;
            head.entryLink = s.back << 16;
            VLDataItem *item = VLDataItem_Create(&head, "word", nullptr, nullptr, nullptr);
            VLWordList_Add(list, item);
            VLDataItem_Destroy(item);
        }
    }
    ~ListFixture() { VLWordList_Destroy(list); }
};

std::string Kinds(const std::vector<DataRow> &rows)
{
    std::string s;
    for (const DataRow &r : rows) s += "POFS"[r.kind];
    return s;
}

TEST(DataListRows, GroupingTable)
{
    struct Case {
        const char *name;
        std::vector<Spec> items;
        bool flat, folded;
        const char *kinds;   // P plain, O open main, F folded main, S sub-entry
        const char *shown;   // 1 shown, 0 hidden
    } cases[] = {
        {"main with two subs, then a plain item", {{0x20, 0, 10, 0}, {0x20, 0, 11, 1}, {0x20, 0, 12, 2}, {0x20, 0, 40, 0}},
         false, false, "OSSP", "1111"},
        {"the same folded", {{0x20, 0, 10, 0}, {0x20, 0, 11, 1}, {0x20, 0, 12, 2}, {0x20, 0, 40, 0}},
         false, true, "FSSP", "1001"},
        {"flat list", {{0x20, 0, 10, 0}, {0x20, 0, 11, 1}, {0x20, 0, 12, 2}}, true, true, "PPP", "111"},
        {"plain item between two groups", {{0x20, 0, 1, 0}, {0x20, 0, 2, 1}, {0x20, 0, 7, 0}, {0x20, 0, 9, 0}, {0x20, 0, 10, 1}},
         false, true, "FSPFS", "10110"},
        // The same entry numbers in another dictionary never join a group.
        {"two dictionaries, same numbers", {{0x20, 0, 10, 0}, {0x21, 0, 11, 1}, {0x20, 1, 11, 1}, {0x20, 0, 11, 1}},
         false, false, "PPPP", "1111"},
        {"sub-entry after another dictionary's item", {{0x20, 0, 10, 0}, {0x20, 0, 11, 1}, {0x21, 0, 12, 2}},
         false, false, "OSP", "111"},
        // An item naming a main entry that is not before it stays plain, also at the end.
        {"last item names a missing main entry", {{0x20, 0, 10, 0}, {0x20, 0, 30, 3}}, false, true, "PP", "11"},
        {"a main entry that is also the last", {{0x20, 0, 5, 0}}, false, true, "P", "1"},
        {"empty list", {}, false, false, "", ""},
    };
    for (const Case &c : cases) {
        ListFixture f(c.items);
        std::vector<DataRow> rows;
        Rows_Build(f.list, c.flat, c.folded, &rows);
        EXPECT_EQ(c.kinds, Kinds(rows)) << c.name;
        std::string shown;
        for (int i = 0; i < (int)rows.size(); i++) {
            shown += Rows_IsShown(rows, i) ? '1' : '0';
            EXPECT_EQ(i, rows[i].item) << c.name;   // rows follow the list's order
        }
        EXPECT_EQ(c.shown, shown) << c.name;
    }
}

TEST(DataListRows, NavigationFlagsAndMoves)
{
    // Shown rows: A-main, A-sub, A-sub, B-plain, B-plain, A-plain.
    const uint64_t A = 1, B = 2;
    RowSight rows[] = {{ROW_OPEN, A}, {ROW_SUB, A}, {ROW_SUB, A}, {ROW_PLAIN, B}, {ROW_PLAIN, B}, {ROW_PLAIN, A}};
    const int n = 6;
    struct Case {
        int row;
        DWORD flags;
    } flagCases[] = {
        {0, VLDLF_NEXTMAIN | VLDLF_NEXTDIC | VLDLF_NEXT},
        {1, VLDLF_NEXTMAIN | VLDLF_PREVMAIN | VLDLF_NEXTDIC | VLDLF_NEXT | VLDLF_PREV},
        {3, VLDLF_NEXTMAIN | VLDLF_PREVMAIN | VLDLF_NEXTDIC | VLDLF_PREVDIC | VLDLF_NEXT | VLDLF_PREV},
        {5, VLDLF_PREVMAIN | VLDLF_PREVDIC | VLDLF_PREV},
    };
    for (const Case &c : flagCases) EXPECT_EQ(c.flags, Rows_NavFlags(rows, n, c.row)) << c.row;
    EXPECT_EQ(0u, Rows_NavFlags(rows, n, 6));
    EXPECT_EQ(0u, Rows_NavFlags(rows, 0, 0));
    // A single row has neither neighbour.
    EXPECT_EQ(0u, Rows_NavFlags(rows, 1, 0));

    struct Move {
        int row, move, want;
    } moves[] = {
        {0, VLDL_MOVE_NEXTMAIN, 3}, {3, VLDL_MOVE_PREVMAIN, 0}, {2, VLDL_MOVE_PREVMAIN, 0},
        {5, VLDL_MOVE_NEXTMAIN, -1}, {1, VLDL_MOVE_NEXTDIC, 3}, {3, VLDL_MOVE_NEXTDIC, 5},
        {4, VLDL_MOVE_PREVDIC, 2}, {0, VLDL_MOVE_PREVDIC, -1}, {5, VLDL_MOVE_NEXT, -1},
        {4, VLDL_MOVE_NEXT, 5}, {0, VLDL_MOVE_PREV, -1}, {1, VLDL_MOVE_PREV, 0}, {2, 99, -1},
    };
    for (const Move &m : moves) EXPECT_EQ(m.want, Rows_MoveTarget(rows, n, m.row, m.move)) << m.row << " " << m.move;
}

TEST(DataListRows, ScoreClassColours)
{
    CandidateListOptions o = {0, RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0)};
    struct Case {
        DWORD score;
        COLORREF want;
    } cases[] = {
        {0x00000000, o.Perfect}, {0x0FFFFFFF, o.Perfect}, {0x10000000, o.Good}, {0x2FFF00FF, o.Good},
        {0x30000000, o.Average}, {0x40000000, o.Bad},     {0xF0000000, o.Bad},
    };
    for (const Case &c : cases) EXPECT_EQ(c.want, Widgetry_ScoreClassColour(&o, c.score)) << std::hex << c.score;
}

TEST(FieldMenu, EnableRules)
{
    struct Case {
        bool selection, readOnly, all;
        FieldMenuState want;
    } cases[] = {
        {false, false, false, {false, false, true, true}},
        {true, false, false, {true, true, true, true}},
        {true, true, false, {false, true, false, true}},
        {true, false, true, {true, true, true, false}},
        {false, true, true, {false, false, false, false}},
    };
    for (const Case &c : cases) {
        FieldMenuState s = Field_MenuState(c.selection, c.readOnly, c.all);
        EXPECT_EQ(c.want.cut, s.cut);
        EXPECT_EQ(c.want.copy, s.copy);
        EXPECT_EQ(c.want.paste, s.paste);
        EXPECT_EQ(c.want.selectAll, s.selectAll);
    }
}

}  // namespace
