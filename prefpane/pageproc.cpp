// The pattern every page of the main sheet follows: the page keeps the record loaded for it and
// what its controls read right after filling; on apply the fields whose controls changed are
// written over the record as stored now and saved; Cancel asks when a page holds changes; help.
#include "prefpane_int.h"
#include "prefpane.h"

#include <commctrl.h>
#include <string.h>

#include "sharedkit.h"

namespace {

const UINT kHelpCommand = 5601;
const int kNextButton = 0x3024;   // the wizard's Next button in a property sheet

void FreePage(PpPage *p)
{
    if (!p) return;
    if (p->cls->release) p->cls->release(p);
    if (p->record) {
        if (p->cls->recordSize)
            LocalFree(p->record);
        else
            p->cls->freeObject(p->record);
    }
    if (p->baseline) LocalFree(p->baseline);
    LocalFree(p);
}

// Property pages are freed with the sheet (whether or not the page was ever shown).
UINT CALLBACK PageCallback(HWND, UINT msg, LPPROPSHEETPAGEA page)
{
    if (msg == PSPCB_RELEASE && page) FreePage((PpPage *)page->lParam);
    return 1;
}

void *CopyRecord(const PpPage *p)
{
    void *copy = LocalAlloc(LMEM_FIXED, p->cls->recordSize);
    if (copy) memcpy(copy, p->record, p->cls->recordSize);
    return copy;
}

int HasChanges(HWND page, PpPage *p)
{
    if (!p->cls->recordSize) return p->cls->hasChanges(page, p);
    void *edited = CopyRecord(p);
    if (!edited) return 0;
    p->cls->read(page, p, edited);
    int changed = Pp_CountChanges(p->cls->fields, p->cls->fieldCount, p->baseline, edited);
    LocalFree(edited);
    return changed != 0;
}

// Reads the controls; when they differ from the baseline, loads the record as stored now, puts
// the changed fields over it and saves it.  1 when something was saved.
int Apply(HWND page, PpPage *p)
{
    const PpPageClass *c = p->cls;
    if (!c->recordSize) return c->apply(page, p);
    void *edited = CopyRecord(p);
    void *stored = LocalAlloc(LPTR, c->recordSize);
    int saved = 0;
    if (edited && stored) {
        c->read(page, p, edited);
        if (Pp_CountChanges(c->fields, c->fieldCount, p->baseline, edited) != 0) {
            c->load(stored);
            Pp_MergeChanges(c->fields, c->fieldCount, stored, p->baseline, edited);
            c->save(stored);
            memcpy(p->record, stored, c->recordSize);
            memcpy(p->baseline, edited, c->recordSize);
            saved = 1;
        }
    }
    if (edited) LocalFree(edited);
    if (stored) LocalFree(stored);
    return saved;
}

void ShowHelp(HWND page, const PpPage *p)
{
    if (p->cls->helpThroughMain)
        Sharedkit_SendToMain(PREFPANE_VLM_SHOW_HELP, kHelpCommand, p->cls->helpTopic);
    else
        Sharedkit_ShowHelp(page, kHelpCommand, p->cls->helpTopic, nullptr);
}

BOOL Answer(HWND page, LONG_PTR result)
{
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL OnNotify(HWND page, PpPage *p, const NMHDR *h)
{
    HWND sheet = GetParent(page);
    switch (h->code) {
    case PSN_APPLY:
        if (Apply(page, p)) {
            Pp_SetChanged();
            if (p->cls->saved) p->cls->saved(page, p);
        }
        return Answer(page, PSNRET_NOERROR);
    case PSN_HELP:
        ShowHelp(page, p);
        return TRUE;
    case PSN_QUERYCANCEL:
        return Answer(page, Pp_QueryCancel(page));
    case PSN_SETACTIVE:
        // Only a wizard has the buttons; in a plain sheet the message would make Enter page on.
        if (p->cls->wizardButtons && GetDlgItem(sheet, kNextButton))
            PostMessageA(sheet, PSM_SETWIZBUTTONS, 0, p->cls->wizardButtons);
        return Answer(page, 0);
    case PSN_WIZNEXT:
        if (p->cls->recordSize) p->cls->read(page, p, p->record);
        return Answer(page, 0);
    }
    return FALSE;
}

}  // namespace

bool Pp_MakePage(const PpPageClass *cls, void *record, PROPSHEETPAGEA *out)
{
    PpPage *p = (PpPage *)LocalAlloc(LPTR, sizeof(PpPage));
    if (!p) return false;
    if (cls->recordSize) {
        p->baseline = LocalAlloc(LPTR, cls->recordSize);
        if (!p->baseline) {
            LocalFree(p);
            return false;
        }
    }
    p->cls = cls;
    p->record = record;
    memset(out, 0, sizeof *out);
    out->dwSize = sizeof *out;
    out->dwFlags = PSP_USETITLE | PSP_HASHELP | PSP_USECALLBACK;
    out->hInstance = Pp_Resources();
    out->pszTemplate = MAKEINTRESOURCEA(cls->templateId);
    out->pszTitle = MAKEINTRESOURCEA(cls->titleId);
    out->pfnDlgProc = Pp_PageProc;
    out->lParam = (LPARAM)p;
    out->pfnCallback = PageCallback;
    return true;
}

void Pp_ReleasePage(PROPSHEETPAGEA *page)
{
    FreePage((PpPage *)page->lParam);
    page->lParam = 0;
}

INT_PTR CALLBACK Pp_PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        PpPage *p = (PpPage *)((const PROPSHEETPAGEA *)lParam)->lParam;
        SetWindowLongPtrA(page, GWLP_USERDATA, (LONG_PTR)p);
        p->window = page;
        p->cls->fill(page, p);
        if (p->cls->recordSize) {
            memcpy(p->baseline, p->record, p->cls->recordSize);
            p->cls->read(page, p, p->baseline);
        }
        return TRUE;
    }
    if (msg == WM_MEASUREITEM) return Pp_MeasureItem(page, (MEASUREITEMSTRUCT *)lParam);
    PpPage *p = (PpPage *)GetWindowLongPtrA(page, GWLP_USERDATA);
    if (!p) return FALSE;
    if (msg == WM_NOTIFY && ((const NMHDR *)lParam)->hwndFrom == GetParent(page) &&
        OnNotify(page, p, (const NMHDR *)lParam))
        return TRUE;
    if (msg == PSM_QUERYSIBLINGS && wParam == 1) return Answer(page, HasChanges(page, p));
    if (p->cls->message) return p->cls->message(page, p, msg, wParam, lParam);
    return FALSE;
}
