// The modal option dialogs of the search window (template 211, with the web links), the
// translation window (212) and the study-list viewer (213).  Each loads its record, shows it, and on
// OK writes the fields whose controls changed over the record as stored now; the fields it does not
// show (DictionaryID) keep their stored values.
#include "prefpane_int.h"
#include "prefpane.h"

#include <string.h>

#include "basekit.h"
#include "sharedkit.h"
#include "uiassets.h"

namespace {

enum Kind { kSearch, kTranslation, kStudy, kKinds };

const UINT kHelpCommand = 5601;
const int kMaxDataLimit = 5000;     // search and study dialogs
const int kTranslationLimit = 20;   // translation dialog

struct DialogClass {
    Kind kind;
    int templateId;
    DWORD helpTopic;
    int bringForward;   // a second call brings the open dialog to the foreground
    size_t recordSize;
    const PpField *fields;
    int fieldCount;
    void (*load)(void *record);
    int (*save)(const void *record);
    void (*fill)(HWND dlg, const void *record);
    void (*read)(HWND dlg, void *record);
};

struct DialogState {
    const DialogClass *cls;
    void *record;          // as loaded
    void *baseline;        // what the controls read right after filling
    WebLink *baselineLinks;
    int clamping;          // inside the number field's own correction
};

HWND g_open[kKinds];

// ---- Search window ---------------------------------------------------------------------------

void SearchLoad(void *r) { Prefstore_LoadSearchWindow((SearchWindowOptions *)r, nullptr); }
int SearchSave(const void *r) { return Prefstore_SaveSearchWindow((const SearchWindowOptions *)r, nullptr); }

void SearchFill(HWND dlg, const void *record)
{
    const SearchWindowOptions *o = (const SearchWindowOptions *)record;
    Pp_SetNumber(dlg, UIA_IDC_WO_MAXDATA, UIA_IDC_WO_MAXDATA_SPIN, o->MaxData, 0, kMaxDataLimit);
    Pp_ViewFill(dlg, &o->View);
    Pp_LinksFill(dlg, o->WebList, o->CurItem);
}

void SearchRead(HWND dlg, void *record)
{
    SearchWindowOptions *o = (SearchWindowOptions *)record;
    o->MaxData = Pp_GetNumber(dlg, UIA_IDC_WO_MAXDATA, o->MaxData);
    Pp_ViewRead(dlg, &o->View);
    if (GetDlgItem(dlg, UIA_IDC_WO_LINKS)) {
        int selected = (int)SendDlgItemMessageA(dlg, UIA_IDC_WO_LINKS, CB_GETCURSEL, 0, 0);
        o->CurItem = selected == CB_ERR ? 0 : selected;
    }
}

// ---- Translation window ----------------------------------------------------------------------

void TranslationLoad(void *r) { Prefstore_LoadTranslationWindow((TranslationWindowOptions *)r, nullptr); }
int TranslationSave(const void *r)
{
    return Prefstore_SaveTranslationWindow((const TranslationWindowOptions *)r, nullptr);
}

void TranslationFill(HWND dlg, const void *record)
{
    const TranslationWindowOptions *o = (const TranslationWindowOptions *)record;
    Pp_SetCheck(dlg, UIA_IDC_TW_SOUND, o->PlaySound != 0);
    Pp_SetNumber(dlg, UIA_IDC_TW_MAXDATA, UIA_IDC_TW_MAXDATA_SPIN, o->MaxData, 0, kTranslationLimit);
    Pp_ViewFill(dlg, &o->View);
    Pp_SetCheck(dlg, UIA_IDC_TW_ALL_WORDS, o->AddAllWords != 0);
}

void TranslationRead(HWND dlg, void *record)
{
    TranslationWindowOptions *o = (TranslationWindowOptions *)record;
    if (Pp_GetCheck(dlg, UIA_IDC_TW_SOUND) >= 0) o->PlaySound = Pp_GetCheck(dlg, UIA_IDC_TW_SOUND);
    o->MaxData = Pp_GetNumber(dlg, UIA_IDC_TW_MAXDATA, o->MaxData);
    Pp_ViewRead(dlg, &o->View);
    if (Pp_GetCheck(dlg, UIA_IDC_TW_ALL_WORDS) >= 0) o->AddAllWords = Pp_GetCheck(dlg, UIA_IDC_TW_ALL_WORDS);
}

// ---- Study-list viewer ------------------------------------------------------------------------

void StudyLoad(void *r) { Prefstore_LoadStudyWindow((StudyWindowOptions *)r, nullptr); }
int StudySave(const void *r) { return Prefstore_SaveStudyWindow((const StudyWindowOptions *)r, nullptr); }

void StudyFill(HWND dlg, const void *record)
{
    const StudyWindowOptions *o = (const StudyWindowOptions *)record;
    Pp_SetNumber(dlg, UIA_IDC_WO_MAXDATA, UIA_IDC_WO_MAXDATA_SPIN, o->MaxData, 0, kMaxDataLimit);
    Pp_ViewFill(dlg, &o->View);
}

void StudyRead(HWND dlg, void *record)
{
    StudyWindowOptions *o = (StudyWindowOptions *)record;
    o->MaxData = Pp_GetNumber(dlg, UIA_IDC_WO_MAXDATA, o->MaxData);
    Pp_ViewRead(dlg, &o->View);
}

const DialogClass kClasses[kKinds] = {
    {kSearch, UIA_IDD_OPT_SEARCH_WINDOW, 10005, 1, sizeof(SearchWindowOptions), kSearchWindowFields,
     kSearchWindowFieldCount, SearchLoad, SearchSave, SearchFill, SearchRead},
    {kTranslation, UIA_IDD_OPT_TRANSLATION_WINDOW, 10006, 0, sizeof(TranslationWindowOptions),
     kTranslationWindowFields, kTranslationWindowFieldCount, TranslationLoad, TranslationSave,
     TranslationFill, TranslationRead},
    {kStudy, UIA_IDD_OPT_STUDY_WINDOW, 10008, 1, sizeof(StudyWindowOptions), kStudyWindowFields,
     kStudyWindowFieldCount, StudyLoad, StudySave, StudyFill, StudyRead},
};

// ---- The dialog -------------------------------------------------------------------------------

// Above the limit the field shows the limit; 0 or less empties it.
void ClampMaxData(HWND dlg, DialogState *st)
{
    if (st->clamping) return;
    char text[32] = "", shown[32];
    GetDlgItemTextA(dlg, UIA_IDC_WO_MAXDATA, text, sizeof text);
    if (!Pp_ClampNumberText(text, kMaxDataLimit, shown, sizeof shown)) return;
    st->clamping = 1;
    SetDlgItemTextA(dlg, UIA_IDC_WO_MAXDATA, shown);
    int end = (int)strlen(shown);
    SendDlgItemMessageA(dlg, UIA_IDC_WO_MAXDATA, EM_SETSEL, end, end);
    st->clamping = 0;
}

void OnInit(HWND dlg, DialogState *st)
{
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)st);
    g_open[st->cls->kind] = dlg;
    st->cls->fill(dlg, st->record);
    memcpy(st->baseline, st->record, st->cls->recordSize);
    st->cls->read(dlg, st->baseline);
    if (st->cls->kind == kSearch) {
        int current;
        st->baselineLinks = Pp_LinksRead(dlg, &current);
    }
}

// Writes what changed over the record as stored now.
void Apply(HWND dlg, DialogState *st)
{
    const DialogClass *c = st->cls;
    void *edited = LocalAlloc(LMEM_FIXED, c->recordSize);
    void *stored = LocalAlloc(LPTR, c->recordSize);
    WebLink *links = nullptr;
    int current = 0;
    if (edited && stored) {
        memcpy(edited, st->record, c->recordSize);
        c->read(dlg, edited);
        int changed = Pp_CountChanges(c->fields, c->fieldCount, st->baseline, edited);
        int linksChanged = 0;
        if (c->kind == kSearch && st->baselineLinks) {
            links = Pp_LinksRead(dlg, &current);
            linksChanged = links && !Pp_LinksEqual(links, st->baselineLinks);
        }
        if (changed || linksChanged) {
            c->load(stored);
            Pp_MergeChanges(c->fields, c->fieldCount, stored, st->baseline, edited);
            if (c->kind == kSearch) {
                SearchWindowOptions *s = (SearchWindowOptions *)stored;
                WebLink *own = s->WebList;
                if (linksChanged) {
                    s->WebList = links;
                    s->CurItem = current;
                }
                c->save(s);
                s->WebList = own;
                Prefstore_FreeWebList(s);
            } else {
                c->save(stored);
            }
        }
    }
    if (links) LocalFree(links);
    if (edited) LocalFree(edited);
    if (stored) LocalFree(stored);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        OnInit(dlg, (DialogState *)lParam);
        return TRUE;
    }
    DialogState *st = (DialogState *)GetWindowLongPtrA(dlg, DWLP_USER);
    if (!st) return FALSE;
    switch (msg) {
    case WM_DRAWITEM:
        return Pp_DrawColourButton((const DRAWITEMSTRUCT *)lParam);
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDOK) {
            Apply(dlg, st);
            EndDialog(dlg, 1);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dlg, 0);
            return TRUE;
        }
        if (id == UIA_IDC_WO_HELP && code == BN_CLICKED) {
            Sharedkit_ShowHelp(dlg, kHelpCommand, st->cls->helpTopic, nullptr);
            return TRUE;
        }
        if (id == UIA_IDC_WO_MAXDATA && code == EN_CHANGE && st->cls->kind != kTranslation) {
            ClampMaxData(dlg, st);
            return TRUE;
        }
        if (Pp_ViewCommand(dlg, id, code)) return TRUE;
        return Pp_LinksCommand(dlg, id, code);
    }
    case WM_DESTROY:
        Pp_LinksClear(dlg);
        g_open[st->cls->kind] = nullptr;
        return FALSE;
    }
    return FALSE;
}

int Run(Kind kind, HWND owner)
{
    const DialogClass *c = &kClasses[kind];
    if (g_open[kind] && IsWindow(g_open[kind])) {
        if (c->bringForward) Basekit_ForceForeground(g_open[kind]);
        return 0;
    }
    Pp_InitControls();
    DialogState st = {};
    st.cls = c;
    st.record = LocalAlloc(LPTR, c->recordSize);
    st.baseline = LocalAlloc(LPTR, c->recordSize);
    INT_PTR result = 0;
    if (st.record && st.baseline) {
        c->load(st.record);
        result = DialogBoxParamA(Pp_Resources(), MAKEINTRESOURCEA(c->templateId), owner, DialogProc,
                                 (LPARAM)&st);
        if (kind == kSearch) Prefstore_FreeWebList((SearchWindowOptions *)st.record);
    }
    g_open[kind] = nullptr;
    if (st.baselineLinks) LocalFree(st.baselineLinks);
    if (st.record) LocalFree(st.record);
    if (st.baseline) LocalFree(st.baseline);
    return result == 1;
}

}  // namespace

extern "C" int WINAPI Prefpane_ShowSearchWindowOptions(HWND owner)
{
    return Run(kSearch, owner);
}

extern "C" int WINAPI Prefpane_ShowTranslationWindowOptions(HWND owner)
{
    return Run(kTranslation, owner);
}

extern "C" int WINAPI Prefpane_ShowStudyWindowOptions(HWND owner)
{
    return Run(kStudy, owner);
}
