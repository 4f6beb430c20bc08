// The names files beside the finder: the catalogue names and sub-dictionaries of the dictionary
// files the product line ships, vldicjpn.ini for a Japanese user interface, vldiceng.ini else.
// Sections are named by the full form of each catalogue key.
#include <stdio.h>

#include "lexidata.h"
#include "finder_int.h"

std::string Finder_NamesFile(const VLFinderState *st)
{
    std::string path = st->programFolder;
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + (st->uiCharset == SHIFTJIS_CHARSET ? "vldicjpn.ini" : "vldiceng.ini");
}

std::string Finder_NamesValue(const VLFinderState *st, DWORD fileId, int sub, const char *value)
{
    char root[MAX_PATH], section[MAX_PATH + 40];
    Lexidata_GetDicRootKey(root);
    if (sub > 0)
        snprintf(section, sizeof section, "HKEY_LOCAL_MACHINE\\%s\\%08X\\%02d", root, (unsigned)fileId, sub);
    else
        snprintf(section, sizeof section, "HKEY_LOCAL_MACHINE\\%s\\%08X", root, (unsigned)fileId);
    char buf[261] = {0};
    GetPrivateProfileStringA(section, value, "", buf, sizeof buf, Finder_NamesFile(st).c_str());
    return buf;
}
