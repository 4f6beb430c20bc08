// What the files of the shared controls library share: the module instance, the class
// registrations run at load, the data list's state record and its row model, and the rich-edit
// field's context-menu rule.
#ifndef WIDGETRY_INT_H
#define WIDGETRY_INT_H

#include <windows.h>
#include <commctrl.h>

#include <stdint.h>
#include <vector>

#include "basekit.h"
#include "lexidata.h"
#include "prefstore.h"

// ---- Module --------------------------------------------------------------------------------

extern HINSTANCE g_widgetryInstance;

// Registration of the data list's window class at load, and its removal at unload.
BOOL DataList_RegisterClass(HINSTANCE instance);
void DataList_UnregisterClass(HINSTANCE instance);
// The dictionary list (diclist.cpp) and the order dialog's class needs.
bool DicList_RegisterClass(HINSTANCE instance);
void DicList_UnregisterClass(HINSTANCE instance);
bool DicBar_RegisterClass(HINSTANCE instance);
void DicBar_UnregisterClass(HINSTANCE instance);

// ---- Data list: row model (no window or GDI calls; datalist_rows.cpp) -----------------------

enum RowKind { ROW_PLAIN = 0, ROW_OPEN = 1, ROW_FOLDED = 2, ROW_SUB = 3 };

// One row of the row array: its kind and the position of its item in the word list.
struct DataRow {
    int kind;
    int item;
};

// What navigation needs to know of one shown row: its kind and its dictionary.
struct RowSight {
    int kind;
    uint64_t dictionary;   // file id in the high half, sub-dictionary number in the low half
};

// 1 when sub is a sub-entry of main: the same dictionary, a non-zero distance back, and that
// distance leads from sub's entry number to main's.
bool Rows_IsSubEntry(const VLDataItem *sub, const VLDataItem *main);
// The row array of the word list: every item a plain row when flat; otherwise a main entry
// (folded or open) followed by its sub-entries, and plain rows for the rest.
void Rows_Build(const VLWordList *list, bool flat, bool folded, std::vector<DataRow> *rows);
// Whether the row has a list-view row: every row but the sub-entries of a folded main entry.
// rows[index] must exist.
bool Rows_IsShown(const std::vector<DataRow> &rows, int index);
uint64_t Rows_DictionaryOf(const VLDataItem *item);
// VLDLF_* of shown row `row` among `count` shown rows.
DWORD Rows_NavFlags(const RowSight *rows, int count, int row);
// The shown row that move VLDL_MOVE_* from `row` reaches, or -1.
int Rows_MoveTarget(const RowSight *rows, int count, int row, int move);

// ---- Data list: window state -----------------------------------------------------------------

enum ColumnKind { COLUMN_HEADWORD, COLUMN_DICTIONARY, COLUMN_DATE };

struct DataList {
    VLWordList *list;              // owned; its notify window is the data list
    std::vector<DataRow> rows;     // rebuilt at every refresh; list-view rows carry their index
    CandidateListOptions options;
    HWND window, view;
    DWORD style;                   // the list's own style bits (low 16 bits of the window style)
    bool popup;                    // the drop-down form (WS_POPUP)
    HICON foldedIcon, openIcon;
    HBRUSH background;
    COLORREF backgroundColour;
    DibHandle *dot;                // the tree lines' dot
    COLORREF dotColour;            // the dot's ink
    HFONT font;                    // the list view's font (the default GUI font, not owned)
    int rowHeight;
    int columnCount;
    ColumnKind columns[3];         // kind of list-view column 0, 1, 2
    int naturalWidth[3];           // per list-view column, measured at every refresh
    int lockCount;
    int rowLimit;
    int sortDirection[3];          // +1 ascending, -1 descending, 0 unset; per list-view column
    bool notify;                   // the choose notice (VLDLM_SETNOTIFY)
    bool clickNoChoose;            // VLDLM_SETCLICKNOCHOOSE
    bool inMenuLoop;               // a drop-down list told its parent WM_ENTERMENULOOP
};

// datalist.cpp
DataList *DataList_Of(HWND window);
LRESULT DataList_Refresh(DataList *dl);
int DataList_ShownCount(const DataList *dl);
// The row-array index behind a shown row, or -1 for a row that does not exist.
int DataList_RowIndex(const DataList *dl, int row);
// The word-list position of a shown row's item, or -1.
int DataList_ItemOfRow(const DataList *dl, int row);
VLDataItem *DataList_ItemAt(const DataList *dl, int row);
// The shown row that shows item `item`, or the row of its folded main entry; -1 when none.
int DataList_RowOfItem(const DataList *dl, int item);
// The row named by a message: `row` itself, or the first selected row for -1.
int DataList_ArgumentRow(const DataList *dl, WPARAM row);
std::vector<RowSight> DataList_Sights(const DataList *dl);
DWORD DataList_NavFlags(const DataList *dl, int row);
void DataList_SelectAlone(DataList *dl, int row);
// Sends the choose notice for a shown row (with its checks: notice on, items, Shift).
void DataList_Choose(DataList *dl, int row, int how);
// Opens a folded group or folds an open one at a shown row; false for other rows.
bool DataList_ToggleGroup(DataList *dl, int row);
// Takes the natural size (row limit above 0); tells the parent VLDLN_SIZE when asked.
void DataList_FitNatural(DataList *dl, bool notifyParent);
void DataList_MeasureColumns(DataList *dl);
void DataList_Lock(DataList *dl, bool lock);
// The drop-down form closes: WM_EXITMENULOOP(chosen, 0) once per opening, then hidden.
void DataList_CloseDropDown(DataList *dl, bool chosen);
std::vector<int> DataList_SelectedRows(const DataList *dl);
// A dictionary's name and colour from the catalogue; an empty name when it is not there.
void DataList_DictionaryName(const VLDataItem *item, char *name, int size, COLORREF *colour);
bool DataList_IsDriverDictionary(const VLDataItem *item);
// The item's time stamp as the user's short date and the time without seconds.
void DataList_DateText(const VLDataItem *item, char *out, int size);

// datalist_input.cpp: the subclassed list view and header.
void DataList_SubclassView(DataList *dl);
void DataList_SortByColumn(DataList *dl, int column);
LRESULT DataList_OnNotify(DataList *dl, NMHDR *header);

// datalist_draw.cpp
void DataList_DrawRow(DataList *dl, const DRAWITEMSTRUCT *draw);

// datalist_clip.cpp: deleting, the clipboard, the study list, printing.
int DataList_Delete(DataList *dl, WPARAM row);
LRESULT DataList_CutCopy(DataList *dl, bool cut);
LRESULT DataList_Paste(DataList *dl);
int DataList_AddToStudyList(DataList *dl);
LRESULT DataList_Print(DataList *dl);

// ---- Rich-edit field -----------------------------------------------------------------------

// Which commands of the context menu are enabled.
struct FieldMenuState {
    bool cut, copy, paste, selectAll;
};

// Copy needs a selection; cut a selection in a writable field; paste a writable field; select
// all a selection that is not already the whole text.
inline FieldMenuState Field_MenuState(bool hasSelection, bool readOnly, bool selectionIsAll)
{
    FieldMenuState s;
    s.copy = hasSelection;
    s.cut = hasSelection && !readOnly;
    s.paste = !readOnly;
    s.selectAll = !selectionIsAll;
    return s;
}

#endif
