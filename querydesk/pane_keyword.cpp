// The keyword pane's history of eleven searches: added after a search with results, walked back
// and forward by steps (every move checked against the entries really held), listed in the
// tool bar's drop-down menus.  The oldest entry is dropped when a twelfth search comes.
#include <windows.h>

#include "uiassets.h"
#include "querydesk_int.h"

void KeywordHistory_Add(KeywordHistory *h, DWORD id, DWORD flags, const char *text)
{
    if (h->count == KEYWORD_HISTORY_SIZE) {
        h->full = true;
        for (int i = 1; i < KEYWORD_HISTORY_SIZE; i++) h->entries[i - 1] = h->entries[i];
        h->count = KEYWORD_HISTORY_SIZE - 1;
    }
    KeywordHistoryEntry &e = h->entries[h->count];
    e.id = id;
    e.flags = flags;
    e.text = text ? text : "";
    h->count++;
    h->position = h->count;
}

bool KeywordHistory_Can(const KeywordHistory *h, int forward)
{
    if (!forward) return h->position > 0 && h->position <= h->count;
    return h->position + 1 < h->count && h->position < KEYWORD_HISTORY_SIZE - 1;
}

const KeywordHistoryEntry *KeywordHistory_Go(KeywordHistory *h, int steps)
{
    int target = h->position + steps;
    if (steps == 0 || target < 0 || target >= h->count) return nullptr;
    h->position = target;
    return &h->entries[target];
}

HMENU KeywordHistory_Menu(const KeywordHistory *h, int forward)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    if (!forward) {
        int first = h->position - 5 < 0 ? 0 : h->position - 5;
        for (int i = h->position - 1, k = 0; i >= first && i < h->count; i--, k++)
            AppendMenuA(menu, MF_STRING, UIA_CMD_BACK + k, h->entries[i].text.c_str());
    } else {
        int last = h->position + 5 < h->count - 1 ? h->position + 5 : h->count - 1;
        for (int i = h->position + 1, k = 0; i <= last; i++, k++)
            AppendMenuA(menu, MF_STRING, UIA_CMD_FORWARD + k, h->entries[i].text.c_str());
    }
    return menu;
}
