// The class-rule table and the control kinds, both decided by the class name of a window.
#include <string.h>
#include "hostlink_int.h"

namespace {

const char *const kNeverCapture[] = {
    "AfxControlBar", "MDIClient", "AfxControlBar40", "TrayClockWClass", "TrayNotifyWnd",
    "ClsCapWin", "Afx:8", "pbPaint", "AfxFrameOrView40", "VELOVIEW",
};

const char *const kSpecialCapture[] = {
    "EDIT", "ttyGrab", "BUTTON", "Internet Explorer_Server", "DanaEditWindowClass", "Vim",
    "HM32CLIENT", "HIDETERMCLASS", "OpusWwd", "_WwG", "JsTileSheet", "AfxWnd40", "RICHEDIT",
    "RichEdit20A", "RichEdit20W", "RichEdit50A", "RichEdit50W", "aiViewer", "HighEdit", "MLEDIT",
    "AfxWnd42", "VISIOG", "EXCEL6", "SysListView32", "EXCEL7", "FRAMES2", "DirectUIHWND",
    "KETEdit10A", "RichTextWndClass", "FrontPageEditorDocumentView", "VTWin32", "paneClassDC",
    "AfxFrameOrView42s", "OneNote::CJotSurfaceWnd", "TRichView",
};

static_assert(sizeof(kNeverCapture) / sizeof(kNeverCapture[0]) +
              sizeof(kSpecialCapture) / sizeof(kSpecialCapture[0]) == 45, "45 starting rows");

struct KindRow {
    uint32_t kind;
    const char *name;
};

// Control kinds by class, first match wins; the hit-test answers come between the menu classes
// and the caption class.
const KindRow kKindsBeforeHitTest[] = {
    {CAPTURE_KIND_BUTTON, "BUTTON"}, {CAPTURE_KIND_BUTTON, "SysTabControl32"},
    {CAPTURE_KIND_BUTTON, "SysHeader32"},
    {CAPTURE_KIND_LIST, "LISTBOX"}, {CAPTURE_KIND_LIST, "SysListView32"},
    {CAPTURE_KIND_LIST, "SysTreeView32"}, {CAPTURE_KIND_LIST, "OfficeDropDown"},
    {CAPTURE_KIND_LIST, "ComboLBox"},
    {CAPTURE_KIND_DIALOG, "#32770"},
    {CAPTURE_KIND_MENU, "MENU"}, {CAPTURE_KIND_MENU, "#32768"},
    {CAPTURE_KIND_MENU, "ToolBarWindow32"}, {CAPTURE_KIND_MENU, "MsoCommandBar"},
    {CAPTURE_KIND_MENU, "MsoCommandBarPopup"},
};

void AddRow(int kind, const char *name) {
    ClassRule &row = g_hostlink.rules[g_hostlink.ruleCount++];
    row.kind = kind;
    lstrcpynA(row.name, name, HOSTLINK_RULE_NAME);
}

}  // namespace

void Hostlink_RulesReset(void) {
    memset(g_hostlink.rules, 0, sizeof(g_hostlink.rules));
    g_hostlink.ruleCount = 0;
    for (const char *name : kNeverCapture) AddRow(2, name);
    for (const char *name : kSpecialCapture) AddRow(1, name);
}

// The rows in use run up to the first row of kind 0, or fill the whole table.
int Hostlink_RulesCount(void) {
    int n = 0;
    while (n < HOSTLINK_RULE_ROWS && g_hostlink.rules[n].kind != 0) n++;
    g_hostlink.ruleCount = n;
    return n;
}

int Hostlink_RuleForClass(const char *className) {
    int n = g_hostlink.ruleCount;
    for (int i = 0; i < n; i++) {
        const ClassRule &row = g_hostlink.rules[i];
        if (lstrcmpiA(row.name, className) != 0) continue;
        if (row.kind == 2) return 0;
        if (row.kind == 1) return 2;
    }
    return 1;
}

uint32_t Hostlink_KindForClass(const char *className, LRESULT hit) {
    for (const KindRow &row : kKindsBeforeHitTest)
        if (lstrcmpiA(row.name, className) == 0) return row.kind;
    if (hit == HTMENU || hit == HTSYSMENU) return CAPTURE_KIND_MENU;
    if (lstrcmpiA(className, "CAPTION") == 0 || hit == HTCAPTION) return CAPTURE_KIND_CAPTION;
    return CAPTURE_KIND_OTHER;
}

// A row of kind 0 would end the table early and hide every row after it, so it is refused.
extern "C" int WINAPI Hostlink_AddClassRule(int kind, const char *className) {
    if (kind == 0 || className == nullptr) return 0;
    int n = Hostlink_RulesCount();
    if (n >= HOSTLINK_RULE_ROWS) return 0;
    AddRow(kind, className);
    return n + 1;
}
