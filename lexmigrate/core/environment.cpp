// Where the upgrade finds things: the install folder and the older versions' folders in the machine
// store and the old settings file, the drives a CD-ROM may be in, and the version-4 catalogue.
#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "lexmigrate.h"
#include "migrate.h"

namespace {

const char kInstallKey[] = "Software\\Halvenstone\\Velosuite\\6.0";
const char kV3InstallKey[] = "Software\\Halvenstone\\Velosuite\\3.0\\Install";
const char kV4InstallKey[] = "Software\\Halvenstone\\Velosuite\\4.0\\Install";
const char kDefaultDicRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary";

// A text value of the machine store; false (out emptied) when missing or not text.
bool ReadMachineText(const char *path, const char *name, char *out, DWORD cap)
{
    out[0] = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = cap;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, (BYTE *)out, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) {
        out[0] = 0;
        return false;
    }
    out[cap - 1] = 0;
    return out[0] != 0;
}

// Appends a backslash unless the text ends in one (a double-byte character's trail byte does not
// count); an empty text stays empty.
void EndWithBackslash(char *folder)
{
    if (folder[0]) Basekit_PathAppend(folder, "");
}

// The folder of this program, with a backslash.
void ProgramFolder(char *out)
{
    DWORD n = GetModuleFileNameA(nullptr, out, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        out[0] = 0;
        return;
    }
    Basekit_PathReplaceFileName(out, "");
}

bool Absolute(const char *path)
{
    return (path[0] && path[1] == ':') || (path[0] == '\\' && path[1] == '\\');
}

}  // namespace

void Migrate_Copy(char *out, const char *in, size_t cap)
{
    if (cap == 0) return;
    size_t n = strlen(in);
    if (n >= cap) n = cap - 1;
    memcpy(out, in, n);
    out[n] = 0;
}

bool Migrate_FileExists(const char *path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void Migrate_Trace(const char *format, ...)
{
    char text[600] = "lexmigrate: ";
    va_list args;
    va_start(args, format);
    vsnprintf(text + 12, sizeof text - 14, format, args);
    va_end(args);
    strcat(text, "\n");
    OutputDebugStringA(text);
}

bool Migrate_FindOldSettings(char *out)
{
    char path[MAX_PATH];
    UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    if (n && n < MAX_PATH - 16) {
        strcat(path, "\\Velomira.ini");
        if (Migrate_FileExists(path)) {
            Migrate_Copy(out, path, MAX_PATH);
            return true;
        }
    }
    ProgramFolder(path);
    if (path[0] && Basekit_PathAppend(path, "Velomira.ini") && Migrate_FileExists(path)) {
        Migrate_Copy(out, path, MAX_PATH);
        return true;
    }
    out[0] = 0;
    return false;
}

bool Migrate_ReadEnvironment(MigrateEnv *env)
{
    char cd[MAX_PATH];
    Migrate_Copy(cd, env->cdFolder, sizeof cd);
    memset(env, 0, sizeof *env);
    Migrate_Copy(env->cdFolder, cd, sizeof env->cdFolder);

    if (ReadMachineText(kV3InstallKey, "Velomira Dir", env->v3Folder, MAX_PATH) &&
        Basekit_PathAppend(env->v3Folder, "Program"))
        EndWithBackslash(env->v3Folder);
    else
        env->v3Folder[0] = 0;

    if (Migrate_FindOldSettings(env->oldSettings)) {
        GetPrivateProfileStringA("System Config", "Path", "", env->v2Folder, MAX_PATH - 1,
                                 env->oldSettings);
        EndWithBackslash(env->v2Folder);
    }

    if (!ReadMachineText(kInstallKey, "InstallPath", env->installFolder, MAX_PATH)) return false;
    EndWithBackslash(env->installFolder);
    return env->installFolder[0] != 0;
}

// ---- Drives ---------------------------------------------------------------------------------------

std::vector<MigrateDrive> Migrate_ListDrives(bool withNetwork)
{
    std::vector<MigrateDrive> drives;
    if (const char *injected = getenv(LEXMIGRATE_DRIVES_VARIABLE)) {
        // "D=C:\folder;E=C:\other": each entry a CD-ROM drive whose root is the folder.
        const char *p = injected;
        while (*p) {
            const char *end = strchr(p, ';');
            size_t len = end ? (size_t)(end - p) : strlen(p);
            if (len > 2 && p[1] == '=' && isalpha((unsigned char)p[0]) && len - 2 < MAX_PATH - 1) {
                MigrateDrive d = {};
                d.name[0] = (char)toupper((unsigned char)p[0]);
                d.name[1] = ':';
                memcpy(d.root, p + 2, len - 2);
                d.root[len - 2] = 0;
                EndWithBackslash(d.root);
                drives.push_back(d);
            }
            p += len;
            if (*p == ';') p++;
        }
        return drives;
    }
    DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; i++) {
        if (!(mask & (1u << i))) continue;
        char root[4] = {(char)('A' + i), ':', '\\', 0};
        UINT type = GetDriveTypeA(root);
        if (type != DRIVE_CDROM && !(withNetwork && type == DRIVE_REMOTE)) continue;
        MigrateDrive d = {};
        d.name[0] = root[0];
        d.name[1] = ':';
        Migrate_Copy(d.root, root, sizeof d.root);
        drives.push_back(d);
    }
    return drives;
}

void Migrate_DriveRoot(const char *name, char *out)
{
    out[0] = 0;
    if (!name || !name[0] || name[1] != ':') return;
    for (const MigrateDrive &d : Migrate_ListDrives(true))
        if (toupper((unsigned char)d.name[0]) == toupper((unsigned char)name[0])) {
            Migrate_Copy(out, d.root, MAX_PATH);
            return;
        }
    if (getenv(LEXMIGRATE_DRIVES_VARIABLE)) return;   // only the injected drives exist
    char root[4] = {(char)toupper((unsigned char)name[0]), ':', '\\', 0};
    Migrate_Copy(out, root, MAX_PATH);
}

// ---- The version-4 catalogue ----------------------------------------------------------------------

void Migrate_CatalogueKey(DWORD id, char *out)
{
    // The root as the engine takes it: the SDK's override in vldicsdk.ini, else the default.
    char root[MAX_PATH];
    DWORD n = GetPrivateProfileStringA("Registry", "ROOT_DIC_KEY", kDefaultDicRoot, root, MAX_PATH,
                                       "vldicsdk.ini");
    if (n == 0) Migrate_Copy(root, kDefaultDicRoot, sizeof root);
    char key[MAX_PATH + 16];
    snprintf(key, sizeof key, "%s\\%08x", root, (unsigned)id);
    Migrate_Copy(out, key, MAX_PATH);
}

bool Migrate_UsableFile(const MigrateEnv *env, DWORD id, char *out)
{
    char key[MAX_PATH], name[MAX_PATH];
    Migrate_CatalogueKey(id, key);
    // The settings layer is where the suite keeps its catalogue; entries that an installer left in
    // the machine store count as well.
    bool named = Basekit_SettingsReadString(key, "FileName", name, sizeof name) != 0 ||
                 ReadMachineText(key, "FileName", name, sizeof name);
    if (!named || !name[0]) return false;
    char path[MAX_PATH];
    if (Absolute(name)) {
        Migrate_Copy(path, name, sizeof path);
    } else {
        if (!ReadMachineText(kV4InstallKey, "Velomira Dir", path, sizeof path))
            Migrate_Copy(path, env ? env->installFolder : "", sizeof path);
        if (!path[0] || !Basekit_PathAppend(path, name)) return false;
    }
    if (!Migrate_FileExists(path)) return false;
    if (out) Migrate_Copy(out, path, MAX_PATH);
    return true;
}

// ---- Texts ----------------------------------------------------------------------------------------

void Migrate_Format(const Migration *m, UINT id, const char *arg, char *out, int cap)
{
    char format[512] = "";
    if (m->host->loadText(m->host->context, id, format, sizeof format) <= 0) {
        Migrate_Copy(out, arg ? arg : "", (size_t)cap);
        return;
    }
    snprintf(out, (size_t)cap, format, arg ? arg : "");
}

void Migrate_DisplayName(const Migration *m, const UpgradeRecord *r, char *out, int cap)
{
    if (r->title[0]) {
        Migrate_Copy(out, r->title, (size_t)cap);
        return;
    }
    char prefix[128] = "";
    m->host->loadText(m->host->context, IDS_MIG_DICTIONARY, prefix, sizeof prefix);
    snprintf(out, (size_t)cap, "%s%s", prefix, r->fileName);
}
