// Priority lists: one order per use (pop-up, search, translation) over dictionaries and groups.
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include "basekit.h"
#include "lexicore.h"
#include "lexshelf_int.h"

namespace {

bool IsKind(const VLPriorityList *list) { return (UINT_PTR)list < LEXSHELF_LIST_KINDS; }

DWORD &DicPriority(DicProperty &p, DWORD kind) {
    return kind == LEXSHELF_LIST_POPUP ? p.priorityPopup
                                       : kind == LEXSHELF_LIST_SEARCH ? p.prioritySearch : p.priorityTranslate;
}

DWORD &GroupPriority(VLDicGroup &g, DWORD kind) {
    return kind == LEXSHELF_LIST_POPUP ? g.priorityForPopup
                                       : kind == LEXSHELF_LIST_SEARCH ? g.priorityForSearch : g.priorityForTranslate;
}

DWORD KindMask(DWORD kind) {
    return kind == LEXSHELF_LIST_POPUP ? LEXICORE_PROP_POPUP
                                       : kind == LEXSHELF_LIST_SEARCH ? LEXICORE_PROP_SEARCH : LEXICORE_PROP_TRANSLATE;
}

bool ReadDic(DWORD id, DicProperty *p) {
    memset(p, 0, sizeof *p);
    p->size = sizeof *p;
    return Lexicore_GetDicProperty(id, p) != 0;
}

// Stores one entry's position as the dictionary's or the group's priority of the list's kind.
void WriteBack(DWORD kind, const VLPriorityEntry &e) {
    if (kind >= LEXSHELF_LIST_KINDS)
        return;
    if (e.id >= LEXSHELF_FIRST_DIC_ID) {
        DicProperty p;
        if (ReadDic(e.id, &p)) {
            DicPriority(p, kind) = e.priority;
            Lexicore_SetDicProperty(e.id, KindMask(kind), &p);
        }
    } else {
        Shelf_GroupStorePriority(Lexshelf_FindGroup(e.id), kind, e.priority);
    }
}

int CALLBACK CollectDic(DicProperty *p, LPARAM user) {
    VLPriorityList *list = (VLPriorityList *)user;
    if (p->indexKind == 1 || p->indexKind == 7 || p->indexKind == 8)
        Shelf_ListAppend(list, p->dicId, DicPriority(*p, list->kind));
    return 1;
}

}  // namespace

VLPriorityList *Shelf_ResolveList(VLPriorityList *list) {
    if (IsKind(list))
        return Shelf().lists[(UINT_PTR)list];
    return list;
}

bool Shelf_ListAppend(VLPriorityList *list, DWORD id, DWORD priority) {
    if (!list)
        return false;
    for (DWORD i = 0; i < list->count; i++)
        if (list->entries[i].id == id)
            return false;
    VLPriorityEntry *grown = (VLPriorityEntry *)realloc(list->entries, (list->count + 1) * sizeof *grown);
    if (!grown)
        return false;
    grown[list->count].id = id;
    grown[list->count].priority = priority;
    list->entries = grown;
    list->count++;
    return true;
}

bool Shelf_ListDrop(VLPriorityList *list, DWORD id) {
    if (!list)
        return false;
    for (DWORD i = 0; i < list->count; i++) {
        if (list->entries[i].id == id) {
            memmove(list->entries + i, list->entries + i + 1, (list->count - i - 1) * sizeof *list->entries);
            list->count--;
            return true;
        }
    }
    return false;
}

// Priority ascending with every 0 after the others (equal priorities keep their order), then
// 1, 2, 3, ... in list order.  With writeBack every entry whose priority changed is stored.
void Shelf_SortRenumber(VLPriorityList *list, bool writeBack) {
    if (!list || list->count == 0)
        return;
    std::stable_sort(list->entries, list->entries + list->count,
                     [](const VLPriorityEntry &a, const VLPriorityEntry &b) {
                         DWORD pa = a.priority ? a.priority : 0xFFFFFFFFu;
                         DWORD pb = b.priority ? b.priority : 0xFFFFFFFFu;
                         return pa < pb;
                     });
    for (DWORD i = 0; i < list->count; i++) {
        VLPriorityEntry &e = list->entries[i];
        if (e.priority != i + 1) {
            e.priority = i + 1;
            if (writeBack)
                WriteBack(list->kind, e);
        }
    }
}

void Shelf_BuildSharedLists() {
    for (DWORD kind = 0; kind < LEXSHELF_LIST_KINDS; kind++) {
        Lexshelf_PrioDestroy(Shelf().lists[kind]);
        Shelf().lists[kind] = Lexshelf_PrioCreate(kind);
    }
}

void Shelf_FreeSharedLists() {
    for (DWORD kind = 0; kind < LEXSHELF_LIST_KINDS; kind++) {
        Lexshelf_PrioDestroy(Shelf().lists[kind]);
        Shelf().lists[kind] = nullptr;
    }
}

extern "C" VLPriorityList *WINAPI Lexshelf_PrioCreate(DWORD kind) {
    VLPriorityList *list = (VLPriorityList *)calloc(1, sizeof(VLPriorityList));
    if (!list)
        return nullptr;
    list->kind = kind;
    if (kind < LEXSHELF_LIST_KINDS) {
        Lexicore_EnumDics(CollectDic, (LPARAM)list);
        for (VLDicGroup *g : Shelf().groups)
            Shelf_ListAppend(list, g->id, GroupPriority(*g, kind));
    }
    Shelf_SortRenumber(list, false);
    return list;
}

extern "C" void WINAPI Lexshelf_PrioDestroy(VLPriorityList *list) {
    if (!list || IsKind(list))
        return;
    free(list->entries);
    free(list);
}

extern "C" int WINAPI Lexshelf_PrioFind(VLPriorityList *list, DWORD id) {
    list = Shelf_ResolveList(list);
    if (!list)
        return 0;
    for (DWORD i = 0; i < list->count; i++)
        if (list->entries[i].id == id)
            return (int)i + 1;
    return 0;
}

extern "C" BOOL WINAPI Lexshelf_PrioGetItem(VLPriorityList *list, int index, VLPriorityItem *item) {
    list = Shelf_ResolveList(list);
    if (!list || !item || index < 1 || (DWORD)index > list->count)
        return FALSE;
    const VLPriorityEntry &e = list->entries[index - 1];
    memset(item, 0, sizeof *item);
    item->id = e.id;
    item->priority = e.priority;
    if (e.id >= LEXSHELF_FIRST_DIC_ID) {
        if (!ReadDic(e.id, &item->data.dictionary))
            return FALSE;
        item->itemKind = 1;
        item->colour = item->data.dictionary.colour;
        item->name = item->data.dictionary.name;
        item->nickName = item->data.dictionary.nickname;
    } else {
        if (!Lexshelf_GetGroupInfoById(e.id, &item->data.group))
            return FALSE;
        item->itemKind = 2;
        item->colour = item->data.group.selection;
        item->name = item->data.group.name;
        item->nickName = item->data.group.nickName;
    }
    return TRUE;
}

extern "C" int WINAPI Lexshelf_PrioEnum(VLPriorityList *list, DWORD flags, LPARAM value,
                                        LexshelfPrioProc callback, LPARAM user) {
    list = Shelf_ResolveList(list);
    if (!list)
        return 0;
    int passed = 0;
    for (DWORD i = 0; i < list->count; i++) {
        DWORD id = list->entries[i].id;
        if (id < LEXSHELF_FIRST_DIC_ID) {
            if (!(flags & LEXSHELF_ENUM_GROUPS))
                continue;
        } else {
            DicProperty p;
            if (!ReadDic(id, &p))
                continue;  // no longer in the catalogue
            const VLDicGroup *group = (const VLDicGroup *)value;
            if ((flags & LEXSHELF_ENUM_IN_GROUP) && !Shelf_GroupHolds(group, id))
                continue;
            if ((flags & LEXSHELF_ENUM_NOT_GROUP) && Shelf_GroupHolds(group, id))
                continue;
            DWORD types = flags & (LEXSHELF_ENUM_TYPE1 | LEXSHELF_ENUM_TYPE8);
            if (types == (LEXSHELF_ENUM_TYPE1 | LEXSHELF_ENUM_TYPE8) && p.indexKind != 1 && p.indexKind != 8)
                continue;
            if (types == LEXSHELF_ENUM_TYPE1 && p.indexKind != 1)
                continue;
            if (types == LEXSHELF_ENUM_TYPE8 && p.indexKind != 8)
                continue;
            if ((flags & LEXSHELF_ENUM_CHARSET) && p.charset != (BYTE)value)
                continue;
            if ((flags & LEXSHELF_ENUM_LANGUAGE) && p.language != (WORD)value)
                continue;
        }
        if (callback) {
            VLPriorityItem item;
            if (!Lexshelf_PrioGetItem(list, (int)i + 1, &item))
                continue;
            if (!callback(&item, user))
                break;
        }
        passed++;
    }
    return passed;
}

extern "C" int WINAPI Lexshelf_PrioAdd(VLPriorityList *list, DWORD id) {
    if (IsKind(list)) {
        Shelf_PostNotice(VLDM_ITEM_ADDED, (WPARAM)list, id);
    } else if (list && Shelf_ListAppend(list, id, 0)) {
        Shelf_SortRenumber(list, false);
    }
    return 0;
}

extern "C" BOOL WINAPI Lexshelf_PrioAddGroup(VLPriorityList *list, VLDicGroup *group) {
    if (!group || !Lexshelf_GroupSave(group))
        return FALSE;
    Lexshelf_PrioAdd(list, group->id);
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_PrioMove(VLPriorityList *list, int from, int to) {
    list = Shelf_ResolveList(list);
    if (!list || from < 1 || to < 1 || (DWORD)from > list->count || (DWORD)to > list->count)
        return FALSE;
    VLPriorityEntry moved = list->entries[from - 1];
    memmove(list->entries + from - 1, list->entries + from, (list->count - from) * sizeof moved);
    memmove(list->entries + to, list->entries + to - 1, (list->count - to) * sizeof moved);
    list->entries[to - 1] = moved;
    for (DWORD i = 0; i < list->count; i++)
        list->entries[i].priority = i + 1;
    Shelf_PostNotice(VLDM_ITEM_MOVED, (WPARAM)list, ((DWORD)to << 16) | ((DWORD)from & 0xFFFF));
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_PrioRemove(VLPriorityList *list, DWORD id, BOOL removeFiles) {
    if (IsKind(list)) {
        if (id >= LEXSHELF_FIRST_DIC_ID) {
            Lexicore_RemoveDic(id >> 8, removeFiles);
        } else if (id != 0) {
            char path[MAX_PATH];
            Shelf_GroupPath(id, path);
            Shelf_DeleteKeyTree(path);
        }
        Shelf_PostNotice(VLDM_ITEM_REMOVED, (WPARAM)list, id);
    } else if (list && Shelf_ListDrop(list, id)) {
        Shelf_SortRenumber(list, false);
    }
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_PrioCommit(VLPriorityList *list) {
    list = Shelf_ResolveList(list);
    if (!list)
        return FALSE;
    for (DWORD i = 0; i < list->count; i++)
        WriteBack(list->kind, list->entries[i]);
    Shelf_PostNotice(VLDM_LIST_COMMITTED, list->kind, 0);
    return TRUE;
}
