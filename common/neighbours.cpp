// The entries before and after those a word list shows (see neighbours.h).
#include "neighbours.h"

#include <windows.h>

#include "lexicore.h"

namespace {

const int kMaxWalk = 4096;  // entries passed over looking for a main entry

// The dictionary of the list's first item and the smallest and largest entry numbers of its items
// from that dictionary (a group's list mixes dictionaries whose numbers do not compare).
struct EntrySpan {
    DWORD dic;
    LONG low, high;
};

DWORD DictionaryOf(const VLDataItem *item) { return (item->head.fileId << 8) | (item->head.subDicNo & 0xFF); }

bool SpanOf(const VLWordList *words, EntrySpan *span)
{
    const VLDataItem *first = words ? VLWordList_GetItem(words, 0) : nullptr;
    if (!first) return false;
    span->dic = DictionaryOf(first);
    span->low = span->high = (LONG)first->head.entryNo;
    for (LONG i = 1; i < VLWordList_Count(words); i++) {
        const VLDataItem *item = VLWordList_GetItem(words, i);
        if (!item || DictionaryOf(item) != span->dic) continue;
        if ((LONG)item->head.entryNo < span->low) span->low = (LONG)item->head.entryNo;
        if ((LONG)item->head.entryNo > span->high) span->high = (LONG)item->head.entryNo;
    }
    DicInfo info = {};
    info.size = sizeof info;
    if (Lexicore_GetDicInfo(span->dic >> 8, &info) && info.kind == 4) return false;  // a book
    return true;
}

}  // namespace

bool Neighbour_Exists(const VLWordList *words, int later)
{
    EntrySpan span;
    if (!SpanOf(words, &span)) return false;
    if (!later) return span.low > 0;
    return span.high < Lexicore_GetEntryCount(span.dic, 0) - 1;
}

bool Neighbour_Show(VLWordList *words, int later)
{
    EntrySpan span;
    if (!Neighbour_Exists(words, later) || !SpanOf(words, &span)) return false;
    DicSession *session = Lexicore_CreateSession();
    if (!session) return false;
    bool shown = false;
    if (Lexicore_OpenSession(session, span.dic, FALSE)) {
        Lexicore_SelectIndex(session, 0);
        LONG count = Lexicore_GetEntryCount(span.dic, 0);
        LONG step = later ? 1 : -1;
        LONG p = later ? span.high + 1 : span.low - 1;
        for (int walked = 0; p >= 0 && p < count && walked < kMaxWalk && !shown; p += step, walked++) {
            VLDataItem *item = Lexicore_GetItem(session, p);
            if (!item) break;
            // The nearest main entry: the parts of an entry are passed over.
            if ((item->entryLink >> 16) == 0) {
                VLWordList_DeleteAllItems(words);
                shown = VLWordList_Add(words, item) != 0;
            }
            VLDataItem_Destroy(item);
        }
        Lexicore_CloseSession(session);
    }
    Lexicore_DestroySession(session);
    return shown;
}
