// The drive table: the drives of a drive list with the real path behind each, and the rule that a
// drive which is only a folder of another drive (a substituted drive) is not walked twice.
#include <stdio.h>
#include <string.h>

#include "basekit.h"
#include "finder_int.h"

namespace {

// The real path of a drive on Windows 95 or an unknown system: the outside path library.
typedef DWORD(WINAPI *RealFullPathProc)(const char *path, const char *drive, char *buffer);

int ThunkRealPath(const char *root, char *out, int cap)
{
    HMODULE lib = LoadLibraryA("Drivethunk.dll");
    if (!lib) return 0;
    int n = 0;
    RealFullPathProc proc = (RealFullPathProc)GetProcAddress(lib, "GetRealFullPathName");
    if (proc) {
        char buffer[FINDER_PATH] = {0};
        if (proc(root, root, buffer) && buffer[0]) {
            Finder_Copy(out, buffer, (size_t)cap);
            n = (int)strlen(out);
        }
    }
    FreeLibrary(lib);
    return n;
}

typedef DWORD(WINAPI *QueryDosDeviceProc)(const char *device, char *target, DWORD cap);

int DeviceRealPath(const char *root, char *out, int cap)
{
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    QueryDosDeviceProc query = kernel ? (QueryDosDeviceProc)GetProcAddress(kernel, "QueryDosDeviceA") : nullptr;
    if (!query) return 0;
    char device[3] = {root[0], root[1], 0};
    char buffer[FINDER_PATH] = {0};
    if (!query(device, buffer, sizeof buffer) || !buffer[0]) return 0;
    Finder_Copy(out, buffer, (size_t)cap);
    return (int)strlen(out);
}

// The real path of one root: the seam when set; for a drive root the system's answer; otherwise
// (and when nothing is answered) the root text itself.
void RealPathOf(const char *root, char *out)
{
    out[0] = 0;
    bool driveRoot = strlen(root) == 3 && root[1] == ':' && root[2] == '\\';
    if (g_finderUi.realPath) {
        g_finderUi.realPath(root, out, FINDER_PATH);
    } else if (driveRoot) {
        int os = Basekit_GetOsVersion();
        if (os == 0 || os == 1)
            ThunkRealPath(root, out, FINDER_PATH);
        else
            DeviceRealPath(root, out, FINDER_PATH);
    }
    if (!out[0]) Finder_Copy(out, root, FINDER_PATH);
}

// The part of a root that another drive's real path names: the letter, colon and backslash of a
// drive root, the whole folder of any other root.
std::string RootText(const char *root)
{
    std::string r = root;
    if (r.size() >= 3 && r[1] == ':' && r[2] == '\\' && r.size() == 3) return r;
    if (!r.empty() && r.back() != '\\') r += '\\';
    return r;
}

bool ContainsNoCase(const std::string &text, const std::string &part)
{
    if (part.empty() || part.size() > text.size()) return false;
    for (size_t i = 0; i + part.size() <= text.size(); i++)
        if (_strnicmp(text.c_str() + i, part.c_str(), part.size()) == 0) return true;
    return false;
}

}  // namespace

std::vector<std::string> Finder_ParseDriveList(const char *list)
{
    std::vector<std::string> roots;
    if (!list) return roots;
    const char *p = list;
    while (*p && roots.size() < FINDER_MAX_DRIVES) {
        const char *end = strchr(p, ';');
        size_t n = end ? (size_t)(end - p) : strlen(p);
        std::string root(p, n);
        while (!root.empty() && root[0] == ' ') root.erase(0, 1);
        if (root.size() == 2 && root[1] == ':') root += '\\';
        if (!root.empty() && root.size() < MAX_PATH) roots.push_back(root);
        if (!end) break;
        p = end + 1;
    }
    return roots;
}

std::vector<FinderDrive> Finder_DriveTable(const char *list)
{
    std::vector<FinderDrive> table;
    for (const std::string &root : Finder_ParseDriveList(list)) {
        FinderDrive d;
        Finder_Copy(d.root, root.c_str(), sizeof d.root);
        RealPathOf(d.root, d.realPath);
        table.push_back(d);
    }
    return table;
}

bool Finder_DriveCovered(const std::vector<FinderDrive> &table, size_t i)
{
    for (size_t j = 0; j < table.size(); j++) {
        if (j == i || !table[j].realPath[0]) continue;
        std::string other = RootText(table[j].root);
        if (lstrcmpiA(other.c_str(), RootText(table[i].root).c_str()) == 0) continue;  // the same drive twice
        if (ContainsNoCase(table[i].realPath, other)) return true;
    }
    return false;
}

std::string Finder_LogicalDrives()
{
    char buf[1024];
    DWORD n = GetEnvironmentVariableA("LEXFINDER_DRIVES", buf, sizeof buf);
    if (n && n < sizeof buf) return buf;
    std::string list;
    n = GetLogicalDriveStringsA(sizeof buf - 1, buf);
    if (!n || n >= sizeof buf) return list;
    for (const char *p = buf; *p; p += strlen(p) + 1) list += std::string(p) + ";";
    return list;
}

std::string Finder_ProgramDriveList(const char *programFolder)
{
    char buf[1024];
    DWORD n = GetEnvironmentVariableA("LEXFINDER_DRIVES", buf, sizeof buf);
    if (n && n < sizeof buf) {
        std::vector<std::string> roots = Finder_ParseDriveList(buf);
        return roots.empty() ? std::string() : roots[0] + ";";
    }
    std::string root = std::string(programFolder).substr(0, 3);
    if (root.size() == 2) root += '\\';
    return root + ";";
}
