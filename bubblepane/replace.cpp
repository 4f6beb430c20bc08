// Typing a chosen candidate into the source window in place of the word: the word's characters
// are erased one by one, the keyboard layout of the candidate's language is taken for the time
// of typing, and the candidate's bytes are posted as characters.
#include "bubblepane_int.h"

#include <cstdio>
#include <string>

#include "linguakeeper.h"
#include "strandkit.h"
#include "wordstrand.h"

namespace {

void EraseOne(HWND target, bool keyForm)
{
    if (keyForm) {
        PostMessageA(target, WM_KEYDOWN, VK_BACK, 0x1000E);
        PostMessageA(target, WM_NULL, 0, 0);
        Sleep(30);
        PostMessageA(target, WM_KEYUP, VK_BACK, 0x1000E);
        PostMessageA(target, WM_NULL, 0, 0);
    } else {
        PostMessageA(target, WM_CHAR, 8, 1);
    }
    Sleep(30);
}

} // namespace

void Replace_Word(const VLTranParam *request, const char *candidate, DWORD language)
{
    if (!request || !candidate || !IsWindow(request->sourceWindow)) return;
    HWND target = request->sourceWindow;
    char cls[256] = "";
    GetClassNameA(target, cls, sizeof cls);
    const bool keyForm = Bubble_UsesKeyMessages(cls);

    std::string word = candidate;
    UINT codePage = Strandkit_CharsetToCodePage(request->charset);
    int start = 0;
    int n = Bubble_CharsToErase(request->text, request->textLen, request->wordPos, codePage, &start);
    if (!word.empty() && request->text && start < request->textLen &&
        Wordstrand_GetCharClass(request->charset, 1, static_cast<BYTE>(request->text[start])))
        word[0] = static_cast<char>(Wordstrand_MapCase(request->charset, 1, static_cast<BYTE>(word[0])));

    if (request->requestKind == 4) n++;
    for (int i = 0; i < n; i++) EraseOne(target, keyForm);

    // The layout of the candidate's language while its characters arrive (best effort: some
    // systems know no such layout).
    HKL previous = GetKeyboardLayout(0), taken = nullptr;
    LANGID id = Linguakeeper_GetLangId(language);
    if (id) {
        char name[KL_NAMELENGTH + 8];
        std::snprintf(name, sizeof name, "%.8X", static_cast<unsigned>(id));
        taken = LoadKeyboardLayoutA(name, KLF_REPLACELANG);
        if (taken) ActivateKeyboardLayout(taken, KLF_REORDER);
    }
    for (unsigned char b : word) PostMessageA(target, WM_CHAR, b, 1);
    if (request->requestKind == 4) PostMessageA(target, WM_CHAR, ' ', 1);
    if (taken && previous) ActivateKeyboardLayout(previous, 0);
}
