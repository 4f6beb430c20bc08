// Translation sets: up to five dictionaries (slots 1 to 5) per pair of keys, stored below
// TranslationSet\<name>\<first key>\<second key>.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "basekit.h"
#include "lexshelf_int.h"

namespace {

const DWORD kSlots = 5;

// Order of the entries: first key 0 after every other, then first key, second key, slot.
int Compare(DWORD k1, DWORD k2, DWORD slot, const VLTransSetEntry &e) {
    DWORD a = k1 ? k1 : 0xFFFFFFFFu, b = e.firstKey ? e.firstKey : 0xFFFFFFFFu;
    if (a != b)
        return a < b ? -1 : 1;
    if (k2 != e.secondKey)
        return k2 < e.secondKey ? -1 : 1;
    if (slot != e.slot)
        return slot < e.slot ? -1 : 1;
    return 0;
}

// Binary search: the index of the entry, or -1 with *insertAt set to where it belongs.
int FindEntry(const VLTransSet *set, DWORD k1, DWORD k2, DWORD slot, DWORD *insertAt) {
    DWORD lo = 0, hi = set->count;
    while (lo < hi) {
        DWORD mid = (lo + hi) / 2;
        int c = Compare(k1, k2, slot, set->entries[mid]);
        if (c == 0)
            return (int)mid;
        if (c < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    if (insertAt)
        *insertAt = lo;
    return -1;
}

bool SetPath(const VLTransSet *set, char *path) {
    int n = snprintf(path, MAX_PATH, "%s\\%s", LEXSHELF_TRANSSET_SECTION, set->name);
    return set->name[0] && n > 0 && n < MAX_PATH;
}

bool ParseHex(const std::string &text, DWORD *value) {
    char *end = nullptr;
    unsigned long v = strtoul(text.c_str(), &end, 16);
    if (text.empty() || *end)
        return false;
    *value = (DWORD)v;
    return true;
}

}  // namespace

bool Shelf_TransSetLoadInto(VLTransSet *set) {
    char path[MAX_PATH];
    if (!set || !SetPath(set, path) || !Shelf_KeyExists(path))
        return false;
    for (const std::string &first : Shelf_SubkeyNames(path)) {
        DWORD k1;
        if (!ParseHex(first, &k1))
            continue;
        std::string firstPath = std::string(path) + "\\" + first;
        for (const std::string &second : Shelf_SubkeyNames(firstPath.c_str())) {
            DWORD k2;
            if (!ParseHex(second, &k2))
                continue;
            std::string secondPath = firstPath + "\\" + second;
            for (DWORD slot = 1; slot <= kSlots; slot++) {
                char name[16];
                snprintf(name, sizeof name, "#%dID", (int)slot);
                Lexshelf_TransSetAdd(set, k1, k2, slot, Basekit_SettingsReadDword(secondPath.c_str(), name));
            }
        }
    }
    return true;
}

extern "C" VLTransSet *WINAPI Lexshelf_TransSetCreate(const char *name) {
    VLTransSet *set = (VLTransSet *)calloc(1, sizeof(VLTransSet));
    if (set)
        Shelf_CopyField(set->name, sizeof set->name, name);
    return set;
}

extern "C" int WINAPI Lexshelf_TransSetClear(VLTransSet *set) {
    if (set) {
        free(set->entries);
        set->entries = nullptr;
        set->count = 0;
    }
    return 0;
}

extern "C" void WINAPI Lexshelf_TransSetDestroy(VLTransSet *set) {
    if (!set)
        return;
    Lexshelf_TransSetClear(set);
    free(set);
}

extern "C" BOOL WINAPI Lexshelf_TransSetLoad(VLTransSet *set) { return Shelf_TransSetLoadInto(set); }

extern "C" VLTransSet *WINAPI Lexshelf_TransSetOpen(const char *name) {
    VLTransSet *set = Lexshelf_TransSetCreate(name);
    Shelf_TransSetLoadInto(set);
    return set;
}

extern "C" VLTransSet *WINAPI Lexshelf_TransSetCopy(const VLTransSet *set) {
    if (!set)
        return nullptr;
    VLTransSet *copy = Lexshelf_TransSetCreate(set->name);
    if (!copy || set->count == 0)
        return copy;
    copy->entries = (VLTransSetEntry *)malloc(set->count * sizeof(VLTransSetEntry));
    if (!copy->entries) {
        Lexshelf_TransSetDestroy(copy);
        return nullptr;
    }
    memcpy(copy->entries, set->entries, set->count * sizeof(VLTransSetEntry));
    copy->count = set->count;
    return copy;
}

extern "C" void WINAPI Lexshelf_TransSetDelete(VLTransSet *set) {
    char path[MAX_PATH];
    if (set && SetPath(set, path))
        Shelf_DeleteKeyTree(path);
}

// The set's keys are written over, never deleted first: every entry, then (only when all went
// through) the stored slots the set no longer has.  A failed write is reported and the set stored
// before keeps its entries.
extern "C" BOOL WINAPI Lexshelf_TransSetSave(VLTransSet *set) {
    char path[MAX_PATH];
    if (!set || !SetPath(set, path))
        return FALSE;
    bool ok = true;
    if (!Shelf_KeyExists(path)) {
        SettingsKey key = Basekit_SettingsCreateKey(nullptr, path);
        ok = key != nullptr;
        Basekit_SettingsCloseKey(key);
    }
    for (DWORD i = 0; ok && i < set->count; i++) {
        const VLTransSetEntry &e = set->entries[i];
        char entryPath[MAX_PATH], name[16];
        // The first level as a key of its own (the settings file lists only keys that are there).
        snprintf(entryPath, sizeof entryPath, "%s\\%08x", path, (unsigned)e.firstKey);
        if (!Shelf_KeyExists(entryPath)) {
            SettingsKey key = Basekit_SettingsCreateKey(nullptr, entryPath);
            ok = key != nullptr;
            Basekit_SettingsCloseKey(key);
        }
        snprintf(entryPath, sizeof entryPath, "%s\\%08x\\%08x", path, (unsigned)e.firstKey, (unsigned)e.secondKey);
        snprintf(name, sizeof name, "#%dID", (int)e.slot);
        ok = ok && Basekit_SettingsWriteDword(entryPath, name, e.dictionaryId) != 0;
    }
    if (!ok)
        return FALSE;
    // What is stored beyond the set goes: slots it does not hold, then keys left without any.
    for (const std::string &first : Shelf_SubkeyNames(path)) {
        DWORD k1 = 0;
        std::string firstPath = std::string(path) + "\\" + first;
        bool keepFirst = ParseHex(first, &k1);
        bool anySecond = false;
        for (const std::string &second : Shelf_SubkeyNames(firstPath.c_str())) {
            DWORD k2 = 0;
            std::string secondPath = firstPath + "\\" + second;
            bool any = false;
            SettingsKey k = Basekit_SettingsOpenKey(secondPath.c_str());
            for (DWORD slot = 1; slot <= kSlots; slot++) {
                if (keepFirst && ParseHex(second, &k2) && Lexshelf_TransSetFind(set, k1, k2, slot, nullptr)) {
                    any = true;
                    continue;
                }
                char name[16];
                snprintf(name, sizeof name, "#%dID", (int)slot);
                if (k)
                    Basekit_SettingsDeleteValue(k, name);
            }
            Basekit_SettingsCloseKey(k);
            if (any)
                anySecond = true;
            else
                Shelf_DeleteKeyTree(secondPath.c_str());
        }
        if (!anySecond)
            Shelf_DeleteKeyTree(firstPath.c_str());
    }
    const VLTransSet *current = Shelf().current;
    if (current && lstrcmpiA(current->name, set->name) == 0)
        Shelf_PostNotice(VLDM_TRANSSET_CHANGED, 0, 0);
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_TransSetAdd(VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot,
                                            DWORD id) {
    DWORD at = 0;
    if (!set || FindEntry(set, firstKey, secondKey, slot, &at) >= 0)
        return FALSE;
    VLTransSetEntry *grown = (VLTransSetEntry *)realloc(set->entries, (set->count + 1) * sizeof *grown);
    if (!grown)
        return FALSE;
    memmove(grown + at + 1, grown + at, (set->count - at) * sizeof *grown);
    grown[at].firstKey = firstKey;
    grown[at].secondKey = secondKey;
    grown[at].slot = slot;
    grown[at].dictionaryId = id;
    set->entries = grown;
    set->count++;
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_TransSetUpdate(VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot,
                                               DWORD id) {
    int i = set ? FindEntry(set, firstKey, secondKey, slot, nullptr) : -1;
    if (i < 0)
        return FALSE;
    set->entries[i].dictionaryId = id;
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_TransSetRemove(VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot) {
    int i = set ? FindEntry(set, firstKey, secondKey, slot, nullptr) : -1;
    if (i < 0)
        return FALSE;
    memmove(set->entries + i, set->entries + i + 1, (set->count - i - 1) * sizeof *set->entries);
    set->count--;
    if (set->count == 0) {
        free(set->entries);
        set->entries = nullptr;
    }
    return TRUE;
}

extern "C" BOOL WINAPI Lexshelf_TransSetFind(const VLTransSet *set, DWORD firstKey, DWORD secondKey, DWORD slot,
                                             VLTransSetEntry *entry) {
    int i = set ? FindEntry(set, firstKey, secondKey, slot, nullptr) : -1;
    if (i < 0)
        return FALSE;
    if (entry)
        *entry = set->entries[i];
    return TRUE;
}

extern "C" void WINAPI Lexshelf_TransSetGetName(char *buffer, const VLTransSet *set) {
    if (buffer && set)
        memcpy(buffer, set->name, sizeof set->name);
}

extern "C" BOOL WINAPI Lexshelf_SetCurrentTransSet(const char *name) {
    Basekit_SettingsWriteString(LEXSHELF_TRANSSET_SECTION, "CurrentTranslationSet", name ? name : "");
    Shelf_PostNotice(VLDM_CURRENT_TRANSSET_CHANGED, 0, 0);
    return TRUE;
}

extern "C" int WINAPI Lexshelf_GetCurrentTransSet(char *buffer) {
    if (!buffer)
        return 0;
    return Basekit_SettingsReadString(LEXSHELF_TRANSSET_SECTION, "CurrentTranslationSet", buffer, 64);
}

extern "C" int WINAPI Lexshelf_EnumTransSets(LexshelfNameProc callback, LPARAM user) {
    std::vector<std::string> names = Shelf_SubkeyNames(LEXSHELF_TRANSSET_SECTION);
    for (const std::string &name : names)
        if (callback && !callback(name.c_str(), user))
            return 0;
    return (int)names.size();
}
