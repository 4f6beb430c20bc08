// Registration of built dictionaries (in the catalogue and in the pop-up's choice) and of the
// language drivers beside this program.
#include <stdio.h>
#include <string.h>
#include "basekit.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "dicbuild_int.h"

namespace {

const struct {
    WORD language;
    const char *driver;
} kDrivers[] = {{0x0100, "lingo_en.dll"}, {0x0700, "lingo_de.dll"}, {0x0400, "lingo_ja.dll"}};

std::string ProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\'));
}

}  // namespace

void Db_RegisterDrivers(void) {
    std::string folder = ProgramFolder();
    for (const auto &d : kDrivers) {
        if (GetFileAttributesA((folder + "\\" + d.driver).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        char key[128];
        snprintf(key, sizeof key, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\%04x", d.language);
        HKEY k;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
            continue;
        RegSetValueExA(k, "FileName", 0, REG_SZ, (const BYTE *)d.driver, (DWORD)strlen(d.driver) + 1);
        RegCloseKey(k);
    }
}

bool Db_Register(const DbOptions &opt, const char *path, bool makeDefault) {
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    info.fileId = opt.fileId;
    info.kind = 1;
    info.charset = opt.charset;
    snprintf(info.name, sizeof info.name, "%s", opt.name.c_str());
    char full[MAX_PATH];
    if (!GetFullPathNameA(path, MAX_PATH, full, nullptr)) return false;
    snprintf(info.path, sizeof info.path, "%s", full);
    DicProperty sub;
    memset(&sub, 0, sizeof sub);
    sub.size = sizeof sub;
    sub.language = opt.language;
    sub.colour = 0;
    snprintf(sub.nickname, sizeof sub.nickname, "%s", opt.nickname.c_str());
    if (!Lexidata_AddDicToRegistry(&info, &sub, 1)) return false;
    if (!makeDefault) return true;
    if (!Lexicore_Init("VelosuiteDicBuild", 0)) return false;
    Lexicore_SetDefaultDic(opt.fileId << 8);
    bool ok = Lexicore_GetDefaultDic(opt.charset) == (opt.fileId << 8);
    Lexicore_Term();
    return ok;
}

namespace {

int CALLBACK FindGroupByName(VLDicGroup *group, LPARAM user) {
    DWORD *id = reinterpret_cast<DWORD *>(user);
    if (strcmp(group->name, DB_POPUP_GROUP) != 0) return 1;
    *id = group->id;
    return 0;
}

bool JoinPopupGroup(DWORD dicId) {
    DWORD id = 0;
    Lexshelf_EnumGroups(FindGroupByName, (LPARAM)&id);
    VLDicGroup *group = Lexshelf_GroupCreate();
    if (!group) return false;
    bool ok = true;
    if (id == 0 || !Lexshelf_GroupLoad(id, group)) Lexshelf_GroupSetNames(group, DB_POPUP_GROUP, "");
    bool held = false;
    for (DWORD i = 0; i < Lexshelf_GroupGetDicCount(group); i++) held = held || Lexshelf_GroupGetDic(group, (int)i) == dicId;
    if (!held) ok = Lexshelf_GroupInsertDic(group, dicId, 0) && Lexshelf_GroupSave(group);
    Lexshelf_GroupDestroy(group);
    return ok;
}

// The pop-up kinds' entry of the set: first key 1, second key the charset of the looked-up text.
bool TakePopupSlot(DWORD dicId, BYTE charset, DWORD slot) {
    char name[64] = "";
    Lexshelf_GetCurrentTransSet(name);
    bool current = name[0] != 0;
    if (!current) snprintf(name, sizeof name, "%s", DB_POPUP_SET);
    VLTransSet *set = Lexshelf_TransSetOpen(name);
    if (!set) return false;
    VLTransSetEntry held;
    bool ok = true;
    if (!Lexshelf_TransSetFind(set, 1, charset, slot, &held) || held.dictionaryId != dicId) {
        if (!Lexshelf_TransSetAdd(set, 1, charset, slot, dicId)) Lexshelf_TransSetUpdate(set, 1, charset, slot, dicId);
        ok = Lexshelf_TransSetSave(set) != 0;
    }
    Lexshelf_TransSetDestroy(set);
    return ok && (current || Lexshelf_SetCurrentTransSet(name));
}

}  // namespace

bool Db_AddToPopup(const DbOptions &opt, DWORD slot) {
    if (slot < 1 || slot > 5 || !Lexshelf_Init(0)) return false;
    DWORD dicId = opt.fileId << 8;
    bool ok = JoinPopupGroup(dicId) && TakePopupSlot(dicId, opt.charset, slot);
    Lexshelf_Term();
    return ok;
}
