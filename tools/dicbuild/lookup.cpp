// diclookup: looks words up in catalogued dictionaries through the engine and prints the entries.
//
//   diclookup <file id in hex> word [word ...] [<file id> word ...]
//
// Words are taken from the Unicode command line and turned into the dictionary's code page; the
// entries are printed in UTF-8.  A word that finds nothing as it stands is looked up in the forms
// the language driver's analysis gives for it (a conjugated Japanese verb as its dictionary form).
// Exit status 0 when every dictionary could be opened.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "lexicore.h"
#include "linguakeeper.h"
#include <shellapi.h>

namespace {

std::string Convert(const std::string &s, UINT from, UINT to) {
    int n = MultiByteToWideChar(from, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(from, 0, s.data(), (int)s.size(), &w[0], n);
    int m = WideCharToMultiByte(to, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(m, '\0');
    WideCharToMultiByte(to, 0, w.data(), n, &out[0], m, nullptr, nullptr);
    return out;
}

// An exact query (compare flags 0x30: case and accents folded, as a user types a word) of the key
// into the list; the entries found.
LONG Lookup(DicSession *session, DicQuery *query, VLWordList *list, const char *key) {
    VLWordList_DeleteAllItems(list);
    Lexicore_SetQuerySession(query, session);
    Lexicore_SetQueryResultList(query, list);
    Lexicore_SetQueryText(query, key, 0, 0);
    Lexicore_RunQuery(query, LEXICORE_MODE_EXACT, 0x30 | LEXICORE_SF_NOWILD);
    return VLWordList_Count(list);
}

// The first analysed form of the word (cursor on its first letter) that finds entries, into form;
// the entries found (0 when none does).
LONG LookupForms(DicSession *session, DicQuery *query, VLWordList *list, WORD language, const std::string &word,
                 std::string *form) {
    LinguakeeperForms *forms = Linguakeeper_AnalyzeWord(language, word.c_str(), 0, 1);
    LONG n = 0;
    for (DWORD k = 0; forms && forms->keys && k < forms->keys->count && n == 0; k++) {
        const char *key = forms->keys->items[k].text;
        if (key && *key && word != key && (n = Lookup(session, query, list, key)) > 0)
            *form = key;
    }
    Linguakeeper_FreeForms(forms);
    return n;
}

bool IsHex(const char *s) {
    if (!*s) return false;
    for (; *s; s++)
        if (!strchr("0123456789abcdefABCDEF", *s)) return false;
    return true;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR *wargv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; wargv && i < argc; i++) {
        int n = WideCharToMultiByte(CP_UTF8, 0, wargv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string a(n > 0 ? n - 1 : 0, '\0');
        if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wargv[i], -1, &a[0], n, nullptr, nullptr);
        args.push_back(a);
    }
    LocalFree(wargv);
    std::vector<char *> argvList;
    for (std::string &a : args) argvList.push_back(&a[0]);
    char **argv = argvList.data();
    if (!Lexicore_Init("VelosuiteLookup", 0)) {
        fprintf(stderr, "diclookup: the engine does not start\n");
        return 2;
    }
    int status = 0;
    DicSession *session = Lexicore_CreateSession();
    DicQuery *query = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(64);
    UINT cp = 1252;
    WORD language = 0;
    bool open = false;
    for (int i = 1; i < argc; i++) {
        if (IsHex(argv[i]) && strlen(argv[i]) == 4) {
            if (open) Lexicore_CloseSession(session);
            DWORD id = strtoul(argv[i], nullptr, 16);
            DicInfo info;
            open = Lexicore_GetDicInfo(id, &info) && Lexicore_OpenSession(session, id << 8, FALSE);
            if (!open) {
                printf("== dictionary %04lx is not installed\n", (unsigned long)id);
                status = 1;
                continue;
            }
            cp = info.charset == 128 ? 932 : 1252;
            language = info.language;
            printf("== %s (%ld entries)\n", Convert(info.name, cp, CP_UTF8).c_str(),
                   (long)Lexicore_GetEntryCount(id << 8, 0));
            continue;
        }
        if (!open) continue;
        std::string key = Convert(argv[i], CP_UTF8, cp), form;
        LONG n = Lookup(session, query, list, key.c_str());
        if (n == 0)
            n = LookupForms(session, query, list, language, key, &form);
        printf("-- %s: %ld entr%s%s%s\n", argv[i], (long)n, n == 1 ? "y" : "ies", form.empty() ? "" : " as ",
               form.empty() ? "" : Convert(form, cp, CP_UTF8).c_str());
        for (LONG k = 0; k < n && k < 3; k++) {
            VLData data;
            memset(&data, 0, sizeof data);
            if (!Lexicore_ReadEntryTextEx(session, VLWordList_GetItem(list, k), &data)) continue;
            std::string text(data.data1 ? data.data1 : "", data.len1);
            for (char &c : text)
                if (c == '\r') c = '\n';
            if (text.size() > 600) text = text.substr(0, 600) + " ...";
            printf("%s\n", Convert(text, cp, CP_UTF8).c_str());
            VLMem_Free(data.data1);
            VLMem_Free(data.data2);
        }
    }
    if (open) Lexicore_CloseSession(session);
    VLWordList_Destroy(list);
    Lexicore_DestroyQuery(query);
    Lexicore_DestroySession(session);
    Lexicore_Term();
    return status;
}
