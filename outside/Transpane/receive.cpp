// What reaches the window from other processes: the add-ins' hand-over files and delivered lookup
// requests.
#include "lexidata.h"
#include "sharedkit.h"
#include "transpane.h"
#include "transpane_int.h"

bool Transpane_ReadHandOver(const char *name, std::string *bytes) {
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH) return false;
    std::string path = std::string(folder) + name;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool read = false;
    if (GetFileSizeEx(f, &size) && size.QuadPart <= TRANSPANE_MAX_FILE) {
        bytes->assign((size_t)size.QuadPart, '\0');
        DWORD got = 0;
        read = bytes->empty() || (ReadFile(f, &(*bytes)[0], (DWORD)bytes->size(), &got, nullptr) && got == bytes->size());
    }
    CloseHandle(f);
    return read;
}

std::wstring Transpane_Wide(const std::string &bytes, UINT codePage) {
    if (bytes.empty()) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), &wide[0], n);
    return wide;
}

bool Transpane_ReceiveRequest(LPARAM id, std::wstring *text, DWORD *dictionary) {
    VLTranParam *request = (VLTranParam *)Sharedkit_ReceiveItem(id);
    if (!request) return false;
    std::string bytes;
    if (request->text && request->textLen > 0) bytes.assign(request->text, (size_t)request->textLen);
    CHARSETINFO info;
    UINT codePage = TranslateCharsetInfo((DWORD *)(UINT_PTR)request->charset, &info, TCI_SRCCHARSET)
                        ? info.ciACP
                        : CP_ACP;
    *text = Transpane_Wide(bytes, codePage);
    *dictionary = request->dicId;
    VLTranParam_Destroy(request);
    return true;
}
