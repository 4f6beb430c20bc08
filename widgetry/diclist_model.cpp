// The dictionary list's rules that need no window.
#include "diclist_model.h"

#include <stdio.h>

DWORD DicList_FilterOfKind(DWORD kind)
{
    static const DWORD kFilters[] = {7, 9, 1, 6, 4, 38, 17, 70, 3, 11};
    return kind < sizeof kFilters / sizeof kFilters[0] ? kFilters[kind] : 7;
}

bool DicList_HotKeyLabel(int position, char *out, int cap)
{
    static const struct {
        int last, base;
        const char *format;
    } kRanges[] = {
        {10, -1, "F%d"}, {22, 10, "Shift + F%d"}, {34, 22, "Ctrl + F%d"}, {46, 34, "Shift + Ctrl + F%d"},
    };
    if (cap > 0) out[0] = 0;
    if (position < 1) return false;
    for (const auto &r : kRanges)
        if (position <= r.last) {
            snprintf(out, cap, r.format, position - r.base);
            return true;
        }
    return false;
}

void DicList_ToggleSlot(int *numbers, int count, int row)
{
    if (row < 0 || row >= count) return;
    int held = numbers[row];
    if (held) {
        for (int i = 0; i < count; i++)
            if (i != row && numbers[i] > held) numbers[i]--;
        numbers[row] = 0;
        return;
    }
    for (int slot = 1; slot <= 5; slot++) {
        bool taken = false;
        for (int i = 0; i < count; i++)
            if (numbers[i] == slot) taken = true;
        if (!taken) {
            numbers[row] = slot;
            return;
        }
    }
    for (int i = 0; i < count; i++)
        if (numbers[i] == 5) numbers[i] = 0;
    numbers[row] = 5;
}

void DicList_GiveSlot(int *numbers, int count, int row, int slot)
{
    if (row < 0 || row >= count) return;
    for (int i = 0; i < count; i++)
        if (i != row && numbers[i] == slot) {
            numbers[i] = 0;
            break;
        }
    numbers[row] = slot;
}

int DicList_IconIndex(bool group, bool numbered, DWORD flags, DWORD kind, DWORD fileId)
{
    if (group) return numbered ? 63 : 62;
    if (kind == 3) flags |= 0x20;
    bool book = fileId >= 0xD000 && fileId <= 0xDFFF;
    if (book && (kind == 0 || kind >= 4)) flags |= 0x40;
    static const struct {
        DWORD flag;
        int addend;
    } kAddends[] = {{0x01, 2}, {0x04, 4}, {0x20, 8}, {0x40, 10}, {0x10, 12}, {0x08, 24}};
    int base = 14 + (numbered ? 1 : 0);
    int index = base;
    for (const auto &a : kAddends)
        if (flags & a.flag) index += a.addend;
    return index <= 61 ? index : base;
}

int DicList_RowHeight(LONG lfHeight)
{
    LONG h = lfHeight < 0 ? -lfHeight : lfHeight;
    h += h & 1;
    return h < 18 ? 17 : static_cast<int>(h);
}

WORD DicList_OtherLanguage(DWORD fileId, WORD rowLanguage, const WORD *languages, int count)
{
    if (count == 1) return languages[0];
    if (fileId == 4113 || fileId == 4115 || fileId == 4236) return rowLanguage;
    for (int i = 0; i < count; i++)
        if (languages[i] && languages[i] != rowLanguage) return languages[i];
    return 0xFFFF;
}

int DicBar_ItemOfButton(int buttonId, int modifiers, bool webButton)
{
    if (buttonId < DICBAR_FIRST_BUTTON || buttonId >= DICBAR_FIRST_BUTTON + DICBAR_BUTTONS) return 0;
    if (modifiers == 0) {
        if (buttonId == 1124) return DICBAR_HELP;
        if (buttonId == 1134 && webButton) return DICBAR_WEB;
        if (buttonId == 1135) return DICBAR_ORDER;
    }
    static const int kBase[4] = {1124, 1113, 1101, 1089};
    int item = buttonId - kBase[modifiers & 3];
    if (webButton && item > 10) item--;
    return item;
}

int DicBar_ItemOfCommand(int command)
{
    if (command == 3010) return DICBAR_WEB;
    if (command >= 3001 && command <= 3046) return command - 3000;
    return 0;
}
