// Pronunciation hand-off and the manager's word store.
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <string.h>
#include <set>
#include <string>
#include <utility>
#include "lexidata.h"
#include "linguakeeper_int.h"

namespace {

// Headwords handed over for pronunciation, per language (this process).
std::set<std::pair<WORD, std::string>> g_words;

// Language and headword of a data item (type 1); false for anything else.
bool ItemWord(const void *record, WORD *language, std::string *word) {
    const VLDataItem *item = (const VLDataItem *)record;
    if (!item || item->head.type != VLITEM_DATA || item->head.size < sizeof(VLDataItem))
        return false;
    *language = item->language;
    LONG len = item->headwordLen;
    if (!item->headword || len <= 0 || len > 0x10000)
        return false;
    word->assign(item->headword, len);
    return true;
}

}  // namespace

std::vector<std::string> Lk_HandedOverWords(WORD language) {
    std::vector<std::string> words;
    Lk_Lock();
    for (const auto &w : g_words)
        if (w.first == language)
            words.push_back(w.second);
    Lk_Unlock();
    return words;
}

extern "C" int WINAPI Linguakeeper_PlaySound(const void *data, DWORD size) {
    const BYTE *p = (const BYTE *)data;
    if (!p || size < 44 || memcmp(p, "RIFF", 4) != 0 || memcmp(p + 8, "WAVE", 4) != 0)
        return 0;
    DWORD riff;
    memcpy(&riff, p + 4, 4);
    if (riff > size - 8)  // a header that claims more than was handed over
        return 0;
    // The sound library is loaded at the first sound: it brings COM and the audio stack with it,
    // which a program that only looks words up does not need.
    HMODULE winmm = GetModuleHandleA("winmm.dll");
    if (!winmm) winmm = LoadLibraryA("winmm.dll");
    auto play = winmm ? (decltype(&PlaySoundA))GetProcAddress(winmm, "PlaySoundA") : nullptr;
    return play && play((LPCSTR)p, nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT) ? 1 : 0;
}

extern "C" int WINAPI Linguakeeper_AddEntry(const void *item, int, DWORD, const void *) {
    WORD language;
    std::string word;
    if (!ItemWord(item, &language, &word))
        return 0;
    Lk_Lock();
    g_words.insert({language, word});
    Lk_Unlock();
    Lk_ManagerWordsChanged();
    return 1;
}

extern "C" int WINAPI Linguakeeper_HasItem(const void *item) {
    WORD language;
    std::string word;
    if (!ItemWord(item, &language, &word))
        return 0;
    Lk_Lock();
    int held = g_words.count({language, word}) != 0;
    Lk_Unlock();
    return held;
}
