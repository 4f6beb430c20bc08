// The data list's row model: which items are main entries and sub-entries, which rows are shown,
// and where the navigation keys lead.  No window or drawing calls, so it is tested on its own.
#include "widgetry.h"
#include "widgetry_int.h"

uint64_t Rows_DictionaryOf(const VLDataItem *item)
{
    return (uint64_t)item->head.fileId << 32 | item->head.subDicNo;
}

bool Rows_IsSubEntry(const VLDataItem *sub, const VLDataItem *main)
{
    DWORD back = sub->entryLink >> 16;
    // Entry numbers count per dictionary: an item of another dictionary is never a sub-entry,
    // whatever its number.
    return back != 0 && Rows_DictionaryOf(sub) == Rows_DictionaryOf(main) &&
           sub->head.entryNo - back == main->head.entryNo;
}

void Rows_Build(const VLWordList *list, bool flat, bool folded, std::vector<DataRow> *rows)
{
    rows->clear();
    int count = list ? list->count : 0;
    rows->reserve(count);
    for (int i = 0; i < count;) {
        const VLDataItem *item = list->slots[i];
        int next = i + 1;
        if (!flat)
            while (next < count && Rows_IsSubEntry(list->slots[next], item)) next++;
        if (next == i + 1) {
            // An item that names a main entry which is not before it stays a plain row.
            rows->push_back({ROW_PLAIN, i});
        } else {
            rows->push_back({folded ? ROW_FOLDED : ROW_OPEN, i});
            for (int s = i + 1; s < next; s++) rows->push_back({ROW_SUB, s});
        }
        i = next;
    }
}

bool Rows_IsShown(const std::vector<DataRow> &rows, int index)
{
    if (rows[index].kind != ROW_SUB) return true;
    for (int i = index - 1; i >= 0; i--)
        if (rows[i].kind != ROW_SUB) return rows[i].kind != ROW_FOLDED;
    return true;
}

static bool IsMainOrPlain(const RowSight &r)
{
    return r.kind != ROW_SUB;
}

// The nearest row after (step +1) or before (step -1) `row` that passes the test, or -1.
template <class Test>
static int Nearest(const RowSight *rows, int count, int row, int step, Test test)
{
    for (int i = row + step; i >= 0 && i < count; i += step)
        if (test(rows[i])) return i;
    return -1;
}

DWORD Rows_NavFlags(const RowSight *rows, int count, int row)
{
    if (row < 0 || row >= count) return 0;
    uint64_t dictionary = rows[row].dictionary;
    auto otherDictionary = [dictionary](const RowSight &r) { return r.dictionary != dictionary; };
    DWORD flags = 0;
    if (Nearest(rows, count, row, +1, IsMainOrPlain) >= 0) flags |= VLDLF_NEXTMAIN;
    if (Nearest(rows, count, row, -1, IsMainOrPlain) >= 0) flags |= VLDLF_PREVMAIN;
    if (Nearest(rows, count, row, +1, otherDictionary) >= 0) flags |= VLDLF_NEXTDIC;
    if (Nearest(rows, count, row, -1, otherDictionary) >= 0) flags |= VLDLF_PREVDIC;
    if (row + 1 < count) flags |= VLDLF_NEXT;
    if (row > 0) flags |= VLDLF_PREV;
    return flags;
}

int Rows_MoveTarget(const RowSight *rows, int count, int row, int move)
{
    if (row < 0 || row >= count) return -1;
    uint64_t dictionary = rows[row].dictionary;
    auto otherDictionary = [dictionary](const RowSight &r) { return r.dictionary != dictionary; };
    switch (move) {
    case VLDL_MOVE_NEXTMAIN: return Nearest(rows, count, row, +1, IsMainOrPlain);
    case VLDL_MOVE_PREVMAIN: return Nearest(rows, count, row, -1, IsMainOrPlain);
    case VLDL_MOVE_NEXTDIC: return Nearest(rows, count, row, +1, otherDictionary);
    case VLDL_MOVE_PREVDIC: return Nearest(rows, count, row, -1, otherDictionary);
    case VLDL_MOVE_NEXT: return row + 1 < count ? row + 1 : -1;
    case VLDL_MOVE_PREV: return row > 0 ? row - 1 : -1;
    }
    return -1;
}
