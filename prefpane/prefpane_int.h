// What the files of the option window share: the conversions between control states and stored
// values (logic.cpp, no windows), the page plumbing of the main sheet, the view-options group, the
// colour buttons and the small control helpers.
#ifndef PREFPANE_INT_H
#define PREFPANE_INT_H

#include <windows.h>
#include <commctrl.h>
#include <stddef.h>

#include "prefstore.h"

// ---- Conversions (logic.cpp) ------------------------------------------------------------------

// A field of a record: where it is and how long.  Records are compared and merged field by field.
struct PpField {
    unsigned short offset;
    unsigned short size;
};
#define PP_FIELD(Type, member) {(unsigned short)offsetof(Type, member), (unsigned short)sizeof(((Type *)0)->member)}

// The fields each page or dialog edits, in record order (ViewOptions fields included).
extern const PpField kStartupFields[];
extern const int kStartupFieldCount;
extern const PpField kCaptureFields[];
extern const int kCaptureFieldCount;
extern const PpField kHotkeyFields[];
extern const int kHotkeyFieldCount;
extern const PpField kCandidateFields[];
extern const int kCandidateFieldCount;
extern const PpField kControlBarFields[];
extern const int kControlBarFieldCount;
extern const PpField kPopupFields[];
extern const int kPopupFieldCount;
extern const PpField kSearchWindowFields[];   // WebList is compared on its own
extern const int kSearchWindowFieldCount;
extern const PpField kTranslationWindowFields[];
extern const int kTranslationWindowFieldCount;
extern const PpField kStudyWindowFields[];
extern const int kStudyWindowFieldCount;

// The number of fields whose bytes differ between a and b.
int Pp_CountChanges(const PpField *fields, int count, const void *a, const void *b);
// Copies into target every field that differs between baseline and edited (edited's value);
// the number copied.
int Pp_MergeChanges(const PpField *fields, int count, void *target, const void *baseline,
                    const void *edited);

// Font-size combo (strings 2007-2011): 5, 4, 3, 2 are items 0 to 3, any other value item 4, which
// reads back as 1.
int Pp_FontSizeToIndex(int fontSize);
int Pp_IndexToFontSize(int index);
// Layer combo (strings 2001-2006): layers 1 to 5 are items 0 to 4, any other value item 5, which
// reads back as 10.
int Pp_OpenLayerToIndex(int openLayer);
int Pp_IndexToOpenLayer(int index);

// The display-style list: string id and DispStyle bit of each of its thirteen items, in list order.
struct PpBitItem {
    int stringId;
    int bit;
};
extern const PpBitItem kDispStyleItems[13];

// The control bar's fourteen check boxes, bit 0x1 first.
extern const int kControlBarButtons[14];

// Hot keys: the stored word holds the registration flags (1 Alt, 2 Ctrl, 4 Shift) in its high byte,
// the hot-key control its own (1 Shift, 2 Ctrl, 4 Alt, 8 extended key).  Alt and Shift are swapped
// both ways; the control's extended-key flag and any stored flag the control cannot show are
// dropped.
WORD Pp_HotkeyToControl(WORD stored);
WORD Pp_HotkeyFromControl(WORD control);

// A number field with an upper limit: the value typed (C library's integer parse) above maximum
// becomes maximum, 0 or less an empty field.  Writes the text the field should show into out and
// answers 1 when it differs from text.
int Pp_ClampNumberText(const char *text, int maximum, char *out, int cap);

// Clears the context-help style bit (0x2000) of a dialog template in memory, plain or extended
// (the extended template's style is at byte offset 12).
void Pp_ClearContextHelp(void *dialogTemplate);

// A web link as the link dialog accepts it: 0 when fine, else the id of the message to show (no
// name: 2453; no address or no "%s" in it: 2454).
int Pp_CheckLink(const char *name, const char *address);
// The item to select after deleting item `deleted` of a list that held count items: the next one,
// or the one before when the last was deleted; -1 when the list is now empty.
int Pp_SelectionAfterDelete(int count, int deleted);

// ---- Shared state of the main sheet (sheet.cpp) ------------------------------------------------

// Marks that a page of the main sheet saved its record.
void Pp_SetChanged(void);
// The resource module (Uiassets.dll).
HINSTANCE Pp_Resources(void);

// ---- Pages of the main sheet (pageproc.cpp and page_*.cpp) ------------------------------------

struct PpPage;

// One kind of page: its template, title and help, and what it does with its record.
struct PpPageClass {
    int templateId;
    int titleId;
    DWORD helpTopic;
    int helpThroughMain;   // 1: VLM_SHOW_HELP to the resident program; 0: Sharedkit_ShowHelp
    int wizardButtons;     // PSWIZB_* flags when it serves as a wizard page, else 0
    size_t recordSize;     // 0: the page keeps an object of its own (loadObject, freeObject,
                           // hasChanges and apply below)
    const PpField *fields;
    int fieldCount;
    void (*load)(void *record);
    int (*save)(const void *record);
    void *(*loadObject)(void);
    void (*freeObject)(void *object);
    // Fills the controls from page->record.
    void (*fill)(HWND page, PpPage *state);
    // Reads the controls into record (which starts as a copy of the loaded record).
    void (*read)(HWND page, PpPage *state, void *record);
    // Any other message (commands, drawing, scrolling); TRUE when handled.
    INT_PTR (*message)(HWND page, PpPage *state, UINT msg, WPARAM wParam, LPARAM lParam);
    // Pages with recordSize 0: whether the controls differ from what they showed when filled, and
    // the apply (1 when something was saved).
    int (*hasChanges)(HWND page, PpPage *state);
    int (*apply)(HWND page, PpPage *state);
    // After a save (optional).
    void (*saved)(HWND page, PpPage *state);
    // Frees what the page keeps beside its record (optional).
    void (*release)(PpPage *state);
};

// The state of one page of the main sheet, made with its page and freed when the sheet goes.
struct PpPage {
    const PpPageClass *cls;
    void *record;     // the loaded record (local heap)
    void *baseline;   // what the controls read right after filling
    void *extra;      // the page's own (for example the restriction list)
    HWND window;
};

extern const PpPageClass kStartupPage;
extern const PpPageClass kCapturePage;
extern const PpPageClass kHotkeyPage;
extern const PpPageClass kPopupPage;
extern const PpPageClass kCandidatePage;
extern const PpPageClass kRestrictionPage;
extern const PpPageClass kControlBarPage;

// Makes a property page of the class over a record the caller loaded (owned by the page from then
// on; recordSize bytes, or the class's own object for recordSize 0).
bool Pp_MakePage(const PpPageClass *cls, void *record, PROPSHEETPAGEA *out);
// Frees the state of a page made by Pp_MakePage that never went into a sheet.
void Pp_ReleasePage(PROPSHEETPAGEA *page);
INT_PTR CALLBACK Pp_PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// The question on Cancel when a page of the sheet holds changes; TRUE to keep the sheet open.
BOOL Pp_QueryCancel(HWND page);
// Asks the pages of the sheet (PSM_QUERYSIBLINGS wParam 1) whether one holds changes.
BOOL Pp_SheetHasChanges(HWND page);

// Places a modeless or modal sheet so that it lies inside the work area of its monitor.
void Pp_KeepOnScreen(HWND window);

// ---- Control helpers (controls.cpp) -------------------------------------------------------------

// Registers the common control classes the templates use (hot keys, trackbars, spins, tabs).
void Pp_InitControls(void);

void Pp_SetCheck(HWND dlg, int id, int on);
// 1 checked, 0 not; -1 when the control does not exist.
int Pp_GetCheck(HWND dlg, int id);
void Pp_Enable(HWND dlg, int id, int on);
// Fills a combo box with resource strings first..first+count-1 (or the listed ids) and selects item.
void Pp_FillComboStrings(HWND dlg, int id, const int *stringIds, int count, int select);
int Pp_GetComboIndex(HWND dlg, int id);
// A number field: "%d" in the edit, its spin's range.
void Pp_SetNumber(HWND dlg, int editId, int spinId, int value, int low, int high);
// The C library's integer parse of the edit's text; fallback when the field does not exist.
int Pp_GetNumber(HWND dlg, int editId, int fallback);
// Owner-drawn list items are as high as a line of the dialog's font (WM_MEASUREITEM, which comes
// before WM_INITDIALOG); TRUE when handled.
BOOL Pp_MeasureItem(HWND dlg, MEASUREITEMSTRUCT *measure);
// Zero-fills the field of cap bytes and copies as much of text as fits with its terminator.
void Pp_CopyText(char *field, size_t cap, const char *text);
// Loads resource string id of the resource library into buf.
void Pp_LoadString(int id, char *buf, int cap);

// Owner-drawn colour buttons: the colour is kept in the button's user data.
void Pp_SetButtonColour(HWND dlg, int id, COLORREF colour);
COLORREF Pp_GetButtonColour(HWND dlg, int id);
// Draws the swatch of a colour button (WM_DRAWITEM); TRUE when the item is one.
BOOL Pp_DrawColourButton(const DRAWITEMSTRUCT *draw);
// Opens the colour chooser below the button, kept inside the screen; 1 when a colour was chosen
// (and stored in the button).
int Pp_PickButtonColour(HWND dlg, int id);

// ---- View options group (viewgroup.cpp) ---------------------------------------------------------

void Pp_ViewFill(HWND dlg, const ViewOptions *view);
void Pp_ViewRead(HWND dlg, ViewOptions *view);
// Enables the group's controls by the rules (also after a click on one of them).
void Pp_ViewEnable(HWND dlg);
// The group's commands and drawing; TRUE when handled.
BOOL Pp_ViewCommand(HWND dlg, int id, int code);

// ---- Web links of the search-window dialog (weblinks.cpp) --------------------------------------

// Fills the link combo with copies of the links (up to the first empty name) and selects current.
void Pp_LinksFill(HWND dlg, const WebLink *links, int current);
// Frees the combo's copies and empties it.
void Pp_LinksClear(HWND dlg);
// The links in combo order, ended by an empty entry (local heap, the caller frees it), and the
// selected item (0 when none); null when memory is short.
WebLink *Pp_LinksRead(HWND dlg, int *current);
// 1 when both lists hold the same names and addresses in the same order.
int Pp_LinksEqual(const WebLink *a, const WebLink *b);
// Add, edit and delete; TRUE when handled.
BOOL Pp_LinksCommand(HWND dlg, int id, int code);

#endif
