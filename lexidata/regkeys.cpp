// Key paths of the dictionary catalogue in the settings tree, and the first registration of a
// newly added dictionary.
#include <stdio.h>
#include "lexidata_int.h"
#include "basekit.h"

namespace {

const char kDefaultRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary";
const int kPathMax = 260;

// Formats into the caller's 260-byte buffer; a path that does not fit leaves it empty and gives 0.
int Format(char *buffer, const char *fmt, const char *root, DWORD fileId, int number) {
    char tmp[kPathMax + 32];
    int n = number < 0 ? snprintf(tmp, sizeof tmp, fmt, root, (unsigned)fileId)
                       : snprintf(tmp, sizeof tmp, fmt, root, (unsigned)fileId, number);
    if (n < 0 || n >= kPathMax) {
        buffer[0] = 0;
        return 0;
    }
    memcpy(buffer, tmp, (size_t)n + 1);
    return n;
}

}  // namespace

extern "C" int WINAPI Lexidata_GetDicRootKey(char *buffer) {
    if (!buffer) return 0;
    DWORD n = GetPrivateProfileStringA("Registry", "ROOT_DIC_KEY", kDefaultRoot, buffer, kPathMax,
                                       "vldicsdk.ini");
    if (n == 0) {
        // An empty value names no root: keep the default.
        strcpy(buffer, kDefaultRoot);
        n = sizeof kDefaultRoot - 1;
    }
    return (int)n;
}

extern "C" int WINAPI Lexidata_GetDicKey(DWORD fileId, char *buffer) {
    if (!buffer) return 0;
    char root[kPathMax];
    Lexidata_GetDicRootKey(root);
    return Format(buffer, "%s\\%08x", root, fileId, -1);
}

extern "C" int WINAPI Lexidata_GetDicIndexKey(DWORD fileId, int number, char *buffer) {
    if (!buffer) return 0;
    char root[kPathMax];
    Lexidata_GetDicRootKey(root);
    return Format(buffer, "%s\\%08x\\%02d", root, fileId, number);
}

extern "C" BOOL WINAPI Lexidata_AddDicToRegistry(const DicInfo *record, const DicProperty *subs,
                                                 int count) {
    if (!record) return FALSE;
    char key[kPathMax];
    if (!Lexidata_GetDicKey(record->fileId, key)) return FALSE;
    SettingsKey k = Basekit_SettingsCreateKey(nullptr, key);
    if (!k) return FALSE;
    Basekit_SettingsCloseKey(k);
    char text[kPathMax + 1];
    bool ok = true;
    snprintf(text, sizeof text, "%.*s", (int)sizeof record->path, record->path);
    ok = Basekit_SettingsWriteString(key, "FileName", text) && ok;
    snprintf(text, sizeof text, "%.*s", (int)sizeof record->name, record->name);
    ok = Basekit_SettingsWriteString(key, "Name", text) && ok;
    for (int i = 0; subs && i < count; i++) {
        const DicProperty *p = &subs[i];
        if (!Lexidata_GetDicIndexKey(record->fileId, i + 1, key)) return FALSE;
        SettingsKey sk = Basekit_SettingsCreateKey(nullptr, key);
        if (!sk) return FALSE;
        Basekit_SettingsCloseKey(sk);
        snprintf(text, sizeof text, "%.*s", (int)sizeof p->nickname, p->nickname);
        ok = Basekit_SettingsWriteDword(key, "LangID", p->language) && ok;
        ok = Basekit_SettingsWriteString(key, "NickName", text) && ok;
        ok = Basekit_SettingsWriteDword(key, "Color", p->colour) && ok;
    }
    return ok;
}
