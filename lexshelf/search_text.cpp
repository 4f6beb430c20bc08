// The text of a search and the live facts of the choice: the text in UTF-16 (from a charset or
// from escape-tagged text), the text in each code page asked for, one key per language through the
// language manager, and the catalogue, group table, translation set and language records that the
// choice of dictionaries (search_choice.cpp) looks at.
#include <string.h>
#include "lexshelf_int.h"
#include "search_int.h"
#include "lexicore.h"
#include "linguakeeper.h"
#include "strandkit.h"

namespace {

UINT CodePageOf(int charset) {
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    default: return Strandkit_CharsetToCodePage((UINT)charset);
    }
}

// Appends a run in its charset; the text stops at SHELF_TEXT_CHARS characters.  Double-byte
// characters show as fewer UTF-16 characters than bytes.
bool AppendRun(ShelfPrepared *p, int charset, const char *text, int len) {
    if (len <= 0 || p->wide.size() >= SHELF_TEXT_CHARS)
        return true;
    UINT cp = CodePageOf(charset);
    int n = MultiByteToWideChar(cp, 0, text, len, nullptr, 0);
    if (n <= 0)
        return false;
    size_t at = p->wide.size();
    p->wide.resize(at + n);
    MultiByteToWideChar(cp, 0, text, len, &p->wide[at], n);
    if (n != len)
        p->multiByte = true;
    if (p->wide.size() > SHELF_TEXT_CHARS) {
        p->wide.resize(SHELF_TEXT_CHARS);
        if (IS_HIGH_SURROGATE(p->wide.back()))
            p->wide.pop_back();
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Escape-tagged text: each ESC 'F' hh switches the charset of the run after it; text before the
// first tag is in the charset of the user interface.
bool PrepareTagged(const char *text, int len, ShelfPrepared *p) {
    int charset = (int)Strandkit_CodePageToCharset(GetACP());
    bool seen = false, mixed = false;
    int lastRunCharset = charset, start = 0;
    for (int i = 0; i <= len; i++) {
        bool tag = i + 3 < len && text[i] == 0x1B && text[i + 1] == 'F' && HexDigit(text[i + 2]) >= 0 &&
                   HexDigit(text[i + 3]) >= 0;
        if (i < len && !tag)
            continue;
        if (i > start) {
            if (!AppendRun(p, charset, text + start, i - start))
                return false;
            if (seen && lastRunCharset != charset)
                mixed = true;
            seen = true;
            lastRunCharset = charset;
        }
        if (tag) {
            charset = HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]);
            i += 3;
            start = i + 1;
        }
    }
    p->charset = mixed ? 255 : lastRunCharset;
    return true;
}

bool PrepareIn(const char *text, int len, int charset, ShelfPrepared *p) {
    p->charset = charset;
    return AppendRun(p, charset, text, len);
}

bool LiveDic(void *, DWORD dicId, ShelfDicFacts *facts) {
    DicProperty p = {};
    p.size = sizeof p;
    DicInfo info = {};
    info.size = sizeof info;
    if (!Lexicore_GetDicProperty(dicId, &p) || !Lexicore_GetDicInfo(dicId >> 8, &info))
        return false;
    facts->language = p.language;
    facts->charset = p.charset;
    facts->charsetNext = p.langValue1;
    facts->catalogueKind = info.kind;
    return true;
}

bool LiveGroup(void *, DWORD groupId, std::vector<DWORD> *dics) {
    VLDicGroup *g = Lexshelf_FindGroup(groupId);
    if (!g)
        return false;
    dics->assign(g->dictionaries, g->dictionaries + g->count);
    return true;
}

bool LiveTransSet(void *, DWORD first, DWORD second, DWORD slot, DWORD *id) {
    VLTransSetEntry e;
    if (!Shelf().current || !Lexshelf_TransSetFind(Shelf().current, first, second, slot, &e))
        return false;
    *id = e.dictionaryId;
    return true;
}

bool LiveLanguage(void *, DWORD language, ShelfLangFacts *facts) {
    LinguakeeperLangRecord r;
    memset(&r, 0, sizeof r);
    r.size = sizeof r;
    if (!Linguakeeper_GetLangInfo(language, &r))
        return false;
    facts->charset = (BYTE)r.charset;
    for (int i = 0; i < 5; i++)
        facts->entries[i] = {r.search[i].word[0], r.search[i].word[1], r.search[i].word[2]};
    return true;
}

bool LiveKey(void *context, WORD language, BYTE charset) {
    ShelfLive *live = (ShelfLive *)context;
    auto it = live->keys.find(language);
    if (it != live->keys.end())
        return !it->second.empty();
    const std::string &mb = live->InCodePage(CodePageOf(charset));
    std::string key;
    if (!mb.empty()) {
        std::vector<char> out(2 * mb.size() + 1, 0);
        if (Linguakeeper_ConvertKey(language, 0x84, mb.c_str(), out.data()))
            key = out.data();
    }
    live->source[language] = mb;
    live->keys[language] = key;
    return !key.empty();
}

bool Prepare(const char *text, int len, int charset, ShelfPrepared *p) {
    if (charset == -1)
        return PrepareTagged(text, len, p);
    if (charset > 255) {
        ShelfLangFacts facts;
        if (!LiveLanguage(nullptr, (DWORD)charset, &facts))
            return false;
        charset = facts.charset;
    }
    return PrepareIn(text, len, charset, p);
}

}  // namespace

const std::string &ShelfLive::InCodePage(UINT cp) {
    auto it = byCodePage.find(cp);
    if (it != byCodePage.end())
        return it->second;
    std::string out;
    const std::wstring &w = text->wide;
    DWORD flags = (cp == 932 || cp == 949 || cp == 936 || cp == 950 || cp == 1252) ? WC_NO_BEST_FIT_CHARS : 0;
    int n = w.empty() ? 0 : WideCharToMultiByte(cp, flags, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    if (n > 0) {
        out.resize(n);
        WideCharToMultiByte(cp, flags, w.data(), (int)w.size(), &out[0], n, nullptr, nullptr);
    }
    return byCodePage[cp] = out;
}

bool Shelf_BeginSearch(const char *text, int len, int charset, DWORD dicId, DWORD mode, DWORD flags, DWORD kind,
                       VLWordList *list, ShelfPrepared *prepared, ShelfLive *live, ShelfPlan *plan) {
    if (!text || !list)
        return false;
    if (len < 0)
        len = (int)strlen(text);
    if (len == 0 || !*text)
        return false;
    VLWordList_DeleteAllItems(list);
    if (!Prepare(text, len, charset, prepared) || prepared->wide.empty())
        return false;
    live->text = prepared;
    ShelfWorld world = {live, LiveDic, LiveGroup, LiveTransSet, LiveLanguage, LiveKey};
    // Escape-tagged text looks up the translation set under the charset its runs are in.
    int second = charset == -1 ? prepared->charset : charset;
    ShelfChoice choice = {kind, second, dicId, mode, flags, prepared->multiByte, prepared->charset};
    return Shelf_ChoosePlan(choice, world, plan);
}

void Shelf_NotifyList(VLWordList *list, UINT message, WPARAM wParam) {
    if (list && list->window && IsWindow(list->window))
        SendMessageA(list->window, message, wParam, 0);
}

// The key of a language in the engine's own form (mode 4), from the text in its code page.
std::string Shelf_PlainKey(ShelfLive &live, WORD language) {
    const std::string &mb = live.source[language];
    if (mb.empty())
        return std::string();
    std::vector<char> out(2 * mb.size() + 1, 0);
    return Linguakeeper_ConvertKey(language, 4, mb.c_str(), out.data()) ? std::string(out.data()) : std::string();
}

