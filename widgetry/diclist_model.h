// The dictionary list's rules that need no window: the filter of a source kind, hot-key labels,
// the slot moves, the icon of a row and the language shown as "other".
#ifndef WIDGETRY_DICLIST_MODEL_H
#define WIDGETRY_DICLIST_MODEL_H

#include <windows.h>

#define DICLIST_ROW_DIC   4096
#define DICLIST_ROW_GROUP 4097

// The filter flags of the priority-list walk for a source kind (kind 5 walks a group).
DWORD DicList_FilterOfKind(DWORD kind);
// The hot-key label of the row at position (1-based) in numbering mode 2: "F2".."F11", then the
// Shift, Ctrl and Shift + Ctrl rows; false (and an empty text) after row 46.
bool DicList_HotKeyLabel(int position, char *out, int cap);
// Slots 1 to 5 over count rows (numbers[i] the slot of row i, 0 none).  A double click on row:
// a held slot is given up and the higher ones move down; a free row takes the lowest free slot,
// or slot 5 from its holder when all are taken.
void DicList_ToggleSlot(int *numbers, int count, int row);
// Gives slot k to row and takes it from the first other row that held it (no shift).
void DicList_GiveSlot(int *numbers, int count, int row, int slot);
// The icon index of a row (see the image order of the list); flags are the dictionary's
// information flags, kind its index kind, fileId its file id.  Sums past the last image fall
// back to the plain image of the row.
int DicList_IconIndex(bool group, bool numbered, DWORD flags, DWORD kind, DWORD fileId);
// The language shown in the "other languages" column.
WORD DicList_OtherLanguage(DWORD fileId, WORD rowLanguage, const WORD *languages, int count);

#endif
