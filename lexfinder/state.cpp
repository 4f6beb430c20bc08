// The finder's run state, its defaults and the small path helpers every part uses.
#include <stdio.h>
#include <string.h>

#include "basekit.h"
#include "lexidata.h"
#include "strandkit.h"
#include "finder_int.h"

FinderUi g_finderUi = {nullptr, nullptr, nullptr, nullptr, nullptr, 1};

void Finder_Copy(char *out, const char *text, size_t cap)
{
    if (!cap) return;
    size_t n = 0;
    while (text && n + 1 < cap && text[n]) n++;
    if (n) memcpy(out, text, n);
    out[n] = 0;
}

std::string Finder_FolderOf(const std::string &path)
{
    const char *last = Basekit_PathFindFileName(path.c_str());
    return last ? path.substr(0, last - path.c_str()) : std::string();
}

std::string Finder_NameOf(const std::string &path)
{
    const char *last = Basekit_PathFindFileName(path.c_str());
    return last ? std::string(last + 1) : path;
}

bool Finder_Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Finder_IsFolder(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void Finder_DefaultMyDicFolder(const char *programFolder, char *out)
{
    std::string folder = programFolder;
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    std::string parent = folder.size() > 3 ? Finder_FolderOf(folder) : folder;
    if (parent.empty()) parent = folder;
    if (parent.size() == 2 && parent[1] == ':') parent += '\\';
    char path[MAX_PATH];
    Finder_Copy(path, parent.c_str(), sizeof path);
    if (!Basekit_PathAppend(path, "My Dictionary")) Finder_Copy(path, "My Dictionary", sizeof path);
    Finder_Copy(out, path, FINDER_PATH);
}

void Finder_SetupKey(char *out)
{
    char root[MAX_PATH];
    Lexidata_GetDicRootKey(root);
    snprintf(out, MAX_PATH, "%s\\%s", root, FINDER_SETUP_KEY);
}

void Finder_InitState(VLFinderState *st)
{
    st->found.clear();
    st->myDicFolder[0] = 0;
    st->unattended = 0;
    st->search = FINDER_SEARCH_ALL;
    st->cancelled = 0;
    st->registered = 0;
    st->overwriteForAll = 0;
    st->overwriteAnswer = IDNO;
    st->uiCharset = Strandkit_GetUiCharset();
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (!n || n >= MAX_PATH) path[0] = 0;
    Finder_Copy(st->programFolder, Finder_FolderOf(path).c_str(), sizeof st->programFolder);
    st->resources = GetModuleHandleA(nullptr);
    st->engines = g_finderEngines;
    st->engineCount = g_finderEngineCount;
    st->owner = nullptr;
    st->copyCaption[0] = st->copyMessage[0] = 0;
    Finder_DefaultMyDicFolder(st->programFolder, st->myDicFolder);
}

VLFoundDic *Finder_AddRecord(VLFinderState *st, const VLFoundDic &rec)
{
    st->found.push_back(rec);
    return &st->found.back();
}
