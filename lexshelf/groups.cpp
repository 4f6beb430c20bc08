// Groups: the record, its dictionary array, its settings key, and the process's group table.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include "basekit.h"
#include "lexicore.h"
#include "lexshelf_int.h"

namespace {

// Serialises the choice of new group ids (and the writes of group keys) between all processes,
// so that two new groups never get the same id and never overwrite each other's key.
const char kGroupLock[] = "VLV5DICMANGROUPLOCK";
const DWORD kMaxGroupDics = 65536;  // more is a damaged settings entry

struct GroupLock {
    HANDLE mutex;
    GroupLock() : mutex(CreateMutexA(nullptr, FALSE, kGroupLock)) {
        if (mutex)
            WaitForSingleObject(mutex, 10000);
    }
    ~GroupLock() {
        if (mutex) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
    }
};

bool IdCompare(const VLDicGroup *a, DWORD id) { return a->id < id; }

// The smallest positive id that neither the table nor the settings hold; 0 when none is left.
DWORD ChooseNewId() {
    const std::vector<VLDicGroup *> &table = Shelf().groups;
    size_t t = 0;
    for (DWORD id = 1; id < LEXSHELF_FIRST_DIC_ID; id++) {
        while (t < table.size() && table[t]->id < id)
            t++;
        if (t < table.size() && table[t]->id == id)
            continue;
        char path[MAX_PATH];
        Shelf_GroupPath(id, path);
        if (!Shelf_KeyExists(path))
            return id;
    }
    return 0;
}

}  // namespace

void Shelf_GroupPath(DWORD id, char *path) {
    snprintf(path, MAX_PATH, "%s\\%08X", LEXSHELF_GROUP_SECTION, (unsigned)id);
}

bool Shelf_GroupHolds(const VLDicGroup *group, DWORD dicId) {
    if (!group)
        return false;
    for (DWORD i = 0; i < group->count; i++)
        if (group->dictionaries[i] == dicId)
            return true;
    return false;
}

extern "C" VLDicGroup *WINAPI Lexshelf_GroupCreate(void) {
    return (VLDicGroup *)calloc(1, sizeof(VLDicGroup));
}

extern "C" int WINAPI Lexshelf_GroupClear(VLDicGroup *group) {
    if (group) {
        free(group->dictionaries);
        group->dictionaries = nullptr;
        group->count = 0;
    }
    return 0;
}

extern "C" void WINAPI Lexshelf_GroupDestroy(VLDicGroup *group) {
    if (!group)
        return;
    Lexshelf_GroupClear(group);
    free(group);
}

extern "C" BOOL WINAPI Lexshelf_GroupInsertDic(VLDicGroup *group, DWORD dicId, int position) {
    if (!group || position < 0 || (DWORD)position > group->count + 1)
        return FALSE;
    DWORD at = position == 0 ? group->count : (DWORD)position - 1;
    DWORD *grown = (DWORD *)realloc(group->dictionaries, (group->count + 1) * sizeof(DWORD));
    if (!grown)
        return FALSE;
    memmove(grown + at + 1, grown + at, (group->count - at) * sizeof(DWORD));
    grown[at] = dicId;
    group->dictionaries = grown;
    group->count++;
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_GroupRemoveDic(VLDicGroup *group, DWORD dicId) {
    if (!group || group->count == 0)
        return FALSE;
    DWORD i = 0;
    while (i < group->count && group->dictionaries[i] != dicId)
        i++;
    if (i == group->count)
        return FALSE;
    memmove(group->dictionaries + i, group->dictionaries + i + 1, (group->count - i - 1) * sizeof(DWORD));
    group->count--;
    if (group->count == 0) {
        free(group->dictionaries);
        group->dictionaries = nullptr;
    }
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_GroupMoveDic(VLDicGroup *group, DWORD dicId, int position) {
    if (!Lexshelf_GroupRemoveDic(group, dicId))
        return FALSE;
    if (position < 1)
        position = 1;
    if ((DWORD)position > group->count + 1)
        position = (int)group->count + 1;
    return Lexshelf_GroupInsertDic(group, dicId, position);
}

extern "C" DWORD WINAPI Lexshelf_GroupGetId(const VLDicGroup *group) { return group ? group->id : 0; }

extern "C" void WINAPI Lexshelf_GroupSetNames(VLDicGroup *group, const char *name, const char *nickName) {
    if (!group)
        return;
    if (name)
        Shelf_CopyField(group->name, sizeof group->name, name);
    if (nickName)
        Shelf_CopyField(group->nickName, sizeof group->nickName, nickName);
}

extern "C" void WINAPI Lexshelf_GroupGetNames(const VLDicGroup *group, char *name, char *nickName) {
    if (!group)
        return;
    if (name)
        memcpy(name, group->name, sizeof group->name);
    if (nickName)
        memcpy(nickName, group->nickName, sizeof group->nickName);
}

extern "C" DWORD WINAPI Lexshelf_GroupGetDicCount(const VLDicGroup *group) { return group ? group->count : 0; }

extern "C" DWORD WINAPI Lexshelf_GroupGetDic(const VLDicGroup *group, int index) {
    if (!group || index < 0 || (DWORD)index >= group->count)
        return 0;
    return group->dictionaries[index];
}

extern "C" void WINAPI Lexshelf_GroupGetInfo(const VLDicGroup *group, VLDicGroupInfo *info) {
    if (!group || !info)
        return;
    info->id = group->id;
    memcpy(info->name, group->name, sizeof info->name);
    memcpy(info->nickName, group->nickName, sizeof info->nickName);
    info->selection = group->selection;
    info->priorityForPopup = group->priorityForPopup;
    info->priorityForSearch = group->priorityForSearch;
    info->priorityForTranslate = group->priorityForTranslate;
    info->count = group->count;
    info->reserved = nullptr;
}

extern "C" void WINAPI Lexshelf_GroupSetInfo(VLDicGroup *group, DWORD mask, const VLDicGroupInfo *info) {
    if (!group || !info)
        return;
    if (mask & LEXSHELF_GROUP_NAME)
        Shelf_CopyField(group->name, sizeof group->name, info->name);
    if (mask & LEXSHELF_GROUP_NICKNAME)
        Shelf_CopyField(group->nickName, sizeof group->nickName, info->nickName);
    if (mask & LEXSHELF_GROUP_SELECTION)
        group->selection = info->selection;
    if (mask & LEXSHELF_GROUP_POPUP)
        group->priorityForPopup = info->priorityForPopup;
    if (mask & LEXSHELF_GROUP_SEARCH)
        group->priorityForSearch = info->priorityForSearch;
    if (mask & LEXSHELF_GROUP_TRANSLATE)
        group->priorityForTranslate = info->priorityForTranslate;
}

extern "C" BOOL WINAPI Lexshelf_GroupLoad(DWORD id, VLDicGroup *group) {
    if (!group)
        return FALSE;
    Lexshelf_GroupClear(group);
    group->id = id;
    char path[MAX_PATH];
    Shelf_GroupPath(id, path);
    GroupLock lock;  // never read a key that another process is rewriting
    if (!Shelf_KeyExists(path))
        return FALSE;
    Basekit_SettingsReadString(path, "Name", group->name, sizeof group->name);
    Basekit_SettingsReadString(path, "NickName", group->nickName, sizeof group->nickName);
    group->priorityForPopup = Basekit_SettingsReadDword(path, "PriorityForPopup");
    group->priorityForSearch = Basekit_SettingsReadDword(path, "PriorityForSearch");
    group->priorityForTranslate = Basekit_SettingsReadDword(path, "PriorityForTranslate");
    group->selection = (DWORD)-1;
    DWORD count = Basekit_SettingsReadDword(path, "NumberOfDictionary");
    if (count > kMaxGroupDics)
        count = 0;
    if (count) {
        group->dictionaries = (DWORD *)calloc(count, sizeof(DWORD));
        if (!group->dictionaries)
            return FALSE;
        group->count = count;
        for (DWORD i = 0; i < count; i++) {
            char name[32];
            snprintf(name, sizeof name, "#%dIndexID", (int)i);
            group->dictionaries[i] = Basekit_SettingsReadDword(path, name);
        }
    }
    return TRUE;
}

// The key is written over, never deleted first: the dictionaries, then their number, names and
// priorities; only when every write went through do the places of dictionaries beyond the new
// number go.  A failed write (a full disk, a settings file held too long) is reported, and the
// group stored before keeps its dictionaries.
extern "C" BOOL WINAPI Lexshelf_GroupSave(VLDicGroup *group) {
    if (!group)
        return FALSE;
    BOOL ok = FALSE;
    {
        GroupLock lock;
        if (group->id == 0)
            group->id = ChooseNewId();
        if (group->id != 0) {
            char path[MAX_PATH];
            Shelf_GroupPath(group->id, path);
            DWORD before = Shelf_KeyExists(path) ? Basekit_SettingsReadDword(path, "NumberOfDictionary") : 0;
            SettingsKey key = Shelf_KeyExists(path) ? Basekit_SettingsOpenKey(path) : Basekit_SettingsCreateKey(nullptr, path);
            bool all = key != nullptr;
            Basekit_SettingsCloseKey(key);
            for (DWORD i = 0; all && i < group->count; i++) {
                char name[32];
                snprintf(name, sizeof name, "#%dIndexID", (int)i);
                all = Basekit_SettingsWriteDword(path, name, group->dictionaries[i]) != 0;
            }
            all = all && Basekit_SettingsWriteDword(path, "NumberOfDictionary", group->count) != 0 &&
                  Basekit_SettingsWriteString(path, "Name", group->name) != 0 &&
                  Basekit_SettingsWriteString(path, "NickName", group->nickName) != 0 &&
                  Basekit_SettingsWriteDword(path, "PriorityForPopup", group->priorityForPopup) != 0 &&
                  Basekit_SettingsWriteDword(path, "PriorityForSearch", group->priorityForSearch) != 0 &&
                  Basekit_SettingsWriteDword(path, "PriorityForTranslate", group->priorityForTranslate) != 0;
            if (all && before > group->count) {
                SettingsKey k = Basekit_SettingsOpenKey(path);
                for (DWORD i = group->count; k && i < before && i < kMaxGroupDics; i++) {
                    char name[32];
                    snprintf(name, sizeof name, "#%dIndexID", (int)i);
                    Basekit_SettingsDeleteValue(k, name);
                }
                Basekit_SettingsCloseKey(k);
            }
            ok = all ? TRUE : FALSE;
        }
    }
    if (ok)
        Shelf_PostNotice(VLDM_GROUP_CHANGED, group->id, 0);
    return ok;
}

// Stores one priority of a group without rewriting the rest of its key, so that a process that
// renumbers its lists never writes back names or dictionaries it has not reloaded yet.
void Shelf_GroupStorePriority(VLDicGroup *group, DWORD kind, DWORD priority) {
    static const char *const names[LEXSHELF_LIST_KINDS] = {"PriorityForPopup", "PriorityForSearch",
                                                           "PriorityForTranslate"};
    if (!group || kind >= LEXSHELF_LIST_KINDS || group->id == 0)
        return;
    DWORD *field = kind == LEXSHELF_LIST_POPUP    ? &group->priorityForPopup
                   : kind == LEXSHELF_LIST_SEARCH ? &group->priorityForSearch
                                                  : &group->priorityForTranslate;
    *field = priority;
    bool stored = false;
    {
        GroupLock lock;
        char path[MAX_PATH];
        Shelf_GroupPath(group->id, path);
        if (Shelf_KeyExists(path))
            stored = Basekit_SettingsWriteDword(path, names[kind], priority) != 0;
    }
    if (stored)
        Shelf_PostNotice(VLDM_GROUP_CHANGED, group->id, 0);
}

// ---- The group table ----------------------------------------------------------------------------

bool Shelf_TableInsert(VLDicGroup *group) {
    std::vector<VLDicGroup *> &table = Shelf().groups;
    auto at = std::lower_bound(table.begin(), table.end(), group->id, IdCompare);
    if (at != table.end() && (*at)->id == group->id)
        return false;
    table.insert(at, group);
    return true;
}

void Shelf_TableRemove(DWORD id) {
    std::vector<VLDicGroup *> &table = Shelf().groups;
    auto at = std::lower_bound(table.begin(), table.end(), id, IdCompare);
    if (at != table.end() && (*at)->id == id) {
        Lexshelf_GroupDestroy(*at);
        table.erase(at);
    }
}

bool Shelf_LoadGroupTable() {
    Shelf_FreeGroupTable();
    int count = Basekit_SettingsCountSubkeys("HKEY_LOCAL_MACHINE\\" LEXSHELF_GROUP_SECTION);
    for (int i = 0; i < count; i++) {
        char name[MAX_PATH] = "";
        if (!Basekit_SettingsEnumSubkey("HKEY_LOCAL_MACHINE\\" LEXSHELF_GROUP_SECTION, i, name))
            continue;
        char *end = nullptr;
        unsigned long id = strtoul(name, &end, 16);
        if (!name[0] || *end || id == 0 || id >= LEXSHELF_FIRST_DIC_ID)
            continue;  // not a group key
        VLDicGroup *group = Lexshelf_GroupCreate();
        if (!group)
            return false;
        if (!Lexshelf_GroupLoad((DWORD)id, group) || !Shelf_TableInsert(group))
            Lexshelf_GroupDestroy(group);
    }
    return true;
}

void Shelf_FreeGroupTable() {
    for (VLDicGroup *g : Shelf().groups)
        Lexshelf_GroupDestroy(g);
    Shelf().groups.clear();
}

extern "C" VLDicGroup *WINAPI Lexshelf_FindGroup(DWORD id) {
    std::vector<VLDicGroup *> &table = Shelf().groups;
    auto at = std::lower_bound(table.begin(), table.end(), id, IdCompare);
    return (at != table.end() && (*at)->id == id) ? *at : nullptr;
}

extern "C" VLDicGroup *WINAPI Lexshelf_GetGroupInfoById(DWORD id, VLDicGroupInfo *info) {
    VLDicGroup *group = Lexshelf_FindGroup(id);
    if (group && info)
        Lexshelf_GroupGetInfo(group, info);
    return group;
}

extern "C" int WINAPI Lexshelf_EnumGroups(LexshelfGroupProc callback, LPARAM user) {
    // A copy of the table: a callback may change groups.
    std::vector<VLDicGroup *> table = Shelf().groups;
    if (callback) {
        for (VLDicGroup *g : table)
            if (!callback(g, user))
                break;
    }
    return (int)table.size();
}

extern "C" DWORD WINAPI Lexshelf_GetNthGroup(DWORD type, int n) {
    for (VLDicGroup *g : Shelf().groups) {
        if (g->count == 0)
            continue;
        DicProperty p;
        memset(&p, 0, sizeof p);
        p.size = sizeof p;
        Lexicore_GetDicProperty(g->dictionaries[0], &p);
        if (p.indexKind != type && n-- == 0)
            return g->id;
    }
    return 0;
}

extern "C" DWORD WINAPI Lexshelf_GetGroupDic(DWORD id, int index) {
    return Lexshelf_GroupGetDic(Lexshelf_FindGroup(id), index);
}

extern "C" int WINAPI Lexshelf_GetGroupCount(void) { return (int)Shelf().groups.size(); }
