// Shell folders and shortcuts.
#include "files_int.h"
#include "basekit.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <string.h>

FARPROC Files_LateProc(const char *library, const char *name)
{
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr) module = LoadLibraryA(library);  // kept for the life of the process
    return module ? GetProcAddress(module, name) : nullptr;
}

namespace {

int SpecialFolder(char *buf, int csidl)
{
    if (buf == nullptr) return 0;
    buf[0] = '\0';
    auto get = BASEKIT_LATE("shell32.dll", SHGetSpecialFolderPathA);
    return get && get(nullptr, buf, csidl, FALSE) ? 1 : 0;
}

// Reads a text value into buf (MAX_PATH bytes).  0 when the key cannot be opened; a missing or
// non-text value leaves buf empty.
int ReadTextValue(HKEY root, const char *path, const char *name, char *buf)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD type = 0, size = MAX_PATH;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buf), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) {
        buf[0] = '\0';
    } else {
        buf[size < MAX_PATH ? size : MAX_PATH - 1] = '\0';
    }
    RegCloseKey(key);
    return 1;
}

} // namespace

extern "C" int WINAPI Basekit_GetProgramsFolder(char *buf) { return SpecialFolder(buf, CSIDL_PROGRAMS); }
extern "C" int WINAPI Basekit_GetDesktopFolder(char *buf) { return SpecialFolder(buf, CSIDL_DESKTOPDIRECTORY); }
extern "C" int WINAPI Basekit_GetStartMenuFolder(char *buf) { return SpecialFolder(buf, CSIDL_STARTMENU); }
extern "C" int WINAPI Basekit_GetStartupFolder(char *buf) { return SpecialFolder(buf, CSIDL_STARTUP); }

// The quick-launch folder: below the user's application data on newer systems, else the old
// group-conversion map.  A found key without the value answers 0 with the buffer empty.
extern "C" int WINAPI Basekit_GetQuickLaunchFolder(char *buf)
{
    if (buf == nullptr) return 0;
    buf[0] = '\0';
    if (Basekit_GetOsVersion() > 5 &&
        ReadTextValue(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "AppData", buf)) {
        if (buf[0] == '\0') return 0;
        if (Basekit_PathAppend(buf, "Microsoft\\Internet Explorer\\Quick Launch") == nullptr)
            return 0;
        return 1;
    }
    if (!ReadTextValue(HKEY_USERS, ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups",
                       "Quick Launch", buf))
        return 0;
    return buf[0] != '\0' ? 1 : 0;
}

// Creates the shortcut file link pointing at target.  0 without touching anything when the file
// exists; otherwise the result code of saving the link (negative on failure).
extern "C" LONG WINAPI Basekit_CreateShortcut(const char *target, const char *link,
                                              const char *workFolder, const char *description)
{
    if (target == nullptr || link == nullptr) return E_INVALIDARG;
    if (GetFileAttributesA(link) != INVALID_FILE_ATTRIBUTES) return 0;
    auto init = BASEKIT_LATE("ole32.dll", CoInitialize);
    auto create = BASEKIT_LATE("ole32.dll", CoCreateInstance);
    auto uninit = BASEKIT_LATE("ole32.dll", CoUninitialize);
    if (!init || !create || !uninit) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    HRESULT hr = init(nullptr);
    bool started = SUCCEEDED(hr);
    IShellLinkA *shell = nullptr;
    IPersistFile *file = nullptr;
    hr = create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                          reinterpret_cast<void **>(&shell));
    if (SUCCEEDED(hr)) {
        shell->SetPath(target);
        if (workFolder) shell->SetWorkingDirectory(workFolder);
        if (description) shell->SetDescription(description);
        hr = shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
    }
    if (SUCCEEDED(hr)) {
        WCHAR wide[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH) == 0)
            hr = HRESULT_FROM_WIN32(GetLastError());
        else
            hr = file->Save(wide, TRUE);
    }
    if (file) file->Release();
    if (shell) shell->Release();
    if (started) uninit();
    return hr;
}
