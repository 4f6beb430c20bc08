// Settings helpers of the dictionary manager: bounded copies into fixed fields, key existence,
// key-tree deletion, and the posting of change notices.
#include <string.h>
#include <string>
#include <vector>
#include "basekit.h"
#include "lexshelf_int.h"

void Shelf_CopyField(char *field, int size, const char *text) {
    if (!field || size <= 0)
        return;
    int n = 0;
    if (text) {
        while (text[n]) {
            int step = (IsDBCSLeadByte((BYTE)text[n]) && text[n + 1]) ? 2 : 1;
            if (n + step > size - 1)
                break;
            n += step;
        }
        memcpy(field, text, n);
    }
    field[n] = 0;
}

bool Shelf_KeyExists(const char *path) {
    SettingsKey key = Basekit_SettingsOpenKey(path);
    if (!key)
        return false;
    Basekit_SettingsCloseKey(key);
    return true;
}

std::vector<std::string> Shelf_SubkeyNames(const char *path) {
    std::vector<std::string> names;
    std::string full = std::string("HKEY_LOCAL_MACHINE\\") + path;
    int count = Basekit_SettingsCountSubkeys(full.c_str());
    for (int i = 0; i < count; i++) {
        char name[MAX_PATH] = "";
        if (Basekit_SettingsEnumSubkey(full.c_str(), i, name) > 0)
            names.push_back(name);
    }
    return names;
}

// The names of the key's direct sub-keys are taken first, so that the walk does not depend on
// how the store renumbers sub-keys while they go.  File mode keeps the sections of sub-keys when
// their parent goes (and may hold sub-keys below a key without a section of its own), so every
// level is deleted on its own.
void Shelf_DeleteKeyTree(const char *path) {
    if (!path || !*path)
        return;
    for (const std::string &name : Shelf_SubkeyNames(path)) {
        std::string child = std::string(path) + "\\" + name;
        if (child.size() < MAX_PATH)
            Shelf_DeleteKeyTree(child.c_str());
    }
    Basekit_SettingsDeleteKey(nullptr, path);
}

namespace {

struct PostArgs {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

BOOL CALLBACK PostToManager(HWND window, LPARAM user) {
    char cls[64];
    if (GetClassNameA(window, cls, sizeof cls) && lstrcmpiA(cls, LEXSHELF_WINDOW_CLASS) == 0) {
        const PostArgs *a = (const PostArgs *)user;
        PostMessageA(window, a->message, a->wParam, a->lParam);
    }
    return TRUE;
}

}  // namespace

void Shelf_PostNotice(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Shelf().window || !IsWindow(Shelf().window))
        return;
    PostArgs a = {message, wParam, lParam};
    EnumWindows(PostToManager, (LPARAM)&a);
}
