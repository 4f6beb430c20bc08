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
// The row height for a font of height lfHeight (either sign): the magnitude rounded up to an
// even number, 17 for anything below 18.
int DicList_RowHeight(LONG lfHeight);
// The language shown in the "other languages" column.
WORD DicList_OtherLanguage(DWORD fileId, WORD rowLanguage, const WORD *languages, int count);

#endif

// ---- The dictionary bar's buttons ----
#define DICBAR_FIRST_BUTTON 1124
#define DICBAR_BUTTONS      12
#define DICBAR_HELP         (-1)
#define DICBAR_ORDER        (-2)
#define DICBAR_WEB          (-3)
// The item number (1 to 46) a button stands for under the modifier state (0 none, 1 Shift,
// 2 Ctrl, 3 both), or one of the fixed actions above; 0 for an id that is not a bar button.
int DicBar_ItemOfButton(int buttonId, int modifiers, bool webButton);
// The item number of a bar command (3001 to 3046; 3010 the web lookup), 0 for another id.
int DicBar_ItemOfCommand(int command);
