// Registration of built dictionaries and of the language drivers beside this program.
#include <stdio.h>
#include <string.h>
#include "basekit.h"
#include "lexicore.h"
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
