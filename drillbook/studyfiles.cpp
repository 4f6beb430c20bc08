// File work of the study-list program: names checked before they become file names, the part of
// a list that a viewer shows and the part it keeps aside, writes that replace a file only once the
// new one is complete, and where an import lands.  No window or drawing calls.
#include <stdio.h>
#include <string.h>

#include <vector>

#include "drillbook_int.h"

namespace {

const char kExtension[] = ".vlh";
const LONG kFileMaximum = 5000;  // the study-list handle's own maximum

bool SameIdentity(const VLDataItem *a, const VLDataItem *b)
{
    return a->head.fileId == b->head.fileId && a->head.subDicNo == b->head.subDicNo &&
           a->head.entryNo == b->head.entryNo;
}

// The 0-based position of a held entry of the same identity, or -1.
LONG Held(const VLWordList *list, const VLDataItem *item)
{
    for (LONG i = 0; i < list->count; i++)
        if (SameIdentity(list->slots[i], item)) return i;
    return -1;
}

// Appends a copy at the end without merging (the older part may hold an entry again).
bool Append(VLWordList **list, const VLDataItem *item)
{
    if ((*list)->count >= (*list)->maximum) {
        LONG grown = (*list)->maximum * 2;
        VLWordList_SetMaxNum(*list, grown);
        if ((*list)->maximum != grown) return false;
    }
    return VLWordList_AddEx(*list, -1, item) >= 0;
}

bool IsDeviceName(const char *name)
{
    static const char *const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$"};
    std::string stem = name;
    size_t dot = stem.find('.');
    if (dot != std::string::npos) stem.resize(dot);
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char *d : kDevices)
        if (lstrcmpiA(stem.c_str(), d) == 0) return true;
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9') {
        std::string three = stem.substr(0, 3);
        if (lstrcmpiA(three.c_str(), "COM") == 0 || lstrcmpiA(three.c_str(), "LPT") == 0) return true;
    }
    return false;
}

bool SameBytes(const char *a, const char *b)
{
    HANDLE fa = CreateFileA(a, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE fb = CreateFileA(b, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bool same = fa != INVALID_HANDLE_VALUE && fb != INVALID_HANDLE_VALUE &&
                GetFileSize(fa, nullptr) == GetFileSize(fb, nullptr);
    std::vector<char> ba(65536), bb(65536);
    while (same) {
        DWORD ra = 0, rb = 0;
        if (!ReadFile(fa, ba.data(), (DWORD)ba.size(), &ra, nullptr) ||
            !ReadFile(fb, bb.data(), (DWORD)bb.size(), &rb, nullptr) || ra != rb) {
            same = false;
            break;
        }
        if (ra == 0) break;
        same = memcmp(ba.data(), bb.data(), ra) == 0;
    }
    if (fa != INVALID_HANDLE_VALUE) CloseHandle(fa);
    if (fb != INVALID_HANDLE_VALUE) CloseHandle(fb);
    return same;
}

// The list to write: the older entries, then the shown ones (copies; the caller frees it).
VLWordList *Joined(const ShownList *list)
{
    LONG older = list->older ? list->older->count : 0;
    LONG total = older + list->shown->count;
    VLWordList *all = VLWordList_Create(total > kFileMaximum ? total : kFileMaximum);
    if (!all) return nullptr;
    for (LONG i = 0; i < older; i++) VLWordList_AddEx(all, -1, list->older->slots[i]);
    for (LONG i = 0; i < list->shown->count; i++) VLWordList_AddEx(all, -1, list->shown->slots[i]);
    if (all->count != total) {
        VLWordList_Destroy(all);
        return nullptr;
    }
    return all;
}

}  // namespace

bool Drill_NameUsable(const char *folder, const char *name)
{
    if (!name || !name[0]) return false;
    size_t length = strlen(name);
    if (strlen(folder) + 1 + length + sizeof kExtension > MAX_PATH) return false;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return false;
    for (const char *p = name; *p;) {
        unsigned char c = (unsigned char)*p;
        if (IsDBCSLeadByte(c)) {
            if (!p[1]) return false;  // a lead byte without its trail byte
            p += 2;
            continue;
        }
        if (c < 0x20 || strchr("\\/:*?\"<>|", c)) return false;
        p++;
    }
    // The last character: a trailing space or dot is dropped by the file system.
    const char *last = name;
    for (const char *p = name; *p; p = CharNextA(p)) last = p;
    if (*last == ' ' || *last == '.') return false;
    return !IsDeviceName(name);
}

std::string Drill_SizeText(DWORD size)
{
    char text[32];
    snprintf(text, sizeof text, "%luKB", (unsigned long)(size / 1024 + 1));
    return text;
}

std::string Drill_BaseName(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    std::string base = name;
    size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.resize(dot);
    return base;
}

std::string Drill_ListPath(const char *folder, const std::string &name)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + name + kExtension;
}

bool Drill_LoadShown(const char *path, int cap, ShownList *list)
{
    VLWordList_DeleteAllItems(list->shown);
    list->older = nullptr;
    VLWordList *all = VLWordList_Create(kFileMaximum);
    if (!all) return false;
    bool loaded = VLWordList_Load(all, path) != 0;
    LONG first = 0;
    if (cap > 0 && all->count > cap) {
        first = all->count - cap;  // the newest cap entries are shown
        list->older = VLWordList_Create(first);
        for (LONG i = 0; list->older && i < first; i++) VLWordList_AddEx(list->older, -1, all->slots[i]);
    } else if (cap > 0) {
        list->older = VLWordList_Create(16);
    }
    if (list->shown->maximum < all->count - first) VLWordList_SetMaxNum(list->shown, all->count - first);
    for (LONG i = first; i < all->count; i++) VLWordList_AddEx(list->shown, -1, all->slots[i]);
    VLWordList_Destroy(all);
    return loaded;
}

void Drill_FreeShown(ShownList *list)
{
    if (list->older) VLWordList_Destroy(list->older);
    list->older = nullptr;
}

void Drill_MakeRoom(ShownList *list, int cap)
{
    if (cap <= 0 || !list->older) return;
    while (list->shown->count > 0 && list->shown->count >= cap) {
        if (!Append(&list->older, list->shown->slots[0])) return;
        VLWordList_Delete(list->shown, 0);
    }
}

LONG Drill_AddEntry(ShownList *list, int cap, const VLDataItem *item)
{
    if (!item) return 0;
    // An entry already held keeps the lower score and its place, full list or not.
    LONG held = Held(list->shown, item);
    if (held >= 0) {
        VLDataItem *mine = list->shown->slots[held];
        if (item->score < mine->score) mine->score = item->score;
        return held + 1;
    }
    if (list->older) {
        // A capped list rotates: make room below the cap, and below the list's own maximum.
        Drill_MakeRoom(list, cap);
        if (list->shown->count >= list->shown->maximum) Drill_MakeRoom(list, list->shown->maximum);
    }
    return VLWordList_Add(list->shown, item);
}

bool Drill_WriteShown(const ShownList *list, const char *path)
{
    VLWordList *all = Joined(list);
    bool written = all && VLWordList_Save(all, path);
    if (all) VLWordList_Destroy(all);
    return written;
}

bool Drill_WriteNewFile(const ShownList *list, const char *path, DWORD *error)
{
    *error = 0;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        *error = ERROR_FILE_EXISTS;
        return false;
    }
    std::string temp = std::string(path) + ".new";
    if (!Drill_WriteShown(list, temp.c_str())) {
        DeleteFileA(temp.c_str());
        *error = ERROR_WRITE_FAULT;
        return false;
    }
    if (!MoveFileA(temp.c_str(), path)) {  // never over an existing file
        *error = GetLastError();
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

std::string Drill_ImportTarget(const char *folder, const char *source, bool *same)
{
    *same = false;
    std::string base = Drill_BaseName(source);
    std::string target = Drill_ListPath(folder, base);
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return target;
    if (lstrcmpiA(target.c_str(), source) == 0 || SameBytes(source, target.c_str())) {
        *same = true;
        return target;
    }
    for (int n = 1;; n++) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%s(%d)", base.c_str(), n);
        target = Drill_ListPath(folder, name);
        if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return target;
        if (SameBytes(source, target.c_str())) {
            *same = true;
            return target;
        }
    }
}

bool Drill_CopyNew(const char *source, const char *target)
{
    return CopyFileA(source, target, TRUE) != 0;
}
