// Pronunciation of an entry: the dictionary's own phonetic data, else the language manager.
#include "lexshelf_int.h"
#include "lexicore.h"
#include "linguakeeper.h"

extern "C" BOOL WINAPI Lexshelf_CanPronounceEntry(const VLDataItem *item) {
    if (!item)
        return FALSE;
    if (Lexicore_GetPhoneData(item->head.fileId, item->indexValue, FALSE))
        return TRUE;
    return Linguakeeper_HasItem(item) && Linguakeeper_IsAvailable(item->language) ? TRUE : FALSE;
}

extern "C" int WINAPI Lexshelf_PronounceEntry(const VLDataItem *item) {
    if (!item)
        return 0;
    if (Lexicore_GetPhoneData(item->head.fileId, item->indexValue, FALSE))
        return Lexicore_GetPhoneData(item->head.fileId, item->indexValue, TRUE);
    DicInfo info = {};
    info.size = sizeof info;
    Lexicore_GetDicInfo(item->head.fileId, &info);
    DWORD dicId = item->head.fileId << 8 | (item->head.subDicNo & 0xFF);
    return Linguakeeper_AddEntry(item, info.kind == 3, dicId, &info);
}
