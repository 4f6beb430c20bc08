// The dictionary menu: a menu of radio items over the pop-up priority list, for the resident
// program and the pop-up window.  The callers already show the first entries as buttons, so the
// menu passes over that many entries of the list and lists the rest.
#include "widgetry.h"
#include "lexshelf.h"
#include "uiassets.h"

namespace {

struct MenuFill {
    HMENU menu;
    DWORD currentId;
    int skip;     // entries of the list still to pass over
    int inserted; // items of the menu so far (the extra item and its separator included)
};

void InsertRadioItem(MenuFill *fill, const char *text, DWORD id)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_DATA;
    info.fType = MFT_RADIOCHECK;
    info.fState = id == fill->currentId ? MFS_CHECKED : MFS_UNCHECKED;
    info.wID = WIDGETRY_DICMENU_FIRST + fill->inserted;
    info.dwItemData = id;
    info.dwTypeData = const_cast<char *>(text);
    if (InsertMenuItemA(fill->menu, fill->inserted, TRUE, &info)) fill->inserted++;
}

int CALLBACK AddEntry(VLPriorityItem *item, LPARAM user)
{
    MenuFill *fill = reinterpret_cast<MenuFill *>(user);
    if (fill->skip > 0) {
        fill->skip--;
        return 1;
    }
    InsertRadioItem(fill, item->name ? item->name : "", item->id);
    return 1;
}

} // namespace

extern "C" int WINAPI Widgetry_FillDicMenu(HMENU menu, DWORD currentId, BOOL extraItem, int skip,
                                           DWORD flags, LPARAM value)
{
    if (!IsMenu(menu)) return 0;
    while (GetMenuItemCount(menu) > 0)
        if (!DeleteMenu(menu, 0, MF_BYPOSITION)) break;

    MenuFill fill = {menu, currentId, skip > 0 ? skip : 0, 0};
    if (extraItem) {
        char text[256] = "";
        Uiassets_LoadString(UIA_IDS_DEFAULT_DIC, text, sizeof text);
        InsertRadioItem(&fill, text, 0);
        if (InsertMenuA(menu, fill.inserted, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr)) fill.inserted++;
    }
    Lexshelf_PrioEnum(reinterpret_cast<VLPriorityList *>(LEXSHELF_LIST_POPUP), flags, value, AddEntry,
                      reinterpret_cast<LPARAM>(&fill));
    return fill.inserted;
}
