// The translator's driver-dictionary entry points: it describes itself to the engine and answers
// each query with one item holding the translation of the query's text.
#include <stdio.h>
#include <string.h>
#include "ddtranslate.h"
#include "ddtranslate_int.h"
#include "lexidata.h"

namespace {

HMODULE g_module;
INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
DdtTable g_table;
bool g_tableRead;

const UINT kJapaneseCodePage = 932;

// Wide text in the Japanese code page; false when a character has no form there.
bool ToJapaneseCodePage(const std::wstring &w, std::string *out) {
    out->clear();
    if (w.empty())
        return true;
    BOOL lost = FALSE;
    int n = WideCharToMultiByte(kJapaneseCodePage, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, &lost);
    if (n <= 0 || lost)
        return false;
    out->resize(n);
    WideCharToMultiByte(kJapaneseCodePage, 0, w.data(), (int)w.size(), &(*out)[0], n, nullptr, nullptr);
    return true;
}

std::wstring FromUtf8(const std::string &s) {
    std::wstring w;
    int n = s.empty() ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), (int)s.size(), nullptr, 0);
    if (n <= 0)
        return w;
    w.resize(n);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), (int)s.size(), &w[0], n);
    return w;
}

// The word table's text in the Japanese code page.  A kana line of hiragana is followed by the same
// line in katakana; a line that does not convert is left out.
std::string TableInJapaneseCodePage(const char *utf8, size_t size) {
    std::string text, line;
    bool kana = false;
    size_t i = 0;
    while (i < size) {
        const char *nl = (const char *)memchr(utf8 + i, '\n', size - i);
        size_t end = nl ? (size_t)(nl - utf8) : size;
        line.assign(utf8 + i, end - i);
        i = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[')
            kana = line == "[kana]";
        std::wstring w = FromUtf8(line);
        std::string converted;
        if (!line.empty() && w.empty())
            continue;
        if (!ToJapaneseCodePage(w, &converted))
            continue;
        text += converted + "\n";
        size_t tab = w.find(L'\t');
        if (kana && tab != std::wstring::npos && tab > 0 && w[0] >= 0x3041 && w[0] <= 0x3096) {
            for (size_t k = 0; k < tab; k++)
                if (w[k] >= 0x3041 && w[k] <= 0x3096)
                    w[k] = (wchar_t)(w[k] + 0x60);  // the katakana of the same sound
            if (ToJapaneseCodePage(w, &converted))
                text += converted + "\n";
        }
    }
    return text;
}

BOOL CALLBACK ReadTable(PINIT_ONCE, PVOID, PVOID *) {
    HRSRC res = FindResourceA(g_module, MAKEINTRESOURCEA(1), (LPCSTR)RT_RCDATA);
    HGLOBAL data = res ? LoadResource(g_module, res) : nullptr;
    const char *bytes = data ? (const char *)LockResource(data) : nullptr;
    DWORD size = res ? SizeofResource(g_module, res) : 0;
    if (bytes && size)
        g_tableRead = Ddt_ReadTable(TableInJapaneseCodePage(bytes, size), &g_table);
    if (!g_tableRead)
        OutputDebugStringA("ddtranslate: the word table cannot be read\n");
    return TRUE;
}

const DdtTable *Table() {
    InitOnceExecuteOnce(&g_once, ReadTable, nullptr, nullptr);
    return g_tableRead ? &g_table : nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" BOOL WINAPI DDGetInfo(const char *libraryPath, void *fileRecord, void *subRecord) {
    if (!libraryPath || !fileRecord || !subRecord || !Table())
        return FALSE;
    const char kName[] = "Velomira Translator (English-Japanese)";
    DicInfo *file = (DicInfo *)fileRecord;
    DicProperty *sub = (DicProperty *)subRecord;
    file->language = 0x0100;
    file->languageCount = 2;
    file->languages[0] = 0x0100;
    file->languages[1] = 0x0400;
    file->charset = 128;
    snprintf(file->name, sizeof file->name, "%s", kName);
    sub->language = 0x0400;
    sub->charset = 128;
    sub->indexKind = 8;
    snprintf(sub->name, sizeof sub->name, "%s", kName);
    snprintf(sub->nickname, sizeof sub->nickname, "EJ");
    return TRUE;
}

extern "C" int WINAPI DDOpen(void *) { return Table() != nullptr; }

extern "C" void WINAPI DDClose(void) {}

extern "C" int WINAPI DDTranslate(void *fileRecord, const char *key, DDTranslateItemProc proc, void *query) {
    const DdtTable *table = Table();
    if (!key || !*key || !proc || !table)
        return 0;
    std::string text = key;
    bool japanese = Ddt_IsJapanese(text);
    std::string result = japanese ? Ddt_JapaneseToEnglish(*table, text) : Ddt_EnglishToJapanese(*table, text);
    if (result.find_first_not_of(" \t\r\n") == std::string::npos)
        return 0;
    const DicInfo *file = (const DicInfo *)fileRecord;
    VLDataItem head;
    memset(&head, 0, sizeof head);
    head.head.type = VLITEM_DATA;
    head.head.fileId = file ? file->fileId : 0;
    head.head.entryNo = 0;
    head.language = japanese ? 0x0100 : 0x0400;
    head.charset = japanese ? 0 : 128;
    VLDataItem *item = VLDataItem_Create(&head, result.c_str(), key, nullptr, nullptr);
    if (!item)
        return 0;
    int answer = proc(item, 1, query);
    VLDataItem_Destroy(item);
    return answer == 1;
}

extern "C" int WINAPI DDGetData(void *, const void *, void *) { return 0; }
